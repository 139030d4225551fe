#!/usr/bin/env python3
"""This build's processing cost against a reference build's, in one run on one core.

Builds engine_bench from a reference commit (by default the point where this
branch left main) into build/reference/<commit>/, then times both programs'
benchmarks, interleaved: in each round every case runs in the reference
program and in ours, one after the other (the order turns from round to
round), pinned to one core. A slow moment of a shared machine then hits both
sides of a round alike; the speed-up of a case is the median of its per-round
ratios, and every figure comes with its spread (lowest and highest round).
Not part of the tests.

By default it times the four target cases and says whether each target is
met. With --all it times every benchmark both programs have (every kernel and
routing of the three products, FAT off and on, every rate and signal), or with
--filter those whose names match a regular expression, and says of each
whether the rounds' spread of its speed-up takes in 1, that is whether the
two builds are as fast as each other within what the rounds vary by.

  tools/bench/compare_builds.py [--reference COMMIT] [--rounds 15] [--core 2]
                                [--min-time 0.3] [--all | --filter REGEX]

Needs the linux build (build/linux/tools/bench/engine_bench).
"""
import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile

from bench_report import machine_lines, spread

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OURS = os.path.join(ROOT, "build", "linux", "tools", "bench", "engine_bench")

# (what, benchmark, least speed-up against the reference, most ns per frame or None)
CASES = [
    ("default program (single band, linked), 44.1 kHz", "stereo_linked_single_band/noFAT/44100/pink", 2.0, 25.0),
    ("multiband linked, 44.1 kHz", "stereo_linked_multiband/noFAT/44100/pink", 2.5, 55.0),
    ("multiband linked, 44.1 kHz, FAT", "stereo_linked_multiband/FAT/44100/pink", 2.5, 160.0),
    ("multiband unlinked, Auto, Brickwall, 96 kHz, FAT", "stereo_unlinked_multiband_Auto/FAT/96000/pink", 2.0,
     None),
]


def git(*args):
    return subprocess.run(["git", "-C", ROOT] + list(args), capture_output=True, text=True, check=True).stdout.strip()


def reference_program(commit):
    """engine_bench of the reference commit, built once into build/reference/<commit>/."""
    place = os.path.join(ROOT, "build", "reference", commit[:12])
    program = os.path.join(place, "build", "tools", "bench", "engine_bench")
    if os.access(program, os.X_OK):
        return program
    source = os.path.join(place, "src")
    os.makedirs(source, exist_ok=True)
    archive = subprocess.run(["git", "-C", ROOT, "archive", commit], capture_output=True, check=True).stdout
    subprocess.run(["tar", "-x", "-C", source], input=archive, check=True)
    build = os.path.join(place, "build")
    subprocess.run(["cmake", "-S", source, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    "-DJYX_BUILD_TESTS=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "--target", "engine_bench"], check=True, stdout=subprocess.DEVNULL)
    return program


def time_case(program, benchmark, core, min_time):
    """ns per stereo host frame of one benchmark, one process pinned to one core."""
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run(["taskset", "-c", str(core), program, f"--benchmark_filter=^{benchmark}$",
                        f"--benchmark_min_time={min_time}", f"--benchmark_out={out.name}",
                        "--benchmark_out_format=json"], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        runs = json.load(open(out.name))["benchmarks"]
    return runs[0]["per_frame"] * 1e9


def targets_only(opts):
    return not opts.all and opts.filter is None


def benchmark_names(program):
    """Every benchmark a program registers, in its order."""
    listed = subprocess.run([program, "--benchmark_list_tests"], capture_output=True, text=True,
                            check=True).stdout
    return [line for line in listed.splitlines() if line and " " not in line]


def compared_cases(opts, reference):
    """(what, benchmark, least speed-up, most ns) of each case to time: the
    targets, or every benchmark of both programs that the filter takes."""
    if targets_only(opts):
        return CASES
    pattern = re.compile(opts.filter or "")
    theirs = set(benchmark_names(reference))
    return [(name, name, None, None) for name in benchmark_names(OURS) if name in theirs and pattern.search(name)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--reference", help="commit to compare with (default: where this branch left main)")
    parser.add_argument("--rounds", type=int, default=15, help="interleaved rounds")
    parser.add_argument("--core", type=int, default=2, help="the one core both programs run on")
    parser.add_argument("--min-time", type=float, default=0.3, help="seconds per benchmark run")
    which = parser.add_mutually_exclusive_group()
    which.add_argument("--all", action="store_true", help="every benchmark of engine_bench, not only the targets")
    which.add_argument("--filter", help="the benchmarks whose names match this regular expression")
    opts = parser.parse_args()

    if not os.access(OURS, os.X_OK):
        sys.exit(f"compare_builds: {OURS} is missing: build the linux preset first")
    commit = git("rev-parse", opts.reference or git("merge-base", "HEAD", "main"))
    reference = reference_program(commit)
    cases = compared_cases(opts, reference)
    targets = targets_only(opts)
    if not cases:
        sys.exit("compare_builds: no benchmark of both programs matches")

    ours, theirs, ratios = {}, {}, {}
    for round_ in range(opts.rounds):
        if not targets:
            print(f"round {round_ + 1} of {opts.rounds}", file=sys.stderr, flush=True)
        for _what, benchmark, _least, _most in cases:
            pair = [(reference, theirs), (OURS, ours)]
            if round_ % 2:
                pair.reverse()
            measured = {}
            for program, into in pair:
                measured[program] = time_case(program, benchmark, opts.core, opts.min_time)
                into.setdefault(benchmark, []).append(measured[program])
            ratios.setdefault(benchmark, []).append(measured[reference] / measured[OURS])

    for line in machine_lines():
        print(line)
    print(f"ours: {git('rev-parse', '--short=12', 'HEAD')} (build/linux); reference: {commit[:12]}")
    signals = "pink noise" if targets else "each benchmark's signal"
    print(f"engine_bench, 64-bit host blocks of 512 frames, {signals}; {opts.rounds} interleaved rounds of "
          f"{opts.min_time:g} s per case on core {opts.core}; median (lowest-highest round)")
    print()
    if targets:
        print("| case | reference ns/frame | ours ns/frame | speed-up | target |")
        print("|---|---:|---:|---:|---|")
    else:
        print("| benchmark | reference ns/frame | ours ns/frame | speed-up | within the rounds' spread |")
        print("|---|---:|---:|---:|---|")
    within = 0
    for what, benchmark, least, most in cases:
        ratio = statistics.median(ratios[benchmark])
        ns = statistics.median(ours[benchmark])
        if targets:
            verdicts = [f"at least {least:g}x: {'met' if ratio >= least else 'MISSED'}"]
            if most is not None:
                verdicts.append(f"at most {most:g} ns: {'met' if ns <= most else 'MISSED'}")
            verdict = "; ".join(verdicts)
        else:
            low, high = min(ratios[benchmark]), max(ratios[benchmark])
            verdict = "yes" if low <= 1.0 <= high else ("FASTER" if low > 1.0 else "SLOWER")
            within += verdict == "yes"
        print(f"| {what} | {spread(theirs[benchmark])} | {spread(ours[benchmark])} | "
              f"{ratio:.2f}x ({min(ratios[benchmark]):.2f}-{max(ratios[benchmark]):.2f}) | {verdict} |")
    if not targets:
        print()
        print(f"{within} of {len(cases)} benchmarks within the rounds' spread")
    return 0


if __name__ == "__main__":
    sys.exit(main())
