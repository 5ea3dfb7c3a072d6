#!/usr/bin/env python3
"""Build the fourteenth check schedule database (an offshore wind farm construction programme,
lowerCamelCase singular tables with type-prefixed columns) and its metadata.

The construction programme of the Skerrow Bank offshore wind farm (24 turbines in three array strings A,
B and C, one offshore substation, two 220 kV export cables to a landfall at Saltcoe Sands) run by Skerrow
Bank Offshore Wind Ltd from the marshalling port of Caldmouth. Seven packages: monopile foundations,
transition pieces, wind turbines (re-baselined after a nacelle factory delay), 66 kV inter-array cables,
the export cables, the offshore substation and the marshalling port works.

Named the way a developer's in-house planning database is named: singular lowerCamelCase tables
(installActivity, logicLink, vesselDayLog, ...) and columns whose prefix gives the type: int (integer
keys and counts), str (text), dt (ISO dates), dbl (measures), bit (0 / 1 flags) and cur (money, GBP).
Activity status, activity type, link type, resource type, variation status, cable status and downtime
cause are short codes; package phase, risk status and pile result are words.

Durations, remaining durations and float are in WORKING DAYS of the activity's calendar; lags are
calendar days. Offshore calendars are weather-restricted: jack-up and heavy-lift work stops for a winter
closure, cable lay works April to October only. Every activity is scheduled by one forward and backward
pass over the whole programme's logic (interface links cross packages), against each package's
contractual key date. Data date 2025-09-12.

Outputs go to bench/out/holdout14/ (or --out DIR); --check also runs every gold statement of
questions.json and every statement of history.json. The command line is bench/schedule_build.py's.
Standard library only; deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 141414
DATA_DATE = dt.date(2025, 9, 12)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import WorkDays, check_with_history, default_out, forward_backward, describe_tables, main as build_main, metadata_document, day_span as _span, iso, wbs_rows  # noqa: E402
DB_NAME = "holdout14_schedule.db"
META_NAME = "holdout14_metadata.json"
D1 = dt.timedelta(days=1)

DDL = """
CREATE TABLE programmePackage (
    intPackageId INTEGER PRIMARY KEY, strPackageCode TEXT NOT NULL UNIQUE, strPackageName TEXT NOT NULL,
    strContractor TEXT NOT NULL, strPackageManager TEXT NOT NULL, strContractForm TEXT NOT NULL,
    curContractValueGbp REAL NOT NULL, curForecastFinalCostGbp REAL NOT NULL, dtPlanStart TEXT NOT NULL,
    dtKeyDate TEXT NOT NULL, dtForecastFinish TEXT NOT NULL, dtActualFinish TEXT, strPhase TEXT NOT NULL,
    strRag TEXT NOT NULL
);
CREATE TABLE wbsNode (
    intWbsNodeId INTEGER PRIMARY KEY, intPackageId INTEGER NOT NULL REFERENCES programmePackage(intPackageId),
    intParentNodeId INTEGER REFERENCES wbsNode(intWbsNodeId), strWbsCode TEXT NOT NULL, strWbsTitle TEXT NOT NULL,
    intLevel INTEGER NOT NULL
);
CREATE TABLE workCalendar (
    intCalendarId INTEGER PRIMARY KEY, strCalendarCode TEXT NOT NULL UNIQUE, strCalendarName TEXT NOT NULL,
    strWorkWeek TEXT NOT NULL, dblHoursPerDay REAL NOT NULL, bitWeatherRestricted INTEGER NOT NULL,
    dblHsLimitM REAL, strSeasonWindow TEXT, strNotes TEXT
);
CREATE TABLE calendarException (
    intExceptionId INTEGER PRIMARY KEY, intCalendarId INTEGER NOT NULL REFERENCES workCalendar(intCalendarId),
    dtException TEXT NOT NULL, strExceptionType TEXT NOT NULL, strReason TEXT NOT NULL
);
CREATE TABLE turbinePosition (
    intPositionId INTEGER PRIMARY KEY, strPositionCode TEXT NOT NULL UNIQUE, strArrayString TEXT,
    strStructureType TEXT NOT NULL, dblWaterDepthM REAL NOT NULL, dblLatitude REAL NOT NULL,
    dblLongitude REAL NOT NULL, strSoilUnit TEXT NOT NULL, intUxoTargetsCleared INTEGER NOT NULL
);
CREATE TABLE installActivity (
    intActivityId INTEGER PRIMARY KEY, intPackageId INTEGER NOT NULL REFERENCES programmePackage(intPackageId),
    intWbsNodeId INTEGER NOT NULL REFERENCES wbsNode(intWbsNodeId),
    intCalendarId INTEGER NOT NULL REFERENCES workCalendar(intCalendarId),
    intPositionId INTEGER REFERENCES turbinePosition(intPositionId), strActivityCode TEXT NOT NULL UNIQUE,
    strActivityName TEXT NOT NULL, strActivityType TEXT NOT NULL, dblOriginalDurationDays REAL NOT NULL,
    dblRemainingDurationDays REAL NOT NULL, dtBaselineStart TEXT, dtBaselineFinish TEXT, dtEarlyStart TEXT NOT NULL,
    dtEarlyFinish TEXT NOT NULL, dtLateStart TEXT, dtLateFinish TEXT, dtActualStart TEXT, dtActualFinish TEXT,
    dblTotalFloatDays REAL, dblFreeFloatDays REAL, bitCritical INTEGER NOT NULL, dblPercentComplete REAL NOT NULL,
    strStatus TEXT NOT NULL
);
CREATE TABLE logicLink (
    intLinkId INTEGER PRIMARY KEY, intPredActivityId INTEGER NOT NULL REFERENCES installActivity(intActivityId),
    intSuccActivityId INTEGER NOT NULL REFERENCES installActivity(intActivityId), strLinkType TEXT NOT NULL,
    dblLagDays REAL NOT NULL, bitInterface INTEGER NOT NULL
);
CREATE TABLE baselineHeader (
    intBaselineId INTEGER PRIMARY KEY, intPackageId INTEGER NOT NULL REFERENCES programmePackage(intPackageId),
    intBaselineNo INTEGER NOT NULL, strBaselineName TEXT NOT NULL, dtBaselineSet TEXT NOT NULL,
    strApprovedBy TEXT NOT NULL, bitIsCurrent INTEGER NOT NULL
);
CREATE TABLE baselineActivity (
    intBaselineActivityId INTEGER PRIMARY KEY,
    intBaselineId INTEGER NOT NULL REFERENCES baselineHeader(intBaselineId),
    intActivityId INTEGER NOT NULL REFERENCES installActivity(intActivityId), dtStart TEXT NOT NULL,
    dtFinish TEXT NOT NULL, dblDurationDays REAL NOT NULL, dblTotalFloatDays REAL
);
CREATE TABLE planResource (
    intResourceId INTEGER PRIMARY KEY, strResourceCode TEXT NOT NULL UNIQUE, strResourceName TEXT NOT NULL,
    strResourceType TEXT NOT NULL, strVesselClass TEXT, strOwnerCompany TEXT NOT NULL, strHomePort TEXT,
    dblOperatingHsLimitM REAL, curDayRateGbp REAL NOT NULL, intMaxUnits INTEGER NOT NULL
);
CREATE TABLE resourceAssignment (
    intAssignmentId INTEGER PRIMARY KEY, intActivityId INTEGER NOT NULL REFERENCES installActivity(intActivityId),
    intResourceId INTEGER NOT NULL REFERENCES planResource(intResourceId), intUnits INTEGER NOT NULL,
    dblPlannedHours REAL NOT NULL, dblActualHours REAL NOT NULL, dblRemainingHours REAL NOT NULL,
    curPlannedCostGbp REAL NOT NULL, curActualCostGbp REAL NOT NULL
);
CREATE TABLE riskEntry (
    intRiskId INTEGER PRIMARY KEY, intPackageId INTEGER NOT NULL REFERENCES programmePackage(intPackageId),
    intActivityId INTEGER REFERENCES installActivity(intActivityId), strRiskRef TEXT NOT NULL UNIQUE,
    strRiskTitle TEXT NOT NULL, strCategory TEXT NOT NULL, intProbability INTEGER NOT NULL, intImpact INTEGER NOT NULL,
    intScore INTEGER NOT NULL, curCostExposureGbp REAL NOT NULL, dblScheduleExposureDays REAL NOT NULL,
    strRiskOwner TEXT NOT NULL, strResponse TEXT NOT NULL, strRiskStatus TEXT NOT NULL, dtRaised TEXT NOT NULL,
    dtNextReview TEXT NOT NULL
);
CREATE TABLE variationOrder (
    intVariationId INTEGER PRIMARY KEY, intPackageId INTEGER NOT NULL REFERENCES programmePackage(intPackageId),
    strVariationRef TEXT NOT NULL UNIQUE, strTitle TEXT NOT NULL, strVariationType TEXT NOT NULL,
    strRaisedBy TEXT NOT NULL, curValueGbp REAL NOT NULL, dblTimeImpactDays REAL NOT NULL,
    strVariationStatus TEXT NOT NULL, dtRaised TEXT NOT NULL, dtDecision TEXT
);
CREATE TABLE vesselDayLog (
    intDayLogId INTEGER PRIMARY KEY, intResourceId INTEGER NOT NULL REFERENCES planResource(intResourceId),
    intPackageId INTEGER NOT NULL REFERENCES programmePackage(intPackageId), dtLogDate TEXT NOT NULL,
    strLocation TEXT NOT NULL, dblHsMaxM REAL NOT NULL, dblWindMaxMs REAL NOT NULL, dblProductiveHours REAL NOT NULL,
    dblWeatherDowntimeHours REAL NOT NULL, dblOtherDowntimeHours REAL NOT NULL, strDowntimeCode TEXT,
    intPersonsOnBoard INTEGER NOT NULL, strSummary TEXT NOT NULL, strReportedBy TEXT NOT NULL
);
CREATE TABLE pileRecord (
    intPileRecordId INTEGER PRIMARY KEY, intActivityId INTEGER NOT NULL REFERENCES installActivity(intActivityId),
    intPositionId INTEGER NOT NULL REFERENCES turbinePosition(intPositionId), strPileSerial TEXT NOT NULL UNIQUE,
    dblDiameterM REAL NOT NULL, dblLengthM REAL NOT NULL, dblTargetPenetrationM REAL NOT NULL,
    dblAchievedPenetrationM REAL NOT NULL, intHammerBlows INTEGER NOT NULL, dblMaxHammerEnergyKj REAL NOT NULL,
    dblInclinationDeg REAL NOT NULL, bitRefusal INTEGER NOT NULL, dtDriven TEXT NOT NULL, strResult TEXT NOT NULL
);
CREATE TABLE cablePull (
    intCablePullId INTEGER PRIMARY KEY, intActivityId INTEGER NOT NULL REFERENCES installActivity(intActivityId),
    strCableRef TEXT NOT NULL UNIQUE, strCableType TEXT NOT NULL,
    intFromPositionId INTEGER REFERENCES turbinePosition(intPositionId),
    intToPositionId INTEGER REFERENCES turbinePosition(intPositionId), dblRouteLengthKm REAL NOT NULL,
    dtLaid TEXT NOT NULL, dblMaxPullTensionKn REAL NOT NULL, dblTargetBurialM REAL NOT NULL,
    dblAchievedBurialM REAL, bitInsulationTestPass INTEGER, strCableStatus TEXT NOT NULL
);
"""

# ---------------------------------------------------------------------------------------------- calendars

BANK_HOLIDAYS = {
    "2024-01-01": "New Year's Day", "2024-03-29": "Good Friday", "2024-04-01": "Easter Monday",
    "2024-05-06": "Early May bank holiday", "2024-05-27": "Spring bank holiday",
    "2024-08-26": "Summer bank holiday", "2024-12-25": "Christmas Day", "2024-12-26": "Boxing Day",
    "2025-01-01": "New Year's Day", "2025-04-18": "Good Friday", "2025-04-21": "Easter Monday",
    "2025-05-05": "Early May bank holiday", "2025-05-26": "Spring bank holiday",
    "2025-08-25": "Summer bank holiday", "2025-12-25": "Christmas Day", "2025-12-26": "Boxing Day",
    "2026-01-01": "New Year's Day", "2026-04-03": "Good Friday", "2026-04-06": "Easter Monday",
    "2026-05-04": "Early May bank holiday", "2026-05-25": "Spring bank holiday",
}
CAL_FROM, CAL_TO = dt.date(2024, 1, 1), dt.date(2026, 9, 30)


XMAS = _span("2024-12-23", "2025-01-03") + _span("2025-12-22", "2026-01-02")
JU_WINTER = _span("2024-12-01", "2025-02-28") + _span("2025-12-08", "2026-02-28")
CLV_WINTER = _span("2024-11-01", "2025-03-31") + _span("2025-11-01", "2026-03-31")

CALENDARS = [
    # id, code, name, work days (0 = Mon), week, hours a day, weather restricted, Hs limit, season, notes, kind
    (1, "ONS-5x8", "Onshore office 5 x 8h", {0, 1, 2, 3, 4}, "Mon-Fri", 8.0, 0, None, None,
     "Engineering, procurement and package management; office closed between Christmas and New Year", "office"),
    (2, "PORT-6x10", "Caldmouth port 6 x 10h", {0, 1, 2, 3, 4, 5}, "Mon-Sat", 10.0, 0, None, None,
     "Quayside works, pre-assembly and load-out at the marshalling port; bank holidays off", "port"),
    (3, "OFF-7x24", "Offshore 24/7 (not weather restricted)", set(range(7)), "Mon-Sun", 24.0, 0, None, "All year",
     "Work on installed structures from the SOV (walk-to-work): bolting, terminations, commissioning", "sea"),
    (4, "WX-JU-7x24", "Weather-restricted jack-up / heavy lift 24/7", set(range(7)), "Mon-Sun", 24.0, 1, 2.5,
     "March to November",
     "Jack-up and heavy-lift installation; no planned installation in the winter closure (December to February)",
     "jackup"),
    (5, "WX-CLV-7x24", "Weather-restricted cable lay 24/7", set(range(7)), "Mon-Sun", 24.0, 1, 2.0,
     "April to October", "Cable lay, burial and pull-in; cable lay season closed November to March", "clv"),
    (6, "ONS-CIV-5x10", "Onshore civils 5 x 10h", {0, 1, 2, 3, 4}, "Mon-Fri", 10.0, 0, None, None,
     "Landfall HDD and onshore cable route works; bank holidays and Christmas shutdown off", "civils"),
    (7, "ELAPSED", "7-day elapsed", set(range(7)), "Mon-Sun", 24.0, 0, None, None,
     "Manufacture, transit, curing and vendor lead times", "elapsed"),
]


class Cal(WorkDays):
    def __init__(self, row):
        self.cal_id, self.code = row[0], row[1]
        self.days, self.hrs, kind = row[3], row[5], row[10]
        self.off = {}
        if kind in ("office", "port", "civils"):
            for iso_d, name in BANK_HOLIDAYS.items():
                self.off[dt.date.fromisoformat(iso_d)] = ("BH", f"Bank holiday - {name}")
        if kind in ("office", "civils"):
            for d in XMAS:
                self.off.setdefault(d, ("XMS", "Christmas shutdown"))
        if kind == "port":
            for d in _span("2025-07-14", "2025-07-15"):
                self.off[d] = ("PRT", "Harbour closed - tall ships regatta berth allocation")
        if kind in ("sea", "jackup"):
            for iso_d in ("2024-12-25", "2025-12-25"):
                self.off[dt.date.fromisoformat(iso_d)] = ("BH", "Bank holiday - Christmas Day (crew change)")
        if kind == "jackup":
            for d in JU_WINTER:
                self.off.setdefault(d, ("WSN", "Winter weather closure - no jack-up installation"))
        if kind == "clv":
            for d in CLV_WINTER:
                self.off[d] = ("WSN", "Outside cable lay season")


CALS = {row[1]: Cal(row) for row in CALENDARS}
ONS, PORT, SEA, JU, CLV, CIV, EL = (row[1] for row in CALENDARS)

# ---------------------------------------------------------------------------------------------- reference data

STRINGS = "ABC"
POS = [f"{s}{i:02d}" for s in STRINGS for i in range(1, 9)]
SOIL = {"A": "Dense sand over stiff clay", "B": "Stiff glacial till", "C": "Sand over weak chalk"}
REFUSAL = {"B05": 3, "C03": 4}          # positions where piles met refusal: drive-drill-drive, extra days

RESOURCES = [
    # code, name, type, vessel class, owner, home port, Hs limit m, day rate GBP, max units, hours a day
    ("HLV-ALD", "Aldmoor Titan", "VSL", "Heavy lift vessel", "Harlan Marine Contractors", "Caldmouth", 2.5, 265000.0,
     1, 24),
    ("JUV-COR", "Corran Jack", "VSL", "Jack-up installation vessel", "Northbrae Jack-Up Services", "Caldmouth", 2.2,
     148000.0, 1, 24),
    ("JUV-BRO", "Brora Jack", "VSL", "Jack-up installation vessel", "Northbrae Jack-Up Services", "Caldmouth", 2.5,
     172000.0, 1, 24),
    ("CLV-FEN", "Fenwick Spool", "VSL", "Cable lay vessel", "Tideline Subsea", "Portlarne", 2.0, 98000.0, 1, 24),
    ("CLV-SEL", "Selkirk Carrier", "VSL", "Cable lay vessel", "Tideline Subsea", "Portlarne", 2.0, 121000.0, 1, 24),
    ("TRV-PLG", "Marran Trencher", "VSL", "Trenching support vessel", "Tideline Subsea", "Portlarne", 2.2, 76000.0,
     1, 24),
    ("SOV-SKG", "Skerrow Guardian", "VSL", "Service operation vessel", "Skerrow Bank Offshore Wind Ltd", "Caldmouth",
     3.0, 38000.0, 1, 24),
    ("CTV-TRN", "Tern Swift", "VSL", "Crew transfer vessel", "Gannet Marine", "Caldmouth", 1.5, 3900.0, 2, 12),
    ("CRW-PILE", "Piling and handling crew", "CRW", None, "Harlan Marine Contractors", None, None, 9600.0, 12, 12),
    ("CRW-BOLT", "Bolt tensioning crew", "CRW", None, "Torvik Bolting", None, None, 4200.0, 6, 12),
    ("CRW-WTG", "Turbine installation technicians", "CRW", None, "Valstrom Wind", None, None, 8800.0, 10, 12),
    ("CRW-COM", "Turbine commissioning technicians", "CRW", None, "Valstrom Wind", None, None, 5400.0, 6, 12),
    ("CRW-JNT", "HV cable jointers and terminators", "CRW", None, "Tideline Subsea", None, None, 3600.0, 4, 12),
    ("CRW-HVT", "HV test engineers", "CRW", None, "Ampleforth Testing", None, None, 2800.0, 2, 12),
    ("CRW-OSS", "Substation hook-up crew", "CRW", None, "Meridian Offshore Electrical", None, None, 7600.0, 10,
     12),
    ("CRW-PRT", "Port stevedores and riggers", "CRW", None, "Caldmouth Harbour Services", None, None, 3100.0, 10,
     10),
    ("CRW-CIV", "Onshore civils gang", "CRW", None, "Dalgarno Civils", None, None, 2900.0, 8, 10),
    ("CRN-750", "750 t crawler crane (quayside)", "CRN", None, "Caldmouth Harbour Services", "Caldmouth", None,
     9800.0, 1, 10),
    ("CRN-250", "250 t mobile crane", "CRN", None, "Caldmouth Harbour Services", "Caldmouth", None, 3400.0, 1,
     10),
    ("EQP-HDD", "HDD rig 250 t", "EQP", None, "Dalgarno Civils", None, None, 6200.0, 1, 10),
    ("EQP-HAM", "Hydraulic pile hammer 4000 kJ", "EQP", None, "Harlan Marine Contractors", None, None, 21000.0, 1,
     24),
]

KINDS = {
    "pile": ["HLV-ALD", "CRW-PILE", "EQP-HAM"], "hlv": ["HLV-ALD", "CRW-PILE"], "tp": ["JUV-COR", "CRW-PILE"],
    "bolt": ["SOV-SKG", "CRW-BOLT"], "wtg": ["JUV-BRO", "CRW-WTG"], "com": ["SOV-SKG", "CRW-COM"],
    "clv": ["CLV-FEN", "CRW-JNT"], "clv2": ["CLV-SEL", "CRW-JNT"], "trench": ["TRV-PLG"],
    "term": ["CTV-TRN", "CRW-JNT", "CRW-HVT"], "hvt": ["CTV-TRN", "CRW-HVT"], "oss": ["SOV-SKG", "CRW-OSS"],
    "port": ["CRW-PRT", "CRN-750"], "port2": ["CRW-PRT", "CRN-250"], "civ": ["CRW-CIV"],
    "hdd": ["CRW-CIV", "EQP-HDD"], "mob": [],
}
UNITS = {"CRW-PILE": 8, "CRW-BOLT": 4, "CRW-WTG": 8, "CRW-COM": 4, "CRW-JNT": 3, "CRW-HVT": 2, "CRW-OSS": 8,
         "CRW-PRT": 6, "CRW-CIV": 6, "CTV-TRN": 1}

# ---------------------------------------------------------------------------------------------- plans


class Plan:
    def __init__(self, pkg, cal, phases):
        self.pkg, self.cal = pkg, cal
        self.tasks = []
        self.wbs = [("ROOT", None, None)] + [(k, "ROOT", n) for k, n in phases]

    def node(self, key, parent, name):
        self.wbs.append((key, parent, name))
        return key

    def add(self, key, name, dur, wbs, preds=(), cal=None, kind=None, slip=0, new=False, ms=None, snet=None,
            pos=None):
        self.tasks.append(dict(key=f"{self.pkg}.{key}", name=name, dur=dur, wbs=wbs,
                               preds=[p if "." in p.split(":")[0] else f"{self.pkg}.{p}" for p in preds],
                               cal=cal or self.cal, kind=kind, slip=slip, new=new, ms=ms, snet=snet, pos=pos,
                               pkg=self.pkg))
        return key


PH = [("ENG", "Engineering and certification"), ("FAB", "Procurement and fabrication"),
      ("PRT", "Port and load-out"), ("OFF", "Offshore installation"), ("COM", "Completion")]


def seg_ends(s, i):
    return ("OSS" if i == 1 else f"{s}{i - 1:02d}"), f"{s}{i:02d}"


def plan_mp():
    p = Plan("MP", ONS, PH)
    p.add("ntp", "Notice to proceed - monopile package", 0, "ENG", ms="S")
    p.add("des", "Monopile detailed design and certification", 110, "ENG", ["ntp"])
    p.add("stl", "Steel plate procurement (monopiles)", 80, "FAB", ["des:SS60"], cal=EL)
    p.add("fab", "Monopile fabrication (24 no.) at Rotterdam yard", 150, "FAB", ["stl"], cal=EL, slip=10)
    p.add("dlv", "Monopile delivery to Caldmouth", 20, "PRT", ["fab:SS120"], cal=EL)
    p.add("mob", "Mobilise heavy lift vessel Aldmoor Titan", 4, "PRT", ["dlv:SS10", "PP.rdy"], cal=JU, kind="hlv",
          snet=dt.date(2025, 3, 31))
    prev = "mob"
    for s in STRINGS:
        w = p.node(f"S{s}", "OFF", f"String {s} monopiles")
        for i in range(1, 9):
            pos = f"{s}{i:02d}"
            k = p.add(f"pile{pos}", f"Install monopile {pos}", 2, w, [prev], cal=JU, kind="pile",
                      slip=REFUSAL.get(pos, 0), pos=pos)
            prev = k
    p.add("srv", "Post-installation survey of monopiles (as-built)", 8, "COM", [prev], cal=JU, kind="hlv")
    p.add("dmb", "Demobilise Aldmoor Titan from monopile campaign", 2, "COM", ["srv"], cal=JU, kind="hlv")
    p.add("fin", "Monopile installation complete", 0, "COM", ["dmb"], ms="F")
    return p


def plan_tp():
    p = Plan("TP", ONS, PH)
    p.add("ntp", "Notice to proceed - transition pieces", 0, "ENG", ms="S")
    p.add("des", "Transition piece design (bolted flange) and certification", 90, "ENG", ["ntp"])
    p.add("fab", "Transition piece fabrication and coating (24 no.)", 170, "FAB", ["des:SS50"], cal=EL, slip=12)
    p.add("dlv", "Transition piece delivery to Caldmouth", 14, "PRT", ["fab:FF5"], cal=EL)
    p.add("mob", "Mobilise jack-up Corran Jack for TP campaign", 3, "PRT", ["dlv:SS5"], cal=JU, kind="tp",
          snet=dt.date(2025, 5, 19))
    prev = "mob"
    for s in STRINGS:
        w = p.node(f"S{s}", "OFF", f"String {s} transition pieces")
        for i in range(1, 9):
            pos = f"{s}{i:02d}"
            k = p.add(f"tp{pos}", f"Install transition piece {pos}", 1, w, [prev, f"MP.pile{pos}"], cal=JU,
                      kind="tp", pos=pos, slip=1 if pos in ("A06", "B02") else 0)
            p.add(f"bt{pos}", f"Bolt tensioning and TP outfitting {pos}", 2, w, [f"tp{pos}"], cal=SEA, kind="bolt",
                  pos=pos)
            prev = k
    p.add("dmb", "Demobilise Corran Jack", 2, "COM", [prev], cal=JU, kind="tp")
    p.add("fin", "Transition pieces installed", 0, "COM", ["dmb"] + [f"bt{x}" for x in POS], ms="F")
    return p


def plan_wtg():
    p = Plan("WTG", ONS, PH)
    p.add("ntp", "Notice to proceed - turbine supply agreement", 0, "ENG", ms="S")
    p.add("des", "Site design loads and turbine type certificate", 80, "ENG", ["ntp"])
    p.add("nac", "Nacelle manufacture (24 no.)", 450, "FAB", ["des:SS40"], cal=EL, slip=42)
    p.add("bld", "Blade manufacture (72 no.)", 210, "FAB", ["des:SS40"], cal=EL)
    p.add("twr", "Tower section manufacture (72 no.)", 170, "FAB", ["des"], cal=EL)
    p.add("dlv", "Turbine components delivery to Caldmouth", 30, "PRT", ["nac:SS200", "bld:SS180", "twr:SS140"],
          cal=EL)
    p.add("pre", "Tower pre-assembly and load-out at Caldmouth", 40, "PRT", ["dlv:SS10", "PP.rdy"], cal=PORT,
          kind="port")
    p.add("mob", "Mobilise jack-up Brora Jack for turbine campaign", 4, "PRT", ["pre:SS15", "nac:FF-50"], cal=JU, kind="wtg")
    prev = "mob"
    for s in STRINGS:
        w = p.node(f"S{s}", "OFF", f"String {s} turbines")
        for i in range(1, 9):
            pos = f"{s}{i:02d}"
            k = p.add(f"ins{pos}", f"Install WTG {pos} (tower, nacelle, 3 blades)", 3, w, [prev, f"TP.bt{pos}"],
                      cal=JU, kind="wtg", pos=pos, slip=1 if pos in ("A03", "A07", "B01") else 0)
            prev = k
    p.add("dmb", "Demobilise Brora Jack", 3, "COM", [prev], cal=JU, kind="wtg")
    for s in STRINGS:
        w = f"S{s}"
        for i in range(1, 9):
            pos = f"{s}{i:02d}"
            p.add(f"com{pos}", f"Commission and energise WTG {pos}", 4, w, [f"ins{pos}", f"IAC.tst{s}", "OSS.ene"],
                  cal=SEA, kind="com", pos=pos)
    p.add("lep", "Blade leading edge protection retrofit (batch 3 blades)", 20, "COM", ["insC08"],
          cal=SEA, kind="com", new=True)
    p.add("rel", "Reliability run and take-over certificate (all WTGs)", 15, "COM",
          [f"com{x}" for x in POS] + ["lep"], cal=SEA)
    p.add("fin", "Wind farm take-over - all turbines", 0, "COM", ["rel", "dmb"], ms="F")
    return p


def plan_iac():
    p = Plan("IAC", ONS, PH)
    p.add("ntp", "Notice to proceed - inter-array cables", 0, "ENG", ms="S")
    p.add("des", "Array cable route engineering and cable design", 100, "ENG", ["ntp"])
    p.add("uxo", "UXO survey and clearance along array routes", 25, "ENG", ["des:SS60"], cal=CLV, kind="trench")
    p.add("mfg", "66 kV array cable manufacture (24 lengths)", 160, "FAB", ["des:SS70"], cal=EL)
    p.add("lod", "Array cable load-out onto Fenwick Spool", 4, "PRT", ["mfg"], cal=PORT, kind="port2")
    p.add("mob", "Mobilise CLV Fenwick Spool", 3, "PRT", ["lod", "uxo"], cal=CLV, kind="clv",
          snet=dt.date(2025, 7, 7))
    prev = "mob"
    for s in STRINGS:
        w = p.node(f"S{s}", "OFF", f"String {s} array cables")
        for i in range(1, 9):
            a, b = seg_ends(s, i)
            preds = [prev, f"TP.bt{b}"] + ([f"TP.bt{a}"] if a != "OSS" else ["OSS.tin"])
            k = p.add(f"lay{s}{i}", f"Lay and pull in array cable {a}-{b}", 3, w, preds, cal=CLV, kind="clv",
                      pos=b, slip=2 if (s, i) in (("A", 4), ("B", 6)) else 0)
            prev = k
        p.add(f"bur{s}", f"Post-lay burial string {s}", 7, w, [f"lay{s}8"], cal=CLV, kind="trench",
              slip=3 if s == "A" else 0)
        p.add(f"trm{s}", f"Terminate and hang off array cables string {s}", 6, w, [f"lay{s}8"], cal=SEA, kind="term")
        p.add(f"tst{s}", f"HV test array cables string {s}", 2, w, [f"trm{s}", f"bur{s}"], cal=SEA, kind="hvt")
    p.add("cps", "Cable repair joint and rock placement at A03-A04", 6, "OFF", ["tstA:FS24"], cal=CLV,
          kind="trench", new=True)
    p.add("fin", "Array cables installed and tested", 0, "COM", ["tstA", "tstB", "tstC", "cps"], ms="F")
    return p


def plan_exp():
    p = Plan("EXP", ONS, PH)
    p.add("ntp", "Notice to proceed - export cables", 0, "ENG", ms="S")
    p.add("des", "Export cable route engineering and burial assessment", 120, "ENG", ["ntp"])
    p.add("mfg", "220 kV export cable manufacture (2 x 41 km)", 220, "FAB", ["des:SS60"], cal=EL)
    p.add("hdd", "Landfall HDD ducts at Saltcoe Sands (2 no.)", 35, "OFF", ["des"], cal=CIV, kind="hdd",
          snet=dt.date(2025, 1, 13))
    p.add("mob", "Mobilise CLV Selkirk Carrier", 3, "PRT", ["mfg"], cal=CLV, kind="clv2", snet=dt.date(2025, 4, 1))
    p.add("ly1", "Lay export cable 1 (landfall pull-in to OSS)", 12, "OFF", ["mob", "hdd"], cal=CLV, kind="clv2")
    p.add("ly2", "Lay export cable 2 (landfall pull-in to OSS)", 12, "OFF", ["ly1"], cal=CLV, kind="clv2", slip=5)
    p.add("bur", "Export cable burial (jet trenching)", 16, "OFF", ["ly1:SS8", "ly2"], cal=CLV, kind="trench")
    p.add("pio", "Export cable pull-in at OSS J-tubes", 4, "OFF", ["ly2", "OSS.tin"], cal=SEA, kind="term")
    p.add("tjb", "Transition joint bay jointing at landfall", 12, "OFF", ["ly2"], cal=CIV, kind="civ")
    p.add("tst", "Export cable HV test (both circuits)", 3, "COM", ["pio", "tjb", "bur"], cal=SEA, kind="hvt")
    p.add("fin", "Export cables ready for energisation", 0, "COM", ["tst"], ms="F")
    return p


def plan_oss():
    p = Plan("OSS", ONS, PH)
    p.add("ntp", "Notice to proceed - offshore substation", 0, "ENG", ms="S")
    p.add("des", "OSS topside and jacket design", 140, "ENG", ["ntp"])
    p.add("jkt", "Jacket and pin pile fabrication", 210, "FAB", ["des:SS80"], cal=EL)
    p.add("tsf", "Topside fabrication and onshore commissioning", 380, "FAB", ["des:SS60"], cal=EL, slip=18)
    p.add("sea", "Topside sea-fastening and sail-away", 5, "PRT", ["tsf"], cal=JU, kind="hlv")
    p.add("jin", "Install OSS jacket and pin piles", 6, "OFF", ["jkt", "MP.mob"], cal=JU, kind="pile",
          pos="OSS")
    p.add("tin", "Lift OSS topside onto jacket", 2, "OFF", ["jin", "sea"], cal=JU, kind="hlv", pos="OSS")
    p.add("hku", "OSS hook-up and offshore commissioning", 140, "COM", ["tin"], cal=SEA, kind="oss", pos="OSS")
    p.add("ene", "OSS energised from grid (first power)", 0, "COM", ["hku", "EXP.tst"], ms="F", pos="OSS")
    p.add("fin", "Offshore substation complete", 0, "COM", ["ene"], ms="F")
    return p


def plan_port():
    p = Plan("PP", PORT, [("ENG", "Design and consents"), ("CIV", "Quayside works"), ("COM", "Handover")])
    p.add("ntp", "Notice to proceed - Caldmouth marshalling port works", 0, "ENG", ms="S")
    p.add("cns", "Harbour works licence and design", 60, "ENG", ["ntp"], cal=ONS)
    p.add("qua", "Quay wall strengthening (berth 4)", 70, "CIV", ["cns"], kind="civ", slip=6)
    p.add("lay", "Laydown area surfacing (6 ha)", 35, "CIV", ["cns:SS20"], kind="civ")
    p.add("crn", "Erect 750 t crawler crane on berth 4", 8, "CIV", ["qua"], kind="port")
    p.add("rdy", "Marshalling port ready for installation campaigns", 0, "COM", ["crn", "lay"], ms="F")
    p.add("fin", "Port works handed over", 0, "COM", ["rdy"], ms="F")
    return p


PACKAGES = [
    # code, plan, name, contractor, manager, contract form, value GBP, cost factor, start, key-date margin days,
    # re-baseline
    ("PP", plan_port, "SKB-PRT", "Caldmouth Marshalling Port Works", "Dalgarno Civils", "Morag Ettrick",
     "NEC4 ECC Option C", 18500000.0, 1.07, dt.date(2024, 6, 3), 20, None),
    ("MP", plan_mp, "SKB-MPF", "Monopile Foundations - Supply and Installation", "Harlan Marine Contractors",
     "Callum Rennie", "FIDIC Yellow", 212000000.0, 1.04, dt.date(2024, 3, 4), 12, None),
    ("TP", plan_tp, "SKB-TPI", "Transition Pieces - Supply and Installation", "Harlan Marine Contractors",
     "Callum Rennie", "FIDIC Yellow", 96000000.0, 0.98, dt.date(2024, 3, 4), 10, None),
    ("WTG", plan_wtg, "SKB-WTG", "Wind Turbine Supply and Installation (24 x 15 MW)", "Valstrom Wind",
     "Ingrid Soleng", "Turbine Supply Agreement", 486000000.0, 1.06, dt.date(2024, 4, 1), 0,
     (dt.date(2025, 3, 17), "BL1 Re-plan after nacelle factory delay")),
    ("IAC", plan_iac, "SKB-IAC", "Inter-Array Cables 66 kV", "Tideline Subsea", "Priya Raman", "FIDIC Yellow",
     58000000.0, 1.09, dt.date(2024, 4, 1), 6, None),
    ("EXP", plan_exp, "SKB-EXC", "Export Cables 220 kV and Landfall", "Tideline Subsea", "Priya Raman",
     "FIDIC Silver", 131000000.0, 0.99, dt.date(2024, 2, 5), 25, None),
    ("OSS", plan_oss, "SKB-OSS", "Offshore Substation Platform", "Meridian Offshore Electrical", "Declan Shaw",
     "EPCI lump sum", 164000000.0, 1.11, dt.date(2024, 2, 5), 8,
     (dt.date(2025, 5, 12), "BL1 Re-plan after topside fabrication delay")),
]
CODE_PREFIX = {"PP": "PRT", "MP": "MPF", "TP": "TPI", "WTG": "WTG", "IAC": "IAC", "EXP": "EXC", "OSS": "OSS"}
SPONSOR = "Hamish Dunbar"

RISKS = [
    # package, activity key, title, category, probability 1-5, impact 1-5, cost GBP, schedule days, owner,
    # response, status, raised, next review
    ("MP", "MP.pileB05", "Pile refusal in glacial till at string B", "Ground conditions", 3, 4, 2400000.0, 6,
     "Callum Rennie", "Drive-drill-drive spread on standby at Caldmouth", "Realised", "2024-09-16", "2025-09-22"),
    ("MP", "MP.pileC03", "Pile refusal in weak chalk at string C", "Ground conditions", 3, 4, 2100000.0, 5,
     "Callum Rennie", "Drilling tool mobilised with the HLV", "Realised", "2024-09-16", "2025-09-22"),
    ("MP", "MP.fab", "Monopile yard slot clash with another project", "Supply chain", 2, 4, 900000.0, 10,
     "Callum Rennie", "Weekly fabrication progress meetings, liquidated damages", "Closed", "2024-05-13",
     "2025-06-02"),
    ("MP", None, "Marine mammal mitigation stops piling", "Environmental", 2, 3, 600000.0, 4, "Fiona Gair",
     "Acoustic deterrent devices and soft start procedure", "Closed", "2024-07-01", "2025-08-04"),
    ("TP", "TP.fab", "TP coating defects found at pre-delivery check", "Quality", 3, 3, 450000.0, 8,
     "Callum Rennie", "Coating surveyor resident at yard", "Realised", "2024-08-19", "2025-09-15"),
    ("TP", "TP.btA06", "Flange gap out of tolerance at bolted connection", "Technical", 2, 4, 700000.0, 5,
     "Callum Rennie", "Shim kit and re-tensioning procedure approved", "Open", "2025-04-14", "2025-09-22"),
    ("WTG", "WTG.nac", "Nacelle generator supplier delay", "Supply chain", 4, 5, 12500000.0, 45, "Ingrid Soleng",
     "Second generator line, air freight of stator parts", "Realised", "2024-10-07", "2025-09-15"),
    ("WTG", "WTG.insC08", "Turbine installation runs into winter closure", "Weather", 4, 5, 18000000.0, 60,
     "Ingrid Soleng", "Night-time blade lifts, extend jack-up charter into March", "Open", "2025-03-24",
     "2025-09-19"),
    ("WTG", "WTG.lep", "Leading edge erosion on batch 3 blades", "Quality", 3, 3, 1600000.0, 20, "Ingrid Soleng",
     "Retrofit protection shells offshore from the SOV", "Realised", "2025-06-30", "2025-09-29"),
    ("WTG", "WTG.pre", "Crawler crane breakdown at Caldmouth", "Technical", 2, 4, 800000.0, 6, "Morag Ettrick",
     "Standby 250 t mobile crane on call-off", "Open", "2025-05-26", "2025-09-22"),
    ("WTG", None, "Blade root bolt batch non-conformance", "Quality", 1, 4, 500000.0, 10, "Ingrid Soleng",
     "Batch tracing and ultrasonic testing", "Closed", "2024-11-11", "2025-05-12"),
    ("IAC", "IAC.layA4", "Array cable damaged during pull-in at A04", "Technical", 2, 4, 1200000.0, 6,
     "Priya Raman", "Spare cable length held, repair joint kit", "Realised", "2025-02-10", "2025-09-15"),
    ("IAC", "IAC.burA", "Burial depth not achieved in hard ground string A", "Ground conditions", 3, 3, 950000.0,
     5, "Priya Raman", "Rock placement as remedial protection", "Realised", "2025-02-10", "2025-09-15"),
    ("IAC", "IAC.uxo", "Unexploded ordnance found on array routes", "HSE", 2, 5, 1500000.0, 14, "Fiona Gair",
     "Pre-lay UXO survey and micro-routing", "Closed", "2024-09-02", "2025-07-07"),
    ("IAC", "IAC.layC8", "Cable lay season ends before string C complete", "Weather", 3, 4, 3000000.0, 30,
     "Priya Raman", "Prioritise string C, charter extension option", "Open", "2025-07-21", "2025-09-19"),
    ("EXP", "EXP.hdd", "HDD bore collapse at landfall", "Ground conditions", 2, 4, 1100000.0, 15, "Priya Raman",
     "Bentonite monitoring, spare duct", "Closed", "2024-10-14", "2025-04-14"),
    ("EXP", "EXP.ly2", "Export cable 2 lay stopped by weather", "Weather", 3, 3, 800000.0, 5, "Eilidh Munro",
     "Weather routing and cable hold-back procedure", "Realised", "2025-03-03", "2025-09-08"),
    ("EXP", None, "Grid connection date moved by transmission operator", "Third party", 2, 5, 5000000.0, 30,
     "Hamish Dunbar", "Monthly interface meetings with the transmission operator", "Open", "2024-06-10",
     "2025-10-06"),
    ("OSS", "OSS.tsf", "Topside fabrication behind at yard", "Supply chain", 4, 4, 4200000.0, 20, "Declan Shaw",
     "Acceleration measures, second shift at yard", "Realised", "2024-11-25", "2025-09-15"),
    ("OSS", "OSS.hku", "OSS hook-up productivity lower than planned", "Resource", 3, 3, 1300000.0, 10,
     "Declan Shaw", "Additional hook-up crew on the SOV", "Open", "2025-08-04", "2025-09-22"),
    ("PP", "PP.qua", "Quay wall settlement during strengthening", "Ground conditions", 2, 4, 600000.0, 8,
     "Morag Ettrick", "Settlement monitoring and grout injection", "Realised", "2024-07-15", "2025-06-16"),
    ("PP", None, "Port congestion with another developer's campaign", "Third party", 3, 2, 250000.0, 4,
     "Eilidh Munro", "Berth booking agreement with harbour master", "Open", "2025-01-20", "2025-10-13"),
]

VARIATIONS = [
    # package, title, type, raised by, value GBP, time days, status, raised, decision
    ("MP", "Drive-drill-drive at B05 and C03", "Ground conditions", "Callum Rennie", 3850000.0, 7, "AGRD",
     "2025-05-12", "2025-06-09"),
    ("MP", "Additional as-built survey lines", "Scope", "Eilidh Munro", 120000.0, 0, "AGRD", "2025-06-16",
     "2025-06-30"),
    ("MP", "Standby of HLV during marine mammal stop", "Weather", "Callum Rennie", 530000.0, 2, "REJD",
     "2025-05-26", "2025-07-07"),
    ("TP", "Shim kits for flange gap at A06 and B02", "Technical", "Callum Rennie", 210000.0, 2, "AGRD",
     "2025-07-07", "2025-07-21"),
    ("TP", "Coating repair of 6 TPs at Caldmouth", "Quality", "Callum Rennie", 380000.0, 4, "SUBM", "2025-08-18",
     None),
    ("WTG", "Re-plan after nacelle factory delay (BL1)", "Programme", "Ingrid Soleng", 0.0, 42, "AGRD",
     "2025-02-24", "2025-03-17"),
    ("WTG", "Leading edge protection retrofit batch 3", "Quality", "Ingrid Soleng", 1450000.0, 20, "AGRD",
     "2025-07-14", "2025-08-11"),
    ("WTG", "Jack-up charter extension into March 2026", "Programme", "Eilidh Munro", 6200000.0, 0, "SUBM",
     "2025-09-01", None),
    ("WTG", "Upgrade SCADA to fleet standard", "Scope", "Hamish Dunbar", 340000.0, 0, "DRFT", "2025-09-08", None),
    ("IAC", "Cable repair at A04 after pull-in damage", "Technical", "Priya Raman", 960000.0, 4, "AGRD",
     "2025-07-28", "2025-08-18"),
    ("IAC", "Rock placement for shallow burial string A", "Ground conditions", "Priya Raman", 1250000.0, 5,
     "SUBM", "2025-09-01", None),
    ("IAC", "Micro-routing around UXO targets", "Scope", "Fiona Gair", 410000.0, 3, "AGRD", "2024-11-04",
     "2024-12-02"),
    ("EXP", "Export cable 2 weather standby claim", "Weather", "Priya Raman", 720000.0, 5, "REJD", "2025-06-02",
     "2025-07-14"),
    ("EXP", "Additional cable protection at pipeline crossing", "Scope", "Priya Raman", 640000.0, 2, "AGRD",
     "2025-03-10", "2025-04-07"),
    ("OSS", "Topside fabrication acceleration", "Programme", "Declan Shaw", 2900000.0, -12, "AGRD", "2025-02-03",
     "2025-03-03"),
    ("OSS", "Extra hook-up crew on SOV", "Resource", "Declan Shaw", 780000.0, -6, "SUBM", "2025-08-25", None),
    ("OSS", "Change of transformer cooling design", "Technical", "Declan Shaw", 450000.0, 10, "WDRN",
     "2024-09-09", None),
    ("PP", "Grout injection under berth 4", "Ground conditions", "Morag Ettrick", 310000.0, 6, "AGRD",
     "2024-08-05", "2024-08-26"),
]

MASTERS = {"HLV-ALD": "Capt. Jan Verhoek", "JUV-COR": "Capt. Alasdair Gunn", "JUV-BRO": "Capt. Mairi Tulloch",
           "CLV-FEN": "Capt. Ruaridh Bain", "CLV-SEL": "Capt. Ewen Laird", "TRV-PLG": "Capt. Struan Moir",
           "SOV-SKG": "Capt. Catriona Rae", "CTV-TRN": "Skipper Donnie Mackay"}
OTHER_DOWN = [("TEC", "Crane hydraulic fault"), ("TEC", "Main engine alarm - repairs"),
              ("PRT", "Waiting on load-out at Caldmouth"), ("SIM", "Simultaneous operations hold - permit")]
EVENTS = {
    "MP.pileB05": ("TEC", 14.0, "Refusal at 24 m penetration; drilling spread deployed (drive-drill-drive)"),
    "MP.pileC03": ("TEC", 16.0, "Refusal in chalk; drilling out pile plug"),
    "IAC.layA4": ("TEC", 12.0, "Cable damaged at A04 bellmouth during pull-in; repair joint required"),
    "WTG.insA03": ("TEC", 10.0, "Blade yoke hydraulic failure; blade lifts stopped"),
}


def parse_pred(s):
    key, _, rest = s.partition(":")
    if not rest:
        return key, "FS", 0
    return key, rest[:2], int(rest[2:] or 0)


def cpm(tasks, keys, durs, links, anchors):
    """The schedule's forward and backward pass, each task against its package's anchor."""
    return forward_backward(tasks, keys, durs, links, anchors, CALS, "pkg")

def shown(task, sbound, fbound, dur):
    if dur == 0 and task["ms"] == "F":
        d = fbound - D1
        return d, d
    if dur == 0:
        return sbound, sbound
    return sbound, fbound - D1


def sea_state(rng, d):
    """Daily maximum significant wave height (m) and wind speed (m/s) at the site, by season."""
    base = {1: 2.6, 2: 2.4, 3: 2.0, 4: 1.7, 5: 1.4, 6: 1.3, 7: 1.3, 8: 1.5, 9: 1.8, 10: 2.1, 11: 2.4, 12: 2.7}
    hs = round(max(0.3, rng.gauss(base[d.month], 0.7)), 1)
    wind = round(max(2.0, hs * 4.6 + rng.gauss(1.5, 2.2)), 1)
    return hs, wind


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    exc_id = 0
    for row in CALENDARS:
        cid, code, name, _, week, hrs, wx, hs, season, notes, _ = row
        con.execute("INSERT INTO workCalendar VALUES (?,?,?,?,?,?,?,?,?)",
                    (cid, code, name, week, hrs, wx, hs, season, notes))
        cal = CALS[code]
        for d in sorted(cal.off):
            if CAL_FROM <= d <= CAL_TO and d.weekday() in cal.days:
                exc_id += 1
                con.execute("INSERT INTO calendarException VALUES (?,?,?,?,?)", (exc_id, cid, iso(d)) + cal.off[d])
    cal_ids = {row[1]: row[0] for row in CALENDARS}
    # positions: the 24 turbines in three strings and the offshore substation
    pos_ids = {}
    for n, pc in enumerate(POS + ["OSS"], 1):
        s = pc[0] if pc != "OSS" else None
        i = int(pc[1:]) if s else 0
        depth = {"A": 23.0, "B": 27.0, "C": 30.5, None: 28.0}[s] + (i * 0.9 if s else 0) + round(rng.uniform(0, 1.5), 1)
        lat = round(56.412 + (STRINGS.index(s) * 0.021 if s else 0.031) + i * 0.0032, 5)
        lon = round(-1.874 + i * 0.0121 - (STRINGS.index(s) * 0.004 if s else 0.02), 5)
        con.execute("INSERT INTO turbinePosition VALUES (?,?,?,?,?,?,?,?,?)",
                    (n, "SKB-" + pc, s, "Jacket (4-leg, pin piles)" if pc == "OSS" else "Monopile",
                     round(depth, 1), lat, lon, SOIL[s] if s else "Stiff glacial till", rng.choice([0, 0, 1, 2, 3])))
        pos_ids[pc] = n
    rsc_ids, rsc_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO planResource VALUES (?,?,?,?,?,?,?,?,?,?)", (i,) + r[:9])
        rsc_ids[r[0]], rsc_row[r[0]] = i, r

    # the whole programme's network
    plans, tasks, keys, links = {}, {}, [], []
    pkg_info = {pk[0]: pk for pk in PACKAGES}
    for pk in PACKAGES:
        plan = pk[1]()
        plans[pk[0]] = plan
        for t in plan.tasks:
            t["start"] = pk[9]
            tasks[t["key"]] = t
            keys.append(t["key"])
    for k in keys:
        for pr in tasks[k]["preds"]:
            pk, typ, lag = parse_pred(pr)
            assert pk in tasks, (k, pk)
            links.append((pk, k, typ, lag))
    has_succ = {lk[0] for lk in links}
    for k in keys:
        t = tasks[k]
        fin = f"{t['pkg']}.fin"
        if k != fin and not any(lk[0] == k and tasks[lk[1]]["pkg"] == t["pkg"] for lk in links) \
                and k not in (f"{t['pkg']}.ene",):
            links.append((k, fin, "FS", 0))
    del has_succ
    base_keys = [k for k in keys if not tasks[k]["new"]]
    base_links = [lk for lk in links if lk[0] in base_keys and lk[1] in base_keys]
    far = {pk[0]: dt.date(2030, 1, 1) for pk in PACKAGES}
    d0 = {k: tasks[k]["dur"] for k in base_keys}
    b0 = cpm(tasks, base_keys, d0, base_links, far)
    d1 = {k: tasks[k]["dur"] + (tasks[k]["slip"] * 3) // 4 for k in base_keys}
    b1 = cpm(tasks, base_keys, d1, base_links, far)
    key_date = {}
    for pk in PACKAGES:
        src = b1 if pk[11] else b0
        key_date[pk[0]] = src[1][f"{pk[0]}.fin"] - D1 + dt.timedelta(days=pk[10])
    anchors = {p: d + D1 for p, d in key_date.items()}
    b0 = cpm(tasks, base_keys, d0, base_links, anchors)
    b1 = cpm(tasks, base_keys, d1, base_links, anchors)
    cdurs = {k: tasks[k]["dur"] + tasks[k]["slip"] for k in keys}
    sb, fb, lsb, lfb, free = cpm(tasks, keys, cdurs, links, anchors)
    dd_b = DATA_DATE + D1

    act_ids, astat, shown_d = {}, {}, {}
    ids = dict(wbs=0, act=0, link=0, bl=0, bla=0, asg=0)
    for p_idx, pk in enumerate(PACKAGES, 1):
        pkey, _, code, name, contractor, manager, form, value, cost_f, start, _, rebase = pk
        plan = plans[pkey]
        pkeys = [t["key"] for t in plan.tasks]
        fin = f"{pkey}.fin"
        fin_shown = shown(tasks[fin], sb[fin], fb[fin], 0)[1]
        done = fin_shown <= DATA_DATE
        started = {t["wbs"] for t in plan.tasks if sb[t["key"]] <= DATA_DATE and cdurs[t["key"]] > 0}
        top = {}
        for wk, parent, _ in plan.wbs:
            top[wk] = wk if parent in (None, "ROOT") else top[parent]
        phases = {top[w] for w in started}
        if done:
            phase = "Complete"
        elif "COM" in phases:
            phase = "Commissioning"
        elif "OFF" in phases or "CIV" in phases:
            phase = "Offshore installation" if pkey != "PP" else "Construction"
        elif "FAB" in phases or "PRT" in phases:
            phase = "Fabrication"
        else:
            phase = "Engineering"
        slack = CALS[ONS].wd(fb[fin], anchors[pkey])
        rag = "Green" if done or slack > 10 else ("Amber" if slack >= 0 else "Red")
        con.execute("INSERT INTO programmePackage VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, code, name, contractor, manager, form, value, round(value * cost_f, -4), iso(start),
                     iso(key_date[pkey]), iso(fin_shown), iso(fin_shown) if done else None, phase, rag))
        wbs_ids = {}
        for wk, parent, cd, wname, lvl in wbs_rows(plan.wbs, code, name):
            ids["wbs"] += 1
            wbs_ids[wk] = ids["wbs"]
            con.execute("INSERT INTO wbsNode VALUES (?,?,?,?,?,?)",
                        (ids["wbs"], p_idx, wbs_ids[parent] if parent else None, cd, wname, lvl))
        bl_src = b1 if rebase else b0
        for n, k in enumerate(pkeys, 1):
            t = tasks[k]
            ids["act"] += 1
            act_ids[k] = ids["act"]
            cal = CALS[t["cal"]]
            d = cdurs[k]
            s_d, f_d = shown(t, sb[k], fb[k], d)
            shown_d[k] = (s_d, f_d)
            if f_d <= DATA_DATE and (d > 0 or s_d <= DATA_DATE):
                st, pc, rem = "CMP", 100.0, 0
            elif s_d <= DATA_DATE:
                st = "INP"
                rem = cal.wd(dd_b, fb[k])
                pc = float(max(5, min(95, round(100 * (d - rem) / d * rng.uniform(0.85, 1.0) / 5) * 5)))
            else:
                st, pc, rem = "NST", 0.0, d
            astat[k] = st
            ls_d, lf_d = shown(t, lsb[k], lfb[k], d)
            cmp_ = st == "CMP"
            tf = None if cmp_ else cal.wd(fb[k], lfb[k])
            ff = None if cmp_ else max(0, min(free[k], max(tf, 0)))
            if k in bl_src[0]:
                bs, bf = shown(t, bl_src[0][k], bl_src[1][k], bl_src_d(rebase, d0, d1, k))
            else:
                bs = bf = None
            atype = "TSK" if d > 0 else ("SMS" if t["ms"] == "S" else "FMS")
            con.execute("INSERT INTO installActivity VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], p_idx, wbs_ids[t["wbs"]], cal_ids[t["cal"]], pos_ids.get(t["pos"]),
                         f"{CODE_PREFIX[pkey]}-{1000 + n * 10}", t["name"], atype, float(d), float(rem), iso(bs),
                         iso(bf), iso(s_d), iso(f_d), None if cmp_ else iso(ls_d), None if cmp_ else iso(lf_d),
                         iso(s_d) if st != "NST" else None, iso(f_d) if cmp_ else None,
                         None if tf is None else float(tf), None if ff is None else float(ff),
                         1 if tf is not None and tf <= 0 else 0, pc, st))
        # baselines of the package
        bls = [(1, "BL0 Contract programme", start + dt.timedelta(days=21), b0, d0)]
        if rebase:
            bls.append((2, rebase[1], rebase[0], b1, d1))
        for no, bname, bdate, (bsb, bfb, _, blfb, _), bd in bls:
            ids["bl"] += 1
            con.execute("INSERT INTO baselineHeader VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], p_idx, no, bname, iso(bdate), SPONSOR, 1 if no == len(bls) else 0))
            for k in pkeys:
                if k not in bsb:
                    continue
                t = tasks[k]
                s_d, f_d = shown(t, bsb[k], bfb[k], bd[k])
                ids["bla"] += 1
                con.execute("INSERT INTO baselineActivity VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], iso(s_d), iso(f_d), float(bd[k]),
                             float(CALS[t["cal"]].wd(bfb[k], blfb[k]))))
    for p, s, typ, lag in links:
        ids["link"] += 1
        con.execute("INSERT INTO logicLink VALUES (?,?,?,?,?,?)",
                    (ids["link"], act_ids[p], act_ids[s], typ, float(lag),
                     1 if tasks[p]["pkg"] != tasks[s]["pkg"] else 0))
    pkg_idx = {pk[0]: i for i, pk in enumerate(PACKAGES, 1)}

    # resource assignments and the vessels' days
    vessel_days = {}
    for k in keys:
        t = tasks[k]
        if not t["kind"]:
            continue
        cal = CALS[t["cal"]]
        d = sb[k]
        while d < fb[k]:
            if cal.work(d):
                for rc in KINDS[t["kind"]]:
                    if rsc_row[rc][2] == "VSL":
                        vessel_days.setdefault((rc, d), []).append(k)
            d += D1
        for rc in KINDS[t["kind"]]:
            r = rsc_row[rc]
            units = UNITS.get(rc, 1)
            hpd = r[9]
            budg = float(t["dur"] * hpd * units) if t["dur"] else 0.0
            if astat[k] == "CMP":
                act = round(budg * (cdurs[k] / t["dur"]) * rng.uniform(0.92, 1.2), 1)
                rem_h = 0.0
            elif astat[k] == "INP":
                frac = 1 - (cal.wd(DATA_DATE + D1, fb[k]) / cdurs[k])
                act = round(budg * frac * rng.uniform(0.9, 1.2), 1)
                rem_h = round(max(budg - act, budg * 0.1), 1)
            else:
                act, rem_h = 0.0, budg
            ids["asg"] += 1
            con.execute("INSERT INTO resourceAssignment VALUES (?,?,?,?,?,?,?,?,?)",
                        (ids["asg"], act_ids[k], rsc_ids[rc], units, budg, act, rem_h,
                         round(budg / hpd * r[7], 2), round(act / hpd * r[7], 2)))
    log_id = 0
    for (rc, d) in sorted(vessel_days, key=lambda x: (x[1], rsc_ids[x[0]])):
        if d > DATA_DATE:
            continue
        ks = vessel_days[(rc, d)]
        k = ks[0]
        t = tasks[k]
        r = rsc_row[rc]
        hpd = float(r[9])
        hs, wind = sea_state(rng, d)
        wx = 0.0
        if hs > r[6]:
            wx = min(hpd, float(max(4, round((hs - r[6]) * rng.uniform(10, 20)))))
        other, code = 0.0, ("WOW" if wx else None)
        note = "; ".join(tasks[x]["name"] for x in ks[:2])
        if k in EVENTS and d == sb[k] + D1 * (1 if cdurs[k] > 1 else 0):
            code, other, text = EVENTS[k]
            other = min(other, hpd - wx)
            note = f"{note}. {text}"
        elif rng.random() < 0.06 and wx < hpd:
            code, text = rng.choice(OTHER_DOWN)
            other = min(hpd - wx, rng.choice([2.0, 3.0, 4.0, 6.0]))
            note = f"{note}. {text}"
        elif wx:
            note = f"{note}. Waiting on weather (Hs {hs} m)"
        else:
            note = f"{note}. Operations to plan"
        wbs_top = t["wbs"] in ("PRT",)
        loc = "Caldmouth port" if wbs_top else (f"Skerrow Bank {t['pos']}" if t["pos"] else "Skerrow Bank field")
        if t["pkg"] == "EXP" and not t["pos"]:
            loc = "Export cable route"
        pob = {"VSL": 0}.get("x", 0) + (rng.randint(90, 130) if r[3] in ("Heavy lift vessel",
                                                                         "Jack-up installation vessel")
                                        else rng.randint(40, 70) if r[3] in ("Cable lay vessel",
                                                                             "Service operation vessel")
                                        else rng.randint(24, 36) if r[3] == "Trenching support vessel"
                                        else rng.randint(8, 14))
        log_id += 1
        con.execute("INSERT INTO vesselDayLog VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (log_id, rsc_ids[rc], pkg_idx[t["pkg"]], iso(d), loc, hs, wind,
                     round(hpd - wx - other, 1), wx, other, code, pob, note, MASTERS[rc]))

    # pile driving records of the monopiles driven so far
    pid = 0
    for pc in POS:
        k = f"MP.pile{pc}"
        if astat[k] == "NST":
            continue
        pid += 1
        s = pc[0]
        tgt = round({"A": 31.0, "B": 34.0, "C": 36.0}[s] + rng.uniform(-1.5, 1.5), 1)
        refusal = pc in REFUSAL
        ach = round(tgt - rng.uniform(5.0, 8.0), 1) if refusal else round(tgt + rng.uniform(0.0, 0.8), 1)
        if refusal:
            ach = round(tgt - rng.uniform(0.4, 0.9), 1)     # accepted short of target after drilling out
        incl = round(rng.uniform(0.04, 0.38), 2)
        result = ("Refusal - drive-drill-drive" if refusal else
                  "Accepted with concession" if incl > 0.3 else "Accepted")
        con.execute("INSERT INTO pileRecord VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (pid, act_ids[k], pos_ids[pc], f"MP-SKB-{pc}", round(rng.choice([9.0, 9.5, 10.0]), 1),
                     round(80.0 + tgt + rng.uniform(-2, 2), 1), tgt, ach,
                     rng.randint(3200, 5200) + (2600 if refusal else 0),
                     float(rng.choice([2800, 3100, 3400, 3700, 4000])) if not refusal else 4000.0, incl,
                     1 if refusal else 0, iso(shown_d[k][1] if astat[k] == "CMP" else shown_d[k][0]), result))

    # cable pull records: array cable segments and export cables laid so far
    cid = 0
    for s in STRINGS:
        for i in range(1, 9):
            k = f"IAC.lay{s}{i}"
            if astat[k] == "NST":
                continue
            a, b = seg_ends(s, i)
            cid += 1
            tgt_b = 1.2 if s != "C" else 1.5
            buried = astat[f"IAC.bur{s}"] == "CMP"
            ach = None
            if buried:
                ach = round(tgt_b + rng.uniform(-0.05, 0.4), 2) if s != "A" else round(tgt_b - rng.uniform(0.1, 0.5), 2)
            damaged = (s, i) == ("A", 4) and astat["IAC.cps"] != "CMP"
            if astat[f"IAC.tst{s}"] == "CMP":
                status, ir = "TST", 1
            elif astat[f"IAC.trm{s}"] == "CMP":
                status, ir = "TRM", 1
            elif buried:
                status, ir = "BUR", None
            else:
                status, ir = "LAID", None
            if damaged:
                status, ir = "HLD", 0
            con.execute("INSERT INTO cablePull VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (cid, act_ids[k], f"IAC-{a}-{b}", "66 kV array", pos_ids[a], pos_ids[b],
                         round(rng.uniform(1.2, 2.1) + (1.6 if a == "OSS" else 0), 2),
                         iso(shown_d[k][1] if astat[k] == "CMP" else shown_d[k][0]),
                         round(rng.uniform(38, 72), 1) + (25 if damaged else 0), tgt_b, ach, ir, status))
    for n, k in enumerate(("EXP.ly1", "EXP.ly2"), 1):
        if astat[k] == "NST":
            continue
        cid += 1
        buried = astat["EXP.bur"] == "CMP"
        tested = astat["EXP.tst"] == "CMP"
        status = "TST" if tested else ("BUR" if buried else "LAID")
        con.execute("INSERT INTO cablePull VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (cid, act_ids[k], f"EXC-{n}", "220 kV export", None, pos_ids["OSS"], round(40.6 + n * 0.7, 2),
                     iso(shown_d[k][1] if astat[k] == "CMP" else shown_d[k][0]), round(rng.uniform(90, 140), 1),
                     1.8, round(1.8 + rng.uniform(-0.2, 0.5), 2) if buried else None, 1 if tested else None,
                     status))

    # risks and variations
    n_by = {}
    for i, r in enumerate(RISKS, 1):
        n_by[r[0]] = n_by.get(r[0], 0) + 1
        con.execute("INSERT INTO riskEntry VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (i, pkg_idx[r[0]], act_ids[r[1]] if r[1] else None, f"R-{CODE_PREFIX[r[0]]}-{n_by[r[0]]:02d}",
                     r[2], r[3], r[4], r[5], r[4] * r[5], r[6], float(r[7]), r[8], r[9], r[10], r[11], r[12]))
    n_by = {}
    for i, v in enumerate(VARIATIONS, 1):
        n_by[v[0]] = n_by.get(v[0], 0) + 1
        con.execute("INSERT INTO variationOrder VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                    (i, pkg_idx[v[0]], f"VO-{CODE_PREFIX[v[0]]}-{n_by[v[0]]:03d}", v[1], v[2], v[3], v[4],
                     float(v[5]), v[6], v[7], v[8]))
    con.commit()
    return con


def bl_src_d(rebase, d0, d1, k):
    return (d1 if rebase else d0)[k]


# ---------------------------------------------------------------------------------------------- metadata

TABLE_META = {
    "programmePackage": ("Packages (contracts) of the Skerrow Bank construction programme, with contractor, "
                         "package manager, contract value, forecast final cost, contractual key date and forecast "
                         "finish", {
        "intPackageId": ("package id", "INTEGER"),
        "strPackageCode": ("Package code, e.g. SKB-WTG, SKB-IAC", "TEXT"),
        "strPackageName": ("Package name", "TEXT"),
        "strContractor": ("Main contractor of the package", "TEXT"),
        "strPackageManager": ("Developer's package manager", "TEXT"),
        "strContractForm": ("Form of contract, e.g. FIDIC Yellow", "TEXT"),
        "curContractValueGbp": ("Contract value, GBP", "REAL"),
        "curForecastFinalCostGbp": ("Forecast final cost (contract value plus variations and claims), GBP", "REAL"),
        "dtPlanStart": ("Package start (notice to proceed)", "DATE"),
        "dtKeyDate": ("Contractual key date the package must finish by; float is measured to it", "DATE"),
        "dtForecastFinish": ("Forecast finish from the current schedule", "DATE"),
        "dtActualFinish": ("Actual finish; null until complete", "DATE"),
        "strPhase": ("Package phase at the data date", "TEXT"),
        "strRag": ("RAG status", "TEXT"),
    }),
    "wbsNode": ("WBS of each package: level 1 the package, level 2 phases, level 3 array strings", {
        "intWbsNodeId": ("wbs node id", "INTEGER"),
        "intPackageId": ("package (programmePackage.intPackageId)", "INTEGER"),
        "intParentNodeId": ("Parent node; null at level 1", "INTEGER"),
        "strWbsCode": ("WBS code, e.g. SKB-WTG.4.2", "TEXT"),
        "strWbsTitle": ("WBS element title", "TEXT"),
        "intLevel": ("Level 1-3", "INTEGER"),
    }),
    "workCalendar": ("Work calendars, including weather-restricted offshore calendars", {
        "intCalendarId": ("calendar id", "INTEGER"),
        "strCalendarCode": ("Calendar code, e.g. WX-JU-7x24", "TEXT"),
        "strCalendarName": ("Calendar name", "TEXT"),
        "strWorkWeek": ("Working days of a normal week", "TEXT"),
        "dblHoursPerDay": ("Working hours a day", "REAL"),
        "bitWeatherRestricted": ("1 when the calendar has a weather season closure", "INTEGER"),
        "dblHsLimitM": ("Significant wave height limit the calendar plans against, m; null onshore", "REAL"),
        "strSeasonWindow": ("Months in which the calendar works", "TEXT"),
        "strNotes": ("free text", "TEXT"),
    }),
    "calendarException": ("Non-working days of each calendar: bank holidays, Christmas shutdown, harbour closure "
                          "and weather season closure days. Only days that would otherwise be working days", {
        "intExceptionId": ("id", "INTEGER"),
        "intCalendarId": ("calendar (workCalendar.intCalendarId)", "INTEGER"),
        "dtException": ("Non-working date (YYYY-MM-DD)", "DATE"),
        "strExceptionType": ("Exception type code", "TEXT"),
        "strReason": ("Reason", "TEXT"),
    }),
    "turbinePosition": ("Turbine positions of the wind farm (A01-C08 in three array strings) and the offshore "
                        "substation position, with water depth, seabed soil and UXO targets cleared", {
        "intPositionId": ("position id", "INTEGER"),
        "strPositionCode": ("Position code, e.g. SKB-B05, SKB-OSS", "TEXT"),
        "strArrayString": ("Array cable string A, B or C; null for the substation", "TEXT"),
        "strStructureType": ("Foundation type", "TEXT"),
        "dblWaterDepthM": ("Water depth at LAT, m", "REAL"),
        "dblLatitude": ("Latitude, degrees", "REAL"),
        "dblLongitude": ("Longitude, degrees", "REAL"),
        "strSoilUnit": ("Seabed soil unit from the geotechnical survey", "TEXT"),
        "intUxoTargetsCleared": ("Unexploded ordnance targets cleared around the position", "INTEGER"),
    }),
    "installActivity": ("Schedule activities and milestones at the data date: early (forecast), late, actual and "
                        "current-baseline dates, durations and float in working days", {
        "intActivityId": ("activity id", "INTEGER"),
        "intPackageId": ("package (programmePackage.intPackageId)", "INTEGER"),
        "intWbsNodeId": ("WBS node (wbsNode.intWbsNodeId)", "INTEGER"),
        "intCalendarId": ("Calendar (workCalendar.intCalendarId)", "INTEGER"),
        "intPositionId": ("Turbine / substation position worked on (turbinePosition.intPositionId); null if none",
                          "INTEGER"),
        "strActivityCode": ("Activity code, e.g. WTG-1230", "TEXT"),
        "strActivityName": ("Activity name", "TEXT"),
        "strActivityType": ("Activity type code", "TEXT"),
        "dblOriginalDurationDays": ("Original duration, working days", "REAL"),
        "dblRemainingDurationDays": ("Remaining duration, working days", "REAL"),
        "dtBaselineStart": ("Start in the current baseline; null for activities added since", "DATE"),
        "dtBaselineFinish": ("Finish in the current baseline", "DATE"),
        "dtEarlyStart": ("Early (forecast) start", "DATE"),
        "dtEarlyFinish": ("Early (forecast) finish", "DATE"),
        "dtLateStart": ("Late start; null when complete", "DATE"),
        "dtLateFinish": ("Late finish; null when complete", "DATE"),
        "dtActualStart": ("Actual start", "DATE"),
        "dtActualFinish": ("Actual finish", "DATE"),
        "dblTotalFloatDays": ("Total float, working days; null when complete", "REAL"),
        "dblFreeFloatDays": ("Free float, working days; null when complete", "REAL"),
        "bitCritical": ("1 when critical", "INTEGER"),
        "dblPercentComplete": ("Percent complete", "REAL"),
        "strStatus": ("Activity status code", "TEXT"),
    }),
    "logicLink": ("Activity logic links with type and lag; interface links join activities of two packages", {
        "intLinkId": ("link id", "INTEGER"),
        "intPredActivityId": ("Predecessor (installActivity.intActivityId)", "INTEGER"),
        "intSuccActivityId": ("Successor (installActivity.intActivityId)", "INTEGER"),
        "strLinkType": ("Link type code", "TEXT"),
        "dblLagDays": ("Lag in calendar days (negative = lead)", "REAL"),
        "bitInterface": ("1 when predecessor and successor are in different packages", "INTEGER"),
    }),
    "baselineHeader": ("Baselines of each package; bitIsCurrent marks the one reported against", {
        "intBaselineId": ("baseline id", "INTEGER"),
        "intPackageId": ("package (programmePackage.intPackageId)", "INTEGER"),
        "intBaselineNo": ("Baseline number within the package (1 = contract programme)", "INTEGER"),
        "strBaselineName": ("Baseline name", "TEXT"),
        "dtBaselineSet": ("Date the baseline was set", "DATE"),
        "strApprovedBy": ("Approver (the project director)", "TEXT"),
        "bitIsCurrent": ("1 for the current baseline", "INTEGER"),
    }),
    "baselineActivity": ("Activity dates, durations and float as stored in each baseline", {
        "intBaselineActivityId": ("id", "INTEGER"),
        "intBaselineId": ("baseline (baselineHeader.intBaselineId)", "INTEGER"),
        "intActivityId": ("activity (installActivity.intActivityId)", "INTEGER"),
        "dtStart": ("Baseline start", "DATE"),
        "dtFinish": ("Baseline finish", "DATE"),
        "dblDurationDays": ("Baseline duration, working days", "REAL"),
        "dblTotalFloatDays": ("Baseline total float, working days", "REAL"),
    }),
    "planResource": ("Resources: installation vessels, crews, cranes and equipment with day rates", {
        "intResourceId": ("resource id", "INTEGER"),
        "strResourceCode": ("Resource code, e.g. JUV-BRO, CRW-JNT", "TEXT"),
        "strResourceName": ("Resource name; the vessel name for vessels", "TEXT"),
        "strResourceType": ("Resource type code", "TEXT"),
        "strVesselClass": ("Vessel class for vessels, e.g. Jack-up installation vessel; null otherwise", "TEXT"),
        "strOwnerCompany": ("Owner or employer", "TEXT"),
        "strHomePort": ("Home / mobilisation port", "TEXT"),
        "dblOperatingHsLimitM": ("Vessel operating limit, significant wave height m; null for non-vessels", "REAL"),
        "curDayRateGbp": ("Day rate per unit (vessel day, person day or equipment day), GBP", "REAL"),
        "intMaxUnits": ("Units available", "INTEGER"),
    }),
    "resourceAssignment": ("Resource assignments to activities with planned, actual and remaining hours and cost", {
        "intAssignmentId": ("assignment id", "INTEGER"),
        "intActivityId": ("activity (installActivity.intActivityId)", "INTEGER"),
        "intResourceId": ("resource (planResource.intResourceId)", "INTEGER"),
        "intUnits": ("Units (people or vessels) assigned", "INTEGER"),
        "dblPlannedHours": ("Planned hours (vessel hours or person-hours)", "REAL"),
        "dblActualHours": ("Actual hours to the data date", "REAL"),
        "dblRemainingHours": ("Remaining hours", "REAL"),
        "curPlannedCostGbp": ("Planned cost, GBP", "REAL"),
        "curActualCostGbp": ("Actual cost to the data date, GBP", "REAL"),
    }),
    "riskEntry": ("Risk register of the programme", {
        "intRiskId": ("risk id", "INTEGER"),
        "intPackageId": ("package (programmePackage.intPackageId)", "INTEGER"),
        "intActivityId": ("Activity the risk affects (installActivity.intActivityId); may be null", "INTEGER"),
        "strRiskRef": ("Risk reference, e.g. R-WTG-02", "TEXT"),
        "strRiskTitle": ("Risk title", "TEXT"),
        "strCategory": ("Risk category", "TEXT"),
        "intProbability": ("Probability 1-5", "INTEGER"),
        "intImpact": ("Impact 1-5", "INTEGER"),
        "intScore": ("Probability x impact", "INTEGER"),
        "curCostExposureGbp": ("Cost exposure, GBP", "REAL"),
        "dblScheduleExposureDays": ("Schedule exposure, days", "REAL"),
        "strRiskOwner": ("Risk owner", "TEXT"),
        "strResponse": ("Mitigation / response", "TEXT"),
        "strRiskStatus": ("Risk status", "TEXT"),
        "dtRaised": ("Date raised", "DATE"),
        "dtNextReview": ("Next review date", "DATE"),
    }),
    "variationOrder": ("Variations (contract changes) of the packages, with value, time impact and status", {
        "intVariationId": ("variation id", "INTEGER"),
        "intPackageId": ("package (programmePackage.intPackageId)", "INTEGER"),
        "strVariationRef": ("Variation reference, e.g. VO-IAC-002", "TEXT"),
        "strTitle": ("Variation title", "TEXT"),
        "strVariationType": ("Variation type", "TEXT"),
        "strRaisedBy": ("Person who raised it", "TEXT"),
        "curValueGbp": ("Value, GBP (negative = saving)", "REAL"),
        "dblTimeImpactDays": ("Time impact on the package, days (negative = acceleration)", "REAL"),
        "strVariationStatus": ("Variation status code", "TEXT"),
        "dtRaised": ("Date raised", "DATE"),
        "dtDecision": ("Date agreed / rejected; null while open", "DATE"),
    }),
    "vesselDayLog": ("Daily progress report of each vessel on hire: sea state, productive hours, weather downtime "
                     "(waiting on weather) and other downtime", {
        "intDayLogId": ("log id", "INTEGER"),
        "intResourceId": ("Vessel (planResource.intResourceId)", "INTEGER"),
        "intPackageId": ("Package the vessel worked for that day (programmePackage.intPackageId)", "INTEGER"),
        "dtLogDate": ("Date of the report", "DATE"),
        "strLocation": ("Where the vessel worked, e.g. Skerrow Bank B05, Caldmouth port", "TEXT"),
        "dblHsMaxM": ("Maximum significant wave height that day, m", "REAL"),
        "dblWindMaxMs": ("Maximum wind speed that day, m/s", "REAL"),
        "dblProductiveHours": ("Productive hours", "REAL"),
        "dblWeatherDowntimeHours": ("Hours lost waiting on weather", "REAL"),
        "dblOtherDowntimeHours": ("Hours lost to other causes (breakdown, port, permits)", "REAL"),
        "strDowntimeCode": ("Main downtime cause code; null when none", "TEXT"),
        "intPersonsOnBoard": ("Persons on board", "INTEGER"),
        "strSummary": ("Work done and events", "TEXT"),
        "strReportedBy": ("Master / skipper who signed the report", "TEXT"),
    }),
    "pileRecord": ("Pile driving records of the monopiles: penetration, hammer blows and energy, inclination, "
                   "refusal and result", {
        "intPileRecordId": ("pile record id", "INTEGER"),
        "intActivityId": ("Installation activity (installActivity.intActivityId)", "INTEGER"),
        "intPositionId": ("Position (turbinePosition.intPositionId)", "INTEGER"),
        "strPileSerial": ("Monopile serial number", "TEXT"),
        "dblDiameterM": ("Pile diameter, m", "REAL"),
        "dblLengthM": ("Pile length, m", "REAL"),
        "dblTargetPenetrationM": ("Design penetration below seabed, m", "REAL"),
        "dblAchievedPenetrationM": ("Achieved penetration, m", "REAL"),
        "intHammerBlows": ("Total hammer blows", "INTEGER"),
        "dblMaxHammerEnergyKj": ("Maximum hammer energy used, kJ", "REAL"),
        "dblInclinationDeg": ("Final inclination from vertical, degrees", "REAL"),
        "bitRefusal": ("1 when the pile met refusal before target penetration", "INTEGER"),
        "dtDriven": ("Date the pile was driven", "DATE"),
        "strResult": ("Result of the pile driving", "TEXT"),
    }),
    "cablePull": ("Cable lay and pull-in records of array cable sections and export cables: route length, pull "
                  "tension, burial and insulation test", {
        "intCablePullId": ("id", "INTEGER"),
        "intActivityId": ("Lay activity (installActivity.intActivityId)", "INTEGER"),
        "strCableRef": ("Cable reference, e.g. IAC-B04-B05, EXC-1", "TEXT"),
        "strCableType": ("66 kV array or 220 kV export", "TEXT"),
        "intFromPositionId": ("Start position (turbinePosition.intPositionId); null at the landfall", "INTEGER"),
        "intToPositionId": ("End position (turbinePosition.intPositionId)", "INTEGER"),
        "dblRouteLengthKm": ("Route length, km", "REAL"),
        "dtLaid": ("Date laid and pulled in", "DATE"),
        "dblMaxPullTensionKn": ("Maximum pull-in tension, kN", "REAL"),
        "dblTargetBurialM": ("Target depth of lowering, m", "REAL"),
        "dblAchievedBurialM": ("Average achieved burial, m; null until buried", "REAL"),
        "bitInsulationTestPass": ("1 pass / 0 fail of the insulation resistance test; null until tested", "INTEGER"),
        "strCableStatus": ("Cable status code", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("wbsNode", "programmePackage", "wbsNode.intPackageId = programmePackage.intPackageId", "WBS of a package"),
    ("wbsNode", "wbsNode", "wbsNode.intParentNodeId = wbsNode.intWbsNodeId", "Parent WBS node"),
    ("calendarException", "workCalendar", "calendarException.intCalendarId = workCalendar.intCalendarId",
     "Non-working days of a calendar"),
    ("installActivity", "programmePackage", "installActivity.intPackageId = programmePackage.intPackageId",
     "Activities of a package"),
    ("installActivity", "wbsNode", "installActivity.intWbsNodeId = wbsNode.intWbsNodeId", "WBS node of an activity"),
    ("installActivity", "workCalendar", "installActivity.intCalendarId = workCalendar.intCalendarId",
     "Calendar of an activity"),
    ("installActivity", "turbinePosition", "installActivity.intPositionId = turbinePosition.intPositionId",
     "Position an activity works at"),
    ("logicLink", "installActivity", "logicLink.intPredActivityId = installActivity.intActivityId",
     "Predecessor of a link"),
    ("logicLink", "installActivity", "logicLink.intSuccActivityId = installActivity.intActivityId",
     "Successor of a link"),
    ("baselineHeader", "programmePackage", "baselineHeader.intPackageId = programmePackage.intPackageId",
     "Baselines of a package"),
    ("baselineActivity", "baselineHeader", "baselineActivity.intBaselineId = baselineHeader.intBaselineId",
     "Rows of a baseline"),
    ("baselineActivity", "installActivity", "baselineActivity.intActivityId = installActivity.intActivityId",
     "Activity a baseline row stores"),
    ("resourceAssignment", "planResource", "resourceAssignment.intResourceId = planResource.intResourceId",
     "Resource of an assignment"),
    ("resourceAssignment", "installActivity", "resourceAssignment.intActivityId = installActivity.intActivityId",
     "Activity a resource is assigned to"),
    ("riskEntry", "programmePackage", "riskEntry.intPackageId = programmePackage.intPackageId", "Risks of a package"),
    ("riskEntry", "installActivity", "riskEntry.intActivityId = installActivity.intActivityId",
     "Activity a risk affects"),
    ("variationOrder", "programmePackage", "variationOrder.intPackageId = programmePackage.intPackageId",
     "Variations of a package"),
    ("vesselDayLog", "planResource", "vesselDayLog.intResourceId = planResource.intResourceId",
     "Vessel of a daily report"),
    ("vesselDayLog", "programmePackage", "vesselDayLog.intPackageId = programmePackage.intPackageId",
     "Package a vessel day is charged to"),
    ("pileRecord", "installActivity", "pileRecord.intActivityId = installActivity.intActivityId",
     "Installation activity of a pile"),
    ("pileRecord", "turbinePosition", "pileRecord.intPositionId = turbinePosition.intPositionId",
     "Position of a pile"),
    ("cablePull", "installActivity", "cablePull.intActivityId = installActivity.intActivityId",
     "Lay activity of a cable"),
    ("cablePull", "turbinePosition", "cablePull.intFromPositionId = turbinePosition.intPositionId",
     "Start position of a cable"),
    ("cablePull", "turbinePosition", "cablePull.intToPositionId = turbinePosition.intPositionId",
     "End position of a cable"),
]

BUSINESS_RULES = {
    ("installActivity", "strStatus"): ["Allowed Values: NST (not started), INP (in progress), CMP (complete)"],
    ("installActivity", "strActivityType"): ["Allowed Values: TSK (task), SMS (start milestone), FMS (finish "
                                             "milestone); milestones have dblOriginalDurationDays = 0"],
    ("installActivity", "bitCritical"): ["Allowed Values: 0, 1", "Critical: bitCritical = 1 when "
                                         "dblTotalFloatDays <= 0; complete activities are 0"],
    ("installActivity", "dblTotalFloatDays"): ["Negative float: forecast finish after the package's key date"],
    ("installActivity", "dtBaselineFinish"): ["Slipped: dtEarlyFinish > dtBaselineFinish"],
    ("logicLink", "strLinkType"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to "
                                   "finish)"],
    ("logicLink", "bitInterface"): ["Allowed Values: 0, 1"],
    ("baselineHeader", "bitIsCurrent"): ["Allowed Values: 0, 1; one current baseline per package"],
    ("calendarException", "strExceptionType"): ["Allowed Values: BH (bank holiday), XMS (Christmas shutdown), PRT "
                                                "(harbour closure), WSN (weather season closure)"],
    ("workCalendar", "bitWeatherRestricted"): ["Allowed Values: 0, 1"],
    ("programmePackage", "strPhase"): ["Allowed Values: Engineering, Fabrication, Offshore installation, "
                                       "Construction, Commissioning, Complete"],
    ("programmePackage", "strRag"): ["Allowed Values: Red (forecast after key date), Amber (10 or fewer working "
                                     "days float), Green"],
    ("planResource", "strResourceType"): ["Allowed Values: VSL (vessel), CRW (crew), CRN (crane), EQP (equipment)"],
    ("riskEntry", "strRiskStatus"): ["Allowed Values: Open, Closed, Realised (the risk happened)"],
    ("riskEntry", "intScore"): ["High risk: intScore >= 12"],
    ("variationOrder", "strVariationStatus"): ["Allowed Values: DRFT (draft), SUBM (submitted), AGRD (agreed), "
                                               "REJD (rejected), WDRN (withdrawn)"],
    ("vesselDayLog", "strDowntimeCode"): ["Allowed Values: WOW (waiting on weather), TEC (technical breakdown or "
                                          "finding), PRT (port / load-out delay), SIM (simultaneous operations "
                                          "hold), null"],
    ("pileRecord", "strResult"): ["Allowed Values: Accepted, Accepted with concession, Refusal - drive-drill-drive"],
    ("cablePull", "strCableStatus"): ["Allowed Values: LAID (laid, not yet buried), BUR (buried), TRM "
                                      "(terminated), TST (tested), HLD (on hold - damaged)"],
}

CONCEPTS = {
    ("installActivity", "dblTotalFloatDays"): ["total_float", "critical_path"],
    ("installActivity", "dblFreeFloatDays"): ["free_float"],
    ("installActivity", "bitCritical"): ["critical_path"],
    ("installActivity", "dblPercentComplete"): ["percent_complete"],
    ("installActivity", "dtBaselineFinish"): ["baseline_variance"],
    ("baselineActivity", "dtFinish"): ["baseline_variance"],
    ("logicLink", "dblLagDays"): ["lag"],
    ("logicLink", "bitInterface"): ["interface"],
    ("programmePackage", "curForecastFinalCostGbp"): ["cost_variance"],
    ("riskEntry", "intScore"): ["risk_exposure"],
    ("vesselDayLog", "dblWeatherDowntimeHours"): ["weather_downtime"],
    ("calendarException", "dtException"): ["weather_window"],
    ("workCalendar", "bitWeatherRestricted"): ["weather_window"],
    ("pileRecord", "bitRefusal"): ["pile_refusal"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip before its package misses the key date",
    "free_float": "Working days an activity can slip before any successor moves",
    "critical_path": "Chain of activities with zero or negative float driving a key date",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a link in calendar days, e.g. grout curing or a hold between campaigns",
    "interface": "Logic between packages, e.g. a transition piece waiting on its monopile",
    "baseline_variance": "Forecast dates against the current baseline; later = slipped",
    "cost_variance": "Forecast final cost against contract value",
    "risk_exposure": "Probability x impact score of a risk",
    "weather_downtime": "Vessel hours lost waiting on weather (WOW), from the vessel daily reports",
    "weather_window": "Period in which offshore work is planned; outside it weather-restricted calendars do not work",
    "pile_refusal": "Pile stopping above its design penetration; needs drive-drill-drive",
}

QUERY_EXAMPLES = [
    ("SELECT strPackageCode, strPackageName, dtKeyDate, dtForecastFinish, strRag FROM programmePackage "
     "ORDER BY dtKeyDate;", "Packages with key date and forecast finish", "simple"),
    ("SELECT a.strActivityCode, a.strActivityName, a.dtEarlyStart, a.dblTotalFloatDays FROM installActivity a "
     "JOIN programmePackage p ON p.intPackageId = a.intPackageId WHERE p.strPackageCode = 'SKB-WTG' "
     "AND a.bitCritical = 1 ORDER BY a.dtEarlyStart;", "Critical activities of a package", "medium"),
    ("SELECT r.strResourceName, SUM(l.dblWeatherDowntimeHours) AS wow_hours FROM vesselDayLog l JOIN planResource r "
     "ON r.intResourceId = l.intResourceId GROUP BY r.strResourceName ORDER BY wow_hours DESC;",
     "Weather downtime hours by vessel", "medium"),
    ("SELECT a.strActivityCode, a.strActivityName, b.dtFinish, a.dtEarlyFinish FROM installActivity a "
     "JOIN baselineActivity b ON b.intActivityId = a.intActivityId JOIN baselineHeader h "
     "ON h.intBaselineId = b.intBaselineId WHERE h.bitIsCurrent = 1 AND a.dtEarlyFinish > b.dtFinish;",
     "Activities forecast to finish later than the current baseline", "complex"),
    ("SELECT t.strPositionCode, p.dblTargetPenetrationM, p.dblAchievedPenetrationM, p.strResult FROM pileRecord p "
     "JOIN turbinePosition t ON t.intPositionId = p.intPositionId WHERE p.bitRefusal = 1;",
     "Monopiles that met refusal", "medium"),
    ("SELECT strCableRef, dblTargetBurialM, dblAchievedBurialM FROM cablePull "
     "WHERE dblAchievedBurialM < dblTargetBurialM;", "Cable sections buried shallower than target", "simple"),
    ("SELECT e.dtException, e.strReason FROM calendarException e JOIN workCalendar c "
     "ON c.intCalendarId = e.intCalendarId WHERE c.strCalendarCode = 'ONS-5x8' AND e.dtException >= '2025-09-12' "
     "ORDER BY e.dtException;", "Coming non-working days of the office calendar", "medium"),
    ("SELECT v.strVariationRef, v.strTitle, v.curValueGbp FROM variationOrder v JOIN programmePackage p "
     "ON p.intPackageId = v.intPackageId WHERE p.strPackageCode = 'SKB-IAC' AND v.strVariationStatus = 'SUBM';",
     "Submitted variations of a package", "medium"),
    ("SELECT r.strResourceName, SUM(a.curActualCostGbp) AS cost FROM resourceAssignment a JOIN planResource r "
     "ON r.intResourceId = a.intResourceId WHERE r.strResourceType = 'VSL' GROUP BY r.strResourceName "
     "ORDER BY cost DESC;", "Actual vessel cost to date", "medium"),
]

KEYWORDS = {
    "float": ["installActivity.dblTotalFloatDays", "installActivity.dblFreeFloatDays", "total_float"],
    "critical": ["installActivity.bitCritical", "critical_path"],
    "predecessor": ["logicLink.intPredActivityId", "logicLink"],
    "successor": ["logicLink.intSuccActivityId", "logicLink"],
    "interface": ["logicLink.bitInterface", "interface"],
    "baseline": ["baselineHeader", "baselineActivity", "baseline_variance"],
    "vessel": ["planResource.strVesselClass", "vesselDayLog"],
    "jack-up": ["planResource.strVesselClass"],
    "WOW": ["vesselDayLog.dblWeatherDowntimeHours", "weather_downtime"],
    "weather": ["vesselDayLog.dblWeatherDowntimeHours", "workCalendar.bitWeatherRestricted"],
    "Hs": ["vesselDayLog.dblHsMaxM", "planResource.dblOperatingHsLimitM"],
    "VO": ["variationOrder"],
    "variation": ["variationOrder"],
    "risk": ["riskEntry"],
    "pile": ["pileRecord"],
    "refusal": ["pileRecord.bitRefusal", "pile_refusal"],
    "cable": ["cablePull"],
    "burial": ["cablePull.dblAchievedBurialM"],
    "position": ["turbinePosition"],
    "key date": ["programmePackage.dtKeyDate"],
}

TERMINOLOGY = {
    "WTG": "Wind turbine generator",
    "MP": "Monopile",
    "TP": "Transition piece",
    "OSS": "Offshore substation",
    "IAC": "Inter-array cable (66 kV)",
    "EXC": "Export cable (220 kV)",
    "HLV": "Heavy lift vessel",
    "JUV": "Jack-up vessel",
    "CLV": "Cable lay vessel",
    "SOV": "Service operation vessel (walk-to-work)",
    "CTV": "Crew transfer vessel",
    "Hs": "Significant wave height",
    "WOW": "Waiting on weather",
    "UXO": "Unexploded ordnance",
    "HDD": "Horizontal directional drilling (landfall ducts)",
    "LAT": "Lowest astronomical tide",
    "IR test": "Insulation resistance test of a cable",
    "drive-drill-drive": "Drilling out the soil plug of a pile that met refusal, then driving on",
    "key date": "Contractual date a package must reach; float is measured to it",
    "data date": "Date up to which progress is recorded",
    "marshalling port": "Port where components are stored, pre-assembled and loaded out (Caldmouth)",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF": "Finish to finish link",
}

RELATED_TERMS = {
    "installActivity": "activity, task, schedule line, programme",
    "programmePackage": "package, contract, work package, scope",
    "wbsNode": "WBS, phase, string",
    "turbinePosition": "position, turbine location, WTG position, foundation location",
    "planResource": "resource, vessel, ship, crew, crane",
    "resourceAssignment": "assignment, resource loading, hours, vessel cost",
    "riskEntry": "risk, risk register",
    "variationOrder": "variation, VO, change, change order, claim",
    "vesselDayLog": "daily progress report, DPR, vessel log, weather downtime, WOW",
    "pileRecord": "pile driving record, piling log, monopile installation record",
    "cablePull": "cable pull-in, cable lay record, burial, cable section",
    "logicLink": "link, relationship, dependency, logic",
    "workCalendar": "calendar, weather window, shift pattern",
    "calendarException": "holiday, non-working day, weather closure",
    "baselineHeader": "baseline",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="Id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout14"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check_with_history, count_table="installActivity")


if __name__ == "__main__":
    sys.exit(main())
