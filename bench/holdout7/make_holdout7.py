#!/usr/bin/env python3
"""Build the seventh check schedule database (module-prefixed owner's tables) and its metadata document.

A seventh project-scheduling database shape, a development set for general linking rules:
an owner's capital-programme database (a council / utility running many contracts), with
table names grouped by a module prefix (pm_, sched_, cost_, risk_, hse_, ref_) and singular
full words (pm_contract, sched_task, sched_task_link, cost_invoice, risk_register,
hse_incident, site_diary_entry, ...), full-word columns (contract_reference, award_value,
forecast_final_cost, total_float_days, is_on_critical_path 0/1, link_type 'FS'/'SS'/'FF'/'SF',
rag_status 'Red'/'Amber'/'Green', incident_category, ...) and value vocabularies of its own
('Not Started' / 'Underway' / 'Finished' tasks, 'Pre-Construction' / 'Construction' /
'Defects Period' contracts, 'Notified' / 'Quoted' / 'Implemented' / 'Rejected' change events).

Outputs go to bench/out/holdout7/ (or --out DIR); --check also runs every gold statement of
questions.json. The command line is bench/schedule_build.py's. Standard library only;
deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 7707
DATA_DATE = dt.date(2025, 9, 30)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import default_out, describe_tables, main as build_main, metadata_document  # noqa: E402
DB_NAME = "holdout7_schedule.db"
META_NAME = "holdout7_metadata.json"

DDL = """
CREATE TABLE ref_calendar (
    calendar_id INTEGER PRIMARY KEY, calendar_name TEXT NOT NULL, working_days_per_week INTEGER NOT NULL,
    hours_per_day REAL NOT NULL
);
CREATE TABLE ref_public_holiday (
    public_holiday_id INTEGER PRIMARY KEY, calendar_id INTEGER NOT NULL REFERENCES ref_calendar(calendar_id),
    holiday_date TEXT NOT NULL, holiday_name TEXT NOT NULL
);
CREATE TABLE pm_contractor (
    contractor_id INTEGER PRIMARY KEY, contractor_name TEXT NOT NULL, contractor_role TEXT NOT NULL,
    trade_specialism TEXT NOT NULL, prequalification_status TEXT NOT NULL, head_office_town TEXT NOT NULL,
    contact_name TEXT NOT NULL
);
CREATE TABLE pm_contract (
    contract_id INTEGER PRIMARY KEY, contract_reference TEXT NOT NULL UNIQUE, project_code TEXT NOT NULL UNIQUE,
    contract_title TEXT NOT NULL, programme_area TEXT NOT NULL, contract_form TEXT NOT NULL,
    contractor_id INTEGER NOT NULL REFERENCES pm_contractor(contractor_id), contract_stage TEXT NOT NULL,
    sponsor_name TEXT NOT NULL, project_manager_name TEXT NOT NULL, award_date TEXT NOT NULL,
    award_value REAL NOT NULL, forecast_final_cost REAL NOT NULL, planned_start TEXT NOT NULL,
    planned_finish TEXT NOT NULL, forecast_finish TEXT NOT NULL, actual_finish TEXT,
    rag_status TEXT NOT NULL, data_date TEXT NOT NULL,
    calendar_id INTEGER NOT NULL REFERENCES ref_calendar(calendar_id)
);
CREATE TABLE pm_package (
    package_id INTEGER PRIMARY KEY, contract_id INTEGER NOT NULL REFERENCES pm_contract(contract_id),
    package_code TEXT NOT NULL UNIQUE, package_name TEXT NOT NULL, package_manager TEXT NOT NULL,
    package_budget REAL NOT NULL
);
CREATE TABLE sched_milestone (
    milestone_id INTEGER PRIMARY KEY, contract_id INTEGER NOT NULL REFERENCES pm_contract(contract_id),
    milestone_code TEXT NOT NULL UNIQUE, milestone_name TEXT NOT NULL, milestone_type TEXT NOT NULL,
    baseline_date TEXT NOT NULL, forecast_date TEXT NOT NULL, actual_date TEXT,
    delay_damages_per_week REAL NOT NULL, rag_status TEXT NOT NULL
);
CREATE TABLE sched_task (
    task_id INTEGER PRIMARY KEY, contract_id INTEGER NOT NULL REFERENCES pm_contract(contract_id),
    package_id INTEGER NOT NULL REFERENCES pm_package(package_id), task_code TEXT NOT NULL UNIQUE,
    task_name TEXT NOT NULL, task_type TEXT NOT NULL, task_status TEXT NOT NULL,
    performed_by_contractor_id INTEGER REFERENCES pm_contractor(contractor_id),
    original_duration_days INTEGER NOT NULL, remaining_duration_days INTEGER NOT NULL,
    planned_start TEXT NOT NULL, planned_finish TEXT NOT NULL, forecast_start TEXT NOT NULL,
    forecast_finish TEXT NOT NULL, actual_start TEXT, actual_finish TEXT,
    total_float_days INTEGER NOT NULL, free_float_days INTEGER NOT NULL, is_on_critical_path INTEGER NOT NULL,
    percent_complete REAL NOT NULL
);
CREATE TABLE sched_task_link (
    task_link_id INTEGER PRIMARY KEY,
    predecessor_task_id INTEGER NOT NULL REFERENCES sched_task(task_id),
    successor_task_id INTEGER NOT NULL REFERENCES sched_task(task_id),
    link_type TEXT NOT NULL, lag_days INTEGER NOT NULL, is_driving INTEGER NOT NULL
);
CREATE TABLE sched_constraint (
    constraint_id INTEGER PRIMARY KEY, task_id INTEGER NOT NULL REFERENCES sched_task(task_id),
    constraint_type TEXT NOT NULL, constraint_date TEXT NOT NULL, constraint_reason TEXT NOT NULL
);
CREATE TABLE cost_commitment (
    commitment_id INTEGER PRIMARY KEY, contract_id INTEGER NOT NULL REFERENCES pm_contract(contract_id),
    package_id INTEGER NOT NULL REFERENCES pm_package(package_id),
    contractor_id INTEGER NOT NULL REFERENCES pm_contractor(contractor_id),
    commitment_reference TEXT NOT NULL UNIQUE, commitment_type TEXT NOT NULL, commitment_date TEXT NOT NULL,
    committed_value REAL NOT NULL, commitment_status TEXT NOT NULL
);
CREATE TABLE cost_invoice (
    invoice_id INTEGER PRIMARY KEY, commitment_id INTEGER NOT NULL REFERENCES cost_commitment(commitment_id),
    invoice_number TEXT NOT NULL UNIQUE, invoice_date TEXT NOT NULL, period_end_date TEXT NOT NULL,
    gross_amount REAL NOT NULL, retention_amount REAL NOT NULL, net_amount REAL NOT NULL,
    payment_status TEXT NOT NULL, paid_date TEXT
);
CREATE TABLE cost_change_event (
    change_event_id INTEGER PRIMARY KEY, contract_id INTEGER NOT NULL REFERENCES pm_contract(contract_id),
    event_reference TEXT NOT NULL UNIQUE, event_title TEXT NOT NULL, raised_by_party TEXT NOT NULL,
    raised_date TEXT NOT NULL, event_status TEXT NOT NULL, quoted_cost REAL, agreed_cost REAL,
    time_impact_days INTEGER NOT NULL
);
CREATE TABLE risk_register (
    risk_id INTEGER PRIMARY KEY, contract_id INTEGER NOT NULL REFERENCES pm_contract(contract_id),
    risk_reference TEXT NOT NULL UNIQUE, risk_title TEXT NOT NULL, risk_category TEXT NOT NULL,
    risk_owner TEXT NOT NULL, probability_percent INTEGER NOT NULL, cost_impact_most_likely REAL NOT NULL,
    schedule_impact_days INTEGER NOT NULL, rag_status TEXT NOT NULL, risk_status TEXT NOT NULL,
    date_raised TEXT NOT NULL, linked_task_id INTEGER REFERENCES sched_task(task_id)
);
CREATE TABLE risk_action (
    risk_action_id INTEGER PRIMARY KEY, risk_id INTEGER NOT NULL REFERENCES risk_register(risk_id),
    action_description TEXT NOT NULL, action_owner TEXT NOT NULL, due_date TEXT NOT NULL,
    completed_date TEXT, action_status TEXT NOT NULL
);
CREATE TABLE hse_incident (
    incident_id INTEGER PRIMARY KEY, contract_id INTEGER NOT NULL REFERENCES pm_contract(contract_id),
    contractor_id INTEGER NOT NULL REFERENCES pm_contractor(contractor_id),
    incident_reference TEXT NOT NULL UNIQUE, incident_date TEXT NOT NULL, incident_category TEXT NOT NULL,
    incident_summary TEXT NOT NULL, working_days_lost INTEGER NOT NULL, is_reportable INTEGER NOT NULL,
    investigation_status TEXT NOT NULL
);
CREATE TABLE site_diary_entry (
    diary_entry_id INTEGER PRIMARY KEY, contract_id INTEGER NOT NULL REFERENCES pm_contract(contract_id),
    entry_date TEXT NOT NULL, weather_condition TEXT NOT NULL, workforce_on_site INTEGER NOT NULL,
    hours_lost_to_weather REAL NOT NULL, recorded_by TEXT NOT NULL, diary_notes TEXT
);
"""

CALENDARS = [(1, "Standard Weekday", 5, 8.0), (2, "Extended Six Day", 6, 10.0),
             (3, "Tidal Seven Day", 7, 10.0)]

BANK_HOLIDAYS = [
    ("2024-12-25", "Christmas Day"), ("2024-12-26", "Boxing Day"), ("2025-01-01", "New Year's Day"),
    ("2025-04-18", "Good Friday"), ("2025-04-21", "Easter Monday"), ("2025-05-05", "Early May Bank Holiday"),
    ("2025-05-26", "Spring Bank Holiday"), ("2025-08-25", "Summer Bank Holiday"),
    ("2025-12-25", "Christmas Day"), ("2025-12-26", "Boxing Day"), ("2026-01-01", "New Year's Day"),
    ("2026-04-03", "Good Friday"), ("2026-04-06", "Easter Monday"),
]

CONTRACTORS = [
    # name, role, specialism, prequalification, town, contact
    ("Brackley Pipeline Services Ltd", "Principal Contractor", "Pipelines", "Approved", "Northampton", "Gareth Mole"),
    ("Carrow & Finch Construction", "Principal Contractor", "Building", "Approved", "Norwich", "Priya Lal"),
    ("Tidewell Marine Civils", "Principal Contractor", "Marine Civils", "Conditional", "Great Yarmouth",
     "Declan Roe"),
    ("Halden Structures", "Principal Contractor", "Bridges and Structures", "Approved", "Ipswich", "Maria Szabo"),
    ("Voltaic Depot Systems", "Subcontractor", "Electrical", "Approved", "Peterborough", "Ian Crouch"),
    ("Greystone Traffic Management", "Subcontractor", "Traffic Management", "Approved", "Cambridge",
     "Lucy Hartnell"),
    ("Anchor Piling Ltd", "Subcontractor", "Piling", "Conditional", "King's Lynn", "Tom Varga"),
    ("Meridian Surveying", "Consultant", "Surveys", "Approved", "Colchester", "Aisha Bello"),
    ("Northgate Precast", "Supplier", "Precast Concrete", "Approved", "Lincoln", "Neil Ashworth"),
    ("Quayside Scaffolding", "Subcontractor", "Access", "Suspended", "Lowestoft", "Craig Poole"),
    ("Penrose M&E", "Subcontractor", "Mechanical and Electrical", "Approved", "Bedford", "Zoe Kirwan"),
    ("Fenland Roofing Co", "Principal Contractor", "Roofing", "Approved", "Wisbech", "Martin Gedge"),
    ("Ridgeway Rock Supplies", "Supplier", "Rock Armour", "Conditional", "Grantham", "Olu Adeyemi"),
]

CONTRACTS = [
    # ref, code, title, area, form, contractor, stage, sponsor, pm, award date, award value, ffc,
    # start, finish, forecast finish, rag, calendar
    ("CP-2301", "HRW", "Hollins Road Water Main Renewal", "Water", "Target Cost", 1, "Construction",
     "Helen Marsh", "Rob Tennant", "2024-11-15", 6_850_000, 7_420_000, "2025-01-13", "2026-02-27", "2026-04-17",
     "Red", 1),
    ("CP-2302", "EBD", "Eastgate Bus Depot Electrification", "Transport", "Lump Sum", 2, "Construction",
     "Kwame Osei", "Jenny Fairweather", "2024-08-30", 12_400_000, 12_950_000, "2024-10-07", "2026-01-30",
     "2026-02-20", "Amber", 1),
    ("CP-2303", "SPW", "Saltmarsh Promenade Sea Wall", "Coastal", "Target Cost", 3, "Construction",
     "Helen Marsh", "Stuart Byrne", "2024-05-20", 18_900_000, 21_350_000, "2024-07-01", "2026-03-31",
     "2026-07-31", "Red", 3),
    ("CP-2304", "KCL", "Kingsmead Central Library Refurbishment", "Community Buildings", "Lump Sum", 2,
     "Construction", "Ann Whitlock", "Jenny Fairweather", "2025-01-10", 4_250_000, 4_180_000, "2025-03-03",
     "2026-01-16", "2026-01-09", "Green", 1),
    ("CP-2305", "FLB", "Ferry Lane Bridge Strengthening", "Highways", "Remeasurement", 4, "Construction",
     "Kwame Osei", "Stuart Byrne", "2025-02-14", 3_600_000, 3_910_000, "2025-04-07", "2025-12-19", "2026-01-30",
     "Amber", 2),
    ("CP-2306", "OPS", "Orchard Park Pumping Station Upgrade", "Water", "Target Cost", 1, "Defects Period",
     "Helen Marsh", "Rob Tennant", "2023-09-01", 2_950_000, 3_020_000, "2023-10-02", "2025-03-28", "2025-04-25",
     "Green", 1),
    ("CP-2307", "WLC", "Wyvern Leisure Centre Roof Replacement", "Community Buildings", "Lump Sum", 12,
     "Pre-Construction", "Ann Whitlock", "Priti Shah", "2025-08-22", 1_780_000, 1_780_000, "2025-11-03",
     "2026-06-26", "2026-06-26", "Green", 1),
]

ENABLING = ("Enabling and Design", [
    ("Contract Award", "Milestone"), ("Utility Searches", "Task"), ("Mobilise Site Compound", "Task"),
    ("Pre-construction Surveys", "Task"), ("Permits and Consents", "Task"), ("Detailed Design", "Task"), ("Design Acceptance", "Milestone"), ("Project Management", "Level of Effort"),
])
HANDOVER = ("Commissioning and Handover", [
    ("Testing and Commissioning", "Task"), ("Snagging", "Task"), ("As-built Drawings", "Task"),
    ("Operation and Maintenance Manuals", "Task"),
    ("Completion Certificate", "Milestone"),
])
WORKS = {
    "HRW": [
        ("Pipe Laying", ["Traffic Management Set-up", "Trial Holes", "Excavate and Lay Section A",
                         "Excavate and Lay Section B", "Excavate and Lay Section C",
                         "Directional Drill under Railway", "Thrust Blocks and Valves"]),
        ("Connections and Reinstatement", ["Pressure Test Main", "Chlorinate and Flush",
                                           "Transfer Service Connections", "Abandon Old Main",
                                           "Reinstate Carriageway", "Remove Traffic Management"]),
    ],
    "EBD": [
        ("Power Supply", ["Install HV Substation", "Cable Ducting Runs", "Pull HV Cables", "Energise Substation"]),
        ("Charging Infrastructure", ["Install Charger Bases", "Install Chargers Bays 1-20",
                                     "Install Chargers Bays 21-40", "Canopy Steelwork", "Canopy Roofing",
                                     "Charger Commissioning", "Resurface Depot Yard"]),
    ],
    "SPW": [
        ("Marine Works", ["Temporary Cofferdam", "Sheet Piling Phase 1", "Sheet Piling Phase 2",
                          "Place Precast Toe Units", "Rock Armour Placement", "Remove Cofferdam"]),
        ("Promenade Works", ["Wave Return Wall", "Drainage Outfalls", "Promenade Surfacing",
                             "Beach Access Steps", "Street Lighting"]),
    ],
    "KCL": [
        ("Strip Out and Fabric", ["Strip Out", "Asbestos Removal", "Roof Repairs", "Window Replacement"]),
        ("Services and Fit Out", ["Mechanical First Fix", "Electrical First Fix", "New Lift Installation",
                                  "Partitions and Ceilings", "Decoration", "Fit Out Shelving",
                                  "IT and AV Install"]),
    ],
    "FLB": [
        ("Structural Strengthening", ["Traffic Management Set-up", "Deck Propping", "Bearing Replacement",
                                      "Concrete Repairs", "Steel Plate Bonding"]),
        ("Deck Finishes", ["Parapet Replacement", "Deck Waterproofing", "Deck Surfacing", "Load Test",
                           "Remove Traffic Management"]),
    ],
    "OPS": [
        ("Mechanical and Electrical", ["Duty Pump Replacement", "Standby Pump Replacement",
                                       "Motor Control Centre Upgrade", "Telemetry Install",
                                       "Wet Well Refurbishment", "Pipework Modifications"]),
        ("Civils", ["Access Road Widening", "Kiosk Foundations", "Security Fencing"]),
    ],
    "WLC": [
        ("Roofing", ["Scaffold Erection", "Strip Existing Roof", "Structural Deck Repairs",
                     "Insulation and Membrane", "Rooflights", "Scaffold Strike"]),
        ("Roof Plant", ["Solar PV Install", "Lightning Protection", "Roof Plant Relocation"]),
    ],
}
# Subcontractor doing the work of a package (1-based contractor ids), the rest by the principal.
PACKAGE_SUBBIES = {
    ("HRW", "Pipe Laying"): [6], ("HRW", "Enabling and Design"): [8],
    ("EBD", "Power Supply"): [5], ("EBD", "Charging Infrastructure"): [5, 11],
    ("SPW", "Marine Works"): [7, 13, 9], ("SPW", "Promenade Works"): [9, 10],
    ("KCL", "Services and Fit Out"): [11], ("KCL", "Strip Out and Fabric"): [10],
    ("FLB", "Structural Strengthening"): [6], ("FLB", "Deck Finishes"): [6, 9],
    ("OPS", "Mechanical and Electrical"): [11], ("WLC", "Roofing"): [10], ("WLC", "Roof Plant"): [5],
}

MILESTONES = [
    ("Start on Site", "Key Date", 0.0), ("Design Freeze", "Internal", 0.15),
    ("Sectional Completion 1", "Sectional Completion", 0.55), ("Completion", "Completion", 1.0),
]

PEOPLE = ["Rob Tennant", "Jenny Fairweather", "Stuart Byrne", "Priti Shah", "Dan Oduya", "Leah Grant",
          "Morgan Pryce", "Helen Marsh"]

CONSTRAINT_REASONS = {
    "Water": ["Road space booking", "Possession booked with the railway", "Third party consent",
              "Long lead equipment delivery"],
    "Transport": ["Depot operations handback", "Long lead equipment delivery", "Network operator connection date"],
    "Coastal": ["Tide window", "Bird nesting season", "Environmental permit condition"],
    "Community Buildings": ["Client decant date", "Bat survey season", "Long lead equipment delivery"],
    "Highways": ["Road space booking", "River navigation closure", "Third party consent"],
}

CHANGES = [
    ("Unexpected utility diversion", "Contractor"), ("Additional ground investigation", "Contractor"),
    ("Client requested scope addition", "Client"), ("Revised traffic management layout", "Contractor"),
    ("Contaminated ground removal", "Contractor"), ("Design change to the requirements", "Client"),
    ("Access delay by third party", "Contractor"), ("Omit landscaping works", "Client"),
    ("Extra weather days over threshold", "Contractor"),
]
CHANGE_STATES = ["Notified", "Quoted", "Quoted", "Implemented", "Implemented", "Rejected"]

RISKS = [
    ("Unknown buried services", "Utilities"), ("Poor ground conditions", "Ground Conditions"),
    ("Severe storm damage to works", "Weather"), ("Late design information", "Design"),
    ("Long lead time on switchgear", "Supply Chain"), ("Objections from residents", "Stakeholder"),
    ("Environmental permit delay", "Consents"), ("Asbestos beyond survey", "Ground Conditions"),
    ("Subcontractor insolvency", "Supply Chain"), ("Road space refused by highway authority", "Consents"),
]
ACTIONS = ["Commission further survey", "Agree early warning meeting", "Place early order",
           "Engage with residents group", "Chase regulator", "Add float to programme",
           "Obtain alternative quotes", "Review method statement"]

INCIDENTS = [
    ("Near Miss", "Excavator slewed close to operative"), ("Near Miss", "Unsecured load on delivery lorry"),
    ("Near Miss", "Pedestrian entered works area"), ("First Aid", "Cut hand handling pipe"),
    ("First Aid", "Grit in eye"), ("Lost Time Injury", "Slip on wet ramp, ankle fracture"),
    ("Dangerous Occurrence", "Service strike on low voltage cable"), ("Environmental", "Silt run-off to drain"),
    ("Property Damage", "Vehicle struck site hoarding"), ("Near Miss", "Dropped object from scaffold"),
]
WEATHER = ["Dry", "Dry", "Dry", "Overcast", "Rain", "Heavy Rain", "Gale", "Fog", "Frost"]


def iso(x):
    return x.isoformat() if x is not None else None


def d(s):
    return dt.date.fromisoformat(s)


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    for c in CALENDARS:
        con.execute("INSERT INTO ref_calendar VALUES (?,?,?,?)", c)
    hol_id = 0
    for cal in (1, 2):
        for hd, hn in BANK_HOLIDAYS:
            hol_id += 1
            con.execute("INSERT INTO ref_public_holiday VALUES (?,?,?,?)", (hol_id, cal, hd, hn))
    for hd, hn in BANK_HOLIDAYS:
        if hn == "Christmas Day":
            hol_id += 1
            con.execute("INSERT INTO ref_public_holiday VALUES (?,?,?,?)", (hol_id, 3, hd, hn))
    for i, c in enumerate(CONTRACTORS, 1):
        con.execute("INSERT INTO pm_contractor VALUES (?,?,?,?,?,?,?)", (i,) + c)

    pkg_id = task_id = link_id = cons_id = com_id = inv_id = ce_id = risk_id = act_id = inc_id = ms_id = 0
    diary_id = 0
    for c_id, row in enumerate(CONTRACTS, 1):
        (ref, code, title, area, form, principal, stage, sponsor, pm, award_date, award, ffc, start, finish,
         fc_finish, rag, cal) = row
        start_d, finish_d, fc_finish_d = d(start), d(finish), d(fc_finish)
        actual_finish = fc_finish if stage == "Defects Period" else None
        con.execute("INSERT INTO pm_contract VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (c_id, ref, code, title, area, form, principal, stage, sponsor, pm, award_date, float(award),
                     float(ffc), start, finish, fc_finish, actual_finish, rag, iso(DATA_DATE), cal))
        span = (finish_d - start_d).days
        total_slip = (fc_finish_d - finish_d).days
        packages = [ENABLING] + [(p, [(t, "Task") for t in names]) for p, names in WORKS[code]] + [HANDOVER]
        n_tasks = sum(len(t) for _, t in packages)
        k = 0
        seq = 0
        contract_tasks = []
        prev = None
        pkg_ids = []
        for p_no, (pname, tasks) in enumerate(packages, 1):
            pkg_id += 1
            budget = round(award * rng.uniform(0.12, 0.3), -3)
            con.execute("INSERT INTO pm_package VALUES (?,?,?,?,?,?)",
                        (pkg_id, c_id, f"{code}-P{p_no}", pname, rng.choice(PEOPLE), budget))
            pkg_ids.append((pkg_id, pname, budget))
            sub_turn = 0
            for tname, ttype in tasks:
                task_id += 1
                seq += 10
                frac = k / max(1, n_tasks - 1)
                k += 1
                if ttype == "Milestone":
                    dur = 0
                elif ttype == "Level of Effort":
                    dur = int(span * 0.9 * 5 / 7)
                else:
                    dur = rng.randint(5, 40)
                if tname == "Contract Award":
                    ps = d(award_date)
                elif ttype == "Level of Effort":
                    ps = start_d
                elif tname == "Completion Certificate":
                    ps = finish_d
                else:
                    ps = start_d + dt.timedelta(days=int(span * frac * 0.92) + rng.randint(-5, 5))
                    ps = max(ps, start_d)
                pf = ps + dt.timedelta(days=dur * 7 // 5)
                if tname == "Completion Certificate":
                    pf = ps
                slip = int(total_slip * frac) + (rng.choice([0, 0, 3, 7]) if total_slip > 0 else 0)
                if tname in ("Contract Award",):
                    slip = 0
                fs = ps + dt.timedelta(days=max(0, slip) if frac < 0.2 else slip)
                ff = fs + (pf - ps)
                if tname == "Completion Certificate":
                    fs = ff = fc_finish_d
                if ttype == "Level of Effort":
                    ff = fc_finish_d - dt.timedelta(days=14)
                if stage == "Pre-Construction" and tname != "Contract Award":
                    status = "Not Started"
                elif ff <= DATA_DATE:
                    status = "Finished"
                elif fs <= DATA_DATE:
                    status = "Underway"
                else:
                    status = "Not Started"
                if status == "Finished":
                    pct, rem, a_s, a_f = 100.0, 0, iso(fs), iso(ff)
                elif status == "Underway":
                    done = (DATA_DATE - fs).days / max(1, (ff - fs).days)
                    pct = float(min(95, max(5, int(done * 100) // 5 * 5)))
                    rem, a_s, a_f = max(1, round(dur * (1 - pct / 100))), iso(fs), None
                else:
                    pct, rem, a_s, a_f = 0.0, dur, None, None
                if rag == "Red":
                    tf = rng.choice([-15, -8, -3, 0, 0, 0, 2, 5, 12, 25])
                elif rag == "Amber":
                    tf = rng.choice([-4, 0, 0, 0, 3, 6, 10, 18, 30])
                else:
                    tf = rng.choice([0, 0, 4, 8, 15, 22, 40])
                if tname == "Completion Certificate":
                    tf = min(0, -(total_slip * 5 // 7)) if status != "Finished" else 0
                if ttype == "Level of Effort":
                    tf = 0
                ff_days = max(0, min(tf, rng.choice([0, 0, 0, 2, 5, 10])))
                critical = 1 if tf <= 0 and status != "Finished" and ttype != "Level of Effort" else 0
                performer = principal
                subs = PACKAGE_SUBBIES.get((code, pname))
                if subs and ttype == "Task" and sub_turn < len(subs):
                    performer = subs[sub_turn]
                    sub_turn += 1
                elif subs and ttype == "Task" and rng.random() < 0.5:
                    performer = rng.choice(subs)
                if ttype != "Task":
                    performer = None
                tcode = f"{code}-{seq:04d}"
                con.execute("INSERT INTO sched_task VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (task_id, c_id, pkg_id, tcode, tname, ttype, status, performer, dur, rem, iso(ps),
                             iso(pf), iso(fs), iso(ff), a_s, a_f, tf, ff_days, critical, pct))
                if ttype != "Level of Effort":
                    if prev is not None:
                        link_id += 1
                        lt = rng.choice(["FS"] * 5 + ["SS", "SS", "FF"])
                        lag = rng.choice([0, 0, 0, 0, 2, 5, -3, 10]) if lt != "FF" else rng.choice([0, 3])
                        con.execute("INSERT INTO sched_task_link VALUES (?,?,?,?,?,?)",
                                    (link_id, prev, task_id, lt, lag, 1 if tf <= 0 else rng.choice([0, 1])))
                    if len(contract_tasks) > 4 and rng.random() < 0.35:
                        link_id += 1
                        other = rng.choice(contract_tasks[:-2])
                        lt = "SF" if rng.random() < 0.08 else rng.choice(["FS", "FS", "SS"])
                        con.execute("INSERT INTO sched_task_link VALUES (?,?,?,?,?,?)",
                                    (link_id, other, task_id, lt, rng.choice([0, 0, 5, 15]), 0))
                    contract_tasks.append(task_id)
                    prev = task_id
                if tname == "Completion Certificate":
                    cons_id += 1
                    con.execute("INSERT INTO sched_constraint VALUES (?,?,?,?,?)",
                                (cons_id, task_id, "Finish On or Before", finish, "Contract completion date"))
                elif ttype == "Task" and rng.random() < 0.11:
                    cons_id += 1
                    ctype = rng.choice(["Start On or After", "Start On or After", "Finish On or Before",
                                        "Mandatory Start"])
                    cdate = ps if ctype != "Finish On or Before" else pf
                    con.execute("INSERT INTO sched_constraint VALUES (?,?,?,?,?)",
                                (cons_id, task_id, ctype, iso(cdate), rng.choice(CONSTRAINT_REASONS[area])))
        # milestones
        for m_no, (mname, mtype, mfrac) in enumerate(MILESTONES, 1):
            ms_id += 1
            base = start_d + dt.timedelta(days=int(span * mfrac))
            fc = base + dt.timedelta(days=int(total_slip * mfrac) + (rng.choice([0, 7, 14]) if mfrac else 0))
            if mname == "Completion":
                fc = fc_finish_d
            actual = iso(fc) if fc <= DATA_DATE and stage != "Pre-Construction" else None
            var = (fc - base).days
            mrag = "Green" if var <= 0 else ("Amber" if var <= 21 else "Red")
            ldw = {"Completion": 25_000.0, "Sectional Completion": 8_000.0}.get(mtype, 0.0)
            if ldw:
                ldw = round(ldw * award / 6_000_000, -2)
            con.execute("INSERT INTO sched_milestone VALUES (?,?,?,?,?,?,?,?,?,?)",
                        (ms_id, c_id, f"{code}-KD{m_no}", mname, mtype, iso(base), iso(fc), actual, ldw, mrag))
        # commitments and invoices
        for p_id, pname, budget in pkg_ids:
            parties = [principal] + (PACKAGE_SUBBIES.get((code, pname)) or [])[:1]
            for n, party in enumerate(parties):
                com_id += 1
                share = 0.7 if (n == 0 and len(parties) > 1) else (0.3 if n else 1.0)
                value = round(budget * share * rng.uniform(0.9, 1.08), 2)
                ctype = "Subcontract Order" if party != principal else "Contract Instruction"
                if CONTRACTORS[party - 1][1] in ("Supplier", "Consultant"):
                    ctype = "Purchase Order"
                cdate = d(award_date) + dt.timedelta(days=rng.randint(0, 40))
                cstatus = "Closed" if stage == "Defects Period" else "Open"
                con.execute("INSERT INTO cost_commitment VALUES (?,?,?,?,?,?,?,?,?)",
                            (com_id, c_id, p_id, party, f"CM-{code}-{com_id:03d}", ctype, iso(cdate), value,
                             cstatus))
                if stage == "Pre-Construction":
                    continue
                period = dt.date(start_d.year, start_d.month, 1)
                months = []
                last = min(DATA_DATE, fc_finish_d + dt.timedelta(days=30))
                while period <= last:
                    nxt = dt.date(period.year + (period.month // 12), period.month % 12 + 1, 1)
                    months.append(nxt - dt.timedelta(days=1))
                    period = nxt
                if not months:
                    continue
                total_months = max(1, ((fc_finish_d.year - start_d.year) * 12 + fc_finish_d.month - start_d.month) + 1)
                chosen = [m for m in months if rng.random() < 0.6] or months[-1:]
                for pe in chosen:
                    inv_id += 1
                    gross = round(value / total_months * rng.uniform(0.6, 1.6), 2)
                    ret = round(gross * 0.03, 2)
                    idate = pe + dt.timedelta(days=rng.randint(2, 9))
                    age = (DATA_DATE - idate).days
                    if age > 45:
                        pstatus = "Disputed" if rng.random() < 0.06 else "Paid"
                    elif age > 12:
                        pstatus = rng.choice(["Certified", "Paid"])
                    else:
                        pstatus = "Received"
                    paid = iso(idate + dt.timedelta(days=rng.randint(20, 30))) if pstatus == "Paid" else None
                    con.execute("INSERT INTO cost_invoice VALUES (?,?,?,?,?,?,?,?,?,?)",
                                (inv_id, com_id, f"INV-{70000 + inv_id * 7}", iso(idate), iso(pe), gross, ret,
                                 round(gross - ret, 2), pstatus, paid))
        # change events
        if stage != "Pre-Construction":
            for n, (etitle, party) in enumerate(rng.sample(CHANGES, rng.randint(3, 6))):
                ce_id += 1
                estatus = rng.choice(CHANGE_STATES)
                raised = start_d + dt.timedelta(days=rng.randint(10, max(20, min(span, (DATA_DATE - start_d).days))))
                quoted = float(rng.randint(8, 180) * 1000) if estatus != "Notified" else None
                agreed = round(quoted * rng.uniform(0.7, 1.0), -2) if estatus == "Implemented" else None
                con.execute("INSERT INTO cost_change_event VALUES (?,?,?,?,?,?,?,?,?,?)",
                            (ce_id, c_id, f"CE-{code}-{n + 1:03d}", etitle, party, iso(raised), estatus, quoted,
                             agreed, rng.choice([0, 0, 5, 10, 15, 30])))
        # risks
        for n, (rtitle, cat) in enumerate(rng.sample(RISKS, rng.randint(4, 7))):
            risk_id += 1
            prob = rng.choice([10, 25, 40, 60, 80])
            cost = float(rng.choice([15, 40, 75, 120, 250, 400]) * 1000)
            days = rng.choice([0, 5, 10, 20, 40])
            exposure = prob * cost / 100
            rrag = "Red" if exposure >= 60_000 or days >= 40 else ("Amber" if exposure >= 20_000 else "Green")
            rstatus = rng.choice(["Open", "Open", "Open", "Closed", "Realised"]) if stage != "Pre-Construction" \
                else "Open"
            raised = d(award_date) + dt.timedelta(days=rng.randint(0, 200))
            raised = min(raised, DATA_DATE)
            linked = rng.choice(contract_tasks) if rng.random() < 0.6 else None
            con.execute("INSERT INTO risk_register VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (risk_id, c_id, f"R-{code}-{n + 1:02d}", rtitle, cat, rng.choice(PEOPLE), prob, cost, days,
                         rrag, rstatus, iso(raised), linked))
            for _ in range(rng.randint(1, 3)):
                act_id += 1
                due = raised + dt.timedelta(days=rng.randint(14, 120))
                if rstatus == "Closed" or (due < DATA_DATE and rng.random() < 0.6):
                    done, astatus = iso(due - dt.timedelta(days=rng.randint(0, 10))), "Complete"
                elif due < DATA_DATE:
                    done, astatus = None, "Overdue"
                else:
                    done, astatus = None, "Open"
                con.execute("INSERT INTO risk_action VALUES (?,?,?,?,?,?,?)",
                            (act_id, risk_id, rng.choice(ACTIONS), rng.choice(PEOPLE), iso(due), done, astatus))
        # incidents
        if stage != "Pre-Construction":
            workers = sorted({principal} | {s for (cc, _), ss in PACKAGE_SUBBIES.items() if cc == code for s in ss})
            end = min(DATA_DATE, fc_finish_d)
            for n in range(rng.randint(3, 8)):
                inc_id += 1
                cat, summary = rng.choice(INCIDENTS)
                idate = start_d + dt.timedelta(days=rng.randint(5, (end - start_d).days))
                lost = rng.choice([1, 3, 9, 14]) if cat == "Lost Time Injury" else 0
                reportable = 1 if (cat == "Dangerous Occurrence" or lost > 7) else 0
                istatus = "Closed" if (DATA_DATE - idate).days > 60 else rng.choice(["Open", "Under Investigation"])
                con.execute("INSERT INTO hse_incident VALUES (?,?,?,?,?,?,?,?,?,?)",
                            (inc_id, c_id, rng.choice(workers), f"INC-{code}-{n + 1:03d}", iso(idate), cat, summary,
                             lost, reportable, istatus))
        # site diary, the last three months of site work
        if stage == "Construction":
            day = max(start_d, DATA_DATE - dt.timedelta(days=90))
            while day <= DATA_DATE:
                if day.weekday() < CALENDARS[cal - 1][2]:
                    diary_id += 1
                    w = rng.choice(WEATHER)
                    lost = {"Heavy Rain": 3.5, "Gale": 5.0, "Fog": 1.0, "Frost": 1.5}.get(w, 0.0)
                    note = None if lost == 0 and rng.random() < 0.5 else (
                        f"{w}, works continued" if lost == 0 else f"{w}, stood down {lost:g} hours")
                    con.execute("INSERT INTO site_diary_entry VALUES (?,?,?,?,?,?,?,?)",
                                (diary_id, c_id, iso(day), w, rng.randint(6, 55), lost, rng.choice(PEOPLE[:6]), note))
                day += dt.timedelta(days=rng.choice([1, 1, 1, 2]))
    con.commit()
    return con


TABLE_META = {
    "ref_calendar": ("Reference list of working calendars: working days per week and hours per day", {
        "calendar_id": ("Calendar identifier", "INTEGER"),
        "calendar_name": ("Name of the calendar", "TEXT"),
        "working_days_per_week": ("Working days in a week", "INTEGER"),
        "hours_per_day": ("Working hours in a day", "REAL"),
    }),
    "ref_public_holiday": ("Public holidays that are non-working days on a calendar", {
        "public_holiday_id": ("Public holiday identifier", "INTEGER"),
        "calendar_id": ("Calendar the holiday belongs to (ref_calendar.calendar_id)", "INTEGER"),
        "holiday_date": ("Date of the holiday", "DATE"),
        "holiday_name": ("Name of the holiday", "TEXT"),
    }),
    "pm_contractor": ("Companies in the supply chain: principal contractors, subcontractors, suppliers, "
                      "consultants", {
        "contractor_id": ("Contractor identifier", "INTEGER"),
        "contractor_name": ("Registered name of the company", "TEXT"),
        "contractor_role": ("Role of the company in the supply chain", "TEXT"),
        "trade_specialism": ("Trade or specialism of the company", "TEXT"),
        "prequalification_status": ("Supplier prequalification status", "TEXT"),
        "head_office_town": ("Town of the company's head office", "TEXT"),
        "contact_name": ("Main contact at the company", "TEXT"),
    }),
    "pm_contract": ("Contracts of the capital programme, with award value, forecast final cost and "
                    "planned and forecast dates", {
        "contract_id": ("Contract identifier", "INTEGER"),
        "contract_reference": ("Contract reference, e.g. CP-2301", "TEXT"),
        "project_code": ("Three-letter project code used as the prefix of task codes, e.g. HRW", "TEXT"),
        "contract_title": ("Title of the contract", "TEXT"),
        "programme_area": ("Programme area the contract belongs to", "TEXT"),
        "contract_form": ("Form of contract (pricing option)", "TEXT"),
        "contractor_id": ("Principal contractor (pm_contractor.contractor_id)", "INTEGER"),
        "contract_stage": ("Current stage of the contract", "TEXT"),
        "sponsor_name": ("Project sponsor on the owner's side", "TEXT"),
        "project_manager_name": ("Owner's project manager", "TEXT"),
        "award_date": ("Date the contract was awarded", "DATE"),
        "award_value": ("Contract value at award in GBP", "REAL"),
        "forecast_final_cost": ("Forecast final cost (outturn) in GBP", "REAL"),
        "planned_start": ("Planned start on site", "DATE"),
        "planned_finish": ("Planned (contract) completion date", "DATE"),
        "forecast_finish": ("Forecast completion date from the latest programme", "DATE"),
        "actual_finish": ("Actual completion date; null until complete", "DATE"),
        "rag_status": ("Overall red / amber / green status reported for the contract", "TEXT"),
        "data_date": ("Data date of the latest programme update", "DATE"),
        "calendar_id": ("Working calendar (ref_calendar.calendar_id)", "INTEGER"),
    }),
    "pm_package": ("Work packages: the breakdown of a contract into packages with a budget", {
        "package_id": ("Package identifier", "INTEGER"),
        "contract_id": ("Contract (pm_contract.contract_id)", "INTEGER"),
        "package_code": ("Package code, e.g. HRW-P2", "TEXT"),
        "package_name": ("Name of the package", "TEXT"),
        "package_manager": ("Person managing the package", "TEXT"),
        "package_budget": ("Budget of the package in GBP", "REAL"),
    }),
    "sched_milestone": ("Key dates of a contract: baseline, forecast and actual dates and delay damages", {
        "milestone_id": ("Milestone identifier", "INTEGER"),
        "contract_id": ("Contract (pm_contract.contract_id)", "INTEGER"),
        "milestone_code": ("Milestone code, e.g. HRW-KD3", "TEXT"),
        "milestone_name": ("Name of the milestone", "TEXT"),
        "milestone_type": ("Type of milestone", "TEXT"),
        "baseline_date": ("Baseline date", "DATE"),
        "forecast_date": ("Forecast date", "DATE"),
        "actual_date": ("Date achieved; null until achieved", "DATE"),
        "delay_damages_per_week": ("Delay damages per week late in GBP; 0 when none apply", "REAL"),
        "rag_status": ("Red / amber / green status of the milestone", "TEXT"),
    }),
    "sched_task": ("Tasks (activities) of the contract programmes with planned, forecast and actual dates, "
                   "float and progress", {
        "task_id": ("Task identifier", "INTEGER"),
        "contract_id": ("Contract (pm_contract.contract_id)", "INTEGER"),
        "package_id": ("Package (pm_package.package_id)", "INTEGER"),
        "task_code": ("Task code, the project code and a number, e.g. SPW-0090", "TEXT"),
        "task_name": ("Name of the task", "TEXT"),
        "task_type": ("Type of task", "TEXT"),
        "task_status": ("Progress status of the task", "TEXT"),
        "performed_by_contractor_id": ("Company doing the work (pm_contractor.contractor_id); null for "
                                       "milestones and level of effort", "INTEGER"),
        "original_duration_days": ("Original duration in working days", "INTEGER"),
        "remaining_duration_days": ("Remaining duration in working days", "INTEGER"),
        "planned_start": ("Planned (baseline) start date", "DATE"),
        "planned_finish": ("Planned (baseline) finish date", "DATE"),
        "forecast_start": ("Forecast start date", "DATE"),
        "forecast_finish": ("Forecast finish date", "DATE"),
        "actual_start": ("Actual start date; null until started", "DATE"),
        "actual_finish": ("Actual finish date; null until finished", "DATE"),
        "total_float_days": ("Total float in working days; negative when behind", "INTEGER"),
        "free_float_days": ("Free float in working days", "INTEGER"),
        "is_on_critical_path": ("1 when the task is on the critical path, else 0", "INTEGER"),
        "percent_complete": ("Percent complete, 0 to 100", "REAL"),
    }),
    "sched_task_link": ("Logic links between tasks: each row ties a predecessor task to a successor task", {
        "task_link_id": ("Link identifier", "INTEGER"),
        "predecessor_task_id": ("Predecessor task (sched_task.task_id)", "INTEGER"),
        "successor_task_id": ("Successor task (sched_task.task_id)", "INTEGER"),
        "link_type": ("Type of link", "TEXT"),
        "lag_days": ("Lag in working days; negative for a lead", "INTEGER"),
        "is_driving": ("1 when the link drives the successor's dates, else 0", "INTEGER"),
    }),
    "sched_constraint": ("Date constraints placed on tasks", {
        "constraint_id": ("Constraint identifier", "INTEGER"),
        "task_id": ("Constrained task (sched_task.task_id)", "INTEGER"),
        "constraint_type": ("Type of constraint", "TEXT"),
        "constraint_date": ("Date of the constraint", "DATE"),
        "constraint_reason": ("Why the constraint was set", "TEXT"),
    }),
    "cost_commitment": ("Cost commitments (orders and instructions) placed with companies against a package", {
        "commitment_id": ("Commitment identifier", "INTEGER"),
        "contract_id": ("Contract (pm_contract.contract_id)", "INTEGER"),
        "package_id": ("Package (pm_package.package_id)", "INTEGER"),
        "contractor_id": ("Company the commitment is placed with (pm_contractor.contractor_id)", "INTEGER"),
        "commitment_reference": ("Commitment reference, e.g. CM-EBD-012", "TEXT"),
        "commitment_type": ("Type of commitment", "TEXT"),
        "commitment_date": ("Date the commitment was placed", "DATE"),
        "committed_value": ("Committed value in GBP", "REAL"),
        "commitment_status": ("Status of the commitment", "TEXT"),
    }),
    "cost_invoice": ("Invoices and payment applications received against commitments", {
        "invoice_id": ("Invoice identifier", "INTEGER"),
        "commitment_id": ("Commitment invoiced (cost_commitment.commitment_id)", "INTEGER"),
        "invoice_number": ("Invoice number, e.g. INV-70049", "TEXT"),
        "invoice_date": ("Date of the invoice", "DATE"),
        "period_end_date": ("End of the valuation period the invoice covers", "DATE"),
        "gross_amount": ("Gross amount invoiced in GBP", "REAL"),
        "retention_amount": ("Retention held back in GBP", "REAL"),
        "net_amount": ("Net amount payable (gross less retention) in GBP", "REAL"),
        "payment_status": ("Payment status of the invoice", "TEXT"),
        "paid_date": ("Date paid; null until paid", "DATE"),
    }),
    "cost_change_event": ("Change events (compensation events / variations) with quoted and agreed cost and "
                          "time impact", {
        "change_event_id": ("Change event identifier", "INTEGER"),
        "contract_id": ("Contract (pm_contract.contract_id)", "INTEGER"),
        "event_reference": ("Change event reference, e.g. CE-SPW-003", "TEXT"),
        "event_title": ("Title of the change event", "TEXT"),
        "raised_by_party": ("Party that raised the event", "TEXT"),
        "raised_date": ("Date the event was raised", "DATE"),
        "event_status": ("Status of the change event", "TEXT"),
        "quoted_cost": ("Cost quoted in GBP; null until quoted", "REAL"),
        "agreed_cost": ("Cost agreed in GBP; null until implemented", "REAL"),
        "time_impact_days": ("Time impact on completion in calendar days", "INTEGER"),
    }),
    "risk_register": ("Risk register: threats to cost and programme of each contract", {
        "risk_id": ("Risk identifier", "INTEGER"),
        "contract_id": ("Contract (pm_contract.contract_id)", "INTEGER"),
        "risk_reference": ("Risk reference, e.g. R-FLB-04", "TEXT"),
        "risk_title": ("Short title of the risk", "TEXT"),
        "risk_category": ("Category of the risk", "TEXT"),
        "risk_owner": ("Person owning the risk", "TEXT"),
        "probability_percent": ("Probability in percent", "INTEGER"),
        "cost_impact_most_likely": ("Most likely cost impact in GBP", "REAL"),
        "schedule_impact_days": ("Schedule impact in working days", "INTEGER"),
        "rag_status": ("Red / amber / green rating of the risk", "TEXT"),
        "risk_status": ("Status of the risk", "TEXT"),
        "date_raised": ("Date the risk was raised", "DATE"),
        "linked_task_id": ("Task the risk threatens (sched_task.task_id); may be null", "INTEGER"),
    }),
    "risk_action": ("Mitigation actions against risks", {
        "risk_action_id": ("Action identifier", "INTEGER"),
        "risk_id": ("Risk (risk_register.risk_id)", "INTEGER"),
        "action_description": ("What is to be done", "TEXT"),
        "action_owner": ("Person owning the action", "TEXT"),
        "due_date": ("Date the action is due", "DATE"),
        "completed_date": ("Date completed; null until complete", "DATE"),
        "action_status": ("Status of the action", "TEXT"),
    }),
    "hse_incident": ("Health, safety and environment incidents reported on site", {
        "incident_id": ("Incident identifier", "INTEGER"),
        "contract_id": ("Contract (pm_contract.contract_id)", "INTEGER"),
        "contractor_id": ("Company involved (pm_contractor.contractor_id)", "INTEGER"),
        "incident_reference": ("Incident reference, e.g. INC-HRW-002", "TEXT"),
        "incident_date": ("Date of the incident", "DATE"),
        "incident_category": ("Category of the incident", "TEXT"),
        "incident_summary": ("Short summary of what happened", "TEXT"),
        "working_days_lost": ("Working days lost by the injured person", "INTEGER"),
        "is_reportable": ("1 when the incident must be reported to the regulator, else 0", "INTEGER"),
        "investigation_status": ("Status of the investigation", "TEXT"),
    }),
    "site_diary_entry": ("Daily site diary entries: weather, workforce on site and hours lost", {
        "diary_entry_id": ("Diary entry identifier", "INTEGER"),
        "contract_id": ("Contract (pm_contract.contract_id)", "INTEGER"),
        "entry_date": ("Date of the entry", "DATE"),
        "weather_condition": ("Weather of the day", "TEXT"),
        "workforce_on_site": ("Number of operatives on site", "INTEGER"),
        "hours_lost_to_weather": ("Working hours lost to weather that day", "REAL"),
        "recorded_by": ("Person who wrote the entry", "TEXT"),
        "diary_notes": ("Free-text notes", "TEXT"),
    }),
}

RELATIONSHIPS = [
    ("ref_public_holiday", "ref_calendar", "ref_public_holiday.calendar_id = ref_calendar.calendar_id",
     "Holidays of a calendar"),
    ("pm_contract", "pm_contractor", "pm_contract.contractor_id = pm_contractor.contractor_id",
     "Principal contractor of a contract"),
    ("pm_contract", "ref_calendar", "pm_contract.calendar_id = ref_calendar.calendar_id", "Calendar of a contract"),
    ("pm_package", "pm_contract", "pm_package.contract_id = pm_contract.contract_id", "Packages of a contract"),
    ("sched_milestone", "pm_contract", "sched_milestone.contract_id = pm_contract.contract_id",
     "Milestones of a contract"),
    ("sched_task", "pm_contract", "sched_task.contract_id = pm_contract.contract_id", "Tasks of a contract"),
    ("sched_task", "pm_package", "sched_task.package_id = pm_package.package_id", "Package of a task"),
    ("sched_task", "pm_contractor", "sched_task.performed_by_contractor_id = pm_contractor.contractor_id",
     "Company doing a task"),
    ("sched_task_link", "sched_task", "sched_task_link.predecessor_task_id = sched_task.task_id",
     "Predecessor of a link"),
    ("sched_task_link", "sched_task", "sched_task_link.successor_task_id = sched_task.task_id",
     "Successor of a link"),
    ("sched_constraint", "sched_task", "sched_constraint.task_id = sched_task.task_id", "Constraints of a task"),
    ("cost_commitment", "pm_contract", "cost_commitment.contract_id = pm_contract.contract_id",
     "Commitments of a contract"),
    ("cost_commitment", "pm_package", "cost_commitment.package_id = pm_package.package_id",
     "Package a commitment is placed against"),
    ("cost_commitment", "pm_contractor", "cost_commitment.contractor_id = pm_contractor.contractor_id",
     "Company a commitment is placed with"),
    ("cost_invoice", "cost_commitment", "cost_invoice.commitment_id = cost_commitment.commitment_id",
     "Invoices against a commitment"),
    ("cost_change_event", "pm_contract", "cost_change_event.contract_id = pm_contract.contract_id",
     "Change events of a contract"),
    ("risk_register", "pm_contract", "risk_register.contract_id = pm_contract.contract_id", "Risks of a contract"),
    ("risk_register", "sched_task", "risk_register.linked_task_id = sched_task.task_id", "Task a risk threatens"),
    ("risk_action", "risk_register", "risk_action.risk_id = risk_register.risk_id", "Actions against a risk"),
    ("hse_incident", "pm_contract", "hse_incident.contract_id = pm_contract.contract_id",
     "Incidents on a contract"),
    ("hse_incident", "pm_contractor", "hse_incident.contractor_id = pm_contractor.contractor_id",
     "Company involved in an incident"),
    ("site_diary_entry", "pm_contract", "site_diary_entry.contract_id = pm_contract.contract_id",
     "Diary of a contract"),
]

BUSINESS_RULES = {
    ("pm_contractor", "contractor_role"): ["Allowed Values: Principal Contractor, Subcontractor, Supplier, "
                                           "Consultant"],
    ("pm_contractor", "prequalification_status"): ["Allowed Values: Approved, Conditional, Suspended"],
    ("pm_contract", "contract_stage"): ["Allowed Values: Pre-Construction, Construction, Defects Period"],
    ("pm_contract", "contract_form"): ["Allowed Values: Lump Sum, Target Cost, Remeasurement"],
    ("pm_contract", "rag_status"): ["Allowed Values: Red, Amber, Green"],
    ("sched_milestone", "milestone_type"): ["Allowed Values: Key Date, Internal, Sectional Completion, "
                                            "Completion"],
    ("sched_milestone", "rag_status"): ["Allowed Values: Red, Amber, Green"],
    ("sched_task", "task_type"): ["Allowed Values: Task, Milestone, Level of Effort"],
    ("sched_task", "task_status"): ["Allowed Values: Not Started, Underway, Finished"],
    ("sched_task", "is_on_critical_path"): ["Critical: is_on_critical_path = 1 when total_float_days <= 0 and "
                                            "the task is not Finished"],
    ("sched_task_link", "link_type"): ["Allowed Values: FS, SS, FF, SF"],
    ("sched_constraint", "constraint_type"): ["Allowed Values: Start On or After, Finish On or Before, "
                                              "Mandatory Start"],
    ("cost_commitment", "commitment_type"): ["Allowed Values: Contract Instruction, Subcontract Order, "
                                             "Purchase Order"],
    ("cost_commitment", "commitment_status"): ["Allowed Values: Open, Closed"],
    ("cost_invoice", "payment_status"): ["Allowed Values: Received, Certified, Paid, Disputed"],
    ("cost_change_event", "event_status"): ["Allowed Values: Notified, Quoted, Implemented, Rejected"],
    ("cost_change_event", "raised_by_party"): ["Allowed Values: Client, Contractor"],
    ("risk_register", "rag_status"): ["Allowed Values: Red, Amber, Green"],
    ("risk_register", "risk_status"): ["Allowed Values: Open, Closed, Realised"],
    ("risk_action", "action_status"): ["Allowed Values: Open, Complete, Overdue"],
    ("hse_incident", "incident_category"): ["Allowed Values: Near Miss, First Aid, Lost Time Injury, "
                                            "Dangerous Occurrence, Environmental, Property Damage"],
    ("hse_incident", "investigation_status"): ["Allowed Values: Open, Under Investigation, Closed"],
}

CONCEPTS = {
    ("sched_task", "total_float_days"): ["total_float", "critical_path"],
    ("sched_task", "free_float_days"): ["free_float"],
    ("sched_task", "is_on_critical_path"): ["critical_path"],
    ("sched_task", "forecast_finish"): ["schedule_slippage"],
    ("sched_task_link", "lag_days"): ["lag"],
    ("sched_milestone", "baseline_date"): ["schedule_slippage"],
    ("pm_contract", "forecast_final_cost"): ["cost_variance"],
    ("pm_contract", "award_value"): ["cost_variance"],
    ("cost_invoice", "gross_amount"): ["spend_to_date"],
    ("cost_commitment", "committed_value"): ["committed_cost"],
    ("risk_register", "probability_percent"): ["risk_exposure"],
    ("risk_register", "cost_impact_most_likely"): ["risk_exposure"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days a task can slip without moving the contract completion",
    "free_float": "Working days a task can slip without moving any successor",
    "critical_path": "The chain of tasks with no float that fixes the completion date",
    "lag": "Waiting time on a link between two tasks",
    "schedule_slippage": "Forecast date later than the planned or baseline date",
    "cost_variance": "Forecast final cost minus award value; positive means an overspend",
    "spend_to_date": "Sum of the gross amount of invoices received against a contract's commitments",
    "committed_cost": "Sum of the committed value of orders and instructions placed",
    "risk_exposure": "Probability times the most likely cost impact",
}

QUERY_EXAMPLES = [
    ("SELECT contract_reference, contract_title, planned_finish, forecast_finish FROM pm_contract "
     "WHERE contract_stage = 'Construction' ORDER BY forecast_finish;",
     "Contracts in construction with planned and forecast completion", "simple"),
    ("SELECT t.task_code, t.task_name, t.total_float_days FROM sched_task t "
     "JOIN pm_contract c ON c.contract_id = t.contract_id "
     "WHERE c.project_code = 'SPW' AND t.is_on_critical_path = 1 ORDER BY t.forecast_start;",
     "Critical tasks for one contract", "simple"),
    ("SELECT c.contract_reference, SUM(i.gross_amount) AS spend_to_date FROM pm_contract c "
     "JOIN cost_commitment m ON m.contract_id = c.contract_id "
     "JOIN cost_invoice i ON i.commitment_id = m.commitment_id GROUP BY c.contract_reference;",
     "Spend to date per contract", "medium"),
    ("SELECT p.task_code AS predecessor, s.task_code AS successor, l.link_type, l.lag_days "
     "FROM sched_task_link l JOIN sched_task p ON p.task_id = l.predecessor_task_id "
     "JOIN sched_task s ON s.task_id = l.successor_task_id WHERE s.task_code = 'HRW-0090';",
     "Predecessors of one task with link type and lag", "medium"),
    ("SELECT milestone_code, milestone_name, baseline_date, forecast_date FROM sched_milestone "
     "WHERE actual_date IS NULL AND forecast_date < '2026-01-01' ORDER BY forecast_date;",
     "Milestones not yet achieved forecast before a given date", "simple"),
    ("SELECT r.risk_reference, r.risk_title, r.probability_percent * r.cost_impact_most_likely / 100.0 "
     "AS exposure FROM risk_register r WHERE r.risk_status = 'Open' ORDER BY exposure DESC;",
     "Open risks ranked by exposure", "medium"),
    ("SELECT k.contractor_name, COUNT(*) AS incidents FROM hse_incident h "
     "JOIN pm_contractor k ON k.contractor_id = h.contractor_id GROUP BY k.contractor_name;",
     "Incidents per company", "simple"),
    ("SELECT e.entry_date, e.weather_condition, e.hours_lost_to_weather FROM site_diary_entry e "
     "JOIN pm_contract c ON c.contract_id = e.contract_id WHERE c.contract_reference = 'CP-2305' "
     "AND e.hours_lost_to_weather > 0;",
     "Days with hours lost to weather for one contract", "simple"),
]

KEYWORDS = {
    "float": ["sched_task.total_float_days", "sched_task.free_float_days", "total_float"],
    "critical": ["sched_task.is_on_critical_path", "critical_path"],
    "predecessor": ["sched_task_link.predecessor_task_id", "sched_task_link"],
    "successor": ["sched_task_link.successor_task_id", "sched_task_link"],
    "risk": ["risk_register", "risk_exposure"],
    "incident": ["hse_incident"],
    "invoice": ["cost_invoice", "spend_to_date"],
    "milestone": ["sched_milestone"],
    "weather": ["site_diary_entry.weather_condition"],
    "change": ["cost_change_event"],
}

TERMINOLOGY = {
    "total float": "Late finish minus early finish of a task",
    "free float": "Slip allowed before a successor moves",
    "FS": "Finish to start link",
    "SS": "Start to start link",
    "FF": "Finish to finish link",
    "SF": "Start to finish link",
    "LOE": "Level of effort task spanning the works",
    "data date": "Date up to which progress is recorded",
    "FFC": "Forecast final cost",
    "RAG": "Red, amber, green status",
    "LTI": "Lost time injury",
    "CE": "Change event",
}

RELATED_TERMS = {
    "pm_contract": "scheme, project, job",
    "pm_contractor": "supplier, vendor, subcontractor, firm",
    "sched_task": "activity, programme line",
    "cost_change_event": "variation, compensation event",
    "site_diary_entry": "daily report, site log",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS,
                             domain="capital programme", covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout7"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata)


if __name__ == "__main__":
    sys.exit(main())
