#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

#include "../settings/TempFolder.h"
#include "app/PlatformSetup.h"
#include "platform/Environment.h"
#include "platform/InstancePort.h"
#include "platform/sim/MachineDescription.h"
#include "platform/sim/SimRas.h"
#include "platform/sim/SimRasErrors.h"
#include "platform/sim/SimRasSection.h"

namespace korvane {
namespace {

using test::TempFolder;
using test::WriteBytes;

// Notes what the service reported, from whichever thread.
class Notes {
  public:
    struct Note {
        int state;
        int error;
        std::thread::id thread;
    };

    RasNotifier Notifier() {
        return [this](int state, int error) {
            std::lock_guard<std::mutex> lock(mutex_);
            notes_.push_back({state, error, std::this_thread::get_id()});
            arrived_.notify_all();
        };
    }
    std::vector<Note> Taken() {
        std::lock_guard<std::mutex> lock(mutex_);
        return notes_;
    }
    std::vector<int> States() {
        std::vector<int> states;
        for (const Note& n : Taken()) {
            states.push_back(n.state);
        }
        return states;
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return arrived_.wait_for(lock, std::chrono::seconds(5),
                                 [&] { return notes_.size() >= count; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Note> notes_;
};

class SimRasTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteBytes(phonebook_, "[Dova_Conn]\r\nVpnStrategy=3\r\nIpPrioritizeRemote=1\r\n");
        SimRasScript script;
        script.step_ms = 1;
        ras_.SetScript(script);
        params_.entry_name = "Dova_Conn";
        params_.phone_number = "10.8.1.1";
        params_.user_name = "demo";
        params_.password = "pw";
    }
    void Script(const std::function<void(SimRasScript&)>& change) {
        SimRasScript script = ras_.script();
        change(script);
        ras_.SetScript(script);
    }
    RasHandle Dial(int expected = 0) {
        RasHandle handle = 0;
        EXPECT_EQ(ras_.Dial(phonebook_, params_, notes_.Notifier(), handle), expected);
        return handle;
    }

    TempFolder folder_;
    std::string phonebook_ = folder_ / "tesken.ini";
    RasDialParams params_;
    Notes notes_;
    SimRas ras_;
};

TEST_F(SimRasTest, WalksItsStatesOnAThreadOfItsOwnAndConnects) {
    const RasHandle handle = Dial();
    ASSERT_NE(handle, 0u);
    ASSERT_TRUE(ras_.WaitUntilIdle(5000));
    EXPECT_EQ(notes_.States(), SimRasScript{}.Walk());
    EXPECT_EQ(notes_.States().back(), ras_state::kConnected);
    for (const Notes::Note& n : notes_.Taken()) {
        EXPECT_NE(n.thread, std::this_thread::get_id());
        EXPECT_EQ(n.error, 0);
    }
    RasConnectionStatus status;
    EXPECT_EQ(ras_.GetConnectStatus(handle, status), 0);
    EXPECT_EQ(status.state, ras_state::kConnected);
    std::string address;
    EXPECT_EQ(ras_.GetClientAddress(handle, address), 0);
    EXPECT_EQ(address, "10.8.1.10");

    const std::vector<SimRasDial> dials = ras_.dials();
    ASSERT_EQ(dials.size(), 1u);
    EXPECT_EQ(dials[0].phonebook, phonebook_);
    EXPECT_EQ(dials[0].params.phone_number, "10.8.1.1");
    EXPECT_EQ(dials[0].entry, (std::vector<std::pair<std::string, std::string>>{
                                  {"VpnStrategy", "3"}, {"IpPrioritizeRemote", "1"}}));
}

TEST_F(SimRasTest, NextStateWaitsUntilTheNotifierHasReturned) {
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    bool inside = false;
    const auto let_go = [&] {
        {
            std::lock_guard<std::mutex> lock(mutex);
            release = true;
        }
        released.notify_all();
    };
    // A failed check must not leave the service's thread waiting.
    struct Guard {
        std::function<void()> at_exit;
        ~Guard() { at_exit(); }
    } guard{let_go};
    RasHandle handle = 0;
    ASSERT_EQ(ras_.Dial(
                  phonebook_, params_,
                  [&](int, int) {
                      std::unique_lock<std::mutex> lock(mutex);
                      inside = true;
                      released.notify_all();
                      released.wait(lock, [&] { return release; });
                  },
                  handle),
              0);
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(released.wait_for(lock, std::chrono::seconds(5), [&] { return inside; }));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    RasConnectionStatus status;
    ASSERT_EQ(ras_.GetConnectStatus(handle, status), 0);
    EXPECT_EQ(status.state, 0) << "the walk stays at its first state";
    let_go();
    ASSERT_TRUE(ras_.WaitUntilIdle(5000));
    ASSERT_EQ(ras_.GetConnectStatus(handle, status), 0);
    EXPECT_EQ(status.state, ras_state::kConnected);
}

TEST_F(SimRasTest, ErrorEndsTheWalkWithItsLastState) {
    Script([](SimRasScript& s) { s.error = 691; });
    const RasHandle handle = Dial();
    ASSERT_TRUE(ras_.WaitUntilIdle(5000));
    const std::vector<Notes::Note> notes = notes_.Taken();
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(notes.back().state, ras_state::kAuthenticate);
    EXPECT_EQ(notes.back().error, 691);
    RasConnectionStatus status;
    EXPECT_EQ(ras_.GetConnectStatus(handle, status), 0) << "known until hung up";
    EXPECT_EQ(status.error, 691);
    std::string address;
    EXPECT_EQ(ras_.GetClientAddress(handle, address), ras_error::kProjectionNotComplete);
    EXPECT_EQ(ras_.HangUp(handle), 0);
    EXPECT_EQ(ras_.GetConnectStatus(handle, status), ras_error::kInvalidHandle);
    EXPECT_EQ(ras_.HangUp(handle), ras_error::kInvalidHandle);
}

TEST_F(SimRasTest, ScriptedStatesAreReportedAsWritten) {
    Script([](SimRasScript& s) { s.states = {0, 25, 0x2000}; });
    Dial();
    ASSERT_TRUE(ras_.WaitUntilIdle(5000));
    EXPECT_EQ(notes_.States(), (std::vector<int>{0, 25, 0x2000}));
}

TEST_F(SimRasTest, RefusedDialsReturnAHandleAndReportNothing) {
    const struct {
        const char* what;
        int refuse;
        std::string phonebook_text;  // "-": no file
        bool check_phonebook;
        int expected;
    } cases[] = {
        {"refused by script", 800, "[Dova_Conn]\r\n", true, 800},
        {"no phonebook file", 0, "-", true, ras_error::kCannotFindPhonebookEntry},
        {"no such entry", 0, "[Other]\r\nType=2\r\n", true, ras_error::kCannotFindPhonebookEntry},
        {"entry in other case", 0, "[DOVA_CONN]\r\n", true, 0},
        {"phonebook not checked", 0, "-", false, 0},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(phonebook_);
        if (c.phonebook_text != "-") {
            WriteBytes(phonebook_, c.phonebook_text);
        }
        Script([&](SimRasScript& s) {
            s.refuse = c.refuse;
            s.check_phonebook = c.check_phonebook;
            s.states = {0};
        });
        const std::size_t before = notes_.Taken().size();
        RasHandle handle = 0;
        EXPECT_EQ(ras_.Dial(phonebook_, params_, notes_.Notifier(), handle), c.expected) << c.what;
        EXPECT_NE(handle, 0u) << c.what;
        ASSERT_TRUE(ras_.WaitUntilIdle(5000));
        EXPECT_EQ(notes_.Taken().size(), before + (c.expected == 0 ? 1 : 0)) << c.what;
        EXPECT_EQ(ras_.HangUp(handle), 0) << c.what;
    }
}

TEST_F(SimRasTest, HangUpStopsTheNotifications) {
    Script([](SimRasScript& s) { s.step_ms = 40; });
    const RasHandle handle = Dial();
    ASSERT_TRUE(notes_.WaitFor(1));
    EXPECT_EQ(ras_.HangUp(handle), 0);
    ASSERT_TRUE(ras_.WaitUntilIdle(5000));
    EXPECT_LE(notes_.Taken().size(), 2u) << "at most the state already on its way";
    EXPECT_EQ(ras_.hang_ups(), (std::vector<RasHandle>{handle}));
}

TEST_F(SimRasTest, ServerDropsTheLinkLater) {
    Script([](SimRasScript& s) { s.drop_after_ms = 30; });
    const RasHandle handle = Dial();
    ASSERT_TRUE(ras_.WaitUntilIdle(5000));
    RasConnectionStatus status;
    EXPECT_EQ(ras_.GetConnectStatus(handle, status), ras_error::kInvalidHandle);
    std::string address;
    EXPECT_EQ(ras_.GetClientAddress(handle, address), ras_error::kInvalidHandle);
    EXPECT_EQ(notes_.States().back(), ras_state::kConnected) << "a drop is not notified";
    EXPECT_EQ(ras_.HangUp(handle), 0) << "the dropped connection is still hung up";
}

TEST_F(SimRasTest, DropLinkEndsAConnectedLinkAtOnce) {
    Script([](SimRasScript& s) { s.drop_after_ms = 60000; });
    const RasHandle handle = Dial();
    ASSERT_TRUE(notes_.WaitFor(SimRasScript{}.Walk().size()));
    EXPECT_TRUE(ras_.DropLink(handle));
    ASSERT_TRUE(ras_.WaitUntilIdle(5000)) << "the wait for the scripted drop ends too";
    RasConnectionStatus status;
    EXPECT_EQ(ras_.GetConnectStatus(handle, status), ras_error::kInvalidHandle);
    EXPECT_FALSE(ras_.DropLink(handle));
}

TEST_F(SimRasTest, StopAllEndsWalksWithoutFurtherStates) {
    Script([](SimRasScript& s) { s.step_ms = 60000; });
    const RasHandle handle = Dial();
    ras_.StopAll();
    EXPECT_TRUE(notes_.Taken().empty());
    EXPECT_TRUE(ras_.WaitUntilIdle(0));
    RasConnectionStatus status;
    EXPECT_EQ(ras_.GetConnectStatus(handle, status), 0);
}

TEST(SimRasErrors, CommonNumbersHaveTextsOfTheirOwn) {
    std::set<std::string> texts;
    for (const int error : {691, 678, 619, 629, 633, 800, 809, 868, 623, 711}) {
        const std::string text = SimRasErrorText(error);
        EXPECT_EQ(text.find("알 수 없는"), std::string::npos) << error;
        EXPECT_TRUE(texts.insert(text).second) << error << " repeats another text";
    }
    EXPECT_NE(SimRasErrorText(12345).find("12345"), std::string::npos);
}

TEST(SimRasSection, MachineDescriptionSetsTheScript) {
    MachineDescription description;
    SimRas ras;
    RegisterRasSection(description, ras);
    std::string error;
    ASSERT_EQ(description.Load("[ras]\n"
                               "states = 0, 5 0x2000\n"
                               "step_ms = 5\n"
                               "error = 691\n"
                               "refuse = 633\n"
                               "client_address = 10.9.0.2\n"
                               "drop_after_ms = 1500\n"
                               "check_phonebook = no\n",
                               "m.ini", error),
              0)
        << error;
    const SimRasScript script = ras.script();
    EXPECT_EQ(script.states, (std::vector<int>{0, 5, 0x2000}));
    EXPECT_EQ(script.step_ms, 5);
    EXPECT_EQ(script.error, 691);
    EXPECT_EQ(script.refuse, 633);
    EXPECT_EQ(script.client_address, "10.9.0.2");
    EXPECT_EQ(script.drop_after_ms, 1500);
    EXPECT_FALSE(script.check_phonebook);
}

TEST(SimRasSection, FaultsNameTheirLine) {
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"[ras]\nstates = 0 x 2\n", "m.ini:2: states must be numbers"},
        {"[ras]\nstates = ,\n", "m.ini:2: states must name at least one state"},
        {"[ras]\nstates = 0x10000\n", "m.ini:2: states must be numbers"},
        {"[ras]\nstep_ms = -1\n", "m.ini:2: step_ms must be a whole number"},
        {"[ras]\nclient_address = 10.0.0\n", "m.ini:2: client_address must be"},
        {"[ras]\ncheck_phonebook = maybe\n", "m.ini:2: check_phonebook must be yes or no"},
        {"[ras]\ncolour = red\n", "m.ini:2:"},
        {"[ras one]\n", "m.ini:1:"},
    };
    for (const auto& c : cases) {
        MachineDescription description;
        SimRas ras;
        RegisterRasSection(description, ras);
        std::string error;
        EXPECT_EQ(description.Load(c.text, "m.ini", error), -1) << c.text;
        EXPECT_EQ(error.rfind(c.reason, 0), 0u) << c.text << " gave " << error;
    }
}

TEST(SimRasSection, SimulatedMachineCarriesTheService) {
    TempFolder folder;
    WriteBytes(folder / "machine.ini", "[ras]\nrefuse = 678\n");
    std::string error;
    const auto backends = BuildSimBackends(folder / "machine.ini", error);
    ASSERT_NE(backends, nullptr) << error;
    ASSERT_NE(backends->platform.ras, nullptr);
    RasHandle handle = 0;
    EXPECT_EQ(backends->platform.ras->Dial("pb", RasDialParams{}, {}, handle), 678);
}

}  // namespace
}  // namespace korvane
