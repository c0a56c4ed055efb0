#pragma once

namespace korvane {

enum class KeyMessage { KeyDown, KeyUp, Char, SysKeyDown, SysKeyUp };

struct KeyEvent {
    KeyMessage message;
    int key;  // virtual key code, or the character for Char
};

constexpr int kKeyTab = 0x09;
constexpr int kKeyReturn = 0x0D;
constexpr int kKeyEscape = 0x1B;
constexpr int kKeyF4 = 0x73;

bool IsAltF4(const KeyEvent& event);
bool IsEnterDown(const KeyEvent& event);
bool IsEscapeDown(const KeyEvent& event);
// Key-down, key-up and character messages alike.
bool CarriesEscape(const KeyEvent& event);

// The filter of the main window and the panels that share it: Alt+F4, Enter
// and every message carrying Escape are swallowed so no key ends the window.
bool MainWindowKeyFilter(const KeyEvent& event);

}  // namespace korvane
