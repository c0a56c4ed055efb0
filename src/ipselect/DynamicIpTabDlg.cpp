#include "ipselect/DynamicIpTabDlg.h"

#include "app/CKorvaneDlg.h"
#include "app/SessionContext.h"
#include "ipselect/IpRequests.h"
#include "ipselect/IpSelection.h"
#include "ipselect/ListText.h"
#include "protocol/AccountInfo.h"

namespace korvane {

namespace {

IpListTab::Layout ServiceIpLayout() {
    return {
        "service_ip",
        DynamicIpTabDlg::kTemplate,
        "IpList",
        {
            {DynamicIpTabDlg::kBandList, true, {"서비스 가능 대역", 110, TextAlignment::Centre}},
            {IpListTab::kServiceList, false, {"서비스 가능 IP", 97, TextAlignment::Left}},
            {IpListTab::kSavedList, false, {"IP 저장 ", 120, TextAlignment::Left}},
        },
        {
            {IpListTab::kAddButton, 223, 223, ">"},
            {IpListTab::kRemoveButton, 224, 224, "<"},
            {1017, 233, 233, ""},
            {1014, 236, 236, ""},
            {1015, 237, 237, ""},
            {DynamicIpTabDlg::kRandomButton, 238, 239, "랜덤접속"},
            {DynamicIpTabDlg::kSequentialButton, 234, 235, "순차접속"},
        },
    };
}

}  // namespace

DynamicIpTabDlg::DynamicIpTabDlg(IpSelection& selection, AccountInfo& account, CRegCtrl& settings,
                                 Random& random)
    : IpListTab(selection, account, settings, random, ServiceIpLayout()) {
    band_list().SetRowStyle([this](int row) { return BandRowStyle(row); });
    MapNotify(kBandList, Notification::DoubleClick, [this] { OnBandDoubleClick(); });
    MapCommand(kRandomButton, [this] { PickRandomServiceRow(); });
    MapCommand(kSequentialButton, [this] { OnSequential(); });
}

void DynamicIpTabDlg::FillBandList() {
    band_list().DeleteAllRows();
    const std::vector<std::string> bands =
        SplitList(WithoutLastCharacter(account().ip_pool_class), '^');
    for (std::size_t i = 0; i < bands.size(); ++i) {
        band_list().InsertRow(static_cast<int>(i), bands[i]);
    }
}

void DynamicIpTabDlg::AfterFill() {
    band_list().RedrawNow();
}

void DynamicIpTabDlg::OnBandDoubleClick() {
    const int r = band_list().NextSelected();
    selected_band_ = r;
    band_list().RedrawNow();
    if (r < 0) {
        return;
    }
    ClearUsedRows();
    set_current_row(-1);
    session().class_code = band_list().RowText(r);
    selection().requests().RequestIpPool(selection().main_window().host());
    FillIpLists();
}

// The next sequential pick is the saved row after the one double-clicked.
void DynamicIpTabDlg::AfterSavedDoubleClick(int saved_row) {
    rotation_position_ = saved_row + 1;
}

void DynamicIpTabDlg::OnSequential() {
    // Past the end (the end itself, or a list that shrank) starts over.
    if (rotation_position_ >= saved_list().RowCount()) {
        rotation_position_ = 0;
    }
    const int k = rotation_position_;
    ApplyMatchesOf(saved_list().RowText(k), true);
    SelectOnly(saved_list(), k);
    ++rotation_position_;
    service_list().RedrawNow();
    ApplyChosenIp();
}

RowStyle DynamicIpTabDlg::BandRowStyle(int row) const {
    if (row == selected_band_) {
        return {kCurrentText, std::nullopt};
    }
    return {kBandText, std::nullopt};
}

}  // namespace korvane
