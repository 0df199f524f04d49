#!/bin/sh
# vornhost edit --screenshot as a new user runs it: a fresh xvfb-run server
# that resets when its last client leaves, and no VORN_UI_SCALE, so the
# editor finds its scale on its own. Usage: fresh_display_screenshot.sh
# XVFB_RUN VORNHOST PLUGIN FOLDER
set -eu
xvfb_run=$1 vornhost=$2 plugin=$3 folder=$4
mkdir -p "$folder"
shot=$folder/fresh_display_shot.png
rm -f "$shot"
unset VORN_UI_SCALE
runs=${VORN_FRESH_RUNS:-3}
i=0
while [ "$i" -lt "$runs" ]; do
  i=$((i + 1))
  if ! "$xvfb_run" -a "$vornhost" edit "$plugin" --screenshot "$shot"; then
    echo "run $i of $runs: vornhost edit failed on a fresh display" >&2
    exit 1
  fi
  # Width and height: the big-endian words at bytes 16 and 20 of the PNG.
  size=$(od -An -tu1 -j16 -N8 "$shot" | awk '{ print $3 * 256 + $4 " x " $7 * 256 + $8 }')
  if [ "$size" != "500 x 480" ]; then
    echo "run $i of $runs: the screenshot is $size, not 500 x 480" >&2
    exit 1
  fi
  rm -f "$shot"
done
echo "fresh display: $runs of $runs screenshots at 500 x 480"
