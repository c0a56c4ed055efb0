#pragma once

namespace korvane {

// Command ids every dialog understands: the default button and Escape end a
// dialog with these results unless the dialog filters the keys.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The result a modal run gives when it was abandoned (the driver went away).
constexpr int kModalAbandoned = -1;

enum class SysCommand { Minimize, Close, Restore };

enum class Notification {
    DoubleClick,      // list view double-click
    SelectionChange,  // list view rows or drop-list entry changed
};

// Mouse messages carried by the tray icon's callback.
constexpr long kMouseLeftDown = 0x201;
constexpr long kMouseLeftUp = 0x202;
constexpr long kMouseLeftDoubleClick = 0x203;
constexpr long kMouseRightDown = 0x204;
constexpr long kMouseRightUp = 0x205;

// First message number free for a program's own use.
constexpr int kUserMessage = 0x400;

constexpr long LowWord(long value) {
    return value & 0xFFFF;
}

}  // namespace korvane
