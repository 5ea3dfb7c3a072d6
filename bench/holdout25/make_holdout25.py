#!/usr/bin/env python3
"""Build the twenty-fifth schedule database (a highways authority's road improvement programme, singular
lower camelCase tables with an hw prefix) and its metadata.

Wessenden Highways Authority runs five schemes of its Orrin Valley road improvement programme: the M47
Junction 14 (Fenwick Interchange) upgrade, the A412 Ashby Cross to Market Lydden dual-carriageway widening,
the A39 Saltmarsh Bypass with two new bridges (River Orrin Bridge and Kettlebrook Road Overbridge), lot 3
of the carriageway resurfacing framework and the A6 corridor smart signals and ITS installation. Each
scheme has its WBS, tasks on office, day-works, six-day earthworks, night-works, weekend closure and elapsed
calendars (Christmas road works embargo, bank holidays, event embargoes), logic with lags, baselines
(original and re-baseline), gangs, plant and subcontractors with assignments, traffic management phases,
road and lane closures, statutory utility diversions, daily earthworks quantities, asphalt shifts by
pavement layer, environmental constraints, inspections, defects and risks. The junction upgrade was
re-baselined after an unrecorded gas main was found; the bypass after the River Orrin Bridge piles had to
be redesigned.

Named the way the authority's programme database names things: singular lower camelCase tables with an hw
prefix (hwScheme, hwTask, hwTaskRelation, hwClosure) and snake_case columns in a civil engineer's words
(task_reference, task_title, forecast_start, forecast_finish, total_float, is_critical, percent_done,
task_state).

Durations, remaining durations and float are in WORKING DAYS (or nights) of the task's calendar; lags are
calendar days. Each scheme is scheduled by one forward and backward pass against its contract completion
date. Data date 2025-09-19.

Outputs go to bench/out/holdout25/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 252525
DATA_DATE = dt.date(2025, 9, 19)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import (WorkDays, activity_at, anchored_baselines, assignment_hours,  # noqa: E402
                            baseline_activities, check_with_history, default_out, forward_backward, gather_plans,
                            describe_tables, main as build_main, metadata_document, day_span as _span,
                            insert_calendars, iso, logic_links, parse_pred, shown_dates, stage_at, wbs_rows,
                            worked_days)
DB_NAME = "holdout25_schedule.db"
META_NAME = "holdout25_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE hwScheme (
    scheme_id INTEGER PRIMARY KEY, scheme_code TEXT NOT NULL UNIQUE, scheme_name TEXT NOT NULL,
    route_number TEXT NOT NULL, district TEXT NOT NULL, scheme_manager TEXT NOT NULL,
    principal_contractor TEXT NOT NULL, budget_gbp REAL NOT NULL, forecast_outturn_gbp REAL NOT NULL,
    start_of_works TEXT NOT NULL, contract_completion TEXT NOT NULL, forecast_completion TEXT NOT NULL,
    actual_completion TEXT, data_date TEXT NOT NULL, scheme_stage TEXT NOT NULL, rag_status TEXT NOT NULL
);
CREATE TABLE hwWbsNode (
    wbs_node_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    parent_node_id INTEGER REFERENCES hwWbsNode(wbs_node_id), wbs_code TEXT NOT NULL, wbs_title TEXT NOT NULL,
    wbs_level INTEGER NOT NULL
);
CREATE TABLE hwCalendar (
    calendar_id INTEGER PRIMARY KEY, calendar_code TEXT NOT NULL UNIQUE, calendar_title TEXT NOT NULL,
    working_pattern TEXT NOT NULL, hours_per_shift REAL NOT NULL, calendar_notes TEXT
);
CREATE TABLE hwCalendarException (
    exception_id INTEGER PRIMARY KEY, calendar_id INTEGER NOT NULL REFERENCES hwCalendar(calendar_id),
    exception_date TEXT NOT NULL, exception_type TEXT NOT NULL, exception_reason TEXT NOT NULL
);
CREATE TABLE hwTask (
    task_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    wbs_node_id INTEGER NOT NULL REFERENCES hwWbsNode(wbs_node_id),
    calendar_id INTEGER NOT NULL REFERENCES hwCalendar(calendar_id), task_reference TEXT NOT NULL UNIQUE,
    task_title TEXT NOT NULL, task_type TEXT NOT NULL, work_location TEXT, duration_days REAL NOT NULL,
    remaining_days REAL NOT NULL, baseline_start TEXT, baseline_finish TEXT, forecast_start TEXT NOT NULL,
    forecast_finish TEXT NOT NULL, late_start TEXT, late_finish TEXT, actual_start TEXT, actual_finish TEXT,
    total_float REAL, free_float REAL, is_critical INTEGER NOT NULL, percent_done REAL NOT NULL,
    task_state TEXT NOT NULL
);
CREATE TABLE hwTaskRelation (
    relation_id INTEGER PRIMARY KEY, predecessor_task_id INTEGER NOT NULL REFERENCES hwTask(task_id),
    successor_task_id INTEGER NOT NULL REFERENCES hwTask(task_id), relation_type TEXT NOT NULL,
    lag_days REAL NOT NULL
);
CREATE TABLE hwBaseline (
    baseline_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    baseline_number INTEGER NOT NULL, baseline_name TEXT NOT NULL, approved_date TEXT NOT NULL,
    approved_by TEXT NOT NULL, is_current INTEGER NOT NULL
);
CREATE TABLE hwBaselineTask (
    baseline_task_id INTEGER PRIMARY KEY, baseline_id INTEGER NOT NULL REFERENCES hwBaseline(baseline_id),
    task_id INTEGER NOT NULL REFERENCES hwTask(task_id), bl_start TEXT NOT NULL, bl_finish TEXT NOT NULL,
    bl_duration_days REAL NOT NULL, bl_total_float REAL
);
CREATE TABLE hwResource (
    resource_id INTEGER PRIMARY KEY, resource_code TEXT NOT NULL UNIQUE, resource_name TEXT NOT NULL,
    resource_type TEXT NOT NULL, trade TEXT NOT NULL, supplier TEXT NOT NULL, crew_size INTEGER NOT NULL,
    day_rate_gbp REAL NOT NULL, foreman TEXT NOT NULL
);
CREATE TABLE hwResourceAssignment (
    assignment_id INTEGER PRIMARY KEY, task_id INTEGER NOT NULL REFERENCES hwTask(task_id),
    resource_id INTEGER NOT NULL REFERENCES hwResource(resource_id), planned_hours REAL NOT NULL,
    actual_hours REAL NOT NULL, remaining_hours REAL NOT NULL, planned_cost_gbp REAL NOT NULL,
    actual_cost_gbp REAL NOT NULL
);
CREATE TABLE hwTmPhase (
    tm_phase_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    tm_phase_code TEXT NOT NULL UNIQUE, phase_title TEXT NOT NULL, tm_layout TEXT NOT NULL,
    speed_limit_mph INTEGER NOT NULL, lanes_open TEXT NOT NULL, phase_start TEXT NOT NULL, phase_end TEXT NOT NULL,
    phase_state TEXT NOT NULL
);
CREATE TABLE hwClosure (
    closure_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    tm_phase_id INTEGER REFERENCES hwTmPhase(tm_phase_id), task_id INTEGER NOT NULL REFERENCES hwTask(task_id),
    closure_reference TEXT NOT NULL UNIQUE, road_name TEXT NOT NULL, closure_type TEXT NOT NULL,
    carriageway TEXT NOT NULL, closure_start TEXT NOT NULL, closure_end TEXT NOT NULL, reopened_at TEXT,
    closure_status TEXT NOT NULL, overran INTEGER NOT NULL, overrun_minutes INTEGER NOT NULL,
    diversion_route TEXT
);
CREATE TABLE hwUtilityDiversion (
    diversion_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    task_id INTEGER NOT NULL REFERENCES hwTask(task_id), diversion_reference TEXT NOT NULL UNIQUE,
    utility_company TEXT NOT NULL, apparatus TEXT NOT NULL, notice_type TEXT NOT NULL, notice_served_date TEXT NOT NULL,
    diversion_status TEXT NOT NULL, planned_start TEXT NOT NULL, planned_finish TEXT NOT NULL,
    forecast_start TEXT NOT NULL, forecast_finish TEXT NOT NULL, actual_start TEXT, actual_finish TEXT,
    estimate_gbp REAL NOT NULL
);
CREATE TABLE hwDailyQuantity (
    quantity_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    task_id INTEGER NOT NULL REFERENCES hwTask(task_id), work_date TEXT NOT NULL, cut_m3 REAL NOT NULL,
    fill_m3 REAL NOT NULL, haul_loads INTEGER NOT NULL
);
CREATE TABLE hwAsphaltShift (
    asphalt_shift_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    task_id INTEGER NOT NULL REFERENCES hwTask(task_id), resource_id INTEGER NOT NULL REFERENCES hwResource(resource_id),
    shift_date TEXT NOT NULL, shift_type TEXT NOT NULL, pavement_layer TEXT NOT NULL, mix_designation TEXT NOT NULL,
    tonnes_laid REAL NOT NULL, target_tonnes REAL NOT NULL
);
CREATE TABLE hwEnvConstraint (
    constraint_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    task_id INTEGER REFERENCES hwTask(task_id), constraint_reference TEXT NOT NULL UNIQUE,
    constraint_type TEXT NOT NULL, constraint_detail TEXT NOT NULL, window_start TEXT NOT NULL,
    window_end TEXT NOT NULL, restriction TEXT NOT NULL, consent_reference TEXT, constraint_owner TEXT NOT NULL,
    constraint_status TEXT NOT NULL
);
CREATE TABLE hwInspection (
    inspection_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    task_id INTEGER NOT NULL REFERENCES hwTask(task_id), inspection_reference TEXT NOT NULL UNIQUE,
    inspection_type TEXT NOT NULL, inspection_date TEXT NOT NULL, inspector TEXT NOT NULL,
    inspection_result TEXT NOT NULL
);
CREATE TABLE hwDefect (
    defect_id INTEGER PRIMARY KEY, inspection_id INTEGER NOT NULL REFERENCES hwInspection(inspection_id),
    defect_reference TEXT NOT NULL UNIQUE, defect_description TEXT NOT NULL, severity TEXT NOT NULL,
    raised_date TEXT NOT NULL, target_close_date TEXT NOT NULL, closed_date TEXT, defect_state TEXT NOT NULL
);
CREATE TABLE hwRisk (
    risk_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES hwScheme(scheme_id),
    task_id INTEGER REFERENCES hwTask(task_id), risk_reference TEXT NOT NULL UNIQUE, risk_title TEXT NOT NULL,
    risk_category TEXT NOT NULL, likelihood INTEGER NOT NULL, impact INTEGER NOT NULL, risk_rating INTEGER NOT NULL,
    risk_owner TEXT NOT NULL, risk_status TEXT NOT NULL, cost_exposure_gbp REAL NOT NULL,
    delay_exposure_days REAL NOT NULL, mitigation TEXT NOT NULL, raised_date TEXT NOT NULL, next_review TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

BANK_HOLIDAYS = {
    "2023-12-25": "Christmas Day", "2023-12-26": "Boxing Day", "2024-01-01": "New Year's Day",
    "2024-03-29": "Good Friday", "2024-04-01": "Easter Monday", "2024-05-06": "Early May bank holiday",
    "2024-05-27": "Spring bank holiday", "2024-08-26": "Summer bank holiday", "2024-12-25": "Christmas Day",
    "2024-12-26": "Boxing Day", "2025-01-01": "New Year's Day", "2025-04-18": "Good Friday",
    "2025-04-21": "Easter Monday", "2025-05-05": "Early May bank holiday", "2025-05-26": "Spring bank holiday",
    "2025-08-25": "Summer bank holiday", "2025-12-25": "Christmas Day", "2025-12-26": "Boxing Day",
    "2026-01-01": "New Year's Day", "2026-04-03": "Good Friday", "2026-04-06": "Easter Monday",
    "2026-05-04": "Early May bank holiday", "2026-05-25": "Spring bank holiday", "2026-08-31": "Summer bank holiday",
    "2026-12-25": "Christmas Day", "2026-12-28": "Boxing Day (substitute)", "2027-01-01": "New Year's Day",
    "2027-03-26": "Good Friday", "2027-03-29": "Easter Monday", "2027-05-03": "Early May bank holiday",
    "2023-08-28": "Summer bank holiday",
}
CAL_FROM, CAL_TO = dt.date(2023, 8, 1), dt.date(2027, 6, 30)
# no road works on the network over Christmas and New Year
EMBARGO = (_span("2023-12-15", "2024-01-02") + _span("2024-12-13", "2025-01-03") + _span("2025-12-12", "2026-01-02")
           + _span("2026-12-11", "2027-01-04"))
OFFICE_CLOSURE = (_span("2023-12-27", "2023-12-29") + _span("2024-12-27", "2024-12-31")
                  + _span("2025-12-29", "2025-12-31") + _span("2026-12-29", "2026-12-31"))
# nights and weekends when no closures are allowed for events on the network
EVENTS = {"2024-07-13": "Saltmarsh County Show", "2024-07-14": "Saltmarsh County Show",
          "2025-07-12": "Saltmarsh County Show", "2025-07-13": "Saltmarsh County Show",
          "2025-10-05": "Orrin Valley Half Marathon", "2025-10-04": "Orrin Valley Half Marathon",
          "2025-11-05": "Fenwick fireworks night", "2025-11-09": "Remembrance Sunday parades",
          "2026-05-16": "Lydden Festival", "2026-05-17": "Lydden Festival",
          "2026-07-11": "Saltmarsh County Show", "2026-07-12": "Saltmarsh County Show"}
# Saturdays and Sundays of bank holiday weekends: no weekend full closures
BH_WEEKENDS = {}
for _d, _n in BANK_HOLIDAYS.items():
    _day = dt.date.fromisoformat(_d)
    if _day.weekday() == 0:
        BH_WEEKENDS[_day - dt.timedelta(days=2)] = _n
        BH_WEEKENDS[_day - dt.timedelta(days=1)] = _n

CALENDARS = [
    # id, code, title, work days (0 = Mon), pattern, hours a shift, notes, kind
    (1, "OFFICE-5D", "Office Mon-Fri 08:30-17:00", {0, 1, 2, 3, 4}, "Mon-Fri", 7.5,
     "Design, consents, notices and approvals; bank holidays and the office Christmas closure", "office"),
    (2, "DAY-5D", "Day works Mon-Fri 07:30-18:00", {0, 1, 2, 3, 4}, "Mon-Fri", 10.0,
     "Offline and behind-barrier works by day; bank holidays and the Christmas road works embargo", "site"),
    (3, "DAY-6D", "Earthworks Mon-Sat 07:00-19:00", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 11.0,
     "Earthworks and capping, Saturdays worked; bank holidays and the Christmas road works embargo", "site"),
    (4, "NIGHT-SUN-THU", "Night works Sun-Thu nights 20:00-06:00", {6, 0, 1, 2, 3}, "Sun-Thu nights", 10.0,
     "Lane and road closures on the live network, shift dated by the night it starts; bank holidays, the "
     "Christmas road works embargo and event embargo nights", "night"),
    (5, "WKND-CLOSURE", "Weekend full closures Fri 21:00 - Mon 05:00", {5, 6}, "Sat-Sun", 24.0,
     "Full closures for beam lifts and gantry or sign erection; no closures over the Christmas embargo, bank "
     "holiday weekends or event weekends", "weekend"),
    (6, "ELAPSED-7D", "Elapsed calendar days", set(range(7)), "Mon-Sun", 24.0,
     "Fabrication, utility lead times, curing and soak tests; no exceptions", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.crew_hours = min(self.hrs, 12.0)
        self.off = {}
        if kind == "elapsed":
            return
        for iso_d, name in BANK_HOLIDAYS.items():
            self.off[dt.date.fromisoformat(iso_d)] = ("Bank Holiday", name)
        if kind == "office":
            for d in OFFICE_CLOSURE:
                self.off.setdefault(d, ("Office Closure", "Office closed between Christmas and New Year"))
            return
        for d in EMBARGO:
            self.off.setdefault(d, ("Christmas Embargo", "Christmas and New Year road works embargo"))
        if kind in ("night", "weekend"):
            for iso_d, why in EVENTS.items():
                self.off.setdefault(dt.date.fromisoformat(iso_d), ("Event Embargo", f"{why} - no closures"))
        if kind == "weekend":
            for d, name in BH_WEEKENDS.items():
                self.off.setdefault(d, ("Bank Holiday Weekend", f"{name} weekend - no full closures"))


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, DAY, SIX, NGT, WKD, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

AUTHORITY = "Wessenden Highways Authority"
DIRECTOR = "Alison Threlfall"       # programme director
PLANNER = "Marcus Odunsi"           # lead planner
ECOLOGIST = "Dr Helena Voss"
EHO = "Wessenden District Council environmental health"
INSPECTORS = ["Rhian Pritchard", "Stuart Mellor", "Deborah Ansah", "Kevin Lowther"]

SCHEMES = [
    # key, code, name, route, district, manager, contractor, start, margin (working days), budget GBP m,
    # cost factor, re-baseline (approved date, name)
    ("J14", "M47-J14", "M47 Junction 14 Fenwick Interchange Upgrade", "M47", "Fenwick", "Gareth Bellamy",
     "Brackenridge Civil Engineering", dt.date(2025, 2, 3), 0, 38.5, 1.12,
     (dt.date(2025, 6, 16), "BL1 Re-baseline after unrecorded gas main found")),
    ("WID", "A412-DW", "A412 Ashby Cross to Market Lydden Dual Carriageway Widening", "A412", "Ashby Cross",
     "Priyanka Sethi", "Hallam and Pryce Construction", dt.date(2024, 6, 3), 5, 44.0, 1.06, None),
    ("BYP", "A39-BYP", "A39 Saltmarsh Bypass", "A39", "Saltmarsh", "Callum Rourke", "Orrin Valley Infrastructure JV",
     dt.date(2024, 9, 2), 0, 96.0, 1.15, (dt.date(2025, 4, 14), "BL1 Re-baseline after River Orrin Bridge pile redesign")),
    ("RSF", "RSF-L3", "Carriageway Resurfacing Framework Lot 3 2025-26", "Various", "County-wide", "Joanne Whitmore",
     "Tarnfield Surfacing", dt.date(2025, 3, 3), 0, 6.8, 0.97, None),
    ("ITS", "A6-ITS", "A6 Corridor Smart Signals and ITS Installation", "A6", "Tollbridge", "Tomasz Nowicki",
     "Pelham Signal Systems", dt.date(2025, 4, 7), 10, 12.4, 1.04, None),
]
SCHEME = {s[0]: s for s in SCHEMES}

RESOURCES = [
    # code, name, type, trade, supplier, crew size, day rate GBP, foreman
    ("DES-CONS", "Design consultant team", "Consultant", "Highway design", "Pennard Rowe Consulting", 5, 640.0,
     "Naomi Feld"),
    ("VEG-GANG", "Vegetation clearance gang", "Subcontractor", "Site clearance", "Greenhollow Arboriculture", 4,
     260.0, "Dale Shipley"),
    ("EW-GANG", "Earthworks gang", "Gang", "Earthworks", "Brackenridge Civil Engineering", 6, 310.0, "Vince Hardacre"),
    ("EXC-360", "30t 360 excavators", "Plant", "Earthworks", "Moorcroft Plant Hire", 3, 720.0, "Vince Hardacre"),
    ("ADT-FLEET", "Articulated dump trucks", "Plant", "Earthworks", "Moorcroft Plant Hire", 4, 610.0,
     "Vince Hardacre"),
    ("DRN-GANG", "Drainage gang", "Gang", "Drainage", "Brackenridge Civil Engineering", 5, 295.0, "Lenny Quayle"),
    ("KERB-GANG", "Kerbing and footway gang", "Gang", "Kerbs and footways", "Brackenridge Civil Engineering", 4,
     285.0, "Lenny Quayle"),
    ("SURF-GANG", "Surfacing gang", "Subcontractor", "Surfacing", "Tarnfield Surfacing", 8, 330.0, "Ray Colquhoun"),
    ("PAVER", "Asphalt paver and rollers", "Plant", "Surfacing", "Tarnfield Surfacing", 3, 950.0, "Ray Colquhoun"),
    ("PLANER", "2m road planer", "Plant", "Surfacing", "Tarnfield Surfacing", 1, 1850.0, "Ray Colquhoun"),
    ("PILE-RIG", "Rotary bored piling rig and crew", "Subcontractor", "Piling", "Deepford Piling", 4, 3100.0,
     "Owen Tranter"),
    ("STR-GANG", "Structures gang (formwork and concrete)", "Gang", "Structures", "Orrin Valley Infrastructure JV", 8,
     320.0, "Owen Tranter"),
    ("STEEL-FIX", "Steel fixers", "Subcontractor", "Reinforcement", "Ironbar Fixing", 6, 300.0, "Owen Tranter"),
    ("CRANE-500", "500t mobile crane", "Plant", "Lifting", "Highlift Cranes", 1, 9800.0, "Owen Tranter"),
    ("VRS-INST", "Safety barrier installers", "Subcontractor", "Road restraint", "Guardline Barriers", 4, 340.0,
     "Phil Darnley"),
    ("LINING", "Road marking crew", "Subcontractor", "Road markings", "Brightline Markings", 3, 310.0, "Phil Darnley"),
    ("TM-CREW", "Traffic management crew", "Subcontractor", "Traffic management", "Conewise Traffic Management", 6,
     280.0, "Sandra Kealey"),
    ("SIG-ENG", "Traffic signal engineers", "Subcontractor", "Signals", "Pelham Signal Systems", 3, 560.0,
     "Arjun Mehra"),
    ("ITS-TECH", "ITS technicians (CCTV, VMS and comms)", "Subcontractor", "ITS", "Pelham Signal Systems", 3, 520.0,
     "Arjun Mehra"),
    ("DUCT-GANG", "Ducting and cabling gang", "Gang", "Ducting", "Pelham Signal Systems", 4, 290.0, "Arjun Mehra"),
    ("UTIL-CREW", "Utility diversion crew", "Subcontractor", "Utilities", "Statmark Utility Services", 5, 350.0,
     "Bernard Okafor"),
    ("ECO-CLERK", "Ecological clerk of works", "Consultant", "Ecology", "Fernbank Ecology", 1, 520.0, ECOLOGIST),
]
KIND_RSRC = {
    "DES": ["DES-CONS"], "GI": ["EXC-360", "DES-CONS"], "VEG": ["VEG-GANG", "ECO-CLERK"], "EW": ["EW-GANG", "EXC-360", "ADT-FLEET"],
    "CAP": ["EW-GANG", "EXC-360"], "DRN": ["DRN-GANG"], "KRB": ["KERB-GANG"], "BASE": ["SURF-GANG", "PAVER"],
    "BIND": ["SURF-GANG", "PAVER"], "SURF": ["SURF-GANG", "PAVER"], "PLN": ["PLANER", "SURF-GANG"],
    "PIL": ["PILE-RIG"], "STR": ["STR-GANG", "STEEL-FIX"], "CRN": ["CRANE-500", "STR-GANG", "TM-CREW"],
    "VRS": ["VRS-INST"], "LIN": ["LINING"], "TM": ["TM-CREW"], "SIG": ["SIG-ENG"], "ITS": ["ITS-TECH"],
    "DCT": ["DUCT-GANG"], "UTL": ["UTIL-CREW"], "ECO": ["ECO-CLERK"], "WPF": ["STR-GANG"],
}
PAVE_LAYER = {"BASE": ("Base course", "AC 32 HDM base 40/60", 420.0),
              "BIND": ("Binder course", "AC 20 HDM bin 40/60", 360.0),
              "SURF": ("Surface course", "SMA 10 surf PMB 65", 240.0)}

# slips (working days added to the duration) and the tasks added with a re-baseline
SLIPS = {"J14.ugas.div": 30, "J14.ne.ew": 4,
         "WID.s3.ew": 8, "WID.uwat.div": 12, "WID.s2.drn": 4, "WID.s1.bin": 1, "WID.s4.veg": 3, "WID.s5.ew": 8, "WID.ugas.c4": 10,
         "BYP.rb.pil": 30, "BYP.rb.pier": 6, "BYP.m2.ew": 5, "BYP.uhv.div": 10,
         "RSF.r5.srf": 1, "RSF.r7.pln": 1, "RSF.r3.des": 2,
         "ITS.proc": 20, "ITS.j3.ctl": 2, "ITS.j2.duct": 2}
AFTER_REBASE = {"J14.nw.ew": 6, "J14.sigi": 8, "J14.c2.bas": 2,
                "BYP.rb.deck": 8, "BYP.m4.ew": 10, "BYP.ob.bfab": 15, "BYP.m3.drn": 3}


class Plan:
    LETTER = {"PRE": "P", "STU": "U", "TMG": "T", "OPN": "H"}

    def __init__(self, scheme):
        self.scheme = scheme
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("PRE", "ROOT", "Preparation, design and consents"),
                    ("STU", "ROOT", "Statutory undertakers' diversions"), ("TMG", "ROOT", "Traffic management"),
                    ("CON", "ROOT", "Construction"), ("OPN", "ROOT", "Commissioning, opening and completion")]
        self.top = {"PRE": "PRE", "STU": "STU", "TMG": "TMG", "CON": "CON", "OPN": "OPN"}

    def node(self, key, parent, name):
        self.wbs.append((key, parent, name))
        self.top[key] = self.top[parent]

    def add(self, key, name, dur, wbs, preds=(), cal=OFF, kind=None, ms=None, area=None, road=None, new=False,
            snet=None, ctype=None):
        full = f"{self.scheme}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs,
                               preds=[p[1:] if p.startswith("@") else f"{self.scheme}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, area=area, road=road, new=new, sch=self.scheme,
                               slip=SLIPS.get(full, 0), snet=snet, ctype=ctype,
                               letter=self.LETTER.get(self.top[wbs], "C")))
        return key


def utilities(p, items, after, tm_pred):
    """Three tasks for each diversion: detailed estimate, works order and lead time, diversion on site."""
    for code, title, company, apparatus, dur, area, extra in items:
        first = [x[3:] for x in extra if x.startswith("c4:")] or [after]
        extra = [x for x in extra if not x.startswith("c4:")]
        p.add(f"u{code}.c4", f"C4 detailed estimate and design - {apparatus}", 25, "STU", first)
        p.add(f"u{code}.ord", f"C7 works order and utility lead time - {apparatus}", 56, "STU", [f"u{code}.c4"],
              cal=ELP)
        p.add(f"u{code}.div", title, dur, "STU", [f"u{code}.ord"] + ([tm_pred] if tm_pred else []) + list(extra),
              cal=DAY, kind="UTL", area=area)


UTILITIES = {
    # scheme: (code, task title, company, apparatus, days, location, extra predecessors), estimate GBP
    "J14": [("gas", "Divert 250mm medium pressure gas main", "Fenland Gas Distribution", "250mm MP gas main", 20,
             "NE quadrant verge", ["gasx"], 412000.0),
            ("hv", "Divert 11kV cables at the NE quadrant", "Northmarch Electricity Networks", "11kV cables", 15,
             "NE quadrant", [], 268000.0),
            ("fib", "Divert fibre ducts under the circulatory", "Linkway Fibre", "Fibre optic ducts", 12,
             "Circulatory carriageway", ["tm2"], 96000.0)],
    "WID": [("wat", "Divert 450mm trunk water main at Ch 2+300", "Carrowby Water", "450mm trunk water main", 25,
             "Ch 2+300 verge", [], 655000.0),
            ("tel", "Divert telecoms ducts along the northern verge", "Orbital Telecom", "Telecoms ducts", 12,
             "Ch 0+400 to 3+600 north verge", [], 142000.0),
            ("gas", "Lower medium pressure gas main at Market Lydden roundabout", "Fenland Gas Distribution",
             "MP gas main", 8, "Ch 5+900", ["c4:s4.ew"], 120000.0)],
    "BYP": [("hv", "Underground 33kV overhead line across the route", "Northmarch Electricity Networks",
             "33kV overhead line", 25, "Ch 3+100", [], 780000.0),
            ("wat", "Divert 300mm water main at Ashwell Lane", "Carrowby Water", "300mm water main", 18,
             "Ashwell Lane", [], 310000.0),
            ("gas", "Lower and protect low pressure gas main", "Fenland Gas Distribution", "LP gas main", 8,
             "East roundabout", [], 74000.0),
            ("tel", "Divert telecoms at the east roundabout", "Linkway Fibre", "Telecoms cabinet and ducts", 10,
             "East roundabout", [], 88000.0),
            ("hv2", "Divert 11kV cable along the old A39 for detrunking", "Northmarch Electricity Networks",
             "11kV cable", 12, "Old A39 Saltmarsh High Street", ["c4:m6.cap"], 165000.0)],
    "ITS": [("pwr", "New LV supplies to signal controllers (north end)", "Northmarch Electricity Networks",
             "LV supply connections", 10, "A6 Fenwick Way to Saltmarsh Road", [], 58000.0),
            ("tel", "Divert telecoms chamber at Northgate", "Orbital Telecom", "Telecoms chamber and ducts", 6,
             "A6 / Northgate", [], 37000.0)],
}

QUADRANTS = [("ne", "NE quadrant - northbound exit slip", "NE"), ("nw", "NW quadrant - southbound entry slip", "NW"),
             ("se", "SE quadrant - northbound entry slip", "SE"), ("sw", "SW quadrant - southbound exit slip", "SW")]


def plan_j14(p):
    p.add("ntp", "Notice to proceed - J14 Fenwick Interchange", 0, "PRE", ms="S")
    p.add("dd", "Detailed design of junction layout and slip roads", 60, "PRE", ["ntp"], kind="DES")
    p.add("rsa2", "Road Safety Audit stage 2", 10, "PRE", ["dd"], kind="DES")
    p.add("tro", "Traffic regulation orders and speed limit order", 45, "PRE", ["dd:SS30"])
    p.add("tmd", "Temporary traffic management design and approvals", 20, "PRE", ["dd:SS40"], kind="DES")
    p.add("gasx", "Redesign after unrecorded gas main found", 20, "STU", ["dd"], new=True, kind="DES")
    p.add("tm1", "TM phase 1 - install narrow lanes and 40mph on the circulatory", 4, "TMG", ["tmd", "rsa2"],
          cal=NGT, kind="TM", area="Circulatory carriageway", road="M47 J14 circulatory", ctype="Lane Closure")
    utilities(p, [u[:7] for u in UTILITIES["J14"]], "dd:SS20", "tm1")
    prev = None
    for q, qname, short in QUADRANTS:
        w = f"Q{short}"
        p.node(w, "CON", qname)
        road = f"M47 J14 {short} slip road"
        extra = {"ne": ["ugas.div", "uhv.div"], "nw": [], "se": [], "sw": []}[q]
        p.add(f"{q}.clr", f"Site clearance {qname}", 5, w, ["tm1"] + ([f"{prev}.clr"] if prev else []), cal=DAY,
              kind="VEG", area=qname)
        p.add(f"{q}.ew", f"Earthworks and embankment widening {qname}", 20, w,
              [f"{q}.clr"] + ([f"{prev}.ew:SS10"] if prev else []) + extra, cal=SIX, kind="EW", area=qname)
        p.add(f"{q}.drn", f"Drainage, gullies and filter drains {qname}", 15, w, [f"{q}.ew:SS10"], cal=DAY,
              kind="DRN", area=qname)
        p.add(f"{q}.krb", f"Kerbs and footway {qname}", 10, w, [f"{q}.drn:SS5"], cal=DAY, kind="KRB", area=qname)
        p.add(f"{q}.bas", f"Base course {qname}", 4, w, [f"{q}.krb", f"{q}.drn", f"{q}.ew"], cal=DAY, kind="BASE",
              area=qname)
        p.add(f"{q}.bin", f"Binder course {qname}", 2, w, [f"{q}.bas"], cal=NGT, kind="BIND", area=qname,
              road=road, ctype="Slip Road Closure")
        p.add(f"{q}.srf", f"Surface course {qname}", 2, w, [f"{q}.bin:FS7"], cal=NGT, kind="SURF", area=qname,
              road=road, ctype="Slip Road Closure")
        p.add(f"{q}.vrs", f"Safety barrier and signs {qname}", 6, w, [f"{q}.srf"], cal=DAY, kind="VRS", area=qname)
        p.add(f"{q}.mkg", f"Road markings and studs {qname}", 2, w, [f"{q}.srf"], cal=NGT, kind="LIN", area=qname,
              road=road, ctype="Slip Road Closure")
        prev = q
    p.add("tm2", "TM phase 2 - switch traffic onto the new slip roads", 3, "TMG", ["ne.mkg", "nw.mkg"], cal=NGT,
          kind="TM", area="Circulatory carriageway", road="M47 J14 circulatory", ctype="Lane Closure")
    p.node("CIR", "CON", "Circulatory carriageway widening")
    prev = None
    for i in (1, 2, 3):
        area = f"Circulatory stage {i}"
        road = "M47 J14 circulatory"
        p.add(f"c{i}.ew", f"Excavate and widen circulatory carriageway stage {i}", 10, "CIR",
              ["tm2"] + ([f"c{prev}.ew"] if prev else ["ufib.div"]), cal=DAY, kind="EW", area=area)
        p.add(f"c{i}.bas", f"Base course circulatory stage {i}", 3, "CIR", [f"c{i}.ew"], cal=NGT, kind="BASE",
              area=area, road=road, ctype="Lane Closure")
        p.add(f"c{i}.bin", f"Binder course circulatory stage {i}", 2, "CIR", [f"c{i}.bas"], cal=NGT, kind="BIND",
              area=area, road=road, ctype="Lane Closure")
        p.add(f"c{i}.srf", f"Surface course circulatory stage {i}", 2, "CIR", [f"c{i}.bin"], cal=NGT, kind="SURF",
              area=area, road=road, ctype="Lane Closure")
        prev = i
    p.node("SIG", "CON", "Signal gantry and signals")
    p.add("gfd", "Signal gantry foundations and ducting", 15, "SIG", ["tm1", "uhv.div"], cal=DAY, kind="STR",
          area="Central island")
    p.add("gfab", "Signal gantry and mast fabrication", 80, "SIG", ["dd"], cal=ELP)
    p.add("gin", "Erect signal gantry (weekend full closure)", 2, "SIG", ["gfd", "gfab"], cal=WKD, kind="CRN",
          area="Central island", road="M47 J14 (all slips and circulatory)", ctype="Full Road Closure")
    p.add("sigd", "Signal ducting, chambers and loops", 12, "SIG", ["tm2"], cal=NGT, kind="DCT",
          area="All approaches", road="M47 J14 circulatory", ctype="Lane Closure")
    p.add("sigi", "Install signal heads, controller and detection", 10, "SIG", ["sigd", "gin"], cal=NGT, kind="SIG",
          area="All approaches", road="M47 J14 circulatory", ctype="Lane Closure")
    p.add("tm3", "TM phase 3 - final layout and remove temporary traffic management", 3, "TMG", ["c3.srf", "sigi"],
          cal=NGT, kind="TM", area="Whole junction", road="M47 J14 circulatory", ctype="Lane Closure")
    p.add("sigc", "Signal commissioning and switch-on", 3, "OPN", ["tm3"], cal=NGT, kind="SIG",
          area="Whole junction", road="M47 J14 circulatory", ctype="Temporary Signals")
    p.add("rsa3", "Road Safety Audit stage 3", 5, "OPN", ["sigc"], kind="DES")
    p.add("opn", "Junction fully open to traffic", 0, "OPN", ["sigc", "sw.vrs", "se.vrs"], cal=DAY, ms="F")
    p.add("cmp", "Scheme completion certificate - J14", 0, "OPN", ["rsa3", "opn", "tro"], cal=DAY, ms="F")


SECTIONS_WID = [(1, "Ch 0+000 to 1+200"), (2, "Ch 1+200 to 2+400"), (3, "Ch 2+400 to 3+600"),
                (4, "Ch 3+600 to 4+800"), (5, "Ch 4+800 to 6+000")]


def plan_wid(p):
    road = "A412 Ashby Cross - Market Lydden"
    p.add("ntp", "Notice to proceed - A412 widening", 0, "PRE", ms="S")
    p.add("dd", "Detailed design of widening and drainage", 60, "PRE", ["ntp"], kind="DES")
    p.add("eco", "Ecology surveys and environmental commitments", 30, "PRE", ["ntp"], kind="ECO")
    p.add("tro", "Traffic regulation orders (40mph temporary limit)", 40, "PRE", ["dd:SS20"])
    p.add("rsa2", "Road Safety Audit stage 2", 10, "PRE", ["dd"], kind="DES")
    p.add("tmd", "Temporary traffic management design", 15, "PRE", ["dd:SS30"], kind="DES")
    p.add("tm1", "TM phase 1 - narrow lanes, 40mph, offside working", 3, "TMG", ["tmd", "tro"], cal=NGT, kind="TM",
          area="Whole route", road=road, ctype="Lane Closure")
    utilities(p, [u[:7] for u in UTILITIES["WID"]], "dd:SS15", "tm1")
    prev = None
    for i, ch in SECTIONS_WID:
        w = f"S{i}"
        p.node(w, "CON", f"Section {i} - {ch}")
        tm = "tm1" if i <= 3 else "tm2"
        extra = {3: ["uwat.div"], 1: ["utel.div"]}.get(i, [])
        snet = dt.date(2025, 9, 1) if i >= 4 else None
        p.add(f"s{i}.veg", f"Vegetation and hedgerow clearance section {i}", 4, w, [tm, "eco"], cal=DAY, kind="VEG",
              area=ch, snet=snet)
        p.add(f"s{i}.ew", f"Earthworks cut and fill section {i}", 40, w,
              [f"s{i}.veg"] + ([f"s{prev}.ew:SS25"] if prev else []) + extra, cal=SIX, kind="EW", area=ch)
        p.add(f"s{i}.drn", f"Carrier drains, filter drains and outfalls section {i}", 25, w, [f"s{i}.ew:SS10"],
              cal=DAY, kind="DRN", area=ch)
        p.add(f"s{i}.cap", f"Capping and sub-base section {i}", 10, w, [f"s{i}.ew", f"s{i}.drn:SS5"], cal=SIX,
              kind="CAP", area=ch)
        p.add(f"s{i}.bas", f"Base course section {i}", 5, w, [f"s{i}.cap"], cal=DAY, kind="BASE", area=ch)
        p.add(f"s{i}.bin", f"Binder course section {i}", 3, w, [f"s{i}.bas"], cal=DAY, kind="BIND", area=ch)
        p.add(f"s{i}.krb", f"Kerbs, verges and central reserve section {i}", 8, w, [f"s{i}.bin:SS1"], cal=DAY,
              kind="KRB", area=ch)
        p.add(f"s{i}.srf", f"Surface course section {i}", 3, w, [f"s{i}.bin", f"s{i}.drn"], cal=NGT, kind="SURF",
              area=ch, road=road, ctype="Lane Closure")
        p.add(f"s{i}.vrs", f"Safety barrier section {i}", 8, w, [f"s{i}.srf"], cal=DAY, kind="VRS", area=ch)
        p.add(f"s{i}.mkg", f"Road markings and studs section {i}", 2, w, [f"s{i}.srf"], cal=NGT, kind="LIN", area=ch,
              road=road, ctype="Lane Closure")
        if i == 3:
            p.add("tm2", "TM phase 2 - switch to new offside lanes, nearside working", 3, "TMG",
                  ["s1.mkg", "s2.mkg", "s3.mkg"], cal=NGT, kind="TM", area="Whole route", road=road,
                  ctype="Lane Closure")
        prev = i
    p.add("tm3", "TM phase 3 - remove temporary traffic management", 3, "TMG", ["s4.vrs", "s5.vrs", "s4.mkg",
                                                                                 "s5.mkg", "ugas.div"],
          cal=NGT, kind="TM", area="Whole route", road=road, ctype="Lane Closure")
    p.add("rsa3", "Road Safety Audit stage 3", 5, "OPN", ["tm3"], kind="DES")
    p.add("opn", "Widened dual carriageway open to traffic", 0, "OPN", ["tm3"], cal=DAY, ms="F")
    p.add("cmp", "Scheme completion certificate - A412 widening", 0, "OPN", ["rsa3", "opn"], cal=DAY, ms="F")


SECTIONS_BYP = [(1, "Ch 0+000 to 1+200 (west)"), (2, "Ch 1+200 to 2+400"), (3, "Ch 2+400 to 3+600 (River Orrin)"),
                (4, "Ch 3+600 to 4+800"), (5, "Ch 4+800 to 6+000 (Kettlebrook Road)"), (6, "Ch 6+000 to 7+200 (east)")]


def plan_byp(p):
    p.add("ntp", "Notice to proceed - Saltmarsh Bypass", 0, "PRE", ms="S")
    p.add("gi", "Ground investigation along the route", 60, "PRE", ["ntp"], cal=DAY, kind="GI", area="Whole route")
    p.add("dd", "Detailed design of bypass, bridges and drainage", 150, "PRE", ["gi:SS20"], kind="DES")
    p.add("arch", "Archaeological trial trenching and strip, map and sample", 30, "PRE", ["ntp"], cal=DAY,
          kind="ECO", area="Ch 1+200 to 3+600")
    p.add("gcn", "Great crested newt translocation and fencing", 40, "PRE", ["ntp"], cal=DAY, kind="ECO",
          area="Ch 4+800 to 6+000", snet=dt.date(2025, 3, 17))
    p.add("ent", "Land entry, boundary fencing and site compounds", 20, "PRE", ["dd:SS30"], cal=DAY, kind="KRB",
          area="Whole route")
    p.add("pre", "Pile redesign and extra boreholes at River Orrin Bridge", 25, "PRE", ["gi"], new=True, kind="DES")
    utilities(p, [u[:7] for u in UTILITIES["BYP"]], "dd:SS30", None)
    for b, bname, span, lift_cal in (("rb", "River Orrin Bridge", "3-span", DAY), ("ob", "Kettlebrook Road Overbridge",
                                                                                   "single span", WKD)):
        w = b.upper()
        p.node(w, "CON", f"{bname} ({span})")
        area = bname
        p.add(f"{b}.pil", f"Bored piling {bname}", 40, w, ["ent", "dd"] + (["pre"] if b == "rb" else []), cal=DAY,
              kind="PIL", area=area)
        p.add(f"{b}.cap", f"Pile caps and abutment bases {bname}", 15, w, [f"{b}.pil"], cal=DAY, kind="STR",
              area=area)
        p.add(f"{b}.abt", f"Abutments and wingwalls {bname}", 45, w, [f"{b}.cap"], cal=DAY, kind="STR", area=area)
        brg_preds = [f"{b}.abt"]
        if b == "rb":
            p.add("rb.pier", f"Piers and crossheads {bname}", 35, w, ["rb.cap"], cal=DAY, kind="STR", area=area)
            brg_preds.append("rb.pier")
        p.add(f"{b}.bfab", f"Precast beam fabrication {bname}", 150, w, ["dd"], cal=ELP)
        p.add(f"{b}.brg", f"Bearings installation {bname}", 3, w, brg_preds, cal=DAY, kind="STR", area=area)
        lift_name = f"Beam lift {bname}" + (" (weekend full closure of Kettlebrook Road)" if b == "ob" else "")
        p.add(f"{b}.lift", lift_name, 2, w, [f"{b}.brg", f"{b}.bfab"], cal=lift_cal, kind="CRN", area=area,
              road="B3120 Kettlebrook Road" if b == "ob" else None,
              ctype="Full Road Closure" if b == "ob" else None)
        p.add(f"{b}.deck", f"Deck slab, edge beams and diaphragms {bname}", 40, w, [f"{b}.lift"], cal=DAY, kind="STR",
              area=area)
        p.add(f"{b}.wp", f"Deck waterproofing {bname}", 5, w, [f"{b}.deck:FS14"], cal=DAY, kind="WPF", area=area)
        p.add(f"{b}.par", f"Parapets and expansion joints {bname}", 8, w, [f"{b}.wp"], cal=DAY, kind="VRS", area=area)
        p.add(f"{b}.srf", f"Deck surfacing {bname}", 2, w, [f"{b}.par"], cal=DAY, kind="SURF", area=area)
    prev = None
    for i, ch in SECTIONS_BYP:
        w = f"M{i}"
        p.node(w, "CON", f"Mainline section {i} - {ch}")
        extra = {2: ["arch"], 3: ["arch", "uhv.div"], 5: ["gcn"], 6: ["ugas.div", "utel.div"], 4: ["uwat.div"]}.get(i, [])
        bridge = {3: ["rb.srf"], 5: ["ob.srf"]}.get(i, [])
        p.add(f"m{i}.veg", f"Site clearance and topsoil strip section {i}", 6, w, ["ent"] + extra, cal=DAY,
              kind="VEG", area=ch)
        p.add(f"m{i}.ew", f"Earthworks cut and fill section {i}", 60, w,
              [f"m{i}.veg"] + ([f"m{prev}.ew:SS40"] if prev else []), cal=SIX, kind="EW", area=ch)
        p.add(f"m{i}.drn", f"Drainage, culverts and attenuation ponds section {i}", 35, w, [f"m{i}.ew:SS10"], cal=DAY,
              kind="DRN", area=ch)
        p.add(f"m{i}.cap", f"Capping and sub-base section {i}", 12, w, [f"m{i}.ew", f"m{i}.drn:SS5"], cal=SIX,
              kind="CAP", area=ch)
        p.add(f"m{i}.bas", f"Base course section {i}", 6, w, [f"m{i}.cap"] + bridge, cal=DAY, kind="BASE", area=ch)
        p.add(f"m{i}.bin", f"Binder course section {i}", 4, w, [f"m{i}.bas"], cal=DAY, kind="BIND", area=ch)
        p.add(f"m{i}.srf", f"Surface course section {i}", 3, w, [f"m{i}.bin"], cal=DAY, kind="SURF", area=ch)
        p.add(f"m{i}.vrs", f"Safety barrier and fencing section {i}", 8, w, [f"m{i}.srf"], cal=DAY, kind="VRS", area=ch)
        p.add(f"m{i}.mkg", f"Road markings and studs section {i}", 2, w, [f"m{i}.srf"], cal=DAY, kind="LIN", area=ch)
        prev = i
    p.node("JTN", "CON", "Junction tie-ins to the existing A39")
    for j, jname, sec in (("w", "west roundabout", 1), ("e", "east roundabout", 6)):
        road = f"A39 at the {jname}"
        area = f"A39 {jname}"
        p.add(f"j{j}.tm", f"TM for tie-in at the {jname}", 3, "JTN", [f"m{sec}.cap"], cal=NGT, kind="TM", area=area,
              road=road, ctype="Lane Closure")
        p.add(f"j{j}.ew", f"Tie-in earthworks and kerbs at the {jname}", 10, "JTN", [f"j{j}.tm"], cal=DAY, kind="EW",
              area=area)
        p.add(f"j{j}.bas", f"Tie-in base course at the {jname}", 2, "JTN", [f"j{j}.ew"], cal=NGT, kind="BASE",
              area=area, road=road, ctype="Full Road Closure")
        p.add(f"j{j}.bin", f"Tie-in binder course at the {jname}", 2, "JTN", [f"j{j}.bas"], cal=NGT, kind="BIND",
              area=area, road=road, ctype="Full Road Closure")
        p.add(f"j{j}.srf", f"Tie-in surface course at the {jname}", 2, "JTN", [f"j{j}.bin", f"m{sec}.srf"], cal=NGT,
              kind="SURF", area=area, road=road, ctype="Full Road Closure")
        p.add(f"j{j}.mkg", f"Road markings at the {jname}", 1, "JTN", [f"j{j}.srf"], cal=NGT, kind="LIN", area=area,
              road=road, ctype="Lane Closure")
    p.add("lgt", "Street lighting, signs and technology", 20, "OPN", [f"m{i}.vrs" for i, _ in SECTIONS_BYP],
          cal=DAY, kind="DCT", area="Whole route")
    p.add("lnd", "Landscaping and planting", 20, "OPN", [f"m{i}.vrs" for i, _ in SECTIONS_BYP], cal=DAY,
          kind="VEG", area="Whole route")
    p.add("rsa3", "Road Safety Audit stage 3", 5, "OPN", ["lgt", "jw.mkg", "je.mkg"], kind="DES")
    p.add("opn", "Saltmarsh Bypass open to traffic", 0, "OPN",
          ["lgt", "jw.mkg", "je.mkg"] + [f"m{i}.mkg" for i, _ in SECTIONS_BYP], cal=DAY, ms="F")
    p.add("det", "Detrunking works on the old A39 through Saltmarsh", 15, "OPN", ["opn", "uhv2.div"], cal=NGT, kind="LIN",
          area="Old A39 Saltmarsh High Street", road="Old A39 Saltmarsh High Street", ctype="Lane Closure")
    p.add("cmp", "Scheme completion certificate - Saltmarsh Bypass", 0, "OPN", ["rsa3", "det", "lnd"], cal=DAY,
          ms="F")


RSF_SITES = [
    # no, site, road class, night works, programmed from
    (1, "Chapel Street, Saltmarsh", "Unclassified", True, dt.date(2025, 4, 6)),
    (2, "B4410 Wendle Road, Ashby Cross", "B road", True, dt.date(2025, 4, 27)),
    (3, "Market Place, Market Lydden", "C road", True, dt.date(2025, 5, 18)),
    (4, "Orchard Way roundabout, Tollbridge", "C road", False, dt.date(2025, 6, 9)),
    (5, "A412 Lydden Hill eastbound", "A road", True, dt.date(2025, 6, 29)),
    (6, "Station Approach, Kettlebrook", "Unclassified", False, dt.date(2025, 7, 21)),
    (7, "B3120 Kettlebrook Road", "B road", True, dt.date(2025, 8, 17)),
    (8, "High Street, Fenwick", "C road", True, dt.date(2025, 9, 14)),
    (9, "Millbank Avenue, Saltmarsh", "Unclassified", False, dt.date(2025, 10, 6)),
    (10, "Tollbridge Road", "C road", True, dt.date(2026, 2, 1)),
    (11, "Church Lane, Ashwell", "Unclassified", False, dt.date(2026, 2, 23)),
    (12, "A6 Corn Exchange gyratory", "A road", True, dt.date(2026, 3, 15)),
]


def plan_rsf(p):
    p.add("ntp", "Framework lot 3 call-off - 2025-26 programme", 0, "PRE", ms="S")
    p.add("prg", "Site surveys and programme of sites agreed", 15, "PRE", ["ntp"], kind="DES")
    p.add("tm", "Mobile TM and closure booking framework set-up", 5, "TMG", ["prg"], kind="TM")
    prev = None
    for n, site, cls, night, when in RSF_SITES:
        w = f"R{n:02d}"
        p.node(w, "CON", f"Site {n:02d} - {site}")
        cal = NGT if night else DAY
        ctype = "Full Road Closure" if cls in ("Unclassified", "C road") else "Lane Closure"
        if not night:
            ctype = "Temporary Signals"
        p.add(f"r{n}.des", f"Coring, survey and treatment design - {site}", 5, w, ["prg"], kind="DES", area=site)
        p.add(f"r{n}.ttro", f"Temporary traffic regulation order and notices - {site}", 15, w, [f"r{n}.des"],
              area=site)
        p.add(f"r{n}.pln", f"Plane out existing surfacing - {site}", 2 if cls != "A road" else 3, w,
              [f"r{n}.ttro", "tm"] + ([f"r{prev}.srf"] if prev else []), cal=cal, kind="PLN", area=site, road=site,
              ctype=ctype, snet=when)
        p.add(f"r{n}.irn", f"Ironwork and kerb repairs - {site}", 2, w, [f"r{n}.pln:SS0"], cal=DAY, kind="KRB",
              area=site)
        p.add(f"r{n}.bin", f"Inlay binder course - {site}", 1 if cls != "A road" else 2, w, [f"r{n}.pln", f"r{n}.irn"],
              cal=cal, kind="BIND", area=site, road=site, ctype=ctype)
        p.add(f"r{n}.srf", f"Inlay surface course - {site}", 1 if cls != "A road" else 2, w, [f"r{n}.bin"], cal=cal,
              kind="SURF", area=site, road=site, ctype=ctype)
        p.add(f"r{n}.mkg", f"Lining and studs - {site}", 1, w, [f"r{n}.srf"], cal=cal, kind="LIN", area=site,
              road=site, ctype=ctype)
        prev = n
    p.add("cmp", "Lot 3 2025-26 programme complete", 0, "OPN", [f"r{n}.mkg" for n, *_ in RSF_SITES], cal=DAY,
          ms="F")


ITS_JUNCTIONS = ["Mill Lane", "Station Road", "Corn Exchange", "Bridge Street", "Tollbridge Road", "Fenwick Way",
                 "Ashwell Lane", "Northgate", "Ropewalk", "Saltmarsh Road"]
ITS_VMS = [("v1", "A6 northbound at Ropewalk", None), ("v2", "A6 southbound at Mill Lane", None),
           ("v3", "M47 J14 northbound approach", "@J14.gin")]
ITS_CCTV = ["Corn Exchange", "Bridge Street", "Northgate", "Saltmarsh Road"]


def plan_its(p):
    p.add("ntp", "Notice to proceed - A6 smart signals and ITS", 0, "PRE", ms="S")
    p.add("dd", "Detailed design of signals, detection and ITS", 50, "PRE", ["ntp"], kind="DES")
    p.add("cmm", "Communications network design and comms order", 30, "PRE", ["dd:SS20"], kind="DES")
    p.add("proc", "Signal controllers and radar detection manufacture and delivery", 70, "PRE", ["dd"], cal=ELP)
    p.add("tm", "Corridor TM plan and closure bookings", 10, "TMG", ["dd:SS30"], kind="TM")
    utilities(p, [u[:7] for u in UTILITIES["ITS"]], "dd:SS40", None)
    p.node("JCT", "CON", "Junction signal upgrades")
    prev = None
    for n, j in enumerate(ITS_JUNCTIONS, 1):
        site = f"A6 / {j}"
        p.add(f"j{n}.duct", f"Ducting, chambers and loops - {site}", 4, "JCT",
              ["tm"] + ([f"j{prev}.duct"] if prev else []), cal=NGT, kind="DCT", area=site, road=site,
              ctype="Lane Closure")
        p.add(f"j{n}.base", f"Controller cabinet base and power connection - {site}", 2, "JCT",
              [f"j{n}.duct"] + (["upwr.div"] if n >= 6 else []) + (["utel.div"] if n == 8 else []),
              cal=DAY, kind="DCT", area=site)
        p.add(f"j{n}.ctl", f"Install controller, signal heads and detection - {site}", 2, "JCT",
              [f"j{n}.base", "proc"] + ([f"j{prev}.ctl"] if prev else []), cal=NGT, kind="SIG", area=site, road=site,
              ctype="Temporary Signals")
        p.add(f"j{n}.cms", f"Commission adaptive signal control - {site}", 1, "JCT", [f"j{n}.ctl", "cmm"], cal=NGT,
              kind="SIG", area=site, road=site, ctype="Temporary Signals")
        prev = n
    p.node("VMS", "CON", "Variable message signs")
    for v, loc, extra in ITS_VMS:
        p.add(f"{v}.fd", f"VMS foundation and ducting - {loc}", 3, "VMS", ["tm"], cal=DAY, kind="STR", area=loc)
        p.add(f"{v}.fab", f"VMS manufacture - {loc}", 60, "VMS", ["dd"], cal=ELP)
        p.add(f"{v}.ins", f"Erect VMS (weekend full closure) - {loc}", 1, "VMS",
              [f"{v}.fd", f"{v}.fab"] + ([extra] if extra else []), cal=WKD, kind="CRN", area=loc,
              road=loc.split(" at ")[0] if " at " in loc else "M47 J14 northbound", ctype="Full Road Closure")
        p.add(f"{v}.cms", f"Commission VMS - {loc}", 1, "VMS", [f"{v}.ins", "cmm"], cal=NGT, kind="ITS", area=loc,
              road=loc.split(" at ")[0] if " at " in loc else "M47 J14 northbound", ctype="Lane Closure")
    p.node("CTV", "CON", "CCTV cameras")
    for n, c in enumerate(ITS_CCTV, 1):
        p.add(f"k{n}", f"CCTV mast and camera - A6 / {c}", 3, "CTV", ["tm", "cmm"], cal=DAY, kind="ITS",
              area=f"A6 / {c}")
    p.add("ins", "Instation integration and control room configuration", 15, "OPN",
          [f"j{n}.cms" for n in range(1, len(ITS_JUNCTIONS) + 1)] + [f"{v}.cms" for v, *_ in ITS_VMS]
          + [f"k{n}" for n in range(1, len(ITS_CCTV) + 1)], kind="ITS")
    p.add("soak", "Corridor soak test (28 days)", 28, "OPN", ["ins"], cal=ELP)
    p.add("hnd", "Handover to network operations", 0, "OPN", ["soak"], cal=DAY, ms="F")
    p.add("cmp", "Scheme completion certificate - A6 ITS", 0, "OPN", ["hnd"], cal=DAY, ms="F")


PLANS = {"J14": plan_j14, "WID": plan_wid, "BYP": plan_byp, "RSF": plan_rsf, "ITS": plan_its}
FINISH = {k: "cmp" for k in PLANS}


def make_plan(s):
    plan = Plan(s[0])
    PLANS[s[0]](plan)
    return plan


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each task against its scheme's contract completion."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "sch")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


TM_PHASES = {
    # scheme: (code suffix, title, layout, speed limit, lanes open, start task, end task (its start ends the phase))
    "J14": [("P1", "Narrow lanes on the circulatory, NE and NW slip works", "Narrow lanes", 40, "2 of 3", "J14.tm1",
             "J14.tm2"),
            ("P2", "Traffic on the new slip roads, circulatory widening", "Lane 1 closure with narrow lanes", 40,
             "2 of 3", "J14.tm2", "J14.tm3"),
            ("P3", "Final layout and TM removal", "Night lane closures", 40, "2 of 3", "J14.tm3", "J14.cmp")],
    "WID": [("P1", "Offside widening behind barrier", "Narrow lanes with offside works area", 40, "2 of 2",
             "WID.tm1", "WID.tm2"),
            ("P2", "Traffic switched to the new offside lanes, nearside works", "Contraflow-free nearside works area",
             40, "2 of 2", "WID.tm2", "WID.tm3"),
            ("P3", "TM removal and final lining", "Night lane closures", 50, "1 of 2", "WID.tm3", "WID.cmp")],
    "BYP": [("P1", "West roundabout tie-in", "Night full closures with signed diversion", 30, "0 of 2", "BYP.jw.tm",
             "BYP.jw.mkg"),
            ("P2", "East roundabout tie-in", "Night full closures with signed diversion", 30, "0 of 2", "BYP.je.tm",
             "BYP.je.mkg"),
            ("P3", "Detrunking of the old A39", "Night lane closures", 20, "1 of 2", "BYP.det", "BYP.cmp")],
    "RSF": [("P1", "Mobile night closures under TTROs - spring and summer sites", "Rolling night closures", 20,
             "0 of 2", "RSF.r1.pln", "RSF.r9.mkg"),
            ("P2", "Mobile night closures under TTROs - 2026 sites", "Rolling night closures", 20, "0 of 2",
             "RSF.r10.pln", "RSF.cmp")],
    "ITS": [("P1", "Lane 1 closures along the A6 corridor", "Lane 1 closure", 30, "1 of 2", "ITS.j1.duct",
             "ITS.ins")],
}
DIVERSION_ROUTES = {"J14": "Via M47 J13 and A4120 Fenwick Road", "WID": "Via B4410 Wendle Road",
                    "BYP": "Via Ashwell Lane and the B3120", "RSF": "Local signed diversion",
                    "ITS": "Local signed diversion"}
CARRIAGEWAYS = {"J14": ["Northbound", "Southbound", "Both"], "WID": ["Eastbound", "Westbound"],
                "BYP": ["Both"], "RSF": ["Both"], "ITS": ["Northbound", "Southbound"]}

INSPECTION_TYPE = {"EW": "Compaction Test", "CAP": "Plate Bearing Test", "DRN": "CCTV Drain Survey",
                   "BASE": "Core Sample", "BIND": "Core Sample", "SURF": "Texture Depth Test", "PIL": "Pile Integrity Test",
                   "STR": "Hold Point - Concrete Pour", "WPF": "Waterproofing Adhesion Test",
                   "VRS": "Barrier Installation Check", "LIN": "Retroreflectivity Check", "SIG": "Signal Commissioning Test",
                   "ITS": "Site Acceptance Test", "KRB": "Line and Level Check"}
DEFECTS = {
    "Compaction Test": ["Compaction below 95% MDD in layer", "Soft spot in embankment fill"],
    "Plate Bearing Test": ["CBR below design value", "Capping layer thickness short"],
    "CCTV Drain Survey": ["Displaced joint in carrier drain", "Debris in filter drain", "Cracked gully connection"],
    "Core Sample": ["Air voids above limit in core", "Layer thickness below tolerance"],
    "Texture Depth Test": ["Texture depth below 1.3mm", "Joint not sealed", "Surface regularity failure"],
    "Pile Integrity Test": ["Anomaly at 8m depth in pile", "Pile cut-off level low"],
    "Hold Point - Concrete Pour": ["Cover to reinforcement below 40mm", "Honeycombing on face", "Cube strength low"],
    "Waterproofing Adhesion Test": ["Blistering of membrane", "Adhesion below limit at deck edge"],
    "Barrier Installation Check": ["Post spacing incorrect", "Terminal anchorage missing bolts"],
    "Retroreflectivity Check": ["Centre line retroreflectivity low", "Road studs missing"],
    "Signal Commissioning Test": ["Detector loop fault on approach", "Pedestrian aspect misaligned"],
    "Site Acceptance Test": ["Camera preset not saved", "VMS pixel failure", "Comms outstation drop-outs"],
    "Line and Level Check": ["Kerb line out of tolerance", "Ponding at dropped kerb"],
}

ENV_CONSTRAINTS = [
    # scheme, task key, type, detail, window start, window end, restriction, consent reference, owner
    ("WID", "WID.s4.veg", "Bird Nesting", "Hedgerows along sections 4 and 5", "2025-03-01", "2025-08-31",
     "No vegetation or hedgerow clearance in the nesting season without an ecologist's check", None, ECOLOGIST),
    ("WID", "WID.s5.veg", "Badger Sett", "Active sett 30m from the southern verge at Ch 5+300", "2025-07-01",
     "2025-11-30", "No heavy plant within 30m of the sett; hand dig only", "BDG/2025/0412", ECOLOGIST),
    ("WID", None, "Noise Consent", "Night surfacing next to Lydden Grange houses", "2025-06-01", "2026-03-31",
     "Night works 20:00-06:00 limited to 65 dB LAeq at the nearest house; no breakers after 23:00", "S61/ASH/2025/017",
     EHO),
    ("BYP", "BYP.gcn", "Great Crested Newt", "Ponds near Kettlebrook Road", "2025-03-15", "2025-06-30",
     "Translocation and trapping only in the licensed window; exclusion fencing maintained", "GCN-LIC-2024-0088",
     ECOLOGIST),
    ("BYP", "BYP.m1.veg", "Bird Nesting", "Woodland edge at the west roundabout", "2025-03-01", "2025-08-31",
     "No tree felling or scrub clearance in the nesting season", None, ECOLOGIST),
    ("BYP", "BYP.m3.veg", "Bird Nesting", "Riverside scrub at the River Orrin", "2025-03-01", "2025-08-31",
     "No scrub clearance in the nesting season", None, ECOLOGIST),
    ("BYP", "BYP.rb.pier", "Fish Spawning", "In-channel works at the River Orrin piers", "2025-10-01", "2026-03-31",
     "No in-channel works in the salmon and trout spawning season", "FRAP-2024-311", ECOLOGIST),
    ("BYP", "BYP.lnd", "Planting Season", "Woodland and hedgerow planting", "2026-11-01", "2027-03-15",
     "Planting only in the dormant season", None, ECOLOGIST),
    ("BYP", "BYP.m2.veg", "Bat Roost", "Veteran oak with a bat roost at Ch 1+800", "2025-05-01", "2025-09-30",
     "Roost tree retained; no night lighting within 20m", "BAT-LIC-2025-0057", ECOLOGIST),
    ("J14", None, "Noise Consent", "Night works next to Fenwick Park houses", "2024-12-01", "2026-03-31",
     "Night works 20:00-06:00 limited to 70 dB LAeq at the nearest house; planing only before 00:00",
     "S61/FEN/2024/118", EHO),
    ("J14", "J14.ne.clr", "Bird Nesting", "Embankment scrub at the NE quadrant", "2025-03-01", "2025-08-31",
     "No scrub clearance in the nesting season without an ecologist's check", None, ECOLOGIST),
    ("RSF", None, "Noise Consent", "Night planing in residential streets", "2025-04-01", "2026-04-30",
     "Planing to finish by 23:30; letter drop to residents 7 days before", "S61/CW/2025/044", EHO),
    ("ITS", None, "Noise Consent", "Night ducting along the A6 in Tollbridge", "2025-03-01", "2026-02-28",
     "Night works 20:00-06:00 limited to 65 dB LAeq; no road saw after 23:00", "S61/TOL/2025/009", EHO),
    ("ITS", "ITS.j7.duct", "Tree Protection", "Root protection area of street trees at Ashwell Lane", "2025-09-01",
     "2025-12-31", "Hand dig and air spade only inside the root protection area", None, ECOLOGIST),
]

RISKS = [
    # scheme, task key, title, category, likelihood 1-5, impact 1-5, owner, status, cost GBP, delay days,
    # mitigation, raised, next review
    ("J14", "J14.ugas.div", "Unrecorded gas main under the NE slip road", "Utilities", 3, 5, "Gareth Bellamy",
     "Occurred", 420000.0, 30, "Trial holes before excavation; gas company on standby", "2024-10-07", "2025-04-14"),
    ("J14", "J14.nw.ew", "Soft ground in the NW embankment", "Ground conditions", 3, 4, "Gareth Bellamy", "Occurred",
     180000.0, 6, "Lime stabilisation trial", "2025-03-03", "2025-10-06"),
    ("J14", "J14.gin", "Gantry lift weekend lost to high winds", "Weather", 2, 4, "Sandra Kealey", "Open", 95000.0,
     7, "Reserve closure weekend booked", "2025-05-12", "2025-10-03"),
    ("J14", "J14.sigi", "Signal controller delivery late", "Supply chain", 3, 3, "Arjun Mehra", "Open", 40000.0, 4,
     "Early order of controllers; loan controller from the framework", "2025-06-02", "2025-09-26"),
    ("J14", None, "Closure overruns lead to lane rental charges", "Commercial", 4, 2, "Gareth Bellamy", "Open",
     60000.0, 0, "Early start of clear-up; overrun reviews after each night", "2025-01-13", "2025-09-29"),
    ("WID", "WID.uwat.div", "Trunk main diversion delayed by water company outage window", "Utilities", 4, 4,
     "Priyanka Sethi", "Occurred", 310000.0, 12, "Weekly liaison; temporary overland main", "2024-09-16",
     "2025-10-13"),
    ("WID", "WID.s3.ew", "Unsuitable material in section 3 cutting", "Ground conditions", 3, 3, "Priyanka Sethi",
     "Occurred", 240000.0, 8, "Treat and re-use with lime; import only where needed", "2025-02-10", "2025-09-22"),
    ("WID", "WID.s4.veg", "Nesting birds delay hedgerow clearance", "Environmental", 3, 3, ECOLOGIST, "Occurred",
     35000.0, 10, "Clear after 1 September; ecologist checks", "2025-01-20", "2025-09-29"),
    ("WID", "WID.s5.ew", "Badger sett closure licence not granted in time", "Environmental", 2, 4, ECOLOGIST, "Open",
     70000.0, 15, "Licence application early; artificial sett built", "2025-05-19", "2025-10-20"),
    ("WID", None, "Wet winter stops earthworks", "Weather", 3, 4, "Priyanka Sethi", "Open", 150000.0, 15,
     "Front-load earthworks before November; cover stockpiles", "2024-08-05", "2025-10-06"),
    ("BYP", "BYP.rb.pil", "River Orrin Bridge piles need to go deeper", "Ground conditions", 3, 5, "Callum Rourke",
     "Occurred", 960000.0, 30, "Extra boreholes; pile redesign (BL1)", "2025-01-13", "2025-04-14"),
    ("BYP", "BYP.rb.pier", "River flood stops in-channel pier works", "Weather", 3, 4, "Owen Tranter", "Open",
     210000.0, 10, "Cofferdam raised; work outside the spawning season", "2025-03-24", "2025-10-01"),
    ("BYP", "BYP.ob.lift", "Kettlebrook Road closure weekend refused by the network manager", "Traffic management",
     2, 4, "Sandra Kealey", "Open", 85000.0, 14, "Book two weekends; early notice to bus operators", "2025-03-17",
     "2025-10-10"),
    ("BYP", "BYP.ob.bfab", "Precast beam fabrication slot lost at the factory", "Supply chain", 3, 4, "Callum Rourke",
     "Occurred", 130000.0, 15, "Second factory pre-qualified", "2025-02-24", "2025-09-26"),
    ("BYP", "BYP.uhv.div", "33kV undergrounding outage not granted", "Utilities", 3, 4, "Callum Rourke", "Closed",
     190000.0, 10, "Outage booked twelve months ahead", "2024-09-16", "2025-03-31"),
    ("BYP", None, "Archaeology finds extend the strip, map and sample", "Environmental", 2, 3, "Callum Rourke",
     "Closed", 120000.0, 20, "Trial trenching early; contingency in programme", "2024-09-09", "2025-02-24"),
    ("BYP", "BYP.m4.ew", "Earthworks balance short - import fill needed", "Commercial", 4, 3, "Callum Rourke", "Open",
     520000.0, 10, "Borrow pit in the scheme boundary", "2025-04-07", "2025-10-03"),
    ("RSF", "RSF.r8.pln", "Buried tram rails found under High Street, Fenwick", "Ground conditions", 2, 3,
     "Joanne Whitmore", "Open", 45000.0, 3, "Trial cores before planing", "2025-08-11", "2025-09-26"),
    ("RSF", None, "Cold weather stops surfacing in winter", "Weather", 4, 2, "Joanne Whitmore", "Open", 30000.0, 5,
     "No surfacing programmed December to January", "2025-03-10", "2025-11-03"),
    ("RSF", "RSF.r5.srf", "A412 Lydden Hill closure overruns", "Traffic management", 3, 3, "Sandra Kealey",
     "Occurred", 25000.0, 1, "Extra paver on night two", "2025-05-27", "2025-08-29"),
    ("ITS", "ITS.proc", "Radar detector supply shortage", "Supply chain", 4, 4, "Tomasz Nowicki", "Occurred",
     160000.0, 20, "Loops instead of radar at two junctions", "2025-02-17", "2025-09-29"),
    ("ITS", "ITS.ins", "Instation software integration with the county system", "Technical", 3, 4, "Tomasz Nowicki",
     "Open", 90000.0, 12, "Factory acceptance test with the county's test server", "2025-04-22", "2025-10-07"),
    ("ITS", "ITS.v3.ins", "J14 approach VMS waits for the J14 gantry closure", "Interface", 3, 3, "Tomasz Nowicki",
     "Open", 30000.0, 10, "Share the J14 weekend closure", "2025-06-16", "2025-10-14"),
    ("ITS", None, "Power connections delayed by the electricity network operator", "Utilities", 3, 3,
     "Tomasz Nowicki", "Open", 55000.0, 8, "Apply for all connections together", "2025-03-03", "2025-10-01"),
]


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "hwCalendar", "hwCalendarException", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    rsrc_ids, rsrc_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO hwResource VALUES (?,?,?,?,?,?,?,?,?)", (i,) + r)
        rsrc_ids[r[0]], rsrc_row[r[0]] = i, r

    plans, tasks, keys = gather_plans(SCHEMES, make_plan, lambda g: g[7])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['sch']}.{FINISH[t['sch']]}")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(s[0], f"{s[0]}.{FINISH[s[0]]}", s[8], s[11] is not None) for s in SCHEMES],
        dt.date(2031, 1, 1), CALS[OFF])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    for k, extra in AFTER_REBASE.items():
        cdurs[k] += extra
    sched = cpm(tasks, keys, cdurs, links, anchors)
    sb, fb, lsb, lfb, free = sched

    ids = dict(wbs=0, task=0, rel=0, bl=0, blt=0, asg=0)
    task_ids, states, sch_ids, acts, bl_used = {}, {}, {}, {}, {}
    for s_idx, sc in enumerate(SCHEMES, 1):
        sk, code, name, route, district, manager, contr, start, _, budget, cost_f, rebase = sc
        sch_ids[sk] = s_idx
        plan = plans[sk]
        tkeys = [t["key"] for t in plan.tasks]
        fin = f"{sk}.{FINISH[sk]}"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE
        stage = stage_at(plan.tasks, sb, cdurs, DATA_DATE, done,
                         ("Complete", "Commissioning", "Construction", "Preparation"),
                         lambda t: t["wbs"] == "OPN", lambda t: t["cal"] not in (OFF, ELP))
        slack = CALS[OFF].wd(fb[fin], anchors[sk])
        rag = "Green" if done else ("Red" if fin_shown > tgt[sk] or slack < 0 else ("Amber" if slack <= 10 else "Green"))
        bud = budget * 1e6
        con.execute("INSERT INTO hwScheme VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (s_idx, code, name, route, district, manager, contr, bud, round(bud * cost_f, -4), iso(start),
                     iso(tgt[sk]), iso(fin_shown), iso(fin_shown) if done else None, iso(DATA_DATE), stage, rag))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, f"{code} {name}"):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO hwWbsNode VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], s_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        bl_used[sk] = (bl_src, bl_d)
        seq = {}
        for k in tkeys:
            t = tasks[k]
            ids["task"] += 1
            task_ids[k] = ids["task"]
            seq[t["letter"]] = seq.get(t["letter"], 0) + 1
            a = activity_at(DATA_DATE, tasks, k, cdurs, sched, bl_src, bl_d, CALS, rng)
            acts[k] = a
            states[k] = a.state
            typ = {"task": "Task", "start": "Start Milestone", "finish": "Finish Milestone"}[a.kind]
            con.execute("INSERT INTO hwTask VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["task"], s_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]],
                         f"{sk}-{t['letter']}{seq[t['letter']] * 10:03d}", t["name"], typ, t["area"],
                         float(cdurs[k]), a.remaining, iso(a.bl_start), iso(a.bl_finish), iso(a.start),
                         iso(a.finish), iso(a.late_start), iso(a.late_finish), iso(a.actual_start),
                         iso(a.actual_finish), a.total_float, a.free_float, 1 if a.critical else 0, a.pct,
                         {"not": "Not Started", "started": "Underway", "done": "Finished"}[a.state]))
        bls = [(0, "BL0 Original baseline (contract award)", start + dt.timedelta(days=21), b0, d0)]
        if rebase:
            bls.append((1, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO hwBaseline VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], s_idx, no, bname, iso(bdate), DIRECTOR, 1 if no == len(bls) - 1 else 0))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, tkeys, bl, bd, CALS):
                ids["blt"] += 1
                con.execute("INSERT INTO hwBaselineTask VALUES (?,?,?,?,?,?,?)",
                            (ids["blt"], ids["bl"], task_ids[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["rel"] += 1
        con.execute("INSERT INTO hwTaskRelation VALUES (?,?,?,?,?)",
                    (ids["rel"], task_ids[p], task_ids[s], typ, float(lag)))

    # resource assignments
    for k in keys:
        t = tasks[k]
        for rc in KIND_RSRC.get(t["kind"], []):
            r = rsrc_row[rc]
            cal = CALS[t["cal"]]
            hpd = cal.crew_hours
            base = t["dur"]
            pln = float(base * hpd * r[5])
            act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng)
            rate = r[6] / hpd
            ids["asg"] += 1
            con.execute("INSERT INTO hwResourceAssignment VALUES (?,?,?,?,?,?,?,?)",
                        (ids["asg"], task_ids[k], rsrc_ids[rc], pln, act, rem_h, round(pln * rate, 2),
                         round(act * rate, 2)))

    def bl_dates(k):
        bl, bd = bl_used[tasks[k]["sch"]]
        if k not in bl[0]:
            return None, None
        return shown(tasks[k], bl[0][k], bl[1][k], bd[k])

    def cur(k):
        return acts[k].start, acts[k].finish

    # traffic management phases
    phase_rows = []
    n = 0
    for sk, phases in TM_PHASES.items():
        for suf, title, layout, speed, lanes, k_from, k_to in phases:
            n += 1
            p_start = cur(k_from)[0]
            p_end = cur(k_to)[1] if k_to.endswith(".cmp") or k_to.endswith(".mkg") or k_to.endswith(".ins") \
                else cur(k_to)[0]
            if p_end <= DATA_DATE:
                state = "Removed"
            elif p_start <= DATA_DATE:
                state = "Live"
            else:
                state = "Planned"
            con.execute("INSERT INTO hwTmPhase VALUES (?,?,?,?,?,?,?,?,?,?)",
                        (n, sch_ids[sk], f"TM-{sk}-{suf}", title, layout, speed, lanes, iso(p_start), iso(p_end),
                         state))
            phase_rows.append((n, sk, p_start, p_end))

    # road and lane closures: one for each night (or weekend) a closure task works, booked up to eight weeks ahead
    closures = []
    for k in keys:
        t = tasks[k]
        if not t.get("ctype") or cdurs[k] == 0:
            continue
        cal = CALS[t["cal"]]
        days = []
        d = sb[k]
        while d < fb[k]:
            if cal.work(d):
                days.append(d)
            d += D1
        if t["cal"] == WKD:
            weekends = {}
            for d in days:
                fri = d - dt.timedelta(days=d.weekday() - 4)
                weekends.setdefault(fri, []).append(d)
            for fri in sorted(weekends):
                closures.append((fri, k, f"{iso(fri)} 21:00", fri + dt.timedelta(days=3), "05:00"))
        elif t["cal"] == NGT:
            for d in days:
                closures.append((d, k, f"{iso(d)} 20:00", d + D1, "06:00"))
        else:
            for d in days:
                closures.append((d, k, f"{iso(d)} 09:30", d, "15:30"))
    closures.sort(key=lambda c: (c[0], tasks[c[1]]["sch"], c[1]))
    n_by = {}
    for n, (d, k, c_start, end_d, end_t) in enumerate(closures, 1):
        t = tasks[k]
        sk = t["sch"]
        if d > DATA_DATE + dt.timedelta(days=56):
            continue
        n_by[sk] = n_by.get(sk, 0) + 1
        c_end = f"{iso(end_d)} {end_t}"
        overran, minutes, reopened = 0, 0, None
        if end_d <= DATA_DATE:
            if rng.random() < 0.05:
                status = "Cancelled"
            else:
                status = "Completed"
                end_dt = dt.datetime.fromisoformat(c_end)
                if rng.random() < 0.13 or (k == "RSF.r5.srf"):
                    overran, minutes = 1, rng.choice([15, 20, 30, 45, 60, 75, 90, 120, 150])
                    reopened = end_dt + dt.timedelta(minutes=minutes)
                else:
                    reopened = end_dt - dt.timedelta(minutes=rng.choice([0, 10, 15, 20, 30, 45]))
                reopened = reopened.strftime("%Y-%m-%d %H:%M")
        elif d <= DATA_DATE:
            status = "Live"
        elif d <= DATA_DATE + dt.timedelta(days=14):
            status = "Confirmed"
        else:
            status = "Booked"
        phase = next((pid for pid, psk, ps, pe in phase_rows if psk == sk and ps <= d <= pe), None)
        con.execute("INSERT INTO hwClosure VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (n, sch_ids[sk], phase, task_ids[k], f"CL-{sk}-{n_by[sk]:04d}", t["road"], t["ctype"],
                     rng.choice(CARRIAGEWAYS[sk]) if t["ctype"] != "Full Road Closure" or sk == "J14" else "Both",
                     c_start, c_end, reopened, status, overran, minutes,
                     DIVERSION_ROUTES[sk] if t["ctype"] in ("Full Road Closure", "Slip Road Closure") else None))

    # statutory utility diversions
    n = 0
    for sk, items in UTILITIES.items():
        for i, (code, title, company, apparatus, dur, area, extra, est) in enumerate(items, 1):
            n += 1
            k = f"{sk}.u{code}.div"
            k_c4, k_ord = f"{sk}.u{code}.c4", f"{sk}.u{code}.ord"
            b_s, b_f = bl_dates(k)
            c_s, c_f = cur(k)
            if states[k] == "done":
                status, notice = "Complete", "C7 Works Order"
            elif states[k] == "started":
                status, notice = "On Site", "C7 Works Order"
            elif states[k_ord] != "not":
                status, notice = "Ordered", "C7 Works Order"
            elif states[k_c4] != "not":
                status, notice = "Estimate Requested", "C4 Detailed Estimate"
            else:
                status, notice = "Notice Served", "C3 Budget Estimate"
            served = cur(k_ord)[0] if notice == "C7 Works Order" else cur(k_c4)[0]
            if notice == "C3 Budget Estimate":
                served = cur(k_c4)[0] - dt.timedelta(days=42)
            con.execute("INSERT INTO hwUtilityDiversion VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (n, sch_ids[sk], task_ids[k], f"UD-{sk}-{i:02d}", company, apparatus, notice, iso(served),
                         status, iso(b_s), iso(b_f), iso(c_s), iso(c_f), iso(acts[k].actual_start),
                         iso(acts[k].actual_finish), est))

    # daily earthworks quantities and asphalt shifts, up to the data date
    n_q = n_a = 0
    for k in keys:
        t = tasks[k]
        if t["kind"] not in ("EW", "CAP", "BASE", "BIND", "SURF") or states[k] == "not" or cdurs[k] == 0:
            continue
        cal = CALS[t["cal"]]
        days = worked_days(cal, sb[k], fb[k], DATA_DATE)
        if t["kind"] in ("EW", "CAP"):
            if k.endswith(".ew") and t["sch"] in ("J14", "WID", "BYP") and ".c" not in k and ".j" not in k:
                cut_d, fill_d = rng.choice([(900, 650), (650, 900), (1200, 800), (700, 1100), (1000, 1000)])
            elif t["kind"] == "CAP":
                cut_d, fill_d = 0, 520
            else:
                cut_d, fill_d = 380, 160
            for d in days:
                n_q += 1
                lost = rng.random() < 0.06
                cut = 0.0 if lost or not cut_d else round(cut_d * rng.uniform(0.6, 1.25), -1)
                fill = 0.0 if lost else round(fill_d * rng.uniform(0.6, 1.25), -1)
                con.execute("INSERT INTO hwDailyQuantity VALUES (?,?,?,?,?,?,?)",
                            (n_q, sch_ids[t["sch"]], task_ids[k], iso(d), cut, fill,
                             int(round(max(cut, fill) / 11.0))))
        else:
            layer, mix, target = PAVE_LAYER[t["kind"]]
            if t["sch"] == "RSF":
                target = round(target * 0.7, -1)
            for d in days:
                n_a += 1
                laid = round(target * rng.uniform(0.55, 1.12), 1)
                con.execute("INSERT INTO hwAsphaltShift VALUES (?,?,?,?,?,?,?,?,?,?)",
                            (n_a, sch_ids[t["sch"]], task_ids[k], rsrc_ids["SURF-GANG"], iso(d),
                             "Night" if t["cal"] == NGT else "Day", layer, mix, laid, target))

    # environmental constraints
    n_by = {}
    for n, (sk, k, typ, detail, w_s, w_e, restr, ref, owner) in enumerate(ENV_CONSTRAINTS, 1):
        n_by[sk] = n_by.get(sk, 0) + 1
        w_s_d, w_e_d = dt.date.fromisoformat(w_s), dt.date.fromisoformat(w_e)
        status = "Expired" if w_e_d < DATA_DATE else ("Active" if w_s_d <= DATA_DATE else "Upcoming")
        con.execute("INSERT INTO hwEnvConstraint VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                    (n, sch_ids[sk], task_ids[k] if k else None, f"ENV-{sk}-{n_by[sk]:02d}", typ, detail, w_s, w_e,
                     restr, ref, owner, status))

    # inspections and defects
    n_i = n_d = 0
    n_by, d_by = {}, {}
    for k in keys:
        t = tasks[k]
        itype = INSPECTION_TYPE.get(t["kind"])
        if not itype or states[k] == "not" or cdurs[k] == 0:
            continue
        sk = t["sch"]
        s_d, f_d = cur(k)
        i_date = f_d if states[k] == "done" else min(DATA_DATE, s_d + dt.timedelta(days=3))
        n_i += 1
        n_by[sk] = n_by.get(sk, 0) + 1
        result = rng.choices(["Pass", "Pass with Comments", "Fail"], [0.74, 0.16, 0.10])[0]
        if k in ("BYP.rb.pil", "J14.nw.ew", "WID.s3.ew"):
            result = "Fail"
        con.execute("INSERT INTO hwInspection VALUES (?,?,?,?,?,?,?,?)",
                    (n_i, sch_ids[sk], task_ids[k], f"INS-{sk}-{n_by[sk]:03d}", itype, iso(i_date),
                     rng.choice(INSPECTORS), result))
        if result == "Pass":
            continue
        for _ in range(1 if result == "Pass with Comments" else rng.choice([1, 2])):
            n_d += 1
            d_by[sk] = d_by.get(sk, 0) + 1
            sev = "Minor" if result == "Pass with Comments" else rng.choice(["Category 1", "Category 2", "Category 2"])
            target = i_date + dt.timedelta(days={"Category 1": 7, "Category 2": 28, "Minor": 56}[sev])
            closed = None
            if target < DATA_DATE and rng.random() < 0.8:
                closed = i_date + dt.timedelta(days=rng.randint(2, (target - i_date).days + 10))
                if closed > DATA_DATE:
                    closed = None
            con.execute("INSERT INTO hwDefect VALUES (?,?,?,?,?,?,?,?,?)",
                        (n_d, n_i, f"DEF-{sk}-{d_by[sk]:03d}", rng.choice(DEFECTS[itype]), sev, iso(i_date),
                         iso(target), iso(closed), "Closed" if closed else "Open"))

    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO hwRisk VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, sch_ids[r[0]], task_ids[r[1]] if r[1] else None, f"RSK-{r[0]}-{n_by[r[0]]:02d}", r[2], r[3],
                     r[4], r[5], r[4] * r[5], r[6], r[7], r[8], float(r[9]), r[10], r[11], r[12]))
    con.commit()
    return con

# ---------------------------------------------------------------------------------------------- metadata

SCH_FK = ("Scheme (hwScheme.scheme_id)", "INTEGER")
TASK_FK = ("Task (hwTask.task_id)", "INTEGER")

TABLE_META = {
    "hwScheme": ("Road improvement schemes of the Wessenden Highways Authority Orrin Valley programme: route, "
                 "district, scheme manager, principal contractor, budget and forecast outturn, start of works, "
                 "contract, forecast and actual completion, data date, stage and RAG status", "programme", {
        "scheme_id": ("Scheme id", "INTEGER"),
        "scheme_code": ("Scheme code, e.g. M47-J14, A39-BYP", "TEXT"),
        "scheme_name": ("Scheme name, e.g. A39 Saltmarsh Bypass", "TEXT"),
        "route_number": ("Road number of the route, e.g. A412; Various for the resurfacing framework", "TEXT"),
        "district": ("District the scheme is in", "TEXT"),
        "scheme_manager": ("Authority's scheme manager", "TEXT"),
        "principal_contractor": ("Principal contractor", "TEXT"),
        "budget_gbp": ("Approved budget, GBP", "REAL"),
        "forecast_outturn_gbp": ("Forecast outturn cost, GBP", "REAL"),
        "start_of_works": ("Start of works (notice to proceed)", "DATE"),
        "contract_completion": ("Contract completion date; total float is measured to it", "DATE"),
        "forecast_completion": ("Forecast completion from the current programme", "DATE"),
        "actual_completion": ("Actual completion; null until complete", "DATE"),
        "data_date": ("Programme data date (status date)", "DATE"),
        "scheme_stage": ("Stage: Preparation, Construction, Commissioning, Complete", "TEXT"),
        "rag_status": ("Programme RAG status: Red, Amber or Green", "TEXT"),
    }),
    "hwWbsNode": ("Work breakdown structure of each scheme: level 1 the scheme; level 2 preparation, statutory "
                  "undertakers' diversions, traffic management, construction, commissioning and opening; level 3 "
                  "quadrants, sections, bridges, resurfacing sites, signals and ITS groups", "scheduling", {
        "wbs_node_id": ("WBS node id", "INTEGER"),
        "scheme_id": SCH_FK,
        "parent_node_id": ("Parent WBS node (hwWbsNode.wbs_node_id); null for the scheme node", "INTEGER"),
        "wbs_code": ("WBS code, e.g. A39-BYP.4.2", "TEXT"),
        "wbs_title": ("WBS node title, e.g. River Orrin Bridge (3-span), Section 3 - Ch 2+400 to 3+600", "TEXT"),
        "wbs_level": ("Level in the WBS (1 = scheme)", "INTEGER"),
    }),
    "hwCalendar": ("Work calendars: office, day works, six-day earthworks, night works (Sun-Thu nights), weekend "
                   "full closures, elapsed days", "scheduling", {
        "calendar_id": ("Calendar id", "INTEGER"),
        "calendar_code": ("Calendar code, e.g. NIGHT-SUN-THU, WKND-CLOSURE", "TEXT"),
        "calendar_title": ("Calendar title with its hours", "TEXT"),
        "working_pattern": ("Working days (or nights) of the week", "TEXT"),
        "hours_per_shift": ("Working hours a shift", "REAL"),
        "calendar_notes": ("What the calendar is used for and what it excludes", "TEXT"),
    }),
    "hwCalendarException": ("Non-working days of each calendar: bank holidays, the Christmas road works embargo, "
                            "office Christmas closure, event embargoes and bank holiday weekends", "scheduling", {
        "exception_id": ("Exception id", "INTEGER"),
        "calendar_id": ("Calendar (hwCalendar.calendar_id)", "INTEGER"),
        "exception_date": ("Non-working date (for the night calendar, the night starting that day)", "DATE"),
        "exception_type": ("Bank Holiday, Christmas Embargo, Office Closure, Event Embargo or Bank Holiday "
                           "Weekend", "TEXT"),
        "exception_reason": ("Why the day is not worked", "TEXT"),
    }),
    "hwTask": ("Programme tasks and milestones of every scheme: location (chainage, quadrant, bridge, site), "
               "durations, baseline, forecast (early), late and actual dates, total and free float, critical flag, "
               "percent done and state", "scheduling", {
        "task_id": ("Task id", "INTEGER"),
        "scheme_id": SCH_FK,
        "wbs_node_id": ("WBS node (hwWbsNode.wbs_node_id)", "INTEGER"),
        "calendar_id": ("Calendar (hwCalendar.calendar_id)", "INTEGER"),
        "task_reference": ("Task reference: scheme key, WBS letter (P preparation, U utilities, T traffic "
                           "management, C construction, H handover) and number, e.g. BYP-C240, J14-U030", "TEXT"),
        "task_title": ("Task title", "TEXT"),
        "task_type": ("Task, Start Milestone or Finish Milestone", "TEXT"),
        "work_location": ("Where the work is: chainage, quadrant, bridge, junction or street", "TEXT"),
        "duration_days": ("Current planned duration in working days (or nights) of its calendar", "REAL"),
        "remaining_days": ("Remaining duration in working days", "REAL"),
        "baseline_start": ("Start in the scheme's current baseline", "DATE"),
        "baseline_finish": ("Finish in the scheme's current baseline", "DATE"),
        "forecast_start": ("Forecast (early) start", "DATE"),
        "forecast_finish": ("Forecast (early) finish", "DATE"),
        "late_start": ("Late start; null once finished", "DATE"),
        "late_finish": ("Late finish; null once finished", "DATE"),
        "actual_start": ("Actual start; null until started", "DATE"),
        "actual_finish": ("Actual finish; null until finished", "DATE"),
        "total_float": ("Total float in working days to the contract completion; null once finished", "REAL"),
        "free_float": ("Free float in working days; null once finished", "REAL"),
        "is_critical": ("On the critical path: 1 or 0", "INTEGER"),
        "percent_done": ("Percent complete, 0-100", "REAL"),
        "task_state": ("Not Started, Underway or Finished", "TEXT"),
    }),
    "hwTaskRelation": ("Logic relationships between tasks with type and lag; one crosses schemes (the J14 approach "
                       "VMS waits for the J14 gantry closure)", "scheduling", {
        "relation_id": ("Relationship id", "INTEGER"),
        "predecessor_task_id": ("Predecessor task (hwTask.task_id)", "INTEGER"),
        "successor_task_id": ("Successor task (hwTask.task_id)", "INTEGER"),
        "relation_type": ("FS, SS or FF", "TEXT"),
        "lag_days": ("Lag in calendar days", "REAL"),
    }),
    "hwBaseline": ("Baselines of each scheme; number 0 is the original baseline, number 1 a re-baseline",
                   "scheduling", {
        "baseline_id": ("Baseline id", "INTEGER"),
        "scheme_id": SCH_FK,
        "baseline_number": ("Baseline number (0 = original)", "INTEGER"),
        "baseline_name": ("Baseline name", "TEXT"),
        "approved_date": ("Date the baseline was approved", "DATE"),
        "approved_by": ("Who approved it", "TEXT"),
        "is_current": ("Current baseline: 1 or 0", "INTEGER"),
    }),
    "hwBaselineTask": ("Task dates, durations and float stored in each baseline", "scheduling", {
        "baseline_task_id": ("Baseline task row id", "INTEGER"),
        "baseline_id": ("Baseline (hwBaseline.baseline_id)", "INTEGER"),
        "task_id": TASK_FK,
        "bl_start": ("Start in this baseline", "DATE"),
        "bl_finish": ("Finish in this baseline", "DATE"),
        "bl_duration_days": ("Duration in this baseline, working days", "REAL"),
        "bl_total_float": ("Total float in this baseline, working days", "REAL"),
    }),
    "hwResource": ("Gangs, plant, subcontractors and consultants", "resources", {
        "resource_id": ("Resource id", "INTEGER"),
        "resource_code": ("Resource code, e.g. SURF-GANG, CRANE-500", "TEXT"),
        "resource_name": ("Resource name", "TEXT"),
        "resource_type": ("Gang, Plant, Subcontractor or Consultant", "TEXT"),
        "trade": ("Trade or discipline, e.g. Surfacing, Piling, Signals", "TEXT"),
        "supplier": ("Company providing the resource", "TEXT"),
        "crew_size": ("People (or machines) in the resource", "INTEGER"),
        "day_rate_gbp": ("Day rate per person or machine, GBP", "REAL"),
        "foreman": ("Foreman or supervisor", "TEXT"),
    }),
    "hwResourceAssignment": ("Resources assigned to tasks: planned, actual and remaining hours and cost",
                             "resources", {
        "assignment_id": ("Assignment id", "INTEGER"),
        "task_id": TASK_FK,
        "resource_id": ("Resource (hwResource.resource_id)", "INTEGER"),
        "planned_hours": ("Planned hours", "REAL"),
        "actual_hours": ("Actual hours to the data date", "REAL"),
        "remaining_hours": ("Remaining hours", "REAL"),
        "planned_cost_gbp": ("Planned cost, GBP", "REAL"),
        "actual_cost_gbp": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "hwTmPhase": ("Traffic management phases of each scheme: layout, temporary speed limit, lanes open, dates, "
                  "state", "traffic_management", {
        "tm_phase_id": ("TM phase id", "INTEGER"),
        "scheme_id": SCH_FK,
        "tm_phase_code": ("TM phase code, e.g. TM-J14-P2", "TEXT"),
        "phase_title": ("What the phase is for", "TEXT"),
        "tm_layout": ("Traffic management layout, e.g. Narrow lanes, Lane 1 closure", "TEXT"),
        "speed_limit_mph": ("Temporary speed limit, mph", "INTEGER"),
        "lanes_open": ("Lanes open to traffic, e.g. 2 of 3", "TEXT"),
        "phase_start": ("Date the phase starts", "DATE"),
        "phase_end": ("Date the phase ends", "DATE"),
        "phase_state": ("Planned, Live or Removed", "TEXT"),
    }),
    "hwClosure": ("Road, lane and slip road closures and temporary signals booked for night, weekend and day work: "
                  "booked times, reopening, status, overruns and diversion route", "traffic_management", {
        "closure_id": ("Closure id", "INTEGER"),
        "scheme_id": SCH_FK,
        "tm_phase_id": ("TM phase the closure falls in (hwTmPhase.tm_phase_id); null outside a phase", "INTEGER"),
        "task_id": ("Task the closure is for (hwTask.task_id)", "INTEGER"),
        "closure_reference": ("Closure booking reference, e.g. CL-RSF-0042", "TEXT"),
        "road_name": ("Road or street closed", "TEXT"),
        "closure_type": ("Full Road Closure, Lane Closure, Slip Road Closure or Temporary Signals", "TEXT"),
        "carriageway": ("Carriageway: Northbound, Southbound, Eastbound, Westbound or Both", "TEXT"),
        "closure_start": ("Booked start, YYYY-MM-DD HH:MM", "DATETIME"),
        "closure_end": ("Booked end (road to reopen), YYYY-MM-DD HH:MM", "DATETIME"),
        "reopened_at": ("When the road actually reopened; null until then or when cancelled", "DATETIME"),
        "closure_status": ("Booked, Confirmed, Completed or Cancelled", "TEXT"),
        "overran": ("Closure overran its booked end: 1 or 0", "INTEGER"),
        "overrun_minutes": ("Minutes the reopening was late (0 if on time)", "INTEGER"),
        "diversion_route": ("Signed diversion route for full and slip road closures", "TEXT"),
    }),
    "hwUtilityDiversion": ("Statutory undertakers' (utility) diversions: company, apparatus, latest notice, status, "
                           "planned, forecast and actual dates and estimate", "utilities", {
        "diversion_id": ("Diversion id", "INTEGER"),
        "scheme_id": SCH_FK,
        "task_id": ("On-site diversion task (hwTask.task_id)", "INTEGER"),
        "diversion_reference": ("Diversion reference, e.g. UD-BYP-02", "TEXT"),
        "utility_company": ("Utility company (statutory undertaker)", "TEXT"),
        "apparatus": ("Apparatus diverted, e.g. 450mm trunk water main", "TEXT"),
        "notice_type": ("Latest notice: C3 Budget Estimate, C4 Detailed Estimate or C7 Works Order", "TEXT"),
        "notice_served_date": ("Date the latest notice was served", "DATE"),
        "diversion_status": ("Notice Served, Estimate Requested, Ordered, On Site or Complete", "TEXT"),
        "planned_start": ("Start in the current baseline", "DATE"),
        "planned_finish": ("Finish in the current baseline", "DATE"),
        "forecast_start": ("Forecast start", "DATE"),
        "forecast_finish": ("Forecast finish", "DATE"),
        "actual_start": ("Actual start; null until started", "DATE"),
        "actual_finish": ("Actual finish; null until complete", "DATE"),
        "estimate_gbp": ("Utility company's estimate, GBP", "REAL"),
    }),
    "hwDailyQuantity": ("Daily earthworks quantities of each earthworks and capping task: cut and fill in cubic "
                        "metres and haul loads", "quantities", {
        "quantity_id": ("Quantity record id", "INTEGER"),
        "scheme_id": SCH_FK,
        "task_id": ("Earthworks task (hwTask.task_id)", "INTEGER"),
        "work_date": ("Working day", "DATE"),
        "cut_m3": ("Cut excavated that day, m3", "REAL"),
        "fill_m3": ("Fill placed and compacted that day, m3", "REAL"),
        "haul_loads": ("Dump truck loads hauled", "INTEGER"),
    }),
    "hwAsphaltShift": ("Asphalt laid per shift by pavement layer: shift date and type, mix, tonnes laid against "
                       "target", "quantities", {
        "asphalt_shift_id": ("Asphalt shift id", "INTEGER"),
        "scheme_id": SCH_FK,
        "task_id": ("Surfacing task (hwTask.task_id)", "INTEGER"),
        "resource_id": ("Surfacing gang (hwResource.resource_id)", "INTEGER"),
        "shift_date": ("Date of the shift (a night shift is dated by the night it starts)", "DATE"),
        "shift_type": ("Day or Night", "TEXT"),
        "pavement_layer": ("Base course, Binder course or Surface course", "TEXT"),
        "mix_designation": ("Asphalt mix", "TEXT"),
        "tonnes_laid": ("Tonnes laid in the shift", "REAL"),
        "target_tonnes": ("Target tonnes for the shift", "REAL"),
    }),
    "hwEnvConstraint": ("Environmental constraints: bird nesting and other seasonal windows, protected species "
                        "licences and noise consents for night works", "environment", {
        "constraint_id": ("Constraint id", "INTEGER"),
        "scheme_id": SCH_FK,
        "task_id": ("Task the constraint restricts (hwTask.task_id); null when scheme-wide", "INTEGER"),
        "constraint_reference": ("Constraint reference, e.g. ENV-BYP-03", "TEXT"),
        "constraint_type": ("Bird Nesting, Noise Consent, Great Crested Newt, Badger Sett, Bat Roost, Fish Spawning, "
                            "Planting Season or Tree Protection", "TEXT"),
        "constraint_detail": ("What and where", "TEXT"),
        "window_start": ("Start of the restricted (or consented) window", "DATE"),
        "window_end": ("End of the window", "DATE"),
        "restriction": ("What the constraint allows or forbids", "TEXT"),
        "consent_reference": ("Licence or consent reference; null when none is needed", "TEXT"),
        "constraint_owner": ("Who manages the constraint", "TEXT"),
        "constraint_status": ("Upcoming, Active or Expired at the data date", "TEXT"),
    }),
    "hwInspection": ("Inspections, tests and hold points on completed or underway work", "quality", {
        "inspection_id": ("Inspection id", "INTEGER"),
        "scheme_id": SCH_FK,
        "task_id": ("Task inspected (hwTask.task_id)", "INTEGER"),
        "inspection_reference": ("Inspection reference, e.g. INS-WID-014", "TEXT"),
        "inspection_type": ("Inspection or test, e.g. Core Sample, Compaction Test, Pile Integrity Test", "TEXT"),
        "inspection_date": ("Date of the inspection", "DATE"),
        "inspector": ("Inspector", "TEXT"),
        "inspection_result": ("Pass, Pass with Comments or Fail", "TEXT"),
    }),
    "hwDefect": ("Defects raised at inspections, with severity, target and close-out", "quality", {
        "defect_id": ("Defect id", "INTEGER"),
        "inspection_id": ("Inspection that raised it (hwInspection.inspection_id)", "INTEGER"),
        "defect_reference": ("Defect reference, e.g. DEF-BYP-007", "TEXT"),
        "defect_description": ("Defect", "TEXT"),
        "severity": ("Category 1 (7 days), Category 2 (28 days) or Minor (56 days)", "TEXT"),
        "raised_date": ("Date raised", "DATE"),
        "target_close_date": ("Date it must be put right by", "DATE"),
        "closed_date": ("Date closed; null while open", "DATE"),
        "defect_state": ("Open or Closed", "TEXT"),
    }),
    "hwRisk": ("Risk register: category, likelihood, impact, rating, owner, status, cost and delay exposure, "
               "mitigation", "risk", {
        "risk_id": ("Risk id", "INTEGER"),
        "scheme_id": SCH_FK,
        "task_id": ("Task the risk affects (hwTask.task_id); null for scheme-wide risks", "INTEGER"),
        "risk_reference": ("Risk reference, e.g. RSK-WID-03", "TEXT"),
        "risk_title": ("Risk", "TEXT"),
        "risk_category": ("Category, e.g. Utilities, Ground conditions, Weather, Supply chain", "TEXT"),
        "likelihood": ("Likelihood 1-5", "INTEGER"),
        "impact": ("Impact 1-5", "INTEGER"),
        "risk_rating": ("Likelihood x impact", "INTEGER"),
        "risk_owner": ("Owner", "TEXT"),
        "risk_status": ("Open, Closed or Occurred", "TEXT"),
        "cost_exposure_gbp": ("Cost exposure, GBP", "REAL"),
        "delay_exposure_days": ("Delay exposure, working days", "REAL"),
        "mitigation": ("Mitigation", "TEXT"),
        "raised_date": ("Date raised", "DATE"),
        "next_review": ("Next review date", "DATE"),
    }),
}

RELATIONSHIPS = [
    ("hwWbsNode", "hwScheme", "hwWbsNode.scheme_id = hwScheme.scheme_id", "WBS of a scheme"),
    ("hwWbsNode", "hwWbsNode", "hwWbsNode.parent_node_id = hwWbsNode.wbs_node_id", "Parent WBS node"),
    ("hwCalendarException", "hwCalendar", "hwCalendarException.calendar_id = hwCalendar.calendar_id",
     "Non-working days of a calendar"),
    ("hwTask", "hwScheme", "hwTask.scheme_id = hwScheme.scheme_id", "Tasks of a scheme"),
    ("hwTask", "hwWbsNode", "hwTask.wbs_node_id = hwWbsNode.wbs_node_id", "WBS node of a task"),
    ("hwTask", "hwCalendar", "hwTask.calendar_id = hwCalendar.calendar_id", "Calendar of a task"),
    ("hwTaskRelation", "hwTask", "hwTaskRelation.predecessor_task_id = hwTask.task_id", "Predecessor of a relationship"),
    ("hwTaskRelation", "hwTask", "hwTaskRelation.successor_task_id = hwTask.task_id", "Successor of a relationship"),
    ("hwBaseline", "hwScheme", "hwBaseline.scheme_id = hwScheme.scheme_id", "Baselines of a scheme"),
    ("hwBaselineTask", "hwBaseline", "hwBaselineTask.baseline_id = hwBaseline.baseline_id", "Rows of a baseline"),
    ("hwBaselineTask", "hwTask", "hwBaselineTask.task_id = hwTask.task_id", "Task a baseline row stores"),
    ("hwResourceAssignment", "hwResource", "hwResourceAssignment.resource_id = hwResource.resource_id",
     "Resource of an assignment"),
    ("hwResourceAssignment", "hwTask", "hwResourceAssignment.task_id = hwTask.task_id", "Task a resource works on"),
    ("hwTmPhase", "hwScheme", "hwTmPhase.scheme_id = hwScheme.scheme_id", "TM phases of a scheme"),
    ("hwClosure", "hwScheme", "hwClosure.scheme_id = hwScheme.scheme_id", "Closures of a scheme"),
    ("hwClosure", "hwTmPhase", "hwClosure.tm_phase_id = hwTmPhase.tm_phase_id", "TM phase a closure falls in"),
    ("hwClosure", "hwTask", "hwClosure.task_id = hwTask.task_id", "Task a closure is for"),
    ("hwUtilityDiversion", "hwScheme", "hwUtilityDiversion.scheme_id = hwScheme.scheme_id",
     "Utility diversions of a scheme"),
    ("hwUtilityDiversion", "hwTask", "hwUtilityDiversion.task_id = hwTask.task_id", "On-site task of a diversion"),
    ("hwDailyQuantity", "hwScheme", "hwDailyQuantity.scheme_id = hwScheme.scheme_id", "Earthworks records of a scheme"),
    ("hwDailyQuantity", "hwTask", "hwDailyQuantity.task_id = hwTask.task_id", "Earthworks task of a record"),
    ("hwAsphaltShift", "hwScheme", "hwAsphaltShift.scheme_id = hwScheme.scheme_id", "Asphalt shifts of a scheme"),
    ("hwAsphaltShift", "hwTask", "hwAsphaltShift.task_id = hwTask.task_id", "Surfacing task of a shift"),
    ("hwAsphaltShift", "hwResource", "hwAsphaltShift.resource_id = hwResource.resource_id", "Gang that laid it"),
    ("hwEnvConstraint", "hwScheme", "hwEnvConstraint.scheme_id = hwScheme.scheme_id",
     "Environmental constraints of a scheme"),
    ("hwEnvConstraint", "hwTask", "hwEnvConstraint.task_id = hwTask.task_id", "Task a constraint restricts"),
    ("hwInspection", "hwScheme", "hwInspection.scheme_id = hwScheme.scheme_id", "Inspections of a scheme"),
    ("hwInspection", "hwTask", "hwInspection.task_id = hwTask.task_id", "Task inspected"),
    ("hwDefect", "hwInspection", "hwDefect.inspection_id = hwInspection.inspection_id",
     "Inspection that raised a defect"),
    ("hwRisk", "hwScheme", "hwRisk.scheme_id = hwScheme.scheme_id", "Risks of a scheme"),
    ("hwRisk", "hwTask", "hwRisk.task_id = hwTask.task_id", "Task a risk affects"),
]

BUSINESS_RULES = {
    ("hwTask", "task_state"): ["Allowed Values: Not Started, Underway, Finished"],
    ("hwTask", "task_type"): ["Allowed Values: Task, Start Milestone, Finish Milestone; milestones have "
                              "duration_days = 0"],
    ("hwTask", "is_critical"): ["Allowed Values: 1, 0", "Critical: is_critical = 1 when total_float <= 0; finished "
                                "tasks are 0"],
    ("hwTask", "total_float"): ["Negative float: forecast finish after the contract completion date",
                                "Near critical: total_float between 1 and 10"],
    ("hwTask", "baseline_finish"): ["Slipped: forecast_finish > baseline_finish"],
    ("hwTaskRelation", "relation_type"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to "
                                          "finish)"],
    ("hwBaseline", "is_current"): ["Allowed Values: 1, 0; one current baseline per scheme"],
    ("hwCalendarException", "exception_type"): ["Allowed Values: Bank Holiday, Christmas Embargo, Office Closure, "
                                                "Event Embargo, Bank Holiday Weekend"],
    ("hwScheme", "scheme_stage"): ["Allowed Values: Preparation, Construction, Commissioning, Complete"],
    ("hwScheme", "rag_status"): ["Allowed Values: Red (forecast after contract completion), Amber (0 to 10 working "
                                 "days float to contract completion), Green"],
    ("hwResource", "resource_type"): ["Allowed Values: Gang, Plant, Subcontractor, Consultant"],
    ("hwTmPhase", "phase_state"): ["Allowed Values: Planned, Live, Removed"],
    ("hwClosure", "closure_status"): ["Allowed Values: Booked, Confirmed, Completed, Cancelled"],
    ("hwClosure", "closure_type"): ["Allowed Values: Full Road Closure, Lane Closure, Slip Road Closure, Temporary "
                                    "Signals"],
    ("hwClosure", "overran"): ["Allowed Values: 1, 0", "Overrun: reopened_at later than closure_end"],
    ("hwUtilityDiversion", "diversion_status"): ["Allowed Values: Notice Served, Estimate Requested, Ordered, On Site, "
                                                 "Complete"],
    ("hwUtilityDiversion", "notice_type"): ["Allowed Values: C3 Budget Estimate, C4 Detailed Estimate, C7 Works Order"],
    ("hwAsphaltShift", "pavement_layer"): ["Allowed Values: Base course, Binder course, Surface course"],
    ("hwAsphaltShift", "tonnes_laid"): ["Short shift: tonnes_laid < target_tonnes"],
    ("hwEnvConstraint", "constraint_status"): ["Allowed Values: Upcoming, Active, Expired"],
    ("hwInspection", "inspection_result"): ["Allowed Values: Pass, Pass with Comments, Fail"],
    ("hwDefect", "severity"): ["Allowed Values: Category 1, Category 2, Minor"],
    ("hwDefect", "defect_state"): ["Allowed Values: Open, Closed", "Overdue: defect_state = 'Open' and "
                                   "target_close_date before the data date"],
    ("hwRisk", "risk_status"): ["Allowed Values: Open, Closed, Occurred"],
    ("hwRisk", "risk_rating"): ["High risk: risk_rating >= 12"],
}

CONCEPTS = {
    ("hwTask", "total_float"): ["total_float", "critical_path"],
    ("hwTask", "free_float"): ["free_float"],
    ("hwTask", "is_critical"): ["critical_path"],
    ("hwTask", "percent_done"): ["percent_complete"],
    ("hwTask", "baseline_finish"): ["baseline_variance"],
    ("hwBaselineTask", "bl_finish"): ["baseline_variance"],
    ("hwTaskRelation", "lag_days"): ["lag"],
    ("hwScheme", "forecast_outturn_gbp"): ["cost_variance"],
    ("hwScheme", "contract_completion"): ["contract_completion"],
    ("hwRisk", "risk_rating"): ["risk_exposure"],
    ("hwClosure", "overran"): ["closure_overrun"],
    ("hwUtilityDiversion", "notice_type"): ["utility_notice"],
    ("hwDailyQuantity", "cut_m3"): ["earthworks_balance"],
    ("hwAsphaltShift", "tonnes_laid"): ["asphalt_output"],
    ("hwEnvConstraint", "window_start"): ["seasonal_constraint"],
    ("hwCalendarException", "exception_date"): ["works_embargo"],
    ("hwResourceAssignment", "actual_cost_gbp"): ["resource_cost"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days a task can slip before the scheme misses its contract completion date",
    "free_float": "Working days a task can slip before any successor moves",
    "critical_path": "Chain of tasks with zero or negative float driving a scheme's completion",
    "percent_complete": "Physical progress of a task",
    "lag": "Waiting time on a relationship in calendar days",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Forecast outturn against budget",
    "contract_completion": "Completion date in the contract",
    "risk_exposure": "Likelihood x impact rating of a risk",
    "closure_overrun": "A closure whose road reopened after its booked end time",
    "utility_notice": "Notices exchanged with a utility company for a diversion (budget estimate, detailed estimate, "
                      "works order)",
    "earthworks_balance": "Cut against fill; a shortfall of cut means imported fill",
    "asphalt_output": "Tonnes of asphalt laid per shift against the target",
    "seasonal_constraint": "Windows when environmental rules stop or limit work (nesting, spawning, licences)",
    "works_embargo": "Days when no road works or closures are allowed: Christmas embargo, events, bank holidays",
    "resource_cost": "Cost of gangs, plant and subcontractors booked to tasks",
}

QUERY_EXAMPLES = [
    ("SELECT scheme_code, scheme_name, contract_completion, forecast_completion, rag_status FROM hwScheme ORDER BY "
     "contract_completion;", "Schemes with contract and forecast completion", "simple"),
    ("SELECT t.task_reference, t.task_title, t.forecast_start, t.total_float FROM hwTask t JOIN hwScheme s ON "
     "s.scheme_id = t.scheme_id WHERE s.scheme_code = 'A412-DW' AND t.is_critical = 1 ORDER BY t.forecast_start;",
     "Critical tasks of a scheme", "medium"),
    ("SELECT t.task_reference, t.task_title, b.bl_finish, t.forecast_finish FROM hwTask t JOIN hwBaselineTask b ON "
     "b.task_id = t.task_id JOIN hwBaseline l ON l.baseline_id = b.baseline_id WHERE l.is_current = 1 AND "
     "t.forecast_finish > b.bl_finish;", "Tasks forecast to finish later than the current baseline", "complex"),
    ("SELECT closure_reference, road_name, closure_start, closure_end, overrun_minutes FROM hwClosure WHERE "
     "overran = 1 ORDER BY overrun_minutes DESC;", "Closures that overran", "simple"),
    ("SELECT diversion_reference, utility_company, apparatus, diversion_status FROM hwUtilityDiversion WHERE "
     "diversion_status <> 'Complete';", "Utility diversions not yet complete", "simple"),
    ("SELECT pavement_layer, SUM(tonnes_laid) AS tonnes FROM hwAsphaltShift GROUP BY pavement_layer;",
     "Asphalt tonnes laid by layer", "simple"),
    ("SELECT e.exception_date, e.exception_reason FROM hwCalendarException e JOIN hwCalendar c ON c.calendar_id = "
     "e.calendar_id WHERE c.calendar_code = 'NIGHT-SUN-THU' AND e.exception_date >= '2025-09-19' ORDER BY "
     "e.exception_date;", "Coming nights with no night works", "medium"),
    ("SELECT constraint_reference, constraint_type, window_start, window_end FROM hwEnvConstraint WHERE "
     "constraint_status = 'Active';", "Environmental constraints in force", "simple"),
    ("SELECT r.resource_name, SUM(a.actual_cost_gbp) AS cost FROM hwResourceAssignment a JOIN hwResource r ON "
     "r.resource_id = a.resource_id WHERE r.resource_type = 'Subcontractor' GROUP BY r.resource_name ORDER BY cost "
     "DESC;", "Actual cost of subcontractors", "medium"),
]

KEYWORDS = {
    "float": ["hwTask.total_float", "hwTask.free_float", "total_float"],
    "TF": ["hwTask.total_float"],
    "critical": ["hwTask.is_critical", "critical_path"],
    "predecessor": ["hwTaskRelation.predecessor_task_id", "hwTaskRelation"],
    "successor": ["hwTaskRelation.successor_task_id", "hwTaskRelation"],
    "baseline": ["hwBaseline", "hwBaselineTask", "baseline_variance"],
    "scheme": ["hwScheme"],
    "project": ["hwScheme"],
    "activity": ["hwTask"],
    "closure": ["hwClosure"],
    "overrun": ["hwClosure.overran", "closure_overrun"],
    "TM": ["hwTmPhase", "hwClosure"],
    "traffic management": ["hwTmPhase"],
    "utility": ["hwUtilityDiversion"],
    "stats": ["hwUtilityDiversion"],
    "diversion": ["hwUtilityDiversion", "hwClosure.diversion_route"],
    "cut": ["hwDailyQuantity.cut_m3"],
    "fill": ["hwDailyQuantity.fill_m3"],
    "earthworks": ["hwDailyQuantity"],
    "asphalt": ["hwAsphaltShift"],
    "tonnes": ["hwAsphaltShift.tonnes_laid"],
    "surfacing": ["hwAsphaltShift"],
    "nesting": ["hwEnvConstraint"],
    "noise": ["hwEnvConstraint"],
    "ecology": ["hwEnvConstraint"],
    "inspection": ["hwInspection"],
    "test": ["hwInspection"],
    "defect": ["hwDefect"],
    "gang": ["hwResource"],
    "plant": ["hwResource.resource_type"],
    "embargo": ["hwCalendarException", "works_embargo"],
    "bank holiday": ["hwCalendarException"],
    "night": ["hwCalendar", "hwAsphaltShift.shift_type"],
    "risk": ["hwRisk"],
}

TERMINOLOGY = {
    "TM": "Temporary traffic management",
    "TTRO": "Temporary traffic regulation order",
    "TRO": "Traffic regulation order",
    "stats": "Statutory undertakers (utility companies) and their diversions",
    "C3 / C4 / C7": "Utility notices: budget estimate, detailed estimate, works order",
    "RSA": "Road Safety Audit (stage 2 at detailed design, stage 3 at opening)",
    "VRS": "Vehicle restraint system (safety barrier)",
    "VMS": "Variable message sign",
    "ITS": "Intelligent transport systems (signals, detection, CCTV, VMS, comms)",
    "Ch": "Chainage along the route, km+m",
    "binder": "Binder course, the asphalt layer under the surface course",
    "base": "Base course, the lowest asphalt layer",
    "planing": "Milling off the old surfacing before an inlay",
    "inlay": "New binder or surface course laid where the old was planed off",
    "S61": "Prior noise consent for night works from the district council",
    "TF": "Total float",
    "FF": "Free float",
    "data date": "Date up to which progress is recorded (2025-09-19)",
    "FS": "Finish to start relationship",
    "SS": "Start to start relationship",
    "FF relationship": "Finish to finish relationship",
    "BL": "Baseline",
}

RELATED_TERMS = {
    "hwScheme": "scheme, project, job, contract",
    "hwTask": "task, activity, programme line, milestone",
    "hwWbsNode": "WBS, work breakdown, section, quadrant, bridge, site",
    "hwResource": "resource, gang, plant, subcontractor, crew, consultant",
    "hwResourceAssignment": "assignment, hours, labour cost, plant cost",
    "hwRisk": "risk, risk register",
    "hwTmPhase": "TM phase, traffic management, traffic switch, layout",
    "hwClosure": "closure, lane closure, road closure, booking, possession, overrun",
    "hwUtilityDiversion": "utility diversion, stats, statutory undertakers, C3, C4, C7",
    "hwDailyQuantity": "earthworks, cut, fill, muck shift, daily return",
    "hwAsphaltShift": "asphalt, surfacing, tonnes, base, binder, surface course",
    "hwEnvConstraint": "environmental constraint, nesting season, ecology, noise consent, S61, licence",
    "hwInspection": "inspection, test, hold point, core",
    "hwDefect": "defect, NCR, snag",
    "hwTaskRelation": "relationship, link, logic, dependency, predecessor, successor",
    "hwCalendar": "calendar, shift pattern, night works",
    "hwCalendarException": "holiday, non-working day, embargo",
    "hwBaseline": "baseline, re-baseline, BL0, BL1",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout25"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="hwTask")


if __name__ == "__main__":
    sys.exit(main())
