#!/usr/bin/env python3
"""Generate a large question-history file (`enriched_queries`) for load and
strong-match benchmarks.

Questions, their rephrasings and SQL are built from schedule-flavoured
templates over the sample database's tables, with enough variety in the words
that word-overlap scoring has real work to do. Project codes beyond the
sample's eight are made up, so most SQL finds no rows on the sample database.

Usage:
  python bench/make_large_history.py [--entries N] [--variations V] [--seed S] [--out PATH]
"""

import argparse
import datetime as dt
import json
import os
import random
import sys

PROJECTS = ["RMC", "HBR", "NDC", "LRT", "CVW", "STO", "ESS", "GSF"]
ZONES = ["Zone A", "Zone B", "Zone C", "Zone D", "Zone E", "Zone F", "Zone G"]
TRADES = ["excavation", "foundations", "structural steel", "metal deck", "precast panels", "curtain wall",
          "roofing", "mechanical rough-in", "electrical rough-in", "plumbing", "fire sprinklers",
          "switchgear", "HVAC equipment", "drywall", "ceilings", "painting", "flooring", "trim-out",
          "punch list", "commissioning", "design review", "permit approval", "procurement"]
STATES = ["not started", "in progress", "completed", "critical", "late", "constrained", "near-critical"]

# (question, variations, sql, complexity, concepts); placeholders filled per entry
TEMPLATES = [
    ("Show {trade} activities with negative float in project {proj}",
     ["Which {trade} activities in {proj} have negative float?",
      "List {proj} {trade} work behind the target finish",
      "{trade} activities below zero total float for {proj}",
      "Negative float {trade} tasks in project {proj}"],
     "SELECT a.activity_code, a.activity_name, a.total_float_days FROM activities a JOIN projects p ON p.project_id = a.project_id "
     "WHERE p.project_code = '{proj}' AND a.activity_name LIKE '%{trade}%' AND a.total_float_days < 0 ORDER BY a.total_float_days;",
     "Join of activities and projects with name pattern and float filter", ["negative_float", "total_float"]),
    ("Which {state} activities in {zone} finish after {date}?",
     ["{state} {zone} activities finishing later than {date}",
      "List {zone} activities that are {state} and end after {date}",
      "Activities in {zone} ({state}) with finish after {date}"],
     "SELECT activity_code, activity_name, early_finish_date FROM activities WHERE activity_name LIKE '%{zone}%' "
     "AND early_finish_date > '{date}' ORDER BY early_finish_date;",
     "Single-table filter on name and date", ["data_date"]),
    ("List relationships with lag greater than {n} days in project {proj}",
     ["Relationships in {proj} whose lag exceeds {n} days",
      "Which {proj} logic links have lags over {n} days?",
      "Show lags above {n} days for {proj}"],
     "SELECT r.relationship_id, r.relationship_type, r.lag_days FROM activity_relationships r JOIN projects p ON p.project_id = r.project_id "
     "WHERE p.project_code = '{proj}' AND r.lag_days > {n} ORDER BY r.lag_days DESC;",
     "Join with numeric lag threshold", ["lag", "schedule_logic"]),
    ("How many {trade} activities are {state} per project?",
     ["Count {state} {trade} activities by project",
      "Number of {trade} tasks that are {state} in each project",
      "{trade}: {state} activity count per project"],
     "SELECT p.project_code, COUNT(*) FROM activities a JOIN projects p ON p.project_id = a.project_id "
     "WHERE a.activity_name LIKE '%{trade}%' GROUP BY p.project_code;",
     "Join with grouping and count", ["percent_complete"]),
    ("Top {n} risks for {trade} in project {proj}",
     ["Highest scoring {trade} risks of {proj}",
      "Biggest {n} risks affecting {trade} on {proj}",
      "Which {trade} risks in {proj} score highest?"],
     "SELECT rk.risk_title, rk.risk_score FROM risks rk JOIN projects p ON p.project_id = rk.project_id "
     "WHERE p.project_code = '{proj}' ORDER BY rk.risk_score DESC LIMIT {n};",
     "Join with ordering and row limit", ["risk_exposure"]),
    ("Show baseline finish variance for {trade} in {zone}",
     ["Compare {zone} {trade} finish dates against the baseline",
      "How far did {trade} in {zone} slip from baseline?",
      "Baseline slip of {trade} activities, {zone}"],
     "SELECT a.activity_code, julianday(a.early_finish_date) - julianday(ba.baseline_finish_date) AS variance_days "
     "FROM activities a JOIN baseline_activities ba ON ba.activity_id = a.activity_id "
     "WHERE a.activity_name LIKE '%{trade}%' AND a.activity_name LIKE '%{zone}%' ORDER BY variance_days DESC;",
     "Join with date arithmetic", ["baseline_variance"]),
    ("Which resources on {trade} are over budget since {date}?",
     ["Over budget resources working on {trade} after {date}",
      "{trade} resource assignments exceeding budget from {date}",
      "Resources with cost overrun on {trade} since {date}"],
     "SELECT res.resource_name, SUM(ra.actual_cost) - SUM(ra.budgeted_cost) AS overrun FROM resource_assignments ra "
     "JOIN resources res ON res.resource_id = ra.resource_id JOIN activities a ON a.activity_id = ra.activity_id "
     "WHERE a.activity_name LIKE '%{trade}%' AND ra.planned_start_date >= '{date}' GROUP BY res.resource_name HAVING overrun > 0;",
     "Three-table join with aggregation", ["cost_variance", "resource_loading"]),
    ("What is the free float of {state} {trade} activities in {proj}?",
     ["Free float for {trade} in {proj} ({state})",
      "Show free float of {proj} {trade} tasks that are {state}",
      "{proj}: free float on {state} {trade} activities"],
     "SELECT a.activity_code, a.free_float_days, a.total_float_days FROM activities a JOIN projects p ON p.project_id = a.project_id "
     "WHERE p.project_code = '{proj}' AND a.activity_name LIKE '%{trade}%' ORDER BY a.free_float_days;",
     "Join with name filter", ["free_float", "total_float"]),
]


def fill(text, values):
    return text.format(**values)


def project_codes(rng, n):
    """The sample database's eight codes first, then made-up ones for variety."""
    codes = list(PROJECTS)
    letters = "ABCDEFGHJKLMNPRSTUVWXYZ"
    while len(codes) < n:
        c = "".join(rng.choice(letters) for _ in range(3))
        if c not in codes:
            codes.append(c)
    return codes


def build(args):
    rng = random.Random(args.seed)
    projects = project_codes(rng, 160)
    base = dt.datetime(2023, 1, 2, 7, 30, 0, 125000)
    start = dt.date(2024, 1, 1)
    entries = []
    for i in range(args.entries):
        question, variations, sql, complexity, concepts = rng.choice(TEMPLATES)
        values = {
            "proj": rng.choice(projects), "zone": rng.choice(ZONES), "trade": rng.choice(TRADES),
            "state": rng.choice(STATES), "n": rng.randint(2, 90),
            "date": (start + dt.timedelta(days=rng.randint(0, 700))).isoformat(),
        }
        picked = rng.sample(variations, min(args.variations, len(variations)))
        while len(picked) < args.variations:  # more asked for than the template has
            picked.append("%s (%d)" % (rng.choice(variations), len(picked)))
        stamp = base + dt.timedelta(minutes=7 * i, seconds=rng.randint(0, 59), microseconds=rng.randint(0, 999999))
        entries.append({
            "question": fill(question, values),
            "natural_language_variations": [fill(v, values) for v in picked],
            "timestamp": stamp.isoformat(),
            "sql": fill(sql, values),
            "complexity_description": complexity,
            "domain_concepts": list(concepts),
        })
    return {"enriched_queries": entries}


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description="Generate a large question-history file.")
    ap.add_argument("--entries", type=int, default=100000)
    ap.add_argument("--variations", type=int, default=3)
    ap.add_argument("--seed", type=int, default=11)
    ap.add_argument("--out", default=None, help="default: bench/out/large_history_<entries>.json")
    args = ap.parse_args(argv)
    if args.entries < 0 or args.variations < 0:
        ap.error("--entries and --variations must not be negative")
    out = args.out or os.path.join(here, "out", "large_history_%d.json" % args.entries)
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)

    doc = build(args)
    tmp = out + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        json.dump(doc, f, indent=2, ensure_ascii=True)
    os.replace(tmp, out)
    print("wrote %s (%d entries, %d bytes)" % (out, len(doc["enriched_queries"]), os.path.getsize(out)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
