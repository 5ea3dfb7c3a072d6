"""Reading a large result from PostgreSQL against the same result from SQLite.

100,000 rows x 8 columns (integers, reals, numerics, texts, a date and a boolean-like integer) are
written to an SQLite file, copied into the server with copy_sqlite_to_postgres, and read back
through Quillon.test_query (row records, as a host gets them) on each backend; each side runs
in a process of its own so that its peak memory is its own.

    source scripts/postgres.sh start
    .venv/bin/python bench/bench_postgres.py            # uses CORVALT_PG_ADMIN_URI
    scripts/postgres.sh stop "$CORVALT_PG_DIR"
"""

import argparse
import json
import os
import resource
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import time

ROWS = 100_000
SQL = "SELECT * FROM bench_rows"


def make_sqlite(path: str) -> None:
    db = sqlite3.connect(path)
    db.execute("CREATE TABLE bench_rows (id INTEGER PRIMARY KEY, project_id INTEGER, code TEXT, name TEXT, "
               "duration REAL, float_days REAL, finish_date TEXT, is_critical INTEGER)")
    db.executemany("INSERT INTO bench_rows VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                   ((i, i % 40, f"A{i:06d}", f"Activity number {i} of the schedule", i * 0.25, (i % 97) - 20.5,
                     f"2024-{1 + i % 12:02d}-{1 + i % 28:02d}", i % 3 == 0) for i in range(ROWS)))
    db.commit()
    db.close()


def measure(target: str, repeats: int) -> None:
    """Child process: time test_query on `target`, print JSON."""
    from Corvalt.Quillon import Quillon

    service = Quillon(target, statement_timeout=None, max_rows=None)
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        record = service.test_query({"sql": SQL})
        times.append(time.perf_counter() - start)
        assert record["success"] and record["row_count"] == ROWS, record.get("execution_error")
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
    print(json.dumps({"median_s": statistics.median(times), "best_s": min(times), "peak_mb": peak}))


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--pg", default=os.environ.get("CORVALT_PG_ADMIN_URI"),
                        help="a PostgreSQL database the bench may create a table in (default: $CORVALT_PG_ADMIN_URI)")
    parser.add_argument("--repeats", type=int, default=5)
    parser.add_argument("--child", nargs=2, metavar=("TARGET", "REPEATS"), help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.child:
        measure(args.child[0], int(args.child[1]))
        return 0
    if not args.pg:
        parser.error("no server: pass --pg or start one with `source scripts/postgres.sh start`")
    from Corvalt.Quillon import copy_sqlite_to_postgres, masked_target

    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "bench.db")
        make_sqlite(path)
        copy_sqlite_to_postgres(path, args.pg, replace=True)
        results = {}
        for name, target in (("SQLite", path), ("PostgreSQL", args.pg)):
            out = subprocess.run([sys.executable, __file__, "--child", target, str(args.repeats)],
                                 capture_output=True, text=True, check=True)
            results[name] = json.loads(out.stdout.strip().splitlines()[-1])  # after any warning line
    print(f"{ROWS:,} rows x 8 columns into row records (Quillon.test_query), {args.repeats} runs, "
          f"{os.cpu_count()} cores; server {masked_target(args.pg)}")
    for name, r in results.items():
        print(f"  {name:<10} median {r['median_s'] * 1000:7.1f} ms  best {r['best_s'] * 1000:7.1f} ms  "
              f"peak memory {r['peak_mb']:6.1f} MB")
    ratio = results["PostgreSQL"]["median_s"] / results["SQLite"]["median_s"]
    print(f"  PostgreSQL / SQLite: {ratio:.2f}x (goal: at most 3x)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
