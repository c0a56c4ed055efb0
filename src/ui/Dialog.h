#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/Control.h"
#include "ui/Geometry.h"
#include "ui/Host.h"
#include "ui/KeyFilter.h"
#include "ui/WindowMessages.h"

namespace korvane {

// A window of the system: controls addressed by id, its own visibility,
// rectangle and title, and handlers by id for commands, notifications,
// messages and timers. It never touches a toolkit; it talks to its Host.
class Dialog {
  public:
    using MessageHandler = std::function<long(long wparam, long lparam)>;

    Dialog(Host& host, std::string name, int template_id);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    Host& host() const { return host_; }
    // The name scripts and transcripts use for this window.
    const std::string& name() const { return name_; }
    int template_id() const { return template_id_; }
    Dialog* parent() const { return parent_; }

    // Life. Create runs a modeless window's initialisation; DoModal runs the
    // window until EndDialog and returns its result.
    void Create(Dialog* parent);
    int DoModal(Dialog* parent = nullptr);
    void EndDialog(int result);
    void Destroy();
    bool created() const { return created_; }
    bool modal() const { return modal_; }
    bool ended() const { return ended_; }
    int result() const { return result_; }

    // For hosts: the two halves of a modal run.
    void BeginModal(Dialog* parent);
    int FinishModal();

    // Window state.
    void Show(ShowMode mode);
    bool visible() const { return visible_; }
    bool minimized() const { return minimized_; }
    const Rect& rect() const { return rect_; }
    void Move(const Rect& rect);
    void CenterOver(const Dialog& other);
    const std::string& title() const { return title_; }
    void SetTitle(std::string title);
    void RedrawNow();
    int icon = 0;
    int background_bitmap = 0;
    // A child window lives inside its parent (the panels); otherwise the
    // parent is only the owner (popups and modal dialogs).
    bool is_child = false;
    // Frameless windows that drag from any point not on a control.
    bool drags_anywhere = false;

    // Controls.
    template <class T, class... Args>
    T& Add(int id, Args&&... args) {
        auto control = std::make_unique<T>(id, std::forward<Args>(args)...);
        T& ref = *control;
        AddControl(std::move(control));
        return ref;
    }
    Control* Find(int id) const;
    template <class T>
    T* Get(int id) const {
        return dynamic_cast<T*>(Find(id));
    }
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    // Ticks `id` and clears the other radio buttons of its group.
    void CheckRadioButton(int id);

    void SetFocus(int id);
    int focus_id() const { return focus_id_; }

    void SetTimer(int id, int period_ms);
    bool KillTimer(int id);

    // Entry points for hosts and drivers; each runs the window's handler.
    void DispatchCommand(int id);
    void DispatchNotify(int id, Notification code);
    void DispatchTimer(int id) { OnTimer(id); }
    void DispatchSysCommand(SysCommand command) { OnSysCommand(command); }
    long SendMessage(int message, long wparam = 0, long lparam = 0);
    // The filters of this window and its parents see the key first; an
    // unfiltered key gets the default processing (Enter ends the dialog with
    // kIdOk, Escape with kIdCancel, Alt+F4 closes it). True when swallowed.
    bool DispatchKey(const KeyEvent& event);
    // The close message.
    void Close() { OnClose(); }
    // The desktop session ends (the system logs out, the program is told to
    // stop): the window ends without asking.
    void EndSession() { OnEndSession(); }

    // Called by controls.
    void ControlChanged(Control& control, ControlChange change);

  protected:
    virtual bool OnInitDialog() { return true; }
    // True swallows the key.
    virtual bool PreTranslateKey(const KeyEvent&) { return false; }
    virtual void OnTimer(int) {}
    virtual void OnSysCommand(SysCommand command) { DefaultSysCommand(command); }
    virtual void OnOK() { EndDialog(kIdOk); }
    virtual void OnCancel() { EndDialog(kIdCancel); }
    virtual void OnClose() { OnCancel(); }
    virtual void OnEndSession() { EndDialog(kIdCancel); }
    void DefaultSysCommand(SysCommand command);

    void MapCommand(int id, std::function<void()> handler);
    void MapNotify(int id, Notification code, std::function<void()> handler);
    void MapMessage(int message, MessageHandler handler);

  private:
    void AddControl(std::unique_ptr<Control> control);
    void DefaultKey(const KeyEvent& event);
    Dialog& TopLevel();
    void NotifyWindow(WindowChange change);

    Host& host_;
    std::string name_;
    int template_id_;
    Dialog* parent_ = nullptr;
    bool created_ = false;
    bool modal_ = false;
    bool ended_ = false;
    int result_ = 0;
    bool visible_ = false;
    bool minimized_ = false;
    Rect rect_;
    std::string title_;
    int focus_id_ = 0;
    std::vector<std::unique_ptr<Control>> controls_;
    std::map<int, std::function<void()>> commands_;
    std::map<std::pair<int, Notification>, std::function<void()>> notifications_;
    std::map<int, MessageHandler> messages_;
};

}  // namespace korvane
