#!/usr/bin/env bash
# Sets up, builds, and renders the demo phrase through the plug-in. Installs
# only what building and rendering need (scripts/setup.sh demo) and builds
# only the plug-in and vornhost, in build/demo.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh demo
if [ ! -f host/CMakeLists.txt ]; then
  echo "vornhost is not built yet: the demo needs the command-line host in host/." >&2
  exit 1
fi
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=Release -DVORN_TESTS=OFF -DVORN_BENCH=OFF >/dev/null
cmake --build build/demo -j "$(nproc)" --target vornhost VornDelay2
./build/demo/host/vornhost demo "${1:-demo.wav}" --plugin build/demo/VornDelay2.so
