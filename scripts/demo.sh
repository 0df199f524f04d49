#!/usr/bin/env bash
# Sets up, builds, and renders the demo phrase through the plug-in.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
if [ ! -f host/CMakeLists.txt ]; then
  echo "vornhost is not built yet: the demo needs the command-line host in host/." >&2
  exit 1
fi
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" --target vornhost VornDelay2
./build/release/host/vornhost demo "${1:-demo.wav}"
