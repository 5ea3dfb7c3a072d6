#!/usr/bin/env python3
"""Build the twelfth check schedule database (a county highways capital works programme, short lower-case
prefixes) and its metadata.

A county highways authority's capital works programme: eight schemes (two carriageway resurfacings, a
bridge deck repair, a culvert and retaining wall, two junction upgrades and two drainage schemes) let
under four framework contracts. Named as a small data team names things: lower-case tables with a short
prefix word (ref_, cw_, wk_, res_, rk_, st_) and mixed abbreviations in the columns (plan_start,
fcst_fin, act_start, tot_float, free_float, crit, dur_d, ...). Task status is a code (NS / IP / CO), the
critical indicator is 1 / 0, and other statuses are words (Open, Closed, Approved, Worked, Granted, ...).

Durations, float and remaining durations are in WORKING days of the task's calendar; lags are calendar
days. Every scheme's tasks are scheduled by a forward and backward pass over their logic on their own
calendars (office, day works, night works Sun-Thu, weekend closures, 7-day), against the scheme's
contract completion date; plan_start / plan_fin are the dates in the scheme's active baseline. Data
date 2025-06-27.

Outputs go to bench/out/holdout12/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 121212
DATA_DATE = dt.date(2025, 6, 27)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import check_with_history, default_out, describe_tables, main as build_main, metadata_document, day_span as _span, iso  # noqa: E402
DB_NAME = "holdout12_schedule.db"
META_NAME = "holdout12_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE ref_calendar (
    cal_id INTEGER PRIMARY KEY, cal_cd TEXT NOT NULL UNIQUE, cal_nm TEXT NOT NULL, work_days TEXT NOT NULL,
    hrs_day REAL NOT NULL, shift TEXT NOT NULL, notes TEXT
);
CREATE TABLE ref_cal_nonwork (
    nw_id INTEGER PRIMARY KEY, cal_id INTEGER NOT NULL REFERENCES ref_calendar(cal_id), nw_dt TEXT NOT NULL,
    nw_type TEXT NOT NULL, nw_desc TEXT NOT NULL
);
CREATE TABLE cw_contract (
    contract_id INTEGER PRIMARY KEY, contract_no TEXT NOT NULL UNIQUE, contract_nm TEXT NOT NULL,
    contractor_nm TEXT NOT NULL, contract_form TEXT NOT NULL, award_dt TEXT NOT NULL, expiry_dt TEXT NOT NULL,
    fw_value_gbp REAL NOT NULL, client_cm_nm TEXT NOT NULL
);
CREATE TABLE cw_scheme (
    scheme_id INTEGER PRIMARY KEY, scheme_ref TEXT NOT NULL UNIQUE, scheme_cd TEXT NOT NULL UNIQUE,
    scheme_nm TEXT NOT NULL, road_no TEXT NOT NULL, town TEXT NOT NULL, district TEXT NOT NULL,
    scheme_type TEXT NOT NULL, contract_id INTEGER NOT NULL REFERENCES cw_contract(contract_id),
    sponsor_nm TEXT NOT NULL, pm_nm TEXT NOT NULL, site_sup_nm TEXT NOT NULL, bdgt_gbp REAL NOT NULL,
    efc_gbp REAL NOT NULL, start_dt TEXT NOT NULL, contr_compl TEXT NOT NULL, fcst_compl TEXT NOT NULL,
    act_compl TEXT, data_dt TEXT NOT NULL, status TEXT NOT NULL, rag TEXT NOT NULL
);
CREATE TABLE wk_wbs (
    wbs_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES cw_scheme(scheme_id),
    parent_wbs_id INTEGER REFERENCES wk_wbs(wbs_id), wbs_cd TEXT NOT NULL, wbs_nm TEXT NOT NULL,
    lvl INTEGER NOT NULL
);
CREATE TABLE wk_task (
    task_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES cw_scheme(scheme_id),
    wbs_id INTEGER NOT NULL REFERENCES wk_wbs(wbs_id), cal_id INTEGER NOT NULL REFERENCES ref_calendar(cal_id),
    task_cd TEXT NOT NULL UNIQUE, task_nm TEXT NOT NULL, task_type TEXT NOT NULL, tm_cd TEXT,
    dur_d INTEGER NOT NULL, rem_d INTEGER NOT NULL, plan_start TEXT, plan_fin TEXT, fcst_start TEXT NOT NULL,
    fcst_fin TEXT NOT NULL, late_start TEXT, late_fin TEXT, act_start TEXT, act_fin TEXT, tot_float INTEGER,
    free_float INTEGER, crit INTEGER NOT NULL, pct_cmp REAL NOT NULL, status TEXT NOT NULL
);
CREATE TABLE wk_link (
    link_id INTEGER PRIMARY KEY, pred_task_id INTEGER NOT NULL REFERENCES wk_task(task_id),
    succ_task_id INTEGER NOT NULL REFERENCES wk_task(task_id), rel_type TEXT NOT NULL, lag_d INTEGER NOT NULL
);
CREATE TABLE wk_baseline (
    bl_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES cw_scheme(scheme_id), bl_no INTEGER NOT NULL,
    bl_nm TEXT NOT NULL, bl_dt TEXT NOT NULL, approved_by TEXT NOT NULL, is_active INTEGER NOT NULL
);
CREATE TABLE wk_bl_task (
    bl_task_id INTEGER PRIMARY KEY, bl_id INTEGER NOT NULL REFERENCES wk_baseline(bl_id),
    task_id INTEGER NOT NULL REFERENCES wk_task(task_id), bl_start TEXT NOT NULL, bl_fin TEXT NOT NULL,
    bl_dur_d INTEGER NOT NULL, bl_tot_float INTEGER
);
CREATE TABLE res_crew (
    crew_id INTEGER PRIMARY KEY, crew_cd TEXT NOT NULL UNIQUE, crew_nm TEXT NOT NULL, trade TEXT NOT NULL,
    employer TEXT NOT NULL, foreman_nm TEXT NOT NULL, hc INTEGER NOT NULL, rate_hr REAL NOT NULL
);
CREATE TABLE res_alloc (
    alloc_id INTEGER PRIMARY KEY, crew_id INTEGER NOT NULL REFERENCES res_crew(crew_id),
    task_id INTEGER NOT NULL REFERENCES wk_task(task_id), wk_comm TEXT NOT NULL, plan_hrs REAL NOT NULL,
    act_hrs REAL, cost_gbp REAL NOT NULL, alloc_stat TEXT NOT NULL
);
CREATE TABLE rk_risk (
    risk_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES cw_scheme(scheme_id),
    task_id INTEGER REFERENCES wk_task(task_id), risk_ref TEXT NOT NULL UNIQUE, risk_ttl TEXT NOT NULL,
    risk_cat TEXT NOT NULL, prob INTEGER NOT NULL, impact INTEGER NOT NULL, score INTEGER NOT NULL,
    cost_ml_gbp REAL NOT NULL, delay_ml_d INTEGER NOT NULL, owner_nm TEXT NOT NULL, response TEXT NOT NULL,
    risk_stat TEXT NOT NULL, raised_dt TEXT NOT NULL, last_rev_dt TEXT NOT NULL
);
CREATE TABLE cw_variation (
    var_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES cw_scheme(scheme_id),
    var_ref TEXT NOT NULL UNIQUE, var_ttl TEXT NOT NULL, raised_by TEXT NOT NULL, reason TEXT NOT NULL,
    value_gbp REAL NOT NULL, eot_d INTEGER NOT NULL, var_stat TEXT NOT NULL, raised_dt TEXT NOT NULL,
    decided_dt TEXT
);
CREATE TABLE st_permit (
    permit_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES cw_scheme(scheme_id),
    task_id INTEGER REFERENCES wk_task(task_id), permit_no TEXT NOT NULL UNIQUE, permit_type TEXT NOT NULL,
    issuer TEXT NOT NULL, applied_dt TEXT NOT NULL, valid_from TEXT NOT NULL, valid_to TEXT NOT NULL,
    permit_stat TEXT NOT NULL, officer_nm TEXT NOT NULL, conditions TEXT
);
CREATE TABLE st_diary (
    diary_id INTEGER PRIMARY KEY, scheme_id INTEGER NOT NULL REFERENCES cw_scheme(scheme_id),
    diary_dt TEXT NOT NULL, weather TEXT NOT NULL, temp_c INTEGER NOT NULL, staff_cnt INTEGER NOT NULL,
    hrs_lost REAL NOT NULL, delay_cd TEXT, entry_txt TEXT NOT NULL, recorded_by TEXT NOT NULL
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
    "2026-08-31": "Summer bank holiday", "2026-12-25": "Christmas Day", "2026-12-28": "Boxing Day (substitute)",
}
CAL_FROM, CAL_TO = dt.date(2024, 6, 1), dt.date(2026, 12, 31)


XMAS_EMBARGO = _span("2024-12-16", "2025-01-03") + _span("2025-12-15", "2026-01-02") + \
    _span("2026-12-14", "2026-12-31")
OFFICE_CLOSE = [dt.date(2024, 12, 24), dt.date(2024, 12, 27), dt.date(2024, 12, 30), dt.date(2024, 12, 31),
                dt.date(2025, 12, 24), dt.date(2025, 12, 29), dt.date(2025, 12, 30), dt.date(2025, 12, 31)]

CALENDARS = [
    # id, code, name, working weekdays (0 = Mon), label, hours a day, shift, notes, extra non-working days
    (1, "OFF5", "Office Mon-Fri", {0, 1, 2, 3, 4}, "Mon-Fri", 7.5, "Day",
     "Design, approvals and admin. Office closed between Christmas and New Year", "office"),
    (2, "DAY5", "Site day works Mon-Fri", {0, 1, 2, 3, 4}, "Mon-Fri", 10.0, "Day",
     "Standard site calendar; winter works embargo mid Dec to early Jan", "site"),
    (3, "DAY6", "Site day works Mon-Sat", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 10.0, "Day",
     "Drainage and structures sites working Saturdays", "site"),
    (4, "NGT5", "Night works Sun-Thu", {6, 0, 1, 2, 3}, "Sun-Thu nights", 8.0, "Night",
     "Night shifts 20:00-06:00, dated by the night the shift starts. A614 show week embargo", "night"),
    (5, "WKND", "Weekend road closures", {5, 6}, "Sat-Sun", 12.0, "Day",
     "Full weekend closures only; Ashcombe carnival weekend excluded", "weekend"),
    (6, "CAL7", "7-day continuous", {0, 1, 2, 3, 4, 5, 6}, "Mon-Sun", 24.0, "Continuous",
     "Lead times, curing and consents periods", "cont"),
]
EVENTS = {
    "night": [(d, "EVT", "Hollinsford Show - no works on the A614") for d in _span("2025-07-06", "2025-07-10")],
    "weekend": [(d, "EVT", "Ashcombe Carnival weekend") for d in _span("2025-08-02", "2025-08-03")] +
               [(d, "EVT", "Ashcombe Half Marathon") for d in _span("2025-09-13", "2025-09-14")],
    "site": [(d, "EVT", "County show traffic embargo") for d in _span("2025-07-15", "2025-07-17")],
}


class Cal:
    def __init__(self, row):
        self.cal_id, self.code, _, self.days, _, self.hrs, _, _, kind = row
        self.off = {}
        if kind != "cont":
            for iso, name in BANK_HOLIDAYS.items():
                self.off[dt.date.fromisoformat(iso)] = ("BH", f"Bank holiday - {name}")
        else:
            for iso in ("2024-12-25", "2025-12-25", "2026-12-25"):
                self.off[dt.date.fromisoformat(iso)] = ("BH", "Bank holiday - Christmas Day")
        if kind == "office":
            for d in OFFICE_CLOSE:
                self.off.setdefault(d, ("OFC", "Office closure between Christmas and New Year"))
        if kind in ("site", "night", "weekend"):
            for d in XMAS_EMBARGO:
                self.off.setdefault(d, ("EMB", "Christmas and New Year road works embargo"))
        for d, typ, desc in EVENTS.get(kind, []):
            self.off.setdefault(d, (typ, desc))
        if kind == "site":
            for d, typ, desc in EVENTS["site"]:
                self.off.setdefault(d, (typ, desc))

    def work(self, d):
        return d.weekday() in self.days and d not in self.off

    def fwd(self, d):
        while not self.work(d):
            d += D1
        return d

    def back(self, d):
        while not self.work(d):
            d -= D1
        return d

    def finish_b(self, sb, dur):
        """Morning after the dur-th working day counted from sb."""
        d, n = sb, 0
        while True:
            if self.work(d):
                n += 1
                if n == dur:
                    return d + D1
            d += D1

    def start_for(self, fb, dur):
        """Latest start whose dur working days end on or before the morning fb."""
        d, n = fb - D1, 0
        while True:
            if self.work(d):
                n += 1
                if n == dur:
                    return d
            d -= D1

    def wd(self, a, b):
        """Working days from boundary a to boundary b, negative when b is earlier."""
        sign = 1
        if b < a:
            a, b, sign = b, a, -1
        n, d = 0, a
        while d < b:
            n += self.work(d)
            d += D1
        return sign * n


CALS = {row[1]: Cal(row) for row in CALENDARS}

# ---------------------------------------------------------------------------------------------- reference data

CONTRACTS = [
    (1, "EMC/HW/2023/011", "Carriageway Surfacing Framework Lot 1", "Greyfield Surfacing Ltd", "Schedule of rates",
     "2023-04-01", "2027-03-31", 18500000.0, "Janet Okonkwo"),
    (2, "EMC/HW/2023/014", "Bridges and Structures Framework", "Marrick Civil Engineering", "Target cost",
     "2023-06-01", "2027-05-31", 22000000.0, "Philip Aldous"),
    (3, "EMC/HW/2024/003", "Junctions and Network Improvements Framework", "Halden Infrastructure",
     "Priced activity schedule", "2024-02-01", "2028-01-31", 30000000.0, "Janet Okonkwo"),
    (4, "EMC/HW/2024/007", "Drainage and Flood Works Framework", "Brookline Drainage Services",
     "Target cost", "2024-04-01", "2028-03-31", 12000000.0, "Rosalind Achebe"),
]

CREWS = [
    # code, name, trade, employer, foreman, headcount, rate per person-hour
    ("SUR-01", "Surfacing Gang 1 (nights)", "Surfacing", "Greyfield Surfacing Ltd", "Terry Oldroyd", 7, 38.5),
    ("SUR-02", "Surfacing Gang 2", "Surfacing", "Greyfield Surfacing Ltd", "Mandy Coutts", 6, 37.0),
    ("PLN-01", "Planing Crew", "Planing", "Greyfield Surfacing Ltd", "Wes Hartigan", 3, 41.0),
    ("TMG-01", "Traffic Management Crew A", "Traffic Management", "Conewise Traffic Services", "Lorraine Pike", 3,
     32.0),
    ("TMG-02", "Traffic Management Crew B", "Traffic Management", "Conewise Traffic Services", "Jamal Idowu", 4,
     32.0),
    ("RML-01", "Road Markings Team", "Road Markings", "Lineright Markings", "Callum Fenwick", 2, 35.0),
    ("STR-01", "Structures Gang", "Structures", "Marrick Civil Engineering", "Bogdan Nowak", 6, 44.0),
    ("CON-01", "Concrete Repair Team", "Concrete Repair", "Marrick Civil Engineering", "Siobhan Keane", 4, 46.0),
    ("SCF-01", "Access Scaffold Team", "Scaffolding", "Highreach Scaffolding", "Dean Cropper", 4, 34.0),
    ("DRN-01", "Drainage Gang 1", "Drainage", "Brookline Drainage Services", "Aled Roberts", 5, 36.0),
    ("DRN-02", "Drainage Gang 2", "Drainage", "Brookline Drainage Services", "Priti Chauhan", 4, 36.0),
    ("CIV-01", "Civils Gang", "Civils", "Halden Infrastructure", "Ray Gallimore", 6, 39.0),
    ("KRB-01", "Kerbing Gang", "Kerbing", "Halden Infrastructure", "Nikos Stavrou", 4, 37.5),
    ("SIG-01", "Signals Installation Team", "Traffic Signals", "Vantor Signals Ltd", "Ewan Baird", 3, 52.0),
    ("DLO-01", "Highways DLO Patching Crew", "Patching", "Eastmere Highways DLO", "Kevin Marsh", 4, 30.0),
]

KINDS = {
    "plane": ["PLN-01", "TMG-01"], "surf": ["SUR-01", "TMG-01"], "surf2": ["SUR-02", "TMG-02"],
    "iron": ["DLO-01"], "lines": ["RML-01"], "patch": ["DLO-01", "TMG-02"], "plane2": ["PLN-01", "TMG-02"],
    "scaf": ["SCF-01"], "conc": ["CON-01"], "struct": ["STR-01"], "struct_tm": ["STR-01", "TMG-01"],
    "drain": ["DRN-01"], "drain2": ["DRN-02"], "drain_tm": ["DRN-01", "TMG-02"], "civ": ["CIV-01"],
    "civ_tm": ["CIV-01", "TMG-02"], "kerb": ["KRB-01"], "sig": ["SIG-01"], "tm": ["TMG-02"],
}

# ---------------------------------------------------------------------------------------------- scheme plans


class Plan:
    def __init__(self, code, cal):
        self.code, self.cal = code, cal
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("DES", "ROOT", "Design and surveys"),
                    ("APP", "ROOT", "Approvals, permits and procurement"), ("CON", "ROOT", "Construction"),
                    ("CMP", "ROOT", "Completion and handover")]

    def pkg(self, key, name):
        self.wbs.append((key, "CON", name))
        return key

    def add(self, key, name, dur, wbs, preds=(), cal=None, tm=None, kind=None, slip=0, new=False, ms=None,
            snet=None):
        self.tasks.append(dict(key=key, name=name, dur=dur, wbs=wbs, preds=list(preds), cal=cal or self.cal,
                               tm=tm, kind=kind, slip=slip, new=new, ms=ms, snet=snet))
        return key


def ch(m):
    return f"{m // 1000}+{m % 1000:03d}"


def plan_brk():
    p = Plan("BRK", "NGT5")
    p.add("aw", "Contract award / order issued", 0, "APP", cal="OFF5", ms="S")
    p.add("cor", "Coring and pavement condition survey", 10, "DES", ["aw"], cal="OFF5")
    p.add("des", "Pavement design and construction drawings", 25, "DES", ["cor"], cal="OFF5")
    p.add("tro", "Temporary traffic regulation order (night closures)", 40, "APP", ["des:SS10"], cal="OFF5")
    p.add("ntc", "Residents and business notification letters", 5, "APP", ["tro:FF0"], cal="OFF5")
    p.add("utl", "Utility stats coordination and C3 enquiries", 20, "APP", ["des"], cal="OFF5")
    p.add("mat", "Materials order - HRA/SMA and binder (lead time)", 28, "APP", ["des"], cal="CAL7")
    p.add("sos", "Start on site", 0, "CON", ["tro", "ntc", "utl", "mat"], ms="S", snet=dt.date(2025, 5, 11))
    sections = [(0, 450), (450, 980), (980, 1520), (1520, 2100), (2100, 2640), (2640, 3200)]
    prev = "sos"
    for n, (a, b) in enumerate(sections, 1):
        w = p.pkg(f"S{n}", f"Section {n} Ch {ch(a)} - {ch(b)}")
        pl = p.add(f"pl{n}", f"Section {n}: TM set-up and plane out Ch {ch(a)} - {ch(b)}", 2 + (n in (3, 4)), w,
                   [prev], tm="RC", kind="plane", slip=3 if n == 3 else 0)
        p.add(f"pt{n}", f"Section {n}: deep patching and haunch repairs", 2 if n != 3 else 3, w, [pl], tm="RC",
              kind="patch", slip=2 if n == 3 else 0, new=(n == 3))
        bc = p.add(f"bc{n}", f"Section {n}: lay binder course", 2, w, [f"pt{n}"], tm="RC", kind="surf")
        sc = p.add(f"sc{n}", f"Section {n}: lay surface course (SMA 10)", 1 + (n in (3, 4)), w, [bc], tm="RC",
                   kind="surf")
        p.add(f"ir{n}", f"Section {n}: raise ironwork and kerb repairs", 2, w, [f"{sc}:SS0"], tm="LC", kind="iron")
        p.add(f"rm{n}", f"Section {n}: road markings and road studs", 1, w, [f"{sc}:FS2"], tm="LC", kind="lines")
        prev = sc
    p.add("gul", "Gully cleanse and CCTV of carriageway drainage", 4, "CMP", [f"rm{n}" for n in range(1, 7)],
          tm="LC", kind="drain2", cal="DAY5")
    p.add("ins", "Final joint inspection with area highways engineer", 1, "CMP", ["gul", "ir6"], cal="DAY5")
    p.add("cmp", "Scheme completion", 0, "CMP", ["ins"], ms="F")
    p.add("asb", "As-built records and handover file", 10, "CMP", ["cmp"], cal="OFF5")
    return p


def plan_tgh():
    p = Plan("TGH", "DAY5")
    p.add("aw", "Contract award / order issued", 0, "APP", cal="OFF5", ms="S")
    p.add("svy", "Topographic and coring survey", 8, "DES", ["aw"], cal="OFF5")
    p.add("des", "Resurfacing design and TM plan", 20, "DES", ["svy"], cal="OFF5")
    p.add("prm", "Street works permit and road closure notice", 30, "APP", ["des:SS5"], cal="OFF5")
    p.add("mat", "Materials order (lead time)", 21, "APP", ["des"], cal="CAL7")
    p.add("sos", "Start on site", 0, "CON", ["prm", "mat"], ms="S", snet=dt.date(2025, 2, 3))
    prev = "sos"
    for n, (a, b) in enumerate([(0, 380), (380, 760), (760, 1150)], 1):
        w = p.pkg(f"S{n}", f"Section {n} Ch {ch(a)} - {ch(b)}")
        pl = p.add(f"pl{n}", f"Section {n}: plane and patch Ch {ch(a)} - {ch(b)}", 3, w, [prev], tm="RC",
                   kind="plane2")
        sc = p.add(f"sc{n}", f"Section {n}: inlay binder and surface course", 3, w, [pl], tm="RC", kind="surf2")
        p.add(f"ir{n}", f"Section {n}: ironwork and kerbs", 2, w, [f"{sc}:SS1"], tm="TL", kind="iron")
        p.add(f"rm{n}", f"Section {n}: lining", 1, w, [f"{sc}:FS1"], tm="TL", kind="lines")
        prev = sc
    p.add("ins", "Completion inspection", 1, "CMP", ["rm3", "ir3", "rm1", "rm2", "ir1", "ir2"])
    p.add("cmp", "Scheme completion", 0, "CMP", ["ins"], ms="F")
    p.add("asb", "As-built records and handover", 8, "CMP", ["cmp"], cal="OFF5")
    return p


def plan_owb():
    p = Plan("OWB", "DAY6")
    p.add("aw", "Commission issued", 0, "APP", cal="OFF5", ms="S")
    p.add("pin", "Principal inspection and concrete testing", 15, "DES", ["aw"], cal="OFF5")
    p.add("asm", "Structural assessment", 25, "DES", ["pin"], cal="OFF5")
    p.add("aip", "Approval in principle (AIP) submission and acceptance", 20, "DES", ["asm"], cal="OFF5")
    p.add("dd", "Detailed design of deck repairs, bearings and joints", 35, "DES", ["aip"], cal="OFF5")
    p.add("env", "Environmental consent - works over Otterburn Water", 60, "APP", ["asm"], cal="CAL7", slip=14)
    p.add("brg", "Procure replacement bearings (lead time)", 70, "APP", ["dd"], cal="CAL7", slip=21)
    p.add("exj", "Procure expansion joints (lead time)", 42, "APP", ["dd"], cal="CAL7")
    p.add("tro", "Single lane shuttle working TTRO", 30, "APP", ["dd:SS0"], cal="OFF5")
    p.add("sos", "Start on site", 0, "CON", ["env", "tro", "dd"], ms="S", snet=dt.date(2025, 3, 3))
    p.add("cmpd", "Site compound and welfare set-up", 3, "CON", ["sos"], tm="TL", kind="civ")
    prev_sc = "cmpd"
    for n in (1, 2, 3):
        w = p.pkg(f"SP{n}", f"Span {n}")
        sc = p.add(f"sc{n}", f"Span {n}: erect access scaffold and sheeting", 5, w, [prev_sc], tm="TL", kind="scaf")
        hd = p.add(f"hd{n}", f"Span {n}: hydrodemolition of defective soffit concrete", 10, w,
                   [sc] + ([f"hd{n - 1}"] if n > 1 else []), tm="TL", kind="conc", slip=5 if n == 2 else 0)
        p.add(f"cr{n}", f"Span {n}: concrete repairs and reinforcement replacement", 14 + (n == 2) * 4, w,
              [hd] + ([f"cr{n - 1}"] if n > 1 else []), tm="TL", kind="conc", slip=6 if n == 2 else 0)
        p.add(f"ct{n}", f"Span {n}: cure, test and apply protective coating", 6, w, [f"cr{n}:FS7"], tm="TL",
              kind="conc")
        prev_sc = sc
    w = p.pkg("BRG", "Bearings")
    for n in (1, 2):
        p.add(f"jk{n}", f"Pier {n}: jack deck and replace bearings", 6, w, ["brg", f"cr{n + 1}"], tm="RC",
              kind="struct_tm", slip=2 if n == 1 else 0)
    w = p.pkg("JNT", "Expansion joints and deck")
    p.add("ej1", "North abutment expansion joint replacement", 5, w, ["exj", "jk2"], tm="RC", kind="struct_tm")
    p.add("ej2", "South abutment expansion joint replacement", 5, w, ["ej1"], tm="RC", kind="struct_tm")
    p.add("wp", "Deck waterproofing and surfacing", 4, w, ["ej2"], tm="RC", kind="struct_tm")
    p.add("par", "Parapet repairs and repainting", 15, w, ["wp:SS0"], tm="TL", kind="struct")
    p.add("dsc", "Strike scaffold and remove sheeting", 5, "CMP", ["ct1", "ct2", "ct3", "par"], tm="TL",
          kind="scaf")
    p.add("lin", "Lining and reopen to two-way traffic", 1, "CMP", ["wp", "dsc"], tm="LC", kind="lines")
    p.add("cmp", "Scheme completion", 0, "CMP", ["lin"], ms="F")
    p.add("h&s", "Health and safety file and maintenance manual", 15, "CMP", ["cmp"], cal="OFF5")
    return p


def plan_qbc():
    p = Plan("QBC", "DAY6")
    p.add("aw", "Commission issued", 0, "APP", cal="OFF5", ms="S")
    p.add("gi", "Ground investigation and trial pits", 15, "DES", ["aw"], cal="OFF5")
    p.add("des", "Culvert extension and retaining wall design", 40, "DES", ["gi"], cal="OFF5")
    p.add("ldc", "Ordinary watercourse / land drainage consent", 40, "APP", ["des:SS15"], cal="CAL7")
    p.add("pcu", "Precast box culvert units - manufacture and delivery", 56, "APP", ["des"], cal="CAL7")
    p.add("utl", "Water main diversion by utility", 20, "APP", ["des"], cal="DAY5", tm="TL", slip=10)
    p.add("tro", "Road closure order - Quarry Beck Road", 35, "APP", ["des:SS10"], cal="OFF5")
    p.add("sos", "Start on site", 0, "CON", ["ldc", "tro"], ms="S", snet=dt.date(2025, 5, 6))
    p.add("ovp", "Over-pumping and temporary watercourse diversion", 4, "CON", ["sos"], tm="RC", kind="drain")
    w = p.pkg("CUL", "Culvert extension")
    p.add("exc", "Excavate culvert trench and dewater", 10, w, ["ovp", "utl"], tm="RC", kind="civ_tm")
    p.add("bed", "Blinding and bedding slab", 4, w, ["exc"], tm="RC", kind="struct")
    prev = "bed"
    for n in (1, 2, 3, 4):
        prev = p.add(f"bx{n}", f"Lay precast box units bay {n}", 2, w, [prev] + (["pcu"] if n == 1 else []),
                     tm="RC", kind="struct_tm")
    p.add("hw", "Inlet and outlet headwalls", 10, w, ["bx4"], tm="RC", kind="struct")
    w = p.pkg("RW", "Retaining wall")
    prev = "exc"
    for n in range(1, 6):
        e = p.add(f"we{n}", f"Wall bay {n}: excavate and blind", 3, w, [prev if n > 1 else "exc:SS3"], tm="LC",
                  kind="civ", slip=2 if n == 3 else 0)
        r = p.add(f"wr{n}", f"Wall bay {n}: fix reinforcement and shutter", 4, w, [e], tm="LC", kind="struct")
        pr = p.add(f"wc{n}", f"Wall bay {n}: pour concrete", 1, w, [r], tm="LC", kind="struct")
        prev = pr
    p.add("bf", "Backfill behind wall and drainage layer", 5, w, ["wc5:FS7", "hw"], tm="RC", kind="civ_tm")
    p.add("rds", "Carriageway reconstruction over culvert", 4, "CON", ["bf"], tm="RC", kind="civ_tm")
    p.add("vrs", "Vehicle restraint barrier installation", 3, "CON", ["rds"], tm="LC", kind="civ")
    p.add("rin", "Remove over-pumping and reinstate watercourse", 3, "CMP", ["hw", "bf"], kind="drain")
    p.add("cmp", "Scheme completion", 0, "CMP", ["vrs", "rin"], ms="F")
    p.add("asb", "As-built records and H&S file", 12, "CMP", ["cmp"], cal="OFF5")
    return p


def plan_fvj():
    p = Plan("FVJ", "DAY5")
    p.add("aw", "Contract award", 0, "APP", cal="OFF5", ms="S")
    p.add("tpo", "Topographic survey and traffic counts", 12, "DES", ["aw"], cal="OFF5")
    p.add("des", "Junction detailed design", 45, "DES", ["tpo"], cal="OFF5")
    p.add("sgd", "Traffic signal design and controller requirements", 30, "DES", ["des:SS20"], cal="OFF5")
    p.add("rsa", "Stage 2 road safety audit", 10, "DES", ["des"], cal="OFF5")
    p.add("tro", "TTRO for weekend full closures", 40, "APP", ["rsa"], cal="OFF5")
    p.add("gas", "Gas main diversion (utility works)", 25, "APP", ["des"], cal="DAY5", tm="TL", slip=12)
    p.add("tel", "Telecoms duct diversion (utility works)", 15, "APP", ["des"], cal="DAY5", tm="TL")
    p.add("ctl", "Signal controller and poles procurement", 63, "APP", ["sgd"], cal="CAL7")
    p.add("sos", "Start on site", 0, "CON", ["rsa"], ms="S", snet=dt.date(2025, 4, 28))
    arms = [("N", "Fivelanes Road north arm"), ("E", "Kelsby Road east arm"), ("S", "Station Road south arm"),
            ("W", "Mill Lane west arm")]
    prev = "sos"
    for key, name in arms:
        w = p.pkg(f"A{key}", f"{name}")
        k = p.add(f"kb{key}", f"{name}: kerb realignment and footway build-out", 10, w,
                  [prev] + (["gas", "tel"] if key == "N" else []), tm="TL", kind="kerb", slip=6 if key == "N" else 0)
        p.add(f"du{key}", f"{name}: signal ducting and chambers", 6, w, [f"{k}:SS2"], tm="TL", kind="civ")
        p.add(f"dr{key}", f"{name}: drainage gullies and connections", 5, w, [k], tm="TL", kind="drain_tm")
        p.add(f"wd{key}", f"{name}: carriageway widening and base", 8, w, [f"dr{key}"], tm="LC", kind="civ_tm",
              slip=4 if key == "E" else 0)
        prev = k
    w = p.pkg("SIG", "Traffic signals")
    p.add("pol", "Install signal poles and detector loops", 5, w, ["ctl"] + [f"du{a}" for a, _ in arms], tm="LC",
          kind="sig")
    p.add("cab", "Install controller cabinet and cabling", 4, w, ["pol"], tm="LC", kind="sig")
    w = p.pkg("SRF", "Surfacing and lining (weekend closures)")
    p.add("pl1", "Weekend closure 1: plane and resurface north/east arms", 2, w, ["tro", "wdN", "wdE"], tm="RC",
          kind="surf2", cal="WKND")
    p.add("pl2", "Weekend closure 2: plane and resurface south/west arms and centre", 2, w,
          ["pl1", "wdS", "wdW"], tm="RC", kind="surf2", cal="WKND")
    p.add("lin", "Lining, studs and signing", 3, w, ["pl2"], tm="LC", kind="lines")
    p.add("com", "Signals commissioning and switch-on", 2, w, ["cab", "lin"], tm="LC", kind="sig")
    p.add("rs3", "Stage 3 road safety audit", 5, "CMP", ["com"], cal="OFF5")
    p.add("cmp", "Scheme completion", 0, "CMP", ["com"], ms="F")
    p.add("ras", "Stage 3 audit remedials", 5, "CMP", ["rs3"], tm="TL", kind="civ", new=True)
    p.add("mon", "Post-opening monitoring report", 20, "CMP", ["cmp:FS30"], cal="OFF5")
    return p


def plan_hrb():
    p = Plan("HRB", "DAY5")
    p.add("aw", "Design commission issued", 0, "APP", cal="OFF5", ms="S")
    p.add("fs", "Feasibility and options appraisal", 30, "DES", ["aw"], cal="OFF5")
    p.add("tc", "Traffic modelling of roundabout options", 25, "DES", ["fs:SS10"], cal="OFF5")
    p.add("tpo", "Topographic and utilities survey", 15, "DES", ["fs:SS5"], cal="OFF5")
    p.add("po", "Preferred option decision (cabinet member)", 0, "DES", ["fs", "tc"], ms="F", cal="OFF5")
    p.add("pd", "Preliminary design", 40, "DES", ["po", "tpo"], cal="OFF5")
    p.add("rs1", "Stage 1 road safety audit", 10, "DES", ["pd:SS20"], cal="OFF5")
    p.add("lnd", "Land negotiations - verge strips at Stannard Vale", 80, "APP", ["pd"], cal="OFF5", slip=15)
    p.add("pln", "Planning consent for lighting columns and signs", 40, "APP", ["pd"], cal="CAL7")
    p.add("dd", "Detailed design", 50, "DES", ["pd", "rs1"], cal="OFF5")
    p.add("rs2", "Stage 2 road safety audit", 10, "DES", ["dd"], cal="OFF5")
    p.add("tnd", "Mini-competition under junctions framework", 30, "APP", ["dd", "rs2"], cal="OFF5")
    p.add("aw2", "Construction order placed", 0, "APP", ["tnd", "lnd", "pln"], ms="F", cal="OFF5")
    p.add("tro", "TTRO for lane closures", 30, "APP", ["aw2"], cal="OFF5")
    p.add("sos", "Start on site", 0, "CON", ["aw2:FS20", "tro"], ms="S")
    prev = "sos"
    for key, name in [("A", "Harrowgate Road arm"), ("B", "Vale Road arm"), ("C", "Ebbing Lane arm"),
                      ("D", "Stannard bypass arm")]:
        w = p.pkg(f"A{key}", name)
        k = p.add(f"fl{key}", f"{name}: entry flare widening", 8, w, [prev], tm="LC", kind="civ_tm")
        p.add(f"kb{key}", f"{name}: kerbs, islands and footways", 5, w, [k], tm="LC", kind="kerb")
        prev = k
    w = p.pkg("CIR", "Circulatory carriageway")
    p.add("cw", "Circulatory carriageway widening", 15, w, ["flD"], tm="LC", kind="civ_tm")
    p.add("lgt", "Street lighting upgrade", 10, w, ["cw:SS5", "pln"], tm="LC", kind="civ")
    p.add("srf", "Night resurfacing of circulatory and entries", 4, w, ["cw", "kbD", "kbC", "kbB", "kbA"],
          tm="RC", kind="surf", cal="NGT5")
    p.add("lin", "Lining and signing", 3, w, ["srf"], tm="LC", kind="lines")
    p.add("cmp", "Scheme completion", 0, "CMP", ["lin", "lgt"], ms="F")
    p.add("rs3", "Stage 3 road safety audit", 5, "CMP", ["cmp"], cal="OFF5")
    return p


def plan_sld():
    p = Plan("SLD", "DAY6")
    p.add("aw", "Commission issued", 0, "APP", cal="OFF5", ms="S")
    p.add("cctv", "CCTV and manhole survey of existing network", 12, "DES", ["aw"], cal="OFF5")
    p.add("hyd", "Hydraulic modelling of the Saltmarsh catchment", 30, "DES", ["cctv"], cal="OFF5")
    p.add("des", "Drainage detailed design", 35, "DES", ["hyd"], cal="OFF5")
    p.add("flc", "Flood risk activity permit for outfall", 50, "APP", ["des:SS10"], cal="CAL7")
    p.add("mat", "Pipes, manholes and attenuation tank units (lead time)", 35, "APP", ["des"], cal="CAL7")
    p.add("tl", "Temporary lights permit - Saltmarsh Lane", 20, "APP", ["des"], cal="OFF5")
    p.add("sos", "Start on site", 0, "CON", ["tl", "mat"], ms="S", snet=dt.date(2025, 3, 3))
    w = p.pkg("PIP", "Pipe runs")
    runs = [("MH1", "MH2", 62), ("MH2", "MH3", 55), ("MH3", "MH4", 70), ("MH4", "MH5", 48), ("MH5", "MH6", 66),
            ("MH6", "MH7", 52)]
    prev = "sos"
    for n, (a, b, m) in enumerate(runs, 1):
        gang = "drain" if n % 2 else "drain2"
        x = p.add(f"rn{n}", f"Run {n} {a}-{b}: excavate and lay 450mm pipe ({m} m)", m // 5, w, [prev],
                  tm="TL", kind=gang, slip=5 if n == 3 else 0)
        p.add(f"mh{n}", f"Run {n}: construct manhole {b}", 3, w, [x], tm="TL", kind=gang)
        p.add(f"ri{n}", f"Run {n}: backfill and temporary reinstatement", 1, w, [f"mh{n}"], tm="TL", kind=gang)
        prev = x
    w = p.pkg("ATT", "Attenuation and outfall")
    p.add("tnk", "Excavate and install attenuation tank (420 m3)", 20, w, ["rn2", "mat"], kind="civ", slip=8)
    p.add("hdw", "Outfall headwall and flap valve to Saltmarsh Dyke", 10, w, ["flc", "rn6"], kind="drain", slip=6)
    p.add("con", "Connect tank to network and commission flow control", 3, w, ["tnk", "hdw"], kind="drain")
    p.add("prr", "Permanent reinstatement of trench lines", 8, "CMP", [f"ri{n}" for n in range(1, 7)] + ["con"],
          tm="TL", kind="surf2", cal="DAY5")
    p.add("ccp", "Post-construction CCTV survey", 3, "CMP", ["prr"], kind="drain2")
    p.add("cmp", "Scheme completion", 0, "CMP", ["ccp"], ms="F")
    p.add("asb", "As-built drawings and asset register update", 10, "CMP", ["cmp"], cal="OFF5")
    return p


def plan_med():
    p = Plan("MED", "DAY5")
    p.add("aw", "Commission issued", 0, "APP", cal="OFF5", ms="S")
    p.add("cctv", "CCTV survey of estate drainage", 10, "DES", ["aw"], cal="OFF5")
    p.add("des", "Gully and connection renewal design", 25, "DES", ["cctv"], cal="OFF5")
    p.add("res", "Residents consultation and parking suspensions", 20, "APP", ["des:SS5"], cal="OFF5")
    p.add("prm", "Street works permits (estate roads)", 15, "APP", ["des"], cal="OFF5")
    p.add("mat", "Gully pots and pipework order", 21, "APP", ["des"], cal="CAL7")
    p.add("sos", "Start on site", 0, "CON", ["res", "prm", "mat"], ms="S", snet=dt.date(2025, 6, 9))
    streets = ["Millbrook Road", "Alder Close", "Beech Crescent", "Keepers Way", "Orchard Rise", "Mill Green",
               "Sandpit Lane", "Tanners Row"]
    prev = "sos"
    for n, st in enumerate(streets, 1):
        w = p.pkg(f"ST{n}", st)
        gang = "drain" if n % 2 else "drain2"
        g = p.add(f"gu{n}", f"{st}: replace gullies and connections", 3 + (n in (1, 5)), w, [prev], tm="TL",
                  kind=gang)
        p.add(f"rd{n}", f"{st}: reinstate and reline", 1, w, [g], tm="TL", kind="patch")
        prev = g
    p.add("ccp", "Post-works CCTV and jetting", 4, "CMP", [f"rd{n}" for n in range(1, 9)], kind="drain2")
    p.add("cmp", "Scheme completion", 0, "CMP", ["ccp"], ms="F")
    p.add("asb", "Asset register update", 5, "CMP", ["cmp"], cal="OFF5")
    return p


SCHEMES = [
    # code, ref, name, road, town, district, type, contract, sponsor, pm, site supervisor, budget, efc factor,
    # start, margin (calendar days after the baseline finish), re-baselined, plan
    ("TGH", "HW24-009", "B2310 Tollgate Hill Resurfacing, Pennock Green", "B2310", "Pennock Green",
     "Southern Downs", "Resurfacing", 1, "Martin Fairweather", "Hannah Lisowski", "Gordon Peck", 640000.0, 0.96,
     dt.date(2024, 9, 2), 21, False, plan_tgh),
    ("BRK", "HW24-017", "A614 Brackley Road Resurfacing, Hollinsford", "A614", "Hollinsford", "North Eastmere",
     "Resurfacing", 1, "Martin Fairweather", "Hannah Lisowski", "Gordon Peck", 1850000.0, 1.07,
     dt.date(2024, 11, 4), 7, False, plan_brk),
    ("OWB", "HW23-044", "Otterburn Water Bridge Deck Repairs, Kelsby", "C417", "Kelsby", "Vale of Ebbing",
     "Bridge", 2, "Deborah Quist", "Sunil Varma", "Bogdan Nowak", 2300000.0, 1.16, dt.date(2024, 6, 3), 10, True,
     plan_owb),
    ("QBC", "HW24-026", "Quarry Beck Culvert and Retaining Wall, Dunhope", "B6120", "Dunhope", "North Eastmere",
     "Bridge", 2, "Deborah Quist", "Fergus Tamblyn", "Lydia Marsh", 1420000.0, 1.04, dt.date(2024, 10, 7), 21,
     False, plan_qbc),
    ("FVJ", "HW24-031", "Fivelanes Junction Upgrade, Ashcombe", "A38", "Ashcombe", "Coastal", "Junction", 3,
     "Colin Ashdown", "Priya Nandakumar", "Ray Gallimore", 3400000.0, 1.11, dt.date(2024, 8, 5), 7, False,
     plan_fvj),
    ("HRB", "HW25-004", "Harrowgate Roundabout Capacity Improvement, Stannard Vale", "A372", "Stannard Vale",
     "Vale of Ebbing", "Junction", 3, "Colin Ashdown", "Oliver Brandt", "Ray Gallimore", 4750000.0, 1.02,
     dt.date(2025, 3, 3), 30, False, plan_hrb),
    ("SLD", "HW24-038", "Saltmarsh Lane Flood Alleviation Scheme, Wrenfield", "C209", "Wrenfield", "Coastal",
     "Drainage", 4, "Amira Shah", "Tomasz Zielinski", "Aled Roberts", 1960000.0, 1.09, dt.date(2024, 7, 1), 15,
     True, plan_sld),
    ("MED", "HW25-011", "Millbrook Estate Drainage Renewal, Castle Ebbing", "U/C", "Castle Ebbing",
     "Vale of Ebbing", "Drainage", 4, "Amira Shah", "Tomasz Zielinski", "Priti Chauhan", 520000.0, 0.99,
     dt.date(2025, 1, 6), 20, False, plan_med),
]
REBASE_DT = {"OWB": (dt.date(2025, 2, 24), "BL1 Revised programme after consent delay"),
             "SLD": (dt.date(2025, 3, 17), "BL1 Revised programme after tank redesign")}

RISKS = [
    # scheme, task key, title, category, prob 1-5, impact 1-5, cost, delay days, owner, response, status, raised,
    # last reviewed
    ("BRK", "pl3", "Deeper pavement failure in section 3 than coring showed", "Ground conditions", 4, 3, 85000.0, 6,
     "Hannah Lisowski", "Reduce", "Realised", "2025-02-10", "2025-05-19"),
    ("BRK", "sc4", "Wet nights stop surface course laying", "Weather", 3, 2, 20000.0, 4, "Terry Oldroyd", "Accept",
     "Open", "2025-03-03", "2025-06-16"),
    ("BRK", "tro", "Objection to night closure order from Hollinsford traders", "Third party", 2, 4, 15000.0, 20,
     "Hannah Lisowski", "Reduce", "Closed", "2024-12-02", "2025-02-24"),
    ("BRK", "mat", "SMA aggregate shortage at quarry", "Supply chain", 2, 3, 30000.0, 10, "Wes Hartigan",
     "Transfer", "Closed", "2025-01-13", "2025-03-10"),
    ("BRK", "ir5", "Utility covers not owned by the council need third-party raising", "Utilities", 3, 2, 12000.0,
     3, "Gordon Peck", "Accept", "Open", "2025-05-12", "2025-06-16"),
    ("TGH", "sc2", "Bus diversion complaints during closure", "Third party", 3, 1, 2000.0, 0, "Hannah Lisowski",
     "Accept", "Closed", "2024-12-09", "2025-04-07"),
    ("TGH", "pl1", "Frost delays planing in February", "Weather", 3, 2, 8000.0, 3, "Gordon Peck", "Accept",
     "Closed", "2025-01-20", "2025-03-31"),
    ("OWB", "env", "Environmental consent delayed by fish spawning window", "Environmental", 4, 4, 60000.0, 14,
     "Sunil Varma", "Reduce", "Realised", "2024-08-19", "2025-02-17"),
    ("OWB", "cr2", "Span 2 chloride contamination wider than tested", "Ground conditions", 4, 4, 140000.0, 10,
     "Sunil Varma", "Reduce", "Realised", "2025-04-14", "2025-06-23"),
    ("OWB", "brg", "Bearing manufacturer lead time extends", "Supply chain", 3, 4, 45000.0, 21, "Philip Aldous",
     "Transfer", "Realised", "2024-12-16", "2025-06-02"),
    ("OWB", "jk1", "Jacking loads exceed design - deck cracking", "Design", 2, 5, 220000.0, 25, "Sunil Varma",
     "Reduce", "Open", "2025-05-06", "2025-06-23"),
    ("OWB", "sc3", "High river level stops scaffold work over water", "Weather", 3, 3, 35000.0, 7, "Bogdan Nowak",
     "Accept", "Open", "2025-03-24", "2025-06-23"),
    ("QBC", "utl", "Water main diversion late from utility", "Utilities", 4, 3, 40000.0, 10, "Fergus Tamblyn",
     "Reduce", "Realised", "2025-01-27", "2025-05-12"),
    ("QBC", "exc", "Rock encountered in culvert excavation", "Ground conditions", 3, 3, 55000.0, 6,
     "Fergus Tamblyn", "Accept", "Open", "2025-03-10", "2025-06-09"),
    ("QBC", "ovp", "Flash flood overtops over-pumping", "Weather", 2, 5, 75000.0, 10, "Lydia Marsh", "Reduce",
     "Open", "2025-04-07", "2025-06-09"),
    ("QBC", "we3", "Adjacent garden wall undermined at bay 3", "Third party", 3, 3, 18000.0, 4, "Lydia Marsh",
     "Reduce", "Open", "2025-05-19", "2025-06-23"),
    ("FVJ", "gas", "Gas main diversion overruns", "Utilities", 4, 4, 90000.0, 15, "Priya Nandakumar", "Reduce",
     "Realised", "2024-11-25", "2025-06-02"),
    ("FVJ", "pl1", "Weekend closure clashes with Ashcombe events", "Third party", 3, 4, 25000.0, 14,
     "Priya Nandakumar", "Avoid", "Open", "2025-02-03", "2025-06-16"),
    ("FVJ", "ctl", "Signal controller delivery late", "Supply chain", 2, 4, 10000.0, 20, "Ewan Baird", "Transfer",
     "Open", "2025-03-17", "2025-06-16"),
    ("FVJ", "wdE", "Unrecorded cellar under Kelsby Road footway", "Ground conditions", 3, 3, 48000.0, 8,
     "Ray Gallimore", "Reduce", "Open", "2025-05-27", "2025-06-23"),
    ("FVJ", None, "Stage 3 audit raises layout changes", "Design", 2, 2, 20000.0, 5, "Priya Nandakumar", "Accept",
     "Open", "2025-04-14", "2025-06-16"),
    ("HRB", "lnd", "Landowner refuses to sell verge strip", "Third party", 3, 5, 150000.0, 60, "Oliver Brandt",
     "Reduce", "Open", "2025-04-22", "2025-06-20"),
    ("HRB", "tc", "Model shows option B fails capacity in 2040", "Design", 2, 3, 30000.0, 15, "Oliver Brandt",
     "Accept", "Closed", "2025-03-24", "2025-05-12"),
    ("HRB", "pln", "Planning objection to lighting columns", "Third party", 2, 2, 5000.0, 10, "Oliver Brandt",
     "Accept", "Open", "2025-05-19", "2025-06-20"),
    ("SLD", "tnk", "Groundwater in tank excavation", "Ground conditions", 4, 4, 110000.0, 12, "Tomasz Zielinski",
     "Reduce", "Realised", "2025-02-03", "2025-06-09"),
    ("SLD", "flc", "Flood risk activity permit conditions on outfall timing", "Environmental", 3, 3, 20000.0, 10,
     "Tomasz Zielinski", "Reduce", "Open", "2024-11-11", "2025-06-09"),
    ("SLD", "rn3", "Unmapped cables across run 3", "Utilities", 3, 3, 26000.0, 5, "Aled Roberts", "Accept",
     "Realised", "2025-02-24", "2025-04-28"),
    ("SLD", "hdw", "Tidal locking of outfall during works", "Weather", 3, 2, 12000.0, 4, "Aled Roberts", "Accept",
     "Open", "2025-04-28", "2025-06-23"),
    ("MED", "res", "Residents' parking displacement complaints", "Third party", 3, 1, 1000.0, 0,
     "Tomasz Zielinski", "Accept", "Open", "2025-03-31", "2025-06-16"),
    ("MED", "gu3", "Collapsed connections need full excavation", "Ground conditions", 3, 2, 22000.0, 3,
     "Priti Chauhan", "Accept", "Open", "2025-06-02", "2025-06-23"),
]

VARIATIONS = [
    # scheme, title, raised by, reason, value, extension of time (working days), status, raised, decided
    ("BRK", "Additional deep patching in section 3", "Contractor", "Unforeseen ground conditions", 78500.0, 3,
     "Approved", "2025-04-14", "2025-05-06"),
    ("BRK", "Extra road studs on bends at Hollinsford Hill", "Client", "Scope change", 9400.0, 0, "Approved",
     "2025-03-24", "2025-04-01"),
    ("BRK", "Night working premium for show-week rescheduling", "Contractor", "Programme change", 14200.0, 0,
     "Submitted", "2025-06-16", None),
    ("TGH", "Replace 12 damaged gully gratings", "Client", "Scope change", 6100.0, 0, "Approved", "2025-02-17",
     "2025-02-24"),
    ("TGH", "Saving on reduced surface course depth", "Contractor", "Value engineering", -18000.0, 0, "Approved",
     "2025-01-27", "2025-02-10"),
    ("OWB", "Consent delay - extension of time", "Contractor", "Third party delay", 58000.0, 12, "Approved",
     "2024-12-02", "2025-01-20"),
    ("OWB", "Additional concrete repairs span 2", "Contractor", "Unforeseen ground conditions", 132000.0, 10,
     "Submitted", "2025-05-19", None),
    ("OWB", "Bearing supply delay costs", "Contractor", "Supply chain delay", 27500.0, 0, "Proposed",
     "2025-06-23", None),
    ("OWB", "Paint parapets in heritage green", "Client", "Scope change", 11800.0, 0, "Rejected", "2025-03-10",
     "2025-03-31"),
    ("QBC", "Water main diversion delay", "Contractor", "Third party delay", 36000.0, 8, "Approved", "2025-03-31",
     "2025-04-22"),
    ("QBC", "Rock breaking in culvert trench", "Contractor", "Unforeseen ground conditions", 41000.0, 4,
     "Submitted", "2025-06-02", None),
    ("QBC", "Add handrail to headwall", "Client", "Scope change", 7300.0, 0, "Approved", "2025-05-12",
     "2025-05-27"),
    ("FVJ", "Gas diversion overrun - extension of time", "Contractor", "Third party delay", 64000.0, 10,
     "Submitted", "2025-05-06", None),
    ("FVJ", "Toucan crossing on Station Road arm", "Client", "Scope change", 96000.0, 6, "Approved", "2025-02-17",
     "2025-03-17"),
    ("FVJ", "Cellar infill under Kelsby Road footway", "Contractor", "Unforeseen ground conditions", 38500.0, 4,
     "Proposed", "2025-06-09", None),
    ("FVJ", "Accelerate surfacing to avoid carnival weekend", "Client", "Acceleration", 22000.0, -3, "Withdrawn",
     "2025-04-07", None),
    ("HRB", "Additional traffic modelling of 2040 flows", "Client", "Scope change", 18500.0, 10, "Approved",
     "2025-04-07", "2025-04-28"),
    ("SLD", "Attenuation tank redesign for groundwater", "Contractor", "Unforeseen ground conditions", 96000.0, 8,
     "Approved", "2025-02-17", "2025-03-10"),
    ("SLD", "Divert run 3 around unmapped cables", "Contractor", "Utilities", 21500.0, 5, "Approved",
     "2025-03-03", "2025-03-24"),
    ("SLD", "Additional non-return valve at MH4", "Client", "Scope change", 8700.0, 0, "Submitted", "2025-06-16",
     None),
    ("MED", "Two extra gullies in Keepers Way", "Client", "Scope change", 3900.0, 0, "Approved", "2025-06-02",
     "2025-06-10"),
]

PERMIT_OFFICERS = ["Gemma Trelawny", "Stuart Blyth", "Noor Hassan", "Alan Pettigrew"]
TM_PERMIT = {"RC": "Road closure (TTRO)", "LC": "Lane closure permit", "TL": "Temporary traffic lights permit"}
CONSENTS = {
    # scheme: (task key, permit type, issuer, status, conditions)
    "OWB": ("env", "Environmental consent", "Eastmere Rivers Board", "Granted",
            "No in-river works 1 Oct - 31 Jan; silt curtains required"),
    "QBC": ("ldc", "Land drainage consent", "Eastmere Rivers Board", "Granted", "Maintain fish passage"),
    "SLD": ("flc", "Flood risk activity permit", "Eastmere Rivers Board", "Applied", None),
    "HRB": ("pln", "Planning consent", "Stannard Vale District Council", "Applied", None),
}
WEATHER = {1: ["Frost", "Rain", "Dry", "Dry", "Snow"], 2: ["Frost", "Rain", "Dry", "Dry", "Wind"],
           3: ["Rain", "Dry", "Dry", "Wind"], 4: ["Dry", "Dry", "Rain", "Showers"], 5: ["Dry", "Dry", "Showers"],
           6: ["Dry", "Dry", "Dry", "Showers", "Heavy rain"], 7: ["Dry", "Dry", "Showers"],
           8: ["Dry", "Showers"], 9: ["Dry", "Rain"], 10: ["Rain", "Dry", "Wind"], 11: ["Rain", "Frost", "Dry"],
           12: ["Frost", "Rain"]}
TEMP = {1: 3, 2: 4, 3: 7, 4: 10, 5: 13, 6: 16, 7: 18, 8: 18, 9: 15, 10: 11, 11: 7, 12: 4}
# diary events forced on a task's first day: (scheme, task key) -> (delay code, hours lost, text)
DIARY_EVENTS = {
    ("BRK", "pl3"): ("GRD", 3.0, "Planing exposed failed sub-base in section 3; stopped to agree extra patching"),
    ("OWB", "hd2"): ("GRD", 5.0, "Hydrodemolition found delaminated concrete beyond marked areas on span 2"),
    ("OWB", "cr2"): ("GRD", 4.0, "Engineer instructed further breakout at span 2 pier end"),
    ("QBC", "exc"): ("GRD", 4.5, "Rock at 1.8 m depth; breaker brought in"),
    ("SLD", "rn3"): ("UTL", 6.0, "Unmapped LV cables found across run 3; work stopped for cable locate"),
    ("SLD", "tnk"): ("GRD", 5.0, "Groundwater ingress in tank dig; extra pumps on hire"),
    ("FVJ", "wdE"): ("GRD", 3.5, "Void found under Kelsby Road footway, area fenced off"),
    ("FVJ", "kbN"): ("UTL", 2.0, "Gas contractor still on site at north arm; kerb gang redeployed"),
}
OTHER_DELAYS = [("PLT", "Plant breakdown - {what}"), ("TPI", "Public interference with traffic management"),
                ("TM", "Traffic management set-up late"), ("MAT", "Late material delivery")]


def parse_pred(s):
    key, _, rest = s.partition(":")
    if not rest:
        return key, "FS", 0
    return key, rest[:2], int(rest[2:] or 0)


def cpm(tasks, keys, durs, links, start, anchor_b=None, fin_key=None):
    """Forward and backward pass over working-day calendars. Returns start / finish boundaries (morning of
    the first working day, morning after the last), late boundaries and free float in working days."""
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
    end = max(fb.values())
    anchor = anchor_b or end
    lsb, lfb = {}, {}
    for k in reversed(order):
        cal, d = CALS[tasks[k]["cal"]], durs[k]
        lim, ssl = anchor, None
        if not succs[k] and fin_key and k != fin_key:
            # close-out work after completion keeps the completion milestone's float
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
    return sb, fb, lsb, lfb, free, end


def shown(task, sbound, fbound):
    """Displayed start and finish dates of a task from its boundaries."""
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
    nw_id = 0
    for row in CALENDARS:
        cid, code, name, _, label, hrs, shift, notes, _ = row
        con.execute("INSERT INTO ref_calendar VALUES (?,?,?,?,?,?,?)", (cid, code, name, label, hrs, shift, notes))
        cal = CALS[code]
        for d in sorted(cal.off):
            if CAL_FROM <= d <= CAL_TO and d.weekday() in cal.days:
                nw_id += 1
                con.execute("INSERT INTO ref_cal_nonwork VALUES (?,?,?,?,?)", (nw_id, cid, d.isoformat()) +
                            cal.off[d])
    con.executemany("INSERT INTO cw_contract VALUES (?,?,?,?,?,?,?,?,?)", CONTRACTS)
    crew_ids, crew_row = {}, {}
    for i, c in enumerate(CREWS, 1):
        con.execute("INSERT INTO res_crew VALUES (?,?,?,?,?,?,?,?)", (i,) + c)
        crew_ids[c[0]], crew_row[c[0]] = i, c
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    ids = dict(wbs=0, task=0, link=0, bl=0, blt=0, alloc=0, risk=0, var=0, permit=0, diary=0)
    dd_b = DATA_DATE + D1

    for s_idx, (code, ref, name, road, town, district, stype, contract, sponsor, pm, sup, budget, efc_f, start,
                margin, rebased, planf) in enumerate(SCHEMES, 1):
        plan = planf()
        tasks = {t["key"]: t for t in plan.tasks}
        keys = [t["key"] for t in plan.tasks]
        links = []
        for t in plan.tasks:
            for pr in t["preds"]:
                k, typ, lag = parse_pred(pr)
                assert k in tasks, (code, k)
                links.append((k, t["key"], typ, lag))
        fin_key = next(k for k in keys if k == "cmp")
        has_succ = {lk[0] for lk in links}
        for k in keys:
            if k not in has_succ and k != fin_key and not (tasks[k]["cal"] == "OFF5" and k in ("asb", "h&s", "mon",
                                                                                                   "rs3")):
                links.append((k, fin_key, "FS", 0))
        base_keys = [k for k in keys if not tasks[k]["new"]]
        base_links = [lk for lk in links if lk[0] in base_keys and lk[1] in base_keys]
        for k in keys:
            if tasks[k]["new"]:
                # the baseline had the new task's predecessors drive its successors directly
                base_links += [(p, s, "FS", 0) for p, k1, _, _ in links if k1 == k
                               for k2, s, _, _ in links if k2 == k]
        b0 = cpm(tasks, base_keys, {k: tasks[k]["dur"] for k in base_keys}, base_links, start)
        contr = b0[1][fin_key] - D1 + dt.timedelta(days=margin)
        bls = [(1, "BL0 Contract award programme", start + dt.timedelta(days=10),
                {k: tasks[k]["dur"] for k in base_keys})]
        if rebased:
            d1 = {k: tasks[k]["dur"] + tasks[k]["slip"] // 2 for k in base_keys}
            b1 = cpm(tasks, base_keys, d1, base_links, start)
            contr = b1[1][fin_key] - D1 + dt.timedelta(days=margin)
            bls.append((2, REBASE_DT[code][1], REBASE_DT[code][0], d1))
        anchor_b = contr + D1
        cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
        sb, fb, lsb, lfb, free, _ = cpm(tasks, keys, cdurs, links, start, anchor_b, fin_key)
        # baselines re-run against the contract completion so their float is meaningful
        bl_rows = []
        for no, bname, bdate, bd in bls:
            r = cpm(tasks, base_keys, bd, base_links, start, anchor_b, fin_key)
            bl_rows.append((no, bname, bdate, r, bd))
        active = bl_rows[-1]

        fin_shown = shown(tasks[fin_key], sb[fin_key], fb[fin_key])[1]
        all_done = fin_shown <= DATA_DATE
        sos_done = shown(tasks["sos"], sb["sos"], fb["sos"])[0] <= DATA_DATE
        status = "Complete" if all_done else ("Construction" if sos_done else
                                              ("Procurement" if start < dt.date(2025, 1, 1) else "Design"))
        slack = CALS[plan.cal].wd(fb[fin_key], anchor_b)
        rag = "G" if all_done or slack > 10 else ("A" if slack >= 0 else "R")
        con.execute("INSERT INTO cw_scheme VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (s_idx, ref, code, name, road, town, district, stype, contract, sponsor, pm, sup, budget,
                     round(budget * efc_f, -3), iso(start), iso(contr), iso(fin_shown),
                     iso(fin_shown) if all_done else None, iso(DATA_DATE), status, rag))
        # WBS
        wbs_ids, wbs_cd = {}, {}
        lvl2 = 0
        lvl3 = {}
        for key, parent, wname in plan.wbs:
            ids["wbs"] += 1
            wbs_ids[key] = ids["wbs"]
            if parent is None:
                cd, lvl, wname = code, 1, f"{code} {name.split(',')[0]}"
            elif parent == "ROOT":
                lvl2 += 1
                cd, lvl = f"{code}.{lvl2}", 2
            else:
                lvl3[parent] = lvl3.get(parent, 0) + 1
                cd, lvl = f"{wbs_cd[parent]}.{lvl3[parent]}", 3
            wbs_cd[key] = cd
            con.execute("INSERT INTO wk_wbs VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], s_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        task_ids, tstat, shown_d = {}, {}, {}
        for n, k in enumerate(keys, 1):
            t = tasks[k]
            ids["task"] += 1
            task_ids[k] = ids["task"]
            cal = CALS[t["cal"]]
            d = cdurs[k]
            s_d, f_d = shown(t, sb[k], fb[k])
            shown_d[k] = (s_d, f_d)
            if f_d <= DATA_DATE and (d > 0 or s_d <= DATA_DATE):
                st, pc, rem = "CO", 100.0, 0
            elif s_d <= DATA_DATE:
                st = "IP"
                rem = cal.wd(dd_b, fb[k])
                pc = float(max(5, min(95, round(100 * (d - rem) / d * rng.uniform(0.85, 1.0) / 5) * 5)))
            else:
                st, pc, rem = "NS", 0.0, d
            tstat[k] = st
            ls_d, lf_d = shown(t, lsb[k], lfb[k])
            tf = None if st == "CO" else cal.wd(fb[k], lfb[k])
            ff = None if st == "CO" else max(0, min(free[k], max(tf, 0)))
            if k in active[3][0]:
                ps, pf = shown(t, active[3][0][k], active[3][1][k])
            else:
                ps = pf = None
            ttype = "Task" if d > 0 else ("Start MS" if t["ms"] == "S" else "Finish MS")
            con.execute("INSERT INTO wk_task VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["task"], s_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]], f"{code}-{1000 + n * 10}",
                         t["name"], ttype, t["tm"], d, rem, iso(ps), iso(pf), iso(s_d), iso(f_d),
                         None if st == "CO" else iso(ls_d), None if st == "CO" else iso(lf_d),
                         iso(s_d) if st != "NS" else None, iso(f_d) if st == "CO" else None, tf, ff,
                         1 if tf is not None and tf <= 0 else 0, pc, st))
        for p, s, typ, lag in links:
            ids["link"] += 1
            con.execute("INSERT INTO wk_link VALUES (?,?,?,?,?)", (ids["link"], task_ids[p], task_ids[s], typ, lag))
        for no, bname, bdate, (bsb, bfb, _, blfb, _, _), bd in bl_rows:
            ids["bl"] += 1
            con.execute("INSERT INTO wk_baseline VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], s_idx, no, bname, iso(bdate), sponsor, 1 if no == active[0] else 0))
            for k in base_keys:
                t = tasks[k]
                s_d, f_d = shown(t, bsb[k], bfb[k])
                ids["blt"] += 1
                con.execute("INSERT INTO wk_bl_task VALUES (?,?,?,?,?,?,?)",
                            (ids["blt"], ids["bl"], task_ids[k], iso(s_d), iso(f_d), bd[k],
                             CALS[t["cal"]].wd(bfb[k], blfb[k])))

        # crew allocations: one row per crew per week commencing (Monday) of the task's working days
        site_days = {}
        for k in keys:
            t = tasks[k]
            if not t["kind"]:
                continue
            cal = CALS[t["cal"]]
            days = []
            d = sb[k]
            while d < fb[k]:
                if cal.work(d):
                    days.append(d)
                d += D1
            for d in days:
                site_days.setdefault(d, []).append(k)
            weeks = {}
            for d in days:
                weeks.setdefault(d - dt.timedelta(days=d.weekday()), []).append(d)
            for crew in KINDS[t["kind"]]:
                c = crew_row[crew]
                for wk, wdays in sorted(weeks.items()):
                    plan_hrs = round(len(wdays) * min(cal.hrs, 10.0) * c[5], 1)
                    if wdays[-1] <= DATA_DATE:
                        if rng.random() < 0.03:
                            act, stat = 0.0, "Cancelled"
                        else:
                            act, stat = round(plan_hrs * rng.uniform(0.82, 1.18), 1), "Worked"
                    elif wdays[0] <= DATA_DATE:
                        act, stat = round(plan_hrs * rng.uniform(0.3, 0.6), 1), "Part worked"
                    elif wk <= DATA_DATE + dt.timedelta(days=14):
                        act, stat = None, "Confirmed"
                    else:
                        act, stat = None, "Planned"
                    cost = round((act if stat in ("Worked", "Part worked") else plan_hrs) * c[6], 2)
                    if stat == "Cancelled":
                        cost = 0.0
                    ids["alloc"] += 1
                    con.execute("INSERT INTO res_alloc VALUES (?,?,?,?,?,?,?,?)",
                                (ids["alloc"], crew_ids[crew], task_ids[k], iso(wk), plan_hrs, act, cost, stat))
        # risks and variations
        n = 0
        for r in RISKS:
            if r[0] != code:
                continue
            n += 1
            ids["risk"] += 1
            con.execute("INSERT INTO rk_risk VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["risk"], s_idx, task_ids[r[1]] if r[1] else None, f"R-{code}-{n:02d}", r[2], r[3],
                         r[4], r[5], r[4] * r[5], r[6], r[7], r[8], r[9], r[10], r[11], r[12]))
        n = 0
        for v in VARIATIONS:
            if v[0] != code:
                continue
            n += 1
            ids["var"] += 1
            con.execute("INSERT INTO cw_variation VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["var"], s_idx, f"VO-{code}-{n:03d}") + v[1:])
        # permits: one per traffic management type and work package, covering its tasks' dates
        groups = {}
        for k in keys:
            t = tasks[k]
            if t["tm"]:
                groups.setdefault((t["tm"], t["wbs"]), []).append(k)
        pn = 0
        for (tm, _), ks in sorted(groups.items(), key=lambda g: min(shown_d[k][0] for k in g[1])):
            vf = min(shown_d[k][0] for k in ks)
            vt = max(shown_d[k][1] for k in ks) + dt.timedelta(days=2)
            applied = vf - dt.timedelta(days=rng.choice([28, 35, 42, 56]) if tm == "RC" else rng.choice([10, 14, 21]))
            if vt < DATA_DATE:
                pst = "Expired"
            elif applied > DATA_DATE:
                continue
            elif vf <= DATA_DATE + dt.timedelta(days=10) or tm != "RC":
                pst = "Granted"
            else:
                pst = "Applied"
            pn += 1
            ids["permit"] += 1
            cond = {"RC": "Diversion signed via agreed route; access for residents and emergency services",
                    "LC": "Off-peak only 09:30-15:30" if tasks[ks[0]]["cal"] != "NGT5" else None,
                    "TL": "Manual control at peak hours"}[tm]
            con.execute("INSERT INTO st_permit VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["permit"], s_idx, task_ids[ks[0]], f"EM{applied.year % 100}-{code}-{pn:03d}",
                         TM_PERMIT[tm], "Eastmere CC Network Management", iso(applied), iso(vf), iso(vt), pst,
                         PERMIT_OFFICERS[(s_idx + pn) % len(PERMIT_OFFICERS)], cond))
        if code in CONSENTS:
            k, ptype, issuer, pst, cond = CONSENTS[code]
            s_d, f_d = shown_d[k]
            pn += 1
            ids["permit"] += 1
            con.execute("INSERT INTO st_permit VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["permit"], s_idx, task_ids[k], f"EM{s_d.year % 100}-{code}-{pn:03d}", ptype, issuer,
                         iso(s_d), iso(f_d + D1), iso(f_d + dt.timedelta(days=730)), pst,
                         "Helen Strachan" if issuer.startswith("Eastmere Rivers") else "Ian McCourt", cond))
        if code == "FVJ":
            pn += 1
            ids["permit"] += 1
            con.execute("INSERT INTO st_permit VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["permit"], s_idx, task_ids["pl1"], f"EM25-{code}-{pn:03d}", TM_PERMIT["RC"],
                         "Eastmere CC Network Management", "2025-05-12", "2025-08-02", "2025-08-03", "Refused",
                         "Gemma Trelawny", "Refused: clashes with Ashcombe Carnival"))
        # site diary: one entry per day with site work up to the data date
        for d in sorted(site_days):
            if d > DATA_DATE:
                continue
            ks = site_days[d]
            first = [k for k in ks if shown_d[k][0] == d]
            ev = next((DIARY_EVENTS[(code, k)] for k in first if (code, k) in DIARY_EVENTS), None)
            weather = rng.choice(WEATHER[d.month])
            temp = TEMP[d.month] + rng.randint(-4, 4) - (4 if tasks[ks[0]]["cal"] == "NGT5" else 0)
            staff = sum(crew_row[c][5] for k in ks for c in KINDS[tasks[k]["kind"]]) + rng.randint(1, 3)
            lost, cd = 0.0, None
            text = "; ".join(tasks[k]["name"] for k in ks[:3])
            if ev:
                cd, lost, note = ev
                text = f"{text}. {note}"
            elif weather in ("Heavy rain", "Snow") or (weather == "Rain" and rng.random() < 0.4):
                cd, lost = "WX", rng.choice([1.5, 2.0, 3.0, 4.0])
                text = f"{text}. Stood down {lost:g} h for {weather.lower()}"
            elif rng.random() < 0.06:
                cd, tmpl = rng.choice(OTHER_DELAYS)
                lost = rng.choice([1.0, 1.5, 2.0, 2.5])
                text = f"{text}. {tmpl.format(what=rng.choice(['planer', 'excavator', 'roller', 'pump']))}"
            else:
                text = f"{text}. Progress as planned"
            ids["diary"] += 1
            con.execute("INSERT INTO st_diary VALUES (?,?,?,?,?,?,?,?,?,?)",
                        (ids["diary"], s_idx, iso(d), weather, temp, staff, lost, cd, text, sup))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

TABLE_META = {
    "ref_calendar": ("Work calendars used to schedule tasks", {
        "cal_id": ("calendar id", "INTEGER"),
        "cal_cd": ("Short calendar code, e.g. DAY5, NGT5", "TEXT"),
        "cal_nm": ("Calendar name", "TEXT"),
        "work_days": ("Working days of a normal week, e.g. Mon-Fri, Sun-Thu nights", "TEXT"),
        "hrs_day": ("Hours in a working day / shift", "REAL"),
        "shift": ("Day, Night or Continuous", "TEXT"),
        "notes": ("free text", "TEXT"),
    }),
    "ref_cal_nonwork": ("Non-working days (exceptions) of each calendar: bank holidays, the Christmas road works "
                        "embargo, office closures and local event embargoes. Only days that would otherwise be "
                        "working days of the calendar are listed", {
        "nw_id": ("id", "INTEGER"),
        "cal_id": ("calendar (ref_calendar.cal_id)", "INTEGER"),
        "nw_dt": ("Non-working date (YYYY-MM-DD)", "DATE"),
        "nw_type": ("Type code of the exception", "TEXT"),
        "nw_desc": ("Reason, e.g. Bank holiday - Good Friday", "TEXT"),
    }),
    "cw_contract": ("Framework contracts the capital works are let under, one contractor each", {
        "contract_id": ("contract id", "INTEGER"),
        "contract_no": ("Council contract number, e.g. EMC/HW/2023/011", "TEXT"),
        "contract_nm": ("Contract / framework name", "TEXT"),
        "contractor_nm": ("Contractor", "TEXT"),
        "contract_form": ("Pricing form of the contract", "TEXT"),
        "award_dt": ("Award date", "DATE"),
        "expiry_dt": ("Framework end date", "DATE"),
        "fw_value_gbp": ("Estimated framework value, GBP", "REAL"),
        "client_cm_nm": ("Council contract manager", "TEXT"),
    }),
    "cw_scheme": ("Capital works schemes (projects) of the highways programme with budget, EFC and completion "
                  "dates", {
        "scheme_id": ("scheme id", "INTEGER"),
        "scheme_ref": ("Programme reference, e.g. HW24-017", "TEXT"),
        "scheme_cd": ("Three-letter scheme code; prefix of task codes (BRK-1010)", "TEXT"),
        "scheme_nm": ("Scheme name with road and place", "TEXT"),
        "road_no": ("Road number, e.g. A614; U/C for unclassified estate roads", "TEXT"),
        "town": ("Town / village", "TEXT"),
        "district": ("Highways district", "TEXT"),
        "scheme_type": ("Type of scheme", "TEXT"),
        "contract_id": ("Contract the scheme is ordered under (cw_contract.contract_id)", "INTEGER"),
        "sponsor_nm": ("Sponsor (programme manager for the asset type)", "TEXT"),
        "pm_nm": ("Project manager", "TEXT"),
        "site_sup_nm": ("Site supervisor; writes the site diary", "TEXT"),
        "bdgt_gbp": ("Approved budget GBP", "REAL"),
        "efc_gbp": ("Estimated final cost GBP at the data date", "REAL"),
        "start_dt": ("Scheme start (commission / award)", "DATE"),
        "contr_compl": ("Contract completion date (active baseline finish plus time risk allowance); float is "
                        "measured to this date", "DATE"),
        "fcst_compl": ("Forecast completion from the current schedule", "DATE"),
        "act_compl": ("Actual completion; null until complete", "DATE"),
        "data_dt": ("Data date of the schedule update", "DATE"),
        "status": ("Scheme stage", "TEXT"),
        "rag": ("RAG", "TEXT"),
    }),
    "wk_wbs": ("WBS of each scheme: level 1 the scheme, level 2 phases, level 3 work packages (sections, spans, "
               "arms, streets...)", {
        "wbs_id": ("wbs id", "INTEGER"),
        "scheme_id": ("scheme (cw_scheme.scheme_id)", "INTEGER"),
        "parent_wbs_id": ("Parent WBS element; null at level 1", "INTEGER"),
        "wbs_cd": ("WBS code, e.g. BRK.3.2", "TEXT"),
        "wbs_nm": ("WBS element name", "TEXT"),
        "lvl": ("Level 1-3", "INTEGER"),
    }),
    "wk_task": ("Schedule tasks and milestones of each scheme at the data date, with planned (active "
                "baseline), forecast, late and actual dates and float", {
        "task_id": ("task id", "INTEGER"),
        "scheme_id": ("scheme (cw_scheme.scheme_id)", "INTEGER"),
        "wbs_id": ("WBS element (wk_wbs.wbs_id)", "INTEGER"),
        "cal_id": ("Calendar the task is scheduled on (ref_calendar.cal_id)", "INTEGER"),
        "task_cd": ("Task code shown in the programme, e.g. BRK-1090", "TEXT"),
        "task_nm": ("Task name", "TEXT"),
        "task_type": ("Task, Start MS or Finish MS", "TEXT"),
        "tm_cd": ("Traffic management the task needs; null if none", "TEXT"),
        "dur_d": ("Duration, working days of the task's calendar", "INTEGER"),
        "rem_d": ("Remaining duration (working days)", "INTEGER"),
        "plan_start": ("Planned start in the active baseline; null for tasks added since", "DATE"),
        "plan_fin": ("Planned finish in the active baseline; null for tasks added since", "DATE"),
        "fcst_start": ("Forecast (early) start; the actual start once started", "DATE"),
        "fcst_fin": ("Forecast (early) finish; the actual finish once complete", "DATE"),
        "late_start": ("Late start (backward pass); null when complete", "DATE"),
        "late_fin": ("Late finish; null when complete", "DATE"),
        "act_start": ("Actual start", "DATE"),
        "act_fin": ("Actual finish", "DATE"),
        "tot_float": ("Total float in working days to the contract completion date (late finish minus forecast "
                      "finish); negative = behind; null when complete", "INTEGER"),
        "free_float": ("Free float, working days", "INTEGER"),
        "crit": ("1 = critical (tot_float <= 0), 0 otherwise", "INTEGER"),
        "pct_cmp": ("% complete", "REAL"),
        "status": ("Task status code", "TEXT"),
    }),
    "wk_link": ("Logic links between tasks (predecessor -> successor)", {
        "link_id": ("link id", "INTEGER"),
        "pred_task_id": ("Predecessor (wk_task.task_id)", "INTEGER"),
        "succ_task_id": ("Successor (wk_task.task_id)", "INTEGER"),
        "rel_type": ("Relationship type", "TEXT"),
        "lag_d": ("Lag, calendar days", "INTEGER"),
    }),
    "wk_baseline": ("Baselines saved for each scheme; the active one is what plan dates and variance are "
                    "reported against", {
        "bl_id": ("baseline id", "INTEGER"),
        "scheme_id": ("scheme (cw_scheme.scheme_id)", "INTEGER"),
        "bl_no": ("Baseline number within the scheme (1 = contract award programme)", "INTEGER"),
        "bl_nm": ("Baseline name", "TEXT"),
        "bl_dt": ("Date saved / accepted", "DATE"),
        "approved_by": ("Who accepted it", "TEXT"),
        "is_active": ("1 = active baseline", "INTEGER"),
    }),
    "wk_bl_task": ("Task dates, durations and float as stored in each baseline", {
        "bl_task_id": ("id", "INTEGER"),
        "bl_id": ("baseline (wk_baseline.bl_id)", "INTEGER"),
        "task_id": ("task (wk_task.task_id)", "INTEGER"),
        "bl_start": ("Baseline start", "DATE"),
        "bl_fin": ("Baseline finish", "DATE"),
        "bl_dur_d": ("Baseline duration, working days", "INTEGER"),
        "bl_tot_float": ("Total float in the baseline, working days", "INTEGER"),
    }),
    "res_crew": ("Crews / gangs available to the programme (contractor and DLO)", {
        "crew_id": ("crew id", "INTEGER"),
        "crew_cd": ("Crew code, e.g. SUR-01", "TEXT"),
        "crew_nm": ("Crew name", "TEXT"),
        "trade": ("Trade", "TEXT"),
        "employer": ("Company the crew works for", "TEXT"),
        "foreman_nm": ("Foreman / ganger", "TEXT"),
        "hc": ("headcount", "INTEGER"),
        "rate_hr": ("Rate per person-hour, GBP", "REAL"),
    }),
    "res_alloc": ("Crew allocations to tasks by week commencing, with planned and actual person-hours and "
                  "cost", {
        "alloc_id": ("allocation id", "INTEGER"),
        "crew_id": ("crew (res_crew.crew_id)", "INTEGER"),
        "task_id": ("task (wk_task.task_id)", "INTEGER"),
        "wk_comm": ("Week commencing (Monday)", "DATE"),
        "plan_hrs": ("Planned person-hours in the week", "REAL"),
        "act_hrs": ("Actual person-hours booked; null until worked", "REAL"),
        "cost_gbp": ("Cost GBP: actual hours x rate once worked, planned hours x rate before; 0 if cancelled",
                     "REAL"),
        "alloc_stat": ("Allocation status", "TEXT"),
    }),
    "rk_risk": ("Risk register", {
        "risk_id": ("risk id", "INTEGER"),
        "scheme_id": ("scheme (cw_scheme.scheme_id)", "INTEGER"),
        "task_id": ("Task affected (wk_task.task_id); may be null", "INTEGER"),
        "risk_ref": ("Risk ref, e.g. R-OWB-02", "TEXT"),
        "risk_ttl": ("Risk title", "TEXT"),
        "risk_cat": ("Category", "TEXT"),
        "prob": ("Probability score 1-5", "INTEGER"),
        "impact": ("Impact score 1-5", "INTEGER"),
        "score": ("prob x impact (1-25)", "INTEGER"),
        "cost_ml_gbp": ("Most likely cost if it happens, GBP", "REAL"),
        "delay_ml_d": ("Most likely delay if it happens, working days", "INTEGER"),
        "owner_nm": ("Risk owner", "TEXT"),
        "response": ("Response", "TEXT"),
        "risk_stat": ("Status", "TEXT"),
        "raised_dt": ("Date raised", "DATE"),
        "last_rev_dt": ("Date last reviewed", "DATE"),
    }),
    "cw_variation": ("Variations (change orders) to the schemes' orders, with value and extension of time", {
        "var_id": ("variation id", "INTEGER"),
        "scheme_id": ("scheme (cw_scheme.scheme_id)", "INTEGER"),
        "var_ref": ("Variation ref, e.g. VO-BRK-001", "TEXT"),
        "var_ttl": ("What the variation is", "TEXT"),
        "raised_by": ("Client or Contractor", "TEXT"),
        "reason": ("Reason category", "TEXT"),
        "value_gbp": ("Value GBP; negative for a saving", "REAL"),
        "eot_d": ("Extension of time asked / granted, working days (negative = acceleration)", "INTEGER"),
        "var_stat": ("Status", "TEXT"),
        "raised_dt": ("Raised", "DATE"),
        "decided_dt": ("Decision date (approved / rejected); null otherwise", "DATE"),
    }),
    "st_permit": ("Street works permits, road closure orders and consents for the schemes", {
        "permit_id": ("permit id", "INTEGER"),
        "scheme_id": ("scheme (cw_scheme.scheme_id)", "INTEGER"),
        "task_id": ("First task the permit covers (wk_task.task_id)", "INTEGER"),
        "permit_no": ("Permit number", "TEXT"),
        "permit_type": ("Type of permit or consent", "TEXT"),
        "issuer": ("Issuing body", "TEXT"),
        "applied_dt": ("Date applied for", "DATE"),
        "valid_from": ("Valid from", "DATE"),
        "valid_to": ("Valid to", "DATE"),
        "permit_stat": ("Status", "TEXT"),
        "officer_nm": ("Officer handling it at the issuer", "TEXT"),
        "conditions": ("Conditions attached (free text); null if none", "TEXT"),
    }),
    "st_diary": ("Site diary: one entry per scheme per day with site work, with weather, staff and time lost", {
        "diary_id": ("diary id", "INTEGER"),
        "scheme_id": ("scheme (cw_scheme.scheme_id)", "INTEGER"),
        "diary_dt": ("Date of the shift (nights dated by the evening they start)", "DATE"),
        "weather": ("Weather", "TEXT"),
        "temp_c": ("Temp at start of shift, deg C", "INTEGER"),
        "staff_cnt": ("Staff on site", "INTEGER"),
        "hrs_lost": ("Working hours lost", "REAL"),
        "delay_cd": ("Delay cause code; null when no time lost", "TEXT"),
        "entry_txt": ("Diary text: work done and any issues", "TEXT"),
        "recorded_by": ("Site supervisor who wrote the entry", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("ref_cal_nonwork", "ref_calendar", "ref_cal_nonwork.cal_id = ref_calendar.cal_id",
     "Non-working days of a calendar"),
    ("cw_scheme", "cw_contract", "cw_scheme.contract_id = cw_contract.contract_id", "Contract of a scheme"),
    ("wk_wbs", "cw_scheme", "wk_wbs.scheme_id = cw_scheme.scheme_id", "WBS of a scheme"),
    ("wk_wbs", "wk_wbs", "wk_wbs.parent_wbs_id = wk_wbs.wbs_id", "Parent WBS element"),
    ("wk_task", "cw_scheme", "wk_task.scheme_id = cw_scheme.scheme_id", "Tasks of a scheme"),
    ("wk_task", "wk_wbs", "wk_task.wbs_id = wk_wbs.wbs_id", "WBS element of a task"),
    ("wk_task", "ref_calendar", "wk_task.cal_id = ref_calendar.cal_id", "Calendar of a task"),
    ("wk_link", "wk_task", "wk_link.pred_task_id = wk_task.task_id", "Predecessor of a link"),
    ("wk_link", "wk_task", "wk_link.succ_task_id = wk_task.task_id", "Successor of a link"),
    ("wk_baseline", "cw_scheme", "wk_baseline.scheme_id = cw_scheme.scheme_id", "Baselines of a scheme"),
    ("wk_bl_task", "wk_baseline", "wk_bl_task.bl_id = wk_baseline.bl_id", "Rows of a baseline"),
    ("wk_bl_task", "wk_task", "wk_bl_task.task_id = wk_task.task_id", "Task a baseline row stores"),
    ("res_alloc", "res_crew", "res_alloc.crew_id = res_crew.crew_id", "Crew of an allocation"),
    ("res_alloc", "wk_task", "res_alloc.task_id = wk_task.task_id", "Task a crew is allocated to"),
    ("rk_risk", "cw_scheme", "rk_risk.scheme_id = cw_scheme.scheme_id", "Risks of a scheme"),
    ("rk_risk", "wk_task", "rk_risk.task_id = wk_task.task_id", "Task a risk affects"),
    ("cw_variation", "cw_scheme", "cw_variation.scheme_id = cw_scheme.scheme_id", "Variations of a scheme"),
    ("st_permit", "cw_scheme", "st_permit.scheme_id = cw_scheme.scheme_id", "Permits of a scheme"),
    ("st_permit", "wk_task", "st_permit.task_id = wk_task.task_id", "Task a permit covers"),
    ("st_diary", "cw_scheme", "st_diary.scheme_id = cw_scheme.scheme_id", "Diary entries of a scheme"),
]

BUSINESS_RULES = {
    ("wk_task", "status"): ["Allowed Values: NS (not started), IP (in progress), CO (complete)"],
    ("wk_task", "task_type"): ["Allowed Values: Task, Start MS, Finish MS (milestones have dur_d = 0)"],
    ("wk_task", "tm_cd"): ["Allowed Values: RC (road closure), LC (lane closure), TL (temporary traffic lights), "
                           "null (no traffic management)"],
    ("wk_task", "crit"): ["Allowed Values: 1, 0", "Critical: crit = 1 when tot_float <= 0; complete tasks are 0"],
    ("wk_task", "tot_float"): ["Near critical: tot_float between 1 and 10", "Negative float: forecast finish is "
                               "after the contract completion date"],
    ("wk_task", "plan_fin"): ["Slipped: fcst_fin > plan_fin"],
    ("wk_link", "rel_type"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to finish)"],
    ("wk_baseline", "is_active"): ["Allowed Values: 1, 0; one active baseline per scheme"],
    ("ref_cal_nonwork", "nw_type"): ["Allowed Values: BH (bank holiday), EMB (road works embargo), OFC (office "
                                     "closure), EVT (local event embargo)"],
    ("ref_calendar", "shift"): ["Allowed Values: Day, Night, Continuous"],
    ("cw_scheme", "status"): ["Allowed Values: Design, Procurement, Construction, Complete"],
    ("cw_scheme", "rag"): ["Allowed Values: R (forecast after contract completion), A (10 or fewer working days "
                           "float left), G"],
    ("cw_scheme", "scheme_type"): ["Allowed Values: Resurfacing, Bridge, Junction, Drainage"],
    ("cw_contract", "contract_form"): ["Allowed Values: Schedule of rates, Target cost, Priced activity schedule"],
    ("res_alloc", "alloc_stat"): ["Allowed Values: Planned, Confirmed, Part worked, Worked, Cancelled"],
    ("rk_risk", "risk_stat"): ["Allowed Values: Open, Closed, Realised (the risk happened)"],
    ("rk_risk", "response"): ["Allowed Values: Reduce, Accept, Transfer, Avoid"],
    ("rk_risk", "score"): ["High risk: score >= 12"],
    ("rk_risk", "risk_cat"): ["Allowed Values: Ground conditions, Weather, Third party, Supply chain, Utilities, "
                              "Environmental, Design"],
    ("cw_variation", "var_stat"): ["Allowed Values: Proposed, Submitted, Approved, Rejected, Withdrawn"],
    ("cw_variation", "raised_by"): ["Allowed Values: Client, Contractor"],
    ("st_permit", "permit_stat"): ["Allowed Values: Applied, Granted, Refused, Expired"],
    ("st_diary", "delay_cd"): ["Allowed Values: WX (weather), GRD (ground conditions), UTL (utilities), PLT "
                               "(plant breakdown), TPI (public interference), TM (traffic management), MAT "
                               "(materials), null"],
}

CONCEPTS = {
    ("wk_task", "tot_float"): ["total_float", "critical_path"],
    ("wk_task", "free_float"): ["free_float"],
    ("wk_task", "crit"): ["critical_path"],
    ("wk_task", "pct_cmp"): ["percent_complete"],
    ("wk_task", "plan_fin"): ["baseline_variance"],
    ("wk_link", "lag_d"): ["lag"],
    ("wk_bl_task", "bl_fin"): ["baseline_variance"],
    ("cw_scheme", "efc_gbp"): ["cost_variance"],
    ("rk_risk", "score"): ["risk_exposure"],
    ("cw_variation", "eot_d"): ["extension_of_time"],
    ("st_diary", "hrs_lost"): ["lost_time"],
    ("ref_cal_nonwork", "nw_dt"): ["working_calendar"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days a task can slip before the scheme misses its contract completion date",
    "free_float": "Working days a task can slip before any successor moves",
    "critical_path": "Chain of tasks with zero or negative float driving completion",
    "percent_complete": "Physical progress of a task",
    "lag": "Waiting time on a logic link (calendar days), e.g. concrete curing",
    "baseline_variance": "Forecast dates against the active baseline; later = slipped",
    "cost_variance": "EFC against approved budget",
    "risk_exposure": "Probability x impact score of a risk, or cost weighted by likelihood",
    "extension_of_time": "Extra working days granted to the contractor by a variation",
    "lost_time": "Site hours lost to weather or other delays, from the site diary",
    "working_calendar": "Which days a task can be worked on: weekly pattern minus non-working days",
}

QUERY_EXAMPLES = [
    ("SELECT scheme_ref, scheme_nm, contr_compl, fcst_compl, rag FROM cw_scheme ORDER BY start_dt;",
     "Schemes with contract and forecast completion", "simple"),
    ("SELECT t.task_cd, t.task_nm, t.fcst_start, t.tot_float FROM wk_task t JOIN cw_scheme s "
     "ON s.scheme_id = t.scheme_id WHERE s.scheme_cd = 'FVJ' AND t.crit = 1 ORDER BY t.fcst_start;",
     "Critical tasks of a scheme", "medium"),
    ("SELECT c.crew_nm, SUM(a.act_hrs) AS hrs, SUM(a.cost_gbp) AS cost FROM res_alloc a JOIN res_crew c "
     "ON c.crew_id = a.crew_id WHERE a.alloc_stat = 'Worked' GROUP BY c.crew_nm;",
     "Hours and cost worked by crew", "medium"),
    ("SELECT t.task_cd, t.task_nm, b.bl_fin, t.fcst_fin FROM wk_task t JOIN wk_bl_task b ON b.task_id = t.task_id "
     "JOIN wk_baseline bl ON bl.bl_id = b.bl_id WHERE bl.is_active = 1 AND t.fcst_fin > b.bl_fin;",
     "Tasks forecast to finish later than the active baseline", "complex"),
    ("SELECT nw_dt, nw_desc FROM ref_cal_nonwork n JOIN ref_calendar c ON c.cal_id = n.cal_id "
     "WHERE c.cal_cd = 'NGT5' AND nw_dt >= '2025-06-27' ORDER BY nw_dt;",
     "Coming non-working nights", "medium"),
]

KEYWORDS = {
    "float": ["wk_task.tot_float", "wk_task.free_float", "total_float"],
    "TF": ["wk_task.tot_float"],
    "critical": ["wk_task.crit", "critical_path"],
    "predecessor": ["wk_link.pred_task_id", "wk_link"],
    "successor": ["wk_link.succ_task_id", "wk_link"],
    "baseline": ["wk_baseline", "wk_bl_task", "baseline_variance"],
    "gang": ["res_crew"],
    "crew": ["res_crew", "res_alloc"],
    "variation": ["cw_variation"],
    "VO": ["cw_variation"],
    "EOT": ["cw_variation.eot_d", "extension_of_time"],
    "permit": ["st_permit"],
    "TTRO": ["st_permit.permit_type"],
    "diary": ["st_diary"],
    "embargo": ["ref_cal_nonwork.nw_type"],
    "EFC": ["cw_scheme.efc_gbp", "cost_variance"],
    "WBS": ["wk_wbs"],
}

TERMINOLOGY = {
    "TTRO": "Temporary traffic regulation order, legal order needed to close or restrict a road",
    "TM": "Traffic management (cones, lights, closures)",
    "embargo": "Period when no road works are allowed, e.g. over Christmas or during a local event",
    "EFC": "Estimated final cost",
    "EOT": "Extension of time",
    "VO": "Variation order",
    "AIP": "Approval in principle (structures design)",
    "SMA": "Stone mastic asphalt surface course",
    "DLO": "Direct labour organisation (the council's own crews)",
    "RSA": "Road safety audit (stages 1-3)",
    "data date": "Date up to which progress is recorded",
    "contract completion": "Date the contractor must finish by; float is measured to it",
    "FS": "Finish to start relationship",
    "SS": "Start to start relationship",
    "FF": "Finish to finish relationship, or free float",
    "TF": "Total float",
}

RELATED_TERMS = {
    "wk_task": "task, activity, programme line",
    "cw_scheme": "scheme, project, job",
    "wk_wbs": "WBS, work package, section, phase",
    "res_crew": "crew, gang, team, labour",
    "res_alloc": "allocation, crew booking, hours, labour cost",
    "rk_risk": "risk, risk register",
    "cw_variation": "variation, VO, change, compensation, change order",
    "st_permit": "permit, TTRO, road closure, consent, licence",
    "st_diary": "site diary, daily report, diary entry",
    "wk_link": "link, dependency, relationship, logic",
    "ref_calendar": "calendar, shift pattern",
    "ref_cal_nonwork": "holiday, non-working day, embargo",
    "cw_contract": "contract, framework, contractor",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout12"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="wk_task")


if __name__ == "__main__":
    sys.exit(main())
