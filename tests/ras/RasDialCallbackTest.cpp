// The notifier runs on a thread of its own; the window handles every state on
// the interface thread while that thread waits.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "RasFakes.h"
#include "platform/sim/VirtualClock.h"
#include "tunnel/RasDialCallback.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {
namespace {

class RasDialCallbackTest : public ::testing::Test {
  protected:
    std::ostringstream out_;
    VirtualClock clock_;
    HeadlessHost host_{out_, clock_};
    test::StatusWindow window_{host_};
};

TEST_F(RasDialCallbackTest, EachStateIsHandledOnTheInterfaceThreadBeforeTheNext) {
    const int states[] = {0, 5, 0x2000};
    std::atomic<int> returned{0};
    std::thread service([&] {
        for (const int state : states) {
            RasDialCallback({&host_, &window_}, state, 0);
            ++returned;
        }
    });
    // One call serves every send that is pending, including one the service
    // posts while the previous is being handled; count what was served.
    int served = 0;
    while (served < 3) {
        // The service's thread stays inside the notifier until its state is handled.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (host_.pending_sends() == 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_EQ(host_.pending_sends(), 1u);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(returned.load(), served);
        EXPECT_EQ(host_.pending_sends(), 1u) << "never more than one state at a time";
        const int now_served = host_.ServicePendingSends();
        EXPECT_GE(now_served, 1);
        served += now_served;
    }
    EXPECT_EQ(served, 3);
    service.join();
    EXPECT_EQ(returned.load(), 3);
    ASSERT_EQ(window_.messages.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(window_.messages[i].state, states[i]);
        EXPECT_EQ(window_.messages[i].thread, std::this_thread::get_id());
    }
}

TEST_F(RasDialCallbackTest, ErrorTravelsWithItsState) {
    std::thread service([&] { RasDialCallback({&host_, &window_}, 5, 691); });
    ASSERT_TRUE(host_.WaitForSend(5000));
    service.join();
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0].state, 5);
    EXPECT_EQ(window_.messages[0].error, 691);
}

TEST_F(RasDialCallbackTest, WithoutATargetOrAfterTheEndNothingWaits) {
    std::thread service([&] {
        RasDialCallback({}, 5, 0);
        RasDialCallback({&host_, nullptr}, 5, 0);
    });
    service.join();
    host_.EndSends();
    std::thread late([&] { RasDialCallback({&host_, &window_}, 5, 0); });
    late.join();
    EXPECT_EQ(host_.ServicePendingSends(), 0);
    EXPECT_TRUE(window_.messages.empty());
}

}  // namespace
}  // namespace korvane
