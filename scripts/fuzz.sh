#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time (seconds, default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/build.sh fuzz fuzzers
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  corpus=$(mktemp -d)
  echo "== $(basename "$target") for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -n 3
  rm -rf "$corpus"
done
