#!/usr/bin/env bash
# Builds everything and runs every test: the format check, the README's own
# Release build and install (warnings as errors) with its tests, the
# AddressSanitizer + UndefinedBehaviorSanitizer build, short runs of the
# fuzz targets, the Windows builds
# (both DLLs checked, the tests and vornhost run under wine: the 64-bit ones
# always, the 32-bit ones where this machine runs 32-bit programs), the
# Debian package (lintian) and the Windows installer (a round trip under
# wine), and one sound from every build, compared bit for bit.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh test
jobs=$(nproc)
# Our own builds treat warnings as errors; a user's build does not.
export VORN_WERROR=ON

./scripts/check-format.sh

# The README's build and install commands as written, then the tests of that
# same Release build.
./scripts/check-readme-install.sh
ctest --test-dir build/release --output-on-failure -j "$jobs"
# The LV2 bundle in Ardour, headless: its presets and its bypass (one line
# says so where Ardour is not installed).
./scripts/ardour-check.sh build/release

# The Debian package from that Release tree (cpack -G DEB): its files,
# dependencies and lintian (no errors).
./scripts/deb.sh

cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DVORN_SANITIZE=ON -DVORN_BENCH=OFF -DVORN_WERROR=ON >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

# The LV2 plug-in and its UI, and the CLAP plug-in's main and audio
# threads, under ThreadSanitizer.
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_TSAN=ON -DVORN_BENCH=OFF -DVORN_HOST=OFF \
  -DVORN_WERROR=ON >/dev/null
cmake --build build/tsan --target lv2_thread_tests clap_thread_tests -j "$jobs"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan -R '^(lv2|clap)_thread_tests$' --output-on-failure

# The fuzz targets, 30 s each from their seed corpora with a fixed seed
# (one line says so where clang's libFuzzer is missing). The soak runs
# 100 cycles in both CTest runs above; scripts/soak.sh runs 1000.
./scripts/fuzz.sh all 30 1

# Windows: both DLLs cross-built, their exports, imports and resources
# checked, and the tests and vornhost run under wine on a virtual display
# (the window tests need one). Where 32-bit programs cannot run, CTest
# lists the 32-bit tests as skipped.
./scripts/build-windows.sh
./scripts/check-windows-dlls.sh
display=(xvfb-run -a -s "-screen 0 1024x768x24")
"${display[@]}" ctest --test-dir build/win64 --output-on-failure -j "$jobs"
"${display[@]}" ./scripts/wine-host-checks.sh win64
"${display[@]}" ctest --test-dir build/win32 --output-on-failure -j "$jobs"

# The Windows installer (NSIS), made from both builds, then its round trip
# under wine: silent install, validate on each installed DLL, silent
# uninstall leaving nothing behind.
./scripts/windows-installer.sh
"${display[@]}" ./scripts/check-windows-installer.sh
builds=(release win64)
if why=$(./scripts/runs-32bit.sh --wine); then
  "${display[@]}" ./scripts/wine-host-checks.sh win32
  builds+=(win32)
else
  echo "test: the 32-bit steps were skipped: $why"
fi

# The same input and settings sound the same, bit for bit, from every build.
./scripts/compare-digests.sh "${builds[@]}"
