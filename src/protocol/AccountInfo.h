#pragma once

#include <string>

namespace korvane {

// The second process-wide record: the account as the login answer described it.
// Field names follow the answer keys. Start values are those of a fresh run.
struct AccountInfo {
    std::string login_answer;
    std::string info_answer;
    int has_zero_address = 0;

    int update_version = 0;
    std::string update_url;
    std::string update_file;
    int login_tag = 0;
    std::string name;
    std::string server_code;
    std::string xxxdate = "1970-01-01 23:59:59";
    int xxxtime = 0;
    std::string refund_money;
    std::string my_point = "0";
    int search_time = 0;
    std::string search_word;
    std::string expire_text;
    std::string mygame;
    int game_proc_count = 0;

    std::string server_ip;
    std::string open_config;
    std::string gateway_ip;
    std::string route_list;
    int server_cert_version = 0;
    std::string crt_file;
    std::string crt_file_name;
    std::string vpnport;
    std::string mac_addr;
    std::string game_list;
    int gamefastmode = -1;
    int auto_conn_change = 0;
    std::string vpn_server_list;
    int use_select = 0;
    std::string ip_pool_list;
    std::string ip_pool_class;
    std::string default_route;
};

}  // namespace korvane
