#!/usr/bin/env bash
# Peak resident memory of a long render: MINUTES (default 60) of stereo
# noise at 48 kHz, made by sox and fed to vornhost through a pipe, rendered
# through Vorn Delay 2 into a FLAC file. Memory must stay flat whatever the
# length (under 64 MB for an hour).
#   bench/render_memory.sh BUILD_DIR [MINUTES]
set -euo pipefail
build=${1:?usage: bench/render_memory.sh BUILD_DIR [MINUTES]}
minutes=${2:-60}
for tool in sox soxi /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "render_memory: $tool is not installed; not measured"; exit 0; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
start=$(date +%s)
sox -V1 -n -r 48000 -c 2 -b 16 -t wav - synth "$((minutes * 60))" pinknoise vol 0.3 |
  /usr/bin/time -f "%M" -o "$out/peak" "$build/host/vornhost" render - "$out/out.flac" "$build/VornDelay2.so" \
    --tail 0 --block 4096 >/dev/null
seconds=$(($(date +%s) - start))
echo "render of $minutes min stereo 48 kHz through a pipe: peak RSS $(($(cat "$out/peak") / 1024)) MB," \
  "$seconds s, output $(soxi -D "$out/out.flac") s"
