#!/usr/bin/env python3
"""Build the ninth check schedule database (EPC project controls, plural snake_case) and its metadata.

An engineering, procurement and construction contractor's project-controls database for three
industrial jobs (a solar farm with a 138kV substation, a water treatment plant expansion and a
gas compressor station), named as a data team would name it: plural snake_case tables with full
English words (projects, control_accounts, schedule_activities, activity_links, purchase_orders,
po_line_items, ...) and snake_case columns with the usual abbreviations (orig_dur, rem_dur, tf,
ff, is_crit, pct_complete, qty, uom, need_by_dt, ...). Dates are ISO 'YYYY-MM-DD' text and
durations and float are in calendar days; the activities of each project are scheduled by a
forward and backward pass over their logic, against the contract finish date.

Outputs go to bench/out/holdout9/ (or --out DIR); --check also runs every gold statement of
questions.json. The command line is bench/schedule_build.py's. Standard library only;
deterministic (fixed seed).
"""

import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 9909
DATA_DATE = dt.date(2025, 6, 30)
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import default_out, describe_tables, main as build_main, metadata_document  # noqa: E402
DB_NAME = "holdout9_schedule.db"
META_NAME = "holdout9_metadata.json"

DDL = """
CREATE TABLE work_calendars (
    calendar_id INTEGER PRIMARY KEY, calendar_name TEXT NOT NULL, work_days_per_wk INTEGER NOT NULL,
    hrs_per_day REAL NOT NULL, shift_desc TEXT NOT NULL, holidays_per_yr INTEGER NOT NULL
);
CREATE TABLE projects (
    project_id INTEGER PRIMARY KEY, project_no TEXT NOT NULL UNIQUE, project_code TEXT NOT NULL UNIQUE,
    project_name TEXT NOT NULL, client_name TEXT NOT NULL, site_location TEXT NOT NULL,
    contract_type TEXT NOT NULL, project_mgr TEXT NOT NULL, ntp_dt TEXT NOT NULL,
    contract_finish_dt TEXT NOT NULL, forecast_finish_dt TEXT NOT NULL, contract_value REAL NOT NULL,
    data_dt TEXT NOT NULL, phase_name TEXT NOT NULL
);
CREATE TABLE control_accounts (
    control_account_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    ca_code TEXT NOT NULL UNIQUE, wbs_code TEXT NOT NULL, ca_name TEXT NOT NULL, phase TEXT NOT NULL,
    discipline TEXT NOT NULL, ca_manager TEXT NOT NULL, budget_amt REAL NOT NULL, budget_hrs REAL NOT NULL,
    status_name TEXT NOT NULL
);
CREATE TABLE schedule_activities (
    activity_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    control_account_id INTEGER NOT NULL REFERENCES control_accounts(control_account_id),
    calendar_id INTEGER NOT NULL REFERENCES work_calendars(calendar_id),
    act_code TEXT NOT NULL UNIQUE, act_name TEXT NOT NULL, act_type TEXT NOT NULL, area TEXT,
    status_cd TEXT NOT NULL, orig_dur INTEGER NOT NULL, rem_dur INTEGER NOT NULL,
    early_start_dt TEXT NOT NULL, early_finish_dt TEXT NOT NULL, late_start_dt TEXT, late_finish_dt TEXT,
    actual_start_dt TEXT, actual_finish_dt TEXT, tf INTEGER, ff INTEGER, is_crit INTEGER NOT NULL,
    pct_complete REAL NOT NULL
);
CREATE TABLE activity_links (
    link_id INTEGER PRIMARY KEY, pred_activity_id INTEGER NOT NULL REFERENCES schedule_activities(activity_id),
    succ_activity_id INTEGER NOT NULL REFERENCES schedule_activities(activity_id),
    link_type TEXT NOT NULL, lag_days INTEGER NOT NULL
);
CREATE TABLE schedule_baselines (
    baseline_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    baseline_name TEXT NOT NULL, baseline_type TEXT NOT NULL, data_dt TEXT NOT NULL, approved_by TEXT,
    is_active INTEGER NOT NULL
);
CREATE TABLE baseline_activities (
    baseline_activity_id INTEGER PRIMARY KEY, baseline_id INTEGER NOT NULL REFERENCES schedule_baselines(baseline_id),
    activity_id INTEGER NOT NULL REFERENCES schedule_activities(activity_id), bl_start_dt TEXT NOT NULL,
    bl_finish_dt TEXT NOT NULL, bl_dur INTEGER NOT NULL, bl_tf INTEGER
);
CREATE TABLE crews (
    crew_id INTEGER PRIMARY KEY, crew_code TEXT NOT NULL UNIQUE, crew_name TEXT NOT NULL, trade TEXT NOT NULL,
    company_name TEXT NOT NULL, foreman_name TEXT NOT NULL, headcount INTEGER NOT NULL,
    calendar_id INTEGER NOT NULL REFERENCES work_calendars(calendar_id), hourly_rate REAL NOT NULL
);
CREATE TABLE crew_allocations (
    allocation_id INTEGER PRIMARY KEY, activity_id INTEGER NOT NULL REFERENCES schedule_activities(activity_id),
    crew_id INTEGER NOT NULL REFERENCES crews(crew_id), planned_hrs REAL NOT NULL, actual_hrs REAL NOT NULL,
    remaining_hrs REAL NOT NULL
);
CREATE TABLE vendors (
    vendor_id INTEGER PRIMARY KEY, vendor_code TEXT NOT NULL UNIQUE, vendor_name TEXT NOT NULL,
    country TEXT NOT NULL, supply_category TEXT NOT NULL, contact_name TEXT NOT NULL,
    approved_flag TEXT NOT NULL, otd_pct REAL NOT NULL
);
CREATE TABLE purchase_orders (
    po_id INTEGER PRIMARY KEY, po_number TEXT NOT NULL UNIQUE, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    vendor_id INTEGER NOT NULL REFERENCES vendors(vendor_id),
    control_account_id INTEGER NOT NULL REFERENCES control_accounts(control_account_id),
    po_title TEXT NOT NULL, issue_dt TEXT, po_value REAL NOT NULL, currency_cd TEXT NOT NULL,
    po_status TEXT NOT NULL, buyer_name TEXT NOT NULL, expediting_level INTEGER NOT NULL
);
CREATE TABLE po_line_items (
    po_line_id INTEGER PRIMARY KEY, po_id INTEGER NOT NULL REFERENCES purchase_orders(po_id), line_no INTEGER NOT NULL,
    item_desc TEXT NOT NULL, tag_no TEXT, qty REAL NOT NULL, uom TEXT NOT NULL, unit_price REAL NOT NULL,
    need_by_dt TEXT NOT NULL, promised_dt TEXT NOT NULL, delivered_dt TEXT, long_lead_flag TEXT NOT NULL,
    lead_time_wks INTEGER NOT NULL, ship_status TEXT NOT NULL,
    ros_activity_id INTEGER REFERENCES schedule_activities(activity_id)
);
CREATE TABLE deliverables (
    deliverable_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    control_account_id INTEGER NOT NULL REFERENCES control_accounts(control_account_id),
    doc_number TEXT NOT NULL UNIQUE, doc_title TEXT NOT NULL, discipline TEXT NOT NULL, doc_type TEXT NOT NULL,
    current_rev TEXT, rev_status TEXT NOT NULL, client_review_cd INTEGER, planned_ifc_dt TEXT NOT NULL,
    forecast_ifc_dt TEXT NOT NULL, actual_ifc_dt TEXT, originator TEXT NOT NULL
);
CREATE TABLE earned_value_periods (
    ev_period_id INTEGER PRIMARY KEY, control_account_id INTEGER NOT NULL REFERENCES control_accounts(control_account_id),
    period_end_dt TEXT NOT NULL, bcws REAL NOT NULL, bcwp REAL NOT NULL, acwp REAL NOT NULL
);
CREATE TABLE risks (
    risk_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id), risk_no TEXT NOT NULL UNIQUE,
    risk_title TEXT NOT NULL, category TEXT NOT NULL, probability_pct INTEGER NOT NULL, impact_score INTEGER NOT NULL,
    cost_impact_amt REAL NOT NULL, sched_impact_days INTEGER NOT NULL, risk_owner TEXT NOT NULL,
    response_strategy TEXT NOT NULL, risk_status TEXT NOT NULL, raised_dt TEXT NOT NULL,
    activity_id INTEGER REFERENCES schedule_activities(activity_id)
);
CREATE TABLE change_orders (
    change_order_id INTEGER PRIMARY KEY, project_id INTEGER NOT NULL REFERENCES projects(project_id),
    co_number TEXT NOT NULL UNIQUE, co_title TEXT NOT NULL, initiated_by TEXT NOT NULL, reason_cd TEXT NOT NULL,
    cost_amt REAL NOT NULL, sched_days INTEGER NOT NULL, co_status TEXT NOT NULL, submitted_dt TEXT NOT NULL,
    approved_dt TEXT
);
"""

CALENDARS = [
    (1, "Field 5x10", 5, 10.0, "Mon-Fri, 06:00-16:30", 8),
    (2, "Field 6x10", 6, 10.0, "Mon-Sat, 06:00-16:30", 6),
    (3, "Commissioning 7x12", 7, 12.0, "Seven days, day shift 06:00-18:00", 0),
    (4, "Home Office 5x8", 5, 8.0, "Mon-Fri, office hours", 10),
    (5, "Vendor Shop 5x8", 5, 8.0, "Vendor fabrication shop, Mon-Fri", 10),
]
PHASE_CAL = {"Engineering": 4, "Procurement": 5, "Construction": 1, "Commissioning": 3, "Management": 4}

CREWS = [
    # code, name, trade, company, foreman, headcount, calendar, rate
    ("CIV-01", "Earthworks Crew 1", "Civil / Earthworks", "Dirtworks Grading LLC", "Ray Dominguez", 10, 2, 92.0),
    ("CIV-02", "Earthworks Crew 2", "Civil / Earthworks", "Dirtworks Grading LLC", "Cody Brandt", 8, 1, 92.0),
    ("PILE-01", "Pile Driving Crew 1", "Pile Driving", "Caprock Foundations", "Hector Salas", 6, 2, 105.0),
    ("PILE-02", "Pile Driving Crew 2", "Pile Driving", "Caprock Foundations", "Wade Kimball", 6, 2, 105.0),
    ("TRK-01", "Tracker Install Crew", "Tracker Installation", "SunTrack Installers", "Manny Ortiz", 14, 2, 78.0),
    ("MOD-A", "Module Install Crew A", "Module Installation", "Self-Perform", "Jesse Lowery", 18, 2, 64.0),
    ("MOD-B", "Module Install Crew B", "Module Installation", "Self-Perform", "Tanya Reyes", 16, 2, 64.0),
    ("ELEC-01", "Electrical Crew 1", "Electrical", "Redline Electric", "Curtis Vaughn", 12, 1, 96.0),
    ("ELEC-02", "Electrical Crew 2", "Electrical", "Redline Electric", "Amir Haddad", 10, 1, 96.0),
    ("HV-01", "HV Substation Crew", "HV Substation", "Pinnacle Power Services", "Glen Fischer", 8, 1, 118.0),
    ("CONC-01", "Concrete Crew 1", "Concrete", "Self-Perform", "Luis Carranza", 12, 1, 74.0),
    ("CONC-02", "Concrete Crew 2", "Concrete", "Self-Perform", "Brent Halvorsen", 10, 1, 74.0),
    ("PIPE-01", "Pipefitting Crew 1", "Pipefitting", "Ironhorse Mechanical", "Dale Pruitt", 10, 1, 102.0),
    ("PIPE-02", "Pipefitting Crew 2", "Pipefitting", "Ironhorse Mechanical", "Nate Ulrich", 8, 2, 102.0),
    ("MECH-01", "Millwright Crew", "Millwright / Mechanical", "Ironhorse Mechanical", "Scott Lindqvist", 6, 1, 98.0),
    ("IC-01", "Instrumentation Crew", "Instrumentation and Controls", "Loop Controls Inc", "Priya Nair", 5, 1, 110.0),
    ("CX-01", "Commissioning Team", "Commissioning", "Self-Perform", "Ellen Marsh", 6, 3, 125.0),
]
TRADE_CREWS = {"civ": ["CIV-01", "CIV-02"], "pile": ["PILE-01", "PILE-02"], "trk": ["TRK-01"],
               "mod": ["MOD-A", "MOD-B"], "elec": ["ELEC-01", "ELEC-02"], "hv": ["HV-01"],
               "conc": ["CONC-01", "CONC-02"], "pipe": ["PIPE-01", "PIPE-02"], "mech": ["MECH-01"],
               "ic": ["IC-01"], "cx": ["CX-01"]}

VENDORS = [
    # code, name, country, category, contact, approved, on-time delivery pct
    ("V1001", "Helion PV Modules", "Vietnam", "PV Modules", "Tran Minh Duc", "Y", 88.0),
    ("V1002", "ArrayTrack Systems", "USA", "Solar Trackers", "Kelsey Monroe", "Y", 93.5),
    ("V1003", "Voltaris Inverters", "Spain", "Inverters and MV Skids", "Javier Roldan", "Y", 81.0),
    ("V1004", "Northgate Transformer Co", "Mexico", "Power Transformers", "Alejandro Fuentes", "Y", 62.5),
    ("V1005", "Keystone Switchgear", "USA", "Switchgear and Breakers", "Doug Pennington", "Y", 90.0),
    ("V1006", "AquaPure Membranes", "Canada", "Membrane Filtration", "Sophie Tremblay", "Y", 84.0),
    ("V1007", "Clarifloc Equipment", "USA", "Clarifier Mechanisms", "Ron Bechtold", "Y", 95.0),
    ("V1008", "Dunmore Pumps", "USA", "Pumps", "Alicia Grant", "Y", 91.0),
    ("V1009", "ChemDose Systems", "USA", "Chemical Feed Equipment", "Peter Vlasic", "N", 76.0),
    ("V1010", "Prairie Electrical Supply", "USA", "Electrical Bulks", "Jenna Kowal", "Y", 97.0),
    ("V1011", "Cascade Controls", "USA", "Controls and SCADA", "Mark Ishida", "Y", 89.0),
    ("V1012", "Teton Compression", "USA", "Gas Compressor Packages", "Bill Harrington", "Y", 79.0),
    ("V1013", "Frostline Air Coolers", "USA", "Aerial Gas Coolers", "Gina Albrecht", "Y", 86.0),
    ("V1014", "Westland Valve & Actuator", "Italy", "Valves and Actuators", "Marco Bellini", "Y", 72.0),
    ("V1015", "Summit Pipe & Supply", "USA", "Pipe, Fittings and Bulks", "Travis Boone", "Y", 94.0),
]

PROJECTS = [
    # no, code, name, client, site, contract type, pm, ntp, contract margin (days after baseline finish),
    # contract value, phase
    ("P-2401", "MFS", "Mesquite Flats Solar and 138kV Substation", "Brightwater Energy Partners",
     "Pecos County, TX", "Lump Sum EPC", "Dana Whitfield", dt.date(2024, 10, 21), 0, 186400000.0, "Construction"),
    ("P-2402", "HCW", "Harlow Creek Water Treatment Plant Expansion", "City of Harlow Creek Public Works",
     "Harlow Creek, OR", "Cost Plus with GMP", "Luis Ortega", dt.date(2024, 12, 9), 6, 64750000.0, "Construction"),
    ("P-2403", "RBC", "Red Butte Compressor Station", "Sagebrush Midstream LLC",
     "Sweetwater County, WY", "Reimbursable EPC", "Morgan Tate", dt.date(2025, 1, 13), 28, 97200000.0,
     "Engineering and Procurement"),
]

# Control accounts per project: key, wbs, name, phase, discipline, manager, budget
CAS = {
    "MFS": [
        ("PM", "1.0", "Project Management and Milestones", "Management", "Project Controls", "Dana Whitfield", 2.1e6),
        ("ENG-CIV", "2.1", "Civil and Structural Engineering", "Engineering", "Civil", "Owen Castillo", 1.35e6),
        ("ENG-ELE", "2.2", "Electrical Engineering", "Engineering", "Electrical", "Farah Siddiqui", 2.2e6),
        ("PRC-PV", "3.1", "Procurement - Modules and Trackers", "Procurement", "Procurement", "Rachel Kim", 78.0e6),
        ("PRC-ELE", "3.2", "Procurement - Inverters and MV Equipment", "Procurement", "Procurement", "Rachel Kim",
         21.5e6),
        ("PRC-SUB", "3.3", "Procurement - Substation Equipment", "Procurement", "Procurement", "Rachel Kim", 9.8e6),
        ("CON-CIV", "4.1", "Site Preparation and Civil Works", "Construction", "Civil", "Hank Moreland", 11.2e6),
        ("CON-PILE", "4.2", "Piling and Tracker Installation", "Construction", "Structural", "Hank Moreland", 16.4e6),
        ("CON-MOD", "4.3", "PV Module Installation", "Construction", "Electrical", "Hank Moreland", 9.6e6),
        ("CON-ELE", "4.4", "DC and AC Collection System", "Construction", "Electrical", "Curtis Vaughn", 14.9e6),
        ("CON-SUB", "4.5", "138kV Substation Construction", "Construction", "Electrical", "Glen Fischer", 7.3e6),
        ("CX", "5.0", "Testing and Commissioning", "Commissioning", "Commissioning", "Ellen Marsh", 2.4e6),
    ],
    "HCW": [
        ("PM", "1.0", "Project Management and Milestones", "Management", "Project Controls", "Luis Ortega", 1.6e6),
        ("ENG-PRO", "2.1", "Process and Mechanical Engineering", "Engineering", "Mechanical", "Beth Lanier", 1.9e6),
        ("ENG-CIV", "2.2", "Civil and Structural Engineering", "Engineering", "Structural", "Owen Castillo", 1.4e6),
        ("ENG-EI", "2.3", "Electrical and I&C Engineering", "Engineering", "Electrical", "Farah Siddiqui", 1.1e6),
        ("PRC-MECH", "3.1", "Procurement - Process Equipment", "Procurement", "Procurement", "Tom Becker", 14.2e6),
        ("PRC-ELE", "3.2", "Procurement - Electrical and Controls Equipment", "Procurement", "Procurement",
         "Tom Becker", 4.6e6),
        ("CON-CIV", "4.1", "Sitework and Yard Piping", "Construction", "Civil", "Karl Jensen", 8.3e6),
        ("CON-STR", "4.2", "Concrete Structures", "Construction", "Structural", "Karl Jensen", 12.7e6),
        ("CON-MECH", "4.3", "Mechanical and Process Installation", "Construction", "Mechanical", "Karl Jensen", 7.9e6),
        ("CON-EI", "4.4", "Electrical and Instrumentation Installation", "Construction", "Electrical",
         "Curtis Vaughn", 5.2e6),
        ("CX", "5.0", "Startup and Commissioning", "Commissioning", "Commissioning", "Ellen Marsh", 1.3e6),
    ],
    "RBC": [
        ("PM", "1.0", "Project Management and Milestones", "Management", "Project Controls", "Morgan Tate", 2.0e6),
        ("ENG-PIP", "2.1", "Piping and Mechanical Engineering", "Engineering", "Piping", "Victor Hale", 2.6e6),
        ("ENG-CIV", "2.2", "Civil and Structural Engineering", "Engineering", "Civil", "Owen Castillo", 0.9e6),
        ("ENG-EC", "2.3", "Electrical and Controls Engineering", "Engineering", "Electrical", "Farah Siddiqui", 1.3e6),
        ("PRC-CMP", "3.1", "Procurement - Compression Equipment", "Procurement", "Procurement", "Rachel Kim", 38.5e6),
        ("PRC-BLK", "3.2", "Procurement - Valves, Pipe and Electrical", "Procurement", "Procurement", "Rachel Kim",
         11.8e6),
        ("CON-CIV", "4.1", "Civil and Foundations", "Construction", "Civil", "Wes Duran", 6.1e6),
        ("CON-MECH", "4.2", "Mechanical and Piping Installation", "Construction", "Piping", "Wes Duran", 13.4e6),
        ("CON-EC", "4.3", "Electrical and Controls Installation", "Construction", "Electrical", "Wes Duran", 5.7e6),
        ("CX", "5.0", "Commissioning and Gas-In", "Commissioning", "Commissioning", "Ellen Marsh", 1.9e6),
    ],
}


class ProjectPlan:
    """Activity list of one project: (key, name, dur, ca, area, preds, trade, slip, new)."""

    def __init__(self):
        self.acts = []

    def add(self, key, name, dur, ca, area=None, preds=(), trade=None, slip=0, new=False):
        self.acts.append((key, name, dur, ca, area, list(preds), trade, slip, new))
        return key

    def package(self, key, label, ca, durs, after, slip_fab=0, slip_dlv=0, area=None):
        r, a, s, f, d = durs
        self.add(key + "_rfq", f"RFQ and bid evaluation - {label}", r, ca, area, after)
        self.add(key + "_awd", f"Award PO - {label}", a, ca, area, [key + "_rfq"])
        self.add(key + "_sub", f"Vendor submittals and approval - {label}", s, ca, area, [key + "_awd"])
        self.add(key + "_fab", f"Fabrication - {label}", f, ca, area, [key + "_sub"], slip=slip_fab)
        self.add(key + "_dlv", f"Delivery to site - {label}", d, ca, area, [key + "_fab"], slip=slip_dlv)


def plan_mfs():
    s = ProjectPlan()
    s.add("ntp", "Notice to Proceed", 0, "PM")
    s.add("geo", "Geotechnical investigation and pile load testing", 30, "ENG-CIV", None, ["ntp"])
    s.add("civ30", "Civil grading and drainage design 30%", 25, "ENG-CIV", None, ["geo"])
    s.add("civ90", "Civil grading, drainage and pile layout design 90%", 30, "ENG-CIV", None, ["civ30"])
    s.add("civifc", "Issue IFC civil and pile layout drawings", 10, "ENG-CIV", None, ["civ90"])
    s.add("e30", "PV array and collection system design 30%", 30, "ENG-ELE", None, ["ntp"])
    s.add("e90", "Collection system and substation design 90%", 40, "ENG-ELE", None, ["e30"])
    s.add("pc", "Substation protection and control design", 35, "ENG-ELE", "Substation", ["e90:SS10"])
    s.add("eifc", "Issue IFC electrical drawings", 12, "ENG-ELE", None, ["e90", "pc:FF0"])
    s.package("mod", "PV modules", "PRC-PV", (20, 5, 25, 60, 30), ["ntp"], slip_dlv=9)
    s.package("trk", "Single-axis trackers", "PRC-PV", (20, 5, 20, 45, 20), ["ntp"])
    s.package("inv", "Inverters and MV skids", "PRC-ELE", (25, 5, 30, 70, 20), ["e30"])
    s.package("mpt", "Main power transformer 138/34.5kV", "PRC-SUB", (30, 5, 35, 200, 25), ["ntp:FS14"],
              slip_fab=38, area="Substation")
    s.package("brk", "138kV breakers and switches", "PRC-SUB", (25, 5, 25, 90, 15), ["e30"], area="Substation")
    s.add("mob", "Mobilize site, laydown and temporary facilities", 14, "CON-CIV", "Site-wide", ["ntp:FS20"], "civ")
    s.add("clr", "Clearing and grubbing", 20, "CON-CIV", "Site-wide", ["mob"], "civ")
    s.add("tpow", "Temporary construction power and generator rental", 240, "CON-CIV", "Site-wide",
          ["mob", "ener:SF0"])
    s.add("grd", "Mass grading and compaction", 35, "CON-CIV", "Site-wide", ["clr", "civifc"], "civ", slip=4)
    s.add("rds", "Access roads and drainage swales", 30, "CON-CIV", "Site-wide", ["grd:SS15"], "civ")
    s.add("fnc", "Perimeter fencing and gates", 20, "CON-CIV", "Site-wide", ["rds:SS10"], "civ")
    for b in range(1, 11):
        blk = f"Block {b}"
        s.add(f"pile{b}", f"Install piles {blk}", 15, "CON-PILE", blk,
              ["grd:SS20" if b == 1 else f"pile{b - 1}"] + (["rock3"] if b == 3 else []), "pile",
              slip=9 if b == 3 else 0)
        s.add(f"trkin{b}", f"Install tracker torque tubes and tables {blk}", 18, "CON-PILE", blk,
              [f"pile{b}"] + (["trk_dlv"] if b == 1 else [f"trkin{b - 1}"]), "trk")
        s.add(f"mod{b}", f"Install PV modules {blk}", 20, "CON-MOD", blk,
              [f"trkin{b}"] + (["mod_dlv"] if b == 1 else [f"mod{b - 1}"]), "mod")
        s.add(f"dc{b}", f"DC cabling and combiner boxes {blk}", 14, "CON-ELE", blk,
              [f"mod{b}:SS5", f"mod{b}:FF3"], "elec")
        s.add(f"tcx{b}", f"Tracker commissioning and stow test {blk}", 4, "CX", blk, [f"dc{b}", "ener"], "cx")
    s.add("rock3", "Rock excavation and pre-drilling for piles Block 3", 10, "CON-PILE", "Block 3",
          ["pile2:SS5"], "pile", new=True)
    s.add("mv", "MV collection trenching and cable installation", 45, "CON-ELE", "Site-wide",
          ["eifc", "pile1:SS10"], "elec")
    s.add("skid", "Set inverter and MV transformer skids", 25, "CON-ELE", "Site-wide", ["inv_dlv", "mv:SS15"], "elec")
    s.add("sgrd", "Substation grading and ground grid", 20, "CON-SUB", "Substation", ["civifc", "grd:SS10"], "civ")
    s.add("sfnd", "Substation equipment foundations", 25, "CON-SUB", "Substation", ["sgrd"], "conc")
    s.add("setmpt", "Set main power transformer", 7, "CON-SUB", "Substation", ["sfnd", "mpt_dlv"], "hv")
    s.add("dress", "Dress out and oil fill main power transformer", 10, "CON-SUB", "Substation", ["setmpt"], "hv")
    s.add("sbrk", "Install 138kV breakers, switches and steel", 20, "CON-SUB", "Substation",
          ["sfnd", "brk_dlv"], "hv")
    s.add("ctrl", "Control enclosure and relay panels", 25, "CON-SUB", "Substation", ["sfnd", "eifc"], "elec")
    s.add("swire", "Substation wiring and terminations", 25, "CON-SUB", "Substation", ["sbrk", "ctrl"], "elec")
    s.add("stest", "Substation testing and relay checkout", 20, "CX", "Substation", ["swire", "dress"], "cx")
    s.add("ener", "Backfeed and energize substation", 3, "CX", "Substation", ["stest"], "cx")
    s.add("sfence", "Substation fence, gravel and oil containment", 15, "CON-SUB", "Substation", ["sbrk:SS5"], "civ")
    s.add("scada", "Plant SCADA, met stations and fiber network", 30, "CON-ELE", "Site-wide", ["mv:SS20", "eifc"],
          "elec")
    s.add("om", "O&M building and parking", 40, "CON-CIV", "Site-wide", ["rds"], "conc")
    s.add("swppp", "Stormwater controls and erosion BMPs", 20, "CON-CIV", "Site-wide", ["grd:SS5"], "civ")
    s.add("mc", "Mechanical Completion", 0, "PM", None, ["mod10", "dc10", "skid", "fnc", "swire", "sfence", "scada", "om"])
    s.add("invcx", "Inverter and collection system commissioning", 20, "CX", "Site-wide",
          ["ener", "skid", "dc10", "mv", "scada"], "cx")
    s.add("punch", "Punch list walkdown and clearance", 15, "CX", "Site-wide", ["mc"], "cx")
    s.add("rest", "Site restoration and revegetation", 25, "CON-CIV", "Site-wide", ["mc"], "civ")
    s.add("perf", "Capacity and performance test", 10, "CX", "Site-wide", ["invcx", "punch", "tcx10"], "cx")
    s.add("cod", "Commercial Operation Date (COD)", 0, "PM", None, ["perf"])
    return s


def plan_hcw():
    s = ProjectPlan()
    s.add("ntp", "Notice to Proceed", 0, "PM")
    s.add("p30", "Process design basis and P&IDs 30%", 30, "ENG-PRO", None, ["ntp"])
    s.add("p60", "Mechanical design 60%", 35, "ENG-PRO", None, ["p30"])
    s.add("p90", "Mechanical design 90%", 30, "ENG-PRO", None, ["p60"])
    s.add("pifc", "Issue IFC mechanical and process drawings", 10, "ENG-PRO", None, ["p90"])
    s.add("c60", "Structural design clarifiers and filter building 60%", 40, "ENG-CIV", None, ["p30:SS15"])
    s.add("c90", "Structural design 90%", 30, "ENG-CIV", None, ["c60"])
    s.add("cifc", "Issue IFC structural drawings", 10, "ENG-CIV", None, ["c90"])
    s.add("e60", "Electrical one-lines and I&C design 60%", 35, "ENG-EI", None, ["p30"])
    s.add("e90", "Electrical and I&C design 90%", 30, "ENG-EI", None, ["e60", "p60:SS10"])
    s.add("eifc", "Issue IFC electrical and instrumentation drawings", 10, "ENG-EI", None, ["e90"])
    s.package("mem", "Membrane filtration skids", "PRC-MECH", (25, 5, 30, 120, 14), ["p30"], slip_dlv=16,
              area="Filter Building")
    s.package("clm", "Clarifier mechanisms", "PRC-MECH", (20, 5, 25, 75, 10), ["p30"])
    s.package("hsp", "High service pumps", "PRC-MECH", (20, 5, 25, 80, 10), ["p60"])
    s.package("chem", "Chemical feed systems", "PRC-MECH", (20, 5, 20, 60, 10), ["p60"], slip_fab=12,
              area="Chemical Building")
    s.package("mcc", "MCC and switchgear", "PRC-ELE", (20, 5, 30, 130, 10), ["e60"], slip_fab=25,
              area="Electrical Building")
    s.package("scada", "SCADA and PLC panels", "PRC-ELE", (20, 5, 30, 70, 7), ["e90"])
    s.add("mob", "Mobilize site and temporary facilities", 14, "CON-CIV", "Yard", ["ntp:FS30"], "civ")
    s.add("tpow", "Temporary construction power and generator rental", 200, "CON-EI", "Yard", ["mob", "gen:SF0"])
    s.add("demo", "Demolish existing filter gallery and sludge beds", 25, "CON-CIV", "Existing Plant", ["mob"], "civ")
    s.add("exc", "Excavation and dewatering for clarifiers", 30, "CON-CIV", "Clarifiers", ["mob", "cifc"], "civ",
          slip=14)
    s.add("wells", "Additional dewatering wells (groundwater)", 12, "CON-CIV", "Clarifiers", ["exc:SS10"], "civ",
          new=True)
    for n in (1, 2):
        c = f"Clarifier {n}"
        s.add(f"slab{n}", f"{c} base slab", 15, "CON-STR", c, ["exc", "wells"] if n == 1 else ["slab1"], "conc")
        s.add(f"wall{n}", f"{c} walls and launders", 25, "CON-STR", c, [f"slab{n}"] + ([] if n == 1 else ["wall1"]),
              "conc")
        s.add(f"bf{n}", f"{c} backfill", 12, "CON-STR", c, [f"wall{n}"], "civ")
        s.add(f"clmi{n}", f"Install clarifier mechanism {c}", 15, "CON-MECH", c,
              [f"wall{n}", "clm_dlv"] + ([] if n == 1 else ["clmi1"]), "mech")
    for n in (1, 2):
        s.add(f"floc{n}", f"Flocculation basin {n} slab and walls", 25, "CON-STR", f"Flocculation Basin {n}",
              ["exc"] if n == 1 else ["floc1:SS10"], "conc")
        s.add(f"flocm{n}", f"Install flocculator drives Basin {n}", 8, "CON-MECH", f"Flocculation Basin {n}",
              [f"floc{n}", "clm_dlv"], "mech")
    s.add("ffnd", "Filter building foundations", 20, "CON-STR", "Filter Building", ["cifc", "demo"], "conc")
    s.add("fwall", "Filter building walls and elevated slabs", 35, "CON-STR", "Filter Building", ["ffnd"], "conc")
    s.add("froof", "Filter building roof and enclosure", 25, "CON-STR", "Filter Building", ["fwall"], "conc")
    s.add("cw", "Clearwell concrete", 35, "CON-STR", "Clearwell", ["exc:SS20", "cifc"], "conc")
    s.add("chb", "Chemical building slab and CMU walls", 30, "CON-STR", "Chemical Building", ["cifc", "ffnd:SS10"],
          "conc")
    s.add("eb", "Electrical building foundation and erection", 25, "CON-STR", "Electrical Building",
          ["cifc", "ffnd:SS5"], "conc")
    s.add("yard", "Yard piping - raw water and finished water", 45, "CON-CIV", "Yard", ["pifc", "exc"], "pipe")
    s.add("memi", "Set membrane filtration skids", 20, "CON-MECH", "Filter Building", ["froof", "mem_dlv"], "mech")
    s.add("hspi", "Install high service pumps", 15, "CON-MECH", "Clearwell", ["cw", "hsp_dlv"], "mech")
    s.add("chemi", "Install chemical feed equipment", 20, "CON-MECH", "Chemical Building", ["chb", "chem_dlv"], "mech")
    s.add("ppipe", "Process piping Filter Building", 40, "CON-MECH", "Filter Building", ["memi:SS10"], "pipe")
    s.add("mcci", "Set MCC and switchgear", 10, "CON-EI", "Electrical Building", ["eb", "mcc_dlv"], "elec")
    s.add("cable", "Conduit and cable pull", 40, "CON-EI", "Site-wide", ["eifc", "eb:SS10", "mcci:SS0"], "elec")
    s.add("term", "Terminations and instrument installation", 30, "CON-EI", "Site-wide", ["cable", "ppipe:FF0"],
          "ic")
    s.add("scadai", "SCADA panel install and I/O checkout", 20, "CON-EI", "Electrical Building",
          ["scada_dlv", "term:SS15"], "ic")
    s.add("bw", "Backwash pumps and air scour blowers", 15, "CON-MECH", "Filter Building", ["froof", "memi:SS5"],
          "mech")
    s.add("hvac", "Filter building HVAC and plumbing", 30, "CON-MECH", "Filter Building", ["froof"], "pipe")
    s.add("gen", "Standby generator and fuel tank", 12, "CON-EI", "Electrical Building", ["eb", "mcci"], "elec")
    s.add("light", "Site lighting and security cameras", 20, "CON-EI", "Yard", ["cable:SS20"], "elec")
    s.add("tie1", "Tie-in to existing raw water main", 5, "CON-CIV", "Existing Plant", ["yard:FF0"], "pipe")
    s.add("tie2", "Tie-in to existing finished water main", 5, "CON-CIV", "Existing Plant", ["tie1"], "pipe")
    s.add("pave", "Site paving and final grading", 20, "CON-CIV", "Yard", ["yard", "bf2"], "civ")
    s.add("land", "Landscaping and site restoration", 20, "CON-CIV", "Yard", ["pave"], "civ")
    s.add("hydro", "Hydrostatic and leak testing of basins", 15, "CX", "Clarifiers", ["bf2", "cw"], "cx")
    s.add("mc", "Mechanical Completion", 0, "PM", None,
          ["term", "scadai", "clmi2", "hspi", "chemi", "ppipe", "pave", "mcci", "bw", "hvac", "gen", "light",
           "tie2", "flocm2"])
    s.add("train", "Operator training and O&M manuals", 20, "CX", "Site-wide", ["mc:SS-10"], "cx")
    s.add("func", "Pre-commissioning and functional testing", 25, "CX", "Site-wide", ["mc", "hydro"], "cx")
    s.add("punch", "Punch list walkdown and clearance", 15, "CX", "Site-wide", ["mc"], "cx")
    s.add("start", "Plant startup and 30-day performance test", 30, "CX", "Site-wide",
          ["func", "punch:SS5", "train"], "cx")
    s.add("sc", "Substantial Completion", 0, "PM", None, ["start"])
    return s


def plan_rbc():
    s = ProjectPlan()
    s.add("ntp", "Notice to Proceed", 0, "PM")
    s.add("plot", "Station layout and plot plan", 35, "ENG-PIP", None, ["ntp"])
    s.add("p60", "Piping design and stress analysis 60%", 60, "ENG-PIP", None, ["plot"])
    s.add("p90", "Piping design 90%", 50, "ENG-PIP", None, ["p60"], slip=10)
    s.add("pifc", "Issue IFC piping isometrics", 15, "ENG-PIP", None, ["p90"])
    s.add("fnd", "Foundation design compressors and coolers", 45, "ENG-CIV", None, ["plot", "cmp_sub:SS10"])
    s.add("cifc", "Issue IFC foundation drawings", 10, "ENG-CIV", None, ["fnd"])
    s.add("e60", "Electrical and controls design 60%", 60, "ENG-EC", None, ["plot:SS10"])
    s.add("e90", "Electrical and controls design 90%", 45, "ENG-EC", None, ["e60"], slip=6)
    s.add("eifc", "Issue IFC electrical and controls drawings", 10, "ENG-EC", None, ["e90"])
    s.package("cmp", "Gas compressor packages (2 x 4,700 HP)", "PRC-CMP", (20, 5, 40, 220, 15), ["ntp"],
              slip_fab=14)
    s.package("clr", "Aerial gas coolers", "PRC-CMP", (20, 5, 30, 140, 10), ["plot"])
    s.package("vlv", "Station valves and actuators", "PRC-BLK", (25, 5, 30, 120, 14), ["p60"], slip_fab=18)
    s.package("eh", "E-house and MCC", "PRC-BLK", (25, 5, 35, 130, 10), ["e60"])
    s.package("pipe", "Line pipe, fittings and flanges", "PRC-BLK", (15, 5, 10, 45, 10), ["p90"])
    s.package("sep", "Inlet separators and fuel gas skid", "PRC-CMP", (20, 5, 25, 100, 10), ["p60"])
    s.add("mob", "Mobilize site and temporary facilities", 10, "CON-CIV", "Station", ["cifc:SS0", "ntp:FS120"], "civ")
    s.add("grd", "Site clearing, grading and gravel", 25, "CON-CIV", "Station", ["mob"], "civ")
    s.add("cf1", "Compressor foundation Unit 1", 20, "CON-CIV", "Unit 1", ["grd", "cifc"], "conc")
    s.add("cf2", "Compressor foundation Unit 2", 20, "CON-CIV", "Unit 2", ["cf1:SS10"], "conc")
    s.add("clf", "Cooler and pipe rack foundations", 25, "CON-CIV", "Station", ["cf1:SS5"], "conc")
    s.add("ehf", "E-house foundation", 10, "CON-CIV", "Station", ["grd"], "conc")
    s.add("set1", "Set compressor package Unit 1", 5, "CON-MECH", "Unit 1", ["cf1", "cmp_dlv"], "mech")
    s.add("set2", "Set compressor package Unit 2", 5, "CON-MECH", "Unit 2", ["cf2", "set1"], "mech")
    s.add("setc", "Set aerial gas coolers", 10, "CON-MECH", "Station", ["clf", "clr_dlv"], "mech")
    s.add("rack", "Erect pipe rack steel", 15, "CON-MECH", "Station", ["clf"], "pipe")
    s.add("setsep", "Set inlet separators and fuel gas skid", 6, "CON-MECH", "Station", ["clf", "sep_dlv"], "mech")
    s.add("aux", "Auxiliary building and control room", 40, "CON-CIV", "Station", ["grd"], "conc")
    s.add("gnd", "Station grounding and cathodic protection", 20, "CON-EC", "Station", ["grd:SS10"], "elec")
    s.add("fence", "Station fence, gates and lighting", 20, "CON-CIV", "Station", ["grd"], "civ")
    s.add("pig", "Pig launcher and receiver installation", 10, "CON-MECH", "Mainline", ["pipe_dlv", "rack"], "pipe")
    s.add("ypipe", "Station yard piping and valve installation", 60, "CON-MECH", "Station",
          ["pifc", "pipe_dlv", "vlv_dlv", "rack", "set1:SS3"], "pipe")
    s.add("tie", "Hot tap and tie-in to mainline", 7, "CON-MECH", "Mainline", ["ypipe:FF-10"], "pipe")
    s.add("seteh", "Set E-house and MCC", 5, "CON-EC", "Station", ["ehf", "eh_dlv"], "elec")
    s.add("tray", "Cable tray and power cable installation", 35, "CON-EC", "Station", ["seteh", "eifc"], "elec")
    s.add("inst", "Instrumentation and controls installation", 30, "CON-EC", "Station", ["tray:SS15", "ypipe:SS20"],
          "ic")
    s.add("fg", "Fire and gas detection installation", 15, "CON-EC", "Station", ["tray:SS20"], "ic")
    s.add("hyd", "Hydrotest station piping", 15, "CX", "Station", ["ypipe"], "pipe")
    s.add("paint", "Insulation and painting of station piping", 25, "CON-MECH", "Station", ["hyd"], "pipe")
    s.add("gcon", "SCADA integration with pipeline gas control", 15, "CON-EC", "Station", ["inst"], "ic")
    s.add("mc", "Mechanical Completion", 0, "PM", None,
          ["hyd", "inst", "fg", "set2", "setc", "tie", "tray", "setsep", "aux", "gnd", "fence", "pig", "paint",
           "gcon"])
    s.add("train", "Operator training", 10, "CX", "Station", ["mc:SS-15"], "cx")
    s.add("loop", "Pre-commissioning and loop checks", 20, "CX", "Station", ["mc"], "cx")
    s.add("punch", "Punch list walkdown and clearance", 12, "CX", "Station", ["mc"], "cx")
    s.add("gasin", "Gas-in and purge", 5, "CX", "Station", ["loop", "punch", "train"], "cx")
    s.add("run", "Compressor run-in and performance test", 14, "CX", "Station", ["gasin"], "cx")
    s.add("isd", "In-Service Date", 0, "PM", None, ["run"])
    return s


PROJECT_PLANS = {"MFS": plan_mfs, "HCW": plan_hcw, "RBC": plan_rbc}


def parse_pred(p):
    key, _, rest = p.partition(":")
    if not rest:
        return key, "FS", 0
    return key, rest[:2], int(rest[2:] or 0)


def cpm(durs, links, anchor=None):
    """Forward and backward pass in days; durs: {key: dur}, links: [(pred, succ, type, lag)].
    The backward pass starts from anchor (a day index) when given, else from the network's end."""
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
            else:  # SF
                start = max(start, es[p] + lag - d)
        es[o], ef[o] = start, start + d
    end = max(ef.values())
    finish = end if anchor is None else min(end, anchor)
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


def day(base, n):
    return (base + dt.timedelta(days=n)).isoformat()


def start_date(base, es):
    return day(base, es)


def finish_date(base, es, ef):
    """Inclusive finish: a 10-day task starting day 0 finishes on day 9; a milestone on its start."""
    return day(base, ef - 1 if ef > es else es)


def month_ends(first, last):
    out = []
    y, m = first.year, first.month
    while True:
        nxt = dt.date(y + (m == 12), m % 12 + 1, 1)
        me = nxt - dt.timedelta(days=1)
        if me > last:
            break
        out.append(me)
        y, m = nxt.year, nxt.month
    return out


# procurement line items per package key: (description, tag, qty, uom, unit price, lead weeks, lots)
LINES = {
    ("MFS", "mod"): ("V1001", "PV modules 545W bifacial", [
        ("PV module 545W bifacial - shipment lot 1", None, 86000, "EA", 148.0, 20),
        ("PV module 545W bifacial - shipment lot 2", None, 86000, "EA", 148.0, 20),
        ("PV module 545W bifacial - shipment lot 3", None, 84500, "EA", 148.0, 20),
    ], "mod1"),
    ("MFS", "trk"): ("V1002", "Single-axis trackers", [
        ("Tracker torque tubes and bearings", None, 2140, "SET", 3900.0, 14),
        ("Tracker drive motors and controllers", None, 2140, "EA", 1150.0, 14),
        ("Tracker driven piles W6x9", None, 38500, "EA", 96.0, 10),
    ], "trkin1"),
    ("MFS", "inv"): ("V1003", "Central inverters and MV skids", [
        ("Central inverter 4.4MVA", "INV-01..24", 24, "EA", 212000.0, 30),
        ("MV step-up transformer 4.4MVA 34.5kV (skid mounted)", "TX-01..24", 24, "EA", 148000.0, 30),
        ("Inverter skid spare parts kit", None, 2, "KIT", 28500.0, 20),
    ], "skid"),
    ("MFS", "mpt"): ("V1004", "Main power transformer", [
        ("Main power transformer 138/34.5kV 120MVA", "MPT-1", 1, "EA", 3850000.0, 62),
        ("MPT bushings, radiators and accessories", "MPT-1", 1, "LOT", 240000.0, 62),
        ("Transformer insulating oil", "MPT-1", 62000, "L", 3.1, 8),
    ], "setmpt"),
    ("MFS", "brk"): ("V1005", "138kV breakers and switches", [
        ("138kV SF6 dead tank circuit breaker", "52-101", 2, "EA", 285000.0, 40),
        ("138kV group operated disconnect switch", "89-101", 4, "EA", 62000.0, 26),
        ("138kV CT/PT metering units", None, 6, "EA", 38500.0, 26),
    ], "sbrk"),
    ("MFS", "cable"): ("V1010", "MV cable and DC wire", [
        ("34.5kV 1000kcmil AL MV cable", None, 148000, "FT", 9.8, 16),
        ("DC string wire 10AWG PV", None, 2600000, "FT", 0.34, 8),
        ("Combiner box 24-string", None, 860, "EA", 1850.0, 12),
    ], "mv"),
    ("HCW", "mem"): ("V1006", "Membrane filtration skids", [
        ("Ultrafiltration membrane rack 2.5 MGD", "UF-101..104", 4, "EA", 1380000.0, 42),
        ("Membrane CIP skid", "CIP-101", 1, "EA", 310000.0, 36),
        ("Spare membrane modules", None, 48, "EA", 2950.0, 36),
    ], "memi"),
    ("HCW", "clm"): ("V1007", "Clarifier mechanisms", [
        ("Circular clarifier drive and rake mechanism 85ft", "CL-201", 1, "EA", 486000.0, 26),
        ("Circular clarifier drive and rake mechanism 85ft", "CL-202", 1, "EA", 486000.0, 26),
        ("Flocculator drives", "FL-201..204", 4, "EA", 42000.0, 20),
    ], "clmi1"),
    ("HCW", "hsp"): ("V1008", "High service pumps", [
        ("Vertical turbine high service pump 350HP", "P-301..303", 3, "EA", 265000.0, 28),
        ("VFD 350HP 480V", "VFD-301..303", 3, "EA", 58000.0, 20),
    ], "hspi"),
    ("HCW", "chem"): ("V1009", "Chemical feed systems", [
        ("Sodium hypochlorite feed skid", "CF-401", 2, "EA", 96000.0, 18),
        ("Coagulant metering pump skid", "CF-402", 2, "EA", 74000.0, 18),
        ("FRP chemical bulk storage tank 8,000 gal", "T-401..404", 4, "EA", 38500.0, 16),
    ], "chemi"),
    ("HCW", "mcc"): ("V1005", "MCC and switchgear", [
        ("480V motor control center", "MCC-1", 2, "EA", 265000.0, 44),
        ("Medium voltage switchgear 4.16kV", "SWGR-1", 1, "LOT", 1120000.0, 52),
        ("Standby generator paralleling switchgear", "SWGR-2", 1, "LOT", 410000.0, 44),
    ], "mcci"),
    ("HCW", "scada"): ("V1011", "SCADA and PLC panels", [
        ("PLC control panel", "PLC-100..105", 6, "EA", 86000.0, 22),
        ("SCADA servers and HMI workstations", None, 1, "LOT", 145000.0, 12),
    ], "scadai"),
    ("HCW", "dip"): ("V1015", "Ductile iron pipe and fittings", [
        ("Ductile iron pipe 24in class 350", None, 3200, "FT", 118.0, 10),
        ("Ductile iron pipe 16in class 350", None, 4100, "FT", 74.0, 10),
        ("Restrained joint fittings assorted", None, 1, "LOT", 186000.0, 12),
    ], "yard"),
    ("RBC", "cmp"): ("V1012", "Gas compressor packages", [
        ("Reciprocating compressor package 4,700 HP", "C-101", 1, "EA", 11800000.0, 58),
        ("Reciprocating compressor package 4,700 HP", "C-102", 1, "EA", 11800000.0, 58),
        ("Compressor commissioning spares", None, 1, "LOT", 340000.0, 40),
    ], "set1"),
    ("RBC", "clr"): ("V1013", "Aerial gas coolers", [
        ("Aerial gas cooler 6-bay", "AC-101", 1, "EA", 1460000.0, 34),
        ("Aerial gas cooler 6-bay", "AC-102", 1, "EA", 1460000.0, 34),
    ], "setc"),
    ("RBC", "vlv"): ("V1014", "Station valves and actuators", [
        ("Station suction/discharge ball valve 24in ANSI 600 with actuator", "SDV-101..104", 4, "EA", 164000.0, 36),
        ("Blowdown valve 8in ANSI 600", "BDV-101..102", 2, "EA", 58000.0, 30),
        ("Check valve 24in ANSI 600", "CV-101..102", 2, "EA", 72000.0, 30),
    ], "ypipe"),
    ("RBC", "eh"): ("V1005", "E-house and MCC", [
        ("Prefabricated E-house with MCC and switchgear", "EH-1", 1, "EA", 2850000.0, 40),
        ("Station UPS and battery system", None, 1, "LOT", 185000.0, 18),
    ], "seteh"),
    ("RBC", "pipe"): ("V1015", "Line pipe, fittings and flanges", [
        ("Line pipe 24in X65 0.500WT", None, 5800, "FT", 142.0, 9),
        ("Butt weld fittings and flanges ANSI 600", None, 1, "LOT", 620000.0, 8),
        ("Stud bolts and gaskets", None, 1, "LOT", 48000.0, 6),
    ], "ypipe"),
}
BUYERS = {"MFS": "Rachel Kim", "HCW": "Tom Becker", "RBC": "Anita Shore"}
PKG_CA = {("MFS", "cable"): "PRC-ELE", ("HCW", "dip"): "PRC-MECH"}

DOCS = {
    # per engineering CA: (discipline, [(type, title)])
    ("MFS", "ENG-CIV"): ("Civil", "civifc", [
        ("Report", "Geotechnical investigation report"), ("Report", "Pile load test report"),
        ("Drawing", "Overall site grading plan"), ("Drawing", "Drainage and stormwater plan"),
        ("Drawing", "Pile layout plan Blocks 1-3"), ("Drawing", "Pile layout plan Blocks 4-6"),
        ("Drawing", "Access road plan and profile"), ("Calculation", "Pile design calculation"),
        ("Drawing", "Substation grading and foundation plan")]),
    ("MFS", "ENG-ELE"): ("Electrical", "eifc", [
        ("Drawing", "Single line diagram - plant"), ("Drawing", "DC string layout Blocks 1-6"),
        ("Drawing", "MV collection system layout"), ("Calculation", "Cable sizing and voltage drop calculation"),
        ("Drawing", "Substation three line diagram"), ("Drawing", "Protection and relay one-line"),
        ("Requirement", "Main power transformer requirements"), ("Drawing", "Grounding plan"),
        ("Calculation", "Arc flash study")]),
    ("HCW", "ENG-PRO"): ("Process", "pifc", [
        ("Drawing", "P&ID - raw water and flocculation"), ("Drawing", "P&ID - membrane filtration"),
        ("Drawing", "P&ID - chemical feed"), ("Drawing", "Hydraulic profile"),
        ("Requirement", "Membrane filtration system requirements"), ("Drawing", "Yard piping plan"),
        ("Datasheet", "High service pump datasheet")]),
    ("HCW", "ENG-CIV"): ("Structural", "cifc", [
        ("Drawing", "Clarifier 1 and 2 structural plans"), ("Drawing", "Filter building foundation plan"),
        ("Drawing", "Filter building framing and roof"), ("Drawing", "Clearwell structural plan"),
        ("Calculation", "Clarifier wall design calculation"), ("Drawing", "Chemical building plans")]),
    ("HCW", "ENG-EI"): ("Electrical", "eifc", [
        ("Drawing", "Electrical single line diagram"), ("Drawing", "Electrical building layout"),
        ("Drawing", "Power and control conduit plan"), ("Requirement", "SCADA system requirements"),
        ("Drawing", "Instrument loop diagrams")]),
    ("RBC", "ENG-PIP"): ("Piping", "pifc", [
        ("Drawing", "Station plot plan"), ("Drawing", "Station P&IDs"), ("Calculation", "Pipe stress analysis"),
        ("Drawing", "Piping isometrics - suction header"), ("Drawing", "Piping isometrics - discharge header"),
        ("Drawing", "Mainline tie-in details"), ("Requirement", "Piping material requirements")]),
    ("RBC", "ENG-CIV"): ("Civil", "cifc", [
        ("Drawing", "Compressor foundation drawings"), ("Drawing", "Cooler and pipe rack foundations"),
        ("Calculation", "Dynamic foundation analysis"), ("Drawing", "Site grading and drainage")]),
    ("RBC", "ENG-EC"): ("Electrical", "eifc", [
        ("Drawing", "Station single line diagram"), ("Drawing", "Hazardous area classification"),
        ("Drawing", "Cable tray layout"), ("Drawing", "Control system architecture"),
        ("Requirement", "Fire and gas detection requirements")]),
}
DISC_CODE = {"Civil": "C", "Structural": "S", "Electrical": "E", "Process": "P", "Piping": "L", "Commissioning": "X"}
# documents due late in the job: (project, control account, discipline, type, title, activity, days after its finish)
LATE_DOCS = [
    ("MFS", "CX", "Commissioning", "Procedure", "Substation energization procedure", "stest", -25),
    ("MFS", "CX", "Commissioning", "Procedure", "Inverter commissioning procedure", "invcx", -30),
    ("MFS", "ENG-CIV", "Civil", "Drawing", "As-built pile layout", "mc", 10),
    ("MFS", "ENG-ELE", "Electrical", "Drawing", "As-built single line diagram", "perf", 5),
    ("HCW", "CX", "Commissioning", "Procedure", "Membrane system startup procedure", "func", -40),
    ("HCW", "ENG-PRO", "Process", "Manual", "Plant O&M manual", "train", -15),
    ("HCW", "ENG-EI", "Electrical", "Drawing", "Control narrative and alarm list", "scadai", -30),
    ("RBC", "ENG-PIP", "Piping", "Drawing", "Piping isometrics - fuel gas and utilities", "pifc", 25),
    ("RBC", "ENG-EC", "Electrical", "Drawing", "Cause and effect chart", "eifc", 20),
    ("RBC", "ENG-PIP", "Piping", "Drawing", "Hydrotest test packages", "hyd", -40),
    ("RBC", "CX", "Commissioning", "Procedure", "Gas-in and purge procedure", "gasin", -45),
]
ORIGINATORS = {"MFS": "Brazos Engineering Group", "HCW": "In-house Engineering", "RBC": "In-house Engineering"}

RISKS = [
    # project, title, category, prob pct, impact 1-5, cost, days, owner, strategy, status, raised, activity key
    ("MFS", "Main power transformer factory slot slips further", "Procurement", 60, 5, 1450000.0, 45, "Rachel Kim",
     "Mitigate", "Open", "2024-11-18", "mpt_fab"),
    ("MFS", "Rock refusal during pile driving", "Technical", 70, 3, 620000.0, 15, "Hank Moreland", "Mitigate",
     "Realized", "2024-10-02", "pile3"),
    ("MFS", "Module import detention at port (customs)", "Procurement", 35, 4, 900000.0, 21, "Rachel Kim",
     "Transfer", "Open", "2024-09-20", "mod_dlv"),
    ("MFS", "Monsoon storms halt grading and trenching", "Weather", 40, 2, 180000.0, 10, "Hank Moreland", "Accept",
     "Open", "2024-12-05", "mv"),
    ("MFS", "Utility interconnection agreement delayed", "Permitting", 25, 5, 300000.0, 30, "Dana Whitfield",
     "Mitigate", "Open", "2024-09-10", "ener"),
    ("MFS", "Shortage of certified HV electricians", "Labor", 30, 3, 240000.0, 12, "Glen Fischer", "Mitigate",
     "Open", "2025-02-14", "swire"),
    ("MFS", "Tracker steel price escalation", "Commercial", 50, 2, 410000.0, 0, "Rachel Kim", "Accept", "Closed",
     "2024-09-12", None),
    ("HCW", "High groundwater at clarifier excavation", "Technical", 80, 4, 540000.0, 20, "Karl Jensen",
     "Mitigate", "Realized", "2024-12-09", "exc"),
    ("HCW", "Switchgear lead time extends beyond quoted 52 weeks", "Procurement", 55, 4, 260000.0, 28,
     "Tom Becker", "Mitigate", "Open", "2025-01-22", "mcc_fab"),
    ("HCW", "Membrane skid factory acceptance test failure", "Technical", 20, 4, 350000.0, 25, "Beth Lanier",
     "Mitigate", "Open", "2025-03-03", "mem_fab"),
    ("HCW", "Chemical feed vendor not on approved list", "Commercial", 45, 2, 90000.0, 14, "Tom Becker",
     "Avoid", "Mitigating", "2025-02-10", "chem_fab"),
    ("HCW", "Winter concrete pours need heating and blankets", "Weather", 65, 2, 135000.0, 8, "Karl Jensen",
     "Accept", "Closed", "2024-10-15", "slab1"),
    ("HCW", "Existing plant shutdown window for tie-ins not granted", "Permitting", 30, 3, 120000.0, 18,
     "Luis Ortega", "Mitigate", "Open", "2025-04-07", "yard"),
    ("RBC", "Compressor package delivery later than promised", "Procurement", 50, 5, 2100000.0, 40, "Anita Shore",
     "Mitigate", "Open", "2025-02-03", "cmp_fab"),
    ("RBC", "Air permit for compressor engines delayed", "Permitting", 35, 5, 400000.0, 60, "Morgan Tate",
     "Mitigate", "Open", "2025-01-20", "gasin"),
    ("RBC", "Italian valve supplier export delay", "Procurement", 45, 3, 210000.0, 18, "Anita Shore", "Mitigate",
     "Mitigating", "2025-03-17", "vlv_dlv"),
    ("RBC", "Hot tap on live mainline - pipeline operator outage window", "Technical", 30, 4, 380000.0, 14,
     "Wes Duran", "Mitigate", "Open", "2025-04-28", "tie"),
    ("RBC", "Wyoming winter weather during foundations", "Weather", 55, 3, 260000.0, 15, "Wes Duran", "Accept",
     "Open", "2025-05-12", "cf1"),
    ("RBC", "Welder availability in the Rockies region", "Labor", 40, 3, 310000.0, 10, "Wes Duran", "Mitigate",
     "Open", "2025-06-02", "ypipe"),
]

CHANGE_ORDERS = [
    # project, title, initiated by, reason code, cost, days, status, submitted, approved
    ("MFS", "Rock excavation and pre-drilling Block 3", "Contractor", "DSC", 585000.0, 10, "Approved",
     "2025-01-20", "2025-02-18"),
    ("MFS", "Add second met station and SCADA points", "Owner", "SC", 148000.0, 0, "Approved", "2024-12-02",
     "2024-12-20"),
    ("MFS", "MPT delivery delay - time extension request", "Contractor", "FM", 0.0, 38, "Pending", "2025-05-12", None),
    ("MFS", "Upgrade access road to all-weather surface", "Owner", "SC", 322000.0, 5, "Pending", "2025-06-09", None),
    ("MFS", "Revised relay settings per utility comments", "Third Party", "DES", 46000.0, 0, "Approved",
     "2025-03-04", "2025-03-21"),
    ("HCW", "Additional dewatering wells - groundwater", "Contractor", "DSC", 412000.0, 12, "Approved",
     "2024-12-16", "2025-01-14"),
    ("HCW", "Owner-requested second CIP skid", "Owner", "SC", 298000.0, 0, "Rejected", "2025-02-03", None),
    ("HCW", "Switchgear delay - schedule relief", "Contractor", "FM", 0.0, 25, "Pending", "2025-05-27", None),
    ("HCW", "Relocate chemical building 40 ft east", "Owner", "DES", 86000.0, 4, "Approved", "2025-01-28",
     "2025-02-20"),
    ("HCW", "Accelerate filter building roof before winter", "Owner", "ACC", 175000.0, -6, "Withdrawn",
     "2025-04-14", None),
    ("RBC", "Add third compressor unit pad (future)", "Owner", "SC", 265000.0, 0, "Pending", "2025-05-05", None),
    ("RBC", "Revised foundation design after geotech", "Contractor", "DES", 194000.0, 7, "Approved", "2025-03-10",
     "2025-04-02"),
    ("RBC", "Winter protection for foundations", "Contractor", "WX", 88000.0, 0, "Pending", "2025-06-16", None),
]
REASONS = {"SC": "Scope change", "DSC": "Differing site condition", "DES": "Design change",
           "WX": "Weather", "FM": "Force majeure / vendor delay", "ACC": "Acceleration"}


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)
    con.executemany("INSERT INTO work_calendars VALUES (?,?,?,?,?,?)", CALENDARS)
    crew_ids = {}
    for i, c in enumerate(CREWS, 1):
        con.execute("INSERT INTO crews VALUES (?,?,?,?,?,?,?,?,?)", (i,) + c)
        crew_ids[c[0]] = i
    crew_row = {c[0]: c for c in CREWS}
    vendor_ids = {}
    for i, v in enumerate(VENDORS, 1):
        con.execute("INSERT INTO vendors VALUES (?,?,?,?,?,?,?,?)", (i,) + v)
        vendor_ids[v[0]] = i

    act_id = link_id = ca_row = bl_id = bla_id = alloc_id = po_id = pol_id = doc_id = ev_id = 0
    risk_n = co_n = 0
    for p_idx, (pno, pcode, pname, client, site, ctype, pm, ntp, margin, value, phase) in enumerate(PROJECTS, 1):
        plan = PROJECT_PLANS[pcode]()
        acts = {a[0]: a for a in plan.acts}
        order = [a[0] for a in plan.acts]
        links = []
        for a in plan.acts:
            for p in a[5]:
                k, t, lag = parse_pred(p)
                if (k, a[0], t, lag) not in links:
                    links.append((k, a[0], t, lag))
        # every open end ties to the project's finish milestone
        finish_key = order[-1]
        has_succ = {p for p, _, _, _ in links}
        for k in order:
            if k != finish_key and k not in has_succ:
                links.append((k, finish_key, "FS", 0))
        base_keys = [k for k in order if not acts[k][8]]
        base_links = [lk for lk in links if lk[0] in base_keys and lk[1] in base_keys]
        # contract baseline, a mid-course update at half the slip, and the current schedule
        b_es, b_ef, b_ls, b_lf, _, b_end = cpm({k: acts[k][2] for k in base_keys}, base_links)
        anchor = b_end + margin
        u_durs = {k: acts[k][2] + acts[k][7] // 2 for k in base_keys}
        u_es, u_ef, u_ls, _, _, _ = cpm(u_durs, base_links, anchor)
        c_durs = {k: acts[k][2] + acts[k][7] for k in order}
        es, ef, ls, lf, ff, end = cpm(c_durs, links, anchor)
        ddi = (DATA_DATE - ntp).days

        con.execute("INSERT INTO projects VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (p_idx, pno, pcode, pname, client, site, ctype, pm, ntp.isoformat(), day(ntp, b_end + margin),
                     day(ntp, end), value, DATA_DATE.isoformat(), phase))
        ca_ids = {}
        ca_acts = {}
        for key, wbs, name, cphase, disc, mgr, budget in CAS[pcode]:
            ca_row += 1
            ca_ids[key] = ca_row
            ca_acts[key] = [k for k in order if acts[k][3] == key]
        act_ids = {}
        status = {}
        pct = {}
        for k in order:
            act_id += 1
            act_ids[k] = act_id
            _, name, dur0, ca, area, _, trade, slip, new = acts[k]
            dur = c_durs[k]
            cphase = [c for c in CAS[pcode] if c[0] == ca][0][3]
            if dur == 0:
                atype = "Start Milestone" if k == "ntp" else "Finish Milestone"
            else:
                atype = "Task"
            if ef[k] <= ddi and (dur > 0 or es[k] < ddi):
                st, pc, rem = "CP", 100.0, 0
            elif es[k] < ddi:
                st = "IP"
                pc = float(max(5, min(95, round(100 * (ddi - es[k]) / dur * rng.uniform(0.75, 1.05) / 5) * 5)))
                rem = ef[k] - ddi
            else:
                st, pc, rem = "NS", 0.0, dur
            status[k], pct[k] = st, pc
            a_s = start_date(ntp, es[k]) if st != "NS" else None
            a_f = finish_date(ntp, es[k], ef[k]) if st == "CP" else None
            tf = None if st == "CP" else lf[k] - ef[k]
            fl = None if st == "CP" else ff[k]
            crit = 1 if tf is not None and tf <= 0 else 0
            con.execute("INSERT INTO schedule_activities VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (act_id, p_idx, ca_ids[ca], PHASE_CAL[cphase] if trade not in ("pile", "trk", "mod", "civ")
                         else 2, f"{pcode}-{(order.index(k) + 1) * 10 + 1000}", name, atype, area, st, dur0,
                         rem if st != "NS" else dur0 + slip,
                         start_date(ntp, es[k]), finish_date(ntp, es[k], ef[k]),
                         None if st == "CP" else start_date(ntp, ls[k]),
                         None if st == "CP" else finish_date(ntp, ls[k], lf[k]), a_s, a_f, tf, fl, crit, pc))
            if trade and dur > 0:
                crews = TRADE_CREWS[trade]
                chosen = crews if (len(crews) > 1 and dur >= 20 and rng.random() < 0.5) else [rng.choice(crews)]
                for c in chosen:
                    alloc_id += 1
                    row = crew_row[c]
                    hpd = [x for x in CALENDARS if x[0] == row[6]][0][3]
                    ph = round(dur0 * row[5] * hpd * 5 / 7 / len(chosen), -1)
                    if st == "CP":
                        ah = round(ph * rng.choice([0.85, 0.95, 1.0, 1.1, 1.25, 1.4]) * (dur0 + slip) / dur0, -1)
                        rh = 0.0
                    elif st == "IP":
                        ah = round(ph * pc / 100 * rng.uniform(0.9, 1.3), -1)
                        rh = round(max(0.0, ph - ph * pc / 100), -1)
                    else:
                        ah, rh = 0.0, ph
                    con.execute("INSERT INTO crew_allocations VALUES (?,?,?,?,?,?)",
                                (alloc_id, act_id, crew_ids[c], ph, ah, rh))
        for p, s, t, lag in links:
            link_id += 1
            con.execute("INSERT INTO activity_links VALUES (?,?,?,?,?)", (link_id, act_ids[p], act_ids[s], t, lag))

        # control accounts with their progress state
        for key, wbs, name, cphase, disc, mgr, budget in CAS[pcode]:
            sts = [status[k] for k in ca_acts[key]]
            cstat = ("Complete" if all(x == "CP" for x in sts) else
                     "Not Started" if all(x == "NS" for x in sts) else "In Progress")
            hrs = round(budget / (145.0 if cphase in ("Engineering", "Management") else
                                  (2400.0 if cphase == "Procurement" else 118.0)), -1)
            con.execute("INSERT INTO control_accounts VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                        (ca_ids[key], p_idx, f"{pcode}-{key}", wbs, name, cphase, disc, mgr, budget, hrs, cstat))

        # baselines
        snaps = [("Contract Baseline BL0", "Contract Baseline", ntp + dt.timedelta(days=21), pm, 1,
                  (b_es, b_ef, {k: acts[k][2] for k in base_keys}, {k: b_ls[k] - b_es[k] for k in base_keys}))]
        if pcode != "RBC":
            upd = dt.date(2025, 3, 31)
            snaps.append(("March 2025 Update", "Period Update", upd, None, 0,
                          (u_es, u_ef, u_durs, {k: u_ls[k] - u_es[k] for k in base_keys})))
        for name, btype, bdate, appr, active, (s_es, s_ef, s_dur, s_tf) in snaps:
            bl_id += 1
            con.execute("INSERT INTO schedule_baselines VALUES (?,?,?,?,?,?,?)",
                        (bl_id, p_idx, name, btype, bdate.isoformat(), appr, active))
            for k in base_keys:
                bla_id += 1
                con.execute("INSERT INTO baseline_activities VALUES (?,?,?,?,?,?,?)",
                            (bla_id, bl_id, act_ids[k], start_date(ntp, s_es[k]),
                             finish_date(ntp, s_es[k], s_ef[k]), s_dur[k], s_tf[k]))

        # purchase orders and their lines
        pkgs = [k for (pc_, k) in LINES if pc_ == pcode]
        for pk in pkgs:
            vcode, title, lines, ros = LINES[(pcode, pk)]
            po_id += 1
            if (pcode, pk) in PKG_CA:
                ca = PKG_CA[(pcode, pk)]
                issue = ntp + dt.timedelta(days=max(20, b_es[ros] - 120))
                dlv_key = None
            else:
                ca = acts[pk + "_awd"][3]
                issue = ntp + dt.timedelta(days=ef[pk + "_awd"] - 1) if status[pk + "_awd"] == "CP" else None
                dlv_key = pk + "_dlv"
            value = sum(round(q * u, 2) for _, _, q, _, u, _ in lines)
            # need-by dates come from the contract baseline (required on site), promised dates from the
            # vendor's current delivery, which the schedule carries
            if dlv_key:
                need_base = ntp + dt.timedelta(days=b_ef[dlv_key] - 1 + 7)
                promised_base = ntp + dt.timedelta(days=ef[dlv_key] - 1)
            else:
                need_base = ntp + dt.timedelta(days=b_es[ros] - 7)
                promised_base = ntp + dt.timedelta(days=es[ros] - 14)
            line_rows = []
            for n, (desc, tag, q, uom, up, wks) in enumerate(lines, 1):
                offs = (n - 1) * (12 if pk == "mod" else rng.choice([0, 0, 3, 7]))
                need = need_base + dt.timedelta(days=offs)
                promised = promised_base + dt.timedelta(days=offs - (14 if pk == "mod" else 0))
                if pcode == "MFS" and pk == "mpt" and n == 3:
                    promised = need - dt.timedelta(days=30)
                delivered = None
                if promised <= DATA_DATE:
                    delivered = promised + dt.timedelta(days=rng.choice([-3, 0, 0, 2, 5, 9]))
                    if delivered > DATA_DATE:
                        delivered = DATA_DATE - dt.timedelta(days=1)
                if (pcode, pk, n) in (("HCW", "chem", 3), ("MFS", "cable", 2)):
                    delivered = None  # promised before the data date, still not on site
                if delivered:
                    ship = "Delivered"
                elif promised <= DATA_DATE + dt.timedelta(days=21) and issue is not None:
                    ship = "In Transit"
                else:
                    ship = "Not Shipped"
                pol_id += 1
                line_rows.append(delivered)
                con.execute("INSERT INTO po_line_items VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (pol_id, po_id, n, desc, tag, q, uom, up, need.isoformat(), promised.isoformat(),
                             delivered.isoformat() if delivered else None, "Y" if wks >= 26 else "N", wks, ship,
                             act_ids[ros]))
            if issue is None:
                pstat = "Draft"
            elif all(line_rows):
                pstat = "Closed" if promised_base < DATA_DATE - dt.timedelta(days=60) else "Received"
            elif any(line_rows):
                pstat = "Partially Received"
            else:
                pstat = "Open"
            level = 3 if pk in ("mpt", "cmp", "mcc") else (2 if any(w >= 26 for *_, w in lines) else 1)
            con.execute("INSERT INTO purchase_orders VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                        (po_id, f"PO-{pno[2:]}-{100 + pkgs.index(pk) * 5:03d}", p_idx, vendor_ids[vcode],
                         ca_ids[ca], title, issue.isoformat() if issue else None, round(value, 2), "USD", pstat,
                         BUYERS[pcode], level))

        # engineering deliverables, then the vendor drawings of each equipment package
        doc_sets = [(ca, disc, ifc_key, docs, "") for (pc_, ca), (disc, ifc_key, docs) in DOCS.items()
                    if pc_ == pcode]
        vdocs = [("Vendor Drawing", "Vendor GA and interface drawings - " + acts[k][1].split(" - ", 1)[1])
                 for k in order if k.endswith("_sub")]
        doc_sets.append((None, "Mechanical", None, vdocs, "V"))
        for _, ca, disc, dtype, title, key, off in [d for d in LATE_DOCS if d[0] == pcode]:
            doc_sets.append((ca, disc, None, [(dtype, title)], "L" + key + ":" + str(off)))
        pdoc = 100
        for ca, disc, ifc_key, docs, kind in doc_sets:
            for n, (dtype, title) in enumerate(docs, 1):
                doc_id += 1
                pdoc += 1
                if kind == "V":
                    sub = [k for k in order if k.endswith("_sub")][n - 1]
                    ca = acts[sub][3]
                    disc = "Electrical" if any(w in title for w in ("Inverter", "breaker", "MCC", "SCADA",
                                                                     "transformer", "E-house")) else "Mechanical"
                    planned = ntp + dt.timedelta(days=b_ef[sub] - 1)
                    forecast = ntp + dt.timedelta(days=ef[sub] - 1)
                elif kind.startswith("L"):
                    key, off = kind[1:].split(":")
                    planned = ntp + dt.timedelta(days=b_ef[key] - 1 + int(off))
                    forecast = ntp + dt.timedelta(days=ef[key] - 1 + int(off))
                else:
                    spread = -(len(docs) - n) * 3
                    planned = ntp + dt.timedelta(days=b_ef[ifc_key] - 1 + spread)
                    forecast = ntp + dt.timedelta(days=ef[ifc_key] - 1 + spread + rng.choice([0, 0, 0, 5, 12]))
                if dtype == "Report" and n <= 2:
                    planned = ntp + dt.timedelta(days=b_ef["geo"] - 1 + n * 5)
                    forecast = ntp + dt.timedelta(days=ef["geo"] - 1 + n * 5)
                if forecast <= DATA_DATE and not (pcode == "HCW" and n == len(docs)):
                    actual, rev, rstat = forecast.isoformat(), rng.choice(["0", "0", "0", "1", "2"]), "IFC"
                    code = rng.choice([1, 1, 1, 2])
                    if dtype == "Report":
                        rstat = "IFU"
                else:
                    actual = None
                    before = (forecast - DATA_DATE).days
                    if before > 150:
                        rev, rstat, code = None, "NYI", None
                    elif before > 60:
                        rev, rstat, code = "A", "IFR", rng.choice([None, 2])
                    else:
                        rev, rstat, code = rng.choice(["B", "C"]), "IFA", rng.choice([None, 2, 3])
                    if forecast < DATA_DATE:
                        rev, rstat, code = "C", "IFA", 3
                con.execute("INSERT INTO deliverables VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            (doc_id, p_idx, ca_ids[ca], f"{pcode}-{'V' if kind == 'V' else DISC_CODE[disc]}-"
                             f"{'VDR' if kind == 'V' else dtype[:3].upper()}-{pdoc:04d}",
                             title, disc, dtype, rev, rstat, code, planned.isoformat(), forecast.isoformat(), actual,
                             ORIGINATORS[pcode]))

        # earned value per control account, cumulative at each month end
        for key, wbs, name, cphase, disc, mgr, budget in CAS[pcode]:
            keys = [k for k in ca_acts[key] if acts[k][2] > 0]
            if not keys:
                continue
            weight = {k: acts[k][2] for k in keys}
            total = float(sum(weight.values()))
            cpi = rng.choice([0.86, 0.92, 0.97, 1.0, 1.03, 1.08])
            for me in month_ends(ntp, DATA_DATE):
                t = (me - ntp).days + 1
                pv = sum(weight[k] * min(1.0, max(0.0, (t - b_es[k]) / acts[k][2])) for k in keys if k in b_es)
                if me == DATA_DATE:
                    ev = sum(weight[k] * pct[k] / 100 for k in keys)
                else:
                    ev = sum(weight[k] * min(1.0, max(0.0, (t - es[k]) / c_durs[k])) for k in keys)
                ev_id += 1
                bcwp = round(budget * ev / total, 2)
                con.execute("INSERT INTO earned_value_periods VALUES (?,?,?,?,?,?)",
                            (ev_id, ca_ids[key], me.isoformat(), round(budget * pv / total, 2), bcwp,
                             round(bcwp / cpi * rng.uniform(0.98, 1.02), 2)))

        for r in RISKS:
            if r[0] != pcode:
                continue
            risk_n += 1
            n = sum(1 for x in RISKS[:RISKS.index(r) + 1] if x[0] == pcode)
            con.execute("INSERT INTO risks VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (risk_n, p_idx, f"R-{pcode}-{n:03d}") + r[1:11] + (act_ids[r[11]] if r[11] else None,))
        for c in CHANGE_ORDERS:
            if c[0] != pcode:
                continue
            co_n += 1
            n = sum(1 for x in CHANGE_ORDERS[:CHANGE_ORDERS.index(c) + 1] if x[0] == pcode)
            con.execute("INSERT INTO change_orders VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                        (co_n, p_idx, f"CO-{pcode}-{n:03d}") + c[1:])
    con.commit()
    return con


TABLE_META = {
    "work_calendars": ("Work calendars used by activities and crews: working days per week and hours per day", {
        "calendar_id": ("Calendar key", "INTEGER"),
        "calendar_name": ("Calendar name, e.g. Field 5x10", "TEXT"),
        "work_days_per_wk": ("Working days per week", "INTEGER"),
        "hrs_per_day": ("Working hours per day", "REAL"),
        "shift_desc": ("Shift pattern in words", "TEXT"),
        "holidays_per_yr": ("Non-working holidays per year on the calendar", "INTEGER"),
    }),
    "projects": ("EPC projects (jobs) under contract, with notice to proceed, contract and forecast completion", {
        "project_id": ("Project key", "INTEGER"),
        "project_no": ("Job number, e.g. P-2401", "TEXT"),
        "project_code": ("Three-letter project code used as prefix of activity IDs, CA codes, PO and document "
                         "numbers (MFS, HCW, RBC)", "TEXT"),
        "project_name": ("Full project name", "TEXT"),
        "client_name": ("Owner / client of the project", "TEXT"),
        "site_location": ("County and state of the site", "TEXT"),
        "contract_type": ("Commercial form of the contract", "TEXT"),
        "project_mgr": ("Project manager", "TEXT"),
        "ntp_dt": ("Notice to proceed date (project start)", "DATE"),
        "contract_finish_dt": ("Contractual completion date (COD / substantial completion / in-service)", "DATE"),
        "forecast_finish_dt": ("Forecast completion date from the current schedule", "DATE"),
        "contract_value": ("Contract value in USD", "REAL"),
        "data_dt": ("Data date of the current schedule update", "DATE"),
        "phase_name": ("Current project phase", "TEXT"),
    }),
    "control_accounts": ("Control accounts (CAs): the WBS elements budgets and progress are managed on", {
        "control_account_id": ("Control account key", "INTEGER"),
        "project_id": ("Project (projects.project_id)", "INTEGER"),
        "ca_code": ("Control account code, project code plus area, e.g. MFS-CON-PILE", "TEXT"),
        "wbs_code": ("WBS number of the account within its project, e.g. 4.2", "TEXT"),
        "ca_name": ("Control account name", "TEXT"),
        "phase": ("EPC phase of the account", "TEXT"),
        "discipline": ("Discipline responsible", "TEXT"),
        "ca_manager": ("Control account manager (CAM)", "TEXT"),
        "budget_amt": ("Budget at completion (BAC) in USD", "REAL"),
        "budget_hrs": ("Budgeted labour hours", "REAL"),
        "status_name": ("Progress state of the account, rolled up from its activities", "TEXT"),
    }),
    "schedule_activities": ("Activities of the current CPM schedule of each project, as of the data date", {
        "activity_id": ("Activity key", "INTEGER"),
        "project_id": ("Project (projects.project_id)", "INTEGER"),
        "control_account_id": ("Control account / WBS (control_accounts.control_account_id)", "INTEGER"),
        "calendar_id": ("Calendar (work_calendars.calendar_id)", "INTEGER"),
        "act_code": ("Activity ID as shown in the schedule, project code plus number, e.g. MFS-1280", "TEXT"),
        "act_name": ("Activity description", "TEXT"),
        "act_type": ("Activity type", "TEXT"),
        "area": ("Construction area or block the work is in; null for engineering and procurement", "TEXT"),
        "status_cd": ("Activity status code", "TEXT"),
        "orig_dur": ("Original duration in calendar days", "INTEGER"),
        "rem_dur": ("Remaining duration in calendar days", "INTEGER"),
        "early_start_dt": ("Early start (actual start once started)", "DATE"),
        "early_finish_dt": ("Early finish (actual finish once complete, else the forecast finish)", "DATE"),
        "late_start_dt": ("Late start from the backward pass; null when complete", "DATE"),
        "late_finish_dt": ("Late finish from the backward pass; null when complete", "DATE"),
        "actual_start_dt": ("Actual start; null until started", "DATE"),
        "actual_finish_dt": ("Actual finish; null until complete", "DATE"),
        "tf": ("Total float in days against the contract finish; negative when the path is behind; null when "
               "complete", "INTEGER"),
        "ff": ("Free float in days; null when complete", "INTEGER"),
        "is_crit": ("1 when the activity is critical (total float <= 0), else 0", "INTEGER"),
        "pct_complete": ("Physical percent complete, 0-100", "REAL"),
    }),
    "activity_links": ("Logic ties (relationships) between activities: predecessor, successor, type and lag", {
        "link_id": ("Link key", "INTEGER"),
        "pred_activity_id": ("Predecessor activity (schedule_activities.activity_id)", "INTEGER"),
        "succ_activity_id": ("Successor activity (schedule_activities.activity_id)", "INTEGER"),
        "link_type": ("Relationship type", "TEXT"),
        "lag_days": ("Lag in days; negative for a lead", "INTEGER"),
    }),
    "schedule_baselines": ("Saved baselines and period snapshots of a project schedule", {
        "baseline_id": ("Baseline key", "INTEGER"),
        "project_id": ("Project (projects.project_id)", "INTEGER"),
        "baseline_name": ("Baseline name", "TEXT"),
        "baseline_type": ("Kind of baseline", "TEXT"),
        "data_dt": ("Data date of the baseline", "DATE"),
        "approved_by": ("Who approved it; null for unapproved period snapshots", "TEXT"),
        "is_active": ("1 for the baseline variances are reported against", "INTEGER"),
    }),
    "baseline_activities": ("Activity dates, duration and float as saved in a baseline", {
        "baseline_activity_id": ("Baseline row key", "INTEGER"),
        "baseline_id": ("Baseline (schedule_baselines.baseline_id)", "INTEGER"),
        "activity_id": ("Activity (schedule_activities.activity_id)", "INTEGER"),
        "bl_start_dt": ("Baseline start", "DATE"),
        "bl_finish_dt": ("Baseline finish", "DATE"),
        "bl_dur": ("Baseline duration in days", "INTEGER"),
        "bl_tf": ("Baseline total float in days", "INTEGER"),
    }),
    "crews": ("Field crews (own forces and subcontractors) by trade", {
        "crew_id": ("Crew key", "INTEGER"),
        "crew_code": ("Crew code, e.g. PILE-01", "TEXT"),
        "crew_name": ("Crew name", "TEXT"),
        "trade": ("Trade / craft of the crew", "TEXT"),
        "company_name": ("Subcontractor employing the crew, or Self-Perform for own forces", "TEXT"),
        "foreman_name": ("Crew foreman", "TEXT"),
        "headcount": ("Number of workers in the crew", "INTEGER"),
        "calendar_id": ("Calendar the crew works (work_calendars.calendar_id)", "INTEGER"),
        "hourly_rate": ("Blended hourly rate per worker in USD", "REAL"),
    }),
    "crew_allocations": ("Crew assignments to activities with planned, actual and remaining labour hours", {
        "allocation_id": ("Allocation key", "INTEGER"),
        "activity_id": ("Activity (schedule_activities.activity_id)", "INTEGER"),
        "crew_id": ("Crew (crews.crew_id)", "INTEGER"),
        "planned_hrs": ("Budgeted labour hours", "REAL"),
        "actual_hrs": ("Actual labour hours booked to date", "REAL"),
        "remaining_hrs": ("Remaining labour hours", "REAL"),
    }),
    "vendors": ("Suppliers and equipment manufacturers", {
        "vendor_id": ("Vendor key", "INTEGER"),
        "vendor_code": ("Vendor number, e.g. V1004", "TEXT"),
        "vendor_name": ("Vendor name", "TEXT"),
        "country": ("Country of manufacture / shipping", "TEXT"),
        "supply_category": ("What the vendor supplies", "TEXT"),
        "contact_name": ("Vendor contact / expediting contact", "TEXT"),
        "approved_flag": ("Y when on the approved vendor list, N when not", "TEXT"),
        "otd_pct": ("On-time delivery percentage over past orders", "REAL"),
    }),
    "purchase_orders": ("Purchase orders placed for project equipment and bulk materials", {
        "po_id": ("Purchase order key", "INTEGER"),
        "po_number": ("PO number, e.g. PO-2401-115", "TEXT"),
        "project_id": ("Project (projects.project_id)", "INTEGER"),
        "vendor_id": ("Vendor (vendors.vendor_id)", "INTEGER"),
        "control_account_id": ("Procurement control account (control_accounts.control_account_id)", "INTEGER"),
        "po_title": ("What the PO buys", "TEXT"),
        "issue_dt": ("Date the PO was issued to the vendor; null while in draft", "DATE"),
        "po_value": ("PO value in the PO currency", "REAL"),
        "currency_cd": ("ISO currency code", "TEXT"),
        "po_status": ("PO status", "TEXT"),
        "buyer_name": ("Buyer responsible", "TEXT"),
        "expediting_level": ("Expediting intensity: 1 desk, 2 regular visits, 3 resident expeditor at the shop",
                             "INTEGER"),
    }),
    "po_line_items": ("Lines of a purchase order with quantities, need-by, promised and delivery dates", {
        "po_line_id": ("PO line key", "INTEGER"),
        "po_id": ("Purchase order (purchase_orders.po_id)", "INTEGER"),
        "line_no": ("Line number within the PO", "INTEGER"),
        "item_desc": ("Item description", "TEXT"),
        "tag_no": ("Equipment tag(s) when the item is tagged equipment", "TEXT"),
        "qty": ("Ordered quantity", "REAL"),
        "uom": ("Unit of measure of qty", "TEXT"),
        "unit_price": ("Price per unit of measure", "REAL"),
        "need_by_dt": ("Required-on-site (ROS) date from the baseline schedule", "DATE"),
        "promised_dt": ("Delivery date currently promised by the vendor", "DATE"),
        "delivered_dt": ("Date received on site; null until delivered", "DATE"),
        "long_lead_flag": ("Y for a long-lead item (lead time of 26 weeks or more), else N", "TEXT"),
        "lead_time_wks": ("Quoted manufacturing and shipping lead time in weeks", "INTEGER"),
        "ship_status": ("Shipping status", "TEXT"),
        "ros_activity_id": ("Installation activity the item is needed for (schedule_activities.activity_id)",
                            "INTEGER"),
    }),
    "deliverables": ("Document register: engineering drawings, requirements, vendor drawings and procedures", {
        "deliverable_id": ("Deliverable key", "INTEGER"),
        "project_id": ("Project (projects.project_id)", "INTEGER"),
        "control_account_id": ("Control account producing it (control_accounts.control_account_id)", "INTEGER"),
        "doc_number": ("Document number: project code, discipline letter, type, sequence, e.g. HCW-S-DRA-0106",
                       "TEXT"),
        "doc_title": ("Document title", "TEXT"),
        "discipline": ("Engineering discipline", "TEXT"),
        "doc_type": ("Document type", "TEXT"),
        "current_rev": ("Current revision: letters (A, B, C) before IFC, numbers (0, 1, 2) from IFC on; null "
                        "before the first issue", "TEXT"),
        "rev_status": ("Issue purpose of the current revision", "TEXT"),
        "client_review_cd": ("Client review return code of the current revision; null while not returned",
                             "INTEGER"),
        "planned_ifc_dt": ("Baseline date for issue for construction (or for use)", "DATE"),
        "forecast_ifc_dt": ("Forecast IFC date", "DATE"),
        "actual_ifc_dt": ("Date actually issued for construction / use; null until then", "DATE"),
        "originator": ("Company that produces the document", "TEXT"),
    }),
    "earned_value_periods": ("Monthly cumulative earned value figures per control account", {
        "ev_period_id": ("Row key", "INTEGER"),
        "control_account_id": ("Control account (control_accounts.control_account_id)", "INTEGER"),
        "period_end_dt": ("Last day of the reporting month", "DATE"),
        "bcws": ("Planned value (BCWS), cumulative to period end, USD", "REAL"),
        "bcwp": ("Earned value (BCWP), cumulative to period end, USD", "REAL"),
        "acwp": ("Actual cost (ACWP), cumulative to period end, USD", "REAL"),
    }),
    "risks": ("Project risk register", {
        "risk_id": ("Risk key", "INTEGER"),
        "project_id": ("Project (projects.project_id)", "INTEGER"),
        "risk_no": ("Risk number, e.g. R-MFS-001", "TEXT"),
        "risk_title": ("Risk description", "TEXT"),
        "category": ("Risk category", "TEXT"),
        "probability_pct": ("Probability of occurrence in percent", "INTEGER"),
        "impact_score": ("Impact score 1 (very low) to 5 (very high)", "INTEGER"),
        "cost_impact_amt": ("Most likely cost impact in USD", "REAL"),
        "sched_impact_days": ("Most likely schedule impact in days", "INTEGER"),
        "risk_owner": ("Person who owns the risk", "TEXT"),
        "response_strategy": ("Planned response", "TEXT"),
        "risk_status": ("Status of the risk", "TEXT"),
        "raised_dt": ("Date the risk was raised", "DATE"),
        "activity_id": ("Activity the risk would hit (schedule_activities.activity_id); null if none",
                        "INTEGER"),
    }),
    "change_orders": ("Change orders (COs) raised on the contracts, with cost and time impact", {
        "change_order_id": ("Change order key", "INTEGER"),
        "project_id": ("Project (projects.project_id)", "INTEGER"),
        "co_number": ("Change order number, e.g. CO-HCW-003", "TEXT"),
        "co_title": ("What the change is", "TEXT"),
        "initiated_by": ("Party that raised it", "TEXT"),
        "reason_cd": ("Reason code", "TEXT"),
        "cost_amt": ("Cost impact in USD", "REAL"),
        "sched_days": ("Time extension requested in days (negative for acceleration)", "INTEGER"),
        "co_status": ("Status of the change order", "TEXT"),
        "submitted_dt": ("Date submitted to the client", "DATE"),
        "approved_dt": ("Date approved; null unless approved", "DATE"),
    }),
}

RELATIONSHIPS = [
    ("control_accounts", "projects", "control_accounts.project_id = projects.project_id", "Accounts of a project"),
    ("schedule_activities", "projects", "schedule_activities.project_id = projects.project_id",
     "Activities of a project"),
    ("schedule_activities", "control_accounts",
     "schedule_activities.control_account_id = control_accounts.control_account_id", "WBS / CA of an activity"),
    ("schedule_activities", "work_calendars", "schedule_activities.calendar_id = work_calendars.calendar_id",
     "Calendar of an activity"),
    ("activity_links", "schedule_activities", "activity_links.pred_activity_id = schedule_activities.activity_id",
     "Predecessor of a link"),
    ("activity_links", "schedule_activities", "activity_links.succ_activity_id = schedule_activities.activity_id",
     "Successor of a link"),
    ("schedule_baselines", "projects", "schedule_baselines.project_id = projects.project_id",
     "Baselines of a project"),
    ("baseline_activities", "schedule_baselines", "baseline_activities.baseline_id = schedule_baselines.baseline_id",
     "Rows of a baseline"),
    ("baseline_activities", "schedule_activities", "baseline_activities.activity_id = schedule_activities.activity_id",
     "Activity a baseline row saves"),
    ("crews", "work_calendars", "crews.calendar_id = work_calendars.calendar_id", "Calendar of a crew"),
    ("crew_allocations", "schedule_activities", "crew_allocations.activity_id = schedule_activities.activity_id",
     "Activity a crew is allocated to"),
    ("crew_allocations", "crews", "crew_allocations.crew_id = crews.crew_id", "Crew of an allocation"),
    ("purchase_orders", "projects", "purchase_orders.project_id = projects.project_id", "POs of a project"),
    ("purchase_orders", "vendors", "purchase_orders.vendor_id = vendors.vendor_id", "Vendor of a PO"),
    ("purchase_orders", "control_accounts", "purchase_orders.control_account_id = control_accounts.control_account_id",
     "Control account a PO is charged to"),
    ("po_line_items", "purchase_orders", "po_line_items.po_id = purchase_orders.po_id", "Lines of a PO"),
    ("po_line_items", "schedule_activities", "po_line_items.ros_activity_id = schedule_activities.activity_id",
     "Activity a PO line is needed for"),
    ("deliverables", "projects", "deliverables.project_id = projects.project_id", "Documents of a project"),
    ("deliverables", "control_accounts", "deliverables.control_account_id = control_accounts.control_account_id",
     "Control account producing a document"),
    ("earned_value_periods", "control_accounts",
     "earned_value_periods.control_account_id = control_accounts.control_account_id", "EV history of an account"),
    ("risks", "projects", "risks.project_id = projects.project_id", "Risks of a project"),
    ("risks", "schedule_activities", "risks.activity_id = schedule_activities.activity_id",
     "Activity a risk would hit"),
    ("change_orders", "projects", "change_orders.project_id = projects.project_id", "Change orders of a project"),
]

BUSINESS_RULES = {
    ("projects", "phase_name"): ["Allowed Values: Engineering and Procurement, Construction, Commissioning, Closed"],
    ("control_accounts", "phase"): ["Allowed Values: Management, Engineering, Procurement, Construction, "
                                    "Commissioning"],
    ("control_accounts", "status_name"): ["Allowed Values: Not Started, In Progress, Complete"],
    ("schedule_activities", "status_cd"): ["Allowed Values: NS (Not Started), IP (In Progress), CP (Complete)"],
    ("schedule_activities", "act_type"): ["Allowed Values: Task, Start Milestone, Finish Milestone"],
    ("schedule_activities", "is_crit"): ["Critical: is_crit = 1 when tf <= 0; completed activities carry no float"],
    ("schedule_activities", "tf"): ["Near critical: 0 < tf <= 10 days", "Negative float: tf < 0 means the path "
                                    "finishes after the contract finish date"],
    ("activity_links", "link_type"): ["Allowed Values: FS (finish to start), SS (start to start), FF (finish to "
                                      "finish), SF (start to finish)"],
    ("schedule_baselines", "baseline_type"): ["Allowed Values: Contract Baseline, Period Update"],
    ("purchase_orders", "po_status"): ["Allowed Values: Draft, Open, Partially Received, Received, Closed"],
    ("po_line_items", "ship_status"): ["Allowed Values: Not Shipped, In Transit, Delivered"],
    ("po_line_items", "long_lead_flag"): ["Allowed Values: Y, N"],
    ("po_line_items", "promised_dt"): ["Late line: promised_dt > need_by_dt, or not delivered and promised_dt "
                                       "before the data date"],
    ("vendors", "approved_flag"): ["Allowed Values: Y, N"],
    ("deliverables", "rev_status"): ["Allowed Values: NYI (not yet issued), IFR (issued for review), IFA (issued "
                                     "for approval), IFC (issued for construction), IFU (issued for use, reports)"],
    ("deliverables", "client_review_cd"): ["Allowed Values: 1 (accepted), 2 (accepted with comments), 3 (rejected, "
                                           "revise and resubmit), 4 (for information only)"],
    ("deliverables", "doc_type"): ["Allowed Values: Drawing, Requirement, Calculation, Report, Datasheet, "
                                   "Vendor Drawing, Procedure, Manual"],
    ("risks", "risk_status"): ["Allowed Values: Open, Mitigating, Realized, Closed"],
    ("risks", "response_strategy"): ["Allowed Values: Avoid, Mitigate, Transfer, Accept"],
    ("risks", "category"): ["Allowed Values: Procurement, Technical, Weather, Permitting, Labor, Commercial"],
    ("change_orders", "co_status"): ["Allowed Values: Pending, Approved, Rejected, Withdrawn"],
    ("change_orders", "reason_cd"): ["Allowed Values: " + ", ".join(f"{k} ({v})" for k, v in REASONS.items())],
    ("change_orders", "initiated_by"): ["Allowed Values: Owner, Contractor, Third Party"],
}

CONCEPTS = {
    ("schedule_activities", "tf"): ["total_float", "critical_path"],
    ("schedule_activities", "ff"): ["free_float"],
    ("schedule_activities", "is_crit"): ["critical_path"],
    ("schedule_activities", "pct_complete"): ["percent_complete"],
    ("activity_links", "lag_days"): ["lag"],
    ("baseline_activities", "bl_finish_dt"): ["baseline_variance"],
    ("schedule_baselines", "is_active"): ["baseline_variance"],
    ("po_line_items", "long_lead_flag"): ["long_lead_item"],
    ("po_line_items", "need_by_dt"): ["late_delivery"],
    ("earned_value_periods", "bcwp"): ["earned_value"],
    ("earned_value_periods", "bcws"): ["earned_value"],
    ("earned_value_periods", "acwp"): ["earned_value"],
    ("crew_allocations", "planned_hrs"): ["crew_loading"],
    ("risks", "probability_pct"): ["risk_exposure"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Days an activity can slip before it delays the contract finish; negative when already behind",
    "free_float": "Days an activity can slip before it delays any successor",
    "critical_path": "The chain of activities with the least float that drives the completion date",
    "percent_complete": "Physical progress of an activity",
    "lag": "Waiting days on a relationship between activities",
    "baseline_variance": "Current dates against the dates saved in the active baseline; positive finish "
                         "variance means slipping",
    "long_lead_item": "Equipment whose lead time (26 weeks or more) can drive the schedule",
    "late_delivery": "A PO line whose promised date is after its need-by (ROS) date",
    "earned_value": "SPI = BCWP / BCWS and CPI = BCWP / ACWP, from cumulative monthly figures",
    "crew_loading": "Labour hours planned per crew or trade",
    "risk_exposure": "Probability times cost impact of a risk",
}

QUERY_EXAMPLES = [
    ("SELECT project_no, project_name, ntp_dt, contract_finish_dt, forecast_finish_dt FROM projects "
     "ORDER BY ntp_dt;",
     "Projects with their contract and forecast completion dates", "simple"),
    ("SELECT a.act_code, a.act_name, a.early_start_dt, a.early_finish_dt, a.tf FROM schedule_activities a "
     "JOIN projects p ON p.project_id = a.project_id WHERE p.project_code = 'HCW' AND a.is_crit = 1 "
     "ORDER BY a.early_start_dt;",
     "Critical activities of one project", "medium"),
    ("SELECT c.trade, SUM(x.planned_hrs) AS planned_hrs, SUM(x.actual_hrs) AS actual_hrs FROM crew_allocations x "
     "JOIN crews c ON c.crew_id = x.crew_id GROUP BY c.trade ORDER BY planned_hrs DESC;",
     "Planned against actual labour hours per trade", "medium"),
    ("SELECT po.po_number, v.vendor_name, l.item_desc, l.need_by_dt, l.promised_dt FROM po_line_items l "
     "JOIN purchase_orders po ON po.po_id = l.po_id JOIN vendors v ON v.vendor_id = po.vendor_id "
     "WHERE l.promised_dt > l.need_by_dt AND l.delivered_dt IS NULL ORDER BY l.need_by_dt;",
     "Undelivered PO lines promised after their need-by date", "medium"),
    ("SELECT doc_number, doc_title, rev_status, planned_ifc_dt FROM deliverables "
     "WHERE actual_ifc_dt IS NULL AND planned_ifc_dt < '2025-06-30' ORDER BY planned_ifc_dt;",
     "Documents past their planned IFC date and not yet issued", "simple"),
    ("SELECT p.act_code AS pred, s.act_code AS succ, l.link_type, l.lag_days FROM activity_links l "
     "JOIN schedule_activities p ON p.activity_id = l.pred_activity_id "
     "JOIN schedule_activities s ON s.activity_id = l.succ_activity_id WHERE l.lag_days <> 0;",
     "Relationships that carry a lag or lead", "medium"),
    ("SELECT a.act_code, a.act_name, b.bl_finish_dt, a.early_finish_dt FROM schedule_activities a "
     "JOIN baseline_activities b ON b.activity_id = a.activity_id "
     "JOIN schedule_baselines s ON s.baseline_id = b.baseline_id "
     "WHERE s.is_active = 1 AND a.project_id = 1 AND a.early_finish_dt > b.bl_finish_dt;",
     "Activities finishing later than the active baseline for one project", "complex"),
    ("SELECT ca.ca_code, e.bcwp / e.bcws AS spi, e.bcwp / e.acwp AS cpi FROM earned_value_periods e "
     "JOIN control_accounts ca ON ca.control_account_id = e.control_account_id "
     "WHERE e.period_end_dt = '2025-06-30' AND e.bcws > 0 AND e.acwp > 0;",
     "SPI and CPI per control account at the latest period", "complex"),
]

KEYWORDS = {
    "float": ["schedule_activities.tf", "schedule_activities.ff", "total_float"],
    "critical": ["schedule_activities.is_crit", "critical_path"],
    "predecessor": ["activity_links.pred_activity_id", "activity_links"],
    "successor": ["activity_links.succ_activity_id", "activity_links"],
    "baseline": ["schedule_baselines.is_active", "baseline_activities", "baseline_variance"],
    "long lead": ["po_line_items.long_lead_flag", "long_lead_item"],
    "ROS": ["po_line_items.need_by_dt"],
    "drawing": ["deliverables"],
    "CO": ["change_orders"],
    "CA": ["control_accounts"],
    "SPI": ["earned_value_periods.bcwp", "earned_value_periods.bcws", "earned_value"],
    "CPI": ["earned_value_periods.bcwp", "earned_value_periods.acwp", "earned_value"],
}

TERMINOLOGY = {
    "EPC": "Engineering, procurement and construction contract",
    "NTP": "Notice to proceed, the contractual start of a project",
    "COD": "Commercial operation date, completion of the solar project",
    "MC": "Mechanical completion",
    "IFC": "Issued for construction",
    "IFR": "Issued for review",
    "IFA": "Issued for approval",
    "ROS": "Required on site: the need-by date of material",
    "PO": "Purchase order",
    "CO": "Change order",
    "CA": "Control account",
    "CAM": "Control account manager",
    "BAC": "Budget at completion",
    "SPI": "Schedule performance index, earned value over planned value",
    "CPI": "Cost performance index, earned value over actual cost",
    "FS": "Finish to start relationship",
    "SS": "Start to start relationship",
    "FF": "Finish to finish relationship, or free float",
    "SF": "Start to finish relationship",
    "TF": "Total float",
    "MPT": "Main power transformer",
    "WTP": "Water treatment plant",
    "punch list": "List of incomplete or defective items found at walkdown before handover",
    "data date": "Date up to which progress is recorded in a schedule update",
}

RELATED_TERMS = {
    "schedule_activities": "activity, task, schedule line, P6 activity",
    "projects": "job, project, contract",
    "control_accounts": "WBS, cost account, CA",
    "crews": "crew, gang, subcontractor crew, craft",
    "purchase_orders": "PO, order, purchase",
    "po_line_items": "PO line, material, equipment item",
    "deliverables": "document, drawing, deliverable, requirement",
    "change_orders": "CO, change, variation, extra",
    "risks": "risk register, threat",
    "activity_links": "relationship, logic tie, dependency",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS, covers_database=True)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout9"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata, count_table="schedule_activities")


if __name__ == "__main__":
    sys.exit(main())
