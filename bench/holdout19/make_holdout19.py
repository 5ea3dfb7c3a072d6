#!/usr/bin/env python3
"""Build the nineteenth schedule database (a regional airport's terminal and airfield works programme,
module-prefixed lower snake case tables) and its metadata.

Aldermoor Airport Ltd runs six capital projects at Aldermoor Regional Airport: the replacement of the
runway 09/27 airfield ground lighting (AGL), a baggage hall upgrade with new Standard 3 hold-baggage
screening (HBS) machines, the departure lounge extension, the Car Park 3 decked structure, the apron
stands 14-18 expansion and the rehabilitation of Taxiway Bravo in night possessions. Each project has
its WBS, activities on day, night-possession, 7-day and elapsed calendars, logic with lags, baselines,
contractors' crews and plant with assignments, airside permits and possession bookings, NOTAM-style
operational restrictions, risks, change requests, test and commissioning records and material
deliveries. The baggage hall was re-baselined after the EDS machines' software had to be re-certified;
the car park after the piling rig hit the old fuel farm bases.

Named the way an airport operator's planning database names things: tables carry a module prefix
(prj_, sch_, res_, ops_, rsk_, chg_, tst_, scm_) and columns are lower snake case with common
abbreviations (act_code, es_date, tf_days, crit_flag, pct_cmp, lag_d). Keys are <name>_id. Activity,
permit, change, test and delivery statuses, link types, RAG and calendar exception types are codes;
project status, activity type, restriction status and risk status are words.

Durations, remaining durations and float are in WORKING DAYS (for the night calendar, possession
nights) of the activity's calendar; lags are calendar days. Each project is scheduled by one forward and
backward pass against its target completion date. Data date 2025-11-21.

Outputs go to bench/out/holdout19/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 191919
DATA_DATE = dt.date(2025, 11, 21)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import WorkDays, activity_at, anchored_baselines, assignment_hours, baseline_activities, check_with_history, default_out, forward_backward, gather_plans, describe_tables, main as build_main, metadata_document, day_span as _span, insert_calendars, iso, logic_links, parse_pred, shown_dates, stage_at, wbs_rows  # noqa: E402
DB_NAME = "holdout19_schedule.db"
META_NAME = "holdout19_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE prj_project (
    proj_id INTEGER PRIMARY KEY, proj_code TEXT NOT NULL UNIQUE, proj_name TEXT NOT NULL, proj_area TEXT NOT NULL,
    proj_mgr TEXT NOT NULL, main_contr TEXT NOT NULL, budget_amt REAL NOT NULL, eac_amt REAL NOT NULL,
    start_date TEXT NOT NULL, tgt_fin_date TEXT NOT NULL, fcst_fin_date TEXT NOT NULL, act_fin_date TEXT,
    data_date TEXT NOT NULL, proj_status TEXT NOT NULL, rag TEXT NOT NULL
);
CREATE TABLE prj_wbs (
    wbs_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES prj_project(proj_id),
    parent_wbs_id INTEGER REFERENCES prj_wbs(wbs_id), wbs_code TEXT NOT NULL, wbs_name TEXT NOT NULL,
    wbs_lvl INTEGER NOT NULL
);
CREATE TABLE sch_calendar (
    cal_id INTEGER PRIMARY KEY, cal_code TEXT NOT NULL UNIQUE, cal_name TEXT NOT NULL, work_week TEXT NOT NULL,
    hrs_per_day REAL NOT NULL, notes TEXT
);
CREATE TABLE sch_cal_exception (
    cal_exc_id INTEGER PRIMARY KEY, cal_id INTEGER NOT NULL REFERENCES sch_calendar(cal_id),
    exc_date TEXT NOT NULL, exc_type TEXT NOT NULL, exc_reason TEXT NOT NULL
);
CREATE TABLE sch_activity (
    act_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES prj_project(proj_id),
    wbs_id INTEGER NOT NULL REFERENCES prj_wbs(wbs_id), cal_id INTEGER NOT NULL REFERENCES sch_calendar(cal_id),
    act_code TEXT NOT NULL UNIQUE, act_name TEXT NOT NULL, act_type TEXT NOT NULL, work_area TEXT,
    orig_dur REAL NOT NULL, rem_dur REAL NOT NULL, bl_start TEXT, bl_finish TEXT, es_date TEXT NOT NULL,
    ef_date TEXT NOT NULL, ls_date TEXT, lf_date TEXT, as_date TEXT, af_date TEXT, tf_days REAL, ff_days REAL,
    crit_flag INTEGER NOT NULL, pct_cmp REAL NOT NULL, act_status TEXT NOT NULL
);
CREATE TABLE sch_link (
    link_id INTEGER PRIMARY KEY, pred_act_id INTEGER NOT NULL REFERENCES sch_activity(act_id),
    succ_act_id INTEGER NOT NULL REFERENCES sch_activity(act_id), link_typ TEXT NOT NULL, lag_d REAL NOT NULL
);
CREATE TABLE sch_baseline (
    bl_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES prj_project(proj_id), bl_num INTEGER NOT NULL,
    bl_name TEXT NOT NULL, set_date TEXT NOT NULL, appr_by TEXT NOT NULL, curr_flag INTEGER NOT NULL
);
CREATE TABLE sch_baseline_act (
    bl_act_id INTEGER PRIMARY KEY, bl_id INTEGER NOT NULL REFERENCES sch_baseline(bl_id),
    act_id INTEGER NOT NULL REFERENCES sch_activity(act_id), bl_start TEXT NOT NULL, bl_finish TEXT NOT NULL,
    bl_dur REAL NOT NULL, bl_tf_days REAL
);
CREATE TABLE res_resource (
    rsrc_id INTEGER PRIMARY KEY, rsrc_code TEXT NOT NULL UNIQUE, rsrc_name TEXT NOT NULL, rsrc_typ TEXT NOT NULL,
    trade TEXT NOT NULL, company TEXT NOT NULL, units INTEGER NOT NULL, day_rate REAL NOT NULL,
    supervisor TEXT NOT NULL
);
CREATE TABLE res_assignment (
    assn_id INTEGER PRIMARY KEY, act_id INTEGER NOT NULL REFERENCES sch_activity(act_id),
    rsrc_id INTEGER NOT NULL REFERENCES res_resource(rsrc_id), plan_hrs REAL NOT NULL, act_hrs REAL NOT NULL,
    rem_hrs REAL NOT NULL, plan_cost REAL NOT NULL, act_cost REAL NOT NULL
);
CREATE TABLE ops_permit (
    permit_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES prj_project(proj_id),
    act_id INTEGER NOT NULL REFERENCES sch_activity(act_id), permit_no TEXT NOT NULL UNIQUE,
    permit_typ TEXT NOT NULL, work_area TEXT NOT NULL, start_dt TEXT NOT NULL, end_dt TEXT NOT NULL,
    permit_status TEXT NOT NULL, req_by TEXT NOT NULL, appr_by TEXT, handback_late_min INTEGER, remarks TEXT
);
CREATE TABLE ops_restriction (
    restr_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES prj_project(proj_id),
    restr_ref TEXT NOT NULL UNIQUE, restr_typ TEXT NOT NULL, area TEXT NOT NULL, eff_from TEXT NOT NULL,
    eff_to TEXT NOT NULL, restr_text TEXT NOT NULL, issued_by TEXT NOT NULL, restr_status TEXT NOT NULL
);
CREATE TABLE rsk_risk (
    risk_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES prj_project(proj_id),
    act_id INTEGER REFERENCES sch_activity(act_id), risk_ref TEXT NOT NULL UNIQUE, risk_title TEXT NOT NULL,
    risk_cat TEXT NOT NULL, prob INTEGER NOT NULL, impact INTEGER NOT NULL, score INTEGER NOT NULL,
    cost_exp REAL NOT NULL, sched_exp_d REAL NOT NULL, owner TEXT NOT NULL, mitigation TEXT NOT NULL,
    risk_status TEXT NOT NULL, raised_date TEXT NOT NULL, review_date TEXT NOT NULL
);
CREATE TABLE chg_request (
    cr_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES prj_project(proj_id), cr_ref TEXT NOT NULL UNIQUE,
    cr_title TEXT NOT NULL, cr_typ TEXT NOT NULL, raised_by TEXT NOT NULL, cost_impact REAL NOT NULL,
    time_impact_d REAL NOT NULL, cr_status TEXT NOT NULL, raised_date TEXT NOT NULL, decision_date TEXT
);
CREATE TABLE tst_test_record (
    test_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES prj_project(proj_id),
    act_id INTEGER NOT NULL REFERENCES sch_activity(act_id), test_ref TEXT NOT NULL UNIQUE, test_typ TEXT NOT NULL,
    sys_code TEXT NOT NULL, tested_by TEXT NOT NULL, witness TEXT NOT NULL, test_date TEXT NOT NULL,
    attempt_no INTEGER NOT NULL, result TEXT NOT NULL, defects_raised INTEGER NOT NULL, defects_open INTEGER NOT NULL,
    remarks TEXT NOT NULL
);
CREATE TABLE scm_delivery (
    dlv_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES prj_project(proj_id),
    act_id INTEGER NOT NULL REFERENCES sch_activity(act_id), po_num TEXT NOT NULL, item_code TEXT NOT NULL,
    item_desc TEXT NOT NULL, qty_ord REAL NOT NULL, qty_rcvd REAL NOT NULL, uom TEXT NOT NULL, supplier TEXT NOT NULL,
    req_date TEXT NOT NULL, prom_date TEXT NOT NULL, rcvd_date TEXT, dlv_status TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

BANK_HOLIDAYS = {
    "2023-08-28": "Summer bank holiday", "2023-12-25": "Christmas Day", "2023-12-26": "Boxing Day",
    "2024-01-01": "New Year's Day", "2024-03-29": "Good Friday", "2024-04-01": "Easter Monday",
    "2024-05-06": "Early May bank holiday", "2024-05-27": "Spring bank holiday", "2024-08-26": "Summer bank holiday",
    "2024-12-25": "Christmas Day", "2024-12-26": "Boxing Day",
    "2025-01-01": "New Year's Day", "2025-04-18": "Good Friday", "2025-04-21": "Easter Monday",
    "2025-05-05": "Early May bank holiday", "2025-05-26": "Spring bank holiday", "2025-08-25": "Summer bank holiday",
    "2025-12-25": "Christmas Day", "2025-12-26": "Boxing Day",
    "2026-01-01": "New Year's Day", "2026-04-03": "Good Friday", "2026-04-06": "Easter Monday",
    "2026-05-04": "Early May bank holiday", "2026-05-25": "Spring bank holiday", "2026-08-31": "Summer bank holiday",
    "2026-12-25": "Christmas Day", "2026-12-28": "Boxing Day (substitute)",
    "2027-01-01": "New Year's Day", "2027-03-26": "Good Friday", "2027-03-29": "Easter Monday",
    "2027-05-03": "Early May bank holiday", "2027-05-31": "Spring bank holiday", "2027-08-30": "Summer bank holiday",
}
CAL_FROM, CAL_TO = dt.date(2023, 9, 1), dt.date(2027, 12, 31)

SHUTDOWN = (_span("2023-12-22", "2024-01-01") + _span("2024-12-23", "2025-01-01") + _span("2025-12-22", "2026-01-01")
            + _span("2026-12-21", "2027-01-01") + _span("2027-12-20", "2027-12-31"))
# no airside possessions over the Christmas getaway and the summer holiday peak
XMAS_EMBARGO = (_span("2023-12-17", "2024-01-03") + _span("2024-12-15", "2025-01-03")
                + _span("2025-12-14", "2026-01-04") + _span("2026-12-13", "2027-01-04"))
PEAK_EMBARGO = (_span("2024-07-20", "2024-09-01") + _span("2025-07-19", "2025-08-31")
                + _span("2026-07-18", "2026-08-30") + _span("2027-07-17", "2027-08-29"))
EMBARGO_NIGHTS = {"2024-05-12": "Runway 09/27 calibration flight - no possessions",
                  "2025-03-23": "Diversion cover for neighbouring airport runway closure - no possessions",
                  "2025-03-24": "Diversion cover for neighbouring airport runway closure - no possessions",
                  "2025-10-26": "Clocks change - late night schedule of charter flights - no possessions"}

CALENDARS = [
    # id, code, name, work days (0 = Mon), week, hours a day, notes, kind
    (1, "OFF5", "Office day shift Mon-Fri 08:30-16:30", {0, 1, 2, 3, 4}, "Mon-Fri", 7.5,
     "Design, approvals and project management; bank holidays and the Christmas office closure", "office"),
    (2, "DAY5", "Site day shift Mon-Fri 07:30-17:30", {0, 1, 2, 3, 4}, "Mon-Fri", 10.0,
     "Terminal and apron construction behind the airside fence; bank holidays and the Christmas shutdown",
     "site"),
    (3, "DAY6", "Landside site Mon-Sat 07:30-17:30", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 10.0,
     "Car park works landside; Saturdays worked; bank holidays and the Christmas shutdown", "site"),
    (4, "NGT-POSS", "Airside night possession 23:30-05:30 (Sun-Thu nights)", {6, 0, 1, 2, 3}, "Sun-Thu nights", 6.0,
     "Possession nights start at 23:30 on the date shown and hand back at 05:30 the next morning; no "
     "possessions on bank holidays, during the Christmas and summer peak embargoes or on embargoed nights",
     "night"),
    (5, "ORAT7", "Operational trials 7-day 06:00-18:00", set(range(7)), "Mon-Sun", 12.0,
     "Operational readiness trials, flight checks and HBS live trials with the terminal open; "
     "stands down on Christmas Day and Boxing Day", "trials"),
    (6, "ELAPSED", "7-day elapsed", set(range(7)), "Mon-Sun", 24.0,
     "Manufacture, supplier lead times and approvals that run in calendar days", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.off = {}
        if kind == "elapsed":
            return
        if kind == "trials":
            for iso_d, name in BANK_HOLIDAYS.items():
                if iso_d[5:] in ("12-25", "12-26"):
                    self.off[dt.date.fromisoformat(iso_d)] = ("BH", f"Bank holiday - {name}")
            return
        for iso_d, name in BANK_HOLIDAYS.items():
            self.off[dt.date.fromisoformat(iso_d)] = ("BH", f"Bank holiday - {name}")
        if kind in ("office", "site"):
            for d in SHUTDOWN:
                self.off.setdefault(d, ("XMAS", "Christmas and New Year shutdown"))
        if kind == "night":
            for d in XMAS_EMBARGO:
                self.off.setdefault(d, ("XMAS", "Christmas getaway embargo - no airside possessions"))
            for d in PEAK_EMBARGO:
                self.off.setdefault(d, ("PEAK", "Summer peak embargo - no airside possessions"))
            for iso_d, why in EMBARGO_NIGHTS.items():
                self.off.setdefault(dt.date.fromisoformat(iso_d), ("EMB", why))


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, DAY5, DAY6, NGT, ORAT, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

AIRPORT = "Aldermoor Airport Ltd"
DIRECTOR = "Helen Marchbank"
PLANNER = "Owen Pryce"
AIRSIDE_OPS = "Bethan Rees"
DUTY_MANAGERS = ["Bethan Rees", "Mark Tolley", "Sunita Varma"]

PROJECTS = [
    # key, code, name, area, project manager, main contractor, start, margin (working days), budget GBP m,
    # forecast cost factor, re-baseline
    ("AGL", "P2301", "Runway 09/27 Airfield Ground Lighting Replacement", "Airfield", "Tom Gallagher",
     "Lumenair Airfield Lighting", dt.date(2023, 9, 4), 20, 6.8, 0.97, None),
    ("BHS", "P2402", "Baggage Hall Upgrade and Hold Baggage Screening Replacement", "Terminal", "Anita Desai",
     "Vantec Baggage Systems", dt.date(2024, 1, 15), 0, 24.5, 1.12,
     (dt.date(2025, 4, 7), "BL1 Re-plan after EDS machine software re-certification")),
    ("DLE", "P2403", "Departure Lounge Extension", "Terminal", "Rhys Caddick", "Brantwood Construction",
     dt.date(2024, 9, 2), 15, 31.0, 1.08, None),
    ("CP3", "P2404", "Car Park 3 Decked Structure", "Landside", "Claire Nolan", "Northway Precast Structures",
     dt.date(2024, 9, 2), 0, 14.2, 1.15,
     (dt.date(2025, 7, 7), "BL1 Re-plan after piling obstruction (old fuel farm bases)")),
    ("APR", "P2501", "Apron Stands 14-18 Expansion", "Airfield", "Kerry Walsh", "Hallam Civils",
     dt.date(2025, 1, 13), 12, 18.6, 1.03, None),
    ("TWB", "P2502", "Taxiway Bravo Rehabilitation", "Airfield", "Tom Gallagher", "Calder Surfacing",
     dt.date(2025, 3, 3), 15, 9.4, 1.06, None),
]
PROJ = {p[0]: p for p in PROJECTS}

RESOURCES = [
    # code, name, type, trade, company, units, day rate GBP (per unit), supervisor
    ("DES-ENG", "Design team (consultant engineers)", "LAB", "Design", "Arden Hale Consulting", 5, 640.0,
     "Nia Howells"),
    ("MIL-GANG", "Milling gang", "LAB", "Surfacing", "Calder Surfacing", 6, 330.0, "Dean Whitlock"),
    ("SURF-GANG", "Surfacing gang", "LAB", "Surfacing", "Calder Surfacing", 9, 330.0, "Dean Whitlock"),
    ("PLN-2M", "Cold milling machine 2.0m", "EQP", "Milling", "Calder Surfacing", 1, 2450.0, "Dean Whitlock"),
    ("PAV-TRK", "Tracked asphalt paver", "EQP", "Paving", "Calder Surfacing", 1, 1950.0, "Dean Whitlock"),
    ("ROL-TDM", "Tandem vibrating rollers", "EQP", "Paving", "Calder Surfacing", 2, 620.0, "Dean Whitlock"),
    ("AGL-ELEC", "AGL electricians", "LAB", "Electrical", "Lumenair Airfield Lighting", 6, 380.0, "Pete Sandford"),
    ("MRK-CREW", "Line marking crew", "LAB", "Markings", "Brightline Markings", 4, 300.0, "Jo Kettley"),
    ("CIV-GANG", "Civils gang (drainage and earthworks)", "LAB", "Civils", "Hallam Civils", 8, 310.0,
     "Gary Fenwick"),
    ("PQC-GANG", "Concrete paving gang", "LAB", "Paving", "Hallam Civils", 10, 320.0, "Gary Fenwick"),
    ("SFP-1", "Slipform concrete paver", "EQP", "Paving", "Hallam Civils", 1, 3300.0, "Gary Fenwick"),
    ("STL-GANG", "Steel erection gang", "LAB", "Structural", "Brantwood Construction", 8, 350.0, "Liam Doherty"),
    ("CRN-CC100", "Crawler crane 100t", "EQP", "Lifting", "Lyndon Crane Hire", 1, 2800.0, "Liam Doherty"),
    ("CRN-MC60", "Mobile crane 60t", "EQP", "Lifting", "Lyndon Crane Hire", 1, 1550.0, "Sam Oyelaran"),
    ("MEP-GANG", "M&E installers", "LAB", "M&E", "Brantwood Construction", 12, 340.0, "Craig Benton"),
    ("FIT-GANG", "Fit-out and finishes gang", "LAB", "Fit-out", "Brantwood Construction", 10, 300.0, "Craig Benton"),
    ("BHS-INST", "Baggage system installers", "LAB", "Systems", "Vantec Baggage Systems", 10, 360.0,
     "Marek Nowak"),
    ("HBS-ENG", "HBS commissioning engineers", "LAB", "Systems", "Sentrix Detection", 3, 720.0, "Ingrid Salo"),
    ("PILE-CREW", "Piling crew", "LAB", "Piling", "Deepline Piling", 5, 340.0, "Rob Cawley"),
    ("PILE-RIG", "CFA piling rig", "EQP", "Piling", "Deepline Piling", 1, 3100.0, "Rob Cawley"),
    ("PCF-GANG", "Precast erection gang", "LAB", "Structural", "Northway Precast Structures", 7, 345.0,
     "Andy Pearce"),
    ("CRN-TC1", "Tower crane TC1", "EQP", "Lifting", "Northway Precast Structures", 1, 1150.0, "Andy Pearce"),
    ("ORAT-TEAM", "ORAT trials team (airport staff and volunteers)", "LAB", "Operations", AIRPORT, 20, 210.0,
     "Bethan Rees"),
]
KIND_RSRC = {
    "DES": ["DES-ENG"], "MIL": ["MIL-GANG", "PLN-2M"], "PAV": ["SURF-GANG", "PAV-TRK", "ROL-TDM"],
    "AGL": ["AGL-ELEC"], "MRK": ["MRK-CREW"], "CIV": ["CIV-GANG"], "PQC": ["PQC-GANG", "SFP-1"],
    "STL": ["STL-GANG", "CRN-CC100"], "MEP": ["MEP-GANG"], "FIT": ["FIT-GANG"], "BHS": ["BHS-INST"],
    "EDS": ["BHS-INST", "HBS-ENG", "CRN-MC60"], "HBS": ["HBS-ENG"], "PIL": ["PILE-CREW", "PILE-RIG"],
    "PCF": ["PCF-GANG", "CRN-TC1"], "ORA": ["ORAT-TEAM"],
}

# slips (working days added to the duration) and the activities added after the contract baseline
SLIPS = {"AGL.cab2": 5, "AGL.lgt3": 4, "BHS.eds": 110, "BHS.ins2": 6, "DLE.ste": 14, "DLE.mep": 10, "DLE.int": 8,
         "DLE.con": 4,
         "CP3.pil": 22, "CP3.fr2": 5, "APR.dra": 7, "APR.pqc16": 3, "TWB.pav3": 7, "TWB.mil2": 2, "TWB.des": 5}
AFTER_REPLAN = {"BHS.ins3": 8, "BHS.isat": 4, "CP3.top2": 6}

TWB_SECTIONS = [("TB1", "Holding point B1 to Link A"), ("TB2", "Link A to Link B2"), ("TB3", "Link B2 to Link C"),
                ("TB4", "Link C to Link D"), ("TB5", "Link D to holding point B5")]
AGL_SECTIONS = [("R1", "Runway 09 threshold and touchdown zone"), ("R2", "Runway centreline west"),
                ("R3", "Runway centreline east"), ("R4", "Runway 27 threshold and approach lights")]
BHS_PHASES = [("Phase 1", "check-in feed lines 1-2 and EDS 1"), ("Phase 2", "check-in feed lines 3-4 and EDS 2"),
              ("Phase 3", "screening hall, EDS 3 and make-up carousels")]
STANDS = [14, 15, 16, 17, 18]
CP3_LEVELS = [(1, "Level 1"), (2, "Level 2"), (3, "Level 3 (roof deck)")]

# ---------------------------------------------------------------------------------------------- plans


class Plan:
    def __init__(self, proj):
        self.proj = proj
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("DES", "ROOT", "Design and approvals"),
                    ("PRC", "ROOT", "Procurement and long-lead items"), ("CON", "ROOT", "Construction"),
                    ("TST", "ROOT", "Testing, commissioning and handover")]

    def add(self, key, name, dur, wbs, preds=(), cal=OFF, kind=None, ms=None, area=None, new=False):
        full = f"{self.proj}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs, preds=[f"{self.proj}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, area=area, new=new, prj=self.proj,
                               slip=SLIPS.get(full, 0)))
        return key


def plan_agl(p):
    p.add("ntp", "Contract award and notice to proceed - AGL", 0, "DES", ms="S")
    p.add("des", "AGL design and CCR room layout", 45, "DES", ["ntp"], kind="DES")
    p.add("apr", "Aerodrome safeguarding and regulator approval of AGL design", 20, "DES", ["des"])
    p.add("ltl", "Light fittings and constant current regulators manufacture and delivery", 120, "PRC",
          ["des:SS25"], cal=ELP)
    p.add("ccr", "Fit out constant current regulator room", 20, "CON", ["ltl", "apr"], cal=DAY5, kind="AGL",
          area="AGL substation")
    for i, (sec, desc) in enumerate(AGL_SECTIONS, 1):
        w = f"S{i}"
        p.wbs.append((w, "CON", f"Section {sec} - {desc}"))
        area = f"Runway 09/27 section {sec}"
        p.add(f"cab{i}", f"Ducting and cabling section {sec}", 28, w,
              ["apr"] + ([f"cab{i - 1}"] if i > 1 else []), cal=NGT, kind="AGL", area=area)
        p.add(f"lgt{i}", f"Install inset and elevated lights section {sec}", 24, w,
              [f"cab{i}", "ltl"] + ([f"lgt{i - 1}"] if i > 1 else []), cal=NGT, kind="AGL", area=area)
        p.add(f"tst{i}", f"Test and commission AGL section {sec}", 3, w, [f"lgt{i}", "ccr"], cal=NGT, kind="AGLT",
              area=area)
    p.add("fck", "Flight check of new runway lighting", 2, "TST", [f"tst{len(AGL_SECTIONS)}"], cal=ORAT,
          kind="FCK", area="Runway 09/27")
    p.add("ho", "AGL handover to airfield operations", 0, "TST", ["fck"], cal=DAY5, ms="F")


def plan_bhs(p):
    p.add("ntp", "Contract award and notice to proceed - baggage hall", 0, "DES", ms="S")
    p.add("des", "Baggage system design and HBS layout", 60, "DES", ["ntp"], kind="DES")
    p.add("reg", "Regulator approval of HBS concept of operations", 30, "DES", ["des:SS30"])
    p.add("eds", "Standard 3 EDS machines manufacture and factory acceptance test", 420, "PRC", ["des:SS25"],
          cal=ELP, kind="EDSF")
    p.add("cert", "EDS software re-certification by the regulator", 75, "PRC", ["eds"], cal=ELP, new=True)
    p.add("cnv", "Conveyors and sortation manufacture and delivery", 150, "PRC", ["des"], cal=ELP)
    for i, (ph, desc) in enumerate(BHS_PHASES, 1):
        w = f"PH{i}"
        p.wbs.append((w, "CON", f"{ph} - {desc}"))
        area = f"Baggage hall {ph.lower()}"
        p.add(f"str{i}", f"Strip out existing baggage system {ph.lower()}", 15, w,
              (["reg", "cnv"] if i == 1 else [f"ins{i - 1}"]), cal=NGT, kind="BHS", area=area)
        p.add(f"ins{i}", f"Install conveyors and controls {ph.lower()}", 55, w, [f"str{i}", "cnv"], cal=NGT,
              kind="BHS", area=area)
        p.add(f"edi{i}", f"Install and connect EDS machine {i}", 8, w,
              [f"ins{i}", "eds", "cert"], cal=NGT, kind="EDS", area=area)
        p.add(f"sat{i}", f"Site acceptance test {ph.lower()}", 5, w, [f"edi{i}"], cal=NGT, kind="SAT", area=area)
    p.add("isat", "Integrated site acceptance test (HBS and baggage system)", 15, "TST", ["sat3", "sat2", "sat1"],
          cal=ORAT, kind="ISAT", area="Baggage hall")
    p.add("trl", "Live operational trials with the regulator", 30, "TST", ["isat:FS2"], cal=ORAT, kind="TRL",
          area="Baggage hall")
    p.add("gol", "HBS go-live", 0, "TST", ["trl"], cal=ORAT, ms="F")


def plan_dle(p):
    p.add("ntp", "Contract award and notice to proceed - departure lounge", 0, "DES", ms="S")
    p.add("des", "Technical design (stage 4)", 80, "DES", ["ntp"], kind="DES")
    p.add("pln", "Planning consent and building regulations approval", 60, "DES", ["des:SS20"])
    p.add("stl", "Structural steel fabrication and delivery", 120, "PRC", ["des:SS40"], cal=ELP)
    p.wbs.append(("STR", "CON", "Substructure and frame"))
    p.wbs.append(("ENV", "CON", "Envelope and connection to the terminal"))
    p.wbs.append(("FIT", "CON", "Fit-out"))
    p.add("enb", "Enabling works and airside hoarding", 25, "STR", ["pln"], cal=DAY5, kind="CIV",
          area="Pier 1 forecourt")
    p.add("pil", "Piling", 35, "STR", ["enb"], cal=DAY5, kind="PIL", area="Lounge extension footprint")
    p.add("sub", "Pile caps, ground beams and ground slab", 40, "STR", ["pil"], cal=DAY5, kind="CIV",
          area="Lounge extension footprint")
    p.add("ste", "Steel frame erection", 45, "STR", ["sub", "stl"], cal=DAY5, kind="STL", area="Lounge extension")
    p.add("env", "Roof and envelope", 60, "ENV", ["ste:SS15"], cal=DAY5, kind="FIT", area="Lounge extension")
    p.add("wtt", "Building watertight", 0, "ENV", ["env"], cal=DAY5, ms="F")
    p.add("con", "Break through and connect to existing terminal (night works)", 15, "ENV", ["ste"], cal=NGT,
          kind="BRK", area="Terminal gable wall, gates 5-7")
    p.add("mep", "Mechanical and electrical first and second fix", 90, "FIT", ["wtt"], cal=DAY5, kind="MEP",
          area="Lounge extension")
    p.add("int", "Internal fit-out and finishes", 100, "FIT", ["mep:SS20"], cal=DAY5, kind="FIT",
          area="Lounge extension")
    p.add("ret", "Retail and food and beverage units fit-out", 60, "FIT", ["int:SS30"], cal=DAY5, kind="FIT",
          area="Lounge extension")
    p.add("fac", "Fire alarm cause and effect testing", 8, "TST", ["mep", "int:FF0"], cal=DAY5, kind="FAC",
          area="Lounge extension")
    p.add("cms", "M&E commissioning and witness testing", 30, "TST", ["fac"], cal=DAY5, kind="MEP",
          area="Lounge extension")
    p.add("ora", "ORAT trials with volunteer passengers", 21, "TST", ["cms", "ret", "con"], cal=ORAT, kind="ORA",
          area="Lounge extension")
    p.add("opn", "Lounge extension open to passengers", 0, "TST", ["ora"], cal=ORAT, ms="F")


def plan_cp3(p):
    p.add("ntp", "Contract award and notice to proceed - Car Park 3", 0, "DES", ms="S")
    p.add("des", "Structural design of decked car park", 60, "DES", ["ntp"], kind="DES")
    p.add("pln", "Planning consent", 80, "DES", ["des:SS15"])
    p.add("pcu", "Precast frame and deck units manufacture and delivery", 200, "PRC", ["des"], cal=ELP)
    p.wbs.append(("SUB", "CON", "Substructure"))
    p.add("enb", "Site clearance and temporary parking diversion", 20, "SUB", ["pln"], cal=DAY6, kind="CIV",
          area="Car Park 3")
    p.add("pil", "Piling", 40, "SUB", ["enb"], cal=DAY6, kind="PIL", area="Car Park 3")
    p.add("obs", "Remove obstruction and redesign pile caps (old fuel farm bases)", 30, "SUB", ["pil"], cal=DAY6,
          kind="CIV", area="Car Park 3 grid lines C-E", new=True)
    p.add("cap", "Pile caps and ground beams", 30, "SUB", ["pil", "obs"], cal=DAY6, kind="CIV", area="Car Park 3")
    for i, lvl in CP3_LEVELS:
        w = f"L{i}"
        p.wbs.append((w, "CON", lvl))
        p.add(f"fr{i}", f"Erect precast frame and deck units {lvl.split(' (')[0].lower()}", 26, w,
              (["cap"] if i == 1 else [f"fr{i - 1}"]) + ["pcu"], cal=DAY6, kind="PCF", area=f"Car Park 3 {lvl}")
        p.add(f"top{i}", f"Deck topping and waterproofing {lvl.split(' (')[0].lower()}", 18, w,
              [f"fr{i}"] + ([f"top{i - 1}"] if i > 1 else []), cal=DAY6, kind="CIV", area=f"Car Park 3 {lvl}")
    p.add("ram", "Ramps, stair cores and lifts", 35, "CON", ["fr3"], cal=DAY6, kind="PCF", area="Car Park 3")
    p.add("mep", "Lighting, drainage, ANPR and barrier systems", 60, "CON", ["top2"], cal=DAY6, kind="MEP",
          area="Car Park 3")
    p.add("srf", "Line marking and signage", 12, "TST", ["top3", "mep"], cal=DAY6, kind="MRK", area="Car Park 3")
    p.add("ho", "Car Park 3 open to the public", 0, "TST", ["srf", "ram"], cal=DAY6, ms="F")


def plan_apr(p):
    p.add("ntp", "Contract award and notice to proceed - apron stands", 0, "DES", ms="S")
    p.add("des", "Apron pavement and drainage design", 60, "DES", ["ntp"], kind="DES")
    p.add("apr", "Aerodrome safeguarding and change approval", 40, "DES", ["des:SS20"])
    p.add("fgp", "FEGP units and stand entry guidance manufacture", 200, "PRC", ["des"], cal=ELP)
    p.add("fen", "Airside fence realignment and contractor compound", 10, "CON", ["apr"], cal=NGT, kind="CIV",
          area="Apron west fence line")
    p.add("dra", "Surface water drainage and interceptors", 45, "CON", ["fen"], cal=DAY5, kind="CIV",
          area="Stands 14-18")
    prev = None
    for s in STANDS:
        w = f"S{s}"
        p.wbs.append((w, "CON", f"Stand {s}"))
        area = f"Stand {s}"
        p.add(f"ear{s}", f"Earthworks and sub-base stand {s}", 12, w, ["dra"] if prev is None else [f"ear{prev}"],
              cal=DAY5, kind="CIV", area=area)
        p.add(f"pqc{s}", f"Concrete paving (PQC) stand {s}", 18, w,
              [f"ear{s}"] + ([f"pqc{prev}"] if prev else []), cal=DAY5, kind="PQC", area=area)
        p.add(f"fit{s}", f"Stand AGL, FEGP, guidance and markings stand {s}", 8, w, [f"pqc{s}:FS7", "fgp"],
              cal=DAY5, kind="STD", area=area)
        prev = s
    p.add("tie", "Tie-in to live Taxiway C (night possessions)", 10, "CON", ["pqc14"], cal=NGT, kind="PQC",
          area="Taxiway C / Stand 14 lead-in")
    p.add("ho1", "Stands 14-16 handed over to operations", 0, "TST", ["fit14", "fit15", "fit16", "tie"], cal=DAY5,
          ms="F")
    p.add("ho", "Stands 17-18 handed over and project complete", 0, "TST", ["fit17", "fit18", "ho1"], cal=DAY5,
          ms="F")


def plan_twb(p):
    p.add("ntp", "Contract award and notice to proceed - Taxiway Bravo", 0, "DES", ms="S")
    p.add("des", "Pavement design and phasing plan", 40, "DES", ["ntp"], kind="DES")
    p.add("apr", "Airside operations approval of possession plan", 20, "DES", ["des"])
    p.add("mix", "Asphalt mix design and trial panel", 10, "PRC", ["des"], cal=DAY5, kind="PAV",
          area="Contractor compound")
    for i, (sec, desc) in enumerate(TWB_SECTIONS, 1):
        w = f"S{i}"
        p.wbs.append((w, "CON", f"Section {sec} - {desc}"))
        area = f"Taxiway B section {sec}"
        p.add(f"mil{i}", f"Cold mill existing surface section {sec}", 12, w,
              (["apr", "mix"] if i == 1 else [f"mil{i - 1}"]), cal=NGT, kind="MIL", area=area)
        p.add(f"pav{i}", f"Inlay asphalt surface course section {sec}", 15, w,
              [f"mil{i}"] + ([f"pav{i - 1}"] if i > 1 else []), cal=NGT, kind="PAV", area=area)
        p.add(f"agl{i}", f"Reinstate taxiway centreline lights section {sec}", 5, w, [f"pav{i}"], cal=NGT,
              kind="AGL", area=area)
        p.add(f"mrk{i}", f"Taxiway markings section {sec}", 4, w, [f"agl{i}:FS1"], cal=NGT, kind="MRK", area=area)
    n = len(TWB_SECTIONS)
    p.add("fri", "Friction test and reopening inspection", 2, "TST", [f"mrk{n}"], cal=NGT, kind="FRI",
          area="Taxiway B")
    p.add("ho", "Taxiway Bravo fully reopened", 0, "TST", ["fri"], cal=NGT, ms="F")


PLANS = {"AGL": plan_agl, "BHS": plan_bhs, "DLE": plan_dle, "CP3": plan_cp3, "APR": plan_apr, "TWB": plan_twb}


def make_plan(proj):
    p = Plan(proj[0])
    PLANS[proj[0]](p)
    return p


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its project's target completion."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "prj")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


REJECTED_NIGHTS = {("TWB", "2025-12-04"): "Rejected - clashes with runway AGL maintenance night",
                   ("TWB", "2025-12-10"): "Rejected - diversion cover for neighbouring airport, taxiway B needed"}
FINISH = {"AGL": "ho", "BHS": "gol", "DLE": "opn", "CP3": "ho", "APR": "ho", "TWB": "ho"}
SITE_MANAGER = {"AGL": "Pete Sandford", "BHS": "Marek Nowak", "DLE": "Liam Doherty", "CP3": "Andy Pearce",
                "APR": "Gary Fenwick", "TWB": "Dean Whitlock"}

RISKS = [
    # project, activity key, title, category, probability 1-5, impact 1-5, cost GBP, schedule days, owner,
    # mitigation, status, raised, next review
    ("AGL", "AGL.cab2", "Unrecorded ducts and cables found under runway shoulders", "Ground conditions", 3, 3,
     85000.0, 6, "Tom Gallagher", "GPR survey of each section before ducting", "Occurred", "2023-10-16",
     "2024-04-15"),
    ("AGL", "AGL.lgt3", "Low visibility procedures cancel possession nights", "Weather", 3, 3, 40000.0, 5,
     AIRSIDE_OPS, "Hold two contingency nights a month", "Occurred", "2023-11-06", "2024-07-01"),
    ("AGL", None, "Regulator inspection finds non-compliant light spacing", "Regulatory", 1, 4, 60000.0, 10,
     "Tom Gallagher", "Surveyed set-out checked by airfield engineering before coring", "Closed", "2023-09-18",
     "2024-07-22"),
    ("BHS", "BHS.eds", "EDS machine software fails certification at factory acceptance test", "Supply chain", 3, 5,
     650000.0, 110, "Anita Desai", "Witness FAT; weekly call with the maker's certification team", "Occurred",
     "2024-02-19", "2025-11-28"),
    ("BHS", "BHS.trl", "Regulator live trials find false alarm rate above threshold", "Regulatory", 3, 4,
     180000.0, 15, "Anita Desai", "Extended tuning period before trials; maker's engineers on site",
     "Open", "2025-08-04", "2025-11-28"),
    ("BHS", "BHS.ins3", "Existing baggage system failure during night works disrupts morning departures",
     "Operational", 3, 4, 120000.0, 8, AIRSIDE_OPS, "Back-out plan each night; standby engineer till 07:00",
     "Occurred", "2024-09-02", "2025-12-05"),
    ("BHS", None, "Peak Christmas baggage volumes exceed capacity with one EDS line offline", "Operational", 2, 5,
     250000.0, 0, DIRECTOR, "No EDS changeover between 14 December and 4 January", "Open", "2025-09-15",
     "2025-12-01"),
    ("DLE", "DLE.ste", "Steel frame delivery late from fabricator", "Supply chain", 3, 3, 140000.0, 14,
     "Rhys Caddick", "Split deliveries; erect from grid line 1 with the first loads", "Occurred", "2025-01-13",
     "2025-09-01"),
    ("DLE", "DLE.mep", "Air handling units late from manufacturer", "Supply chain", 3, 3, 90000.0, 10,
     "Rhys Caddick", "Temporary heating for finishes; AHU slot reserved with deposit", "Occurred", "2025-06-02",
     "2025-12-01"),
    ("DLE", "DLE.ret", "Retail tenants late with shopfit designs", "Commercial", 3, 2, 50000.0, 8,
     "Rhys Caddick", "Shell and core handover with tenant deadlines in leases", "Open", "2025-08-11", "2025-12-08"),
    ("DLE", "DLE.ora", "Not enough volunteer passengers for ORAT trials", "Operational", 2, 2, 15000.0, 3,
     AIRSIDE_OPS, "Recruit through staff and local colleges from January", "Open", "2025-10-20", "2026-01-12"),
    ("CP3", "CP3.pil", "Obstructions from old fuel farm bases in piling area", "Ground conditions", 4, 4,
     310000.0, 25, "Claire Nolan", "Trial pits on grid lines C-E; pile cap redesign allowance", "Occurred",
     "2024-10-07", "2025-07-07"),
    ("CP3", "CP3.fr2", "High winds stop tower crane lifts", "Weather", 4, 2, 30000.0, 5, "Claire Nolan",
     "Lift plan with wind limits; weekend working", "Occurred", "2025-06-16", "2025-12-01"),
    ("CP3", "CP3.mep", "ANPR system integration with the airport's parking system", "Technical", 3, 3, 45000.0, 6,
     "Claire Nolan", "Factory test of the interface in October", "Open", "2025-08-18", "2025-11-24"),
    ("CP3", None, "Loss of parking revenue while spaces are closed", "Commercial", 4, 3, 220000.0, 0, DIRECTOR,
     "Overflow parking in Car Park 5 with shuttle bus", "Open", "2024-09-09", "2025-12-15"),
    ("APR", "APR.dra", "Unrecorded live services under the apron", "Ground conditions", 3, 4, 95000.0, 7,
     "Kerry Walsh", "Radar survey and hand-dig within 1m of known services", "Occurred", "2025-03-17",
     "2025-07-14"),
    ("APR", "APR.pqc18", "Cold weather stops concrete paving in December", "Weather", 3, 3, 60000.0, 6,
     "Kerry Walsh", "Heated enclosures and accelerated mix", "Open", "2025-10-13", "2025-11-28"),
    ("APR", "APR.fit18", "FEGP units fail load test", "Technical", 2, 3, 25000.0, 4, "Kerry Walsh",
     "Factory test witnessed by airport electrical engineer", "Open", "2025-09-22", "2025-12-05"),
    ("APR", None, "Jet blast on works from adjacent Stand 13", "Safety", 3, 4, 20000.0, 2, AIRSIDE_OPS,
     "Stand 13 restricted to Code C with engines at idle", "Open", "2025-04-07", "2025-12-01"),
    ("TWB", "TWB.pav3", "Rain cancels asphalt laying on possession nights", "Weather", 4, 3, 70000.0, 7,
     "Tom Gallagher", "Two contingency nights per section; rain forecast checked at 16:00", "Occurred",
     "2025-04-28", "2025-11-24"),
    ("TWB", "TWB.mrk5", "Christmas embargo pushes completion into January", "Programme", 4, 3, 40000.0, 15,
     PLANNER, "Accelerate TB5 with double shifts on Sunday nights", "Open", "2025-10-20", "2025-11-28"),
    ("TWB", "TWB.mil2", "Late handback of possession delays first departures", "Operational", 2, 5, 30000.0, 2,
     AIRSIDE_OPS, "Stop milling at 04:15; handback checklist", "Open", "2025-05-12", "2025-12-01"),
    ("TWB", None, "Asphalt plant breakdown on a possession night", "Supply chain", 2, 3, 25000.0, 3,
     "Tom Gallagher", "Second plant on standby contract", "Closed", "2025-04-28", "2025-10-27"),
]

CHANGES = [
    # project, title, type, raised by, cost GBP, time days, status, raised, decision
    ("AGL", "Add runway guard lights at holding points A1 and B1", "Scope", "Tom Gallagher", 145000.0, 6, "APR",
     "2023-11-20", "2023-12-11"),
    ("AGL", "Extra possession nights after unrecorded services", "Programme", PLANNER, 38000.0, 5, "APR",
     "2024-02-05", "2024-02-19"),
    ("AGL", "Replace approach light masts on runway 27", "Scope", "Tom Gallagher", 210000.0, 12, "REJ",
     "2024-03-11", "2024-04-08"),
    ("BHS", "Fourth EDS machine for future growth", "Scope", "Anita Desai", 1450000.0, 20, "REJ", "2024-05-13",
     "2024-06-24"),
    ("BHS", "Re-plan after EDS software re-certification (BL1)", "Programme", PLANNER, 0.0, 135, "APR",
     "2025-03-10", "2025-04-07"),
    ("BHS", "Maker's engineers on site for extended tuning", "Commercial", "Anita Desai", 96000.0, 0, "APR",
     "2025-09-29", "2025-10-13"),
    ("BHS", "Extend live trials by one week", "Programme", "Anita Desai", 42000.0, 7, "REV", "2025-11-17", None),
    ("DLE", "Additional gate seating and charging points", "Scope", "Rhys Caddick", 88000.0, 3, "APR",
     "2025-04-14", "2025-05-06"),
    ("DLE", "Acceleration of steel erection with second crane", "Programme", "Rhys Caddick", 76000.0, -6, "REJ",
     "2025-06-23", "2025-07-07"),
    ("DLE", "Upgrade lounge glazing to solar control", "Design", "Nia Howells", 132000.0, 4, "SUB", "2025-11-10",
     None),
    ("DLE", "Change of retail tenant layout unit 4", "Design", "Rhys Caddick", 24000.0, 2, "REV", "2025-10-27",
     None),
    ("CP3", "Pile cap redesign around fuel farm bases", "Design", "Nia Howells", 265000.0, 25, "APR", "2025-04-28",
     "2025-05-19"),
    ("CP3", "Re-plan after piling obstruction (BL1)", "Programme", PLANNER, 0.0, 48, "APR", "2025-06-09",
     "2025-07-07"),
    ("CP3", "EV charging bays on level 1", "Scope", "Claire Nolan", 180000.0, 8, "REV", "2025-09-15", None),
    ("CP3", "Solar canopy on roof deck", "Scope", DIRECTOR, 420000.0, 30, "WDN", "2025-02-03", None),
    ("APR", "Deeper drainage to avoid live services", "Design", "Kerry Walsh", 58000.0, 7, "APR", "2025-04-22",
     "2025-05-06"),
    ("APR", "Make Stand 18 Code E capable", "Scope", AIRSIDE_OPS, 310000.0, 10, "REJ", "2025-05-19",
     "2025-06-16"),
    ("APR", "Heated enclosures for December paving", "Programme", "Kerry Walsh", 36000.0, -4, "SUB", "2025-11-17",
     None),
    ("TWB", "Additional possession nights for weather recovery", "Programme", "Tom Gallagher", 64000.0, 7, "APR",
     "2025-10-06", "2025-10-20"),
    ("TWB", "Regulate Link C junction levels", "Design", "Imran Qureshi", 47000.0, 2, "REV", "2025-11-03", None),
]

RESTRICTIONS = [
    # project, reference, type, area, from, to, text, issued by, withdrawn
    ("AGL", "A0512/23", "RWY", "Runway 09/27", "2023-12-03 23:30", "2024-07-16 05:30",
     "RWY 09/27 CLSD NIGHTLY SUN-THU 2330-0530 DUE AGL WORKS", AIRSIDE_OPS, False),
    ("AGL", "A0044/24", "AGL", "Runway 09 approach lights", "2024-01-28 23:30", "2024-03-07 05:30",
     "RWY 09 CL LGT AND TDZ LGT U/S. PAPI AVBL", AIRSIDE_OPS, False),
    ("AGL", "A0391/24", "AGL", "Runway 27 threshold", "2024-04-25 23:30", "2024-07-16 05:30",
     "RWY 27 THR AND ALS PARTLY U/S DUE WIP", "Mark Tolley", False),
    ("BHS", "OPS-24-112", "TRM", "Check-in feed lines 1-2", "2024-09-08 23:30", "2024-12-13 05:30",
     "CHECK-IN FEED LINES 1-2 OUT OF USE OVERNIGHT; EARLY BAGS VIA LINE 3", "Sunita Varma", False),
    ("BHS", "OPS-25-031", "TRM", "Check-in feed lines 3-4", "2025-01-05 23:30", "2025-04-24 05:30",
     "CHECK-IN FEED LINES 3-4 OUT OF USE OVERNIGHT; EARLY BAGS VIA LINE 1", "Sunita Varma", False),
    ("BHS", "OPS-25-044", "TRM", "Screening hall", "2025-10-06 06:00", "2025-12-31 23:59",
     "HBS SCREENING ON EDS 1-2 ONLY DURING TRIALS; MANUAL SEARCH CAPACITY DOUBLED", AIRSIDE_OPS, False),
    ("DLE", "A0310/25", "OBST", "North of Pier 1", "2025-05-20 07:00", "2025-08-12 18:00",
     "CRAWLER CRANE 52M AMSL N OF PIER 1, LIT AND MARKED", AIRSIDE_OPS, False),
    ("DLE", "A0786/25", "STD", "Stands 5-7", "2025-09-01 23:30", "2025-09-26 05:30",
     "STANDS 5, 6 AND 7 CLSD NIGHTLY DUE TERMINAL CONNECTION WORKS", "Mark Tolley", False),
    ("CP3", "A0520/25", "OBST", "Car Park 3", "2025-07-07 07:00", "2026-01-14 18:00",
     "TOWER CRANE 48M AMSL 1.2KM SE OF ARP, LIT", AIRSIDE_OPS, False),
    ("APR", "A0455/25", "STD", "Stands 12-13", "2025-04-11 00:00", "2025-12-31 23:59",
     "STANDS 12 AND 13 RESTRICTED TO CODE C ACFT DUE ADJACENT WIP", AIRSIDE_OPS, False),
    ("APR", "A0720/25", "APN", "Apron West taxilane", "2025-09-01 23:30", "2025-09-15 05:30",
     "APRON W TAXILANE CLSD NIGHTLY 2330-0530 DUE TIE-IN WORKS", "Sunita Varma", False),
    ("APR", "A0940/25", "OBST", "Stands 17-18 works area", "2025-11-24 07:00", "2025-12-12 18:00",
     "MOBILE CRANE 35M AGL WI APRON W WORKS AREA, LIT", "Mark Tolley", False),
    ("TWB", "A0602/25", "TWY", "Taxiway B TB1-TB2", "2025-06-08 23:30", "2025-09-17 05:30",
     "TWY B BTN HLDG PT B1 AND LINK B2 CLSD NIGHTLY 2330-0530 WIP", AIRSIDE_OPS, False),
    ("TWB", "A0855/25", "TWY", "Taxiway B TB3-TB5", "2025-09-07 23:30", "2026-01-08 05:30",
     "TWY B BTN LINK B2 AND HLDG PT B5 CLSD NIGHTLY 2330-0530 WIP", AIRSIDE_OPS, False),
    ("TWB", "A0871/25", "AGL", "Taxiway B centreline lights", "2025-10-19 23:30", "2025-12-08 05:30",
     "TWY B CL LGT U/S BTN LINK C AND HLDG PT B5. FOLLOW-ME AVBL ON REQUEST", "Mark Tolley", False),
    ("TWB", "A0874/25", "TWY", "Taxiway B TB4", "2025-10-26 06:00", "2025-10-27 18:00",
     "TWY B BTN LINK C AND LINK D CLSD H24", "Sunita Varma", True),
    ("TWB", "A0902/25", "TWY", "Taxiway B", "2026-01-06 23:30", "2026-01-08 05:30",
     "TWY B CLSD FOR FRICTION TEST AND REOPENING INSPECTION", AIRSIDE_OPS, False),
]

DELIVERIES = [
    # project, activity key, item code, description, quantity, unit, supplier, days late, fraction received
    ("AGL", "ltl", "AGL-INSET", "LED inset runway centreline and touchdown zone lights", 680, "EA",
     "Lumenair Airfield Lighting", 0, 1.0),
    ("AGL", "ltl", "AGL-CCR", "Constant current regulators", 12, "EA", "Lumenair Airfield Lighting", 9, 1.0),
    ("AGL", "cab1", "CBL-AGL", "Primary series circuit cable 5kV", 48000, "M", "Strand Cables", 0, 1.0),
    ("BHS", "eds", "HBS-EDS", "Standard 3 EDS hold baggage screening machines", 3, "EA", "Sentrix Detection", 110,
     1.0),
    ("BHS", "cnv", "BHS-CNV", "Conveyor sections, merges and diverters", 240, "EA", "Vantec Baggage Systems", 0,
     1.0),
    ("BHS", "cnv", "BHS-PLC", "PLC control panels", 14, "EA", "Vantec Baggage Systems", 12, 1.0),
    ("DLE", "stl", "STL-FRM", "Structural steel frame", 410, "T", "Corran Steel Fabricators", 14, 1.0),
    ("DLE", "env", "ENV-CLD", "Curtain walling and cladding panels", 1850, "M2", "Facadeline Systems", 0, 1.0),
    ("DLE", "mep", "MEP-AHU", "Air handling units", 6, "EA", "Thermavent Air Systems", 21, 0.5),
    ("DLE", "ret", "FIT-SHF", "Glazed shopfronts for retail units", 9, "EA", "Facadeline Systems", 0, 1.0),
    ("CP3", "pil", "CON-C40", "Ready-mix concrete C40 for piles", 1900, "M3", "Moorside Aggregates", 0, 1.0),
    ("CP3", "pcu", "PCU-DKU", "Precast double-tee deck units", 420, "EA", "Northway Precast Structures", 0, 1.0),
    ("CP3", "pcu", "PCU-COL", "Precast columns and beams", 260, "EA", "Northway Precast Structures", 6, 1.0),
    ("CP3", "mep", "ELE-ANPR", "ANPR cameras and barrier sets", 8, "EA", "Gatewise Parking Systems", 0, 1.0),
    ("APR", "fgp", "FEGP-400", "Fixed electrical ground power units 400Hz", 5, "EA", "Aerovolt GSE", 0, 1.0),
    ("APR", "fgp", "GSE-VDGS", "Stand entry guidance units", 5, "EA", "Aerovolt GSE", 15, 0.6),
    ("TWB", "agl1", "AGL-TCL", "LED taxiway centreline inset lights", 220, "EA", "Lumenair Airfield Lighting", 0,
     1.0),
    ("TWB", "mrk1", "MRK-PNT", "Airfield marking paint (yellow and white)", 2400, "L", "Brightline Markings", 0, 1.0),
]
DELIVERIES += [
    ("BHS", "trl", "HBS-SPR", "EDS operational spares kit", 1, "EA", "Sentrix Detection", 0, 1.0),
    ("DLE", "int", "FIT-SEAT", "Gate lounge seating units", 620, "EA", "Skyrest Seating", 0, 1.0),
    ("DLE", "fac", "FA-PNL", "Addressable fire alarm panels and devices", 1, "LOT", "Sentinel Fire Systems", 0, 1.0),
    ("CP3", "srf", "SGN-WAY", "Wayfinding signs and level markers", 140, "EA", "Roadline Signs", 0, 1.0),
    ("TWB", "mrk5", "MRK-PNT", "Airfield marking paint (second batch)", 1200, "L", "Brightline Markings", 0, 1.0),
    ("TWB", "agl5", "AGL-TCL", "LED taxiway centreline inset lights (TB4-TB5)", 90, "EA",
     "Lumenair Airfield Lighting", 10, 1.0),
]
for _s in STANDS:
    DELIVERIES.append(("APR", f"pqc{_s}", "CON-PQC", f"Pavement quality concrete for stand {_s}", 540, "M3",
                       "Moorside Aggregates", 4 if _s == 16 else 0, 1.0))
for _i, (_sec, _) in enumerate(TWB_SECTIONS, 1):
    DELIVERIES.append(("TWB", f"pav{_i}", "ASP-SC", f"Asphalt surface course, airfield grade, section {_sec}", 620,
                       "T", "Moorside Aggregates", 0, 1.0))

TEST_KINDS = {
    # kind: [(test type, system code, tested by, witness)]
    "AGLT": [("AGL insulation resistance test", "AGL", "Lumenair Airfield Lighting", "Dafydd Morgan"),
             ("AGL photometric survey", "AGL", "Airfield Photometrics Ltd", "Dafydd Morgan")],
    "FCK": [("Flight check of runway lighting", "AGL", "Flight Calibration Services", AIRSIDE_OPS)],
    "PAV": [("Asphalt core density test", "PAVT", "Geolab Materials Testing", "Imran Qureshi")],
    "MRK": [("Markings and reopening inspection", "MRK", "Airside Operations", AIRSIDE_OPS)],
    "PQC": [("Concrete cube strength test (28 day)", "PAVT", "Geolab Materials Testing", "Imran Qureshi")],
    "STD": [("FEGP load test", "FEGP", "Aerovolt GSE", "Dafydd Morgan"),
            ("Stand guidance and markings inspection", "VDGS", "Airside Operations", AIRSIDE_OPS)],
    "EDSF": [("EDS factory acceptance test", "HBS", "Sentrix Detection", "Anita Desai")],
    "SAT": [("HBS site acceptance test", "HBS", "Vantec Baggage Systems", "Anita Desai")],
    "ISAT": [("Integrated site acceptance test", "HBS", "Vantec Baggage Systems", "Anita Desai")],
    "PIL": [("Pile integrity test", "STR", "Deepline Piling", "Nia Howells")],
    "STL": [("Structural steel inspection (bolt torque and alignment)", "STR", "Brantwood Construction",
             "Nia Howells")],
    "PCF": [("Precast connection inspection", "STR", "Northway Precast Structures", "Nia Howells")],
}


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "sch_calendar", "sch_cal_exception", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    rsrc_ids, rsrc_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO res_resource VALUES (?,?,?,?,?,?,?,?,?)", (i,) + r)
        rsrc_ids[r[0]], rsrc_row[r[0]] = i, r

    plans, tasks, keys = gather_plans(PROJECTS, make_plan, lambda g: g[6])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['prj']}.{FINISH[t['prj']]}")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(p[0], f"{p[0]}.{FINISH[p[0]]}", p[7], p[10] is not None) for p in PROJECTS],
        dt.date(2031, 1, 1), CALS[OFF])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    # further slip after the re-plan on the re-baselined projects, so that they still run late
    for k, extra in AFTER_REPLAN.items():
        cdurs[k] += extra
    sb, fb, lsb, lfb, free = cpm(tasks, keys, cdurs, links, anchors)

    ids = dict(wbs=0, act=0, lnk=0, bl=0, bla=0, asg=0, prm=0, tst=0, dlv=0)
    act_ids, astat, proj_ids, states = {}, {}, {}, {}
    for p_idx, pr in enumerate(PROJECTS, 1):
        pk, code, pname, area, pm, contr, start, _, budget, cost_f, rebase = pr
        proj_ids[pk] = p_idx
        plan = plans[pk]
        akeys = [t["key"] for t in plan.tasks]
        fin = f"{pk}.{FINISH[pk]}"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE

        stage = stage_at(plan.tasks, sb, cdurs, DATA_DATE, done,
                         ("Complete", "Commissioning", "Construction", "Design"),
                         lambda t: t["wbs"] == "TST", lambda t: t["cal"] not in (OFF, ELP))
        slack = CALS[OFF].wd(fb[fin], anchors[pk])
        rag = "G" if done or slack > 10 else ("A" if slack >= 0 else "R")
        bud = budget * 1e6
        con.execute("INSERT INTO prj_project VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, code, pname, area, pm, contr, bud, round(bud * cost_f, -4), iso(start), iso(tgt[pk]),
                     iso(fin_shown), iso(fin_shown) if done else None, iso(DATA_DATE), stage, rag))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, f"{code} {pname}"):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO prj_wbs VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], p_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        for n, k in enumerate(akeys, 1):
            t = tasks[k]
            ids["act"] += 1
            act_ids[k] = ids["act"]
            a = activity_at(DATA_DATE, tasks, k, cdurs, (sb, fb, lsb, lfb, free), bl_src, bl_d, CALS, rng)
            st = {"done": "CMP", "started": "INP", "not": "NST"}[a.state]
            astat[k], states[k] = st, a.state
            typ = {"task": "Task", "start": "Start Milestone", "finish": "Finish Milestone"}[a.kind]
            con.execute("INSERT INTO sch_activity VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], p_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]], f"{code}-A{1000 + n * 10}",
                         t["name"], typ, t["area"], float(cdurs[k]), a.remaining, iso(a.bl_start), iso(a.bl_finish),
                         iso(a.start), iso(a.finish), iso(a.late_start), iso(a.late_finish), iso(a.actual_start),
                         iso(a.actual_finish), a.total_float, a.free_float, 1 if a.critical else 0, a.pct, st))
        bls = [(0, "BL0 Approved business case baseline", start + dt.timedelta(days=21), b0, d0)]
        if rebase:
            bls.append((1, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO sch_baseline VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], p_idx, no, bname, iso(bdate), DIRECTOR, 1 if no == len(bls) - 1 else 0))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, akeys, bl, bd, CALS):
                ids["bla"] += 1
                con.execute("INSERT INTO sch_baseline_act VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["lnk"] += 1
        con.execute("INSERT INTO sch_link VALUES (?,?,?,?,?)", (ids["lnk"], act_ids[p], act_ids[s], typ, float(lag)))

    # resources on activities
    kind_rsrc = dict(KIND_RSRC, AGLT=["AGL-ELEC"], SAT=["HBS-ENG", "BHS-INST"], ISAT=["HBS-ENG", "BHS-INST"],
                     TRL=["HBS-ENG", "ORAT-TEAM"], STD=["AGL-ELEC", "MRK-CREW"], FAC=["MEP-GANG"],
                     BRK=["STL-GANG"])
    for k in keys:
        t = tasks[k]
        for rc in kind_rsrc.get(t["kind"], []):
            r = rsrc_row[rc]
            cal = CALS[t["cal"]]
            hpd = cal.hrs
            base = t["dur"]
            pln = float(base * hpd * r[5])
            act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng,
                                           done_spread=(0.92, 1.12), started_spread=(0.9, 1.15))
            rate = r[6] / hpd
            ids["asg"] += 1
            con.execute("INSERT INTO res_assignment VALUES (?,?,?,?,?,?,?,?)",
                        (ids["asg"], act_ids[k], rsrc_ids[rc], pln, act, rem_h, round(pln * rate, 2),
                         round(act * rate, 2)))

    # permits: one a night for night works, one for the span of a crane lift or an airside day job
    permits = []
    night_typ = {"AGL": "POSS", "TWB": "POSS", "APR": "POSS", "BHS": "AWP", "DLE": "HOT"}
    cancel_why = {"AGL": "Cancelled - low visibility procedures in force", "TWB": "Cancelled - rain forecast, "
                  "asphalt cannot be laid", "BHS": "Cancelled - baggage system fault, hall needed for operation",
                  "DLE": "Cancelled - late arriving flights on stands 5-7"}
    late_why = {"AGL": ["Late handback - cable jointing overran", "Late handback - FOD sweep took longer",
                        "Late handback - lighting circuit fault found at test"],
                "TWB": ["Late handback - milling machine breakdown", "Late handback - FOD sweep took longer",
                        "Late handback - asphalt temperature above limit for trafficking"],
                "APR": ["Late handback - FOD sweep took longer", "Late handback - concrete saw cutting overran"]}
    horizon = DATA_DATE + dt.timedelta(days=28)
    for k in keys:
        t = tasks[k]
        pk = t["prj"]
        if t["cal"] == NGT and cdurs[k] > 0:
            cal = CALS[NGT]
            nights = []
            d = sb[k]
            while d < fb[k] and d <= horizon:
                if cal.work(d):
                    nights.append(d)
                d += D1
            past = [n for n in nights if n < DATA_DATE]
            cancelled = set(rng.sample(past, min(t["slip"], len(past)))) if pk in cancel_why else set()
            for n in nights:
                if n < DATA_DATE:
                    if n in cancelled:
                        sts, late, rmk = "CXL", None, cancel_why[pk]
                    else:
                        sts = "CLS"
                        late = 0 if night_typ[pk] == "POSS" else None
                        rmk = "Handed back on time" if late == 0 else "Work area handed back"
                        if late == 0 and rng.random() < 0.07:
                            late, rmk = rng.choice([5, 10, 15, 20, 35, 45]), rng.choice(late_why[pk])
                elif n < DATA_DATE + dt.timedelta(days=7):
                    sts, late, rmk = "APP", None, None
                elif (pk, iso(n)) in REJECTED_NIGHTS:
                    sts, late, rmk = "REJ", None, REJECTED_NIGHTS[(pk, iso(n))]
                else:
                    sts, late, rmk = "REQ", None, None
                permits.append((n, pk, k, night_typ[pk], t["area"], f"{iso(n)} 23:30", f"{iso(n + D1)} 05:30", sts,
                                late, rmk))
        elif t["kind"] in ("STL", "PCF", "PQC", "STD") or (pk == "APR" and t["kind"] == "CIV" and t["cal"] == DAY5):
            s_d, f_d = sb[k], fb[k] - D1
            if s_d > DATA_DATE + dt.timedelta(days=45):
                continue
            typ = "CRN" if t["kind"] in ("STL", "PCF") else "AWP"
            if astat[k] == "CMP":
                sts = "CLS"
            elif astat[k] == "INP":
                sts = "ACT"
            else:
                sts = "APP" if s_d <= DATA_DATE + dt.timedelta(days=14) else "REQ"
            rmk = "Crane height agreed with aerodrome safeguarding" if typ == "CRN" else "Airside works permit"
            permits.append((s_d, pk, k, typ, t["area"], f"{iso(s_d)} 07:30", f"{iso(f_d)} 17:30", sts, None, rmk))
    permits.sort(key=lambda x: (x[0], x[1], x[2]))
    seq = {}
    for n, pk, k, typ, area, s_dt, e_dt, sts, late, rmk in permits:
        ids["prm"] += 1
        seq[n.year] = seq.get(n.year, 0) + 1
        appr = None if sts == "REQ" else rng.choice(DUTY_MANAGERS)
        con.execute("INSERT INTO ops_permit VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (ids["prm"], proj_ids[pk], act_ids[k], f"{typ}-{n.year % 100:02d}-{seq[n.year]:04d}", typ, area,
                     s_dt, e_dt, sts, SITE_MANAGER[pk], appr, late, rmk))

    # restrictions (NOTAM-style and terminal operating restrictions)
    now = f"{iso(DATA_DATE)} 12:00"
    for i, (pk, ref, typ, area, f_dt, t_dt, text, who, wdn) in enumerate(RESTRICTIONS, 1):
        sts = "Withdrawn" if wdn else ("Expired" if t_dt < now else ("In Force" if f_dt <= now else "Planned"))
        con.execute("INSERT INTO ops_restriction VALUES (?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[pk], ref, typ, area, f_dt, t_dt, text, who, sts))

    # test and commissioning records of completed work
    tst_n = {}

    def record(pk, k, typ, sysc, by, witness, when, attempt, result, raised, opn, rmk):
        tst_n[pk] = tst_n.get(pk, 0) + 1
        ids["tst"] += 1
        con.execute("INSERT INTO tst_test_record VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (ids["tst"], proj_ids[pk], act_ids[k], f"TR-{PROJ[pk][1]}-{tst_n[pk]:03d}", typ, sysc, by,
                     witness, iso(when), attempt, result, raised, opn, rmk))

    fails = {"BHS.eds": "Detection algorithm below certification threshold on two threat categories",
             "BHS.sat2": "Tracking loss between EDS 2 and the level 3 reconciliation station",
             "TWB.pav3": "Core density below 96% on two cores - surface course relaid",
             "CP3.pil": "Three piles with anomalies at 4m near old fuel farm bases"}
    for k in keys:
        t = tasks[k]
        if t["kind"] not in TEST_KINDS or astat[k] != "CMP":
            continue
        pk = t["prj"]
        fin_d = fb[k] - D1
        when = fin_d + dt.timedelta(days=28) if t["kind"] == "PQC" else (
            fin_d + D1 if t["kind"] in ("PAV", "PIL") else fin_d)
        if when > DATA_DATE:
            continue
        for typ, sysc, by, witness in TEST_KINDS[t["kind"]]:
            attempt = 1
            if k in fails and sysc != "VDGS":
                if k == "CP3.pil":
                    record(pk, k, typ, sysc, by, witness, when, 1, "COND", 3, 0,
                           fails[k] + "; accepted with redesigned pile caps")
                    continue
                back = 40 if k == "BHS.eds" else 6
                record(pk, k, typ, sysc, by, witness, when - dt.timedelta(days=back), 1, "FAIL",
                       rng.randint(3, 9), 0, fails[k])
                attempt = 2
            recent = (DATA_DATE - when).days < 40
            res = rng.choices(["PASS", "COND"], [0.75, 0.25])[0]
            raised = 0 if res == "PASS" else rng.randint(1, 6)
            opn = rng.randint(1, raised) if recent and raised else 0
            rmk = "No observations" if res == "PASS" else f"{raised} observations to close out"
            if attempt == 2:
                rmk = "Retest after rectification - " + rmk.lower()
            record(pk, k, typ, sysc, by, witness, when, attempt, res, raised, opn, rmk)

    # material deliveries against purchase orders
    po = 4500100
    for pk, tk, icode, desc, qty, uom, supp, late, frac in DELIVERIES:
        k = f"{pk}.{tk}"
        need = fb[k] - D1 if tasks[k]["cal"] == ELP else sb[k] - dt.timedelta(days=7)
        req = need - dt.timedelta(days=late)
        prom = req + dt.timedelta(days=rng.choice([-5, -3, 0, 0, 2]) + late)
        arrive = prom + dt.timedelta(days=rng.choice([-1, 0, 0, 1, 3]))
        po += rng.randint(3, 40)
        rows = [(req, prom, arrive, supp)]
        if pk == "CP3" and icode == "CON-C40":
            rows.insert(0, (req - dt.timedelta(days=30), req - dt.timedelta(days=30), None, "Fenland Concrete"))
        for rq, pr_, ar, sp in rows:
            if ar is None:
                sts, got, dq = "CXL", None, 0.0
            elif ar <= DATA_DATE:
                sts, got, dq = ("PRT" if frac < 1 else "DLV"), ar, float(round(qty * frac))
            else:
                sts, got, dq = "OPN", None, 0.0
            ids["dlv"] += 1
            con.execute("INSERT INTO scm_delivery VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["dlv"], proj_ids[pk], act_ids[k], f"PO{po}", icode, desc, float(qty), dq, uom, sp,
                         iso(rq), iso(pr_), iso(got), sts))
            po += 1

    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO rsk_risk VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[r[0]], act_ids[r[1]] if r[1] else None, f"RSK-{PROJ[r[0]][1]}-{n_by[r[0]]:02d}",
                     r[2], r[3], r[4], r[5], r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))
    n_by = {}
    for i, c in enumerate(CHANGES, 1):
        n_by[c[0]] = n_by.get(c[0], 0) + 1
        con.execute("INSERT INTO chg_request VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[c[0]], f"CR-{PROJ[c[0]][1]}-{n_by[c[0]]:02d}", c[1], c[2], c[3], c[4], float(c[5]),
                     c[6], c[7], c[8]))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

PROJ_FK = ("Project (prj_project.proj_id)", "INTEGER")
ACT_FK = ("Activity (sch_activity.act_id)", "INTEGER")

TABLE_META = {
    "prj_project": ("Capital projects of the Aldermoor Airport terminal and airfield works programme: area, project "
                    "manager, main contractor, budget and forecast cost, start, target, forecast and actual "
                    "completion, data date, project status and RAG", {
        "proj_id": ("Project id", "INTEGER"),
        "proj_code": ("Project code, e.g. P2502", "TEXT"),
        "proj_name": ("Project name, e.g. Taxiway Bravo Rehabilitation", "TEXT"),
        "proj_area": ("Area of the airport: Terminal, Airfield or Landside", "TEXT"),
        "proj_mgr": ("Airport's project manager", "TEXT"),
        "main_contr": ("Main contractor", "TEXT"),
        "budget_amt": ("Approved budget, GBP", "REAL"),
        "eac_amt": ("Estimate at completion (forecast cost), GBP", "REAL"),
        "start_date": ("Project start (contract award)", "DATE"),
        "tgt_fin_date": ("Target completion date approved by the programme board; float is measured to it",
                         "DATE"),
        "fcst_fin_date": ("Forecast completion from the current schedule", "DATE"),
        "act_fin_date": ("Actual completion; null until complete", "DATE"),
        "data_date": ("Schedule data date (status date)", "DATE"),
        "proj_status": ("Project status: Design, Construction, Commissioning, Complete", "TEXT"),
        "rag": ("RAG status: R (red, forecast after target), A (amber, 10 or fewer working days float), G (green)",
                "TEXT"),
    }),
    "prj_wbs": ("WBS of each project: level 1 the project, level 2 design and approvals, procurement, "
                "construction, testing/commissioning/handover; level 3 the sections, phases, stands or levels", {
        "wbs_id": ("WBS node id", "INTEGER"),
        "proj_id": PROJ_FK,
        "parent_wbs_id": ("Parent WBS node (prj_wbs.wbs_id); null at level 1", "INTEGER"),
        "wbs_code": ("WBS code, e.g. P2502.3.4", "TEXT"),
        "wbs_name": ("WBS node name, e.g. Section TB3 - Link B2 to Link C, Stand 16, Level 2", "TEXT"),
        "wbs_lvl": ("WBS level 1-3", "INTEGER"),
    }),
    "sch_calendar": ("Work calendars: office day shift, site day shift (5 and 6 day), airside night possession "
                     "window 23:30-05:30, 7-day operational trials, 7-day elapsed", {
        "cal_id": ("Calendar id", "INTEGER"),
        "cal_code": ("Calendar code, e.g. NGT-POSS, DAY5", "TEXT"),
        "cal_name": ("Calendar name with its hours", "TEXT"),
        "work_week": ("Working days (or nights) of a normal week", "TEXT"),
        "hrs_per_day": ("Working hours a day or a possession night", "REAL"),
        "notes": ("Notes", "TEXT"),
    }),
    "sch_cal_exception": ("Non-working days of each calendar: bank holidays, the Christmas shutdown, the "
                          "Christmas and summer peak embargoes on airside possessions and single embargoed "
                          "nights. Only days that would otherwise be working days", {
        "cal_exc_id": ("Exception id", "INTEGER"),
        "cal_id": ("Calendar (sch_calendar.cal_id)", "INTEGER"),
        "exc_date": ("Non-working date (for the night calendar, the night starting that evening)", "DATE"),
        "exc_type": ("Exception type: BH (bank holiday), XMAS (Christmas shutdown or Christmas getaway embargo), "
                     "PEAK (summer peak embargo on possessions), EMB (single embargoed night)", "TEXT"),
        "exc_reason": ("Reason", "TEXT"),
    }),
    "sch_activity": ("Schedule activities and milestones of each project at the data date: early (forecast), "
                     "late, actual and current-baseline dates, durations and float in working days (possession "
                     "nights on the night calendar)", {
        "act_id": ("Activity id", "INTEGER"),
        "proj_id": PROJ_FK,
        "wbs_id": ("WBS node (prj_wbs.wbs_id)", "INTEGER"),
        "cal_id": ("Calendar (sch_calendar.cal_id)", "INTEGER"),
        "act_code": ("Activity code, e.g. P2502-A1140", "TEXT"),
        "act_name": ("Activity name", "TEXT"),
        "act_type": ("Task, Start Milestone or Finish Milestone", "TEXT"),
        "work_area": ("Where the work is, e.g. Taxiway B section TB3, Stand 16, Car Park 3 Level 2; null for "
                      "design, approvals and procurement", "TEXT"),
        "orig_dur": ("Original duration, working days", "REAL"),
        "rem_dur": ("Remaining duration, working days", "REAL"),
        "bl_start": ("Start in the current baseline; null for activities added since", "DATE"),
        "bl_finish": ("Finish in the current baseline", "DATE"),
        "es_date": ("Early (forecast) start", "DATE"),
        "ef_date": ("Early (forecast) finish", "DATE"),
        "ls_date": ("Late start; null when completed", "DATE"),
        "lf_date": ("Late finish; null when completed", "DATE"),
        "as_date": ("Actual start", "DATE"),
        "af_date": ("Actual finish", "DATE"),
        "tf_days": ("Total float (TF), working days; null when completed", "REAL"),
        "ff_days": ("Free float (FF), working days; null when completed", "REAL"),
        "crit_flag": ("Critical flag, 1 / 0", "INTEGER"),
        "pct_cmp": ("Percent complete", "REAL"),
        "act_status": ("Activity status: NST (not started), INP (in progress), CMP (completed)", "TEXT"),
    }),
    "sch_link": ("Logic links (relationships) between activities with type and lag", {
        "link_id": ("Link id", "INTEGER"),
        "pred_act_id": ("Predecessor activity (sch_activity.act_id)", "INTEGER"),
        "succ_act_id": ("Successor activity (sch_activity.act_id)", "INTEGER"),
        "link_typ": ("Link type: FS (finish to start), SS (start to start), FF (finish to finish)", "TEXT"),
        "lag_d": ("Lag in calendar days", "REAL"),
    }),
    "sch_baseline": ("Baselines of each project; curr_flag marks the one reported against", {
        "bl_id": ("Baseline id", "INTEGER"),
        "proj_id": PROJ_FK,
        "bl_num": ("Baseline number within the project (0 = approved business case baseline)", "INTEGER"),
        "bl_name": ("Baseline name", "TEXT"),
        "set_date": ("Date the baseline was set", "DATE"),
        "appr_by": ("Approver (the programme director)", "TEXT"),
        "curr_flag": ("1 for the current baseline", "INTEGER"),
    }),
    "sch_baseline_act": ("Activity dates, durations and float as stored in each baseline", {
        "bl_act_id": ("Id", "INTEGER"),
        "bl_id": ("Baseline (sch_baseline.bl_id)", "INTEGER"),
        "act_id": ACT_FK,
        "bl_start": ("Baseline start", "DATE"),
        "bl_finish": ("Baseline finish", "DATE"),
        "bl_dur": ("Baseline duration, working days", "REAL"),
        "bl_tf_days": ("Baseline total float, working days", "REAL"),
    }),
    "res_resource": ("Resources: contractors' crews and gangs (LAB) and plant (EQP) such as pavers, milling "
                     "machines, rollers, cranes and piling rigs, with units and day rate", {
        "rsrc_id": ("Resource id", "INTEGER"),
        "rsrc_code": ("Resource code, e.g. PAV-TRK, CRN-TC1", "TEXT"),
        "rsrc_name": ("Resource name", "TEXT"),
        "rsrc_typ": ("Resource type: LAB (labour crew), EQP (plant and equipment)", "TEXT"),
        "trade": ("Trade or plant category, e.g. Surfacing, Paving, Milling, Lifting, Electrical", "TEXT"),
        "company": ("Company that provides the crew or plant", "TEXT"),
        "units": ("Headcount of a crew, or number of machines", "INTEGER"),
        "day_rate": ("Rate per unit per working day (or night), GBP", "REAL"),
        "supervisor": ("Contractor's supervisor or foreman", "TEXT"),
    }),
    "res_assignment": ("Resource assignments to activities with planned, actual and remaining hours and cost", {
        "assn_id": ("Assignment id", "INTEGER"),
        "act_id": ACT_FK,
        "rsrc_id": ("Resource (res_resource.rsrc_id)", "INTEGER"),
        "plan_hrs": ("Planned hours (person-hours or machine-hours)", "REAL"),
        "act_hrs": ("Actual hours to the data date", "REAL"),
        "rem_hrs": ("Remaining hours", "REAL"),
        "plan_cost": ("Planned cost, GBP", "REAL"),
        "act_cost": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "ops_permit": ("Airside work permits and possession bookings: one a night for night works (possessions of "
                   "runway, taxiway or apron, baggage hall night works, hot works), one for the span of a crane "
                   "lift or airside day job; booked up to four weeks ahead", {
        "permit_id": ("Permit id", "INTEGER"),
        "proj_id": PROJ_FK,
        "act_id": ("Activity the permit is for (sch_activity.act_id)", "INTEGER"),
        "permit_no": ("Permit number, e.g. POSS-25-0412", "TEXT"),
        "permit_typ": ("Permit type: POSS (airside possession), AWP (airside works permit), HOT (hot works), CRN "
                       "(crane permit, aerodrome safeguarding)", "TEXT"),
        "work_area": ("Area the permit covers", "TEXT"),
        "start_dt": ("Start, YYYY-MM-DD HH:MM (a night possession starts 23:30)", "DATETIME"),
        "end_dt": ("End, YYYY-MM-DD HH:MM (a night possession hands back 05:30 next morning)", "DATETIME"),
        "permit_status": ("Permit status: REQ (requested), APP (approved), ACT (active), CLS (closed), REJ "
                          "(rejected), CXL (cancelled)", "TEXT"),
        "req_by": ("Contractor's site manager who requested it", "TEXT"),
        "appr_by": ("Duty airside operations manager who approved or rejected it; null while requested", "TEXT"),
        "handback_late_min": ("Minutes the possession was handed back late (0 = on time); null unless a closed "
                              "possession", "INTEGER"),
        "remarks": ("Remarks", "TEXT"),
    }),
    "ops_restriction": ("Operational restrictions the works impose: NOTAM-style closures of runway, taxiways, "
                        "stands and apron, crane obstacles, lighting unserviceable, and terminal operating "
                        "restrictions", {
        "restr_id": ("Restriction id", "INTEGER"),
        "proj_id": PROJ_FK,
        "restr_ref": ("NOTAM number (e.g. A0855/25) or terminal restriction reference (OPS-25-044)", "TEXT"),
        "restr_typ": ("Type: RWY (runway), TWY (taxiway), STD (stands), APN (apron), AGL (lighting unserviceable), "
                      "OBST (crane or obstacle), TRM (terminal / baggage operation)", "TEXT"),
        "area": ("Area affected", "TEXT"),
        "eff_from": ("In force from, YYYY-MM-DD HH:MM", "DATETIME"),
        "eff_to": ("In force until, YYYY-MM-DD HH:MM", "DATETIME"),
        "restr_text": ("Text as published", "TEXT"),
        "issued_by": ("Airside operations manager who issued it", "TEXT"),
        "restr_status": ("Status at the data date: Planned, In Force, Expired, Withdrawn", "TEXT"),
    }),
    "rsk_risk": ("Risk register of the programme", {
        "risk_id": ("Risk id", "INTEGER"),
        "proj_id": PROJ_FK,
        "act_id": ("Activity the risk affects (sch_activity.act_id); may be null", "INTEGER"),
        "risk_ref": ("Risk reference, e.g. RSK-P2402-02", "TEXT"),
        "risk_title": ("Risk title", "TEXT"),
        "risk_cat": ("Risk category, e.g. Weather, Supply chain, Operational, Ground conditions", "TEXT"),
        "prob": ("Probability 1-5", "INTEGER"),
        "impact": ("Impact 1-5", "INTEGER"),
        "score": ("Probability x impact", "INTEGER"),
        "cost_exp": ("Cost exposure, GBP", "REAL"),
        "sched_exp_d": ("Schedule exposure, days", "REAL"),
        "owner": ("Risk owner", "TEXT"),
        "mitigation": ("Mitigation", "TEXT"),
        "risk_status": ("Risk status: Open, Closed, Occurred (the risk happened)", "TEXT"),
        "raised_date": ("Date raised", "DATE"),
        "review_date": ("Next review date", "DATE"),
    }),
    "chg_request": ("Change requests of the projects with cost and time impact and status", {
        "cr_id": ("Change request id", "INTEGER"),
        "proj_id": PROJ_FK,
        "cr_ref": ("Change reference, e.g. CR-P2403-03", "TEXT"),
        "cr_title": ("Change title", "TEXT"),
        "cr_typ": ("Change type: Scope, Design, Programme, Commercial", "TEXT"),
        "raised_by": ("Person who raised it", "TEXT"),
        "cost_impact": ("Cost impact, GBP", "REAL"),
        "time_impact_d": ("Time impact, days (negative = acceleration)", "REAL"),
        "cr_status": ("Change status: SUB (submitted), REV (under review), APR (approved), REJ (rejected), WDN "
                      "(withdrawn)", "TEXT"),
        "raised_date": ("Date raised", "DATE"),
        "decision_date": ("Date approved or rejected; null while open or withdrawn", "DATE"),
    }),
    "tst_test_record": ("Test and commissioning records of completed work: AGL insulation resistance tests, "
                        "photometric surveys and flight check, HBS factory and site acceptance tests and the "
                        "integrated SAT, asphalt core and concrete cube tests, FEGP load tests, stand and "
                        "markings inspections, pile integrity and structural inspections; a failed test is "
                        "repeated with the next attempt number", {
        "test_id": ("Test record id", "INTEGER"),
        "proj_id": PROJ_FK,
        "act_id": ("Activity whose work was tested (sch_activity.act_id)", "INTEGER"),
        "test_ref": ("Test reference, e.g. TR-P2402-004", "TEXT"),
        "test_typ": ("Kind of test or inspection", "TEXT"),
        "sys_code": ("System tested: AGL, HBS, PAVT (pavement), FEGP, VDGS (stand guidance), MRK (markings), STR "
                     "(structure)", "TEXT"),
        "tested_by": ("Organisation that carried out the test", "TEXT"),
        "witness": ("Airport's witness", "TEXT"),
        "test_date": ("Date of the test", "DATE"),
        "attempt_no": ("Attempt number (1 = first test, 2 = retest)", "INTEGER"),
        "result": ("Result: PASS, FAIL, COND (passed with observations to close out)", "TEXT"),
        "defects_raised": ("Defects or observations raised", "INTEGER"),
        "defects_open": ("Defects still open at the data date", "INTEGER"),
        "remarks": ("Remarks", "TEXT"),
    }),
    "scm_delivery": ("Material and equipment deliveries against purchase orders: light fittings, CCRs and cable, "
                     "EDS machines and conveyors, structural steel, cladding, air handling units, precast units, "
                     "concrete, asphalt, FEGP and guidance units, paint, seating and signs", {
        "dlv_id": ("Delivery id", "INTEGER"),
        "proj_id": PROJ_FK,
        "act_id": ("Activity that needs it (sch_activity.act_id)", "INTEGER"),
        "po_num": ("Purchase order number", "TEXT"),
        "item_code": ("Item code, e.g. HBS-EDS, ASP-SC", "TEXT"),
        "item_desc": ("Item description", "TEXT"),
        "qty_ord": ("Quantity ordered", "REAL"),
        "qty_rcvd": ("Quantity received so far", "REAL"),
        "uom": ("Unit of measure: EA (each), T (tonnes), M (metres), M2, M3, L (litres), LOT", "TEXT"),
        "supplier": ("Supplier", "TEXT"),
        "req_date": ("Date required on site", "DATE"),
        "prom_date": ("Date promised by the supplier", "DATE"),
        "rcvd_date": ("Date received; null until received", "DATE"),
        "dlv_status": ("Delivery status: OPN (on order), DLV (delivered in full), PRT (partly delivered), CXL "
                       "(cancelled)", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("prj_wbs", "prj_project", "prj_wbs.proj_id = prj_project.proj_id", "WBS of a project"),
    ("prj_wbs", "prj_wbs", "prj_wbs.parent_wbs_id = prj_wbs.wbs_id", "Parent WBS node"),
    ("sch_cal_exception", "sch_calendar", "sch_cal_exception.cal_id = sch_calendar.cal_id",
     "Non-working days of a calendar"),
    ("sch_activity", "prj_project", "sch_activity.proj_id = prj_project.proj_id", "Activities of a project"),
    ("sch_activity", "prj_wbs", "sch_activity.wbs_id = prj_wbs.wbs_id", "WBS node of an activity"),
    ("sch_activity", "sch_calendar", "sch_activity.cal_id = sch_calendar.cal_id", "Calendar of an activity"),
    ("sch_link", "sch_activity", "sch_link.pred_act_id = sch_activity.act_id", "Predecessor of a link"),
    ("sch_link", "sch_activity", "sch_link.succ_act_id = sch_activity.act_id", "Successor of a link"),
    ("sch_baseline", "prj_project", "sch_baseline.proj_id = prj_project.proj_id", "Baselines of a project"),
    ("sch_baseline_act", "sch_baseline", "sch_baseline_act.bl_id = sch_baseline.bl_id", "Rows of a baseline"),
    ("sch_baseline_act", "sch_activity", "sch_baseline_act.act_id = sch_activity.act_id",
     "Activity a baseline row stores"),
    ("res_assignment", "res_resource", "res_assignment.rsrc_id = res_resource.rsrc_id", "Resource of an assignment"),
    ("res_assignment", "sch_activity", "res_assignment.act_id = sch_activity.act_id",
     "Activity a resource is assigned to"),
    ("ops_permit", "prj_project", "ops_permit.proj_id = prj_project.proj_id", "Permits of a project"),
    ("ops_permit", "sch_activity", "ops_permit.act_id = sch_activity.act_id", "Activity a permit is for"),
    ("ops_restriction", "prj_project", "ops_restriction.proj_id = prj_project.proj_id",
     "Restrictions a project imposes"),
    ("rsk_risk", "prj_project", "rsk_risk.proj_id = prj_project.proj_id", "Risks of a project"),
    ("rsk_risk", "sch_activity", "rsk_risk.act_id = sch_activity.act_id", "Activity a risk affects"),
    ("chg_request", "prj_project", "chg_request.proj_id = prj_project.proj_id", "Change requests of a project"),
    ("tst_test_record", "prj_project", "tst_test_record.proj_id = prj_project.proj_id", "Tests of a project"),
    ("tst_test_record", "sch_activity", "tst_test_record.act_id = sch_activity.act_id",
     "Activity whose work was tested"),
    ("scm_delivery", "prj_project", "scm_delivery.proj_id = prj_project.proj_id", "Deliveries of a project"),
    ("scm_delivery", "sch_activity", "scm_delivery.act_id = sch_activity.act_id", "Activity a delivery is for"),
]

BUSINESS_RULES = {
    ("sch_activity", "act_status"): ["Allowed Values: NST (not started), INP (in progress), CMP (completed)"],
    ("sch_activity", "act_type"): ["Allowed Values: Task, Start Milestone, Finish Milestone; milestones have "
                                   "orig_dur = 0"],
    ("sch_activity", "crit_flag"): ["Allowed Values: 1, 0", "Critical: crit_flag = 1 when tf_days <= 0; completed "
                                    "activities are 0"],
    ("sch_activity", "tf_days"): ["Negative float: forecast finish after the project's target completion date"],
    ("sch_activity", "bl_finish"): ["Slipped: ef_date > bl_finish"],
    ("sch_link", "link_typ"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to finish)"],
    ("sch_baseline", "curr_flag"): ["Allowed Values: 1, 0; one current baseline per project"],
    ("sch_cal_exception", "exc_type"): ["Allowed Values: BH (bank holiday), XMAS (Christmas shutdown / Christmas "
                                        "getaway embargo), PEAK (summer peak embargo), EMB (embargoed night)"],
    ("prj_project", "proj_status"): ["Allowed Values: Design, Construction, Commissioning, Complete"],
    ("prj_project", "rag"): ["Allowed Values: R (red - forecast after target completion), A (amber - 10 or fewer "
                             "working days float), G (green)"],
    ("prj_project", "proj_area"): ["Allowed Values: Terminal, Airfield, Landside"],
    ("res_resource", "rsrc_typ"): ["Allowed Values: LAB (labour crew), EQP (plant)"],
    ("ops_permit", "permit_status"): ["Allowed Values: REQ (requested), APP (approved), ACT (active), CLS (closed), "
                                      "REJ (rejected), CXL (cancelled)"],
    ("ops_permit", "permit_typ"): ["Allowed Values: POSS (airside possession), AWP (airside works permit), HOT (hot "
                                   "works), CRN (crane permit)"],
    ("ops_permit", "handback_late_min"): ["Late handback: handback_late_min > 0"],
    ("ops_restriction", "restr_status"): ["Allowed Values: Planned, In Force, Expired, Withdrawn"],
    ("ops_restriction", "restr_typ"): ["Allowed Values: RWY, TWY, STD, APN, AGL, OBST, TRM"],
    ("rsk_risk", "risk_status"): ["Allowed Values: Open, Closed, Occurred (the risk happened)"],
    ("rsk_risk", "score"): ["High risk: score >= 12"],
    ("chg_request", "cr_status"): ["Allowed Values: SUB (submitted), REV (under review), APR (approved), REJ "
                                   "(rejected), WDN (withdrawn)", "Open: cr_status IN ('SUB', 'REV')"],
    ("tst_test_record", "result"): ["Allowed Values: PASS, FAIL, COND (passed with observations)"],
    ("scm_delivery", "dlv_status"): ["Allowed Values: OPN (on order), DLV (delivered), PRT (partly delivered), CXL "
                                     "(cancelled)", "Late: rcvd_date > req_date"],
}

CONCEPTS = {
    ("sch_activity", "tf_days"): ["total_float", "critical_path"],
    ("sch_activity", "ff_days"): ["free_float"],
    ("sch_activity", "crit_flag"): ["critical_path"],
    ("sch_activity", "pct_cmp"): ["percent_complete"],
    ("sch_activity", "bl_finish"): ["baseline_variance"],
    ("sch_baseline_act", "bl_finish"): ["baseline_variance"],
    ("sch_link", "lag_d"): ["lag"],
    ("prj_project", "eac_amt"): ["cost_variance"],
    ("prj_project", "tgt_fin_date"): ["target_completion"],
    ("rsk_risk", "score"): ["risk_exposure"],
    ("ops_permit", "permit_typ"): ["possession"],
    ("ops_permit", "handback_late_min"): ["late_handback"],
    ("ops_restriction", "restr_ref"): ["notam"],
    ("tst_test_record", "defects_open"): ["open_defects"],
    ("sch_cal_exception", "exc_date"): ["embargo"],
    ("res_assignment", "act_cost"): ["resource_cost"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before the project misses its target completion date",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a project's completion",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a link in calendar days, e.g. concrete curing before stand fit-out",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Estimate at completion against budget",
    "target_completion": "Completion date approved by the programme board",
    "risk_exposure": "Probability x impact score of a risk",
    "possession": "Closure of an area of the airfield to aircraft so that the contractor can work, normally "
                  "overnight 23:30-05:30",
    "late_handback": "Possession handed back to airside operations after 05:30",
    "notam": "Notice to airmen publishing a closure, obstacle or unserviceable lighting",
    "open_defects": "Test or inspection observations not yet closed",
    "embargo": "Periods with no airside possessions: the Christmas getaway, the summer peak and single nights",
    "resource_cost": "Cost of crews and plant booked to activities",
}

QUERY_EXAMPLES = [
    ("SELECT proj_code, proj_name, tgt_fin_date, fcst_fin_date, rag FROM prj_project ORDER BY tgt_fin_date;",
     "Projects with target and forecast completion", "simple"),
    ("SELECT a.act_code, a.act_name, a.es_date, a.tf_days FROM sch_activity a JOIN prj_project p ON p.proj_id = "
     "a.proj_id WHERE p.proj_code = 'P2404' AND a.crit_flag = 1 ORDER BY a.es_date;",
     "Critical activities of a project", "medium"),
    ("SELECT p.proj_name, COUNT(*) AS nights FROM ops_permit o JOIN prj_project p ON p.proj_id = o.proj_id WHERE "
     "o.permit_typ = 'POSS' AND o.permit_status = 'CLS' GROUP BY p.proj_name;", "Possession nights used by project",
     "medium"),
    ("SELECT a.act_code, a.act_name, b.bl_finish, a.ef_date FROM sch_activity a JOIN sch_baseline_act b ON "
     "b.act_id = a.act_id JOIN sch_baseline l ON l.bl_id = b.bl_id WHERE l.curr_flag = 1 AND a.ef_date > "
     "b.bl_finish;", "Activities forecast to finish later than the current baseline", "complex"),
    ("SELECT restr_ref, area, eff_from, eff_to, restr_text FROM ops_restriction WHERE restr_status = 'In Force';",
     "Restrictions in force", "simple"),
    ("SELECT test_ref, test_typ, test_date, defects_open FROM tst_test_record WHERE defects_open > 0;",
     "Tests with defects still open", "simple"),
    ("SELECT po_num, item_desc, req_date, rcvd_date FROM scm_delivery WHERE rcvd_date > req_date;",
     "Deliveries received after the date required", "simple"),
    ("SELECT e.exc_date, e.exc_reason FROM sch_cal_exception e JOIN sch_calendar c ON c.cal_id = e.cal_id WHERE "
     "c.cal_code = 'NGT-POSS' AND e.exc_date >= '2025-11-21' ORDER BY e.exc_date;",
     "Coming nights with no possessions", "medium"),
    ("SELECT r.cr_ref, r.cr_title, r.cost_impact FROM chg_request r JOIN prj_project p ON p.proj_id = r.proj_id "
     "WHERE p.proj_code = 'P2403' AND r.cr_status IN ('SUB', 'REV');", "Open change requests of a project", "medium"),
    ("SELECT s.rsrc_name, SUM(a.act_cost) AS cost FROM res_assignment a JOIN res_resource s ON s.rsrc_id = "
     "a.rsrc_id WHERE s.rsrc_typ = 'EQP' GROUP BY s.rsrc_name ORDER BY cost DESC;", "Actual plant cost by machine",
     "medium"),
]

KEYWORDS = {
    "float": ["sch_activity.tf_days", "sch_activity.ff_days", "total_float"],
    "TF": ["sch_activity.tf_days"],
    "critical": ["sch_activity.crit_flag", "critical_path"],
    "predecessor": ["sch_link.pred_act_id", "sch_link"],
    "successor": ["sch_link.succ_act_id", "sch_link"],
    "baseline": ["sch_baseline", "sch_baseline_act", "baseline_variance"],
    "project": ["prj_project"],
    "scheme": ["prj_project"],
    "possession": ["ops_permit.permit_typ", "possession"],
    "permit": ["ops_permit"],
    "handback": ["ops_permit.handback_late_min", "late_handback"],
    "NOTAM": ["ops_restriction", "notam"],
    "closure": ["ops_restriction"],
    "embargo": ["sch_cal_exception", "embargo"],
    "crew": ["res_resource", "res_assignment"],
    "gang": ["res_resource"],
    "plant": ["res_resource.rsrc_typ"],
    "paver": ["res_resource"],
    "crane": ["res_resource", "ops_permit.permit_typ"],
    "test": ["tst_test_record"],
    "SAT": ["tst_test_record.test_typ"],
    "HBS": ["tst_test_record.sys_code", "prj_project"],
    "AGL": ["tst_test_record.sys_code", "prj_project"],
    "PO": ["scm_delivery.po_num"],
    "delivery": ["scm_delivery"],
    "risk": ["rsk_risk"],
    "CR": ["chg_request"],
    "variation": ["chg_request"],
    "bank holiday": ["sch_cal_exception"],
    "stand": ["sch_activity.work_area", "prj_wbs.wbs_name"],
    "taxiway": ["sch_activity.work_area", "prj_project"],
}

TERMINOLOGY = {
    "possession": "Period when an area of the airfield is handed to the contractor and closed to aircraft",
    "handback": "Returning the possession area to airside operations, inspected and clear of FOD",
    "NOTAM": "Notice to airmen",
    "AGL": "Airfield ground lighting",
    "CCR": "Constant current regulator feeding an AGL series circuit",
    "HBS": "Hold baggage screening",
    "EDS": "Explosive detection system (Standard 3 screening machine)",
    "BHS": "Baggage handling system",
    "SAT": "Site acceptance test",
    "FAT": "Factory acceptance test",
    "ORAT": "Operational readiness and airport transfer trials",
    "FEGP": "Fixed electrical ground power for aircraft on stand",
    "VDGS": "Visual docking guidance system (stand entry guidance)",
    "PQC": "Pavement quality concrete",
    "TWY": "Taxiway",
    "FOD": "Foreign object debris",
    "MSCP": "Multi-storey (decked) car park",
    "TF": "Total float",
    "FF": "Free float",
    "EAC": "Estimate at completion",
    "data date": "Date up to which progress is recorded (2025-11-21)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
}

RELATED_TERMS = {
    "prj_project": "project, scheme, programme, job",
    "sch_activity": "activity, task, schedule line, programme",
    "prj_wbs": "WBS, work breakdown, section, stand, level, phase",
    "res_resource": "resource, crew, gang, plant, machine, paver, planer, crane, rig",
    "res_assignment": "assignment, hours, labour cost, plant cost",
    "rsk_risk": "risk, risk register",
    "chg_request": "change request, CR, change, variation",
    "tst_test_record": "test, trial, SAT, FAT, inspection, commissioning, defect",
    "scm_delivery": "delivery, materials, purchase order, PO",
    "ops_permit": "permit, possession, booking, night, hot works",
    "ops_restriction": "NOTAM, closure, restriction, obstacle",
    "sch_link": "link, relationship, dependency, logic",
    "sch_calendar": "calendar, shift, possession window",
    "sch_cal_exception": "holiday, non-working day, embargo, shutdown",
    "sch_baseline": "baseline",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout19"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="sch_activity")


if __name__ == "__main__":
    sys.exit(main())
