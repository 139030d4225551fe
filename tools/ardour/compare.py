#!/usr/bin/env python3
"""Compares what Ardour produced with what our test host produces.

  compare.py render ARDOUR.wav VSTHOST.wav   renders, sample by sample
  compare.py params ARDOUR.txt VSTHOST.txt   parameter values (Ardour's i=v lines
                                             against `vsthost params`)
  compare.py names ARDOUR.txt VSTHOST.txt    parameter names (Ardour's i=name lines
                                             against `vsthost params`)
  compare.py chunk ARDOUR.b64 VSTHOST.bin    the chunk Ardour saved against ours

Prints what it compared; exits 1 on a mismatch.

Renders agree when every sample is within float32 rounding of ours: at most
2^-22 of the larger magnitude (two to four units in the last place) or 2^-30
absolute near silence. They are not expected to be bit-identical: the
plug-in's output carries its history since the last resume at the level of the
last bit (the anti-denormal offsets alternate sign every sample), and Ardour
runs the plug-in on silence for a span of its own choosing before the export
(our host runs a second of silence first, so that the detectors start the
signal settled as they do in Ardour).
"""
import base64
import math
import re
import struct
import sys

REL_TOL = 2.0 ** -22
ABS_TOL = 2.0 ** -30


def read_wav(path):
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise SystemExit(f"FAIL {path} is not a WAV file")
    pos, fmt, body = 12, None, None
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        chunk = data[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            fmt = struct.unpack("<HHIIHH", chunk[:16])
            if fmt[0] == 0xFFFE and len(chunk) >= 26:
                fmt = (struct.unpack("<H", chunk[24:26])[0],) + fmt[1:]
        elif cid == b"data":
            body = chunk
        pos += 8 + size + (size & 1)
    if not fmt or body is None or fmt[0] != 3 or fmt[5] != 32:
        raise SystemExit(f"FAIL {path} is not 32-bit float")
    channels, rate = fmt[1], fmt[2]
    frames = len(body) // (4 * channels)
    samples = struct.unpack(f"<{frames * channels}f", body[:frames * channels * 4])
    return rate, [samples[c::channels] for c in range(channels)]


def ulps(a, b):
    ia = struct.unpack("<i", struct.pack("<f", a))[0]
    ib = struct.unpack("<i", struct.pack("<f", b))[0]
    if (ia < 0) != (ib < 0):
        return abs(ia & 0x7FFFFFFF) + abs(ib & 0x7FFFFFFF)
    return abs(ia - ib)


def render(ardour_path, ours_path):
    rate_a, a = read_wav(ardour_path)
    rate_o, o = read_wav(ours_path)
    frames = len(a[0])
    print(f"compared: {ardour_path} ({len(a)} ch, {rate_a} Hz, {frames} frames)")
    print(f"    with: {ours_path} ({len(o)} ch, {rate_o} Hz, {len(o[0])} frames)")
    if rate_a != rate_o or len(a) != 2 or len(o) != 2 or len(o[0]) != frames:
        print("FAIL the renders differ in rate, channels or length")
        return 1
    worst_abs, worst_ulp, identical, outside, peak = 0.0, 0, 0, 0, 0.0
    first_outside = None
    for c in range(2):
        for k, (x, y) in enumerate(zip(a[c], o[c])):
            peak = max(peak, abs(y))
            if x == y:
                identical += 1
                continue
            if math.isnan(x) or math.isnan(y):
                outside += 1
                first_outside = first_outside or (c, k, x, y)
                continue
            d = abs(x - y)
            worst_abs = max(worst_abs, d)
            worst_ulp = max(worst_ulp, ulps(x, y))
            if d > max(REL_TOL * max(abs(x), abs(y)), ABS_TOL):
                outside += 1
                first_outside = first_outside or (c, k, x, y)
    total = 2 * frames
    print(f"  peak {peak:.6f}; bit-identical samples {identical} of {total}; "
          f"max abs difference {worst_abs:.3e}; max {worst_ulp} ulp")
    if peak < 1e-3:
        print("FAIL our render is silent")
        return 1
    if outside:
        c, k, x, y = first_outside
        print(f"FAIL {outside} samples differ by more than float32 rounding; "
              f"first: channel {c} frame {k}: Ardour {x!r}, ours {y!r}")
        return 1
    print("ok Ardour's render matches ours to within float32 rounding")
    return 0


def per_parameter(ardour_path, vsthost_path, pattern, convert, what, verb):
    """Ardour's i=x lines against the matching `vsthost params` lines."""
    ardour = {}
    for line in open(ardour_path):
        line = line.rstrip("\n")
        if "=" in line:
            i, x = line.split("=", 1)
            ardour[int(i)] = convert(x)
    ours = {}
    for line in open(vsthost_path):
        m = re.match(pattern, line)
        if m:
            ours[int(m.group(1))] = convert(m.group(2))
    differ = [i for i in sorted(ardour) if ours.get(i) != ardour[i]]
    print(f"compared: {len(ardour)} parameter {what} in Ardour with {len(ours)} in our host")
    if len(ardour) != len(ours) or differ:
        print(f"FAIL parameter {what} differ at " + ", ".join(
            f"{i} (Ardour {ardour[i]!r}, ours {ours.get(i)!r})" for i in differ))
        return 1
    print(f"ok Ardour {verb} the same parameter {what} as our host")
    return 0


def params(ardour_path, vsthost_path):
    return per_parameter(ardour_path, vsthost_path, r"\s*(\d+)\s.*\s(\S+)\s*$", float, "values", "holds")


def names(ardour_path, vsthost_path):
    return per_parameter(ardour_path, vsthost_path, r'\s*(\d+)\s+"([^"]*)"', str, "names", "shows")


def chunk(ardour_b64, vsthost_bin):
    saved = base64.b64decode(open(ardour_b64).read().strip())
    ours = open(vsthost_bin, "rb").read()
    print(f"compared: chunk saved by Ardour ({len(saved)} bytes) with our host's ({len(ours)} bytes)")
    if saved != ours:
        first = next((k for k, (x, y) in enumerate(zip(saved, ours)) if x != y), min(len(saved), len(ours)))
        print(f"FAIL the chunks differ from byte {first}")
        return 1
    print("ok Ardour saved the chunk our host gets for the same settings")
    return 0


def main(argv):
    commands = {"render": render, "params": params, "names": names, "chunk": chunk}
    if len(argv) != 4 or argv[1] not in commands:
        print(__doc__)
        return 2
    return commands[argv[1]](argv[2], argv[3])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
