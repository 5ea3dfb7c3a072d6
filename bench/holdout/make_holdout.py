#!/usr/bin/env python3
"""Build the holdout scheduling database and its metadata document.

The holdout schema is a second, independently designed project-scheduling
database (singular snake_case table names: job, task, task_link, crew, ...).
It is used only to check that schema linking generalises beyond the sample
database; nothing is ever tuned against it.

Outputs, written to --out (default bench/out/holdout/ under the repository):
  holdout_schedule.db       SQLite database
  holdout_metadata.json     metadata document in the loader's format

Usage:
  python bench/holdout/make_holdout.py [--out DIR]
  python bench/holdout/make_holdout.py --check [--questions FILE] [--verbose]

--check builds the outputs and then runs every gold statement (and every
previous_sql) of questions.json against the database, reporting the row
count of each; it exits with status 1 if a statement fails, returns no rows,
or names tables that differ from gold_tables.

Standard library only; deterministic (fixed seed); runs in well under a second.
"""

import datetime as dt
import json
import os
import random
import re
import sqlite3
import sys

SEED = 20250214
DATA_DATE = dt.date(2025, 2, 14)  # status date of the live schedules
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from gold_check import referenced_tables  # noqa: E402
from schedule_build import default_out, describe_tables, main as build_main, metadata_document  # noqa: E402
DB_NAME = "holdout_schedule.db"
META_NAME = "holdout_metadata.json"

# ---------------------------------------------------------------------------
# Schema
# ---------------------------------------------------------------------------

DDL = """
CREATE TABLE shift_calendar (
    calendar_id     INTEGER PRIMARY KEY,
    cal_name        TEXT NOT NULL,
    days_per_week   INTEGER NOT NULL,
    hrs_per_day     REAL NOT NULL,
    shift_start     TEXT NOT NULL,
    is_night_shift  INTEGER NOT NULL
);
CREATE TABLE calendar_holiday (
    holiday_id      INTEGER PRIMARY KEY,
    calendar_id     INTEGER NOT NULL REFERENCES shift_calendar(calendar_id),
    holiday_date    TEXT NOT NULL,
    label           TEXT NOT NULL
);
CREATE TABLE job (
    job_id          INTEGER PRIMARY KEY,
    job_no          TEXT NOT NULL UNIQUE,
    title           TEXT NOT NULL,
    client          TEXT NOT NULL,
    site_town       TEXT NOT NULL,
    sector          TEXT NOT NULL,
    state           TEXT NOT NULL,
    job_manager     TEXT NOT NULL,
    contract_value  REAL NOT NULL,
    calendar_id     INTEGER NOT NULL REFERENCES shift_calendar(calendar_id),
    planned_start   TEXT NOT NULL,
    planned_end     TEXT NOT NULL,
    forecast_end    TEXT,
    actual_end      TEXT,
    status_date     TEXT NOT NULL
);
CREATE TABLE job_phase (
    phase_id        INTEGER PRIMARY KEY,
    job_id          INTEGER NOT NULL REFERENCES job(job_id),
    wbs_code        TEXT NOT NULL,
    title           TEXT NOT NULL,
    seq_no          INTEGER NOT NULL,
    phase_lead      TEXT NOT NULL,
    budget_hrs      REAL NOT NULL
);
CREATE TABLE task (
    task_id         INTEGER PRIMARY KEY,
    job_id          INTEGER NOT NULL REFERENCES job(job_id),
    phase_id        INTEGER NOT NULL REFERENCES job_phase(phase_id),
    task_ref        TEXT NOT NULL UNIQUE,
    title           TEXT NOT NULL,
    task_kind       TEXT NOT NULL,
    state           TEXT NOT NULL,
    orig_dur_days   INTEGER NOT NULL,
    rem_dur_days    INTEGER NOT NULL,
    planned_start   TEXT NOT NULL,
    planned_end     TEXT NOT NULL,
    early_start     TEXT NOT NULL,
    early_finish    TEXT NOT NULL,
    late_start      TEXT NOT NULL,
    late_finish     TEXT NOT NULL,
    actual_start    TEXT,
    actual_end      TEXT,
    forecast_end    TEXT NOT NULL,
    slack_days      INTEGER NOT NULL,
    free_slack_days INTEGER NOT NULL,
    pct_done        REAL NOT NULL,
    on_critical_path INTEGER NOT NULL
);
CREATE TABLE task_link (
    link_id         INTEGER PRIMARY KEY,
    pred_task_id    INTEGER NOT NULL REFERENCES task(task_id),
    succ_task_id    INTEGER NOT NULL REFERENCES task(task_id),
    link_kind       TEXT NOT NULL,
    lag_days        INTEGER NOT NULL,
    is_driving      INTEGER NOT NULL
);
CREATE TABLE baseline_task (
    bl_id           INTEGER PRIMARY KEY,
    task_id         INTEGER NOT NULL REFERENCES task(task_id),
    baseline_no     INTEGER NOT NULL,
    captured_on     TEXT NOT NULL,
    bl_start        TEXT NOT NULL,
    bl_end          TEXT NOT NULL,
    bl_dur_days     INTEGER NOT NULL
);
CREATE TABLE crew (
    crew_id         INTEGER PRIMARY KEY,
    crew_name       TEXT NOT NULL,
    trade           TEXT NOT NULL,
    headcount       INTEGER NOT NULL,
    supplier        TEXT NOT NULL,
    day_rate        REAL NOT NULL,
    calendar_id     INTEGER NOT NULL REFERENCES shift_calendar(calendar_id)
);
CREATE TABLE crew_booking (
    booking_id      INTEGER PRIMARY KEY,
    crew_id         INTEGER NOT NULL REFERENCES crew(crew_id),
    task_id         INTEGER NOT NULL REFERENCES task(task_id),
    booked_from     TEXT NOT NULL,
    booked_to       TEXT NOT NULL,
    hrs_planned     REAL NOT NULL,
    hrs_actual      REAL NOT NULL
);
CREATE TABLE equipment (
    equip_id        INTEGER PRIMARY KEY,
    tag_no          TEXT NOT NULL UNIQUE,
    equip_name      TEXT NOT NULL,
    category        TEXT NOT NULL,
    ownership       TEXT NOT NULL,
    daily_rate      REAL NOT NULL,
    state           TEXT NOT NULL,
    next_service_due TEXT
);
CREATE TABLE equipment_booking (
    booking_id      INTEGER PRIMARY KEY,
    equip_id        INTEGER NOT NULL REFERENCES equipment(equip_id),
    task_id         INTEGER NOT NULL REFERENCES task(task_id),
    booked_from     TEXT NOT NULL,
    booked_to       TEXT NOT NULL,
    hrs_used        REAL NOT NULL
);
CREATE TABLE progress_update (
    update_id       INTEGER PRIMARY KEY,
    task_id         INTEGER NOT NULL REFERENCES task(task_id),
    status_date     TEXT NOT NULL,
    pct_done        REAL NOT NULL,
    rem_dur_days    INTEGER NOT NULL,
    reported_by     TEXT NOT NULL,
    remark          TEXT
);
CREATE TABLE issue_log (
    issue_id        INTEGER PRIMARY KEY,
    job_id          INTEGER NOT NULL REFERENCES job(job_id),
    task_id         INTEGER REFERENCES task(task_id),
    issue_ref       TEXT NOT NULL UNIQUE,
    title           TEXT NOT NULL,
    category        TEXT NOT NULL,
    severity        TEXT NOT NULL,
    state           TEXT NOT NULL,
    raised_by       TEXT NOT NULL,
    owner           TEXT NOT NULL,
    raised_on       TEXT NOT NULL,
    target_date     TEXT NOT NULL,
    closed_on       TEXT,
    est_delay_days  INTEGER NOT NULL
);
CREATE TABLE change_order (
    co_id           INTEGER PRIMARY KEY,
    job_id          INTEGER NOT NULL REFERENCES job(job_id),
    co_no           TEXT NOT NULL UNIQUE,
    title           TEXT NOT NULL,
    reason          TEXT NOT NULL,
    state           TEXT NOT NULL,
    submitted_on    TEXT NOT NULL,
    decided_on      TEXT,
    cost_delta      REAL NOT NULL,
    time_delta_days INTEGER NOT NULL
);
CREATE TABLE inspection (
    inspection_id   INTEGER PRIMARY KEY,
    task_id         INTEGER NOT NULL REFERENCES task(task_id),
    inspection_kind TEXT NOT NULL,
    inspected_on    TEXT NOT NULL,
    inspector       TEXT NOT NULL,
    outcome         TEXT NOT NULL,
    reinspect_needed INTEGER NOT NULL,
    notes           TEXT
);
CREATE TABLE weather_delay (
    delay_id        INTEGER PRIMARY KEY,
    job_id          INTEGER NOT NULL REFERENCES job(job_id),
    delay_date      TEXT NOT NULL,
    condition       TEXT NOT NULL,
    hrs_lost        REAL NOT NULL,
    rain_mm         REAL,
    wind_kmh        REAL,
    claimable       INTEGER NOT NULL
);
CREATE INDEX ix_calendar_holiday_cal ON calendar_holiday(calendar_id);
CREATE INDEX ix_job_phase_job ON job_phase(job_id);
CREATE INDEX ix_task_job ON task(job_id);
CREATE INDEX ix_task_phase ON task(phase_id);
CREATE INDEX ix_task_state ON task(state);
CREATE INDEX ix_task_link_pred ON task_link(pred_task_id);
CREATE INDEX ix_task_link_succ ON task_link(succ_task_id);
CREATE INDEX ix_baseline_task_task ON baseline_task(task_id);
CREATE INDEX ix_crew_booking_crew ON crew_booking(crew_id);
CREATE INDEX ix_crew_booking_task ON crew_booking(task_id);
CREATE INDEX ix_equipment_booking_equip ON equipment_booking(equip_id);
CREATE INDEX ix_equipment_booking_task ON equipment_booking(task_id);
CREATE INDEX ix_progress_update_task ON progress_update(task_id);
CREATE INDEX ix_issue_log_job ON issue_log(job_id);
CREATE INDEX ix_issue_log_task ON issue_log(task_id);
CREATE INDEX ix_change_order_job ON change_order(job_id);
CREATE INDEX ix_inspection_task ON inspection(task_id);
CREATE INDEX ix_weather_delay_job ON weather_delay(job_id);
"""

# ---------------------------------------------------------------------------
# Reference data
# ---------------------------------------------------------------------------

CALENDARS = [
    # id, name, days/week, hrs/day, shift start, night
    (1, "Standard 5-Day", 5, 8.0, "07:30", 0),
    (2, "6-Day Week", 6, 9.0, "07:00", 0),
    (3, "7-Day Continuous", 7, 10.0, "06:00", 0),
    (4, "Night Works 5x10", 5, 10.0, "20:00", 1),
    (5, "Compressed 4x10", 4, 10.0, "06:30", 0),
]

PUBLIC_HOLIDAYS = [
    ("2023-12-25", "Christmas Day"), ("2023-12-26", "Boxing Day"),
    ("2024-01-01", "New Year's Day"), ("2024-03-29", "Good Friday"),
    ("2024-04-01", "Easter Monday"), ("2024-05-06", "Early May Bank Holiday"),
    ("2024-05-27", "Spring Bank Holiday"), ("2024-08-26", "Summer Bank Holiday"),
    ("2024-12-25", "Christmas Day"), ("2024-12-26", "Boxing Day"),
    ("2025-01-01", "New Year's Day"), ("2025-04-18", "Good Friday"),
    ("2025-04-21", "Easter Monday"), ("2025-05-05", "Early May Bank Holiday"),
    ("2025-05-26", "Spring Bank Holiday"), ("2025-08-25", "Summer Bank Holiday"),
    ("2025-12-25", "Christmas Day"), ("2025-12-26", "Boxing Day"),
    ("2026-01-01", "New Year's Day"), ("2026-04-03", "Good Friday"),
    ("2026-04-06", "Easter Monday"),
]
SHUTDOWNS = [
    ("2023-12-27", "2023-12-29", "Christmas Shutdown"),
    ("2024-12-27", "2024-12-31", "Christmas Shutdown"),
    ("2025-12-29", "2025-12-31", "Christmas Shutdown"),
]

PEOPLE = [
    "Priya Natarajan", "Tom Okafor", "Helen Marsh", "Dariusz Nowak",
    "Grace Liu", "Sean Doyle", "Amara Mensah", "Luis Ortega",
    "Fiona Keane", "Rajesh Iyer", "Beth Calloway", "Marcus Webb",
]
INSPECTORS = {
    "Water": ["J. Hartley (Clerk of Works)", "S. Brennan (Client Engineer)", "M. Petrov (Independent QA)"],
    "Highways": ["R. Adeyemi (Council Bridge Engineer)", "M. Petrov (Independent QA)"],
    "Buildings": ["K. Osei (Building Control)", "J. Hartley (Clerk of Works)", "M. Petrov (Independent QA)"],
    "Power": ["A. Lindqvist (Network Operator)", "M. Petrov (Independent QA)"],
}

# crew_name, trade, headcount, supplier, day_rate, calendar_id
CREWS = [
    ("Concrete Crew A", "Concrete", 6, "In-house", 2650.0, 1),
    ("Concrete Crew B", "Concrete", 5, "Castlerock Concrete Ltd", 2480.0, 2),
    ("Formwork Crew", "Formwork", 5, "In-house", 2300.0, 1),
    ("Earthworks Crew", "Earthworks", 4, "Dunmore Civils", 2100.0, 2),
    ("Steel Erectors", "Steel", 6, "Ironbridge Steel", 3150.0, 1),
    ("Mechanical Fitters", "Mechanical", 4, "In-house", 2200.0, 1),
    ("Pipefitters", "Pipework", 4, "Hollis Pipe & Valve", 2350.0, 1),
    ("Electricians", "Electrical", 6, "Brightline Electrical", 2900.0, 1),
    ("Controls Engineers", "Controls", 2, "Syncro Automation", 1650.0, 1),
    ("Commissioning Team", "Commissioning", 3, "In-house", 2050.0, 3),
    ("Scaffolders", "Scaffolding", 4, "Highreach Scaffolding", 1800.0, 2),
    ("Roofing Crew", "Roofing", 5, "Apex Roofing Systems", 2250.0, 2),
    ("Finishing Trades", "Finishes", 8, "Carrow Interiors", 3300.0, 1),
    ("Survey Team", "Survey", 2, "In-house", 1250.0, 1),
    ("General Labour Gang", "General", 6, "In-house", 1900.0, 1),
    ("Traffic Control Unit", "Traffic", 3, "RoadSafe TM", 1400.0, 4),
    ("Lining Specialists", "Lining", 4, "Relyne Pipe Services", 2750.0, 3),
]

# tag_no, name, category, ownership, daily_rate, state, next service due
EQUIPMENT = [
    ("TC-01", "Tower Crane 1", "Lifting", "Owned", 1450.0, "On Site", "2025-03-10"),
    ("TC-02", "Tower Crane 2", "Lifting", "Hired", 1620.0, "On Site", "2025-02-24"),
    ("MC-50", "Mobile Crane 50t", "Lifting", "Hired", 1300.0, "Available", "2025-04-02"),
    ("EX-20", "20t Excavator", "Earthmoving", "Owned", 520.0, "On Site", "2025-02-19"),
    ("EX-03", "Mini Excavator 3t", "Earthmoving", "Owned", 190.0, "Available", "2025-05-15"),
    ("VX-01", "Vacuum Excavator", "Earthmoving", "Hired", 640.0, "Available", None),
    ("RL-01", "Compaction Roller", "Earthmoving", "Owned", 260.0, "Under Repair", "2025-02-12"),
    ("CP-01", "Concrete Pump", "Concrete", "Hired", 880.0, "On Site", "2025-03-03"),
    ("HD-01", "Hydrodemolition Unit", "Concrete", "Hired", 1150.0, "On Site", "2025-02-28"),
    ("TH-01", "Telehandler", "Access", "Owned", 240.0, "On Site", "2025-04-20"),
    ("SL-01", "Scissor Lift", "Access", "Owned", 95.0, "Available", "2025-06-01"),
    ("BL-01", "Boom Lift", "Access", "Hired", 210.0, "On Site", "2025-03-18"),
    ("DP-01", "Dewatering Pump Set", "Pumping", "Owned", 150.0, "On Site", "2025-03-25"),
    ("OP-01", "Overpumping Set 150mm", "Pumping", "Hired", 330.0, "Available", None),
    ("GN-01", "Generator 100kVA", "Power", "Owned", 170.0, "On Site", "2025-02-21"),
    ("PR-01", "Piling Rig", "Piling", "Hired", 2400.0, "Off Hired", None),
    ("CC-01", "CCTV Sewer Camera", "Survey", "Owned", 310.0, "Available", "2025-05-30"),
    ("AP-01", "Asphalt Paver", "Surfacing", "Hired", 1750.0, "Available", None),
]

# Phase templates: (wbs title, [areas or None], [(activity, trade, tag or None, (dmin, dmax))])
JOBS = [
    {
        "job_no": "NWT", "title": "Northgate Water Treatment Upgrade",
        "client": "Northgate Water Authority", "site_town": "Northgate",
        "sector": "Water", "state": "Active", "manager": "Priya Natarajan",
        "value": 18_450_000.0, "calendar": 1, "start": "2024-03-04",
        "slip": 0.3, "target_wd": 430, "buffer_wd": 0,
        "phases": [
            ("Mobilisation & Enabling Works", None, [
                ("Site establishment and compound", "General", "TH-01", (5, 10)),
                ("Temporary power and water", "Electrical", "GN-01", (3, 6)),
                ("Survey and set-out", "Survey", None, (2, 4)),
                ("Service locating and potholing", "Earthworks", "VX-01", (4, 8)),
                ("Bypass pumping arrangement", "Pipework", "DP-01", (5, 9)),
                ("Demolish redundant filter house", "Earthworks", "EX-20", (8, 14)),
            ]),
            ("Civil & Structural", ["Inlet Works", "Clarifier 1", "Clarifier 2", "Filter Block", "Sludge Building", "Chemical Dosing Kiosk"], [
                ("Excavate foundations", "Earthworks", "EX-20", (5, 10)),
                ("Blinding and rebar fixing", "Concrete", None, (4, 8)),
                ("Pour base slab", "Concrete", "CP-01", (2, 4)),
                ("Form and pour walls", "Formwork", "TC-01", (10, 18)),
                ("Backfill and compact", "Earthworks", "RL-01", (3, 6)),
            ]),
            ("Process Mechanical", ["Inlet Works", "Clarifier 1", "Clarifier 2", "Filter Block", "Chemical Dosing Kiosk"], [
                ("Install scraper mechanism", "Mechanical", "MC-50", (6, 12)),
                ("Install process pipework", "Pipework", None, (10, 20)),
                ("Install pumps and valves", "Mechanical", "TH-01", (5, 10)),
                ("Hydrostatic pressure test", "Pipework", None, (2, 3)),
            ]),
            ("Electrical & Controls", ["MCC Room", "Inlet Works", "Filter Block", "Sludge Building"], [
                ("Install cable tray and containment", "Electrical", "SL-01", (6, 12)),
                ("Pull and terminate cables", "Electrical", None, (8, 15)),
                ("Install MCC panels", "Electrical", "TH-01", (3, 6)),
                ("SCADA configuration", "Controls", None, (5, 10)),
            ]),
            ("Testing & Commissioning", None, [
                ("Pre-commissioning checks", "Commissioning", None, (5, 8)),
                ("Wet commissioning Clarifier 1", "Commissioning", None, (4, 7)),
                ("Wet commissioning Clarifier 2", "Commissioning", None, (4, 7)),
                ("Filter media loading and backwash test", "Commissioning", None, (5, 8)),
                ("Process proving 7-day run", "Commissioning", None, (7, 7)),
                ("Performance test", "Commissioning", None, (3, 5)),
            ]),
            ("Handover", None, [
                ("O&M manuals and as-built drawings", "General", None, (10, 15)),
                ("Operator training", "Commissioning", None, (3, 5)),
                ("Demobilise site", "General", "TH-01", (4, 6)),
            ]),
        ],
    },
    {
        "job_no": "ESV", "title": "Elm Street Viaduct Repair",
        "client": "Riverton City Council", "site_town": "Riverton",
        "sector": "Highways", "state": "Active", "manager": "Tom Okafor",
        "value": 7_920_000.0, "calendar": 2, "start": "2024-06-03",
        "slip": 0.15, "target_wd": 300, "buffer_wd": 6,
        "phases": [
            ("Site Establishment", None, [
                ("Site compound and welfare", "General", "TH-01", (4, 7)),
                ("Principal inspection of viaduct", "Survey", "BL-01", (5, 8)),
                ("Install hoarding", "General", None, (3, 5)),
                ("Utility diversions", "Electrical", "EX-03", (10, 16)),
            ]),
            ("Traffic Management", None, [
                ("Traffic management design approval", "Traffic", None, (8, 12)),
                ("Install lane closures stage 1", "Traffic", None, (2, 3)),
                ("Pedestrian diversion", "Traffic", None, (2, 4)),
                ("Install lane closures stage 2", "Traffic", None, (2, 3)),
            ]),
            ("Substructure Repairs", ["Pier 1", "Pier 2", "Pier 3", "Pier 4", "Pier 5", "Pier 6"], [
                ("Erect scaffold access", "Scaffolding", None, (3, 6)),
                ("Hydrodemolition of defective concrete", "Concrete", "HD-01", (4, 8)),
                ("Install cathodic protection", "Electrical", None, (4, 7)),
                ("Sprayed concrete repair", "Concrete", "CP-01", (3, 6)),
            ]),
            ("Deck Repairs", ["Span 1", "Span 2", "Span 3", "Span 4", "Span 5"], [
                ("Remove surfacing and waterproofing", "Earthworks", "EX-20", (3, 5)),
                ("Deck soffit patch repairs", "Concrete", "BL-01", (6, 10)),
                ("Apply waterproofing membrane", "Roofing", None, (3, 5)),
                ("Replace parapet", "Steel", "MC-50", (4, 8)),
            ]),
            ("Bearings & Joints", ["Pier 2", "Pier 3", "Pier 4", "Pier 5"], [
                ("Jack deck and replace bearings", "Steel", "MC-50", (4, 7)),
            ]),
            ("Surfacing & Reinstatement", None, [
                ("Replace expansion joints north abutment", "Steel", None, (5, 8)),
                ("Replace expansion joints south abutment", "Steel", None, (5, 8)),
                ("Lay asphalt surfacing", "Earthworks", "AP-01", (3, 5)),
                ("Road markings and studs", "Traffic", None, (2, 3)),
                ("Remove traffic management", "Traffic", None, (1, 2)),
            ]),
        ],
    },
    {
        "job_no": "HLE", "title": "Harbourview Library Extension",
        "client": "Harbourview Borough Council", "site_town": "Harbourview",
        "sector": "Buildings", "state": "Active", "manager": "Helen Marsh",
        "value": 12_300_000.0, "calendar": 1, "start": "2024-09-02",
        "slip": 0.15, "target_wd": 360, "buffer_wd": 12,
        "phases": [
            ("Enabling Works", None, [
                ("Site hoarding and set-up", "General", None, (5, 8)),
                ("Tree protection measures", "General", None, (2, 3)),
                ("Demolish existing annex", "Earthworks", "EX-20", (8, 12)),
                ("Divert surface water drainage", "Pipework", "EX-03", (6, 9)),
            ]),
            ("Foundations", ["Grid A-C", "Grid D-F", "Grid G-J"], [
                ("Piling mat", "Earthworks", "RL-01", (3, 5)),
                ("CFA piling", "Concrete", "PR-01", (6, 10)),
                ("Pile caps and ground beams", "Concrete", "EX-03", (8, 12)),
                ("Below-ground drainage", "Pipework", "EX-03", (4, 7)),
                ("Ground floor slab", "Concrete", "CP-01", (4, 6)),
            ]),
            ("Superstructure", ["Level 1", "Level 2", "Level 3", "Roof"], [
                ("Erect steel frame", "Steel", "TC-02", (8, 12)),
                ("Metal decking and slab pour", "Concrete", "TC-02", (5, 8)),
                ("Fire protection to steel", "Finishes", "SL-01", (4, 6)),
            ]),
            ("Envelope", ["North Elevation", "East Elevation", "South Elevation", "West Elevation"], [
                ("Curtain walling", "Steel", "TC-02", (10, 15)),
                ("Brickwork and cladding", "Finishes", "TH-01", (10, 16)),
                ("Windows and doors", "Finishes", None, (4, 6)),
            ]),
            ("Fit-Out & Services", ["Ground Floor", "Level 1", "Level 2"], [
                ("First-fix electrical", "Electrical", None, (8, 12)),
                ("First-fix mechanical", "Mechanical", None, (8, 12)),
                ("Partitions and ceilings", "Finishes", "SL-01", (10, 15)),
                ("Second-fix electrical", "Electrical", None, (5, 8)),
                ("Floor finishes", "Finishes", None, (5, 8)),
                ("Install shelving", "Finishes", None, (4, 6)),
            ]),
            ("Commissioning & Handover", None, [
                ("Roof membrane and rooflights", "Roofing", "TC-02", (8, 12)),
                ("Fire alarm testing", "Electrical", None, (3, 4)),
                ("HVAC commissioning", "Commissioning", None, (5, 8)),
                ("Snagging", "Finishes", None, (8, 10)),
                ("Building control sign-off", "General", None, (2, 3)),
            ]),
        ],
    },
    {
        "job_no": "KPS", "title": "Kestrel Park Substation",
        "client": "Western Grid Networks", "site_town": "Kestrel Park",
        "sector": "Power", "state": "On Hold", "manager": "Dariusz Nowak",
        "value": 9_640_000.0, "calendar": 1, "start": "2024-01-15",
        "slip": 0.2, "target_wd": 290, "buffer_wd": 0, "status_date": "2024-11-29",
        "phases": [
            ("Enabling Works", None, [
                ("Access road construction", "Earthworks", "EX-20", (8, 12)),
                ("Site clearance", "Earthworks", "EX-20", (4, 6)),
                ("Earthing and soil resistivity survey", "Survey", None, (2, 4)),
                ("Temporary security fencing", "General", None, (3, 4)),
            ]),
            ("Civil Works", ["Transformer Bay 1", "Transformer Bay 2", "Switchroom", "Control Building"], [
                ("Excavate and blind", "Earthworks", "EX-20", (4, 7)),
                ("Foundation pour", "Concrete", "CP-01", (3, 5)),
                ("Cable trenches and ducts", "Earthworks", "EX-03", (5, 9)),
                ("Oil containment bund walls", "Formwork", None, (5, 8)),
            ]),
            ("Primary Plant Installation", None, [
                ("Deliver and place transformer T1", "Mechanical", "MC-50", (2, 3)),
                ("Deliver and place transformer T2", "Mechanical", "MC-50", (2, 3)),
                ("Install 33kV switchgear", "Electrical", "TH-01", (8, 12)),
                ("Install busbars", "Electrical", None, (6, 9)),
                ("Install earthing grid", "Electrical", "EX-03", (6, 10)),
            ]),
            ("Secondary Systems", None, [
                ("Protection and control panels", "Electrical", None, (8, 12)),
                ("Install batteries and chargers", "Electrical", None, (3, 5)),
                ("Cable pulling and termination", "Electrical", None, (10, 15)),
                ("SCADA integration", "Controls", None, (6, 10)),
            ]),
            ("Energisation", None, [
                ("Pre-energisation testing", "Commissioning", None, (6, 9)),
                ("Energise transformer T1", "Commissioning", None, (1, 1)),
                ("Energise transformer T2", "Commissioning", None, (1, 1)),
                ("Handover to network operator", "General", None, (3, 5)),
            ]),
        ],
    },
    {
        "job_no": "WDR", "title": "Westfield Depot Roof Replacement",
        "client": "Westfield Logistics Ltd", "site_town": "Westfield",
        "sector": "Buildings", "state": "Closed", "manager": "Grace Liu",
        "value": 2_180_000.0, "calendar": 2, "start": "2023-10-02",
        "slip": 0.1, "target_wd": 150, "buffer_wd": 8, "status_date": "2024-07-26",
        "phases": [
            ("Preliminaries", None, [
                ("Asbestos refurbishment survey", "Survey", None, (3, 5)),
                ("Erect perimeter scaffold", "Scaffolding", None, (6, 9)),
                ("Install edge protection and netting", "Scaffolding", None, (3, 5)),
            ]),
            ("Strip-Out", ["Bay 1", "Bay 2", "Bay 3", "Bay 4", "Bay 5", "Bay 6"], [
                ("Remove roof sheets", "Roofing", "TH-01", (3, 5)),
                ("Remove insulation and liner", "Roofing", None, (2, 3)),
            ]),
            ("Roof Structure", ["Bay 1", "Bay 2", "Bay 3", "Bay 4", "Bay 5", "Bay 6"], [
                ("Replace corroded purlins", "Steel", "BL-01", (3, 6)),
                ("Steelwork blast and paint", "Finishes", "BL-01", (3, 5)),
            ]),
            ("Roof Covering", ["Bay 1", "Bay 2", "Bay 3", "Bay 4", "Bay 5", "Bay 6"], [
                ("Fix composite roof panels", "Roofing", "TH-01", (4, 7)),
                ("Gutters and flashings", "Roofing", None, (2, 4)),
            ]),
            ("Closeout", None, [
                ("Install rooflights", "Roofing", None, (3, 4)),
                ("Strike scaffold", "Scaffolding", None, (4, 6)),
                ("Final clean and handover", "General", None, (2, 3)),
            ]),
        ],
    },
    {
        "job_no": "MSR", "title": "Marlow Road Sewer Relining",
        "client": "Northgate Water Authority", "site_town": "Marlow",
        "sector": "Water", "state": "Tendering", "manager": "Sean Doyle",
        "value": 3_260_000.0, "calendar": 3, "start": "2025-05-06",
        "slip": 0.0, "target_wd": 75, "buffer_wd": 7,
        "phases": [
            ("Preliminaries", None, [
                ("Road space and permit applications", "Traffic", None, (10, 15)),
                ("Site set-up", "General", None, (2, 3)),
                ("Overpumping design", "Pipework", None, (4, 6)),
            ]),
            ("Survey & Cleaning", ["MH12-MH15", "MH15-MH19", "MH19-MH24", "MH24-MH28", "MH28-MH31"], [
                ("Pre-lining CCTV survey", "Survey", "CC-01", (1, 2)),
                ("Jetting and root cutting", "Lining", None, (2, 4)),
            ]),
            ("Lining Works", ["MH12-MH15", "MH15-MH19", "MH19-MH24", "MH24-MH28", "MH28-MH31"], [
                ("Install overpumping", "Pipework", "OP-01", (1, 2)),
                ("Install CIPP liner", "Lining", None, (2, 3)),
                ("Cure and cool liner", "Lining", None, (1, 2)),
            ]),
            ("Lateral Reinstatement", ["MH12-MH15", "MH15-MH19", "MH19-MH24", "MH24-MH28", "MH28-MH31"], [
                ("Robotic lateral cutting", "Lining", None, (2, 3)),
                ("Lateral connection sealing", "Lining", None, (2, 3)),
            ]),
            ("Closeout", None, [
                ("Post-lining CCTV survey", "Survey", "CC-01", (2, 3)),
                ("Reinstate manhole covers", "General", None, (2, 3)),
                ("Demobilise", "General", None, (1, 2)),
            ]),
        ],
    },
]

ISSUE_TEMPLATES = {
    "Design": ["Drawing clash between {a} and services layout", "Awaiting revised design for {a}",
               "Design query on reinforcement at {a}", "RFI response overdue for {a}"],
    "Supply Chain": ["Late delivery of materials for {a}", "Supplier insolvency risk for {a}",
                     "Long lead time on components for {a}"],
    "Access": ["Restricted access to {a}", "Neighbour objection to works at {a}",
               "Crane oversail licence pending for {a}"],
    "Safety": ["Near miss at {a}", "Unsafe excavation edge at {a}",
               "Permit to work breach at {a}"],
    "Quality": ["Non-conformance raised at {a}", "Concrete cube failure at {a}",
                "Remedial works required at {a}"],
    "Utilities": ["Unrecorded service found at {a}", "Utility company outage window for {a}"],
    "Permits": ["Road closure permit not yet granted for {a}", "Environmental consent condition for {a}"],
    "Ground Conditions": ["Soft ground encountered at {a}", "Groundwater ingress at {a}",
                          "Contaminated soil found at {a}"],
}
CO_TEMPLATES = [
    ("Additional client scope: {a}", "Client Instruction"),
    ("Revised design: {a}", "Design Change"),
    ("Unforeseen ground conditions: {a}", "Site Condition"),
    ("Acceleration by additional shifts: {a}", "Acceleration"),
    ("Scope omission: {a}", "Scope Reduction"),
    ("Statutory authority requirement: {a}", "Regulatory"),
]
INSPECTION_KINDS = [
    ("Concrete", "Pre-pour Inspection"), ("Formwork", "Pre-pour Inspection"),
    ("Pipework", "Pressure Test"), ("Electrical", "Electrical Test"),
    ("Steel", "Hold Point"), ("Roofing", "Witness Point"),
    ("Earthworks", "Formation Inspection"), ("Commissioning", "Witness Point"),
    ("Lining", "Witness Point"), ("Finishes", "Quality Walkdown"),
    ("Mechanical", "Hold Point"), ("Controls", "Factory Acceptance Test"),
]
FAIL_NOTES = {
    "Pre-pour Inspection": ["Cover to reinforcement insufficient", "Formwork joints not sealed",
                            "Cast-in items missing"],
    "Pressure Test": ["Test pressure not held", "Leak at flanged joint"],
    "Electrical Test": ["Insulation resistance below limit", "Earth continuity failed"],
    "Hold Point": ["Bolt torque records incomplete", "Fixings not as detailed"],
    "Witness Point": ["Workmanship below standard", "Method statement not followed"],
    "Formation Inspection": ["Soft spots in formation", "Formation level out of tolerance"],
    "Quality Walkdown": ["Workmanship below standard", "Damaged finishes"],
    "Factory Acceptance Test": ["Alarm handling not as designed"],
}
WEATHER = [
    # condition, (hrs min, hrs max), rain?, wind?, months
    ("Heavy Rain", (2, 10), True, False, (1, 2, 3, 4, 9, 10, 11, 12)),
    ("High Wind", (3, 10), False, True, (1, 2, 3, 10, 11, 12)),
    ("Frost", (2, 5), False, False, (1, 2, 12)),
    ("Snow", (5, 10), False, False, (1, 2)),
    ("Thunderstorm", (2, 6), True, True, (5, 6, 7, 8)),
    ("Extreme Heat", (2, 4), False, False, (6, 7, 8)),
]


def d(s):
    return dt.date.fromisoformat(s)


def weekday(x):
    """Roll a Saturday or Sunday forward to the Monday."""
    return x + dt.timedelta(days=(7 - x.weekday()) % 7) if x.weekday() >= 5 else x


def iso(x):
    return x.isoformat() if x is not None else None


# ---------------------------------------------------------------------------
# Calendar arithmetic
# ---------------------------------------------------------------------------

def holiday_dates():
    out = [(d(s), label) for s, label in PUBLIC_HOLIDAYS]
    for a, b, label in SHUTDOWNS:
        x = d(a)
        while x <= d(b):
            out.append((x, label))
            x += dt.timedelta(days=1)
    out.sort()
    return out


def calendar_holidays(cal_id):
    """Holidays that apply to a calendar (7-day continuous works through them)."""
    if cal_id == 3:
        return [(x, l) for x, l in holiday_dates() if l == "Christmas Day"]
    if cal_id == 4:
        return [(x, l) for x, l in holiday_dates() if l != "Christmas Shutdown"]
    return holiday_dates()


def working_days(cal_id, start, count):
    days_per_week = {c[0]: c[2] for c in CALENDARS}[cal_id]
    hols = {x for x, _ in calendar_holidays(cal_id)}
    out = []
    x = start
    while len(out) < count:
        if x.weekday() < days_per_week and x not in hols:
            out.append(x)
        x += dt.timedelta(days=1)
    return out


def working_days_before(cal_id, start, count):
    """The count-th working day before start (count >= 1)."""
    days_per_week = {c[0]: c[2] for c in CALENDARS}[cal_id]
    hols = {x for x, _ in calendar_holidays(cal_id)}
    x = start
    k = 0
    while k < count:
        x -= dt.timedelta(days=1)
        if x.weekday() < days_per_week and x not in hols:
            k += 1
    return x


# ---------------------------------------------------------------------------
# Critical path
# ---------------------------------------------------------------------------

def forward(durs, links):
    """Early start/finish offsets in working days; links sorted by successor."""
    n = len(durs)
    es = [0] * n
    preds = [[] for _ in range(n)]
    for p, s, kind, lag in links:
        preds[s].append((p, kind, lag))
    ef = [0] * n
    for i in range(n):
        start = 0
        for p, kind, lag in preds[i]:
            if kind == "FS":
                c = ef[p] + lag
            elif kind == "SS":
                c = es[p] + lag
            elif kind == "FF":
                c = ef[p] + lag - durs[i]
            else:  # SF
                c = es[p] + lag - durs[i]
            start = max(start, c)
        es[i] = start
        ef[i] = start + durs[i]
    return es, ef


def backward(durs, links, deadline):
    n = len(durs)
    succs = [[] for _ in range(n)]
    for p, s, kind, lag in links:
        succs[p].append((s, kind, lag))
    lf = [0] * n
    ls = [0] * n
    for i in range(n - 1, -1, -1):
        finish = deadline
        for s, kind, lag in succs[i]:
            if kind == "FS":
                c = ls[s] - lag
            elif kind == "SS":
                c = ls[s] - lag + durs[i]
            elif kind == "FF":
                c = lf[s] - lag
            else:  # SF
                c = lf[s] - lag + durs[i]
            finish = min(finish, c)
        lf[i] = finish
        ls[i] = finish - durs[i]
    return ls, lf


def free_float(durs, links, es, ef, deadline):
    n = len(durs)
    ff = [deadline - ef[i] for i in range(n)]
    for p, s, kind, lag in links:
        if kind == "FS":
            c = es[s] - lag - ef[p]
        elif kind == "SS":
            c = es[s] - lag - es[p]
        elif kind == "FF":
            c = ef[s] - lag - ef[p]
        else:
            c = ef[s] - lag - es[p]
        ff[p] = min(ff[p], c)
    return [max(0, x) for x in ff]


# ---------------------------------------------------------------------------
# Generation
# ---------------------------------------------------------------------------

def build_job_network(rng, plan):
    """Return task specs and links (indices local to the job)."""
    tasks = []  # dict(title, kind, trade, tag, dur, phase_idx)
    links = []  # (pred, succ, kind, lag)
    tasks.append(dict(title="Notice to proceed", kind="Start Milestone", trade=None,
                      tag=None, dur=0, phase=0))
    prev_phase_tasks = [0]
    phase_end_ms = None
    for ph_idx, (ph_title, areas, acts) in enumerate(plan["phases"]):
        this = []
        groups = []
        if areas:
            for area in areas:
                groups.append([(f"{a} - {area}", t, g, r) for a, t, g, r in acts])
        else:
            groups.append(list(acts))
        first_in_phase = len(tasks)
        for g_idx, group in enumerate(groups):
            prev_in_group = None
            for a_idx, (title, trade, tag, (lo, hi)) in enumerate(group):
                i = len(tasks)
                tasks.append(dict(title=title, kind="Task", trade=trade, tag=tag,
                                  dur=rng.randint(lo, hi), phase=ph_idx))
                if prev_in_group is not None:
                    r = rng.random()
                    if r < 0.78:
                        kind, lag = "FS", rng.choice([0, 0, 0, 0, 0, 1, 2, -1, -2])
                    elif r < 0.92:
                        kind, lag = "SS", rng.randint(1, 4)
                    elif r < 0.98:
                        kind, lag = "FF", rng.randint(0, 3)
                    else:
                        kind, lag = "SF", rng.randint(1, 3)
                    links.append((prev_in_group, i, kind, lag))
                else:
                    # phase entry: from the previous phase (or NTP); area groups
                    # after the first follow the same activity of the previous area
                    if g_idx == 0 or not areas:
                        src = rng.choice(prev_phase_tasks[-3:]) if prev_phase_tasks else 0
                        if phase_end_ms is not None and rng.random() < 0.4:
                            src = phase_end_ms
                        links.append((src, i, "FS", rng.choice([0, 0, 2, 5])))
                    else:
                        links.append((first_in_phase + (g_idx - 1) * len(group), i, "FS", 0))
                if areas and g_idx > 0 and a_idx > 0 and rng.random() < 0.35:
                    # crew continuity: same activity in the previous area first
                    links.append((i - len(group), i, "FS", 0))
                if not areas and a_idx >= 2 and rng.random() < 0.5:
                    j = rng.randint(first_in_phase, i - 2)
                    links.append((j, i, "FS", rng.choice([0, 1, 3])))
                this.append(i)
                prev_in_group = i
        # phase completion milestone
        ms = len(tasks)
        tasks.append(dict(title=f"{ph_title} complete", kind="Finish Milestone", trade=None,
                          tag=None, dur=0, phase=ph_idx))
        have_succ = {p for p, _, _, _ in links}
        for i in this:
            if i not in have_succ or rng.random() < 0.08:
                links.append((i, ms, "FS", 0))
        if phase_end_ms is not None:
            links.append((phase_end_ms, ms, "FS", 0))
        prev_phase_tasks = this
        phase_end_ms = ms
    last = len(tasks)
    tasks.append(dict(title="Practical completion", kind="Finish Milestone", trade=None,
                      tag=None, dur=0, phase=len(plan["phases"]) - 1))
    links.append((phase_end_ms, last, "FS", 0))
    # remove duplicate (pred, succ) pairs, keep first
    seen = set()
    uniq = []
    for lk in links:
        if (lk[0], lk[1]) not in seen:
            seen.add((lk[0], lk[1]))
            uniq.append(lk)
    uniq.sort(key=lambda x: (x[1], x[0]))
    return tasks, uniq


def generate(db_path):
    rng = random.Random(SEED)
    if os.path.exists(db_path):
        os.remove(db_path)
    con = sqlite3.connect(db_path)
    con.execute("PRAGMA journal_mode = MEMORY")
    con.execute("PRAGMA synchronous = OFF")
    con.executescript(DDL)
    cur = con.cursor()

    cur.executemany("INSERT INTO shift_calendar VALUES (?,?,?,?,?,?)", CALENDARS)
    hid = 0
    for cal in CALENDARS:
        for x, label in calendar_holidays(cal[0]):
            if cal[0] == 5 and label == "Christmas Shutdown":
                continue
            hid += 1
            cur.execute("INSERT INTO calendar_holiday VALUES (?,?,?,?)", (hid, cal[0], iso(x), label))

    for cid, c in enumerate(CREWS, 1):
        cur.execute("INSERT INTO crew VALUES (?,?,?,?,?,?,?)", (cid, *c))
    crews_by_trade = {}
    for cid, c in enumerate(CREWS, 1):
        crews_by_trade.setdefault(c[1], []).append(cid)
    for eid, e in enumerate(EQUIPMENT, 1):
        cur.execute("INSERT INTO equipment VALUES (?,?,?,?,?,?,?,?)", (eid, *e))
    equip_by_tag = {e[0]: eid for eid, e in enumerate(EQUIPMENT, 1)}
    crew_rows = {cid: c for cid, c in enumerate(CREWS, 1)}

    task_id = phase_id = link_id = bl_id = cb_id = eb_id = up_id = 0
    issue_id = co_id = insp_id = wd_id = 0
    all_tasks = []  # (task_id, job_idx, row dict)

    for j_idx, plan in enumerate(JOBS):
        job_id = j_idx + 1
        jstart = d(plan["start"])
        status = d(plan.get("status_date", DATA_DATE.isoformat()))
        cal = plan["calendar"]
        tasks, links = build_job_network(rng, plan)
        n = len(tasks)
        # stretch the template durations so the job runs to its intended length
        base_len = max(forward([t["dur"] for t in tasks], links)[1])
        factor = plan["target_wd"] / base_len
        for t in tasks:
            if t["dur"] > 0:
                t["dur"] = max(1, round(t["dur"] * factor))
        orig = [t["dur"] for t in tasks]
        cur_d = list(orig)
        for i, t in enumerate(tasks):
            if t["dur"] > 0 and rng.random() < plan["slip"]:
                cur_d[i] = t["dur"] + max(1, round(t["dur"] * rng.uniform(0.1, 0.5)))
        p_es, p_ef = forward(orig, links)
        deadline = max(p_ef) + plan["buffer_wd"]
        es, ef = forward(cur_d, links)
        finish = max(ef)
        # float is measured against the contract completion when the forecast
        # overruns it (negative float), otherwise against the forecast finish
        ls, lf = backward(cur_d, links, min(deadline, finish))
        ffl = free_float(cur_d, links, es, ef, max(deadline, finish))
        wd = working_days(cal, jstart, max(finish, deadline) + 400)

        def sdate(off):
            return wd[off]

        def fdate(off_es, off_ef):
            return wd[off_ef - 1] if off_ef > off_es else wd[off_es]

        def late_dates(i):
            # late offsets can be negative when the job runs behind its deadline
            a = ls[i]
            b = lf[i]
            def at(o):
                if o >= 0:
                    return wd[o]
                back = working_days_before(cal, jstart, -o)
                return back
            s = at(a)
            f = at(b - 1) if b > a else at(a)
            return s, f

        # second-level planning figures
        job_planned_end = wd[deadline - 1]
        job_forecast_end = fdate(es[n - 1], ef[n - 1])

        # phases
        phase_ids = []
        for ph_idx, (ph_title, areas, acts) in enumerate(plan["phases"]):
            phase_id += 1
            phase_ids.append(phase_id)
            hrs = sum(cur_d[i] * 8 * 4 for i, t in enumerate(tasks) if t["phase"] == ph_idx)
            cur.execute("INSERT INTO job_phase VALUES (?,?,?,?,?,?,?)", (
                phase_id, job_id, f"{plan['job_no']}.{ph_idx + 1}", ph_title, ph_idx + 1,
                PEOPLE[(j_idx * 3 + ph_idx) % len(PEOPLE)], float(hrs)))

        job_done = plan["state"] == "Closed"
        actual_job_end = fdate(es[n - 1], ef[n - 1]) if job_done else None
        cur.execute("INSERT INTO job VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", (
            job_id, plan["job_no"], plan["title"], plan["client"], plan["site_town"],
            plan["sector"], plan["state"], plan["manager"], plan["value"], cal,
            iso(jstart), iso(job_planned_end),
            None if job_done else iso(job_forecast_end), iso(actual_job_end), iso(status)))

        ids = []
        for i, t in enumerate(tasks):
            task_id += 1
            ids.append(task_id)
            s = sdate(es[i])
            f = fdate(es[i], ef[i])
            ps = sdate(p_es[i])
            pf = fdate(p_es[i], p_ef[i])
            lsd, lfd = late_dates(i)
            slack = lf[i] - ef[i]
            if f <= status and (s < status or cur_d[i] == 0) and s <= status:
                state = "Complete"
            elif s <= status:
                state = "In Progress"
            else:
                state = "Not Started"
            if cur_d[i] == 0 and s <= status:
                state = "Complete"
            if plan["state"] == "On Hold" and state != "Complete" and t["kind"] == "Task" \
                    and s <= status + dt.timedelta(days=28):
                state = "On Hold"  # work in hand or about to start when the job was suspended
            if plan["state"] == "Active" and state == "Not Started" and t["kind"] == "Task" \
                    and rng.random() < 0.04:
                state = "On Hold"
            a_start = a_end = None
            if state == "Complete":
                pct = 100.0
                a_start, a_end = s, f
                rem = 0
            elif state in ("In Progress", "On Hold") and s <= status:
                elapsed = sum(1 for x in wd[es[i]:ef[i]] if x <= status)
                pct = max(5.0, min(95.0, round(elapsed / cur_d[i] * 20) * 5.0))
                a_start = s
                rem = max(1, cur_d[i] - elapsed)
            else:
                pct = 0.0
                rem = cur_d[i]
            row = dict(job_idx=j_idx, local=i, title=t["title"], kind=t["kind"], trade=t["trade"],
                       tag=t["tag"], state=state, s=s, f=f, ps=ps, pf=pf, dur=cur_d[i],
                       a_start=a_start, a_end=a_end, pct=pct, phase=t["phase"])
            ref = f"{plan['job_no']}-{1000 + 10 * i}"
            row["ref"] = ref
            cur.execute("INSERT INTO task VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", (
                task_id, job_id, phase_ids[t["phase"]], ref, t["title"], t["kind"], state,
                orig[i], rem, iso(ps), iso(pf), iso(s), iso(f), iso(lsd), iso(lfd),
                iso(a_start), iso(a_end), iso(a_end if a_end else f), slack,
                min(ffl[i], max(slack, 0)), pct, 1 if slack <= 0 and state != "Complete" else 0))
            all_tasks.append((task_id, j_idx, row))

        # links
        for p, s_, kind, lag in links:
            link_id += 1
            if kind == "FS":
                driving = es[s_] == ef[p] + lag
            elif kind == "SS":
                driving = es[s_] == es[p] + lag
            elif kind == "FF":
                driving = ef[s_] == ef[p] + lag
            else:
                driving = ef[s_] == es[p] + lag
            cur.execute("INSERT INTO task_link VALUES (?,?,?,?,?,?)",
                        (link_id, ids[p], ids[s_], kind, lag, 1 if driving else 0))

        # baselines: BL1 at award for every job; BL2 re-baseline on the slipping jobs
        cap1 = jstart - dt.timedelta(days=14)
        for i in range(n):
            bl_id += 1
            cur.execute("INSERT INTO baseline_task VALUES (?,?,?,?,?,?,?)", (
                bl_id, ids[i], 1, iso(cap1), iso(sdate(p_es[i])),
                iso(fdate(p_es[i], p_ef[i])), orig[i]))
        if plan["job_no"] in ("NWT", "KPS"):
            cap2 = d("2024-10-01") if plan["job_no"] == "NWT" else d("2024-07-01")
            mid = [o if rng.random() < 0.5 else c for o, c in zip(orig, cur_d)]
            m_es, m_ef = forward(mid, links)
            for i in range(n):
                bl_id += 1
                cur.execute("INSERT INTO baseline_task VALUES (?,?,?,?,?,?,?)", (
                    bl_id, ids[i], 2, iso(cap2), iso(sdate(m_es[i])),
                    iso(fdate(m_es[i], m_ef[i])), mid[i]))

        # crew and equipment bookings, progress updates, inspections
        fridays = []
        x = jstart + dt.timedelta(days=(4 - jstart.weekday()) % 7)
        while x <= status:
            fridays.append(x)
            x += dt.timedelta(days=14)
        for tid, (_, _, row) in zip(ids, all_tasks[-n:]):
            if row["kind"] != "Task":
                continue
            pool = crews_by_trade.get(row["trade"]) or crews_by_trade["General"]
            cid = pool[(row["local"] * 7 + j_idx) % len(pool)]
            head = crew_rows[cid][2]
            hrs_plan = float(row["dur"] * head * 8)
            done_frac = row["pct"] / 100.0
            hrs_act = round(hrs_plan * done_frac * rng.uniform(0.85, 1.25), 1) if done_frac else 0.0
            cb_id += 1
            cur.execute("INSERT INTO crew_booking VALUES (?,?,?,?,?,?,?)", (
                cb_id, cid, tid, iso(row["s"]), iso(row["f"]), hrs_plan, hrs_act))
            if row["trade"] in ("Electrical", "Concrete") and row["dur"] >= 8 and rng.random() < 0.35:
                extra = crews_by_trade["General"][0]
                cb_id += 1
                hp = float(row["dur"] * 2 * 8)
                cur.execute("INSERT INTO crew_booking VALUES (?,?,?,?,?,?,?)", (
                    cb_id, extra, tid, iso(row["s"]), iso(row["f"]), hp,
                    round(hp * done_frac, 1)))
            if row["tag"]:
                eb_id += 1
                hrs_used = round(row["dur"] * 8 * done_frac * rng.uniform(0.5, 0.9), 1)
                cur.execute("INSERT INTO equipment_booking VALUES (?,?,?,?,?,?)", (
                    eb_id, equip_by_tag[row["tag"]], tid, iso(row["s"]), iso(row["f"]), hrs_used))
            if row["a_start"]:
                last_pct = 0.0
                for fr in fridays:
                    if fr < row["a_start"]:
                        continue
                    if row["a_end"] and fr > row["a_end"] + dt.timedelta(days=13):
                        break
                    span = sum(1 for y in wd if row["s"] <= y <= min(fr, row["f"]))
                    pct = 100.0 if row["a_end"] and fr >= row["a_end"] else \
                        min(row["pct"], max(5.0, round(span / max(row["dur"], 1) * 20) * 5.0))
                    if pct < last_pct:
                        pct = last_pct
                    rem = 0 if pct >= 100 else max(1, round(row["dur"] * (1 - pct / 100)))
                    remark = None
                    if pct < 100 and (pct == last_pct or rng.random() < 0.2):
                        remark = rng.choice(["No progress this period", "Awaiting materials",
                                             "Crew diverted to other work", "Weather affected",
                                             "Productivity below plan", "Access restricted"])
                    elif pct >= 100:
                        remark = "Complete"
                    up_id += 1
                    cur.execute("INSERT INTO progress_update VALUES (?,?,?,?,?,?,?)", (
                        up_id, tid, iso(fr), pct, rem,
                        PEOPLE[(j_idx * 3 + row["phase"]) % len(PEOPLE)], remark))
                    last_pct = pct
                    if pct >= 100:
                        break
            if row["a_start"]:
                kinds = [k for t_, k in INSPECTION_KINDS if t_ == row["trade"]]
                if kinds and rng.random() < 0.7:
                    kind = kinds[0]
                    span = max(0, ((row["a_end"] or status) - row["s"]).days)
                    when = row["s"] + dt.timedelta(days=min(span, max(1, span * 2 // 3)))
                    r = rng.random()
                    outcome = "Pass" if r < 0.72 else ("Conditional Pass" if r < 0.88 else "Fail")
                    while True:
                        note = {"Pass": None,
                                "Conditional Pass": "Minor defects to close out",
                                "Fail": rng.choice(FAIL_NOTES[kind])}[outcome]
                        insp_id += 1
                        cur.execute("INSERT INTO inspection VALUES (?,?,?,?,?,?,?,?)", (
                            insp_id, tid, kind, iso(weekday(when)), rng.choice(INSPECTORS[plan["sector"]]),
                            outcome, 1 if outcome == "Fail" else 0, note))
                        if outcome != "Fail":
                            break
                        when = when + dt.timedelta(days=rng.randint(3, 8))
                        if when > status or rng.random() < 0.3:
                            break  # re-inspection still outstanding
                        outcome = "Pass" if rng.random() < 0.8 else "Conditional Pass"

        # issue log
        job_tasks = [row for (_, jj, row) in all_tasks if jj == j_idx and row["kind"] == "Task"]
        n_issues = {"NWT": 18, "ESV": 14, "HLE": 14, "KPS": 10, "WDR": 6, "MSR": 4}[plan["job_no"]]
        cats = list(ISSUE_TEMPLATES)
        for k in range(n_issues):
            issue_id += 1
            cat = cats[(k * 3 + j_idx) % len(cats)]
            tr = rng.choice(job_tasks)
            tid = ids[tr["local"]]
            title = rng.choice(ISSUE_TEMPLATES[cat]).format(a=tr["title"].split(" - ")[-1]
                                                           if " - " in tr["title"] else f"{plan['site_town']} site")
            title = title[0].upper() + title[1:]
            sev = rng.choices(["Low", "Medium", "High", "Critical"], [3, 4, 3, 1])[0]
            if plan["job_no"] == "MSR":
                raised = d("2025-01-20") + dt.timedelta(days=rng.randint(0, 20))
            else:
                lo = jstart + dt.timedelta(days=10)
                hi = min(status, jstart + dt.timedelta(days=500))
                raised = lo + dt.timedelta(days=rng.randint(0, max(0, (hi - lo).days)))
            target = raised + dt.timedelta(days=rng.choice([7, 14, 21, 28, 42]))
            if plan["state"] == "Closed" or (raised < status - dt.timedelta(days=60) and rng.random() < 0.7):
                st = rng.choice(["Resolved", "Closed", "Closed"])
                closed = min(status, raised + dt.timedelta(days=rng.randint(3, 50)))
            else:
                st = rng.choice(["Open", "Open", "In Review"])
                closed = None
            delay = {"Low": 0, "Medium": rng.randint(0, 5), "High": rng.randint(3, 15),
                     "Critical": rng.randint(10, 30)}[sev]
            cur.execute("INSERT INTO issue_log VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)", (
                issue_id, job_id, tid if rng.random() < 0.8 else None,
                f"{plan['job_no']}-ISS-{k + 1:03d}", title, cat, sev, st,
                rng.choice(PEOPLE), PEOPLE[(j_idx + k) % len(PEOPLE)],
                iso(weekday(raised)), iso(weekday(target)),
                iso(weekday(closed) if closed else None), delay))

        # change orders
        n_co = {"NWT": 9, "ESV": 7, "HLE": 6, "KPS": 4, "WDR": 3, "MSR": 1}[plan["job_no"]]
        for k in range(n_co):
            co_id += 1
            tmpl, reason = CO_TEMPLATES[(k + j_idx) % len(CO_TEMPLATES)]
            tr = rng.choice(job_tasks)
            subject = tr["title"]
            if plan["job_no"] == "MSR":
                sub = d("2025-02-03")
            else:
                sub = jstart + dt.timedelta(days=20 + k * rng.randint(20, 45))
                sub = min(sub, status - dt.timedelta(days=3))
            if plan["state"] == "Closed" or sub < status - dt.timedelta(days=45):
                st = rng.choices(["Approved", "Rejected"], [4, 1])[0]
                dec = sub + dt.timedelta(days=rng.randint(7, 40))
            else:
                st = rng.choice(["Submitted", "Under Review", "Draft"])
                dec = None
            cost = round(rng.uniform(8_000, 420_000), -2)
            days = rng.randint(0, 25)
            if reason == "Scope Reduction":
                cost, days = -cost, -rng.randint(0, 6)
            if reason == "Acceleration":
                days = -rng.randint(3, 12)
            cur.execute("INSERT INTO change_order VALUES (?,?,?,?,?,?,?,?,?,?)", (
                co_id, job_id, f"{plan['job_no']}-CO-{k + 1:03d}", tmpl.format(a=subject),
                reason, st, iso(weekday(sub)), iso(weekday(dec) if dec else None), cost, days))

        # weather delays on working days between start and status date
        if plan["state"] != "Tendering":
            n_wd = {"NWT": 16, "ESV": 12, "HLE": 8, "KPS": 9, "WDR": 7}[plan["job_no"]]
            site_days = [x for x in wd if jstart <= x <= min(status, fdate(es[n - 1], ef[n - 1]))]
            picked = sorted(rng.sample(site_days, min(n_wd * 4, len(site_days))))
            count = 0
            for x in picked:
                opts = [w for w in WEATHER if x.month in w[4]]
                if not opts or count >= n_wd:
                    continue
                if rng.random() < 0.5:
                    continue
                cond, (h_lo, h_hi), rain, wind, _ = rng.choice(opts)
                wd_id += 1
                count += 1
                hrs = float(rng.randint(h_lo * 2, h_hi * 2)) / 2
                cur.execute("INSERT INTO weather_delay VALUES (?,?,?,?,?,?,?,?)", (
                    wd_id, job_id, iso(x), cond, hrs,
                    round(rng.uniform(12, 45), 1) if rain else None,
                    round(rng.uniform(45, 95), 0) if wind else None,
                    1 if hrs >= 6 or cond in ("Snow", "Thunderstorm") else 0))

    con.commit()
    return con


# ---------------------------------------------------------------------------
# Metadata document
# ---------------------------------------------------------------------------

TABLE_META = {
    "shift_calendar": ("Work calendars (shift patterns) that define the working week and hours used to schedule jobs and crews",
                       "calendars", {
        "calendar_id": ("Surrogate key of the calendar", "INTEGER"),
        "cal_name": ("Calendar name, e.g. Standard 5-Day or 7-Day Continuous", "TEXT"),
        "days_per_week": ("Number of working days in a normal week", "INTEGER"),
        "hrs_per_day": ("Working hours in a normal shift", "REAL"),
        "shift_start": ("Clock time the shift starts (HH:MM)", "TEXT"),
        "is_night_shift": ("1 when the calendar is a night-time shift pattern, else 0", "INTEGER"),
    }),
    "calendar_holiday": ("Non-working exception dates (public holidays, shutdowns) of each shift calendar",
                         "calendars", {
        "holiday_id": ("Surrogate key of the exception date", "INTEGER"),
        "calendar_id": ("Calendar the exception belongs to (shift_calendar.calendar_id)", "INTEGER"),
        "holiday_date": ("Date that is not worked", "DATE"),
        "label": ("Name of the holiday or shutdown", "TEXT"),
    }),
    "job": ("Contracts under management; one schedule per job with its planned and forecast completion",
            "portfolio", {
        "job_id": ("Surrogate key of the job", "INTEGER"),
        "job_no": ("Short job number used as the prefix of task references, e.g. NWT", "TEXT"),
        "title": ("Full job name", "TEXT"),
        "client": ("Client organisation the work is performed for", "TEXT"),
        "site_town": ("Town where the site is located", "TEXT"),
        "sector": ("Market sector of the job (Water, Highways, Buildings, Power)", "TEXT"),
        "state": ("Job lifecycle status", "TEXT"),
        "job_manager": ("Name of the responsible job manager", "TEXT"),
        "contract_value": ("Current contract sum in GBP", "REAL"),
        "calendar_id": ("Default shift calendar of the job (shift_calendar.calendar_id)", "INTEGER"),
        "planned_start": ("Contractual start date", "DATE"),
        "planned_end": ("Contractual completion date from the award baseline", "DATE"),
        "forecast_end": ("Currently forecast completion from the latest schedule update; null once closed", "DATE"),
        "actual_end": ("Date practical completion was achieved; null while open", "DATE"),
        "status_date": ("Data date of the latest schedule update", "DATE"),
    }),
    "job_phase": ("Work breakdown structure: the phases (level-2 WBS elements) of each job",
                  "planning", {
        "phase_id": ("Surrogate key of the phase", "INTEGER"),
        "job_id": ("Owning job (job.job_id)", "INTEGER"),
        "wbs_code": ("WBS code, job number plus phase sequence, e.g. NWT.2", "TEXT"),
        "title": ("Phase name", "TEXT"),
        "seq_no": ("Order of the phase within the job", "INTEGER"),
        "phase_lead": ("Engineer responsible for the phase", "TEXT"),
        "budget_hrs": ("Budgeted labour hours for the phase", "REAL"),
    }),
    "task": ("Schedule activities (tasks and milestones) with CPM dates, float and progress as at the job's status date",
             "planning", {
        "task_id": ("Surrogate key of the task", "INTEGER"),
        "job_id": ("Owning job (job.job_id)", "INTEGER"),
        "phase_id": ("WBS phase the task sits under (job_phase.phase_id)", "INTEGER"),
        "task_ref": ("Task reference, job number and a four-digit sequence, e.g. NWT-1040", "TEXT"),
        "title": ("Task description", "TEXT"),
        "task_kind": ("Task type", "TEXT"),
        "state": ("Progress status of the task", "TEXT"),
        "orig_dur_days": ("Original duration in working days", "INTEGER"),
        "rem_dur_days": ("Remaining duration in working days at the status date", "INTEGER"),
        "planned_start": ("Target start date agreed at award", "DATE"),
        "planned_end": ("Target finish date agreed at award", "DATE"),
        "early_start": ("Early start from the forward pass", "DATE"),
        "early_finish": ("Early finish from the forward pass", "DATE"),
        "late_start": ("Late start from the backward pass against the contract completion", "DATE"),
        "late_finish": ("Late finish from the backward pass against the contract completion", "DATE"),
        "actual_start": ("Date work actually started; null if not started", "DATE"),
        "actual_end": ("Date work actually finished; null if not complete", "DATE"),
        "forecast_end": ("Actual finish when complete, otherwise the early finish", "DATE"),
        "slack_days": ("Total float in working days (late finish minus early finish); negative when behind the contract date", "INTEGER"),
        "free_slack_days": ("Free float in working days: delay possible without moving any successor", "INTEGER"),
        "pct_done": ("Physical percent complete, 0-100", "REAL"),
        "on_critical_path": ("1 when the task is an unfinished task with total float of zero or less, else 0", "INTEGER"),
    }),
    "task_link": ("Logic ties between tasks (predecessor to successor) with relationship type and lag",
                  "planning", {
        "link_id": ("Surrogate key of the link", "INTEGER"),
        "pred_task_id": ("Predecessor task (task.task_id)", "INTEGER"),
        "succ_task_id": ("Successor task (task.task_id)", "INTEGER"),
        "link_kind": ("Relationship type: FS, SS, FF or SF", "TEXT"),
        "lag_days": ("Lag in working days; negative values are leads", "INTEGER"),
        "is_driving": ("1 when the link determines the successor's early date, else 0", "INTEGER"),
    }),
    "baseline_task": ("Saved baseline dates of tasks; baseline 1 is the award baseline, later numbers are approved re-baselines",
                      "planning", {
        "bl_id": ("Surrogate key of the baseline row", "INTEGER"),
        "task_id": ("Task the baseline dates belong to (task.task_id)", "INTEGER"),
        "baseline_no": ("Baseline number, 1 = award baseline", "INTEGER"),
        "captured_on": ("Date the baseline was saved", "DATE"),
        "bl_start": ("Baseline start date", "DATE"),
        "bl_end": ("Baseline finish date", "DATE"),
        "bl_dur_days": ("Baseline duration in working days", "INTEGER"),
    }),
    "crew": ("Labour resources: direct and subcontract crews by trade",
             "resources", {
        "crew_id": ("Surrogate key of the crew", "INTEGER"),
        "crew_name": ("Crew name", "TEXT"),
        "trade": ("Trade or discipline of the crew", "TEXT"),
        "headcount": ("Number of operatives in the crew", "INTEGER"),
        "supplier": ("Employer of the crew: In-house or the subcontractor's name", "TEXT"),
        "day_rate": ("Cost of the whole crew per working day in GBP", "REAL"),
        "calendar_id": ("Calendar the crew works to (shift_calendar.calendar_id)", "INTEGER"),
    }),
    "crew_booking": ("Allocation of crews to tasks with planned and booked hours",
                     "resources", {
        "booking_id": ("Surrogate key of the booking", "INTEGER"),
        "crew_id": ("Crew booked (crew.crew_id)", "INTEGER"),
        "task_id": ("Task the crew is booked on (task.task_id)", "INTEGER"),
        "booked_from": ("First day of the booking", "DATE"),
        "booked_to": ("Last day of the booking", "DATE"),
        "hrs_planned": ("Planned labour hours", "REAL"),
        "hrs_actual": ("Labour hours booked to date from timesheets", "REAL"),
    }),
    "equipment": ("Plant and equipment register, owned and hired",
                  "resources", {
        "equip_id": ("Surrogate key of the item", "INTEGER"),
        "tag_no": ("Plant tag number", "TEXT"),
        "equip_name": ("Plant description", "TEXT"),
        "category": ("Plant category", "TEXT"),
        "ownership": ("Owned or Hired", "TEXT"),
        "daily_rate": ("Internal charge or hire rate per day in GBP", "REAL"),
        "state": ("Current availability status", "TEXT"),
        "next_service_due": ("Date the next statutory inspection or service is due", "DATE"),
    }),
    "equipment_booking": ("Allocation of plant to tasks",
                          "resources", {
        "booking_id": ("Surrogate key of the booking", "INTEGER"),
        "equip_id": ("Plant item booked (equipment.equip_id)", "INTEGER"),
        "task_id": ("Task the plant is booked on (task.task_id)", "INTEGER"),
        "booked_from": ("First day of the booking", "DATE"),
        "booked_to": ("Last day of the booking", "DATE"),
        "hrs_used": ("Recorded operating hours to date", "REAL"),
    }),
    "progress_update": ("Fortnightly progress records per task, one row per task and status date",
                        "progress", {
        "update_id": ("Surrogate key of the update", "INTEGER"),
        "task_id": ("Task reported on (task.task_id)", "INTEGER"),
        "status_date": ("Status date of the update (a Friday)", "DATE"),
        "pct_done": ("Percent complete reported at the status date", "REAL"),
        "rem_dur_days": ("Remaining duration reported, in working days", "INTEGER"),
        "reported_by": ("Person who submitted the update", "TEXT"),
        "remark": ("Free-text comment from the reporter", "TEXT"),
    }),
    "issue_log": ("Register of site and project issues, with severity, owner and estimated delay",
                  "control", {
        "issue_id": ("Surrogate key of the issue", "INTEGER"),
        "job_id": ("Job the issue was raised on (job.job_id)", "INTEGER"),
        "task_id": ("Task affected, if any (task.task_id)", "INTEGER"),
        "issue_ref": ("Issue reference, e.g. NWT-ISS-004", "TEXT"),
        "title": ("Short description of the issue", "TEXT"),
        "category": ("Issue category", "TEXT"),
        "severity": ("Severity rating", "TEXT"),
        "state": ("Issue status", "TEXT"),
        "raised_by": ("Person who raised the issue", "TEXT"),
        "owner": ("Person responsible for resolving the issue", "TEXT"),
        "raised_on": ("Date raised", "DATE"),
        "target_date": ("Date the issue should be resolved by", "DATE"),
        "closed_on": ("Date resolved or closed; null while open", "DATE"),
        "est_delay_days": ("Estimated delay to the affected work in working days", "INTEGER"),
    }),
    "change_order": ("Contract variations with their cost and time impact",
                     "control", {
        "co_id": ("Surrogate key of the change order", "INTEGER"),
        "job_id": ("Job varied (job.job_id)", "INTEGER"),
        "co_no": ("Change order number, e.g. NWT-CO-002", "TEXT"),
        "title": ("Description of the change", "TEXT"),
        "reason": ("Reason code", "TEXT"),
        "state": ("Approval status", "TEXT"),
        "submitted_on": ("Date submitted to the client", "DATE"),
        "decided_on": ("Date approved or rejected; null while pending", "DATE"),
        "cost_delta": ("Change to the contract sum in GBP; negative for omissions", "REAL"),
        "time_delta_days": ("Extension (positive) or reduction (negative) of time in working days", "INTEGER"),
    }),
    "inspection": ("Quality inspections, tests and hold points carried out on tasks",
                   "quality", {
        "inspection_id": ("Surrogate key of the inspection", "INTEGER"),
        "task_id": ("Task inspected (task.task_id)", "INTEGER"),
        "inspection_kind": ("Type of inspection or test", "TEXT"),
        "inspected_on": ("Date of the inspection", "DATE"),
        "inspector": ("Inspector name and organisation", "TEXT"),
        "outcome": ("Result of the inspection", "TEXT"),
        "reinspect_needed": ("1 when a re-inspection is required, else 0", "INTEGER"),
        "notes": ("Inspector's notes; populated for failed and conditional results", "TEXT"),
    }),
    "weather_delay": ("Working time lost to adverse weather, recorded per job and day",
                      "progress", {
        "delay_id": ("Surrogate key of the record", "INTEGER"),
        "job_id": ("Job affected (job.job_id)", "INTEGER"),
        "delay_date": ("Day the time was lost", "DATE"),
        "condition": ("Weather condition", "TEXT"),
        "hrs_lost": ("Working hours lost", "REAL"),
        "rain_mm": ("Rainfall recorded on site in mm, where measured", "REAL"),
        "wind_kmh": ("Peak gust recorded on site in km/h, where measured", "REAL"),
        "claimable": ("1 when the event meets the contract's exceptional weather threshold, else 0", "INTEGER"),
    }),
}

INDEXED = {
    ("calendar_holiday", "calendar_id"), ("job_phase", "job_id"), ("task", "job_id"),
    ("task", "phase_id"), ("task", "state"), ("task", "task_ref"), ("job", "job_no"),
    ("task_link", "pred_task_id"), ("task_link", "succ_task_id"), ("baseline_task", "task_id"),
    ("crew_booking", "crew_id"), ("crew_booking", "task_id"), ("equipment_booking", "equip_id"),
    ("equipment_booking", "task_id"), ("progress_update", "task_id"), ("issue_log", "job_id"),
    ("issue_log", "task_id"), ("issue_log", "issue_ref"), ("change_order", "job_id"),
    ("change_order", "co_no"), ("inspection", "task_id"), ("weather_delay", "job_id"),
    ("equipment", "tag_no"),
}

BUSINESS_RULES = {
    ("job", "state"): ["Allowed Values: Tendering, Active, On Hold, Closed",
                       "Closure: a Closed job has actual_end set and forecast_end null"],
    ("job", "forecast_end"): ["Slippage: forecast_end later than planned_end means the job is running late"],
    ("task", "task_kind"): ["Allowed Values: Task, Start Milestone, Finish Milestone",
                            "Milestones: milestones have zero duration"],
    ("task", "state"): ["Allowed Values: Not Started, In Progress, Complete, On Hold",
                        "Completion: a Complete task has pct_done = 100 and actual_end set"],
    ("task", "slack_days"): ["Critical Threshold: tasks with slack_days <= 0 are critical",
                             "Negative Float: slack_days < 0 means the task cannot finish in time for the contract completion date"],
    ("task", "on_critical_path"): ["Derivation: on_critical_path = 1 when slack_days <= 0 and the task is not Complete"],
    ("task", "pct_done"): ["Range: 0 to 100; 100 only for Complete tasks"],
    ("task", "forecast_end"): ["Slippage: forecast_end - planned_end is the finish variance against award"],
    ("task_link", "link_kind"): ["Allowed Values: FS (finish-to-start), SS (start-to-start), FF (finish-to-finish), SF (start-to-finish)"],
    ("task_link", "lag_days"): ["Leads: a negative lag is a lead"],
    ("baseline_task", "baseline_no"): ["Current Baseline: the highest baseline_no for a task is the current baseline"],
    ("crew", "supplier"): ["Direct Labour: supplier = 'In-house' for directly employed crews"],
    ("equipment", "ownership"): ["Allowed Values: Owned, Hired"],
    ("equipment", "state"): ["Allowed Values: Available, On Site, Under Repair, Off Hired"],
    ("issue_log", "severity"): ["Allowed Values: Low, Medium, High, Critical",
                                "Escalation: High and Critical issues are reported to the job manager weekly"],
    ("issue_log", "state"): ["Allowed Values: Open, In Review, Resolved, Closed",
                             "Open Issue: an issue is live while state is Open or In Review"],
    ("change_order", "state"): ["Allowed Values: Draft, Submitted, Under Review, Approved, Rejected",
                                "Pending: Draft, Submitted and Under Review orders are not yet decided"],
    ("change_order", "cost_delta"): ["Omissions: scope reductions carry a negative cost_delta"],
    ("inspection", "outcome"): ["Allowed Values: Pass, Conditional Pass, Fail",
                                "Re-inspection: a Fail always sets reinspect_needed = 1"],
    ("weather_delay", "claimable"): ["Exceptional Weather: events losing 6 hours or more, snow and thunderstorms are claimable"],
}

CONCEPTS = {
    ("task", "slack_days"): ["total_float", "critical_path", "negative_float"],
    ("task", "free_slack_days"): ["free_float"],
    ("task", "on_critical_path"): ["critical_path"],
    ("task", "pct_done"): ["percent_complete"],
    ("task", "forecast_end"): ["slippage"],
    ("task", "planned_end"): ["slippage"],
    ("task", "task_kind"): ["milestone"],
    ("job", "forecast_end"): ["slippage"],
    ("task_link", "link_kind"): ["logic"],
    ("task_link", "lag_days"): ["lag"],
    ("task_link", "is_driving"): ["logic", "critical_path"],
    ("baseline_task", "bl_end"): ["baseline_variance"],
    ("baseline_task", "baseline_no"): ["baseline_variance"],
    ("crew_booking", "hrs_planned"): ["resource_loading"],
    ("crew_booking", "hrs_actual"): ["resource_loading"],
    ("equipment_booking", "hrs_used"): ["plant_utilisation"],
    ("issue_log", "severity"): ["open_issue"],
    ("issue_log", "state"): ["open_issue"],
    ("change_order", "cost_delta"): ["variation_exposure"],
    ("change_order", "time_delta_days"): ["variation_exposure", "extension_of_time"],
    ("inspection", "outcome"): ["hold_point"],
    ("weather_delay", "hrs_lost"): ["weather_loss"],
    ("weather_delay", "claimable"): ["weather_loss", "extension_of_time"],
}

RELATIONSHIPS = [
    ("job", "shift_calendar", "job.calendar_id = shift_calendar.calendar_id", "Default calendar of the job"),
    ("calendar_holiday", "shift_calendar", "calendar_holiday.calendar_id = shift_calendar.calendar_id", "Exception dates of a calendar"),
    ("job_phase", "job", "job_phase.job_id = job.job_id", "Phases of a job"),
    ("task", "job", "task.job_id = job.job_id", "Tasks of a job"),
    ("task", "job_phase", "task.phase_id = job_phase.phase_id", "WBS phase of a task"),
    ("task_link", "task", "task_link.pred_task_id = task.task_id", "Predecessor side of a logic link"),
    ("task_link", "task", "task_link.succ_task_id = task.task_id", "Successor side of a logic link"),
    ("baseline_task", "task", "baseline_task.task_id = task.task_id", "Baseline dates of a task"),
    ("crew", "shift_calendar", "crew.calendar_id = shift_calendar.calendar_id", "Calendar a crew works to"),
    ("crew_booking", "crew", "crew_booking.crew_id = crew.crew_id", "Crew of a booking"),
    ("crew_booking", "task", "crew_booking.task_id = task.task_id", "Task a crew is booked on"),
    ("equipment_booking", "equipment", "equipment_booking.equip_id = equipment.equip_id", "Plant item of a booking"),
    ("equipment_booking", "task", "equipment_booking.task_id = task.task_id", "Task a plant item is booked on"),
    ("progress_update", "task", "progress_update.task_id = task.task_id", "Progress history of a task"),
    ("issue_log", "job", "issue_log.job_id = job.job_id", "Issues raised on a job"),
    ("issue_log", "task", "issue_log.task_id = task.task_id", "Task affected by an issue"),
    ("change_order", "job", "change_order.job_id = job.job_id", "Variations of a job"),
    ("inspection", "task", "inspection.task_id = task.task_id", "Inspections carried out on a task"),
    ("weather_delay", "job", "weather_delay.job_id = job.job_id", "Weather time lost on a job"),
]

BUSINESS_CONCEPTS = {
    "total_float": "Working days a task can slip without delaying the contract completion date (late finish minus early finish)",
    "free_float": "Working days a task can slip without delaying the early date of any successor",
    "negative_float": "Total float below zero: the current forecast cannot meet the contract completion date through this task",
    "critical_path": "The chain of tasks with the least total float that determines the job's completion date",
    "percent_complete": "Physical progress of a task as a percentage of its scope",
    "slippage": "Difference between a forecast date and the corresponding planned or baseline date",
    "baseline_variance": "Difference between current dates and the dates saved in a baseline",
    "milestone": "Zero-duration task marking a key event such as notice to proceed or phase completion",
    "logic": "Network of predecessor and successor relationships that sequences the tasks",
    "lag": "Delay (or, when negative, lead) applied to a logic link",
    "resource_loading": "Labour hours planned or booked against tasks by crew",
    "plant_utilisation": "Operating hours of plant items against the time they are booked",
    "open_issue": "An issue still awaiting resolution (Open or In Review)",
    "variation_exposure": "Cost and time impact of change orders on a job",
    "extension_of_time": "Contractual entitlement to more time, from approved change orders or exceptional weather",
    "hold_point": "Inspection that must be passed before the following work may proceed",
    "weather_loss": "Working hours lost to adverse weather",
}

QUERY_EXAMPLES = [
    ("SELECT j.job_no, j.title, j.planned_end, j.forecast_end, julianday(j.forecast_end) - julianday(j.planned_end) AS days_late FROM job j WHERE j.state = 'Active' ORDER BY days_late DESC;",
     "Active jobs with the calendar days between contract and forecast completion", "simple"),
    ("SELECT t.task_ref, t.title, t.slack_days FROM task t JOIN job j ON j.job_id = t.job_id WHERE j.job_no = 'ESV' AND t.on_critical_path = 1 ORDER BY t.early_start;",
     "Critical tasks of one job in date order", "simple"),
    ("SELECT p.task_ref AS predecessor, s.task_ref AS successor, l.link_kind, l.lag_days FROM task_link l JOIN task p ON p.task_id = l.pred_task_id JOIN task s ON s.task_id = l.succ_task_id WHERE l.link_kind <> 'FS';",
     "Logic links other than finish-to-start", "medium"),
    ("SELECT c.crew_name, SUM(b.hrs_planned) AS planned_hrs, SUM(b.hrs_actual) AS actual_hrs FROM crew c JOIN crew_booking b ON b.crew_id = c.crew_id GROUP BY c.crew_id, c.crew_name ORDER BY planned_hrs DESC;",
     "Planned against booked labour hours per crew", "medium"),
    ("SELECT j.job_no, i.severity, COUNT(*) AS issues FROM issue_log i JOIN job j ON j.job_id = i.job_id WHERE i.state IN ('Open', 'In Review') GROUP BY j.job_no, i.severity;",
     "Live issues by job and severity", "medium"),
    ("SELECT t.task_ref, t.title, b.bl_end, t.forecast_end FROM task t JOIN baseline_task b ON b.task_id = t.task_id WHERE b.baseline_no = (SELECT MAX(b2.baseline_no) FROM baseline_task b2 WHERE b2.task_id = t.task_id) AND t.forecast_end > b.bl_end;",
     "Tasks forecast to finish after their current baseline finish", "complex"),
    ("SELECT j.job_no, SUM(w.hrs_lost) AS hrs_lost, SUM(CASE WHEN w.claimable = 1 THEN w.hrs_lost ELSE 0 END) AS claimable_hrs FROM weather_delay w JOIN job j ON j.job_id = w.job_id GROUP BY j.job_no;",
     "Weather time lost per job, split by claimability", "medium"),
    ("WITH co AS (SELECT job_id, SUM(cost_delta) AS approved_cost, SUM(time_delta_days) AS approved_days FROM change_order WHERE state = 'Approved' GROUP BY job_id) SELECT j.job_no, j.contract_value, co.approved_cost, co.approved_days FROM job j LEFT JOIN co ON co.job_id = j.job_id;",
     "Approved variation cost and time per job", "complex"),
    ("SELECT e.tag_no, e.equip_name, COUNT(b.booking_id) AS bookings, MIN(b.booked_from) AS first_day, MAX(b.booked_to) AS last_day FROM equipment e LEFT JOIN equipment_booking b ON b.equip_id = e.equip_id GROUP BY e.equip_id, e.tag_no, e.equip_name;",
     "Booking span of each plant item", "medium"),
]

KEYWORDS = {
    "job": ["job"], "contract": ["job", "job.contract_value"], "site": ["job", "job.site_town"],
    "client": ["job.client"],
    "phase": ["job_phase"], "wbs": ["job_phase", "job_phase.wbs_code"],
    "task": ["task"], "milestone": ["task.task_kind", "milestone"],
    "float": ["task.slack_days", "task.free_slack_days", "total_float"],
    "slack": ["task.slack_days", "total_float"],
    "free float": ["task.free_slack_days", "free_float"],
    "critical": ["task.on_critical_path", "critical_path"],
    "critical path": ["task.on_critical_path", "task.slack_days", "critical_path"],
    "percent complete": ["task.pct_done", "percent_complete"],
    "progress": ["progress_update", "task.pct_done"],
    "status date": ["job.status_date", "progress_update.status_date"],
    "predecessor": ["task_link.pred_task_id", "task_link"],
    "successor": ["task_link.succ_task_id", "task_link"],
    "relationship": ["task_link", "logic"], "lag": ["task_link.lag_days", "lag"],
    "lead": ["task_link.lag_days", "lag"],
    "baseline": ["baseline_task", "baseline_variance"],
    "variance": ["baseline_task.bl_end", "task.forecast_end", "baseline_variance"],
    "calendar": ["shift_calendar"], "holiday": ["calendar_holiday"],
    "shift": ["shift_calendar"],
    "crew": ["crew"], "trade": ["crew.trade"], "subcontractor": ["crew.supplier"],
    "booking": ["crew_booking", "equipment_booking"],
    "hours": ["crew_booking.hrs_planned", "crew_booking.hrs_actual", "resource_loading"],
    "plant": ["equipment"], "equipment": ["equipment"], "crane": ["equipment.equip_name"],
    "hire": ["equipment.ownership", "equipment.daily_rate"],
    "issue": ["issue_log", "open_issue"], "severity": ["issue_log.severity"],
    "variation": ["change_order", "variation_exposure"],
    "change": ["change_order"],
    "extension of time": ["change_order.time_delta_days", "extension_of_time"],
    "inspection": ["inspection"], "hold point": ["inspection", "hold_point"],
    "weather": ["weather_delay", "weather_loss"], "rain": ["weather_delay.rain_mm"],
    "wind": ["weather_delay.wind_kmh"],
    "delay": ["weather_delay", "issue_log.est_delay_days", "slippage"],
    "late": ["task.forecast_end", "job.forecast_end", "slippage"],
}

TERMINOLOGY = {
    "total float": "Late finish minus early finish of a task, in working days",
    "free float": "Time a task can slip without delaying any successor",
    "critical path": "Longest path through the network; tasks with zero or negative total float",
    "negative float": "Total float below zero, showing the contract date cannot currently be met",
    "FS": "Finish-to-start: the successor starts after the predecessor finishes",
    "SS": "Start-to-start: the successor starts after the predecessor starts",
    "FF": "Finish-to-finish: the successor finishes after the predecessor finishes",
    "SF": "Start-to-finish: the successor finishes after the predecessor starts",
    "lag": "Waiting time on a relationship; a negative lag is a lead",
    "data date": "Status date up to which progress has been recorded",
    "NTP": "Notice to proceed, the start milestone of a job",
    "practical completion": "Milestone at which the works are handed over to the client",
    "re-baseline": "Saving a new baseline after an approved programme revision",
    "WBS": "Work breakdown structure; here the phases of a job",
    "hold point": "Inspection beyond which work must not proceed until released",
    "EOT": "Extension of time granted under the contract",
    "CIPP": "Cured-in-place pipe, a trenchless sewer lining method",
}


def validate_metadata(meta, con):
    """Internal consistency of the document: every reference resolves."""
    tables = meta["tables"]
    concepts = meta["business_concepts"]
    for t, tm in tables.items():
        for c, cm in tm["columns"].items():
            assert cm["data_type"] in ("INTEGER", "TEXT", "REAL", "DATE"), (t, c)
            for name in cm.get("concepts", []):
                assert name in concepts, (t, c, name)
            for rule in cm.get("business_rules", []):
                assert ": " in rule, (t, c, rule)
    for r in meta["relationships"]:
        assert r["from_table"] in tables and r["to_table"] in tables, r
        for side in re.findall(r"(\w+)\.(\w+)", r["join_condition"]):
            assert side[0] in tables and side[1] in tables[side[0]]["columns"], r
    for kw, targets in meta["keywords"].items():
        for target in targets:
            if "." in target:
                t, c = target.split(".", 1)
                assert t in tables and c in tables[t]["columns"], (kw, target)
            else:
                assert target in tables or target in concepts, (kw, target)
    for ex in meta["query_examples"]:
        assert ex["complexity"] in ("simple", "medium", "complex"), ex


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, indexed=INDEXED)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


# ---------------------------------------------------------------------------
# Check mode
# ---------------------------------------------------------------------------

def check(db_path, questions_path, verbose):
    con = sqlite3.connect(db_path)
    known = {r[0] for r in con.execute("SELECT name FROM sqlite_master WHERE type = 'table'")}
    with open(questions_path, encoding="utf-8") as fh:
        questions = json.load(fh)
    by_diff = {}
    failures = 0
    rows_seen = []
    unanswerable = followups = 0
    for n, q in enumerate(questions, 1):
        diff = q.get("difficulty")
        by_diff[diff] = by_diff.get(diff, 0) + 1
        problems = []
        if diff not in ("easy", "medium", "hard"):
            problems.append(f"bad difficulty {diff!r}")
        if q.get("answerable", True) is False:
            unanswerable += 1
            if q.get("gold_tables") != [] or q.get("gold_sql") != "":
                problems.append("unanswerable question must have gold_tables [] and gold_sql \"\"")
            if verbose or problems:
                print(f"{n:3d} [{diff:6s}] unanswerable  {q['question']}")
            for p in problems:
                print(f"      ERROR: {p}")
            failures += bool(problems)
            continue
        statements = [("gold", q["gold_sql"])]
        if "previous_sql" in q:
            followups += 1
            statements.append(("previous", q["previous_sql"]))
        count = None
        for label, sql in statements:
            try:
                rows = con.execute(sql).fetchall()
            except sqlite3.Error as exc:
                problems.append(f"{label} SQL error: {exc}")
                continue
            if not rows:
                problems.append(f"{label} SQL returned no rows")
            if label == "gold":
                count = len(rows)
        tabs = referenced_tables(q["gold_sql"], known)
        if sorted(tabs) != sorted(t.lower() for t in q["gold_tables"]):
            problems.append(f"gold_tables {q['gold_tables']} but SQL reads {tabs}")
        if count is not None:
            rows_seen.append(count)
        if verbose or problems:
            print(f"{n:3d} [{diff:6s}] rows={count!s:>4}  {q['question']}")
        for p in problems:
            print(f"      ERROR: {p}")
        failures += bool(problems)
    rows_seen.sort()
    answerable = len(questions) - unanswerable
    print(f"{len(questions)} questions: " + ", ".join(f"{k} {by_diff.get(k, 0)}" for k in ("easy", "medium", "hard"))
          + f"; {unanswerable} unanswerable; {followups} follow-ups")
    if rows_seen:
        print(f"{answerable} gold statements run: rows min {rows_seen[0]}, "
              f"median {rows_seen[len(rows_seen) // 2]}, max {rows_seen[-1]}")
    print("check: OK" if not failures else f"check: {failures} question(s) FAILED")
    return 0 if not failures else 1


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, validate=validate_metadata, check=check,
                      count_table="task")


if __name__ == "__main__":
    sys.exit(main())
