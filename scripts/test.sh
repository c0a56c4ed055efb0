#!/usr/bin/env bash
# The test command: installs what is missing, builds the preset and runs every
# test of it (default preset unless one is named: default or asan).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
scripts/build.sh "$preset"
ctest --preset "$preset" --timeout 600 -j2
