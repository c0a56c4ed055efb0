#pragma once

#include <string>

#include "ui/Control.h"

namespace korvane {

// An embedded browser view. The program only ever tells it where to go; the
// view loads and draws the page by itself and reports nothing back.
class CExplorer1 : public Control {
  public:
    explicit CExplorer1(int id) : Control(id, ControlKind::Browser) {}

    void Navigate2(const std::string& url);
    void Navigate(const std::string& url);

    // The URL last asked for, empty before the first navigation.
    const std::string& url() const { return url_; }
    int navigations() const { return navigations_; }

  private:
    std::string url_;
    int navigations_ = 0;
};

}  // namespace korvane
