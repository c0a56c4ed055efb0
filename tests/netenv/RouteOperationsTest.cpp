#include <gtest/gtest.h>

#include "SimMachine.h"

namespace korvane::test {
namespace {

TEST(RouteOperations, BestInterfaceIsTheDefaultRoutesAndLeavesGatewayAloneWithoutOne) {
    SimMachine m;
    std::string gateway = "unchanged";
    EXPECT_EQ(m.mgmt.GetBestInterface(gateway), kPhysical);
    EXPECT_EQ(gateway, "192.168.0.1");

    // Metric decides between the two default routes; the tunnel's is weaker.
    m.network.AddRow(Row("0.0.0.0", "0.0.0.0", "10.8.0.5", kTap, 5));
    EXPECT_EQ(m.mgmt.GetBestInterface(gateway), kTap);

    SimNetwork empty;
    CNetworkMgmt bare(empty, m.system, m.commands);
    gateway = "unchanged";
    EXPECT_EQ(bare.GetBestInterface(gateway), -1);
    EXPECT_EQ(gateway, "unchanged");
}

TEST(RouteOperations, InterfaceAddressIsTheLowestOfTheInterfaceAndIsKeptWithItsMask) {
    SimMachine m;
    m.network.FindAdapter(kPhysical)->record.addresses.push_back(
        {Addr("172.16.1.2"), Addr("255.255.0.0")});
    EXPECT_EQ(m.mgmt.GetInterfaceAddress(kPhysical), "172.16.1.2");
    EXPECT_EQ(m.mgmt.last_interface_address(), "172.16.1.2");
    EXPECT_EQ(m.mgmt.last_interface_netmask(), "255.255.0.0");

    EXPECT_EQ(m.mgmt.GetInterfaceAddress(99), "");
    EXPECT_EQ(m.mgmt.GetInterfaceAddress(-1), "");
    EXPECT_EQ(m.mgmt.last_interface_address(), "172.16.1.2");
    m.network.set_address_table_fails(true);
    EXPECT_EQ(m.mgmt.GetInterfaceAddress(kPhysical), "");
}

TEST(RouteOperations, AddRouteRefusesBadInputWithoutTouchingTheTable) {
    struct Case {
        std::int64_t interface_index;
        const char* next_hop;
        const char* destination;
        const char* mask;
    };
    const Case cases[] = {
        {0, "192.168.0.1", "198.51.100.1", "255.255.255.255"},
        {-1, "192.168.0.1", "198.51.100.1", "255.255.255.255"},
        {kPhysical, "", "198.51.100.1", "255.255.255.255"},
        {kPhysical, "192.168.0.1", "", "255.255.255.255"},
        {kPhysical, "192.168.0.1", "198.51.100.1", ""},
        // Unparsable texts must not turn into the broadcast address.
        {kPhysical, "192.168.0.1", "server", "255.255.255.255"},
        {kPhysical, "192.168.0.1", "198.51.100.1.1", "255.255.255.255"},
        {kPhysical, "192.168.0.1", "256.1.1.1", "255.255.255.255"},
        {kPhysical, "192.168.0.1", " 198.51.100.1", "255.255.255.255"},
        {kPhysical, "gateway", "198.51.100.1", "255.255.255.255"},
        // What the table itself refuses.
        {kPhysical, "192.168.0.1", "10.1.2.3", "255.0.0.0"},
        {99, "192.168.0.1", "198.51.100.1", "255.255.255.255"},
    };
    for (const Case& c : cases) {
        SimMachine m;
        const auto before = m.network.routes();
        EXPECT_EQ(m.mgmt.AddRoute(c.interface_index, c.next_hop, c.destination, c.mask, 50), -1)
            << c.interface_index << " " << c.next_hop << " " << c.destination << " " << c.mask;
        EXPECT_EQ(m.network.routes(), before) << c.destination;
    }
}

TEST(RouteOperations, AddRouteCreatesADirectManagementRowAndRefusesItsTwin) {
    SimMachine m;
    ASSERT_EQ(m.mgmt.AddRoute(kPhysical, "192.168.0.1", "198.51.100.1", "255.255.255.255", 77), 1);
    const auto rows = m.network.RoutesWithMetric(77);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].destination, Addr("198.51.100.1"));
    EXPECT_EQ(rows[0].mask, 0xFFFFFFFFu);
    EXPECT_EQ(rows[0].next_hop, Addr("192.168.0.1"));
    EXPECT_EQ(rows[0].interface_index, kPhysical);
    EXPECT_EQ(rows[0].type, kRouteTypeDirect);
    EXPECT_EQ(rows[0].protocol, kRouteProtocolNetMgmt);
    EXPECT_EQ(m.mgmt.AddRoute(kPhysical, "192.168.0.1", "198.51.100.1", "255.255.255.255", 77), -1);
    EXPECT_EQ(m.network.RoutesWithMetric(77).size(), 1u);
}

TEST(RouteOperations, DeletesMatchTheirOwnFieldsOnly) {
    SimMachine m;
    // Default routes on both interfaces: only the named one goes.
    EXPECT_EQ(m.mgmt.DeleteRoutesOnInterface(kTap, "0.0.0.0", "0.0.0.0"), 0);
    EXPECT_EQ(m.Routes(30), std::vector<std::string>{"10.8.0.0/255.255.255.0 via 0.0.0.0 if 12"});
    EXPECT_EQ(m.Routes(25).size(), 2u);

    m.network.AddRow(Row("0.0.0.0", "0.0.0.0", "10.8.0.5", kTap, 30));
    EXPECT_EQ(m.mgmt.DeleteRoutesViaGateway("192.168.0.1", "0.0.0.0", "0.0.0.0"), 0);
    EXPECT_EQ(m.Routes(25), std::vector<std::string>{"192.168.0.0/255.255.255.0 via 0.0.0.0 if 7"});
    EXPECT_EQ(m.Routes(30).size(), 2u);

    // Nothing matching is no failure.
    EXPECT_EQ(m.mgmt.DeleteRoutesViaGateway("192.168.0.1", "0.0.0.0", "0.0.0.0"), 0);
    EXPECT_EQ(m.mgmt.DeleteRoutesByMetric(4242), 0);
}

TEST(RouteOperations, DeletesFailOnEmptyTextsAndAnUnreadableTable) {
    SimMachine m;
    EXPECT_EQ(m.mgmt.DeleteRoutesOnInterface(kTap, "", "0.0.0.0"), -1);
    EXPECT_EQ(m.mgmt.DeleteRoutesOnInterface(kTap, "0.0.0.0", ""), -1);
    EXPECT_EQ(m.mgmt.DeleteRoutesViaGateway("10.8.0.5", "", "0.0.0.0"), -1);
    EXPECT_EQ(m.mgmt.DeleteRoutesViaGateway("10.8.0.5", "0.0.0.0", ""), -1);
    EXPECT_EQ(m.network.delete_count(), 0);
    m.network.set_forward_table_fails(true);
    EXPECT_EQ(m.mgmt.DeleteRoutesOnInterface(kTap, "0.0.0.0", "0.0.0.0"), -1);
    EXPECT_EQ(m.mgmt.DeleteRoutesViaGateway("10.8.0.5", "0.0.0.0", "0.0.0.0"), -1);
    EXPECT_EQ(m.mgmt.DeleteRoutesByMetric(30), -1);
    EXPECT_EQ(m.network.delete_count(), 0);
}

TEST(RouteOperations, DeleteByMetricRemovesEveryRowOfTheClass) {
    SimMachine m;
    for (const char* host : {"198.51.100.1", "198.51.100.2", "198.51.100.3"}) {
        m.network.AddRow(Row(host, "255.255.255.255", "192.168.0.1", kPhysical, 80));
    }
    EXPECT_EQ(m.mgmt.DeleteRoutesByMetric(80), 0);
    EXPECT_TRUE(m.Routes(80).empty());
    EXPECT_EQ(m.Routes(25).size(), 2u);
}

TEST(RouteOperations, ARowGoneSinceTheSnapshotFailsTheDeleteButTheRestStillGo) {
    SimMachine m;
    for (const char* host : {"198.51.100.1", "198.51.100.2", "198.51.100.3"}) {
        m.network.AddRow(Row(host, "255.255.255.255", "192.168.0.1", kPhysical, 9999));
    }
    // Another process removes the first row between snapshot and delete.
    m.network.set_after_forward_read([&] {
        m.network.DeleteForwardRow(
            Row("198.51.100.1", "255.255.255.255", "192.168.0.1", kPhysical, 9999));
    });
    EXPECT_EQ(m.mgmt.DeleteRoutesByMetric(9999), -1);
    EXPECT_TRUE(m.Routes(9999).empty());
}

TEST(RouteOperations, ResolvesTheAuthenticationHost) {
    SimMachine m;
    m.network.AddHost(kDefaultAuthHostName, Addr("203.0.113.5"));
    m.network.AddHost("auth.test", Addr("127.0.0.1"));
    EXPECT_EQ(m.mgmt.ResolveAuthHost(), "203.0.113.5");
    EXPECT_EQ(m.mgmt.ResolveAuthHost("auth.test"), "127.0.0.1");
    EXPECT_EQ(m.mgmt.ResolveAuthHost("nowhere.test"), "");
    EXPECT_EQ(m.mgmt.ResolveAuthHost(""), "");
}

}  // namespace
}  // namespace korvane::test
