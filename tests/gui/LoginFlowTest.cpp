// A login against the service driven through the real widgets: typed into
// the edits, the login button clicked, an address double-clicked. The login
// panel and the IP tab here are small stand-ins that do what the login and
// the managed-IP tab do on the wire and on the screen.
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "GuiFixture.h"
#include "ServiceFixture.h"
#include "app/CKorvaneApp.h"
#include "app/CKorvaneDlg.h"
#include "app/PendingOperations.h"
#include "app/SessionContext.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/AccountAnswerParser.h"
#include "protocol/CWebMgmt.h"
#include "protocol/RequestRecord.h"
#include "protocol/WireText.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/CFontStatic.h"
#include "ui/ListView.h"

namespace korvane::gui {
namespace {

using korvane::testing::ServiceFixture;

constexpr const char* kConfig =
    "[service]\nweb_host = ${self}\n"
    "[account gui_user]\npassword = pass1234\nmygame = 테스트 요금제\nuse_select = 1\n"
    "ip_pool_class = 서울^\n"
    "[band 서울]\nip = A1 10.9.0.1\nip = A2 10.9.0.2\nip = A3 10.9.0.3\n";

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == separator) {
            pieces.emplace_back();
        } else {
            pieces.back().push_back(c);
        }
    }
    return pieces;
}

class StandInTab : public Dialog {
  public:
    explicit StandInTab(Host& host) : Dialog(host, "managed_ip", 222) {
        background_bitmap = 150;
        auto& pool = Add<ListView>(1020);
        pool.AddColumn({"서비스 가능한 IP", 145, TextAlignment::Left});
        pool.extended_style = 0x21;
        pool.row_height = 18;
        pool.SetRowStyle([this](int row) {
            return row == current_row ? RowStyle{0x31D729, 0xFFFFFF} : RowStyle{};
        });
        Add<ListView>(1019);
        MapNotify(1020, Notification::DoubleClick, [this, &pool] {
            current_row = pool.NextSelected();
            pool.RedrawNow();
            chosen = pool.RowText(current_row);
        });
    }
    int current_row = -1;
    std::string chosen;
};

class StandInLogin : public Dialog {
  public:
    StandInLogin(CKorvaneDlg& main, int port) : Dialog(main.host(), "login", 133), main_(main) {
        background_bitmap = 148;
        Add<Edit>(1005);
        Add<Edit>(1006, true);
        Add<CBitmapButton>(1007);
        settings_.port = port;
        MapCommand(1007, [this] { Login(); });
    }

  protected:
    bool OnInitDialog() override {
        auto* button = Get<CBitmapButton>(1007);
        button->LoadBitmaps(153, 154);
        button->SizeToContent();
        return true;
    }

  private:
    std::string Ask(const char* page, const std::string& record) {
        CWebMgmt web(main_.session(), host(), settings_);
        return DecodeFromWire(
            web.PostForm(std::string("http://127.0.0.1") + page, "bin=" + EncodeForWire(record)));
    }

    void Login() {
        SessionContext& session = main_.session();
        LoginRecordFields fields;
        fields.client_code = "korvane";
        fields.id = Find(1005)->text();
        fields.password = Find(1006)->text();
        fields.ccver = session.ccver;
        fields.auth_mode = "user";
        AccountInfo account;
        account.login_answer =
            Ask("/ClientLogin/user_check_v1.php", RequestRecord::Login(fields, 0));
        if (account.login_answer.rfind("login_auth=yes", 0) != 0) {
            host().ShowMessageBox(account.login_answer, "접속오류", BoxButtons::Ok);
            return;
        }
        VirtualClock clock;
        ParseAccountAnswer(account, session, clock);
        Dialog& status = *main_.panels().status;
        status.Get<CFontStatic>(1038)->SetFontStatic("굴림", 12, 0xC0C000, 0x41);
        status.Find(1038)->SetText(fields.id);
        status.Find(1037)->SetText(account.mygame);
        std::string pool = Ask("/Info/ip_pool_list.php", RequestRecord::IpPool(fields, ""));
        pool = pool.empty() ? pool : pool.substr(0, pool.size() - 1);
        auto* list = main_.panels().managed_ip->Get<ListView>(1020);
        for (const std::string& entry : Split(pool, '|')) {
            const auto parts = Split(entry, '^');
            list->InsertRow(list->RowCount(), parts.size() > 1 ? parts[1] : "");
        }
        Show(ShowMode::Hide);
        status.Show(ShowMode::Show);
        main_.fields().narrow_layout = 1;
        main_.ToggleLayout();
        main_.panels().managed_ip->Show(ShowMode::Show);
    }

    CKorvaneDlg& main_;
    HttpSettings settings_;
};

class LoginFlowTest : public GuiTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(service_.Start(kConfig));
        session_.http_headers = kHttpHeaders;
        session_.ccver = kClientVersion;
        main_ = std::make_unique<CKorvaneDlg>(
            host_, session_, operations_, deploy_, [this](CKorvaneDlg& main) {
                MainPanels panels = MakeTemplatePanels(main);
                panels.login = std::make_unique<StandInLogin>(main, service_.port());
                panels.managed_ip = std::make_unique<StandInTab>(main.host());
                return panels;
            });
        main_->Create(nullptr);
        main_->Show(ShowMode::Normal);
        Pump(10);
    }
    void TearDown() override { main_.reset(); }

    ServiceFixture service_;
    SessionContext session_;
    PendingOperations operations_;
    DeploySettings deploy_;
    std::unique_ptr<CKorvaneDlg> main_;
};

TEST_F(LoginFlowTest, TypedLoginShowsTheAccountAndAChosenAddressTurnsGreen) {
    MainPanels& panels = main_->panels();
    DialogWindow& main_window = WindowOf(*main_);
    EXPECT_EQ(main_window.width(), 450);
    auto& id = WidgetOf<QLineEdit>(*panels.login, 1005);
    auto& password = WidgetOf<QLineEdit>(*panels.login, 1006);
    Focus(id);
    QTest::keyClicks(&id, "gui_user");
    Focus(password);
    QTest::keyClicks(&password, "pass1234");
    QTest::mouseClick(&WidgetOf(*panels.login, 1007), Qt::LeftButton);
    Pump(10);

    EXPECT_FALSE(WindowOf(*panels.login).isVisible());
    EXPECT_TRUE(WindowOf(*panels.status).isVisible());
    EXPECT_TRUE(WindowOf(*panels.managed_ip).isVisible());
    EXPECT_EQ(main_window.width(), 900);
    EXPECT_EQ(panels.status->Find(1038)->text(), "gui_user");
    EXPECT_EQ(panels.status->Find(1037)->text(), "테스트 요금제");
    const QImage line = WidgetOf(*panels.status, 1038).grab().toImage();
    EXPECT_GT(
        CountPixels(line, line.rect(),
                    [](QColor c) { return c.blue() > 140 && c.green() > 140 && c.red() < 90; }),
        20);

    auto& table = WidgetOf<QTableView>(*panels.managed_ip, 1020);
    ASSERT_EQ(table.model()->rowCount(), 3);
    EXPECT_EQ(table.model()->index(1, 0).data().toString(), "10.9.0.2");
    const QRect row = table.visualRect(table.model()->index(1, 0));
    QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, row.center());
    Pump(10);
    auto& tab = static_cast<StandInTab&>(*panels.managed_ip);
    EXPECT_EQ(tab.chosen, "10.9.0.2");
    // Off the list the chosen row keeps its green (the selection shows grey).
    Focus(WidgetOf(*panels.login, 1005));
    const QImage drawn = table.viewport()->grab(row).toImage();
    EXPECT_GT(
        CountPixels(drawn, drawn.rect(),
                    [](QColor c) { return c.green() > 150 && c.red() < 120 && c.blue() < 120; }),
        5);

    const auto journal = service_.JournalEntries(2);
    ASSERT_GE(journal.size(), 2u);
    EXPECT_EQ(journal[0]["endpoint"], "login");
    EXPECT_EQ(journal[0]["fields"]["id"], "gui_user");
    EXPECT_EQ(journal[1]["endpoint"], "ip_pool");
}

TEST_F(LoginFlowTest, RefusedLoginIsToldInAMessageBoxAndThePanelStays) {
    MainPanels& panels = main_->panels();
    auto& id = WidgetOf<QLineEdit>(*panels.login, 1005);
    Focus(id);
    QTest::keyClicks(&id, "gui_user");
    QString told;
    WhenModalShows([&](QWidget& modal) {
        auto* box = qobject_cast<QMessageBox*>(&modal);
        ASSERT_NE(box, nullptr);
        told = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(&WidgetOf(*panels.login, 1007), Qt::LeftButton);
    EXPECT_EQ(told, "login_auth=no");
    EXPECT_TRUE(WindowOf(*panels.login).isVisible());
    EXPECT_EQ(WindowOf(*main_).width(), 450);
}

}  // namespace
}  // namespace korvane::gui
