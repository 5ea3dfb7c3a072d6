#!/usr/bin/env python3
"""Build the third check schedule database (tbl-prefixed, camelCase) and its metadata document.

A third project-scheduling database shape, the development set for general linking rules:
singular table names with a `tbl` prefix (tblProject, tblActivity, tblActRel, tblRsrc, ...),
camelCase columns with planners' abbreviations (actCd, origDur, esDt, totFlt, pctCmpl, critFlg,
relTyp, rsrcTyp, fcstFinDt, ...) and its own value vocabularies (ACTIVE / ON-HOLD project
states, InProgress / NotStarted activity states, Labor / Nonlabor / Material resources).

Outputs, written to --out (default bench/out/holdout3/ under the repository):
  holdout3_schedule.db      SQLite database
  holdout3_metadata.json    metadata document in the loader's format

Usage:
  python bench/holdout3/make_holdout3.py [--out DIR]
  python bench/holdout3/make_holdout3.py --check [--questions FILE] [--verbose]

--check builds the outputs and then runs every gold statement (and every previous_sql) of
questions.json, failing when one errors, returns no rows or reads other tables than gold_tables.

Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 31337
DATA_DATE = dt.date(2025, 3, 31)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import default_out, describe_tables, main as build_main, metadata_document  # noqa: E402
DB_NAME = "holdout3_schedule.db"
META_NAME = "holdout3_metadata.json"

DDL = """
CREATE TABLE tblCalendar (
    calId INTEGER PRIMARY KEY, calName TEXT NOT NULL, workDaysWk INTEGER NOT NULL,
    hrsPerDay REAL NOT NULL
);
CREATE TABLE tblCalException (
    excId INTEGER PRIMARY KEY, calId INTEGER NOT NULL REFERENCES tblCalendar(calId),
    excDt TEXT NOT NULL, excDesc TEXT NOT NULL
);
CREATE TABLE tblProject (
    projId INTEGER PRIMARY KEY, projNo TEXT NOT NULL UNIQUE, projName TEXT NOT NULL,
    clientName TEXT NOT NULL, region TEXT NOT NULL, projStat TEXT NOT NULL, pmName TEXT NOT NULL,
    budgetAmt REAL NOT NULL, startDt TEXT NOT NULL, planFinDt TEXT NOT NULL, fcstFinDt TEXT,
    dataDt TEXT NOT NULL, calId INTEGER NOT NULL REFERENCES tblCalendar(calId)
);
CREATE TABLE tblWbs (
    wbsId INTEGER PRIMARY KEY, projId INTEGER NOT NULL REFERENCES tblProject(projId),
    wbsCd TEXT NOT NULL, wbsDesc TEXT NOT NULL, respMgr TEXT NOT NULL
);
CREATE TABLE tblActivity (
    actId INTEGER PRIMARY KEY, projId INTEGER NOT NULL REFERENCES tblProject(projId),
    wbsId INTEGER NOT NULL REFERENCES tblWbs(wbsId), actCd TEXT NOT NULL UNIQUE,
    actDesc TEXT NOT NULL, actType TEXT NOT NULL, actStat TEXT NOT NULL,
    origDur INTEGER NOT NULL, remDur INTEGER NOT NULL, esDt TEXT NOT NULL, efDt TEXT NOT NULL,
    lsDt TEXT NOT NULL, lfDt TEXT NOT NULL, actStartDt TEXT, actFinDt TEXT,
    totFlt INTEGER NOT NULL, freeFlt INTEGER NOT NULL, pctCmpl REAL NOT NULL,
    critFlg INTEGER NOT NULL, cnstrType TEXT, cnstrDt TEXT
);
CREATE TABLE tblActRel (
    relId INTEGER PRIMARY KEY, predActId INTEGER NOT NULL REFERENCES tblActivity(actId),
    succActId INTEGER NOT NULL REFERENCES tblActivity(actId), relTyp TEXT NOT NULL,
    lagDays INTEGER NOT NULL, drvFlg INTEGER NOT NULL
);
CREATE TABLE tblRsrc (
    rsrcId INTEGER PRIMARY KEY, rsrcCd TEXT NOT NULL UNIQUE, rsrcName TEXT NOT NULL,
    rsrcTyp TEXT NOT NULL, tradeCd TEXT, stdRate REAL NOT NULL, maxUnits REAL NOT NULL,
    calId INTEGER NOT NULL REFERENCES tblCalendar(calId)
);
CREATE TABLE tblRsrcAsgn (
    asgnId INTEGER PRIMARY KEY, actId INTEGER NOT NULL REFERENCES tblActivity(actId),
    rsrcId INTEGER NOT NULL REFERENCES tblRsrc(rsrcId), budQty REAL NOT NULL,
    actQty REAL NOT NULL, budCost REAL NOT NULL, actCost REAL NOT NULL
);
CREATE TABLE tblBaseline (
    blId INTEGER PRIMARY KEY, projId INTEGER NOT NULL REFERENCES tblProject(projId),
    blName TEXT NOT NULL, blDt TEXT NOT NULL, isCurrent INTEGER NOT NULL
);
CREATE TABLE tblBlActivity (
    blActId INTEGER PRIMARY KEY, blId INTEGER NOT NULL REFERENCES tblBaseline(blId),
    actId INTEGER NOT NULL REFERENCES tblActivity(actId), blStartDt TEXT NOT NULL,
    blFinDt TEXT NOT NULL, blDur INTEGER NOT NULL
);
CREATE TABLE tblRisk (
    riskId INTEGER PRIMARY KEY, projId INTEGER NOT NULL REFERENCES tblProject(projId),
    actId INTEGER REFERENCES tblActivity(actId), riskCd TEXT NOT NULL UNIQUE,
    riskTitle TEXT NOT NULL, riskCat TEXT NOT NULL, probPct INTEGER NOT NULL,
    impactDays INTEGER NOT NULL, riskStat TEXT NOT NULL, riskOwner TEXT NOT NULL
);
CREATE TABLE tblDelayEvt (
    evtId INTEGER PRIMARY KEY, projId INTEGER NOT NULL REFERENCES tblProject(projId),
    actId INTEGER REFERENCES tblActivity(actId), evtDt TEXT NOT NULL, causeCd TEXT NOT NULL,
    daysLost INTEGER NOT NULL, excusable INTEGER NOT NULL, evtNote TEXT
);
"""

CALENDARS = [(1, "Std 5x8", 5, 8.0), (2, "6-Day Site", 6, 10.0), (3, "24/7 Continuous", 7, 24.0)]
HOLIDAYS = [("2024-12-25", "Christmas Day"), ("2024-12-26", "Boxing Day"), ("2025-01-01", "New Year"),
            ("2025-04-18", "Good Friday"), ("2025-05-05", "Early May Bank Holiday")]

PROJECTS = [
    # projNo, name, client, region, status, pm, budget, start, finish, calId
    ("RHX", "Riverside Hospital Extension", "Northshire NHS Trust", "North West", "ACTIVE",
     "Dana Whitlock", 48_500_000, "2024-03-04", "2025-11-28", 1),
    ("KTR", "Kingsway Tunnel Refurbishment", "Metro Highways", "Midlands", "ACTIVE",
     "Omar Basri", 31_200_000, "2024-11-04", "2025-09-30", 1),
    ("SFP", "Solar Farm Phase 2", "Greenfield Energy", "South West", "ON-HOLD",
     "Priya Nand", 12_750_000, "2024-09-02", "2025-07-31", 2),
    ("NDC", "Northgate Data Centre", "Cirrus Hosting", "North East", "ACTIVE",
     "Lewis Carver", 66_000_000, "2024-01-08", "2025-12-19", 2),
    ("ESS", "Elm Street Primary School", "Westvale Council", "Midlands", "COMPLETE",
     "Dana Whitlock", 9_400_000, "2023-05-02", "2024-08-30", 1),
    ("PQB", "Port Quay Berth 4", "Harbour Authority", "Scotland", "PLANNED",
     "Fergus Mackie", 22_300_000, "2025-06-02", "2026-10-30", 2),
]

WBS = [
    ("1", "Enabling Works", ["Site Mobilisation", "Site Clearance", "Temporary Access Road", "Utility Diversions"]),
    ("2", "Substructure", ["Bulk Excavation", "Piling", "Pile Caps", "Ground Beams", "Ground Floor Slab Pour"]),
    ("3", "Superstructure", ["Erect Steel Frame", "Metal Decking", "Upper Floor Slab Pour", "Roof Steel", "Stair Cores"]),
    ("4", "Envelope", ["Curtain Wall Installation", "Roof Membrane", "External Cladding", "Glazing"]),
    ("5", "MEP Services", ["HVAC First Fix", "Electrical First Fix", "Plumbing Rough-in", "Fire Alarm Install",
                           "HVAC Commissioning", "Electrical Testing"]),
    ("6", "Fit-out and Handover", ["Drylining", "Ceiling Grid", "Floor Finishes", "Snagging",
                                   "Practical Completion"]),
]

RESOURCES = [
    # code, name, type, trade, rate, max units, cal
    ("CRN80", "Crawler Crane 80t", "Nonlabor", None, 1850.0, 1, 1),
    ("EXC20", "Excavator 20t", "Nonlabor", None, 620.0, 3, 2),
    ("PILE", "Piling Rig", "Nonlabor", None, 2400.0, 1, 2),
    ("ELEC", "Electricians", "Labor", "ELE", 42.0, 12, 1),
    ("CARP", "Carpenters", "Labor", "CAR", 36.0, 10, 1),
    ("STLE", "Steel Erectors", "Labor", "STL", 45.0, 8, 2),
    ("PLMB", "Plumbers", "Labor", "PLU", 40.0, 6, 1),
    ("GRND", "Groundworks Gang", "Labor", "GRW", 33.0, 15, 2),
    ("SCAF", "Scaffolders", "Labor", "SCF", 34.0, 6, 1),
    ("CONC", "Ready-Mix Concrete", "Material", None, 118.0, 400, 3),
    ("RBAR", "Reinforcement Steel", "Material", None, 950.0, 200, 3),
]

RISK_CATS = ["Weather", "Design", "Supply Chain", "Permits", "Ground Conditions", "Labour"]
RISK_TITLES = {
    "Weather": ["High winds stop crane lifts", "Wet winter delays earthworks"],
    "Design": ["Late structural drawings", "MEP coordination clashes"],
    "Supply Chain": ["Curtain wall panels delivered late", "Switchgear lead time"],
    "Permits": ["Road closure permit refused", "Environmental consent delay"],
    "Ground Conditions": ["Contaminated ground found", "Obstructions during piling"],
    "Labour": ["Shortage of electricians", "Steel erector availability"],
}
RISK_STATES = ["Open", "Mitigated", "Closed", "Occurred"]
CAUSES = ["Weather", "Design Change", "Late Delivery", "Labour Shortage", "Client Instruction"]
OWNERS = ["Dana Whitlock", "Omar Basri", "Priya Nand", "Lewis Carver", "Fergus Mackie", "Ines Duarte"]


def iso(x):
    return x.isoformat()


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
        con.execute("INSERT INTO tblCalendar VALUES (?,?,?,?)", c)
    exc = 0
    for cal in (1, 2):
        for day, label in HOLIDAYS:
            exc += 1
            con.execute("INSERT INTO tblCalException VALUES (?,?,?,?)", (exc, cal, day, label))
    con.execute("INSERT INTO tblCalException VALUES (?,?,?,?)", (exc + 1, 1, "2025-08-04", "Summer Shutdown"))

    for i, (code, name, typ, trade, rate, mx, cal) in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO tblRsrc VALUES (?,?,?,?,?,?,?,?)", (i, code, name, typ, trade, rate, mx, cal))

    act_id = wbs_id = rel_id = asgn_id = bl_id = bl_act = risk_id = evt_id = 0
    for p, (no, name, client, region, stat, pm, budget, start, finish, cal) in enumerate(PROJECTS, 1):
        start_d = dt.date.fromisoformat(start)
        finish_d = dt.date.fromisoformat(finish)
        per_week = CALENDARS[cal - 1][2]
        data_dt = DATA_DATE if stat != "COMPLETE" else finish_d
        slip = rng.choice([-5, 0, 12, 25, 40]) if stat in ("ACTIVE", "ON-HOLD") else 0
        fcst = None if stat == "COMPLETE" else iso(finish_d + dt.timedelta(days=slip))
        con.execute("INSERT INTO tblProject VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p, no, name, client, region, stat, pm, budget, start, finish, fcst, iso(data_dt), cal))
        prev = None
        cur = start_d
        seq = 1000
        proj_acts = []
        for wcd, wdesc, names in WBS:
            wbs_id += 1
            con.execute("INSERT INTO tblWbs VALUES (?,?,?,?,?)",
                        (wbs_id, p, f"{no}.{wcd}", wdesc, rng.choice(OWNERS)))
            for an in names:
                act_id += 1
                seq += 10
                milestone = an in ("Site Mobilisation", "Practical Completion")
                dur = 0 if milestone else rng.randint(4, 35)
                es = cur
                ef = add_workdays(es, dur, per_week) if dur else es
                tf = rng.choice([-8, -3, 0, 0, 0, 4, 10, 22, 35])
                ff = max(0, min(tf, rng.choice([0, 0, 3, 8])))
                ls = es + dt.timedelta(days=tf * 7 // per_week)
                lf = ef + dt.timedelta(days=tf * 7 // per_week)
                if stat == "COMPLETE" or ef < data_dt:
                    astat, pct, a_s, a_f, rem = "Completed", 100.0, iso(es), iso(ef), 0
                elif es <= data_dt:
                    pct = float(rng.choice([10, 25, 40, 60, 85]))
                    astat, a_s, a_f, rem = "InProgress", iso(es), None, max(1, round(dur * (1 - pct / 100)))
                else:
                    astat, pct, a_s, a_f, rem = "NotStarted", 0.0, None, None, dur
                if stat == "PLANNED":
                    astat, pct, a_s, a_f, rem = "NotStarted", 0.0, None, None, dur
                crit = 1 if tf <= 0 and astat != "Completed" else 0
                typ = ("Start Milestone" if an == "Site Mobilisation" else
                       "Finish Milestone" if milestone else
                       "Level of Effort" if an == "Snagging" else "Task Dependent")
                cnstr = cdt = None
                if milestone and an == "Practical Completion":
                    cnstr, cdt = "Finish On or Before", finish
                elif rng.random() < 0.08:
                    cnstr, cdt = "Start On or After", iso(es)
                code = f"{no}-A{seq}"
                con.execute("INSERT INTO tblActivity VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (act_id, p, wbs_id, code, an, typ, astat, dur, rem, iso(es), iso(ef), iso(ls),
                             iso(lf), a_s, a_f, tf, ff, pct, crit, cnstr, cdt))
                if prev is not None:
                    rel_id += 1
                    rt = rng.choice(["FS", "FS", "FS", "SS", "FF"])
                    lag = rng.choice([0, 0, 0, 2, 5, -2, 10])
                    con.execute("INSERT INTO tblActRel VALUES (?,?,?,?,?,?)",
                                (rel_id, prev, act_id, rt, lag, 1 if tf <= 0 else rng.randint(0, 1)))
                if len(proj_acts) > 3 and rng.random() < 0.3:
                    rel_id += 1
                    con.execute("INSERT INTO tblActRel VALUES (?,?,?,?,?,?)",
                                (rel_id, rng.choice(proj_acts[:-2]), act_id, "SF" if rng.random() < 0.15 else "FS",
                                 rng.choice([0, 3]), 0))
                proj_acts.append(act_id)
                prev = act_id
                cur = ef if rng.random() < 0.6 else es + dt.timedelta(days=rng.randint(1, 6))
                if not milestone:
                    for r in rng.sample(range(1, len(RESOURCES) + 1), rng.randint(1, 3)):
                        asgn_id += 1
                        rate = RESOURCES[r - 1][4]
                        bud = float(rng.randint(2, 60) * 8)
                        act = round(bud * pct / 100 * rng.uniform(0.8, 1.3), 1)
                        con.execute("INSERT INTO tblRsrcAsgn VALUES (?,?,?,?,?,?,?)",
                                    (asgn_id, act_id, r, bud, act, round(bud * rate, 2), round(act * rate, 2)))
        # baselines
        nbl = 2 if stat != "PLANNED" else 1
        for b in range(1, nbl + 1):
            bl_id += 1
            bdate = start_d - dt.timedelta(days=14) if b == 1 else start_d + dt.timedelta(days=120)
            con.execute("INSERT INTO tblBaseline VALUES (?,?,?,?,?)",
                        (bl_id, p, f"{no} BL{b}" + (" Award" if b == 1 else " Re-plan"), iso(bdate),
                         1 if b == nbl else 0))
            for a in proj_acts:
                es, ef, dur = con.execute("SELECT esDt, efDt, origDur FROM tblActivity WHERE actId=?", (a,)).fetchone()
                shift = rng.choice([0, 0, -3, -7, -14]) if b == 1 else rng.choice([0, 0, -2, 3])
                bs = dt.date.fromisoformat(es) + dt.timedelta(days=shift)
                bf = dt.date.fromisoformat(ef) + dt.timedelta(days=shift + rng.choice([0, 0, -4]))
                bl_act += 1
                con.execute("INSERT INTO tblBlActivity VALUES (?,?,?,?,?,?)", (bl_act, bl_id, a, iso(bs), iso(bf), dur))
        # risks and delay events
        for k in range(rng.randint(4, 7)):
            risk_id += 1
            cat = rng.choice(RISK_CATS)
            con.execute("INSERT INTO tblRisk VALUES (?,?,?,?,?,?,?,?,?,?)",
                        (risk_id, p, rng.choice(proj_acts + [None]), f"R-{no}-{k + 1:02d}",
                         rng.choice(RISK_TITLES[cat]), cat, rng.choice([10, 25, 40, 60, 80]),
                         rng.choice([2, 5, 10, 20, 45]), rng.choice(RISK_STATES), rng.choice(OWNERS)))
        if stat in ("ACTIVE", "COMPLETE", "ON-HOLD"):
            for k in range(rng.randint(3, 6)):
                evt_id += 1
                cause = rng.choice(CAUSES)
                day = start_d + dt.timedelta(days=rng.randint(10, 300))
                con.execute("INSERT INTO tblDelayEvt VALUES (?,?,?,?,?,?,?,?)",
                            (evt_id, p, rng.choice(proj_acts), iso(day), cause, rng.randint(1, 12),
                             1 if cause in ("Weather", "Client Instruction", "Design Change") else 0,
                             f"{cause} recorded by site team"))
    con.commit()
    return con


TABLE_META = {
    "tblCalendar": ("Work calendars defining working days per week and hours per day", {
        "calId": ("Calendar key", "INTEGER"),
        "calName": ("Calendar name", "TEXT"),
        "workDaysWk": ("Working days per week", "INTEGER"),
        "hrsPerDay": ("Working hours per day", "REAL"),
    }),
    "tblCalException": ("Non-working days (holidays, shutdowns) of a calendar", {
        "excId": ("Exception key", "INTEGER"),
        "calId": ("Calendar (tblCalendar.calId)", "INTEGER"),
        "excDt": ("Non-working date", "DATE"),
        "excDesc": ("Holiday or shutdown name", "TEXT"),
    }),
    "tblProject": ("Projects in the portfolio with contract dates and forecast completion", {
        "projId": ("Project key", "INTEGER"),
        "projNo": ("Project number, prefix of activity codes, e.g. RHX", "TEXT"),
        "projName": ("Project name", "TEXT"),
        "clientName": ("Client organisation", "TEXT"),
        "region": ("Region of the site", "TEXT"),
        "projStat": ("Project status", "TEXT"),
        "pmName": ("Project manager", "TEXT"),
        "budgetAmt": ("Approved budget in GBP", "REAL"),
        "startDt": ("Project start date", "DATE"),
        "planFinDt": ("Contract (planned) finish date", "DATE"),
        "fcstFinDt": ("Forecast finish date from the latest update; null when complete", "DATE"),
        "dataDt": ("Data date of the latest schedule update", "DATE"),
        "calId": ("Default calendar (tblCalendar.calId)", "INTEGER"),
    }),
    "tblWbs": ("Work breakdown structure elements of each project", {
        "wbsId": ("WBS element key", "INTEGER"),
        "projId": ("Project (tblProject.projId)", "INTEGER"),
        "wbsCd": ("WBS code, project number and element number, e.g. RHX.2", "TEXT"),
        "wbsDesc": ("WBS element description", "TEXT"),
        "respMgr": ("Responsible manager", "TEXT"),
    }),
    "tblActivity": ("Schedule activities with CPM dates, float and progress", {
        "actId": ("Activity key", "INTEGER"),
        "projId": ("Project (tblProject.projId)", "INTEGER"),
        "wbsId": ("WBS element (tblWbs.wbsId)", "INTEGER"),
        "actCd": ("Activity code, e.g. RHX-A1020", "TEXT"),
        "actDesc": ("Activity description", "TEXT"),
        "actType": ("Activity type", "TEXT"),
        "actStat": ("Activity status", "TEXT"),
        "origDur": ("Original duration in working days", "INTEGER"),
        "remDur": ("Remaining duration in working days", "INTEGER"),
        "esDt": ("Early start", "DATE"),
        "efDt": ("Early finish", "DATE"),
        "lsDt": ("Late start", "DATE"),
        "lfDt": ("Late finish", "DATE"),
        "actStartDt": ("Actual start; null if not started", "DATE"),
        "actFinDt": ("Actual finish; null if not finished", "DATE"),
        "totFlt": ("Total float in working days", "INTEGER"),
        "freeFlt": ("Free float in working days", "INTEGER"),
        "pctCmpl": ("Percent complete, 0 to 100", "REAL"),
        "critFlg": ("1 when the activity is critical", "INTEGER"),
        "cnstrType": ("Schedule constraint type", "TEXT"),
        "cnstrDt": ("Constraint date", "DATE"),
    }),
    "tblActRel": ("Logic links between activities", {
        "relId": ("Link key", "INTEGER"),
        "predActId": ("Predecessor activity (tblActivity.actId)", "INTEGER"),
        "succActId": ("Successor activity (tblActivity.actId)", "INTEGER"),
        "relTyp": ("Link type", "TEXT"),
        "lagDays": ("Lag in working days; negative is a lead", "INTEGER"),
        "drvFlg": ("1 when the link drives the successor's dates", "INTEGER"),
    }),
    "tblRsrc": ("Resources: labour, plant and materials", {
        "rsrcId": ("Resource key", "INTEGER"),
        "rsrcCd": ("Resource code", "TEXT"),
        "rsrcName": ("Resource name", "TEXT"),
        "rsrcTyp": ("Resource type", "TEXT"),
        "tradeCd": ("Trade code of a labour resource", "TEXT"),
        "stdRate": ("Standard rate per unit", "REAL"),
        "maxUnits": ("Maximum units available", "REAL"),
        "calId": ("Resource calendar (tblCalendar.calId)", "INTEGER"),
    }),
    "tblRsrcAsgn": ("Resource assignments to activities with budgeted and actual quantities and costs", {
        "asgnId": ("Assignment key", "INTEGER"),
        "actId": ("Activity (tblActivity.actId)", "INTEGER"),
        "rsrcId": ("Resource (tblRsrc.rsrcId)", "INTEGER"),
        "budQty": ("Budgeted units (hours for labour)", "REAL"),
        "actQty": ("Actual units to date", "REAL"),
        "budCost": ("Budgeted cost", "REAL"),
        "actCost": ("Actual cost to date", "REAL"),
    }),
    "tblBaseline": ("Saved baselines of a project", {
        "blId": ("Baseline key", "INTEGER"),
        "projId": ("Project (tblProject.projId)", "INTEGER"),
        "blName": ("Baseline name", "TEXT"),
        "blDt": ("Date the baseline was saved", "DATE"),
        "isCurrent": ("1 for the project's current baseline", "INTEGER"),
    }),
    "tblBlActivity": ("Activity dates stored in a baseline", {
        "blActId": ("Baseline row key", "INTEGER"),
        "blId": ("Baseline (tblBaseline.blId)", "INTEGER"),
        "actId": ("Activity (tblActivity.actId)", "INTEGER"),
        "blStartDt": ("Baseline start", "DATE"),
        "blFinDt": ("Baseline finish", "DATE"),
        "blDur": ("Baseline duration in working days", "INTEGER"),
    }),
    "tblRisk": ("Risk register entries", {
        "riskId": ("Risk key", "INTEGER"),
        "projId": ("Project (tblProject.projId)", "INTEGER"),
        "actId": ("Activity exposed (tblActivity.actId); may be null", "INTEGER"),
        "riskCd": ("Risk reference, e.g. R-RHX-01", "TEXT"),
        "riskTitle": ("Short risk title", "TEXT"),
        "riskCat": ("Risk category", "TEXT"),
        "probPct": ("Probability in percent", "INTEGER"),
        "impactDays": ("Schedule impact in days if the risk occurs", "INTEGER"),
        "riskStat": ("Risk status", "TEXT"),
        "riskOwner": ("Person owning the risk", "TEXT"),
    }),
    "tblDelayEvt": ("Delay events recorded on site", {
        "evtId": ("Event key", "INTEGER"),
        "projId": ("Project (tblProject.projId)", "INTEGER"),
        "actId": ("Activity delayed (tblActivity.actId)", "INTEGER"),
        "evtDt": ("Date of the event", "DATE"),
        "causeCd": ("Cause of the delay", "TEXT"),
        "daysLost": ("Working days lost", "INTEGER"),
        "excusable": ("1 when the delay entitles the contractor to more time", "INTEGER"),
        "evtNote": ("Free-text note", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("tblCalException", "tblCalendar", "tblCalException.calId = tblCalendar.calId", "Exceptions of a calendar"),
    ("tblProject", "tblCalendar", "tblProject.calId = tblCalendar.calId", "Default calendar of a project"),
    ("tblWbs", "tblProject", "tblWbs.projId = tblProject.projId", "WBS of a project"),
    ("tblActivity", "tblProject", "tblActivity.projId = tblProject.projId", "Activities of a project"),
    ("tblActivity", "tblWbs", "tblActivity.wbsId = tblWbs.wbsId", "WBS element of an activity"),
    ("tblActRel", "tblActivity", "tblActRel.predActId = tblActivity.actId", "Predecessor of a link"),
    ("tblActRel", "tblActivity", "tblActRel.succActId = tblActivity.actId", "Successor of a link"),
    ("tblRsrc", "tblCalendar", "tblRsrc.calId = tblCalendar.calId", "Calendar of a resource"),
    ("tblRsrcAsgn", "tblActivity", "tblRsrcAsgn.actId = tblActivity.actId", "Activity of an assignment"),
    ("tblRsrcAsgn", "tblRsrc", "tblRsrcAsgn.rsrcId = tblRsrc.rsrcId", "Resource of an assignment"),
    ("tblBaseline", "tblProject", "tblBaseline.projId = tblProject.projId", "Baselines of a project"),
    ("tblBlActivity", "tblBaseline", "tblBlActivity.blId = tblBaseline.blId", "Rows of a baseline"),
    ("tblBlActivity", "tblActivity", "tblBlActivity.actId = tblActivity.actId", "Current activity of a baseline row"),
    ("tblRisk", "tblProject", "tblRisk.projId = tblProject.projId", "Risks of a project"),
    ("tblRisk", "tblActivity", "tblRisk.actId = tblActivity.actId", "Activity a risk threatens"),
    ("tblDelayEvt", "tblProject", "tblDelayEvt.projId = tblProject.projId", "Delay events of a project"),
    ("tblDelayEvt", "tblActivity", "tblDelayEvt.actId = tblActivity.actId", "Activity a delay hit"),
]

BUSINESS_RULES = {
    ("tblProject", "projStat"): ["Allowed Values: PLANNED, ACTIVE, ON-HOLD, COMPLETE"],
    ("tblActivity", "actStat"): ["Allowed Values: NotStarted, InProgress, Completed"],
    ("tblActivity", "critFlg"): ["Critical: critFlg = 1 when totFlt <= 0 and the activity is not Completed"],
    ("tblActRel", "relTyp"): ["Allowed Values: FS, SS, FF, SF"],
    ("tblRsrc", "rsrcTyp"): ["Allowed Values: Labor, Nonlabor, Material"],
    ("tblRisk", "riskStat"): ["Allowed Values: Open, Mitigated, Closed, Occurred"],
    ("tblBaseline", "isCurrent"): ["Current Baseline: exactly one baseline per project has isCurrent = 1"],
}

CONCEPTS = {
    ("tblActivity", "totFlt"): ["total_float", "critical_path"],
    ("tblActivity", "freeFlt"): ["free_float"],
    ("tblActivity", "critFlg"): ["critical_path"],
    ("tblActivity", "pctCmpl"): ["percent_complete"],
    ("tblActRel", "lagDays"): ["lag"],
    ("tblBlActivity", "blFinDt"): ["baseline_variance"],
    ("tblRisk", "probPct"): ["risk_exposure"],
    ("tblRisk", "impactDays"): ["risk_exposure"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip without delaying project completion",
    "free_float": "Working days an activity can slip without delaying a successor",
    "critical_path": "Chain of activities with the least float that determines the finish date",
    "percent_complete": "Physical progress of an activity",
    "lag": "Wait time on a logic link",
    "baseline_variance": "Difference between current and baseline dates",
    "risk_exposure": "Probability times schedule impact of a risk",
}

QUERY_EXAMPLES = [
    ("SELECT p.projNo, p.projName, p.planFinDt, p.fcstFinDt FROM tblProject p WHERE p.projStat = 'ACTIVE' ORDER BY p.fcstFinDt;",
     "Active projects with contract and forecast finish", "simple"),
    ("SELECT a.actCd, a.actDesc, a.totFlt FROM tblActivity a JOIN tblProject p ON p.projId = a.projId WHERE p.projNo = 'NDC' AND a.critFlg = 1 ORDER BY a.esDt;",
     "Critical activities of one project", "simple"),
    ("SELECT r.rsrcName, SUM(x.budQty) AS bud, SUM(x.actQty) AS act FROM tblRsrc r JOIN tblRsrcAsgn x ON x.rsrcId = r.rsrcId GROUP BY r.rsrcId, r.rsrcName;",
     "Budgeted against actual units per resource", "medium"),
]

KEYWORDS = {
    "float": ["tblActivity.totFlt", "tblActivity.freeFlt", "total_float"],
    "critical": ["tblActivity.critFlg", "critical_path"],
    "predecessor": ["tblActRel.predActId", "tblActRel"],
    "successor": ["tblActRel.succActId", "tblActRel"],
    "baseline": ["tblBaseline", "tblBlActivity", "baseline_variance"],
    "risk": ["tblRisk", "risk_exposure"],
    "delay": ["tblDelayEvt"],
}

TERMINOLOGY = {
    "total float": "Late finish minus early finish",
    "free float": "Slack before a successor is delayed",
    "FS": "Finish-to-start link",
    "SS": "Start-to-start link",
    "FF": "Finish-to-finish link",
    "SF": "Start-to-finish link",
    "LOE": "Level of effort activity spanning other work",
    "data date": "Date up to which progress is recorded",
}

RELATED_TERMS = {
    "tblRsrc": "resource, crew, labour, plant, equipment",
    "tblDelayEvt": "delay, lost time, hold-up",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS,
                             key_suffix="Id")
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout3"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata)


if __name__ == "__main__":
    sys.exit(main())
