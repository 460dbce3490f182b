#!/usr/bin/env bash
# Builds the release into dist/ on a fresh Debian machine (missing packages
# are installed): Lanvisor-VERSION-win64.zip from the tested Windows build,
# lanvisor-run_VERSION_amd64.deb and SHA256SUMS. Prints lintian's report and
# the sizes.
set -uo pipefail
LANVISOR_ROOT="$(cd "$(dirname "$0")" && pwd)"
source "$LANVISOR_ROOT/tools/setup.sh"

ensure_packages || exit 1
build_windows >/dev/null || { echo "the Windows build failed: see cmake --build build/win" >&2; exit 1; }
"$LANVISOR_ROOT/tools/make_release.sh" "$LANVISOR_ROOT/dist" || exit 1
echo "dist/:"
ls -l "$LANVISOR_ROOT/dist"
