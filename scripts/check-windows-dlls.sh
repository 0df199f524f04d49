#!/usr/bin/env bash
# Checks built Windows plug-in DLLs from the outside, as a host's loader
# sees them: exactly the exports VSTPluginMain, main and MAIN (undecorated,
# one function) of a .dll, or clap_entry alone of a .clap, imports from
# system DLLs only, and the three pictures and
# their double-density twins as "DATA" resources 0, 1, 2 and 100, 101, 102
# in language 1033 with the bytes of the files in resources/.
#
#   check-windows-dlls.sh [VornDelay2.dll|VornDelay2.clap ...]
#
# Without arguments both builds' DLLs and .clap modules are checked
# (build/win32, build/win64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ $# -gt 0 ] || set -- build/win32/VornDelay2.dll build/win64/VornDelay2.dll build/win32/VornDelay2.clap \
  build/win64/VornDelay2.clap

# DLLs every Windows installation carries.
system_dlls=" kernel32.dll user32.dll gdi32.dll gdiplus.dll ole32.dll oleaut32.dll msvcrt.dll "
system_dlls+=" advapi32.dll shell32.dll shlwapi.dll comctl32.dll uxtheme.dll imm32.dll winmm.dll "
declare -A pictures=([0]=resources/knob_sm.png [1]=resources/bg.png [2]=resources/knob_but.png
  [100]=resources/knob_sm@2x.png [101]=resources/bg@2x.png [102]=resources/knob_but@2x.png)
picture_ids="0 1 2 100 101 102"
picture_count=6

failures=0
fail() {
  echo "  FAIL: $*"
  failures=$((failures + 1))
}

check_dll() {
  local dll=$1 triplet
  echo "$dll"
  if [ ! -f "$dll" ]; then
    fail "no such file"
    return
  fi
  if x86_64-w64-mingw32-objdump -f "$dll" 2>/dev/null | grep -q "file format pei-x86-64"; then
    triplet=x86_64-w64-mingw32
  elif i686-w64-mingw32-objdump -f "$dll" 2>/dev/null | grep -q "file format pei-i386"; then
    triplet=i686-w64-mingw32
  else
    fail "not a Windows DLL"
    return
  fi
  local dump
  dump=$("$triplet-objdump" -p "$dll")

  # Exports: the name table, and one address for all three names.
  local names addresses
  names=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | awk '/^\t\[/ {print $3}' | sort | tr '\n' ' ')
  addresses=$(sed -n '/^Export Address Table -- Ordinal Base/,/^$/p' <<<"$dump" | awk '/Export RVA/ {print $(NF-2)}' | sort -u | tr "\n" " ")
  echo "  exports: $names"
  if [[ "$dll" == *.clap ]]; then
    [ "$names" = "clap_entry " ] || fail "exports must be exactly clap_entry"
  else
    [ "$names" = "MAIN VSTPluginMain main " ] || fail "exports must be exactly MAIN VSTPluginMain main"
    [ "$(wc -w <<<"$addresses")" -eq 1 ] || fail "the three exports must name one function (addresses: $addresses)"
  fi

  # Imports: system DLLs only.
  local imports dll_name
  imports=$(awk '/DLL Name:/ {print $3}' <<<"$dump" | sort -u | tr '\n' ' ')
  echo "  imports: $imports"
  [ -n "$imports" ] || fail "no import table"
  for dll_name in $imports; do
    case "$system_dlls" in
      *" ${dll_name,,} "*) ;;
      *) fail "imports $dll_name, which is not a system DLL" ;;
    esac
  done

  # Resources: the directory as objdump lists it ...
  local listing
  listing=$(sed -n '/^The .rsrc Resource Directory section:/,/^ Resources start/p' <<<"$dump")
  if [[ "$dll" == *.clap ]] && [ -z "$listing" ]; then
    echo "  resources: none to check (this CLAP module is built without the editor)"
    return
  fi
  grep -q ": DATA, Value:" <<<"$listing" || fail "no resource type DATA"
  local id
  for id in $picture_ids; do
    # A name entry pointing at a sub-directory (0x8...) holds the languages.
    grep -qE "Entry: ID: (0x)?0*$(printf '%x' "$id"), Value: 0x8" <<<"$listing" || fail "no DATA resource $id"
  done
  [ "$(grep -c "Entry: ID: 0x000409, Value" <<<"$listing")" -eq "$picture_count" ] ||
    fail "the $picture_count resources must each have language 1033 (0x409) and nothing else"

  # ... and the contents, read back with windres into a .res file: a
  # sequence of entries, each a header (data size, header size, type "DATA",
  # ordinal name) followed by the data. (windres leaves the language out of
  # the headers it writes; the listing above checked it.)
  local work res
  work=$(mktemp -d)
  res=$work/resources.res
  if ! "$triplet-windres" -i "$dll" -J coff -O res -o "$res" 2>"$work/err"; then
    fail "windres cannot read the resources: $(head -1 "$work/err")"
    rm -rf "$work"
    return
  fi
  local offset=0 size found=0 data_size header_size type ordinal_marker ordinal
  size=$(stat -c %s "$res")
  while [ $((offset + 8)) -le "$size" ]; do
    read -r data_size header_size < <(od -An -tu4 -j "$offset" -N 8 "$res")
    if [ "$data_size" -gt 0 ]; then
      type=$(od -An -c -j $((offset + 8)) -N 10 "$res" | tr -d ' \\0\n')
      read -r ordinal_marker ordinal < <(od -An -tx2 -j $((offset + 18)) -N 4 "$res")
      if [ "$type" = DATA ] && [ "$ordinal_marker" = ffff ] && [ "$header_size" -eq 40 ]; then
        ordinal=$((16#$ordinal))
        if [ -n "${pictures[$ordinal]:-}" ]; then
          dd if="$res" of="$work/$ordinal.bin" iflag=skip_bytes,count_bytes bs=64K \
            skip=$((offset + header_size)) count="$data_size" status=none
          found=$((found + 1))
        else
          fail "unexpected DATA resource $ordinal"
        fi
      else
        fail "unexpected resource (type '$type')"
      fi
    fi
    offset=$(((offset + header_size + data_size + 3) / 4 * 4))
  done
  [ "$found" -eq "$picture_count" ] || fail "found $found DATA resources, expected $picture_count"
  for id in $picture_ids; do
    if [ -f "$work/$id.bin" ]; then
      cmp -s "$work/$id.bin" "${pictures[$id]}" || fail "DATA $id differs from ${pictures[$id]}"
    fi
  done
  echo "  resources: DATA $picture_ids, language 0x409"
  rm -rf "$work"
}

for dll in "$@"; do
  check_dll "$dll"
done
if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
