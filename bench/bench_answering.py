#!/usr/bin/env python3
"""Benchmark: Quillon's answering on the sample database with a scripted AI that answers at once.

Targets (2-core machine, medians, AI time excluded):
- generate_sql on the sample context record: 50 us
- _extract_sql_from_response on a 10 KB reply: 50 us
- try_fix_failed_query with three failing tries: 3 ms
- get_best_sql_and_results, historical query + a first AI statement that runs, explorations
  included: the service's own work (total minus the time inside SQLite) within 1 ms
- the same with a first AI statement that fails and is corrected on try two: within 2 ms

Usage: .venv/bin/python bench/bench_answering.py [--runs 200]
"""

import argparse
import os
import pathlib
import statistics
import sys
import tempfile
import time

from Corvalt.Atlanor import AtlanorService
from Corvalt.Quillon import Quillon

ROOT = pathlib.Path(__file__).resolve().parent.parent
METADATA = ROOT / "data" / "enriched_project_metadata_cleaned.json"
DATABASE = ROOT / "data" / "project_schedule.db"
QUESTION = "Which activities are on the critical path?"


class InstantAI:
    """Replies from a cycle of scripted texts, without delay."""

    def __init__(self, *replies):
        self.replies = replies
        self.n = 0

    def clear_history(self):
        pass

    def get_response_sync(self, prompt):
        reply = self.replies[self.n % len(self.replies)]
        self.n += 1
        return reply


def median_us(fn, runs):
    times = []
    for _ in range(runs):
        t = time.perf_counter()
        fn()
        times.append(time.perf_counter() - t)
    return statistics.median(times) * 1e6


def answering_us(q, ai_replies, ctx, history, runs):
    """Medians of get_best_sql_and_results, in microseconds: total, inside SQLite, the fix-log
    append (a durable write: fsync, then rename, whose time depends on the machine's other
    writers more than on this code) and the service's own work (the rest)."""
    totals, sqlite, logs = [], [], []
    for _ in range(runs):
        q.mindloom = InstantAI(*ai_replies)
        q._statement_seconds = 0.0
        q._fix_log_seconds = 0.0
        hist = dict(history)
        t = time.perf_counter()
        q.get_best_sql_and_results(QUESTION, ctx, hist)
        totals.append(time.perf_counter() - t)
        sqlite.append(q._statement_seconds)
        logs.append(q._fix_log_seconds)
        if os.path.exists("data/failed_sql.json"):
            os.remove("data/failed_sql.json")  # each run repairs afresh instead of reusing
    own = [a - b - c for a, b, c in zip(totals, sqlite, logs)]
    med = lambda xs: statistics.median(xs) * 1e6
    return med(totals), med(sqlite), med(logs), med(own)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=200)
    args = parser.parse_args()

    atlanor = AtlanorService(str(METADATA))
    atlanor.build_graph()
    ctx = atlanor.process_query(QUESTION)
    good_sql = ctx.get("best_guess_sql") or "SELECT * FROM activities"
    good = f"```sql\n{good_sql}\n```\nEXPLANATION: reads the critical activities"
    bad = "SELECT activity_nam FROM activities\nEXPLANATION: a misspelt column"

    # The fix log lies under the working directory: keep it out of the repository.
    os.chdir(tempfile.mkdtemp(prefix="corvalt-bench-"))
    q = Quillon(str(DATABASE), mindloom=InstantAI(good))

    print(f"sample context: {len(ctx['database_objects']['tables'])} tables, "
          f"{len(ctx['database_objects']['columns'])} columns; runs: {args.runs}")
    rows = []
    us = median_us(lambda: q.generate_sql(QUESTION, ctx), args.runs)
    rows.append(("generate_sql", us, 50))
    reply = ("Here is the query.\n" + "-- a long comment line in the reply\n" * 280 + "```sql\n"
             + good_sql + "\n```\nEXPLANATION: " + "why " * 50)
    assert len(reply) >= 10_000
    us = median_us(lambda: q._extract_sql_from_response(reply), args.runs)
    rows.append((f"_extract_sql_from_response ({len(reply) // 1000} KB)", us, 50))

    failed = q.test_query({"sql": "SELECT activity_nam FROM activities"})
    q.mindloom = InstantAI(bad)
    us = median_us(lambda: q.try_fix_failed_query(failed, QUESTION, ctx), max(20, args.runs // 4))
    rows.append(("try_fix_failed_query, 3 failing tries", us, 3000))
    if os.path.exists("data/failed_sql.json"):
        sys.exit("a failing try was logged as a fix")

    for name, target, w in rows:
        print(f"{name:45s} median {target:9.1f} us   (target {w} us)")

    history = {"question": QUESTION, "sql": good_sql}
    for label, replies, target in (
        ("first AI statement runs", (good,), 1000),
        ("first AI statement fails, fixed on try two", (bad, bad, good), 2000),
    ):
        total, sqlite, log, own = answering_us(q, replies, ctx, history, max(20, args.runs // 4))
        print(f"get_best_sql_and_results, {label}:\n    total {total:.0f} us, inside SQLite {sqlite:.0f} us, "
              f"fix-log append {log:.0f} us, service's own work {own:.0f} us (target {target} us)")


if __name__ == "__main__":
    main()
