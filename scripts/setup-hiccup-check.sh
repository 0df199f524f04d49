#!/usr/bin/env bash
# Checks that scripts/setup.sh rides out a mirror's hiccup, on a clean
# Debian 12 root (mmdebstrap, from this machine's own apt sources) with the
# i386 architecture added and one more apt source whose i386 index always
# arrives with the wrong size, as a mirror mid-sync serves it:
#   1. a package setup needs that cannot be had (pinned away) fails setup,
#      and the message names it;
#   2. setup.sh demo then passes: apt-get update is retried and fails, setup
#      goes on with the indexes that arrived;
#   3. setup.sh test passes too, installing wine32:i386 or saying in one line
#      why it cannot.
# Needs root; downloads the test toolchain (a few minutes). Not part of the
# test command.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
  echo "setup-hiccup-check: needs root (mmdebstrap and chroot)" >&2
  exit 2
fi
. scripts/fresh-root.sh
work=$(mktemp -d "${TMPDIR:-/var/tmp}/vorn-hiccup.XXXXXX")
root=$work/root
cleanup() {
  local status=$?
  fresh_root_unmount
  fresh_root_mounted "$root" || rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

echo "making a fresh Debian 12 root"
fresh_root_make "$root" "$work/mmdebstrap.log" ca-certificates || { cat "$work/mmdebstrap.log"; fail "mmdebstrap"; }
fresh_root_mount "$root" proc dev
mkdir -p "$root/src"
git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$root/src"

# The broken source: a repository whose Release file promises an i386 index
# of another size than the one it serves; its amd64 index is sound.
chroot "$root" dpkg --add-architecture i386
repo=$root/srv/broken
release=$repo/dists/bookworm/Release
{
  printf 'Origin: broken\nLabel: broken\nSuite: bookworm\nCodename: bookworm\n'
  printf 'Date: %s\nArchitectures: amd64 i386\nComponents: main\nSHA256:\n' "$(LC_ALL=C date -u -R)"
} >"$work/Release"
for arch in amd64 i386; do
  index=main/binary-$arch/Packages
  mkdir -p "$repo/dists/bookworm/$(dirname "$index")"
  echo "Package: vorn-nothing-$arch" >"$repo/dists/bookworm/$index"
  size=$(stat -c %s "$repo/dists/bookworm/$index")
  [ "$arch" = amd64 ] || size=99999
  echo " $(sha256sum "$repo/dists/bookworm/$index" | cut -d' ' -f1) $size $index" >>"$work/Release"
done
cp "$work/Release" "$release"
echo "deb [trusted=yes] file:/srv/broken bookworm main" >"$root/etc/apt/sources.list.d/broken.list"

in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    VORN_APT_PAUSE=2 bash -c "cd /src && $1"
}

echo "1. a needed package pinned away"
printf 'Package: libcli11-dev\nPin: release *\nPin-Priority: -1\n' >"$root/etc/apt/preferences.d/no-cli11"
status=0
in_root './scripts/setup.sh demo' >"$work/1.txt" 2>&1 || status=$?
sed 's/^/   /' "$work/1.txt"
[ "$status" -ne 0 ] || fail "setup passed without libcli11-dev"
grep -q "cannot install libcli11-dev" "$work/1.txt" || fail "the failure does not name libcli11-dev"
rm "$root/etc/apt/preferences.d/no-cli11"

echo "2. setup.sh demo with the broken index"
in_root './scripts/setup.sh demo' >"$work/2.txt" 2>&1 || { cat "$work/2.txt"; fail "setup.sh demo failed"; }
sed 's/^/   /' "$work/2.txt"
grep -q "apt-get update failed" "$work/2.txt" || fail "the broken index did not make apt-get update fail"

echo "3. setup.sh test with the broken index"
in_root './scripts/setup.sh test' >"$work/3.txt" 2>&1 || { cat "$work/3.txt"; fail "setup.sh test failed"; }
sed 's/^/   /' "$work/3.txt"
if ! in_root 'dpkg-query -W -f="\${Status}" wine32:i386 2>/dev/null | grep -q "install ok installed"'; then
  [ "$(grep -c "wine32" "$work/3.txt")" -eq 1 ] || fail "wine32:i386 is missing and setup did not say why in one line"
  in_root './scripts/runs-32bit.sh --wine' >"$work/32.txt" && fail "runs-32bit.sh --wine passes without wine32"
  echo "   the 32-bit steps would be skipped: $(cat "$work/32.txt")"
fi
echo "PASS: setup names a missing package and rides out a broken index"
