#!/usr/bin/env bash
# Runs a Windows program under wine in a private prefix, so the cross-built
# tests and vornhost run like native ones (CTest's emulator). The program's
# header tells its architecture: a 64-bit one runs under wine64, a 32-bit one
# under wine's 32-bit loader.
#
#   wine-run.sh [--prefix DIR] program.exe [arguments...]
#
# The prefix defaults to $WINEPREFIX, else .wine-prefix (64-bit) or
# .wine-prefix32 (32-bit) in the current folder; a prefix serves one
# architecture, so give each its own. It is made on first use, with font replacements so GDI+ finds
# "Arial", "Courier New" and "Verdana", and reused afterwards (a cold prefix
# costs seconds, a warm one well under one). The program's output appears
# when it ends; its exit status is returned unchanged. Where a 32-bit program
# cannot run (the machine runs no 32-bit programs, or wine's 32-bit loader is
# missing) it prints why and exits with status 77, which CTest reports as a
# skipped test.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
wineserver_bin=/usr/lib/wine/wineserver
skip_status=77

if [ "${1:-}" = "--prefix" ]; then
  WINEPREFIX=$2
  shift 2
fi
if [ $# -lt 1 ]; then
  echo "usage: $0 [--prefix DIR] program.exe [arguments...]" >&2
  exit 2
fi

# The machine field of the PE header (at the offset stored at 0x3c, after
# the "PE\0\0" signature): 0x014c is i386, 0x8664 x86-64.
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || return 0
  od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

program=$1
[ -f "$program" ] || program=$(command -v "$program" || echo "$program")
case "$(pe_machine "$program")" in
  014c)
    if ! why=$("$here/runs-32bit.sh" --wine); then
      echo "skipped: $(basename "$program") is a 32-bit program and $why" >&2
      exit "$skip_status"
    fi
    wine_bin=/usr/lib/wine/wine
    export WINEARCH=win32
    default_prefix=$PWD/.wine-prefix32
    ;;
  *)
    wine_bin=/usr/lib/wine/wine64
    export WINEARCH=win64
    default_prefix=$PWD/.wine-prefix
    ;;
esac
export WINEPREFIX=${WINEPREFIX:-$default_prefix}
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The server outlives each program a little, so a run of tests shares one.
export WINESERVER=$wineserver_bin

setup_prefix() {
  mkdir -p "$WINEPREFIX"
  (
    # Tests run in parallel: one of them makes the prefix, the others wait.
    flock 9
    [ -f "$WINEPREFIX/.vorn-ready" ] && exit 0
    # Without a display wine makes the prefix quietly; a GUI run later under
    # Xvfb must not meet a server started without one.
    env -u DISPLAY "$wine_bin" wineboot -i >/dev/null 2>&1 || true
    local reg="$WINEPREFIX/vorn-setup.reg"
    cat >"$reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"
"Verdana"="DejaVu Sans"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
EOF
    env -u DISPLAY "$wine_bin" regedit /S "$reg" >/dev/null 2>&1
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for f in /usr/share/wine/fonts/*.ttf; do
      [ -e "$fonts/$(basename "$f")" ] || ln -s "$f" "$fonts/"
    done
    "$wineserver_bin" -w
    touch "$WINEPREFIX/.vorn-ready"
  ) 9>"$WINEPREFIX.lock"
}

[ -f "$WINEPREFIX/.vorn-ready" ] || setup_prefix

# The first program of a session starts wine's own background services,
# which inherit its output and keep it open after it ends: a reader such as
# CTest would wait for them. So the program writes to files, copied out when
# it is done.
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
err=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$out" "$err"' EXIT
"$wineserver_bin" -p15 </dev/null >/dev/null 2>&1 || true
status=0
"$wine_bin" "$@" >"$out" 2>"$err" || status=$?
cat "$out"
cat "$err" >&2
exit "$status"
