"""Checks a bench question file against its database: every gold statement (and
every previous statement of a follow-up) runs and returns rows, reads exactly the tables its
`gold_tables` names, and every question has a difficulty."""
import json
import re
import sqlite3

TABLE_REF = re.compile(r'\b(?:FROM|JOIN)\s+"?([A-Za-z_][A-Za-z0-9_]*)"?', re.I)


def referenced_tables(sql, known):
    ctes = {m.group(1).lower() for m in re.finditer(r'\b([A-Za-z_]\w*)\s+AS\s*\(', sql, re.I)}
    found = []
    for m in TABLE_REF.finditer(sql):
        name = m.group(1).lower()
        if name in known and name not in ctes and name not in found:
            found.append(name)
    return found


def check(db_path, questions_path, verbose):
    con = sqlite3.connect(db_path)
    known = {r[0].lower() for r in con.execute("SELECT name FROM sqlite_master WHERE type = 'table'")}
    with open(questions_path, encoding="utf-8") as fh:
        questions = json.load(fh)
    failures = 0
    for n, q in enumerate(questions, 1):
        problems = []
        if q.get("difficulty") not in ("easy", "medium", "hard"):
            problems.append("bad difficulty")
        if q.get("answerable", True) is False:
            continue
        statements = [("gold", q["gold_sql"])] + ([("previous", q["previous_sql"])] if "previous_sql" in q else [])
        count = None
        for label, sql in statements:
            try:
                rows = con.execute(sql).fetchall()
            except sqlite3.Error as exc:
                problems.append(f"{label} SQL error: {exc}")
                continue
            if not rows:
                problems.append(f"{label} SQL returned no rows")
            if label == "gold":
                count = len(rows)
        tabs = referenced_tables(q["gold_sql"], known)
        if sorted(tabs) != sorted(t.lower() for t in q["gold_tables"]):
            problems.append(f"gold_tables {q['gold_tables']} but SQL reads {tabs}")
        if verbose or problems:
            print(f"{n:3d} [{q['difficulty']:6s}] rows={count!s:>4}  {q['question']}")
        for p in problems:
            print(f"      ERROR: {p}")
        failures += bool(problems)
    print(f"{len(questions)} questions")
    print("check: OK" if not failures else f"check: {failures} question(s) FAILED")
    return 0 if not failures else 1
