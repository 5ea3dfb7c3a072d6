#!/usr/bin/env python3
"""Build the twenty-seventh schedule database (an operator's offshore decommissioning programme for a late-life
field, PascalCase plural tables with a Dcm prefix) and its metadata.

Norvane Energy is decommissioning the Skerrow field: plug and abandonment of the twelve platform wells on
Skerrow Alpha (modular rig) and the six wells of Skerrow Bravo (jack-up), preparation of the Alpha topsides
(flushing, making safe, module separation), a heavy-lift vessel campaign removing the Bravo topsides and jacket
and the Alpha modules and jacket, flushing and removal of the subsea pipelines and umbilical, and reception,
dismantling and recycling at the Kelmouth Quay disposal yard. Besides the schedule (projects, activities,
logic links with lag, calendars, baselines, resources, assignments) it holds the wells, vessel and rig
campaigns with day rates, downtime events (waiting on weather and others), permits and consents, personnel on
board per day, waste manifests, risks and lessons learned. The heavy-lift campaign was re-baselined after the
2025 vessel slot was lost; the Alpha well programme after sustained casing pressure on well A-04.

Named the way the operator's decommissioning database names things: PascalCase plural tables with a Dcm prefix
(DcmProjects, DcmActivities, DcmActivityLinks, DcmVesselCampaigns) and PascalCase columns (ActivityNumber,
ActivityName, PlannedStart, TotalFloatHrs, IsCritical, ActivityStatus).

Durations, remaining durations, float and lags are in HOURS: offshore work runs 24 hours a day, seven days a
week, so an offshore day is 24 hours; onshore yard days are 10 hours and office days 8 hours. Each project is
scheduled by one forward and backward pass against its target completion. Data date 2026-03-13.

Outputs go to bench/out/holdout27/ (or --out DIR); --check also runs every gold statement of questions.json
and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 272727
DATA_DATE = dt.date(2026, 3, 13)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import (WorkDays, activity_at, anchored_baselines, assignment_hours,  # noqa: E402
                            baseline_activities, check_with_history, default_out, forward_backward, gather_plans,
                            describe_tables, main as build_main, metadata_document, day_span as _span,
                            iso, logic_links, parse_pred, shown_dates, worked_days)
DB_NAME = "holdout27_schedule.db"
META_NAME = "holdout27_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE DcmProjects (
    ProjectId INTEGER PRIMARY KEY, ProjectCode TEXT NOT NULL UNIQUE, ProjectName TEXT NOT NULL,
    Installation TEXT NOT NULL, ProjectManager TEXT NOT NULL, MainContractor TEXT NOT NULL, AfeNumber TEXT NOT NULL,
    AfeBudgetGbp REAL NOT NULL, ActualCostGbp REAL NOT NULL, ForecastCostGbp REAL NOT NULL, PlannedStart TEXT NOT NULL,
    TargetCompletion TEXT NOT NULL, ForecastCompletion TEXT NOT NULL, ActualCompletion TEXT, DataDate TEXT NOT NULL,
    ProjectStatus TEXT NOT NULL, RagStatus TEXT NOT NULL
);
CREATE TABLE DcmCalendars (
    CalendarId INTEGER PRIMARY KEY, CalendarCode TEXT NOT NULL UNIQUE, CalendarName TEXT NOT NULL,
    WorkPattern TEXT NOT NULL, HoursPerDay REAL NOT NULL, Rotation TEXT, CalendarNotes TEXT
);
CREATE TABLE DcmWells (
    WellId INTEGER PRIMARY KEY, WellName TEXT NOT NULL UNIQUE, Installation TEXT NOT NULL, SlotNumber INTEGER NOT NULL,
    WellType TEXT NOT NULL, ReservoirZone TEXT NOT NULL, SpudYear INTEGER NOT NULL, LastProductionDate TEXT,
    MeasuredDepthM REAL NOT NULL, PaComplexity TEXT NOT NULL, AbandonmentStatus TEXT NOT NULL, PaStart TEXT,
    PaFinish TEXT, BarrierVerified INTEGER NOT NULL, BarrierTestDate TEXT, ConductorCutDepthM REAL
);
CREATE TABLE DcmResources (
    ResourceId INTEGER PRIMARY KEY, ResourceCode TEXT NOT NULL UNIQUE, ResourceName TEXT NOT NULL,
    ResourceType TEXT NOT NULL, Discipline TEXT NOT NULL, Company TEXT NOT NULL, CrewSize INTEGER NOT NULL,
    DayRateGbp REAL NOT NULL, CalendarId INTEGER NOT NULL REFERENCES DcmCalendars(CalendarId)
);
CREATE TABLE DcmVesselCampaigns (
    CampaignId INTEGER PRIMARY KEY, CampaignCode TEXT NOT NULL UNIQUE, CampaignName TEXT NOT NULL,
    ProjectId INTEGER NOT NULL REFERENCES DcmProjects(ProjectId), ResourceId INTEGER NOT NULL REFERENCES DcmResources(ResourceId),
    ContractRef TEXT NOT NULL, DayRateGbp REAL NOT NULL, ContractedDays INTEGER NOT NULL, WindowOpen TEXT NOT NULL,
    WindowClose TEXT NOT NULL, PlannedMobilisation TEXT NOT NULL, PlannedDemobilisation TEXT NOT NULL,
    ActualMobilisation TEXT, ActualDemobilisation TEXT, CampaignStatus TEXT NOT NULL
);
CREATE TABLE DcmActivities (
    ActivityId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES DcmProjects(ProjectId),
    WellId INTEGER REFERENCES DcmWells(WellId), CampaignId INTEGER REFERENCES DcmVesselCampaigns(CampaignId),
    CalendarId INTEGER NOT NULL REFERENCES DcmCalendars(CalendarId), ActivityNumber TEXT NOT NULL UNIQUE,
    ActivityName TEXT NOT NULL, ActivityType TEXT NOT NULL, Phase TEXT NOT NULL, WorkArea TEXT,
    DurationHrs REAL NOT NULL, RemainingHrs REAL NOT NULL, PlannedStart TEXT NOT NULL, PlannedFinish TEXT NOT NULL,
    LateStart TEXT, LateFinish TEXT, ActualStart TEXT, ActualFinish TEXT, BaselineStart TEXT, BaselineFinish TEXT,
    TotalFloatHrs REAL, FreeFloatHrs REAL, IsCritical INTEGER NOT NULL, PercentComplete REAL NOT NULL,
    ActivityStatus TEXT NOT NULL
);
CREATE TABLE DcmActivityLinks (
    LinkId INTEGER PRIMARY KEY, PredecessorActivityId INTEGER NOT NULL REFERENCES DcmActivities(ActivityId),
    SuccessorActivityId INTEGER NOT NULL REFERENCES DcmActivities(ActivityId), LinkType TEXT NOT NULL,
    LagHrs REAL NOT NULL
);
CREATE TABLE DcmBaselines (
    BaselineId INTEGER PRIMARY KEY, ProjectId INTEGER NOT NULL REFERENCES DcmProjects(ProjectId),
    BaselineCode TEXT NOT NULL, BaselineName TEXT NOT NULL, ApprovedDate TEXT NOT NULL, ApprovedBy TEXT NOT NULL,
    IsCurrent INTEGER NOT NULL
);
CREATE TABLE DcmBaselineActivities (
    BaselineActivityId INTEGER PRIMARY KEY, BaselineId INTEGER NOT NULL REFERENCES DcmBaselines(BaselineId),
    ActivityId INTEGER NOT NULL REFERENCES DcmActivities(ActivityId), BaselineStart TEXT NOT NULL,
    BaselineFinish TEXT NOT NULL, BaselineDurationHrs REAL NOT NULL, BaselineTotalFloatHrs REAL
);
CREATE TABLE DcmAssignments (
    AssignmentId INTEGER PRIMARY KEY, ActivityId INTEGER NOT NULL REFERENCES DcmActivities(ActivityId),
    ResourceId INTEGER NOT NULL REFERENCES DcmResources(ResourceId), PlannedHrs REAL NOT NULL, ActualHrs REAL NOT NULL,
    RemainingHrs REAL NOT NULL, PlannedCostGbp REAL NOT NULL, ActualCostGbp REAL NOT NULL
);
CREATE TABLE DcmDowntimeEvents (
    DowntimeId INTEGER PRIMARY KEY, ActivityId INTEGER NOT NULL REFERENCES DcmActivities(ActivityId),
    CampaignId INTEGER REFERENCES DcmVesselCampaigns(CampaignId), EventDate TEXT NOT NULL, DowntimeType TEXT NOT NULL,
    Cause TEXT NOT NULL, HoursLost REAL NOT NULL, WaveHeightM REAL, WindSpeedKnots REAL, CostOfDowntimeGbp REAL NOT NULL
);
CREATE TABLE DcmPermits (
    PermitId INTEGER PRIMARY KEY, PermitNumber TEXT NOT NULL UNIQUE, ProjectId INTEGER NOT NULL REFERENCES DcmProjects(ProjectId),
    ActivityId INTEGER REFERENCES DcmActivities(ActivityId), WellId INTEGER REFERENCES DcmWells(WellId),
    PermitType TEXT NOT NULL, Regulator TEXT NOT NULL, SubmittedDate TEXT, RequiredBy TEXT NOT NULL, ApprovedDate TEXT,
    ExpiryDate TEXT, PermitStatus TEXT NOT NULL
);
CREATE TABLE DcmPobDaily (
    PobId INTEGER PRIMARY KEY, PobDate TEXT NOT NULL, Location TEXT NOT NULL,
    CampaignId INTEGER REFERENCES DcmVesselCampaigns(CampaignId), BedCapacity INTEGER NOT NULL,
    CoreCrew INTEGER NOT NULL, ProjectCrew INTEGER NOT NULL, PersonnelOnBoard INTEGER NOT NULL
);
CREATE TABLE DcmWasteManifests (
    ManifestId INTEGER PRIMARY KEY, ManifestNumber TEXT NOT NULL UNIQUE,
    ProjectId INTEGER NOT NULL REFERENCES DcmProjects(ProjectId), ActivityId INTEGER NOT NULL REFERENCES DcmActivities(ActivityId),
    WellId INTEGER REFERENCES DcmWells(WellId), WasteCategory TEXT NOT NULL, MaterialDescription TEXT NOT NULL,
    ShippedDate TEXT NOT NULL, ReceivedDate TEXT, ReceivingSite TEXT NOT NULL, Tonnes REAL NOT NULL,
    RecycledTonnes REAL NOT NULL, LandfillTonnes REAL NOT NULL, IsHazardous INTEGER NOT NULL, ManifestStatus TEXT NOT NULL
);
CREATE TABLE DcmRisks (
    RiskId INTEGER PRIMARY KEY, RiskCode TEXT NOT NULL UNIQUE, ProjectId INTEGER NOT NULL REFERENCES DcmProjects(ProjectId),
    ActivityId INTEGER REFERENCES DcmActivities(ActivityId), RiskTitle TEXT NOT NULL, RiskCategory TEXT NOT NULL,
    Probability INTEGER NOT NULL, Impact INTEGER NOT NULL, RiskScore INTEGER NOT NULL, RiskOwner TEXT NOT NULL,
    RiskStatus TEXT NOT NULL, CostExposureGbp REAL NOT NULL, ScheduleExposureHrs REAL NOT NULL, Mitigation TEXT NOT NULL,
    RaisedDate TEXT NOT NULL, NextReview TEXT NOT NULL
);
CREATE TABLE DcmLessonsLearned (
    LessonId INTEGER PRIMARY KEY, LessonCode TEXT NOT NULL UNIQUE, ProjectId INTEGER NOT NULL REFERENCES DcmProjects(ProjectId),
    ActivityId INTEGER REFERENCES DcmActivities(ActivityId), WellId INTEGER REFERENCES DcmWells(WellId),
    LessonTitle TEXT NOT NULL, LessonCategory TEXT NOT NULL, WhatHappened TEXT NOT NULL, Recommendation TEXT NOT NULL,
    RaisedBy TEXT NOT NULL, RaisedDate TEXT NOT NULL, HoursImpact REAL NOT NULL, LessonStatus TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

BANK_HOLIDAYS = {
    "2024-12-25", "2024-12-26", "2025-01-01", "2025-04-18", "2025-04-21", "2025-05-05", "2025-05-26", "2025-08-25",
    "2025-12-25", "2025-12-26", "2026-01-01", "2026-04-03", "2026-04-06", "2026-05-04", "2026-05-25", "2026-08-31",
    "2026-12-25", "2026-12-28", "2027-01-01", "2027-03-26", "2027-03-29", "2027-05-03", "2027-05-31",
}
OFFICE_CLOSURE = _span("2024-12-27", "2024-12-31") + _span("2025-12-29", "2025-12-31") + _span("2026-12-29", "2026-12-31")
YARD_SHUTDOWN = _span("2025-12-22", "2026-01-02") + _span("2026-12-21", "2027-01-01")

CALENDARS = [
    # id, code, name, work days (0 = Mon), pattern, hours a day, rotation, notes, kind
    (1, "OFFSHORE-24-7", "Offshore 24/7 two 12-hour shifts", set(range(7)), "Mon-Sun", 24.0,
     "2 weeks on / 3 weeks off", "Platform and rig work on Skerrow Alpha and Skerrow Bravo; no holidays offshore",
     "offshore"),
    (2, "MARINE-SEASON", "Marine season 24/7 (April to October)", set(range(7)), "Mon-Sun, 1 Apr - 31 Oct", 24.0,
     "3 weeks on / 3 weeks off", "Heavy-lift and dive support vessel work; the weather window is closed from "
     "1 November to 31 March", "season"),
    (3, "YARD-5D", "Kelmouth Quay yard Mon-Fri 07:00-17:00", {0, 1, 2, 3, 4}, "Mon-Fri", 10.0, None,
     "Onshore disposal yard; bank holidays and the Christmas yard shutdown", "yard"),
    (4, "OFFICE-5D", "Aberlyn office Mon-Fri 08:30-16:30", {0, 1, 2, 3, 4}, "Mon-Fri", 8.0, None,
     "Engineering, procurement and permitting; bank holidays and the Christmas office closure", "office"),
    (5, "ELAPSED-24-7", "Elapsed time (regulator reviews, lead times)", set(range(7)), "Mon-Sun", 24.0, None,
     "Regulator review periods, fabrication and vessel lead times; no exceptions", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[8]
        self.off = {}
        if kind == "season":
            for y in range(2024, 2029):
                for d in _span(f"{y}-01-01", f"{y}-03-31") + _span(f"{y}-11-01", f"{y}-12-31"):
                    self.off[d] = ("Window Closed", "Winter - marine weather window closed")
        if kind in ("yard", "office"):
            for d in BANK_HOLIDAYS:
                self.off[dt.date.fromisoformat(d)] = ("Bank Holiday", "Bank holiday")
            for d in (YARD_SHUTDOWN if kind == "yard" else OFFICE_CLOSURE):
                self.off.setdefault(d, ("Shutdown", "Christmas shutdown"))


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, SEA, YRD, OFC, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

OPERATOR = "Norvane Energy"
DIRECTOR = "Catriona Veldhuis"        # decommissioning director
PLANNER = "Tomas Ferreira-Bain"       # lead planner
WELLS_LEAD = "Duncan Mabey"           # well engineering superintendent
MARINE = "Ingrid Sollas"              # marine superintendent
YARD_MGR = "Rajiv Pattinson"          # yard manager
HSE = "Morag Tennant"                 # HSE and environment lead
NBOR = "North Basin Offshore Regulator"
CMLA = "Coastal Marine Licensing Authority"
SED = "Shoreline Environment Directorate"

PROJECTS = [
    # key, code, name, installation, manager, contractor, AFE, start, margin (days), budget GBP m, cost factor,
    # re-plan (approved date, name)
    ("APA", "ALP-PA", "Skerrow Alpha platform wells plug and abandonment", "Skerrow Alpha", WELLS_LEAD,
     "Hawkrest Drilling", "AFE-D-2501", dt.date(2025, 8, 4), 0, 58.0, 1.14,
     (dt.date(2025, 10, 20), "BL1 Re-plan after sustained casing pressure on A-04")),
    ("BPA", "BRV-PA", "Skerrow Bravo wells plug and abandonment (jack-up)", "Skerrow Bravo", WELLS_LEAD,
     "Ardmore Offshore Drilling", "AFE-D-2502", dt.date(2025, 3, 3), 7, 31.5, 0.97, None),
    ("TSP", "ALP-TSP", "Skerrow Alpha topsides preparation and module separation", "Skerrow Alpha", "Owen Kilbride",
     "Calloway Offshore Services", "AFE-D-2503", dt.date(2025, 10, 20), 14, 22.0, 1.06, None),
    ("HLV", "HLV-26", "Heavy-lift removal of Bravo and Alpha topsides and jackets", "Field-wide", MARINE,
     "Thalassa Marine Contractors", "AFE-D-2504", dt.date(2025, 1, 6), 0, 96.0, 1.09,
     (dt.date(2025, 7, 28), "BL1 Re-plan after the 2025 heavy-lift vessel slot was lost")),
    ("PLR", "SUB-PL", "Subsea pipelines and umbilical flushing and removal", "Subsea", "Ewan Dalgleish",
     "Seabrook Subsea", "AFE-D-2505", dt.date(2025, 3, 3), 14, 18.5, 1.03, None),
    ("YRD", "ONS-YRD", "Kelmouth Quay onshore reception, dismantling and recycling", "Kelmouth Quay yard", YARD_MGR,
     "Brannock Recycling", "AFE-D-2506", dt.date(2025, 3, 3), 0, 14.0, 0.98,
     (dt.date(2025, 8, 25), "BL1 Re-plan of yard reception after the heavy-lift campaign moved to 2026")),
]
PROJECT = {p[0]: p for p in PROJECTS}
PREFIX = {"APA": "APA", "BPA": "BPA", "TSP": "TSP", "HLV": "HLV", "PLR": "PLR", "YRD": "YRD"}

WELLS = [
    # name, installation, slot, type, zone, spud year, last production, MD m, complexity, tubing days
    ("A-01", "Skerrow Alpha", 1, "Oil Producer", "Harl Sandstone", 1991, "2024-09-30", 3420.0, "Category 2", 4),
    ("A-02", "Skerrow Alpha", 2, "Oil Producer", "Harl Sandstone", 1991, "2024-11-14", 3515.0, "Category 2", 3),
    ("A-03", "Skerrow Alpha", 3, "Water Injector", "Harl Sandstone", 1992, "2023-06-01", 3390.0, "Category 1", 3),
    ("A-04", "Skerrow Alpha", 4, "Oil Producer", "Harl Sandstone", 1992, "2024-12-20", 3660.0, "Category 3", 5),
    ("A-06", "Skerrow Alpha", 6, "Gas Injector", "Skerrow Chalk", 1994, "2022-03-31", 2980.0, "Category 2", 3),
    ("A-07", "Skerrow Alpha", 7, "Oil Producer", "Harl Sandstone", 1995, "2025-01-31", 3710.0, "Category 3", 5),
    ("A-08", "Skerrow Alpha", 8, "Oil Producer", "Skerrow Chalk", 1997, "2025-02-28", 3105.0, "Category 2", 4),
    ("A-09", "Skerrow Alpha", 9, "Oil Producer", "Harl Sandstone", 1998, "2025-02-28", 3880.0, "Category 3", 5),
    ("A-10", "Skerrow Alpha", 10, "Water Injector", "Harl Sandstone", 2001, "2024-06-30", 3460.0, "Category 2", 3),
    ("A-12", "Skerrow Alpha", 12, "Oil Producer", "Harl Sandstone", 2006, "2025-03-31", 4120.0, "Category 3", 6),
    ("A-13", "Skerrow Alpha", 13, "Observation", "Skerrow Chalk", 2008, None, 2890.0, "Category 1", 2),
    ("A-14", "Skerrow Alpha", 14, "Oil Producer", "Harl Sandstone", 2011, "2025-04-30", 4305.0, "Category 3", 6),
    ("B-01", "Skerrow Bravo", 1, "Oil Producer", "Harl Sandstone", 1996, "2024-08-31", 3240.0, "Category 2", 3),
    ("B-02", "Skerrow Bravo", 2, "Oil Producer", "Harl Sandstone", 1996, "2024-10-31", 3330.0, "Category 2", 4),
    ("B-03", "Skerrow Bravo", 3, "Water Injector", "Harl Sandstone", 1997, "2023-12-31", 3180.0, "Category 1", 3),
    ("B-04", "Skerrow Bravo", 4, "Oil Producer", "Harl Sandstone", 1999, "2024-12-31", 3560.0, "Category 2", 4),
    ("B-05", "Skerrow Bravo", 5, "Gas Lift Producer", "Harl Sandstone", 2003, "2024-12-31", 3610.0, "Category 3", 5),
    ("B-06", "Skerrow Bravo", 6, "Observation", "Skerrow Chalk", 2009, None, 2760.0, "Category 1", 2),
]

RESOURCES = [
    # code, name, type, discipline, company, crew size, day rate GBP, calendar
    ("RIG-MR2", "Hawkrest MR-2 modular rig", "Rig", "Drilling", "Hawkrest Drilling", 1, 118000.0, OFF),
    ("JU-ARD", "Ardmore Resolute jack-up", "Rig", "Drilling", "Ardmore Offshore Drilling", 1, 142000.0, OFF),
    ("HLV-TV", "Thalassa Vanguard heavy-lift vessel", "Vessel", "Marine", "Thalassa Marine Contractors", 1, 495000.0,
     SEA),
    ("DSV-ST", "Seabrook Tenacity dive support vessel", "Vessel", "Subsea", "Seabrook Subsea", 1, 98000.0, SEA),
    ("W2W-KB", "Kittiwake Bridge walk-to-work vessel", "Vessel", "Marine", "Gullholm Shipping", 1, 36000.0, OFF),
    ("ROV-WC", "Work-class ROV spread (2 ROVs)", "ROV", "Subsea", "Seabrook Subsea", 6, 21000.0, SEA),
    ("ROV-OB", "Observation ROV spread", "ROV", "Subsea", "Eelworks Subsea", 3, 9500.0, SEA),
    ("CRW-DRL", "Drill crew", "Crew", "Drilling", "Hawkrest Drilling", 14, 16800.0, OFF),
    ("CRW-CMT", "Cementing crew", "Crew", "Cementing", "Granitehold Well Services", 4, 7400.0, OFF),
    ("CRW-WL", "Wireline crew", "Crew", "Wireline", "Lodestar Wireline", 3, 6100.0, OFF),
    ("CRW-CUT", "Abrasive cutting crew", "Crew", "Cutting", "Jetcut Decom", 4, 8200.0, OFF),
    ("CRW-MEC", "Mechanical crew", "Crew", "Mechanical", "Calloway Offshore Services", 8, 9600.0, OFF),
    ("CRW-ELE", "Electrical and instrument crew", "Crew", "Electrical", "Calloway Offshore Services", 5, 6500.0, OFF),
    ("CRW-PRC", "Process flushing crew", "Crew", "Process", "Calloway Offshore Services", 6, 7800.0, OFF),
    ("CRW-RIG", "Rigging and lifting crew", "Crew", "Rigging", "Calloway Offshore Services", 6, 7200.0, OFF),
    ("CRW-SCF", "Scaffolding crew", "Crew", "Scaffolding", "Spanrig Access", 6, 5400.0, OFF),
    ("CRW-HAZ", "Hazardous materials crew (asbestos and NORM)", "Crew", "Hazardous Materials", "Clearwater Abatement", 4,
     6900.0, OFF),
    ("CRW-DIV", "Saturation dive team", "Crew", "Diving", "Seabrook Subsea", 12, 38000.0, SEA),
    ("CRW-YRD", "Yard dismantling crew", "Crew", "Yard", "Brannock Recycling", 10, 4600.0, YRD),
    ("CRW-WST", "Yard waste segregation team", "Crew", "Yard", "Brannock Recycling", 5, 2200.0, YRD),
    ("ENG-WELL", "Well engineering team", "Crew", "Engineering", "Norvane Energy", 4, 3800.0, OFC),
    ("ENG-REM", "Removal engineering team", "Crew", "Engineering", "Thalassa Marine Contractors", 6, 6200.0, OFC),
    ("ENG-SUB", "Subsea engineering team", "Crew", "Engineering", "Seabrook Subsea", 3, 3500.0, OFC),
    ("ENV-ADV", "Environmental and permitting advisers", "Crew", "Environmental", "Norvane Energy", 2, 1900.0, OFC),
]
KIND_RSRC = {
    "RIGUP": ["RIG-MR2", "CRW-DRL"], "KILL": ["RIG-MR2", "CRW-DRL", "CRW-CMT"], "BOP": ["RIG-MR2", "CRW-DRL"],
    "TBG": ["RIG-MR2", "CRW-DRL"], "PLUG": ["RIG-MR2", "CRW-DRL", "CRW-CMT"], "VER": ["RIG-MR2", "CRW-WL"],
    "CUT": ["CRW-CUT", "CRW-RIG"], "JMOVE": ["JU-ARD"], "WENG": ["ENG-WELL"],
    "FLUSH": ["CRW-PRC"], "ISO": ["CRW-ELE", "CRW-MEC"], "HAZ": ["CRW-HAZ", "CRW-SCF"], "SEP": ["CRW-MEC", "CRW-SCF"],
    "LP": ["CRW-MEC", "CRW-RIG"], "W2W": ["W2W-KB"],
    "REM": ["ENG-REM"], "HLV": ["HLV-TV"], "LIFT": ["HLV-TV", "CRW-RIG"], "JCUT": ["HLV-TV", "CRW-CUT", "ROV-WC"],
    "SUBENG": ["ENG-SUB"], "PIG": ["CRW-PRC"], "DSV": ["DSV-ST", "ROV-WC"], "DIVE": ["DSV-ST", "CRW-DIV", "ROV-WC"],
    "SURV": ["DSV-ST", "ROV-OB"], "ENV": ["ENV-ADV"],
    "YLOAD": ["CRW-YRD"], "YHAZ": ["CRW-YRD"], "YDIS": ["CRW-YRD"], "YSEG": ["CRW-WST"], "YPROC": ["CRW-YRD", "CRW-WST"],
}
# kinds whose rig or vessel comes from a campaign: for a well task the rig is the jack-up on Bravo
BRAVO_RIG = {"RIG-MR2": "JU-ARD"}

# slips (days added to the duration) and the activities added with a re-plan
SLIPS = {"APA.a04.rsv": 6, "APA.a07.tbg": 4, "APA.mob": 5, "APA.a02.cut": 2,
         "BPA.b05.tbg": 3, "BPA.jmove": 2, "BPA.b02.rsv": 1,
         "TSP.flush": 6, "TSP.pm.sep": 4, "TSP.edc": 5,
         "HLV.engA": 20, "HLV.mws": 5,
         "PLR.pl1874.pig": 3, "PLR.appr": 21, "PLR.pl1022.dis": 2,
         "YRD.quay": 12, "YRD.tubB": 3}
AFTER_REBASE = {"APA.a09.tbg": 3, "APA.a12.tbg": 4, "APA.a10.int": 2, "APA.a13.rsv": 2,
                "HLV.engA": 15, "HLV.rmsA": 10, "TSP.dm.hc": 3}
# started activities that are stopped at the data date
SUSPENDED = {"PLR.pl1874.cert", "TSP.um.sep"}


class Plan:
    def __init__(self, project):
        self.project = project
        self.tasks = []

    def add(self, key, name, dur, phase, preds=(), cal=OFF, kind=None, ms=None, area=None, well=None, camp=None,
            new=False, snet=None):
        full = f"{self.project}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, phase=phase,
                               preds=[p[1:] if p.startswith("@") else f"{self.project}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, area=area, well=well, camp=camp, new=new, prj=self.project,
                               slip=SLIPS.get(full, 0), snet=snet))
        return key


def well_tasks(p, wells, first_pred, camp, cut_pred):
    """The nine P&A activities of each well, the rig moving from one well to the next."""
    prev_env, prev_cut = first_pred, cut_pred
    for w in wells:
        name, *_, tbg = w
        k = name.replace("-", "").lower()
        area = f"Well {name} (slot {w[2]})"
        p.add(f"{k}.rig", f"Skid rig to slot and rig up - well {name}", 1, "Well P&A",
              prev_env if isinstance(prev_env, list) else [prev_env], kind="RIGUP",
              area=area, well=name, camp=camp)
        p.add(f"{k}.kill", f"Kill well and bullhead to reservoir - well {name}", 1, "Well P&A", [f"{k}.rig"],
              kind="KILL", area=area, well=name, camp=camp)
        p.add(f"{k}.bop", f"Nipple down tree, nipple up and test BOP - well {name}", 2, "Well P&A", [f"{k}.kill"],
              kind="BOP", area=area, well=name, camp=camp)
        p.add(f"{k}.tbg", f"Pull and lay down completion tubing - well {name}", tbg, "Well P&A", [f"{k}.bop"],
              kind="TBG", area=area, well=name, camp=camp)
        p.add(f"{k}.rsv", f"Set reservoir cement plug (primary barrier) - well {name}", 3, "Well P&A", [f"{k}.tbg"],
              kind="PLUG", area=area, well=name, camp=camp)
        p.add(f"{k}.ver", f"Barrier verification: tag and pressure test - well {name}", 1, "Well P&A", [f"{k}.rsv"],
              kind="VER", area=area, well=name, camp=camp)
        p.add(f"{k}.int", f"Set intermediate cement plug (secondary barrier) - well {name}", 2, "Well P&A",
              [f"{k}.ver"], kind="PLUG", area=area, well=name, camp=camp)
        p.add(f"{k}.env", f"Set environmental plug and nipple down BOP - well {name}", 2, "Well P&A", [f"{k}.int"],
              kind="PLUG", area=area, well=name, camp=camp)
        p.add(f"{k}.cut", f"Cut and recover casings and conductor - well {name}", 3, "Conductor Removal",
              [f"{k}.env"] + ([prev_cut] if prev_cut else []), kind="CUT", area=area, well=name, camp=camp)
        prev_env, prev_cut = f"{k}.env", f"{k}.cut"
    return prev_env, prev_cut


def plan_apa(p):
    p.add("start", "Alpha well P&A programme start", 0, "Well Engineering", ms="S")
    p.add("prog", "Alpha well P&A programmes and barrier schematics", 30, "Well Engineering", ["start"], cal=OFC,
          kind="WENG")
    p.add("mob", "Mobilise, install and commission modular rig on Alpha", 14, "Rig Mobilisation", ["prog:SS10"],
          kind="W2W", area="Alpha drill floor", camp="MR-ALP-25")
    wells = [w for w in WELLS if w[0].startswith("A")]
    prev_env, prev_cut = "mob", None
    for w in wells:
        if w[0] == "A-06":
            # sustained casing pressure on A-04 added a remediation step before the rig moved on
            p.add("a04.scp", "Remediate sustained casing pressure (perf and squeeze) - well A-04", 6, "Well P&A",
                  ["a04.env"], kind="PLUG", area="Well A-04 (slot 4)", well="A-04", camp="MR-ALP-25", new=True)
            prev_env = ["a04.env", "a04.scp"]
        prev_env, prev_cut = well_tasks(p, [w], prev_env, "MR-ALP-25", prev_cut)
    p.add("rigdn", "Rig down and demobilise modular rig from Alpha", 7, "Rig Mobilisation", [prev_env], kind="W2W",
          area="Alpha drill floor", camp="MR-ALP-25")
    p.add("done", "Alpha wells permanently abandoned", 0, "Well P&A", ["rigdn", prev_cut], ms="F")


def plan_bpa(p):
    p.add("start", "Bravo well P&A programme start", 0, "Well Engineering", ms="S")
    p.add("prog", "Bravo well P&A programmes and jack-up site survey", 20, "Well Engineering", ["start"], cal=OFC,
          kind="WENG")
    p.add("jmove", "Jack-up rig move, preload and skid cantilever over Bravo", 3, "Rig Mobilisation", ["prog"],
          kind="JMOVE", area="Skerrow Bravo 500m zone", camp="JU-BRV-25")
    wells = [w for w in WELLS if w[0].startswith("B")]
    prev_env, prev_cut = well_tasks(p, wells, "jmove", "JU-BRV-25", None)
    p.add("jdown", "Skid in cantilever, jack down and move off Bravo", 2, "Rig Mobilisation", [prev_env],
          kind="JMOVE", area="Skerrow Bravo 500m zone", camp="JU-BRV-25")
    p.add("done", "Bravo wells permanently abandoned", 0, "Well P&A", ["jdown", prev_cut], ms="F")


MODULES = [
    # key, name, hazardous days, separation days, lift point days, extra predecessors
    ("fb", "Flare boom", 4, 8, 5, []),
    ("cm", "Compression module", 10, 18, 8, []),
    ("pm", "Process module", 14, 24, 10, []),
    ("um", "Utilities module", 10, 16, 8, []),
    ("dm", "Drilling and wellbay module", 8, 12, 8, ["@APA.done"]),
    ("am", "Accommodation module and helideck", 8, 10, 6, ["down"]),
]


def plan_tsp(p):
    p.add("start", "Alpha topsides preparation start", 0, "Engineering", ms="S")
    p.add("edc", "Engineering-down-and-clean plan and isolation philosophy", 30, "Engineering", ["start"], cal=OFC,
          kind="WENG")
    p.add("flush", "Flush and purge process systems to hydrocarbon free", 20, "Cleaning and Making Safe",
          ["edc", "@PLR.pl1021.ver", "@PLR.pl1874.ver"], kind="FLUSH", area="Process systems")
    p.add("drain", "Drain and clean vessels, tanks and sumps", 15, "Cleaning and Making Safe", ["flush:SS10"],
          kind="FLUSH", area="Process systems")
    p.add("iso", "Cold-and-dark isolation of process and utility systems", 10, "Cleaning and Making Safe",
          ["drain"], kind="ISO", area="Whole topsides")
    p.add("tpow", "Temporary power and life support for reduced manning", 8, "Cleaning and Making Safe", ["iso:SS5"],
          kind="ISO", area="Utilities module")
    p.add("down", "Down-man Alpha to minimum POB and start walk-to-work", 5, "Cleaning and Making Safe",
          ["tpow", "@APA.rigdn"], kind="W2W", area="Accommodation module and helideck")
    prev = None
    for key, name, hz, sep, lp, extra in MODULES:
        area = name
        p.add(f"{key}.hc", f"Hydrocarbon-free certificate - {name}", 1, "Cleaning and Making Safe",
              ["iso"] + extra, kind="ISO", area=area)
        p.add(f"{key}.haz", f"Remove asbestos, NORM and hazardous materials - {name}", hz, "Module Separation",
              [f"{key}.hc"] + ([f"{prev}.haz"] if prev else []), kind="HAZ", area=area)
        p.add(f"{key}.sep", f"Cut interconnecting pipework, cables and bridges - {name}", sep, "Module Separation",
              [f"{key}.haz"] + ([f"{prev}.sep"] if prev else []), kind="SEP", area=area)
        p.add(f"{key}.lp", f"Install and certify lift points and reinforcement - {name}", lp, "Module Separation",
              [f"{key}.sep:SS2"], kind="LP", area=area)
        p.add(f"{key}.rfl", f"Ready for lift - {name}", 0, "Module Separation", [f"{key}.sep", f"{key}.lp"], ms="F")
        prev = key
    p.add("done", "Alpha topsides ready for removal", 0, "Module Separation", [f"{m[0]}.rfl" for m in MODULES], ms="F")


ALPHA_LIFTS = [("fb", "Flare boom", 1), ("cm", "Compression module", 2), ("pm", "Process module", 2),
               ("um", "Utilities module", 1), ("dm", "Drilling and wellbay module", 2),
               ("am", "Accommodation module and helideck", 1)]


def plan_hlv(p):
    p.add("start", "Heavy-lift removal programme start", 0, "Removal Engineering", ms="S")
    p.add("engB", "Removal engineering and lift studies - Bravo topsides and jacket", 60, "Removal Engineering",
          ["start"], cal=OFC, kind="REM")
    p.add("engA", "Removal engineering and lift studies - Alpha modules and jacket", 90, "Removal Engineering",
          ["engB:SS20"], cal=OFC, kind="REM")
    p.add("sfd", "Sea-fastening and grillage design", 30, "Removal Engineering", ["engB:SS30"], cal=OFC, kind="REM")
    p.add("mws", "Marine warranty surveyor approval of lift procedures", 20, "Removal Engineering", ["sfd", "engB"],
          cal=OFC, kind="REM")
    p.add("rmsB", "Regulator acceptance of removal method statement - Bravo", 45, "Consents", ["engB"], cal=ELP)
    p.add("rmsA", "Regulator acceptance of removal method statement - Alpha", 45, "Consents", ["engA"], cal=ELP)
    p.add("grl", "Fabricate grillages and sea-fastenings", 70, "Removal Engineering", ["sfd"], cal=ELP)
    p.add("slot", "Vessel slot lost - Bravo removal deferred to the 2026 season", 255, "Consents", ["mws"], cal=ELP,
          new=True, snet=dt.date(2025, 8, 18))
    p.add("mobB", "Mobilise Thalassa Vanguard to Skerrow Bravo", 3, "Marine Removal",
          ["mws", "rmsB", "grl", "slot", "@BPA.done", "@PLR.pl1022.dis"], cal=SEA, kind="HLV",
          area="Skerrow Bravo 500m zone", camp="HLV-BRV-26")
    p.add("btsL", "Lift Bravo topsides (single lift) and sea-fasten", 2, "Marine Removal", ["mobB"], cal=SEA,
          kind="LIFT", area="Skerrow Bravo topsides", camp="HLV-BRV-26")
    p.add("bjC", "Cut Bravo jacket piles (internal abrasive cutting)", 3, "Marine Removal", ["btsL"], cal=SEA,
          kind="JCUT", area="Skerrow Bravo jacket", camp="HLV-BRV-26")
    p.add("bjL", "Lift Bravo jacket and sea-fasten", 2, "Marine Removal", ["bjC"], cal=SEA, kind="LIFT",
          area="Skerrow Bravo jacket", camp="HLV-BRV-26")
    p.add("trB", "Transit to Kelmouth Quay and load-in Bravo topsides and jacket", 4, "Marine Removal", ["bjL"],
          cal=SEA, kind="HLV", area="Kelmouth Quay", camp="HLV-BRV-26")
    p.add("mobA", "Return to Skerrow Alpha and set up for module lifts", 2, "Marine Removal", ["trB", "mws", "rmsA"],
          cal=SEA, kind="HLV", area="Skerrow Alpha 500m zone", camp="HLV-ALP-26")
    prev = "mobA"
    trip = 1
    for n, (key, name, days) in enumerate(ALPHA_LIFTS, 1):
        p.add(f"{key}.L", f"Lift and sea-fasten {name}", days, "Marine Removal", [prev, f"@TSP.{key}.rfl"], cal=SEA,
              kind="LIFT", area=f"Skerrow Alpha {name.lower()}", camp="HLV-ALP-26")
        prev = f"{key}.L"
        if n % 3 == 0:
            p.add(f"tr{trip}", f"Transit to Kelmouth Quay and load-in Alpha modules (trip {trip})", 4,
                  "Marine Removal", [prev], cal=SEA, kind="HLV", area="Kelmouth Quay", camp="HLV-ALP-26")
            prev = f"tr{trip}"
            trip += 1
    p.add("ajtC", "Cut Alpha jacket top section at -45 m", 4, "Marine Removal", [prev, "@TSP.done"], cal=SEA,
          kind="JCUT", area="Skerrow Alpha jacket", camp="HLV-ALP-26")
    p.add("ajtL", "Lift Alpha jacket top section and sea-fasten", 2, "Marine Removal", ["ajtC"], cal=SEA, kind="LIFT",
          area="Skerrow Alpha jacket", camp="HLV-ALP-26")
    p.add("ajbC", "Cut Alpha jacket piles below seabed", 4, "Marine Removal", ["ajtL"], cal=SEA, kind="JCUT",
          area="Skerrow Alpha jacket", camp="HLV-ALP-26")
    p.add("ajbL", "Lift Alpha jacket bottom section and sea-fasten", 2, "Marine Removal", ["ajbC"], cal=SEA,
          kind="LIFT", area="Skerrow Alpha jacket", camp="HLV-ALP-26")
    p.add("tr3", "Transit to Kelmouth Quay and load-in Alpha jacket (trip 3)", 4, "Marine Removal", ["ajbL"], cal=SEA,
          kind="HLV", area="Kelmouth Quay", camp="HLV-ALP-26")
    p.add("demob", "Demobilise Thalassa Vanguard", 3, "Marine Removal", ["tr3"], cal=SEA, kind="HLV",
          area="Kelmouth Quay", camp="HLV-ALP-26")
    p.add("done", "All Skerrow structures removed", 0, "Marine Removal", ["demob"], ms="F")


PIPELINES = [
    # id, description, pig days, disconnect days, removal days, removal way
    ("PL1021", "10in oil line Alpha to Bravo (3.2 km)", 3, 2, 5, "Recover pipeline by reverse reel"),
    ("PL1022", "6in gas lift line Alpha to Bravo (3.2 km)", 2, 2, 4, "Recover pipeline by reverse reel"),
    ("PL1874", "16in oil export line Alpha to Hessary tee (11.4 km)", 5, 3, 4, "Rock-dump cut ends and leave in situ"),
    ("PL1876", "8in water injection line Alpha to Bravo (3.2 km)", 2, 2, 4, "Recover pipeline by reverse reel"),
    ("PLU1023", "Control umbilical Alpha to Bravo (3.3 km)", 1, 2, 3, "Recover umbilical by reel"),
]


def plan_plr(p):
    p.add("start", "Pipelines decommissioning start", 0, "Subsea Engineering", ms="S")
    p.add("appr", "Regulator approval of the pipelines decommissioning programme", 90, "Consents", ["start"], cal=ELP)
    p.add("proc", "Flushing, cleaning and disconnection procedures", 20, "Subsea Engineering", ["start"], cal=OFC,
          kind="SUBENG")
    p.add("dmob25", "Mobilise Seabrook Tenacity - 2025 disconnection campaign", 2, "Subsea Campaign",
          ["appr", "proc"], cal=SEA, kind="DSV", area="Skerrow field", camp="DSV-DIS-25")
    prev_pig, prev_dis = "proc", "dmob25"
    for pl, desc, pig, dis, rem, how in PIPELINES:
        k = pl.lower()
        area = f"{pl} {desc}"
        p.add(f"{k}.pig", f"Pig and flush {pl} to below 30 mg/l oil in water", pig, "Flushing", [prev_pig],
              kind="PIG", area=area)
        p.add(f"{k}.ver", f"Sample and verify flushing of {pl}", 1, "Flushing", [f"{k}.pig"], kind="PIG", area=area)
        p.add(f"{k}.dis", f"Disconnect risers, cut spools and cap ends - {pl}", dis, "Subsea Campaign",
              [f"{k}.ver", prev_dis], cal=SEA, kind="DIVE", area=area, camp="DSV-DIS-25")
        prev_pig, prev_dis = f"{k}.ver", f"{k}.dis"
    p.add("ddem25", "Demobilise Seabrook Tenacity - 2025 campaign", 2, "Subsea Campaign", [prev_dis], cal=SEA,
          kind="DSV", area="Skerrow field", camp="DSV-DIS-25")
    p.add("pl1874.cert", "Leave-in-situ consent for PL1874 (comparative assessment)", 280, "Consents", ["appr"],
          cal=ELP)
    p.add("dmob26", "Mobilise Seabrook Tenacity - 2026 removal campaign", 2, "Subsea Campaign", ["ddem25"], cal=SEA,
          kind="DSV", area="Skerrow field", camp="DSV-REM-26", snet=dt.date(2026, 4, 1))
    prev = "dmob26"
    for pl, desc, pig, dis, rem, how in PIPELINES:
        k = pl.lower()
        area = f"{pl} {desc}"
        p.add(f"{k}.mat", f"Recover mattresses and grout bags - {pl}", 2, "Subsea Campaign", [prev], cal=SEA,
              kind="DSV", area=area, camp="DSV-REM-26")
        extra = ["pl1874.cert"] if pl == "PL1874" else []
        p.add(f"{k}.rem", f"{how} - {pl}", rem, "Subsea Campaign", [f"{k}.mat"] + extra, cal=SEA,
              kind="DSV" if "Rock" in how else "DIVE", area=area, camp="DSV-REM-26")
        prev = f"{k}.rem"
    p.add("surv", "Post-decommissioning debris clearance and overtrawl survey", 5, "Subsea Campaign",
          [prev, "@HLV.ajbL"], cal=SEA, kind="SURV", area="Skerrow field", camp="DSV-REM-26")
    p.add("ddem26", "Demobilise Seabrook Tenacity - 2026 campaign", 2, "Subsea Campaign", ["surv"], cal=SEA,
          kind="DSV", area="Skerrow field", camp="DSV-REM-26")
    p.add("rep", "Close-out report for the pipelines to the regulator", 15, "Subsea Engineering", ["ddem26"], cal=OFC,
          kind="SUBENG")
    p.add("done", "Subsea pipelines decommissioned", 0, "Subsea Campaign", ["rep"], ms="F")


STRUCTURES = [
    # key, name, load-in predecessor, hazardous days, dismantling days
    ("bts", "Bravo topsides", "@HLV.trB", 6, 30),
    ("bjk", "Bravo jacket", "@HLV.trB", 2, 20),
    ("fb", "Alpha flare boom", "@HLV.tr1", 1, 6),
    ("cm", "Alpha compression module", "@HLV.tr1", 4, 18),
    ("pm", "Alpha process module", "@HLV.tr1", 5, 22),
    ("um", "Alpha utilities module", "@HLV.tr2", 4, 16),
    ("dm", "Alpha drilling and wellbay module", "@HLV.tr2", 5, 20),
    ("am", "Alpha accommodation module and helideck", "@HLV.tr2", 8, 18),
    ("ajt", "Alpha jacket top section", "@HLV.tr3", 2, 18),
    ("ajb", "Alpha jacket bottom section", "@HLV.tr3", 2, 15),
]


def plan_yrd(p):
    p.add("start", "Kelmouth Quay disposal programme start", 0, "Yard Preparation", ms="S")
    p.add("wmp", "Waste management plan and yard licence variation", 25, "Yard Preparation", ["start"], cal=OFC,
          kind="ENV")
    p.add("quay", "Quayside strengthening and skidway preparation", 40, "Yard Preparation", ["wmp:SS10"], cal=YRD,
          kind="YPROC", area="Kelmouth Quay berth 2")
    p.add("tubB", "Receive and process Bravo tubulars and conductors", 15, "Onshore Disposal",
          ["wmp", "@BPA.b06.cut"], cal=YRD, kind="YPROC", area="Kelmouth Quay tubulars bay")
    p.add("tubA", "Receive and process Alpha tubulars and conductors (rolling)", 105, "Onshore Disposal",
          ["wmp", "@APA.a03.cut"], cal=YRD, kind="YPROC", area="Kelmouth Quay tubulars bay")
    prev = None
    for key, name, loadin, hz, dis in STRUCTURES:
        area = f"Kelmouth Quay - {name}"
        p.add(f"{key}.load", f"Skid ashore and remove sea-fastenings - {name}", 2, "Onshore Disposal",
              [loadin, "quay"], cal=YRD, kind="YLOAD", area=area)
        p.add(f"{key}.haz", f"Hazardous waste survey and removal - {name}", hz, "Onshore Disposal", [f"{key}.load"],
              cal=YRD, kind="YHAZ", area=area)
        p.add(f"{key}.dis", f"Dismantle and size-reduce - {name}", dis, "Onshore Disposal",
              [f"{key}.haz"] + ([f"{prev}.dis:SS10"] if prev else []), cal=YRD, kind="YDIS", area=area)
        p.add(f"{key}.seg", f"Segregate and dispatch for recycling - {name}", 5, "Onshore Disposal",
              [f"{key}.dis:FF5"], cal=YRD, kind="YSEG", area=area)
        prev = key
    p.add("rep", "Close-out waste and recycling report to the regulator", 10, "Onshore Disposal",
          [f"{s[0]}.seg" for s in STRUCTURES] + ["tubA", "tubB"], cal=OFC, kind="ENV")
    p.add("done", "Onshore disposal complete", 0, "Onshore Disposal", ["rep"], ms="F")


PLANS = {"APA": plan_apa, "BPA": plan_bpa, "TSP": plan_tsp, "HLV": plan_hlv, "PLR": plan_plr, "YRD": plan_yrd}
FINISH = {k: "done" for k in PLANS}


def make_plan(prj):
    plan = Plan(prj[0])
    PLANS[prj[0]](plan)
    return plan


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its project's target completion."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "prj")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


CAMPAIGNS = [
    # code, name, project, resource, contract, day rate, contracted days, window open, window close, first key,
    # last key, status override
    ("JU-BRV-25", "Ardmore Resolute - Bravo well P&A", "BPA", "JU-ARD", "CTR-0417-JU", 142000.0, 120, "2025-03-15",
     "2025-10-31", "BPA.jmove", "BPA.jdown", None),
    ("MR-ALP-25", "Hawkrest MR-2 - Alpha well P&A", "APA", "RIG-MR2", "CTR-0422-MR", 118000.0, 240, "2025-08-01",
     "2026-06-30", "APA.mob", "APA.rigdn", None),
    ("DSV-DIS-25", "Seabrook Tenacity - 2025 riser disconnection", "PLR", "DSV-ST", "CTR-0430-DSV", 98000.0, 30,
     "2025-06-01", "2025-09-30", "PLR.dmob25", "PLR.ddem25", None),
    ("HLV-BRV-25", "Thalassa Vanguard - Bravo removal (2025 slot)", "HLV", "HLV-TV", "CTR-0401-HLV", 480000.0, 14,
     "2025-08-01", "2025-09-30", None, None, "Suspended"),
    ("HLV-BRV-26", "Thalassa Vanguard - Bravo topsides and jacket removal", "HLV", "HLV-TV", "CTR-0401-HLV-V1",
     495000.0, 16, "2026-04-15", "2026-06-30", "HLV.mobB", "HLV.trB", None),
    ("HLV-ALP-26", "Thalassa Vanguard - Alpha modules and jacket removal", "HLV", "HLV-TV", "CTR-0401-HLV-V1",
     495000.0, 40, "2026-05-01", "2026-09-30", "HLV.mobA", "HLV.demob", None),
    ("DSV-REM-26", "Seabrook Tenacity - 2026 pipeline removal and survey", "PLR", "DSV-ST", "CTR-0430-DSV-V2",
     104000.0, 45, "2026-04-01", "2026-10-31", "PLR.dmob26", "PLR.ddem26", None),
]

PERMITS_EXTRA = [
    # number, project, activity key, type, regulator, submitted, required by, approved, expiry, status
    ("NBOR/DP/2024/007", "HLV", "HLV.engB", "Decommissioning Programme Approval", NBOR, "2024-06-14", "2025-01-06",
     "2024-12-02", None, "Approved"),
    ("NBOR/DP/2025/011", "PLR", "PLR.appr", "Decommissioning Programme Approval", NBOR, "2025-02-21", "2025-06-02",
     "2025-06-20", None, "Approved"),
    ("CMLA/ML/2025/0331", "PLR", "PLR.pl1021.dis", "Marine Licence", CMLA, "2025-03-10", "2025-06-15", "2025-06-04",
     "2026-12-31", "Approved"),
    ("CMLA/ML/2026/0058", "PLR", "PLR.pl1021.rem", "Marine Licence", CMLA, "2026-01-19", "2026-04-15", None, None,
     "Submitted"),
    ("CMLA/DEP/2026/0012", "PLR", "PLR.pl1874.rem", "Deposit Consent (rock placement)", CMLA, "2026-02-09",
     "2026-05-01", None, None, "Submitted"),
    ("NBOR/CA/2025/004", "PLR", "PLR.pl1874.cert", "Leave-in-situ Derogation", NBOR, "2025-08-11", "2026-01-31", None,
     None, "Submitted"),
    ("CMLA/ML/2026/0071", "HLV", "HLV.mobB", "Marine Licence", CMLA, "2026-01-26", "2026-04-20", None, None,
     "Submitted"),
    ("NBOR/RMS/2025/002", "HLV", "HLV.rmsB", "Removal Method Statement Acceptance", NBOR, "2025-03-28", "2025-08-18",
     "2025-05-12", None, "Approved"),
    ("NBOR/RMS/2025/003", "HLV", "HLV.rmsA", "Removal Method Statement Acceptance", NBOR, "2025-07-25", "2026-05-14",
     "2025-09-17", None, "Approved"),
    ("NBOR/LIFT/2026/011", "HLV", "HLV.btsL", "Notification of Heavy-lift Operations", NBOR, None, "2026-05-03",
     None, None, "Draft"),
    ("NBOR/LIFT/2026/012", "HLV", "HLV.fb.L", "Notification of Heavy-lift Operations", NBOR, None, "2026-05-16",
     None, None, "Draft"),
    ("CMLA/ML/2025/0197", "HLV", None, "Marine Licence", CMLA, "2025-02-03", "2025-07-15", "2025-05-20", "2025-10-31",
     "Expired"),
    ("SED/WTL/2025/118", "YRD", "YRD.wmp", "Waste Transfer Licence Variation", SED, "2025-03-17", "2025-05-30",
     "2025-05-12", "2030-05-11", "Approved"),
    ("SED/NORM/2025/022", "YRD", "YRD.tubB", "NORM Disposal Authorisation", SED, "2025-04-07", "2025-08-01",
     "2025-07-14", "2028-07-13", "Approved"),
    ("SED/CHEM/2025/064", "TSP", "TSP.flush", "Offshore Chemical Permit", SED, "2025-07-07", "2025-09-15",
     "2025-08-29", "2026-08-28", "Approved"),
    ("SED/OPPC/2025/019", "PLR", "PLR.pl1021.pig", "Oil Discharge Permit (flushing)", SED, "2025-04-14", "2025-06-20",
     "2025-06-09", "2026-06-08", "Approved"),
    ("SED/WTL/2026/009", "YRD", "YRD.bts.load", "Hazardous Waste Consignment Registration", SED, None, "2026-05-01",
     None, None, "Draft"),
    ("NBOR/SAF/2026/004", "TSP", "TSP.down", "Safety Case Material Change (reduced manning)", NBOR, "2026-01-12",
     "2026-03-20", None, None, "Submitted"),
]

RISKS = [
    # project, activity key, title, category, probability, impact, owner, status, cost GBP, schedule hours,
    # mitigation, raised, next review
    ("APA", "APA.a04.rsv", "Sustained casing pressure on A-04 after the reservoir plug", "Well Integrity", 3, 5,
     WELLS_LEAD, "Occurred", 1650000.0, 144, "Perf and squeeze contingency; extra cement stocked", "2025-05-12",
     "2025-11-03"),
    ("APA", "APA.a14.tbg", "Stuck or corroded tubing on the deep wells", "Well Integrity", 3, 4, WELLS_LEAD, "Open",
     980000.0, 96, "Chemical cut and fishing tools on board; jar runs planned", "2025-06-09", "2026-03-20"),
    ("APA", "APA.a13.rsv", "Annulus cement not found on the observation well", "Well Integrity", 2, 4, WELLS_LEAD,
     "Open", 560000.0, 72, "Cement bond log before the plug; section mill ready", "2025-09-08", "2026-03-27"),
    ("APA", None, "Modular rig day rate overrun against the AFE", "Commercial", 4, 3, DIRECTOR, "Open", 2200000.0, 0,
     "Monthly AFE review; incentive on days per well", "2025-06-02", "2026-04-03"),
    ("APA", "APA.a12.cut", "Conductor cut fails at 3 m below mudline", "Technical", 2, 3, "Kieran Oduya", "Open",
     240000.0, 48, "Back-up mechanical cutter on board", "2025-11-17", "2026-04-10"),
    ("BPA", "BPA.jmove", "Jack-up punch-through at the Bravo location", "Marine", 2, 5, MARINE, "Closed", 3000000.0,
     168, "Seabed assessment at the location and preload monitoring", "2024-11-18", "2025-04-14"),
    ("BPA", "BPA.b05.tbg", "Gas lift mandrels stuck in B-05 completion", "Well Integrity", 3, 3, WELLS_LEAD,
     "Occurred", 420000.0, 72, "Cut above the mandrels; fishing run", "2025-03-24", "2025-06-30"),
    ("TSP", "TSP.pm.haz", "More asbestos than surveyed in the process module", "HSE", 3, 3, HSE, "Open", 380000.0,
     120, "Intrusive survey before separation; licensed crew booked", "2025-08-18", "2026-03-23"),
    ("TSP", "TSP.flush", "Flushing does not reach the hydrocarbon-free target", "Technical", 3, 4, "Owen Kilbride",
     "Occurred", 510000.0, 144, "Second flush with surfactant; sample every system", "2025-09-01", "2026-01-12"),
    ("TSP", "TSP.down", "Safety case change not accepted before down-manning", "Regulatory", 2, 4, HSE, "Open",
     300000.0, 240, "Early engagement with the regulator's case officer", "2025-12-01", "2026-03-16"),
    ("HLV", "HLV.slot", "Heavy-lift vessel previous client overruns", "Contracting", 4, 5, MARINE, "Occurred",
     6500000.0, 3600, "Re-plan to the 2026 season; firm slot with liquidated damages", "2025-03-03", "2025-08-04"),
    ("HLV", "HLV.btsL", "Lift weather limits exceeded on the Bravo topsides lift", "Weather", 3, 4, MARINE, "Open",
     1980000.0, 96, "Lift in the June window; 4-day weather forecast gate", "2025-08-04", "2026-04-06"),
    ("HLV", "HLV.ajbC", "Alpha jacket pile cut depth not achieved", "Technical", 2, 4, "Kieran Oduya", "Open",
     1480000.0, 72, "Two cutting spreads; internal dredging first", "2025-09-22", "2026-05-04"),
    ("HLV", "HLV.rmsA", "Alpha removal method statement acceptance late", "Regulatory", 3, 3, MARINE, "Open",
     500000.0, 240, "Submit in stages; pre-meetings with the regulator", "2025-11-10", "2026-03-30"),
    ("HLV", "HLV.pm.L", "Process module weight higher than the weight report", "Technical", 2, 5, "Owen Kilbride",
     "Open", 2400000.0, 48, "Weighing by strain gauges before the lift", "2025-10-06", "2026-04-13"),
    ("PLR", "PLR.pl1874.cert", "Leave-in-situ derogation for PL1874 refused", "Regulatory", 2, 5, "Ewan Dalgleish",
     "Open", 4100000.0, 720, "Comparative assessment evidence; full removal option priced", "2025-08-11",
     "2026-03-20"),
    ("PLR", "PLR.pl1021.rem", "Reel vessel capacity short for PL1021", "Marine", 2, 3, "Ewan Dalgleish", "Open",
     350000.0, 48, "Cut into two lengths", "2025-10-20", "2026-04-17"),
    ("PLR", "PLR.pl1874.pig", "Wax in the export line slows flushing", "Technical", 3, 3, "Ewan Dalgleish",
     "Occurred", 160000.0, 72, "Wax dissolver slug; extra pig runs", "2025-04-28", "2025-08-25"),
    ("YRD", "YRD.quay", "Quay strengthening late for the first load-in", "Logistics", 3, 3, YARD_MGR, "Occurred",
     210000.0, 0, "Work quay strengthening in two shifts", "2025-04-14", "2025-09-29"),
    ("YRD", "YRD.bts.haz", "NORM scale above limits in Bravo topsides pipework", "HSE", 3, 3, HSE, "Open", 260000.0,
     80, "NORM treatment contract in place", "2025-05-19", "2026-04-20"),
    ("YRD", None, "Scrap steel price drop lowers recycling income", "Commercial", 3, 2, YARD_MGR, "Open", 450000.0, 0,
     "Price floor in the recycling contract", "2025-03-03", "2026-03-31"),
]

LESSONS = [
    # project, activity key, well, title, category, what happened, recommendation, raised by, raised, hours,
    # status
    ("BPA", "BPA.b05.tbg", "B-05", "Gas lift mandrels stuck in the completion", "Well P&A",
     "Two mandrels would not pass the BOP and the string had to be cut and fished",
     "Run a caliper log and plan a cut above the mandrels on every gas lift well", WELLS_LEAD, "2025-05-02", 72.0,
     "Actioned"),
    ("BPA", "BPA.jmove", None, "Preload took a day longer than planned", "Marine",
     "Soft seabed layer needed a second preload step", "Allow 24 hours extra preload at soft clay locations", MARINE,
     "2025-04-04", 48.0, "Closed"),
    ("BPA", "BPA.b06.cut", "B-06", "Abrasive cut of the conductor faster than planned", "Well P&A",
     "Cut finished in 14 hours against 24 planned", "Plan 16 hours for single-string conductor cuts", "Kieran Oduya",
     "2025-06-20", -10.0, "Closed"),
    ("APA", "APA.a04.rsv", "A-04", "Sustained casing pressure after the primary plug", "Well P&A",
     "Pressure built up in the A annulus after the reservoir plug; perf and squeeze needed",
     "Log annulus pressure for 72 hours before the rig leaves a Category 3 well", WELLS_LEAD, "2025-10-13", 144.0,
     "Actioned"),
    ("APA", "APA.a07.tbg", "A-07", "Corroded tubing parted on the way out", "Well P&A",
     "Tubing parted at 1,200 m and was fished in three runs", "Run a tubing integrity log on every 1990s producer",
     WELLS_LEAD, "2025-11-24", 96.0, "Open"),
    ("APA", "APA.mob", None, "Modular rig commissioning punch list", "Contracting",
     "Rig acceptance waited on 60 punch items", "Hold the rig contractor's factory acceptance before sail-away",
     DIRECTOR, "2025-07-21", 120.0, "Closed"),
    ("TSP", "TSP.flush", None, "Flushing water quality target missed on the first pass", "Engineering",
     "Oil in water stayed above 30 mg/l in the separators", "Add surfactant from the first flush", "Owen Kilbride",
     "2025-12-08", 144.0, "Actioned"),
    ("TSP", "TSP.cm.haz", None, "Asbestos gaskets found in compression module flanges", "HSE",
     "Survey had missed gaskets in 40 flanges", "Treat all pre-2000 flange gaskets as asbestos until tested", HSE,
     "2026-02-16", 36.0, "Open"),
    ("HLV", "HLV.slot", None, "Lost the 2025 heavy-lift slot", "Contracting",
     "The vessel's previous project overran and our window had no firm date", "Contract firm slots with "
     "liquidated damages and a back-up vessel", DIRECTOR, "2025-07-28", 3600.0, "Actioned"),
    ("PLR", "PLR.pl1874.pig", None, "Wax in the export line", "Engineering", "Three extra pig runs were needed",
     "Sample for wax before writing the flushing procedure", "Ewan Dalgleish", "2025-08-25", 72.0, "Closed"),
    ("PLR", "PLR.pl1022.dis", None, "Diver bottom time lost to tidal currents", "Marine",
     "Spool cuts at PL1022 only possible at slack water", "Plan riser disconnections around the tide tables", MARINE,
     "2025-09-15", 30.0, "Closed"),
    ("YRD", "YRD.quay", None, "Quay strengthening started late", "Logistics",
     "Licence variation took longer than planned", "Start the licence variation six months before quay works",
     YARD_MGR, "2025-10-06", 120.0, "Actioned"),
    ("YRD", "YRD.tubB", None, "NORM scale in Bravo tubulars", "HSE", "Scale readings above exemption levels on 30 "
     "joints", "Monitor every tubular joint on the quay before cutting", HSE, "2025-11-03", 24.0, "Open"),
]

WOW_CAUSES = [("Wave height above limit", (2.6, 4.8), (22, 38)), ("Wind above crane limit", (1.8, 3.2), (35, 52)),
              ("Swell above motion limit", (2.2, 3.6), (15, 28)), ("Fog - no helicopter flights", (0.8, 1.8), (5, 12)),
              ("Lightning - crane operations stopped", (1.5, 2.8), (20, 40))]
OTHER_DOWNTIME = [("Equipment Breakdown", "Top drive hydraulic failure"),
                  ("Equipment Breakdown", "Cement unit pump failure"),
                  ("Equipment Breakdown", "ROV umbilical fault"),
                  ("Waiting on Logistics", "Supply vessel late with cement"),
                  ("Waiting on Logistics", "Helicopter crew change cancelled"),
                  ("Waiting on Permit", "Waiting on regulator's consent")]


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    for row in CALENDARS:
        con.execute("INSERT INTO DcmCalendars VALUES (?,?,?,?,?,?,?)", (row[0], row[1], row[2], row[4], row[5],
                                                                        row[6], row[7]))
    rsrc_ids, rsrc_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO DcmResources VALUES (?,?,?,?,?,?,?,?,?)", (i,) + r[:7] + (cal_ids[r[7]],))
        rsrc_ids[r[0]], rsrc_row[r[0]] = i, r

    plans, tasks, keys = gather_plans(PROJECTS, make_plan, lambda g: g[7])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['prj']}.{FINISH[t['prj']]}")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(p[0], f"{p[0]}.{FINISH[p[0]]}", p[8], p[11] is not None) for p in PROJECTS],
        dt.date(2031, 1, 1), CALS[OFF])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    for k, extra in AFTER_REBASE.items():
        cdurs[k] += extra
    sched = cpm(tasks, keys, cdurs, links, anchors)
    sb, fb, lsb, lfb, free = sched

    # wells
    well_ids = {}
    well_keys = {}
    for k in keys:
        if tasks[k]["well"]:
            well_keys.setdefault(tasks[k]["well"], []).append(k)

    ids = dict(act=0, link=0, bl=0, bla=0, asg=0)
    act_ids, states, prj_ids, acts, bl_used, status_of = {}, {}, {}, {}, {}, {}
    # activities need the campaign and well ids first: campaigns need the schedule, so they are written first
    camp_ids = {c[0]: i for i, c in enumerate(CAMPAIGNS, 1)}
    for i, p in enumerate(PROJECTS, 1):
        prj_ids[p[0]] = i

    def hrs(k, days):
        return None if days is None else float(days) * CALS[tasks[k]["cal"]].hrs

    for k in keys:
        a = activity_at(DATA_DATE, tasks, k, cdurs, sched, *(
            (b1, d1) if PROJECT[tasks[k]["prj"]][11] else (b0, d0)), CALS, rng)
        acts[k] = a
        states[k] = a.state
        st = {"not": "Planned", "started": "Active", "done": "Complete"}[a.state]
        if k in SUSPENDED:
            assert a.state == "started", k
            st = "Suspended"
        status_of[k] = st

    for n, w in enumerate(WELLS, 1):
        wk = well_keys[w[0]]
        st = [states[k] for k in wk]
        if all(s == "done" for s in st):
            ws = "Complete"
        elif any(s != "not" for s in st):
            ws = "Suspended" if any(status_of[k] == "Suspended" for k in wk) else "Active"
        else:
            ws = "Planned"
        pre = f"{tasks[wk[0]]['prj']}.{w[0].replace('-', '').lower()}"
        pa_start = acts[f"{pre}.rig"].actual_start
        pa_finish = acts[f"{pre}.cut"].actual_finish
        ver = acts[f"{pre}.ver"]
        verified = 1 if ver.state == "done" else 0
        cut_depth = round(rng.choice([3.0, 3.0, 3.2, 3.5, 4.0]), 1) if acts[f"{pre}.cut"].state == "done" else None
        well_ids[w[0]] = n
        con.execute("INSERT INTO DcmWells VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (n, w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8], ws, iso(pa_start), iso(pa_finish),
                     verified, iso(ver.actual_finish) if verified else None, cut_depth))

    # projects
    for i, p in enumerate(PROJECTS, 1):
        pk, code, name, inst, mgr, contr, afe, start, _, budget, cost_f, rebase = p
        tkeys = [t["key"] for t in plans[pk].tasks]
        fin = f"{pk}.{FINISH[pk]}"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE
        started = any(states[k] != "not" and cdurs[k] > 0 for k in tkeys)
        status = "Complete" if done else ("Active" if started else "Planned")
        slack = CALS[OFF].wd(fb[fin], anchors[pk])
        rag = "Green" if done else ("Red" if fin_shown > tgt[pk] or slack < 0 else ("Amber" if slack <= 14 else "Green"))
        bud = budget * 1e6
        total = sum(cdurs[k] for k in tkeys)
        spent = sum(cdurs[k] - acts[k].remaining for k in tkeys if states[k] != "not")
        frac = spent / total if total else 0
        forecast = round(bud * cost_f, -4)
        actual = round(forecast * frac * rng.uniform(0.97, 1.03), -3) if not done else forecast
        con.execute("INSERT INTO DcmProjects VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, code, name, inst, mgr, contr, afe, bud, actual, forecast, iso(start), iso(tgt[pk]),
                     iso(fin_shown), iso(fin_shown) if done else None, iso(DATA_DATE), status, rag))

    # campaigns
    for i, c in enumerate(CAMPAIGNS, 1):
        code, name, pk, rc, ctr, rate, days, w_o, w_c, k1, k2, override = c
        if k1:
            pm_, pd_ = acts[k1].start, acts[k2].finish
            am = acts[k1].actual_start
            ad = acts[k2].actual_finish
            st = "Complete" if ad else ("Active" if am else "Planned")
        else:
            pm_, pd_ = dt.date(2025, 8, 18), dt.date(2025, 8, 31)
            am = ad = None
            st = override
        con.execute("INSERT INTO DcmVesselCampaigns VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, code, name, prj_ids[pk], rsrc_ids[rc], ctr, rate, days, w_o, w_c, iso(pm_), iso(pd_),
                     iso(am), iso(ad), st))

    # activities, baselines
    for i, p in enumerate(PROJECTS, 1):
        pk, code, name, inst, mgr, contr, afe, start, _, budget, cost_f, rebase = p
        tkeys = [t["key"] for t in plans[pk].tasks]
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        bl_used[pk] = (bl_src, bl_d)
        seq = 0
        for k in tkeys:
            t = tasks[k]
            ids["act"] += 1
            act_ids[k] = ids["act"]
            seq += 10
            a = acts[k]
            typ = {"task": "Task", "start": "Start Milestone", "finish": "Finish Milestone"}[a.kind]
            con.execute("INSERT INTO DcmActivities VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], i, well_ids.get(t["well"]), camp_ids.get(t["camp"]), cal_ids[t["cal"]],
                         f"{PREFIX[pk]}-{seq:04d}", t["name"], typ, t["phase"], t["area"], hrs(k, cdurs[k]),
                         hrs(k, a.remaining), iso(a.start), iso(a.finish), iso(a.late_start), iso(a.late_finish),
                         iso(a.actual_start), iso(a.actual_finish), iso(a.bl_start), iso(a.bl_finish),
                         hrs(k, a.total_float), hrs(k, a.free_float), 1 if a.critical else 0, a.pct, status_of[k]))
        bls = [(0, "BL0 Original baseline (AFE approval)", start - dt.timedelta(days=28), b0, d0)]
        if rebase:
            bls.append((1, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO DcmBaselines VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], i, f"BL{no}", bname, iso(bdate), DIRECTOR, 1 if no == len(bls) - 1 else 0))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, tkeys, bl, bd, CALS):
                ids["bla"] += 1
                con.execute("INSERT INTO DcmBaselineActivities VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), hrs(k, dur), hrs(k, tf)))
    for p_, s_, typ, lag in links:
        ids["link"] += 1
        con.execute("INSERT INTO DcmActivityLinks VALUES (?,?,?,?,?)",
                    (ids["link"], act_ids[p_], act_ids[s_], typ, float(lag * 24)))

    # resource assignments
    for k in keys:
        t = tasks[k]
        if cdurs[k] == 0:
            continue
        for rc in KIND_RSRC.get(t["kind"], []):
            if t["prj"] == "BPA":
                rc = BRAVO_RIG.get(rc, rc)
            r = rsrc_row[rc]
            cal = CALS[t["cal"]]
            base = t["dur"]
            pln = float(base * cal.hrs)
            rem_days = cal.wd(DATA_DATE + D1, fb[k]) if states[k] == "started" else 0
            act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], rem_days, rng)
            rate = r[6] / cal.hrs
            ids["asg"] += 1
            con.execute("INSERT INTO DcmAssignments VALUES (?,?,?,?,?,?,?,?)",
                        (ids["asg"], act_ids[k], rsrc_ids[rc], pln, act, rem_h, round(pln * rate, 2),
                         round(act * rate, 2)))

    # downtime events on offshore and marine activities worked up to the data date
    n = 0
    for k in keys:
        t = tasks[k]
        if t["cal"] not in (OFF, SEA) or states[k] == "not" or cdurs[k] == 0:
            continue
        days = worked_days(CALS[t["cal"]], sb[k], fb[k], DATA_DATE)
        camp = t["camp"]
        rate = next((c[5] for c in CAMPAIGNS if c[0] == camp), 60000.0)
        for d in days:
            roll = rng.random()
            winter = d.month in (10, 11, 12, 1, 2, 3)
            if roll < (0.16 if winter else 0.07):
                cause, (h0, h1), (w0, w1) = rng.choice(WOW_CAUSES)
                lost = float(rng.choice([3, 4, 6, 8, 10, 12, 12, 18, 24]))
                n += 1
                con.execute("INSERT INTO DcmDowntimeEvents VALUES (?,?,?,?,?,?,?,?,?,?)",
                            (n, act_ids[k], camp_ids.get(camp), iso(d), "Waiting on Weather", cause, lost,
                             round(rng.uniform(h0, h1), 1), float(rng.randint(w0, w1)), round(rate / 24 * lost, -2)))
            elif roll > 0.975:
                typ, cause = rng.choice(OTHER_DOWNTIME)
                lost = float(rng.choice([2, 4, 6, 8, 12]))
                n += 1
                con.execute("INSERT INTO DcmDowntimeEvents VALUES (?,?,?,?,?,?,?,?,?,?)",
                            (n, act_ids[k], camp_ids.get(camp), iso(d), typ, cause, lost, None, None,
                             round(rate / 24 * lost, -2)))

    # permits: one well intervention consent per well, then the other consents
    n = 0
    for w in WELLS:
        n += 1
        pk = "APA" if w[0].startswith("A") else "BPA"
        k = f"{pk}.{w[0].replace('-', '').lower()}.rig"
        req = acts[k].start
        if req <= DATA_DATE + dt.timedelta(days=10) or acts[k].state != "not":
            sub, appr = req - dt.timedelta(days=rng.randint(45, 70)), req - dt.timedelta(days=rng.randint(5, 20))
            status, exp = "Approved", req + dt.timedelta(days=365)
        else:
            sub, appr, status, exp = req - dt.timedelta(days=rng.randint(40, 60)), None, "Submitted", None
            if sub > DATA_DATE:
                sub, status = None, "Draft"
        con.execute("INSERT INTO DcmPermits VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                    (n, f"NBOR/WIC/{req.year}/{w[0]}", prj_ids[pk], act_ids[k], well_ids[w[0]],
                     "Well Intervention Consent", NBOR, iso(sub), iso(req), iso(appr), iso(exp), status))
    for pn, pk, k, typ, reg, sub, req, appr, exp, status in PERMITS_EXTRA:
        n += 1
        con.execute("INSERT INTO DcmPermits VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                    (n, pn, prj_ids[pk], act_ids[k] if k else None, None, typ, reg, sub, req, appr, exp, status))

    # personnel on board per day
    n = 0
    locs = [("Skerrow Alpha", None, 110, 34, lambda t: t["prj"] in ("APA", "TSP") or
             (t["prj"] == "PLR" and t["kind"] == "PIG"), dt.date(2025, 6, 1), DATA_DATE),
            ("Ardmore Resolute (Skerrow Bravo)", "JU-BRV-25", 120, 48, lambda t: t["prj"] == "BPA",
             acts["BPA.jmove"].start, acts["BPA.jdown"].finish),
            ("Seabrook Tenacity", "DSV-DIS-25", 96, 40, lambda t: t.get("camp") == "DSV-DIS-25",
             acts["PLR.dmob25"].start, acts["PLR.ddem25"].finish)]
    for loc, camp, beds, core, takes, first, last in locs:
        for d in _span(iso(first), iso(min(last, DATA_DATE))):
            crew = 0
            for k in keys:
                t = tasks[k]
                if not takes(t) or cdurs[k] == 0 or t["cal"] not in (OFF, SEA):
                    continue
                if sb[k] <= d < fb[k]:
                    for rc in KIND_RSRC.get(t["kind"], []):
                        r = rsrc_row[BRAVO_RIG.get(rc, rc) if t["prj"] == "BPA" else rc]
                        if r[2] == "Crew":
                            crew += r[5]
            if loc == "Skerrow Alpha" and d >= acts["TSP.down"].start:
                core = 14
            core_d = core + rng.randint(-3, 3)
            crew = min(crew + rng.randint(0, 6), beds - core_d)
            n += 1
            con.execute("INSERT INTO DcmPobDaily VALUES (?,?,?,?,?,?,?,?)",
                        (n, iso(d), loc, camp_ids.get(camp), beds, core_d, crew, core_d + crew))

    # waste manifests: tubing, casings and conductors from the wells, spools from the risers, yard dispatches
    n = 0
    per_year = {}
    for k in keys:
        t = tasks[k]
        if states[k] == "not":
            continue
        if t["kind"] == "TBG" and states[k] == "done":
            items = [("Tubulars", "Completion tubing (13Cr and carbon steel)", rng.uniform(60, 110), 0.97, 0)]
            if rng.random() < 0.35:
                items.append(("NORM Scale", "NORM-contaminated tubing joints", rng.uniform(3, 9), 0.0, 1))
        elif t["kind"] == "CUT" and states[k] == "done":
            items = [("Conductor", "30in conductor and 20in casing sections", rng.uniform(120, 190), 0.98, 0),
                     ("Cuttings and Grit", "Abrasive grit and cement cuttings", rng.uniform(4, 12), 0.0, 0)]
        elif t["kind"] == "DIVE" and t["prj"] == "PLR" and states[k] == "done":
            items = [("Steel", "Riser spool pieces and clamps", rng.uniform(25, 60), 0.95, 0)]
        elif t["kind"] == "FLUSH" and states[k] == "done":
            items = [("Hazardous Liquids", "Oily flushing water and sludge", rng.uniform(80, 220), 0.0, 1)]
        elif t["kind"] == "HAZ" and states[k] == "done":
            items = [("Asbestos", "Asbestos lagging and gaskets", rng.uniform(2, 6), 0.0, 1)]
        else:
            continue
        fin = acts[k].finish
        for cat, mat, tonnes, rec_f, haz in items:
            n += 1
            shipped = fin + dt.timedelta(days=rng.randint(2, 9))
            if shipped > DATA_DATE:
                shipped = DATA_DATE - dt.timedelta(days=1)
            recv = shipped + dt.timedelta(days=rng.randint(1, 4))
            tonnes = round(tonnes, 1)
            if recv > DATA_DATE:
                recv, mstatus, rec, land = None, "In Transit", 0.0, 0.0
            else:
                mstatus = "Closed" if (DATA_DATE - recv).days > 30 else "Received"
                rec = round(tonnes * rec_f, 1)
                land = round(tonnes - rec, 1) if cat not in ("Hazardous Liquids", "NORM Scale") else 0.0
            site = {"Hazardous Liquids": "Pellow Bay treatment works", "NORM Scale": "Varrick NORM facility",
                    "Asbestos": "Cresswold hazardous landfill"}.get(cat, "Kelmouth Quay yard")
            per_year[shipped.year] = per_year.get(shipped.year, 0) + 1
            con.execute("INSERT INTO DcmWasteManifests VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (n, f"WM-{shipped.year % 100:02d}-{per_year[shipped.year]:04d}", prj_ids[t["prj"]],
                         act_ids[k], well_ids.get(t["well"]), cat, mat, iso(shipped), iso(recv), site, tonnes, rec,
                         land, haz, mstatus))

    # risks and lessons learned
    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO DcmRisks VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, f"R-{PROJECT[r[0]][1]}-{n_by[r[0]]:02d}", prj_ids[r[0]], act_ids[r[1]] if r[1] else None,
                     r[2], r[3], r[4], r[5], r[4] * r[5], r[6], r[7], r[8], float(r[9]), r[10], r[11], r[12]))
    for i, l in enumerate(LESSONS, 1):
        con.execute("INSERT INTO DcmLessonsLearned VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, f"LL-{i:03d}", prj_ids[l[0]], act_ids[l[1]] if l[1] else None,
                     well_ids[l[2]] if l[2] else None, l[3], l[4], l[5], l[6], l[7], l[8], l[9], l[10]))
    con.commit()
    return con

# ---------------------------------------------------------------------------------------------- metadata

PRJ_FK = ("Project (DcmProjects.ProjectId)", "INTEGER")
ACT_FK = ("Activity (DcmActivities.ActivityId)", "INTEGER")

TABLE_META = {
    "DcmProjects": ("Projects of Norvane Energy's Skerrow field decommissioning programme: installation, project "
                    "manager, main contractor, AFE number, AFE budget against actual and forecast cost, planned start, "
                    "target, forecast and actual completion, data date, status and RAG", "programme", {
        "ProjectId": ("Project id", "INTEGER"),
        "ProjectCode": ("Project code, e.g. ALP-PA, HLV-26, SUB-PL", "TEXT"),
        "ProjectName": ("Project name, e.g. Skerrow Alpha platform wells plug and abandonment", "TEXT"),
        "Installation": ("Installation or site: Skerrow Alpha, Skerrow Bravo, Field-wide, Subsea, Kelmouth Quay yard",
                         "TEXT"),
        "ProjectManager": ("Operator's project manager", "TEXT"),
        "MainContractor": ("Main contractor of the project", "TEXT"),
        "AfeNumber": ("Authority for expenditure number, e.g. AFE-D-2504", "TEXT"),
        "AfeBudgetGbp": ("Approved AFE budget, GBP", "REAL"),
        "ActualCostGbp": ("Actual cost booked to the data date, GBP", "REAL"),
        "ForecastCostGbp": ("Forecast cost at completion, GBP", "REAL"),
        "PlannedStart": ("Planned start of the project", "DATE"),
        "TargetCompletion": ("Target completion date; total float is measured to it", "DATE"),
        "ForecastCompletion": ("Forecast completion from the current schedule", "DATE"),
        "ActualCompletion": ("Actual completion; null until complete", "DATE"),
        "DataDate": ("Schedule data date (status date)", "DATE"),
        "ProjectStatus": ("Planned, Active, Complete or Suspended", "TEXT"),
        "RagStatus": ("RAG status: Red (forecast after target), Amber (0 to 14 days float), Green", "TEXT"),
    }),
    "DcmCalendars": ("Work calendars: offshore 24/7, marine season 24/7 (April to October), onshore yard Mon-Fri, "
                     "office Mon-Fri and elapsed time, with hours a day and crew rotation", "scheduling", {
        "CalendarId": ("Calendar id", "INTEGER"),
        "CalendarCode": ("Calendar code, e.g. OFFSHORE-24-7, MARINE-SEASON, YARD-5D", "TEXT"),
        "CalendarName": ("Calendar name", "TEXT"),
        "WorkPattern": ("Working days of the week (and season)", "TEXT"),
        "HoursPerDay": ("Working hours a day: 24 offshore and at sea, 10 in the yard, 8 in the office", "REAL"),
        "Rotation": ("Crew rotation offshore, e.g. 2 weeks on / 3 weeks off; null onshore", "TEXT"),
        "CalendarNotes": ("What the calendar is used for and its non-working periods", "TEXT"),
    }),
    "DcmWells": ("Platform wells to plug and abandon on Skerrow Alpha (A-01 to A-14) and Skerrow Bravo (B-01 to "
                 "B-06): slot, type, reservoir, depth, P&A complexity, abandonment status, P&A dates, barrier "
                 "verification and conductor cut depth", "wells", {
        "WellId": ("Well id", "INTEGER"),
        "WellName": ("Well name, e.g. A-14, B-03 (platform letter and slot)", "TEXT"),
        "Installation": ("Skerrow Alpha or Skerrow Bravo", "TEXT"),
        "SlotNumber": ("Wellbay slot number", "INTEGER"),
        "WellType": ("Oil Producer, Water Injector, Gas Injector, Gas Lift Producer or Observation", "TEXT"),
        "ReservoirZone": ("Reservoir: Harl Sandstone or Skerrow Chalk", "TEXT"),
        "SpudYear": ("Year the well was drilled", "INTEGER"),
        "LastProductionDate": ("Last day the well produced or injected; null for observation wells", "DATE"),
        "MeasuredDepthM": ("Measured depth, metres", "REAL"),
        "PaComplexity": ("P&A complexity category: Category 1 (simple) to Category 3 (complex)", "TEXT"),
        "AbandonmentStatus": ("Planned, Active, Complete or Suspended", "TEXT"),
        "PaStart": ("Actual start of the well's P&A (rig on slot); null until started", "DATE"),
        "PaFinish": ("Actual finish of the well's P&A (conductor recovered); null until done", "DATE"),
        "BarrierVerified": ("Primary barrier verified by tag and pressure test: 1 or 0", "INTEGER"),
        "BarrierTestDate": ("Date of the barrier verification test; null until tested", "DATE"),
        "ConductorCutDepthM": ("Depth below mudline of the conductor cut, metres; null until cut", "REAL"),
    }),
    "DcmResources": ("Resources: rigs, vessels, ROV spreads and crews by discipline, with company, crew size, day "
                     "rate and calendar", "resources", {
        "ResourceId": ("Resource id", "INTEGER"),
        "ResourceCode": ("Resource code, e.g. HLV-TV, CRW-CMT, ROV-WC", "TEXT"),
        "ResourceName": ("Resource name, e.g. Thalassa Vanguard heavy-lift vessel, Cementing crew", "TEXT"),
        "ResourceType": ("Rig, Vessel, ROV or Crew", "TEXT"),
        "Discipline": ("Discipline, e.g. Drilling, Cementing, Wireline, Cutting, Marine, Subsea, Diving, Yard", "TEXT"),
        "Company": ("Company providing the resource", "TEXT"),
        "CrewSize": ("People in the crew or spread (1 for a rig or vessel)", "INTEGER"),
        "DayRateGbp": ("Day rate of the whole resource, GBP per calendar working day", "REAL"),
        "CalendarId": ("Calendar (DcmCalendars.CalendarId)", "INTEGER"),
    }),
    "DcmVesselCampaigns": ("Vessel and rig campaigns and their contracts: vessel or rig, contract reference, day "
                           "rate, contracted days, weather window, planned and actual mobilisation and "
                           "demobilisation, status", "marine", {
        "CampaignId": ("Campaign id", "INTEGER"),
        "CampaignCode": ("Campaign code, e.g. HLV-BRV-26, JU-BRV-25, DSV-REM-26", "TEXT"),
        "CampaignName": ("Campaign name", "TEXT"),
        "ProjectId": PRJ_FK,
        "ResourceId": ("Vessel or rig (DcmResources.ResourceId)", "INTEGER"),
        "ContractRef": ("Contract or variation reference", "TEXT"),
        "DayRateGbp": ("Contracted day rate, GBP", "REAL"),
        "ContractedDays": ("Days contracted", "INTEGER"),
        "WindowOpen": ("Start of the campaign's weather or contract window", "DATE"),
        "WindowClose": ("End of the campaign's weather or contract window", "DATE"),
        "PlannedMobilisation": ("Planned (forecast) mobilisation date", "DATE"),
        "PlannedDemobilisation": ("Planned (forecast) demobilisation date", "DATE"),
        "ActualMobilisation": ("Actual mobilisation; null until mobilised", "DATE"),
        "ActualDemobilisation": ("Actual demobilisation; null until demobilised", "DATE"),
        "CampaignStatus": ("Planned, Active, Complete or Suspended (a lost or deferred slot)", "TEXT"),
    }),
    "DcmActivities": ("Schedule activities and milestones of every project: well, campaign, calendar, phase, work "
                      "area, durations in hours, planned (early), late, actual and current-baseline dates, total and "
                      "free float in hours, critical flag, percent complete and status", "scheduling", {
        "ActivityId": ("Activity id", "INTEGER"),
        "ProjectId": PRJ_FK,
        "WellId": ("Well the activity works on (DcmWells.WellId); null when not a well activity", "INTEGER"),
        "CampaignId": ("Vessel or rig campaign (DcmVesselCampaigns.CampaignId); null when none", "INTEGER"),
        "CalendarId": ("Calendar (DcmCalendars.CalendarId)", "INTEGER"),
        "ActivityNumber": ("Activity number: project prefix and number, e.g. APA-1070, HLV-0240, YRD-0080", "TEXT"),
        "ActivityName": ("Activity name", "TEXT"),
        "ActivityType": ("Task, Start Milestone or Finish Milestone", "TEXT"),
        "Phase": ("Phase, e.g. Well P&A, Conductor Removal, Module Separation, Marine Removal, Flushing, "
                  "Subsea Campaign, Onshore Disposal, Consents", "TEXT"),
        "WorkArea": ("Where the work is: well and slot, module, jacket, pipeline, quay", "TEXT"),
        "DurationHrs": ("Current planned duration in HOURS (working days x the calendar's hours a day; offshore "
                        "days are 24 hours)", "REAL"),
        "RemainingHrs": ("Remaining duration in hours", "REAL"),
        "PlannedStart": ("Planned (early, forecast) start in the current schedule", "DATE"),
        "PlannedFinish": ("Planned (early, forecast) finish in the current schedule", "DATE"),
        "LateStart": ("Late start; null once complete", "DATE"),
        "LateFinish": ("Late finish; null once complete", "DATE"),
        "ActualStart": ("Actual start; null until started", "DATE"),
        "ActualFinish": ("Actual finish; null until complete", "DATE"),
        "BaselineStart": ("Start in the project's current baseline", "DATE"),
        "BaselineFinish": ("Finish in the project's current baseline", "DATE"),
        "TotalFloatHrs": ("Total float in HOURS to the project's target completion; null once complete", "REAL"),
        "FreeFloatHrs": ("Free float in hours; null once complete", "REAL"),
        "IsCritical": ("On the critical path: 1 or 0", "INTEGER"),
        "PercentComplete": ("Percent complete, 0-100", "REAL"),
        "ActivityStatus": ("Planned, Active, Complete or Suspended (started, then stopped)", "TEXT"),
    }),
    "DcmActivityLinks": ("Logic links between activities with type and lag in hours; some cross projects (the "
                         "heavy-lift module lifts wait for the modules' ready-for-lift milestones)", "scheduling", {
        "LinkId": ("Link id", "INTEGER"),
        "PredecessorActivityId": ("Predecessor (DcmActivities.ActivityId)", "INTEGER"),
        "SuccessorActivityId": ("Successor (DcmActivities.ActivityId)", "INTEGER"),
        "LinkType": ("FS, SS or FF", "TEXT"),
        "LagHrs": ("Lag in elapsed hours", "REAL"),
    }),
    "DcmBaselines": ("Baselines of each project: BL0 the original at AFE approval, BL1 a re-plan (Alpha wells, "
                     "heavy-lift campaign, yard)", "scheduling", {
        "BaselineId": ("Baseline id", "INTEGER"),
        "ProjectId": PRJ_FK,
        "BaselineCode": ("BL0 (original) or BL1 (re-plan)", "TEXT"),
        "BaselineName": ("Baseline name and reason", "TEXT"),
        "ApprovedDate": ("Date the baseline was approved", "DATE"),
        "ApprovedBy": ("Who approved it", "TEXT"),
        "IsCurrent": ("Current baseline of the project: 1 or 0", "INTEGER"),
    }),
    "DcmBaselineActivities": ("Activity dates, durations and float in each baseline", "scheduling", {
        "BaselineActivityId": ("Baseline activity id", "INTEGER"),
        "BaselineId": ("Baseline (DcmBaselines.BaselineId)", "INTEGER"),
        "ActivityId": ACT_FK,
        "BaselineStart": ("Start in that baseline", "DATE"),
        "BaselineFinish": ("Finish in that baseline", "DATE"),
        "BaselineDurationHrs": ("Duration in that baseline, hours", "REAL"),
        "BaselineTotalFloatHrs": ("Total float in that baseline, hours", "REAL"),
    }),
    "DcmAssignments": ("Resources assigned to activities: planned, actual and remaining hours and cost",
                       "resources", {
        "AssignmentId": ("Assignment id", "INTEGER"),
        "ActivityId": ACT_FK,
        "ResourceId": ("Resource (DcmResources.ResourceId)", "INTEGER"),
        "PlannedHrs": ("Planned hours of the resource on the activity", "REAL"),
        "ActualHrs": ("Actual hours booked to the data date", "REAL"),
        "RemainingHrs": ("Remaining hours", "REAL"),
        "PlannedCostGbp": ("Planned cost, GBP", "REAL"),
        "ActualCostGbp": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "DcmDowntimeEvents": ("Downtime on offshore and marine activities: waiting on weather (WOW) with wave height and "
                          "wind speed, equipment breakdowns, waiting on logistics or permits; hours lost and cost",
                          "operations", {
        "DowntimeId": ("Downtime event id", "INTEGER"),
        "ActivityId": ACT_FK,
        "CampaignId": ("Campaign (DcmVesselCampaigns.CampaignId); null when not on a campaign", "INTEGER"),
        "EventDate": ("Date of the downtime", "DATE"),
        "DowntimeType": ("Waiting on Weather, Equipment Breakdown, Waiting on Logistics or Waiting on Permit", "TEXT"),
        "Cause": ("What stopped the work", "TEXT"),
        "HoursLost": ("Hours lost", "REAL"),
        "WaveHeightM": ("Significant wave height, metres (weather events only)", "REAL"),
        "WindSpeedKnots": ("Wind speed, knots (weather events only)", "REAL"),
        "CostOfDowntimeGbp": ("Cost of the lost hours at the spread rate, GBP", "REAL"),
    }),
    "DcmPermits": ("Permits and consents from the regulators: well intervention consents per well, marine "
                   "licences, programme approvals, chemical and discharge permits, waste licences", "regulatory", {
        "PermitId": ("Permit id", "INTEGER"),
        "PermitNumber": ("Permit or consent number, e.g. NBOR/WIC/2026/A-14, CMLA/ML/2026/0058", "TEXT"),
        "ProjectId": PRJ_FK,
        "ActivityId": ("Activity the permit gates (DcmActivities.ActivityId); null when general", "INTEGER"),
        "WellId": ("Well (DcmWells.WellId) for a well intervention consent; else null", "INTEGER"),
        "PermitType": ("Type of permit or consent", "TEXT"),
        "Regulator": ("North Basin Offshore Regulator, Coastal Marine Licensing Authority or Shoreline "
                      "Environment Directorate", "TEXT"),
        "SubmittedDate": ("Date submitted; null while in draft", "DATE"),
        "RequiredBy": ("Date the permit is needed by (the gated activity's start)", "DATE"),
        "ApprovedDate": ("Date approved; null until approved", "DATE"),
        "ExpiryDate": ("Expiry date; null when none or not approved", "DATE"),
        "PermitStatus": ("Draft, Submitted, Approved or Expired", "TEXT"),
    }),
    "DcmPobDaily": ("Personnel on board (POB) per day on Skerrow Alpha, the Bravo jack-up and the dive support "
                    "vessel: bed capacity, core crew, project crew, total POB", "operations", {
        "PobId": ("POB record id", "INTEGER"),
        "PobDate": ("Date", "DATE"),
        "Location": ("Installation or vessel", "TEXT"),
        "CampaignId": ("Campaign (DcmVesselCampaigns.CampaignId) for a rig or vessel; null for the platform",
                       "INTEGER"),
        "BedCapacity": ("Beds available (maximum POB)", "INTEGER"),
        "CoreCrew": ("Operator's core crew on board", "INTEGER"),
        "ProjectCrew": ("Project and contractor crew on board", "INTEGER"),
        "PersonnelOnBoard": ("Total personnel on board (core + project)", "INTEGER"),
    }),
    "DcmWasteManifests": ("Waste manifests for material shipped ashore: tubulars, conductors, steel, NORM scale, "
                          "asbestos, oily water; tonnes recycled and landfilled, receiving site, status", "waste", {
        "ManifestId": ("Manifest id", "INTEGER"),
        "ManifestNumber": ("Manifest number, e.g. WM-26-0012 (year and sequence)", "TEXT"),
        "ProjectId": PRJ_FK,
        "ActivityId": ("Activity the waste came from (DcmActivities.ActivityId)", "INTEGER"),
        "WellId": ("Well the waste came from (DcmWells.WellId); null when not from a well", "INTEGER"),
        "WasteCategory": ("Tubulars, Conductor, Cuttings and Grit, Steel, NORM Scale, Asbestos or Hazardous Liquids",
                          "TEXT"),
        "MaterialDescription": ("What was shipped", "TEXT"),
        "ShippedDate": ("Date shipped from offshore", "DATE"),
        "ReceivedDate": ("Date received at the receiving site; null while in transit", "DATE"),
        "ReceivingSite": ("Yard, treatment works or landfill receiving the waste", "TEXT"),
        "Tonnes": ("Tonnes shipped", "REAL"),
        "RecycledTonnes": ("Tonnes recycled or reused", "REAL"),
        "LandfillTonnes": ("Tonnes sent to landfill", "REAL"),
        "IsHazardous": ("Hazardous waste: 1 or 0", "INTEGER"),
        "ManifestStatus": ("In Transit, Received or Closed", "TEXT"),
    }),
    "DcmRisks": ("Risk register: category, probability, impact, score, owner, status, cost exposure and schedule "
                 "exposure in hours, mitigation", "risk", {
        "RiskId": ("Risk id", "INTEGER"),
        "RiskCode": ("Risk code, e.g. R-HLV-26-02", "TEXT"),
        "ProjectId": PRJ_FK,
        "ActivityId": ("Activity the risk affects (DcmActivities.ActivityId); null when general", "INTEGER"),
        "RiskTitle": ("Risk title", "TEXT"),
        "RiskCategory": ("Category, e.g. Well Integrity, Marine, Weather, Regulatory, Technical, HSE, Commercial",
                         "TEXT"),
        "Probability": ("Probability 1-5", "INTEGER"),
        "Impact": ("Impact 1-5", "INTEGER"),
        "RiskScore": ("Probability x impact", "INTEGER"),
        "RiskOwner": ("Owner", "TEXT"),
        "RiskStatus": ("Open, Closed or Occurred", "TEXT"),
        "CostExposureGbp": ("Cost exposure, GBP", "REAL"),
        "ScheduleExposureHrs": ("Schedule exposure, hours", "REAL"),
        "Mitigation": ("Mitigation", "TEXT"),
        "RaisedDate": ("Date raised", "DATE"),
        "NextReview": ("Next review date", "DATE"),
    }),
    "DcmLessonsLearned": ("Lessons learned: what happened, recommendation, who raised it, hours gained or lost "
                          "(negative = time saved), status", "risk", {
        "LessonId": ("Lesson id", "INTEGER"),
        "LessonCode": ("Lesson code, e.g. LL-004", "TEXT"),
        "ProjectId": PRJ_FK,
        "ActivityId": ("Activity it came from (DcmActivities.ActivityId); null when general", "INTEGER"),
        "WellId": ("Well (DcmWells.WellId); null when not about a well", "INTEGER"),
        "LessonTitle": ("Lesson title", "TEXT"),
        "LessonCategory": ("Well P&A, Marine, HSE, Engineering, Logistics or Contracting", "TEXT"),
        "WhatHappened": ("What happened", "TEXT"),
        "Recommendation": ("What to do next time", "TEXT"),
        "RaisedBy": ("Who raised it", "TEXT"),
        "RaisedDate": ("Date raised", "DATE"),
        "HoursImpact": ("Hours lost (positive) or saved (negative)", "REAL"),
        "LessonStatus": ("Open, Actioned or Closed", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("DcmActivities", "DcmProjects", "DcmActivities.ProjectId = DcmProjects.ProjectId", "Activities of a project"),
    ("DcmActivities", "DcmWells", "DcmActivities.WellId = DcmWells.WellId", "Well an activity works on"),
    ("DcmActivities", "DcmVesselCampaigns", "DcmActivities.CampaignId = DcmVesselCampaigns.CampaignId",
     "Campaign an activity belongs to"),
    ("DcmActivities", "DcmCalendars", "DcmActivities.CalendarId = DcmCalendars.CalendarId", "Calendar of an activity"),
    ("DcmActivityLinks", "DcmActivities", "DcmActivityLinks.PredecessorActivityId = DcmActivities.ActivityId",
     "Predecessor of a link"),
    ("DcmActivityLinks", "DcmActivities", "DcmActivityLinks.SuccessorActivityId = DcmActivities.ActivityId",
     "Successor of a link"),
    ("DcmBaselines", "DcmProjects", "DcmBaselines.ProjectId = DcmProjects.ProjectId", "Baselines of a project"),
    ("DcmBaselineActivities", "DcmBaselines", "DcmBaselineActivities.BaselineId = DcmBaselines.BaselineId",
     "Rows of a baseline"),
    ("DcmBaselineActivities", "DcmActivities", "DcmBaselineActivities.ActivityId = DcmActivities.ActivityId",
     "Activity a baseline row stores"),
    ("DcmResources", "DcmCalendars", "DcmResources.CalendarId = DcmCalendars.CalendarId", "Calendar of a resource"),
    ("DcmAssignments", "DcmResources", "DcmAssignments.ResourceId = DcmResources.ResourceId",
     "Resource of an assignment"),
    ("DcmAssignments", "DcmActivities", "DcmAssignments.ActivityId = DcmActivities.ActivityId",
     "Activity a resource works on"),
    ("DcmVesselCampaigns", "DcmProjects", "DcmVesselCampaigns.ProjectId = DcmProjects.ProjectId",
     "Campaigns of a project"),
    ("DcmVesselCampaigns", "DcmResources", "DcmVesselCampaigns.ResourceId = DcmResources.ResourceId",
     "Vessel or rig of a campaign"),
    ("DcmDowntimeEvents", "DcmActivities", "DcmDowntimeEvents.ActivityId = DcmActivities.ActivityId",
     "Activity that lost the time"),
    ("DcmDowntimeEvents", "DcmVesselCampaigns", "DcmDowntimeEvents.CampaignId = DcmVesselCampaigns.CampaignId",
     "Campaign that lost the time"),
    ("DcmPermits", "DcmProjects", "DcmPermits.ProjectId = DcmProjects.ProjectId", "Permits of a project"),
    ("DcmPermits", "DcmActivities", "DcmPermits.ActivityId = DcmActivities.ActivityId", "Activity a permit gates"),
    ("DcmPermits", "DcmWells", "DcmPermits.WellId = DcmWells.WellId", "Well a consent covers"),
    ("DcmPobDaily", "DcmVesselCampaigns", "DcmPobDaily.CampaignId = DcmVesselCampaigns.CampaignId",
     "Campaign of a rig or vessel's POB"),
    ("DcmWasteManifests", "DcmProjects", "DcmWasteManifests.ProjectId = DcmProjects.ProjectId",
     "Manifests of a project"),
    ("DcmWasteManifests", "DcmActivities", "DcmWasteManifests.ActivityId = DcmActivities.ActivityId",
     "Activity the waste came from"),
    ("DcmWasteManifests", "DcmWells", "DcmWasteManifests.WellId = DcmWells.WellId", "Well the waste came from"),
    ("DcmRisks", "DcmProjects", "DcmRisks.ProjectId = DcmProjects.ProjectId", "Risks of a project"),
    ("DcmRisks", "DcmActivities", "DcmRisks.ActivityId = DcmActivities.ActivityId", "Activity a risk affects"),
    ("DcmLessonsLearned", "DcmProjects", "DcmLessonsLearned.ProjectId = DcmProjects.ProjectId",
     "Lessons of a project"),
    ("DcmLessonsLearned", "DcmActivities", "DcmLessonsLearned.ActivityId = DcmActivities.ActivityId",
     "Activity a lesson came from"),
    ("DcmLessonsLearned", "DcmWells", "DcmLessonsLearned.WellId = DcmWells.WellId", "Well a lesson is about"),
]

BUSINESS_RULES = {
    ("DcmActivities", "ActivityStatus"): ["Allowed Values: Planned, Active, Complete, Suspended"],
    ("DcmActivities", "ActivityType"): ["Allowed Values: Task, Start Milestone, Finish Milestone; milestones have "
                                        "DurationHrs = 0"],
    ("DcmActivities", "IsCritical"): ["Allowed Values: 1, 0", "Critical: IsCritical = 1 when TotalFloatHrs <= 0; "
                                      "complete activities are 0"],
    ("DcmActivities", "TotalFloatHrs"): ["Units: hours (an offshore day is 24 hours)",
                                         "Negative float: planned finish after the project's target completion",
                                         "Near critical: TotalFloatHrs between 1 and 168 (a week offshore)"],
    ("DcmActivities", "DurationHrs"): ["Units: hours; days = DurationHrs / DcmCalendars.HoursPerDay"],
    ("DcmActivities", "BaselineFinish"): ["Slipped: PlannedFinish > BaselineFinish"],
    ("DcmActivityLinks", "LinkType"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to "
                                       "finish)"],
    ("DcmActivityLinks", "LagHrs"): ["Units: elapsed hours"],
    ("DcmBaselines", "IsCurrent"): ["Allowed Values: 1, 0; one current baseline per project"],
    ("DcmBaselines", "BaselineCode"): ["Allowed Values: BL0 (original), BL1 (re-plan)"],
    ("DcmProjects", "ProjectStatus"): ["Allowed Values: Planned, Active, Complete, Suspended"],
    ("DcmProjects", "RagStatus"): ["Allowed Values: Red (forecast after target completion or negative float), Amber "
                                   "(0 to 14 days float), Green"],
    ("DcmProjects", "ForecastCostGbp"): ["Over AFE: ForecastCostGbp > AfeBudgetGbp"],
    ("DcmWells", "AbandonmentStatus"): ["Allowed Values: Planned, Active, Complete, Suspended"],
    ("DcmWells", "BarrierVerified"): ["Allowed Values: 1, 0"],
    ("DcmWells", "PaComplexity"): ["Allowed Values: Category 1, Category 2, Category 3"],
    ("DcmResources", "ResourceType"): ["Allowed Values: Rig, Vessel, ROV, Crew"],
    ("DcmVesselCampaigns", "CampaignStatus"): ["Allowed Values: Planned, Active, Complete, Suspended"],
    ("DcmDowntimeEvents", "DowntimeType"): ["Allowed Values: Waiting on Weather, Equipment Breakdown, Waiting on "
                                            "Logistics, Waiting on Permit", "WOW: DowntimeType = 'Waiting on Weather'"],
    ("DcmPermits", "PermitStatus"): ["Allowed Values: Draft, Submitted, Approved, Expired",
                                     "At risk: not Approved and RequiredBy within 30 days of the data date"],
    ("DcmPobDaily", "PersonnelOnBoard"): ["PersonnelOnBoard = CoreCrew + ProjectCrew <= BedCapacity"],
    ("DcmWasteManifests", "ManifestStatus"): ["Allowed Values: In Transit, Received, Closed"],
    ("DcmWasteManifests", "IsHazardous"): ["Allowed Values: 1, 0"],
    ("DcmRisks", "RiskStatus"): ["Allowed Values: Open, Closed, Occurred"],
    ("DcmRisks", "RiskScore"): ["High risk: RiskScore >= 12"],
    ("DcmLessonsLearned", "LessonStatus"): ["Allowed Values: Open, Actioned, Closed"],
}

CONCEPTS = {
    ("DcmActivities", "TotalFloatHrs"): ["total_float", "critical_path"],
    ("DcmActivities", "FreeFloatHrs"): ["free_float"],
    ("DcmActivities", "IsCritical"): ["critical_path"],
    ("DcmActivities", "PercentComplete"): ["percent_complete"],
    ("DcmActivities", "BaselineFinish"): ["baseline_variance"],
    ("DcmBaselineActivities", "BaselineFinish"): ["baseline_variance"],
    ("DcmActivityLinks", "LagHrs"): ["lag"],
    ("DcmProjects", "ForecastCostGbp"): ["afe_variance"],
    ("DcmProjects", "TargetCompletion"): ["target_completion"],
    ("DcmRisks", "RiskScore"): ["risk_exposure"],
    ("DcmDowntimeEvents", "HoursLost"): ["waiting_on_weather"],
    ("DcmWells", "BarrierVerified"): ["well_barrier"],
    ("DcmPobDaily", "PersonnelOnBoard"): ["pob"],
    ("DcmWasteManifests", "RecycledTonnes"): ["recycling_rate"],
    ("DcmVesselCampaigns", "WindowOpen"): ["weather_window"],
    ("DcmAssignments", "ActualCostGbp"): ["resource_cost"],
    ("DcmPermits", "PermitStatus"): ["consent"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Hours an activity can slip before its project misses its target completion",
    "free_float": "Hours an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a project's completion",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a link in elapsed hours",
    "baseline_variance": "Planned dates against the current (or original) baseline; later = slipped",
    "afe_variance": "Forecast cost at completion against the approved AFE budget",
    "target_completion": "The project's target completion date",
    "risk_exposure": "Probability x impact score of a risk",
    "waiting_on_weather": "Time lost waiting for wind, waves, swell or visibility to fall inside operating limits",
    "well_barrier": "Cement plug verified by tagging and pressure testing; a well is abandoned with verified "
                    "primary, secondary and environmental barriers",
    "pob": "Personnel on board an installation or vessel on a day, limited by its beds",
    "recycling_rate": "Recycled tonnes as a share of the tonnes shipped ashore",
    "weather_window": "Months when heavy-lift and diving work is possible (April to October)",
    "resource_cost": "Cost of rigs, vessels, ROVs and crews booked to activities",
    "consent": "Permit or consent from a regulator that an activity needs before it starts",
}

QUERY_EXAMPLES = [
    ("SELECT ProjectCode, ProjectName, TargetCompletion, ForecastCompletion, RagStatus FROM DcmProjects ORDER BY "
     "TargetCompletion;", "Projects with target and forecast completion", "simple"),
    ("SELECT a.ActivityNumber, a.ActivityName, a.PlannedStart, a.TotalFloatHrs FROM DcmActivities a JOIN DcmProjects "
     "p ON p.ProjectId = a.ProjectId WHERE p.ProjectCode = 'ALP-TSP' AND a.IsCritical = 1 ORDER BY a.PlannedStart;",
     "Critical activities of a project", "medium"),
    ("SELECT a.ActivityNumber, a.ActivityName, b.BaselineFinish, a.PlannedFinish FROM DcmActivities a JOIN "
     "DcmBaselineActivities b ON b.ActivityId = a.ActivityId JOIN DcmBaselines l ON l.BaselineId = b.BaselineId "
     "WHERE l.IsCurrent = 1 AND a.PlannedFinish > b.BaselineFinish;",
     "Activities planned to finish later than the current baseline", "complex"),
    ("SELECT WellName, WellType, PaComplexity, AbandonmentStatus FROM DcmWells WHERE Installation = 'Skerrow Bravo';",
     "Bravo wells and their abandonment status", "simple"),
    ("SELECT c.CampaignCode, r.ResourceName, c.DayRateGbp, c.PlannedMobilisation FROM DcmVesselCampaigns c JOIN "
     "DcmResources r ON r.ResourceId = c.ResourceId WHERE c.CampaignStatus = 'Planned';",
     "Planned vessel campaigns with their vessels and day rates", "medium"),
    ("SELECT c.CampaignCode, SUM(d.HoursLost) AS wow_hours FROM DcmDowntimeEvents d JOIN DcmVesselCampaigns c ON "
     "c.CampaignId = d.CampaignId WHERE d.DowntimeType = 'Waiting on Weather' GROUP BY c.CampaignCode;",
     "Waiting on weather hours by campaign", "medium"),
    ("SELECT PermitNumber, PermitType, Regulator, RequiredBy FROM DcmPermits WHERE PermitStatus IN ('Draft', "
     "'Submitted') ORDER BY RequiredBy;", "Permits not yet approved", "simple"),
    ("SELECT Location, MAX(PersonnelOnBoard) AS peak_pob FROM DcmPobDaily GROUP BY Location;",
     "Peak personnel on board by location", "simple"),
    ("SELECT WasteCategory, SUM(Tonnes) AS tonnes, SUM(RecycledTonnes) AS recycled FROM DcmWasteManifests GROUP BY "
     "WasteCategory;", "Waste tonnes and recycled tonnes by category", "simple"),
    ("SELECT s.ActivityNumber, s.ActivityName, l.LinkType, l.LagHrs FROM DcmActivityLinks l JOIN DcmActivities p ON "
     "p.ActivityId = l.PredecessorActivityId JOIN DcmActivities s ON s.ActivityId = l.SuccessorActivityId WHERE "
     "p.ActivityNumber = 'TSP-0370';", "Successors of an activity", "complex"),
    ("SELECT RiskCode, RiskTitle, RiskScore, CostExposureGbp FROM DcmRisks WHERE RiskStatus = 'Open' AND "
     "RiskScore >= 12;", "High open risks", "simple"),
]

KEYWORDS = {
    "float": ["DcmActivities.TotalFloatHrs", "DcmActivities.FreeFloatHrs", "total_float"],
    "TF": ["DcmActivities.TotalFloatHrs"],
    "critical": ["DcmActivities.IsCritical", "critical_path"],
    "predecessor": ["DcmActivityLinks.PredecessorActivityId", "DcmActivityLinks"],
    "successor": ["DcmActivityLinks.SuccessorActivityId", "DcmActivityLinks"],
    "baseline": ["DcmBaselines", "DcmBaselineActivities", "baseline_variance"],
    "project": ["DcmProjects"],
    "activity": ["DcmActivities"],
    "task": ["DcmActivities"],
    "well": ["DcmWells"],
    "P&A": ["DcmWells", "DcmActivities.Phase"],
    "plug": ["DcmActivities.ActivityName", "DcmWells"],
    "barrier": ["DcmWells.BarrierVerified", "well_barrier"],
    "conductor": ["DcmWells.ConductorCutDepthM", "DcmActivities.Phase"],
    "vessel": ["DcmVesselCampaigns", "DcmResources"],
    "rig": ["DcmVesselCampaigns", "DcmResources"],
    "campaign": ["DcmVesselCampaigns"],
    "day rate": ["DcmResources.DayRateGbp", "DcmVesselCampaigns.DayRateGbp"],
    "WOW": ["DcmDowntimeEvents", "waiting_on_weather"],
    "weather": ["DcmDowntimeEvents", "DcmVesselCampaigns.WindowOpen"],
    "downtime": ["DcmDowntimeEvents"],
    "permit": ["DcmPermits"],
    "consent": ["DcmPermits"],
    "licence": ["DcmPermits"],
    "POB": ["DcmPobDaily"],
    "waste": ["DcmWasteManifests"],
    "manifest": ["DcmWasteManifests"],
    "tonnes": ["DcmWasteManifests.Tonnes"],
    "recycling": ["DcmWasteManifests.RecycledTonnes"],
    "AFE": ["DcmProjects.AfeBudgetGbp", "afe_variance"],
    "cost": ["DcmProjects", "DcmAssignments"],
    "crew": ["DcmResources", "DcmAssignments"],
    "ROV": ["DcmResources.ResourceType"],
    "risk": ["DcmRisks"],
    "lesson": ["DcmLessonsLearned"],
    "calendar": ["DcmCalendars"],
}

TERMINOLOGY = {
    "P&A": "Plug and abandonment of a well",
    "WOW": "Waiting on weather",
    "POB": "Personnel on board",
    "HLV": "Heavy-lift vessel (Thalassa Vanguard)",
    "DSV": "Dive support vessel (Seabrook Tenacity)",
    "W2W": "Walk-to-work vessel (Kittiwake Bridge)",
    "ROV": "Remotely operated vehicle",
    "BOP": "Blowout preventer",
    "AFE": "Authority for expenditure (approved budget)",
    "EDC": "Engineering down and clean",
    "NORM": "Naturally occurring radioactive material (scale in tubulars and pipework)",
    "SCP": "Sustained casing pressure",
    "jack-up": "Self-elevating drilling rig (Ardmore Resolute on Bravo)",
    "MR-2": "Hawkrest MR-2 modular rig on Alpha",
    "TF": "Total float (hours)",
    "FF": "Free float (hours)",
    "data date": "Date up to which progress is recorded (2026-03-13)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF link": "Finish to finish link",
    "BL": "Baseline (BL0 original, BL1 re-plan)",
    "Hs": "Significant wave height",
}

RELATED_TERMS = {
    "DcmProjects": "project, programme, AFE, budget, scope",
    "DcmActivities": "activity, task, schedule line, milestone, job",
    "DcmWells": "well, slot, P&A, plug and abandonment, wellbore",
    "DcmResources": "resource, crew, rig, vessel, ROV, spread",
    "DcmAssignments": "assignment, hours, crew hours, cost",
    "DcmVesselCampaigns": "campaign, vessel contract, rig contract, mobilisation, window, HLV, DSV, jack-up",
    "DcmDowntimeEvents": "downtime, WOW, waiting on weather, NPT, breakdown",
    "DcmPermits": "permit, consent, licence, approval, regulator",
    "DcmPobDaily": "POB, personnel on board, manning, beds",
    "DcmWasteManifests": "waste, manifest, tonnes, recycling, landfill, disposal",
    "DcmRisks": "risk, risk register, threat",
    "DcmLessonsLearned": "lesson, lessons learned, learning",
    "DcmActivityLinks": "link, logic, relationship, dependency, predecessor, successor, tie",
    "DcmCalendars": "calendar, rotation, shift pattern, weather window",
    "DcmBaselines": "baseline, re-plan, re-baseline, BL0, BL1",
    "DcmBaselineActivities": "baseline dates, original dates",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="Id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout27"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="DcmActivities")


if __name__ == "__main__":
    sys.exit(main())
