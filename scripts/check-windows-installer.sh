#!/usr/bin/env bash
# The Windows installer's round trip under wine, in a prefix of its own:
# a silent install (/S, with /D for the installation folder and the default
# VST folders), every staged file where it belongs and the uninstaller
# registered, vornhost.exe validate --strictness 10 on each installed DLL,
# then a silent uninstall that leaves the prefix's files as they were
# before. The installer is a 64-bit program (wine64); the 32-bit DLL is
# validated by the 32-bit vornhost.exe where this machine runs it, else
# that one step is skipped with the reason. Needs a display (xvfb-run) for
# the editor check.
#
#   check-windows-installer.sh   (after scripts/windows-installer.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
run=$root/scripts/wine-run.sh
out=build/installer
installer=$(ls "$out"/VornDelay2-*-setup.exe 2>/dev/null | head -1)
[ -f "$installer" ] || { echo "installer check: no installer (run scripts/windows-installer.sh)" >&2; exit 1; }
stage=$out/stage
prefix=$root/$out/wine-prefix
rm -rf "$prefix"
drive=$prefix/drive_c
fail() { echo "installer check: $*" >&2; exit 1; }

# Makes the prefix; the snapshot leaves out wine's own folders, which change as
# wine runs whatever is installed.
"$run" --prefix "$prefix" cmd /c exit 0 >/dev/null 2>&1 || true
snapshot() { (cd "$drive" && find . \( -path ./windows -o -path ./users -o -path ./ProgramData \) -prune -o -print | sort); }
snapshot >"$out/before.txt"

# /D takes the folder unquoted, so a folder without spaces here (wine quotes
# an argument with spaces).
app_win='C:\VornDelay2Test'
app=$drive/VornDelay2Test
vst64=$drive/'Program Files/VstPlugins'
vst32=$drive/'Program Files (x86)/VstPlugins'
"$run" --prefix "$prefix" "$installer" /S "/D=$app_win" || fail "the silent install failed (status $?)"

# Every staged file where it belongs (the same bytes), and the uninstaller.
expected=("$app/uninstall.exe")
for part in "vst64:$vst64" "vst32:$vst32" "app:$app"; do
  dir=${part%%:*} target=${part#*:}
  while IFS= read -r f; do
    f=${f#./}
    [ -f "$target/$f" ] || fail "the installer did not install ${target#"$drive"/}/$f"
    cmp -s "$stage/$dir/$f" "$target/$f" || fail "${target#"$drive"/}/$f is not the staged $dir/$f"
    expected+=("$target/$f")
  done < <(cd "$stage/$dir" && find . -type f)
done
[ -f "$app/uninstall.exe" ] || fail "the installer wrote no uninstall.exe"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VornDelay2'
"$run" --prefix "$prefix" reg query "$key" /v UninstallString >"$out/reg.txt" 2>&1 ||
  fail "no uninstaller registered under $key"
grep -q 'uninstall.exe' "$out/reg.txt" || fail "the registered uninstaller is not uninstall.exe: $(cat "$out/reg.txt")"
echo "installed: ${#expected[@]} files, the uninstaller registered"

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
validate 'C:\Program Files\VstPlugins\VornDelay2.dll' "$run" --prefix "$prefix" "$app/vornhost.exe"
if why=$(./scripts/runs-32bit.sh --wine); then
  copy=$(mktemp -d "${TMPDIR:-/tmp}/vorn-installed32.XXXXXX")
  cp "$vst32/VornDelay2.dll" "$copy/"
  (cd "$copy" && WINEPREFIX=$root/build/win32/wine-prefix validate VornDelay2.dll "$run" "$root/build/win32/host/vornhost.exe")
  rm -rf "$copy"
else
  echo "installer check: validating the installed 32-bit DLL was skipped: $why"
fi

# The silent uninstaller copies itself away and returns at once; wait for
# its copy to finish.
"$run" --prefix "$prefix" "$app/uninstall.exe" /S || fail "the silent uninstall failed (status $?)"
for _ in $(seq 1 60); do
  [ -e "$app" ] || break
  sleep 1
done
WINEPREFIX=$prefix /usr/lib/wine/wineserver -w 2>/dev/null || true
snapshot >"$out/after.txt"
if ! diff "$out/before.txt" "$out/after.txt" >"$out/left.txt"; then
  cat "$out/left.txt"
  fail "the uninstaller left files behind (or removed others)"
fi
if "$run" --prefix "$prefix" reg query "$key" >/dev/null 2>&1; then
  fail "the uninstaller left $key behind"
fi
# The prefix (some 700 MB) is of no use afterwards.
WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$prefix"
echo "installer round trip: installed, validated, uninstalled without a trace"
