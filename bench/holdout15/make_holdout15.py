#!/usr/bin/env python3
"""Build the fifteenth check schedule database (a full-fibre broadband network rollout, lower snake_case
tables with a _tbl suffix and abbreviated columns) and its metadata.

Brackenlink Fibre Ltd builds a full-fibre (FTTP) network across the Wessex Vale: seven build areas, one
per telephone exchange area (Ashvale, Cranhurst, Dalwick, Fenmoor, Heathbury, Millbrook, Stourwick). Each
build area runs survey and design, wayleaves and street works permits, materials, and then, cabinet by
cabinet, civils (duct, chambers, poles), cable blowing, splicing and testing, before customer
connections and the handover to operations. Dalwick was re-baselined after Network Rail refused the
rail crossing wayleave; Heathbury after the traffic order for the A-road works was refused.

Named the way a telecom operator's reporting warehouse is named: lower snake_case tables with a _tbl
suffix (bld_area_tbl, task_tbl, tsk_lnk_tbl, dly_prog_tbl, ...) and abbreviated columns (tsk_ref,
es_dt, ef_dt, tf_dy, crit_ind, hp_qty). Flags are 'Y' / 'N'. Task status, task type, link type, crew
trade, change request status, permit type, delivery status, delay and weather codes are short codes;
build stage, cabinet status, permit status and risk status are words.

Durations, remaining durations and float are in WORKING DAYS of the task's calendar; lags are calendar
days. Street works calendars stop for the highway authorities' Christmas embargo. Each build area is
scheduled by one forward and backward pass against its target finish. Data date 2025-10-17.

Outputs go to bench/out/holdout15/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 151515
DATA_DATE = dt.date(2025, 10, 17)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import WorkDays, activity_at, anchored_baselines, assignment_hours, baseline_activities, check_with_history, default_out, forward_backward, gather_plans, describe_tables, main as build_main, metadata_document, day_span as _span, insert_calendars, iso, logic_links, parse_pred, shown_dates, wbs_rows, worked_days  # noqa: E402
DB_NAME = "holdout15_schedule.db"
META_NAME = "holdout15_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE bld_area_tbl (
    ba_id INTEGER PRIMARY KEY, ba_cd TEXT NOT NULL UNIQUE, ba_nm TEXT NOT NULL, exch_nm TEXT NOT NULL,
    rgn_nm TEXT NOT NULL, bm_nm TEXT NOT NULL, prime_ctr_nm TEXT NOT NULL, prem_tgt_qty INTEGER NOT NULL,
    bud_amt REAL NOT NULL, fcst_amt REAL NOT NULL, plan_st_dt TEXT NOT NULL, tgt_fin_dt TEXT NOT NULL,
    fcst_fin_dt TEXT NOT NULL, act_fin_dt TEXT, stg_nm TEXT NOT NULL, rag_cd TEXT NOT NULL
);
CREATE TABLE wbs_tbl (
    wbs_id INTEGER PRIMARY KEY, ba_id INTEGER NOT NULL REFERENCES bld_area_tbl(ba_id),
    par_wbs_id INTEGER REFERENCES wbs_tbl(wbs_id), wbs_cd TEXT NOT NULL, wbs_nm TEXT NOT NULL,
    lvl_no INTEGER NOT NULL
);
CREATE TABLE cal_tbl (
    cal_id INTEGER PRIMARY KEY, cal_cd TEXT NOT NULL UNIQUE, cal_nm TEXT NOT NULL, wk_pat TEXT NOT NULL,
    hrs_per_dy REAL NOT NULL, note_txt TEXT
);
CREATE TABLE cal_exc_tbl (
    exc_id INTEGER PRIMARY KEY, cal_id INTEGER NOT NULL REFERENCES cal_tbl(cal_id), exc_dt TEXT NOT NULL,
    exc_typ_cd TEXT NOT NULL, exc_rsn TEXT NOT NULL
);
CREATE TABLE cab_tbl (
    cab_id INTEGER PRIMARY KEY, ba_id INTEGER NOT NULL REFERENCES bld_area_tbl(ba_id), cab_ref TEXT NOT NULL UNIQUE,
    loc_txt TEXT NOT NULL, cab_typ_cd TEXT NOT NULL, prem_qty INTEGER NOT NULL, ovhd_ind TEXT NOT NULL,
    rfs_dt TEXT, cab_sts TEXT NOT NULL
);
CREATE TABLE task_tbl (
    tsk_id INTEGER PRIMARY KEY, ba_id INTEGER NOT NULL REFERENCES bld_area_tbl(ba_id),
    wbs_id INTEGER NOT NULL REFERENCES wbs_tbl(wbs_id), cal_id INTEGER NOT NULL REFERENCES cal_tbl(cal_id),
    cab_id INTEGER REFERENCES cab_tbl(cab_id), tsk_ref TEXT NOT NULL UNIQUE, tsk_nm TEXT NOT NULL,
    tsk_typ_cd TEXT NOT NULL, od_dy REAL NOT NULL, rd_dy REAL NOT NULL, bl_st_dt TEXT, bl_fin_dt TEXT,
    es_dt TEXT NOT NULL, ef_dt TEXT NOT NULL, ls_dt TEXT, lf_dt TEXT, as_dt TEXT, af_dt TEXT, tf_dy REAL,
    ff_dy REAL, crit_ind TEXT NOT NULL, pct_cmp REAL NOT NULL, sts_cd TEXT NOT NULL
);
CREATE TABLE tsk_lnk_tbl (
    lnk_id INTEGER PRIMARY KEY, pred_tsk_id INTEGER NOT NULL REFERENCES task_tbl(tsk_id),
    succ_tsk_id INTEGER NOT NULL REFERENCES task_tbl(tsk_id), lnk_typ_cd TEXT NOT NULL, lag_dy REAL NOT NULL
);
CREATE TABLE bsln_tbl (
    bsln_id INTEGER PRIMARY KEY, ba_id INTEGER NOT NULL REFERENCES bld_area_tbl(ba_id), bsln_no INTEGER NOT NULL,
    bsln_nm TEXT NOT NULL, set_dt TEXT NOT NULL, apprv_by_nm TEXT NOT NULL, cur_ind TEXT NOT NULL
);
CREATE TABLE bsln_tsk_tbl (
    bt_id INTEGER PRIMARY KEY, bsln_id INTEGER NOT NULL REFERENCES bsln_tbl(bsln_id),
    tsk_id INTEGER NOT NULL REFERENCES task_tbl(tsk_id), bl_st_dt TEXT NOT NULL, bl_fin_dt TEXT NOT NULL,
    bl_dur_dy REAL NOT NULL, bl_tf_dy REAL
);
CREATE TABLE crew_tbl (
    crew_id INTEGER PRIMARY KEY, crew_cd TEXT NOT NULL UNIQUE, crew_nm TEXT NOT NULL, sub_nm TEXT NOT NULL,
    trade_cd TEXT NOT NULL, hd_cnt INTEGER NOT NULL, sup_nm TEXT NOT NULL, dy_rt_amt REAL NOT NULL
);
CREATE TABLE crew_asgn_tbl (
    asgn_id INTEGER PRIMARY KEY, tsk_id INTEGER NOT NULL REFERENCES task_tbl(tsk_id),
    crew_id INTEGER NOT NULL REFERENCES crew_tbl(crew_id), pln_hrs REAL NOT NULL, act_hrs REAL NOT NULL,
    rem_hrs REAL NOT NULL, pln_cst_amt REAL NOT NULL, act_cst_amt REAL NOT NULL
);
CREATE TABLE rsk_tbl (
    rsk_id INTEGER PRIMARY KEY, ba_id INTEGER NOT NULL REFERENCES bld_area_tbl(ba_id),
    tsk_id INTEGER REFERENCES task_tbl(tsk_id), rsk_ref TEXT NOT NULL UNIQUE, rsk_ttl TEXT NOT NULL,
    rsk_cat TEXT NOT NULL, prob_no INTEGER NOT NULL, imp_no INTEGER NOT NULL, scr_no INTEGER NOT NULL,
    cst_exp_amt REAL NOT NULL, sch_exp_dy REAL NOT NULL, own_nm TEXT NOT NULL, mit_txt TEXT NOT NULL,
    rsk_sts TEXT NOT NULL, rais_dt TEXT NOT NULL, rvw_dt TEXT NOT NULL
);
CREATE TABLE chg_req_tbl (
    cr_id INTEGER PRIMARY KEY, ba_id INTEGER NOT NULL REFERENCES bld_area_tbl(ba_id), cr_ref TEXT NOT NULL UNIQUE,
    cr_ttl TEXT NOT NULL, cr_typ TEXT NOT NULL, rais_by_nm TEXT NOT NULL, cst_imp_amt REAL NOT NULL,
    tm_imp_dy REAL NOT NULL, cr_sts_cd TEXT NOT NULL, rais_dt TEXT NOT NULL, dcsn_dt TEXT
);
CREATE TABLE prmt_tbl (
    prmt_id INTEGER PRIMARY KEY, ba_id INTEGER NOT NULL REFERENCES bld_area_tbl(ba_id),
    cab_id INTEGER REFERENCES cab_tbl(cab_id), prmt_ref TEXT NOT NULL UNIQUE, prmt_typ_cd TEXT NOT NULL,
    auth_nm TEXT NOT NULL, loc_txt TEXT NOT NULL, appl_dt TEXT NOT NULL, grnt_dt TEXT, vld_from_dt TEXT,
    vld_to_dt TEXT, prmt_sts TEXT NOT NULL, fee_amt REAL NOT NULL
);
CREATE TABLE mat_dlv_tbl (
    dlv_id INTEGER PRIMARY KEY, ba_id INTEGER NOT NULL REFERENCES bld_area_tbl(ba_id),
    tsk_id INTEGER REFERENCES task_tbl(tsk_id), po_no TEXT NOT NULL, mat_cd TEXT NOT NULL, mat_desc TEXT NOT NULL,
    ord_qty REAL NOT NULL, dlv_qty REAL NOT NULL, uom_cd TEXT NOT NULL, supp_nm TEXT NOT NULL, req_dt TEXT NOT NULL,
    prom_dt TEXT NOT NULL, dlv_dt TEXT, dlv_sts_cd TEXT NOT NULL
);
CREATE TABLE dly_prog_tbl (
    prog_id INTEGER PRIMARY KEY, ba_id INTEGER NOT NULL REFERENCES bld_area_tbl(ba_id),
    tsk_id INTEGER NOT NULL REFERENCES task_tbl(tsk_id), crew_id INTEGER NOT NULL REFERENCES crew_tbl(crew_id),
    rpt_dt TEXT NOT NULL, duct_lay_m REAL NOT NULL, fib_blwn_m REAL NOT NULL, pole_qty INTEGER NOT NULL,
    hp_qty INTEGER NOT NULL, hc_qty INTEGER NOT NULL, lost_hrs REAL NOT NULL, dly_cd TEXT, wthr_cd TEXT NOT NULL,
    rmk_txt TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

BANK_HOLIDAYS = {
    "2024-08-26": "Summer bank holiday", "2024-12-25": "Christmas Day", "2024-12-26": "Boxing Day",
    "2025-01-01": "New Year's Day", "2025-04-18": "Good Friday", "2025-04-21": "Easter Monday",
    "2025-05-05": "Early May bank holiday", "2025-05-26": "Spring bank holiday",
    "2025-08-25": "Summer bank holiday", "2025-12-25": "Christmas Day", "2025-12-26": "Boxing Day",
    "2026-01-01": "New Year's Day", "2026-04-03": "Good Friday", "2026-04-06": "Easter Monday",
    "2026-05-04": "Early May bank holiday", "2026-05-25": "Spring bank holiday",
    "2026-08-31": "Summer bank holiday",
}
CAL_FROM, CAL_TO = dt.date(2024, 8, 1), dt.date(2026, 12, 31)


SHUTDOWN = _span("2024-12-24", "2025-01-01") + _span("2025-12-24", "2026-01-01")
EMBARGO = _span("2024-12-09", "2025-01-03") + _span("2025-12-08", "2026-01-02")

CALENDARS = [
    # id, code, name, work days (0 = Mon), week, hours a day, notes, kind
    (1, "OFC-5D", "Office Mon-Fri 7.5h", {0, 1, 2, 3, 4}, "Mon-Fri", 7.5,
     "Design, wayleaves, permits and build management; office closed between Christmas and New Year", "office"),
    (2, "CIV-5D", "Street works Mon-Fri 9h", {0, 1, 2, 3, 4}, "Mon-Fri", 9.0,
     "Civils in the highway; no digging during the highway authorities' Christmas embargo", "civ"),
    (3, "CIV-6D", "Street works Mon-Sat 9h", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 9.0,
     "Civils gangs working Saturdays (Kestrel Civils); Christmas embargo and local event closures apply", "civ6"),
    (4, "FIB-5D", "Fibre and splicing Mon-Fri 8h", {0, 1, 2, 3, 4}, "Mon-Fri", 8.0,
     "Cable blowing, splicing, testing and customer installs; Christmas shutdown", "fibre"),
    (5, "ELP-7D", "7-day elapsed", set(range(7)), "Mon-Sun", 24.0,
     "Supplier lead times and deliveries", "elapsed"),
]
EVENTS_OFF = {"2025-06-14": "Ashvale carnival - town centre roads closed",
              "2025-09-13": "Cranhurst half marathon - road closures"}


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.off = {}
        if kind == "elapsed":
            return
        for iso_d, name in BANK_HOLIDAYS.items():
            self.off[dt.date.fromisoformat(iso_d)] = ("BH", f"Bank holiday - {name}")
        if kind in ("office", "fibre"):
            for d in SHUTDOWN:
                self.off.setdefault(d, ("XMAS", "Christmas shutdown"))
        if kind in ("civ", "civ6"):
            for d in EMBARGO:
                self.off.setdefault(d, ("EMB", "Highway authority Christmas street works embargo"))
        if kind == "civ6":
            for iso_d, name in EVENTS_OFF.items():
                self.off[dt.date.fromisoformat(iso_d)] = ("EVT", name)


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFC, CIV5, CIV6, FIB, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

DIRECTOR = "Gareth Pennock"
PERMITS_LEAD = "Siobhan Trelawney"
PLANNER = "Dev Malhotra"

AREAS = [
    # code, name, region, build manager, prime contractor, civils calendar, civils crew, start, key-date margin
    # (working days), cabinets: (location, premises, overhead), re-baseline
    ("ASHV", "Ashvale", "North Vale", "Kerry Ansell", "Kestrel Civils", CIV6, "KES-CV1", dt.date(2024, 8, 5), 15,
     [("Station Road / Mill Lane", 412, "N"), ("Ashvale Green", 288, "Y"), ("Bridge Street", 356, "N"),
      ("Orchard Way estate", 240, "N")], None),
    ("CRNH", "Cranhurst", "North Vale", "Kerry Ansell", "Kestrel Civils", CIV6, "KES-CV2", dt.date(2025, 3, 3), 10,
     [("Cranhurst High Street", 468, "N"), ("Cranhurst Common", 196, "Y"), ("Wharf Road", 332, "N"),
      ("Kingsmead estate", 510, "N"), ("Upper Cranhurst", 174, "Y")], None),
    ("DLWK", "Dalwick", "Central Vale", "Tomasz Wrona", "Orchard Street Networks", CIV5, "ORC-CV1",
     dt.date(2025, 1, 6), 0,
     [("Dalwick Market Place", 384, "N"), ("Railway Terrace", 226, "N"), ("Dalwick Heath", 158, "Y"),
      ("Priory Fields", 342, "N")], (dt.date(2025, 6, 2), "BL1 Re-plan after rail crossing wayleave refusal")),
    ("FNMR", "Fenmoor", "Central Vale", "Tomasz Wrona", "Orchard Street Networks", CIV5, "ORC-CV2",
     dt.date(2025, 2, 3), 12,
     [("Fenmoor Broadway", 436, "N"), ("Long Drove", 142, "Y"), ("Abbey Road", 298, "N"), ("Fen Lane", 188, "Y"),
      ("Marsh Court estate", 376, "N")], None),
    ("HTHB", "Heathbury", "South Vale", "Bryony Cadwallader", "Tamarind Infrastructure", CIV5, "TAM-CV1",
     dt.date(2025, 3, 3), 0,
     [("London Road (A361)", 402, "N"), ("Heathbury Park", 264, "N"), ("Church Hill", 210, "Y"),
      ("Meadowbank estate", 318, "N")], (dt.date(2025, 7, 14), "BL1 Re-plan after A361 traffic order refusal")),
    ("MLBK", "Millbrook", "South Vale", "Bryony Cadwallader", "Tamarind Infrastructure", CIV5, "TAM-CV2",
     dt.date(2025, 7, 1), 10,
     [("Millbrook Square", 354, "N"), ("Mill Race", 176, "Y"), ("Watermeadow estate", 292, "N")], None),
    ("STRW", "Stourwick", "West Vale", "Niamh Fairclough", "Kestrel Civils", CIV6, "KES-CV3", dt.date(2025, 9, 1), 15,
     [("Stourwick Quay", 448, "N"), ("Bell Lane", 212, "Y"), ("Stour Meadows", 306, "N"), ("Castle Rise", 264, "N")],
     None),
]
COST_F = {"ASHV": 0.97, "CRNH": 1.03, "DLWK": 1.16, "FNMR": 1.05, "HTHB": 1.12, "MLBK": 1.0, "STRW": 1.0}

CREWS = [
    # code, name, subcontractor, trade, heads, supervisor, day rate GBP (per head)
    ("DES-01", "Brackenlink design office", "Brackenlink Fibre Ltd (in-house)", "DES", 3, "Helen Oduya", 410.0),
    ("WLV-01", "Wayleave and permits team", "Brackenlink Fibre Ltd (in-house)", "PMT", 2, PERMITS_LEAD, 360.0),
    ("KES-CV1", "Kestrel civils gang 1", "Kestrel Civils", "CIV", 4, "Dean Mulholland", 295.0),
    ("KES-CV2", "Kestrel civils gang 2", "Kestrel Civils", "CIV", 4, "Liam Costigan", 295.0),
    ("KES-CV3", "Kestrel civils gang 3", "Kestrel Civils", "CIV", 4, "Paddy Roarke", 295.0),
    ("ORC-CV1", "Orchard Street civils gang North", "Orchard Street Networks", "CIV", 5, "Jason Pye", 280.0),
    ("ORC-CV2", "Orchard Street civils gang South", "Orchard Street Networks", "CIV", 5, "Mark Elsworth", 280.0),
    ("TAM-CV1", "Tamarind civils gang 1", "Tamarind Infrastructure", "CIV", 4, "Craig Bellamy-Fox", 310.0),
    ("TAM-CV2", "Tamarind civils gang 2", "Tamarind Infrastructure", "CIV", 4, "Shaun Dacre", 310.0),
    ("POL-01", "Polecraft overhead team", "Polecraft Utilities", "OHD", 3, "Wayne Tresize", 330.0),
    ("BLW-01", "Airstream blowing team 1", "Airstream Fibre Services", "CAB", 3, "Ravi Chandran", 320.0),
    ("BLW-02", "Airstream blowing team 2", "Airstream Fibre Services", "CAB", 3, "Ollie Furness", 320.0),
    ("SPL-A", "Lumen splicing team A", "Lumen Jointing Ltd", "SPL", 2, "Agnieszka Nowak", 365.0),
    ("SPL-B", "Lumen splicing team B", "Lumen Jointing Ltd", "SPL", 2, "Kwame Boateng", 365.0),
    ("TST-01", "Photon test engineers", "Photon Test & Commissioning", "TST", 2, "Imogen Sallis", 390.0),
    ("CON-01", "Doorstep Connect install team", "Doorstep Connect", "CON", 6, "Lee Hambly", 240.0),
]
HOURS = {"DES": 7.5, "PMT": 7.5, "CIV": 9.0, "OHD": 9.0, "CAB": 8.0, "SPL": 8.0, "TST": 8.0, "CON": 8.0}
BLOW = {"ASHV": "BLW-01", "CRNH": "BLW-02", "DLWK": "BLW-01", "FNMR": "BLW-02", "HTHB": "BLW-01", "MLBK": "BLW-02",
        "STRW": "BLW-01"}
SPLICE = {"ASHV": "SPL-A", "CRNH": "SPL-B", "DLWK": "SPL-A", "FNMR": "SPL-B", "HTHB": "SPL-A", "MLBK": "SPL-B",
          "STRW": "SPL-A"}

# slips (working days added to the duration) and the tasks added after the baseline
SLIPS = {"CRNH.civ4": 6, "CRNH.spl4": 3, "DLWK.wl": 38, "DLWK.civ2": 9, "FNMR.civ2": 7, "FNMR.cdl": 12,
         "HTHB.swp": 30, "HTHB.civ1": 8, "MLBK.wl": 10, "ASHV.civ3": 3, "FNMR.pol2": 2}

# ---------------------------------------------------------------------------------------------- plans


class Plan:
    def __init__(self, ba, civ_cal):
        self.ba, self.civ_cal = ba, civ_cal
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("DES", "ROOT", "Survey and design"),
                    ("PMT", "ROOT", "Wayleaves and permits"), ("MAT", "ROOT", "Materials"),
                    ("BLD", "ROOT", "Network build"), ("HOV", "ROOT", "Connections and handover")]

    def add(self, key, name, dur, wbs, preds=(), cal=OFC, kind=None, ms=None, cab=None, new=False):
        full = f"{self.ba}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs, preds=[f"{self.ba}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, cab=cab, new=new, ba=self.ba,
                               slip=SLIPS.get(full, 0)))
        return key


def make_plan(area, rng):
    code, name, _, _, _, civ_cal, _, _, _, cabs, _ = area
    p = Plan(code, civ_cal)
    p.add("go", f"Build area go-ahead - {name}", 0, "DES", ms="S")
    p.add("hld", "High-level design and desktop survey", 15, "DES", ["go"], kind="DES")
    p.add("fsv", "Field survey walk-out (poles, chambers, frontages)", 12, "DES", ["hld"], cal=civ_cal, kind="DES")
    p.add("lld", "Low-level design and bill of materials", 15, "DES", ["fsv"], kind="DES")
    p.add("wl", "Wayleave negotiations (private land, housing blocks)", 35, "PMT", ["fsv:SS5"], kind="PMT")
    p.add("swp", "Street works permit and traffic order applications", 20, "PMT", ["lld:SS10"], kind="PMT")
    p.add("mdl", "Duct, chamber and pole materials delivery", 15, "MAT", ["lld"], cal=ELP)
    p.add("cdl", "Fibre cable, closures and cabinets delivery", 28, "MAT", ["lld"], cal=ELP)
    if code == "DLWK":
        p.add("rrt", "Re-route under railway by directional drill (Railway Terrace)", 12, "PMT", ["wl"],
              cal=civ_cal, kind="CIV", new=True)
    if code == "HTHB":
        p.add("ngt", "Night-time works plan and revised traffic order (A361)", 10, "PMT", ["swp"], new=True,
              kind="PMT")
    prev_civ = prev_cab = None
    for i, (loc, prem, ovhd) in enumerate(cabs, 1):
        ref = f"{code}-C{i:02d}"
        p.wbs.append((f"C{i}", "BLD", f"Cabinet {ref} - {loc}"))
        w = f"C{i}"
        preds = ["swp", "mdl"] + ([f"civ{i - 1}"] if prev_civ else [])
        if code == "DLWK" and i == 2:
            preds.append("rrt")
        if code == "HTHB" and i == 1:
            preds.append("ngt")
        prev_civ = p.add(f"civ{i}", f"Civils - duct and chambers {ref}", rng.choice([18, 20, 22, 24, 26]), w, preds,
                         cal=civ_cal, kind="CIV", cab=i)
        cab_preds = [f"civ{i}:FS2", "cdl"] + ([prev_cab] if prev_cab else [])
        if ovhd == "Y":
            p.add(f"pol{i}", f"Pole erection and overhead route {ref}", 6, w, [f"civ{i}:SS5"], cal=civ_cal,
                  kind="OHD", cab=i)
            cab_preds.append(f"pol{i}")
        prev_cab = p.add(f"cab{i}", f"Cable blowing and pulling {ref}", rng.choice([8, 9, 10, 12]), w, cab_preds,
                         cal=FIB, kind="CAB", cab=i)
        p.add(f"spl{i}", f"Splicing and cabinet build {ref}", rng.choice([6, 7, 8, 9]), w,
              [f"cab{i}"] + (["wl"] if i == 1 else []), cal=FIB, kind="SPL", cab=i)
        p.add(f"tst{i}", f"OTDR and light-level test {ref}", 2, w, [f"spl{i}"], cal=FIB, kind="TST", cab=i)
        p.add(f"rfs{i}", f"Cabinet {ref} ready for service", 0, w, [f"tst{i}"], ms="F", cab=i)
    n = len(cabs)
    p.add("con", "Customer connections - first wave", 40, "HOV", ["rfs1"], cal=FIB, kind="CON")
    p.add("hov", "Network handover to operations (as-builts, records)", 5, "HOV", [f"rfs{i}" for i in range(1, n + 1)],
          kind="DES")
    p.add("fin", f"{name} build area ready for service", 0, "HOV", ["hov", "con:FF0"], ms="F")
    return p


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each task against its build area's anchor."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "ba")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


RISKS = [
    # area, task key, title, category, probability 1-5, impact 1-5, cost GBP, schedule days, owner, mitigation,
    # status, raised, next review
    ("ASHV", "ASHV.civ3", "Unrecorded gas main under Bridge Street footway", "Ground conditions", 3, 3, 38000.0, 6,
     "Kerry Ansell", "Trial holes and utility records search before digging", "Occurred", "2024-10-14",
     "2025-03-10"),
    ("ASHV", None, "Town centre carnival closes roads in June", "External", 2, 2, 4000.0, 2, PERMITS_LEAD,
     "Programme civils away from the carnival route", "Closed", "2025-01-20", "2025-06-30"),
    ("CRNH", "CRNH.civ4", "Blocked duct in Kingsmead estate needs re-dig", "Technical", 4, 3, 52000.0, 8,
     "Kerry Ansell", "Rod and rope survey of existing duct before blowing", "Occurred", "2025-07-21", "2025-10-20"),
    ("CRNH", "CRNH.spl4", "Splicing team availability in October", "Resource", 3, 3, 18000.0, 5, "Kerry Ansell",
     "Second Lumen team on call-off", "Open", "2025-08-11", "2025-10-24"),
    ("CRNH", "CRNH.pol5", "Landowner objects to new poles in Upper Cranhurst", "Wayleave", 3, 4, 26000.0, 15,
     PERMITS_LEAD, "Offer underground route at extra cost", "Open", "2025-06-16", "2025-10-27"),
    ("DLWK", "DLWK.wl", "Network Rail refuses the rail crossing wayleave", "Wayleave", 4, 5, 145000.0, 40,
     PERMITS_LEAD, "Directional drill under the railway as an alternative route", "Occurred", "2025-02-03",
     "2025-10-20"),
    ("DLWK", "DLWK.rrt", "Directional drill hits rock under the embankment", "Ground conditions", 3, 4, 60000.0, 10,
     "Tomasz Wrona", "Geotechnical bore before the drill, spare drill head", "Closed", "2025-05-12", "2025-06-30"),
    ("DLWK", None, "Listed building consent for cabinet in the Market Place", "Planning", 2, 3, 9000.0, 12,
     PERMITS_LEAD, "Heritage colour cabinet and pre-application meeting", "Closed", "2025-01-27", "2025-05-19"),
    ("FNMR", "FNMR.cdl", "Fibre cable lead time extends to 14 weeks", "Supply chain", 4, 4, 35000.0, 12,
     PLANNER, "Re-allocate 144f stock from the Stourwick order", "Occurred", "2025-03-24", "2025-10-20"),
    ("FNMR", "FNMR.civ2", "Waterlogged ground on Long Drove", "Ground conditions", 3, 3, 22000.0, 7,
     "Tomasz Wrona", "Dewatering pumps and dry-weather working", "Occurred", "2025-05-12", "2025-09-29"),
    ("FNMR", "FNMR.civ5", "Parked cars block footway works in Marsh Court", "Access", 3, 2, 6000.0, 4,
     "Tomasz Wrona", "Letter drop and suspended parking bays", "Open", "2025-08-04", "2025-10-27"),
    ("HTHB", "HTHB.swp", "County refuses daytime traffic order on the A361", "Permit", 4, 5, 88000.0, 30,
     PERMITS_LEAD, "Night-time works under a revised traffic order", "Occurred", "2025-04-28", "2025-10-20"),
    ("HTHB", "HTHB.civ1", "Night works noise complaints on London Road", "External", 3, 3, 15000.0, 5,
     "Bryony Cadwallader", "Quiet saws, residents' letters, works stop at 23:00", "Open", "2025-07-21",
     "2025-10-24"),
    ("HTHB", None, "Utility strike on water main", "HSE", 2, 5, 40000.0, 6, "Bryony Cadwallader",
     "Cable avoidance tool and trial holes on every crossing", "Open", "2025-03-10", "2025-11-03"),
    ("MLBK", "MLBK.wl", "Housing association slow to sign block wayleaves", "Wayleave", 4, 3, 12000.0, 10,
     PERMITS_LEAD, "Standard wayleave template agreed with Riverside Homes", "Open", "2025-08-04", "2025-10-27"),
    ("MLBK", "MLBK.civ2", "Mill Race bridge weight limit for excavator", "Access", 2, 3, 7000.0, 4,
     "Bryony Cadwallader", "Mini-excavator and hand dig across the bridge", "Open", "2025-09-22", "2025-11-10"),
    ("STRW", "STRW.fsv", "Conservation area restricts overhead routes", "Planning", 3, 3, 30000.0, 8,
     "Niamh Fairclough", "Underground design for Bell Lane", "Open", "2025-09-08", "2025-10-31"),
    ("STRW", "STRW.civ1", "Quay flood defence wall cannot be drilled", "Ground conditions", 2, 4, 25000.0, 6,
     "Niamh Fairclough", "Route along the inland footway", "Open", "2025-10-06", "2025-11-07"),
    ("STRW", None, "Civils gang 3 mobilisation slips", "Resource", 2, 3, 10000.0, 5, "Niamh Fairclough",
     "Kestrel to confirm gang 3 start in writing", "Open", "2025-09-15", "2025-10-24"),
    ("CRNH", None, "Half marathon closes Cranhurst roads", "External", 2, 1, 2000.0, 1, PERMITS_LEAD,
     "No works booked on race day", "Closed", "2025-05-19", "2025-09-15"),
]

CHANGES = [
    # area, title, type, raised by, cost GBP, time days, status, raised, decision
    ("ASHV", "Extra chambers for Orchard Way infill plots", "Scope", "Kerry Ansell", 14500.0, 2, "APPR",
     "2024-12-02", "2024-12-16"),
    ("ASHV", "Swap aerial drop to underground at Ashvale Green school", "Design", "Helen Oduya", 8200.0, 1, "APPR",
     "2024-11-18", "2024-11-25"),
    ("CRNH", "Re-dig of blocked duct in Kingsmead", "Scope", "Kerry Ansell", 41000.0, 6, "APPR", "2025-08-11",
     "2025-08-26"),
    ("CRNH", "Underground route for Upper Cranhurst instead of poles", "Design", PERMITS_LEAD, 36000.0, 8, "ASSD",
     "2025-08-26", None),
    ("DLWK", "Directional drill under the railway at Railway Terrace", "Design", "Tomasz Wrona", 98000.0, 12,
     "APPR", "2025-04-28", "2025-05-27"),
    ("DLWK", "Re-plan after rail crossing wayleave refusal (BL1)", "Programme", PLANNER, 0.0, 38, "APPR",
     "2025-05-12", "2025-06-02"),
    ("DLWK", "Heritage cabinet finish in Market Place", "Design", PERMITS_LEAD, 3600.0, 0, "APPR", "2025-02-17",
     "2025-03-03"),
    ("FNMR", "Dewatering on Long Drove", "Commercial", "Tomasz Wrona", 17500.0, 3, "APPR", "2025-06-09",
     "2025-06-23"),
    ("FNMR", "Add Marsh Court flats to build scope (112 premises)", "Scope", "Gareth Pennock", 46000.0, 5, "RSD",
     "2025-10-06", None),
    ("FNMR", "Expedite fee for 144f cable", "Commercial", PLANNER, 9800.0, -4, "RJCT", "2025-04-07", "2025-04-22"),
    ("HTHB", "Night-time working premium on A361", "Commercial", "Bryony Cadwallader", 52000.0, 0, "APPR",
     "2025-06-16", "2025-07-07"),
    ("HTHB", "Re-plan after A361 traffic order refusal (BL1)", "Programme", PLANNER, 0.0, 30, "APPR", "2025-06-23",
     "2025-07-14"),
    ("HTHB", "Drop Church Hill poles for underground", "Design", "Helen Oduya", 21000.0, 4, "CNCL", "2025-05-19",
     None),
    ("MLBK", "Additional wayleave legal fees", "Commercial", PERMITS_LEAD, 6500.0, 0, "ASSD", "2025-09-15", None),
    ("STRW", "Inland footway route avoiding the quay wall", "Design", "Niamh Fairclough", 12800.0, 3, "RSD",
     "2025-09-22", None),
    ("STRW", "Accelerate design with second design team", "Programme", "Gareth Pennock", 11000.0, -5, "RJCT",
     "2025-09-08", "2025-09-22"),
]

PERMITS = [
    # area, cabinet no, type, authority, location, applied, granted, valid from, valid to, status, fee
    ("ASHV", None, "WL", "Castlegate Housing Association", "Orchard Way flats (blocks A-D)", "2024-09-09",
     "2024-10-21", "2024-10-21", "2034-10-20", "Granted", 0.0),
    ("ASHV", 2, "WL", "Hollins Farm Estates", "Field crossing to Ashvale Green", "2024-09-10", "2024-11-04",
     "2024-11-04", "2039-11-03", "Granted", 750.0),
    ("CRNH", None, "WL", "Kingsmead Residents Management Co", "Kingsmead estate private roads", "2025-03-31",
     "2025-05-12", "2025-05-12", "2035-05-11", "Granted", 0.0),
    ("CRNH", 5, "WL", "Upper Cranhurst Manor", "Manor drive - drop wires to the cottages", "2025-04-02", None, None, None,
     "In negotiation", 1200.0),
    ("CRNH", 1, "TTRO", "Wessex County Council Highways", "Cranhurst High Street one-way closure", "2025-04-22",
     "2025-05-12", "2025-05-20", "2025-06-13", "Expired", 1850.0),
    ("DLWK", 2, "RLY", "Network Rail", "Railway Terrace level crossing - duct on the crossing", "2025-02-03", None,
     None, None, "Refused", 2400.0),
    ("DLWK", 2, "RLY", "Network Rail", "Railway Terrace - drill under the embankment (asset protection)",
     "2025-04-14", "2025-05-16", "2025-05-19", "2025-06-30", "Closed", 6800.0),
    ("DLWK", 3, "WL", "Dalwick Heath Commoners", "Heath track poles", "2025-02-10", "2025-05-12", "2025-05-12",
     "2040-05-11", "Granted", 500.0),
    ("DLWK", None, "WL", "Priory Fields Management Ltd", "Priory Fields flats", "2025-03-03", None, None, None,
     "In negotiation", 0.0),
    ("FNMR", 2, "WL", "Fenmoor Internal Drainage Board", "Long Drove dyke crossing", "2025-03-17", "2025-05-19",
     "2025-05-19", "2035-05-18", "Granted", 900.0),
    ("FNMR", 4, "WL", "Abbotts Farm", "Fen Lane poles on farm verge", "2025-03-17",
     None, None, None, "In negotiation", 600.0),
    ("FNMR", 5, "WL", "Marsh Court Freehold Ltd", "Marsh Court flats", "2025-04-01", "2025-07-28", "2025-07-28",
     "2035-07-27", "Granted", 0.0),
    ("HTHB", 1, "TTRO", "Wessex County Council Highways", "A361 London Road lane closure (daytime)", "2025-04-24",
     None, None, None, "Refused", 2100.0),
    ("HTHB", 1, "TTRO", "Wessex County Council Highways", "A361 London Road lane closure (night-time)",
     "2025-06-02", "2025-07-07", "2025-07-17", "2026-01-23", "Granted", 2650.0),
    ("HTHB", None, "WL", "Meadowbank Homes", "Meadowbank estate private roads", "2025-04-01", "2025-05-20",
     "2025-05-20", "2035-05-19", "Granted", 0.0),
    ("HTHB", 3, "WL", "St Michael's Parochial Church Council", "Church Hill lych gate poles", "2025-04-07", None,
     None, None, "Withdrawn", 0.0),
    ("MLBK", None, "WL", "Riverside Homes", "Watermeadow estate blocks 1-6", "2025-08-04", None, None, None,
     "In negotiation", 0.0),
    ("MLBK", 2, "WL", "Millbrook Angling Club", "Mill Race bank poles", "2025-08-04", "2025-09-22", "2025-09-22",
     "2040-09-21", "Granted", 400.0),
    ("STRW", 2, "WL", "Stourwick Town Council", "Bell Lane recreation ground", "2025-09-29", None, None, None,
     "In negotiation", 0.0),
    ("STRW", 1, "WL", "Stour Navigation Trust", "Quay towpath", "2025-10-01", None, None, None, "Refused", 0.0),
]

MATERIALS = [
    # task, code, description, uom, quantity per cabinet (None = fixed), fixed quantity, supplier, only overhead
    ("mdl", "DUCT-50", "50 mm sub-duct, 500 m coils", "M", 1800.0, None, "Polyline Duct Systems", False),
    ("mdl", "CHMB-FW4", "Footway box chamber FW4", "EA", 22.0, None, "Civtek Chambers", False),
    ("mdl", "POLE-9M", "9 m wooden telecom pole", "EA", 14.0, None, "Westcountry Poles", True),
    ("cdl", "CBL-144F", "144 fibre spine cable", "M", 1400.0, None, "Halcyon Cables", False),
    ("cdl", "CBL-48F", "48 fibre distribution cable", "M", 2600.0, None, "Halcyon Cables", False),
    ("cdl", "CLSR-96", "96 splice closure", "EA", 9.0, None, "Lumen Jointing Supplies", False),
    ("cdl", "CAB-FDC", "Fibre distribution cabinet 288f", "EA", 1.0, None, "Vectra Enclosures", False),
]
LATE_MAT = {("FNMR", "CBL-144F"): 12, ("FNMR", "CBL-48F"): 9, ("DLWK", "POLE-9M"): 6, ("HTHB", "CHMB-FW4"): 5,
            ("CRNH", "CAB-FDC"): 7}
SHORT_MAT = {("CRNH", "DUCT-50"): 0.8, ("MLBK", "CHMB-FW4"): 0.75}
FIBRE_DELAYS = [("ACC", "No access to chamber - vehicle parked over lid"), ("MAT", "Closures not on van - collected "
                "from depot"), ("ACC", "Resident refused access to frontage")]
WEATHER = [("DRY", 0.55), ("WET", 0.3), ("WND", 0.08), ("STM", 0.05), ("FRZ", 0.02)]
DELAYS = [("ACC", "Parked cars blocking the footway"), ("UTL", "Utility strike - works stopped for repair"),
          ("UTL", "Unrecorded utility found - hand dig"), ("PRM", "Permit conditions not met on site - stood down"),
          ("MAT", "Waiting for materials on site"), ("ACC", "Resident refused access to frontage")]


def weather_of(rng, d):
    w = rng.random()
    if d.month in (12, 1, 2):
        table = [("DRY", 0.4), ("WET", 0.3), ("WND", 0.1), ("STM", 0.08), ("FRZ", 0.12)]
    else:
        table = WEATHER
    acc = 0.0
    for code, p in table:
        acc += p
        if w <= acc:
            return code
    return "DRY"


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "cal_tbl", "cal_exc_tbl", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    crew_ids, crew_row = {}, {}
    for i, c in enumerate(CREWS, 1):
        con.execute("INSERT INTO crew_tbl VALUES (?,?,?,?,?,?,?,?)", (i,) + c)
        crew_ids[c[0]], crew_row[c[0]] = i, c

    plans, tasks, keys = gather_plans(AREAS, lambda g: make_plan(g, rng), lambda g: g[7])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['ba']}.fin")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(a[0], f"{a[0]}.fin", a[8], a[10]) for a in AREAS], dt.date(2030, 1, 1), CALS[OFC])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    # extra slip after the re-plan on the re-baselined areas, so that they still run late
    cdurs["DLWK.civ3"] = cdurs["DLWK.civ3"] + 5
    cdurs["HTHB.civ2"] = cdurs["HTHB.civ2"] + 4
    sb, fb, lsb, lfb, free = cpm(tasks, keys, cdurs, links, anchors)
    dd_b = DATA_DATE + D1

    ids = dict(wbs=0, tsk=0, lnk=0, bl=0, blt=0, asg=0, cab=0, prm=0, dlv=0, prg=0)
    tsk_ids, tstat, cab_ids, ba_ids, states = {}, {}, {}, {}, {}
    for a_idx, area in enumerate(AREAS, 1):
        code, name, region, bm, ctr, civ_cal, civ_crew, start, _, cabs, rebase = area
        ba_ids[code] = a_idx
        plan = plans[code]
        akeys = [t["key"] for t in plan.tasks]
        fin = f"{code}.fin"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE

        def started(prefix):
            return any(k.split(".")[1].startswith(prefix) and sb[k] <= DATA_DATE and cdurs[k] > 0 for k in akeys)
        if done:
            stage = "Live"
        elif started("tst"):
            stage = "Test & handover"
        elif started("civ"):
            stage = "Build"
        elif sb[f"{code}.lld"] < fb[f"{code}.lld"] <= dd_b:
            stage = "Permitting"
        else:
            stage = "Survey & design"
        slack = CALS[OFC].wd(fb[fin], anchors[code])
        rag = "G" if done or slack > 10 else ("A" if slack >= 0 else "R")
        prem = sum(c[1] for c in cabs)
        bud = round(prem * 465.0, -2)
        con.execute("INSERT INTO bld_area_tbl VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (a_idx, code, name, f"{name} exchange", region, bm, ctr, prem, bud, round(bud * COST_F[code], -2),
                     iso(start), iso(tgt[code]), iso(fin_shown), iso(fin_shown) if done else None, stage, rag))
        for i, (loc, pq, ovhd) in enumerate(cabs, 1):
            ids["cab"] += 1
            cab_ids[(code, i)] = ids["cab"]
            rk = f"{code}.rfs{i}"
            live = shown(tasks[rk], sb[rk], fb[rk], 0)[1]
            civ_started = sb[f"{code}.civ{i}"] <= DATA_DATE
            sts = "Live" if live <= DATA_DATE else ("In build" if civ_started else "Planned")
            con.execute("INSERT INTO cab_tbl VALUES (?,?,?,?,?,?,?,?,?)",
                        (ids["cab"], a_idx, f"{code}-C{i:02d}", loc, "AGN" if i == 1 else "FDC", pq, ovhd,
                         iso(live) if sts == "Live" else None, sts))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, f"{name} build area"):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO wbs_tbl VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], a_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        for n, k in enumerate(akeys, 1):
            t = tasks[k]
            ids["tsk"] += 1
            tsk_ids[k] = ids["tsk"]
            a = activity_at(DATA_DATE, tasks, k, cdurs, (sb, fb, lsb, lfb, free), bl_src, bl_d, CALS, rng)
            st = {"done": "CP", "started": "IP", "not": "NS"}[a.state]
            tstat[k], states[k] = st, a.state
            typ = {"task": "TK", "start": "SM", "finish": "FM"}[a.kind]
            con.execute("INSERT INTO task_tbl VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["tsk"], a_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]],
                         cab_ids[(code, t["cab"])] if t["cab"] else None, f"{code}{1000 + n * 10}", t["name"], typ,
                         float(cdurs[k]), a.remaining, iso(a.bl_start), iso(a.bl_finish), iso(a.start), iso(a.finish),
                         iso(a.late_start), iso(a.late_finish), iso(a.actual_start), iso(a.actual_finish),
                         a.total_float, a.free_float, "Y" if a.critical else "N", a.pct, st))
        bls = [(1, "BL0 Build area plan", start + dt.timedelta(days=14), b0, d0)]
        if rebase:
            bls.append((2, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO bsln_tbl VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], a_idx, no, bname, iso(bdate), DIRECTOR, "Y" if no == len(bls) else "N"))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, akeys, bl, bd, CALS):
                ids["blt"] += 1
                con.execute("INSERT INTO bsln_tsk_tbl VALUES (?,?,?,?,?,?,?)",
                            (ids["blt"], ids["bl"], tsk_ids[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["lnk"] += 1
        con.execute("INSERT INTO tsk_lnk_tbl VALUES (?,?,?,?,?)", (ids["lnk"], tsk_ids[p], tsk_ids[s], typ, float(lag)))

    # crews on tasks, and their daily progress reports
    area_of = {a[0]: a for a in AREAS}
    wx_by_day = {}
    for k in keys:
        t = tasks[k]
        kind = t["kind"]
        if not kind:
            continue
        area = area_of[t["ba"]]
        crew = {"DES": "DES-01", "PMT": "WLV-01", "CIV": area[6], "OHD": "POL-01", "CAB": BLOW[t["ba"]],
                "SPL": SPLICE[t["ba"]], "TST": "TST-01", "CON": "CON-01"}[kind]
        c = crew_row[crew]
        hpd = HOURS[kind]
        base = t["dur"] or 1
        pln = float(base * hpd * c[4])
        cal = CALS[t["cal"]]
        act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng)
        rate = c[6] / hpd
        ids["asg"] += 1
        con.execute("INSERT INTO crew_asgn_tbl VALUES (?,?,?,?,?,?,?,?)",
                    (ids["asg"], tsk_ids[k], crew_ids[crew], pln, act, rem_h, round(pln * rate, 2),
                     round(act * rate, 2)))
        if kind in ("DES", "PMT"):
            continue
        cab_no = t["cab"]
        prem = area[9][cab_no - 1][1] if cab_no else 0
        days = worked_days(cal, sb[k], fb[k], DATA_DATE)
        for j, d in enumerate(days):
            if d not in wx_by_day:
                wx_by_day[d] = weather_of(rng, d)
            wx = wx_by_day[d]
            lost, dly, rmk = 0.0, None, "Work to plan"
            if wx in ("STM", "FRZ"):
                lost, dly = float(rng.choice([3, 4, 5, 6, 9])), "WX"
                rmk = "Storm - site made safe and stood down" if wx == "STM" else "Frozen ground - no digging"
            elif rng.random() < 0.07:
                dly, rmk = rng.choice(DELAYS if kind in ("CIV", "OHD") else FIBRE_DELAYS)
                lost = float(rng.choice([1.5, 2, 3, 4]))
            eff = max(0.0, (hpd - lost) / hpd) * rng.uniform(0.8, 1.15)
            duct = fib = 0.0
            poles = hp = hc = 0
            if kind == "CIV":
                duct = round(rng.uniform(70, 140) * eff, 0)
            elif kind == "OHD":
                poles = int(round(rng.choice([2, 3, 3, 4]) * eff))
            elif kind == "CAB":
                fib = round(rng.uniform(450, 1100) * eff, 0)
            elif kind == "TST" and j == len(days) - 1 and fb[k] - D1 == d:
                hp = prem
                rmk = f"All fibres tested - {prem} premises passed" + ("" if rmk == "Work to plan" else f"; {rmk}")
            elif kind == "CON":
                hc = int(round(rng.randint(4, 12) * eff))
            ids["prg"] += 1
            con.execute("INSERT INTO dly_prog_tbl VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["prg"], ba_ids[t["ba"]], tsk_ids[k], crew_ids[crew], iso(d), duct, fib, poles, hp, hc,
                         lost, dly, wx, rmk))

    # permits: hand-listed wayleaves and traffic orders, and a street works permit for each cabinet's civils
    n_by = {}
    for pm in PERMITS:
        a, cab_no, typ, auth, loc, appl, grnt, vf, vt, sts, fee = pm
        n_by[a] = n_by.get(a, 0) + 1
        ids["prm"] += 1
        con.execute("INSERT INTO prmt_tbl VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (ids["prm"], ba_ids[a], cab_ids[(a, cab_no)] if cab_no else None, f"{typ}-{a}-{n_by[a]:03d}",
                     typ, auth, loc, appl, grnt, vf, vt, sts, fee))
    councils = {"North Vale": "Wessex County Council Highways", "Central Vale": "Wessex County Council Highways",
                "South Vale": "Wessex County Council Highways", "West Vale": "Stourwick Unitary Council Streetworks"}
    for area in AREAS:
        a = area[0]
        for i, (loc, _, _) in enumerate(area[9], 1):
            ck = f"{a}.civ{i}"
            civ_s, civ_f = sb[ck], fb[ck] - D1
            appl = max(sb[f"{a}.swp"], civ_s - dt.timedelta(days=rng.choice([42, 56, 70])))
            if appl > DATA_DATE:
                continue
            planned_grant = appl + dt.timedelta(days=rng.choice([21, 28, 35]))
            vf, vt = civ_s, civ_f + dt.timedelta(days=5)
            if civ_f <= DATA_DATE:
                sts = "Closed"
            elif civ_s <= DATA_DATE or planned_grant <= DATA_DATE:
                sts = "Granted"
            else:
                sts = "Applied"
            if a == "FNMR" and i == 2:
                # the civils ran past the permit's validity: expired, and an extension applied for
                vt_first = civ_s + dt.timedelta(days=round((civ_f - civ_s).days * 0.7))
                rows = [(appl, min(planned_grant, civ_s - D1), vf, vt_first, "Expired"),
                        (vt_first - dt.timedelta(days=4), vt_first - D1, vt_first + D1, vt, "Closed")]
            else:
                g = min(planned_grant, civ_s - D1) if sts != "Applied" else None
                rows = [(appl, g, vf if g else None, vt if g else None, sts)]
            for ap, g, f_, t_, st in rows:
                n_by[a] = n_by.get(a, 0) + 1
                ids["prm"] += 1
                con.execute("INSERT INTO prmt_tbl VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (ids["prm"], ba_ids[a], cab_ids[(a, i)], f"SWP-{a}-{n_by[a]:03d}", "SWP", councils[area[2]],
                             loc, iso(ap), iso(g), iso(f_), iso(t_), st, float(rng.choice([285, 420, 645]))))

    # materials deliveries
    po = 450100
    for area in AREAS:
        a, cabs = area[0], area[9]
        n_cab, n_ovhd = len(cabs), sum(1 for c in cabs if c[2] == "Y")
        for tk, mcode, desc, uom, per_cab, _, supp, ovhd_only in MATERIALS:
            if ovhd_only and not n_ovhd:
                continue
            k = f"{a}.{tk}"
            qty = per_cab * (n_ovhd if ovhd_only else n_cab)
            req = fb[k] - D1 - dt.timedelta(days=LATE_MAT.get((a, mcode), 0))
            prom = req + dt.timedelta(days=rng.choice([-4, -2, 0, 0, 3]) + LATE_MAT.get((a, mcode), 0))
            arrive = prom + dt.timedelta(days=rng.choice([-1, 0, 0, 1, 2]))
            po += rng.randint(3, 40)
            if a == "DLWK" and mcode == "POLE-9M":
                dlv, dq, sts = None, 0.0, "CNX"
            elif arrive <= DATA_DATE:
                frac = SHORT_MAT.get((a, mcode), 1.0)
                dlv, dq, sts = arrive, round(qty * frac, 0), "SHT" if frac < 1 else "DLV"
            else:
                dlv, dq, sts = None, 0.0, "ORD"
            ids["dlv"] += 1
            con.execute("INSERT INTO mat_dlv_tbl VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["dlv"], ba_ids[a], tsk_ids[k], f"PO-{po}", mcode, desc, qty, dq, uom, supp, iso(req),
                         iso(prom), iso(dlv), sts))

    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO rsk_tbl VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, ba_ids[r[0]], tsk_ids[r[1]] if r[1] else None, f"RSK-{r[0]}-{n_by[r[0]]:02d}", r[2], r[3],
                     r[4], r[5], r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))
    n_by = {}
    for i, c in enumerate(CHANGES, 1):
        n_by[c[0]] = n_by.get(c[0], 0) + 1
        con.execute("INSERT INTO chg_req_tbl VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                    (i, ba_ids[c[0]], f"CR-{c[0]}-{n_by[c[0]]:02d}", c[1], c[2], c[3], c[4], float(c[5]), c[6], c[7],
                     c[8]))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

TABLE_META = {
    "bld_area_tbl": ("Build areas (one per exchange area) of the Wessex Vale full-fibre rollout: build manager, "
                     "prime contractor, premises target, budget, forecast cost, target and forecast finish, build "
                     "stage and RAG", {
        "ba_id": ("build area id", "INTEGER"),
        "ba_cd": ("Build area code, e.g. ASHV, DLWK", "TEXT"),
        "ba_nm": ("Build area name (the town)", "TEXT"),
        "exch_nm": ("Telephone exchange the area is served from", "TEXT"),
        "rgn_nm": ("Region of the Wessex Vale", "TEXT"),
        "bm_nm": ("Build manager", "TEXT"),
        "prime_ctr_nm": ("Prime civils contractor", "TEXT"),
        "prem_tgt_qty": ("Premises the area is planned to pass", "INTEGER"),
        "bud_amt": ("Approved budget, GBP", "REAL"),
        "fcst_amt": ("Forecast outturn cost, GBP", "REAL"),
        "plan_st_dt": ("Planned start (go-ahead)", "DATE"),
        "tgt_fin_dt": ("Target ready-for-service date; float is measured to it", "DATE"),
        "fcst_fin_dt": ("Forecast ready-for-service date from the current schedule", "DATE"),
        "act_fin_dt": ("Actual ready-for-service date; null until live", "DATE"),
        "stg_nm": ("Build stage at the data date", "TEXT"),
        "rag_cd": ("RAG status code", "TEXT"),
    }),
    "wbs_tbl": ("WBS of each build area: level 1 the area, level 2 stages, level 3 one node per cabinet", {
        "wbs_id": ("wbs id", "INTEGER"),
        "ba_id": ("build area (bld_area_tbl.ba_id)", "INTEGER"),
        "par_wbs_id": ("Parent WBS node; null at level 1", "INTEGER"),
        "wbs_cd": ("WBS code, e.g. FNMR.4.2", "TEXT"),
        "wbs_nm": ("WBS element name", "TEXT"),
        "lvl_no": ("Level 1-3", "INTEGER"),
    }),
    "cal_tbl": ("Work calendars: office, street works (5 and 6 day), fibre and splicing, 7-day elapsed", {
        "cal_id": ("calendar id", "INTEGER"),
        "cal_cd": ("Calendar code, e.g. CIV-6D", "TEXT"),
        "cal_nm": ("Calendar name", "TEXT"),
        "wk_pat": ("Working days of a normal week", "TEXT"),
        "hrs_per_dy": ("Working hours a day", "REAL"),
        "note_txt": ("free text", "TEXT"),
    }),
    "cal_exc_tbl": ("Non-working days of each calendar: bank holidays, Christmas shutdown, the highway "
                    "authorities' Christmas street works embargo and local event closures. Only days that would "
                    "otherwise be working days", {
        "exc_id": ("id", "INTEGER"),
        "cal_id": ("calendar (cal_tbl.cal_id)", "INTEGER"),
        "exc_dt": ("Non-working date (YYYY-MM-DD)", "DATE"),
        "exc_typ_cd": ("Exception type code", "TEXT"),
        "exc_rsn": ("Reason", "TEXT"),
    }),
    "cab_tbl": ("Cabinets (aggregation nodes and fibre distribution cabinets) of each build area with the "
                "premises they serve and the ready-for-service date", {
        "cab_id": ("cabinet id", "INTEGER"),
        "ba_id": ("build area (bld_area_tbl.ba_id)", "INTEGER"),
        "cab_ref": ("Cabinet reference, e.g. CRNH-C04", "TEXT"),
        "loc_txt": ("Street location of the cabinet and its area", "TEXT"),
        "cab_typ_cd": ("Cabinet type code", "TEXT"),
        "prem_qty": ("Premises served (homes and businesses passed when live)", "INTEGER"),
        "ovhd_ind": ("Y when some of the cabinet's area is fed overhead on poles", "TEXT"),
        "rfs_dt": ("Date the cabinet went live (ready for service); null until live", "DATE"),
        "cab_sts": ("Cabinet status", "TEXT"),
    }),
    "task_tbl": ("Schedule tasks and milestones at the data date: early (forecast), late, actual and "
                 "current-baseline dates, durations and float in working days", {
        "tsk_id": ("task id", "INTEGER"),
        "ba_id": ("build area (bld_area_tbl.ba_id)", "INTEGER"),
        "wbs_id": ("WBS node (wbs_tbl.wbs_id)", "INTEGER"),
        "cal_id": ("Calendar (cal_tbl.cal_id)", "INTEGER"),
        "cab_id": ("Cabinet the task builds (cab_tbl.cab_id); null for area-wide tasks", "INTEGER"),
        "tsk_ref": ("Task reference, e.g. FNMR1130", "TEXT"),
        "tsk_nm": ("Task name", "TEXT"),
        "tsk_typ_cd": ("Task type code", "TEXT"),
        "od_dy": ("Original duration, working days", "REAL"),
        "rd_dy": ("Remaining duration, working days", "REAL"),
        "bl_st_dt": ("Start in the current baseline; null for tasks added since", "DATE"),
        "bl_fin_dt": ("Finish in the current baseline", "DATE"),
        "es_dt": ("Early (forecast) start", "DATE"),
        "ef_dt": ("Early (forecast) finish", "DATE"),
        "ls_dt": ("Late start; null when complete", "DATE"),
        "lf_dt": ("Late finish; null when complete", "DATE"),
        "as_dt": ("Actual start", "DATE"),
        "af_dt": ("Actual finish", "DATE"),
        "tf_dy": ("Total float, working days; null when complete", "REAL"),
        "ff_dy": ("Free float, working days; null when complete", "REAL"),
        "crit_ind": ("Critical flag, Y / N", "TEXT"),
        "pct_cmp": ("Percent complete", "REAL"),
        "sts_cd": ("Task status code", "TEXT"),
    }),
    "tsk_lnk_tbl": ("Task logic links with type and lag", {
        "lnk_id": ("link id", "INTEGER"),
        "pred_tsk_id": ("Predecessor (task_tbl.tsk_id)", "INTEGER"),
        "succ_tsk_id": ("Successor (task_tbl.tsk_id)", "INTEGER"),
        "lnk_typ_cd": ("Link type code", "TEXT"),
        "lag_dy": ("Lag in calendar days", "REAL"),
    }),
    "bsln_tbl": ("Baselines of each build area; cur_ind marks the one reported against", {
        "bsln_id": ("baseline id", "INTEGER"),
        "ba_id": ("build area (bld_area_tbl.ba_id)", "INTEGER"),
        "bsln_no": ("Baseline number within the area (1 = original plan)", "INTEGER"),
        "bsln_nm": ("Baseline name", "TEXT"),
        "set_dt": ("Date the baseline was set", "DATE"),
        "apprv_by_nm": ("Approver (the programme director)", "TEXT"),
        "cur_ind": ("Y for the current baseline", "TEXT"),
    }),
    "bsln_tsk_tbl": ("Task dates, durations and float as stored in each baseline", {
        "bt_id": ("id", "INTEGER"),
        "bsln_id": ("baseline (bsln_tbl.bsln_id)", "INTEGER"),
        "tsk_id": ("task (task_tbl.tsk_id)", "INTEGER"),
        "bl_st_dt": ("Baseline start", "DATE"),
        "bl_fin_dt": ("Baseline finish", "DATE"),
        "bl_dur_dy": ("Baseline duration, working days", "REAL"),
        "bl_tf_dy": ("Baseline total float, working days", "REAL"),
    }),
    "crew_tbl": ("Crews: subcontractor gangs and teams (civils, overhead, blowing, splicing, test, connections) "
                 "and the in-house design and permits teams, with headcount and day rate", {
        "crew_id": ("crew id", "INTEGER"),
        "crew_cd": ("Crew code, e.g. KES-CV2, SPL-A", "TEXT"),
        "crew_nm": ("Crew name", "TEXT"),
        "sub_nm": ("Subcontractor (company) the crew works for", "TEXT"),
        "trade_cd": ("Trade code", "TEXT"),
        "hd_cnt": ("Headcount of the crew", "INTEGER"),
        "sup_nm": ("Crew supervisor / ganger", "TEXT"),
        "dy_rt_amt": ("Day rate per head, GBP", "REAL"),
    }),
    "crew_asgn_tbl": ("Crew assignments to tasks with planned, actual and remaining hours and cost", {
        "asgn_id": ("assignment id", "INTEGER"),
        "tsk_id": ("task (task_tbl.tsk_id)", "INTEGER"),
        "crew_id": ("crew (crew_tbl.crew_id)", "INTEGER"),
        "pln_hrs": ("Planned person-hours", "REAL"),
        "act_hrs": ("Actual person-hours to the data date", "REAL"),
        "rem_hrs": ("Remaining person-hours", "REAL"),
        "pln_cst_amt": ("Planned cost, GBP", "REAL"),
        "act_cst_amt": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "rsk_tbl": ("Risk register of the rollout", {
        "rsk_id": ("risk id", "INTEGER"),
        "ba_id": ("build area (bld_area_tbl.ba_id)", "INTEGER"),
        "tsk_id": ("Task the risk affects (task_tbl.tsk_id); may be null", "INTEGER"),
        "rsk_ref": ("Risk reference, e.g. RSK-HTHB-01", "TEXT"),
        "rsk_ttl": ("Risk title", "TEXT"),
        "rsk_cat": ("Risk category", "TEXT"),
        "prob_no": ("Probability 1-5", "INTEGER"),
        "imp_no": ("Impact 1-5", "INTEGER"),
        "scr_no": ("Probability x impact", "INTEGER"),
        "cst_exp_amt": ("Cost exposure, GBP", "REAL"),
        "sch_exp_dy": ("Schedule exposure, days", "REAL"),
        "own_nm": ("Risk owner", "TEXT"),
        "mit_txt": ("Mitigation", "TEXT"),
        "rsk_sts": ("Risk status", "TEXT"),
        "rais_dt": ("Date raised", "DATE"),
        "rvw_dt": ("Next review date", "DATE"),
    }),
    "chg_req_tbl": ("Change requests of the build areas, with cost and time impact and status", {
        "cr_id": ("change request id", "INTEGER"),
        "ba_id": ("build area (bld_area_tbl.ba_id)", "INTEGER"),
        "cr_ref": ("Change request reference, e.g. CR-DLWK-01", "TEXT"),
        "cr_ttl": ("Change request title", "TEXT"),
        "cr_typ": ("Change type: Scope, Design, Programme, Commercial", "TEXT"),
        "rais_by_nm": ("Person who raised it", "TEXT"),
        "cst_imp_amt": ("Cost impact, GBP", "REAL"),
        "tm_imp_dy": ("Time impact, days (negative = acceleration)", "REAL"),
        "cr_sts_cd": ("Change request status code", "TEXT"),
        "rais_dt": ("Date raised", "DATE"),
        "dcsn_dt": ("Date approved / rejected; null while open or cancelled", "DATE"),
    }),
    "prmt_tbl": ("Permits and wayleaves: street works permits for each cabinet's civils, temporary traffic "
                 "regulation orders, wayleaves with landowners and housing associations, and rail crossing "
                 "asset protection agreements", {
        "prmt_id": ("permit id", "INTEGER"),
        "ba_id": ("build area (bld_area_tbl.ba_id)", "INTEGER"),
        "cab_id": ("Cabinet the permit is for (cab_tbl.cab_id); null for area-wide wayleaves", "INTEGER"),
        "prmt_ref": ("Permit reference, e.g. SWP-FNMR-006, WL-MLBK-001", "TEXT"),
        "prmt_typ_cd": ("Permit type code", "TEXT"),
        "auth_nm": ("Highway authority, landowner or asset owner granting it", "TEXT"),
        "loc_txt": ("Location / scope of the permit", "TEXT"),
        "appl_dt": ("Date applied for", "DATE"),
        "grnt_dt": ("Date granted; null unless granted", "DATE"),
        "vld_from_dt": ("Valid from", "DATE"),
        "vld_to_dt": ("Valid to", "DATE"),
        "prmt_sts": ("Permit status", "TEXT"),
        "fee_amt": ("Fee or compensation paid, GBP", "REAL"),
    }),
    "mat_dlv_tbl": ("Materials deliveries against purchase orders: duct, chambers, poles, cable, closures and "
                    "cabinets, with required, promised and delivered dates", {
        "dlv_id": ("delivery id", "INTEGER"),
        "ba_id": ("build area (bld_area_tbl.ba_id)", "INTEGER"),
        "tsk_id": ("Delivery task in the schedule (task_tbl.tsk_id)", "INTEGER"),
        "po_no": ("Purchase order number", "TEXT"),
        "mat_cd": ("Material code, e.g. CBL-144F", "TEXT"),
        "mat_desc": ("Material description", "TEXT"),
        "ord_qty": ("Quantity ordered", "REAL"),
        "dlv_qty": ("Quantity delivered so far", "REAL"),
        "uom_cd": ("Unit of measure: M (metres), EA (each)", "TEXT"),
        "supp_nm": ("Supplier", "TEXT"),
        "req_dt": ("Date required on site", "DATE"),
        "prom_dt": ("Date promised by the supplier", "DATE"),
        "dlv_dt": ("Date delivered; null until delivered", "DATE"),
        "dlv_sts_cd": ("Delivery status code", "TEXT"),
    }),
    "dly_prog_tbl": ("Daily progress returns: one per crew per working day on a build task up to the data date, "
                     "with metres of duct laid, metres of fibre blown, poles erected, homes passed and connected, "
                     "lost hours, delay cause and weather", {
        "prog_id": ("progress return id", "INTEGER"),
        "ba_id": ("build area (bld_area_tbl.ba_id)", "INTEGER"),
        "tsk_id": ("task worked on (task_tbl.tsk_id)", "INTEGER"),
        "crew_id": ("crew (crew_tbl.crew_id)", "INTEGER"),
        "rpt_dt": ("Date of the return", "DATE"),
        "duct_lay_m": ("Metres of duct laid that day", "REAL"),
        "fib_blwn_m": ("Metres of fibre cable blown or pulled that day", "REAL"),
        "pole_qty": ("Poles erected that day", "INTEGER"),
        "hp_qty": ("Homes (premises) passed that day - counted when a cabinet's test completes", "INTEGER"),
        "hc_qty": ("Homes connected (customer installs) that day", "INTEGER"),
        "lost_hrs": ("Hours lost that day", "REAL"),
        "dly_cd": ("Delay cause code; null when none", "TEXT"),
        "wthr_cd": ("Weather code", "TEXT"),
        "rmk_txt": ("Ganger's remarks", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("wbs_tbl", "bld_area_tbl", "wbs_tbl.ba_id = bld_area_tbl.ba_id", "WBS of a build area"),
    ("wbs_tbl", "wbs_tbl", "wbs_tbl.par_wbs_id = wbs_tbl.wbs_id", "Parent WBS node"),
    ("cal_exc_tbl", "cal_tbl", "cal_exc_tbl.cal_id = cal_tbl.cal_id", "Non-working days of a calendar"),
    ("cab_tbl", "bld_area_tbl", "cab_tbl.ba_id = bld_area_tbl.ba_id", "Cabinets of a build area"),
    ("task_tbl", "bld_area_tbl", "task_tbl.ba_id = bld_area_tbl.ba_id", "Tasks of a build area"),
    ("task_tbl", "wbs_tbl", "task_tbl.wbs_id = wbs_tbl.wbs_id", "WBS node of a task"),
    ("task_tbl", "cal_tbl", "task_tbl.cal_id = cal_tbl.cal_id", "Calendar of a task"),
    ("task_tbl", "cab_tbl", "task_tbl.cab_id = cab_tbl.cab_id", "Cabinet a task builds"),
    ("tsk_lnk_tbl", "task_tbl", "tsk_lnk_tbl.pred_tsk_id = task_tbl.tsk_id", "Predecessor of a link"),
    ("tsk_lnk_tbl", "task_tbl", "tsk_lnk_tbl.succ_tsk_id = task_tbl.tsk_id", "Successor of a link"),
    ("bsln_tbl", "bld_area_tbl", "bsln_tbl.ba_id = bld_area_tbl.ba_id", "Baselines of a build area"),
    ("bsln_tsk_tbl", "bsln_tbl", "bsln_tsk_tbl.bsln_id = bsln_tbl.bsln_id", "Rows of a baseline"),
    ("bsln_tsk_tbl", "task_tbl", "bsln_tsk_tbl.tsk_id = task_tbl.tsk_id", "Task a baseline row stores"),
    ("crew_asgn_tbl", "crew_tbl", "crew_asgn_tbl.crew_id = crew_tbl.crew_id", "Crew of an assignment"),
    ("crew_asgn_tbl", "task_tbl", "crew_asgn_tbl.tsk_id = task_tbl.tsk_id", "Task a crew is assigned to"),
    ("rsk_tbl", "bld_area_tbl", "rsk_tbl.ba_id = bld_area_tbl.ba_id", "Risks of a build area"),
    ("rsk_tbl", "task_tbl", "rsk_tbl.tsk_id = task_tbl.tsk_id", "Task a risk affects"),
    ("chg_req_tbl", "bld_area_tbl", "chg_req_tbl.ba_id = bld_area_tbl.ba_id", "Change requests of a build area"),
    ("prmt_tbl", "bld_area_tbl", "prmt_tbl.ba_id = bld_area_tbl.ba_id", "Permits of a build area"),
    ("prmt_tbl", "cab_tbl", "prmt_tbl.cab_id = cab_tbl.cab_id", "Cabinet a permit is for"),
    ("mat_dlv_tbl", "bld_area_tbl", "mat_dlv_tbl.ba_id = bld_area_tbl.ba_id", "Deliveries of a build area"),
    ("mat_dlv_tbl", "task_tbl", "mat_dlv_tbl.tsk_id = task_tbl.tsk_id", "Delivery task of a delivery"),
    ("dly_prog_tbl", "bld_area_tbl", "dly_prog_tbl.ba_id = bld_area_tbl.ba_id", "Progress returns of a build area"),
    ("dly_prog_tbl", "task_tbl", "dly_prog_tbl.tsk_id = task_tbl.tsk_id", "Task a return reports on"),
    ("dly_prog_tbl", "crew_tbl", "dly_prog_tbl.crew_id = crew_tbl.crew_id", "Crew that sent a return"),
]

BUSINESS_RULES = {
    ("task_tbl", "sts_cd"): ["Allowed Values: NS (not started), IP (in progress), CP (complete)"],
    ("task_tbl", "tsk_typ_cd"): ["Allowed Values: TK (task), SM (start milestone), FM (finish milestone); "
                                 "milestones have od_dy = 0"],
    ("task_tbl", "crit_ind"): ["Allowed Values: Y, N", "Critical: crit_ind = 'Y' when tf_dy <= 0; complete tasks "
                               "are N"],
    ("task_tbl", "tf_dy"): ["Negative float: forecast finish after the build area's target finish"],
    ("task_tbl", "bl_fin_dt"): ["Slipped: ef_dt > bl_fin_dt"],
    ("tsk_lnk_tbl", "lnk_typ_cd"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to "
                                    "finish)"],
    ("bsln_tbl", "cur_ind"): ["Allowed Values: Y, N; one current baseline per build area"],
    ("cal_exc_tbl", "exc_typ_cd"): ["Allowed Values: BH (bank holiday), XMAS (Christmas shutdown), EMB (street "
                                    "works embargo), EVT (local event road closure)"],
    ("bld_area_tbl", "stg_nm"): ["Allowed Values: Survey & design, Permitting, Build, Test & handover, Live"],
    ("bld_area_tbl", "rag_cd"): ["Allowed Values: R (forecast after target finish), A (10 or fewer working days "
                                 "float), G"],
    ("cab_tbl", "cab_typ_cd"): ["Allowed Values: AGN (aggregation node, the first cabinet of an area), FDC (fibre "
                                "distribution cabinet)"],
    ("cab_tbl", "cab_sts"): ["Allowed Values: Planned, In build, Live"],
    ("cab_tbl", "ovhd_ind"): ["Allowed Values: Y, N"],
    ("crew_tbl", "trade_cd"): ["Allowed Values: DES (design and survey), PMT (wayleaves and permits), CIV (civils), "
                               "OHD (overhead / poles), CAB (cable blowing), SPL (splicing), TST (test), CON "
                               "(customer connections)"],
    ("rsk_tbl", "rsk_sts"): ["Allowed Values: Open, Closed, Occurred (the risk happened)"],
    ("rsk_tbl", "scr_no"): ["High risk: scr_no >= 12"],
    ("chg_req_tbl", "cr_sts_cd"): ["Allowed Values: RSD (raised), ASSD (being assessed), APPR (approved), RJCT "
                                   "(rejected), CNCL (cancelled)"],
    ("prmt_tbl", "prmt_typ_cd"): ["Allowed Values: SWP (street works permit), TTRO (temporary traffic regulation "
                                  "order), WL (wayleave), RLY (rail crossing asset protection agreement)"],
    ("prmt_tbl", "prmt_sts"): ["Allowed Values: Applied, Granted, Refused, Expired, Closed (works done, permit "
                               "closed), In negotiation, Withdrawn"],
    ("mat_dlv_tbl", "dlv_sts_cd"): ["Allowed Values: ORD (ordered, not delivered), DLV (delivered in full), SHT "
                                    "(short delivery), CNX (cancelled)", "Late: dlv_dt > req_dt"],
    ("dly_prog_tbl", "dly_cd"): ["Allowed Values: WX (weather), ACC (access), UTL (utility strike or unrecorded "
                                 "utility), PRM (permit conditions), MAT (materials), null"],
    ("dly_prog_tbl", "wthr_cd"): ["Allowed Values: DRY, WET, WND (high wind), STM (storm), FRZ (frozen ground)"],
}

CONCEPTS = {
    ("task_tbl", "tf_dy"): ["total_float", "critical_path"],
    ("task_tbl", "ff_dy"): ["free_float"],
    ("task_tbl", "crit_ind"): ["critical_path"],
    ("task_tbl", "pct_cmp"): ["percent_complete"],
    ("task_tbl", "bl_fin_dt"): ["baseline_variance"],
    ("bsln_tsk_tbl", "bl_fin_dt"): ["baseline_variance"],
    ("tsk_lnk_tbl", "lag_dy"): ["lag"],
    ("bld_area_tbl", "fcst_amt"): ["cost_variance"],
    ("rsk_tbl", "scr_no"): ["risk_exposure"],
    ("dly_prog_tbl", "hp_qty"): ["homes_passed"],
    ("dly_prog_tbl", "hc_qty"): ["homes_connected", "take_up"],
    ("cab_tbl", "prem_qty"): ["homes_passed"],
    ("dly_prog_tbl", "duct_lay_m"): ["build_rate"],
    ("dly_prog_tbl", "lost_hrs"): ["lost_time"],
    ("prmt_tbl", "prmt_sts"): ["permit_status"],
    ("cal_exc_tbl", "exc_dt"): ["street_works_embargo"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days a task can slip before its build area misses the target finish",
    "free_float": "Working days a task can slip before any successor moves",
    "critical_path": "Chain of tasks with zero or negative float driving a build area's ready-for-service date",
    "percent_complete": "Physical progress of a task",
    "lag": "Waiting time on a link in calendar days, e.g. reinstatement before blowing",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Forecast outturn cost against budget",
    "risk_exposure": "Probability x impact score of a risk",
    "homes_passed": "Premises that can order service because their cabinet is built and tested (RFS)",
    "homes_connected": "Premises with a customer install done",
    "take_up": "Homes connected as a share of homes passed",
    "build_rate": "Metres of duct laid (or fibre blown) a day by a crew",
    "lost_time": "Crew hours lost to weather, access, utilities, permits or materials",
    "permit_status": "Where a street works permit, traffic order or wayleave stands",
    "street_works_embargo": "Period in which the highway authority allows no new street works (Christmas)",
}

QUERY_EXAMPLES = [
    ("SELECT ba_cd, ba_nm, tgt_fin_dt, fcst_fin_dt, rag_cd FROM bld_area_tbl ORDER BY tgt_fin_dt;",
     "Build areas with target and forecast ready-for-service dates", "simple"),
    ("SELECT t.tsk_ref, t.tsk_nm, t.es_dt, t.tf_dy FROM task_tbl t JOIN bld_area_tbl b ON b.ba_id = t.ba_id "
     "WHERE b.ba_cd = 'DLWK' AND t.crit_ind = 'Y' ORDER BY t.es_dt;", "Critical tasks of a build area", "medium"),
    ("SELECT b.ba_nm, SUM(p.duct_lay_m) AS duct_m FROM dly_prog_tbl p JOIN bld_area_tbl b ON b.ba_id = p.ba_id "
     "GROUP BY b.ba_nm ORDER BY duct_m DESC;", "Metres of duct laid by build area", "medium"),
    ("SELECT t.tsk_ref, t.tsk_nm, s.bl_fin_dt, t.ef_dt FROM task_tbl t JOIN bsln_tsk_tbl s ON s.tsk_id = t.tsk_id "
     "JOIN bsln_tbl h ON h.bsln_id = s.bsln_id WHERE h.cur_ind = 'Y' AND t.ef_dt > s.bl_fin_dt;",
     "Tasks forecast to finish later than the current baseline", "complex"),
    ("SELECT c.cab_ref, c.loc_txt, c.prem_qty, c.rfs_dt FROM cab_tbl c WHERE c.cab_sts = 'Live' ORDER BY c.rfs_dt;",
     "Cabinets live, with premises passed", "simple"),
    ("SELECT p.prmt_ref, p.auth_nm, p.loc_txt, p.appl_dt FROM prmt_tbl p WHERE p.prmt_typ_cd = 'WL' "
     "AND p.prmt_sts = 'In negotiation';", "Wayleaves still being negotiated", "simple"),
    ("SELECT m.po_no, m.mat_desc, m.req_dt, m.dlv_dt FROM mat_dlv_tbl m WHERE m.dlv_dt > m.req_dt;",
     "Deliveries that arrived after the date required", "simple"),
    ("SELECT e.exc_dt, e.exc_rsn FROM cal_exc_tbl e JOIN cal_tbl c ON c.cal_id = e.cal_id "
     "WHERE c.cal_cd = 'CIV-5D' AND e.exc_dt >= '2025-10-17' ORDER BY e.exc_dt;",
     "Coming non-working days of the 5-day street works calendar", "medium"),
    ("SELECT r.cr_ref, r.cr_ttl, r.cst_imp_amt FROM chg_req_tbl r JOIN bld_area_tbl b ON b.ba_id = r.ba_id "
     "WHERE b.ba_cd = 'FNMR' AND r.cr_sts_cd IN ('RSD', 'ASSD');", "Open change requests of a build area", "medium"),
    ("SELECT c.crew_nm, SUM(a.act_cst_amt) AS cost FROM crew_asgn_tbl a JOIN crew_tbl c ON c.crew_id = a.crew_id "
     "WHERE c.trade_cd = 'CIV' GROUP BY c.crew_nm ORDER BY cost DESC;", "Actual civils cost by crew", "medium"),
]

KEYWORDS = {
    "float": ["task_tbl.tf_dy", "task_tbl.ff_dy", "total_float"],
    "critical": ["task_tbl.crit_ind", "critical_path"],
    "predecessor": ["tsk_lnk_tbl.pred_tsk_id", "tsk_lnk_tbl"],
    "successor": ["tsk_lnk_tbl.succ_tsk_id", "tsk_lnk_tbl"],
    "baseline": ["bsln_tbl", "bsln_tsk_tbl", "baseline_variance"],
    "build area": ["bld_area_tbl"],
    "exchange": ["bld_area_tbl.exch_nm"],
    "cabinet": ["cab_tbl"],
    "homes passed": ["dly_prog_tbl.hp_qty", "cab_tbl.prem_qty", "homes_passed"],
    "connections": ["dly_prog_tbl.hc_qty", "homes_connected"],
    "duct": ["dly_prog_tbl.duct_lay_m", "build_rate"],
    "blowing": ["dly_prog_tbl.fib_blwn_m"],
    "poles": ["dly_prog_tbl.pole_qty", "cab_tbl.ovhd_ind"],
    "crew": ["crew_tbl", "crew_asgn_tbl"],
    "gang": ["crew_tbl"],
    "subbie": ["crew_tbl.sub_nm"],
    "permit": ["prmt_tbl"],
    "wayleave": ["prmt_tbl.prmt_typ_cd"],
    "TTRO": ["prmt_tbl.prmt_typ_cd"],
    "delivery": ["mat_dlv_tbl"],
    "PO": ["mat_dlv_tbl.po_no"],
    "risk": ["rsk_tbl"],
    "CR": ["chg_req_tbl"],
    "change request": ["chg_req_tbl"],
    "embargo": ["cal_exc_tbl.exc_typ_cd", "street_works_embargo"],
    "RFS": ["cab_tbl.rfs_dt", "bld_area_tbl.fcst_fin_dt"],
}

TERMINOLOGY = {
    "FTTP": "Fibre to the premises (full fibre)",
    "build area": "The area served from one telephone exchange, built as one project",
    "AGN": "Aggregation node - the first, larger cabinet of a build area",
    "FDC": "Fibre distribution cabinet",
    "RFS": "Ready for service - premises can order a connection",
    "homes passed": "Premises whose cabinet is live (RFS)",
    "homes connected": "Premises with a customer install done",
    "take-up": "Homes connected divided by homes passed",
    "civils": "Digging, duct laying, chamber building and reinstatement",
    "blowing": "Blowing fibre cable through duct with compressed air",
    "OTDR": "Optical time-domain reflectometer test of a fibre",
    "wayleave": "Landowner's permission to run apparatus over private land",
    "SWP": "Street works permit from the highway authority",
    "TTRO": "Temporary traffic regulation order (road or lane closure)",
    "embargo": "Highway authority's period with no new street works",
    "LLD": "Low-level design",
    "HLD": "High-level design",
    "BoM": "Bill of materials",
    "gang": "Civils crew",
    "subbie": "Subcontractor",
    "data date": "Date up to which progress is recorded (2025-10-17)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF": "Finish to finish link",
}

RELATED_TERMS = {
    "task_tbl": "task, activity, schedule line, programme",
    "bld_area_tbl": "build area, exchange area, project, area, polygon",
    "wbs_tbl": "WBS, stage, cabinet node",
    "cab_tbl": "cabinet, AGN, FDC, street cabinet, node",
    "crew_tbl": "crew, gang, team, subcontractor, subbie",
    "crew_asgn_tbl": "assignment, hours, crew cost",
    "rsk_tbl": "risk, risk register",
    "chg_req_tbl": "change request, CR, change, variation",
    "prmt_tbl": "permit, street works permit, wayleave, TTRO, traffic order, road closure",
    "mat_dlv_tbl": "delivery, materials, purchase order, PO",
    "dly_prog_tbl": "daily progress, daily return, production, duct laid, homes passed, homes connected",
    "tsk_lnk_tbl": "link, relationship, dependency, logic",
    "cal_tbl": "calendar, shift pattern, working week",
    "cal_exc_tbl": "holiday, non-working day, embargo",
    "bsln_tbl": "baseline",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout15"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="task_tbl")


if __name__ == "__main__":
    sys.exit(main())
