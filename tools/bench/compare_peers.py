#!/usr/bin/env python3
"""Side-by-side cost of JYX Ostrelvanheim2 and the dynamics plug-ins users would
pick instead, all through our test host in one run on this machine.

Every plug-in gets the same input (our host's pink noise, seed 7, 44.1 kHz,
stereo), the same block size (512) and its default settings; ours runs in three
configurations. The host times the processReplacing calls alone (`vsthost
process --time`): each measurement is the best of --passes passes over the
signal, and the rounds are interleaved across the plug-ins so that a slow
moment of the machine hits all of them alike; the table keeps each plug-in's
best round. Not part of the tests.

  tools/bench/compare_peers.py [--seconds 10] [--passes 5] [--rounds 3]

Needs the linux build and the Debian packages lsp-plugins-vst and zam-plugins.
"""
import argparse
import datetime
import os
import platform
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
VSTHOST = os.path.join(ROOT, "build", "linux", "tools", "vsthost", "vsthost")
OURS = os.path.join(ROOT, "build", "linux", "plugins", "JYX_Ostrelvanheim2.so")

OUR_CONFIGS = [
    ("JYX Ostrelvanheim2, default program", []),
    ("JYX Ostrelvanheim2, multiband", ["--set", "1=1"]),
    ("JYX Ostrelvanheim2, multiband FAT", ["--set", "1=1", "--set", "26=1"]),
]
# (Debian package, file name of its VST 2.4 module)
PEERS = [
    ("lsp-plugins-vst", "mb-compressor-stereo.so"),
    ("lsp-plugins-vst", "limiter-stereo.so"),
    ("lsp-plugins-vst", "compressor-stereo.so"),
    ("zam-plugins", "ZaMultiCompX2-vst.so"),
    ("zam-plugins", "ZamCompX2-vst.so"),
    ("zam-plugins", "ZaMaximX2-vst.so"),
]
RATE, BLOCK, SIGNAL = 44100, 512, "pink:7"


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


def entry_and_name(path, env):
    """The exported entry that gives an effect, and the effect's name."""
    for entry in ("VSTPluginMain", "main"):
        info = run([VSTHOST, path, "--entry", entry, "info"], env)
        if info.returncode == 0:
            m = re.search(r"^name: (.*)$", info.stdout, re.M)
            return entry, (m.group(1).strip() if m else os.path.basename(path))
    return None, None


def time_once(path, entry, extra, seconds, passes, env):
    args = [VSTHOST, path, "--entry", entry, "--rate", str(RATE), "--block", str(BLOCK)] + extra + [
        "process", "--signal", SIGNAL, "--seconds", str(seconds), "--time", "--passes", str(passes)]
    result = run(args, env)
    m = re.search(r"process: ([0-9.]+) ns per stereo frame", result.stdout)
    if result.returncode != 0 or not m:
        raise RuntimeError(f"{' '.join(args)} failed: {result.stdout}{result.stderr}")
    return float(m.group(1))


def machine_lines():
    lines = [f"date: {datetime.datetime.now().astimezone().isoformat(timespec='seconds')}",
             f"host: {platform.node()} {platform.system()} {platform.release()}",
             f"nproc: {os.cpu_count()}"]
    try:
        lscpu = subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines()[:10]
        lines += ["lscpu: " + line for line in lscpu]
    except OSError:
        pass
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=float, default=10.0, help="length of the pink noise")
    parser.add_argument("--passes", type=int, default=5, help="passes over the signal per measurement")
    parser.add_argument("--rounds", type=int, default=3, help="interleaved rounds over all plug-ins")
    opts = parser.parse_args()

    for f in (VSTHOST, OURS):
        if not os.access(f, os.X_OK):
            sys.exit(f"compare_peers: {f} is missing: build the linux preset first")
    # Our plug-in keeps its settings under XDG_CONFIG_HOME: in the build tree, not the user's.
    config = os.path.join(ROOT, "build", "linux", "compare-peers", "config")
    os.makedirs(config, exist_ok=True)
    env = dict(os.environ, XDG_CONFIG_HOME=config)

    subjects = []  # (label, path, entry, extra arguments, is ours)
    for label, extra in OUR_CONFIGS:
        subjects.append((label, OURS, "VSTPluginMain", extra, True))
    for package, name in PEERS:
        path = package_file(package, name)
        if not path:
            sys.exit(f"compare_peers: {name} not found: apt-get install {package}")
        entry, effect = entry_and_name(path, env)
        if not entry:
            sys.exit(f"compare_peers: {path} gives no effect through our host")
        subjects.append((f"{effect} ({package}, {name})", path, entry, [], False))

    best = {}
    for _ in range(opts.rounds):
        for label, path, entry, extra, _ours in subjects:
            ns = time_once(path, entry, extra, opts.seconds, opts.passes, env)
            best[label] = min(best.get(label, ns), ns)

    for line in machine_lines():
        print(line)
    print(f"input: pink noise (vsthost {SIGNAL}), {opts.seconds:g} s stereo at {RATE} Hz, block {BLOCK}; "
          f"default settings; best of {opts.passes} passes x {opts.rounds} rounds; "
          f"wall-clock time of the processReplacing calls alone, one thread")
    print()
    ours = [best[label] for label, *_ in OUR_CONFIGS]
    print("| plug-in | ns per stereo frame | x our default | x our multiband | x our multiband FAT |")
    print("|---|---:|---:|---:|---:|")
    for label, *_rest in subjects:
        ns = best[label]
        ratios = " | ".join(f"{ns / o:.2f}" for o in ours)
        print(f"| {label} | {ns:.1f} | {ratios} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
