#pragma once

#include <string>
#include <vector>

namespace korvane {

class Control;
class Dialog;
class ListView;

// "name.id", the address scripts and transcripts use for a control.
std::string ControlAddress(const Dialog& dialog, const Control& control);

// The control's text as a transcript shows it: quoted, and a password edit's
// text as one "*" per character.
std::string ShownText(const Control& control);

std::string HexColour(unsigned value);

// The lines `print` writes for a control, a window and a list view's rows.
std::vector<std::string> DescribeControl(const Dialog& dialog, const Control& control);
std::string DescribeWindow(const Dialog& dialog);

// The cells of a row, each quoted, separated by blanks.
std::string QuotedCells(const ListView& list, int row);
// The selected rows as "0 2", or "none".
std::string SelectionText(const ListView& list);

}  // namespace korvane
