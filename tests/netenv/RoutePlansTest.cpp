#include <gtest/gtest.h>

#include "SimMachine.h"
#include "netenv/RemoteControlPeer.h"
#include "protocol/WireCodec.h"

namespace korvane::test {
namespace {

using Texts = std::vector<std::string>;

TEST(LoginHostRoutes, RecordTheBaseRouteAndPinServerAndAuthHost) {
    SimMachine m;
    m.Login();
    EXPECT_EQ(m.base.interface_index, kPhysical);
    EXPECT_EQ(m.base.gateway, "192.168.0.1");
    EXPECT_EQ(m.base.local_address, "192.168.0.10");
    EXPECT_EQ(m.Routes(50), (Texts{"198.51.100.10/255.255.255.255 via 192.168.0.1 if 7",
                                   "203.0.113.5/255.255.255.255 via 192.168.0.1 if 7"}));
}

TEST(LoginHostRoutes, WithoutABestRouteNoBaseIsRecordedAndNothingAdded) {
    SimMachine m;
    m.network.RemoveAdapter(kPhysical);
    m.network.RemoveAdapter(kTap);
    m.Login();
    EXPECT_EQ(m.base.interface_index, 0u);
    EXPECT_EQ(m.network.create_count(), 0);
}

TEST(RemoteControlPeerRoute, PinsTheFoundPeerWithMetric45) {
    SimMachine m;
    m.network.AddTcpRow({kTcpEstablished, Addr("192.168.0.10"), 50123, Addr("198.51.100.77"),
                         kRemoteControlPort, 0});
    m.Login();
    RemoteControlPeer peer;
    AddRemoteControlPeerRoute(m.mgmt, m.base, peer);
    EXPECT_EQ(peer.address, "198.51.100.77");
    EXPECT_EQ(peer.port, kRemoteControlPort);
    EXPECT_EQ(m.Routes(45), Texts{"198.51.100.77/255.255.255.255 via 192.168.0.1 if 7"});
}

TEST(RemoteControlPeerRoute, NoPeerOrAnOlderSystemAddsNothing) {
    for (const bool older_system : {false, true}) {
        SimMachine m;
        if (older_system) {
            m.network.AddTcpRow({kTcpEstablished, Addr("192.168.0.10"), 50123,
                                 Addr("198.51.100.77"), kRemoteControlPort, 0});
            m.system.version->major = 5;
        }
        m.Login();
        RemoteControlPeer peer;
        AddRemoteControlPeerRoute(m.mgmt, m.base, peer);
        EXPECT_EQ(peer.address, "") << older_system;
        EXPECT_TRUE(m.Routes(45).empty()) << older_system;
    }
}

TEST(RemoteControlPeerRoute, LinuxLooksThePeerUpToo) {
    SimMachine m;
    m.system.version = OsVersionRecord{};
    m.system.version->platform_id = kPlatformLinux;
    m.network.AddTcpRow({kTcpEstablished, Addr("192.168.0.10"), 50123, Addr("198.51.100.77"),
                         kRemoteControlPort, 0});
    m.Login();
    RemoteControlPeer peer;
    AddRemoteControlPeerRoute(m.mgmt, m.base, peer);
    EXPECT_EQ(m.Routes(45).size(), 1u);
}

TEST(BypassRoutes, SkipEmptyEntriesAndStayTwoWhenRunTwice) {
    SimMachine m;
    m.Login();
    m.account.default_route = "1.2.3.4^^5.6.7.8";
    const Texts expected{"1.2.3.4/255.255.255.255 via 192.168.0.1 if 7",
                         "5.6.7.8/255.255.255.255 via 192.168.0.1 if 7"};
    AddBypassRoutes(m.mgmt, m.base, m.account);
    EXPECT_EQ(m.Routes(77), expected);
    AddBypassRoutes(m.mgmt, m.base, m.account);
    EXPECT_EQ(m.Routes(77), expected);
}

TEST(BypassRoutes, AnEmptyListOnlyRemovesTheOldOnes) {
    SimMachine m;
    m.Login();
    m.network.AddRow(Row("9.9.9.9", "255.255.255.255", "192.168.0.1", kPhysical, 77));
    m.account.default_route = "";
    const int created = m.network.create_count();
    AddBypassRoutes(m.mgmt, m.base, m.account);
    EXPECT_TRUE(m.Routes(77).empty());
    EXPECT_EQ(m.network.create_count(), created);
}

TEST(RoutePlans, BeforeTheFirstLoginNoPlanAddsARoute) {
    SimMachine m;
    m.network.AddTcpRow({kTcpEstablished, Addr("192.168.0.10"), 50123, Addr("198.51.100.77"),
                         kRemoteControlPort, 0});
    m.account.default_route = "1.2.3.4^5.6.7.8";
    RemoteControlPeer peer;
    AddRemoteControlPeerRoute(m.mgmt, m.base, peer);
    AddBypassRoutes(m.mgmt, m.base, m.account);
    RestoreBaseDefaultRoute(m.mgmt, m.base, m.session);
    AddRegisteredRemoteControlRoutes(m.mgmt, m.base, "1.1.1.1^2.2.2.2");
    EXPECT_EQ(m.network.create_count(), 0);
}

// The route table after the tunnel took the default route.
void ExpectSwapped(const SimMachine& m) {
    EXPECT_EQ(m.Routes(80), (Texts{"198.51.100.10/255.255.255.255 via 192.168.0.1 if 7",
                                   "203.0.113.5/255.255.255.255 via 192.168.0.1 if 7"}));
    EXPECT_EQ(m.Routes(55), Texts{"0.0.0.0/0.0.0.0 via 192.168.0.1 if 7"});
    EXPECT_EQ(m.Routes(50), (Texts{"0.0.0.0/0.0.0.0 via 10.8.0.5 if 12",
                                   "198.51.100.10/255.255.255.255 via 192.168.0.1 if 7",
                                   "203.0.113.5/255.255.255.255 via 192.168.0.1 if 7"}));
    // The machine's own default route and the tunnel adapter's are gone.
    EXPECT_EQ(m.Routes(25), Texts{"192.168.0.0/255.255.255.0 via 0.0.0.0 if 7"});
    EXPECT_EQ(m.Routes(30), Texts{"10.8.0.0/255.255.255.0 via 0.0.0.0 if 12"});
}

TEST(TunnelRoutes, OnlyTheWholeTableEntryActsAndOnlyOnce) {
    SimMachine m;
    m.Login();
    m.account.route_list = "10.0.0.0/255.0.0.0^0.0.0.0/0.0.0.0";
    EXPECT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), 0);
    ExpectSwapped(m);
    EXPECT_EQ(m.session.tunnel_interface_index, static_cast<int>(kTap));
    EXPECT_EQ(m.base.local_address, "");
    const std::vector<std::pair<std::string, std::string>> written{
        {"adpi", "7"}, {"lgy", WireCodec::Encode("192.168.0.10")}};
    EXPECT_EQ(m.settings_written, written);
}

TEST(TunnelRoutes, RunningTwiceLeavesTheSameTable) {
    SimMachine m;
    m.Login();
    m.account.route_list = "0.0.0.0/0.0.0.0";
    ASSERT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), 0);
    ASSERT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), 0);
    ExpectSwapped(m);
}

TEST(TunnelRoutes, WithoutAWholeTableEntryTheMachineKeepsItsDefaultRoute) {
    for (const char* route_list : {"10.0.0.0/255.0.0.0", "0.0.0.0", "0.0.0.0/", "/0.0.0.0", ""}) {
        SimMachine m;
        m.Login();
        m.account.route_list = route_list;
        EXPECT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), 0);
        EXPECT_TRUE(m.Routes(80).empty()) << route_list;
        EXPECT_TRUE(m.Routes(55).empty()) << route_list;
        EXPECT_EQ(m.Routes(25).size(), 2u) << route_list;
        // Steps 4 and 5 ran: the tunnel adapter's own default route went.
        EXPECT_EQ(m.Routes(30), Texts{"10.8.0.0/255.255.255.0 via 0.0.0.0 if 12"}) << route_list;
        EXPECT_TRUE(m.settings_written.empty()) << route_list;
    }
}

TEST(TunnelRoutes, ATunnelAdapterWithoutAddressReturnsMinus2AndTouchesNothing) {
    SimMachine m;
    m.Login();
    m.account.route_list = "0.0.0.0/0.0.0.0";
    m.network.AddRow(Row("198.51.100.99", "255.255.255.255", "192.168.0.1", kPhysical, 80));
    m.network.FindAdapter(kTap)->record.addresses.clear();
    const auto before = m.network.routes();
    EXPECT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), -2);
    EXPECT_EQ(m.network.routes(), before);
    EXPECT_TRUE(m.settings_written.empty());
    EXPECT_EQ(m.session.tunnel_interface_index, static_cast<int>(kTap));

    // Once the address arrives a retry still stores the login's address.
    m.network.FindAdapter(kTap)->record.addresses = {{Addr("10.8.0.6"), Addr("255.255.255.0")}};
    EXPECT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), 0);
    ASSERT_EQ(m.settings_written.size(), 2u);
    EXPECT_EQ(m.settings_written[1].second, WireCodec::Encode("192.168.0.10"));
}

TEST(TunnelRoutes, NoTunnelAdapterAtAllReturnsMinus2) {
    SimMachine m;
    m.Login();
    m.session.tap_adapter_description = "Morvask PCI Fast Controller";
    const auto before = m.network.routes();
    EXPECT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), -2);
    EXPECT_EQ(m.session.tunnel_interface_index, 0);
    EXPECT_EQ(m.network.routes(), before);
}

TEST(LogoutRestore, PutsTheBaseDefaultRouteBackOnceTheTunnelIsGone) {
    SimMachine m;
    m.Login();
    m.account.route_list = "0.0.0.0/0.0.0.0";
    ASSERT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), 0);
    m.network.RemoveAdapter(kTap);
    RestoreBaseDefaultRoute(m.mgmt, m.base, m.session);
    EXPECT_EQ(m.Routes(50), (Texts{"0.0.0.0/0.0.0.0 via 192.168.0.1 if 7",
                                   "198.51.100.10/255.255.255.255 via 192.168.0.1 if 7",
                                   "203.0.113.5/255.255.255.255 via 192.168.0.1 if 7"}));
    EXPECT_TRUE(m.Routes(55).empty());
    EXPECT_TRUE(m.Routes(80).empty());
}

// The tunnel program killed hard: the TAP link keeps its address and the
// default route the tunnel plan gave it.
TEST(LogoutRestore, ALinkLeftByAKilledTunnelProgramGivesUpTheDefaultRoute) {
    SimMachine m;
    m.Login();
    m.account.route_list = "0.0.0.0/0.0.0.0";
    ASSERT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), 0);
    RestoreBaseDefaultRoute(m.mgmt, m.base, m.session);
    EXPECT_EQ(m.Routes(50), (Texts{"0.0.0.0/0.0.0.0 via 192.168.0.1 if 7",
                                   "198.51.100.10/255.255.255.255 via 192.168.0.1 if 7",
                                   "203.0.113.5/255.255.255.255 via 192.168.0.1 if 7"}));
    ForwardRow best;
    ASSERT_TRUE(m.network.FindBestRoute(Addr("203.0.113.200"), best));
    EXPECT_EQ(best.interface_index, kPhysical);
    // As before the tunnel: the classes of the tunnel's time are gone, the
    // link's own subnet is not the client's to remove.
    EXPECT_TRUE(m.Routes(55).empty());
    EXPECT_TRUE(m.Routes(80).empty());
    EXPECT_EQ(m.Routes(30), Texts{"10.8.0.0/255.255.255.0 via 0.0.0.0 if 12"});
}

TEST(LogoutRestore, WhenTheBaseDefaultRouteCannotComeBackTheWeakerOneStays) {
    SimMachine m;
    m.Login();
    m.account.route_list = "0.0.0.0/0.0.0.0";
    ASSERT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), 0);
    // Another program's default route holds metric 50.
    m.network.RemoveAdapter(kTap);
    AdapterRecord other;
    other.index = 21;
    other.description = "Other VPN";
    other.addresses = {{Addr("172.16.0.2"), Addr("255.255.255.0")}};
    m.network.AddAdapter(other);
    m.network.AddRow(Row("0.0.0.0", "0.0.0.0", "172.16.0.1", 21, 50));
    RestoreBaseDefaultRoute(m.mgmt, m.base, m.session);
    EXPECT_EQ(m.Routes(55), Texts{"0.0.0.0/0.0.0.0 via 192.168.0.1 if 7"});
    EXPECT_TRUE(m.Routes(80).empty());
}

TEST(LogoutRestore, ALaterTearDownLeavesALinkThatTookTheTunnelsNumberAlone) {
    SimMachine m;
    m.Login();
    m.account.route_list = "0.0.0.0/0.0.0.0";
    ASSERT_EQ(ApplyTunnelRoutes(m.mgmt, m.base, m.session, m.account, m.writer), 0);
    m.network.RemoveAdapter(kTap);
    RestoreBaseDefaultRoute(m.mgmt, m.base, m.session);
    AdapterRecord other;
    other.index = kTap;
    other.description = "Other VPN";
    other.addresses = {{Addr("172.16.0.2"), Addr("255.255.255.0")}};
    m.network.AddAdapter(other);
    m.network.AddRow(Row("0.0.0.0", "0.0.0.0", "172.16.0.1", kTap, 20));
    // A connect that fails before the tunnel plan ran tears down again.
    RestoreBaseDefaultRoute(m.mgmt, m.base, m.session);
    EXPECT_EQ(m.Routes(20), Texts{"0.0.0.0/0.0.0.0 via 172.16.0.1 if 12"});
}

TEST(LogoutRestore, NeedsBothInterfaceAndGateway) {
    SimMachine m;
    m.base.interface_index = kPhysical;
    RestoreBaseDefaultRoute(m.mgmt, m.base, m.session);
    m.base.interface_index = 0;
    m.base.gateway = "192.168.0.1";
    RestoreBaseDefaultRoute(m.mgmt, m.base, m.session);
    EXPECT_EQ(m.network.create_count(), 0);
}

TEST(RegisteredRemoteControl, RegisterAddsEveryEntryAndResetRemovesTheClass) {
    SimMachine m;
    m.Login();
    AddRegisteredRemoteControlRoutes(m.mgmt, m.base, "198.51.100.31^198.51.100.32");
    EXPECT_EQ(m.Routes(9999), (Texts{"198.51.100.31/255.255.255.255 via 192.168.0.1 if 7",
                                     "198.51.100.32/255.255.255.255 via 192.168.0.1 if 7"}));
    // Registering one more re-adds the whole list; the old ones are kept.
    AddRegisteredRemoteControlRoutes(m.mgmt, m.base, "198.51.100.31^198.51.100.32^198.51.100.33");
    EXPECT_EQ(m.Routes(9999).size(), 3u);
    ResetRegisteredRemoteControlRoutes(m.mgmt);
    EXPECT_TRUE(m.Routes(9999).empty());
    EXPECT_EQ(m.Routes(50).size(), 2u);
}

}  // namespace
}  // namespace korvane::test
