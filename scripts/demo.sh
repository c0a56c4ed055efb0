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
scripts/build.sh default
build=build/default
work=$(mktemp -d)
service_pid=""
cleanup() {
    if [ -n "$service_pid" ]; then
        kill "$service_pid" 2>/dev/null || true
        wait "$service_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

"$build/service/korvane-service" --config service/demo.ini --listen 127.0.0.1:0 \
    --journal "$work/journal.jsonl" >"$work/service.out" 2>"$work/service.err" &
service_pid=$!
address=""
for _ in $(seq 100); do
    address=$(sed -n 's/^listening on //p' "$work/service.out")
    [ -n "$address" ] && break
    if ! kill -0 "$service_pid" 2>/dev/null; then
        cat "$work/service.err" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$address" ]; then
    echo "demo: korvane-service did not start" >&2
    exit 1
fi

cat >"$work/deploy.ini" <<DEPLOY
auth_host = 127.0.0.1
web_host = $address
port = ${address##*:}
DEPLOY

# The simulated machine: an Ethernet adapter with the default route, an
# unaddressed TAP adapter, and a program folder of real files for the tunnel
# files and the simulated tunnel program's log.
mkdir -p "$work/machine/windows"
cat >"$work/machine.ini" <<MACHINE
[environment]
program_path = $work/machine/korvane
windows_dir = $work/machine/windows

[adapter eth0]
index = 7
description = Realtek PCIe GBE Family Controller
mac = 00:1a:2b:3c:4d:5e
address = 192.168.0.10/255.255.255.0
gateway = 192.168.0.1

[adapter tap]
index = 12
description = TAP-Windows Adapter V9
mac = 00:ff:4b:56:00:01

[route]
destination = 0.0.0.0
mask = 0.0.0.0
next_hop = 192.168.0.1
interface = 7
metric = 25

[tunnel]
address = 10.8.0.6
MACHINE

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
