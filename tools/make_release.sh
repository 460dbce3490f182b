#!/usr/bin/env bash
# Writes the release files into DIST (default dist/), anew:
#   Lanvisor-VERSION-win64.zip      the program folder of the tested Windows
#                                   build (build/win), its executables stripped
#   lanvisor-run_VERSION_ARCH.deb   the native runner from a Release build
#                                   without sanitizers (build/release-runner)
#   SHA256SUMS
# Expects build/win built and the packages of tools/setup.sh installed
# (release.sh and test.sh see to both). Prints the sizes and lintian's report.
set -uo pipefail
LANVISOR_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$LANVISOR_ROOT/tools/setup.sh"
dist="$(realpath -m "${1:-$LANVISOR_ROOT/dist}")"
version="$(lanvisor_version)"
arch="$(dpkg --print-architecture)"
zip_name="Lanvisor-$version-win64.zip"
deb_name="lanvisor-run_${version}_$arch.deb"
work="$LANVISOR_ROOT/build/release"

fail() { echo "release: $*" >&2; exit 1; }

# The package's changelog names the version it describes.
changelog_version="$(sed -n '1s/^lanvisor-run (\([^)]*\)).*/\1/p' "$LANVISOR_ROOT/packaging/debian/changelog")"
[ "$changelog_version" = "$version" ] ||
  fail "packaging/debian/changelog starts with $changelog_version, the program is $version: add an entry"

rm -rf "$dist" "$work"
mkdir -p "$dist" "$work"

# ---- the zip: the program folder as a user unpacks it ----------------------
program="$LANVISOR_ROOT/build/win/program"
folder="$work/zip/Lanvisor-$version"
mkdir -p "$folder"
for exe in Lanvisor.exe LanvisorA.exe relaunch.exe lanvisor-run.exe; do
  [ -f "$program/$exe" ] || fail "$program/$exe is missing: build the Windows configuration first"
  x86_64-w64-mingw32-strip -o "$folder/$exe" "$program/$exe" || fail "cannot strip $exe"
done
for file in Lanvisor_char2.ini Lanvisor_manual.pdf connect_ip.bat; do
  cp "$program/$file" "$folder/" || fail "$program/$file is missing"
done
# Text files for Windows: CR LF line ends.
sed 's/$/\r/' "$LANVISOR_ROOT/packaging/README.txt" > "$folder/README.txt"
sed 's/$/\r/' "$LANVISOR_ROOT/LICENSE" > "$folder/LICENSE.txt"
(cd "$work/zip" && zip -q -r -X -9 "$dist/$zip_name" "Lanvisor-$version") || fail "zip failed"

# ---- the package: the native runner, its man page and completion -----------
runner_build="$LANVISOR_ROOT/build/release-runner"
mkdir -p "$runner_build"
# Debian's hardening flags, as a package build would use them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
configure_and_build "$runner_build" -DCMAKE_BUILD_TYPE=Release --target lanvisor-run \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null ||
  fail "the Release build of lanvisor-run failed"
root="$work/deb"
doc="$root/usr/share/doc/lanvisor-run"
install -D -m 755 "$runner_build/program/lanvisor-run" "$root/usr/bin/lanvisor-run"
# Stripped as dh_strip would.
strip --remove-section=.comment --remove-section=.note --strip-unneeded "$root/usr/bin/lanvisor-run"
install -d -m 755 "$root/usr/share/man/man1" "$doc" "$root/DEBIAN"
gzip -9n < "$LANVISOR_ROOT/docs/lanvisor-run.1" > "$root/usr/share/man/man1/lanvisor-run.1.gz"
install -D -m 644 "$LANVISOR_ROOT/docs/lanvisor-run.bash-completion" \
  "$root/usr/share/bash-completion/completions/lanvisor-run"
install -m 644 "$LANVISOR_ROOT/packaging/debian/copyright" "$doc/copyright"
gzip -9n < "$LANVISOR_ROOT/packaging/debian/changelog" > "$doc/changelog.gz"
chmod 644 "$root/usr/share/man/man1/lanvisor-run.1.gz" "$doc/changelog.gz"
# dpkg-shlibdeps names the libraries the runner links, as Debian expects; it
# reads a debian/control beside it.
mkdir -p "$work/shlibs/debian"
printf 'Source: lanvisor\n\nPackage: lanvisor-run\nArchitecture: any\n' > "$work/shlibs/debian/control"
depends="$(cd "$work/shlibs" && dpkg-shlibdeps -O "$root/usr/bin/lanvisor-run" | sed -n 's/^shlibs:Depends=//p')"
[ -n "$depends" ] || fail "dpkg-shlibdeps found no dependencies"
size="$(du -k -s --exclude=DEBIAN "$root" | cut -f1)"
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
  "$LANVISOR_ROOT/packaging/debian/control.in" > "$root/DEBIAN/control"
(cd "$root" && find usr -type f -exec md5sum {} + | LC_ALL=C sort -k 2 > DEBIAN/md5sums)
dpkg-deb --root-owner-group -Zxz --build "$root" "$dist/$deb_name" >/dev/null || fail "dpkg-deb failed"

(cd "$dist" && sha256sum "$zip_name" "$deb_name" > SHA256SUMS)

echo "lintian $deb_name:"
lintian --fail-on error "$dist/$deb_name" || fail "lintian reports errors"
(cd "$dist" && ls -l --block-size=1 "$zip_name" "$deb_name" | awk '{ printf "%s: %d bytes\n", $9, $5 }')
