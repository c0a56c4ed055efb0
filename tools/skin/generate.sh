#!/usr/bin/env bash
# Rewrites skin/ from the generator's drawing tables (tools/skin). Needs the
# Qt 6 development packages and fonts-nanum (scripts/packages.txt).
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset default >/dev/null
cmake --build --preset default --target korvane-skin
rm -f skin/*.png skin/templates.txt
build/default/tools/skin/korvane-skin skin
echo "skin/: $(ls skin/*.png | wc -l) pictures and templates.txt"
