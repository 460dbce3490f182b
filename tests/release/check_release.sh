#!/usr/bin/env bash
# Checks the release files of tools/make_release.sh as a user meets them:
# the zip unpacks into an empty folder where Lanvisor.exe opens its window
# under Wine and lanvisor-run.exe answers --version; the package holds the
# runner, its man page (free of mandoc warnings) and its completion, the
# runner taken out of it answers --version and names no sanitizer library.
# Prints the sizes. Arguments: DIST LVDRIVER WINEPREFIX.
set -uo pipefail
dist="$1" driver="$2"
export WINEPREFIX="$3" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
version="$(sed -n 's/.*kVersionNumber = u"\([0-9.]*\)".*/\1/p' "$(dirname "$0")/../../src/common/help_commands.h")"
zip="$dist/Lanvisor-$version-win64.zip"
deb="$(ls "$dist"/lanvisor-run_"$version"_*.deb 2>/dev/null)"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
work="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
for file in "$zip" "$deb" "$dist/SHA256SUMS"; do
  [ -f "$file" ] || { echo "FAIL: no $file in $dist: ./release.sh writes it" >&2; exit 1; }
done
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"

unzip -q "$zip" -d "$work/zip" || fail "the zip does not unpack"
folder="$work/zip/Lanvisor-$version"
listed="$(cd "$folder" && ls | LC_ALL=C sort | tr '\n' ' ')"
[ "$listed" = "LICENSE.txt Lanvisor.exe LanvisorA.exe Lanvisor_char2.ini Lanvisor_manual.pdf README.txt connect_ip.bat lanvisor-run.exe relaunch.exe " ] ||
  fail "the zip's folder holds: $listed"
answer="$(cd "$folder" && wine lanvisor-run.exe --version | tr -d '\r')"
[ "$answer" = "lanvisor-run $version" ] || fail "lanvisor-run.exe --version from the zip said: $answer"
(cd "$folder" && exec wine Lanvisor.exe >/dev/null 2>&1) &
if wine "$driver" wait Lanvisor 60000 >/dev/null; then
  wine "$driver" close Lanvisor 20000 >/dev/null || fail "Lanvisor.exe from the zip did not close"
else
  fail "Lanvisor.exe from the zip opened no window"
fi
wait

contents="$(dpkg-deb -c "$deb" | awk '{ print $6 }')"
for file in usr/bin/lanvisor-run usr/share/man/man1/lanvisor-run.1.gz \
  usr/share/bash-completion/completions/lanvisor-run usr/share/doc/lanvisor-run/copyright; do
  grep -qx "./$file" <<<"$contents" || fail "the package lacks /$file"
done
dpkg-deb -x "$deb" "$work/deb"
zcat "$work/deb/usr/share/man/man1/lanvisor-run.1.gz" >"$work/lanvisor-run.1"
mandoc -T lint -W warning "$work/lanvisor-run.1" || fail "mandoc warns of the man page"
answer="$("$work/deb/usr/bin/lanvisor-run" --version)"
[ "$answer" = "lanvisor-run $version" ] || fail "the packaged runner's --version said: $answer"
depends="$(dpkg-deb -f "$deb" Depends)"
! grep -q "libasan\|libubsan" <<<"$depends" || fail "the package depends on a sanitizer: $depends"
completion="$work/deb/usr/share/bash-completion/completions/lanvisor-run"
offered="$(bash -c 'source "$1"; COMP_WORDS=(lanvisor-run --lang ""); COMP_CWORD=2; _lanvisor_run; echo "${COMPREPLY[*]}"' _ "$completion")"
[ "$offered" = "ja en ko zh" ] || fail "the completion offers after --lang: $offered"

for file in "$zip" "$deb"; do echo "$(basename "$file"): $(stat -c %s "$file") bytes"; done
[ "$failures" = 0 ]
