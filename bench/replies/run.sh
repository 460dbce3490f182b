#!/usr/bin/env bash
# Round-trip latency of lanvisor-run answering by rules, beside a bare echo
# server: natively, then under Wine.
# Usage: bench/replies/run.sh [pairs]
set -uo pipefail
LANVISOR_ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
source "$LANVISOR_ROOT/tools/setup.sh"
build_benchmarks || exit 1
here="$LANVISOR_ROOT/bench/replies"
echo "== native"
python3 "$here/reply_latency.py" --pairs "${1:-1000}" \
  --runner "$LANVISOR_ROOT/build/bench/program/lanvisor-run" --echo "$LANVISOR_ROOT/build/bench/bench/echo_server"
echo "== under Wine"
python3 "$here/reply_latency.py" --wine --pairs "${1:-1000}" \
  --runner "$LANVISOR_ROOT/build/win/program/lanvisor-run.exe" --echo "$LANVISOR_ROOT/build/win/bench/echo_server.exe"
wineserver -k 2>/dev/null
