#include "tunnel/RasTunnel.h"

#include <cstdio>

#include "app/CKorvaneDlg.h"
#include "app/MainWindowOperations.h"
#include "app/SessionContext.h"
#include "app/TunnelOperations.h"
#include "platform/Environment.h"
#include "protocol/AccountInfo.h"
#include "settings/SlashPath.h"
#include "tunnel/RasWindowCalls.h"

namespace korvane {

RasTunnel::RasTunnel(RasPort& port, Environment& environment, CKorvaneDlg& main,
                     SessionContext& session, AccountInfo& account,
                     MainWindowOperations& operations, TunnelOperations& tunnel,
                     RasWindowCalls& window)
    : environment_(environment),
      main_(main),
      session_(session),
      account_(account),
      operations_(operations),
      tunnel_(tunnel),
      window_(window),
      ras_(port, notify_target_) {}

int RasTunnel::WritePhonebook(int vpn_type, int has_zero_address) {
    const std::string folder = environment_.CurrentDirectory();
    // Without a current directory the file would land in the root folder;
    // an empty path writes nothing and the dial reports the missing entry.
    phonebook_path_ =
        folder.empty() ? std::string{} : ForwardSlashes(folder + "\\" + CRasConfigFile::kFileName);
    static_cast<void>(phonebook_.Prepare(vpn_type, has_zero_address, phonebook_path_));
    phonebook_.WriteEntry();
    return 1;
}

int RasTunnel::DialRasTunnel() {
    window_.ResetProgress();
    ShowConnecting(true);
    notify_target_ = {&main_.host(), &main_};
    const int result =
        ras_.Dial(phonebook_path_, account_.server_ip, session_.user_id, session_.password);
    if (result < 0) {
        const RasRefusal& refusal = ras_.last_refusal();
        if (refusal.error != 0) {
            char number[16];
            std::snprintf(number, sizeof number, "%d", refusal.error);
            main_.host().ShowMessageBox(std::string("<<") + number + ">> : " + refusal.text,
                                        kApplicationCaption, BoxButtons::Ok);
        }
        return -1;
    }
    return 1;
}

void RasTunnel::CheckRasLink() {
    if (ras_.IsConnected() == 1) {
        return;
    }
    operations_.SendLogout("vpn");
    StopRasTunnel();
    main_.host().ShowMessageBox(kLinkLostText, kLinkLostCaption, BoxButtons::Ok);
}

int RasTunnel::StopRasTunnel() {
    main_.KillTimer(CKorvaneDlg::kTimerTunnelCheck);
    main_.KillTimer(CKorvaneDlg::kTimerServiceTime);
    if (main_.tray().enabled()) {
        main_.tray().SetIcon(CTrayIcon::kIconDisconnected);
    }
    if (ras_.handle() != 0) {
        const int error = ras_.HangUp();
        if (error > 0) {
            // Nobody is told: the tunnel is being given up either way.
            static_cast<void>(ras_.ErrorText(error, CRasMgmt::kStatusErrorTextBytes));
        }
    }
    session_.state = SessionState::Idle;
    tunnel_.RunProgramHook("OUT_START");
    tunnel_.RunProgramHook("OUT_STOP");
    return 1;
}

void RasTunnel::ShowLine(int id, const std::string& text) {
    if (main_.panels().status == nullptr) {
        return;
    }
    if (Control* line = main_.panels().status->Find(id)) {
        line->SetText(text);
        line->RedrawNow();
    }
}

void RasTunnel::ShowConnecting(bool visible) {
    if (main_.panels().connecting != nullptr) {
        main_.panels().connecting->Show(visible ? ShowMode::Show : ShowMode::Hide);
    }
}

}  // namespace korvane
