# Shared set-up for run.sh, test.sh and .ci/run: installs what is missing
# (Debian packages) and prepares Wine. Source it, then call the functions.

LANVISOR_PACKAGES=(
  cmake ninja-build g++ python3
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 fonts-wine fonts-liberation libxrandr2 libxcursor1 libxi6 libxinerama1 libxcomposite1 libxrender1
  xvfb xauth xdotool x11-utils imagemagick
  groff img2pdf poppler-utils
  zip unzip dpkg-dev lintian mandoc
  tshark
  fonts-ipafont-gothic fonts-nanum fonts-wqy-microhei
)

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=()
  for p in "${LANVISOR_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  # tshark checks the pcap exports; its package asks whether non-root users
  # may capture: answer no without a prompt.
  echo "wireshark-common wireshark-common/install-setuid boolean false" | as_root debconf-set-selections
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

wine_env() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX="$1"
}

# Makes a Wine prefix once, with font links so that CJK text renders in the
# dialog fonts.
ensure_wine_prefix() {
  local prefix="$1"
  wine_env "$prefix"
  # Bump when the prefix set-up below changes, so old prefixes are made anew.
  local version="prefix-7"
  [ "$(cat "$prefix/.lanvisor-ready" 2>/dev/null)" = "$version" ] && return 0
  rm -rf "$prefix"
  mkdir -p "$prefix"
  wineboot -i >/dev/null 2>&1
  # Wine does not always find its own fonts (Marlett draws the caption
  # buttons) nor the CJK fonts by itself: put them where Windows keeps fonts.
  local fonts="$prefix/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null
  ln -sf /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf "$fonts/ipagp.ttf"
  ln -sf /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf "$fonts/ipag.ttf"
  ln -sf /usr/share/fonts/truetype/nanum/NanumGothic.ttf "$fonts/NanumGothic.ttf"
  ln -sf /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$fonts/wqy-microhei.ttc"
  # Proportional faces only: linking a fixed-pitch face turns every dialog
  # text fixed-pitch under Wine.
  local links='ipagp.ttf,IPAPGothic\0NanumGothic.ttf,NanumGothic\0wqy-microhei.ttc,WenQuanYi Micro Hei'
  for face in "Tahoma" "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" "Microsoft Sans Serif" \
    "MS Sans Serif" "MS UI Gothic" "Arial" "Verdana"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$face" /t REG_MULTI_SZ /d "$links" /f >/dev/null 2>&1
  done
  # A fresh prefix opens neither text nor PDF files by their names, as the
  # macro-file and manual commands do: text files go to Notepad, PDF files to
  # the desktop's own viewer through winebrowser.
  wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
  wine reg add 'HKCR\.pdf' /ve /d pdffile /f >/dev/null 2>&1
  wine reg add 'HKCR\pdffile\shell\open\command' /ve /d 'winebrowser.exe "%1"' /f >/dev/null 2>&1
  # One Wine desktop window: Wine draws title bars and frames itself there,
  # as Windows would, with no window manager needed.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  wineserver -w
  echo "$version" > "$prefix/.lanvisor-ready"
}

# Starts Xvfb on a free display, 1280x1024 unless a size is given; sets
# DISPLAY and XVFB_PID.
start_xvfb() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${1:-1280x1024}x24" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}

# configure_and_build DIR [CMAKE_ARGS...] [--target TARGET]: everything, or
# the one target.
configure_and_build() {
  local dir="$1"; shift
  local args=() targets=()
  while [ $# -gt 0 ]; do
    if [ "$1" = --target ]; then targets=(--target "$2"); shift 2; else args+=("$1"); shift; fi
  done
  # ccache, where installed, makes rebuilds of unchanged sources cheap.
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S "$LANVISOR_ROOT" -B "$dir" -G Ninja "${launcher[@]}" "${args[@]}" >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" "${targets[@]}" -- -k 0
}

# The program's version, from the one line of the source that holds it.
lanvisor_version() {
  sed -n 's/.*kVersionNumber = u"\([0-9.]*\)".*/\1/p' "$LANVISOR_ROOT/src/common/help_commands.h"
}

build_native() { mkdir -p "$LANVISOR_ROOT/build"; configure_and_build "$LANVISOR_ROOT/build/native" -DLANVISOR_SANITIZE=ON; }
# Optimized with debug information: the tests run these executables, and the
# release zip holds stripped copies of them.
build_windows() {
  mkdir -p "$LANVISOR_ROOT/build"
  configure_and_build "$LANVISOR_ROOT/build/win" -DCMAKE_TOOLCHAIN_FILE="$LANVISOR_ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
}
# What the benchmark scripts run: the Release build in build/bench, the
# Windows build and its Wine prefix.
build_benchmarks() {
  ensure_packages || return 1
  mkdir -p "$LANVISOR_ROOT/build"
  configure_and_build "$LANVISOR_ROOT/build/bench" -DCMAKE_BUILD_TYPE=Release >/dev/null || return 1
  build_windows >/dev/null || return 1
  ensure_wine_prefix "$LANVISOR_ROOT/build/win/wineprefix"
}
