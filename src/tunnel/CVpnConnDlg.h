#pragma once

#include <string>

#include "tunnel/ConnectProgress.h"
#include "ui/Dialog.h"

namespace korvane {

struct SessionContext;
class CProgressEx;
class CFontStatic;

// The connecting dialog: a status line and a bar that runs while a login for
// connecting and the tunnel start are under way. It has no buttons and
// swallows the keys that would end it.
class CVpnConnDlg : public Dialog, public ConnectProgress {
  public:
    static constexpr int kTemplate = 143;
    static constexpr int kBackground = 200;
    static constexpr int kProgressBar = 1050;
    static constexpr int kStatusLine = 1049;
    static constexpr int kProgressTimer = 1;
    static constexpr int kProgressPeriodMs = 100;

    CVpnConnDlg(Host& host, const SessionContext& session);

    void StartProgress() override;
    void StopProgress() override;
    void ResetProgress() override;
    void StepProgress(const std::string& text, int step) override;

    int tick_counter() const { return tick_counter_; }

  protected:
    bool OnInitDialog() override;
    bool PreTranslateKey(const KeyEvent& event) override;
    void OnTimer(int id) override;

  private:
    CProgressEx& bar() const;
    CFontStatic& status_line() const;
    void SetStatus(const std::string& text);
    void SetPercentCaption(int percent);

    const SessionContext& session_;
    int tick_counter_ = 0;
};

}  // namespace korvane
