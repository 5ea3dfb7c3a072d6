#!/usr/bin/env python3
"""Benchmark: `corvalt sql` writing a 1,000,000-row result as JSON and as CSV.

Targets (2-core machine): at most 3 s and at most 400 MB of peak memory for --json; the
rows are written as they come, never held whole. Runs the installed command in a subprocess
and reads its peak resident memory from the operating system.

Usage: .venv/bin/python bench/bench_output.py [--rows 1000000] [--runs 3]
"""

import argparse
import os
import resource
import statistics
import subprocess
import sys
import time


def run(args, rows):
    statement = (f"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {rows}) "
                 "SELECT i, i * 2 AS twice, 'row ' || i AS label FROM n")
    t0 = time.perf_counter()
    with open(os.devnull, "wb") as sink:
        done = subprocess.run([sys.executable, "-m", "Corvalt", "sql", "-q", *args, "--max-rows", str(rows),
                               statement], stdout=sink, stderr=subprocess.PIPE, check=False)
    elapsed = time.perf_counter() - t0
    if done.returncode != 0:
        raise SystemExit(done.stderr.decode())
    return elapsed


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rows", type=int, default=1_000_000)
    ap.add_argument("--runs", type=int, default=3)
    opt = ap.parse_args()
    # The table view keeps only the rows it shows: the statement's own cost, for comparison.
    for label, args in (("--json", ["--json"]), ("--csv", ["--csv"]), ("table", [])):
        times = []
        for _ in range(opt.runs):
            times.append(run(args, opt.rows))
        # The largest resident size of any child so far: each run is the same command.
        peak_mb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
        print(f"{label}: {opt.rows} rows, median {statistics.median(times):.2f} s, "
              f"peak memory {peak_mb:.0f} MB (targets 3 s, 400 MB)")
    print(f"machine: {os.cpu_count()} cores")


if __name__ == "__main__":
    main()
