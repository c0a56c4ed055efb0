#include "tunnel/RasDialCallback.h"

#include "ui/Dialog.h"
#include "ui/Host.h"

namespace korvane {

void RasDialCallback(const RasNotifyTarget& target, int state, int error) {
    if (target.host == nullptr || target.window == nullptr) {
        return;
    }
    Dialog* window = target.window;
    static_cast<void>(target.host->SendToUiThread(
        [window, state, error] { window->SendMessage(kRasStatusMessage, state, error); }));
}

}  // namespace korvane
