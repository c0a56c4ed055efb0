#pragma once

#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "ui/headless/ScriptTokens.h"
#include "ui/headless/UiLoop.h"

namespace korvane {

class Control;
class Dialog;
class HeadlessHost;

// Drives the headless host from a line-based script (docs/automation.md):
// one command a line, read only when the program waits for input, so a
// modal dialog's commands follow the command that opened it.
class ScriptRunner : public UiLoop {
  public:
    ScriptRunner(HeadlessHost& host, std::istream& in, std::string source_name);

    void RunUntil(const std::function<bool()>& done) override;
    // Called once the program has ended: commands left unread are an error.
    void Finish();
    // Runs one line as if it came from the script (tests use it directly).
    bool RunLine(const std::string& line);

    bool failed() const { return !error_.empty(); }
    // "source:line: reason".
    const std::string& error() const { return error_; }

  private:
    using Args = std::vector<ScriptToken>;
    struct Command {
        const char* name;
        std::size_t min_args;
        std::size_t max_args;  // SIZE_MAX: any number
        bool (ScriptRunner::*run)(const Args&);
        const char* usage;
    };
    static const std::vector<Command>& Commands();

    bool Execute(const Args& tokens);
    bool Error(std::string message);

    // Lookups.
    bool ResolveControl(const ScriptToken& token, Dialog*& dialog, Control*& control);
    bool ResolveDialog(const ScriptToken& token, Dialog*& dialog);
    // A control or a window; control is null for a window.
    bool ResolveTarget(const ScriptToken& token, Dialog*& dialog, Control*& control);
    bool CheckInput(const Dialog& dialog, const Control* control);
    template <class T>
    bool ResolveInput(const ScriptToken& token, Dialog*& dialog, T*& control, const char* what);
    bool ParseInt(const ScriptToken& token, long& value);

    // Commands.
    bool Type(const Args& a);
    bool Click(const Args& a);
    bool DoubleClick(const Args& a);
    bool Select(const Args& a);
    bool Choose(const Args& a);
    bool Tick(const Args& a);
    bool Untick(const Args& a);
    bool Key(const Args& a);
    bool SysKey(const Args& a);
    bool SysCommandCmd(const Args& a);
    bool Message(const Args& a);
    bool Tray(const Args& a);
    bool Answer(const Args& a);
    bool File(const Args& a);
    bool Menu(const Args& a);
    bool Advance(const Args& a);
    bool Pump(const Args& a);
    bool Print(const Args& a);
    bool Expect(const Args& a);
    bool Mute(const Args& a);
    bool Unmute(const Args& a);
    bool Note(const Args& a);

    bool ExpectNow(const Args& a);
    bool ExpectWithin(const Args& a, const ScriptToken& limit);
    bool SendKeys(const ScriptToken& target, const ScriptToken& key, bool system);
    bool SetTicked(const Args& a, bool ticked);
    bool ExpectControl(const Dialog& dialog, const Control& control, const Args& a);
    bool ExpectContent(const Dialog& dialog, const Control& control, const Args& a);
    bool ExpectWindow(const Dialog& dialog, const Args& a);
    bool ExpectTray(const Args& a);
    bool ExpectTimer(const Args& a);

    HeadlessHost& host_;
    std::istream& in_;
    std::string source_;
    int line_ = 0;
    bool started_ = false;
    bool at_end_ = false;
    std::string error_;
};

}  // namespace korvane
