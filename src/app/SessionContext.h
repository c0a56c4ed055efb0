#pragma once

#include <string>

#include "app/SessionState.h"
#include "settings/RegistryHive.h"

namespace korvane {

// The one process-wide session record. There is exactly one instance, owned by
// the application object and handed by reference to every object that reads it;
// tests build their own. Texts are UTF-8 inside the program (the wire speaks
// CP949, converted at the wire boundary).
struct SessionContext {
    std::string auth_host;
    std::string client_code;
    std::string setup_page;
    int ccver = 0;
    std::string http_headers;
    std::string windows_dir;

    std::string user_id;
    std::string password;
    std::string user_long_id;
    int session_key = 0;
    std::string auth_mode;
    std::string ip_code;
    std::string vpn_conn_server_code;
    int vpn_type = 0;
    int ip_change_type = 0;
    int ping_check = 0;
    SessionState state = SessionState::Idle;
    int login_retry_count = 0;
    int login_delay = 0;

    RegistryHive registry_root = RegistryHive::None;
    std::string registry_key;

    std::string program_dir;
    std::string temp_dir;
    std::string tunnel_program;
    std::string tunnel_config;
    std::string tunnel_log;
    std::string credential_file;
    std::string auth_file;
    std::string tap_adapter_description;
    int client_cert_version = 0;

    std::string class_code;
    std::string current_exit_address;
    int tunnel_interface_index = 0;

    // Host name (and optional ":port") of the service's web site, from the
    // deployment settings; the pages opened in the browser live there.
    std::string web_host;
};

}  // namespace korvane
