// The two IP tabs on the headless host: lists, saved addresses, the ways of
// choosing an address and the colours the rows are drawn in.

#include <gtest/gtest.h>

#include "IpSelectHarness.h"
#include "ui/CBitmapButton.h"

namespace korvane::test {
namespace {

constexpr char kPool[] = "a01^10.1.1.1|a02^10.1.1.2|a03^10.1.1.3";

using Strings = std::vector<std::string>;

class IpTabsTest : public IpSelectHarness {
  protected:
    void SetUp() override { Start(); }

    // Fills the tab from kPool (or the given pool) and the saved value.
    IpListTab& Filled(IpListTab& tab, const std::string& saved, const std::string& pool = kPool) {
        SetSetting(tab.saved_value_name(), saved);
        account_.ip_pool_list = pool;
        tab.FillIpLists();
        return tab;
    }
};

TEST_F(IpTabsTest, ListsAndButtonsAreSetUpAsTheTemplatesSay) {
    struct ListCase {
        IpListTab* tab;
        int id;
        const char* title;
        int width;
        TextAlignment alignment;
        bool single;
    };
    const ListCase lists[] = {
        {&ServiceTab(), 1059, "서비스 가능 대역", 110, TextAlignment::Centre, true},
        {&ServiceTab(), 1020, "서비스 가능 IP", 97, TextAlignment::Left, false},
        {&ServiceTab(), 1019, "IP 저장 ", 120, TextAlignment::Left, false},
        {&ManagedTab(), 1020, "서비스 가능한 IP", 145, TextAlignment::Left, false},
        {&ManagedTab(), 1019, "자주 사용하는 IP", 145, TextAlignment::Left, false},
    };
    for (const ListCase& c : lists) {
        SCOPED_TRACE(c.tab->name() + "." + std::to_string(c.id));
        const ListView& list = *c.tab->Get<ListView>(c.id);
        ASSERT_EQ(list.columns().size(), 1u);
        EXPECT_EQ(list.columns()[0].title, c.title);
        EXPECT_EQ(list.columns()[0].width, c.width);
        EXPECT_EQ(list.columns()[0].alignment, c.alignment);
        EXPECT_EQ(list.single_selection(), c.single);
        EXPECT_EQ(list.extended_style, 0x21);
        EXPECT_EQ(list.row_height, 18);
    }
    EXPECT_EQ(ManagedTab().Find(1059), nullptr) << "no band list";

    struct ButtonCase {
        IpListTab* tab;
        int id;
        int normal;
        int pressed;
    };
    const ButtonCase buttons[] = {
        {&ServiceTab(), 1012, 223, 223}, {&ServiceTab(), 1013, 224, 224},
        {&ServiceTab(), 1017, 233, 233}, {&ServiceTab(), 1014, 236, 236},
        {&ServiceTab(), 1015, 237, 237}, {&ServiceTab(), 1016, 238, 239},
        {&ServiceTab(), 1061, 234, 235}, {&ManagedTab(), 1012, 223, 223},
        {&ManagedTab(), 1013, 224, 224}, {&ManagedTab(), 1062, 236, 0},
        {&ManagedTab(), 1063, 237, 237}, {&ManagedTab(), 1014, 234, 235},
        {&ManagedTab(), 1015, 234, 235},
    };
    for (const ButtonCase& c : buttons) {
        SCOPED_TRACE(c.tab->name() + "." + std::to_string(c.id));
        const auto* button = c.tab->Get<CBitmapButton>(c.id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->normal_bitmap(), c.normal);
        EXPECT_EQ(button->pressed_bitmap(), c.pressed);
        EXPECT_TRUE(button->sized_to_bitmap());
    }
    EXPECT_EQ(ServiceTab().background_bitmap, 150);
    EXPECT_EQ(ManagedTab().background_bitmap, 150);
    EXPECT_EQ(ServiceTab().template_id(), 226);
    EXPECT_EQ(ManagedTab().template_id(), 222);
}

TEST_F(IpTabsTest, BandListComesFromTheBandText) {
    struct Case {
        const char* bands;
        Strings rows;
    };
    const Case cases[] = {
        {"a^b^c^", {"a", "b", "c"}},
        {"", {""}},
        {"서울^부산^", {"서울", "부산"}},
        // Without a closing separator a whole last letter goes, never half of it.
        {"서울^부산", {"서울", "부"}},
        {"a^^b^", {"a", "", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bands);
        account_.ip_pool_class = c.bands;
        ServiceTab().FillBandList();
        EXPECT_EQ(Rows(ServiceTab().band_list()), c.rows);
    }
}

TEST_F(IpTabsTest, SavedListShowsOnlyStoredAddressesOfThisPool) {
    IpListTab& tab = Filled(ServiceTab(), "10.1.1.2^10.1.1.9");
    EXPECT_EQ(Rows(tab.service_list()), (Strings{"10.1.1.1", "10.1.1.2", "10.1.1.3"}));
    EXPECT_EQ(Rows(tab.saved_list()), (Strings{"10.1.1.2"}));
    EXPECT_EQ(tab.saved_names(), (Strings{"10.1.1.2"}));
    EXPECT_EQ(
        tab.pool_entries(),
        (std::vector<ConnIpPool>{{"a01", "10.1.1.1"}, {"a02", "10.1.1.2"}, {"a03", "10.1.1.3"}}));

    Select(tab, IpListTab::kServiceList, {2});
    tab.DispatchCommand(IpListTab::kAddButton);
    EXPECT_EQ(Setting("IpList"), "10.1.1.2^10.1.1.3") << "10.1.1.9 is not in this pool";
    EXPECT_EQ(Rows(tab.saved_list()), (Strings{"10.1.1.3", "10.1.1.2"}));
}

TEST_F(IpTabsTest, SavedListIsInPoolOrderWithTheLatestRecordOnTop) {
    IpListTab& tab = Filled(ServiceTab(), "10.1.1.3^10.1.1.1");
    EXPECT_EQ(Rows(tab.saved_list()), (Strings{"10.1.1.3", "10.1.1.1"}));
    EXPECT_EQ(tab.saved_names(), (Strings{"10.1.1.1", "10.1.1.3"}));
}

TEST_F(IpTabsTest, RefillReplacesTheRowsOfTheEarlierPool) {
    IpListTab& tab =
        Filled(ServiceTab(), "", "a01^10.1.1.1|a02^10.1.1.2|a03^10.1.1.3|a04^10.1.1.4");
    DoubleClick(tab, IpListTab::kServiceList, 3);
    Filled(tab, "", "b01^10.2.2.1");
    EXPECT_EQ(Rows(tab.service_list()), (Strings{"10.2.2.1"}));
    EXPECT_EQ(tab.pool_entries().size(), 1u);
    EXPECT_EQ(tab.current_row(), -1);
    EXPECT_TRUE(tab.used_rows().empty());
}

TEST_F(IpTabsTest, EmptyAddressesShowInBothListsWhenNothingIsStored) {
    struct Case {
        const char* pool;
        Strings service_rows;
        Strings saved_rows;
    };
    const Case cases[] = {
        {"a01|a02^10.1.1.2", {"", "10.1.1.2"}, {""}},
        // A failed request leaves an empty pool: one empty record.
        {"", {""}, {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pool);
        store_.DeleteValue("HKEY_CURRENT_USER", "SOFTWARE\\Talvo", "IpList");
        account_.ip_pool_list = c.pool;
        ServiceTab().FillIpLists();
        EXPECT_EQ(Rows(ServiceTab().service_list()), c.service_rows);
        EXPECT_EQ(Rows(ServiceTab().saved_list()), c.saved_rows);
    }
}

TEST_F(IpTabsTest, AddPutsEachNewAddressOnTopInRowOrder) {
    IpListTab& tab = Filled(ServiceTab(), "");
    // The absent value reads as one empty name, which no address matches.
    ASSERT_TRUE(tab.saved_names().empty());
    Select(tab, IpListTab::kServiceList, {0, 2});
    tab.DispatchCommand(IpListTab::kAddButton);
    EXPECT_EQ(Rows(tab.saved_list()), (Strings{"10.1.1.3", "10.1.1.1"}));
    EXPECT_EQ(Setting("IpList"), "10.1.1.1^10.1.1.3");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(IpTabsTest, AddingASavedAddressAgainWarnsAndSkipsOnlyThatRow) {
    IpListTab& tab = Filled(ServiceTab(), "10.1.1.2");
    Select(tab, IpListTab::kServiceList, {1, 2});
    tab.DispatchCommand(IpListTab::kAddButton);
    EXPECT_EQ(Boxes(), (Strings{"box caption=\"중복오류\" text=\"이미 IP가 추가 되어 있습니다\" "
                                "buttons=ok answer=ok"}));
    EXPECT_EQ(Rows(tab.saved_list()), (Strings{"10.1.1.3", "10.1.1.2"}));
    EXPECT_EQ(Setting("IpList"), "10.1.1.2^10.1.1.3");
}

TEST_F(IpTabsTest, RemoveTakesTheSelectedRowsAndAlwaysStores) {
    IpListTab& tab = Filled(ServiceTab(), "10.1.1.1^10.1.1.2^10.1.1.3^10.1.1.9");
    // Nothing selected: the list is stored again as it shows, without 10.1.1.9.
    tab.DispatchCommand(IpListTab::kRemoveButton);
    EXPECT_EQ(Setting("IpList"), "10.1.1.1^10.1.1.2^10.1.1.3");
    EXPECT_EQ(tab.saved_list().RowCount(), 3);

    // Rows show 10.1.1.3, 10.1.1.2, 10.1.1.1.
    Select(tab, IpListTab::kSavedList, {0, 2});
    tab.DispatchCommand(IpListTab::kRemoveButton);
    EXPECT_EQ(Rows(tab.saved_list()), (Strings{"10.1.1.2"}));
    EXPECT_EQ(Setting("IpList"), "10.1.1.2");
}

TEST_F(IpTabsTest, EachServiceRowCountsOnceAndTheCurrentRowIsGreen) {
    IpListTab& tab = Filled(ServiceTab(), "");
    DoubleClick(tab, IpListTab::kServiceList, 0);
    DoubleClick(tab, IpListTab::kServiceList, 2);
    DoubleClick(tab, IpListTab::kServiceList, 2);
    EXPECT_EQ(CountedRows(tab), (std::vector<int>{0, 2}));
    EXPECT_EQ(tab.current_row(), 2);
    EXPECT_EQ(session_.ip_code, "a03");

    const ListView& list = tab.service_list();
    EXPECT_EQ(list.StyleOf(2).text, 0x31D729u) << "current wins over applied";
    EXPECT_EQ(list.StyleOf(2).background, 0xFFFFFFu);
    EXPECT_EQ(list.StyleOf(0).text, 0x0000FFu);
    EXPECT_EQ(list.StyleOf(0).background, 0xFFFFFFu);
    EXPECT_FALSE(list.StyleOf(1).text.has_value()) << "the list's default";
    EXPECT_FALSE(list.StyleOf(1).background.has_value());

    // Going back to row 0 moves it to the latest position.
    DoubleClick(tab, IpListTab::kServiceList, 0);
    EXPECT_EQ(CountedRows(tab), (std::vector<int>{2, 0}));
}

TEST_F(IpTabsTest, DoubleClickOnTheEmptyAreaOnlyForgetsTheCurrentRow) {
    IpListTab& tab = Filled(ServiceTab(), "");
    DoubleClick(tab, IpListTab::kServiceList, 1);
    steps_.Take();
    DoubleClick(tab, IpListTab::kServiceList, -1);
    EXPECT_EQ(tab.current_row(), -1);
    EXPECT_TRUE(steps_.Take().empty()) << "nothing is applied";
    DoubleClick(tab, IpListTab::kSavedList, -1);
    EXPECT_TRUE(steps_.Take().empty());
}

TEST_F(IpTabsTest, BandRowsAreGreenWhenChosenAndBlackOtherwise) {
    account_.ip_pool_class = "a^b^";
    ServiceTab().FillBandList();
    const ListView& bands = ServiceTab().band_list();
    EXPECT_EQ(bands.StyleOf(0).text, 0x000000u);
    ServiceTab().band_list().SetRowState(1, true, true);
    // The band request fails (no service): the pool stays empty.
    ServiceTab().DispatchNotify(DynamicIpTabDlg::kBandList, Notification::DoubleClick);
    EXPECT_EQ(ServiceTab().selected_band(), 1);
    EXPECT_EQ(bands.StyleOf(1).text, 0x31D729u);
    EXPECT_FALSE(bands.StyleOf(1).background.has_value());
    EXPECT_EQ(bands.StyleOf(0).text, 0x000000u);
}

TEST_F(IpTabsTest, SequentialPicksWalkTheSavedRowsAndWrap) {
    IpListTab& tab = Filled(ServiceTab(), "10.1.1.1^10.1.1.2^10.1.1.3");
    // Saved rows: 10.1.1.3, 10.1.1.2, 10.1.1.1.
    struct Pick {
        int saved_row;
        const char* code;
        int service_row;
    };
    const Pick picks[] = {{0, "a03", 2}, {1, "a02", 1}, {2, "a01", 0}, {0, "a03", 2}};
    for (const Pick& p : picks) {
        SCOPED_TRACE(p.saved_row);
        tab.DispatchCommand(DynamicIpTabDlg::kSequentialButton);
        EXPECT_EQ(tab.saved_list().SelectedRows(), (std::vector<int>{p.saved_row}));
        EXPECT_EQ(tab.saved_list().FocusedRow(), p.saved_row);
        EXPECT_EQ(tab.service_list().SelectedRows(), (std::vector<int>{p.service_row}));
        EXPECT_EQ(tab.current_row(), p.service_row);
        EXPECT_EQ(tab.focus_id(), IpListTab::kSavedList);
        EXPECT_EQ(steps_.Take(),
                  (Strings{"RunLogin(vpn," + std::string(p.code) + ")", "ConnectTunnel"}));
        session_.state = SessionState::LoggedIn;
    }
}

TEST_F(IpTabsTest, SequentialPickOnAnEmptySavedListAppliesTheCurrentCodeAgain) {
    IpListTab& tab = Filled(ServiceTab(), "");
    DoubleClick(tab, IpListTab::kServiceList, 1);
    session_.state = SessionState::LoggedIn;
    steps_.Take();
    tab.DispatchCommand(DynamicIpTabDlg::kSequentialButton);
    EXPECT_EQ(steps_.Take(), (Strings{"RunLogin(vpn,a02)", "ConnectTunnel"}));
    EXPECT_EQ(tab.current_row(), 1) << "no saved row, so no service row becomes current";
    EXPECT_EQ(ServiceTab().rotation_position(), 1);
}

TEST_F(IpTabsTest, AfterADoubleClickOnASavedRowTheSequenceGoesOnFromTheNextRow) {
    IpListTab& tab = Filled(ServiceTab(), "10.1.1.1^10.1.1.2^10.1.1.3");
    DoubleClick(tab, IpListTab::kSavedList, 1);  // 10.1.1.2
    EXPECT_EQ(session_.ip_code, "a02");
    EXPECT_EQ(tab.current_row(), 1);
    EXPECT_EQ(CountedRows(tab), (std::vector<int>{1}));
    session_.state = SessionState::LoggedIn;
    tab.DispatchCommand(DynamicIpTabDlg::kSequentialButton);
    EXPECT_EQ(tab.saved_list().SelectedRows(), (std::vector<int>{2}));
    EXPECT_EQ(session_.ip_code, "a01");

    // The last saved row: the next press starts from the top.
    DoubleClick(tab, IpListTab::kSavedList, 2);
    session_.state = SessionState::LoggedIn;
    tab.DispatchCommand(DynamicIpTabDlg::kSequentialButton);
    EXPECT_EQ(tab.saved_list().SelectedRows(), (std::vector<int>{0}));
    EXPECT_EQ(session_.ip_code, "a03");
}

TEST_F(IpTabsTest, SequentialPositionBeyondAShrunkListStartsOver) {
    IpListTab& tab = Filled(ServiceTab(), "10.1.1.1^10.1.1.2^10.1.1.3");
    tab.DispatchCommand(DynamicIpTabDlg::kSequentialButton);
    tab.DispatchCommand(DynamicIpTabDlg::kSequentialButton);
    tab.DispatchCommand(DynamicIpTabDlg::kSequentialButton);
    Select(tab, IpListTab::kSavedList, {0, 1});
    tab.DispatchCommand(IpListTab::kRemoveButton);
    ASSERT_EQ(tab.saved_list().RowCount(), 1);
    steps_.Take();
    session_.state = SessionState::LoggedIn;
    tab.DispatchCommand(DynamicIpTabDlg::kSequentialButton);
    EXPECT_EQ(tab.saved_list().SelectedRows(), (std::vector<int>{0}));
    EXPECT_EQ(steps_.Take(), (Strings{"RunLogin(vpn,a01)", "ConnectTunnel"}));
}

TEST_F(IpTabsTest, RandomServicePickSelectsAppliesAndMarks) {
    struct Case {
        IpListTab* tab;
        int button;
    };
    for (const Case& c : {Case{&ServiceTab(), DynamicIpTabDlg::kRandomButton},
                          Case{&ManagedTab(), CIpMgmtTab5Dlg::kRandomServiceButton}}) {
        SCOPED_TRACE(c.tab->name());
        IpListTab& tab = Filled(*c.tab, "");
        session_.state = SessionState::LoggedIn;
        Select(tab, IpListTab::kServiceList, {0, 2});
        random_.values = {32767};  // 32767 % 3 == 1
        tab.DispatchCommand(c.button);
        EXPECT_EQ(tab.service_list().SelectedRows(), (std::vector<int>{1}));
        EXPECT_EQ(tab.service_list().FocusedRow(), 1);
        EXPECT_EQ(tab.focus_id(), IpListTab::kServiceList);
        EXPECT_EQ(tab.current_row(), 1);
        EXPECT_EQ(CountedRows(tab), (std::vector<int>{1}));
        EXPECT_EQ(steps_.Take(), (Strings{"RunLogin(vpn,a02)", "ConnectTunnel"}));
    }
}

TEST_F(IpTabsTest, RandomButtonsDoNothingOnAnEmptyList) {
    Filled(ServiceTab(), "");
    ServiceTab().service_list().DeleteAllRows();
    ServiceTab().DispatchCommand(DynamicIpTabDlg::kRandomButton);
    Filled(ManagedTab(), "");
    ManagedTab().DispatchCommand(CIpMgmtTab5Dlg::kRandomSavedButton);
    EXPECT_TRUE(steps_.Take().empty());
    EXPECT_EQ(session_.ip_code, "0");
    EXPECT_EQ(ManagedTab().current_row(), -1);
}

TEST_F(IpTabsTest, ManagedRandomSavedPickSelectsInBothListsAndApplies) {
    IpListTab& tab = Filled(ManagedTab(), "10.1.1.1^10.1.1.3");
    // Saved rows: 10.1.1.3, 10.1.1.1.
    struct Case {
        int random;
        int saved_row;
        int service_row;
        const char* code;
    };
    for (const Case& c : {Case{4, 0, 2, "a03"}, Case{7, 1, 0, "a01"}}) {
        SCOPED_TRACE(c.random);
        session_.state = SessionState::LoggedIn;
        random_.values = {c.random};
        tab.DispatchCommand(CIpMgmtTab5Dlg::kRandomSavedButton);
        EXPECT_EQ(tab.saved_list().SelectedRows(), (std::vector<int>{c.saved_row}));
        EXPECT_EQ(tab.service_list().SelectedRows(), (std::vector<int>{c.service_row}));
        EXPECT_EQ(tab.focus_id(), IpListTab::kServiceList);
        EXPECT_EQ(tab.current_row(), c.service_row);
        EXPECT_EQ(steps_.Take(),
                  (Strings{"RunLogin(vpn," + std::string(c.code) + ")", "ConnectTunnel"}));
    }
}

TEST_F(IpTabsTest, ManagedSavedDoubleClickAppliesWithoutASequence) {
    IpListTab& tab = Filled(ManagedTab(), "10.1.1.2");
    DoubleClick(tab, IpListTab::kSavedList, 0);
    EXPECT_EQ(session_.ip_code, "a02");
    EXPECT_EQ(tab.current_row(), 1);
    EXPECT_EQ(steps_.Take(), (Strings{"RunLogin(vpn,a02)", "ConnectTunnel"}));
}

TEST_F(IpTabsTest, TheTwoTabsKeepTheirSavedListsApart) {
    SetSetting("IpList", "10.1.1.1");
    Filled(ManagedTab(), "");
    Select(ManagedTab(), IpListTab::kServiceList, {2});
    ManagedTab().DispatchCommand(IpListTab::kAddButton);
    EXPECT_EQ(Setting("IpCode"), "10.1.1.3");
    EXPECT_EQ(Setting("IpList"), "10.1.1.1") << "untouched";

    account_.ip_pool_list = kPool;
    ServiceTab().FillIpLists();
    EXPECT_EQ(Rows(ServiceTab().saved_list()), (Strings{"10.1.1.1"}));
    EXPECT_EQ(Rows(ManagedTab().saved_list()), (Strings{"10.1.1.3"}));
}

TEST_F(IpTabsTest, TitleButtonsHaveNoAction) {
    Filled(ManagedTab(), "10.1.1.2");
    const auto* title = ManagedTab().Get<CBitmapButton>(1063);
    ManagedTab().DispatchCommand(1063);
    ManagedTab().DispatchCommand(1062);
    EXPECT_EQ(title->ShownBitmap(true), 237) << "the image does not change when pressed";
    EXPECT_EQ(title->ShownBitmap(false), 237);
    EXPECT_TRUE(steps_.Take().empty());
    EXPECT_EQ(Setting("IpCode"), "10.1.1.2");
}

TEST_F(IpTabsTest, StatusPanelButtonsForgetTheChoices) {
    IpListTab& tab = Filled(ServiceTab(), "");
    DoubleClick(tab, IpListTab::kServiceList, 1);
    const int redraws = host_.redraw_count(tab, IpListTab::kServiceList);
    tab.ClearCurrentRow();
    EXPECT_EQ(tab.current_row(), -1);
    EXPECT_EQ(CountedRows(tab), (std::vector<int>{1}));
    EXPECT_EQ(host_.redraw_count(tab, IpListTab::kServiceList), redraws + 1);
    tab.ForgetChoices();
    EXPECT_TRUE(tab.used_rows().empty());
    EXPECT_FALSE(tab.service_list().StyleOf(1).text.has_value()) << "no row is drawn green or red";
}

// Tabs of their own, so the main window's filter behind them does not decide.
TEST_F(IpTabsTest, KeyFilterSwallowsAltF4AndEscape) {
    DynamicIpTabDlg service(*selection_, account_, reg_, random_);
    CIpMgmtTab5Dlg managed(*selection_, account_, reg_, random_);
    struct Case {
        KeyEvent key;
        bool swallowed;
    };
    const Case cases[] = {
        {{KeyMessage::SysKeyDown, kKeyF4}, true},
        {{KeyMessage::KeyDown, kKeyEscape}, true},
        {{KeyMessage::KeyDown, 'A'}, false},
    };
    for (Dialog* tab : {static_cast<Dialog*>(&service), static_cast<Dialog*>(&managed)}) {
        tab->Create(nullptr);
        tab->Show(ShowMode::Show);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.key.key);
            EXPECT_EQ(tab->DispatchKey(c.key), c.swallowed);
        }
        EXPECT_FALSE(tab->ended()) << "neither key closed the tab";
        EXPECT_TRUE(tab->visible());
    }
}

}  // namespace
}  // namespace korvane::test
