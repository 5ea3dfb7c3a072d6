#!/usr/bin/env python3
"""Build the twenty-third schedule database (a hospital trust's new-build and refurbishment programme,
plural PascalCase tables) and its metadata.

Harrowfield Teaching Hospitals NHS Trust runs six capital projects at Harrowfield General Hospital: a
new acute services block (frame, envelope, MEP and fit-out floor by floor for the emergency care,
imaging, critical care and inpatient wards), the main theatres refurbishment done in four phases while
the hospital stays live, a new energy centre, a multi-storey car park, the pathology laboratory fit-out
and the medical equipment installation and commissioning programme. Each project has its WBS,
activities on weekday, weekend shutdown, 24/7 commissioning, site and elapsed calendars, logic with
lags, baselines, trades, subcontractors and equipment installers with assignments, clinical service
decant moves, infection-control permits, room handovers, medical equipment items, risks and change
requests. The new block was re-baselined after the steel fabricator failed; the equipment programme
after the MRI scanner shipment was put back.

Named the way a trust's estates planning database names things: plural PascalCase tables and spelt-out
PascalCase columns (TaskRef, TaskTitle, PlannedStart, PlannedFinish, TotalFloatDays, OnCriticalPath,
ProgressPct). Activity status, project health, infection-control permit state, equipment acceptance and
equipment group are numeric codes explained only in the metadata; task kind, project stage, move status,
handover stage, risk state and change decision are words.

Durations, remaining durations and float are in WORKING DAYS of the activity's calendar; lags are
calendar days. Each project is scheduled by one forward and backward pass against its contract
completion date. Data date 2025-11-14.

Outputs go to bench/out/holdout23/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 232323
DATA_DATE = dt.date(2025, 11, 14)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import (WorkDays, activity_at, anchored_baselines, assignment_hours,  # noqa: E402
                            baseline_activities, check_with_history, default_out, forward_backward, gather_plans,
                            describe_tables, main as build_main, metadata_document, day_span as _span,
                            insert_calendars, iso, logic_links, parse_pred, shown_dates, stage_at, wbs_rows)
DB_NAME = "holdout23_schedule.db"
META_NAME = "holdout23_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE Projects (
    ProjectId INTEGER PRIMARY KEY, ProjectCode TEXT NOT NULL UNIQUE, ProjectTitle TEXT NOT NULL,
    HospitalZone TEXT NOT NULL, ProjectLead TEXT NOT NULL, PrincipalContractor TEXT NOT NULL,
    BudgetGbp REAL NOT NULL, ForecastOutturnGbp REAL NOT NULL, StartDate TEXT NOT NULL,
    ContractCompletion TEXT NOT NULL, ForecastCompletion TEXT NOT NULL, ActualCompletion TEXT,
    DataDate TEXT NOT NULL, StageName TEXT NOT NULL, HealthCode INTEGER NOT NULL
);
CREATE TABLE WbsElements (
    WbsElementId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES Projects(ProjectId),
    ParentWbsElementId INTEGER REFERENCES WbsElements(WbsElementId), WbsCode TEXT NOT NULL,
    WbsTitle TEXT NOT NULL, WbsLevel INTEGER NOT NULL
);
CREATE TABLE WorkCalendars (
    CalendarId INTEGER PRIMARY KEY, CalendarCode TEXT NOT NULL UNIQUE, CalendarTitle TEXT NOT NULL,
    WorkingWeek TEXT NOT NULL, HoursPerDay REAL NOT NULL, Notes TEXT
);
CREATE TABLE CalendarExceptions (
    ExceptionId INTEGER PRIMARY KEY, CalendarId INTEGER NOT NULL REFERENCES WorkCalendars(CalendarId),
    ExceptionDate TEXT NOT NULL, ExceptionKind TEXT NOT NULL, Reason TEXT NOT NULL
);
CREATE TABLE Activities (
    ActivityId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES Projects(ProjectId),
    WbsElementId INTEGER NOT NULL REFERENCES WbsElements(WbsElementId),
    CalendarId INTEGER NOT NULL REFERENCES WorkCalendars(CalendarId), TaskRef TEXT NOT NULL UNIQUE,
    TaskTitle TEXT NOT NULL, TaskKind TEXT NOT NULL, Location TEXT, OriginalDurationDays REAL NOT NULL,
    RemainingDurationDays REAL NOT NULL, BaselineStart TEXT, BaselineFinish TEXT, PlannedStart TEXT NOT NULL,
    PlannedFinish TEXT NOT NULL, LateStart TEXT, LateFinish TEXT, ActualStart TEXT, ActualFinish TEXT,
    TotalFloatDays REAL, FreeFloatDays REAL, OnCriticalPath INTEGER NOT NULL, ProgressPct REAL NOT NULL,
    StatusCode INTEGER NOT NULL
);
CREATE TABLE ActivityLinks (
    LinkId INTEGER PRIMARY KEY, PredecessorId INTEGER NOT NULL REFERENCES Activities(ActivityId),
    SuccessorId INTEGER NOT NULL REFERENCES Activities(ActivityId), LinkType TEXT NOT NULL,
    LagDays REAL NOT NULL
);
CREATE TABLE Baselines (
    BaselineId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES Projects(ProjectId),
    BaselineNo INTEGER NOT NULL, BaselineTitle TEXT NOT NULL, ApprovedOn TEXT NOT NULL, ApprovedBy TEXT NOT NULL,
    IsCurrent INTEGER NOT NULL
);
CREATE TABLE BaselineActivities (
    BaselineActivityId INTEGER PRIMARY KEY, BaselineId INTEGER NOT NULL REFERENCES Baselines(BaselineId),
    ActivityId INTEGER NOT NULL REFERENCES Activities(ActivityId), BaselineStart TEXT NOT NULL,
    BaselineFinish TEXT NOT NULL, BaselineDurationDays REAL NOT NULL, BaselineFloatDays REAL
);
CREATE TABLE Resources (
    ResourceId INTEGER PRIMARY KEY, ResourceCode TEXT NOT NULL UNIQUE, ResourceTitle TEXT NOT NULL,
    ResourceCategory TEXT NOT NULL, TradeName TEXT NOT NULL, CompanyName TEXT NOT NULL, Headcount INTEGER NOT NULL,
    DailyRateGbp REAL NOT NULL, Supervisor TEXT NOT NULL
);
CREATE TABLE ResourceAssignments (
    AssignmentId INTEGER PRIMARY KEY, ActivityId INTEGER NOT NULL REFERENCES Activities(ActivityId),
    ResourceId INTEGER NOT NULL REFERENCES Resources(ResourceId), PlannedHours REAL NOT NULL,
    ActualHours REAL NOT NULL, RemainingHours REAL NOT NULL, PlannedCostGbp REAL NOT NULL,
    ActualCostGbp REAL NOT NULL
);
CREATE TABLE DecantMoves (
    DecantMoveId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES Projects(ProjectId),
    ActivityId INTEGER NOT NULL REFERENCES Activities(ActivityId), MoveRef TEXT NOT NULL UNIQUE,
    ServiceName TEXT NOT NULL, MovingFrom TEXT NOT NULL, MovingTo TEXT NOT NULL, PlannedMoveDate TEXT NOT NULL,
    RevisedMoveDate TEXT NOT NULL, ActualMoveDate TEXT, BedsAffected INTEGER NOT NULL,
    SessionsLost INTEGER NOT NULL, ClinicalLead TEXT NOT NULL, MoveStatus TEXT NOT NULL
);
CREATE TABLE InfectionControlPermits (
    PermitId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES Projects(ProjectId),
    ActivityId INTEGER NOT NULL REFERENCES Activities(ActivityId), PermitNo TEXT NOT NULL UNIQUE,
    PrecautionClass INTEGER NOT NULL, WorkZone TEXT NOT NULL, ValidFrom TEXT NOT NULL, ValidTo TEXT NOT NULL,
    PermitState INTEGER NOT NULL, RequestedBy TEXT NOT NULL, SignedOffBy TEXT, AirSampleBreaches INTEGER,
    Conditions TEXT
);
CREATE TABLE RoomHandovers (
    RoomHandoverId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES Projects(ProjectId),
    ActivityId INTEGER NOT NULL REFERENCES Activities(ActivityId), RoomCode TEXT NOT NULL UNIQUE,
    RoomTitle TEXT NOT NULL, ServiceName TEXT NOT NULL, FloorLevel TEXT NOT NULL, RoomType TEXT NOT NULL,
    AreaSqm REAL NOT NULL, PlannedHandover TEXT NOT NULL, ForecastHandover TEXT NOT NULL, ActualHandover TEXT,
    HandoverStage TEXT NOT NULL, OpenSnags INTEGER NOT NULL
);
CREATE TABLE MedicalEquipment (
    EquipmentItemId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES Projects(ProjectId),
    ActivityId INTEGER NOT NULL REFERENCES Activities(ActivityId),
    RoomHandoverId INTEGER REFERENCES RoomHandovers(RoomHandoverId), AssetTag TEXT NOT NULL UNIQUE,
    ItemTitle TEXT NOT NULL, Manufacturer TEXT NOT NULL, EquipmentGroup INTEGER NOT NULL, Quantity INTEGER NOT NULL,
    UnitCostGbp REAL NOT NULL, DueOnSite TEXT NOT NULL, DeliveredOn TEXT, InstalledOn TEXT, CommissionedOn TEXT,
    AcceptanceCode INTEGER NOT NULL
);
CREATE TABLE Risks (
    RiskId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES Projects(ProjectId),
    ActivityId INTEGER REFERENCES Activities(ActivityId), RiskRef TEXT NOT NULL UNIQUE, RiskTitle TEXT NOT NULL,
    RiskCategory TEXT NOT NULL, Likelihood INTEGER NOT NULL, Consequence INTEGER NOT NULL, RiskScore INTEGER NOT NULL,
    CostExposureGbp REAL NOT NULL, DelayExposureDays REAL NOT NULL, RiskOwner TEXT NOT NULL, Response TEXT NOT NULL,
    RiskState TEXT NOT NULL, RaisedOn TEXT NOT NULL, NextReview TEXT NOT NULL
);
CREATE TABLE ChangeRequests (
    ChangeRequestId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES Projects(ProjectId),
    ChangeRef TEXT NOT NULL UNIQUE, ChangeTitle TEXT NOT NULL, ChangeType TEXT NOT NULL, RaisedBy TEXT NOT NULL,
    CostImpactGbp REAL NOT NULL, TimeImpactDays REAL NOT NULL, Decision TEXT NOT NULL, RaisedOn TEXT NOT NULL,
    DecidedOn TEXT
);
"""

# ---------------------------------------------------------------------------------------------- calendars

BANK_HOLIDAYS = {
    "2023-05-29": "Spring bank holiday", "2023-08-28": "Summer bank holiday", "2023-12-25": "Christmas Day",
    "2023-12-26": "Boxing Day", "2024-01-01": "New Year's Day", "2024-03-29": "Good Friday",
    "2024-04-01": "Easter Monday", "2024-05-06": "Early May bank holiday", "2024-05-27": "Spring bank holiday",
    "2024-08-26": "Summer bank holiday", "2024-12-25": "Christmas Day", "2024-12-26": "Boxing Day",
    "2025-01-01": "New Year's Day", "2025-04-18": "Good Friday", "2025-04-21": "Easter Monday",
    "2025-05-05": "Early May bank holiday", "2025-05-26": "Spring bank holiday", "2025-08-25": "Summer bank holiday",
    "2025-12-25": "Christmas Day", "2025-12-26": "Boxing Day",
    "2026-01-01": "New Year's Day", "2026-04-03": "Good Friday", "2026-04-06": "Easter Monday",
    "2026-05-04": "Early May bank holiday", "2026-05-25": "Spring bank holiday", "2026-08-31": "Summer bank holiday",
    "2026-12-25": "Christmas Day", "2026-12-28": "Boxing Day (substitute)",
    "2027-01-01": "New Year's Day", "2027-03-26": "Good Friday", "2027-03-29": "Easter Monday",
    "2027-05-03": "Early May bank holiday",
}
CAL_FROM, CAL_TO = dt.date(2023, 5, 1), dt.date(2027, 6, 30)
SHUTDOWN = (_span("2023-12-22", "2024-01-01") + _span("2024-12-23", "2025-01-01") + _span("2025-12-22", "2026-01-01")
            + _span("2026-12-21", "2027-01-01"))
# no weekend shutdowns of live hospital services over winter pressures or the Easter weekends
WINTER = (_span("2023-12-01", "2024-01-31") + _span("2024-12-01", "2025-01-31") + _span("2025-12-01", "2026-01-31")
          + _span("2026-12-01", "2027-01-31"))
EASTER = _span("2024-03-29", "2024-04-01") + _span("2025-04-18", "2025-04-21") + _span("2026-04-03", "2026-04-06")
EMBARGO_DAYS = {"2025-06-14": "Trust major incident exercise - no service shutdowns",
                "2025-06-15": "Trust major incident exercise - no service shutdowns",
                "2025-10-25": "Resident doctors' industrial action - no service shutdowns",
                "2025-10-26": "Resident doctors' industrial action - no service shutdowns"}

CALENDARS = [
    # id, code, name, work days (0 = Mon), week, hours a day, notes, kind
    (1, "OFFICE", "Office Mon-Fri 09:00-17:00", {0, 1, 2, 3, 4}, "Mon-Fri", 7.5,
     "Design, business cases, approvals and procurement; bank holidays and the Christmas closure", "office"),
    (2, "SITE-WKDY", "Site weekdays Mon-Fri 08:00-18:00", {0, 1, 2, 3, 4}, "Mon-Fri", 10.0,
     "Construction and fit-out; bank holidays and the Christmas shutdown", "site"),
    (3, "SITE-6DAY", "Site Mon-Sat 07:30-17:30", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 10.0,
     "Car park frame and external works; Saturdays worked; bank holidays and the Christmas shutdown", "site"),
    (4, "WKND-SHUT", "Weekend services shutdowns Sat-Sun 06:00-20:00", {5, 6}, "Sat-Sun", 14.0,
     "Isolations and tie-ins of live hospital services (medical gases, ventilation, HV, water) at weekends "
     "only; none over winter pressures (December-January), Easter weekends or embargoed weekends", "weekend"),
    (5, "COMM-24-7", "Commissioning 24/7", set(range(7)), "Mon-Sun", 24.0,
     "Round-the-clock commissioning, validation, soak and load tests and deep cleans; no exceptions", "round"),
    (6, "ELAPSED", "Calendar days (elapsed)", set(range(7)), "Mon-Sun", 24.0,
     "Manufacture, shipping and supplier lead times", "round"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.off = {}
        if kind == "round":
            return
        for iso_d, name in BANK_HOLIDAYS.items():
            self.off[dt.date.fromisoformat(iso_d)] = ("Bank Holiday", name)
        if kind in ("office", "site"):
            for d in SHUTDOWN:
                self.off.setdefault(d, ("Christmas Shutdown", "Christmas and New Year site shutdown"))
        if kind == "weekend":
            for d in WINTER:
                self.off.setdefault(d, ("Winter Pressures", "Winter pressures embargo - no service shutdowns"))
            for d in EASTER:
                self.off.setdefault(d, ("Easter Embargo", "Easter weekend - no service shutdowns"))
            for iso_d, why in EMBARGO_DAYS.items():
                self.off.setdefault(dt.date.fromisoformat(iso_d), ("Clinical Embargo", why))


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, WKDY, SIX, WKND, C247, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

TRUST = "Harrowfield Teaching Hospitals NHS Trust"
DIRECTOR = "Margaret Osei"          # Director of Estates and Facilities
PLANNER = "Declan Fairweather"
IPC_LEAD = "Dr Rachel Anand"        # infection prevention and control lead
IPC_TEAM = ["Dr Rachel Anand", "Sister Joanne Kelly", "Tariq Mahmood"]

PROJECTS = [
    # key, code, title, zone, lead, contractor, start, margin (working days), budget GBP m, cost factor,
    # re-baseline (date, title)
    ("NAB", "HGH-C101", "New Acute Services Block", "North Campus", "Simon Harcourt", "Kestrel Healthcare Construction",
     dt.date(2024, 1, 8), 0, 96.0, 1.09, (dt.date(2025, 3, 3), "BL1 Re-plan after steel fabricator administration")),
    ("THR", "HGH-C102", "Main Theatres Refurbishment", "Main Hospital", "Priya Lakhani", "Mediscape Interiors",
     dt.date(2024, 9, 2), 10, 14.5, 1.11, None),
    ("ENC", "HGH-C103", "Energy Centre and Heat Network", "Service Yard", "Owain Jenkins", "Thermalink Energy",
     dt.date(2024, 7, 1), 15, 18.2, 1.02, None),
    ("CPK", "HGH-C104", "Multi-Storey Car Park", "South Campus", "Owain Jenkins", "Stackwell Precast",
     dt.date(2023, 9, 4), 15, 11.8, 0.98, None),
    ("PTH", "HGH-C105", "Pathology Laboratory Fit-Out", "Main Hospital", "Priya Lakhani", "Labform Fit-Out",
     dt.date(2025, 1, 6), 20, 7.6, 1.03, None),
    ("MEQ", "HGH-C106", "Medical Equipment Installation and Commissioning", "North Campus", "Helen Brookes",
     "Trust Medical Physics and Equipment Suppliers", dt.date(2025, 4, 7), 0, 22.4, 1.07,
     (dt.date(2025, 7, 7), "BL1 Re-plan after MRI scanner shipment put back")),
]
PROJ = {p[0]: p for p in PROJECTS}

RESOURCES = [
    # code, title, category, trade, company, headcount, day rate GBP, supervisor
    ("DES-TEAM", "Design team (architects and engineers)", "Consultant", "Design", "Halden Rowe Architects", 6,
     620.0, "Felicity Marsh"),
    ("GW-GANG", "Groundworks gang", "Trade", "Groundworks", "Kestrel Healthcare Construction", 8, 300.0,
     "Barry Dunmore"),
    ("PILE-RIG", "CFA piling rig and crew", "Equipment", "Piling", "Deepcore Piling", 4, 2900.0, "Barry Dunmore"),
    ("STEEL-ERECT", "Steel erectors", "Subcontractor", "Structural steel", "Northgate Steelwork", 8, 360.0,
     "Kieran Walsh"),
    ("TOWER-CRANE", "Tower crane TC1", "Equipment", "Lifting", "Kestrel Healthcare Construction", 1, 1300.0,
     "Kieran Walsh"),
    ("CLAD-GANG", "Cladding and curtain walling installers", "Subcontractor", "Envelope", "Facade Systems UK", 8,
     340.0, "Kieran Walsh"),
    ("MECH-FITTERS", "Mechanical fitters", "Trade", "Mechanical", "Brightwater M&E", 12, 345.0, "Colin Redfern"),
    ("ELEC-TEAM", "Electricians", "Trade", "Electrical", "Brightwater M&E", 12, 335.0, "Colin Redfern"),
    ("MEDGAS", "Medical gas pipeline engineers", "Subcontractor", "Medical gases", "Oxyline Medical Gases", 3, 520.0,
     "Sunil Parekh"),
    ("DRYLINE", "Drylining and ceilings gang", "Trade", "Fit-out", "Kestrel Healthcare Construction", 10, 290.0,
     "Nadia Kowalczyk"),
    ("FLOOR-GANG", "Safety flooring and finishes gang", "Trade", "Fit-out", "Kestrel Healthcare Construction", 6,
     285.0, "Nadia Kowalczyk"),
    ("THR-FIT", "Theatre fit-out team", "Subcontractor", "Fit-out", "Mediscape Interiors", 8, 330.0, "Gareth Pugh"),
    ("UCV-INST", "Ultra-clean ventilation installers", "Subcontractor", "Ventilation", "Cleanflow Air Systems", 4,
     480.0, "Gareth Pugh"),
    ("VAL-ENG", "Ventilation validation engineers", "Subcontractor", "Validation", "AirCert Validation", 2, 650.0,
     "Gareth Pugh"),
    ("ENERGY-FIT", "Energy plant fitters", "Subcontractor", "Mechanical", "Thermalink Energy", 8, 370.0,
     "Ross Abernethy"),
    ("HV-ENG", "HV jointers and authorised persons", "Subcontractor", "Electrical", "Thermalink Energy", 3, 560.0,
     "Ross Abernethy"),
    ("PRECAST", "Precast erection gang", "Subcontractor", "Structural", "Stackwell Precast", 7, 340.0, "Lee Carver"),
    ("MOBILE-CRANE", "Mobile crane 100t", "Equipment", "Lifting", "Carver Crane Hire", 1, 1750.0, "Lee Carver"),
    ("LAB-FIT", "Laboratory furniture and services installers", "Subcontractor", "Fit-out", "Labform Fit-Out", 6,
     310.0, "Imogen Tate"),
    ("IMG-INST", "Imaging equipment installers", "Installer", "Imaging", "Siemtek Healthcare", 4, 780.0,
     "Jonas Berg"),
    ("MED-PHYS", "Medical physics team", "Installer", "Medical physics", TRUST, 3, 420.0, "Dr Aidan Cole"),
    ("EQUIP-INST", "Medical equipment installers", "Installer", "Equipment", "Caremount Systems", 6, 360.0,
     "Jonas Berg"),
    ("CLEAN-TEAM", "Infection control deep clean team", "Trade", "Cleaning", "Sterisafe Cleaning", 6, 240.0,
     "Sister Joanne Kelly"),
]
KIND_RSRC = {
    "DES": ["DES-TEAM"], "GW": ["GW-GANG"], "PIL": ["PILE-RIG", "GW-GANG"], "STL": ["STEEL-ERECT", "TOWER-CRANE"],
    "CON": ["GW-GANG", "TOWER-CRANE"], "ENV": ["CLAD-GANG"], "MEP": ["MECH-FITTERS", "ELEC-TEAM"],
    "GAS": ["MEDGAS"], "FIT": ["DRYLINE", "FLOOR-GANG"], "THF": ["THR-FIT"], "UCV": ["UCV-INST", "MECH-FITTERS"],
    "VAL": ["VAL-ENG"], "SHT": ["MECH-FITTERS", "ELEC-TEAM", "MEDGAS"], "CLN": ["CLEAN-TEAM"],
    "EPL": ["ENERGY-FIT"], "HV": ["HV-ENG", "ELEC-TEAM"], "COM": ["MECH-FITTERS", "ELEC-TEAM"],
    "PCF": ["PRECAST", "MOBILE-CRANE"], "LAB": ["LAB-FIT"], "IMG": ["IMG-INST", "MED-PHYS"],
    "EQP": ["EQUIP-INST"], "PHY": ["MED-PHYS"], "STR": ["DRYLINE"],
}

# slips (working days added to the duration) and the activities added with the re-plan
SLIPS = {"NAB.stl": 85, "NAB.frm": 12, "NAB.env": 9, "NAB.mep1": 6, "NAB.fit2": 5,
         "THR.ucv1": 6, "THR.val2": 4, "THR.ucv3": 10, "THR.str3": 3, "THR.fin3": 4, "THR.str4": 6, "THR.ucv4": 12,
         "ENC.plt": 20, "ENC.pip": 6, "CPK.pcf2": 4, "PTH.str": 4, "PTH.lab": 6,
         "MEQ.mri": 70, "MEQ.ctp": 5}
AFTER_REPLAN = {"NAB.fit3": 10, "NAB.com": 6, "MEQ.mrii": 8, "MEQ.itui": 4, "MEQ.trn": 5}

FLOORS = [(0, "Ground floor", "Emergency Care"), (1, "Level 1", "Imaging"),
          (2, "Level 2", "Critical Care"), (3, "Level 3", "Inpatient Wards")]
THR_PHASES = [(1, "Theatres 1-2"), (2, "Theatres 3-4"), (3, "Theatres 5-6"), (4, "Theatres 7-8")]
CP_DECKS = [(1, "Deck 1"), (2, "Deck 2"), (3, "Deck 3"), (4, "Deck 4 (roof)")]


class Plan:
    def __init__(self, proj):
        self.proj = proj
        self.tasks = []
        self.wbs = [("ROOT", None, None), ("DES", "ROOT", "Design, business case and approvals"),
                    ("PRC", "ROOT", "Procurement and manufacture"), ("CON", "ROOT", "Construction and fit-out"),
                    ("TST", "ROOT", "Commissioning and handover")]

    def add(self, key, name, dur, wbs, preds=(), cal=OFF, kind=None, ms=None, area=None, new=False):
        full = f"{self.proj}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs,
                               preds=[p[1:] if p.startswith("@") else f"{self.proj}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, area=area, new=new, prj=self.proj,
                               slip=SLIPS.get(full, 0)))
        return key


def plan_nab(p):
    p.add("ntp", "Contract award - new acute services block", 0, "DES", ms="S")
    p.add("des", "RIBA Stage 4 technical design and room data sheets", 120, "DES", ["ntp"], kind="DES")
    p.add("fbc", "Full business case approval (NHS England)", 40, "DES", ["des:SS40"])
    p.add("stl", "Steel frame fabrication", 120, "PRC", ["des:SS45"], cal=ELP)
    p.add("stx", "Re-tender steel package to second fabricator", 30, "PRC", ["des"], new=True)
    p.add("enb", "Enabling works, diversions and site clearance", 40, "CON", ["fbc"], cal=WKDY, kind="GW",
          area="North Campus plot")
    p.add("pil", "Piling, pile caps and ground beams", 60, "CON", ["enb"], cal=WKDY, kind="PIL",
          area="North Campus plot")
    p.add("frm", "Erect steel frame and metal decks", 90, "CON", ["pil", "stl", "stx"], cal=WKDY, kind="STL",
          area="Whole building")
    p.add("slb", "Composite floor slabs levels 1-3 and roof", 50, "CON", ["frm:SS25"], cal=WKDY, kind="CON",
          area="Whole building")
    p.add("env", "Curtain walling, rainscreen cladding and windows", 120, "CON", ["frm:SS35"], cal=WKDY, kind="ENV",
          area="Building envelope")
    p.add("rof", "Roof finishes and rooftop plant deck", 40, "CON", ["slb"], cal=WKDY, kind="ENV", area="Roof")
    p.add("wtt", "Building watertight", 0, "CON", ["env", "rof"], cal=WKDY, ms="F")
    p.add("rsr", "MEP risers, plantrooms and primary distribution", 80, "CON", ["slb"], cal=WKDY, kind="MEP",
          area="Plantrooms and risers")
    prev = None
    for i, lvl, dept in FLOORS:
        w = f"L{i}"
        p.wbs.append((w, "CON", f"{lvl} - {dept}"))
        area = f"{lvl} {dept}"
        p.add(f"mep{i}", f"MEP first and second fix {lvl} - {dept}", 80, w,
              ["rsr:SS20"] + ([f"mep{prev}:SS40"] if prev is not None else []), cal=WKDY, kind="MEP", area=area)
        p.add(f"gas{i}", f"Medical gas pipework, testing and certification {lvl}", 20, w, [f"mep{i}:FF5"],
              cal=WKDY, kind="GAS", area=area)
        p.add(f"fit{i}", f"Drylining walls, ceilings, flooring and finishes {lvl} - {dept}", 90, w,
              [f"mep{i}:SS30", "wtt"] + ([f"fit{prev}:SS30"] if prev is not None else []), cal=WKDY, kind="FIT",
              area=area)
        p.add(f"snag{i}", f"Snagging and room handover {lvl} - {dept}", 15, w, [f"fit{i}", f"gas{i}"], cal=WKDY,
              kind="FIT", area=area)
        prev = i
    p.add("com", "MEP commissioning and witnessing (24/7)", 30, "TST", [f"snag{i}" for i, _, _ in FLOORS],
          cal=C247, kind="COM", area="Whole building")
    p.add("pc", "Practical completion - handover to the Trust", 0, "TST", ["com"], cal=WKDY, ms="F")


def plan_thr(p):
    p.add("ntp", "Contract award - main theatres refurbishment", 0, "DES", ms="S")
    p.add("des", "Theatre design, HBN 26 compliance and derogations", 60, "DES", ["ntp"], kind="DES")
    p.add("ipc", "Infection control risk assessment and method statements", 15, "DES", ["des:SS20"])
    p.add("mod", "Modular temporary theatres hire and installation", 40, "PRC", ["des:SS10"], cal=ELP)
    p.add("ahu", "UCV canopies and theatre AHUs manufacture", 80, "PRC", ["des"], cal=ELP)
    prev = None
    for i, th in THR_PHASES:
        w = f"P{i}"
        p.wbs.append((w, "CON", f"Phase {i} - {th}"))
        area = f"Main theatres {th}"
        p.add(f"dec{i}", f"Decant {th} to temporary theatres", 1, w,
              ["ipc", "mod"] + ([f"ret{prev}"] if prev else []), cal=WKND, kind="CLN", area=area)
        p.add(f"hor{i}", f"Hoarding and negative pressure enclosure {th}", 5, w, [f"dec{i}"], cal=WKDY, kind="THF",
              area=area)
        p.add(f"str{i}", f"Strip out {th}", 20, w, [f"hor{i}"], cal=WKDY, kind="STR", area=area)
        p.add(f"ucv{i}", f"Install UCV canopies and theatre ventilation {th}", 30, w, [f"str{i}", "ahu"], cal=WKDY,
              kind="UCV", area=area)
        p.add(f"sht{i}", f"Weekend services shutdown and tie-in {th}", 2, w, [f"str{i}"], cal=WKND, kind="SHT",
              area=area)
        p.add(f"fin{i}", f"Theatre fit-out, wall panels and flooring {th}", 30, w, [f"ucv{i}:SS10", f"sht{i}"],
              cal=WKDY, kind="THF", area=area)
        p.add(f"val{i}", f"Ventilation validation (HTM 03-01) {th}", 5, w, [f"ucv{i}", f"fin{i}"], cal=C247,
              kind="VAL", area=area)
        p.add(f"cln{i}", f"Deep clean and infection control sign-off {th}", 2, w, [f"val{i}"], cal=C247, kind="CLN",
              area=area)
        p.add(f"ret{i}", f"{th} returned to clinical use", 0, w, [f"cln{i}"], cal=C247, ms="F")
        prev = i
    p.add("dem", "Remove modular temporary theatres", 10, "TST", ["ret4"], cal=WKDY, kind="GW",
          area="Theatres car park")
    p.add("pc", "Theatres refurbishment complete", 0, "TST", ["dem"], cal=WKDY, ms="F")


def plan_enc(p):
    p.add("ntp", "Contract award - energy centre", 0, "DES", ms="S")
    p.add("des", "Energy centre design and heat network routing", 60, "DES", ["ntp"], kind="DES")
    p.add("plt", "Boilers, CHP engine and air source heat pumps manufacture", 300, "PRC", ["des"], cal=ELP)
    p.add("gen", "Standby generators manufacture", 240, "PRC", ["des"], cal=ELP)
    p.add("civ", "Energy centre building frame and envelope", 120, "CON", ["des"], cal=WKDY, kind="CON",
          area="Service yard")
    p.add("pip", "Buried heat network pipework to the new block", 80, "CON", ["des:FS10"], cal=WKDY, kind="GW",
          area="Heat network route")
    p.add("ins", "Install boilers, CHP and heat pumps", 60, "CON", ["civ", "plt"], cal=WKDY, kind="EPL",
          area="Energy centre plant hall")
    p.add("hvs", "HV switchgear and standby generators installation", 30, "CON", ["civ", "gen"], cal=WKDY,
          kind="HV", area="Energy centre HV room")
    p.add("chg", "Weekend HV changeover to new switchboard", 2, "CON", ["hvs"], cal=WKND, kind="HV",
          area="Main hospital HV intake")
    p.add("cnx", "Weekend heating and hot water changeover", 2, "CON", ["ins", "pip"], cal=WKND, kind="EPL",
          area="Main hospital plantroom")
    p.add("com", "Plant commissioning and load bank tests (24/7)", 14, "TST", ["cnx", "chg"], cal=C247,
          kind="COM", area="Energy centre")
    p.add("soak", "Seasonal soak test (24/7)", 28, "TST", ["com"], cal=C247, kind="COM", area="Energy centre")
    p.add("pc", "Energy centre handed over", 0, "TST", ["soak"], cal=WKDY, ms="F")


def plan_cpk(p):
    p.add("ntp", "Contract award - multi-storey car park", 0, "DES", ms="S")
    p.add("des", "Car park design and planning conditions", 35, "DES", ["ntp"], kind="DES")
    p.add("pcu", "Precast frame units manufacture", 60, "PRC", ["des"], cal=ELP)
    p.add("pil", "Piling and pile caps", 30, "CON", ["des"], cal=SIX, kind="PIL", area="South Campus")
    prev = None
    for i, deck in CP_DECKS:
        w = f"D{i}"
        p.wbs.append((w, "CON", deck))
        p.add(f"pcf{i}", f"Erect precast frame {deck}", 15, w, ["pil", "pcu"] + ([f"pcf{prev}"] if prev else []),
              cal=SIX, kind="PCF", area=f"MSCP {deck}")
        p.add(f"top{i}", f"Deck waterproofing, lining and lighting {deck}", 12, w, [f"pcf{i}:FS7"], cal=SIX,
              kind="MEP", area=f"MSCP {deck}")
        prev = i
    p.add("ext", "External works, barriers and pay stations", 25, "CON", ["top4"], cal=SIX, kind="GW",
          area="South Campus")
    p.add("pc", "Car park opened to staff and visitors", 0, "TST", ["ext", "top1", "top2", "top3"], cal=SIX,
          ms="F")


def plan_pth(p):
    p.add("ntp", "Contract award - pathology laboratory fit-out", 0, "DES", ms="S")
    p.add("des", "Laboratory layout, containment level 2 and 3 design", 50, "DES", ["ntp"], kind="DES")
    p.add("ukd", "UKAS change notification and lab equipment tender", 40, "DES", ["des"])
    p.add("dec", "Decant blood sciences to temporary laboratory", 1, "CON", ["des"], cal=WKND, kind="CLN",
          area="Pathology level 2")
    p.add("str", "Strip out existing laboratories", 25, "CON", ["dec"], cal=WKDY, kind="STR",
          area="Pathology level 2")
    p.add("mep", "Laboratory MEP, fume cupboards and CL3 ventilation", 60, "CON", ["str"], cal=WKDY, kind="MEP",
          area="Pathology level 2")
    p.add("sht", "Weekend shutdown and tie-in of lab services", 2, "CON", ["mep"], cal=WKND, kind="SHT",
          area="Pathology level 2")
    p.add("lab", "Laboratory benching, furniture and finishes", 50, "CON", ["mep:SS15", "sht"], cal=WKDY,
          kind="LAB", area="Pathology level 2")
    p.add("anl", "Install analysers and track automation", 20, "CON", ["lab", "ukd"], cal=WKDY, kind="EQP",
          area="Blood sciences")
    p.add("cl3", "CL3 suite validation (24/7)", 5, "TST", ["lab"], cal=C247, kind="VAL", area="CL3 suite")
    p.add("vlv", "Analyser verification and UKAS validation", 30, "TST", ["anl"], cal=WKDY, kind="PHY",
          area="Blood sciences")
    p.add("mov", "Blood sciences move into new laboratory", 1, "TST", ["vlv", "cl3"], cal=WKND, kind="CLN",
          area="Pathology level 2")
    p.add("pc", "Pathology laboratory live", 0, "TST", ["mov"], cal=WKDY, ms="F")


def plan_meq(p):
    p.add("ntp", "Equipment programme start", 0, "DES", ms="S")
    p.add("tdr", "Group 1 and 2 equipment tenders and orders", 40, "DES", ["ntp"])
    p.add("ctp", "CT scanners manufacture and shipping", 90, "PRC", ["tdr"], cal=ELP)
    p.add("mri", "MRI scanner manufacture and shipping", 120, "PRC", ["tdr"], cal=ELP)
    p.add("itp", "Critical care beds and monitors manufacture", 70, "PRC", ["tdr"], cal=ELP)
    p.add("pnp", "Theatre pendants and surgical lights manufacture", 60, "PRC", ["tdr"], cal=ELP)
    p.add("edp", "Emergency care equipment delivery", 60, "PRC", ["tdr"], cal=ELP)
    p.add("rdy", "Re-order MRI magnet and quench pipe", 20, "PRC", ["tdr"], new=True)
    w = "IMG"
    p.wbs.append((w, "CON", "Imaging equipment (Level 1)"))
    p.add("cti", "Install CT scanners 1 and 2", 15, w, ["ctp", "@NAB.snag1"], cal=WKDY, kind="IMG",
          area="Level 1 Imaging")
    p.add("mrii", "Install MRI scanner, RF cage and quench pipe", 20, w, ["mri", "rdy", "@NAB.snag1"], cal=WKDY,
          kind="IMG", area="Level 1 Imaging")
    p.add("imc", "Imaging acceptance testing and radiation protection survey (24/7)", 7, w, ["cti", "mrii"],
          cal=C247, kind="PHY", area="Level 1 Imaging")
    w = "ICU"
    p.wbs.append((w, "CON", "Critical care and ED equipment (Ground floor and Level 2)"))
    p.add("edi", "Install emergency care equipment", 10, w, ["edp", "@NAB.snag0"], cal=WKDY, kind="EQP",
          area="Ground floor Emergency Care")
    p.add("itui", "Install critical care beds, monitors and pendants", 15, w, ["itp", "@NAB.snag2"], cal=WKDY,
          kind="EQP", area="Level 2 Critical Care")
    p.add("itc", "Critical care equipment commissioning (24/7)", 5, w, ["itui", "edi"], cal=C247, kind="PHY",
          area="Level 2 Critical Care")
    w = "THE"
    p.wbs.append((w, "CON", "Theatre equipment (main theatres)"))
    p.add("pni", "Install pendants and surgical lights Theatres 1-4", 12, w, ["pnp", "@THR.fin2"], cal=WKDY,
          kind="EQP", area="Main theatres Theatres 1-4")
    p.add("pnj", "Install pendants and surgical lights Theatres 5-8", 12, w, ["pni", "@THR.fin4"], cal=WKDY,
          kind="EQP", area="Main theatres Theatres 5-8")
    p.add("trn", "User training and clinical acceptance", 15, "TST", ["imc", "itc", "pnj"], cal=WKDY, kind="PHY",
          area="Trust-wide")
    p.add("pc", "All medical equipment accepted into clinical use", 0, "TST", ["trn"], cal=WKDY, ms="F")


PLANS = {"NAB": plan_nab, "THR": plan_thr, "ENC": plan_enc, "CPK": plan_cpk, "PTH": plan_pth, "MEQ": plan_meq}


def make_plan(pr):
    plan = Plan(pr[0])
    PLANS[pr[0]](plan)
    return plan
FINISH = {k: "pc" for k in PLANS}
SITE_MANAGER = {"NAB": "Nadia Kowalczyk", "THR": "Gareth Pugh", "ENC": "Ross Abernethy", "CPK": "Lee Carver",
                "PTH": "Imogen Tate", "MEQ": "Jonas Berg"}


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its project's contract completion."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "prj")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


RISKS = [
    # project, activity key, title, category, likelihood 1-5, consequence 1-5, cost GBP, delay days, owner,
    # response, state, raised, next review
    ("NAB", "NAB.stl", "Steel fabricator enters administration", "Supply chain", 2, 5, 1200000.0, 85,
     "Simon Harcourt", "Parent company guarantee; second fabricator pre-qualified", "Occurred", "2024-01-22",
     "2025-03-03"),
    ("NAB", "NAB.env", "Curtain walling units fail water test", "Quality", 3, 3, 180000.0, 9, "Simon Harcourt",
     "Mock-up panel tested before production", "Occurred", "2024-11-18", "2025-12-01"),
    ("NAB", "NAB.fit3", "Ward fit-out labour shortage in drylining trade", "Resources", 4, 3, 220000.0, 10,
     "Simon Harcourt", "Second drylining subcontractor on call-off", "Open", "2025-06-02", "2025-11-28"),
    ("NAB", "NAB.com", "Building management system integration with the existing hospital BMS", "Technical", 3, 4,
     150000.0, 6, "Colin Redfern", "Early point-to-point testing; Trust BMS engineer seconded", "Open",
     "2025-03-10", "2025-11-21"),
    ("NAB", None, "Emergency care move clashes with winter pressures", "Clinical", 4, 4, 300000.0, 20,
     DIRECTOR, "No clinical move between 1 December and 31 January", "Open", "2025-05-12", "2025-12-05"),
    ("THR", "THR.ucv3", "UCV canopy fails validation dust count", "Quality", 3, 4, 90000.0, 10, "Priya Lakhani",
     "Factory test of filters; validation engineer on standby", "Occurred", "2025-02-03", "2025-11-17"),
    ("THR", "THR.str1", "Asbestos found behind theatre wall panels", "Health and safety", 3, 4, 120000.0, 8,
     "Priya Lakhani", "R&D asbestos survey of each phase before strip out", "Closed", "2024-09-16", "2025-04-14"),
    ("THR", None, "Surgical activity lost while theatres are decanted", "Clinical", 4, 3, 450000.0, 0, IPC_LEAD,
     "Weekend lists in modular theatres; waiting list validation", "Open", "2024-09-02", "2025-12-01"),
    ("THR", "THR.sht4", "Medical gas shutdown affects adjacent recovery ward", "Clinical", 2, 5, 40000.0, 2,
     IPC_LEAD, "Cylinder back-up and bedside checks during shutdown", "Open", "2025-09-01", "2025-12-08"),
    ("ENC", "ENC.plt", "Heat pump delivery delayed by shipping", "Supply chain", 3, 3, 80000.0, 20, "Owain Jenkins",
     "Temporary boiler hire during the delay", "Occurred", "2024-11-18", "2025-07-28"),
    ("ENC", "ENC.chg", "HV changeover trips hospital supply", "Technical", 1, 5, 500000.0, 5, "Owain Jenkins",
     "Generators on load before switching; authorised person on site", "Open", "2025-07-14", "2025-11-24"),
    ("ENC", None, "Gas price rise makes CHP uneconomic", "Commercial", 3, 2, 60000.0, 0, DIRECTOR,
     "Heat pumps lead; CHP as standby", "Open", "2025-02-17", "2026-01-12"),
    ("CPK", "CPK.pcf2", "High winds stop crane lifts", "Weather", 3, 2, 25000.0, 4, "Owain Jenkins",
     "Lift plan with wind limits", "Occurred", "2024-01-15", "2024-06-03"),
    ("CPK", None, "Loss of car parking income during construction", "Commercial", 4, 2, 140000.0, 0, DIRECTOR,
     "Park and ride from the leisure centre", "Closed", "2023-09-11", "2024-10-07"),
    ("PTH", "PTH.vlv", "UKAS assessment delayed", "Regulatory", 3, 4, 70000.0, 15, "Priya Lakhani",
     "Book assessment slot early; mock assessment", "Open", "2025-04-07", "2025-11-24"),
    ("PTH", "PTH.lab", "Laboratory furniture delivered damaged", "Supply chain", 2, 2, 20000.0, 6, "Imogen Tate",
     "Check at factory before dispatch", "Occurred", "2025-05-19", "2025-10-20"),
    ("PTH", "PTH.mov", "Sample turnaround times breached during the move", "Clinical", 3, 4, 35000.0, 2,
     "Dr Yusuf Karim", "Send urgent samples to the neighbouring trust for the move weekend", "Open", "2025-08-11",
     "2025-12-01"),
    ("MEQ", "MEQ.mri", "MRI scanner shipment put back by the manufacturer", "Supply chain", 3, 5, 350000.0, 70,
     "Helen Brookes", "Re-plan; mobile MRI unit hired", "Occurred", "2025-05-12", "2025-07-07"),
    ("MEQ", "MEQ.mrii", "MRI quench pipe route clashes with new block ductwork", "Technical", 3, 3, 60000.0, 8,
     "Helen Brookes", "Clash detection model review", "Open", "2025-07-21", "2025-11-21"),
    ("MEQ", "MEQ.itui", "Critical care pendant fixings not in the ceiling void", "Technical", 2, 3, 30000.0, 4,
     "Helen Brookes", "Survey of fixings before ceilings close", "Open", "2025-08-18", "2025-11-28"),
    ("MEQ", None, "Clinical staff not released for equipment training", "Clinical", 4, 3, 45000.0, 10,
     "Dr Aidan Cole", "Training rota agreed with ward managers", "Open", "2025-09-08", "2025-12-15"),
]

CHANGES = [
    # project, title, type, raised by, cost GBP, time days, decision, raised, decided
    ("NAB", "Re-tender steel package after fabricator administration (BL1)", "Programme", PLANNER, 640000.0, 85,
     "Approved", "2025-01-20", "2025-03-03"),
    ("NAB", "Add negative pressure isolation rooms on Level 3", "Scope", "Dr Rachel Anand", 410000.0, 12,
     "Approved", "2024-11-11", "2024-12-09"),
    ("NAB", "Upgrade ED resus bays to six from four", "Scope", "Dr Sam Whitlock", 260000.0, 6, "Under Review",
     "2025-10-20", None),
    ("NAB", "Acceleration of ward fit-out with weekend working", "Programme", "Simon Harcourt", 180000.0, -8,
     "Submitted", "2025-11-10", None),
    ("NAB", "Photovoltaic array on roof", "Scope", DIRECTOR, 320000.0, 10, "Withdrawn", "2024-06-03", None),
    ("THR", "Replace theatre 7 lighting with integrated video", "Scope", "Mr Femi Adeyemi", 95000.0, 3, "Approved",
     "2025-03-17", "2025-04-14"),
    ("THR", "Extra validation cycle for Theatres 5-6", "Programme", "Priya Lakhani", 28000.0, 10, "Approved",
     "2025-09-22", "2025-10-06"),
    ("THR", "Hybrid theatre conversion of Theatre 8", "Scope", "Mr Femi Adeyemi", 1800000.0, 60, "Rejected",
     "2024-10-07", "2024-11-11"),
    ("THR", "Additional anaesthetic room storage", "Design", "Sister Joanne Kelly", 18000.0, 1, "Submitted",
     "2025-11-03", None),
    ("ENC", "Third heat pump for future block", "Scope", "Owain Jenkins", 540000.0, 15, "Rejected", "2024-09-09",
     "2024-10-14"),
    ("ENC", "Temporary boiler hire during heat pump delay", "Programme", "Owain Jenkins", 62000.0, 0, "Approved",
     "2024-11-04", "2024-11-18"),
    ("ENC", "Heat meter upgrade to Trust metering standard", "Design", "Ross Abernethy", 21000.0, 2, "Under Review",
     "2025-10-27", None),
    ("CPK", "EV charging on deck 1", "Scope", "Owain Jenkins", 150000.0, 5, "Approved", "2024-02-12", "2024-03-11"),
    ("CPK", "Staff permit readers at barriers", "Scope", "Owain Jenkins", 35000.0, 2, "Approved", "2024-05-20",
     "2024-06-03"),
    ("PTH", "Second CL3 pass-through hatch", "Design", "Dr Yusuf Karim", 24000.0, 2, "Approved", "2025-04-28",
     "2025-05-12"),
    ("PTH", "Track automation extension to microbiology", "Scope", "Dr Yusuf Karim", 380000.0, 20, "Under Review",
     "2025-09-29", None),
    ("MEQ", "Re-plan after MRI shipment put back (BL1)", "Programme", PLANNER, 0.0, 70, "Approved", "2025-06-16",
     "2025-07-07"),
    ("MEQ", "Mobile MRI unit hire", "Commercial", "Helen Brookes", 210000.0, 0, "Approved", "2025-06-09",
     "2025-06-23"),
    ("MEQ", "Add ultrasound machines for ED", "Scope", "Dr Sam Whitlock", 160000.0, 0, "Submitted", "2025-11-07",
     None),
]

EQUIPMENT = [
    # activity key, room code or None, title, manufacturer, group, quantity, unit cost GBP
    ("MEQ.cti", "NAB-L1-03", "CT scanner 128 slice", "Siemtek Healthcare", 1, 1, 780000.0),
    ("MEQ.cti", "NAB-L1-04", "CT scanner 64 slice", "Siemtek Healthcare", 1, 1, 520000.0),
    ("MEQ.mrii", "NAB-L1-05", "MRI scanner 3T", "Siemtek Healthcare", 1, 1, 1650000.0),
    ("MEQ.mrii", "NAB-L1-05", "MRI compatible patient monitor", "Vitacare Monitoring", 2, 2, 38000.0),
    ("MEQ.cti", "NAB-L1-02", "Contrast injector", "Medrad Systems", 2, 2, 24000.0),
    ("MEQ.edi", "NAB-L0-02", "Resuscitation trolley and defibrillator", "Lifepulse Medical", 2, 6, 14500.0),
    ("MEQ.edi", "NAB-L0-02", "Ceiling mounted resus pendant", "Caremount Systems", 1, 4, 29000.0),
    ("MEQ.edi", "NAB-L0-03", "Mobile digital X-ray unit", "Siemtek Healthcare", 2, 1, 110000.0),
    ("MEQ.edi", "NAB-L0-04", "Majors cubicle patient monitor", "Vitacare Monitoring", 2, 18, 7800.0),
    ("MEQ.itui", "NAB-L2-02", "Critical care bed", "Arjen Beds", 2, 16, 21000.0),
    ("MEQ.itui", "NAB-L2-02", "Critical care bed head pendant", "Caremount Systems", 1, 16, 26000.0),
    ("MEQ.itui", "NAB-L2-02", "Ventilator", "Respira Medical", 3, 16, 32000.0),
    ("MEQ.itui", "NAB-L2-03", "Central monitoring station", "Vitacare Monitoring", 2, 1, 64000.0),
    ("MEQ.itui", "NAB-L2-04", "Isolation room bed", "Arjen Beds", 2, 4, 21000.0),
    ("MEQ.pni", "THR-T1", "Anaesthetic and surgical pendants Theatre 1", "Caremount Systems", 1, 2, 48000.0),
    ("MEQ.pni", "THR-T2", "Anaesthetic and surgical pendants Theatre 2", "Caremount Systems", 1, 2, 48000.0),
    ("MEQ.pni", "THR-T3", "Anaesthetic and surgical pendants Theatre 3", "Caremount Systems", 1, 2, 48000.0),
    ("MEQ.pni", "THR-T4", "Anaesthetic and surgical pendants Theatre 4", "Caremount Systems", 1, 2, 48000.0),
    ("MEQ.pni", "THR-T1", "LED surgical light set", "Luxmed Surgical", 1, 1, 36000.0),
    ("MEQ.pni", "THR-T3", "LED surgical light set", "Luxmed Surgical", 1, 1, 36000.0),
    ("MEQ.pnj", "THR-T5", "Anaesthetic and surgical pendants Theatre 5", "Caremount Systems", 1, 2, 48000.0),
    ("MEQ.pnj", "THR-T6", "Anaesthetic and surgical pendants Theatre 6", "Caremount Systems", 1, 2, 48000.0),
    ("MEQ.pnj", "THR-T7", "Integrated theatre video system Theatre 7", "Luxmed Surgical", 1, 1, 92000.0),
    ("MEQ.pnj", "THR-T8", "Anaesthetic and surgical pendants Theatre 8", "Caremount Systems", 1, 2, 48000.0),
    ("PTH.anl", "PTH-BS-01", "Chemistry and immunoassay analyser line", "Clinidex Diagnostics", 3, 2, 240000.0),
    ("PTH.anl", "PTH-BS-01", "Haematology analyser", "Clinidex Diagnostics", 3, 2, 95000.0),
    ("PTH.anl", "PTH-BS-02", "Sample track automation", "Clinidex Diagnostics", 3, 1, 610000.0),
    ("PTH.anl", "PTH-MB-01", "Blood culture incubator", "Bactec Lab Systems", 3, 2, 42000.0),
    ("PTH.cl3", "PTH-CL3-01", "Class I microbiological safety cabinet", "Safeflow Labs", 1, 2, 18000.0),
]

ROOMS = {
    # NAB floor index: (room code suffix, title, type, area)
    0: [("01", "Reception and triage", "Clinical support", 120.0), ("02", "Resuscitation bays", "Clinical", 160.0),
        ("03", "Imaging room (ED X-ray)", "Imaging", 45.0), ("04", "Majors cubicles", "Clinical", 420.0),
        ("05", "Paediatric ED", "Clinical", 180.0)],
    1: [("01", "Imaging reception", "Clinical support", 90.0), ("02", "Patient preparation bays", "Clinical", 80.0),
        ("03", "CT scanner room 1", "Imaging", 48.0), ("04", "CT scanner room 2", "Imaging", 46.0),
        ("05", "MRI suite", "Imaging", 95.0)],
    2: [("01", "Critical care staff base", "Clinical support", 60.0), ("02", "Critical care bays 1-16",
                                                                        "Clinical", 640.0),
        ("03", "Central monitoring room", "Clinical support", 30.0),
        ("04", "Isolation rooms 1-4", "Isolation", 120.0), ("05", "Relatives' room", "Non-clinical", 25.0)],
    3: [("01", "Ward 30 single rooms", "Clinical", 520.0), ("02", "Ward 31 single rooms", "Clinical", 520.0),
        ("03", "Negative pressure isolation rooms", "Isolation", 96.0),
        ("04", "Treatment room", "Clinical", 22.0), ("05", "Dirty utility", "Non-clinical", 14.0)],
}

DECANT_LEADS = {"THR": "Mr Femi Adeyemi", "PTH": "Dr Yusuf Karim", "NAB": "Dr Sam Whitlock"}


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "WorkCalendars", "CalendarExceptions", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    rsrc_ids, rsrc_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO Resources VALUES (?,?,?,?,?,?,?,?,?)", (i,) + r)
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
        pk, code, title, zone, lead, contr, start, _, budget, cost_f, rebase = pr
        proj_ids[pk] = p_idx
        plan = plans[pk]
        akeys = [t["key"] for t in plan.tasks]
        fin = f"{pk}.{FINISH[pk]}"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE

        stage = stage_at(plan.tasks, sb, cdurs, DATA_DATE, done,
                         ("Closed", "Commissioning", "Construction", "Procurement"),
                         lambda t: t["wbs"] == "TST", lambda t: t["cal"] not in (OFF, ELP))
        slack = CALS[OFF].wd(fb[fin], anchors[pk])
        health = 1 if done else (3 if fin_shown > tgt[pk] or slack < 0 else (2 if slack <= 10 else 1))
        bud = budget * 1e6
        con.execute("INSERT INTO Projects VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, code, title, zone, lead, contr, bud, round(bud * cost_f, -4), iso(start), iso(tgt[pk]),
                     iso(fin_shown), iso(fin_shown) if done else None, iso(DATA_DATE), stage, health))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, f"{code} {title}"):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO WbsElements VALUES (?,?,?,?,?,?)",
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
            typ = {"task": "Task", "start": "Start Milestone", "finish": "Finish Milestone"}[a.kind]
            con.execute("INSERT INTO Activities VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], p_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]], f"{pk}-{1000 + n * 10}",
                         t["name"], typ, t["area"], float(cdurs[k]), a.remaining, iso(a.bl_start), iso(a.bl_finish),
                         iso(a.start), iso(a.finish), iso(a.late_start), iso(a.late_finish), iso(a.actual_start),
                         iso(a.actual_finish), a.total_float, a.free_float, 1 if a.critical else 0, a.pct,
                         {"not": 0, "started": 1, "done": 2}[a.state]))
        bls = [(0, "BL0 Contract baseline", start + dt.timedelta(days=28), b0, d0)]
        if rebase:
            bls.append((1, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO Baselines VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], p_idx, no, bname, iso(bdate), DIRECTOR, 1 if no == len(bls) - 1 else 0))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, akeys, bl, bd, CALS):
                ids["bla"] += 1
                con.execute("INSERT INTO BaselineActivities VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["lnk"] += 1
        con.execute("INSERT INTO ActivityLinks VALUES (?,?,?,?,?)",
                    (ids["lnk"], act_ids[p], act_ids[s], typ, float(lag)))

    # resource assignments
    for k in keys:
        t = tasks[k]
        for rc in KIND_RSRC.get(t["kind"], []):
            r = rsrc_row[rc]
            cal = CALS[t["cal"]]
            hpd = min(cal.hrs, 10.0) if cal.code != WKND else cal.hrs
            base = t["dur"]
            pln = float(base * hpd * r[5])
            act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng)
            rate = r[6] / hpd
            ids["asg"] += 1
            con.execute("INSERT INTO ResourceAssignments VALUES (?,?,?,?,?,?,?,?)",
                        (ids["asg"], act_ids[k], rsrc_ids[rc], pln, act, rem_h, round(pln * rate, 2),
                         round(act * rate, 2)))

    def bl_dates(k):
        bl, bd = bl_used[tasks[k]["prj"]]
        if k not in bl[0]:
            return None, None
        return shown(tasks[k], bl[0][k], bl[1][k], bd[k])

    def cur_dates(k):
        return acts[k].start, acts[k].finish

    # clinical service decant moves
    moves = []
    for i, th in THR_PHASES:
        moves.append(("THR", f"THR.dec{i}", "Main Theatres", f"Main theatres {th}", "Modular temporary theatres",
                      "start", 0, 28))
        moves.append(("THR", f"THR.ret{i}", "Main Theatres", "Modular temporary theatres", f"Main theatres {th}",
                      "finish", 0, 4))
    moves.append(("PTH", "PTH.dec", "Blood Sciences", "Pathology level 2", "Temporary laboratory (Portakabin L2)",
                  "start", 0, 0))
    moves.append(("PTH", "PTH.mov", "Blood Sciences", "Temporary laboratory (Portakabin L2)",
                  "New pathology laboratory level 2", "start", 0, 0))
    for i, lvl, dept in FLOORS:
        frm = {"Emergency Care": "Emergency Care (Main Hospital ground floor)",
               "Imaging": "X-ray and CT (Main Hospital level 1)",
               "Critical Care": "ICU and HDU (Main Hospital level 3)",
               "Inpatient Wards": "Wards 8 and 9 (Tower block)"}[dept]
        beds = {"Emergency Care": 0, "Imaging": 0, "Critical Care": 16, "Inpatient Wards": 56}[dept]
        moves.append(("NAB", "NAB.pc", dept, frm, f"New acute services block {lvl}", "finish", beds, 0))
    mv_n = {}
    for pk, k, dept, frm, to, which, beds, sess in moves:
        b_s, b_f = bl_dates(k)
        c_s, c_f = cur_dates(k)
        planned = b_s if which == "start" else b_f
        revised = c_s if which == "start" else c_f
        if pk == "NAB":
            off = dt.timedelta(days=14 + 7 * len([m for m in mv_n if m.startswith("NAB")]))
            planned, revised = planned + off, revised + off
        actual = revised if revised <= DATA_DATE else None
        if actual:
            status = "Completed"
        elif revised > planned:
            status = "Postponed"
        elif revised <= DATA_DATE + dt.timedelta(days=30):
            status = "Confirmed"
        else:
            status = "Planned"
        mv_n[f"{pk}{len(mv_n)}"] = 1
        n = sum(1 for m in mv_n if m.startswith(pk))
        con.execute("INSERT INTO DecantMoves VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (len(mv_n), proj_ids[pk], act_ids[k], f"DM-{pk}-{n:02d}", dept, frm, to, iso(planned),
                     iso(revised), iso(actual), beds, sess if which == "start" else 0,
                     DECANT_LEADS[pk if pk in DECANT_LEADS else "NAB"], status))

    # infection-control permits: one for each piece of work in or next to live clinical areas
    permits = []
    cls = {"STR": 4, "UCV": 4, "SHT": 3, "THF": 3, "CLN": 2, "MEP": 3, "LAB": 2, "EQP": 2, "HV": 2, "EPL": 2,
           "VAL": 2, "PHY": 1, "IMG": 2, "GW": 1}
    for k in keys:
        t = tasks[k]
        pk = t["prj"]
        if cdurs[k] == 0 or t["cal"] in (OFF, ELP) or pk not in ("THR", "PTH", "MEQ", "ENC"):
            continue
        if pk == "ENC" and t["cal"] != WKND:
            continue
        s_d, f_d = cur_dates(k)
        if s_d > DATA_DATE + dt.timedelta(days=60):
            continue
        if states[k] == "done":
            state = 30
        elif states[k] == "started" or s_d <= DATA_DATE + dt.timedelta(days=21):
            state = 20
        else:
            state = 10
        permits.append((s_d, pk, k, cls.get(t["kind"], 2), t["area"], s_d, f_d, state))
        if t["slip"] and states[k] == "done":
            b_s, b_f = bl_dates(k)
            if b_s and b_s < s_d:
                permits.append((b_s, pk, k, cls.get(t["kind"], 2), t["area"], b_s, b_f, 90))
    permits.sort(key=lambda x: (x[0], x[1], x[2], x[7]))
    seq = {}
    conds = {4: "Negative pressure enclosure, HEPA extraction, sealed hoarding, daily air sampling",
             3: "Sealed hoarding, tacky mats, dust monitoring at the boundary",
             2: "Dust sheets and local extraction; clean at end of each shift",
             1: "Normal housekeeping"}
    for n, (_, pk, k, pcls, area, s_d, f_d, state) in enumerate(permits, 1):
        seq[s_d.year] = seq.get(s_d.year, 0) + 1
        signed = None if state == 10 else rng.choice(IPC_TEAM)
        breaches = None if state in (10, 90) else (0 if state == 20 else rng.choices([0, 0, 0, 1, 2], k=1)[0])
        if k == "THR.ucv3" and state == 30:
            breaches = 3
        cnd = conds[pcls] if state != 90 else "Withdrawn - work re-programmed after slip; new permit raised"
        con.execute("INSERT INTO InfectionControlPermits VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (n, proj_ids[pk], act_ids[k], f"ICP-{s_d.year % 100:02d}-{seq[s_d.year]:03d}", pcls, area,
                     f"{iso(s_d)} 08:00", f"{iso(f_d)} 18:00", state, SITE_MANAGER[pk], signed, breaches, cnd))

    # room handovers (room data sheets)
    rooms = []
    for i, lvl, dept in FLOORS:
        for suf, rtitle, rtype, area in ROOMS[i]:
            rooms.append(("NAB", f"NAB.snag{i}", f"NAB-L{i}-{suf}", rtitle, dept, lvl, rtype, area))
    for i, th in THR_PHASES:
        a, b = 2 * i - 1, 2 * i
        for tn in (a, b):
            rooms.append(("THR", f"THR.cln{i}", f"THR-T{tn}", f"Theatre {tn}", "Main Theatres", "Level 1",
                          "Operating theatre", 55.0))
            rooms.append(("THR", f"THR.cln{i}", f"THR-A{tn}", f"Anaesthetic room {tn}", "Main Theatres", "Level 1",
                          "Clinical", 19.0))
    for code, rtitle, rtype, area in [("PTH-BS-01", "Blood sciences main laboratory", "Laboratory", 310.0),
                                      ("PTH-BS-02", "Sample reception and automation", "Laboratory", 140.0),
                                      ("PTH-MB-01", "Microbiology laboratory", "Laboratory", 180.0),
                                      ("PTH-CL3-01", "Containment level 3 suite", "Containment", 42.0),
                                      ("PTH-OF-01", "Laboratory offices", "Non-clinical", 90.0)]:
        rooms.append(("PTH", "PTH.cl3" if "CL3" in code else "PTH.lab", code, rtitle, "Pathology", "Level 2", rtype,
                      area))
    room_ids = {}
    for n, (pk, k, code, rtitle, dept, lvl, rtype, area) in enumerate(rooms, 1):
        room_ids[code] = n
        planned = bl_dates(k)[1]
        forecast = cur_dates(k)[1]
        actual = forecast if states[k] == "done" else None
        if actual:
            snags = rng.choice([0, 0, 0, 1, 2, 3]) if (DATA_DATE - actual).days < 120 else 0
            stage = "Handed Over" if snags == 0 else "Handed Over with Snags"
        elif states[k] == "started":
            snags, stage = rng.randint(3, 14), "Snagging"
        else:
            snags, stage = 0, "Not Ready"
        con.execute("INSERT INTO RoomHandovers VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (n, proj_ids[pk], act_ids[k], code, rtitle, dept, lvl, rtype, area, iso(planned), iso(forecast),
                     iso(actual), stage, snags))

    # medical equipment items
    for n, (k, room, title, maker, grp, qty, cost) in enumerate(EQUIPMENT, 1):
        s_d, f_d = cur_dates(k)
        b_s = bl_dates(k)[0]
        due = b_s - dt.timedelta(days=7)
        deliv = s_d - dt.timedelta(days=rng.choice([3, 5, 7, 10]))
        deliv = deliv if deliv <= DATA_DATE else None
        inst = f_d if states[k] == "done" else None
        comm = None
        acc = 0
        if inst:
            comm = inst + dt.timedelta(days=rng.choice([2, 4, 6]))
            if comm > DATA_DATE:
                comm = None
            else:
                acc = rng.choices([1, 2], [0.75, 0.25])[0]
        if title.startswith("Integrated theatre video"):
            acc = 0
        if title == "Haematology analyser" and inst:
            comm, acc = inst + dt.timedelta(days=2), 3
        con.execute("INSERT INTO MedicalEquipment VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (n, proj_ids[tasks[k]["prj"]], act_ids[k], room_ids.get(room), f"HGH-ME-{n + 4100:05d}", title,
                     maker, grp, qty, cost, iso(due), iso(deliv), iso(inst), iso(comm), acc))

    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO Risks VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[r[0]], act_ids[r[1]] if r[1] else None, f"R-{r[0]}-{n_by[r[0]]:02d}",
                     r[2], r[3], r[4], r[5], r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))
    n_by = {}
    for i, c in enumerate(CHANGES, 1):
        n_by[c[0]] = n_by.get(c[0], 0) + 1
        con.execute("INSERT INTO ChangeRequests VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[c[0]], f"CR-{c[0]}-{n_by[c[0]]:03d}", c[1], c[2], c[3], c[4], float(c[5]),
                     c[6], c[7], c[8]))
    con.commit()
    return con

# ---------------------------------------------------------------------------------------------- metadata

PROJ_FK = ("Project (Projects.ProjectId)", "INTEGER")
ACT_FK = ("Activity (Activities.ActivityId)", "INTEGER")

TABLE_META = {
    "Projects": ("Capital projects of the Harrowfield Teaching Hospitals NHS Trust estates programme: hospital zone, "
                 "project lead, principal contractor, budget and forecast outturn, start, contract, forecast and "
                 "actual completion, data date, stage and health code", {
        "ProjectId": ("Project id", "INTEGER"),
        "ProjectCode": ("Project code, e.g. HGH-C102", "TEXT"),
        "ProjectTitle": ("Project title, e.g. Main Theatres Refurbishment", "TEXT"),
        "HospitalZone": ("Zone of the hospital site: North Campus, Main Hospital, Service Yard, South Campus", "TEXT"),
        "ProjectLead": ("Trust's project lead (estates project manager)", "TEXT"),
        "PrincipalContractor": ("Principal contractor", "TEXT"),
        "BudgetGbp": ("Approved budget, GBP", "REAL"),
        "ForecastOutturnGbp": ("Forecast outturn cost, GBP", "REAL"),
        "StartDate": ("Project start (contract award)", "DATE"),
        "ContractCompletion": ("Contract completion date agreed with the Trust board; float is measured to it", "DATE"),
        "ForecastCompletion": ("Forecast completion from the current schedule", "DATE"),
        "ActualCompletion": ("Actual completion; null until complete", "DATE"),
        "DataDate": ("Schedule data date (status date)", "DATE"),
        "StageName": ("Stage: Procurement, Construction, Commissioning, Closed", "TEXT"),
        "HealthCode": ("Schedule health: 1, 2 or 3", "INTEGER"),
    }),
    "WbsElements": ("WBS of each project: level 1 the project, level 2 design/business case, procurement, "
                    "construction and fit-out, commissioning and handover; level 3 floors, theatre phases, decks "
                    "and equipment packages", {
        "WbsElementId": ("WBS element id", "INTEGER"),
        "ProjectId": PROJ_FK,
        "ParentWbsElementId": ("Parent WBS element (WbsElements.WbsElementId); null for the project node", "INTEGER"),
        "WbsCode": ("WBS code, e.g. HGH-C101.3.2", "TEXT"),
        "WbsTitle": ("WBS element title, e.g. Level 2 - Critical Care, Phase 3 - Theatres 5-6", "TEXT"),
        "WbsLevel": ("Level in the WBS (1 = project)", "INTEGER"),
    }),
    "WorkCalendars": ("Work calendars: office weekdays, site weekdays, site Mon-Sat, weekend services shutdowns, "
                      "24/7 commissioning, elapsed calendar days", {
        "CalendarId": ("Calendar id", "INTEGER"),
        "CalendarCode": ("Calendar code, e.g. WKND-SHUT, COMM-24-7", "TEXT"),
        "CalendarTitle": ("Calendar title with its hours", "TEXT"),
        "WorkingWeek": ("Working days of the week", "TEXT"),
        "HoursPerDay": ("Working hours a day", "REAL"),
        "Notes": ("What the calendar is used for and what it excludes", "TEXT"),
    }),
    "CalendarExceptions": ("Non-working days of each calendar: bank holidays, Christmas shutdown, winter pressures "
                           "and Easter embargoes and single embargoed weekends for service shutdowns", {
        "ExceptionId": ("Exception id", "INTEGER"),
        "CalendarId": ("Calendar (WorkCalendars.CalendarId)", "INTEGER"),
        "ExceptionDate": ("Non-working date", "DATE"),
        "ExceptionKind": ("Kind: Bank Holiday, Christmas Shutdown, Winter Pressures, Easter Embargo, Clinical "
                          "Embargo", "TEXT"),
        "Reason": ("Why the day is not worked", "TEXT"),
    }),
    "Activities": ("Schedule activities and milestones of every project: location (floor and clinical service, theatre "
                   "phase), durations, baseline, planned (early), late and actual dates, total and free float, "
                   "critical flag, progress and status code", {
        "ActivityId": ("Activity id", "INTEGER"),
        "ProjectId": PROJ_FK,
        "WbsElementId": ("WBS element (WbsElements.WbsElementId)", "INTEGER"),
        "CalendarId": ("Calendar (WorkCalendars.CalendarId)", "INTEGER"),
        "TaskRef": ("Activity reference, project key and number, e.g. THR-1350", "TEXT"),
        "TaskTitle": ("Activity title", "TEXT"),
        "TaskKind": ("Task, Start Milestone or Finish Milestone", "TEXT"),
        "Location": ("Where the work is: floor and clinical service, theatres, plant area", "TEXT"),
        "OriginalDurationDays": ("Current planned duration in working days of its calendar", "REAL"),
        "RemainingDurationDays": ("Remaining duration in working days", "REAL"),
        "BaselineStart": ("Start in the project's current baseline", "DATE"),
        "BaselineFinish": ("Finish in the project's current baseline", "DATE"),
        "PlannedStart": ("Forecast (early) start", "DATE"),
        "PlannedFinish": ("Forecast (early) finish", "DATE"),
        "LateStart": ("Late start; null once complete", "DATE"),
        "LateFinish": ("Late finish; null once complete", "DATE"),
        "ActualStart": ("Actual start; null until started", "DATE"),
        "ActualFinish": ("Actual finish; null until complete", "DATE"),
        "TotalFloatDays": ("Total float in working days to the contract completion; null once complete", "REAL"),
        "FreeFloatDays": ("Free float in working days; null once complete", "REAL"),
        "OnCriticalPath": ("On the critical path: 1 or 0", "INTEGER"),
        "ProgressPct": ("Percent complete, 0-100", "REAL"),
        "StatusCode": ("Activity status: 0, 1 or 2", "INTEGER"),
    }),
    "ActivityLinks": ("Logic links between activities, with type and lag; some cross projects (equipment installs "
                      "wait for the new block and theatre fit-out)", {
        "LinkId": ("Link id", "INTEGER"),
        "PredecessorId": ("Predecessor activity (Activities.ActivityId)", "INTEGER"),
        "SuccessorId": ("Successor activity (Activities.ActivityId)", "INTEGER"),
        "LinkType": ("FS, SS or FF", "TEXT"),
        "LagDays": ("Lag in calendar days", "REAL"),
    }),
    "Baselines": ("Baselines of each project; number 0 is the contract baseline, number 1 a re-plan", {
        "BaselineId": ("Baseline id", "INTEGER"),
        "ProjectId": PROJ_FK,
        "BaselineNo": ("Baseline number (0 = contract baseline)", "INTEGER"),
        "BaselineTitle": ("Baseline title", "TEXT"),
        "ApprovedOn": ("Date the baseline was approved", "DATE"),
        "ApprovedBy": ("Who approved it", "TEXT"),
        "IsCurrent": ("Current baseline: 1 or 0", "INTEGER"),
    }),
    "BaselineActivities": ("Activity dates, durations and float stored in each baseline", {
        "BaselineActivityId": ("Baseline activity row id", "INTEGER"),
        "BaselineId": ("Baseline (Baselines.BaselineId)", "INTEGER"),
        "ActivityId": ACT_FK,
        "BaselineStart": ("Start in this baseline", "DATE"),
        "BaselineFinish": ("Finish in this baseline", "DATE"),
        "BaselineDurationDays": ("Duration in this baseline, working days", "REAL"),
        "BaselineFloatDays": ("Total float in this baseline, working days", "REAL"),
    }),
    "Resources": ("Trades, subcontractors, equipment installers, consultants and plant", {
        "ResourceId": ("Resource id", "INTEGER"),
        "ResourceCode": ("Resource code, e.g. UCV-INST", "TEXT"),
        "ResourceTitle": ("Resource title", "TEXT"),
        "ResourceCategory": ("Trade, Subcontractor, Installer, Consultant or Equipment", "TEXT"),
        "TradeName": ("Trade or discipline, e.g. Medical gases, Ventilation", "TEXT"),
        "CompanyName": ("Company providing the resource", "TEXT"),
        "Headcount": ("People (or machines) in the resource", "INTEGER"),
        "DailyRateGbp": ("Day rate per person or machine, GBP", "REAL"),
        "Supervisor": ("Supervisor", "TEXT"),
    }),
    "ResourceAssignments": ("Resources assigned to activities: planned, actual and remaining hours and cost", {
        "AssignmentId": ("Assignment id", "INTEGER"),
        "ActivityId": ACT_FK,
        "ResourceId": ("Resource (Resources.ResourceId)", "INTEGER"),
        "PlannedHours": ("Planned hours", "REAL"),
        "ActualHours": ("Actual hours to the data date", "REAL"),
        "RemainingHours": ("Remaining hours", "REAL"),
        "PlannedCostGbp": ("Planned cost, GBP", "REAL"),
        "ActualCostGbp": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "DecantMoves": ("Clinical service decant moves: theatres to and from the modular temporary theatres, blood sciences "
                    "to the temporary laboratory and back, and clinical services moving into the new block", {
        "DecantMoveId": ("Decant move id", "INTEGER"),
        "ProjectId": PROJ_FK,
        "ActivityId": ("Activity the move depends on (Activities.ActivityId)", "INTEGER"),
        "MoveRef": ("Move reference, e.g. DM-THR-07", "TEXT"),
        "ServiceName": ("Clinical service moving", "TEXT"),
        "MovingFrom": ("Where the clinical service moves from", "TEXT"),
        "MovingTo": ("Where it moves to", "TEXT"),
        "PlannedMoveDate": ("Move date in the current baseline", "DATE"),
        "RevisedMoveDate": ("Move date in the current schedule", "DATE"),
        "ActualMoveDate": ("Date the move happened; null until moved", "DATE"),
        "BedsAffected": ("Beds moved or out of use", "INTEGER"),
        "SessionsLost": ("Theatre sessions lost by the decant", "INTEGER"),
        "ClinicalLead": ("Clinical lead for the move", "TEXT"),
        "MoveStatus": ("Planned, Confirmed, Postponed or Completed", "TEXT"),
    }),
    "InfectionControlPermits": ("Infection prevention and control permits for work in or next to live clinical "
                                "areas: precaution class, work zone, validity, state, sign-off and air sampling", {
        "PermitId": ("Permit id", "INTEGER"),
        "ProjectId": PROJ_FK,
        "ActivityId": ("Activity the permit covers (Activities.ActivityId)", "INTEGER"),
        "PermitNo": ("Permit number, e.g. ICP-25-014", "TEXT"),
        "PrecautionClass": ("Infection control precaution class 1-4 (4 the strictest)", "INTEGER"),
        "WorkZone": ("Work zone", "TEXT"),
        "ValidFrom": ("Valid from, YYYY-MM-DD HH:MM", "TEXT"),
        "ValidTo": ("Valid to, YYYY-MM-DD HH:MM", "TEXT"),
        "PermitState": ("Permit state: 10, 20, 30 or 90", "INTEGER"),
        "RequestedBy": ("Contractor's site manager who requested it", "TEXT"),
        "SignedOffBy": ("IPC team member who signed it off; null while requested", "TEXT"),
        "AirSampleBreaches": ("Dust count or air sample breaches recorded under the permit", "INTEGER"),
        "Conditions": ("Precautions required", "TEXT"),
    }),
    "RoomHandovers": ("Room data sheets and room-by-room handover of the new block floors, the refurbished "
                      "theatres and anaesthetic rooms and the pathology laboratory", {
        "RoomHandoverId": ("Room handover id", "INTEGER"),
        "ProjectId": PROJ_FK,
        "ActivityId": ("Activity that completes the room (Activities.ActivityId)", "INTEGER"),
        "RoomCode": ("Room code, e.g. NAB-L2-02, THR-T5", "TEXT"),
        "RoomTitle": ("Room title", "TEXT"),
        "ServiceName": ("Clinical service", "TEXT"),
        "FloorLevel": ("Floor, e.g. Ground floor, Level 1", "TEXT"),
        "RoomType": ("Room type, e.g. Clinical, Imaging, Isolation, Operating theatre, Laboratory", "TEXT"),
        "AreaSqm": ("Floor area, square metres", "REAL"),
        "PlannedHandover": ("Handover date in the current baseline", "DATE"),
        "ForecastHandover": ("Forecast handover date", "DATE"),
        "ActualHandover": ("Actual handover; null until handed over", "DATE"),
        "HandoverStage": ("Not Ready, Snagging, Handed Over or Handed Over with Snags", "TEXT"),
        "OpenSnags": ("Snags still open", "INTEGER"),
    }),
    "MedicalEquipment": ("Medical equipment items: imaging, critical care, ED, theatre pendants and lights and "
                         "laboratory analysers, with due, delivery, install and commissioning dates", {
        "EquipmentItemId": ("Equipment item id", "INTEGER"),
        "ProjectId": PROJ_FK,
        "ActivityId": ("Install activity (Activities.ActivityId)", "INTEGER"),
        "RoomHandoverId": ("Room it goes in (RoomHandovers.RoomHandoverId)", "INTEGER"),
        "AssetTag": ("Trust asset tag, e.g. HGH-ME-04103", "TEXT"),
        "ItemTitle": ("Item", "TEXT"),
        "Manufacturer": ("Manufacturer or supplier", "TEXT"),
        "EquipmentGroup": ("Equipment group 1, 2 or 3", "INTEGER"),
        "Quantity": ("Number of units", "INTEGER"),
        "UnitCostGbp": ("Cost of one unit, GBP", "REAL"),
        "DueOnSite": ("Date due on site", "DATE"),
        "DeliveredOn": ("Date delivered; null until delivered", "DATE"),
        "InstalledOn": ("Date installed; null until installed", "DATE"),
        "CommissionedOn": ("Date commissioned; null until commissioned", "DATE"),
        "AcceptanceCode": ("Acceptance: 0, 1, 2 or 3", "INTEGER"),
    }),
    "Risks": ("Risk register: category, likelihood, consequence, score, cost and delay exposure, owner, response, "
              "state", {
        "RiskId": ("Risk id", "INTEGER"),
        "ProjectId": PROJ_FK,
        "ActivityId": ("Activity the risk affects (Activities.ActivityId); null for project-wide risks", "INTEGER"),
        "RiskRef": ("Risk reference, e.g. R-THR-01", "TEXT"),
        "RiskTitle": ("Risk", "TEXT"),
        "RiskCategory": ("Category, e.g. Clinical, Supply chain, Technical", "TEXT"),
        "Likelihood": ("Likelihood 1-5", "INTEGER"),
        "Consequence": ("Consequence 1-5", "INTEGER"),
        "RiskScore": ("Likelihood x consequence", "INTEGER"),
        "CostExposureGbp": ("Cost exposure, GBP", "REAL"),
        "DelayExposureDays": ("Schedule exposure, working days", "REAL"),
        "RiskOwner": ("Owner", "TEXT"),
        "Response": ("Mitigation", "TEXT"),
        "RiskState": ("Open, Closed or Occurred", "TEXT"),
        "RaisedOn": ("Date raised", "DATE"),
        "NextReview": ("Next review date", "DATE"),
    }),
    "ChangeRequests": ("Change requests: type, raiser, cost and time impact, decision", {
        "ChangeRequestId": ("Change request id", "INTEGER"),
        "ProjectId": PROJ_FK,
        "ChangeRef": ("Change reference, e.g. CR-NAB-003", "TEXT"),
        "ChangeTitle": ("Change", "TEXT"),
        "ChangeType": ("Scope, Programme, Design or Commercial", "TEXT"),
        "RaisedBy": ("Who raised it", "TEXT"),
        "CostImpactGbp": ("Cost impact, GBP", "REAL"),
        "TimeImpactDays": ("Time impact, working days (negative = saving)", "REAL"),
        "Decision": ("Submitted, Under Review, Approved, Rejected or Withdrawn", "TEXT"),
        "RaisedOn": ("Date raised", "DATE"),
        "DecidedOn": ("Date decided; null while pending", "DATE"),
    }),
}

RELATIONSHIPS = [
    ("WbsElements", "Projects", "WbsElements.ProjectId = Projects.ProjectId", "WBS of a project"),
    ("WbsElements", "WbsElements", "WbsElements.ParentWbsElementId = WbsElements.WbsElementId", "Parent WBS element"),
    ("CalendarExceptions", "WorkCalendars", "CalendarExceptions.CalendarId = WorkCalendars.CalendarId",
     "Non-working days of a calendar"),
    ("Activities", "Projects", "Activities.ProjectId = Projects.ProjectId", "Activities of a project"),
    ("Activities", "WbsElements", "Activities.WbsElementId = WbsElements.WbsElementId", "WBS element of an activity"),
    ("Activities", "WorkCalendars", "Activities.CalendarId = WorkCalendars.CalendarId", "Calendar of an activity"),
    ("ActivityLinks", "Activities", "ActivityLinks.PredecessorId = Activities.ActivityId", "Predecessor of a link"),
    ("ActivityLinks", "Activities", "ActivityLinks.SuccessorId = Activities.ActivityId", "Successor of a link"),
    ("Baselines", "Projects", "Baselines.ProjectId = Projects.ProjectId", "Baselines of a project"),
    ("BaselineActivities", "Baselines", "BaselineActivities.BaselineId = Baselines.BaselineId", "Rows of a baseline"),
    ("BaselineActivities", "Activities", "BaselineActivities.ActivityId = Activities.ActivityId",
     "Activity a baseline row stores"),
    ("ResourceAssignments", "Resources", "ResourceAssignments.ResourceId = Resources.ResourceId",
     "Resource of an assignment"),
    ("ResourceAssignments", "Activities", "ResourceAssignments.ActivityId = Activities.ActivityId",
     "Activity a resource works on"),
    ("DecantMoves", "Projects", "DecantMoves.ProjectId = Projects.ProjectId", "Decant moves of a project"),
    ("DecantMoves", "Activities", "DecantMoves.ActivityId = Activities.ActivityId", "Activity a move depends on"),
    ("InfectionControlPermits", "Projects", "InfectionControlPermits.ProjectId = Projects.ProjectId",
     "Permits of a project"),
    ("InfectionControlPermits", "Activities", "InfectionControlPermits.ActivityId = Activities.ActivityId",
     "Activity a permit covers"),
    ("RoomHandovers", "Projects", "RoomHandovers.ProjectId = Projects.ProjectId", "Rooms of a project"),
    ("RoomHandovers", "Activities", "RoomHandovers.ActivityId = Activities.ActivityId",
     "Activity that completes a room"),
    ("MedicalEquipment", "Projects", "MedicalEquipment.ProjectId = Projects.ProjectId", "Equipment of a project"),
    ("MedicalEquipment", "Activities", "MedicalEquipment.ActivityId = Activities.ActivityId",
     "Install activity of an item"),
    ("MedicalEquipment", "RoomHandovers", "MedicalEquipment.RoomHandoverId = RoomHandovers.RoomHandoverId",
     "Room an item goes in"),
    ("Risks", "Projects", "Risks.ProjectId = Projects.ProjectId", "Risks of a project"),
    ("Risks", "Activities", "Risks.ActivityId = Activities.ActivityId", "Activity a risk affects"),
    ("ChangeRequests", "Projects", "ChangeRequests.ProjectId = Projects.ProjectId", "Change requests of a project"),
]

BUSINESS_RULES = {
    ("Activities", "StatusCode"): ["Allowed Values: 0 (not started), 1 (in progress), 2 (complete)"],
    ("Activities", "TaskKind"): ["Allowed Values: Task, Start Milestone, Finish Milestone; milestones have "
                                 "OriginalDurationDays = 0"],
    ("Activities", "OnCriticalPath"): ["Allowed Values: 1, 0", "Critical: OnCriticalPath = 1 when TotalFloatDays "
                                       "<= 0; complete activities are 0"],
    ("Activities", "TotalFloatDays"): ["Negative float: forecast finish after the contract completion date",
                                       "Near critical: TotalFloatDays between 1 and 10"],
    ("Activities", "BaselineFinish"): ["Slipped: PlannedFinish > BaselineFinish"],
    ("ActivityLinks", "LinkType"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to "
                                    "finish)"],
    ("Baselines", "IsCurrent"): ["Allowed Values: 1, 0; one current baseline per project"],
    ("CalendarExceptions", "ExceptionKind"): ["Allowed Values: Bank Holiday, Christmas Shutdown, Winter Pressures, "
                                              "Easter Embargo, Clinical Embargo"],
    ("Projects", "StageName"): ["Allowed Values: Procurement, Construction, Commissioning, Closed"],
    ("Projects", "HealthCode"): ["Allowed Values: 1 (green - more than 10 working days float to contract "
                                 "completion, or closed), 2 (amber - 0 to 10 days), 3 (red - forecast after "
                                 "contract completion)"],
    ("Resources", "ResourceCategory"): ["Allowed Values: Trade, Subcontractor, Installer, Consultant, Equipment"],
    ("DecantMoves", "MoveStatus"): ["Allowed Values: Planned, Confirmed, Postponed, Completed",
                                    "Moved: RevisedMoveDate <> PlannedMoveDate"],
    ("InfectionControlPermits", "PermitState"): ["Allowed Values: 10 (requested), 20 (approved / live), 30 "
                                                 "(closed - area released), 90 (withdrawn)"],
    ("InfectionControlPermits", "PrecautionClass"): ["Allowed Values: 1, 2, 3, 4; class 4 needs a negative "
                                                     "pressure enclosure"],
    ("RoomHandovers", "HandoverStage"): ["Allowed Values: Not Ready, Snagging, Handed Over, Handed Over with Snags"],
    ("MedicalEquipment", "AcceptanceCode"): ["Allowed Values: 0 (awaiting acceptance), 1 (accepted), 2 (accepted "
                                             "with conditions), 3 (failed acceptance)"],
    ("MedicalEquipment", "EquipmentGroup"): ["Allowed Values: 1 (supplied and installed by the contractor), 2 "
                                             "(supplied by the Trust, installed by the contractor), 3 (supplied and "
                                             "installed by the Trust or its supplier)"],
    ("MedicalEquipment", "DeliveredOn"): ["Late delivery: DeliveredOn > DueOnSite"],
    ("Risks", "RiskState"): ["Allowed Values: Open, Closed, Occurred"],
    ("Risks", "RiskScore"): ["High risk: RiskScore >= 12"],
    ("ChangeRequests", "Decision"): ["Allowed Values: Submitted, Under Review, Approved, Rejected, Withdrawn",
                                     "Pending: Decision IN ('Submitted', 'Under Review')"],
}

CONCEPTS = {
    ("Activities", "TotalFloatDays"): ["total_float", "critical_path"],
    ("Activities", "FreeFloatDays"): ["free_float"],
    ("Activities", "OnCriticalPath"): ["critical_path"],
    ("Activities", "ProgressPct"): ["percent_complete"],
    ("Activities", "BaselineFinish"): ["baseline_variance"],
    ("BaselineActivities", "BaselineFinish"): ["baseline_variance"],
    ("ActivityLinks", "LagDays"): ["lag"],
    ("Projects", "ForecastOutturnGbp"): ["cost_variance"],
    ("Projects", "ContractCompletion"): ["contract_completion"],
    ("Risks", "RiskScore"): ["risk_exposure"],
    ("DecantMoves", "RevisedMoveDate"): ["decant"],
    ("InfectionControlPermits", "PrecautionClass"): ["infection_control"],
    ("RoomHandovers", "OpenSnags"): ["snagging"],
    ("MedicalEquipment", "EquipmentGroup"): ["equipment_group"],
    ("CalendarExceptions", "ExceptionDate"): ["shutdown_embargo"],
    ("ResourceAssignments", "ActualCostGbp"): ["resource_cost"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before the project misses its contract completion date",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a project's completion",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a link in calendar days",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Forecast outturn against budget",
    "contract_completion": "Completion date agreed with the Trust board",
    "risk_exposure": "Likelihood x consequence score of a risk",
    "decant": "Temporary move of a clinical service so that its area can be refurbished, and the move back",
    "infection_control": "Precautions for building work in a live hospital (dust, air quality, hoarding)",
    "snagging": "Defects found at room handover and still to put right",
    "equipment_group": "Who supplies and installs an item of medical equipment (groups 1-3)",
    "shutdown_embargo": "Weekends when live services cannot be shut down: winter pressures, Easter, embargoes",
    "resource_cost": "Cost of trades, subcontractors and installers booked to activities",
}

QUERY_EXAMPLES = [
    ("SELECT ProjectCode, ProjectTitle, ContractCompletion, ForecastCompletion, HealthCode FROM Projects ORDER BY "
     "ContractCompletion;", "Projects with contract and forecast completion", "simple"),
    ("SELECT a.TaskRef, a.TaskTitle, a.PlannedStart, a.TotalFloatDays FROM Activities a JOIN Projects p ON "
     "p.ProjectId = a.ProjectId WHERE p.ProjectCode = 'HGH-C103' AND a.OnCriticalPath = 1 ORDER BY a.PlannedStart;",
     "Critical activities of a project", "medium"),
    ("SELECT a.TaskRef, a.TaskTitle, b.BaselineFinish, a.PlannedFinish FROM Activities a JOIN BaselineActivities b "
     "ON b.ActivityId = a.ActivityId JOIN Baselines l ON l.BaselineId = b.BaselineId WHERE l.IsCurrent = 1 AND "
     "a.PlannedFinish > b.BaselineFinish;", "Activities forecast to finish later than the current baseline",
     "complex"),
    ("SELECT PermitNo, WorkZone, ValidFrom, ValidTo FROM InfectionControlPermits WHERE PermitState = 20;",
     "Approved infection control permits", "simple"),
    ("SELECT RoomCode, RoomTitle, OpenSnags FROM RoomHandovers WHERE OpenSnags > 0;", "Rooms with open snags",
     "simple"),
    ("SELECT ItemTitle, DueOnSite, DeliveredOn FROM MedicalEquipment WHERE DeliveredOn > DueOnSite;",
     "Equipment delivered late", "simple"),
    ("SELECT e.ExceptionDate, e.Reason FROM CalendarExceptions e JOIN WorkCalendars c ON c.CalendarId = e.CalendarId "
     "WHERE c.CalendarCode = 'WKND-SHUT' AND e.ExceptionDate >= '2025-11-14' ORDER BY e.ExceptionDate;",
     "Coming weekends with no service shutdowns", "medium"),
    ("SELECT MoveRef, ServiceName, PlannedMoveDate, RevisedMoveDate FROM DecantMoves WHERE MoveStatus = "
     "'Postponed';", "Postponed decant moves", "simple"),
    ("SELECT r.ResourceTitle, SUM(a.ActualCostGbp) AS cost FROM ResourceAssignments a JOIN Resources r ON "
     "r.ResourceId = a.ResourceId WHERE r.ResourceCategory = 'Subcontractor' GROUP BY r.ResourceTitle ORDER BY cost DESC;",
     "Actual cost of subcontractors", "medium"),
]

KEYWORDS = {
    "float": ["Activities.TotalFloatDays", "Activities.FreeFloatDays", "total_float"],
    "TF": ["Activities.TotalFloatDays"],
    "critical": ["Activities.OnCriticalPath", "critical_path"],
    "predecessor": ["ActivityLinks.PredecessorId", "ActivityLinks"],
    "successor": ["ActivityLinks.SuccessorId", "ActivityLinks"],
    "baseline": ["Baselines", "BaselineActivities", "baseline_variance"],
    "project": ["Projects"],
    "scheme": ["Projects"],
    "decant": ["DecantMoves", "decant"],
    "move": ["DecantMoves"],
    "permit": ["InfectionControlPermits"],
    "ICP": ["InfectionControlPermits"],
    "IPC": ["InfectionControlPermits", "infection_control"],
    "dust": ["InfectionControlPermits.PrecautionClass"],
    "air sample": ["InfectionControlPermits.AirSampleBreaches"],
    "room": ["RoomHandovers"],
    "RDS": ["RoomHandovers"],
    "snag": ["RoomHandovers.OpenSnags", "snagging"],
    "handover": ["RoomHandovers", "Projects.ActualCompletion"],
    "equipment": ["MedicalEquipment"],
    "scanner": ["MedicalEquipment"],
    "asset": ["MedicalEquipment.AssetTag"],
    "trade": ["Resources.TradeName"],
    "installer": ["Resources.ResourceCategory"],
    "shutdown": ["WorkCalendars", "CalendarExceptions"],
    "embargo": ["CalendarExceptions", "shutdown_embargo"],
    "bank holiday": ["CalendarExceptions"],
    "risk": ["Risks"],
    "CR": ["ChangeRequests"],
    "variation": ["ChangeRequests"],
    "floor": ["Activities.Location", "WbsElements.WbsTitle", "RoomHandovers.FloorLevel"],
    "theatre": ["Activities.Location", "RoomHandovers.RoomType"],
}

TERMINOLOGY = {
    "decant": "Moving a clinical service out of its area (and back) so that the area can be worked on",
    "ICP": "Infection control permit",
    "IPC": "Infection prevention and control",
    "UCV": "Ultra-clean ventilation canopy over an operating table",
    "HTM 03-01": "Health technical memorandum for critical ventilation; theatres are validated against it",
    "HBN": "Health building note",
    "RDS": "Room data sheet",
    "MEP": "Mechanical, electrical and plumbing (M&E) services",
    "MGPS": "Medical gas pipeline system",
    "CHP": "Combined heat and power engine",
    "HV": "High voltage electricity supply",
    "CL3": "Containment level 3 laboratory",
    "UKAS": "United Kingdom Accreditation Service (laboratory accreditation)",
    "MSCP": "Multi-storey car park",
    "ED": "Emergency care",
    "ITU": "Intensive therapy unit (critical care)",
    "PC": "Practical completion",
    "TF": "Total float",
    "FF": "Free float",
    "data date": "Date up to which progress is recorded (2025-11-14)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF link": "Finish to finish link",
}

RELATED_TERMS = {
    "Projects": "project, scheme, job, programme",
    "Activities": "activity, task, programme line, milestone",
    "WbsElements": "WBS, work breakdown, floor, level, phase, deck, package",
    "Resources": "resource, trade, gang, subcontractor, installer, contractor, crane",
    "ResourceAssignments": "assignment, hours, labour cost",
    "Risks": "risk, risk register",
    "ChangeRequests": "change request, CR, change, variation",
    "DecantMoves": "decant, move, service move, temporary theatres",
    "InfectionControlPermits": "infection control permit, ICP, IPC permit, dust permit",
    "RoomHandovers": "room, room data sheet, handover, snag",
    "MedicalEquipment": "medical equipment, scanner, kit, asset, device",
    "ActivityLinks": "link, relationship, dependency, logic",
    "WorkCalendars": "calendar, shift, shutdown window",
    "CalendarExceptions": "holiday, non-working day, embargo, shutdown",
    "Baselines": "baseline, re-baseline, re-plan",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="Id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout23"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="Activities")


if __name__ == "__main__":
    sys.exit(main())
