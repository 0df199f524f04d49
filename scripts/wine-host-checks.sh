#!/usr/bin/env bash
# vornhost.exe under wine against the DLL of the same build, as a Windows
# user would run it: every validate check must pass at the highest
# strictness, and the editor must open and be captured at its full
# 500 × 480 size. Needs a display (run under xvfb-run).
#
#   wine-host-checks.sh [win64|win32]   the build to check (default win64)
set -euo pipefail
build=${1:-win64}
case "$build" in
  win64 | win32) ;;
  *) echo "usage: $0 [win64|win32]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/../build/$build"
run=../../scripts/wine-run.sh
# The prefix the build's tests use (one per architecture).
export WINEPREFIX=$PWD/wine-prefix
# The editor at scale 1, whatever the caller's shell asks of editors.
export VORN_UI_SCALE=1

status=0
out=$($run host/vornhost.exe validate VornDelay2.dll --strictness 10) || status=$?
echo "$out"
# Passing means every check ran and passed: the editor check, too, is not skipped.
case "$status:$out" in
  0:*" 0 failed, 0 skipped"*) ;;
  *) echo "validate under wine ($build): not every check passed (status $status)" >&2; exit 1 ;;
esac

shot=editor-windows.png
rm -f "$shot"
out=$($run host/vornhost.exe edit VornDelay2.dll --screenshot "$shot" --after 1500)
echo "$out"
case "$out" in
  *"(500 x 480)"*) ;;
  *) echo "the editor screenshot under wine ($build) is not 500 x 480" >&2; exit 1 ;;
esac
[ -s "$shot" ] || { echo "no editor screenshot under wine ($build)" >&2; exit 1; }
