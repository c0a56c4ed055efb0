#!/usr/bin/env bash
# Configures and builds one preset (default, asan or fuzz), optionally only
# the named targets.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
shift || true
"$PWD/scripts/install-deps.sh"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" ${1:+--target "$@"}
