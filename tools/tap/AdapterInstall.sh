#!/bin/sh
# AdapterInstall.exe: repairs the TAP adapter after the tunnel could not use
# it, by removing and installing the driver package again. A 64-bit build
# never runs as a 32-bit program on a 64-bit kernel, so the 32-bit package
# is the one the client looks for.
dir=$(dirname "$(readlink -f "$0")")
"$dir/32/tapinstall32.exe" remove "$dir/32/oemdrv.inf" tap0901
exec "$dir/32/tapinstall32.exe" install "$dir/32/oemdrv.inf" tap0901
