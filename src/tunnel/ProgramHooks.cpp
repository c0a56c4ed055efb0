#include "tunnel/ProgramHooks.h"

#include "app/SessionContext.h"
#include "platform/ProcessPort.h"
#include "settings/CRegCtrl.h"
#include "tunnel/CProcMonitor.h"

namespace korvane {

namespace {

struct Hook {
    const char* event;
    const char* value;
    bool start;
};

constexpr Hook kHooks[] = {
    {"IN_START", "inStart", true},
    {"IN_STOP", "inStop", false},
    {"OUT_START", "OutStart", true},
    {"OUT_STOP", "OutStop", false},
};

}  // namespace

std::string HookImageName(const std::string& command_line) {
    const std::size_t cut = command_line.find_last_of("\\/");
    return cut == std::string::npos ? command_line : command_line.substr(cut + 1);
}

int ProgramHooks::RunProgramHook(const std::string& event) {
    for (const Hook& hook : kHooks) {
        if (event != hook.event) {
            continue;
        }
        const std::string value =
            settings_.ReadText(session_.registry_root, session_.registry_key, hook.value);
        if (value.empty()) {
            break;
        }
        if (hook.start) {
            LaunchRequest request;
            request.command_line = value;
            request.hidden = false;
            int error = 0;
            processes_.Launch(request, error);
        } else {
            monitor_.TaskKill(HookImageName(value));
        }
        break;
    }
    return 0;
}

}  // namespace korvane
