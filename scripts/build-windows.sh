#!/usr/bin/env bash
# Cross-builds the Windows plug-in with mingw-w64:
#   build/win32/VornDelay2.dll  32-bit, with the unit tests and vornhost, which
#                               run under wine's 32-bit loader where this machine
#                               runs 32-bit programs (ctest --test-dir build/win32)
#   build/win64/VornDelay2.dll  64-bit, with the unit tests and vornhost,
#                               which run under wine64 (ctest --test-dir build/win64)
# and beside each DLL VornDelay2.clap, the CLAP plug-in.
# Usage: scripts/build-windows.sh [build type, default RelWithDebInfo]
set -euo pipefail
cd "$(dirname "$0")/.."
build_type=${1:-RelWithDebInfo}
jobs=$(nproc)

# vornhost (without the audio-file subcommands) is part of both builds.
host=${VORN_WINDOWS_HOST:-ON}

cmake -S . -B build/win32 --toolchain cmake/toolchains/mingw-i686.cmake -DCMAKE_BUILD_TYPE="$build_type" -DVORN_WERROR="${VORN_WERROR:-OFF}" \
  -DVORN_TESTS=ON -DVORN_HOST="$host" -DVORN_BENCH=OFF >/dev/null
cmake --build build/win32 -j "$jobs"

cmake -S . -B build/win64 --toolchain cmake/toolchains/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE="$build_type" -DVORN_WERROR="${VORN_WERROR:-OFF}" \
  -DVORN_TESTS=ON -DVORN_HOST="$host" -DVORN_BENCH=OFF >/dev/null
cmake --build build/win64 -j "$jobs"
