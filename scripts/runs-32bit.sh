#!/usr/bin/env bash
# Answers whether this machine runs 32-bit x86 programs (some kernels are
# built without them): exit status 0 when it does; otherwise 1, with the
# reason on standard output. It runs a tiny 32-bit program and checks its
# result, so the answer does not rest on the kernel's name or settings.
#
#   scripts/runs-32bit.sh [--wine]   with --wine, also wine's 32-bit loader
set -uo pipefail

# A complete static 32-bit ELF program of 96 bytes: the file header, one
# loadable segment (the whole file at 0x08048000) and the code
#   mov $1, %eax; mov $42, %ebx; int $0x80      (exit(42))
elf='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
elf+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
elf+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
elf+='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
elf+='\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
elf+='\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'

probe=$(mktemp "${TMPDIR:-/tmp}/runs-32bit.XXXXXX") || exit 1
trap 'rm -f "$probe"' EXIT
printf "$elf" >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
status=$?
if [ "$status" -ne 42 ]; then
  echo "this machine does not run 32-bit programs (a 32-bit test program gave status $status, not 42)"
  exit 1
fi
if [ "${1:-}" = "--wine" ] && [ ! -x /usr/lib/wine/wine ]; then
  echo "wine's 32-bit loader is not installed (scripts/setup.sh installs wine32:i386 where it can and says why where it cannot)"
  exit 1
fi
exit 0
