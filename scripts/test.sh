#!/usr/bin/env bash
# Builds everything and runs every test: the format check, the README's own
# Release build and install (warnings as errors) with its tests, the
# AddressSanitizer + UndefinedBehaviorSanitizer build, and the Windows builds
# (both DLLs checked, the 64-bit tests run under wine64).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
jobs=$(nproc)
# Our own builds treat warnings as errors; a user's build does not.
export VORN_WERROR=ON

./scripts/check-format.sh

# The README's build and install commands as written, then the tests of that
# same Release build.
./scripts/check-readme-install.sh
ctest --test-dir build/release --output-on-failure -j "$jobs"

cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DVORN_SANITIZE=ON -DVORN_BENCH=OFF -DVORN_WERROR=ON >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

# Windows: both DLLs cross-built, their exports, imports and resources
# checked, and the 64-bit tests run under wine64 on a virtual display (the
# window tests need one).
./scripts/build-windows.sh
./scripts/check-windows-dlls.sh
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build/win64 --output-on-failure -j "$jobs"
xvfb-run -a -s "-screen 0 1024x768x24" ./scripts/wine-host-checks.sh
