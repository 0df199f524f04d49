#!/usr/bin/env bash
# Installs what building and testing need, by Debian package name.
# Quick when everything is already there.
set -euo pipefail
packages=(
  cmake g++ make pkg-config clang-format
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  libcairo2-dev libx11-dev libxtst-dev libfontconfig-dev libpng-dev fonts-liberation2 fonts-dejavu-core
  libsndfile1-dev libcli11-dev
  xvfb xauth x11-apps sox fonts-wine
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64 wine64
  dpf-plugins-vst
  lv2-dev liblilv-dev lilv-utils sordi
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The 32-bit Windows build runs under wine's 32-bit loader, from Debian's
# i386 architecture, on machines that run 32-bit programs at all.
if why=$("$(dirname "$0")"/runs-32bit.sh); then
  if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends wine32:i386
  fi
else
  echo "setup: no wine32 for the 32-bit tests: $why"
fi
