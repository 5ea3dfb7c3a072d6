#!/usr/bin/env python3
"""Benchmark: generate_sql_from_nl on the sample metadata document.

Target (2-core machine): median time per call within 1 ms, for questions that take the
template path (an example query matches) and the assembly path (keyword search plus
graph-driven SQL).

Usage: .venv/bin/python bench/bench_sql_from_nl.py [--runs 2000] [--metadata PATH]
"""

import argparse
import pathlib
import statistics
import time

REPO = pathlib.Path(__file__).resolve().parent.parent
SAMPLE = REPO / "data" / "enriched_project_metadata_cleaned.json"

QUESTIONS = [
    "Show all projects with negative float",
    "List relationships with lag greater than 44 days",
    "What are the activities on the critical path?",
    "Find activities with excessive lag",
    # no example shares a keyword: search and assembly
    "calendars",
    "zzzz qqqq",
]


def time_calls(fn, question, runs):
    samples = []
    for _ in range(runs):
        t0 = time.perf_counter_ns()
        fn(question)
        samples.append(time.perf_counter_ns() - t0)
    return samples


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=2000)
    ap.add_argument("--metadata", default=str(SAMPLE))
    args = ap.parse_args()

    from Corvalt.Atlanor import AtlanorService

    service = AtlanorService(args.metadata)
    service.build_graph()
    fn = service.generate_sql_from_nl
    for q in QUESTIONS:  # warm up
        fn(q)

    all_samples = []
    print(f"{'question':<52} {'median ms':>10} {'p95 ms':>8}")
    for q in QUESTIONS:
        samples = time_calls(fn, q, args.runs)
        all_samples.extend(samples)
        samples.sort()
        print(f"{q[:52]:<52} {statistics.median(samples) / 1e6:>10.4f} {samples[int(len(samples) * 0.95)] / 1e6:>8.4f}")
    median_ms = statistics.median(all_samples) / 1e6
    worst = max(statistics.median(time_calls(fn, q, args.runs // 4 or 1)) for q in QUESTIONS) / 1e6
    print(f"overall median per call: {median_ms:.4f} ms (slowest question's median {worst:.4f} ms; target 1 ms)")


if __name__ == "__main__":
    main()
