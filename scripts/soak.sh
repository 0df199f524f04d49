#!/usr/bin/env bash
# The full soak: scripts/soak.sh [CYCLES] (default 1000) host sessions of
# the plug-in in one process under LeakSanitizer, on a virtual display. It
# prints resident memory at the first cycle, the tenth part and every 100th,
# and the descriptors, windows and window classes before and after; it
# fails on a leak, on growth past 2 MiB, or on anything left behind.
# Built in build/soak: optimised, with AddressSanitizer (whose
# LeakSanitizer checks at exit) and no quarantine, so freed memory is
# reused at once and resident memory shows only real growth.
set -euo pipefail
cd "$(dirname "$0")/.."
cycles=${1:-1000}
build=build/soak
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_SANITIZE=ON -DVORN_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target plugin_soak -j "$(nproc)" >/dev/null
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=0
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/soak/plugin_soak" "$cycles"
