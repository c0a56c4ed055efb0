#include <gtest/gtest.h>

#include "SimMachine.h"
#include "netenv/RemoteControlPeer.h"
#include "netenv/SystemVersion.h"

namespace korvane::test {
namespace {

TcpRow Tcp(std::uint32_t state, const char* local, std::uint16_t local_port, const char* remote,
           std::uint16_t remote_port) {
    return {state, Addr(local), local_port, Addr(remote), remote_port, 0};
}

TEST(RemoteControlPeer, TheFirstEstablishedConnectionToRemotePort5938Wins) {
    struct Case {
        const char* what;
        std::vector<TcpRow> rows;
        int expected;
        const char* address;
    };
    const Case cases[] = {
        {"two established: the first of the sorted table",
         {Tcp(kTcpEstablished, "192.168.0.10", 50200, "198.51.100.2", 5938),
          Tcp(kTcpEstablished, "192.168.0.10", 50100, "198.51.100.1", 5938)},
         1,
         "198.51.100.1"},
        {"not established is ignored",
         {Tcp(kTcpTimeWait, "192.168.0.10", 50100, "198.51.100.1", 5938),
          Tcp(kTcpSynSent, "192.168.0.10", 50101, "198.51.100.3", 5938),
          Tcp(kTcpEstablished, "192.168.0.10", 50300, "198.51.100.2", 5938)},
         1,
         "198.51.100.2"},
        {"local port 5938 does not count",
         {Tcp(kTcpListen, "0.0.0.0", 5938, "0.0.0.0", 0),
          Tcp(kTcpEstablished, "192.168.0.10", 5938, "198.51.100.9", 50999)},
         -1,
         "kept"},
        {"other remote ports",
         {Tcp(kTcpEstablished, "192.168.0.10", 50100, "198.51.100.1", 443)},
         -1,
         "kept"},
        {"empty table", {}, -1, "kept"},
    };
    for (const Case& c : cases) {
        SimNetwork network;
        for (const TcpRow& row : c.rows) {
            network.AddTcpRow(row);
        }
        RemoteControlPeer peer{"kept", 0};
        EXPECT_EQ(FindRemoteControlPeer(network, peer), c.expected) << c.what;
        EXPECT_EQ(peer.address, c.address) << c.what;
        EXPECT_EQ(peer.port, c.expected == 1 ? kRemoteControlPort : 0) << c.what;
    }
}

TEST(RemoteControlPeer, AnUnreadableTableFindsNothing) {
    SimNetwork network;
    network.AddTcpRow(Tcp(kTcpEstablished, "192.168.0.10", 50100, "198.51.100.1", 5938));
    network.set_tcp_table_fails(true);
    RemoteControlPeer peer;
    EXPECT_EQ(FindRemoteControlPeer(network, peer), -1);
    EXPECT_EQ(peer.address, "");
}

TEST(SystemVersion, Nt6OrLaterAndTheSystemsWithCurrentNetworkTools) {
    struct Case {
        bool readable;
        std::uint32_t platform;
        std::uint32_t major;
        bool nt6;
        bool current_tools;
    };
    const Case cases[] = {
        {true, kPlatformNt, 6, true, true},     {true, kPlatformNt, 10, true, true},
        {true, kPlatformNt, 5, false, false},   {true, kPlatformWindows, 6, false, false},
        {true, kPlatformLinux, 6, false, true}, {false, kPlatformNt, 6, false, false},
    };
    for (const Case& c : cases) {
        SimSystemQueries system;
        system.version->platform_id = c.platform;
        system.version->major = c.major;
        if (!c.readable) {
            system.version.reset();
        }
        EXPECT_EQ(IsNt6OrLater(system), c.nt6) << c.platform << " " << c.major;
        EXPECT_EQ(HasCurrentNetworkTools(system), c.current_tools) << c.platform << " " << c.major;
    }
}

}  // namespace
}  // namespace korvane::test
