#!/usr/bin/env python3
"""Build the thirteenth check schedule database (a pharmaceutical plant's shutdown and capital projects,
UPPER_SNAKE_CASE names with a module prefix) and its metadata.

The site engineering programme of a sterile and oral-solid-dose pharmaceutical plant (Veridane
Pharmaceuticals, Larkmoor site): three work packages of the 2025 annual shutdown (clean utilities, the
Building 2 oral solid dose suites, sterile filling suite B) and five capital projects (a new WFI still and
loop, a third lyophiliser, an AHU replacement, an effluent treatment plant upgrade and a QC micro lab
refurbishment). Named the way an enterprise planning tool's export is named: upper-case tables with a
module prefix (CAL_, SITE_, PRJ_, SCH_, BL_, RSC_, RSK_, CHG_, QV_, PTW_, DLY_) and upper-case columns
(ACT_ID, ORIG_DUR_HRS, TF_HRS, EARLY_START, ...). Activity status is a code (TK_NotStart / TK_Active /
TK_Complete), relationship types are PR_FS / PR_SS / PR_FF, flags are Y / N, change request and permit
statuses are short codes, other statuses are words.

Durations, remaining durations and float are in WORKING HOURS of the activity's calendar: whole working
days times the calendar's hours a day (8, 10, 12 or 24). Lags are elapsed hours (multiples of 24). Every
project's activities are scheduled by a forward and backward pass over their logic on their own
calendars, against the project's target finish (the shutdown handback or the capital project's
mechanical-completion-plus-validation date). Data date 2025-09-19.

Outputs go to bench/out/holdout13/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 131313
DATA_DATE = dt.date(2025, 9, 19)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import WorkDays, check_with_history, default_out, describe_tables, main as build_main, metadata_document, day_span as _span, iso, wbs_rows  # noqa: E402
DB_NAME = "holdout13_schedule.db"
META_NAME = "holdout13_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE CAL_HDR (
    CAL_ID INTEGER PRIMARY KEY, CAL_CODE TEXT NOT NULL UNIQUE, CAL_NAME TEXT NOT NULL, WORK_PATTERN TEXT NOT NULL,
    HRS_PER_DAY REAL NOT NULL, SHIFTS_PER_DAY INTEGER NOT NULL, CAL_NOTES TEXT
);
CREATE TABLE CAL_EXC (
    EXC_ID INTEGER PRIMARY KEY, CAL_ID INTEGER NOT NULL REFERENCES CAL_HDR(CAL_ID), EXC_DATE TEXT NOT NULL,
    EXC_TYPE TEXT NOT NULL, EXC_REASON TEXT NOT NULL
);
CREATE TABLE SITE_AREA (
    AREA_ID INTEGER PRIMARY KEY, AREA_CODE TEXT NOT NULL UNIQUE, AREA_NAME TEXT NOT NULL, BLDG_NO TEXT NOT NULL,
    GMP_GRADE TEXT NOT NULL, AREA_OWNER TEXT NOT NULL
);
CREATE TABLE PRJ_HEADER (
    PRJ_ID INTEGER PRIMARY KEY, PRJ_CODE TEXT NOT NULL UNIQUE, PRJ_NAME TEXT NOT NULL, PRJ_TYPE TEXT NOT NULL,
    AREA_ID INTEGER NOT NULL REFERENCES SITE_AREA(AREA_ID), CAPEX_NO TEXT, SPONSOR TEXT NOT NULL,
    PM_NAME TEXT NOT NULL, SITE_ENG TEXT NOT NULL, BUDGET_EUR REAL NOT NULL, EAC_EUR REAL NOT NULL,
    PLAN_START TEXT NOT NULL, TARGET_FINISH TEXT NOT NULL, FCST_FINISH TEXT NOT NULL, ACT_FINISH TEXT,
    DATA_DATE TEXT NOT NULL, PRJ_STATUS TEXT NOT NULL, RAG TEXT NOT NULL
);
CREATE TABLE PRJ_WBS (
    WBS_ID INTEGER PRIMARY KEY, PRJ_ID INTEGER NOT NULL REFERENCES PRJ_HEADER(PRJ_ID),
    PARENT_WBS_ID INTEGER REFERENCES PRJ_WBS(WBS_ID), WBS_CODE TEXT NOT NULL, WBS_NAME TEXT NOT NULL,
    WBS_LVL INTEGER NOT NULL
);
CREATE TABLE SCH_ACT (
    ACT_ID INTEGER PRIMARY KEY, PRJ_ID INTEGER NOT NULL REFERENCES PRJ_HEADER(PRJ_ID),
    WBS_ID INTEGER NOT NULL REFERENCES PRJ_WBS(WBS_ID), CAL_ID INTEGER NOT NULL REFERENCES CAL_HDR(CAL_ID),
    ACT_CODE TEXT NOT NULL UNIQUE, ACT_NAME TEXT NOT NULL, ACT_TYPE TEXT NOT NULL, EQUIP_TAG TEXT,
    ORIG_DUR_HRS REAL NOT NULL, REM_DUR_HRS REAL NOT NULL, BL_START TEXT, BL_FINISH TEXT, EARLY_START TEXT NOT NULL,
    EARLY_FINISH TEXT NOT NULL, LATE_START TEXT, LATE_FINISH TEXT, ACT_START TEXT, ACT_FINISH TEXT, TF_HRS REAL,
    FF_HRS REAL, CRIT_FLG TEXT NOT NULL, PCT_COMPL REAL NOT NULL, ACT_STATUS TEXT NOT NULL
);
CREATE TABLE SCH_REL (
    REL_ID INTEGER PRIMARY KEY, PRED_ACT_ID INTEGER NOT NULL REFERENCES SCH_ACT(ACT_ID),
    SUCC_ACT_ID INTEGER NOT NULL REFERENCES SCH_ACT(ACT_ID), REL_TYPE TEXT NOT NULL, LAG_HRS REAL NOT NULL
);
CREATE TABLE BL_HDR (
    BL_ID INTEGER PRIMARY KEY, PRJ_ID INTEGER NOT NULL REFERENCES PRJ_HEADER(PRJ_ID), BL_NO INTEGER NOT NULL,
    BL_NAME TEXT NOT NULL, BL_DATE TEXT NOT NULL, APPROVED_BY TEXT NOT NULL, CURRENT_FLG TEXT NOT NULL
);
CREATE TABLE BL_ACT (
    BL_ACT_ID INTEGER PRIMARY KEY, BL_ID INTEGER NOT NULL REFERENCES BL_HDR(BL_ID),
    ACT_ID INTEGER NOT NULL REFERENCES SCH_ACT(ACT_ID), BL_START TEXT NOT NULL, BL_FINISH TEXT NOT NULL,
    BL_DUR_HRS REAL NOT NULL, BL_TF_HRS REAL
);
CREATE TABLE RSC_MASTER (
    RSC_ID INTEGER PRIMARY KEY, RSC_CODE TEXT NOT NULL UNIQUE, RSC_NAME TEXT NOT NULL, RSC_TYPE TEXT NOT NULL,
    TRADE TEXT NOT NULL, COMPANY TEXT NOT NULL, SUPERVISOR TEXT, MAX_UNITS INTEGER NOT NULL,
    RATE_EUR_HR REAL NOT NULL
);
CREATE TABLE RSC_ASSIGN (
    ASSIGN_ID INTEGER PRIMARY KEY, ACT_ID INTEGER NOT NULL REFERENCES SCH_ACT(ACT_ID),
    RSC_ID INTEGER NOT NULL REFERENCES RSC_MASTER(RSC_ID), UNITS INTEGER NOT NULL, BUDG_HRS REAL NOT NULL,
    ACT_HRS REAL NOT NULL, REM_HRS REAL NOT NULL, BUDG_COST_EUR REAL NOT NULL, ACT_COST_EUR REAL NOT NULL
);
CREATE TABLE RSK_REG (
    RISK_ID INTEGER PRIMARY KEY, PRJ_ID INTEGER NOT NULL REFERENCES PRJ_HEADER(PRJ_ID),
    ACT_ID INTEGER REFERENCES SCH_ACT(ACT_ID), RISK_NO TEXT NOT NULL UNIQUE, RISK_TITLE TEXT NOT NULL,
    RISK_CAT TEXT NOT NULL, PROB INTEGER NOT NULL, IMPACT INTEGER NOT NULL, RISK_SCORE INTEGER NOT NULL,
    COST_IMPACT_EUR REAL NOT NULL, SCHED_IMPACT_HRS REAL NOT NULL, RISK_OWNER TEXT NOT NULL,
    MITIGATION TEXT NOT NULL, RISK_STATUS TEXT NOT NULL, RAISED_DATE TEXT NOT NULL, REVIEW_DATE TEXT NOT NULL
);
CREATE TABLE CHG_REQ (
    CR_ID INTEGER PRIMARY KEY, PRJ_ID INTEGER NOT NULL REFERENCES PRJ_HEADER(PRJ_ID), CR_NO TEXT NOT NULL UNIQUE,
    CR_TITLE TEXT NOT NULL, CR_TYPE TEXT NOT NULL, ORIGINATOR TEXT NOT NULL, GMP_IMPACT TEXT NOT NULL,
    COST_EUR REAL NOT NULL, SCHED_IMPACT_HRS REAL NOT NULL, CR_STATUS TEXT NOT NULL, RAISED_DATE TEXT NOT NULL,
    DECISION_DATE TEXT
);
CREATE TABLE QV_PROTOCOL (
    QV_ID INTEGER PRIMARY KEY, PRJ_ID INTEGER NOT NULL REFERENCES PRJ_HEADER(PRJ_ID),
    ACT_ID INTEGER REFERENCES SCH_ACT(ACT_ID), PROTOCOL_NO TEXT NOT NULL UNIQUE, QUAL_STAGE TEXT NOT NULL,
    SYSTEM_NAME TEXT NOT NULL, EQUIP_TAG TEXT, EXEC_START TEXT, EXEC_END TEXT, DEV_CNT INTEGER NOT NULL,
    OPEN_DEV_CNT INTEGER NOT NULL, AUTHOR TEXT NOT NULL, QA_APPROVER TEXT NOT NULL, QV_STATUS TEXT NOT NULL
);
CREATE TABLE PTW_PERMIT (
    PTW_ID INTEGER PRIMARY KEY, PRJ_ID INTEGER NOT NULL REFERENCES PRJ_HEADER(PRJ_ID),
    ACT_ID INTEGER NOT NULL REFERENCES SCH_ACT(ACT_ID), PTW_NO TEXT NOT NULL UNIQUE, PTW_TYPE TEXT NOT NULL,
    AREA_ID INTEGER NOT NULL REFERENCES SITE_AREA(AREA_ID), AUTHORISED_BY TEXT NOT NULL, HOLDER_COMPANY TEXT NOT NULL,
    VALID_FROM TEXT NOT NULL, VALID_TO TEXT NOT NULL, GAS_TEST_REQ TEXT NOT NULL, PTW_STATUS TEXT NOT NULL
);
CREATE TABLE DLY_LOG (
    LOG_ID INTEGER PRIMARY KEY, PRJ_ID INTEGER NOT NULL REFERENCES PRJ_HEADER(PRJ_ID), LOG_DATE TEXT NOT NULL,
    SHIFT TEXT NOT NULL, HEADCOUNT INTEGER NOT NULL, HRS_LOST REAL NOT NULL, DELAY_CODE TEXT,
    SAFETY_OBS INTEGER NOT NULL, LOG_TEXT TEXT NOT NULL, AUTHOR TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

PUBLIC_HOLIDAYS = {
    "2024-06-03": "June Bank Holiday", "2024-08-05": "August Bank Holiday", "2024-10-28": "October Bank Holiday",
    "2024-12-25": "Christmas Day", "2024-12-26": "St Stephen's Day", "2025-01-01": "New Year's Day",
    "2025-02-03": "St Brigid's Day", "2025-03-17": "St Patrick's Day", "2025-04-21": "Easter Monday",
    "2025-05-05": "May Bank Holiday", "2025-06-02": "June Bank Holiday", "2025-08-04": "August Bank Holiday",
    "2025-10-27": "October Bank Holiday", "2025-12-25": "Christmas Day", "2025-12-26": "St Stephen's Day",
    "2026-01-01": "New Year's Day", "2026-02-02": "St Brigid's Day", "2026-03-17": "St Patrick's Day",
    "2026-04-06": "Easter Monday", "2026-05-04": "May Bank Holiday", "2026-06-01": "June Bank Holiday",
}
CAL_FROM, CAL_TO = dt.date(2024, 6, 1), dt.date(2026, 6, 30)


XMAS_CLOSE = _span("2024-12-23", "2025-01-03") + _span("2025-12-22", "2026-01-02")
REG_AUDIT = _span("2025-10-14", "2025-10-16") + _span("2024-11-19", "2024-11-20")

CALENDARS = [
    # id, code, name, working weekdays (0 = Mon), pattern, hours a day, shifts, notes, kind
    (1, "ENG-5D8", "Engineering office 5 x 8h", {0, 1, 2, 3, 4}, "Mon-Fri", 8.0, 1,
     "Design, procurement, planning. Site closed between Christmas and New Year", "office"),
    (2, "CON-5D10", "Contractor day shift 5 x 10h", {0, 1, 2, 3, 4}, "Mon-Fri", 10.0, 1,
     "Capital project construction outside the shutdown window", "site"),
    (3, "CON-6D10", "Contractor day shift 6 x 10h", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 10.0, 1,
     "Civils and installation work on Saturdays", "site"),
    (4, "SD-7D12", "Shutdown day shift 7 x 12h", {0, 1, 2, 3, 4, 5, 6}, "Mon-Sun", 12.0, 1,
     "Shutdown window 07:00-19:00 every day; site safety stand-down day excluded", "shutdown"),
    (5, "SD-7D24", "Shutdown round the clock 2 x 12h", {0, 1, 2, 3, 4, 5, 6}, "Mon-Sun", 24.0, 2,
     "Two 12 hour shifts (day 07:00-19:00, night 19:00-07:00) for critical path shutdown work", "rtc"),
    (6, "QA-5D8", "QA and validation 5 x 8h", {0, 1, 2, 3, 4}, "Mon-Fri", 8.0, 1,
     "Validation and QA release; no protocol execution during regulatory audits", "qa"),
    (7, "ELAPSED", "7-day elapsed", {0, 1, 2, 3, 4, 5, 6}, "Mon-Sun", 24.0, 1,
     "Vendor lead times, fabrication, incubation and hold times", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code, _, self.days, _, self.hrs, _, _, kind = row
        self.off = {}
        if kind in ("office", "site", "qa"):
            for iso_d, name in PUBLIC_HOLIDAYS.items():
                self.off[dt.date.fromisoformat(iso_d)] = ("PH", f"Public holiday - {name}")
            for d in XMAS_CLOSE:
                self.off.setdefault(d, ("XMS", "Site Christmas closure"))
        if kind in ("shutdown", "rtc"):
            for iso_d in ("2024-12-25", "2025-12-25"):
                self.off[dt.date.fromisoformat(iso_d)] = ("PH", "Public holiday - Christmas Day")
        if kind == "shutdown":
            self.off[dt.date(2025, 9, 3)] = ("STD", "Site safety stand-down day (no shutdown day shift)")
        if kind == "qa":
            for d in REG_AUDIT:
                self.off.setdefault(d, ("AUD", "Regulatory audit on site - validation staff unavailable"))


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, C5, C6, SD12, SD24, QA, EL = ("ENG-5D8", "CON-5D10", "CON-6D10", "SD-7D12", "SD-7D24", "QA-5D8", "ELAPSED")

# ---------------------------------------------------------------------------------------------- reference data

AREAS = [
    # code, name, building, GMP grade, owner
    ("UTL", "Clean Utilities Block", "B1", "Non-classified (GMP)", "Declan Furlong"),
    ("OSD", "Oral Solid Dose Suites", "B2", "Grade D", "Aoife Brennan"),
    ("FIL", "Sterile Filling Suite B", "B4", "Grade A/B", "Marta Kowalczyk"),
    ("LYO", "Lyophilisation Hall", "B4", "Grade C", "Marta Kowalczyk"),
    ("HVC", "Building 4 Plant Room and Roof", "B4", "Non-classified", "Declan Furlong"),
    ("ETP", "Effluent Treatment Plant", "Yard", "Non-GMP", "Ronan Tierney"),
    ("QCM", "QC Microbiology Laboratory", "B5", "Grade C (lab)", "Grainne O'Shea"),
]

RESOURCES = [
    # code, name, type, trade, company, supervisor, max units, rate EUR/h
    ("MECH-S", "Site mechanical fitters", "LAB", "Mechanical", "Veridane Engineering", "Paddy Keogh", 8, 62.0),
    ("ELEC-S", "Site electricians", "LAB", "Electrical", "Veridane Engineering", "Shane Dooley", 4, 64.0),
    ("INST-S", "Instrument and controls technicians", "LAB", "Instrumentation", "Veridane Engineering",
     "Niamh Carty", 4, 66.0),
    ("VAL-C", "Validation engineers", "CON", "Validation", "Caldra Validation Services", "Imelda Roche", 6, 95.0),
    ("PIPE-C", "Orbital welding and hygienic pipework crew", "CON", "Pipefitting", "Brennock Process Piping",
     "Gavin Moloney", 6, 88.0),
    ("HVAC-C", "HVAC installation crew", "CON", "HVAC", "Kestrel Air Systems", "Tomas Novak", 6, 79.0),
    ("CIV-C", "Civils gang", "CON", "Civils", "Dunmore Civil Engineering", "Liam Hehir", 6, 58.0),
    ("ELEC-C", "Contract electricians", "CON", "Electrical", "Corrib Electrical Contractors", "Brian Nestor", 6,
     72.0),
    ("SCAF-C", "Scaffolding crew", "CON", "Scaffolding", "Highpoint Access", "Dermot Fahy", 4, 55.0),
    ("PAINT-C", "Painting and epoxy flooring crew", "CON", "Painting", "Glencar Coatings", "Rory Byrne", 4, 52.0),
    ("CLEAN-C", "Cleanroom cleaning team", "CON", "Cleaning", "Purity Cleanroom Services", "Ewa Zielinska", 6,
     45.0),
    ("VND-LYO", "Lyophiliser vendor service engineers", "CON", "Vendor", "Frosthaven GmbH", "Jurgen Hauser", 2,
     145.0),
    ("VND-FIL", "Filling line vendor engineers", "CON", "Vendor", "Astrano Packaging SpA", "Paolo Ferri", 2, 138.0),
    ("VND-TAB", "Tablet press vendor engineer", "CON", "Vendor", "Kellner Pharmatech", "Stefan Brandt", 1, 130.0),
    ("CRN-250", "250 t mobile crane with crew", "EQP", "Lifting", "Mullane Crane Hire", "Keith Mullane", 1,
     620.0),
    ("CRN-60", "60 t mobile crane with crew", "EQP", "Lifting", "Mullane Crane Hire", "Keith Mullane", 1, 240.0),
    ("MEWP-01", "Scissor lift MEWP", "EQP", "Access", "Highpoint Access", None, 2, 18.0),
    ("EXC-20", "20 t tracked excavator with driver", "EQP", "Plant", "Dunmore Civil Engineering", "Liam Hehir", 1,
     95.0),
]

KINDS = {
    "mech": ["MECH-S"], "mech2": ["MECH-S", "INST-S"], "elec": ["ELEC-S"], "elecc": ["ELEC-C"], "inst": ["INST-S"],
    "val": ["VAL-C"], "valqa": ["VAL-C", "INST-S"], "pipe": ["PIPE-C"], "pipe_mewp": ["PIPE-C", "MEWP-01"],
    "hvac": ["HVAC-C"], "hvac_mewp": ["HVAC-C", "MEWP-01"], "civ": ["CIV-C"], "civ_exc": ["CIV-C", "EXC-20"],
    "scaf": ["SCAF-C"], "paint": ["PAINT-C"], "clean": ["CLEAN-C"], "vlyo": ["VND-LYO", "MECH-S"],
    "vfil": ["VND-FIL", "MECH-S"], "vtab": ["VND-TAB", "MECH-S"], "lift250": ["CRN-250", "MECH-S"],
    "lift60": ["CRN-60", "MECH-S"], "lift60h": ["CRN-60", "HVAC-C"],
}
UNITS = {"MECH-S": 3, "ELEC-S": 2, "INST-S": 2, "VAL-C": 2, "PIPE-C": 4, "HVAC-C": 4, "CIV-C": 5, "ELEC-C": 3,
         "SCAF-C": 3, "PAINT-C": 3, "CLEAN-C": 4, "VND-LYO": 2, "VND-FIL": 2, "VND-TAB": 1, "CRN-250": 1,
         "CRN-60": 1, "MEWP-01": 1, "EXC-20": 1}

PTW_TYPES = {"HOT": "Hot Work", "CSE": "Confined Space Entry", "WAH": "Work at Height",
             "LOTO": "Electrical Isolation (LOTO)", "LB": "Line Break", "LIFT": "Lifting Operation",
             "EXC": "Excavation"}

# ---------------------------------------------------------------------------------------------- project plans


class Plan:
    def __init__(self, cal, phases):
        self.cal = cal
        self.tasks = []
        self.wbs = [("ROOT", None, None)] + [(k, "ROOT", n) for k, n in phases]

    def pkg(self, key, parent, name):
        self.wbs.append((key, parent, name))
        return key

    def add(self, key, name, dur, wbs, preds=(), cal=None, kind=None, slip=0, new=False, ms=None, snet=None,
            tag=None, ptw=None, qual=None):
        self.tasks.append(dict(key=key, name=name, dur=dur, wbs=wbs, preds=list(preds), cal=cal or self.cal,
                               kind=kind, slip=slip, new=new, ms=ms, snet=snet, tag=tag, ptw=ptw, qual=qual))
        return key


SD_PHASES = [("PRE", "Shutdown preparation"), ("EXE", "Shutdown execution"), ("RQL", "Requalification and release"),
             ("CLO", "Close-out")]
CAP_PHASES = [("ENG", "Engineering and design"), ("PRC", "Procurement"), ("CST", "Construction and installation"),
              ("CQV", "Commissioning, qualification and validation"), ("HND", "Handover")]
SD_STOP = dt.date(2025, 8, 25)


def sd_front(p, scope):
    p.add("frz", f"{scope} shutdown scope freeze", 0, "PRE", cal=OFF, ms="S")
    p.add("wpk", f"Prepare work packs, job plans and isolation lists - {scope}", 25, "PRE", ["frz"], cal=OFF)
    p.add("ctr", "Contractor pre-qualification, RAMS review and inductions", 15, "PRE", ["wpk:SS10"], cal=OFF)
    p.add("loto", "Isolation and LOTO plan approved by area owner", 5, "PRE", ["wpk"], cal=OFF)
    p.add("stop", "Production stop - area handed to engineering", 0, "EXE", ["loto", "ctr"], cal=SD24, ms="S",
          snet=SD_STOP)


def plan_utl():
    p = Plan(SD12, SD_PHASES)
    sd_front(p, "Clean utilities")
    p.add("spr", "Order spares - RO membranes, valve diaphragms, gaskets", 35, "PRE", ["wpk:SS5"], cal=EL)
    w = p.pkg("WFI", "EXE", "WFI loop 1")
    p.add("dr", "Drain down and isolate WFI loop 1", 1, w, ["stop"], cal=SD24, kind="mech", tag="WFI-L1", ptw="LOTO")
    p.add("dia", "Replace WFI loop 1 valve diaphragms (48 no.)", 3, w, ["dr", "spr"], kind="mech2", tag="WFI-L1",
          ptw="LB")
    p.add("pas", "Derouge and passivate WFI loop 1", 2, w, ["dia"], cal=SD24, kind="pipe", tag="WFI-L1", slip=1)
    p.add("san", "Refill, flush and hot sanitise WFI loop 1", 1, w, ["pas"], cal=SD24, kind="mech", tag="WFI-L1")
    w = p.pkg("CS", "EXE", "Clean steam generator")
    p.add("csi", "Open and examine clean steam generator CSG-101", 3, w, ["stop"], kind="mech", tag="CSG-101",
          ptw="CSE")
    p.add("csg", "Replace CSG-101 heat exchanger gaskets", 2, w, ["csi", "spr"], kind="mech", tag="CSG-101",
          slip=2)
    w = p.pkg("PW", "EXE", "Purified water generation")
    p.add("ro", "Replace RO membranes on PW-RO-1", 2, w, ["stop", "spr"], kind="mech2", tag="PW-RO-1", ptw="LB")
    p.add("pws", "Sanitise PW generation and distribution loop", 1, w, ["ro"], cal=SD24, kind="mech", tag="PW-RO-1")
    w = p.pkg("STAT", "EXE", "Boiler, chiller and statutory examinations")
    p.add("blr", "Boiler B-01 statutory examination (insurer)", 3, w, ["stop"], kind="mech", tag="B-01", ptw="CSE",
          slip=2)
    p.add("psv", "Pressure vessel and safety valve examinations", 4, w, ["stop"], kind="mech", tag="PSV-SYS")
    p.add("chl", "Chiller CH-02 compressor overhaul", 4, w, ["stop"], kind="mech", tag="CH-02", ptw="LOTO")
    p.add("cad", "Compressed air dryer CAD-02 desiccant change", 1, w, ["stop"], kind="mech", tag="CAD-02")
    p.add("mcc", "MCC-1 thermography and breaker testing", 2, w, ["stop"], kind="elec", tag="MCC-1", ptw="LOTO")
    p.add("wfq", "WFI loop 1 requalification sampling (PQ phase 1)", 5, "RQL", ["san"], cal=SD24, kind="val",
          tag="WFI-L1", qual="PQ", slip=2)
    p.add("csq", "Clean steam quality tests (NCG, superheat, dryness)", 1, "RQL", ["csg", "blr"], kind="val",
          tag="CSG-101", qual="OQ")
    p.add("pwq", "PW loop requalification sampling", 3, "RQL", ["pws"], cal=SD24, kind="val", tag="PW-RO-1",
          qual="PQ")
    p.add("caq", "Compressed air quality testing (ISO 8573)", 1, "RQL", ["cad"], kind="val", tag="CAD-02",
          qual="OQ")
    p.add("fin", "Clean utilities released to production", 0, "CLO", ["wfq", "csq", "pwq", "caq", "psv", "chl",
                                                                       "mcc"], ms="F")
    p.add("rpt", "Shutdown close-out report - utilities", 10, "CLO", ["fin"], cal=OFF)
    return p


def plan_osd():
    p = Plan(SD12, SD_PHASES)
    sd_front(p, "Building 2 OSD")
    p.add("tool", "Order TP-204 tooling and GR-201 seal kit", 40, "PRE", ["frz"], cal=EL)
    p.add("lc", "Line clearance and product removal - B2 suites", 1, "EXE", ["stop"], kind="clean")
    w = p.pkg("GRN", "EXE", "Granulation - GR-201 / FBD-202")
    p.add("gd", "Dismantle granulator GR-201 and examine impeller seals", 2, w, ["lc"], kind="mech", tag="GR-201",
          ptw="LOTO")
    p.add("gs", "GR-201 seal replacement and reassembly", 3, w, ["gd", "tool"], kind="mech", tag="GR-201", slip=2)
    p.add("fb", "FBD-202 filter bag change and explosion vent examination", 2, w, ["lc"], kind="mech", tag="FBD-202",
          ptw="WAH")
    w = p.pkg("CMP", "EXE", "Compression - TP-204")
    p.add("tp", "TP-204 turret overhaul (vendor)", 5, w, ["lc"], kind="vtab", tag="TP-204", ptw="LOTO")
    p.add("tt", "TP-204 tooling examination and polishing", 2, w, ["tp:SS2", "tool"], kind="mech", tag="TP-204")
    w = p.pkg("COT", "EXE", "Coating - CP-205")
    p.add("cp", "CP-205 spray gun and pump overhaul", 2, w, ["lc"], kind="mech", tag="CP-205")
    w = p.pkg("FAB", "EXE", "HVAC, dust extraction and room fabric")
    p.add("hep", "Replace terminal HEPA filters rooms 2.10-2.16", 3, w, ["lc"], kind="hvac_mewp", tag="AHU-21",
          ptw="WAH")
    p.add("dux", "Dust extraction ductwork cleaning", 2, w, ["lc"], kind="hvac", tag="DC-210", ptw="WAH")
    p.add("flr", "Epoxy floor repairs corridor 2.0", 4, w, ["gs", "tp"], kind="paint", slip=1)
    p.add("pnt", "Repaint granulation suite walls and ceilings", 3, w, ["hep"], kind="paint", ptw="WAH")
    p.add("mcc", "MCC-2 thermography and breaker tests", 2, w, ["lc"], kind="elec", tag="MCC-2", ptw="LOTO")
    p.add("dop", "HEPA integrity (DOP) testing rooms 2.10-2.16", 1, "RQL", ["hep"], kind="val", tag="AHU-21",
          qual="OQ")
    p.add("cln", "Deep clean and sanitisation of B2 suites", 2, "RQL", ["flr", "pnt", "dux", "fb", "cp", "tt"],
          kind="clean")
    p.add("eq", "GR-201 and TP-204 post-maintenance OQ checks", 2, "RQL", ["gs", "tt", "cln:SS0"], kind="valqa",
          tag="TP-204", qual="OQ")
    p.add("em", "Environmental monitoring and area re-release", 3, "RQL", ["cln", "dop"], kind="val", qual="PQ")
    p.add("fin", "Building 2 handed back to production", 0, "CLO", ["em", "eq", "mcc"], ms="F")
    p.add("rpt", "Shutdown close-out report - B2", 10, "CLO", ["fin"], cal=OFF)
    return p


def plan_fil():
    p = Plan(SD12, SD_PHASES)
    sd_front(p, "Filling suite B")
    p.add("spr", "Order isolator gloves, HEPA filters and FM-410 change parts", 45, "PRE", ["frz"], cal=EL)
    p.add("vhp", "Decontaminate isolator ISO-410 (VHP) and make safe", 1, "EXE", ["stop"], cal=SD24, kind="mech",
          tag="ISO-410")
    w = p.pkg("LIN", "EXE", "Filling line FM-410 and isolator ISO-410")
    p.add("glv", "Replace isolator gloves and glove port rings", 2, w, ["vhp", "spr"], kind="mech", tag="ISO-410")
    p.add("fm", "FM-410 needle and pump overhaul (vendor)", 6, w, ["vhp"], cal=SD24, kind="vfil", tag="FM-410",
          ptw="LOTO", slip=3)
    p.add("ac", "Autoclave AC-402 chamber and door seal examination", 2, w, ["stop"], kind="mech", tag="AC-402",
          ptw="CSE")
    w = p.pkg("CRM", "EXE", "Cleanroom suite B")
    p.add("hep", "Replace Grade A/B HEPA filters suite B", 4, w, ["vhp", "spr"], kind="hvac_mewp", tag="AHU-41",
          ptw="WAH")
    p.add("fab", "Cleanroom fabric repairs (wall panels, sealant)", 3, w, ["hep"], kind="paint")
    p.add("cln", "Post-maintenance clean and disinfection suite B", 2, w, ["fab", "glv", "fm"], cal=SD24,
          kind="clean")
    p.add("acq", "Autoclave AC-402 requalification (thermal mapping)", 3, "RQL", ["ac"], kind="val", tag="AC-402",
          qual="PQ")
    p.add("dop", "HEPA integrity testing Grade A/B", 2, "RQL", ["hep"], kind="val", tag="AHU-41", qual="OQ")
    p.add("crq", "Cleanroom requalification - particle counts and airflow visualisation", 3, "RQL", ["cln", "dop"],
          kind="val", tag="AHU-41", qual="OQ", slip=2)
    p.add("vq", "Isolator VHP cycle requalification", 2, "RQL", ["cln"], kind="val", tag="ISO-410", qual="PQ")
    p.add("em", "Grade A/B environmental monitoring before media fill", 4, "RQL", ["crq", "vq"], kind="val",
          qual="PQ")
    p.add("mf", "Aseptic process simulation (media fill) - 3 runs", 3, "RQL", ["em", "acq"], cal=SD24, kind="valqa",
          tag="FM-410", qual="PQ")
    p.add("inc", "Media fill incubation (14 days) and read", 14, "RQL", ["mf"], cal=EL)
    p.add("rel", "QA release of suite B", 2, "RQL", ["inc"], cal=QA)
    p.add("fin", "Suite B released for commercial filling", 0, "CLO", ["rel"], ms="F")
    p.add("rpt", "Shutdown close-out report - suite B", 10, "CLO", ["fin"], cal=OFF)
    return p


def cap_front(p, capex, design_days):
    p.add("apr", f"Capex approval {capex}", 0, "ENG", cal=OFF, ms="S")
    p.add("urs", "User requirements document (URS) approved", 15, "ENG", ["apr"], cal=OFF)
    p.add("des", "Basic and detailed design", design_days, "ENG", ["urs"], cal=OFF)
    p.add("ra", "GMP risk assessment and validation master plan", 10, "ENG", ["des:SS10"], cal=QA)


def plan_wfi():
    p = Plan(C6, CAP_PHASES)
    cap_front(p, "CAPEX-24-031", 50)
    p.add("po", "WFI still vendor selection and purchase order", 20, "PRC", ["urs"], cal=OFF)
    p.add("fab", "WFI still WFI-STL-02 fabrication (vendor)", 120, "PRC", ["po", "des:SS20"], cal=EL,
          tag="WFI-STL-02", slip=45)
    p.add("fat", "Factory acceptance test of WFI-STL-02", 5, "PRC", ["fab"], cal=OFF, kind="val", tag="WFI-STL-02",
          qual="FAT")
    p.add("shp", "Ship still to site", 14, "PRC", ["fat"], cal=EL, tag="WFI-STL-02")
    p.add("pre", "Loop 2 pipework prefabrication (orbital welds)", 30, "CST", ["des"], kind="pipe", tag="WFI-L2")
    p.add("stl", "Structural steel platform in utilities block", 10, "CST", ["des"], kind="civ", ptw="HOT")
    p.add("lft", "Crane lift of WFI still into utilities block", 1, "CST", ["shp", "stl"], kind="lift60",
          tag="WFI-STL-02", ptw="LIFT")
    p.add("set", "Set, level and anchor WFI still", 3, "CST", ["lft"], kind="mech", tag="WFI-STL-02")
    p.add("pip", "Install loop 2 pipework and tie in to WFI storage tank T-120", 15, "CST", ["pre", "set:SS1"],
          kind="pipe_mewp", tag="WFI-L2", ptw="HOT", slip=6)
    p.add("tie", "Tie-in to clean steam and cooling water (shutdown window)", 2, "CST", ["pip:SS5"], cal=SD24,
          kind="pipe", tag="WFI-L2", ptw="LB", snet=SD_STOP)
    p.add("ie", "Instrumentation and electrical hook-up", 12, "CST", ["set"], kind="elecc", tag="WFI-STL-02",
          ptw="LOTO")
    p.add("wld", "Weld log review and borescope examination", 5, "CQV", ["pip"], cal=QA, kind="val", tag="WFI-L2")
    p.add("pas", "Passivation of loop 2", 3, "CQV", ["wld", "tie"], kind="pipe", tag="WFI-L2", slip=2)
    p.add("sat", "Site acceptance test WFI-STL-02", 4, "CQV", ["ie", "set"], cal=QA, kind="valqa",
          tag="WFI-STL-02", qual="SAT")
    p.add("iq", "Installation qualification WFI still and loop 2", 8, "CQV", ["sat", "pas"], cal=QA, kind="val",
          tag="WFI-STL-02", qual="IQ")
    p.add("oq", "Operational qualification WFI still and loop 2", 10, "CQV", ["iq"], cal=QA, kind="valqa",
          tag="WFI-STL-02", qual="OQ", slip=3)
    p.add("pq1", "WFI loop 2 PQ phase 1 (2 weeks intensive sampling)", 14, "CQV", ["oq"], cal=EL, kind="val",
          tag="WFI-L2", qual="PQ")
    p.add("pq2", "WFI loop 2 PQ phase 2 (4 weeks)", 28, "CQV", ["pq1"], cal=EL, kind="val", tag="WFI-L2", qual="PQ")
    p.add("fin", "Loop 2 released for GMP use", 0, "HND", ["pq2"], ms="F")
    p.add("hov", "Turnover package and handover to utilities", 10, "HND", ["fin"], cal=OFF)
    return p


def plan_lyo():
    p = Plan(C5, CAP_PHASES)
    cap_front(p, "CAPEX-24-018", 45)
    p.add("po", "Lyophiliser purchase order to Frosthaven", 15, "PRC", ["urs"], cal=OFF)
    p.add("bld", "LY-3 build at vendor", 240, "PRC", ["po", "des:SS15"], cal=EL, tag="LY-3", slip=80)
    p.add("fat", "Factory acceptance test LY-3 (Frosthaven, Leipzig)", 5, "PRC", ["bld"], cal=OFF, kind="val",
          tag="LY-3", qual="FAT", slip=3)
    p.add("shp", "Ship LY-3 to site (abnormal load)", 21, "PRC", ["fat"], cal=EL, tag="LY-3")
    p.add("sc", "Scaffold and roof opening over lyo hall", 5, "CST", ["des"], kind="scaf", ptw="WAH")
    p.add("rof", "Cut roof opening and temporary weather protection", 3, "CST", ["sc", "shp:FF-7"], kind="civ",
          ptw="HOT")
    p.add("lft", "250 t crane lift of LY-3 through roof", 1, "CST", ["rof", "shp"], kind="lift250", tag="LY-3",
          ptw="LIFT")
    p.add("rr", "Reinstate roof and strike scaffold", 5, "CST", ["lft"], kind="scaf", ptw="WAH")
    p.add("set", "Set LY-3 and connect loading system", 5, "CST", ["lft"], kind="vlyo", tag="LY-3")
    p.add("hk", "Utilities hook-up: clean steam, WFI, LN2, vacuum and glycol", 15, "CST", ["set"], kind="pipe",
          tag="LY-3", ptw="HOT", slip=5)
    p.add("ei", "Electrical hook-up and SCADA integration", 10, "CST", ["set"], kind="elecc", tag="LY-3",
          ptw="LOTO")
    p.add("sat", "Site acceptance test LY-3", 5, "CQV", ["hk", "ei"], cal=QA, kind="vlyo", tag="LY-3", qual="SAT")
    p.add("iq", "Installation qualification LY-3", 5, "CQV", ["sat"], cal=QA, kind="val", tag="LY-3", qual="IQ")
    p.add("oq", "Operational qualification LY-3 (shelf mapping, leak rate)", 10, "CQV", ["iq"], cal=QA,
          kind="valqa", tag="LY-3", qual="OQ")
    p.add("sip", "SIP and CIP cycle validation LY-3", 5, "CQV", ["oq"], cal=QA, kind="val", tag="LY-3", qual="PQ")
    p.add("pq", "Lyo cycle PQ - 3 consecutive batches", 15, "CQV", ["sip"], cal=QA, kind="valqa", tag="LY-3",
          qual="PQ")
    p.add("fin", "LY-3 released for GMP manufacture", 0, "HND", ["pq", "rr"], ms="F")
    p.add("hov", "Turnover package and spares list handover", 10, "HND", ["fin"], cal=OFF)
    return p


def plan_ahu():
    p = Plan(C5, CAP_PHASES)
    cap_front(p, "CAPEX-25-004", 30)
    p.add("po", "AHU-07/08 purchase order", 10, "PRC", ["des"], cal=OFF)
    p.add("mfg", "AHU-07/08 manufacture and delivery", 90, "PRC", ["po"], cal=EL, tag="AHU-07")
    p.add("bas", "Roof steel and plinths for new AHUs", 8, "CST", ["des"], kind="civ", ptw="HOT")
    p.add("l7", "Lift AHU-07 onto B4 roof", 1, "CST", ["mfg", "bas"], kind="lift60h", tag="AHU-07", ptw="LIFT")
    p.add("l8", "Lift AHU-08 onto B4 roof", 1, "CST", ["l7"], kind="lift60h", tag="AHU-08", ptw="LIFT")
    p.add("dct", "Ductwork modifications in plant room", 12, "CST", ["l7"], kind="hvac_mewp", tag="AHU-07",
          ptw="WAH", slip=4)
    p.add("el", "Power and BMS wiring to AHU-07/08", 8, "CST", ["l8"], kind="elecc", tag="AHU-08", ptw="LOTO")
    p.add("cut", "Cutover of Grade C supply from old to new AHUs (shutdown window)", 3, "CST", ["dct", "el"],
          cal=SD24, kind="hvac", tag="AHU-07", ptw="LOTO", snet=SD_STOP)
    p.add("bal", "Air balance and pressure cascade set-up", 4, "CQV", ["cut"], kind="hvac", tag="AHU-07")
    p.add("iq", "IQ of AHU-07/08 and BMS points", 4, "CQV", ["bal:SS0"], cal=QA, kind="val", tag="AHU-07",
          qual="IQ")
    p.add("oq", "HVAC OQ - airflows, pressure cascade, recovery", 5, "CQV", ["bal", "iq"], cal=QA, kind="valqa",
          tag="AHU-07", qual="OQ")
    p.add("pq", "HVAC PQ - 3 week environmental monitoring", 15, "CQV", ["oq"], cal=QA, kind="val", tag="AHU-07",
          qual="PQ", slip=3)
    p.add("dmo", "Decommission and remove old AHU-04", 4, "HND", ["cut"], kind="lift60h", tag="AHU-04", ptw="LIFT",
          new=True)
    p.add("fin", "New AHUs accepted into operation", 0, "HND", ["pq", "dmo"], ms="F")
    p.add("hov", "O&M manuals and handover", 8, "HND", ["fin"], cal=OFF)
    return p


def plan_etp():
    p = Plan(C6, CAP_PHASES)
    cap_front(p, "CAPEX-24-027", 40)
    p.add("lic", "EPA licence technical amendment submission", 60, "ENG", ["des"], cal=OFF, slip=40)
    p.add("tk", "GRP balancing tank T-901 manufacture", 70, "PRC", ["des"], cal=EL, tag="T-901")
    p.add("sk", "pH dosing skid DS-902 manufacture", 60, "PRC", ["des"], cal=EL, tag="DS-902")
    w = p.pkg("CIV", "CST", "Civils")
    p.add("clr", "Site clearance and diversion of yard drainage", 5, w, ["des"], kind="civ_exc", ptw="EXC")
    p.add("exc", "Excavate for balancing tank base", 6, w, ["clr"], kind="civ_exc", ptw="EXC", slip=5)
    p.add("slb", "Pour tank base slab and bund walls", 10, w, ["exc"], kind="civ")
    p.add("cur", "Slab curing", 7, w, ["slb"], cal=EL)
    w = p.pkg("MEC", "CST", "Mechanical and electrical")
    p.add("tki", "Lift and install balancing tank T-901", 2, w, ["cur", "tk"], kind="lift60", tag="T-901",
          ptw="LIFT")
    p.add("ski", "Install pH dosing skid DS-902", 3, w, ["cur", "sk"], kind="mech", tag="DS-902")
    p.add("pip", "Effluent pipework and pump installation", 12, w, ["tki"], kind="pipe", ptw="HOT", slip=4)
    p.add("ele", "MCC, cabling and instrumentation", 10, w, ["ski", "tki"], kind="elecc", ptw="LOTO")
    p.add("wet", "Wet commissioning with town water", 5, "CQV", ["pip", "ele"], kind="mech2")
    p.add("eff", "Commissioning with process effluent", 10, "CQV", ["wet", "lic"], kind="mech2")
    p.add("fin", "ETP upgrade in service", 0, "HND", ["eff"], ms="F")
    p.add("hov", "Handover to utilities and EPA notification", 5, "HND", ["fin"], cal=OFF)
    return p


def plan_qcm():
    p = Plan(C5, CAP_PHASES)
    cap_front(p, "CAPEX-24-009", 25)
    p.add("po", "Order incubators, biosafety cabinets and cleanroom panels", 10, "PRC", ["des"], cal=OFF)
    p.add("lt", "Lab equipment lead time", 42, "PRC", ["po"], cal=EL)
    p.add("dec", "Decant micro lab to temporary lab", 5, "CST", ["des"], kind="clean")
    p.add("str", "Strip-out of existing lab fit-out", 8, "CST", ["dec"], kind="civ", ptw="HOT")
    p.add("me", "Mechanical and electrical first fix", 15, "CST", ["str"], kind="elecc", ptw="LOTO")
    p.add("pan", "Cleanroom wall and ceiling panels", 10, "CST", ["me:SS5"], kind="hvac")
    p.add("hv", "HVAC terminal units and balancing", 6, "CST", ["pan"], kind="hvac")
    p.add("flr", "Vinyl flooring and coving", 4, "CST", ["pan"], kind="paint")
    p.add("eqi", "Install incubators and biosafety cabinets", 4, "CST", ["flr", "lt"], kind="mech")
    p.add("iq", "IQ of incubators and BSCs", 4, "CQV", ["eqi"], cal=QA, kind="val", tag="INC-501", qual="IQ")
    p.add("oq", "OQ and temperature mapping of incubators", 6, "CQV", ["iq"], cal=QA, kind="val", tag="INC-501",
          qual="OQ")
    p.add("rq", "Lab room qualification (particles, airflow)", 3, "CQV", ["hv", "flr"], cal=QA, kind="val",
          qual="OQ")
    p.add("rtn", "Return micro lab from temporary lab", 3, "HND", ["oq", "rq"], kind="clean")
    p.add("fin", "QC micro lab back in service", 0, "HND", ["rtn"], ms="F")
    p.add("hov", "Handover documentation", 5, "HND", ["fin"], cal=OFF)
    return p


PROJECTS = [
    # code, name, type, area, capex, sponsor, pm, site engineer, budget, eac factor, start, target (date or margin
    # days after the baseline finish), re-baselined, plan
    ("ASD-UTL", "2025 Annual Shutdown - Clean Utilities", "Shutdown", "UTL", None, "Declan Furlong", "Ciara Madden",
     "Eoin Galvin", 410000.0, 1.06, dt.date(2025, 3, 3), dt.date(2025, 9, 12), False, plan_utl),
    ("ASD-OSD", "2025 Annual Shutdown - Building 2 Oral Solid Dose", "Shutdown", "OSD", None, "Aoife Brennan",
     "Ciara Madden", "Sinead Coyle", 365000.0, 0.98, dt.date(2025, 3, 3), dt.date(2025, 9, 12), False, plan_osd),
    ("ASD-FIL", "2025 Annual Shutdown - Sterile Filling Suite B", "Shutdown", "FIL", None, "Marta Kowalczyk",
     "Ciara Madden", "Eoin Galvin", 720000.0, 1.09, dt.date(2025, 3, 3), dt.date(2025, 9, 30), False, plan_fil),
    ("CAP-WFI", "New WFI Still and Distribution Loop 2", "Capital", "UTL", "CAPEX-24-031", "Declan Furlong",
     "Fintan Ruane", "Eoin Galvin", 3850000.0, 1.12, dt.date(2024, 10, 7), 10, False, plan_wfi),
    ("CAP-LYO", "Lyophiliser LY-3 Installation", "Capital", "LYO", "CAPEX-24-018", "Marta Kowalczyk",
     "Orla Hennessy", "Sinead Coyle", 6400000.0, 1.15, dt.date(2024, 9, 2), 20, True, plan_lyo),
    ("CAP-AHU", "Building 4 Grade C AHU-07/08 Replacement", "Capital", "HVC", "CAPEX-25-004", "Declan Furlong",
     "Fintan Ruane", "Kevin Lally", 1250000.0, 1.03, dt.date(2025, 1, 13), 5, False, plan_ahu),
    ("CAP-ETP", "Effluent Treatment Plant Upgrade", "Capital", "ETP", "CAPEX-24-027", "Ronan Tierney",
     "Orla Hennessy", "Kevin Lally", 1900000.0, 1.08, dt.date(2025, 3, 3), 30, True, plan_etp),
    ("CAP-QCM", "QC Microbiology Laboratory Refurbishment", "Capital", "QCM", "CAPEX-24-009", "Grainne O'Shea",
     "Fintan Ruane", "Sinead Coyle", 980000.0, 0.97, dt.date(2024, 6, 3), 20, False, plan_qcm),
]
REBASE = {"CAP-LYO": (dt.date(2025, 4, 14), "BL1 Re-plan after LY-3 build delay"),
          "CAP-ETP": (dt.date(2025, 7, 14), "BL1 Re-plan after EPA licence review")}
ACT_PREFIX = {"ASD-UTL": "UTL", "ASD-OSD": "OSD", "ASD-FIL": "FIL", "CAP-WFI": "WFI", "CAP-LYO": "LYO",
              "CAP-AHU": "AHU", "CAP-ETP": "ETP", "CAP-QCM": "QCM"}

RISKS = [
    # project, activity key, title, category, prob 1-5, impact 1-5, cost EUR, schedule hours, owner, mitigation,
    # status, raised, reviewed
    ("ASD-UTL", "wfq", "WFI loop 1 TOC or micro excursion during requalification", "Quality", 2, 5, 60000.0, 72,
     "Imelda Roche", "Pre-sample user points before formal PQ sampling", "Open", "2025-05-12", "2025-09-15"),
    ("ASD-UTL", "csg", "Heat exchanger tube leak found on CSG-101 opening", "Technical", 3, 4, 45000.0, 48,
     "Paddy Keogh", "Spare tube bundle held on consignment", "Occurred", "2025-04-07", "2025-09-08"),
    ("ASD-UTL", "blr", "Insurer examiner availability for boiler B-01", "Third party", 3, 3, 5000.0, 48,
     "Ciara Madden", "Book examiner 8 weeks ahead, standby date agreed", "Occurred", "2025-04-07", "2025-09-01"),
    ("ASD-UTL", "spr", "Late delivery of valve diaphragms", "Supply chain", 2, 4, 8000.0, 36, "Ciara Madden",
     "Expedite with supplier, 20% overstock", "Closed", "2025-03-24", "2025-08-18"),
    ("ASD-OSD", "gs", "GR-201 shaft damage found at seal change", "Technical", 2, 4, 38000.0, 48, "Paddy Keogh",
     "Vendor on call; spare shaft quoted", "Occurred", "2025-04-28", "2025-09-08"),
    ("ASD-OSD", "tp", "Tablet press vendor engineer double-booked", "Third party", 2, 3, 6000.0, 24, "Ciara Madden",
     "Confirmed booking and penalty clause", "Closed", "2025-05-19", "2025-08-25"),
    ("ASD-OSD", "em", "EM action-level excursion after repaint", "Quality", 2, 3, 4000.0, 36, "Aoife Brennan",
     "Extra cleaning cycle built in", "Open", "2025-06-09", "2025-09-15"),
    ("ASD-FIL", "fm", "FM-410 pump block wear beyond limits", "Technical", 3, 4, 52000.0, 72, "Marta Kowalczyk",
     "Spare pump block ordered as insurance", "Occurred", "2025-04-14", "2025-09-15"),
    ("ASD-FIL", "mf", "Media fill failure (contaminated unit)", "Quality", 1, 5, 250000.0, 720, "Marta Kowalczyk",
     "Aseptic behaviour training, smoke studies before APS", "Open", "2025-03-31", "2025-09-15"),
    ("ASD-FIL", "crq", "Grade A particle counts fail at rest", "Quality", 2, 4, 15000.0, 48, "Imelda Roche",
     "Filter leak scan before requalification", "Open", "2025-06-02", "2025-09-15"),
    ("ASD-FIL", "hep", "HEPA filter delivery late from supplier", "Supply chain", 2, 4, 3000.0, 96,
     "Ciara Madden", "Filters delivered to stores 3 weeks early", "Closed", "2025-03-31", "2025-08-11"),
    ("CAP-WFI", "fab", "Still fabrication slot slips at vendor", "Supply chain", 4, 4, 120000.0, 500,
     "Fintan Ruane", "Monthly vendor visits, expediting", "Occurred", "2024-12-02", "2025-09-08"),
    ("CAP-WFI", "pip", "Orbital weld failures on borescope examination", "Quality", 3, 3, 40000.0, 100,
     "Gavin Moloney", "Weld coupons each shift, 100% borescope", "Occurred", "2025-03-10", "2025-09-15"),
    ("CAP-WFI", "tie", "Tie-in not completed inside shutdown window", "Schedule", 2, 5, 180000.0, 240,
     "Fintan Ruane", "Pre-fabricated tie-in spools, 24h working", "Closed", "2025-05-05", "2025-09-01"),
    ("CAP-WFI", "pq1", "PQ sample failures extend phase 1", "Quality", 2, 4, 30000.0, 336, "Imelda Roche",
     "Sanitise loop and resample plan agreed with QA", "Open", "2025-07-14", "2025-09-15"),
    ("CAP-LYO", "bld", "LY-3 build delay at Frosthaven", "Supply chain", 4, 5, 350000.0, 840, "Orla Hennessy",
     "Re-plan agreed; liquidated damages notified", "Occurred", "2024-11-18", "2025-09-08"),
    ("CAP-LYO", "fat", "FAT failure - shelf temperature uniformity", "Technical", 3, 4, 80000.0, 120,
     "Orla Hennessy", "Vendor corrective actions and FAT re-run", "Occurred", "2025-06-16", "2025-09-08"),
    ("CAP-LYO", "lft", "High winds on the 250 t crane lift day", "Weather", 3, 3, 25000.0, 24, "Sinead Coyle",
     "Two reserve lift days booked with crane hire", "Open", "2025-05-26", "2025-09-15"),
    ("CAP-LYO", "rof", "Roof opening exposes Grade C area to weather", "HSE", 2, 4, 20000.0, 30, "Sinead Coyle",
     "Temporary enclosure and pressure monitoring", "Open", "2025-05-26", "2025-09-15"),
    ("CAP-LYO", None, "Validation resource shortage in Q4", "Resource", 3, 3, 45000.0, 160, "Imelda Roche",
     "Second validation contractor framework", "Open", "2025-07-07", "2025-09-15"),
    ("CAP-AHU", "dct", "Asbestos found in old plant room duct lagging", "HSE", 3, 4, 35000.0, 80, "Kevin Lally",
     "Survey before strip-out; licensed removal contractor on call", "Occurred", "2025-05-12", "2025-09-08"),
    ("CAP-AHU", "pq", "Pressure cascade unstable with new AHUs", "Technical", 2, 4, 18000.0, 120, "Kevin Lally",
     "BMS tuning days in programme", "Open", "2025-06-23", "2025-09-15"),
    ("CAP-ETP", "lic", "EPA requires full licence review not amendment", "Regulatory", 3, 5, 90000.0, 1200,
     "Ronan Tierney", "Pre-submission meeting with EPA examiner", "Occurred", "2025-01-20", "2025-09-01"),
    ("CAP-ETP", "exc", "Contaminated ground in tank excavation", "Ground conditions", 3, 3, 60000.0, 100,
     "Kevin Lally", "Soil testing and licensed disposal route", "Occurred", "2025-03-03", "2025-07-28"),
    ("CAP-ETP", "eff", "Effluent pH swings exceed dosing capacity", "Technical", 2, 3, 22000.0, 80, "Ronan Tierney",
     "Trial with buffer tank level control", "Open", "2025-06-30", "2025-09-15"),
    ("CAP-QCM", "lt", "Biosafety cabinet delivery late", "Supply chain", 3, 2, 4000.0, 40, "Grainne O'Shea",
     "Temporary lab extended", "Closed", "2024-07-15", "2024-11-25"),
    ("CAP-QCM", "str", "Hidden services found in strip-out", "Technical", 2, 2, 9000.0, 24, "Kevin Lally",
     "Intrusive survey before strip-out", "Closed", "2024-07-15", "2024-10-21"),
]

CHANGES = [
    # project, title, type, originator, GMP impact, cost EUR, schedule hours, status, raised, decided
    ("ASD-UTL", "Add CSG-101 tube bundle replacement to shutdown scope", "Scope", "Paddy Keogh", "Y", 41000.0, 48,
     "APP", "2025-08-28", "2025-08-29"),
    ("ASD-UTL", "Defer MCC-1 breaker replacement to 2026", "Scope", "Shane Dooley", "N", -12000.0, 0, "APP",
     "2025-06-16", "2025-06-30"),
    ("ASD-UTL", "Extra user point sampling on WFI loop 1", "Quality", "Imelda Roche", "Y", 6500.0, 24, "SUB",
     "2025-09-15", None),
    ("ASD-OSD", "GR-201 shaft replacement", "Scope", "Paddy Keogh", "Y", 27500.0, 24, "APP", "2025-08-29",
     "2025-08-30"),
    ("ASD-OSD", "Repaint compression suite as well", "Scope", "Aoife Brennan", "N", 14000.0, 36, "REJ",
     "2025-07-07", "2025-07-21"),
    ("ASD-FIL", "FM-410 pump block replacement", "Scope", "Marta Kowalczyk", "Y", 48000.0, 72, "APP",
     "2025-08-30", "2025-09-01"),
    ("ASD-FIL", "Add fourth media fill run for new vial format", "Quality", "Imelda Roche", "Y", 35000.0, 24, "DRF",
     "2025-09-17", None),
    ("ASD-FIL", "Replace isolator glove port rings with new design", "Technical", "Paolo Ferri", "Y", 9800.0, 0,
     "APP", "2025-05-19", "2025-06-09"),
    ("CAP-WFI", "Extend loop 2 to new sampling point in B2", "Scope", "Aoife Brennan", "Y", 62000.0, 80, "APP",
     "2025-02-10", "2025-03-03"),
    ("CAP-WFI", "Acceleration - second welding crew", "Schedule", "Fintan Ruane", "N", 38000.0, -60, "SUB",
     "2025-09-08", None),
    ("CAP-WFI", "Vendor delay claim - still fabrication", "Commercial", "Fintan Ruane", "N", -45000.0, 0, "SUB",
     "2025-07-21", None),
    ("CAP-LYO", "Re-plan after build delay (BL1)", "Schedule", "Orla Hennessy", "N", 0.0, 560, "APP", "2025-03-31",
     "2025-04-14"),
    ("CAP-LYO", "FAT re-run costs", "Commercial", "Jurgen Hauser", "N", 28000.0, 120, "APP", "2025-06-23",
     "2025-07-07"),
    ("CAP-LYO", "Add automatic loading system interface", "Scope", "Marta Kowalczyk", "Y", 310000.0, 200, "REJ",
     "2025-02-03", "2025-03-03"),
    ("CAP-LYO", "Additional LN2 backup connection", "Technical", "Declan Furlong", "Y", 22000.0, 40, "SUB",
     "2025-09-01", None),
    ("CAP-AHU", "Asbestos removal in plant room", "HSE", "Kevin Lally", "N", 33000.0, 64, "APP", "2025-06-02",
     "2025-06-04"),
    ("CAP-AHU", "Decommission old AHU-04 within the project", "Scope", "Declan Furlong", "N", 19500.0, 40, "APP",
     "2025-07-14", "2025-07-28"),
    ("CAP-ETP", "Licence review - programme extension", "Regulatory", "Ronan Tierney", "N", 52000.0, 960, "APP",
     "2025-05-12", "2025-05-26"),
    ("CAP-ETP", "Contaminated soil disposal", "Commercial", "Liam Hehir", "N", 47000.0, 50, "APP", "2025-03-17",
     "2025-03-31"),
    ("CAP-ETP", "Add online TOC analyser to discharge", "Scope", "Ronan Tierney", "N", 26000.0, 30, "WDN",
     "2025-06-30", None),
    ("CAP-QCM", "Extra BSC in sterility testing room", "Scope", "Grainne O'Shea", "Y", 18500.0, 16, "APP",
     "2024-07-22", "2024-08-05"),
]

VAL_AUTHORS = ["Imelda Roche", "Colm Daly", "Agnieszka Wrona", "Ruth Kenny"]
QA_APPROVERS = ["Helen Mangan", "Dr. Padraig Quinlan"]
PTW_AUTHORITIES = {"UTL": "Declan Furlong", "OSD": "Aoife Brennan", "FIL": "Marta Kowalczyk", "LYO": "Marta Kowalczyk",
               "HVC": "Declan Furlong", "ETP": "Ronan Tierney", "QCM": "Grainne O'Shea"}
DELAYS = [("PTW", "Permit not signed off at shift start"), ("PRT", "Waiting on parts from stores"),
          ("EQP", "Equipment breakdown - {what}"), ("QA", "QA hold pending deviation assessment"),
          ("VND", "Vendor engineer late on site")]
LOG_EVENTS = {
    ("ASD-UTL", "csg"): ("TEC", 6.0, "Tube leak confirmed on CSG-101 exchanger; change request raised for bundle"),
    ("ASD-OSD", "gs"): ("TEC", 5.0, "Scoring found on GR-201 shaft at seal face; spare shaft ordered"),
    ("ASD-FIL", "fm"): ("TEC", 8.0, "FM-410 pump block wear beyond limits; replacement authorised"),
    ("CAP-WFI", "pip"): ("QA", 6.0, "Three welds rejected on borescope; cut out and re-welded"),
    ("CAP-AHU", "dct"): ("HSE", 10.0, "Possible asbestos lagging found; area sealed and work stopped"),
    ("CAP-ETP", "exc"): ("GRD", 7.0, "Hydrocarbon odour in excavation; soil samples taken"),
    ("CAP-LYO", "hk"): ("PRT", 4.0, "Wrong flange rating on LN2 line fittings"),
}


def parse_pred(s):
    key, _, rest = s.partition(":")
    if not rest:
        return key, "FS", 0
    return key, rest[:2], int(rest[2:] or 0)


def cpm(tasks, keys, durs, links, start, anchor_b=None, fin_key=None):
    """Forward and backward pass over working-day calendars; dates are boundaries (morning of the first
    working day, morning after the last). Returns starts, finishes, late starts, late finishes and free float
    in working days."""
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
        cal, d = CALS[tasks[k]["cal"]], durs[k]
        c, fft = start, None
        for p, t, lag in preds[k]:
            if t == "FS":
                c = max(c, fb[p] + dt.timedelta(days=lag))
            elif t == "SS":
                c = max(c, sb[p] + dt.timedelta(days=lag))
            else:
                x = fb[p] + dt.timedelta(days=lag)
                fft = x if fft is None else max(fft, x)
        if tasks[k]["snet"]:
            c = max(c, tasks[k]["snet"])
        if d > 0:
            s = cal.fwd(c)
            if fft is not None:
                s = cal.fwd(max(s, cal.start_for(fft, d)))
            sb[k], fb[k] = s, cal.finish_b(s, d)
        else:
            s = c if fft is None else max(c, fft)
            sb[k] = fb[k] = s
    anchor = anchor_b or max(fb.values())
    lsb, lfb = {}, {}
    for k in reversed(order):
        cal, d = CALS[tasks[k]["cal"]], durs[k]
        lim, ssl = anchor, None
        if not succs[k] and fin_key and k != fin_key:
            lim = max(anchor, anchor + (fb[k] - fb[fin_key]))
        for s, t, lag in succs[k]:
            if t == "FS":
                lim = min(lim, lsb[s] - dt.timedelta(days=lag))
            elif t == "SS":
                x = lsb[s] - dt.timedelta(days=lag)
                ssl = x if ssl is None else min(ssl, x)
            else:
                lim = min(lim, lfb[s] - dt.timedelta(days=lag))
        if d > 0:
            f = cal.back(lim - D1) + D1
            if ssl is not None:
                f = min(f, cal.finish_b(cal.back(ssl), d))
            lfb[k], lsb[k] = f, cal.start_for(f, d)
        else:
            f = lim if ssl is None else min(lim, ssl)
            lfb[k] = lsb[k] = f
    free = {}
    for k in order:
        cal = CALS[tasks[k]["cal"]]
        f = cal.wd(fb[k], lfb[k] if not succs[k] else anchor)
        for s, t, lag in succs[k]:
            lagd = dt.timedelta(days=lag)
            if t == "FS":
                f = min(f, cal.wd(fb[k], sb[s] - lagd))
            elif t == "SS":
                f = min(f, cal.wd(sb[k], sb[s] - lagd))
            else:
                f = min(f, cal.wd(fb[k], fb[s] - lagd))
        free[k] = f
    return sb, fb, lsb, lfb, free


def shown(task, sbound, fbound):
    if task["dur"] == 0 and task["ms"] == "F":
        d = fbound - D1
        return d, d
    if task["dur"] == 0:
        return sbound, sbound
    return sbound, fbound - D1


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    exc_id = 0
    for row in CALENDARS:
        cid, code, name, _, pattern, hrs, shifts, notes, _ = row
        con.execute("INSERT INTO CAL_HDR VALUES (?,?,?,?,?,?,?)", (cid, code, name, pattern, hrs, shifts, notes))
        cal = CALS[code]
        for d in sorted(cal.off):
            if CAL_FROM <= d <= CAL_TO and d.weekday() in cal.days:
                exc_id += 1
                con.execute("INSERT INTO CAL_EXC VALUES (?,?,?,?,?)", (exc_id, cid, d.isoformat()) + cal.off[d])
    area_ids = {}
    for i, a in enumerate(AREAS, 1):
        con.execute("INSERT INTO SITE_AREA VALUES (?,?,?,?,?,?)", (i,) + a)
        area_ids[a[0]] = i
    rsc_ids, rsc_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO RSC_MASTER VALUES (?,?,?,?,?,?,?,?,?)", (i,) + r)
        rsc_ids[r[0]], rsc_row[r[0]] = i, r
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    ids = dict(wbs=0, act=0, rel=0, bl=0, bla=0, asg=0, risk=0, cr=0, qv=0, ptw=0, log=0)
    dd_b = DATA_DATE + D1

    for p_idx, (code, name, ptype, area, capex, sponsor, pm, eng, budget, eac_f, start, target, rebased,
                planf) in enumerate(PROJECTS, 1):
        plan = planf()
        tasks = {t["key"]: t for t in plan.tasks}
        keys = [t["key"] for t in plan.tasks]
        pref = ACT_PREFIX[code]
        links = []
        for t in plan.tasks:
            for pr in t["preds"]:
                k, typ, lag = parse_pred(pr)
                assert k in tasks, (code, k)
                links.append((k, t["key"], typ, lag))
        fin_key = "fin"
        has_succ = {lk[0] for lk in links}
        for k in keys:
            if k not in has_succ and k not in (fin_key, "rpt", "hov"):
                links.append((k, fin_key, "FS", 0))
        base_keys = [k for k in keys if not tasks[k]["new"]]
        base_links = [lk for lk in links if lk[0] in base_keys and lk[1] in base_keys]
        for k in keys:
            if tasks[k]["new"]:
                base_links += [(p, s, "FS", 0) for p, k1, _, _ in links if k1 == k
                               for k2, s, _, _ in links if k2 == k]
        b0 = cpm(tasks, base_keys, {k: tasks[k]["dur"] for k in base_keys}, base_links, start)
        bls = [(1, "BL0 Approved project schedule", start + dt.timedelta(days=14),
                {k: tasks[k]["dur"] for k in base_keys})]
        if isinstance(target, int):
            tgt = b0[1][fin_key] - D1 + dt.timedelta(days=target)
        else:
            tgt = target
        if rebased:
            d1 = {k: tasks[k]["dur"] + (tasks[k]["slip"] * 3) // 4 for k in base_keys}
            b1 = cpm(tasks, base_keys, d1, base_links, start)
            tgt = b1[1][fin_key] - D1 + dt.timedelta(days=target)
            bls.append((2, REBASE[code][1], REBASE[code][0], d1))
        anchor_b = tgt + D1
        cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
        sb, fb, lsb, lfb, free = cpm(tasks, keys, cdurs, links, start, anchor_b, fin_key)
        bl_rows = []
        for no, bname, bdate, bd in bls:
            bl_rows.append((no, bname, bdate, cpm(tasks, base_keys, bd, base_links, start, anchor_b, fin_key), bd))
        active = bl_rows[-1]

        fin_shown = shown(tasks[fin_key], sb[fin_key], fb[fin_key])[1]
        all_done = fin_shown <= DATA_DATE
        slack = CALS[tasks[fin_key]["cal"]].wd(fb[fin_key], anchor_b)
        if all_done:
            pstat = "Complete"
        elif ptype == "Shutdown":
            pstat = "Execution" if SD_STOP <= DATA_DATE else "Preparation"
        else:
            first_site = min(sb[k] for k in keys if tasks[k]["kind"] and tasks[k]["cal"] not in (OFF, QA))
            pstat = "Construction" if first_site <= DATA_DATE else "Design"
            if any(tasks[k]["qual"] in ("IQ", "OQ", "SAT") and sb[k] <= DATA_DATE for k in keys):
                pstat = "CQV"
        rag = "G" if all_done or slack > 5 else ("A" if slack >= 0 else "R")
        con.execute("INSERT INTO PRJ_HEADER VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, code, name, ptype, area_ids[area], capex, sponsor, pm, eng, budget,
                     round(budget * eac_f, -3), iso(start), iso(tgt), iso(fin_shown),
                     iso(fin_shown) if all_done else None, iso(DATA_DATE), pstat, rag))
        # WBS
        wbs_ids = {}
        for key, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, name):
            ids["wbs"] += 1
            wbs_ids[key] = ids["wbs"]
            con.execute("INSERT INTO PRJ_WBS VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], p_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        act_ids, astat, shown_d = {}, {}, {}
        for n, k in enumerate(keys, 1):
            t = tasks[k]
            ids["act"] += 1
            act_ids[k] = ids["act"]
            cal = CALS[t["cal"]]
            hrs = cal.hrs
            d = cdurs[k]
            s_d, f_d = shown(t, sb[k], fb[k])
            shown_d[k] = (s_d, f_d)
            if f_d <= DATA_DATE and (d > 0 or s_d <= DATA_DATE):
                st, pc, rem = "TK_Complete", 100.0, 0
            elif s_d <= DATA_DATE:
                st = "TK_Active"
                rem = cal.wd(dd_b, fb[k])
                pc = float(max(5, min(95, round(100 * (d - rem) / d * rng.uniform(0.85, 1.0) / 5) * 5)))
            else:
                st, pc, rem = "TK_NotStart", 0.0, d
            astat[k] = st
            ls_d, lf_d = shown(t, lsb[k], lfb[k])
            done = st == "TK_Complete"
            tf = None if done else cal.wd(fb[k], lfb[k])
            ff = None if done else max(0, min(free[k], max(tf, 0)))
            if k in active[3][0]:
                bs, bf = shown(t, active[3][0][k], active[3][1][k])
            else:
                bs = bf = None
            atype = "TT_Task" if d > 0 else ("TT_Mile" if t["ms"] == "S" else "TT_FinMile")
            con.execute("INSERT INTO SCH_ACT VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], p_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]], f"{pref}{1000 + n * 10}",
                         t["name"], atype, t["tag"], d * hrs, rem * hrs, iso(bs), iso(bf), iso(s_d), iso(f_d),
                         None if done else iso(ls_d), None if done else iso(lf_d),
                         iso(s_d) if st != "TK_NotStart" else None, iso(f_d) if done else None,
                         None if tf is None else tf * hrs, None if ff is None else ff * hrs,
                         "Y" if tf is not None and tf <= 0 else "N", pc, st))
        for p, s, typ, lag in links:
            ids["rel"] += 1
            con.execute("INSERT INTO SCH_REL VALUES (?,?,?,?,?)",
                        (ids["rel"], act_ids[p], act_ids[s], f"PR_{typ}", lag * 24.0))
        for no, bname, bdate, (bsb, bfb, _, blfb, _), bd in bl_rows:
            ids["bl"] += 1
            con.execute("INSERT INTO BL_HDR VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], p_idx, no, bname, iso(bdate), sponsor, "Y" if no == active[0] else "N"))
            for k in base_keys:
                t = tasks[k]
                hrs = CALS[t["cal"]].hrs
                s_d, f_d = shown(t, bsb[k], bfb[k])
                ids["bla"] += 1
                con.execute("INSERT INTO BL_ACT VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), bd[k] * hrs,
                             CALS[t["cal"]].wd(bfb[k], blfb[k]) * hrs))
        # resource assignments: one row per resource per activity
        site_days = {}
        for k in keys:
            t = tasks[k]
            if not t["kind"]:
                continue
            cal = CALS[t["cal"]]
            d = sb[k]
            while d < fb[k]:
                if cal.work(d) and t["cal"] not in (OFF, EL):
                    site_days.setdefault(d, []).append(k)
                d += D1
            for rc in KINDS[t["kind"]]:
                r = rsc_row[rc]
                units = UNITS[rc]
                per_day = min(cal.hrs, 12.0) if r[2] != "EQP" else min(cal.hrs, 10.0)
                budg = round(cdurs[k] * per_day * units * (1.0 if not t["slip"] else
                                                            tasks[k]["dur"] / cdurs[k]), 1)
                if astat[k] == "TK_Complete":
                    act = round(budg * rng.uniform(0.85, 1.25), 1)
                    rem_h = 0.0
                elif astat[k] == "TK_Active":
                    frac = 1 - (cal.wd(dd_b, fb[k]) / cdurs[k])
                    act = round(budg * frac * rng.uniform(0.9, 1.2), 1)
                    rem_h = round(max(budg - act, budg * 0.1), 1)
                else:
                    act, rem_h = 0.0, budg
                ids["asg"] += 1
                con.execute("INSERT INTO RSC_ASSIGN VALUES (?,?,?,?,?,?,?,?,?)",
                            (ids["asg"], act_ids[k], rsc_ids[rc], units, budg, act, rem_h,
                             round(budg * r[7], 2), round(act * r[7], 2)))
        # risks and change requests
        n = 0
        for r in RISKS:
            if r[0] != code:
                continue
            n += 1
            ids["risk"] += 1
            con.execute("INSERT INTO RSK_REG VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["risk"], p_idx, act_ids[r[1]] if r[1] else None, f"RSK-{pref}-{n:03d}", r[2], r[3],
                         r[4], r[5], r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))
        n = 0
        for c in CHANGES:
            if c[0] != code:
                continue
            n += 1
            ids["cr"] += 1
            con.execute("INSERT INTO CHG_REQ VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["cr"], p_idx, f"CR-{pref}-{n:02d}", c[1], c[2], c[3], c[4], c[5], float(c[6]), c[7],
                         c[8], c[9]))
        # qualification and validation protocols
        n = 0
        for k in keys:
            t = tasks[k]
            if not t["qual"]:
                continue
            s_d, f_d = shown_d[k]
            st = astat[k]
            attempts = [(s_d, f_d, st)]
            if code == "CAP-LYO" and k == "fat":
                first_s = s_d - dt.timedelta(days=35)
                attempts = [(first_s, first_s + dt.timedelta(days=4), "FAILED")] + attempts
            for a_s, a_f, a_st in attempts:
                n += 1
                ids["qv"] += 1
                if a_st == "FAILED":
                    status, dev, odev, es, ee = "Failed", 6, 0, a_s, a_f
                elif a_st == "TK_Complete":
                    dev = rng.choice([0, 0, 1, 1, 2, 3])
                    closed = (DATA_DATE - a_f).days > 14
                    odev = 0 if closed else min(dev, rng.choice([0, 1]))
                    status, es, ee = ("Closed" if closed and not odev else "Executed"), a_s, a_f
                elif a_st == "TK_Active":
                    dev = rng.choice([0, 1])
                    status, odev, es, ee = "In Execution", dev, a_s, None
                else:
                    dev = odev = 0
                    status = "Approved" if (a_s - DATA_DATE).days <= 30 else "Draft"
                    es = ee = None
                tag = t["tag"]
                system = t["name"].split(" - ")[0] if not tag else f"{tag} {AREAS[area_ids[area] - 1][1]}"
                con.execute("INSERT INTO QV_PROTOCOL VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (ids["qv"], p_idx, act_ids[k], f"VP-{pref}-{t['qual']}-{n:03d}", t["qual"], system, tag,
                             iso(es), iso(ee), dev, odev, VAL_AUTHORS[(p_idx + n) % 4], QA_APPROVERS[n % 2],
                             status))
        # permits to work: one per activity that needs one, once it is near
        for k in keys:
            t = tasks[k]
            if not t["ptw"]:
                continue
            s_d, f_d = shown_d[k]
            if s_d > DATA_DATE + dt.timedelta(days=7):
                continue
            if astat[k] == "TK_Complete":
                pst = "CLSD"
            elif astat[k] == "TK_Active":
                pst = "LIVE" if (code, k) not in LOG_EVENTS else "SUSP"
            else:
                pst = "REQ"
            ids["ptw"] += 1
            holder = rsc_row[KINDS[t["kind"]][0]][4]
            pa = area if not (code == "CAP-AHU" and k in ("cut",)) else "FIL"
            con.execute("INSERT INTO PTW_PERMIT VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["ptw"], p_idx, act_ids[k], f"PTW-{s_d.year % 100}-{1000 + ids['ptw'] * 7}",
                         PTW_TYPES[t["ptw"]], area_ids[pa], PTW_AUTHORITIES[pa], holder, iso(s_d), iso(f_d),
                         "Y" if t["ptw"] in ("HOT", "CSE") else "N", pst))
        # daily log: a day shift entry per day with site work, and a night entry when round-the-clock work runs
        for d in sorted(site_days):
            if d > DATA_DATE:
                continue
            ks = site_days[d]
            shifts = ["D"] + (["N"] if any(tasks[k]["cal"] == SD24 for k in ks) else [])
            for sh in shifts:
                kk = [k for k in ks if sh == "D" or tasks[k]["cal"] == SD24]
                first = [k for k in kk if shown_d[k][0] == d]
                ev = next((LOG_EVENTS[(code, k)] for k in first if (code, k) in LOG_EVENTS), None) \
                    if sh == "D" else None
                head = sum(UNITS[r] for k in kk for r in KINDS[tasks[k]["kind"]] if rsc_row[r][2] != "EQP")
                head += rng.randint(1, 3)
                lost, cd = 0.0, None
                text = "; ".join(tasks[k]["name"] for k in kk[:3])
                if ev:
                    cd, lost, note = ev
                    text = f"{text}. {note}"
                elif rng.random() < 0.08:
                    cd, tmpl = rng.choice(DELAYS)
                    lost = rng.choice([0.5, 1.0, 1.5, 2.0, 3.0])
                    text = f"{text}. {tmpl.format(what=rng.choice(['MEWP', 'forklift', 'welding set', 'pump']))}"
                else:
                    text = f"{text}. Work progressed to plan"
                obs = rng.choice([0, 0, 0, 1, 1, 2])
                ids["log"] += 1
                con.execute("INSERT INTO DLY_LOG VALUES (?,?,?,?,?,?,?,?,?,?)",
                            (ids["log"], p_idx, iso(d), sh, head, lost, cd, obs, text, eng))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

TABLE_META = {
    "CAL_HDR": ("Work calendars activities are scheduled on (shift patterns)", {
        "CAL_ID": ("calendar id", "INTEGER"),
        "CAL_CODE": ("Calendar code, e.g. SD-7D24, ENG-5D8", "TEXT"),
        "CAL_NAME": ("Calendar name", "TEXT"),
        "WORK_PATTERN": ("Working days of a normal week, e.g. Mon-Fri, Mon-Sun", "TEXT"),
        "HRS_PER_DAY": ("Working hours in a working day; durations in hours are working days x this", "REAL"),
        "SHIFTS_PER_DAY": ("Number of shifts a day (2 on round-the-clock shutdown work)", "INTEGER"),
        "CAL_NOTES": ("free text", "TEXT"),
    }),
    "CAL_EXC": ("Calendar exceptions: non-working days of a calendar (public holidays, site Christmas closure, "
                "regulatory audit days, safety stand-down). Only days that would otherwise be working days "
                "are listed", {
        "EXC_ID": ("id", "INTEGER"),
        "CAL_ID": ("calendar (CAL_HDR.CAL_ID)", "INTEGER"),
        "EXC_DATE": ("Non-working date (YYYY-MM-DD)", "DATE"),
        "EXC_TYPE": ("Exception type code", "TEXT"),
        "EXC_REASON": ("Reason, e.g. Public holiday - St Patrick's Day", "TEXT"),
    }),
    "SITE_AREA": ("Plant areas and buildings of the Larkmoor site with their GMP grade and area owner", {
        "AREA_ID": ("area id", "INTEGER"),
        "AREA_CODE": ("Short area code, e.g. FIL, OSD, UTL", "TEXT"),
        "AREA_NAME": ("Area name", "TEXT"),
        "BLDG_NO": ("Building, e.g. B4", "TEXT"),
        "GMP_GRADE": ("Cleanroom / GMP classification of the area", "TEXT"),
        "AREA_OWNER": ("Area owner (authorises permits to work in the area)", "TEXT"),
    }),
    "PRJ_HEADER": ("Projects of the site engineering programme: annual shutdown work packages and capital "
                   "projects, with budget, EAC, target and forecast finish", {
        "PRJ_ID": ("project id", "INTEGER"),
        "PRJ_CODE": ("Project code, e.g. ASD-FIL, CAP-LYO", "TEXT"),
        "PRJ_NAME": ("Project name", "TEXT"),
        "PRJ_TYPE": ("Shutdown or Capital", "TEXT"),
        "AREA_ID": ("Main plant area (SITE_AREA.AREA_ID)", "INTEGER"),
        "CAPEX_NO": ("Capital expenditure approval number; null for shutdown work (opex)", "TEXT"),
        "SPONSOR": ("Sponsor", "TEXT"),
        "PM_NAME": ("Project manager", "TEXT"),
        "SITE_ENG": ("Site engineer; writes the daily log", "TEXT"),
        "BUDGET_EUR": ("Approved budget, EUR", "REAL"),
        "EAC_EUR": ("Estimate at completion, EUR", "REAL"),
        "PLAN_START": ("Project start", "DATE"),
        "TARGET_FINISH": ("Target finish (handback to production / release for GMP use); float is measured to "
                          "this date", "DATE"),
        "FCST_FINISH": ("Forecast finish from the current schedule", "DATE"),
        "ACT_FINISH": ("Actual finish; null until complete", "DATE"),
        "DATA_DATE": ("Data date of the schedule update", "DATE"),
        "PRJ_STATUS": ("Project phase", "TEXT"),
        "RAG": ("RAG status", "TEXT"),
    }),
    "PRJ_WBS": ("WBS of each project: level 1 the project, level 2 phases, level 3 systems / work packages", {
        "WBS_ID": ("wbs id", "INTEGER"),
        "PRJ_ID": ("project (PRJ_HEADER.PRJ_ID)", "INTEGER"),
        "PARENT_WBS_ID": ("Parent WBS element; null at level 1", "INTEGER"),
        "WBS_CODE": ("WBS code, e.g. ASD-FIL.2.1", "TEXT"),
        "WBS_NAME": ("WBS element name", "TEXT"),
        "WBS_LVL": ("Level 1-3", "INTEGER"),
    }),
    "SCH_ACT": ("Schedule activities and milestones at the data date: early (forecast), late, actual and "
                "current-baseline dates, durations and float in hours", {
        "ACT_ID": ("activity id", "INTEGER"),
        "PRJ_ID": ("project (PRJ_HEADER.PRJ_ID)", "INTEGER"),
        "WBS_ID": ("WBS element (PRJ_WBS.WBS_ID)", "INTEGER"),
        "CAL_ID": ("Calendar (CAL_HDR.CAL_ID)", "INTEGER"),
        "ACT_CODE": ("Activity code, e.g. FIL1090", "TEXT"),
        "ACT_NAME": ("Activity name", "TEXT"),
        "ACT_TYPE": ("Activity type code", "TEXT"),
        "EQUIP_TAG": ("Equipment / system tag worked on, e.g. FM-410, LY-3, WFI-L1; null if none", "TEXT"),
        "ORIG_DUR_HRS": ("Original duration, working hours", "REAL"),
        "REM_DUR_HRS": ("Remaining duration, working hours", "REAL"),
        "BL_START": ("Start in the current baseline; null for activities added since", "DATE"),
        "BL_FINISH": ("Finish in the current baseline", "DATE"),
        "EARLY_START": ("Early (forecast) start", "DATE"),
        "EARLY_FINISH": ("Early (forecast) finish", "DATE"),
        "LATE_START": ("Late start; null when complete", "DATE"),
        "LATE_FINISH": ("Late finish; null when complete", "DATE"),
        "ACT_START": ("Actual start", "DATE"),
        "ACT_FINISH": ("Actual finish", "DATE"),
        "TF_HRS": ("Total float, working hours; null when complete", "REAL"),
        "FF_HRS": ("Free float, working hours; null when complete", "REAL"),
        "CRIT_FLG": ("Critical flag", "TEXT"),
        "PCT_COMPL": ("Percent complete", "REAL"),
        "ACT_STATUS": ("Activity status code", "TEXT"),
    }),
    "SCH_REL": ("Activity relationships (logic) with type and lag", {
        "REL_ID": ("relationship id", "INTEGER"),
        "PRED_ACT_ID": ("Predecessor activity (SCH_ACT.ACT_ID)", "INTEGER"),
        "SUCC_ACT_ID": ("Successor activity (SCH_ACT.ACT_ID)", "INTEGER"),
        "REL_TYPE": ("Relationship type code", "TEXT"),
        "LAG_HRS": ("Lag in elapsed hours (negative = lead)", "REAL"),
    }),
    "BL_HDR": ("Baselines of each project; CURRENT_FLG marks the one reported against", {
        "BL_ID": ("baseline id", "INTEGER"),
        "PRJ_ID": ("project (PRJ_HEADER.PRJ_ID)", "INTEGER"),
        "BL_NO": ("Baseline number within the project (1 = original)", "INTEGER"),
        "BL_NAME": ("Baseline name", "TEXT"),
        "BL_DATE": ("Date the baseline was set", "DATE"),
        "APPROVED_BY": ("Approver (the sponsor)", "TEXT"),
        "CURRENT_FLG": ("Y for the current baseline", "TEXT"),
    }),
    "BL_ACT": ("Activity dates, durations and float as stored in each baseline", {
        "BL_ACT_ID": ("id", "INTEGER"),
        "BL_ID": ("baseline (BL_HDR.BL_ID)", "INTEGER"),
        "ACT_ID": ("activity (SCH_ACT.ACT_ID)", "INTEGER"),
        "BL_START": ("Baseline start", "DATE"),
        "BL_FINISH": ("Baseline finish", "DATE"),
        "BL_DUR_HRS": ("Baseline duration, working hours", "REAL"),
        "BL_TF_HRS": ("Baseline total float, working hours", "REAL"),
    }),
    "RSC_MASTER": ("Resources: in-house crews, contractors, vendor engineers and equipment (cranes, MEWPs, "
                   "excavator) with hourly rates", {
        "RSC_ID": ("resource id", "INTEGER"),
        "RSC_CODE": ("Resource code, e.g. CRN-250, PIPE-C", "TEXT"),
        "RSC_NAME": ("Resource name", "TEXT"),
        "RSC_TYPE": ("Resource type code", "TEXT"),
        "TRADE": ("Trade / discipline", "TEXT"),
        "COMPANY": ("Employer or hire company", "TEXT"),
        "SUPERVISOR": ("Supervisor / chargehand; null for self-drive plant", "TEXT"),
        "MAX_UNITS": ("Maximum people or units available", "INTEGER"),
        "RATE_EUR_HR": ("Rate per person-hour or per equipment hour, EUR", "REAL"),
    }),
    "RSC_ASSIGN": ("Resource assignments to activities with budgeted, actual and remaining hours and cost", {
        "ASSIGN_ID": ("assignment id", "INTEGER"),
        "ACT_ID": ("activity (SCH_ACT.ACT_ID)", "INTEGER"),
        "RSC_ID": ("resource (RSC_MASTER.RSC_ID)", "INTEGER"),
        "UNITS": ("People or units assigned", "INTEGER"),
        "BUDG_HRS": ("Budgeted hours (person-hours or equipment hours)", "REAL"),
        "ACT_HRS": ("Actual hours to the data date", "REAL"),
        "REM_HRS": ("Remaining hours", "REAL"),
        "BUDG_COST_EUR": ("Budgeted cost, EUR", "REAL"),
        "ACT_COST_EUR": ("Actual cost to the data date, EUR", "REAL"),
    }),
    "RSK_REG": ("Risk register of the projects", {
        "RISK_ID": ("risk id", "INTEGER"),
        "PRJ_ID": ("project (PRJ_HEADER.PRJ_ID)", "INTEGER"),
        "ACT_ID": ("Activity the risk affects (SCH_ACT.ACT_ID); may be null", "INTEGER"),
        "RISK_NO": ("Risk number, e.g. RSK-LYO-002", "TEXT"),
        "RISK_TITLE": ("Risk title", "TEXT"),
        "RISK_CAT": ("Category", "TEXT"),
        "PROB": ("Probability score 1-5", "INTEGER"),
        "IMPACT": ("Impact score 1-5", "INTEGER"),
        "RISK_SCORE": ("PROB x IMPACT (1-25)", "INTEGER"),
        "COST_IMPACT_EUR": ("Cost if it happens, EUR", "REAL"),
        "SCHED_IMPACT_HRS": ("Schedule impact if it happens, hours", "REAL"),
        "RISK_OWNER": ("Risk owner", "TEXT"),
        "MITIGATION": ("Mitigation / response", "TEXT"),
        "RISK_STATUS": ("Status", "TEXT"),
        "RAISED_DATE": ("Date raised", "DATE"),
        "REVIEW_DATE": ("Date last reviewed", "DATE"),
    }),
    "CHG_REQ": ("Change requests (scope, schedule, commercial, quality changes) with cost and schedule impact", {
        "CR_ID": ("change request id", "INTEGER"),
        "PRJ_ID": ("project (PRJ_HEADER.PRJ_ID)", "INTEGER"),
        "CR_NO": ("Change request number, e.g. CR-FIL-02", "TEXT"),
        "CR_TITLE": ("What the change is", "TEXT"),
        "CR_TYPE": ("Type of change", "TEXT"),
        "ORIGINATOR": ("Who raised it", "TEXT"),
        "GMP_IMPACT": ("Y when the change needs QA change control", "TEXT"),
        "COST_EUR": ("Cost impact EUR; negative for a saving", "REAL"),
        "SCHED_IMPACT_HRS": ("Schedule impact, hours (negative = acceleration)", "REAL"),
        "CR_STATUS": ("Status code", "TEXT"),
        "RAISED_DATE": ("Raised", "DATE"),
        "DECISION_DATE": ("Decision date (approved / rejected); null otherwise", "DATE"),
    }),
    "QV_PROTOCOL": ("Commissioning, qualification and validation protocols (FAT, SAT, IQ, OQ, PQ) with execution "
                    "dates and deviations", {
        "QV_ID": ("protocol id", "INTEGER"),
        "PRJ_ID": ("project (PRJ_HEADER.PRJ_ID)", "INTEGER"),
        "ACT_ID": ("Schedule activity executing the protocol (SCH_ACT.ACT_ID)", "INTEGER"),
        "PROTOCOL_NO": ("Protocol number, e.g. VP-LYO-OQ-004", "TEXT"),
        "QUAL_STAGE": ("Qualification stage", "TEXT"),
        "SYSTEM_NAME": ("System or equipment qualified", "TEXT"),
        "EQUIP_TAG": ("Equipment tag; null for room / area qualification", "TEXT"),
        "EXEC_START": ("Execution start; null before execution", "DATE"),
        "EXEC_END": ("Execution end; null until executed", "DATE"),
        "DEV_CNT": ("Deviations raised during execution", "INTEGER"),
        "OPEN_DEV_CNT": ("Deviations still open", "INTEGER"),
        "AUTHOR": ("Validation engineer who wrote the protocol", "TEXT"),
        "QA_APPROVER": ("QA approver", "TEXT"),
        "QV_STATUS": ("Protocol status", "TEXT"),
    }),
    "PTW_PERMIT": ("Permits to work granted for activities: hot work, confined space, work at height, LOTO, line "
                   "break, lifting, excavation", {
        "PTW_ID": ("permit id", "INTEGER"),
        "PRJ_ID": ("project (PRJ_HEADER.PRJ_ID)", "INTEGER"),
        "ACT_ID": ("Activity the permit covers (SCH_ACT.ACT_ID)", "INTEGER"),
        "PTW_NO": ("Permit number", "TEXT"),
        "PTW_TYPE": ("Type of permit", "TEXT"),
        "AREA_ID": ("Area the work is in (SITE_AREA.AREA_ID)", "INTEGER"),
        "AUTHORISED_BY": ("Authorising person (area owner)", "TEXT"),
        "HOLDER_COMPANY": ("Company holding the permit", "TEXT"),
        "VALID_FROM": ("Valid from", "DATE"),
        "VALID_TO": ("Valid to", "DATE"),
        "GAS_TEST_REQ": ("Y when a gas test is required before work", "TEXT"),
        "PTW_STATUS": ("Permit status code", "TEXT"),
    }),
    "DLY_LOG": ("Daily log: one entry per project per shift with site work, with headcount, hours lost and "
                "progress notes", {
        "LOG_ID": ("log id", "INTEGER"),
        "PRJ_ID": ("project (PRJ_HEADER.PRJ_ID)", "INTEGER"),
        "LOG_DATE": ("Date of the shift", "DATE"),
        "SHIFT": ("D (day) or N (night)", "TEXT"),
        "HEADCOUNT": ("People on site for the project", "INTEGER"),
        "HRS_LOST": ("Working hours lost", "REAL"),
        "DELAY_CODE": ("Delay cause code; null when no time lost", "TEXT"),
        "SAFETY_OBS": ("Safety observations recorded", "INTEGER"),
        "LOG_TEXT": ("Progress notes: work done and any problems", "TEXT"),
        "AUTHOR": ("Site engineer who wrote the entry", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("CAL_EXC", "CAL_HDR", "CAL_EXC.CAL_ID = CAL_HDR.CAL_ID", "Exceptions of a calendar"),
    ("PRJ_HEADER", "SITE_AREA", "PRJ_HEADER.AREA_ID = SITE_AREA.AREA_ID", "Main area of a project"),
    ("PRJ_WBS", "PRJ_HEADER", "PRJ_WBS.PRJ_ID = PRJ_HEADER.PRJ_ID", "WBS of a project"),
    ("PRJ_WBS", "PRJ_WBS", "PRJ_WBS.PARENT_WBS_ID = PRJ_WBS.WBS_ID", "Parent WBS element"),
    ("SCH_ACT", "PRJ_HEADER", "SCH_ACT.PRJ_ID = PRJ_HEADER.PRJ_ID", "Activities of a project"),
    ("SCH_ACT", "PRJ_WBS", "SCH_ACT.WBS_ID = PRJ_WBS.WBS_ID", "WBS element of an activity"),
    ("SCH_ACT", "CAL_HDR", "SCH_ACT.CAL_ID = CAL_HDR.CAL_ID", "Calendar of an activity"),
    ("SCH_REL", "SCH_ACT", "SCH_REL.PRED_ACT_ID = SCH_ACT.ACT_ID", "Predecessor of a relationship"),
    ("SCH_REL", "SCH_ACT", "SCH_REL.SUCC_ACT_ID = SCH_ACT.ACT_ID", "Successor of a relationship"),
    ("BL_HDR", "PRJ_HEADER", "BL_HDR.PRJ_ID = PRJ_HEADER.PRJ_ID", "Baselines of a project"),
    ("BL_ACT", "BL_HDR", "BL_ACT.BL_ID = BL_HDR.BL_ID", "Rows of a baseline"),
    ("BL_ACT", "SCH_ACT", "BL_ACT.ACT_ID = SCH_ACT.ACT_ID", "Activity a baseline row stores"),
    ("RSC_ASSIGN", "RSC_MASTER", "RSC_ASSIGN.RSC_ID = RSC_MASTER.RSC_ID", "Resource of an assignment"),
    ("RSC_ASSIGN", "SCH_ACT", "RSC_ASSIGN.ACT_ID = SCH_ACT.ACT_ID", "Activity a resource is assigned to"),
    ("RSK_REG", "PRJ_HEADER", "RSK_REG.PRJ_ID = PRJ_HEADER.PRJ_ID", "Risks of a project"),
    ("RSK_REG", "SCH_ACT", "RSK_REG.ACT_ID = SCH_ACT.ACT_ID", "Activity a risk affects"),
    ("CHG_REQ", "PRJ_HEADER", "CHG_REQ.PRJ_ID = PRJ_HEADER.PRJ_ID", "Change requests of a project"),
    ("QV_PROTOCOL", "PRJ_HEADER", "QV_PROTOCOL.PRJ_ID = PRJ_HEADER.PRJ_ID", "Protocols of a project"),
    ("QV_PROTOCOL", "SCH_ACT", "QV_PROTOCOL.ACT_ID = SCH_ACT.ACT_ID", "Activity executing a protocol"),
    ("PTW_PERMIT", "PRJ_HEADER", "PTW_PERMIT.PRJ_ID = PRJ_HEADER.PRJ_ID", "Permits of a project"),
    ("PTW_PERMIT", "SCH_ACT", "PTW_PERMIT.ACT_ID = SCH_ACT.ACT_ID", "Activity a permit covers"),
    ("PTW_PERMIT", "SITE_AREA", "PTW_PERMIT.AREA_ID = SITE_AREA.AREA_ID", "Area a permit is granted for"),
    ("DLY_LOG", "PRJ_HEADER", "DLY_LOG.PRJ_ID = PRJ_HEADER.PRJ_ID", "Daily log entries of a project"),
]

BUSINESS_RULES = {
    ("SCH_ACT", "ACT_STATUS"): ["Allowed Values: TK_NotStart (not started), TK_Active (in progress), TK_Complete "
                                "(complete)"],
    ("SCH_ACT", "ACT_TYPE"): ["Allowed Values: TT_Task (task), TT_Mile (start milestone), TT_FinMile (finish "
                              "milestone); milestones have ORIG_DUR_HRS = 0"],
    ("SCH_ACT", "CRIT_FLG"): ["Allowed Values: Y, N", "Critical: CRIT_FLG = 'Y' when TF_HRS <= 0; complete "
                              "activities are N"],
    ("SCH_ACT", "TF_HRS"): ["Negative float: forecast finish after the project's target finish",
                           "Hours: divide by CAL_HDR.HRS_PER_DAY of the activity's calendar for working days"],
    ("SCH_ACT", "BL_FINISH"): ["Slipped: EARLY_FINISH > BL_FINISH"],
    ("SCH_REL", "REL_TYPE"): ["Allowed Values: PR_FS (finish to start), PR_SS (start to start), PR_FF (finish to "
                              "finish)"],
    ("BL_HDR", "CURRENT_FLG"): ["Allowed Values: Y, N; one current baseline per project"],
    ("CAL_EXC", "EXC_TYPE"): ["Allowed Values: PH (public holiday), XMS (site Christmas closure), AUD (regulatory "
                              "examination), STD (safety stand-down)"],
    ("PRJ_HEADER", "PRJ_TYPE"): ["Allowed Values: Shutdown, Capital"],
    ("PRJ_HEADER", "PRJ_STATUS"): ["Allowed Values: Design, Construction, CQV (commissioning and qualification), "
                                   "Preparation, Execution, Complete"],
    ("PRJ_HEADER", "RAG"): ["Allowed Values: R (forecast after target finish), A (5 or fewer working days float), "
                            "G"],
    ("RSC_MASTER", "RSC_TYPE"): ["Allowed Values: LAB (in-house labour), CON (contractor / vendor), EQP "
                                 "(equipment)"],
    ("RSK_REG", "RISK_STATUS"): ["Allowed Values: Open, Closed, Occurred (the risk happened)"],
    ("RSK_REG", "RISK_SCORE"): ["High risk: RISK_SCORE >= 12"],
    ("RSK_REG", "RISK_CAT"): ["Allowed Values: Quality, Technical, Third party, Supply chain, Schedule, Weather, "
                              "HSE, Resource, Regulatory, Ground conditions"],
    ("CHG_REQ", "CR_STATUS"): ["Allowed Values: DRF (draft), SUB (submitted), APP (approved), REJ (rejected), WDN "
                               "(withdrawn)"],
    ("CHG_REQ", "GMP_IMPACT"): ["Allowed Values: Y, N"],
    ("CHG_REQ", "CR_TYPE"): ["Allowed Values: Scope, Schedule, Commercial, Quality, Technical, HSE, Regulatory"],
    ("QV_PROTOCOL", "QUAL_STAGE"): ["Allowed Values: FAT, SAT, IQ, OQ, PQ"],
    ("QV_PROTOCOL", "QV_STATUS"): ["Allowed Values: Draft, Approved (pre-execution), In Execution, Executed, "
                                   "Closed (report approved), Failed"],
    ("PTW_PERMIT", "PTW_STATUS"): ["Allowed Values: REQ (requested), LIVE (authorised, work in progress), SUSP "
                                   "(suspended), CLSD (closed)"],
    ("PTW_PERMIT", "PTW_TYPE"): ["Allowed Values: Hot Work, Confined Space Entry, Work at Height, Electrical "
                                 "Isolation (LOTO), Line Break, Lifting Operation, Excavation"],
    ("DLY_LOG", "DELAY_CODE"): ["Allowed Values: PTW (permit delay), PRT (parts), EQP (equipment breakdown), QA "
                                "(QA hold), VND (vendor), TEC (technical finding), HSE (safety stop), GRD (ground "
                                "conditions), null"],
    ("DLY_LOG", "SHIFT"): ["Allowed Values: D, N"],
}

CONCEPTS = {
    ("SCH_ACT", "TF_HRS"): ["total_float", "critical_path"],
    ("SCH_ACT", "FF_HRS"): ["free_float"],
    ("SCH_ACT", "CRIT_FLG"): ["critical_path"],
    ("SCH_ACT", "PCT_COMPL"): ["percent_complete"],
    ("SCH_ACT", "BL_FINISH"): ["baseline_variance"],
    ("SCH_REL", "LAG_HRS"): ["lag"],
    ("BL_ACT", "BL_FINISH"): ["baseline_variance"],
    ("PRJ_HEADER", "EAC_EUR"): ["cost_variance"],
    ("RSK_REG", "RISK_SCORE"): ["risk_exposure"],
    ("QV_PROTOCOL", "QUAL_STAGE"): ["qualification"],
    ("DLY_LOG", "HRS_LOST"): ["lost_time"],
    ("CAL_EXC", "EXC_DATE"): ["working_calendar"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working hours an activity can slip before the project misses its target finish",
    "free_float": "Working hours an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving the finish",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a relationship in elapsed hours, e.g. a hold time or incubation",
    "baseline_variance": "Early (forecast) dates against the current baseline; later = slipped",
    "cost_variance": "EAC against approved budget",
    "risk_exposure": "Probability x impact score of a risk",
    "qualification": "Equipment qualification sequence FAT, SAT, IQ, OQ, PQ before GMP use",
    "lost_time": "Working hours lost on a shift, from the daily log",
    "working_calendar": "Which days an activity can be worked on: weekly pattern minus exceptions",
}

QUERY_EXAMPLES = [
    ("SELECT PRJ_CODE, PRJ_NAME, TARGET_FINISH, FCST_FINISH, RAG FROM PRJ_HEADER ORDER BY PLAN_START;",
     "Projects with target and forecast finish", "simple"),
    ("SELECT a.ACT_CODE, a.ACT_NAME, a.EARLY_START, a.TF_HRS FROM SCH_ACT a JOIN PRJ_HEADER p "
     "ON p.PRJ_ID = a.PRJ_ID WHERE p.PRJ_CODE = 'ASD-FIL' AND a.CRIT_FLG = 'Y' ORDER BY a.EARLY_START;",
     "Critical activities of a project", "medium"),
    ("SELECT r.RSC_NAME, SUM(s.ACT_HRS) AS hrs, SUM(s.ACT_COST_EUR) AS cost FROM RSC_ASSIGN s JOIN RSC_MASTER r "
     "ON r.RSC_ID = s.RSC_ID GROUP BY r.RSC_NAME ORDER BY cost DESC;",
     "Actual hours and cost by resource", "medium"),
    ("SELECT a.ACT_CODE, a.ACT_NAME, b.BL_FINISH, a.EARLY_FINISH FROM SCH_ACT a JOIN BL_ACT b ON b.ACT_ID = a.ACT_ID "
     "JOIN BL_HDR h ON h.BL_ID = b.BL_ID WHERE h.CURRENT_FLG = 'Y' AND a.EARLY_FINISH > b.BL_FINISH;",
     "Activities forecast to finish later than the current baseline", "complex"),
    ("SELECT q.PROTOCOL_NO, q.SYSTEM_NAME, q.QV_STATUS FROM QV_PROTOCOL q JOIN PRJ_HEADER p ON p.PRJ_ID = q.PRJ_ID "
     "WHERE p.PRJ_CODE = 'CAP-WFI' AND q.QUAL_STAGE = 'OQ';",
     "OQ protocols of a project", "medium"),
    ("SELECT e.EXC_DATE, e.EXC_REASON FROM CAL_EXC e JOIN CAL_HDR c ON c.CAL_ID = e.CAL_ID "
     "WHERE c.CAL_CODE = 'QA-5D8' AND e.EXC_DATE >= '2025-09-19' ORDER BY e.EXC_DATE;",
     "Coming non-working days of the validation calendar", "medium"),
    ("SELECT PTW_NO, PTW_TYPE, VALID_FROM, VALID_TO FROM PTW_PERMIT WHERE PTW_STATUS IN ('LIVE', 'SUSP');",
     "Permits to work still open", "simple"),
    ("SELECT p.PRJ_CODE, SUM(l.HRS_LOST) AS lost FROM DLY_LOG l JOIN PRJ_HEADER p ON p.PRJ_ID = l.PRJ_ID "
     "GROUP BY p.PRJ_CODE ORDER BY lost DESC;",
     "Hours lost by project from the daily log", "medium"),
]

KEYWORDS = {
    "float": ["SCH_ACT.TF_HRS", "SCH_ACT.FF_HRS", "total_float"],
    "TF": ["SCH_ACT.TF_HRS"],
    "critical": ["SCH_ACT.CRIT_FLG", "critical_path"],
    "predecessor": ["SCH_REL.PRED_ACT_ID", "SCH_REL"],
    "successor": ["SCH_REL.SUCC_ACT_ID", "SCH_REL"],
    "baseline": ["BL_HDR", "BL_ACT", "baseline_variance"],
    "crew": ["RSC_MASTER", "RSC_ASSIGN"],
    "crane": ["RSC_MASTER.RSC_TYPE"],
    "CR": ["CHG_REQ"],
    "change": ["CHG_REQ"],
    "PTW": ["PTW_PERMIT"],
    "permit": ["PTW_PERMIT"],
    "IQ": ["QV_PROTOCOL.QUAL_STAGE", "qualification"],
    "OQ": ["QV_PROTOCOL.QUAL_STAGE", "qualification"],
    "PQ": ["QV_PROTOCOL.QUAL_STAGE", "qualification"],
    "protocol": ["QV_PROTOCOL"],
    "log": ["DLY_LOG"],
    "EAC": ["PRJ_HEADER.EAC_EUR", "cost_variance"],
    "WBS": ["PRJ_WBS"],
    "shutdown": ["PRJ_HEADER.PRJ_TYPE"],
}

TERMINOLOGY = {
    "WFI": "Water for injection",
    "PW": "Purified water",
    "CSG": "Clean steam generator",
    "IQ": "Installation qualification",
    "OQ": "Operational qualification",
    "PQ": "Performance qualification",
    "FAT": "Factory acceptance test at the vendor",
    "SAT": "Site acceptance test",
    "CQV": "Commissioning, qualification and validation",
    "APS": "Aseptic process simulation (media fill)",
    "EM": "Environmental monitoring",
    "HEPA": "High efficiency particulate air filter",
    "DOP": "HEPA filter integrity test",
    "VHP": "Vaporised hydrogen peroxide decontamination",
    "LOTO": "Lock out tag out (electrical / mechanical isolation)",
    "PTW": "Permit to work",
    "MEWP": "Mobile elevating work platform",
    "AHU": "Air handling unit",
    "OSD": "Oral solid dose",
    "ETP": "Effluent treatment plant",
    "EAC": "Estimate at completion",
    "GMP": "Good manufacturing practice",
    "data date": "Date up to which progress is recorded",
    "target finish": "Date the area must go back to production / be released; float is measured to it",
    "FS": "Finish to start relationship",
    "SS": "Start to start relationship",
    "FF": "Finish to finish relationship, or free float",
    "TF": "Total float",
}

RELATED_TERMS = {
    "SCH_ACT": "activity, task, job, schedule line",
    "PRJ_HEADER": "project, work package, shutdown package, capex project",
    "PRJ_WBS": "WBS, system, work package, phase",
    "SITE_AREA": "area, building, suite, plant area",
    "RSC_MASTER": "resource, crew, contractor, vendor, crane, equipment",
    "RSC_ASSIGN": "assignment, resource loading, hours, labour cost",
    "RSK_REG": "risk, risk register",
    "CHG_REQ": "change request, CR, change, variation",
    "QV_PROTOCOL": "validation, qualification, protocol, IQ, OQ, PQ, FAT, SAT",
    "PTW_PERMIT": "permit to work, PTW, hot work permit, isolation",
    "DLY_LOG": "daily log, shift report, progress notes, site diary",
    "SCH_REL": "relationship, dependency, logic, link",
    "CAL_HDR": "calendar, shift pattern",
    "CAL_EXC": "holiday, non-working day, calendar exception",
    "BL_HDR": "baseline",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_ID",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout13"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="SCH_ACT")


if __name__ == "__main__":
    sys.exit(main())
