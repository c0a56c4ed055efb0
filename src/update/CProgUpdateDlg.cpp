#include "update/CProgUpdateDlg.h"

#include "ui/CProgressEx.h"

namespace korvane {

CProgUpdateDlg::CProgUpdateDlg(Host& host) : Dialog(host, "progupdate", kTemplate) {
    background_bitmap = kBackground;
    Move({0, 0, 260, 128});
    Add<CProgressEx>(kProgressBar);
}

bool CProgUpdateDlg::OnInitDialog() {
    auto* bar = Get<CProgressEx>(kProgressBar);
    bar->SetRange(0, 100);
    bar->SetPos(0);
    bar->draw_style = CProgressEx::kTwoColourStyle;
    bar->background_colour = 0xF3F3F3;
    bar->bar_colour = 0x0096FF;
    bar->text_colour = 0;
    bar->SetCaption("0 %");
    return true;
}

// Nothing the user presses ends the window while a download runs.
bool CProgUpdateDlg::PreTranslateKey(const KeyEvent& event) {
    return MainWindowKeyFilter(event);
}

}  // namespace korvane
