#!/usr/bin/env python3
"""Build the eighth check schedule database (plant turnaround planning, PascalCase) and its metadata.

A shutdown / turnaround and maintenance planning database for a refinery with a utility boiler,
as a .NET team would model it: PascalCase tables (Turnaround, Unit, WorkOrder, WorkOrderOperation,
OperationDependency, Craft, Technician, CraftAssignment, Equipment, Permit, MaterialReservation,
Inspection, ScheduleSnapshot, SnapshotOperation, ShiftCalendar) and PascalCase columns
(WorkOrderNumber, OperationTitle, PlannedStart, DurationHours, TotalFloatHours, IsCritical,
DependencyType, LagHours, ...). Times are 'YYYY-MM-DD HH:MM' and float is in hours; the
operations of each turnaround are scheduled by a forward and backward pass over their logic.

Outputs go to bench/out/holdout8/ (or --out DIR); --check also runs every gold statement of
questions.json. The command line is bench/schedule_build.py's. Standard library only;
deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 8808
DATA_DATE = dt.datetime(2025, 5, 20, 6, 0)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import default_out, describe_tables, main as build_main, metadata_document  # noqa: E402
DB_NAME = "holdout8_schedule.db"
META_NAME = "holdout8_metadata.json"

DDL = """
CREATE TABLE ShiftCalendar (
    ShiftCalendarId INTEGER PRIMARY KEY, CalendarName TEXT NOT NULL, ShiftPattern TEXT NOT NULL,
    HoursPerDay REAL NOT NULL, DaysPerWeek INTEGER NOT NULL, FirstShiftStart TEXT NOT NULL
);
CREATE TABLE Unit (
    UnitId INTEGER PRIMARY KEY, UnitCode TEXT NOT NULL UNIQUE, UnitName TEXT NOT NULL,
    PlantArea TEXT NOT NULL, ProcessService TEXT NOT NULL, AreaSupervisor TEXT NOT NULL,
    DesignCapacity REAL NOT NULL, CapacityUom TEXT NOT NULL
);
CREATE TABLE Turnaround (
    TurnaroundId INTEGER PRIMARY KEY, TurnaroundCode TEXT NOT NULL UNIQUE, TurnaroundName TEXT NOT NULL,
    UnitId INTEGER NOT NULL REFERENCES Unit(UnitId), TurnaroundStatus TEXT NOT NULL,
    ShutdownStart TEXT NOT NULL, PlannedStartup TEXT NOT NULL, ActualStartup TEXT,
    BudgetManHours REAL NOT NULL, BudgetCost REAL NOT NULL, TurnaroundManager TEXT NOT NULL,
    ShiftCalendarId INTEGER NOT NULL REFERENCES ShiftCalendar(ShiftCalendarId)
);
CREATE TABLE Equipment (
    EquipmentId INTEGER PRIMARY KEY, EquipmentTag TEXT NOT NULL UNIQUE, EquipmentDescription TEXT NOT NULL,
    EquipmentClass TEXT NOT NULL, UnitId INTEGER NOT NULL REFERENCES Unit(UnitId),
    Criticality TEXT NOT NULL, IsPressureSystem INTEGER NOT NULL, YearInstalled INTEGER NOT NULL
);
CREATE TABLE WorkOrder (
    WorkOrderId INTEGER PRIMARY KEY, WorkOrderNumber TEXT NOT NULL UNIQUE,
    TurnaroundId INTEGER NOT NULL REFERENCES Turnaround(TurnaroundId),
    UnitId INTEGER NOT NULL REFERENCES Unit(UnitId), EquipmentId INTEGER REFERENCES Equipment(EquipmentId),
    WorkOrderTitle TEXT NOT NULL, WorkType TEXT NOT NULL, Priority INTEGER NOT NULL,
    ScopeSource TEXT NOT NULL, Status TEXT NOT NULL, PlannerName TEXT NOT NULL,
    EstimatedCost REAL NOT NULL, ActualCost REAL NOT NULL, CreatedOn TEXT NOT NULL
);
CREATE TABLE Craft (
    CraftId INTEGER PRIMARY KEY, CraftCode TEXT NOT NULL UNIQUE, CraftName TEXT NOT NULL,
    HourlyRate REAL NOT NULL, IsContractCraft INTEGER NOT NULL
);
CREATE TABLE WorkOrderOperation (
    OperationId INTEGER PRIMARY KEY, WorkOrderId INTEGER NOT NULL REFERENCES WorkOrder(WorkOrderId),
    OperationNumber TEXT NOT NULL, ActivityId TEXT NOT NULL UNIQUE, OperationTitle TEXT NOT NULL,
    CraftId INTEGER NOT NULL REFERENCES Craft(CraftId),
    ShiftCalendarId INTEGER NOT NULL REFERENCES ShiftCalendar(ShiftCalendarId),
    Status TEXT NOT NULL, DurationHours REAL NOT NULL, RemainingHours REAL NOT NULL,
    PlannedStart TEXT NOT NULL, PlannedFinish TEXT NOT NULL, LateStart TEXT NOT NULL, LateFinish TEXT NOT NULL,
    ActualStart TEXT, ActualFinish TEXT, TotalFloatHours REAL NOT NULL, FreeFloatHours REAL NOT NULL,
    IsCritical INTEGER NOT NULL, PercentComplete REAL NOT NULL, IsMilestone INTEGER NOT NULL
);
CREATE TABLE OperationDependency (
    DependencyId INTEGER PRIMARY KEY,
    PredecessorOperationId INTEGER NOT NULL REFERENCES WorkOrderOperation(OperationId),
    SuccessorOperationId INTEGER NOT NULL REFERENCES WorkOrderOperation(OperationId),
    DependencyType TEXT NOT NULL, LagHours REAL NOT NULL
);
CREATE TABLE Technician (
    TechnicianId INTEGER PRIMARY KEY, EmployeeNumber TEXT NOT NULL UNIQUE, FullName TEXT NOT NULL,
    CraftId INTEGER NOT NULL REFERENCES Craft(CraftId), Employer TEXT NOT NULL,
    ShiftCalendarId INTEGER NOT NULL REFERENCES ShiftCalendar(ShiftCalendarId),
    CompetencyLevel TEXT NOT NULL, IsActive INTEGER NOT NULL
);
CREATE TABLE CraftAssignment (
    CraftAssignmentId INTEGER PRIMARY KEY, OperationId INTEGER NOT NULL REFERENCES WorkOrderOperation(OperationId),
    CraftId INTEGER NOT NULL REFERENCES Craft(CraftId), TechnicianId INTEGER REFERENCES Technician(TechnicianId),
    PlannedHours REAL NOT NULL, ActualHours REAL NOT NULL, IsOvertime INTEGER NOT NULL
);
CREATE TABLE Permit (
    PermitId INTEGER PRIMARY KEY, PermitNumber TEXT NOT NULL UNIQUE,
    OperationId INTEGER NOT NULL REFERENCES WorkOrderOperation(OperationId), PermitType TEXT NOT NULL,
    PermitStatus TEXT NOT NULL, ValidFrom TEXT NOT NULL, ValidTo TEXT NOT NULL, IssuingAuthority TEXT NOT NULL,
    GasTestRequired INTEGER NOT NULL
);
CREATE TABLE MaterialReservation (
    ReservationId INTEGER PRIMARY KEY, ReservationNumber TEXT NOT NULL UNIQUE,
    WorkOrderId INTEGER NOT NULL REFERENCES WorkOrder(WorkOrderId), MaterialNumber TEXT NOT NULL,
    MaterialDescription TEXT NOT NULL, QuantityRequired REAL NOT NULL, QuantityIssued REAL NOT NULL,
    UnitOfMeasure TEXT NOT NULL, RequiredBy TEXT NOT NULL, ReservationStatus TEXT NOT NULL,
    IsLongLead INTEGER NOT NULL, Supplier TEXT NOT NULL, UnitPrice REAL NOT NULL
);
CREATE TABLE Inspection (
    InspectionId INTEGER PRIMARY KEY, EquipmentId INTEGER NOT NULL REFERENCES Equipment(EquipmentId),
    TurnaroundId INTEGER NOT NULL REFERENCES Turnaround(TurnaroundId),
    WorkOrderId INTEGER REFERENCES WorkOrder(WorkOrderId), InspectionType TEXT NOT NULL,
    InspectionDate TEXT, Inspector TEXT NOT NULL, Result TEXT NOT NULL, MinWallThicknessMm REAL,
    Findings TEXT
);
CREATE TABLE ScheduleSnapshot (
    SnapshotId INTEGER PRIMARY KEY, TurnaroundId INTEGER NOT NULL REFERENCES Turnaround(TurnaroundId),
    SnapshotName TEXT NOT NULL, SnapshotType TEXT NOT NULL, DataDate TEXT NOT NULL, CreatedBy TEXT NOT NULL,
    IsActiveBaseline INTEGER NOT NULL
);
CREATE TABLE SnapshotOperation (
    SnapshotOperationId INTEGER PRIMARY KEY, SnapshotId INTEGER NOT NULL REFERENCES ScheduleSnapshot(SnapshotId),
    OperationId INTEGER NOT NULL REFERENCES WorkOrderOperation(OperationId), PlannedStart TEXT NOT NULL,
    PlannedFinish TEXT NOT NULL, DurationHours REAL NOT NULL, TotalFloatHours REAL NOT NULL,
    IsCritical INTEGER NOT NULL
);
"""

CALENDARS = [
    (1, "Turnaround 2x12 Continuous", "2x12", 24.0, 7, "06:00"),
    (2, "Day Shift 10h", "1x10", 10.0, 5, "07:00"),
    (3, "Night Shift 12h", "1x12 nights", 12.0, 7, "18:00"),
    (4, "Day Shift 12h 7-on", "1x12 days", 12.0, 7, "06:00"),
]

UNITS = [
    # code, name, area, service, supervisor, capacity, uom
    ("CDU-1", "Crude Distillation Unit 1", "North Block", "Atmospheric crude distillation", "Gareth Lewin",
     120000.0, "bbl/d"),
    ("VDU-1", "Vacuum Distillation Unit 1", "North Block", "Vacuum residue distillation", "Gareth Lewin",
     55000.0, "bbl/d"),
    ("FCC-2", "Fluid Catalytic Cracking Unit", "South Block", "Catalytic cracking of gas oil", "Priya Venkataraman",
     48000.0, "bbl/d"),
    ("HDT-3", "Diesel Hydrotreater", "South Block", "Hydrodesulphurisation of diesel", "Tomasz Wrobel",
     36000.0, "bbl/d"),
    ("BLR-2", "Boiler 2", "Utilities", "High pressure steam raising", "Ifeoma Nwosu", 180.0, "t/h"),
    ("SRU-1", "Sulphur Recovery Unit", "Utilities", "Claus sulphur recovery", "Ifeoma Nwosu", 220.0, "t/d"),
]

# tag, description, class, unit, criticality, pressure system, year
EQUIPMENT = [
    ("P-101A", "Crude charge pump A", "Pump", "CDU-1", "A", 1, 1998),
    ("P-101B", "Crude charge pump B", "Pump", "CDU-1", "A", 1, 1998),
    ("E-104", "Crude / residue preheat exchanger", "Heat Exchanger", "CDU-1", "B", 1, 2004),
    ("E-107", "Kerosene product cooler", "Heat Exchanger", "CDU-1", "C", 1, 1998),
    ("H-101", "Crude charge heater", "Fired Heater", "CDU-1", "A", 1, 1998),
    ("C-101", "Atmospheric distillation column", "Column", "CDU-1", "A", 1, 1998),
    ("V-102", "Desalter", "Vessel", "CDU-1", "B", 1, 2009),
    ("PSV-1107", "Column overhead relief valve", "Relief Valve", "CDU-1", "A", 1, 2015),
    ("C-151", "Vacuum column", "Column", "VDU-1", "A", 1, 2001),
    ("H-151", "Vacuum heater", "Fired Heater", "VDU-1", "A", 1, 2001),
    ("R-201", "FCC reactor and riser", "Vessel", "FCC-2", "A", 1, 1995),
    ("C-201", "Main fractionator", "Column", "FCC-2", "A", 1, 1995),
    ("E-204", "Slurry steam generator", "Heat Exchanger", "FCC-2", "A", 1, 2011),
    ("K-201", "Wet gas compressor", "Compressor", "FCC-2", "A", 1, 1995),
    ("P-205", "Slurry pumparound pump", "Pump", "FCC-2", "B", 1, 2006),
    ("R-301", "Hydrotreater reactor", "Reactor", "HDT-3", "A", 1, 2008),
    ("E-301A", "Reactor feed / effluent exchanger A", "Heat Exchanger", "HDT-3", "A", 1, 2008),
    ("E-301B", "Reactor feed / effluent exchanger B", "Heat Exchanger", "HDT-3", "A", 1, 2008),
    ("H-301", "Reactor charge heater", "Fired Heater", "HDT-3", "A", 1, 2008),
    ("K-301", "Recycle gas compressor", "Compressor", "HDT-3", "A", 1, 2008),
    ("V-305", "High pressure separator", "Vessel", "HDT-3", "A", 1, 2008),
    ("PSV-3021", "HP separator relief valve", "Relief Valve", "HDT-3", "A", 1, 2016),
    ("B-02", "Boiler 2 steam drum", "Boiler", "BLR-2", "A", 1, 1989),
    ("ECO-02", "Boiler 2 economiser", "Heat Exchanger", "BLR-2", "B", 1, 1989),
    ("FD-02", "Boiler 2 forced draught fan", "Fan", "BLR-2", "B", 0, 1989),
    ("P-0203", "Boiler feedwater pump 3", "Pump", "BLR-2", "A", 1, 2012),
    ("PSV-0211", "Steam drum safety valve", "Relief Valve", "BLR-2", "A", 1, 2014),
    ("R-501", "First Claus converter", "Reactor", "SRU-1", "B", 1, 2003),
    ("H-501", "Reaction furnace", "Fired Heater", "SRU-1", "A", 1, 2003),
    ("E-502", "Sulphur condenser", "Heat Exchanger", "SRU-1", "B", 1, 2003),
]

CRAFTS = [
    # code, name, rate, contract craft
    ("MECH", "Mechanical Fitter", 62.0, 0),
    ("WELD", "Welder", 74.0, 1),
    ("SCAF", "Scaffolder", 55.0, 1),
    ("INSUL", "Insulator", 52.0, 1),
    ("RIG", "Rigger", 60.0, 1),
    ("NDT", "NDT Technician", 88.0, 1),
    ("INST", "Instrument Technician", 68.0, 0),
    ("ELEC", "Electrician", 66.0, 0),
    ("OPS", "Process Operator", 58.0, 0),
    ("CAT", "Catalyst Handler", 95.0, 1),
    ("HYDRO", "Hydrojetting Operator", 64.0, 1),
]
CONTRACTORS = {"WELD": "Kestrel Fabrication", "SCAF": "Altrad Access Services", "INSUL": "Thermoclad Ltd",
               "RIG": "Heavylift Rigging", "NDT": "Sonatest Inspection Services", "CAT": "CatServ Europe",
               "HYDRO": "Jetwash Industrial"}

FIRST = ["Dave", "Sean", "Marek", "Liam", "Kofi", "Aled", "Rhys", "Connor", "Jamal", "Pawel", "Gavin", "Stuart",
         "Neil", "Karen", "Ahmed", "Lewis", "Callum", "Dariusz", "Bryn", "Fiona", "Jordan", "Mick", "Oleg", "Tariq"]
LAST = ["Kowalski", "Hughes", "Nowak", "Brennan", "Mensah", "Pritchard", "Morgan", "Doyle", "Bakr", "Zielinski",
        "Moffat", "Reid", "Fraser", "Ellis", "Shah", "McAllister", "Dunn", "Lis", "Griffiths", "Baird", "Okoro",
        "Tennant", "Sokolov", "Iqbal"]
TECH_PER_CRAFT = {"MECH": 7, "WELD": 5, "SCAF": 4, "INSUL": 2, "RIG": 3, "NDT": 3, "INST": 3, "ELEC": 2, "OPS": 4,
                  "CAT": 2, "HYDRO": 2}

# Operation templates per equipment class:
# (title with {tag}, craft, hours choices, permit type or None, calendar id)
SCAFF_UP = ("Erect scaffold at {tag}", "SCAF", [8, 12, 16, 24], "Working at Height", 1)
SCAFF_DOWN = ("Strip scaffold at {tag}", "SCAF", [6, 8, 12], "Working at Height", 1)
TEMPLATES = {
    "Pump": [
        ("Isolate, drain and flush {tag}", "OPS", [4, 6, 8], "Electrical Isolation", 1),
        ("Remove coupling and mechanical seal {tag}", "MECH", [6, 8, 10], "Cold Work", 1),
        ("Overhaul bearings and fit new seal {tag}", "MECH", [12, 16, 24], "Cold Work", 1),
        ("Reinstall and laser align {tag}", "MECH", [6, 8], "Cold Work", 1),
        ("Deisolate and run test {tag}", "OPS", [4, 6], None, 1),
    ],
    "Heat Exchanger": [
        SCAFF_UP,
        ("Remove insulation from {tag}", "INSUL", [6, 8, 12], "Working at Height", 1),
        ("Unbolt channel head and pull bundle {tag}", "RIG", [12, 16, 20], "Heavy Lift", 1),
        ("Hydrojet tube bundle {tag}", "HYDRO", [16, 24, 36], "Cold Work", 1),
        ("Eddy current testing of tubes {tag}", "NDT", [8, 12, 16], None, 3),
        ("Rebundle and box up {tag}", "MECH", [16, 20, 24], "Heavy Lift", 1),
        ("Hydrotest {tag}", "MECH", [6, 8], "Cold Work", 1),
        ("Reinstate insulation on {tag}", "INSUL", [8, 12], "Working at Height", 4),
        SCAFF_DOWN,
    ],
    "Fired Heater": [
        SCAFF_UP,
        ("Open heater access doors {tag}", "MECH", [6, 8], "Cold Work", 1),
        ("Tube wall thickness survey {tag}", "NDT", [12, 16], "Confined Space Entry", 1),
        ("Cut out and replace radiant tubes {tag}", "WELD", [36, 48, 60], "Hot Work", 1),
        ("Radiography of tube welds {tag}", "NDT", [8, 12], "Radiography", 3),
        ("Post weld heat treatment {tag}", "WELD", [12, 16], "Hot Work", 1),
        ("Refractory repairs {tag}", "INSUL", [16, 24], "Confined Space Entry", 1),
        ("Box up heater {tag}", "MECH", [6, 8], "Cold Work", 1),
        SCAFF_DOWN,
    ],
    "Column": [
        SCAFF_UP,
        ("Open manways on {tag}", "MECH", [8, 12], "Cold Work", 1),
        ("Internal inspection of {tag}", "NDT", [12, 16, 24], "Confined Space Entry", 1),
        ("Replace damaged trays in {tag}", "MECH", [24, 36, 48], "Confined Space Entry", 1),
        ("Weld repair of nozzle on {tag}", "WELD", [12, 16, 24], "Hot Work", 1),
        ("Close manways on {tag}", "MECH", [8, 12], "Cold Work", 1),
        SCAFF_DOWN,
    ],
    "Vessel": [
        ("Open manway on {tag}", "MECH", [6, 8], "Cold Work", 1),
        ("Internal visual inspection of {tag}", "NDT", [8, 12], "Confined Space Entry", 1),
        ("Clean out and remove sludge {tag}", "HYDRO", [12, 16, 24], "Confined Space Entry", 1),
        ("Close manway on {tag}", "MECH", [6, 8], "Cold Work", 1),
    ],
    "Reactor": [
        ("Cool down and nitrogen purge {tag}", "OPS", [24, 36], None, 1),
        ("Remove top head of {tag}", "RIG", [12, 16], "Heavy Lift", 1),
        ("Dump spent catalyst from {tag}", "CAT", [24, 36, 48], "Confined Space Entry", 1),
        ("Internal inspection of {tag}", "NDT", [12, 16], "Confined Space Entry", 1),
        ("Load fresh catalyst into {tag}", "CAT", [36, 48], "Confined Space Entry", 1),
        ("Refit top head of {tag}", "RIG", [12, 16], "Heavy Lift", 1),
    ],
    "Compressor": [
        ("Isolate and depressurise {tag}", "OPS", [6, 8], "Electrical Isolation", 1),
        ("Open compressor casing {tag}", "MECH", [16, 24], "Heavy Lift", 1),
        ("Replace dry gas seals on {tag}", "MECH", [24, 36], "Cold Work", 1),
        ("Calibrate vibration probes on {tag}", "INST", [6, 8], "Cold Work", 2),
        ("Close casing and align {tag}", "MECH", [16, 20], "Heavy Lift", 1),
        ("Run in test {tag}", "OPS", [8, 12], None, 1),
    ],
    "Relief Valve": [
        ("Remove relief valve {tag}", "MECH", [4, 6], "Cold Work", 1),
        ("Bench test and recertify {tag}", "INST", [6, 8, 10], None, 2),
        ("Refit relief valve {tag}", "MECH", [4, 6], "Cold Work", 1),
    ],
    "Boiler": [
        ("Drain and cool {tag}", "OPS", [24, 36], None, 1),
        ("Open steam drum manways {tag}", "MECH", [8, 12], "Cold Work", 1),
        ("Internal inspection of drum {tag}", "NDT", [12, 16], "Confined Space Entry", 1),
        ("Replace superheater tubes {tag}", "WELD", [48, 60], "Hot Work", 1),
        ("Radiography of superheater welds {tag}", "NDT", [12], "Radiography", 3),
        ("Statutory hydrotest {tag}", "MECH", [12, 16], "Cold Work", 1),
        ("Close up drum {tag}", "MECH", [8], "Cold Work", 1),
    ],
    "Fan": [
        ("Isolate fan motor {tag}", "ELEC", [4, 6], "Electrical Isolation", 2),
        ("Replace fan bearings {tag}", "MECH", [12, 16], "Cold Work", 1),
        ("Balance impeller {tag}", "MECH", [8, 12], "Cold Work", 2),
        ("Motor insulation test and deisolate {tag}", "ELEC", [4, 6], "Electrical Isolation", 2),
    ],
}
WORK_TYPES = {"Pump": "Overhaul", "Heat Exchanger": "Clean and Inspect", "Fired Heater": "Repair",
              "Column": "Inspect and Repair", "Vessel": "Clean and Inspect", "Reactor": "Catalyst Change",
              "Compressor": "Overhaul", "Relief Valve": "Recertification", "Boiler": "Statutory Inspection",
              "Fan": "Overhaul"}
WO_TITLES = {"Pump": "Overhaul {d} {tag}", "Heat Exchanger": "Clean and inspect {d} {tag}",
             "Fired Heater": "Retube and inspect {d} {tag}", "Column": "Inspect internals of {d} {tag}",
             "Vessel": "Clean and inspect {d} {tag}", "Reactor": "Catalyst change-out {d} {tag}",
             "Compressor": "Dry gas seal replacement {d} {tag}", "Relief Valve": "Recertify {d} {tag}",
             "Boiler": "Statutory inspection of {d} {tag}", "Fan": "Bearing change {d} {tag}"}
MATERIALS = {
    "Pump": [("Mechanical seal cartridge", "EA", 1, 4200.0), ("Bearing set", "SET", 1, 850.0)],
    "Heat Exchanger": [("Spiral wound gasket set", "SET", 2, 640.0), ("Replacement tube bundle", "EA", 1, 96000.0)],
    "Fired Heater": [("Radiant tube 6in sch 80 P9", "M", 48, 410.0), ("Refractory castable", "BAG", 60, 38.0)],
    "Column": [("Valve tray assembly", "EA", 6, 2300.0), ("Manway gasket", "EA", 4, 160.0)],
    "Vessel": [("Manway gasket", "EA", 2, 160.0)],
    "Reactor": [("Hydrotreating catalyst", "KG", 42000, 14.5), ("Ceramic support balls", "KG", 3000, 3.2)],
    "Compressor": [("Dry gas seal cartridge", "EA", 2, 38500.0), ("Casing O-ring kit", "KIT", 1, 720.0)],
    "Relief Valve": [("Relief valve spring and seat kit", "KIT", 1, 1350.0)],
    "Boiler": [("Superheater tube 2in T22", "M", 60, 95.0), ("Drum manway gasket", "EA", 2, 280.0)],
    "Fan": [("Fan bearing set", "SET", 1, 2600.0)],
}
SUPPLIERS = {"Mechanical seal cartridge": "John Crane Service", "Bearing set": "Brammer Industrial",
             "Spiral wound gasket set": "Klinger UK", "Replacement tube bundle": "Sulzer Service Centre",
             "Radiant tube 6in sch 80 P9": "Tubacex Supply", "Refractory castable": "Vesuvius Refractories",
             "Valve tray assembly": "Sulzer Service Centre", "Manway gasket": "Klinger UK",
             "Hydrotreating catalyst": "Haldor Catalysts", "Claus alumina catalyst": "Haldor Catalysts",
             "Ceramic support balls": "Haldor Catalysts", "Dry gas seal cartridge": "John Crane Service",
             "Casing O-ring kit": "Brammer Industrial", "Relief valve spring and seat kit": "Flowserve Parts Depot",
             "Superheater tube 2in T22": "Tubacex Supply", "Drum manway gasket": "Klinger UK",
             "Fan bearing set": "Brammer Industrial"}
LONG_LEAD = {"Replacement tube bundle", "Dry gas seal cartridge", "Hydrotreating catalyst", "Radiant tube 6in sch 80 P9",
             "Valve tray assembly"}

TURNAROUNDS = [
    # code, name, unit, status, shutdown start, equipment tags in scope, manager, snapshots
    ("TA25-FCC", "FCC Spring Outage 2025", "FCC-2", "Closed", dt.datetime(2025, 2, 10, 6, 0),
     ["R-201", "C-201", "E-204", "K-201", "P-205"], "Priya Venkataraman",
     [("Baseline", "Baseline", -14), ("Update 1", "Progress Update", 4), ("Close-out", "Progress Update", 30)]),
    ("TA25-CDU", "CDU-1 / VDU-1 Major Turnaround 2025", "CDU-1", "Execution", dt.datetime(2025, 5, 11, 6, 0),
     ["P-101A", "P-101B", "E-104", "E-107", "H-101", "C-101", "V-102", "PSV-1107", "C-151", "H-151"],
     "Gareth Lewin",
     [("Baseline", "Baseline", -21), ("Update 1", "Progress Update", 3), ("Update 2", "Progress Update", 8),
      ("Heater retube recovery option", "What-If", 8)]),
    ("TA25-HDT", "Diesel Hydrotreater Catalyst Change 2025", "HDT-3", "Execution", dt.datetime(2025, 5, 16, 18, 0),
     ["R-301", "E-301A", "E-301B", "H-301", "K-301", "V-305", "PSV-3021"], "Tomasz Wrobel",
     [("Baseline", "Baseline", -14), ("Update 1", "Progress Update", 3)]),
    ("TA25-BLR2", "Boiler 2 Statutory Outage", "BLR-2", "Scope Frozen", dt.datetime(2025, 6, 23, 6, 0),
     ["B-02", "ECO-02", "FD-02", "P-0203", "PSV-0211"], "Ifeoma Nwosu",
     [("Baseline", "Baseline", -30)]),
    ("TA25-SRU", "SRU Autumn Shutdown 2025", "SRU-1", "Scoping", dt.datetime(2025, 9, 15, 6, 0),
     ["R-501", "H-501", "E-502"], "Ifeoma Nwosu", []),
]
PLANNERS = ["Helen Carver", "Rob Ashdown", "Nisha Patel", "Craig Munro"]
INSPECTORS = ["Alan Gibb", "Maria Santos", "Derek Hollis"]
AUTHORITIES = ["Shift Area Authority - North", "Shift Area Authority - South", "Utilities Area Authority"]

SHUTDOWN_OPS = [
    ("Feed out and cool down {u}", "OPS", 12, None, 1),
    ("Steam out and gas free {u}", "OPS", 24, None, 1),
    ("Install isolation blinds on {u}", "MECH", 16, "Cold Work", 1),
    ("Mechanical handover of {u} to maintenance", "OPS", 0, None, 1),
]
STARTUP_OPS = [
    ("Remove isolation blinds on {u}", "MECH", 16, "Cold Work", 1),
    ("Leak test and nitrogen purge {u}", "OPS", 12, None, 1),
    ("Pre-startup safety review {u}", "OPS", 4, None, 2),
    ("Handback of {u} to Operations", "OPS", 0, None, 1),
]


def ts(x):
    return x.strftime("%Y-%m-%d %H:%M") if x is not None else None


def hours(h):
    return dt.timedelta(hours=h)


def cpm(ops, deps):
    """Forward and backward pass in hours; ops: {id: dur}, deps: [(pred, succ, type, lag)]."""
    preds = {o: [] for o in ops}
    succs = {o: [] for o in ops}
    for p, s, t, lag in deps:
        preds[s].append((p, t, lag))
        succs[p].append((s, t, lag))
    waiting = {o: len(preds[o]) for o in ops}
    ready = sorted(o for o in ops if not waiting[o])
    order = []
    while ready:
        o = ready.pop(0)
        order.append(o)
        for s, _, _ in succs[o]:
            waiting[s] -= 1
            if not waiting[s]:
                ready.append(s)
                ready.sort()
    assert len(order) == len(ops), "logic loop"
    es, ef = {}, {}
    for o in order:
        d = ops[o]
        start = 0.0
        for p, t, lag in preds[o]:
            if t == "FS":
                start = max(start, ef[p] + lag)
            elif t == "SS":
                start = max(start, es[p] + lag)
            else:
                start = max(start, ef[p] + lag - d)
        es[o], ef[o] = start, start + d
    end = max(ef.values())
    ls, lf = {}, {}
    for o in reversed(order):
        d = ops[o]
        finish = end
        for s, t, lag in succs[o]:
            if t == "FS":
                finish = min(finish, ls[s] - lag)
            elif t == "SS":
                finish = min(finish, ls[s] - lag + d)
            else:
                finish = min(finish, lf[s] - lag)
        lf[o], ls[o] = finish, finish - d
    free = {}
    for o in order:
        f = end - ef[o]
        for s, t, lag in succs[o]:
            if t == "FS":
                f = min(f, es[s] - lag - ef[o])
            elif t == "SS":
                f = min(f, es[s] - lag - es[o])
            else:
                f = min(f, ef[s] - lag - ef[o])
        free[o] = max(0.0, f)
    return es, ef, ls, lf, free, end


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    for c in CALENDARS:
        con.execute("INSERT INTO ShiftCalendar VALUES (?,?,?,?,?,?)", c)
    unit_ids = {}
    for i, u in enumerate(UNITS, 1):
        con.execute("INSERT INTO Unit VALUES (?,?,?,?,?,?,?,?)", (i,) + u)
        unit_ids[u[0]] = i
    eq_ids, eq_rows = {}, {}
    for i, (tag, desc, cls, unit, crit, psys, year) in enumerate(EQUIPMENT, 1):
        con.execute("INSERT INTO Equipment VALUES (?,?,?,?,?,?,?,?)",
                    (i, tag, desc, cls, unit_ids[unit], crit, psys, year))
        eq_ids[tag] = i
        eq_rows[tag] = (desc, cls, unit)
    craft_ids = {}
    for i, c in enumerate(CRAFTS, 1):
        con.execute("INSERT INTO Craft VALUES (?,?,?,?,?)", (i,) + c)
        craft_ids[c[0]] = i
    craft_rate = {c[0]: c[2] for c in CRAFTS}
    techs = {}
    tid = 0
    names = set()
    for code, n in TECH_PER_CRAFT.items():
        techs[code] = []
        for k in range(n):
            tid += 1
            while True:
                name = f"{rng.choice(FIRST)} {rng.choice(LAST)}"
                if name not in names:
                    names.add(name)
                    break
            employer = CONTRACTORS.get(code, "In-house")
            cal = 3 if code == "NDT" and k == 0 else rng.choice([1, 1, 4])
            level = rng.choice(["Trainee", "Competent", "Competent", "Senior", "Lead"])
            active = 0 if (k == n - 1 and n > 3) else 1
            con.execute("INSERT INTO Technician VALUES (?,?,?,?,?,?,?,?)",
                        (tid, f"T{4100 + tid * 7}", name, craft_ids[code], employer, cal, level, active))
            if active:
                techs[code].append(tid)

    wo_id = op_id = dep_id = ca_id = pm_id = res_id = insp_id = snap_id = sop_id = 0
    wo_number = 41020100
    for t_idx, (tcode, tname, tunit, tstatus, start, tags, manager, snaps) in enumerate(TURNAROUNDS, 1):
        ops = {}          # op id -> duration
        op_info = {}      # op id -> (wo id, title, craft, permit, cal, milestone)
        deps = []
        wos = []          # (wo id, unit, eq tag or None, title, type, priority, source, planner, first op, last op, cls)
        act_seq = 1000
        short = tcode.split("-")[1]

        def add_ops(wo, templ, fill, chain_type="FS"):
            nonlocal op_id, act_seq
            ids = []
            for k, (title, craft, hrs, permit, cal) in enumerate(templ):
                op_id += 1
                act_seq += 10
                dur = float(rng.choice(hrs) if isinstance(hrs, list) else hrs)
                ops[op_id] = dur
                op_info[op_id] = (wo, f"{(k + 1) * 10:04d}", f"{short}-{act_seq}", title.format(**fill), craft,
                                  permit, cal, dur == 0)
                if ids:
                    typ = "FS"
                    lag = 0.0
                    if craft == "SCAF" and k == len(templ) - 1:
                        lag = rng.choice([0.0, 4.0])
                    elif rng.random() < 0.12:
                        typ = "SS"
                        lag = float(rng.choice([4, 8]))
                    elif rng.random() < 0.06:
                        typ = "FF"
                        lag = float(rng.choice([0, 4]))
                    elif rng.random() < 0.08:
                        lag = float(rng.choice([2, 8, 12]))
                    deps.append([ids[-1], op_id, typ, lag])
                ids.append(op_id)
            return ids

        unit_name = [u for u in UNITS if u[0] == tunit][0][0]
        # shutdown work order
        wo_id += 1
        wo_number += rng.randint(3, 40)
        sd_ops = add_ops(wo_id, SHUTDOWN_OPS, {"u": unit_name})
        wos.append((wo_id, wo_number, tunit, None, f"Shutdown and decontamination {unit_name}", "Shutdown", 1,
                    "Turnaround Scope", sd_ops, None))
        handover = sd_ops[-1]
        last_ops = []
        for tag in tags:
            desc, cls, eunit = eq_rows[tag]
            wo_id += 1
            wo_number += rng.randint(3, 40)
            ids = add_ops(wo_id, TEMPLATES[cls], {"tag": tag})
            deps.append([handover, ids[0], "FS", 0.0])
            last_ops.append(ids[-1])
            source = rng.choice(["Turnaround Scope", "Turnaround Scope", "Inspection Plan", "Deferred Work",
                                 "Statutory"]) if cls != "Boiler" else "Statutory"
            if cls == "Relief Valve":
                source = "Statutory"
            wos.append((wo_id, wo_number, eunit, tag, WO_TITLES[cls].format(d=desc[0].lower() + desc[1:], tag=tag), WORK_TYPES[cls],
                        rng.choice([1, 1, 2, 2, 3]) if eq_rows[tag][1] != "Relief Valve" else 1, source, ids, cls))
        # cross-work-order logic: a few soft links between earlier and later work orders
        body = [o for o in ops if o not in sd_ops]
        for _ in range(max(2, len(tags) // 2)):
            a, b = sorted(rng.sample(body, 2))
            if op_info[a][0] != op_info[b][0]:
                deps.append([a, b, rng.choice(["FS", "FS", "SS", "FF"]), float(rng.choice([0, 0, 4, 8, 24]))])
        emergent = None
        if tcode == "TA25-CDU":
            # emergent work found on opening the column, added after the baseline
            wo_id += 1
            wo_number += rng.randint(3, 40)
            ids = add_ops(wo_id, [("Emergent: weld repair of cracked draw-off nozzle on {tag}", "WELD", [36], "Hot Work", 1),
                                  ("Emergent: radiography of nozzle repair on {tag}", "NDT", [8], "Radiography", 3),
                                  ("Emergent: PWHT of nozzle repair on {tag}", "WELD", [12], "Hot Work", 1)],
                          {"tag": "C-101"})
            c101_open = [o for o in ops if op_info[o][3].startswith("Open manways on C-101")][0]
            deps.append([c101_open, ids[0], "FS", 0.0])
            c101_close = [o for o in ops if op_info[o][3].startswith("Close manways on C-101")][0]
            deps.append([ids[-1], c101_close, "FS", 0.0])
            wos.append((wo_id, wo_number, "CDU-1", "C-101", "Emergent repair of cracked nozzle on C-101",
                        "Emergent Repair", 1, "Emergent", ids, "Column"))
            emergent = set(ids)
        wo_id += 1
        wo_number += rng.randint(3, 40)
        su_ops = add_ops(wo_id, STARTUP_OPS, {"u": unit_name})
        for o in last_ops:
            deps.append([o, su_ops[0], "FS", 0.0])
        wos.append((wo_id, wo_number, tunit, None, f"Startup and handback {unit_name}", "Startup", 1,
                    "Turnaround Scope", su_ops, None))

        es, ef, ls, lf, free, end = cpm(ops, deps)
        planned_startup = start + hours(end)
        budget_hours = round(sum(ops.values()) * 2.6, -1)
        actual_startup = ts(planned_startup + hours(rng.choice([18, 30]))) if tstatus == "Closed" else None
        con.execute("INSERT INTO Turnaround VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                    (t_idx, tcode, tname, unit_ids[tunit], tstatus, ts(start), ts(planned_startup), actual_startup,
                     budget_hours, round(budget_hours * 118.0, -3), manager, 1))
        for p, s, typ, lag in deps:
            dep_id += 1
            con.execute("INSERT INTO OperationDependency VALUES (?,?,?,?,?)", (dep_id, p, s, typ, lag))

        # work orders put on hold (waiting on material) in the live and frozen turnarounds
        hold_wos = set()
        if tstatus in ("Execution", "Scope Frozen"):
            candidates = [w[0] for w in wos if w[9] in ("Heat Exchanger", "Compressor", "Fired Heater")]
            hold_wos = set(rng.sample(candidates, 1))
        op_status = {}
        op_rows = {}
        for o in sorted(ops):
            wo, opnum, actid, title, craft, permit, cal, milestone = op_info[o]
            dur = ops[o]
            ps, pf = start + hours(es[o]), start + hours(ef[o])
            tf = round(ls[o] - es[o], 1)
            a_s = a_f = None
            if tstatus == "Closed" or (tstatus == "Execution" and pf <= DATA_DATE):
                status, pct, rem = "Complete", 100.0, 0.0
                a_s = ps + hours(rng.choice([0, 0, 2, 4, 6, -2]))
                a_f = a_s + hours(round(dur * rng.choice([0.9, 1.0, 1.0, 1.15, 1.3, 1.5])))
                if tstatus == "Execution" and a_f > DATA_DATE:
                    a_f = DATA_DATE - hours(2)
                    a_s = min(a_s, a_f - hours(max(1.0, dur)))
            elif tstatus == "Execution" and ps < DATA_DATE:
                status = "InProgress"
                pct = float(max(5, min(95, round(100 * (DATA_DATE - ps).total_seconds() / 3600 / max(dur, 1)
                                               * rng.uniform(0.6, 1.1) / 5) * 5)))
                rem = round(dur * (1 - pct / 100), 1)
                a_s = ps + hours(rng.choice([0, 2, 4]))
            else:
                pct, rem = 0.0, dur
                if tstatus == "Execution":
                    status = "Released"
                elif tstatus == "Scope Frozen":
                    status = rng.choice(["Released", "Planned", "Planned"])
                else:
                    status = "Planned"
                if wo in hold_wos:
                    status = "OnHold"
            if tstatus == "Closed":
                tf = round(tf, 1)
            crit = 1 if tf <= 0 else 0
            op_status[o] = status
            op_rows[o] = (ps, pf, dur, tf, crit)
            con.execute("INSERT INTO WorkOrderOperation VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (o, wo, opnum, actid, title, craft_ids[craft], cal, status, dur, rem, ts(ps), ts(pf),
                         ts(start + hours(ls[o])), ts(start + hours(lf[o])), ts(a_s), ts(a_f), tf,
                         round(free[o], 1), crit, pct, 1 if milestone else 0))
            if milestone:
                continue
            # crafts on the operation: the lead craft, named technicians, sometimes a helper craft
            pool = techs[craft]
            crew = rng.sample(pool, min(len(pool), rng.choice([1, 1, 2, 2, 3])))
            helpers = []
            if craft in ("MECH", "WELD") and rng.random() < 0.35:
                helpers.append(("RIG", rng.choice(techs["RIG"])))
            if craft == "WELD" and rng.random() < 0.5:
                helpers.append(("NDT", None))
            for c, t in [(craft, t) for t in crew] + helpers:
                ca_id += 1
                ph = dur if c == craft else round(dur / 2)
                if status == "Complete":
                    ah = round(ph * rng.choice([0.8, 1.0, 1.0, 1.2, 1.4]), 1)
                elif status == "InProgress":
                    ah = round(ph * pct / 100, 1)
                else:
                    ah = 0.0
                overtime = 1 if ah > ph else 0
                con.execute("INSERT INTO CraftAssignment VALUES (?,?,?,?,?,?,?)",
                            (ca_id, o, craft_ids[c], t, ph, ah, overtime))
            if permit:
                pm_id += 1
                if status == "Complete":
                    pstat = "Closed"
                elif status == "InProgress":
                    pstat = rng.choice(["Issued", "Issued", "Suspended"])
                elif status == "OnHold":
                    pstat = "Requested"
                elif tstatus == "Execution":
                    pstat = rng.choice(["Approved", "Requested", "Approved"])
                elif tstatus == "Scope Frozen":
                    pstat = rng.choice(["Requested", "Requested", "Approved"])
                else:
                    pstat = "Requested"
                vf = ps - hours(1)
                vt = ps + hours(min(12.0, max(dur, 4.0)))
                auth = AUTHORITIES[2] if tunit in ("BLR-2", "SRU-1") else (
                    AUTHORITIES[0] if tunit in ("CDU-1", "VDU-1") else AUTHORITIES[1])
                gas = 1 if permit in ("Hot Work", "Confined Space Entry") else 0
                con.execute("INSERT INTO Permit VALUES (?,?,?,?,?,?,?,?,?)",
                            (pm_id, f"PTW-{start.year % 100}-{pm_id + 300:04d}", o, permit, pstat, ts(vf), ts(vt),
                             auth, gas))

        for (w, num, wunit, tag, title, wtype, prio, source, ids, cls) in wos:
            sts = [op_status[o] for o in ids]
            if all(s == "Complete" for s in sts):
                wstat = "Complete"
            elif w in hold_wos:
                wstat = "OnHold"
            elif any(s in ("InProgress", "Complete") for s in sts):
                wstat = "InProgress"
            elif all(s == "Planned" for s in sts):
                wstat = "Planned"
            else:
                wstat = "Released"
            est = round(sum(ops[o] for o in ids) * 2.2 * 65 + (20000 if cls in ("Reactor", "Compressor") else 0), -2)
            done = sum(ops[o] for o in ids if op_status[o] == "Complete") / max(1.0, sum(ops[o] for o in ids))
            act = round(est * done * rng.uniform(0.9, 1.35), -2)
            created = start - dt.timedelta(days=rng.randint(60, 240)) if source != "Emergent" else DATA_DATE - \
                dt.timedelta(days=4)
            con.execute("INSERT INTO WorkOrder VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (w, str(num), t_idx, unit_ids[wunit], eq_ids.get(tag), title, wtype, prio, source, wstat,
                         rng.choice(PLANNERS), est, act, created.strftime("%Y-%m-%d")))
            if cls:
                for mdesc, uom, qty, price in MATERIALS[cls]:
                    if mdesc == "Hydrotreating catalyst" and tunit == "SRU-1":
                        mdesc, qty, price = "Claus alumina catalyst", 18000, 2.9
                    if cls == "Heat Exchanger" and mdesc == "Replacement tube bundle" and rng.random() < 0.6:
                        continue
                    res_id += 1
                    need = start + hours(es[ids[0]]) - dt.timedelta(days=rng.choice([1, 2, 3]))
                    if tstatus == "Closed":
                        rstat, issued = "Issued", qty
                    elif w in hold_wos and mdesc in LONG_LEAD | {"Spiral wound gasket set", "Casing O-ring kit"}:
                        rstat, issued = "Backordered", 0
                    elif tstatus == "Execution":
                        rstat = rng.choice(["Issued", "Issued", "Delivered", "Issued"]) if need < DATA_DATE else \
                            rng.choice(["Delivered", "Ordered", "Delivered"])
                        issued = qty if rstat == "Issued" else 0
                    elif tstatus == "Scope Frozen":
                        rstat, issued = rng.choice(["Ordered", "Delivered", "Open", "Ordered"]), 0
                    else:
                        rstat, issued = "Open", 0
                    mnum = f"1{sum(ord(ch) for ch in mdesc) * 37 % 900000 + 100000:06d}"
                    con.execute("INSERT INTO MaterialReservation VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                (res_id, f"RES-{9000 + res_id * 3}", w, mnum, mdesc, float(qty), float(issued), uom,
                                 ts(need)[:10], rstat, 1 if mdesc in LONG_LEAD else 0, SUPPLIERS[mdesc], price))
            if cls and cls not in ("Relief Valve", "Fan"):
                nd = [o for o in ids if op_info[o][4] == "NDT"]
                if not nd:
                    continue
                for o in nd:
                    itype = ("Eddy Current" if "Eddy" in op_info[o][3] else "Radiography" if "Radiography" in
                             op_info[o][3] else "Ultrasonic Thickness" if "thickness" in op_info[o][3] else
                             "Internal Visual")
                    insp_id += 1
                    if op_status[o] == "Complete":
                        res = rng.choice(["Pass", "Pass", "Pass", "Repair Required", "Fail"])
                        idate = ts(start + hours(ef[o]))
                    else:
                        res, idate = "Pending", None
                    wt = None
                    if itype in ("Ultrasonic Thickness", "Eddy Current") and res != "Pending":
                        wt = round(rng.uniform(3.2, 9.8), 1)
                    finding = {"Pass": "No significant findings", "Repair Required": "Localised wall loss, repair before box up",
                               "Fail": "Defect beyond acceptance criteria, replace", "Pending": None}[res]
                    con.execute("INSERT INTO Inspection VALUES (?,?,?,?,?,?,?,?,?,?)",
                                (insp_id, eq_ids[tag], t_idx, w, itype, idate, rng.choice(INSPECTORS), res, wt,
                                 finding))

        for sname, stype, offset in snaps:
            snap_id += 1
            ddate = start + dt.timedelta(days=offset)
            con.execute("INSERT INTO ScheduleSnapshot VALUES (?,?,?,?,?,?,?)",
                        (snap_id, t_idx, sname, stype, ts(ddate), rng.choice(PLANNERS), 1 if stype == "Baseline" else 0))
            for o in sorted(ops):
                if emergent and o in emergent and ddate < DATA_DATE - dt.timedelta(days=4):
                    continue
                ps, pf, dur, tf, crit = op_rows[o]
                if stype == "Baseline":
                    shift = rng.choice([0, 0, 0, 0, 4, 8, 12, 24, 36]) if tstatus != "Scope Frozen" else 0
                    bdur = dur if rng.random() < 0.75 or dur == 0 else max(2.0, dur - rng.choice([4, 8, 12]))
                    bps = ps - hours(shift)
                    btf = tf + shift if tf > 0 else float(rng.choice([0, 0, 8]))
                else:
                    bdur = dur
                    bps = ps - hours(rng.choice([0, 0, 0, 4]))
                    btf = tf
                sop_id += 1
                con.execute("INSERT INTO SnapshotOperation VALUES (?,?,?,?,?,?,?,?)",
                            (sop_id, snap_id, o, ts(bps), ts(bps + hours(bdur)), bdur, btf, 1 if btf <= 0 else 0))
    con.commit()
    return con


TABLE_META = {
    "ShiftCalendar": ("Shift calendars the turnaround works to: pattern, hours per day and days per week", {
        "ShiftCalendarId": ("Shift calendar identifier", "INTEGER"),
        "CalendarName": ("Name of the calendar", "TEXT"),
        "ShiftPattern": ("Shift pattern, e.g. 2x12 for two twelve-hour shifts a day", "TEXT"),
        "HoursPerDay": ("Working hours in a day", "REAL"),
        "DaysPerWeek": ("Working days in a week", "INTEGER"),
        "FirstShiftStart": ("Clock time the first shift of the day starts, HH:MM", "TEXT"),
    }),
    "Unit": ("Process units of the plant (crude unit, cracker, hydrotreater, boiler ...)", {
        "UnitId": ("Unit identifier", "INTEGER"),
        "UnitCode": ("Short code of the unit, e.g. CDU-1", "TEXT"),
        "UnitName": ("Full name of the unit", "TEXT"),
        "PlantArea": ("Area of the plant the unit sits in", "TEXT"),
        "ProcessService": ("What the unit does", "TEXT"),
        "AreaSupervisor": ("Supervisor responsible for the unit's area", "TEXT"),
        "DesignCapacity": ("Design throughput of the unit", "REAL"),
        "CapacityUom": ("Unit of measure of the design capacity", "TEXT"),
    }),
    "Turnaround": ("Planned shutdown events of a unit, with shutdown and startup dates and budget", {
        "TurnaroundId": ("Turnaround identifier", "INTEGER"),
        "TurnaroundCode": ("Code of the turnaround, e.g. TA25-CDU", "TEXT"),
        "TurnaroundName": ("Name of the turnaround", "TEXT"),
        "UnitId": ("Main unit taken down (Unit.UnitId)", "INTEGER"),
        "TurnaroundStatus": ("Stage the turnaround is at", "TEXT"),
        "ShutdownStart": ("Date and time the unit is taken off line, YYYY-MM-DD HH:MM", "DATETIME"),
        "PlannedStartup": ("Planned date and time the unit is handed back, from the current schedule",
                           "DATETIME"),
        "ActualStartup": ("Actual handback date and time; null until the turnaround is closed", "DATETIME"),
        "BudgetManHours": ("Budgeted labour hours for the whole turnaround", "REAL"),
        "BudgetCost": ("Budgeted cost in USD", "REAL"),
        "TurnaroundManager": ("Manager in charge of the turnaround", "TEXT"),
        "ShiftCalendarId": ("Default shift calendar (ShiftCalendar.ShiftCalendarId)", "INTEGER"),
    }),
    "Equipment": ("Tagged plant items (pumps, exchangers, heaters, columns, valves ...)", {
        "EquipmentId": ("Equipment identifier", "INTEGER"),
        "EquipmentTag": ("Plant tag number, e.g. P-101A", "TEXT"),
        "EquipmentDescription": ("Description of the item", "TEXT"),
        "EquipmentClass": ("Class of equipment", "TEXT"),
        "UnitId": ("Unit the item belongs to (Unit.UnitId)", "INTEGER"),
        "Criticality": ("Criticality ranking A (highest) to C", "TEXT"),
        "IsPressureSystem": ("1 when the item falls under pressure systems regulations", "INTEGER"),
        "YearInstalled": ("Year the item was installed", "INTEGER"),
    }),
    "WorkOrder": ("Maintenance work orders in the scope of a turnaround, usually against one equipment tag", {
        "WorkOrderId": ("Work order identifier", "INTEGER"),
        "WorkOrderNumber": ("Eight-digit work order number from the maintenance system, e.g. 41020117", "TEXT"),
        "TurnaroundId": ("Turnaround the work is scoped into (Turnaround.TurnaroundId)", "INTEGER"),
        "UnitId": ("Unit the work is on (Unit.UnitId)", "INTEGER"),
        "EquipmentId": ("Equipment worked on (Equipment.EquipmentId); null for unit-wide work", "INTEGER"),
        "WorkOrderTitle": ("Short text of the work order", "TEXT"),
        "WorkType": ("Type of work", "TEXT"),
        "Priority": ("Priority 1 (highest) to 3", "INTEGER"),
        "ScopeSource": ("Where the scope item came from", "TEXT"),
        "Status": ("Status of the work order", "TEXT"),
        "PlannerName": ("Planner who owns the work order", "TEXT"),
        "EstimatedCost": ("Estimated cost in USD", "REAL"),
        "ActualCost": ("Actual cost booked to date in USD", "REAL"),
        "CreatedOn": ("Date the work order was raised", "DATE"),
    }),
    "Craft": ("Trades that carry out the work", {
        "CraftId": ("Craft identifier", "INTEGER"),
        "CraftCode": ("Craft code, e.g. MECH, WELD, SCAF", "TEXT"),
        "CraftName": ("Name of the trade", "TEXT"),
        "HourlyRate": ("Charge-out rate per hour in USD", "REAL"),
        "IsContractCraft": ("1 when the trade is supplied by a contractor", "INTEGER"),
    }),
    "WorkOrderOperation": ("Operations of a work order: the schedulable activities with planned and late dates, "
                           "float in hours and progress", {
        "OperationId": ("Operation identifier", "INTEGER"),
        "WorkOrderId": ("Work order (WorkOrder.WorkOrderId)", "INTEGER"),
        "OperationNumber": ("Operation number within the work order, e.g. 0010", "TEXT"),
        "ActivityId": ("Schedule activity ID, turnaround prefix and a number, e.g. CDU-1230", "TEXT"),
        "OperationTitle": ("Description of the operation", "TEXT"),
        "CraftId": ("Lead craft (Craft.CraftId)", "INTEGER"),
        "ShiftCalendarId": ("Shift calendar the operation is worked on (ShiftCalendar.ShiftCalendarId)", "INTEGER"),
        "Status": ("Status of the operation", "TEXT"),
        "DurationHours": ("Planned duration in hours; 0 for a milestone", "REAL"),
        "RemainingHours": ("Remaining duration in hours", "REAL"),
        "PlannedStart": ("Early (planned) start, YYYY-MM-DD HH:MM", "DATETIME"),
        "PlannedFinish": ("Early (planned) finish, YYYY-MM-DD HH:MM", "DATETIME"),
        "LateStart": ("Late start from the backward pass", "DATETIME"),
        "LateFinish": ("Late finish from the backward pass", "DATETIME"),
        "ActualStart": ("Actual start; null until started", "DATETIME"),
        "ActualFinish": ("Actual finish; null until complete", "DATETIME"),
        "TotalFloatHours": ("Total float in hours: late start minus planned start", "REAL"),
        "FreeFloatHours": ("Free float in hours: slip allowed before any successor moves", "REAL"),
        "IsCritical": ("1 when the operation is on the critical path", "INTEGER"),
        "PercentComplete": ("Physical percent complete, 0 to 100", "REAL"),
        "IsMilestone": ("1 for a zero-duration milestone", "INTEGER"),
    }),
    "OperationDependency": ("Logic links between operations: predecessor, successor, link type and lag", {
        "DependencyId": ("Dependency identifier", "INTEGER"),
        "PredecessorOperationId": ("Predecessor operation (WorkOrderOperation.OperationId)", "INTEGER"),
        "SuccessorOperationId": ("Successor operation (WorkOrderOperation.OperationId)", "INTEGER"),
        "DependencyType": ("Link type", "TEXT"),
        "LagHours": ("Lag in hours", "REAL"),
    }),
    "Technician": ("Named tradespeople, in-house or from contractors, each of one craft", {
        "TechnicianId": ("Technician identifier", "INTEGER"),
        "EmployeeNumber": ("Employee or badge number", "TEXT"),
        "FullName": ("Full name", "TEXT"),
        "CraftId": ("Trade of the technician (Craft.CraftId)", "INTEGER"),
        "Employer": ("Employing company; In-house for own staff", "TEXT"),
        "ShiftCalendarId": ("Shift the technician works (ShiftCalendar.ShiftCalendarId)", "INTEGER"),
        "CompetencyLevel": ("Competency grade", "TEXT"),
        "IsActive": ("1 while the technician is mobilised", "INTEGER"),
    }),
    "CraftAssignment": ("Labour assigned to an operation: craft, named technician, planned and actual hours", {
        "CraftAssignmentId": ("Assignment identifier", "INTEGER"),
        "OperationId": ("Operation (WorkOrderOperation.OperationId)", "INTEGER"),
        "CraftId": ("Craft required (Craft.CraftId)", "INTEGER"),
        "TechnicianId": ("Technician named (Technician.TechnicianId); null when not yet named", "INTEGER"),
        "PlannedHours": ("Planned labour hours", "REAL"),
        "ActualHours": ("Actual labour hours booked", "REAL"),
        "IsOvertime": ("1 when hours were booked over the plan", "INTEGER"),
    }),
    "Permit": ("Permits to work raised for operations (hot work, confined space entry, isolations ...)", {
        "PermitId": ("Permit identifier", "INTEGER"),
        "PermitNumber": ("Permit number, e.g. PTW-25-0412", "TEXT"),
        "OperationId": ("Operation covered (WorkOrderOperation.OperationId)", "INTEGER"),
        "PermitType": ("Type of permit", "TEXT"),
        "PermitStatus": ("Status of the permit", "TEXT"),
        "ValidFrom": ("Start of validity", "DATETIME"),
        "ValidTo": ("End of validity", "DATETIME"),
        "IssuingAuthority": ("Area authority that issues the permit", "TEXT"),
        "GasTestRequired": ("1 when a gas test is needed before work", "INTEGER"),
    }),
    "MaterialReservation": ("Materials reserved for work orders, with quantities, need dates and supply status", {
        "ReservationId": ("Reservation identifier", "INTEGER"),
        "ReservationNumber": ("Reservation number, e.g. RES-9012", "TEXT"),
        "WorkOrderId": ("Work order (WorkOrder.WorkOrderId)", "INTEGER"),
        "MaterialNumber": ("Stock material number", "TEXT"),
        "MaterialDescription": ("Description of the material", "TEXT"),
        "QuantityRequired": ("Quantity required", "REAL"),
        "QuantityIssued": ("Quantity issued from stores", "REAL"),
        "UnitOfMeasure": ("Unit of measure of the quantities", "TEXT"),
        "RequiredBy": ("Date the material is needed at the job", "DATE"),
        "ReservationStatus": ("Supply status of the reservation", "TEXT"),
        "IsLongLead": ("1 for a long-lead item", "INTEGER"),
        "Supplier": ("Supplier", "TEXT"),
        "UnitPrice": ("Price per unit of measure in USD", "REAL"),
    }),
    "Inspection": ("Inspections of equipment during a turnaround and their results", {
        "InspectionId": ("Inspection identifier", "INTEGER"),
        "EquipmentId": ("Equipment inspected (Equipment.EquipmentId)", "INTEGER"),
        "TurnaroundId": ("Turnaround (Turnaround.TurnaroundId)", "INTEGER"),
        "WorkOrderId": ("Work order the inspection was done under (WorkOrder.WorkOrderId)", "INTEGER"),
        "InspectionType": ("Inspection technique", "TEXT"),
        "InspectionDate": ("Date and time done; null while pending", "DATETIME"),
        "Inspector": ("Inspector", "TEXT"),
        "Result": ("Outcome of the inspection", "TEXT"),
        "MinWallThicknessMm": ("Minimum wall thickness measured in mm, for thickness techniques", "REAL"),
        "Findings": ("Summary of the findings", "TEXT"),
    }),
    "ScheduleSnapshot": ("Saved copies of a turnaround schedule: the baseline, progress updates and what-if runs", {
        "SnapshotId": ("Snapshot identifier", "INTEGER"),
        "TurnaroundId": ("Turnaround (Turnaround.TurnaroundId)", "INTEGER"),
        "SnapshotName": ("Name of the snapshot", "TEXT"),
        "SnapshotType": ("Kind of snapshot", "TEXT"),
        "DataDate": ("Data date of the snapshot", "DATETIME"),
        "CreatedBy": ("Planner who saved it", "TEXT"),
        "IsActiveBaseline": ("1 for the baseline progress is measured against", "INTEGER"),
    }),
    "SnapshotOperation": ("Operation dates and float as they stood in a saved snapshot", {
        "SnapshotOperationId": ("Snapshot row identifier", "INTEGER"),
        "SnapshotId": ("Snapshot (ScheduleSnapshot.SnapshotId)", "INTEGER"),
        "OperationId": ("Operation (WorkOrderOperation.OperationId)", "INTEGER"),
        "PlannedStart": ("Planned start in the snapshot", "DATETIME"),
        "PlannedFinish": ("Planned finish in the snapshot", "DATETIME"),
        "DurationHours": ("Duration in hours in the snapshot", "REAL"),
        "TotalFloatHours": ("Total float in hours in the snapshot", "REAL"),
        "IsCritical": ("1 when critical in the snapshot", "INTEGER"),
    }),
}

RELATIONSHIPS = [
    ("Turnaround", "Unit", "Turnaround.UnitId = Unit.UnitId", "Main unit of a turnaround"),
    ("Turnaround", "ShiftCalendar", "Turnaround.ShiftCalendarId = ShiftCalendar.ShiftCalendarId",
     "Default calendar of a turnaround"),
    ("Equipment", "Unit", "Equipment.UnitId = Unit.UnitId", "Unit an equipment item belongs to"),
    ("WorkOrder", "Turnaround", "WorkOrder.TurnaroundId = Turnaround.TurnaroundId", "Work orders in a turnaround"),
    ("WorkOrder", "Unit", "WorkOrder.UnitId = Unit.UnitId", "Unit a work order is on"),
    ("WorkOrder", "Equipment", "WorkOrder.EquipmentId = Equipment.EquipmentId", "Equipment a work order is on"),
    ("WorkOrderOperation", "WorkOrder", "WorkOrderOperation.WorkOrderId = WorkOrder.WorkOrderId",
     "Operations of a work order"),
    ("WorkOrderOperation", "Craft", "WorkOrderOperation.CraftId = Craft.CraftId", "Lead craft of an operation"),
    ("WorkOrderOperation", "ShiftCalendar", "WorkOrderOperation.ShiftCalendarId = ShiftCalendar.ShiftCalendarId",
     "Calendar of an operation"),
    ("OperationDependency", "WorkOrderOperation",
     "OperationDependency.PredecessorOperationId = WorkOrderOperation.OperationId", "Predecessor of a link"),
    ("OperationDependency", "WorkOrderOperation",
     "OperationDependency.SuccessorOperationId = WorkOrderOperation.OperationId", "Successor of a link"),
    ("Technician", "Craft", "Technician.CraftId = Craft.CraftId", "Trade of a technician"),
    ("Technician", "ShiftCalendar", "Technician.ShiftCalendarId = ShiftCalendar.ShiftCalendarId",
     "Shift of a technician"),
    ("CraftAssignment", "WorkOrderOperation", "CraftAssignment.OperationId = WorkOrderOperation.OperationId",
     "Operation an assignment is for"),
    ("CraftAssignment", "Craft", "CraftAssignment.CraftId = Craft.CraftId", "Craft of an assignment"),
    ("CraftAssignment", "Technician", "CraftAssignment.TechnicianId = Technician.TechnicianId",
     "Technician named on an assignment"),
    ("Permit", "WorkOrderOperation", "Permit.OperationId = WorkOrderOperation.OperationId",
     "Operation a permit covers"),
    ("MaterialReservation", "WorkOrder", "MaterialReservation.WorkOrderId = WorkOrder.WorkOrderId",
     "Materials of a work order"),
    ("Inspection", "Equipment", "Inspection.EquipmentId = Equipment.EquipmentId", "Equipment inspected"),
    ("Inspection", "Turnaround", "Inspection.TurnaroundId = Turnaround.TurnaroundId", "Turnaround of an inspection"),
    ("Inspection", "WorkOrder", "Inspection.WorkOrderId = WorkOrder.WorkOrderId", "Work order of an inspection"),
    ("ScheduleSnapshot", "Turnaround", "ScheduleSnapshot.TurnaroundId = Turnaround.TurnaroundId",
     "Snapshots of a turnaround schedule"),
    ("SnapshotOperation", "ScheduleSnapshot", "SnapshotOperation.SnapshotId = ScheduleSnapshot.SnapshotId",
     "Rows of a snapshot"),
    ("SnapshotOperation", "WorkOrderOperation", "SnapshotOperation.OperationId = WorkOrderOperation.OperationId",
     "Operation a snapshot row copies"),
]

BUSINESS_RULES = {
    ("Turnaround", "TurnaroundStatus"): ["Allowed Values: Scoping, Scope Frozen, Execution, Closed"],
    ("WorkOrder", "Status"): ["Allowed Values: Planned, Released, InProgress, Complete, OnHold"],
    ("WorkOrder", "WorkType"): ["Allowed Values: Shutdown, Startup, Overhaul, Clean and Inspect, Repair, "
                                "Inspect and Repair, Catalyst Change, Recertification, Statutory Inspection, "
                                "Emergent Repair"],
    ("WorkOrder", "ScopeSource"): ["Allowed Values: Turnaround Scope, Inspection Plan, Deferred Work, Statutory, "
                                   "Emergent"],
    ("WorkOrderOperation", "Status"): ["Allowed Values: Planned, Released, InProgress, Complete, OnHold"],
    ("WorkOrderOperation", "IsCritical"): ["Critical: IsCritical = 1 when TotalFloatHours <= 0"],
    ("OperationDependency", "DependencyType"): ["Allowed Values: FS (finish to start), SS (start to start), "
                                                "FF (finish to finish)"],
    ("Permit", "PermitType"): ["Allowed Values: Hot Work, Cold Work, Confined Space Entry, Working at Height, "
                               "Electrical Isolation, Radiography, Heavy Lift"],
    ("Permit", "PermitStatus"): ["Allowed Values: Requested, Approved, Issued, Suspended, Closed"],
    ("MaterialReservation", "ReservationStatus"): ["Allowed Values: Open, Ordered, Delivered, Issued, Backordered"],
    ("Inspection", "Result"): ["Allowed Values: Pass, Repair Required, Fail, Pending"],
    ("Inspection", "InspectionType"): ["Allowed Values: Internal Visual, Ultrasonic Thickness, Radiography, "
                                       "Eddy Current"],
    ("ScheduleSnapshot", "SnapshotType"): ["Allowed Values: Baseline, Progress Update, What-If"],
    ("Equipment", "Criticality"): ["Allowed Values: A, B, C"],
}

CONCEPTS = {
    ("WorkOrderOperation", "TotalFloatHours"): ["total_float", "critical_path"],
    ("WorkOrderOperation", "FreeFloatHours"): ["free_float"],
    ("WorkOrderOperation", "IsCritical"): ["critical_path"],
    ("WorkOrderOperation", "PercentComplete"): ["percent_complete"],
    ("OperationDependency", "LagHours"): ["lag"],
    ("SnapshotOperation", "PlannedFinish"): ["baseline_variance"],
    ("ScheduleSnapshot", "IsActiveBaseline"): ["baseline_variance"],
    ("CraftAssignment", "PlannedHours"): ["craft_loading"],
    ("Turnaround", "PlannedStartup"): ["turnaround_duration"],
    ("MaterialReservation", "IsLongLead"): ["long_lead_material"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Hours an operation can slip without delaying the unit's handback",
    "free_float": "Hours an operation can slip without delaying any successor",
    "critical_path": "The chain of operations with no float that fixes the startup date",
    "percent_complete": "Physical progress of an operation",
    "lag": "Waiting hours on a link between operations",
    "baseline_variance": "Current planned dates against the dates in the active baseline snapshot",
    "craft_loading": "Labour hours planned per craft over the turnaround",
    "turnaround_duration": "Hours from shutdown start to planned or actual startup",
    "long_lead_material": "Materials with long delivery times that can hold up a work order",
}

QUERY_EXAMPLES = [
    ("SELECT TurnaroundCode, TurnaroundName, TurnaroundStatus, ShutdownStart, PlannedStartup FROM Turnaround "
     "ORDER BY ShutdownStart;",
     "Turnarounds with their shutdown and planned startup dates", "simple"),
    ("SELECT o.ActivityId, o.OperationTitle, o.PlannedStart, o.TotalFloatHours FROM WorkOrderOperation o "
     "JOIN WorkOrder w ON w.WorkOrderId = o.WorkOrderId JOIN Turnaround t ON t.TurnaroundId = w.TurnaroundId "
     "WHERE t.TurnaroundCode = 'TA25-HDT' AND o.IsCritical = 1 ORDER BY o.PlannedStart;",
     "Critical operations for one turnaround", "medium"),
    ("SELECT c.CraftName, SUM(a.PlannedHours) AS PlannedHours, SUM(a.ActualHours) AS ActualHours "
     "FROM CraftAssignment a JOIN Craft c ON c.CraftId = a.CraftId GROUP BY c.CraftName ORDER BY PlannedHours DESC;",
     "Planned against actual labour hours per craft", "medium"),
    ("SELECT w.WorkOrderNumber, w.WorkOrderTitle, o.OperationNumber, o.OperationTitle, o.Status "
     "FROM WorkOrder w JOIN WorkOrderOperation o ON o.WorkOrderId = w.WorkOrderId "
     "JOIN Equipment e ON e.EquipmentId = w.EquipmentId WHERE e.EquipmentTag = 'E-204' "
     "ORDER BY w.WorkOrderNumber, o.OperationNumber;",
     "Work orders and operations for one equipment tag", "medium"),
    ("SELECT p.PermitNumber, p.PermitType, p.PermitStatus, o.OperationTitle, p.ValidFrom FROM Permit p "
     "JOIN WorkOrderOperation o ON o.OperationId = p.OperationId "
     "WHERE p.PermitType = 'Confined Space Entry' AND p.ValidFrom < '2025-06-01' ORDER BY p.ValidFrom;",
     "Permits of one type valid from before a given date", "medium"),
    ("SELECT m.ReservationNumber, m.MaterialDescription, m.RequiredBy, m.ReservationStatus, w.WorkOrderNumber "
     "FROM MaterialReservation m JOIN WorkOrder w ON w.WorkOrderId = m.WorkOrderId "
     "WHERE m.IsLongLead = 1 AND m.ReservationStatus NOT IN ('Delivered', 'Issued') ORDER BY m.RequiredBy;",
     "Long-lead materials not yet delivered", "medium"),
    ("SELECT p.ActivityId AS Predecessor, s.ActivityId AS Successor, d.DependencyType, d.LagHours "
     "FROM OperationDependency d JOIN WorkOrderOperation p ON p.OperationId = d.PredecessorOperationId "
     "JOIN WorkOrderOperation s ON s.OperationId = d.SuccessorOperationId WHERE d.LagHours > 0;",
     "Links between operations that carry a lag", "medium"),
    ("SELECT o.ActivityId, o.OperationTitle, b.PlannedFinish AS BaselineFinish, o.PlannedFinish AS CurrentFinish "
     "FROM WorkOrderOperation o JOIN SnapshotOperation b ON b.OperationId = o.OperationId "
     "JOIN ScheduleSnapshot s ON s.SnapshotId = b.SnapshotId "
     "WHERE s.IsActiveBaseline = 1 AND s.TurnaroundId = 2 AND o.PlannedFinish > b.PlannedFinish;",
     "Operations finishing later than the baseline for one turnaround", "complex"),
]

KEYWORDS = {
    "float": ["WorkOrderOperation.TotalFloatHours", "WorkOrderOperation.FreeFloatHours", "total_float"],
    "critical": ["WorkOrderOperation.IsCritical", "critical_path"],
    "predecessor": ["OperationDependency.PredecessorOperationId", "OperationDependency"],
    "successor": ["OperationDependency.SuccessorOperationId", "OperationDependency"],
    "permit": ["Permit", "Permit.PermitType"],
    "tag": ["Equipment.EquipmentTag"],
    "baseline": ["ScheduleSnapshot.IsActiveBaseline", "SnapshotOperation", "baseline_variance"],
    "trade": ["Craft", "Craft.CraftName"],
    "material": ["MaterialReservation"],
}

TERMINOLOGY = {
    "TA": "Turnaround, a planned shutdown of a unit for maintenance",
    "outage": "Turnaround, used mostly for boilers and utilities",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF": "Finish to finish link",
    "PTW": "Permit to work",
    "PWHT": "Post weld heat treatment",
    "NDT": "Non-destructive testing",
    "PSV": "Pressure safety (relief) valve",
    "handback": "Return of the unit from maintenance to Operations",
    "data date": "Date up to which progress is recorded in a schedule",
}

RELATED_TERMS = {
    "WorkOrderOperation": "activity, task, job step",
    "Turnaround": "shutdown, outage, TAR",
    "Craft": "trade, discipline",
    "Technician": "tradesperson, fitter, worker",
    "Equipment": "tag, asset, item",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS,
                             key_suffix="Id")
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout8"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata)


if __name__ == "__main__":
    sys.exit(main())
