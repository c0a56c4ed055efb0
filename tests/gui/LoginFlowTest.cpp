// The whole program on the desktop host and a simulated machine, played
// through its real widgets against the service: typed into the login panel's
// edits, the login button clicked, an address double-clicked.
#include <QImage>
#include <QTableView>
#include <QWidget>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "DesktopDirector.h"
#include "DrivenClient.h"
#include "GuiFixture.h"
#include "ServiceFixture.h"
#include "app/CKorvaneDlg.h"
#include "app/CLoginDlg.h"
#include "app/LoginProcedure.h"
#include "ipselect/IpListTab.h"
#include "ui/CLogoutDlg.h"
#include "ui/qt/DialogWindow.h"

namespace korvane::gui {
namespace {

using korvane::testing::ServiceFixture;
using screenshots::Director;
using screenshots::NamedDialogsHost;

constexpr const char* kConfig =
    "[service]\nweb_host = ${self}\n"
    "[account gui_user]\npassword = pass1234\nmygame = 테스트 요금제\n"
    "vpntype = 4\nserver_ip = 10.8.0.1\nvpnport = 1194\ngateway_ip = 10.8.0.1\n"
    "route_list = 0.0.0.0/0.0.0.0\ncrt_ver = 2\ncrt_file = http://${self}/crt/ca.crt\n"
    "xxxdate = +30d\nxxxtime = 3600\nlogin_dealy = 2\n"
    "zentra_auth = gui_token\nuser_long_id = 100009\n"
    "use_select = 1\nip_pool_class = 서울^\n"
    "[band 서울]\nip = A1 10.9.0.1\nip = A2 10.9.0.2\nip = A3 10.9.0.3\n";

class LoginFlowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(service_.Start(kConfig, {{"ca.crt", "certificate\n"}})); }

    enum class End { CloseButton, Signal };

    // Plays `steps`, then ends the program: its close button (confirming the
    // question), or the signal a session's end sends.
    void Play(const std::function<void(NamedDialogsHost&, Director&)>& steps,
              End end = End::CloseButton) {
        screenshots::DrivenClientOptions options;
        options.service = service_.address();
        options.work_folder = service_.dir() + "/client";
        options.keep_work_folder = true;
        std::string error;
        const int code = screenshots::RunDrivenClient(
            options,
            [&](NamedDialogsHost& host, Director& director) {
                director.SetFailureFolder(KORVANE_SCREENSHOT_DIR);
                steps(host, director);
                if (end == End::Signal) {
                    director.Add(
                        "end the session", [] { return true; }, [] { raise(SIGTERM); });
                    return;
                }
                director.Add(
                    "close the program", [] { return !screenshots::MessageBoxShowing(); },
                    [&host] {
                        screenshots::ClickLater(host.Widget("main", CKorvaneDlg::kCloseButton));
                    });
                director.Add(
                    "confirm the exit", [] { return screenshots::MessageBoxShowing(); },
                    [] { screenshots::AnswerMessageBox(true); });
            },
            error);
        EXPECT_EQ(code, 0) << error;
    }

    // Files of the program folder holding `text`.
    int FilesHolding(const std::string& text) const {
        int found = 0;
        const std::string folder = service_.dir() + "/client/machine";
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
            if (!entry.is_regular_file()) {
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), {});
            found += bytes.find(text) != std::string::npos ? 1 : 0;
        }
        return found;
    }

    // Logs in, double-clicks the second address and waits for the tunnel.
    void Connect(NamedDialogsHost& host, Director& d) {
        d.Add(
            "log in", [&host] { return host.Showing("login"); },
            [&host] { TypeLogin(host, "pass1234"); });
        d.Add(
            "see the pool", [&host] { return PoolShown(host); },
            [&host] { screenshots::DoubleClickRow(Pool(host), 1); });
        d.Add("see the tunnel up", [&host] { return screenshots::TunnelUp(host); }, {});
    }

    static QTableView* Pool(const NamedDialogsHost& host) {
        return qobject_cast<QTableView*>(host.Widget("managed_ip", IpListTab::kServiceList));
    }
    // Logged in: the status panel and the configured pool's three addresses.
    static bool PoolShown(const NamedDialogsHost& host) {
        return host.Showing("status") && host.Showing("managed_ip") &&
               screenshots::RowCount(Pool(host)) == 3;
    }

    std::vector<std::string> SessionRequests(std::string* connect_ip_code = nullptr) {
        // The session's requests in order (pages, files and what the
        // service does not serve left out).
        std::vector<std::string> session;
        for (const auto& entry : service_.JournalEntries(4)) {
            const std::string endpoint = entry["endpoint"];
            if (entry["status"] == 200 && endpoint != "pages" && endpoint != "files") {
                session.push_back(endpoint);
                if (endpoint == "login" && session.size() > 1 && connect_ip_code != nullptr) {
                    *connect_ip_code = entry["fields"].value("ip_code", "");
                }
            }
        }
        return session;
    }

    // While connected, with nothing or a modal window open, the signal a
    // session's end sends closes the program: it logs out and tears the
    // tunnel down, and the credential file goes with it.
    void EndSessionWhileConnected(bool options_open) {
        int holding_password_while_connected = 0;
        Play(
            [&](NamedDialogsHost& host, Director& d) {
                Connect(host, d);
                d.Add(
                    "look at the program folder", [] { return true; },
                    [&] { holding_password_while_connected = FilesHolding("pass1234"); });
                if (options_open) {
                    d.Add(
                        "open the options", [] { return true; },
                        [&host] {
                            screenshots::ClickLater(
                                host.Widget("main", CKorvaneDlg::kOptionsButton));
                        });
                    d.Add("see the options", [&host] { return host.Showing("options"); }, {});
                }
            },
            End::Signal);
        EXPECT_EQ(holding_password_while_connected, 1);
        EXPECT_EQ(FilesHolding("pass1234"), 0) << "the credential file outlived the program";
        EXPECT_EQ(SessionRequests(),
                  (std::vector<std::string>{"login", "ip_pool", "login", "logout"}));
    }

    static void TypeLogin(NamedDialogsHost& host, const std::string& password) {
        screenshots::TypeInto(host.Widget("login", CLoginDlg::kIdEdit), "gui_user");
        screenshots::TypeInto(host.Widget("login", CLoginDlg::kPasswordEdit), password);
        screenshots::ClickLater(host.Widget("login", CLoginDlg::kLoginButton));
    }

    ServiceFixture service_;
};

TEST_F(LoginFlowTest, TypedLoginShowsTheAccountAndAChosenAddressTurnsGreen) {
    Play([&](NamedDialogsHost& host, Director& d) {
        d.Add(
            "log in", [&host] { return host.Showing("login"); },
            [&host] { TypeLogin(host, "pass1234"); });
        d.Add(
            "see the pool", [&host] { return PoolShown(host); },
            [&host] {
                EXPECT_FALSE(host.Showing("login"));
                EXPECT_EQ(host.WindowOf(*host.Find("main"))->width(), 900);
                Dialog& status = *host.Find("status");
                EXPECT_EQ(status.Find(CLogoutDlg::kUserLine)->text(), "gui_user");
                EXPECT_EQ(status.Find(CLogoutDlg::kPlanLine)->text(), "테스트 요금제");
                // The user line is drawn in its cyan on its own background.
                const QImage line =
                    host.ControlWidget(status, CLogoutDlg::kUserLine)->grab().toImage();
                EXPECT_GT(CountPixels(line, line.rect(),
                                      [](QColor c) {
                                          return c.blue() > 140 && c.green() > 140 && c.red() < 90;
                                      }),
                          20);
                EXPECT_EQ(Pool(host)->model()->index(1, 0).data().toString(), "10.9.0.2");
                screenshots::DoubleClickRow(Pool(host), 1);
            });
        d.Add(
            "see the tunnel up", [&host] { return screenshots::TunnelUp(host); },
            [&host] {
                QTableView* table = Pool(host);
                const QRect row = table->visualRect(table->model()->index(1, 0));
                // Off the list the chosen row keeps its green (the selection
                // shows grey).
                Focus(*host.Widget("status", CLogoutDlg::kLogoutButton));
                const QImage drawn = table->viewport()->grab(row).toImage();
                EXPECT_GT(CountPixels(drawn, drawn.rect(),
                                      [](QColor c) {
                                          return c.green() > 150 && c.red() < 120 && c.blue() < 120;
                                      }),
                          5);
                EXPECT_EQ(host.Find("status")->Find(CLogoutDlg::kIpLine)->text(), "10.8.0.6");
            });
    });
    // The connect logs in again, naming the address.
    std::string connect_ip_code;
    EXPECT_EQ(SessionRequests(&connect_ip_code),
              (std::vector<std::string>{"login", "ip_pool", "login", "logout"}));
    EXPECT_EQ(connect_ip_code, "A2");
}

TEST_F(LoginFlowTest, RefusedLoginIsToldInAMessageBoxAndThePanelStays) {
    std::string told;
    Play([&](NamedDialogsHost& host, Director& d) {
        d.Add(
            "log in", [&host] { return host.Showing("login"); },
            [&host] { TypeLogin(host, "wrong"); });
        d.Add(
            "read the refusal", [] { return screenshots::MessageBoxShowing(); },
            [&told] { screenshots::AnswerMessageBox(true, &told); });
        d.Add(
            "see the panel again", [] { return !screenshots::MessageBoxShowing(); },
            [&host] {
                EXPECT_TRUE(host.Showing("login"));
                EXPECT_FALSE(host.Showing("status"));
                EXPECT_EQ(host.WindowOf(*host.Find("main"))->width(), 450);
            });
    });
    EXPECT_EQ(told, LoginProcedure::kRefusedText);
}

TEST_F(LoginFlowTest, AnEndingSessionLogsOutAndTearsTheTunnelDown) {
    EndSessionWhileConnected(false);
}

TEST_F(LoginFlowTest, AnEndingSessionAlsoEndsTheModalWindowOnTheScreen) {
    EndSessionWhileConnected(true);
}

}  // namespace
}  // namespace korvane::gui
