#!/usr/bin/env bash
# Builds Lanvisor.exe and starts it under Wine from its program folder
# (build/win/program). With a display it runs until you close it. Without
# one it starts on a virtual display, saves a screenshot, prints its path and
# closes the program; --keep leaves it running there.
set -uo pipefail
LANVISOR_ROOT="$(cd "$(dirname "$0")" && pwd)"
source "$LANVISOR_ROOT/tools/setup.sh"

keep=0
[ "${1:-}" = "--keep" ] && keep=1

ensure_packages || exit 1
build_windows || exit 1
program="$LANVISOR_ROOT/build/win/program"
ensure_wine_prefix "$LANVISOR_ROOT/build/run-prefix"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$program" && exec wine Lanvisor.exe
fi

start_xvfb || exit 1
driver="$LANVISOR_ROOT/build/win/tools/lvdriver.exe"
(cd "$program" && exec wine Lanvisor.exe) &
wine_pid=$!
if ! wine "$driver" wait Lanvisor 60000; then
  echo "Lanvisor did not open its window" >&2
  wineserver -k; kill "$XVFB_PID"; exit 1
fi
sleep 2
shot="$LANVISOR_ROOT/build/lanvisor-screenshot.png"
import -window root "$shot"
echo "Screenshot: $shot"
if [ "$keep" = 1 ]; then
  echo "Lanvisor is running on DISPLAY=$DISPLAY (Xvfb pid $XVFB_PID)."
  exit 0
fi
wine "$driver" close Lanvisor 20000
wait "$wine_pid" 2>/dev/null
wineserver -k 2>/dev/null
kill "$XVFB_PID" 2>/dev/null
echo "Lanvisor closed."
