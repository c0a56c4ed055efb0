#include "app/SessionRecordFields.h"

#include "app/SessionContext.h"

namespace korvane {

LoginRecordFields SessionRecordFields(const SessionContext& s) {
    LoginRecordFields f;
    f.client_code = s.client_code;
    f.id = s.user_id;
    f.password = s.password;
    f.ccver = s.ccver;
    f.ip_code = s.ip_code;
    f.ping_check = s.ping_check;
    f.session_key = s.session_key;
    f.vpn_type = s.vpn_type;
    f.auth_mode = s.auth_mode;
    f.vpn_conn_server_code = s.vpn_conn_server_code;
    return f;
}

}  // namespace korvane
