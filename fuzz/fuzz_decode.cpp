// Decoding arbitrary transport text never fails, and encoding then decoding a
// text gives it back up to its first zero byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "protocol/WireCodeTable.h"
#include "protocol/WireCodec.h"
#include "protocol/WireText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string plain = korvane::WireCodec::Decode(input);
    if (plain.size() > korvane::wire::kDecodeLimit || plain.find('\0') != std::string::npos) {
        std::abort();
    }
    static_cast<void>(korvane::DecodeFromWire(input));

    // A text holding the comma marker's bytes would decode to ","; leave those out.
    const std::string_view text = input.substr(0, input.find('\0'));
    if (text.find(korvane::wire::kCommaMarker) == std::string_view::npos &&
        text.size() <= korvane::wire::kDecodeLimit) {
        if (korvane::WireCodec::Decode(korvane::WireCodec::Encode(text)) != text) {
            std::abort();
        }
    }
    return 0;
}
