#!/usr/bin/env python3
"""Benchmark: Quillon.test_query on a large result and _validate_safe_sql per statement.

Targets (2-core machine, medians): test_query on a 100,000-row x 8-column result, from the
call to the returned record with its summary, within 120 ms; _validate_safe_sql within
5 microseconds per typical statement. The time the statement runs (stepping it and reading
its cells, while the row dicts are made on the calling thread meanwhile) is printed beside
it; with --reference-python (an interpreter with pandas) the same read through pandas'
reader runs in the same process run for comparison.

Usage: .venv/bin/python bench/bench_quillon.py [--rows 100000] [--runs 7]
       [--reference-python /path/to/python]
"""

import argparse
import os
import pathlib
import random
import sqlite3
import statistics
import time

from inputs import reference_python, run_reference

HERE = pathlib.Path(__file__).resolve().parent

STATEMENTS = [
    "SELECT * FROM activities",
    "SELECT a.name, a.start_date, a.finish_date FROM activities a WHERE a.total_float < 0 ORDER BY a.finish_date",
    "SELECT p.name, COUNT(*) AS activity_count FROM projects p JOIN activities a ON a.project_id = p.id "
    "GROUP BY p.name ORDER BY activity_count DESC LIMIT 10",
    "select updated_at, status from tasks where note = 'Update pending'",
    "DROP TABLE activities",
    "select 1; vacuum",
    "WITH late AS (SELECT * FROM activities WHERE total_float < 0) SELECT COUNT(*) FROM late",
    "SELECT r.predecessor_id, r.successor_id, r.lag_days\nFROM relationships r\nWHERE r.type = 'FS'\n  AND r.lag_days > 0",
]


def ensure_database(rows):
    path = HERE / "out" / f"quillon_{rows}x8.db"
    if path.exists():
        return str(path)
    path.parent.mkdir(exist_ok=True)
    tmp = path.with_suffix(".tmp")
    if tmp.exists():
        tmp.unlink()
    rnd = random.Random(7)
    con = sqlite3.connect(tmp)
    con.execute(
        "CREATE TABLE activities (id INTEGER PRIMARY KEY, project_id INTEGER, name TEXT, status TEXT, "
        "start_date TEXT, duration_days REAL, total_float REAL, resource TEXT)"
    )
    statuses = ["Not Started", "In Progress", "Completed", "On Hold"]
    con.executemany(
        "INSERT INTO activities VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
        (
            (
                i,
                rnd.randint(1, 200),
                f"Activity {i} of the schedule",
                rnd.choice(statuses),
                f"2024-{rnd.randint(1, 12):02d}-{rnd.randint(1, 28):02d}",
                round(rnd.uniform(0.5, 60), 2),
                None if rnd.random() < 0.05 else round(rnd.uniform(-10, 30), 1),
                rnd.choice(["Crew A", "Crew B", "Crane", "Électricien", None]),
            )
            for i in range(1, rows + 1)
        ),
    )
    con.commit()
    con.close()
    os.replace(tmp, path)
    return str(path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rows", type=int, default=100_000)
    ap.add_argument("--runs", type=int, default=7)
    ap.add_argument("--reference-python", default=None)
    args = ap.parse_args()

    from Corvalt.Quillon import Quillon

    path = ensure_database(args.rows)
    service = Quillon(path)
    sql = "SELECT * FROM activities"

    times, inside = [], []
    for _ in range(args.runs):
        record = {"sql": sql, "question": "all activities"}
        service._statement_seconds = 0.0
        start = time.perf_counter()
        result = service.test_query(record)
        times.append((time.perf_counter() - start) * 1000)
        inside.append(service._statement_seconds * 1000)
        assert result is record and record["success"], record.get("execution_error")
        assert record["row_count"] == args.rows and record["column_count"] == 8
        del record, result
    print(f"test_query, {args.rows:,} rows x 8 columns: median {statistics.median(times):.1f} ms "
          f"(min {min(times):.1f}, max {max(times):.1f}; target 120 ms), of which the statement "
          f"ran (rows made meanwhile) median {statistics.median(inside):.1f} ms")
    reference = reference_python(args.reference_python)
    if reference:
        for line in run_reference(reference, "test_query", path, args.runs):
            print(f"plain Python (pandas.read_sql_query, to_dict('records'), summary): {line}")

    per_statement = []
    loops = 20_000
    for _ in range(args.runs):
        start = time.perf_counter()
        for _ in range(loops // len(STATEMENTS)):
            for statement in STATEMENTS:
                service._validate_safe_sql(statement)
        per_statement.append((time.perf_counter() - start) / (loops // len(STATEMENTS) * len(STATEMENTS)) * 1e6)
    print(f"_validate_safe_sql, {len(STATEMENTS)} typical statements: median {statistics.median(per_statement):.2f} us "
          f"per statement (target 5 us)")


if __name__ == "__main__":
    main()
