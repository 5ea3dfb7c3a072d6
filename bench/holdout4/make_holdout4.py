#!/usr/bin/env python3
"""Build the fourth check schedule database (plural snake_case) and its metadata document.

A fourth project-scheduling database shape, a development set for general linking rules:
plural snake_case table names in a contractor's own words (jobs, work_packages,
schedule_items, predecessor_links, crews, allocations, hazards, milestone_events, ...),
full-word columns (job_title, item_code, total_slack_days, percent_done, on_critical_path,
link_kind, ...) and value vocabularies of its own (Live / Suspended / Closed Out / Tender
jobs, 'Not Started' / 'In Progress' / 'Complete' items, 'Finish to Start' links, Low / Medium /
High / Extreme hazards).

Outputs, written to --out (default bench/out/holdout4/ under the repository):
  holdout4_schedule.db      SQLite database
  holdout4_metadata.json    metadata document in the loader's format

Usage:
  python bench/holdout4/make_holdout4.py [--out DIR]
  python bench/holdout4/make_holdout4.py --check [--questions FILE] [--verbose]

--check builds the outputs and then runs every gold statement (and every previous_sql) of
questions.json, failing when one errors, returns no rows or reads other tables than gold_tables.

Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 4243
STATUS_DATE = dt.date(2025, 6, 30)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import default_out, describe_tables, main as build_main, metadata_document  # noqa: E402
DB_NAME = "holdout4_schedule.db"
META_NAME = "holdout4_metadata.json"

DDL = """
CREATE TABLE calendars (
    calendar_id INTEGER PRIMARY KEY, calendar_name TEXT NOT NULL, days_per_week INTEGER NOT NULL,
    hours_per_day REAL NOT NULL
);
CREATE TABLE jobs (
    job_id INTEGER PRIMARY KEY, job_number TEXT NOT NULL UNIQUE, short_code TEXT NOT NULL UNIQUE,
    job_title TEXT NOT NULL, client TEXT NOT NULL, site_town TEXT NOT NULL, job_state TEXT NOT NULL,
    contracts_manager TEXT NOT NULL, contract_value REAL NOT NULL, start_date TEXT NOT NULL,
    contract_completion TEXT NOT NULL, forecast_completion TEXT, status_date TEXT NOT NULL,
    calendar_id INTEGER NOT NULL REFERENCES calendars(calendar_id)
);
CREATE TABLE work_packages (
    work_package_id INTEGER PRIMARY KEY, job_id INTEGER NOT NULL REFERENCES jobs(job_id),
    package_code TEXT NOT NULL UNIQUE, package_name TEXT NOT NULL, package_lead TEXT NOT NULL
);
CREATE TABLE schedule_items (
    schedule_item_id INTEGER PRIMARY KEY, job_id INTEGER NOT NULL REFERENCES jobs(job_id),
    work_package_id INTEGER NOT NULL REFERENCES work_packages(work_package_id),
    item_code TEXT NOT NULL UNIQUE, item_name TEXT NOT NULL, item_kind TEXT NOT NULL,
    progress_state TEXT NOT NULL, planned_days INTEGER NOT NULL, remaining_days INTEGER NOT NULL,
    early_start TEXT NOT NULL, early_finish TEXT NOT NULL, late_start TEXT NOT NULL,
    late_finish TEXT NOT NULL, actual_start TEXT, actual_finish TEXT,
    total_slack_days INTEGER NOT NULL, free_slack_days INTEGER NOT NULL, percent_done REAL NOT NULL,
    on_critical_path TEXT NOT NULL, constraint_kind TEXT, constraint_date TEXT
);
CREATE TABLE predecessor_links (
    link_id INTEGER PRIMARY KEY,
    predecessor_item_id INTEGER NOT NULL REFERENCES schedule_items(schedule_item_id),
    successor_item_id INTEGER NOT NULL REFERENCES schedule_items(schedule_item_id),
    link_kind TEXT NOT NULL, lag_days INTEGER NOT NULL
);
CREATE TABLE subcontractors (
    subcontractor_id INTEGER PRIMARY KEY, company_name TEXT NOT NULL, trade_package TEXT NOT NULL,
    contact_person TEXT NOT NULL, approval_state TEXT NOT NULL
);
CREATE TABLE crews (
    crew_id INTEGER PRIMARY KEY, crew_code TEXT NOT NULL UNIQUE, crew_name TEXT NOT NULL,
    trade TEXT NOT NULL, foreman TEXT NOT NULL, head_count INTEGER NOT NULL,
    hourly_rate REAL NOT NULL, subcontractor_id INTEGER REFERENCES subcontractors(subcontractor_id)
);
CREATE TABLE allocations (
    allocation_id INTEGER PRIMARY KEY,
    schedule_item_id INTEGER NOT NULL REFERENCES schedule_items(schedule_item_id),
    crew_id INTEGER NOT NULL REFERENCES crews(crew_id), planned_hours REAL NOT NULL,
    actual_hours REAL NOT NULL, planned_cost REAL NOT NULL, actual_cost REAL NOT NULL
);
CREATE TABLE equipment_units (
    equipment_id INTEGER PRIMARY KEY, asset_tag TEXT NOT NULL UNIQUE, unit_description TEXT NOT NULL,
    category TEXT NOT NULL, ownership TEXT NOT NULL, daily_rate REAL NOT NULL
);
CREATE TABLE equipment_bookings (
    booking_id INTEGER PRIMARY KEY, equipment_id INTEGER NOT NULL REFERENCES equipment_units(equipment_id),
    schedule_item_id INTEGER NOT NULL REFERENCES schedule_items(schedule_item_id),
    booked_from TEXT NOT NULL, booked_to TEXT NOT NULL, booking_state TEXT NOT NULL
);
CREATE TABLE hazards (
    hazard_id INTEGER PRIMARY KEY, job_id INTEGER NOT NULL REFERENCES jobs(job_id),
    schedule_item_id INTEGER REFERENCES schedule_items(schedule_item_id), hazard_ref TEXT NOT NULL UNIQUE,
    hazard_title TEXT NOT NULL, severity TEXT NOT NULL, likelihood_pct INTEGER NOT NULL,
    days_at_stake INTEGER NOT NULL, hazard_state TEXT NOT NULL, raised_by TEXT NOT NULL
);
CREATE TABLE milestone_events (
    milestone_event_id INTEGER PRIMARY KEY, job_id INTEGER NOT NULL REFERENCES jobs(job_id),
    milestone_name TEXT NOT NULL, is_contractual TEXT NOT NULL, baseline_date TEXT NOT NULL,
    forecast_date TEXT, achieved_date TEXT, milestone_state TEXT NOT NULL
);
CREATE TABLE site_diaries (
    diary_id INTEGER PRIMARY KEY, job_id INTEGER NOT NULL REFERENCES jobs(job_id),
    diary_date TEXT NOT NULL, weather TEXT NOT NULL, operatives_on_site INTEGER NOT NULL,
    hours_lost REAL NOT NULL, remarks TEXT
);
CREATE TABLE change_requests (
    change_request_id INTEGER PRIMARY KEY, job_id INTEGER NOT NULL REFERENCES jobs(job_id),
    request_number TEXT NOT NULL UNIQUE, request_title TEXT NOT NULL, raised_by TEXT NOT NULL,
    request_state TEXT NOT NULL, days_claimed INTEGER NOT NULL, cost_impact REAL NOT NULL
);
"""

CALENDARS = [(1, "Five Day Week", 5, 8.0), (2, "Six Day Week", 6, 9.5), (3, "Seven Day Continuous", 7, 24.0)]

JOBS = [
    # number, short, title, client, town, state, manager, value, start, completion, calendar
    ("J-2401", "MSA", "Marlowe Street Apartments", "Harrow Living", "Leeds", "Live",
     "Tessa Okafor", 18_400_000, "2024-09-02", "2026-03-27", 1),
    ("J-2402", "BHW", "Beacon Hill Water Treatment Works", "Severn Water", "Bristol", "Live",
     "Graham Pell", 42_750_000, "2024-04-08", "2026-01-30", 2),
    ("J-2403", "SAL", "St Aldhelm's Library Refit", "Wessex County Council", "Salisbury", "Suspended",
     "Nadia Rahman", 3_950_000, "2025-01-13", "2025-11-28", 1),
    ("J-2404", "QLD", "Quarry Lane Distribution Hub", "Parcelink Logistics", "Nottingham", "Live",
     "Graham Pell", 27_300_000, "2024-11-04", "2025-12-19", 2),
    ("J-2405", "CGF", "Castlegate Footbridge", "City of York Council", "York", "Closed Out",
     "Tessa Okafor", 6_100_000, "2023-10-02", "2024-12-20", 1),
    ("J-2406", "FMC", "Ferndale Medical Centre", "Valleys Health Board", "Cardiff", "Tender",
     "Owen Pritchard", 11_800_000, "2025-09-01", "2026-12-18", 1),
    ("J-2407", "ARD", "Ashbourne Rail Depot Upgrade", "Midland Rail Fleet", "Derby", "Live",
     "Owen Pritchard", 35_600_000, "2024-06-03", "2026-02-27", 3),
]

PACKAGES = [
    ("Preliminaries", ["Mobilise Site", "Site Hoarding", "Welfare Setup"]),
    ("Groundworks", ["Strip Topsoil", "Excavate Foundations", "Pour Foundations", "Below Ground Drainage"]),
    ("Frame", ["Erect Steel Frame", "Install Precast Stairs", "Pour Upper Slabs", "Topping Out"]),
    ("Envelope", ["Brickwork Outer Leaf", "Install Windows", "Roof Covering", "Cladding Panels"]),
    ("Mechanical and Electrical", ["First Fix Electrical", "First Fix Plumbing", "Ductwork Installation",
                                   "Second Fix Electrical", "Commission Services"]),
    ("Internal Finishes", ["Plastering", "Screed Floors", "Decorations", "Snag and Clean"]),
    ("Handover", ["Fire Strategy Sign-off", "Handover to Client"]),
]
MILESTONE_ITEMS = ("Mobilise Site", "Topping Out", "Handover to Client")

SUBCONTRACTORS = [
    ("Volt Services Ltd", "Electrical", "Kieran Doyle", "Approved"),
    ("Northern Steel Fixing", "Reinforcement", "Ray Baxter", "Approved"),
    ("Brightwater Plumbing", "Mechanical", "Sian Evans", "Approved"),
    ("Keystone Masonry", "Masonry", "Dev Patel", "Probation"),
    ("Apex Scaffolding", "Access", "Lee Marsh", "Approved"),
    ("Finecoat Interiors", "Finishes", "Hannah Cole", "Suspended"),
    ("Terra Civils", "Civils", "Joe Ainsley", "Approved"),
]

CREWS = [
    # code, name, trade, foreman, heads, rate, subcontractor (1-based or None)
    ("CR-ELE1", "Electricians Gang 1", "Electrical", "Kieran Doyle", 6, 38.0, 1),
    ("CR-ELE2", "Electricians Gang 2", "Electrical", "Mo Farouk", 4, 38.0, 1),
    ("CR-STF", "Steel Fixers", "Reinforcement", "Ray Baxter", 8, 34.0, 2),
    ("CR-PLB", "Plumbing Team", "Mechanical", "Sian Evans", 5, 36.0, 3),
    ("CR-BRK", "Bricklayers", "Masonry", "Dev Patel", 10, 32.0, 4),
    ("CR-SCF", "Scaffold Team", "Access", "Lee Marsh", 4, 30.0, 5),
    ("CR-DRY", "Drylining Team", "Finishes", "Hannah Cole", 7, 29.0, 6),
    ("CR-GRD", "Groundworkers", "Civils", "Joe Ainsley", 9, 31.0, 7),
    ("CR-ERC", "Steel Erectors", "Structural Steel", "Pete Quinn", 6, 40.0, None),
    ("CR-CRP", "Formwork Carpenters", "Carpentry", "Alan Hebden", 6, 33.0, None),
]
PACKAGE_TRADES = {
    "Preliminaries": ["CR-GRD", "CR-SCF"],
    "Groundworks": ["CR-GRD", "CR-STF", "CR-CRP"],
    "Frame": ["CR-ERC", "CR-STF", "CR-CRP"],
    "Envelope": ["CR-BRK", "CR-SCF"],
    "Mechanical and Electrical": ["CR-ELE1", "CR-ELE2", "CR-PLB"],
    "Internal Finishes": ["CR-DRY", "CR-ELE2"],
    "Handover": ["CR-ELE1", "CR-PLB"],
}

EQUIPMENT = [
    ("EQ-01", "Tower Crane TC-2", "Lifting", "Hired", 2100.0),
    ("EQ-02", "Mobile Crane 60t", "Lifting", "Hired", 1450.0),
    ("EQ-03", "Telehandler 14m", "Lifting", "Owned", 210.0),
    ("EQ-04", "360 Excavator 14t", "Earthmoving", "Owned", 340.0),
    ("EQ-05", "Forward Tipping Dumper", "Earthmoving", "Owned", 95.0),
    ("EQ-06", "Concrete Pump", "Concrete", "Hired", 880.0),
    ("EQ-07", "Scissor Lift", "Access", "Hired", 120.0),
    ("EQ-08", "Piling Rig", "Earthmoving", "Hired", 2600.0),
]
PACKAGE_EQUIPMENT = {
    "Groundworks": ["EQ-04", "EQ-05", "EQ-06", "EQ-08"],
    "Frame": ["EQ-01", "EQ-02", "EQ-06"],
    "Envelope": ["EQ-03", "EQ-07", "EQ-01"],
    "Internal Finishes": ["EQ-07"],
}

HAZARDS = [
    ("Crane lift in high winds", "High"), ("Asbestos found in existing fabric", "Extreme"),
    ("Deep excavation collapse", "High"), ("Live services strike", "Extreme"),
    ("Working at height on roof", "Medium"), ("Late delivery of precast units", "Medium"),
    ("Flooding of basement", "Medium"), ("Noise complaints from neighbours", "Low"),
    ("Dust from cutting", "Low"),
]
HAZARD_STATES = ["Open", "Open", "Controlled", "Closed"]
PEOPLE = ["Tessa Okafor", "Graham Pell", "Nadia Rahman", "Owen Pritchard", "Ruth Lindqvist", "Sam Achebe"]

MILESTONES = ["Start on Site", "Foundations Complete", "Topping Out", "Watertight", "Power On",
              "Practical Completion"]
CONTRACTUAL = {"Start on Site", "Practical Completion", "Watertight"}

WEATHER = ["Dry", "Dry", "Dry", "Rain", "Heavy Rain", "High Wind", "Frost", "Snow"]
CHANGES = ["Additional basement tanking", "Client layout change to level 3", "Upgrade to LED lighting",
           "Extra drainage run", "Revised cladding colour", "Enlarged plant room", "Omit feature staircase"]
CHANGE_STATES = ["Pending Approval", "Approved", "Rejected", "Withdrawn"]


def iso(x):
    return x.isoformat() if x is not None else None


def add_workdays(start, days, per_week):
    d = start
    n = 0
    while n < days:
        d += dt.timedelta(days=1)
        if d.weekday() < per_week:
            n += 1
    return d


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    for c in CALENDARS:
        con.execute("INSERT INTO calendars VALUES (?,?,?,?)", c)
    for i, s in enumerate(SUBCONTRACTORS, 1):
        con.execute("INSERT INTO subcontractors VALUES (?,?,?,?,?)", (i,) + s)
    crew_ids = {}
    for i, c in enumerate(CREWS, 1):
        con.execute("INSERT INTO crews VALUES (?,?,?,?,?,?,?,?)", (i,) + c)
        crew_ids[c[0]] = i
    eq_ids = {}
    for i, e in enumerate(EQUIPMENT, 1):
        con.execute("INSERT INTO equipment_units VALUES (?,?,?,?,?,?)", (i,) + e)
        eq_ids[e[0]] = i

    item_id = wp_id = link_id = alloc_id = book_id = hz_id = ms_id = diary_id = cr_id = 0
    for j, (number, short, title, client, town, state, manager, value, start, finish, cal) in enumerate(JOBS, 1):
        start_d = dt.date.fromisoformat(start)
        finish_d = dt.date.fromisoformat(finish)
        per_week = CALENDARS[cal - 1][2]
        status_d = STATUS_DATE if state != "Closed Out" else finish_d
        slip = rng.choice([-4, 0, 9, 21, 35]) if state in ("Live", "Suspended") else 0
        forecast = None if state == "Closed Out" else iso(finish_d + dt.timedelta(days=slip))
        con.execute("INSERT INTO jobs VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (j, number, short, title, client, town, state, manager, value, start, finish, forecast,
                     iso(status_d), cal))
        span = (finish_d - start_d).days
        n_items = sum(len(names) for _, names in PACKAGES)
        prev = None
        seq = 1000
        job_items = []
        item_dates = {}
        for k, (pname, names) in enumerate(PACKAGES, 1):
            wp_id += 1
            con.execute("INSERT INTO work_packages VALUES (?,?,?,?,?)",
                        (wp_id, j, f"WP-{j}{k}0", pname, rng.choice(PEOPLE)))
            for name in names:
                item_id += 1
                seq += 10
                milestone = name in MILESTONE_ITEMS
                dur = 0 if milestone else rng.randint(5, 45)
                es = max(start_d, start_d + dt.timedelta(days=span * len(job_items) // n_items + rng.randint(-6, 6)))
                ef = add_workdays(es, dur, per_week) if dur else es
                slack = rng.choice([-6, -2, 0, 0, 0, 3, 8, 15, 30])
                free = max(0, min(slack, rng.choice([0, 0, 2, 5])))
                ls = es + dt.timedelta(days=slack * 7 // per_week)
                lf = ef + dt.timedelta(days=slack * 7 // per_week)
                if state == "Tender":
                    pstate, pct, a_s, a_f, rem = "Not Started", 0.0, None, None, dur
                elif state == "Closed Out" or ef < status_d:
                    pstate, pct, a_s, a_f, rem = "Complete", 100.0, iso(es), iso(ef), 0
                elif es <= status_d:
                    pct = float(rng.choice([5, 20, 35, 50, 75, 90]))
                    pstate, a_s, a_f, rem = "In Progress", iso(es), None, max(1, round(dur * (1 - pct / 100)))
                else:
                    pstate, pct, a_s, a_f, rem = "Not Started", 0.0, None, None, dur
                critical = "Y" if slack <= 0 and pstate != "Complete" else "N"
                kind = "Milestone" if milestone else ("Hammock" if name == "Snag and Clean" else "Task")
                ckind = cdate = None
                if name == "Handover to Client":
                    ckind, cdate = "Finish No Later Than", finish
                elif rng.random() < 0.08:
                    ckind, cdate = "Start No Earlier Than", iso(es)
                code = f"{short}-{seq}"
                con.execute("INSERT INTO schedule_items VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (item_id, j, wp_id, code, name, kind, pstate, dur, rem, iso(es), iso(ef), iso(ls),
                             iso(lf), a_s, a_f, slack, free, pct, critical, ckind, cdate))
                item_dates[item_id] = (es, ef)
                if prev is not None:
                    link_id += 1
                    lk = rng.choice(["Finish to Start"] * 3 + ["Start to Start", "Finish to Finish"])
                    con.execute("INSERT INTO predecessor_links VALUES (?,?,?,?,?)",
                                (link_id, prev, item_id, lk, rng.choice([0, 0, 0, 1, 3, -2, 7])))
                if len(job_items) > 4 and rng.random() < 0.25:
                    link_id += 1
                    con.execute("INSERT INTO predecessor_links VALUES (?,?,?,?,?)",
                                (link_id, rng.choice(job_items[:-2]), item_id,
                                 "Start to Finish" if rng.random() < 0.1 else "Finish to Start", rng.choice([0, 5]), ))
                job_items.append(item_id)
                prev = item_id
                if milestone:
                    continue
                for crew in rng.sample(PACKAGE_TRADES[pname], rng.randint(1, min(2, len(PACKAGE_TRADES[pname])))):
                    alloc_id += 1
                    rate = CREWS[crew_ids[crew] - 1][5]
                    planned = float(rng.randint(3, 50) * 8)
                    actual = round(planned * pct / 100 * rng.uniform(0.85, 1.35), 1)
                    con.execute("INSERT INTO allocations VALUES (?,?,?,?,?,?,?)",
                                (alloc_id, item_id, crew_ids[crew], planned, actual, round(planned * rate, 2),
                                 round(actual * rate, 2)))
                for eq in PACKAGE_EQUIPMENT.get(pname, []):
                    if rng.random() < 0.45:
                        book_id += 1
                        if state == "Tender":
                            bstate = "Provisional"
                        else:
                            bstate = rng.choice(["Confirmed", "Confirmed", "Provisional", "Cancelled"])
                        con.execute("INSERT INTO equipment_bookings VALUES (?,?,?,?,?,?)",
                                    (book_id, eq_ids[eq], item_id, iso(es), iso(ef), bstate))
        for k in range(rng.randint(4, 7)):
            hz_id += 1
            htitle, sev = rng.choice(HAZARDS)
            con.execute("INSERT INTO hazards VALUES (?,?,?,?,?,?,?,?,?,?)",
                        (hz_id, j, rng.choice(job_items + [None]), f"HZ-{short}-{k + 1:02d}", htitle, sev,
                         rng.choice([5, 15, 30, 50, 70]), rng.choice([1, 3, 7, 14, 30]),
                         rng.choice(HAZARD_STATES), rng.choice(PEOPLE)))
        for k, mname in enumerate(MILESTONES):
            ms_id += 1
            base = start_d + dt.timedelta(days=span * k // (len(MILESTONES) - 1))
            fc = base + dt.timedelta(days=rng.choice([0, 0, 7, 14, 28, -5]))
            if state == "Closed Out" or (state != "Tender" and fc < status_d):
                mstate, achieved, fc_out = "Achieved", iso(fc), None
            else:
                mstate = "At Risk" if fc > base + dt.timedelta(days=10) else "Forecast"
                achieved, fc_out = None, iso(fc)
            con.execute("INSERT INTO milestone_events VALUES (?,?,?,?,?,?,?,?)",
                        (ms_id, j, mname, "Yes" if mname in CONTRACTUAL else "No", iso(base), fc_out, achieved,
                         mstate))
        if state in ("Live", "Suspended", "Closed Out"):
            day = start_d
            last = min(status_d, start_d + dt.timedelta(days=120))
            while day <= last:
                if day.weekday() < 5:
                    diary_id += 1
                    w = rng.choice(WEATHER)
                    lost = {"Heavy Rain": 4.0, "High Wind": 3.0, "Snow": 6.0, "Frost": 1.5}.get(w, 0.0)
                    con.execute("INSERT INTO site_diaries VALUES (?,?,?,?,?,?,?)",
                                (diary_id, j, iso(day), w, rng.randint(8, 60), lost,
                                 f"{w} - work continued" if lost == 0 else f"{w} - stood down part day"))
                day += dt.timedelta(days=rng.choice([1, 1, 2, 3]))
            for k in range(rng.randint(2, 5)):
                cr_id += 1
                con.execute("INSERT INTO change_requests VALUES (?,?,?,?,?,?,?,?)",
                            (cr_id, j, f"CR-{short}-{k + 1:03d}", rng.choice(CHANGES), rng.choice(PEOPLE + [client]),
                             rng.choice(CHANGE_STATES), rng.choice([0, 0, 3, 5, 10, 20]),
                             float(rng.randint(2, 90) * 1000)))
    con.commit()
    return con


TABLE_META = {
    "calendars": ("Working calendars: working days per week and hours per day", {
        "calendar_id": ("Calendar identifier", "INTEGER"),
        "calendar_name": ("Name of the calendar", "TEXT"),
        "days_per_week": ("Working days in a week", "INTEGER"),
        "hours_per_day": ("Working hours in a day", "REAL"),
    }),
    "jobs": ("Construction jobs under contract or at tender, with contract and forecast completion", {
        "job_id": ("Job identifier", "INTEGER"),
        "job_number": ("Contract number of the job, e.g. J-2401", "TEXT"),
        "short_code": ("Three-letter job code used as the prefix of item codes, e.g. MSA", "TEXT"),
        "job_title": ("Title of the job", "TEXT"),
        "client": ("Client organisation", "TEXT"),
        "site_town": ("Town where the site is", "TEXT"),
        "job_state": ("Current state of the job", "TEXT"),
        "contracts_manager": ("Contracts manager responsible for the job", "TEXT"),
        "contract_value": ("Contract sum in GBP", "REAL"),
        "start_date": ("Start on site", "DATE"),
        "contract_completion": ("Contractual completion date", "DATE"),
        "forecast_completion": ("Forecast completion from the latest programme update; null once closed", "DATE"),
        "status_date": ("Status date of the latest programme update", "DATE"),
        "calendar_id": ("Default calendar (calendars.calendar_id)", "INTEGER"),
    }),
    "work_packages": ("Work packages: the breakdown of a job into packages of work", {
        "work_package_id": ("Work package identifier", "INTEGER"),
        "job_id": ("Job (jobs.job_id)", "INTEGER"),
        "package_code": ("Package code, e.g. WP-310", "TEXT"),
        "package_name": ("Name of the package", "TEXT"),
        "package_lead": ("Person leading the package", "TEXT"),
    }),
    "schedule_items": ("Items of the programme with early and late dates, slack and progress", {
        "schedule_item_id": ("Schedule item identifier", "INTEGER"),
        "job_id": ("Job (jobs.job_id)", "INTEGER"),
        "work_package_id": ("Work package (work_packages.work_package_id)", "INTEGER"),
        "item_code": ("Item code, the job's short code and a number, e.g. MSA-1040", "TEXT"),
        "item_name": ("Name of the item", "TEXT"),
        "item_kind": ("Kind of item", "TEXT"),
        "progress_state": ("Progress state of the item", "TEXT"),
        "planned_days": ("Planned duration in working days", "INTEGER"),
        "remaining_days": ("Remaining duration in working days", "INTEGER"),
        "early_start": ("Early start date", "DATE"),
        "early_finish": ("Early finish date", "DATE"),
        "late_start": ("Late start date", "DATE"),
        "late_finish": ("Late finish date", "DATE"),
        "actual_start": ("Actual start date; null until started", "DATE"),
        "actual_finish": ("Actual finish date; null until finished", "DATE"),
        "total_slack_days": ("Total slack in working days", "INTEGER"),
        "free_slack_days": ("Free slack in working days", "INTEGER"),
        "percent_done": ("Physical percent done, 0 to 100", "REAL"),
        "on_critical_path": ("Y when the item is on the critical path, else N", "TEXT"),
        "constraint_kind": ("Kind of date constraint on the item", "TEXT"),
        "constraint_date": ("Date of the constraint", "DATE"),
    }),
    "predecessor_links": ("Logic between schedule items: each row ties a predecessor to a successor", {
        "link_id": ("Link identifier", "INTEGER"),
        "predecessor_item_id": ("Predecessor item (schedule_items.schedule_item_id)", "INTEGER"),
        "successor_item_id": ("Successor item (schedule_items.schedule_item_id)", "INTEGER"),
        "link_kind": ("Kind of link", "TEXT"),
        "lag_days": ("Lag in working days; negative for a lead", "INTEGER"),
    }),
    "subcontractors": ("Subcontracting companies and the trade package each holds", {
        "subcontractor_id": ("Subcontractor identifier", "INTEGER"),
        "company_name": ("Registered company name", "TEXT"),
        "trade_package": ("Trade package the company is engaged for", "TEXT"),
        "contact_person": ("Main contact", "TEXT"),
        "approval_state": ("Supply chain approval state", "TEXT"),
    }),
    "crews": ("Site crews (gangs of operatives) by trade, direct or from a subcontractor", {
        "crew_id": ("Crew identifier", "INTEGER"),
        "crew_code": ("Crew code, e.g. CR-ELE1", "TEXT"),
        "crew_name": ("Name of the crew", "TEXT"),
        "trade": ("Trade of the crew", "TEXT"),
        "foreman": ("Foreman in charge", "TEXT"),
        "head_count": ("Number of operatives", "INTEGER"),
        "hourly_rate": ("Hourly rate per operative in GBP", "REAL"),
        "subcontractor_id": ("Employing subcontractor (subcontractors.subcontractor_id); null for direct labour",
                             "INTEGER"),
    }),
    "allocations": ("Crews allocated to schedule items, with planned and actual hours and cost", {
        "allocation_id": ("Allocation identifier", "INTEGER"),
        "schedule_item_id": ("Schedule item (schedule_items.schedule_item_id)", "INTEGER"),
        "crew_id": ("Crew (crews.crew_id)", "INTEGER"),
        "planned_hours": ("Planned labour hours", "REAL"),
        "actual_hours": ("Actual labour hours to date", "REAL"),
        "planned_cost": ("Planned cost", "REAL"),
        "actual_cost": ("Actual cost to date", "REAL"),
    }),
    "equipment_units": ("Plant and equipment available to the sites", {
        "equipment_id": ("Equipment identifier", "INTEGER"),
        "asset_tag": ("Asset tag, e.g. EQ-03", "TEXT"),
        "unit_description": ("Description of the unit", "TEXT"),
        "category": ("Equipment category", "TEXT"),
        "ownership": ("Owned or hired", "TEXT"),
        "daily_rate": ("Daily hire or charge rate", "REAL"),
    }),
    "equipment_bookings": ("Equipment booked for schedule items", {
        "booking_id": ("Booking identifier", "INTEGER"),
        "equipment_id": ("Equipment unit (equipment_units.equipment_id)", "INTEGER"),
        "schedule_item_id": ("Schedule item (schedule_items.schedule_item_id)", "INTEGER"),
        "booked_from": ("First day of the booking", "DATE"),
        "booked_to": ("Last day of the booking", "DATE"),
        "booking_state": ("State of the booking", "TEXT"),
    }),
    "hazards": ("Hazards and schedule threats logged against a job", {
        "hazard_id": ("Hazard identifier", "INTEGER"),
        "job_id": ("Job (jobs.job_id)", "INTEGER"),
        "schedule_item_id": ("Schedule item exposed (schedule_items.schedule_item_id); may be null", "INTEGER"),
        "hazard_ref": ("Hazard reference, e.g. HZ-MSA-02", "TEXT"),
        "hazard_title": ("Short title of the hazard", "TEXT"),
        "severity": ("Severity rating", "TEXT"),
        "likelihood_pct": ("Likelihood in percent", "INTEGER"),
        "days_at_stake": ("Working days the programme would lose if it happens", "INTEGER"),
        "hazard_state": ("State of the hazard", "TEXT"),
        "raised_by": ("Person who raised the hazard", "TEXT"),
    }),
    "milestone_events": ("Key dates of a job against their baseline", {
        "milestone_event_id": ("Milestone event identifier", "INTEGER"),
        "job_id": ("Job (jobs.job_id)", "INTEGER"),
        "milestone_name": ("Name of the key date", "TEXT"),
        "is_contractual": ("Yes when the date is in the contract", "TEXT"),
        "baseline_date": ("Baseline date", "DATE"),
        "forecast_date": ("Forecast date; null once achieved", "DATE"),
        "achieved_date": ("Date achieved; null until achieved", "DATE"),
        "milestone_state": ("State of the key date", "TEXT"),
    }),
    "site_diaries": ("Daily site diary entries: weather, operatives on site and hours lost", {
        "diary_id": ("Diary entry identifier", "INTEGER"),
        "job_id": ("Job (jobs.job_id)", "INTEGER"),
        "diary_date": ("Date of the entry", "DATE"),
        "weather": ("Weather of the day", "TEXT"),
        "operatives_on_site": ("Operatives signed in on site", "INTEGER"),
        "hours_lost": ("Working hours lost that day", "REAL"),
        "remarks": ("Free-text remarks", "TEXT"),
    }),
    "change_requests": ("Change requests raised on a job with their claimed time and cost", {
        "change_request_id": ("Change request identifier", "INTEGER"),
        "job_id": ("Job (jobs.job_id)", "INTEGER"),
        "request_number": ("Change request number, e.g. CR-MSA-002", "TEXT"),
        "request_title": ("Title of the change", "TEXT"),
        "raised_by": ("Who raised the change", "TEXT"),
        "request_state": ("Approval state of the request", "TEXT"),
        "days_claimed": ("Extension of time claimed in days", "INTEGER"),
        "cost_impact": ("Cost impact in GBP", "REAL"),
    }),
}

RELATIONSHIPS = [
    ("jobs", "calendars", "jobs.calendar_id = calendars.calendar_id", "Default calendar of a job"),
    ("work_packages", "jobs", "work_packages.job_id = jobs.job_id", "Packages of a job"),
    ("schedule_items", "jobs", "schedule_items.job_id = jobs.job_id", "Items of a job"),
    ("schedule_items", "work_packages", "schedule_items.work_package_id = work_packages.work_package_id",
     "Package of an item"),
    ("predecessor_links", "schedule_items", "predecessor_links.predecessor_item_id = schedule_items.schedule_item_id",
     "Predecessor of a link"),
    ("predecessor_links", "schedule_items", "predecessor_links.successor_item_id = schedule_items.schedule_item_id",
     "Successor of a link"),
    ("crews", "subcontractors", "crews.subcontractor_id = subcontractors.subcontractor_id",
     "Subcontractor employing a crew"),
    ("allocations", "schedule_items", "allocations.schedule_item_id = schedule_items.schedule_item_id",
     "Item of an allocation"),
    ("allocations", "crews", "allocations.crew_id = crews.crew_id", "Crew of an allocation"),
    ("equipment_bookings", "equipment_units", "equipment_bookings.equipment_id = equipment_units.equipment_id",
     "Unit booked"),
    ("equipment_bookings", "schedule_items", "equipment_bookings.schedule_item_id = schedule_items.schedule_item_id",
     "Item a unit is booked for"),
    ("hazards", "jobs", "hazards.job_id = jobs.job_id", "Hazards of a job"),
    ("hazards", "schedule_items", "hazards.schedule_item_id = schedule_items.schedule_item_id",
     "Item a hazard threatens"),
    ("milestone_events", "jobs", "milestone_events.job_id = jobs.job_id", "Key dates of a job"),
    ("site_diaries", "jobs", "site_diaries.job_id = jobs.job_id", "Diary of a job"),
    ("change_requests", "jobs", "change_requests.job_id = jobs.job_id", "Changes on a job"),
]

BUSINESS_RULES = {
    ("jobs", "job_state"): ["Allowed Values: Tender, Live, Suspended, Closed Out"],
    ("schedule_items", "progress_state"): ["Allowed Values: Not Started, In Progress, Complete"],
    ("schedule_items", "on_critical_path"): ["Critical: on_critical_path = 'Y' when total_slack_days <= 0 "
                                             "and the item is not Complete"],
    ("predecessor_links", "link_kind"): ["Allowed Values: Finish to Start, Start to Start, Finish to Finish, "
                                         "Start to Finish"],
    ("hazards", "severity"): ["Allowed Values: Low, Medium, High, Extreme"],
    ("hazards", "hazard_state"): ["Allowed Values: Open, Controlled, Closed"],
    ("milestone_events", "milestone_state"): ["Allowed Values: Forecast, At Risk, Achieved"],
    ("change_requests", "request_state"): ["Allowed Values: Pending Approval, Approved, Rejected, Withdrawn"],
}

CONCEPTS = {
    ("schedule_items", "total_slack_days"): ["total_float", "critical_path"],
    ("schedule_items", "free_slack_days"): ["free_float"],
    ("schedule_items", "on_critical_path"): ["critical_path"],
    ("schedule_items", "percent_done"): ["percent_complete"],
    ("predecessor_links", "lag_days"): ["lag"],
    ("milestone_events", "baseline_date"): ["baseline_variance"],
    ("hazards", "likelihood_pct"): ["risk_exposure"],
    ("hazards", "days_at_stake"): ["risk_exposure"],
    ("change_requests", "days_claimed"): ["extension_of_time"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an item can slip without moving completion",
    "free_float": "Working days an item can slip without moving any successor",
    "critical_path": "The longest chain of items, with the least slack, that fixes the completion date",
    "percent_complete": "Physical progress of an item",
    "lag": "Waiting time on a link between items",
    "baseline_variance": "Forecast or achieved date against the baseline date",
    "risk_exposure": "Likelihood times the days at stake",
    "extension_of_time": "Extra time granted or claimed for a change",
}

QUERY_EXAMPLES = [
    ("SELECT j.job_number, j.job_title, j.contract_completion, j.forecast_completion FROM jobs j "
     "WHERE j.job_state = 'Live' ORDER BY j.forecast_completion;",
     "Live jobs with contract and forecast completion", "simple"),
    ("SELECT s.item_code, s.item_name, s.total_slack_days FROM schedule_items s JOIN jobs j ON j.job_id = s.job_id "
     "WHERE j.short_code = 'BHW' AND s.on_critical_path = 'Y' ORDER BY s.early_start;",
     "Critical items of one job", "simple"),
    ("SELECT c.crew_name, SUM(a.planned_hours) AS planned, SUM(a.actual_hours) AS actual FROM crews c "
     "JOIN allocations a ON a.crew_id = c.crew_id GROUP BY c.crew_id, c.crew_name;",
     "Planned against actual hours per crew", "medium"),
]

KEYWORDS = {
    "slack": ["schedule_items.total_slack_days", "schedule_items.free_slack_days", "total_float"],
    "critical": ["schedule_items.on_critical_path", "critical_path"],
    "predecessor": ["predecessor_links.predecessor_item_id", "predecessor_links"],
    "successor": ["predecessor_links.successor_item_id", "predecessor_links"],
    "hazard": ["hazards", "risk_exposure"],
    "milestone": ["milestone_events"],
    "weather": ["site_diaries.weather"],
}

TERMINOLOGY = {
    "total slack": "Late finish minus early finish",
    "free slack": "Slip allowed before a successor moves",
    "FS": "Finish to Start link",
    "SS": "Start to Start link",
    "FF": "Finish to Finish link",
    "SF": "Start to Finish link",
    "hammock": "Summary item spanning other work",
    "status date": "Date up to which progress is recorded",
    "EOT": "Extension of time",
}

RELATED_TERMS = {
    "crews": "gang, team, operatives, labour",
    "equipment_units": "plant, machine",
    "site_diaries": "daily report, site log",
}

def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout4"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata)


if __name__ == "__main__":
    sys.exit(main())
