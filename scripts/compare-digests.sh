#!/usr/bin/env bash
# Renders `vornhost digest` with the plug-in of each named build and fails
# unless every table is the same: one sound, bit for bit, from the Linux
# plug-in and the Windows DLLs (run under wine).
#
#   compare-digests.sh BUILD...   builds under build/: release (Linux), win64, win32
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 2 ] || { echo "usage: $0 BUILD BUILD..." >&2; exit 2; }

tables=$(mktemp -d "${TMPDIR:-/tmp}/digests.XXXXXX")
trap 'rm -rf "$tables"' EXIT

digest() {
  local build=$1 dir=$root/build/$1
  case "$build" in
    win*)
      (cd "$dir" && WINEPREFIX=$dir/wine-prefix "$root/scripts/wine-run.sh" host/vornhost.exe digest VornDelay2.dll)
      ;;
    *) "$dir/host/vornhost" digest "$dir/VornDelay2.so" ;;
  esac
}

for build in "$@"; do
  # Windows programs end their lines with CR LF.
  digest "$build" | tr -d '\r' >"$tables/$build"
done

first=$1
cat "$tables/$first"
status=0
for build in "${@:2}"; do
  if ! diff -u --label "$first" --label "$build" "$tables/$first" "$tables/$build"; then
    echo "digests: $build does not sound like $first" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "digests: the same on $* ($(grep -c ' [0-9a-f]\{16\}$' "$tables/$first") rows)"
exit "$status"
