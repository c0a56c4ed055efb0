#include "ui/qt/KeyTranslation.h"

namespace korvane {

int VirtualKey(int qt_key) {
    if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) {
        return 'A' + (qt_key - Qt::Key_A);
    }
    if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) {
        return '0' + (qt_key - Qt::Key_0);
    }
    if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) {
        return 0x70 + (qt_key - Qt::Key_F1);
    }
    switch (qt_key) {
        case Qt::Key_Backspace:
            return 0x08;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return kKeyTab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kKeyReturn;
        case Qt::Key_Shift:
            return 0x10;
        case Qt::Key_Control:
            return 0x11;
        case Qt::Key_Alt:
            return 0x12;
        case Qt::Key_Escape:
            return kKeyEscape;
        case Qt::Key_Space:
            return 0x20;
        case Qt::Key_PageUp:
            return 0x21;
        case Qt::Key_PageDown:
            return 0x22;
        case Qt::Key_End:
            return 0x23;
        case Qt::Key_Home:
            return 0x24;
        case Qt::Key_Left:
            return 0x25;
        case Qt::Key_Up:
            return 0x26;
        case Qt::Key_Right:
            return 0x27;
        case Qt::Key_Down:
            return 0x28;
        case Qt::Key_Insert:
            return 0x2D;
        case Qt::Key_Delete:
            return 0x2E;
        default:
            return 0;
    }
}

std::vector<KeyEvent> KeyMessagesFor(const QKeyEvent& event) {
    const int key = VirtualKey(event.key());
    if (key == 0) {
        return {};
    }
    const bool alt = (event.modifiers() & Qt::AltModifier) != 0;
    if (event.type() == QEvent::KeyRelease) {
        return {{alt ? KeyMessage::SysKeyUp : KeyMessage::KeyUp, key}};
    }
    std::vector<KeyEvent> messages{{alt ? KeyMessage::SysKeyDown : KeyMessage::KeyDown, key}};
    const QString text = event.text();
    if (!alt && text.size() == 1 && text[0].unicode() < 0x80) {
        messages.push_back({KeyMessage::Char, text[0].unicode()});
    }
    return messages;
}

}  // namespace korvane
