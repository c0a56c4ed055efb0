#!/usr/bin/env bash
# Configures and builds one preset (default, asan or fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
"$PWD/scripts/install-deps.sh"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
