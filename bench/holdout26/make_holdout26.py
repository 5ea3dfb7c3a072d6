#!/usr/bin/env python3
"""Build the twenty-sixth schedule database (a shipyard's series of vessel builds, UPPER_SNAKE tables with a
module prefix and a _T suffix, vowel-less abbreviated columns) and its metadata.

Brannock Shipbuilders builds four vessels at its Quayhaven yard on the Tolley estuary: two offshore patrol
vessels (Skua and Fulmar) for the Northern Isles Fisheries Protection Agency, a ro-ro ferry (Glenvora) for
Skerrieline Ferries and a research ship (Halcyon Reach) for the Tollmouth Ocean Institute. Each hull is a
project of its own: basic and production design, class approval, steel and long-lead machinery (main
engines, gearboxes, propellers), block fabrication in the halls and on the panel line, assembly, blasting
and priming, erection on Berth 1 or in Dock 2, machinery installation, hull closure, launch or float-out,
outfitting by zone and system (piping, HVAC, electrical cabling, accommodation), final painting, setting to
work, harbour acceptance tests, inclining, sea trials and delivery. Fulmar was re-baselined after its
gearboxes were damaged in transit; Glenvora after the owner's change request for a hoistable mezzanine car
deck. Besides the schedule there are hull blocks, daily steel throughput by workshop, gantry crane
bookings, weld NDT results, class society findings, owner change requests, equipment deliveries and risks.

Named the way the yard's planning database names things: UPPER_SNAKE tables with a module prefix and a
trailing _T (PRJ_VESSEL_T, SCH_ACTIVITY_T, SCH_LOGIC_T, YRD_BLOCK_T, QA_CLASS_FINDING_T) and lower-case
abbreviated columns without vowels (act_no, act_dscr, pln_strt, pln_fnsh, tot_flt_d, crit_flg Y/N), with
short status codes (NS, WIP, CMP) explained in the metadata.

Durations, remaining durations and float are in WORKING DAYS of the activity's calendar; lags are calendar
days. Each vessel is scheduled by one forward and backward pass against its contract delivery date. Data
date 2026-03-13.

Outputs go to bench/out/holdout26/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 262626
DATA_DATE = dt.date(2026, 3, 13)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import (WorkDays, activity_at, anchored_baselines, assignment_hours,  # noqa: E402
                            baseline_activities, check_with_history, default_out, forward_backward, gather_plans,
                            describe_tables, main as build_main, metadata_document, day_span as _span,
                            insert_calendars, iso, logic_links, parse_pred, shown_dates, stage_at, worked_days)
DB_NAME = "holdout26_schedule.db"
META_NAME = "holdout26_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE PRJ_VESSEL_T (
    vsl_id INTEGER PRIMARY KEY, hull_no TEXT NOT NULL UNIQUE, vsl_nm TEXT NOT NULL, vsl_typ TEXT NOT NULL,
    ownr_nm TEXT NOT NULL, ownr_rep TEXT NOT NULL, prj_mgr TEXT NOT NULL, bld_pos TEXT NOT NULL,
    bdgt_gbp REAL NOT NULL, fcst_cst_gbp REAL NOT NULL, stl_wt_t REAL NOT NULL, cntr_strt_dt TEXT NOT NULL,
    cntr_dlv_dt TEXT NOT NULL, fcst_lnch_dt TEXT NOT NULL, act_lnch_dt TEXT, fcst_dlv_dt TEXT NOT NULL,
    act_dlv_dt TEXT, data_dt TEXT NOT NULL, bld_stg TEXT NOT NULL, rag_cd TEXT NOT NULL,
    curr_bl_no INTEGER NOT NULL, rbl_aprv_dt TEXT, rbl_rsn TEXT
);
CREATE TABLE SCH_CALENDAR_T (
    cal_id INTEGER PRIMARY KEY, cal_cd TEXT NOT NULL UNIQUE, cal_nm TEXT NOT NULL, wrk_ptn TEXT NOT NULL,
    hrs_dy REAL NOT NULL, cal_nts TEXT
);
CREATE TABLE SCH_CAL_EXCP_T (
    excp_id INTEGER PRIMARY KEY, cal_id INTEGER NOT NULL REFERENCES SCH_CALENDAR_T(cal_id), excp_dt TEXT NOT NULL,
    excp_typ TEXT NOT NULL, excp_rsn TEXT NOT NULL
);
CREATE TABLE YRD_BLOCK_T (
    blk_id INTEGER PRIMARY KEY, vsl_id INTEGER NOT NULL REFERENCES PRJ_VESSEL_T(vsl_id), blk_no TEXT NOT NULL,
    blk_dscr TEXT NOT NULL, zn_cd TEXT NOT NULL, stl_wt_t REAL NOT NULL, wkshp_cd TEXT NOT NULL,
    erc_seq INTEGER NOT NULL, blk_sts TEXT NOT NULL, erc_dt TEXT
);
CREATE TABLE SCH_ACTIVITY_T (
    act_id INTEGER PRIMARY KEY, vsl_id INTEGER NOT NULL REFERENCES PRJ_VESSEL_T(vsl_id),
    cal_id INTEGER NOT NULL REFERENCES SCH_CALENDAR_T(cal_id), blk_id INTEGER REFERENCES YRD_BLOCK_T(blk_id),
    act_no TEXT NOT NULL UNIQUE, act_dscr TEXT NOT NULL, act_typ TEXT NOT NULL, wrk_pkg TEXT NOT NULL, zn_cd TEXT,
    dur_d REAL NOT NULL, rem_dur_d REAL NOT NULL, bl_strt TEXT, bl_fnsh TEXT, pln_strt TEXT NOT NULL,
    pln_fnsh TEXT NOT NULL, lt_strt TEXT, lt_fnsh TEXT, act_strt TEXT, act_fnsh TEXT, tot_flt_d REAL,
    free_flt_d REAL, crit_flg TEXT NOT NULL, pct_cmp REAL NOT NULL, sts_cd TEXT NOT NULL
);
CREATE TABLE SCH_LOGIC_T (
    lgc_id INTEGER PRIMARY KEY, pred_act_id INTEGER NOT NULL REFERENCES SCH_ACTIVITY_T(act_id),
    succ_act_id INTEGER NOT NULL REFERENCES SCH_ACTIVITY_T(act_id), lnk_typ TEXT NOT NULL, lag_d REAL NOT NULL
);
CREATE TABLE SCH_BL_ACT_T (
    bl_act_id INTEGER PRIMARY KEY, vsl_id INTEGER NOT NULL REFERENCES PRJ_VESSEL_T(vsl_id),
    act_id INTEGER NOT NULL REFERENCES SCH_ACTIVITY_T(act_id), bl_no INTEGER NOT NULL, bl_nm TEXT NOT NULL,
    curr_flg TEXT NOT NULL, bl_strt TEXT NOT NULL, bl_fnsh TEXT NOT NULL, bl_dur_d REAL NOT NULL, bl_tot_flt_d REAL
);
CREATE TABLE RSC_RESOURCE_T (
    rsc_id INTEGER PRIMARY KEY, rsc_cd TEXT NOT NULL UNIQUE, rsc_nm TEXT NOT NULL, rsc_typ TEXT NOT NULL,
    trd_nm TEXT NOT NULL, cmpny_nm TEXT NOT NULL, hdcnt INTEGER NOT NULL, hr_rt_gbp REAL NOT NULL, spvsr TEXT NOT NULL
);
CREATE TABLE RSC_ASSIGN_T (
    asgn_id INTEGER PRIMARY KEY, act_id INTEGER NOT NULL REFERENCES SCH_ACTIVITY_T(act_id),
    rsc_id INTEGER NOT NULL REFERENCES RSC_RESOURCE_T(rsc_id), pln_hrs REAL NOT NULL, act_hrs REAL NOT NULL,
    rem_hrs REAL NOT NULL, pln_cst_gbp REAL NOT NULL, act_cst_gbp REAL NOT NULL
);
CREATE TABLE YRD_STEEL_OUT_T (
    out_id INTEGER PRIMARY KEY, wkshp_cd TEXT NOT NULL, wrk_dt TEXT NOT NULL,
    blk_id INTEGER NOT NULL REFERENCES YRD_BLOCK_T(blk_id), stl_prcsd_t REAL NOT NULL, tgt_t REAL NOT NULL,
    wld_m REAL NOT NULL
);
CREATE TABLE YRD_CRANE_BKG_T (
    bkg_id INTEGER PRIMARY KEY, bkg_no TEXT NOT NULL UNIQUE, rsc_id INTEGER NOT NULL REFERENCES RSC_RESOURCE_T(rsc_id),
    act_id INTEGER NOT NULL REFERENCES SCH_ACTIVITY_T(act_id), blk_id INTEGER REFERENCES YRD_BLOCK_T(blk_id),
    bkg_dt TEXT NOT NULL, strt_tm TEXT NOT NULL, end_tm TEXT NOT NULL, lift_wt_t REAL NOT NULL, bkg_sts TEXT NOT NULL,
    wnd_hld_hrs REAL NOT NULL, cxl_rsn TEXT
);
CREATE TABLE QA_NDT_T (
    ndt_id INTEGER PRIMARY KEY, blk_id INTEGER NOT NULL REFERENCES YRD_BLOCK_T(blk_id),
    act_id INTEGER NOT NULL REFERENCES SCH_ACTIVITY_T(act_id), wld_sm TEXT NOT NULL, ndt_mthd TEXT NOT NULL,
    tst_dt TEXT NOT NULL, tstd_by TEXT NOT NULL, rslt_cd TEXT NOT NULL, dfct_typ TEXT, rpr_dt TEXT
);
CREATE TABLE QA_CLASS_FINDING_T (
    fnd_id INTEGER PRIMARY KEY, vsl_id INTEGER NOT NULL REFERENCES PRJ_VESSEL_T(vsl_id),
    act_id INTEGER NOT NULL REFERENCES SCH_ACTIVITY_T(act_id), blk_id INTEGER REFERENCES YRD_BLOCK_T(blk_id),
    insp_no TEXT NOT NULL, insp_typ TEXT NOT NULL, insp_dt TEXT NOT NULL, srvyr TEXT NOT NULL, fnd_no TEXT NOT NULL UNIQUE,
    fnd_dscr TEXT NOT NULL, fnd_ctg TEXT NOT NULL, due_dt TEXT NOT NULL, clsd_dt TEXT, fnd_sts TEXT NOT NULL
);
CREATE TABLE PRJ_CHANGE_REQ_T (
    cr_id INTEGER PRIMARY KEY, vsl_id INTEGER NOT NULL REFERENCES PRJ_VESSEL_T(vsl_id),
    act_id INTEGER REFERENCES SCH_ACTIVITY_T(act_id), cr_no TEXT NOT NULL UNIQUE, cr_ttl TEXT NOT NULL,
    rqstd_by TEXT NOT NULL, rsd_dt TEXT NOT NULL, cst_imp_gbp REAL NOT NULL, dly_imp_d REAL NOT NULL,
    cr_sts TEXT NOT NULL, dcsn_dt TEXT
);
CREATE TABLE MAT_DELIVERY_T (
    dlv_id INTEGER PRIMARY KEY, vsl_id INTEGER NOT NULL REFERENCES PRJ_VESSEL_T(vsl_id),
    act_id INTEGER NOT NULL REFERENCES SCH_ACTIVITY_T(act_id), itm_cd TEXT NOT NULL, itm_dscr TEXT NOT NULL,
    splr_nm TEXT NOT NULL, po_no TEXT NOT NULL, qty INTEGER NOT NULL, req_dt TEXT NOT NULL, fcst_dt TEXT NOT NULL,
    rcvd_dt TEXT, dlv_sts TEXT NOT NULL
);
CREATE TABLE PRJ_RISK_T (
    rsk_id INTEGER PRIMARY KEY, vsl_id INTEGER NOT NULL REFERENCES PRJ_VESSEL_T(vsl_id),
    act_id INTEGER REFERENCES SCH_ACTIVITY_T(act_id), rsk_no TEXT NOT NULL UNIQUE, rsk_ttl TEXT NOT NULL,
    rsk_ctg TEXT NOT NULL, prob INTEGER NOT NULL, imp INTEGER NOT NULL, rsk_scr INTEGER NOT NULL,
    rsk_ownr TEXT NOT NULL, rsk_sts TEXT NOT NULL, cst_exp_gbp REAL NOT NULL, sch_exp_d REAL NOT NULL,
    mtgtn TEXT NOT NULL, rsd_dt TEXT NOT NULL, nxt_rvw_dt TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

HOLIDAYS = {
    "2024-01-01": "New Year's Day", "2024-03-29": "Good Friday", "2024-04-01": "Easter Monday",
    "2024-05-06": "May Day", "2024-05-27": "Spring holiday", "2024-08-26": "Late summer holiday",
    "2024-12-25": "Christmas Day", "2024-12-26": "Boxing Day", "2025-01-01": "New Year's Day",
    "2025-04-18": "Good Friday", "2025-04-21": "Easter Monday", "2025-05-05": "May Day",
    "2025-05-26": "Spring holiday", "2025-08-25": "Late summer holiday", "2025-12-25": "Christmas Day",
    "2025-12-26": "Boxing Day", "2026-01-01": "New Year's Day", "2026-04-03": "Good Friday",
    "2026-04-06": "Easter Monday", "2026-05-04": "May Day", "2026-05-25": "Spring holiday",
    "2026-08-31": "Late summer holiday", "2026-12-25": "Christmas Day", "2026-12-28": "Boxing Day (substitute)",
    "2027-01-01": "New Year's Day", "2027-03-26": "Good Friday", "2027-03-29": "Easter Monday",
    "2027-05-03": "May Day", "2027-05-31": "Spring holiday", "2027-08-30": "Late summer holiday",
}
CAL_FROM, CAL_TO = dt.date(2024, 1, 1), dt.date(2027, 12, 31)
SUMMER = _span("2024-07-22", "2024-08-02") + _span("2025-07-21", "2025-08-01") + _span("2026-07-20", "2026-07-31") \
    + _span("2027-07-19", "2027-07-30")
XMAS = _span("2024-12-23", "2025-01-03") + _span("2025-12-22", "2026-01-02") + _span("2026-12-21", "2027-01-01") \
    + _span("2027-12-20", "2027-12-31")
STAND_DOWN = {"2025-03-26": "Yard-wide safety stand-down after the Hall A lifting near miss",
              "2026-02-11": "Yard-wide safety stand-down (hot work permit review)"}

CALENDARS = [
    # id, code, name, work days (0 = Mon), pattern, hours a day, notes, kind
    (1, "OFF-5D", "Design and project office Mon-Fri", {0, 1, 2, 3, 4}, "Mon-Fri", 7.5,
     "Design, class approval and project management; public holidays and the yard shutdowns", "office"),
    (2, "YRD-2S", "Fabrication halls and panel line, two shifts Mon-Fri", {0, 1, 2, 3, 4}, "Mon-Fri", 16.0,
     "Steel cutting, fabrication and block assembly on day and back shift (06:00-22:00)", "yard"),
    (3, "BRT-6D", "Berth, dock and afloat outfitting Mon-Sat", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 10.0,
     "Block erection, machinery installation, outfitting, commissioning and harbour tests; Saturdays worked",
     "yard"),
    (4, "PNT-7D", "Paint cells Mon-Sun", set(range(7)), "Mon-Sun", 12.0,
     "Blast and paint cells and hull painting, seven days for cure times; closed over the shutdowns", "yard"),
    (5, "TRL-7D", "Sea trials, round the clock", set(range(7)), "Mon-Sun", 24.0,
     "Sea trials at sea; no holidays", "elapsed"),
    (6, "ELP-7D", "Elapsed calendar days", set(range(7)), "Mon-Sun", 24.0,
     "Supplier manufacture and delivery lead times; no exceptions", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.crew_hours = min(self.hrs, 16.0)
        self.off = {}
        if kind == "elapsed":
            return
        for iso_d, name in HOLIDAYS.items():
            self.off[dt.date.fromisoformat(iso_d)] = ("BH", name)
        for d in XMAS:
            self.off.setdefault(d, ("CSD", "Christmas and New Year yard shutdown"))
        for d in SUMMER:
            self.off.setdefault(d, ("SSD", "Summer yard shutdown (two weeks)"))
        for iso_d, why in STAND_DOWN.items():
            self.off.setdefault(dt.date.fromisoformat(iso_d), ("SFD", why))


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, YRD, BRT, PNT, TRL, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

YARD = "Brannock Shipbuilders"
DIRECTOR = "Fenella Straker"       # yard managing director, approves baselines
PLANNER = "Oskar Lindgren"         # head of planning
CLASS_SOC = "Aldmark Register of Shipping"
SURVEYORS = ["Henrik Solberg", "Aoife Brennan", "Ravi Chandran"]
NDT_TECHS = ["Yusuf Adeyemi", "Marta Kowalczyk", "Lars Brekke"]

VESSELS = [
    # key, hull no, name, type, owner, owner's rep, project manager, build position, contract start,
    # margin (working days), budget GBP m, cost factor, re-baseline (approved date, reason)
    ("SKU", "BN-431", "Skua", "OPV", "Northern Isles Fisheries Protection Agency", "Cdr Elspeth Marwick",
     "Gideon Ashdown", "BERTH-1", dt.date(2024, 9, 2), 10, 38.0, 1.03, None),
    ("FUL", "BN-432", "Fulmar", "OPV", "Northern Isles Fisheries Protection Agency", "Cdr Elspeth Marwick",
     "Gideon Ashdown", "BERTH-1", dt.date(2025, 3, 3), 0, 36.5, 1.08,
     (dt.date(2025, 12, 15), "BL1 re-baseline after gearbox transit damage")),
    ("GLN", "BN-440", "Glenvora", "RORO", "Skerrieline Ferries", "Morven Tasker", "Celia Brandauer", "DOCK-2",
     dt.date(2025, 4, 7), 0, 71.0, 1.11,
     (dt.date(2025, 10, 20), "BL1 re-baseline for owner change CR-440-003 (mezzanine car deck)")),
    ("HLC", "BN-450", "Halcyon Reach", "RV", "Tollmouth Ocean Institute", "Dr Oona Fairlie", "Tobias Wren",
     "BERTH-1", dt.date(2025, 10, 6), 8, 52.0, 1.02, None),
]
VESSEL = {v[0]: v for v in VESSELS}

BLOCKS = {
    # vessel: (block no, description, zone, steel t, workshop), in erection order
    "SKU": [("210", "Engine room double bottom", "ER", 160, "PNL-1"),
            ("220", "Engine room upper and funnel casing", "ER", 120, "HALL-A"),
            ("110", "Aft body and steering gear flat", "AFT", 135, "HALL-A"),
            ("310", "Forward hull and accommodation lower decks", "ACC", 150, "PNL-1"),
            ("320", "Bow, forepeak and bow thruster", "FWD", 95, "HALL-B"),
            ("410", "Superstructure and wheelhouse", "BRG", 85, "HALL-B")],
    "GLN": [("211", "Engine room double bottom port", "ER", 210, "PNL-1"),
            ("212", "Engine room double bottom starboard", "ER", 205, "PNL-1"),
            ("213", "Engine room upper and aft vehicle deck", "ER", 240, "HALL-A"),
            ("112", "Aft propulsion and steering", "AFT", 180, "HALL-A"),
            ("111", "Stern ramp block", "AFT", 150, "HALL-B"),
            ("214", "Midship vehicle deck", "VEH", 260, "PNL-1"),
            ("311", "Forward vehicle deck and bow thrusters", "VEH", 230, "HALL-A"),
            ("312", "Bow and bow visor", "FWD", 170, "HALL-B"),
            ("411", "Passenger deck and lounges", "PAX", 190, "HALL-B"),
            ("412", "Wheelhouse and funnel", "BRG", 110, "HALL-B")],
    "HLC": [("201", "Engine room double bottom", "ER", 175, "PNL-1"),
            ("102", "Aft propulsion and steering", "AFT", 140, "HALL-A"),
            ("101", "Aft working deck and A-frame seat", "AFT", 150, "HALL-A"),
            ("202", "Midship laboratories lower", "LAB", 165, "PNL-1"),
            ("203", "Moon pool and drop keel block", "LAB", 155, "HALL-B"),
            ("301", "Bow and thrusters", "FWD", 120, "HALL-B"),
            ("401", "Accommodation and dry labs deck", "ACC", 130, "HALL-A"),
            ("402", "Wheelhouse and mast", "BRG", 80, "HALL-B")],
}
BLOCKS["FUL"] = BLOCKS["SKU"]
ZONE_NAME = {"ER": "Engine room", "ACC": "Accommodation", "BRG": "Bridge and wheelhouse", "VEH": "Vehicle deck",
             "PAX": "Passenger lounges", "LAB": "Science laboratories", "AFT": "Aft body", "FWD": "Forward body"}
ZONES = {
    "SKU": [("ER", ["pip", "hvac", "cbl"]), ("ACC", ["pip", "hvac", "cbl", "acc"]), ("BRG", ["hvac", "cbl", "con"])],
    "GLN": [("ER", ["pip", "hvac", "cbl"]), ("VEH", ["pip", "hvac", "cbl"]), ("PAX", ["pip", "hvac", "cbl", "acc"]),
            ("BRG", ["hvac", "cbl", "con"])],
    "HLC": [("ER", ["pip", "hvac", "cbl"]), ("LAB", ["pip", "hvac", "cbl", "lab"]), ("ACC", ["pip", "hvac", "cbl", "acc"]),
            ("BRG", ["hvac", "cbl", "con"])],
}
ZONES["FUL"] = ZONES["SKU"]
SYSTEM = {"pip": ("Piping systems installation", 40, "PIP"), "hvac": ("HVAC ducting and units", 25, "HVAC"),
          "cbl": ("Electrical cable pulling and termination", 50, "CBL"),
          "acc": ("Accommodation joinery and fit-out", 50, "ACC"),
          "con": ("Bridge consoles and navigation equipment", 20, "CBL"),
          "lab": ("Laboratory fit-out and scientific services", 40, "ACC")}
SCALE = {"SKU": 1.0, "FUL": 1.0, "GLN": 1.3, "HLC": 1.1}

# slips (working days added to the duration) and the activities added with a re-baseline
SLIPS = {"SKU.tnk": 3, "SKU.st": 2, "SKU.ACC.acc": 6, "SKU.220.fab": 4,
         "FUL.po.gb": 0, "FUL.310.fab": 5, "FUL.ER.cbl": 4,
         "GLN.po.me": 30, "GLN.214.fab": 6, "GLN.dd": 10,
         "HLC.dd": 12, "HLC.po.stl": 14}
AFTER_REBASE = {"FUL.ER.cbl": 8, "FUL.stw": 6, "FUL.ACC.acc": 10,
                "GLN.po.me": 25, "GLN.214.asm": 4, "GLN.311.fab": 8, "GLN.213.erc": 3}
BERTH_FOLLOWS = {"FUL": "SKU", "HLC": "FUL"}


class Plan:
    def __init__(self, key):
        self.key = key
        self.tasks = []

    def add(self, key, name, dur, pkg, preds=(), cal=BRT, kind=None, ms=None, zone=None, blk=None, new=False,
            snet=None):
        full = f"{self.key}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, pkg=pkg,
                               preds=[p[1:] if p.startswith("@") else f"{self.key}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, zone=zone, blk=blk, new=new, vsl=self.key,
                               slip=SLIPS.get(full, 0), snet=snet))
        return key


def plan_vessel(p):
    v = VESSEL[p.key]
    sk, typ, nm = p.key, v[3], v[2]
    sc = SCALE[sk]
    blocks = BLOCKS[sk]
    p.add("ctr", f"Contract effective - {nm}", 0, "DES", ms="S", cal=OFF)
    p.add("bd", "Basic design and class approval drawings", 80, "DES", ["ctr"], cal=OFF, kind="DES")
    p.add("dd", "Detail and production design", round(150 * sc), "DES", ["bd:SS30"], cal=OFF, kind="DES")
    p.add("cls", f"Class approval of hull structure drawings ({CLASS_SOC})", 20, "DES", ["bd"], cal=OFF, kind="DES")
    p.add("po.stl", "Steel plate and sections - first delivery", 60, "PRC", ["bd:SS20"], cal=ELP)
    p.add("po.me", "Main engines - manufacture, factory acceptance test and delivery", 330 if typ == "RORO" else 300,
          "PRC", ["ctr"], cal=ELP)
    p.add("po.gb", "Reduction gearboxes - manufacture and delivery", 270, "PRC", ["ctr"], cal=ELP)
    if sk == "FUL":
        p.add("gbr", "Replacement gearbox manufacture after transit damage", 100, "PRC", ["po.gb"], cal=ELP, new=True)
    p.add("po.prp", "Propellers, shafting and rudders - manufacture and delivery", 240, "PRC", ["bd"], cal=ELP)
    if typ == "RORO":
        p.add("po.rmp", "Stern ramp and bow visor - manufacture and delivery", 280, "PRC", ["bd"], cal=ELP)
        p.add("mzn", "Design and steel for hoistable mezzanine car deck (owner change CR-440-003)", 40, "DES",
              ["dd:SS60"], cal=OFF, kind="DES", new=True, snet=dt.date(2025, 10, 20))
    if typ == "RV":
        p.add("po.sci", "A-frame, trawl winches and multibeam sonar - manufacture and delivery", 300, "PRC", ["bd"],
              cal=ELP)
    p.add("sc", f"First steel cut - {nm}", 0, "HUL", ["po.stl", "cls", "dd:SS40"], cal=YRD, ms="F")
    prev_fab = prev_erc = None
    first_er = blocks[0][0]
    for i, (bno, dscr, zone, steel, shop) in enumerate(blocks):
        fab_p = ["sc"] + ([f"{prev_fab}.fab:SS8"] if prev_fab else [])
        if sk == "GLN" and bno in ("214", "311"):
            fab_p.append("mzn")
        p.add(f"{bno}.fab", f"Fabricate block {bno} - {dscr}", round(steel / 7), "HUL", fab_p, cal=YRD, kind="FAB",
              zone=zone, blk=bno)
        p.add(f"{bno}.asm", f"Assemble and pre-outfit block {bno}", 10, "HUL", [f"{bno}.fab"], cal=YRD, kind="ASM",
              zone=zone, blk=bno)
        p.add(f"{bno}.pnt", f"Blast and prime block {bno}", 6, "PNT", [f"{bno}.asm"], cal=PNT, kind="PNT", zone=zone,
              blk=bno)
        erc_p = [f"{bno}.pnt"] + ([f"{prev_erc}.erc"] if prev_erc else [])
        if i == 0 and sk in BERTH_FOLLOWS:
            erc_p.append(f"@{BERTH_FOLLOWS[sk]}.lch")
        if zone == "ER" and bno != first_er:
            erc_p.append("me.ins")
        p.add(f"{bno}.erc", f"Erect block {bno} on {'Dock 2' if typ == 'RORO' else 'Berth 1'}", 5, "HUL", erc_p,
              cal=BRT, kind="ERC", zone=zone, blk=bno)
        if i == 0:
            p.add("kl", f"Keel laying - first block {bno} on {'Dock 2' if typ == 'RORO' else 'Berth 1'}", 0, "HUL",
                  [f"{bno}.erc"], cal=BRT, ms="F")
            p.add("me.ins", "Land and seat main engines and generator sets", 8, "MCH", [f"{bno}.erc", "po.me"],
                  cal=BRT, kind="MCH", zone="ER")
            p.add("gb.ins", "Install and align reduction gearboxes", 6, "MCH",
                  ["me.ins:SS2", "po.gb"] + (["gbr"] if sk == "FUL" else []), cal=BRT, kind="MCH", zone="ER")
        prev_fab, prev_erc = bno, bno
    last_erc = [f"{b[0]}.erc" for b in blocks]
    p.add("hc", f"Hull closure - {nm}", 0, "HUL", last_erc + ["me.ins"], cal=BRT, ms="F")
    p.add("tnk", "Tank hydrostatic and air tests", 10, "HUL", ["hc"], cal=BRT, kind="TST")
    p.add("sft", "Fit shaft lines, propellers and rudders", 8, "MCH", ["hc", "po.prp", "gb.ins"], cal=BRT, kind="MCH",
          zone="AFT")
    p.add("upnt", "Underwater hull blasting and painting", 8, "PNT", ["tnk"], cal=PNT, kind="PNT")
    extra_lch = []
    if typ == "RORO":
        p.add("rmp", "Install stern ramp and bow visor", 12, "MCH", ["111.erc", "312.erc", "po.rmp"], cal=BRT,
              kind="MCH", zone="VEH")
    if typ == "RV":
        p.add("sci", "Install A-frame, trawl winches and multibeam gondola", 15, "MCH", ["101.erc", "203.erc", "po.sci"],
              cal=BRT, kind="MCH", zone="LAB")
        extra_lch.append("sci")
    p.add("lch", f"{'Float-out from Dock 2' if typ == 'RORO' else 'Launch from Berth 1'} - {nm}", 0, "HUL",
          ["sft", "upnt"] + extra_lch, cal=BRT, ms="F")
    zone_last, cables, fits = {}, [], []
    for zone, systems in ZONES[sk]:
        zb = [f"{b[0]}.erc" for b in blocks if b[2] == zone]
        zname = ZONE_NAME[zone]
        for sy in systems:
            title, dur, kind = SYSTEM[sy]
            d = round(dur * sc)
            if sy == "pip":
                pr = zb + (["me.ins"] if zone == "ER" else [])
            elif sy == "hvac":
                pr = [f"{zone}.pip:SS5"] if "pip" in systems else zb
            elif sy == "cbl":
                pr = [f"{zone}.pip:SS10"] if "pip" in systems else zb
            else:
                pr = [f"{zone}.hvac:SS10", f"{zone}.cbl:SS15"]
            p.add(f"{zone}.{sy}", f"{title} - {zname}", d, "OUT", pr, cal=BRT, kind=kind, zone=zone)
            if sy == "cbl":
                cables.append(f"{zone}.cbl")
            if sy in ("acc", "lab", "con"):
                fits.append(f"{zone}.{sy}")
            zone_last[zone] = f"{zone}.{sy}"
    p.add("fpnt", "Final painting of topsides and superstructure", 10, "PNT", ["lch"] + fits, cal=PNT, kind="PNT")
    p.add("stw", "Setting to work of main and auxiliary machinery", 15, "TST", ["lch", "ER.pip", "ER.cbl", "gb.ins"],
          cal=BRT, kind="COM", zone="ER")
    p.add("hat", "Harbour acceptance tests", 15, "TST", ["stw"] + cables + (["rmp"] if typ == "RORO" else []),
          cal=BRT, kind="COM")
    p.add("inc", "Inclining experiment", 1, "TST", ["hat", "fpnt"] + fits, cal=BRT, kind="COM")
    p.add("st", "Builder's and owner's sea trials", 7, "TST", ["inc"], cal=TRL, kind="TRL")
    p.add("dfx", "Post-trials defect rectification and final docking", 10, "TST", ["st"], cal=BRT, kind="COM")
    p.add("dlv", f"Delivery and handover to owner - {nm}", 0, "DLV", ["dfx"], cal=BRT, ms="F")


def make_plan(v):
    plan = Plan(v[0])
    plan_vessel(plan)
    return plan


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its vessel's contract delivery."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "vsl")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


RESOURCES = [
    # code, name, type, trade, company, headcount, hourly rate GBP, supervisor
    ("DES-NAV", "Naval architecture and production design office", "LAB", "Design", YARD, 10, 48.0,
     "Ingrid Halvorsen"),
    ("WLD-A", "Hall A welders", "LAB", "Welding", YARD, 18, 36.5, "Declan Roarty"),
    ("WLD-B", "Hall B and panel line welders", "LAB", "Welding", YARD, 16, 36.5, "Sunniva Krogh"),
    ("FIT-HUL", "Hull fitters (plating and framing)", "LAB", "Fitting", YARD, 14, 35.0, "Piotr Zawada"),
    ("ERC-SQD", "Berth and dock erection squad", "LAB", "Erection", YARD, 12, 37.0, "Malachy Dunne"),
    ("RIG-1", "Riggers and banksmen", "LAB", "Rigging", YARD, 6, 33.0, "Malachy Dunne"),
    ("MCH-FIT", "Marine engineering fitters", "LAB", "Mechanical", YARD, 8, 39.5, "Eamon Kerrigan"),
    ("PIP-1", "Pipefitters", "LAB", "Piping", YARD, 12, 38.0, "Roisin Cahill"),
    ("ELE-SUB", "Electrical cabling subcontractor", "SUB", "Electrical", "Voltmarsh Marine Electrical", 14, 44.0,
     "Kofi Mensah"),
    ("HVAC-SUB", "HVAC subcontractor", "SUB", "HVAC", "Coldharbour Ventilation", 6, 42.0, "Tuva Lindqvist"),
    ("PNT-SUB", "Blasting and painting subcontractor", "SUB", "Painting", "Grayling Coatings", 10, 34.0,
     "Hamish Orrell"),
    ("ACC-SUB", "Accommodation joinery subcontractor", "SUB", "Outfit joinery", "Larchwood Marine Interiors", 8, 39.0,
     "Beatriz Sousa"),
    ("COM-ENG", "Commissioning engineers", "LAB", "Commissioning", YARD, 5, 52.0, "Anneli Sorensen"),
    ("TRL-CRW", "Delivery and trials crew", "SUB", "Trials", "Seaward Crewing Services", 14, 45.0,
     "Capt Rhodri Vance"),
    ("NDT-SUB", "NDT inspection subcontractor", "SUB", "NDT", "Echofield Inspection Services", 3, 55.0,
     "Yusuf Adeyemi"),
    ("GC-1", "Goliath gantry crane 600t (Berth 1)", "EQP", "Lifting", YARD, 1, 410.0, "Malachy Dunne"),
    ("GC-2", "Gantry crane 350t (Dock 2)", "EQP", "Lifting", YARD, 1, 320.0, "Malachy Dunne"),
    ("MC-120", "120t mobile crane (hired)", "EQP", "Lifting", "Tolley Crane Hire", 1, 260.0, "Malachy Dunne"),
]
KIND_RSRC = {"DES": ["DES-NAV"], "FAB": ["WLD", "FIT-HUL"], "ASM": ["FIT-HUL", "WLD"], "PNT": ["PNT-SUB"],
             "ERC": ["ERC-SQD", "RIG-1", "CRANE"], "MCH": ["MCH-FIT", "RIG-1"], "PIP": ["PIP-1"],
             "HVAC": ["HVAC-SUB"], "CBL": ["ELE-SUB"], "ACC": ["ACC-SUB"], "COM": ["COM-ENG"],
             "TRL": ["TRL-CRW", "COM-ENG"], "TST": ["PIP-1", "NDT-SUB"]}

DELIVERIES = {
    # activity: [(item code, description, supplier, qty)]
    "po.stl": [("STL-PLT", "Shipbuilding steel plate and sections, first lot", "Harkness Steel Service Centre", 1)],
    "po.me": [("ME-1", "Main engine No. 1 (medium-speed diesel)", "Vandrell Marine Engines", 1),
              ("ME-2", "Main engine No. 2 (medium-speed diesel)", "Vandrell Marine Engines", 1)],
    "po.gb": [("GBX", "Twin-input reduction gearboxes", "Kessler-Ruud Gear Works", 2)],
    "gbr": [("GBX-R", "Replacement reduction gearboxes", "Kessler-Ruud Gear Works", 2)],
    "po.prp": [("PRP", "Controllable pitch propellers and shaft lines", "Ostervik Propulsion", 2),
               ("RUD", "Rudders and steering gear", "Ostervik Propulsion", 2)],
    "po.rmp": [("RMP", "Stern ramp, bow visor and inner bow door", "Corrin Access Systems", 1)],
    "po.sci": [("AFR", "Stern A-frame 25t", "Baltholm Deck Machinery", 1),
               ("WNC", "Trawl and CTD winches", "Baltholm Deck Machinery", 3),
               ("MBS", "Multibeam echosounder and gondola", "Deepline Hydroacoustics", 1)],
}

CHANGE_REQS = [
    # vessel, activity key, number, title, requested by, raised, cost GBP, delay days, status, decision date
    ("SKU", "ACC.acc", "CR-431-001", "Upgrade crew mess to seat 24", "Cdr Elspeth Marwick", "2024-11-18", 42000.0, 3,
     "IMP", "2024-12-09"),
    ("SKU", "BRG.con", "CR-431-002", "Add second ECDIS workstation on the bridge", "Cdr Elspeth Marwick",
     "2025-02-03", 68000.0, 2, "IMP", "2025-02-24"),
    ("SKU", None, "CR-431-003", "Owner's logo on the funnel", "Cdr Elspeth Marwick", "2025-06-10", 3500.0, 0, "REJ",
     "2025-06-20"),
    ("FUL", "ACC.acc", "CR-432-001", "Upgrade crew mess to seat 24 (as Skua)", "Cdr Elspeth Marwick", "2025-05-12",
     40000.0, 0, "APR", "2025-06-02"),
    ("FUL", "BRG.con", "CR-432-002", "Add second ECDIS workstation (as Skua)", "Cdr Elspeth Marwick", "2025-06-09",
     61000.0, 0, "APR", "2025-06-30"),
    ("FUL", "sft", "CR-432-003", "Fit shaft earthing and torque meters", "Cdr Elspeth Marwick", "2025-11-24", 27000.0,
     2, "EVL", None),
    ("FUL", "ER.pip", "CR-432-004", "Add fuel oil purifier and extra sludge tank", "Cdr Elspeth Marwick",
     "2026-02-16", 115000.0, 8, "SUB", None),
    ("GLN", "VEH.cbl", "CR-440-001", "Electric vehicle charging points on the vehicle deck", "Morven Tasker",
     "2025-05-12", 186000.0, 6, "APR", "2025-06-16"),
    ("GLN", "PAX.acc", "CR-440-002", "Larger passenger cafeteria and servery", "Morven Tasker", "2025-06-02",
     148000.0, 5, "APR", "2025-07-14"),
    ("GLN", "mzn", "CR-440-003", "Hoistable mezzanine car deck over the vehicle deck", "Morven Tasker",
     "2025-07-07", 1450000.0, 40, "APR", "2025-09-29"),
    ("GLN", "PAX.hvac", "CR-440-004", "Pet lounge with separate ventilation", "Morven Tasker", "2025-12-08",
     64000.0, 3, "EVL", None),
    ("GLN", "BRG.con", "CR-440-005", "Integrated bridge system upgrade", "Morven Tasker", "2026-02-23", 233000.0, 10,
     "SUB", None),
    ("GLN", None, "CR-440-006", "Change hull colour scheme", "Morven Tasker", "2025-08-11", 12000.0, 0, "REJ",
     "2025-08-25"),
    ("HLC", "LAB.lab", "CR-450-001", "Add a clean chemistry laboratory", "Dr Oona Fairlie", "2025-11-10", 310000.0, 12,
     "APR", "2025-12-15"),
    ("HLC", "203.fab", "CR-450-002", "Enlarge the moon pool to 2.4 m", "Dr Oona Fairlie", "2025-12-01", 275000.0, 9,
     "EVL", None),
    ("HLC", "ACC.acc", "CR-450-003", "Two extra scientist cabins", "Dr Oona Fairlie", "2026-01-26", 96000.0, 4,
     "SUB", None),
]

RISKS = [
    # vessel, activity key, title, category, probability 1-5, impact 1-5, owner, status, cost GBP, delay days,
    # mitigation, raised, next review
    ("SKU", "st", "Weather window for sea trials in winter", "Weather", 3, 3, "Gideon Ashdown", "CLS", 45000.0, 4,
     "Book a reserve trials window", "2025-06-02", "2026-01-30"),
    ("SKU", "220.fab", "Distortion in the funnel casing plating", "Quality", 3, 2, "Declan Roarty", "OCC", 38000.0,
     4, "Heat straightening procedure", "2024-12-02", "2025-03-31"),
    ("FUL", "po.gb", "Gearboxes damaged in transit", "Supply chain", 2, 5, "Gideon Ashdown", "OCC", 640000.0, 60,
     "Transport inspection at the maker's works", "2025-03-17", "2025-12-15"),
    ("FUL", "ER.cbl", "Cable pulling labour shortage", "Labour", 4, 3, "Kofi Mensah", "OPN", 85000.0, 8,
     "Second subcontractor crew on weekends", "2025-10-13", "2026-03-20"),
    ("FUL", "stw", "Shaft alignment rework after gearbox replacement", "Technical", 3, 4, "Eamon Kerrigan", "OPN",
     120000.0, 6, "Laser alignment survey before setting to work", "2026-01-12", "2026-03-27"),
    ("FUL", "hat", "Owner's fuel purifier change lands during harbour tests", "Commercial", 3, 3, "Gideon Ashdown",
     "OPN", 60000.0, 5, "Negotiate implementation after delivery", "2026-02-16", "2026-03-30"),
    ("GLN", "po.me", "Main engine crankcase casting rejected at the foundry", "Supply chain", 4, 5,
     "Celia Brandauer", "OCC", 950000.0, 55, "Expedite second casting; re-sequence engine room blocks",
     "2025-06-16", "2026-03-16"),
    ("GLN", "mzn", "Mezzanine deck design not approved by class in time", "Design", 3, 4, "Ingrid Halvorsen",
     "OPN", 210000.0, 15, "Early submission of the deck structure to class", "2025-07-14", "2026-03-18"),
    ("GLN", "214.fab", "Thin-plate distortion on the vehicle deck panels", "Quality", 4, 3, "Declan Roarty", "OCC",
     160000.0, 10, "Line heating and stiffer jigs", "2025-09-08", "2026-03-20"),
    ("GLN", "rmp", "Stern ramp hydraulics late from the supplier", "Supply chain", 3, 4, "Celia Brandauer", "OPN",
     180000.0, 12, "Weekly expediting visits", "2025-06-16", "2026-04-01"),
    ("GLN", None, "Dock 2 gate maintenance clashes with the float-out", "Facilities", 2, 4, "Malachy Dunne", "OPN",
     75000.0, 10, "Move the gate overhaul to summer shutdown", "2025-11-10", "2026-04-10"),
    ("HLC", "dd", "Scientific outfit requirements still changing", "Design", 4, 3, "Tobias Wren", "OPN", 140000.0,
     15, "Design freeze agreed with the institute", "2025-10-20", "2026-03-23"),
    ("HLC", "po.sci", "Multibeam gondola supplier capacity", "Supply chain", 3, 3, "Tobias Wren", "OPN", 90000.0,
     10, "Early purchase order", "2025-11-03", "2026-04-06"),
    ("HLC", "201.erc", "Berth 1 not free until Fulmar launches", "Facilities", 3, 4, "Tobias Wren", "OPN",
     200000.0, 20, "Pre-outfit blocks while waiting for the berth", "2025-10-13", "2026-03-16"),
    ("HLC", "po.stl", "Steel mill allocation cut", "Supply chain", 3, 3, "Oskar Lindgren", "OCC", 70000.0, 14,
     "Second stockholder", "2025-10-27", "2025-12-15"),
    ("HLC", None, "Hall B crane out of service", "Facilities", 2, 3, "Malachy Dunne", "CLS", 25000.0, 5,
     "Hire a mobile crane", "2025-10-20", "2026-01-12"),
]

NDT_DEFECTS = ["Porosity", "Lack of fusion", "Slag inclusion", "Crack", "Undercut", "Incomplete penetration"]
CLASS_INSP = {  # activity kind or key suffix: (inspection type, findings)
    "FAB": ("Block structural survey", ["Fillet weld size undersized at frame", "Misaligned stiffener at bulkhead",
                                       "Missing collar plate at longitudinal", "Plate thickness not as approved drawing"]),
    "tnk": ("Tank hydrostatic test", ["Leak at manhole cover of double bottom tank", "Air vent head missing flame screen"]),
    "MCH": ("Machinery seating and alignment survey", ["Chock thickness outside tolerance", "Holding-down bolt "
                                                        "torque records missing", "Shaft alignment readings not recorded"]),
    "CBL": ("Cable installation survey", ["Cable transit not sealed at watertight bulkhead", "Cable tray support "
                                          "spacing exceeded", "Segregation of emergency cables not kept"]),
    "PIP": ("Piping pressure test", ["Pipe penetration not approved", "Pressure test record incomplete"]),
    "COM": ("Harbour test witness", ["Fire detection loop fault", "Emergency generator failed to start within 45 s",
                                     "Bilge alarm not tested"]),
    "TRL": ("Sea trial witness", ["Steering gear test time exceeded", "Vibration above limit at full power"]),
}


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "SCH_CALENDAR_T", "SCH_CAL_EXCP_T", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    rsrc_ids, rsrc_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO RSC_RESOURCE_T VALUES (?,?,?,?,?,?,?,?,?)", (i,) + r)
        rsrc_ids[r[0]], rsrc_row[r[0]] = i, r

    plans, tasks, keys = gather_plans(VESSELS, make_plan, lambda g: g[8])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['vsl']}.dlv")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(v[0], f"{v[0]}.dlv", v[9], v[12] is not None) for v in VESSELS],
        dt.date(2032, 1, 1), CALS[BRT])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    for k, extra in AFTER_REBASE.items():
        cdurs[k] += extra
    sched = cpm(tasks, keys, cdurs, links, anchors)
    sb, fb, lsb, lfb, free = sched

    # blocks first (activities point at them); their status comes from the activities
    blk_ids, n_blk = {}, 0
    acts, states, act_ids = {}, {}, {}
    vsl_ids = {v[0]: i for i, v in enumerate(VESSELS, 1)}
    bl_used = {}
    for v in VESSELS:
        sk = v[0]
        bl_used[sk] = (b1, d1) if v[12] else (b0, d0)
        for k in [t["key"] for t in plans[sk].tasks]:
            acts[k] = activity_at(DATA_DATE, tasks, k, cdurs, sched, bl_used[sk][0], bl_used[sk][1], CALS, rng)
            states[k] = acts[k].state
    for v in VESSELS:
        sk = v[0]
        for seq, (bno, dscr, zone, steel, shop) in enumerate(BLOCKS[sk], 1):
            n_blk += 1
            blk_ids[(sk, bno)] = n_blk
            st = {x: states[f"{sk}.{bno}.{x}"] for x in ("fab", "asm", "pnt", "erc")}
            if st["erc"] == "done":
                bs = "ERC"
            elif st["erc"] == "started":
                bs = "ERP"
            elif st["pnt"] == "done":
                bs = "RFE"
            elif st["pnt"] == "started":
                bs = "PNT"
            elif st["asm"] != "not":
                bs = "ASM"
            elif st["fab"] != "not":
                bs = "FAB"
            else:
                bs = "NS"
            erc = acts[f"{sk}.{bno}.erc"]
            con.execute("INSERT INTO YRD_BLOCK_T VALUES (?,?,?,?,?,?,?,?,?,?)",
                        (n_blk, vsl_ids[sk], bno, dscr, zone, float(steel), shop, seq, bs, iso(erc.actual_finish)))

    n_act = n_bla = 0
    seq = {}
    for v in VESSELS:
        (sk, hull, nm, typ, owner, rep, pm, pos, start, _, budget, cost_f, rebase) = v
        plan = plans[sk]
        tkeys = [t["key"] for t in plan.tasks]
        fin = f"{sk}.dlv"
        fin_shown = acts[fin].finish
        done = fin_shown <= DATA_DATE
        stage = stage_at(plan.tasks, sb, cdurs, DATA_DATE, done, ("DLV", "TRL", "OUT", "ERC"),
                         lambda t: t["pkg"] == "TST", lambda t: t["kind"] in ("PIP", "HVAC", "CBL", "ACC"))
        if stage == "ERC" and not any(sb[f"{sk}.{b[0]}.erc"] <= DATA_DATE for b in BLOCKS[sk]):
            stage = "FAB" if any(sb[f"{sk}.{b[0]}.fab"] <= DATA_DATE for b in BLOCKS[sk]) else "DES"
        slack = CALS[BRT].wd(fb[fin], anchors[sk])
        rag = "G" if done else ("R" if fin_shown > tgt[sk] or slack < 0 else ("A" if slack <= 10 else "G"))
        lch = acts[f"{sk}.lch"]
        steel = sum(b[3] for b in BLOCKS[sk])
        bud = budget * 1e6
        con.execute("INSERT INTO PRJ_VESSEL_T VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (vsl_ids[sk], hull, nm, typ, owner, rep, pm, pos, bud, round(bud * cost_f, -4), float(steel),
                     iso(start), iso(tgt[sk]), iso(lch.finish), iso(lch.finish) if lch.state == "done" else None,
                     iso(fin_shown), iso(fin_shown) if done else None, iso(DATA_DATE), stage, rag,
                     1 if rebase else 0, iso(rebase[0]) if rebase else None, rebase[1][4:] if rebase else None))
        for k in tkeys:
            t = tasks[k]
            a = acts[k]
            n_act += 1
            act_ids[k] = n_act
            seq[(sk, t["pkg"])] = seq.get((sk, t["pkg"]), 0) + 1
            typ_cd = {"task": "TSK", "start": "SMS", "finish": "FMS"}[a.kind]
            con.execute("INSERT INTO SCH_ACTIVITY_T VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (n_act, vsl_ids[sk], cal_ids[t["cal"]], blk_ids.get((sk, t["blk"])),
                         f"{hull[3:]}-{t['pkg']}-{seq[(sk, t['pkg'])] * 10:03d}", t["name"], typ_cd, t["pkg"],
                         t["zone"], float(cdurs[k]), a.remaining, iso(a.bl_start), iso(a.bl_finish), iso(a.start),
                         iso(a.finish), iso(a.late_start), iso(a.late_finish), iso(a.actual_start),
                         iso(a.actual_finish), a.total_float, a.free_float, "Y" if a.critical else "N", a.pct,
                         {"not": "NS", "started": "WIP", "done": "CMP"}[a.state]))
        bls = [(0, "BL0 Original contract baseline", b0, d0)]
        if rebase:
            bls.append((1, rebase[1], b1, d1))
        for no, bname, bl, bd in bls:
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, tkeys, bl, bd, CALS):
                n_bla += 1
                con.execute("INSERT INTO SCH_BL_ACT_T VALUES (?,?,?,?,?,?,?,?,?,?)",
                            (n_bla, vsl_ids[sk], act_ids[k], no, bname, "Y" if no == len(bls) - 1 else "N",
                             iso(s_d), iso(f_d), dur, tf))
    for n, (p, s, typ, lag) in enumerate(links, 1):
        con.execute("INSERT INTO SCH_LOGIC_T VALUES (?,?,?,?,?)", (n, act_ids[p], act_ids[s], typ, float(lag)))

    # resource assignments
    n_asg = 0
    for k in keys:
        t = tasks[k]
        for rc in KIND_RSRC.get(t["kind"], []):
            if rc == "WLD":
                shop = next(b[4] for b in BLOCKS[t["vsl"]] if b[0] == t["blk"])
                rc = "WLD-A" if shop == "HALL-A" else "WLD-B"
            if rc == "CRANE":
                rc = "GC-2" if VESSEL[t["vsl"]][7] == "DOCK-2" else "GC-1"
            r = rsrc_row[rc]
            cal = CALS[t["cal"]]
            hpd = 10.0 if r[2] == "EQP" else cal.crew_hours
            base = t["dur"]
            pln = float(base * hpd * r[5])
            act_h, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng)
            n_asg += 1
            con.execute("INSERT INTO RSC_ASSIGN_T VALUES (?,?,?,?,?,?,?,?)",
                        (n_asg, act_ids[k], rsrc_ids[rc], pln, act_h, rem_h, round(pln * r[6], 2),
                         round(act_h * r[6], 2)))

    # daily steel throughput by workshop, up to the data date
    n_out = 0
    out_rows = []
    for k in keys:
        t = tasks[k]
        if t["kind"] != "FAB" or states[k] == "not":
            continue
        b = next(b for b in BLOCKS[t["vsl"]] if b[0] == t["blk"])
        days = worked_days(CALS[YRD], sb[k], fb[k], DATA_DATE)
        tgt_t = round(b[3] / tasks[k]["dur"], 1)
        slow = 0.75 if k in ("GLN.214.fab", "SKU.220.fab", "GLN.311.fab") else 1.0
        for d in days:
            out_rows.append((d, b[4], blk_ids[(t["vsl"], t["blk"])], tgt_t, slow))
    out_rows.sort(key=lambda r: (r[0], r[1], r[2]))
    for d, shop, blk, tgt_t, slow in out_rows:
        n_out += 1
        stl = 0.0 if rng.random() < 0.04 else round(tgt_t * rng.uniform(0.65, 1.2) * slow, 1)
        con.execute("INSERT INTO YRD_STEEL_OUT_T VALUES (?,?,?,?,?,?,?)",
                    (n_out, shop, iso(d), blk, stl, tgt_t, round(stl * rng.uniform(9.0, 13.0), 0)))

    # gantry and mobile crane bookings: every block lift and heavy machinery lift, booked up to eight weeks ahead
    lifts = []
    for k in keys:
        t = tasks[k]
        if t["kind"] == "ERC":
            b = next(b for b in BLOCKS[t["vsl"]] if b[0] == t["blk"])
            crane = "GC-2" if VESSEL[t["vsl"]][7] == "DOCK-2" else "GC-1"
            lifts.append((CALS[BRT].fwd(sb[k]), k, crane, round(b[3] * 1.15, 0), blk_ids[(t["vsl"], b[0])]))
        elif k.split(".", 1)[1] in ("me.ins", "gb.ins", "sft", "rmp", "sci"):
            wt = {"me.ins": 38.0, "gb.ins": 22.0, "sft": 18.0, "rmp": 95.0, "sci": 42.0}[k.split(".", 1)[1]]
            lifts.append((CALS[BRT].fwd(sb[k]), k, "MC-120" if wt < 30 else (
                "GC-2" if VESSEL[t["vsl"]][7] == "DOCK-2" else "GC-1"), wt, None))
    lifts.sort(key=lambda x: (x[0], x[1]))
    n_bkg = 0
    for d, k, crane, wt, blk in lifts:
        if d > DATA_DATE + dt.timedelta(days=56):
            continue
        rows = []
        if d <= DATA_DATE:
            if rng.random() < 0.12:
                prev = CALS[BRT].back(d - D1)
                rows.append((prev, "CXL", 0.0, rng.choice(["High wind forecast", "Block not ready (paint cure)",
                                                           "Crane breakdown"])))
            hold = float(rng.choice([2, 3, 4, 6])) if rng.random() < 0.15 else 0.0
            rows.append((d, "DON", hold, None))
        else:
            rows.append((d, "CNF" if d <= DATA_DATE + dt.timedelta(days=14) else "REQ", 0.0, None))
        for bd_, st_, hold, why in rows:
            n_bkg += 1
            con.execute("INSERT INTO YRD_CRANE_BKG_T VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                        (n_bkg, f"CB-{n_bkg:04d}", rsrc_ids[crane], act_ids[k], blk, iso(bd_), "07:00",
                         "12:00" if wt < 100 else "16:00", wt, st_, hold, why))

    # weld NDT on block fabrication and erection butts
    n_ndt = 0
    for k in keys:
        t = tasks[k]
        if t["kind"] not in ("FAB", "ERC") or states[k] == "not":
            continue
        days = worked_days(CALS[t["cal"]], sb[k], fb[k], DATA_DATE)
        n_seams = rng.randint(4, 7) if t["kind"] == "FAB" else rng.randint(2, 4)
        fail_p = 0.22 if k in ("GLN.214.fab", "GLN.311.fab") else 0.07
        for i in range(1, n_seams + 1):
            d = days[min(len(days) - 1, int(len(days) * i / (n_seams + 1)))]
            n_ndt += 1
            rej = rng.random() < fail_p
            rpr = None
            if rej:
                rd = d + dt.timedelta(days=rng.randint(3, 20))
                rpr = iso(rd) if rd <= DATA_DATE and k != "GLN.214.fab" else None
            method = rng.choice(["UT", "UT", "RT", "MT"]) if t["kind"] == "FAB" else rng.choice(["UT", "RT"])
            con.execute("INSERT INTO QA_NDT_T VALUES (?,?,?,?,?,?,?,?,?,?)",
                        (n_ndt, blk_ids[(t["vsl"], t["blk"])], act_ids[k],
                         f"{t['blk']}-{'F' if t['kind'] == 'FAB' else 'E'}-{i:02d}", method, iso(d),
                         rng.choice(NDT_TECHS), "REJ" if rej else "ACC",
                         rng.choice(NDT_DEFECTS) if rej else None, rpr))

    # class society findings
    n_fnd, f_by, i_by = 0, {}, {}
    for k in keys:
        t = tasks[k]
        tail = k.split(".", 1)[1]
        insp_def = CLASS_INSP.get(tail) or CLASS_INSP.get(t["kind"])
        if not insp_def or states[k] == "not" or cdurs[k] == 0:
            continue
        sk = t["vsl"]
        hull = VESSEL[sk][1][3:]
        a = acts[k]
        i_date = a.finish if states[k] == "done" else min(DATA_DATE, a.start + dt.timedelta(days=5))
        i_by[sk] = i_by.get(sk, 0) + 1
        insp_no = f"AR-{hull}-{i_by[sk]:03d}"
        forced = {"FUL.gb.ins": 2, "GLN.214.fab": 2, "FUL.ER.cbl": 1}
        n_f = forced.get(k, rng.choices([0, 1, 2], [0.55, 0.33, 0.12])[0])
        srv = rng.choice(SURVEYORS)
        for j in range(n_f):
            n_fnd += 1
            f_by[sk] = f_by.get(sk, 0) + 1
            ctg = "COC" if k in forced and j == 0 else rng.choice(["COC", "REC", "REC", "OBS"])
            due = i_date + dt.timedelta(days={"COC": 14, "REC": 30, "OBS": 60}[ctg])
            closed = None
            if due < DATA_DATE and rng.random() < 0.85 and k not in forced:
                closed = i_date + dt.timedelta(days=rng.randint(2, (due - i_date).days + 12))
                if closed > DATA_DATE:
                    closed = None
            con.execute("INSERT INTO QA_CLASS_FINDING_T VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (n_fnd, vsl_ids[sk], act_ids[k], blk_ids.get((sk, t["blk"])), insp_no, insp_def[0], iso(i_date),
                         srv, f"{hull}-F{f_by[sk]:03d}", insp_def[1][(i_by[sk] + j) % len(insp_def[1])], ctg, iso(due),
                         iso(closed), "CLS" if closed else "OPN"))

    # owner change requests
    for i, (sk, ak, no, ttl, by, rsd, cst, dly, sts, dcsn) in enumerate(CHANGE_REQS, 1):
        con.execute("INSERT INTO PRJ_CHANGE_REQ_T VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                    (i, vsl_ids[sk], act_ids[f"{sk}.{ak}"] if ak else None, no, ttl, by, rsd, cst, float(dly), sts,
                     dcsn))

    # equipment and material deliveries
    n_dlv = 0
    for v in VESSELS:
        sk, hull = v[0], v[1][3:]
        for ak, items in DELIVERIES.items():
            k = f"{sk}.{ak}"
            if k not in tasks:
                continue
            a = acts[k]
            for code, dscr, splr, qty in items:
                n_dlv += 1
                b_s, b_f = (a.bl_finish, a.bl_finish) if a.bl_finish else (a.finish, a.finish)
                req = b_f
                if a.state == "done":
                    sts, rcvd = "RCV", a.finish
                elif a.finish <= DATA_DATE + dt.timedelta(days=21):
                    sts, rcvd = "SHP", None
                elif a.start + dt.timedelta(days=int((a.finish - a.start).days * 0.8)) <= DATA_DATE:
                    sts, rcvd = "FAT", None
                else:
                    sts, rcvd = "ORD", None
                fc = a.finish
                if sk == "FUL" and ak == "po.gb":
                    sts, rcvd = "DMG", a.finish
                con.execute("INSERT INTO MAT_DELIVERY_T VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                            (n_dlv, vsl_ids[sk], act_ids[k], code, dscr, splr, f"PO-{hull}-{n_dlv:04d}", qty,
                             iso(req), iso(fc), iso(rcvd), sts))

    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        hull = VESSEL[r[0]][1][3:]
        con.execute("INSERT INTO PRJ_RISK_T VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, vsl_ids[r[0]], act_ids[f"{r[0]}.{r[1]}"] if r[1] else None, f"RSK-{hull}-{n_by[r[0]]:02d}",
                     r[2], r[3], r[4], r[5], r[4] * r[5], r[6], r[7], r[8], float(r[9]), r[10], r[11], r[12]))
    con.commit()
    return con

# ---------------------------------------------------------------------------------------------- metadata

VSL_FK = ("Vessel (PRJ_VESSEL_T.vsl_id)", "INTEGER")
ACT_FK = ("Activity (SCH_ACTIVITY_T.act_id)", "INTEGER")

TABLE_META = {
    "PRJ_VESSEL_T": ("Vessels (hulls) built at the Brannock Shipbuilders Quayhaven yard, one project each: hull "
                     "number, name, type, owner, owner's representative, project manager, building berth or dock, "
                     "budget and forecast cost, steel weight, contract start and delivery, launch and delivery "
                     "forecasts and actuals, data date, build stage, RAG and current baseline", "programme", {
        "vsl_id": ("Vessel id", "INTEGER"),
        "hull_no": ("Yard hull number, e.g. BN-440", "TEXT"),
        "vsl_nm": ("Vessel name, e.g. Glenvora, Halcyon Reach", "TEXT"),
        "vsl_typ": ("Vessel type: OPV (offshore patrol vessel), RORO (ro-ro passenger ferry), RV (research "
                    "vessel)", "TEXT"),
        "ownr_nm": ("Owner (the yard's customer)", "TEXT"),
        "ownr_rep": ("Owner's representative at the yard", "TEXT"),
        "prj_mgr": ("Yard project manager", "TEXT"),
        "bld_pos": ("Where the hull is erected: BERTH-1 (slipway, launched) or DOCK-2 (building dock, floated out)",
                    "TEXT"),
        "bdgt_gbp": ("Yard build budget, GBP", "REAL"),
        "fcst_cst_gbp": ("Forecast cost at completion, GBP", "REAL"),
        "stl_wt_t": ("Hull steel weight, tonnes (sum of its blocks)", "REAL"),
        "cntr_strt_dt": ("Contract effective date", "DATE"),
        "cntr_dlv_dt": ("Contract delivery date; total float is measured to it", "DATE"),
        "fcst_lnch_dt": ("Forecast (or actual) launch / float-out date", "DATE"),
        "act_lnch_dt": ("Actual launch / float-out date; null until launched", "DATE"),
        "fcst_dlv_dt": ("Forecast delivery date from the current schedule", "DATE"),
        "act_dlv_dt": ("Actual delivery date; null until delivered", "DATE"),
        "data_dt": ("Schedule data date (status date)", "DATE"),
        "bld_stg": ("Build stage code: DES design, FAB block fabrication, ERC erection on berth or in dock, OUT "
                    "outfitting, TRL harbour tests and trials, DLV delivered", "TEXT"),
        "rag_cd": ("Schedule RAG: R (forecast delivery after contract delivery), A (10 working days or less to "
                   "spare), G", "TEXT"),
        "curr_bl_no": ("Number of the current baseline (0 = original contract baseline)", "INTEGER"),
        "rbl_aprv_dt": ("Date the re-baseline was approved; null when never re-baselined", "DATE"),
        "rbl_rsn": ("Why the vessel was re-baselined", "TEXT"),
    }),
    "SCH_CALENDAR_T": ("Work calendars: design office, two-shift fabrication halls, six-day berth and outfitting, "
                       "seven-day paint cells, sea trials and elapsed supplier lead time", "scheduling", {
        "cal_id": ("Calendar id", "INTEGER"),
        "cal_cd": ("Calendar code, e.g. YRD-2S, BRT-6D", "TEXT"),
        "cal_nm": ("Calendar name", "TEXT"),
        "wrk_ptn": ("Working days of the week", "TEXT"),
        "hrs_dy": ("Working hours a day", "REAL"),
        "cal_nts": ("What the calendar is used for", "TEXT"),
    }),
    "SCH_CAL_EXCP_T": ("Non-working days of each calendar: public holidays, the summer and Christmas yard "
                       "shutdowns and safety stand-down days", "scheduling", {
        "excp_id": ("Exception id", "INTEGER"),
        "cal_id": ("Calendar (SCH_CALENDAR_T.cal_id)", "INTEGER"),
        "excp_dt": ("Non-working date", "DATE"),
        "excp_typ": ("BH public holiday, SSD summer shutdown, CSD Christmas shutdown, SFD safety stand-down", "TEXT"),
        "excp_rsn": ("Why the day is not worked", "TEXT"),
    }),
    "YRD_BLOCK_T": ("Hull blocks of each vessel: block number, description, zone, steel weight, workshop that "
                    "fabricates it, erection sequence, status and erection date", "production", {
        "blk_id": ("Block id", "INTEGER"),
        "vsl_id": VSL_FK,
        "blk_no": ("Block number, e.g. 214 (first digit: 1 aft, 2 midship / engine room, 3 forward, 4 "
                   "superstructure); sister ships share numbers", "TEXT"),
        "blk_dscr": ("Block description", "TEXT"),
        "zn_cd": ("Zone: ER engine room, AFT, FWD, ACC accommodation, BRG bridge, VEH vehicle deck, PAX passenger "
                  "lounges, LAB laboratories", "TEXT"),
        "stl_wt_t": ("Steel weight, tonnes", "REAL"),
        "wkshp_cd": ("Fabrication workshop: HALL-A, HALL-B or PNL-1 (panel line)", "TEXT"),
        "erc_seq": ("Position in the vessel's erection sequence", "INTEGER"),
        "blk_sts": ("Block status: NS not started, FAB in fabrication, ASM in assembly, PNT in blast and paint, RFE "
                    "ready for erection, ERP erection in progress, ERC erected", "TEXT"),
        "erc_dt": ("Date the block was erected; null until erected", "DATE"),
    }),
    "SCH_ACTIVITY_T": ("Schedule activities and milestones of every vessel: number, description, type, work "
                       "package, zone, block, durations, current baseline, planned (early), late and actual dates, "
                       "total and free float, critical flag, percent complete and status", "scheduling", {
        "act_id": ("Activity id", "INTEGER"),
        "vsl_id": VSL_FK,
        "cal_id": ("Calendar (SCH_CALENDAR_T.cal_id)", "INTEGER"),
        "blk_id": ("Hull block the activity works on (YRD_BLOCK_T.blk_id); null for other activities", "INTEGER"),
        "act_no": ("Activity number: hull digits, work package and number, e.g. 440-HUL-190", "TEXT"),
        "act_dscr": ("Activity description", "TEXT"),
        "act_typ": ("TSK task, SMS start milestone, FMS finish milestone", "TEXT"),
        "wrk_pkg": ("Work package: DES design, PRC procurement and deliveries, HUL hull, MCH machinery, OUT "
                    "outfitting, PNT painting, TST tests and trials, DLV delivery", "TEXT"),
        "zn_cd": ("Zone worked in (see YRD_BLOCK_T.zn_cd); null when not zone-bound", "TEXT"),
        "dur_d": ("Current planned duration, working days of its calendar", "REAL"),
        "rem_dur_d": ("Remaining duration, working days", "REAL"),
        "bl_strt": ("Start in the vessel's current baseline", "DATE"),
        "bl_fnsh": ("Finish in the vessel's current baseline", "DATE"),
        "pln_strt": ("Planned (early) start, the forecast", "DATE"),
        "pln_fnsh": ("Planned (early) finish, the forecast", "DATE"),
        "lt_strt": ("Late start; null once complete", "DATE"),
        "lt_fnsh": ("Late finish; null once complete", "DATE"),
        "act_strt": ("Actual start; null until started", "DATE"),
        "act_fnsh": ("Actual finish; null until complete", "DATE"),
        "tot_flt_d": ("Total float in working days to the contract delivery date; null once complete", "REAL"),
        "free_flt_d": ("Free float in working days; null once complete", "REAL"),
        "crit_flg": ("Critical: Y or N", "TEXT"),
        "pct_cmp": ("Percent complete, 0-100", "REAL"),
        "sts_cd": ("Status: NS not started, WIP in progress, CMP complete", "TEXT"),
    }),
    "SCH_LOGIC_T": ("Logic links between activities with type and lag; two cross vessels (the next hull on Berth 1 "
                    "waits for the previous launch)", "scheduling", {
        "lgc_id": ("Link id", "INTEGER"),
        "pred_act_id": ("Predecessor activity (SCH_ACTIVITY_T.act_id)", "INTEGER"),
        "succ_act_id": ("Successor activity (SCH_ACTIVITY_T.act_id)", "INTEGER"),
        "lnk_typ": ("FS, SS or FF", "TEXT"),
        "lag_d": ("Lag in calendar days", "REAL"),
    }),
    "SCH_BL_ACT_T": ("Activity dates, durations and float stored in each baseline of each vessel (BL0 original "
                     "contract baseline, BL1 re-baseline)", "scheduling", {
        "bl_act_id": ("Baseline row id", "INTEGER"),
        "vsl_id": VSL_FK,
        "act_id": ACT_FK,
        "bl_no": ("Baseline number: 0 original, 1 re-baseline", "INTEGER"),
        "bl_nm": ("Baseline name", "TEXT"),
        "curr_flg": ("Y for the vessel's current baseline, N otherwise", "TEXT"),
        "bl_strt": ("Start in this baseline", "DATE"),
        "bl_fnsh": ("Finish in this baseline", "DATE"),
        "bl_dur_d": ("Duration in this baseline, working days", "REAL"),
        "bl_tot_flt_d": ("Total float in this baseline, working days", "REAL"),
    }),
    "RSC_RESOURCE_T": ("Resources: yard trades (welders, fitters, pipefitters, riggers), subcontractors "
                       "(electrical, HVAC, painting, joinery, NDT, trials crew) and cranes", "resources", {
        "rsc_id": ("Resource id", "INTEGER"),
        "rsc_cd": ("Resource code, e.g. WLD-A, ELE-SUB, GC-1", "TEXT"),
        "rsc_nm": ("Resource name", "TEXT"),
        "rsc_typ": ("LAB yard labour, SUB subcontractor, EQP equipment (crane)", "TEXT"),
        "trd_nm": ("Trade, e.g. Welding, Electrical, Painting, Lifting", "TEXT"),
        "cmpny_nm": ("Company providing the resource (the yard or a subcontractor)", "TEXT"),
        "hdcnt": ("Headcount (1 for a crane)", "INTEGER"),
        "hr_rt_gbp": ("Hourly rate per person or machine, GBP", "REAL"),
        "spvsr": ("Supervisor or foreman", "TEXT"),
    }),
    "RSC_ASSIGN_T": ("Resources assigned to activities: planned, actual and remaining hours and cost", "resources", {
        "asgn_id": ("Assignment id", "INTEGER"),
        "act_id": ACT_FK,
        "rsc_id": ("Resource (RSC_RESOURCE_T.rsc_id)", "INTEGER"),
        "pln_hrs": ("Planned hours", "REAL"),
        "act_hrs": ("Actual hours to the data date", "REAL"),
        "rem_hrs": ("Remaining hours", "REAL"),
        "pln_cst_gbp": ("Planned cost, GBP", "REAL"),
        "act_cst_gbp": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "YRD_STEEL_OUT_T": ("Daily steel throughput of each fabrication workshop by block: tonnes processed against "
                        "target and weld metres", "production", {
        "out_id": ("Output record id", "INTEGER"),
        "wkshp_cd": ("Workshop: HALL-A, HALL-B or PNL-1 (panel line)", "TEXT"),
        "wrk_dt": ("Working day", "DATE"),
        "blk_id": ("Block worked on (YRD_BLOCK_T.blk_id)", "INTEGER"),
        "stl_prcsd_t": ("Steel processed (cut, fitted and welded) that day, tonnes", "REAL"),
        "tgt_t": ("Target tonnes for the day", "REAL"),
        "wld_m": ("Weld laid that day, metres", "REAL"),
    }),
    "YRD_CRANE_BKG_T": ("Crane bookings for block lifts and heavy machinery lifts: crane, activity, block, date, "
                        "lift weight, status, wind hold and cancellation reason; booked up to eight weeks ahead",
                        "production", {
        "bkg_id": ("Booking id", "INTEGER"),
        "bkg_no": ("Booking number, e.g. CB-0012", "TEXT"),
        "rsc_id": ("Crane (RSC_RESOURCE_T.rsc_id, an EQP resource)", "INTEGER"),
        "act_id": ("Activity the lift is for (SCH_ACTIVITY_T.act_id)", "INTEGER"),
        "blk_id": ("Block lifted (YRD_BLOCK_T.blk_id); null for machinery lifts", "INTEGER"),
        "bkg_dt": ("Date booked", "DATE"),
        "strt_tm": ("Booked start time HH:MM", "TEXT"),
        "end_tm": ("Booked end time HH:MM", "TEXT"),
        "lift_wt_t": ("Lift weight, tonnes", "REAL"),
        "bkg_sts": ("REQ requested, CNF confirmed, DON done, CXL cancelled", "TEXT"),
        "wnd_hld_hrs": ("Hours the lift waited for the wind to drop (0 when none)", "REAL"),
        "cxl_rsn": ("Why a booking was cancelled; null otherwise", "TEXT"),
    }),
    "QA_NDT_T": ("Non-destructive testing of weld seams on block fabrication and erection butts: method, date, "
                 "technician, result, defect and repair date", "quality", {
        "ndt_id": ("NDT record id", "INTEGER"),
        "blk_id": ("Block (YRD_BLOCK_T.blk_id)", "INTEGER"),
        "act_id": ("Fabrication or erection activity (SCH_ACTIVITY_T.act_id)", "INTEGER"),
        "wld_sm": ("Weld seam, block number + F (fabrication) or E (erection butt) + seam, e.g. 214-F-03", "TEXT"),
        "ndt_mthd": ("UT ultrasonic, RT radiographic, MT magnetic particle", "TEXT"),
        "tst_dt": ("Test date", "DATE"),
        "tstd_by": ("NDT technician", "TEXT"),
        "rslt_cd": ("ACC accepted, REJ rejected (repair needed)", "TEXT"),
        "dfct_typ": ("Weld defect found; null when accepted", "TEXT"),
        "rpr_dt": ("Date the repaired seam passed a re-test; null when accepted or still awaiting repair", "DATE"),
    }),
    "QA_CLASS_FINDING_T": ("Findings raised by the classification society (Aldmark Register of Shipping) at its "
                           "surveys: survey number, type, date and surveyor, then the finding, its category, due "
                           "date and close-out", "quality", {
        "fnd_id": ("Finding id", "INTEGER"),
        "vsl_id": VSL_FK,
        "act_id": ("Activity surveyed (SCH_ACTIVITY_T.act_id)", "INTEGER"),
        "blk_id": ("Block surveyed (YRD_BLOCK_T.blk_id); null when not a block survey", "INTEGER"),
        "insp_no": ("Class survey (inspection) number, e.g. AR-440-007", "TEXT"),
        "insp_typ": ("Survey type, e.g. Block structural survey, Tank hydrostatic test, Cable installation survey",
                     "TEXT"),
        "insp_dt": ("Survey date", "DATE"),
        "srvyr": ("Class surveyor", "TEXT"),
        "fnd_no": ("Finding number, e.g. 432-F004", "TEXT"),
        "fnd_dscr": ("Finding", "TEXT"),
        "fnd_ctg": ("COC condition of class (14 days), REC recommendation (30 days), OBS observation (60 days)",
                    "TEXT"),
        "due_dt": ("Date it must be closed by", "DATE"),
        "clsd_dt": ("Date closed; null while open", "DATE"),
        "fnd_sts": ("OPN open or CLS closed", "TEXT"),
    }),
    "PRJ_CHANGE_REQ_T": ("Owner change requests (variations): title, who asked, cost and delay impact, status and "
                         "decision date", "commercial", {
        "cr_id": ("Change request id", "INTEGER"),
        "vsl_id": VSL_FK,
        "act_id": ("Activity mainly affected (SCH_ACTIVITY_T.act_id); null when none", "INTEGER"),
        "cr_no": ("Change request number, e.g. CR-440-003", "TEXT"),
        "cr_ttl": ("What the owner asks for", "TEXT"),
        "rqstd_by": ("Owner's representative who raised it", "TEXT"),
        "rsd_dt": ("Date raised", "DATE"),
        "cst_imp_gbp": ("Estimated cost impact, GBP", "REAL"),
        "dly_imp_d": ("Estimated delay impact, working days", "REAL"),
        "cr_sts": ("SUB submitted, EVL under evaluation, APR approved, REJ rejected, IMP implemented", "TEXT"),
        "dcsn_dt": ("Date approved or rejected; null while pending", "DATE"),
    }),
    "MAT_DELIVERY_T": ("Deliveries of steel and major equipment (main engines, gearboxes, propellers, ramps, "
                       "winches): supplier, purchase order, quantity, required, forecast and received dates, status",
                       "procurement", {
        "dlv_id": ("Delivery id", "INTEGER"),
        "vsl_id": VSL_FK,
        "act_id": ("Procurement activity of the delivery (SCH_ACTIVITY_T.act_id)", "INTEGER"),
        "itm_cd": ("Item code, e.g. ME-1, GBX, PRP", "TEXT"),
        "itm_dscr": ("Item description", "TEXT"),
        "splr_nm": ("Supplier", "TEXT"),
        "po_no": ("Purchase order number", "TEXT"),
        "qty": ("Quantity (units or lots)", "INTEGER"),
        "req_dt": ("Date required at the yard (current baseline)", "DATE"),
        "fcst_dt": ("Forecast (or actual) arrival date", "DATE"),
        "rcvd_dt": ("Date received; null until received", "DATE"),
        "dlv_sts": ("ORD ordered, FAT factory acceptance test stage, SHP shipped, RCV received, DMG received damaged "
                    "and rejected", "TEXT"),
    }),
    "PRJ_RISK_T": ("Risk register: category, probability, impact, score, owner, status, cost and schedule exposure, "
                   "mitigation", "risk", {
        "rsk_id": ("Risk id", "INTEGER"),
        "vsl_id": VSL_FK,
        "act_id": ("Activity the risk affects (SCH_ACTIVITY_T.act_id); null for vessel-wide risks", "INTEGER"),
        "rsk_no": ("Risk number, e.g. RSK-440-03", "TEXT"),
        "rsk_ttl": ("Risk", "TEXT"),
        "rsk_ctg": ("Category, e.g. Supply chain, Quality, Design, Facilities, Labour", "TEXT"),
        "prob": ("Probability 1-5", "INTEGER"),
        "imp": ("Impact 1-5", "INTEGER"),
        "rsk_scr": ("Score = probability x impact", "INTEGER"),
        "rsk_ownr": ("Risk owner", "TEXT"),
        "rsk_sts": ("OPN open, CLS closed, OCC occurred", "TEXT"),
        "cst_exp_gbp": ("Cost exposure, GBP", "REAL"),
        "sch_exp_d": ("Schedule exposure, working days", "REAL"),
        "mtgtn": ("Mitigation", "TEXT"),
        "rsd_dt": ("Date raised", "DATE"),
        "nxt_rvw_dt": ("Next review date", "DATE"),
    }),
}

RELATIONSHIPS = [
    ("SCH_CAL_EXCP_T", "SCH_CALENDAR_T", "SCH_CAL_EXCP_T.cal_id = SCH_CALENDAR_T.cal_id",
     "Non-working days of a calendar"),
    ("YRD_BLOCK_T", "PRJ_VESSEL_T", "YRD_BLOCK_T.vsl_id = PRJ_VESSEL_T.vsl_id", "Blocks of a vessel"),
    ("SCH_ACTIVITY_T", "PRJ_VESSEL_T", "SCH_ACTIVITY_T.vsl_id = PRJ_VESSEL_T.vsl_id", "Activities of a vessel"),
    ("SCH_ACTIVITY_T", "SCH_CALENDAR_T", "SCH_ACTIVITY_T.cal_id = SCH_CALENDAR_T.cal_id", "Calendar of an activity"),
    ("SCH_ACTIVITY_T", "YRD_BLOCK_T", "SCH_ACTIVITY_T.blk_id = YRD_BLOCK_T.blk_id", "Block an activity works on"),
    ("SCH_LOGIC_T", "SCH_ACTIVITY_T", "SCH_LOGIC_T.pred_act_id = SCH_ACTIVITY_T.act_id", "Predecessor of a link"),
    ("SCH_LOGIC_T", "SCH_ACTIVITY_T", "SCH_LOGIC_T.succ_act_id = SCH_ACTIVITY_T.act_id", "Successor of a link"),
    ("SCH_BL_ACT_T", "SCH_ACTIVITY_T", "SCH_BL_ACT_T.act_id = SCH_ACTIVITY_T.act_id", "Activity a baseline row stores"),
    ("SCH_BL_ACT_T", "PRJ_VESSEL_T", "SCH_BL_ACT_T.vsl_id = PRJ_VESSEL_T.vsl_id", "Baselines of a vessel"),
    ("RSC_ASSIGN_T", "SCH_ACTIVITY_T", "RSC_ASSIGN_T.act_id = SCH_ACTIVITY_T.act_id", "Activity a resource works on"),
    ("RSC_ASSIGN_T", "RSC_RESOURCE_T", "RSC_ASSIGN_T.rsc_id = RSC_RESOURCE_T.rsc_id", "Resource of an assignment"),
    ("YRD_STEEL_OUT_T", "YRD_BLOCK_T", "YRD_STEEL_OUT_T.blk_id = YRD_BLOCK_T.blk_id", "Block a day's steel went into"),
    ("YRD_CRANE_BKG_T", "RSC_RESOURCE_T", "YRD_CRANE_BKG_T.rsc_id = RSC_RESOURCE_T.rsc_id", "Crane booked"),
    ("YRD_CRANE_BKG_T", "SCH_ACTIVITY_T", "YRD_CRANE_BKG_T.act_id = SCH_ACTIVITY_T.act_id", "Activity of a lift"),
    ("YRD_CRANE_BKG_T", "YRD_BLOCK_T", "YRD_CRANE_BKG_T.blk_id = YRD_BLOCK_T.blk_id", "Block lifted"),
    ("QA_NDT_T", "YRD_BLOCK_T", "QA_NDT_T.blk_id = YRD_BLOCK_T.blk_id", "Block whose seam was tested"),
    ("QA_NDT_T", "SCH_ACTIVITY_T", "QA_NDT_T.act_id = SCH_ACTIVITY_T.act_id", "Activity that made the seam"),
    ("QA_CLASS_FINDING_T", "PRJ_VESSEL_T", "QA_CLASS_FINDING_T.vsl_id = PRJ_VESSEL_T.vsl_id",
     "Class findings of a vessel"),
    ("QA_CLASS_FINDING_T", "SCH_ACTIVITY_T", "QA_CLASS_FINDING_T.act_id = SCH_ACTIVITY_T.act_id",
     "Activity surveyed"),
    ("QA_CLASS_FINDING_T", "YRD_BLOCK_T", "QA_CLASS_FINDING_T.blk_id = YRD_BLOCK_T.blk_id", "Block surveyed"),
    ("PRJ_CHANGE_REQ_T", "PRJ_VESSEL_T", "PRJ_CHANGE_REQ_T.vsl_id = PRJ_VESSEL_T.vsl_id", "Change requests of a vessel"),
    ("PRJ_CHANGE_REQ_T", "SCH_ACTIVITY_T", "PRJ_CHANGE_REQ_T.act_id = SCH_ACTIVITY_T.act_id",
     "Activity a change affects"),
    ("MAT_DELIVERY_T", "PRJ_VESSEL_T", "MAT_DELIVERY_T.vsl_id = PRJ_VESSEL_T.vsl_id", "Deliveries for a vessel"),
    ("MAT_DELIVERY_T", "SCH_ACTIVITY_T", "MAT_DELIVERY_T.act_id = SCH_ACTIVITY_T.act_id",
     "Procurement activity of a delivery"),
    ("PRJ_RISK_T", "PRJ_VESSEL_T", "PRJ_RISK_T.vsl_id = PRJ_VESSEL_T.vsl_id", "Risks of a vessel"),
    ("PRJ_RISK_T", "SCH_ACTIVITY_T", "PRJ_RISK_T.act_id = SCH_ACTIVITY_T.act_id", "Activity a risk affects"),
]

BUSINESS_RULES = {
    ("PRJ_VESSEL_T", "vsl_typ"): ["Allowed Values: OPV, RORO, RV"],
    ("PRJ_VESSEL_T", "bld_stg"): ["Allowed Values: DES, FAB, ERC, OUT, TRL, DLV"],
    ("PRJ_VESSEL_T", "rag_cd"): ["Allowed Values: R, A, G"],
    ("PRJ_VESSEL_T", "bld_pos"): ["Allowed Values: BERTH-1, DOCK-2"],
    ("SCH_ACTIVITY_T", "sts_cd"): ["Allowed Values: NS (not started), WIP (in progress), CMP (complete)"],
    ("SCH_ACTIVITY_T", "act_typ"): ["Allowed Values: TSK, SMS, FMS; milestones have dur_d = 0"],
    ("SCH_ACTIVITY_T", "wrk_pkg"): ["Allowed Values: DES, PRC, HUL, MCH, OUT, PNT, TST, DLV"],
    ("SCH_ACTIVITY_T", "crit_flg"): ["Allowed Values: Y, N", "Critical: crit_flg = 'Y' when tot_flt_d <= 0; "
                                     "complete activities are N"],
    ("SCH_ACTIVITY_T", "tot_flt_d"): ["Negative float: forecast after the contract delivery date",
                                      "Near critical: tot_flt_d between 1 and 10"],
    ("SCH_ACTIVITY_T", "bl_fnsh"): ["Slipped: pln_fnsh > bl_fnsh"],
    ("SCH_LOGIC_T", "lnk_typ"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to finish)"],
    ("SCH_BL_ACT_T", "curr_flg"): ["Allowed Values: Y, N; one current baseline per vessel"],
    ("SCH_CAL_EXCP_T", "excp_typ"): ["Allowed Values: BH, SSD, CSD, SFD"],
    ("YRD_BLOCK_T", "blk_sts"): ["Allowed Values: NS, FAB, ASM, PNT, RFE, ERP, ERC"],
    ("YRD_BLOCK_T", "wkshp_cd"): ["Allowed Values: HALL-A, HALL-B, PNL-1"],
    ("RSC_RESOURCE_T", "rsc_typ"): ["Allowed Values: LAB, SUB, EQP"],
    ("YRD_STEEL_OUT_T", "stl_prcsd_t"): ["Short day: stl_prcsd_t < tgt_t"],
    ("YRD_CRANE_BKG_T", "bkg_sts"): ["Allowed Values: REQ, CNF, DON, CXL"],
    ("YRD_CRANE_BKG_T", "wnd_hld_hrs"): ["Wind hold: wnd_hld_hrs > 0"],
    ("QA_NDT_T", "rslt_cd"): ["Allowed Values: ACC, REJ", "Repair outstanding: rslt_cd = 'REJ' and rpr_dt is null"],
    ("QA_NDT_T", "ndt_mthd"): ["Allowed Values: UT, RT, MT"],
    ("QA_CLASS_FINDING_T", "fnd_ctg"): ["Allowed Values: COC, REC, OBS"],
    ("QA_CLASS_FINDING_T", "fnd_sts"): ["Allowed Values: OPN, CLS", "Overdue: fnd_sts = 'OPN' and due_dt before the "
                                        "data date"],
    ("PRJ_CHANGE_REQ_T", "cr_sts"): ["Allowed Values: SUB, EVL, APR, REJ, IMP", "Pending: cr_sts in ('SUB', 'EVL')"],
    ("MAT_DELIVERY_T", "dlv_sts"): ["Allowed Values: ORD, FAT, SHP, RCV, DMG", "Late: fcst_dt > req_dt"],
    ("PRJ_RISK_T", "rsk_sts"): ["Allowed Values: OPN, CLS, OCC"],
    ("PRJ_RISK_T", "rsk_scr"): ["High risk: rsk_scr >= 12"],
}

CONCEPTS = {
    ("SCH_ACTIVITY_T", "tot_flt_d"): ["total_float", "critical_path"],
    ("SCH_ACTIVITY_T", "free_flt_d"): ["free_float"],
    ("SCH_ACTIVITY_T", "crit_flg"): ["critical_path"],
    ("SCH_ACTIVITY_T", "pct_cmp"): ["percent_complete"],
    ("SCH_ACTIVITY_T", "bl_fnsh"): ["baseline_variance"],
    ("SCH_BL_ACT_T", "bl_fnsh"): ["baseline_variance"],
    ("SCH_LOGIC_T", "lag_d"): ["lag"],
    ("PRJ_VESSEL_T", "cntr_dlv_dt"): ["contract_delivery"],
    ("PRJ_VESSEL_T", "fcst_cst_gbp"): ["cost_variance"],
    ("YRD_STEEL_OUT_T", "stl_prcsd_t"): ["steel_throughput"],
    ("YRD_CRANE_BKG_T", "wnd_hld_hrs"): ["wind_hold"],
    ("QA_NDT_T", "rslt_cd"): ["weld_repair_rate"],
    ("QA_CLASS_FINDING_T", "fnd_ctg"): ["condition_of_class"],
    ("PRJ_CHANGE_REQ_T", "cst_imp_gbp"): ["variation"],
    ("MAT_DELIVERY_T", "fcst_dt"): ["long_lead_item"],
    ("PRJ_RISK_T", "rsk_scr"): ["risk_exposure"],
    ("SCH_CAL_EXCP_T", "excp_dt"): ["yard_shutdown"],
    ("RSC_ASSIGN_T", "act_cst_gbp"): ["labour_cost"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before the vessel misses its contract delivery date",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a vessel's delivery",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a link in calendar days",
    "baseline_variance": "Planned (forecast) dates against the current baseline; later = slipped",
    "contract_delivery": "Delivery date in the shipbuilding contract",
    "cost_variance": "Forecast cost against budget",
    "steel_throughput": "Tonnes of steel a workshop processes a day against its target",
    "wind_hold": "Time a crane lift waits for the wind to drop below the lifting limit",
    "weld_repair_rate": "Share of NDT-tested weld seams rejected and repaired",
    "condition_of_class": "A class finding that must be closed before the class certificate (delivery)",
    "variation": "An owner's change request and its cost and delay",
    "long_lead_item": "Major equipment ordered early (engines, gearboxes, propellers) that can hold up the build",
    "risk_exposure": "Probability x impact score of a risk",
    "yard_shutdown": "Days the yard does not work: public holidays, summer and Christmas shutdowns, stand-downs",
    "labour_cost": "Cost of trades, subcontractors and cranes booked to activities",
    "launch": "Launch from Berth 1 or float-out from Dock 2: the hull goes afloat and outfitting continues",
}

QUERY_EXAMPLES = [
    ("SELECT hull_no, vsl_nm, cntr_dlv_dt, fcst_dlv_dt, rag_cd FROM PRJ_VESSEL_T ORDER BY cntr_dlv_dt;",
     "Vessels with contract and forecast delivery", "simple"),
    ("SELECT a.act_no, a.act_dscr, a.pln_strt, a.pln_fnsh, a.tot_flt_d FROM SCH_ACTIVITY_T a JOIN PRJ_VESSEL_T v ON "
     "v.vsl_id = a.vsl_id WHERE v.hull_no = 'BN-432' AND a.crit_flg = 'Y' ORDER BY a.pln_strt;",
     "Critical activities of a vessel", "medium"),
    ("SELECT a.act_no, a.act_dscr, b.bl_fnsh, a.pln_fnsh FROM SCH_ACTIVITY_T a JOIN SCH_BL_ACT_T b ON b.act_id = "
     "a.act_id WHERE b.curr_flg = 'Y' AND a.pln_fnsh > b.bl_fnsh;",
     "Activities forecast to finish later than the current baseline", "complex"),
    ("SELECT b.blk_no, b.blk_dscr, b.blk_sts, b.erc_dt FROM YRD_BLOCK_T b JOIN PRJ_VESSEL_T v ON v.vsl_id = b.vsl_id "
     "WHERE v.vsl_nm = 'Skua' ORDER BY b.erc_seq;", "Blocks of a vessel in erection order", "medium"),
    ("SELECT wkshp_cd, SUM(stl_prcsd_t) AS tonnes, SUM(tgt_t) AS target FROM YRD_STEEL_OUT_T WHERE wrk_dt >= "
     "'2026-02-01' GROUP BY wkshp_cd;", "Steel throughput by workshop since a date", "simple"),
    ("SELECT c.bkg_no, r.rsc_cd, c.bkg_dt, c.lift_wt_t, c.bkg_sts FROM YRD_CRANE_BKG_T c JOIN RSC_RESOURCE_T r ON "
     "r.rsc_id = c.rsc_id WHERE c.bkg_dt > '2026-03-13' ORDER BY c.bkg_dt;", "Coming crane bookings", "medium"),
    ("SELECT b.blk_no, n.wld_sm, n.ndt_mthd, n.tst_dt, n.dfct_typ FROM QA_NDT_T n JOIN YRD_BLOCK_T b ON b.blk_id = "
     "n.blk_id WHERE n.rslt_cd = 'REJ' AND n.rpr_dt IS NULL;", "Rejected welds still awaiting repair", "medium"),
    ("SELECT fnd_no, insp_typ, fnd_dscr, due_dt FROM QA_CLASS_FINDING_T WHERE fnd_sts = 'OPN' AND fnd_ctg = 'COC';",
     "Open conditions of class", "simple"),
    ("SELECT cr_no, cr_ttl, cst_imp_gbp, dly_imp_d FROM PRJ_CHANGE_REQ_T WHERE cr_sts IN ('SUB', 'EVL');",
     "Owner change requests awaiting a decision", "simple"),
    ("SELECT d.itm_cd, d.itm_dscr, d.req_dt, d.fcst_dt FROM MAT_DELIVERY_T d WHERE d.rcvd_dt IS NULL AND d.fcst_dt > "
     "d.req_dt;", "Equipment forecast to arrive after it is needed", "simple"),
    ("SELECT r.rsc_nm, SUM(a.act_cst_gbp) AS cost FROM RSC_ASSIGN_T a JOIN RSC_RESOURCE_T r ON r.rsc_id = a.rsc_id "
     "WHERE r.rsc_typ = 'SUB' GROUP BY r.rsc_nm ORDER BY cost DESC;", "Actual cost of subcontractors", "medium"),
]

KEYWORDS = {
    "float": ["SCH_ACTIVITY_T.tot_flt_d", "SCH_ACTIVITY_T.free_flt_d", "total_float"],
    "TF": ["SCH_ACTIVITY_T.tot_flt_d"],
    "critical": ["SCH_ACTIVITY_T.crit_flg", "critical_path"],
    "predecessor": ["SCH_LOGIC_T.pred_act_id", "SCH_LOGIC_T"],
    "successor": ["SCH_LOGIC_T.succ_act_id", "SCH_LOGIC_T"],
    "baseline": ["SCH_BL_ACT_T", "baseline_variance"],
    "vessel": ["PRJ_VESSEL_T"],
    "hull": ["PRJ_VESSEL_T.hull_no", "PRJ_VESSEL_T"],
    "ship": ["PRJ_VESSEL_T"],
    "project": ["PRJ_VESSEL_T"],
    "activity": ["SCH_ACTIVITY_T"],
    "task": ["SCH_ACTIVITY_T"],
    "block": ["YRD_BLOCK_T"],
    "erection": ["YRD_BLOCK_T.erc_dt", "SCH_ACTIVITY_T"],
    "steel": ["YRD_STEEL_OUT_T", "YRD_BLOCK_T.stl_wt_t"],
    "throughput": ["YRD_STEEL_OUT_T.stl_prcsd_t"],
    "workshop": ["YRD_STEEL_OUT_T.wkshp_cd", "YRD_BLOCK_T.wkshp_cd"],
    "crane": ["YRD_CRANE_BKG_T", "RSC_RESOURCE_T"],
    "lift": ["YRD_CRANE_BKG_T"],
    "wind": ["YRD_CRANE_BKG_T.wnd_hld_hrs"],
    "NDT": ["QA_NDT_T"],
    "weld": ["QA_NDT_T"],
    "class": ["QA_CLASS_FINDING_T"],
    "finding": ["QA_CLASS_FINDING_T"],
    "surveyor": ["QA_CLASS_FINDING_T.srvyr"],
    "change request": ["PRJ_CHANGE_REQ_T"],
    "variation": ["PRJ_CHANGE_REQ_T"],
    "delivery": ["MAT_DELIVERY_T", "PRJ_VESSEL_T.fcst_dlv_dt"],
    "engine": ["MAT_DELIVERY_T", "SCH_ACTIVITY_T"],
    "supplier": ["MAT_DELIVERY_T.splr_nm"],
    "launch": ["PRJ_VESSEL_T.fcst_lnch_dt"],
    "holiday": ["SCH_CAL_EXCP_T"],
    "shutdown": ["SCH_CAL_EXCP_T"],
    "trade": ["RSC_RESOURCE_T.trd_nm"],
    "subcontractor": ["RSC_RESOURCE_T.rsc_typ"],
    "hours": ["RSC_ASSIGN_T"],
    "risk": ["PRJ_RISK_T"],
}

TERMINOLOGY = {
    "OPV": "Offshore patrol vessel",
    "RORO": "Roll-on roll-off ferry",
    "RV": "Research vessel",
    "block": "Prefabricated hull section built in a workshop and lifted onto the berth or into the dock",
    "erection": "Lifting a block onto the berth or into the dock and welding it to the hull",
    "keel laying": "The first block placed on the berth or in the dock",
    "hull closure": "All blocks erected; the hull is weathertight",
    "launch": "The hull goes into the water from Berth 1; float-out when the dock is flooded",
    "outfitting": "Piping, HVAC, cabling, accommodation and equipment installed by zone",
    "HAT": "Harbour acceptance tests",
    "SAT": "Sea acceptance trials (sea trials)",
    "inclining": "Inclining experiment to establish the lightship weight and stability",
    "NDT": "Non-destructive testing of welds (UT, RT, MT)",
    "UT": "Ultrasonic testing",
    "RT": "Radiographic testing",
    "MT": "Magnetic particle testing",
    "class": "The classification society (Aldmark Register of Shipping) and its surveys",
    "COC": "Condition of class",
    "CR": "Owner's change request (variation)",
    "FAT": "Factory acceptance test at the supplier's works",
    "panel line": "Automated flat panel welding line (PNL-1)",
    "goliath": "The 600t gantry crane over Berth 1 (GC-1)",
    "TF": "Total float",
    "FF": "Free float",
    "data date": "Date up to which progress is recorded (2026-03-13)",
    "BL": "Baseline (BL0 original, BL1 re-baseline)",
    "WIP": "Activity in progress",
    "CMP": "Activity complete",
    "NS": "Activity not started",
}

RELATED_TERMS = {
    "PRJ_VESSEL_T": "vessel, hull, ship, newbuild, project, contract",
    "SCH_ACTIVITY_T": "activity, task, programme line, milestone, job",
    "SCH_LOGIC_T": "logic, link, relationship, dependency, predecessor, successor",
    "SCH_BL_ACT_T": "baseline, re-baseline, BL0, BL1, target dates",
    "SCH_CALENDAR_T": "calendar, shift pattern",
    "SCH_CAL_EXCP_T": "holiday, shutdown, stand-down, non-working day",
    "YRD_BLOCK_T": "block, hull block, unit, module, erection sequence",
    "YRD_STEEL_OUT_T": "steel throughput, tonnage, daily output, hall output",
    "YRD_CRANE_BKG_T": "crane booking, lift, goliath, gantry crane, wind hold",
    "QA_NDT_T": "NDT, weld test, UT, RT, weld repair",
    "QA_CLASS_FINDING_T": "class finding, class survey, condition of class, surveyor, punch item",
    "PRJ_CHANGE_REQ_T": "change request, variation, owner change, CR",
    "MAT_DELIVERY_T": "delivery, long-lead item, equipment, purchase order, supplier",
    "RSC_RESOURCE_T": "resource, trade, squad, subcontractor, crane",
    "RSC_ASSIGN_T": "assignment, hours, man-hours, labour cost",
    "PRJ_RISK_T": "risk, risk register",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout26"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="SCH_ACTIVITY_T")


if __name__ == "__main__":
    sys.exit(main())
