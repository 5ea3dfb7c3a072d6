#!/usr/bin/env python3
"""Benchmark: load_metadata and build_graph on a large synthetic document.

Targets (2-core machine, median of several runs) for the 2,000-table x 20-column document
(about 50,000 graph nodes): load_metadata within 250 ms (the returned dict included),
build_graph within 100 ms, peak memory growth for the document and its graph within 300 MB.

Usage: .venv/bin/python bench/bench_foundation.py [--tables 2000] [--columns 20] [--runs 7]
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

from inputs import large_metadata



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


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tables", type=int, default=2000)
    ap.add_argument("--columns", type=int, default=20)
    ap.add_argument("--runs", type=int, default=7)
    args = ap.parse_args()

    from Corvalt.Atlanor import AtlanorService

    path = large_metadata(args.tables, args.columns)
    size_mb = os.path.getsize(path) / 1e6
    service = AtlanorService()
    load_ms, build_ms = [], []
    graph = None
    for _ in range(args.runs):
        # Release the previous run's document and graph first, so that each
        # figure is the cost of the call itself, not of freeing the last one.
        service.metadata = None
        service.graph = graph = None
        t0 = time.perf_counter()
        service.load_metadata(path)
        t1 = time.perf_counter()
        graph = service.build_graph()
        t2 = time.perf_counter()
        load_ms.append((t1 - t0) * 1e3)
        build_ms.append((t2 - t1) * 1e3)
    print(f"document: {path} ({size_mb:.1f} MB), graph: {graph.number_of_nodes()} nodes, "
          f"{graph.number_of_edges()} edges")
    print(f"load_metadata: median {statistics.median(load_ms):.1f} ms (target 250)")
    print(f"build_graph:   median {statistics.median(build_ms):.1f} ms (target 100)")
    print(f"peak memory growth: {peak_memory_growth(path):.0f} MB (target 300)")
    print(f"machine: {os.cpu_count()} cores")


if __name__ == "__main__":
    main()
