# Sourced by the demo scripts: builds the default preset, starts
# korvane-service with the demo accounts on a free loopback port and writes,
# into $work, the client's deploy.ini (that service as authentication and web
# host) and machine.ini (the simulated machine: an Ethernet adapter with the
# default route, an unaddressed TAP adapter, and a program folder of real
# files for the tunnel files and the simulated tunnel program's log). The
# service is stopped by its pid when the calling script exits.
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

# The simulated tunnel reads no certificate, but the client downloads one:
# a throwaway self-signed CA made here, beside a copy of the demo config.
mkdir -p "$work/files"
cp service/demo.ini "$work/demo.ini"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Korvane demo CA" \
    -keyout "$work/ca.key" -out "$work/files/korvane_ca.crt" 2>/dev/null

"$build/service/korvane-service" --config "$work/demo.ini" --listen 127.0.0.1:0 \
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
