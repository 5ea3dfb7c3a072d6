#!/usr/bin/env python3
"""Build the fifth check schedule database (module-prefixed singular tables) and its metadata document.

A fifth project-scheduling database shape, kept as a check set: lower-case singular table
names behind a short module prefix (sch_programme, sch_stage, sch_step, sch_step_tie,
res_person, res_gang, res_plant, res_booking, cost_line, risk_item, qa_inspection, site_event,
cal_pattern, cal_day_off, baseline_snapshot, baseline_step), columns mixing full words with the
owner's own abbreviations (step_ref, step_title, float_total, float_free, driving_path,
pct_physical, dur_orig, lag_hours, budget_cents) and value vocabularies of its own
('Planned' / 'Underway' / 'Done' / 'Parked' steps, 'On Site' / 'Mothballed' / 'Handed Over'
programmes, FS/SS/FF/SF ties, Minor / Moderate / Major / Critical risks).

Dates and float come from a forward and backward pass over each programme's ties on its
working-day calendar (bank holidays included), with the contract completion as a
finish-no-later-than date on the last milestone, so late programmes carry negative float.

Outputs go to bench/out/holdout5/ (or --out DIR); --check also runs every gold statement of
questions.json. The command line is bench/schedule_build.py's. Standard library only;
deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 5519
DATA_DATE = dt.date(2025, 9, 12)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import default_out, describe_tables, main as build_main, metadata_document  # noqa: E402
DB_NAME = "holdout5_schedule.db"
META_NAME = "holdout5_metadata.json"

DDL = """
CREATE TABLE cal_pattern (
    pattern_id INTEGER PRIMARY KEY, pattern_name TEXT NOT NULL, work_days TEXT NOT NULL,
    hrs_per_day REAL NOT NULL
);
CREATE TABLE cal_day_off (
    day_off_id INTEGER PRIMARY KEY, pattern_id INTEGER NOT NULL REFERENCES cal_pattern(pattern_id),
    off_date TEXT NOT NULL, reason TEXT NOT NULL
);
CREATE TABLE res_person (
    person_id INTEGER PRIMARY KEY, staff_no TEXT NOT NULL UNIQUE, full_name TEXT NOT NULL,
    role_title TEXT NOT NULL, employer TEXT NOT NULL, day_rate_gbp REAL NOT NULL,
    gang_id INTEGER REFERENCES res_gang(gang_id)
);
CREATE TABLE res_gang (
    gang_id INTEGER PRIMARY KEY, gang_code TEXT NOT NULL UNIQUE, gang_label TEXT NOT NULL,
    trade TEXT NOT NULL, supplier TEXT NOT NULL, headcount INTEGER NOT NULL,
    lead_person_id INTEGER REFERENCES res_person(person_id)
);
CREATE TABLE res_plant (
    plant_id INTEGER PRIMARY KEY, plant_no TEXT NOT NULL UNIQUE, plant_desc TEXT NOT NULL,
    plant_class TEXT NOT NULL, owned_hired TEXT NOT NULL, rate_per_day REAL NOT NULL
);
CREATE TABLE sch_programme (
    programme_id INTEGER PRIMARY KEY, prog_code TEXT NOT NULL UNIQUE, prog_name TEXT NOT NULL,
    client_org TEXT NOT NULL, site_location TEXT NOT NULL, delivery_state TEXT NOT NULL,
    manager_person_id INTEGER NOT NULL REFERENCES res_person(person_id), budget_gbp REAL NOT NULL,
    start_planned TEXT NOT NULL, finish_contract TEXT NOT NULL, finish_forecast TEXT NOT NULL,
    data_date TEXT NOT NULL, pattern_id INTEGER NOT NULL REFERENCES cal_pattern(pattern_id)
);
CREATE TABLE sch_stage (
    stage_id INTEGER PRIMARY KEY, programme_id INTEGER NOT NULL REFERENCES sch_programme(programme_id),
    stage_code TEXT NOT NULL UNIQUE, stage_title TEXT NOT NULL, seq_no INTEGER NOT NULL,
    owner_person_id INTEGER REFERENCES res_person(person_id)
);
CREATE TABLE sch_step (
    step_id INTEGER PRIMARY KEY, programme_id INTEGER NOT NULL REFERENCES sch_programme(programme_id),
    stage_id INTEGER NOT NULL REFERENCES sch_stage(stage_id), step_ref TEXT NOT NULL UNIQUE,
    step_title TEXT NOT NULL, step_kind TEXT NOT NULL, step_status TEXT NOT NULL,
    dur_orig INTEGER NOT NULL, dur_left INTEGER NOT NULL,
    start_early TEXT NOT NULL, finish_early TEXT NOT NULL, start_late TEXT NOT NULL, finish_late TEXT NOT NULL,
    start_actual TEXT, finish_actual TEXT, float_total INTEGER NOT NULL, float_free INTEGER NOT NULL,
    driving_path TEXT NOT NULL, pct_physical INTEGER NOT NULL, constraint_code TEXT, constraint_on TEXT
);
CREATE TABLE sch_step_tie (
    tie_id INTEGER PRIMARY KEY, from_step_id INTEGER NOT NULL REFERENCES sch_step(step_id),
    to_step_id INTEGER NOT NULL REFERENCES sch_step(step_id), tie_type TEXT NOT NULL,
    lag_hours INTEGER NOT NULL
);
CREATE TABLE res_booking (
    booking_id INTEGER PRIMARY KEY, step_id INTEGER NOT NULL REFERENCES sch_step(step_id),
    gang_id INTEGER REFERENCES res_gang(gang_id), plant_id INTEGER REFERENCES res_plant(plant_id),
    booked_from TEXT NOT NULL, booked_to TEXT NOT NULL, hrs_planned REAL NOT NULL, hrs_actual REAL NOT NULL,
    booking_state TEXT NOT NULL
);
CREATE TABLE cost_line (
    cost_line_id INTEGER PRIMARY KEY, step_id INTEGER NOT NULL REFERENCES sch_step(step_id),
    cost_code TEXT NOT NULL, cost_type TEXT NOT NULL, period_month TEXT NOT NULL,
    budget_cents INTEGER NOT NULL, committed_cents INTEGER NOT NULL, spent_cents INTEGER NOT NULL
);
CREATE TABLE risk_item (
    risk_id INTEGER PRIMARY KEY, programme_id INTEGER NOT NULL REFERENCES sch_programme(programme_id),
    step_id INTEGER REFERENCES sch_step(step_id), risk_no TEXT NOT NULL UNIQUE, risk_title TEXT NOT NULL,
    severity TEXT NOT NULL, prob_pct INTEGER NOT NULL, impact_days INTEGER NOT NULL,
    risk_state TEXT NOT NULL, owner_person_id INTEGER REFERENCES res_person(person_id), raised_on TEXT NOT NULL
);
CREATE TABLE qa_inspection (
    inspection_id INTEGER PRIMARY KEY, step_id INTEGER NOT NULL REFERENCES sch_step(step_id),
    itp_ref TEXT NOT NULL UNIQUE, check_type TEXT NOT NULL,
    inspector_person_id INTEGER NOT NULL REFERENCES res_person(person_id), inspected_on TEXT NOT NULL,
    result TEXT NOT NULL, ncr_raised TEXT NOT NULL, defects_count INTEGER NOT NULL
);
CREATE TABLE site_event (
    event_id INTEGER PRIMARY KEY, programme_id INTEGER NOT NULL REFERENCES sch_programme(programme_id),
    event_date TEXT NOT NULL, event_cat TEXT NOT NULL, hours_lost REAL NOT NULL,
    operatives_on_site INTEGER NOT NULL, narrative TEXT
);
CREATE TABLE baseline_snapshot (
    snapshot_id INTEGER PRIMARY KEY, programme_id INTEGER NOT NULL REFERENCES sch_programme(programme_id),
    snapshot_label TEXT NOT NULL, captured_on TEXT NOT NULL, approved TEXT NOT NULL, is_current TEXT NOT NULL
);
CREATE TABLE baseline_step (
    baseline_step_id INTEGER PRIMARY KEY, snapshot_id INTEGER NOT NULL REFERENCES baseline_snapshot(snapshot_id),
    step_id INTEGER NOT NULL REFERENCES sch_step(step_id), bl_start TEXT NOT NULL, bl_finish TEXT NOT NULL,
    bl_dur INTEGER NOT NULL
);
"""

PATTERNS = [
    (1, "Standard 5-day", "Mon-Fri", 8.0),
    (2, "Extended 6-day", "Mon-Sat", 10.0),
    (3, "Continuous 7-day", "Mon-Sun", 12.0),
]
WORKDAYS_PER_WEEK = {1: 5, 2: 6, 3: 7}

BANK_HOLIDAYS = [
    ("2024-03-29", "Good Friday"), ("2024-04-01", "Easter Monday"), ("2024-05-06", "Early May bank holiday"),
    ("2024-05-27", "Spring bank holiday"), ("2024-08-26", "Summer bank holiday"),
    ("2024-12-25", "Christmas Day"), ("2024-12-26", "Boxing Day"), ("2025-01-01", "New Year's Day"),
    ("2025-04-18", "Good Friday"), ("2025-04-21", "Easter Monday"), ("2025-05-05", "Early May bank holiday"),
    ("2025-05-26", "Spring bank holiday"), ("2025-08-25", "Summer bank holiday"),
    ("2025-12-25", "Christmas Day"), ("2025-12-26", "Boxing Day"), ("2026-01-01", "New Year's Day"),
    ("2026-04-03", "Good Friday"), ("2026-04-06", "Easter Monday"), ("2026-05-04", "Early May bank holiday"),
    ("2026-05-25", "Spring bank holiday"), ("2026-08-31", "Summer bank holiday"),
    ("2026-12-25", "Christmas Day"), ("2026-12-28", "Boxing Day (substitute)"),
]
SHUTDOWNS = [("2024-12-27", "Christmas shutdown"), ("2024-12-30", "Christmas shutdown"),
             ("2024-12-31", "Christmas shutdown"), ("2025-12-29", "Christmas shutdown"),
             ("2025-12-30", "Christmas shutdown"), ("2025-12-31", "Christmas shutdown")]

# staff_no, name, role, employer, day rate, gang code (member of) or None
PEOPLE = [
    ("P-1001", "Helen Marsden", "Programme Manager", "Corbel Construction", 780.0, None),
    ("P-1002", "Dev Chaudhry", "Programme Manager", "Corbel Construction", 760.0, None),
    ("P-1003", "Fiona MacLeod", "Programme Manager", "Corbel Construction", 790.0, None),
    ("P-1004", "Marcus Oyelaran", "Planner", "Corbel Construction", 560.0, None),
    ("P-1005", "Agnieszka Nowak", "Planner", "Corbel Construction", 540.0, None),
    ("P-1006", "Tom Brierley", "Site Manager", "Corbel Construction", 520.0, None),
    ("P-1007", "Rachel Iqbal", "Site Manager", "Corbel Construction", 520.0, None),
    ("P-1008", "Gareth Pugh", "Site Manager", "Corbel Construction", 500.0, None),
    ("P-1009", "Lucy Fenwick", "Quality Inspector", "Corbel Construction", 450.0, None),
    ("P-1010", "Samuel Adeyemi", "Quality Inspector", "Corbel Construction", 450.0, None),
    ("P-1011", "Irene Kowalczyk", "Package Engineer", "Corbel Construction", 480.0, None),
    ("P-1012", "Owen Tranter", "Package Engineer", "Corbel Construction", 470.0, None),
    ("P-1013", "Bernadette Quinn", "Commercial Manager", "Corbel Construction", 650.0, None),
    ("P-2001", "Craig Dunmore", "Chargehand", "Corbel Construction", 310.0, "GG-CIV1"),
    ("P-2002", "Jamie Rourke", "Chargehand", "Pennant Civils Ltd", 300.0, "GG-CIV2"),
    ("P-2003", "Stefan Mirea", "Chargehand", "Deepbore Piling Ltd", 340.0, "GG-PIL"),
    ("P-2004", "Neil Haworth", "Chargehand", "Ironbridge Erectors", 350.0, "GG-STL"),
    ("P-2005", "Paddy Keane", "Chargehand", "Corbel Construction", 320.0, "GG-CON"),
    ("P-2006", "Leanne Shaw", "Chargehand", "Lumen Electrical Ltd", 345.0, "GG-ELE1"),
    ("P-2007", "Viktor Hale", "Chargehand", "Gridline HV Services", 380.0, "GG-ELE2"),
    ("P-2008", "Kwame Mensah", "Chargehand", "Flowright Mechanical", 340.0, "GG-MEC"),
    ("P-2009", "Donna Ellery", "Chargehand", "Interiors Direct", 290.0, "GG-FIN"),
    ("P-2010", "Rhys Bowen", "Chargehand", "Railcraft Ltd", 360.0, "GG-RLY"),
    ("P-2011", "Gary Lomax", "Chargehand", "Blacktop Surfacing", 300.0, "GG-SUR"),
    ("P-2012", "Lars Henriksen", "Chargehand", "Nordvind Service", 420.0, "GG-TUR"),
    ("P-2013", "Aidan Frew", "Operative", "Corbel Construction", 220.0, "GG-CIV1"),
    ("P-2014", "Mo Sadiq", "Electrician", "Lumen Electrical Ltd", 280.0, "GG-ELE1"),
    ("P-2015", "Ellie Gorman", "Electrician", "Lumen Electrical Ltd", 280.0, "GG-ELE1"),
    ("P-2016", "Piotr Zielinski", "Pipefitter", "Flowright Mechanical", 270.0, "GG-MEC"),
    ("P-2017", "Callum Reid", "Steel Erector", "Ironbridge Erectors", 300.0, "GG-STL"),
    ("P-2018", "Sione Taufa", "Trackman", "Railcraft Ltd", 260.0, "GG-RLY"),
]

# code, label, trade, supplier, headcount, lead staff_no
GANGS = [
    ("GG-CIV1", "Groundworks Gang A", "Civils", "In-house", 8, "P-2001"),
    ("GG-CIV2", "Groundworks Gang B", "Civils", "Pennant Civils Ltd", 6, "P-2002"),
    ("GG-PIL", "Piling Crew", "Piling", "Deepbore Piling Ltd", 4, "P-2003"),
    ("GG-STL", "Steel Erection Gang", "Structural", "Ironbridge Erectors", 6, "P-2004"),
    ("GG-CON", "Concrete Gang", "Concrete", "In-house", 7, "P-2005"),
    ("GG-ELE1", "Sparks Team North", "Electrical", "Lumen Electrical Ltd", 6, "P-2006"),
    ("GG-ELE2", "HV Jointing Team", "Electrical", "Gridline HV Services", 3, "P-2007"),
    ("GG-MEC", "Pipefitters", "Mechanical", "Flowright Mechanical", 5, "P-2008"),
    ("GG-FIN", "Fit-out Gang", "Finishes", "Interiors Direct", 9, "P-2009"),
    ("GG-RLY", "Track Gang", "Rail Systems", "Railcraft Ltd", 10, "P-2010"),
    ("GG-SUR", "Surfacing Crew", "Surfacing", "Blacktop Surfacing", 5, "P-2011"),
    ("GG-TUR", "Turbine Erection Team", "Turbine Erection", "Nordvind Service", 8, "P-2012"),
]

PLANT = [
    ("PL-EXC01", "Excavator 13t", "Earthmoving", "Owned", 310.0),
    ("PL-EXC02", "Excavator 21t", "Earthmoving", "Hired", 420.0),
    ("PL-DMP03", "Articulated Dumper 9t", "Earthmoving", "Hired", 260.0),
    ("PL-PIL01", "Rotary Piling Rig", "Piling", "Hired", 2450.0),
    ("PL-CRN01", "Crawler Crane 750t", "Lifting", "Hired", 9800.0),
    ("PL-CRN02", "Mobile Crane 100t", "Lifting", "Hired", 1650.0),
    ("PL-TEL02", "Telehandler 17m", "Lifting", "Owned", 190.0),
    ("PL-MEW04", "Scissor Platform 10m", "Access", "Hired", 110.0),
    ("PL-PMP01", "Concrete Pump 36m", "Concrete", "Hired", 950.0),
    ("PL-PAV01", "Asphalt Paver", "Surfacing", "Hired", 1200.0),
    ("PL-ROL01", "Tandem Roller", "Surfacing", "Owned", 230.0),
    ("PL-RRV01", "Road Rail Excavator", "Rail", "Hired", 1350.0),
]

# Stage templates: (title, runs alongside the stage before, gang codes, plant numbers, [(step, days)])
# A step of 0 days is a milestone.
HOSPITAL = [
    ("Enabling Works", False, ["GG-CIV1"], ["PL-EXC01", "PL-DMP03"],
     [("Start on site", 0), ("Site set-up and hoarding", 10), ("Divert live services", 15),
      ("Demolish existing store", 12), ("Enabling works complete", 0)]),
    ("Substructure", False, ["GG-PIL", "GG-CON", "GG-CIV1"], ["PL-PIL01", "PL-PMP01", "PL-EXC02"],
     [("Bored piling", 25), ("Pile caps and ground beams", 20), ("Below-ground drainage", 15),
      ("Ground floor slab", 12)]),
    ("Superstructure", False, ["GG-STL", "GG-CON"], ["PL-CRN02", "PL-PMP01"],
     [("Erect steel frame", 30), ("Metal decking and slabs", 25), ("Roof steelwork", 10), ("Frame complete", 0)]),
    ("Envelope", False, ["GG-FIN", "GG-STL"], ["PL-MEW04", "PL-TEL02"],
     [("Curtain walling", 30), ("Roof membrane", 15), ("External brickwork", 35), ("Building watertight", 0)]),
    ("Building Services", True, ["GG-ELE1", "GG-MEC"], ["PL-MEW04"],
     [("First fix electrical", 30), ("First fix mechanical", 30), ("Medical gas pipework", 20),
      ("Ventilation ductwork", 25), ("Second fix electrical", 20), ("Second fix mechanical", 20)]),
    ("Theatre Fit-out", False, ["GG-FIN", "GG-ELE1"], ["PL-MEW04"],
     [("Partitions and drylining", 25), ("Theatre ceilings and pendants", 20), ("Vinyl flooring", 15),
      ("Decoration", 15)]),
    ("External Works", True, ["GG-SUR", "GG-CIV1"], ["PL-PAV01", "PL-ROL01"],
     [("Ambulance canopy", 20), ("Car park resurfacing", 15), ("Soft landscaping", 10)]),
    ("Commissioning and Handover", False, ["GG-MEC", "GG-ELE1"], [],
     [("Commission ventilation systems", 15), ("Validate theatre air quality", 10), ("Snagging", 10),
      ("Practical completion", 0)]),
]
SCHOOL = [
    ("Enabling Works", False, ["GG-CIV2"], ["PL-EXC01"],
     [("Start on site", 0), ("Site set-up and hoarding", 8), ("Temporary classrooms", 10),
      ("Enabling works complete", 0)]),
    ("Substructure", False, ["GG-CIV2", "GG-CON"], ["PL-EXC01", "PL-DMP03", "PL-PMP01"],
     [("Strip foundations", 15), ("Below-ground drainage", 10), ("Ground bearing slab", 8)]),
    ("Frame and Envelope", False, ["GG-STL", "GG-FIN"], ["PL-TEL02", "PL-CRN02"],
     [("Timber frame erection", 20), ("Roof covering", 12), ("Windows and doors", 10), ("Building watertight", 0)]),
    ("Services and Fit-out", False, ["GG-ELE1", "GG-MEC", "GG-FIN"], ["PL-MEW04"],
     [("First fix electrical", 15), ("First fix mechanical", 15), ("Drylining", 15), ("Second fix electrical", 10),
      ("Second fix mechanical", 10), ("Decoration", 10)]),
    ("Externals and Handover", False, ["GG-SUR", "GG-CIV2"], ["PL-ROL01"],
     [("Playground surfacing", 8), ("Landscaping", 10), ("Snagging", 5), ("Handover to school", 0)]),
]
JUNCTION = [
    ("Preliminaries", False, ["GG-CIV1"], ["PL-TEL02"],
     [("Start on site", 0), ("Mobilise traffic management", 10), ("Site compound", 8),
      ("Statutory undertaker diversions", 30), ("Traffic switch phase 1", 0)]),
    ("Earthworks and Drainage", False, ["GG-CIV1", "GG-CIV2"], ["PL-EXC02", "PL-DMP03"],
     [("Topsoil strip", 10), ("Cut and fill embankments", 40), ("Carrier drains and gullies", 30),
      ("Capping layer", 15), ("Noise barrier foundations", 12)]),
    ("Structures", False, ["GG-PIL", "GG-CON", "GG-STL"], ["PL-PIL01", "PL-CRN02", "PL-PMP01"],
     [("Abutment piling", 20), ("Abutments and wingwalls", 30), ("Lift bridge deck beams", 5),
      ("Deck slab pour", 10), ("Deck waterproofing", 6)]),
    ("Pavement", True, ["GG-SUR", "GG-CIV2"], ["PL-PAV01", "PL-ROL01"],
     [("Sub-base", 15), ("Binder course", 10), ("Surface course", 8), ("Road markings and studs", 4)]),
    ("Technology and Lighting", False, ["GG-ELE1", "GG-ELE2"], ["PL-MEW04"],
     [("Lighting columns", 15), ("Ducting and cabling", 20), ("Signals commissioning", 8)]),
    ("Completion", False, ["GG-CIV1"], [],
     [("Remove traffic management", 5), ("Road safety audit stage 3", 5), ("Junction open to traffic", 0)]),
]
WATER = [
    ("Enabling Works", False, ["GG-CIV1"], ["PL-EXC01"],
     [("Start on site", 0), ("Site establishment", 10), ("Access road", 15), ("Service diversions", 20)]),
    ("Civil Works", False, ["GG-CIV1", "GG-CON", "GG-PIL"], ["PL-EXC02", "PL-PMP01", "PL-PIL01"],
     [("Excavate clarifier bases", 25), ("Clarifier base slabs", 20), ("Clarifier walls", 35),
      ("Filter house foundations", 20), ("Filter house frame", 25), ("Civils complete", 0)]),
    ("Process Mechanical", False, ["GG-MEC"], ["PL-CRN02", "PL-TEL02"],
     [("Install clarifier scrapers", 20), ("Install filter media", 15), ("Process pipework and valves", 40),
      ("Chemical dosing skids", 15)]),
    ("Electrical and ICA", True, ["GG-ELE1", "GG-ELE2"], ["PL-MEW04"],
     [("MCC installation", 20), ("Cable installation", 30), ("SCADA configuration", 25), ("Instrumentation", 15)]),
    ("Commissioning", False, ["GG-MEC", "GG-ELE1"], [],
     [("Dry commissioning", 15), ("Wet commissioning", 20), ("Process proving", 30), ("Take-over by client", 0)]),
]
WIND = [
    ("Consents and Design", False, ["GG-CIV2"], ["PL-EXC01"],
     [("Discharge planning conditions", 30), ("Ground investigation", 25), ("Turbine foundation design", 30),
      ("Financial close", 0)]),
    ("Access and Civils", False, ["GG-CIV1", "GG-CIV2", "GG-CON"], ["PL-EXC02", "PL-DMP03", "PL-PMP01"],
     [("Site access track", 45), ("Crane hardstandings", 30), ("Turbine foundations T1-T4", 40),
      ("Turbine foundations T5-T8", 40), ("Substation platform", 20)]),
    ("Electrical Infrastructure", True, ["GG-ELE2", "GG-CIV2"], ["PL-EXC01"],
     [("Collector cable trenching", 35), ("Substation building", 30), ("Grid transformer installation", 10),
      ("Grid connection energisation", 0)]),
    ("Turbine Erection", False, ["GG-TUR"], ["PL-CRN01", "PL-CRN02"],
     [("Turbine component delivery", 20), ("Erect turbines T1-T4", 25), ("Erect turbines T5-T8", 25),
      ("Mechanical completion", 0)]),
    ("Commissioning", False, ["GG-TUR", "GG-ELE2"], [],
     [("Turbine commissioning", 20), ("Reliability run", 15), ("Commercial operation date", 0)]),
]
DEPOT = [
    ("Enabling Works", False, ["GG-CIV1", "GG-RLY"], ["PL-EXC02", "PL-RRV01"],
     [("Start on site", 0), ("Possession planning", 10), ("Compound and welfare", 10),
      ("Demolish old carriage shed", 20), ("Isolation and lock-out", 5)]),
    ("Track Works", False, ["GG-RLY"], ["PL-RRV01"],
     [("Track lowering", 15), ("Plain line renewal", 30), ("Install switches and crossings", 20),
      ("Possession handback", 0)]),
    ("Maintenance Shed", False, ["GG-PIL", "GG-STL", "GG-CON"], ["PL-PIL01", "PL-CRN02", "PL-PMP01"],
     [("Shed piled foundations", 25), ("Shed steel frame", 30), ("Shed cladding and roof", 30),
      ("Inspection pits", 25), ("Shed floor slab", 15)]),
    ("Depot Systems", True, ["GG-ELE2", "GG-MEC", "GG-RLY"], ["PL-MEW04", "PL-RRV01"],
     [("Overhead line equipment", 30), ("Wheel lathe installation", 20), ("Carriage wash plant", 15),
      ("Depot protection system", 15)]),
    ("Testing and Handover", False, ["GG-ELE2", "GG-RLY"], [],
     [("Signalling tests", 10), ("Systems integration test", 12), ("Driver familiarisation", 5),
      ("Depot into service", 0)]),
]
FLOOD = [
    ("Enabling Works", False, ["GG-CIV2"], ["PL-EXC01"],
     [("Start on site", 0), ("Site set-up", 8), ("Ecology survey and fish rescue", 10), ("Temporary cofferdam", 25)]),
    ("Sheet Piling", False, ["GG-PIL"], ["PL-PIL01", "PL-CRN02"],
     [("Sheet piles west reach", 30), ("Sheet piles east reach", 30), ("Pile cutting and capping beam", 15)]),
    ("Wall Construction", False, ["GG-CON", "GG-CIV2"], ["PL-PMP01", "PL-TEL02"],
     [("RC wall west reach", 35), ("RC wall east reach", 35), ("Flood gates installation", 15),
      ("Stone cladding", 30)]),
    ("Drainage Outfalls", True, ["GG-CIV2", "GG-MEC"], ["PL-EXC01"],
     [("Outfall flap valves", 12), ("Surface water pumping station", 30), ("Pumping station M&E", 20)]),
    ("Landscape and Handover", False, ["GG-CIV2", "GG-SUR"], ["PL-ROL01"],
     [("Remove cofferdam", 10), ("Riverside path resurfacing", 15), ("Defence operational", 0)]),
]

# code, name, client, location, state, manager staff_no, budget, start, template, pattern,
# contract completion against the calculated finish (working days), duration scale
PROGRAMMES = [
    ("PRG-01", "Northgate General Hospital Theatres Block", "Northgate Health Trust", "Sunderland", "On Site",
     "P-1001", 38_500_000, "2024-10-07", HOSPITAL, 1, -18, 1.0),
    ("PRG-02", "Kestrel Interchange Junction 14 Upgrade", "Highways Directorate North", "Warrington", "On Site",
     "P-1002", 27_900_000, "2024-08-05", JUNCTION, 2, -6, 1.6),
    ("PRG-03", "Lowmoor Water Treatment Works Phase 2", "Pennine Water", "Huddersfield", "On Site",
     "P-1003", 21_200_000, "2024-06-03", WATER, 1, 14, 1.5),
    ("PRG-04", "Brackenfield Primary School Extension", "Brackenfield Borough Council", "Chesterfield",
     "Handed Over", "P-1002", 4_600_000, "2024-03-04", SCHOOL, 1, 7, 1.0),
    ("PRG-05", "Carrick Fell Wind Farm", "Carrick Renewables Ltd", "Dumfries", "Pre-Construction",
     "P-1003", 64_000_000, "2025-11-03", WIND, 2, 21, 1.0),
    ("PRG-06", "Thornbury Sidings Rail Depot", "Westline Trains", "Bristol", "On Site",
     "P-1001", 45_300_000, "2024-11-11", DEPOT, 3, -25, 2.2),
    ("PRG-07", "Quayside Flood Defence Wall", "Humber Flood Authority", "Hull", "Mothballed",
     "P-1002", 9_800_000, "2025-01-13", FLOOD, 1, 0, 1.0),
]
MOTHBALLED_ON = dt.date(2025, 5, 30)

RISKS = [
    ("Unexploded ordnance in excavations", "Critical"), ("Late design information from client", "Major"),
    ("Ground conditions worse than survey", "Major"), ("Live services not on record drawings", "Critical"),
    ("Long lead time on switchgear", "Moderate"), ("Crane standing on soft ground", "Major"),
    ("Wet weather delaying earthworks", "Moderate"), ("Subcontractor insolvency", "Major"),
    ("Noise complaints from neighbours", "Minor"), ("Protected species found on site", "Moderate"),
    ("Possession cancelled by network operator", "Critical"), ("Material price escalation", "Minor"),
    ("Commissioning staff unavailable", "Moderate"),
]
RISK_STATES = ["Open", "Open", "Mitigating", "Closed", "Occurred"]
EVENT_CATS = [("Weather", 0.45), ("Late Delivery", 0.15), ("Access", 0.1), ("Utility Strike", 0.04),
              ("Accident", 0.04), ("Client Visit", 0.12), ("Possession Overrun", 0.1)]
WEATHER_NOTES = ["Heavy rain, excavations flooded", "High winds, crane stood down", "Frost, no concrete pours",
                 "Snow on access road", "Persistent drizzle, slow progress"]
COST_TYPES = ["Labour", "Plant", "Materials", "Subcontract"]


def iso(x):
    return x.isoformat() if x is not None else None


class Calendar:
    """Working days of one pattern: day index 0 is the first working day on or after `origin`."""

    def __init__(self, pattern_id, origin, offs):
        self.per_week = WORKDAYS_PER_WEEK[pattern_id]
        self.offs = offs
        self.days = []
        d = origin
        while len(self.days) < 1400:
            if d.weekday() < self.per_week and d not in offs:
                self.days.append(d)
            d += dt.timedelta(days=1)
        self.index_of = {d: i for i, d in enumerate(self.days)}

    def date(self, i):
        if i >= 0:
            return self.days[i]
        return self.days[0] - dt.timedelta(days=-i * 7 // self.per_week)  # before the first working day

    def index_on_or_after(self, d):
        while d not in self.index_of:
            if d < self.days[0]:
                return 0
            d += dt.timedelta(days=1)
        return self.index_of[d]

    def index_on_or_before(self, d):
        while d not in self.index_of:
            if d < self.days[0]:
                return 0
            d -= dt.timedelta(days=1)
        return self.index_of[d]


def build_network(rng, template, scale):
    """Steps (stage index, title, days) and ties (from, to, type, lag days) of one programme."""
    steps, ties, stage_spans = [], [], []
    for s, (_, parallel, _, _, items) in enumerate(template):
        first = len(steps)
        for title, days in items:
            steps.append((s, title, round(days * scale)))
        last = len(steps) - 1
        for k in range(first, last):
            if steps[k][2] > 0 and steps[k + 1][2] > 0 and rng.random() < 0.22:
                lag = max(1, steps[k][2] // 3)
                ties.append((k, k + 1, "SS", lag))
                ties.append((k, k + 1, "FF", rng.choice([2, 3, 5])))
            else:
                ties.append((k, k + 1, "FS", rng.choice([0, 0, 0, 0, 1, 2])))
        stage_spans.append((first, last))
        if s == 0:
            continue
        pf, pl = stage_spans[s - 1]
        if parallel:
            start_from = pf + 1 if steps[pf][2] == 0 and pf + 1 <= pl else pf
            ties.append((start_from, first, "SS", rng.choice([10, 15, 20])))
        else:
            ties.append((pl, first, "FS", 0))
            if s >= 2 and template[s - 1][1]:
                _, ppl = stage_spans[s - 2]
                ties.append((ppl, first, "FS", rng.choice([0, 5])))
    # a few cross links between stages further apart
    for j in range(len(steps)):
        if steps[j][0] >= 2 and rng.random() < 0.12:
            cands = [i for i in range(j) if steps[i][0] <= steps[j][0] - 2 and steps[i][2] > 0]
            if cands:
                i = rng.choice(cands)
                if not any(a == i and b == j for a, b, _, _ in ties):
                    ties.append((i, j, "SF" if rng.random() < 0.15 else "FS", 0))
    return steps, ties


def cpm(steps, ties, snet, contract_idx):
    n = len(steps)
    dur = [d for _, _, d in steps]
    preds = [[] for _ in range(n)]
    succs = [[] for _ in range(n)]
    for a, b, t, lag in ties:
        preds[b].append((a, t, lag))
        succs[a].append((b, t, lag))
    es, ef = [0] * n, [0] * n
    for j in range(n):  # ties always point forward in list order
        v = snet.get(j, 0)
        for i, t, lag in preds[j]:
            v = max(v, {"FS": ef[i] + lag, "SS": es[i] + lag, "FF": ef[i] + lag - dur[j],
                        "SF": es[i] + lag - dur[j]}[t])
        es[j], ef[j] = v, v + dur[j]
    finish = max(ef)
    ls, lf = [0] * n, [0] * n
    for i in reversed(range(n)):
        v = finish if succs[i] else min(finish, contract_idx)
        for j, t, lag in succs[i]:
            v = min(v, {"FS": ls[j] - lag, "SS": ls[j] - lag + dur[i], "FF": lf[j] - lag,
                        "SF": lf[j] - lag + dur[i]}[t])
        lf[i], ls[i] = v, v - dur[i]
    free = []
    for i in range(n):
        if not succs[i]:
            free.append(max(0, min(finish, contract_idx) - ef[i]))
            continue
        f = min({"FS": es[j] - ef[i] - lag, "SS": es[j] - es[i] - lag, "FF": ef[j] - ef[i] - lag,
                 "SF": ef[j] - es[i] - lag}[t] for j, t, lag in succs[i])
        free.append(max(0, f))
    return es, ef, ls, lf, free, finish


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    offs_by_pattern = {}
    day_off_id = 0
    for p in PATTERNS:
        con.execute("INSERT INTO cal_pattern VALUES (?,?,?,?)", p)
        offs = []
        if p[0] != 3:
            offs = BANK_HOLIDAYS + (SHUTDOWNS if p[0] == 1 else [])
        else:
            offs = [h for h in BANK_HOLIDAYS if h[1] in ("Christmas Day", "Boxing Day")]
        for d, why in offs:
            day_off_id += 1
            con.execute("INSERT INTO cal_day_off VALUES (?,?,?,?)", (day_off_id, p[0], d, why))
        offs_by_pattern[p[0]] = {dt.date.fromisoformat(d) for d, _ in offs}

    gang_ids = {g[0]: i for i, g in enumerate(GANGS, 1)}
    person_ids = {p[0]: i for i, p in enumerate(PEOPLE, 1)}
    for i, p in enumerate(PEOPLE, 1):
        con.execute("INSERT INTO res_person VALUES (?,?,?,?,?,?,?)",
                    (i,) + p[:5] + (gang_ids[p[5]] if p[5] else None,))
    for i, g in enumerate(GANGS, 1):
        con.execute("INSERT INTO res_gang VALUES (?,?,?,?,?,?,?)", (i,) + g[:5] + (person_ids[g[5]],))
    plant_ids = {}
    for i, p in enumerate(PLANT, 1):
        con.execute("INSERT INTO res_plant VALUES (?,?,?,?,?,?)", (i,) + p)
        plant_ids[p[0]] = i

    office = [p[0] for p in PEOPLE if p[2] in ("Planner", "Site Manager", "Package Engineer")]
    inspectors = [p[0] for p in PEOPLE if p[2] == "Quality Inspector"]
    step_id = stage_id = tie_id = book_id = cost_id = risk_id = insp_id = event_id = snap_id = bls_id = 0
    for pn, programme in enumerate(PROGRAMMES, 1):
        code, name, client, town, state, mgr, budget, start, template, pat, offset, scale = programme
        start_d = dt.date.fromisoformat(start)
        cal = Calendar(pat, start_d, offs_by_pattern[pat])
        steps, ties = build_network(rng, template, scale)
        snet = {}
        for j, (s, title, days) in enumerate(steps):
            if days and s >= 2 and rng.random() < 0.06:
                snet[j] = None  # filled after a first pass
        es0, _, _, _, _, _ = cpm(steps, ties, {}, 10 ** 6)
        for j in snet:
            snet[j] = es0[j] + rng.choice([5, 10, 15])
        es, ef, ls, lf, free, finish = cpm(steps, ties, snet, 10 ** 6)
        contract_idx = finish + offset
        es, ef, ls, lf, free, finish = cpm(steps, ties, snet, contract_idx)
        tf = [ls[i] - es[i] for i in range(len(steps))]

        if state == "Handed Over":
            data_d = cal.date(finish - 1)
        elif state == "Mothballed":
            data_d = MOTHBALLED_ON
        else:
            data_d = DATA_DATE
        data_idx = cal.index_on_or_before(data_d) if data_d >= start_d else -1
        finish_d = cal.date(finish - 1) if finish > 0 else start_d
        contract_d = cal.date(contract_idx - 1)
        con.execute("INSERT INTO sch_programme VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (pn, code, name, client, town, state, person_ids[mgr], float(budget), start, iso(contract_d),
                     iso(finish_d), iso(data_d), pat))

        min_float = min(tf[i] for i in range(len(steps)) if ef[i] > data_idx) if state != "Handed Over" else None
        stage_first_step = {}
        parked_extra = set()
        if state == "On Site":
            future = [i for i in range(len(steps)) if es[i] > data_idx + 10 and steps[i][2] > 0]
            parked_extra = set(rng.sample(future, 1 if pn % 2 else 2))
        sid_of = {}
        for s, (stitle, _, gangs, plants, _) in enumerate(template):
            stage_id += 1
            con.execute("INSERT INTO sch_stage VALUES (?,?,?,?,?,?)",
                        (stage_id, pn, f"WBS-{pn:02d}.{s + 1}", stitle, s + 1, person_ids[rng.choice(office)]))
            stage_first_step[s] = stage_id
        per_stage = {}
        prog_steps = []
        for j, (s, title, days) in enumerate(steps):
            step_id += 1
            sid_of[j] = step_id
            per_stage[s] = per_stage.get(s, 0) + 1
            ref = f"ST-{pn}{s + 1}{per_stage[s] * 10:02d}"
            kind = "Milestone" if days == 0 else "Task"
            # a milestone sits on the finish of the work before it (a start milestone on day 0)
            s_d = cal.date(es[j]) if days else cal.date(max(0, es[j] - 1))
            f_d = cal.date(ef[j] - 1) if days else s_d
            ls_d = cal.date(ls[j]) if days else cal.date(max(0, ls[j] - 1))
            lf_d = cal.date(lf[j] - 1) if days else ls_d
            if state == "Handed Over" or (data_idx >= 0 and max(0, ef[j] - 1) <= data_idx):
                status, pct, a_s, a_f, left = "Done", 100, iso(s_d), iso(f_d), 0
            elif es[j] <= data_idx:
                done = data_idx - es[j] + 1
                pct = min(95, max(5, round(100 * done / days + rng.choice([-10, -5, 0, 5]))))
                status, a_s, a_f, left = "Underway", iso(s_d), None, max(1, days - done)
            else:
                status, pct, a_s, a_f, left = "Planned", 0, None, None, days
            if status != "Done" and (state == "Mothballed" or j in parked_extra):
                status = "Parked"
            driving = "Y" if status != "Done" and min_float is not None and tf[j] == min_float else "N"
            ccode = con_on = None
            if j in snet:
                ccode, con_on = "SNET", iso(cal.date(snet[j]))
            elif j == len(steps) - 1:
                ccode, con_on = "FNLT", iso(contract_d)
            con.execute("INSERT INTO sch_step VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (step_id, pn, stage_first_step[s], ref, title, kind, status, days, left, iso(s_d), iso(f_d),
                         iso(ls_d), iso(lf_d), a_s, a_f, tf[j], free[j], driving, pct, ccode, con_on))
            prog_steps.append((step_id, s, title, days, s_d, f_d, status, pct))
        hpd = PATTERNS[pat - 1][3]
        for a, b, t, lag in ties:
            tie_id += 1
            con.execute("INSERT INTO sch_step_tie VALUES (?,?,?,?,?)",
                        (tie_id, sid_of[a], sid_of[b], t, int(lag * hpd)))

        # bookings and cost lines
        for sid, s, title, days, s_d, f_d, status, pct in prog_steps:
            if days == 0:
                continue
            _, _, gangs, plants, _ = template[s]
            for g in rng.sample(gangs, min(len(gangs), rng.choice([1, 1, 2]))):
                book_id += 1
                hrs = float(days * hpd * rng.choice([1, 2, 3]))
                act = round(hrs * pct / 100 * rng.uniform(0.8, 1.3), 1)
                bstate = "Firm" if status in ("Done", "Underway") or s_d <= DATA_DATE + dt.timedelta(days=60) \
                    else rng.choice(["Firm", "Pencilled", "Pencilled"])
                if status == "Parked":
                    bstate = "Released"
                con.execute("INSERT INTO res_booking VALUES (?,?,?,?,?,?,?,?,?)",
                            (book_id, sid, gang_ids[g], None, iso(s_d), iso(f_d), hrs, act, bstate))
            for p in plants:
                if rng.random() < 0.4:
                    book_id += 1
                    hrs = float(max(1, days * rng.choice([4, 6, 8])))
                    act = round(hrs * pct / 100 * rng.uniform(0.7, 1.4), 1)
                    bstate = "Released" if status == "Parked" else (
                        "Firm" if status != "Planned" else rng.choice(["Firm", "Pencilled"]))
                    con.execute("INSERT INTO res_booking VALUES (?,?,?,?,?,?,?,?,?)",
                                (book_id, sid, None, plant_ids[p], iso(s_d), iso(f_d), hrs, act, bstate))
            for ctype in rng.sample(COST_TYPES, rng.randint(1, 3)):
                cost_id += 1
                budget_c = rng.randint(8, 400) * 250_000 + rng.randint(0, 99) * 100
                spent = int(budget_c * pct / 100 * rng.uniform(0.85, 1.35))
                committed = max(spent, int(budget_c * (rng.uniform(0.6, 1.0) if status != "Planned" else
                                                       rng.choice([0.0, 0.0, 0.5]))))
                ccode = f"CC-{pn}{COST_TYPES.index(ctype) + 1}{s + 1}"
                con.execute("INSERT INTO cost_line VALUES (?,?,?,?,?,?,?,?)",
                            (cost_id, sid, ccode, ctype, s_d.strftime("%Y-%m"), budget_c, committed, spent))

        # inspections on finished or running work
        for sid, s, title, days, s_d, f_d, status, pct in prog_steps:
            if days == 0 or status not in ("Done", "Underway") or rng.random() > 0.45:
                continue
            insp_id += 1
            when = f_d if status == "Done" else min(DATA_DATE, s_d + dt.timedelta(days=7))
            result = rng.choice(["Pass", "Pass", "Pass", "Pass with Comments", "Fail"])
            defects = 0 if result == "Pass" else rng.randint(1, 6)
            con.execute("INSERT INTO qa_inspection VALUES (?,?,?,?,?,?,?,?,?)",
                        (insp_id, sid, f"ITP-{pn}-{insp_id:03d}",
                         rng.choice(["Hold Point", "Witness Point", "Surveillance", "Surveillance"]),
                         person_ids[rng.choice(inspectors)], iso(when), result, "Y" if result == "Fail" else "N",
                         defects))

        # risks
        step_pool = [p[0] for p in prog_steps if p[6] != "Done"] or [p[0] for p in prog_steps]
        for k in range(rng.randint(4, 7)):
            risk_id += 1
            title, sev = rng.choice(RISKS)
            rstate = "Closed" if state == "Handed Over" else rng.choice(RISK_STATES)
            raised = start_d + dt.timedelta(days=rng.randint(-60, 200))
            if raised > data_d:
                raised = data_d - dt.timedelta(days=rng.randint(5, 120))
            con.execute("INSERT INTO risk_item VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                        (risk_id, pn, rng.choice(step_pool + [None]), f"RSK-{pn:02d}{k + 1:02d}", title, sev,
                         rng.choice([10, 20, 30, 50, 70, 90]), rng.choice([2, 5, 10, 15, 20, 40]), rstate,
                         person_ids[rng.choice([mgr] + office)], iso(raised)))

        # site events between start and the data date
        if state != "Pre-Construction":
            day = start_d + dt.timedelta(days=rng.randint(1, 5))
            while day <= data_d:
                if day.weekday() < 6:
                    event_id += 1
                    r = rng.random()
                    cat = EVENT_CATS[-1][0]
                    for c, w in EVENT_CATS:
                        if r < w:
                            cat = c
                            break
                        r -= w
                    if cat == "Possession Overrun" and template is not DEPOT:
                        cat = "Weather"
                    lost = {"Weather": rng.choice([2.0, 4.0, 8.0]), "Late Delivery": rng.choice([1.0, 3.0]),
                            "Access": 2.0, "Utility Strike": 16.0, "Accident": 6.0, "Client Visit": 0.0,
                            "Possession Overrun": rng.choice([4.0, 6.0])}[cat]
                    note = {"Weather": rng.choice(WEATHER_NOTES), "Late Delivery": "Delivery missed its slot",
                            "Access": "Gate blocked by third party", "Utility Strike": "Cable struck, area isolated",
                            "Accident": "Minor injury, work paused for investigation",
                            "Client Visit": "Client walk-round",
                            "Possession Overrun": "Handback late, trains held"}[cat]
                    con.execute("INSERT INTO site_event VALUES (?,?,?,?,?,?,?)",
                                (event_id, pn, iso(day), cat, lost, rng.randint(12, 85), note))
                day += dt.timedelta(days=rng.choice([4, 6, 9, 12]))

        # baselines
        labels = [("BL0 Contract", start_d - dt.timedelta(days=21), "Y")]
        if pn in (1, 2, 6):
            labels.append(("BL1 Re-plan", start_d + dt.timedelta(days=150), "Y"))
        if state == "Pre-Construction":
            labels = [("BL0 Tender", dt.date(2025, 7, 18), "N")]
        for k, (label, captured, appr) in enumerate(labels):
            snap_id += 1
            current = "Y" if k == len(labels) - 1 else "N"
            con.execute("INSERT INTO baseline_snapshot VALUES (?,?,?,?,?,?)",
                        (snap_id, pn, label, iso(captured), appr, current))
            shift = 0
            for sid, s, title, days, s_d, f_d, status, pct in prog_steps:
                if rng.random() < 0.3:
                    shift += rng.choice([1, 2, 3, 5]) if k == 0 else rng.choice([0, 1, 2])
                if offset < 0 or pn == 7:
                    sh = shift
                else:
                    sh = shift // 3
                bs = s_d - dt.timedelta(days=sh)
                bd = max(0, days + rng.choice([0, 0, 0, -2, -1, 2])) if days else 0
                bf = bs + dt.timedelta(days=(bd * 7 // WORKDAYS_PER_WEEK[pat]) - 1) if bd else bs
                bls_id += 1
                con.execute("INSERT INTO baseline_step VALUES (?,?,?,?,?,?)",
                            (bls_id, snap_id, sid, iso(bs), iso(bf), bd))
    con.commit()
    return con


TABLE_META = {
    "cal_pattern": ("Working-time patterns used to schedule programmes: which weekdays are worked and hours a day", {
        "pattern_id": ("Pattern identifier", "INTEGER"),
        "pattern_name": ("Name of the working pattern", "TEXT"),
        "work_days": ("Weekdays worked, e.g. Mon-Fri", "TEXT"),
        "hrs_per_day": ("Working hours in one working day; converts lag_hours to days", "REAL"),
    }),
    "cal_day_off": ("Non-working dates of a pattern (bank holidays, shutdowns)", {
        "day_off_id": ("Day-off identifier", "INTEGER"),
        "pattern_id": ("Pattern the date belongs to (cal_pattern.pattern_id)", "INTEGER"),
        "off_date": ("Non-working date", "DATE"),
        "reason": ("Why the date is not worked", "TEXT"),
    }),
    "res_person": ("People on the books: office staff, chargehands and operatives, direct or supplied", {
        "person_id": ("Person identifier", "INTEGER"),
        "staff_no": ("Staff number, e.g. P-1004", "TEXT"),
        "full_name": ("First name and surname", "TEXT"),
        "role_title": ("Job role", "TEXT"),
        "employer": ("Company employing the person", "TEXT"),
        "day_rate_gbp": ("Day rate charged for the person, GBP", "REAL"),
        "gang_id": ("Gang the person works in (res_gang.gang_id); null for office staff", "INTEGER"),
    }),
    "res_gang": ("Gangs: labour teams of one trade, in-house or from a supplier", {
        "gang_id": ("Gang identifier", "INTEGER"),
        "gang_code": ("Gang code, e.g. GG-ELE1", "TEXT"),
        "gang_label": ("Everyday name of the gang", "TEXT"),
        "trade": ("Trade of the gang", "TEXT"),
        "supplier": ("Supplying company, or In-house", "TEXT"),
        "headcount": ("Usual number of people in the gang", "INTEGER"),
        "lead_person_id": ("Chargehand leading the gang (res_person.person_id)", "INTEGER"),
    }),
    "res_plant": ("Plant items (machines) owned or hired", {
        "plant_id": ("Plant identifier", "INTEGER"),
        "plant_no": ("Plant number, e.g. PL-EXC02", "TEXT"),
        "plant_desc": ("Description of the machine", "TEXT"),
        "plant_class": ("Class of plant", "TEXT"),
        "owned_hired": ("Owned or Hired", "TEXT"),
        "rate_per_day": ("Daily rate in GBP", "REAL"),
    }),
    "sch_programme": ("Programmes: one row per contract programme, with its dates and data date", {
        "programme_id": ("Programme identifier", "INTEGER"),
        "prog_code": ("Programme code, e.g. PRG-03", "TEXT"),
        "prog_name": ("Name of the programme", "TEXT"),
        "client_org": ("Client organisation", "TEXT"),
        "site_location": ("Town of the site", "TEXT"),
        "delivery_state": ("Where the programme is in its life", "TEXT"),
        "manager_person_id": ("Programme manager (res_person.person_id)", "INTEGER"),
        "budget_gbp": ("Approved budget, GBP", "REAL"),
        "start_planned": ("Planned start on site", "DATE"),
        "finish_contract": ("Completion date in the contract", "DATE"),
        "finish_forecast": ("Forecast completion from the current schedule", "DATE"),
        "data_date": ("Date progress was last recorded to", "DATE"),
        "pattern_id": ("Working pattern of the programme (cal_pattern.pattern_id)", "INTEGER"),
    }),
    "sch_stage": ("Stages: the breakdown of a programme into numbered stages of work", {
        "stage_id": ("Stage identifier", "INTEGER"),
        "programme_id": ("Programme (sch_programme.programme_id)", "INTEGER"),
        "stage_code": ("Stage code, programme number and stage number, e.g. WBS-03.2", "TEXT"),
        "stage_title": ("Title of the stage", "TEXT"),
        "seq_no": ("Order of the stage within its programme", "INTEGER"),
        "owner_person_id": ("Person answerable for the stage (res_person.person_id)", "INTEGER"),
    }),
    "sch_step": ("Steps of the schedule with early/late dates, float and progress", {
        "step_id": ("Step identifier", "INTEGER"),
        "programme_id": ("Programme (sch_programme.programme_id)", "INTEGER"),
        "stage_id": ("Stage (sch_stage.stage_id)", "INTEGER"),
        "step_ref": ("Step reference, e.g. ST-3210", "TEXT"),
        "step_title": ("Title of the step", "TEXT"),
        "step_kind": ("Task or Milestone", "TEXT"),
        "step_status": ("Status of the step", "TEXT"),
        "dur_orig": ("Original duration, working days", "INTEGER"),
        "dur_left": ("Remaining duration, working days", "INTEGER"),
        "start_early": ("Early start", "DATE"),
        "finish_early": ("Early finish", "DATE"),
        "start_late": ("Late start", "DATE"),
        "finish_late": ("Late finish", "DATE"),
        "start_actual": ("Actual start; null until started", "DATE"),
        "finish_actual": ("Actual finish; null until done", "DATE"),
        "float_total": ("Total float in working days; negative when behind the contract date", "INTEGER"),
        "float_free": ("Free float in working days", "INTEGER"),
        "driving_path": ("Y when the step drives completion, else N", "TEXT"),
        "pct_physical": ("Physical percent complete, 0 to 100", "INTEGER"),
        "constraint_code": ("Date constraint: SNET start no earlier than, FNLT finish no later than", "TEXT"),
        "constraint_on": ("Date of the constraint", "DATE"),
    }),
    "sch_step_tie": ("Ties between steps: a from-step drives a to-step", {
        "tie_id": ("Tie identifier", "INTEGER"),
        "from_step_id": ("Driving step (sch_step.step_id)", "INTEGER"),
        "to_step_id": ("Driven step (sch_step.step_id)", "INTEGER"),
        "tie_type": ("Type of tie", "TEXT"),
        "lag_hours": ("Lag in working hours; see cal_pattern.hrs_per_day", "INTEGER"),
    }),
    "res_booking": ("Bookings of a gang or a plant item on a step, with planned and actual hours", {
        "booking_id": ("Booking identifier", "INTEGER"),
        "step_id": ("Step (sch_step.step_id)", "INTEGER"),
        "gang_id": ("Gang booked (res_gang.gang_id); null for a plant booking", "INTEGER"),
        "plant_id": ("Plant booked (res_plant.plant_id); null for a gang booking", "INTEGER"),
        "booked_from": ("First day booked", "DATE"),
        "booked_to": ("Last day booked", "DATE"),
        "hrs_planned": ("Planned hours", "REAL"),
        "hrs_actual": ("Hours worked to date", "REAL"),
        "booking_state": ("State of the booking", "TEXT"),
    }),
    "cost_line": ("Cost lines of a step: budget, committed and spent money in pence", {
        "cost_line_id": ("Cost line identifier", "INTEGER"),
        "step_id": ("Step (sch_step.step_id)", "INTEGER"),
        "cost_code": ("Cost code", "TEXT"),
        "cost_type": ("Kind of cost", "TEXT"),
        "period_month": ("Month the cost is phased to, YYYY-MM", "TEXT"),
        "budget_cents": ("Budget in pence (divide by 100 for GBP)", "INTEGER"),
        "committed_cents": ("Committed by order, in pence", "INTEGER"),
        "spent_cents": ("Spent to date, in pence", "INTEGER"),
    }),
    "risk_item": ("Risk register of a programme, optionally against one step", {
        "risk_id": ("Risk identifier", "INTEGER"),
        "programme_id": ("Programme (sch_programme.programme_id)", "INTEGER"),
        "step_id": ("Step exposed (sch_step.step_id); null for programme-wide risks", "INTEGER"),
        "risk_no": ("Risk number, e.g. RSK-0203", "TEXT"),
        "risk_title": ("Short description", "TEXT"),
        "severity": ("Severity", "TEXT"),
        "prob_pct": ("Probability in percent", "INTEGER"),
        "impact_days": ("Delay in working days if it occurs", "INTEGER"),
        "risk_state": ("State of the risk", "TEXT"),
        "owner_person_id": ("Risk owner (res_person.person_id)", "INTEGER"),
        "raised_on": ("Date raised", "DATE"),
    }),
    "qa_inspection": ("Quality inspections of work on a step against the inspection and test plan", {
        "inspection_id": ("Inspection identifier", "INTEGER"),
        "step_id": ("Step inspected (sch_step.step_id)", "INTEGER"),
        "itp_ref": ("Inspection and test plan reference", "TEXT"),
        "check_type": ("Kind of check", "TEXT"),
        "inspector_person_id": ("Inspector (res_person.person_id)", "INTEGER"),
        "inspected_on": ("Date of the inspection", "DATE"),
        "result": ("Outcome", "TEXT"),
        "ncr_raised": ("Y when a non-conformance report was raised", "TEXT"),
        "defects_count": ("Defects recorded", "INTEGER"),
    }),
    "site_event": ("Events recorded on site that cost working time, and visits", {
        "event_id": ("Event identifier", "INTEGER"),
        "programme_id": ("Programme (sch_programme.programme_id)", "INTEGER"),
        "event_date": ("Date of the event", "DATE"),
        "event_cat": ("Category of event", "TEXT"),
        "hours_lost": ("Working hours lost", "REAL"),
        "operatives_on_site": ("Operatives signed in that day", "INTEGER"),
        "narrative": ("What happened", "TEXT"),
    }),
    "baseline_snapshot": ("Saved baselines of a programme", {
        "snapshot_id": ("Snapshot identifier", "INTEGER"),
        "programme_id": ("Programme (sch_programme.programme_id)", "INTEGER"),
        "snapshot_label": ("Label of the baseline", "TEXT"),
        "captured_on": ("Date the baseline was saved", "DATE"),
        "approved": ("Y when the client accepted the baseline", "TEXT"),
        "is_current": ("Y for the baseline progress is measured against", "TEXT"),
    }),
    "baseline_step": ("Dates of each step as held in a baseline", {
        "baseline_step_id": ("Baseline step identifier", "INTEGER"),
        "snapshot_id": ("Baseline (baseline_snapshot.snapshot_id)", "INTEGER"),
        "step_id": ("Step (sch_step.step_id)", "INTEGER"),
        "bl_start": ("Baseline start", "DATE"),
        "bl_finish": ("Baseline finish", "DATE"),
        "bl_dur": ("Baseline duration, working days", "INTEGER"),
    }),
}

RELATIONSHIPS = [
    ("cal_day_off", "cal_pattern", "cal_day_off.pattern_id = cal_pattern.pattern_id", "Days off of a pattern"),
    ("res_person", "res_gang", "res_person.gang_id = res_gang.gang_id", "Gang a person works in"),
    ("res_gang", "res_person", "res_gang.lead_person_id = res_person.person_id", "Chargehand of a gang"),
    ("sch_programme", "res_person", "sch_programme.manager_person_id = res_person.person_id",
     "Manager of a programme"),
    ("sch_programme", "cal_pattern", "sch_programme.pattern_id = cal_pattern.pattern_id",
     "Working pattern of a programme"),
    ("sch_stage", "sch_programme", "sch_stage.programme_id = sch_programme.programme_id", "Stages of a programme"),
    ("sch_stage", "res_person", "sch_stage.owner_person_id = res_person.person_id", "Owner of a stage"),
    ("sch_step", "sch_programme", "sch_step.programme_id = sch_programme.programme_id", "Steps of a programme"),
    ("sch_step", "sch_stage", "sch_step.stage_id = sch_stage.stage_id", "Stage of a step"),
    ("sch_step_tie", "sch_step", "sch_step_tie.from_step_id = sch_step.step_id", "Driving step of a tie"),
    ("sch_step_tie", "sch_step", "sch_step_tie.to_step_id = sch_step.step_id", "Driven step of a tie"),
    ("res_booking", "sch_step", "res_booking.step_id = sch_step.step_id", "Step a booking is for"),
    ("res_booking", "res_gang", "res_booking.gang_id = res_gang.gang_id", "Gang booked"),
    ("res_booking", "res_plant", "res_booking.plant_id = res_plant.plant_id", "Plant booked"),
    ("cost_line", "sch_step", "cost_line.step_id = sch_step.step_id", "Step a cost line belongs to"),
    ("risk_item", "sch_programme", "risk_item.programme_id = sch_programme.programme_id", "Risks of a programme"),
    ("risk_item", "sch_step", "risk_item.step_id = sch_step.step_id", "Step a risk threatens"),
    ("risk_item", "res_person", "risk_item.owner_person_id = res_person.person_id", "Owner of a risk"),
    ("qa_inspection", "sch_step", "qa_inspection.step_id = sch_step.step_id", "Step inspected"),
    ("qa_inspection", "res_person", "qa_inspection.inspector_person_id = res_person.person_id", "Inspector"),
    ("site_event", "sch_programme", "site_event.programme_id = sch_programme.programme_id",
     "Events on a programme's site"),
    ("baseline_snapshot", "sch_programme", "baseline_snapshot.programme_id = sch_programme.programme_id",
     "Baselines of a programme"),
    ("baseline_step", "baseline_snapshot", "baseline_step.snapshot_id = baseline_snapshot.snapshot_id",
     "Snapshot a baseline row belongs to"),
    ("baseline_step", "sch_step", "baseline_step.step_id = sch_step.step_id", "Step a baseline row holds"),
]

BUSINESS_RULES = {
    ("sch_programme", "delivery_state"): ["Allowed Values: Pre-Construction, On Site, Mothballed, Handed Over"],
    ("sch_step", "step_status"): ["Allowed Values: Planned, Underway, Done, Parked"],
    ("sch_step", "step_kind"): ["Allowed Values: Task, Milestone"],
    ("sch_step", "driving_path"): ["driving_path = 'Y' for unfinished steps whose float_total equals the "
                                   "lowest float_total of the programme's unfinished steps"],
    ("sch_step", "constraint_code"): ["Allowed Values: SNET, FNLT"],
    ("sch_step_tie", "tie_type"): ["Allowed Values: FS, SS, FF, SF"],
    ("sch_step_tie", "lag_hours"): ["Lag in days = lag_hours / cal_pattern.hrs_per_day of the programme"],
    ("res_booking", "booking_state"): ["Allowed Values: Firm, Pencilled, Released"],
    ("res_booking", "gang_id"): ["Exactly one of gang_id and plant_id is set"],
    ("cost_line", "cost_type"): ["Allowed Values: Labour, Plant, Materials, Subcontract"],
    ("cost_line", "budget_cents"): ["Money in pence: budget_cents / 100.0 gives GBP"],
    ("risk_item", "severity"): ["Allowed Values: Minor, Moderate, Major, Critical"],
    ("risk_item", "risk_state"): ["Allowed Values: Open, Mitigating, Closed, Occurred"],
    ("qa_inspection", "result"): ["Allowed Values: Pass, Pass with Comments, Fail"],
    ("qa_inspection", "check_type"): ["Allowed Values: Hold Point, Witness Point, Surveillance"],
    ("site_event", "event_cat"): ["Allowed Values: Weather, Late Delivery, Access, Utility Strike, Accident, "
                                  "Client Visit, Possession Overrun"],
    ("res_plant", "owned_hired"): ["Allowed Values: Owned, Hired"],
}

CONCEPTS = {
    ("sch_step", "float_total"): ["total_float", "driving_path"],
    ("sch_step", "float_free"): ["free_float"],
    ("sch_step", "driving_path"): ["driving_path"],
    ("sch_step", "pct_physical"): ["physical_progress"],
    ("sch_step_tie", "lag_hours"): ["lag"],
    ("baseline_step", "bl_finish"): ["slippage"],
    ("sch_programme", "finish_forecast"): ["slippage"],
    ("risk_item", "prob_pct"): ["risk_exposure"],
    ("risk_item", "impact_days"): ["risk_exposure"],
    ("cost_line", "spent_cents"): ["cost_to_date"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days a step can move before the programme misses its completion date",
    "free_float": "Working days a step can move before it delays the next step",
    "driving_path": "The chain of steps with the lowest float that fixes the completion date",
    "physical_progress": "Share of a step's work physically in place",
    "lag": "Delay imposed on a tie between two steps",
    "slippage": "How far current dates sit after the baseline or contract dates",
    "risk_exposure": "Probability of a risk times the days it would cost",
    "cost_to_date": "Money spent on a step so far",
}

QUERY_EXAMPLES = [
    ("SELECT p.prog_code, p.prog_name, p.finish_contract, p.finish_forecast FROM sch_programme p "
     "WHERE p.delivery_state = 'On Site' ORDER BY p.finish_forecast;",
     "Programmes on site with contract and forecast completion", "simple"),
    ("SELECT s.step_ref, s.step_title, s.float_total FROM sch_step s JOIN sch_programme p "
     "ON p.programme_id = s.programme_id WHERE p.prog_code = 'PRG-03' AND s.driving_path = 'Y' "
     "ORDER BY s.start_early;",
     "Driving-path steps of one programme", "simple"),
    ("SELECT s.step_ref, s.step_title, s.start_early FROM sch_step s WHERE s.step_status = 'Planned' "
     "AND s.start_early < '2025-11-01' ORDER BY s.start_early;",
     "Steps not yet started that should start before a given date", "simple"),
    ("SELECT f.step_ref AS driving, t.step_ref AS driven, x.tie_type, x.lag_hours FROM sch_step_tie x "
     "JOIN sch_step f ON f.step_id = x.from_step_id JOIN sch_step t ON t.step_id = x.to_step_id "
     "WHERE t.step_ref = 'ST-1310';",
     "Predecessors of one step with tie type and lag", "medium"),
    ("SELECT g.gang_label, SUM(b.hrs_planned) AS planned, SUM(b.hrs_actual) AS worked FROM res_booking b "
     "JOIN res_gang g ON g.gang_id = b.gang_id GROUP BY g.gang_id, g.gang_label ORDER BY planned DESC;",
     "Planned against worked hours per gang", "medium"),
    ("SELECT c.cost_type, SUM(c.budget_cents) / 100.0 AS budget_gbp, SUM(c.spent_cents) / 100.0 AS spent_gbp "
     "FROM cost_line c WHERE c.period_month = '2025-03' GROUP BY c.cost_type;",
     "Budget and spend by cost type in a given month", "medium"),
    ("SELECT e.event_cat, SUM(e.hours_lost) AS hours FROM site_event e JOIN sch_programme p "
     "ON p.programme_id = e.programme_id WHERE p.prog_code = 'PRG-02' GROUP BY e.event_cat ORDER BY hours DESC;",
     "Hours lost by event category for one programme", "medium"),
    ("SELECT s.step_ref, s.step_title, b.bl_finish, s.finish_early, "
     "julianday(s.finish_early) - julianday(b.bl_finish) AS days_late FROM sch_step s "
     "JOIN baseline_step b ON b.step_id = s.step_id JOIN baseline_snapshot n ON n.snapshot_id = b.snapshot_id "
     "WHERE n.is_current = 'Y' AND s.programme_id = 1 ORDER BY days_late DESC;",
     "Finish slippage of each step against the current baseline for one programme", "complex"),
]

KEYWORDS = {
    "float": ["sch_step.float_total", "sch_step.float_free", "total_float"],
    "driving": ["sch_step.driving_path", "driving_path"],
    "tie": ["sch_step_tie", "sch_step_tie.tie_type"],
    "lag": ["sch_step_tie.lag_hours", "lag"],
    "gang": ["res_gang", "res_booking.gang_id"],
    "plant": ["res_plant", "res_booking.plant_id"],
    "risk": ["risk_item", "risk_exposure"],
    "inspection": ["qa_inspection"],
    "baseline": ["baseline_snapshot", "baseline_step"],
    "stage": ["sch_stage"],
    "pence": ["cost_line.budget_cents", "cost_line.spent_cents", "cost_line.committed_cents"],
}

TERMINOLOGY = {
    "FS": "Finish-start tie: the to-step starts after the from-step finishes",
    "SS": "Start-start tie",
    "FF": "Finish-finish tie",
    "SF": "Start-finish tie",
    "SNET": "Start no earlier than",
    "FNLT": "Finish no later than",
    "data date": "Date up to which progress is recorded",
    "ITP": "Inspection and test plan",
    "NCR": "Non-conformance report",
    "chargehand": "Working leader of a gang",
    "take-over": "Client accepting the finished works",
    "possession": "Period when the railway is handed to the contractor",
}

RELATED_TERMS = {
    "res_gang": "crew, team, labour",
    "res_plant": "equipment, machine",
    "site_event": "delay event, site diary",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS,
                             covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout5"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata)


if __name__ == "__main__":
    sys.exit(main())
