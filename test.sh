#!/usr/bin/env bash
# Builds the native and the Windows configuration and the release files
# (dist/), and runs every test: native unit tests, the same tests under Wine,
# the end-to-end suite and the check of the release.
# The last line reads "N passed, N failed"; the exit code is non-zero on any
# failure.
set -uo pipefail
LANVISOR_ROOT="$(cd "$(dirname "$0")" && pwd)"
source "$LANVISOR_ROOT/tools/setup.sh"

ensure_packages || exit 1
build_ok=1
build_native || build_ok=0
build_windows || build_ok=0
# The release files, from the Windows build the tests run; the test "release"
# checks them. A failure here shows there as missing files.
[ "$build_ok" = 1 ] && { "$LANVISOR_ROOT/tools/make_release.sh" "$LANVISOR_ROOT/dist" || build_ok=0; }

ensure_wine_prefix "$LANVISOR_ROOT/build/win/wineprefix"
start_xvfb || exit 1
cleanup() {
  WINEPREFIX="$LANVISOR_ROOT/build/win/wineprefix" wineserver -k 2>/dev/null
  kill "$XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

for dir in native win; do
  rm -rf "$LANVISOR_ROOT/build/$dir/test-results"
  mkdir -p "$LANVISOR_ROOT/build/$dir/test-results"
  (cd "$LANVISOR_ROOT/build/$dir" && ctest --output-on-failure --output-junit test-results/ctest.junit)
done

python3 "$LANVISOR_ROOT/tools/summarize_tests.py" --build-failed=$((1 - build_ok)) \
  "$LANVISOR_ROOT/build/native/test-results" "$LANVISOR_ROOT/build/win/test-results"
