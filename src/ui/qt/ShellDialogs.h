#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "ui/Host.h"
#include "ui/MessageBoxPort.h"

namespace korvane {

// A modal message box over `parent` (none: over the whole application).
BoxAnswer RunMessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                        BoxButtons buttons);

// The windows write file filters as "text|pattern|text|pattern||"; a Qt
// filter is "text (pattern pattern)" a line. A pattern part may hold several
// patterns separated by ";". Any "(...)" already in the text is replaced by
// the real patterns, since Qt reads the patterns from the parentheses.
QString ToQtFileFilter(const std::string& filter);

// The system's file-open dialog; the chosen full path, or nothing.
std::optional<std::string> RunFileOpenDialog(QWidget* parent, const FileOpenRequest& request);

}  // namespace korvane
