#!/usr/bin/env python3
"""Build the tenth check schedule database (rail possessions and renewals, legacy Oracle naming) and its metadata.

A rail infrastructure owner's possession and renewal programme: six schemes (an S&C renewal, a
plain line track renewal, a resignalling stage, a viaduct strengthening, station platform
extensions and an underbridge replacement) whose site work is done in weekend, night and
bank-holiday blockade possessions (track closures). Named as a legacy Oracle team would name it:
UPPER_SNAKE_CASE tables with a three-letter area prefix (PRG_, SCH_, POS_, RES_, RSK_, CHG_, REF_)
and UPPER_SNAKE_CASE columns with the team's abbreviations (TASK_REF, ORIG_DUR_DAYS,
TOTAL_FLOAT_DAYS, CRIT_FLAG, POSS_START_DTM, ...) and coded values (TASK_STATUS NS / IP / CO,
CRIT_FLAG Y / N, POSS_TYPE_CD WE / NT / BLK, booking status R / C / X / W). Dates are ISO
'YYYY-MM-DD' text and possession times 'YYYY-MM-DD HH:MM'; durations and float are in calendar
days. The tasks of each scheme are scheduled by a forward and backward pass over their logic,
with weekend-possession work moved to the next Saturday and blockade work held to its bank
holiday, against the scheme's planned completion date. Data date 2025-03-31 (end of rail
period 13 of 2024/25).

Outputs go to bench/out/holdout10/ (or --out DIR); --check also runs every gold statement of
questions.json. The command line is bench/schedule_build.py's. Standard library only;
deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 101010
DATA_DATE = dt.date(2025, 3, 31)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import default_out, describe_tables, main as build_main, metadata_document  # noqa: E402
DB_NAME = "holdout10_schedule.db"
META_NAME = "holdout10_metadata.json"

DDL = """
CREATE TABLE REF_ROUTE (
    ROUTE_ID INTEGER PRIMARY KEY, ROUTE_CODE TEXT NOT NULL UNIQUE, ROUTE_NAME TEXT NOT NULL,
    REGION_NAME TEXT NOT NULL, ROUTE_DIRECTOR TEXT NOT NULL, CONTROL_CENTRE TEXT NOT NULL
);
CREATE TABLE REF_CALENDAR (
    CAL_DT TEXT PRIMARY KEY, DAY_NAME TEXT NOT NULL, WEEKEND_FLAG TEXT NOT NULL, BANK_HOL_FLAG TEXT NOT NULL,
    HOLIDAY_NAME TEXT, RAIL_YEAR TEXT NOT NULL, RAIL_PERIOD INTEGER NOT NULL, RAIL_WEEK INTEGER NOT NULL
);
CREATE TABLE PRG_SCHEME (
    SCHEME_ID INTEGER PRIMARY KEY, SCHEME_REF TEXT NOT NULL UNIQUE, SCHEME_CODE TEXT NOT NULL UNIQUE,
    SCHEME_NAME TEXT NOT NULL, ROUTE_ID INTEGER NOT NULL REFERENCES REF_ROUTE(ROUTE_ID),
    PROGRAMME_NAME TEXT NOT NULL, SPONSOR_NAME TEXT NOT NULL, PROJ_MGR_NAME TEXT NOT NULL,
    GRIP_STAGE INTEGER NOT NULL, AUTH_COST_GBP REAL NOT NULL, EFC_GBP REAL NOT NULL, START_DT TEXT NOT NULL,
    PLANNED_COMPL_DT TEXT NOT NULL, FCST_COMPL_DT TEXT NOT NULL, DATA_DT TEXT NOT NULL, SCHEME_STATUS TEXT NOT NULL
);
CREATE TABLE PRG_WORK_PACKAGE (
    WP_ID INTEGER PRIMARY KEY, SCHEME_ID INTEGER NOT NULL REFERENCES PRG_SCHEME(SCHEME_ID),
    WP_CODE TEXT NOT NULL UNIQUE, WBS_CODE TEXT NOT NULL, WP_NAME TEXT NOT NULL, DISCIPLINE TEXT NOT NULL,
    CONTRACTOR_NAME TEXT NOT NULL, WP_MGR_NAME TEXT NOT NULL, BUDGET_GBP REAL NOT NULL
);
CREATE TABLE SCH_TASK (
    TASK_ID INTEGER PRIMARY KEY, SCHEME_ID INTEGER NOT NULL REFERENCES PRG_SCHEME(SCHEME_ID),
    WP_ID INTEGER NOT NULL REFERENCES PRG_WORK_PACKAGE(WP_ID), TASK_REF TEXT NOT NULL UNIQUE,
    TASK_DESC TEXT NOT NULL, TASK_TYPE TEXT NOT NULL, POSS_REQD_CD TEXT, LOCATION_DESC TEXT,
    ORIG_DUR_DAYS INTEGER NOT NULL, REM_DUR_DAYS INTEGER NOT NULL, EARLY_START_DT TEXT NOT NULL,
    EARLY_FINISH_DT TEXT NOT NULL, LATE_START_DT TEXT, LATE_FINISH_DT TEXT, ACT_START_DT TEXT, ACT_FINISH_DT TEXT,
    TOTAL_FLOAT_DAYS INTEGER, FREE_FLOAT_DAYS INTEGER, CRIT_FLAG TEXT NOT NULL, PCT_COMPLETE REAL NOT NULL,
    TASK_STATUS TEXT NOT NULL
);
CREATE TABLE SCH_TASK_LINK (
    LINK_ID INTEGER PRIMARY KEY, PRED_TASK_ID INTEGER NOT NULL REFERENCES SCH_TASK(TASK_ID),
    SUCC_TASK_ID INTEGER NOT NULL REFERENCES SCH_TASK(TASK_ID), LINK_TYPE TEXT NOT NULL, LAG_DAYS INTEGER NOT NULL
);
CREATE TABLE SCH_BASELINE (
    BASELINE_ID INTEGER PRIMARY KEY, SCHEME_ID INTEGER NOT NULL REFERENCES PRG_SCHEME(SCHEME_ID),
    BL_NAME TEXT NOT NULL, BL_TYPE TEXT NOT NULL, BL_DT TEXT NOT NULL, APPROVED_BY TEXT, CURRENT_FLAG TEXT NOT NULL
);
CREATE TABLE SCH_BASELINE_TASK (
    BL_TASK_ID INTEGER PRIMARY KEY, BASELINE_ID INTEGER NOT NULL REFERENCES SCH_BASELINE(BASELINE_ID),
    TASK_ID INTEGER NOT NULL REFERENCES SCH_TASK(TASK_ID), BL_START_DT TEXT NOT NULL, BL_FINISH_DT TEXT NOT NULL,
    BL_DUR_DAYS INTEGER NOT NULL, BL_FLOAT_DAYS INTEGER
);
CREATE TABLE POS_POSSESSION (
    POSS_ID INTEGER PRIMARY KEY, POSS_REF TEXT NOT NULL UNIQUE, ROUTE_ID INTEGER NOT NULL REFERENCES REF_ROUTE(ROUTE_ID),
    ELR_CODE TEXT NOT NULL, LINES_BLOCKED TEXT NOT NULL, START_MILES REAL NOT NULL, END_MILES REAL NOT NULL,
    POSS_TYPE_CD TEXT NOT NULL, POSS_START_DTM TEXT NOT NULL, POSS_END_DTM TEXT NOT NULL, POSS_HRS REAL NOT NULL,
    POSS_STATUS TEXT NOT NULL, HANDBACK_DTM TEXT, OVERRUN_MINS INTEGER, OVERRUN_CAUSE TEXT, CANCEL_REASON TEXT,
    PICOP_NAME TEXT NOT NULL
);
CREATE TABLE POS_POSSESSION_TASK (
    POSS_TASK_ID INTEGER PRIMARY KEY, POSS_ID INTEGER NOT NULL REFERENCES POS_POSSESSION(POSS_ID),
    TASK_ID INTEGER NOT NULL REFERENCES SCH_TASK(TASK_ID), PLANNED_WORK_HRS REAL NOT NULL, ACTUAL_WORK_HRS REAL,
    OUTCOME_CD TEXT
);
CREATE TABLE RES_GANG (
    GANG_ID INTEGER PRIMARY KEY, GANG_CODE TEXT NOT NULL UNIQUE, GANG_NAME TEXT NOT NULL, TRADE TEXT NOT NULL,
    EMPLOYER_NAME TEXT NOT NULL, SUPERVISOR_NAME TEXT NOT NULL, HEADCOUNT INTEGER NOT NULL, HOME_DEPOT TEXT NOT NULL,
    RATE_PER_HR_GBP REAL NOT NULL
);
CREATE TABLE RES_GANG_BOOKING (
    GANG_BKG_ID INTEGER PRIMARY KEY, GANG_ID INTEGER NOT NULL REFERENCES RES_GANG(GANG_ID),
    TASK_ID INTEGER NOT NULL REFERENCES SCH_TASK(TASK_ID), POSS_ID INTEGER REFERENCES POS_POSSESSION(POSS_ID),
    SHIFT_DT TEXT NOT NULL, BOOKED_HRS REAL NOT NULL, WORKED_HRS REAL, BKG_STATUS TEXT NOT NULL
);
CREATE TABLE RES_PLANT (
    PLANT_ID INTEGER PRIMARY KEY, PLANT_REF TEXT NOT NULL UNIQUE, PLANT_TYPE_CD TEXT NOT NULL,
    PLANT_DESC TEXT NOT NULL, SUPPLIER_NAME TEXT NOT NULL, HOME_DEPOT TEXT NOT NULL, SHIFT_RATE_GBP REAL NOT NULL,
    MAX_LIFT_T REAL
);
CREATE TABLE RES_PLANT_BOOKING (
    PLANT_BKG_ID INTEGER PRIMARY KEY, PLANT_ID INTEGER NOT NULL REFERENCES RES_PLANT(PLANT_ID),
    POSS_ID INTEGER NOT NULL REFERENCES POS_POSSESSION(POSS_ID), TASK_ID INTEGER NOT NULL REFERENCES SCH_TASK(TASK_ID),
    BOOKED_HRS REAL NOT NULL, USED_HRS REAL, HIRE_COST_GBP REAL NOT NULL, FAILURE_FLAG TEXT NOT NULL,
    BKG_STATUS TEXT NOT NULL
);
CREATE TABLE RSK_RISK (
    RISK_ID INTEGER PRIMARY KEY, SCHEME_ID INTEGER NOT NULL REFERENCES PRG_SCHEME(SCHEME_ID),
    TASK_ID INTEGER REFERENCES SCH_TASK(TASK_ID), RISK_REF TEXT NOT NULL UNIQUE, RISK_DESC TEXT NOT NULL,
    RISK_CAT TEXT NOT NULL, PROB_PCT INTEGER NOT NULL, IMPACT_SCORE INTEGER NOT NULL, COST_IMPACT_GBP REAL NOT NULL,
    TIME_IMPACT_DAYS INTEGER NOT NULL, RISK_OWNER TEXT NOT NULL, RESPONSE_CD TEXT NOT NULL, RISK_STATUS TEXT NOT NULL,
    RAISED_DT TEXT NOT NULL
);
CREATE TABLE CHG_REQUEST (
    CR_ID INTEGER PRIMARY KEY, SCHEME_ID INTEGER NOT NULL REFERENCES PRG_SCHEME(SCHEME_ID),
    CR_REF TEXT NOT NULL UNIQUE, CR_TITLE TEXT NOT NULL, RAISED_BY TEXT NOT NULL, CR_REASON TEXT NOT NULL,
    COST_GBP REAL NOT NULL, TIME_DAYS INTEGER NOT NULL, CR_STATUS TEXT NOT NULL, RAISED_DT TEXT NOT NULL,
    DECISION_DT TEXT
);
"""

ROUTES = [
    (1, "ANG", "Anglia", "Eastern", "Helen Marchetti", "Romford ROC"),
    (2, "LNE", "East Coast Main Line", "Eastern", "Graham Oduya", "York ROC"),
    (3, "WSX", "Wessex", "Southern", "Priya Ramanathan", "Basingstoke ROC"),
    (4, "WAL", "Wales and Borders", "Wales and Western", "Owain Pritchard", "Cardiff ROC"),
    (5, "NWC", "North West Central", "North West and Central", "Declan Byrne", "Manchester ROC"),
]

BANK_HOLIDAYS = {
    "2024-05-06": "Early May bank holiday", "2024-05-27": "Spring bank holiday",
    "2024-08-26": "Summer bank holiday", "2024-12-25": "Christmas Day", "2024-12-26": "Boxing Day",
    "2025-01-01": "New Year's Day", "2025-04-18": "Good Friday", "2025-04-21": "Easter Monday",
    "2025-05-05": "Early May bank holiday", "2025-05-26": "Spring bank holiday",
    "2025-08-25": "Summer bank holiday", "2025-12-25": "Christmas Day", "2025-12-26": "Boxing Day",
    "2026-01-01": "New Year's Day",
}

GANGS = [
    # code, name, trade, employer, supervisor, headcount, depot, rate per hour
    ("G-TRK-01", "Anglia Track Relay Gang 1", "Track", "Kestrel Rail Ltd", "Darren Hollis", 14, "Ipsmoor Depot", 46.0),
    ("G-TRK-02", "ECML Track Relay Gang", "Track", "Northway Track Services", "Stuart Kerrigan", 16, "Stanmoor Yard",
     44.5),
    ("G-TRK-03", "Delivery Unit P-Way Gang", "Track", "In-house Delivery Unit", "Lee Fairbrother", 8,
     "Kettleby Yard", 38.0),
    ("G-SNC-01", "S&C Installation Gang", "S&C", "Kestrel Rail Ltd", "Marcus Quayle", 18, "Ipsmoor Depot", 49.0),
    ("G-WLD-01", "Thermit Welding Team A", "Welding", "Fusion Rail Welding", "Kieran Doyle", 4, "Ipsmoor Depot",
     52.0),
    ("G-WLD-02", "Thermit Welding Team B", "Welding", "Fusion Rail Welding", "Anton Petrov", 4, "Stanmoor Yard",
     52.0),
    ("G-SNT-01", "S&T Installation Gang 1", "Signalling", "Signet Signalling Ltd", "Rachel Odell", 10,
     "Kettleby Yard", 55.0),
    ("G-SNT-02", "S&T Installation Gang 2", "Signalling", "Signet Signalling Ltd", "Tomasz Wojcik", 8,
     "Kettleby Yard", 55.0),
    ("G-TST-01", "Signalling Test Team", "Testing", "Signet Signalling Ltd", "Geraint Lloyd", 5, "Kettleby Yard",
     68.0),
    ("G-CIV-01", "Civils Gang West", "Civils", "Tarn Civil Engineering", "Huw Bevan", 10, "Tarnbridge Compound",
     42.0),
    ("G-CIV-02", "Civils Gang North West", "Civils", "Mersey Groundworks Ltd", "Paula Greenhalgh", 9,
     "Ludgate Sidings", 41.0),
    ("G-STR-01", "Bridge Gang", "Structures", "Ferrocon Structures", "Niall Brennan", 12, "Ludgate Sidings", 50.0),
    ("G-STN-01", "Stations Works Gang", "Stations", "Platform Build Ltd", "Joanne Rudd", 9, "Ipsmoor Depot", 43.0),
    ("G-OLE-01", "OLE Gang", "OLE", "Overline Electrification", "Craig Mowbray", 6, "Ipsmoor Depot", 58.0),
]

PLANT = [
    # ref, type code, description, supplier, depot, shift rate, max lift (t)
    ("RRV-101", "RRV", "Road-rail excavator 360 with tilt-rotator", "Railquip Hire", "Ipsmoor Depot", 1850.0, 4.5),
    ("RRV-102", "RRV", "Road-rail excavator 360 with sleeper grab", "Railquip Hire", "Ipsmoor Depot", 1850.0, 4.5),
    ("RRV-115", "RRV", "Road-rail excavator 360 with rail handler", "Trackside Plant Co", "Stanmoor Yard", 1780.0,
     5.0),
    ("RRV-120", "RRV", "Road-rail dumper and trailer", "Trackside Plant Co", "Kettleby Yard", 1200.0, None),
    ("RRV-131", "RRV", "Road-rail excavator with cable drum trailer", "Railquip Hire", "Ludgate Sidings", 1650.0, 3.0),
    ("TMP-301", "TMP", "Plain line tamper", "Trackmaster Machines", "Stanmoor Yard", 9400.0, None),
    ("TMP-302", "TMP", "Switch and crossing tamper", "Trackmaster Machines", "Ipsmoor Depot", 11800.0, None),
    ("TMP-305", "TMP", "Plain line tamper", "Trackmaster Machines", "Tarnbridge Compound", 9400.0, None),
    ("DTS-401", "DTS", "Dynamic track stabiliser", "Trackmaster Machines", "Stanmoor Yard", 6200.0, None),
    ("BRG-501", "BRG", "Ballast regulator", "Trackmaster Machines", "Stanmoor Yard", 4800.0, None),
    ("CRN-601", "CRN", "Rail-mounted crane 125t", "Heavylift Rail", "Ipsmoor Depot", 16500.0, 125.0),
    ("CRN-602", "CRN", "Mobile road crane 500t", "Heavylift Rail", "Ludgate Sidings", 21000.0, 500.0),
    ("ENG-701", "ENG", "Engineering train - autoballaster hoppers", "Freightline Infrastructure", "Stanmoor Yard",
     14200.0, None),
    ("ENG-702", "ENG", "Engineering train - rail and sleeper delivery", "Freightline Infrastructure",
     "Stanmoor Yard", 13600.0, None),
    ("MWP-801", "MWP", "Road-rail MEWP", "Railquip Hire", "Kettleby Yard", 1400.0, None),
]

# site work kinds: (gang trades, plant refs)
KINDS = {
    "relay": (["Track"], ["RRV-115", "RRV-102", "ENG-702"]),
    "tamp": (["Track"], ["TMP-301", "DTS-401", "BRG-501"]),
    "snc": (["S&C", "Track"], ["CRN-601", "RRV-101"]),
    "snctamp": (["Track"], ["TMP-302", "BRG-501"]),
    "ballast": (["Track"], ["ENG-701", "RRV-101"]),
    "weld": (["Welding"], ["RRV-102"]),
    "drain": (["Track"], ["RRV-101", "RRV-120"]),
    "sig": (["Signalling"], ["RRV-120", "MWP-801"]),
    "test": (["Testing"], []),
    "bridge": (["Structures"], ["CRN-602", "RRV-131"]),
    "civ": (["Civils"], ["RRV-131"]),
    "stn": (["Stations"], ["RRV-101"]),
    "ole": (["OLE"], ["MWP-801"]),
    "civ_off": (["Civils"], []),
    "str_off": (["Structures"], []),
    "stn_off": (["Stations"], []),
    "tst_off": (["Testing"], []),
}
# gangs preferred per route for trades with more than one gang
ROUTE_GANGS = {
    ("ANG", "Track"): ["G-TRK-01"], ("LNE", "Track"): ["G-TRK-02"], ("WSX", "Track"): ["G-TRK-03"],
    ("WAL", "Track"): ["G-TRK-03"], ("NWC", "Track"): ["G-TRK-03"], ("ANG", "Welding"): ["G-WLD-01"],
    ("LNE", "Welding"): ["G-WLD-02"], ("WAL", "Civils"): ["G-CIV-01"], ("NWC", "Civils"): ["G-CIV-02"],
    ("ANG", "Civils"): ["G-CIV-01"], ("WSX", "Signalling"): ["G-SNT-01", "G-SNT-02"],
    ("ANG", "Signalling"): ["G-SNT-02"],
}
# plant swapped per route (a tamper and RRVs local to the site)
ROUTE_PLANT = {"WAL": {"TMP-301": "TMP-305", "RRV-131": "RRV-120"}, "NWC": {"TMP-301": "TMP-305"}}

SCHEMES = [
    # code, ref, name, route, programme, sponsor, pm, grip, authority, efc factor, start, margin days, status,
    # ELR, lines, miles from, miles to
    ("HDJ", "S-24017", "Hadley Junction S&C Renewal", "ANG", "Track Renewals", "Fiona Gallagher", "Ben Achterberg",
     6, 8650000.0, 1.12, dt.date(2024, 9, 2), 0, "ACTIVE", "HDM1", "Up and Down Main", 31.50, 32.20),
    ("BSP", "S-24022", "Brockwell to Stanmoor Plain Line Track Renewal", "LNE", "Track Renewals",
     "Fiona Gallagher", "Sanjay Mehra", 6, 12400000.0, 1.04, dt.date(2024, 8, 5), 14, "ACTIVE", "ECM2", "Up and Down Fast",
     104.25, 110.25),
    ("KRS", "S-23108", "Kettleby Resignalling Phase 2", "WSX", "Signalling Renewals", "Martin Osei",
     "Claire Dunphy", 6, 21800000.0, 1.18, dt.date(2024, 6, 3), 7, "ACTIVE", "KTL1", "Up and Down Kettleby",
     12.00, 18.50),
    ("RTV", "S-24031", "River Tarn Viaduct Strengthening", "WAL", "Structures", "Ieuan Morgan", "Bethan Price", 6,
     4300000.0, 1.09, dt.date(2024, 10, 7), 21, "ACTIVE", "TRV1", "Up and Down Main", 56.30, 56.60),
    ("FMS", "S-24040", "Fenmoor Station Platform Extensions", "ANG", "Stations", "Fiona Gallagher", "Aisha Kamara",
     6, 3900000.0, 0.97, dt.date(2025, 2, 3), 10, "ACTIVE", "FNM1", "Up and Down Main", 67.10, 67.45),
    ("LRB", "S-24009", "Ludgate Road Underbridge Replacement", "NWC", "Structures", "Patrick Nolan", "Gemma Whitlock",
     5, 6100000.0, 1.07, dt.date(2024, 9, 16), 0, "ACTIVE", "LGR3", "Up and Down Slow", 3.40, 3.55),
]

WPS = {
    # key: (wbs, name, discipline, contractor, manager, budget share)
    "HDJ": [("MGT", "1.0", "Management, consents and handback", "Management", "Network Rail", "Ben Achterberg", .06),
            ("DES", "2.0", "S&C and signalling interface design", "Design", "Arcline Design", "Farid Hussain", .08),
            ("PRC", "3.0", "S&C units and track materials", "Procurement", "Kestrel Rail Ltd", "Ben Achterberg", .38),
            ("SIT", "4.0", "Site establishment", "Track", "Kestrel Rail Ltd", "Darren Hollis", .03),
            ("TRK", "5.0", "Track and S&C installation", "Track", "Kestrel Rail Ltd", "Marcus Quayle", .37),
            ("SIG", "6.0", "Signalling alterations and testing", "Signalling", "Signet Signalling Ltd",
             "Geraint Lloyd", .08)],
    "BSP": [("MGT", "1.0", "Management and handback", "Management", "Network Rail", "Sanjay Mehra", .05),
            ("DES", "2.0", "Plain line design and survey", "Design", "Arcline Design", "Farid Hussain", .04),
            ("PRC", "3.0", "Rail, sleepers and ballast", "Procurement", "Northway Track Services", "Sanjay Mehra", .36),
            ("SIT", "4.0", "Access and site establishment", "Track", "Northway Track Services", "Stuart Kerrigan", .02),
            ("TRK", "5.0", "Relaying, tamping and destressing", "Track", "Northway Track Services",
             "Stuart Kerrigan", .53)],
    "KRS": [("MGT", "1.0", "Management and consents", "Management", "Network Rail", "Claire Dunphy", .05),
            ("DES", "2.0", "Signalling design and data", "Design", "Signet Signalling Ltd", "Yusuf Adeyemi", .16),
            ("PRC", "3.0", "REB, cables and equipment", "Procurement", "Signet Signalling Ltd", "Claire Dunphy", .25),
            ("INS", "4.0", "Signalling installation", "Signalling", "Signet Signalling Ltd", "Rachel Odell", .36),
            ("TST", "5.0", "Testing and commissioning", "Testing", "Signet Signalling Ltd", "Geraint Lloyd", .18)],
    "RTV": [("MGT", "1.0", "Management and environmental consents", "Management", "Network Rail", "Bethan Price",
             .07),
            ("DES", "2.0", "Assessment and strengthening design", "Design", "Capel Bridge Consultants",
             "Rhodri Evans", .12),
            ("CIV", "3.0", "Scaffold, masonry and parapets", "Civils", "Tarn Civil Engineering", "Huw Bevan", .49),
            ("STR", "4.0", "Deck waterproofing", "Structures", "Tarn Civil Engineering", "Huw Bevan", .22),
            ("TRK", "5.0", "Track reinstatement", "Track", "In-house Delivery Unit", "Lee Fairbrother", .10)],
    "FMS": [("MGT", "1.0", "Management, consents and handover", "Management", "Network Rail", "Aisha Kamara", .06),
            ("DES", "2.0", "Platform design", "Design", "Arcline Design", "Farid Hussain", .08),
            ("PRC", "3.0", "Precast platform units", "Procurement", "Platform Build Ltd", "Aisha Kamara", .20),
            ("CIV", "4.0", "Piling", "Civils", "Tarn Civil Engineering", "Huw Bevan", .14),
            ("STN", "5.0", "Platform and station works", "Stations", "Platform Build Ltd", "Joanne Rudd", .40),
            ("E&P", "6.0", "OLE and signalling alterations", "Electrification", "Overline Electrification",
             "Craig Mowbray", .12)],
    "LRB": [("MGT", "1.0", "Management, road closure and consents", "Management", "Network Rail", "Gemma Whitlock",
             .06),
            ("DES", "2.0", "Bridge design", "Design", "Capel Bridge Consultants", "Rhodri Evans", .09),
            ("PRC", "3.0", "Precast deck", "Procurement", "Ferrocon Structures", "Gemma Whitlock", .24),
            ("CIV", "4.0", "Utilities, abutments and temporary works", "Civils", "Mersey Groundworks Ltd",
             "Paula Greenhalgh", .23),
            ("BLK", "5.0", "Easter blockade bridge replacement", "Structures", "Ferrocon Structures",
             "Niall Brennan", .38)],
}


class SchemePlan:
    """Task list of one scheme: (key, desc, dur, wp, poss, kind, preds, slip, new, snet, location)."""

    def __init__(self, default_loc):
        self.tasks = []
        self.default_loc = default_loc

    def add(self, key, desc, dur, wp, preds=(), poss=None, kind=None, slip=0, new=False, snet=None, loc=None):
        if loc is None and (poss or kind):
            loc = self.default_loc
        self.tasks.append((key, desc, dur, wp, poss, kind, list(preds), slip, new, snet, loc))
        return key


def plan_hdj():
    s = SchemePlan("Hadley Junction 31m 40ch - 32m 16ch")
    s.add("atp", "Authority to proceed (GRIP 6 entry)", 0, "MGT")
    s.add("des", "S&C layout design and AFC drawings", 40, "DES", ["atp"])
    s.add("sigd", "Signalling interface design for S&C renewal", 30, "DES", ["des:SS10"])
    s.add("prsc", "Manufacture and deliver S&C units 1021A/B and 1023A/B", 150, "PRC", ["des"], slip=28)
    s.add("prpl", "Procure plain line rail, sleepers and ballast", 45, "PRC", ["des"])
    s.add("cmp", "Site compound and access point setup", 10, "SIT", ["atp:FS30"], kind="civ_off",
          loc="Hadley Lane access point")
    s.add("drn1", "Cess drainage renewal 31m 40ch - 31m 70ch", 4, "TRK", ["cmp"], "N", "drain")
    s.add("drn2", "Additional catchpits at Hadley Junction", 2, "TRK", ["drn1"], "N", "drain", new=True)
    s.add("prep", "Pre-possession: unload ballast and rail into cess", 2, "TRK", ["prpl", "cmp"], "W", "ballast")
    s.add("snc1", "Renew S&C units 1021A/B - Up Main", 2, "TRK", ["prsc", "prep", "drn1", "sigd"], "W", "snc",
          loc="Hadley Junction Up Main")
    s.add("tmp1", "Follow-up tamp S&C 1021A/B", 1, "TRK", ["snc1"], "W", "snctamp", loc="Hadley Junction Up Main")
    s.add("wld1", "Thermit welds and destressing - Up Main S&C", 2, "TRK", ["snc1"], "N", "weld",
          loc="Hadley Junction Up Main")
    s.add("snc2", "Renew S&C units 1023A/B - Down Main", 2, "TRK", ["snc1"], "W", "snc",
          loc="Hadley Junction Down Main")
    s.add("tmp2", "Follow-up tamp S&C 1023A/B", 1, "TRK", ["snc2"], "W", "snctamp", loc="Hadley Junction Down Main")
    s.add("wld2", "Thermit welds and destressing - Down Main S&C", 2, "TRK", ["snc2"], "N", "weld",
          loc="Hadley Junction Down Main")
    s.add("sigt", "Test and commission points 1021 and 1023", 1, "SIG", ["snc2", "wld1"], "W", "test")
    s.add("pway", "Plain line transitions and final tamp", 2, "TRK", ["tmp2", "wld2", "drn2"], "W", "tamp")
    s.add("svy", "Post-works track geometry survey and handback", 5, "TRK", ["pway", "sigt", "tmp1"])
    s.add("eis", "Entry into service and scheme completion", 0, "MGT", ["svy"])
    return s


def plan_bsp():
    s = SchemePlan("Brockwell - Stanmoor")
    s.add("atp", "Authority to proceed (GRIP 6 entry)", 0, "MGT")
    s.add("des", "Plain line design and track geometry survey", 30, "DES", ["atp"])
    s.add("prc", "Procure CEN60 rail and concrete sleepers - Up Fast", 90, "PRC", ["des:SS10"])
    s.add("prb", "Book ballast trains and spoil disposal", 20, "PRC", ["des"])
    s.add("prc2", "Procure CEN60 rail and concrete sleepers - Down Fast", 250, "PRC", ["des"], slip=14)
    s.add("cmp", "Access points and road-rail access setup", 8, "SIT", ["atp:FS20"], kind="civ_off",
          loc="Brockwell RRAP")
    miles = [(104.25, 105.00), (105.00, 105.75), (105.75, 106.50), (106.50, 108.00), (108.00, 108.75),
             (108.75, 109.50), (109.50, 110.25)]

    def chains(m):
        return f"{int(m)}m {round((m - int(m)) * 80):02d}ch"
    for n in (1, 2, 3):
        a, b = miles[n - 1]
        s.add(f"rly{n}", f"Relay site {n} Up Fast {chains(a)} - {chains(b)}", 2, "TRK",
              ["prc", "prb", "cmp"] if n == 1 else [f"rly{n - 1}"], "W", "relay", loc=f"Up Fast {chains(a)} - {chains(b)}")
        s.add(f"tmp{n}", f"Follow-up tamp site {n} Up Fast", 1, "TRK", [f"rly{n}"], "N", "tamp",
              loc=f"Up Fast {chains(a)} - {chains(b)}")
    a, b = miles[3]
    s.add("rly45", f"Christmas blockade: relay sites 4 and 5 Up and Down Fast {chains(a)} - {chains(108.75)}", 4,
          "TRK", ["rly3"], "B", "relay", snet=dt.date(2024, 12, 25), loc=f"Up and Down Fast {chains(a)} - 108m 60ch")
    s.add("tmp45", "Follow-up tamp sites 4 and 5", 2, "TRK", ["rly45"], "N", "tamp",
          loc="Up and Down Fast 106m 40ch - 108m 60ch")
    for n in (6, 7):
        a, b = miles[n - 2]
        s.add(f"rly{n}", f"Relay site {n} Down Fast {chains(a)} - {chains(b)}", 2, "TRK",
              ["prc2", "tmp45"] if n == 6 else [f"rly{n - 1}"], "W", "relay", loc=f"Down Fast {chains(a)} - {chains(b)}")
        s.add(f"tmp{n}", f"Follow-up tamp site {n} Down Fast", 1, "TRK", [f"rly{n}"], "N", "tamp",
              loc=f"Down Fast {chains(a)} - {chains(b)}")
    s.add("dst", "Destress CWR sites 1-7", 4, "TRK", ["tmp7", "tmp3"], "N", "weld")
    s.add("tsr", "Final tamp and remove temporary speed restrictions", 1, "TRK", ["dst"], "N", "tamp")
    s.add("cls", "Handback and scheme close-out", 5, "MGT", ["tsr"])
    s.add("eis", "Scheme completion", 0, "MGT", ["cls"])
    return s


def plan_krs():
    s = SchemePlan("Kettleby - Pellow 12m 00ch - 18m 40ch")
    s.add("atp", "Authority to proceed (GRIP 6 entry)", 0, "MGT")
    s.add("dd", "Detailed design and signalling plans", 60, "DES", ["atp"])
    s.add("ixd", "Interlocking data design and checking", 50, "DES", ["dd:SS30"])
    s.add("fat", "Factory acceptance testing of interlocking", 15, "DES", ["ixd"], slip=10)
    s.add("reb", "Manufacture and deliver REB (relocatable equipment building)", 200, "PRC", ["dd"], slip=30)
    s.add("cab", "Procure signalling cables and LOC cases", 60, "PRC", ["dd"])
    s.add("ctr", "Cable route and troughing installation Kettleby - Pellow", 4, "INS", ["cab"], "N", "sig")
    s.add("rebi", "Install REB at Pellow and power supply", 2, "INS", ["reb", "ctr"], "W", "sig",
          loc="Pellow REB site 17m 60ch")
    s.add("loc", "Install LOC cases and location foundations", 4, "INS", ["ctr"], "N", "sig")
    s.add("sst", "Install signal structures KT21 - KT34", 3, "INS", ["loc:SS2"], "N", "sig")
    s.add("axc", "Install axle counter heads", 3, "INS", ["ctr"], "N", "sig")
    s.add("cbl", "Pull and terminate signalling cables", 4, "INS", ["loc", "sst"], "N", "sig")
    s.add("prt", "Pre-testing and correlation", 4, "TST", ["cbl", "axc", "rebi"], "N", "test", slip=2)
    s.add("crt", "Principles testing of interlocking at REB", 10, "TST", ["fat", "prt"], kind="tst_off",
          loc="Pellow REB")
    s.add("com", "Stage 2 commissioning Kettleby - Pellow", 2, "TST", ["crt"], "W", "test")
    s.add("rec", "Recover redundant signalling equipment", 3, "INS", ["com"], "N", "sig")
    s.add("eis", "Stage 2 entry into service", 0, "MGT", ["com", "rec"])
    return s


def plan_rtv():
    s = SchemePlan("River Tarn Viaduct 56m 24ch - 56m 48ch")
    s.add("atp", "Authority to proceed (GRIP 6 entry)", 0, "MGT")
    s.add("pin", "Principal inspection and structural assessment", 30, "DES", ["atp"])
    s.add("ds", "Strengthening design and Approval in Principle (AiP)", 45, "DES", ["pin"])
    s.add("con", "Environmental consent for river works", 90, "MGT", ["pin"], slip=35)
    s.add("tw", "Temporary works design - scaffold encapsulation", 20, "DES", ["ds"])
    s.add("scf", "Erect scaffold encapsulation spans 1-4", 15, "CIV", ["tw", "con"], kind="civ_off")
    s.add("mas", "Masonry repairs and repointing spans 1-4", 40, "CIV", ["scf"], kind="civ_off")
    s.add("wp1", "Deck waterproofing spans 1-2 (track lift)", 2, "STR", ["scf:SS10"], "W", "bridge")
    s.add("wp2", "Deck waterproofing spans 3-4 (track lift)", 2, "STR", ["wp1"], "W", "bridge")
    s.add("par", "Parapet strengthening and new handrail", 3, "CIV", ["mas:SS20"], "N", "civ")
    s.add("trk", "Track reinstatement and tamp over viaduct", 1, "TRK", ["wp2"], "W", "tamp")
    s.add("dsc", "Strip scaffold and river reinstatement", 10, "CIV", ["mas", "par"], kind="civ_off")
    s.add("eis", "Scheme completion and handback", 0, "MGT", ["dsc", "trk"])
    return s


def plan_fms():
    s = SchemePlan("Fenmoor station 67m 08ch - 67m 36ch")
    s.add("atp", "Authority to proceed (GRIP 6 entry)", 0, "MGT")
    s.add("des", "Platform extension design and AFC drawings", 50, "DES", ["atp"])
    s.add("pla", "Planning and listed building consent", 70, "MGT", ["atp"])
    s.add("pcu", "Procure precast platform units and copers", 60, "PRC", ["des"])
    s.add("pil", "Mini-piling for platform 1 extension", 3, "CIV", ["des", "pla"], "N", "civ",
          loc="Fenmoor platform 1 (Up side)")
    s.add("pcn", "Install precast platform units platform 1", 2, "STN", ["pil", "pcu"], "W", "stn",
          loc="Fenmoor platform 1 (Up side)")
    s.add("pil2", "Mini-piling for platform 2 extension", 3, "CIV", ["pil"], "N", "civ",
          loc="Fenmoor platform 2 (Down side)")
    s.add("pcn2", "Install precast platform units platform 2", 2, "STN", ["pil2", "pcn"], "W", "stn",
          loc="Fenmoor platform 2 (Down side)")
    s.add("cop", "Copers, tactile paving and stepping distance checks", 4, "STN", ["pcn2"], "N", "stn")
    s.add("lgt", "Platform lighting, CIS screens and PA extension", 25, "STN", ["pcn:SS0"], kind="stn_off")
    s.add("cnp", "Canopy extension platform 1", 30, "STN", ["pcn"], kind="stn_off", slip=10,
          loc="Fenmoor platform 1 (Up side)")
    s.add("ole", "OLE modifications - move structure FN/67/14", 2, "E&P", ["des"], "N", "ole")
    s.add("sig", "Reposition signal FN12 and re-sight", 1, "E&P", ["pcn2"], "W", "sig")
    s.add("hnd", "Handover to station operator", 5, "MGT", ["cop", "lgt", "cnp", "sig", "ole"])
    s.add("eis", "Scheme completion", 0, "MGT", ["hnd"])
    return s


def plan_lrb():
    s = SchemePlan("Ludgate Road underbridge 3m 36ch")
    s.add("atp", "Authority to proceed (GRIP 5 entry)", 0, "MGT")
    s.add("des", "Bridge replacement design and AiP", 60, "DES", ["atp"])
    s.add("utl", "Utilities diversion (telecoms, gas main) - Ludgate Road", 45, "CIV", ["des:SS20"], kind="civ_off",
          slip=20, loc="Ludgate Road")
    s.add("pcd", "Precast deck manufacture and delivery", 100, "PRC", ["des"])
    s.add("abt", "Abutment strengthening and piling", 5, "CIV", ["des", "utl"], "N", "civ")
    s.add("tws", "Temporary works and crane pad construction", 15, "CIV", ["abt"], kind="civ_off",
          loc="Ludgate Road")
    s.add("rdc", "Road closure order for Ludgate Road", 30, "MGT", ["des"])
    s.add("dmo", "Easter blockade: demolish existing deck", 1, "BLK", ["pcd", "tws", "rdc"], "B", "bridge",
          snet=dt.date(2025, 4, 18))
    s.add("ins", "Easter blockade: lift in new precast deck", 1, "BLK", ["dmo"], "B", "bridge")
    s.add("wpf", "Easter blockade: waterproofing and ballast", 1, "BLK", ["ins"], "B", "bridge")
    s.add("rtk", "Easter blockade: relay track, tamp and handback", 1, "BLK", ["wpf"], "B", "tamp")
    s.add("fin", "Parapets, finishes and road reopening", 10, "CIV", ["rtk"], kind="str_off", loc="Ludgate Road")
    s.add("eis", "Scheme completion", 0, "MGT", ["fin"])
    return s


SCHEME_PLANS = {"HDJ": plan_hdj, "BSP": plan_bsp, "KRS": plan_krs, "RTV": plan_rtv, "FMS": plan_fms, "LRB": plan_lrb}

PICOPS = {"ANG": ["Gary Nunn", "Shelley Adebayo"], "LNE": ["Ian Thwaite", "Kelly Marsden"],
          "WSX": ["Paul Verity", "Dominic Hale"], "WAL": ["Gareth Jenkins"], "NWC": ["Sean Costello"]}
# possession times (start, end) of a weekend (Saturday to Monday) and a night, per route
WEEKEND_TIMES = {None: (dt.time(0, 30), dt.time(5, 0)), "WSX": (dt.time(1, 10), dt.time(4, 40)),
                 "LNE": (dt.time(0, 15), dt.time(6, 0))}
NIGHT_TIMES = {None: (dt.time(23, 30), dt.time(5, 30)), "LNE": (dt.time(0, 10), dt.time(5, 40)),
               "WSX": (dt.time(23, 50), dt.time(5, 10))}
# overruns known from the possession logs: scheme -> {task key or BLK: (minutes, cause)}
FORCED_OVERRUNS = {"BSP": {"BLK": (185, "Late engineering train arrival"), "tmp2": (55, "Tamper failure")}}
OVERRUN_CAUSES = ["Tamper failure", "Late engineering train arrival", "Weld failure - rework", "Late start of possession",
                  "RRV hydraulic failure", "Signalling test failure"]

RISKS = [
    # scheme, desc, category, prob pct, impact 1-5, cost, days, owner, response, status, raised, task key
    ("HDJ", "S&C unit manufacture slips again - further possession loss", "Supply Chain", 55, 5, 480000.0, 28,
     "Ben Achterberg", "MIT", "OPEN", "2024-12-02", "prsc"),
    ("HDJ", "Easter weekend possession not granted by train operator", "Possession Access", 30, 4, 220000.0, 14,
     "Ben Achterberg", "MIT", "OPEN", "2025-03-10", "snc2"),
    ("HDJ", "Crane outrigger ground bearing at Hadley Junction", "Engineering", 20, 3, 60000.0, 7, "Marcus Quayle",
     "MIT", "CLOSED", "2024-10-14", "snc1"),
    ("HDJ", "Ballast contamination found during excavation", "Engineering", 40, 2, 85000.0, 0, "Darren Hollis",
     "ACC", "OPEN", "2025-01-20", "pway"),
    ("BSP", "Tamper availability on the East Coast in spring", "Plant", 45, 3, 150000.0, 7, "Stuart Kerrigan",
     "MIT", "OPEN", "2025-02-17", "tmp6"),
    ("BSP", "Christmas blockade overrun delays New Year services", "Possession Access", 35, 5, 400000.0, 1,
     "Sanjay Mehra", "MIT", "OCCURRED", "2024-10-21", "rly45"),
    ("BSP", "Cold weather stops CWR destressing", "Weather", 50, 2, 40000.0, 10, "Stuart Kerrigan", "ACC", "OPEN",
     "2025-01-06", "dst"),
    ("BSP", "Down Fast rail delivery late from the rolling mill", "Supply Chain", 60, 3, 120000.0, 14,
     "Sanjay Mehra", "MIT", "OCCURRED", "2024-11-25", "prc2"),
    ("KRS", "REB delivery late from the manufacturer", "Supply Chain", 70, 4, 350000.0, 30, "Claire Dunphy", "MIT",
     "OCCURRED", "2024-09-09", "reb"),
    ("KRS", "Interlocking data errors found at principles testing", "Engineering", 35, 4, 180000.0, 14,
     "Yusuf Adeyemi", "MIT", "OPEN", "2024-12-09", "crt"),
    ("KRS", "Commissioning weekend clashes with Wessex resurfacing works", "Possession Access", 25, 5, 260000.0, 28,
     "Claire Dunphy", "AVD", "OPEN", "2025-02-24", "com"),
    ("KRS", "Shortage of licensed signalling testers", "Resource", 40, 3, 90000.0, 10, "Geraint Lloyd", "MIT",
     "OPEN", "2025-03-03", "prt"),
    ("RTV", "Environmental consent for river works delayed (fish spawning season)", "Consents", 65, 4, 95000.0, 35,
     "Bethan Price", "MIT", "OCCURRED", "2024-10-28", "con"),
    ("RTV", "Flood levels on the River Tarn stop scaffold work", "Weather", 35, 3, 70000.0, 10, "Huw Bevan", "ACC",
     "OPEN", "2025-01-13", "mas"),
    ("RTV", "Masonry in worse condition than assessed", "Engineering", 30, 3, 210000.0, 15, "Rhodri Evans", "MIT",
     "OPEN", "2025-02-03", "mas"),
    ("FMS", "Listed building consent conditions on the canopy", "Consents", 30, 2, 45000.0, 10, "Aisha Kamara",
     "MIT", "OPEN", "2024-11-18", "cnp"),
    ("FMS", "Precast unit damage in transit", "Supply Chain", 15, 2, 30000.0, 7, "Joanne Rudd", "TRF", "CLOSED",
     "2024-12-16", "pcu"),
    ("LRB", "Road closure order for the Easter blockade refused", "Third Party", 20, 5, 650000.0, 90,
     "Gemma Whitlock", "MIT", "OPEN", "2024-11-04", "rdc"),
    ("LRB", "Gas main diversion late (utility company)", "Third Party", 60, 4, 140000.0, 20, "Paula Greenhalgh",
     "MIT", "OCCURRED", "2024-10-07", "utl"),
    ("LRB", "500t crane breakdown during the deck lift", "Plant", 10, 5, 500000.0, 60, "Niall Brennan", "TRF",
     "OPEN", "2025-02-10", "ins"),
    ("LRB", "Buried services found at the abutments", "Engineering", 25, 3, 80000.0, 5, "Paula Greenhalgh", "ACC",
     "CLOSED", "2024-12-02", None),
]

CHANGES = [
    # scheme, title, raised by, reason, cost, days, status, raised, decision
    ("HDJ", "Extend possession programme for late S&C units", "Contractor", "Supply chain delay", 310000.0, 28,
     "APPROVED", "2025-01-13", "2025-02-03"),
    ("HDJ", "Add catchpits to Hadley Junction drainage", "Client", "Scope change", 42000.0, 2, "APPROVED",
     "2024-11-11", "2024-11-25"),
    ("HDJ", "Switch heaters on the new S&C units", "Client", "Scope change", 96000.0, 0, "SUBMITTED", "2025-03-17",
     None),
    ("BSP", "Christmas blockade overrun costs (Schedule 4 compensation)", "Client", "Possession overrun",
     185000.0, 0, "APPROVED", "2025-01-08", "2025-02-12"),
    ("BSP", "Re-sequence Down Fast relays after late rail delivery", "Contractor", "Supply chain delay", 64000.0, 14,
     "APPROVED", "2024-12-09", "2025-01-06"),
    ("BSP", "Add site 8 plain line relay", "Client", "Scope change", 720000.0, 21, "REJECTED", "2025-02-03",
     "2025-03-03"),
    ("KRS", "REB delivery delay - programme extension", "Contractor", "Supply chain delay", 280000.0, 35,
     "SUBMITTED", "2025-02-10", None),
    ("KRS", "Additional axle counter section at Pellow sidings", "Client", "Scope change", 155000.0, 5, "APPROVED",
     "2024-10-07", "2024-11-04"),
    ("KRS", "Interlocking data rework after design check", "Contractor", "Design change", 88000.0, 10, "DRAFT",
     "2025-03-24", None),
    ("RTV", "Late environmental consent - extension of time", "Contractor", "Consents delay", 52000.0, 35,
     "APPROVED", "2025-01-20", "2025-02-17"),
    ("RTV", "Additional masonry repairs span 3", "Contractor", "Design change", 138000.0, 8, "SUBMITTED",
     "2025-03-10", None),
    ("FMS", "Extend canopy to cover waiting shelter", "Client", "Scope change", 76000.0, 10, "APPROVED",
     "2025-01-27", "2025-02-24"),
    ("LRB", "Gas main diversion delay costs", "Contractor", "Third party delay", 118000.0, 20, "APPROVED",
     "2024-12-16", "2025-01-13"),
    ("LRB", "Accelerate deck casting to protect the Easter blockade", "Client", "Acceleration", 95000.0, -10,
     "WITHDRAWN", "2025-01-06", None),
]


def parse_pred(p):
    key, _, rest = p.partition(":")
    if not rest:
        return key, "FS", 0
    return key, rest[:2], int(rest[2:] or 0)


def cpm(durs, links, base, poss, snet, anchor=None):
    """Forward and backward pass in days from base; durs: {key: dur}, links: [(pred, succ, type, lag)].
    Weekend-possession work ('W') starts on a Saturday and work held to a date (snet) starts no earlier.
    The backward pass starts from anchor (a day index) when given, else from the network's end."""
    preds = {o: [] for o in durs}
    succs = {o: [] for o in durs}
    for p, s, t, lag in links:
        preds[s].append((p, t, lag))
        succs[p].append((s, t, lag))
    waiting = {o: len(preds[o]) for o in durs}
    ready = [o for o in durs if not waiting[o]]
    order = []
    while ready:
        o = ready.pop(0)
        order.append(o)
        for s, _, _ in succs[o]:
            waiting[s] -= 1
            if not waiting[s]:
                ready.append(s)
    assert len(order) == len(durs), "logic loop"
    es, ef = {}, {}
    for o in order:
        d = durs[o]
        start = 0
        for p, t, lag in preds[o]:
            if t == "FS":
                start = max(start, ef[p] + lag)
            elif t == "SS":
                start = max(start, es[p] + lag)
            elif t == "FF":
                start = max(start, ef[p] + lag - d)
            else:
                start = max(start, es[p] + lag - d)
        if snet.get(o):
            start = max(start, (snet[o] - base).days)
        if poss.get(o) == "W":
            while (base + dt.timedelta(days=start)).weekday() != 5:
                start += 1
        es[o], ef[o] = start, start + d
    end = max(ef.values())
    finish = end if anchor is None else anchor
    ls, lf = {}, {}
    for o in reversed(order):
        d = durs[o]
        f = finish
        for s, t, lag in succs[o]:
            if t == "FS":
                f = min(f, ls[s] - lag)
            elif t == "SS":
                f = min(f, ls[s] - lag + d)
            elif t == "FF":
                f = min(f, lf[s] - lag)
            else:
                f = min(f, lf[s] - lag + d)
        lf[o], ls[o] = f, f - d
    free = {}
    for o in order:
        f = finish - ef[o]
        for s, t, lag in succs[o]:
            if t == "FS":
                f = min(f, es[s] - lag - ef[o])
            elif t == "SS":
                f = min(f, es[s] - lag - es[o])
            elif t == "FF":
                f = min(f, ef[s] - lag - ef[o])
            else:
                f = min(f, ef[s] - lag - es[o])
        free[o] = f
    return es, ef, ls, lf, free, end


def day(base, n):
    return (base + dt.timedelta(days=n)).isoformat()


def finish_date(base, es, ef):
    """Inclusive finish: a 10-day task starting day 0 finishes on day 9; a milestone on its start."""
    return day(base, ef - 1 if ef > es else es)


def dtm(d, hhmm):
    return f"{d.isoformat()} {hhmm}"


def calendar_rows():
    rows = []
    d = dt.date(2024, 4, 1)
    while d <= dt.date(2026, 3, 31):
        ys = dt.date(d.year if d.month >= 4 else d.year - 1, 4, 1)
        off = (d - ys).days
        period = min(13, off // 28 + 1)
        week = min(52, off // 7 + 1)
        iso = d.isoformat()
        rows.append((iso, d.strftime("%a").upper(), "Y" if d.weekday() >= 5 else "N",
                     "Y" if iso in BANK_HOLIDAYS else "N", BANK_HOLIDAYS.get(iso),
                     f"{ys.year}/{(ys.year + 1) % 100:02d}", period, week))
        d += dt.timedelta(days=1)
    return rows


def poss_windows(kind, start_day, dur, route):
    """Possession windows (start, end) as datetimes for a task starting on start_day."""
    if kind == "W":
        ws, we = WEEKEND_TIMES.get(route, WEEKEND_TIMES[None])
        return [(dt.datetime.combine(start_day, ws), dt.datetime.combine(start_day + dt.timedelta(days=2), we))]
    ns, ne = NIGHT_TIMES.get(route, NIGHT_TIMES[None])
    out = []
    for n in range(min(dur, 4)):
        d = start_day + dt.timedelta(days=n)
        out.append((dt.datetime.combine(d if ns.hour >= 12 else d + dt.timedelta(days=1), ns),
                    dt.datetime.combine(d + dt.timedelta(days=1), ne)))
    return out


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    con.executemany("INSERT INTO REF_ROUTE VALUES (?,?,?,?,?,?)", ROUTES)
    con.executemany("INSERT INTO REF_CALENDAR VALUES (?,?,?,?,?,?,?,?)", calendar_rows())
    route_ids = {r[1]: r[0] for r in ROUTES}
    gang_ids, gang_row = {}, {}
    for i, g in enumerate(GANGS, 1):
        con.execute("INSERT INTO RES_GANG VALUES (?,?,?,?,?,?,?,?,?)", (i,) + g)
        gang_ids[g[0]], gang_row[g[0]] = i, g
    plant_ids, plant_row = {}, {}
    for i, p in enumerate(PLANT, 1):
        con.execute("INSERT INTO RES_PLANT VALUES (?,?,?,?,?,?,?,?)", (i,) + p)
        plant_ids[p[0]], plant_row[p[0]] = i, p

    ids = {"task": 0, "link": 0, "wp": 0, "bl": 0, "blt": 0, "poss": 0, "pt": 0, "gb": 0, "pb": 0}
    poss_seq = {}
    overruns_left = 5
    for s_idx, (code, sref, sname, route, prog, sponsor, pm, grip, auth, efc_f, start, margin, sstat, elr, lines,
                m_from, m_to) in enumerate(SCHEMES, 1):
        plan = SCHEME_PLANS[code]()
        tasks = {t[0]: t for t in plan.tasks}
        order = [t[0] for t in plan.tasks]
        links = []
        for t in plan.tasks:
            for p in t[6]:
                k, typ, lag = parse_pred(p)
                links.append((k, t[0], typ, lag))
        finish_key = order[-1]
        has_succ = {p for p, _, _, _ in links}
        for k in order:
            if k != finish_key and k not in has_succ:
                links.append((k, finish_key, "FS", 0))
        poss = {k: tasks[k][4] for k in order}
        snet = {k: tasks[k][9] for k in order}
        base_keys = [k for k in order if not tasks[k][8]]
        base_links = [lk for lk in links if lk[0] in base_keys and lk[1] in base_keys]
        b_es, b_ef, b_ls, b_lf, _, b_end = cpm({k: tasks[k][2] for k in base_keys}, base_links, start, poss, snet)
        anchor = b_end + margin
        u_durs = {k: tasks[k][2] + tasks[k][7] // 2 for k in base_keys}
        u_es, u_ef, u_ls, _, _, _ = cpm(u_durs, base_links, start, poss, snet, anchor)
        c_durs = {k: tasks[k][2] + tasks[k][7] for k in order}
        es, ef, ls, lf, ff, end = cpm(c_durs, links, start, poss, snet, anchor)
        ddi = (DATA_DATE - start).days + 1  # progress recorded to the end of the data date

        efc = round(auth * efc_f, -3)
        con.execute("INSERT INTO PRG_SCHEME VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (s_idx, sref, code, sname, route_ids[route], prog, sponsor, pm, grip, auth, efc,
                     start.isoformat(), day(start, anchor), day(start, end), DATA_DATE.isoformat(), sstat))
        wp_ids = {}
        for key, wbs, wname, disc, contractor, mgr, share in WPS[code]:
            ids["wp"] += 1
            wp_ids[key] = ids["wp"]
            con.execute("INSERT INTO PRG_WORK_PACKAGE VALUES (?,?,?,?,?,?,?,?,?)",
                        (ids["wp"], s_idx, f"{code}-{key}", wbs, wname, disc, contractor, mgr,
                         round(auth * share, -3)))
        task_ids, status, pct = {}, {}, {}
        for n, k in enumerate(order, 1):
            ids["task"] += 1
            task_ids[k] = ids["task"]
            _, desc, dur0, wp, pcd, kind, _, slip, new, _, loc = tasks[k]
            dur = c_durs[k]
            if ef[k] <= ddi and (dur > 0 or es[k] < ddi):
                st, pc, rem = "CO", 100.0, 0
            elif es[k] < ddi:
                st = "IP"
                pc = float(max(5, min(95, round(100 * (ddi - es[k]) / dur * rng.uniform(0.8, 1.0) / 5) * 5)))
                rem = ef[k] - ddi
            else:
                st, pc, rem = "NS", 0.0, dur
            status[k], pct[k] = st, pc
            tf = None if st == "CO" else lf[k] - ef[k]
            fl = None if st == "CO" else min(ff[k], tf)
            con.execute("INSERT INTO SCH_TASK VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["task"], s_idx, wp_ids[wp], f"{code}{1000 + n * 10}", desc,
                         "MLS" if dur == 0 else "TSK", pcd, loc, dur0, rem,
                         day(start, es[k]), finish_date(start, es[k], ef[k]),
                         None if st == "CO" else day(start, ls[k]),
                         None if st == "CO" else finish_date(start, ls[k], lf[k]),
                         day(start, es[k]) if st != "NS" else None,
                         finish_date(start, es[k], ef[k]) if st == "CO" else None,
                         tf, fl, "Y" if tf is not None and tf <= 0 else "N", pc, st))
        for p, s, typ, lag in links:
            ids["link"] += 1
            con.execute("INSERT INTO SCH_TASK_LINK VALUES (?,?,?,?,?)",
                        (ids["link"], task_ids[p], task_ids[s], typ, lag))

        # baselines: the authority baseline (current) and, for schemes started by the summer, a P10 snapshot
        snaps = [("BL01 Authority baseline", "AUTHORITY", start + dt.timedelta(days=14), sponsor, "Y",
                  (b_es, b_ef, {k: tasks[k][2] for k in base_keys}, {k: b_lf[k] - b_ef[k] for k in base_keys}))]
        if start <= dt.date(2024, 9, 2):
            snaps.append(("P10 2024/25 snapshot", "PERIOD SNAPSHOT", dt.date(2025, 1, 4), None, "N",
                          (u_es, u_ef, u_durs, {k: u_ls[k] - u_es[k] for k in base_keys})))
        for bname, btype, bdate, appr, cur, (s_es, s_ef, s_dur, s_tf) in snaps:
            ids["bl"] += 1
            con.execute("INSERT INTO SCH_BASELINE VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], s_idx, bname, btype, bdate.isoformat(), appr, cur))
            for k in base_keys:
                ids["blt"] += 1
                con.execute("INSERT INTO SCH_BASELINE_TASK VALUES (?,?,?,?,?,?,?)",
                            (ids["blt"], ids["bl"], task_ids[k], day(start, s_es[k]),
                             finish_date(start, s_es[k], s_ef[k]), s_dur[k], s_tf[k]))

        # possessions: one per weekend / night window of each task needing one, shared by tasks of the
        # scheme in the same window; a blockade spans all of its tasks
        windows = {}
        for k in order:
            pcd = poss[k]
            if not pcd:
                continue
            sd = start + dt.timedelta(days=es[k])
            if pcd == "B":
                first = min(es[x] for x in order if poss[x] == "B")
                last = max(ef[x] for x in order if poss[x] == "B")
                fd = start + dt.timedelta(days=first)
                wins = [(dt.datetime.combine(fd, dt.time(0, 30)),
                         dt.datetime.combine(start + dt.timedelta(days=last), dt.time(5, 0)))]
            else:
                wins = poss_windows(pcd, sd, c_durs[k], route)
            for w in wins:
                windows.setdefault(w, {"type": pcd, "tasks": []})["tasks"].append(k)
        # the original weekend of slipped possession work that was lost before the data date is kept as a
        # cancelled possession
        for k in order:
            if poss[k] == "W" and k in b_es and b_es[k] != es[k]:
                bd = start + dt.timedelta(days=b_es[k])
                if bd <= DATA_DATE + dt.timedelta(days=30):
                    for w in poss_windows("W", bd, tasks[k][2], route):
                        if w not in windows:
                            windows[w] = {"type": "W", "tasks": [k], "cancel": True}
        for (ws, we), info in sorted(windows.items()):
            ids["poss"] += 1
            pid = ids["poss"]
            yr = ws.year % 100
            poss_seq[(route, yr)] = poss_seq.get((route, yr), 0) + 1
            pref = f"{route}/{yr}/{poss_seq[(route, yr)] + 100 * route_ids[route]:04d}"
            hrs = round((we - ws).total_seconds() / 3600, 1)
            ptype = {"W": "WE", "N": "NT", "B": "BLK"}[info["type"]]
            cancel = None
            over, cause, handback = None, None, None
            if info.get("cancel"):
                pstat = "Cancelled"
                cancel = {"HDJ": "S&C units not delivered - manufacturing delay",
                          "BSP": "Rail for Down Fast sites not delivered",
                          "KRS": "REB not delivered - installation not ready",
                          "RTV": "Environmental consent not granted in time"}.get(code, "Works not ready")
            elif we <= dt.datetime.combine(DATA_DATE, dt.time(23, 59)):
                forced = FORCED_OVERRUNS.get(code, {}).get(ptype if ptype == "BLK" else info["tasks"][0])
                if forced or (overruns_left > 0 and ptype == "WE" and rng.random() < 0.35) or \
                        (overruns_left > 0 and ptype == "NT" and rng.random() < 0.08):
                    pstat = "Overrun"
                    overruns_left -= 0 if forced else 1
                    over, cause = forced or (rng.choice([20, 35, 45, 70, 95, 140]), rng.choice(OVERRUN_CAUSES))
                    handback = we + dt.timedelta(minutes=over)
                else:
                    pstat = "Completed"
                    handback = we - dt.timedelta(minutes=rng.choice([0, 10, 15, 30, 45, 60]))
            elif ws.date() <= DATA_DATE + dt.timedelta(days=56):
                pstat = "Confirmed"
            else:
                pstat = "Planned"
            t0 = tasks[info["tasks"][0]]
            loc0 = t0[10] or ""
            lines_b = next((x for x in ("Up and Down Fast", "Up Fast", "Down Fast") if loc0.startswith(x)), lines)
            mf, mt = m_from, m_to
            if code == "BSP":
                loc = t0[10] or ""
                nums = [float(x.split("m ")[0]) + int(x.split("m ")[1][:2]) / 80
                        for x in loc.replace("Up and Down Fast ", "").replace("Up Fast ", "")
                        .replace("Down Fast ", "").split(" - ") if "m " in x]
                if len(nums) == 2:
                    mf, mt = round(nums[0], 2), round(nums[1], 2)
            con.execute("INSERT INTO POS_POSSESSION VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (pid, pref, route_ids[route], elr, lines_b, mf, mt, ptype, ws.strftime("%Y-%m-%d %H:%M"),
                         we.strftime("%Y-%m-%d %H:%M"), hrs, pstat,
                         handback.strftime("%Y-%m-%d %H:%M") if handback else None, over, cause, cancel,
                         rng.choice(PICOPS[route])))
            past = pstat in ("Completed", "Overrun")
            for k in info["tasks"]:
                kind = tasks[k][5]
                work = round(max(1.0, hrs - 1.5) if ptype != "BLK" else 24.0 * c_durs[k] - 2, 1)
                if ptype == "BLK":
                    work = round(min(work, hrs - 2), 1)
                if pstat == "Cancelled":
                    actual, outcome = 0.0, "N"
                elif past:
                    actual = round(work * rng.uniform(0.8, 1.0) + (over or 0) / 60, 1)
                    outcome = "C" if status[k] == "CO" or pstat == "Completed" else "P"
                    if pstat == "Overrun" and status[k] != "CO":
                        outcome = "P"
                else:
                    actual, outcome = None, None
                ids["pt"] += 1
                con.execute("INSERT INTO POS_POSSESSION_TASK VALUES (?,?,?,?,?,?)",
                            (ids["pt"], pid, task_ids[k], work, actual, outcome))
                trades, plant = KINDS[kind]
                bstat = "X" if pstat == "Cancelled" else ("W" if past else ("C" if pstat == "Confirmed" else "R"))
                for trade in trades:
                    cands = ROUTE_GANGS.get((route, trade)) or [g[0] for g in GANGS if g[2] == trade]
                    g = cands[(ids["pt"]) % len(cands)]
                    ids["gb"] += 1
                    booked = round(min(work, 12.0 * max(1, round(work / 24 + 0.49))), 1)
                    worked = None
                    if past:
                        worked = round(booked * rng.uniform(0.85, 1.05) + (over or 0) / 60, 1)
                    elif pstat == "Cancelled":
                        worked = 0.0
                    con.execute("INSERT INTO RES_GANG_BOOKING VALUES (?,?,?,?,?,?,?,?)",
                                (ids["gb"], gang_ids[g], task_ids[k], pid, ws.date().isoformat(), booked, worked,
                                 bstat))
                for pref_ in plant:
                    pref_ = ROUTE_PLANT.get(route, {}).get(pref_, pref_)
                    row = plant_row[pref_]
                    booked = round(max(1.0, work), 1)
                    used = None
                    fail = "N"
                    if past:
                        used = round(booked * rng.uniform(0.55, 0.95), 1)
                        if pstat == "Overrun" and cause and row[1] == "TMP" and cause == "Tamper failure":
                            fail = "Y"
                        if pstat == "Overrun" and cause == "RRV hydraulic failure" and row[1] == "RRV":
                            fail = "Y"
                    elif pstat == "Cancelled":
                        used = 0.0
                    shifts = max(1, round(booked / 12))
                    cost = row[5] * shifts * (0.5 if pstat == "Cancelled" else 1.0)
                    ids["pb"] += 1
                    con.execute("INSERT INTO RES_PLANT_BOOKING VALUES (?,?,?,?,?,?,?,?,?)",
                                (ids["pb"], plant_ids[pref_], pid, task_ids[k], booked, used, round(cost, 2), fail,
                                 bstat))
        # off-track site work: gang shifts without a possession, one booking per week of work
        for k in order:
            kind = tasks[k][5]
            if poss[k] or not kind:
                continue
            trades, _ = KINDS[kind]
            for trade in trades:
                cands = ROUTE_GANGS.get((route, trade)) or [g[0] for g in GANGS if g[2] == trade]
                g = cands[0]
                for wk in range(0, c_durs[k], 7):
                    d = start + dt.timedelta(days=es[k] + wk)
                    days = min(7, c_durs[k] - wk)
                    booked = round(days * 10.0 * 5 / 7, 1)
                    if d + dt.timedelta(days=days - 1) <= DATA_DATE:
                        worked, bstat = round(booked * rng.uniform(0.85, 1.1), 1), "W"
                    elif d <= DATA_DATE + dt.timedelta(days=28):
                        worked, bstat = None, "C"
                    else:
                        worked, bstat = None, "R"
                    ids["gb"] += 1
                    con.execute("INSERT INTO RES_GANG_BOOKING VALUES (?,?,?,?,?,?,?,?)",
                                (ids["gb"], gang_ids[g], task_ids[k], None, d.isoformat(), booked, worked, bstat))

        n = 0
        for r in RISKS:
            if r[0] != code:
                continue
            n += 1
            con.execute("INSERT INTO RSK_RISK VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (None, s_idx, task_ids[r[11]] if r[11] else None, f"R-{code}-{n:03d}") + r[1:11])
        n = 0
        for c in CHANGES:
            if c[0] != code:
                continue
            n += 1
            con.execute("INSERT INTO CHG_REQUEST VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                        (None, s_idx, f"CR-{code}-{n:03d}") + c[1:])
    con.commit()
    return con


TABLE_META = {
    "REF_ROUTE": ("Reference list of the routes (geographic business units) of the rail network", {
        "ROUTE_ID": ("Route key", "INTEGER"),
        "ROUTE_CODE": ("Three-letter route code, e.g. ANG, LNE, WSX", "TEXT"),
        "ROUTE_NAME": ("Route name, e.g. Anglia, East Coast Main Line, Wessex", "TEXT"),
        "REGION_NAME": ("Region the route belongs to", "TEXT"),
        "ROUTE_DIRECTOR": ("Route director accountable for the route", "TEXT"),
        "CONTROL_CENTRE": ("Rail operating centre (ROC) that signals the route", "TEXT"),
    }),
    "REF_CALENDAR": ("Calendar of days (April 2024 to March 2026) with weekends, bank holidays and the rail "
                     "financial year, period and week of each day", {
        "CAL_DT": ("Calendar day (YYYY-MM-DD)", "DATE"),
        "DAY_NAME": ("Day of the week, three letters upper case: MON .. SUN", "TEXT"),
        "WEEKEND_FLAG": ("Y on Saturdays and Sundays, else N", "TEXT"),
        "BANK_HOL_FLAG": ("Y on an English bank holiday, else N", "TEXT"),
        "HOLIDAY_NAME": ("Name of the bank holiday, e.g. Good Friday; null on other days", "TEXT"),
        "RAIL_YEAR": ("Rail financial year, April to March, e.g. 2024/25", "TEXT"),
        "RAIL_PERIOD": ("Rail period 1-13 of the financial year (four-week periods from 1 April; period 13 runs "
                        "to 31 March)", "INTEGER"),
        "RAIL_WEEK": ("Week number 1-52 of the rail financial year", "INTEGER"),
    }),
    "PRG_SCHEME": ("Schemes (projects) of the renewals programme, with cost, dates and the current forecast", {
        "SCHEME_ID": ("Scheme key", "INTEGER"),
        "SCHEME_REF": ("Programme reference of the scheme, e.g. S-24017", "TEXT"),
        "SCHEME_CODE": ("Three-letter scheme code, also the prefix of its task references, e.g. HDJ", "TEXT"),
        "SCHEME_NAME": ("Full scheme name, e.g. Hadley Junction S&C Renewal", "TEXT"),
        "ROUTE_ID": ("Route the scheme is on (REF_ROUTE.ROUTE_ID)", "INTEGER"),
        "PROGRAMME_NAME": ("Renewals programme (asset portfolio) the scheme is funded from", "TEXT"),
        "SPONSOR_NAME": ("Client sponsor of the scheme", "TEXT"),
        "PROJ_MGR_NAME": ("Project manager", "TEXT"),
        "GRIP_STAGE": ("Current project lifecycle stage 1-8 (5 detailed design, 6 construction, 7 scheme "
                       "handback, 8 close-out)", "INTEGER"),
        "AUTH_COST_GBP": ("Authorised cost in GBP (the approved budget)", "REAL"),
        "EFC_GBP": ("Estimated final cost in GBP as of the data date", "REAL"),
        "START_DT": ("Scheme start (authority to proceed)", "DATE"),
        "PLANNED_COMPL_DT": ("Planned completion date the schedule is measured against (authority baseline "
                             "finish plus contingency)", "DATE"),
        "FCST_COMPL_DT": ("Forecast completion from the current schedule", "DATE"),
        "DATA_DT": ("Data date of the current schedule update", "DATE"),
        "SCHEME_STATUS": ("Scheme status", "TEXT"),
    }),
    "PRG_WORK_PACKAGE": ("Work packages of each scheme (the WBS), with the contractor delivering them", {
        "WP_ID": ("Work package key", "INTEGER"),
        "SCHEME_ID": ("Scheme (PRG_SCHEME.SCHEME_ID)", "INTEGER"),
        "WP_CODE": ("Work package code, scheme code plus package, e.g. HDJ-TRK", "TEXT"),
        "WBS_CODE": ("WBS number within the scheme, e.g. 5.0", "TEXT"),
        "WP_NAME": ("Work package name", "TEXT"),
        "DISCIPLINE": ("Engineering discipline of the package", "TEXT"),
        "CONTRACTOR_NAME": ("Contractor delivering the package ('Network Rail' for client-managed work)", "TEXT"),
        "WP_MGR_NAME": ("Package manager", "TEXT"),
        "BUDGET_GBP": ("Package budget in GBP", "REAL"),
    }),
    "SCH_TASK": ("Tasks of the current schedule of each scheme, as of the data date, with CPM dates and float", {
        "TASK_ID": ("Task key", "INTEGER"),
        "SCHEME_ID": ("Scheme (PRG_SCHEME.SCHEME_ID)", "INTEGER"),
        "WP_ID": ("Work package / WBS (PRG_WORK_PACKAGE.WP_ID)", "INTEGER"),
        "TASK_REF": ("Task ID as shown in the programme, scheme code plus number, e.g. HDJ1100", "TEXT"),
        "TASK_DESC": ("Task description", "TEXT"),
        "TASK_TYPE": ("Task type code", "TEXT"),
        "POSS_REQD_CD": ("Kind of track possession the task needs; null for work that needs none (design, "
                         "procurement, off-track work)", "TEXT"),
        "LOCATION_DESC": ("Where on the line the work is, with mileages or platform; null for office work",
                          "TEXT"),
        "ORIG_DUR_DAYS": ("Original duration in calendar days", "INTEGER"),
        "REM_DUR_DAYS": ("Remaining duration in calendar days", "INTEGER"),
        "EARLY_START_DT": ("Early start (actual start once started)", "DATE"),
        "EARLY_FINISH_DT": ("Early finish (actual finish once complete, else the forecast finish)", "DATE"),
        "LATE_START_DT": ("Late start from the backward pass; null when complete", "DATE"),
        "LATE_FINISH_DT": ("Late finish from the backward pass; null when complete", "DATE"),
        "ACT_START_DT": ("Actual start; null until started", "DATE"),
        "ACT_FINISH_DT": ("Actual finish; null until complete", "DATE"),
        "TOTAL_FLOAT_DAYS": ("Total float in days against the scheme's planned completion (late finish minus "
                             "early finish); negative when the path is behind; null when complete", "INTEGER"),
        "FREE_FLOAT_DAYS": ("Free float in days (slip possible before any successor moves); null when complete",
                            "INTEGER"),
        "CRIT_FLAG": ("Critical flag: Y when total float <= 0, else N", "TEXT"),
        "PCT_COMPLETE": ("Physical percent complete, 0-100", "REAL"),
        "TASK_STATUS": ("Task status code", "TEXT"),
    }),
    "SCH_TASK_LINK": ("Logic links (predecessor / successor relationships) between tasks", {
        "LINK_ID": ("Link key", "INTEGER"),
        "PRED_TASK_ID": ("Predecessor task (SCH_TASK.TASK_ID)", "INTEGER"),
        "SUCC_TASK_ID": ("Successor task (SCH_TASK.TASK_ID)", "INTEGER"),
        "LINK_TYPE": ("Relationship type code", "TEXT"),
        "LAG_DAYS": ("Lag in calendar days (0 when none)", "INTEGER"),
    }),
    "SCH_BASELINE": ("Saved baselines of each scheme's schedule", {
        "BASELINE_ID": ("Baseline key", "INTEGER"),
        "SCHEME_ID": ("Scheme (PRG_SCHEME.SCHEME_ID)", "INTEGER"),
        "BL_NAME": ("Baseline name", "TEXT"),
        "BL_TYPE": ("Baseline type", "TEXT"),
        "BL_DT": ("Date the baseline was saved", "DATE"),
        "APPROVED_BY": ("Sponsor who approved it; null for period snapshots", "TEXT"),
        "CURRENT_FLAG": ("Y for the baseline variance is reported against, else N", "TEXT"),
    }),
    "SCH_BASELINE_TASK": ("Task dates, duration and float as saved in each baseline", {
        "BL_TASK_ID": ("Baseline task row key", "INTEGER"),
        "BASELINE_ID": ("Baseline (SCH_BASELINE.BASELINE_ID)", "INTEGER"),
        "TASK_ID": ("Task (SCH_TASK.TASK_ID)", "INTEGER"),
        "BL_START_DT": ("Baseline start", "DATE"),
        "BL_FINISH_DT": ("Baseline finish", "DATE"),
        "BL_DUR_DAYS": ("Baseline duration in calendar days", "INTEGER"),
        "BL_FLOAT_DAYS": ("Total float in days in the baseline", "INTEGER"),
    }),
    "POS_POSSESSION": ("Track possessions: booked closures of a line between two mileages for engineering work, "
                       "with their times, status and handback", {
        "POSS_ID": ("Possession key", "INTEGER"),
        "POSS_REF": ("Possession reference as published, route / year / number, e.g. ANG/25/0108", "TEXT"),
        "ROUTE_ID": ("Route of the possession (REF_ROUTE.ROUTE_ID)", "INTEGER"),
        "ELR_CODE": ("Engineer's Line Reference of the line, e.g. HDM1", "TEXT"),
        "LINES_BLOCKED": ("Lines closed, e.g. Up and Down Main, Down Fast", "TEXT"),
        "START_MILES": ("Mileage the possession starts at, in decimal miles (80 chains to the mile)", "REAL"),
        "END_MILES": ("Mileage the possession ends at, in decimal miles", "REAL"),
        "POSS_TYPE_CD": ("Possession type code", "TEXT"),
        "POSS_START_DTM": ("Possession start (YYYY-MM-DD HH:MM)", "DATETIME"),
        "POSS_END_DTM": ("Planned handback time (YYYY-MM-DD HH:MM)", "DATETIME"),
        "POSS_HRS": ("Planned length of the possession in hours", "REAL"),
        "POSS_STATUS": ("Possession status", "TEXT"),
        "HANDBACK_DTM": ("Actual handback of the line to traffic; null until taken, and for cancelled "
                         "possessions", "DATETIME"),
        "OVERRUN_MINS": ("Minutes the handback was late; null unless the possession overran", "INTEGER"),
        "OVERRUN_CAUSE": ("Cause of the overrun; null unless it overran", "TEXT"),
        "CANCEL_REASON": ("Why the possession was cancelled; null unless cancelled", "TEXT"),
        "PICOP_NAME": ("Person in charge of the possession (PICOP)", "TEXT"),
    }),
    "POS_POSSESSION_TASK": ("Which schedule tasks are worked in which possession, with planned and actual working "
                            "hours", {
        "POSS_TASK_ID": ("Possession task row key", "INTEGER"),
        "POSS_ID": ("Possession (POS_POSSESSION.POSS_ID)", "INTEGER"),
        "TASK_ID": ("Task worked (SCH_TASK.TASK_ID)", "INTEGER"),
        "PLANNED_WORK_HRS": ("Working hours planned for the task inside the possession", "REAL"),
        "ACTUAL_WORK_HRS": ("Working hours achieved; null until the possession is taken", "REAL"),
        "OUTCOME_CD": ("Outcome of the task in this possession; null until taken", "TEXT"),
    }),
    "RES_GANG": ("Labour gangs (work teams) by trade, own staff or contractor", {
        "GANG_ID": ("Gang key", "INTEGER"),
        "GANG_CODE": ("Gang code, e.g. G-TRK-01", "TEXT"),
        "GANG_NAME": ("Gang name", "TEXT"),
        "TRADE": ("Trade of the gang", "TEXT"),
        "EMPLOYER_NAME": ("Company employing the gang ('In-house Delivery Unit' for own staff)", "TEXT"),
        "SUPERVISOR_NAME": ("Gang supervisor / team leader", "TEXT"),
        "HEADCOUNT": ("Number of staff in the gang", "INTEGER"),
        "HOME_DEPOT": ("Depot the gang works from", "TEXT"),
        "RATE_PER_HR_GBP": ("Charge-out rate per person-hour in GBP", "REAL"),
    }),
    "RES_GANG_BOOKING": ("Gang shifts booked against tasks, in a possession or, for off-track work, without one", {
        "GANG_BKG_ID": ("Gang booking key", "INTEGER"),
        "GANG_ID": ("Gang (RES_GANG.GANG_ID)", "INTEGER"),
        "TASK_ID": ("Task the gang works on (SCH_TASK.TASK_ID)", "INTEGER"),
        "POSS_ID": ("Possession the shift is in (POS_POSSESSION.POSS_ID); null for off-track work", "INTEGER"),
        "SHIFT_DT": ("Date of the (first) shift", "DATE"),
        "BOOKED_HRS": ("Gang hours booked", "REAL"),
        "WORKED_HRS": ("Gang hours worked; null until worked", "REAL"),
        "BKG_STATUS": ("Booking status code", "TEXT"),
    }),
    "RES_PLANT": ("Plant and on-track machines available to the programme", {
        "PLANT_ID": ("Plant key", "INTEGER"),
        "PLANT_REF": ("Plant number, type code plus fleet number, e.g. TMP-302", "TEXT"),
        "PLANT_TYPE_CD": ("Plant type code", "TEXT"),
        "PLANT_DESC": ("Description of the machine", "TEXT"),
        "SUPPLIER_NAME": ("Hire company or owner", "TEXT"),
        "HOME_DEPOT": ("Depot or yard the machine is stabled at", "TEXT"),
        "SHIFT_RATE_GBP": ("Hire rate per 12-hour shift in GBP", "REAL"),
        "MAX_LIFT_T": ("Maximum lifting capacity in tonnes; null for machines that do not lift", "REAL"),
    }),
    "RES_PLANT_BOOKING": ("Plant booked into possessions for tasks, with hours and hire cost", {
        "PLANT_BKG_ID": ("Plant booking key", "INTEGER"),
        "PLANT_ID": ("Machine (RES_PLANT.PLANT_ID)", "INTEGER"),
        "POSS_ID": ("Possession (POS_POSSESSION.POSS_ID)", "INTEGER"),
        "TASK_ID": ("Task the machine works on (SCH_TASK.TASK_ID)", "INTEGER"),
        "BOOKED_HRS": ("Hours booked", "REAL"),
        "USED_HRS": ("Hours the machine actually worked; null until the possession is taken", "REAL"),
        "HIRE_COST_GBP": ("Hire cost in GBP (half the rate is charged for cancelled bookings)", "REAL"),
        "FAILURE_FLAG": ("Y when the machine failed in the possession, else N", "TEXT"),
        "BKG_STATUS": ("Booking status code", "TEXT"),
    }),
    "RSK_RISK": ("Risk register of the schemes", {
        "RISK_ID": ("Risk key", "INTEGER"),
        "SCHEME_ID": ("Scheme (PRG_SCHEME.SCHEME_ID)", "INTEGER"),
        "TASK_ID": ("Task the risk would hit (SCH_TASK.TASK_ID); null if none", "INTEGER"),
        "RISK_REF": ("Risk reference, e.g. R-KRS-002", "TEXT"),
        "RISK_DESC": ("Risk description", "TEXT"),
        "RISK_CAT": ("Risk category", "TEXT"),
        "PROB_PCT": ("Probability of occurrence in percent", "INTEGER"),
        "IMPACT_SCORE": ("Impact score 1 (very low) to 5 (very high)", "INTEGER"),
        "COST_IMPACT_GBP": ("Most likely cost impact in GBP", "REAL"),
        "TIME_IMPACT_DAYS": ("Most likely schedule impact in days", "INTEGER"),
        "RISK_OWNER": ("Person who owns the risk", "TEXT"),
        "RESPONSE_CD": ("Response strategy code", "TEXT"),
        "RISK_STATUS": ("Risk status", "TEXT"),
        "RAISED_DT": ("Date the risk was raised", "DATE"),
    }),
    "CHG_REQUEST": ("Change requests on the schemes, with cost and time impact", {
        "CR_ID": ("Change request key", "INTEGER"),
        "SCHEME_ID": ("Scheme (PRG_SCHEME.SCHEME_ID)", "INTEGER"),
        "CR_REF": ("Change request reference, e.g. CR-HDJ-001", "TEXT"),
        "CR_TITLE": ("What the change is", "TEXT"),
        "RAISED_BY": ("Party that raised it: Client or Contractor", "TEXT"),
        "CR_REASON": ("Reason for the change", "TEXT"),
        "COST_GBP": ("Cost impact in GBP", "REAL"),
        "TIME_DAYS": ("Time impact in days (negative for acceleration)", "INTEGER"),
        "CR_STATUS": ("Status of the change request", "TEXT"),
        "RAISED_DT": ("Date raised", "DATE"),
        "DECISION_DT": ("Date approved or rejected; null while open or withdrawn", "DATE"),
    }),
}

RELATIONSHIPS = [
    ("PRG_SCHEME", "REF_ROUTE", "PRG_SCHEME.ROUTE_ID = REF_ROUTE.ROUTE_ID", "Route of a scheme"),
    ("PRG_WORK_PACKAGE", "PRG_SCHEME", "PRG_WORK_PACKAGE.SCHEME_ID = PRG_SCHEME.SCHEME_ID",
     "Work packages of a scheme"),
    ("SCH_TASK", "PRG_SCHEME", "SCH_TASK.SCHEME_ID = PRG_SCHEME.SCHEME_ID", "Tasks of a scheme"),
    ("SCH_TASK", "PRG_WORK_PACKAGE", "SCH_TASK.WP_ID = PRG_WORK_PACKAGE.WP_ID", "Work package of a task"),
    ("SCH_TASK_LINK", "SCH_TASK", "SCH_TASK_LINK.PRED_TASK_ID = SCH_TASK.TASK_ID", "Predecessor of a link"),
    ("SCH_TASK_LINK", "SCH_TASK", "SCH_TASK_LINK.SUCC_TASK_ID = SCH_TASK.TASK_ID", "Successor of a link"),
    ("SCH_BASELINE", "PRG_SCHEME", "SCH_BASELINE.SCHEME_ID = PRG_SCHEME.SCHEME_ID", "Baselines of a scheme"),
    ("SCH_BASELINE_TASK", "SCH_BASELINE", "SCH_BASELINE_TASK.BASELINE_ID = SCH_BASELINE.BASELINE_ID",
     "Rows of a baseline"),
    ("SCH_BASELINE_TASK", "SCH_TASK", "SCH_BASELINE_TASK.TASK_ID = SCH_TASK.TASK_ID", "Task a baseline row saves"),
    ("POS_POSSESSION", "REF_ROUTE", "POS_POSSESSION.ROUTE_ID = REF_ROUTE.ROUTE_ID", "Route of a possession"),
    ("POS_POSSESSION", "REF_CALENDAR", "date(POS_POSSESSION.POSS_START_DTM) = REF_CALENDAR.CAL_DT",
     "Calendar day a possession starts on"),
    ("POS_POSSESSION_TASK", "POS_POSSESSION", "POS_POSSESSION_TASK.POSS_ID = POS_POSSESSION.POSS_ID",
     "Tasks worked in a possession"),
    ("POS_POSSESSION_TASK", "SCH_TASK", "POS_POSSESSION_TASK.TASK_ID = SCH_TASK.TASK_ID",
     "Possessions a task is worked in"),
    ("RES_GANG_BOOKING", "RES_GANG", "RES_GANG_BOOKING.GANG_ID = RES_GANG.GANG_ID", "Gang of a booking"),
    ("RES_GANG_BOOKING", "SCH_TASK", "RES_GANG_BOOKING.TASK_ID = SCH_TASK.TASK_ID", "Task a gang is booked on"),
    ("RES_GANG_BOOKING", "POS_POSSESSION", "RES_GANG_BOOKING.POSS_ID = POS_POSSESSION.POSS_ID",
     "Possession a gang shift is in"),
    ("RES_PLANT_BOOKING", "RES_PLANT", "RES_PLANT_BOOKING.PLANT_ID = RES_PLANT.PLANT_ID", "Machine of a booking"),
    ("RES_PLANT_BOOKING", "POS_POSSESSION", "RES_PLANT_BOOKING.POSS_ID = POS_POSSESSION.POSS_ID",
     "Possession a machine is booked into"),
    ("RES_PLANT_BOOKING", "SCH_TASK", "RES_PLANT_BOOKING.TASK_ID = SCH_TASK.TASK_ID",
     "Task a machine is booked for"),
    ("RSK_RISK", "PRG_SCHEME", "RSK_RISK.SCHEME_ID = PRG_SCHEME.SCHEME_ID", "Risks of a scheme"),
    ("RSK_RISK", "SCH_TASK", "RSK_RISK.TASK_ID = SCH_TASK.TASK_ID", "Task a risk would hit"),
    ("CHG_REQUEST", "PRG_SCHEME", "CHG_REQUEST.SCHEME_ID = PRG_SCHEME.SCHEME_ID", "Change requests of a scheme"),
    ("SCH_TASK", "REF_CALENDAR", "SCH_TASK.EARLY_START_DT = REF_CALENDAR.CAL_DT", "Calendar day a task starts on"),
]

BUSINESS_RULES = {
    ("SCH_TASK", "TASK_STATUS"): ["Allowed Values: NS (not started), IP (in progress), CO (complete)"],
    ("SCH_TASK", "TASK_TYPE"): ["Allowed Values: TSK (task with duration), MLS (milestone, zero duration)"],
    ("SCH_TASK", "POSS_REQD_CD"): ["Allowed Values: W (weekend possession), N (night possession), B (blockade, "
                                   "an extended possession over a bank holiday), null (no possession needed)"],
    ("SCH_TASK", "CRIT_FLAG"): ["Allowed Values: Y, N", "Critical: CRIT_FLAG = 'Y' when TOTAL_FLOAT_DAYS <= 0; "
                                "complete tasks carry no float and are N"],
    ("SCH_TASK", "TOTAL_FLOAT_DAYS"): ["Near critical: 0 < TOTAL_FLOAT_DAYS <= 10", "Negative float: the path "
                                       "finishes after the scheme's planned completion date"],
    ("SCH_TASK_LINK", "LINK_TYPE"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to "
                                     "finish), SF (start to finish)"],
    ("SCH_BASELINE", "BL_TYPE"): ["Allowed Values: AUTHORITY (approved authority baseline), PERIOD SNAPSHOT "
                                  "(copy of the schedule at a period end)"],
    ("SCH_BASELINE", "CURRENT_FLAG"): ["Allowed Values: Y, N"],
    ("POS_POSSESSION", "POSS_TYPE_CD"): ["Allowed Values: WE (weekend possession, Saturday early hours to Monday "
                                         "morning), NT (night possession, about six hours), BLK (blockade: "
                                         "several days' closure over a bank holiday)"],
    ("POS_POSSESSION", "POSS_STATUS"): ["Allowed Values: Planned, Confirmed, Cancelled, Completed, Overrun",
                                        "Possessions starting within 8 weeks of the data date (T-8) are "
                                        "Confirmed; later ones are Planned; Completed and Overrun have been taken"],
    ("POS_POSSESSION", "OVERRUN_MINS"): ["Overrun: handed back after POSS_END_DTM; POSS_STATUS = 'Overrun'"],
    ("POS_POSSESSION_TASK", "OUTCOME_CD"): ["Allowed Values: C (work completed), P (part done), N (not done, "
                                            "possession cancelled), null (not yet taken)"],
    ("RES_GANG_BOOKING", "BKG_STATUS"): ["Allowed Values: R (requested), C (confirmed), X (cancelled), W (worked)"],
    ("RES_PLANT_BOOKING", "BKG_STATUS"): ["Allowed Values: R (requested), C (confirmed), X (cancelled), "
                                          "W (worked)"],
    ("RES_PLANT_BOOKING", "FAILURE_FLAG"): ["Allowed Values: Y, N"],
    ("RES_PLANT", "PLANT_TYPE_CD"): ["Allowed Values: RRV (road-rail vehicle), TMP (tamper), DTS (dynamic track "
                                     "stabiliser), BRG (ballast regulator), CRN (crane), ENG (engineering train), "
                                     "MWP (mobile elevating work platform)"],
    ("RES_GANG", "TRADE"): ["Allowed Values: Track, S&C, Welding, Signalling, Testing, Civils, Structures, "
                            "Stations, OLE"],
    ("RSK_RISK", "RESPONSE_CD"): ["Allowed Values: AVD (avoid), MIT (mitigate), TRF (transfer), ACC (accept)"],
    ("RSK_RISK", "RISK_STATUS"): ["Allowed Values: OPEN, CLOSED, OCCURRED (the risk has happened)"],
    ("RSK_RISK", "RISK_CAT"): ["Allowed Values: Supply Chain, Possession Access, Engineering, Plant, Weather, "
                               "Resource, Consents, Third Party"],
    ("CHG_REQUEST", "CR_STATUS"): ["Allowed Values: DRAFT, SUBMITTED, APPROVED, REJECTED, WITHDRAWN"],
    ("PRG_SCHEME", "PROGRAMME_NAME"): ["Allowed Values: Track Renewals, Signalling Renewals, Structures, "
                                       "Stations"],
    ("PRG_SCHEME", "SCHEME_STATUS"): ["Allowed Values: ACTIVE, ON HOLD, CLOSED"],
    ("REF_CALENDAR", "WEEKEND_FLAG"): ["Allowed Values: Y, N"],
    ("REF_CALENDAR", "BANK_HOL_FLAG"): ["Allowed Values: Y, N"],
}

CONCEPTS = {
    ("SCH_TASK", "TOTAL_FLOAT_DAYS"): ["total_float", "critical_path"],
    ("SCH_TASK", "FREE_FLOAT_DAYS"): ["free_float"],
    ("SCH_TASK", "CRIT_FLAG"): ["critical_path"],
    ("SCH_TASK", "PCT_COMPLETE"): ["percent_complete"],
    ("SCH_TASK_LINK", "LAG_DAYS"): ["lag"],
    ("SCH_BASELINE_TASK", "BL_FINISH_DT"): ["baseline_variance"],
    ("SCH_BASELINE", "CURRENT_FLAG"): ["baseline_variance"],
    ("POS_POSSESSION", "OVERRUN_MINS"): ["possession_overrun"],
    ("POS_POSSESSION", "POSS_TYPE_CD"): ["blockade"],
    ("POS_POSSESSION", "POSS_HRS"): ["possession_utilisation"],
    ("POS_POSSESSION_TASK", "ACTUAL_WORK_HRS"): ["possession_utilisation"],
    ("RSK_RISK", "PROB_PCT"): ["risk_exposure"],
    ("PRG_SCHEME", "EFC_GBP"): ["cost_variance"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Days a task can slip before it delays the scheme's planned completion; negative when behind",
    "free_float": "Days a task can slip before it delays any successor",
    "critical_path": "The chain of tasks with the least float that drives the completion date",
    "percent_complete": "Physical progress of a task",
    "lag": "Waiting days on a relationship between tasks",
    "baseline_variance": "Current dates against the current (authority) baseline; a later finish means slipping",
    "possession_overrun": "A possession handed back to traffic after its booked end time",
    "blockade": "An extended closure of the line for several days, usually over a bank holiday",
    "possession_utilisation": "Working hours achieved in a possession against its booked hours",
    "risk_exposure": "Probability times cost impact of a risk",
    "cost_variance": "Estimated final cost against the authorised cost of a scheme",
}

QUERY_EXAMPLES = [
    ("SELECT SCHEME_REF, SCHEME_NAME, PLANNED_COMPL_DT, FCST_COMPL_DT FROM PRG_SCHEME ORDER BY START_DT;",
     "Schemes with their planned and forecast completion", "simple"),
    ("SELECT t.TASK_REF, t.TASK_DESC, t.EARLY_START_DT, t.TOTAL_FLOAT_DAYS FROM SCH_TASK t "
     "JOIN PRG_SCHEME s ON s.SCHEME_ID = t.SCHEME_ID WHERE s.SCHEME_CODE = 'BSP' AND t.CRIT_FLAG = 'Y' "
     "ORDER BY t.EARLY_START_DT;",
     "Critical tasks of one scheme", "medium"),
    ("SELECT POSS_REF, POSS_START_DTM, POSS_END_DTM, LINES_BLOCKED FROM POS_POSSESSION "
     "WHERE POSS_STATUS = 'Confirmed' ORDER BY POSS_START_DTM;",
     "Confirmed possessions in date order", "simple"),
    ("SELECT p.POSS_REF, p.POSS_START_DTM, t.TASK_REF, t.TASK_DESC FROM POS_POSSESSION p "
     "JOIN POS_POSSESSION_TASK pt ON pt.POSS_ID = p.POSS_ID JOIN SCH_TASK t ON t.TASK_ID = pt.TASK_ID "
     "WHERE p.POSS_TYPE_CD = 'WE' AND p.POSS_START_DTM >= '2025-04-01' ORDER BY p.POSS_START_DTM;",
     "Work planned in the coming weekend possessions", "medium"),
    ("SELECT r.ROUTE_NAME, COUNT(*) AS overruns, SUM(p.OVERRUN_MINS) AS total_mins FROM POS_POSSESSION p "
     "JOIN REF_ROUTE r ON r.ROUTE_ID = p.ROUTE_ID WHERE p.POSS_STATUS = 'Overrun' GROUP BY r.ROUTE_NAME;",
     "Possession overruns per route", "medium"),
    ("SELECT pl.PLANT_REF, pl.PLANT_DESC, SUM(b.BOOKED_HRS) AS booked, SUM(b.USED_HRS) AS used "
     "FROM RES_PLANT_BOOKING b JOIN RES_PLANT pl ON pl.PLANT_ID = b.PLANT_ID WHERE b.BKG_STATUS = 'W' "
     "GROUP BY pl.PLANT_REF, pl.PLANT_DESC;",
     "Booked against used hours of each machine in possessions already worked", "medium"),
    ("SELECT p.TASK_REF AS pred, s.TASK_REF AS succ, l.LINK_TYPE, l.LAG_DAYS FROM SCH_TASK_LINK l "
     "JOIN SCH_TASK p ON p.TASK_ID = l.PRED_TASK_ID JOIN SCH_TASK s ON s.TASK_ID = l.SUCC_TASK_ID "
     "WHERE l.LAG_DAYS <> 0;",
     "Relationships that carry a lag", "medium"),
    ("SELECT t.TASK_REF, t.TASK_DESC, b.BL_FINISH_DT, t.EARLY_FINISH_DT FROM SCH_TASK t "
     "JOIN SCH_BASELINE_TASK b ON b.TASK_ID = t.TASK_ID JOIN SCH_BASELINE bl ON bl.BASELINE_ID = b.BASELINE_ID "
     "WHERE bl.CURRENT_FLAG = 'Y' AND t.EARLY_FINISH_DT > b.BL_FINISH_DT;",
     "Tasks finishing later than the current baseline", "complex"),
    ("SELECT c.RAIL_PERIOD, COUNT(*) AS possessions FROM POS_POSSESSION p "
     "JOIN REF_CALENDAR c ON c.CAL_DT = date(p.POSS_START_DTM) WHERE c.RAIL_YEAR = '2024/25' "
     "GROUP BY c.RAIL_PERIOD ORDER BY c.RAIL_PERIOD;",
     "Possessions per rail period of 2024/25", "complex"),
]

KEYWORDS = {
    "float": ["SCH_TASK.TOTAL_FLOAT_DAYS", "SCH_TASK.FREE_FLOAT_DAYS", "total_float"],
    "critical": ["SCH_TASK.CRIT_FLAG", "critical_path"],
    "predecessor": ["SCH_TASK_LINK.PRED_TASK_ID", "SCH_TASK_LINK"],
    "successor": ["SCH_TASK_LINK.SUCC_TASK_ID", "SCH_TASK_LINK"],
    "baseline": ["SCH_BASELINE.CURRENT_FLAG", "SCH_BASELINE_TASK", "baseline_variance"],
    "possession": ["POS_POSSESSION"],
    "blockade": ["POS_POSSESSION.POSS_TYPE_CD", "blockade"],
    "overrun": ["POS_POSSESSION.OVERRUN_MINS", "POS_POSSESSION.POSS_STATUS", "possession_overrun"],
    "gang": ["RES_GANG", "RES_GANG_BOOKING"],
    "plant": ["RES_PLANT", "RES_PLANT_BOOKING"],
    "tamper": ["RES_PLANT.PLANT_TYPE_CD"],
    "RRV": ["RES_PLANT.PLANT_TYPE_CD"],
    "CR": ["CHG_REQUEST"],
    "EFC": ["PRG_SCHEME.EFC_GBP", "cost_variance"],
    "period": ["REF_CALENDAR.RAIL_PERIOD"],
    "bank holiday": ["REF_CALENDAR.BANK_HOL_FLAG", "REF_CALENDAR.HOLIDAY_NAME"],
}

TERMINOLOGY = {
    "possession": "A closure of a line to trains so engineering work can be done on it",
    "blockade": "A possession of several days, often over a bank holiday",
    "PICOP": "Person in charge of the possession",
    "handback": "Giving the line back to the signaller for trains at the end of a possession",
    "overrun": "A possession handed back later than booked, delaying trains",
    "S&C": "Switches and crossings (points)",
    "plain line": "Track without switches and crossings",
    "RRV": "Road-rail vehicle, a machine that runs on road and rail",
    "tamper": "On-track machine that packs ballast under sleepers to correct track geometry",
    "OLE": "Overhead line equipment",
    "REB": "Relocatable equipment building (trackside signalling building)",
    "LOC": "Location case, a trackside signalling equipment cabinet",
    "CWR": "Continuous welded rail",
    "TSR": "Temporary speed restriction",
    "ELR": "Engineer's Line Reference, the code of a line for mileages",
    "GRIP": "Project lifecycle stages 1-8 for rail schemes",
    "EFC": "Estimated final cost",
    "AFC": "Approved for construction (drawings)",
    "AiP": "Approval in principle (structures design)",
    "T-8": "Eight weeks before the possession, when it is confirmed",
    "rail period": "One of 13 four-week periods of the rail financial year (April to March)",
    "data date": "Date up to which progress is recorded in a schedule update",
    "FS": "Finish to start relationship",
    "SS": "Start to start relationship",
    "FF": "Finish to finish relationship, or free float",
    "SF": "Start to finish relationship",
    "TF": "Total float",
}

RELATED_TERMS = {
    "SCH_TASK": "task, activity, programme line, schedule line",
    "PRG_SCHEME": "scheme, project, job",
    "PRG_WORK_PACKAGE": "work package, WBS, package",
    "POS_POSSESSION": "possession, track closure, blockade, weekend possession, night possession",
    "POS_POSSESSION_TASK": "work in possession, possession plan",
    "RES_GANG": "gang, crew, team, labour",
    "RES_GANG_BOOKING": "gang booking, shift, labour booking",
    "RES_PLANT": "plant, machine, on-track machine, OTM",
    "RES_PLANT_BOOKING": "plant booking, plant hire",
    "RSK_RISK": "risk register, risk, threat",
    "CHG_REQUEST": "change request, CR, change, variation",
    "SCH_TASK_LINK": "logic link, relationship, dependency",
    "REF_CALENDAR": "calendar, rail period, rail week",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_ID",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout10"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, count_table="SCH_TASK")


if __name__ == "__main__":
    sys.exit(main())
