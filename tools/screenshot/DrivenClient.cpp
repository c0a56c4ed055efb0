#include "DrivenClient.h"

#include <QDir>
#include <fstream>
#include <sstream>
#include <vector>

#include "DesktopDirector.h"
#include "app/KorvaneMain.h"
#include "app/KorvaneOptions.h"
#include "ui/CLogoutDlg.h"
#include "ui/Dialog.h"
#include "ui/qt/Skin.h"
#include "ui/qt/TerminationSignals.h"

namespace korvane::screenshots {

namespace {

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

std::string MachineText(const std::string& folder) {
    return "[environment]\n"
           "program_path = " +
           folder +
           "/machine/korvane\n"
           "windows_dir = " +
           folder +
           "/machine/windows\n"
           "\n[adapter eth0]\nindex = 7\ndescription = Realtek PCIe GBE Family Controller\n"
           "mac = 00:1a:2b:3c:4d:5e\naddress = 192.168.0.10/255.255.255.0\n"
           "gateway = 192.168.0.1\n"
           "\n[adapter tap]\nindex = 12\ndescription = TAP-Windows Adapter V9\n"
           "mac = 00:ff:4b:56:00:01\n"
           "\n[route]\ndestination = 0.0.0.0\nmask = 0.0.0.0\nnext_hop = 192.168.0.1\n"
           "interface = 7\nmetric = 25\n"
           "\n[tunnel]\naddress = 10.8.0.6\n";
}

std::string DeployText(const std::string& service) {
    return "auth_host = 127.0.0.1\nweb_host = " + service +
           "\nport = " + service.substr(service.rfind(':') + 1) + "\n";
}

}  // namespace

bool TunnelUp(const NamedDialogsHost& host) {
    const Dialog* status = host.Find("status");
    const Control* disconnect =
        status != nullptr ? status->Find(CLogoutDlg::kDisconnectButton) : nullptr;
    return disconnect != nullptr && disconnect->visible() && !host.Showing("connecting");
}

int RunDrivenClient(const DrivenClientOptions& options,
                    const std::function<void(NamedDialogsHost& host, Director& director)>& steps,
                    std::string& error) {
    const std::string& folder = options.work_folder;
    const std::string machine = folder + "/machine.ini";
    const std::string deploy = folder + "/deploy.ini";
    if (!QDir().mkpath(QString::fromStdString(folder + "/machine/windows")) ||
        !WriteText(machine, MachineText(folder)) ||
        !WriteText(deploy, DeployText(options.service))) {
        error = folder + ": the simulated machine cannot be written";
        return -1;
    }
    const std::vector<std::string> words{"korvane", "--platform", "sim",  "--machine",
                                         machine,   "--deploy",   deploy, "--no-tray"};
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    bool director_finished = false;
    std::string director_error;
    const DesktopRunner runner = [&](const KorvaneOptions&, const std::function<int(Host&)>& run,
                                     std::ostream&) {
        NamedDialogsHost host(Skin::Builtin());
        host.SetTrayAvailable(false);
        host.SetUrlOpener([](const std::string&) {});
        const TerminationSignals session_end(host);
        Director director(host);
        steps(host, director);
        director.Start();
        const int code = run(host);
        director_finished = director.finished();
        director_error = director.error();
        return code;
    };
    std::istringstream no_input;
    std::ostringstream out;
    std::ostringstream err;
    const int code =
        RunKorvane(static_cast<int>(argv.size()), argv.data(), no_input, out, err, runner);
    if (!options.keep_work_folder) {
        QDir(QString::fromStdString(folder)).removeRecursively();
    }
    if (code != kExitOk || !director_finished) {
        error = !director_error.empty() ? director_error
                                        : "the program ended (" + std::to_string(code) +
                                              ") before the last step: " + err.str();
        return -1;
    }
    return 0;
}

}  // namespace korvane::screenshots
