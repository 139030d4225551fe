#!/usr/bin/env python3
"""This build's cost against a reference build's, in one run on one core.

Builds the benchmark program from a reference commit (by default the point
where this branch left main) into build/reference/, then times both programs'
benchmarks of the target cases, interleaved: in each round every case runs in
the reference program and in ours, one after the other (the order turns from
round to round), pinned to one core. A slow moment of a shared machine then
hits both sides of a round alike; the speed-up of a case is the median of its
per-round ratios, and every figure comes with its spread (lowest and highest
round). Not part of the tests.

  tools/bench/compare_builds.py [--bench engine|editor] [--reference COMMIT]
                                [--rounds 15] [--core 2] [--min-time 0.3]
                                [--all | --filter REGEX]

engine: engine_bench, ns per stereo host frame of the kernels' target cases,
and whether each target is met. With --all it times every benchmark both
programs have (every kernel and routing of the three products, FAT off and
on, every rate and signal), or with --filter those whose names match a
regular expression, and says of each whether the rounds' spread of its
speed-up takes in 1, that is whether the two builds are as fast as each other
within what the rounds vary by.
editor: editor_bench, one idle call of each product's window with the meters
moving and with nothing changed, offscreen and (when DISPLAY names an X
server, e.g. an Xvfb of its own) through the X11 window. The reference is
built with this tree's benchmark program and skin tables (tools/bench,
cmake/JyxSkin.cmake), so that both sides run the same cases on their own
user-interface layer, controls and editors.

Needs the linux build (build/linux/tools/bench/<program>).
"""
import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

from bench_report import machine_lines, spread

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# (what, benchmark, least speed-up against the reference, most ns per frame or None)
ENGINE_CASES = [
    ("default program (single band, linked), 44.1 kHz", "stereo_linked_single_band/noFAT/44100/pink", 2.0, 25.0),
    ("multiband linked, 44.1 kHz", "stereo_linked_multiband/noFAT/44100/pink", 2.5, 55.0),
    ("multiband linked, 44.1 kHz, FAT", "stereo_linked_multiband/FAT/44100/pink", 2.5, 160.0),
    ("multiband unlinked, Auto, Brickwall, 96 kHz, FAT", "stereo_unlinked_multiband_Auto/FAT/96000/pink", 2.0,
     None),
]

EDITOR_PRODUCTS = [("JYX Ostrelvanheim2", "ostrelvanheim2"), ("JYX Ostrelvanheim", "ostrelvanheim"),
                   ("JYX Tindravelle", "tindravelle")]
# The goal of an idle call (editor_bench's): with the meters moving at most
# 0.2 ms; with nothing changed nothing painted or sent, and at most 0.02 ms.
EDITOR_LIMIT_US = {"idle_meters_moving": 200.0, "idle_nothing_changed": 20.0}


def editor_cases(with_x11):
    cases = []
    for title, key in EDITOR_PRODUCTS:
        for window in ["offscreen"] + (["x11"] if with_x11 else []):
            for what in ("idle_meters_moving", "idle_nothing_changed"):
                cases.append((f"{title}, {window}, {what.replace('idle_', '').replace('_', ' ')}",
                              f"{key}/{window}/{what}/real_time", what))
    return cases


def git(*args):
    return subprocess.run(["git", "-C", ROOT] + list(args), capture_output=True, text=True, check=True).stdout.strip()


def reference_program(commit, program, overlay):
    """The program built from the reference commit into build/reference/, with
    this tree's files of overlay laid over the commit's."""
    place = os.path.join(ROOT, "build", "reference", commit[:12] + ("-" + program if overlay else ""))
    binary = os.path.join(place, "build", "tools", "bench", program)
    if os.access(binary, os.X_OK) and not overlay:
        return binary
    source = os.path.join(place, "src")
    if not os.path.isdir(source):
        os.makedirs(source)
        archive = subprocess.run(["git", "-C", ROOT, "archive", commit], capture_output=True, check=True).stdout
        subprocess.run(["tar", "-x", "-C", source], input=archive, check=True)
    for path in overlay:
        mine, theirs = os.path.join(ROOT, path), os.path.join(source, path)
        if os.path.isdir(mine):
            shutil.copytree(mine, theirs, dirs_exist_ok=True)
        else:
            shutil.copy2(mine, theirs)
    build = os.path.join(place, "build")
    if not os.path.isdir(build):
        subprocess.run(["cmake", "-S", source, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                        "-DJYX_BUILD_TESTS=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "--target", program], check=True, stdout=subprocess.DEVNULL)
    return binary


def run_case(program, benchmark, core, min_time):
    """The benchmark's one run, from one process pinned to one core; a run that
    could not start (a busy X server refusing a connection) is tried again."""
    for _attempt in range(3):
        with tempfile.NamedTemporaryFile(suffix=".json") as out:
            subprocess.run(["taskset", "-c", str(core), program, f"--benchmark_filter=^{benchmark}$",
                            f"--benchmark_min_time={min_time}", f"--benchmark_out={out.name}",
                            "--benchmark_out_format=json"], check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            runs = json.load(open(out.name))["benchmarks"]
        if runs and not runs[0].get("error_occurred"):
            return runs[0]
    sys.exit(f"compare_builds: {benchmark} did not run in {program}")


def micros(run):
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[run["time_unit"]]
    return run["real_time"] * scale


def interleave(reference, ours, benchmarks, opts, measure, progress=False):
    """Per benchmark: the reference's and our figures and the per-round ratios."""
    theirs_by, ours_by, ratios = {}, {}, {}
    for round_ in range(opts.rounds):
        if progress:
            print(f"round {round_ + 1} of {opts.rounds}", file=sys.stderr, flush=True)
        for benchmark in benchmarks:
            pair = [(reference, theirs_by), (ours, ours_by)]
            if round_ % 2:
                pair.reverse()
            measured = {}
            for program, into in pair:
                measured[program] = measure(run_case(program, benchmark, opts.core, opts.min_time))
                into.setdefault(benchmark, []).append(measured[program])
            ratios.setdefault(benchmark, []).append(measured[reference][0] / measured[ours][0])
    return theirs_by, ours_by, ratios


def targets_only(opts):
    return not opts.all and opts.filter is None


def benchmark_names(program):
    """Every benchmark a program registers, in its order."""
    listed = subprocess.run([program, "--benchmark_list_tests"], capture_output=True, text=True,
                            check=True).stdout
    return [line for line in listed.splitlines() if line and " " not in line]


def engine_cases(opts, reference, ours):
    """(what, benchmark, least speed-up, most ns) of each case to time: the
    targets, or every benchmark of both programs that the filter takes."""
    if targets_only(opts):
        return ENGINE_CASES
    pattern = re.compile(opts.filter or "")
    theirs = set(benchmark_names(reference))
    return [(name, name, None, None) for name in benchmark_names(ours) if name in theirs and pattern.search(name)]


def compare_engine(commit, opts):
    ours = os.path.join(ROOT, "build", "linux", "tools", "bench", "engine_bench")
    if not os.access(ours, os.X_OK):
        sys.exit(f"compare_builds: {ours} is missing: build the linux preset first")
    reference = reference_program(commit, "engine_bench", [])
    cases = engine_cases(opts, reference, ours)
    targets = targets_only(opts)
    if not cases:
        sys.exit("compare_builds: no benchmark of both programs matches")
    theirs, mine, ratios = interleave(reference, ours, [b for _, b, _, _ in cases], opts,
                                      lambda run: (run["per_frame"] * 1e9,), progress=not targets)
    for line in machine_lines():
        print(line)
    print(f"ours: {git('rev-parse', '--short=12', 'HEAD')} (build/linux); reference: {commit[:12]}")
    signals = "pink noise" if targets else "each benchmark's signal"
    print(f"engine_bench, 64-bit host blocks of 512 frames, {signals}; {opts.rounds} interleaved rounds of "
          f"{opts.min_time:g} s per case on core {opts.core}; median (lowest-highest round)")
    print()
    if targets:
        print("| case | reference ns/frame | ours ns/frame | speed-up | target |")
    else:
        print("| benchmark | reference ns/frame | ours ns/frame | speed-up | within the rounds' spread |")
    print("|---|---:|---:|---:|---|")
    within = 0
    for what, benchmark, least, most in cases:
        ratio = statistics.median(ratios[benchmark])
        low, high = min(ratios[benchmark]), max(ratios[benchmark])
        if targets:
            ns = statistics.median(v for v, in mine[benchmark])
            verdicts = [f"at least {least:g}x: {'met' if ratio >= least else 'MISSED'}"]
            if most is not None:
                verdicts.append(f"at most {most:g} ns: {'met' if ns <= most else 'MISSED'}")
            verdict = "; ".join(verdicts)
        else:
            verdict = "yes" if low <= 1.0 <= high else ("FASTER" if low > 1.0 else "SLOWER")
            within += verdict == "yes"
        print(f"| {what} | {spread([v for v, in theirs[benchmark]])} | {spread([v for v, in mine[benchmark]])} | "
              f"{ratio:.2f}x ({low:.2f}-{high:.2f}) | {verdict} |")
    if not targets:
        print()
        print(f"{within} of {len(cases)} benchmarks within the rounds' spread")


def compare_editor(commit, opts):
    ours = os.path.join(ROOT, "build", "linux", "tools", "bench", "editor_bench")
    if not os.access(ours, os.X_OK):
        sys.exit(f"compare_builds: {ours} is missing: build the linux preset first")
    reference = reference_program(commit, "editor_bench", ["tools/bench", "cmake/JyxSkin.cmake"])
    with_x11 = bool(os.environ.get("DISPLAY"))
    cases = editor_cases(with_x11)
    theirs, mine, ratios = interleave(reference, ours, [b for _, b, _ in cases], opts,
                                      lambda run: (micros(run), run.get("painted_px", 0.0)))
    for line in machine_lines():
        print(line)
    print(f"ours: {git('rev-parse', '--short=12', 'HEAD')} (build/linux); reference: {commit[:12]} with this "
          f"tree's editor_bench")
    print(f"editor_bench, one idle call of the front page; {opts.rounds} interleaved rounds of {opts.min_time:g} s "
          f"per case on core {opts.core}; X11: {'DISPLAY ' + os.environ['DISPLAY'] if with_x11 else 'not run'}; "
          "median (lowest-highest round); pixels painted and sent to the window per idle")
    print()
    print("| case | reference ms | ours ms | speed-up | reference px | ours px | target |")
    print("|---|---:|---:|---:|---:|---:|---|")
    for what, benchmark, kind in cases:
        ms_theirs = [v / 1e3 for v, _ in theirs[benchmark]]
        ms_ours = [v / 1e3 for v, _ in mine[benchmark]]
        px_theirs = statistics.median(p for _, p in theirs[benchmark])
        px_ours = statistics.median(p for _, p in mine[benchmark])
        limit = EDITOR_LIMIT_US[kind] / 1e3
        met = statistics.median(ms_ours) <= limit and (kind != "idle_nothing_changed" or px_ours == 0)
        target = f"at most {limit:g} ms" + (", nothing painted" if kind == "idle_nothing_changed" else "")
        print(f"| {what} | {spread(ms_theirs, 4)} | {spread(ms_ours, 4)} | "
              f"{statistics.median(ratios[benchmark]):.1f}x | {px_theirs:,.0f} | {px_ours:,.0f} | "
              f"{target}: {'met' if met else 'MISSED'} |")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bench", choices=("engine", "editor"), default="engine", help="what to compare")
    parser.add_argument("--reference", help="commit to compare with (default: where this branch left main)")
    parser.add_argument("--rounds", type=int, default=15, help="interleaved rounds")
    parser.add_argument("--core", type=int, default=2, help="the one core both programs run on")
    parser.add_argument("--min-time", type=float, default=0.3, help="seconds per benchmark run")
    which = parser.add_mutually_exclusive_group()
    which.add_argument("--all", action="store_true", help="every benchmark of engine_bench, not only the targets")
    which.add_argument("--filter", help="the engine_bench benchmarks whose names match this regular expression")
    opts = parser.parse_args()
    commit = git("rev-parse", opts.reference or git("merge-base", "HEAD", "main"))
    if opts.bench == "engine":
        compare_engine(commit, opts)
    else:
        compare_editor(commit, opts)
    return 0


if __name__ == "__main__":
    sys.exit(main())
