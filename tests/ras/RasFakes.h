#pragma once

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/TunnelOperations.h"
#include "platform/RasPort.h"
#include "tunnel/RasDialCallback.h"
#include "tunnel/RasWindowCalls.h"
#include "ui/Dialog.h"

namespace korvane::test {

// A remote-access service that answers at once, as told, and notes the calls.
class FakeRasPort : public RasPort {
  public:
    struct DialCall {
        std::string phonebook;
        RasDialParams params;
    };

    int Dial(const std::string& phonebook, const RasDialParams& params, RasNotifier notify,
             RasHandle& handle) override {
        dials.push_back({phonebook, params});
        notifier = std::move(notify);
        handle = dial_handle;
        live = dial_result == 0;
        return dial_result;
    }
    int HangUp(RasHandle handle) override {
        hang_ups.push_back(handle);
        live = false;
        return hang_up_result;
    }
    int GetConnectStatus(RasHandle, RasConnectionStatus& status) override {
        status = this->status;
        return live ? 0 : ras_error::kInvalidHandle;
    }
    int GetClientAddress(RasHandle, std::string& address) override {
        if (!live || client_address.empty()) {
            return ras_error::kProjectionNotComplete;
        }
        address = client_address;
        return 0;
    }
    int GetErrorText(int error, std::string& text) override {
        const auto it = texts.find(error);
        if (it == texts.end()) {
            return 87;
        }
        text = it->second;
        return 0;
    }

    // What it answers.
    int dial_result = 0;
    RasHandle dial_handle = 0x41;
    int hang_up_result = 0;
    bool live = false;
    RasConnectionStatus status;
    std::string client_address = "10.8.1.10";
    std::map<int, std::string> texts = {
        {691, "원격 컴퓨터가 사용자 이름과 암호를 받아들이지 않았습니다."},
        {800, "VPN 연결을 만들 수 없습니다."},
    };

    // What it was asked.
    std::vector<DialCall> dials;
    std::vector<RasHandle> hang_ups;
    RasNotifier notifier;
};

// Notes every call, in one log shared with other fakes when given one.
class CallLog {
  public:
    void Add(std::string call) { calls_.push_back(std::move(call)); }
    const std::vector<std::string>& calls() const { return calls_; }
    int Count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : calls_) {
            n += c == call ? 1 : 0;
        }
        return n;
    }

  private:
    std::vector<std::string> calls_;
};

class RecordingTunnelOperations : public TunnelOperations {
  public:
    explicit RecordingTunnelOperations(CallLog& log) : log_(log) {}
    void StopTunnelProgram() override { log_.Add("StopTunnelProgram"); }
    void DeleteTunnelFiles() override { log_.Add("DeleteTunnelFiles"); }
    int CheckTapAdapter() override {
        log_.Add("CheckTapAdapter");
        return 0;
    }
    int WritePhonebook(int vpn_type, int has_zero_address) override {
        log_.Add("WritePhonebook(" + std::to_string(vpn_type) + "," +
                 std::to_string(has_zero_address) + ")");
        return 1;
    }
    void RunProgramHook(const std::string& event) override { log_.Add("Hook(" + event + ")"); }

  private:
    CallLog& log_;
};

class RecordingWindowCalls : public RasWindowCalls {
  public:
    explicit RecordingWindowCalls(CallLog& log) : log_(log) {}
    void ResetProgress() override { log_.Add("ResetProgress"); }
    void StepProgress(const std::string& text, int step) override {
        log_.Add("StepProgress(" + text + "," + std::to_string(step) + ")");
    }
    void ShowConnectedLook() override { log_.Add("ShowConnectedLook"); }
    void RequestIpChange(const std::string& code) override {
        log_.Add("RequestIpChange(" + code + ")");
    }

  private:
    CallLog& log_;
};

// A window that notes every status message and the thread that handled it.
class StatusWindow : public Dialog {
  public:
    struct Message {
        int state;
        int error;
        std::thread::id thread;
    };

    explicit StatusWindow(Host& host) : Dialog(host, "main", 102) {
        MapMessage(kRasStatusMessage, [this](long state, long error) {
            messages.push_back(
                {static_cast<int>(state), static_cast<int>(error), std::this_thread::get_id()});
            return 1L;
        });
    }

    std::vector<Message> messages;
};

}  // namespace korvane::test
