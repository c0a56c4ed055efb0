// The main window's handling of the remote-access status message.

#include <cstdio>

#include "app/CKorvaneDlg.h"
#include "app/LoginProcedure.h"
#include "app/SessionContext.h"
#include "app/TunnelOperations.h"
#include "protocol/AccountAnswerParser.h"
#include "protocol/AccountInfo.h"
#include "tunnel/RasTunnel.h"
#include "tunnel/RasWindowCalls.h"

namespace korvane {

int RasTunnel::OnRasStatus(int state, int error) {
    session_.state = SessionState::Connecting;
    window_.StepProgress(CRasMgmt::StateText(state), main_.fields().ras_step_count);
    ++main_.fields().ras_step_count;
    if (error != 0) {
        EndFailedAttempt(ras_.ErrorText(error, CRasMgmt::kStatusErrorTextBytes));
        return -1;
    }
    // Only the connected state itself: "disconnected" carries the same bit
    // but ends the attempt.
    if (state == ras_state::kDisconnected) {
        EndFailedAttempt(CRasMgmt::StateText(state));
        return -1;
    }
    if (state == ras_state::kConnected) {
        RunConnectedActions();
    }
    return 1;
}

void RasTunnel::EndFailedAttempt(const std::string& text) {
    static_cast<void>(ras_.HangUp());
    main_.fields().ras_step_count = 0;
    window_.ResetProgress();
    ShowConnecting(false);
    session_.state = SessionState::Idle;
    main_.host().ShowMessageBox(text, kFailureCaption, BoxButtons::Ok);
    if (main_.panels().login != nullptr) {
        main_.panels().login->SetFocus(kLoginIdEdit);
    }
}

void RasTunnel::RunConnectedActions() {
    ShowConnecting(false);
    main_.fields().ras_step_count = 0;
    window_.ResetProgress();
    // The entry has been read; the file is not left lying about.
    if (!phonebook_path_.empty()) {
        static_cast<void>(std::remove(phonebook_path_.c_str()));
    }
    ShowLine(kEndDateLine, EndDateLine(account_.xxxdate));
    ShowLine(kPlanLine, account_.mygame);
    main_.SetTimer(CKorvaneDlg::kTimerServiceTime, 1000);
    main_.SetTimer(CKorvaneDlg::kTimerTunnelCheck, 1000);
    session_.current_exit_address = ras_.GetAssignedAddress();
    ShowLine(kAddressLine, session_.current_exit_address);
    main_.tray().SetIcon(CTrayIcon::kIconConnected);
    session_.state = SessionState::Connected;
    if (session_.ip_change_type == 1) {
        window_.RequestIpChange(session_.ip_code);
    }
    window_.ShowConnectedLook();
    tunnel_.RunProgramHook("IN_START");
}

}  // namespace korvane
