#pragma once

#include <string>
#include <vector>

#include "protocol/HttpSettings.h"

namespace korvane {

// Where this installation's service lives. Read from "deploy.ini" beside the
// program; every key has a compiled-in default (docs/automation.md).
struct DeploySettings {
    static constexpr const char* kFileName = "deploy.ini";

    // Resolved to the authentication host's address at start-up.
    std::string auth_host_name = "auth.korvane.example";
    // Host (and optional ":port") of the web pages.
    std::string web_host = "www.korvane.example";
    // Port of the authentication host's HTTP service.
    int port = 80;
    // The window waits on every request, so neither phase may hang forever.
    long connect_timeout_seconds = 30;
    long receive_timeout_seconds = 60;
};

// The HTTP client's settings of this installation.
HttpSettings ToHttpSettings(const DeploySettings& deploy);

// Reads the "key = value" lines of a deployment file over the defaults in
// `settings`. 0, or -1 with "source:line: reason" for the first fault (an
// unknown key, a bad number, a section header); keys before the fault stay
// applied.
int ParseDeploySettings(const std::string& text, const std::string& source,
                        DeploySettings& settings, std::string& error);

// 1 when the file was read, 0 when it does not exist (defaults stay), -1 with
// a reason when it cannot be read or is malformed.
int LoadDeploySettings(const std::string& path, DeploySettings& settings, std::string& error);

}  // namespace korvane
