#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/CKorvaneDlg.h"
#include "app/DeploySettings.h"
#include "app/MainPanels.h"
#include "app/MainWindowOperations.h"
#include "platform/Platform.h"
#include "protocol/HttpHeaders.h"

namespace korvane {

class Host;
struct SessionContext;

// The fixed header block every HTTP request sends (two lines, 180 characters).
inline constexpr std::string_view kHttpHeaders = kHttpHeaderBlock;
constexpr int kClientVersion = 1187;

// The application object: reads the launcher's argument, keeps to one
// running copy per user, and runs the main window until it ends.
class CKorvaneApp {
  public:
    enum class Start {
        RunMainWindow,   // this is the running copy
        ActivatedOther,  // another copy runs; it was asked to show itself
        ClaimFailed,     // the single-copy claim could not be made
    };

    CKorvaneApp(Host& host, const Platform& platform, SessionContext& session,
                MainWindowOperations& operations, DeploySettings deploy, PanelFactory panels);
    ~CKorvaneApp();

    // The whole start-up and run; returns when the main window has ended or
    // the program ends early.
    void Run(const std::optional<std::string>& argument);

    // The two halves of Run.
    Start StartUp(const std::optional<std::string>& argument);
    int RunMainWindow();

    Start start() const { return start_; }
    CKorvaneDlg* main_window() { return main_.get(); }

  private:
    void OnActivationRequest();

    Host& host_;
    const Platform& platform_;
    SessionContext& session_;
    MainWindowOperations& operations_;
    DeploySettings deploy_;
    PanelFactory panels_;
    Start start_ = Start::ClaimFailed;
    std::unique_ptr<CKorvaneDlg> main_;
};

}  // namespace korvane
