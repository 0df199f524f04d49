#!/usr/bin/env bash
# Runs CI as a fresh machine would: makes a clean Debian 12 root with
# mmdebstrap (from this machine's own apt sources), installs the plug-ins a
# typical audio user has (Calf, ZAM, x42, SWH, Ardour's), clones main into it
# and runs .ci/run inside with CI=true. Run it before stopping whenever setup,
# packages or the README changed. Needs root.
#
#   scripts/fresh-machine-check.sh [--keep]    (--keep leaves the root behind)
#
# Prints PASS or FAIL with the log's path; exits 0 only on PASS.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

if [ -n "${VORN_FRESH_ROOT:-}" ]; then
  echo "fresh-machine-check: already inside a fresh root; not starting another" >&2
  exit 2
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-machine-check: needs root (mmdebstrap, chroot and mounts)" >&2
  exit 2
fi
keep=0
[ "${1:-}" = "--keep" ] && keep=1

if ! command -v mmdebstrap >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap >/dev/null
fi

user_plugins=(calf-plugins zam-plugins x42-plugins swh-lv2 ardour-lv2-plugins)
stamp=$(date +%Y%m%d-%H%M%S)
work=$(mktemp -d "${TMPDIR:-/var/tmp}/vorn-fresh-$stamp.XXXXXX")
root=$work/root
log=$work/ci.log
. "$repo/scripts/fresh-root.sh"

cleanup() {
  local status=$?
  fresh_root_unmount
  if [ "$keep" -eq 0 ] && [ -d "$root" ]; then
    # Only remove the root once nothing is mounted below it any more.
    if ! fresh_root_mounted "$root"; then rm -rf "$root"; fi
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start=$(date +%s)
echo "making a fresh Debian 12 root in $root"
fresh_root_make "$root" "$work/mmdebstrap.log" ca-certificates,git ||
  { echo "FAIL: mmdebstrap could not make the root (log: $work/mmdebstrap.log)"; exit 1; }
echo "root made in $(($(date +%s) - start)) s"

git clone -q --branch main "$repo" "$root/src/vorn"

fresh_root_mount "$root" proc sys dev

# A typical audio user's machine has other plug-ins installed; the tests
# must not read them (nothing of theirs under test, in LV2_PATH or in the
# schema files).
echo "installing other plug-ins first: ${user_plugins[*]}"
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive bash -c \
  "apt-get update -qq || apt-get update -qq || true; apt-get install -y -qq --no-install-recommends ${user_plugins[*]}" \
  >"$work/plugins.log" 2>&1 ||
  { tail -n 20 "$work/plugins.log"; echo "FAIL: the other plug-ins could not be installed (log: $work/plugins.log)"; exit 1; }

echo "running .ci/run in the fresh root (log: $log)"
status=0
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  LANG=C.UTF-8 TERM=dumb CI=true VORN_FRESH_ROOT=1 \
  bash -c 'cd /src/vorn && .ci/run' >"$log" 2>&1 || status=$?
elapsed=$(($(date +%s) - start))
if [ "$status" -eq 0 ]; then
  echo "PASS in ${elapsed} s (log: $log)"
else
  echo "FAIL with status $status after ${elapsed} s (log: $log)"
  tail -n 30 "$log"
fi
exit "$status"
