#!/usr/bin/env bash
# The bundle in a real LV2 host: jalv.gtk3 on JACK's dummy driver, on the
# display this runs on (CTest starts it under its own Xvfb). It checks that
# jalv shows our editor (our window, 500 × 480, looking like our editor, not
# jalv's generic controls) and that a control set through jalv reaches the
# sound: with a sine flowing in and the delay at 20 ms, the meter output
# moves. Usage: jalv_check.sh LV2_FOLDER REFERENCE_PNG [SCREENSHOT_PNG]
# Only the given folder is searched for plug-ins; HOME and the JACK server
# are its own.
set -euo pipefail
[ -n "${JALV_CHECK_TRACE:-}" ] && PS4='+ $SECONDS s: ' && set -x
lv2=$1
reference=$2
screenshot=${3:-}
work=$(mktemp -d)
pids=()
finish() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  # jalv may take its time over a polite end; what is left after 2 s is ended.
  for _ in $(seq 20); do
    alive=0
    for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    [ $alive = 0 ] && break
    sleep 0.1
  done
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work
# One server name for every run: JACK keeps a registry of server names in
# shared memory, and a name per run fills it after a few killed servers
# ("Too many servers already active"); a dead server of this name is reused.
export JACK_DEFAULT_SERVER=vorn-jalv-check JACK_NO_AUDIO_RESERVATION=1 LV2_PATH=$lv2
fail() {
  echo "jalv check: $*" >&2
  [ -f "$work/jalv.log" ] && tail -n 20 "$work/jalv.log" >&2
  exit 1
}

jackd --no-realtime -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
pids+=($!)
jack_wait -w -t 10 >/dev/null 2>&1 || fail "the JACK server did not start"

# Line-buffered, so each printed control value is in the log at once.
stdbuf -oL jalv.gtk3 --print-controls -c delay=20 urn:fenmoor:vorn-delay-2 >"$work/jalv.log" 2>&1 &
pids+=($!)
window=
for _ in $(seq 100); do
  window=$(xwininfo -root -tree 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "Plugin0x[0-9a-f]*": .* 500x480+.*/\1/p' | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "jalv shows no editor of ours"

jack_simple_client >"$work/sine.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  jack_lsp 2>/dev/null | grep -q '^jack_simple_client:output1$' && break
  sleep 0.1
done
jack_connect jack_simple_client:output1 "Vorn Delay 2:in_l" || fail "cannot connect the sine"
jack_connect jack_simple_client:output2 "Vorn Delay 2:in_r" || fail "cannot connect the sine"
moved=
for _ in $(seq 100); do
  if grep -Eq '^meter = 0\.0*[1-9]' "$work/jalv.log"; then
    moved=1
    break
  fi
  sleep 0.1
done
[ -n "$moved" ] || fail "the meter never moved"
grep -q '^delay = 20\.0' "$work/jalv.log" || fail "jalv did not set the delay"

# The comparison, kept for the captures below.
cat >"$work/compare.py" <<'PY'
import struct, sys, zlib

def read_xwd(path):
    d = open(path, 'rb').read()
    h = struct.unpack('>25I', d[:100])
    header, fmt, depth, w, hgt = h[0], h[2], h[3], h[4], h[5]
    bpp, line, ncolors = h[11], h[12], h[19]
    if fmt != 2 or bpp != 32:
        sys.exit('jalv check: unexpected capture format')
    msb = h[7] == 1
    at = header + ncolors * 12
    rows = []
    for y in range(hgt):
        row = bytearray()
        for x in range(w):
            p = d[at + y * line + 4 * x: at + y * line + 4 * x + 4]
            v = struct.unpack('>I' if msb else '<I', p)[0]
            row += bytes(((v >> 16) & 255, (v >> 8) & 255, v & 255))
        rows.append(bytes(row))
    return w, hgt, rows

def read_png(path):
    d = open(path, 'rb').read()
    at, idat, w = 8, b'', 0
    while at < len(d):
        n, kind = struct.unpack('>I4s', d[at:at + 8])
        body = d[at + 8: at + 8 + n]
        if kind == b'IHDR':
            w, hgt, bits, color = struct.unpack('>IIBB', body[:10])
            channels = {2: 3, 6: 4}[color]
        elif kind == b'IDAT':
            idat += body
        at += 12 + n
    raw, stride, rows, prev = zlib.decompress(idat), w * channels, [], bytearray(w * channels)
    for y in range(hgt):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b, c = prev[i], prev[i - channels] if i >= channels else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        rows.append(bytes(line[j] for j in range(stride) if channels == 3 or j % 4 != 3))
    return w, hgt, rows

def write_png(path, w, hgt, rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    raw = b''.join(b'\0' + r for r in rows)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, hgt, 8, 2, 0, 0, 0))
    open(path, 'wb').write(png + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))

w, hgt, shot = read_xwd(sys.argv[1])
rw, rh, ref = read_png(sys.argv[2])
if (w, hgt) != (rw, rh):
    sys.exit('jalv check: the editor is %dx%d, ours is %dx%d' % (w, hgt, rw, rh))
# The same picture as our editor's, give or take the moving meter.
same = sum(1 for y in range(hgt) for x in range(w)
           if max(abs(shot[y][3 * x + k] - ref[y][3 * x + k]) for k in range(3)) <= 24)
share = same / (w * hgt)
write_png(sys.argv[3], w, hgt, shot)
if share < 0.95:
    print('jalv check: the editor shown matches ours in only %.1f%% of its pixels' % (100 * share))
    sys.exit(3)
print('jalv check: our editor, %.1f%% of its pixels as in our own capture' % (100 * share))
PY
# Captured until the window shows our editor's picture (it is black until
# the first paint); a format or size that is not ours fails at once.
shown=
for _ in $(seq 100); do
  xwd -silent -id "$window" >"$work/editor.xwd" || fail "cannot capture the editor"
  status=0
  python3 "$work/compare.py" "$work/editor.xwd" "$reference" "${screenshot:-$work/editor.png}" >"$work/compare.log" || status=$?
  if [ $status = 0 ]; then
    shown=1
    break
  fi
  [ $status = 3 ] || { cat "$work/compare.log" >&2; exit 1; }
  sleep 0.1
done
cat "$work/compare.log"
[ -n "$shown" ] || exit 1
echo "jalv check: the delay set through jalv and a sine in move the meter output"
