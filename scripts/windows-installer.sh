#!/usr/bin/env bash
# Makes the Windows installer with NSIS (makensis) from the Windows builds
# (scripts/build-windows.sh; built first where missing):
#   build/installer/VornDelay2-<version>-setup.exe
# The installer puts the 64-bit VornDelay2.dll into a VST folder for 64-bit
# hosts, the 32-bit one into a VST folder for 32-bit hosts (both chosen on
# their own page; by default C:\Program Files\VstPlugins and
# C:\Program Files (x86)\VstPlugins) and vornhost.exe into its installation
# folder, and registers an uninstaller (packaging/windows/installer.nsi).
#
# Everything is staged first, in build/installer/stage/{vst64,vst32,app}:
# the installer installs, and its uninstaller removes, exactly the files
# staged there, so a file added to a list below needs nothing else.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v makensis >/dev/null || { echo "installer: makensis is missing (Debian: nsis)" >&2; exit 1; }
version=$(sed -n 's/^project(VornDelay2 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "installer: no version in CMakeLists.txt" >&2; exit 1; }

if [ ! -f build/win32/VornDelay2.dll ] || [ ! -f build/win64/VornDelay2.dll ] || [ ! -f build/win64/host/vornhost.exe ]; then
  ./scripts/build-windows.sh
fi

# The factory presets' program files are the same bytes on every platform;
# the build machine's own Release tree writes them.
presets=build/release/VornDelay2-presets
[ -d "$presets" ] || cmake --build build/release --target vst_presets >/dev/null 2>&1 ||
  { echo "installer: no factory presets in $presets (build the Release tree first)" >&2; exit 1; }

# What goes where: beside each DLL, with the factory presets, and into the
# installation folder.
vst64_files=(build/win64/VornDelay2.dll "$presets")
vst32_files=(build/win32/VornDelay2.dll "$presets")
app_files=(build/win64/host/vornhost.exe)

out=build/installer
stage=$out/stage
rm -rf "$stage"
mkdir -p "$stage/vst64" "$stage/vst32" "$stage/app"
cp -R "${vst64_files[@]}" "$stage/vst64/"
cp -R "${vst32_files[@]}" "$stage/vst32/"
cp "${app_files[@]}" "$stage/app/"
for f in "$stage"/vst64/*.dll "$stage"/app/*.exe; do x86_64-w64-mingw32-strip --strip-unneeded "$f"; done
for f in "$stage"/vst32/*.dll; do i686-w64-mingw32-strip --strip-unneeded "$f"; done

# files.nsh: one macro installing every staged file, one removing it.
nsh=$stage/files.nsh
{
  echo "; Made by scripts/windows-installer.sh from the staging folder."
  echo "!macro InstallStagedFiles"
  for part in vst64:'$Vst64Dir' vst32:'$Vst32Dir' app:'$INSTDIR'; do
    dir=${part%%:*} var=${part#*:}
    (cd "$stage/$dir" && find . -type d | sort) | while read -r d; do
      sub=${d#.}
      echo "  SetOutPath \"$var${sub//\//\\}\""
      (cd "$stage/$dir/$d" && find . -maxdepth 1 -type f | sort) | while read -r f; do
        echo "  File \"\${STAGE}\\$dir${sub//\//\\}\\${f#./}\""
      done
    done
  done
  echo "!macroend"
  echo "!macro RemoveStagedFiles"
  for part in vst64:'$Vst64Dir' vst32:'$Vst32Dir' app:'$INSTDIR'; do
    dir=${part%%:*} var=${part#*:}
    (cd "$stage/$dir" && find . -type f | sort) | while read -r f; do
      f=${f#./}
      echo "  Delete \"$var\\${f//\//\\}\""
    done
    # Folders deepest first; each goes only when empty.
    (cd "$stage/$dir" && find . -mindepth 1 -type d | sort -r) | while read -r d; do
      d=${d#./}
      echo "  RMDir \"$var\\${d//\//\\}\""
    done
    [ "$dir" = app ] || echo "  RMDir \"$var\""
  done
  echo "!macroend"
} >"$nsh"

installer=$out/VornDelay2-$version-setup.exe
stage_win=$(cd "$stage" && pwd)
makensis -V2 -DSTAGE="$stage_win" -DVERSION="$version" -DOUTFILE="$(pwd)/$installer" \
  packaging/windows/installer.nsi
echo "installer: $installer ($(du -k "$installer" | cut -f1) KiB)"
