#!/usr/bin/env python3
"""JYX Ostrelvanheim2 against dynamics plug-ins from Debian set to comparable work,
all through our test host in one run, on one core.

Every plug-in gets the same input (our host's pink noise, seed 7, peaking at
-6 dBFS, 44.1 kHz, stereo) and the same block size (512). Ours runs in three
configurations; each is set against peers doing comparable work, with look-ahead
and actually compressing:

- the default program (single band, linked) against LSP Limiter Stereo with its
  threshold at -12 dB, below the signal's peak, and LSP Compressor Stereo with
  1.2 ms of look-ahead (its -12 dB threshold compresses);
- multiband against LSP Multiband Compressor Stereo set to three bands (splits
  at 100 Hz and 4 kHz), Classic mode, 1.2 ms of look-ahead and a 4:1 ratio in
  each band, and against ZaMultiCompX2 with its three band compressors on;
- multiband with FAT against the same LSP multiband setting (which runs without
  oversampling).

The host times the processReplacing calls alone (`vsthost process --time`),
pinned to one core; the rounds are interleaved across the plug-ins, so that a
slow moment of the machine hits all of them alike. Each plug-in's figure is the
median of its rounds with their spread (lowest-highest); each ratio is the median
of the per-round ratios. Not part of the tests or the build.

  tools/bench/compare_peers.py [--seconds 10] [--passes 3] [--rounds 9] [--core 2]

Needs the linux build and the Debian packages lsp-plugins-vst and zam-plugins.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys

from bench_report import machine_lines, spread

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
VSTHOST = os.path.join(ROOT, "build", "linux", "tools", "vsthost", "vsthost")
OURS = os.path.join(ROOT, "build", "linux", "plugins", "JYX_Ostrelvanheim2.so")
RATE, BLOCK, SIGNAL = 44100, 512, "pink:7"


def settings(*pairs):
    args = []
    for index, value in pairs:
        args += ["--set", f"{index}={value}"]
    return args


# LSP Multiband Compressor Stereo x8: Classic mode (1), the split at 632 Hz
# off (22) so that the splits at 100 Hz (18) and 3984 Hz (26) leave three
# bands (0, 2 and 6); in each of them 1.2 ms of look-ahead (32, 78, 170) and a
# ratio of 3.98 (47, 93, 185).
LSP_MULTIBAND = settings((1, 0), (18, 1), (22, 0), (26, 1), (32, 0.06), (78, 0.06), (170, 0.06), (47, 0.3),
                         (93, 0.3), (185, 0.3))

# (label, Debian package or None for ours, file, settings)
SUBJECTS = [
    ("JYX Ostrelvanheim2, default program", None, OURS, []),
    ("JYX Ostrelvanheim2, multiband", None, OURS, settings((1, 1))),
    ("JYX Ostrelvanheim2, multiband FAT", None, OURS, settings((1, 1), (26, 1))),
    ("LSP Limiter Stereo, threshold -12 dB", "lsp-plugins-vst", "limiter-stereo.so", settings((8, 0.75))),
    ("LSP Compressor Stereo, look-ahead 1.2 ms", "lsp-plugins-vst", "compressor-stereo.so", settings((7, 0.06))),
    ("LSP Multiband Compressor Stereo, 3 bands, Classic, look-ahead 1.2 ms, 4:1", "lsp-plugins-vst",
     "mb-compressor-stereo.so", LSP_MULTIBAND),
    ("ZaMultiCompX2, three band compressors on", "zam-plugins", "ZaMultiCompX2-vst.so",
     settings((20, 1), (21, 1), (22, 1))),
]

# (ours, peer, at most this share of the peer's time)
TARGETS = [
    (0, 3, 1.0),
    (0, 4, 1.0),
    (1, 5, 0.2),
    (1, 6, 0.25),
    (2, 5, 0.5),
]


def run(args, env):
    return subprocess.run(args, env=env, capture_output=True, text=True)


def package_file(package, name):
    listing = run(["dpkg", "-L", package], os.environ)
    if listing.returncode != 0:
        return None
    for line in listing.stdout.splitlines():
        if os.path.basename(line) == name and "/vst/" in line:
            return line
    return None


def entry_of(path, env):
    """The exported entry that gives an effect."""
    for entry in ("VSTPluginMain", "main"):
        if run([VSTHOST, path, "--entry", entry, "info"], env).returncode == 0:
            return entry
    return None


def time_once(path, entry, extra, opts, env):
    args = ["taskset", "-c", str(opts.core), VSTHOST, path, "--entry", entry, "--rate", str(RATE), "--block",
            str(BLOCK)] + extra + ["process", "--signal", SIGNAL, "--seconds", str(opts.seconds), "--time",
                                   "--passes", str(opts.passes)]
    result = run(args, env)
    m = re.search(r"process: ([0-9.]+) ns per stereo frame", result.stdout)
    if result.returncode != 0 or not m:
        raise RuntimeError(f"{' '.join(args)} failed: {result.stdout}{result.stderr}")
    return float(m.group(1))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=float, default=10.0, help="length of the pink noise")
    parser.add_argument("--passes", type=int, default=3, help="passes over the signal per measurement (best)")
    parser.add_argument("--rounds", type=int, default=9, help="interleaved rounds over all plug-ins")
    parser.add_argument("--core", type=int, default=2, help="the one core every plug-in runs on")
    opts = parser.parse_args()

    for f in (VSTHOST, OURS):
        if not os.access(f, os.X_OK):
            sys.exit(f"compare_peers: {f} is missing: build the linux preset first")
    # Our plug-in keeps its settings under XDG_CONFIG_HOME: in the build tree, not the user's.
    config = os.path.join(ROOT, "build", "linux", "compare-peers", "config")
    os.makedirs(config, exist_ok=True)
    env = dict(os.environ, XDG_CONFIG_HOME=config)

    subjects = []  # (label, path, entry, settings)
    for label, package, name, extra in SUBJECTS:
        path = name if package is None else package_file(package, name)
        if not path:
            sys.exit(f"compare_peers: {name} not found: apt-get install {package}")
        entry = entry_of(path, env)
        if not entry:
            sys.exit(f"compare_peers: {path} gives no effect through our host")
        subjects.append((label, path, entry, extra))

    times = [[] for _ in subjects]
    for _ in range(opts.rounds):
        for i, (_label, path, entry, extra) in enumerate(subjects):
            times[i].append(time_once(path, entry, extra, opts, env))

    for line in machine_lines():
        print(line)
    print(f"input: pink noise (vsthost {SIGNAL}, peak -6 dBFS), {opts.seconds:g} s stereo at {RATE} Hz, block "
          f"{BLOCK}, 32-bit processReplacing; best of {opts.passes} passes per measurement, {opts.rounds} "
          f"interleaved rounds on core {opts.core}; median (lowest-highest round)")
    print()
    print("| plug-in and setting | ns per stereo frame |")
    print("|---|---:|")
    for (label, *_rest), t in zip(subjects, times):
        print(f"| {label} | {spread(t)} |")
    print()
    print("| ours | against | share of the peer's time | target |")
    print("|---|---|---:|---|")
    for ours, peer, most in TARGETS:
        ratios = [a / b for a, b in zip(times[ours], times[peer])]
        share = statistics.median(ratios)
        verdict = "met" if (share < 1.0 if most == 1.0 else share <= most) else "MISSED"
        target = "faster" if most == 1.0 else f"at most {most:g}x"
        print(f"| {subjects[ours][0]} | {subjects[peer][0]} | {spread(ratios, 2)} | {target}: {verdict} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
