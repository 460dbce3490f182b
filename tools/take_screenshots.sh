#!/usr/bin/env bash
# Takes the pictures of the README and the manual (docs/images/*.png) with
# tools/take_screenshots.py: builds the Windows program, prepares Wine and a
# virtual display first. Arguments: the names of the pictures to take again
# (default: all).
set -uo pipefail
LANVISOR_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$LANVISOR_ROOT/tools/setup.sh"

ensure_packages || exit 1
build_windows >/dev/null || { echo "the Windows build failed" >&2; exit 1; }
ensure_wine_prefix "$LANVISOR_ROOT/build/win/wineprefix"
# The input-send dialog is wider than the test display.
start_xvfb 1600x1200 || exit 1
trap 'kill "$XVFB_PID" 2>/dev/null' EXIT
python3 "$LANVISOR_ROOT/tools/take_screenshots.py" --display "$DISPLAY" "$@"
