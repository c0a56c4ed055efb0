#include <gtest/gtest.h>
#include <sys/stat.h>

#include "../protocol/RecordingMessageBox.h"
#include "../settings/TempFolder.h"
#include "app/SessionContext.h"
#include "protocol/AccountInfo.h"
#include "settings/CFileMgmt.h"
#include "tunnel/TunnelFiles.h"
#include "ui/Dialog.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane::test {
namespace {

using Texts = std::vector<std::string>;

class TunnelFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session.program_dir = folder.path();
        session.tunnel_config = "dovaen.opc";
        session.credential_file = "ems.inf";
        session.tunnel_log = "event.log";
        session.auth_file = "zentra.txt";
        session.user_id = "tester";
        session.password = "Pass Word 1";
        account.server_ip = "1.2.3.4";
        account.vpnport = "1194";
        account.crt_file = "http://files.example/crt/ca.crt";
        account.crt_file_name = "ca.crt";
    }
    // The configuration file's lines (CR LF line ends).
    Texts ConfigLines() const {
        Texts lines;
        const std::string text = ReadBytes(folder / "dovaen.opc");
        std::size_t start = 0;
        for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            lines.push_back(text.substr(start, end - start));
        }
        EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
        return lines;
    }
    Texts Expected(const Texts& extra, const std::string& remote = "remote 1.2.3.4 1194") {
        Texts lines = {"client",
                       "dev tap",
                       "persist-key",
                       "persist-tun",
                       "nobind",
                       remote,
                       "pull",
                       "ca \"" + folder.path() + "/ca.crt\"",
                       "verb 3",
                       "mute 10",
                       "reneg-sec 864000",
                       "auth-nocache",
                       "auth-user-pass \"" + folder.path() + "/ems.inf\""};
        lines.insert(lines.end(), extra.begin(), extra.end());
        return lines;
    }

    TempFolder folder;
    SessionContext session;
    AccountInfo account;
    CFileMgmt file;
    testing::RecordingMessageBox boxes;
    TunnelFiles files{session, account, file, boxes};
};

TEST_F(TunnelFilesTest, ConfigurationHoldsTheFixedLinesAndTheOpenConfigItems) {
    struct Case {
        const char* open_config;
        Texts extra;
    };
    for (const Case& c :
         {Case{"route-method exe^^route-delay 2", {"route-method exe", "route-delay 2"}},
          Case{"", {}}, Case{"^ping 2^", {"ping 2"}},
          Case{"keepalive 10 60", {"keepalive 10 60"}}}) {
        account.open_config = c.open_config;
        ASSERT_EQ(files.WriteOpenVpnConfig(), 1);
        EXPECT_EQ(ConfigLines(), Expected(c.extra)) << c.open_config;
    }
    EXPECT_EQ(ReadBytes(folder / "zentra.txt"), "we go on up\r\n");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(TunnelFilesTest, OneEmptyServerFieldStillMakesACompleteFile) {
    account.vpnport.clear();
    ASSERT_EQ(files.WriteOpenVpnConfig(), 1);
    EXPECT_EQ(ConfigLines(), Expected({}, "remote 1.2.3.4 "));
    account.crt_file_name = "crt/ca.crt";
    ASSERT_EQ(files.WriteOpenVpnConfig(), 1);
    EXPECT_EQ(ConfigLines()[7], "ca \"" + folder.path() + "/ca.crt\"");
}

TEST_F(TunnelFilesTest, ConfigurationFailuresShowTheirCodeAndStop) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* message;
        std::size_t lines_left;  // the partly written file stays
    };
    const std::vector<Case> cases = {
        {"unwritable folder", [&] { session.program_dir = folder / "missing"; },
         TunnelFiles::kConfigCreateError, 0},
        {"no server", [&] { account.server_ip.clear(), account.vpnport.clear(); },
         TunnelFiles::kServerAddressError, 5},
        {"no certificate", [&] { account.crt_file_name.clear(); },
         TunnelFiles::kCertificateNameError, 7},
    };
    for (const Case& c : cases) {
        SetUp();
        boxes.boxes.clear();
        c.arrange();
        EXPECT_EQ(files.WriteOpenVpnConfig(), -1) << c.name;
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.name;
        EXPECT_EQ(boxes.boxes[0].text, c.message);
        EXPECT_EQ(boxes.boxes[0].caption, "설정오류");
        if (c.lines_left > 0) {
            EXPECT_EQ(ConfigLines().size(), c.lines_left) << c.name;
        }
        EXPECT_FALSE(file.IsOpen());
        std::remove((folder / "dovaen.opc").c_str());
    }
}

TEST_F(TunnelFilesTest, CredentialsAreWrittenAsHeldAndForTheOwnerOnly) {
    WriteBytes(folder / "ems.inf", "old\r\n");
    ::chmod((folder / "ems.inf").c_str(), 0644);
    EXPECT_EQ(files.WriteCredentialFile(), 0);
    EXPECT_EQ(ReadBytes(folder / "ems.inf"), "tester\r\nPass Word 1\r\n");
    struct stat info {};
    ASSERT_EQ(::stat((folder / "ems.inf").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(TunnelFilesTest, EmptyAccountFieldsAreRefused) {
    for (auto* field : {&session.user_id, &session.password}) {
        SetUp();
        boxes.boxes.clear();
        field->clear();
        EXPECT_EQ(files.WriteCredentialFile(), -1);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "CODE-019 : 계정에 대한 정보가 없습니다");
        EXPECT_EQ(boxes.boxes[0].caption, "환경 설정 오류");
    }
    session.program_dir = folder / "missing";
    boxes.boxes.clear();
    EXPECT_EQ(files.WriteCredentialFile(), -1);
    EXPECT_TRUE(boxes.boxes.empty()) << "an unwritable file has no message";
}

TEST_F(TunnelFilesTest, EmptyProgramFolderNeverWritesIntoTheRootFolder) {
    const std::string cwd = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    session.program_dir.clear();
    EXPECT_EQ(files.WriteOpenVpnConfig(), -1);
    EXPECT_EQ(boxes.boxes.at(0).text, TunnelFiles::kCredentialFolderError);
    EXPECT_TRUE(std::filesystem::exists(folder / "dovaen.opc"));
    files.DeleteTunnelFiles();
    EXPECT_FALSE(std::filesystem::exists(folder / "dovaen.opc"));
    std::filesystem::current_path(cwd);
}

TEST_F(TunnelFilesTest, DeleteRemovesTheFourFilesAndKeepsTheCertificate) {
    files.DeleteTunnelFiles();  // nothing there: nothing happens
    for (const char* name :
         {"ems.inf", "dovaen.opc", "event.log", "zentra.txt", "ca.crt", "crtver.ini"}) {
        WriteBytes(folder / name, "x");
    }
    files.DeleteTunnelFiles();
    for (const char* name : {"ems.inf", "dovaen.opc", "event.log", "zentra.txt"}) {
        EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
    }
    EXPECT_TRUE(std::filesystem::exists(folder / "ca.crt"));
    EXPECT_TRUE(std::filesystem::exists(folder / "crtver.ini"));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(TunnelFilesTest, DownloadShowsItsProgressAndItsFailure) {
    std::ostringstream out;
    VirtualClock clock;
    HeadlessHost host(out, clock);
    Dialog progress(host, "progupdate", 134);
    std::vector<bool> shown_while_downloading;
    const DownloadFunction download = [&](const std::string& url, const std::string& path) {
        shown_while_downloading.push_back(progress.visible());
        EXPECT_EQ(url, "http://files.example/crt/ca.crt");
        EXPECT_EQ(path, folder / "ca.crt");
        return url.empty() ? -1 : static_cast<int>(shown_while_downloading.size()) - 1;
    };
    EXPECT_EQ(files.DownloadCertificate(download, &progress), -1) << "0 is no success";
    EXPECT_EQ(boxes.boxes.at(0).text, TunnelFiles::kDownloadError);
    EXPECT_EQ(boxes.boxes.at(0).caption, "업데이트오류");
    EXPECT_EQ(files.DownloadCertificate(download, &progress), 1);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(shown_while_downloading, (std::vector<bool>{true, true}));
    EXPECT_FALSE(progress.visible());
    EXPECT_EQ(files.DownloadCertificate({}, nullptr), -1);
}

TEST_F(TunnelFilesTest, RefreshWithoutACertificateNameTouchesNothing) {
    account.crt_file_name.clear();
    account.server_cert_version = 2000;
    int downloads = 0;
    RefreshCertificate(
        session, account, file, files,
        [&](const std::string&, const std::string&) { return ++downloads; }, nullptr);
    EXPECT_EQ(downloads, 0);
    EXPECT_TRUE(std::filesystem::exists(folder.path()));
    EXPECT_FALSE(std::filesystem::exists(folder / "crtver.ini"));
}

}  // namespace
}  // namespace korvane::test
