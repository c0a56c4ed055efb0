#include <gtest/gtest.h>

#include "HostFixture.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"
#include "ui/Dialog.h"
#include "ui/DropList.h"
#include "ui/ListView.h"

namespace korvane {
namespace {

TEST(CFontStatic, StyleBitsOnlySetWhileAlignmentIsDecidedAnew) {
    CFontStatic label(1039);
    EXPECT_EQ(label.face_name(), "MS Sans Serif");
    EXPECT_EQ(label.height(), 8);

    label.SetFontStatic("굴림", 12, 0xC0C000, 0x41);
    EXPECT_TRUE(label.bold());
    EXPECT_EQ(label.alignment(), TextAlignment::Left);

    label.SetFontStatic("굴림", 11, 0xEAEAEA, 0x20);
    EXPECT_TRUE(label.bold()) << "a later call without the bit keeps bold";
    EXPECT_EQ(label.alignment(), TextAlignment::Centre);
    EXPECT_EQ(label.height(), 11);
    EXPECT_EQ(label.text_colour(), 0xEAEAEAu);

    struct Case {
        std::uint8_t flags;
        TextAlignment alignment;
    };
    const Case cases[] = {{0x80, TextAlignment::Right},
                          {0xA0, TextAlignment::Centre},  // centre wins over right
                          {0x40, TextAlignment::Left},
                          {0x10, TextAlignment::Left}};
    for (const Case& c : cases) {
        label.SetFontStatic("굴림", 11, 0, c.flags);
        EXPECT_EQ(label.alignment(), c.alignment) << int(c.flags);
    }
    label.SetFontStatic("굴림", 11, 0, 0x0E);
    EXPECT_TRUE(label.italic() && label.underline() && label.strike_out());
}

TEST(CFontStatic, FillsWithItsOwnColourOnlyWhenAskedAndGetsTheNotifyStyle) {
    CFontStatic label(1);
    EXPECT_EQ(label.FillColour(), kSystemButtonFace);
    label.background_colour = 0xF9F9F9;
    EXPECT_EQ(label.FillColour(), kSystemButtonFace);
    label.own_background = true;
    EXPECT_EQ(label.FillColour(), 0xF9F9F9u);

    std::ostringstream out;
    VirtualClock clock;
    HeadlessHost host(out, clock);
    Dialog dialog(host, "d", 1);
    EXPECT_EQ(dialog.Add<CFontStatic>(2).style() & CFontStatic::kNotifyStyle,
              CFontStatic::kNotifyStyle);
}

TEST(CProgressEx, RefusesBadRangesAndPositionsButAlwaysResends) {
    CProgressEx bar(1050);
    EXPECT_EQ(bar.draw_style, CProgressEx::kSystemStyle);
    bar.SetRange(0, 300);
    bar.SetPos(3);
    EXPECT_EQ(bar.position(), 3);

    bar.SetPos(301);
    bar.SetPos(-1);
    EXPECT_EQ(bar.position(), 3);

    bar.SetRange(10, 5);
    EXPECT_EQ(bar.lower(), 0);
    EXPECT_EQ(bar.upper(), 300);

    bar.SetRange(0, 70000);
    EXPECT_EQ(bar.upper(), 70000);
    EXPECT_EQ(bar.control_upper(), static_cast<std::int16_t>(70000))
        << "the bar itself gets 16-bit ends";
}

TEST(CProgressEx, FilledWidthPutsTheCaptionWhollyInOneColourAtTheEnds) {
    CProgressEx bar(1);
    bar.SetRange(0, 300);
    struct Case {
        int position;
        int filled;
    };
    // At 0 the caption lies wholly over the unfilled part (text colour), at
    // the upper end wholly over the bar (bar text colour).
    for (const Case& c : {Case{0, 0}, Case{300, 260}, Case{150, 130}, Case{1, 0}, Case{299, 259}}) {
        bar.SetPos(c.position);
        EXPECT_EQ(bar.FilledWidth(260), c.filled) << c.position;
    }
    CProgressEx empty(2);
    empty.SetRange(5, 5);
    empty.SetPos(5);
    EXPECT_EQ(empty.FilledWidth(260), 0);
}

TEST(CBitmapButton, AMissingPressedImageShowsTheNormalOne) {
    CBitmapButton button(1004);
    button.LoadBitmaps(157, 158);
    EXPECT_EQ(button.ShownBitmap(false), 157);
    EXPECT_EQ(button.ShownBitmap(true), 158);
    button.LoadBitmaps(236, 0);
    EXPECT_EQ(button.ShownBitmap(true), 236);
}

TEST(ListView, InsertsSelectsAndFindsRows) {
    ListView list(1020);
    EXPECT_EQ(list.InsertRow(0, "10.1.1.1"), 0);
    EXPECT_EQ(list.InsertRow(5, "10.1.1.3"), 1) << "clamped to the end";
    EXPECT_EQ(list.InsertRow(0, "10.1.1.2"), 0);
    EXPECT_EQ(list.RowText(0), "10.1.1.2");
    EXPECT_EQ(list.RowText(7), "");
    EXPECT_EQ(list.NextSelected(), -1);

    list.SetRowState(0, true, false);
    list.SetRowState(2, true, true);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(list.NextSelected(0), 2);
    EXPECT_EQ(list.FocusedRow(), 2);
    list.SetRowState(1, false, true);
    EXPECT_EQ(list.FocusedRow(), 1) << "one row carries the focus";

    EXPECT_TRUE(list.DeleteRow(0));
    EXPECT_FALSE(list.DeleteRow(9));
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1}));
    list.DeleteAllRows();
    EXPECT_EQ(list.RowCount(), 0);
}

TEST(ListView, SingleSelectionKeepsOneRowAndStylesComeFromTheOwner) {
    ListView bands(1059, true);
    for (const char* band : {"a", "b", "c"}) {
        bands.InsertRow(bands.RowCount(), band);
    }
    bands.SetRowState(0, true, true);
    bands.SetRowState(2, true, true);
    EXPECT_EQ(bands.SelectedRows(), (std::vector<int>{2}));

    int current = 1;
    bands.SetRowStyle([&](int row) {
        return row == current ? RowStyle{0x31D729, std::nullopt} : RowStyle{0x000000, {}};
    });
    EXPECT_EQ(bands.StyleOf(1).text, 0x31D729u);
    EXPECT_EQ(bands.StyleOf(0).text, 0x000000u);
    EXPECT_FALSE(bands.StyleOf(1).background.has_value());
    current = 0;
    EXPECT_EQ(bands.StyleOf(0).text, 0x31D729u) << "asked anew at every paint";
    EXPECT_FALSE(bands.StyleOf(3).text.has_value());
}

TEST(DropList, ChoosesOnlyExistingEntries) {
    DropList list(1026);
    for (const char* s : {"60", "90", "120"}) {
        list.AddString(s);
    }
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_TRUE(list.SetCurSel(2));
    EXPECT_EQ(list.SelectedText(), "120");
    EXPECT_FALSE(list.SetCurSel(3));
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(list.FindExact("90"), 1);
    EXPECT_EQ(list.FindExact("9"), -1);
    list.ResetContent();
    EXPECT_EQ(list.SelectedText(), "");
}

TEST(RadioButton, CheckingOneClearsOnlyItsGroup) {
    std::ostringstream out;
    VirtualClock clock;
    HeadlessHost host(out, clock);
    Dialog options(host, "options", 145);
    auto& on = options.Add<RadioButton>(1060, 1, "설정");
    auto& off = options.Add<RadioButton>(1061, 1, "해제");
    auto& openvpn = options.Add<RadioButton>(1021, 2, "OpenVPN");
    openvpn.SetCheck(true);
    off.SetCheck(true);
    options.CheckRadioButton(1060);
    EXPECT_TRUE(on.checked());
    EXPECT_FALSE(off.checked());
    EXPECT_TRUE(openvpn.checked());
}

}  // namespace
}  // namespace korvane
