// korvane-codec encode|decode: the transport encoding as a filter, for
// operators reading journals and logs. Works on raw bytes (no code-page
// conversion), so what it prints is exactly what travels.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "protocol/WireCodec.h"

int main(int argc, char** argv) {
    const std::string_view mode = argc == 2 ? argv[1] : "";
    if (mode != "encode" && mode != "decode") {
        std::cerr << "usage: korvane-codec encode|decode  (reads stdin, writes stdout)\n";
        return 2;
    }
    std::ios::sync_with_stdio(false);
    const std::string input{std::istreambuf_iterator<char>(std::cin),
                            std::istreambuf_iterator<char>()};
    const std::string output =
        mode == "encode" ? korvane::WireCodec::Encode(input) : korvane::WireCodec::Decode(input);
    std::cout << output;
    return std::cout.good() ? 0 : 1;
}
