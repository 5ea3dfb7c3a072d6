"""Build-and-check entry shared by the bench schedule generators (bench/holdout*/make_holdout*.py).

Each generator owns its database (`generate`) and its metadata tables; this module gives them
one command line (--out / --check / --questions / --verbose), one way to write the outputs, and
the parts of the metadata document that every generator shapes the same way.
"""

import argparse
import collections
import datetime as dt
import json
import os
import sqlite3

from gold_check import check as check_questions

BENCH = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(BENCH)


def day_span(first, last):
    """The dates from `first` to `last` (ISO texts), both included."""
    d, out = dt.date.fromisoformat(first), []
    while d <= dt.date.fromisoformat(last):
        out.append(d)
        d += dt.timedelta(days=1)
    return out


def iso(d):
    """A date's ISO text; None for none."""
    return d.isoformat() if d else None


def insert_calendars(con, calendars, cals, table, exception_table, first, last):
    """Writes each calendar row (id, code, name, work days, week, hours a day, notes, kind) to `table`,
    and its non-working weekdays from `first` to `last` to `exception_table`."""
    exc_id = 0
    for row in calendars:
        cid, code, name, _, week, hrs, notes, _ = row
        con.execute(f"INSERT INTO {table} VALUES (?,?,?,?,?,?)", (cid, code, name, week, hrs, notes))
        cal = cals[code]
        for d in sorted(cal.off):
            if first <= d <= last and d.weekday() in cal.days:
                exc_id += 1
                con.execute(f"INSERT INTO {exception_table} VALUES (?,?,?,?,?)", (exc_id, cid, iso(d)) + cal.off[d])


def parse_pred(s):
    """A predecessor written "KEY" (finish to start) or "KEY:TYPElag" ("A.b:SS3") as (key, type, lag)."""
    key, rest = (s.split(":", 1) + [""])[:2]
    if not rest:
        return key, "FS", 0
    return key, rest[:2], int(rest[2:] or 0)


def logic_links(tasks, keys, parse_pred, finish_of):
    """The links the tasks' predecessors give, as (predecessor, successor, type, lag), then one to its
    plan's finish (`finish_of(task)`) from each task nothing follows."""
    links = []
    for k in keys:
        for pr in tasks[k]["preds"]:
            pk, typ, lag = parse_pred(pr)
            assert pk in tasks, (k, pk)
            links.append((pk, k, typ, lag))
    for k in keys:
        fin = finish_of(tasks[k])
        if k != fin and not any(lk[0] == k for lk in links):
            links.append((k, fin, "FS", 0))
    return links


def wbs_rows(wbs, root_code, root_name):
    """(key, parent, code, name, level) of a plan's WBS nodes, given as (key, parent, name) with the
    root's parent None: the root takes `root_code` and `root_name`, its children codes "ROOT.1", ...
    (level 2) and theirs "ROOT.1.1", ... (level 3)."""
    codes, counters = {}, {}
    for key, parent, name in wbs:
        if parent is None:
            code, level, name = root_code, 1, root_name
        else:
            counters[parent] = counters.get(parent, 0) + 1
            code = f"{codes[parent]}.{counters[parent]}"
            level = 2 if parent == "ROOT" else 3
        codes[key] = code
        yield key, parent, code, name, level


def progress_at(data_date, start, finish, dur, remaining, rng):
    """A task's state at the data date ("done", "started" or "not"), its percent complete and its
    remaining duration; `remaining()` gives a started task's remaining working days."""
    if finish <= data_date and (dur > 0 or start <= data_date):
        return "done", 100.0, 0
    if start <= data_date:
        rem = remaining()
        return "started", float(max(5, min(95, round(100 * (dur - rem) / dur * rng.uniform(0.85, 1.0) / 5) * 5))), rem
    return "not", 0.0, dur


class WorkDays:
    """Working-day arithmetic of a calendar: `days` holds its working weekdays (Monday 0) and `off`
    its non-working dates. Dates are boundaries: a working day d runs from d to d + 1 day."""

    ONE = dt.timedelta(days=1)

    def work(self, d):
        return d.weekday() in self.days and d not in self.off

    def fwd(self, d):
        while not self.work(d):
            d += self.ONE
        return d

    def back(self, d):
        while not self.work(d):
            d -= self.ONE
        return d

    def finish_b(self, sb, dur):
        """Morning after the dur-th working day counted from sb."""
        d, n = sb, 0
        while True:
            if self.work(d):
                n += 1
                if n == dur:
                    return d + self.ONE
            d += self.ONE

    def start_for(self, fb, dur):
        """Latest start whose dur working days end on or before the morning fb."""
        d, n = fb - self.ONE, 0
        while True:
            if self.work(d):
                n += 1
                if n == dur:
                    return d
            d -= self.ONE

    def wd(self, a, b):
        """Working days from boundary a to boundary b, negative when b is earlier."""
        sign = 1
        if b < a:
            a, b, sign = b, a, -1
        n, d = 0, a
        while d < b:
            n += self.work(d)
            d += self.ONE
        return sign * n


def shown_dates(task, sbound, fbound, dur, cal):
    """The first and last days a task shows for its start and finish boundaries: a finish milestone the
    day before its finish boundary, a start milestone its start boundary moved on to the next working day
    of `cal`, any other task its start boundary and the day before its finish boundary."""
    if dur == 0 and task["ms"] == "F":
        d = fbound - WorkDays.ONE
        return d, d
    if dur == 0:
        d = cal.fwd(sbound)
        return d, d
    return sbound, fbound - WorkDays.ONE


Activity = collections.namedtuple("Activity", [
    "state", "kind", "pct", "remaining", "start", "finish", "late_start", "late_finish", "actual_start",
    "actual_finish", "total_float", "free_float", "critical", "bl_start", "bl_finish"])


def gather_plans(groups, make_plan, start_of):
    """Each group's plan by its key (the group's first field), and every task by its key with the keys in
    plan order; a task starts no earlier than its group's start, `start_of(group)`."""
    plans, tasks, keys = {}, {}, []
    for group in groups:
        plan = make_plan(group)
        plans[group[0]] = plan
        for t in plan.tasks:
            t["start"] = start_of(group)
            tasks[t["key"]] = t
            keys.append(t["key"])
    return plans, tasks, keys


def stage_at(tasks, starts, durs, data_date, done, labels, testing, building):
    """The stage a project has reached at the data date, as one of four labels: the first when it is done,
    the second once a task that `testing` accepts has started, the third once one that `building` accepts
    has, else the fourth. A task has started when it starts on or before the data date and takes time."""
    def started(t):
        return starts[t["key"]] <= data_date and durs[t["key"]] > 0
    if done:
        return labels[0]
    if any(started(t) for t in tasks if testing(t)):
        return labels[1]
    if any(started(t) for t in tasks if building(t)):
        return labels[2]
    return labels[3]


def activity_at(data_date, tasks, key, durs, schedule, baseline, baseline_durs, cals, rng):
    """An activity as it stands at the data date, for its row in the activity table.

    schedule is forward_backward's result over durs (early and late boundaries, free float); baseline
    is the result the activity's baseline dates come from, over baseline_durs. Returns an Activity:
    state "done", "started" or "not" and percent complete (progress_at); kind "task", "start" or
    "finish" (milestone); the remaining duration; the early, late, actual and baseline dates it shows
    (late dates None once done, actual ones None until started or done, baseline ones None when the
    baseline lacks it); total and free float in working days (None once done); critical when its total
    float is zero or less. Durations and floats are floats."""
    t, d = tasks[key], durs[key]
    cal = cals[t["cal"]]
    sb, fb, lsb, lfb, free = schedule
    start, finish = shown_dates(t, sb[key], fb[key], d, cal)
    state, pct, rem = progress_at(data_date, start, finish, d, lambda: cal.wd(data_date + WorkDays.ONE, fb[key]),
                                  rng)
    done = state == "done"
    late_start, late_finish = shown_dates(t, lsb[key], lfb[key], d, cal)
    tf = None if done else cal.wd(fb[key], lfb[key])
    ff = None if done else max(0, min(free[key], max(tf, 0)))
    if key in baseline[0]:
        bl_start, bl_finish = shown_dates(t, baseline[0][key], baseline[1][key], baseline_durs[key], cal)
    else:
        bl_start = bl_finish = None
    kind = "task" if d > 0 else ("start" if t["ms"] == "S" else "finish")
    return Activity(state, kind, pct, float(rem), start, finish,
                    None if done else late_start, None if done else late_finish,
                    start if state != "not" else None, finish if done else None,
                    None if tf is None else float(tf), None if ff is None else float(ff),
                    tf is not None and tf <= 0, bl_start, bl_finish)


def baseline_activities(tasks, keys, baseline, durs, cals):
    """(key, start, finish, duration, total float) of each of `keys` that a baseline holds: baseline is
    forward_backward's result over durs; the dates are those the activity shows, the duration and total
    float are floats in working days."""
    bsb, bfb, _, blfb, _ = baseline
    for k in keys:
        if k not in bsb:
            continue
        t = tasks[k]
        cal = cals[t["cal"]]
        start, finish = shown_dates(t, bsb[k], bfb[k], durs[k], cal)
        yield k, start, finish, float(durs[k]), float(cal.wd(bfb[k], blfb[k]))


def assignment_hours(state, planned, base, dur, remaining_days, rng, done_spread=(0.92, 1.15),
                     started_spread=(0.9, 1.2)):
    """Actual and remaining hours of an assignment at the data date: `planned` hours for the activity's
    `base` planned working days, now `dur` days, `remaining_days` of them still to go; state is the
    activity's, as activity_at gives it. The actual hours vary by a factor drawn from the spread."""
    if state == "done":
        return round(planned * dur / base * rng.uniform(*done_spread), 1), 0.0
    if state == "started":
        act = round(planned * (1 - remaining_days / dur) * rng.uniform(*started_spread), 1)
        return act, round(max(planned - act, planned * 0.1), 1)
    return 0.0, planned


def worked_days(cal, sbound, fbound, data_date):
    """The working days of `cal` from the boundary sbound to the boundary fbound, up to the data date."""
    days, d = [], sbound
    while d < fbound and d <= data_date:
        if cal.work(d):
            days.append(d)
        d += WorkDays.ONE
    return days


def check_with_history(db_path, questions_path, verbose):
    """Checks the questions file (gold statements) and the history file next to it (every statement runs
    and returns rows)."""
    status = check_questions(db_path, questions_path, verbose)
    history_path = os.path.join(os.path.dirname(os.path.abspath(questions_path)), "history.json")
    con = sqlite3.connect(db_path)
    with open(history_path, encoding="utf-8") as fh:
        entries = json.load(fh)["enriched_queries"]
    failures = 0
    for n, e in enumerate(entries, 1):
        missing = [k for k in ("question", "natural_language_variations", "timestamp", "sql",
                               "complexity_description", "domain_concepts") if k not in e]
        try:
            rows = con.execute(e["sql"]).fetchall()
            problem = None if rows else "returned no rows"
        except sqlite3.Error as exc:
            rows, problem = [], f"SQL error: {exc}"
        if missing:
            problem = f"missing {missing}"
        if verbose or problem:
            print(f"h{n:2d} rows={len(rows):>4}  {e['question']}")
        if problem:
            print(f"      ERROR: {problem}")
            failures += 1
    print(f"{len(entries)} history entries")
    print("history check: OK" if not failures else f"history check: {failures} entr(y/ies) FAILED")
    return status or (1 if failures else 0)


def forward_backward(tasks, keys, durs, links, anchors, cals, group):
    """Forward pass from each task's own earliest date ("start", and "snet" when it has one) and backward
    pass with each task limited by the anchor of its group (tasks[k][group]: the morning after the group's
    key date). Calendars are WorkDays by tasks[k]["cal"]; links are (predecessor, successor, FS/SS/FF, lag
    in calendar days). Dates are boundaries: the morning of the first working day and the morning after
    the last. Returns starts, finishes, late starts, late finishes and free float in working days."""
    preds = {k: [] for k in keys}
    succs = {k: [] for k in keys}
    for p, s, t, lag in links:
        preds[s].append((p, t, lag))
        succs[p].append((s, t, lag))
    waiting = {k: len(preds[k]) for k in keys}
    ready = [k for k in keys if not waiting[k]]
    order = []
    while ready:
        k = ready.pop(0)
        order.append(k)
        for s, _, _ in succs[k]:
            waiting[s] -= 1
            if not waiting[s]:
                ready.append(s)
    assert len(order) == len(keys), "logic loop"
    sb, fb = {}, {}
    for k in order:
        t, d = tasks[k], durs[k]
        cal = cals[t["cal"]]
        c, fft = t["start"], None
        for p, typ, lag in preds[k]:
            if typ == "FS":
                c = max(c, fb[p] + dt.timedelta(days=lag))
            elif typ == "SS":
                c = max(c, sb[p] + dt.timedelta(days=lag))
            else:
                x = fb[p] + dt.timedelta(days=lag)
                fft = x if fft is None else max(fft, x)
        if t.get("snet"):
            c = max(c, t["snet"])
        if d > 0:
            s = cal.fwd(c)
            if fft is not None:
                s = cal.fwd(max(s, cal.start_for(fft, d)))
            sb[k], fb[k] = s, cal.finish_b(s, d)
        else:
            s = c if fft is None else max(c, fft)
            sb[k] = fb[k] = s
    lsb, lfb = {}, {}
    for k in reversed(order):
        t, d = tasks[k], durs[k]
        cal = cals[t["cal"]]
        lim, ssl = anchors[t[group]], None
        for s, typ, lag in succs[k]:
            if typ == "FS":
                lim = min(lim, lsb[s] - dt.timedelta(days=lag))
            elif typ == "SS":
                x = lsb[s] - dt.timedelta(days=lag)
                ssl = x if ssl is None else min(ssl, x)
            else:
                lim = min(lim, lfb[s] - dt.timedelta(days=lag))
        if d > 0:
            f = cal.back(lim - WorkDays.ONE) + WorkDays.ONE
            if ssl is not None:
                f = min(f, cal.finish_b(cal.back(ssl), d))
            lfb[k], lsb[k] = f, cal.start_for(f, d)
        else:
            f = lim if ssl is None else min(lim, ssl)
            lfb[k] = lsb[k] = f
    free = {}
    for k in order:
        cal = cals[tasks[k]["cal"]]
        f = cal.wd(fb[k], lfb[k] if not succs[k] else anchors[tasks[k][group]])
        for s, typ, lag in succs[k]:
            lagd = dt.timedelta(days=lag)
            if typ == "FS":
                f = min(f, cal.wd(fb[k], sb[s] - lagd))
            elif typ == "SS":
                f = min(f, cal.wd(sb[k], sb[s] - lagd))
            else:
                f = min(f, cal.wd(fb[k], fb[s] - lagd))
        free[k] = f
    return sb, fb, lsb, lfb, free


def anchored_baselines(tasks, keys, links, cpm, groups, far, cal):
    """The two baselines of a programme whose tasks marked "new" came with its re-plan: BL0 over the other
    tasks and their links with the planned durations, BL1 over all of them with their slip added. Each
    group's key date is the finish of its own baseline (BL1 where it was re-baselined) plus its margin in
    working days of `cal`; both baselines are then scheduled against those key dates (first against `far`).
    groups: (group id, the key of its finishing task, margin in working days, re-baselined).
    Returns base_keys, d0, b0, d1, b1, the key dates and the anchors (the morning after each key date)."""
    one = dt.timedelta(days=1)
    base_keys = [k for k in keys if not tasks[k]["new"]]
    base_links = [lk for lk in links if lk[0] in base_keys and lk[1] in base_keys]
    far_anchors = {g[0]: far for g in groups}
    d0 = {k: tasks[k]["dur"] for k in base_keys}
    b0 = cpm(tasks, base_keys, d0, base_links, far_anchors)
    d1 = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    b1 = cpm(tasks, keys, d1, links, far_anchors)
    key_dates = {}
    for group, finish_key, margin, rebased in groups:
        fin = (b1 if rebased else b0)[1][finish_key] - one
        key_dates[group] = fin if not margin else cal.finish_b(fin + one, margin) - one
    anchors = {g: d + one for g, d in key_dates.items()}
    b0 = cpm(tasks, base_keys, d0, base_links, anchors)
    b1 = cpm(tasks, keys, d1, links, anchors)
    return base_keys, d0, b0, d1, b1, key_dates, anchors


def default_out(name):
    """The default output folder of a generator: bench/out/<name>/ under the repository."""
    return os.path.join(REPO, "bench", "out", name)


def column_stats(con, table, col):
    q = f'SELECT MIN("{col}"), MAX("{col}"), COUNT(DISTINCT "{col}"), SUM("{col}" IS NULL) FROM "{table}"'
    mn, mx, dc, nc = con.execute(q).fetchone()
    return {"min": mn, "max": mx, "distinct_count": dc, "null_count": nc or 0}


def describe_tables(con, table_meta, business_rules, concepts, related_terms=None, *,
                    domain="scheduling", key_suffix="_id", indexed=(), covers_database=False):
    """The "tables" part of a metadata document, with row counts and column statistics read from
    the database. table_meta maps a table to (description, {column: (description, type)}), or to
    (description, domain, columns) where tables differ in domain. The first column is the key and
    is indexed, as are the (table, column) pairs in `indexed`; key columns (the first, and those
    ending in key_suffix) carry no statistics. With covers_database, every table of the database
    must be described."""
    related_terms = related_terms or {}
    tables = {}
    for table, entry in table_meta.items():
        desc, table_domain, cols = entry if len(entry) == 3 else (entry[0], domain, entry[1])
        rc = con.execute(f'SELECT COUNT(*) FROM "{table}"').fetchone()[0]
        db_cols = [r[1] for r in con.execute(f'PRAGMA table_info("{table}")')]
        assert db_cols == list(cols), (table, db_cols, list(cols))
        pk = db_cols[0]
        cmeta = {}
        for col, (cdesc, dtype) in cols.items():
            entry = {"description": cdesc, "data_type": dtype, "indexed": col == pk or (table, col) in indexed}
            if col != pk and not col.endswith(key_suffix):
                entry["statistics"] = column_stats(con, table, col)
            if (table, col) in business_rules:
                entry["business_rules"] = business_rules[(table, col)]
            if (table, col) in concepts:
                entry["concepts"] = concepts[(table, col)]
            cmeta[col] = entry
        tables[table] = {"description": desc, "domain": table_domain, "row_count": rc, "columns": cmeta}
        if table in related_terms:
            tables[table]["related_terms"] = related_terms[table]
    if covers_database:
        db_tables = {r[0] for r in con.execute("SELECT name FROM sqlite_master WHERE type = 'table'")}
        assert db_tables == set(tables), db_tables ^ set(tables)
    return tables


def metadata_document(tables, relationships, business_concepts, query_examples, keywords, terminology):
    """The metadata document in the loader's format. relationships are (from_table, to_table,
    join_condition, description) tuples, business_concepts map a name to its description and
    query_examples are (query, description, complexity) tuples."""
    return {
        "tables": tables,
        "relationships": [{"from_table": a, "to_table": b, "join_condition": c, "description": e}
                          for a, b, c, e in relationships],
        "business_concepts": {k: {"description": v} for k, v in business_concepts.items()},
        "query_examples": [{"query": q, "description": e, "complexity": c} for q, e, c in query_examples],
        "keywords": keywords,
        "terminology": terminology,
        "metadata_cleaning": {"cleaned_at": "2025-01-01T00:00:00", "cleaning_version": "1.0"},
    }


def main(argv, *, doc, out, db_name, meta_name, questions, generate, build_metadata,
         validate=None, check=check_questions, count_table=None):
    """Command line of a generator: builds the database (generate(db_path) returns an open
    connection) and the metadata document (build_metadata(con)) into --out, makes sure every
    query example returns rows (after validate(meta, con), when given), writes the document and,
    with --check, checks the questions file against the database. count_table adds that
    table's row count to the summary line. Returns the exit status."""
    ap = argparse.ArgumentParser(description=doc.split("\n\n")[0])
    ap.add_argument("--out", default=out, help=f"output directory (default {os.path.relpath(out, REPO)}/)")
    ap.add_argument("--check", action="store_true", help="run every gold statement after building")
    ap.add_argument("--questions", default=questions)
    ap.add_argument("--verbose", "-v", action="store_true", help="with --check, list every question")
    args = ap.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)
    db_path = os.path.join(args.out, db_name)
    meta_path = os.path.join(args.out, meta_name)
    con = generate(db_path)
    meta = build_metadata(con)
    if validate is not None:
        validate(meta, con)
    for ex in meta["query_examples"]:
        assert con.execute(ex["query"]).fetchall(), ex["query"]
    con.close()
    with open(meta_path, "w", encoding="utf-8") as fh:
        json.dump(meta, fh, indent=2)
        fh.write("\n")
    counts = {t: v["row_count"] for t, v in meta["tables"].items()}
    note = f"; {count_table} {counts[count_table]}" if count_table else ""
    print(f"wrote {db_path} ({len(counts)} tables, {sum(counts.values())} rows{note})")
    print(f"wrote {meta_path}")
    if args.check:
        return check(db_path, args.questions, args.verbose)
    return 0
