#include "ui/headless/HeadlessHost.h"

#include <algorithm>
#include <chrono>
#include <future>

#include "app/SessionContext.h"
#include "platform/QuotedText.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/CExplorer1.h"
#include "ui/CProgressEx.h"
#include "ui/Dialog.h"
#include "ui/DropList.h"
#include "ui/ListView.h"
#include "ui/headless/Describe.h"

namespace korvane {

namespace {

// The shortest period a timer gets, so a zero period cannot stall the clock.
constexpr std::int64_t kMinimumTimerPeriod = 10;

bool Fits(BoxAnswer answer, BoxButtons buttons) {
    return buttons == BoxButtons::Ok ? answer == BoxAnswer::Ok : answer != BoxAnswer::Ok;
}

std::string RectText(const Rect& r) {
    return std::to_string(r.x) + " " + std::to_string(r.y) + " " + std::to_string(r.width) + " " +
           std::to_string(r.height);
}

std::string ShowLine(const std::string& name, ShowMode mode) {
    switch (mode) {
        case ShowMode::Hide:
            return "hide " + name;
        case ShowMode::Normal:
            return "show " + name + " normal";
        case ShowMode::Show:
            return "show " + name;
        case ShowMode::Minimize:
            return "minimize " + name;
    }
    return "show " + name;
}

std::string ListLine(const std::string& address, const ListView& list, ControlChange change) {
    const std::string row = std::to_string(change.index);
    switch (change.kind) {
        case ChangeKind::RowInserted:
            return "row " + address + " insert " + row + " " + QuotedCells(list, change.index);
        case ChangeKind::RowChanged:
            return "row " + address + " set " + row + " " + QuotedCells(list, change.index);
        case ChangeKind::RowDeleted:
            return "row " + address + " delete " + row;
        case ChangeKind::RowsCleared:
            return "row " + address + " clear";
        case ChangeKind::Selection:
            return "row " + address + " select " + SelectionText(list);
        case ChangeKind::Scrolled:
            return "row " + address + " scroll " + row;
        default:
            return {};
    }
}

std::string DropLine(const std::string& address, const DropList& drop, ControlChange change) {
    switch (change.kind) {
        case ChangeKind::ItemAdded:
            return "item " + address + " add " + std::to_string(change.index) + " " +
                   Quote(drop.ItemText(change.index));
        case ChangeKind::ItemsCleared:
            return "item " + address + " clear";
        case ChangeKind::ItemChosen:
            return change.index < 0
                       ? "item " + address + " choose none"
                       : "item " + address + " choose " + std::to_string(change.index) + " " +
                             Quote(drop.ItemText(change.index));
        default:
            return {};
    }
}

std::string ControlLine(const std::string& address, Control& control, ControlChange change) {
    switch (change.kind) {
        case ChangeKind::Text:
            return "text " + address + " " + ShownText(control);
        case ChangeKind::Visible:
            return (control.visible() ? "show " : "hide ") + address;
        case ChangeKind::Enabled:
            return (control.enabled() ? "enable " : "disable ") + address;
        case ChangeKind::Checked: {
            const auto* box = dynamic_cast<const CheckBox*>(&control);
            return "check " + address + (box != nullptr && box->checked() ? " on" : " off");
        }
        case ChangeKind::Bitmaps: {
            const auto* button = dynamic_cast<const CBitmapButton*>(&control);
            return button == nullptr
                       ? std::string{}
                       : "bitmap " + address + " " + std::to_string(button->normal_bitmap()) + " " +
                             std::to_string(button->pressed_bitmap());
        }
        case ChangeKind::Moved:
            return "move " + address + " " + RectText(control.rect());
        case ChangeKind::Redraw:
            return "redraw " + address;
        case ChangeKind::Range:
        case ChangeKind::Position:
        case ChangeKind::Caption: {
            const auto* bar = dynamic_cast<const CProgressEx*>(&control);
            if (bar == nullptr) {
                return {};
            }
            if (change.kind == ChangeKind::Range) {
                return "progress " + address + " range " + std::to_string(bar->lower()) + " " +
                       std::to_string(bar->upper());
            }
            if (change.kind == ChangeKind::Position) {
                return "progress " + address + " pos " + std::to_string(bar->position());
            }
            return "progress " + address + " caption " + Quote(bar->caption());
        }
        case ChangeKind::Navigated: {
            const auto* browser = dynamic_cast<const CExplorer1*>(&control);
            return browser == nullptr ? std::string{}
                                      : "navigate " + address + " " + Quote(browser->url());
        }
        default:
            break;
    }
    if (const auto* list = dynamic_cast<const ListView*>(&control)) {
        return ListLine(address, *list, change);
    }
    if (const auto* drop = dynamic_cast<const DropList*>(&control)) {
        return DropLine(address, *drop, change);
    }
    return {};
}

}  // namespace

const char* BoxAnswerName(BoxAnswer answer) {
    switch (answer) {
        case BoxAnswer::Ok:
            return "ok";
        case BoxAnswer::Yes:
            return "yes";
        case BoxAnswer::No:
            return "no";
    }
    return "ok";
}

const char* BoxButtonsName(BoxButtons buttons) {
    return buttons == BoxButtons::Ok ? "ok" : "yesno";
}

struct HeadlessHost::PendingSend {
    std::function<void()> work;
    std::promise<bool> done;
};

HeadlessHost::HeadlessHost(std::ostream& out, VirtualClock& clock)
    : transcript_(out), clock_(clock) {}

HeadlessHost::~HeadlessHost() {
    EndSends();
}

void HeadlessHost::WatchSession(const SessionContext* session) {
    session_ = session;
    if (session_ != nullptr) {
        last_state_ = session_->state;
    }
}

void HeadlessHost::CheckSession() {
    if (session_ != nullptr && session_->state != last_state_) {
        last_state_ = session_->state;
        transcript_.Write(std::string("state ") + SessionStateName(last_state_));
    }
}

void HeadlessHost::Emit(const std::string& line) {
    // A state change shows before the first effect that follows it.
    CheckSession();
    if (!line.empty()) {
        transcript_.Write(line);
    }
}

void HeadlessHost::Fail(const std::string& error) {
    if (error_.empty()) {
        error_ = error;
    }
}

std::string HeadlessHost::TakeError() {
    std::string error = std::move(error_);
    error_.clear();
    return error;
}

BoxAnswer HeadlessHost::ShowMessageBox(const std::string& text, const std::string& caption,
                                       BoxButtons buttons) {
    BoxAnswer answer = buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::No;
    if (!answers_.empty()) {
        const BoxAnswer queued = answers_.front();
        answers_.pop_front();
        if (Fits(queued, buttons)) {
            answer = queued;
        } else {
            Fail(std::string("the queued answer ") + BoxAnswerName(queued) + " does not fit the " +
                 BoxButtonsName(buttons) + " box " + Quote(text));
        }
    }
    Emit("box caption=" + Quote(caption) + " text=" + Quote(text) +
         " buttons=" + BoxButtonsName(buttons) + " answer=" + BoxAnswerName(answer));
    return answer;
}

void HeadlessHost::Register(Dialog& dialog) {
    if (std::find(dialogs_.begin(), dialogs_.end(), &dialog) == dialogs_.end()) {
        dialogs_.push_back(&dialog);
    }
}

void HeadlessHost::Unregister(Dialog& dialog) {
    KillTimers(dialog);
    dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), &dialog), dialogs_.end());
    modal_stack_.erase(std::remove(modal_stack_.begin(), modal_stack_.end(), &dialog),
                       modal_stack_.end());
    if (tray_owner_ == &dialog) {
        tray_owner_ = nullptr;
    }
}

int HeadlessHost::RunModal(Dialog& dialog, Dialog* parent) {
    Emit("modal " + dialog.name());
    modal_stack_.push_back(&dialog);
    dialog.BeginModal(parent);
    if (!dialog.ended()) {
        dialog.Show(ShowMode::Show);
    }
    if (!dialog.ended()) {
        if (loop_ != nullptr) {
            loop_->RunUntil([&dialog] { return dialog.ended(); });
            // The script ran out: the session ends with it, so nothing the
            // run started (a tunnel, its routes and files) outlives it.
            if (!dialog.ended()) {
                dialog.EndSession();
            }
        } else if (modal_hook_) {
            modal_hook_(dialog);
        }
    }
    const int result = dialog.FinishModal();
    Emit("end " + dialog.name() + " " + std::to_string(result));
    return result;
}

void HeadlessHost::WindowChanged(Dialog& dialog, WindowChange change) {
    switch (change.kind) {
        case WindowChangeKind::Shown:
            Emit(ShowLine(dialog.name(), change.mode));
            break;
        case WindowChangeKind::Moved:
            Emit("move " + dialog.name() + " " + RectText(dialog.rect()));
            break;
        case WindowChangeKind::Titled:
            Emit("title " + dialog.name() + " " + Quote(dialog.title()));
            break;
        case WindowChangeKind::Redrawn:
            ++redraws_[{&dialog, 0}];
            Emit("redraw " + dialog.name());
            break;
        case WindowChangeKind::Focus:
            Emit("focus " + dialog.name() + "." + std::to_string(dialog.focus_id()));
            break;
    }
}

void HeadlessHost::ControlChanged(Dialog& dialog, Control& control, ControlChange change) {
    if (change.kind == ChangeKind::Redraw) {
        ++redraws_[{&dialog, control.id()}];
    }
    Emit(ControlLine(ControlAddress(dialog, control), control, change));
}

int HeadlessHost::redraw_count(const Dialog& dialog, int control_id) const {
    const auto it = redraws_.find({&dialog, control_id});
    return it == redraws_.end() ? 0 : it->second;
}

void HeadlessHost::SetForegroundWindow(Dialog& dialog) {
    Emit("foreground " + dialog.name());
}

std::vector<HeadlessHost::TimerState>::iterator HeadlessHost::FindTimerIt(const Dialog& dialog,
                                                                          int id) {
    return std::find_if(timers_.begin(), timers_.end(),
                        [&](const TimerState& t) { return t.window == &dialog && t.id == id; });
}

std::optional<HeadlessHost::TimerState> HeadlessHost::FindTimer(const Dialog& dialog,
                                                                int id) const {
    for (const TimerState& t : timers_) {
        if (t.window == &dialog && t.id == id) {
            return t;
        }
    }
    return std::nullopt;
}

void HeadlessHost::SetTimer(Dialog& dialog, int id, int period_ms) {
    const std::int64_t period = std::max<std::int64_t>(period_ms, kMinimumTimerPeriod);
    const TimerState timer{&dialog, id, period, clock_.MonotonicMilliseconds() + period,
                           ++timer_order_};
    auto it = FindTimerIt(dialog, id);
    if (it != timers_.end()) {
        *it = timer;
    } else {
        timers_.push_back(timer);
    }
    Emit("timer start " + dialog.name() + " " + std::to_string(id) + " " +
         std::to_string(period_ms));
}

bool HeadlessHost::KillTimer(Dialog& dialog, int id) {
    auto it = FindTimerIt(dialog, id);
    if (it == timers_.end()) {
        return false;
    }
    timers_.erase(it);
    Emit("timer stop " + dialog.name() + " " + std::to_string(id));
    return true;
}

void HeadlessHost::KillTimers(Dialog& dialog) {
    // Timers die silently with their window.
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const TimerState& t) { return t.window == &dialog; }),
                  timers_.end());
}

void HeadlessHost::FireNextDueTimer(std::int64_t until_ms, bool& fired) {
    fired = false;
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->due_ms <= until_ms && (next == timers_.end() || it->due_ms < next->due_ms ||
                                       (it->due_ms == next->due_ms && it->order < next->order))) {
            next = it;
        }
    }
    if (next == timers_.end()) {
        return;
    }
    const std::int64_t now = clock_.MonotonicMilliseconds();
    if (next->due_ms > now) {
        clock_.AdvanceMilliseconds(next->due_ms - now);
    }
    // Reschedule before the handler runs so it may stop or restart itself.
    next->due_ms += next->period_ms;
    Dialog* window = next->window;
    const int id = next->id;
    fired = true;
    window->DispatchTimer(id);
    CheckSession();
}

void HeadlessHost::AdvanceMilliseconds(std::int64_t ms) {
    const std::int64_t target = clock_.MonotonicMilliseconds() + std::max<std::int64_t>(ms, 0);
    bool fired = true;
    while (fired) {
        ServicePendingSends();
        FireNextDueTimer(target, fired);
    }
    const std::int64_t now = clock_.MonotonicMilliseconds();
    if (target > now) {
        clock_.AdvanceMilliseconds(target - now);
    }
    ServicePendingSends();
}

void HeadlessHost::OpenUrl(const std::string& url) {
    urls_.push_back(url);
    Emit("url " + Quote(url));
}

std::optional<std::string> HeadlessHost::ShowFileOpenDialog(const FileOpenRequest& request) {
    std::optional<std::string> chosen;
    if (!files_.empty()) {
        chosen = files_.front();
        files_.pop_front();
    }
    Emit("fileopen filter=" + Quote(request.filter) +
         " result=" + (chosen ? Quote(*chosen) : std::string("cancel")));
    return chosen;
}

bool HeadlessHost::SendToUiThread(std::function<void()> work) {
    if (std::this_thread::get_id() == ui_thread_) {
        work();
        CheckSession();
        return true;
    }
    auto send = std::make_shared<PendingSend>();
    send->work = std::move(work);
    std::future<bool> done = send->done.get_future();
    {
        std::lock_guard<std::mutex> lock(sends_mutex_);
        if (shut_down_) {
            return false;
        }
        sends_.push_back(send);
    }
    sends_arrived_.notify_all();
    return done.get();
}

int HeadlessHost::ServicePendingSends() {
    int served = 0;
    for (;;) {
        std::shared_ptr<PendingSend> send;
        {
            std::lock_guard<std::mutex> lock(sends_mutex_);
            if (sends_.empty()) {
                return served;
            }
            send = sends_.front();
            sends_.pop_front();
        }
        send->work();
        CheckSession();
        send->done.set_value(true);
        ++served;
    }
}

std::size_t HeadlessHost::pending_sends() {
    std::lock_guard<std::mutex> lock(sends_mutex_);
    return sends_.size();
}

bool HeadlessHost::WaitForSend(int timeout_ms) {
    {
        std::unique_lock<std::mutex> lock(sends_mutex_);
        sends_arrived_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                [this] { return !sends_.empty() || shut_down_; });
    }
    return ServicePendingSends() > 0;
}

void HeadlessHost::EndSends() {
    std::deque<std::shared_ptr<PendingSend>> abandoned;
    {
        std::lock_guard<std::mutex> lock(sends_mutex_);
        shut_down_ = true;
        abandoned.swap(sends_);
    }
    for (auto& send : abandoned) {
        send->done.set_value(false);
    }
    sends_arrived_.notify_all();
}

bool HeadlessHost::AddTrayIcon(const TrayIconRecord& record) {
    if (!tray_available_ || tray_.present) {
        return false;
    }
    tray_ = TrayState{true, record.id, record.callback_message, record.icon, record.tip};
    tray_owner_ = record.owner;
    Emit("tray add id=" + std::to_string(record.id) + " icon=" + std::to_string(record.icon) +
         " tip=" + Quote(record.tip));
    return true;
}

bool HeadlessHost::ModifyTrayIcon(const TrayIconRecord& record) {
    if (!tray_.present) {
        return false;
    }
    if ((record.flags & TrayIconRecord::kFlagTip) != 0) {
        tray_.tip = record.tip;
        Emit("tray tip " + Quote(record.tip));
    }
    if ((record.flags & TrayIconRecord::kFlagIcon) != 0) {
        tray_.icon = record.icon;
        Emit("tray icon " + std::to_string(record.icon));
    }
    return true;
}

bool HeadlessHost::DeleteTrayIcon(const TrayIconRecord&) {
    if (!tray_.present) {
        return false;
    }
    tray_ = TrayState{};
    tray_owner_ = nullptr;
    Emit("tray remove");
    return true;
}

int HeadlessHost::TrackPopupMenu(const PopupMenu& menu, Dialog&) {
    int choice = 0;
    if (!menu_choices_.empty()) {
        choice = menu_choices_.front();
        menu_choices_.pop_front();
    }
    const bool is_item = std::any_of(menu.items.begin(), menu.items.end(), [&](const MenuItem& m) {
        return !m.separator && m.id == choice;
    });
    if (choice != 0 && !is_item) {
        Fail("the queued menu choice " + std::to_string(choice) + " is not an item of menu " +
             std::to_string(menu.resource));
        choice = 0;
    }
    std::string line = "menu " + std::to_string(menu.resource) + " items=";
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItem& item = menu.items[i];
        line += i == 0 ? "" : ",";
        line += item.separator ? "-" : std::to_string(item.id) + (item.is_default ? "*" : "");
    }
    line += " choice=" + (choice == 0 ? std::string("none") : std::to_string(choice));
    Emit(line);
    return choice;
}

Dialog* HeadlessHost::FindDialog(const std::string& name) const {
    // The newest window of a name wins.
    for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
        if ((*it)->name() == name) {
            return *it;
        }
    }
    return nullptr;
}

bool HeadlessHost::AcceptsInput(const Dialog& dialog) const {
    const Dialog* top = TopModal();
    if (top == nullptr) {
        return true;
    }
    for (const Dialog* d = &dialog; d != nullptr; d = d->parent()) {
        if (d == top) {
            return true;
        }
    }
    return false;
}

}  // namespace korvane
