#!/usr/bin/env python3
"""Build the eleventh check schedule database (data-centre construction programme, camelCase naming) and its metadata.

An owner-operator's data-centre construction programme (Norvale Digital Estates): six projects
across Europe, a data hall fit-out in Dublin, a shell and core building near Amsterdam, a
four-hall MEP fit-out in Frankfurt, a 33kV substation and generator yard in Manchester, a live
chilled water plant upgrade in Oslo and a UPS room retrofit in Madrid (finished in June 2025).
Named as an application team would name it: camelCase tables and columns (`scheduleActivity`,
`totalFloatHrs`, `earlyStart`, `isCritical`), statuses stored as words ('Not Started',
'In Progress', 'Complete'), coded relationship types (FS / SS / FF / SF). Durations, lags and
float are in WORKING HOURS of the project's calendar; activity dates are 'YYYY-MM-DD HH:MM' text,
other dates 'YYYY-MM-DD'. Each project's activities are scheduled by a forward and backward pass
in working days of its calendar (weekdays of the calendar, less its non-working exceptions, plus
its extra working days) against the contract completion. Data date 2025-09-26.

Outputs go to bench/out/holdout11/ (or --out DIR); --check also runs every gold statement of
questions.json and of history.json. The command line is bench/schedule_build.py's. Standard
library only; deterministic (fixed seed).
"""

import datetime as dt
import json
import os
import random
import sqlite3
import sys

SEED = 111111
DATA_DATE = dt.date(2025, 9, 26)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from gold_check import check as check_questions  # noqa: E402
from schedule_build import default_out, describe_tables, main as build_main, metadata_document  # noqa: E402
DB_NAME = "holdout11_schedule.db"
META_NAME = "holdout11_metadata.json"

DDL = """
CREATE TABLE workCalendar (
    calendarId INTEGER PRIMARY KEY, calendarName TEXT NOT NULL UNIQUE, countryCode TEXT NOT NULL,
    workDays TEXT NOT NULL, hoursPerDay REAL NOT NULL, shiftStart TEXT NOT NULL, isDefault INTEGER NOT NULL
);
CREATE TABLE calendarException (
    exceptionId INTEGER PRIMARY KEY, calendarId INTEGER NOT NULL REFERENCES workCalendar(calendarId),
    exceptionDate TEXT NOT NULL, exceptionType TEXT NOT NULL, description TEXT NOT NULL, workHours REAL NOT NULL
);
CREATE TABLE project (
    projectId INTEGER PRIMARY KEY, projectCode TEXT NOT NULL UNIQUE, projectName TEXT NOT NULL,
    siteName TEXT NOT NULL, city TEXT NOT NULL, country TEXT NOT NULL, projectType TEXT NOT NULL,
    projectManager TEXT NOT NULL, sponsorName TEXT NOT NULL, generalContractor TEXT NOT NULL,
    itLoadMw REAL, budgetEur REAL NOT NULL, forecastCostEur REAL NOT NULL, calendarId INTEGER NOT NULL
    REFERENCES workCalendar(calendarId), plannedStart TEXT NOT NULL, contractCompletion TEXT NOT NULL,
    forecastCompletion TEXT NOT NULL, dataDate TEXT NOT NULL, projectStatus TEXT NOT NULL
);
CREATE TABLE wbsNode (
    wbsId INTEGER PRIMARY KEY, projectId INTEGER NOT NULL REFERENCES project(projectId),
    parentWbsId INTEGER REFERENCES wbsNode(wbsId), wbsCode TEXT NOT NULL UNIQUE, wbsName TEXT NOT NULL,
    wbsLevel INTEGER NOT NULL, responsiblePerson TEXT
);
CREATE TABLE scheduleActivity (
    activityId INTEGER PRIMARY KEY, projectId INTEGER NOT NULL REFERENCES project(projectId),
    wbsId INTEGER NOT NULL REFERENCES wbsNode(wbsId), calendarId INTEGER NOT NULL
    REFERENCES workCalendar(calendarId), activityCode TEXT NOT NULL UNIQUE, activityName TEXT NOT NULL,
    activityType TEXT NOT NULL, area TEXT, originalDurationHrs REAL NOT NULL, remainingDurationHrs REAL NOT NULL,
    earlyStart TEXT NOT NULL, earlyFinish TEXT NOT NULL, lateStart TEXT, lateFinish TEXT,
    actualStart TEXT, actualFinish TEXT, totalFloatHrs REAL, freeFloatHrs REAL, isCritical INTEGER NOT NULL,
    percentComplete REAL NOT NULL, activityStatus TEXT NOT NULL
);
CREATE TABLE activityRelationship (
    relationshipId INTEGER PRIMARY KEY, predecessorId INTEGER NOT NULL REFERENCES scheduleActivity(activityId),
    successorId INTEGER NOT NULL REFERENCES scheduleActivity(activityId), relType TEXT NOT NULL,
    lagHrs REAL NOT NULL
);
CREATE TABLE resource (
    resourceId INTEGER PRIMARY KEY, resourceCode TEXT NOT NULL UNIQUE, resourceName TEXT NOT NULL,
    resourceType TEXT NOT NULL, trade TEXT NOT NULL, companyName TEXT NOT NULL, costPerHrEur REAL NOT NULL,
    defaultUnits REAL NOT NULL, calendarId INTEGER REFERENCES workCalendar(calendarId)
);
CREATE TABLE resourceAssignment (
    assignmentId INTEGER PRIMARY KEY, activityId INTEGER NOT NULL REFERENCES scheduleActivity(activityId),
    resourceId INTEGER NOT NULL REFERENCES resource(resourceId), units REAL NOT NULL,
    budgetedHrs REAL NOT NULL, actualHrs REAL NOT NULL, remainingHrs REAL NOT NULL,
    budgetedCostEur REAL NOT NULL, actualCostEur REAL NOT NULL, remainingCostEur REAL NOT NULL
);
CREATE TABLE baseline (
    baselineId INTEGER PRIMARY KEY, projectId INTEGER NOT NULL REFERENCES project(projectId),
    baselineName TEXT NOT NULL, baselineType TEXT NOT NULL, capturedOn TEXT NOT NULL, approvedBy TEXT,
    isActive INTEGER NOT NULL
);
CREATE TABLE baselineActivity (
    baselineActivityId INTEGER PRIMARY KEY, baselineId INTEGER NOT NULL REFERENCES baseline(baselineId),
    activityId INTEGER NOT NULL REFERENCES scheduleActivity(activityId), blStart TEXT NOT NULL,
    blFinish TEXT NOT NULL, blDurationHrs REAL NOT NULL, blTotalFloatHrs REAL
);
CREATE TABLE equipmentDelivery (
    deliveryId INTEGER PRIMARY KEY, projectId INTEGER NOT NULL REFERENCES project(projectId),
    activityId INTEGER NOT NULL REFERENCES scheduleActivity(activityId), equipmentTag TEXT NOT NULL UNIQUE,
    equipmentType TEXT NOT NULL, vendorName TEXT NOT NULL, poNumber TEXT NOT NULL, promisedDate TEXT NOT NULL,
    forecastDate TEXT NOT NULL, deliveredDate TEXT, deliveryStatus TEXT NOT NULL
);
CREATE TABLE riskItem (
    riskId INTEGER PRIMARY KEY, projectId INTEGER NOT NULL REFERENCES project(projectId),
    activityId INTEGER REFERENCES scheduleActivity(activityId), riskCode TEXT NOT NULL UNIQUE,
    riskTitle TEXT NOT NULL, category TEXT NOT NULL, probabilityPct INTEGER NOT NULL, impactCostEur REAL NOT NULL,
    impactHrs REAL NOT NULL, severity TEXT NOT NULL, riskOwner TEXT NOT NULL, responsePlan TEXT NOT NULL,
    riskStatus TEXT NOT NULL, raisedOn TEXT NOT NULL
);
CREATE TABLE rfi (
    rfiId INTEGER PRIMARY KEY, projectId INTEGER NOT NULL REFERENCES project(projectId),
    activityId INTEGER REFERENCES scheduleActivity(activityId), rfiNumber TEXT NOT NULL UNIQUE,
    subject TEXT NOT NULL, discipline TEXT NOT NULL, raisedBy TEXT NOT NULL, assignedTo TEXT NOT NULL,
    dateRaised TEXT NOT NULL, dateRequired TEXT NOT NULL, dateAnswered TEXT, priority TEXT NOT NULL,
    rfiStatus TEXT NOT NULL, costImpact INTEGER NOT NULL
);
CREATE TABLE dailyReport (
    reportId INTEGER PRIMARY KEY, projectId INTEGER NOT NULL REFERENCES project(projectId),
    reportDate TEXT NOT NULL, reportedBy TEXT NOT NULL, weather TEXT NOT NULL, maxTempC REAL NOT NULL,
    workersOnSite INTEGER NOT NULL, manHours REAL NOT NULL, lostHours REAL NOT NULL, lostTimeReason TEXT,
    safetyIncidents INTEGER NOT NULL, summary TEXT NOT NULL
);
"""

# calendarName, country, work days (Mon=0), hours per day, shift start, default
CALENDARS = [
    ("IE Standard 5x10", "IE", (0, 1, 2, 3, 4), 10.0, "07:00", 0),
    ("NL Standard 5x10", "NL", (0, 1, 2, 3, 4), 10.0, "07:00", 1),
    ("DE Six-Day 6x10", "DE", (0, 1, 2, 3, 4, 5), 10.0, "06:30", 0),
    ("UK Standard 5x8", "GB", (0, 1, 2, 3, 4), 8.0, "08:00", 0),
    ("NO Evening Shift 5x8", "NO", (0, 1, 2, 3, 4), 8.0, "14:00", 0),
    ("ES Standard 5x8", "ES", (0, 1, 2, 3, 4), 8.0, "08:00", 0),
    ("Commissioning 7x12", "ALL", (0, 1, 2, 3, 4, 5, 6), 12.0, "07:00", 0),
]
DAY_NAMES = ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]

HOLIDAYS = {
    "IE": [("2024-12-25", "Christmas Day"), ("2024-12-26", "St Stephen's Day"), ("2025-01-01", "New Year's Day"),
           ("2025-02-03", "St Brigid's Day"), ("2025-03-17", "St Patrick's Day"), ("2025-04-21", "Easter Monday"),
           ("2025-05-05", "May Bank Holiday"), ("2025-06-02", "June Bank Holiday"),
           ("2025-08-04", "August Bank Holiday"), ("2025-10-27", "October Bank Holiday"),
           ("2025-12-25", "Christmas Day"), ("2025-12-26", "St Stephen's Day"), ("2026-01-01", "New Year's Day")],
    "NL": [("2024-12-25", "Eerste Kerstdag"), ("2024-12-26", "Tweede Kerstdag"), ("2025-01-01", "Nieuwjaarsdag"),
           ("2025-04-18", "Goede Vrijdag"), ("2025-04-21", "Tweede Paasdag"), ("2025-04-28", "Koningsdag (moved)"),
           ("2025-05-05", "Bevrijdingsdag"), ("2025-05-29", "Hemelvaartsdag"), ("2025-06-09", "Tweede Pinksterdag"),
           ("2025-12-25", "Eerste Kerstdag"), ("2025-12-26", "Tweede Kerstdag"), ("2026-01-01", "Nieuwjaarsdag")],
    "DE": [("2024-12-25", "1. Weihnachtstag"), ("2024-12-26", "2. Weihnachtstag"), ("2025-01-01", "Neujahr"),
           ("2025-04-18", "Karfreitag"), ("2025-04-21", "Ostermontag"), ("2025-05-01", "Tag der Arbeit"),
           ("2025-05-29", "Christi Himmelfahrt"), ("2025-06-09", "Pfingstmontag"), ("2025-06-19", "Fronleichnam"),
           ("2025-10-03", "Tag der Deutschen Einheit"), ("2025-12-25", "1. Weihnachtstag"),
           ("2025-12-26", "2. Weihnachtstag"), ("2026-01-01", "Neujahr")],
    "GB": [("2024-12-25", "Christmas Day"), ("2024-12-26", "Boxing Day"), ("2025-01-01", "New Year's Day"),
           ("2025-04-18", "Good Friday"), ("2025-04-21", "Easter Monday"), ("2025-05-05", "Early May bank holiday"),
           ("2025-05-26", "Spring bank holiday"), ("2025-08-25", "Summer bank holiday"),
           ("2025-12-25", "Christmas Day"), ("2025-12-26", "Boxing Day"), ("2026-01-01", "New Year's Day")],
    "NO": [("2024-12-25", "Første juledag"), ("2024-12-26", "Andre juledag"), ("2025-01-01", "Første nyttårsdag"),
           ("2025-04-17", "Skjærtorsdag"), ("2025-04-18", "Langfredag"), ("2025-04-21", "Andre påskedag"),
           ("2025-05-01", "Arbeidernes dag"), ("2025-05-29", "Kristi himmelfartsdag"),
           ("2025-06-09", "Andre pinsedag"), ("2025-12-25", "Første juledag"), ("2025-12-26", "Andre juledag"),
           ("2026-01-01", "Første nyttårsdag")],
    "ES": [("2024-12-25", "Navidad"), ("2025-01-01", "Año Nuevo"), ("2025-01-06", "Epifanía del Señor"),
           ("2025-04-17", "Jueves Santo"), ("2025-04-18", "Viernes Santo"), ("2025-05-01", "Fiesta del Trabajo"),
           ("2025-05-02", "Fiesta de la Comunidad de Madrid"), ("2025-05-15", "San Isidro"),
           ("2025-08-15", "Asunción de la Virgen"), ("2025-10-13", "Fiesta Nacional (moved)"),
           ("2025-12-08", "Inmaculada Concepción"), ("2025-12-25", "Navidad"), ("2026-01-01", "Año Nuevo")],
}
# calendar index -> extra exceptions (date, type, description, workHours)
EXTRA_EXCEPTIONS = {
    0: [("2024-12-23", "Site Shutdown", "Christmas shutdown", 0.0), ("2024-12-24", "Site Shutdown",
        "Christmas shutdown", 0.0), ("2024-12-27", "Site Shutdown", "Christmas shutdown", 0.0),
        ("2024-12-30", "Site Shutdown", "Christmas shutdown", 0.0), ("2024-12-31", "Site Shutdown",
        "Christmas shutdown", 0.0), ("2025-01-02", "Site Shutdown", "Christmas shutdown", 0.0),
        ("2025-01-24", "Weather", "Storm Éowyn - red warning, site closed", 0.0),
        ("2025-06-14", "Extra Working Day", "Saturday working - catch-up on containment", 10.0),
        ("2025-06-21", "Extra Working Day", "Saturday working - catch-up on containment", 10.0),
        ("2025-09-13", "Extra Working Day", "Saturday working - UPS install recovery", 10.0)],
    1: [("2024-12-27", "Site Shutdown", "Bouwvak winter stop", 0.0), ("2024-12-30", "Site Shutdown",
        "Bouwvak winter stop", 0.0), ("2024-12-31", "Site Shutdown", "Bouwvak winter stop", 0.0),
        ("2025-07-21", "Site Shutdown", "Bouwvak summer holiday", 0.0), ("2025-07-22", "Site Shutdown",
        "Bouwvak summer holiday", 0.0), ("2025-07-23", "Site Shutdown", "Bouwvak summer holiday", 0.0),
        ("2025-07-24", "Site Shutdown", "Bouwvak summer holiday", 0.0), ("2025-07-25", "Site Shutdown",
        "Bouwvak summer holiday", 0.0), ("2025-07-28", "Site Shutdown", "Bouwvak summer holiday", 0.0),
        ("2025-07-29", "Site Shutdown", "Bouwvak summer holiday", 0.0), ("2025-07-30", "Site Shutdown",
        "Bouwvak summer holiday", 0.0), ("2025-07-31", "Site Shutdown", "Bouwvak summer holiday", 0.0),
        ("2025-08-01", "Site Shutdown", "Bouwvak summer holiday", 0.0),
        ("2025-02-10", "Weather", "Frost - no concrete pours", 0.0)],
    2: [("2024-12-24", "Site Shutdown", "Weihnachtspause", 0.0), ("2024-12-27", "Site Shutdown",
        "Weihnachtspause", 0.0), ("2024-12-28", "Site Shutdown", "Weihnachtspause", 0.0),
        ("2024-12-31", "Site Shutdown", "Weihnachtspause", 0.0),
        ("2025-08-09", "Site Shutdown", "Utility outage - campus HV maintenance", 0.0)],
    3: [("2025-03-08", "Extra Working Day", "Saturday working - cable pull", 8.0),
        ("2025-07-19", "Extra Working Day", "Saturday working - transformer delivery", 8.0),
        ("2024-12-24", "Site Shutdown", "Christmas shutdown", 0.0), ("2024-12-27", "Site Shutdown",
        "Christmas shutdown", 0.0), ("2024-12-30", "Site Shutdown", "Christmas shutdown", 0.0),
        ("2024-12-31", "Site Shutdown", "Christmas shutdown", 0.0)],
    4: [("2025-07-07", "Site Shutdown", "Fellesferie", 0.0), ("2025-07-08", "Site Shutdown", "Fellesferie", 0.0),
        ("2025-07-09", "Site Shutdown", "Fellesferie", 0.0), ("2025-07-10", "Site Shutdown", "Fellesferie", 0.0),
        ("2025-07-11", "Site Shutdown", "Fellesferie", 0.0), ("2025-07-14", "Site Shutdown", "Fellesferie", 0.0),
        ("2025-07-15", "Site Shutdown", "Fellesferie", 0.0), ("2025-07-16", "Site Shutdown", "Fellesferie", 0.0),
        ("2025-07-17", "Site Shutdown", "Fellesferie", 0.0), ("2025-07-18", "Site Shutdown", "Fellesferie", 0.0),
        ("2025-05-16", "Client Freeze", "Change freeze - tenant go-live, no work in live plant", 0.0)],
    5: [("2025-08-11", "Site Shutdown", "Agosto - cierre parcial", 0.0), ("2025-08-12", "Site Shutdown",
        "Agosto - cierre parcial", 0.0), ("2025-08-13", "Site Shutdown", "Agosto - cierre parcial", 0.0),
        ("2025-03-22", "Extra Working Day", "Sabado - cambio de UPS en ventana de mantenimiento", 8.0),
        ("2025-04-05", "Extra Working Day", "Sabado - cambio de UPS en ventana de mantenimiento", 8.0)],
    6: [("2024-12-25", "Public Holiday", "Christmas Day - commissioning stood down", 0.0),
        ("2025-01-01", "Public Holiday", "New Year's Day - commissioning stood down", 0.0)],
}
PROJECT_CAL = {"DH7": 0, "AB2": 1, "FH4": 2, "TPS": 3, "HCW": 4, "AUR": 5}

PROJECTS = [
    # code, name, site, city, country, type, PM, sponsor, GC, IT MW, budget, cost factor, start,
    # margin (working days), status
    ("DH7", "Clonshaugh DH7 Data Hall Fit-out", "Clonshaugh Campus", "Dublin", "Ireland", "Data Hall Fit-out",
     "Siobhan Kearney", "Marten Vos", "Liffey Mission Critical Ltd", 9.6, 38500000.0, 1.07, dt.date(2024, 11, 4), 10,
     "Active"),
    ("AB2", "Schiphol-Rijk Building 2 Shell and Core", "Schiphol-Rijk Campus", "Amsterdam", "Netherlands",
     "Shell and Core", "Joost van Dijk", "Marten Vos", "Bouwcombinatie Polderpoort", None, 52000000.0, 1.03,
     dt.date(2024, 10, 7), 15, "Active"),
    ("FH4", "Fechenheim Hall 4 MEP Fit-out", "Fechenheim Campus", "Frankfurt", "Germany", "Data Hall Fit-out",
     "Katrin Albers", "Elena Ruiz", "Mainufer Technische Gebäudeausrüstung GmbH", 14.4, 61000000.0, 1.11,
     dt.date(2024, 12, 2), 5, "Active"),
    ("TPS", "Trafford Park 33kV Substation and Generator Yard", "Trafford Park Campus", "Manchester",
     "United Kingdom", "Power Infrastructure", "Gareth Holloway", "Elena Ruiz", "Irwell Power Services Ltd", None,
     17800000.0, 0.98, dt.date(2025, 1, 6), 12, "Active"),
    ("HCW", "Hagan Chilled Water Plant Upgrade", "Hagan Campus", "Oslo", "Norway", "Live Site Retrofit",
     "Ingrid Solberg", "Marten Vos", "Fjordkjøl AS", None, 9400000.0, 1.15, dt.date(2025, 3, 3), 8, "Active"),
    ("AUR", "Alcobendas UPS Room Retrofit", "Alcobendas Campus", "Madrid", "Spain", "Live Site Retrofit",
     "Javier Montero", "Elena Ruiz", "Instalaciones Jarama SL", None, 4200000.0, 0.96, dt.date(2025, 1, 13), 6,
     "Complete"),
]

# resourceCode, name, type, trade, company, rate, default units, calendar index (None = project calendar)
RESOURCES = [
    ("LAB-ELE-IE", "Electricians - Corrib M&E", "Labour", "Electrical", "Corrib M&E Ltd", 68.0, 6, None),
    ("LAB-MEC-IE", "Pipefitters - Corrib M&E", "Labour", "Mechanical", "Corrib M&E Ltd", 64.0, 4, None),
    ("LAB-ELE-DE", "Elektriker - Mainufer TGA", "Labour", "Electrical", "Mainufer Technische Gebäudeausrüstung GmbH",
     72.0, 8, None),
    ("LAB-MEC-DE", "Anlagenmechaniker - Rhein Kältetechnik", "Labour", "Mechanical", "Rhein Kältetechnik GmbH", 70.0,
     6, None),
    ("LAB-CIV-NL", "Groundworks crew - Van Leeuwen Bouw", "Labour", "Civils", "Van Leeuwen Bouw BV", 55.0, 8, None),
    ("LAB-STL-NL", "Steel erectors - Delta Staalbouw", "Labour", "Structural Steel", "Delta Staalbouw BV", 62.0, 6,
     None),
    ("LAB-ENV-NL", "Cladding and roofing - Noordkust Gevelbouw", "Labour", "Envelope", "Noordkust Gevelbouw BV",
     58.0, 6, None),
    ("LAB-MEP-NL", "MEP installers - Polderpoort Installatietechniek", "Labour", "Electrical",
     "Bouwcombinatie Polderpoort", 66.0, 6, None),
    ("LAB-HV-UK", "HV jointers - Irwell Power Services", "Labour", "HV Electrical", "Irwell Power Services Ltd",
     85.0, 3, None),
    ("LAB-CIV-UK", "Civils gang - Irwell Power Services", "Labour", "Civils", "Irwell Power Services Ltd", 52.0, 6,
     None),
    ("LAB-MEC-NO", "Rørleggere - Fjordkjøl", "Labour", "Mechanical", "Fjordkjøl AS", 90.0, 4, None),
    ("LAB-ELE-NO", "Elektrikere - Fjordkjøl", "Labour", "Electrical", "Fjordkjøl AS", 88.0, 2, None),
    ("LAB-ELE-ES", "Electricistas - Instalaciones Jarama", "Labour", "Electrical", "Instalaciones Jarama SL", 48.0,
     4, None),
    ("LAB-FLR", "Raised floor installers - Plenum Floors Europe", "Labour", "Raised Floor",
     "Plenum Floors Europe", 50.0, 4, None),
    ("LAB-FIRE", "Suppression fitters - Argenta Fire Systems", "Labour", "Fire Protection", "Argenta Fire Systems",
     66.0, 3, None),
    ("LAB-CTL", "BMS and EPMS engineers - Kinetica Controls", "Labour", "Controls", "Kinetica Controls", 95.0, 2,
     None),
    ("CX-ABR", "Aoife Brennan", "Labour", "Commissioning", "Norvale Digital Estates", 110.0, 1, 6),
    ("CX-TLI", "Tomas Lindqvist", "Labour", "Commissioning", "Halden Commissioning Partners", 105.0, 1, 6),
    ("CX-PDE", "Priyanka Desai", "Labour", "Commissioning", "Halden Commissioning Partners", 98.0, 1, 6),
    ("CX-RWA", "Ruairi Walsh", "Labour", "Commissioning", "Norvale Digital Estates", 100.0, 1, 6),
    ("EQ-CRN-100", "Mobile crane 100t", "Equipment", "Lifting", "Ardmore Crane Hire", 185.0, 1, None),
    ("EQ-CRN-250", "Crawler crane 250t", "Equipment", "Lifting", "Ardmore Crane Hire", 320.0, 1, None),
    ("EQ-MEWP", "Scissor lift MEWP 10m", "Equipment", "Access", "Skylift Rentals", 18.0, 2, None),
    ("EQ-TELE", "Telehandler 14m", "Equipment", "Access", "Skylift Rentals", 35.0, 1, None),
    ("EQ-PILE", "CFA piling rig", "Equipment", "Piling", "Van Leeuwen Bouw BV", 260.0, 1, None),
    ("EQ-LBK", "Load bank 2MW with cabling", "Equipment", "Testing", "Voltara Load Banks", 140.0, 2, None),
]
# trade tag of an activity -> resource codes per country (first match wins) and units
TRADE_RES = {
    "E": {"IE": ["LAB-ELE-IE"], "DE": ["LAB-ELE-DE"], "NL": ["LAB-MEP-NL"], "GB": ["LAB-HV-UK"],
          "NO": ["LAB-ELE-NO"], "ES": ["LAB-ELE-ES"]},
    "M": {"IE": ["LAB-MEC-IE"], "DE": ["LAB-MEC-DE"], "NL": ["LAB-MEP-NL"], "GB": ["LAB-CIV-UK"],
          "NO": ["LAB-MEC-NO"], "ES": ["LAB-ELE-ES"]},
    "C": {"NL": ["LAB-CIV-NL"], "GB": ["LAB-CIV-UK"], "IE": ["LAB-MEC-IE"], "DE": ["LAB-MEC-DE"],
          "NO": ["LAB-MEC-NO"], "ES": ["LAB-ELE-ES"]},
    "S": {"NL": ["LAB-STL-NL", "EQ-CRN-250"]},
    "V": {"NL": ["LAB-ENV-NL", "EQ-MEWP"]},
    "P": {"NL": ["LAB-CIV-NL", "EQ-PILE"]},
    "F": {"*": ["LAB-FLR"]},
    "FS": {"*": ["LAB-FIRE"]},
    "CT": {"*": ["LAB-CTL"]},
    "L": {"*": ["EQ-CRN-100"]},
    "HV": {"GB": ["LAB-HV-UK"]},
}
CX_LEADS = {"DH7": ["CX-ABR", "CX-RWA"], "AB2": ["CX-TLI"], "FH4": ["CX-TLI", "CX-PDE"], "TPS": ["CX-RWA"],
            "HCW": ["CX-PDE"], "AUR": ["CX-ABR"]}


class Plan:
    """Activities of one project: (key, name, days, wbs, preds, trade, slip, new, area)."""

    def __init__(self, scale=1.0):
        self.scale = scale
        self.acts = []
        self.wbs = []  # (key, name, parent key or None, responsible)

    def w(self, key, name, parent=None, person=None):
        self.wbs.append((key, name, parent, person))

    def a(self, key, name, days, wbs, preds=(), trade=None, slip=0, new=False, area=None, kind=None):
        days = round(days * self.scale)
        slip = round(slip * self.scale)
        self.acts.append((key, name, days, wbs, list(preds), trade, slip, new, area, kind))
        return key


def fitout_hall(p, hall, wbs, first_preds, crah_po, bus_po, slips=None):
    slips = slips or {}
    h = hall
    area = f"Data Hall {h}"
    p.a(f"so{h}", f"Setting out and slab preparation Hall {h}", 5, wbs, first_preds, "C", area=area)
    p.a(f"ct{h}", f"Primary containment and drop rods Hall {h}", 15, wbs, [f"so{h}"], "E", slips.get("ct", 0),
        area=area)
    p.a(f"rf{h}", f"Raised access floor pedestals and tiles Hall {h}", 12, wbs, [f"ct{h}:SS5"], "F", area=area)
    p.a(f"tr{h}", f"Overhead cable tray and fibre runway Hall {h}", 10, wbs, [f"ct{h}"], "E", area=area)
    p.a(f"bw{h}", f"Busway and tap-off units Hall {h}", 10, wbs, [f"tr{h}", bus_po], "E", slips.get("bw", 0),
        area=area)
    p.a(f"cr{h}", f"Set and connect CRAH units Hall {h}", 12, wbs, [f"rf{h}", crah_po], "M", slips.get("cr", 0),
        area=area)
    p.a(f"cw{h}", f"Chilled water branch pipework and valves Hall {h}", 15, wbs, [f"rf{h}:SS3"], "M", area=area)
    p.a(f"hc{h}", f"Hot aisle containment Hall {h}", 8, wbs, [f"cr{h}"], "F", area=area)
    p.a(f"fs{h}", f"Gas suppression and VESDA Hall {h}", 10, wbs, [f"tr{h}"], "FS", area=area)
    p.a(f"lt{h}", f"Lighting, small power and access control Hall {h}", 8, wbs, [f"tr{h}:SS4"], "E", area=area)
    p.a(f"pd{h}", f"Rack PDUs and remote power panels Hall {h}", 6, wbs, [f"bw{h}:FF2"], "E", area=area)
    p.a(f"fb{h}", f"Fibre backbone to meet-me rooms Hall {h}", 8, wbs, [f"tr{h}"], "E", area=area)
    p.a(f"cl{h}", f"Sensitive clean Hall {h}", 4, wbs, [f"hc{h}", f"fs{h}", f"lt{h}", f"pd{h}", f"cw{h}", f"fb{h}"],
        "C", area=area)
    p.a(f"l2{h}", f"L2 installation verification Hall {h}", 3, wbs, [f"cl{h}"], "CX", area=area, kind="cx")


def plan_dh7():
    p = Plan(1.45)
    p.w("PM", "Project Management", None, "Siobhan Kearney")
    p.w("DES", "Design and Approvals", None, "Fergal Moran")
    p.w("PRC", "Procurement - Long Lead Equipment", None, "Nadia Petrova")
    p.w("CON", "Construction", None, "Declan Hughes")
    p.w("ER", "Electrical Room E7", "CON", "Declan Hughes")
    p.w("HA", "Data Hall 7A", "CON", "Declan Hughes")
    p.w("HB", "Data Hall 7B", "CON", "Cathal Byrne")
    p.w("HC", "Data Hall 7C", "CON", "Niamh O'Leary")
    p.w("ME", "Mechanical Gallery and Roof", "CON", "Cathal Byrne")
    p.w("CX", "Commissioning", None, "Aoife Brennan")
    p.w("HO", "Handover", None, "Siobhan Kearney")
    p.a("ntp", "Notice to proceed", 0, "PM")
    p.a("ifc", "IFC design package - MEP", 30, "DES", ["ntp"])
    p.a("fsc", "Fire safety certificate and DAC approval", 60, "DES", ["ntp"])
    p.a("psg", "Procure LV switchgear (E7)", 110, "PRC", ["ifc:SS10"], slip=12, kind="SWG")
    p.a("pup", "Procure UPS modules 4 x 1250kVA", 120, "PRC", ["ifc:SS10"], slip=18, kind="UPS")
    p.a("pcr", "Procure CRAH units (24 no.)", 90, "PRC", ["ifc"], kind="CRAH")
    p.a("pgn", "Procure standby generators 2 x 3MVA", 140, "PRC", ["ifc"], slip=25, kind="GEN")
    p.a("pbw", "Procure busway and tap-off units", 60, "PRC", ["ifc"], kind="BUS")
    p.a("pch", "Procure free-cooling chillers (4 no.)", 100, "PRC", ["ifc"], slip=8, kind="CHL")
    fitout_hall(p, "7A", "HA", ["ifc", "fsc"], "pcr", "pbw", {"ct": 4})
    fitout_hall(p, "7B", "HB", ["so7A:SS5"], "pcr", "pbw", {"cr": 3})
    fitout_hall(p, "7C", "HC", ["so7B:SS10"], "pcr", "pbw")
    p.a("erb", "Builders work and plinths Electrical Room E7", 10, "ER", ["ifc"], "C", area="Electrical Room E7")
    p.a("sgi", "Install LV switchgear E7", 10, "ER", ["erb", "psg"], "E", area="Electrical Room E7")
    p.a("upi", "Install UPS modules and battery strings E7", 15, "ER", ["erb", "pup"], "E", area="Electrical Room E7")
    p.a("lvc", "LV cabling switchgear to UPS and busway", 15, "ER", ["sgi", "upi:SS5"], "E",
        area="Electrical Room E7")
    p.a("ene", "Energise LV switchboards", 1, "ER", ["lvc"], "E", area="Electrical Room E7")
    p.a("gns", "Set generators on plinths and fuel system", 12, "ER", ["pgn:FS2"], "L", area="Generator Yard")
    p.a("gnc", "Generator cabling and controls", 8, "ER", ["gns", "sgi"], "E", area="Generator Yard")
    p.a("rst", "Roof plant steel and dunnage", 10, "ME", ["ifc"], "M", area="Roof")
    p.a("chi", "Lift and set free-cooling chillers on roof", 12, "ME", ["rst", "pch"], "L", area="Roof")
    p.a("hdr", "Chilled water headers and pumps", 15, "ME", ["rst:SS5"], "M", area="Mechanical Gallery M7")
    p.a("bms", "BMS and EPMS integration", 20, "ME", ["hdr", "lvc:SS5"], "CT", area="Mechanical Gallery M7")
    p.a("l3e", "L3 pre-functional tests - electrical", 8, "CX", ["ene"], "CX", kind="cx")
    p.a("l3m", "L3 pre-functional tests - mechanical", 8, "CX", ["chi", "hdr", "l27A", "l27B", "l27C"], "CX", kind="cx")
    p.a("l4", "L4 functional performance tests", 10, "CX", ["l3e", "l3m", "gnc", "bms"], "CX", kind="cx")
    p.a("ist", "L5 integrated systems test (IST) with load banks", 5, "CX", ["l4"], "CX", kind="ist")
    p.a("oms", "O&M manuals and as-built drawings", 20, "HO", ["l4:SS0"])
    p.a("trn", "Operator training and walkdowns", 5, "HO", ["l4"], new=True)
    p.a("pc", "Practical completion - DH7", 0, "HO", ["ist", "oms", "trn"])
    return p


def plan_fh4():
    p = Plan(1.6)
    p.w("PM", "Projektmanagement / Project Management", None, "Katrin Albers")
    p.w("DES", "Planung und Genehmigung / Design and Permits", None, "Lukas Brenner")
    p.w("PRC", "Beschaffung / Procurement", None, "Nadia Petrova")
    p.w("CON", "Ausbau / Fit-out", None, "Matthias Krüger")
    for h, who in (("4A", "Matthias Krüger"), ("4B", "Matthias Krüger"), ("4C", "Sabine Wolff"),
                   ("4D", "Sabine Wolff")):
        p.w("H" + h, f"Data Hall {h}", "CON", who)
    p.w("ENE", "Energy Centre", "CON", "Sabine Wolff")
    p.w("CX", "Commissioning", None, "Tomas Lindqvist")
    p.w("HO", "Handover", None, "Katrin Albers")
    p.a("ntp", "Auftragserteilung / notice to proceed", 0, "PM")
    p.a("ifc", "Ausführungsplanung TGA (IFC MEP design)", 35, "DES", ["ntp"])
    p.a("bgn", "Baugenehmigung Nachtrag (permit amendment)", 50, "DES", ["ntp"], slip=10)
    p.a("psg", "Procure MV/LV switchgear", 120, "PRC", ["ifc:SS15"], slip=20, kind="SWG")
    p.a("pup", "Procure UPS modules 8 x 1500kVA", 130, "PRC", ["ifc:SS15"], kind="UPS")
    p.a("pcr", "Procure fan wall units (48 no.)", 95, "PRC", ["ifc"], slip=15, kind="CRAH")
    p.a("pbw", "Procure busway and tap-off units", 70, "PRC", ["ifc"], kind="BUS")
    p.a("ptx", "Procure transformers 2 x 4MVA", 150, "PRC", ["ifc"], slip=30, kind="TX")
    prev = ["ifc", "bgn"]
    for h in ("4A", "4B", "4C", "4D"):
        fitout_hall(p, h, "H" + h, prev, "pcr", "pbw", {"ct": 2} if h == "4B" else None)
        prev = [f"so{h}:SS10"]
    p.a("txi", "Set transformers and MV terminations", 10, "ENE", ["ptx:FS2", "ifc"], "L", area="Energy Centre")
    p.a("sgi", "Install MV/LV switchgear", 12, "ENE", ["psg", "ifc"], "E", area="Energy Centre")
    p.a("upi", "Install UPS modules and batteries", 20, "ENE", ["pup", "sgi:SS5"], "E", area="Energy Centre")
    p.a("cab", "MV and LV cabling energy centre to halls", 25, "ENE", ["sgi", "txi"], "E", area="Energy Centre")
    p.a("ene", "Energise transformers and LV boards", 2, "ENE", ["cab", "upi"], "E", area="Energy Centre")
    p.a("bms", "BMS and EPMS integration", 25, "ENE", ["cab:SS10"], "CT", area="Energy Centre")
    p.a("l3e", "L3 pre-functional tests - electrical", 10, "CX", ["ene"], "CX", kind="cx")
    p.a("l3m", "L3 pre-functional tests - mechanical", 10, "CX", ["l24A", "l24B", "l24C", "l24D"], "CX", kind="cx")
    p.a("l4", "L4 functional performance tests", 12, "CX", ["l3e", "l3m", "bms"], "CX", kind="cx")
    p.a("ist", "L5 integrated systems test (IST)", 6, "CX", ["l4"], "CX", kind="ist")
    p.a("doc", "Dokumentation / O&M manuals and as-builts", 20, "HO", ["l4:SS0"])
    p.a("pc", "Practical completion - Hall 4", 0, "HO", ["ist", "doc"])
    return p


def plan_ab2():
    p = Plan(1.5)
    p.w("PM", "Projectmanagement", None, "Joost van Dijk")
    p.w("DES", "Design and Permits", None, "Femke de Groot")
    p.w("SUB", "Substructure", None, "Ruud Hendriks")
    p.w("SUP", "Superstructure", None, "Ruud Hendriks")
    p.w("ENV", "Envelope", None, "Sanne Visser")
    p.w("MEP", "Base Build MEP", None, "Sanne Visser")
    p.w("EXT", "External Works", None, "Ruud Hendriks")
    p.w("HO", "Handover", None, "Joost van Dijk")
    p.a("ntp", "Start bouw / notice to proceed", 0, "PM")
    p.a("omg", "Omgevingsvergunning conditions discharge", 40, "DES", ["ntp"])
    p.a("dd", "Structural and envelope detailed design", 45, "DES", ["ntp"])
    p.a("pst", "Procure structural steel", 60, "DES", ["dd"], kind="STL")
    p.a("exc", "Site strip and excavation", 15, "SUB", ["omg"], "C")
    p.a("pil", "CFA piling (412 piles)", 25, "SUB", ["exc"], "P", slip=8)
    p.a("pcp", "Pile caps and ground beams", 20, "SUB", ["pil:SS10"], "C")
    p.a("gfs", "Ground floor slab", 15, "SUB", ["pcp:FS3"], "C", slip=5)
    prev = "gfs"
    for lvl in (1, 2, 3):
        p.a(f"st{lvl}", f"Erect structural steel level {lvl}", 12, "SUP", [prev, "pst"] if lvl == 1 else [prev], "S",
            area=f"Level {lvl}")
        p.a(f"dk{lvl}", f"Metal deck and concrete topping level {lvl}", 10, "SUP", [f"st{lvl}"], "C",
            area=f"Level {lvl}")
        prev = f"st{lvl}"
    p.a("rst", "Roof steel and plant platforms", 10, "SUP", ["st3"], "S", area="Roof")
    p.a("rfm", "Roof membrane and insulation", 15, "ENV", ["rst", "dk3"], "V", slip=6, area="Roof")
    for side in ("North", "East", "South", "West"):
        p.a(f"cl{side[0]}", f"Cladding panels {side} elevation", 12, "ENV", ["dk2", "rst"], "V",
            area=f"{side} elevation")
    p.a("wtt", "Weathertight building", 0, "ENV", ["rfm", "clN", "clE", "clS", "clW"])
    for lvl in (1, 2, 3):
        p.a(f"bw{lvl}", f"Blockwork and fire compartment walls level {lvl}", 12, "ENV", ["wtt", f"dk{lvl}"], "C",
            area=f"Level {lvl}")
        p.a(f"mp{lvl}", f"Landlord MEP distribution level {lvl}", 15, "MEP", [f"bw{lvl}:SS5", "ris:SS5"], "E",
            area=f"Level {lvl}")
        p.a(f"sc{lvl}", f"Screed and dust-sealed floor finish level {lvl}", 8, "ENV", [f"mp{lvl}"], "C",
            area=f"Level {lvl}")
    p.a("ris", "MEP risers and primary containment", 25, "MEP", ["wtt", "dk3"], "E")
    p.a("spk", "Sprinkler mains and pump house", 20, "MEP", ["wtt"], "FS")
    p.a("lvs", "Landlord LV supplies and lighting", 20, "MEP", ["ris:SS10"], "E")
    p.a("lft", "Goods lift installation", 25, "MEP", ["wtt"], "L", new=True)
    p.a("drn", "External drainage and attenuation tank", 20, "EXT", ["gfs"], "C")
    p.a("rd", "Access road, fencing and security gatehouse", 25, "EXT", ["drn"], "C")
    p.a("gyd", "Generator yard slab and bunds", 15, "EXT", ["drn"], "C")
    p.a("l2", "L2 installation verification - base build", 5, "HO", ["lvs", "spk", "lft", "sc1", "sc2", "sc3"], "CX",
        kind="cx")
    p.a("l3", "L3 pre-functional tests - base build", 8, "HO", ["l2"], "CX", kind="cx")
    p.a("snag", "Snagging and defects close-out", 15, "HO", ["l3:SS3", "rd", "gyd"])
    p.a("hand", "Shell and core handover to fit-out", 0, "HO", ["snag", "l3"])
    return p


def plan_tps():
    p = Plan(1.3)
    p.w("PM", "Project Management", None, "Gareth Holloway")
    p.w("DES", "Design and DNO Approvals", None, "Rachel Whitcombe")
    p.w("PRC", "Procurement", None, "Nadia Petrova")
    p.w("SUB", "33kV Substation", None, "Owen Tranter")
    p.w("GEN", "Generator Yard", None, "Owen Tranter")
    p.w("CX", "Testing and Energisation", None, "Ruairi Walsh")
    p.a("ntp", "Contract award", 0, "PM")
    p.a("dno", "DNO connection agreement and design approval", 60, "DES", ["ntp"], slip=15)
    p.a("des", "Substation detailed design", 40, "DES", ["ntp"])
    p.a("ptx", "Procure 33/11kV transformers 2 x 20MVA", 160, "PRC", ["des:SS20"], slip=20, kind="TX")
    p.a("psg", "Procure 33kV GIS switchgear", 140, "PRC", ["des:SS20"], kind="SWG")
    p.a("pgn", "Procure generators 6 x 2.5MVA", 150, "PRC", ["des"], slip=10, kind="GEN")
    p.a("civ", "Substation civils, bunds and cable trenches", 30, "SUB", ["des"], "C", area="Substation compound")
    p.a("bld", "Switchroom building (modular)", 20, "SUB", ["civ:SS10"], "C", area="Substation compound")
    p.a("ear", "Earthing grid and lightning protection", 10, "SUB", ["civ:SS5"], "HV", area="Substation compound")
    p.a("txs", "Deliver and position transformers", 5, "SUB", ["ptx:FS3", "civ"], "L", area="Substation compound")
    p.a("gis", "Install 33kV GIS switchgear", 15, "SUB", ["psg", "bld"], "HV", area="Switchroom")
    p.a("hvc", "33kV cable pulls and terminations", 15, "SUB", ["gis", "txs"], "HV", area="Substation compound")
    p.a("prt", "Protection and control wiring", 15, "SUB", ["gis:SS5"], "E", area="Switchroom")
    for bay in (1, 2, 3, 4):
        p.a(f"by{bay}", f"Secondary wiring and relay settings bay {bay}", 4, "SUB", ["prt:SS5"], "E",
            area=f"Switchroom bay {bay}")
    p.a("gyc", "Generator yard civils and fuel farm", 25, "GEN", ["des"], "C", area="Generator Yard")
    p.a("gns", "Set generators and exhaust stacks", 10, "GEN", ["pgn", "gyc"], "L", area="Generator Yard")
    p.a("gnc", "Generator cabling and synchronising panel", 15, "GEN", ["gns"], "E", area="Generator Yard")
    p.a("hvt", "HV pressure testing and protection testing", 8, "CX", ["hvc", "prt", "ear", "by1", "by2", "by3", "by4"],
        "CX", kind="cx")
    p.a("dnw", "DNO witness test and energisation", 2, "CX", ["hvt", "dno"], "CX", kind="cx")
    p.a("gnt", "Generator load bank testing", 6, "CX", ["gnc", "dnw"], "CX", kind="ist")
    p.a("ene", "Substation energised and handed over", 0, "CX", ["gnt"])
    return p


def plan_hcw():
    p = Plan(1.25)
    p.w("PM", "Project Management", None, "Ingrid Solberg")
    p.w("DES", "Design and Method Statements", None, "Henrik Aasen")
    p.w("PRC", "Procurement", None, "Nadia Petrova")
    p.w("CHL", "Chiller Replacement", None, "Henrik Aasen")
    p.w("CX", "Testing", None, "Priyanka Desai")
    p.a("ntp", "Oppstart / notice to proceed", 0, "PM")
    p.a("des", "Design and live-plant method statements", 30, "DES", ["ntp"])
    p.a("mop", "Method of procedure (MOP) approval by operations", 20, "DES", ["des"], slip=10)
    p.a("pch", "Procure magnetic-bearing chillers (4 no.)", 110, "PRC", ["des"], slip=22, kind="CHL")
    p.a("ppm", "Procure variable speed pumps", 60, "PRC", ["des"], kind="PMP")
    p.a("tmp", "Temporary cooling plant hookup", 5, "CHL", ["mop"], "M", area="Plant Room P1")
    prev = ["tmp", "pch"]
    for n in (1, 2, 3, 4):
        area = f"Chiller CH-0{n}"
        p.a(f"iso{n}", f"Isolate and drain chiller CH-0{n}", 2, "CHL", prev, "M", area=area)
        p.a(f"rem{n}", f"Remove old chiller CH-0{n}", 3, "CHL", [f"iso{n}"], "L", area=area)
        p.a(f"ins{n}", f"Set new chiller CH-0{n} and reconnect pipework", 5, "CHL", [f"rem{n}"], "M", area=area)
        p.a(f"ele{n}", f"Power and controls CH-0{n}", 3, "CHL", [f"ins{n}:SS2"], "E", area=area)
        p.a(f"tst{n}", f"Commission chiller CH-0{n} and return to service", 2, "CX", [f"ins{n}", f"ele{n}"], "CX",
            area=area, kind="cx")
        prev = [f"tst{n}"]
    p.a("pmp", "Replace primary pumps", 8, "CHL", ["ppm", "tmp"], "M", area="Plant Room P1")
    p.a("bms", "BMS graphics and chiller sequencing", 10, "CX", ["tst4:SS0", "pmp"], "CT")
    p.a("ist", "Integrated cooling test under live load", 3, "CX", ["tst4", "bms"], "CX", kind="ist")
    p.a("ofh", "Off-hire notice for temporary cooling plant", 1, "PM", ["ist:SF0"])
    p.a("rtm", "Remove temporary cooling", 3, "CHL", ["ist", "ofh"], "M", area="Plant Room P1")
    p.a("pc", "Practical completion - chilled water plant", 0, "PM", ["rtm"])
    return p


def plan_aur():
    p = Plan()
    p.w("PM", "Gestión del proyecto / Project Management", None, "Javier Montero")
    p.w("DES", "Ingeniería / Design", None, "Lucía Navarro")
    p.w("PRC", "Compras / Procurement", None, "Nadia Petrova")
    p.w("UPS", "UPS Room Works", None, "Lucía Navarro")
    p.w("CX", "Pruebas / Testing", None, "Aoife Brennan")
    p.a("ntp", "Inicio / notice to proceed", 0, "PM")
    p.a("des", "UPS retrofit design and MOPs", 20, "DES", ["ntp"])
    p.a("pup", "Procure UPS modules 3 x 800kVA and Li-ion batteries", 55, "PRC", ["des"], slip=5, kind="UPS")
    p.a("tmp", "Install temporary UPS and bypass", 4, "UPS", ["des"], "E", area="UPS Room B")
    prev = ["tmp", "pup"]
    for n in ("A", "B", "C"):
        area = f"UPS System {n}"
        p.a(f"iso{n}", f"Transfer load and isolate UPS-{n}", 1, "UPS", prev, "E", area=area)
        p.a(f"rem{n}", f"Remove old UPS-{n} and VRLA batteries", 3, "UPS", [f"iso{n}"], "E", area=area)
        p.a(f"ins{n}", f"Install new UPS-{n} and Li-ion cabinets", 4, "UPS", [f"rem{n}"], "E", area=area)
        p.a(f"tst{n}", f"Load bank test UPS-{n} and return load", 2, "CX", [f"ins{n}"], "CX", area=area, kind="ist")
        prev = [f"tst{n}"]
    p.a("fir", "Li-ion battery room fire detection upgrade", 6, "UPS", ["des"], "FS", area="UPS Room B")
    p.a("epm", "EPMS points and alarms", 5, "CX", ["tstC", "fir"], "CT")
    p.a("rtm", "Remove temporary UPS", 2, "UPS", ["epm"], "E", area="UPS Room B")
    p.a("pc", "Practical completion - UPS retrofit", 0, "PM", ["rtm"])
    return p


PLANS = {"DH7": plan_dh7, "AB2": plan_ab2, "FH4": plan_fh4, "TPS": plan_tps, "HCW": plan_hcw, "AUR": plan_aur}

EQUIP = {
    # kind: (type, vendor, count, tag prefix)
    "SWG": ("Switchgear", "Ardent Switchgear Europe", 2, "SWG"),
    "UPS": ("UPS", "Voltaris Power Systems", 3, "UPS"),
    "CRAH": ("CRAH", "Polar Airflow Solutions", 3, "CRAH"),
    "GEN": ("Generator", "Ridgeback Generating Sets", 2, "GEN"),
    "BUS": ("Busway", "Conductix Busbar Systems", 2, "BWY"),
    "CHL": ("Chiller", "Nordkap Refrigeration", 4, "CH"),
    "TX": ("Transformer", "Weser Transformatorenwerk", 2, "TX"),
    "STL": ("Structural Steel", "Delta Staalbouw BV", 3, "STL"),
    "PMP": ("Pump", "Fjellpumpe AS", 2, "PMP"),
}

RISKS = [
    # project, activity key, title, category, prob, cost, hours, owner, response, status, raised
    ("DH7", "pgn", "Generator factory witness test slot slips - delivery later than PO date", "Supply Chain", 60,
     240000.0, 200.0, "Nadia Petrova", "Weekly expediting calls; pre-book witness test slot", "Open", "2025-03-11"),
    ("DH7", "pup", "UPS battery cabinets held at customs", "Supply Chain", 35, 90000.0, 100.0, "Nadia Petrova",
     "Use bonded logistics agent", "Realised", "2025-05-20"),
    ("DH7", "fsc", "Fire safety certificate conditions require extra compartmentation", "Regulatory", 30, 150000.0,
     120.0, "Fergal Moran", "Early engagement with Dublin Fire Brigade", "Closed", "2024-12-02"),
    ("DH7", "ist", "Load banks not available for IST window", "Commissioning", 25, 60000.0, 50.0, "Aoife Brennan",
     "Reserve load banks with two suppliers", "Open", "2025-08-18"),
    ("DH7", "ene", "ESB connection energisation date moves", "Utility", 20, 300000.0, 150.0, "Siobhan Kearney",
     "Monthly liaison with the utility", "Open", "2025-04-07"),
    ("DH7", None, "Electrician shortage in the Dublin market", "Labour", 45, 180000.0, 80.0, "Declan Hughes",
     "Second electrical subcontractor pre-qualified", "Open", "2025-06-02"),
    ("AB2", "pil", "Obstructions in piling (old farm foundations)", "Ground Conditions", 40, 120000.0, 80.0,
     "Ruud Hendriks", "Pre-dig along pile lines", "Realised", "2024-10-21"),
    ("AB2", "omg", "Nitrogen deposition permit challenge", "Regulatory", 25, 400000.0, 400.0, "Femke de Groot",
     "Ecological assessment and legal review", "Closed", "2024-10-14"),
    ("AB2", "rfm", "Wind stops roof membrane work", "Weather", 50, 45000.0, 60.0, "Sanne Visser",
     "Temporary weather protection", "Open", "2025-04-14"),
    ("AB2", "lft", "Goods lift lead time longer than quoted", "Supply Chain", 30, 35000.0, 100.0, "Sanne Visser",
     "Order early on letter of intent", "Open", "2025-06-23"),
    ("AB2", None, "Grid capacity at Schiphol-Rijk not released for 2026", "Utility", 55, 2500000.0, 1200.0,
     "Joost van Dijk", "Escalate with grid operator; temporary gas gensets option", "Open", "2025-02-17"),
    ("FH4", "ptx", "Transformer factory backlog", "Supply Chain", 65, 350000.0, 300.0, "Nadia Petrova",
     "Second source qualified; weekly expediting", "Realised", "2025-01-27"),
    ("FH4", "pcr", "Fan wall units fail factory test", "Supply Chain", 30, 80000.0, 120.0, "Matthias Krüger",
     "Attend FAT; spare units", "Open", "2025-04-28"),
    ("FH4", "bgn", "Permit amendment needs noise re-assessment", "Regulatory", 40, 60000.0, 100.0, "Lukas Brenner",
     "Acoustic consultant appointed", "Realised", "2024-12-16"),
    ("FH4", "l4", "BMS points list incomplete before L4", "Commissioning", 35, 70000.0, 80.0, "Tomas Lindqvist",
     "Points list workshops with Kinetica", "Open", "2025-08-04"),
    ("FH4", None, "Campus HV maintenance outage clashes with energisation", "Utility", 20, 90000.0, 60.0,
     "Katrin Albers", "Agree outage calendar with operations", "Open", "2025-07-14"),
    ("TPS", "dno", "DNO witness engineer availability", "Utility", 45, 50000.0, 120.0, "Gareth Holloway",
     "Book witness date at contract award", "Open", "2025-02-10"),
    ("TPS", "ptx", "Transformer delivery slips from the factory", "Supply Chain", 55, 220000.0, 160.0,
     "Nadia Petrova", "Factory visits; liquidated damages in PO", "Realised", "2025-03-24"),
    ("TPS", "gyc", "Contaminated ground in generator yard", "Ground Conditions", 25, 140000.0, 80.0, "Owen Tranter",
     "Site investigation before dig", "Closed", "2025-01-20"),
    ("TPS", "gnt", "Noise limits during generator testing", "Regulatory", 30, 20000.0, 16.0, "Owen Tranter",
     "Daytime-only testing; neighbour letters", "Open", "2025-09-01"),
    ("HCW", "mop", "Operations reject MOP for live chiller swap", "Operational", 40, 30000.0, 80.0, "Ingrid Solberg",
     "Early walkthroughs with site operations", "Realised", "2025-03-03"),
    ("HCW", "pch", "Chiller shipping delayed by port congestion", "Supply Chain", 50, 70000.0, 120.0,
     "Nadia Petrova", "Ship via Gothenburg", "Open", "2025-05-12"),
    ("HCW", "tst2", "Loss of cooling redundancy during chiller swap", "Operational", 15, 500000.0, 40.0,
     "Henrik Aasen", "Temporary chiller plus N+1 check before each isolation", "Open", "2025-04-22"),
    ("AUR", "pup", "Li-ion battery certification for the Madrid fire authority", "Regulatory", 30, 40000.0, 40.0,
     "Lucía Navarro", "Provide UL9540A test data early", "Closed", "2025-01-27"),
    ("AUR", "tstB", "Load transfer trips the critical load", "Operational", 10, 800000.0, 16.0, "Javier Montero",
     "Rehearsed MOP; generator on standby", "Closed", "2025-02-24"),
]

RFI_SUBJECTS = {
    "Electrical": ["Busway tap-off positions clash with tray", "Cable size for UPS output feeders",
                   "Earthing of raised floor pedestals", "Discrimination study for LV board", "Lighting control zones",
                   "Generator neutral earthing arrangement", "Containment route through fire wall"],
    "Mechanical": ["Chilled water valve tag numbering", "CRAH condensate drain routing",
                   "Pipe support spacing at headers",
                   "Insulation thickness on chilled water branches", "Pump duty point confirmation"],
    "Structural": ["Roof steel connection to existing", "Plinth reinforcement for generators", "Slab loading under UPS",
                   "Crane pad bearing capacity"],
    "Fire": ["VESDA sampling pipe layout", "Gas suppression room integrity test", "Fire damper access panels"],
    "Architectural": ["Door hardware for secure corridors", "Hot aisle door type and closers", "Cladding panel colour"],
    "Controls": ["BMS points list for CRAH units", "EPMS meter addressing", "Alarm priorities for chillers"],
}
DESIGNERS = {"DH7": ["Fergal Moran", "Liffey Design Partners"], "AB2": ["Femke de Groot", "Polder Ingenieurs"],
             "FH4": ["Lukas Brenner", "TGA Planungsbüro Hessen"], "TPS": ["Rachel Whitcombe", "Pennine HV Design"],
             "HCW": ["Henrik Aasen", "Fjordkjøl Engineering"], "AUR": ["Lucía Navarro", "Ingeniería Henares"]}
SITE_ENGINEERS = {"DH7": ["Declan Hughes", "Cathal Byrne", "Niamh O'Leary"], "AB2": ["Ruud Hendriks", "Sanne Visser"],
                  "FH4": ["Matthias Krüger", "Sabine Wolff", "Jonas Weber"], "TPS": ["Owen Tranter", "Amir Haddad"],
                  "HCW": ["Henrik Aasen", "Sigrid Nilsen"], "AUR": ["Lucía Navarro", "Pablo Ortega"]}
OUTDOOR_WORDS = ("generator", "Cladding", "Roof", "Crane", "Generator")
WEATHER = ["Dry", "Dry", "Dry", "Overcast", "Overcast", "Light Rain", "Heavy Rain", "High Wind"]
LOST_REASONS = {"Heavy Rain": "Rain - external works stood down", "High Wind": "Wind - crane lifts stood down",
                "Frost": "Frost - no concrete pours"}


def parse_pred(p):
    key, _, rest = p.partition(":")
    if not rest:
        return key, "FS", 0
    return key, rest[:2], int(rest[2:] or 0)


def cpm(durs, links, anchor=None):
    """Forward and backward pass in working days; durs: {key: days}, links: [(pred, succ, type, lag)]."""
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


class WorkDays:
    """Working days of a calendar: its weekdays less non-working exceptions, plus extra working days."""

    def __init__(self, cal, exceptions):
        _, _, days, hpd, shift, _ = cal
        self.hpd = hpd
        self.shift = dt.datetime.strptime(shift, "%H:%M").time()
        off = {d for d, _, _, h in exceptions if h == 0}
        extra = {d for d, _, _, h in exceptions if h > 0}
        self.days = []
        d = dt.date(2024, 6, 3)
        while d <= dt.date(2027, 6, 30):
            iso = d.isoformat()
            if (d.weekday() in days and iso not in off) or iso in extra:
                self.days.append(d)
            d += dt.timedelta(days=1)
        self.index = {d: i for i, d in enumerate(self.days)}

    def first_on_or_after(self, d):
        while d not in self.index:
            d += dt.timedelta(days=1)
        return self.index[d]

    def count_to(self, d):
        """Number of working days on or before d."""
        return sum(1 for x in self.days if x <= d)

    def start(self, i):
        return dt.datetime.combine(self.days[i], self.shift)

    def finish(self, i_start, i_end):
        """Finish of work occupying days [i_start, i_end): end of the shift of its last day; a milestone's
        finish is its start."""
        if i_end <= i_start:
            return self.start(i_start)
        return self.start(i_end - 1) + dt.timedelta(hours=self.hpd)


def fmt(t):
    return t.strftime("%Y-%m-%d %H:%M")


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)

    cal_exc = {}
    exc_id = 0
    for ci, cal in enumerate(CALENDARS):
        name, country, days, hpd, shift, default = cal
        con.execute("INSERT INTO workCalendar VALUES (?,?,?,?,?,?,?)",
                    (ci + 1, name, country, ",".join(DAY_NAMES[d] for d in days), hpd, shift, default))
        rows = [(d, "Public Holiday", n, 0.0) for d, n in HOLIDAYS.get(country, [])]
        rows += EXTRA_EXCEPTIONS.get(ci, [])
        rows.sort()
        cal_exc[ci] = rows
        for d, typ, desc, h in rows:
            exc_id += 1
            con.execute("INSERT INTO calendarException VALUES (?,?,?,?,?,?)", (exc_id, ci + 1, d, typ, desc, h))

    res_ids, res_row = {}, {}
    for i, r in enumerate(RESOURCES, 1):
        con.execute("INSERT INTO resource VALUES (?,?,?,?,?,?,?,?,?)",
                    (i,) + r[:7] + (None if r[7] is None else r[7] + 1,))
        res_ids[r[0]], res_row[r[0]] = i, r

    ids = {"wbs": 0, "act": 0, "rel": 0, "asg": 0, "bl": 0, "bla": 0, "del": 0, "risk": 0, "rfi": 0, "rep": 0}
    for p_idx, (code, pname, site, city, country, ptype, pm, sponsor, gc, mw, budget, cost_f, start, margin,
                pstatus) in enumerate(PROJECTS, 1):
        ci = PROJECT_CAL[code]
        cal = CALENDARS[ci]
        ccode = cal[1]
        wd = WorkDays(cal, cal_exc[ci])
        hpd = wd.hpd
        base = wd.first_on_or_after(start)
        plan = PLANS[code]()
        acts = {a[0]: a for a in plan.acts}
        order = [a[0] for a in plan.acts]
        links = []
        for a in plan.acts:
            for pr in a[4]:
                k, typ, lag = parse_pred(pr)
                assert k in acts, (code, k)
                links.append((k, a[0], typ, lag))
        finish_key = order[-1]
        has_succ = {lk[0] for lk in links}
        for k in order:
            if k != finish_key and k not in has_succ:
                links.append((k, finish_key, "FS", 0))
        base_keys = [k for k in order if not acts[k][7]]
        base_links = [lk for lk in links if lk[0] in base_keys and lk[1] in base_keys]
        b_durs = {k: acts[k][2] for k in base_keys}
        b_es, b_ef, b_ls, b_lf, _, b_end = cpm(b_durs, base_links)
        anchor = b_end + margin
        u_durs = {k: acts[k][2] + acts[k][6] // 2 for k in base_keys}
        u_es, u_ef, u_ls, u_lf, _, _ = cpm(u_durs, base_links, anchor)
        c_durs = {k: acts[k][2] + acts[k][6] for k in order}
        es, ef, ls, lf, ff, end = cpm(c_durs, links, anchor)
        ddi = wd.count_to(DATA_DATE) - base  # working days elapsed up to and including the data date

        def ds(n):
            return fmt(wd.start(base + n))

        def dfin(s, f):
            return fmt(wd.finish(base + s, base + f))

        forecast = wd.finish(base + end - 1, base + end).date()
        contract = wd.finish(base + anchor - 1, base + anchor).date()
        fc_cost = round(budget * cost_f, -3)
        con.execute("INSERT INTO project VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, code, pname, site, city, country, ptype, pm, sponsor, gc, mw, budget, fc_cost, ci + 1,
                     wd.days[base].isoformat(), contract.isoformat(), forecast.isoformat(), DATA_DATE.isoformat(),
                     pstatus))
        # WBS: a level-1 root per project, then the plan's nodes
        ids["wbs"] += 1
        root = ids["wbs"]
        con.execute("INSERT INTO wbsNode VALUES (?,?,?,?,?,?,?)", (root, p_idx, None, code, pname, 1, pm))
        wbs_ids, wbs_code, child_n = {}, {}, {}
        for key, wname, parent, person in plan.wbs:
            ids["wbs"] += 1
            wbs_ids[key] = ids["wbs"]
            pc = wbs_code[parent] if parent else code
            child_n[pc] = child_n.get(pc, 0) + 1
            wbs_code[key] = f"{pc}.{child_n[pc]}"
            con.execute("INSERT INTO wbsNode VALUES (?,?,?,?,?,?,?)",
                        (ids["wbs"], p_idx, wbs_ids[parent] if parent else root, wbs_code[key], wname,
                         3 if parent else 2, person))

        act_ids, status, pct = {}, {}, {}
        for n, k in enumerate(order, 1):
            ids["act"] += 1
            act_ids[k] = ids["act"]
            _, aname, d0, wbs, _, trade, slip, new, area, kind = acts[k]
            d = c_durs[k]
            if ef[k] <= ddi and (d > 0 or es[k] < ddi):
                st, pc, rem = "Complete", 100.0, 0
            elif es[k] < ddi:
                st = "In Progress"
                pc = float(max(5, min(95, round(100 * (ddi - es[k]) / d * rng.uniform(0.8, 1.0) / 5) * 5)))
                rem = ef[k] - ddi
            else:
                st, pc, rem = "Not Started", 0.0, d
            status[k], pct[k] = st, pc
            if d == 0:
                atype = "Start Milestone" if k == "ntp" else "Finish Milestone"
            else:
                atype = "Task Dependent"
            if kind in ("cx", "ist"):
                atype = "Task Dependent"
            tf = None if st == "Complete" else (lf[k] - ef[k]) * hpd
            fl = None if st == "Complete" else min(ff[k], lf[k] - ef[k]) * hpd
            con.execute("INSERT INTO scheduleActivity VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["act"], p_idx, wbs_ids[wbs], ci + 1, f"{code}-{1000 + n * 10}", aname, atype, area,
                         d0 * hpd, rem * hpd, ds(es[k]), dfin(es[k], ef[k]),
                         None if st == "Complete" else ds(ls[k]),
                         None if st == "Complete" else dfin(ls[k], lf[k]),
                         ds(es[k]) if st != "Not Started" else None,
                         dfin(es[k], ef[k]) if st == "Complete" else None,
                         tf, fl, 1 if tf is not None and tf <= 0 else 0, pc, st))
        for pk, sk, typ, lag in links:
            ids["rel"] += 1
            con.execute("INSERT INTO activityRelationship VALUES (?,?,?,?,?)",
                        (ids["rel"], act_ids[pk], act_ids[sk], typ, lag * hpd))

        # resource assignments
        for k in order:
            _, aname, d0, wbs, _, trade, slip, new, area, kind = acts[k]
            if not trade or c_durs[k] == 0:
                continue
            if trade == "CX":
                codes = list(CX_LEADS[code])
                if kind == "ist":
                    codes.append("EQ-LBK")
            else:
                m = TRADE_RES[trade]
                codes = list(m.get(ccode) or m.get("*") or [])
                if trade in ("E", "M") and area and area.startswith("Data Hall"):
                    codes.append("EQ-MEWP")
                if trade == "L" and ccode == "NL":
                    codes = ["EQ-CRN-250"]
            for rc in dict.fromkeys(codes):
                r = res_row[rc]
                units = float(r[6])
                # commissioning staff work the 7x12 commissioning calendar on site
                hrs_day = 12.0 if r[7] == 6 else hpd
                bud = round(c_durs[k] * hrs_day * units, 1)
                if status[k] == "Complete":
                    act_h = round(bud * rng.uniform(0.9, 1.2), 1)
                    rem_h = 0.0
                elif status[k] == "In Progress":
                    act_h = round(bud * pct[k] / 100 * rng.uniform(0.9, 1.25), 1)
                    rem_h = round(max(0.0, bud * (100 - pct[k]) / 100), 1)
                else:
                    act_h, rem_h = 0.0, bud
                rate = r[5]
                ids["asg"] += 1
                con.execute("INSERT INTO resourceAssignment VALUES (?,?,?,?,?,?,?,?,?,?)",
                            (ids["asg"], act_ids[k], res_ids[rc], units, bud, act_h, rem_h, round(bud * rate, 2),
                             round(act_h * rate, 2), round(rem_h * rate, 2)))

        # baselines: the contract baseline; AB2 re-baselined in May 2025 at half the slips; the others
        # that started in 2024 keep a June 2025 update snapshot
        snaps = []
        if code == "AB2":
            snaps.append(("BL0 Contract Baseline", "Contract", wd.days[base + 10], sponsor, 0,
                          (b_es, b_ef, b_durs, {k: b_lf[k] - b_ef[k] for k in base_keys})))
            snaps.append(("BL1 Re-baseline Rev B", "Re-baseline", dt.date(2025, 5, 16), sponsor, 1,
                          (u_es, u_ef, u_durs, {k: u_lf[k] - u_ef[k] for k in base_keys})))
        else:
            snaps.append(("BL0 Contract Baseline", "Contract", wd.days[base + 10], sponsor, 1,
                          (b_es, b_ef, b_durs, {k: b_lf[k] - b_ef[k] for k in base_keys})))
            if start.year == 2024:
                snaps.append(("Monthly Update Jun-2025", "Monthly Update", dt.date(2025, 6, 30), None, 0,
                              (u_es, u_ef, u_durs, {k: u_lf[k] - u_ef[k] for k in base_keys})))
        for bname, btype, bdate, appr, active, (s_es, s_ef, s_dur, s_tf) in snaps:
            ids["bl"] += 1
            con.execute("INSERT INTO baseline VALUES (?,?,?,?,?,?,?)",
                        (ids["bl"], p_idx, bname, btype, bdate.isoformat(), appr, active))
            for k in base_keys:
                ids["bla"] += 1
                con.execute("INSERT INTO baselineActivity VALUES (?,?,?,?,?,?,?)",
                            (ids["bla"], ids["bl"], act_ids[k], ds(s_es[k]), dfin(s_es[k], s_ef[k]),
                             s_dur[k] * hpd, s_tf[k] * hpd))

        # long-lead equipment deliveries from the procurement activities
        for k in order:
            kind = acts[k][9]
            if kind not in EQUIP:
                continue
            etype, vendor, count, prefix = EQUIP[kind]
            promised = wd.finish(base + b_es[k], base + b_ef[k]).date()
            fc = wd.finish(base + es[k], base + ef[k]).date()
            po = f"PO-{code}-{4100 + ids['del'] * 7}"
            for n in range(1, count + 1):
                ids["del"] += 1
                f_n = fc - dt.timedelta(days=(count - n) * 7)
                p_n = promised - dt.timedelta(days=(count - n) * 7)
                if f_n <= DATA_DATE:
                    delivered, dstat = f_n.isoformat(), "Delivered"
                elif f_n <= DATA_DATE + dt.timedelta(days=21):
                    delivered, dstat = None, "In Transit"
                elif f_n > p_n:
                    delivered, dstat = None, "Delayed"
                else:
                    delivered, dstat = None, "On Order"
                con.execute("INSERT INTO equipmentDelivery VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                            (ids["del"], p_idx, act_ids[k], f"{code}-{prefix}-{n:02d}", etype, vendor, po,
                             p_n.isoformat(), f_n.isoformat(), delivered, dstat))

        # risks
        n = 0
        for r in RISKS:
            if r[0] != code:
                continue
            n += 1
            ids["risk"] += 1
            prob, cost = r[4], r[5]
            score = prob * cost / 100
            sev = "Very High" if score >= 150000 else "High" if score >= 60000 else "Medium" if score >= 20000 \
                else "Low"
            con.execute("INSERT INTO riskItem VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["risk"], p_idx, act_ids[r[1]] if r[1] else None, f"RSK-{code}-{n:03d}", r[2], r[3],
                         prob, cost, r[6], sev, r[7], r[8], r[9], r[10]))

        # RFIs raised by site engineers against started or upcoming construction activities
        cands = [k for k in order if acts[k][5] and acts[k][5] != "CX" and es[k] < ddi + 40]
        n_rfi = {"DH7": 16, "AB2": 12, "FH4": 18, "TPS": 9, "HCW": 7, "AUR": 5}[code]
        disc_of = {"E": "Electrical", "HV": "Electrical", "M": "Mechanical", "C": "Structural", "P": "Structural",
                   "S": "Structural", "L": "Structural", "V": "Architectural", "F": "Architectural", "FS": "Fire",
                   "CT": "Controls"}
        for n in range(1, n_rfi + 1):
            k = rng.choice(cands)
            disc = disc_of[acts[k][5]]
            area = acts[k][8] or ""
            subjects = [x for x in RFI_SUBJECTS[disc]
                        if not (area.startswith("Data Hall") and any(w in x for w in OUTDOOR_WORDS))] \
                or RFI_SUBJECTS[disc]
            subj = rng.choice(subjects)
            a_start = wd.days[base + es[k]]
            raised = min(a_start - dt.timedelta(days=rng.randint(5, 30)),
                         DATA_DATE - dt.timedelta(days=rng.randint(1, 20)))
            raised = max(raised, wd.days[base])
            required = raised + dt.timedelta(days=rng.choice([5, 7, 10, 14]))
            prio = rng.choice(["Normal", "Normal", "Normal", "Urgent", "Low"])
            roll = rng.random()
            if raised < DATA_DATE - dt.timedelta(days=45) or roll < 0.55:
                ans = raised + dt.timedelta(days=rng.randint(2, 20))
                if ans > DATA_DATE:
                    ans = None
            else:
                ans = None
            if ans is None:
                rstat = "Open"
            else:
                rstat = "Closed" if rng.random() < 0.6 else "Answered"
            ids["rfi"] += 1
            con.execute("INSERT INTO rfi VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (ids["rfi"], p_idx, act_ids[k], f"RFI-{code}-{n:03d}", f"{subj} - {acts[k][8] or 'general'}",
                         disc, rng.choice(SITE_ENGINEERS[code]), rng.choice(DESIGNERS[code]), raised.isoformat(),
                         required.isoformat(), ans.isoformat() if ans else None, prio, rstat,
                         1 if rng.random() < 0.25 else 0))

        # daily site reports: every working day of the last 26 weeks the site was active up to the data date
        last = min(DATA_DATE, wd.finish(base + end - 1, base + end).date())
        first = max(wd.days[base], last - dt.timedelta(days=182))
        d = first
        authors = SITE_ENGINEERS[code]
        while d <= last:
            if d in wd.index:
                weather = rng.choice(WEATHER)
                if ccode in ("NO", "NL") and d.month in (1, 2, 3, 12) and rng.random() < 0.3:
                    weather = "Frost"
                if ccode == "ES":
                    weather = rng.choice(["Dry", "Dry", "Dry", "Hot", "Overcast"])
                base_t = {"IE": 15, "NL": 16, "DE": 19, "GB": 16, "NO": 14, "ES": 30}[ccode]
                temp = round(base_t + rng.uniform(-5, 6) - (8 if weather == "Frost" else 0), 1)
                workers = rng.randint({"DH7": 90, "AB2": 60, "FH4": 140, "TPS": 30, "HCW": 12, "AUR": 8}[code],
                                      {"DH7": 150, "AB2": 110, "FH4": 220, "TPS": 55, "HCW": 22, "AUR": 16}[code])
                mh = round(workers * hpd * rng.uniform(0.92, 1.0), 1)
                lost, reason = 0.0, None
                if weather in LOST_REASONS and (ccode in ("NL", "GB", "IE") or weather == "Frost"):
                    lost = round(workers * rng.choice([1.0, 2.0, 3.0, 4.0]), 1)
                    reason = LOST_REASONS[weather]
                elif rng.random() < 0.06:
                    lost = round(workers * rng.choice([0.5, 1.0, 2.0]), 1)
                    reason = rng.choice(["Permit to work delay", "Late material delivery", "Power outage on site",
                                         "Access restriction by operations"])
                if weather == "Hot" and rng.random() < 0.4:
                    lost, reason = round(workers * 1.0, 1), "Heat - afternoon stand-down"
                inc = 1 if rng.random() < 0.03 else 0
                ongoing = [acts[k][1] for k in order if wd.index[d] - base >= es[k] and wd.index[d] - base < ef[k]
                           and c_durs[k] > 0]
                summ = "; ".join(ongoing[:3]) if ongoing else "Site establishment and housekeeping"
                ids["rep"] += 1
                con.execute("INSERT INTO dailyReport VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                            (ids["rep"], p_idx, d.isoformat(), authors[ids["rep"] % len(authors)], weather, temp,
                             workers, mh, lost, reason, inc, summ))
            d += dt.timedelta(days=1)
    con.commit()
    return con


TABLE_META = {
    "workCalendar": ("Work calendars used to schedule activities: working weekdays, hours per day, shift start", {
        "calendarId": ("PK", "INTEGER"),
        "calendarName": ("Calendar name, e.g. 'IE Standard 5x10'", "TEXT"),
        "countryCode": ("ISO country of the calendar's public holidays (ALL = none)", "TEXT"),
        "workDays": ("Working weekdays, comma separated (Mon,Tue,...)", "TEXT"),
        "hoursPerDay": ("Working hours per day; used to convert days to hours", "REAL"),
        "shiftStart": ("Shift start time HH:MM", "TEXT"),
        "isDefault": ("1 = default calendar for new projects", "INTEGER"),
    }),
    "calendarException": ("Exceptions to a calendar: public holidays, shutdowns, weather days (non-working, "
                          "workHours 0) and extra working days such as Saturday working", {
        "exceptionId": ("PK", "INTEGER"),
        "calendarId": ("FK workCalendar", "INTEGER"),
        "exceptionDate": ("Date (YYYY-MM-DD)", "DATE"),
        "exceptionType": ("Type of exception", "TEXT"),
        "description": ("Free text, holiday name or reason", "TEXT"),
        "workHours": ("Hours worked that day: 0 for a non-working day, > 0 for an extra working day", "REAL"),
    }),
    "project": ("Construction projects of the data-centre programme, one row per project", {
        "projectId": ("PK", "INTEGER"),
        "projectCode": ("Short project code, e.g. DH7, FH4", "TEXT"),
        "projectName": ("Project name", "TEXT"),
        "siteName": ("Campus the project is on", "TEXT"),
        "city": ("City", "TEXT"),
        "country": ("Country", "TEXT"),
        "projectType": ("Type of project", "TEXT"),
        "projectManager": ("Owner's project manager", "TEXT"),
        "sponsorName": ("Programme sponsor (director)", "TEXT"),
        "generalContractor": ("Main / general contractor", "TEXT"),
        "itLoadMw": ("Critical IT load delivered in MW (fit-outs only, else null)", "REAL"),
        "budgetEur": ("Approved budget EUR", "REAL"),
        "forecastCostEur": ("Forecast final cost EUR", "REAL"),
        "calendarId": ("Project calendar", "INTEGER"),
        "plannedStart": ("Start date", "DATE"),
        "contractCompletion": ("Contractual completion date the float is calculated to", "DATE"),
        "forecastCompletion": ("Forecast completion from the current schedule", "DATE"),
        "dataDate": ("Status date of the schedule update", "DATE"),
        "projectStatus": ("status", "TEXT"),
    }),
    "wbsNode": ("Work breakdown structure: one root node per project (level 1), phases (level 2) and areas "
                "(level 3)", {
        "wbsId": ("PK", "INTEGER"),
        "projectId": ("FK project", "INTEGER"),
        "parentWbsId": ("Parent node; null for the project root", "INTEGER"),
        "wbsCode": ("Dotted WBS code, e.g. DH7.4.2", "TEXT"),
        "wbsName": ("WBS element name", "TEXT"),
        "wbsLevel": ("Level in the tree, 1 = project", "INTEGER"),
        "responsiblePerson": ("Person responsible for the element (package manager)", "TEXT"),
    }),
    "scheduleActivity": ("Schedule activities of the current update, with early, late and actual dates, "
                         "durations and float in working hours", {
        "activityId": ("PK", "INTEGER"),
        "projectId": ("FK project", "INTEGER"),
        "wbsId": ("FK wbsNode", "INTEGER"),
        "calendarId": ("Calendar the activity is scheduled on", "INTEGER"),
        "activityCode": ("Activity ID as shown in the programme, e.g. DH7-1250", "TEXT"),
        "activityName": ("Activity description", "TEXT"),
        "activityType": ("Activity type", "TEXT"),
        "area": ("Location on site (data hall, room, level, elevation); null for office work", "TEXT"),
        "originalDurationHrs": ("Original duration in working hours (as planned, before slips)", "REAL"),
        "remainingDurationHrs": ("Remaining duration in working hours", "REAL"),
        "earlyStart": ("Early start 'YYYY-MM-DD HH:MM' (actual start once started)", "DATETIME"),
        "earlyFinish": ("Early finish 'YYYY-MM-DD HH:MM'; the forecast finish, or the actual finish once "
                        "complete", "DATETIME"),
        "lateStart": ("Late start from the backward pass; null when complete", "DATETIME"),
        "lateFinish": ("Late finish from the backward pass; null when complete", "DATETIME"),
        "actualStart": ("Actual start", "DATETIME"),
        "actualFinish": ("Actual finish", "DATETIME"),
        "totalFloatHrs": ("Total float in working hours against the contract completion; negative = behind; "
                          "null when complete", "REAL"),
        "freeFloatHrs": ("Free float hrs", "REAL"),
        "isCritical": ("1 if critical (total float <= 0), else 0", "INTEGER"),
        "percentComplete": ("Physical % complete", "REAL"),
        "activityStatus": ("Status", "TEXT"),
    }),
    "activityRelationship": ("Logic links between activities (predecessor -> successor) with type and lag", {
        "relationshipId": ("PK", "INTEGER"),
        "predecessorId": ("Predecessor activity", "INTEGER"),
        "successorId": ("Successor activity", "INTEGER"),
        "relType": ("Relationship type code", "TEXT"),
        "lagHrs": ("Lag in working hours", "REAL"),
    }),
    "resource": ("Resources: labour crews, named commissioning engineers and equipment, with hourly cost", {
        "resourceId": ("PK", "INTEGER"),
        "resourceCode": ("Resource ID, e.g. LAB-ELE-IE, EQ-CRN-100", "TEXT"),
        "resourceName": ("Resource name: crew and company, person's name, or equipment", "TEXT"),
        "resourceType": ("Labour or Equipment", "TEXT"),
        "trade": ("Trade / discipline of the resource", "TEXT"),
        "companyName": ("Company supplying the resource", "TEXT"),
        "costPerHrEur": ("Cost per unit-hour in EUR", "REAL"),
        "defaultUnits": ("Default units (people in the crew, or machines)", "REAL"),
        "calendarId": ("Own calendar of the resource; null = works the project calendar", "INTEGER"),
    }),
    "resourceAssignment": ("Resources assigned to activities, with budgeted, actual and remaining hours and cost", {
        "assignmentId": ("PK", "INTEGER"),
        "activityId": ("FK scheduleActivity", "INTEGER"),
        "resourceId": ("FK resource", "INTEGER"),
        "units": ("Units assigned", "REAL"),
        "budgetedHrs": ("Budgeted unit-hours", "REAL"),
        "actualHrs": ("Actual unit-hours to date", "REAL"),
        "remainingHrs": ("Remaining unit-hours", "REAL"),
        "budgetedCostEur": ("Budgeted cost EUR", "REAL"),
        "actualCostEur": ("Actual cost to date EUR", "REAL"),
        "remainingCostEur": ("Remaining cost EUR", "REAL"),
    }),
    "baseline": ("Saved baselines of a project's schedule; isActive marks the one variance is measured against", {
        "baselineId": ("PK", "INTEGER"),
        "projectId": ("FK project", "INTEGER"),
        "baselineName": ("Name", "TEXT"),
        "baselineType": ("Baseline type", "TEXT"),
        "capturedOn": ("Date the baseline was captured", "DATE"),
        "approvedBy": ("Who approved it; null for update snapshots", "TEXT"),
        "isActive": ("1 = the active (current) baseline of the project", "INTEGER"),
    }),
    "baselineActivity": ("Activity dates, duration and float as saved in a baseline", {
        "baselineActivityId": ("PK", "INTEGER"),
        "baselineId": ("FK baseline", "INTEGER"),
        "activityId": ("FK scheduleActivity", "INTEGER"),
        "blStart": ("Baseline start", "DATETIME"),
        "blFinish": ("Baseline finish", "DATETIME"),
        "blDurationHrs": ("Baseline duration, working hours", "REAL"),
        "blTotalFloatHrs": ("Baseline total float, working hours", "REAL"),
    }),
    "equipmentDelivery": ("Long-lead equipment deliveries (generators, UPS, switchgear, chillers, ...) tracked "
                          "against the procurement activity they come from", {
        "deliveryId": ("PK", "INTEGER"),
        "projectId": ("FK project", "INTEGER"),
        "activityId": ("Procurement activity (scheduleActivity)", "INTEGER"),
        "equipmentTag": ("Equipment tag, e.g. DH7-GEN-01", "TEXT"),
        "equipmentType": ("Type of equipment", "TEXT"),
        "vendorName": ("Vendor / manufacturer", "TEXT"),
        "poNumber": ("Purchase order number", "TEXT"),
        "promisedDate": ("Delivery date promised in the PO (from the contract baseline)", "DATE"),
        "forecastDate": ("Current forecast delivery date", "DATE"),
        "deliveredDate": ("Date delivered to site; null until delivered", "DATE"),
        "deliveryStatus": ("Delivery status", "TEXT"),
    }),
    "riskItem": ("Project risk register", {
        "riskId": ("PK", "INTEGER"),
        "projectId": ("FK project", "INTEGER"),
        "activityId": ("Activity the risk would affect, if any", "INTEGER"),
        "riskCode": ("Risk ID, e.g. RSK-FH4-002", "TEXT"),
        "riskTitle": ("Risk description", "TEXT"),
        "category": ("Risk category", "TEXT"),
        "probabilityPct": ("Probability %", "INTEGER"),
        "impactCostEur": ("Cost impact EUR if it occurs", "REAL"),
        "impactHrs": ("Schedule impact in working hours if it occurs", "REAL"),
        "severity": ("Severity rating from probability x cost", "TEXT"),
        "riskOwner": ("Owner", "TEXT"),
        "responsePlan": ("Mitigation / response", "TEXT"),
        "riskStatus": ("Status", "TEXT"),
        "raisedOn": ("Date raised", "DATE"),
    }),
    "rfi": ("Requests for information (RFIs) from site to the designers", {
        "rfiId": ("PK", "INTEGER"),
        "projectId": ("FK project", "INTEGER"),
        "activityId": ("Activity the question holds up", "INTEGER"),
        "rfiNumber": ("RFI number, e.g. RFI-DH7-004", "TEXT"),
        "subject": ("Subject", "TEXT"),
        "discipline": ("Design discipline", "TEXT"),
        "raisedBy": ("Site engineer who raised it", "TEXT"),
        "assignedTo": ("Designer (person or firm) to answer", "TEXT"),
        "dateRaised": ("Raised", "DATE"),
        "dateRequired": ("Answer required by", "DATE"),
        "dateAnswered": ("Answered on; null while open", "DATE"),
        "priority": ("Priority", "TEXT"),
        "rfiStatus": ("Status", "TEXT"),
        "costImpact": ("1 when the answer may change cost", "INTEGER"),
    }),
    "dailyReport": ("Daily site reports: weather, labour on site, man-hours and time lost", {
        "reportId": ("PK", "INTEGER"),
        "projectId": ("FK project", "INTEGER"),
        "reportDate": ("Date of the report", "DATE"),
        "reportedBy": ("Site engineer who wrote the report", "TEXT"),
        "weather": ("Weather", "TEXT"),
        "maxTempC": ("Max temperature, deg C", "REAL"),
        "workersOnSite": ("Headcount on site", "INTEGER"),
        "manHours": ("Man-hours worked", "REAL"),
        "lostHours": ("Man-hours lost", "REAL"),
        "lostTimeReason": ("Reason for lost time; null if none", "TEXT"),
        "safetyIncidents": ("Recordable safety incidents that day", "INTEGER"),
        "summary": ("Work done (main activities in progress)", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("calendarException", "workCalendar", "calendarException.calendarId = workCalendar.calendarId",
     "Exceptions of a calendar"),
    ("project", "workCalendar", "project.calendarId = workCalendar.calendarId", "Calendar of a project"),
    ("wbsNode", "project", "wbsNode.projectId = project.projectId", "WBS of a project"),
    ("wbsNode", "wbsNode", "wbsNode.parentWbsId = wbsNode.wbsId", "Parent WBS element"),
    ("scheduleActivity", "project", "scheduleActivity.projectId = project.projectId", "Activities of a project"),
    ("scheduleActivity", "wbsNode", "scheduleActivity.wbsId = wbsNode.wbsId", "WBS element of an activity"),
    ("scheduleActivity", "workCalendar", "scheduleActivity.calendarId = workCalendar.calendarId",
     "Calendar of an activity"),
    ("activityRelationship", "scheduleActivity", "activityRelationship.predecessorId = scheduleActivity.activityId",
     "Predecessor of a relationship"),
    ("activityRelationship", "scheduleActivity", "activityRelationship.successorId = scheduleActivity.activityId",
     "Successor of a relationship"),
    ("resource", "workCalendar", "resource.calendarId = workCalendar.calendarId", "Own calendar of a resource"),
    ("resourceAssignment", "scheduleActivity", "resourceAssignment.activityId = scheduleActivity.activityId",
     "Activity a resource is assigned to"),
    ("resourceAssignment", "resource", "resourceAssignment.resourceId = resource.resourceId",
     "Resource of an assignment"),
    ("baseline", "project", "baseline.projectId = project.projectId", "Baselines of a project"),
    ("baselineActivity", "baseline", "baselineActivity.baselineId = baseline.baselineId", "Rows of a baseline"),
    ("baselineActivity", "scheduleActivity", "baselineActivity.activityId = scheduleActivity.activityId",
     "Activity a baseline row saves"),
    ("equipmentDelivery", "project", "equipmentDelivery.projectId = project.projectId",
     "Deliveries of a project"),
    ("equipmentDelivery", "scheduleActivity", "equipmentDelivery.activityId = scheduleActivity.activityId",
     "Procurement activity of a delivery"),
    ("riskItem", "project", "riskItem.projectId = project.projectId", "Risks of a project"),
    ("riskItem", "scheduleActivity", "riskItem.activityId = scheduleActivity.activityId",
     "Activity a risk would hit"),
    ("rfi", "project", "rfi.projectId = project.projectId", "RFIs of a project"),
    ("rfi", "scheduleActivity", "rfi.activityId = scheduleActivity.activityId", "Activity an RFI holds up"),
    ("dailyReport", "project", "dailyReport.projectId = project.projectId", "Daily reports of a project"),
]

BUSINESS_RULES = {
    ("scheduleActivity", "activityStatus"): ["Allowed Values: Not Started, In Progress, Complete"],
    ("scheduleActivity", "activityType"): ["Allowed Values: Task Dependent, Start Milestone, Finish Milestone"],
    ("scheduleActivity", "isCritical"): ["Allowed Values: 0, 1", "Critical: isCritical = 1 when totalFloatHrs <= 0; "
                                         "complete activities are 0"],
    ("scheduleActivity", "totalFloatHrs"): ["Near critical: 0 < totalFloatHrs <= 80 (about two weeks)",
                                            "Days = hours / workCalendar.hoursPerDay"],
    ("activityRelationship", "relType"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish "
                                          "to finish), SF (start to finish)"],
    ("project", "projectStatus"): ["Allowed Values: Active, On Hold, Complete"],
    ("project", "projectType"): ["Allowed Values: Data Hall Fit-out, Shell and Core, Power Infrastructure, "
                                 "Live Site Retrofit"],
    ("calendarException", "exceptionType"): ["Allowed Values: Public Holiday, Site Shutdown, Weather, "
                                             "Client Freeze, Extra Working Day"],
    ("resource", "resourceType"): ["Allowed Values: Labour, Equipment"],
    ("baseline", "baselineType"): ["Allowed Values: Contract, Re-baseline, Monthly Update"],
    ("baseline", "isActive"): ["Allowed Values: 0, 1; one active baseline per project"],
    ("equipmentDelivery", "deliveryStatus"): ["Allowed Values: On Order, In Transit, Delayed, Delivered",
                                              "Late: forecastDate > promisedDate"],
    ("riskItem", "riskStatus"): ["Allowed Values: Open, Closed, Realised (the risk has happened)"],
    ("riskItem", "severity"): ["Allowed Values: Low, Medium, High, Very High"],
    ("rfi", "rfiStatus"): ["Allowed Values: Open, Answered, Closed",
                           "Overdue: rfiStatus = 'Open' and dateRequired < project.dataDate"],
    ("rfi", "priority"): ["Allowed Values: Low, Normal, Urgent"],
    ("dailyReport", "weather"): ["Allowed Values: Dry, Overcast, Light Rain, Heavy Rain, High Wind, Frost, Hot"],
}

CONCEPTS = {
    ("scheduleActivity", "totalFloatHrs"): ["total_float", "critical_path"],
    ("scheduleActivity", "freeFloatHrs"): ["free_float"],
    ("scheduleActivity", "isCritical"): ["critical_path"],
    ("scheduleActivity", "percentComplete"): ["percent_complete"],
    ("activityRelationship", "lagHrs"): ["lag"],
    ("baselineActivity", "blFinish"): ["baseline_variance"],
    ("baseline", "isActive"): ["baseline_variance"],
    ("resourceAssignment", "actualCostEur"): ["cost_to_date"],
    ("equipmentDelivery", "forecastDate"): ["long_lead"],
    ("riskItem", "probabilityPct"): ["risk_exposure"],
    ("dailyReport", "lostHours"): ["lost_time"],
    ("project", "forecastCostEur"): ["cost_variance"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working hours an activity can slip before it delays the contract completion; negative = behind",
    "free_float": "Working hours an activity can slip before it delays any successor",
    "critical_path": "Activities with no float (total float <= 0) that drive the completion date",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting time on a relationship, in working hours",
    "baseline_variance": "Current dates against the active baseline; later finish = slipping",
    "cost_to_date": "Actual cost of resource assignments up to the data date",
    "long_lead": "Equipment with long manufacturing lead times that drives the schedule",
    "risk_exposure": "Probability times cost impact",
    "lost_time": "Man-hours lost on site to weather, permits, deliveries and other causes",
    "cost_variance": "Forecast cost against budget",
}

QUERY_EXAMPLES = [
    ("SELECT projectCode, projectName, contractCompletion, forecastCompletion FROM project ORDER BY plannedStart;",
     "Projects with contract and forecast completion", "simple"),
    ("SELECT a.activityCode, a.activityName, a.earlyStart, a.totalFloatHrs FROM scheduleActivity a "
     "JOIN project p ON p.projectId = a.projectId WHERE p.projectCode = 'FH4' AND a.isCritical = 1 "
     "ORDER BY a.earlyStart;", "Critical activities of one project", "medium"),
    ("SELECT p.projectCode, COUNT(*) AS openRfis FROM rfi r JOIN project p ON p.projectId = r.projectId "
     "WHERE r.rfiStatus = 'Open' GROUP BY p.projectCode;", "Open RFIs per project", "medium"),
    ("SELECT pr.activityCode AS pred, su.activityCode AS succ, r.relType, r.lagHrs FROM activityRelationship r "
     "JOIN scheduleActivity pr ON pr.activityId = r.predecessorId JOIN scheduleActivity su "
     "ON su.activityId = r.successorId WHERE r.lagHrs <> 0;", "Relationships with a lag", "medium"),
    ("SELECT a.activityCode, a.activityName, ba.blFinish, a.earlyFinish FROM scheduleActivity a "
     "JOIN baselineActivity ba ON ba.activityId = a.activityId JOIN baseline b ON b.baselineId = ba.baselineId "
     "WHERE b.isActive = 1 AND a.earlyFinish > ba.blFinish;", "Activities finishing later than the active baseline",
     "complex"),
    ("SELECT r.resourceName, SUM(ra.actualCostEur) AS costToDate FROM resourceAssignment ra "
     "JOIN resource r ON r.resourceId = ra.resourceId GROUP BY r.resourceName ORDER BY costToDate DESC;",
     "Actual cost to date per resource", "medium"),
    ("SELECT equipmentTag, equipmentType, promisedDate, forecastDate FROM equipmentDelivery "
     "WHERE forecastDate > promisedDate AND deliveredDate IS NULL;", "Late long-lead deliveries", "simple"),
]

KEYWORDS = {
    "float": ["scheduleActivity.totalFloatHrs", "scheduleActivity.freeFloatHrs", "total_float"],
    "critical": ["scheduleActivity.isCritical", "critical_path"],
    "predecessor": ["activityRelationship.predecessorId", "activityRelationship"],
    "successor": ["activityRelationship.successorId", "activityRelationship"],
    "baseline": ["baseline.isActive", "baselineActivity", "baseline_variance"],
    "holiday": ["calendarException.exceptionType", "calendarException"],
    "crew": ["resource", "resourceAssignment"],
    "RFI": ["rfi"],
    "delivery": ["equipmentDelivery"],
    "lost time": ["dailyReport.lostHours", "lost_time"],
    "weather": ["dailyReport.weather"],
    "risk": ["riskItem"],
    "WBS": ["wbsNode"],
}

TERMINOLOGY = {
    "data hall": "Room that holds the IT racks of a data centre",
    "CRAH": "Computer room air handler, cools a data hall with chilled water",
    "UPS": "Uninterruptible power supply",
    "IST": "Integrated systems test, level 5 of commissioning",
    "L2 / L3 / L4 / L5": "Commissioning levels: installation verification, pre-functional, functional, integrated",
    "EPMS": "Electrical power monitoring system",
    "BMS": "Building management system",
    "PDU": "Power distribution unit",
    "MOP": "Method of procedure, the approved step list for work on live plant",
    "PC": "Practical completion",
    "IFC": "Design released for construction (IFC drawings)",
    "long lead": "Equipment ordered months ahead (generators, UPS, switchgear, transformers, chillers)",
    "data date": "Date up to which progress is recorded",
    "FS": "Finish to start", "SS": "Start to start", "FF": "Finish to finish, or free float", "SF": "Start to finish",
    "TF": "Total float",
    "RFI": "Request for information",
    "DNO": "Distribution network operator (UK electricity utility)",
}

RELATED_TERMS = {
    "scheduleActivity": "activity, task, programme line, schedule line",
    "project": "project, job, scheme, site",
    "wbsNode": "WBS, work package, phase, area",
    "activityRelationship": "logic, link, dependency, relationship",
    "resource": "resource, crew, gang, labour, plant, equipment",
    "resourceAssignment": "assignment, resource loading, hours, cost",
    "calendarException": "holiday, shutdown, non-working day, bank holiday",
    "equipmentDelivery": "delivery, long lead, procurement, PO",
    "riskItem": "risk, risk register, threat",
    "rfi": "RFI, request for information, design query, TQ",
    "dailyReport": "daily report, site diary, site log",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, key_suffix="Id",
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def check(db_path, questions_path, verbose):
    """The questions file's check, then every statement of history.json must run and return rows."""
    status = check_questions(db_path, questions_path, verbose)
    history_path = os.path.join(HERE, "history.json")
    if not os.path.exists(history_path):
        return status
    con = sqlite3.connect(db_path)
    with open(history_path, encoding="utf-8") as fh:
        entries = json.load(fh)["enriched_queries"]
    failures = 0
    for n, e in enumerate(entries, 1):
        try:
            rows = con.execute(e["sql"]).fetchall()
            problem = None if rows else "returned no rows"
        except sqlite3.Error as exc:
            problem = f"SQL error: {exc}"
        if verbose or problem:
            print(f"history {n:3d}  {e['question']}")
        if problem:
            print(f"      ERROR: {problem}")
            failures += 1
    con.close()
    print(f"{len(entries)} history entries")
    print("history check: OK" if not failures else f"history check: {failures} entr(y/ies) FAILED")
    return status or (1 if failures else 0)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout11"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, check=check, count_table="scheduleActivity")


if __name__ == "__main__":
    sys.exit(main())
