#!/usr/bin/env python3
"""Benchmark: EchovaneService.load_history and find_strong_match on a large history.

Targets (2-core machine, median of several runs) for the 100,000-entry history with three
variations per entry: find_strong_match within 30 ms, load_history within 200 ms (each run
after the first also releases the history it replaces, as a reload does). With
--reference-python (an interpreter with networkx) the plain-Python load (json.load and a
networkx graph of the entries) runs in the same run for comparison.

The questions mix every way a search can end: an exact question, an exact variation, a
reworded question (strong word-overlap match), a question of common words that touches most
stored texts, and a question that matches nothing. They are asked of a non-verbose service.

Usage: .venv/bin/python bench/bench_echovane.py [--entries 100000]
       [--variations 3] [--runs 7] [--questions 20] [--check] [--reference-python PATH]
"""

import argparse
import os
import pathlib
import random
import statistics
import subprocess
import sys
import time

from inputs import reference_python, run_reference

HERE = pathlib.Path(__file__).resolve().parent
FIND_TARGET_MS = 30.0
LOAD_TARGET_MS = 200.0


def ensure_history(entries, variations):
    # The generator's default file for three variations; other counts get their own name.
    name = f"large_history_{entries}.json" if variations == 3 else f"large_history_{entries}_v{variations}.json"
    out = HERE / "out" / name
    if not out.exists():
        out.parent.mkdir(exist_ok=True)
        subprocess.run([sys.executable, str(HERE / "make_large_history.py"), "--entries", str(entries),
                        "--variations", str(variations), "--out", str(out)],
                       check=True, stdout=subprocess.DEVNULL)
    return str(out)


def questions(entries, per_kind, seed=7):
    """(kind, question) pairs drawn from the loaded entries, late ones included."""
    rng = random.Random(seed)
    picks = [rng.randrange(len(entries)) for _ in range(per_kind)]
    picks[0] = len(entries) - 1  # the last entry: the exact phase cannot stop early
    out = []
    for i in picks:
        entry = entries[i]
        out.append(("exact question", "  " + entry["question"].upper() + " "))
        variations = entry.get("natural_language_variations") or [entry["question"]]
        out.append(("exact variation", rng.choice(variations).lower()))
        words = entry["question"].split()
        rng.shuffle(words)
        out.append(("reworded", " ".join(words[: max(1, len(words) - 1)]) + " please"))
    common = ["activities in project", "show the activities of the project with float",
              "which activities are late in zone", "list relationships with lag in project"]
    nothing = ["how is the weather on the moon", "quarterly marketing spend by region",
               "who won the match yesterday", "zzz qqq xxx"]
    for k in range(per_kind):
        out.append(("common words", common[k % len(common)] + f" {k}"))
        out.append(("no match", nothing[k % len(nothing)] + f" {k}"))
    return out


def peak_memory_growth(path):
    """Peak RSS growth of a fresh process that loads the history and asks one question.

    Read from /proc (VmHWM): getrusage's maxrss survives fork and exec, so a child of this
    already large process would report the parent's peak."""
    code = (
        "def peak():\n"
        "    for line in open('/proc/self/status'):\n"
        "        if line.startswith('VmHWM:'):\n"
        "            return int(line.split()[1])\n"
        "from Corvalt.Echovane import EchovaneService\n"
        "s = EchovaneService()\n"
        "before = peak()\n"
        f"s.load_history({path!r}); s.find_strong_match('late activities in project')\n"
        "print((peak() - before) / 1024)\n"
    )
    out = subprocess.run([sys.executable, "-c", code], check=True, capture_output=True, text=True)
    return float(out.stdout.strip())


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--entries", type=int, default=100000)
    ap.add_argument("--variations", type=int, default=3)
    ap.add_argument("--runs", type=int, default=7)
    ap.add_argument("--questions", type=int, default=20, help="questions of each kind")
    ap.add_argument("--check", action="store_true", help="exit with status 1 when a target is missed")
    ap.add_argument("--reference-python", default=None)
    args = ap.parse_args()

    from Corvalt.Echovane import EchovaneService

    path = ensure_history(args.entries, args.variations)
    size_mb = os.path.getsize(path) / 1e6
    service = EchovaneService()
    load_ms, load_cpu_ms = [], []
    for _ in range(args.runs):
        t0, c0 = time.perf_counter(), time.process_time()
        service.load_history(path)
        load_ms.append((time.perf_counter() - t0) * 1e3)
        load_cpu_ms.append((time.process_time() - c0) * 1e3)
    # The host objects are built on first read, not by load_history.
    t0 = time.perf_counter()
    entries = service.queries
    queries_ms = (time.perf_counter() - t0) * 1e3
    t0 = time.perf_counter()
    graph = service.graph
    graph_ms = (time.perf_counter() - t0) * 1e3

    asked = questions(entries, args.questions)
    by_kind = {}
    all_ms = []
    for _ in range(3):
        for kind, q in asked:
            t0 = time.perf_counter()
            service.find_strong_match(q)
            ms = (time.perf_counter() - t0) * 1e3
            by_kind.setdefault(kind, []).append(ms)
            all_ms.append(ms)
    found = sum(service.find_strong_match(q) is not None for _, q in asked)

    load_median = statistics.median(load_ms)
    find_median = statistics.median(all_ms)
    print(f"history: {path} ({size_mb:.1f} MB), {len(entries)} entries, "
          f"{graph.number_of_nodes()} graph nodes")
    print(f"load_history:      median {load_median:.0f} ms, min {min(load_ms):.0f} ms "
          f"(target {LOAD_TARGET_MS:.0f}); CPU time median {statistics.median(load_cpu_ms):.0f} ms")
    print(f"first read of .queries {queries_ms:.0f} ms, of .graph {graph_ms:.1f} ms")
    print(f"find_strong_match: median {find_median:.2f} ms, max {max(all_ms):.2f} ms over "
          f"{len(all_ms)} calls, {found} of {len(asked)} questions matched (target {FIND_TARGET_MS:.0f})")
    for kind, times in by_kind.items():
        print(f"  {kind:16s} median {statistics.median(times):.2f} ms, max {max(times):.2f} ms")
    reference = reference_python(args.reference_python)
    if reference:
        for line in run_reference(reference, "history", path, args.runs):
            print(f"plain Python (json.load, networkx graph): {line}")
    print(f"peak memory growth: {peak_memory_growth(path):.0f} MB")
    print(f"machine: {os.cpu_count()} cores")
    missed = load_median > LOAD_TARGET_MS or find_median > FIND_TARGET_MS
    if missed:
        print("a target was missed")
    return 1 if missed and args.check else 0


if __name__ == "__main__":
    sys.exit(main())
