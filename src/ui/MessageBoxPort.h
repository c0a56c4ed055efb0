#pragma once

#include <string>

namespace korvane {

enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

// Modal message boxes of the main window. The host implements it: the Qt host
// with a real box, the headless host from a queue of scripted answers.
class MessageBoxPort {
  public:
    virtual ~MessageBoxPort() = default;
    virtual BoxAnswer ShowMessageBox(const std::string& text, const std::string& caption,
                                     BoxButtons buttons) = 0;
};

}  // namespace korvane
