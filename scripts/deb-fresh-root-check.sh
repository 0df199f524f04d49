#!/usr/bin/env bash
# Installs the Debian package on a clean Debian 12 root (mmdebstrap, from
# this machine's own apt sources) as a user would, and checks it from the
# outside: apt install ./vorn-delay-2_*.deb, lv2ls lists the plug-in,
# vornhost info loads /usr/lib/vst/VornDelay2.so, Ardour's VST scanner finds
# it in /usr/lib/vst, and apt purge leaves no file behind. Needs root; takes
# a few minutes (Ardour is large). Not part of the test command: it
# downloads packages.
#
#   scripts/deb-fresh-root-check.sh [PACKAGE.deb]   (default: the one scripts/deb.sh made)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
  echo "deb-fresh-root-check: needs root (mmdebstrap, chroot and mounts)" >&2
  exit 2
fi
deb=${1:-$(ls build/release/packages/vorn-delay-2_*.deb 2>/dev/null | head -1)}
[ -f "$deb" ] || { echo "deb-fresh-root-check: no package (run scripts/deb.sh first)" >&2; exit 2; }

. scripts/fresh-root.sh
work=$(mktemp -d "${TMPDIR:-/var/tmp}/vorn-deb-root.XXXXXX")
root=$work/root
cleanup() {
  local status=$?
  fresh_root_unmount
  fresh_root_mounted "$root" || rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

echo "making a fresh Debian 12 root"
fresh_root_make "$root" "$work/mmdebstrap.log" || { cat "$work/mmdebstrap.log"; echo "FAIL: mmdebstrap"; exit 1; }
fresh_root_mount "$root" proc dev
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  DEBIAN_FRONTEND=noninteractive bash -euo pipefail -c "$1"; }

# Every file of the root but the package manager's own records and caches.
snapshot() {
  in_root 'find / -xdev \( -path /proc -o -path /dev -o -path /tmp -o -path /root -o -path /var/lib/dpkg \
    -o -path /var/lib/apt -o -path /var/cache -o -path /var/log \) -prune -o -print | sort'
}

echo "installing lilv-utils and ardour (the hosts that look for the plug-in)"
in_root 'apt-get update -qq || true; apt-get install -y -qq --no-install-recommends lilv-utils ardour >/dev/null'
snapshot >"$work/before.txt"

echo "apt install ./$(basename "$deb")"
in_root "apt-get install -y -qq ./tmp/$(basename "$deb") >/dev/null"
in_root 'lv2ls' | tee "$work/lv2ls.txt"
grep -qx 'urn:fenmoor:vorn-delay-2' "$work/lv2ls.txt" || { echo "FAIL: lv2ls does not list urn:fenmoor:vorn-delay-2"; exit 1; }
in_root 'vornhost info /usr/lib/vst/VornDelay2.so | head -3; vornhost info | head -1; test -s /usr/share/man/man1/vornhost.1.gz'
# Ardour walks its VST folders (/usr/lib/vst among them) and hands each
# binary to its scanner.
scanner=$(in_root "dpkg -L ardour | grep '/ardour-vst-scanner\$'")
out=$(in_root "cd /tmp && for f in \$(find /usr/lib/vst -name '*.so'); do \
  HOME=/tmp XDG_CACHE_HOME=/tmp/cache LD_LIBRARY_PATH=$(dirname "$scanner") $scanner -f -v \"\$f\"; done" 2>&1)
echo "$out" | grep -E "Scanning|Found Plugin"
grep -q "Found Plugin: .* Vorn Delay 2" <<<"$out" || { echo "$out"; echo "FAIL: Ardour's scanner did not find Vorn Delay 2"; exit 1; }

echo "apt purge vorn-delay-2"
in_root 'apt-get purge -y -qq vorn-delay-2 >/dev/null'
snapshot >"$work/after.txt"
if ! diff "$work/before.txt" "$work/after.txt" >"$work/left.txt"; then
  cat "$work/left.txt"
  echo "FAIL: the purge left the root different from before the install"
  exit 1
fi
echo "PASS: installed, found by lv2ls, vornhost and Ardour's scanner, purged without a trace"
