#!/usr/bin/env bash
# vornhost.exe under wine64 against the 64-bit DLL, as a Windows user would
# run it: every validate check must pass, and the editor must open and be
# captured at its full 500 × 480 size. Needs a display (run under xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/../build/win64"
run=../../scripts/wine-run.sh
export WINEPREFIX=$PWD/.wine-prefix

$run host/vornhost.exe validate VornDelay2.dll

shot=editor-windows.png
rm -f "$shot"
out=$($run host/vornhost.exe edit VornDelay2.dll --screenshot "$shot" --after 1500)
echo "$out"
case "$out" in
  *"(500 x 480)"*) ;;
  *) echo "the editor screenshot under wine64 is not 500 x 480" >&2; exit 1 ;;
esac
[ -s "$shot" ] || { echo "no editor screenshot under wine64" >&2; exit 1; }
