#!/usr/bin/env bash
# The main job on a desktop: korvane-service with service/demo.ini on a free
# loopback port, and the korvane window against it (the demo accounts and
# their password are in service/demo.ini). Closing the window ends both.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh default
work=$(mktemp -d)
service=""
cleanup() {
  if [ -n "$service" ]; then
    kill "$service" 2>/dev/null || true
    wait "$service" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
build/default/service/korvane-service --config service/demo.ini --listen 127.0.0.1:0 \
  --journal "$work/journal.jsonl" >"$work/service.out" &
service=$!
for _ in $(seq 100); do
  grep -q '^listening on ' "$work/service.out" && break
  sleep 0.1
done
address=$(sed -n 's/^listening on //p' "$work/service.out")
[ -n "$address" ] || { echo "korvane-service did not start" >&2; exit 1; }
printf 'auth_host = 127.0.0.1\nweb_host = %s\nport = %s\n' "$address" "${address##*:}" \
  >"$work/deploy.ini"
echo "korvane-service on $address; demo accounts in service/demo.ini"
build/default/src/app/korvane --deploy "$work/deploy.ini" --instance-dir "$work/instance"
