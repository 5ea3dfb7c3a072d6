#!/usr/bin/env python3
"""Build the eighteenth schedule database (a housing association's new-homes programme, named like a
reporting data warehouse star schema) and its metadata.

Ashgrove Community Housing builds six developments for affordable rent, social rent and shared ownership:
Millbrook Meadows (ten houses, complete), Kestrel Rise (eight houses and a block of flats), Orchard Yard
(two blocks of flats and four houses on a brownfield site), Tanners Lane Wharf (three blocks of flats),
Beacon Fields (twelve houses) and St Giles Close (six bungalows). Each development is a project of its own:
planning consent, discharge of conditions and trade package award, start on site, enabling works, estate
road and sewers, then plot by plot groundworks, foundations, superstructure, roof, windows (watertight),
first fix, plastering, second fix, decoration, external works, snagging and handover, and finally the
road's wearing course and practical completion. Orchard Yard was re-baselined after contaminated ground
was found in the enabling works; Tanners Lane Wharf after its roof truss supplier went into
administration.

Named like a reporting data warehouse: dimension tables dim_* (dim_development, dim_plot, dim_trade,
dim_subcontractor, dim_calendar, dim_calendar_exception, dim_wbs, dim_baseline) and fact tables fact_*
(fact_activity, fact_activity_link, fact_baseline_activity, fact_assignment, fact_progress_snapshot,
fact_snag, fact_variation, fact_calloff, fact_risk, fact_weather_downtime). Surrogate keys are <name>_sk,
business keys end in _bk or _code, dates end in _dt, flags end in _flag and hold 'Y' / 'N'. Link types,
call-off statuses, snag priorities, delay reasons, weather causes and calendar exception types are short
codes; activity status, activity type, plot status, build stage, RAG, tenure, snag status, variation
and risk statuses are words.

Durations, remaining durations and float are in WORKING DAYS of the activity's calendar; lags are calendar
days. Site calendars stop for English bank holidays, the Christmas shutdown and one safety stand-down day.
Each development is scheduled by one forward and backward pass against its contract practical completion
date. Data date 2025-11-21.

Outputs go to bench/out/holdout18/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 181818
DATA_DATE = dt.date(2025, 11, 21)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import WorkDays, activity_at, anchored_baselines, assignment_hours, baseline_activities, check_with_history, default_out, forward_backward, gather_plans, describe_tables, main as build_main, metadata_document, day_span as _span, insert_calendars, iso, logic_links, shown_dates, wbs_rows  # noqa: E402
DB_NAME = "holdout18_schedule.db"
META_NAME = "holdout18_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE dim_development (
    development_sk INTEGER PRIMARY KEY, development_code TEXT NOT NULL UNIQUE, development_name TEXT NOT NULL,
    town TEXT NOT NULL, local_authority TEXT NOT NULL, site_manager TEXT NOT NULL, project_manager TEXT NOT NULL,
    funding_programme TEXT NOT NULL, homes_count INTEGER NOT NULL, scheme_budget_gbp REAL NOT NULL,
    forecast_cost_gbp REAL NOT NULL, grant_funding_gbp REAL NOT NULL, planning_consent_dt TEXT NOT NULL,
    start_on_site_dt TEXT NOT NULL, contract_pc_dt TEXT NOT NULL, forecast_pc_dt TEXT NOT NULL, actual_pc_dt TEXT,
    build_stage TEXT NOT NULL, rag_status TEXT NOT NULL
);
CREATE TABLE dim_plot (
    plot_sk INTEGER PRIMARY KEY, development_sk INTEGER NOT NULL REFERENCES dim_development(development_sk),
    plot_bk TEXT NOT NULL UNIQUE, plot_number INTEGER NOT NULL, plot_name TEXT NOT NULL, plot_type TEXT NOT NULL,
    house_type TEXT NOT NULL, units_count INTEGER NOT NULL, bedrooms INTEGER, tenure TEXT NOT NULL,
    gross_internal_area_m2 REAL NOT NULL, build_sequence INTEGER NOT NULL, plot_status TEXT NOT NULL,
    planned_handover_dt TEXT, forecast_handover_dt TEXT NOT NULL, actual_handover_dt TEXT
);
CREATE TABLE dim_trade (
    trade_sk INTEGER PRIMARY KEY, trade_code TEXT NOT NULL UNIQUE, trade_name TEXT NOT NULL,
    trade_group TEXT NOT NULL
);
CREATE TABLE dim_subcontractor (
    subcontractor_sk INTEGER PRIMARY KEY, subcontractor_bk TEXT NOT NULL UNIQUE, subcontractor_name TEXT NOT NULL,
    trade_sk INTEGER NOT NULL REFERENCES dim_trade(trade_sk), contact_name TEXT NOT NULL, gang_size INTEGER NOT NULL,
    day_rate_gbp REAL NOT NULL, approved_flag TEXT NOT NULL, base_town TEXT NOT NULL
);
CREATE TABLE dim_calendar (
    calendar_sk INTEGER PRIMARY KEY, calendar_code TEXT NOT NULL UNIQUE, calendar_name TEXT NOT NULL,
    work_week TEXT NOT NULL, hours_per_day REAL NOT NULL, notes TEXT
);
CREATE TABLE dim_calendar_exception (
    calendar_exception_sk INTEGER PRIMARY KEY, calendar_sk INTEGER NOT NULL REFERENCES dim_calendar(calendar_sk),
    exception_dt TEXT NOT NULL, exception_type_code TEXT NOT NULL, reason TEXT NOT NULL
);
CREATE TABLE dim_wbs (
    wbs_sk INTEGER PRIMARY KEY, development_sk INTEGER NOT NULL REFERENCES dim_development(development_sk),
    parent_wbs_sk INTEGER REFERENCES dim_wbs(wbs_sk), wbs_code TEXT NOT NULL, wbs_name TEXT NOT NULL,
    wbs_level INTEGER NOT NULL
);
CREATE TABLE dim_baseline (
    baseline_sk INTEGER PRIMARY KEY, development_sk INTEGER NOT NULL REFERENCES dim_development(development_sk),
    baseline_number INTEGER NOT NULL, baseline_name TEXT NOT NULL, set_dt TEXT NOT NULL, approved_by TEXT NOT NULL,
    current_flag TEXT NOT NULL
);
CREATE TABLE fact_activity (
    activity_sk INTEGER PRIMARY KEY, development_sk INTEGER NOT NULL REFERENCES dim_development(development_sk),
    plot_sk INTEGER REFERENCES dim_plot(plot_sk), wbs_sk INTEGER NOT NULL REFERENCES dim_wbs(wbs_sk),
    calendar_sk INTEGER NOT NULL REFERENCES dim_calendar(calendar_sk),
    lead_trade_sk INTEGER REFERENCES dim_trade(trade_sk),
    activity_code TEXT NOT NULL UNIQUE, activity_name TEXT NOT NULL, activity_type TEXT NOT NULL,
    original_duration_days REAL NOT NULL, remaining_duration_days REAL NOT NULL, bl_start_dt TEXT, bl_finish_dt TEXT,
    early_start_dt TEXT NOT NULL, early_finish_dt TEXT NOT NULL, late_start_dt TEXT, late_finish_dt TEXT,
    actual_start_dt TEXT, actual_finish_dt TEXT, total_float_days REAL, free_float_days REAL,
    critical_flag TEXT NOT NULL, pct_complete REAL NOT NULL, activity_status TEXT NOT NULL
);
CREATE TABLE fact_activity_link (
    activity_link_sk INTEGER PRIMARY KEY, pred_activity_sk INTEGER NOT NULL REFERENCES fact_activity(activity_sk),
    succ_activity_sk INTEGER NOT NULL REFERENCES fact_activity(activity_sk), link_type_code TEXT NOT NULL,
    lag_days REAL NOT NULL
);
CREATE TABLE fact_baseline_activity (
    baseline_activity_sk INTEGER PRIMARY KEY, baseline_sk INTEGER NOT NULL REFERENCES dim_baseline(baseline_sk),
    activity_sk INTEGER NOT NULL REFERENCES fact_activity(activity_sk), bl_start_dt TEXT NOT NULL,
    bl_finish_dt TEXT NOT NULL, bl_duration_days REAL NOT NULL, bl_total_float_days REAL
);
CREATE TABLE fact_assignment (
    assignment_sk INTEGER PRIMARY KEY, activity_sk INTEGER NOT NULL REFERENCES fact_activity(activity_sk),
    subcontractor_sk INTEGER NOT NULL REFERENCES dim_subcontractor(subcontractor_sk),
    trade_sk INTEGER NOT NULL REFERENCES dim_trade(trade_sk), planned_hours REAL NOT NULL, actual_hours REAL NOT NULL,
    remaining_hours REAL NOT NULL, planned_cost_gbp REAL NOT NULL, actual_cost_gbp REAL NOT NULL
);
CREATE TABLE fact_progress_snapshot (
    progress_snapshot_sk INTEGER PRIMARY KEY, snapshot_dt TEXT NOT NULL,
    activity_sk INTEGER NOT NULL REFERENCES fact_activity(activity_sk),
    development_sk INTEGER NOT NULL REFERENCES dim_development(development_sk),
    plot_sk INTEGER REFERENCES dim_plot(plot_sk),
    pct_complete REAL NOT NULL, remaining_duration_days REAL NOT NULL, forecast_finish_dt TEXT NOT NULL,
    operatives_count INTEGER NOT NULL, hours_worked REAL NOT NULL, hours_lost REAL NOT NULL, delay_reason_code TEXT,
    site_comment TEXT NOT NULL
);
CREATE TABLE fact_snag (
    snag_sk INTEGER PRIMARY KEY, development_sk INTEGER NOT NULL REFERENCES dim_development(development_sk),
    plot_sk INTEGER NOT NULL REFERENCES dim_plot(plot_sk),
    activity_sk INTEGER NOT NULL REFERENCES fact_activity(activity_sk),
    trade_sk INTEGER NOT NULL REFERENCES dim_trade(trade_sk),
    subcontractor_sk INTEGER NOT NULL REFERENCES dim_subcontractor(subcontractor_sk), snag_code TEXT NOT NULL UNIQUE,
    inspection_dt TEXT NOT NULL, inspecting_body TEXT NOT NULL, inspector_name TEXT NOT NULL,
    inspection_stage TEXT NOT NULL, snag_description TEXT NOT NULL, priority_code TEXT NOT NULL,
    target_clear_dt TEXT NOT NULL, cleared_dt TEXT, snag_status TEXT NOT NULL, reinspection_flag TEXT NOT NULL
);
CREATE TABLE fact_variation (
    variation_sk INTEGER PRIMARY KEY, development_sk INTEGER NOT NULL REFERENCES dim_development(development_sk),
    plot_sk INTEGER REFERENCES dim_plot(plot_sk), variation_code TEXT NOT NULL UNIQUE, variation_title TEXT NOT NULL,
    variation_type TEXT NOT NULL, raised_by TEXT NOT NULL, cost_impact_gbp REAL NOT NULL,
    time_impact_days REAL NOT NULL,
    variation_status TEXT NOT NULL, raised_dt TEXT NOT NULL, decision_dt TEXT
);
CREATE TABLE fact_calloff (
    calloff_sk INTEGER PRIMARY KEY, development_sk INTEGER NOT NULL REFERENCES dim_development(development_sk),
    plot_sk INTEGER NOT NULL REFERENCES dim_plot(plot_sk),
    activity_sk INTEGER NOT NULL REFERENCES fact_activity(activity_sk),
    calloff_code TEXT NOT NULL UNIQUE, material_code TEXT NOT NULL, material_desc TEXT NOT NULL,
    supplier_name TEXT NOT NULL, qty_called REAL NOT NULL, qty_delivered REAL NOT NULL, uom_code TEXT NOT NULL,
    calloff_dt TEXT NOT NULL, required_dt TEXT NOT NULL, promised_dt TEXT NOT NULL, delivered_dt TEXT,
    calloff_status_code TEXT NOT NULL
);
CREATE TABLE fact_risk (
    risk_sk INTEGER PRIMARY KEY, development_sk INTEGER NOT NULL REFERENCES dim_development(development_sk),
    activity_sk INTEGER REFERENCES fact_activity(activity_sk), risk_code TEXT NOT NULL UNIQUE, risk_title TEXT NOT NULL,
    risk_category TEXT NOT NULL, probability_score INTEGER NOT NULL, impact_score INTEGER NOT NULL,
    risk_score INTEGER NOT NULL, cost_exposure_gbp REAL NOT NULL, schedule_exposure_days REAL NOT NULL,
    risk_owner TEXT NOT NULL, mitigation TEXT NOT NULL, risk_status TEXT NOT NULL, raised_dt TEXT NOT NULL,
    next_review_dt TEXT NOT NULL
);
CREATE TABLE fact_weather_downtime (
    weather_downtime_sk INTEGER PRIMARY KEY, development_sk INTEGER NOT NULL REFERENCES dim_development(development_sk),
    downtime_dt TEXT NOT NULL, cause_code TEXT NOT NULL, hours_lost REAL NOT NULL, rainfall_mm REAL NOT NULL,
    max_gust_mph INTEGER NOT NULL, min_temp_c REAL NOT NULL, trades_affected TEXT NOT NULL,
    site_closed_flag TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

BANK_HOLIDAYS = {
    "2023-01-02": "New Year's Day (substitute)", "2023-04-07": "Good Friday", "2023-04-10": "Easter Monday",
    "2023-05-01": "Early May bank holiday", "2023-05-08": "Coronation bank holiday",
    "2023-05-29": "Spring bank holiday", "2023-08-28": "Summer bank holiday", "2023-12-25": "Christmas Day",
    "2023-12-26": "Boxing Day",
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
CAL_FROM, CAL_TO = dt.date(2023, 1, 1), dt.date(2027, 12, 31)
SHUTDOWN = (_span("2023-12-22", "2024-01-02") + _span("2024-12-23", "2025-01-03") + _span("2025-12-22", "2026-01-02")
            + _span("2026-12-21", "2027-01-04") + _span("2027-12-20", "2027-12-31"))
STAND_DOWN = {"2025-06-13": "Site safety stand-down day (all sites closed for the health and safety briefing)"}

CALENDARS = [
    # sk, code, name, work days (0 = Mon), week, hours a day, notes, kind
    (1, "OFFICE-5D", "Development office Mon-Fri 7.5h", {0, 1, 2, 3, 4}, "Mon-Fri", 7.5,
     "Planning, conditions, tendering and approvals; bank holidays and the Christmas closure", "office"),
    (2, "SITE-5D", "Site Mon-Fri 8h", {0, 1, 2, 3, 4}, "Mon-Fri", 8.0,
     "Standard site working; bank holidays, the Christmas shutdown and the June 2025 safety stand-down", "site"),
    (3, "SITE-6D", "Site Mon-Sat 8h (Tanners Lane flats)", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 8.0,
     "Saturday working agreed for the Tanners Lane Wharf blocks; same closures as SITE-5D", "site"),
    (4, "ELAPSED-7D", "7-day elapsed", set(range(7)), "Mon-Sun", 24.0,
     "Supplier lead times and re-procurement", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_sk, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.off = {}
        if kind == "elapsed":
            return
        for iso_d, name in BANK_HOLIDAYS.items():
            self.off[dt.date.fromisoformat(iso_d)] = ("BH", f"Bank holiday - {name}")
        for d in SHUTDOWN:
            self.off.setdefault(d, ("XMAS", "Christmas and New Year shutdown"))
        if kind == "site":
            for iso_d, name in STAND_DOWN.items():
                self.off[dt.date.fromisoformat(iso_d)] = ("HS", name)


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFFICE, SITE5, SITE6, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

DIRECTOR = "Marcus Ibbotson"
PLANNER = "Tomasz Wrobel"
COMMERCIAL = "Rachel Denholm"
CLERK = "Brian Stansfield"
WARRANTY = "Sentinel Home Warranty"
WARRANTY_INSPECTOR = "Hannah Lowe"
BC_INSPECTOR = "Ravi Mistry"

TRADES = [
    # code, name, group
    ("GRD", "Groundworks", "Groundworks"), ("BRK", "Bricklaying", "Structure"), ("ROOF", "Roofing", "Envelope"),
    ("WIN", "Window installation", "Envelope"), ("CARP", "Carpentry and joinery", "Fit-out"),
    ("ELEC", "Electrical", "M&E"), ("PLMB", "Plumbing and heating", "M&E"), ("DRYL", "Drylining and plastering",
                                                                               "Fit-out"),
    ("KIT", "Kitchen fitting", "Fit-out"), ("DECO", "Painting and decorating", "Finishes"),
    ("EXT", "External works and landscaping", "External"), ("DIR", "Direct works (in-house)", "In-house"),
]

SUBCONTRACTORS = [
    # bk, name, trade, contact, gang size, day rate per head GBP, approved, base town
    ("SC-001", "Pennine Civils Ltd", "GRD", "Darren Holt", 6, 230.0, "Y", "Kirkmoor"),
    ("SC-002", "Aire Valley Groundworks", "GRD", "Mick Fenton", 5, 220.0, "Y", "Brackenford"),
    ("SC-003", "Harrowby Brickwork Ltd", "BRK", "Lee Harrowby", 6, 260.0, "Y", "Thornley"),
    ("SC-004", "Stonegate Brickwork", "BRK", "Paul Sutcliffe", 4, 250.0, "N", "Castleholm"),
    ("SC-005", "Summit Roofing Ltd", "ROOF", "Craig Dunn", 4, 240.0, "Y", "Kirkmoor"),
    ("SC-006", "Clearview Windows Ltd", "WIN", "Anita Baines", 2, 210.0, "Y", "Brackenford"),
    ("SC-007", "Brightwire Electrical Ltd", "ELEC", "Gareth Lloyd", 3, 275.0, "Y", "Thornley"),
    ("SC-008", "Calder Electrical Services", "ELEC", "Nadia Hussain", 2, 270.0, "Y", "Castleholm"),
    ("SC-009", "Northflow Plumbing & Heating", "PLMB", "Steve Marsh", 3, 265.0, "Y", "Kirkmoor"),
    ("SC-010", "Oakline Joinery", "CARP", "Tom Eccles", 3, 245.0, "Y", "Brackenford"),
    ("SC-011", "Drylinefix Interiors Ltd", "DRYL", "Ryan Walsh", 4, 235.0, "Y", "Thornley"),
    ("SC-012", "Fairbrush Decorators", "DECO", "Julie Crabtree", 3, 200.0, "Y", "Kirkmoor"),
    ("SC-013", "Hearthside Kitchens", "KIT", "Imran Shah", 2, 230.0, "Y", "Castleholm"),
    ("SC-014", "Greenway Landscapes", "EXT", "Phil Barraclough", 3, 190.0, "Y", "Brackenford"),
    ("SC-015", "Ashgrove Direct Works", "DIR", "Karen Whitley", 3, 210.0, "Y", "Kirkmoor"),
]


H2 = ("House", "2B4P semi-detached house", 1, 2, None, 79.0)
H3 = ("House", "3B5P semi-detached house", 1, 3, None, 93.0)
H4 = ("House", "4B6P detached house", 1, 4, None, 112.0)
BG = ("Bungalow", "2B3P bungalow", 1, 2, None, 70.0)


def flats(n, name):
    return ("Flat Block", f"{name} ({n} x 1B/2B flats)", n, None, None, round(n * 58.0, 0))


def plots(types, tenures):
    return [t[:4] + (ten,) + t[5:] for t, ten in zip(types, tenures)]


SR, AR, SO = "Social Rent", "Affordable Rent", "Shared Ownership"

DEVELOPMENTS = [
    # code, name, town, local authority, site manager, project manager, funding, calendar, consent date,
    # margin (working days), budget GBP m, grant GBP m, ground sub, brick sub, electrical sub, plots, re-baseline
    ("MBM", "Millbrook Meadows", "Thornley", "Kirkmoor Metropolitan Borough Council", "Gary Pritchard",
     "Alison Keighley", "Affordable Homes Programme 2021-26", SITE5, dt.date(2023, 9, 4), 20, 2.46, 0.62,
     "SC-001", "SC-003", "SC-007",
     plots([H2, H2, H3, H3, H2, H2, H3, H3, H4, H4], [SR, SR, AR, AR, SO, SO, AR, SR, SO, AR]), None),
    ("KSR", "Kestrel Rise", "Kirkmoor", "Kirkmoor Metropolitan Borough Council", "Sinead Mulvey", "Alison Keighley",
     "Affordable Homes Programme 2021-26", SITE5, dt.date(2024, 10, 7), 12, 3.92, 1.05, "SC-002", "SC-003", "SC-008",
     plots([H2, H2, H3, H3, H3, H3, H2, H2, flats(8, "Block A")], [AR, AR, SO, SO, AR, SR, SO, SO, SR]), None),
    ("OYD", "Orchard Yard", "Castleholm", "Castleholm District Council", "Owen Rhys", "Farhan Qureshi",
     "Brownfield Land Release Fund", SITE5, dt.date(2024, 9, 2), 0, 4.85, 1.38, "SC-001", "SC-004", "SC-007",
     plots([flats(12, "Block A"), flats(9, "Block B"), H3, H3, H2, H2], [AR, SR, SO, SO, AR, AR]),
     (dt.date(2025, 2, 17), "BL1 Re-plan after contaminated ground found in the enabling works")),
    ("TLW", "Tanners Lane Wharf", "Brackenford", "Brackenford City Council", "Kerry Ashworth", "Farhan Qureshi",
     "Affordable Homes Programme 2021-26", SITE6, dt.date(2025, 1, 13), 0, 6.10, 1.72, "SC-002", "SC-003", "SC-008",
     plots([flats(14, "Block A"), flats(10, "Block B"), flats(8, "Block C")], [AR, SR, SO]),
     (dt.date(2025, 8, 4), "BL1 Re-plan after the roof truss supplier went into administration")),
    ("BCF", "Beacon Fields", "Thornley", "Kirkmoor Metropolitan Borough Council", "Gary Pritchard", "Alison Keighley",
     "Affordable Homes Programme 2021-26", SITE5, dt.date(2025, 4, 7), 15, 3.55, 0.96, "SC-001", "SC-004", "SC-007",
     plots([H2, H2, H3, H3, H3, H3, H2, H2, H3, H3, H4, H4], [SR, SR, AR, AR, SO, SO, AR, AR, SR, SO, SO, AR]), None),
    ("SGC", "St Giles Close", "Castleholm", "Castleholm District Council", "Lewis Akroyd", "Farhan Qureshi",
     "Rural Exception Sites Programme", SITE5, dt.date(2025, 8, 4), 18, 1.58, 0.44, "SC-002", "SC-003", "SC-008",
     plots([BG] * 6, [SR, SR, AR, AR, SR, AR]), None),
]
COST_F = {"MBM": 0.99, "KSR": 1.03, "OYD": 1.12, "TLW": 1.09, "BCF": 1.01, "SGC": 1.0}

# slips (working days added to the duration) and the activities added after the baseline
SLIPS = {"MBM.P03.sup": 3, "MBM.P08.sf": 2, "KSR.P09.sup": 8, "KSR.P04.win": 4, "KSR.P09.ff": 5,
         "OYD.enb": 12, "OYD.P01.sup": 6, "TLW.P02.sup": 7, "TLW.tss": 21, "BCF.inf": 6, "BCF.P03.sup": 4,
         "SGC.dpc": 9, "KSR.utl": 20}

# ---------------------------------------------------------------------------------------------- plans


class Plan:
    def __init__(self, dev, dev_name, plot_list):
        self.dev = dev
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("PRE", "ROOT", "Pre-construction and approvals"),
                    ("INF", "ROOT", "Enabling works, infrastructure and utilities"), ("PLT", "ROOT", "Plots"),
                    ("CMP", "ROOT", "Completion")]
        for i, p in enumerate(plot_list, 1):
            self.wbs.append((f"P{i:02d}", "PLT", f"Plot {i} - {p[1]}"))

    def add(self, key, name, dur, wbs, preds=(), cal=OFFICE, kind=None, ms=None, plot=None, new=False):
        full = f"{self.dev}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs, preds=[f"{self.dev}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, plot=plot, new=new, dev=self.dev,
                               slip=SLIPS.get(full, 0)))
        return key


def make_plan(d, rng):
    code, name, cal, plot_list = d[0], d[1], d[7], d[15]
    p = Plan(code, name, plot_list)
    n = len(plot_list)
    big = n >= 9
    p.add("pcg", f"Planning consent granted - {name}", 0, "PRE", ms="S")
    p.add("dpc", "Discharge of pre-commencement planning conditions", 30, "PRE", ["pcg"])
    p.add("tnd", "Tender and award of trade packages", 25, "PRE", ["pcg:SS14"])
    p.add("sos", "Start on site", 0, "INF", ["dpc", "tnd"], cal=cal, ms="S")
    p.add("set", "Site set-up, hoarding and welfare", 5, "INF", ["sos"], cal=cal, kind="SET")
    p.add("enb", "Enabling works and site clearance", 15 if code in ("OYD", "TLW") else 10, "INF", ["set"],
          cal=cal, kind="ENB")
    inf_preds = ["enb"]
    if code == "OYD":
        p.add("rem", "Remediation of contaminated ground (hydrocarbon hotspot) and validation", 28, "INF", ["enb"],
              cal=cal, kind="ENB", new=True)
        inf_preds.append("rem")
    p.add("inf", "Estate road and sewers to base course", 30 if big else 22, "INF", inf_preds, cal=cal, kind="INF")
    p.add("utl", "Utility mains connections (water, electricity, gas)", 105, "INF", ["sos:FS14"])
    if code == "TLW":
        p.add("tss", "Re-procure roof trusses from alternative supplier", 42, "INF", ["P01.sup:SS30"], cal=ELP,
              new=True)
    for i, (ptype, _, units, _, _, _) in enumerate(plot_list, 1):
        P = f"P{i:02d}"
        fl = ptype == "Flat Block"
        bung = ptype == "Bungalow"
        u = units

        def dur(house, flat_base, per_unit):
            return round(flat_base + per_unit * u) if fl else house
        pr = f"Plot {i} - "
        p.add(f"{P}.grd", pr + "Plot groundworks and drainage", dur(5, 6, 0.5), P,
              ["inf:SS15"] + ([f"P{i - 1:02d}.grd"] if i > 1 else []), cal=cal, kind="GRD", plot=i)
        p.add(f"{P}.fnd", pr + "Foundations and ground-floor slab", dur(6, 8, 0.5), P, [f"{P}.grd"], cal=cal,
              kind="FND", plot=i)
        p.add(f"{P}.sup", pr + ("Frame and superstructure - timber frame and brick skin" if fl else
                                "Superstructure - brick and block to wall plate"),
              dur(11 if bung else 16, 25, 3.0), P, [f"{P}.fnd:FS7"] + ([f"P{i - 2:02d}.sup"] if i > 2 else []),
              cal=cal, kind="SUP", plot=i)
        p.add(f"{P}.rof", pr + "Roof - trusses, felt, battens and tiles", dur(6 if bung else 7, 10, 0.8), P,
              [f"{P}.sup"] + ([f"P{i - 1:02d}.rof"] if i > 1 else []) + (["tss"] if code == "TLW" else []),
              cal=cal, kind="ROF", plot=i)
        p.add(f"{P}.win", pr + "Windows and external doors", dur(3, 3, 0.4), P, [f"{P}.rof:SS3"], cal=cal,
              kind="WIN", plot=i)
        p.add(f"{P}.wtt", pr + "Watertight", 0, P, [f"{P}.rof", f"{P}.win"], cal=cal, ms="F", plot=i)
        p.add(f"{P}.ff", pr + "First fix - electrical, plumbing and carpentry", dur(8, 10, 2.0), P, [f"{P}.wtt"],
              cal=cal, kind="FF", plot=i)
        p.add(f"{P}.pls", pr + "Plastering and drylining", dur(7, 8, 1.6), P, [f"{P}.ff:FS2"], cal=cal, kind="PLS",
              plot=i)
        p.add(f"{P}.sf", pr + "Second fix - electrical, plumbing, joinery and kitchen", dur(9, 10, 2.0), P,
              [f"{P}.pls:FS7"], cal=cal, kind="SF", plot=i)
        p.add(f"{P}.dec", pr + "Decoration and floor finishes", dur(5, 6, 1.2), P, [f"{P}.sf"], cal=cal, kind="DEC",
              plot=i)
        p.add(f"{P}.ext", pr + "External works - paths, fencing and turf", dur(4, 6, 0.2), P, [f"{P}.sf:SS5"],
              cal=cal, kind="EXT", plot=i)
        p.add(f"{P}.sng", pr + "Snagging and builders clean", dur(3, 3, 0.4), P, [f"{P}.dec", f"{P}.ext"], cal=cal,
              kind="SNG", plot=i)
        p.add(f"{P}.hov", pr + "Plot handover", 0, P, [f"{P}.sng", "utl"], cal=cal, ms="F", plot=i)
    p.add("rdw", "Estate road wearing course and street lighting", 8, "CMP",
          [f"P{i:02d}.ext" for i in range(1, n + 1)], cal=cal, kind="RDW")
    p.add("pc", f"Practical completion - {name}", 0, "CMP", ["rdw"] + [f"P{i:02d}.hov" for i in range(1, n + 1)],
          cal=cal, ms="F")
    return p


def parse_pred(s):
    key, rest = (s.rsplit(":", 1) + [""])[:2] if ":" in s else (s, "")
    if not rest:
        return key, "FS", 0
    return key, rest[:2], int(rest[2:] or 0)


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its development's contract PC date."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "dev")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


LEAD_TRADE = {"SET": "DIR", "ENB": "GRD", "INF": "GRD", "GRD": "GRD", "FND": "GRD", "SUP": "BRK", "ROF": "ROOF",
              "WIN": "WIN", "FF": "ELEC", "PLS": "DRYL", "SF": "PLMB", "DEC": "DECO", "EXT": "EXT", "SNG": "DIR",
              "RDW": "GRD"}
# assignments: kind -> [(trade, share of the working day the gang spends)]
CREWS = {"SET": [("DIR", 1.0)], "ENB": [("GRD", 1.0)], "INF": [("GRD", 1.0)], "GRD": [("GRD", 1.0)],
         "FND": [("GRD", 1.0)], "SUP": [("BRK", 1.0)], "ROF": [("ROOF", 1.0)], "WIN": [("WIN", 1.0)],
         "FF": [("ELEC", 1.0), ("PLMB", 1.0), ("CARP", 0.5)], "PLS": [("DRYL", 1.0)],
         "SF": [("ELEC", 0.6), ("PLMB", 0.8), ("CARP", 0.6), ("KIT", 0.7)], "DEC": [("DECO", 1.0)],
         "EXT": [("EXT", 1.0)], "SNG": [("DIR", 1.0)], "RDW": [("GRD", 1.0)]}
OUTDOOR = {"ENB", "INF", "GRD", "FND", "SUP", "ROF", "WIN", "EXT", "RDW"}

RISKS = [
    # development, activity key, title, category, probability 1-5, impact 1-5, cost GBP, schedule days, owner,
    # mitigation, status, raised, next review
    ("MBM", "MBM.P03.sup", "Facing brick shortage from the manufacturer", "Supply chain", 3, 3, 18000.0, 8,
     "Gary Pritchard", "Agree alternative brick with the planners; call off early", "Realised", "2024-02-12",
     "2024-06-28"),
    ("MBM", None, "Adoption of the estate road delayed by highways authority", "Statutory", 2, 2, 6000.0, 0,
     "Alison Keighley", "Section 38 agreement signed before start on site", "Closed", "2023-10-02", "2025-02-14"),
    ("KSR", "KSR.P09.sup", "Timber frame for Block A delivered out of sequence", "Supply chain", 3, 4, 42000.0, 10,
     "Sinead Mulvey", "Frame supplier to deliver in erection order; storage area on site", "Realised", "2025-05-12",
     "2025-08-29"),
    ("KSR", "KSR.utl", "Electricity network operator late with the substation connection", "Utilities", 4, 4,
     35000.0, 20, "Alison Keighley", "Weekly escalation with the network operator; temporary supplies",
     "Realised", "2025-03-17", "2025-07-04"),
    ("KSR", "KSR.P09.sf", "Fire door sets for Block A delayed by the manufacturer", "Supply chain", 3, 4, 16000.0, 8,
     "Sinead Mulvey", "Order confirmed with a fixed delivery slot; alternative certified supplier priced", "Open",
     "2025-10-27", "2025-11-28"),
    ("KSR", "KSR.P04.win", "Window manufacturer lead times extended", "Supply chain", 3, 2, 9000.0, 4,
     "Sinead Mulvey", "Order windows at superstructure start", "Realised", "2025-03-10", "2025-07-25"),
    ("KSR", None, "Shared ownership sales slower than forecast", "Commercial", 3, 3, 60000.0, 0, COMMERCIAL,
     "Marketing launch at watertight; show home in plot 3", "Open", "2025-08-04", "2025-12-05"),
    ("OYD", "OYD.enb", "Contaminated ground found during site clearance", "Ground conditions", 3, 5, 185000.0, 40,
     "Farhan Qureshi", "Site investigation, remediation strategy agreed with the council", "Realised", "2024-11-18",
     "2025-11-28"),
    ("OYD", "OYD.P01.pls", "Block A fire compartmentation redesign at the stair core", "Design", 3, 3, 22000.0, 6,
     "Owen Rhys", "Fire engineer to approve the revised details before drylining", "Open", "2025-09-15",
     "2025-12-01"),
    ("OYD", None, "Neighbour party wall award dispute", "Legal", 2, 4, 30000.0, 12, "Farhan Qureshi",
     "Party wall surveyor appointed; schedule of condition", "Open", "2025-04-14", "2025-12-08"),
    ("OYD", "OYD.utl", "Gas main diversion needed in Orchard Street", "Utilities", 3, 4, 48000.0, 15, PLANNER,
     "Early enquiry with the gas network; all-electric option priced", "Realised", "2024-11-11", "2025-04-30"),
    ("TLW", "TLW.tss", "Roof truss supplier goes into administration", "Supply chain", 2, 5, 96000.0, 35,
     "Farhan Qureshi", "Re-procure from alternative supplier with a parent company guarantee", "Realised",
     "2025-06-16", "2025-11-26"),
    ("TLW", "TLW.P02.sup", "Brick skin labour shortage over summer", "Resource", 4, 3, 28000.0, 7, "Kerry Ashworth",
     "Second brick gang on Saturdays", "Realised", "2025-05-12", "2025-10-31"),
    ("TLW", None, "Riverside flood risk condition on ground-floor levels", "Statutory", 2, 4, 40000.0, 10,
     "Farhan Qureshi", "Finished floor levels checked at slab", "Closed", "2024-10-07", "2025-03-28"),
    ("TLW", "TLW.P01.ff", "Block A riser clashes between the M&E services", "Design", 3, 3, 15000.0, 8,
     "Kerry Ashworth", "Coordinated riser drawings signed off by both trades", "Open", "2025-10-13", "2025-11-28"),
    ("BCF", "BCF.inf", "Unexpected rock in the sewer trench", "Ground conditions", 3, 3, 38000.0, 6,
     "Gary Pritchard", "Hydraulic breaker on standby", "Realised", "2025-05-27", "2025-09-12"),
    ("BCF", "BCF.P11.sup", "Bricklayer gang pulled to another contractor's site", "Resource", 3, 3, 12000.0, 4,
     "Gary Pritchard", "Second brick gang from Stonegate's framework", "Open", "2025-11-03", "2025-12-05"),
    ("BCF", None, "Ecology condition - bat survey before hedge removal", "Statutory", 2, 3, 5000.0, 5,
     "Alison Keighley", "Survey in the active season", "Closed", "2025-02-03", "2025-06-30"),
    ("SGC", "SGC.dpc", "Drainage condition discharge delayed by the council", "Statutory", 4, 3, 8000.0, 9,
     "Farhan Qureshi", "Pre-application meeting with the drainage officer", "Realised", "2025-08-18", "2025-10-03"),
    ("SGC", None, "Parish council objections to the access road", "Stakeholder", 2, 3, 10000.0, 6, DIRECTOR,
     "Community drop-in event and access redesign", "Open", "2025-08-18", "2025-12-10"),
    ("SGC", "SGC.P01.sup", "Frost stops bricklaying on the first bungalows", "Weather", 4, 3, 20000.0, 10,
     "Lewis Akroyd", "Frost protection blankets; brick gang to start before Christmas", "Open", "2025-10-20",
     "2025-12-01"),
]

VARIATIONS = [
    # development, plot number or None, title, type, raised by, cost GBP, time days, status, raised, decision
    ("MBM", None, "Additional street tree planting required by the planning officer", "Statutory", "Alison Keighley",
     7400.0, 0, "Approved", "2024-02-05", "2024-02-26"),
    ("MBM", 9, "Level access shower to plot 9 for an adapted home", "Client", "Alison Keighley", 6200.0, 3,
     "Approved", "2024-04-15", "2024-05-02"),
    ("MBM", None, "Upgrade kitchens to the 2024 standard kitchen range", "Client", COMMERCIAL, 11800.0, 0,
     "Rejected", "2024-05-13", "2024-06-03"),
    ("KSR", 9, "Sprinkler system to Block A", "Statutory", "Alison Keighley", 38500.0, 8, "Approved", "2024-08-19",
     "2024-09-16"),
    ("KSR", None, "Electric vehicle charging points to all houses", "Client", DIRECTOR, 14400.0, 2, "Approved",
     "2025-01-20", "2025-02-10"),
    ("KSR", 9, "Show flat fit-out in Block A", "Client", COMMERCIAL, 9800.0, 0, "Priced", "2025-09-15", None),
    ("KSR", None, "Temporary builders' supply while the substation was awaited", "Site Condition", "Sinead Mulvey",
     6700.0, 0, "Approved", "2025-04-14", "2025-04-25"),
    ("KSR", 9, "Additional fire stopping survey to Block A", "Statutory", "Sinead Mulvey", 4300.0, 2, "Raised",
     "2025-11-10", None),
    ("OYD", None, "Removal and disposal of contaminated soil", "Site Condition", "Farhan Qureshi", 142000.0, 28,
     "Approved", "2024-11-25", "2024-12-16"),
    ("OYD", None, "Gas membrane to Block A and Block B slabs", "Site Condition", "Owen Rhys", 26500.0, 4,
     "Approved", "2025-01-13", "2025-01-31"),
    ("OYD", 1, "Juliet balconies in place of windows to Block A top floor", "Design", "Farhan Qureshi", 18200.0, 3,
     "Priced", "2025-10-06", None),
    ("OYD", None, "Air source heat pumps in place of gas boilers", "Client", DIRECTOR, 64000.0, 6, "Raised",
     "2025-11-03", None),
    ("TLW", None, "Alternative truss supplier premium", "Programme", COMMERCIAL, 31000.0, 21, "Approved",
     "2025-06-23", "2025-07-04"),
    ("TLW", 1, "Riverside balustrade glazing upgrade to Block A", "Design", "Kerry Ashworth", 22600.0, 2, "Rejected",
     "2025-07-14", "2025-08-04"),
    ("TLW", None, "Saturday working premium for the blocks", "Programme", "Farhan Qureshi", 17500.0, -10,
     "Approved", "2025-03-03", "2025-03-14"),
    ("TLW", 3, "Cycle store to Block C", "Statutory", "Kerry Ashworth", 8900.0, 1, "Priced", "2025-10-27", None),
    ("BCF", None, "Rock breaking in sewer trench", "Site Condition", "Gary Pritchard", 21400.0, 6, "Approved",
     "2025-07-07", "2025-07-18"),
    ("BCF", 11, "Downstairs WC to plot 11 and 12 house type", "Design", "Alison Keighley", 7600.0, 0, "Withdrawn",
     "2025-07-21", None),
    ("BCF", None, "Additional visitor parking bays", "Client", "Alison Keighley", 12300.0, 2, "Raised",
     "2025-11-17", None),
    ("SGC", None, "Widened access road following parish consultation", "Design", "Farhan Qureshi", 19800.0, 5,
     "Priced", "2025-09-29", None),
]

MATERIALS = [
    # activity kind, code, description, uom, quantity a house, a flat, supplier, lead days
    ("sup", "BRK-FACE", "Facing bricks (Ashgrove Red Multi)", "NR", 7800, 5200, "Hanbury Brick Co", 21),
    ("rof", "TRS-ROOF", "Roof trusses (plot set)", "SET", 1, 0, "Northern Truss Systems", 28),
    ("win", "WIN-UPVC", "uPVC windows and external doors (plot set)", "SET", 1, 0, "Clearview Windows Ltd", 35),
    ("pls", "PLB-BRD", "Plasterboard and skim materials", "M2", 290, 210, "Castleford Builders Merchants", 7),
    ("sf", "KIT-UNIT", "Kitchen units and worktops", "EA", 1, 1, "Hearthside Kitchens", 28),
]
LATE_MAT = {("KSR", "WIN-UPVC"): 9, ("MBM", "BRK-FACE"): 6, ("OYD", "KIT-UNIT"): 5, ("BCF", "BRK-FACE"): 4}
SHORT_MAT = {("OYD", "KIT-UNIT"): 0.75}  # share of a call-off delivered
DELAYS = [("MAT", "Waiting for materials"), ("LAB", "Short of labour - gang on another site"),
          ("DES", "Design query with the architect"), ("ACC", "Scaffold or access not ready"),
          ("QA", "Rework after inspection")]

SNAGS = {
    "BRK": ["Mortar smudging on facing brickwork", "Missing weep vents above window head",
            "Cracked brick to rear elevation", "Cavity tray not visible at lintel"],
    "ROOF": ["Slipped tile at eaves", "Ridge tile mortar missing", "Dry verge clip missing"],
    "WIN": ["Window restrictor missing", "Sealant gap at window frame", "Scratched glazing to front door"],
    "ELEC": ["Socket outlet loose", "Missing circuit labels at consumer unit", "Smoke alarm not interlinked",
             "Back box not fixed"],
    "PLMB": ["Weeping joint under kitchen sink", "Radiator valve cap missing", "Waste pipe not clipped",
             "Pressure test certificate missing"],
    "CARP": ["Door binding on frame", "Skirting gap at corner", "Stair balustrade loose", "Noggin missing for boiler"],
    "DRYL": ["Nail pops in ceiling board", "Cracked plaster at window reveal",
             "Fire stopping incomplete at service penetration"],
    "KIT": ["Kitchen door misaligned", "Worktop joint open", "Plinth missing"],
    "DECO": ["Paint runs on door", "Missed patch on ceiling", "Sealant missing at skirting"],
    "GRD": ["Inspection chamber cover not level", "DPC bridged by backfill", "Trench depth not as drawing"],
    "EXT": ["Fence panel damaged", "Turf not laid to rear garden", "Path falls towards house"],
}
# inspection after the activity of that kind: (body, inspector, stage, trades the findings fall to, fewest, most)
INSPECTIONS = {
    "FND": [(WARRANTY, WARRANTY_INSPECTOR, "Foundations", ["GRD"], 0, 2)],
    "ROF": [(WARRANTY, WARRANTY_INSPECTOR, "Superstructure and roof", ["BRK", "ROOF"], 0, 3)],
    "FF": [(WARRANTY, WARRANTY_INSPECTOR, "Pre-plaster", ["ELEC", "PLMB", "CARP"], 1, 4),
           ("Building Control", BC_INSPECTOR, "Pre-plaster", ["DRYL", "CARP"], 0, 2)],
    "DEC": [("Clerk of Works", CLERK, "Pre-handover", ["DECO", "CARP", "ELEC", "PLMB", "KIT", "DRYL", "WIN"], 2, 8)],
    "SNG": [("Building Control", BC_INSPECTOR, "Completion", ["DRYL", "ELEC"], 0, 2),
            (WARRANTY, WARRANTY_INSPECTOR, "Pre-handover", ["EXT", "BRK", "ROOF", "PLMB"], 0, 3)],
}


def weather_of(rng, d):
    """(rain mm, gust mph, minimum temperature C) of a day from a seeded seasonal model."""
    m = d.month
    wet = m in (10, 11, 12, 1, 2, 3)
    rain = max(0.0, round(rng.gauss(4.5 if wet else 2.5, 5.5), 1))
    gust = max(8, int(round(rng.gauss(27 if wet else 20, 9))))
    if rng.random() < 0.03:
        gust += rng.randint(15, 25)
    base_t = {1: 1.0, 2: 1.5, 3: 3.0, 4: 5.0, 5: 8.0, 6: 11.0, 7: 13.0, 8: 12.5, 9: 10.0, 10: 7.0, 11: 3.5,
              12: 1.5}[m]
    temp = round(rng.gauss(base_t, 3.2), 1)
    return rain, gust, temp


def weekday(d, step):
    """The date itself on a weekday, else the nearest weekday before (step -1) or after (step 1)."""
    while d.weekday() >= 5:
        d += dt.timedelta(days=step)
    return d


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "dim_calendar", "dim_calendar_exception", CAL_FROM, CAL_TO)
    cal_sks = {row[1]: row[0] for row in CALENDARS}
    trade_sks = {}
    for i, t in enumerate(TRADES, 1):
        con.execute("INSERT INTO dim_trade VALUES (?,?,?,?)", (i,) + t)
        trade_sks[t[0]] = i
    sub_sks, sub_row = {}, {}
    for i, s in enumerate(SUBCONTRACTORS, 1):
        con.execute("INSERT INTO dim_subcontractor VALUES (?,?,?,?,?,?,?,?,?)",
                    (i, s[0], s[1], trade_sks[s[2]], s[3], s[4], s[5], s[6], s[7]))
        sub_sks[s[0]], sub_row[s[0]] = i, s

    plans, tasks, keys = gather_plans(DEVELOPMENTS, lambda g: make_plan(g, rng), lambda g: g[8])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['dev']}.pc")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(d[0], f"{d[0]}.pc", d[9], d[16]) for d in DEVELOPMENTS], dt.date(2031, 1, 1),
        CALS[SITE5])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    # further slip after the re-plan on the re-baselined developments, so that they still run late
    cdurs["OYD.P01.ff"] += 6
    cdurs["TLW.P01.rof"] += 5
    sb, fb, lsb, lfb, free = cpm(tasks, keys, cdurs, links, anchors)

    ids = dict(wbs=0, act=0, lnk=0, bl=0, bla=0, asg=0, plot=0, snag=0, co=0, snap=0, wx=0)
    act_sks, astat, plot_sks, dev_sks, states = {}, {}, {}, {}, {}

    def sh(k):
        return shown(tasks[k], sb[k], fb[k], cdurs[k])

    for d_idx, d in enumerate(DEVELOPMENTS, 1):
        code, name, town, la, sm, pm, fund, cal_code, consent, _, budget, grant = d[:12]
        plot_list, rebase = d[15], d[16]
        dev_sks[code] = d_idx
        plan = plans[code]
        akeys = [t["key"] for t in plan.tasks]
        pc_shown = sh(f"{code}.pc")[1]
        done = pc_shown <= DATA_DATE
        sos_shown = sh(f"{code}.sos")[0]

        def started(key):
            return sb[f"{code}.{key}"] <= DATA_DATE and sh(f"{code}.{key}")[0] <= DATA_DATE

        def finished(key):
            return sh(f"{code}.{key}")[1] <= DATA_DATE
        n = len(plot_list)
        if done:
            stage = "Complete"
        elif any(finished(f"P{i:02d}.hov") for i in range(1, n + 1)):
            stage = "Handovers"
        elif any(started(f"P{i:02d}.ff") for i in range(1, n + 1)):
            stage = "Fit-out"
        elif any(started(f"P{i:02d}.sup") for i in range(1, n + 1)):
            stage = "Superstructure"
        elif sos_shown <= DATA_DATE:
            stage = "Groundworks"
        else:
            stage = "Pre-construction"
        slack = CALS[SITE5].wd(fb[f"{code}.pc"], anchors[code])
        rag = "Green" if done or slack > 10 else ("Amber" if slack >= 0 else "Red")
        bud = budget * 1e6
        homes = sum(p[2] for p in plot_list)
        con.execute("INSERT INTO dim_development VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (d_idx, code, name, town, la, sm, pm, fund, homes, bud, round(bud * COST_F[code], -3),
                     grant * 1e6, iso(consent), iso(sos_shown), iso(tgt[code]), iso(pc_shown),
                     iso(pc_shown) if done else None, stage, rag))
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        for i, (ptype, htype, units, beds, tenure, area) in enumerate(plot_list, 1):
            P = f"P{i:02d}"
            ids["plot"] += 1
            plot_sks[(code, i)] = ids["plot"]
            if finished(f"{P}.hov"):
                st = "Handed Over"
            elif started(f"{P}.sng"):
                st = "Snagging"
            elif started(f"{P}.sf"):
                st = "Second Fix"
            elif started(f"{P}.pls"):
                st = "Plastering"
            elif started(f"{P}.ff"):
                st = "First Fix"
            elif finished(f"{P}.wtt"):
                st = "Watertight"
            elif started(f"{P}.rof"):
                st = "Roofing"
            elif started(f"{P}.sup"):
                st = "Superstructure"
            elif started(f"{P}.grd"):
                st = "Groundworks"
            else:
                st = "Not Started"
            hk = f"{code}.{P}.hov"
            planned = shown(tasks[hk], bl_src[0][hk], bl_src[1][hk], 0)[1]
            fh = sh(hk)[1]
            pname = f"Plot {i}" + (f" - {htype.split(' (')[0]}" if ptype == "Flat Block" else "")
            con.execute("INSERT INTO dim_plot VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["plot"], d_idx, f"{code}-P{i:02d}", i, pname, ptype, htype, units, beds, tenure, area,
                         i, st, iso(planned), iso(fh), iso(fh) if st == "Handed Over" else None))
        wbs_sks = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, f"{code} {name}"):
            ids["wbs"] += 1
            wbs_sks[wk] = ids["wbs"]
            con.execute("INSERT INTO dim_wbs VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], d_idx, wbs_sks[parent] if parent else None, cd, wname, lvl))
        for n_, k in enumerate(akeys, 1):
            t = tasks[k]
            ids["act"] += 1
            act_sks[k] = ids["act"]
            a = activity_at(DATA_DATE, tasks, k, cdurs, (sb, fb, lsb, lfb, free), bl_src, bl_d, CALS, rng)
            st = {"done": "Complete", "started": "In Progress", "not": "Not Started"}[a.state]
            astat[k], states[k] = st, a.state
            typ = {"task": "Task", "start": "Start Milestone", "finish": "Finish Milestone"}[a.kind]
            lead = LEAD_TRADE.get(t["kind"])
            con.execute("INSERT INTO fact_activity VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], d_idx, plot_sks[(code, t["plot"])] if t["plot"] else None, wbs_sks[t["wbs"]],
                         cal_sks[t["cal"]], trade_sks[lead] if lead else None, f"{code}-{n_ * 10:04d}", t["name"],
                         typ, float(cdurs[k]), a.remaining, iso(a.bl_start), iso(a.bl_finish), iso(a.start),
                         iso(a.finish), iso(a.late_start), iso(a.late_finish), iso(a.actual_start),
                         iso(a.actual_finish), a.total_float, a.free_float, "Y" if a.critical else "N", a.pct, st))
        bls = [(0, "BL0 Contract baseline", d[8] + dt.timedelta(days=35), b0, d0)]
        if rebase:
            bls.append((1, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO dim_baseline VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], d_idx, no, bname, iso(bdate), DIRECTOR, "Y" if no == len(bls) - 1 else "N"))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, akeys, bl, bd, CALS):
                ids["bla"] += 1
                con.execute("INSERT INTO fact_baseline_activity VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_sks[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["lnk"] += 1
        con.execute("INSERT INTO fact_activity_link VALUES (?,?,?,?,?)",
                    (ids["lnk"], act_sks[p], act_sks[s], typ, float(lag)))

    # weather downtime log: one row per development per site working day that weather stopped work
    dev_of = {d[0]: d for d in DEVELOPMENTS}
    wx_lost = {}
    for d in DEVELOPMENTS:
        code = d[0]
        cal = CALS[d[7]]
        day = sh(f"{code}.sos")[0]
        end = min(DATA_DATE, sh(f"{code}.pc")[1])
        while day <= end:
            if cal.work(day):
                rain, gust, temp = weather_of(rng, day)
                cause = None
                if gust >= 45:
                    cause, lost, trades = "WIND", float(rng.choice([4, 6, 8])), "Roofers, scaffolders, crane"
                elif temp <= -2.0:
                    cause, lost, trades = "FROST", float(rng.choice([3, 4, 8])), "Bricklayers, concrete pours"
                elif rain >= 15.0:
                    cause, lost, trades = "RAIN", float(rng.choice([3, 4, 6, 8])), "Groundworkers, bricklayers"
                elif temp <= 0.0 and rain >= 4.0 and day.month in (12, 1, 2):
                    cause, lost, trades = "SNOW", 8.0, "All external trades"
                if cause:
                    ids["wx"] += 1
                    con.execute("INSERT INTO fact_weather_downtime VALUES (?,?,?,?,?,?,?,?,?,?)",
                                (ids["wx"], dev_sks[code], iso(day), cause, lost, rain, gust, temp, trades,
                                 "Y" if lost >= 8 else "N"))
                    wx_lost[(code, day)] = (cause, lost)
            day += D1

    # assignments, weekly progress snapshots, snags and call-offs
    snag_n, co_n = {}, {}

    def sub_for(dev, trade):
        d = dev_of[dev]
        if trade == "GRD":
            return d[12]
        if trade == "BRK":
            return d[13]
        if trade == "ELEC":
            return d[14]
        return next(s[0] for s in SUBCONTRACTORS if s[2] == trade)

    def fridays(first, last):
        f = first + dt.timedelta(days=(4 - first.weekday()) % 7)
        while f <= last:
            yield f
            f += dt.timedelta(days=7)

    for k in keys:
        t = tasks[k]
        kind = t["kind"]
        if not kind:
            continue
        code = t["dev"]
        cal = CALS[t["cal"]]
        base = t["dur"] or 1
        for trade, share in CREWS[kind]:
            sc = sub_for(code, trade)
            s = sub_row[sc]
            pln = float(round(base * 8 * s[4] * share, 1))
            act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng)
            rate = s[5] / 8
            ids["asg"] += 1
            con.execute("INSERT INTO fact_assignment VALUES (?,?,?,?,?,?,?,?,?)",
                        (ids["asg"], act_sks[k], sub_sks[sc], trade_sks[trade], pln, act, rem_h,
                         round(pln * rate, 2), round(act * rate, 2)))
        s_d, f_d = sh(k)
        plot_sk = plot_sks[(code, t["plot"])] if t["plot"] else None
        ops = sum(sub_row[sub_for(code, tr)][4] for tr, _ in CREWS[kind])
        if s_d <= DATA_DATE:
            for fri in fridays(s_d, min(DATA_DATE, f_d + dt.timedelta(days=6))):
                worked = cal.wd(sb[k], min(fri + D1, fb[k]))
                pc = 100.0 if fri >= f_d else float(min(95, max(5, round(100 * worked / cdurs[k] / 5) * 5)))
                rem = 0.0 if fri >= f_d else float(cdurs[k] - worked)
                week = [fri - dt.timedelta(days=j) for j in range(6, -1, -1)]
                wdays = [x for x in week if cal.work(x) and sb[k] <= x < fb[k]]
                lost, dly, cmt = 0.0, None, "Progressing to programme"
                if kind in OUTDOOR:
                    wl = [wx_lost[(code, x)] for x in wdays if (code, x) in wx_lost]
                    if wl:
                        lost = sum(x[1] for x in wl) * ops
                        dly = "WEA"
                        cmt = f"{len(wl)} day(s) lost to weather ({', '.join(sorted({x[0].lower() for x in wl}))})"
                if dly is None and rng.random() < 0.08:
                    dly, cmt = rng.choice(DELAYS)
                    lost = float(rng.choice([4, 8, 12, 16]))
                if fri >= f_d and dly is None:
                    cmt = "Complete"
                hrs = max(0.0, len(wdays) * 8.0 * ops - lost)
                ids["snap"] += 1
                con.execute("INSERT INTO fact_progress_snapshot VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (ids["snap"], iso(fri), act_sks[k], dev_sks[code], plot_sk, pc, rem, iso(f_d), ops,
                             hrs, lost, dly, cmt))
        # snags raised at the inspections that follow finished work
        if astat[k] == "Complete" and kind in INSPECTIONS and t["plot"]:
            for body, who, stage, trades, lo, hi in INSPECTIONS[kind]:
                when = cal.fwd(f_d + D1) if kind != "DEC" else f_d
                if when > DATA_DATE:
                    continue
                for _ in range(rng.randint(lo, hi)):
                    trade = rng.choice(trades)
                    sc = sub_for(code, trade)
                    prio = rng.choices(["P1", "P2", "P3"], [0.12, 0.38, 0.5])[0]
                    target = when + dt.timedelta(days={"P1": 2, "P2": 7, "P3": 14}[prio])
                    age = (DATA_DATE - when).days
                    if age < 28 and rng.random() < 0.7:
                        status, cleared = ("Disputed" if rng.random() < 0.12 else "Open"), None
                    else:
                        cleared = when + dt.timedelta(days=rng.randint(1, 20))
                        if cleared > DATA_DATE:
                            status, cleared = "Open", None
                        else:
                            status = "Cleared"
                    snag_n[code] = snag_n.get(code, 0) + 1
                    ids["snag"] += 1
                    con.execute("INSERT INTO fact_snag VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                (ids["snag"], dev_sks[code], plot_sk, act_sks[k], trade_sks[trade], sub_sks[sc],
                                 f"SN-{code}-{snag_n[code]:04d}", iso(when), body, who, stage,
                                 rng.choice(SNAGS[trade]), prio, iso(target), iso(cleared), status,
                                 "Y" if rng.random() < 0.1 else "N"))
    # material call-offs against each plot
    for d in DEVELOPMENTS:
        code = d[0]
        for i, pl in enumerate(d[15], 1):
            fl = pl[0] == "Flat Block"
            for kind, mcode, desc, uom, q_house, q_flat, supp, lead in MATERIALS:
                k = f"{code}.P{i:02d}.{kind}"
                q = float(q_flat * pl[2]) if fl else float(q_house)
                if mcode in ("TRS-ROOF", "WIN-UPVC"):
                    q = float(pl[2] // 4 + 1) if fl else 1.0
                need = sh(k)[0] - dt.timedelta(days=7 if mcode == "BRK-FACE" else 3)
                if need > DATA_DATE + dt.timedelta(days=42):
                    continue
                late = LATE_MAT.get((code, mcode), 0)
                rows = [(need - dt.timedelta(days=late), supp)]
                if code == "TLW" and mcode == "TRS-ROOF":
                    # the first call-off went to the supplier that failed; re-called from the alternative
                    rows.insert(0, (dt.date(2025, 5, 12) + dt.timedelta(days=7 * i), "Northern Truss Systems"))
                    rows[1] = (rows[1][0], "Ridgeline Timber Engineering")
                for j, (req, sup_name) in enumerate(rows):
                    req = weekday(req, -1)
                    placed = weekday(req - dt.timedelta(days=lead), -1)
                    prom = weekday(req + dt.timedelta(days=rng.choice([-3, -1, 0, 0, 0]) + late), -1)
                    arrive = weekday(prom + dt.timedelta(days=rng.choice([-1, 0, 0, 1, 2])), 1)
                    frac = SHORT_MAT.get((code, mcode), 1.0)
                    if len(rows) == 2 and j == 0:
                        sts, dq, got = "CANC", 0.0, None
                    elif arrive <= DATA_DATE:
                        sts, dq, got = ("SHORT" if frac < 1 and q > 1 else "DELIV"), q, arrive
                        if sts == "SHORT":
                            dq = float(round(q * frac))
                    else:
                        sts, dq, got = "CALLED", 0.0, None
                    co_n[code] = co_n.get(code, 0) + 1
                    ids["co"] += 1
                    con.execute("INSERT INTO fact_calloff VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                (ids["co"], dev_sks[code], plot_sks[(code, i)], act_sks[k],
                                 f"CO-{code}-{co_n[code]:04d}", mcode, desc, sup_name, q, dq, uom, iso(placed),
                                 iso(req), iso(prom), iso(got), sts))

    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO fact_risk VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, dev_sks[r[0]], act_sks[r[1]] if r[1] else None, f"R-{r[0]}-{n_by[r[0]]:02d}", r[2], r[3],
                     r[4], r[5], r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))
    n_by = {}
    for i, v in enumerate(VARIATIONS, 1):
        n_by[v[0]] = n_by.get(v[0], 0) + 1
        con.execute("INSERT INTO fact_variation VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, dev_sks[v[0]], plot_sks[(v[0], v[1])] if v[1] else None, f"VO-{v[0]}-{n_by[v[0]]:02d}",
                     v[2], v[3], v[4], v[5], float(v[6]), v[7], v[8], v[9]))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

DEV_FK = ("Development (dim_development.development_sk)", "INTEGER")
ACT_FK = ("Activity (fact_activity.activity_sk)", "INTEGER")
PLOT_FK = ("Plot (dim_plot.plot_sk)", "INTEGER")

TABLE_META = {
    "dim_development": ("Developments (sites) of Ashgrove Community Housing's new-homes programme, one project each: "
                        "town, local authority, site manager, project manager, funding programme, homes, budget, "
                        "forecast cost, grant, planning consent, start on site, contract, forecast and actual "
                        "practical completion (PC) dates, build stage and RAG", {
        "development_sk": ("Development surrogate key", "INTEGER"),
        "development_code": ("Development code, e.g. KSR", "TEXT"),
        "development_name": ("Development name, e.g. Kestrel Rise", "TEXT"),
        "town": ("Town the site is in", "TEXT"),
        "local_authority": ("Local planning and building control authority", "TEXT"),
        "site_manager": ("Site manager in charge of the site", "TEXT"),
        "project_manager": ("Development project manager", "TEXT"),
        "funding_programme": ("Grant funding programme", "TEXT"),
        "homes_count": ("Number of homes (houses, bungalows and flats) on the development", "INTEGER"),
        "scheme_budget_gbp": ("Approved scheme budget (build cost), GBP", "REAL"),
        "forecast_cost_gbp": ("Forecast build cost at completion, GBP", "REAL"),
        "grant_funding_gbp": ("Grant funding awarded, GBP", "REAL"),
        "planning_consent_dt": ("Date planning consent was granted", "DATE"),
        "start_on_site_dt": ("Start on site date (actual, or forecast when not yet started)", "DATE"),
        "contract_pc_dt": ("Contract practical completion date; float is measured to it", "DATE"),
        "forecast_pc_dt": ("Forecast practical completion date from the current schedule", "DATE"),
        "actual_pc_dt": ("Actual practical completion date; null until achieved", "DATE"),
        "build_stage": ("Build stage of the development at the data date", "TEXT"),
        "rag_status": ("RAG status", "TEXT"),
    }),
    "dim_plot": ("Plots of each development: a house, a bungalow or a block of flats, with house type, homes, "
                 "bedrooms, tenure, floor area, build sequence, status and planned, forecast and actual handover "
                 "dates", {
        "plot_sk": ("Plot surrogate key", "INTEGER"),
        "development_sk": DEV_FK,
        "plot_bk": ("Plot business key, development code and plot number, e.g. KSR-P09", "TEXT"),
        "plot_number": ("Plot number within the development", "INTEGER"),
        "plot_name": ("Plot name, e.g. 'Plot 9 - Block A'", "TEXT"),
        "plot_type": ("House, Bungalow or Flat Block", "TEXT"),
        "house_type": ("House type, e.g. 3B5P semi-detached house (3 bedrooms, 5 persons)", "TEXT"),
        "units_count": ("Homes on the plot: 1 for a house or bungalow, the number of flats for a block", "INTEGER"),
        "bedrooms": ("Bedrooms of a house or bungalow; null for a block of flats", "INTEGER"),
        "tenure": ("Tenure the homes will be let or sold on", "TEXT"),
        "gross_internal_area_m2": ("Gross internal floor area, square metres", "REAL"),
        "build_sequence": ("Order in which the plots are built", "INTEGER"),
        "plot_status": ("Build status of the plot at the data date", "TEXT"),
        "planned_handover_dt": ("Handover date in the current baseline", "DATE"),
        "forecast_handover_dt": ("Forecast handover date from the current schedule", "DATE"),
        "actual_handover_dt": ("Date the plot was handed over to housing management; null until then", "DATE"),
    }),
    "dim_trade": ("Trades working on the sites", {
        "trade_sk": ("Trade surrogate key", "INTEGER"),
        "trade_code": ("Trade code, e.g. BRK, ELEC, DRYL", "TEXT"),
        "trade_name": ("Trade name", "TEXT"),
        "trade_group": ("Group of trades: Groundworks, Structure, Envelope, M&E, Fit-out, Finishes, External, "
                        "In-house", "TEXT"),
    }),
    "dim_subcontractor": ("Trade subcontractors and the association's in-house direct works team, with gang size, "
                          "day rate and approval", {
        "subcontractor_sk": ("Subcontractor surrogate key", "INTEGER"),
        "subcontractor_bk": ("Subcontractor business key, e.g. SC-007", "TEXT"),
        "subcontractor_name": ("Company name", "TEXT"),
        "trade_sk": ("Trade of the subcontractor (dim_trade.trade_sk)", "INTEGER"),
        "contact_name": ("Contracts manager or foreman", "TEXT"),
        "gang_size": ("Operatives in the gang sent to site", "INTEGER"),
        "day_rate_gbp": ("Day rate per operative, GBP", "REAL"),
        "approved_flag": ("'Y' when on the association's approved supplier list", "TEXT"),
        "base_town": ("Town the firm is based in", "TEXT"),
    }),
    "dim_calendar": ("Work calendars: development office, site 5-day and 6-day, 7-day elapsed", {
        "calendar_sk": ("Calendar surrogate key", "INTEGER"),
        "calendar_code": ("Calendar code, e.g. SITE-5D", "TEXT"),
        "calendar_name": ("Calendar name", "TEXT"),
        "work_week": ("Working days of a normal week", "TEXT"),
        "hours_per_day": ("Working hours a day", "REAL"),
        "notes": ("Free text", "TEXT"),
    }),
    "dim_calendar_exception": ("Non-working days of each calendar: bank holidays, the Christmas shutdown and the "
                               "June 2025 safety stand-down. Only days that would otherwise be working days", {
        "calendar_exception_sk": ("Surrogate key", "INTEGER"),
        "calendar_sk": ("Calendar (dim_calendar.calendar_sk)", "INTEGER"),
        "exception_dt": ("Non-working date (YYYY-MM-DD)", "DATE"),
        "exception_type_code": ("Exception type code", "TEXT"),
        "reason": ("Reason", "TEXT"),
    }),
    "dim_wbs": ("WBS of each development: level 1 the development; level 2 pre-construction, infrastructure, "
                "plots and completion; level 3 one node per plot", {
        "wbs_sk": ("WBS surrogate key", "INTEGER"),
        "development_sk": DEV_FK,
        "parent_wbs_sk": ("Parent WBS node (dim_wbs.wbs_sk); null at level 1", "INTEGER"),
        "wbs_code": ("WBS code, e.g. BCF.3.7", "TEXT"),
        "wbs_name": ("WBS node name", "TEXT"),
        "wbs_level": ("Level 1-3", "INTEGER"),
    }),
    "dim_baseline": ("Baselines of each development; current_flag marks the one reported against", {
        "baseline_sk": ("Baseline surrogate key", "INTEGER"),
        "development_sk": DEV_FK,
        "baseline_number": ("Baseline number within the development (0 = contract baseline)", "INTEGER"),
        "baseline_name": ("Baseline name", "TEXT"),
        "set_dt": ("Date the baseline was set", "DATE"),
        "approved_by": ("Approver (the development director)", "TEXT"),
        "current_flag": ("'Y' for the current baseline", "TEXT"),
    }),
    "fact_activity": ("Schedule activities and milestones of each development at the data date: early (forecast), "
                      "late, actual and current-baseline dates, durations and float in working days", {
        "activity_sk": ("Activity surrogate key", "INTEGER"),
        "development_sk": DEV_FK,
        "plot_sk": ("Plot the activity builds (dim_plot.plot_sk); null for site-wide work", "INTEGER"),
        "wbs_sk": ("WBS node (dim_wbs.wbs_sk)", "INTEGER"),
        "calendar_sk": ("Calendar (dim_calendar.calendar_sk)", "INTEGER"),
        "lead_trade_sk": ("Lead trade of the activity (dim_trade.trade_sk); null for office work and milestones",
                          "INTEGER"),
        "activity_code": ("Activity code, e.g. BCF-1150", "TEXT"),
        "activity_name": ("Activity name; plot activities start 'Plot n - '", "TEXT"),
        "activity_type": ("Task, Start Milestone or Finish Milestone", "TEXT"),
        "original_duration_days": ("Original duration, working days", "REAL"),
        "remaining_duration_days": ("Remaining duration, working days", "REAL"),
        "bl_start_dt": ("Start in the current baseline; null for activities added since", "DATE"),
        "bl_finish_dt": ("Finish in the current baseline", "DATE"),
        "early_start_dt": ("Early (forecast) start", "DATE"),
        "early_finish_dt": ("Early (forecast) finish", "DATE"),
        "late_start_dt": ("Late start; null when complete", "DATE"),
        "late_finish_dt": ("Late finish; null when complete", "DATE"),
        "actual_start_dt": ("Actual start", "DATE"),
        "actual_finish_dt": ("Actual finish", "DATE"),
        "total_float_days": ("Total float, working days; null when complete", "REAL"),
        "free_float_days": ("Free float, working days; null when complete", "REAL"),
        "critical_flag": ("Critical flag, 'Y' / 'N'", "TEXT"),
        "pct_complete": ("Percent complete", "REAL"),
        "activity_status": ("Activity status", "TEXT"),
    }),
    "fact_activity_link": ("Logic links between activities with type and lag", {
        "activity_link_sk": ("Link surrogate key", "INTEGER"),
        "pred_activity_sk": ("Predecessor (fact_activity.activity_sk)", "INTEGER"),
        "succ_activity_sk": ("Successor (fact_activity.activity_sk)", "INTEGER"),
        "link_type_code": ("Link type code", "TEXT"),
        "lag_days": ("Lag in calendar days", "REAL"),
    }),
    "fact_baseline_activity": ("Activity dates, durations and float as stored in each baseline", {
        "baseline_activity_sk": ("Surrogate key", "INTEGER"),
        "baseline_sk": ("Baseline (dim_baseline.baseline_sk)", "INTEGER"),
        "activity_sk": ACT_FK,
        "bl_start_dt": ("Baseline start", "DATE"),
        "bl_finish_dt": ("Baseline finish", "DATE"),
        "bl_duration_days": ("Baseline duration, working days", "REAL"),
        "bl_total_float_days": ("Baseline total float, working days", "REAL"),
    }),
    "fact_assignment": ("Subcontractor assignments to activities with planned, actual and remaining hours and "
                        "cost", {
        "assignment_sk": ("Assignment surrogate key", "INTEGER"),
        "activity_sk": ACT_FK,
        "subcontractor_sk": ("Subcontractor (dim_subcontractor.subcontractor_sk)", "INTEGER"),
        "trade_sk": ("Trade the assignment is for (dim_trade.trade_sk)", "INTEGER"),
        "planned_hours": ("Planned operative hours", "REAL"),
        "actual_hours": ("Actual operative hours to the data date", "REAL"),
        "remaining_hours": ("Remaining operative hours", "REAL"),
        "planned_cost_gbp": ("Planned cost, GBP", "REAL"),
        "actual_cost_gbp": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "fact_progress_snapshot": ("Weekly progress snapshots: one row per activity under way each Friday up to the "
                               "data date, with percent complete, remaining duration, forecast finish, operatives, "
                               "hours worked and lost and the delay reason", {
        "progress_snapshot_sk": ("Snapshot surrogate key", "INTEGER"),
        "snapshot_dt": ("Week-ending date of the snapshot (a Friday)", "DATE"),
        "activity_sk": ACT_FK,
        "development_sk": DEV_FK,
        "plot_sk": ("Plot (dim_plot.plot_sk); null for site-wide work", "INTEGER"),
        "pct_complete": ("Percent complete at the snapshot", "REAL"),
        "remaining_duration_days": ("Remaining duration at the snapshot, working days", "REAL"),
        "forecast_finish_dt": ("Forecast finish reported that week", "DATE"),
        "operatives_count": ("Operatives on the activity that week", "INTEGER"),
        "hours_worked": ("Operative hours worked that week", "REAL"),
        "hours_lost": ("Operative hours lost that week", "REAL"),
        "delay_reason_code": ("Delay reason code; null when none", "TEXT"),
        "site_comment": ("Site manager's comment", "TEXT"),
    }),
    "fact_snag": ("Snags (defects) recorded at inspections of finished work by the warranty inspector, the clerk "
                  "of works and building control, one row per snag, with the responsible trade and subcontractor, "
                  "priority, target and cleared dates and status", {
        "snag_sk": ("Snag surrogate key", "INTEGER"),
        "development_sk": DEV_FK,
        "plot_sk": PLOT_FK,
        "activity_sk": ("Activity whose finished work was inspected (fact_activity.activity_sk)", "INTEGER"),
        "trade_sk": ("Trade responsible for putting it right (dim_trade.trade_sk)", "INTEGER"),
        "subcontractor_sk": ("Subcontractor responsible (dim_subcontractor.subcontractor_sk)", "INTEGER"),
        "snag_code": ("Snag reference, e.g. SN-KSR-0042", "TEXT"),
        "inspection_dt": ("Date of the inspection that raised the snag", "DATE"),
        "inspecting_body": ("Who inspected", "TEXT"),
        "inspector_name": ("Inspector's name", "TEXT"),
        "inspection_stage": ("Stage inspected", "TEXT"),
        "snag_description": ("What is wrong", "TEXT"),
        "priority_code": ("Priority code", "TEXT"),
        "target_clear_dt": ("Date the snag should be cleared by", "DATE"),
        "cleared_dt": ("Date the snag was cleared; null while open", "DATE"),
        "snag_status": ("Snag status", "TEXT"),
        "reinspection_flag": ("'Y' when the inspector must come back to sign it off", "TEXT"),
    }),
    "fact_variation": ("Variations (change orders) on the developments, with cost and time impact and status", {
        "variation_sk": ("Variation surrogate key", "INTEGER"),
        "development_sk": DEV_FK,
        "plot_sk": ("Plot the variation applies to (dim_plot.plot_sk); null when site-wide", "INTEGER"),
        "variation_code": ("Variation reference, e.g. VO-OYD-03", "TEXT"),
        "variation_title": ("Variation title", "TEXT"),
        "variation_type": ("Variation type: Client, Design, Site Condition, Statutory, Programme", "TEXT"),
        "raised_by": ("Person who raised it", "TEXT"),
        "cost_impact_gbp": ("Cost impact, GBP", "REAL"),
        "time_impact_days": ("Time impact, days (negative = saving)", "REAL"),
        "variation_status": ("Variation status", "TEXT"),
        "raised_dt": ("Date raised", "DATE"),
        "decision_dt": ("Date approved or rejected; null while open or withdrawn", "DATE"),
    }),
    "fact_calloff": ("Material call-offs against each plot: facing bricks, roof trusses, windows, plasterboard and "
                     "kitchens, with the dates placed, required, promised and delivered", {
        "calloff_sk": ("Call-off surrogate key", "INTEGER"),
        "development_sk": DEV_FK,
        "plot_sk": PLOT_FK,
        "activity_sk": ("Activity the material is for (fact_activity.activity_sk)", "INTEGER"),
        "calloff_code": ("Call-off reference, e.g. CO-TLW-0012", "TEXT"),
        "material_code": ("Material code, e.g. BRK-FACE, TRS-ROOF", "TEXT"),
        "material_desc": ("Material description", "TEXT"),
        "supplier_name": ("Supplier", "TEXT"),
        "qty_called": ("Quantity called off", "REAL"),
        "qty_delivered": ("Quantity delivered so far", "REAL"),
        "uom_code": ("Unit of measure code", "TEXT"),
        "calloff_dt": ("Date the call-off was placed", "DATE"),
        "required_dt": ("Date required on site", "DATE"),
        "promised_dt": ("Delivery date promised by the supplier", "DATE"),
        "delivered_dt": ("Date delivered; null until delivered", "DATE"),
        "calloff_status_code": ("Call-off status code", "TEXT"),
    }),
    "fact_risk": ("Risk register of the new-homes programme", {
        "risk_sk": ("Risk surrogate key", "INTEGER"),
        "development_sk": DEV_FK,
        "activity_sk": ("Activity the risk affects (fact_activity.activity_sk); may be null", "INTEGER"),
        "risk_code": ("Risk reference, e.g. R-OYD-01", "TEXT"),
        "risk_title": ("Risk title", "TEXT"),
        "risk_category": ("Risk category", "TEXT"),
        "probability_score": ("Probability 1-5", "INTEGER"),
        "impact_score": ("Impact 1-5", "INTEGER"),
        "risk_score": ("Probability x impact", "INTEGER"),
        "cost_exposure_gbp": ("Cost exposure, GBP", "REAL"),
        "schedule_exposure_days": ("Schedule exposure, days", "REAL"),
        "risk_owner": ("Risk owner", "TEXT"),
        "mitigation": ("Mitigation", "TEXT"),
        "risk_status": ("Risk status", "TEXT"),
        "raised_dt": ("Date raised", "DATE"),
        "next_review_dt": ("Next review date", "DATE"),
    }),
    "fact_weather_downtime": ("Weather down-time log: one row per development per site working day on which "
                              "weather stopped work, with the cause, hours lost per operative, rainfall, gusts and "
                              "minimum temperature", {
        "weather_downtime_sk": ("Surrogate key", "INTEGER"),
        "development_sk": DEV_FK,
        "downtime_dt": ("Date work was stopped", "DATE"),
        "cause_code": ("Weather cause code", "TEXT"),
        "hours_lost": ("Hours of the working day lost", "REAL"),
        "rainfall_mm": ("Rainfall that day, mm", "REAL"),
        "max_gust_mph": ("Highest gust on site, mph", "INTEGER"),
        "min_temp_c": ("Lowest temperature, degrees C", "REAL"),
        "trades_affected": ("Trades stood down", "TEXT"),
        "site_closed_flag": ("'Y' when the whole day was lost", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("dim_plot", "dim_development", "dim_plot.development_sk = dim_development.development_sk",
     "Plots of a development"),
    ("dim_subcontractor", "dim_trade", "dim_subcontractor.trade_sk = dim_trade.trade_sk", "Trade of a subcontractor"),
    ("dim_calendar_exception", "dim_calendar", "dim_calendar_exception.calendar_sk = dim_calendar.calendar_sk",
     "Non-working days of a calendar"),
    ("dim_wbs", "dim_development", "dim_wbs.development_sk = dim_development.development_sk",
     "WBS of a development"),
    ("dim_wbs", "dim_wbs", "dim_wbs.parent_wbs_sk = dim_wbs.wbs_sk", "Parent WBS node"),
    ("dim_baseline", "dim_development", "dim_baseline.development_sk = dim_development.development_sk",
     "Baselines of a development"),
    ("fact_activity", "dim_development", "fact_activity.development_sk = dim_development.development_sk",
     "Activities of a development"),
    ("fact_activity", "dim_plot", "fact_activity.plot_sk = dim_plot.plot_sk", "Plot an activity builds"),
    ("fact_activity", "dim_wbs", "fact_activity.wbs_sk = dim_wbs.wbs_sk", "WBS node of an activity"),
    ("fact_activity", "dim_calendar", "fact_activity.calendar_sk = dim_calendar.calendar_sk",
     "Calendar of an activity"),
    ("fact_activity", "dim_trade", "fact_activity.lead_trade_sk = dim_trade.trade_sk", "Lead trade of an activity"),
    ("fact_activity_link", "fact_activity", "fact_activity_link.pred_activity_sk = fact_activity.activity_sk",
     "Predecessor of a link"),
    ("fact_activity_link", "fact_activity", "fact_activity_link.succ_activity_sk = fact_activity.activity_sk",
     "Successor of a link"),
    ("fact_baseline_activity", "dim_baseline", "fact_baseline_activity.baseline_sk = dim_baseline.baseline_sk",
     "Rows of a baseline"),
    ("fact_baseline_activity", "fact_activity", "fact_baseline_activity.activity_sk = fact_activity.activity_sk",
     "Activity a baseline row stores"),
    ("fact_assignment", "fact_activity", "fact_assignment.activity_sk = fact_activity.activity_sk",
     "Activity a subcontractor is assigned to"),
    ("fact_assignment", "dim_subcontractor", "fact_assignment.subcontractor_sk = dim_subcontractor.subcontractor_sk",
     "Subcontractor of an assignment"),
    ("fact_assignment", "dim_trade", "fact_assignment.trade_sk = dim_trade.trade_sk", "Trade of an assignment"),
    ("fact_progress_snapshot", "fact_activity", "fact_progress_snapshot.activity_sk = fact_activity.activity_sk",
     "Activity a snapshot reports"),
    ("fact_progress_snapshot", "dim_development",
     "fact_progress_snapshot.development_sk = dim_development.development_sk", "Development of a snapshot"),
    ("fact_progress_snapshot", "dim_plot", "fact_progress_snapshot.plot_sk = dim_plot.plot_sk", "Plot of a snapshot"),
    ("fact_snag", "dim_development", "fact_snag.development_sk = dim_development.development_sk",
     "Snags of a development"),
    ("fact_snag", "dim_plot", "fact_snag.plot_sk = dim_plot.plot_sk", "Plot a snag is on"),
    ("fact_snag", "fact_activity", "fact_snag.activity_sk = fact_activity.activity_sk", "Activity inspected"),
    ("fact_snag", "dim_trade", "fact_snag.trade_sk = dim_trade.trade_sk", "Trade responsible for a snag"),
    ("fact_snag", "dim_subcontractor", "fact_snag.subcontractor_sk = dim_subcontractor.subcontractor_sk",
     "Subcontractor responsible for a snag"),
    ("fact_variation", "dim_development", "fact_variation.development_sk = dim_development.development_sk",
     "Variations of a development"),
    ("fact_variation", "dim_plot", "fact_variation.plot_sk = dim_plot.plot_sk", "Plot a variation applies to"),
    ("fact_calloff", "dim_development", "fact_calloff.development_sk = dim_development.development_sk",
     "Call-offs of a development"),
    ("fact_calloff", "dim_plot", "fact_calloff.plot_sk = dim_plot.plot_sk", "Plot a call-off is for"),
    ("fact_calloff", "fact_activity", "fact_calloff.activity_sk = fact_activity.activity_sk",
     "Activity a call-off is for"),
    ("fact_risk", "dim_development", "fact_risk.development_sk = dim_development.development_sk",
     "Risks of a development"),
    ("fact_risk", "fact_activity", "fact_risk.activity_sk = fact_activity.activity_sk", "Activity a risk affects"),
    ("fact_weather_downtime", "dim_development",
     "fact_weather_downtime.development_sk = dim_development.development_sk", "Weather down-time of a development"),
]

BUSINESS_RULES = {
    ("fact_activity", "activity_status"): ["Allowed Values: Not Started, In Progress, Complete"],
    ("fact_activity", "activity_type"): ["Allowed Values: Task, Start Milestone, Finish Milestone; milestones have "
                                         "original_duration_days = 0"],
    ("fact_activity", "critical_flag"): ["Allowed Values: Y, N", "Critical: critical_flag = 'Y' when "
                                         "total_float_days <= 0; complete activities are 'N'"],
    ("fact_activity", "total_float_days"): ["Negative float: forecast finish after the development's contract PC "
                                            "date"],
    ("fact_activity", "bl_finish_dt"): ["Slipped: early_finish_dt > bl_finish_dt"],
    ("fact_activity_link", "link_type_code"): ["Allowed Values: FS (finish to start), SS (start to start), FF "
                                               "(finish to finish)"],
    ("dim_baseline", "current_flag"): ["Allowed Values: Y, N; one current baseline per development"],
    ("dim_calendar_exception", "exception_type_code"): ["Allowed Values: BH (bank holiday), XMAS (Christmas and "
                                                        "New Year shutdown), HS (health and safety stand-down)"],
    ("dim_development", "build_stage"): ["Allowed Values: Pre-construction, Groundworks, Superstructure, Fit-out, "
                                         "Handovers, Complete"],
    ("dim_development", "rag_status"): ["Allowed Values: Red (forecast PC after contract PC), Amber (10 or fewer "
                                        "working days float), Green"],
    ("dim_plot", "plot_status"): ["Allowed Values: Not Started, Groundworks, Superstructure, Roofing, Watertight, "
                                  "First Fix, Plastering, Second Fix, Snagging, Handed Over"],
    ("dim_plot", "plot_type"): ["Allowed Values: House, Bungalow, Flat Block"],
    ("dim_plot", "tenure"): ["Allowed Values: Social Rent, Affordable Rent, Shared Ownership"],
    ("dim_subcontractor", "approved_flag"): ["Allowed Values: Y, N"],
    ("fact_risk", "risk_status"): ["Allowed Values: Open, Closed, Realised (the risk happened)"],
    ("fact_risk", "risk_score"): ["High risk: risk_score >= 12"],
    ("fact_variation", "variation_status"): ["Allowed Values: Raised, Priced, Approved, Rejected, Withdrawn"],
    ("fact_snag", "snag_status"): ["Allowed Values: Open, Cleared, Disputed"],
    ("fact_snag", "priority_code"): ["Allowed Values: P1 (clear in 2 days), P2 (7 days), P3 (14 days)"],
    ("fact_snag", "inspecting_body"): ["Allowed Values: Sentinel Home Warranty (the warranty provider's inspector), "
                                      "Clerk of Works (the association's own), Building Control (the council)"],
    ("fact_snag", "inspection_stage"): ["Allowed Values: Foundations, Superstructure and roof, Pre-plaster, "
                                       "Pre-handover, Completion"],
    ("fact_snag", "reinspection_flag"): ["Allowed Values: Y, N"],
    ("fact_calloff", "calloff_status_code"): ["Allowed Values: CALLED (called off, not delivered), DELIV "
                                              "(delivered in full), SHORT (delivered short), CANC (cancelled)",
                                              "Late: delivered_dt > required_dt"],
    ("fact_calloff", "uom_code"): ["Allowed Values: NR (number), SET, M2 (square metres), EA (each)"],
    ("fact_progress_snapshot", "delay_reason_code"): ["Allowed Values: WEA (weather), MAT (materials), LAB "
                                                      "(labour shortage), DES (design query), ACC (scaffold or "
                                                      "access), QA (rework after inspection), null"],
    ("fact_weather_downtime", "cause_code"): ["Allowed Values: RAIN, WIND, FROST, SNOW"],
    ("fact_weather_downtime", "site_closed_flag"): ["Allowed Values: Y, N"],
}

CONCEPTS = {
    ("fact_activity", "total_float_days"): ["total_float", "critical_path"],
    ("fact_activity", "free_float_days"): ["free_float"],
    ("fact_activity", "critical_flag"): ["critical_path"],
    ("fact_activity", "pct_complete"): ["percent_complete"],
    ("fact_activity", "bl_finish_dt"): ["baseline_variance"],
    ("fact_baseline_activity", "bl_finish_dt"): ["baseline_variance"],
    ("fact_activity_link", "lag_days"): ["lag"],
    ("dim_development", "forecast_cost_gbp"): ["cost_variance"],
    ("dim_development", "contract_pc_dt"): ["practical_completion"],
    ("dim_plot", "actual_handover_dt"): ["handover"],
    ("dim_plot", "tenure"): ["tenure"],
    ("fact_risk", "risk_score"): ["risk_exposure"],
    ("fact_snag", "snag_status"): ["open_snags"],
    ("fact_progress_snapshot", "hours_lost"): ["lost_time"],
    ("fact_weather_downtime", "hours_lost"): ["weather_downtime"],
    ("fact_calloff", "delivered_dt"): ["late_delivery"],
    ("dim_calendar_exception", "exception_dt"): ["bank_holiday"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before the development misses its contract PC date",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a development's PC date",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a link in calendar days, e.g. slab curing before brickwork or plaster drying",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Forecast build cost against the scheme budget",
    "practical_completion": "PC: the whole development is finished and handed to the association",
    "handover": "A plot handed over to housing management for letting or sale",
    "tenure": "How the homes will be let or sold: social rent, affordable rent or shared ownership",
    "risk_exposure": "Probability x impact score of a risk",
    "open_snags": "Snags not yet cleared (Open or Disputed)",
    "lost_time": "Operative hours lost to weather, materials, labour, design queries, access or rework",
    "weather_downtime": "Days and hours on which weather stopped work on a site",
    "late_delivery": "Call-off delivered after the date required on site",
    "bank_holiday": "Bank holidays and the Christmas shutdown when the sites do not work",
}

QUERY_EXAMPLES = [
    ("SELECT development_code, development_name, contract_pc_dt, forecast_pc_dt, rag_status FROM dim_development "
     "ORDER BY contract_pc_dt;", "Developments with contract and forecast PC dates", "simple"),
    ("SELECT a.activity_code, a.activity_name, a.early_start_dt, a.total_float_days FROM fact_activity a JOIN "
     "dim_development d ON d.development_sk = a.development_sk WHERE d.development_code = 'OYD' AND "
     "a.critical_flag = 'Y' ORDER BY a.early_start_dt;", "Critical activities of a development", "medium"),
    ("SELECT d.development_name, COUNT(*) AS open_snags FROM fact_snag s JOIN dim_development d ON "
     "d.development_sk = s.development_sk WHERE s.snag_status IN ('Open', 'Disputed') GROUP BY d.development_name;",
     "Open snags by development", "medium"),
    ("SELECT a.activity_code, a.activity_name, b.bl_finish_dt, a.early_finish_dt FROM fact_activity a JOIN "
     "fact_baseline_activity b ON b.activity_sk = a.activity_sk JOIN dim_baseline l ON l.baseline_sk = "
     "b.baseline_sk WHERE l.current_flag = 'Y' AND a.early_finish_dt > b.bl_finish_dt;",
     "Activities forecast to finish later than the current baseline", "complex"),
    ("SELECT plot_bk, house_type, tenure, plot_status FROM dim_plot WHERE development_sk = (SELECT development_sk "
     "FROM dim_development WHERE development_name = 'Beacon Fields') ORDER BY build_sequence;",
     "Plots of a development in build order", "simple"),
    ("SELECT calloff_code, material_desc, required_dt, delivered_dt FROM fact_calloff WHERE delivered_dt > "
     "required_dt;", "Call-offs delivered after the date required", "simple"),
    ("SELECT e.exception_dt, e.reason FROM dim_calendar_exception e JOIN dim_calendar c ON c.calendar_sk = "
     "e.calendar_sk WHERE c.calendar_code = 'SITE-5D' AND e.exception_dt >= '2025-11-21' ORDER BY e.exception_dt;",
     "Coming non-working days of the site calendar", "medium"),
    ("SELECT v.variation_code, v.variation_title, v.cost_impact_gbp FROM fact_variation v JOIN dim_development d "
     "ON d.development_sk = v.development_sk WHERE d.development_code = 'TLW' AND v.variation_status IN ('Raised', "
     "'Priced');", "Open variations of a development", "medium"),
    ("SELECT s.subcontractor_name, SUM(a.actual_cost_gbp) AS cost FROM fact_assignment a JOIN dim_subcontractor s "
     "ON s.subcontractor_sk = a.subcontractor_sk JOIN dim_trade t ON t.trade_sk = a.trade_sk WHERE t.trade_code = "
     "'ELEC' GROUP BY s.subcontractor_name ORDER BY cost DESC;", "Actual electrical cost by subcontractor", "medium"),
    ("SELECT d.development_name, SUM(w.hours_lost) AS hours FROM fact_weather_downtime w JOIN dim_development d ON "
     "d.development_sk = w.development_sk GROUP BY d.development_name ORDER BY hours DESC;",
     "Hours lost to weather by development", "medium"),
]

KEYWORDS = {
    "float": ["fact_activity.total_float_days", "fact_activity.free_float_days", "total_float"],
    "TF": ["fact_activity.total_float_days"],
    "critical": ["fact_activity.critical_flag", "critical_path"],
    "predecessor": ["fact_activity_link.pred_activity_sk", "fact_activity_link"],
    "successor": ["fact_activity_link.succ_activity_sk", "fact_activity_link"],
    "baseline": ["dim_baseline", "fact_baseline_activity", "baseline_variance"],
    "site": ["dim_development"],
    "scheme": ["dim_development"],
    "development": ["dim_development"],
    "plot": ["dim_plot"],
    "block": ["dim_plot.plot_type", "dim_plot.plot_name"],
    "flats": ["dim_plot.plot_type", "dim_plot.units_count"],
    "homes": ["dim_plot.units_count", "dim_development.homes_count"],
    "PC": ["dim_development.contract_pc_dt", "dim_development.forecast_pc_dt", "practical_completion"],
    "handover": ["dim_plot.actual_handover_dt", "handover"],
    "tenure": ["dim_plot.tenure"],
    "shared ownership": ["dim_plot.tenure"],
    "grant": ["dim_development.grant_funding_gbp"],
    "trade": ["dim_trade"],
    "subbie": ["dim_subcontractor"],
    "subcontractor": ["dim_subcontractor", "fact_assignment"],
    "gang": ["dim_subcontractor.gang_size"],
    "snag": ["fact_snag"],
    "defect": ["fact_snag"],
    "warranty": ["fact_snag.inspecting_body"],
    "clerk of works": ["fact_snag.inspecting_body"],
    "building control": ["fact_snag.inspecting_body"],
    "variation": ["fact_variation"],
    "VO": ["fact_variation"],
    "call-off": ["fact_calloff"],
    "delivery": ["fact_calloff"],
    "bricks": ["fact_calloff.material_code"],
    "trusses": ["fact_calloff.material_code"],
    "risk": ["fact_risk"],
    "weather": ["fact_weather_downtime", "fact_progress_snapshot.delay_reason_code"],
    "rain": ["fact_weather_downtime.cause_code"],
    "progress": ["fact_progress_snapshot", "fact_activity.pct_complete"],
    "bank holiday": ["dim_calendar_exception"],
}

TERMINOLOGY = {
    "PC": "Practical completion of a development",
    "plot": "One house or bungalow, or one block of flats, on a development",
    "watertight": "Roof on and windows and doors fitted; internal trades can start",
    "first fix": "Carcassing: cables, pipes and stud work before plastering",
    "second fix": "Sockets, switches, sanitaryware, doors, skirtings and kitchens after plastering",
    "dryliner": "Tradesman fixing plasterboard; drylining and plastering",
    "sparky": "Electrician",
    "chippy": "Carpenter or joiner",
    "brickie": "Bricklayer",
    "groundworker": "Trade doing drainage, foundations, slabs, roads and sewers",
    "snag": "A defect found at an inspection that the responsible trade must put right",
    "clerk of works": "The association's own inspector of the contractor's work",
    "building control": "The council's inspector checking the Building Regulations",
    "warranty inspector": "The new-home warranty provider's inspector",
    "call-off": "An order for delivery of materials from a supplier against a plot",
    "variation": "A change order changing the work, its cost or its time",
    "wearing course": "The final surface layer of the estate road",
    "base course": "The road layer laid before the houses are built",
    "SO": "Shared ownership",
    "AR": "Affordable rent",
    "SR": "Social rent",
    "2B4P": "Two bedrooms, four persons",
    "TF": "Total float",
    "data date": "Date up to which progress is recorded (2025-11-21)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF": "Finish to finish link",
}

RELATED_TERMS = {
    "dim_development": "development, site, scheme, project",
    "dim_plot": "plot, house, home, unit, block of flats, bungalow",
    "fact_activity": "activity, task, programme line, schedule",
    "dim_wbs": "WBS, work breakdown",
    "dim_trade": "trade",
    "dim_subcontractor": "subcontractor, subbie, contractor, gang, firm",
    "fact_assignment": "assignment, hours, labour cost",
    "fact_risk": "risk, risk register",
    "fact_variation": "variation, VO, change order, change",
    "fact_snag": "snag, defect, inspection, snag list",
    "fact_calloff": "call-off, delivery, materials, order",
    "fact_progress_snapshot": "progress, weekly report, snapshot, progress return",
    "fact_weather_downtime": "weather, down-time, rain, wind, frost, lost days",
    "fact_activity_link": "link, relationship, dependency, logic",
    "dim_calendar": "calendar, working week",
    "dim_calendar_exception": "bank holiday, non-working day, shutdown",
    "dim_baseline": "baseline",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_sk",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout18"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="fact_activity")


if __name__ == "__main__":
    sys.exit(main())
