// Throughput of the transport codec: Encode then Decode of a 600 KB text.
// `bench_codec --write-sample=PATH` writes the text used, so other tools can
// be measured on the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "protocol/WireCodec.h"

namespace {

constexpr std::size_t kSampleSize = 600 * 1024;

// Record-like text: keys, separators, commas, CR LF and high bytes of the
// Korean code page, never a zero byte.
std::string MakeSample() {
    static constexpr std::string_view kPieces[] = {
        "client_code=korvane|",
        "id=user01|",
        "password=secret,word|",
        "ccver=1187|",
        "client_sysInfo=",
        "\xc8\xab\xb1\xe6\xb5\xbf",
        "\r\n",
        "route_list=10.0.0.0^8|",
    };
    std::string text;
    text.reserve(kSampleSize);
    for (std::size_t i = 0; text.size() < kSampleSize; ++i) {
        text.append(kPieces[(i * 7 + i / 3) % std::size(kPieces)]);
    }
    text.resize(kSampleSize);
    return text;
}

const std::string& Sample() {
    static const std::string sample = MakeSample();
    return sample;
}

void BM_EncodeDecode(benchmark::State& state) {
    const std::string& text = Sample();
    if (korvane::WireCodec::Decode(korvane::WireCodec::Encode(text)) != text) {
        state.SkipWithError("round trip changed the text");
        return;
    }
    for (auto _ : state) {
        std::string encoded = korvane::WireCodec::Encode(text);
        std::string decoded = korvane::WireCodec::Decode(encoded);
        benchmark::DoNotOptimize(decoded.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_EncodeDecode)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    constexpr std::string_view kWriteSample = "--write-sample=";
    if (argc == 2 && std::string_view(argv[1]).starts_with(kWriteSample)) {
        std::ofstream out(argv[1] + kWriteSample.size(), std::ios::binary);
        out << Sample();
        return out ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
