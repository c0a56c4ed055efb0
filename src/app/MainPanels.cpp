#include "app/MainPanels.h"

#include "app/CKorvaneDlg.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/CExplorer1.h"
#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"
#include "ui/ListView.h"

namespace korvane {

namespace {

std::unique_ptr<Dialog> LoginTemplate(Host& host) {
    auto d = std::make_unique<Dialog>(host, "login", 133);
    d->Add<Edit>(1005);
    d->Add<Edit>(1006, true);
    d->Add<CBitmapButton>(1007);
    d->Add<CheckBox>(1008);
    d->Add<CExplorer1>(1010);
    d->Add<CBitmapButton>(1014, "회원가입");
    d->Add<CBitmapButton>(1015, "비밀번호찾기");
    d->Add<CheckBox>(1052, "테스트 인증파일 사용").Show(false);
    return d;
}

std::unique_ptr<Dialog> StatusTemplate(Host& host) {
    auto d = std::make_unique<Dialog>(host, "status", 131);
    for (int id : {1038, 1037, 1036, 1034, 1035}) {
        d->Add<CFontStatic>(id);
    }
    for (int id : {1029, 1030, 1012, 1031, 1032, 1003}) {
        d->Add<CBitmapButton>(id);
    }
    for (int id : {1012, 1031, 1032, 1003}) {
        d->Find(id)->Show(false);
    }
    d->Add<CExplorer1>(1010);
    return d;
}

std::unique_ptr<Dialog> ServiceIpTemplate(Host& host) {
    auto d = std::make_unique<Dialog>(host, "service_ip", 226);
    d->Add<ListView>(1059, true);
    d->Add<ListView>(1020);
    d->Add<ListView>(1019);
    for (int id : {1012, 1013, 1017, 1014, 1015, 1016, 1061}) {
        d->Add<CBitmapButton>(id);
    }
    return d;
}

std::unique_ptr<Dialog> ManagedIpTemplate(Host& host) {
    auto d = std::make_unique<Dialog>(host, "managed_ip", 222);
    d->Add<ListView>(1020);
    d->Add<ListView>(1019);
    for (int id : {1012, 1013, 1062, 1063, 1014, 1015}) {
        d->Add<CBitmapButton>(id);
    }
    return d;
}

std::unique_ptr<Dialog> ProgressTemplate(Host& host, const char* name, int template_id) {
    auto d = std::make_unique<Dialog>(host, name, template_id);
    d->Move({0, 0, 260, 128});
    return d;
}

}  // namespace

MainPanels MakeTemplatePanels(CKorvaneDlg& main) {
    Host& host = main.host();
    MainPanels panels;
    panels.login = LoginTemplate(host);
    panels.status = StatusTemplate(host);
    panels.managed_ip = ManagedIpTemplate(host);
    panels.service_ip = ServiceIpTemplate(host);
    panels.connecting = ProgressTemplate(host, "connecting", 143);
    panels.connecting->Add<CProgressEx>(1050);
    panels.connecting->Add<CFontStatic>(1049, "준비중...");
    panels.update_progress = ProgressTemplate(host, "progupdate", 134);
    panels.update_progress->Add<CProgressEx>(1048);
    return panels;
}

}  // namespace korvane
