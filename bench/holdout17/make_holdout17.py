#!/usr/bin/env python3
"""Build the seventeenth schedule database (an underground metals mine's development and capital programme,
all-lowercase concatenated table and column names) and its metadata.

Ardmoor Resources runs the Kestrel Hill copper-zinc mine: an underground mine reached by a decline, with a
concentrator and a tailings storage facility (TSF) on the surface. Its capital and development programme has
seven projects: the 1180 and 1220 level access developments, the main decline extension from 1180 to 1340 RL,
the second return air raise (RAR2, raise bored), the flotation circuit expansion, the TSF stage 4 embankment
lift and the 2025 major mill shutdown. RAR2 was re-baselined after its first pilot hole deviated out of
tolerance; the TSF lift after the regulator asked for more geotechnical work before the works approval.

Named the way an old mine reporting database is named: all-lowercase concatenated names with no separators
(project, wbsnode, activity, activitylink, baselineactivity, equipmentunit, crewassignment, shiftreport,
riskregister, changerequest, calendarexception; earlystart, totalfloat, metresadvanced, tonneshauled).
Keys are <table>id, flags are is* with 1 / 0. Activity status, project status, RAG, link type, delay code,
equipment type and status, change request status, delivery status and calendar exception type are short
codes; project type, phase, activity type, crew discipline, ownership, inspection result and risk status are
words.

Durations, remaining durations and float are in WORKING DAYS of the activity's calendar; lags are calendar
days. Underground development and raise boring work 7 days a week on two 12-hour shifts (day shift DS and
night shift NS) by two panels (A and B) on a week-on week-off swing; the surface construction works six
10-hour days; the plant shutdown runs 24/7. Each project is scheduled by one forward and one backward pass
against its target finish. Data date 2025-11-21.

Outputs go to bench/out/holdout17/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 171717
DATA_DATE = dt.date(2025, 11, 21)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import WorkDays, activity_at, anchored_baselines, assignment_hours, baseline_activities, check_with_history, default_out, forward_backward, describe_tables, main as build_main, metadata_document, day_span as _span, insert_calendars, iso, logic_links, parse_pred, shown_dates, wbs_rows, worked_days  # noqa: E402
DB_NAME = "holdout17_schedule.db"
META_NAME = "holdout17_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE project (
    projectid INTEGER PRIMARY KEY, projectcode TEXT NOT NULL UNIQUE, projectname TEXT NOT NULL,
    projecttype TEXT NOT NULL, minearea TEXT NOT NULL, projectmanager TEXT NOT NULL, sponsor TEXT NOT NULL,
    approvedbudget REAL NOT NULL, forecastcost REAL NOT NULL, actualcost REAL NOT NULL, approvaldate TEXT NOT NULL,
    targetfinish TEXT NOT NULL, forecastfinish TEXT NOT NULL, actualfinish TEXT, designmetres REAL,
    phase TEXT NOT NULL, projectstatus TEXT NOT NULL, ragstatus TEXT NOT NULL
);
CREATE TABLE wbsnode (
    wbsnodeid INTEGER PRIMARY KEY, projectid INTEGER NOT NULL REFERENCES project(projectid),
    parentwbsnodeid INTEGER REFERENCES wbsnode(wbsnodeid), wbscode TEXT NOT NULL, wbsname TEXT NOT NULL,
    wbslevel INTEGER NOT NULL
);
CREATE TABLE calendar (
    calendarid INTEGER PRIMARY KEY, calendarcode TEXT NOT NULL UNIQUE, calendarname TEXT NOT NULL,
    workweek TEXT NOT NULL, hoursperday REAL NOT NULL, notes TEXT
);
CREATE TABLE calendarexception (
    calendarexceptionid INTEGER PRIMARY KEY, calendarid INTEGER NOT NULL REFERENCES calendar(calendarid),
    exceptiondate TEXT NOT NULL, exceptiontype TEXT NOT NULL, reason TEXT NOT NULL
);
CREATE TABLE activity (
    activityid INTEGER PRIMARY KEY, projectid INTEGER NOT NULL REFERENCES project(projectid),
    wbsnodeid INTEGER NOT NULL REFERENCES wbsnode(wbsnodeid),
    calendarid INTEGER NOT NULL REFERENCES calendar(calendarid),
    activitycode TEXT NOT NULL UNIQUE, activityname TEXT NOT NULL, activitytype TEXT NOT NULL, location TEXT,
    designmetres REAL, originalduration REAL NOT NULL, remainingduration REAL NOT NULL, baselinestart TEXT,
    baselinefinish TEXT, earlystart TEXT NOT NULL, earlyfinish TEXT NOT NULL, latestart TEXT, latefinish TEXT,
    actualstart TEXT, actualfinish TEXT, totalfloat REAL, freefloat REAL, iscritical INTEGER NOT NULL,
    pctcomplete REAL NOT NULL, activitystatus TEXT NOT NULL
);
CREATE TABLE activitylink (
    activitylinkid INTEGER PRIMARY KEY, predecessorid INTEGER NOT NULL REFERENCES activity(activityid),
    successorid INTEGER NOT NULL REFERENCES activity(activityid), linktype TEXT NOT NULL, lagdays REAL NOT NULL
);
CREATE TABLE baseline (
    baselineid INTEGER PRIMARY KEY, projectid INTEGER NOT NULL REFERENCES project(projectid),
    baselineno INTEGER NOT NULL, baselinename TEXT NOT NULL, setdate TEXT NOT NULL, approvedby TEXT NOT NULL,
    iscurrent INTEGER NOT NULL
);
CREATE TABLE baselineactivity (
    baselineactivityid INTEGER PRIMARY KEY, baselineid INTEGER NOT NULL REFERENCES baseline(baselineid),
    activityid INTEGER NOT NULL REFERENCES activity(activityid), baselinestart TEXT NOT NULL,
    baselinefinish TEXT NOT NULL, baselineduration REAL NOT NULL, baselinetotalfloat REAL
);
CREATE TABLE crew (
    crewid INTEGER PRIMARY KEY, crewcode TEXT NOT NULL UNIQUE, crewname TEXT NOT NULL, discipline TEXT NOT NULL,
    employer TEXT NOT NULL, panel TEXT NOT NULL, headcount INTEGER NOT NULL, supervisor TEXT NOT NULL,
    dayrate REAL NOT NULL
);
CREATE TABLE equipmentunit (
    equipmentunitid INTEGER PRIMARY KEY, unitcode TEXT NOT NULL UNIQUE, unitname TEXT NOT NULL,
    equipmenttype TEXT NOT NULL, makemodel TEXT NOT NULL, ownership TEXT NOT NULL, supplier TEXT,
    hourlyrate REAL NOT NULL, smuhours REAL NOT NULL, unitstatus TEXT NOT NULL, statusdate TEXT NOT NULL
);
CREATE TABLE crewassignment (
    crewassignmentid INTEGER PRIMARY KEY, activityid INTEGER NOT NULL REFERENCES activity(activityid),
    crewid INTEGER NOT NULL REFERENCES crew(crewid), equipmentunitid INTEGER REFERENCES equipmentunit(equipmentunitid),
    plannedhours REAL NOT NULL, actualhours REAL NOT NULL, remaininghours REAL NOT NULL, plannedcost REAL NOT NULL,
    actualcost REAL NOT NULL
);
CREATE TABLE shiftreport (
    shiftreportid INTEGER PRIMARY KEY, projectid INTEGER NOT NULL REFERENCES project(projectid),
    activityid INTEGER NOT NULL REFERENCES activity(activityid), crewid INTEGER NOT NULL REFERENCES crew(crewid),
    equipmentunitid INTEGER REFERENCES equipmentunit(equipmentunitid), shiftdate TEXT NOT NULL, shift TEXT NOT NULL,
    hoursworked REAL NOT NULL, hourslost REAL NOT NULL, metresadvanced REAL NOT NULL, tonneshauled REAL NOT NULL,
    boltsinstalled INTEGER NOT NULL, volumeplaced REAL NOT NULL, delaycode TEXT, remarks TEXT NOT NULL
);
CREATE TABLE riskregister (
    riskregisterid INTEGER PRIMARY KEY, projectid INTEGER NOT NULL REFERENCES project(projectid),
    activityid INTEGER REFERENCES activity(activityid), riskref TEXT NOT NULL UNIQUE, risktitle TEXT NOT NULL,
    riskcategory TEXT NOT NULL, likelihood INTEGER NOT NULL, consequence INTEGER NOT NULL, riskscore INTEGER NOT NULL,
    costexposure REAL NOT NULL, scheduleexposuredays REAL NOT NULL, riskowner TEXT NOT NULL, mitigation TEXT NOT NULL,
    riskstatus TEXT NOT NULL, dateraised TEXT NOT NULL, nextreview TEXT NOT NULL
);
CREATE TABLE changerequest (
    changerequestid INTEGER PRIMARY KEY, projectid INTEGER NOT NULL REFERENCES project(projectid),
    crnumber TEXT NOT NULL UNIQUE, crtitle TEXT NOT NULL, crtype TEXT NOT NULL, raisedby TEXT NOT NULL,
    costimpact REAL NOT NULL, timeimpactdays REAL NOT NULL, crstatus TEXT NOT NULL, dateraised TEXT NOT NULL,
    decisiondate TEXT
);
CREATE TABLE inspection (
    inspectionid INTEGER PRIMARY KEY, projectid INTEGER NOT NULL REFERENCES project(projectid),
    activityid INTEGER NOT NULL REFERENCES activity(activityid), inspectionref TEXT NOT NULL UNIQUE,
    inspectiontype TEXT NOT NULL, location TEXT NOT NULL, inspectedby TEXT NOT NULL, inspector TEXT NOT NULL,
    inspectiondate TEXT NOT NULL, result TEXT NOT NULL, actionsraised INTEGER NOT NULL, actionsopen INTEGER NOT NULL,
    remarks TEXT NOT NULL
);
CREATE TABLE delivery (
    deliveryid INTEGER PRIMARY KEY, projectid INTEGER NOT NULL REFERENCES project(projectid),
    activityid INTEGER NOT NULL REFERENCES activity(activityid), ponumber TEXT NOT NULL, itemcode TEXT NOT NULL,
    itemdescription TEXT NOT NULL, qtyordered REAL NOT NULL, qtyreceived REAL NOT NULL, uom TEXT NOT NULL,
    supplier TEXT NOT NULL, requireddate TEXT NOT NULL, promiseddate TEXT NOT NULL, receiveddate TEXT,
    deliverystatus TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

PUBLIC_HOLIDAYS = {
    "2024-01-01": "New Year's Day", "2024-01-26": "Australia Day", "2024-03-04": "Labour Day",
    "2024-03-29": "Good Friday", "2024-04-01": "Easter Monday", "2024-04-25": "Anzac Day",
    "2024-06-03": "Western Australia Day", "2024-09-23": "King's Birthday", "2024-12-25": "Christmas Day",
    "2024-12-26": "Boxing Day",
    "2025-01-01": "New Year's Day", "2025-01-27": "Australia Day (substitute)", "2025-03-03": "Labour Day",
    "2025-04-18": "Good Friday", "2025-04-21": "Easter Monday", "2025-04-25": "Anzac Day",
    "2025-06-02": "Western Australia Day", "2025-09-29": "King's Birthday", "2025-12-25": "Christmas Day",
    "2025-12-26": "Boxing Day",
    "2026-01-01": "New Year's Day", "2026-01-26": "Australia Day", "2026-03-02": "Labour Day",
    "2026-04-03": "Good Friday", "2026-04-06": "Easter Monday", "2026-04-27": "Anzac Day (substitute)",
    "2026-06-01": "Western Australia Day", "2026-09-28": "King's Birthday", "2026-12-25": "Christmas Day",
    "2026-12-28": "Boxing Day (substitute)",
    "2027-01-01": "New Year's Day", "2027-01-26": "Australia Day", "2027-03-01": "Labour Day",
    "2027-03-26": "Good Friday", "2027-03-29": "Easter Monday", "2027-04-26": "Anzac Day (substitute)",
    "2027-06-07": "Western Australia Day", "2027-09-27": "King's Birthday",
}
CAL_FROM, CAL_TO = dt.date(2024, 1, 1), dt.date(2027, 12, 31)

OFFICE_XMAS = (_span("2024-12-24", "2025-01-01") + _span("2025-12-24", "2026-01-02")
               + _span("2026-12-24", "2027-01-01") + _span("2027-12-24", "2027-12-31"))
SURFACE_BREAK = (_span("2024-12-21", "2025-01-05") + _span("2025-12-20", "2026-01-05")
                 + _span("2026-12-19", "2027-01-04") + _span("2027-12-18", "2027-12-31"))
UG_XMAS = ["2024-12-25", "2025-12-25", "2026-12-25", "2027-12-25"]
SEISMIC = {"2025-05-14": "Seismic exclusion - ML 2.1 event at 1240 decline, area closed for re-entry assessment",
           "2025-05-15": "Seismic exclusion - ML 2.1 event at 1240 decline, area closed for re-entry assessment",
           "2025-09-08": "Seismic exclusion - ML 1.8 event near the 1280 decline"}
SAFETY_RESET = {"2025-03-20": "Site-wide safety reset day after high-potential incident",
                "2025-08-27": "Site-wide safety reset day - fatigue management"}
WET = {"2025-02-10": "Wet weather - cyclone rain band, haul roads closed",
       "2025-02-11": "Wet weather - cyclone rain band, haul roads closed",
       "2025-02-12": "Wet weather - cyclone rain band, haul roads closed",
       "2025-03-24": "Wet weather - storm", "2025-07-02": "Wet weather - winter front",
       "2025-07-03": "Wet weather - winter front", "2025-10-14": "Wet weather - thunderstorm and lightning"}

CALENDARS = [
    # id, code, name, work days (0 = Mon), week, hours a day, notes, kind
    (1, "OFF5D8", "Mine office Mon-Fri 8h", {0, 1, 2, 3, 4}, "Mon-Fri", 8.0,
     "Engineering, approvals and project controls; public holidays and the Christmas close-down", "office"),
    (2, "UG7D2X12", "Underground development 7-day 2 x 12h (panels A/B)", set(range(7)), "Mon-Sun", 24.0,
     "Day shift and night shift, panels A and B on a 7 on / 7 off swing; stops on Christmas Day, seismic "
     "exclusions and safety reset days", "ug"),
    (3, "RB7D2X12", "Raise boring 7-day 2 x 12h", set(range(7)), "Mon-Sun", 24.0,
     "Raise-bore contractor on day and night shift; stops on Christmas Day and safety reset days", "rb"),
    (4, "SURF6D10", "Surface construction Mon-Sat 10h", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 10.0,
     "Plant expansion and TSF earthworks; public holidays, the Christmas break and wet weather days", "surface"),
    (5, "SHUT24X7", "Plant shutdown 24/7", set(range(7)), "Mon-Sun", 24.0,
     "Mill shutdown and commissioning windows run around the clock", "shut"),
    (6, "ELAPSED", "7-day elapsed", set(range(7)), "Mon-Sun", 24.0,
     "Supplier lead times, approvals and deliveries", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[7]
        self.off = {}
        if kind in ("elapsed", "shut"):
            return
        if kind in ("ug", "rb"):
            for d in UG_XMAS:
                self.off[dt.date.fromisoformat(d)] = ("XMAS", "Christmas Day - underground stood down")
            for d, why in SAFETY_RESET.items():
                self.off[dt.date.fromisoformat(d)] = ("SAFE", why)
            if kind == "ug":
                for d, why in SEISMIC.items():
                    self.off[dt.date.fromisoformat(d)] = ("SEIS", why)
            return
        for d, name in PUBLIC_HOLIDAYS.items():
            self.off[dt.date.fromisoformat(d)] = ("PH", f"Public holiday - {name}")
        if kind == "office":
            for d in OFFICE_XMAS:
                self.off.setdefault(d, ("XMAS", "Christmas and New Year office close-down"))
            return
        for d in SURFACE_BREAK:
            self.off.setdefault(d, ("XMAS", "Christmas break - surface contractors demobilised"))
        for d, why in WET.items():
            self.off[dt.date.fromisoformat(d)] = ("WET", why)
        for d, why in SAFETY_RESET.items():
            self.off[dt.date.fromisoformat(d)] = ("SAFE", why)


CALS = {row[1]: Cal(row) for row in CALENDARS}
OFF, UG, RB, SURF, SHUT, ELP = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

MINE_MANAGER = "Joanne Petrakis"
PLANNER = "Lachlan Ferris"
GEOTECH = "Priyanka Natarajan"
VENT_ENG = "Owen Bracewell"
UG_SUPER = "Craig Mundine"
PLANT_SUPER = "Ruth Okonkwo"
INSPECTORATE = "Mines Inspectorate"
TSF_ENGINEER = "Hallett Geotechnical (engineer of record)"

PROJECTS = [
    # code, name, type, area, project manager, sponsor, approval date, margin (office working days),
    # budget AUD m, cost factor, re-baseline (date, name) or None
    ("C2403", "1180 Level Access Development", "Development", "Underground", "Tomasz Wieczorek", MINE_MANAGER,
     dt.date(2024, 9, 30), 15, 9.6, 0.97, None),
    ("C2407", "Flotation Circuit Expansion", "Plant", "Processing", "Ngaire Holloway", "Graham Tulloch",
     dt.date(2024, 11, 4), 6, 38.5, 1.12, None),
    ("C2501", "Main Decline Extension 1180-1340", "Development", "Underground", "Tomasz Wieczorek", MINE_MANAGER,
     dt.date(2025, 1, 13), 16, 16.2, 1.04, None),
    ("C2502", "Return Air Raise 2 (RAR2)", "Ventilation", "Underground", "Declan Fairweather", MINE_MANAGER,
     dt.date(2025, 3, 4), 0, 7.4, 1.15, (dt.date(2025, 6, 23), "BL1 Re-plan after pilot hole deviation")),
    ("C2504", "TSF Stage 4 Embankment Lift", "Tailings", "Surface", "Marisol Okafor", "Graham Tulloch",
     dt.date(2025, 3, 4), 0, 12.8, 1.09, (dt.date(2025, 8, 11), "BL1 Re-plan after works approval delay")),
    ("C2506", "2025 Major Mill Shutdown", "Shutdown", "Processing", "Brendan Achterberg", "Graham Tulloch",
     dt.date(2025, 5, 5), 10, 4.3, 0.96, None),
    ("C2508", "1220 Level Access Development", "Development", "Underground", "Declan Fairweather", MINE_MANAGER,
     dt.date(2025, 8, 4), 25, 10.1, 1.0, None),
]

CREWS = [
    # code, name, discipline, employer, panel, headcount, supervisor, day rate AUD (per head)
    ("TS1", "Mine technical services", "Engineering", "Ardmoor Resources", "DAY", 5, PLANNER, 1150.0),
    ("JD1A", "Jumbo development crew 1 - panel A", "Development", "Ardmoor Resources", "A", 8, "Wayne Kopecky",
     1380.0),
    ("JD1B", "Jumbo development crew 1 - panel B", "Development", "Ardmoor Resources", "B", 8, "Hemi Tawhiri",
     1380.0),
    ("JD2A", "Jumbo development crew 2 - panel A", "Development", "Deepcut Underground Contracting", "A", 8,
     "Shane Polglase", 1460.0),
    ("JD2B", "Jumbo development crew 2 - panel B", "Development", "Deepcut Underground Contracting", "B", 8,
     "Kirra Lindqvist", 1460.0),
    ("SV1A", "Underground services crew - panel A", "Services", "Ardmoor Resources", "A", 4, "Dale Ferreira",
     1290.0),
    ("SV1B", "Underground services crew - panel B", "Services", "Ardmoor Resources", "B", 4, "Mick Ostrowski",
     1290.0),
    ("RBCA", "Raise bore crew - panel A", "Raise Boring", "Vertex Raiseboring Pty Ltd", "A", 3, "Gus Varney",
     1520.0),
    ("RBCB", "Raise bore crew - panel B", "Raise Boring", "Vertex Raiseboring Pty Ltd", "B", 3, "Tane Whitford",
     1520.0),
    ("CIV1", "Surface civil and concrete crew", "Civil", "Redgum Civil Pty Ltd", "DAY", 10, "Bronte Gallagher",
     1180.0),
    ("EWK1", "Earthworks fleet crew", "Earthworks", "Redgum Civil Pty Ltd", "DAY", 9, "Lyle Nankervis", 1210.0),
    ("SMP1", "Structural, mechanical and piping crew", "Mechanical", "Ironbark Industrial Services", "DAY", 12,
     "Pete Drazic", 1340.0),
    ("EIC1", "Electrical and instrumentation crew", "Electrical", "Spinifex Electrical", "DAY", 8,
     "Alannah Reyes", 1390.0),
    ("COM1", "Plant commissioning team", "Commissioning", "Ardmoor Resources", "DAY", 5, PLANT_SUPER, 1420.0),
    ("MTDS", "Shutdown maintenance crew - day shift", "Maintenance", "Coastline Shutdown Services", "DS", 18,
     "Fergus Altmann", 1310.0),
    ("MTNS", "Shutdown maintenance crew - night shift", "Maintenance", "Coastline Shutdown Services", "NS", 16,
     "Ivana Markovic", 1310.0),
]

EQUIPMENT = [
    # code, name, type, make and model, ownership, supplier, hourly rate AUD, SMU hours, status, status date
    ("JM01", "Jumbo 1", "JUMBO", "Brannock BX22 twin-boom", "Owned", None, 285.0, 18420.0, "AV", "2025-11-20"),
    ("JM02", "Jumbo 2", "JUMBO", "Brannock BX22 twin-boom", "Contractor", "Deepcut Underground Contracting",
     310.0, 22910.0, "BD", "2025-11-19"),
    ("JM03", "Jumbo 3", "JUMBO", "Brannock BX23 twin-boom", "Contractor", "Deepcut Underground Contracting",
     320.0, 6140.0, "AV", "2025-11-21"),
    ("LH01", "Bogger 1", "LHD", "Korvel LH517 17t loader", "Owned", None, 240.0, 26780.0, "AV", "2025-11-21"),
    ("LH02", "Bogger 2", "LHD", "Korvel LH517 17t loader", "Owned", None, 240.0, 24105.0, "PM", "2025-11-20"),
    ("LH03", "Bogger 3", "LHD", "Korvel LH621 21t loader", "Contractor", "Deepcut Underground Contracting",
     265.0, 9870.0, "AV", "2025-11-21"),
    ("TK01", "Truck 1", "TRUCK", "Korvel MT54 54t haul truck", "Owned", None, 260.0, 31250.0, "AV", "2025-11-21"),
    ("TK02", "Truck 2", "TRUCK", "Korvel MT54 54t haul truck", "Owned", None, 260.0, 29840.0, "AV", "2025-11-21"),
    ("TK03", "Truck 3", "TRUCK", "Korvel MT65 65t haul truck", "Hired", "Pindan Plant Hire", 295.0, 4420.0, "BD",
     "2025-11-17"),
    ("IT01", "Integrated tool carrier 1", "IT", "Korvel IT-14 tool carrier", "Owned", None, 180.0, 12560.0, "AV",
     "2025-11-21"),
    ("CU01", "Charge-up unit 1", "CHG", "Kalgan CM2 charge-up unit", "Owned", None, 175.0, 8730.0, "AV",
     "2025-11-21"),
    ("RB01", "Raise-bore rig", "RBR", "Vertex VR-1400 raise-bore rig", "Contractor", "Vertex Raiseboring Pty Ltd",
     690.0, 3120.0, "AV", "2025-11-21"),
    ("EX01", "Excavator 50t", "EXC", "Hirano EX500 excavator", "Hired", "Pindan Plant Hire", 245.0, 2680.0, "AV",
     "2025-11-21"),
    ("DZ01", "Dozer TD40", "DOZ", "Caldor TD40 track dozer", "Hired", "Pindan Plant Hire", 265.0, 1940.0, "AV",
     "2025-11-21"),
    ("RL01", "Padfoot roller", "ROLL", "Tessler 15t padfoot roller", "Hired", "Pindan Plant Hire", 150.0, 1510.0,
     "AV", "2025-11-21"),
    ("CR01", "Crawler crane 100t", "CRANE", "Marrick MC100 crawler crane", "Hired", "Westlift Cranes", 420.0,
     1365.0, "OFF", "2025-09-30"),
]

HOURS = {"DES": 8.0, "DEV": 12.0, "SVC": 12.0, "CIV": 10.0, "EMB": 10.0, "MEC": 10.0, "ELE": 10.0, "COM": 10.0,
         "RB": 12.0, "SHT": 12.0}

# slips (working days added to the duration) and the activities added after the baseline
SLIPS = {"C2501.dev4": 9, "C2501.dev5": 6, "C2501.dev6": 5, "C2501.svc4": 4, "C2403.dev3": 4,
         "C2502.ream": 14, "C2502.rmr": 10, "C2504.wap": 45, "C2504.embE": 8, "C2407.cel": 38, "C2407.stl": 6,
         "C2407.mec": 5, "C2506.sag": 1, "C2508.dev2": 3}

# ---------------------------------------------------------------------------------------------- plans


class Plan:
    def __init__(self, code, wbs):
        self.code = code
        self.tasks = []
        self.wbs = [("ROOT", None, None)] + [(k, "ROOT", n) for k, n in wbs]

    def add(self, key, name, dur, wbs, preds=(), cal=OFF, kind=None, ms=None, loc=None, metres=None, qty=None,
            new=False, snet=None, crew=None, unit=None):
        full = f"{self.code}.{key}"
        self.tasks.append(dict(key=full, name=name, dur=dur, wbs=wbs, preds=[f"{self.code}.{p}" for p in preds],
                               cal=cal, kind=kind, ms=ms, loc=loc, metres=metres, qty=qty, new=new, proj=self.code,
                               slip=SLIPS.get(full, 0), snet=snet, crew=crew, unit=unit))
        return key


DEV_WBS = [("ENG", "Engineering and approvals"), ("PRC", "Procurement and consumables"),
           ("DEV", "Lateral development"), ("SVC", "Services and infrastructure"), ("HND", "Completion and handover")]


def dev_rate(metres, rate=4.2):
    return max(4, round(metres / rate))


def level_plan(code, level, headings, crew, unit, dev_snet, extras):
    """A level access development: design, call-offs, headings (name, metres, predecessor heading index or
    None), services behind each heading, substation and pump station, handover."""
    p = Plan(code, DEV_WBS)
    p.add("apv", f"Project approval - {level} level access", 0, "ENG", ms="S")
    p.add("des", f"{level} level development design and survey control", 15, "ENG", ["apv"], kind="DES")
    p.add("gsd", f"Ground support design review - {level} level", 8, "ENG", ["des:SS5"], kind="DES")
    p.add("csm", "Development consumables call-off (bolts, mesh, fibrecrete)", 21, "PRC", ["des"], cal=ELP)
    for i, (hname, metres, after) in enumerate(headings, 1):
        loc = f"{level} {hname}"
        p.wbs.append((f"H{i}", "DEV", f"{loc}"))
        preds = ["gsd", "csm"] if after is None else [f"dev{after}"]
        p.add(f"dev{i}", f"Develop {loc} ({metres} m)", dev_rate(metres), f"H{i}", preds, cal=UG, kind="DEV",
              loc=loc, metres=float(metres), snet=dev_snet if after is None else None, crew=crew, unit=unit)
        p.add(f"svc{i}", f"Install services {loc} (vent duct, air, water, power)", max(4, dev_rate(metres) - 6),
              f"H{i}", [f"dev{i}:SS7"], cal=UG, kind="SVC", loc=loc, crew="SV1", unit="IT01")
    n = len(headings)
    last = [f"svc{i}" for i in range(1, n + 1)]
    p.add("sub", f"Install and energise {level} level substation", 10, "SVC", last[:2], cal=UG, kind="SVC",
          loc=f"{level} level", crew="SV1", unit="IT01")
    p.add("pmp", f"Commission {level} level pump station", 6, "SVC", ["sub"], cal=UG, kind="SVC",
          loc=f"{level} level", crew="SV1", unit="IT01")
    for key, name, dur, preds in extras:
        p.add(key, name, dur, "SVC", preds, cal=UG, kind="SVC", loc=f"{level} level", crew="SV1", unit="IT01")
    p.add("asb", f"Survey pick-up and as-built drawings - {level} level", 5, "HND", last + ["pmp"], kind="DES")
    p.add("hnd", f"{level} level handed over to production", 0, "HND", ["asb"], ms="F")
    return p


def make_plans():
    plans = {}
    plans["C2403"] = level_plan(
        "C2403", "1180", [("access drive", 180, None), ("footwall drive north", 220, 1),
                          ("footwall drive south", 200, 1), ("return air drive", 90, 2)],
        "JD2", "JM02", None, [("esc", "Connect 1180 escapeway rise and ladderway", 8, ["svc4"])])
    plans["C2508"] = level_plan(
        "C2508", "1220", [("access drive", 160, None), ("footwall drive north", 240, 1),
                          ("footwall drive south", 210, 1), ("return air drive", 100, 2)],
        "JD2", "JM03", dt.date(2025, 9, 15), [])

    # main decline extension, one face from 1180 to 1340 RL
    p = Plan("C2501", DEV_WBS)
    p.add("apv", "Project approval - decline extension", 0, "ENG", ms="S")
    p.add("des", "Decline design 1180-1340 and survey control", 18, "ENG", ["apv"], kind="DES")
    p.add("gsd", "Ground support design review - lower decline", 10, "ENG", ["des:SS8"], kind="DES")
    p.add("csm", "Development consumables call-off (bolts, mesh, fibrecrete)", 21, "PRC", ["des"], cal=ELP)
    levels = [1180, 1200, 1220, 1240, 1260, 1280, 1300, 1320, 1340]
    for i in range(1, 9):
        loc = f"Decline {levels[i - 1]}-{levels[i]}"
        p.wbs.append((f"H{i}", "DEV", loc))
        p.add(f"dev{i}", f"Develop {loc} (140 m)", dev_rate(140, 4.4), f"H{i}", ["gsd", "csm"] if i == 1 else
              [f"dev{i - 1}"], cal=UG, kind="DEV", loc=loc, metres=140.0, crew="JD1", unit="JM01")
        p.add(f"svc{i}", f"Install services {loc} (vent duct, air, water, power)", dev_rate(140, 4.4) - 8, f"H{i}",
              [f"dev{i}:SS10"], cal=UG, kind="SVC", loc=loc, crew="SV1", unit="IT01")
        if i % 2 == 0:
            sl = f"Stockpile cuddy {levels[i]}"
            p.add(f"stk{i}", f"Develop {sl} (25 m)", 6, f"H{i}", [f"dev{i}"], cal=UG, kind="DEV", loc=sl,
                  metres=25.0, crew="JD1", unit="JM01")
    p.add("smp", "Develop decline sump and pump station at 1340 (40 m)", 10, "DEV", ["dev8"], cal=UG, kind="DEV",
          loc="Decline 1340 sump", metres=40.0, crew="JD1", unit="JM01")
    p.add("pmp", "Commission decline pump station at 1340", 6, "SVC", ["smp", "svc8"], cal=UG, kind="SVC",
          loc="Decline 1340 sump", crew="SV1", unit="IT01")
    p.add("asb", "Survey pick-up and as-built drawings - decline", 5, "HND", ["pmp"], kind="DES")
    p.add("hnd", "Decline at 1340 RL - extension complete", 0, "HND", ["asb"], ms="F")
    plans["C2501"] = p

    # return air raise 2, raise bored from 1020 to 1160 level
    p = Plan("C2502", [("ENG", "Engineering and approvals"), ("PRC", "Procurement"), ("EXC", "Excavation and pads"),
                       ("RBR", "Raise boring"), ("FAN", "Fan installation and commissioning")])
    p.add("apv", "Project approval - RAR2", 0, "ENG", ms="S")
    p.add("des", "Raise design and geotechnical assessment", 20, "ENG", ["apv"], kind="DES")
    p.add("rmr", "Reamer head 3.5 m and cutters supply (long lead)", 200, "PRC", ["apv"], cal=ELP)
    p.add("fnp", "Primary fans 2 x 450 kW supply", 190, "PRC", ["des"], cal=ELP)
    p.add("tcd", "Excavate top drill cuddy at 1020 level (40 m)", 10, "EXC", ["des"], cal=UG, kind="DEV",
          loc="1020 RAR2 top cuddy", metres=40.0, crew="JD2", unit="JM02")
    p.add("bch", "Excavate breakthrough chamber at 1160 level (30 m)", 8, "EXC", ["tcd"], cal=UG, kind="DEV",
          loc="1160 RAR2 bottom chamber", metres=30.0, crew="JD2", unit="JM02")
    p.add("pad", "Pour raise-bore rig pad and cure", 6, "EXC", ["tcd:FS1"], cal=UG, kind="SVC",
          loc="1020 RAR2 top cuddy", crew="SV1", unit="IT01")
    p.add("mob", "Raise-bore rig mobilisation and set-up", 5, "RBR", ["pad:FS7"], cal=RB, kind="RB",
          loc="1020 RAR2 top cuddy", crew="RBC", unit="RB01")
    p.add("pil", "Drill pilot hole 311 mm (142 m)", 14, "RBR", ["mob"], cal=RB, kind="RB", loc="RAR2 1020-1160",
          metres=142.0, crew="RBC", unit="RB01")
    p.add("rdr", "Redrill pilot hole after deviation out of tolerance (142 m)", 16, "RBR", ["pil"], cal=RB,
          kind="RB", loc="RAR2 1020-1160", metres=142.0, crew="RBC", unit="RB01", new=True)
    p.add("ream", "Ream raise to 3.5 m diameter (142 m)", 40, "RBR", ["pil", "rdr", "rmr", "bch"], cal=RB, kind="RB",
          loc="RAR2 1020-1160", metres=142.0, crew="RBC", unit="RB01")
    p.add("dmb", "Raise-bore rig demobilisation", 4, "RBR", ["ream"], cal=RB, kind="RB", loc="1020 RAR2 top cuddy",
          crew="RBC", unit="RB01")
    p.add("fan", "Install primary fans, collar and bulkhead", 12, "FAN", ["dmb", "fnp"], cal=UG, kind="SVC",
          loc="1020 RAR2 top cuddy", crew="SV1", unit="IT01")
    p.add("vsv", "Ventilation survey and sign-off", 3, "FAN", ["fan"], kind="DES")
    p.add("hnd", "RAR2 in service", 0, "FAN", ["vsv"], ms="F")
    plans["C2502"] = p

    # flotation circuit expansion
    p = Plan("C2407", [("ENG", "Engineering"), ("PRC", "Procurement and long-lead equipment"),
                       ("CIV", "Civil and structural"), ("MEI", "Mechanical, piping and E&I"),
                       ("CMM", "Commissioning")])
    p.add("apv", "Project approval - flotation expansion", 0, "ENG", ms="S")
    p.add("eng", "Detailed engineering and design", 90, "ENG", ["apv"], kind="DES")
    p.add("cel", "Flotation cells 6 x 100 m3 fabrication and delivery (long lead)", 280, "PRC", ["eng:SS30"],
          cal=ELP)
    p.add("rgm", "Regrind mill supply and delivery", 260, "PRC", ["eng:SS30"], cal=ELP)
    p.add("ewk", "Bulk earthworks and plant pad", 18, "CIV", ["eng:SS50"], cal=SURF, kind="EMB", loc="Flotation pad",
          qty=9000.0, crew="EWK1", unit="DZ01")
    p.add("fdn", "Concrete foundations and plinths", 35, "CIV", ["ewk"], cal=SURF, kind="CIV", loc="Flotation pad",
          qty=1450.0, crew="CIV1", unit=None)
    p.add("stl", "Structural steel erection", 40, "CIV", ["fdn:FS14"], cal=SURF, kind="MEC",
          loc="Flotation building", crew="SMP1", unit="CR01")
    p.add("mec", "Install flotation cells and agitators", 30, "MEI", ["stl:SS20", "cel"], cal=SURF, kind="MEC",
          loc="Flotation building", crew="SMP1", unit="CR01")
    p.add("mil", "Install regrind mill and cyclones", 25, "MEI", ["rgm", "stl"], cal=SURF, kind="MEC",
          loc="Regrind area", crew="SMP1", unit="CR01")
    p.add("pip", "Process piping installation", 45, "MEI", ["mec:SS10"], cal=SURF, kind="MEC",
          loc="Flotation building", crew="SMP1", unit=None)
    p.add("eic", "Electrical and instrumentation installation", 50, "MEI", ["stl:SS25"], cal=SURF, kind="ELE",
          loc="Flotation building", crew="EIC1", unit=None)
    p.add("dry", "Dry commissioning and pre-commissioning checks", 15, "CMM", ["pip", "eic", "mil"], cal=SURF,
          kind="COM", loc="Flotation building", crew="COM1", unit=None)
    p.add("tie", "Tie-in to existing flotation circuit (mini shutdown)", 3, "CMM", ["dry"], cal=SHUT, kind="SHT",
          loc="Flotation building", crew="MT", unit=None)
    p.add("wet", "Wet commissioning and ramp-up", 20, "CMM", ["tie"], cal=SHUT, kind="COM",
          loc="Flotation building", crew="COM1", unit=None)
    p.add("hnd", "Practical completion - flotation expansion", 0, "CMM", ["wet"], ms="F")
    plans["C2407"] = p

    # TSF stage 4 lift
    p = Plan("C2504", [("ENG", "Design and approvals"), ("BRW", "Borrow and clay"), ("EMB", "Embankment lift"),
                       ("STR", "Structures and instrumentation"), ("CRT", "Certification")])
    p.add("apv", "Project approval - TSF stage 4", 0, "ENG", ms="S")
    p.add("des", "Stage 4 design report (RL 412 to RL 416)", 30, "ENG", ["apv"], kind="DES")
    p.add("gti", "Additional geotechnical investigation for the regulator", 15, "ENG", ["des"], kind="DES", new=True)
    p.add("wap", "Works approval from the regulator", 60, "ENG", ["des", "gti"], cal=ELP)
    p.add("clr", "Clear and grub borrow area", 8, "BRW", ["wap"], cal=SURF, kind="EMB", loc="Borrow pit B",
          qty=0.0, crew="EWK1", unit="DZ01")
    p.add("cly", "Win and stockpile clay from borrow pit", 22, "BRW", ["clr"], cal=SURF, kind="EMB",
          loc="Borrow pit B", qty=52000.0, crew="EWK1", unit="EX01")
    walls = [("N", "North wall", 31000.0, 20), ("E", "East wall", 27000.0, 18), ("S", "South wall", 30000.0, 20),
             ("W", "West wall", 24000.0, 16)]
    prev = None
    for wk, wname, vol, dur in walls:
        p.wbs.append((f"W{wk}", "EMB", f"Embankment - {wname}"))
        p.add(f"emb{wk}", f"Embankment lift - {wname}", dur, f"W{wk}", ["cly:SS10"] + ([f"emb{prev}"] if prev
                                                                                       else []),
              cal=SURF, kind="EMB", loc=f"TSF {wname}", qty=vol, crew="EWK1", unit="EX01")
        prev = wk
    p.add("dct", "Raise decant tower", 10, "STR", ["embN"], cal=SURF, kind="CIV", loc="TSF decant tower", qty=85.0,
          crew="CIV1", unit=None)
    p.add("spw", "Spillway modification", 12, "STR", ["embW"], cal=SURF, kind="CIV", loc="TSF spillway",
          qty=160.0, crew="CIV1", unit=None)
    p.add("pzm", "Install vibrating wire piezometers", 6, "STR", ["embS"], cal=SURF, kind="CIV",
          loc="TSF embankment", qty=0.0, crew="CIV1", unit=None)
    p.add("eor", "Engineer of record inspection and certification", 10, "CRT", ["spw", "pzm", "dct"], kind="DES")
    p.add("hnd", "Stage 4 ready for tailings deposition", 0, "CRT", ["eor"], ms="F")
    plans["C2504"] = p

    # 2025 major mill shutdown
    p = Plan("C2506", [("PLN", "Shutdown planning"), ("PRC", "Spares and liners"), ("EXE", "Shutdown execution"),
                       ("CLS", "Close-out")])
    p.add("apv", "Shutdown scope approved", 0, "PLN", ms="S")
    p.add("scp", "Scope freeze and work pack preparation", 25, "PLN", ["apv"], kind="DES")
    p.add("lnr", "Mill liners, belt and pump spares supply", 100, "PRC", ["apv"], cal=ELP)
    p.add("pre", "Pre-shutdown works and scaffolding", 10, "EXE", ["scp"], cal=SURF, kind="MEC", loc="Concentrator",
          crew="SMP1", unit=None, snet=dt.date(2025, 9, 22))
    p.add("iso", "Isolation and handover to maintenance", 1, "EXE", ["pre", "lnr"], cal=SHUT, kind="SHT",
          loc="Concentrator", crew="MT", snet=dt.date(2025, 10, 6))
    for key, name, dur, loc in [("sag", "SAG mill reline", 4, "SAG mill"), ("bml", "Ball mill reline", 3, "Ball mill"),
                                ("crs", "Primary crusher mantle and concave change", 2, "Primary crusher"),
                                ("cv3", "Replace conveyor CV03 belt", 2, "Conveyor CV03"),
                                ("tpo", "Tailings pump overhaul", 3, "Tailings pump station"),
                                ("tsp", "Install flotation tie-in spools for the expansion", 2, "Flotation building")]:
        p.add(key, name, dur, "EXE", ["iso"], cal=SHUT, kind="SHT", loc=loc, crew="MT")
    p.add("rcm", "Remove isolations and recommission", 1, "EXE", ["sag", "bml", "crs", "cv3", "tpo", "tsp"],
          cal=SHUT, kind="SHT", loc="Concentrator", crew="MT")
    p.add("rst", "Plant restart", 0, "EXE", ["rcm"], cal=SHUT, ms="F")
    p.add("clo", "Shutdown close-out report", 5, "CLS", ["rst"], kind="DES")
    p.add("hnd", "Shutdown closed out", 0, "CLS", ["clo"], ms="F")
    plans["C2506"] = p
    return plans


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each activity against its project's target finish."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "proj")


def shown(task, sbound, fbound, dur):
    return shown_dates(task, sbound, fbound, dur, CALS[task["cal"]])


def panel_of(d):
    """Panel on the roster: A and B swap every Monday (7 on / 7 off)."""
    return "A" if ((d - dt.date(2024, 1, 1)).days // 7) % 2 == 0 else "B"


RISKS = [
    # project, activity key, title, category, likelihood 1-5, consequence 1-5, cost AUD, schedule days, owner,
    # mitigation, status, raised, next review
    ("C2403", "C2403.dev3", "Poor ground in 1180 footwall drive south shear zone", "Geotechnical", 3, 3, 180000.0,
     6, GEOTECH, "Cable bolts and fibrecrete on advance through the shear", "Occurred", "2024-11-18", "2025-06-30"),
    ("C2403", None, "Contractor jumbo availability below 80%", "Equipment", 2, 3, 90000.0, 5, UG_SUPER,
     "Spare boom kit held on site", "Closed", "2024-10-14", "2025-07-14"),
    ("C2501", "C2501.dev4", "Seismic activity as the decline approaches the 1240 stope abutment", "Geotechnical",
     4, 4, 420000.0, 12, GEOTECH, "Dynamic ground support and re-entry protocol after events over ML 1.0",
     "Occurred", "2025-02-17", "2025-12-01"),
    ("C2501", "C2501.dev6", "Insufficient airflow at the decline face below 1280 until RAR2 is in service",
     "Ventilation", 4, 3, 260000.0, 10, VENT_ENG, "Auxiliary fan upgrade to 110 kW and duct maintenance", "Open",
     "2025-06-09", "2025-12-05"),
    ("C2501", "C2501.dev7", "Water inflow from the 1300 aquifer contact", "Geotechnical", 3, 3, 150000.0, 7,
     GEOTECH, "Probe drilling ahead of the face and a temporary sump", "Open", "2025-09-15", "2025-12-08"),
    ("C2501", None, "Explosives magazine licence renewal", "Regulatory", 2, 4, 60000.0, 5, UG_SUPER,
     "Lodge renewal three months early", "Closed", "2025-03-10", "2025-08-29"),
    ("C2502", "C2502.pil", "Pilot hole deviation beyond 1% tolerance", "Technical", 3, 4, 310000.0, 20,
     "Declan Fairweather", "Directional survey every 30 m; stabilisers on the drill string", "Occurred",
     "2025-03-17", "2025-06-23"),
    ("C2502", "C2502.ream", "Raise wall instability in the graphitic schist", "Geotechnical", 3, 5, 650000.0, 25,
     GEOTECH, "Cavity monitoring scans; reduce reaming rate through the schist", "Open", "2025-07-07",
     "2025-11-28"),
    ("C2502", "C2502.rmr", "Reamer head delivery slips from the overseas workshop", "Supply chain", 3, 3, 80000.0,
     10, "Declan Fairweather", "Expedite with weekly calls; air freight the cutters", "Occurred", "2025-04-14",
     "2025-10-20"),
    ("C2502", "C2502.fan", "Primary fan motor shipment held at the port", "Supply chain", 2, 4, 120000.0, 8,
     VENT_ENG, "Customs broker engaged; temporary fan on hire as fallback", "Open", "2025-10-13", "2025-12-01"),
    ("C2504", "C2504.wap", "Regulator requests further geotechnical investigation", "Regulatory", 3, 5, 280000.0,
     45, "Marisol Okafor", "Pre-lodgement meeting; investigation scope agreed with the engineer of record",
     "Occurred", "2025-04-07", "2025-08-11"),
    ("C2504", "C2504.embE", "Wet season rain before the embankment is compacted", "Weather", 4, 4, 350000.0, 15,
     "Marisol Okafor", "Finish the east and south walls before December; stockpile covers", "Open", "2025-08-18",
     "2025-11-28"),
    ("C2504", None, "Tailings freeboard below the minimum before stage 4 is ready", "Environmental", 3, 5,
     900000.0, 0, MINE_MANAGER, "Divert deposition to the in-pit cell; lower mill throughput if needed", "Open",
     "2025-09-01", "2025-12-01"),
    ("C2504", "C2504.cly", "Clay moisture content out of range", "Technical", 3, 3, 110000.0, 6,
     TSF_ENGINEER, "Condition the stockpile; extra compaction passes", "Open", "2025-10-06", "2025-12-08"),
    ("C2407", "C2407.cel", "Flotation cell fabrication late at the overseas fabricator", "Supply chain", 4, 4,
     520000.0, 30, "Ngaire Holloway", "Fabrication inspector in the shop; partial shipments", "Occurred",
     "2025-01-20", "2025-11-24"),
    ("C2407", "C2407.eic", "Electrical contractor labour shortage", "Resource", 3, 3, 190000.0, 8,
     "Ngaire Holloway", "Second crew from the panel contractor; rotate through weekends", "Open", "2025-08-25",
     "2025-12-01"),
    ("C2407", "C2407.tie", "Tie-in window not agreed with operations", "Operational", 2, 4, 240000.0, 10,
     PLANT_SUPER, "Book a 72-hour window in the 2026 maintenance plan", "Open", "2025-10-27", "2025-12-08"),
    ("C2506", "C2506.sag", "SAG mill liner bolts seized", "Technical", 3, 3, 75000.0, 2, "Brendan Achterberg",
     "Bolt-cutting kit and extra crew on standby", "Occurred", "2025-06-16", "2025-10-20"),
    ("C2506", None, "Shutdown overrun reduces quarterly production", "Operational", 2, 4, 400000.0, 3,
     "Graham Tulloch", "Critical-path reviews every 12 hours during the shut", "Closed", "2025-06-02", "2025-10-27"),
    ("C2508", "C2508.dev1", "1220 access starts before the decline passes 1220", "Technical", 2, 3, 70000.0, 10,
     PLANNER, "Hold the access start until the decline face is 40 m past the junction", "Closed", "2025-08-11",
     "2025-09-22"),
    ("C2508", "C2508.dev2", "Ventilation limits two-heading development on 1220", "Ventilation", 4, 3, 160000.0, 8,
     VENT_ENG, "Sequence headings; bring RAR2 forward", "Open", "2025-10-06", "2025-12-01"),
]

CHANGES = [
    # project, title, type, raised by, cost AUD, time days, status code, raised, decision
    ("C2403", "Add 1180 escapeway connection to scope", "Scope", "Tomasz Wieczorek", 240000.0, 8, "APPR",
     "2024-10-21", "2024-11-04"),
    ("C2403", "Cable bolting through the south shear zone", "Design", GEOTECH, 165000.0, 4, "APPR", "2024-12-09",
     "2024-12-16"),
    ("C2501", "Dynamic ground support below 1240", "Design", GEOTECH, 385000.0, 6, "APPR", "2025-05-19",
     "2025-05-26"),
    ("C2501", "Upgrade auxiliary fan to 110 kW", "Scope", VENT_ENG, 145000.0, 0, "APPR", "2025-07-14", "2025-07-28"),
    ("C2501", "Second jumbo on the decline at night shift", "Schedule", UG_SUPER, 420000.0, -12, "SUB",
     "2025-10-20", None),
    ("C2501", "Probe drilling ahead of the face at 1300", "Scope", GEOTECH, 95000.0, 3, "SUB", "2025-11-10", None),
    ("C2502", "Redrill pilot hole after deviation", "Scope", "Declan Fairweather", 280000.0, 16, "APPR",
     "2025-05-26", "2025-06-02"),
    ("C2502", "Re-plan after pilot hole deviation (BL1)", "Schedule", PLANNER, 0.0, 30, "APPR", "2025-06-09",
     "2025-06-23"),
    ("C2502", "Cavity monitoring scans during reaming", "Scope", GEOTECH, 48000.0, 2, "APPR", "2025-09-01",
     "2025-09-08"),
    ("C2502", "Hire temporary surface fan", "Commercial", VENT_ENG, 96000.0, -5, "DRAFT", "2025-11-17", None),
    ("C2504", "Additional geotechnical investigation for the regulator", "Regulatory", "Marisol Okafor", 210000.0,
     15, "APPR", "2025-05-05", "2025-05-19"),
    ("C2504", "Re-plan after works approval delay (BL1)", "Schedule", PLANNER, 0.0, 45, "APPR", "2025-07-28",
     "2025-08-11"),
    ("C2504", "HDPE liner on the upstream face instead of clay blanket", "Design", TSF_ENGINEER, 330000.0, 5,
     "REJ", "2025-06-16", "2025-07-07"),
    ("C2504", "Night shift on the embankment fleet", "Schedule", "Marisol Okafor", 260000.0, -10, "SUB",
     "2025-11-03", None),
    ("C2407", "Add sixth flotation cell", "Scope", "Ngaire Holloway", 1150000.0, 10, "APPR", "2024-10-28",
     "2024-11-18"),
    ("C2407", "Air freight the last two cells", "Commercial", "Ngaire Holloway", 310000.0, -14, "APPR",
     "2025-06-30", "2025-07-14"),
    ("C2407", "Move tie-in from the 2025 shutdown to a 2026 window", "Schedule", PLANT_SUPER, 0.0, 0, "WDN",
     "2025-08-04", None),
    ("C2407", "Extra E&I crew on weekends", "Schedule", "Ngaire Holloway", 175000.0, -6, "SUB", "2025-11-12", None),
    ("C2506", "Add tailings pump overhaul to the shut", "Scope", "Brendan Achterberg", 88000.0, 1, "APPR",
     "2025-07-21", "2025-08-04"),
    ("C2506", "Replace CV03 head pulley as well as the belt", "Scope", PLANT_SUPER, 64000.0, 1, "REJ",
     "2025-08-18", "2025-08-25"),
    ("C2508", "Defer 1220 return air drive until RAR2 is commissioned", "Schedule", VENT_ENG, 0.0, 14, "DRAFT",
     "2025-11-19", None),
]

ITEMS = {
    # project: [(activity key, item code, description, unit of measure, quantity, supplier, per metre)]
    "dev": [("csm", "RB-SS47", "Split set rock bolts 47 mm x 2.4 m", "EA", 6.5, "Goldfields Ground Support", True),
            ("csm", "MSH-GAL", "Galvanised weld mesh sheets 2.4 x 3.0 m", "EA", 1.3, "Goldfields Ground Support",
             True),
            ("csm", "FRC-M3", "Fibrecrete (steel fibre shotcrete)", "M3", 0.9, "Pilbara Shotcrete Supplies", True),
            ("csm", "EXP-EMU", "Bulk emulsion explosive", "T", 0.35, "Blastline Explosives", True),
            ("csm", "VNT-1400", "Ventilation duct 1400 mm layflat", "M", 1.0, "Airflow Mining Products", True)],
    "C2502": [("rmr", "RBR-RMR35", "Reamer head 3.5 m with saddles", "EA", 1, "Vertex Tooling GmbH", False),
              ("rmr", "RBR-CUT", "Reamer cutters (TCI)", "EA", 24, "Vertex Tooling GmbH", False),
              ("pil", "RBR-ROD", "Drill rods 286 mm x 1.5 m", "EA", 100, "Vertex Tooling GmbH", False),
              ("fnp", "FAN-450", "Primary fan 450 kW with VSD", "EA", 2, "Aeromine Fans", False),
              ("fan", "FAN-BHD", "Ventilation bulkhead doors and regulator", "EA", 2, "Airflow Mining Products",
               False)],
    "C2501": [("pmp", "PMP-SUB", "Submersible dewatering pumps 55 kW", "EA", 3, "Slurryflo Pumps", False)],
    "C2508": [("sub", "SUB-1MVA", "Underground substation 1 MVA skid", "EA", 1, "Outback Cable Co", False)],
    "C2407": [("cel", "FLT-CELL", "Flotation cell 100 m3 tank cell", "EA", 6, "Nordstrand Process Equipment", False),
              ("rgm", "MIL-RGD", "Vertical regrind mill 1.1 MW", "EA", 1, "Keswick Grinding Systems", False),
              ("stl", "STL-STR", "Structural steel, fabricated and painted", "T", 210, "Ironbark Fabrication", False),
              ("eic", "CBL-LV", "LV power and control cable", "M", 4200, "Outback Cable Co", False),
              ("pip", "PIP-HDPE", "HDPE process pipe PN16", "M", 1800, "Polyflow Pipe Systems", False),
              ("pip", "VLV-KGV", "Knife gate valves 300 mm", "EA", 36, "Polyflow Pipe Systems", False),
              ("dry", "INS-PKG", "Field instrument package (level, flow, density)", "LOT", 1,
               "Keswick Process Controls", False)],
    "C2504": [("pzm", "PZM-VW", "Vibrating wire piezometers", "EA", 12, "Strata Instruments", False),
              ("dct", "DCT-RNG", "Decant tower concrete rings", "EA", 6, "Redgum Precast", False),
              ("cly", "GTX-NW", "Non-woven geotextile", "M2", 18000, "Terrafab Geosynthetics", False),
              ("spw", "RIP-RAP", "Rock rip-rap for the spillway", "T", 1400, "Redgum Quarries", False)],
    "C2506": [("lnr", "LNR-SAG", "SAG mill liner set", "SET", 1, "Keswick Grinding Systems", False),
              ("lnr", "LNR-BML", "Ball mill liner set", "SET", 1, "Keswick Grinding Systems", False),
              ("lnr", "BLT-CV03", "Conveyor belt 1200 mm ST1000 for CV03", "M", 480, "Conveyline Belting", False),
              ("lnr", "PMP-KIT", "Tailings pump rebuild kit", "EA", 2, "Slurryflo Pumps", False),
              ("lnr", "CRS-MNT", "Crusher mantle and concave set", "SET", 1, "Keswick Grinding Systems", False)],
}
LATE_ITEM = {("C2407", "FLT-CELL"): 38, ("C2502", "RBR-RMR35"): 10, ("C2501", "FRC-M3"): 6, ("C2407", "STL-STR"): 6,
             ("C2506", "BLT-CV03"): 3}
SHORT_ITEM = {("C2501", "FRC-M3"): 0.75, ("C2407", "CBL-LV"): 0.6}

DELAYS_UG = [("VENT", "Insufficient airflow at the face - waiting on auxiliary fan"),
             ("EBD", "Equipment breakdown"),
             ("BLST", "Blasting re-entry - fumes clearance took longer than planned"),
             ("GRD", "Poor ground - extra support before advancing"),
             ("WATR", "Water at the face - pumping"),
             ("SERV", "Waiting on services (air, water, power)")]
DELAYS_SURF = [("EBD", "Equipment breakdown"), ("WX", "Lightning or rain - work stopped"),
               ("MATL", "Waiting on materials"), ("PERM", "Waiting on permit or isolation")]
BREAKDOWNS = {"JM01": "boom hydraulic hose failure", "JM02": "rotation unit failure on boom 2",
              "JM03": "electrical fault on the power pack", "RB01": "hydraulic pump seal leak",
              "IT01": "tyre change", "EX01": "track adjuster failure", "DZ01": "ripper pin failure",
              "CR01": "load moment indicator fault"}


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    insert_calendars(con, CALENDARS, CALS, "calendar", "calendarexception", CAL_FROM, CAL_TO)
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    crew_ids, crew_row = {}, {}
    for i, c in enumerate(CREWS, 1):
        con.execute("INSERT INTO crew VALUES (?,?,?,?,?,?,?,?,?)", (i,) + c)
        crew_ids[c[0]], crew_row[c[0]] = i, c
    unit_ids = {}
    for i, e in enumerate(EQUIPMENT, 1):
        con.execute("INSERT INTO equipmentunit VALUES (?,?,?,?,?,?,?,?,?,?,?)", (i,) + e)
        unit_ids[e[0]] = i

    plans = make_plans()
    tasks, keys = {}, []
    for pr in PROJECTS:
        plan = plans[pr[0]]
        for t in plan.tasks:
            t["start"] = pr[6]
            tasks[t["key"]] = t
            keys.append(t["key"])
    links = logic_links(tasks, keys, parse_pred, lambda t: f"{t['proj']}.hnd")
    base_keys, d0, b0, d1, b1, tgt, anchors = anchored_baselines(
        tasks, keys, links, cpm, [(pr[0], f"{pr[0]}.hnd", pr[7], pr[10]) for pr in PROJECTS], dt.date(2031, 1, 1),
        CALS[OFF])
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    # further slip after the re-plan on the re-baselined projects, so that they still run late
    cdurs["C2502.ream"] += 8
    cdurs["C2504.embS"] += 6
    sb, fb, lsb, lfb, free = cpm(tasks, keys, cdurs, links, anchors)
    dd_b = DATA_DATE + D1

    ids = dict(wbs=0, act=0, lnk=0, bl=0, bla=0, asg=0, ins=0, dlv=0, rpt=0)
    act_ids, astat, proj_ids, states = {}, {}, {}, {}
    for p_idx, pr in enumerate(PROJECTS, 1):
        code, name, ptype, area, pm, sponsor, start, _, budget_m, cost_f, rebase = pr
        proj_ids[code] = p_idx
        plan = plans[code]
        akeys = [t["key"] for t in plan.tasks]
        fin = f"{code}.hnd"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE
        started = [k for k in akeys if sb[k] <= DATA_DATE and tasks[k]["cal"] not in (OFF, ELP)]
        commissioning = any(sb[k] <= DATA_DATE for k in akeys if tasks[k]["kind"] in ("COM", "SHT")
                            and code == "C2407")
        if done:
            phase, pstat = "Closed", "CMP"
        elif commissioning:
            phase, pstat = "Commissioning", "ACT"
        elif started:
            phase, pstat = "Execution", "ACT"
        else:
            phase, pstat = "Planning", "ACT"
        slack = CALS[OFF].wd(fb[fin], anchors[code])
        rag = "G" if done or slack > 10 else ("A" if slack >= 0 else "R")
        budget = budget_m * 1e6
        forecast = round(budget * cost_f, -4)
        spent = sum(1 for k in akeys if fb[k] <= dd_b) / len(akeys)
        actual = round(forecast if done else forecast * spent * rng.uniform(0.85, 0.95), -3)
        metres = sum(t["metres"] or 0 for t in plan.tasks if t["kind"] == "DEV" and not t["new"])
        con.execute("INSERT INTO project VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, code, name, ptype, area, pm, sponsor, budget, forecast, actual, iso(start),
                     iso(tgt[code]), iso(fin_shown), iso(fin_shown) if done else None,
                     metres if ptype == "Development" else None, phase, pstat, rag))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, f"{code} {name}"):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO wbsnode VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], p_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        bl_src, bl_d = (b1, d1) if rebase else (b0, d0)
        for n, k in enumerate(akeys, 1):
            t = tasks[k]
            ids["act"] += 1
            act_ids[k] = ids["act"]
            a = activity_at(DATA_DATE, tasks, k, cdurs, (sb, fb, lsb, lfb, free), bl_src, bl_d, CALS, rng)
            st = {"done": "CO", "started": "IP", "not": "NS"}[a.state]
            astat[k], states[k] = st, a.state
            typ = {"task": "Task", "start": "Start milestone", "finish": "Finish milestone"}[a.kind]
            con.execute("INSERT INTO activity VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], p_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]], f"{code}-A{n * 10:04d}",
                         t["name"], typ, t["loc"], t["metres"], float(cdurs[k]), a.remaining, iso(a.bl_start),
                         iso(a.bl_finish), iso(a.start), iso(a.finish), iso(a.late_start), iso(a.late_finish),
                         iso(a.actual_start), iso(a.actual_finish), a.total_float, a.free_float,
                         1 if a.critical else 0, a.pct, st))
        bls = [(0, "BL0 Approved baseline", start + dt.timedelta(days=14), b0, d0)]
        if rebase:
            bls.append((1, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, bl, bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO baseline VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], p_idx, no, bname, iso(bdate), MINE_MANAGER if area == "Underground"
                         else "Graham Tulloch", 1 if no == len(bls) - 1 else 0))
            for k, s_d, f_d, dur, tf in baseline_activities(tasks, akeys, bl, bd, CALS):
                ids["bla"] += 1
                con.execute("INSERT INTO baselineactivity VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), dur, tf))
    for p, s, typ, lag in links:
        ids["lnk"] += 1
        con.execute("INSERT INTO activitylink VALUES (?,?,?,?,?)", (ids["lnk"], act_ids[p], act_ids[s], typ,
                                                                     float(lag)))

    # crews on activities, their shift reports and the inspections of finished work
    ins_n = {}

    def inspect(code, k, typ, loc, body, who, when, result=None, raised=None, remarks=None):
        ins_n[code] = ins_n.get(code, 0) + 1
        ids["ins"] += 1
        recent = (DATA_DATE - when).days < 40
        if result is None:
            result = rng.choices(["Pass", "Pass with actions"], [0.65, 0.35])[0]
        if raised is None:
            raised = 0 if result == "Pass" else rng.randint(1, 6)
        opn = (rng.randint(0, raised) if recent else 0) if result != "Fail" else 0
        if remarks is None:
            remarks = "No actions" if result == "Pass" else f"{raised} action{'s' if raised > 1 else ''} raised"
        con.execute("INSERT INTO inspection VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (ids["ins"], proj_ids[code], act_ids[k], f"INS-{code}-{ins_n[code]:03d}", typ, loc, body, who,
                     iso(when), result, raised, opn, remarks))

    seismic_after = {dt.date.fromisoformat(d) + D1 for d in SEISMIC} | {dt.date.fromisoformat(d) + 2 * D1
                                                                         for d in SEISMIC}
    for k in keys:
        t = tasks[k]
        kind = t["kind"]
        if not kind:
            continue
        code = t["proj"]
        cal = CALS[t["cal"]]
        two_shift = t["cal"] in (UG, RB, SHUT)
        if kind == "DES":
            crews = ["TS1"]
        elif t["crew"] in ("JD1", "JD2", "SV1", "RBC"):
            crews = [t["crew"] + "A", t["crew"] + "B"]
        elif t["crew"] == "MT":
            crews = ["MTDS", "MTNS"]
        else:
            crews = [t["crew"]]
        unit = t["unit"]
        hps = HOURS["RB" if kind == "RB" else kind] if kind != "COM" or not two_shift else 12.0
        base = t["dur"] or 1
        for cc in crews:
            c = crew_row[cc]
            share = 1.0 / len(crews)
            pln = float(round(base * hps * c[5] * (2 if two_shift else 1) * share, 1))
            act, rem_h = assignment_hours(states[k], pln, base, cdurs[k], cal.wd(DATA_DATE + D1, fb[k]), rng)
            rate = c[7] / 12.0 if two_shift else c[7] / hps
            ids["asg"] += 1
            con.execute("INSERT INTO crewassignment VALUES (?,?,?,?,?,?,?,?,?)",
                        (ids["asg"], act_ids[k], crew_ids[cc], unit_ids[unit] if unit else None, pln, act, rem_h,
                         round(pln * rate, 2), round(act * rate, 2)))
        fin_d = fb[k] - D1
        loc = t["loc"]
        if astat[k] == "CO":
            if kind == "DEV":
                fail = k == "C2501.dev5"
                if fail:
                    inspect(code, k, "Ground support inspection", loc, "Mine Geotech", GEOTECH,
                            fin_d - dt.timedelta(days=9), "Fail", rng.randint(5, 9),
                            "Mesh overlap short and bolts missing in the backs - rehab before re-entry")
                inspect(code, k, "Ground support inspection", loc, "Mine Geotech",
                        rng.choice([GEOTECH, "Ruben Castellanos"]), fin_d + D1)
                inspect(code, k, "Rock bolt pull test", loc, "Mine Geotech", "Ruben Castellanos", fin_d + D1)
            elif kind == "RB" and k.endswith(".pil"):
                inspect(code, k, "Pilot hole deviation survey", loc, "Mine Survey", "Jasmin Hollis", fin_d + D1,
                        "Fail", 1, "Deviation 2.6% at breakthrough against 1.0% tolerance - pilot hole abandoned")
            elif kind == "RB" and k.endswith(".rdr"):
                inspect(code, k, "Pilot hole deviation survey", loc, "Mine Survey", "Jasmin Hollis", fin_d + D1,
                        "Pass", 0, "Deviation 0.6% at breakthrough")
            elif kind == "EMB" and t["qty"]:
                inspect(code, k, "Compaction test", loc, TSF_ENGINEER, "Dr. Imogen Hallett", fin_d)
            elif kind == "CIV":
                inspect(code, k, "Concrete pour inspection", loc, "Project QA", "Sunil Rajapakse", fin_d)
            elif kind == "MEC" and code == "C2407":
                inspect(code, k, "Mechanical completion check", loc, "Project QA", "Sunil Rajapakse", fin_d)
            elif kind == "SHT":
                inspect(code, k, "Shutdown handover inspection", loc, "Site Safety", "Kerryn Doolan", fin_d)
        elif astat[k] == "IP":
            if kind == "DEV":
                d = sb[k] + dt.timedelta(days=12)
                while d <= DATA_DATE:
                    inspect(code, k, "Ground support inspection", loc, "Mine Geotech",
                            rng.choice([GEOTECH, "Ruben Castellanos"]), d)
                    d += dt.timedelta(days=14)
            elif kind == "EMB" and t["qty"]:
                inspect(code, k, "Compaction test", loc, TSF_ENGINEER, "Dr. Imogen Hallett", DATA_DATE - 3 * D1)
            elif kind == "RB" and k.endswith(".ream"):
                inspect(code, k, "Cavity monitoring scan", loc, "Mine Geotech", GEOTECH, DATA_DATE - 5 * D1,
                        "Pass with actions", 2, "Overbreak 0.4 m in the schist band at 1085 - reduce reaming rate")
        if kind == "DES":
            continue
        days = worked_days(cal, sb[k], fb[k], DATA_DATE)
        hrs_shift = 12.0 if two_shift else HOURS.get(kind, 10.0)
        tot_shifts = max(1, cdurs[k] * (2 if two_shift else 1))
        for d in days:
            for shift in (("DS", "NS") if two_shift else ("DS",)):
                if t["crew"] == "MT":
                    cc = "MTDS" if shift == "DS" else "MTNS"
                elif len(crews) == 2:
                    cc = crews[0] if panel_of(d) == "A" else crews[1]
                else:
                    cc = crews[0]
                c = crew_row[cc]
                heads = c[5] // 2 if two_shift and t["crew"] != "MT" else c[5]
                lost, dly, rmk = 0.0, None, "Shift to plan"
                ug = t["cal"] in (UG, RB)
                p_delay = 0.08
                if code == "C2508" and kind == "DEV":
                    p_delay = 0.16
                if ug and d in seismic_after and t["cal"] == UG:
                    dly, lost = "SEIS", float(rng.choice([4, 6, 8]))
                    rmk = "Seismic re-entry inspection before crews returned to the heading"
                elif rng.random() < p_delay:
                    if ug:
                        pool = DELAYS_UG if kind == "DEV" else [x for x in DELAYS_UG if x[0] in ("EBD", "SERV",
                                                                                              "WATR")]
                        if code == "C2508" and kind == "DEV" and rng.random() < 0.6:
                            dly, rmk = DELAYS_UG[0]
                        elif k.startswith("C2501.dev4") and rng.random() < 0.5:
                            dly, rmk = DELAYS_UG[3]
                        else:
                            dly, rmk = rng.choice(pool)
                    else:
                        dly, rmk = rng.choice(DELAYS_SURF)
                    if dly == "EBD":
                        u = unit or rng.choice(["LH01", "LH02", "TK01", "TK02"])
                        rmk = f"{u} down - {BREAKDOWNS.get(u, 'engine fault')}"
                    lost = float(rng.choice([1, 2, 3, 4, 6]))
                eff = max(0.0, (hrs_shift - lost) / hrs_shift) * rng.uniform(0.8, 1.15)
                metres = tonnes = vol = 0.0
                bolts = 0
                if kind == "DEV":
                    metres = round(t["metres"] / tot_shifts * eff, 1)
                    tonnes = round(metres * rng.uniform(88, 98), 0)
                    bolts = int(round(metres * rng.uniform(5.5, 7.5)))
                elif kind == "RB" and t["metres"]:
                    metres = round(t["metres"] / tot_shifts * eff, 1)
                    tonnes = round(metres * 27.0 * rng.uniform(0.95, 1.1), 0) if k.endswith(".ream") else 0.0
                elif kind in ("EMB", "CIV") and t["qty"]:
                    vol = round(t["qty"] / tot_shifts * eff, 0)
                    if kind == "EMB":
                        tonnes = round(vol * 1.9, 0)
                hours = max(0.0, hrs_shift - lost) * heads
                ids["rpt"] += 1
                con.execute("INSERT INTO shiftreport VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (ids["rpt"], proj_ids[code], act_ids[k], crew_ids[cc], unit_ids[unit] if unit else None,
                             iso(d), shift, round(hours, 1), lost * heads, metres, tonnes, bolts, vol, dly, rmk))
    # statutory visit and TSF annual inspection
    inspect("C2501", "C2501.dev3", "Statutory mine inspection", "Decline 1220-1240", INSPECTORATE,
            "Insp. Gordon Harwood", dt.date(2025, 8, 12), "Pass with actions", 3,
            "Improvement notice: escapeway signage and refuge chamber checks")
    inspect("C2504", "C2504.embN", "Annual TSF dam safety inspection", "TSF embankment", INSPECTORATE,
            "Insp. Leonie Tran", dt.date(2025, 10, 29), "Pass with actions", 4,
            "Freeboard monitoring to be reported weekly until stage 4 is commissioned")

    # deliveries of materials and spares against purchase orders
    po = 4500310
    for pr in PROJECTS:
        code = pr[0]
        items = (ITEMS["dev"] if pr[2] == "Development" else []) + ITEMS.get(code, [])
        metres_total = sum(tasks[k]["metres"] or 0 for k in keys if tasks[k]["proj"] == code
                           and tasks[k]["kind"] == "DEV")
        for tk, icode, desc, uom, qty, supp, per_m in items:
            k = f"{code}.{tk}"
            q = round(qty * metres_total, 0) if per_m else float(qty)
            late = LATE_ITEM.get((code, icode), 0)
            need = fb[k] - D1 if tasks[k]["cal"] == ELP else sb[k] - dt.timedelta(days=7)
            req = need - dt.timedelta(days=late)
            prom = req + dt.timedelta(days=rng.choice([-5, -3, 0, 0, 2]) + late)
            arrive = prom + dt.timedelta(days=rng.choice([-1, 0, 0, 1, 3]))
            po += rng.randint(5, 60)
            rows = [(req, prom, arrive)]
            if code == "C2504" and icode == "GTX-NW":
                # the first order was cancelled when the clay blanket replaced the liner option
                rows.insert(0, (req - dt.timedelta(days=30), req - dt.timedelta(days=30), None))
            for j, (rq, pm_, ar) in enumerate(rows):
                frac = SHORT_ITEM.get((code, icode), 1.0)
                if len(rows) == 2 and j == 0:
                    sts, dq, got = "CANC", 0.0, None
                elif ar <= DATA_DATE:
                    sts, dq, got = ("PRT" if frac < 1 else "RECD"), round(q * frac, 0), ar
                else:
                    sts, dq, got = "OPEN", 0.0, None
                ids["dlv"] += 1
                con.execute("INSERT INTO delivery VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (ids["dlv"], proj_ids[code], act_ids[k], f"PO{po}", icode, desc, q, dq, uom, supp,
                             iso(rq), iso(pm_), iso(got), sts))
                po += 1

    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO riskregister VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[r[0]], act_ids[r[1]] if r[1] else None, f"RK-{r[0]}-{n_by[r[0]]:02d}", r[2], r[3],
                     r[4], r[5], r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))
    n_by = {}
    for i, c in enumerate(CHANGES, 1):
        n_by[c[0]] = n_by.get(c[0], 0) + 1
        con.execute("INSERT INTO changerequest VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                    (i, proj_ids[c[0]], f"CR{c[0][1:]}-{n_by[c[0]]:02d}", c[1], c[2], c[3], c[4], float(c[5]), c[6],
                     c[7], c[8]))
    con.commit()
    return con


# ---------------------------------------------------------------------------------------------- metadata

PROJECT_FK = ("Project (project.projectid)", "INTEGER")
ACTIVITY_FK = ("Activity (activity.activityid)", "INTEGER")

TABLE_META = {
    "project": ("Capital and development projects of the Kestrel Hill mine: type, mine area, project manager, "
                "sponsor, approved budget, forecast and actual cost (AUD), approval date, target, forecast and "
                "actual finish, design metres of development, phase, status and RAG", {
        "projectid": ("Project id", "INTEGER"),
        "projectcode": ("Project code, e.g. C2501", "TEXT"),
        "projectname": ("Project name, e.g. Main Decline Extension 1180-1340, Return Air Raise 2 (RAR2)", "TEXT"),
        "projecttype": ("Kind of project: Development, Ventilation, Plant, Tailings, Shutdown", "TEXT"),
        "minearea": ("Area of the mine: Underground, Processing, Surface", "TEXT"),
        "projectmanager": ("Project manager", "TEXT"),
        "sponsor": ("Sponsor (mine manager or general manager operations)", "TEXT"),
        "approvedbudget": ("Approved budget, AUD", "REAL"),
        "forecastcost": ("Forecast cost at completion, AUD", "REAL"),
        "actualcost": ("Actual cost to the data date, AUD", "REAL"),
        "approvaldate": ("Date the project was approved", "DATE"),
        "targetfinish": ("Target (committed) finish date; float is measured to it", "DATE"),
        "forecastfinish": ("Forecast finish from the current schedule", "DATE"),
        "actualfinish": ("Actual finish; null until complete", "DATE"),
        "designmetres": ("Designed metres of lateral development; null for projects that are not development",
                         "REAL"),
        "phase": ("Project phase at the data date", "TEXT"),
        "projectstatus": ("Project status code", "TEXT"),
        "ragstatus": ("RAG status code", "TEXT"),
    }),
    "wbsnode": ("WBS of each project: level 1 the project, level 2 its work areas, level 3 one node per heading "
                "(development) or embankment wall (TSF)", {
        "wbsnodeid": ("WBS node id", "INTEGER"),
        "projectid": PROJECT_FK,
        "parentwbsnodeid": ("Parent WBS node; null at level 1", "INTEGER"),
        "wbscode": ("WBS code, e.g. C2501.3.4", "TEXT"),
        "wbsname": ("WBS node name", "TEXT"),
        "wbslevel": ("Level 1-3", "INTEGER"),
    }),
    "calendar": ("Work calendars (rosters): mine office, underground development 2 x 12h with panels A/B, raise "
                 "boring 2 x 12h, surface construction 6 x 10h, plant shutdown 24/7, 7-day elapsed", {
        "calendarid": ("Calendar id", "INTEGER"),
        "calendarcode": ("Calendar code, e.g. UG7D2X12", "TEXT"),
        "calendarname": ("Calendar name", "TEXT"),
        "workweek": ("Working days of a normal week", "TEXT"),
        "hoursperday": ("Working hours a day (24 = two 12-hour shifts)", "REAL"),
        "notes": ("Free text", "TEXT"),
    }),
    "calendarexception": ("Non-working days of each calendar: public holidays, Christmas, seismic exclusions, "
                          "safety reset days and wet weather days. Only days that would otherwise be worked", {
        "calendarexceptionid": ("Id", "INTEGER"),
        "calendarid": ("Calendar (calendar.calendarid)", "INTEGER"),
        "exceptiondate": ("Non-working date (YYYY-MM-DD)", "DATE"),
        "exceptiontype": ("Exception type code", "TEXT"),
        "reason": ("Reason", "TEXT"),
    }),
    "activity": ("Schedule activities and milestones of each project at the data date: early (forecast), late, "
                 "actual and current-baseline dates, durations and float in working days, heading or location and "
                 "designed development metres", {
        "activityid": ("Activity id", "INTEGER"),
        "projectid": PROJECT_FK,
        "wbsnodeid": ("WBS node (wbsnode.wbsnodeid)", "INTEGER"),
        "calendarid": ("Calendar (calendar.calendarid)", "INTEGER"),
        "activitycode": ("Activity code, e.g. C2501-A0220", "TEXT"),
        "activityname": ("Activity name", "TEXT"),
        "activitytype": ("Task, Start milestone or Finish milestone", "TEXT"),
        "location": ("Heading or work location, e.g. Decline 1320-1340, 1220 footwall drive north, TSF East wall; "
                     "null for office work", "TEXT"),
        "designmetres": ("Designed metres the activity develops, reams or drills; null when none", "REAL"),
        "originalduration": ("Original duration, working days", "REAL"),
        "remainingduration": ("Remaining duration, working days", "REAL"),
        "baselinestart": ("Start in the current baseline; null for activities added since", "DATE"),
        "baselinefinish": ("Finish in the current baseline", "DATE"),
        "earlystart": ("Early (forecast) start", "DATE"),
        "earlyfinish": ("Early (forecast) finish", "DATE"),
        "latestart": ("Late start; null when complete", "DATE"),
        "latefinish": ("Late finish; null when complete", "DATE"),
        "actualstart": ("Actual start", "DATE"),
        "actualfinish": ("Actual finish", "DATE"),
        "totalfloat": ("Total float (TF), working days; null when complete", "REAL"),
        "freefloat": ("Free float, working days; null when complete", "REAL"),
        "iscritical": ("Critical flag, 1 / 0", "INTEGER"),
        "pctcomplete": ("Percent complete", "REAL"),
        "activitystatus": ("Activity status code", "TEXT"),
    }),
    "activitylink": ("Logic links between activities with type and lag", {
        "activitylinkid": ("Link id", "INTEGER"),
        "predecessorid": ("Predecessor (activity.activityid)", "INTEGER"),
        "successorid": ("Successor (activity.activityid)", "INTEGER"),
        "linktype": ("Link type code", "TEXT"),
        "lagdays": ("Lag in calendar days", "REAL"),
    }),
    "baseline": ("Baselines of each project; iscurrent marks the one reported against", {
        "baselineid": ("Baseline id", "INTEGER"),
        "projectid": PROJECT_FK,
        "baselineno": ("Baseline number within the project (0 = approved baseline)", "INTEGER"),
        "baselinename": ("Baseline name", "TEXT"),
        "setdate": ("Date the baseline was set", "DATE"),
        "approvedby": ("Approver", "TEXT"),
        "iscurrent": ("1 for the current baseline", "INTEGER"),
    }),
    "baselineactivity": ("Activity dates, durations and float as stored in each baseline", {
        "baselineactivityid": ("Id", "INTEGER"),
        "baselineid": ("Baseline (baseline.baselineid)", "INTEGER"),
        "activityid": ACTIVITY_FK,
        "baselinestart": ("Baseline start", "DATE"),
        "baselinefinish": ("Baseline finish", "DATE"),
        "baselineduration": ("Baseline duration, working days", "REAL"),
        "baselinetotalfloat": ("Baseline total float, working days", "REAL"),
    }),
    "crew": ("Crews: development (jumbo) crews and underground services crews by panel, the raise-bore "
             "contractor, surface civil, earthworks, mechanical and electrical contractors, commissioning, shutdown "
             "maintenance crews and mine technical services, with headcount, supervisor and day rate", {
        "crewid": ("Crew id", "INTEGER"),
        "crewcode": ("Crew code, e.g. JD1A, RBCB, EWK1", "TEXT"),
        "crewname": ("Crew name", "TEXT"),
        "discipline": ("Discipline of the crew", "TEXT"),
        "employer": ("Company the crew works for (the mine or a contractor)", "TEXT"),
        "panel": ("Roster panel: A or B (week-on week-off underground), DS or NS (shutdown shift), DAY (day work)",
                  "TEXT"),
        "headcount": ("Number of people in the crew", "INTEGER"),
        "supervisor": ("Shift boss or supervisor of the crew", "TEXT"),
        "dayrate": ("Rate per head per shift, AUD", "REAL"),
    }),
    "equipmentunit": ("Mobile equipment and rigs: jumbos, boggers (LHDs), trucks, tool carrier, charge-up unit, "
                      "raise-bore rig and the surface earthmoving fleet and crane, with owner, rate, hours meter "
                      "and status", {
        "equipmentunitid": ("Equipment unit id", "INTEGER"),
        "unitcode": ("Fleet number, e.g. JM02, LH01, TK03, RB01", "TEXT"),
        "unitname": ("Unit name as people call it, e.g. Jumbo 2, Bogger 1", "TEXT"),
        "equipmenttype": ("Equipment type code", "TEXT"),
        "makemodel": ("Make and model", "TEXT"),
        "ownership": ("Owned, Hired or Contractor", "TEXT"),
        "supplier": ("Hire company or contractor; null when owned", "TEXT"),
        "hourlyrate": ("Operating rate per hour, AUD", "REAL"),
        "smuhours": ("Service meter (engine) hours", "REAL"),
        "unitstatus": ("Status code at the status date", "TEXT"),
        "statusdate": ("Date of the status", "DATE"),
    }),
    "crewassignment": ("Crew assignments to activities, with the main equipment unit, planned, actual and "
                       "remaining hours and planned and actual cost", {
        "crewassignmentid": ("Assignment id", "INTEGER"),
        "activityid": ACTIVITY_FK,
        "crewid": ("Crew (crew.crewid)", "INTEGER"),
        "equipmentunitid": ("Main equipment unit (equipmentunit.equipmentunitid); null when none", "INTEGER"),
        "plannedhours": ("Planned person-hours", "REAL"),
        "actualhours": ("Actual person-hours to the data date", "REAL"),
        "remaininghours": ("Remaining person-hours", "REAL"),
        "plannedcost": ("Planned labour cost, AUD", "REAL"),
        "actualcost": ("Actual labour cost to the data date, AUD", "REAL"),
    }),
    "riskregister": ("Risk register of the capital and development programme", {
        "riskregisterid": ("Risk id", "INTEGER"),
        "projectid": PROJECT_FK,
        "activityid": ("Activity the risk affects (activity.activityid); may be null", "INTEGER"),
        "riskref": ("Risk reference, e.g. RK-C2502-02", "TEXT"),
        "risktitle": ("Risk title", "TEXT"),
        "riskcategory": ("Risk category", "TEXT"),
        "likelihood": ("Likelihood 1-5", "INTEGER"),
        "consequence": ("Consequence 1-5", "INTEGER"),
        "riskscore": ("Likelihood x consequence", "INTEGER"),
        "costexposure": ("Cost exposure, AUD", "REAL"),
        "scheduleexposuredays": ("Schedule exposure, days", "REAL"),
        "riskowner": ("Risk owner", "TEXT"),
        "mitigation": ("Mitigation", "TEXT"),
        "riskstatus": ("Risk status", "TEXT"),
        "dateraised": ("Date raised", "DATE"),
        "nextreview": ("Next review date", "DATE"),
    }),
    "changerequest": ("Change requests of the projects, with cost and time impact and status", {
        "changerequestid": ("Change request id", "INTEGER"),
        "projectid": PROJECT_FK,
        "crnumber": ("Change request number, e.g. CR2501-03", "TEXT"),
        "crtitle": ("Change title", "TEXT"),
        "crtype": ("Change type: Scope, Design, Schedule, Commercial, Regulatory", "TEXT"),
        "raisedby": ("Person who raised it", "TEXT"),
        "costimpact": ("Cost impact, AUD", "REAL"),
        "timeimpactdays": ("Time impact, days (negative = acceleration)", "REAL"),
        "crstatus": ("Change request status code", "TEXT"),
        "dateraised": ("Date raised", "DATE"),
        "decisiondate": ("Date approved or rejected; null while open or withdrawn", "DATE"),
    }),
    "inspection": ("Inspections and tests: ground support inspections and rock bolt pull tests of headings, "
                   "pilot hole surveys and cavity scans of the raise, compaction tests of the TSF walls, concrete "
                   "and mechanical completion checks, shutdown handover inspections and statutory inspections", {
        "inspectionid": ("Inspection id", "INTEGER"),
        "projectid": PROJECT_FK,
        "activityid": ("Activity whose work was inspected (activity.activityid)", "INTEGER"),
        "inspectionref": ("Inspection reference, e.g. INS-C2501-014", "TEXT"),
        "inspectiontype": ("Kind of inspection or test", "TEXT"),
        "location": ("Heading or place inspected", "TEXT"),
        "inspectedby": ("Who inspected: Mine Geotech, Mine Survey, Project QA, Site Safety, the TSF engineer of "
                        "record or the Mines Inspectorate", "TEXT"),
        "inspector": ("Inspector's name", "TEXT"),
        "inspectiondate": ("Date of the inspection", "DATE"),
        "result": ("Inspection result", "TEXT"),
        "actionsraised": ("Corrective actions raised", "INTEGER"),
        "actionsopen": ("Actions still open at the data date", "INTEGER"),
        "remarks": ("Inspector's remarks", "TEXT"),
    }),
    "delivery": ("Deliveries of materials, equipment and spares against purchase orders: ground support and "
                 "explosives, vent duct, raise-bore tooling, fans, flotation cells, regrind mill, steel, cable, "
                 "pipe, liners and spares, with required, promised and received dates", {
        "deliveryid": ("Delivery id", "INTEGER"),
        "projectid": PROJECT_FK,
        "activityid": ("Activity the delivery is for (activity.activityid)", "INTEGER"),
        "ponumber": ("Purchase order number", "TEXT"),
        "itemcode": ("Item code, e.g. RB-SS47, FLT-CELL", "TEXT"),
        "itemdescription": ("Item description", "TEXT"),
        "qtyordered": ("Quantity ordered", "REAL"),
        "qtyreceived": ("Quantity received so far", "REAL"),
        "uom": ("Unit of measure: EA, M, M2, M3, T, SET, LOT", "TEXT"),
        "supplier": ("Supplier", "TEXT"),
        "requireddate": ("Date required on site", "DATE"),
        "promiseddate": ("Date promised by the supplier", "DATE"),
        "receiveddate": ("Date received; null until received", "DATE"),
        "deliverystatus": ("Delivery status code", "TEXT"),
    }),
    "shiftreport": ("Shift reports: one per crew per shift on a production activity up to the data date (day "
                    "shift and night shift underground and in the shutdown, day shift on the surface), with hours "
                    "worked and lost, metres advanced, tonnes hauled, bolts installed, volume placed and delay "
                    "code", {
        "shiftreportid": ("Shift report id", "INTEGER"),
        "projectid": PROJECT_FK,
        "activityid": ("Activity worked on (activity.activityid)", "INTEGER"),
        "crewid": ("Crew (crew.crewid)", "INTEGER"),
        "equipmentunitid": ("Main equipment unit on the shift (equipmentunit.equipmentunitid); null when none",
                            "INTEGER"),
        "shiftdate": ("Date of the shift", "DATE"),
        "shift": ("DS (day shift) or NS (night shift)", "TEXT"),
        "hoursworked": ("Person-hours worked", "REAL"),
        "hourslost": ("Person-hours lost to delays", "REAL"),
        "metresadvanced": ("Metres advanced: development metres fired and bogged, or metres of raise drilled or "
                           "reamed", "REAL"),
        "tonneshauled": ("Tonnes hauled: development waste, reaming cuttings, or clay fill carted", "REAL"),
        "boltsinstalled": ("Rock bolts installed", "INTEGER"),
        "volumeplaced": ("Cubic metres placed: embankment fill compacted or concrete poured", "REAL"),
        "delaycode": ("Delay cause code; null when none", "TEXT"),
        "remarks": ("Shift boss's remarks", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("wbsnode", "project", "wbsnode.projectid = project.projectid", "WBS of a project"),
    ("wbsnode", "wbsnode", "wbsnode.parentwbsnodeid = wbsnode.wbsnodeid", "Parent WBS node"),
    ("calendarexception", "calendar", "calendarexception.calendarid = calendar.calendarid",
     "Non-working days of a calendar"),
    ("activity", "project", "activity.projectid = project.projectid", "Activities of a project"),
    ("activity", "wbsnode", "activity.wbsnodeid = wbsnode.wbsnodeid", "WBS node of an activity"),
    ("activity", "calendar", "activity.calendarid = calendar.calendarid", "Calendar of an activity"),
    ("activitylink", "activity", "activitylink.predecessorid = activity.activityid", "Predecessor of a link"),
    ("activitylink", "activity", "activitylink.successorid = activity.activityid", "Successor of a link"),
    ("baseline", "project", "baseline.projectid = project.projectid", "Baselines of a project"),
    ("baselineactivity", "baseline", "baselineactivity.baselineid = baseline.baselineid", "Rows of a baseline"),
    ("baselineactivity", "activity", "baselineactivity.activityid = activity.activityid",
     "Activity a baseline row stores"),
    ("crewassignment", "crew", "crewassignment.crewid = crew.crewid", "Crew of an assignment"),
    ("crewassignment", "activity", "crewassignment.activityid = activity.activityid",
     "Activity a crew is assigned to"),
    ("crewassignment", "equipmentunit", "crewassignment.equipmentunitid = equipmentunit.equipmentunitid",
     "Main equipment of an assignment"),
    ("riskregister", "project", "riskregister.projectid = project.projectid", "Risks of a project"),
    ("riskregister", "activity", "riskregister.activityid = activity.activityid", "Activity a risk affects"),
    ("changerequest", "project", "changerequest.projectid = project.projectid", "Change requests of a project"),
    ("inspection", "project", "inspection.projectid = project.projectid", "Inspections of a project"),
    ("inspection", "activity", "inspection.activityid = activity.activityid", "Activity whose work was inspected"),
    ("delivery", "project", "delivery.projectid = project.projectid", "Deliveries of a project"),
    ("delivery", "activity", "delivery.activityid = activity.activityid", "Activity a delivery is for"),
    ("shiftreport", "project", "shiftreport.projectid = project.projectid", "Shift reports of a project"),
    ("shiftreport", "activity", "shiftreport.activityid = activity.activityid", "Activity a report covers"),
    ("shiftreport", "crew", "shiftreport.crewid = crew.crewid", "Crew that sent a report"),
    ("shiftreport", "equipmentunit", "shiftreport.equipmentunitid = equipmentunit.equipmentunitid",
     "Main equipment on the shift"),
]

BUSINESS_RULES = {
    ("activity", "activitystatus"): ["Allowed Values: NS (not started), IP (in progress), CO (complete)"],
    ("activity", "activitytype"): ["Allowed Values: Task, Start milestone, Finish milestone; milestones have "
                                   "originalduration = 0"],
    ("activity", "iscritical"): ["Allowed Values: 1, 0", "Critical: iscritical = 1 when totalfloat <= 0; complete "
                                 "activities are 0"],
    ("activity", "totalfloat"): ["Negative float: forecast finish after the project's target finish"],
    ("activity", "baselinefinish"): ["Slipped: earlyfinish > baselinefinish"],
    ("activitylink", "linktype"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to "
                                   "finish)"],
    ("baseline", "iscurrent"): ["Allowed Values: 1, 0; one current baseline per project"],
    ("calendarexception", "exceptiontype"): ["Allowed Values: PH (public holiday), XMAS (Christmas close-down), "
                                             "SEIS (seismic exclusion), SAFE (safety reset day), WET (wet weather)"],
    ("project", "projectstatus"): ["Allowed Values: ACT (active), CMP (complete), HLD (on hold)"],
    ("project", "ragstatus"): ["Allowed Values: R (forecast after the target finish), A (10 or fewer working days "
                               "float), G"],
    ("project", "phase"): ["Allowed Values: Planning, Execution, Commissioning, Closed"],
    ("project", "projecttype"): ["Allowed Values: Development, Ventilation, Plant, Tailings, Shutdown"],
    ("crew", "discipline"): ["Allowed Values: Engineering, Development, Services, Raise Boring, Civil, Earthworks, "
                             "Mechanical, Electrical, Commissioning, Maintenance"],
    ("crew", "panel"): ["Allowed Values: A, B, DS, NS, DAY; panels A and B swap every Monday"],
    ("equipmentunit", "equipmenttype"): ["Allowed Values: JUMBO (development drill rig), LHD (bogger / loader), "
                                         "TRUCK, IT (integrated tool carrier), CHG (charge-up unit), RBR (raise-bore "
                                         "rig), EXC (excavator), DOZ (dozer), ROLL (roller), CRANE"],
    ("equipmentunit", "unitstatus"): ["Allowed Values: AV (available), BD (broken down), PM (planned maintenance), "
                                      "OFF (off hire)"],
    ("equipmentunit", "ownership"): ["Allowed Values: Owned, Hired, Contractor"],
    ("riskregister", "riskstatus"): ["Allowed Values: Open, Closed, Occurred (the risk happened)"],
    ("riskregister", "riskscore"): ["High risk: riskscore >= 12"],
    ("changerequest", "crstatus"): ["Allowed Values: DRAFT, SUB (submitted, awaiting decision), APPR (approved), "
                                    "REJ (rejected), WDN (withdrawn)"],
    ("inspection", "result"): ["Allowed Values: Pass, Pass with actions, Fail"],
    ("delivery", "deliverystatus"): ["Allowed Values: OPEN (on order, not received), RECD (received in full), "
                                     "PRT (partly received), CANC (cancelled)", "Late: receiveddate > requireddate"],
    ("shiftreport", "delaycode"): ["Allowed Values: VENT (insufficient ventilation), SEIS (seismic re-entry), EBD "
                                   "(equipment breakdown), BLST (blasting re-entry / fumes), GRD (poor ground), WATR "
                                   "(water / pumping), SERV (waiting on services), WX (weather), MATL (materials), "
                                   "PERM (permit or isolation), null"],
    ("shiftreport", "shift"): ["Allowed Values: DS (day shift), NS (night shift)"],
}

CONCEPTS = {
    ("activity", "totalfloat"): ["total_float", "critical_path"],
    ("activity", "freefloat"): ["free_float"],
    ("activity", "iscritical"): ["critical_path"],
    ("activity", "pctcomplete"): ["percent_complete"],
    ("activity", "baselinefinish"): ["baseline_variance"],
    ("baselineactivity", "baselinefinish"): ["baseline_variance"],
    ("activitylink", "lagdays"): ["lag"],
    ("project", "forecastcost"): ["cost_variance"],
    ("riskregister", "riskscore"): ["risk_exposure"],
    ("activity", "designmetres"): ["development_metres"],
    ("project", "designmetres"): ["development_metres"],
    ("shiftreport", "metresadvanced"): ["development_metres", "advance_rate"],
    ("shiftreport", "tonneshauled"): ["tonnes_hauled"],
    ("shiftreport", "hourslost"): ["lost_time"],
    ("shiftreport", "delaycode"): ["lost_time"],
    ("equipmentunit", "unitstatus"): ["equipment_availability"],
    ("inspection", "actionsopen"): ["open_actions"],
    ("calendarexception", "exceptiondate"): ["non_working_day"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before the project misses its target finish",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a project's finish",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a link in calendar days, e.g. services following the face by a week",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Forecast cost at completion against the approved budget",
    "risk_exposure": "Likelihood x consequence score of a risk",
    "development_metres": "Metres of lateral development (decline, drives, cuddies) designed or advanced",
    "advance_rate": "Metres advanced per shift or per day in a heading",
    "tonnes_hauled": "Tonnes of development waste, reaming cuttings or fill hauled",
    "lost_time": "Person-hours lost to ventilation, seismic re-entry, breakdowns, blasting re-entry, ground, water, "
                 "services, weather, materials or permits",
    "equipment_availability": "Whether a unit is available, broken down, in planned maintenance or off hire",
    "open_actions": "Inspection actions not yet closed",
    "non_working_day": "Public holidays, Christmas, seismic exclusions, safety resets and wet days",
}

QUERY_EXAMPLES = [
    ("SELECT projectcode, projectname, targetfinish, forecastfinish, ragstatus FROM project ORDER BY targetfinish;",
     "Projects with target and forecast finish", "simple"),
    ("SELECT a.activitycode, a.activityname, a.earlystart, a.totalfloat FROM activity a JOIN project p ON "
     "p.projectid = a.projectid WHERE p.projectcode = 'C2407' AND a.iscritical = 1 ORDER BY a.earlystart;",
     "Critical activities of a project", "medium"),
    ("SELECT p.projectname, SUM(s.metresadvanced) AS metres FROM shiftreport s JOIN project p ON p.projectid = "
     "s.projectid JOIN activity a ON a.activityid = s.activityid WHERE a.designmetres IS NOT NULL AND "
     "p.projecttype = 'Development' GROUP BY p.projectname ORDER BY metres DESC;",
     "Development metres advanced by project", "medium"),
    ("SELECT a.activitycode, a.activityname, b.baselinefinish, a.earlyfinish FROM activity a JOIN "
     "baselineactivity b ON b.activityid = a.activityid JOIN baseline l ON l.baselineid = b.baselineid "
     "WHERE l.iscurrent = 1 AND a.earlyfinish > b.baselinefinish;",
     "Activities forecast to finish later than the current baseline", "complex"),
    ("SELECT unitcode, unitname, equipmenttype, unitstatus, statusdate FROM equipmentunit WHERE unitstatus = 'BD';",
     "Equipment broken down", "simple"),
    ("SELECT inspectionref, inspectiontype, location, inspectiondate, actionsopen FROM inspection WHERE "
     "actionsopen > 0;", "Inspections with actions still open", "simple"),
    ("SELECT ponumber, itemdescription, requireddate, receiveddate FROM delivery WHERE receiveddate > "
     "requireddate;", "Deliveries received after the date required", "simple"),
    ("SELECT e.exceptiondate, e.exceptiontype, e.reason FROM calendarexception e JOIN calendar c ON c.calendarid = "
     "e.calendarid WHERE c.calendarcode = 'SURF6D10' AND e.exceptiondate >= '2025-11-21' ORDER BY "
     "e.exceptiondate;", "Coming non-working days of the surface calendar", "medium"),
    ("SELECT r.crnumber, r.crtitle, r.costimpact FROM changerequest r JOIN project p ON p.projectid = r.projectid "
     "WHERE p.projectcode = 'C2501' AND r.crstatus IN ('DRAFT', 'SUB');", "Open change requests of a project",
     "medium"),
    ("SELECT s.delaycode, SUM(s.hourslost) AS hourslost FROM shiftreport s WHERE s.delaycode IS NOT NULL GROUP BY "
     "s.delaycode ORDER BY hourslost DESC;", "Hours lost by delay code", "medium"),
]

KEYWORDS = {
    "float": ["activity.totalfloat", "activity.freefloat", "total_float"],
    "TF": ["activity.totalfloat"],
    "critical": ["activity.iscritical", "critical_path"],
    "predecessor": ["activitylink.predecessorid", "activitylink"],
    "successor": ["activitylink.successorid", "activitylink"],
    "baseline": ["baseline", "baselineactivity", "baseline_variance"],
    "project": ["project"],
    "job": ["project"],
    "decline": ["project.projectname", "activity.location"],
    "level": ["activity.location", "project.projectname"],
    "heading": ["activity.location"],
    "drive": ["activity.location"],
    "raise": ["project.projectname", "activity.location"],
    "RAR2": ["project.projectname"],
    "TSF": ["project.projectname", "activity.location"],
    "dam": ["project.projectname"],
    "shut": ["project.projecttype"],
    "metres": ["shiftreport.metresadvanced", "activity.designmetres", "development_metres"],
    "advance": ["shiftreport.metresadvanced", "advance_rate"],
    "tonnes": ["shiftreport.tonneshauled"],
    "bolts": ["shiftreport.boltsinstalled"],
    "fill": ["shiftreport.volumeplaced"],
    "delay": ["shiftreport.delaycode", "shiftreport.hourslost", "lost_time"],
    "crew": ["crew", "crewassignment"],
    "panel": ["crew.panel"],
    "shift boss": ["crew.supervisor"],
    "contractor": ["crew.employer", "equipmentunit.ownership"],
    "jumbo": ["equipmentunit.equipmenttype"],
    "bogger": ["equipmentunit.equipmenttype"],
    "truck": ["equipmentunit.equipmenttype"],
    "equipment": ["equipmentunit"],
    "inspection": ["inspection"],
    "ground support": ["inspection.inspectiontype"],
    "PO": ["delivery.ponumber"],
    "delivery": ["delivery"],
    "risk": ["riskregister"],
    "CR": ["changerequest"],
    "change": ["changerequest"],
    "holiday": ["calendarexception"],
    "roster": ["calendar", "crew.panel"],
}

TERMINOLOGY = {
    "decline": "The main spiral ramp from surface that trucks use; extended downwards level by level",
    "level": "A horizontal working horizon named by its depth (RL), e.g. the 1220 level",
    "RL": "Reduced level, the depth reference of a level or heading",
    "heading": "A development face being advanced (decline, drive, cuddy)",
    "footwall drive": "Level drive developed in the footwall of the orebody",
    "cuddy": "Short excavation off the decline (stockpile, sump, drill cuddy)",
    "dev metres": "Metres of lateral development advanced",
    "jumbo": "Electro-hydraulic drill rig for development faces",
    "bogger": "Load-haul-dump loader (LHD)",
    "raise bore": "Drilling a pilot hole down and reaming it back up to a large diameter",
    "RAR": "Return air raise, an exhaust ventilation shaft",
    "pilot hole": "The small-diameter hole drilled first when raise boring",
    "reaming": "Enlarging the pilot hole to the raise diameter",
    "ground support": "Rock bolts, mesh and fibrecrete holding the excavation",
    "fibrecrete": "Steel fibre reinforced shotcrete",
    "re-entry": "Return to a heading after blasting fumes clear or after a seismic exclusion",
    "TSF": "Tailings storage facility (tailings dam)",
    "lift": "Raising of a TSF embankment by a stage",
    "shut": "Planned mill shutdown for relines and repairs",
    "reline": "Replacing the liners of a grinding mill",
    "panel": "One of two rotating crews on a week-on week-off roster",
    "DS": "Day shift",
    "NS": "Night shift",
    "shift boss": "Supervisor of an underground crew on a shift",
    "data date": "Date up to which progress is recorded (2025-11-21)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF": "Finish to finish link",
}

RELATED_TERMS = {
    "project": "project, job, capital project, development project",
    "activity": "activity, task, schedule line, programme",
    "wbsnode": "WBS, work breakdown, cost account",
    "crew": "crew, panel, shift, contractor, team",
    "equipmentunit": "equipment, unit, fleet, jumbo, bogger, loader, truck, rig, plant",
    "crewassignment": "assignment, hours, labour cost",
    "riskregister": "risk, risk register",
    "changerequest": "change request, CR, change, variation",
    "inspection": "inspection, test, ground support, geotech, pull test, survey, QA",
    "delivery": "delivery, materials, spares, purchase order, PO, long lead",
    "shiftreport": "shift report, shift log, daily report, metres, tonnes, delays",
    "activitylink": "link, relationship, dependency, logic",
    "calendar": "calendar, roster, shift pattern, working week",
    "calendarexception": "holiday, non-working day, seismic exclusion, wet day",
    "baseline": "baseline",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout17"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="activity")


if __name__ == "__main__":
    sys.exit(main())
