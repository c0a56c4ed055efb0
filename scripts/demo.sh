#!/usr/bin/env bash
# The main job: starts korvane-service with the demo accounts on a free
# loopback port, runs the client headless against it with a short script
# (a refused login, a login, the status panel, a logout) and prints the
# client's transcript. The service is stopped by its pid at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
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

echo "korvane-service listening on $address (pid $service_pid)"
echo "--- korvane --headless --platform sim --script scripts/demo.script"
"$build/src/app/korvane" --headless --platform sim --deploy "$work/deploy.ini" \
    --script scripts/demo.script
echo "--- requests the service received"
python3 - "$work/journal.jsonl" <<'PY'
import json, sys
for line in open(sys.argv[1], encoding="utf-8"):
    entry = json.loads(line)
    print(f'{entry["method"]} {entry["path"]} -> {entry["status"]} ({entry["endpoint"]})')
PY
