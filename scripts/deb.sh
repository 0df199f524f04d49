#!/usr/bin/env bash
# Makes the Debian package from the Release tree with CPack and checks it:
# the files a user expects where hosts look for them, dependencies computed
# from the binaries, nothing outside /usr, and lintian without errors (its
# warnings are printed). Builds build/release first where it is missing.
#
#   scripts/deb.sh      -> build/release/packages/vorn-delay-2_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
for tool in cpack dpkg-shlibdeps help2man lintian; do
  command -v "$tool" >/dev/null || { echo "deb: $tool is missing (scripts/setup.sh test installs it)" >&2; exit 1; }
done
cmake --build "$build" -j "$(nproc)"
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; echo "deb: cpack failed" >&2; exit 1; }
debs=("$build"/packages/vorn-delay-2_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "deb: cpack made no vorn-delay-2_*.deb" >&2; exit 1; }
deb=${debs[0]}

fail() { echo "deb: $*" >&2; exit 1; }
contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
for f in ./usr/lib/vst/VornDelay2.so ./usr/lib/lv2/VornDelay2.lv2/VornDelay2.so \
  ./usr/lib/lv2/VornDelay2.lv2/manifest.ttl ./usr/lib/lv2/VornDelay2.lv2/VornDelay2.ttl \
  ./usr/lib/lv2/VornDelay2.lv2/VornDelay2_ui.ttl ./usr/bin/vornhost ./usr/share/man/man1/vornhost.1.gz \
  ./usr/share/doc/vorn-delay-2/copyright ./usr/share/doc/vorn-delay-2/changelog.gz; do
  grep -qxF "$f" <<<"$contents" || fail "$(basename "$deb") has no ${f#.}"
done
outside=$(grep -v -e '^\./$' -e '^\./usr/' <<<"$contents" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
depends=$(dpkg-deb --field "$deb" Depends)
for lib in libc6 libstdc++6 libcairo2 libx11-6 libsndfile1; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends ($depends) does not name $lib"
done
version=$(dpkg-deb --field "$deb" Version)
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/vorn-delay-2/changelog.gz | gzip -dc | head -1 |
  grep -qF "($version)" || fail "the changelog's first entry is not version $version"

# lintian: errors fail; warnings are listed. The one expected is
# maintscript-calls-ldconfig: CPack adds an ldconfig call to postinst and
# postrm for any shared object under /usr/lib, the plug-ins in /usr/lib/vst
# and /usr/lib/lv2 included, though no program links them; harmless.
report=$(lintian --no-tag-display-limit --info "$deb" 2>&1) || true
errors=$(grep -c '^E: ' <<<"$report" || true)
warnings=$(grep -c '^W: ' <<<"$report" || true)
grep -E '^(E|W): ' <<<"$report" | sed 's/^/  /' || true
[ "$errors" -eq 0 ] || fail "lintian found $errors errors in $(basename "$deb")"
echo "deb: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB), Depends: $depends; lintian: 0 errors, $warnings warnings"
