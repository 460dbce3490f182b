#!/usr/bin/env bash
# Builds both sides of the receive-flood benchmark and runs it under Wine,
# then natively for comparison; then the sustained floods against lanvisor-run.
# Usage: bench/flood/run.sh [repeats]
set -uo pipefail
LANVISOR_ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
source "$LANVISOR_ROOT/tools/setup.sh"
build_benchmarks || exit 1
here="$LANVISOR_ROOT/bench/flood"
echo "== under Wine"
python3 "$here/receive_flood.py" --wine --repeat "${1:-3}" \
  --receiver "$LANVISOR_ROOT/build/win/bench/flood_receiver.exe" --sender "$LANVISOR_ROOT/build/bench/bench/flood_sender" \
  --runner "$LANVISOR_ROOT/build/win/program/lanvisor-run.exe"
wineserver -k 2>/dev/null
echo "== native"
python3 "$here/receive_flood.py" --repeat "${1:-3}" \
  --receiver "$LANVISOR_ROOT/build/bench/bench/flood_receiver" --sender "$LANVISOR_ROOT/build/bench/bench/flood_sender" \
  --runner "$LANVISOR_ROOT/build/bench/program/lanvisor-run"
