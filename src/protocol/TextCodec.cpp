#include "protocol/TextCodec.h"

#include <iconv.h>
#include <algorithm>
#include <cerrno>

namespace korvane {

namespace {

// Owns one conversion descriptor for the duration of a call.
class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence that starts with `lead`, at least 1.
std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead < 0xF0 ? 3 : 1;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

// Converts `input`; an unconvertible input sequence is replaced by
// `replacement` and skipped by `skip(lead byte)` bytes.
template <typename SkipFn>
std::string Convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, SkipFn skip) {
    IconvHandle handle(to, from);
    if (!handle.valid()) {
        return std::string(input);
    }
    std::string out;
    out.reserve(input.size() * 3 / 2 + 8);
    char buffer[1024];
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    while (in_left > 0) {
        char* dst = buffer;
        std::size_t dst_left = sizeof buffer;
        const std::size_t result = iconv(handle.get(), &in, &in_left, &dst, &dst_left);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (a sequence cut short at the end): replace and go on.
        out.append(replacement);
        const std::size_t step = std::min(in_left, skip(static_cast<unsigned char>(*in)));
        in += step;
        in_left -= step;
    }
    return out;
}

}  // namespace

std::string Utf8ToCp949(std::string_view utf8) {
    return Convert("CP949", "UTF-8", utf8, "?", Utf8SequenceLength);
}

std::string Cp949ToUtf8(std::string_view cp949) {
    return Convert("UTF-8", "CP949", cp949, "\xEF\xBF\xBD",
                   [](unsigned char) { return std::size_t{1}; });
}

}  // namespace korvane
