#!/usr/bin/env bash
# The CLAP plug-in in a real host: Qtractor.
#
#   qtractor_check.sh scan   CLAP_FILE SCANNER
#   qtractor_check.sh render CLAP_FILE STANDIN VORNHOST VST_FILE
#
# scan: Qtractor's own plug-in scanner reads "CLAP:<path>" and prints one
# line per plug-in; ours must show its stereo ports, its eleven parameters
# and an editor (GUI) with state (EXT).
#
# render: a session written here puts the plug-in on an audio track holding
# a short burst, with a 300 ms delay and no feedback in the plug-in's stored
# state, which is where Qtractor keeps its settings. The state is the one the
# VST build saves (vornhost --save-state): state moves between the formats.
# Qtractor runs headless (Qt's offscreen platform) on JACK's dummy driver;
# the master out is recorded with jack_rec while jack_transport plays, and
# the echo must follow the dry burst by the state's delay on both sides.
# STANDIN is the preloaded stand-in for the ALSA sequencer, which Qtractor
# needs to start and which machines without sound hardware lack.
#
# HOME, the configuration, the runtime folder and the JACK server are the
# check's own; no other plug-in is scanned or loaded.
set -euo pipefail
[ -n "${QTRACTOR_CHECK_TRACE:-}" ] && PS4='+ $SECONDS s: ' && set -x
mode=$1
clap=$(realpath "$2")

fail() {
  echo "qtractor check ($mode): $*" >&2
  [ -n "${work:-}" ] && [ -f "$work/qtractor.log" ] && tail -n 20 "$work/qtractor.log" >&2
  exit 1
}

if [ "$mode" = scan ]; then
  scanner=$3
  line=$(printf 'CLAP:%s\n' "$clap" | timeout 60 "$scanner" 2>/dev/null | grep '^CLAP|' || true)
  [ -n "$line" ] || fail "the scanner lists nothing for $clap"
  echo "$line"
  IFS='|' read -r _ name audio midi params flags path index _ <<<"$line"
  [ "$name" = "Vorn Delay 2" ] || fail "name '$name'"
  [ "$audio" = "2:2" ] || fail "audio ports '$audio', expected 2:2"
  [ "$midi" = "0:0" ] || fail "MIDI ports '$midi', expected 0:0"
  [ "$params" = "11:0" ] || fail "parameters '$params', expected 11:0 (ten and the bypass)"
  for flag in GUI EXT; do
    [[ ",$flags," == *",$flag,"* ]] || fail "flags '$flags' lack $flag"
  done
  [ "$path" = "$clap" ] || fail "path '$path'"
  [ "$index" = 0 ] || fail "index '$index'"
  exit 0
fi

[ "$mode" = render ] || fail "unknown mode"
standin=$(realpath "$3")
vornhost=$4
vst=$5
delay_ms=300

work=$(mktemp -d)
pids=()
finish() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -KILL "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data
export XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# One server name for every run, as the jalv check does: JACK keeps a registry
# of names, and a dead server of this name is reused.
export JACK_DEFAULT_SERVER=vorn-qtractor-check JACK_NO_AUDIO_RESERVATION=1
rate=48000

# A 20 ms burst of 1 kHz at the start of two seconds.
python3 - "$work/burst.wav" "$rate" <<'PY'
import math, struct, sys, wave
rate = int(sys.argv[2])
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2)
    w.setsampwidth(2)
    w.setframerate(rate)
    burst = int(rate * 0.02)
    samples = bytearray()
    for i in range(rate * 2):
        v = int(16000 * math.sin(2 * math.pi * 1000 * i / rate)) if i < burst else 0
        samples += struct.pack("<hh", v, v)
    w.writeframes(bytes(samples))
PY
"$vornhost" render "$work/burst.wav" "$work/vst.wav" "$vst" -p "Delay [ms]=$delay_ms" -p "Feedback [%]=0" \
  --tail 0 --save-state "$work/state.fxp" >"$work/vornhost.log" 2>&1 || fail "vornhost: $(cat "$work/vornhost.log")"

# The session: the burst on a track through the plug-in, the state as
# Qtractor stores it (qCompress: the length in four big-endian bytes, then
# zlib; in base64).
python3 - "$clap" "$work" "$rate" <<'PY'
import base64, struct, sys, zlib
clap, work, rate = sys.argv[1], sys.argv[2], int(sys.argv[3])
data = open(work + "/state.fxp", "rb").read()
# A chunk program file: the 260-byte chunk follows its 60-byte header.
if data[:4] == b"CcnK" and data[8:12] == b"FPCh":
    size = struct.unpack(">I", data[56:60])[0]
    data = data[60:60 + size]
if len(data) != 260:
    sys.exit("state: %d bytes, not a chunk" % len(data))
stored = base64.b64encode(struct.pack(">I", len(data)) + zlib.compress(data)).decode()
frames = rate * 2
session = f"""<!DOCTYPE qtractorSession>
<session version="Qtractor 0.9.31" name="vorn">
 <properties>
  <directory>{work}</directory>
  <sample-rate>{rate}</sample-rate>
  <tempo>120</tempo>
  <ticks-per-beat>960</ticks-per-beat>
  <beats-per-bar>4</beats-per-bar>
  <beat-divisor>2</beat-divisor>
 </properties>
 <files>
  <audio-list><file name="burst">burst.wav</file></audio-list>
 </files>
 <devices>
  <audio-engine>
   <audio-control><transport-mode>duplex</transport-mode><timebase>1</timebase></audio-control>
   <audio-bus mode="duplex" name="Master"><channels>2</channels><auto-connect>0</auto-connect></audio-bus>
  </audio-engine>
 </devices>
 <tracks>
  <track type="audio" name="Echo">
   <properties><input-bus>Master</input-bus><output-bus>Master</output-bus></properties>
   <state><mute>0</mute><solo>0</solo><record>0</record><monitor>0</monitor><gain>1</gain><panning>0</panning></state>
   <clips>
    <clip name="burst">
     <properties><name>burst</name><start>0</start><offset>0</offset><length>{frames}</length><gain>1</gain></properties>
     <audio-clip><filename>burst.wav</filename></audio-clip>
    </clip>
   </clips>
   <plugins>
    <plugin type="CLAP">
     <filename>{clap}</filename>
     <index>0</index>
     <label>Vorn_Delay_2</label>
     <activated>1</activated>
     <configs><config key="state">{stored}</config></configs>
    </plugin>
   </plugins>
  </track>
 </tracks>
</session>
"""
open(work + "/vorn.qtr", "w").write(session)
PY

jackd --no-realtime -d dummy -r "$rate" -p 1024 >"$work/jackd.log" 2>&1 &
pids+=($!)
jack_wait -w -t 10 >/dev/null 2>&1 || fail "the JACK server did not start"

wait_for_port() {
  for _ in $(seq 200); do
    jack_lsp 2>/dev/null | grep -qx "$1" && return 0
    sleep 0.1
  done
  fail "no JACK port $1"
}

LD_PRELOAD=$standin qtractor "$work/vorn.qtr" >"$work/qtractor.log" 2>&1 &
pids+=($!)
wait_for_port "Qtractor:Master/out_2"

jack_rec -f "$work/master.wav" -d 3 Qtractor:Master/out_1 Qtractor:Master/out_2 >"$work/rec.log" 2>&1 &
recorder=$!
pids+=($recorder)
wait_for_port "jackrec:input2"
printf 'locate 0\nplay\n' | timeout 10 jack_transport >/dev/null 2>&1 || fail "jack_transport did not play"
wait "$recorder" || fail "jack_rec failed: $(cat "$work/rec.log")"

# Each side: the burst and its echo; the gap between their ends is the
# state's delay (the left line is 0.23 ms early and the right one as late).
# The ends, not the onsets: Qtractor ramps its first period of playback in,
# which moves the burst's onset past the threshold by some milliseconds.
# An end comes up to 1.1 ms late where the echo's filters ring on.
# The VST build's render of the same burst and settings is measured alike.
python3 - "$delay_ms" "$work/vst.wav" "$work/master.wav" <<'PY' || fail "the echo is not where the state puts it"
import array, sys, wave


def check(path, expected):
    w = wave.open(path)
    rate, channels, width = w.getframerate(), w.getnchannels(), w.getsampwidth()
    raw = w.readframes(w.getnframes())
    if width == 2:
        samples, full = array.array("h", raw), 32768.0
    elif width == 4:
        samples, full = array.array("i", raw), 2147483648.0
    else:
        sys.exit("%s: %d-byte samples" % (path, width))
    ok = True
    for side in range(channels):
        x = samples[side::channels]
        onsets, ends, last = [], [], None
        for i, v in enumerate(x):
            if abs(v) / full > 0.05:
                if last is None or i - last > rate // 20:
                    onsets.append(i)
                    ends.append(i)
                last = ends[-1] = i
        times = [1000.0 * o / rate for o in onsets]
        ended = [1000.0 * e / rate for e in ends]
        name = path.rsplit("/", 1)[-1]
        print("%s, side %d: bursts at %s ms, ending at %s ms" % (
            name, side, ", ".join("%.2f" % t for t in times), ", ".join("%.2f" % t for t in ended)))
        if len(onsets) != 2 or abs(ended[1] - ended[0] - expected) > 1.5:
            ok = False
    return ok


expected = float(sys.argv[1])
results = [check(path, expected) for path in sys.argv[2:]]
sys.exit(0 if all(results) else 1)
PY
echo "qtractor check: the echo follows the burst by ${delay_ms} ms"
