// The update dialog of the main window's update button, and the update
// progress window.

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "ServiceFixture.h"
#include "TranscriptLines.h"
#include "app/SessionContext.h"
#include "platform/sim/SimCommandRunner.h"
#include "platform/sim/VirtualClock.h"
#include "protocol/AccountInfo.h"
#include "protocol/CWebMgmt.h"
#include "protocol/HttpHeaders.h"
#include "ui/CProgressEx.h"
#include "ui/headless/HeadlessHost.h"
#include "update/CProgUpdateDlg.h"
#include "update/CUpdateDlg.h"
#include "update/CUpdateMgmt.h"

namespace korvane {
namespace {

using testing::ServiceFixture;

class UpdateDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("korvane-update-dialog-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        session_.ccver = 1187;
        session_.client_code = "korvane";
        session_.setup_page = "korvane_setup.php";
        session_.auth_host = "127.0.0.1";
        session_.web_host = "www.korvane.example";
        session_.temp_dir = folder_.string();
        session_.http_headers = std::string(kHttpHeaderBlock);
        progress_.Create(nullptr);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Opens the dialog against the service on `port`, presses `button` (0:
    // none) inside its modal run, and returns the label text.
    std::string Run(int port, int button) {
        HttpSettings http;
        http.port = port;
        CWebMgmt web(session_, host_, http);
        UpdateDialogServices services{
            session_, account_, web, updates_, commands_, &progress_, [this] { ++closes_; }};
        CUpdateDlg dialog(host_, services);
        std::string label;
        host_.SetModalHook([&](Dialog& d) {
            label = d.Find(CUpdateDlg::kLabel)->text();
            if (button != 0) {
                d.DispatchCommand(button);
            }
            still_open_ = !d.ended();
        });
        result_ = dialog.DoModal(nullptr);
        return label;
    }
    std::vector<std::string> Boxes() const {
        return korvane::testing::TranscriptLinesStartingWith(out_.str(), "box ");
    }
    std::string Installer() const { return (folder_ / "korvane_setup_1190.exe").string(); }

    std::filesystem::path folder_;
    std::ostringstream out_;
    VirtualClock clock_;
    HeadlessHost host_{out_, clock_};
    SessionContext session_;
    AccountInfo account_;
    CUpdateMgmt updates_{clock_};
    SimCommandRunner commands_;
    CProgUpdateDlg progress_{host_};
    int closes_ = 0;
    bool still_open_ = false;
    int result_ = 0;
};

const char* const kNewer = R"(
[service]
version = 1190
download = http://${self}/vpn_program/korvane_setup_1190.exe
)";

TEST_F(UpdateDialogTest, BeforeAnyLoginWithoutTheServiceTheClientIsCurrent) {
    EXPECT_EQ(Run(9, CUpdateDlg::kUpdateButton), "현재 최신 버전 (Ver 1187)을 사용하고 계십니다.");
    EXPECT_EQ(Boxes(), std::vector<std::string>{
                           "box caption=\"업데이트 정보\" text=\"현재 최신 버전을 사용하고 "
                           "계십니다.\" buttons=ok answer=ok"});
    EXPECT_TRUE(still_open_);
    EXPECT_EQ(closes_, 0);
    EXPECT_TRUE(commands_.runs().empty());
}

TEST_F(UpdateDialogTest, ANewerVersionWithTheInstallerPresentStartsIt) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kNewer));
    std::ofstream(Installer()) << "downloaded at login";
    EXPECT_EQ(Run(service.port(), CUpdateDlg::kUpdateButton),
              "최신 버전 (Ver 1190)이 확인 되었습니다. \n\n최신 버전으로 업데이트 하시기 바랍니다");
    ASSERT_EQ(commands_.runs().size(), 1u);
    EXPECT_EQ(commands_.runs()[0].command_line, "\"" + Installer() + "\"");
    EXPECT_EQ(closes_, 1) << "the program ends";
    EXPECT_FALSE(still_open_);
    for (const auto& entry : service.JournalEntries()) {
        EXPECT_NE(entry["endpoint"], "files") << "the present installer is not fetched again";
    }
}

TEST_F(UpdateDialogTest, AMissingInstallerIsDownloadedFirst) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kNewer, {{"korvane_setup_1190.exe", "fresh installer"}}));
    Run(service.port(), CUpdateDlg::kUpdateButton);
    std::ifstream in(Installer());
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "fresh installer");
    EXPECT_EQ(commands_.runs().size(), 1u);
    EXPECT_EQ(closes_, 1);
}

TEST_F(UpdateDialogTest, AFailedDownloadKeepsTheProgramRunning) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kNewer));  // serves no installer
    Run(service.port(), CUpdateDlg::kUpdateButton);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].find("CODE-021"), std::string::npos);
    EXPECT_TRUE(commands_.runs().empty());
    EXPECT_EQ(closes_, 0);
    EXPECT_TRUE(still_open_);
    EXPECT_FALSE(progress_.visible());
}

TEST_F(UpdateDialogTest, CancelAndCloseEndTheDialogOnly) {
    for (int button : {CUpdateDlg::kCancelButton, CUpdateDlg::kCloseButton}) {
        Run(9, button);
        EXPECT_FALSE(still_open_);
        EXPECT_EQ(result_, kIdCancel);
    }
    EXPECT_EQ(closes_, 0);
    EXPECT_TRUE(commands_.runs().empty());
}

TEST_F(UpdateDialogTest, TheProgressWindowStartsAtZero) {
    auto* bar = progress_.Get<CProgressEx>(CProgUpdateDlg::kProgressBar);
    EXPECT_EQ(bar->lower(), 0);
    EXPECT_EQ(bar->upper(), 100);
    EXPECT_EQ(bar->position(), 0);
    EXPECT_EQ(bar->caption(), "0 %");
    EXPECT_EQ(bar->draw_style, CProgressEx::kTwoColourStyle);
    EXPECT_EQ(bar->bar_colour, 0x0096FFu);
}

}  // namespace
}  // namespace korvane
