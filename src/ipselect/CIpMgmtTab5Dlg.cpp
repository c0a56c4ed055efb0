#include "ipselect/CIpMgmtTab5Dlg.h"

namespace korvane {

namespace {

IpListTab::Layout ManagedIpLayout() {
    return {
        "managed_ip",
        CIpMgmtTab5Dlg::kTemplate,
        "IpCode",
        {
            {IpListTab::kServiceList, false, {"서비스 가능한 IP", 145, TextAlignment::Left}},
            {IpListTab::kSavedList, false, {"자주 사용하는 IP", 145, TextAlignment::Left}},
        },
        {
            {IpListTab::kAddButton, 223, 223, ">"},
            {IpListTab::kRemoveButton, 224, 224, "<"},
            {1062, 236, 0, ""},
            {1063, 237, 237, ""},
            {CIpMgmtTab5Dlg::kRandomServiceButton, 234, 235, ""},
            {CIpMgmtTab5Dlg::kRandomSavedButton, 234, 235, ""},
        },
    };
}

}  // namespace

CIpMgmtTab5Dlg::CIpMgmtTab5Dlg(IpSelection& selection, AccountInfo& account, CRegCtrl& settings,
                               Random& random)
    : IpListTab(selection, account, settings, random, ManagedIpLayout()) {
    MapCommand(kRandomServiceButton, [this] { PickRandomServiceRow(); });
    MapCommand(kRandomSavedButton, [this] { PickRandomSavedRow(); });
}

// A pick needs a row; on an empty saved list the button does nothing.
void CIpMgmtTab5Dlg::PickRandomSavedRow() {
    const int n = saved_list().RowCount();
    if (n == 0) {
        return;
    }
    const int r = NextRandom() % n;
    SelectOnly(saved_list(), r);
    ApplyMatchesOf(saved_list().RowText(r), true);
    service_list().RedrawNow();
    ApplyChosenIp();
}

}  // namespace korvane
