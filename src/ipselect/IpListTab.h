#pragma once

#include <string>
#include <vector>

#include "ipselect/ConnIpPool.h"
#include "ui/Colour.h"
#include "ui/Dialog.h"
#include "ui/ListView.h"

namespace korvane {

struct AccountInfo;
struct SessionContext;
class CRegCtrl;
class IpSelection;
class Random;

// What the two IP tabs share: the service-IP list filled from the pool, the
// saved ("frequently used") list kept in one settings value, adding and
// removing saved addresses, and the ways of choosing an address, each ending
// in ApplyChosenIp. Rows of the service-IP list and the pool entries share
// their positions.
class IpListTab : public Dialog {
  public:
    static constexpr int kServiceList = 1020;
    static constexpr int kSavedList = 1019;
    static constexpr int kAddButton = 1012;
    static constexpr int kRemoveButton = 1013;
    static constexpr int kBackground = 150;
    static constexpr int kListStyle = 0x21;  // grid lines, full-row selection
    static constexpr int kRowHeight = 18;
    // A used_rows position that no longer counts.
    static constexpr int kRemovedRow = -100;

    static constexpr Colour kUsedText = 0x0000FF;
    static constexpr Colour kCurrentText = 0x31D729;
    static constexpr Colour kMarkedBackground = 0xFFFFFF;

    static constexpr const char* kDuplicateText = "이미 IP가 추가 되어 있습니다";
    static constexpr const char* kDuplicateCaption = "중복오류";

    // What tells the two tabs apart.
    struct ListSpec {
        int id;
        bool single_selection;
        ListColumn column;
    };
    struct ButtonSpec {
        int id;
        int normal;
        int pressed;
        const char* caption;
    };
    struct Layout {
        std::string name;
        int template_id;
        // The settings value of the saved list.
        const char* saved_value;
        std::vector<ListSpec> lists;
        std::vector<ButtonSpec> buttons;
    };

    // Rebuilds the pool entries and both lists from ip_pool_list and the
    // saved value; only saved addresses of this pool show.
    void FillIpLists();
    // Stores the saved names, "^"-joined.
    void SaveIpList();

    const std::vector<ConnIpPool>& pool_entries() const { return pool_; }
    const std::vector<std::string>& saved_names() const { return saved_names_; }
    const std::vector<int>& used_rows() const { return used_rows_; }
    int current_row() const { return current_row_; }
    const char* saved_value_name() const { return saved_value_; }

    // The status panel's logout: no row counts as applied any more.
    void ForgetChoices();
    // The status panel's disconnect: no row is the current one.
    void ClearCurrentRow();

    ListView& service_list() const { return *Get<ListView>(kServiceList); }
    ListView& saved_list() const { return *Get<ListView>(kSavedList); }

  protected:
    IpListTab(IpSelection& selection, AccountInfo& account, CRegCtrl& settings, Random& random,
              Layout layout);

    bool OnInitDialog() override;
    bool PreTranslateKey(const KeyEvent& event) override;
    // Runs at the end of FillIpLists.
    virtual void AfterFill() {}
    // Runs after a saved row was double-clicked, before the address applies.
    virtual void AfterSavedDoubleClick(int /*saved_row*/) {}

    // The ways of choosing.
    void OnServiceDoubleClick();
    void OnSavedDoubleClick();
    // A pick needs a row; on an empty list the button does nothing.
    void PickRandomServiceRow();

    // ip_code = the code of the last pool entry whose address is text.
    void LookUp(const std::string& text);
    // Counts row k once more as applied, at its latest position only.
    void MarkRow(int k);
    // Applies every pool entry whose address is text; with select, the
    // service-IP row is also selected, focused and scrolled to. current_row
    // names a service-IP row, so only a matching entry moves it.
    void ApplyMatchesOf(const std::string& text, bool select);
    // Clears a list's selection, selects and focuses row, scrolls to it and
    // gives the list the keyboard focus.
    void SelectOnly(ListView& list, int row);
    void ApplyChosenIp();
    // The process's pseudo-random generator, 0..32767.
    int NextRandom();
    void set_current_row(int row) { current_row_ = row; }
    void ClearUsedRows() { used_rows_.clear(); }

    SessionContext& session() const;
    AccountInfo& account() const { return account_; }
    IpSelection& selection() const { return selection_; }

  private:
    void OnAdd();
    void OnRemove();
    RowStyle ServiceRowStyle(int row) const;

    IpSelection& selection_;
    AccountInfo& account_;
    CRegCtrl& settings_;
    Random& random_;
    Layout layout_;
    const char* saved_value_;

    std::vector<ConnIpPool> pool_;
    std::vector<std::string> saved_names_;
    std::vector<int> used_rows_;
    int current_row_ = -1;
};

}  // namespace korvane
