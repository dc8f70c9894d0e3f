#!/usr/bin/env bash
# wine-exec.sh <build dir> <wine loader> <program> [arguments...]
# Runs a Windows test program in the checkout's Wine prefix, on the X display of the
# test run (or a private Xvfb when there is none).
set -euo pipefail
build=$1 loader=$2
shift 2
# One prefix per checkout, shared by the win64 and win32 builds: making one costs minutes
# (its 32-bit half is set up under qemu).
export WINEPREFIX=${TSTOOLS_WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
"$(dirname "$0")/wine-prefix.sh"
scripts=$(cd "$(dirname "$0")" && pwd)
cd "$(dirname "$1")"
if [ -n "${DISPLAY:-}" ]; then
  exec "$loader" "$@"
fi
# A private display for this one program, stopped after Wine's processes end (display.sh).
# They are waited for, never ended: other programs may share the prefix.
. "$scripts/display.sh"
start_display
status=0
"$loader" "$@" || status=$?
wait_wine "$WINEPREFIX" || true
stop_display
exit $status
