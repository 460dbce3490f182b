#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time.
#   run_fuzz.sh [seconds per target]   (default 20)
# The build goes to build/fuzz (or $LANVISOR_FUZZ_BUILD); new corpus entries
# stay there, crash inputs land in its artifacts/ folder. Exits non-zero when
# the build fails or any target finds a crash.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
seconds="${1:-20}"
build="${LANVISOR_FUZZ_BUILD:-$root/build/fuzz}"
targets=(line_notation line_file macro_data macro_file trace_export byte_regex reply_rules)

if ! command -v clang++ >/dev/null; then
  echo "clang++ is missing (packages clang and libclang-rt-14-dev)" >&2
  exit 1
fi

mkdir -p "$build"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if ! cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ >"$build/configure.log" 2>&1 ||
   ! cmake --build "$build" >"$build/build.log" 2>&1; then
  cat "$build/configure.log" "$build/build.log" 2>/dev/null | tail -40
  echo "fuzz build failed" >&2
  exit 1
fi

status=0
mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  work="$build/corpus/$target"
  mkdir -p "$work"
  log="$build/$target.log"
  # The first folder takes the new inputs; the checked-in seeds are only read.
  if "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target-" "$work" "$here/corpus/$target" >"$log" 2>&1; then
    echo "fuzz_$target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs, no crash"
  else
    status=1
    echo "fuzz_$target FAILED:" >&2
    tail -40 "$log" >&2
  fi
done
exit $status
