#!/usr/bin/env bash
# Installs what a job needs, by Debian package name. Quick when everything
# is already there.
#
#   scripts/setup.sh demo    building the plug-in and vornhost, rendering the demo
#   scripts/setup.sh [test]  everything the test command runs (the default)
#
# A mirror's hiccup does not stop it: apt-get update is tried a few times
# with a pause, and when an index still fails to arrive, setup goes on with
# the indexes it has (those of this machine's own architecture fetched alone
# where another architecture's index was the one that failed). Only a package that cannot be installed fails setup,
# and the message names it. wine32:i386 (the 32-bit Windows tests) is the
# one optional package: when it cannot be installed, one line says why and
# the 32-bit steps are skipped, as on a machine that runs no 32-bit programs.
#
# VORN_APT_TRIES (default 3) and VORN_APT_PAUSE (seconds, default 15) set
# how often and how far apart apt-get update is tried.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mode=${1:-test}

demo_packages=(
  cmake g++ make pkg-config
  libcairo2-dev libx11-dev libfontconfig-dev libpng-dev fonts-liberation2 fonts-dejavu-core
  libsndfile1-dev libcli11-dev lv2-dev
)
test_packages=(
  "${demo_packages[@]}"
  clang-format libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  libxtst-dev
  xvfb xauth x11-apps sox fonts-wine
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64 wine64
  dpf-plugins-vst
  liblilv-dev lilv-utils sordi libsuil-dev
  # The Debian package and the Windows installer.
  dpkg-dev file lintian help2man nsis
  # Real hosts: jalv with our UI on JACK's dummy driver, Ardour headless.
  x11-utils jalv jackd2 libgtk-3-0 libsuil-0-0 ardour
  # The CLAP plug-in in Qtractor, headless on JACK's dummy driver.
  qtractor
)
case $mode in
  demo) packages=("${demo_packages[@]}") ;;
  test) packages=("${test_packages[@]}") ;;
  *)
    echo "usage: scripts/setup.sh [demo|test]" >&2
    exit 2
    ;;
esac

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get "$@"; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# The line of apt's output that says why an install failed.
reason() {
  local line
  line=$(grep -m1 -E "Depends:|Unable to locate|no installation candidate|Failed to fetch|Hash Sum|unexpected size" <<<"$1" ||
    grep -E "^E:" <<<"$1" | tail -1 || true)
  line=$(tr -s ' \t' ' ' <<<"${line:-apt-get gave no reason}")
  echo "${line# }"
}

updated=0
update_failure=""
update() {
  [ "$updated" -eq 1 ] && return 0
  updated=1
  local tries=${VORN_APT_TRIES:-3} pause=${VORN_APT_PAUSE:-15} out
  for ((i = 1; i <= tries; i++)); do
    if out=$(apt_get update -qq 2>&1); then return 0; fi
    if [ "$i" -lt "$tries" ]; then
      echo "setup: apt-get update failed (try $i of $tries: $(reason "$out")); again in $pause s"
      sleep "$pause"
    fi
  done
  update_failure=$(reason "$out")
  # apt takes a suite's indexes all or none: one architecture's index that
  # fails keeps the others of its suite out too (on a fresh machine, with no
  # older ones to fall back on, the whole suite is missing). Without the
  # other architectures, the native indexes of such a suite arrive.
  local native
  native=$(dpkg --print-architecture)
  local also=""
  if [ -n "$(dpkg --print-foreign-architectures)" ]; then
    if apt_get update -qq -o APT::Architectures="$native" >/dev/null 2>&1; then
      also=", the $native ones all fetched when asked for alone"
    else
      also=", the $native ones fetched again alone"
    fi
  fi
  echo "setup: apt-get update failed ($tries tries: $update_failure); going on with the indexes that arrived$also"
}

# The 32-bit Windows build runs under wine's 32-bit loader, from Debian's
# i386 architecture, on machines that run 32-bit programs at all.
want_wine32=0
if [ "$mode" = test ]; then
  if why=$("$here"/runs-32bit.sh); then
    installed wine32:i386 || want_wine32=1
  else
    echo "setup: no wine32 for the 32-bit tests: $why"
  fi
fi

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ "$want_wine32" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

if [ ${#missing[@]} -gt 0 ]; then
  update
  echo "setup: installing ${missing[*]}"
  if ! out=$(apt_get install -y --no-install-recommends "${missing[@]}" 2>&1); then
    # Name each package that cannot be had, and why.
    failed=0
    for p in "${missing[@]}"; do
      if ! one=$(apt_get install -s --no-install-recommends "$p" 2>&1); then
        echo "setup: cannot install $p, which '$mode' needs: $(reason "$one")" >&2
        failed=1
      fi
    done
    [ "$failed" -eq 1 ] || echo "setup: installing ${missing[*]} failed: $(reason "$out")" >&2
    exit 1
  fi
fi

if [ "$want_wine32" -eq 1 ]; then
  update
  if ! out=$(apt_get install -y --no-install-recommends wine32:i386 2>&1); then
    why=$(reason "$out")
    [ -z "$update_failure" ] || why+="; an index was missing: $update_failure"
    echo "setup: wine32:i386 cannot be installed ($why); the 32-bit steps will be skipped"
  fi
fi
exit 0
