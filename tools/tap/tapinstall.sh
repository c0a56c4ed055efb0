#!/bin/sh
# tapinstall{32,64}.exe remove|install <driver file> tap0901
#
# The TAP driver installer of the client on Linux. The driver file names
# the adapter: "description = ..." (what the adapter list reports) and
# "link_prefix = ..." (the link's name before its number). install adds a
# persistent TAP link with that description as its alias, numbered like a
# second adapter of the same driver ("<description> #2") when one exists;
# remove deletes every TAP link whose alias holds the description. Needs
# the right to change links (root).
set -u
if [ $# -ne 3 ] || [ "$3" != tap0901 ]; then
  echo "usage: $0 remove|install <driver file> tap0901" >&2
  exit 2
fi
action=$1
driver=$2
value() {
  sed -n "s/^$1[[:space:]]*=[[:space:]]*//p" "$driver" | head -n 1
}
description=$(value description)
prefix=$(value link_prefix)
if [ -z "$description" ] || [ -z "$prefix" ]; then
  echo "$0: $driver names no adapter" >&2
  exit 2
fi
# Names of the TAP links whose alias holds the description ("ip -o -d"
# prints one link a line: "N: name: ... tun type tap ... \    alias TEXT").
own_links() {
  ip -o -d link show | while IFS= read -r line; do
    case $line in *"tun type tap"*) ;; *) continue ;; esac
    alias=$(printf '%s\n' "$line" | sed -n 's/.*\\    alias //p')
    case $alias in *"$description"*) ;; *) continue ;; esac
    name=${line#*: }
    name=${name%%:*}
    echo "${name%%@*}"
  done
}

case $action in
  remove)
    for link in $(own_links); do
      ip link del dev "$link" || exit 1
    done
    ;;
  install)
    n=0
    while ip link show dev "$prefix$n" >/dev/null 2>&1; do n=$((n + 1)); done
    count=$(own_links | wc -l)
    alias=$description
    [ "$count" -eq 0 ] || alias="$description #$((count + 1))"
    ip tuntap add dev "$prefix$n" mode tap &&
      ip link set dev "$prefix$n" alias "$alias" &&
      ip link set dev "$prefix$n" up || exit 1
    ;;
  *)
    echo "$0: unknown action $action" >&2
    exit 2
    ;;
esac
