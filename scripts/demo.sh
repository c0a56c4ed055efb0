#!/usr/bin/env bash
# The main job. For now: builds the client and shows the transport codec at
# work on a login record.
set -euo pipefail
cd "$(dirname "$0")/.."
# Where there is a display the main job is the window (KORVANE_HEADLESS_DEMO=1
# runs the headless demo below anyway).
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${KORVANE_HEADLESS_DEMO:-}" ]; then
  exec scripts/desktop-demo.sh
fi
scripts/build.sh default
codec=build/default/tools/korvane-codec
record='client_code=korvane|id=demo|password=secret,1|ccver=1187'
echo "record : $record"
encoded=$(printf '%s' "$record" | "$codec" encode | od -An -c | tr -s ' ' | tr -d '\n')
echo "encoded: $encoded"
echo "decoded: $(printf '%s' "$record" | "$codec" encode | "$codec" decode)"
