#!/usr/bin/env python3
"""Build the bundled sample data: a project-scheduling SQLite database, the
metadata document that describes it, and a question history with SQL.

Everything is derived from one seeded random generator, so a rerun produces
the same files. The schedule numbers are not random noise: activities are
linked by FS/SS/FF/SF relationships with lags, and early/late dates, total and
free float come from a forward and backward pass against each project's target
finish date, after progress up to the project's data date.

The fixed content lives in sample_data/ beside this script:
  schema.json     the tables in order; each column is [name, SQL type,
                  description] plus, when needed, an options object: indexed
                  (gets an index), stats (statistics in the metadata document),
                  references (the REFERENCES clause), and business_rules,
                  related_business_rules and concepts (copied into the document)
  reference.json  what the rows are made from: people, projects, calendars and
                  their exceptions, the activity templates of design,
                  procurement, trades and commissioning, activity codes,
                  resources, risk and note templates
  metadata.json   the document's relationships, business concepts, query
                  examples, keywords and terminology
  history.json    the question history entries (timestamps are made here)
SQL text may be stored as a list of pieces, which are joined as they are.

Usage: python scripts/make_sample_data.py [--out-dir DIR]
"""

import argparse
import datetime as dt
import json
import os
import random
import sqlite3
import sys

SEED = 20240917
CLEANED_AT = "2024-11-18T09:42:17.512384"
CLEANING_VERSION = "1.2"

METADATA_NAME = "enriched_project_metadata_cleaned.json"
DB_NAME = "project_schedule.db"
HISTORY_NAME = "query_history.json"

DATA_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample_data")


def load(name):
    with open(os.path.join(DATA_DIR, name), encoding="utf-8") as f:
        return json.load(f)


def sql_text(value):
    return "".join(value) if isinstance(value, list) else value


# --------------------------------------------------------------------------
# Schema: one definition drives the DDL, the metadata document and the
# statistics, so the database and its description cannot drift apart.
# Column tuple: (name, sql type, description, indexed, extras)
# extras keys: stats (bool), business_rules, related_business_rules, concepts,
#              references ("table(column)")
# --------------------------------------------------------------------------

def col(name, sql_type, description, indexed=False, **extras):
    return (name, sql_type, description, indexed, extras)


SCHEMA = [(t["name"], {"description": t["description"], "domain": t["domain"],
                       "columns": [col(*c[:3], **(c[3] if len(c) > 3 else {})) for c in t["columns"]]})
          for t in load("schema.json")["tables"]]

_REFERENCE = load("reference.json")
PEOPLE = _REFERENCE["people"]
PROJECTS = _REFERENCE["projects"]
DATA_DATE_CAP = dt.date.fromisoformat(_REFERENCE["data_date_cap"])
CALENDARS = _REFERENCE["calendars"]
PUBLIC_HOLIDAYS = _REFERENCE["public_holidays"]
OTHER_CALENDAR_EXCEPTIONS = _REFERENCE["other_calendar_exceptions"]
DESIGN_TASKS = _REFERENCE["design_tasks"]            # name, min/max duration
PROCUREMENT_ITEMS = _REFERENCE["procurement_items"]
TRADES = _REFERENCE["trades"]  # trade, min/max duration, discipline code, procurement item that feeds it
CURING_TRADES = set(_REFERENCE["curing_trades"])
COMMISSIONING = _REFERENCE["commissioning"]          # name, min/max duration
ACTIVITY_CODES = _REFERENCE["activity_codes"]        # type, value, description
LABOR = _REFERENCE["labor"]                          # role, unit, cost per unit, max units per day
EQUIPMENT = _REFERENCE["equipment"]                  # name, unit, cost per unit, max units per day
MATERIALS = _REFERENCE["materials"]                  # name, unit, cost per unit, max units per day
DISCIPLINE_LABOR = _REFERENCE["discipline_labor"]    # discipline -> labor roles, the first always
RISK_TEMPLATES = _REFERENCE["risk_templates"]        # title, category
NOTE_TEMPLATES = _REFERENCE["note_templates"]        # note type, text


# --------------------------------------------------------------------------
# Schedule model
# --------------------------------------------------------------------------

class Activity:
    __slots__ = ("idx", "code", "name", "kind", "dur", "wbs", "phase", "discipline",
                 "area", "preds", "succs", "constraint", "p_es", "p_ef", "p_lf",
                 "status", "act_start", "act_finish", "remaining",
                 "es", "ef", "lf", "tf", "ff")

    def __init__(self, idx, name, kind, dur, wbs, phase, discipline, area=None):
        self.idx = idx
        self.code = None
        self.name = name
        self.kind = kind
        self.dur = dur
        self.wbs = wbs
        self.phase = phase
        self.discipline = discipline
        self.area = area
        self.preds = []      # (pred idx, type, lag)
        self.succs = []      # (succ idx, type, lag)
        self.constraint = None  # (type, day offset)
        self.p_es = self.p_ef = self.p_lf = None
        self.status = "Not Started"
        self.act_start = self.act_finish = None
        self.remaining = dur
        self.es = self.ef = self.lf = None
        self.tf = self.ff = None


def pick_link_type(rng):
    r = rng.random()
    if r < 0.85:
        return "FS"
    if r < 0.92:
        return "SS"
    if r < 0.98:
        return "FF"
    return "SF"


def pick_lag(rng, rtype, curing=False):
    if curing:
        return float(rng.choice([7, 7, 10, 14]))
    if rtype == "SS":
        return float(rng.randint(2, 10))
    if rtype in ("FF", "SF"):
        return float(rng.randint(0, 5))
    r = rng.random()
    if r < 0.70:
        return 0.0
    if r < 0.90:
        return float(rng.randint(1, 5))
    if r < 0.95:
        return float(-rng.randint(1, 3))   # a lead
    return float(rng.randint(21, 35))      # the kind of lag the rules call excessive


def link_bound(pred_es, pred_ef, rtype, lag, succ_dur):
    """Earliest start the link allows for the successor."""
    if rtype == "FS":
        return pred_ef + lag
    if rtype == "SS":
        return pred_es + lag
    if rtype == "FF":
        return pred_ef + lag - succ_dur
    return pred_es + lag - succ_dur  # SF


def late_bound(succ_ls, succ_lf, rtype, lag, pred_dur):
    """Latest finish the link allows for the predecessor."""
    if rtype == "FS":
        return succ_ls - lag
    if rtype == "SS":
        return succ_ls - lag + pred_dur
    if rtype == "FF":
        return succ_lf - lag
    return succ_lf - lag + pred_dur  # SF


class Network:
    """The activities, logic and WBS of one project while it is laid out.
    Activities are numbered in creation order and every link runs from a lower
    index to a higher one, so index order is a topological order."""

    def __init__(self, rng):
        self.rng = rng
        self.acts = []
        self.wbs = []  # (key, parent key, name); parents first

    def add_wbs(self, key, parent, name):
        self.wbs.append((key, parent, name))
        return key

    def new(self, name, kind, dur, w, phase, disc, area=None):
        a = Activity(len(self.acts), name, kind, float(dur), w, phase, disc, area)
        self.acts.append(a)
        return a

    def link(self, p, s, rtype=None, lag=None, curing=False):
        assert p.idx < s.idx
        if rtype is None:
            rtype = pick_link_type(self.rng)
        if lag is None:
            lag = pick_lag(self.rng, rtype, curing)
        p.succs.append((s.idx, rtype, lag))
        s.preds.append((p.idx, rtype, lag))

    def milestone(self, name, kind, area=None):
        return self.new(name, kind, 0, "mil", "MIL", "PMG", area)


def build_project_network(rng, proj_idx, code):
    """Activities and logic of one project; returns (activities, WBS, construction areas)."""
    net = Network(rng)
    net.add_wbs("root", None, None)
    for key, name in (("mil", "Key Milestones"), ("des", "Design"), ("prc", "Procurement"),
                      ("con", "Construction"), ("cms", "Commissioning and Close-out")):
        net.add_wbs(key, "root", name)

    ntp = net.milestone("Notice to proceed", "Start Milestone")
    design, design_done = add_design(net, ntp)
    deliveries = add_procurement(net, design)
    const_start = net.milestone("Construction start", "Start Milestone")
    net.link(design_done, const_start, "FS", 0.0)
    net.link(design["Building permit approval"], const_start, "FS", 0.0)
    areas, grid, handovers = add_construction(net, const_start, deliveries)
    subst = net.milestone("Substantial completion", "Finish Milestone")
    for h in handovers:
        net.link(h, subst, "FS", 0.0)
    add_commissioning(net, grid, handovers, subst, deliveries)

    for i, a in enumerate(net.acts):
        a.code = "%s-A%04d" % (code, 1000 + 10 * i)
    return net.acts, net.wbs, areas


def add_design(net, ntp):
    """A chain with the three discipline packages running in parallel; returns
    the design activities by name and the design-complete milestone."""
    rng, link = net.rng, net.link
    design = []
    for name, lo, hi in DESIGN_TASKS:
        if name == "Fire strategy report" and rng.random() < 0.3:
            continue
        design.append(net.new(name, "Task", rng.randint(lo, hi), "des", "DES", "ENG"))
    by_name = {a.name: a for a in design}
    link(ntp, design[0], "FS", 0.0)
    prev = design[0]
    for a in design[1:]:
        if a.name.startswith("Design development") and prev.name.startswith("Design development"):
            link(by_name["Schematic design"], a, "FS", float(rng.choice([0, 0, 2])))
            link(prev, a, "SS", float(rng.randint(3, 8)))
        elif a.name == "Building permit approval":
            # the authority's review period is modelled as a lag, not as work
            link(prev, a, "FS", float(rng.randint(45, 60)))
        else:
            link(prev, a, "FS" if rng.random() < 0.85 else "SS",
                 None if rng.random() < 0.5 else 0.0)
        prev = a
    design_done = net.milestone("Design complete", "Finish Milestone")
    link(by_name["Issued for construction drawings"], design_done, "FS", 0.0)
    return by_name, design_done


def add_procurement(net, design):
    """RFQ -> award -> fabricate and deliver per long-lead item; returns the
    delivery activities by item."""
    rng, link = net.rng, net.link
    items = rng.sample(PROCUREMENT_ITEMS, rng.randint(5, 7))
    items.sort(key=PROCUREMENT_ITEMS.index)
    deliveries = {}
    for item in items:
        rfq = net.new("Issue RFQ - " + item, "Task", rng.randint(10, 15), "prc", "PRC", "SCM")
        award = net.new("Award purchase order - " + item, "Task", rng.randint(5, 10), "prc", "PRC", "SCM")
        fab = net.new("Fabricate and deliver - " + item, "Task", rng.randint(20, 55), "prc", "PRC", "SCM")
        link(design["Design development - structural" if "steel" in item.lower() or "precast" in item.lower()
                    else "Design development - MEP"], rfq, "FS", 0.0)
        link(rfq, award, "FS", float(rng.randint(0, 5)))
        # shop drawing review sits in the lag; sometimes it is far too long
        link(award, fab, "FS", float(rng.choice([5, 10, 14, 21, 30, 48])))
        deliveries[item] = fab
    return deliveries


def add_construction(net, const_start, deliveries):
    """The same trade sequence in every zone, crews flowing zone to zone;
    returns the areas, each area's activities by trade and the handovers."""
    rng, link = net.rng, net.link
    n_areas = rng.randint(5, 7)
    areas = ["Zone " + "ABCDEFG"[i] for i in range(n_areas)]
    area_wbs = [net.add_wbs("con%d" % i, "con", "Construction - " + areas[i]) for i in range(n_areas)]
    handovers = []
    grid = []
    for ai, area in enumerate(areas):
        row = {}
        prev = None
        for trade, lo, hi, disc, item in TRADES:
            if item is not None and item not in deliveries:
                continue
            a = net.new("%s - %s" % (trade, area), "Task", rng.randint(lo, hi), area_wbs[ai], "CON", disc, area)
            if prev is None:
                link(const_start, a, "FS", 0.0 if ai == 0 else float(rng.randint(0, 10)))
            else:
                link(prev, a, curing=prev.name.split(" - ")[0] in CURING_TRADES)
            if item is not None and ai == 0:
                link(deliveries[item], a, "FS", float(rng.randint(0, 5)))
            above = grid[ai - 1].get(trade) if ai > 0 else None
            if above is not None and rng.random() < 0.6:
                link(above, a, "FS" if rng.random() < 0.7 else "SS")
            row[trade] = a
            prev = a
        h = net.milestone("Area handover - " + area, "Finish Milestone", area)
        link(prev, h, "FS", 0.0)
        handovers.append(h)
        grid.append(row)
    return areas, grid, handovers


def add_commissioning(net, grid, handovers, subst, deliveries):
    """Starts once equipment is in, closes out after substantial completion."""
    rng, link = net.rng, net.link
    cms = [net.new(name, "Task", rng.randint(lo, hi), "cms", "CMS", "QAQ") for name, lo, hi in COMMISSIONING]
    for row in grid:
        if "Install HVAC equipment" in row:
            link(row["Install HVAC equipment"], cms[0], "FS", 0.0)
        elif "Install switchgear" in row:
            link(row["Install switchgear"], cms[0], "FS", 0.0)
    if not cms[0].preds:
        link(handovers[0], cms[0], "FS", 0.0)
    for p, s in zip(cms, cms[1:]):
        if s.name == "Certificate of occupancy inspection":
            link(subst, s, "FS", 0.0)
        link(p, s, "FS" if rng.random() < 0.8 else "SS")
    # long-lead equipment without an installation trade feeds commissioning directly
    for item, target in (("Chillers", 2), ("Emergency generators", 1), ("Transformers", 1)):
        if item in deliveries:
            link(deliveries[item], cms[target], "FS", float(rng.randint(0, 10)))
    final = net.milestone("Final completion", "Finish Milestone")
    link(cms[-1], final, "FS", 0.0)
    link(subst, final, "FS", float(rng.randint(20, 30)))


def forward_pass(acts, data_day, use_progress):
    for a in acts:
        if use_progress and a.status == "Completed":
            a.es, a.ef = a.act_start, a.act_finish
            continue
        if use_progress and a.status == "In Progress":
            a.es, a.ef = a.act_start, data_day + a.remaining
            continue
        start = data_day if use_progress else 0.0
        for p, rtype, lag in a.preds:
            pa = acts[p]
            start = max(start, link_bound(pa.es, pa.ef, rtype, lag, a.dur))
        if a.constraint and a.constraint[0] == "Start On or After":
            start = max(start, a.constraint[1])
        a.es, a.ef = start, start + a.dur


def backward_pass(acts, deadline, use_progress):
    lf = {}
    for a in reversed(acts):
        if use_progress and a.status == "Completed":
            continue
        late = deadline
        for s, rtype, lag in a.succs:
            sa = acts[s]
            if use_progress and sa.status == "Completed":
                continue
            sdur = sa.remaining if (use_progress and sa.status == "In Progress") else sa.dur
            s_lf = lf[s]
            late = min(late, late_bound(s_lf - sdur, s_lf, rtype, lag,
                                        a.remaining if (use_progress and a.status == "In Progress") else a.dur))
        if a.constraint and a.constraint[0] == "Finish On or Before":
            late = min(late, a.constraint[1])
        lf[a.idx] = late
    return lf


def free_float(acts, a, project_finish):
    slack = None
    for s, rtype, lag in a.succs:
        sa = acts[s]
        if sa.status == "Completed":
            continue
        bound = link_bound(a.es, a.ef, rtype, lag, sa.ef - sa.es)
        gap = sa.es - bound
        slack = gap if slack is None else min(slack, gap)
    if slack is None:
        slack = project_finish - a.ef
    return min(max(0.0, slack), max(0.0, a.tf))


# --------------------------------------------------------------------------
# Data generation
# --------------------------------------------------------------------------

def iso(start, offset):
    return (start + dt.timedelta(days=int(offset))).isoformat()


class Rows:
    """The rows of every table, and the next id of each table."""

    def __init__(self):
        self.tables = {name: [] for name, _ in SCHEMA}
        self._next_id = {name: 1 for name, _ in SCHEMA}

    def __getitem__(self, table):
        return self.tables[table]

    def take(self, table):
        v = self._next_id[table]
        self._next_id[table] += 1
        return v


class Resources:
    """The resource rows' definitions and the look-ups the assignments need."""

    def __init__(self):
        self.defs = []  # (code prefix, name, type, role, unit, cost, max units, calendar)
        for i, (role, uom, cost, maxu) in enumerate(LABOR):
            if role.endswith("crew"):
                name = role.replace(" crew", " crew %d" % (1 + i % 2))
            else:
                name = "%s (%s)" % (PEOPLE[i % len(PEOPLE)], role)
            self.defs.append(("LAB", name, "Labor", role, uom, cost, maxu, 1 if i % 3 else 2))
        for name, uom, cost, maxu in EQUIPMENT:
            self.defs.append(("EQP", name, "Equipment", None, uom, cost, maxu, 3))
        for name, uom, cost, maxu in MATERIALS:
            self.defs.append(("MAT", name, "Material", None, uom, cost, maxu, 3))
        numbered = list(enumerate(self.defs, 1))
        self.labor_ids = {d[3]: rid for rid, d in numbered if d[2] == "Labor"}
        self.equip_ids = [rid for rid, d in numbered if d[2] == "Equipment"]
        self.mat_ids = [rid for rid, d in numbered if d[2] == "Material"]
        self.cost = {rid: d[5] for rid, d in numbered}
        self.uom = {rid: d[4] for rid, d in numbered}

    def is_crew(self, rid):
        return "crew" in self.defs[rid - 1][1]


def generate(rng):
    rows = Rows()
    add_calendars(rows)
    code_ids = add_activity_codes(rows)
    resources = Resources()
    add_resources(rows, resources)
    for pid, project in enumerate(PROJECTS, 1):
        add_project(rng, rows, pid, project, code_ids, resources)
    for i, r in enumerate(rows["activity_code_assignments"], 1):
        r[0] = i
    return rows.tables


def add_calendars(rows):
    for cid, c in enumerate(CALENDARS, 1):
        rows["calendars"].append([cid, c["name"], c["work_days_per_week"], c["hours_per_day"], 0, c["is_default"]])
    exceptions = rows["calendar_exceptions"]
    for cid in PUBLIC_HOLIDAYS["calendars"]:
        skipped = PUBLIC_HOLIDAYS["not_on_calendar"].get(str(cid), [])
        for d, name in PUBLIC_HOLIDAYS["days"]:
            if name not in skipped:
                exceptions.append([None, cid, d, "Holiday", name])
    for cid, d, kind, name in OTHER_CALENDAR_EXCEPTIONS:
        exceptions.append([None, cid, d, kind, name])
    for i, r in enumerate(exceptions, 1):
        r[0] = i
    for r in rows["calendars"]:
        r[4] = sum(1 for e in exceptions if e[1] == r[0] and e[3] != "Extended Hours")


def add_activity_codes(rows):
    """Adds the code rows; returns their ids by (type, value)."""
    for i, (t, v, d) in enumerate(ACTIVITY_CODES, 1):
        rows["activity_codes"].append([i, t, v, d])
    return {(t, v): i for i, (t, v, _) in enumerate(ACTIVITY_CODES, 1)}


def add_resources(rows, resources):
    for rid, (prefix, name, rtype, role, uom, cost, maxu, cal) in enumerate(resources.defs, 1):
        rows["resources"].append([rid, "%s-%03d" % (prefix, rid), name, rtype, role, uom, cost, maxu, cal])


def add_project(rng, rows, pid, project, code_ids, resources):
    """One project's schedule and everything recorded about it, in the order
    the random draws were designed for."""
    code = project["code"]
    start = dt.date.fromisoformat(project["start"])
    acts, wbs, _ = build_project_network(rng, pid, code)
    data_day, deadline, project_finish, open_acts = schedule_project(rng, acts, start, project)

    wbs_ids = add_wbs(rows, pid, project, wbs)
    act_ids = add_activities(rows, pid, start, acts, wbs_ids, data_day, code_ids)
    add_activity_relationships(rows, pid, acts, act_ids)
    first_assignment = len(rows["resource_assignments"])
    budget = add_assignments(rng, rows, acts, act_ids, resources, start, data_day)
    open_tf = [a.tf for a in open_acts]
    rows["projects"].append([
        pid, code, project["name"], PEOPLE[(pid * 5) % len(PEOPLE)], project["status"], project["start"],
        iso(start, deadline), iso(start, project_finish), iso(start, data_day), round(budget * 1.12, -3),
        min(open_tf) if open_tf else None, project["calendar"]])
    add_baselines(rng, rows, pid, code, start, acts, act_ids, data_day,
                  rows["resource_assignments"][first_assignment:])
    add_risks(rng, rows, pid, start, acts, act_ids, data_day)
    add_notes(rng, rows, pid, start, acts, act_ids, data_day)


# ---- the schedule of one project -------------------------------------------

def schedule_project(rng, acts, start, project):
    """Plans the project, records progress up to its data date and schedules
    the remaining work; returns (data day, deadline, project finish, open
    activities), days counted from the project start."""
    plan_finish, deadline = plan_baseline(acts, project["slack_days"])
    add_constraints(rng, acts)
    data_day = float(int(plan_finish * project["progress"]))
    if start + dt.timedelta(days=int(data_day)) > DATA_DATE_CAP:
        data_day = float((DATA_DATE_CAP - start).days)
    if project["progress"] != 0.0:
        record_progress(rng, acts, data_day)
    start_predecessors(acts, data_day)

    forward_pass(acts, data_day, True)
    lf = backward_pass(acts, deadline, True)
    open_acts = [a for a in acts if a.status != "Completed"]
    project_finish = max(a.ef for a in acts)
    for a in open_acts:
        a.lf = lf[a.idx]
        a.tf = a.lf - a.ef
    for a in open_acts:
        a.ff = free_float(acts, a, project_finish)
    return data_day, deadline, project_finish, open_acts


def plan_baseline(acts, slack):
    """The plan (the baseline) from the project start without progress; the
    target finish lies `slack` days after the planned finish."""
    forward_pass(acts, 0.0, False)
    plan_finish = max(a.ef for a in acts)
    deadline = plan_finish + slack
    plan_lf = backward_pass(acts, deadline, False)
    for a in acts:
        a.p_es, a.p_ef, a.p_lf = a.es, a.ef, plan_lf[a.idx]
    return plan_finish, deadline


def add_constraints(rng, acts):
    """A few contractual dates inside the network."""
    mil = [a for a in acts if a.kind == "Finish Milestone" and a.name.startswith("Area handover")]
    for a in rng.sample(mil, 2):
        a.constraint = ("Finish On or Before", a.p_lf + rng.randint(-4, 12))
    tasks = [a for a in acts if a.kind == "Task" and a.phase == "CON"]
    for a in rng.sample(tasks, 2):
        a.constraint = ("Start On or After", a.p_es + rng.randint(0, 10))


def record_progress(rng, acts, data_day):
    """Progress up to the data date, with some slippage."""
    for a in acts:
        if a.p_ef <= data_day and (a.dur > 0 or a.p_es < data_day):
            s = a.p_es + rng.choice([0, 0, 0, 1, 2, 3])
            f = s + a.dur + rng.choice([-1, 0, 0, 0, 1, 2, 4])
            s = min(s, data_day)
            f = max(s, min(f, data_day))
            if a.dur == 0:
                f = s
            a.status, a.act_start, a.act_finish, a.remaining = "Completed", s, f, 0.0
        elif a.p_es < data_day < a.p_ef and a.dur > 0:
            s = min(data_day - 1, a.p_es + rng.choice([0, 0, 1, 2]))
            elapsed = data_day - s
            rem = max(1.0, a.dur - elapsed + (rng.randint(1, 8) if rng.random() < 0.35 else 0))
            a.status, a.act_start, a.remaining = "In Progress", s, rem


def start_predecessors(acts, data_day):
    """A started activity's predecessors must have started too; walking
    backwards lets the fix-up reach predecessors of predecessors."""
    for a in reversed(acts):
        for p, _, _ in a.preds:
            pa = acts[p]
            if a.status != "Not Started" and pa.status == "Not Started":
                pa.act_start = min(a.act_start, data_day - 1)
                if pa.dur == 0:
                    pa.status, pa.act_finish, pa.remaining = "Completed", pa.act_start, 0.0
                else:
                    pa.status = "In Progress"
                    pa.remaining = max(1.0, pa.dur - (data_day - pa.act_start))


# ---- one project's rows ------------------------------------------------------

def add_wbs(rows, pid, project, wbs):
    """The WBS rows (parents precede their children in `wbs`); returns their
    ids by WBS key."""
    wbs_ids = {key: rows.take("wbs") for key, _, _ in wbs}
    wbs_codes = {}
    for key, parent, wname in wbs:
        seq = [k for k, p, _ in wbs if p == parent].index(key) + 1
        if parent is None:
            level, wcode, wname = 1, project["code"], project["name"]
        else:
            level = 2 if parent == "root" else 3
            wcode = "%s.%d" % (wbs_codes[parent], seq)
        wbs_codes[key] = wcode
        rows["wbs"].append([wbs_ids[key], pid, wbs_ids.get(parent), wcode, wname, level, seq])
    return wbs_ids


def add_activities(rows, pid, start, acts, wbs_ids, data_day, code_ids):
    """The activity rows and their code assignments; returns the activity ids
    by index."""
    act_ids = {a.idx: rows.take("activities") for a in acts}
    for a in acts:
        aid = act_ids[a.idx]
        percent = 0.0
        if a.status == "Completed":
            percent = 100.0
        elif a.status == "In Progress":
            done = data_day - a.act_start
            percent = round(100.0 * done / (done + a.remaining), 1) if a.dur > 0 else 0.0
        rows["activities"].append([
            aid, pid, wbs_ids[a.wbs], a.code, a.name, a.kind, a.status,
            a.dur, a.remaining, percent,
            iso(start, a.es), iso(start, a.ef),
            iso(start, a.lf - (a.remaining if a.status == "In Progress" else a.dur)) if a.lf is not None else None,
            iso(start, a.lf) if a.lf is not None else None,
            iso(start, a.act_start) if a.act_start is not None else None,
            iso(start, a.act_finish) if a.act_finish is not None else None,
            a.tf, a.ff,
            int(a.tf is not None and a.tf <= 0),
            a.constraint[0] if a.constraint else None,
            iso(start, a.constraint[1]) if a.constraint else None,
        ])
        rows["activity_code_assignments"].append([None, aid, code_ids[("Phase", a.phase)]])
        rows["activity_code_assignments"].append([None, aid, code_ids[("Discipline", a.discipline)]])
    return act_ids


def add_activity_relationships(rows, pid, acts, act_ids):
    for a in acts:
        for s, rtype, lag in a.succs:
            sa = acts[s]
            driving = 0
            if sa.status == "Not Started":
                bound = link_bound(a.es, a.ef, rtype, lag, sa.ef - sa.es)
                driving = int(abs(sa.es - bound) < 1e-9)
            rows["activity_relationships"].append(
                [rows.take("activity_relationships"), pid, act_ids[a.idx], act_ids[s], rtype, lag, driving])


def add_assignments(rng, rows, acts, act_ids, resources, start, data_day):
    """Resource assignments of the activities with a duration; returns their
    budgeted cost."""
    budget = 0.0
    for a in acts:
        if a.dur == 0:
            continue
        roles = DISCIPLINE_LABOR[a.discipline]
        chosen = [roles[0]] + ([rng.choice(roles[1:])] if len(roles) > 1 and rng.random() < 0.35 else [])
        picks = [resources.labor_ids[r] for r in chosen]
        if a.phase == "CON" and rng.random() < 0.25:
            picks.append(rng.choice(resources.equip_ids))
        if a.phase == "CON" and a.discipline in ("STR", "ARC", "MEP") and rng.random() < 0.15:
            picks.append(rng.choice(resources.mat_ids))
        for rid in picks:
            uom = resources.uom[rid]
            if uom == "hours":
                per_day = 8.0 * (rng.choice([1, 1, 2, 3, 4]) if resources.is_crew(rid) else 1)
                units = per_day * a.dur
            elif uom == "days":
                units = float(max(1, int(a.dur * rng.choice([0.5, 0.75, 1.0]))))
            else:
                units = float(rng.randint(5, 60) * rng.choice([1, 5, 10]))
            budgeted_cost = round(units * resources.cost[rid], 2)
            if a.status == "Completed":
                actual = round(units * rng.uniform(0.9, 1.25), 1)
                remaining = 0.0
            elif a.status == "In Progress":
                frac = (data_day - a.act_start) / max(1.0, a.dur)
                actual = round(units * min(1.0, frac) * rng.uniform(0.9, 1.2), 1)
                remaining = round(max(0.0, units * a.remaining / max(1.0, a.dur)), 1)
            else:
                actual, remaining = 0.0, units
            actual_cost = round(actual * resources.cost[rid], 2)
            budget += budgeted_cost
            rows["resource_assignments"].append([
                rows.take("resource_assignments"), act_ids[a.idx], rid, units, actual, remaining,
                budgeted_cost, actual_cost, iso(start, a.p_es), iso(start, a.p_ef)])
    return budget


def add_baselines(rng, rows, pid, code, start, acts, act_ids, data_day, assignments):
    """Every project has its original baseline; two were re-baselined and two
    hold a what-if copy."""
    orig_id = rows.take("baselines")
    rebaselined = code in ("NDC", "LRT")
    what_if = code in ("RMC", "ESS")
    rows["baselines"].append([orig_id, pid, "Original Baseline", "Original",
                              iso(start, -7), 0 if rebaselined else 1])
    costs = {}
    for r in assignments:
        costs[r[1]] = costs.get(r[1], 0.0) + r[6]
    for a in acts:
        rows["baseline_activities"].append([
            rows.take("baseline_activities"), orig_id, act_ids[a.idx], iso(start, a.p_es), iso(start, a.p_ef),
            a.dur, a.p_lf - a.p_ef, round(costs.get(act_ids[a.idx], 0.0), 2)])
    if rebaselined:
        rb_day = int(data_day * 0.6)
        cur_id = rows.take("baselines")
        rows["baselines"].append([cur_id, pid, "Re-baseline after design change", "Current",
                                  iso(start, rb_day), 1])
        shift = rng.randint(10, 25)
        for a in acts:
            moved = a.p_es >= rb_day
            rows["baseline_activities"].append([
                rows.take("baseline_activities"), cur_id, act_ids[a.idx],
                iso(start, a.p_es + (shift if moved else 0)), iso(start, a.p_ef + (shift if moved else 0)),
                a.dur, a.p_lf - a.p_ef + (0 if moved else shift), round(costs.get(act_ids[a.idx], 0.0) * 1.04, 2)])
    if what_if:
        rows["baselines"].append([rows.take("baselines"), pid, "What-if: double shift in Zone A", "What-if",
                                  iso(start, int(data_day)), 0])


def add_risks(rng, rows, pid, start, acts, act_ids, data_day):
    for _ in range(rng.randint(8, 13)):
        title, cat = rng.choice(RISK_TEMPLATES)
        target = None
        if "{item}" in title:
            item = rng.choice(PROCUREMENT_ITEMS)
            title = title.format(item=item.lower())
            fabs = [a for a in acts if a.name == "Fabricate and deliver - " + item]
            target = fabs[0] if fabs else None
        if target is None and rng.random() < 0.7:
            target = rng.choice([a for a in acts if a.kind == "Task"])
        prob_rating = rng.randint(1, 5)
        impact_rating = rng.randint(1, 5)
        probability = round(min(0.95, prob_rating * 0.18 + rng.uniform(-0.05, 0.05)), 2)
        impact_days = impact_rating * rng.randint(3, 9)
        status_r = rng.choice(["Open", "Open", "Open", "Mitigating", "Closed", "Occurred"])
        score = prob_rating * impact_rating
        response = None
        if score >= 15 or rng.random() < 0.6:
            response = rng.choice(["Avoid", "Mitigate", "Mitigate", "Transfer", "Accept"])
        ident = start + dt.timedelta(days=rng.randint(0, max(1, int(data_day))))
        rows["risks"].append([
            rows.take("risks"), pid, act_ids[target.idx] if target else None, title, cat, probability,
            impact_days, float(rng.randint(2, 60) * 5000), score, status_r, response,
            rng.choice(PEOPLE), ident.isoformat()])


def add_notes(rng, rows, pid, start, acts, act_ids, data_day):
    if data_day <= 0:
        return
    for _ in range(rng.randint(6, 11)):
        ntype, text = rng.choice(NOTE_TEMPLATES)
        text = text.format(item=rng.choice(PROCUREMENT_ITEMS).lower(), who=rng.choice(PEOPLE))
        started = [a for a in acts if a.status != "Not Started" and a.kind == "Task"]
        target = rng.choice(started) if started and rng.random() < 0.7 else None
        day = rng.randint(0, int(data_day))
        rows["project_notes"].append([
            rows.take("project_notes"), pid, act_ids[target.idx] if target else None,
            iso(start, day), rng.choice(PEOPLE), ntype, text])


# --------------------------------------------------------------------------
# Database
# --------------------------------------------------------------------------

def create_database(path, rows):
    tmp = path + ".tmp"
    if os.path.exists(tmp):
        os.remove(tmp)
    conn = sqlite3.connect(tmp)
    try:
        cur = conn.cursor()
        for table, tdef in SCHEMA:
            defs = []
            for i, (name, sql_type, _, indexed, extras) in enumerate(tdef["columns"]):
                d = "%s %s" % (name, sql_type)
                if i == 0:
                    d += " PRIMARY KEY"
                elif "references" in extras:
                    d += " REFERENCES " + extras["references"]
                defs.append(d)
            cur.execute("CREATE TABLE %s (\n    %s\n)" % (table, ",\n    ".join(defs)))
            for i, (name, _, _, indexed, _) in enumerate(tdef["columns"]):
                if indexed and i > 0:
                    cur.execute("CREATE INDEX idx_%s_%s ON %s (%s)" % (table, name, table, name))
            width = len(tdef["columns"])
            for r in rows[table]:
                assert len(r) == width, (table, r)
            cur.executemany("INSERT INTO %s VALUES (%s)" % (table, ", ".join("?" * width)), rows[table])
        conn.commit()
        cur.execute("VACUUM")
    finally:
        conn.close()
    os.replace(tmp, path)


def column_statistics(conn, table, column, sql_type):
    q = ("SELECT MIN({c}), MAX({c}), COUNT(DISTINCT {c}), SUM({c} IS NULL) FROM {t}"
         .format(c=column, t=table))
    mn, mx, distinct, nulls = conn.execute(q).fetchone()
    stats = {"min": mn, "max": mx, "distinct_count": distinct, "null_count": nulls}
    if sql_type == "REAL":
        avg = conn.execute("SELECT AVG({c}) FROM {t}".format(c=column, t=table)).fetchone()[0]
        stats["avg"] = None if avg is None else round(avg, 2)
    elif sql_type == "TEXT" and distinct <= 10 and not column.endswith("_date"):
        stats["values"] = [v for (v,) in conn.execute(
            "SELECT DISTINCT {c} FROM {t} WHERE {c} IS NOT NULL ORDER BY {c}".format(c=column, t=table))]
    return stats


# --------------------------------------------------------------------------
# Metadata document
# --------------------------------------------------------------------------

def build_metadata(conn):
    fixed = load("metadata.json")
    tables = {}
    for table, tdef in SCHEMA:
        row_count = conn.execute("SELECT COUNT(*) FROM %s" % table).fetchone()[0]
        cols = {}
        for name, sql_type, desc, indexed, extras in tdef["columns"]:
            c = {"description": desc, "data_type": sql_type, "indexed": bool(indexed)}
            if extras.get("stats"):
                c["statistics"] = column_statistics(conn, table, name, sql_type)
            for key in ("business_rules", "related_business_rules", "concepts"):
                if key in extras:
                    c[key] = list(extras[key])
            cols[name] = c
        tables[table] = {"description": tdef["description"], "domain": tdef["domain"],
                         "row_count": row_count, "columns": cols}
    return {
        "tables": tables,
        "relationships": fixed["relationships"],
        "business_concepts": {k: {"description": v} for k, v in fixed["business_concepts"].items()},
        "query_examples": [dict(e, query=sql_text(e["query"])) for e in fixed["query_examples"]],
        "keywords": fixed["keywords"],
        "terminology": fixed["terminology"],
        "metadata_cleaning": {"cleaned_at": CLEANED_AT, "cleaning_version": CLEANING_VERSION},
    }


# --------------------------------------------------------------------------
# Question history
# --------------------------------------------------------------------------

def build_history():
    base = dt.datetime(2024, 9, 3, 8, 15, 42, 118204)
    entries = []
    for i, e in enumerate(load("history.json")["entries"]):
        ts = base + dt.timedelta(days=3 * i, hours=(7 * i) % 9, minutes=(13 * i) % 60, seconds=(29 * i) % 60)
        entries.append({
            "question": e["question"],
            "natural_language_variations": e["natural_language_variations"],
            "timestamp": ts.isoformat(),
            "sql": sql_text(e["sql"]),
            "complexity_description": e["complexity_description"],
            "domain_concepts": e["domain_concepts"],
        })
    return {"enriched_queries": entries}


# --------------------------------------------------------------------------

def write_json(path, doc):
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        json.dump(doc, f, indent=2, ensure_ascii=True)
    os.replace(tmp, path)


def check_sql(conn, label, sql):
    rows = conn.execute(sql).fetchall()
    if not rows:
        raise SystemExit("%s returns no rows on the sample database: %s" % (label, sql))
    return len(rows)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out-dir", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))
    args = ap.parse_args(argv)
    out = os.path.normpath(args.out_dir)
    os.makedirs(out, exist_ok=True)

    rng = random.Random(SEED)
    rows = generate(rng)
    db_path = os.path.join(out, DB_NAME)
    create_database(db_path, rows)

    conn = sqlite3.connect("file:%s?mode=ro" % db_path, uri=True)
    try:
        metadata = build_metadata(conn)
        history = build_history()
        # every SQL we ship must run and find something
        for i, ex in enumerate(metadata["query_examples"]):
            check_sql(conn, "query example %d" % i, ex["query"])
        for i, e in enumerate(history["enriched_queries"]):
            check_sql(conn, "history entry %d" % i, e["sql"])
    finally:
        conn.close()

    write_json(os.path.join(out, METADATA_NAME), metadata)
    write_json(os.path.join(out, HISTORY_NAME), history)

    total = sum(t["row_count"] for t in metadata["tables"].values())
    print("wrote %s (%d tables, %d rows)" % (db_path, len(metadata["tables"]), total))
    for name, t in metadata["tables"].items():
        print("  %-26s %6d rows" % (name, t["row_count"]))
    print("wrote %s" % os.path.join(out, METADATA_NAME))
    print("wrote %s (%d entries)" % (os.path.join(out, HISTORY_NAME), len(history["enriched_queries"])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
