#!/usr/bin/env python3
"""Build the twenty-first schedule database (a university estates capital programme, fully spelt-out
plural snake_case tables with normalised lookup tables) and its metadata.

Kingsmere University's Estates and Facilities directorate runs six capital projects: the refurbishment of
the Dalton chemistry laboratories (done in the vacations, around term dates), the Hollins Court student
residences, the Learning Commons teaching and learning building, the Westfield sports centre extension,
the campus energy centre and heat network, and the renewal of the Boole Library roof and atrium glazing.
Each project has its WBS, activities on office, site, exam-quiet, vacation-only and elapsed calendars,
logic with lags, baselines, trades, consultants and plant with assignments, a risk register, room and
space handovers and campus access restrictions. The Dalton laboratories were re-baselined after asbestos
was found in the service risers; the energy centre after the heat pumps ran late and the grid connection
upgrade was added.

Named the way a corporate estates database names things: tables are fully spelt-out plural snake_case
(activities, dependencies, resource_assignments) and columns are long (planned_start_date,
remaining_duration_days, total_float_days). Activity statuses, dependency types, resource types and risk
severities are held in lookup tables (activity_statuses, dependency_types, resource_types,
severity_levels) and referenced by id.

Durations, remaining durations and float are in WORKING DAYS of the activity's calendar; lags are
calendar days. Each project is scheduled by one forward and backward pass against its target completion
date. Data date 2025-11-14.

Outputs go to bench/out/holdout21/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 212121
DATA_DATE = dt.date(2025, 11, 14)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import WorkDays, activity_at, anchored_baselines, assignment_hours, baseline_activities, check_with_history, default_out, forward_backward, gather_plans, describe_tables, main as build_main, metadata_document, day_span as _span, insert_calendars, iso, logic_links, parse_pred, shown_dates, stage_at, wbs_rows  # noqa: E402
DB_NAME = "holdout21_schedule.db"
META_NAME = "holdout21_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE projects (
    project_id INTEGER PRIMARY KEY, project_code TEXT NOT NULL UNIQUE, project_name TEXT NOT NULL,
    campus_zone TEXT NOT NULL, project_manager_name TEXT NOT NULL, main_contractor_name TEXT NOT NULL,
    approved_budget_gbp REAL NOT NULL, forecast_final_cost_gbp REAL NOT NULL, planned_start_date TEXT NOT NULL,
    target_completion_date TEXT NOT NULL, forecast_completion_date TEXT NOT NULL, actual_completion_date TEXT,
    data_date TEXT NOT NULL, project_status TEXT NOT NULL, rag_status TEXT NOT NULL
);
CREATE TABLE wbs_elements (
    wbs_element_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    parent_wbs_element_id INTEGER REFERENCES wbs_elements(wbs_element_id), wbs_code TEXT NOT NULL,
    wbs_name TEXT NOT NULL, wbs_level INTEGER NOT NULL
);
CREATE TABLE calendars (
    calendar_id INTEGER PRIMARY KEY, calendar_code TEXT NOT NULL UNIQUE, calendar_name TEXT NOT NULL,
    working_week_description TEXT NOT NULL, working_hours_per_day REAL NOT NULL, calendar_notes TEXT
);
CREATE TABLE calendar_exceptions (
    calendar_exception_id INTEGER PRIMARY KEY, calendar_id INTEGER NOT NULL REFERENCES calendars(calendar_id),
    exception_date TEXT NOT NULL, exception_category TEXT NOT NULL, exception_reason TEXT NOT NULL
);
CREATE TABLE activity_statuses (
    activity_status_id INTEGER PRIMARY KEY, status_name TEXT NOT NULL UNIQUE, status_description TEXT NOT NULL
);
CREATE TABLE activities (
    activity_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    wbs_element_id INTEGER NOT NULL REFERENCES wbs_elements(wbs_element_id),
    calendar_id INTEGER NOT NULL REFERENCES calendars(calendar_id), activity_code TEXT NOT NULL UNIQUE,
    activity_name TEXT NOT NULL, activity_type TEXT NOT NULL, location_description TEXT,
    original_duration_days REAL NOT NULL, remaining_duration_days REAL NOT NULL, baseline_start_date TEXT,
    baseline_finish_date TEXT, planned_start_date TEXT NOT NULL, planned_finish_date TEXT NOT NULL,
    late_start_date TEXT, late_finish_date TEXT, actual_start_date TEXT, actual_finish_date TEXT,
    total_float_days REAL, free_float_days REAL, is_critical INTEGER NOT NULL, percent_complete REAL NOT NULL,
    activity_status_id INTEGER NOT NULL REFERENCES activity_statuses(activity_status_id)
);
CREATE TABLE dependency_types (
    dependency_type_id INTEGER PRIMARY KEY, dependency_type_name TEXT NOT NULL UNIQUE,
    dependency_type_abbreviation TEXT NOT NULL
);
CREATE TABLE dependencies (
    dependency_id INTEGER PRIMARY KEY, predecessor_activity_id INTEGER NOT NULL REFERENCES activities(activity_id),
    successor_activity_id INTEGER NOT NULL REFERENCES activities(activity_id),
    dependency_type_id INTEGER NOT NULL REFERENCES dependency_types(dependency_type_id), lag_days REAL NOT NULL
);
CREATE TABLE baselines (
    baseline_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    baseline_number INTEGER NOT NULL, baseline_name TEXT NOT NULL, baseline_set_date TEXT NOT NULL,
    approved_by_name TEXT NOT NULL, is_current_baseline INTEGER NOT NULL
);
CREATE TABLE baseline_activities (
    baseline_activity_id INTEGER PRIMARY KEY, baseline_id INTEGER NOT NULL REFERENCES baselines(baseline_id),
    activity_id INTEGER NOT NULL REFERENCES activities(activity_id), baseline_start_date TEXT NOT NULL,
    baseline_finish_date TEXT NOT NULL, baseline_duration_days REAL NOT NULL, baseline_total_float_days REAL
);
CREATE TABLE resource_types (
    resource_type_id INTEGER PRIMARY KEY, resource_type_name TEXT NOT NULL UNIQUE,
    resource_type_description TEXT NOT NULL
);
CREATE TABLE resources (
    resource_id INTEGER PRIMARY KEY, resource_code TEXT NOT NULL UNIQUE, resource_name TEXT NOT NULL,
    resource_type_id INTEGER NOT NULL REFERENCES resource_types(resource_type_id), trade_or_discipline TEXT NOT NULL,
    company_name TEXT NOT NULL, available_units INTEGER NOT NULL, day_rate_gbp REAL NOT NULL,
    supervisor_name TEXT NOT NULL
);
CREATE TABLE resource_assignments (
    resource_assignment_id INTEGER PRIMARY KEY, activity_id INTEGER NOT NULL REFERENCES activities(activity_id),
    resource_id INTEGER NOT NULL REFERENCES resources(resource_id), planned_hours REAL NOT NULL,
    actual_hours REAL NOT NULL, remaining_hours REAL NOT NULL, planned_cost_gbp REAL NOT NULL,
    actual_cost_gbp REAL NOT NULL
);
CREATE TABLE severity_levels (
    severity_id INTEGER PRIMARY KEY, severity_name TEXT NOT NULL UNIQUE, minimum_score INTEGER NOT NULL,
    maximum_score INTEGER NOT NULL, escalation_rule TEXT NOT NULL
);
CREATE TABLE risks (
    risk_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    activity_id INTEGER REFERENCES activities(activity_id), risk_reference TEXT NOT NULL UNIQUE,
    risk_title TEXT NOT NULL, risk_category TEXT NOT NULL, probability_score INTEGER NOT NULL,
    impact_score INTEGER NOT NULL, severity_id INTEGER NOT NULL REFERENCES severity_levels(severity_id),
    cost_exposure_gbp REAL NOT NULL, schedule_exposure_days REAL NOT NULL, risk_owner_name TEXT NOT NULL,
    mitigation_action TEXT NOT NULL, risk_status TEXT NOT NULL, date_raised TEXT NOT NULL,
    next_review_date TEXT NOT NULL
);
CREATE TABLE space_handovers (
    space_handover_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    activity_id INTEGER NOT NULL REFERENCES activities(activity_id), room_number TEXT NOT NULL UNIQUE,
    space_name TEXT NOT NULL, space_use_type TEXT NOT NULL, floor_level TEXT NOT NULL,
    net_area_square_metres REAL NOT NULL, capacity_people INTEGER NOT NULL, receiving_department_name TEXT NOT NULL,
    baseline_handover_date TEXT NOT NULL, forecast_handover_date TEXT NOT NULL, actual_handover_date TEXT,
    handover_status TEXT NOT NULL, open_snag_count INTEGER NOT NULL
);
CREATE TABLE access_restrictions (
    access_restriction_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    restriction_reference TEXT NOT NULL UNIQUE, restriction_type TEXT NOT NULL, affected_area TEXT NOT NULL,
    restricted_from_date TEXT NOT NULL, restricted_to_date TEXT NOT NULL, restriction_description TEXT NOT NULL,
    requested_by_name TEXT NOT NULL, restriction_status TEXT NOT NULL
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

CLOSURE = (_span("2023-12-22", "2024-01-01") + _span("2024-12-24", "2025-01-01") + _span("2025-12-24", "2026-01-01")
           + _span("2026-12-24", "2027-01-01") + _span("2027-12-24", "2027-12-31"))
# teaching terms: intrusive works in occupied buildings only run outside them
TERMS = [("Autumn term 2023", "2023-09-25", "2023-12-15"), ("Spring term 2024", "2024-01-22", "2024-03-22"),
         ("Summer term 2024", "2024-04-15", "2024-06-14"), ("Autumn term 2024", "2024-09-23", "2024-12-13"),
         ("Spring term 2025", "2025-01-20", "2025-03-28"), ("Summer term 2025", "2025-04-22", "2025-06-13"),
         ("Autumn term 2025", "2025-09-22", "2025-12-12"), ("Spring term 2026", "2026-01-19", "2026-03-27"),
         ("Summer term 2026", "2026-04-20", "2026-06-12"), ("Autumn term 2026", "2026-09-21", "2026-12-11"),
         ("Spring term 2027", "2027-01-18", "2027-03-26"), ("Summer term 2027", "2027-04-19", "2027-06-11"),
         ("Autumn term 2027", "2027-09-20", "2027-12-10")]
# examination periods: no noisy works (piling, breaking out, trenching) near the teaching buildings
EXAMS = [("January exams 2024", "2024-01-08", "2024-01-19"), ("Summer exams 2024", "2024-05-13", "2024-06-07"),
         ("January exams 2025", "2025-01-06", "2025-01-17"), ("Summer exams 2025", "2025-05-12", "2025-06-06"),
         ("January exams 2026", "2026-01-05", "2026-01-16"), ("Summer exams 2026", "2026-05-11", "2026-06-05"),
         ("January exams 2027", "2027-01-04", "2027-01-15"), ("Summer exams 2027", "2027-05-10", "2027-06-04")]

CALENDARS = [
    # id, code, name, work days (0 = Mon), week, hours a day, notes, kind
    (1, "OFFICE-5D", "Office Mon-Fri 09:00-17:00", {0, 1, 2, 3, 4}, "Monday to Friday", 7.5,
     "Design teams, approvals and project management; bank holidays and the university Christmas closure",
     "office"),
    (2, "SITE-5D", "Site Mon-Fri 08:00-18:00", {0, 1, 2, 3, 4}, "Monday to Friday", 9.5,
     "General construction on campus; bank holidays and the Christmas closure", "site"),
    (3, "SITE-6D", "Site Mon-Sat 08:00-18:00", {0, 1, 2, 3, 4, 5}, "Monday to Saturday", 9.5,
     "Residences site on North Campus, Saturdays worked; bank holidays and the Christmas closure", "site"),
    (4, "EXAM-QUIET-5D", "Site Mon-Fri, no noisy works in exam periods", {0, 1, 2, 3, 4}, "Monday to Friday", 9.5,
     "Piling, breaking out, frame erection and trenching next to teaching buildings; stops during the January "
     "and summer examination periods, bank holidays and the Christmas closure", "exam"),
    (5, "VACATION-6D", "Vacation working Mon-Sat (term time excluded)", {0, 1, 2, 3, 4, 5}, "Monday to Saturday",
     10.0, "Intrusive works in occupied buildings (laboratories, library, plant switch-overs): worked only in "
     "the Christmas, Easter and summer vacations; term time, bank holidays and the Christmas closure are "
     "non-working", "vacation"),
    (6, "ELAPSED-7D", "7-day elapsed", set(range(7)), "Monday to Sunday", 24.0,
     "Manufacture, supplier lead times and third-party works that run in calendar days", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.off = {}
        if kind == "elapsed":
            return
        for iso_d, name in BANK_HOLIDAYS.items():
            self.off[dt.date.fromisoformat(iso_d)] = ("Bank holiday", f"Bank holiday - {name}")
        for d in CLOSURE:
            self.off.setdefault(d, ("University closure", "University Christmas closure"))
        if kind == "exam":
            for name, a, b in EXAMS:
                for d in _span(a, b):
                    self.off.setdefault(d, ("Exam period", f"{name} - no noisy works"))
        if kind == "vacation":
            for name, a, b in TERMS:
                for d in _span(a, b):
                    self.off.setdefault(d, ("Term time", f"{name} - building occupied"))


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, SITE5, SITE6, EXAM, VAC, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

DIRECTOR = "Dr Alison Thorne"
PLANNER = "Marcus Bell"
CAMPUS_SERVICES = "Joanne Pike"

PROJECTS = [
    # key, code, name, campus zone, project manager, main contractor, start, margin (working days), budget GBP m,
    # forecast cost factor, re-baseline
    ("DAL", "EST2301", "Dalton Building Chemistry Laboratories Refurbishment", "Science Quarter", "Fiona Okafor",
     "Labcraft Interiors", dt.date(2023, 10, 2), 0, 8.4, 1.14,
     (dt.date(2024, 7, 15), "BL1 Re-plan after asbestos found in the service risers")),
    ("HOL", "EST2302", "Hollins Court Student Residences", "North Campus", "Gareth Lloyd",
     "Brackenridge Construction", dt.date(2024, 3, 4), 8, 46.0, 1.05, None),
    ("LCM", "EST2401", "Learning Commons Teaching and Learning Building", "Central Campus", "Priya Raman",
     "Marlow Kerr Construction", dt.date(2024, 6, 3), 12, 38.5, 1.07, None),
    ("SPC", "EST2402", "Westfield Sports Centre Extension and 3G Pitch", "Westfield Sports Park", "Callum Reid",
     "Trenton Build", dt.date(2024, 4, 1), 10, 7.2, 0.98, None),
    ("ENC", "EST2403", "Campus Energy Centre and Low Carbon Heat Network", "Campus-wide", "Hannah Whitfield",
     "Thermacore Energy Services", dt.date(2024, 9, 2), 0, 21.6, 1.18,
     (dt.date(2025, 5, 12), "BL1 Re-plan after heat pump delay and grid connection upgrade")),
    ("LIB", "EST2501", "Boole Library Roof and Atrium Glazing Renewal", "Central Campus", "Callum Reid",
     "Skyline Roofing and Cladding", dt.date(2025, 2, 3), 10, 4.9, 1.04, None),
]
PROJ = {p[0]: p for p in PROJECTS}

RESOURCE_TYPES = [(1, "Labour", "Trade operatives and gangs of the contractors"),
                  (2, "Consultant", "Design and professional services consultants"),
                  (3, "Plant", "Plant and equipment such as cranes, piling rigs, excavators and access platforms")]
RESOURCES = [
    # code, name, type id, trade or discipline, company, units, day rate GBP (per unit), supervisor
    ("ARCH-TEAM", "Architects design team", 2, "Architecture", "Ferris Lowe Architects", 4, 620.0, "Sophie Ferris"),
    ("MEP-DESIGN", "Building services design engineers", 2, "Building services", "Calder Bryce Engineering", 3,
     650.0, "Rajesh Nair"),
    ("STR-DESIGN", "Structural engineers", 2, "Structural engineering", "Pennant Structures", 2, 640.0,
     "Elin Parry"),
    ("CDM-PD", "Principal designer (CDM)", 2, "Health and safety", "Safeguard CDM Ltd", 1, 560.0, "Tom Hardcastle"),
    ("STRIP-GANG", "Strip-out and soft demolition gang", 1, "Demolition", "Labcraft Interiors", 6, 280.0,
     "Darren Holt"),
    ("ASB-TEAM", "Licensed asbestos removal team", 1, "Asbestos removal", "Clearline Environmental", 5, 390.0,
     "Kev Marsh"),
    ("LAB-FITTERS", "Laboratory furniture and fume cupboard fitters", 1, "Laboratory fit-out",
     "Labcraft Interiors", 6, 330.0, "Darren Holt"),
    ("MECH-FITTERS", "Mechanical fitters", 1, "Mechanical", "Axis Building Services", 8, 340.0, "Lee Grainger"),
    ("ELECTRICIANS", "Electricians", 1, "Electrical", "Axis Building Services", 8, 330.0, "Lee Grainger"),
    ("GROUNDWORKS", "Groundworks gang", 1, "Groundworks", "Tolland Civils", 7, 290.0, "Pat Devlin"),
    ("STEEL-ERECT", "Steel erectors", 1, "Structural steel", "Norcross Steel", 6, 350.0, "Ian Crowther"),
    ("CLT-GANG", "CLT frame erectors", 1, "Timber frame", "Brackenridge Construction", 7, 335.0, "Megan Shaw"),
    ("DRYLINERS", "Drylining and finishes gang", 1, "Finishes", "Fairway Interiors", 10, 270.0, "Sam Okoro"),
    ("ROOFERS", "Roofing gang", 1, "Roofing", "Skyline Roofing and Cladding", 5, 300.0, "Nathan Price"),
    ("GLAZIERS", "Curtain walling and glazing fixers", 1, "Glazing", "Clearview Facades", 5, 320.0, "Olga Petrenko"),
    ("PIPE-WELDERS", "District heating pipe welders", 1, "Pipework", "Thermacore Energy Services", 4, 380.0,
     "Craig Dunn"),
    ("COMMISSIONING", "Commissioning engineers", 1, "Commissioning", "Axis Building Services", 3, 420.0,
     "Lee Grainger"),
    ("AV-INSTALL", "AV and IT installers", 1, "AV and IT", "Lumen AV Systems", 4, 360.0, "Chris Baptiste"),
    ("PILING-RIG", "CFA piling rig", 3, "Piling", "Foundex Piling", 1, 2900.0, "Pat Devlin"),
    ("TOWER-CRANE", "Luffing tower crane", 3, "Lifting", "Marlow Kerr Construction", 1, 1250.0, "Ian Crowther"),
    ("MOBILE-CRANE", "Mobile crane 60t", 3, "Lifting", "Hadley Crane Hire", 1, 1400.0, "Megan Shaw"),
    ("EXCAVATOR-14T", "14t tracked excavator", 3, "Earthmoving", "Tolland Civils", 2, 520.0, "Pat Devlin"),
    ("MEWP", "Mobile elevating work platform", 3, "Access", "Hadley Crane Hire", 2, 210.0, "Nathan Price"),
]
KIND_RSRC = {
    "DES": ["ARCH-TEAM", "MEP-DESIGN"], "SDES": ["STR-DESIGN", "MEP-DESIGN"], "STRIP": ["STRIP-GANG"],
    "ASB": ["ASB-TEAM"], "MEP": ["MECH-FITTERS", "ELECTRICIANS"], "LABF": ["LAB-FITTERS"],
    "COM": ["COMMISSIONING"], "CIV": ["GROUNDWORKS", "EXCAVATOR-14T"], "PIL": ["PILING-RIG", "GROUNDWORKS"],
    "STL": ["STEEL-ERECT", "TOWER-CRANE"], "CLT": ["CLT-GANG", "MOBILE-CRANE"], "FIT": ["DRYLINERS"],
    "ENV": ["GLAZIERS", "ROOFERS"], "TRN": ["PIPE-WELDERS", "EXCAVATOR-14T"], "PLT": ["MECH-FITTERS", "MOBILE-CRANE"],
    "ROOF": ["ROOFERS", "MEWP"], "GLZ": ["GLAZIERS", "MOBILE-CRANE"], "AV": ["AV-INSTALL", "ELECTRICIANS"],
    "CON": ["PIPE-WELDERS", "MECH-FITTERS"], "PITCH": ["GROUNDWORKS"],
}

ACTIVITY_STATUSES = [(1, "Not Started", "No progress recorded at the data date"),
                     (2, "In Progress", "Started, not yet finished"),
                     (3, "Completed", "Finished; actual start and finish recorded"),
                     (4, "Suspended", "Work stopped by the university and awaiting instruction")]
DEPENDENCY_TYPES = [(1, "Finish to Start", "FS"), (2, "Start to Start", "SS"), (3, "Finish to Finish", "FF"),
                    (4, "Start to Finish", "SF")]
SEVERITY_LEVELS = [(1, "Low", 1, 4, "Managed by the project team"),
                   (2, "Medium", 5, 9, "Reviewed monthly by the project manager"),
                   (3, "High", 10, 15, "Reported to the Estates programme board"),
                   (4, "Very High", 16, 25, "Escalated to the Director of Estates and the capital committee")]

# slips (working days added to the duration) and the activities added after the contract baseline
SLIPS = {"DAL.mep2": 8, "DAL.fur1": 3, "HOL.mod": 15, "HOL.frmB": 6, "HOL.fitA": 10, "HOL.envC": 5,
         "LCM.pil": 6, "LCM.frm": 10, "LCM.mep": 12, "LCM.des": 5, "SPC.frm": 4, "SPC.pit": 6,
         "ENC.hpm": 70, "ENC.trn2": 6, "LIB.rof": 9, "LIB.glz": 10}
AFTER_REPLAN = {"DAL.mep3": 6, "DAL.str3": 3, "ENC.trn3": 5, "ENC.plt": 4}

DAL_FLOORS = [(1, "First floor teaching laboratories"), (2, "Second floor research laboratories"),
              (3, "Third floor research laboratories and instrument rooms")]
HOL_BLOCKS = [("A", 138), ("B", 146), ("C", 128)]
LCM_FLOORS = [("G", "Ground floor"), ("1", "First floor"), ("2", "Second floor"), ("3", "Third floor")]
ENC_ROUTES = [(1, "Route 1 - Science Quarter loop"), (2, "Route 2 - Central Campus spine"),
              (3, "Route 3 - Library and Arts buildings"), (4, "Route 4 - North Campus residences")]

# ---------------------------------------------------------------------------------------------- plans


class Plan:
    def __init__(self, proj):
        self.proj = proj
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("DES", "ROOT", "Design and approvals"),
                    ("PRC", "ROOT", "Procurement and off-site manufacture"), ("CON", "ROOT", "Construction"),
                    ("TST", "ROOT", "Commissioning and handover")]

    def add(self, key, name, dur, wbs, preds=(), cal=OFF, kind=None, ms=None, area=None, new=False):
        full = f"{self.proj}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs, preds=[f"{self.proj}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, area=area, new=new, prj=self.proj,
                               slip=SLIPS.get(full, 0)))
        return key


def plan_dal(p):
    p.add("ntp", "Contract award - Dalton laboratories", 0, "DES", ms="S")
    p.add("des", "Laboratory design and fume cupboard layout (RIBA stage 4)", 60, "DES", ["ntp"], kind="DES")
    p.add("bcr", "Building regulations and fire strategy approval", 30, "DES", ["des:SS30"])
    p.add("fch", "Fume cupboards and laboratory furniture manufacture and delivery", 160, "PRC", ["des"], cal=ELP)
    for i, desc in DAL_FLOORS:
        w = f"F{i}"
        p.wbs.append((w, "CON", f"Floor {i} - {desc}"))
        area = f"Dalton Building floor {i}"
        p.add(f"str{i}", f"Strip out laboratories floor {i}", 30, w, ["bcr"] if i == 1 else [f"mep{i - 1}:SS20"],
              cal=VAC, kind="STRIP", area=area)
        if i == 1:
            p.add("asb", "Asbestos removal in service risers (licensed works)", 24, w, ["str1:SS5"], cal=VAC,
                  kind="ASB", area="Dalton Building service risers", new=True)
        p.add(f"mep{i}", f"Laboratory services, extract ventilation and drainage floor {i}", 60, w,
              [f"str{i}"] + (["asb"] if i == 1 else [f"mep{i - 1}"]), cal=VAC, kind="MEP", area=area)
        p.add(f"fur{i}", f"Install fume cupboards and laboratory furniture floor {i}", 25, w, [f"mep{i}", "fch"],
              cal=VAC, kind="LABF", area=area)
        p.add(f"com{i}", f"Fume cupboard face velocity testing and commissioning floor {i}", 5, w, [f"fur{i}"],
              cal=SITE5, kind="COM", area=area)
        p.add(f"ho{i}", f"Floor {i} laboratories handed back to the School of Chemistry", 0, "TST", [f"com{i}"],
              cal=SITE5, ms="F")
    p.add("fin", "Dalton laboratories refurbishment complete", 0, "TST", ["ho1", "ho2", "ho3"], cal=SITE5, ms="F")


def plan_hol(p):
    p.add("ntp", "Contract award - Hollins Court", 0, "DES", ms="S")
    p.add("des", "Residences technical design", 100, "DES", ["ntp"], kind="DES")
    p.add("pln", "Reserved matters planning consent", 80, "DES", ["des:SS20"])
    p.add("mod", "Bathroom pods manufacture and delivery", 300, "PRC", ["des"], cal=ELP)
    p.add("clt", "CLT panels manufacture and delivery", 200, "PRC", ["des:SS40"], cal=ELP)
    p.add("enb", "Site set-up, hoarding and enabling works", 25, "CON", ["pln"], cal=SITE6, kind="CIV",
          area="Hollins Court site")
    p.add("fnd", "Foundations and below-ground drainage", 60, "CON", ["enb"], cal=SITE6, kind="CIV",
          area="Hollins Court site")
    prev = None
    for b, beds in HOL_BLOCKS:
        w = f"B{b}"
        p.wbs.append((w, "CON", f"Block {b} ({beds} study bedrooms)"))
        area = f"Hollins Court Block {b}"
        p.add(f"frm{b}", f"CLT frame erection block {b}", 60, w, (["fnd", "clt"] if prev is None else [f"frm{prev}"]),
              cal=SITE6, kind="CLT", area=area)
        p.add(f"env{b}", f"Envelope, brick slips and roofing block {b}", 55, w, [f"frm{b}"], cal=SITE6, kind="ENV",
              area=area)
        p.add(f"fit{b}", f"Bedroom fit-out and bathroom pods block {b}", 90, w,
              [f"env{b}:SS15", "mod"] + ([f"fit{prev}"] if prev else []), cal=SITE6, kind="FIT", area=area)
        p.add(f"com{b}", f"Fire alarm, sprinkler and M&E commissioning block {b}", 15, w, [f"fit{b}", f"env{b}"],
              cal=SITE6, kind="COM", area=area)
        p.add(f"ho{b}", f"Block {b} handed over to Accommodation Services", 0, "TST", [f"com{b}"], cal=SITE6, ms="F")
        prev = b
    p.add("ext", "External works, cycle stores and landscaping", 60, "CON", ["frmC"], cal=SITE6, kind="CIV",
          area="Hollins Court courtyard")
    p.add("fin", "Hollins Court ready for student occupation", 0, "TST", ["hoA", "hoB", "hoC", "ext"], cal=SITE6,
          ms="F")


def plan_lcm(p):
    p.add("ntp", "Contract award - Learning Commons", 0, "DES", ms="S")
    p.add("des", "Technical design (RIBA stage 4)", 120, "DES", ["ntp"], kind="DES")
    p.add("pln", "Planning consent and building regulations approval", 80, "DES", ["des:SS30"])
    p.add("stl", "Structural steel fabrication and delivery", 140, "PRC", ["des:SS60"], cal=ELP)
    p.wbs.append(("STR", "CON", "Substructure and frame"))
    p.wbs.append(("ENV", "CON", "Envelope"))
    p.wbs.append(("SVC", "CON", "Building services"))
    p.add("enb", "Enabling works, hoarding and service diversions", 15, "STR", ["pln"], cal=SITE5, kind="CIV",
          area="Learning Commons site, Central Campus")
    p.add("pil", "Piling (noisy works - not in exam periods)", 40, "STR", ["enb"], cal=EXAM, kind="PIL",
          area="Learning Commons footprint")
    p.add("sub", "Pile caps, ground beams and ground floor slab", 50, "STR", ["pil"], cal=EXAM, kind="CIV",
          area="Learning Commons footprint")
    p.add("frm", "Steel frame and metal decking", 60, "STR", ["sub", "stl"], cal=EXAM, kind="STL",
          area="Learning Commons")
    p.add("env", "Curtain walling, cladding and roof", 80, "ENV", ["frm:SS20"], cal=SITE5, kind="ENV",
          area="Learning Commons")
    p.add("wtt", "Building watertight", 0, "ENV", ["env"], cal=SITE5, ms="F")
    p.add("mep", "Mechanical and electrical installation", 140, "SVC", ["wtt"], cal=SITE5, kind="MEP",
          area="Learning Commons")
    prev = None
    for f, fname in LCM_FLOORS:
        w = f"L{f}"
        p.wbs.append((w, "CON", f"{fname} fit-out"))
        p.add(f"fit{f}", f"Fit-out and finishes {fname.lower()}", 50, w,
              ["mep:SS20"] + ([f"fit{prev}"] if prev else []), cal=SITE5, kind="FIT",
              area=f"Learning Commons {fname.lower()}")
        prev = f
    p.add("av", "AV and IT installation in teaching spaces", 40, "SVC", ["fitG", "fit1:FF10"], cal=SITE5, kind="AV",
          area="Learning Commons teaching spaces")
    p.add("com", "Commissioning, witness testing and seasonal commissioning set-up", 30, "TST",
          ["mep", "av", "fit3"], cal=SITE5, kind="COM", area="Learning Commons")
    p.add("ho", "Learning Commons practical completion and handover to Estates", 0, "TST", ["com"], cal=SITE5,
          ms="F")
    p.add("opn", "Learning Commons open for teaching", 0, "TST", ["ho:FS14"], cal=SITE5, ms="F")


def plan_spc(p):
    p.add("ntp", "Contract award - sports centre", 0, "DES", ms="S")
    p.add("des", "Sports centre extension design", 50, "DES", ["ntp"], kind="DES")
    p.add("pln", "Planning consent and Sport England pitch approval", 40, "DES", ["des:SS10"])
    p.add("enb", "Site set-up and enabling works", 10, "CON", ["pln"], cal=SITE5, kind="CIV",
          area="Westfield Sports Park")
    p.add("fnd", "Foundations and slab", 25, "CON", ["enb"], cal=SITE5, kind="CIV", area="Sports hall extension")
    p.add("frm", "Portal frame erection and cladding", 30, "CON", ["fnd"], cal=SITE5, kind="STL",
          area="Sports hall extension")
    p.add("pit", "3G pitch construction and floodlights", 40, "CON", ["enb"], cal=SITE5, kind="PITCH",
          area="Westfield pitch 4")
    p.add("fit", "Sports hall floor, changing rooms and fit-out", 45, "CON", ["frm"], cal=SITE5, kind="FIT",
          area="Sports hall extension")
    p.add("com", "M&E commissioning and pitch certification", 10, "TST", ["fit", "pit"], cal=SITE5, kind="COM",
          area="Westfield Sports Park")
    p.add("ho", "Sports centre extension handed over to Sport and Recreation", 0, "TST", ["com"], cal=SITE5, ms="F")


def plan_enc(p):
    p.add("ntp", "Contract award - energy centre and heat network", 0, "DES", ms="S")
    p.add("des", "Energy centre and heat network design", 70, "DES", ["ntp"], kind="SDES")
    p.add("pln", "Planning consent and highways permits", 50, "DES", ["des:SS20"])
    p.add("hpm", "Air source heat pumps manufacture and delivery", 300, "PRC", ["des:SS40"], cal=ELP)
    p.add("gri", "Grid connection upgrade by the distribution network operator", 200, "PRC", ["pln"], cal=ELP,
          new=True)
    p.add("ecb", "Energy centre building and plant room", 90, "CON", ["pln"], cal=SITE5, kind="CIV",
          area="Energy centre, Service Yard B")
    p.add("plt", "Install heat pumps, thermal store and plant", 45, "CON", ["ecb", "hpm"], cal=SITE5, kind="PLT",
          area="Energy centre, Service Yard B")
    p.wbs.append(("NET", "CON", "Heat network"))
    prev = None
    for i, rname in ENC_ROUTES:
        w = f"R{i}"
        p.wbs.append((w, "NET", rname))
        area = f"Heat network {rname.split(' - ')[0].lower()}"
        p.add(f"trn{i}", f"Trenching and pre-insulated pipework {rname.split(' - ')[0].lower()}", 50, w,
              ["pln"] if prev is None else [f"trn{prev}"], cal=EXAM, kind="TRN", area=area)
        p.add(f"con{i}", f"Building connections and heating switch-over {rname.split(' - ')[0].lower()}", 20, w,
              [f"trn{i}", "plt"], cal=VAC, kind="CON", area=area)
        prev = i
    p.add("cms", "Network commissioning and heat-up", 15, "TST", [f"con{i}" for i, _ in ENC_ROUTES] + ["gri"],
          cal=SITE5, kind="COM", area="Campus heat network")
    p.add("ho", "Heat network live and gas boilers decommissioned", 0, "TST", ["cms"], cal=SITE5, ms="F")


def plan_lib(p):
    p.add("ntp", "Contract award - library roof", 0, "DES", ms="S")
    p.add("des", "Roof and atrium glazing design", 60, "DES", ["ntp"], kind="DES")
    p.add("bcr", "Planning and conservation area consent", 60, "DES", ["des:SS10"])
    p.add("glz", "Atrium glazing units manufacture and delivery", 120, "PRC", ["des"], cal=ELP)
    p.add("scf", "Scaffold and temporary roof", 15, "CON", ["bcr"], cal=SITE5, kind="ROOF",
          area="Boole Library roof")
    p.add("rof", "Strip and recover library roof", 50, "CON", ["scf"], cal=VAC, kind="ROOF",
          area="Boole Library roof over reading rooms")
    p.add("gla", "Replace atrium glazing", 35, "CON", ["rof:SS10", "glz"], cal=VAC, kind="GLZ",
          area="Boole Library atrium")
    p.add("pvs", "Roof-mounted PV array", 10, "CON", ["rof"], cal=SITE5, kind="ROOF", area="Boole Library roof")
    p.add("dsc", "Strike scaffold and make good", 10, "TST", ["gla", "pvs"], cal=SITE5, kind="ROOF",
          area="Boole Library")
    p.add("ho", "Library roof and atrium works complete", 0, "TST", ["dsc"], cal=SITE5, ms="F")


PLANS = {"DAL": plan_dal, "HOL": plan_hol, "LCM": plan_lcm, "SPC": plan_spc, "ENC": plan_enc, "LIB": plan_lib}


def make_plan(pr):
    plan = Plan(pr[0])
    PLANS[pr[0]](plan)
    return plan
FINISH = {"DAL": "fin", "HOL": "fin", "LCM": "opn", "SPC": "ho", "ENC": "ho", "LIB": "ho"}


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its project's target completion."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "prj")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


RISKS = [
    # project, activity key, title, category, probability 1-5, impact 1-5, cost GBP, schedule days, owner,
    # mitigation, status, raised, next review
    ("DAL", "DAL.asb", "Asbestos in service risers beyond the refurbishment survey", "Health and safety", 4, 4,
     240000.0, 20, "Fiona Okafor", "Intrusive survey of every riser before strip-out", "Occurred", "2023-11-06",
     "2024-09-02"),
    ("DAL", "DAL.mep2", "Live gas and vacuum services found undocumented on floor 2", "Existing services", 3, 3,
     65000.0, 8, "Fiona Okafor", "Services isolation plan agreed with the School of Chemistry", "Occurred",
     "2024-11-18", "2025-12-01"),
    ("DAL", "DAL.fur3", "Fume cupboard fitting not finished before the start of term", "Programme", 3, 4, 90000.0,
     10, PLANNER, "Extra Saturday shifts in the Easter vacation", "Open", "2025-06-23", "2025-11-28"),
    ("DAL", None, "Research groups refuse decant to temporary labs", "Stakeholder", 2, 3, 30000.0, 5, DIRECTOR,
     "Decant agreements signed by the Head of School", "Closed", "2023-10-09", "2024-03-04"),
    ("HOL", "HOL.mod", "Bathroom pod supplier capacity", "Supply chain", 3, 4, 150000.0, 15, "Gareth Lloyd",
     "Second pod factory pre-qualified", "Occurred", "2024-05-13", "2025-12-08"),
    ("HOL", "HOL.fitC", "Block C not ready for September 2026 intake", "Programme", 3, 5, 480000.0, 20,
     "Gareth Lloyd", "Hold 130 beds in the city partner scheme as fallback", "Open", "2025-08-04", "2025-11-21"),
    ("HOL", "HOL.envC", "High winds stop crane lifts for brick slip panels", "Weather", 3, 2, 25000.0, 5,
     "Gareth Lloyd", "Lift plan with wind limits; weekend recovery", "Open", "2025-10-06", "2025-12-01"),
    ("HOL", None, "Bat roost found in trees on the courtyard boundary", "Environmental", 1, 3, 15000.0, 10,
     "Gareth Lloyd", "Ecologist survey before tree works", "Closed", "2024-03-18", "2024-08-19"),
    ("LCM", "LCM.pil", "Piling noise complaints during exams", "Stakeholder", 4, 3, 40000.0, 6, CAMPUS_SERVICES,
     "No piling in exam periods; noise monitors on the exam halls", "Occurred", "2024-10-14", "2025-06-09"),
    ("LCM", "LCM.frm", "Steel delivery late from fabricator", "Supply chain", 3, 3, 110000.0, 10, "Priya Raman",
     "Split deliveries; erect from the north core first", "Occurred", "2025-01-27", "2025-09-01"),
    ("LCM", "LCM.mep", "Building services contractor labour shortage", "Resources", 4, 4, 220000.0, 12,
     "Priya Raman", "Second M&E subcontractor on the upper floors", "Open", "2025-07-07", "2025-11-24"),
    ("LCM", "LCM.av", "AV requirement changes from the Digital Education team", "Design change", 3, 3,
     70000.0, 8, "Priya Raman", "Design freeze date agreed with Digital Education", "Open", "2025-09-15",
     "2025-12-01"),
    ("LCM", "LCM.opn", "Learning Commons not ready for the September 2026 timetable", "Programme", 3, 5,
     350000.0, 15, DIRECTOR, "Timetabling holds back-up rooms for autumn term 2026", "Open", "2025-10-20",
     "2025-11-28"),
    ("SPC", "SPC.pit", "Wet weather delays 3G pitch sub-base", "Weather", 3, 2, 20000.0, 6, "Callum Reid",
     "Stone stockpile under cover", "Occurred", "2024-09-30", "2025-03-03"),
    ("ENC", "ENC.hpm", "Heat pump manufacturer delay", "Supply chain", 4, 5, 520000.0, 70, "Hannah Whitfield",
     "Factory visits; penalty clause in the supply contract", "Occurred", "2024-11-11", "2025-11-17"),
    ("ENC", "ENC.gri", "Grid connection capacity not available at the substation", "Utilities", 4, 5, 610000.0, 60,
     "Hannah Whitfield", "Early application to the network operator; demand-side limits", "Occurred", "2025-02-10",
     "2025-11-21"),
    ("ENC", "ENC.trn3", "Unrecorded utilities in the Library and Arts route", "Existing services", 4, 3, 85000.0, 5,
     "Hannah Whitfield", "Ground radar survey and trial holes", "Open", "2025-09-08", "2025-11-24"),
    ("ENC", "ENC.con2", "Building switch-over overruns into term time", "Programme", 3, 4, 75000.0, 7, PLANNER,
     "Temporary boilers on standby for each switch-over", "Open", "2025-07-21", "2026-01-12"),
    ("ENC", None, "Gas price change alters the heat network business case", "Commercial", 2, 4, 0.0, 0, DIRECTOR,
     "Annual review of the carbon and cost model", "Open", "2024-09-16", "2026-03-02"),
    ("LIB", "LIB.rof", "Roof deck rot larger than the survey showed", "Existing structure", 4, 3, 60000.0, 9,
     "Callum Reid", "Provisional sum for deck replacement", "Occurred", "2025-07-14", "2025-11-17"),
    ("LIB", "LIB.gla", "Rainwater ingress into the reading rooms during glazing works", "Operational", 3, 3,
     35000.0, 3, "Callum Reid", "Temporary roof over the atrium; book stock moved", "Open", "2025-06-30",
     "2025-11-21"),
]

HANDOVERS = [
    # project, activity key, room number, name, use type, floor, net area m2, capacity, receiving department,
    # days after the milestone (phased handover)
    ("DAL", "ho1", "DAL-1.05", "Synthetic chemistry teaching laboratory", "Teaching laboratory", "1", 310.0, 72,
     "School of Chemistry", 0),
    ("DAL", "ho1", "DAL-1.08", "Teaching laboratory preparation room", "Technical support", "1", 85.0, 6,
     "School of Chemistry", 0),
    ("DAL", "ho2", "DAL-2.02", "Organic chemistry research laboratory", "Research laboratory", "2", 190.0, 24,
     "School of Chemistry", 0),
    ("DAL", "ho2", "DAL-2.06", "Catalysis research laboratory", "Research laboratory", "2", 160.0, 18,
     "School of Chemistry", 0),
    ("DAL", "ho3", "DAL-3.01", "NMR and analytical instruments suite", "Instrument room", "3", 140.0, 8,
     "School of Chemistry", 0),
    ("DAL", "ho3", "DAL-3.04", "Materials chemistry research laboratory", "Research laboratory", "3", 175.0, 20,
     "School of Chemistry", 0),
    ("HOL", "hoA", "HC-A", "Hollins Court Block A (138 study bedrooms)", "Student accommodation", "G-5", 4350.0, 138,
     "Accommodation Services", 0),
    ("HOL", "hoB", "HC-B", "Hollins Court Block B (146 study bedrooms)", "Student accommodation", "G-5", 4600.0, 146,
     "Accommodation Services", 0),
    ("HOL", "hoC", "HC-C", "Hollins Court Block C (128 study bedrooms)", "Student accommodation", "G-4", 4050.0, 128,
     "Accommodation Services", 0),
    ("HOL", "fin", "HC-HUB", "Hollins Court social hub and laundry", "Social space", "G", 320.0, 60,
     "Accommodation Services", 0),
    ("LCM", "ho", "LC-G.01", "Commons cafe and social learning zone", "Social learning", "G", 620.0, 240,
     "Campus Services", 0),
    ("LCM", "ho", "LC-G.05", "300-seat lecture theatre", "Lecture theatre", "G", 410.0, 300,
     "Timetabling and Space Management", 0),
    ("LCM", "ho", "LC-1.02", "Flexible teaching room 1.02", "Teaching room", "1", 140.0, 80,
     "Timetabling and Space Management", 5),
    ("LCM", "ho", "LC-1.03", "Flexible teaching room 1.03", "Teaching room", "1", 140.0, 80,
     "Timetabling and Space Management", 5),
    ("LCM", "ho", "LC-1.10", "Computer cluster", "IT cluster", "1", 210.0, 120, "Digital Services", 5),
    ("LCM", "ho", "LC-2.01", "Group study rooms (12 rooms)", "Group study", "2", 360.0, 96, "Library Services", 10),
    ("LCM", "ho", "LC-2.15", "Silent study area", "Study space", "2", 480.0, 200, "Library Services", 10),
    ("LCM", "ho", "LC-3.01", "Digital Education studios", "Studio", "3", 220.0, 30, "Digital Education", 15),
    ("LCM", "ho", "LC-3.08", "Academic staff offices", "Office", "3", 300.0, 36, "Faculty of Arts", 15),
    ("SPC", "ho", "SC-HALL2", "Sports hall 2 (four-court)", "Sports hall", "G", 1150.0, 200, "Sport and Recreation",
     0),
    ("SPC", "ho", "SC-CHG", "Changing rooms and accessible changing", "Changing", "G", 380.0, 80,
     "Sport and Recreation", 0),
    ("SPC", "ho", "WF-PITCH4", "3G pitch 4 with floodlights", "Outdoor pitch", "External", 7400.0, 44,
     "Sport and Recreation", 0),
    ("ENC", "ho", "EC-PLANT", "Energy centre plant room", "Plant room", "G", 680.0, 4, "Estates Operations", 0),
    ("LIB", "ho", "BL-ATRIUM", "Boole Library atrium", "Circulation", "G-3", 540.0, 150, "Library Services", 0),
    ("LIB", "ho", "BL-3.20", "Level 3 reading room", "Study space", "3", 610.0, 180, "Library Services", 0),
]

RESTRICTIONS = [
    # project, reference, type, area, from, to, description, requested by, withdrawn
    ("LCM", "AR-24-007", "Exam period quiet working", "Central Campus exam halls", "2025-01-06", "2025-01-17",
     "No piling, breaking out or frame erection within 200m of the Great Hall and the Sports Hall exam venues",
     CAMPUS_SERVICES, False),
    ("LCM", "AR-25-011", "Exam period quiet working", "Central Campus exam halls", "2025-05-12", "2025-06-06",
     "No noisy works within 200m of exam venues 08:30-17:30; deliveries before 08:00 only", CAMPUS_SERVICES, False),
    ("ENC", "AR-25-012", "Exam period quiet working", "Heat network routes 1-3", "2025-05-12", "2025-06-06",
     "Trenching and breaking out stopped on routes near exam venues", CAMPUS_SERVICES, False),
    ("LCM", "AR-25-019", "Event", "Central Campus piazza", "2025-07-14", "2025-07-18",
     "Graduation week: hoarding dressed, no deliveries through the piazza 09:00-18:00", "Ruth Adeyemi", False),
    ("LCM", "AR-25-024", "Crane oversail", "Arts Tower car park", "2025-03-03", "2025-12-19",
     "Tower crane jib oversails Arts Tower car park; bays 1-30 closed", "Priya Raman", False),
    ("ENC", "AR-25-027", "Route closure", "University Road (spine road)", "2025-07-07", "2025-09-12",
     "University Road closed to traffic for heat network crossing; diversion via Westfield Lane", "Hannah Whitfield",
     False),
    ("ENC", "AR-25-031", "Service shutdown", "Science Quarter buildings", "2025-08-11", "2025-08-15",
     "Heating and hot water off in Science Quarter for switch-over", "Hannah Whitfield", False),
    ("HOL", "AR-25-033", "Route closure", "North Campus footpath NC3", "2025-04-01", "2026-02-27",
     "Footpath NC3 closed; pedestrian diversion around the Hollins Court site", "Gareth Lloyd", False),
    ("LCM", "AR-25-040", "Event", "Central Campus", "2025-09-15", "2025-09-19",
     "Welcome week: no deliveries 10:00-16:00 and no works on the piazza", "Ruth Adeyemi", False),
    ("ENC", "AR-25-044", "Route closure", "Library Square", "2025-10-20", "2025-12-12",
     "Library Square half closed for heat network route 3; accessible route maintained", "Hannah Whitfield", False),
    ("LIB", "AR-25-046", "Service shutdown", "Boole Library level 3", "2025-11-03", "2025-11-28",
     "Level 3 reading room closed; study spaces moved to level 1", "Callum Reid", False),
    ("LCM", "AR-25-049", "Event", "Central Campus", "2025-11-22", "2025-11-22",
     "Open day: site gates closed and hoarding checked the day before", "Ruth Adeyemi", False),
    ("LIB", "AR-25-050", "Crane oversail", "Library Square", "2025-11-24", "2025-11-26",
     "Mobile crane lift of atrium glazing units; Library Square closed", "Callum Reid", True),
    ("LCM", "AR-26-002", "Exam period quiet working", "Central Campus exam halls", "2026-01-05", "2026-01-16",
     "No noisy works within 200m of exam venues", CAMPUS_SERVICES, False),
    ("ENC", "AR-26-003", "Exam period quiet working", "Heat network routes 3-4", "2026-01-05", "2026-01-16",
     "Trenching stopped near exam venues on routes 3 and 4", CAMPUS_SERVICES, False),
    ("HOL", "AR-26-005", "Event", "North Campus", "2026-02-28", "2026-02-28",
     "Accommodation open day: show flat in Block A, site tours 10:00-15:00", "Ruth Adeyemi", False),
    ("DAL", "AR-25-034", "Service shutdown", "Dalton Building", "2025-06-16", "2025-06-27",
     "Laboratory gases and extract off on floors 2-3 while risers are re-connected", "Fiona Okafor", False),
]


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "calendars", "calendar_exceptions", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    con.executemany("INSERT INTO activity_statuses VALUES (?,?,?)", ACTIVITY_STATUSES)
    con.executemany("INSERT INTO dependency_types VALUES (?,?,?)", DEPENDENCY_TYPES)
    con.executemany("INSERT INTO resource_types VALUES (?,?,?)", RESOURCE_TYPES)
    con.executemany("INSERT INTO severity_levels VALUES (?,?,?,?,?)", SEVERITY_LEVELS)
    dep_type = {abbr: i for i, _, abbr in DEPENDENCY_TYPES}
    rsrc_ids, rsrc_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO resources VALUES (?,?,?,?,?,?,?,?,?)", (i,) + r)
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

    ids = dict(wbs=0, act=0, lnk=0, bl=0, bla=0, asg=0)
    act_ids, states, proj_ids, act_rows = {}, {}, {}, {}
    for p_idx, pr in enumerate(PROJECTS, 1):
        pk, code, pname, zone, pm, contr, start, _, budget, cost_f, rebase = pr
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
        rag = "Green" if done or slack > 10 else ("Amber" if slack >= 0 else "Red")
        bud = budget * 1e6
        con.execute("INSERT INTO projects VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, code, pname, zone, pm, contr, bud, round(bud * cost_f, -4), iso(start), iso(tgt[pk]),
                     iso(fin_shown), iso(fin_shown) if done else None, iso(DATA_DATE), stage, rag))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, f"{code} {pname}"):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO wbs_elements VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], p_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        for n, k in enumerate(akeys, 1):
            t = tasks[k]
            ids["act"] += 1
            act_ids[k] = ids["act"]
            a = activity_at(DATA_DATE, tasks, k, cdurs, (sb, fb, lsb, lfb, free), bl_src, bl_d, CALS, rng)
            st = {"not": 1, "started": 2, "done": 3}[a.state]
            states[k] = a.state
            act_rows[k] = a
            typ = {"task": "Task", "start": "Start Milestone", "finish": "Finish Milestone"}[a.kind]
            con.execute("INSERT INTO activities VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], p_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]], f"{pk}-{1000 + n * 10}",
                         t["name"], typ, t["area"], float(cdurs[k]), a.remaining, iso(a.bl_start), iso(a.bl_finish),
                         iso(a.start), iso(a.finish), iso(a.late_start), iso(a.late_finish), iso(a.actual_start),
                         iso(a.actual_finish), a.total_float, a.free_float, 1 if a.critical else 0, a.pct, st))
        bls = [(0, "BL0 Contract baseline", start + dt.timedelta(days=28), b0, d0)]
        if rebase:
            bls.append((1, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO baselines VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], p_idx, no, bname, iso(bdate), DIRECTOR, 1 if no == len(bls) - 1 else 0))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, akeys, bl, bd, CALS):
                ids["bla"] += 1
                con.execute("INSERT INTO baseline_activities VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["lnk"] += 1
        con.execute("INSERT INTO dependencies VALUES (?,?,?,?,?)",
                    (ids["lnk"], act_ids[p], act_ids[s], dep_type[typ], float(lag)))

    # resources on activities
    for k in keys:
        t = tasks[k]
        for rc in KIND_RSRC.get(t["kind"], []):
            r = rsrc_row[rc]
            cal = CALS[t["cal"]]
            hpd = min(cal.hrs, 10.0) if t["cal"] != ELP else 8.0
            base = t["dur"]
            pln = float(base * hpd * r[5])
            act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng,
                                           done_spread=(0.92, 1.15), started_spread=(0.9, 1.2))
            rate = r[6] / hpd
            ids["asg"] += 1
            con.execute("INSERT INTO resource_assignments VALUES (?,?,?,?,?,?,?,?)",
                        (ids["asg"], act_ids[k], rsrc_ids[rc], pln, act, rem_h, round(pln * rate, 2),
                         round(act * rate, 2)))

    # risks, with severity from the probability x impact score
    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        score = r[4] * r[5]
        sev = next(s[0] for s in SEVERITY_LEVELS if s[2] <= score <= s[3])
        con.execute("INSERT INTO risks VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[r[0]], act_ids[r[1]] if r[1] else None, f"R-{PROJ[r[0]][1]}-{n_by[r[0]]:02d}",
                     r[2], r[3], r[4], r[5], sev, r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))

    # room and space handovers, tied to the handover milestones
    for i, (pk, tk, room, name, use, floor, area_m2, cap, dept, offset) in enumerate(HANDOVERS, 1):
        k = f"{pk}.{tk}"
        a = act_rows[k]
        off_d = dt.timedelta(days=offset)
        base_d = a.bl_finish + off_d
        fc = a.finish + off_d
        if a.state == "done":
            actual, snags = fc, rng.choice([0, 0, 2, 5, 11])
            status = "Handed Over" if not snags else "Handed Over with Snags"
        else:
            actual, snags = None, 0
            status = "Delayed" if fc > base_d else "Planned"
        con.execute("INSERT INTO space_handovers VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[pk], act_ids[k], room, name, use, floor, area_m2, cap, dept, iso(base_d), iso(fc),
                     iso(actual), status, snags))

    # campus access restrictions
    for i, (pk, ref, typ, area, f_d, t_d, text, who, wdn) in enumerate(RESTRICTIONS, 1):
        now = iso(DATA_DATE)
        sts = "Withdrawn" if wdn else ("Expired" if t_d < now else ("In Force" if f_d <= now else "Planned"))
        con.execute("INSERT INTO access_restrictions VALUES (?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[pk], ref, typ, area, f_d, t_d, text, who, sts))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

PROJ_FK = ("Project (projects.project_id)", "INTEGER")
ACT_FK = ("Activity (activities.activity_id)", "INTEGER")

TABLE_META = {
    "projects": ("Capital projects of the Kingsmere University estates programme: campus zone, project manager, "
                 "main contractor, approved budget and forecast final cost, start, target, forecast and actual "
                 "completion, data date, project status and RAG status", {
        "project_id": ("Project id", "INTEGER"),
        "project_code": ("Project code, e.g. EST2401", "TEXT"),
        "project_name": ("Project name, e.g. Learning Commons Teaching and Learning Building", "TEXT"),
        "campus_zone": ("Campus zone: Science Quarter, North Campus, Central Campus, Westfield Sports Park, "
                        "Campus-wide", "TEXT"),
        "project_manager_name": ("Estates project manager", "TEXT"),
        "main_contractor_name": ("Main contractor", "TEXT"),
        "approved_budget_gbp": ("Approved budget, GBP", "REAL"),
        "forecast_final_cost_gbp": ("Forecast final cost (estimate at completion), GBP", "REAL"),
        "planned_start_date": ("Project start (contract award)", "DATE"),
        "target_completion_date": ("Target completion date approved by the Estates programme board; total float "
                                   "is measured to it", "DATE"),
        "forecast_completion_date": ("Forecast completion from the current schedule", "DATE"),
        "actual_completion_date": ("Actual completion; null until complete", "DATE"),
        "data_date": ("Schedule data date (status date)", "DATE"),
        "project_status": ("Project status: Design, Construction, Commissioning, Complete", "TEXT"),
        "rag_status": ("RAG status: Red (forecast after target), Amber (10 or fewer working days float), Green",
                       "TEXT"),
    }),
    "wbs_elements": ("WBS of each project: level 1 the project, level 2 design and approvals, procurement and "
                     "off-site manufacture, construction, commissioning and handover; level 3 the floors, blocks, "
                     "heat network routes and building parts", {
        "wbs_element_id": ("WBS element id", "INTEGER"),
        "project_id": PROJ_FK,
        "parent_wbs_element_id": ("Parent WBS element (wbs_elements.wbs_element_id); null at level 1", "INTEGER"),
        "wbs_code": ("WBS code, e.g. EST2302.3.2", "TEXT"),
        "wbs_name": ("WBS element name, e.g. Block B (146 study bedrooms), Floor 2 - Second floor research "
                     "laboratories", "TEXT"),
        "wbs_level": ("WBS level 1-3", "INTEGER"),
    }),
    "calendars": ("Work calendars: office, site 5 and 6 day, site with no noisy works in exam periods, vacation "
                  "working (term time excluded) and 7-day elapsed", {
        "calendar_id": ("Calendar id", "INTEGER"),
        "calendar_code": ("Calendar code, e.g. VACATION-6D, EXAM-QUIET-5D", "TEXT"),
        "calendar_name": ("Calendar name with its hours", "TEXT"),
        "working_week_description": ("Working days of a normal week", "TEXT"),
        "working_hours_per_day": ("Working hours a day", "REAL"),
        "calendar_notes": ("What the calendar is used for and what stops it", "TEXT"),
    }),
    "calendar_exceptions": ("Non-working days of each calendar: bank holidays, the university Christmas closure, "
                            "examination periods (no noisy works) and term time (vacation-only calendar). Only "
                            "days that would otherwise be working days", {
        "calendar_exception_id": ("Exception id", "INTEGER"),
        "calendar_id": ("Calendar (calendars.calendar_id)", "INTEGER"),
        "exception_date": ("Non-working date", "DATE"),
        "exception_category": ("Bank holiday, University closure, Exam period or Term time", "TEXT"),
        "exception_reason": ("Reason, e.g. 'Summer exams 2026 - no noisy works', 'Spring term 2026 - building "
                             "occupied'", "TEXT"),
    }),
    "activity_statuses": ("Lookup of activity statuses", {
        "activity_status_id": ("Activity status id", "INTEGER"),
        "status_name": ("Not Started, In Progress, Completed, Suspended", "TEXT"),
        "status_description": ("Meaning of the status", "TEXT"),
    }),
    "activities": ("Schedule activities and milestones of each project at the data date: planned (early "
                   "forecast), late, actual and current-baseline dates, durations and float in working days of "
                   "the activity's calendar", {
        "activity_id": ("Activity id", "INTEGER"),
        "project_id": PROJ_FK,
        "wbs_element_id": ("WBS element (wbs_elements.wbs_element_id)", "INTEGER"),
        "calendar_id": ("Calendar (calendars.calendar_id)", "INTEGER"),
        "activity_code": ("Activity code, e.g. LCM-1110", "TEXT"),
        "activity_name": ("Activity name", "TEXT"),
        "activity_type": ("Task, Start Milestone or Finish Milestone", "TEXT"),
        "location_description": ("Where the work is, e.g. Hollins Court Block B, Dalton Building floor 3; null "
                                 "for design, approvals and procurement", "TEXT"),
        "original_duration_days": ("Original duration, working days", "REAL"),
        "remaining_duration_days": ("Remaining duration, working days", "REAL"),
        "baseline_start_date": ("Start in the current baseline; null for activities added since", "DATE"),
        "baseline_finish_date": ("Finish in the current baseline", "DATE"),
        "planned_start_date": ("Planned (early, forecast) start", "DATE"),
        "planned_finish_date": ("Planned (early, forecast) finish", "DATE"),
        "late_start_date": ("Late start; null when completed", "DATE"),
        "late_finish_date": ("Late finish; null when completed", "DATE"),
        "actual_start_date": ("Actual start", "DATE"),
        "actual_finish_date": ("Actual finish", "DATE"),
        "total_float_days": ("Total float, working days; null when completed", "REAL"),
        "free_float_days": ("Free float, working days; null when completed", "REAL"),
        "is_critical": ("Critical flag, 1 / 0", "INTEGER"),
        "percent_complete": ("Percent complete", "REAL"),
        "activity_status_id": ("Status (activity_statuses.activity_status_id)", "INTEGER"),
    }),
    "dependency_types": ("Lookup of logic link types", {
        "dependency_type_id": ("Dependency type id", "INTEGER"),
        "dependency_type_name": ("Finish to Start, Start to Start, Finish to Finish, Start to Finish", "TEXT"),
        "dependency_type_abbreviation": ("FS, SS, FF, SF", "TEXT"),
    }),
    "dependencies": ("Logic links between activities with their type and lag", {
        "dependency_id": ("Dependency id", "INTEGER"),
        "predecessor_activity_id": ("Predecessor activity (activities.activity_id)", "INTEGER"),
        "successor_activity_id": ("Successor activity (activities.activity_id)", "INTEGER"),
        "dependency_type_id": ("Type (dependency_types.dependency_type_id)", "INTEGER"),
        "lag_days": ("Lag in calendar days", "REAL"),
    }),
    "baselines": ("Baselines of each project; is_current_baseline marks the one reported against", {
        "baseline_id": ("Baseline id", "INTEGER"),
        "project_id": PROJ_FK,
        "baseline_number": ("Baseline number within the project (0 = contract baseline)", "INTEGER"),
        "baseline_name": ("Baseline name", "TEXT"),
        "baseline_set_date": ("Date the baseline was set", "DATE"),
        "approved_by_name": ("Approver (the Director of Estates)", "TEXT"),
        "is_current_baseline": ("1 for the current baseline", "INTEGER"),
    }),
    "baseline_activities": ("Activity dates, durations and float as stored in each baseline", {
        "baseline_activity_id": ("Id", "INTEGER"),
        "baseline_id": ("Baseline (baselines.baseline_id)", "INTEGER"),
        "activity_id": ACT_FK,
        "baseline_start_date": ("Baseline start", "DATE"),
        "baseline_finish_date": ("Baseline finish", "DATE"),
        "baseline_duration_days": ("Baseline duration, working days", "REAL"),
        "baseline_total_float_days": ("Baseline total float, working days", "REAL"),
    }),
    "resource_types": ("Lookup of resource types", {
        "resource_type_id": ("Resource type id", "INTEGER"),
        "resource_type_name": ("Labour, Consultant, Plant", "TEXT"),
        "resource_type_description": ("Meaning of the type", "TEXT"),
    }),
    "resources": ("Resources: contractors' trades and gangs, design consultants and plant (cranes, piling rig, "
                  "excavators, access platforms) with units and day rate", {
        "resource_id": ("Resource id", "INTEGER"),
        "resource_code": ("Resource code, e.g. PILING-RIG, MECH-FITTERS", "TEXT"),
        "resource_name": ("Resource name", "TEXT"),
        "resource_type_id": ("Type (resource_types.resource_type_id)", "INTEGER"),
        "trade_or_discipline": ("Trade, discipline or plant category, e.g. Mechanical, Architecture, Lifting",
                                "TEXT"),
        "company_name": ("Company that provides the resource", "TEXT"),
        "available_units": ("Headcount of a gang or team, or number of machines", "INTEGER"),
        "day_rate_gbp": ("Rate per unit per working day, GBP", "REAL"),
        "supervisor_name": ("Supervisor, foreman or lead consultant", "TEXT"),
    }),
    "resource_assignments": ("Resource assignments to activities with planned, actual and remaining hours and "
                             "cost", {
        "resource_assignment_id": ("Assignment id", "INTEGER"),
        "activity_id": ACT_FK,
        "resource_id": ("Resource (resources.resource_id)", "INTEGER"),
        "planned_hours": ("Planned hours (person-hours or machine-hours)", "REAL"),
        "actual_hours": ("Actual hours to the data date", "REAL"),
        "remaining_hours": ("Remaining hours", "REAL"),
        "planned_cost_gbp": ("Planned cost, GBP", "REAL"),
        "actual_cost_gbp": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "severity_levels": ("Lookup of risk severity bands by probability x impact score", {
        "severity_id": ("Severity id", "INTEGER"),
        "severity_name": ("Low, Medium, High, Very High", "TEXT"),
        "minimum_score": ("Lowest score in the band", "INTEGER"),
        "maximum_score": ("Highest score in the band", "INTEGER"),
        "escalation_rule": ("Who reviews risks of this severity", "TEXT"),
    }),
    "risks": ("Risk register of each project: category, probability and impact scores, severity, cost and "
              "schedule exposure, owner, mitigation and status", {
        "risk_id": ("Risk id", "INTEGER"),
        "project_id": PROJ_FK,
        "activity_id": ("Activity the risk affects (activities.activity_id); null for project-wide risks",
                        "INTEGER"),
        "risk_reference": ("Risk reference, e.g. R-EST2403-02", "TEXT"),
        "risk_title": ("Risk title", "TEXT"),
        "risk_category": ("Category, e.g. Supply chain, Programme, Stakeholder, Existing services", "TEXT"),
        "probability_score": ("Probability 1-5", "INTEGER"),
        "impact_score": ("Impact 1-5", "INTEGER"),
        "severity_id": ("Severity band of probability x impact (severity_levels.severity_id)", "INTEGER"),
        "cost_exposure_gbp": ("Cost exposure, GBP", "REAL"),
        "schedule_exposure_days": ("Schedule exposure, working days", "REAL"),
        "risk_owner_name": ("Risk owner", "TEXT"),
        "mitigation_action": ("Mitigation", "TEXT"),
        "risk_status": ("Open, Closed or Occurred (the risk happened)", "TEXT"),
        "date_raised": ("Date raised", "DATE"),
        "next_review_date": ("Next review date", "DATE"),
    }),
    "space_handovers": ("Rooms and spaces handed over to the receiving departments: each tied to a handover "
                        "milestone, with baseline, forecast and actual handover dates and open snags", {
        "space_handover_id": ("Space handover id", "INTEGER"),
        "project_id": PROJ_FK,
        "activity_id": ("Handover milestone (activities.activity_id)", "INTEGER"),
        "room_number": ("Room or space number, e.g. LC-G.05, DAL-2.02, HC-B", "TEXT"),
        "space_name": ("Room or space name", "TEXT"),
        "space_use_type": ("Use, e.g. Teaching laboratory, Lecture theatre, Student accommodation", "TEXT"),
        "floor_level": ("Floor (G = ground; ranges for whole blocks)", "TEXT"),
        "net_area_square_metres": ("Net internal area, m2", "REAL"),
        "capacity_people": ("Seats, bedrooms or people the space holds", "INTEGER"),
        "receiving_department_name": ("Department that takes the space over", "TEXT"),
        "baseline_handover_date": ("Handover date in the current baseline", "DATE"),
        "forecast_handover_date": ("Forecast handover date", "DATE"),
        "actual_handover_date": ("Actual handover date; null until handed over", "DATE"),
        "handover_status": ("Planned, Delayed (forecast after baseline), Handed Over, Handed Over with Snags",
                            "TEXT"),
        "open_snag_count": ("Snags (defects) still open at handover", "INTEGER"),
    }),
    "access_restrictions": ("Campus access restrictions that the works must observe or impose: exam period "
                            "quiet working, events (graduation, open days, welcome week), route closures, crane "
                            "oversail and service shutdowns", {
        "access_restriction_id": ("Restriction id", "INTEGER"),
        "project_id": PROJ_FK,
        "restriction_reference": ("Reference, e.g. AR-25-027", "TEXT"),
        "restriction_type": ("Exam period quiet working, Event, Route closure, Crane oversail, Service shutdown",
                             "TEXT"),
        "affected_area": ("Area or building affected", "TEXT"),
        "restricted_from_date": ("First day of the restriction", "DATE"),
        "restricted_to_date": ("Last day of the restriction", "DATE"),
        "restriction_description": ("What is restricted", "TEXT"),
        "requested_by_name": ("Who asked for it", "TEXT"),
        "restriction_status": ("Planned, In Force, Expired, Withdrawn (at the data date)", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("wbs_elements", "projects", "wbs_elements.project_id = projects.project_id", "WBS of a project"),
    ("wbs_elements", "wbs_elements", "wbs_elements.parent_wbs_element_id = wbs_elements.wbs_element_id",
     "Parent WBS element"),
    ("calendar_exceptions", "calendars", "calendar_exceptions.calendar_id = calendars.calendar_id",
     "Non-working days of a calendar"),
    ("activities", "projects", "activities.project_id = projects.project_id", "Activities of a project"),
    ("activities", "wbs_elements", "activities.wbs_element_id = wbs_elements.wbs_element_id",
     "WBS element of an activity"),
    ("activities", "calendars", "activities.calendar_id = calendars.calendar_id", "Calendar of an activity"),
    ("activities", "activity_statuses", "activities.activity_status_id = activity_statuses.activity_status_id",
     "Status of an activity"),
    ("dependencies", "activities", "dependencies.predecessor_activity_id = activities.activity_id",
     "Predecessor of a link"),
    ("dependencies", "activities", "dependencies.successor_activity_id = activities.activity_id",
     "Successor of a link"),
    ("dependencies", "dependency_types", "dependencies.dependency_type_id = dependency_types.dependency_type_id",
     "Type of a link"),
    ("baselines", "projects", "baselines.project_id = projects.project_id", "Baselines of a project"),
    ("baseline_activities", "baselines", "baseline_activities.baseline_id = baselines.baseline_id",
     "Rows of a baseline"),
    ("baseline_activities", "activities", "baseline_activities.activity_id = activities.activity_id",
     "Activity a baseline row stores"),
    ("resources", "resource_types", "resources.resource_type_id = resource_types.resource_type_id",
     "Type of a resource"),
    ("resource_assignments", "resources", "resource_assignments.resource_id = resources.resource_id",
     "Resource of an assignment"),
    ("resource_assignments", "activities", "resource_assignments.activity_id = activities.activity_id",
     "Activity a resource is assigned to"),
    ("risks", "projects", "risks.project_id = projects.project_id", "Risks of a project"),
    ("risks", "activities", "risks.activity_id = activities.activity_id", "Activity a risk affects"),
    ("risks", "severity_levels", "risks.severity_id = severity_levels.severity_id", "Severity band of a risk"),
    ("space_handovers", "projects", "space_handovers.project_id = projects.project_id", "Spaces a project delivers"),
    ("space_handovers", "activities", "space_handovers.activity_id = activities.activity_id",
     "Handover milestone of a space"),
    ("access_restrictions", "projects", "access_restrictions.project_id = projects.project_id",
     "Access restrictions of a project"),
]

BUSINESS_RULES = {
    ("activities", "activity_status_id"): ["Lookup: activity_statuses (1 Not Started, 2 In Progress, 3 Completed, "
                                           "4 Suspended)"],
    ("activities", "activity_type"): ["Allowed Values: Task, Start Milestone, Finish Milestone; milestones have "
                                      "original_duration_days = 0"],
    ("activities", "is_critical"): ["Allowed Values: 1, 0", "Critical: is_critical = 1 when total_float_days <= 0; "
                                    "completed activities are 0"],
    ("activities", "total_float_days"): ["Negative float: forecast finish after the project's target completion "
                                         "date"],
    ("activities", "baseline_finish_date"): ["Slipped: planned_finish_date > baseline_finish_date"],
    ("dependencies", "dependency_type_id"): ["Lookup: dependency_types (Finish to Start FS, Start to Start SS, "
                                             "Finish to Finish FF, Start to Finish SF)"],
    ("baselines", "is_current_baseline"): ["Allowed Values: 1, 0; one current baseline per project"],
    ("calendar_exceptions", "exception_category"): ["Allowed Values: Bank holiday, University closure, Exam "
                                                    "period, Term time"],
    ("projects", "project_status"): ["Allowed Values: Design, Construction, Commissioning, Complete"],
    ("projects", "rag_status"): ["Allowed Values: Red (forecast after target completion), Amber (10 or fewer "
                                 "working days float), Green"],
    ("resources", "resource_type_id"): ["Lookup: resource_types (Labour, Consultant, Plant)"],
    ("risks", "severity_id"): ["Lookup: severity_levels (Low 1-4, Medium 5-9, High 10-15, Very High 16-25 on "
                               "probability x impact)"],
    ("risks", "risk_status"): ["Allowed Values: Open, Closed, Occurred"],
    ("space_handovers", "handover_status"): ["Allowed Values: Planned, Delayed, Handed Over, Handed Over with "
                                             "Snags"],
    ("access_restrictions", "restriction_status"): ["Allowed Values: Planned, In Force, Expired, Withdrawn"],
    ("access_restrictions", "restriction_type"): ["Allowed Values: Exam period quiet working, Event, Route "
                                                  "closure, Crane oversail, Service shutdown"],
}

CONCEPTS = {
    ("activities", "total_float_days"): ["total_float", "critical_path"],
    ("activities", "free_float_days"): ["free_float"],
    ("activities", "is_critical"): ["critical_path"],
    ("activities", "percent_complete"): ["percent_complete"],
    ("activities", "baseline_finish_date"): ["baseline_variance"],
    ("baseline_activities", "baseline_finish_date"): ["baseline_variance"],
    ("dependencies", "lag_days"): ["lag"],
    ("projects", "forecast_final_cost_gbp"): ["cost_variance"],
    ("projects", "target_completion_date"): ["target_completion"],
    ("severity_levels", "severity_name"): ["risk_exposure"],
    ("calendar_exceptions", "exception_category"): ["term_time", "exam_period"],
    ("space_handovers", "forecast_handover_date"): ["space_handover"],
    ("space_handovers", "open_snag_count"): ["snagging"],
    ("resource_assignments", "actual_cost_gbp"): ["resource_cost"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before the project misses its target completion date",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a project's completion",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a link in calendar days",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Forecast final cost against the approved budget",
    "target_completion": "Completion date approved by the Estates programme board",
    "risk_exposure": "Probability x impact score of a risk and its severity band",
    "term_time": "Teaching terms, when intrusive works in occupied buildings stop (vacation-only calendar)",
    "exam_period": "January and summer examination periods, when noisy works near exam venues stop",
    "space_handover": "Handing rooms and spaces over to the department that will use them",
    "snagging": "Minor defects recorded at handover and still to be put right",
    "resource_cost": "Cost of trades, consultants and plant booked to activities",
}

QUERY_EXAMPLES = [
    ("SELECT project_code, project_name, target_completion_date, forecast_completion_date, rag_status FROM projects "
     "ORDER BY target_completion_date;", "Projects with target and forecast completion", "simple"),
    ("SELECT a.activity_code, a.activity_name, a.planned_start_date, a.total_float_days FROM activities a JOIN "
     "projects p ON p.project_id = a.project_id WHERE p.project_code = 'EST2302' AND a.is_critical = 1 ORDER BY "
     "a.planned_start_date;", "Critical activities of a project", "medium"),
    ("SELECT a.activity_code, a.activity_name, a.percent_complete FROM activities a JOIN activity_statuses s ON "
     "s.activity_status_id = a.activity_status_id WHERE s.status_name = 'In Progress';",
     "Activities in progress", "medium"),
    ("SELECT a.activity_code, a.activity_name, b.baseline_finish_date, a.planned_finish_date FROM activities a JOIN "
     "baseline_activities b ON b.activity_id = a.activity_id JOIN baselines l ON l.baseline_id = b.baseline_id "
     "WHERE l.is_current_baseline = 1 AND a.planned_finish_date > b.baseline_finish_date;",
     "Activities forecast to finish later than the current baseline", "complex"),
    ("SELECT r.risk_reference, r.risk_title, v.severity_name FROM risks r JOIN severity_levels v ON v.severity_id = "
     "r.severity_id WHERE r.risk_status = 'Open' AND v.severity_name IN ('High', 'Very High');",
     "Open high and very high risks", "medium"),
    ("SELECT t.dependency_type_name, COUNT(*) FROM dependencies d JOIN dependency_types t ON t.dependency_type_id = "
     "d.dependency_type_id GROUP BY t.dependency_type_name;", "Links by type", "medium"),
    ("SELECT room_number, space_name, baseline_handover_date, forecast_handover_date FROM space_handovers WHERE "
     "handover_status = 'Delayed';", "Spaces whose handover is late against the baseline", "simple"),
    ("SELECT e.exception_date, e.exception_reason FROM calendar_exceptions e JOIN calendars c ON c.calendar_id = "
     "e.calendar_id WHERE c.calendar_code = 'EXAM-QUIET-5D' AND e.exception_category = 'Exam period' AND "
     "e.exception_date >= '2025-11-14' ORDER BY e.exception_date;", "Coming exam-period days with no noisy works",
     "medium"),
    ("SELECT s.resource_name, SUM(x.actual_cost_gbp) AS cost FROM resource_assignments x JOIN resources s ON "
     "s.resource_id = x.resource_id JOIN resource_types t ON t.resource_type_id = s.resource_type_id WHERE "
     "t.resource_type_name = 'Plant' GROUP BY s.resource_name ORDER BY cost DESC;", "Actual plant cost by machine",
     "complex"),
]

KEYWORDS = {
    "float": ["activities.total_float_days", "activities.free_float_days", "total_float"],
    "critical": ["activities.is_critical", "critical_path"],
    "predecessor": ["dependencies.predecessor_activity_id", "dependencies"],
    "successor": ["dependencies.successor_activity_id", "dependencies"],
    "link": ["dependencies", "dependency_types"],
    "baseline": ["baselines", "baseline_activities", "baseline_variance"],
    "project": ["projects"],
    "scheme": ["projects"],
    "status": ["activity_statuses.status_name", "projects.project_status"],
    "term": ["calendar_exceptions.exception_category", "term_time"],
    "vacation": ["calendars", "term_time"],
    "exams": ["calendar_exceptions", "access_restrictions", "exam_period"],
    "trade": ["resources.trade_or_discipline"],
    "gang": ["resources"],
    "consultant": ["resource_types.resource_type_name", "resources"],
    "plant": ["resource_types.resource_type_name", "resources"],
    "crane": ["resources", "access_restrictions.restriction_type"],
    "risk": ["risks", "severity_levels"],
    "severity": ["severity_levels", "risks.severity_id"],
    "handover": ["space_handovers", "space_handover"],
    "room": ["space_handovers.room_number"],
    "snag": ["space_handovers.open_snag_count", "snagging"],
    "closure": ["access_restrictions", "calendar_exceptions"],
    "bank holiday": ["calendar_exceptions"],
    "block": ["activities.location_description", "wbs_elements.wbs_name"],
    "floor": ["activities.location_description", "wbs_elements.wbs_name", "space_handovers.floor_level"],
}

TERMINOLOGY = {
    "RIBA stage 4": "Technical design stage of the RIBA plan of work",
    "CLT": "Cross-laminated timber",
    "CFA": "Continuous flight auger piling",
    "DNO": "Distribution network operator (electricity grid)",
    "3G pitch": "Third-generation artificial grass pitch",
    "MEWP": "Mobile elevating work platform",
    "CDM": "Construction (Design and Management) Regulations",
    "PC": "Practical completion",
    "snag": "Minor defect recorded at handover",
    "decant": "Moving occupants out of a building while it is worked on",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF": "Finish to finish link",
    "data date": "Date up to which progress is recorded (2025-11-14)",
}

RELATED_TERMS = {
    "projects": "project, scheme, job, capital project",
    "activities": "activity, task, programme line, schedule",
    "wbs_elements": "WBS, work breakdown, floor, block, route",
    "resources": "resource, trade, gang, consultant, plant, crane, rig",
    "resource_assignments": "assignment, hours, labour cost, plant cost",
    "risks": "risk, risk register",
    "space_handovers": "handover, room, space, snag, beds",
    "access_restrictions": "restriction, closure, exam period, event, graduation, open day, oversail, shutdown",
    "dependencies": "link, relationship, dependency, logic",
    "calendars": "calendar, shift, working week",
    "calendar_exceptions": "holiday, non-working day, term time, exam period, closure",
    "baselines": "baseline, re-plan",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout21"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="activities")


if __name__ == "__main__":
    sys.exit(main())
