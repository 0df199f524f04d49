#!/usr/bin/env bash
# Makes the release packages in dist/ from the builds of scripts/test.sh (or
# builds them first):
#   dist/VornDelay2-windows.zip        win32/ and win64/ VornDelay2.dll, INSTALL.txt
#   dist/VornDelay2-linux-x86_64.tar.gz  VornDelay2.so, VornDelay2.lv2/, INSTALL.txt
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

if [ ! -f build/release/VornDelay2.so ] || [ ! -f build/release/lv2/VornDelay2.lv2/manifest.ttl ]; then
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/release -j "$jobs" --target VornDelay2 VornDelay2_lv2
fi
if [ ! -f build/win32/VornDelay2.dll ] || [ ! -f build/win64/VornDelay2.dll ]; then
  ./scripts/build-windows.sh
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p dist "$stage/windows/win32" "$stage/windows/win64" "$stage/linux"

cp build/win32/VornDelay2.dll "$stage/windows/win32/"
cp build/win64/VornDelay2.dll "$stage/windows/win64/"
i686-w64-mingw32-strip --strip-unneeded "$stage/windows/win32/VornDelay2.dll"
x86_64-w64-mingw32-strip --strip-unneeded "$stage/windows/win64/VornDelay2.dll"
cp packaging/INSTALL-windows.txt "$stage/windows/INSTALL.txt"
(cd "$stage/windows" && cmake -E tar cf "$root/dist/VornDelay2-windows.zip" --format=zip win32 win64 INSTALL.txt)

cp build/release/VornDelay2.so "$stage/linux/"
strip --strip-unneeded "$stage/linux/VornDelay2.so"
cp -r build/release/lv2/VornDelay2.lv2 "$stage/linux/"
strip --strip-unneeded "$stage/linux/VornDelay2.lv2/VornDelay2.so"
cp packaging/INSTALL-linux.txt "$stage/linux/INSTALL.txt"
(cd "$stage/linux" &&
  cmake -E tar czf "$root/dist/VornDelay2-linux-x86_64.tar.gz" VornDelay2.so VornDelay2.lv2 INSTALL.txt)

ls -l dist/
