#include "ui/KeyFilter.h"

namespace korvane {

bool IsAltF4(const KeyEvent& event) {
    return event.message == KeyMessage::SysKeyDown && event.key == kKeyF4;
}

bool IsEnterDown(const KeyEvent& event) {
    return event.message == KeyMessage::KeyDown && event.key == kKeyReturn;
}

bool IsEscapeDown(const KeyEvent& event) {
    return event.message == KeyMessage::KeyDown && event.key == kKeyEscape;
}

bool CarriesEscape(const KeyEvent& event) {
    return event.key == kKeyEscape;
}

bool MainWindowKeyFilter(const KeyEvent& event) {
    return IsAltF4(event) || IsEnterDown(event) || CarriesEscape(event);
}

}  // namespace korvane
