#!/usr/bin/env python3
"""Times the learner and the classifier of two builds on generated example
files (and on the question-classification data when it is there), running
the two builds alternately so that the load of a shared machine falls on
both alike, and checks that both write the same bytes.

Usage: bench/time_programs.py BEFORE_BUILD AFTER_BUILD [ROUNDS] [LEARN_10K_ITERATIONS]

Each build folder must hold KelvorLearn and KelvorClassify; AFTER_BUILD also
write_example_file. The learner on 10,000 examples runs with -i
LEARN_10K_ITERATIONS (default 10): its rows beyond a 200 MB cache are
recomputed in every iteration, so a run to the default bound takes hours.
Prints the median wall time of each case and build, the ratio, and for the
learner the share of the run spent on the error table (from the moment the
support vectors are counted to the "Training" row)."""

import filecmp
import os
import statistics
import subprocess
import sys
import tempfile
import time

DATA = os.environ.get("KELVOR_DATA", "/work/shared/data")


def run(args, cwd):
    """Wall time of the run and the seconds its error table took."""
    start = time.monotonic()
    proc = subprocess.Popen(args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    counted = table = None
    for raw in proc.stdout:
        now = time.monotonic() - start
        if raw.startswith(b"Number of support vectors"):
            counted = now
        elif raw.startswith(b"Training") and counted is not None:
            table = now - counted
    if proc.wait() != 0:
        sys.exit(f"failed: {' '.join(args)}")
    return time.monotonic() - start, table


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    builds = {"before": os.path.abspath(sys.argv[1]), "after": os.path.abspath(sys.argv[2])}
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    iterations10k = sys.argv[4] if len(sys.argv) > 4 else "10"
    work = tempfile.mkdtemp(prefix="kelvor-times-")
    gen = os.path.join(builds["after"], "write_example_file")
    # 40 real features at indices 1..40, targets by a hidden rule; fixed seeds.
    for name, lines, seed in (("train4k", 4000, 11), ("train10k", 10000, 12), ("test2k", 2000, 13)):
        subprocess.run([gen, os.path.join(work, name + ".dat"), str(lines), "40", "1", str(seed),
                        "rule"], check=True, stdout=subprocess.DEVNULL)
    rbf = ["-t", "2", "-g", "0.025", "-m", "200"]
    cases = [
        ("learn 4,000", "KelvorLearn", rbf + ["../train4k.dat", "m4k"]),
        (f"learn 10,000 (-i {iterations10k})", "KelvorLearn",
         rbf + ["-i", iterations10k, "../train10k.dat", "m10k"]),
        ("classify 2,000", "KelvorClassify", ["m4k", "../test2k.dat"]),
        ("classify 2,000 to a file", "KelvorClassify", ["m4k", "../test2k.dat", "out"]),
    ]
    qc = os.path.join(DATA, "qc-HUM-train.dat")
    if os.path.exists(qc):
        cases.append(("learn qc-HUM -m 200", "KelvorLearn", ["-m", "200", qc, "mqc"]))
    times = {(c[0], b): [] for c in cases for b in builds}
    tables = {(c[0], b): [] for c in cases for b in builds}
    for side in builds:
        os.makedirs(os.path.join(work, side))
    for r in range(rounds):
        for name, program, args in cases:
            order = list(builds) if r % 2 == 0 else list(reversed(builds))
            for side in order:
                wall, table = run([os.path.join(builds[side], program)] + args,
                                  os.path.join(work, side))
                times[(name, side)].append(wall)
                if table is not None:
                    tables[(name, side)].append(table)
    cmp = filecmp.dircmp(os.path.join(work, "before"), os.path.join(work, "after"))
    print(f"nproc {os.cpu_count()}, {rounds} rounds, medians in seconds")
    for name, _, _ in cases:
        b, a = (statistics.median(times[(name, s)]) for s in ("before", "after"))
        line = f"{name:32} before {b:8.2f}  after {a:8.2f}  {b / a:5.2f}x"
        for side in ("before", "after"):
            if tables[(name, side)]:
                share = statistics.median(tables[(name, side)]) / statistics.median(times[(name, side)])
                line += f"  table {side} {100 * share:3.0f}%"
        print(line)
    same = not cmp.diff_files and not cmp.left_only and not cmp.right_only
    print("outputs", "identical" if same else f"DIFFER: {cmp.diff_files}")


if __name__ == "__main__":
    main()
