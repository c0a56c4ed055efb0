#include "ui/headless/Describe.h"

#include <cstdio>

#include "platform/QuotedText.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/CExplorer1.h"
#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"
#include "ui/Dialog.h"
#include "ui/DropList.h"
#include "ui/ListView.h"

namespace korvane {

namespace {

std::string Masked(const std::string& text) {
    std::string stars;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        i += length == 0 ? 1 : length;
        stars += '*';
    }
    return stars;
}

const char* AlignmentName(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::Left:
            return "left";
        case TextAlignment::Centre:
            return "centre";
        case TextAlignment::Right:
            return "right";
    }
    return "left";
}

std::string RectText(const Rect& r) {
    return std::to_string(r.x) + " " + std::to_string(r.y) + " " + std::to_string(r.width) + " " +
           std::to_string(r.height);
}

std::string FontDetails(const CFontStatic& s) {
    std::string out = " face=" + Quote(s.face_name()) + " height=" + std::to_string(s.height()) +
                      " colour=" + HexColour(s.text_colour()) + " background=";
    out += s.own_background && s.background_colour ? HexColour(*s.background_colour) : "system";
    out += std::string(" align=") + AlignmentName(s.alignment());
    for (const auto& [set, flag] :
         {std::pair{s.bold(), "bold"}, std::pair{s.italic(), "italic"},
          std::pair{s.underline(), "underline"}, std::pair{s.strike_out(), "strikeout"}}) {
        if (set) {
            out += std::string(" ") + flag;
        }
    }
    return out;
}

std::string ProgressDetails(const CProgressEx& p) {
    return " range=" + std::to_string(p.lower()) + ".." + std::to_string(p.upper()) +
           " pos=" + std::to_string(p.position()) + " caption=" + Quote(p.caption()) +
           " style=" + std::to_string(p.draw_style);
}

std::string RowLine(const std::string& address, const ListView& list, int row) {
    const ListView::Row* r = list.RowAt(row);
    std::string line =
        "print " + address + " row " + std::to_string(row) + " " + QuotedCells(list, row);
    if (r->selected) {
        line += " selected";
    }
    if (r->focused) {
        line += " focused";
    }
    const RowStyle style = list.StyleOf(row);
    if (style.text) {
        line += " colour=" + HexColour(*style.text);
    }
    if (style.background) {
        line += " background=" + HexColour(*style.background);
    }
    return line;
}

}  // namespace

std::string ControlAddress(const Dialog& dialog, const Control& control) {
    return dialog.name() + "." + std::to_string(control.id());
}

std::string ShownText(const Control& control) {
    const auto* edit = dynamic_cast<const Edit*>(&control);
    if (edit != nullptr && edit->password()) {
        return Quote(Masked(edit->text()));
    }
    return Quote(control.text());
}

std::string HexColour(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%06X", value);
    return buffer;
}

std::string QuotedCells(const ListView& list, int row) {
    const ListView::Row* r = list.RowAt(row);
    std::string out;
    if (r == nullptr) {
        return out;
    }
    for (std::size_t i = 0; i < r->cells.size(); ++i) {
        out += (i == 0 ? "" : " ") + Quote(r->cells[i]);
    }
    return out;
}

std::string SelectionText(const ListView& list) {
    const std::vector<int> rows = list.SelectedRows();
    if (rows.empty()) {
        return "none";
    }
    std::string out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out += (i == 0 ? "" : " ") + std::to_string(rows[i]);
    }
    return out;
}

std::vector<std::string> DescribeControl(const Dialog& dialog, const Control& control) {
    const std::string address = ControlAddress(dialog, control);
    std::string line = "print " + address + " " + ControlKindName(control.kind()) + " " +
                       ShownText(control) + (control.visible() ? " visible" : " hidden") +
                       (control.enabled() ? " enabled" : " disabled");
    std::vector<std::string> extra;
    if (const auto* box = dynamic_cast<const CheckBox*>(&control)) {
        line += box->checked() ? " checked" : " unchecked";
    } else if (const auto* button = dynamic_cast<const CBitmapButton*>(&control)) {
        line += " bitmap=" + std::to_string(button->normal_bitmap()) + "/" +
                std::to_string(button->pressed_bitmap());
    } else if (const auto* font = dynamic_cast<const CFontStatic*>(&control)) {
        line += FontDetails(*font);
    } else if (const auto* bar = dynamic_cast<const CProgressEx*>(&control)) {
        line += ProgressDetails(*bar);
    } else if (const auto* browser = dynamic_cast<const CExplorer1*>(&control)) {
        line += " url=" + Quote(browser->url());
    } else if (const auto* drop = dynamic_cast<const DropList*>(&control)) {
        line += " chosen=" + std::to_string(drop->GetCurSel());
        for (int i = 0; i < drop->Count(); ++i) {
            extra.push_back("print " + address + " item " + std::to_string(i) + " " +
                            Quote(drop->ItemText(i)));
        }
    } else if (const auto* list = dynamic_cast<const ListView*>(&control)) {
        line += " rows=" + std::to_string(list->RowCount());
        for (int row = 0; row < list->RowCount(); ++row) {
            extra.push_back(RowLine(address, *list, row));
        }
    }
    line += " rect=" + RectText(control.rect());
    std::vector<std::string> lines{line};
    lines.insert(lines.end(), extra.begin(), extra.end());
    return lines;
}

std::string DescribeWindow(const Dialog& dialog) {
    std::string state = !dialog.visible() ? "hidden" : dialog.minimized() ? "minimized" : "normal";
    return "print " + dialog.name() + " window " + state + " rect=" + RectText(dialog.rect()) +
           " title=" + Quote(dialog.title()) + " focus=" + std::to_string(dialog.focus_id());
}

}  // namespace korvane
