#pragma once

#include <string>
#include <string_view>

namespace korvane {

// The encoded `bin` value carries raw control bytes, which HTTP stacks refuse
// in a request line. Percent-encodes, in the part after the first "?" only,
// every byte outside 0x21..0x7E and the bytes that would change the meaning of
// the query ("%" itself, "#" which would cut it, "+" which servers read as a
// space). The server's query decoding gives back the exact bytes. A URL
// without "?" is returned unchanged.
std::string PercentEncodeQuery(std::string_view url);

}  // namespace korvane
