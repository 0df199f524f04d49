#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/.

Run again after changing an input format; the files are committed so every
run starts from the same seeds."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MARKER = -1000.0
# slot: (default, minimum, maximum)
SLIDERS = {1: (4, 0, 23), 2: (500, 0, 4000), 3: (0, 0, 1), 4: (10, 0, 100), 5: (2000, 400, 4000),
           6: (0.05, 0, 1), 7: (1, 0, 1), 8: (0, 0, 1), 10: (0, -40, 10), 11: (0, -40, 10)}
SPECIALS = [math.nan, math.inf, -math.inf, 1e30, -1e30, 1e-40, 3.4e38]


def chunk(values=None, marker=MARKER, slots=64):
    v = [0.0] * 65
    v[0] = marker
    for s, (d, _, _) in SLIDERS.items():
        v[s] = d
    for s, x in (values or {}).items():
        v[s] = x
    return struct.pack("<%df" % (slots + 1), *v[: slots + 1])


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def state_seeds():
    write("state", "default", chunk())
    write("state", "minimum", chunk({s: lo for s, (_, lo, _) in SLIDERS.items()}))
    write("state", "maximum", chunk({s: hi for s, (_, _, hi) in SLIDERS.items()}))
    write("state", "tempo-sync-ping-pong", chunk({1: 23, 3: 1, 4: 100, 6: 1, 8: 1}))
    write("state", "marker-only", struct.pack("<f", MARKER))
    write("state", "short", chunk(slots=5))
    write("state", "long", chunk() + chunk())
    write("state", "no-marker", chunk(marker=0.0))
    write("state", "empty", b"")
    for k, x in enumerate(SPECIALS):
        write("state", "special-%d" % k, chunk({1 + (3 * k) % 11: x}))
    for s, (_, lo, hi) in SLIDERS.items():
        span = hi - lo
        write("state", "outside-%d" % s, chunk({s: hi + span if s % 2 else lo - span}))


# fxp: the big-endian program file around a chunk or a parameter list.
def fxp(kind, body, count=10, unique=b"VRD2", name=b"Default"):
    data = b"CcnK" + struct.pack(">I", 0) + kind + struct.pack(">I", 1) + unique
    data += struct.pack(">II", 1, count) + name.ljust(28, b"\0")[:28]
    if kind in (b"FPCh", b"FBCh"):
        data += struct.pack(">I", len(body))
    data += body
    return data[:4] + struct.pack(">I", len(data) - 8) + data[8:]


def fxp_seeds(unique):
    write("fxp", "chunk", fxp(b"FPCh", chunk(), unique=unique))
    write("fxp", "chunk-nan-dry", fxp(b"FPCh", chunk({10: math.nan}), unique=unique))
    write("fxp", "chunk-huge-wet", fxp(b"FPCh", chunk({11: 1e30}), unique=unique))
    write("fxp", "params", fxp(b"FxCk", struct.pack(">10f", *([0.5] * 10)), unique=unique))
    write("fxp", "params-outside", fxp(b"FxCk", struct.pack(">10f", *([1.5] * 10)), unique=unique))
    write("fxp", "other-plugin", fxp(b"FPCh", chunk(), unique=b"Othr"))
    write("fxp", "bank", fxp(b"FBCh", chunk(), unique=unique))
    write("fxp", "truncated", fxp(b"FPCh", chunk(), unique=unique)[:40])
    write("fxp", "header-only", fxp(b"FPCh", b"", unique=unique))
    write("fxp", "marker-only", fxp(b"FPCh", struct.pack("<f", MARKER), unique=unique))
    write("fxp", "long-name", fxp(b"FPCh", chunk(), unique=unique, name=b"N" * 40))
    write("fxp", "params-nan", fxp(b"FxCk", struct.pack(">10f", *([math.nan] + [0.5] * 9)), unique=unique))
    write("fxp", "params-count", fxp(b"FxCk", struct.pack(">9f", *([0.5] * 9)), count=9, unique=unique))
    bad_size = bytearray(fxp(b"FPCh", chunk(), unique=unique))
    bad_size[7] ^= 1
    write("fxp", "size-field-off", bytes(bad_size))
    for k, x in enumerate(SPECIALS):
        write("fxp", "chunk-special-%d" % k, fxp(b"FPCh", chunk({1 + (5 * k) % 11: x}), unique=unique))


if __name__ == "__main__":
    import sys
    state_seeds()
    fxp_seeds(sys.argv[1].encode() if len(sys.argv) > 1 else b"VRD2")
