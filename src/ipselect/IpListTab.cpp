#include "ipselect/IpListTab.h"

#include <algorithm>

#include "app/CKorvaneDlg.h"
#include "app/SessionContext.h"
#include "ipselect/IpSelection.h"
#include "ipselect/ListText.h"
#include "platform/Random.h"
#include "protocol/AccountInfo.h"
#include "settings/CRegCtrl.h"
#include "ui/CBitmapButton.h"

namespace korvane {

IpListTab::IpListTab(IpSelection& selection, AccountInfo& account, CRegCtrl& settings,
                     Random& random, Layout layout)
    : Dialog(selection.main_window().host(), layout.name, layout.template_id),
      selection_(selection),
      account_(account),
      settings_(settings),
      random_(random),
      layout_(std::move(layout)),
      saved_value_(layout_.saved_value) {
    background_bitmap = kBackground;
    for (const ListSpec& spec : layout_.lists) {
        Add<ListView>(spec.id, spec.single_selection);
    }
    for (const ButtonSpec& spec : layout_.buttons) {
        Add<CBitmapButton>(spec.id, spec.caption);
    }
    service_list().SetRowStyle([this](int row) { return ServiceRowStyle(row); });
    MapCommand(kAddButton, [this] { OnAdd(); });
    MapCommand(kRemoveButton, [this] { OnRemove(); });
    MapNotify(kServiceList, Notification::DoubleClick, [this] { OnServiceDoubleClick(); });
    MapNotify(kSavedList, Notification::DoubleClick, [this] { OnSavedDoubleClick(); });
}

SessionContext& IpListTab::session() const {
    return selection_.main_window().session();
}

bool IpListTab::OnInitDialog() {
    for (const ListSpec& spec : layout_.lists) {
        auto* list = Get<ListView>(spec.id);
        list->AddColumn(spec.column);
        list->extended_style = kListStyle;
    }
    for (const ListSpec& spec : layout_.lists) {
        Get<ListView>(spec.id)->row_height = kRowHeight;
    }
    for (const ButtonSpec& spec : layout_.buttons) {
        auto* button = Get<CBitmapButton>(spec.id);
        button->LoadBitmaps(spec.normal, spec.pressed);
        button->SizeToContent();
    }
    return true;
}

// Neither Alt+F4 nor Escape may close the tab or the window behind it.
bool IpListTab::PreTranslateKey(const KeyEvent& event) {
    return IsAltF4(event) || IsEscapeDown(event);
}

void IpListTab::FillIpLists() {
    const SessionContext& s = session();
    const std::vector<std::string> stored =
        SplitList(settings_.ReadText(s.registry_root, s.registry_key, saved_value_), '^');
    saved_names_.clear();
    saved_list().DeleteAllRows();
    pool_.clear();
    // The rows belong to the pool being replaced.
    service_list().DeleteAllRows();
    used_rows_.clear();
    current_row_ = -1;

    const std::vector<std::string> records = SplitList(account_.ip_pool_list, '|');
    for (std::size_t n = 0; n < records.size(); ++n) {
        ConnIpPool entry{PieceAt(records[n], '^', 0), PieceAt(records[n], '^', 1)};
        service_list().InsertRow(static_cast<int>(n), entry.address);
        for (const std::string& name : stored) {
            if (name == entry.address) {
                saved_list().InsertRow(0, entry.address);
                saved_names_.push_back(entry.address);
            }
        }
        pool_.push_back(std::move(entry));
    }
    AfterFill();
}

void IpListTab::SaveIpList() {
    const SessionContext& s = session();
    settings_.WriteValue(s.registry_root, s.registry_key, saved_value_, 1,
                         JoinList(saved_names_, '^'));
}

void IpListTab::ForgetChoices() {
    used_rows_.clear();
    current_row_ = -1;
}

void IpListTab::ClearCurrentRow() {
    current_row_ = -1;
    service_list().RedrawNow();
}

void IpListTab::OnAdd() {
    for (const int row : service_list().SelectedRows()) {
        const std::string text = service_list().RowText(row);
        const auto equal = std::count(saved_names_.begin(), saved_names_.end(), text);
        for (long i = 0; i < equal; ++i) {
            host().ShowMessageBox(kDuplicateText, kDuplicateCaption, BoxButtons::Ok);
        }
        if (equal > 0) {
            continue;
        }
        saved_names_.push_back(text);
        saved_list().InsertRow(0, text);
    }
    SaveIpList();
}

void IpListTab::OnRemove() {
    for (int row = saved_list().NextSelected(); row >= 0; row = saved_list().NextSelected()) {
        const std::string text = saved_list().RowText(row);
        saved_list().DeleteRow(row);
        const auto last = std::find(saved_names_.rbegin(), saved_names_.rend(), text);
        if (last != saved_names_.rend()) {
            saved_names_.erase(std::next(last).base());
        }
    }
    SaveIpList();
}

void IpListTab::LookUp(const std::string& text) {
    for (const ConnIpPool& entry : pool_) {
        if (entry.address == text) {
            session().ip_code = entry.code;
        }
    }
}

void IpListTab::MarkRow(int k) {
    used_rows_.push_back(k);
    for (std::size_t i = 0; i < used_rows_.size(); ++i) {
        if (used_rows_[i] == kRemovedRow) {
            continue;
        }
        for (std::size_t j = i + 1; j < used_rows_.size(); ++j) {
            if (used_rows_[j] == used_rows_[i]) {
                used_rows_[i] = kRemovedRow;
                break;
            }
        }
    }
}

void IpListTab::SelectOnly(ListView& list, int row) {
    list.ClearSelection();
    if (list.RowAt(row) != nullptr) {
        list.SetRowState(row, true, true);
        list.EnsureVisible(row);
    }
    SetFocus(list.id());
}

void IpListTab::ApplyMatchesOf(const std::string& text, bool select) {
    for (std::size_t m = 0; m < pool_.size(); ++m) {
        if (pool_[m].address != text) {
            continue;
        }
        const int row = static_cast<int>(m);
        session().ip_code = pool_[m].code;
        MarkRow(row);
        current_row_ = row;
        if (select) {
            SelectOnly(service_list(), row);
        }
        service_list().RedrawNow();
    }
}

void IpListTab::ApplyChosenIp() {
    selection_.ApplyChosenIp();
}

int IpListTab::NextRandom() {
    return random_.Next();
}

void IpListTab::OnServiceDoubleClick() {
    const int r = service_list().NextSelected();
    current_row_ = r;
    if (r < 0) {
        return;
    }
    LookUp(service_list().RowText(r));
    MarkRow(r);
    service_list().RedrawNow();
    ApplyChosenIp();
}

void IpListTab::OnSavedDoubleClick() {
    const int r = saved_list().NextSelected();
    if (r < 0) {
        return;
    }
    ApplyMatchesOf(saved_list().RowText(r), false);
    AfterSavedDoubleClick(r);
    ApplyChosenIp();
}

void IpListTab::PickRandomServiceRow() {
    const int n = service_list().RowCount();
    if (n == 0) {
        return;
    }
    const int r = NextRandom() % n;
    SelectOnly(service_list(), r);
    current_row_ = r;
    LookUp(service_list().RowText(r));
    MarkRow(r);
    service_list().RedrawNow();
    ApplyChosenIp();
}

RowStyle IpListTab::ServiceRowStyle(int row) const {
    RowStyle style;
    if (std::find(used_rows_.begin(), used_rows_.end(), row) != used_rows_.end()) {
        style = {kUsedText, kMarkedBackground};
    }
    // Tested last, so the current row wins over an applied one.
    if (row == current_row_) {
        style = {kCurrentText, kMarkedBackground};
    }
    return style;
}

}  // namespace korvane
