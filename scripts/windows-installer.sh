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
# the installer installs and records exactly the files staged there, and its
# uninstaller removes what the record lists, so a file added to a list below
# needs nothing else.
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
# installation folder with the licence and the notices of what the
# programs include.
vst64_files=(build/win64/VornDelay2.dll "$presets")
vst32_files=(build/win32/VornDelay2.dll "$presets")
app_files=(build/win64/host/vornhost.exe)
notices=(LICENSE packaging/windows/THIRD-PARTY-NOTICES.txt)
# Each part: staging folder, the installer's variable for its folder, and
# how the uninstaller names it when it must skip it.
parts=("vst64|\$Vst64Dir|64-bit VST folder" "vst32|\$Vst32Dir|32-bit VST folder"
  "app|\$INSTDIR|installation folder")
# The CLAP builds, where both Windows trees have them: each into a CLAP
# folder of its own.
clap=no
if [ -f build/win64/VornDelay2.clap ] && [ -f build/win32/VornDelay2.clap ]; then
  clap=yes
  parts+=("clap64|\$Clap64Dir|64-bit CLAP folder" "clap32|\$Clap32Dir|32-bit CLAP folder")
else
  echo "installer: no CLAP pages: build/win64 and build/win32 have no VornDelay2.clap"
fi

out=build/installer
stage=$out/stage
rm -rf "$stage"
mkdir -p "$stage/vst64" "$stage/vst32" "$stage/app"
cp -R "${vst64_files[@]}" "$stage/vst64/"
cp -R "${vst32_files[@]}" "$stage/vst32/"
cp "${app_files[@]}" "$stage/app/"
if [ "$clap" = yes ]; then
  mkdir -p "$stage/clap64" "$stage/clap32"
  cp build/win64/VornDelay2.clap "$stage/clap64/"
  cp build/win32/VornDelay2.clap "$stage/clap32/"
  x86_64-w64-mingw32-strip --strip-unneeded "$stage/clap64/VornDelay2.clap"
  i686-w64-mingw32-strip --strip-unneeded "$stage/clap32/VornDelay2.clap"
fi
# Text files with Windows line ends, so Notepad shows their lines.
for f in "${notices[@]}"; do
  name=$(basename "$f" .txt)
  sed 's/$/\r/' "$f" >"$stage/app/$name.txt"
done
for f in "$stage"/vst64/*.dll "$stage"/app/*.exe; do x86_64-w64-mingw32-strip --strip-unneeded "$f"; done
for f in "$stage"/vst32/*.dll; do i686-w64-mingw32-strip --strip-unneeded "$f"; done

# files.nsh: one macro installing every staged file and recording it (the
# uninstaller removes what the record lists), one calling a function for
# each part, and the staged files' size.
win() { local p=$1; echo "${p//\//\\}"; }
nsh=$stage/files.nsh
{
  echo "; Made by scripts/windows-installer.sh from the staging folder."
  [ "$clap" = no ] || echo "!define VORN_CLAP"
  echo "!macro InstallStagedFiles"
  for part in "${parts[@]}"; do
    IFS='|' read -r dir var _ <<<"$part"
    echo "  WriteINIStr \"\$INSTDIR\\\${RECORD}\" $dir Dir \"$var\""
    files=0 folders=0
    while read -r d; do
      sub=${d#.}
      sub=${sub#/}
      if [ -n "$sub" ]; then
        folders=$((folders + 1))
        echo "  WriteINIStr \"\$INSTDIR\\\${RECORD}\" $dir Folder$folders \"$(win "$sub")\""
        echo "  WriteINIStr \"\$INSTDIR\\\${RECORD}\" $dir Folders $folders"
        echo "  SetOutPath \"$var\\$(win "$sub")\""
      else
        echo "  SetOutPath \"$var\""
      fi
      while read -r f; do
        files=$((files + 1))
        rel=${sub:+$sub/}${f#./}
        echo "  File \"\${STAGE}\\$dir\\$(win "$rel")\""
        echo "  WriteINIStr \"\$INSTDIR\\\${RECORD}\" $dir File$files \"$(win "$rel")\""
        echo "  WriteINIStr \"\$INSTDIR\\\${RECORD}\" $dir Files $files"
      done < <(cd "$stage/$dir/$d" && find . -maxdepth 1 -type f | sort)
    done < <(cd "$stage/$dir" && find . -type d | sort)
  done
  echo "!macroend"
  echo "!macro ForEachPart function"
  for part in "${parts[@]}"; do
    IFS='|' read -r dir _ what <<<"$part"
    echo "  StrCpy \$R1 $dir"
    echo "  StrCpy \$R2 \"$what\""
    echo "  Call \${function}"
  done
  echo "!macroend"
  size=0
  while read -r bytes; do size=$((size + (bytes + 1023) / 1024)); done < <(find "$stage" -type f ! -name files.nsh -printf '%s\n')
  echo "!define STAGED_SIZE_KB $size"
} >"$nsh"

installer=$out/VornDelay2-$version-setup.exe
stage_win=$(cd "$stage" && pwd)
makensis -V2 -DSTAGE="$stage_win" -DVERSION="$version" -DOUTFILE="$(pwd)/$installer" \
  packaging/windows/installer.nsi
echo "installer: $installer ($(du -k "$installer" | cut -f1) KiB)"
