#!/usr/bin/env bash
# The main job: starts korvane-service with the demo accounts on a free
# loopback port, runs the client headless against it with a short script
# (a refused login, a login, the status panel, a logout, then a pool
# account connecting its simulated tunnel and disconnecting) and prints the
# client's transcript. The service is stopped by its pid at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
# Where there is a display the main job is the window (KORVANE_HEADLESS_DEMO=1
# runs the headless demo below anyway).
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${KORVANE_HEADLESS_DEMO:-}" ]; then
  exec scripts/desktop-demo.sh
fi
. scripts/demo-setup.sh

echo "korvane-service listening on $address (pid $service_pid)"
echo "--- korvane --headless --platform sim --script scripts/demo.script"
"$build/src/app/korvane" --headless --platform sim --machine "$work/machine.ini" \
    --deploy "$work/deploy.ini" --script scripts/demo.script
echo "--- requests the service received"
python3 - "$work/journal.jsonl" <<'PY'
import json, sys
for line in open(sys.argv[1], encoding="utf-8"):
    entry = json.loads(line)
    print(f'{entry["method"]} {entry["path"]} -> {entry["status"]} ({entry["endpoint"]})')
PY
