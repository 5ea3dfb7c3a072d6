#!/usr/bin/env python3
"""Build the twenty-fourth schedule database (a pharmaceutical sterile-injectables facility programme,
UPPER-CASE module-prefixed tables with double underscores) and its metadata.

Norvale Therapeutics Ireland builds a sterile-injectables manufacturing facility at its Carrowmore site in
County Kildare. Six projects: the main process building PB1 with its grade A-D cleanrooms, the warehouse
and dispensary, the clean utilities block (purified water, WFI, clean steam, HVAC central plant, compressed
air and nitrogen), the QC laboratory fit-out, the aseptic fill-finish line and lyophiliser (isolator, vial
washer, depyrogenation tunnel, filler, lyophiliser, capper, autoclaves, VHP generator) and the
commissioning and qualification (C&Q) programme with its IQ/OQ/PQ protocols, cleanroom classification,
environmental monitoring PQ and aseptic process simulations. Each project has its WBS, activities on office,
site, weekend tie-in, two-shift C&Q, continuous and elapsed calendars, logic with lags, baselines,
resources with assignments, risks, protocols, deviations with CAPA, change controls, GMP area handovers and
equipment deliveries with FAT and SAT. PB1 was re-baselined after the grade B pressure cascade was
redesigned; the fill-finish line after the lyophiliser failed its factory acceptance test.

Named the way the site's planning database names things: UPPER-CASE tables with a module prefix and a
double underscore (PLN__TASK, CQ__PROTOCOL, RES__ASSIGNMENT, EQ__EQUIPMENT) and lower-case abbreviated
columns (tsk_no, es_dt, ef_dt, tot_flt, crit_yn, pct_cmpl, stat_cd). Activity status, activity type,
project phase and RAG, protocol execution status, deviation severity and state, change control class and
state, area handover stage, cleanroom grade, FAT/SAT results, resource type and risk state are codes
explained only in the metadata.

Durations, remaining durations and float are in WORKING DAYS of the activity's calendar; lags are calendar
days. All projects are scheduled together by one forward and one backward pass, each activity against its
own project's target completion date. Data date 2025-10-31.

Outputs go to bench/out/holdout24/ (or --out DIR); --check also runs every gold statement of
questions.json (or --questions FILE) and every statement of history.json. The command line is
bench/schedule_build.py's. Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 242424
DATA_DATE = dt.date(2025, 10, 31)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import (WorkDays, activity_at, anchored_baselines, assignment_hours,  # noqa: E402
                            baseline_activities, check_with_history, default_out, forward_backward, gather_plans,
                            describe_tables, main as build_main, metadata_document, day_span as _span,
                            insert_calendars, iso, logic_links, parse_pred, shown_dates, stage_at, wbs_rows)
DB_NAME = "holdout24_schedule.db"
META_NAME = "holdout24_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE PLN__PROJECT (
    proj_id INTEGER PRIMARY KEY, proj_cd TEXT NOT NULL UNIQUE, proj_name TEXT NOT NULL, bldg_cd TEXT NOT NULL,
    proj_mgr TEXT NOT NULL, main_ctr TEXT NOT NULL, budget_eur REAL NOT NULL, eac_eur REAL NOT NULL,
    start_dt TEXT NOT NULL, tgt_fin_dt TEXT NOT NULL, fcst_fin_dt TEXT NOT NULL, act_fin_dt TEXT,
    data_dt TEXT NOT NULL, phase_cd TEXT NOT NULL, rag_cd TEXT NOT NULL
);
CREATE TABLE PLN__WBS (
    wbs_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES PLN__PROJECT(proj_id),
    parent_wbs_id INTEGER REFERENCES PLN__WBS(wbs_id), wbs_cd TEXT NOT NULL, wbs_name TEXT NOT NULL,
    wbs_lvl INTEGER NOT NULL
);
CREATE TABLE PLN__CALENDAR (
    cal_id INTEGER PRIMARY KEY, cal_cd TEXT NOT NULL UNIQUE, cal_name TEXT NOT NULL, work_wk TEXT NOT NULL,
    hrs_per_day REAL NOT NULL, cal_note TEXT
);
CREATE TABLE PLN__CAL_EXCEPTION (
    exc_id INTEGER PRIMARY KEY, cal_id INTEGER NOT NULL REFERENCES PLN__CALENDAR(cal_id), exc_dt TEXT NOT NULL,
    exc_type TEXT NOT NULL, exc_reason TEXT NOT NULL
);
CREATE TABLE PLN__TASK (
    tsk_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES PLN__PROJECT(proj_id),
    wbs_id INTEGER NOT NULL REFERENCES PLN__WBS(wbs_id), cal_id INTEGER NOT NULL REFERENCES PLN__CALENDAR(cal_id),
    tsk_no TEXT NOT NULL UNIQUE, tsk_desc TEXT NOT NULL, tsk_type TEXT NOT NULL, disc_cd TEXT, loc_desc TEXT,
    orig_dur REAL NOT NULL, rem_dur REAL NOT NULL, bl_st_dt TEXT, bl_fin_dt TEXT, es_dt TEXT NOT NULL,
    ef_dt TEXT NOT NULL, ls_dt TEXT, lf_dt TEXT, as_dt TEXT, af_dt TEXT, tot_flt REAL, free_flt REAL,
    crit_yn TEXT NOT NULL, pct_cmpl REAL NOT NULL, stat_cd TEXT NOT NULL
);
CREATE TABLE PLN__TASK_LINK (
    lnk_id INTEGER PRIMARY KEY, pred_tsk_id INTEGER NOT NULL REFERENCES PLN__TASK(tsk_id),
    succ_tsk_id INTEGER NOT NULL REFERENCES PLN__TASK(tsk_id), lnk_type TEXT NOT NULL, lag_d REAL NOT NULL
);
CREATE TABLE PLN__BASELINE (
    bl_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES PLN__PROJECT(proj_id), bl_cd TEXT NOT NULL,
    bl_name TEXT NOT NULL, appr_dt TEXT NOT NULL, appr_by TEXT NOT NULL, curr_yn TEXT NOT NULL
);
CREATE TABLE PLN__BL_TASK (
    bl_tsk_id INTEGER PRIMARY KEY, bl_id INTEGER NOT NULL REFERENCES PLN__BASELINE(bl_id),
    tsk_id INTEGER NOT NULL REFERENCES PLN__TASK(tsk_id), bl_st_dt TEXT NOT NULL, bl_fin_dt TEXT NOT NULL,
    bl_dur REAL NOT NULL, bl_tot_flt REAL
);
CREATE TABLE RES__RESOURCE (
    res_id INTEGER PRIMARY KEY, res_cd TEXT NOT NULL UNIQUE, res_name TEXT NOT NULL, res_type TEXT NOT NULL,
    trade TEXT NOT NULL, company TEXT NOT NULL, hc INTEGER NOT NULL, rate_eur_hr REAL NOT NULL, supv TEXT NOT NULL
);
CREATE TABLE RES__ASSIGNMENT (
    asg_id INTEGER PRIMARY KEY, tsk_id INTEGER NOT NULL REFERENCES PLN__TASK(tsk_id),
    res_id INTEGER NOT NULL REFERENCES RES__RESOURCE(res_id), pln_hrs REAL NOT NULL, act_hrs REAL NOT NULL,
    rem_hrs REAL NOT NULL, pln_cost_eur REAL NOT NULL, act_cost_eur REAL NOT NULL, rem_cost_eur REAL NOT NULL
);
CREATE TABLE RSK__RISK (
    rsk_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES PLN__PROJECT(proj_id),
    tsk_id INTEGER REFERENCES PLN__TASK(tsk_id), rsk_no TEXT NOT NULL UNIQUE, rsk_desc TEXT NOT NULL,
    rsk_cat TEXT NOT NULL, prob INTEGER NOT NULL, imp INTEGER NOT NULL, score INTEGER NOT NULL,
    cost_exp_eur REAL NOT NULL, sched_exp_d REAL NOT NULL, owner TEXT NOT NULL, mitig TEXT NOT NULL,
    rsk_stat TEXT NOT NULL, raised_dt TEXT NOT NULL, next_rvw_dt TEXT NOT NULL
);
CREATE TABLE CQ__AREA_HANDOVER (
    area_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES PLN__PROJECT(proj_id),
    tsk_id INTEGER NOT NULL REFERENCES PLN__TASK(tsk_id), area_cd TEXT NOT NULL UNIQUE, area_name TEXT NOT NULL,
    zone_cd TEXT NOT NULL, grade_cd TEXT NOT NULL, area_m2 REAL NOT NULL, pln_ho_dt TEXT NOT NULL,
    fcst_ho_dt TEXT NOT NULL, act_ho_dt TEXT, ho_stg_cd TEXT NOT NULL, punch_open INTEGER NOT NULL,
    punch_a_open INTEGER NOT NULL
);
CREATE TABLE EQ__EQUIPMENT (
    equip_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES PLN__PROJECT(proj_id),
    tsk_id INTEGER NOT NULL REFERENCES PLN__TASK(tsk_id), area_id INTEGER REFERENCES CQ__AREA_HANDOVER(area_id),
    equip_tag TEXT NOT NULL UNIQUE, equip_desc TEXT NOT NULL, vendor TEXT NOT NULL, equip_cls TEXT NOT NULL,
    po_val_eur REAL NOT NULL, fat_pln_dt TEXT, fat_act_dt TEXT, fat_res_cd TEXT, fat_cnt INTEGER NOT NULL,
    dlv_due_dt TEXT NOT NULL, dlv_act_dt TEXT, sat_pln_dt TEXT, sat_act_dt TEXT, sat_res_cd TEXT
);
CREATE TABLE CQ__PROTOCOL (
    prot_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES PLN__PROJECT(proj_id),
    tsk_id INTEGER NOT NULL REFERENCES PLN__TASK(tsk_id), equip_id INTEGER REFERENCES EQ__EQUIPMENT(equip_id),
    prot_no TEXT NOT NULL UNIQUE, prot_title TEXT NOT NULL, prot_type TEXT NOT NULL, sys_cd TEXT NOT NULL,
    rev_no INTEGER NOT NULL, author TEXT NOT NULL, approver TEXT, appr_dt TEXT, exec_st_dt TEXT, exec_fin_dt TEXT,
    exec_stat_cd TEXT NOT NULL, test_cnt INTEGER NOT NULL, fail_cnt INTEGER NOT NULL
);
CREATE TABLE CQ__DEVIATION (
    dev_id INTEGER PRIMARY KEY, prot_id INTEGER NOT NULL REFERENCES CQ__PROTOCOL(prot_id), dev_no TEXT NOT NULL UNIQUE,
    dev_title TEXT NOT NULL, sev_cd TEXT NOT NULL, root_cause_cd TEXT NOT NULL, raised_dt TEXT NOT NULL,
    raised_by TEXT NOT NULL, capa_no TEXT, capa_due_dt TEXT, dev_stat_cd TEXT NOT NULL, closed_dt TEXT,
    sched_imp_d REAL NOT NULL
);
CREATE TABLE CQ__CHANGE_CTRL (
    cc_id INTEGER PRIMARY KEY, proj_id INTEGER NOT NULL REFERENCES PLN__PROJECT(proj_id), cc_no TEXT NOT NULL UNIQUE,
    cc_title TEXT NOT NULL, cc_cls TEXT NOT NULL, gmp_imp_yn TEXT NOT NULL, raised_by TEXT NOT NULL,
    raised_dt TEXT NOT NULL, cost_imp_eur REAL NOT NULL, sched_imp_d REAL NOT NULL, cc_stat_cd TEXT NOT NULL,
    appr_dt TEXT
);
"""

# ---------------------------------------------------------------------------------------------- calendars

BANK_HOLIDAYS = {
    "2024-01-01": "New Year's Day", "2024-02-05": "St Brigid's Day", "2024-03-18": "St Patrick's Day (observed)",
    "2024-04-01": "Easter Monday", "2024-05-06": "May bank holiday", "2024-06-03": "June bank holiday",
    "2024-08-05": "August bank holiday", "2024-10-28": "October bank holiday", "2024-12-25": "Christmas Day",
    "2024-12-26": "St Stephen's Day",
    "2025-01-01": "New Year's Day", "2025-02-03": "St Brigid's Day", "2025-03-17": "St Patrick's Day",
    "2025-04-21": "Easter Monday", "2025-05-05": "May bank holiday", "2025-06-02": "June bank holiday",
    "2025-08-04": "August bank holiday", "2025-10-27": "October bank holiday", "2025-12-25": "Christmas Day",
    "2025-12-26": "St Stephen's Day",
    "2026-01-01": "New Year's Day", "2026-02-02": "St Brigid's Day", "2026-03-17": "St Patrick's Day",
    "2026-04-06": "Easter Monday", "2026-05-04": "May bank holiday", "2026-06-01": "June bank holiday",
    "2026-08-03": "August bank holiday", "2026-10-26": "October bank holiday", "2026-12-25": "Christmas Day",
    "2026-12-28": "St Stephen's Day (observed)",
    "2027-01-01": "New Year's Day", "2027-02-01": "St Brigid's Day", "2027-03-17": "St Patrick's Day",
    "2027-03-29": "Easter Monday", "2027-05-03": "May bank holiday",
}
CAL_FROM, CAL_TO = dt.date(2024, 1, 1), dt.date(2027, 6, 30)
XMAS = (_span("2023-12-22", "2024-01-02") + _span("2024-12-20", "2025-01-03") + _span("2025-12-19", "2026-01-02")
        + _span("2026-12-21", "2027-01-01"))
BUILDERS_HOLIDAY = _span("2024-08-05", "2024-08-09") + _span("2025-08-04", "2025-08-08") + _span("2026-08-03", "2026-08-07")
# weekends when the existing Plant 1 runs a production campaign and its utilities must not be touched
CAMPAIGNS = (_span("2025-03-01", "2025-03-30") + _span("2025-11-01", "2025-11-30") + _span("2026-03-07", "2026-04-05"))
INSPECTION = {"2025-09-13": "HPRA inspection of Plant 1 - no tie-ins", "2025-09-14": "HPRA inspection of Plant 1 - no tie-ins",
              "2026-01-17": "Customer audit of Plant 1 - no tie-ins", "2026-01-18": "Customer audit of Plant 1 - no tie-ins"}

CALENDARS = [
    # id, code, name, work days (0 = Mon), week, hours a day, notes, kind
    (1, "OFF-5D", "Office Mon-Fri 08:30-17:00", {0, 1, 2, 3, 4}, "Mon-Fri", 7.5,
     "Design, procurement, protocol writing and document review; bank holidays and the Christmas closure", "office"),
    (2, "SITE-5D", "Site Mon-Fri 07:00-17:00", {0, 1, 2, 3, 4}, "Mon-Fri", 10.0,
     "Construction and installation; bank holidays, the Christmas shutdown and the builders' holiday week", "site"),
    (3, "SITE-6D", "Site Mon-Sat 07:00-17:00", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 10.0,
     "Frame, envelope, flooring and external works with Saturday working; bank holidays, Christmas shutdown and "
     "builders' holiday", "site"),
    (4, "TIE-WKND", "Weekend tie-ins to Plant 1 Sat-Sun 06:00-18:00", {5, 6}, "Sat-Sun", 12.0,
     "Connections to the live Plant 1 utilities at weekends only; none during Plant 1 production campaigns, "
     "regulatory inspections or audits, or the Christmas shutdown", "weekend"),
    (5, "CQ-2SH", "C&Q two shifts Mon-Fri 06:00-22:00", {0, 1, 2, 3, 4}, "Mon-Fri", 16.0,
     "Commissioning and qualification execution on two shifts; bank holidays and the Christmas shutdown, but "
     "worked through the builders' holiday", "cq"),
    (6, "CONT-24", "Continuous 24/7", set(range(7)), "Mon-Sun", 24.0,
     "PQ runs, environmental monitoring PQ, media fills and temperature mapping; no exceptions", "round"),
    (7, "ELAPSED", "Calendar days (vendor lead times)", set(range(7)), "Mon-Sun", 24.0,
     "Vendor design, manufacture and shipping lead times", "round"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.off = {}
        if kind == "round":
            return
        if kind != "weekend":
            for iso_d, name in BANK_HOLIDAYS.items():
                self.off[dt.date.fromisoformat(iso_d)] = ("BH", name)
        for d in XMAS:
            self.off.setdefault(d, ("XMAS", "Christmas and New Year shutdown"))
        if kind == "site":
            for d in BUILDERS_HOLIDAY:
                self.off.setdefault(d, ("BLDH", "Builders' holiday week"))
        if kind == "weekend":
            for d in CAMPAIGNS:
                self.off.setdefault(d, ("CAMP", "Plant 1 production campaign - utilities frozen"))
            for iso_d, why in INSPECTION.items():
                self.off.setdefault(dt.date.fromisoformat(iso_d), ("INSP", why))


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, SITE, SIX, TIE, CQ2, CONT, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

COMPANY = "Norvale Therapeutics Ireland Ltd"
DIRECTOR = "Fergal Dunne"          # programme director
PLANNER = "Roisin Hegarty"
QA_HEAD = "Dr Conall Byrne"        # head of quality, approves protocols
VAL_LEAD = "Dr Ewa Kowalska"       # validation lead
CQV_TEAM = ["Mark Devlin", "Sinead O'Rourke", "Tomas Novak", "Grainne Lynch", "Arjun Pillai"]

PROJECTS = [
    # key, code, name, building, manager, main contractor, start, margin (working days), budget EUR m, cost
    # factor, re-baseline (date, name)
    ("PB", "CRM-100", "Process Building PB1 - Sterile Cleanroom Suites", "PB1", "Aoife Brennan",
     "Tullyvale Construction", dt.date(2024, 3, 4), 0, 148.0, 1.08,
     (dt.date(2025, 2, 10), "BL1 Re-plan after grade B pressure cascade redesign")),
    ("WH", "CRM-200", "Warehouse and Dispensary WH1", "WH1", "Declan Moriarty", "Slaney Build Ltd",
     dt.date(2024, 1, 8), 15, 21.5, 0.97, None),
    ("UT", "CRM-300", "Clean Utilities Block (PW, WFI, Clean Steam, HVAC Plant)", "UB1", "Niamh Gallagher",
     "Corrib M&E Contractors", dt.date(2024, 7, 1), 25, 38.0, 1.04, None),
    ("QC", "CRM-400", "QC Laboratory Fit-Out", "QCL", "Siobhan Keane", "Labcraft Interiors",
     dt.date(2025, 4, 7), 20, 12.4, 1.01, None),
    ("FL", "CRM-500", "Aseptic Fill-Finish Line and Lyophiliser", "PB1", "Matthias Vogel",
     "Equipment vendors (Norvale direct orders)", dt.date(2024, 5, 6), 0, 64.0, 1.11,
     (dt.date(2025, 8, 18), "BL1 Re-plan after lyophiliser FAT failure")),
    ("CQ", "CRM-600", "Commissioning and Qualification Programme", "SITE", VAL_LEAD,
     "Norvale C&Q team with Validex Consulting", dt.date(2025, 1, 6), 30, 18.5, 1.06, None),
]
PROJ = {p[0]: p for p in PROJECTS}

RESOURCES = [
    # code, name, type, trade, company, headcount, rate EUR/hour, supervisor
    ("DES-ENG", "Design engineers (process, architectural, HVAC)", "CON", "Design", "Harlan Process Engineering", 8,
     118.0, "Orla Fitzsimons"),
    ("CIV-CREW", "Groundworks and civils crew", "CRW", "Civils", "Tullyvale Construction", 10, 58.0, "Brendan Kiely"),
    ("PILE-RIG", "Piling rig and operators", "EQP", "Piling", "Brosna Piling", 3, 305.0, "Brendan Kiely"),
    ("STL-ERECT", "Steel and precast erectors", "CRW", "Structural", "Midland Steel Erection", 8, 62.0,
     "Brendan Kiely"),
    ("CRANE-TC1", "Tower crane TC-1", "EQP", "Lifting", "Tullyvale Construction", 1, 145.0, "Brendan Kiely"),
    ("CLAD-CREW", "Cladding and roofing crew", "CRW", "Envelope", "Shannonside Cladding", 6, 60.0, "Colm Treacy"),
    ("HVAC-FIT", "HVAC ductwork fitters", "CRW", "HVAC", "Corrib M&E Contractors", 12, 64.0, "Colm Treacy"),
    ("ELEC", "Electricians", "CRW", "Electrical", "Corrib M&E Contractors", 10, 62.0, "Colm Treacy"),
    ("PANEL-INST", "Cleanroom panel and ceiling installers", "CRW", "Cleanrooms", "Aseptica Cleanroom Systems", 8,
     68.0, "Ines Carvalho"),
    ("FLOOR-CREW", "Resin and vinyl flooring crew", "CRW", "Flooring", "Polyfloor Ireland", 4, 55.0, "Ines Carvalho"),
    ("PIPE-WELD", "Orbital welders (hygienic pipework)", "CRW", "Process piping", "Lismore Process Pipework", 6,
     78.0, "Kevin Mulcahy"),
    ("CLEAN-CREW", "Cleanroom cleaning team", "CRW", "Cleaning", "Sterilux Services", 6, 42.0, "Ines Carvalho"),
    ("UTIL-FIT", "Utilities mechanical fitters", "CRW", "Mechanical", "Corrib M&E Contractors", 8, 64.0,
     "Kevin Mulcahy"),
    ("LAB-FIT", "Laboratory fit-out installers", "CRW", "Lab fit-out", "Labcraft Interiors", 6, 57.0, "Paula Duggan"),
    ("VND-ISO", "Isolator and VHP vendor engineers", "VND", "Isolators", "Steriflow Containment GmbH", 2, 148.0,
     "Matthias Vogel"),
    ("VND-LYO", "Lyophiliser vendor engineers", "VND", "Freeze drying", "Cryotek Pharma Systems", 2, 155.0,
     "Matthias Vogel"),
    ("VND-FILL", "Filling line vendor engineers", "VND", "Filling and capping", "Vialmatic Packaging Srl", 3, 140.0,
     "Matthias Vogel"),
    ("VND-STER", "Steriliser and washer vendor engineers", "VND", "Sterilisers", "Thermaclave Systems", 2, 126.0,
     "Matthias Vogel"),
    ("VND-WATER", "Water and steam systems vendor engineers", "VND", "Pure water", "Purion Water Technologies", 2,
     132.0, "Kevin Mulcahy"),
    ("CQV-ENG", "C&Q engineers", "CON", "Validation", "Validex Consulting", 6, 105.0, VAL_LEAD),
    ("QA-VAL", "QA validation reviewers", "INT", "Quality assurance", COMPANY, 3, 88.0, QA_HEAD),
    ("QC-MICRO", "QC microbiologists", "INT", "Microbiology", COMPANY, 4, 72.0, "Dr Lena Hartmann"),
    ("AUT-ENG", "Automation and CSV engineers", "CON", "Automation", "Brightlane Automation", 3, 112.0,
     "Sinead O'Rourke"),
    ("OPS-ASEPTIC", "Aseptic production operators", "INT", "Operations", COMPANY, 8, 48.0, "Gavin Rowe"),
]
KIND_RSRC = {
    "DES": ["DES-ENG"], "CIV": ["CIV-CREW"], "PIL": ["PILE-RIG", "CIV-CREW"], "STL": ["STL-ERECT", "CRANE-TC1"],
    "ENV": ["CLAD-CREW"], "HVC": ["HVAC-FIT"], "ELE": ["ELEC"], "PNL": ["PANEL-INST"], "FLR": ["FLOOR-CREW"],
    "PIP": ["PIPE-WELD"], "CLN": ["CLEAN-CREW"], "TIE": ["UTIL-FIT", "PIPE-WELD"], "UTL": ["UTIL-FIT"],
    "UCM": ["VND-WATER", "UTIL-FIT"], "LAB": ["LAB-FIT"], "BMS": ["AUT-ENG", "ELEC"], "TAB": ["HVAC-FIT", "CQV-ENG"],
    "VISO": ["VND-ISO"], "VLYO": ["VND-LYO"], "VFIL": ["VND-FILL"], "VSTR": ["VND-STER"],
    "VAL": ["CQV-ENG"], "DOC": ["CQV-ENG", "QA-VAL"], "PQ": ["CQV-ENG", "QC-MICRO"], "EM": ["QC-MICRO"],
    "APS": ["OPS-ASEPTIC", "QC-MICRO", "QA-VAL"], "CSV": ["AUT-ENG"], "QA": ["QA-VAL"],
}
DISC = {"DES": "ENG", "CIV": "CIV", "PIL": "CIV", "STL": "STR", "ENV": "ARC", "HVC": "MEC", "ELE": "ELE",
        "PNL": "ARC", "FLR": "ARC", "PIP": "PRC", "CLN": "ARC", "TIE": "MEC", "UTL": "MEC", "UCM": "MEC",
        "LAB": "ARC", "BMS": "AUT", "TAB": "MEC", "VISO": "PRC", "VLYO": "PRC", "VFIL": "PRC", "VSTR": "PRC",
        "VAL": "CQV", "DOC": "CQV", "PQ": "CQV", "EM": "QA", "APS": "QA", "CSV": "AUT", "QA": "QA",
        "PRC": "PRC", "QCL": "QA"}

# slips (working days added to the duration) and the activities added with the re-plans
SLIPS = {"PB.ahp": 25, "PB.pnp": 15, "PB.env": 10, "PB.pan1": 8, "PB.duc1": 6, "PB.rdz": 0,
         "WH.rck": 8, "WH.cld": 4,
         "UT.manWFI": 30, "UT.insWFI": 5, "UT.pipPW": 6, "UT.comCS": 3,
         "QC.stc": 20, "QC.ptnMIC": 5,
         "FL.manLYO": 20, "FL.manISO": 10, "FL.insFIL": 4,
         "CQ.oqxPW": 4, "CQ.iqxWFI": 3}
AFTER_REPLAN = {"PB.duc1": 5, "PB.tab": 6, "PB.flr1": 4, "PB.pan5": 7, "PB.pan6": 6, "FL.satISO": 6, "FL.insLYO": 5, "FL.int": 4,
                "CQ.oqxCS": 3}

PB_ZONES = [
    # index, zone code, name, grade, process piping
    (1, "Z1", "Grade A/B aseptic filling suite", "B", True),
    (2, "Z2", "Grade C compounding and solution prep", "C", True),
    (3, "Z3", "Grade C component prep and autoclave area", "C", True),
    (4, "Z4", "Grade D washroom and buffer prep", "D", True),
    (5, "Z5", "Grade D corridors, airlocks and gowning", "D", False),
    (6, "Z6", "CNC visual inspection and packaging hall", "CNC", False),
]
UT_SYSTEMS = [
    # code, name, manufacture days (elapsed), vendor kind
    ("PW", "Purified water generation (RO/EDI) and loop", 220, "UCM"),
    ("WFI", "WFI multi-effect still and hot loop", 300, "UCM"),
    ("CS", "Clean steam generator and distribution", 230, "UCM"),
    ("HV", "HVAC central plant (chillers, boilers, AHU heating and cooling)", 200, "UTL"),
    ("CA", "Compressed air and nitrogen", 180, "UTL"),
    ("EMS", "BMS and EMS head-end", 160, "BMS"),
]
FL_EQUIP = [
    # code, name, manufacture days (elapsed), vendor kind, PB1 zone it is installed in
    ("ISO", "Grade A filling isolator", 300, "VISO", 1),
    ("VWM", "Vial washing machine", 250, "VSTR", 4),
    ("DHT", "Depyrogenation tunnel", 270, "VSTR", 4),
    ("FIL", "Vial filling and stoppering machine", 300, "VFIL", 1),
    ("LYO", "Lyophiliser with automatic loading", 320, "VLYO", 1),
    ("CAP", "Vial capping machine", 240, "VFIL", 1),
    ("AC1", "Autoclave 1 (parts and components)", 260, "VSTR", 3),
    ("AC2", "Autoclave 2 (waste decontamination)", 250, "VSTR", 3),
    ("VHP", "VHP decontamination generator", 220, "VISO", 3),
]
QC_ROOMS = [
    # code, name
    ("MIC", "Microbiology laboratory (EM and sterility testing)"),
    ("CHM", "Chemistry and HPLC laboratory"),
    ("STB", "Stability chamber room"),
    ("SMP", "Sample receipt and retention store"),
    ("WSH", "Glass wash and media prep"),
]
# systems of the C&Q programme: code, name, project key of the installing activity, the installing activity,
# PQ duration (continuous days; 0 = no PQ)
CQ_SYSTEMS = [
    ("PW", "Purified water system", "UT.comPW", 21),
    ("WFI", "WFI system", "UT.comWFI", 21),
    ("CS", "Clean steam system", "UT.comCS", 14),
    ("CA", "Compressed air and nitrogen", "UT.comCA", 7),
    ("HVAC", "PB1 cleanroom HVAC (AHU-01 to AHU-06)", "PB.tab", 0),
    ("ISO", "Grade A filling isolator", "FL.satISO", 0),
    ("VWM", "Vial washing machine", "FL.satVWM", 0),
    ("DHT", "Depyrogenation tunnel", "FL.satDHT", 5),
    ("FIL", "Vial filling and stoppering machine", "FL.satFIL", 0),
    ("LYO", "Lyophiliser", "FL.satLYO", 7),
    ("CAP", "Vial capping machine", "FL.satCAP", 0),
    ("AC1", "Autoclave 1 (parts and components)", "FL.satAC1", 5),
    ("AC2", "Autoclave 2 (waste decontamination)", "FL.satAC2", 3),
    ("VHP", "VHP decontamination cycle", "FL.satVHP", 4),
]


class Plan:
    def __init__(self, proj):
        self.proj = proj
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("DES", "ROOT", "Design and approvals"),
                    ("PRC", "ROOT", "Procurement and vendor manufacture"), ("CON", "ROOT", "Construction and installation"),
                    ("TST", "ROOT", "Commissioning, qualification and handover")]

    def add(self, key, name, dur, wbs, preds=(), cal=OFF, kind=None, ms=None, area=None, new=False):
        full = f"{self.proj}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs,
                               preds=[p[1:] if p.startswith("@") else f"{self.proj}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, area=area, new=new, prj=self.proj,
                               slip=SLIPS.get(full, 0)))
        return key


def plan_pb(p):
    p.add("ntp", "Notice to proceed - process building PB1", 0, "DES", ms="S")
    p.add("des", "Detailed design PB1 (architectural, structural, process and HVAC)", 150, "DES", ["ntp"], kind="DES")
    p.add("fsc", "Fire safety and disability access certificates", 50, "DES", ["des:SS40"])
    p.add("rdz", "Redesign grade B pressure cascade and AHU zoning", 25, "DES", ["des"], kind="DES", new=True)
    p.add("stp", "Structural steel and precast fabrication", 110, "PRC", ["des:SS60"], cal=ELP)
    p.add("ahp", "Cleanroom AHUs manufacture (AHU-01 to AHU-06)", 200, "PRC", ["des", "rdz"], cal=ELP)
    p.add("pnp", "Cleanroom wall and ceiling panels manufacture", 200, "PRC", ["des", "rdz"], cal=ELP)
    p.add("enb", "Site clearance and bulk excavation", 40, "CON", ["fsc:SS10"], cal=SITE, kind="CIV",
          area="PB1 footprint")
    p.add("pil", "Piling, pile caps and ground beams", 60, "CON", ["enb"], cal=SITE, kind="PIL", area="PB1 footprint")
    p.add("frm", "Erect structural frame and precast floors", 80, "CON", ["pil", "stp"], cal=SIX, kind="STL",
          area="PB1 whole building")
    p.add("env", "Roof, insulated cladding and glazing", 90, "CON", ["frm:SS40"], cal=SIX, kind="ENV",
          area="PB1 envelope")
    p.add("wtt", "PB1 watertight", 0, "CON", ["env"], cal=SITE, ms="F")
    p.add("int", "Interstitial service floor, walkable ceiling platforms and risers", 70, "CON", ["frm"], cal=SITE,
          kind="STL", area="PB1 interstitial floor")
    p.add("dct", "Primary HVAC ductwork and plant room", 90, "CON", ["int:SS20"], cal=SITE, kind="HVC",
          area="PB1 plant room")
    p.add("ahs", "Set, connect and start up AHU-01 to AHU-06", 20, "CON", ["ahp", "dct:SS40"], cal=SITE, kind="HVC",
          area="PB1 plant room")
    p.add("tin", "Weekend tie-in of PB1 utilities to Plant 1 mains", 2, "CON", ["dct"], cal=TIE, kind="TIE",
          area="Plant 1 service corridor")
    p.add("tcw", "Weekend tie-in of PB1 chilled water to the Plant 1 ring main", 2, "CON", ["ahs"], cal=TIE,
          kind="TIE", area="Plant 1 service corridor")
    prev = None
    for i, zc, zname, grade, piping in PB_ZONES:
        w = zc
        p.wbs.append((w, "CON", f"Zone {zc} - {zname}"))
        area = f"PB1 {zc} {zname}"
        p.add(f"pan{i}", f"Install cleanroom walls and ceilings - {zc} {zname}", 45, w,
              ["wtt", "pnp"] + ([f"pan{prev}:SS25"] if prev else []), cal=SITE, kind="PNL", area=area)
        p.add(f"duc{i}", f"Secondary ductwork, HEPA housings and terminal filters - {zc}", 30, w,
              [f"pan{i}:SS15", "dct:SS20"], cal=SITE, kind="HVC", area=area)
        p.add(f"ele{i}", f"Cleanroom lighting, power and EMS points - {zc}", 30, w, [f"pan{i}:SS20", f"duc{i}:FF5"], cal=SITE,
              kind="ELE", area=area)
        p.add(f"flr{i}", f"Resin flooring and coving - {zc}", 15, w, [f"pan{i}", f"duc{i}"], cal=SIX, kind="FLR",
              area=area)
        mch_preds = [f"flr{i}", f"ele{i}"]
        if piping:
            p.add(f"prp{i}", f"Process piping and utility drops - {zc}", 30, w, [f"pan{i}:SS10"], cal=SITE,
                  kind="PIP", area=area)
            mch_preds.append(f"prp{i}")
        p.add(f"mch{i}", f"Mechanical completion walkdown and punch list - {zc}", 5, w, mch_preds, cal=SITE,
              kind="QA", area=area)
        p.add(f"cln{i}", f"Construction clean and first cleanroom clean - {zc}", 4, w, [f"mch{i}"], cal=SIX,
              kind="CLN", area=area)
        prev = i
    p.add("fal", "Fire alarm, sprinklers and smoke control commissioning", 15, "TST", ["cln6"], cal=SITE, kind="ELE",
          area="PB1 whole building")
    p.add("bms", "BMS and EMS point-to-point checks", 25, "TST", [f"ele{i}" for i, *_ in PB_ZONES], cal=CQ2,
          kind="BMS", area="PB1 whole building")
    p.add("tab", "HVAC testing, adjusting and balancing (room pressures and air changes)", 25, "TST",
          [f"duc{i}" for i, *_ in PB_ZONES] + ["ahs", "tin", "tcw", "@UT.comHV"], cal=CQ2, kind="TAB", area="PB1 cleanrooms")
    p.add("mc", "PB1 mechanical completion - handover to C&Q", 0, "TST",
          [f"cln{i}" for i, *_ in PB_ZONES] + ["fal", "bms", "tab"], cal=SITE, ms="F")


def plan_wh(p):
    p.add("ntp", "Notice to proceed - warehouse WH1", 0, "DES", ms="S")
    p.add("des", "Warehouse and dispensary design", 60, "DES", ["ntp"], kind="DES")
    p.add("stp", "Portal frame fabrication", 45, "PRC", ["des"], cal=ELP)
    p.add("rck", "High-bay racking manufacture", 90, "PRC", ["des"], cal=ELP)
    p.add("crp", "Cold room panels and refrigeration plant manufacture", 100, "PRC", ["des"], cal=ELP)
    p.add("gw", "Groundworks, drainage and ground-bearing slab", 55, "CON", ["des"], cal=SITE, kind="CIV",
          area="WH1 footprint")
    p.add("frm", "Erect portal frame", 25, "CON", ["gw", "stp"], cal=SIX, kind="STL", area="WH1 whole building")
    p.add("cld", "Cladding, roof and dock doors", 45, "CON", ["frm:SS10"], cal=SIX, kind="ENV", area="WH1 envelope")
    p.add("wtt", "WH1 watertight", 0, "CON", ["cld"], cal=SITE, ms="F")
    p.add("flr", "Power-floated warehouse floor topping", 15, "CON", ["wtt"], cal=SIX, kind="FLR",
          area="WH1 ambient store")
    p.add("rki", "Install high-bay racking and sprinklers", 25, "CON", ["flr", "rck"], cal=SITE, kind="CIV",
          area="WH1 ambient store")
    p.add("cri", "Install cold rooms (2-8 C) and -20 C freezer rooms", 25, "CON", ["wtt", "crp"], cal=SITE,
          kind="UTL", area="WH1 cold store")
    p.add("dsp", "Dispensary booths, downflow units and weigh rooms", 20, "CON", ["wtt"], cal=SITE, kind="PNL",
          area="WH1 dispensary")
    p.add("dkl", "Loading docks, levellers and yard", 20, "CON", ["cld"], cal=SIX, kind="CIV", area="WH1 yard")
    p.add("wms", "Warehouse management system and access control", 15, "CON", ["rki"], cal=OFF, kind="CSV",
          area="WH1 whole building")
    p.add("tma", "Temperature mapping - ambient store (24/7)", 7, "TST", ["rki"], cal=CONT, kind="PQ",
          area="WH1 ambient store")
    p.add("tmc", "Temperature mapping - cold rooms and freezers (24/7)", 7, "TST", ["cri"], cal=CONT, kind="PQ",
          area="WH1 cold store")
    p.add("dsq", "Dispensary booth qualification", 5, "TST", ["dsp"], cal=CQ2, kind="VAL", area="WH1 dispensary")
    p.add("pc", "Warehouse released for GMP storage", 0, "TST", ["tma", "tmc", "dsq", "wms", "dkl"], cal=SITE, ms="F")


def plan_ut(p):
    p.add("ntp", "Notice to proceed - clean utilities block", 0, "DES", ms="S")
    p.add("des", "Utilities design, P&IDs and loop layouts", 90, "DES", ["ntp"], kind="DES")
    p.add("civ", "Utilities block frame, envelope and plinths", 120, "CON", ["des:SS40"], cal=SITE, kind="CIV",
          area="UB1 building")
    p.add("hvs", "HV substation and standby generator", 25, "CON", ["civ"], cal=SITE, kind="ELE", area="UB1 HV room")
    p.add("egz", "Utilities block energised", 0, "CON", ["hvs"], cal=SITE, ms="F")
    for code, name, man, kind in UT_SYSTEMS:
        w = code
        lname = name[0].lower() + name[1:] if name[1].islower() else name
        p.wbs.append((w, "CON", f"{code} - {name}"))
        area = f"UB1 {code} plant"
        p.add(f"man{code}", f"Manufacture {lname}", man, w, ["des"], cal=ELP)
        p.add(f"fat{code}", f"FAT at vendor - {name}", 5, w, [f"man{code}"], kind="VAL")
        p.add(f"dlv{code}", f"Ship and deliver - {code}", 14, w, [f"fat{code}"], cal=ELP)
        p.add(f"ins{code}", f"Install and set - {name}", 30, w, [f"dlv{code}", "civ"], cal=SITE, kind="UTL", area=area)
        if code != "EMS":
            p.add(f"pip{code}", f"Distribution pipework and loop to PB1 - {code}", 40, w, [f"ins{code}:SS10"],
                  cal=SITE, kind="PIP", area="UB1 to PB1 pipe bridge")
            p.add(f"com{code}", f"Commission {lname}", 15, w, [f"ins{code}", f"pip{code}", "egz"], cal=CQ2, kind=kind,
                  area=area)
        else:
            p.add(f"com{code}", f"Commission {lname}", 10, w, [f"ins{code}", "egz"], cal=CQ2, kind=kind, area=area)
    p.add("tie", "Weekend tie-in of steam and towns water to Plant 1 mains", 2, "CON", ["pipCS", "pipPW"], cal=TIE,
          kind="TIE", area="Plant 1 service corridor")
    p.add("tiw", "Weekend tie-in of the WFI loop to the Plant 1 WFI cross-connect", 2, "CON", ["pipWFI"],
          cal=TIE, kind="TIE", area="Plant 1 service corridor")
    p.add("rfq", "Clean utilities ready for qualification", 0, "TST",
          [f"com{c}" for c, *_ in UT_SYSTEMS] + ["tie", "tiw"], cal=SITE, ms="F")


def plan_qc(p):
    p.add("ntp", "Notice to proceed - QC laboratory", 0, "DES", ms="S")
    p.add("des", "QC lab layout and services design", 50, "DES", ["ntp"], kind="DES")
    p.add("lms", "LIMS configuration and validation", 120, "DES", ["des"], kind="CSV")
    p.add("stc", "Walk-in stability chambers manufacture", 130, "PRC", ["des"], cal=ELP)
    p.add("ins", "Lab instruments order and delivery (HPLC, TOC, incubators)", 110, "PRC", ["des"], cal=ELP)
    prev = None
    for code, name in QC_ROOMS:
        w = code
        p.wbs.append((w, "CON", f"{code} - {name}"))
        area = f"QC lab {name}"
        p.add(f"ptn{code}", f"Partitions, ceilings and lab services - {code}", 30, w,
              ["des"] + ([f"ptn{prev}:SS15"] if prev else []), cal=SITE, kind="LAB", area=area)
        p.add(f"fur{code}", f"Lab benching and fume cupboards - {code}", 15, w, [f"ptn{code}"], cal=SITE, kind="LAB",
              area=area)
        p.add(f"eqi{code}", f"Install lab instruments - {code}", 12, w,
              [f"fur{code}", "ins"] + (["stc"] if code == "STB" else []), cal=SITE, kind="LAB", area=area)
        p.add(f"iq{code}", f"Instrument IQ/OQ - {code}", 10, w, [f"eqi{code}"], cal=CQ2, kind="VAL", area=area)
        prev = code
    p.add("eml", "EM and sterility test method validation", 30, "TST", ["iqMIC"], cal=CQ2, kind="EM",
          area="QC lab microbiology")
    p.add("rdy", "QC laboratory ready for GMP testing", 0, "TST", [f"iq{c}" for c, _ in QC_ROOMS] + ["eml", "lms"],
          cal=SITE, ms="F")


def plan_fl(p):
    p.add("ntp", "Purchase orders placed - fill-finish line", 0, "DES", ms="S")
    p.add("urq", "User requirements and vendor selection", 60, "DES", ["ntp"], kind="DES")
    for code, name, man, kind, zone in FL_EQUIP:
        w = code
        p.wbs.append((w, "CON", f"{code} - {name}"))
        area = f"PB1 Z{zone}"
        p.add(f"dsg{code}", f"Design review and drawing approval - {name}", 20, w, ["urq"], kind="DES")
        p.add(f"man{code}", f"Manufacture - {name}", man, w, [f"dsg{code}"], cal=ELP)
        p.add(f"fat{code}", f"FAT at vendor - {name}", 5, w, [f"man{code}"], kind=kind)
        shp_preds = [f"fat{code}"]
        if code == "LYO":
            p.add("lfr", "Lyophiliser FAT re-test after shelf temperature uniformity failure", 10, w, ["fatLYO"],
                  kind="VLYO", new=True)
            shp_preds.append("lfr")
        p.add(f"shp{code}", f"Ship to Carrowmore - {code}", 28, w, shp_preds, cal=ELP)
        p.add(f"ins{code}", f"Install and hook-up - {name}", 10 if code not in ("LYO", "ISO") else 15, w,
              [f"shp{code}:FS3", f"@PB.mch{zone}"], cal=SITE, kind=kind, area=area)
        p.add(f"sat{code}", f"SAT - {name}", 5, w, [f"ins{code}"], cal=CQ2, kind=kind, area=area)
    p.add("int", "Line integration, SCADA and recipe configuration", 20, "TST",
          ["satISO", "satVWM", "satDHT", "satFIL", "satCAP", "satLYO"], cal=CQ2, kind="CSV", area="PB1 Z1")
    p.add("mcl", "Fill-finish line mechanically complete", 0, "TST",
          ["int", "satAC1", "satAC2", "satVHP"], cal=SITE, ms="F")


def plan_cq(p):
    p.add("ntp", "C&Q programme start", 0, "DES", ms="S")
    p.add("vmp", "Validation master plan approval", 20, "DES", ["ntp"], kind="QA")
    p.add("sia", "System impact assessments and C&Q plan", 25, "DES", ["vmp:SS10"], kind="DOC")
    for code, name, pred, pq in CQ_SYSTEMS:
        w = code
        p.wbs.append((w, "CON", f"{code} - {name}"))
        area = "UB1" if pred.startswith("UT.") else "PB1"
        p.add(f"iqd{code}", f"IQ protocol draft and approval - {name}", 8, w,
              ["sia"] + ([f"@FL.fat{code}"] if pred.startswith("FL.") else []), kind="DOC")
        p.add(f"iqx{code}", f"IQ execution - {name}", 5, w, [f"iqd{code}", "@" + pred], cal=CQ2, kind="VAL",
              area=area)
        p.add(f"oqd{code}", f"OQ protocol draft and approval - {name}", 8, w, [f"iqd{code}"], kind="DOC")
        p.add(f"oqx{code}", f"OQ execution - {name}", 8, w, [f"oqd{code}", f"iqx{code}"], cal=CQ2, kind="VAL",
              area=area)
        last = f"oqx{code}"
        if pq:
            p.add(f"pqx{code}", f"PQ execution (24/7) - {name}", pq, w, [last], cal=CONT, kind="PQ", area=area)
            last = f"pqx{code}"
        p.add(f"sum{code}", f"Summary report and release - {name}", 5, w, [last], kind="QA")
    p.wbs.append(("CR", "CON", "Cleanroom classification and EM PQ"))
    for i, zc, zname, grade, _ in PB_ZONES:
        if grade == "CNC":
            continue
        area = f"PB1 {zc} {zname}"
        p.add(f"cls{i}", f"Cleanroom classification at rest - {zc} (grade {grade})", 3, "CR",
              [f"@PB.cln{i}", "oqxHVAC"] + ([f"cls{i - 1}"] if i > 1 else []), cal=CQ2, kind="VAL", area=area)
        p.add(f"emp{i}", f"EM PQ in operation - {zc} (grade {grade})", 10, "CR", [f"cls{i}", "@QC.eml"], cal=CONT,
              kind="EM", area=area)
        p.add(f"rel{i}", f"GMP area release - {zc} {zname}", 0, "CR", [f"emp{i}"], cal=CQ2, ms="F", area=area)
    p.wbs.append(("APS", "TST", "Aseptic process simulations"))
    p.add("csv", "Computer system validation - line SCADA, BMS and EMS", 40, "TST", ["sia", "@FL.int:SS5"], kind="CSV")
    p.add("clv", "Cleaning and disinfection validation", 30, "TST", ["rel1", "rel2"], cal=CQ2, kind="PQ",
          area="PB1 cleanrooms")
    p.add("aps1", "Aseptic process simulation (media fill) run 1", 3, "APS",
          [f"sum{c}" for c, *_ in CQ_SYSTEMS] + ["rel1", "rel3", "rel4", "rel5", "csv", "clv"], cal=CONT, kind="APS",
          area="PB1 Z1 Grade A/B aseptic filling suite")
    p.add("aps1r", "Media fill run 1 incubation and read (14 days)", 14, "APS", ["aps1"], cal=CONT, kind="EM",
          area="QC lab microbiology")
    p.add("aps2", "Aseptic process simulation (media fill) run 2", 3, "APS", ["aps1:SS7"], cal=CONT, kind="APS",
          area="PB1 Z1 Grade A/B aseptic filling suite")
    p.add("aps3", "Aseptic process simulation (media fill) run 3", 3, "APS", ["aps2:SS7"], cal=CONT, kind="APS",
          area="PB1 Z1 Grade A/B aseptic filling suite")
    p.add("aps3r", "Media fill run 3 incubation and read (14 days)", 14, "APS", ["aps3"], cal=CONT, kind="EM",
          area="QC lab microbiology")
    p.add("iph", "Pre-approval inspection readiness and mock inspection", 15, "TST", ["aps3r", "aps1r", "@QC.rdy"],
          kind="QA")
    p.add("lic", "HPRA licence inspection", 5, "TST", ["iph"], kind="QA")
    p.add("gmp", "Facility released for commercial GMP manufacture", 0, "TST", ["lic"], ms="F")


PLANS = {"PB": plan_pb, "WH": plan_wh, "UT": plan_ut, "QC": plan_qc, "FL": plan_fl, "CQ": plan_cq}
FINISH = {"PB": "mc", "WH": "pc", "UT": "rfq", "QC": "rdy", "FL": "mcl", "CQ": "gmp"}
TASK_PREFIX = {"PB": "PB", "WH": "WH", "UT": "UT", "QC": "QC", "FL": "FF", "CQ": "CQ"}


def make_plan(pr):
    plan = Plan(pr[0])
    PLANS[pr[0]](plan)
    return plan


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its project's target completion."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "prj")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


RISKS = [
    # project, activity key, description, category, probability 1-5, impact 1-5, cost EUR, delay days, owner,
    # mitigation, state (O open, C closed, R realised), raised, next review
    ("PB", "PB.ahp", "Cleanroom AHU delivery late after the pressure cascade redesign", "Supply chain", 4, 4,
     420000.0, 25, "Aoife Brennan", "Expedite visits to the AHU factory; partial deliveries by zone", "R",
     "2024-11-04", "2025-06-30"),
    ("PB", "PB.pan1", "Grade B panel joints fail the integrity test at classification", "Quality", 3, 4, 180000.0, 12,
     "Ines Carvalho", "Mock-up room tested before full install; joint sealing checks per wall", "O", "2025-04-14",
     "2025-11-14"),
    ("PB", "PB.tab", "Room pressure cascade cannot be balanced to 10-15 Pa", "Technical", 3, 5, 260000.0, 15,
     "Colm Treacy", "CFD check of the redesign; spare damper actuators on site", "O", "2025-02-17", "2025-11-07"),
    ("PB", "PB.tin", "Tie-in to Plant 1 mains interrupts live production", "Operational", 2, 5, 900000.0, 5,
     DIRECTOR, "Tie-ins only on weekends outside campaigns; isolation rehearsals", "O", "2025-05-19", "2025-11-21"),
    ("PB", None, "Skilled cleanroom installers unavailable in Q1 2026", "Resources", 3, 3, 150000.0, 10,
     "Aoife Brennan", "Framework call-off with a second installer", "O", "2025-09-01", "2025-12-01"),
    ("WH", "WH.tmc", "Cold room fails temperature mapping at the door zone", "Quality", 3, 3, 40000.0, 5,
     "Declan Moriarty", "Air curtains fitted before mapping", "C", "2024-09-09", "2025-03-03"),
    ("WH", "WH.rck", "Racking delivery delayed by steel shortage", "Supply chain", 3, 2, 30000.0, 8,
     "Declan Moriarty", "Order placed early; alternative supplier quoted", "R", "2024-03-11", "2024-08-26"),
    ("UT", "UT.manWFI", "WFI still delivery slips past the loop installation window", "Supply chain", 4, 4, 350000.0,
     30, "Niamh Gallagher", "Weekly vendor calls; loop pipework installed ahead of the still", "R", "2024-10-07",
     "2025-08-25"),
    ("UT", "UT.comWFI", "WFI loop fails TOC and conductivity limits at start-up", "Quality", 3, 4, 120000.0, 10,
     "Niamh Gallagher", "Passivation and extra flushing allowed in the plan", "O", "2025-06-09", "2025-11-10"),
    ("UT", "UT.tie", "Steam tie-in window lost to a Plant 1 campaign", "Operational", 3, 3, 60000.0, 14, DIRECTOR,
     "Book two alternative weekends with Plant 1 production", "O", "2025-08-18", "2025-11-14"),
    ("UT", None, "Rising energy tariff on the HVAC central plant running costs", "Commercial", 3, 2, 80000.0, 0,
     DIRECTOR, "Heat recovery on the chillers", "C", "2024-07-01", "2025-04-07"),
    ("QC", "QC.stc", "Stability chambers late from the manufacturer", "Supply chain", 3, 3, 55000.0, 20,
     "Siobhan Keane", "Rent chamber space at the Plant 1 lab meanwhile", "R", "2025-03-24", "2025-09-29"),
    ("QC", "QC.eml", "EM method validation fails recovery criteria", "Quality", 2, 4, 45000.0, 10,
     "Dr Lena Hartmann", "Second media supplier qualified in parallel", "O", "2025-07-07", "2025-11-17"),
    ("FL", "FL.manLYO", "Lyophiliser fails FAT on shelf temperature uniformity", "Quality", 3, 5, 650000.0, 30,
     "Matthias Vogel", "Re-test at vendor after shelf fluid circuit fix; BL1 re-plan", "R", "2025-01-20",
     "2025-08-18"),
    ("FL", "FL.satISO", "Isolator glove port leak test failures at SAT", "Quality", 3, 4, 90000.0, 6,
     "Matthias Vogel", "Spare gloves and ports on site; vendor engineer retained", "O", "2025-07-28", "2025-11-11"),
    ("FL", "FL.insLYO", "Lyophiliser too big for the planned rigging route into PB1", "Technical", 2, 4, 140000.0, 5,
     "Aoife Brennan", "Temporary opening in the east wall kept until the install", "O", "2025-06-23", "2025-11-24"),
    ("FL", None, "Vendor engineers not available for SAT in December", "Resources", 4, 3, 70000.0, 10,
     "Matthias Vogel", "SAT dates agreed in the purchase order; penalty clause", "O", "2025-09-15", "2025-11-28"),
    ("CQ", "CQ.oqxHVAC", "HVAC OQ recovery tests fail in the grade B rooms", "Quality", 3, 5, 200000.0, 15,
     VAL_LEAD, "Smoke studies done early; HEPA scan before OQ", "O", "2025-05-12", "2025-11-10"),
    ("CQ", "CQ.aps1", "Media fill failure needing three new consecutive runs", "Quality", 2, 5, 1200000.0, 60,
     QA_HEAD, "Operator training on interventions; APS rehearsal runs", "O", "2025-03-03", "2025-12-08"),
    ("CQ", "CQ.lic", "HPRA inspection slot not available before Q3 2026", "Regulatory", 3, 4, 500000.0, 40,
     QA_HEAD, "Early request for inspection; pre-submission meeting", "O", "2025-04-07", "2025-12-15"),
    ("CQ", "CQ.iqxWFI", "Turnover package for WFI missing weld logs and isometrics", "Documentation", 4, 3, 35000.0, 3,
     VAL_LEAD, "Document review at vendor before delivery", "R", "2025-06-30", "2025-10-06"),
    ("CQ", None, "Validation contractor staff turnover", "Resources", 3, 3, 90000.0, 8, VAL_LEAD,
     "Key person clause; second C&Q contractor pre-qualified", "O", "2025-08-11", "2025-12-01"),
]

CHANGES = [
    # project, title, class (MIN / MAJ), GMP impact (Y/N), raised by, raised, cost EUR, days, state, approved
    ("PB", "Redesign grade B pressure cascade and AHU zoning (BL1)", "MAJ", "Y", "Orla Fitzsimons", "2024-11-18",
     880000.0, 25, "CL", "2025-02-10"),
    ("PB", "Add second material airlock to Z2 compounding", "MAJ", "Y", "Gavin Rowe", "2025-05-06", 210000.0, 8,
     "IM", "2025-06-02"),
    ("PB", "Change resin flooring colour in Z6 packaging hall", "MIN", "N", "Aoife Brennan", "2025-07-14", 4000.0, 0,
     "CL", "2025-07-21"),
    ("PB", "Upgrade EMS particle counters to 1 cfm in grade B", "MAJ", "Y", "Dr Lena Hartmann", "2025-10-06",
     95000.0, 4, "IA", None),
    ("PB", "Relocate pass box between Z3 and Z1", "MIN", "Y", "Sinead O'Rourke", "2025-10-22", 18000.0, 2, "RA", None),
    ("WH", "Add -70 C ultra-low freezer room", "MAJ", "Y", "Declan Moriarty", "2024-06-10", 160000.0, 10, "RJ",
     "2024-07-01"),
    ("WH", "Extra sprinkler zone in high-bay racking", "MIN", "N", "Declan Moriarty", "2024-08-19", 22000.0, 2, "CL",
     "2024-08-26"),
    ("UT", "Increase WFI storage tank from 6 to 10 m3", "MAJ", "Y", "Niamh Gallagher", "2024-09-02", 190000.0, 12,
     "CL", "2024-09-23"),
    ("UT", "Add ozone sanitisation to the PW loop", "MAJ", "Y", VAL_LEAD, "2025-08-25", 75000.0, 6, "AP",
     "2025-09-15"),
    ("UT", "Replace chiller refrigerant with a low-GWP type", "MIN", "N", "Kevin Mulcahy", "2025-10-13", 48000.0, 0,
     "IA", None),
    ("QC", "Second biosafety cabinet in the microbiology lab", "MIN", "Y", "Dr Lena Hartmann", "2025-04-22", 26000.0,
     2, "CL", "2025-05-06"),
    ("QC", "Move stability chambers to a dedicated UPS", "MIN", "Y", "Siobhan Keane", "2025-09-29", 31000.0, 3, "AP",
     "2025-10-20"),
    ("FL", "Lyophiliser shelf fluid circuit modification after FAT failure (BL1)", "MAJ", "Y", "Matthias Vogel",
     "2025-08-12", 0.0, 30, "CL", "2025-08-18"),
    ("FL", "Add in-process check weigher to the filler", "MAJ", "Y", "Gavin Rowe", "2025-03-10", 135000.0, 5, "IM",
     "2025-04-07"),
    ("FL", "Extra glove port on isolator station 3", "MIN", "Y", "Gavin Rowe", "2025-10-27", 12000.0, 3, "RA", None),
    ("FL", "Robotic vial loading for the lyophiliser", "MAJ", "Y", "Matthias Vogel", "2025-02-03", 780000.0, 40,
     "RJ", "2025-03-03"),
    ("CQ", "Adopt risk-based C&Q approach (leverage vendor FAT/SAT)", "MAJ", "Y", VAL_LEAD, "2025-01-27", -120000.0,
     -15, "CL", "2025-02-24"),
    ("CQ", "Add fourth media fill for the 10 ml vial size", "MAJ", "Y", QA_HEAD, "2025-09-08", 160000.0, 7, "IA",
     None),
    ("CQ", "Electronic execution of IQ/OQ protocols", "MIN", "Y", "Sinead O'Rourke", "2025-06-02", 55000.0, 0, "IM",
     "2025-06-30"),
]

EQUIPMENT = [
    # tag, install activity key, area code, description, vendor, class, PO value EUR
    ("FL-ISO-01", "FL.insISO", "PB1-Z1-101", "Grade A filling isolator, 4 glove stations", "Steriflow Containment GmbH",
     "PROC", 4200000.0),
    ("FL-VWM-01", "FL.insVWM", "PB1-Z4-401", "Vial washing machine, rotary", "Thermaclave Systems", "PROC", 1150000.0),
    ("FL-DHT-01", "FL.insDHT", "PB1-Z4-401", "Depyrogenation tunnel, hot air", "Thermaclave Systems", "PROC",
     1650000.0),
    ("FL-FIL-01", "FL.insFIL", "PB1-Z1-101", "Vial filling and stoppering machine, 24,000 vials/h", "Vialmatic Packaging Srl",
     "PROC", 5400000.0),
    ("FL-LYO-01", "FL.insLYO", "PB1-Z1-102", "Lyophiliser 30 m2 with automatic loading and unloading",
     "Cryotek Pharma Systems", "PROC", 6800000.0),
    ("FL-CAP-01", "FL.insCAP", "PB1-Z1-103", "Vial capping machine with RABS", "Vialmatic Packaging Srl", "PROC",
     950000.0),
    ("FL-AC-01", "FL.insAC1", "PB1-Z3-301", "Double-door steam autoclave (parts and components)", "Thermaclave Systems",
     "PROC", 720000.0),
    ("FL-AC-02", "FL.insAC2", "PB1-Z3-302", "Waste decontamination autoclave", "Thermaclave Systems", "PROC", 480000.0),
    ("FL-VHP-01", "FL.insVHP", "PB1-Z3-301", "Mobile VHP generator", "Steriflow Containment GmbH", "PROC", 210000.0),
    ("UT-PW-01", "UT.insPW", None, "PW generation skid (RO/EDI) with 8 m3 storage", "Purion Water Technologies", "UTIL",
     1300000.0),
    ("UT-WFI-01", "UT.insWFI", None, "WFI multi-effect still 3,000 l/h with 10 m3 hot storage",
     "Purion Water Technologies", "UTIL", 2100000.0),
    ("UT-CS-01", "UT.insCS", None, "Clean steam generator 1,000 kg/h", "Purion Water Technologies", "UTIL", 640000.0),
    ("UT-CH-01", "UT.insHV", None, "Chillers and boilers package", "Corrib M&E Contractors", "UTIL", 1850000.0),
    ("UT-CA-01", "UT.insCA", None, "Oil-free compressors, dryers and nitrogen generator", "Atmos Gas Systems", "UTIL",
     560000.0),
    ("UT-EMS-01", "UT.insEMS", None, "BMS and EMS servers and head-end", "Brightlane Automation", "UTIL", 380000.0),
    ("QC-STB-01", "QC.eqiSTB", "QCL-STB-01", "Walk-in stability chambers (25C/60RH, 30C/65RH, 40C/75RH)",
     "Climatec Chambers", "LAB", 390000.0),
    ("QC-HPLC-01", "QC.eqiCHM", "QCL-CHM-01", "HPLC systems x6", "Analytica Instruments", "LAB", 420000.0),
    ("QC-TOC-01", "QC.eqiCHM", "QCL-CHM-01", "TOC analysers x2", "Analytica Instruments", "LAB", 90000.0),
    ("QC-INC-01", "QC.eqiMIC", "QCL-MIC-01", "Microbiology incubators x8", "Climatec Chambers", "LAB", 120000.0),
    ("QC-BSC-01", "QC.eqiMIC", "QCL-MIC-01", "Biosafety cabinets x3", "Safeflow Labs", "LAB", 75000.0),
]

# GMP areas: code, name, zone code, grade, m2, project, activity key (the one that releases the area)
AREAS = [
    ("PB1-Z1-101", "Aseptic filling room (isolator)", "Z1", "B", 140.0, "PB", "CQ.rel1"),
    ("PB1-Z1-102", "Lyophiliser loading room", "Z1", "B", 95.0, "PB", "CQ.rel1"),
    ("PB1-Z1-103", "Capping room", "Z1", "C", 60.0, "PB", "CQ.rel1"),
    ("PB1-Z1-104", "Grade B gowning and degowning", "Z1", "B", 35.0, "PB", "CQ.rel1"),
    ("PB1-Z2-201", "Compounding room", "Z2", "C", 110.0, "PB", "CQ.rel2"),
    ("PB1-Z2-202", "Solution prep and filtration", "Z2", "C", 75.0, "PB", "CQ.rel2"),
    ("PB1-Z2-203", "Material airlock MAL-2", "Z2", "C", 18.0, "PB", "CQ.rel2"),
    ("PB1-Z3-301", "Component prep and autoclave loading", "Z3", "C", 90.0, "PB", "CQ.rel3"),
    ("PB1-Z3-302", "Autoclave unloading and waste", "Z3", "C", 45.0, "PB", "CQ.rel3"),
    ("PB1-Z3-303", "Cleaning equipment store", "Z3", "C", 20.0, "PB", "CQ.rel3"),
    ("PB1-Z4-401", "Vial washing and depyrogenation room", "Z4", "D", 120.0, "PB", "CQ.rel4"),
    ("PB1-Z4-402", "Buffer prep room", "Z4", "D", 70.0, "PB", "CQ.rel4"),
    ("PB1-Z4-403", "Washroom (parts washer)", "Z4", "D", 55.0, "PB", "CQ.rel4"),
    ("PB1-Z5-501", "Grade D corridor east", "Z5", "D", 160.0, "PB", "CQ.rel5"),
    ("PB1-Z5-502", "Grade D gowning room", "Z5", "D", 40.0, "PB", "CQ.rel5"),
    ("PB1-Z5-503", "Personnel airlock PAL-1", "Z5", "D", 15.0, "PB", "CQ.rel5"),
    ("PB1-Z6-601", "Visual inspection hall", "Z6", "CNC", 260.0, "PB", "PB.cln6"),
    ("PB1-Z6-602", "Labelling and packaging hall", "Z6", "CNC", 420.0, "PB", "PB.cln6"),
    ("WH1-AMB-01", "Ambient high-bay store", "WH", "CNC", 3200.0, "WH", "WH.tma"),
    ("WH1-CLD-01", "Cold room 2-8 C", "WH", "CNC", 240.0, "WH", "WH.tmc"),
    ("WH1-FRZ-01", "Freezer room -20 C", "WH", "CNC", 80.0, "WH", "WH.tmc"),
    ("WH1-DSP-01", "Dispensary booth 1", "WH", "D", 25.0, "WH", "WH.dsq"),
    ("WH1-DSP-02", "Dispensary booth 2", "WH", "D", 25.0, "WH", "WH.dsq"),
    ("QCL-MIC-01", "Microbiology laboratory", "QC", "CNC", 180.0, "QC", "QC.eml"),
    ("QCL-CHM-01", "Chemistry and HPLC laboratory", "QC", "CNC", 220.0, "QC", "QC.iqCHM"),
    ("QCL-STB-01", "Stability chamber room", "QC", "CNC", 95.0, "QC", "QC.iqSTB"),
    ("QCL-SMP-01", "Sample receipt and retention", "QC", "CNC", 60.0, "QC", "QC.iqSMP"),
    ("QCL-WSH-01", "Glass wash and media prep", "QC", "CNC", 70.0, "QC", "QC.iqWSH"),
]

DEV_TITLES = {
    "IQ": [("As-built drawing does not match installed instrument tag", "DOC"),
           ("Calibration certificate missing for pressure transmitter", "DOC"),
           ("Slope of drain line below 1 percent", "EQP"),
           ("Material certificate missing for gasket", "DOC"),
           ("Weld log incomplete for loop section", "DOC"),
           ("Instrument range differs from the design value", "DES")],
    "OQ": [("Alarm did not trigger at the set point", "EQP"),
           ("Interlock test failed on door sequence", "EQP"),
           ("Test step executed out of sequence", "HUM"),
           ("Recorder time not synchronised with the EMS", "EQP"),
           ("Acceptance criterion in the protocol wrongly stated", "DOC"),
           ("Flow rate below acceptance limit on one outlet", "DES")],
    "PQ-W": [("TOC result above alert level at one point of use", "PRC"),
             ("Conductivity above limit at the return loop", "PRC"),
             ("Sample not taken within the sampling window", "HUM"),
             ("Endotoxin result above alert level", "PRC")],
    "PQ-S": [("Clean steam condensate conductivity above limit", "PRC"),
             ("Superheat above limit at the steriliser inlet", "EQP"),
             ("Sample not taken within the sampling window", "HUM")],
    "PQ-G": [("Dew point above limit at one outlet", "EQP"),
             ("Particle count above limit at the nitrogen point of use", "PRC"),
             ("Sample not taken within the sampling window", "HUM")],
    "PQ-T": [("Cold spot found in load pattern", "EQP"),
             ("Biological indicator positive in one location", "PRC"),
             ("Load pattern differs from the approved protocol", "DOC")],
    "MAP": [("Temperature excursion at the door zone probe", "EQP"),
            ("Data logger stopped recording during mapping", "EQP"),
            ("Probe layout differs from the approved mapping plan", "DOC"),
            ("Mapping started before the room reached set point", "HUM")],
}


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "PLN__CALENDAR", "PLN__CAL_EXCEPTION", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    rsrc_ids, rsrc_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO RES__RESOURCE VALUES (?,?,?,?,?,?,?,?,?)", (i,) + r)
        rsrc_ids[r[0]], rsrc_row[r[0]] = i, r

    plans, tasks, keys = gather_plans(PROJECTS, make_plan, lambda g: g[6])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['prj']}.{FINISH[t['prj']]}")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(p[0], f"{p[0]}.{FINISH[p[0]]}", p[7], p[10] is not None) for p in PROJECTS],
        dt.date(2031, 1, 1), CALS[OFF])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    for k, extra in AFTER_REPLAN.items():
        cdurs[k] += extra
    sched = cpm(tasks, keys, cdurs, links, anchors)
    sb, fb, lsb, lfb, free = sched

    ids = dict(wbs=0, act=0, lnk=0, bl=0, bla=0, asg=0)
    act_ids, states, proj_ids, acts = {}, {}, {}, {}
    bl_used = {}
    for p_idx, pr in enumerate(PROJECTS, 1):
        pk, code, title, bldg, mgr, contr, start, _, budget, cost_f, rebase = pr
        proj_ids[pk] = p_idx
        plan = plans[pk]
        akeys = [t["key"] for t in plan.tasks]
        fin = f"{pk}.{FINISH[pk]}"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE
        phase = stage_at(plan.tasks, sb, cdurs, DATA_DATE, done, ("HND", "CQV", "CON", "DES"),
                         lambda t: t["wbs"] == "TST" or t["kind"] in ("VAL", "PQ", "EM", "APS"),
                         lambda t: t["cal"] not in (OFF, ELP))
        if phase == "DES" and any(sb[t["key"]] <= DATA_DATE for t in plan.tasks if t["cal"] == ELP):
            phase = "PRC"
        slack = CALS[OFF].wd(fb[fin], anchors[pk])
        rag = "G" if done else ("R" if fin_shown > tgt[pk] or slack < 0 else ("A" if slack <= 10 else "G"))
        bud = budget * 1e6
        con.execute("INSERT INTO PLN__PROJECT VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, code, title, bldg, mgr, contr, bud, round(bud * cost_f, -4), iso(start), iso(tgt[pk]),
                     iso(fin_shown), iso(fin_shown) if done else None, iso(DATA_DATE), phase, rag))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, f"{code} {title}"):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO PLN__WBS VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], p_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        bl_used[pk] = (bl_src, bl_d)
        for n, k in enumerate(akeys, 1):
            t = tasks[k]
            ids["act"] += 1
            act_ids[k] = ids["act"]
            a = activity_at(DATA_DATE, tasks, k, cdurs, sched, bl_src, bl_d, CALS, rng)
            acts[k] = a
            states[k] = a.state
            typ = {"task": "TT", "start": "SM", "finish": "FM"}[a.kind]
            disc = DISC.get(t["kind"]) if t["kind"] else ("PRC" if t["cal"] == ELP else None)
            con.execute("INSERT INTO PLN__TASK VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], p_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]], f"{TASK_PREFIX[pk]}{n * 10:04d}",
                         t["name"], typ, disc, t["area"], float(cdurs[k]), a.remaining, iso(a.bl_start),
                         iso(a.bl_finish), iso(a.start), iso(a.finish), iso(a.late_start), iso(a.late_finish),
                         iso(a.actual_start), iso(a.actual_finish), a.total_float, a.free_float,
                         "Y" if a.critical else "N", a.pct, {"not": "NS", "started": "IP", "done": "CP"}[a.state]))
        bls = [(0, "BL0", "BL0 Approved programme baseline", start + dt.timedelta(days=28), b0, d0)]
        if rebase:
            bls.append((1, "BL1", rebase[1], rebase[0], b1, d1))
        for no, bcd, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO PLN__BASELINE VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], p_idx, bcd, bname, iso(bdate), DIRECTOR, "Y" if no == len(bls) - 1 else "N"))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, akeys, bl, bd, CALS):
                ids["bla"] += 1
                con.execute("INSERT INTO PLN__BL_TASK VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["lnk"] += 1
        con.execute("INSERT INTO PLN__TASK_LINK VALUES (?,?,?,?,?)",
                    (ids["lnk"], act_ids[p], act_ids[s], typ, float(lag)))

    # resource assignments
    for k in keys:
        t = tasks[k]
        for rc in KIND_RSRC.get(t["kind"], []):
            r = rsrc_row[rc]
            cal = CALS[t["cal"]]
            hpd = min(cal.hrs, 10.0) if cal.code != TIE else cal.hrs
            base = max(t["dur"], 1)
            pln = float(base * hpd * min(r[5], 4 if r[2] in ("VND", "CON", "INT") else r[5]))
            dur = max(cdurs[k], 1)
            act, rem_h = assignment_hours(states[k], pln, base, dur, cal.wd(DATA_DATE + D1, fb[k]), rng)
            rate = r[6]
            ids["asg"] += 1
            con.execute("INSERT INTO RES__ASSIGNMENT VALUES (?,?,?,?,?,?,?,?,?)",
                        (ids["asg"], act_ids[k], rsrc_ids[rc], pln, act, rem_h, round(pln * rate, 2),
                         round(act * rate, 2), round(rem_h * rate, 2)))

    def bl_dates(k):
        bl, bd = bl_used[tasks[k]["prj"]]
        if k not in bl[0]:
            return None, None
        return shown(tasks[k], bl[0][k], bl[1][k], bd[k])

    # risks
    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO RSK__RISK VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[r[0]], act_ids[r[1]] if r[1] else None, f"RSK-{r[0]}-{n_by[r[0]]:02d}",
                     r[2], r[3], r[4], r[5], r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))

    # GMP area handovers
    area_ids = {}
    for n, (acd, aname, zone, grade, m2, pk, k) in enumerate(AREAS, 1):
        area_ids[acd] = n
        planned = bl_dates(k)[1]
        forecast = acts[k].finish
        if states[k] == "done":
            actual, stage = forecast, "RL"
            punch = rng.choice([0, 0, 1, 2]) if (DATA_DATE - actual).days < 150 else 0
            punch_a = 0
        else:
            actual = None
            zi = int(zone[1]) if zone.startswith("Z") else None
            if pk == "PB":
                mch, cls = f"PB.mch{zi}", f"CQ.cls{zi}"
                if cls in states and states[cls] != "not":
                    stage = "CQ"
                elif states[mch] == "done":
                    stage = "MC"
                else:
                    stage = "CN"
            else:
                stage = "CQ" if states[k] == "started" else ("MC" if acts[k].start <= DATA_DATE + dt.timedelta(days=45)
                                                             else "CN")
            punch = {"CN": rng.randint(25, 60), "MC": rng.randint(8, 24), "CQ": rng.randint(2, 9)}[stage]
            punch_a = {"CN": rng.randint(4, 12), "MC": rng.randint(1, 5), "CQ": rng.randint(0, 2)}[stage]
        con.execute("INSERT INTO CQ__AREA_HANDOVER VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (n, proj_ids[pk], act_ids[k], acd, aname, zone, grade, m2, iso(planned), iso(forecast),
                     iso(actual), stage, punch, punch_a))

    # equipment deliveries, FAT and SAT
    equip_ids = {}
    for n, (tag, k, acd, desc, vendor, cls, po) in enumerate(EQUIPMENT, 1):
        pk = tasks[k]["prj"]
        code = k.split(".")[1][3:]
        equip_ids[tag] = n
        fat_k = f"{pk}.fat{code}" if f"{pk}.fat{code}" in tasks else None
        dlv_k = {"FL": f"FL.shp{code}", "UT": f"UT.dlv{code}"}.get(pk, "QC.stc" if code == "STB" else "QC.ins")
        sat_k = f"FL.sat{code}" if pk == "FL" else (f"UT.com{code}" if pk == "UT" else f"QC.iq{code}")
        fat_pln = bl_dates(fat_k)[0] if fat_k else None
        fat_act = acts[fat_k].actual_start if fat_k else None
        fat_cnt = 0
        fat_res = None
        if fat_k and states[fat_k] != "not":
            fat_cnt = 1
            fat_res = "P" if states[fat_k] == "done" and rng.random() < 0.75 else "C"
            if states[fat_k] == "started":
                fat_res = None
            if code == "LYO":
                fat_cnt, fat_res = 2, ("P" if states["FL.lfr"] == "done" else "F")
                fat_act = acts["FL.lfr"].actual_start or fat_act
        dlv_due = bl_dates(dlv_k)[1]
        dlv_act = acts[dlv_k].actual_finish
        sat_pln = bl_dates(sat_k)[1]
        sat_act = acts[sat_k].actual_finish
        sat_res = None
        if sat_act:
            sat_res = "P" if rng.random() < 0.7 else "C"
        con.execute("INSERT INTO EQ__EQUIPMENT VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (n, proj_ids[pk], act_ids[k], area_ids.get(acd), tag, desc, vendor, cls, po, iso(fat_pln),
                     iso(fat_act), fat_res, fat_cnt, iso(dlv_due), iso(dlv_act), iso(sat_pln), iso(sat_act), sat_res))

    # protocols and deviations
    sys_equip = {"PW": "UT-PW-01", "WFI": "UT-WFI-01", "CS": "UT-CS-01", "CA": "UT-CA-01", "ISO": "FL-ISO-01",
                 "VWM": "FL-VWM-01", "DHT": "FL-DHT-01", "FIL": "FL-FIL-01", "LYO": "FL-LYO-01", "CAP": "FL-CAP-01",
                 "AC1": "FL-AC-01", "AC2": "FL-AC-02", "VHP": "FL-VHP-01"}
    prot_n, dev_n, dev_year = 0, 0, {}
    dev_rows = []
    for code, name, _, pq in CQ_SYSTEMS:
        for typ, dk, xk in (("IQ", f"CQ.iqd{code}", f"CQ.iqx{code}"), ("OQ", f"CQ.oqd{code}", f"CQ.oqx{code}"),
                            ("PQ", f"CQ.oqd{code}", f"CQ.pqx{code}")):
            if typ == "PQ" and not pq:
                continue
            if states[dk] == "not":
                continue
            after = f"CQ.sum{code}"
            appr = acts[dk].actual_finish
            if typ == "PQ":
                oq_st = acts[f"CQ.oqx{code}"].actual_start
                appr = oq_st + dt.timedelta(days=3) if oq_st else None
                appr = appr if appr and appr <= DATA_DATE else None
            if states[xk] == "done":
                fin_x = acts[xk].actual_finish
                closed = (states[after] == "done") if typ == "PQ" else (DATA_DATE - fin_x).days > 12
                stat = "CL" if closed else "PR"
            elif states[xk] == "started":
                stat = "EX"
            elif appr:
                stat = "AP"
            else:
                stat = "DR"
            tests = {"IQ": rng.randint(25, 70), "OQ": rng.randint(30, 90), "PQ": rng.randint(8, 20)}[typ]
            ndev = 0 if stat in ("DR", "AP") else rng.choice([0, 1, 1, 2, 3])
            author = CQV_TEAM[(prot_n + len(code)) % len(CQV_TEAM)]
            if code == "LYO" and typ == "OQ" and appr:
                prot_n += 1
                con.execute("INSERT INTO CQ__PROTOCOL VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (prot_n, proj_ids["CQ"], act_ids[xk], equip_ids.get(sys_equip.get(code)),
                             f"OQ-{code}-001-R1", f"{typ} of the {name}", typ, code, 1, author, QA_HEAD,
                             iso(appr - dt.timedelta(days=40)), None, None, "SU", tests - 6, 0))
            prot_n += 1
            rev = 2 if code == "LYO" and typ == "OQ" else 1
            con.execute("INSERT INTO CQ__PROTOCOL VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (prot_n, proj_ids["CQ"], act_ids[xk], equip_ids.get(sys_equip.get(code)),
                         f"{typ}-{code}-001" + (f"-R{rev}" if rev > 1 else ""), f"{typ} of the {name}", typ, code, rev,
                         author, QA_HEAD if appr else None, iso(appr), iso(acts[xk].actual_start),
                         iso(acts[xk].actual_finish), stat, tests, 0 if stat in ("DR", "AP") else ndev + rng.choice([0, 0, 1])))
            for _ in range(ndev):
                group = typ if typ != "PQ" else "PQ-" + {"PW": "W", "WFI": "W", "CS": "S", "CA": "G"}.get(code, "T")
                title, cause = DEV_TITLES[group][rng.randrange(len(DEV_TITLES[group]))]
                st = acts[xk].actual_start
                span = max(0, ((acts[xk].actual_finish or DATA_DATE) - st).days)
                raised = st + dt.timedelta(days=rng.randrange(span + 1))
                sev = rng.choices(["MIN", "MAJ", "CRI"], [0.6, 0.35, 0.05])[0]
                dev_rows.append((raised, prot_n, title, sev, cause, rng.choice(CQV_TEAM)))
    # protocols of the warehouse and QC laboratory qualifications (no separate drafting activity)
    other = [("PQ", "WH.tma", "WHAMB", "PQ of the ambient store (temperature mapping)", None),
             ("PQ", "WH.tmc", "WHCLD", "PQ of the cold rooms and freezers (temperature mapping)", None),
             ("OQ", "WH.dsq", "WHDSP", "OQ of the dispensary booths and downflow units", None)]
    other += [("IOQ", f"QC.iq{c}", f"QC{c}", f"IQ/OQ of the {n[0].lower() + n[1:]} instruments",
               {"STB": "QC-STB-01", "CHM": "QC-HPLC-01", "MIC": "QC-INC-01"}.get(c)) for c, n in QC_ROOMS]
    for typ, xk, scd, title, etag in other:
        st = acts[xk].start
        appr = st - dt.timedelta(days=10)
        appr = appr if appr <= DATA_DATE else None
        if states[xk] == "done":
            stat = "CL" if (DATA_DATE - acts[xk].actual_finish).days > 12 else "PR"
        elif states[xk] == "started":
            stat = "EX"
        else:
            stat = "AP" if appr else "DR"
        tests = rng.randint(12, 45)
        ndev = 0 if stat in ("DR", "AP") else rng.choice([0, 1, 2, 2, 3])
        prot_n += 1
        pk = tasks[xk]["prj"]
        con.execute("INSERT INTO CQ__PROTOCOL VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (prot_n, proj_ids[pk], act_ids[xk], equip_ids.get(etag), f"{typ}-{scd}-001", title, typ, scd, 1,
                     CQV_TEAM[prot_n % len(CQV_TEAM)], QA_HEAD if appr else None, iso(appr),
                     iso(acts[xk].actual_start), iso(acts[xk].actual_finish), stat, tests,
                     0 if stat in ("DR", "AP") else ndev + rng.choice([0, 1])))
        for j in range(ndev):
            title_d, cause = DEV_TITLES["MAP" if typ == "PQ" else ("OQ" if j % 2 else "IQ")][rng.randrange(4)]
            span = max(0, ((acts[xk].actual_finish or DATA_DATE) - acts[xk].actual_start).days)
            raised = acts[xk].actual_start + dt.timedelta(days=rng.randrange(span + 1))
            sev = rng.choices(["MIN", "MAJ", "CRI"], [0.6, 0.35, 0.05])[0]
            dev_rows.append((raised, prot_n, title_d, sev, cause, rng.choice(CQV_TEAM)))
    # a major deviation on the compressed air PQ whose CAPA is overdue
    pq_ca = con.execute("SELECT prot_id FROM CQ__PROTOCOL WHERE prot_no = 'PQ-CA-001'").fetchone()[0]
    dev_rows.append((dt.date(2025, 9, 15), pq_ca, "Dew point above limit at the nitrogen outlet in Z1", "MAJ", "EQP",
                     "Grainne Lynch"))
    dev_rows.sort(key=lambda r: (r[0], r[1], r[2]))
    for raised, pid, title, sev, cause, who in dev_rows:
        dev_n += 1
        dev_year[raised.year] = dev_year.get(raised.year, 0) + 1
        age = (DATA_DATE - raised).days
        if age > 45 and sev == "MIN":
            stat = "CL"
        elif age > 60:
            stat = "CL" if rng.random() < 0.6 else "CA"
        elif age > 14:
            stat = rng.choice(["UI", "CA"])
        else:
            stat = "OP"
        capa = capa_due = None
        if sev != "MIN" or stat == "CA":
            capa = f"CAPA-{raised.year % 100:02d}-{dev_n + 40:03d}"
            capa_due = raised + dt.timedelta(days=30 if sev in ("MIN", "MAJ") else 14)
        closed = None
        if stat == "CL":
            closed = raised + dt.timedelta(days=rng.randint(10, 40))
            if closed > DATA_DATE:
                closed = DATA_DATE - dt.timedelta(days=rng.randint(1, 5))
        impact = {"MIN": 0.0, "MAJ": float(rng.choice([0, 1, 2, 3])), "CRI": float(rng.choice([5, 8, 10]))}[sev]
        con.execute("INSERT INTO CQ__DEVIATION VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (dev_n, pid, f"DEV-{raised.year % 100:02d}-{dev_year[raised.year]:03d}", title, sev, cause,
                     iso(raised), who, capa, iso(capa_due), stat, iso(closed), impact))

    # change controls
    n_by = {}
    for i, c in enumerate(CHANGES, 1):
        yr = c[5][:4]
        n_by[yr] = n_by.get(yr, 0) + 1
        con.execute("INSERT INTO CQ__CHANGE_CTRL VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[c[0]], f"CC-{yr}-{n_by[yr] * 7 + 10:03d}", c[1], c[2], c[3], c[4], c[5], c[6],
                     float(c[7]), c[8], c[9]))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

PROJ_FK = ("Project (PLN__PROJECT.proj_id)", "INTEGER")
TSK_FK = ("Activity (PLN__TASK.tsk_id)", "INTEGER")

SCHED, RES, RISK, QUAL, EQUIP = "scheduling", "resources", "risk", "qualification", "equipment"

TABLE_META = {
    "PLN__PROJECT": ("Projects of the Carrowmore sterile-injectables facility programme (Norvale Therapeutics "
                     "Ireland): building, project manager, main contractor, budget and estimate at completion, start, "
                     "target, forecast and actual finish, data date, phase code and RAG code", SCHED, {
        "proj_id": ("Project id", "INTEGER"),
        "proj_cd": ("Project code, e.g. CRM-300", "TEXT"),
        "proj_name": ("Project name, e.g. Clean Utilities Block (PW, WFI, Clean Steam, HVAC Plant)", "TEXT"),
        "bldg_cd": ("Building code: PB1 process building, WH1 warehouse, UB1 utilities block, QCL QC laboratory, "
                    "SITE site-wide", "TEXT"),
        "proj_mgr": ("Project manager", "TEXT"),
        "main_ctr": ("Main contractor or delivery team", "TEXT"),
        "budget_eur": ("Approved budget, EUR", "REAL"),
        "eac_eur": ("Estimate at completion (forecast final cost), EUR", "REAL"),
        "start_dt": ("Project start (notice to proceed)", "DATE"),
        "tgt_fin_dt": ("Target (contractual) finish date; total float is measured to it", "DATE"),
        "fcst_fin_dt": ("Forecast finish from the current schedule", "DATE"),
        "act_fin_dt": ("Actual finish; null until finished", "DATE"),
        "data_dt": ("Schedule data date (status date)", "DATE"),
        "phase_cd": ("Project phase code: DES, PRC, CON, CQV or HND", "TEXT"),
        "rag_cd": ("Schedule RAG code: G, A or R", "TEXT"),
    }),
    "PLN__WBS": ("Work breakdown structure of each project: level 1 the project; level 2 design and approvals, "
                 "procurement and vendor manufacture, construction and installation, commissioning qualification and "
                 "handover; level 3 cleanroom zones, utility systems, lab rooms, equipment items and C&Q systems",
                 SCHED, {
        "wbs_id": ("WBS element id", "INTEGER"),
        "proj_id": PROJ_FK,
        "parent_wbs_id": ("Parent WBS element (PLN__WBS.wbs_id); null for the project node", "INTEGER"),
        "wbs_cd": ("WBS code, e.g. CRM-100.3.2", "TEXT"),
        "wbs_name": ("WBS element name, e.g. Zone Z1 - Grade A/B aseptic filling suite, LYO - Lyophiliser", "TEXT"),
        "wbs_lvl": ("Level in the WBS (1 = project)", "INTEGER"),
    }),
    "PLN__CALENDAR": ("Work calendars: office, site 5-day and 6-day, weekend tie-ins to the live Plant 1, C&Q two "
                      "shifts, continuous 24/7 and elapsed vendor lead times", SCHED, {
        "cal_id": ("Calendar id", "INTEGER"),
        "cal_cd": ("Calendar code, e.g. TIE-WKND, CQ-2SH", "TEXT"),
        "cal_name": ("Calendar name with its hours", "TEXT"),
        "work_wk": ("Working days of the week", "TEXT"),
        "hrs_per_day": ("Working hours a day", "REAL"),
        "cal_note": ("What the calendar is used for and what it excludes", "TEXT"),
    }),
    "PLN__CAL_EXCEPTION": ("Non-working days of each calendar: Irish bank holidays, the Christmas shutdown, the "
                           "builders' holiday week, Plant 1 production campaigns and inspection freezes when no "
                           "tie-ins are allowed", SCHED, {
        "exc_id": ("Exception id", "INTEGER"),
        "cal_id": ("Calendar (PLN__CALENDAR.cal_id)", "INTEGER"),
        "exc_dt": ("Non-working date", "DATE"),
        "exc_type": ("Exception type code: BH, XMAS, BLDH, CAMP or INSP", "TEXT"),
        "exc_reason": ("Why the day is not worked", "TEXT"),
    }),
    "PLN__TASK": ("Schedule activities and milestones of every project: discipline, location, durations, current "
                  "baseline dates, early, late and actual dates, total and free float, critical flag, percent "
                  "complete and status code", SCHED, {
        "tsk_id": ("Activity id", "INTEGER"),
        "proj_id": PROJ_FK,
        "wbs_id": ("WBS element (PLN__WBS.wbs_id)", "INTEGER"),
        "cal_id": ("Calendar (PLN__CALENDAR.cal_id)", "INTEGER"),
        "tsk_no": ("Activity number: project prefix and four digits, e.g. PB0210, FF0320, CQ0550", "TEXT"),
        "tsk_desc": ("Activity description", "TEXT"),
        "tsk_type": ("Activity type code: TT, SM or FM", "TEXT"),
        "disc_cd": ("Discipline code: ENG, CIV, STR, ARC, MEC, ELE, PRC, AUT, CQV, QA", "TEXT"),
        "loc_desc": ("Location: building, zone and area", "TEXT"),
        "orig_dur": ("Current planned duration in working days of its calendar", "REAL"),
        "rem_dur": ("Remaining duration in working days", "REAL"),
        "bl_st_dt": ("Start in the project's current baseline", "DATE"),
        "bl_fin_dt": ("Finish in the project's current baseline", "DATE"),
        "es_dt": ("Early (forecast) start", "DATE"),
        "ef_dt": ("Early (forecast) finish", "DATE"),
        "ls_dt": ("Late start; null once complete", "DATE"),
        "lf_dt": ("Late finish; null once complete", "DATE"),
        "as_dt": ("Actual start; null until started", "DATE"),
        "af_dt": ("Actual finish; null until complete", "DATE"),
        "tot_flt": ("Total float in working days to the project's target finish; null once complete", "REAL"),
        "free_flt": ("Free float in working days; null once complete", "REAL"),
        "crit_yn": ("Critical flag: Y or N", "TEXT"),
        "pct_cmpl": ("Percent complete, 0-100", "REAL"),
        "stat_cd": ("Activity status code: NS, IP or CP", "TEXT"),
    }),
    "PLN__TASK_LINK": ("Logic links between activities, with type and lag; some cross projects (equipment installs "
                       "wait for the cleanroom zones, qualification waits for utilities commissioning, equipment SAT "
                       "and the QC lab)", SCHED, {
        "lnk_id": ("Link id", "INTEGER"),
        "pred_tsk_id": ("Predecessor activity (PLN__TASK.tsk_id)", "INTEGER"),
        "succ_tsk_id": ("Successor activity (PLN__TASK.tsk_id)", "INTEGER"),
        "lnk_type": ("Link type: FS, SS or FF", "TEXT"),
        "lag_d": ("Lag in calendar days", "REAL"),
    }),
    "PLN__BASELINE": ("Baselines of each project: BL0 the approved programme baseline, BL1 a re-plan", SCHED, {
        "bl_id": ("Baseline id", "INTEGER"),
        "proj_id": PROJ_FK,
        "bl_cd": ("Baseline code: BL0 or BL1", "TEXT"),
        "bl_name": ("Baseline name", "TEXT"),
        "appr_dt": ("Date the baseline was approved", "DATE"),
        "appr_by": ("Who approved it", "TEXT"),
        "curr_yn": ("Current baseline: Y or N", "TEXT"),
    }),
    "PLN__BL_TASK": ("Activity dates, durations and float stored in each baseline", SCHED, {
        "bl_tsk_id": ("Baseline activity row id", "INTEGER"),
        "bl_id": ("Baseline (PLN__BASELINE.bl_id)", "INTEGER"),
        "tsk_id": TSK_FK,
        "bl_st_dt": ("Start in this baseline", "DATE"),
        "bl_fin_dt": ("Finish in this baseline", "DATE"),
        "bl_dur": ("Duration in this baseline, working days", "REAL"),
        "bl_tot_flt": ("Total float in this baseline, working days", "REAL"),
    }),
    "RES__RESOURCE": ("Resources: subcontract crews, plant, vendor service engineers, consultants and Norvale staff",
                      RES, {
        "res_id": ("Resource id", "INTEGER"),
        "res_cd": ("Resource code, e.g. PANEL-INST, VND-LYO", "TEXT"),
        "res_name": ("Resource name", "TEXT"),
        "res_type": ("Resource type code: CRW, EQP, VND, CON or INT", "TEXT"),
        "trade": ("Trade or discipline, e.g. Cleanrooms, Validation, Freeze drying", "TEXT"),
        "company": ("Company providing the resource (vendor or subcontractor)", "TEXT"),
        "hc": ("Headcount (people or machines)", "INTEGER"),
        "rate_eur_hr": ("Hourly rate per person or machine, EUR", "REAL"),
        "supv": ("Supervisor", "TEXT"),
    }),
    "RES__ASSIGNMENT": ("Resources assigned to activities: planned, actual and remaining hours and cost", RES, {
        "asg_id": ("Assignment id", "INTEGER"),
        "tsk_id": TSK_FK,
        "res_id": ("Resource (RES__RESOURCE.res_id)", "INTEGER"),
        "pln_hrs": ("Planned hours", "REAL"),
        "act_hrs": ("Actual hours to the data date", "REAL"),
        "rem_hrs": ("Remaining hours", "REAL"),
        "pln_cost_eur": ("Planned cost, EUR", "REAL"),
        "act_cost_eur": ("Actual cost to the data date, EUR", "REAL"),
        "rem_cost_eur": ("Remaining cost, EUR", "REAL"),
    }),
    "RSK__RISK": ("Risk register: category, probability, impact, score, cost and schedule exposure, owner, "
                  "mitigation and state", RISK, {
        "rsk_id": ("Risk id", "INTEGER"),
        "proj_id": PROJ_FK,
        "tsk_id": ("Activity the risk affects (PLN__TASK.tsk_id); null for project-wide risks", "INTEGER"),
        "rsk_no": ("Risk number, e.g. RSK-FL-02", "TEXT"),
        "rsk_desc": ("Risk description", "TEXT"),
        "rsk_cat": ("Category, e.g. Supply chain, Quality, Regulatory", "TEXT"),
        "prob": ("Probability 1-5", "INTEGER"),
        "imp": ("Impact 1-5", "INTEGER"),
        "score": ("Risk score = probability x impact", "INTEGER"),
        "cost_exp_eur": ("Cost exposure, EUR", "REAL"),
        "sched_exp_d": ("Schedule exposure, working days", "REAL"),
        "owner": ("Risk owner", "TEXT"),
        "mitig": ("Mitigation", "TEXT"),
        "rsk_stat": ("Risk state code: O, C or R", "TEXT"),
        "raised_dt": ("Date raised", "DATE"),
        "next_rvw_dt": ("Next review date", "DATE"),
    }),
    "CQ__AREA_HANDOVER": ("GMP area handovers: cleanroom rooms of PB1 by zone and grade, warehouse stores and "
                          "dispensary, QC laboratory rooms, with planned, forecast and actual handover, stage and open "
                          "punch items", QUAL, {
        "area_id": ("Area id", "INTEGER"),
        "proj_id": PROJ_FK,
        "tsk_id": ("Activity that releases the area (PLN__TASK.tsk_id)", "INTEGER"),
        "area_cd": ("Area (room) code, e.g. PB1-Z1-101", "TEXT"),
        "area_name": ("Area name", "TEXT"),
        "zone_cd": ("Zone: Z1-Z6 in PB1, WH for the warehouse, QC for the QC laboratory", "TEXT"),
        "grade_cd": ("Cleanroom grade: A, B, C, D or CNC", "TEXT"),
        "area_m2": ("Floor area, m2", "REAL"),
        "pln_ho_dt": ("Handover date in the current baseline", "DATE"),
        "fcst_ho_dt": ("Forecast handover date", "DATE"),
        "act_ho_dt": ("Actual handover; null until released", "DATE"),
        "ho_stg_cd": ("Handover stage code: CN, MC, CQ or RL", "TEXT"),
        "punch_open": ("Open punch list items", "INTEGER"),
        "punch_a_open": ("Open category A punch items (must be closed before handover)", "INTEGER"),
    }),
    "EQ__EQUIPMENT": ("Major equipment of the fill-finish line, the clean utilities and the QC lab: vendor, PO value, "
                      "factory acceptance test (FAT), delivery and site acceptance test (SAT) dates and results",
                      EQUIP, {
        "equip_id": ("Equipment id", "INTEGER"),
        "proj_id": PROJ_FK,
        "tsk_id": ("Install activity (PLN__TASK.tsk_id)", "INTEGER"),
        "area_id": ("Area it is installed in (CQ__AREA_HANDOVER.area_id); null for utilities plant", "INTEGER"),
        "equip_tag": ("Equipment tag, e.g. FL-LYO-01", "TEXT"),
        "equip_desc": ("Equipment description", "TEXT"),
        "vendor": ("Vendor (manufacturer or supplier)", "TEXT"),
        "equip_cls": ("Equipment class: PROC, UTIL or LAB", "TEXT"),
        "po_val_eur": ("Purchase order value, EUR", "REAL"),
        "fat_pln_dt": ("Planned FAT start (current baseline)", "DATE"),
        "fat_act_dt": ("Actual start of the last FAT attempt", "DATE"),
        "fat_res_cd": ("FAT result code: P, C or F; null until tested", "TEXT"),
        "fat_cnt": ("Number of FAT attempts", "INTEGER"),
        "dlv_due_dt": ("Delivery due on site (current baseline)", "DATE"),
        "dlv_act_dt": ("Actual delivery; null until delivered", "DATE"),
        "sat_pln_dt": ("Planned SAT completion (current baseline)", "DATE"),
        "sat_act_dt": ("Actual SAT completion; null until done", "DATE"),
        "sat_res_cd": ("SAT result code: P or C; null until done", "TEXT"),
    }),
    "CQ__PROTOCOL": ("Qualification protocols (IQ, OQ, PQ and combined IQ/OQ) per system: revision, author, "
                     "approval, execution dates, execution status and test counts", QUAL, {
        "prot_id": ("Protocol id", "INTEGER"),
        "proj_id": PROJ_FK,
        "tsk_id": ("Execution activity (PLN__TASK.tsk_id)", "INTEGER"),
        "equip_id": ("Equipment qualified (EQ__EQUIPMENT.equip_id); null for HVAC and lab rooms without a tag",
                     "INTEGER"),
        "prot_no": ("Protocol number, e.g. OQ-WFI-001, OQ-LYO-001-R2", "TEXT"),
        "prot_title": ("Protocol title", "TEXT"),
        "prot_type": ("Protocol type: IQ, OQ, PQ or IOQ", "TEXT"),
        "sys_cd": ("System code, e.g. PW, WFI, CS, CA, HVAC, ISO, FIL, LYO, AC1", "TEXT"),
        "rev_no": ("Revision number", "INTEGER"),
        "author": ("C&Q engineer who wrote it", "TEXT"),
        "approver": ("QA approver; null until approved", "TEXT"),
        "appr_dt": ("Date approved for execution; null until approved", "DATE"),
        "exec_st_dt": ("Execution start; null until started", "DATE"),
        "exec_fin_dt": ("Execution finish; null until executed", "DATE"),
        "exec_stat_cd": ("Execution status code: DR, AP, EX, PR, CL or SU", "TEXT"),
        "test_cnt": ("Number of test cases", "INTEGER"),
        "fail_cnt": ("Test cases failed (discrepancies) so far", "INTEGER"),
    }),
    "CQ__DEVIATION": ("Deviations raised during protocol execution: severity, root cause, CAPA and state", QUAL, {
        "dev_id": ("Deviation id", "INTEGER"),
        "prot_id": ("Protocol (CQ__PROTOCOL.prot_id)", "INTEGER"),
        "dev_no": ("Deviation number, e.g. DEV-25-012", "TEXT"),
        "dev_title": ("What went wrong", "TEXT"),
        "sev_cd": ("Severity code: MIN, MAJ or CRI", "TEXT"),
        "root_cause_cd": ("Root cause code: DOC, EQP, DES, HUM or PRC", "TEXT"),
        "raised_dt": ("Date raised", "DATE"),
        "raised_by": ("Who raised it", "TEXT"),
        "capa_no": ("CAPA number; null when no CAPA", "TEXT"),
        "capa_due_dt": ("CAPA due date", "DATE"),
        "dev_stat_cd": ("Deviation state code: OP, UI, CA or CL", "TEXT"),
        "closed_dt": ("Date closed; null while open", "DATE"),
        "sched_imp_d": ("Schedule impact, working days", "REAL"),
    }),
    "CQ__CHANGE_CTRL": ("GMP change controls: class, GMP impact, raiser, cost and schedule impact, state", QUAL, {
        "cc_id": ("Change control id", "INTEGER"),
        "proj_id": PROJ_FK,
        "cc_no": ("Change control number, e.g. CC-2025-045", "TEXT"),
        "cc_title": ("Change", "TEXT"),
        "cc_cls": ("Change class: MIN or MAJ", "TEXT"),
        "gmp_imp_yn": ("GMP impact: Y or N", "TEXT"),
        "raised_by": ("Who raised it", "TEXT"),
        "raised_dt": ("Date raised", "DATE"),
        "cost_imp_eur": ("Cost impact, EUR (negative = saving)", "REAL"),
        "sched_imp_d": ("Schedule impact, working days (negative = saving)", "REAL"),
        "cc_stat_cd": ("Change control state code: RA, IA, AP, IM, CL or RJ", "TEXT"),
        "appr_dt": ("Date approved or rejected; null while pending", "DATE"),
    }),
}

RELATIONSHIPS = [
    ("PLN__WBS", "PLN__PROJECT", "PLN__WBS.proj_id = PLN__PROJECT.proj_id", "WBS of a project"),
    ("PLN__WBS", "PLN__WBS", "PLN__WBS.parent_wbs_id = PLN__WBS.wbs_id", "Parent WBS element"),
    ("PLN__CAL_EXCEPTION", "PLN__CALENDAR", "PLN__CAL_EXCEPTION.cal_id = PLN__CALENDAR.cal_id",
     "Non-working days of a calendar"),
    ("PLN__TASK", "PLN__PROJECT", "PLN__TASK.proj_id = PLN__PROJECT.proj_id", "Activities of a project"),
    ("PLN__TASK", "PLN__WBS", "PLN__TASK.wbs_id = PLN__WBS.wbs_id", "WBS element of an activity"),
    ("PLN__TASK", "PLN__CALENDAR", "PLN__TASK.cal_id = PLN__CALENDAR.cal_id", "Calendar of an activity"),
    ("PLN__TASK_LINK", "PLN__TASK", "PLN__TASK_LINK.pred_tsk_id = PLN__TASK.tsk_id", "Predecessor of a link"),
    ("PLN__TASK_LINK", "PLN__TASK", "PLN__TASK_LINK.succ_tsk_id = PLN__TASK.tsk_id", "Successor of a link"),
    ("PLN__BASELINE", "PLN__PROJECT", "PLN__BASELINE.proj_id = PLN__PROJECT.proj_id", "Baselines of a project"),
    ("PLN__BL_TASK", "PLN__BASELINE", "PLN__BL_TASK.bl_id = PLN__BASELINE.bl_id", "Rows of a baseline"),
    ("PLN__BL_TASK", "PLN__TASK", "PLN__BL_TASK.tsk_id = PLN__TASK.tsk_id", "Activity a baseline row stores"),
    ("RES__ASSIGNMENT", "RES__RESOURCE", "RES__ASSIGNMENT.res_id = RES__RESOURCE.res_id", "Resource of an assignment"),
    ("RES__ASSIGNMENT", "PLN__TASK", "RES__ASSIGNMENT.tsk_id = PLN__TASK.tsk_id", "Activity a resource works on"),
    ("RSK__RISK", "PLN__PROJECT", "RSK__RISK.proj_id = PLN__PROJECT.proj_id", "Risks of a project"),
    ("RSK__RISK", "PLN__TASK", "RSK__RISK.tsk_id = PLN__TASK.tsk_id", "Activity a risk affects"),
    ("CQ__AREA_HANDOVER", "PLN__PROJECT", "CQ__AREA_HANDOVER.proj_id = PLN__PROJECT.proj_id",
     "Areas of a project's building"),
    ("CQ__AREA_HANDOVER", "PLN__TASK", "CQ__AREA_HANDOVER.tsk_id = PLN__TASK.tsk_id", "Activity that releases an area"),
    ("EQ__EQUIPMENT", "PLN__PROJECT", "EQ__EQUIPMENT.proj_id = PLN__PROJECT.proj_id", "Equipment of a project"),
    ("EQ__EQUIPMENT", "PLN__TASK", "EQ__EQUIPMENT.tsk_id = PLN__TASK.tsk_id", "Install activity of an item"),
    ("EQ__EQUIPMENT", "CQ__AREA_HANDOVER", "EQ__EQUIPMENT.area_id = CQ__AREA_HANDOVER.area_id",
     "Area an item is installed in"),
    ("CQ__PROTOCOL", "PLN__PROJECT", "CQ__PROTOCOL.proj_id = PLN__PROJECT.proj_id", "Protocols of a project"),
    ("CQ__PROTOCOL", "PLN__TASK", "CQ__PROTOCOL.tsk_id = PLN__TASK.tsk_id", "Execution activity of a protocol"),
    ("CQ__PROTOCOL", "EQ__EQUIPMENT", "CQ__PROTOCOL.equip_id = EQ__EQUIPMENT.equip_id", "Equipment a protocol qualifies"),
    ("CQ__DEVIATION", "CQ__PROTOCOL", "CQ__DEVIATION.prot_id = CQ__PROTOCOL.prot_id",
     "Protocol a deviation was raised against"),
    ("CQ__CHANGE_CTRL", "PLN__PROJECT", "CQ__CHANGE_CTRL.proj_id = PLN__PROJECT.proj_id",
     "Change controls of a project"),
]

BUSINESS_RULES = {
    ("PLN__PROJECT", "phase_cd"): ["Allowed Values: DES (design), PRC (procurement and vendor manufacture), CON "
                                   "(construction and installation), CQV (commissioning, qualification and "
                                   "validation), HND (handed over / closed)"],
    ("PLN__PROJECT", "rag_cd"): ["Allowed Values: G (green - more than 10 working days float to the target finish, "
                                 "or finished), A (amber - 0 to 10 days), R (red - forecast after the target finish)"],
    ("PLN__PROJECT", "eac_eur"): ["Over budget: eac_eur > budget_eur"],
    ("PLN__TASK", "stat_cd"): ["Allowed Values: NS (not started), IP (in progress), CP (complete)"],
    ("PLN__TASK", "tsk_type"): ["Allowed Values: TT (task), SM (start milestone), FM (finish milestone); milestones "
                                "have orig_dur = 0"],
    ("PLN__TASK", "crit_yn"): ["Allowed Values: Y, N", "Critical: crit_yn = 'Y' when tot_flt <= 0; complete "
                               "activities are 'N'"],
    ("PLN__TASK", "tot_flt"): ["Negative float: forecast finish after the project's target finish",
                               "Near critical: tot_flt between 1 and 10"],
    ("PLN__TASK", "bl_fin_dt"): ["Slipped: ef_dt > bl_fin_dt"],
    ("PLN__TASK", "disc_cd"): ["Allowed Values: ENG (design engineering), CIV (civils), STR (structure), ARC "
                               "(architectural and cleanroom finishes), MEC (mechanical and HVAC), ELE (electrical), "
                               "PRC (process equipment and vendor supply), AUT (automation and CSV), CQV "
                               "(commissioning and qualification), QA (quality assurance and microbiology)"],
    ("PLN__TASK_LINK", "lnk_type"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to "
                                     "finish)"],
    ("PLN__BASELINE", "curr_yn"): ["Allowed Values: Y, N; one current baseline per project"],
    ("PLN__BASELINE", "bl_cd"): ["Allowed Values: BL0 (approved programme baseline), BL1 (re-plan)"],
    ("PLN__CAL_EXCEPTION", "exc_type"): ["Allowed Values: BH (bank holiday), XMAS (Christmas shutdown), BLDH "
                                         "(builders' holiday), CAMP (Plant 1 production campaign - no tie-ins), INSP "
                                         "(inspection or audit freeze - no tie-ins)"],
    ("RES__RESOURCE", "res_type"): ["Allowed Values: CRW (subcontract crew), EQP (plant and equipment), VND (vendor "
                                    "service engineers), CON (consultants), INT (Norvale internal staff)"],
    ("RSK__RISK", "rsk_stat"): ["Allowed Values: O (open), C (closed), R (realised - the risk has happened)"],
    ("RSK__RISK", "score"): ["High risk: score >= 12"],
    ("CQ__AREA_HANDOVER", "ho_stg_cd"): ["Allowed Values: CN (under construction), MC (mechanically complete), CQ "
                                         "(in qualification), RL (released to GMP operations)"],
    ("CQ__AREA_HANDOVER", "grade_cd"): ["Allowed Values: A, B, C, D (EU GMP Annex 1 cleanroom grades), CNC "
                                        "(controlled not classified)"],
    ("EQ__EQUIPMENT", "fat_res_cd"): ["Allowed Values: P (passed), C (passed with conditions / punch items), F "
                                      "(failed)"],
    ("EQ__EQUIPMENT", "sat_res_cd"): ["Allowed Values: P (passed), C (passed with conditions)"],
    ("EQ__EQUIPMENT", "equip_cls"): ["Allowed Values: PROC (process equipment), UTIL (utility plant), LAB (laboratory "
                                     "equipment)"],
    ("EQ__EQUIPMENT", "dlv_act_dt"): ["Late delivery: dlv_act_dt > dlv_due_dt, or not delivered and dlv_due_dt "
                                      "before the data date"],
    ("CQ__PROTOCOL", "exec_stat_cd"): ["Allowed Values: DR (draft in review), AP (approved for execution), EX "
                                       "(executing), PR (executed - post-execution review), CL (closed - report "
                                       "approved), SU (superseded by a later revision)"],
    ("CQ__PROTOCOL", "prot_type"): ["Allowed Values: IQ (installation qualification), OQ (operational "
                                    "qualification), PQ (performance qualification), IOQ (combined IQ/OQ)"],
    ("CQ__DEVIATION", "sev_cd"): ["Allowed Values: MIN (minor), MAJ (major), CRI (critical)"],
    ("CQ__DEVIATION", "dev_stat_cd"): ["Allowed Values: OP (open), UI (under investigation), CA (CAPA in progress), "
                                       "CL (closed)", "Open deviation: dev_stat_cd <> 'CL'"],
    ("CQ__DEVIATION", "root_cause_cd"): ["Allowed Values: DOC (documentation), EQP (equipment), DES (design), HUM "
                                         "(human error), PRC (process)"],
    ("CQ__DEVIATION", "capa_due_dt"): ["Overdue CAPA: capa_due_dt before the data date and dev_stat_cd <> 'CL'"],
    ("CQ__CHANGE_CTRL", "cc_stat_cd"): ["Allowed Values: RA (raised), IA (impact assessment), AP (approved), IM "
                                        "(implemented), CL (closed), RJ (rejected)",
                                        "Pending: cc_stat_cd IN ('RA', 'IA')"],
    ("CQ__CHANGE_CTRL", "cc_cls"): ["Allowed Values: MIN (minor), MAJ (major)"],
}

CONCEPTS = {
    ("PLN__TASK", "tot_flt"): ["total_float", "critical_path"],
    ("PLN__TASK", "free_flt"): ["free_float"],
    ("PLN__TASK", "crit_yn"): ["critical_path"],
    ("PLN__TASK", "pct_cmpl"): ["percent_complete"],
    ("PLN__TASK", "bl_fin_dt"): ["baseline_variance"],
    ("PLN__BL_TASK", "bl_fin_dt"): ["baseline_variance"],
    ("PLN__TASK_LINK", "lag_d"): ["lag"],
    ("PLN__PROJECT", "eac_eur"): ["cost_variance"],
    ("PLN__PROJECT", "tgt_fin_dt"): ["target_finish"],
    ("RSK__RISK", "score"): ["risk_exposure"],
    ("CQ__PROTOCOL", "exec_stat_cd"): ["qualification"],
    ("CQ__DEVIATION", "capa_no"): ["capa"],
    ("CQ__AREA_HANDOVER", "grade_cd"): ["cleanroom_grade"],
    ("CQ__AREA_HANDOVER", "punch_open"): ["punch_list"],
    ("EQ__EQUIPMENT", "fat_res_cd"): ["fat_sat"],
    ("EQ__EQUIPMENT", "sat_res_cd"): ["fat_sat"],
    ("PLN__CAL_EXCEPTION", "exc_dt"): ["tie_in_window"],
    ("RES__ASSIGNMENT", "act_cost_eur"): ["resource_cost"],
    ("CQ__CHANGE_CTRL", "cc_stat_cd"): ["change_control"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before its project misses its target finish",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a project's finish",
    "percent_complete": "Progress of an activity",
    "lag": "Waiting time on a link in calendar days",
    "baseline_variance": "Forecast dates against the current baseline (or BL0 against BL1); later = slipped",
    "cost_variance": "Estimate at completion against budget",
    "target_finish": "Finish date each project is held to; float is measured to it",
    "risk_exposure": "Probability x impact score of a risk",
    "qualification": "IQ, OQ and PQ protocols proving that a system is installed, operates and performs as intended",
    "capa": "Corrective and preventive action raised from a deviation",
    "cleanroom_grade": "EU GMP Annex 1 grade of a room: A (critical zone), B (background to A), C, D, or not "
                       "classified",
    "punch_list": "Defects found at walkdown still to close before handover",
    "fat_sat": "Factory acceptance test at the vendor and site acceptance test after installation",
    "tie_in_window": "Weekends when connections to the live Plant 1 utilities are allowed",
    "resource_cost": "Cost of crews, vendors and consultants booked to activities",
    "change_control": "GMP change control: assessment and approval of a change before it is made",
}

QUERY_EXAMPLES = [
    ("SELECT proj_cd, proj_name, tgt_fin_dt, fcst_fin_dt, rag_cd FROM PLN__PROJECT ORDER BY tgt_fin_dt;",
     "Projects with target and forecast finish", "simple"),
    ("SELECT t.tsk_no, t.tsk_desc, t.es_dt, t.ef_dt, t.tot_flt FROM PLN__TASK t JOIN PLN__PROJECT p ON p.proj_id = "
     "t.proj_id WHERE p.proj_cd = 'CRM-500' AND t.crit_yn = 'Y' ORDER BY t.es_dt;",
     "Critical activities of a project", "medium"),
    ("SELECT t.tsk_no, t.tsk_desc, t.bl_fin_dt, t.ef_dt FROM PLN__TASK t WHERE t.ef_dt > t.bl_fin_dt "
     "ORDER BY t.tsk_no;", "Activities forecast to finish later than the current baseline", "simple"),
    ("SELECT prot_no, prot_title, appr_dt FROM CQ__PROTOCOL WHERE exec_stat_cd = 'AP' ORDER BY prot_no;",
     "Protocols approved and waiting for execution", "simple"),
    ("SELECT d.dev_no, d.dev_title, d.sev_cd, p.prot_no FROM CQ__DEVIATION d JOIN CQ__PROTOCOL p ON p.prot_id = "
     "d.prot_id WHERE d.dev_stat_cd <> 'CL' ORDER BY d.raised_dt;", "Open deviations with their protocol", "medium"),
    ("SELECT area_cd, area_name, grade_cd, punch_open FROM CQ__AREA_HANDOVER WHERE punch_open > 0 ORDER BY "
     "punch_open DESC;", "Areas with open punch items", "simple"),
    ("SELECT equip_tag, equip_desc, dlv_due_dt, dlv_act_dt FROM EQ__EQUIPMENT WHERE dlv_act_dt > dlv_due_dt;",
     "Equipment delivered late", "simple"),
    ("SELECT e.exc_dt, e.exc_reason FROM PLN__CAL_EXCEPTION e JOIN PLN__CALENDAR c ON c.cal_id = e.cal_id WHERE "
     "c.cal_cd = 'TIE-WKND' AND e.exc_dt >= '2025-10-31' ORDER BY e.exc_dt;",
     "Coming weekends when no tie-ins are allowed", "medium"),
    ("SELECT r.res_name, SUM(a.act_cost_eur) AS cost FROM RES__ASSIGNMENT a JOIN RES__RESOURCE r ON r.res_id = "
     "a.res_id WHERE r.res_type = 'VND' GROUP BY r.res_name ORDER BY cost DESC;", "Actual cost of vendor engineers",
     "medium"),
]

KEYWORDS = {
    "float": ["PLN__TASK.tot_flt", "PLN__TASK.free_flt", "total_float"],
    "TF": ["PLN__TASK.tot_flt"],
    "critical": ["PLN__TASK.crit_yn", "critical_path"],
    "predecessor": ["PLN__TASK_LINK.pred_tsk_id", "PLN__TASK_LINK"],
    "successor": ["PLN__TASK_LINK.succ_tsk_id", "PLN__TASK_LINK"],
    "baseline": ["PLN__BASELINE", "PLN__BL_TASK", "baseline_variance"],
    "project": ["PLN__PROJECT"],
    "activity": ["PLN__TASK"],
    "protocol": ["CQ__PROTOCOL", "qualification"],
    "IQ": ["CQ__PROTOCOL.prot_type"],
    "OQ": ["CQ__PROTOCOL.prot_type"],
    "PQ": ["CQ__PROTOCOL.prot_type"],
    "deviation": ["CQ__DEVIATION"],
    "CAPA": ["CQ__DEVIATION.capa_no", "capa"],
    "change control": ["CQ__CHANGE_CTRL", "change_control"],
    "CC": ["CQ__CHANGE_CTRL"],
    "handover": ["CQ__AREA_HANDOVER", "PLN__PROJECT.act_fin_dt"],
    "room": ["CQ__AREA_HANDOVER"],
    "grade": ["CQ__AREA_HANDOVER.grade_cd", "cleanroom_grade"],
    "punch": ["CQ__AREA_HANDOVER.punch_open", "punch_list"],
    "equipment": ["EQ__EQUIPMENT"],
    "FAT": ["EQ__EQUIPMENT.fat_res_cd", "fat_sat"],
    "SAT": ["EQ__EQUIPMENT.sat_res_cd", "fat_sat"],
    "delivery": ["EQ__EQUIPMENT.dlv_act_dt"],
    "vendor": ["EQ__EQUIPMENT.vendor", "RES__RESOURCE.company"],
    "trade": ["RES__RESOURCE.trade"],
    "tie-in": ["PLN__CALENDAR", "PLN__CAL_EXCEPTION", "tie_in_window"],
    "bank holiday": ["PLN__CAL_EXCEPTION"],
    "risk": ["RSK__RISK"],
    "zone": ["CQ__AREA_HANDOVER.zone_cd", "PLN__WBS.wbs_name", "PLN__TASK.loc_desc"],
}

TERMINOLOGY = {
    "C&Q": "Commissioning and qualification",
    "CQV": "Commissioning, qualification and validation",
    "IQ": "Installation qualification",
    "OQ": "Operational qualification",
    "PQ": "Performance qualification",
    "IOQ": "Combined installation and operational qualification",
    "FAT": "Factory acceptance test at the vendor's works",
    "SAT": "Site acceptance test after installation",
    "CAPA": "Corrective and preventive action",
    "APS": "Aseptic process simulation (media fill)",
    "EM": "Environmental monitoring (viable and non-viable particles)",
    "PW": "Purified water",
    "WFI": "Water for injection",
    "CS": "Clean steam",
    "VHP": "Vaporised hydrogen peroxide decontamination",
    "HPRA": "Health Products Regulatory Authority (Irish medicines regulator)",
    "GMP": "Good manufacturing practice",
    "CNC": "Controlled not classified (area with no cleanroom grade)",
    "CSV": "Computer system validation",
    "LIMS": "Laboratory information management system",
    "EAC": "Estimate at completion",
    "RAG": "Red, amber, green status",
    "TF": "Total float",
    "FF": "Free float",
    "data date": "Date up to which progress is recorded (2025-10-31)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF link": "Finish to finish link",
    "tie-in": "Connection of new services to the live Plant 1 utilities",
}

RELATED_TERMS = {
    "PLN__PROJECT": "project, job, package, building",
    "PLN__TASK": "activity, task, line, milestone, programme",
    "PLN__WBS": "WBS, work breakdown, zone, system, package",
    "RES__RESOURCE": "resource, crew, trade, vendor, subcontractor, consultant, plant",
    "RES__ASSIGNMENT": "assignment, hours, labour cost, resource loading",
    "RSK__RISK": "risk, risk register",
    "CQ__CHANGE_CTRL": "change control, CC, change",
    "CQ__PROTOCOL": "protocol, IQ, OQ, PQ, qualification, validation",
    "CQ__DEVIATION": "deviation, discrepancy, CAPA, NCR",
    "CQ__AREA_HANDOVER": "area handover, room, cleanroom, GMP release, punch list",
    "EQ__EQUIPMENT": "equipment, kit, skid, FAT, SAT, delivery",
    "PLN__TASK_LINK": "link, relationship, dependency, logic, predecessor, successor",
    "PLN__CALENDAR": "calendar, shift, tie-in window",
    "PLN__CAL_EXCEPTION": "holiday, non-working day, shutdown, campaign blackout",
    "PLN__BASELINE": "baseline, re-baseline, re-plan, BL0, BL1",
    "PLN__BL_TASK": "baseline dates, baseline activity",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout24"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="PLN__TASK")


if __name__ == "__main__":
    sys.exit(main())
