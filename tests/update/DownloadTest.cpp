// CUpdateMgmt::Download against a running service.

#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ServiceFixture.h"
#include "platform/Clock.h"
#include "ui/Dialog.h"
#include "ui/headless/HeadlessHost.h"
#include "update/CUpdateMgmt.h"

namespace korvane {
namespace {

using testing::ServiceFixture;

// Real time, thirty times as fast: the default limit of 30 s passes after
// one real second.
class FastClock : public Clock {
  public:
    std::int64_t LocalSecondsNow() const override { return 0; }
    std::int64_t MonotonicMilliseconds() const override {
        const auto real = std::chrono::steady_clock::now() - start_;
        return 30 * std::chrono::duration_cast<std::chrono::milliseconds>(real).count();
    }
    bool SetLocalTime(const LocalTime&) override { return false; }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* const kConfig = R"(
[service]
version = 1190
download = http://${self}/vpn_program/setup_1190.exe
)";

class DownloadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("korvane-download-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string Target() const { return (folder_ / "setup_1190.exe").string(); }
    bool NothingLeft() const { return std::filesystem::is_empty(folder_); }

    std::filesystem::path folder_;
    FastClock clock_;
};

TEST_F(DownloadTest, FetchesTheFileAndHidesTheProgressWindow) {
    ServiceFixture service;
    const std::string installer(200000, 'x');
    ASSERT_TRUE(service.Start(kConfig, {{"setup_1190.exe", installer}}));
    std::ostringstream out;
    VirtualClock virtual_clock;
    HeadlessHost host(out, virtual_clock);
    Dialog progress(host, "progupdate", 134);
    progress.Create(nullptr);
    progress.Show(ShowMode::Show);
    CUpdateMgmt updates(clock_);
    EXPECT_EQ(updates.limit_ms(), 30000);
    updates.SetProgressWindow(&progress);

    EXPECT_EQ(updates.Download(service.Url("/vpn_program/setup_1190.exe"), Target()), 0);

    EXPECT_EQ(ReadFile(Target()), installer);
    EXPECT_FALSE(progress.visible());
}

TEST_F(DownloadTest, AMissingFileFailsAndLeavesNothing) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kConfig));
    CUpdateMgmt updates(clock_);
    EXPECT_EQ(updates.Download(service.Url("/vpn_program/setup_1190.exe"), Target()), -1);
    EXPECT_TRUE(NothingLeft());
    // The certificate refresh's form of the same download.
    EXPECT_EQ(updates.AsDownloadFunction()(service.Url("/vpn_program/setup_1190.exe"), Target()),
              -1);
}

TEST_F(DownloadTest, TheDownloadFunctionFormReportsSuccessAsPositive) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(kConfig, {{"setup_1190.exe", "cert"}}));
    CUpdateMgmt updates(clock_);
    EXPECT_EQ(updates.AsDownloadFunction()(service.Url("/vpn_program/setup_1190.exe"), Target()),
              1);
    EXPECT_EQ(ReadFile(Target()), "cert");
}

TEST_F(DownloadTest, AnUnreachableHostFails) {
    CUpdateMgmt updates(clock_);
    // Port 9 on loopback: nothing listens there.
    EXPECT_EQ(updates.Download("http://127.0.0.1:9/setup.exe", Target()), -1);
    EXPECT_TRUE(NothingLeft());
}

TEST_F(DownloadTest, ADownloadStillRunningAfterThirtySecondsIsAborted) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(std::string(kConfig) + "[failure files]\ndelay_ms = 5000\n",
                              {{"setup_1190.exe", "late"}}));
    CUpdateMgmt updates(clock_);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(updates.Download(service.Url("/vpn_program/setup_1190.exe"), Target()), -1);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(3500)) << "aborted before the answer came";
    EXPECT_GE(took, std::chrono::milliseconds(900)) << "not before the limit";
    EXPECT_TRUE(NothingLeft());
}

TEST_F(DownloadTest, AnAnswerWithinTheLimitIsKept) {
    ServiceFixture service;
    ASSERT_TRUE(service.Start(std::string(kConfig) + "[failure files]\ndelay_ms = 300\n",
                              {{"setup_1190.exe", "in time"}}));
    CUpdateMgmt updates(clock_);
    EXPECT_EQ(updates.Download(service.Url("/vpn_program/setup_1190.exe"), Target()), 0);
    EXPECT_EQ(ReadFile(Target()), "in time");
}

}  // namespace
}  // namespace korvane
