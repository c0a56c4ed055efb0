#include "protocol/RequestRecord.h"

namespace korvane::RequestRecord {

namespace {

// Appends "key=value", preceded by "|" unless it is the first field.
class RecordBuilder {
  public:
    RecordBuilder& Add(std::string_view key, std::string_view value) {
        if (!text_.empty()) {
            text_ += '|';
        }
        text_.append(key);
        text_ += '=';
        text_.append(value);
        return *this;
    }
    RecordBuilder& Add(std::string_view key, int value) { return Add(key, std::to_string(value)); }
    std::string Take() { return std::move(text_); }

  private:
    std::string text_;
};

RecordBuilder LoginPrefix(const LoginRecordFields& f) {
    RecordBuilder b;
    b.Add("client_code", f.client_code)
        .Add("id", f.id)
        .Add("password", f.password)
        .Add("ccver", f.ccver)
        .Add("ip_code", f.ip_code)
        .Add("client_mac", f.client_mac)
        .Add("client_sysInfo", f.client_sys_info)
        .Add("ping_check", f.ping_check)
        .Add("session_key", f.session_key)
        .Add("vpn_type", f.vpn_type)
        .Add("auth_mode", f.auth_mode)
        .Add("vpn_conn_server_code", f.vpn_conn_server_code);
    return b;
}

}  // namespace

std::string Login(const LoginRecordFields& f, int ip_change_type) {
    return LoginPrefix(f).Add("ip_change_type", ip_change_type).Take();
}

std::string AccountRefresh(std::string_view client_code, std::string_view user_id) {
    return RecordBuilder().Add("client_code", client_code).Add("user_id", user_id).Take();
}

std::string Logout(int ccver, std::string_view longid, std::string_view cccode,
                   std::string_view auth_mode) {
    return RecordBuilder()
        .Add("ccver", ccver)
        .Add("longid", longid)
        .Add("cccode", cccode)
        .Add("auth_mode", auth_mode)
        .Take();
}

std::string EventReport(std::string_view client_code, std::string_view client_id,
                        std::string_view event) {
    return RecordBuilder()
        .Add("client_code", client_code)
        .Add("client_id", client_id)
        .Add("event", event)
        .Take();
}

std::string IpPool(const LoginRecordFields& f, std::string_view class_code) {
    return LoginPrefix(f).Add("class_code", class_code).Take();
}

std::string IpChange(std::string_view client_code, std::string_view id, std::string_view password,
                     std::string_view ip_code) {
    return RecordBuilder()
        .Add("client_code", client_code)
        .Add("id", id)
        .Add("password", password)
        .Add("ip_code", ip_code)
        .Take();
}

std::vector<std::pair<std::string, std::string>> Split(std::string_view record) {
    std::vector<std::pair<std::string, std::string>> fields;
    std::size_t pos = 0;
    while (pos <= record.size()) {
        std::size_t bar = record.find('|', pos);
        if (bar == std::string_view::npos) {
            bar = record.size();
        }
        const std::string_view field = record.substr(pos, bar - pos);
        if (!field.empty()) {
            const std::size_t eq = field.find('=');
            if (eq == std::string_view::npos) {
                fields.emplace_back(std::string(field), std::string());
            } else {
                fields.emplace_back(std::string(field.substr(0, eq)),
                                    std::string(field.substr(eq + 1)));
            }
        }
        pos = bar + 1;
    }
    return fields;
}

}  // namespace korvane::RequestRecord
