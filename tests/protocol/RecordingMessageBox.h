#pragma once

#include <string>
#include <vector>

#include "ui/MessageBoxPort.h"

namespace korvane::testing {

// Keeps every box it is asked to show and answers OK.
class RecordingMessageBox : public MessageBoxPort {
  public:
    struct Box {
        std::string text;
        std::string caption;
        BoxButtons buttons;
    };

    BoxAnswer ShowMessageBox(const std::string& text, const std::string& caption,
                             BoxButtons buttons) override {
        boxes.push_back({text, caption, buttons});
        return BoxAnswer::Ok;
    }

    std::vector<Box> boxes;
};

}  // namespace korvane::testing
