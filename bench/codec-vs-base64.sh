#!/usr/bin/env bash
# Prints on one line the codec's Encode+Decode throughput on its 600 KB sample
# beside GNU coreutils base64 and base64 -d on the same bytes, and their ratio.
# base64 reads the sample repeated, so its process start does not dominate.
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/default/bench/bench_codec
if [ ! -x "$bench" ]; then
  cmake --preset default >/dev/null
fi
cmake --build --preset default --target bench_codec >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --write-sample="$work/sample"
sample_bytes=$(stat -c %s "$work/sample")

codec_bps=$("$bench" --benchmark_format=json --benchmark_min_time=1 2>/dev/null |
  python3 -c 'import json,sys; print(json.load(sys.stdin)["benchmarks"][0]["bytes_per_second"])')

repeats=50
for _ in $(seq "$repeats"); do cat "$work/sample"; done >"$work/stream"
base64 <"$work/stream" >"$work/stream.b64"
best_ns=
for _ in 1 2 3; do
  start=$(date +%s%N)
  base64 <"$work/stream" >"$work/out.b64"
  base64 -d <"$work/stream.b64" >/dev/null
  ns=$(($(date +%s%N) - start))
  if [ -z "$best_ns" ] || [ "$ns" -lt "$best_ns" ]; then best_ns=$ns; fi
done

python3 - "$codec_bps" "$sample_bytes" "$repeats" "$best_ns" <<'PY'
import sys
codec_bps, size, repeats, ns = float(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
base64_bps = size * repeats / (ns / 1e9)
mb = 1024 * 1024
print(f"Encode+Decode of {size // 1024} KB: codec {codec_bps / mb:.1f} MB/s, "
      f"coreutils base64 + base64 -d {base64_bps / mb:.1f} MB/s, ratio {codec_bps / base64_bps:.2f}")
PY
