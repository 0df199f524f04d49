#!/usr/bin/env bash
# Makes the Debian package from the Release tree with CPack and checks it:
# the files a user expects where hosts look for them, dependencies computed
# from the binaries, nothing outside /usr, the man page's sections and
# width, and lintian --pedantic -I with no tag but the ones listed below.
# Builds build/release first where it is missing.
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
# The CLAP plug-in, where this tree builds it.
if [ -f "$build/VornDelay2.clap" ]; then
  grep -qxF ./usr/lib/clap/VornDelay2.clap <<<"$contents" || fail "$(basename "$deb") has no /usr/lib/clap/VornDelay2.clap"
else
  echo "deb: the CLAP check was skipped: $build has no VornDelay2.clap"
fi
outside=$(grep -v -e '^\./$' -e '^\./usr/' <<<"$contents" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
depends=$(dpkg-deb --field "$deb" Depends)
for lib in libc6 libstdc++6 libcairo2 libx11-6 libsndfile1; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends ($depends) does not name $lib"
done
version=$(dpkg-deb --field "$deb" Version)
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/vorn-delay-2/changelog.gz | gzip -dc | head -1 |
  grep -qF "($version)" || fail "the changelog's first entry is not version $version"

# No factory bank: the plug-in has one program (see the README).
! grep -q '\.fxb$' <<<"$contents" || fail "$(basename "$deb") ships a .fxb bank"

# The man page: the sections a reader looks for, and no line wider than an
# 80-column terminal.
man=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man1/vornhost.1.gz | gzip -dc)
for section in "EXIT STATUS" ENVIRONMENT FILES EXAMPLES; do
  grep -q "^\.SH \"\?$section\"\?\$" <<<"$man" || fail "the man page has no $section section"
done
wide=$(MANWIDTH=80 man -l - <<<"$man" 2>&1 | awk 'length > 80' | head -3)
[ -z "$wide" ] || fail "the man page has lines over 80 columns: $wide"

# lintian, pedantic and with its informational tags: any tag not listed here
# fails, each listed one with the reason it stays.
allowed=(
  # CLI11's own message text, compiled into vornhost; not ours to correct.
  "spelling-error-in-binary characteters characters [usr/bin/vornhost]"
)
report=$(lintian --pedantic -I --tag-display-limit 0 "$deb" 2>&1 | grep -E '^[EWIPX]: ') || true
unexpected=$(grep -v -F -x -f <(printf 'I: vorn-delay-2: %s\n' "${allowed[@]}"; printf 'W: vorn-delay-2: %s\n' "${allowed[@]}") <<<"$report" || true)
[ -n "$report" ] && sed 's/^/  /' <<<"$report"
[ -z "$unexpected" ] || fail "lintian tags not allowed in scripts/deb.sh: $unexpected"
echo "deb: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB), Depends: $depends; lintian --pedantic -I: $(grep -c . <<<"$report" || true) tags, all allowed"
