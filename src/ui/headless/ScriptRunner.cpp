#include "ui/headless/ScriptRunner.h"

#include <cctype>
#include <chrono>
#include <climits>
#include <cstdint>
#include <map>
#include <thread>

#include "app/SessionContext.h"
#include "platform/QuotedText.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/Dialog.h"
#include "ui/DropList.h"
#include "ui/ListView.h"
#include "ui/headless/Describe.h"
#include "ui/headless/HeadlessHost.h"

namespace korvane {

namespace {

constexpr std::size_t kAny = SIZE_MAX;

bool AllDigits(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// Virtual key code of a key name; -1 when unknown.
int KeyCode(std::string name) {
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    static const std::map<std::string, int> kNames = {
        {"return", kKeyReturn}, {"enter", kKeyReturn}, {"escape", kKeyEscape}, {"esc", kKeyEscape},
        {"tab", kKeyTab},       {"f4", kKeyF4},        {"space", 0x20},
    };
    const auto it = kNames.find(name);
    if (it != kNames.end()) {
        return it->second;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return std::toupper(static_cast<unsigned char>(name[0]));
    }
    if (AllDigits(name) && name.size() <= 3) {
        return std::stoi(name);
    }
    return -1;
}

// Keys that also produce a character message between down and up.
bool HasCharacter(int key) {
    return key == kKeyReturn || key == kKeyEscape || key == kKeyTab || key == 0x20 ||
           (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z');
}

bool ParseAnswer(const std::string& word, BoxAnswer& answer) {
    if (word == "yes") {
        answer = BoxAnswer::Yes;
    } else if (word == "no") {
        answer = BoxAnswer::No;
    } else if (word == "ok") {
        answer = BoxAnswer::Ok;
    } else {
        return false;
    }
    return true;
}

bool ParseState(const std::string& word, SessionState& state) {
    for (SessionState s :
         {SessionState::Idle, SessionState::LoggedIn, SessionState::ConnectRequested,
          SessionState::Connecting, SessionState::Connected}) {
        if (word == SessionStateName(s)) {
            state = s;
            return true;
        }
    }
    return false;
}

bool WindowShownOnScreen(const Dialog& dialog) {
    for (const Dialog* d = &dialog; d != nullptr; d = d->is_child ? d->parent() : nullptr) {
        if (!d->visible()) {
            return false;
        }
    }
    return true;
}

}  // namespace

ScriptRunner::ScriptRunner(HeadlessHost& host, std::istream& in, std::string source_name)
    : host_(host), in_(in), source_(std::move(source_name)) {}

const std::vector<ScriptRunner::Command>& ScriptRunner::Commands() {
    static const std::vector<Command> kCommands = {
        {"type", 2, 2, &ScriptRunner::Type, "type CONTROL \"text\""},
        {"click", 1, 1, &ScriptRunner::Click, "click CONTROL"},
        {"dblclick", 2, 2, &ScriptRunner::DoubleClick, "dblclick LIST ROW"},
        {"select", 2, kAny, &ScriptRunner::Select, "select LIST ROW... | select LIST none"},
        {"choose", 2, 2, &ScriptRunner::Choose, "choose DROPLIST \"entry\" | choose DROPLIST #N"},
        {"tick", 1, 1, &ScriptRunner::Tick, "tick CHECKBOX"},
        {"untick", 1, 1, &ScriptRunner::Untick, "untick CHECKBOX"},
        {"key", 2, 2, &ScriptRunner::Key, "key WINDOW|CONTROL KEY"},
        {"syskey", 2, 2, &ScriptRunner::SysKey, "syskey WINDOW|CONTROL KEY"},
        {"syscommand", 2, 2, &ScriptRunner::SysCommandCmd,
         "syscommand WINDOW close|minimize|restore"},
        {"message", 2, 4, &ScriptRunner::Message, "message WINDOW NUMBER [WPARAM [LPARAM]]"},
        {"tray", 1, 1, &ScriptRunner::Tray, "tray click|dblclick|rclick"},
        {"answer", 1, kAny, &ScriptRunner::Answer, "answer yes|no|ok..."},
        {"file", 1, 1, &ScriptRunner::File, "file \"path\" | file cancel"},
        {"menu", 1, 1, &ScriptRunner::Menu, "menu COMMAND | menu none"},
        {"advance", 1, 1, &ScriptRunner::Advance, "advance SECONDS | advance MILLISECONDSms"},
        {"pump", 0, 1, &ScriptRunner::Pump, "pump [MILLISECONDS]"},
        {"print", 1, 1, &ScriptRunner::Print, "print WINDOW|CONTROL|tray|state|timers"},
        {"expect", 2, kAny, &ScriptRunner::Expect,
         "expect TARGET WHAT... [within SECONDS] (see the manual)"},
        {"mute", 1, kAny, &ScriptRunner::Mute, "mute KIND..."},
        {"unmute", 1, kAny, &ScriptRunner::Unmute, "unmute KIND..."},
        {"note", 1, 1, &ScriptRunner::Note, "note \"text\""},
    };
    return kCommands;
}

void ScriptRunner::RunUntil(const std::function<bool()>& done) {
    started_ = true;
    while (!at_end_ && !failed() && !done()) {
        host_.ServicePendingSends();
        std::string line;
        if (!std::getline(in_, line)) {
            at_end_ = true;
            break;
        }
        ++line_;
        RunLine(line);
    }
}

void ScriptRunner::Finish() {
    if (!started_ || at_end_ || failed()) {
        return;
    }
    std::string line;
    while (std::getline(in_, line)) {
        ++line_;
        std::vector<ScriptToken> tokens;
        std::string ignored;
        if (!TokenizeScriptLine(line, tokens, ignored) || !tokens.empty()) {
            Error("the program has ended before this command");
            return;
        }
    }
}

bool ScriptRunner::RunLine(const std::string& line) {
    std::vector<ScriptToken> tokens;
    std::string error;
    if (!TokenizeScriptLine(line, tokens, error)) {
        return Error(error);
    }
    if (tokens.empty()) {
        return true;
    }
    const bool ok = Execute(tokens);
    host_.CheckSession();
    const std::string host_error = host_.TakeError();
    if (ok && !host_error.empty()) {
        return Error(host_error);
    }
    return ok;
}

bool ScriptRunner::Error(std::string message) {
    if (error_.empty()) {
        error_ = source_ + ":" + std::to_string(line_) + ": " + message;
    }
    return false;
}

bool ScriptRunner::Execute(const Args& tokens) {
    const ScriptToken& name = tokens.front();
    for (const Command& command : Commands()) {
        if (name.quoted || name.text != command.name) {
            continue;
        }
        const Args args(tokens.begin() + 1, tokens.end());
        if (args.size() < command.min_args || args.size() > command.max_args) {
            return Error(std::string("usage: ") + command.usage);
        }
        return (this->*command.run)(args);
    }
    return Error("unknown command " + Quote(name.text));
}

bool ScriptRunner::ParseInt(const ScriptToken& token, long& value) {
    const std::string& t = token.text;
    const bool negative = !t.empty() && t[0] == '-';
    if (token.quoted || !AllDigits(negative ? t.substr(1) : t) || t.size() > 11) {
        return Error("not a number: " + Quote(t));
    }
    value = std::stol(t);
    return true;
}

bool ScriptRunner::ResolveDialog(const ScriptToken& token, Dialog*& dialog) {
    dialog = token.quoted ? nullptr : host_.FindDialog(token.text);
    if (dialog == nullptr) {
        return Error("no window named " + Quote(token.text));
    }
    return true;
}

bool ScriptRunner::ResolveControl(const ScriptToken& token, Dialog*& dialog, Control*& control) {
    const std::string& t = token.text;
    const std::size_t dot = t.find('.');
    if (!token.quoted && dot != std::string::npos) {
        const std::string id = t.substr(dot + 1);
        if (!AllDigits(id) || id.size() > 9) {
            return Error("not a control address: " + Quote(t));
        }
        if (!ResolveDialog({t.substr(0, dot), false}, dialog)) {
            return false;
        }
        control = dialog->Find(std::stoi(id));
        if (control == nullptr) {
            return Error(dialog->name() + " has no control " + id);
        }
        return true;
    }
    if (token.quoted || !AllDigits(t) || t.size() > 9) {
        return Error("not a control address: " + Quote(t));
    }
    const int id = std::stoi(t);
    // In a modal dialog opened over the main window its own ids come first.
    Dialog* top = host_.TopModal();
    if (top != nullptr && top->parent() != nullptr && top->Find(id) != nullptr) {
        dialog = top;
        control = top->Find(id);
        return true;
    }
    std::vector<Dialog*> holders;
    for (Dialog* d : host_.dialogs()) {
        if (d->Find(id) != nullptr) {
            holders.push_back(d);
        }
    }
    if (holders.empty()) {
        return Error("no window has control " + t);
    }
    if (holders.size() > 1) {
        std::string names;
        for (Dialog* d : holders) {
            names += (names.empty() ? "" : ", ") + d->name();
        }
        return Error("control " + t + " is in several windows (" + names + "); write WINDOW." + t);
    }
    dialog = holders.front();
    control = dialog->Find(id);
    return true;
}

bool ScriptRunner::ResolveTarget(const ScriptToken& token, Dialog*& dialog, Control*& control) {
    control = nullptr;
    const bool is_control = token.text.find('.') != std::string::npos || AllDigits(token.text);
    return is_control ? ResolveControl(token, dialog, control) : ResolveDialog(token, dialog);
}

bool ScriptRunner::CheckInput(const Dialog& dialog, const Control* control) {
    if (!WindowShownOnScreen(dialog)) {
        return Error(dialog.name() + " is not on the screen");
    }
    if (!host_.AcceptsInput(dialog)) {
        return Error(dialog.name() + " takes no input while " + host_.TopModal()->name() +
                     " is open");
    }
    if (control != nullptr && !control->visible()) {
        return Error(ControlAddress(dialog, *control) + " is hidden");
    }
    if (control != nullptr && !control->enabled()) {
        return Error(ControlAddress(dialog, *control) + " is disabled");
    }
    return true;
}

template <class T>
bool ScriptRunner::ResolveInput(const ScriptToken& token, Dialog*& dialog, T*& control,
                                const char* what) {
    Control* found = nullptr;
    if (!ResolveControl(token, dialog, found)) {
        return false;
    }
    control = dynamic_cast<T*>(found);
    if (control == nullptr) {
        return Error(ControlAddress(*dialog, *found) + " is not " + what);
    }
    return CheckInput(*dialog, control);
}

bool ScriptRunner::Type(const Args& a) {
    Dialog* dialog = nullptr;
    Edit* edit = nullptr;
    if (!a[1].quoted) {
        return Error("the text to type must be quoted");
    }
    if (!ResolveInput(a[0], dialog, edit, "an edit")) {
        return false;
    }
    if (dialog->focus_id() != edit->id()) {
        dialog->SetFocus(edit->id());
    }
    edit->SetText(a[1].text);
    return true;
}

bool ScriptRunner::Click(const Args& a) {
    Dialog* dialog = nullptr;
    Control* control = nullptr;
    if (!ResolveControl(a[0], dialog, control) || !CheckInput(*dialog, control)) {
        return false;
    }
    switch (control->kind()) {
        case ControlKind::PushButton:
        case ControlKind::BitmapButton:
            break;
        case ControlKind::CheckBox: {
            auto* box = static_cast<CheckBox*>(control);
            box->SetCheck(!box->checked());
            break;
        }
        case ControlKind::Radio:
            dialog->CheckRadioButton(control->id());
            break;
        default:
            return Error(ControlAddress(*dialog, *control) + " is not a button");
    }
    dialog->DispatchCommand(control->id());
    return true;
}

bool ScriptRunner::DoubleClick(const Args& a) {
    Dialog* dialog = nullptr;
    ListView* list = nullptr;
    long row = 0;
    if (!ResolveInput(a[0], dialog, list, "a list view") || !ParseInt(a[1], row)) {
        return false;
    }
    if (row < -1 || row >= list->RowCount()) {
        return Error("row " + std::to_string(row) + " does not exist (" +
                     std::to_string(list->RowCount()) + " rows)");
    }
    const std::vector<int> before = list->SelectedRows();
    list->ClearSelection();
    if (row >= 0) {
        list->SetRowState(static_cast<int>(row), true, true);
    }
    if (list->SelectedRows() != before) {
        dialog->DispatchNotify(list->id(), Notification::SelectionChange);
    }
    dialog->DispatchNotify(list->id(), Notification::DoubleClick);
    return true;
}

bool ScriptRunner::Select(const Args& a) {
    Dialog* dialog = nullptr;
    ListView* list = nullptr;
    if (!ResolveInput(a[0], dialog, list, "a list view")) {
        return false;
    }
    std::vector<int> rows;
    const bool none = a.size() == 2 && !a[1].quoted && a[1].text == "none";
    for (std::size_t i = 1; i < a.size() && !none; ++i) {
        long row = 0;
        if (!ParseInt(a[i], row)) {
            return false;
        }
        if (row < 0 || row >= list->RowCount()) {
            return Error("row " + std::to_string(row) + " does not exist (" +
                         std::to_string(list->RowCount()) + " rows)");
        }
        rows.push_back(static_cast<int>(row));
    }
    if (list->single_selection() && rows.size() > 1) {
        return Error(ControlAddress(*dialog, *list) + " allows one selected row");
    }
    list->ClearSelection();
    for (int row : rows) {
        list->SetRowState(row, true, row == rows.back());
    }
    dialog->DispatchNotify(list->id(), Notification::SelectionChange);
    return true;
}

bool ScriptRunner::Choose(const Args& a) {
    Dialog* dialog = nullptr;
    DropList* drop = nullptr;
    if (!ResolveInput(a[0], dialog, drop, "a drop list")) {
        return false;
    }
    int index = -1;
    if (!a[1].quoted && !a[1].text.empty() && a[1].text[0] == '#') {
        long n = 0;
        if (!ParseInt({a[1].text.substr(1), false}, n)) {
            return false;
        }
        index = n >= 0 && n < drop->Count() ? static_cast<int>(n) : -1;
    } else {
        index = drop->FindExact(a[1].text);
    }
    if (index < 0) {
        return Error(ControlAddress(*dialog, *drop) + " has no entry " + Quote(a[1].text));
    }
    drop->SetCurSel(index);
    dialog->DispatchNotify(drop->id(), Notification::SelectionChange);
    return true;
}

bool ScriptRunner::SetTicked(const Args& a, bool ticked) {
    Dialog* dialog = nullptr;
    Control* control = nullptr;
    if (!ResolveControl(a[0], dialog, control)) {
        return false;
    }
    auto* box = dynamic_cast<CheckBox*>(control);
    if (box == nullptr || control->kind() != ControlKind::CheckBox) {
        return Error(ControlAddress(*dialog, *control) + " is not a check box");
    }
    if (!CheckInput(*dialog, box)) {
        return false;
    }
    if (box->checked() != ticked) {
        box->SetCheck(ticked);
        dialog->DispatchCommand(box->id());
    }
    return true;
}

bool ScriptRunner::Tick(const Args& a) {
    return SetTicked(a, true);
}
bool ScriptRunner::Untick(const Args& a) {
    return SetTicked(a, false);
}

bool ScriptRunner::SendKeys(const ScriptToken& target, const ScriptToken& key_name, bool system) {
    Dialog* dialog = nullptr;
    Control* control = nullptr;
    if (!ResolveTarget(target, dialog, control) || !CheckInput(*dialog, control)) {
        return false;
    }
    const int key = KeyCode(key_name.text);
    if (key_name.quoted || key < 0) {
        return Error("unknown key " + Quote(key_name.text));
    }
    if (control != nullptr && dialog->focus_id() != control->id()) {
        dialog->SetFocus(control->id());
    }
    std::vector<KeyEvent> events;
    if (system) {
        events = {{KeyMessage::SysKeyDown, key}, {KeyMessage::SysKeyUp, key}};
    } else {
        events.push_back({KeyMessage::KeyDown, key});
        if (HasCharacter(key)) {
            events.push_back({KeyMessage::Char, key});
        }
        events.push_back({KeyMessage::KeyUp, key});
    }
    for (const KeyEvent& event : events) {
        // A key that ended the window leaves nobody for the rest.
        if (!dialog->created() || dialog->ended()) {
            break;
        }
        dialog->DispatchKey(event);
    }
    return true;
}

bool ScriptRunner::Key(const Args& a) {
    return SendKeys(a[0], a[1], false);
}
bool ScriptRunner::SysKey(const Args& a) {
    return SendKeys(a[0], a[1], true);
}

bool ScriptRunner::SysCommandCmd(const Args& a) {
    Dialog* dialog = nullptr;
    if (!ResolveDialog(a[0], dialog)) {
        return false;
    }
    static const std::map<std::string, SysCommand> kCommands = {{"close", SysCommand::Close},
                                                                {"minimize", SysCommand::Minimize},
                                                                {"restore", SysCommand::Restore}};
    const auto it = kCommands.find(a[1].text);
    if (a[1].quoted || it == kCommands.end()) {
        return Error("unknown system command " + Quote(a[1].text));
    }
    dialog->DispatchSysCommand(it->second);
    return true;
}

bool ScriptRunner::Message(const Args& a) {
    Dialog* dialog = nullptr;
    long message = 0;
    long wparam = 0;
    long lparam = 0;
    if (!ResolveDialog(a[0], dialog) || !ParseInt(a[1], message) ||
        (a.size() > 2 && !ParseInt(a[2], wparam)) || (a.size() > 3 && !ParseInt(a[3], lparam))) {
        return false;
    }
    dialog->SendMessage(static_cast<int>(message), wparam, lparam);
    return true;
}

bool ScriptRunner::Tray(const Args& a) {
    static const std::map<std::string, std::vector<long>> kGestures = {
        {"click", {kMouseLeftDown, kMouseLeftUp}},
        {"dblclick", {kMouseLeftDown, kMouseLeftUp, kMouseLeftDoubleClick, kMouseLeftUp}},
        {"rclick", {kMouseRightDown, kMouseRightUp}}};
    const auto it = kGestures.find(a[0].text);
    if (a[0].quoted || it == kGestures.end()) {
        return Error("unknown tray gesture " + Quote(a[0].text));
    }
    for (long mouse : it->second) {
        Dialog* owner = host_.tray_owner();
        if (!host_.tray().present || owner == nullptr) {
            return Error("there is no tray icon");
        }
        owner->SendMessage(host_.tray().callback_message, host_.tray().id, mouse);
    }
    return true;
}

bool ScriptRunner::Answer(const Args& a) {
    for (const ScriptToken& token : a) {
        BoxAnswer answer = BoxAnswer::Ok;
        if (token.quoted || !ParseAnswer(token.text, answer)) {
            return Error("an answer is yes, no or ok, not " + Quote(token.text));
        }
        host_.QueueAnswer(answer);
    }
    return true;
}

bool ScriptRunner::File(const Args& a) {
    if (!a[0].quoted && a[0].text == "cancel") {
        host_.QueueFile(std::nullopt);
    } else if (a[0].quoted) {
        host_.QueueFile(a[0].text);
    } else {
        return Error("usage: file \"path\" | file cancel");
    }
    return true;
}

bool ScriptRunner::Menu(const Args& a) {
    long command = 0;
    if (a[0].quoted || a[0].text != "none") {
        if (!ParseInt(a[0], command)) {
            return false;
        }
        if (command <= 0) {
            return Error("a menu command is a positive number");
        }
    }
    host_.QueueMenuChoice(static_cast<int>(command));
    return true;
}

bool ScriptRunner::Advance(const Args& a) {
    std::string text = a[0].text;
    std::int64_t scale = 1000;
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "ms") == 0) {
        scale = 1;
        text.resize(text.size() - 2);
    } else if (text.size() > 1 && text.back() == 's') {
        text.pop_back();
    }
    long amount = 0;
    if (!ParseInt({text, a[0].quoted}, amount)) {
        return false;
    }
    if (amount < 0) {
        return Error("time moves forward only");
    }
    host_.AdvanceMilliseconds(amount * scale);
    return true;
}

bool ScriptRunner::Pump(const Args& a) {
    if (a.empty()) {
        host_.ServicePendingSends();
        return true;
    }
    long timeout = 0;
    if (!ParseInt(a[0], timeout)) {
        return false;
    }
    host_.WaitForSend(static_cast<int>(timeout));
    return true;
}

bool ScriptRunner::Print(const Args& a) {
    Transcript& out = host_.transcript();
    const std::string& what = a[0].text;
    if (!a[0].quoted && what == "tray") {
        const auto& tray = host_.tray();
        out.Write(tray.present ? "print tray present icon=" + std::to_string(tray.icon) +
                                     " tip=" + Quote(tray.tip)
                               : std::string("print tray none"));
        return true;
    }
    if (!a[0].quoted && what == "state") {
        if (host_.session() == nullptr) {
            return Error("no session is watched");
        }
        out.Write(std::string("print state ") + SessionStateName(host_.session()->state));
        return true;
    }
    if (!a[0].quoted && what == "timers") {
        for (const auto& t : host_.timers()) {
            out.Write("print timer " + t.window->name() + " " + std::to_string(t.id) + " period=" +
                      std::to_string(t.period_ms) + " due=" + std::to_string(t.due_ms));
        }
        return true;
    }
    Dialog* dialog = nullptr;
    Control* control = nullptr;
    if (!ResolveTarget(a[0], dialog, control)) {
        return false;
    }
    if (control == nullptr) {
        out.Write(DescribeWindow(*dialog));
        return true;
    }
    for (const std::string& line : DescribeControl(*dialog, *control)) {
        out.Write(line);
    }
    return true;
}

bool ScriptRunner::Expect(const Args& a) {
    const std::size_t n = a.size();
    if (n >= 4 && !a[n - 2].quoted && a[n - 2].text == "within") {
        return ExpectWithin(Args(a.begin(), a.end() - 2), a.back());
    }
    return ExpectNow(a);
}

// Outside programs (a real tunnel) take real seconds: while waiting, the
// clock moves one second per real second, so the program's timers keep pace
// with them, and it stops as soon as the expectation holds.
bool ScriptRunner::ExpectWithin(const Args& a, const ScriptToken& limit) {
    std::string text = limit.text;
    if (text.size() > 1 && text.back() == 's') {
        text.pop_back();
    }
    long seconds = 0;
    if (!ParseInt({text, limit.quoted}, seconds)) {
        return false;
    }
    if (seconds < 0) {
        return Error("a wait cannot be negative");
    }
    using RealClock = std::chrono::steady_clock;
    RealClock::time_point next = RealClock::now();
    for (long waited = 0;; ++waited) {
        if (ExpectNow(a)) {
            return true;
        }
        if (waited >= seconds) {
            error_ += " (after " + std::to_string(seconds) + " s)";
            return false;
        }
        error_.clear();
        next += std::chrono::seconds(1);
        while (RealClock::now() < next) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(next - RealClock::now());
            // Work from other threads is served while waiting.
            if (!host_.WaitForSend(static_cast<int>(left.count()) + 1)) {
                std::this_thread::sleep_until(next);
            }
        }
        host_.AdvanceMilliseconds(1000);
    }
}

bool ScriptRunner::ExpectNow(const Args& a) {
    if (!a[0].quoted && a[0].text == "state") {
        SessionState expected = SessionState::Idle;
        if (a.size() != 2 || !ParseState(a[1].text, expected)) {
            return Error("usage: expect state Idle|LoggedIn|ConnectRequested|Connecting|Connected");
        }
        if (host_.session() == nullptr) {
            return Error("no session is watched");
        }
        if (host_.session()->state != expected) {
            return Error(std::string("expected state ") + SessionStateName(expected) + ", got " +
                         SessionStateName(host_.session()->state));
        }
        return true;
    }
    if (!a[0].quoted && a[0].text == "tray") {
        return ExpectTray(a);
    }
    if (!a[0].quoted && a[0].text == "timer") {
        return ExpectTimer(a);
    }
    Dialog* dialog = nullptr;
    Control* control = nullptr;
    if (!ResolveTarget(a[0], dialog, control)) {
        return false;
    }
    return control != nullptr ? ExpectControl(*dialog, *control, a) : ExpectWindow(*dialog, a);
}

bool ScriptRunner::ExpectControl(const Dialog& dialog, const Control& control, const Args& a) {
    const std::string address = ControlAddress(dialog, control);
    const auto mismatch = [&](const std::string& expected, const std::string& actual) {
        return Error(address + ": expected " + expected + ", got " + actual);
    };
    if (a.size() == 2 && a[1].quoted) {
        return control.text() == a[1].text ? true : mismatch(Quote(a[1].text), ShownText(control));
    }
    const std::string& what = a[1].text;
    const auto* box = dynamic_cast<const CheckBox*>(&control);
    if (a.size() == 2) {
        const std::map<std::string, std::pair<bool, std::string>> kFlags = {
            {"visible", {control.visible(), "hidden"}},
            {"hidden", {!control.visible(), "visible"}},
            {"enabled", {control.enabled(), "disabled"}},
            {"disabled", {!control.enabled(), "enabled"}},
            {"checked", {box != nullptr && box->checked(), "unchecked"}},
            {"unchecked", {box != nullptr && !box->checked(), "checked"}},
        };
        const auto it = kFlags.find(what);
        if (it == kFlags.end()) {
            return Error("unknown expectation " + Quote(what));
        }
        return it->second.first ? true : mismatch(what, it->second.second);
    }
    return ExpectContent(dialog, control, a);
}

bool ScriptRunner::ExpectContent(const Dialog& dialog, const Control& control, const Args& a) {
    const std::string address = ControlAddress(dialog, control);
    const auto mismatch = [&](const std::string& expected, const std::string& actual) {
        return Error(address + ": expected " + expected + ", got " + actual);
    };
    const std::string& what = a[1].text;
    const auto* list = dynamic_cast<const ListView*>(&control);
    const auto* drop = dynamic_cast<const DropList*>(&control);
    const auto* button = dynamic_cast<const CBitmapButton*>(&control);
    if (what == "rows" && list != nullptr && a.size() == 3) {
        long rows = 0;
        return ParseInt(a[2], rows) &&
               (rows == list->RowCount() ||
                mismatch(std::to_string(rows) + " rows", std::to_string(list->RowCount())));
    }
    if (what == "row" && list != nullptr && a.size() == 4 && a[3].quoted) {
        long row = 0;
        if (!ParseInt(a[2], row)) {
            return false;
        }
        const ListView::Row* r = list->RowAt(static_cast<int>(row));
        return (r != nullptr && list->RowText(static_cast<int>(row)) == a[3].text) ||
               mismatch("row " + std::to_string(row) + " " + Quote(a[3].text),
                        r == nullptr ? std::string("no such row")
                                     : Quote(list->RowText(static_cast<int>(row))));
    }
    if (what == "selected" && list != nullptr) {
        std::string expected;
        for (std::size_t i = 2; i < a.size(); ++i) {
            expected += (i == 2 ? "" : " ") + a[i].text;
        }
        const std::string actual = SelectionText(*list);
        return expected == actual || mismatch("selected " + expected, actual);
    }
    if (what == "chosen" && drop != nullptr && a.size() == 3 && a[2].quoted) {
        return drop->SelectedText() == a[2].text ||
               mismatch("chosen " + Quote(a[2].text), Quote(drop->SelectedText()));
    }
    if (what == "bitmap" && button != nullptr && a.size() == 4) {
        long normal = 0;
        long pressed = 0;
        if (!ParseInt(a[2], normal) || !ParseInt(a[3], pressed)) {
            return false;
        }
        const std::string actual = std::to_string(button->normal_bitmap()) + " " +
                                   std::to_string(button->pressed_bitmap());
        return (normal == button->normal_bitmap() && pressed == button->pressed_bitmap()) ||
               mismatch("bitmap " + std::to_string(normal) + " " + std::to_string(pressed), actual);
    }
    return Error("unknown expectation for " + address);
}

bool ScriptRunner::ExpectWindow(const Dialog& dialog, const Args& a) {
    if (a.size() != 2 || a[1].quoted) {
        return Error("usage: expect WINDOW visible|hidden|minimized|normal");
    }
    const std::string& what = a[1].text;
    const std::string actual = !dialog.visible()    ? "hidden"
                               : dialog.minimized() ? "minimized"
                                                    : "normal";
    bool holds = false;
    if (what == "visible") {
        holds = dialog.visible();
    } else if (what == "hidden" || what == "minimized" || what == "normal") {
        holds = what == actual;
    } else {
        return Error("unknown expectation " + Quote(what));
    }
    return holds || Error(dialog.name() + ": expected " + what + ", got " + actual);
}

bool ScriptRunner::ExpectTray(const Args& a) {
    const auto& tray = host_.tray();
    const std::string& what = a[1].text;
    if (a.size() == 2 && (what == "none" || what == "present")) {
        return (what == "present") == tray.present ||
               Error(std::string("expected tray ") + what + ", got " +
                     (tray.present ? "present" : "none"));
    }
    if (a.size() == 3 && what == "icon") {
        long icon = 0;
        return ParseInt(a[2], icon) &&
               ((tray.present && icon == tray.icon) ||
                Error("expected tray icon " + std::to_string(icon) + ", got " +
                      (tray.present ? std::to_string(tray.icon) : std::string("none"))));
    }
    if (a.size() == 3 && what == "tip" && a[2].quoted) {
        return (tray.present && tray.tip == a[2].text) ||
               Error("expected tray tip " + Quote(a[2].text) + ", got " + Quote(tray.tip));
    }
    return Error("usage: expect tray none|present | expect tray icon N | expect tray tip \"text\"");
}

bool ScriptRunner::ExpectTimer(const Args& a) {
    Dialog* dialog = nullptr;
    long id = 0;
    if (a.size() != 4 || !ResolveDialog(a[1], dialog) || !ParseInt(a[2], id)) {
        return failed() ? false : Error("usage: expect timer WINDOW ID PERIOD|off");
    }
    const auto timer = host_.FindTimer(*dialog, static_cast<int>(id));
    const std::string actual = timer ? std::to_string(timer->period_ms) : "off";
    return actual == a[3].text || Error("timer " + dialog->name() + " " + std::to_string(id) +
                                        ": expected " + a[3].text + ", got " + actual);
}

bool ScriptRunner::Mute(const Args& a) {
    for (const ScriptToken& token : a) {
        host_.transcript().Mute(token.text);
    }
    return true;
}

bool ScriptRunner::Unmute(const Args& a) {
    for (const ScriptToken& token : a) {
        host_.transcript().Unmute(token.text);
    }
    return true;
}

bool ScriptRunner::Note(const Args& a) {
    host_.transcript().Write("note " + Quote(a[0].text));
    return true;
}

}  // namespace korvane
