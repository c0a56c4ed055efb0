#pragma once

#include <string_view>

namespace korvane {

// The header block every request carries (SessionContext::http_headers is set
// to it at start-up). Two lines joined by CR LF, no CR LF at the end. The
// service's access rules look at these exact bytes, typos included.
inline constexpr std::string_view kHttpHeaderBlock =
    "Content-Type: application/x-www-form-urlencoded\r\n"
    "User-Agent: Moziila/4.0 (compatible; MSIE 7.0; Windows NT 6.0; SLCCC1; .NET CLR 2.0.50728; "
    "Medla Centrr PC 5.0; .NET CLR 3.0.04506)";

}  // namespace korvane
