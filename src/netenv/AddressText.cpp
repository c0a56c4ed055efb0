#include "netenv/AddressText.h"

#include <charconv>

namespace korvane {

bool ParseDottedAddress(std::string_view text, Ipv4& address) {
    Ipv4 value = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.') {
                return false;
            }
            text.remove_prefix(1);
        }
        std::size_t digits = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
            ++digits;
        }
        if (digits == 0 || digits > 3) {
            return false;
        }
        unsigned byte = 0;
        std::from_chars(text.data(), text.data() + digits, byte);
        if (byte > 255) {
            return false;
        }
        value = (value << 8) | byte;
        text.remove_prefix(digits);
    }
    if (!text.empty()) {
        return false;
    }
    address = value;
    return true;
}

std::string FormatDottedAddress(Ipv4 address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string FormatHardwareAddress(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

}  // namespace korvane
