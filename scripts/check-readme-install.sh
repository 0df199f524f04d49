#!/usr/bin/env bash
# Runs the README's "Build and install the plug-in" commands exactly as the
# README writes them, with HOME pointing at a temporary folder so the default
# install (into ~/.vst and ~/.lv2) lands there, then loads the installed
# plug-ins with vornhost. When the README's commands change, this check follows them.
set -euo pipefail
cd "$(dirname "$0")/.."

commands=$(awk '
  /^## Build and install the plug-in/ { section = 1; next }
  section && /^```/ { if (inside) exit; inside = 1; next }
  section && inside { print }
' README.md | sed -e 's/[[:space:]]*#.*$//' -e '/^[[:space:]]*$/d')
if [ -z "$commands" ]; then
  echo "README.md has no commands under \"## Build and install the plug-in\"" >&2
  exit 1
fi

home=$(mktemp -d "${TMPDIR:-/tmp}/vorn-install.XXXXXX")
trap 'rm -rf "$home"' EXIT
# A build folder configured earlier keeps its own warning setting; give it
# the one of the environment, as a fresh configure would take it.
if [ -n "${VORN_WERROR:-}" ] && [ -f build/release/CMakeCache.txt ]; then
  cmake -S . -B build/release -DVORN_WERROR="$VORN_WERROR" >/dev/null
fi

echo "README install commands (HOME=$home):"
while IFS= read -r line; do
  echo "  \$ $line"
  HOME=$home bash -euo pipefail -c "$line"
done <<<"$commands"

installed=$(find "$home" -name 'VornDelay2.so' -not -path '*/VornDelay2.lv2/*' -print -quit)
if [ -z "$installed" ]; then
  echo "the README's install commands installed no VornDelay2.so" >&2
  exit 1
fi
case "$installed" in
  "$home/.vst/"*) ;;
  *) echo "VornDelay2.so was installed into ${installed#"$home"/}, not ~/.vst" >&2; exit 1 ;;
esac
host=build/release/host/vornhost
"$host" info "$installed" >"$home/info.txt"
grep -q "Vorn Delay 2" "$home/info.txt" || { cat "$home/info.txt"; echo "vornhost info does not name Vorn Delay 2" >&2; exit 1; }
echo "installed plug-in loads: $(head -1 "$home/info.txt")"

# The LV2 bundle, where it was built: into ~/.lv2, loaded by its folder.
if [ -f build/release/lv2/VornDelay2.lv2/manifest.ttl ]; then
  bundle="$home/.lv2/VornDelay2.lv2"
  [ -f "$bundle/manifest.ttl" ] && [ -f "$bundle/VornDelay2.so" ] ||
    { echo "the README's install commands installed no LV2 bundle into ~/.lv2" >&2; exit 1; }
  # Only the installed bundle's folder on the search path: other plug-ins on
  # this machine are none of this check's business.
  HOME=$home LV2_PATH=$home/.lv2 "$host" info "$bundle" >"$home/lv2info.txt"
  grep -q "Vorn Delay 2" "$home/lv2info.txt" ||
    { cat "$home/lv2info.txt"; echo "vornhost info does not name Vorn Delay 2 in the LV2 bundle" >&2; exit 1; }
  echo "installed LV2 bundle loads: $(head -1 "$home/lv2info.txt")"
fi
