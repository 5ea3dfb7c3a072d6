#!/usr/bin/env python3
"""Build the twentieth schedule database (a water utility's capital delivery programme, tbl_-prefixed
Title_Case tables) and its metadata.

Carrowby Water Ltd runs six capital schemes: the Hollins Cross water treatment works filter and clarifier
upgrade, a new tertiary phosphorus removal stream at Kelsey Brook sewage treatment works, the Ridgeway
DN600 trunk main replacement, the Mill Lane sewer rehabilitation by cured-in-place lining, the Beacon Hill
service reservoir refurbishment and the Ashby Road sewage pumping station replacement. Each scheme has
its WBS, activities on office, site, network outage, sewer night shift, 7-day commissioning and elapsed
calendars, logic with lags, baselines, contractors' crews and plant with assignments, network
outage windows, consents with regulators, water quality samples, commissioning tests and a risk
register. Kelsey Brook was re-baselined after its disc filter supplier failed; Beacon Hill after defects
were found in the roof of cell 1.

Named the way a utility's planning database names things: tables carry a tbl_ prefix in Title_Case with
underscores (tbl_Project, tbl_Activity_Link) and columns are Title_Case with planners' abbreviations
(Activity_Code, Early_Start, Total_Float_Days, Is_Critical, Pct_Complete). Flags hold 'Y' / 'N'. Activity,
outage, consent and test statuses, resource types, gateway stages, link types and calendar exception
types are codes; asset class, activity type, regulator, risk status and sample parameters are words.

Durations, remaining durations and float are in WORKING DAYS (for the night calendar, shifts) of the
activity's calendar; lags are calendar days. Each scheme is scheduled by one forward and backward pass
against its target completion date. Data date 2025-10-17.

Outputs go to bench/out/holdout20/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 202020
DATA_DATE = dt.date(2025, 10, 17)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import (WorkDays, activity_at, anchored_baselines, assignment_hours,  # noqa: E402
                            baseline_activities, check_with_history, default_out, describe_tables,
                            forward_backward, gather_plans, insert_calendars, iso, logic_links, main as build_main,
                            metadata_document, parse_pred, shown_dates, stage_at, wbs_rows)
from schedule_build import day_span as _span  # noqa: E402

DB_NAME = "holdout20_schedule.db"
META_NAME = "holdout20_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE tbl_Project (
    Project_ID INTEGER PRIMARY KEY, Project_Code TEXT NOT NULL UNIQUE, Project_Name TEXT NOT NULL,
    Site_Name TEXT NOT NULL, Asset_Class TEXT NOT NULL, Project_Manager TEXT NOT NULL,
    Main_Contractor TEXT NOT NULL, Budget_GBP REAL NOT NULL, EAC_GBP REAL NOT NULL, Start_Date TEXT NOT NULL,
    Target_Finish TEXT NOT NULL, Forecast_Finish TEXT NOT NULL, Actual_Finish TEXT, Data_Date TEXT NOT NULL,
    Gateway_Stage TEXT NOT NULL, RAG_Status TEXT NOT NULL
);
CREATE TABLE tbl_WBS (
    WBS_ID INTEGER PRIMARY KEY, Project_ID INTEGER NOT NULL REFERENCES tbl_Project(Project_ID),
    Parent_WBS_ID INTEGER REFERENCES tbl_WBS(WBS_ID), WBS_Code TEXT NOT NULL, WBS_Name TEXT NOT NULL,
    WBS_Level INTEGER NOT NULL
);
CREATE TABLE tbl_Calendar (
    Calendar_ID INTEGER PRIMARY KEY, Calendar_Code TEXT NOT NULL UNIQUE, Calendar_Name TEXT NOT NULL,
    Work_Week TEXT NOT NULL, Hours_Per_Day REAL NOT NULL, Notes TEXT
);
CREATE TABLE tbl_Calendar_Exception (
    Exception_ID INTEGER PRIMARY KEY, Calendar_ID INTEGER NOT NULL REFERENCES tbl_Calendar(Calendar_ID),
    Exception_Date TEXT NOT NULL, Exception_Type TEXT NOT NULL, Reason TEXT NOT NULL
);
CREATE TABLE tbl_Activity (
    Activity_ID INTEGER PRIMARY KEY, Project_ID INTEGER NOT NULL REFERENCES tbl_Project(Project_ID),
    WBS_ID INTEGER NOT NULL REFERENCES tbl_WBS(WBS_ID),
    Calendar_ID INTEGER NOT NULL REFERENCES tbl_Calendar(Calendar_ID),
    Activity_Code TEXT NOT NULL UNIQUE, Activity_Name TEXT NOT NULL, Activity_Type TEXT NOT NULL,
    Asset_Location TEXT, Orig_Dur_Days REAL NOT NULL, Rem_Dur_Days REAL NOT NULL, BL_Start TEXT, BL_Finish TEXT,
    Early_Start TEXT NOT NULL, Early_Finish TEXT NOT NULL, Late_Start TEXT, Late_Finish TEXT, Actual_Start TEXT,
    Actual_Finish TEXT, Total_Float_Days REAL, Free_Float_Days REAL, Is_Critical TEXT NOT NULL,
    Pct_Complete REAL NOT NULL, Status_Code TEXT NOT NULL
);
CREATE TABLE tbl_Activity_Link (
    Link_ID INTEGER PRIMARY KEY, Pred_Activity_ID INTEGER NOT NULL REFERENCES tbl_Activity(Activity_ID),
    Succ_Activity_ID INTEGER NOT NULL REFERENCES tbl_Activity(Activity_ID), Link_Type TEXT NOT NULL,
    Lag_Days REAL NOT NULL
);
CREATE TABLE tbl_Baseline (
    Baseline_ID INTEGER PRIMARY KEY, Project_ID INTEGER NOT NULL REFERENCES tbl_Project(Project_ID),
    Baseline_No INTEGER NOT NULL, Baseline_Name TEXT NOT NULL, Set_Date TEXT NOT NULL, Approved_By TEXT NOT NULL,
    Is_Current TEXT NOT NULL
);
CREATE TABLE tbl_Baseline_Activity (
    BL_Activity_ID INTEGER PRIMARY KEY, Baseline_ID INTEGER NOT NULL REFERENCES tbl_Baseline(Baseline_ID),
    Activity_ID INTEGER NOT NULL REFERENCES tbl_Activity(Activity_ID), BL_Start TEXT NOT NULL,
    BL_Finish TEXT NOT NULL, BL_Dur_Days REAL NOT NULL, BL_Total_Float_Days REAL
);
CREATE TABLE tbl_Resource (
    Resource_ID INTEGER PRIMARY KEY, Resource_Code TEXT NOT NULL UNIQUE, Resource_Name TEXT NOT NULL,
    Resource_Type TEXT NOT NULL, Trade TEXT NOT NULL, Company TEXT NOT NULL, Qty_Units INTEGER NOT NULL,
    Day_Rate_GBP REAL NOT NULL, Supervisor TEXT NOT NULL
);
CREATE TABLE tbl_Resource_Assignment (
    Assignment_ID INTEGER PRIMARY KEY, Activity_ID INTEGER NOT NULL REFERENCES tbl_Activity(Activity_ID),
    Resource_ID INTEGER NOT NULL REFERENCES tbl_Resource(Resource_ID), Planned_Hrs REAL NOT NULL,
    Actual_Hrs REAL NOT NULL, Remaining_Hrs REAL NOT NULL, Planned_Cost_GBP REAL NOT NULL,
    Actual_Cost_GBP REAL NOT NULL
);
CREATE TABLE tbl_Outage_Window (
    Outage_ID INTEGER PRIMARY KEY, Project_ID INTEGER NOT NULL REFERENCES tbl_Project(Project_ID),
    Activity_ID INTEGER NOT NULL REFERENCES tbl_Activity(Activity_ID), Outage_Ref TEXT NOT NULL UNIQUE,
    Outage_Type TEXT NOT NULL, Asset_Affected TEXT NOT NULL, Planned_Start TEXT NOT NULL, Planned_End TEXT NOT NULL,
    Properties_Affected INTEGER NOT NULL, Alt_Supply TEXT NOT NULL, Outage_Status TEXT NOT NULL,
    Requested_By TEXT NOT NULL, Approved_By TEXT, Overrun_Mins INTEGER, Remarks TEXT
);
CREATE TABLE tbl_Consent (
    Consent_ID INTEGER PRIMARY KEY, Project_ID INTEGER NOT NULL REFERENCES tbl_Project(Project_ID),
    Activity_ID INTEGER REFERENCES tbl_Activity(Activity_ID), Consent_Ref TEXT NOT NULL UNIQUE,
    Consent_Type TEXT NOT NULL, Regulator TEXT NOT NULL, Consent_Desc TEXT NOT NULL, Applied_Date TEXT NOT NULL,
    Target_Decision_Date TEXT NOT NULL, Decision_Date TEXT, Expiry_Date TEXT, Consent_Status TEXT NOT NULL,
    Conditions_Open INTEGER NOT NULL, Consent_Owner TEXT NOT NULL
);
CREATE TABLE tbl_WQ_Sample (
    Sample_ID INTEGER PRIMARY KEY, Project_ID INTEGER NOT NULL REFERENCES tbl_Project(Project_ID),
    Activity_ID INTEGER NOT NULL REFERENCES tbl_Activity(Activity_ID), Sample_No TEXT NOT NULL UNIQUE,
    Sample_Point TEXT NOT NULL, Sample_Date TEXT NOT NULL, Sample_Purpose TEXT NOT NULL, Parameter TEXT NOT NULL,
    Result_Value REAL NOT NULL, Units TEXT NOT NULL, Limit_Value REAL NOT NULL, Limit_Type TEXT NOT NULL,
    Is_Compliant TEXT NOT NULL, Lab_Name TEXT NOT NULL
);
CREATE TABLE tbl_Commissioning_Test (
    Test_ID INTEGER PRIMARY KEY, Project_ID INTEGER NOT NULL REFERENCES tbl_Project(Project_ID),
    Activity_ID INTEGER NOT NULL REFERENCES tbl_Activity(Activity_ID), Test_Ref TEXT NOT NULL UNIQUE,
    Test_Type TEXT NOT NULL, System_Code TEXT NOT NULL, Tested_By TEXT NOT NULL, Witness TEXT NOT NULL,
    Test_Date TEXT NOT NULL, Attempt_No INTEGER NOT NULL, Result_Code TEXT NOT NULL, Snags_Raised INTEGER NOT NULL,
    Snags_Open INTEGER NOT NULL, Remarks TEXT NOT NULL
);
CREATE TABLE tbl_Risk (
    Risk_ID INTEGER PRIMARY KEY, Project_ID INTEGER NOT NULL REFERENCES tbl_Project(Project_ID),
    Activity_ID INTEGER REFERENCES tbl_Activity(Activity_ID), Risk_Ref TEXT NOT NULL UNIQUE,
    Risk_Title TEXT NOT NULL, Risk_Category TEXT NOT NULL, Probability INTEGER NOT NULL, Impact INTEGER NOT NULL,
    Risk_Score INTEGER NOT NULL, Cost_Exposure_GBP REAL NOT NULL, Sched_Exposure_Days REAL NOT NULL,
    Risk_Owner TEXT NOT NULL, Mitigation TEXT NOT NULL, Risk_Status TEXT NOT NULL, Raised_Date TEXT NOT NULL,
    Next_Review TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

BANK_HOLIDAYS = {
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
}
CAL_FROM, CAL_TO = dt.date(2023, 6, 1), dt.date(2027, 6, 30)

SHUTDOWN = (_span("2023-12-22", "2024-01-01") + _span("2024-12-23", "2025-01-01") + _span("2025-12-22", "2026-01-02")
            + _span("2026-12-21", "2027-01-01"))
# no planned network outages while demand is high (summer) or over Christmas
DEMAND_EMBARGO = (_span("2024-06-17", "2024-08-30") + _span("2025-06-16", "2025-08-29")
                  + _span("2026-06-15", "2026-08-28"))
XMAS_EMBARGO = (_span("2023-12-15", "2024-01-05") + _span("2024-12-13", "2025-01-06")
                + _span("2025-12-12", "2026-01-05")
                + _span("2026-12-11", "2027-01-05"))
EMBARGO_DAYS = {"2025-03-11": "Neighbouring zone burst repair - Ridgeway main needed in supply",
                "2025-10-29": "Hosepipe ban review - no outages on the day of the board review",
                "2025-11-12": "Kelsey Brook catchment flood warning - network crews on standby"}

CALENDARS = [
    # id, code, name, work days (0 = Mon), week, hours a day, notes, kind
    (1, "OFF-5D", "Office Mon-Fri 08:30-16:30", {0, 1, 2, 3, 4}, "Mon-Fri", 7.5,
     "Design, consents and project management; bank holidays and the Christmas office closure", "office"),
    (2, "SITE-5D", "Site day shift Mon-Fri 07:30-17:30", {0, 1, 2, 3, 4}, "Mon-Fri", 10.0,
     "Treatment works and reservoir construction; bank holidays and the Christmas shutdown", "site"),
    (3, "SITE-6D", "Network site Mon-Sat 07:30-17:30", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 10.0,
     "Pipelaying in the highway; Saturdays worked; bank holidays and the Christmas shutdown", "site"),
    (4, "OUTG-3D", "Network outage window Tue-Thu 09:00-21:00", {1, 2, 3}, "Tue-Thu", 12.0,
     "Planned shutdowns and tie-ins on the live network; no outages on bank holidays, in the summer demand "
     "embargo, the Christmas embargo or on single embargoed days", "outage"),
    (5, "NGT-SWR", "Sewer night shift 20:00-06:00 (Sun-Thu nights)", {6, 0, 1, 2, 3}, "Sun-Thu nights", 10.0,
     "Sewer lining at night when flows are low; a shift starts at 20:00 on the date shown; no shifts on bank "
     "holidays or during the Christmas shutdown", "night"),
    (6, "COMM-7D", "Commissioning 7-day 07:00-19:00", set(range(7)), "Mon-Sun", 12.0,
     "Process proving, disinfection and return to service; stands down on Christmas Day and Boxing Day",
     "comm"),
    (7, "ELAPSED", "7-day elapsed", set(range(7)), "Mon-Sun", 24.0,
     "Manufacture, supplier lead times and regulator determinations in calendar days", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.off = {}
        if kind == "elapsed":
            return
        if kind == "comm":
            for iso_d, name in BANK_HOLIDAYS.items():
                if iso_d[5:] in ("12-25", "12-26"):
                    self.off[dt.date.fromisoformat(iso_d)] = ("BH", f"Bank holiday - {name}")
            return
        for iso_d, name in BANK_HOLIDAYS.items():
            self.off[dt.date.fromisoformat(iso_d)] = ("BH", f"Bank holiday - {name}")
        if kind in ("office", "site", "night"):
            for d in SHUTDOWN:
                self.off.setdefault(d, ("XS", "Christmas and New Year shutdown"))
        if kind == "outage":
            for d in XMAS_EMBARGO:
                self.off.setdefault(d, ("XS", "Christmas embargo - no planned outages"))
            for d in DEMAND_EMBARGO:
                self.off.setdefault(d, ("DE", "Summer demand embargo - no planned outages"))
            for iso_d, why in EMBARGO_DAYS.items():
                self.off.setdefault(dt.date.fromisoformat(iso_d), ("EM", why))


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, SITE5, SITE6, OUTG, NGT, COMM, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

UTILITY = "Carrowby Water Ltd"
DIRECTOR = "Gwen Hartley"
PLANNER = "Callum Frew"
NETWORK_CONTROL = "Priya Lal"
CONTROLLERS = ["Priya Lal", "Stuart Imrie", "Dawn Okafor"]

PROJECTS = [
    # key, code, name, site, asset class, project manager, main contractor, start, margin (working days),
    # budget GBP m, forecast cost factor, re-baseline
    ("HXW", "C7014", "Hollins Cross WTW Rapid Gravity Filter and Clarifier Upgrade", "Hollins Cross WTW",
     "Water Treatment", "Fiona Blake", "Trentbridge Process Ltd", dt.date(2023, 6, 5), 20, 11.6, 0.98, None),
    ("KBS", "C7022", "Kelsey Brook STW Tertiary Phosphorus Removal", "Kelsey Brook STW", "Wastewater Treatment",
     "Martin Oduya", "Trentbridge Process Ltd", dt.date(2024, 1, 8), 0, 17.9, 1.14,
     (dt.date(2025, 3, 3), "BL1 Re-plan after disc filter supplier failure")),
    ("RTM", "C8031", "Ridgeway DN600 Trunk Main Replacement", "Ridgeway to Castle Hill", "Water Network",
     "Sara Whitcombe", "Ashlar Civils", dt.date(2024, 9, 2), 10, 8.4, 1.09, None),
    ("MLS", "C8045", "Mill Lane Sewer Rehabilitation (CIPP Lining)", "Mill Lane, Carrowby town centre",
     "Wastewater Network", "Declan Rourke", "Linewell Drainage", dt.date(2025, 7, 7), 8, 2.3, 1.04, None),
    ("BHR", "C7009", "Beacon Hill Service Reservoir Refurbishment", "Beacon Hill SR", "Water Storage",
     "Sara Whitcombe", "Ashlar Civils", dt.date(2024, 11, 4), 0, 4.7, 1.21,
     (dt.date(2025, 2, 17), "BL1 Re-plan after cell 1 roof slab defects")),
    ("ARP", "C8052", "Ashby Road Sewage Pumping Station Replacement", "Ashby Road SPS", "Wastewater Network",
     "Declan Rourke", "Fenmoor MEICA", dt.date(2025, 1, 6), 15, 3.9, 1.02, None),
]
PROJ = {p[0]: p for p in PROJECTS}

RESOURCES = [
    # code, name, type, trade, company, units, day rate GBP (per unit), supervisor
    ("DES-TEAM", "Design team (process and civil engineers)", "L", "Design", "Harland Byrne Consulting", 6, 620.0,
     "Ruth Ansell"),
    ("CIV-GANG", "Civils gang", "L", "Civils", "Ashlar Civils", 8, 310.0, "Kieran Moss"),
    ("PIPE-GANG", "Pipelaying gang", "L", "Pipelaying", "Ashlar Civils", 6, 325.0, "Kieran Moss"),
    ("EXC-21T", "Tracked excavator 21t", "P", "Earthworks", "Ashlar Civils", 2, 780.0, "Kieran Moss"),
    ("CRN-50T", "Mobile crane 50t", "P", "Lifting", "Brook Lifting Services", 1, 1450.0, "Kieran Moss"),
    ("MEICA-FIT", "MEICA mechanical fitters", "L", "Mechanical", "Trentbridge Process Ltd", 6, 360.0,
     "Owain Price"),
    ("ELEC-ICA", "Electrical and ICA technicians", "L", "Electrical", "Trentbridge Process Ltd", 4, 380.0,
     "Owain Price"),
    ("FLT-CREW", "Filter refurbishment crew", "L", "Process", "Trentbridge Process Ltd", 5, 340.0, "Owain Price"),
    ("CIPP-CREW", "CIPP lining crew", "L", "Lining", "Linewell Drainage", 5, 350.0, "Tess Varley"),
    ("UV-RIG", "UV cure lining rig", "P", "Lining", "Linewell Drainage", 1, 2650.0, "Tess Varley"),
    ("JET-CCTV", "Combination jetting and CCTV unit", "P", "Survey", "Linewell Drainage", 1, 1250.0,
     "Tess Varley"),
    ("OVP-SET", "Overpumping pump set 150mm", "P", "Overpumping", "Pumpserve Hire", 2, 480.0, "Tess Varley"),
    ("COAT-GANG", "Coating and concrete repair gang", "L", "Coatings", "Resicoat Services", 5, 330.0,
     "Alan Petrie"),
    ("COMM-ENG", "Commissioning engineers", "L", "Commissioning", "Trentbridge Process Ltd", 3, 690.0,
     "Hannah Kerr"),
    ("NET-TECH", "Network technicians (valve operation and disinfection)", "L", "Network", UTILITY, 4, 280.0,
     "Priya Lal"),
    ("MEICA-FEN", "Pumping station MEICA installers", "L", "Mechanical", "Fenmoor MEICA", 5, 355.0,
     "Gareth Lyle"),
    ("CAIS-RIG", "Caisson sinking rig", "P", "Civils", "Fenmoor MEICA", 1, 2100.0, "Gareth Lyle"),
    ("TANKER", "Potable water tankers", "P", "Network", "Aquaroute Logistics", 3, 540.0, "Priya Lal"),
]
KIND_RSRC = {
    "DES": ["DES-TEAM"], "CIV": ["CIV-GANG", "EXC-21T"], "PIP": ["PIPE-GANG", "EXC-21T"], "FLT": ["FLT-CREW"],
    "MEC": ["MEICA-FIT", "CRN-50T"], "ELE": ["ELEC-ICA"], "TIE": ["PIPE-GANG", "NET-TECH", "TANKER"],
    "CLN": ["JET-CCTV", "OVP-SET"], "LIN": ["CIPP-CREW", "UV-RIG", "OVP-SET"], "LAT": ["CIPP-CREW"],
    "CCTV": ["JET-CCTV"], "COA": ["COAT-GANG"], "DIS": ["NET-TECH"], "PRV": ["COMM-ENG"], "SPS": ["MEICA-FEN"],
    "CAI": ["CAIS-RIG", "CIV-GANG"], "FLTT": ["FLT-CREW", "COMM-ENG"], "PTST": ["PIPE-GANG", "NET-TECH"],
    "WTT": ["COAT-GANG", "NET-TECH"], "RTS": ["NET-TECH"], "SAT": ["COMM-ENG", "MEICA-FEN"],
}

# slips (working days added to the duration) and the activities added after a re-plan
SLIPS = {"HXW.flr2": 5, "HXW.clr": 6, "KBS.dfm": 180, "KBS.bas": 8, "KBS.mec": 6, "RTM.pip3": 14, "RTM.pip2": 3,
         "RTM.des": 6, "MLS.cln2": 3, "MLS.lin3": 2, "BHR.rof1": 12, "BHR.coa1": 4, "ARP.cai": 8, "ARP.pmp": 10}
AFTER_REPLAN = {"KBS.prv": 12, "KBS.ele": 5, "BHR.rof2": 9}

HXW_FILTERS = [1, 2, 3, 4]
RTM_SECTIONS = [("RW1", "Ridgeway PS to Oakfield Lane"), ("RW2", "Oakfield Lane to A614 crossing"),
                ("RW3", "A614 crossing to Brinsley Road"), ("RW4", "Brinsley Road to Castle Hill SR inlet")]
MLS_LENGTHS = [("ML1", "MH 4101 to MH 4104"), ("ML2", "MH 4104 to MH 4109"), ("ML3", "MH 4109 to MH 4113"),
               ("ML4", "MH 4113 to MH 4118"), ("ML5", "MH 4118 to MH 4122"), ("ML6", "MH 4122 to MH 4126 outfall")]
BHR_CELLS = [1, 2]

# ---------------------------------------------------------------------------------------------- plans


class Plan:
    def __init__(self, proj):
        self.proj = proj
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("DES", "ROOT", "Design and consents"),
                    ("PRC", "ROOT", "Procurement and long-lead equipment"), ("CON", "ROOT", "Construction"),
                    ("COM", "ROOT", "Commissioning and handover")]

    def add(self, key, name, dur, wbs, preds=(), cal=OFF, kind=None, ms=None, loc=None, new=False):
        full = f"{self.proj}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs, preds=[f"{self.proj}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, area=loc, new=new, prj=self.proj,
                               slip=SLIPS.get(full, 0)))
        return key


def plan_hxw(p):
    loc = "Hollins Cross WTW"
    p.add("ntp", "Contract award - Hollins Cross filters", 0, "DES", ms="S")
    p.add("des", "Detailed design of filter floors and clarifier upgrade", 55, "DES", ["ntp"], kind="DES")
    p.add("r31", "Regulation 31 product approval of filter nozzles and coatings", 40, "DES", ["des:SS20"])
    p.add("med", "Filter floor blocks, nozzles and media manufacture and delivery", 100, "PRC", ["des:SS30"],
          cal=ELP)
    for f in HXW_FILTERS:
        w = f"F{f}"
        p.wbs.append((w, "CON", f"Rapid gravity filter {f}"))
        fl = f"{loc} RGF {f}"
        p.add(f"iso{f}", f"Take RGF {f} out of service and strip out media", 6, w,
              ["r31", "med"] if f == 1 else [f"ret{f - 1}"], cal=SITE5, kind="FLT", loc=fl)
        p.add(f"flr{f}", f"Replace filter floor and nozzles RGF {f}", 14, w, [f"iso{f}"], cal=SITE5, kind="FLT",
              loc=fl)
        p.add(f"mda{f}", f"Place new sand and anthracite media RGF {f}", 5, w, [f"flr{f}"], cal=SITE5, kind="FLT",
              loc=fl)
        p.add(f"ret{f}", f"Backwash, condition and return RGF {f} to service", 4, w, [f"mda{f}"], cal=COMM,
              kind="FLTT", loc=fl)
    p.add("clr", "Clarifier scrapers and lamella pack replacement", 35, "CON", ["r31", "med"], cal=SITE5,
          kind="MEC", loc=f"{loc} clarifier 2")
    p.add("ica", "Filter control panel and turbidity monitoring upgrade", 25, "CON", ["clr:SS10"], cal=SITE5,
          kind="ELE", loc=f"{loc} filter gallery")
    p.add("prv", "Process proving of filter and clarifier performance", 14, "COM", ["ret4", "clr", "ica"], cal=COMM,
          kind="PRV", loc=loc)
    p.add("ho", "Hollins Cross handover to water production", 0, "COM", ["prv"], cal=SITE5, ms="F")


def plan_kbs(p):
    loc = "Kelsey Brook STW"
    p.add("ntp", "Contract award - Kelsey Brook tertiary", 0, "DES", ms="S")
    p.add("des", "Process and civil design of tertiary stream", 90, "DES", ["ntp"], kind="DES")
    p.add("epv", "Environmental permit variation for phosphorus limit", 60, "DES", ["des:SS30"])
    p.add("pln", "Planning consent for tertiary plant and dosing building", 55, "DES", ["des:SS20"])
    p.add("dfm", "Disc filters manufacture, factory test and delivery", 300, "PRC", ["des:SS45"], cal=ELP,
          kind="FAT")
    p.add("rpc", "Re-procure disc filters from second supplier", 30, "PRC", ["dfm:SS180"], new=True)
    p.add("mcc", "Motor control centre and kiosk manufacture", 180, "PRC", ["des"], cal=ELP)
    p.add("enb", "Enabling works and site compound", 20, "CON", ["pln"], cal=SITE5, kind="CIV",
          loc=f"{loc} tertiary area")
    p.add("bas", "Reinforced concrete base for disc filters", 35, "CON", ["enb"], cal=SITE5, kind="CIV",
          loc=f"{loc} tertiary area")
    p.add("dbd", "Chemical dosing building (ferric sulphate)", 40, "CON", ["enb:SS10"], cal=SITE5, kind="CIV",
          loc=f"{loc} dosing building")
    p.add("mec", "Install disc filters, pumps and pipework", 45, "CON", ["bas", "dfm", "rpc"], cal=SITE5, kind="MEC",
          loc=f"{loc} tertiary area")
    p.add("fst", "Connect final settlement tanks to tertiary stream (stream offline)", 6, "CON", ["mec:SS20"],
          cal=SITE5, kind="TIE", loc=f"{loc} FST 1-3 outlet chamber")
    p.add("ele", "Electrical, MCC and ICA installation", 40, "CON", ["mec:SS15", "mcc"], cal=SITE5, kind="ELE",
          loc=f"{loc} tertiary area")
    p.add("wet", "Clean water testing of tertiary stream", 8, "COM", ["mec", "ele", "fst"], cal=COMM, kind="WET",
          loc=f"{loc} tertiary area")
    p.add("prv", "Process proving against the phosphorus limit", 45, "COM", ["wet", "dbd"], cal=COMM, kind="PRV",
          loc=f"{loc} final effluent")
    p.add("pcd", "Permit compliance date met", 0, "COM", ["prv"], cal=COMM, ms="F")


def plan_rtm(p):
    p.add("ntp", "Contract award - Ridgeway trunk main", 0, "DES", ms="S")
    p.add("des", "Route design and hydraulic modelling", 50, "DES", ["ntp"], kind="DES")
    p.add("hwy", "Street works permits and traffic management approval", 30, "DES", ["des:SS25"])
    p.add("pip", "DN600 ductile iron pipe and fittings supply", 90, "PRC", ["des"], cal=ELP)
    prev = None
    for i, (sec, desc) in enumerate(RTM_SECTIONS, 1):
        w = f"S{i}"
        p.wbs.append((w, "CON", f"Section {sec} - {desc}"))
        loc = f"Ridgeway main section {sec}"
        p.add(f"pip{i}", f"Excavate and lay DN600 main section {sec}", 55, w,
              ["hwy", "pip"] + ([f"pip{prev}"] if prev else []), cal=SITE6, kind="PIP", loc=loc)
        p.add(f"tst{i}", f"Pressure test section {sec}", 2, w, [f"pip{i}"], cal=SITE5, kind="PTST", loc=loc)
        p.add(f"swb{i}", f"Swab, chlorinate and sample section {sec}", 3, w, [f"tst{i}"], cal=COMM, kind="DIS",
              loc=loc)
        p.add(f"tie{i}", f"Tie-in section {sec} to live network (planned outage)", 1, w, [f"swb{i}:FS2"], cal=OUTG,
              kind="TIE", loc=loc)
        prev = i
    p.add("dec", "Decommission and grout old main", 20, "CON", [f"tie{len(RTM_SECTIONS)}"], cal=SITE6, kind="CIV",
          loc="Ridgeway old main")
    p.add("rei", "Permanent reinstatement of carriageway", 25, "CON", [f"pip{len(RTM_SECTIONS)}:SS10"], cal=SITE6,
          kind="CIV", loc="Ridgeway Road and Brinsley Road")
    p.add("ho", "Ridgeway trunk main in supply and complete", 0, "COM", ["dec", "rei"], cal=SITE6, ms="F")


def plan_mls(p):
    p.add("ntp", "Contract award - Mill Lane lining", 0, "DES", ms="S")
    p.add("srv", "Pre-lining CCTV review and liner design", 20, "DES", ["ntp"], kind="DES")
    p.add("s50", "Section 50 and traffic management permits", 25, "DES", ["srv:SS5"])
    p.add("lnr", "Glass fibre UV liners manufacture and delivery", 35, "PRC", ["srv"], cal=ELP)
    prev = None
    for i, (sec, desc) in enumerate(MLS_LENGTHS, 1):
        w = f"L{i}"
        p.wbs.append((w, "CON", f"Length {sec} - {desc}"))
        loc = f"Mill Lane length {sec}"
        p.add(f"cln{i}", f"Jet, descale and root cut length {sec}", 4, w,
              ["s50", "lnr"] + ([f"cln{prev}"] if prev else []), cal=NGT, kind="CLN", loc=loc)
        p.add(f"lin{i}", f"Install and UV cure liner length {sec}", 4, w,
              [f"cln{i}"] + ([f"lin{prev}"] if prev else []), cal=NGT, kind="LIN", loc=loc)
        p.add(f"lat{i}", f"Reopen laterals length {sec}", 3, w, [f"lin{i}"], cal=NGT, kind="LAT", loc=loc)
        p.add(f"cct{i}", f"Post-lining CCTV survey length {sec}", 1, w, [f"lat{i}"], cal=NGT, kind="CCTV", loc=loc)
        prev = i
    p.add("mhr", "Manhole rehabilitation and cover replacement", 12, "CON", ["cct3"], cal=SITE6, kind="CIV",
          loc="Mill Lane manholes")
    p.add("ho", "Mill Lane sewer handed back to network operations", 0, "COM", [f"cct{len(MLS_LENGTHS)}", "mhr"],
          cal=SITE6, ms="F")


def plan_bhr(p):
    loc = "Beacon Hill SR"
    p.add("ntp", "Contract award - Beacon Hill reservoir", 0, "DES", ms="S")
    p.add("svy", "Structural survey and refurbishment design", 40, "DES", ["ntp"], kind="DES")
    p.add("r31", "Regulation 31 approval of internal coating system", 35, "DES", ["svy:SS15"])
    prev = None
    for c in BHR_CELLS:
        w = f"C{c}"
        p.wbs.append((w, "CON", f"Cell {c}"))
        cl = f"{loc} cell {c}"
        p.add(f"drn{c}", f"Rezone supply, drain down and isolate cell {c}", 4, w,
              ["svy", "r31"] if prev is None else [f"rts{prev}"], cal=OUTG, kind="TIE", loc=cl)
        p.add(f"cln{c}", f"Clean and survey cell {c}", 6, w, [f"drn{c}"], cal=SITE5, kind="CIV", loc=cl)
        if c == 1:
            p.add("crp1", "Concrete repairs to roof slab and columns cell 1", 30, w, ["cln1"], cal=SITE5, kind="COA",
                  loc=cl, new=True)
        p.add(f"rof{c}", f"Roof membrane and movement joint repairs cell {c}", 45, w,
              [f"cln{c}"] + (["crp1"] if c == 1 else []), cal=SITE5, kind="COA", loc=cl)
        p.add(f"coa{c}", f"Internal coating of walls and floor cell {c}", 30, w, [f"rof{c}:SS10"], cal=SITE5,
              kind="COA", loc=cl)
        p.add(f"wtt{c}", f"Water tightness (drop) test cell {c}", 3, w, [f"coa{c}", f"rof{c}"], cal=COMM, kind="WTT",
              loc=cl)
        p.add(f"dis{c}", f"Disinfect, fill and sample cell {c}", 5, w, [f"wtt{c}"], cal=COMM, kind="DIS", loc=cl)
        p.add(f"rts{c}", f"Return cell {c} to supply", 1, w, [f"dis{c}"], cal=COMM, kind="RTS", loc=cl)
        prev = c
    p.add("ext", "External works, access road and security fencing", 15, "CON", ["rof2:SS5"], cal=SITE5,
          kind="CIV", loc=loc)
    p.add("ho", "Beacon Hill reservoir refurbishment complete", 0, "COM", ["rts2", "ext"], cal=SITE5, ms="F")


def plan_arp(p):
    loc = "Ashby Road SPS"
    p.add("ntp", "Contract award - Ashby Road pumping station", 0, "DES", ms="S")
    p.add("des", "Pumping station design and emergency overflow review", 45, "DES", ["ntp"], kind="DES")
    p.add("epm", "Environmental permit for emergency overflow", 70, "DES", ["des:SS20"])
    p.add("pmp", "Submersible pumps manufacture and factory test", 180, "PRC", ["des"], cal=ELP, kind="FAT")
    p.add("kio", "MCC kiosk and telemetry outstation manufacture", 100, "PRC", ["des"], cal=ELP)
    p.add("enb", "Site set-up and temporary overpumping", 8, "CON", ["des"], cal=SITE5, kind="CIV", loc=loc)
    p.add("cai", "Sink caisson wet well", 40, "CON", ["enb"], cal=SITE5, kind="CAI", loc=f"{loc} wet well")
    p.add("vch", "Valve chamber and rising main connection pipework", 18, "CON", ["cai"], cal=SITE5, kind="CIV",
          loc=f"{loc} valve chamber")
    p.add("mei", "Install pumps, pipework and kiosk", 25, "CON", ["vch", "pmp", "kio"], cal=SITE5, kind="SPS",
          loc=loc)
    p.add("cut", "Cut over incoming sewer and rising main (overpumped)", 2, "CON", ["mei", "epm"], cal=OUTG,
          kind="TIE", loc=f"{loc} incoming sewer")
    p.add("sat", "Site acceptance test of pumps and telemetry", 4, "COM", ["cut"], cal=SITE5, kind="SAT", loc=loc)
    p.add("rel", "7-day reliability run", 7, "COM", ["sat"], cal=COMM, kind="PRV", loc=loc)
    p.add("dem", "Demolish old pumping station", 12, "CON", ["rel"], cal=SITE5, kind="CIV", loc=f"{loc} old station")
    p.add("ho", "Ashby Road SPS adopted by network operations", 0, "COM", ["dem"], cal=SITE5, ms="F")


PLANS = {"HXW": plan_hxw, "KBS": plan_kbs, "RTM": plan_rtm, "MLS": plan_mls, "BHR": plan_bhr, "ARP": plan_arp}
FINISH = {"HXW": "ho", "KBS": "pcd", "RTM": "ho", "MLS": "ho", "BHR": "ho", "ARP": "ho"}
SITE_MANAGER = {"HXW": "Owain Price", "KBS": "Hannah Kerr", "RTM": "Kieran Moss", "MLS": "Tess Varley",
                "BHR": "Alan Petrie", "ARP": "Gareth Lyle"}


def make_plan(proj):
    p = Plan(proj[0])
    PLANS[proj[0]](p)
    return p


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its scheme's target completion."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "prj")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


RISKS = [
    # scheme, activity key, title, category, probability 1-5, impact 1-5, cost GBP, schedule days, owner,
    # mitigation, status, raised, next review
    ("HXW", "HXW.flr2", "Filter floor plenum concrete worse than surveyed", "Asset condition", 3, 3, 65000.0, 5,
     "Fiona Blake", "Hydro-demolition allowance and spare floor blocks on site", "Realised", "2023-09-11",
     "2024-06-03"),
    ("HXW", "HXW.ret1", "Turbidity breakthrough on return of filter to service", "Water quality", 2, 5, 40000.0, 4,
     "Niamh Carey", "Filter to waste until turbidity below 0.1 NTU", "Closed", "2023-11-20", "2025-01-13"),
    ("HXW", None, "Loss of works capacity during filter outages in a dry summer", "Operational", 3, 4, 120000.0, 0,
     DIRECTOR, "One filter out at a time; no filter outages in the summer demand period", "Closed", "2023-06-19",
     "2025-02-03"),
    ("KBS", "KBS.dfm", "Disc filter supplier insolvency", "Supply chain", 3, 5, 720000.0, 150, "Martin Oduya",
     "Parent company guarantee; second supplier pre-qualified", "Realised", "2024-01-15", "2025-10-27"),
    ("KBS", "KBS.prv", "Phosphorus limit of 0.5 mg/l not met during process proving", "Water quality", 4, 5,
     350000.0, 20, "Martin Oduya", "Ferric dose optimisation; process scientist on site daily", "Open",
     "2025-03-10", "2025-10-24"),
    ("KBS", "KBS.fst", "Final effluent breaches permit while FST outlet is connected", "Environmental", 2, 5,
     150000.0, 3, "Niamh Carey", "Connect in dry weather only; tankering standby", "Closed", "2025-02-17",
     "2025-09-22"),
    ("KBS", None, "Permit compliance date missed - regulator enforcement", "Regulatory", 3, 5, 500000.0, 0,
     DIRECTOR, "Early notice to the Environment Agency with recovery plan", "Open", "2025-03-10", "2025-11-03"),
    ("RTM", "RTM.pip3", "Rock in trench at the A614 crossing", "Ground conditions", 4, 3, 180000.0, 14,
     "Sara Whitcombe", "Hydraulic breaker and extra trench support", "Realised", "2024-10-07", "2025-10-20"),
    ("RTM", "RTM.tie3", "Valve fails to shut during tie-in outage", "Operational", 3, 4, 60000.0, 3,
     NETWORK_CONTROL, "Valve exercise programme four weeks before each outage", "Open", "2025-01-13", "2025-10-28"),
    ("RTM", "RTM.swb4", "Bacteriological failure after disinfection", "Water quality", 3, 3, 25000.0, 4,
     "Niamh Carey", "Swab twice and flush to waste before sampling", "Open", "2025-04-07", "2025-11-04"),
    ("RTM", None, "Customer complaints about discoloured water after tie-ins", "Customer", 3, 2, 15000.0, 0,
     NETWORK_CONTROL, "Flushing plan and customer letters before each outage", "Open", "2024-11-04", "2025-11-10"),
    ("MLS", "MLS.cln2", "Heavy fat and root ingress in length ML2", "Asset condition", 4, 2, 22000.0, 3,
     "Declan Rourke", "Extra jetting night and robotic cutter", "Realised", "2025-05-12", "2025-10-20"),
    ("MLS", "MLS.lin3", "Storm flows exceed overpumping capacity on lining nights", "Weather", 3, 3, 30000.0, 2,
     "Tess Varley", "Check rainfall radar at 16:00; second pump set on standby", "Realised", "2025-05-12",
     "2025-10-27"),
    ("MLS", None, "Town centre traffic management complaints", "Stakeholder", 2, 2, 8000.0, 0, "Declan Rourke",
     "Night working and letter drop to businesses", "Open", "2025-04-14", "2025-11-10"),
    ("BHR", "BHR.crp1", "Roof slab reinforcement corrosion worse than surveyed", "Asset condition", 4, 4, 210000.0,
     30, "Sara Whitcombe", "Extra concrete repair allowance; structural engineer on site", "Realised",
     "2024-11-25", "2025-10-20"),
    ("BHR", "BHR.rof2", "Same roof defects found in cell 2", "Asset condition", 3, 4, 160000.0, 15,
     "Sara Whitcombe", "Early survey of cell 2 roof from above", "Open", "2025-02-03", "2025-10-27"),
    ("BHR", "BHR.dis2", "Bacteriological failure on return of cell 2 to supply", "Water quality", 3, 4, 30000.0, 5,
     "Niamh Carey", "Super-chlorinate and resample; keep cell 1 in supply", "Open", "2025-06-02", "2025-11-03"),
    ("BHR", None, "Supply zone low pressure with one cell out of service", "Operational", 2, 3, 20000.0, 0,
     NETWORK_CONTROL, "Rezone from Castle Hill SR; pressure loggers", "Open", "2024-10-07", "2025-11-17"),
    ("ARP", "ARP.cai", "Caisson sinks out of tolerance in running sand", "Ground conditions", 3, 3, 75000.0, 8,
     "Declan Rourke", "Kentledge and bentonite lubrication", "Realised", "2025-03-03", "2025-10-20"),
    ("ARP", "ARP.pmp", "Pump delivery late from manufacturer", "Supply chain", 3, 3, 40000.0, 10, "Declan Rourke",
     "Weekly expediting calls; factory test slot booked", "Realised", "2025-02-10", "2025-10-27"),
    ("ARP", "ARP.cut", "Sewer flooding during the cut-over", "Environmental", 2, 5, 90000.0, 2, NETWORK_CONTROL,
     "Overpumping with 100% standby and dry weather window", "Open", "2025-05-19", "2025-11-10"),
]

CONSENTS = [
    # scheme, activity key, reference, type, regulator, description, applied, target decision, decision,
    # expiry, status, conditions open, owner
    ("HXW", "HXW.r31", "R31-HX-0412", "R31", "DWI",
     "Regulation 31 approval - filter nozzles and floor coating", "2023-07-03", "2023-08-28", "2023-08-21", None,
     "GR", 0, "Niamh Carey"),
    ("HXW", "HXW.clr", "EPR-HX-0007", "EP", "Environment Agency", "Variation for clarifier sludge return to lagoon",
     "2023-09-04", "2023-12-04", "2023-12-15", "2028-12-14", "GC", 0, "Fiona Blake"),
    ("KBS", "KBS.epv", "EPR-KB-1123", "EP", "Environment Agency",
     "Permit variation - total phosphorus 0.5 mg/l annual mean", "2023-12-04", "2024-04-01", "2024-04-22",
     "2034-04-21", "GC", 2, "Martin Oduya"),
    ("KBS", "KBS.pln", "PA/24/0318", "PP", "Local Planning Authority",
     "Planning consent - tertiary plant and dosing building", "2023-11-13", "2024-02-12", "2024-02-05", "2027-02-04",
     "GC", 1, "Martin Oduya"),
    ("KBS", "KBS.dbd", "COMAH-KB-01", "HS", "Health and Safety Executive",
     "Notification of ferric sulphate storage quantity", "2025-01-20", "2025-03-17", "2025-03-10", None, "GR", 0,
     "Hannah Kerr"),
    ("KBS", "KBS.prv", "EPR-KB-1123/V2", "EP", "Environment Agency",
     "Extension of permit compliance date (improvement condition IC4)", "2025-09-01", "2025-11-28", None, None,
     "SB", 0, "Martin Oduya"),
    ("RTM", "RTM.hwy", "S50-RT-2211", "SW", "Highway Authority",
     "Street works permit - Ridgeway Road and Oakfield Lane", "2024-10-14", "2024-11-11", "2024-11-04",
     "2025-12-19", "GC", 1, "Sara Whitcombe"),
    ("RTM", "RTM.pip3", "S50-RT-2274", "SW", "Highway Authority",
     "Street works permit - A614 crossing (lane closure, nights)", "2025-01-06", "2025-02-03", "2025-02-17",
     "2025-11-28", "GC", 2, "Sara Whitcombe"),
    ("RTM", "RTM.pip3", "NR-RT-0091", "NR", "Network Rail", "Asset protection agreement - culvert under the railway",
     "2024-11-18", "2025-02-17", None, None, "WD", 0, "Sara Whitcombe"),
    ("RTM", "RTM.swb1", "DC-RT-0044", "TD", "Environment Agency",
     "Discharge of chlorinated flushing water to Oak Brook",
     "2025-01-13", "2025-02-24", "2025-02-10", "2026-02-09", "GR", 0, "Niamh Carey"),
    ("RTM", "RTM.pip4", "LDC-RT-0012", "LD", "Lead Local Flood Authority",
     "Ordinary watercourse crossing at Brinsley Brook",
     "2025-06-02", "2025-08-25", "2025-09-15", "2026-09-14", "GC", 3, "Sara Whitcombe"),
    ("MLS", "MLS.s50", "S50-ML-0318", "SW", "Highway Authority", "Street works permit - Mill Lane (night works)",
     "2025-04-14", "2025-05-12", "2025-05-06", "2025-12-19", "GC", 0, "Declan Rourke"),
    ("MLS", "MLS.s50", "S61-ML-0009", "S61", "Local Authority", "Section 61 prior consent for night noise",
     "2025-04-14", "2025-05-26", "2025-05-19", "2025-12-19", "GC", 1, "Declan Rourke"),
    ("MLS", "MLS.lin4", "S61-ML-0009/A", "S61", "Local Authority", "Extension of night working hours to 06:30",
     "2025-09-15", "2025-10-27", None, None, "SB", 0, "Tess Varley"),
    ("BHR", "BHR.r31", "R31-BH-0577", "R31", "DWI",
     "Regulation 31 approval - epoxy lining system for cells", "2024-12-02", "2025-01-27", "2025-02-10", None, "GR",
     0, "Niamh Carey"),
    ("BHR", "BHR.crp1", "BAT-BH-0002", "NE", "Natural England", "Bat licence for roof works near the valve house",
     "2024-12-09", "2025-02-03", "2025-01-27", "2026-01-26", "GC", 1, "Sara Whitcombe"),
    ("BHR", "BHR.dis1", "DC-BH-0031", "TD", "Environment Agency", "Discharge of dechlorinated drain-down water",
     "2024-12-16", "2025-01-27", "2025-01-20", "2026-01-19", "GR", 0, "Niamh Carey"),
    ("ARP", "ARP.epm", "EPR-AR-0655", "EP", "Environment Agency", "Permit for emergency overflow to Ashby Brook",
     "2025-03-03", "2025-06-30", "2025-07-21", "2035-07-20", "GC", 2, "Declan Rourke"),
    ("ARP", "ARP.enb", "PA/25/0112", "PP", "Local Planning Authority", "Prior approval - kiosk and access",
     "2025-01-20", "2025-03-17", "2025-03-24", "2028-03-23", "GR", 0, "Declan Rourke"),
    ("ARP", "ARP.dem", "DEM-AR-0003", "PP", "Local Planning Authority", "Prior notification of demolition",
     "2025-10-06", "2025-11-03", None, None, "SB", 0, "Gareth Lyle"),
    ("ARP", "ARP.cut", "S50-AR-0140", "SW", "Highway Authority", "Street works permit - Ashby Road lane closure",
     "2025-09-01", "2025-09-29", "2025-10-06", None, "RF", 0, "Gareth Lyle"),
]

TEST_KINDS = {
    # kind: [(test type, system code, tested by, witness)]
    "FLTT": [("Filter backwash and turbidity performance test", "FLT", "Trentbridge Process Ltd", "Niamh Carey")],
    "PRV": [("Process performance proving", "PRC", "Trentbridge Process Ltd", "Niamh Carey")],
    "FAT": [("Factory acceptance test", "MEC", "Manufacturer", "Hannah Kerr")],
    "WET": [("Clean water test", "MEC", "Trentbridge Process Ltd", "Hannah Kerr")],
    "PTST": [("Hydrostatic pressure test", "PIPE", "Ashlar Civils", "Ben Whitlow")],
    "CCTV": [("Post-lining CCTV survey", "LIN", "Linewell Drainage", "Ben Whitlow")],
    "WTT": [("Water tightness drop test", "RES", "Ashlar Civils", "Ben Whitlow")],
    "SAT": [("Site acceptance test", "ELE", "Fenmoor MEICA", "Gareth Lyle"),
            ("Telemetry and alarm end-to-end test", "ICA", "Fenmoor MEICA", "Gareth Lyle")],
    "ELE": [("Electrical installation test and certification", "ELE", "Trentbridge Process Ltd", "Hannah Kerr")],
    "CAI": [("Caisson verticality and level survey", "CIV", "Fenmoor MEICA", "Ruth Ansell")],
}
FAILS = {"RTM.tst2": "Pressure drop 0.3 bar over 1 hour - leaking joint at chainage 1+240 remade",
         "BHR.wtt1": "Level drop 9 mm over 7 days above the 5 mm allowance - floor joint resealed",
         "MLS.cct2": "Liner wrinkle above 6% at lateral 12 - section cut out and patched",
         "KBS.wet": "Disc filter 3 drive fault and backwash valve leaking"}

LABS = {"HXW": "Carrowby Water Scientific Services", "KBS": "Carrowby Water Scientific Services",
        "RTM": "Carrowby Water Scientific Services", "BHR": "Carrowby Water Scientific Services"}


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "tbl_Calendar", "tbl_Calendar_Exception", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    rsrc_ids, rsrc_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO tbl_Resource VALUES (?,?,?,?,?,?,?,?,?)", (i,) + r)
        rsrc_ids[r[0]], rsrc_row[r[0]] = i, r

    plans, tasks, keys = gather_plans(PROJECTS, make_plan, lambda g: g[7])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['prj']}.{FINISH[t['prj']]}")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(p[0], f"{p[0]}.{FINISH[p[0]]}", p[8], p[11] is not None) for p in PROJECTS],
        dt.date(2031, 1, 1), CALS[OFF])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    # further slip after the re-plan on the re-baselined schemes, so that they still run late
    for k, extra in AFTER_REPLAN.items():
        cdurs[k] += extra
    sb, fb, lsb, lfb, free = cpm(tasks, keys, cdurs, links, anchors)

    ids = dict(wbs=0, act=0, lnk=0, bl=0, bla=0, asg=0, out=0, tst=0, smp=0)
    act_ids, astat, proj_ids, states = {}, {}, {}, {}
    for p_idx, pr in enumerate(PROJECTS, 1):
        pk, code, pname, site, aclass, pm, contr, start, _, budget, cost_f, rebase = pr
        proj_ids[pk] = p_idx
        plan = plans[pk]
        akeys = [t["key"] for t in plan.tasks]
        fin = f"{pk}.{FINISH[pk]}"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE

        stage = stage_at(plan.tasks, sb, cdurs, DATA_DATE, done,
                         ("G6", "G5", "G4", "G3"),
                         lambda t: t["wbs"] == "COM", lambda t: t["cal"] not in (OFF, ELP))
        slack = CALS[OFF].wd(fb[fin], anchors[pk])
        rag = "G" if done or slack > 10 else ("A" if slack >= 0 else "R")
        bud = budget * 1e6
        con.execute("INSERT INTO tbl_Project VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, code, pname, site, aclass, pm, contr, bud, round(bud * cost_f, -4), iso(start),
                     iso(tgt[pk]), iso(fin_shown), iso(fin_shown) if done else None, iso(DATA_DATE), stage, rag))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, f"{code} {pname}"):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO tbl_WBS VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], p_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        for n, k in enumerate(akeys, 1):
            t = tasks[k]
            ids["act"] += 1
            act_ids[k] = ids["act"]
            a = activity_at(DATA_DATE, tasks, k, cdurs, (sb, fb, lsb, lfb, free), bl_src, bl_d, CALS, rng)
            st = {"done": "TCP", "started": "TIP", "not": "TNS"}[a.state]
            astat[k], states[k] = st, a.state
            typ = {"task": "Task", "start": "Start Milestone", "finish": "Finish Milestone"}[a.kind]
            con.execute("INSERT INTO tbl_Activity VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], p_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]], f"{code}-{n * 10:04d}",
                         t["name"], typ, t["area"], float(cdurs[k]), a.remaining, iso(a.bl_start), iso(a.bl_finish),
                         iso(a.start), iso(a.finish), iso(a.late_start), iso(a.late_finish), iso(a.actual_start),
                         iso(a.actual_finish), a.total_float, a.free_float, "Y" if a.critical else "N", a.pct, st))
        bls = [(0, "BL0 Contract baseline", start + dt.timedelta(days=28), b0, d0)]
        if rebase:
            bls.append((1, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO tbl_Baseline VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], p_idx, no, bname, iso(bdate), DIRECTOR, "Y" if no == len(bls) - 1 else "N"))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, akeys, bl, bd, CALS):
                ids["bla"] += 1
                con.execute("INSERT INTO tbl_Baseline_Activity VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["lnk"] += 1
        con.execute("INSERT INTO tbl_Activity_Link VALUES (?,?,?,?,?)",
                    (ids["lnk"], act_ids[p], act_ids[s], typ, float(lag)))

    # crews and plant on activities
    for k in keys:
        t = tasks[k]
        rcs = list(KIND_RSRC.get(t["kind"], []))
        if t["kind"] == "TIE" and t["prj"] != "RTM":
            rcs = ["NET-TECH"] + (["OVP-SET"] if t["prj"] in ("ARP", "KBS") else [])
        for rc in rcs:
            r = rsrc_row[rc]
            cal = CALS[t["cal"]]
            hpd = cal.hrs if cal.hrs < 24 else 8.0
            base = t["dur"]
            pln = float(base * hpd * r[5])
            act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng)
            rate = r[6] / hpd
            ids["asg"] += 1
            con.execute("INSERT INTO tbl_Resource_Assignment VALUES (?,?,?,?,?,?,?,?)",
                        (ids["asg"], act_ids[k], rsrc_ids[rc], pln, act, rem_h, round(pln * rate, 2),
                         round(act * rate, 2)))

    # network outage windows
    outages = []

    def status_of(s_d, e_d):
        if e_d < DATA_DATE:
            return "CL"
        if s_d <= DATA_DATE:
            return "LV"
        return "AP" if s_d <= DATA_DATE + dt.timedelta(days=14) else "RQ"

    horizon = DATA_DATE + dt.timedelta(days=28)
    cancel_why = "Cancelled - storm flows forecast, overpumping capacity exceeded"
    overrun_why = ["Overran - liner cure took longer than planned", "Overran - lateral cutter jammed",
                   "Overran - flows returned before the liner was cut back"]
    for k in keys:
        t = tasks[k]
        pk = t["prj"]
        if t["cal"] == NGT and cdurs[k] > 0:
            cal = CALS[NGT]
            nights, d = [], sb[k]
            while d < fb[k] and d <= horizon:
                if cal.work(d):
                    nights.append(d)
                d += D1
            past = [n for n in nights if n < DATA_DATE]
            cancelled = set(rng.sample(past, min(t["slip"], len(past))))
            for n in nights:
                over, rmk = None, None
                if n < DATA_DATE:
                    if n in cancelled:
                        sts, rmk = "CN", cancel_why
                    else:
                        sts, over, rmk = "CL", 0, "Flows restored on time"
                        if rng.random() < 0.12:
                            over, rmk = rng.choice([15, 20, 30, 45, 60]), rng.choice(overrun_why)
                else:
                    sts = "AP" if n <= DATA_DATE + dt.timedelta(days=7) else "RQ"
                outages.append((n, pk, k, "OVP", t["area"], f"{iso(n)} 20:00", f"{iso(n + D1)} 06:00",
                                rng.randint(12, 45), "Overpumping", sts, over, rmk))
        elif t["kind"] == "TIE" and pk in ("RTM", "ARP", "KBS"):
            s_d, e_d = sb[k], fb[k] - D1
            sts = status_of(s_d, e_d)
            if pk == "RTM":
                typ, props, alt = "SHUT", rng.choice([1850, 2400, 3100, 4200]), rng.choice(["Rezone", "Rezone",
                                                                                            "Tankers"])
                tm = ("09:00", "21:00")
            elif pk == "ARP":
                typ, props, alt, tm = "OVP", 640, "Overpumping", ("09:00", "21:00")
            else:
                typ, props, alt, tm = "STO", 0, "Storm tanks and FST 4 in service", ("07:30", "17:30")
            over = (rng.choice([0, 0, 35, 90]) if sts == "CL" else None)
            rmk = None if not over else f"Overran {over} minutes - valve slow to reseat"
            outages.append((s_d, pk, k, typ, t["area"], f"{iso(s_d)} {tm[0]}", f"{iso(e_d)} {tm[1]}", props, alt, sts,
                            over, rmk))
    for f in HXW_FILTERS:
        s_k, e_k = f"HXW.iso{f}", f"HXW.ret{f}"
        s_d, e_d = sb[s_k], fb[e_k] - D1
        outages.append((s_d, "HXW", s_k, "WTO", f"Hollins Cross WTW RGF {f}", f"{iso(s_d)} 07:30",
                        f"{iso(e_d)} 17:30", 0, "Works output from remaining filters", status_of(s_d, e_d), None, None))
    for c in BHR_CELLS:
        s_k, e_k = f"BHR.drn{c}", f"BHR.rts{c}"
        s_d = sb[s_k]
        e_d = fb[e_k] - D1
        outages.append((s_d, "BHR", s_k, "RSO", f"Beacon Hill SR cell {c}", f"{iso(s_d)} 09:00", f"{iso(e_d)} 21:00",
                        5200, "Rezone", status_of(s_d, e_d), None,
                        "Cell out of service until returned to supply"))
    # a rejected first request for the RW3 tie-in
    k = "RTM.tie3"
    rq = sb[k] - dt.timedelta(days=28)
    outages.append((rq, "RTM", k, "SHUT", tasks[k]["area"], f"{iso(rq)} 09:00", f"{iso(rq)} 21:00", 3100, "Rezone",
                    "RJ", None, "Rejected - Castle Hill SR cleaning the same week"))
    outages.sort(key=lambda x: (x[0], x[1], x[2]))
    seq = {}
    for n, pk, k, typ, asset, s_dt, e_dt, props, alt, sts, over, rmk in outages:
        ids["out"] += 1
        seq[n.year] = seq.get(n.year, 0) + 1
        appr = None if sts in ("RQ",) else rng.choice(CONTROLLERS)
        con.execute("INSERT INTO tbl_Outage_Window VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (ids["out"], proj_ids[pk], act_ids[k], f"OW{n.year % 100:02d}-{seq[n.year]:04d}", typ, asset,
                     s_dt, e_dt, props, alt, sts, SITE_MANAGER[pk], appr, over, rmk))

    # commissioning and acceptance tests of finished work
    tst_n = {}

    def record(pk, k, typ, sysc, by, witness, when, attempt, result, raised, opn, rmk):
        tst_n[pk] = tst_n.get(pk, 0) + 1
        ids["tst"] += 1
        con.execute("INSERT INTO tbl_Commissioning_Test VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (ids["tst"], proj_ids[pk], act_ids[k], f"CT-{PROJ[pk][1]}-{tst_n[pk]:03d}", typ, sysc, by,
                     witness, iso(when), attempt, result, raised, opn, rmk))

    for k in keys:
        t = tasks[k]
        if t["kind"] not in TEST_KINDS or astat[k] != "TCP":
            continue
        pk = t["prj"]
        when = fb[k] - D1
        for typ, sysc, by, witness in TEST_KINDS[t["kind"]]:
            if by == "Manufacturer":
                by = "Nordisc Filtration" if pk == "KBS" else "Hallam Pumps"
            attempt = 1
            if k in FAILS and attempt == 1 and sysc != "ICA":
                back = 21 if t["kind"] in ("FAT", "WET") else 3
                record(pk, k, typ, sysc, by, witness, when - dt.timedelta(days=back), 1, "F", rng.randint(2, 6), 0,
                       FAILS[k])
                attempt = 2
            recent = (DATA_DATE - when).days < 45
            res = rng.choices(["P", "PC"], [0.7, 0.3])[0]
            raised = 0 if res == "P" else rng.randint(1, 5)
            opn = rng.randint(1, raised) if recent and raised else 0
            rmk = "No snags" if res == "P" else f"{raised} snags to close out"
            if attempt == 2:
                rmk = "Retest after remedial works - " + rmk.lower()
            record(pk, k, typ, sysc, by, witness, when, attempt, res, raised, opn, rmk)

    # water quality samples
    smp_n = {}

    def sample(pk, k, point, when, purpose, param, value, units, limit, ltype):
        smp_n[pk] = smp_n.get(pk, 0) + 1
        ids["smp"] += 1
        ok = value <= limit if ltype == "MAX" else value >= limit
        con.execute("INSERT INTO tbl_WQ_Sample VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (ids["smp"], proj_ids[pk], act_ids[k], f"WQ{PROJ[pk][1][1:]}-{smp_n[pk]:04d}", point, iso(when),
                     purpose, param, value, units, limit, ltype, "Y" if ok else "N", LABS.get(pk, LABS["HXW"])))

    def bacti(pk, k, point, when, fail_coliforms=0):
        sample(pk, k, point, when, "RTS", "Total Coliforms", float(fail_coliforms), "count/100ml", 0.0, "MAX")
        sample(pk, k, point, when, "RTS", "E. coli", 0.0, "count/100ml", 0.0, "MAX")
        sample(pk, k, point, when, "RTS", "Free Chlorine", round(rng.uniform(0.3, 0.9), 2), "mg/l", 0.2, "MIN")
        sample(pk, k, point, when, "RTS", "Turbidity", round(rng.uniform(0.05, 0.6), 2), "NTU", 1.0, "MAX")

    for f in HXW_FILTERS:
        k = f"HXW.ret{f}"
        when = fb[k] - D1
        for j in range(3):
            sample("HXW", k, f"RGF {f} outlet", when - dt.timedelta(days=2 - j), "RTS", "Turbidity",
                   round((0.16 if (f == 2 and j == 0) else rng.uniform(0.03, 0.09)), 2), "NTU", 0.1, "MAX")
        sample("HXW", k, f"RGF {f} outlet", when, "RTS", "Total Coliforms", 0.0, "count/100ml", 0.0, "MAX")
    k = "HXW.prv"
    d = sb[k]
    while d < fb[k]:
        sample("HXW", k, "Final water", d, "PRV", "Turbidity", round(rng.uniform(0.02, 0.08), 2), "NTU", 0.1, "MAX")
        sample("HXW", k, "Final water", d, "PRV", "Aluminium", round(rng.uniform(40, 150), 0), "ug/l", 200.0, "MAX")
        d += dt.timedelta(days=4)
    for i, (sec, _) in enumerate(RTM_SECTIONS, 1):
        k = f"RTM.swb{i}"
        if astat[k] != "TCP":
            continue
        when = fb[k] - D1
        if i == 2:
            bacti("RTM", k, f"Hydrant {sec}-H2", when - dt.timedelta(days=2), fail_coliforms=4)
        bacti("RTM", k, f"Hydrant {sec}-H2", when)
    for c in BHR_CELLS:
        k = f"BHR.dis{c}"
        if astat[k] == "TNS":
            continue
        when = min(fb[k] - D1, DATA_DATE)
        if c == 1:
            bacti("BHR", k, f"Cell {c} outlet", when - dt.timedelta(days=3), fail_coliforms=2)
            bacti("BHR", k, f"Cell {c} outlet", when - dt.timedelta(days=2))
        bacti("BHR", k, f"Cell {c} outlet", when - dt.timedelta(days=1))
        bacti("BHR", k, f"Cell {c} outlet", when)
    k = "KBS.prv"
    d, n = sb[k], 0
    while d <= min(fb[k] - D1, DATA_DATE):
        tp = round(max(0.22, 1.45 - 0.15 * n + rng.uniform(-0.15, 0.15)), 2)
        sample("KBS", k, "Final effluent", d, "PRV", "Total Phosphorus", tp, "mg/l", 0.5, "MAX")
        sample("KBS", k, "Final effluent", d, "PRV", "Ammonia", round(rng.uniform(0.4, 2.6), 1), "mg/l", 3.0, "MAX")
        sample("KBS", k, "Final effluent", d, "PRV", "Suspended Solids", round(rng.uniform(6, 22), 0), "mg/l", 25.0,
               "MAX")
        d += dt.timedelta(days=4)
        n += 1

    for i, c in enumerate(CONSENTS, 1):
        pk, ak = c[0], c[1]
        con.execute("INSERT INTO tbl_Consent VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[pk], act_ids[ak] if ak else None) + c[2:])
    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO tbl_Risk VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[r[0]], act_ids[r[1]] if r[1] else None, f"RR-{PROJ[r[0]][1]}-{n_by[r[0]]:02d}",
                     r[2], r[3], r[4], r[5], r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

PROJ_FK = ("Scheme (tbl_Project.Project_ID)", "INTEGER")
ACT_FK = ("Activity (tbl_Activity.Activity_ID)", "INTEGER")

TABLE_META = {
    "tbl_Project": ("Capital schemes of the Carrowby Water capital delivery programme: site, asset class, project "
                    "manager, main contractor, budget and estimate at completion, start, target, forecast and "
                    "actual completion, data date, gateway stage and RAG", {
        "Project_ID": ("Scheme id", "INTEGER"),
        "Project_Code": ("Scheme code, e.g. C8031", "TEXT"),
        "Project_Name": ("Scheme name, e.g. Ridgeway DN600 Trunk Main Replacement", "TEXT"),
        "Site_Name": ("Site or route of the scheme, e.g. Kelsey Brook STW", "TEXT"),
        "Asset_Class": ("Asset class: Water Treatment, Wastewater Treatment, Water Network, Wastewater Network, "
                        "Water Storage", "TEXT"),
        "Project_Manager": ("Carrowby Water project manager", "TEXT"),
        "Main_Contractor": ("Main contractor delivering the scheme", "TEXT"),
        "Budget_GBP": ("Approved budget, GBP", "REAL"),
        "EAC_GBP": ("Estimate at completion (forecast outturn cost), GBP", "REAL"),
        "Start_Date": ("Scheme start (contract award)", "DATE"),
        "Target_Finish": ("Target completion date approved by the investment board; float is measured to it",
                          "DATE"),
        "Forecast_Finish": ("Forecast completion from the current schedule", "DATE"),
        "Actual_Finish": ("Actual completion; null until complete", "DATE"),
        "Data_Date": ("Schedule data date (status date)", "DATE"),
        "Gateway_Stage": ("Gateway stage code: G3, G4, G5 or G6 (see business rules)", "TEXT"),
        "RAG_Status": ("RAG status: R, A or G", "TEXT"),
    }),
    "tbl_WBS": ("WBS of each scheme: level 1 the scheme, level 2 design and consents, procurement, construction, "
                "commissioning and handover; level 3 the filters, cells, pipe sections or sewer lengths", {
        "WBS_ID": ("WBS node id", "INTEGER"),
        "Project_ID": PROJ_FK,
        "Parent_WBS_ID": ("Parent WBS node (tbl_WBS.WBS_ID); null at level 1", "INTEGER"),
        "WBS_Code": ("WBS code, e.g. C8031.3.2", "TEXT"),
        "WBS_Name": ("WBS node name, e.g. Section RW3 - A614 crossing to Brinsley Road, Cell 2, Length ML4",
                     "TEXT"),
        "WBS_Level": ("WBS level 1-3", "INTEGER"),
    }),
    "tbl_Calendar": ("Work calendars: office, site day shift (5 and 6 day), network outage window Tue-Thu, sewer "
                     "night shift, 7-day commissioning, 7-day elapsed", {
        "Calendar_ID": ("Calendar id", "INTEGER"),
        "Calendar_Code": ("Calendar code, e.g. OUTG-3D, NGT-SWR", "TEXT"),
        "Calendar_Name": ("Calendar name with its hours", "TEXT"),
        "Work_Week": ("Working days (or nights) of a normal week", "TEXT"),
        "Hours_Per_Day": ("Working hours a day or a night shift", "REAL"),
        "Notes": ("Notes", "TEXT"),
    }),
    "tbl_Calendar_Exception": ("Non-working days of each calendar: bank holidays, the Christmas shutdown, the "
                               "Christmas and summer demand embargoes on network outages and single embargoed "
                               "days. Only days that would otherwise be working days", {
        "Exception_ID": ("Exception id", "INTEGER"),
        "Calendar_ID": ("Calendar (tbl_Calendar.Calendar_ID)", "INTEGER"),
        "Exception_Date": ("Non-working date", "DATE"),
        "Exception_Type": ("Exception type code: BH, XS, DE, EM", "TEXT"),
        "Reason": ("Reason, e.g. Bank holiday - Christmas Day", "TEXT"),
    }),
    "tbl_Activity": ("Schedule activities and milestones of every scheme: asset location, durations, current "
                     "baseline, early, late and actual dates, total and free float, critical flag, percent "
                     "complete and status", {
        "Activity_ID": ("Activity id", "INTEGER"),
        "Project_ID": PROJ_FK,
        "WBS_ID": ("WBS node (tbl_WBS.WBS_ID)", "INTEGER"),
        "Calendar_ID": ("Calendar (tbl_Calendar.Calendar_ID)", "INTEGER"),
        "Activity_Code": ("Activity code: scheme code and a number, e.g. C8031-0130", "TEXT"),
        "Activity_Name": ("Activity name, e.g. Tie-in section RW3 to live network (planned outage)", "TEXT"),
        "Activity_Type": ("Task, Start Milestone or Finish Milestone", "TEXT"),
        "Asset_Location": ("Asset or location worked on, e.g. Beacon Hill SR cell 2, Mill Lane length ML4; null "
                           "for office and procurement activities", "TEXT"),
        "Orig_Dur_Days": ("Duration in working days of the activity's calendar (current plan)", "REAL"),
        "Rem_Dur_Days": ("Remaining duration in working days", "REAL"),
        "BL_Start": ("Start in the current baseline", "DATE"),
        "BL_Finish": ("Finish in the current baseline", "DATE"),
        "Early_Start": ("Early start (forecast start; the actual start once started)", "DATE"),
        "Early_Finish": ("Early finish (forecast finish; the actual finish once complete)", "DATE"),
        "Late_Start": ("Late start; null once complete", "DATE"),
        "Late_Finish": ("Late finish; null once complete", "DATE"),
        "Actual_Start": ("Actual start; null until started", "DATE"),
        "Actual_Finish": ("Actual finish; null until complete", "DATE"),
        "Total_Float_Days": ("Total float in working days, to the scheme's target completion; negative when the "
                             "forecast runs past it; null once complete", "REAL"),
        "Free_Float_Days": ("Free float in working days; null once complete", "REAL"),
        "Is_Critical": ("Critical flag: Y when total float is zero or less, otherwise N", "TEXT"),
        "Pct_Complete": ("Percent complete 0-100", "REAL"),
        "Status_Code": ("Activity status code: TNS, TIP or TCP (see business rules)", "TEXT"),
    }),
    "tbl_Activity_Link": ("Logic links between activities with type and lag", {
        "Link_ID": ("Link id", "INTEGER"),
        "Pred_Activity_ID": ("Predecessor activity (tbl_Activity.Activity_ID)", "INTEGER"),
        "Succ_Activity_ID": ("Successor activity (tbl_Activity.Activity_ID)", "INTEGER"),
        "Link_Type": ("Link type: FS, SS or FF", "TEXT"),
        "Lag_Days": ("Lag in calendar days", "REAL"),
    }),
    "tbl_Baseline": ("Baselines of each scheme; Baseline_No 0 is the contract baseline, 1 a re-plan", {
        "Baseline_ID": ("Baseline id", "INTEGER"),
        "Project_ID": PROJ_FK,
        "Baseline_No": ("Baseline number: 0 contract baseline, 1 re-plan", "INTEGER"),
        "Baseline_Name": ("Baseline name", "TEXT"),
        "Set_Date": ("Date the baseline was approved", "DATE"),
        "Approved_By": ("Who approved it", "TEXT"),
        "Is_Current": ("Y for the current baseline of the scheme, otherwise N", "TEXT"),
    }),
    "tbl_Baseline_Activity": ("Activity dates, durations and float stored in each baseline", {
        "BL_Activity_ID": ("Baseline row id", "INTEGER"),
        "Baseline_ID": ("Baseline (tbl_Baseline.Baseline_ID)", "INTEGER"),
        "Activity_ID": ACT_FK,
        "BL_Start": ("Baseline start", "DATE"),
        "BL_Finish": ("Baseline finish", "DATE"),
        "BL_Dur_Days": ("Baseline duration in working days", "REAL"),
        "BL_Total_Float_Days": ("Total float in the baseline, working days", "REAL"),
    }),
    "tbl_Resource": ("Contractors' crews and plant: pipelaying and civils gangs, MEICA fitters, lining crew "
                     "and UV cure rig, jetting/CCTV unit, overpumping pumps, crane, excavators, caisson rig, "
                     "tankers, commissioning engineers", {
        "Resource_ID": ("Resource id", "INTEGER"),
        "Resource_Code": ("Resource code, e.g. UV-RIG, PIPE-GANG", "TEXT"),
        "Resource_Name": ("Resource name", "TEXT"),
        "Resource_Type": ("Resource type code: L or P", "TEXT"),
        "Trade": ("Trade, e.g. Pipelaying, Lining, Mechanical", "TEXT"),
        "Company": ("Company supplying the crew or plant", "TEXT"),
        "Qty_Units": ("Number of people or machines", "INTEGER"),
        "Day_Rate_GBP": ("Day rate per unit, GBP", "REAL"),
        "Supervisor": ("Supervisor", "TEXT"),
    }),
    "tbl_Resource_Assignment": ("Crews and plant assigned to activities: planned, actual and remaining hours and "
                                "planned and actual cost", {
        "Assignment_ID": ("Assignment id", "INTEGER"),
        "Activity_ID": ACT_FK,
        "Resource_ID": ("Resource (tbl_Resource.Resource_ID)", "INTEGER"),
        "Planned_Hrs": ("Planned hours", "REAL"),
        "Actual_Hrs": ("Actual hours to date", "REAL"),
        "Remaining_Hrs": ("Remaining hours", "REAL"),
        "Planned_Cost_GBP": ("Planned cost, GBP", "REAL"),
        "Actual_Cost_GBP": ("Actual cost to date, GBP", "REAL"),
    }),
    "tbl_Outage_Window": ("Network and works outage windows booked with network control: trunk main shutdowns "
                          "for tie-ins, overpumping of sewers for each lining night and for the pumping station "
                          "cut-over, reservoir cells and filters out of service, treatment stream offline", {
        "Outage_ID": ("Outage id", "INTEGER"),
        "Project_ID": PROJ_FK,
        "Activity_ID": ("Activity the outage is for (tbl_Activity.Activity_ID)", "INTEGER"),
        "Outage_Ref": ("Outage reference, e.g. OW25-0043", "TEXT"),
        "Outage_Type": ("Outage type code: SHUT, OVP, RSO, WTO, STO (see business rules)", "TEXT"),
        "Asset_Affected": ("Asset taken out of service", "TEXT"),
        "Planned_Start": ("Planned start, YYYY-MM-DD HH:MM", "DATETIME"),
        "Planned_End": ("Planned end, YYYY-MM-DD HH:MM", "DATETIME"),
        "Properties_Affected": ("Customer properties affected", "INTEGER"),
        "Alt_Supply": ("How customers are kept in supply or flows handled, e.g. Rezone, Tankers, Overpumping",
                       "TEXT"),
        "Outage_Status": ("Outage status code: RQ, AP, LV, CL, CN, RJ (see business rules)", "TEXT"),
        "Requested_By": ("Contractor's site manager who requested it", "TEXT"),
        "Approved_By": ("Network controller who approved or rejected it; null while requested", "TEXT"),
        "Overrun_Mins": ("Minutes the outage ran past its planned end; null unless closed", "INTEGER"),
        "Remarks": ("Remarks", "TEXT"),
    }),
    "tbl_Consent": ("Consents, permits and approvals from regulators and authorities: environmental permits, "
                    "Regulation 31 product approvals, street works permits, Section 61 noise consents, "
                    "planning, land drainage and licences", {
        "Consent_ID": ("Consent id", "INTEGER"),
        "Project_ID": PROJ_FK,
        "Activity_ID": ("Activity that needs it (tbl_Activity.Activity_ID); may be null", "INTEGER"),
        "Consent_Ref": ("Regulator's or authority's reference", "TEXT"),
        "Consent_Type": ("Consent type code: EP, R31, SW, S61, PP, LD, TD, NE, NR, HS (see business rules)",
                         "TEXT"),
        "Regulator": ("Regulator or authority, e.g. Environment Agency, DWI", "TEXT"),
        "Consent_Desc": ("What the consent covers", "TEXT"),
        "Applied_Date": ("Date applied for", "DATE"),
        "Target_Decision_Date": ("Date the decision is needed by / statutory determination date", "DATE"),
        "Decision_Date": ("Date decided; null while pending or withdrawn", "DATE"),
        "Expiry_Date": ("Date the consent expires; null when it does not", "DATE"),
        "Consent_Status": ("Consent status code: SB, GR, GC, RF, WD (see business rules)", "TEXT"),
        "Conditions_Open": ("Conditions of the consent still to be discharged", "INTEGER"),
        "Consent_Owner": ("Carrowby Water owner", "TEXT"),
    }),
    "tbl_WQ_Sample": ("Water quality sample results: bacteriological and chlorine samples before mains, filters "
                      "and reservoir cells return to supply, and process proving samples of final water and final "
                      "effluent", {
        "Sample_ID": ("Sample id", "INTEGER"),
        "Project_ID": PROJ_FK,
        "Activity_ID": ("Activity the sample belongs to (tbl_Activity.Activity_ID)", "INTEGER"),
        "Sample_No": ("Laboratory sample number", "TEXT"),
        "Sample_Point": ("Sample point, e.g. Cell 1 outlet, Final effluent", "TEXT"),
        "Sample_Date": ("Date sampled", "DATE"),
        "Sample_Purpose": ("Purpose code: RTS or PRV (see business rules)", "TEXT"),
        "Parameter": ("Parameter, e.g. Total Coliforms, E. coli, Free Chlorine, Turbidity, Total Phosphorus, "
                      "Ammonia, Suspended Solids, Aluminium", "TEXT"),
        "Result_Value": ("Result", "REAL"),
        "Units": ("Units, e.g. mg/l, NTU, count/100ml, ug/l", "TEXT"),
        "Limit_Value": ("Limit the result is compared with", "REAL"),
        "Limit_Type": ("MAX (result must not exceed the limit) or MIN (result must reach it)", "TEXT"),
        "Is_Compliant": ("Y when the result meets the limit, otherwise N", "TEXT"),
        "Lab_Name": ("Laboratory", "TEXT"),
    }),
    "tbl_Commissioning_Test": ("Tests of finished work: filter performance, factory acceptance, clean water, "
                               "hydrostatic pressure, post-lining CCTV, reservoir drop tests, electrical, site "
                               "acceptance and telemetry tests; a retest carries the next attempt number", {
        "Test_ID": ("Test id", "INTEGER"),
        "Project_ID": PROJ_FK,
        "Activity_ID": ("Activity whose work was tested (tbl_Activity.Activity_ID)", "INTEGER"),
        "Test_Ref": ("Test reference, e.g. CT-C8031-002", "TEXT"),
        "Test_Type": ("Test type, e.g. Hydrostatic pressure test", "TEXT"),
        "System_Code": ("System tested code: FLT, PRC, MEC, PIPE, LIN, RES, ELE, ICA, CIV (see business rules)",
                        "TEXT"),
        "Tested_By": ("Company that ran the test", "TEXT"),
        "Witness": ("Carrowby Water witness", "TEXT"),
        "Test_Date": ("Date of the test", "DATE"),
        "Attempt_No": ("Attempt number; 2 is a retest", "INTEGER"),
        "Result_Code": ("Result code: P, F or PC (see business rules)", "TEXT"),
        "Snags_Raised": ("Snags (defects) raised", "INTEGER"),
        "Snags_Open": ("Snags still open", "INTEGER"),
        "Remarks": ("Remarks", "TEXT"),
    }),
    "tbl_Risk": ("Risk register of each scheme: category, probability, impact, score, cost and schedule exposure, "
                 "owner, mitigation and status", {
        "Risk_ID": ("Risk id", "INTEGER"),
        "Project_ID": PROJ_FK,
        "Activity_ID": ("Activity the risk affects (tbl_Activity.Activity_ID); may be null", "INTEGER"),
        "Risk_Ref": ("Risk reference, e.g. RR-C7009-02", "TEXT"),
        "Risk_Title": ("Risk description", "TEXT"),
        "Risk_Category": ("Category, e.g. Ground conditions, Water quality, Supply chain", "TEXT"),
        "Probability": ("Probability 1-5", "INTEGER"),
        "Impact": ("Impact 1-5", "INTEGER"),
        "Risk_Score": ("Probability x impact", "INTEGER"),
        "Cost_Exposure_GBP": ("Cost exposure, GBP", "REAL"),
        "Sched_Exposure_Days": ("Schedule exposure in working days", "REAL"),
        "Risk_Owner": ("Risk owner", "TEXT"),
        "Mitigation": ("Mitigation", "TEXT"),
        "Risk_Status": ("Open, Closed or Realised", "TEXT"),
        "Raised_Date": ("Date raised", "DATE"),
        "Next_Review": ("Next review date", "DATE"),
    }),
}

RELATIONSHIPS = [
    ("tbl_WBS", "tbl_Project", "tbl_WBS.Project_ID = tbl_Project.Project_ID", "WBS of a scheme"),
    ("tbl_WBS", "tbl_WBS", "tbl_WBS.Parent_WBS_ID = tbl_WBS.WBS_ID", "Parent WBS node"),
    ("tbl_Calendar_Exception", "tbl_Calendar", "tbl_Calendar_Exception.Calendar_ID = tbl_Calendar.Calendar_ID",
     "Non-working days of a calendar"),
    ("tbl_Activity", "tbl_Project", "tbl_Activity.Project_ID = tbl_Project.Project_ID", "Activities of a scheme"),
    ("tbl_Activity", "tbl_WBS", "tbl_Activity.WBS_ID = tbl_WBS.WBS_ID", "WBS node of an activity"),
    ("tbl_Activity", "tbl_Calendar", "tbl_Activity.Calendar_ID = tbl_Calendar.Calendar_ID",
     "Calendar of an activity"),
    ("tbl_Activity_Link", "tbl_Activity", "tbl_Activity_Link.Pred_Activity_ID = tbl_Activity.Activity_ID",
     "Predecessor of a link"),
    ("tbl_Activity_Link", "tbl_Activity", "tbl_Activity_Link.Succ_Activity_ID = tbl_Activity.Activity_ID",
     "Successor of a link"),
    ("tbl_Baseline", "tbl_Project", "tbl_Baseline.Project_ID = tbl_Project.Project_ID", "Baselines of a scheme"),
    ("tbl_Baseline_Activity", "tbl_Baseline", "tbl_Baseline_Activity.Baseline_ID = tbl_Baseline.Baseline_ID",
     "Rows of a baseline"),
    ("tbl_Baseline_Activity", "tbl_Activity", "tbl_Baseline_Activity.Activity_ID = tbl_Activity.Activity_ID",
     "Activity a baseline row stores"),
    ("tbl_Resource_Assignment", "tbl_Resource", "tbl_Resource_Assignment.Resource_ID = tbl_Resource.Resource_ID",
     "Resource of an assignment"),
    ("tbl_Resource_Assignment", "tbl_Activity", "tbl_Resource_Assignment.Activity_ID = tbl_Activity.Activity_ID",
     "Activity a resource is assigned to"),
    ("tbl_Outage_Window", "tbl_Project", "tbl_Outage_Window.Project_ID = tbl_Project.Project_ID",
     "Outages of a scheme"),
    ("tbl_Outage_Window", "tbl_Activity", "tbl_Outage_Window.Activity_ID = tbl_Activity.Activity_ID",
     "Activity an outage is for"),
    ("tbl_Consent", "tbl_Project", "tbl_Consent.Project_ID = tbl_Project.Project_ID", "Consents of a scheme"),
    ("tbl_Consent", "tbl_Activity", "tbl_Consent.Activity_ID = tbl_Activity.Activity_ID",
     "Activity that needs a consent"),
    ("tbl_WQ_Sample", "tbl_Project", "tbl_WQ_Sample.Project_ID = tbl_Project.Project_ID", "Samples of a scheme"),
    ("tbl_WQ_Sample", "tbl_Activity", "tbl_WQ_Sample.Activity_ID = tbl_Activity.Activity_ID",
     "Activity a sample belongs to"),
    ("tbl_Commissioning_Test", "tbl_Project", "tbl_Commissioning_Test.Project_ID = tbl_Project.Project_ID",
     "Tests of a scheme"),
    ("tbl_Commissioning_Test", "tbl_Activity", "tbl_Commissioning_Test.Activity_ID = tbl_Activity.Activity_ID",
     "Activity whose work was tested"),
    ("tbl_Risk", "tbl_Project", "tbl_Risk.Project_ID = tbl_Project.Project_ID", "Risks of a scheme"),
    ("tbl_Risk", "tbl_Activity", "tbl_Risk.Activity_ID = tbl_Activity.Activity_ID", "Activity a risk affects"),
]

BUSINESS_RULES = {
    ("tbl_Activity", "Status_Code"): ["Allowed Values: TNS (not started), TIP (in progress), TCP (complete)"],
    ("tbl_Activity", "Activity_Type"): ["Allowed Values: Task, Start Milestone, Finish Milestone; milestones have "
                                        "Orig_Dur_Days = 0"],
    ("tbl_Activity", "Is_Critical"): ["Allowed Values: Y, N", "Critical: Is_Critical = 'Y' when Total_Float_Days "
                                      "<= 0; complete activities are N"],
    ("tbl_Activity", "Total_Float_Days"): ["Negative float: forecast finish after the scheme's target completion"],
    ("tbl_Activity", "BL_Finish"): ["Slipped: Early_Finish > BL_Finish"],
    ("tbl_Activity_Link", "Link_Type"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish "
                                         "to finish)"],
    ("tbl_Baseline", "Is_Current"): ["Allowed Values: Y, N; one current baseline per scheme"],
    ("tbl_Calendar_Exception", "Exception_Type"): ["Allowed Values: BH (bank holiday), XS (Christmas shutdown or "
                                                   "Christmas outage embargo), DE (summer demand embargo on "
                                                   "outages), EM (single embargoed day)"],
    ("tbl_Project", "Gateway_Stage"): ["Allowed Values: G3 (design and consents), G4 (construction), G5 "
                                       "(commissioning), G6 (handed over / complete)"],
    ("tbl_Project", "RAG_Status"): ["Allowed Values: R (red - forecast after target completion), A (amber - 10 or "
                                    "fewer working days float), G (green)"],
    ("tbl_Project", "Asset_Class"): ["Allowed Values: Water Treatment, Wastewater Treatment, Water Network, "
                                     "Wastewater Network, Water Storage"],
    ("tbl_Resource", "Resource_Type"): ["Allowed Values: L (labour crew), P (plant)"],
    ("tbl_Outage_Window", "Outage_Status"): ["Allowed Values: RQ (requested), AP (approved), LV (live - in "
                                             "progress), CL (closed - completed), CN (cancelled), RJ (rejected)"],
    ("tbl_Outage_Window", "Outage_Type"): ["Allowed Values: SHUT (water main shutdown), OVP (sewer overpumping), "
                                           "RSO (reservoir cell out of service), WTO (treatment works filter out of "
                                           "service), STO (treatment stream offline)"],
    ("tbl_Outage_Window", "Overrun_Mins"): ["Overran: Overrun_Mins > 0"],
    ("tbl_Consent", "Consent_Status"): ["Allowed Values: SB (submitted - awaiting decision), GR (granted), GC "
                                        "(granted with conditions), RF (refused), WD (withdrawn)",
                                        "Pending: Consent_Status = 'SB'"],
    ("tbl_Consent", "Consent_Type"): ["Allowed Values: EP (environmental permit), R31 (Regulation 31 product "
                                      "approval), SW (street works permit), S61 (Section 61 noise consent), PP "
                                      "(planning), LD (land drainage consent), TD (trade or temporary discharge "
                                      "consent), NE (protected wildlife licence), NR (railway asset protection), HS "
                                      "(health and safety notification)"],
    ("tbl_WQ_Sample", "Sample_Purpose"): ["Allowed Values: RTS (return to supply / service), PRV (process "
                                          "proving)"],
    ("tbl_WQ_Sample", "Is_Compliant"): ["Allowed Values: Y, N", "Failed sample: Is_Compliant = 'N'"],
    ("tbl_Commissioning_Test", "Result_Code"): ["Allowed Values: P (pass), F (fail), PC (pass with snags)"],
    ("tbl_Commissioning_Test", "System_Code"): ["Allowed Values: FLT (filters), PRC (process), MEC (mechanical "
                                                "plant), PIPE (pipeline), LIN (sewer liner), RES (reservoir "
                                                "structure), ELE (electrical), ICA (instruments, control and "
                                                "telemetry), CIV (civil structure)"],
    ("tbl_Risk", "Risk_Status"): ["Allowed Values: Open, Closed, Realised (the risk happened)"],
    ("tbl_Risk", "Risk_Score"): ["High risk: Risk_Score >= 12"],
}

CONCEPTS = {
    ("tbl_Activity", "Total_Float_Days"): ["total_float", "critical_path"],
    ("tbl_Activity", "Free_Float_Days"): ["free_float"],
    ("tbl_Activity", "Is_Critical"): ["critical_path"],
    ("tbl_Activity", "Pct_Complete"): ["percent_complete"],
    ("tbl_Activity", "BL_Finish"): ["baseline_variance"],
    ("tbl_Baseline_Activity", "BL_Finish"): ["baseline_variance"],
    ("tbl_Activity_Link", "Lag_Days"): ["lag"],
    ("tbl_Project", "EAC_GBP"): ["cost_variance"],
    ("tbl_Project", "Target_Finish"): ["target_completion"],
    ("tbl_Risk", "Risk_Score"): ["risk_exposure"],
    ("tbl_Outage_Window", "Outage_Type"): ["outage"],
    ("tbl_Outage_Window", "Overrun_Mins"): ["outage_overrun"],
    ("tbl_Consent", "Consent_Status"): ["consent"],
    ("tbl_WQ_Sample", "Is_Compliant"): ["sample_failure"],
    ("tbl_Commissioning_Test", "Snags_Open"): ["open_snags"],
    ("tbl_Calendar_Exception", "Exception_Date"): ["embargo"],
    ("tbl_Resource_Assignment", "Actual_Cost_GBP"): ["resource_cost"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before the scheme misses its target completion date",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a scheme's completion",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a link in calendar days, e.g. between disinfection and the tie-in",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Estimate at completion against budget",
    "target_completion": "Completion date approved by the investment board",
    "risk_exposure": "Probability x impact score of a risk",
    "outage": "Planned period when a main, sewer, reservoir cell, filter or treatment stream is out of service so "
              "the contractor can work on it",
    "outage_overrun": "Outage returned to service after its planned end",
    "consent": "Permit, approval or licence a regulator or authority must grant before work can go ahead",
    "sample_failure": "Water quality result outside its limit; the asset stays out of supply until resampled",
    "open_snags": "Test snags (defects) not yet closed",
    "embargo": "Periods with no planned network outages: the summer demand period, Christmas and single days",
    "resource_cost": "Cost of crews and plant booked to activities",
}

QUERY_EXAMPLES = [
    ("SELECT Project_Code, Project_Name, Target_Finish, Forecast_Finish, RAG_Status FROM tbl_Project ORDER BY "
     "Target_Finish;", "Schemes with target and forecast completion", "simple"),
    ("SELECT a.Activity_Code, a.Activity_Name, a.Early_Start, a.Total_Float_Days FROM tbl_Activity a JOIN "
     "tbl_Project p ON p.Project_ID = a.Project_ID WHERE p.Project_Code = 'C7022' AND a.Is_Critical = 'Y' ORDER BY "
     "a.Early_Start;", "Critical activities of a scheme", "medium"),
    ("SELECT Outage_Ref, Asset_Affected, Planned_Start, Planned_End, Properties_Affected FROM tbl_Outage_Window "
     "WHERE Outage_Type = 'SHUT' AND Outage_Status = 'CL';", "Trunk main shutdowns carried out", "simple"),
    ("SELECT a.Activity_Code, a.Activity_Name, b.BL_Finish, a.Early_Finish FROM tbl_Activity a JOIN "
     "tbl_Baseline_Activity b ON b.Activity_ID = a.Activity_ID JOIN tbl_Baseline l ON l.Baseline_ID = "
     "b.Baseline_ID WHERE l.Is_Current = 'Y' AND a.Early_Finish > b.BL_Finish;",
     "Activities forecast to finish later than the current baseline", "complex"),
    ("SELECT Consent_Ref, Regulator, Consent_Desc, Target_Decision_Date FROM tbl_Consent WHERE Consent_Status = "
     "'SB';", "Consents awaiting a decision", "simple"),
    ("SELECT Sample_No, Sample_Point, Sample_Date, Parameter, Result_Value, Limit_Value FROM tbl_WQ_Sample WHERE "
     "Is_Compliant = 'N';", "Failed water quality samples", "simple"),
    ("SELECT Test_Ref, Test_Type, Test_Date, Snags_Open FROM tbl_Commissioning_Test WHERE Snags_Open > 0;",
     "Tests with snags still open", "simple"),
    ("SELECT e.Exception_Date, e.Reason FROM tbl_Calendar_Exception e JOIN tbl_Calendar c ON c.Calendar_ID = "
     "e.Calendar_ID WHERE c.Calendar_Code = 'OUTG-3D' AND e.Exception_Date >= '2025-10-17' ORDER BY "
     "e.Exception_Date;", "Coming days with no network outages", "medium"),
    ("SELECT r.Resource_Name, SUM(a.Actual_Cost_GBP) AS cost FROM tbl_Resource_Assignment a JOIN tbl_Resource r "
     "ON r.Resource_ID = a.Resource_ID WHERE r.Resource_Type = 'P' GROUP BY r.Resource_Name ORDER BY cost DESC;",
     "Actual plant cost by machine", "medium"),
]

KEYWORDS = {
    "float": ["tbl_Activity.Total_Float_Days", "tbl_Activity.Free_Float_Days", "total_float"],
    "TF": ["tbl_Activity.Total_Float_Days"],
    "critical": ["tbl_Activity.Is_Critical", "critical_path"],
    "predecessor": ["tbl_Activity_Link.Pred_Activity_ID", "tbl_Activity_Link"],
    "successor": ["tbl_Activity_Link.Succ_Activity_ID", "tbl_Activity_Link"],
    "baseline": ["tbl_Baseline", "tbl_Baseline_Activity", "baseline_variance"],
    "scheme": ["tbl_Project"],
    "project": ["tbl_Project"],
    "outage": ["tbl_Outage_Window", "outage"],
    "shutdown": ["tbl_Outage_Window.Outage_Type"],
    "overpumping": ["tbl_Outage_Window.Outage_Type"],
    "embargo": ["tbl_Calendar_Exception", "embargo"],
    "permit": ["tbl_Consent"],
    "consent": ["tbl_Consent", "consent"],
    "sample": ["tbl_WQ_Sample"],
    "bacti": ["tbl_WQ_Sample.Parameter"],
    "test": ["tbl_Commissioning_Test"],
    "snag": ["tbl_Commissioning_Test.Snags_Open", "open_snags"],
    "crew": ["tbl_Resource", "tbl_Resource_Assignment"],
    "gang": ["tbl_Resource"],
    "plant": ["tbl_Resource.Resource_Type"],
    "risk": ["tbl_Risk"],
    "bank holiday": ["tbl_Calendar_Exception"],
    "cell": ["tbl_Activity.Asset_Location", "tbl_WBS.WBS_Name"],
    "filter": ["tbl_Activity.Asset_Location", "tbl_WBS.WBS_Name"],
}

TERMINOLOGY = {
    "WTW": "Water treatment works",
    "STW": "Sewage (wastewater) treatment works",
    "SPS": "Sewage pumping station",
    "SR": "Service reservoir",
    "RGF": "Rapid gravity filter",
    "FST": "Final settlement tank",
    "CIPP": "Cured-in-place pipe (sewer lining)",
    "MEICA": "Mechanical, electrical, instrumentation, control and automation",
    "ICA": "Instrumentation, control and automation",
    "MCC": "Motor control centre",
    "Reg 31": "Regulation 31 approval of products in contact with drinking water",
    "DWI": "Drinking water quality regulator for England and Wales",
    "EA": "Environment Agency",
    "S61": "Section 61 prior consent for construction noise",
    "S50": "Street works permit",
    "tie-in": "Connecting a new main to the live network during a planned shutdown",
    "bacti": "Bacteriological samples (coliforms and E. coli)",
    "TF": "Total float",
    "FF": "Free float",
    "EAC": "Estimate at completion",
    "data date": "Date up to which progress is recorded (2025-10-17)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
}

RELATED_TERMS = {
    "tbl_Project": "project, scheme, job, programme",
    "tbl_Activity": "activity, task, schedule line, programme",
    "tbl_WBS": "WBS, work breakdown, filter, cell, section, length",
    "tbl_Resource": "resource, crew, gang, plant, rig, machine, tanker",
    "tbl_Resource_Assignment": "assignment, hours, labour cost, plant cost",
    "tbl_Risk": "risk, risk register",
    "tbl_Consent": "consent, permit, licence, approval, regulator",
    "tbl_WQ_Sample": "sample, water quality, bacti, lab result",
    "tbl_Commissioning_Test": "test, commissioning, FAT, SAT, snag, defect, survey",
    "tbl_Outage_Window": "outage, shutdown, overpumping, isolation, out of service",
    "tbl_Activity_Link": "link, relationship, dependency, logic",
    "tbl_Calendar": "calendar, shift, outage window",
    "tbl_Calendar_Exception": "holiday, non-working day, embargo, shutdown",
    "tbl_Baseline": "baseline, re-plan",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_ID",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout20"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="tbl_Activity")


if __name__ == "__main__":
    sys.exit(main())
