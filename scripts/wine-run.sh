#!/usr/bin/env bash
# Runs a 64-bit Windows program under wine64 in a private prefix, so the
# cross-built tests and vornhost run like native ones (CTest's emulator).
#
#   wine-run.sh [--prefix DIR] program.exe [arguments...]
#
# The prefix defaults to $WINEPREFIX, else .wine-prefix in the current
# folder. It is made on first use, with font replacements so GDI+ finds
# "Arial", "Courier New" and "Verdana", and reused afterwards (a cold prefix
# costs seconds, a warm one well under one). The program's output appears
# when it ends; its exit status is returned unchanged.
set -euo pipefail

wine_bin=/usr/lib/wine/wine64
wineserver_bin=/usr/lib/wine/wineserver

if [ "${1:-}" = "--prefix" ]; then
  WINEPREFIX=$2
  shift 2
fi
if [ $# -lt 1 ]; then
  echo "usage: $0 [--prefix DIR] program.exe [arguments...]" >&2
  exit 2
fi
export WINEPREFIX=${WINEPREFIX:-$PWD/.wine-prefix}
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
