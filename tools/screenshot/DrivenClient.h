#pragma once

#include <functional>
#include <string>

namespace korvane::screenshots {

class Director;
class NamedDialogsHost;

struct DrivenClientOptions {
    // host:port of a running korvane-service; it is the authentication host
    // and the web host.
    std::string service;
    // Where the simulated machine's folders and files are made (the program
    // folder is WORK_FOLDER/machine/korvane); removed afterwards unless kept.
    std::string work_folder;
    bool keep_work_folder = false;
};

// Runs the whole korvane program on the desktop host, on a simulated machine
// (an Ethernet adapter with the default route, a TAP adapter, the simulated
// tunnel program), while `steps` plays a user against it. A QApplication
// must exist. 0 when the program ended after every step ran; otherwise -1
// with the reason.
// The tunnel is up as the user sees it: the status panel offers its
// disconnect button and nothing is being dialled.
bool TunnelUp(const NamedDialogsHost& host);

int RunDrivenClient(const DrivenClientOptions& options,
                    const std::function<void(NamedDialogsHost& host, Director& director)>& steps,
                    std::string& error);

}  // namespace korvane::screenshots
