#!/usr/bin/env bash
# Renders `vornhost digest` with the plug-ins of each named build and fails
# unless they all sound the same: the VST tables of every build bit for
# bit (the Linux plug-in and the Windows DLLs, run under wine), and each
# build's CLAP plug-in (and, on Linux, the LV2 bundle where vornhost has
# the LV2 digest) against the first build's VST table. Formats whose audio
# ports are single precision are compared on the float rows.
#
#   compare-digests.sh BUILD...   builds under build/: release (Linux), win64, win32
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: $0 BUILD..." >&2; exit 2; }

tables=$(mktemp -d "${TMPDIR:-/tmp}/digests.XXXXXX")
trap 'rm -rf "$tables"' EXIT

# digest BUILD FORMAT: the table, or nothing (and status 3) when the build
# has no plug-in of that format.
digest() {
  local build=$1 format=$2 dir=$root/build/$1 file
  case "$build:$format" in
    win*:vst) file=VornDelay2.dll ;;
    win*:clap | *:clap) file=VornDelay2.clap ;;
    *:vst) file=VornDelay2.so ;;
    *:lv2) file=lv2/VornDelay2.lv2 ;;
  esac
  [ -e "$dir/$file" ] || return 3
  case "$build" in
    win*) (cd "$dir" && WINEPREFIX=$dir/wine-prefix "$root/scripts/wine-run.sh" host/vornhost.exe digest "$file") ;;
    *) (cd "$dir" && LV2_PATH=$dir/lv2 "$dir/host/vornhost" digest "$dir/$file") ;;
  esac
}

status=0
compared=()
for build in "$@"; do
  for format in vst clap lv2; do
    [ "$format" = lv2 ] && [[ "$build" == win* ]] && continue
    set +e
    # Windows programs end their lines with CR LF.
    digest "$build" "$format" 2>"$tables/$build-$format.err" | tr -d '\r' >"$tables/$build-$format"
    result=${PIPESTATUS[0]}
    set -e
    if [ "$result" -eq 3 ]; then
      echo "digests: $build has no $format plug-in; not compared"
      rm -f "$tables/$build-$format"
      continue
    fi
    if [ "$result" -ne 0 ]; then
      if [ "$format" = lv2 ] && grep -q "LV2" "$tables/$build-$format.err"; then
        echo "digests: this vornhost has no LV2 digest; $build lv2 not compared"
        rm -f "$tables/$build-$format"
        continue
      fi
      cat "$tables/$build-$format.err" >&2
      echo "digests: $build $format failed" >&2
      status=1
      rm -f "$tables/$build-$format"
      continue
    fi
    compared+=("$build-$format")
  done
done

first=$1-vst
[ -s "$tables/$first" ] || { echo "digests: no VST table from $1" >&2; exit 1; }
cat "$tables/$first"
grep -v ' double ' "$tables/$first" >"$tables/float"
for table in "${compared[@]}"; do
  [ "$table" = "$first" ] && continue
  if [[ "$table" == *-vst ]]; then
    # The same format: every row, both precisions.
    reference=$tables/$first
  else
    reference=$tables/float
    if grep -q ' double  *[0-9]' "$tables/$table"; then reference=$tables/$first; fi
    grep -v ' double  *(no double' "$tables/$table" >"$tables/$table.rows" || true
    if [ "$reference" = "$tables/float" ]; then
      grep -v ' double ' "$tables/$table" >"$tables/$table.rows" || true
    fi
    mv "$tables/$table.rows" "$tables/$table"
  fi
  if ! diff -u --label "$first" --label "$table" "$reference" "$tables/$table"; then
    echo "digests: $table does not sound like $first" >&2
    status=1
  fi
done
rows=$(grep -c ' [0-9a-f]\{16\}$' "$tables/$first")
[ "$status" -eq 0 ] && echo "digests: the same on ${compared[*]} ($rows rows of $first; single-precision formats on the float rows)"
exit "$status"
