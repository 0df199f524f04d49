#!/usr/bin/env bash
# Vorn Delay 2's LV2 bundle in a real host: Ardour, headless (ardour7-lua
# on the dummy back-end, as a user's Lua session runs), lists its factory
# presets, applies them and the echo follows, and Ardour's bypass drives
# the plug-in's lv2:enabled port (tests/ardour/presets_and_bypass.lua).
# Hermetic: a temporary HOME and configuration, LV2_PATH naming the build
# tree's bundle folder only, and empty VST paths, so no installed plug-in,
# user setting or display takes part.
# Usage: scripts/ardour-check.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
lua=$(command -v ardour7-lua || true)
if [ -z "$lua" ]; then
  echo "ardour-check: skipped: ardour7-lua is not installed (Debian package ardour)"
  exit 0
fi
bundle="$build/lv2/VornDelay2.lv2"
if [ ! -f "$bundle/manifest.ttl" ]; then
  echo "ardour-check: no LV2 bundle in $build (build it first)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/config/ardour7/scripts" "$work/cache" "$work/data" "$work/empty"
# The click and the echo probe are Lua DSP scripts; Ardour finds them in
# its user configuration folder.
cp tests/ardour/vorn_click.lua tests/ardour/vorn_probe.lua "$work/config/ardour7/scripts/"
presets=$(grep -c 'a pset:Preset' "$bundle/manifest.ttl")
# Ardour counts the control ports in index order: the ten sliders' (5 … 14),
# then the enabled port (15) as control 10.
start=$(date +%s%N)
status=0
env -i PATH="$PATH" LANG=C.UTF-8 HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
  XDG_DATA_HOME="$work/data" LV2_PATH="$(realpath "$build/lv2")" LXVST_PATH="$work/empty" \
  VST_PATH="$work/empty" VST3_PATH="$work/empty" LADSPA_PATH="$work/empty" \
  VORN_SESSION="$work/session" VORN_PRESET_COUNT="$presets" VORN_ENABLED_CONTROL=10 \
  timeout 300 "$lua" tests/ardour/presets_and_bypass.lua >"$work/log" 2>&1 || status=$?
grep -E '^(ok|FAIL|presets:|Slapback|Long|bypassed|all Ardour|[0-9]+ Ardour)' "$work/log" || true
elapsed=$((($(date +%s%N) - start) / 1000000))
if [ "$status" -ne 0 ] || ! grep -q '^all Ardour checks passed' "$work/log"; then
  echo "ardour-check: FAILED (status $status, $elapsed ms); Ardour's output:" >&2
  grep -v 'new MIDI buffer' "$work/log" | tail -40 >&2
  exit 1
fi
echo "ardour-check: passed in $elapsed ms"
