#!/usr/bin/env python3
"""Benchmark: load_metadata and build_graph on large synthetic documents.

Two documents of 2,000 tables x 20 columns: the foundation document (about 50,000 graph
nodes) and the broad one (make_large_metadata.py --broad: about 55,000 nodes and 86,000
edges, 13 MB). Targets (2-core machine, medians of several runs):
- load_metadata (the returned dict included) at most 0.8 times what the host's json.load
  takes for the same file, timed in the same runs (each run times both, one after the other);
- build_graph within 20 ms on the foundation document and 30 ms on the broad one;
- peak memory growth for the document and its graph within 300 MB.
With --reference-python (an interpreter with networkx) the plain-Python graph build runs in
the same run for comparison.

Usage: .venv/bin/python bench/bench_foundation.py [--tables 2000] [--columns 20] [--runs 7]
       [--reference-python PATH]
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

from inputs import large_metadata, reference_python, run_reference

LOAD_RATIO_TARGET = 0.8
BUILD_TARGET_MS = {False: 20.0, True: 30.0}


def peak_memory_growth(path):
    """Peak RSS growth of a fresh process that loads the document and builds its graph
    (with the search texts prepared for it).

    Read from VmHWM: ru_maxrss would carry over this (large) process's peak
    into the child across fork and exec.
    """
    code = (
        "from Corvalt.Atlanor import AtlanorService\n"
        "def peak():\n"
        "    for line in open('/proc/self/status'):\n"
        "        if line.startswith('VmHWM:'):\n"
        "            return int(line.split()[1])\n"
        "s = AtlanorService()\n"
        "before = peak()\n"
        f"s.load_metadata({path!r}); g = s.build_graph()\n"
        "s.search_by_keywords(['float'])  # the search texts are part of the graph's cost\n"
        "print((peak() - before) / 1024)\n"
    )
    out = subprocess.run([sys.executable, "-c", code], check=True, capture_output=True, text=True)
    return float(out.stdout.strip())


def measure(path, broad, runs, reference):
    import json

    from Corvalt.Atlanor import AtlanorService

    size_mb = os.path.getsize(path) / 1e6
    service = AtlanorService()
    load_ms, host_ms, build_ms = [], [], []
    graph = None
    for _ in range(runs):
        # Release the previous run's document and graph first, so that each
        # figure is the cost of the call itself, not of freeing the last one.
        service.metadata = None
        service.graph = graph = None
        t0 = time.perf_counter()
        with open(path, encoding="utf-8") as f:
            doc = json.load(f)
        host_ms.append((time.perf_counter() - t0) * 1e3)
        del doc
        t0 = time.perf_counter()
        service.load_metadata(path)
        t1 = time.perf_counter()
        graph = service.build_graph()
        t2 = time.perf_counter()
        load_ms.append((t1 - t0) * 1e3)
        build_ms.append((t2 - t1) * 1e3)
        # The search texts are prepared on a second thread after build_graph
        # returns; a search waits for them, so that they do not share the
        # machine with the next run's timed calls.
        service.search_by_keywords(["float"])
    load, host, build = (statistics.median(v) for v in (load_ms, host_ms, build_ms))
    print(f"document: {path} ({size_mb:.1f} MB), graph: {graph.number_of_nodes()} nodes, "
          f"{graph.number_of_edges()} edges")
    print(f"  load_metadata: median {load:.1f} ms, json.load of the same file: median {host:.1f} ms; "
          f"ratio {load / host:.2f} (target {LOAD_RATIO_TARGET})")
    print(f"  build_graph:   median {build:.1f} ms, min {min(build_ms):.1f} ms "
          f"(target {BUILD_TARGET_MS[broad]:.0f})")
    if reference:
        for line in run_reference(reference, "graph", path, min(runs, 5)):
            print(f"  plain Python (networkx graph): {line}")
    print(f"  peak memory growth: {peak_memory_growth(path):.0f} MB (target 300)")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tables", type=int, default=2000)
    ap.add_argument("--columns", type=int, default=20)
    ap.add_argument("--runs", type=int, default=7)
    ap.add_argument("--reference-python", default=None)
    args = ap.parse_args()
    reference = reference_python(args.reference_python)
    for broad in (False, True):
        measure(large_metadata(args.tables, args.columns, broad), broad, args.runs, reference)
    print(f"machine: {os.cpu_count()} cores")


if __name__ == "__main__":
    main()
