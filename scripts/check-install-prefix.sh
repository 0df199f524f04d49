#!/usr/bin/env bash
# Where `cmake --install` of the Release tree puts things, with DESTDIR so
# nothing outside a temporary folder is written and HOME pointing at another
# one that must stay empty unless no prefix was given at all:
#   --prefix /usr/local (CMake's own default, given by hand) -> <prefix>/lib/vst,
#     <prefix>/lib/lv2, <prefix>/lib/clap, <prefix>/bin/vornhost and its man page;
#   DESTDIR without --prefix (a packager staging the configured prefix) -> the same;
#   no prefix and no DESTDIR, in a tree configured without one -> ~/.vst,
#     ~/.lv2 and ~/.clap only (HOME is the temporary folder; skipped with one line where the
#     tree was configured with a prefix of its own).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
[ -f "$build/cmake_install.cmake" ] || { echo "install prefix check: $build is not configured" >&2; exit 1; }
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vorn-prefix.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() { echo "install prefix check: $*" >&2; exit 1; }

# system_layout ROOT: the plug-ins, vornhost and its man page under ROOT.
system_layout() {
  local root=$1 f
  for f in lib/vst/VornDelay2.so lib/lv2/VornDelay2.lv2/manifest.ttl lib/lv2/VornDelay2.lv2/VornDelay2.so bin/vornhost; do
    [ -f "$root/$f" ] || fail "no $f under the prefix (installed: $(cd "$tmp" && find . -type f | head -5 | tr '\n' ' '))"
  done
  if [ -f "$build/VornDelay2.clap" ]; then
    [ -f "$root/lib/clap/VornDelay2.clap" ] || fail "no lib/clap/VornDelay2.clap under the prefix"
  fi
  if command -v help2man >/dev/null; then
    [ -f "$root/share/man/man1/vornhost.1.gz" ] || fail "no share/man/man1/vornhost.1.gz under the prefix"
  fi
}
home_untouched() {
  [ -z "$(ls -A "$tmp/home")" ] || fail "$1 wrote into HOME: $(cd "$tmp/home" && find . -type f | head -5 | tr '\n' ' ')"
}

mkdir -p "$tmp/home"
HOME=$tmp/home DESTDIR=$tmp/given cmake --install "$build" --prefix /usr/local >"$tmp/given.log"
system_layout "$tmp/given/usr/local"
home_untouched "cmake --install --prefix /usr/local"
echo "cmake --install --prefix /usr/local: the system layout under DESTDIR, nothing in HOME"

configured=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
HOME=$tmp/home DESTDIR=$tmp/staged cmake --install "$build" >"$tmp/staged.log"
system_layout "$tmp/staged$configured"
home_untouched "DESTDIR without --prefix"
echo "DESTDIR without --prefix: the system layout under DESTDIR$configured, nothing in HOME"

unchosen=$(sed -n 's/^VORN_UNCHOSEN_PREFIX:INTERNAL=//p' "$build/CMakeCache.txt")
if [ -z "$unchosen" ]; then
  echo "install prefix check: the default install was skipped: $build was configured with the prefix $configured"
  exit 0
fi
HOME=$tmp/home cmake --install "$build" >"$tmp/home.log"
[ -f "$tmp/home/.vst/VornDelay2.so" ] || fail "the default install put no VornDelay2.so into ~/.vst"
[ -f "$tmp/home/.lv2/VornDelay2.lv2/manifest.ttl" ] || fail "the default install put no bundle into ~/.lv2"
if grep -v -e "$tmp/home/" -e '^-- Install configuration' "$tmp/home.log" | grep -q .; then
  fail "the default install wrote outside HOME: $(grep -v -e "$tmp/home/" "$tmp/home.log" | head -3)"
fi
if [ -f "$build/VornDelay2.clap" ]; then
  [ -f "$tmp/home/.clap/VornDelay2.clap" ] || fail "the default install put no VornDelay2.clap into ~/.clap"
fi
echo "cmake --install without a prefix: the plug-ins into ~/.vst, ~/.lv2 (and ~/.clap where built) only"
