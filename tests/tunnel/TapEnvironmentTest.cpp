#include <gtest/gtest.h>

#include "SimTunnelMachine.h"
#include "tunnel/TapEnvironment.h"

namespace korvane::test {
namespace {

using Texts = std::vector<std::string>;

TEST(TapInstallCommands, AreQuotedPathsWithForwardSlashes) {
    const TapInstallCommands x86 = BuildTapInstallCommands("C:\\Program Files\\App", false);
    EXPECT_EQ(x86.remove,
              "\"C:/Program Files/App/32/tapinstall32.exe\" remove "
              "\"C:/Program Files/App/32/oemdrv.inf\" tap0901");
    EXPECT_EQ(x86.install,
              "\"C:/Program Files/App/32/tapinstall32.exe\" install "
              "\"C:/Program Files/App/32/oemdrv.inf\" tap0901");
    const TapInstallCommands x64 = BuildTapInstallCommands("/opt/korvane", true);
    EXPECT_EQ(x64.remove,
              "\"/opt/korvane/64/tapinstall64.exe\" remove \"/opt/korvane/64/OemVista.inf\" "
              "tap0901");
}

class TapEnvironmentTest : public ::testing::Test {
  protected:
    void Prepare() {
        m.tunnel = std::make_unique<TunnelSide>(m.session, m.account, m.platform, m.mgmt, m.host);
        m.tunnel->PrepareTunnelEnvironment();
    }
    std::string LastSwitch() const { return m.network.connection_switches().back(); }
    const std::string& TapGuid() { return m.network.FindAdapter(kTapIndex)->record.guid; }

    SimTunnelMachine m;
};

TEST_F(TapEnvironmentTest, PreparesFoldersNamesAndDefaults) {
    m.account.mac_addr = "00FF00000001";
    m.account.xxxtime = 99;
    m.session.windows_dir = m.environment.windows_folder;
    Prepare();
    EXPECT_EQ(m.session.program_dir, m.folder.path());
    EXPECT_EQ(m.environment.current_directory, m.folder.path());
    EXPECT_EQ(m.session.tap_adapter_description, "TAP-Windows Adapter V9") << "WOW64";
    EXPECT_EQ(m.session.tunnel_program, "dovaop.exe");
    EXPECT_EQ(m.session.tunnel_config, "dovaen.opc");
    EXPECT_EQ(m.session.tunnel_log, "event.log");
    EXPECT_EQ(m.session.credential_file, "ems.inf");
    EXPECT_EQ(m.session.client_cert_version, 1001);
    EXPECT_EQ(m.session.registry_key, "SOFTWARE\\Talvo");
    EXPECT_EQ(m.session.vpn_type, 4) << "VCType absent";
    EXPECT_EQ(LastSwitch(), TapGuid() + " connect");
    EXPECT_EQ(m.session.ip_change_type, 0);
    EXPECT_EQ(m.session.login_delay, 30);
    EXPECT_EQ(m.session.login_retry_count, 5);
    EXPECT_EQ(m.session.ip_code, "0");
    EXPECT_EQ(m.session.state, SessionState::Idle);
    EXPECT_EQ(m.account.xxxdate, "1970-01-01 23:59:59");
    EXPECT_EQ(m.account.xxxtime, 0);
    EXPECT_EQ(m.account.mac_addr, "");
    EXPECT_EQ(m.account.gamefastmode, -1);
    EXPECT_EQ(m.session.temp_dir, m.environment.windows_folder + "/Temp");
    EXPECT_TRUE(m.environment.FolderExists(m.session.temp_dir));
}

TEST_F(TapEnvironmentTest, SettingsChooseTheTunnelKindAndTheIpChange) {
    struct Case {
        const char* vc_type;
        const char* ip_change;
        int vpn_type;
        int ip_change_type;
        const char* tap_switch;
    };
    for (const Case& c : {Case{"1", "1", 1, 1, " disconnect"}, Case{"4", "0", 4, 0, " connect"},
                          Case{" 1", "11", 4, 0, " connect"}, Case{"", "", 4, 0, " connect"}}) {
        m.SetSetting("VCType", c.vc_type);
        m.SetSetting("VSIpChgType", c.ip_change);
        Prepare();
        EXPECT_EQ(m.session.vpn_type, c.vpn_type) << c.vc_type;
        EXPECT_EQ(m.session.ip_change_type, c.ip_change_type) << c.ip_change;
        EXPECT_EQ(LastSwitch(), TapGuid() + c.tap_switch) << c.vc_type;
    }
    m.system.wow64 = false;
    Prepare();
    EXPECT_EQ(m.session.tap_adapter_description, "Morvask PCI Fast Controller");
}

class CheckTapAdapterTest : public TapEnvironmentTest {
  protected:
    void SetUp() override { Prepare(); }
    Texts Installs() const {
        Texts lines;
        for (const auto& launch : m.processes.launches()) {
            EXPECT_TRUE(launch.waited && launch.hidden) << launch.command_line;
            lines.push_back(launch.command_line);
        }
        return lines;
    }
    Texts Expected() const {
        const TapInstallCommands c = BuildTapInstallCommands(m.folder.path(), true);
        return {c.remove, c.install};
    }
};

TEST_F(CheckTapAdapterTest, OneAdapterIsEnough) {
    EXPECT_EQ(m.tunnel->CheckTapAdapter(), 0);
    EXPECT_TRUE(m.processes.launches().empty());
    EXPECT_TRUE(m.NewBoxes().empty());
}

TEST_F(CheckTapAdapterTest, NoAdapterInstallsTheDriverAfterTheNotice) {
    m.network.RemoveAdapter(kTapIndex);
    const int old_program = m.processes.AddRunning("dovaop.exe");
    EXPECT_EQ(m.tunnel->CheckTapAdapter(), 0);
    EXPECT_FALSE(m.processes.IsRunning(old_program)) << "the tunnel program was stopped";
    EXPECT_EQ(m.NewBoxes(), Texts{m.Box(TapEnvironment::kInstallNotice, "설치오류")});
    EXPECT_EQ(Installs(), Expected());
    EXPECT_EQ(m.mgmt.CountAdaptersByDescription("TAP-Windows Adapter V9"), 1);
}

TEST_F(CheckTapAdapterTest, TwoAdaptersAreReinstalledAsOne) {
    m.AddTap("TAP-Windows Adapter V9 #2", 13);
    EXPECT_EQ(m.tunnel->CheckTapAdapter(), 0);
    EXPECT_EQ(Installs(), Expected());
    EXPECT_EQ(m.mgmt.CountAdaptersByDescription("TAP-Windows Adapter V9"), 1);
}

TEST_F(CheckTapAdapterTest, UnreadableAdapterListCountsAsOneAdapter) {
    m.network.set_adapter_list_error(5);
    EXPECT_EQ(m.tunnel->CheckTapAdapter(), 0);
    EXPECT_TRUE(m.processes.launches().empty());
}

}  // namespace
}  // namespace korvane::test
