#!/usr/bin/env python3
"""Build the sixteenth check schedule database (a naval shipyard's vessel builds, singular Title_Snake_Case
tables and columns) and its metadata.

Dunmore Marine builds seven vessels at its Port Carrow yard on the Firth: two offshore patrol vessels, a
mine countermeasures vessel, a survey vessel, a fleet tug, a landing craft and a salvage and mooring vessel.
Each hull is a project of its own: design and class approval, steel and long-lead machinery, then block by
block fabrication in a hall, blasting and coating, erection on the building berth, hull closure and launch,
outfitting afloat (machinery, pipework, cabling, accommodation, final paint), commissioning, harbour and
sea acceptance trials and delivery. The fleet tug was re-baselined after its main engine crankshaft
failed the factory acceptance test; the mine countermeasures vessel after its first steel plate was
rejected at the mill.

Named the way a yard's SQL Server planning mart is named: singular Title_Snake_Case tables (Vessel,
Hull_Block, Activity, Activity_Link, Shift_Report, ...) and columns in full words (Early_Start,
Total_Float, Contract_Delivery_Date). Keys are <Table>_Id, flags are Is_* with 0 / 1, money ends in _Gbp.
Link types, delivery statuses, delay codes and calendar exception types are short codes; activity
status, activity type, build stage, RAG, block status, inspection result, change and risk statuses are
words.

Durations, remaining durations and float are in WORKING DAYS of the activity's calendar; lags are calendar
days. The yard's calendars stop for Scottish public holidays, the Fair fortnight and the Christmas
shutdown; the berth also lost two days to a crane drivers' stoppage. Each vessel is scheduled by one
forward and backward pass against its contract delivery date. Data date 2025-11-14.

Outputs go to bench/out/holdout16/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 161616
DATA_DATE = dt.date(2025, 11, 14)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import WorkDays, activity_at, anchored_baselines, assignment_hours, baseline_activities, check_with_history, default_out, forward_backward, gather_plans, describe_tables, main as build_main, metadata_document, day_span as _span, insert_calendars, iso, logic_links, parse_pred, shown_dates, wbs_rows, worked_days  # noqa: E402
DB_NAME = "holdout16_schedule.db"
META_NAME = "holdout16_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE Vessel (
    Vessel_Id INTEGER PRIMARY KEY, Hull_Number TEXT NOT NULL UNIQUE, Vessel_Name TEXT NOT NULL,
    Vessel_Class TEXT NOT NULL, Customer TEXT NOT NULL, Project_Manager TEXT NOT NULL, Building_Berth TEXT NOT NULL,
    Contract_Value_Gbp REAL NOT NULL, Budget_Gbp REAL NOT NULL, Forecast_Cost_Gbp REAL NOT NULL,
    Liquidated_Damages_Per_Day_Gbp REAL NOT NULL, Contract_Date TEXT NOT NULL, Contract_Delivery_Date TEXT NOT NULL,
    Forecast_Delivery_Date TEXT NOT NULL, Actual_Delivery_Date TEXT, Launch_Date TEXT, Build_Stage TEXT NOT NULL,
    Rag_Status TEXT NOT NULL
);
CREATE TABLE Wbs_Element (
    Wbs_Element_Id INTEGER PRIMARY KEY, Vessel_Id INTEGER NOT NULL REFERENCES Vessel(Vessel_Id),
    Parent_Wbs_Element_Id INTEGER REFERENCES Wbs_Element(Wbs_Element_Id), Wbs_Code TEXT NOT NULL,
    Wbs_Name TEXT NOT NULL, Wbs_Level INTEGER NOT NULL
);
CREATE TABLE Calendar (
    Calendar_Id INTEGER PRIMARY KEY, Calendar_Code TEXT NOT NULL UNIQUE, Calendar_Name TEXT NOT NULL,
    Work_Week TEXT NOT NULL, Hours_Per_Day REAL NOT NULL, Notes TEXT
);
CREATE TABLE Calendar_Exception (
    Calendar_Exception_Id INTEGER PRIMARY KEY, Calendar_Id INTEGER NOT NULL REFERENCES Calendar(Calendar_Id),
    Exception_Date TEXT NOT NULL, Exception_Type TEXT NOT NULL, Reason TEXT NOT NULL
);
CREATE TABLE Hull_Block (
    Hull_Block_Id INTEGER PRIMARY KEY, Vessel_Id INTEGER NOT NULL REFERENCES Vessel(Vessel_Id),
    Block_Number TEXT NOT NULL, Block_Name TEXT NOT NULL, Zone TEXT NOT NULL, Steel_Weight_Tonnes REAL NOT NULL,
    Erection_Sequence INTEGER NOT NULL, Fabrication_Hall TEXT NOT NULL, Block_Status TEXT NOT NULL,
    Erected_Date TEXT
);
CREATE TABLE Activity (
    Activity_Id INTEGER PRIMARY KEY, Vessel_Id INTEGER NOT NULL REFERENCES Vessel(Vessel_Id),
    Wbs_Element_Id INTEGER NOT NULL REFERENCES Wbs_Element(Wbs_Element_Id),
    Calendar_Id INTEGER NOT NULL REFERENCES Calendar(Calendar_Id),
    Hull_Block_Id INTEGER REFERENCES Hull_Block(Hull_Block_Id),
    Activity_Code TEXT NOT NULL UNIQUE, Activity_Name TEXT NOT NULL, Activity_Type TEXT NOT NULL,
    Original_Duration REAL NOT NULL, Remaining_Duration REAL NOT NULL, Baseline_Start TEXT, Baseline_Finish TEXT,
    Early_Start TEXT NOT NULL, Early_Finish TEXT NOT NULL, Late_Start TEXT, Late_Finish TEXT, Actual_Start TEXT,
    Actual_Finish TEXT, Total_Float REAL, Free_Float REAL, Is_Critical INTEGER NOT NULL,
    Percent_Complete REAL NOT NULL, Activity_Status TEXT NOT NULL
);
CREATE TABLE Activity_Link (
    Activity_Link_Id INTEGER PRIMARY KEY, Predecessor_Activity_Id INTEGER NOT NULL REFERENCES Activity(Activity_Id),
    Successor_Activity_Id INTEGER NOT NULL REFERENCES Activity(Activity_Id), Link_Type TEXT NOT NULL,
    Lag_Days REAL NOT NULL
);
CREATE TABLE Baseline (
    Baseline_Id INTEGER PRIMARY KEY, Vessel_Id INTEGER NOT NULL REFERENCES Vessel(Vessel_Id),
    Baseline_Number INTEGER NOT NULL, Baseline_Name TEXT NOT NULL, Set_Date TEXT NOT NULL, Approved_By TEXT NOT NULL,
    Is_Current INTEGER NOT NULL
);
CREATE TABLE Baseline_Activity (
    Baseline_Activity_Id INTEGER PRIMARY KEY, Baseline_Id INTEGER NOT NULL REFERENCES Baseline(Baseline_Id),
    Activity_Id INTEGER NOT NULL REFERENCES Activity(Activity_Id), Baseline_Start TEXT NOT NULL,
    Baseline_Finish TEXT NOT NULL, Baseline_Duration REAL NOT NULL, Baseline_Total_Float REAL
);
CREATE TABLE Crew (
    Crew_Id INTEGER PRIMARY KEY, Crew_Code TEXT NOT NULL UNIQUE, Crew_Name TEXT NOT NULL, Trade TEXT NOT NULL,
    Employer TEXT NOT NULL, Headcount INTEGER NOT NULL, Foreman TEXT NOT NULL, Day_Rate_Gbp REAL NOT NULL
);
CREATE TABLE Crew_Assignment (
    Crew_Assignment_Id INTEGER PRIMARY KEY, Activity_Id INTEGER NOT NULL REFERENCES Activity(Activity_Id),
    Crew_Id INTEGER NOT NULL REFERENCES Crew(Crew_Id), Planned_Hours REAL NOT NULL, Actual_Hours REAL NOT NULL,
    Remaining_Hours REAL NOT NULL, Planned_Cost_Gbp REAL NOT NULL, Actual_Cost_Gbp REAL NOT NULL
);
CREATE TABLE Risk (
    Risk_Id INTEGER PRIMARY KEY, Vessel_Id INTEGER NOT NULL REFERENCES Vessel(Vessel_Id),
    Activity_Id INTEGER REFERENCES Activity(Activity_Id), Risk_Reference TEXT NOT NULL UNIQUE,
    Risk_Title TEXT NOT NULL, Risk_Category TEXT NOT NULL, Probability INTEGER NOT NULL, Impact INTEGER NOT NULL,
    Risk_Score INTEGER NOT NULL, Cost_Exposure_Gbp REAL NOT NULL, Schedule_Exposure_Days REAL NOT NULL,
    Risk_Owner TEXT NOT NULL, Mitigation TEXT NOT NULL, Risk_Status TEXT NOT NULL, Date_Raised TEXT NOT NULL,
    Next_Review_Date TEXT NOT NULL
);
CREATE TABLE Change_Request (
    Change_Request_Id INTEGER PRIMARY KEY, Vessel_Id INTEGER NOT NULL REFERENCES Vessel(Vessel_Id),
    Change_Reference TEXT NOT NULL UNIQUE, Change_Title TEXT NOT NULL, Change_Type TEXT NOT NULL,
    Raised_By TEXT NOT NULL, Cost_Impact_Gbp REAL NOT NULL, Time_Impact_Days REAL NOT NULL,
    Change_Status TEXT NOT NULL, Date_Raised TEXT NOT NULL, Decision_Date TEXT
);
CREATE TABLE Inspection (
    Inspection_Id INTEGER PRIMARY KEY, Vessel_Id INTEGER NOT NULL REFERENCES Vessel(Vessel_Id),
    Hull_Block_Id INTEGER REFERENCES Hull_Block(Hull_Block_Id),
    Activity_Id INTEGER NOT NULL REFERENCES Activity(Activity_Id),
    Inspection_Reference TEXT NOT NULL UNIQUE, Inspection_Type TEXT NOT NULL, Inspecting_Body TEXT NOT NULL,
    Inspector TEXT NOT NULL, Inspection_Date TEXT NOT NULL, Result TEXT NOT NULL, Defects_Raised INTEGER NOT NULL,
    Defects_Open INTEGER NOT NULL, Remarks TEXT NOT NULL
);
CREATE TABLE Material_Delivery (
    Material_Delivery_Id INTEGER PRIMARY KEY, Vessel_Id INTEGER NOT NULL REFERENCES Vessel(Vessel_Id),
    Activity_Id INTEGER NOT NULL REFERENCES Activity(Activity_Id), Purchase_Order TEXT NOT NULL,
    Material_Code TEXT NOT NULL, Material_Description TEXT NOT NULL, Quantity_Ordered REAL NOT NULL,
    Quantity_Received REAL NOT NULL, Unit TEXT NOT NULL, Supplier TEXT NOT NULL, Required_Date TEXT NOT NULL,
    Promised_Date TEXT NOT NULL, Received_Date TEXT, Delivery_Status TEXT NOT NULL
);
CREATE TABLE Shift_Report (
    Shift_Report_Id INTEGER PRIMARY KEY, Vessel_Id INTEGER NOT NULL REFERENCES Vessel(Vessel_Id),
    Activity_Id INTEGER NOT NULL REFERENCES Activity(Activity_Id), Crew_Id INTEGER NOT NULL REFERENCES Crew(Crew_Id),
    Report_Date TEXT NOT NULL, Hours_Worked REAL NOT NULL, Hours_Lost REAL NOT NULL, Steel_Tonnes REAL NOT NULL,
    Weld_Metres REAL NOT NULL, Cable_Metres REAL NOT NULL, Pipe_Spools INTEGER NOT NULL, Max_Wind_Knots INTEGER,
    Is_Crane_Stood_Down INTEGER NOT NULL, Delay_Code TEXT, Remarks TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

PUBLIC_HOLIDAYS = {
    "2023-01-02": "New Year's Day (substitute)", "2023-01-03": "2nd January (substitute)",
    "2023-04-07": "Good Friday", "2023-04-10": "Easter Monday", "2023-05-01": "May Day",
    "2023-05-08": "Coronation holiday", "2023-05-29": "Victoria Day (local)", "2023-09-25": "Autumn holiday (local)",
    "2023-11-30": "St Andrew's Day", "2023-12-25": "Christmas Day", "2023-12-26": "Boxing Day",
    "2024-01-01": "New Year's Day", "2024-01-02": "2nd January", "2024-03-29": "Good Friday",
    "2024-04-01": "Easter Monday", "2024-05-06": "May Day", "2024-05-27": "Victoria Day (local)",
    "2024-09-30": "Autumn holiday (local)", "2024-12-02": "St Andrew's Day (substitute)",
    "2024-12-25": "Christmas Day", "2024-12-26": "Boxing Day",
    "2025-01-01": "New Year's Day", "2025-01-02": "2nd January", "2025-04-18": "Good Friday",
    "2025-04-21": "Easter Monday", "2025-05-05": "May Day", "2025-05-26": "Victoria Day (local)",
    "2025-09-29": "Autumn holiday (local)", "2025-12-01": "St Andrew's Day (substitute)",
    "2025-12-25": "Christmas Day", "2025-12-26": "Boxing Day",
    "2026-01-01": "New Year's Day", "2026-01-02": "2nd January", "2026-04-03": "Good Friday",
    "2026-04-06": "Easter Monday", "2026-05-04": "May Day", "2026-05-25": "Victoria Day (local)",
    "2026-09-28": "Autumn holiday (local)", "2026-11-30": "St Andrew's Day", "2026-12-25": "Christmas Day",
    "2026-12-28": "Boxing Day (substitute)",
    "2027-01-01": "New Year's Day", "2027-01-04": "2nd January (substitute)", "2027-03-26": "Good Friday",
    "2027-03-29": "Easter Monday", "2027-05-03": "May Day", "2027-05-31": "Victoria Day (local)",
    "2027-09-27": "Autumn holiday (local)", "2027-11-30": "St Andrew's Day",
}
CAL_FROM, CAL_TO = dt.date(2023, 1, 1), dt.date(2027, 12, 31)


FAIR = (_span("2023-07-17", "2023-07-28") + _span("2024-07-15", "2024-07-26") + _span("2025-07-14", "2025-07-25")
        + _span("2026-07-13", "2026-07-24") + _span("2027-07-12", "2027-07-23"))
SHUTDOWN = (_span("2023-12-22", "2024-01-02") + _span("2024-12-23", "2025-01-03") + _span("2025-12-22", "2026-01-02")
            + _span("2026-12-21", "2027-01-04") + _span("2027-12-20", "2027-12-31"))
TRIALS_OFF = _span("2023-12-24", "2024-01-02") + _span("2024-12-24", "2025-01-02") + _span("2025-12-24", "2026-01-02") \
    + _span("2026-12-24", "2027-01-02")
STOPPAGE = {"2025-03-14": "Industrial action - crane drivers' and riggers' stoppage",
            "2025-03-21": "Industrial action - crane drivers' and riggers' stoppage"}

CALENDARS = [
    # id, code, name, work days (0 = Mon), week, hours a day, notes, kind
    (1, "OFF-5D", "Design office Mon-Fri 7.5h", {0, 1, 2, 3, 4}, "Mon-Fri", 7.5,
     "Design, class approval and project management; office follows the yard holidays", "office"),
    (2, "SHOP-5D", "Fabrication halls Mon-Fri 8h", {0, 1, 2, 3, 4}, "Mon-Fri", 8.0,
     "Steel fabrication halls and the blast and paint cell; closed for the Fair fortnight and Christmas", "shop"),
    (3, "SHOP-6D", "Fabrication halls Mon-Sat 8h (overtime)", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 8.0,
     "Hall 2 working Saturdays for the patrol vessel programme; Fair fortnight and Christmas apply", "shop"),
    (4, "BERTH-5D", "Building berth and fitting-out quay Mon-Fri 8h", {0, 1, 2, 3, 4}, "Mon-Fri", 8.0,
     "Block erection, outfitting and harbour trials; Fair fortnight, Christmas and the March 2025 stoppage",
     "berth"),
    (5, "TRIAL-7D", "Sea trials 7-day 12h", set(range(7)), "Mon-Sun", 12.0,
     "Sea trials run seven days a week; stands down over Christmas and New Year", "trials"),
    (6, "ELAPSED", "7-day elapsed", set(range(7)), "Mon-Sun", 24.0,
     "Supplier lead times and deliveries", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.off = {}
        if kind == "elapsed":
            return
        if kind == "trials":
            for d in TRIALS_OFF:
                self.off[d] = ("XMAS", "Trials stand-down over Christmas and New Year")
            return
        for iso_d, name in PUBLIC_HOLIDAYS.items():
            self.off[dt.date.fromisoformat(iso_d)] = ("PH", f"Public holiday - {name}")
        for d in SHUTDOWN:
            self.off.setdefault(d, ("XMAS", "Christmas and New Year yard shutdown"))
        if kind in ("shop", "berth"):
            for d in FAIR:
                self.off.setdefault(d, ("FAIR", "Fair fortnight yard holiday"))
        if kind == "berth":
            for iso_d, name in STOPPAGE.items():
                self.off[dt.date.fromisoformat(iso_d)] = ("STRK", name)


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, SHOP5, SHOP6, BERTH, TRIAL, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

DIRECTOR = "Alasdair Kerr"
PLANNER = "Morven Guthrie"
QA_MANAGER = "Graham Lindsay"
CLASS_SOCIETY = "Northern Register of Shipping"
OVERSEER = "DMPA Overseer"

VESSELS = [
    # hull, name, class, customer, project manager, berth, shop calendar, hall, fabrication crew, erection crew,
    # electrical crew, contract date, margin (working days), contract value GBP m, LD per day,
    # blocks: (name, zone, tonnes), re-baseline
    ("H3301", "Meridian", "Survey Vessel", "Northern Hydrographic Service", "Priya Raghavan", "Berth 1", SHOP5,
     "Hall 1", "FAB-H1", "ERC-B1", "ELE-1", dt.date(2023, 2, 6), 20, 48.5, 12000.0,
     [("Aft body and steering gear", "Aft", 96.0), ("Engine room", "Midship", 142.0),
      ("Midship and survey moon pool", "Midship", 128.0), ("Forward body and bow thruster", "Forward", 104.0),
      ("Superstructure and bridge", "Superstructure", 58.0)], None),
    ("H3101", "Tenacious", "Offshore Patrol Vessel", "Defence Marine Procurement Agency", "Fiona MacLeod",
     "Berth 2", SHOP6, "Hall 2", "FAB-H2", "ERC-B2", "ELE-2", dt.date(2024, 1, 8), 8, 116.0, 35000.0,
     [("Aft body and steering gear", "Aft", 148.0), ("Engine room", "Midship", 212.0),
      ("Auxiliary machinery room", "Midship", 176.0), ("Accommodation deck", "Forward", 164.0),
      ("Bow and forepeak", "Forward", 122.0), ("Superstructure, bridge and mast", "Superstructure", 96.0)], None),
    ("H3401", "Forceful", "Fleet Tug", "Naval Base Marine Services", "Callum Drummond", "Berth 1", SHOP5, "Hall 3",
     "FAB-H3", "ERC-B1", "ELE-1", dt.date(2024, 8, 5), 0, 22.8, 6000.0,
     [("Aft body and Z-drive room", "Aft", 84.0), ("Engine room", "Midship", 118.0),
      ("Forward body and winch room", "Forward", 92.0), ("Deckhouse and wheelhouse", "Superstructure", 46.0)],
     (dt.date(2025, 2, 3), "BL1 Re-plan after main engine crankshaft failed factory acceptance test")),
    ("H3102", "Steadfast", "Offshore Patrol Vessel", "Defence Marine Procurement Agency", "Fiona MacLeod",
     "Berth 2", SHOP6, "Hall 2", "FAB-H2", "ERC-B2", "ELE-2", dt.date(2024, 9, 2), 18, 112.5, 35000.0,
     [("Aft body and steering gear", "Aft", 148.0), ("Engine room", "Midship", 212.0),
      ("Auxiliary machinery room", "Midship", 176.0), ("Accommodation deck", "Forward", 164.0),
      ("Bow and forepeak", "Forward", 122.0), ("Superstructure, bridge and mast", "Superstructure", 96.0)], None),
    ("H3201", "Harrier", "Mine Countermeasures Vessel", "Defence Marine Procurement Agency", "Priya Raghavan",
     "Berth 1", SHOP5, "Hall 1", "FAB-H1", "ERC-B1", "ELE-1", dt.date(2024, 6, 3), 0, 74.0, 22000.0,
     [("Aft body and propulsion room", "Aft", 102.0), ("Engine room", "Midship", 136.0),
      ("Mission deck and sonar well", "Midship", 144.0), ("Forward body and magazine", "Forward", 110.0),
      ("Superstructure and operations room", "Superstructure", 68.0)],
     (dt.date(2025, 3, 3), "BL1 Re-plan after first steel plate was rejected at the mill")),
    ("H3501", "Larkspur", "Landing Craft Utility", "Defence Marine Procurement Agency", "Callum Drummond",
     "Berth 2", SHOP5, "Hall 3", "FAB-H3", "ERC-B2", "ELE-2", dt.date(2025, 1, 13), 12, 18.4, 5000.0,
     [("Stern and propulsion", "Aft", 74.0), ("Vehicle deck aft", "Midship", 88.0),
      ("Vehicle deck forward", "Midship", 86.0), ("Bow ramp and wheelhouse", "Forward", 52.0)], None),
    ("H3601", "Salvor", "Salvage and Mooring Vessel", "Naval Base Marine Services", "Euan Baird", "Berth 1", SHOP5,
     "Hall 1", "FAB-H1", "ERC-B1", "ELE-1", dt.date(2025, 7, 7), 15, 41.0, 9000.0,
     [("Aft body and propulsion", "Aft", 112.0), ("Engine room", "Midship", 150.0),
      ("Salvage hold and moon pool", "Midship", 138.0), ("Forward body and bow lift", "Forward", 118.0),
      ("Deckhouse and bridge", "Superstructure", 62.0)], None),
]
COST_F = {"H3301": 0.98, "H3101": 1.06, "H3401": 1.14, "H3102": 1.02, "H3201": 1.09, "H3501": 1.0, "H3601": 1.0}

CREWS = [
    # code, name, trade, employer, headcount, foreman, day rate GBP (per head)
    ("DES-1", "Naval architecture and design office", "Design", "Dunmore Marine (yard)", 6, "Isla Fergusson", 420.0),
    ("FAB-H1", "Hall 1 steel fabrication squad", "Steelwork", "Dunmore Marine (yard)", 12, "Jim Cairney", 285.0),
    ("FAB-H2", "Hall 2 steel fabrication squad", "Steelwork", "Dunmore Marine (yard)", 14, "Stevie Rennie", 285.0),
    ("FAB-H3", "Hall 3 steel fabrication squad", "Steelwork", "Dunmore Marine (yard)", 10, "Tam McAllister", 285.0),
    ("BLS-1", "Blast and paint cell", "Painting", "Clydeside Coatings Ltd", 6, "Gordon Petrie", 260.0),
    ("ERC-B1", "Berth 1 erection squad", "Erection", "Dunmore Marine (yard)", 10, "Davie Mowat", 300.0),
    ("ERC-B2", "Berth 2 erection squad", "Erection", "Dunmore Marine (yard)", 10, "Kenny Lachlan", 300.0),
    ("WLD-1", "Hull closure welders", "Welding", "Dunmore Marine (yard)", 8, "Angus Baillie", 295.0),
    ("MEC-1", "Marine engineering fitters", "Mechanical", "Dunmore Marine (yard)", 6, "Ross Dalgleish", 310.0),
    ("PIP-1", "Pipe squad", "Pipefitting", "Forth Pipework Ltd", 8, "Martin Quigley", 290.0),
    ("ELE-1", "Electrical squad A", "Electrical", "Kelvin Electrical Services", 8, "Shona Blair", 305.0),
    ("ELE-2", "Electrical squad B", "Electrical", "Kelvin Electrical Services", 8, "Ewan Docherty", 305.0),
    ("ACC-1", "Accommodation outfit team", "Outfitting", "Nordvik Interiors UK", 6, "Lars Henriksen", 275.0),
    ("PNT-2", "Afloat paint squad", "Painting", "Clydeside Coatings Ltd", 4, "Gordon Petrie", 260.0),
    ("COM-1", "Commissioning engineers", "Commissioning", "Dunmore Marine (yard)", 4, "Catriona Munro", 380.0),
    ("TRL-1", "Trials party", "Trials", "Dunmore Marine (yard)", 12, "Capt. Neil Strachan", 350.0),
]
HOURS = {"DES": 7.5, "FAB": 8.0, "PNT": 8.0, "ERE": 8.0, "WLD": 8.0, "ENG": 8.0, "PIP": 8.0, "ELE": 8.0,
         "ACC": 8.0, "FPT": 8.0, "COM": 8.0, "HAT": 8.0, "SAT": 12.0}

# slips (working days added to the duration) and the activities added after the baseline
SLIPS = {"H3301.ele": 6, "H3301.fab3": 3, "H3101.ere4": 5, "H3101.cms": 9, "H3101.hat": 4, "H3102.fab3": 8,
         "H3102.stl": 12, "H3401.med": 30, "H3201.stl": 42, "H3501.fab1": 4, "H3501.cls": 6, "H3601.bdd": 7,
         "H3102.pip": 6}

# ---------------------------------------------------------------------------------------------- plans


class Plan:
    def __init__(self, hull):
        self.hull = hull
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("DSN", "ROOT", "Design and engineering"),
                    ("MAT", "ROOT", "Procurement and long-lead items"), ("HUL", "ROOT", "Hull construction"),
                    ("OUT", "ROOT", "Outfitting afloat"), ("TRL", "ROOT", "Trials and delivery")]

    def add(self, key, name, dur, wbs, preds=(), cal=OFF, kind=None, ms=None, blk=None, new=False):
        full = f"{self.hull}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs, preds=[f"{self.hull}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, blk=blk, new=new, ves=self.hull,
                               slip=SLIPS.get(full, 0)))
        return key


def make_plan(v, rng):
    hull, name, vclass, shop_cal, blocks = v[0], v[1], v[2], v[6], v[15]
    p = Plan(hull)
    big = vclass in ("Offshore Patrol Vessel", "Mine Countermeasures Vessel", "Survey Vessel")
    p.add("ctr", f"Contract award - {name} ({hull})", 0, "DSN", ms="S")
    p.add("bdd", "Basic and detail design", 55 if big else 40, "DSN", ["ctr"], kind="DES")
    p.add("cls", "Class approval of structural drawings", 25, "DSN", ["bdd:SS30"])
    p.add("pinf", "Production information and nesting", 30, "DSN", ["bdd:SS20"], kind="DES")
    p.add("stl", "Steel plate and sections delivery", 50, "MAT", ["bdd:SS21"], cal=ELP)
    p.add("med", "Main engines and gearboxes delivery (long lead)", 300, "MAT", ["ctr"], cal=ELP)
    if hull == "H3201":
        p.add("rst", "Re-order plate from alternative mill and re-test", 24, "MAT", ["stl"], cal=ELP, new=True)
    if hull == "H3401":
        p.add("crk", "Replacement crankshaft and repeat factory acceptance test", 70, "MAT", ["med"], cal=ELP,
              new=True)
    p.add("cut", "First steel cut", 0, "HUL", ["pinf", "stl", "cls"] + (["rst"] if hull == "H3201" else []),
          cal=shop_cal, ms="S")
    n = len(blocks)
    for i, (bname, _, tonnes) in enumerate(blocks, 1):
        b = f"B{i:02d}"
        p.wbs.append((b, "HUL", f"Block {b} - {bname}"))
        p.add(f"fab{i}", f"Fabricate block {b} - {bname}", max(15, round(tonnes / 2.5)), b,
              ["cut"] + ([f"fab{i - 2}"] if i > 2 else []), cal=shop_cal, kind="FAB", blk=i)
        p.add(f"pnt{i}", f"Blast and coat block {b}", rng.choice([6, 7, 8]), b, [f"fab{i}:FS2"], cal=shop_cal,
              kind="PNT", blk=i)
        if i == 1:
            p.add("kel", "Keel laying (first block on the berth)", 0, "HUL", ["pnt1"], cal=BERTH, ms="S")
        p.add(f"ere{i}", f"Erect block {b} on the berth", rng.choice([8, 9, 10, 12]), b,
              [f"pnt{i}"] + (["kel"] if i == 1 else [f"ere{i - 1}"]), cal=BERTH, kind="ERE", blk=i)
    p.add("wld", "Hull closure welding, tank testing and fairing", 30 if big else 20, "HUL", [f"ere{n}"], cal=BERTH,
          kind="WLD")
    eng_preds = ["ere2:FS3", "med"] + (["crk"] if hull == "H3401" else [])
    p.add("eng", "Main engine and gearbox installation", 35 if big else 25, "OUT", eng_preds, cal=BERTH, kind="ENG")
    p.add("lch", "Launch", 0, "HUL", ["wld", "eng"], cal=BERTH, ms="F")
    p.add("pip", "Pipework and machinery systems", 80 if big else 50, "OUT", ["eng:SS10"], cal=BERTH, kind="PIP")
    p.add("ele", "Cable pulling and electrical outfit", 95 if big else 60, "OUT", ["lch:FS7"], cal=BERTH, kind="ELE")
    p.add("acc", "Accommodation and hotel fit-out", 60 if big else 35, "OUT", ["ele:SS20"], cal=BERTH, kind="ACC")
    p.add("fpt", "Final painting and deck coverings", 12, "OUT", ["acc:FF5"], cal=BERTH, kind="FPT")
    p.add("cms", "Setting to work and commissioning", 50 if big else 30, "OUT", ["pip", "ele"], cal=BERTH, kind="COM")
    p.add("hat", "Harbour acceptance trials", 18 if big else 10, "TRL", ["cms", "acc"], cal=BERTH, kind="HAT")
    p.add("sat", "Sea acceptance trials", 12 if big else 7, "TRL", ["hat:FS3", "fpt"], cal=TRIAL, kind="SAT")
    p.add("dlv", f"Delivery and acceptance - {name}", 0, "TRL", ["sat"], ms="F")
    return p


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its vessel's contract delivery date."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "ves")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


RISKS = [
    # hull, activity key, title, category, probability 1-5, impact 1-5, cost GBP, schedule days, owner, mitigation,
    # status, raised, next review
    ("H3301", "H3301.ele", "Survey suite cabling redesign after sensor change", "Design", 3, 3, 140000.0, 8,
     "Priya Raghavan", "Freeze sensor fit before cable schedules are issued", "Realised", "2024-02-12", "2024-08-30"),
    ("H3301", None, "Hydrographic office late with acoustic trials range", "Customer", 2, 2, 20000.0, 4,
     "Priya Raghavan", "Book the range at contract award", "Closed", "2023-06-05", "2024-09-16"),
    ("H3101", "H3101.ere4", "Berth 2 goliath crane gearbox failure", "Equipment", 3, 4, 210000.0, 10, PLANNER,
     "Hire mobile crane; keep spare gearbox in stores", "Realised", "2024-06-03", "2025-11-21"),
    ("H3101", "H3101.cms", "Combat system integration software late from supplier", "Supply chain", 4, 4, 380000.0,
     15, "Fiona MacLeod", "Interim software drop for harbour trials", "Realised", "2025-01-20", "2025-11-21"),
    ("H3101", "H3101.sat", "Winter weather limits sea trials windows", "Weather", 4, 3, 150000.0, 8, "Fiona MacLeod",
     "Sheltered trials area for early serials; two weather days in plan", "Open", "2025-08-18", "2025-11-28"),
    ("H3101", None, "Liquidated damages triggered on late delivery", "Commercial", 3, 5, 700000.0, 0, DIRECTOR,
     "Negotiate early acceptance of non-critical trials", "Open", "2025-09-01", "2025-12-05"),
    ("H3401", "H3401.med", "Main engine crankshaft fails factory acceptance test", "Supply chain", 3, 5, 420000.0, 60,
     "Callum Drummond", "Witness FAT; ask engine maker for a spare crankshaft slot", "Realised", "2024-04-08",
     "2025-11-20"),
    ("H3401", "H3401.eng", "Z-drive alignment tolerance not achieved afloat", "Technical", 2, 4, 90000.0, 6,
     "Callum Drummond", "Laser alignment survey before launch", "Open", "2025-06-16", "2025-11-24"),
    ("H3401", None, "Bollard pull test site unavailable in winter", "External", 3, 3, 35000.0, 7, "Callum Drummond",
     "Book the test berth at Port Carrow east basin", "Open", "2025-09-15", "2025-12-01"),
    ("H3102", "H3102.fab3", "Weld NDT failures on auxiliary machinery room block", "Quality", 4, 3, 160000.0, 8,
     QA_MANAGER, "Welder re-qualification and 100% UT on butt welds", "Realised", "2024-10-07", "2025-03-31"),
    ("H3102", "H3102.stl", "Steel plate delivery from mill delayed", "Supply chain", 3, 3, 60000.0, 12, PLANNER,
     "Part loads from stockist for first blocks", "Realised", "2024-03-18", "2024-07-01"),
    ("H3102", "H3102.pip", "Pipe squad diverted to Tenacious trials defects", "Resource", 3, 3, 85000.0, 6,
     "Fiona MacLeod", "Forth Pipework to add a second squad", "Open", "2025-09-22", "2025-11-24"),
    ("H3201", "H3201.stl", "First steel plate rejected on ultrasonic testing at the mill", "Quality", 3, 5, 240000.0,
     45, PLANNER, "Re-order from alternative mill with third-party inspection", "Realised", "2024-08-19",
     "2025-03-03"),
    ("H3201", "H3201.fab3", "Sonar well tolerances difficult to hold in fabrication", "Technical", 3, 4, 120000.0, 10,
     QA_MANAGER, "Machined seating ring fitted after erection", "Open", "2025-05-12", "2025-11-28"),
    ("H3201", None, "Security clearance of subcontract electricians", "Resource", 3, 3, 40000.0, 6, "Priya Raghavan",
     "Start vetting three months before cabling", "Open", "2025-07-07", "2025-12-08"),
    ("H3501", "H3501.cls", "Class society queries on bow ramp hinge design", "Design", 3, 2, 25000.0, 6,
     "Callum Drummond", "Early design review meeting with the surveyor", "Realised", "2025-02-24", "2025-06-30"),
    ("H3501", "H3501.fab1", "Hall 3 shared with Forceful rework", "Resource", 2, 3, 30000.0, 4, "Callum Drummond",
     "Sequence Hall 3 work in the weekly production meeting", "Closed", "2025-04-14", "2025-08-29"),
    ("H3601", "H3601.bdd", "Bow lift and heavy lift crane requirements still changing", "Design", 4, 3, 110000.0, 10,
     "Euan Baird", "Design freeze date agreed with the customer", "Open", "2025-08-11", "2025-11-25"),
    ("H3601", "H3601.med", "Engine maker's order book full until 2026", "Supply chain", 3, 4, 200000.0, 20,
     "Euan Baird", "Reserve production slot with deposit", "Open", "2025-07-21", "2025-12-01"),
    ("H3601", None, "Berth 1 occupied by Harrier longer than planned", "Resource", 3, 3, 70000.0, 12, DIRECTOR,
     "Consider building Salvor on Berth 2", "Open", "2025-10-06", "2025-12-15"),
]

CHANGES = [
    # hull, title, type, raised by, cost GBP, time days, status, raised, decision
    ("H3301", "Additional multibeam echo sounder transducer", "Scope", "Priya Raghavan", 185000.0, 6, "Approved",
     "2023-09-11", "2023-10-02"),
    ("H3301", "Re-route survey suite cabling", "Design", "Isla Fergusson", 62000.0, 4, "Approved", "2024-03-04",
     "2024-03-18"),
    ("H3101", "Upgraded medium calibre gun mounting seat", "Scope", "Fiona MacLeod", 240000.0, 5, "Approved",
     "2024-04-15", "2024-05-20"),
    ("H3101", "Mobile crane hire after goliath gearbox failure", "Commercial", PLANNER, 96000.0, 0, "Approved",
     "2024-11-04", "2024-11-11"),
    ("H3101", "Interim combat system software for harbour trials", "Programme", "Fiona MacLeod", 45000.0, -6,
     "Under Review", "2025-09-29", None),
    ("H3101", "Additional berthing trials day", "Programme", "Capt. Neil Strachan", 18000.0, 1, "Raised",
     "2025-11-10", None),
    ("H3401", "Replacement crankshaft and repeat FAT", "Commercial", "Callum Drummond", 0.0, 70, "Approved",
     "2024-12-02", "2024-12-20"),
    ("H3401", "Re-plan after crankshaft failure (BL1)", "Programme", PLANNER, 0.0, 55, "Approved", "2025-01-13",
     "2025-02-03"),
    ("H3401", "Fire-fighting monitor upgrade", "Scope", "Callum Drummond", 74000.0, 3, "Rejected", "2025-04-07",
     "2025-04-28"),
    ("H3102", "Apply Tenacious lessons learned to bridge layout", "Design", "Isla Fergusson", 38000.0, 2, "Approved",
     "2024-09-02", "2024-09-23"),
    ("H3102", "Welder re-qualification and extra UT", "Commercial", QA_MANAGER, 54000.0, 0, "Approved", "2024-10-14",
     "2024-10-28"),
    ("H3102", "Second pipe squad from Forth Pipework", "Programme", "Fiona MacLeod", 66000.0, -4, "Under Review",
     "2025-10-06", None),
    ("H3201", "Alternative plate mill with third-party inspection", "Commercial", PLANNER, 88000.0, 24, "Approved",
     "2024-08-26", "2024-09-09"),
    ("H3201", "Re-plan after plate rejection (BL1)", "Programme", PLANNER, 0.0, 42, "Approved", "2025-02-10",
     "2025-03-03"),
    ("H3201", "Add degaussing coil trunking to block B03", "Design", "Priya Raghavan", 57000.0, 3, "Raised",
     "2025-10-20", None),
    ("H3501", "Strengthen bow ramp hinge for heavier vehicles", "Design", "Callum Drummond", 31000.0, 4, "Approved",
     "2025-03-17", "2025-04-07"),
    ("H3501", "Overtime in Hall 3 to recover block B01", "Programme", "Callum Drummond", 22000.0, -3, "Withdrawn",
     "2025-05-19", None),
    ("H3601", "Heavier bow lift sheaves", "Scope", "Euan Baird", 140000.0, 8, "Under Review", "2025-09-08", None),
]

MATERIALS = [
    # activity needing it, code, description, unit, quantity (per tonne of steel when per_t), supplier, per_t
    ("stl", "STL-PLT", "Shipbuilding steel plate grade AH36", "T", 0.82, "Caledon Steel Mills", True),
    ("stl", "STL-SEC", "Bulb flats and T-sections", "T", 0.22, "Caledon Steel Mills", True),
    ("med", "ME-DSL", "Main diesel engine", "EA", 2, "Brenmark Marine Engines", False),
    ("med", "GBX-RED", "Reduction gearbox", "EA", 2, "Halvard Transmissions", False),
    ("pnt1", "PNT-EPX", "Two-pack epoxy primer and anticorrosive", "L", 9.0, "Seaguard Coatings", True),
    ("pip", "PIP-SPL", "Prefabricated pipe spools", "EA", 1.6, "Forth Pipework Ltd", True),
    ("ele", "CBL-PWR", "Marine power and control cable", "M", 38.0, "Strathmore Cables", True),
    ("acc", "ACC-CAB", "Prefabricated accommodation cabins", "EA", 0.045, "Nordvik Interiors UK", True),
]
LATE_MAT = {("H3102", "STL-PLT"): 12, ("H3201", "STL-PLT"): 42, ("H3401", "ME-DSL"): 100, ("H3101", "CBL-PWR"): 9,
            ("H3501", "STL-SEC"): 6, ("H3102", "PIP-SPL"): 8}
SHORT_MAT = {("H3102", "PIP-SPL"): 0.7, ("H3501", "STL-SEC"): 0.85}
DELAYS = [("CRN", "Crane unavailable - booked on the other berth"), ("MAT", "Waiting for materials from stores"),
          ("DRG", "Drawing query - engineering hold"), ("RWK", "Rework after inspection"),
          ("ACC", "Scaffolding or access not ready")]


def wind_of(rng, d):
    base = 14 if d.month in (5, 6, 7, 8) else (24 if d.month in (11, 12, 1, 2) else 18)
    w = int(round(rng.gauss(base, 7)))
    if rng.random() < 0.04:
        w += rng.randint(15, 25)
    return max(3, w)


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "Calendar", "Calendar_Exception", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    crew_ids, crew_row = {}, {}
    for i, c in enumerate(CREWS, 1):
        con.execute("INSERT INTO Crew VALUES (?,?,?,?,?,?,?,?)", (i,) + c)
        crew_ids[c[0]], crew_row[c[0]] = i, c

    plans, tasks, keys = gather_plans(VESSELS, lambda g: make_plan(g, rng), lambda g: g[11])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['ves']}.dlv")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(v[0], f"{v[0]}.dlv", v[12], v[16]) for v in VESSELS], dt.date(2031, 1, 1), CALS[OFF])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    # further slip after the re-plan on the re-baselined vessels, so that they still run late
    cdurs["H3401.ele"] += 10
    cdurs["H3201.ele"] += 12
    sb, fb, lsb, lfb, free = cpm(tasks, keys, cdurs, links, anchors)
    dd_b = DATA_DATE + D1

    ids = dict(wbs=0, act=0, lnk=0, bl=0, bla=0, asg=0, blk=0, ins=0, dlv=0, rpt=0)
    act_ids, astat, blk_ids, ves_ids, states = {}, {}, {}, {}, {}
    for v_idx, v in enumerate(VESSELS, 1):
        hull, name, vclass, cust, pm, berth, _, hall = v[:8]
        start, value, ld, blocks, rebase = v[11], v[13], v[14], v[15], v[16]
        ves_ids[hull] = v_idx
        plan = plans[hull]
        akeys = [t["key"] for t in plan.tasks]
        fin = f"{hull}.dlv"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE
        lch_shown = shown(tasks[f"{hull}.lch"], sb[f"{hull}.lch"], fb[f"{hull}.lch"], 0)[1]

        def started(key):
            k = f"{hull}.{key}"
            return sb[k] <= DATA_DATE
        if done:
            stage = "Delivered"
        elif started("hat"):
            stage = "Trials"
        elif lch_shown <= DATA_DATE:
            stage = "Outfitting"
        elif started("ere1"):
            stage = "Erection"
        elif started("fab1"):
            stage = "Steelwork"
        else:
            stage = "Design"
        slack = CALS[OFF].wd(fb[fin], anchors[hull])
        rag = "Green" if done or slack > 10 else ("Amber" if slack >= 0 else "Red")
        bud = round(value * 1e6 * 0.86, -4)
        con.execute("INSERT INTO Vessel VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (v_idx, hull, name, vclass, cust, pm, berth, value * 1e6, bud, round(bud * COST_F[hull], -4), ld,
                     iso(start), iso(tgt[hull]), iso(fin_shown), iso(fin_shown) if done else None,
                     iso(lch_shown) if lch_shown <= DATA_DATE else None, stage, rag))
        for i, (bname, zone, tonnes) in enumerate(blocks, 1):
            ids["blk"] += 1
            blk_ids[(hull, i)] = ids["blk"]
            fab, pnt, ere = (f"{hull}.{x}{i}" for x in ("fab", "pnt", "ere"))
            if fb[ere] <= dd_b:
                sts = "Erected"
            elif sb[ere] <= DATA_DATE:
                sts = "On Berth"
            elif fb[pnt] <= dd_b:
                sts = "Ready for Erection"
            elif sb[pnt] <= DATA_DATE:
                sts = "In Paint Cell"
            elif sb[fab] <= DATA_DATE:
                sts = "In Fabrication"
            else:
                sts = "Not Started"
            con.execute("INSERT INTO Hull_Block VALUES (?,?,?,?,?,?,?,?,?,?)",
                        (ids["blk"], v_idx, f"B{i:02d}", bname, zone, tonnes, i, hall, sts,
                         iso(fb[ere] - D1) if sts == "Erected" else None))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, hull, f"{hull} {name} ({vclass})"):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO Wbs_Element VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], v_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        for n, k in enumerate(akeys, 1):
            t = tasks[k]
            ids["act"] += 1
            act_ids[k] = ids["act"]
            a = activity_at(DATA_DATE, tasks, k, cdurs, (sb, fb, lsb, lfb, free), bl_src, bl_d, CALS, rng)
            st = {"done": "Completed", "started": "In Progress", "not": "Not Started"}[a.state]
            astat[k], states[k] = st, a.state
            typ = {"task": "Task", "start": "Start Milestone", "finish": "Finish Milestone"}[a.kind]
            con.execute("INSERT INTO Activity VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], v_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]],
                         blk_ids[(hull, t["blk"])] if t["blk"] else None, f"{hull}-{n * 10:04d}", t["name"], typ,
                         float(cdurs[k]), a.remaining, iso(a.bl_start), iso(a.bl_finish), iso(a.start), iso(a.finish),
                         iso(a.late_start), iso(a.late_finish), iso(a.actual_start), iso(a.actual_finish),
                         a.total_float, a.free_float, 1 if a.critical else 0, a.pct, st))
        bls = [(0, "BL0 Contract baseline", start + dt.timedelta(days=28), b0, d0)]
        if rebase:
            bls.append((1, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO Baseline VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], v_idx, no, bname, iso(bdate), DIRECTOR, 1 if no == len(bls) - 1 else 0))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, akeys, bl, bd, CALS):
                ids["bla"] += 1
                con.execute("INSERT INTO Baseline_Activity VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["lnk"] += 1
        con.execute("INSERT INTO Activity_Link VALUES (?,?,?,?,?)",
                    (ids["lnk"], act_ids[p], act_ids[s], typ, float(lag)))

    # crews on activities, their shift reports and the inspections of finished work
    ves_of = {v[0]: v for v in VESSELS}
    wind_by_day = {}
    ins_n = {}

    def inspect(hull, k, blk, typ, body, who, when, rework=False):
        ins_n[hull] = ins_n.get(hull, 0) + 1
        ids["ins"] += 1
        recent = (DATA_DATE - when).days < 45
        if rework:
            res, raised, opn, rmk = "Rejected", rng.randint(9, 16), 0, "Weld defects found on UT - block repaired " \
                "and re-inspected"
        else:
            res = rng.choices(["Accepted", "Accepted with comments"], [0.7, 0.3])[0]
            raised = 0 if res == "Accepted" else rng.randint(1, 8)
            opn = rng.randint(0, raised) if recent else 0
            rmk = "No findings" if res == "Accepted" else f"{raised} minor findings recorded"
        con.execute("INSERT INTO Inspection VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (ids["ins"], ves_ids[hull], blk_ids[(hull, blk)] if blk else None, act_ids[k],
                     f"INS-{hull}-{ins_n[hull]:03d}", typ, body, who, iso(when), res, raised, opn, rmk))

    for k in keys:
        t = tasks[k]
        kind = t["kind"]
        if not kind:
            continue
        v = ves_of[t["ves"]]
        hull = v[0]
        crew = {"DES": "DES-1", "FAB": v[8], "PNT": "BLS-1", "ERE": v[9], "WLD": "WLD-1", "ENG": "MEC-1",
                "PIP": "PIP-1", "ELE": v[10], "ACC": "ACC-1", "FPT": "PNT-2", "COM": "COM-1", "HAT": "TRL-1",
                "SAT": "TRL-1"}[kind]
        c = crew_row[crew]
        hpd = HOURS[kind]
        base = t["dur"] or 1
        pln = float(base * hpd * c[4])
        cal = CALS[t["cal"]]
        act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng)
        rate = c[6] / hpd
        ids["asg"] += 1
        con.execute("INSERT INTO Crew_Assignment VALUES (?,?,?,?,?,?,?,?)",
                    (ids["asg"], act_ids[k], crew_ids[crew], pln, act, rem_h, round(pln * rate, 2),
                     round(act * rate, 2)))
        blk = t["blk"]
        fin_d = fb[k] - D1
        if astat[k] == "Completed":
            if kind == "FAB":
                if k == "H3102.fab3":
                    inspect(hull, k, blk, "Weld NDT", "Yard QA", QA_MANAGER, fin_d - dt.timedelta(days=11), True)
                inspect(hull, k, blk, "Weld NDT", "Yard QA", rng.choice([QA_MANAGER, "Eilidh Watt"]), fin_d + D1)
                inspect(hull, k, blk, "Dimensional Survey", "Yard QA", "Eilidh Watt", fin_d + D1)
            elif kind == "PNT":
                inspect(hull, k, blk, "Coating Inspection", "Yard QA", "Eilidh Watt", fin_d)
            elif kind == "WLD":
                inspect(hull, k, None, "Tank Test", CLASS_SOCIETY, "Hamish Ure", fin_d)
            elif kind == "ENG":
                inspect(hull, k, None, "Shaft Alignment", CLASS_SOCIETY, "Hamish Ure", fin_d)
            elif kind == "COM":
                inspect(hull, k, None, "Systems Test", OVERSEER, "Cdr. Ruth Abernethy", fin_d)
            elif kind == "HAT":
                inspect(hull, k, None, "Harbour Acceptance Trial", OVERSEER, "Cdr. Ruth Abernethy", fin_d)
            elif kind == "SAT":
                inspect(hull, k, None, "Sea Acceptance Trial", OVERSEER, "Cdr. Ruth Abernethy", fin_d)
        if kind == "DES":
            continue
        days = worked_days(cal, sb[k], fb[k], DATA_DATE)
        outdoor = kind in ("ERE", "WLD", "FPT", "SAT")
        for d in days:
            if d not in wind_by_day:
                wind_by_day[d] = wind_of(rng, d)
            wind = wind_by_day[d] if outdoor else None
            lost, dly, rmk, stood = 0.0, None, "Work to plan", 0
            if outdoor and wind >= 38 and kind in ("ERE", "SAT"):
                stood, lost, dly = int(kind == "ERE"), float(rng.choice([4, 6, 8])), "WND"
                rmk = f"Wind {wind} kn - " + ("cranes stood down" if kind == "ERE" else "trials serial postponed")
            elif rng.random() < 0.06:
                dly, rmk = rng.choice(DELAYS)
                lost = float(rng.choice([1, 2, 3, 4]))
            hours = max(0.0, (hpd - lost)) * c[4]
            eff = max(0.0, (hpd - lost) / hpd) * rng.uniform(0.8, 1.15)
            steel = weld = cable = 0.0
            spools = 0
            if kind == "FAB":
                steel = round(v[15][blk - 1][2] / max(1, cdurs[k]) * eff, 1)
                weld = round(rng.uniform(40, 90) * eff, 0)
            elif kind in ("ERE", "WLD"):
                weld = round(rng.uniform(25, 60) * eff, 0)
            elif kind == "ELE":
                cable = round(rng.uniform(300, 900) * eff, 0)
            elif kind == "PIP":
                spools = int(round(rng.randint(4, 14) * eff))
            ids["rpt"] += 1
            con.execute("INSERT INTO Shift_Report VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["rpt"], ves_ids[hull], act_ids[k], crew_ids[crew], iso(d), round(hours, 1), lost * c[4],
                         steel, weld, cable, spools, wind, stood, dly, rmk))

    # materials deliveries against purchase orders
    po = 7100200
    for v in VESSELS:
        hull = v[0]
        steel_t = sum(b[2] for b in v[15])
        for tk, mcode, desc, uom, qty, supp, per_t in MATERIALS:
            k = f"{hull}.{tk}"
            q = round(qty * steel_t, 0) if per_t else float(qty)
            late = LATE_MAT.get((hull, mcode), 0)
            need = fb[k] - D1 if tasks[k]["cal"] == ELP else sb[k] - dt.timedelta(days=7)
            req = need - dt.timedelta(days=late)
            prom = req + dt.timedelta(days=rng.choice([-5, -3, 0, 0, 2]) + late)
            arrive = prom + dt.timedelta(days=rng.choice([-1, 0, 0, 1, 3]))
            po += rng.randint(5, 60)
            rows = [(req, prom, arrive)]
            if hull == "H3201" and mcode == "STL-PLT":
                # the first order was rejected at the mill and cancelled; the re-order came from another mill
                rows.insert(0, (req - dt.timedelta(days=24), req - dt.timedelta(days=24), None))
            for j, (rq, pr, ar) in enumerate(rows):
                frac = SHORT_MAT.get((hull, mcode), 1.0)
                if ar is None:
                    sts, dq, got, supp_j = "CAN", 0.0, None, supp
                elif ar <= DATA_DATE:
                    sts, dq, got, supp_j = ("PRT" if frac < 1 else "RCV"), round(q * frac, 0), ar, supp
                else:
                    sts, dq, got, supp_j = "ORD", 0.0, None, supp
                if len(rows) == 2 and j == 1:
                    supp_j = "Nordhavn Steelworks"
                ids["dlv"] += 1
                con.execute("INSERT INTO Material_Delivery VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (ids["dlv"], ves_ids[hull], act_ids[k], f"PO-{po}", mcode, desc, q, dq, uom, supp_j,
                             iso(rq), iso(pr), iso(got), sts))
                po += 1

    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO Risk VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, ves_ids[r[0]], act_ids[r[1]] if r[1] else None, f"R-{r[0]}-{n_by[r[0]]:02d}", r[2], r[3],
                     r[4], r[5], r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))
    n_by = {}
    for i, c in enumerate(CHANGES, 1):
        n_by[c[0]] = n_by.get(c[0], 0) + 1
        con.execute("INSERT INTO Change_Request VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                    (i, ves_ids[c[0]], f"CR-{c[0]}-{n_by[c[0]]:02d}", c[1], c[2], c[3], c[4], float(c[5]), c[6], c[7],
                     c[8]))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

VESSEL_FK = ("Vessel (Vessel.Vessel_Id)", "INTEGER")
ACTIVITY_FK = ("Activity (Activity.Activity_Id)", "INTEGER")

TABLE_META = {
    "Vessel": ("Vessels (hulls) built at the Port Carrow yard, one project each: class, customer, project manager, "
               "building berth, contract value, budget, forecast cost, liquidated damages, contract and forecast "
               "delivery dates, launch, build stage and RAG", {
        "Vessel_Id": ("Vessel id", "INTEGER"),
        "Hull_Number": ("Yard hull number, e.g. H3101", "TEXT"),
        "Vessel_Name": ("Vessel name, e.g. Tenacious", "TEXT"),
        "Vessel_Class": ("Type of vessel, e.g. Offshore Patrol Vessel, Fleet Tug", "TEXT"),
        "Customer": ("Customer the vessel is built for", "TEXT"),
        "Project_Manager": ("Yard project manager of the hull", "TEXT"),
        "Building_Berth": ("Building berth the hull is erected on", "TEXT"),
        "Contract_Value_Gbp": ("Contract price, GBP", "REAL"),
        "Budget_Gbp": ("Approved cost budget, GBP", "REAL"),
        "Forecast_Cost_Gbp": ("Forecast cost at completion, GBP", "REAL"),
        "Liquidated_Damages_Per_Day_Gbp": ("Liquidated damages per day of late delivery, GBP", "REAL"),
        "Contract_Date": ("Contract award date", "DATE"),
        "Contract_Delivery_Date": ("Contractual delivery date; float is measured to it", "DATE"),
        "Forecast_Delivery_Date": ("Forecast delivery date from the current schedule", "DATE"),
        "Actual_Delivery_Date": ("Actual delivery (acceptance) date; null until delivered", "DATE"),
        "Launch_Date": ("Date the hull was launched; null until launched", "DATE"),
        "Build_Stage": ("Build stage at the data date", "TEXT"),
        "Rag_Status": ("RAG status", "TEXT"),
    }),
    "Wbs_Element": ("WBS of each vessel: level 1 the hull, level 2 design, procurement, hull construction, "
                    "outfitting, trials; level 3 one node per hull block", {
        "Wbs_Element_Id": ("WBS element id", "INTEGER"),
        "Vessel_Id": VESSEL_FK,
        "Parent_Wbs_Element_Id": ("Parent WBS element; null at level 1", "INTEGER"),
        "Wbs_Code": ("WBS code, e.g. H3102.4.3", "TEXT"),
        "Wbs_Name": ("WBS element name", "TEXT"),
        "Wbs_Level": ("Level 1-3", "INTEGER"),
    }),
    "Calendar": ("Work calendars: design office, fabrication halls (5 and 6 day), berth and quay, sea trials, "
                 "7-day elapsed", {
        "Calendar_Id": ("Calendar id", "INTEGER"),
        "Calendar_Code": ("Calendar code, e.g. SHOP-6D", "TEXT"),
        "Calendar_Name": ("Calendar name", "TEXT"),
        "Work_Week": ("Working days of a normal week", "TEXT"),
        "Hours_Per_Day": ("Working hours a day", "REAL"),
        "Notes": ("Free text", "TEXT"),
    }),
    "Calendar_Exception": ("Non-working days of each calendar: public holidays, the Fair fortnight, the Christmas "
                           "shutdown and the crane drivers' stoppage. Only days that would otherwise be working "
                           "days", {
        "Calendar_Exception_Id": ("Id", "INTEGER"),
        "Calendar_Id": ("Calendar (Calendar.Calendar_Id)", "INTEGER"),
        "Exception_Date": ("Non-working date (YYYY-MM-DD)", "DATE"),
        "Exception_Type": ("Exception type code", "TEXT"),
        "Reason": ("Reason", "TEXT"),
    }),
    "Hull_Block": ("Hull blocks (grand blocks) of each vessel: zone, steel weight, erection sequence, fabrication "
                   "hall, status and erection date", {
        "Hull_Block_Id": ("Hull block id", "INTEGER"),
        "Vessel_Id": VESSEL_FK,
        "Block_Number": ("Block number within the hull, e.g. B03", "TEXT"),
        "Block_Name": ("Block name / what it contains", "TEXT"),
        "Zone": ("Hull zone: Aft, Midship, Forward, Superstructure", "TEXT"),
        "Steel_Weight_Tonnes": ("Steel weight of the block, tonnes", "REAL"),
        "Erection_Sequence": ("Order in which the block goes on the berth", "INTEGER"),
        "Fabrication_Hall": ("Fabrication hall the block is built in", "TEXT"),
        "Block_Status": ("Block status at the data date", "TEXT"),
        "Erected_Date": ("Date the block's erection finished; null until erected", "DATE"),
    }),
    "Activity": ("Schedule activities and milestones of each vessel at the data date: early (forecast), late, "
                 "actual and current-baseline dates, durations and float in working days", {
        "Activity_Id": ("Activity id", "INTEGER"),
        "Vessel_Id": VESSEL_FK,
        "Wbs_Element_Id": ("WBS element (Wbs_Element.Wbs_Element_Id)", "INTEGER"),
        "Calendar_Id": ("Calendar (Calendar.Calendar_Id)", "INTEGER"),
        "Hull_Block_Id": ("Hull block the activity builds (Hull_Block.Hull_Block_Id); null for hull-wide work",
                          "INTEGER"),
        "Activity_Code": ("Activity code, e.g. H3102-0300", "TEXT"),
        "Activity_Name": ("Activity name", "TEXT"),
        "Activity_Type": ("Task, Start Milestone or Finish Milestone", "TEXT"),
        "Original_Duration": ("Original duration, working days", "REAL"),
        "Remaining_Duration": ("Remaining duration, working days", "REAL"),
        "Baseline_Start": ("Start in the current baseline; null for activities added since", "DATE"),
        "Baseline_Finish": ("Finish in the current baseline", "DATE"),
        "Early_Start": ("Early (forecast) start", "DATE"),
        "Early_Finish": ("Early (forecast) finish", "DATE"),
        "Late_Start": ("Late start; null when completed", "DATE"),
        "Late_Finish": ("Late finish; null when completed", "DATE"),
        "Actual_Start": ("Actual start", "DATE"),
        "Actual_Finish": ("Actual finish", "DATE"),
        "Total_Float": ("Total float, working days; null when completed", "REAL"),
        "Free_Float": ("Free float, working days; null when completed", "REAL"),
        "Is_Critical": ("Critical flag, 1 / 0", "INTEGER"),
        "Percent_Complete": ("Percent complete", "REAL"),
        "Activity_Status": ("Activity status", "TEXT"),
    }),
    "Activity_Link": ("Logic links between activities with type and lag", {
        "Activity_Link_Id": ("Link id", "INTEGER"),
        "Predecessor_Activity_Id": ("Predecessor (Activity.Activity_Id)", "INTEGER"),
        "Successor_Activity_Id": ("Successor (Activity.Activity_Id)", "INTEGER"),
        "Link_Type": ("Link type code", "TEXT"),
        "Lag_Days": ("Lag in calendar days", "REAL"),
    }),
    "Baseline": ("Baselines of each vessel; Is_Current marks the one reported against", {
        "Baseline_Id": ("Baseline id", "INTEGER"),
        "Vessel_Id": VESSEL_FK,
        "Baseline_Number": ("Baseline number within the vessel (0 = contract baseline)", "INTEGER"),
        "Baseline_Name": ("Baseline name", "TEXT"),
        "Set_Date": ("Date the baseline was set", "DATE"),
        "Approved_By": ("Approver (the programme director)", "TEXT"),
        "Is_Current": ("1 for the current baseline", "INTEGER"),
    }),
    "Baseline_Activity": ("Activity dates, durations and float as stored in each baseline", {
        "Baseline_Activity_Id": ("Id", "INTEGER"),
        "Baseline_Id": ("Baseline (Baseline.Baseline_Id)", "INTEGER"),
        "Activity_Id": ACTIVITY_FK,
        "Baseline_Start": ("Baseline start", "DATE"),
        "Baseline_Finish": ("Baseline finish", "DATE"),
        "Baseline_Duration": ("Baseline duration, working days", "REAL"),
        "Baseline_Total_Float": ("Baseline total float, working days", "REAL"),
    }),
    "Crew": ("Crews: the yard's fabrication, erection, welding, engineering, commissioning and trials squads and "
             "the subcontractors' paint, pipe, electrical and accommodation teams, with headcount and day rate", {
        "Crew_Id": ("Crew id", "INTEGER"),
        "Crew_Code": ("Crew code, e.g. FAB-H2, ELE-1", "TEXT"),
        "Crew_Name": ("Crew name", "TEXT"),
        "Trade": ("Trade of the crew", "TEXT"),
        "Employer": ("Company the crew works for (the yard or a subcontractor)", "TEXT"),
        "Headcount": ("Number of people in the crew", "INTEGER"),
        "Foreman": ("Foreman / chargehand of the crew", "TEXT"),
        "Day_Rate_Gbp": ("Day rate per head, GBP", "REAL"),
    }),
    "Crew_Assignment": ("Crew assignments to activities with planned, actual and remaining hours and cost", {
        "Crew_Assignment_Id": ("Assignment id", "INTEGER"),
        "Activity_Id": ACTIVITY_FK,
        "Crew_Id": ("Crew (Crew.Crew_Id)", "INTEGER"),
        "Planned_Hours": ("Planned person-hours", "REAL"),
        "Actual_Hours": ("Actual person-hours to the data date", "REAL"),
        "Remaining_Hours": ("Remaining person-hours", "REAL"),
        "Planned_Cost_Gbp": ("Planned cost, GBP", "REAL"),
        "Actual_Cost_Gbp": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "Risk": ("Risk register of the shipbuilding programme", {
        "Risk_Id": ("Risk id", "INTEGER"),
        "Vessel_Id": VESSEL_FK,
        "Activity_Id": ("Activity the risk affects (Activity.Activity_Id); may be null", "INTEGER"),
        "Risk_Reference": ("Risk reference, e.g. R-H3401-01", "TEXT"),
        "Risk_Title": ("Risk title", "TEXT"),
        "Risk_Category": ("Risk category", "TEXT"),
        "Probability": ("Probability 1-5", "INTEGER"),
        "Impact": ("Impact 1-5", "INTEGER"),
        "Risk_Score": ("Probability x impact", "INTEGER"),
        "Cost_Exposure_Gbp": ("Cost exposure, GBP", "REAL"),
        "Schedule_Exposure_Days": ("Schedule exposure, days", "REAL"),
        "Risk_Owner": ("Risk owner", "TEXT"),
        "Mitigation": ("Mitigation", "TEXT"),
        "Risk_Status": ("Risk status", "TEXT"),
        "Date_Raised": ("Date raised", "DATE"),
        "Next_Review_Date": ("Next review date", "DATE"),
    }),
    "Change_Request": ("Change requests of the vessels, with cost and time impact and status", {
        "Change_Request_Id": ("Change request id", "INTEGER"),
        "Vessel_Id": VESSEL_FK,
        "Change_Reference": ("Change reference, e.g. CR-H3101-03", "TEXT"),
        "Change_Title": ("Change title", "TEXT"),
        "Change_Type": ("Change type: Scope, Design, Programme, Commercial", "TEXT"),
        "Raised_By": ("Person who raised it", "TEXT"),
        "Cost_Impact_Gbp": ("Cost impact, GBP", "REAL"),
        "Time_Impact_Days": ("Time impact, days (negative = acceleration)", "REAL"),
        "Change_Status": ("Change status", "TEXT"),
        "Date_Raised": ("Date raised", "DATE"),
        "Decision_Date": ("Date approved or rejected; null while open, withdrawn", "DATE"),
    }),
    "Inspection": ("Inspections and tests of completed work: weld NDT, dimensional surveys and coating "
                   "inspections of hull blocks, tank tests, shaft alignment, systems tests, harbour and sea "
                   "acceptance trials, by the yard's QA, the classification society or the customer's overseer", {
        "Inspection_Id": ("Inspection id", "INTEGER"),
        "Vessel_Id": VESSEL_FK,
        "Hull_Block_Id": ("Hull block inspected (Hull_Block.Hull_Block_Id); null for hull-wide inspections",
                          "INTEGER"),
        "Activity_Id": ("Activity whose work was inspected (Activity.Activity_Id)", "INTEGER"),
        "Inspection_Reference": ("Inspection reference, e.g. INS-H3102-014", "TEXT"),
        "Inspection_Type": ("Kind of inspection or test", "TEXT"),
        "Inspecting_Body": ("Who inspected: Yard QA, the classification society or the customer's overseer", "TEXT"),
        "Inspector": ("Inspector's name", "TEXT"),
        "Inspection_Date": ("Date of the inspection", "DATE"),
        "Result": ("Inspection result", "TEXT"),
        "Defects_Raised": ("Defects (findings) raised", "INTEGER"),
        "Defects_Open": ("Defects still open at the data date", "INTEGER"),
        "Remarks": ("Inspector's remarks", "TEXT"),
    }),
    "Material_Delivery": ("Material deliveries against purchase orders: steel plate and sections, main engines, "
                          "gearboxes, paint, pipe spools, cable and accommodation cabins, with required, promised "
                          "and received dates", {
        "Material_Delivery_Id": ("Delivery id", "INTEGER"),
        "Vessel_Id": VESSEL_FK,
        "Activity_Id": ("Activity the material is for (Activity.Activity_Id)", "INTEGER"),
        "Purchase_Order": ("Purchase order number", "TEXT"),
        "Material_Code": ("Material code, e.g. ME-DSL, STL-PLT", "TEXT"),
        "Material_Description": ("Material description", "TEXT"),
        "Quantity_Ordered": ("Quantity ordered", "REAL"),
        "Quantity_Received": ("Quantity received so far", "REAL"),
        "Unit": ("Unit of measure: T (tonnes), EA (each), M (metres), L (litres)", "TEXT"),
        "Supplier": ("Supplier", "TEXT"),
        "Required_Date": ("Date required in the yard", "DATE"),
        "Promised_Date": ("Date promised by the supplier", "DATE"),
        "Received_Date": ("Date received; null until received", "DATE"),
        "Delivery_Status": ("Delivery status code", "TEXT"),
    }),
    "Shift_Report": ("Shift reports: one per crew per working day on a production activity up to the data date, "
                     "with hours worked and lost, steel fabricated, weld metres, cable pulled, pipe spools fitted, "
                     "wind on the berth, crane stand-downs and delay cause", {
        "Shift_Report_Id": ("Shift report id", "INTEGER"),
        "Vessel_Id": VESSEL_FK,
        "Activity_Id": ("Activity worked on (Activity.Activity_Id)", "INTEGER"),
        "Crew_Id": ("Crew (Crew.Crew_Id)", "INTEGER"),
        "Report_Date": ("Date of the shift", "DATE"),
        "Hours_Worked": ("Person-hours worked", "REAL"),
        "Hours_Lost": ("Person-hours lost", "REAL"),
        "Steel_Tonnes": ("Tonnes of steel fabricated that shift", "REAL"),
        "Weld_Metres": ("Metres of weld completed", "REAL"),
        "Cable_Metres": ("Metres of cable pulled", "REAL"),
        "Pipe_Spools": ("Pipe spools fitted", "INTEGER"),
        "Max_Wind_Knots": ("Highest wind on the berth or at sea, knots; null for work indoors", "INTEGER"),
        "Is_Crane_Stood_Down": ("1 when the berth cranes were stood down for wind", "INTEGER"),
        "Delay_Code": ("Delay cause code; null when none", "TEXT"),
        "Remarks": ("Foreman's remarks", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("Wbs_Element", "Vessel", "Wbs_Element.Vessel_Id = Vessel.Vessel_Id", "WBS of a vessel"),
    ("Wbs_Element", "Wbs_Element", "Wbs_Element.Parent_Wbs_Element_Id = Wbs_Element.Wbs_Element_Id",
     "Parent WBS element"),
    ("Calendar_Exception", "Calendar", "Calendar_Exception.Calendar_Id = Calendar.Calendar_Id",
     "Non-working days of a calendar"),
    ("Hull_Block", "Vessel", "Hull_Block.Vessel_Id = Vessel.Vessel_Id", "Blocks of a hull"),
    ("Activity", "Vessel", "Activity.Vessel_Id = Vessel.Vessel_Id", "Activities of a vessel"),
    ("Activity", "Wbs_Element", "Activity.Wbs_Element_Id = Wbs_Element.Wbs_Element_Id", "WBS element of an activity"),
    ("Activity", "Calendar", "Activity.Calendar_Id = Calendar.Calendar_Id", "Calendar of an activity"),
    ("Activity", "Hull_Block", "Activity.Hull_Block_Id = Hull_Block.Hull_Block_Id", "Block an activity builds"),
    ("Activity_Link", "Activity", "Activity_Link.Predecessor_Activity_Id = Activity.Activity_Id",
     "Predecessor of a link"),
    ("Activity_Link", "Activity", "Activity_Link.Successor_Activity_Id = Activity.Activity_Id", "Successor of a link"),
    ("Baseline", "Vessel", "Baseline.Vessel_Id = Vessel.Vessel_Id", "Baselines of a vessel"),
    ("Baseline_Activity", "Baseline", "Baseline_Activity.Baseline_Id = Baseline.Baseline_Id", "Rows of a baseline"),
    ("Baseline_Activity", "Activity", "Baseline_Activity.Activity_Id = Activity.Activity_Id",
     "Activity a baseline row stores"),
    ("Crew_Assignment", "Crew", "Crew_Assignment.Crew_Id = Crew.Crew_Id", "Crew of an assignment"),
    ("Crew_Assignment", "Activity", "Crew_Assignment.Activity_Id = Activity.Activity_Id",
     "Activity a crew is assigned to"),
    ("Risk", "Vessel", "Risk.Vessel_Id = Vessel.Vessel_Id", "Risks of a vessel"),
    ("Risk", "Activity", "Risk.Activity_Id = Activity.Activity_Id", "Activity a risk affects"),
    ("Change_Request", "Vessel", "Change_Request.Vessel_Id = Vessel.Vessel_Id", "Change requests of a vessel"),
    ("Inspection", "Vessel", "Inspection.Vessel_Id = Vessel.Vessel_Id", "Inspections of a vessel"),
    ("Inspection", "Hull_Block", "Inspection.Hull_Block_Id = Hull_Block.Hull_Block_Id", "Block inspected"),
    ("Inspection", "Activity", "Inspection.Activity_Id = Activity.Activity_Id", "Activity whose work was inspected"),
    ("Material_Delivery", "Vessel", "Material_Delivery.Vessel_Id = Vessel.Vessel_Id", "Deliveries of a vessel"),
    ("Material_Delivery", "Activity", "Material_Delivery.Activity_Id = Activity.Activity_Id",
     "Activity a delivery is for"),
    ("Shift_Report", "Vessel", "Shift_Report.Vessel_Id = Vessel.Vessel_Id", "Shift reports of a vessel"),
    ("Shift_Report", "Activity", "Shift_Report.Activity_Id = Activity.Activity_Id", "Activity a report covers"),
    ("Shift_Report", "Crew", "Shift_Report.Crew_Id = Crew.Crew_Id", "Crew that sent a report"),
]

BUSINESS_RULES = {
    ("Activity", "Activity_Status"): ["Allowed Values: Not Started, In Progress, Completed"],
    ("Activity", "Activity_Type"): ["Allowed Values: Task, Start Milestone, Finish Milestone; milestones have "
                                    "Original_Duration = 0"],
    ("Activity", "Is_Critical"): ["Allowed Values: 1, 0", "Critical: Is_Critical = 1 when Total_Float <= 0; "
                                  "completed activities are 0"],
    ("Activity", "Total_Float"): ["Negative float: forecast finish after the vessel's contract delivery date"],
    ("Activity", "Baseline_Finish"): ["Slipped: Early_Finish > Baseline_Finish"],
    ("Activity_Link", "Link_Type"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to "
                                     "finish)"],
    ("Baseline", "Is_Current"): ["Allowed Values: 1, 0; one current baseline per vessel"],
    ("Calendar_Exception", "Exception_Type"): ["Allowed Values: PH (public holiday), FAIR (Fair fortnight yard "
                                               "holiday), XMAS (Christmas and New Year shutdown), STRK (industrial "
                                               "action)"],
    ("Vessel", "Build_Stage"): ["Allowed Values: Design, Steelwork, Erection, Outfitting, Trials, Delivered"],
    ("Vessel", "Rag_Status"): ["Allowed Values: Red (forecast after contract delivery date), Amber (10 or fewer "
                               "working days float), Green"],
    ("Hull_Block", "Block_Status"): ["Allowed Values: Not Started, In Fabrication, In Paint Cell, Ready for Erection, "
                                     "On Berth, Erected"],
    ("Hull_Block", "Zone"): ["Allowed Values: Aft, Midship, Forward, Superstructure"],
    ("Crew", "Trade"): ["Allowed Values: Design, Steelwork, Painting, Erection, Welding, Mechanical, Pipefitting, "
                        "Electrical, Outfitting, Commissioning, Trials"],
    ("Risk", "Risk_Status"): ["Allowed Values: Open, Closed, Realised (the risk happened)"],
    ("Risk", "Risk_Score"): ["High risk: Risk_Score >= 12"],
    ("Change_Request", "Change_Status"): ["Allowed Values: Raised, Under Review, Approved, Rejected, Withdrawn"],
    ("Inspection", "Result"): ["Allowed Values: Accepted, Accepted with comments, Rejected"],
    ("Inspection", "Inspecting_Body"): ["Allowed Values: Yard QA, Northern Register of Shipping (classification "
                                        "society), DMPA Overseer (customer)"],
    ("Material_Delivery", "Delivery_Status"): ["Allowed Values: ORD (ordered, not received), RCV (received in full), "
                                               "PRT (part received), CAN (cancelled)", "Late: Received_Date > "
                                               "Required_Date"],
    ("Shift_Report", "Delay_Code"): ["Allowed Values: WND (high wind - cranes or trials stood down), CRN (crane "
                                     "unavailable), MAT (materials), DRG (drawing query / engineering hold), RWK "
                                     "(rework after inspection), ACC (scaffolding or access), null"],
    ("Shift_Report", "Is_Crane_Stood_Down"): ["Allowed Values: 1, 0; cranes stop at 38 knots"],
}

CONCEPTS = {
    ("Activity", "Total_Float"): ["total_float", "critical_path"],
    ("Activity", "Free_Float"): ["free_float"],
    ("Activity", "Is_Critical"): ["critical_path"],
    ("Activity", "Percent_Complete"): ["percent_complete"],
    ("Activity", "Baseline_Finish"): ["baseline_variance"],
    ("Baseline_Activity", "Baseline_Finish"): ["baseline_variance"],
    ("Activity_Link", "Lag_Days"): ["lag"],
    ("Vessel", "Forecast_Cost_Gbp"): ["cost_variance"],
    ("Vessel", "Liquidated_Damages_Per_Day_Gbp"): ["liquidated_damages"],
    ("Vessel", "Launch_Date"): ["launch"],
    ("Risk", "Risk_Score"): ["risk_exposure"],
    ("Hull_Block", "Steel_Weight_Tonnes"): ["steel_throughput"],
    ("Shift_Report", "Steel_Tonnes"): ["steel_throughput"],
    ("Shift_Report", "Hours_Lost"): ["lost_time"],
    ("Shift_Report", "Is_Crane_Stood_Down"): ["weather_downtime"],
    ("Inspection", "Defects_Open"): ["open_defects"],
    ("Calendar_Exception", "Exception_Date"): ["yard_holiday"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before the vessel misses its contract delivery date",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a vessel's delivery date",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a link in calendar days, e.g. NDT hold between fabrication and blasting",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Forecast cost at completion against budget",
    "liquidated_damages": "Contractual damages per day the vessel is delivered after its contract delivery date",
    "launch": "Hull floated off the berth; outfitting continues afloat",
    "risk_exposure": "Probability x impact score of a risk",
    "steel_throughput": "Tonnes of steel fabricated in the halls",
    "lost_time": "Person-hours lost to wind, cranes, materials, drawings, rework or access",
    "weather_downtime": "Shifts on which the berth cranes were stood down for high wind",
    "open_defects": "Inspection findings not yet closed",
    "yard_holiday": "Public holidays, the Fair fortnight and the Christmas shutdown when the yard does not work",
}

QUERY_EXAMPLES = [
    ("SELECT Hull_Number, Vessel_Name, Contract_Delivery_Date, Forecast_Delivery_Date, Rag_Status FROM Vessel "
     "ORDER BY Contract_Delivery_Date;", "Vessels with contract and forecast delivery dates", "simple"),
    ("SELECT a.Activity_Code, a.Activity_Name, a.Early_Start, a.Total_Float FROM Activity a JOIN Vessel v ON "
     "v.Vessel_Id = a.Vessel_Id WHERE v.Hull_Number = 'H3401' AND a.Is_Critical = 1 ORDER BY a.Early_Start;",
     "Critical activities of a vessel", "medium"),
    ("SELECT v.Vessel_Name, SUM(s.Steel_Tonnes) AS Tonnes FROM Shift_Report s JOIN Vessel v ON v.Vessel_Id = "
     "s.Vessel_Id GROUP BY v.Vessel_Name ORDER BY Tonnes DESC;", "Steel fabricated by vessel", "medium"),
    ("SELECT a.Activity_Code, a.Activity_Name, b.Baseline_Finish, a.Early_Finish FROM Activity a JOIN "
     "Baseline_Activity b ON b.Activity_Id = a.Activity_Id JOIN Baseline l ON l.Baseline_Id = b.Baseline_Id "
     "WHERE l.Is_Current = 1 AND a.Early_Finish > b.Baseline_Finish;",
     "Activities forecast to finish later than the current baseline", "complex"),
    ("SELECT Block_Number, Block_Name, Steel_Weight_Tonnes, Block_Status FROM Hull_Block WHERE Vessel_Id = "
     "(SELECT Vessel_Id FROM Vessel WHERE Vessel_Name = 'Salvor') ORDER BY Erection_Sequence;",
     "Blocks of a hull in erection order", "simple"),
    ("SELECT Inspection_Reference, Inspection_Type, Inspection_Date, Defects_Open FROM Inspection WHERE "
     "Defects_Open > 0;", "Inspections with defects still open", "simple"),
    ("SELECT Purchase_Order, Material_Description, Required_Date, Received_Date FROM Material_Delivery WHERE "
     "Received_Date > Required_Date;", "Deliveries received after the date required", "simple"),
    ("SELECT e.Exception_Date, e.Reason FROM Calendar_Exception e JOIN Calendar c ON c.Calendar_Id = e.Calendar_Id "
     "WHERE c.Calendar_Code = 'BERTH-5D' AND e.Exception_Date >= '2025-11-14' ORDER BY e.Exception_Date;",
     "Coming non-working days of the berth calendar", "medium"),
    ("SELECT r.Change_Reference, r.Change_Title, r.Cost_Impact_Gbp FROM Change_Request r JOIN Vessel v ON "
     "v.Vessel_Id = r.Vessel_Id WHERE v.Hull_Number = 'H3101' AND r.Change_Status IN ('Raised', 'Under Review');",
     "Open change requests of a vessel", "medium"),
    ("SELECT c.Crew_Name, SUM(a.Actual_Cost_Gbp) AS Cost FROM Crew_Assignment a JOIN Crew c ON c.Crew_Id = "
     "a.Crew_Id WHERE c.Trade = 'Electrical' GROUP BY c.Crew_Name ORDER BY Cost DESC;",
     "Actual electrical cost by crew", "medium"),
]

KEYWORDS = {
    "float": ["Activity.Total_Float", "Activity.Free_Float", "total_float"],
    "critical": ["Activity.Is_Critical", "critical_path"],
    "predecessor": ["Activity_Link.Predecessor_Activity_Id", "Activity_Link"],
    "successor": ["Activity_Link.Successor_Activity_Id", "Activity_Link"],
    "baseline": ["Baseline", "Baseline_Activity", "baseline_variance"],
    "hull": ["Vessel", "Vessel.Hull_Number"],
    "ship": ["Vessel"],
    "boat": ["Vessel"],
    "block": ["Hull_Block"],
    "unit": ["Hull_Block"],
    "berth": ["Vessel.Building_Berth", "Calendar"],
    "launch": ["Vessel.Launch_Date", "launch"],
    "delivery": ["Vessel.Contract_Delivery_Date", "Material_Delivery"],
    "LDs": ["Vessel.Liquidated_Damages_Per_Day_Gbp", "liquidated_damages"],
    "steel": ["Shift_Report.Steel_Tonnes", "Hull_Block.Steel_Weight_Tonnes"],
    "welding": ["Shift_Report.Weld_Metres"],
    "cable": ["Shift_Report.Cable_Metres"],
    "spools": ["Shift_Report.Pipe_Spools"],
    "wind": ["Shift_Report.Max_Wind_Knots", "Shift_Report.Is_Crane_Stood_Down"],
    "crew": ["Crew", "Crew_Assignment"],
    "squad": ["Crew"],
    "subcontractor": ["Crew.Employer"],
    "inspection": ["Inspection"],
    "NDT": ["Inspection.Inspection_Type"],
    "class": ["Inspection.Inspecting_Body", "Vessel.Vessel_Class"],
    "trials": ["Inspection.Inspection_Type", "Activity"],
    "PO": ["Material_Delivery.Purchase_Order"],
    "risk": ["Risk"],
    "CR": ["Change_Request"],
    "change request": ["Change_Request"],
    "holiday": ["Calendar_Exception"],
    "Fair": ["Calendar_Exception.Exception_Type", "yard_holiday"],
}

TERMINOLOGY = {
    "hull number": "The yard's number of a vessel under construction, e.g. H3101",
    "grand block": "Large section of the hull fabricated in a hall and lifted onto the berth",
    "erection": "Lifting blocks onto the building berth and welding them together",
    "keel laying": "First block placed on the berth",
    "launch": "Floating the completed hull off the berth",
    "outfitting": "Installing machinery, pipework, cabling and accommodation",
    "setting to work": "Commissioning the ship's systems",
    "HAT": "Harbour acceptance trials",
    "SAT": "Sea acceptance trials",
    "NDT": "Non-destructive testing of welds (ultrasonic, radiographic)",
    "UT": "Ultrasonic testing",
    "FAT": "Factory acceptance test of equipment at the maker's works",
    "class": "Classification society that approves the design and surveys the build",
    "overseer": "The customer's representative in the yard",
    "LDs": "Liquidated damages for late delivery",
    "OPV": "Offshore patrol vessel",
    "MCMV": "Mine countermeasures vessel",
    "LCU": "Landing craft utility",
    "Fair fortnight": "The yard's two-week summer holiday in July",
    "goliath": "The large gantry crane over a building berth",
    "chargehand": "Foreman of a squad",
    "data date": "Date up to which progress is recorded (2025-11-14)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF": "Finish to finish link",
}

RELATED_TERMS = {
    "Vessel": "vessel, ship, hull, boat, project, contract",
    "Activity": "activity, task, schedule line, programme",
    "Wbs_Element": "WBS, work breakdown, cost account",
    "Hull_Block": "block, grand block, unit, section, ring",
    "Crew": "crew, squad, gang, team, trade, subcontractor",
    "Crew_Assignment": "assignment, hours, labour cost",
    "Risk": "risk, risk register",
    "Change_Request": "change request, CR, change, variation",
    "Inspection": "inspection, test, NDT, survey, QA, trial, defect",
    "Material_Delivery": "delivery, materials, purchase order, PO, long lead",
    "Shift_Report": "shift report, daily return, production, tonnes, weld metres, cable pulled",
    "Activity_Link": "link, relationship, dependency, logic",
    "Calendar": "calendar, shift pattern, working week",
    "Calendar_Exception": "holiday, non-working day, shutdown, Fair fortnight",
    "Baseline": "baseline",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="_Id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout16"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="Activity")


if __name__ == "__main__":
    sys.exit(main())
