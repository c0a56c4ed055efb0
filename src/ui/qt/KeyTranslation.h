#pragma once

#include <QKeyEvent>
#include <vector>

#include "ui/KeyFilter.h"

namespace korvane {

// The virtual key code of a Qt key, 0 for keys the windows have no code for.
int VirtualKey(int qt_key);

// The key messages one Qt key press or release stands for: a key-down (a
// system key-down while Alt is held) followed, for keys that type a
// character, by the character; a release is one key-up.
std::vector<KeyEvent> KeyMessagesFor(const QKeyEvent& event);

}  // namespace korvane
