#include "Staging.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/CExplorer1.h"
#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"
#include "ui/DropList.h"
#include "ui/ListView.h"

namespace korvane::screenshots {

namespace {

struct Pictures {
    int template_id;
    int id;
    int normal;
    int pressed;
};

// The bitmap pairs the dialogs load, by template.
constexpr Pictures kPictures[] = {
    {133, 1007, 153, 154}, {133, 1014, 155, 156}, {133, 1015, 151, 151}, {131, 1029, 175, 176},
    {131, 1030, 183, 184}, {131, 1012, 177, 178}, {131, 1031, 173, 174}, {131, 1032, 171, 172},
    {226, 1012, 223, 223}, {226, 1013, 224, 224}, {226, 1017, 233, 233}, {226, 1014, 236, 236},
    {226, 1015, 237, 237}, {226, 1016, 238, 239}, {226, 1061, 234, 235}, {222, 1012, 223, 223},
    {222, 1013, 224, 224}, {222, 1062, 236, 236}, {222, 1063, 237, 237}, {222, 1014, 234, 235},
    {222, 1015, 234, 235}, {141, 1000, 197, 198}, {141, 1026, 189, 189}, {141, 1004, 157, 158},
    {145, 1004, 157, 158}, {145, 1012, 219, 220}, {145, 1013, 217, 218},
};

// The background bitmap of each template.
constexpr std::pair<int, int> kBackgrounds[] = {{133, 148}, {131, 149}, {226, 150}, {222, 150},
                                                {143, 200}, {134, 200}, {141, 199}, {145, 206}};

constexpr Colour kUsed = 0x0000FF;
constexpr Colour kCurrent = 0x31D729;
constexpr Colour kWhite = 0xFFFFFF;

void SetLine(Dialog& dialog, int id, Colour colour, const std::string& text) {
    auto* line = dialog.Get<CFontStatic>(id);
    line->own_background = true;
    line->background_colour = 0xF9F9F9;
    line->SetFontStatic("굴림", 12, colour, 0x41);
    line->SetText(text);
    line->RedrawNow();
}

void FillList(ListView& list, const std::vector<std::string>& rows) {
    list.DeleteAllRows();
    for (const std::string& row : rows) {
        list.InsertRow(list.RowCount(), row);
    }
}

void ReportStyle(ListView& list, ListColumn column) {
    list.AddColumn(std::move(column));
    list.extended_style = 0x21;
    list.row_height = 18;
}

// The service-IP list's colours: rows applied so far red, the current one
// green, the rest as the list draws them.
void ColourPoolRows(ListView& list, const IpRows& rows) {
    list.SetRowStyle([used = rows.used_rows, current = rows.current_row](int row) {
        RowStyle style;
        if (std::find(used.begin(), used.end(), row) != used.end()) {
            style = {kUsed, kWhite};
        }
        if (row == current) {
            style = {kCurrent, kWhite};
        }
        return style;
    });
}

void AddOptionsButtons(Dialog& d) {
    for (int id : {1014, 1015, 1016, 1017}) {
        d.Add<PushButton>(id, "등록");
    }
    for (int id : {1019, 1018, 1020, 1024}) {
        d.Add<PushButton>(id, "삭제");
    }
}

}  // namespace

void LoadTemplateBitmaps(Dialog& dialog) {
    for (const auto& [template_id, bitmap] : kBackgrounds) {
        if (template_id == dialog.template_id() && dialog.background_bitmap == 0) {
            dialog.background_bitmap = bitmap;
        }
    }
    for (const Pictures& p : kPictures) {
        if (p.template_id != dialog.template_id()) {
            continue;
        }
        if (auto* button = dialog.Get<CBitmapButton>(p.id)) {
            button->LoadBitmaps(p.normal, p.pressed);
            button->SizeToContent();
        }
    }
}

void StageLoginPanel(Dialog& login, const std::string& user_id) {
    LoadTemplateBitmaps(login);
    login.Find(1005)->SetText(user_id);
    login.Find(1006)->SetText("demo1234");
    login.Get<CheckBox>(1008)->SetCheck(true);
}

void StageStatusPanel(Dialog& status, bool connected, const std::string& web_host) {
    LoadTemplateBitmaps(status);
    constexpr Colour kLineColour = 0xC0C000;
    SetLine(status, 1038, kLineColour, "demo_openvpn");
    SetLine(status, 1037, kLineColour, "기본 요금제 (30일)");
    SetLine(status, 1036, kLineColour, "2026년 02월 04일");
    SetLine(status, 1034, kLineColour, connected ? "0:12:34" : "0:00:00");
    SetLine(status, 1035, 0x0080FF,
            connected ? "10.20.1.3" : "사용하실 아이피를 선택후 더블클릭 해주세요");
    auto* disconnect = status.Get<CBitmapButton>(1012);
    if (connected) {
        disconnect->Show(true);
        disconnect->LoadBitmaps(179, 180);
        disconnect->SizeToContent();
        disconnect->RedrawNow();
    } else {
        disconnect->Show(false);
    }
    auto* banner = status.Get<CExplorer1>(1010);
    if (!web_host.empty() && banner->navigations() == 0) {
        banner->Navigate2("http://" + web_host + "/vpn_program/banner.php");
    }
}

void StageServiceIpTab(Dialog& tab, const IpRows& rows) {
    LoadTemplateBitmaps(tab);
    auto* bands = tab.Get<ListView>(1059);
    auto* pool = tab.Get<ListView>(1020);
    auto* saved = tab.Get<ListView>(1019);
    if (bands->columns().empty()) {
        ReportStyle(*bands, {"서비스 가능 대역", 110, TextAlignment::Centre});
        ReportStyle(*pool, {"서비스 가능 IP", 97, TextAlignment::Left});
        ReportStyle(*saved, {"IP 저장 ", 120, TextAlignment::Left});
    }
    FillList(*bands, rows.bands);
    FillList(*pool, rows.pool);
    FillList(*saved, rows.saved);
    bands->SetRowStyle([selected = rows.selected_band](int row) {
        return RowStyle{row == selected ? kCurrent : Colour{0}, std::nullopt};
    });
    ColourPoolRows(*pool, rows);
    if (rows.selected_band >= 0) {
        bands->SetRowState(rows.selected_band, true, true);
    }
    for (Control* list : {static_cast<Control*>(bands), static_cast<Control*>(pool)}) {
        list->RedrawNow();
    }
}

void StageManagedIpTab(Dialog& tab, const IpRows& rows) {
    LoadTemplateBitmaps(tab);
    auto* pool = tab.Get<ListView>(1020);
    auto* saved = tab.Get<ListView>(1019);
    if (pool->columns().empty()) {
        ReportStyle(*pool, {"서비스 가능한 IP", 145, TextAlignment::Left});
        ReportStyle(*saved, {"자주 사용하는 IP", 145, TextAlignment::Left});
    }
    FillList(*pool, rows.pool);
    FillList(*saved, rows.saved);
    ColourPoolRows(*pool, rows);
    pool->RedrawNow();
}

void StageConnecting(Dialog& connecting, int percent) {
    LoadTemplateBitmaps(connecting);
    auto* bar = connecting.Get<CProgressEx>(1050);
    bar->draw_style = CProgressEx::kTwoColourStyle;
    bar->background_colour = 0xF3F3F3;
    bar->bar_colour = 0x0096FF;
    bar->text_colour = 0;
    // The connecting run of a 30-second delay: 300 ticks of 100 ms.
    bar->SetRange(0, 300);
    bar->SetPos(percent * 3);
    char caption[16];
    std::snprintf(caption, sizeof caption, "%3d %%", percent);
    bar->SetCaption(caption);
    auto* line = connecting.Get<CFontStatic>(1049);
    line->SetFontStatic("굴림", 11, 0x7AFC, 0x40);
    line->background_colour = 0xF9F9F9;
    line->own_background = true;
    line->SetText("접속중....");
}

void StageUpdateProgress(Dialog& progress) {
    LoadTemplateBitmaps(progress);
    auto* bar = progress.Get<CProgressEx>(1048);
    bar->SetRange(0, 100);
    bar->SetPos(0);
    bar->draw_style = CProgressEx::kTwoColourStyle;
    bar->background_colour = 0xF3F3F3;
    bar->bar_colour = 0x0096FF;
    bar->text_colour = 0;
    bar->SetCaption("0 %");
}

std::unique_ptr<Dialog> MakeOptionsTemplate(Host& host) {
    auto d = std::make_unique<Dialog>(host, "options", 145);
    d->background_bitmap = 206;
    d->drags_anywhere = true;
    for (int id : {1004, 1012, 1013}) {
        d->Add<CBitmapButton>(id);
    }
    d->Add<RadioButton>(1060, 1, "설정");
    d->Add<RadioButton>(1061, 1, "해제");
    d->Add<RadioButton>(1021, 2, "OpenVPN");
    d->Add<RadioButton>(1022, 2, "PPTP");
    for (int id : {1027, 1026, 1025, 1056}) {
        d->Add<DropList>(id);
    }
    d->Add<PushButton>(1057, "설정").Show(false);
    AddOptionsButtons(*d);
    for (int id : {1054, 1055, 1058, 1059}) {
        d->Add<StaticText>(id);
    }
    d->Add<Edit>(1063).Show(false);
    d->Add<PushButton>(1064, "등록").Show(false);
    d->Add<PushButton>(1065, "초기화").Show(false);
    for (int id : {1063, 1064, 1065}) {
        d->Find(id)->Enable(false);
    }
    return d;
}

void StageOptions(Dialog& options) {
    LoadTemplateBitmaps(options);
    const auto fill = [&options](int id, std::vector<std::string> items) {
        auto* list = options.Get<DropList>(id);
        list->ResetContent();
        for (auto& item : items) {
            list->AddString(std::move(item));
        }
        list->SetCurSel(0);
    };
    fill(1056, {"서울 1번", "부산 1번"});
    fill(1025, {"5", "4", "3", "2", "1"});
    fill(1026, {"60", "90", "120"});
    fill(1027, {"해제", "설정"});
    options.Find(1026)->Enable(false);
    options.Find(1025)->Enable(false);
    options.CheckRadioButton(1021);
    options.CheckRadioButton(1061);
    options.Find(1054)->SetText("실행할 프로그램 경로를 설정해 주세요");
    options.Find(1055)->SetText("종료할 프로그램 경로를 설정 해주세요");
    options.Find(1058)->SetText("/home/user...in/remote-helper.exe");
    options.Find(1059)->SetText("종료할 프로그램 경로를 설정 해주세요");
}

std::unique_ptr<Dialog> MakeUpdateTemplate(Host& host) {
    auto d = std::make_unique<Dialog>(host, "update", 141);
    d->background_bitmap = 199;
    d->drags_anywhere = true;
    d->Add<CExplorer1>(1010);
    d->Add<CFontStatic>(1040);
    for (int id : {1000, 1026, 1004}) {
        d->Add<CBitmapButton>(id);
    }
    return d;
}

void StageUpdate(Dialog& update, const std::string& web_host) {
    LoadTemplateBitmaps(update);
    auto* label = update.Get<CFontStatic>(1040);
    label->SetFontStatic("굴림", 12, 0xF9F9F9, 0x41);
    // A near-white text needs the dark strip of its background to be read.
    label->own_background = true;
    label->background_colour = 0x292929;
    label->SetText("현재 최신 버전 (Ver 1187)을 사용하고 계십니다.");
    auto* page = update.Get<CExplorer1>(1010);
    if (!web_host.empty() && page->navigations() == 0) {
        page->Navigate("http://" + web_host + "/vpn_program/update.php");
    }
}

}  // namespace korvane::screenshots
