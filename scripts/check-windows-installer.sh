#!/usr/bin/env bash
# The Windows installer under wine, in a prefix of its own, as a user and an
# administrator use it; every case leaves the prefix as it found it:
# 1. the round trip: a foreign plug-in in each VST folder first, a silent
#    install (/S, /D for the installation folder, the default VST folders),
#    every staged file where it belongs, the uninstaller registered with an
#    EstimatedSize counting every installed file, vornhost.exe validate
#    --strictness 10 on each installed DLL, then a silent uninstall leaving
#    the prefix's files as they were before (the foreign plug-ins included);
# 2. the same folder for both VST folders (also spelt with a trailing
#    backslash) is refused: exit status 2, a message, nothing installed;
# 3. upgrades: a reinstall without /D stays in the folder of the first
#    install (no second copy), a reinstall into other folders removes the
#    earlier files (a foreign file in the old folder stays), and the
#    uninstall then leaves nothing;
#    With the CLAP builds staged, the two CLAP folders are held to the same:
#    a foreign plug-in in each, installed, refused as one, upgraded.
# 4. an uninstall whose settings key is gone and whose record names no
#    64-bit VST folder: it says it skipped that folder, removes everything
#    else it recorded, and a user's C:\VornDelay2.dll and
#    C:\VornDelay2-presets\Slapback.fxp are untouched.
# The installer is a 64-bit program (wine64); the 32-bit DLL is validated
# by the 32-bit vornhost.exe where this machine runs it, else that one step
# is skipped with the reason. Needs a display (xvfb-run) for the editor
# check.
#
#   check-windows-installer.sh   (after scripts/windows-installer.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
run=$root/scripts/wine-run.sh
out=build/installer
installer=$(ls "$out"/VornDelay2-*-setup.exe 2>/dev/null | head -1)
[ -f "$installer" ] || { echo "installer check: no installer (run scripts/windows-installer.sh)" >&2; exit 1; }
installer=$root/$installer
stage=$out/stage
prefix=$root/$out/wine-prefix
rm -rf "$prefix"
drive=$prefix/drive_c
fail() { echo "installer check: $*" >&2; exit 1; }
wine() { "$run" --prefix "$prefix" "$@"; }
# The silent uninstaller copies itself away and returns at once; the
# wineserver ends when the last program of the prefix has.
settle() { WINEPREFIX=$prefix /usr/lib/wine/wineserver -w 2>/dev/null || true; }

# Makes the prefix; the snapshot leaves out wine's own folders, which change as
# wine runs whatever is installed.
wine cmd /c exit 0 >/dev/null 2>&1 || true
snapshot() { (cd "$drive" && find . \( -path ./windows -o -path ./users -o -path ./ProgramData \) -prune -o -print | sort); }
unchanged() {
  snapshot >"$out/after.txt"
  if ! diff "$out/before.txt" "$out/after.txt" >"$out/left.txt"; then
    cat "$out/left.txt"
    fail "$1: files were left behind (or others removed)"
  fi
}
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VornDelay2'
settings='HKLM\Software\Fenmoor\Vorn Delay 2'
no_keys() {
  ! wine reg query "$key" >/dev/null 2>&1 || fail "$1: $key was left behind"
  ! wine reg query "$settings" >/dev/null 2>&1 || fail "$1: $settings was left behind"
}

vst64=$drive/'Program Files/VstPlugins'
vst32=$drive/'Program Files (x86)/VstPlugins'
clap64=$drive/'Program Files/Common Files/CLAP'
clap32=$drive/'Program Files (x86)/Common Files/CLAP'
# A plug-in of another vendor in each plug-in folder, before anything.
mkdir -p "$vst64" "$vst32"
echo foreign >"$vst64/Other.dll"
echo foreign >"$vst32/Other.dll"
clap=no
if [ -d "$stage/clap64" ]; then
  clap=yes
  mkdir -p "$clap64" "$clap32"
  echo foreign >"$clap64/Other.clap"
  echo foreign >"$clap32/Other.clap"
else
  echo "installer check: the CLAP cases were skipped: the installer has no CLAP builds"
fi
snapshot >"$out/before.txt"

# installed_part DIR TARGET: every staged file of DIR in TARGET, the same bytes.
installed_part() {
  local dir=$1 target=$2 f
  while IFS= read -r f; do
    f=${f#./}
    [ -f "$target/$f" ] || fail "the installer did not install ${target#"$drive"/}/$f"
    cmp -s "$stage/$dir/$f" "$target/$f" || fail "${target#"$drive"/}/$f is not the staged $dir/$f"
  done < <(cd "$stage/$dir" && find . -type f)
}
absent_part() {
  local dir=$1 target=$2 f
  while IFS= read -r f; do
    [ ! -e "$target/${f#./}" ] || fail "$3: ${target#"$drive"/}/${f#./} is still there"
  done < <(cd "$stage/$dir" && find . -type f)
}

# 1. The round trip. /D takes the folder unquoted, so a folder without
# spaces here (wine quotes an argument with spaces).
app=$drive/VornDelay2Test
wine "$installer" /S '/D=C:\VornDelay2Test' || fail "the silent install failed (status $?)"
installed_part vst64 "$vst64"
installed_part vst32 "$vst32"
installed_part app "$app"
if [ "$clap" = yes ]; then
  installed_part clap64 "$clap64"
  installed_part clap32 "$clap32"
fi
[ -f "$app/uninstall.exe" ] || fail "the installer wrote no uninstall.exe"
wine reg query "$key" /v UninstallString >"$out/reg.txt" 2>&1 || fail "no uninstaller registered under $key"
grep -q 'uninstall.exe' "$out/reg.txt" || fail "the registered uninstaller is not uninstall.exe: $(cat "$out/reg.txt")"
wine reg query "$key" /v EstimatedSize >"$out/reg.txt" 2>&1 || fail "no EstimatedSize under $key"
estimated=$(($(sed -n 's/.*REG_DWORD[[:space:]]*\(0x[0-9a-fA-F]*\).*/\1/p' "$out/reg.txt")))
folders=("$vst64" "$vst32" "$app")
[ "$clap" = no ] || folders+=("$clap64" "$clap32")
installed_kib=0
while read -r bytes; do installed_kib=$((installed_kib + (bytes + 1023) / 1024)); done < <(
  find "${folders[@]}" -type f ! -name 'Other.*' -printf '%s\n')
# Within a few KiB: NSIS rounds the sizes it measures down, the files above up.
[ "$estimated" -ge $((installed_kib - 4)) ] && [ "$estimated" -le $((installed_kib + 4)) ] ||
  fail "EstimatedSize is $estimated KiB; the installed files take $installed_kib KiB"
echo "case 1: installed $(find "${folders[@]}" -type f ! -name 'Other.*' | wc -l) files, the uninstaller registered, EstimatedSize $estimated KiB (files: $installed_kib KiB)"

# Each installed DLL passes every check at the highest strictness.
# validate DLL RUNNER...: the runner's vornhost.exe validates DLL.
validate() {
  local dll=$1 status=0 text
  shift
  text=$("$@" validate "$dll" --strictness 10 2>&1) || status=$?
  echo "$text" | tail -1
  case "$status:$text" in
    0:*" 0 failed, 0 skipped"*) ;;
    77:*) return 77 ;;
    *) echo "$text"; fail "validate of an installed DLL failed (status $status)" ;;
  esac
}
validate 'C:\Program Files\VstPlugins\VornDelay2.dll' wine "$app/vornhost.exe"
if why=$(./scripts/runs-32bit.sh --wine); then
  copy=$(mktemp -d "${TMPDIR:-/tmp}/vorn-installed32.XXXXXX")
  cp "$vst32/VornDelay2.dll" "$copy/"
  (cd "$copy" && WINEPREFIX=$root/build/win32/wine-prefix validate VornDelay2.dll "$run" "$root/build/win32/host/vornhost.exe")
  rm -rf "$copy"
else
  echo "installer check: validating the installed 32-bit DLL was skipped: $why"
fi

wine "$app/uninstall.exe" /S || fail "the silent uninstall failed (status $?)"
settle
unchanged "case 1, the uninstall"
no_keys "case 1, the uninstall"
echo "case 1: uninstalled without a trace; the foreign plug-ins stay"

# 2. One folder for both builds is refused, however it is spelt.
pairs=('/VST64=C:\SameVst|/VST32=C:\SameVst' '/VST64=C:\SameVst|/VST32=c:\samevst\')
[ "$clap" = no ] || pairs+=('/CLAP64=C:\SameClap|/CLAP32=C:\SameClap')
for pair in "${pairs[@]}"; do
  status=0
  text=$(wine "$installer" /S "${pair%%|*}" "${pair#*|}" '/D=C:\VornDelay2Same' 2>&1) || status=$?
  settle
  [ "$status" -eq 2 ] || fail "case 2: the install into one folder (${pair/|/ }) exited with status $status, not 2"
  grep -q "cannot share one folder" <<<"$text" || fail "case 2: no message for ${pair/|/ }: $text"
  unchanged "case 2, the refused install"
  no_keys "case 2, the refused install"
done
pairs_what="VST folders"
[ "$clap" = no ] || pairs_what="VST folders (and for both CLAP folders)"
echo "case 2: the same folder for both $pairs_what refused with status 2 and a message; nothing installed"

# 3. Upgrades. The first install into folders of its own, then one without
# /D (it stays there), then one into other folders (the first ones empty).
old=$drive/VornOld
new=$drive/VornNew
clap_old=() clap_new=()
if [ "$clap" = yes ]; then
  clap_old=('/CLAP64=C:\VornOld\Clap64' '/CLAP32=C:\VornOld\Clap32')
  clap_new=('/CLAP64=C:\VornNew\Clap64' '/CLAP32=C:\VornNew\Clap32')
fi
wine "$installer" /S '/VST64=C:\VornOld\Vst64' '/VST32=C:\VornOld\Vst32' "${clap_old[@]}" '/D=C:\VornOld\App' ||
  fail "case 3: the first install failed"
echo foreign >"$old/Vst64/Other.dll"
wine "$installer" /S || fail "case 3: the reinstall without /D failed"
[ ! -e "$drive/Program Files/Vorn Delay 2" ] || fail "case 3: the reinstall without /D made a second copy in Program Files"
installed_part vst64 "$old/Vst64"
installed_part app "$old/App"
wine reg query "$key" /v InstallLocation | grep -qF 'C:\VornOld\App' || fail "case 3: the entry does not point at C:\\VornOld\\App"
wine "$installer" /S '/VST64=C:\VornNew\Vst64' '/VST32=C:\VornNew\Vst32' "${clap_new[@]}" '/D=C:\VornNew\App' ||
  fail "case 3: the install into other folders failed"
installed_part vst64 "$new/Vst64"
installed_part vst32 "$new/Vst32"
installed_part app "$new/App"
if [ "$clap" = yes ]; then
  installed_part clap64 "$new/Clap64"
  installed_part clap32 "$new/Clap32"
fi
left=$(cd "$old" && find . -type f | sort | tr '\n' ' ')
[ "$left" = "./Vst64/Other.dll " ] || fail "case 3: the earlier installation left files behind: $left"
wine reg query "$key" /v InstallLocation | grep -qF 'C:\VornNew\App' || fail "case 3: the entry does not point at C:\\VornNew\\App"
wine "$new/App/uninstall.exe" /S || fail "case 3: the uninstall failed"
settle
rm -rf "$old"
# The parent the folders were made in is the user's; empty, it goes by hand.
rmdir "$new" || fail "case 3: the uninstall left files in C:\\VornNew: $(cd "$new" && find . -type f)"
unchanged "case 3, the uninstall after two upgrades"
no_keys "case 3, the uninstall after two upgrades"
echo "case 3: a reinstall without /D stays in C:\\VornOld\\App; one into other folders removes the old files (the foreign one stays); the uninstall leaves nothing"

# 4. The uninstaller without its settings key and with a record that names
# no 64-bit VST folder: nothing outside what it can prove it installed.
wine "$installer" /S '/D=C:\VornDelay2Test' || fail "case 4: the install failed"
wine reg delete "$settings" /f >/dev/null 2>&1 || fail "case 4: cannot delete $settings"
sed -i '/^\[vst64\]/,/^\[/{/^Dir=/d}' "$app/install.ini"
mkdir -p "$drive/VornDelay2-presets"
echo user >"$drive/VornDelay2.dll"
echo user >"$drive/VornDelay2-presets/Slapback.fxp"
# In place (_?=), so its messages reach this script: the copy a silent
# uninstaller starts of itself has no standard error. It cannot remove
# itself so; that goes by hand below.
text=$(wine "$app/uninstall.exe" /S '_?=C:\VornDelay2Test' 2>&1) || fail "case 4: the uninstall failed"
settle
grep -q "Skipped the 64-bit VST folder" <<<"$text" || fail "case 4: the uninstaller did not say it skipped the 64-bit VST folder: $text"
[ "$(cat "$drive/VornDelay2.dll")" = user ] && [ "$(cat "$drive/VornDelay2-presets/Slapback.fxp")" = user ] ||
  fail "case 4: the uninstaller deleted a user's files at the root of C:"
installed_part vst64 "$vst64"
absent_part vst32 "$vst32" "case 4"
if [ "$clap" = yes ]; then
  absent_part clap64 "$clap64" "case 4"
  absent_part clap32 "$clap32" "case 4"
fi
left=$(cd "$app" && ls)
[ "$left" = uninstall.exe ] || fail "case 4: the installation folder holds more than the uninstaller: $left"
rm -r "$app"
no_keys "case 4"
echo "case 4: without its settings key the uninstaller removed what it recorded, skipped the unrecorded 64-bit VST folder ("$(grep -o 'Skipped the 64-bit[^.]*' <<<"$text" | head -1)"), and left C:\\VornDelay2.dll and C:\\VornDelay2-presets alone"
rm -rf "$drive/VornDelay2.dll" "$drive/VornDelay2-presets"
(cd "$stage/vst64" && find . -type f) | while IFS= read -r f; do rm -f "$vst64/${f#./}"; done
rmdir "$vst64/VornDelay2-presets"
unchanged "case 4, after removing the skipped files by hand"

# The prefix (some 700 MB) is of no use afterwards.
WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$prefix"
echo "installer check: all four cases passed"
