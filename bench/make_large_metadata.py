#!/usr/bin/env python3
"""Generate a large synthetic metadata document for load and search benchmarks.

The document has the same sections and shapes as data/enriched_project_metadata_cleaned.json
(tables with columns, statistics, business rules, concepts; relationships;
business concepts; query examples; keywords; terminology; cleaning record),
filled with schedule-flavoured words so that keyword search and the
example/term substring scans do realistic amounts of work.

With the defaults (2000 tables x 20 columns) the knowledge graph built from the
document has about 50,000 nodes. The script prints the exact node count the
graph builder will produce.

Usage:
  python bench/make_large_metadata.py [--tables N] [--columns M] [--seed S] [--broad] [--out PATH]

With --broad (2000 x 20: about 55,000 nodes and 86,000 edges, 13 MB) most column
descriptions also name common schedule words, so that a ten-keyword search
matches about two thirds of the nodes: the shape where building the host's
result objects weighs most.
"""

import argparse
import datetime as dt
import json
import os
import random
import sys

QUALIFIERS = [
    "site", "project", "contract", "vendor", "crew", "equipment", "material", "design",
    "permit", "inspection", "safety", "quality", "cost", "budget", "risk", "schedule",
    "resource", "baseline", "change", "invoice", "payment", "timesheet", "weather", "delivery",
    "procurement", "commissioning", "handover", "punch", "document", "drawing", "submittal", "rfi",
    "meeting", "issue", "milestone", "calendar", "shift", "zone", "trade", "subcontract",
    "warranty", "asset", "energy", "environment", "training", "audit", "claim", "forecast",
]
NOUNS = [
    "records", "items", "logs", "events", "lines", "details", "history", "plans", "reviews",
    "approvals", "requests", "orders", "entries", "snapshots", "assignments", "allocations",
    "estimates", "actuals", "variances", "summaries", "registers", "links", "codes", "categories",
    "periods", "versions", "notes", "checks", "reports", "schedules", "tasks", "steps", "rates",
    "units", "targets", "metrics", "alerts", "statuses", "responses", "transfers", "returns",
    "receipts", "certificates", "permits", "findings",
]
PURPOSES = [
    "used to track progress against the baseline schedule",
    "recorded by site supervisors at the end of each shift",
    "that feed the monthly cost and schedule report",
    "kept for audit of contractual obligations",
    "used by planners to update remaining durations and float",
    "linked to activities on the critical path",
    "for resource levelling and overallocation checks",
    "that support risk assessment and contingency planning",
    "exchanged with subcontractors through the document portal",
    "reviewed weekly in the project controls meeting",
    "used to forecast finish dates and negative float",
    "captured for earned value and cost variance analysis",
]
DOMAINS = [
    "scheduling", "project management", "critical path", "resource management", "risk assessment",
    "cost", "baseline management", "procurement", "quality", "safety", "documentation", "contracts",
]

COL_WORDS = [
    "start", "finish", "planned", "actual", "forecast", "early", "late", "baseline", "total_float",
    "free_float", "lag", "duration", "remaining", "cost", "budget", "earned", "quantity", "rate",
    "priority", "category", "owner", "approver", "location", "zone", "trade", "vendor", "currency",
    "reference", "version", "revision", "risk", "probability", "impact", "labour", "equipment",
    "weight", "severity", "phase", "discipline", "calendar", "shift", "crew", "contract", "invoice",
    "review", "approval", "delivery", "inspection", "permit", "milestone", "critical", "overtime",
    "variance", "contingency", "retention", "claim", "warranty", "handover", "defect", "weather",
]
SUFFIXES = [
    ("date", "TEXT", "date (ISO 8601 text)"), ("days", "REAL", "number of days"),
    ("amount", "REAL", "amount in US dollars"), ("count", "INTEGER", "count"),
    ("code", "TEXT", "code"), ("flag", "INTEGER", "flag, 1 when set"), ("name", "TEXT", "name"),
    ("pct", "REAL", "percentage from 0 to 100"), ("qty", "REAL", "quantity"),
    ("text", "TEXT", "free text"), ("status", "TEXT", "status value"), ("score", "INTEGER", "score"),
    ("hours", "REAL", "hours"), ("ref", "INTEGER", "reference number"),
]
RULE_KINDS = ["Validation", "Range Check", "Mandatory", "Consistency", "Approval", "Threshold",
              "Format", "Escalation", "Lock", "Audit"]
SHARED_RULES = [
    ("Date Order", "a finish date must not precede the matching start date"),
    ("Non Negative Amount", "monetary amounts are zero or positive"),
    ("Percent Range", "percentages lie between 0 and 100"),
    ("Critical Path Definition", "an open activity with total float of 0 days or less is critical"),
    ("Negative Float Escalation", "negative float must be reported with a recovery plan"),
    ("Excessive Lag", "lags above 20 days should be replaced by activities"),
    ("Data Date Currency", "records after the data date are forecasts, before it actuals"),
    ("Baseline Lock", "baseline values are never edited after approval"),
    ("Calendar Required", "every scheduled item needs a work calendar"),
    ("Owner Required", "every open item has a responsible owner"),
]
CONCEPTS = [
    "critical_path", "total_float", "free_float", "negative_float", "lag", "lead", "relationship_type",
    "driving_relationship", "schedule_logic", "milestone", "percent_complete", "data_date",
    "schedule_constraint", "wbs_hierarchy", "baseline_variance", "resource_loading", "cost_variance",
    "risk_exposure", "schedule_compression", "earned_value", "planned_value", "actual_cost",
    "schedule_performance_index", "cost_performance_index", "estimate_at_completion",
    "estimate_to_complete", "variance_at_completion", "budget_at_completion", "contingency_drawdown",
    "change_control", "claims_management", "productivity_rate", "resource_levelling",
    "resource_smoothing", "crew_productivity", "weather_delay", "concurrent_delay",
    "time_impact_analysis", "look_ahead_schedule", "near_critical_path", "float_consumption",
    "open_ends", "out_of_sequence_progress", "retained_logic", "progress_override",
    "monte_carlo_risk", "p80_finish_date", "quality_nonconformance", "safety_incident_rate",
    "handover_readiness",
]
TERM_PHRASES = [
    "critical path", "total float", "free float", "negative float", "data date", "earned value",
    "schedule performance index", "cost performance index", "estimate at completion", "look-ahead",
    "open end", "out of sequence", "retained logic", "progress override", "P80 finish",
    "near-critical", "time impact analysis", "concurrent delay", "resource levelling", "crashing",
    "fast tracking", "WBS", "OBS", "CBS", "level of effort", "hammock", "work package",
    "control account", "planning package", "BCWS", "BCWP", "ACWP", "SPI", "CPI", "EAC", "ETC",
    "VAC", "BAC",
]

# The broad shape: clauses that put the common schedule words of a question
# into most column descriptions, and one more rule for many columns, so that a
# ten-keyword search matches about two thirds of all nodes.
BROAD_CLAUSES = [
    "; it feeds the project schedule", "; checked for cost overruns", "; drives the critical path",
    "; used in resource planning", "; tracked per milestone", "; a delay indicator",
    "; recorded for each activity", "; part of the float analysis", "; reported with the schedule",
    "; rolled up to the project", "; compared against planned cost",
]
BROAD_RULE_KINDS = ["Schedule Check", "Cost Check", "Milestone Check", "Resource Check", "Delay Check"]

START = dt.date(2022, 1, 3)


def title(words):
    return " ".join(w.capitalize() for w in words.replace("_", " ").split())


def iso(offset):
    return (START + dt.timedelta(days=offset)).isoformat()


def table_names(rng, n):
    combos = ["%s_%s" % (q, w) for q in QUALIFIERS for w in NOUNS]
    rng.shuffle(combos)
    names = []
    for i in range(n):
        base = combos[i % len(combos)]
        names.append(base if i < len(combos) else "%s_%d" % (base, i // len(combos)))
    return names


def statistics(rng, sql_type, suffix, row_count):
    nulls = rng.randint(0, max(0, row_count // 20))
    if suffix == "date":
        lo = rng.randint(0, 900)
        return {"min": iso(lo), "max": iso(lo + rng.randint(30, 900)),
                "distinct_count": min(row_count, rng.randint(20, 1200)), "null_count": nulls}
    if sql_type in ("REAL", "INTEGER"):
        lo = rng.choice([0, 0, -rng.randint(1, 60)]) if suffix == "days" else 0
        hi = lo + rng.randint(10, 100000 if suffix == "amount" else 500)
        s = {"min": lo, "max": hi, "distinct_count": min(row_count, rng.randint(5, 5000)), "null_count": nulls}
        if sql_type == "REAL":
            s["min"], s["max"] = float(lo), float(hi)
            s["avg"] = round(rng.uniform(lo, hi), 2)
        return s
    return {"distinct_count": min(row_count, rng.randint(2, 300)), "null_count": nulls}


def build(args):
    rng = random.Random(args.seed)
    # The broad shape's additions draw from their own generator, so that the
    # rest of the document is the same as without them.
    broad_rng = random.Random(args.seed + 1000) if args.broad else None
    n_tables, n_columns = args.tables, args.columns
    names = table_names(rng, n_tables)

    # relationships first: each table after the first points to one or two
    # earlier tables (about 1.5 per table), through a foreign-key column
    parents = {name: [] for name in names}
    relationships = []
    for i, child in enumerate(names[1:], 1):
        k = 1 if i == 1 or rng.random() < 0.5 else 2
        for parent in rng.sample(names[:i], k):
            if len(parents[child]) + 1 >= n_columns:
                break
            parents[child].append(parent)
            relationships.append({
                "from_table": child, "to_table": parent,
                "join_condition": "%s.%s_id = %s.%s_id" % (child, parent, parent, parent),
                "description": "Each %s row belongs to one %s row" % (title(child).lower(), title(parent).lower()),
            })

    concept_uses = {c: 0 for c in CONCEPTS}
    rule_names = set()
    all_columns = []  # (table, column)
    date_columns, numeric_columns = {}, {}
    tables = {}
    for name in names:
        q, noun = name.split("_", 1) if "_" in name else (name, "records")
        row_count = int(10 ** rng.uniform(1, 6.7))
        cols = {}
        pk = "%s_id" % name
        cols[pk] = {"description": "Unique identifier of the %s" % title(name).lower(),
                    "data_type": "INTEGER", "indexed": True}
        for parent in parents[name]:
            cols["%s_id" % parent] = {"description": "%s this row belongs to" % title(parent),
                                      "data_type": "INTEGER", "indexed": True}
        guard = 0
        while len(cols) < n_columns and guard < 10 * n_columns:
            guard += 1
            word = rng.choice(COL_WORDS)
            suffix, sql_type, meaning = rng.choice(SUFFIXES)
            cname = "%s_%s" % (word, suffix)
            if cname in cols:
                continue
            c = {"description": "%s %s of the %s %s" % (title(word), meaning, q, noun.rstrip("s")),
                 "data_type": sql_type, "indexed": rng.random() < 0.15}
            if rng.random() < 0.25:
                c["statistics"] = statistics(rng, sql_type, suffix, row_count)
            if rng.random() < 0.175:
                rules = []
                for _ in range(1 if rng.random() < 0.8 else 2):
                    if rng.random() < 0.25:
                        rn, rt = rng.choice(SHARED_RULES)
                    else:
                        rn = "%s %s %s" % (title(name), title(cname), rng.choice(RULE_KINDS))
                        rt = "%s of %s must satisfy the %s policy of the %s domain" % (
                            title(cname), title(name).lower(), rng.choice(RULE_KINDS).lower(), rng.choice(DOMAINS))
                    rules.append("%s: %s" % (rn, rt))
                    rule_names.add(rn)
                c["business_rules"] = rules
            if rng.random() < 0.05:
                rn = "%s %s Policy" % (title(name), title(cname))
                c["related_business_rules"] = [{"name": rn, "description": "Changes to %s need approval by the %s owner" % (
                    title(cname).lower(), q)}]
                rule_names.add(rn)
            if rng.random() < 0.05:
                picked = rng.sample(CONCEPTS, 1 if rng.random() < 0.7 else 2)
                c["concepts"] = picked
                for p in picked:
                    concept_uses[p] += 1
            if broad_rng is not None:
                if broad_rng.random() < args.broad_share:
                    c["description"] += broad_rng.choice(BROAD_CLAUSES)
                if broad_rng.random() < 0.15:
                    rn = "%s %s %s" % (title(name), title(cname), broad_rng.choice(BROAD_RULE_KINDS))
                    c.setdefault("business_rules", []).append(
                        "%s: %s of %s must follow the project schedule and cost plan" % (
                            rn, title(cname), title(name).lower()))
                    rule_names.add(rn)
            cols[cname] = c
            if suffix == "date":
                date_columns.setdefault(name, []).append(cname)
            elif sql_type in ("REAL", "INTEGER") and suffix not in ("flag", "ref"):
                numeric_columns.setdefault(name, []).append(cname)
        for cname in cols:
            all_columns.append((name, cname))
        tables[name] = {
            "description": "%s %s %s" % (title(q), noun, rng.choice(PURPOSES)),
            "domain": rng.choice(DOMAINS),
            "row_count": row_count,
            "columns": cols,
        }

    # every business concept is implemented by at least one column
    for concept, uses in concept_uses.items():
        if uses == 0:
            t, cname = rng.choice(all_columns)
            tables[t]["columns"][cname].setdefault("concepts", []).append(concept)

    business_concepts = {c: {"description": "%s: a measure or practice of project controls used in %s" % (
        title(c), rng.choice(DOMAINS))} for c in CONCEPTS}

    examples = []
    rel_by_child = {}
    for r in relationships:
        rel_by_child.setdefault(r["from_table"], []).append(r)
    for i in range(args.examples):
        t = rng.choice(names)
        cols = list(tables[t]["columns"])
        picked = rng.sample(cols, min(len(cols), rng.randint(2, 4)))
        sql = "SELECT %s FROM %s a" % (", ".join("a." + c for c in picked), t)
        desc_words = ["List", title(t).lower()]
        joined = rel_by_child.get(t)
        if joined and rng.random() < 0.5:
            r = rng.choice(joined)
            sql += " JOIN %s b ON a.%s_id = b.%s_id" % (r["to_table"], r["to_table"], r["to_table"])
            desc_words += ["with their", title(r["to_table"]).lower()]
        where = []
        if t in date_columns and rng.random() < 0.6:
            dc = rng.choice(date_columns[t])
            where.append("a.%s >= '%s'" % (dc, iso(rng.randint(0, 1000))))
            desc_words += ["where", title(dc).lower(), "is after a date"]
        if t in numeric_columns and rng.random() < 0.5:
            nc = rng.choice(numeric_columns[t])
            where.append("a.%s > %d" % (nc, rng.randint(0, 50)))
            desc_words += ["and", title(nc).lower(), "above a threshold"]
        if where:
            sql += " WHERE " + " AND ".join(where)
        sql += " ORDER BY a.%s" % picked[0]
        if rng.random() < 0.4:
            sql += " LIMIT %d" % rng.choice([10, 20, 50, 100])
        sql += ";"
        ex = {"query": sql, "description": " ".join(desc_words)}
        if rng.random() < 0.9:
            ex["complexity"] = "medium" if joined and " JOIN " in sql else rng.choice(["simple", "simple", "complex"])
        examples.append(ex)

    keywords = {}
    candidates = ([w.replace("_", " ") for w in COL_WORDS] + QUALIFIERS + [n.rstrip("s") for n in NOUNS]
                  + [c.replace("_", " ") for c in CONCEPTS] + [p.lower() for p in TERM_PHRASES])
    pool = list(dict.fromkeys(candidates))
    rng.shuffle(pool)
    extra = 0
    while len(pool) < args.keywords:
        pool.append("%s %s" % (rng.choice(QUALIFIERS), rng.choice(NOUNS).rstrip("s") + str(extra)))
        extra += 1
    for kw in pool[:args.keywords]:
        targets = []
        for _ in range(rng.randint(2, 6)):
            r = rng.random()
            if r < 0.5:
                t, cname = rng.choice(all_columns)
                targets.append("%s.%s" % (t, cname))
            elif r < 0.75:
                targets.append(rng.choice(CONCEPTS))
            else:
                targets.append(rng.choice(names))
        keywords[kw] = targets

    terms = list(dict.fromkeys([w.split("_")[-1] for w in COL_WORDS] + [s for s, _, _ in SUFFIXES] + TERM_PHRASES))
    rng.shuffle(terms)
    k = 0
    while len(terms) < args.terms:
        terms.append("term %d" % k)
        k += 1
    terminology = {t: "%s: %s" % (t, rng.choice(PURPOSES)) for t in terms[:args.terms]}

    doc = {
        "tables": tables,
        "relationships": relationships,
        "business_concepts": business_concepts,
        "query_examples": examples,
        "keywords": keywords,
        "terminology": terminology,
        "metadata_cleaning": {"cleaned_at": "2024-11-18T09:42:17.512384", "cleaning_version": "1.2"},
    }
    counts = {
        "tables": len(tables),
        "columns": len(all_columns),
        "rules": len(rule_names),
        "concepts": len({c for t in tables.values() for col in t["columns"].values()
                          for c in col.get("concepts", ())}),
        "examples": len(examples),
        "keywords": len(keywords),
        "terms": len(terminology),
    }
    counts["nodes"] = sum(counts.values())
    counts["relationships"] = len(relationships)
    return doc, counts


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description="Generate a large synthetic metadata document.")
    ap.add_argument("--tables", type=int, default=2000)
    ap.add_argument("--columns", type=int, default=20)
    ap.add_argument("--examples", type=int, default=200)
    ap.add_argument("--keywords", type=int, default=300)
    ap.add_argument("--terms", type=int, default=None, help="default: 100, 44 with --broad")
    ap.add_argument("--broad", action="store_true",
                    help="most column descriptions name common schedule words and many columns get "
                         "one more rule: a ten-keyword search matches about two thirds of the nodes")
    ap.add_argument("--broad-share", type=float, default=0.7,
                    help="with --broad: share of columns whose description gets such a clause")
    ap.add_argument("--seed", type=int, default=7)
    ap.add_argument("--out", default=None, help="default: bench/out/large_metadata_<tables>x<columns>.json")
    args = ap.parse_args(argv)
    if args.terms is None:
        args.terms = 44 if args.broad else 100
    if args.tables < 1 or args.columns < 1:
        ap.error("--tables and --columns must be at least 1")
    if min(args.examples, args.keywords, args.terms) < 0:
        ap.error("--examples, --keywords and --terms must not be negative")
    out = args.out or os.path.join(here, "out", "large_metadata_%dx%d%s.json" % (
        args.tables, args.columns, "_broad" if args.broad else ""))
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)

    doc, counts = build(args)
    tmp = out + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        json.dump(doc, f, indent=2, ensure_ascii=True)
    os.replace(tmp, out)
    print("wrote %s (%d bytes)" % (out, os.path.getsize(out)))
    print("graph nodes: %(nodes)d = %(tables)d tables + %(columns)d columns + %(rules)d rules + "
          "%(concepts)d concepts + %(examples)d examples + %(keywords)d keywords + %(terms)d terms; "
          "%(relationships)d relationships" % counts)
    return 0


if __name__ == "__main__":
    sys.exit(main())
