#!/usr/bin/env python3
"""Benchmark: what the lexical mode costs to put a question's prompt together, and how long
the prompts are.

For each question: process_query in the lexical mode (with the database's stored values on the
sample) and Quillon's generation prompt from its record, timed together as a host makes them.
Targets (2-core machine, medians): within 1 ms on the sample document and within 20 ms on the
2,000-table document of make_large_metadata.py; prompts of at most 8,000 characters (median)
on the sample and at most 16,000 characters for any question on the 2,000-table document; the
sample database's stored values indexed within 1 s (time and memory as the verbose service
reports them).

The questions are those of bench/questions/sample_questions.json.

Usage: .venv/bin/python bench/bench_prompt.py [--tables 2000] [--columns 20] [--runs 15]
"""

import argparse
import contextlib
import io
import json
import os
import pathlib
import re
import statistics
import time

from inputs import large_metadata

HERE = pathlib.Path(__file__).resolve().parent
DATA = HERE.parent / "data"
SAMPLE = DATA / "enriched_project_metadata_cleaned.json"
DATABASE = DATA / "project_schedule.db"
QUESTIONS = HERE / "questions" / "sample_questions.json"


def questions():
    return [q["question"] for q in json.loads(QUESTIONS.read_text()) if not q.get("previous_sql")]


def measure(label, metadata, database, runs, target_ms, target_chars, use_median_chars):
    from Corvalt.Atlanor import AtlanorService
    from Corvalt.Quillon import Quillon

    with contextlib.redirect_stdout(io.StringIO()) as said:
        service = AtlanorService(str(metadata), linking="lexical", database=database, verbose=True)
        service.build_graph()
        t0 = time.perf_counter()
        service.process_query("List all calendars")
        first = (time.perf_counter() - t0) * 1e3
    service.verbose = False
    indexed = re.search(r"^Indexed .*$", said.getvalue(), re.M)
    quillon = Quillon(str(database) if database else None)
    times, sizes = [], []
    for question in questions():
        samples = []
        for _ in range(runs):
            t0 = time.perf_counter()
            prompt = quillon._create_sql_generation_prompt(question, service.process_query(question))
            samples.append((time.perf_counter() - t0) * 1e3)
        times.append(statistics.median(samples))
        sizes.append(len(prompt))
    chars = statistics.median(sizes) if use_median_chars else max(sizes)
    print(f"{label}: {len(times)} questions")
    print(f"  process_query + prompt: median {statistics.median(times):.3f} ms, worst {max(times):.3f} ms "
          f"(target {target_ms} ms for the median)")
    print(f"  prompt characters: median {statistics.median(sizes):.0f}, max {max(sizes)} "
          f"(target {'median' if use_median_chars else 'max'} {target_chars}: "
          f"{'met' if chars <= target_chars else 'NOT met'})")
    print(f"  first lexical call {first:.1f} ms (linking index and stored values built on first use)")
    if indexed:
        print(f"  {indexed.group(0)} (target 1,000 ms)")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tables", type=int, default=2000)
    ap.add_argument("--columns", type=int, default=20)
    ap.add_argument("--runs", type=int, default=15)
    args = ap.parse_args()
    measure("sample document and database", SAMPLE, str(DATABASE), args.runs, 1, 8000, True)
    measure(f"{args.tables}-table document", large_metadata(args.tables, args.columns), None,
            max(3, args.runs // 5), 20, 16000, False)
    print(f"machine: {os.cpu_count()} cores")


if __name__ == "__main__":
    main()
