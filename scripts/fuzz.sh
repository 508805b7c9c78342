#!/usr/bin/env bash
# Builds the libFuzzer programs with clang, the address and the
# undefined-behaviour sanitizers, and runs every target for a fixed time,
# starting from its seed corpus in tests/fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh [target ...]      (default: every target)
#   KELVOR_FUZZ_SECONDS               time per target (default 25)
#   KELVOR_FUZZ_BUILD_DIR             build directory (default build-fuzz/)
#
# New inputs that reach new code stay in the build directory. An input that
# crashes, leaks, times out or breaks a property stops the script; it is
# saved as <build>/artifacts/<target>-crash-... . After the fix, copy it into
# the target's corpus directory: every build then replays it as a test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh" fuzz
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is not installed; the fuzz targets are not run"
  exit 0
fi
build="${KELVOR_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${KELVOR_FUZZ_SECONDS:-25}"
cmake -S "$root" -B "$build" -DKELVOR_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

targets=("$@")
if ((${#targets[@]} == 0)); then
  for dir in "$root"/tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
mkdir -p "$build/artifacts"

# One target: runs it, and on failure shows the end of its log.
run_target() {
  local target="$1" found="$build/corpus/$1" log="$build/fuzz-$1.log"
  mkdir -p "$found"
  # 4 kB inputs reach every reader's deep cases (a tree of a thousand levels
  # whose nodes share one production) while each input stays quick.
  if ! "$build/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
    "$found" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $target failed; the input is in $build/artifacts/"
    return 1
  fi
  local runs rate
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "fuzz: $target: $runs inputs in ${seconds}s, $rate per second, no failure"
}
export -f run_target
export build root seconds

# Half the cores, so that the targets do not slow each other down.
jobs=$(($(nproc) / 2 > 0 ? $(nproc) / 2 : 1))
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_target "$1"' _ {}
