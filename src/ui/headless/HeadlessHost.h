#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "app/SessionState.h"
#include "platform/sim/VirtualClock.h"
#include "ui/Host.h"
#include "ui/headless/Transcript.h"
#include "ui/headless/UiLoop.h"

namespace korvane {

struct SessionContext;

const char* BoxAnswerName(BoxAnswer answer);
const char* BoxButtonsName(BoxButtons buttons);

// A host without a screen. Time is a virtual clock that moves only when told
// to, message boxes and file dialogs are answered from queues, and every
// visible effect is written to a transcript (docs/automation.md).
class HeadlessHost : public Host {
  public:
    struct TimerState {
        Dialog* window = nullptr;
        int id = 0;
        std::int64_t period_ms = 0;
        std::int64_t due_ms = 0;
        std::uint64_t order = 0;
    };
    struct TrayState {
        bool present = false;
        int id = 0;
        int callback_message = 0;
        int icon = 0;
        std::string tip;
    };

    HeadlessHost(std::ostream& out, VirtualClock& clock);
    ~HeadlessHost() override;

    Transcript& transcript() { return transcript_; }
    VirtualClock& clock() { return clock_; }

    // Driving.
    void SetLoop(UiLoop* loop) { loop_ = loop; }
    // Tests act inside a modal run through this when no loop is set.
    void SetModalHook(std::function<void(Dialog&)> hook) { modal_hook_ = std::move(hook); }
    void WatchSession(const SessionContext* session);
    const SessionContext* session() const { return session_; }
    // Writes a state line when the watched state changed since the last look.
    void CheckSession();
    void SetTrayAvailable(bool available) { tray_available_ = available; }

    void QueueAnswer(BoxAnswer answer) { answers_.push_back(answer); }
    std::size_t queued_answers() const { return answers_.size(); }
    // A path, or nothing for a cancelled dialog.
    void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    std::size_t queued_files() const { return files_.size(); }
    // A command id, or 0 to dismiss the menu.
    void QueueMenuChoice(int command) { menu_choices_.push_back(command); }
    std::size_t queued_menu_choices() const { return menu_choices_.size(); }

    // Moves the clock on, firing every due timer in time order (ties in the
    // order they were started) and serving cross-thread sends on the way.
    void AdvanceMilliseconds(std::int64_t ms);
    // Runs the work other threads are waiting on; how many ran.
    int ServicePendingSends();
    std::size_t pending_sends();
    // Waits (real time) until at least one send arrived and serves it.
    bool WaitForSend(int timeout_ms);

    // A mistake of the driver seen inside the program (an answer that does
    // not fit its box, a menu choice that is not an item); empty when none.
    std::string TakeError();

    Dialog* FindDialog(const std::string& name) const;
    const std::vector<Dialog*>& dialogs() const { return dialogs_; }
    Dialog* TopModal() const { return modal_stack_.empty() ? nullptr : modal_stack_.back(); }
    // False for windows disabled behind a modal dialog.
    bool AcceptsInput(const Dialog& dialog) const;

    std::optional<TimerState> FindTimer(const Dialog& dialog, int id) const;
    std::vector<TimerState> timers() const { return timers_; }
    const TrayState& tray() const { return tray_; }
    Dialog* tray_owner() const { return tray_owner_; }
    const std::vector<std::string>& opened_urls() const { return urls_; }
    int redraw_count(const Dialog& dialog, int control_id) const;

    // Host.
    BoxAnswer ShowMessageBox(const std::string& text, const std::string& caption,
                             BoxButtons buttons) override;
    void Register(Dialog& dialog) override;
    void Unregister(Dialog& dialog) override;
    int RunModal(Dialog& dialog, Dialog* parent) override;
    void WindowChanged(Dialog& dialog, WindowChange change) override;
    void ControlChanged(Dialog& dialog, Control& control, ControlChange change) override;
    void SetForegroundWindow(Dialog& dialog) override;
    void SetTimer(Dialog& dialog, int id, int period_ms) override;
    bool KillTimer(Dialog& dialog, int id) override;
    void KillTimers(Dialog& dialog) override;
    void OpenUrl(const std::string& url) override;
    std::optional<std::string> ShowFileOpenDialog(const FileOpenRequest& request) override;
    bool SendToUiThread(std::function<void()> work) override;
    void EndSends() override;
    bool TrayAvailable() const override { return tray_available_; }
    bool AddTrayIcon(const TrayIconRecord& record) override;
    bool ModifyTrayIcon(const TrayIconRecord& record) override;
    bool DeleteTrayIcon(const TrayIconRecord& record) override;
    int TrackPopupMenu(const PopupMenu& menu, Dialog& owner) override;

  private:
    struct PendingSend;

    void Emit(const std::string& line);
    void Fail(const std::string& error);
    std::vector<TimerState>::iterator FindTimerIt(const Dialog& dialog, int id);
    void FireNextDueTimer(std::int64_t until_ms, bool& fired);

    Transcript transcript_;
    VirtualClock& clock_;
    UiLoop* loop_ = nullptr;
    std::function<void(Dialog&)> modal_hook_;
    const SessionContext* session_ = nullptr;
    SessionState last_state_ = SessionState::Idle;
    bool tray_available_ = true;

    std::deque<BoxAnswer> answers_;
    std::deque<std::optional<std::string>> files_;
    std::deque<int> menu_choices_;
    std::string error_;

    std::vector<Dialog*> dialogs_;
    std::vector<Dialog*> modal_stack_;
    std::vector<TimerState> timers_;
    std::uint64_t timer_order_ = 0;
    TrayState tray_;
    Dialog* tray_owner_ = nullptr;
    std::vector<std::string> urls_;
    std::map<std::pair<const Dialog*, int>, int> redraws_;

    const std::thread::id ui_thread_ = std::this_thread::get_id();
    std::mutex sends_mutex_;
    std::condition_variable sends_arrived_;
    std::deque<std::shared_ptr<PendingSend>> sends_;
    bool shut_down_ = false;
};

}  // namespace korvane
