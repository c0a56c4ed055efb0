#pragma once

#include <string>

namespace korvane {

// One exit address of the pool: the code the service knows it by (sent back
// as ip_code) and the address text the lists show.
struct ConnIpPool {
    std::string code;
    std::string address;

    bool operator==(const ConnIpPool&) const = default;
};

}  // namespace korvane
