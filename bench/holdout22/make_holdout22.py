#!/usr/bin/env python3
"""Build the twenty-second schedule database (a port authority's harbour expansion programme, singular
lower snake case tables without prefixes) and its metadata.

Kestrelhaven Port Authority runs six capital projects at the Port of Kestrelhaven: the South Breakwater
armour repair, the Berth 7 container quay wall (combi-wall piled from a jack-up barge in four sections),
the capital dredge of the approach channel in three campaigns, the supply and commissioning of three
ship-to-shore (STS) cranes, the container yard paving and drainage in four blocks and the North Gate
complex with its terminal IT. Each project has its WBS, activities on office, day shift, tidal window,
24/7 dredging and elapsed calendars, logic with lags, baselines, marine plant and crews with
assignments, daily dredging returns, weather downtime, notices to mariners, quality check and test records,
supplier deliveries and risks. The quay wall was re-baselined after pile refusal in boulder clay; the
STS cranes after the heavy-lift vessel slot moved.

Named the way a port's planning database names things: singular lower snake case tables without
prefixes (project, activity, activity_link, resource, assignment) and columns with planner
abbreviations (act_ref, descr, early_st, early_fin, tot_float, crit, pct, bl_fin). Statuses are
single-letter codes explained only in the metadata.

Durations, remaining durations and float are in WORKING DAYS of the activity's calendar; lags are
calendar days. Each project is scheduled by one forward and backward pass against its target completion
date. Data date 2025-10-24.

Outputs go to bench/out/holdout22/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 222222
DATA_DATE = dt.date(2025, 10, 24)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import (WorkDays, activity_at, anchored_baselines, assignment_hours, baseline_activities,  # noqa: E402
                            check_with_history, default_out, forward_backward, gather_plans, describe_tables,
                            main as build_main, metadata_document, day_span as _span, insert_calendars, iso,
                            logic_links, parse_pred, shown_dates, stage_at, wbs_rows)
DB_NAME = "holdout22_schedule.db"
META_NAME = "holdout22_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE project (
    proj_id INTEGER PRIMARY KEY, proj_code TEXT NOT NULL UNIQUE, proj_name TEXT NOT NULL, zone TEXT NOT NULL,
    pm_name TEXT NOT NULL, contractor TEXT NOT NULL, budget REAL NOT NULL, eac REAL NOT NULL,
    start_dt TEXT NOT NULL, tgt_fin TEXT NOT NULL, fcst_fin TEXT NOT NULL, act_fin TEXT,
    data_dt TEXT NOT NULL, stat TEXT NOT NULL, rag TEXT NOT NULL
);
CREATE TABLE wbs (
    wbs_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES project(proj_id),
    parent_id INTEGER REFERENCES wbs(wbs_id), wbs_ref TEXT NOT NULL, wbs_descr TEXT NOT NULL, lvl INTEGER NOT NULL
);
CREATE TABLE calendar (
    cal_id INTEGER PRIMARY KEY, cal_ref TEXT NOT NULL UNIQUE, cal_descr TEXT NOT NULL, work_days TEXT NOT NULL,
    hrs_day REAL NOT NULL, remarks TEXT
);
CREATE TABLE cal_exception (
    exc_id INTEGER PRIMARY KEY, cal_id INTEGER NOT NULL REFERENCES calendar(cal_id),
    off_dt TEXT NOT NULL, exc_code TEXT NOT NULL, reason TEXT NOT NULL
);
CREATE TABLE activity (
    act_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES project(proj_id),
    wbs_id INTEGER NOT NULL REFERENCES wbs(wbs_id), cal_id INTEGER NOT NULL REFERENCES calendar(cal_id),
    act_ref TEXT NOT NULL UNIQUE, descr TEXT NOT NULL, act_kind TEXT NOT NULL, locn TEXT,
    orig_dur REAL NOT NULL, rem_dur REAL NOT NULL, bl_st TEXT, bl_fin TEXT, early_st TEXT NOT NULL,
    early_fin TEXT NOT NULL, late_st TEXT, late_fin TEXT, act_st TEXT, act_fin TEXT, tot_float REAL,
    free_float REAL, crit TEXT NOT NULL, pct REAL NOT NULL, status TEXT NOT NULL
);
CREATE TABLE activity_link (
    link_id INTEGER PRIMARY KEY, pred_id INTEGER NOT NULL REFERENCES activity(act_id),
    succ_id INTEGER NOT NULL REFERENCES activity(act_id), rel_type TEXT NOT NULL, lag_days REAL NOT NULL
);
CREATE TABLE baseline (
    bl_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES project(proj_id), bl_no INTEGER NOT NULL,
    bl_title TEXT NOT NULL, set_on TEXT NOT NULL, approved_by TEXT NOT NULL, is_current TEXT NOT NULL
);
CREATE TABLE baseline_act (
    bla_id INTEGER PRIMARY KEY, bl_id INTEGER NOT NULL REFERENCES baseline(bl_id),
    act_id INTEGER NOT NULL REFERENCES activity(act_id), bl_st TEXT NOT NULL, bl_fin TEXT NOT NULL,
    bl_dur REAL NOT NULL, bl_float REAL
);
CREATE TABLE resource (
    res_id INTEGER PRIMARY KEY, res_code TEXT NOT NULL UNIQUE, res_name TEXT NOT NULL, res_class TEXT NOT NULL,
    category TEXT NOT NULL, owner_co TEXT NOT NULL, qty INTEGER NOT NULL, day_rate REAL NOT NULL,
    foreman TEXT NOT NULL
);
CREATE TABLE assignment (
    asg_id INTEGER PRIMARY KEY, act_id INTEGER NOT NULL REFERENCES activity(act_id),
    res_id INTEGER NOT NULL REFERENCES resource(res_id), plan_hrs REAL NOT NULL, act_hrs REAL NOT NULL,
    rem_hrs REAL NOT NULL, plan_cost REAL NOT NULL, act_cost REAL NOT NULL
);
CREATE TABLE dredge_return (
    ret_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES project(proj_id),
    act_id INTEGER NOT NULL REFERENCES activity(act_id), res_id INTEGER NOT NULL REFERENCES resource(res_id),
    ret_dt TEXT NOT NULL, campaign TEXT NOT NULL, vol_m3 REAL NOT NULL, loads INTEGER NOT NULL,
    dredge_hrs REAL NOT NULL, down_hrs REAL NOT NULL, disposal TEXT NOT NULL, depth_cd REAL
);
CREATE TABLE weather_downtime (
    wd_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES project(proj_id),
    act_id INTEGER NOT NULL REFERENCES activity(act_id), lost_on TEXT NOT NULL, hrs_lost REAL NOT NULL,
    cause TEXT NOT NULL, wind_kn REAL, hs_m REAL, logged_by TEXT NOT NULL
);
CREATE TABLE nav_notice (
    nn_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES project(proj_id), ntm_no TEXT NOT NULL UNIQUE,
    title TEXT NOT NULL, area TEXT NOT NULL, restr TEXT NOT NULL, eff_from TEXT NOT NULL, eff_to TEXT NOT NULL,
    published_by TEXT NOT NULL, nn_stat TEXT NOT NULL
);
CREATE TABLE quality_check (
    qc_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES project(proj_id),
    act_id INTEGER NOT NULL REFERENCES activity(act_id), itp_ref TEXT NOT NULL UNIQUE, chk_type TEXT NOT NULL,
    pt_type TEXT NOT NULL, chk_dt TEXT NOT NULL, attempt INTEGER NOT NULL, outcome TEXT NOT NULL,
    ncr_raised INTEGER NOT NULL, ncr_open INTEGER NOT NULL, checked_by TEXT NOT NULL, notes TEXT NOT NULL
);
CREATE TABLE delivery (
    dlv_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES project(proj_id),
    act_id INTEGER NOT NULL REFERENCES activity(act_id), po_ref TEXT NOT NULL, item TEXT NOT NULL,
    qty REAL NOT NULL, qty_recd REAL NOT NULL, uom TEXT NOT NULL, supplier TEXT NOT NULL, need_by TEXT NOT NULL,
    promised TEXT NOT NULL, recd_on TEXT, dlv_stat TEXT NOT NULL
);
CREATE TABLE risk (
    risk_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES project(proj_id),
    act_id INTEGER REFERENCES activity(act_id), risk_ref TEXT NOT NULL UNIQUE, title TEXT NOT NULL,
    cat TEXT NOT NULL, likelihood TEXT NOT NULL, severity TEXT NOT NULL, rating INTEGER NOT NULL,
    cost_exp REAL NOT NULL, days_exp REAL NOT NULL, owner TEXT NOT NULL, response TEXT NOT NULL,
    risk_stat TEXT NOT NULL, raised_on TEXT NOT NULL, review_on TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

BANK_HOLIDAYS = {
    "2024-03-29": "Good Friday", "2024-04-01": "Easter Monday", "2024-05-06": "Early May bank holiday",
    "2024-05-27": "Spring bank holiday", "2024-08-26": "Summer bank holiday", "2024-12-25": "Christmas Day",
    "2024-12-26": "Boxing Day", "2025-01-01": "New Year's Day", "2025-04-18": "Good Friday",
    "2025-04-21": "Easter Monday", "2025-05-05": "Early May bank holiday", "2025-05-26": "Spring bank holiday",
    "2025-08-25": "Summer bank holiday", "2025-12-25": "Christmas Day", "2025-12-26": "Boxing Day",
    "2026-01-01": "New Year's Day", "2026-04-03": "Good Friday", "2026-04-06": "Easter Monday",
    "2026-05-04": "Early May bank holiday", "2026-05-25": "Spring bank holiday", "2026-08-31": "Summer bank holiday",
    "2026-12-25": "Christmas Day", "2026-12-28": "Boxing Day (substitute)",
}
CAL_FROM, CAL_TO = dt.date(2024, 3, 1), dt.date(2026, 12, 31)
SHUTDOWN = _span("2024-12-21", "2025-01-01") + _span("2025-12-20", "2026-01-02") + _span("2026-12-19", "2026-12-31")
# no dredging while salmon smolts run down the estuary (marine licence condition)
ENV_WINDOW = _span("2025-03-15", "2025-05-31") + _span("2026-03-15", "2026-05-31")


def spring_tides():
    """Days of the biggest spring tides (new and full moon plus a day and a half), when currents at the
    berth exceed the jack-up barge's working limit."""
    ref = dt.datetime(2024, 1, 11, 11, 57)  # a new moon
    out, k = {}, 0
    while True:
        peak = ref + dt.timedelta(days=k * 14.7653 + 1.5)
        if peak.date() > CAL_TO:
            return out
        if peak.date() >= CAL_FROM:
            for d in (peak.date(), peak.date() + D1):
                out[d] = ("SPR", "Spring tide peak - currents above jack-up barge working limit")
        k += 1


CALENDARS = [
    # id, code, name, work days (0 = Mon), week, hours a day, notes, kind
    (1, "OFC", "Office Mon-Fri 08:30-17:00", {0, 1, 2, 3, 4}, "Mon-Fri", 8.0,
     "Design, consents and project management; bank holidays and the Christmas office closure", "office"),
    (2, "DS5", "Landside day shift Mon-Fri 07:00-17:00", {0, 1, 2, 3, 4}, "Mon-Fri", 10.0,
     "Gate complex works next to the live port road; bank holidays and the Christmas shutdown", "site"),
    (3, "DS6", "Quayside day shift Mon-Sat 07:00-17:00", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 10.0,
     "Quay deck, yard and crane erection works; bank holidays and the Christmas shutdown", "site"),
    (4, "TIDE", "Marine tidal window Mon-Sat (about 9 working hours a day around low water)",
     {0, 1, 2, 3, 4, 5}, "Mon-Sat", 9.0,
     "Jack-up barge, pontoon crane and rock placement; works in the tidal window around low water; no work on "
     "the spring tide peaks, bank holidays or over Christmas", "tide"),
    (5, "DRG24", "Dredging 24/7 (two 12h shifts)", set(range(7)), "Mon-Sun", 24.0,
     "Dredgers work round the clock; stand down on Christmas Day and during the salmon smolt run "
     "(15 March - 31 May)", "dredge"),
    (6, "ELAP", "7-day elapsed", set(range(7)), "Mon-Sun", 24.0,
     "Manufacture, voyages, licences and supplier lead times in calendar days", "elapsed"),
]
SPRINGS = spring_tides()


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.off = {}
        if kind == "elapsed":
            return
        if kind == "dredge":
            for iso_d, name in BANK_HOLIDAYS.items():
                if iso_d[5:] == "12-25":
                    self.off[dt.date.fromisoformat(iso_d)] = ("BH", f"Bank holiday - {name}")
            for d in ENV_WINDOW:
                self.off[d] = ("ENV", "Salmon smolt run - no dredging under the marine licence")
            return
        for iso_d, name in BANK_HOLIDAYS.items():
            self.off[dt.date.fromisoformat(iso_d)] = ("BH", f"Bank holiday - {name}")
        for d in SHUTDOWN:
            self.off.setdefault(d, ("XMAS", "Christmas and New Year shutdown"))
        if kind == "tide":
            for d, v in SPRINGS.items():
                self.off.setdefault(d, v)


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFC, DS5, DS6, TIDE, DRG, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

AUTHORITY = "Kestrelhaven Port Authority"
DIRECTOR = "Marion Ashgrove"
PLANNER = "Tomasz Wilk"
HARBOUR_MASTER = "Capt. Idris Fenner"
DEPUTY_HM = "Capt. Laura Quayle"

PROJECTS = [
    # key, code, name, zone, project manager, contractor, start, margin (working days), budget GBP m,
    # forecast cost factor, re-baseline
    ("BW", "BWR-21", "South Breakwater Armour Repair", "Marine", "Fergus Dallow", "Tarrant Marine Civils",
     dt.date(2024, 3, 4), 15, 7.2, 0.98, None),
    ("QW", "QWB7-22", "Berth 7 Container Quay Wall", "Marine", "Helena Strood", "Corrick Marine Construction",
     dt.date(2024, 7, 1), 0, 68.0, 1.14,
     (dt.date(2025, 5, 12), "BL1 Re-plan after pile refusal in boulder clay (sections S2-S3)")),
    ("CD", "DRG-22", "Approach Channel Capital Dredge", "Marine", "Fergus Dallow", "Van Loon Dredging",
     dt.date(2024, 6, 3), 3, 31.5, 1.06, None),
    ("ST", "STS-23", "Ship-to-Shore Crane Supply and Commissioning", "Equipment", "Ravi Menon",
     "Hanlin Port Machinery", dt.date(2024, 9, 2), 0, 42.0, 1.04,
     (dt.date(2025, 9, 15), "BL1 Re-plan after heavy-lift vessel slot moved")),
    ("YD", "YRD-24", "Container Yard Paving and Drainage", "Landside", "Orla Penhale", "Brackley Surfacing",
     dt.date(2025, 4, 7), 12, 18.4, 1.03, None),
    ("GT", "GTE-24", "North Gate Complex and Terminal IT", "Landside", "Ravi Menon", "Portcall Systems Integration",
     dt.date(2025, 5, 5), 15, 9.6, 1.05, None),
]
PROJ = {p[0]: p for p in PROJECTS}

RESOURCES = [
    # code, name, class, category, company, qty, day rate GBP (per unit), foreman
    ("DES-TM", "Design consultants (marine and civil engineers)", "L", "Design", "Halvergate Consulting", 6, 650.0,
     "Priya Anand"),
    ("JUB-1", "Jack-up barge Sea Heron", "P", "Jack-up barge", "Corrick Marine Construction", 1, 9800.0,
     "Neil Pask"),
    ("CC-250", "Crawler crane 250t (on jack-up barge)", "P", "Crawler crane", "Corrick Marine Construction", 1,
     3400.0, "Neil Pask"),
    ("HAM-1", "Vibro and hydraulic impact hammer spread", "P", "Piling hammer", "Corrick Marine Construction", 1,
     2300.0, "Neil Pask"),
    ("PIL-CRW", "Marine piling crew", "L", "Piling", "Corrick Marine Construction", 8, 410.0, "Neil Pask"),
    ("QCV-CRW", "Quay civils and concrete crew", "L", "Civils", "Corrick Marine Construction", 12, 330.0,
     "Shona Birt"),
    ("CC-100", "Crawler crane 100t (quay deck)", "P", "Crawler crane", "Brookfield Crane Hire", 1, 1900.0,
     "Shona Birt"),
    ("TSHD-1", "Trailing suction hopper dredger Marlin Bay", "P", "Dredger", "Van Loon Dredging", 1, 38000.0,
     "Kees Bakker"),
    ("BHD-1", "Backhoe dredger Grab Hercules", "P", "Dredger", "Van Loon Dredging", 1, 21000.0, "Kees Bakker"),
    ("SRV-1", "Survey launch Tern (multibeam)", "P", "Survey vessel", "Van Loon Dredging", 1, 2600.0,
     "Marit Sol"),
    ("DRG-CRW", "Dredger crews (both shifts)", "L", "Marine crew", "Van Loon Dredging", 14, 450.0, "Kees Bakker"),
    ("CC-150P", "Crawler crane 150t on pontoon", "P", "Crawler crane", "Tarrant Marine Civils", 1, 4200.0,
     "Gethin Lloyd"),
    ("RCK-BRG", "Split hopper rock barge", "P", "Barge", "Tarrant Marine Civils", 1, 5200.0, "Gethin Lloyd"),
    ("BWM-CRW", "Breakwater marine crew", "L", "Marine crew", "Tarrant Marine Civils", 6, 390.0, "Gethin Lloyd"),
    ("STS-ERE", "Crane erection team", "L", "Crane erection", "Hanlin Port Machinery", 10, 520.0, "Chen Wei"),
    ("STS-COM", "Crane commissioning engineers", "L", "Commissioning", "Hanlin Port Machinery", 4, 780.0, "Chen Wei"),
    ("MC-500", "Mobile crane 500t", "P", "Mobile crane", "Brookfield Crane Hire", 1, 6900.0, "Chen Wei"),
    ("DRN-CRW", "Drainage crew", "L", "Drainage", "Brackley Surfacing", 6, 310.0, "Mick Saunders"),
    ("EXC-35", "35t excavators", "P", "Earthmoving", "Brackley Surfacing", 2, 780.0, "Mick Saunders"),
    ("PAV-CRW", "Block paving crew", "L", "Paving", "Brackley Surfacing", 10, 300.0, "Mick Saunders"),
    ("ELE-CRW", "Electrical crew (high masts and reefers)", "L", "Electrical", "Brackley Surfacing", 4, 360.0,
     "Dave Kinnear"),
    ("GTE-CRW", "Gate civils and steel crew", "L", "Civils", "Portcall Systems Integration", 8, 320.0,
     "Rosa Lintott"),
    ("IT-TM", "Terminal IT integration team", "L", "IT", "Portcall Systems Integration", 5, 690.0, "Arjun Das"),
]
KIND_RES = {
    "DES": ["DES-TM"], "PIL": ["JUB-1", "CC-250", "HAM-1", "PIL-CRW"], "QCV": ["QCV-CRW", "CC-100"],
    "FND": ["JUB-1", "PIL-CRW"], "TSHD": ["TSHD-1", "DRG-CRW"], "BHD": ["BHD-1", "DRG-CRW"], "SRV": ["SRV-1"],
    "ARM": ["CC-150P", "RCK-BRG", "BWM-CRW"], "ERE": ["STS-ERE", "MC-500"], "COM": ["STS-COM"],
    "DRN": ["DRN-CRW", "EXC-35"], "PAV": ["PAV-CRW"], "ELE": ["ELE-CRW"], "GTE": ["GTE-CRW"], "IT": ["IT-TM"],
}

# slips (working days added to the duration) and the activities added after the contract baseline
SLIPS = {"BW.arm2": 6, "BW.und3": 3, "QW.pil2": 9, "QW.pil3": 12, "QW.anc2": 4, "CD.drg1": 6, "CD.drg2": 5,
         "CD.bhd2": 8, "CD.drg3": 11, "ST.fab": 35, "ST.hlv": 6, "YD.drB": 6, "YD.pavC": 5, "GT.can": 6,
         "GT.tos": 12}
AFTER_REPLAN = {"QW.pil4": 14, "QW.fnd4": 3, "QW.cap3": 4, "ST.hlv": 12}

BW_SECTIONS = [("BW1", "roundhead"), ("BW2", "trunk chainage 150-300m"), ("BW3", "trunk chainage 300-450m")]
QW_SECTIONS = [("S1", "chainage 0-85m"), ("S2", "chainage 85-170m"), ("S3", "chainage 170-255m"),
               ("S4", "chainage 255-340m")]
YARD_BLOCKS = ["A", "B", "C", "D"]
CRANES = [1, 2, 3]

# ---------------------------------------------------------------------------------------------- plans


class Plan:
    def __init__(self, proj):
        self.proj = proj
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("DES", "ROOT", "Design and consents"),
                    ("PRC", "ROOT", "Procurement and manufacture"), ("CON", "ROOT", "Construction"),
                    ("TST", "ROOT", "Testing, commissioning and handover")]

    def add(self, key, name, dur, wbs, preds=(), cal=OFC, kind=None, ms=None, area=None, new=False, snet=None):
        full = f"{self.proj}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs,
                               preds=[p if "." in p.split(":")[0] else f"{self.proj}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, area=area, new=new, prj=self.proj,
                               slip=SLIPS.get(full, 0), snet=snet))
        return key


def plan_bw(p):
    p.add("ntp", "Notice to proceed - breakwater repair", 0, "DES", ms="S")
    p.add("sur", "Bathymetric and topographic survey of the breakwater", 15, "DES", ["ntp"], kind="DES")
    p.add("des", "Repair design and armour rock grading", 40, "DES", ["sur"], kind="DES")
    p.add("lic", "Marine licence for rock placement", 60, "DES", ["des:SS10"], cal=ELP)
    p.add("rck", "Armour rock quarrying and barge delivery", 90, "PRC", ["des"], cal=ELP)
    for i, (sec, desc) in enumerate(BW_SECTIONS, 1):
        w = f"S{i}"
        p.wbs.append((w, "CON", f"Section {sec} - {desc}"))
        area = f"South Breakwater {sec}"
        p.add(f"rem{i}", f"Remove displaced armour section {sec}", 12, w,
              ["lic"] + ([f"rem{i - 1}"] if i > 1 else []), cal=TIDE, kind="ARM", area=area)
        p.add(f"und{i}", f"Place underlayer rock section {sec}", 15, w,
              [f"rem{i}"] + ([f"und{i - 1}"] if i > 1 else []), cal=TIDE, kind="ARM", area=area)
        p.add(f"arm{i}", f"Place 6-10t armour rock section {sec}", 20, w,
              [f"und{i}", "rck"] + ([f"arm{i - 1}"] if i > 1 else []), cal=TIDE, kind="ARM", area=area)
    p.add("asb", "As-built survey of the breakwater", 4, "TST", ["arm3"], cal=TIDE, kind="SRV",
          area="South Breakwater")
    p.add("ho", "Breakwater repair complete", 0, "TST", ["asb"], cal=OFC, ms="F")


def plan_qw(p):
    p.add("ntp", "Notice to proceed - Berth 7 quay wall", 0, "DES", ms="S")
    p.add("des", "Detailed design of combi-wall, anchors and deck", 70, "DES", ["ntp"], kind="DES")
    p.add("hwc", "Harbour works consent and marine licence variation", 40, "DES", ["des:SS30"])
    p.add("pip", "Tubular king piles and sheet piles manufacture and delivery", 200, "PRC", ["des:SS40"], cal=ELP)
    for i, (sec, desc) in enumerate(QW_SECTIONS, 1):
        w = f"S{i}"
        p.wbs.append((w, "CON", f"Section {sec} - {desc}"))
        area = f"Berth 7 section {sec}"
        preds = ["hwc", "pip"] + ([f"pil{i - 1}"] if i > 1 else []) + (["obs"] if i == 2 else [])
        p.add(f"pil{i}", f"Pitch and drive combi-wall piles section {sec}", 40, w, preds, cal=TIDE, kind="PIL",
              area=area)
        p.add(f"anc{i}", f"Install tie rods and anchor wall section {sec}", 15, w, [f"pil{i}:SS10"], cal=DS6,
              kind="QCV", area=area)
        p.add(f"bkf{i}", f"Backfill and compact behind wall section {sec}", 12, w, [f"anc{i}", f"pil{i}"], cal=DS6,
              kind="QCV", area=area)
        p.add(f"cap{i}", f"Capping beam and crane rail beam section {sec}", 20, w, [f"bkf{i}"], cal=DS6,
              kind="QCV", area=area)
        p.add(f"fnd{i}", f"Fenders, bollards and ladders section {sec}", 8, w, [f"cap{i}:FS14"], cal=TIDE,
              kind="FND", area=area)
        if i == 1:
            p.add("obs", "Pre-bore through boulder clay obstructions (sections S2-S3)", 25, w, ["pil1:SS15"],
                  cal=TIDE, kind="PIL", area="Berth 7 sections S2-S3", new=True)
    p.add("r12", "Crane rails and end stops sections S1-S2", 10, "CON", ["cap1", "cap2"], cal=DS6, kind="QCV",
          area="Berth 7 sections S1-S2")
    p.add("r34", "Crane rails and end stops sections S3-S4", 10, "CON", ["cap3", "cap4", "r12"], cal=DS6,
          kind="QCV", area="Berth 7 sections S3-S4")
    p.add("ltt", "Quay wall load test and berth pocket survey", 3, "TST", ["fnd4", "r34", "CD.drg3"], cal=TIDE,
          kind="SRV", area="Berth 7")
    p.add("ho", "Berth 7 quay wall handed over to the terminal operator", 0, "TST", ["ltt"], cal=OFC, ms="F")


def plan_cd(p):
    p.add("ntp", "Notice to proceed - approach channel dredge", 0, "DES", ms="S")
    p.add("des", "Dredge design, sediment sampling and disposal plan", 50, "DES", ["ntp"], kind="DES")
    p.add("lic", "Marine licence for capital dredging and sea disposal", 90, "DES", ["des:SS20"], cal=ELP)
    p.add("mob", "Mobilise dredging fleet and survey launch", 7, "PRC", ["lic"], cal=DRG, kind="SRV")
    p.wbs.append(("C1", "CON", "Campaign C1 - outer channel"))
    p.wbs.append(("C2", "CON", "Campaign C2 - inner channel and turning circle"))
    p.wbs.append(("C3", "CON", "Campaign C3 - Berth 7 pocket and final trim"))
    p.add("drg1", "Dredge campaign C1 outer channel to -14.5m CD (TSHD)", 45, "C1", ["mob"], cal=DRG,
          kind="TSHD", area="Outer approach channel", snet=dt.date(2024, 11, 4))
    p.add("ps1", "Post-dredge hydrographic survey C1", 3, "C1", ["drg1"], cal=DRG, kind="SRV",
          area="Outer approach channel")
    p.add("drg2", "Dredge campaign C2 inner channel and turning circle (TSHD)", 55, "C2", ["ps1"], cal=DRG,
          kind="TSHD", area="Inner channel and turning circle", snet=dt.date(2025, 6, 2))
    p.add("bhd2", "Backhoe dredging of rock in the turning circle (C2)", 30, "C2", ["drg2:SS10"], cal=DRG,
          kind="BHD", area="Turning circle")
    p.add("ps2", "Post-dredge hydrographic survey C2", 3, "C2", ["drg2", "bhd2"], cal=DRG, kind="SRV",
          area="Inner channel and turning circle")
    p.add("drg3", "Dredge campaign C3 Berth 7 pocket and final trim (TSHD)", 50, "C3", ["ps2", "QW.pil2"], cal=DRG,
          kind="TSHD", area="Berth 7 pocket", snet=dt.date(2025, 9, 1))
    p.add("ps3", "Final hydrographic survey and harbour master acceptance", 4, "TST", ["drg3"], cal=DRG,
          kind="SRV", area="Approach channel")
    p.add("buoy", "Re-lay channel buoys and adjust leading lights", 6, "TST", ["ps3"], cal=TIDE, kind="FND",
          area="Approach channel")
    p.add("ho", "Channel declared at -14.5m CD", 0, "TST", ["buoy"], cal=OFC, ms="F")


def plan_st(p):
    p.add("ntp", "Contract award - STS cranes", 0, "DES", ms="S")
    p.add("tec", "Crane design review and approvals", 60, "DES", ["ntp"], kind="DES")
    p.add("fab", "Manufacture of three STS cranes", 300, "PRC", ["tec:SS20"], cal=ELP)
    p.add("fat", "Factory acceptance tests of the cranes", 15, "PRC", ["fab"], cal=ELP)
    p.add("slt", "Re-book heavy-lift vessel slot", 30, "PRC", ["fat"], cal=ELP, new=True)
    p.add("hlv", "Heavy-lift vessel voyage to Kestrelhaven", 55, "PRC", ["fat", "slt"], cal=ELP)
    prev = None
    for c in CRANES:
        w = f"K{c}"
        p.wbs.append((w, "CON", f"Crane STS-{c}"))
        area = f"Berth 7 crane STS-{c}"
        p.add(f"rof{c}", f"Roll off crane STS-{c} onto the quay", 2, w,
              ["hlv", "QW.r12"] + ([f"rof{prev}"] if prev else []), cal=TIDE, kind="ERE", area=area)
        p.add(f"ere{c}", f"Erect boom, trolley and festoons STS-{c}", 10, w,
              [f"rof{c}"] + ([f"ere{prev}"] if prev else []), cal=DS6, kind="ERE", area=area)
        p.add(f"com{c}", f"Mechanical and electrical commissioning STS-{c}", 15, w,
              [f"ere{c}"] + ([f"com{prev}"] if prev else []), cal=DS6, kind="COM", area=area)
        p.add(f"ldt{c}", f"Load test and certification STS-{c}", 3, w, [f"com{c}"], cal=DS6, kind="COM",
              area=area)
        prev = c
    p.add("tos", "Crane interface with the terminal operating system", 20, "TST", ["com1:SS5"], kind="IT")
    p.add("ho", "STS cranes 1-3 accepted into service", 0, "TST", ["ldt3", "tos"], cal=DS6, ms="F")


def plan_yd(p):
    p.add("ntp", "Notice to proceed - container yard", 0, "DES", ms="S")
    p.add("des", "Yard pavement and drainage design", 45, "DES", ["ntp"], kind="DES")
    p.add("blk", "Concrete paving blocks and kerbs supply", 80, "PRC", ["des"], cal=ELP)
    prev = None
    for b in YARD_BLOCKS:
        w = f"B{b}"
        p.wbs.append((w, "CON", f"Yard block {b}"))
        area = f"Container yard block {b}"
        p.add(f"dr{b}", f"Surface water drainage and oil interceptors block {b}", 20, w,
              ["des"] + ([f"dr{prev}"] if prev else []), cal=DS6, kind="DRN", area=area)
        p.add(f"sb{b}", f"Sub-base and cement-bound base block {b}", 18, w,
              [f"dr{b}"] + ([f"sb{prev}"] if prev else []), cal=DS6, kind="DRN", area=area)
        p.add(f"pav{b}", f"Concrete block paving block {b}", 25, w,
              [f"sb{b}", "blk"] + ([f"pav{prev}"] if prev else []), cal=DS6, kind="PAV", area=area)
        p.add(f"lgt{b}", f"High-mast lighting and reefer points block {b}", 10, w, [f"pav{b}:SS10"], cal=DS6,
              kind="ELE", area=area)
        prev = b
    p.add("mrk", "Yard markings and stack numbering", 8, "TST", ["pavD", "lgtD"], cal=DS6, kind="PAV",
          area="Container yard")
    p.add("ho", "Container yard handed over", 0, "TST", ["mrk"], cal=DS6, ms="F")


def plan_gt(p):
    p.add("ntp", "Notice to proceed - North Gate", 0, "DES", ms="S")
    p.add("des", "Gate complex design and lane layout", 60, "DES", ["ntp"], kind="DES")
    p.add("pln", "Planning consent for gate canopy and gatehouse", 50, "DES", ["des:SS15"])
    p.add("ocs", "OCR portals, barriers and lane equipment supply", 120, "PRC", ["des"], cal=ELP)
    p.wbs.append(("CIV", "CON", "Gate civils and canopy"))
    p.wbs.append(("SYS", "CON", "Gate systems and IT"))
    p.add("civ", "Gate lanes, islands and ducting", 40, "CIV", ["pln"], cal=DS5, kind="GTE", area="North Gate")
    p.add("can", "Steel canopy and gatehouse", 30, "CIV", ["civ:SS20"], cal=DS5, kind="GTE", area="North Gate")
    p.add("ocr", "Install OCR portals and lane equipment", 15, "SYS", ["can", "ocs"], cal=DS5, kind="GTE",
          area="North Gate lanes 1-8")
    p.add("tos", "Terminal operating system gate module configuration and interfaces", 60, "SYS", ["des"],
          kind="IT")
    p.add("sit", "Gate system integration testing", 10, "TST", ["ocr", "tos"], cal=DS5, kind="IT",
          area="North Gate")
    p.add("trl", "Trial operation with hauliers", 10, "TST", ["sit"], cal=DS5, kind="IT", area="North Gate")
    p.add("ho", "North Gate live", 0, "TST", ["trl"], cal=DS5, ms="F")


PLANS = {"BW": plan_bw, "QW": plan_qw, "CD": plan_cd, "ST": plan_st, "YD": plan_yd, "GT": plan_gt}
FINISH = {k: "ho" for k in PLANS}


def make_plan(proj):
    p = Plan(proj[0])
    PLANS[proj[0]](p)
    return p


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its project's target completion."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "prj")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


SITE_LEAD = {"BW": "Gethin Lloyd", "QW": "Neil Pask", "CD": "Kees Bakker", "ST": "Chen Wei", "YD": "Mick Saunders",
             "GT": "Rosa Lintott"}

RISKS = [
    # project, activity key, title, category, likelihood 1-5, severity 1-5, cost GBP, days, owner, response,
    # status (O open, C closed, R realised), raised, next review
    ("BW", "BW.arm2", "Winter swell stops armour placement on the trunk", "Weather", 4, 3, 120000.0, 8,
     "Fergus Dallow", "Work the roundhead in sheltered tides; weather window forecasting", "R", "2024-05-13",
     "2025-02-10"),
    ("BW", "BW.rck", "Quarry cannot supply 6-10t armour grading in time", "Supply chain", 2, 3, 90000.0, 10,
     "Fergus Dallow", "Second quarry approved as back-up", "C", "2024-04-08", "2024-10-14"),
    ("QW", "QW.pil2", "Pile refusal on boulders in the glacial till", "Ground conditions", 4, 5, 1450000.0, 30,
     "Helena Strood", "Pre-boring rig on standby; pile toe redesign allowance", "R", "2024-08-05", "2025-11-03"),
    ("QW", "QW.pil4", "Jack-up barge leg damage on the rock head at S4", "Marine plant", 2, 4, 380000.0, 12,
     "Helena Strood", "Seabed survey under each leg position before jacking", "O", "2025-06-16", "2025-11-03"),
    ("QW", "QW.cap3", "Concrete pours on the capping beam stopped by high tides and storms", "Weather", 3, 2,
     45000.0, 5, "Helena Strood", "Pour only on neap tides; shutters rated for overtopping", "O", "2025-07-07",
     "2025-11-10"),
    ("QW", None, "Unexploded ordnance found during piling or dredging", "Safety", 1, 5, 250000.0, 15,
     HARBOUR_MASTER, "UXO survey and watching brief; exclusion zone procedure", "O", "2024-07-08", "2025-12-01"),
    ("CD", "CD.drg3", "Storm downtime on the TSHD in the autumn campaign", "Weather", 4, 3, 520000.0, 12,
     "Fergus Dallow", "Sheltered inner areas kept for bad-weather days", "R", "2025-08-11", "2025-10-27"),
    ("CD", "CD.bhd2", "Harder rock than expected in the turning circle", "Ground conditions", 3, 4, 610000.0, 9,
     "Fergus Dallow", "Backhoe with heavy-duty rock bucket; extra sampling", "R", "2025-04-22", "2025-09-29"),
    ("CD", None, "Turbidity plume exceeds licence limit near the shellfish beds", "Environmental", 2, 4,
     150000.0, 6, "Fergus Dallow", "Turbidity buoys with real-time alarms; no overflow on the flood tide", "O",
     "2024-10-07", "2025-11-03"),
    ("CD", "CD.ps3", "Harbour master does not accept the final survey (high spots)", "Regulatory", 2, 3, 210000.0,
     7, HARBOUR_MASTER, "Sweep survey with the backhoe on standby", "O", "2025-09-22", "2025-11-17"),
    ("ST", "ST.hlv", "Heavy-lift vessel slot lost again", "Supply chain", 3, 5, 900000.0, 40, "Ravi Menon",
     "Back-up charter option agreed with a second carrier", "O", "2025-03-03", "2025-11-03"),
    ("ST", "ST.fab", "Crane manufacture delayed by steel shortages at the yard", "Supply chain", 4, 4, 750000.0, 35,
     "Ravi Menon", "Resident QA engineer at the yard; weekly progress reports", "R", "2024-11-18", "2025-08-04"),
    ("ST", "ST.com1", "Crane PLC and TOS interface faults during commissioning", "Technical", 3, 3, 120000.0, 8,
     "Ravi Menon", "Interface simulator test before the cranes ship", "O", "2025-06-09", "2025-11-24"),
    ("YD", "YD.drB", "Contaminated made ground in block B drainage runs", "Ground conditions", 3, 3, 180000.0, 6,
     "Orla Penhale", "Waste classification testing ahead of the excavation", "R", "2025-03-24", "2025-09-15"),
    ("YD", "YD.pavD", "Block paving crew diverted to another contract", "Resources", 2, 3, 60000.0, 6,
     "Orla Penhale", "Second crew named in the subcontract", "O", "2025-08-18", "2025-11-10"),
    ("GT", "GT.tos", "TOS vendor late with the gate module release", "Technical", 4, 4, 260000.0, 15, "Ravi Menon",
     "Manual gate fallback process; weekly vendor calls", "R", "2025-04-14", "2025-10-27"),
    ("GT", "GT.trl", "Hauliers not registered for the vehicle booking system", "Operational", 3, 3, 40000.0, 5,
     "Ravi Menon", "Haulier registration campaign from October", "O", "2025-09-08", "2025-11-03"),
    ("GT", None, "Cyber security audit finds weaknesses in the OCR network", "Security", 2, 4, 80000.0, 6,
     "Arjun Das", "Penetration test before go-live", "O", "2025-07-21", "2025-11-17"),
]

NOTICES = [
    # project, number, title, area, restriction (X closed, R restricted, S speed limit, O obstruction / exclusion
    # zone, D depth restriction), from, to, published by, withdrawn
    ("BW", "KH-NTM 07/24", "South Breakwater repairs - pontoon crane and rock barge", "South Breakwater", "O",
     "2024-08-12 00:00", "2025-02-28 23:59", HARBOUR_MASTER, False),
    ("BW", "KH-NTM 09/24", "Breakwater roundhead light temporarily relocated", "South Breakwater roundhead", "O",
     "2024-09-02 00:00", "2024-11-15 23:59", DEPUTY_HM, False),
    ("CD", "KH-NTM 11/24", "Capital dredging outer channel - TSHD Marlin Bay working", "Outer approach channel",
     "R", "2024-11-04 00:00", "2025-01-20 23:59", HARBOUR_MASTER, False),
    ("CD", "KH-NTM 02/25", "Outer channel surveyed depths - interim declared depth", "Outer approach channel", "D",
     "2025-01-22 00:00", "2025-12-31 23:59", HARBOUR_MASTER, False),
    ("CD", "KH-NTM 08/25", "Capital dredging inner channel and turning circle", "Inner channel and turning circle",
     "R", "2025-06-02 00:00", "2025-08-15 23:59", HARBOUR_MASTER, False),
    ("CD", "KH-NTM 09/25", "Backhoe dredger Grab Hercules - 50m exclusion zone", "Turning circle", "O",
     "2025-06-12 00:00", "2025-08-08 23:59", DEPUTY_HM, False),
    ("CD", "KH-NTM 14/25", "Capital dredging Berth 7 pocket - vessels keep clear", "Berth 7 approaches", "R",
     "2025-09-01 00:00", "2025-11-21 23:59", HARBOUR_MASTER, False),
    ("CD", "KH-NTM 15/25", "Speed limit 6 knots past dredging operations", "Inner harbour", "S",
     "2025-09-01 00:00", "2025-11-21 23:59", HARBOUR_MASTER, False),
    ("CD", "KH-NTM 19/25", "Channel buoys relaid - new positions", "Approach channel", "O", "2025-12-01 00:00",
     "2025-12-19 23:59", HARBOUR_MASTER, False),
    ("QW", "KH-NTM 04/25", "Berth 7 piling - jack-up barge Sea Heron on station", "Berth 7", "O",
     "2025-02-03 00:00", "2025-12-19 23:59", HARBOUR_MASTER, False),
    ("QW", "KH-NTM 05/25", "Berths 6 and 7 closed to shipping during piling", "Berths 6-7", "X", "2025-02-03 00:00",
     "2025-12-19 23:59", HARBOUR_MASTER, False),
    ("QW", "KH-NTM 12/25", "Piling noise - marine mammal observers, soft start", "Berth 7", "O",
     "2025-07-01 00:00", "2025-07-31 23:59", DEPUTY_HM, True),
    ("ST", "KH-NTM 20/25", "Heavy-lift vessel arrival - Berth 7 and turning circle closed", "Berth 7 and turning circle",
     "X", "2026-01-12 00:00", "2026-01-16 23:59", HARBOUR_MASTER, False),
    ("YD", "KH-NTM 13/25", "Reefer yard lighting masts - crane lifts near the quay", "Container yard", "O",
     "2025-10-06 07:00", "2025-11-28 18:00", DEPUTY_HM, False),
]

DELIVERIES = [
    # project, activity key, item, quantity, unit, supplier, days late, fraction received
    ("BW", "rck", "Armour rock 6-10t", 42000, "T", "Glenmorran Quarry", 0, 1.0),
    ("BW", "rck", "Underlayer rock 1-3t", 18000, "T", "Glenmorran Quarry", 5, 1.0),
    ("QW", "pip", "Tubular king piles 1620mm dia", 96, "EA", "Teesport Tube Mills", 12, 1.0),
    ("QW", "pip", "Intermediate sheet piles AZ26", 190, "EA", "Teesport Tube Mills", 0, 1.0),
    ("QW", "anc1", "Tie rods 90mm with couplers", 96, "EA", "Anchorline Forgings", 0, 1.0),
    ("QW", "cap1", "Ready-mix concrete C40/50 marine grade", 2400, "M3", "Harbourside Concrete", 0, 1.0),
    ("QW", "fnd1", "Cone fenders and panels", 24, "EA", "Seaguard Fendering", 20, 1.0),
    ("QW", "fnd3", "Bollards 150t", 18, "EA", "Seaguard Fendering", 0, 0.5),
    ("QW", "r12", "Crane rail A120 and clips", 700, "M", "Railtrack Port Supplies", 0, 1.0),
    ("CD", "mob", "Turbidity monitoring buoys", 4, "EA", "Hydrosense Instruments", 0, 1.0),
    ("CD", "buoy", "Lateral marks and lanterns", 12, "EA", "Trinity Marine Aids", 0, 0.0),
    ("ST", "fat", "STS crane spares package", 1, "LOT", "Hanlin Port Machinery", 0, 0.0),
    ("ST", "rof1", "Crane cable reels and festoon cable", 3, "EA", "Hanlin Port Machinery", 0, 0.0),
    ("YD", "blk", "Concrete paving blocks 200mm heavy duty", 96000, "M2", "Brackley Block Works", 0, 1.0),
    ("YD", "drA", "Slot drains and oil interceptors", 1, "LOT", "Aquaflow Drainage", 0, 1.0),
    ("YD", "drC", "Twin-wall drainage pipe 600mm", 1800, "M", "Aquaflow Drainage", 6, 1.0),
    ("YD", "lgtA", "High-mast lighting columns 35m", 12, "EA", "Lumen Masts", 14, 0.75),
    ("GT", "ocs", "OCR portals", 8, "EA", "Visiongate Systems", 21, 1.0),
    ("GT", "ocs", "Lane barriers and intercoms", 16, "EA", "Visiongate Systems", 0, 1.0),
    ("GT", "can", "Canopy structural steel", 140, "T", "Fenwick Steel", 9, 1.0),
]

INSP = {
    # kind: [(check type, point type H hold / W witness / R review, checked_by)]
    "ARM": [("Armour rock grading and placement check", "W", "Priya Anand")],
    "PIL": [("Pile driving record and toe level check", "H", "Priya Anand"),
            ("Dynamic pile test (PDA)", "W", "Geoprobe Testing")],
    "QCV": [("Concrete cube strength test (28 day)", "R", "Harbourside Materials Lab")],
    "SRV": [("Hydrographic survey acceptance", "H", HARBOUR_MASTER)],
    "TSHD": [("Sweep survey of dredged area", "W", DEPUTY_HM)],
    "DRN": [("CCTV survey of drainage runs", "W", "Priya Anand")],
    "PAV": [("Plate bearing test on sub-base and paving", "W", "Harbourside Materials Lab")],
}
FAILS = {"QW.pil2": "Four king piles refused 3m above design toe level - pre-bore and redrive",
         "QW.cap1": "Cube strengths below 50 N/mm2 on one pour - cores taken",
         "CD.drg1": "High spots above -14.5m CD at chainage 2.1km - resweep",
         "YD.drA": "Displaced joint in run A4 - relaid"}


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "calendar", "cal_exception", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    res_ids, res_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO resource VALUES (?,?,?,?,?,?,?,?,?)", (i,) + r)
        res_ids[r[0]], res_row[r[0]] = i, r

    plans, tasks, keys = gather_plans(PROJECTS, make_plan, lambda g: g[6])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['prj']}.{FINISH[t['prj']]}")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(p[0], f"{p[0]}.{FINISH[p[0]]}", p[7], p[10] is not None) for p in PROJECTS],
        dt.date(2031, 1, 1), CALS[OFC])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    for k, extra in AFTER_REPLAN.items():
        cdurs[k] += extra
    sb, fb, lsb, lfb, free = cpm(tasks, keys, cdurs, links, anchors)

    ids = dict(wbs=0, act=0, lnk=0, bl=0, bla=0, asg=0, ret=0, wd=0, qc=0, dlv=0)
    act_ids, astat, proj_ids, states = {}, {}, {}, {}
    for p_idx, pr in enumerate(PROJECTS, 1):
        pk, code, pname, zone, pm, contr, start, _, budget, cost_f, rebase = pr
        proj_ids[pk] = p_idx
        plan = plans[pk]
        akeys = [t["key"] for t in plan.tasks]
        fin = f"{pk}.{FINISH[pk]}"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE

        stage = stage_at(plan.tasks, sb, cdurs, DATA_DATE, done,
                         ("C", "T", "B", "D"),
                         lambda t: t["wbs"] == "TST", lambda t: t["wbs"] != "DES")
        slack = CALS[OFC].wd(fb[fin], anchors[pk])
        rag = "G" if done or slack > 10 else ("A" if slack >= 0 else "R")
        bud = budget * 1e6
        con.execute("INSERT INTO project VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, code, pname, zone, pm, contr, bud, round(bud * cost_f, -4), iso(start), iso(tgt[pk]),
                     iso(fin_shown), iso(fin_shown) if done else None, iso(DATA_DATE), stage, rag))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, f"{code} {pname}"):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO wbs VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], p_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        for n, k in enumerate(akeys, 1):
            t = tasks[k]
            ids["act"] += 1
            act_ids[k] = ids["act"]
            a = activity_at(DATA_DATE, tasks, k, cdurs, (sb, fb, lsb, lfb, free), bl_src, bl_d, CALS, rng)
            st = {"done": "C", "started": "A", "not": "N"}[a.state]
            astat[k], states[k] = st, a.state
            kind = {"task": "T", "start": "S", "finish": "F"}[a.kind]
            con.execute("INSERT INTO activity VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], p_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]], f"{pk}{1000 + n * 10}",
                         t["name"], kind, t["area"], float(cdurs[k]), a.remaining, iso(a.bl_start), iso(a.bl_finish),
                         iso(a.start), iso(a.finish), iso(a.late_start), iso(a.late_finish), iso(a.actual_start),
                         iso(a.actual_finish), a.total_float, a.free_float, "Y" if a.critical else "N", a.pct, st))
        bls = [(0, "BL0 Contract baseline", start + dt.timedelta(days=28), b0, d0)]
        if rebase:
            bls.append((1, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO baseline VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], p_idx, no, bname, iso(bdate), DIRECTOR, "Y" if no == len(bls) - 1 else "N"))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, akeys, bl, bd, CALS):
                ids["bla"] += 1
                con.execute("INSERT INTO baseline_act VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["lnk"] += 1
        con.execute("INSERT INTO activity_link VALUES (?,?,?,?,?)",
                    (ids["lnk"], act_ids[p], act_ids[s], typ, float(lag)))

    # resources on activities
    for k in keys:
        t = tasks[k]
        for rc in KIND_RES.get(t["kind"], []):
            r = res_row[rc]
            cal = CALS[t["cal"]]
            hpd = cal.hrs
            base = t["dur"]
            pln = float(base * hpd * r[5])
            act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng)
            rate = r[6] / hpd
            ids["asg"] += 1
            con.execute("INSERT INTO assignment VALUES (?,?,?,?,?,?,?,?)",
                        (ids["asg"], act_ids[k], res_ids[rc], pln, act, rem_h, round(pln * rate, 2),
                         round(act * rate, 2)))

    # weather downtime on marine work and the daily dredging returns
    causes = [("W", 0.5), ("S", 0.3), ("F", 0.12), ("L", 0.08)]
    logger = {"BW": "Gethin Lloyd", "QW": "Neil Pask", "CD": "Kees Bakker", "ST": "Chen Wei"}
    campaign = {"CD.drg1": "C1", "CD.drg2": "C2", "CD.bhd2": "C2", "CD.drg3": "C3"}
    for k in keys:
        t = tasks[k]
        if t["cal"] not in (TIDE, DRG) or cdurs[k] == 0 or sb[k] > DATA_DATE:
            continue
        pk = t["prj"]
        cal = CALS[t["cal"]]
        days, d = [], sb[k]
        while d < fb[k] and d <= DATA_DATE:
            if cal.work(d):
                days.append(d)
            d += D1
        lost = {d: cal.hrs for d in rng.sample(days, min(t["slip"], len(days)))}
        for d in days:
            if d not in lost and rng.random() < 0.07:
                lost[d] = float(rng.choice([2, 3, 4, 6, 8] if t["cal"] == DRG else [2, 3, 4, 5]))
        for d in sorted(lost):
            cause = rng.choices([c for c, _ in causes], [w for _, w in causes])[0]
            if lost[d] == cal.hrs and cause in ("F", "L"):
                cause = "W"
            wind = round(rng.uniform(30, 48), 0) if cause == "W" else round(rng.uniform(8, 22), 0)
            hs = round(rng.uniform(1.8, 3.4), 1) if cause == "S" else (
                round(rng.uniform(1.2, 2.2), 1) if cause == "W" else round(rng.uniform(0.3, 0.9), 1))
            ids["wd"] += 1
            con.execute("INSERT INTO weather_downtime VALUES (?,?,?,?,?,?,?,?,?)",
                        (ids["wd"], proj_ids[pk], act_ids[k], iso(d), lost[d], cause, wind, hs,
                         logger.get(pk, SITE_LEAD[pk])))
        if k in campaign:
            tshd = t["kind"] == "TSHD"
            rc = "TSHD-1" if tshd else "BHD-1"
            target = -14.5 if k != "CD.drg3" else -15.0
            n = len(days)
            for i, d in enumerate(days):
                down = lost.get(d, 0.0)
                if not tshd and d not in lost and rng.random() < 0.15:
                    down = float(rng.choice([2, 4]))  # bucket and spud changes
                work = 24.0 - down
                rate = rng.uniform(420, 560) if tshd else rng.uniform(85, 130)
                vol = round(rate * work, -1)
                load = 3600 if tshd else 900
                depth = round(-11.0 + (target + 11.0) * min(1.0, (i + 1) / max(1, n - 2)) + rng.uniform(-0.3, 0.3), 1)
                ids["ret"] += 1
                con.execute("INSERT INTO dredge_return VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                            (ids["ret"], proj_ids[pk], act_ids[k], res_ids[rc], iso(d), campaign[k], vol,
                             int(round(vol / load)), work, down,
                             "Offshore disposal site KH-D2" if tshd else "Reclamation cell R2 (rock)",
                             None if work == 0 else max(depth, target - 0.4)))

    # notices to mariners
    now = f"{iso(DATA_DATE)} 12:00"
    for i, (pk, no, title, area, restr, f_dt, t_dt, who, wdn) in enumerate(NOTICES, 1):
        sts = "W" if wdn else ("E" if t_dt < now else ("F" if f_dt <= now else "P"))
        con.execute("INSERT INTO nav_notice VALUES (?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[pk], no, title, area, restr, f_dt, t_dt, who, sts))

    # quality check and test records of completed work
    itp_n = {}

    def record(pk, k, chk, pt, when, attempt, outcome, raised, opn, who, notes):
        itp_n[pk] = itp_n.get(pk, 0) + 1
        ids["qc"] += 1
        con.execute("INSERT INTO quality_check VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (ids["qc"], proj_ids[pk], act_ids[k], f"ITP-{PROJ[pk][1]}-{itp_n[pk]:03d}", chk, pt,
                     iso(when), attempt, outcome, raised, opn, who, notes))

    for k in keys:
        t = tasks[k]
        if t["kind"] not in INSP or astat[k] != "C" or k.endswith(".mob"):
            continue
        if (t["kind"] == "QCV" and ".cap" not in k) or (t["kind"] == "ARM" and ".arm" not in k):
            continue
        pk = t["prj"]
        fin_d = fb[k] - D1
        when = fin_d + dt.timedelta(days=28) if t["kind"] == "QCV" else fin_d + D1
        if when > DATA_DATE:
            continue
        for n_chk, (chk, pt, who) in enumerate(INSP[t["kind"]]):
            attempt = 1
            if k in FAILS and n_chk == 0:
                record(pk, k, chk, pt, when - dt.timedelta(days=9), 1, "F", rng.randint(2, 6), 0, who, FAILS[k])
                attempt = 2
            recent = (DATA_DATE - when).days < 90
            res = rng.choices(["P", "Q"], [0.75, 0.25])[0]
            raised = 0 if res == "P" else rng.randint(1, 5)
            opn = rng.randint(1, raised) if recent and raised else 0
            notes = "No observations" if res == "P" else f"{raised} observations to close out"
            if attempt == 2:
                notes = "Re-check after rectification - " + notes.lower()
            record(pk, k, chk, pt, when, attempt, res, raised, opn, who, notes)

    # supplier deliveries against purchase orders
    po = 7100200
    for pk, tk, item, qty, uom, supp, late, frac in DELIVERIES:
        k = f"{pk}.{tk}"
        need = fb[k] - D1 if tasks[k]["cal"] == ELP else sb[k] - dt.timedelta(days=10)
        req = need - dt.timedelta(days=late)
        prom = req + dt.timedelta(days=rng.choice([-4, -2, 0, 0, 3]) + late)
        arrive = prom + dt.timedelta(days=rng.choice([-1, 0, 0, 2, 4]))
        po += rng.randint(5, 60)
        if arrive <= DATA_DATE and frac > 0:
            sts, got, dq = ("S" if frac < 1 else "D"), arrive, float(round(qty * frac))
        else:
            sts, got, dq = "O", None, 0.0
        ids["dlv"] += 1
        con.execute("INSERT INTO delivery VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (ids["dlv"], proj_ids[pk], act_ids[k], f"KPA-PO-{po}", item, float(qty), dq, uom, supp,
                     iso(req), iso(prom), iso(got), sts))
    ids["dlv"] += 1
    con.execute("INSERT INTO delivery VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                (ids["dlv"], proj_ids["QW"], act_ids["QW.pip"], "KPA-PO-7100150", "Tubular king piles 1620mm dia",
                 40.0, 0.0, "EA", "Baltic Pipe Works", "2025-01-15", "2025-01-15", None, "X"))

    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO risk VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[r[0]], act_ids[r[1]] if r[1] else None, f"R-{PROJ[r[0]][1]}-{n_by[r[0]]:02d}",
                     r[2], r[3], str(r[4]), str(r[5]), r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11],
                     r[12]))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

PROJ_FK = ("Project (project.proj_id)", "INTEGER")
ACT_FK = ("Activity (activity.act_id)", "INTEGER")

TABLE_META = {
    "project": ("Capital projects of the Kestrelhaven harbour expansion programme: zone, project manager, "
                "contractor, budget and estimate at completion, start, target, forecast and actual completion, "
                "data date, stage code and RAG", {
        "proj_id": ("Project id", "INTEGER"),
        "proj_code": ("Project code, e.g. QWB7-22", "TEXT"),
        "proj_name": ("Project name, e.g. Berth 7 Container Quay Wall", "TEXT"),
        "zone": ("Zone of the port: Marine, Landside or Equipment", "TEXT"),
        "pm_name": ("Port authority's project manager", "TEXT"),
        "contractor": ("Main contractor or supplier", "TEXT"),
        "budget": ("Approved budget, GBP", "REAL"),
        "eac": ("Estimate at completion (forecast final cost), GBP", "REAL"),
        "start_dt": ("Project start (notice to proceed)", "DATE"),
        "tgt_fin": ("Target completion approved by the port board; float is measured to it", "DATE"),
        "fcst_fin": ("Forecast completion from the current schedule", "DATE"),
        "act_fin": ("Actual completion; null until complete", "DATE"),
        "data_dt": ("Schedule data date (status date)", "DATE"),
        "stat": ("Project stage code: D (design and consents), B (build), T (testing and commissioning), "
                 "C (complete)", "TEXT"),
        "rag": ("RAG: R (red, forecast after target), A (amber, 10 or fewer working days float), G (green)",
                "TEXT"),
    }),
    "wbs": ("Work breakdown of each project: level 1 the project, level 2 design and consents, procurement "
            "and manufacture, construction, testing/commissioning/handover; level 3 the quay sections, dredging "
            "campaigns, cranes, yard blocks or breakwater sections", {
        "wbs_id": ("WBS node id", "INTEGER"),
        "proj_id": PROJ_FK,
        "parent_id": ("Parent WBS node (wbs.wbs_id); null at level 1", "INTEGER"),
        "wbs_ref": ("WBS code, e.g. QWB7-22.3.2", "TEXT"),
        "wbs_descr": ("WBS node name, e.g. Section S2 - chainage 85-170m, Campaign C3 - Berth 7 pocket", "TEXT"),
        "lvl": ("WBS level 1-3", "INTEGER"),
    }),
    "calendar": ("Work calendars: office, landside and quayside day shifts, marine tidal window, 24/7 dredging, "
                 "7-day elapsed", {
        "cal_id": ("Calendar id", "INTEGER"),
        "cal_ref": ("Calendar code, e.g. TIDE, DRG24, DS6", "TEXT"),
        "cal_descr": ("Calendar name with its hours", "TEXT"),
        "work_days": ("Working days of a normal week", "TEXT"),
        "hrs_day": ("Working hours a day", "REAL"),
        "remarks": ("Notes", "TEXT"),
    }),
    "cal_exception": ("Non-working days of each calendar that would otherwise be working days", {
        "exc_id": ("Exception id", "INTEGER"),
        "cal_id": ("Calendar (calendar.cal_id)", "INTEGER"),
        "off_dt": ("Non-working date", "DATE"),
        "exc_code": ("Exception code: BH (bank holiday), XMAS (Christmas shutdown), SPR (spring tide peak, no "
                     "marine work), ENV (environmental window, no dredging during the salmon smolt run)", "TEXT"),
        "reason": ("Reason", "TEXT"),
    }),
    "activity": ("Schedule activities and milestones of each project at the data date: early (forecast), late, "
                 "actual and current-baseline dates, durations and float in working days of the activity's "
                 "calendar", {
        "act_id": ("Activity id", "INTEGER"),
        "proj_id": PROJ_FK,
        "wbs_id": ("WBS node (wbs.wbs_id)", "INTEGER"),
        "cal_id": ("Calendar (calendar.cal_id)", "INTEGER"),
        "act_ref": ("Activity ID as planners quote it, e.g. QW1060", "TEXT"),
        "descr": ("Activity description", "TEXT"),
        "act_kind": ("Kind: T (task), S (start milestone), F (finish milestone)", "TEXT"),
        "locn": ("Location of the work, e.g. Berth 7 section S3, Container yard block C; null for design, "
                 "consents and manufacture", "TEXT"),
        "orig_dur": ("Original duration, working days", "REAL"),
        "rem_dur": ("Remaining duration, working days", "REAL"),
        "bl_st": ("Start in the current baseline; null for activities added since", "DATE"),
        "bl_fin": ("Finish in the current baseline", "DATE"),
        "early_st": ("Early (forecast) start", "DATE"),
        "early_fin": ("Early (forecast) finish", "DATE"),
        "late_st": ("Late start; null when complete", "DATE"),
        "late_fin": ("Late finish; null when complete", "DATE"),
        "act_st": ("Actual start", "DATE"),
        "act_fin": ("Actual finish", "DATE"),
        "tot_float": ("Total float, working days; null when complete", "REAL"),
        "free_float": ("Free float, working days; null when complete", "REAL"),
        "crit": ("Critical: Y / N", "TEXT"),
        "pct": ("Percent complete", "REAL"),
        "status": ("Activity status: N (not started), A (active, in progress), C (complete)", "TEXT"),
    }),
    "activity_link": ("Logic links between activities with relationship type and lag", {
        "link_id": ("Link id", "INTEGER"),
        "pred_id": ("Predecessor activity (activity.act_id)", "INTEGER"),
        "succ_id": ("Successor activity (activity.act_id)", "INTEGER"),
        "rel_type": ("Relationship type: FS (finish to start), SS (start to start), FF (finish to finish)", "TEXT"),
        "lag_days": ("Lag, calendar days", "REAL"),
    }),
    "baseline": ("Baselines of each project; is_current marks the one reported against", {
        "bl_id": ("Baseline id", "INTEGER"),
        "proj_id": PROJ_FK,
        "bl_no": ("Baseline number within the project (0 = contract baseline)", "INTEGER"),
        "bl_title": ("Baseline title", "TEXT"),
        "set_on": ("Date the baseline was set", "DATE"),
        "approved_by": ("Approver (the programme director)", "TEXT"),
        "is_current": ("Y for the current baseline, else N", "TEXT"),
    }),
    "baseline_act": ("Activity dates, durations and float as stored in each baseline", {
        "bla_id": ("Id", "INTEGER"),
        "bl_id": ("Baseline (baseline.bl_id)", "INTEGER"),
        "act_id": ACT_FK,
        "bl_st": ("Baseline start", "DATE"),
        "bl_fin": ("Baseline finish", "DATE"),
        "bl_dur": ("Baseline duration, working days", "REAL"),
        "bl_float": ("Baseline total float, working days", "REAL"),
    }),
    "resource": ("Resources: marine plant (jack-up barge, dredgers, survey launch, cranes, barges) and crews, with "
                 "quantity and day rate", {
        "res_id": ("Resource id", "INTEGER"),
        "res_code": ("Resource code, e.g. JUB-1, TSHD-1", "TEXT"),
        "res_name": ("Resource name", "TEXT"),
        "res_class": ("Resource class: P (plant and vessels), L (labour crew)", "TEXT"),
        "category": ("Category, e.g. Dredger, Jack-up barge, Crawler crane, Piling, Marine crew", "TEXT"),
        "owner_co": ("Company that provides it", "TEXT"),
        "qty": ("Headcount of a crew, or number of machines", "INTEGER"),
        "day_rate": ("Rate per unit per working day, GBP", "REAL"),
        "foreman": ("Foreman, master or supervisor", "TEXT"),
    }),
    "assignment": ("Resource assignments to activities with planned, actual and remaining hours and cost", {
        "asg_id": ("Assignment id", "INTEGER"),
        "act_id": ACT_FK,
        "res_id": ("Resource (resource.res_id)", "INTEGER"),
        "plan_hrs": ("Planned hours", "REAL"),
        "act_hrs": ("Actual hours to the data date", "REAL"),
        "rem_hrs": ("Remaining hours", "REAL"),
        "plan_cost": ("Planned cost, GBP", "REAL"),
        "act_cost": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "dredge_return": ("Daily dredging returns of each dredger on each campaign day: volume dredged (in situ), "
                      "loads, hours dredging and down, disposal site and depth reached", {
        "ret_id": ("Return id", "INTEGER"),
        "proj_id": PROJ_FK,
        "act_id": ("Dredging activity (activity.act_id)", "INTEGER"),
        "res_id": ("Dredger (resource.res_id)", "INTEGER"),
        "ret_dt": ("Date of the return (24 hours from 00:00)", "DATE"),
        "campaign": ("Dredging campaign: C1, C2, C3", "TEXT"),
        "vol_m3": ("Volume dredged that day, cubic metres in situ", "REAL"),
        "loads": ("Hopper or barge loads taken to the disposal site", "INTEGER"),
        "dredge_hrs": ("Hours dredging", "REAL"),
        "down_hrs": ("Hours down (weather, breakdown, bucket changes)", "REAL"),
        "disposal": ("Disposal site", "TEXT"),
        "depth_cd": ("Typical depth reached, metres below chart datum (negative); null when no dredging", "REAL"),
    }),
    "weather_downtime": ("Weather downtime logged on marine and dredging activities: hours lost a day, cause, wind "
                         "and wave height", {
        "wd_id": ("Downtime id", "INTEGER"),
        "proj_id": PROJ_FK,
        "act_id": ("Activity that lost time (activity.act_id)", "INTEGER"),
        "lost_on": ("Date", "DATE"),
        "hrs_lost": ("Working hours lost that day", "REAL"),
        "cause": ("Cause: W (wind above limit), S (swell / waves), F (fog, restricted visibility), L (lightning)",
                  "TEXT"),
        "wind_kn": ("Mean wind speed, knots", "REAL"),
        "hs_m": ("Significant wave height, metres", "REAL"),
        "logged_by": ("Who logged it", "TEXT"),
    }),
    "nav_notice": ("Local notices to mariners published by the harbour master for the works: closures, restricted "
                   "areas, speed limits, obstructions and depth restrictions", {
        "nn_id": ("Notice id", "INTEGER"),
        "proj_id": PROJ_FK,
        "ntm_no": ("Notice to mariners number, e.g. KH-NTM 14/25", "TEXT"),
        "title": ("Title", "TEXT"),
        "area": ("Area of the harbour affected", "TEXT"),
        "restr": ("Restriction: X (closed to shipping), R (restricted navigation), S (speed limit), O (obstruction "
                  "or exclusion zone), D (depth restriction)", "TEXT"),
        "eff_from": ("In force from, YYYY-MM-DD HH:MM", "DATETIME"),
        "eff_to": ("In force until, YYYY-MM-DD HH:MM", "DATETIME"),
        "published_by": ("Harbour master or deputy who published it", "TEXT"),
        "nn_stat": ("Status at the data date: P (planned), F (in force), E (expired), W (withdrawn)", "TEXT"),
    }),
    "quality_check": ("Quality check and test records of finished work under the contract's ITP: armour rock checks, pile driving "
                   "records and dynamic pile tests, concrete cubes, hydrographic and sweep surveys, drainage CCTV, "
                   "plate bearing tests; a failed check is repeated with the next attempt number", {
        "qc_id": ("Quality check id", "INTEGER"),
        "proj_id": PROJ_FK,
        "act_id": ("Activity whose work was checked (activity.act_id)", "INTEGER"),
        "itp_ref": ("ITP record reference, e.g. ITP-QWB7-22-004", "TEXT"),
        "chk_type": ("Kind of check or test", "TEXT"),
        "pt_type": ("ITP point: H (hold point), W (witness point), R (record review)", "TEXT"),
        "chk_dt": ("Date of the check or test", "DATE"),
        "attempt": ("Attempt number (1 = first, 2 = re-check)", "INTEGER"),
        "outcome": ("Outcome: P (pass), F (fail), Q (qualified pass with observations)", "TEXT"),
        "ncr_raised": ("Non-conformances or observations raised", "INTEGER"),
        "ncr_open": ("Non-conformances still open at the data date", "INTEGER"),
        "checked_by": ("Person or testing organisation that carried out the check", "TEXT"),
        "notes": ("Notes", "TEXT"),
    }),
    "delivery": ("Supplier deliveries against purchase orders: rock, piles, tie rods, concrete, fenders, "
                 "bollards, crane rail, buoys, crane spares, paving blocks, drainage, masts, OCR portals, steel", {
        "dlv_id": ("Delivery id", "INTEGER"),
        "proj_id": PROJ_FK,
        "act_id": ("Activity that needs it (activity.act_id)", "INTEGER"),
        "po_ref": ("Purchase order number", "TEXT"),
        "item": ("Item", "TEXT"),
        "qty": ("Quantity ordered", "REAL"),
        "qty_recd": ("Quantity received so far", "REAL"),
        "uom": ("Unit: EA, T (tonnes), M, M2, M3, LOT", "TEXT"),
        "supplier": ("Supplier", "TEXT"),
        "need_by": ("Date needed on site", "DATE"),
        "promised": ("Date promised by the supplier", "DATE"),
        "recd_on": ("Date received; null until received", "DATE"),
        "dlv_stat": ("Delivery status: O (on order), D (delivered in full), S (short-delivered, balance to follow), X (cancelled)",
                     "TEXT"),
    }),
    "risk": ("Risk register of the programme", {
        "risk_id": ("Risk id", "INTEGER"),
        "proj_id": PROJ_FK,
        "act_id": ("Activity the risk affects (activity.act_id); may be null", "INTEGER"),
        "risk_ref": ("Risk reference, e.g. R-DRG-22-03", "TEXT"),
        "title": ("Risk title", "TEXT"),
        "cat": ("Category, e.g. Weather, Ground conditions, Supply chain, Marine plant, Regulatory", "TEXT"),
        "likelihood": ("Likelihood '1'..'5' (text)", "TEXT"),
        "severity": ("Severity '1'..'5' (text; 5 = most severe)", "TEXT"),
        "rating": ("Likelihood x severity, 1-25", "INTEGER"),
        "cost_exp": ("Cost exposure, GBP", "REAL"),
        "days_exp": ("Schedule exposure, days", "REAL"),
        "owner": ("Risk owner", "TEXT"),
        "response": ("Response / mitigation", "TEXT"),
        "risk_stat": ("Status: O (open), C (closed), R (realised - the risk happened)", "TEXT"),
        "raised_on": ("Date raised", "DATE"),
        "review_on": ("Next review date", "DATE"),
    }),
}

RELATIONSHIPS = [
    ("wbs", "project", "wbs.proj_id = project.proj_id", "WBS of a project"),
    ("wbs", "wbs", "wbs.parent_id = wbs.wbs_id", "Parent WBS node"),
    ("cal_exception", "calendar", "cal_exception.cal_id = calendar.cal_id", "Non-working days of a calendar"),
    ("activity", "project", "activity.proj_id = project.proj_id", "Activities of a project"),
    ("activity", "wbs", "activity.wbs_id = wbs.wbs_id", "WBS node of an activity"),
    ("activity", "calendar", "activity.cal_id = calendar.cal_id", "Calendar of an activity"),
    ("activity_link", "activity", "activity_link.pred_id = activity.act_id", "Predecessor of a link"),
    ("activity_link", "activity", "activity_link.succ_id = activity.act_id", "Successor of a link"),
    ("baseline", "project", "baseline.proj_id = project.proj_id", "Baselines of a project"),
    ("baseline_act", "baseline", "baseline_act.bl_id = baseline.bl_id", "Rows of a baseline"),
    ("baseline_act", "activity", "baseline_act.act_id = activity.act_id", "Activity a baseline row stores"),
    ("assignment", "resource", "assignment.res_id = resource.res_id", "Resource of an assignment"),
    ("assignment", "activity", "assignment.act_id = activity.act_id", "Activity a resource is assigned to"),
    ("dredge_return", "project", "dredge_return.proj_id = project.proj_id", "Dredging returns of a project"),
    ("dredge_return", "activity", "dredge_return.act_id = activity.act_id", "Dredging activity of a return"),
    ("dredge_return", "resource", "dredge_return.res_id = resource.res_id", "Dredger of a return"),
    ("weather_downtime", "project", "weather_downtime.proj_id = project.proj_id", "Downtime of a project"),
    ("weather_downtime", "activity", "weather_downtime.act_id = activity.act_id", "Activity that lost time"),
    ("nav_notice", "project", "nav_notice.proj_id = project.proj_id", "Notices to mariners for a project"),
    ("quality_check", "project", "quality_check.proj_id = project.proj_id", "Quality checks of a project"),
    ("quality_check", "activity", "quality_check.act_id = activity.act_id", "Activity whose work was checked"),
    ("delivery", "project", "delivery.proj_id = project.proj_id", "Deliveries of a project"),
    ("delivery", "activity", "delivery.act_id = activity.act_id", "Activity a delivery is for"),
    ("risk", "project", "risk.proj_id = project.proj_id", "Risks of a project"),
    ("risk", "activity", "risk.act_id = activity.act_id", "Activity a risk affects"),
]

BUSINESS_RULES = {
    ("activity", "status"): ["Allowed Values: N (not started), A (active / in progress), C (complete)"],
    ("activity", "act_kind"): ["Allowed Values: T (task), S (start milestone), F (finish milestone); milestones "
                               "have orig_dur = 0"],
    ("activity", "crit"): ["Allowed Values: Y, N", "Critical: crit = 'Y' when tot_float <= 0; complete "
                           "activities are 'N'"],
    ("activity", "tot_float"): ["Negative float: forecast finish after the project's target completion"],
    ("activity", "bl_fin"): ["Slipped: early_fin > bl_fin"],
    ("activity_link", "rel_type"): ["Allowed Values: FS, SS, FF"],
    ("baseline", "is_current"): ["Allowed Values: Y, N; one current baseline per project"],
    ("cal_exception", "exc_code"): ["Allowed Values: BH (bank holiday), XMAS (Christmas shutdown), SPR (spring "
                                    "tide peak), ENV (environmental dredging window)"],
    ("project", "stat"): ["Allowed Values: D (design and consents), B (build), T (testing and commissioning), "
                          "C (complete)"],
    ("project", "rag"): ["Allowed Values: R (red - forecast after target), A (amber - 10 or fewer working days "
                         "float), G (green)"],
    ("project", "zone"): ["Allowed Values: Marine, Landside, Equipment"],
    ("resource", "res_class"): ["Allowed Values: P (plant and vessels), L (labour crew)"],
    ("weather_downtime", "cause"): ["Allowed Values: W (wind), S (swell / waves), F (fog), L (lightning)"],
    ("nav_notice", "restr"): ["Allowed Values: X (closed), R (restricted), S (speed limit), O (obstruction / "
                              "exclusion zone), D (depth restriction)"],
    ("nav_notice", "nn_stat"): ["Allowed Values: P (planned), F (in force), E (expired), W (withdrawn)"],
    ("quality_check", "outcome"): ["Allowed Values: P (pass), F (fail), Q (qualified pass)"],
    ("quality_check", "pt_type"): ["Allowed Values: H (hold point), W (witness point), R (record review)"],
    ("delivery", "dlv_stat"): ["Allowed Values: O (on order), D (delivered), S (short-delivered, balance to follow), X (cancelled)",
                               "Late: recd_on > need_by"],
    ("risk", "risk_stat"): ["Allowed Values: O (open), C (closed), R (realised)"],
    ("risk", "severity"): ["Allowed Values: '1'..'5' stored as text"],
    ("risk", "rating"): ["High risk: rating >= 12"],
}

CONCEPTS = {
    ("activity", "tot_float"): ["total_float", "critical_path"],
    ("activity", "free_float"): ["free_float"],
    ("activity", "crit"): ["critical_path"],
    ("activity", "pct"): ["percent_complete"],
    ("activity", "bl_fin"): ["baseline_variance"],
    ("baseline_act", "bl_fin"): ["baseline_variance"],
    ("activity_link", "lag_days"): ["lag"],
    ("project", "eac"): ["cost_variance"],
    ("project", "tgt_fin"): ["target_completion"],
    ("risk", "rating"): ["risk_exposure"],
    ("dredge_return", "vol_m3"): ["dredged_volume"],
    ("weather_downtime", "hrs_lost"): ["weather_downtime"],
    ("nav_notice", "ntm_no"): ["notice_to_mariners"],
    ("quality_check", "ncr_open"): ["open_ncr"],
    ("cal_exception", "off_dt"): ["tidal_window"],
    ("assignment", "act_cost"): ["resource_cost"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before the project misses its target completion",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a project's completion",
    "percent_complete": "Progress of an activity",
    "lag": "Waiting time on a link in calendar days, e.g. concrete curing before fenders go on",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Estimate at completion against budget",
    "target_completion": "Completion date approved by the port board",
    "risk_exposure": "Likelihood x severity rating of a risk",
    "dredged_volume": "Cubic metres dredged in situ, reported daily by each dredger",
    "weather_downtime": "Working hours lost to wind, swell, fog or lightning",
    "notice_to_mariners": "Harbour master's notice of closures, restrictions and obstructions in the harbour",
    "open_ncr": "Non-conformance reports not yet closed",
    "tidal_window": "Marine work around low water; no work on the spring tide peaks",
    "resource_cost": "Cost of plant and crews booked to activities",
}

QUERY_EXAMPLES = [
    ("SELECT proj_code, proj_name, tgt_fin, fcst_fin, rag FROM project ORDER BY tgt_fin;",
     "Projects with target and forecast completion", "simple"),
    ("SELECT a.act_ref, a.descr, a.early_st, a.tot_float FROM activity a JOIN project p ON p.proj_id = a.proj_id "
     "WHERE p.proj_code = 'QWB7-22' AND a.crit = 'Y' ORDER BY a.early_st;", "Critical activities of a project",
     "medium"),
    ("SELECT campaign, SUM(vol_m3) AS m3 FROM dredge_return GROUP BY campaign ORDER BY campaign;",
     "Volume dredged by campaign", "simple"),
    ("SELECT a.act_ref, a.descr, b.bl_fin, a.early_fin FROM activity a JOIN baseline_act b ON b.act_id = a.act_id "
     "JOIN baseline l ON l.bl_id = b.bl_id WHERE l.is_current = 'Y' AND a.early_fin > b.bl_fin;",
     "Activities forecast to finish after the current baseline", "complex"),
    ("SELECT ntm_no, title, eff_from, eff_to FROM nav_notice WHERE nn_stat = 'F';", "Notices to mariners in force",
     "simple"),
    ("SELECT itp_ref, chk_type, chk_dt, ncr_open FROM quality_check WHERE ncr_open > 0;",
     "Quality checks with open non-conformances", "simple"),
    ("SELECT po_ref, item, need_by, recd_on FROM delivery WHERE recd_on > need_by;",
     "Deliveries received after the date needed", "simple"),
    ("SELECT p.proj_name, SUM(w.hrs_lost) AS hrs FROM weather_downtime w JOIN project p ON p.proj_id = w.proj_id "
     "GROUP BY p.proj_name;", "Weather downtime hours by project", "medium"),
]

KEYWORDS = {
    "float": ["activity.tot_float", "activity.free_float", "total_float"],
    "critical": ["activity.crit", "critical_path"],
    "predecessor": ["activity_link.pred_id", "activity_link"],
    "successor": ["activity_link.succ_id", "activity_link"],
    "baseline": ["baseline", "baseline_act", "baseline_variance"],
    "project": ["project"],
    "dredging": ["dredge_return", "dredged_volume"],
    "returns": ["dredge_return"],
    "campaign": ["dredge_return.campaign", "wbs.wbs_descr"],
    "downtime": ["weather_downtime", "dredge_return.down_hrs"],
    "weather": ["weather_downtime"],
    "notice to mariners": ["nav_notice", "notice_to_mariners"],
    "NTM": ["nav_notice.ntm_no"],
    "ITP": ["quality_check"],
    "NCR": ["quality_check.ncr_open", "open_ncr"],
    "test": ["quality_check"],
    "PO": ["delivery.po_ref"],
    "delivery": ["delivery"],
    "risk": ["risk"],
    "plant": ["resource.res_class"],
    "dredger": ["resource.category", "dredge_return.res_id"],
    "jack-up": ["resource.category"],
    "crew": ["resource", "assignment"],
    "spring tide": ["cal_exception.exc_code", "tidal_window"],
    "quay": ["project", "activity.locn"],
    "STS": ["project"],
}

TERMINOLOGY = {
    "CD": "Chart datum; depths below it are negative",
    "TSHD": "Trailing suction hopper dredger",
    "BHD": "Backhoe dredger",
    "STS crane": "Ship-to-shore container gantry crane",
    "combi-wall": "Quay wall of tubular king piles with sheet piles between them",
    "jack-up barge": "Barge that stands on legs on the seabed to work as a stable piling platform",
    "NTM": "Notice to mariners",
    "ITP": "The contract's plan of quality checks and tests, with hold and witness points",
    "NCR": "Non-conformance report",
    "PDA": "Pile driving analyser (dynamic pile test)",
    "TOS": "Terminal operating system",
    "OCR": "Optical character recognition portal reading container and truck numbers at the gate",
    "Hs": "Significant wave height",
    "TF": "Total float",
    "FF": "Free float",
    "EAC": "Estimate at completion",
    "data date": "Date up to which progress is recorded (2025-10-24)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
}

RELATED_TERMS = {
    "project": "project, scheme, job, contract",
    "activity": "activity, task, programme line",
    "wbs": "WBS, section, campaign, block, crane",
    "resource": "resource, plant, vessel, dredger, barge, crane, crew, gang",
    "assignment": "assignment, hours, plant cost, labour cost",
    "dredge_return": "dredging returns, daily report, production, volume, loads",
    "weather_downtime": "weather downtime, weather days, standby, lost time",
    "nav_notice": "notice to mariners, NTM, navigation restriction, closure",
    "quality_check": "quality check, test, ITP, hold point, witness point, NCR, survey acceptance",
    "delivery": "delivery, materials, purchase order, PO",
    "risk": "risk, risk register",
    "activity_link": "link, relationship, dependency, logic",
    "calendar": "calendar, shift, tidal window",
    "cal_exception": "holiday, non-working day, spring tide, shutdown",
    "baseline": "baseline, re-baseline",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout22"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="activity")


if __name__ == "__main__":
    sys.exit(main())
