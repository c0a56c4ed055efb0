#!/usr/bin/env bash
# The main job on a desktop: korvane-service with the demo accounts on a free
# loopback port, and the korvane window against it on the simulated machine,
# so a connect brings up the simulated tunnel and this machine's routes stay
# untouched (the demo accounts and their password are in service/demo.ini).
# Closing the window ends both.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/demo-setup.sh
echo "korvane-service on $address; demo accounts in service/demo.ini"
"$build/src/app/korvane" --platform sim --machine "$work/machine.ini" \
    --deploy "$work/deploy.ini"
