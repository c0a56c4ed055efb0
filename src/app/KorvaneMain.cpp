#include "app/KorvaneMain.h"

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "app/CKorvaneApp.h"
#include "app/ClientAssembly.h"
#include "app/DeploySettings.h"
#include "app/KorvaneOptions.h"
#include "app/MainPanels.h"
#include "app/PlatformSetup.h"
#include "app/SessionContext.h"
#include "app/SessionOperations.h"
#include "netenv/CNetworkMgmt.h"
#include "platform/Environment.h"
#include "platform/linux/SystemClock.h"
#include "protocol/AccountInfo.h"
#include "protocol/CWebMgmt.h"
#include "settings/CRegCtrl.h"
#include "ui/headless/HeadlessHost.h"
#include "ui/headless/ScriptRunner.h"
#include "update/CUpdateMgmt.h"

namespace korvane {

namespace {

std::unique_ptr<PlatformBackends> BuildBackends(const KorvaneOptions& options, std::string& error) {
    if (options.platform == "sim") {
        return BuildSimBackends(options.machine, error);
    }
    return BuildLinuxBackends(options.instance_dir);
}

// An explicit file must exist; the one beside the program may be absent.
int LoadDeploy(const KorvaneOptions& options, Environment& environment, DeploySettings& deploy,
               std::string& error) {
    const bool explicit_file = !options.deploy.empty();
    const std::string path = explicit_file
                                 ? options.deploy
                                 : environment.ProgramFolder() + "/" + DeploySettings::kFileName;
    const int loaded = LoadDeploySettings(path, deploy, error);
    if (loaded == 0 && explicit_file) {
        error = path + ": no such file";
        return -1;
    }
    return loaded < 0 ? -1 : 0;
}

// Standard input for "-", the file, or (without --script) nothing at all: the
// run then starts up and ends. Null when the file cannot be read.
std::istream* OpenScript(const KorvaneOptions& options, std::istream& in, std::ifstream& file,
                         std::istringstream& nothing) {
    if (!options.script.has_value()) {
        return &nothing;
    }
    if (*options.script == "-") {
        return &in;
    }
    file.open(*options.script);
    return file ? &file : nullptr;
}

// The whole client on `host`, from start-up until its main window has ended;
// `after_run` runs while the application object still exists.
int RunApplication(Host& host, PlatformBackends& backends, Clock& clock,
                   const DeploySettings& deploy, const KorvaneOptions& options,
                   SessionContext& session, std::ostream& err,
                   const std::function<void()>& after_run) {
    AccountInfo account;
    CWebMgmt web(session, host, ToHttpSettings(deploy));
    CNetworkMgmt network(*backends.network, *backends.system, *backends.commands);
    CRegCtrl settings(*backends.settings);
    // A download runs in real time whatever clock the session keeps.
    const SystemClock download_clock;
    CUpdateMgmt updates(download_clock);
    ClientAssembly client({session, account, backends.platform, web, network, settings, updates,
                           backends.random, host});
    SessionServices services{
        session, account, clock,    backends.random, *backends.environment, *backends.commands,
        web,     network, settings, updates,         client.tunnel(),       client};
    SessionOperations operations(services, client);
    const PanelFactory panels = [&client, &operations](CKorvaneDlg& main) {
        return client.MakePanels(main, operations);
    };
    CKorvaneApp app(host, backends.platform, session, operations, deploy, panels);
    app.Run(options.argument);
    after_run();
    if (app.start() == CKorvaneApp::Start::ClaimFailed) {
        err << "korvane: the single-copy claim could not be made\n";
        return kExitNoClaim;
    }
    return kExitOk;
}

int RunHeadless(const KorvaneOptions& options, PlatformBackends& backends,
                const DeploySettings& deploy, std::istream& in, std::ostream& out,
                std::ostream& err) {
    std::ifstream script_file;
    std::istringstream no_script;
    std::istream* script = OpenScript(options, in, script_file, no_script);
    if (script == nullptr) {
        err << "korvane: " << *options.script << ": cannot be read\n";
        return kExitBadFile;
    }
    HeadlessHost host(out, backends.clock);
    host.SetTrayAvailable(!options.no_tray);
    ScriptRunner runner(host, *script, options.script.value_or("-"));
    host.SetLoop(&runner);
    SessionContext session;
    host.WatchSession(&session);
    const int code = RunApplication(host, backends, backends.clock, deploy, options, session, err,
                                    [&] { runner.Finish(); });
    if (code != kExitOk) {
        return code;
    }
    if (runner.failed()) {
        err << "korvane: " << runner.error() << "\n";
        return kExitScriptFailed;
    }
    return kExitOk;
}

}  // namespace

int RunKorvane(int argc, const char* const* argv, std::istream& in, std::ostream& out,
               std::ostream& err, const DesktopRunner& desktop) {
    KorvaneOptions options;
    std::string error;
    if (ParseKorvaneOptions(argc, argv, options, error) != 0) {
        err << "korvane: " << error << "\n" << kKorvaneUsage;
        return kExitUsage;
    }
    if (options.help) {
        out << kKorvaneUsage;
        return kExitOk;
    }
    if (!options.headless && !desktop) {
        err << "korvane: the desktop window is not built yet; run with --headless "
               "(docs/automation.md)\n";
        return kExitNoDesktop;
    }
    std::unique_ptr<PlatformBackends> backends = BuildBackends(options, error);
    DeploySettings deploy;
    if (backends == nullptr || LoadDeploy(options, *backends->environment, deploy, error) != 0) {
        err << "korvane: " << error << "\n";
        return kExitBadFile;
    }
    if (options.headless) {
        return RunHeadless(options, *backends, deploy, in, out, err);
    }
    // A window runs in real time: this machine's own clock, or a simulated
    // machine's clock running with it.
    SystemClock system_clock;
    Clock* clock = &system_clock;
    if (options.platform == "sim") {
        backends->clock.FollowRealTime();
        clock = &backends->clock;
    }
    backends->platform.clock = clock;
    return desktop(
        options,
        [&](Host& host) {
            SessionContext session;
            return RunApplication(host, *backends, *clock, deploy, options, session, err, [] {});
        },
        err);
}

}  // namespace korvane
