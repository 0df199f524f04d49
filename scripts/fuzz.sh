#!/usr/bin/env bash
# Runs fuzz targets: scripts/fuzz.sh TARGET SECONDS [SEED]
# TARGET is state, fxp, dispatch, audio, lv2, clap, or all (each in turn, from its
# seeds alone, as the test command runs them). The targets are built in
# build/fuzz with clang (sanitizers on). One target starts from the seed
# corpus in tests/fuzz/corpus/TARGET and keeps what it learns in
# build/fuzz/corpus/TARGET; a finding is written to build/fuzz/findings/
# and the script fails. A fixed SEED (default 1) makes a run repeatable.
# Without clang and libFuzzer it says so in one line and succeeds.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(state fxp dispatch audio lv2 clap)
if [ $# -lt 2 ]; then
  echo "usage: scripts/fuzz.sh state|fxp|dispatch|audio|lv2|clap|all SECONDS [SEED]" >&2
  exit 2
fi
target=$1
seconds=$2
# The editor's rectangle at scale 1, read from no desktop.
export VORN_UI_SCALE=1
seed=${3:-1}
if [ "$target" = all ]; then
  chosen=("${targets[@]}")
elif [[ " ${targets[*]} " == *" $target "* ]]; then
  chosen=("$target")
else
  echo "fuzz: unknown target '$target' (state, fxp, dispatch, audio, lv2, clap or all)" >&2
  exit 2
fi

probe='extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }'
if ! command -v clang++ >/dev/null 2>&1 ||
  ! echo "$probe" | clang++ -x c++ -fsanitize=fuzzer -o /dev/null - 2>/dev/null; then
  echo "fuzz: skipped, no clang with libFuzzer on this machine"
  exit 0
fi

build=build/fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_FUZZ=ON \
    -DVORN_TESTS=OFF -DVORN_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target "${chosen[@]/#/fuzz_}" -j "${FUZZ_JOBS:-$(nproc)}" >/dev/null

findings=$build/findings
mkdir -p "$findings"
# Fonts and caches of the editor's libraries live as long as the process.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
for t in "${chosen[@]}"; do
  if [ "$target" = all ]; then
    corpus=$build/short/$t  # from the seeds alone, so the run repeats
    rm -rf "$corpus"
  else
    corpus=$build/corpus/$t
  fi
  mkdir -p "$corpus"
  log=$build/fuzz-$t.log
  # An input that runs 10 s is a hang, and a finding.
  if ! "$build/fuzz_$t" -seed="$seed" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/$t-" "$corpus" "tests/fuzz/corpus/$t" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $t found a fault; the input is in $findings/"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
  echo "fuzz: $t ran ${seconds} s, ${runs:-?} inputs (${rate:-?}/s, $cov), no finding"
done
