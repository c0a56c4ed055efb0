#include "app/CKorvaneApp.h"

#include "app/CommandLine.h"
#include "app/SessionContext.h"
#include "platform/Environment.h"
#include "platform/InstancePort.h"
#include "ui/Host.h"

namespace korvane {

CKorvaneApp::CKorvaneApp(Host& host, const Platform& platform, SessionContext& session,
                         MainWindowOperations& operations, DeploySettings deploy,
                         PanelFactory panels)
    : host_(host),
      platform_(platform),
      session_(session),
      operations_(operations),
      deploy_(std::move(deploy)),
      panels_(std::move(panels)) {}

CKorvaneApp::~CKorvaneApp() {
    if (platform_.instance != nullptr) {
        platform_.instance->StopListening();
    }
}

void CKorvaneApp::Run(const std::optional<std::string>& argument) {
    if (StartUp(argument) == Start::RunMainWindow) {
        RunMainWindow();
    }
}

CKorvaneApp::Start CKorvaneApp::StartUp(const std::optional<std::string>& argument) {
    session_.http_headers = std::string(kHttpHeaders);
    session_.ccver = kClientVersion;
    session_.web_host = deploy_.web_host;
    ApplyLaunchArgument(argument, session_);
    if (platform_.environment != nullptr) {
        session_.windows_dir = platform_.environment->WindowsFolder();
    }
    InstancePort* instance = platform_.instance;
    const InstanceClaim claim = instance != nullptr ? instance->Claim() : InstanceClaim::Acquired;
    if (claim == InstanceClaim::Failed) {
        start_ = Start::ClaimFailed;
    } else if (claim == InstanceClaim::AlreadyRunning) {
        instance->ActivateRunningCopy();
        start_ = Start::ActivatedOther;
    } else {
        start_ = Start::RunMainWindow;
    }
    return start_;
}

int CKorvaneApp::RunMainWindow() {
    main_ = std::make_unique<CKorvaneDlg>(host_, session_, operations_, deploy_, panels_);
    if (platform_.instance != nullptr) {
        platform_.instance->ListenForActivation([this] { OnActivationRequest(); });
    }
    const int result = main_->DoModal(nullptr);
    // A request arriving now finds no window; release it before the listener
    // is stopped, or both sides would wait on each other.
    host_.EndSends();
    if (platform_.instance != nullptr) {
        platform_.instance->StopListening();
    }
    main_.reset();
    return result;
}

// Runs on the port's thread; the window is touched only on the interface
// thread, and the requester waits until it has been shown.
void CKorvaneApp::OnActivationRequest() {
    host_.SendToUiThread([this] {
        if (main_ != nullptr && main_->created()) {
            main_->SendMessage(CKorvaneDlg::kMessageActivate, 0, 0);
        }
    });
}

}  // namespace korvane
