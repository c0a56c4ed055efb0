#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

// The fields shared by the login and the IP pool records, in wire order.
struct LoginRecordFields {
    std::string client_code;
    std::string id;
    std::string password;
    int ccver = 0;
    std::string ip_code;
    std::string client_mac;
    std::string client_sys_info;
    int ping_check = 0;
    int session_key = 0;
    int vpn_type = 0;
    std::string auth_mode;
    std::string vpn_conn_server_code;
};

// Request records: key=value fields joined by "|", one template per request.
// Values are inserted as they are; nothing is escaped.
namespace RequestRecord {

std::string Login(const LoginRecordFields& f, int ip_change_type);
std::string AccountRefresh(std::string_view client_code, std::string_view user_id);
std::string Logout(int ccver, std::string_view longid, std::string_view cccode,
                   std::string_view auth_mode);
std::string EventReport(std::string_view client_code, std::string_view client_id,
                        std::string_view event);
std::string IpPool(const LoginRecordFields& f, std::string_view class_code);
std::string IpChange(std::string_view client_code, std::string_view id, std::string_view password,
                     std::string_view ip_code);

// Cuts a record into (key, value) pairs at "|" and the first "=" of each
// field. Used by the service and by tests; the client's answer parser has its
// own rules.
std::vector<std::pair<std::string, std::string>> Split(std::string_view record);

}  // namespace RequestRecord

}  // namespace korvane
