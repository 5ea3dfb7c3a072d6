#!/usr/bin/env python3
"""Benchmark: rule-based process_query (no AI service) from question to context record.

Targets (2-core machine, median over the runs of each question):
- the sample document data/enriched_project_metadata_cleaned.json: within 1 ms;
- the 2,000-table x 20-column document of make_large_metadata.py: within 40 ms.

The timing covers the whole host call: argument checks, keyword extraction, graph search,
widening, rules, SQL from examples, the context record and its conversion to a dict.
"markdown" adds the Markdown rendering.

Usage: .venv/bin/python bench/bench_process_query.py [--tables 2000] [--columns 20] [--runs 25]
"""

import argparse
import os
import pathlib
import statistics
import time

from inputs import large_metadata

HERE = pathlib.Path(__file__).resolve().parent
SAMPLE = HERE.parent / "data" / "enriched_project_metadata_cleaned.json"

QUESTIONS = [
    "Show all projects with negative float",
    "List relationships with lag greater than 44 days",
    "What are the activities on the critical path?",
    "Find activities with excessive lag",
    "Which resources are overallocated on the baseline schedule?",
]


def time_questions(service, runs, output_format):
    """Median milliseconds per question, in QUESTIONS order."""
    medians = []
    for question in QUESTIONS:
        service.process_query(question, output_format)  # warm-up
        samples = []
        for _ in range(runs):
            t0 = time.perf_counter()
            service.process_query(question, output_format)
            samples.append((time.perf_counter() - t0) * 1e3)
        medians.append(statistics.median(samples))
    return medians


def report(label, service, runs, target_ms):
    graph = service.graph
    print(f"{label}: graph {graph.number_of_nodes()} nodes, {graph.number_of_edges()} edges")
    for output_format in ("json", "markdown"):
        medians = time_questions(service, runs, output_format)
        for question, ms in zip(QUESTIONS, medians):
            print(f"  {output_format:8} {ms:8.3f} ms  {question}")
        print(f"  {output_format:8} median of questions {statistics.median(medians):.3f} ms, "
              f"worst {max(medians):.3f} ms (target {target_ms} ms)")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tables", type=int, default=2000)
    ap.add_argument("--columns", type=int, default=20)
    ap.add_argument("--runs", type=int, default=25)
    args = ap.parse_args()

    from Corvalt.Atlanor import AtlanorService

    sample = AtlanorService(str(SAMPLE))
    sample.build_graph()
    report("sample document", sample, args.runs * 8, 1)

    path = large_metadata(args.tables, args.columns)
    large = AtlanorService(path)
    large.build_graph()
    report(f"{args.tables}-table document", large, args.runs, 40)
    print(f"machine: {os.cpu_count()} cores")


if __name__ == "__main__":
    main()
