#!/usr/bin/env python3
"""Build the bundled sample data: a project-scheduling SQLite database, the
metadata document that describes it, and a question history with SQL.

Everything is derived from one seeded random generator, so a rerun produces
the same files. The schedule numbers are not random noise: activities are
linked by FS/SS/FF/SF relationships with lags, and early/late dates, total and
free float come from a forward and backward pass against each project's target
finish date, after progress up to the project's data date.

Usage: python scripts/make_sample_data.py [--out-dir DIR]
"""

import argparse
import datetime as dt
import json
import os
import random
import sqlite3
import sys

SEED = 20240917
CLEANED_AT = "2024-11-18T09:42:17.512384"
CLEANING_VERSION = "1.2"

METADATA_NAME = "enriched_project_metadata_cleaned.json"
DB_NAME = "project_schedule.db"
HISTORY_NAME = "query_history.json"


# --------------------------------------------------------------------------
# Schema: one definition drives the DDL, the metadata document and the
# statistics, so the database and its description cannot drift apart.
# Column tuple: (name, sql type, description, indexed, extras)
# extras keys: stats (bool), business_rules, related_business_rules, concepts,
#              references ("table(column)")
# --------------------------------------------------------------------------

def col(name, sql_type, description, indexed=False, **extras):
    return (name, sql_type, description, indexed, extras)


SCHEMA = [
    ("calendars", {
        "description": "Work calendars that define working days per week, hours per day and holidays used to schedule activities and resources",
        "domain": "scheduling",
        "columns": [
            col("calendar_id", "INTEGER", "Unique identifier of the calendar", True),
            col("calendar_name", "TEXT", "Calendar name, for example Standard 5-Day or 7-Day Continuous"),
            col("work_days_per_week", "INTEGER", "Number of working days in a normal week", stats=True),
            col("hours_per_day", "REAL", "Working hours in a normal working day", stats=True),
            col("holiday_count", "INTEGER", "Number of non-working exception days defined on the calendar"),
            col("is_default", "INTEGER", "1 when this is the default calendar for new projects, else 0",
                business_rules=["Single Default Calendar: exactly one calendar may have is_default = 1"]),
        ],
    }),
    ("calendar_exceptions", {
        "description": "Non-working days and shift changes (public holidays, site shutdowns, extended hours) on a work calendar",
        "domain": "scheduling",
        "columns": [
            col("exception_id", "INTEGER", "Unique identifier of the calendar exception", True),
            col("calendar_id", "INTEGER", "Calendar the exception belongs to", True, references="calendars(calendar_id)"),
            col("exception_date", "TEXT", "Date of the exception as ISO 8601 text (YYYY-MM-DD)", True, stats=True),
            col("exception_type", "TEXT", "Holiday, Shutdown or Extended Hours", stats=True),
            col("description", "TEXT", "Name of the holiday or reason for the exception"),
        ],
    }),
    ("projects", {
        "description": "Projects under schedule control with their manager, status, start, target and forecast finish dates, data date, budget and the worst total float of the project",
        "domain": "project management",
        "columns": [
            col("project_id", "INTEGER", "Unique identifier of the project", True),
            col("project_code", "TEXT", "Short project code used as prefix of activity codes", True),
            col("project_name", "TEXT", "Full project name"),
            col("project_manager", "TEXT", "Name of the project manager responsible for the schedule"),
            col("status", "TEXT", "Project status: Planned, Active, On Hold or Completed", stats=True,
                business_rules=["Active Project Update: an Active project must be statused at least every 30 days (data_date no older than 30 days)"]),
            col("start_date", "TEXT", "Planned project start date (ISO 8601 text)", stats=True),
            col("target_finish_date", "TEXT", "Contractual target finish date; total float is measured against it", stats=True,
                concepts=["total_float"]),
            col("forecast_finish_date", "TEXT", "Forecast finish date from the latest schedule calculation (latest early finish)", stats=True),
            col("data_date", "TEXT", "Status date of the schedule: progress is recorded up to this date", stats=True,
                concepts=["data_date"]),
            col("budget_amount", "REAL", "Approved project budget in US dollars", stats=True,
                concepts=["cost_variance"]),
            col("total_float_days", "REAL", "Worst (lowest) total float of the open activities of the project in days; negative float means the forecast finish is later than the target finish date", stats=True,
                business_rules=["Negative Float Escalation: a project whose total float is below 0 days must be reported to the project controls manager with a recovery plan"],
                concepts=["total_float", "negative_float"]),
            col("calendar_id", "INTEGER", "Default calendar of the project", True, references="calendars(calendar_id)"),
        ],
    }),
    ("wbs", {
        "description": "Work breakdown structure (WBS) elements: a hierarchy of phases and areas per project under which activities are grouped",
        "domain": "project management",
        "columns": [
            col("wbs_id", "INTEGER", "Unique identifier of the WBS element", True),
            col("project_id", "INTEGER", "Project the WBS element belongs to", True, references="projects(project_id)"),
            col("parent_wbs_id", "INTEGER", "Parent WBS element; NULL for the project root element", True, references="wbs(wbs_id)",
                business_rules=["WBS Hierarchy: every WBS element except the root has a parent in the same project"],
                concepts=["wbs_hierarchy"]),
            col("wbs_code", "TEXT", "Dotted WBS code such as RMC.3.2"),
            col("wbs_name", "TEXT", "Name of the WBS element, for example Design, Procurement or Construction - Zone A"),
            col("wbs_level", "INTEGER", "Depth in the hierarchy: 1 for the project root", stats=True),
            col("sequence_number", "INTEGER", "Display order among siblings"),
        ],
    }),
    ("activities", {
        "description": "Schedule activities (tasks and milestones) with durations, early and late dates, actual dates, percent complete, total float, free float and critical path flag",
        "domain": "scheduling",
        "columns": [
            col("activity_id", "INTEGER", "Unique identifier of the activity", True),
            col("project_id", "INTEGER", "Project the activity belongs to", True, references="projects(project_id)"),
            col("wbs_id", "INTEGER", "WBS element that groups the activity", True, references="wbs(wbs_id)",
                concepts=["wbs_hierarchy"]),
            col("activity_code", "TEXT", "Activity identifier shown on reports, for example RMC-A1040", True),
            col("activity_name", "TEXT", "Activity description"),
            col("activity_type", "TEXT", "Task, Start Milestone or Finish Milestone", stats=True,
                concepts=["milestone"]),
            col("status", "TEXT", "Not Started, In Progress or Completed", stats=True),
            col("original_duration_days", "REAL", "Planned duration in days; 0 for milestones", stats=True,
                business_rules=["Milestone Duration: milestones have an original duration of 0 days",
                                "Maximum Activity Duration: task durations should not exceed 60 days; longer work must be split"]),
            col("remaining_duration_days", "REAL", "Remaining duration in days from the data date", stats=True),
            col("percent_complete", "REAL", "Duration percent complete from 0 to 100", stats=True,
                concepts=["percent_complete"]),
            col("early_start_date", "TEXT", "Early start date from the forward pass (ISO 8601 text)", True, stats=True),
            col("early_finish_date", "TEXT", "Early finish date from the forward pass", stats=True),
            col("late_start_date", "TEXT", "Late start date from the backward pass; NULL for completed activities", stats=True),
            col("late_finish_date", "TEXT", "Late finish date from the backward pass; NULL for completed activities", stats=True),
            col("actual_start_date", "TEXT", "Actual start date; NULL until the activity has started", stats=True),
            col("actual_finish_date", "TEXT", "Actual finish date; NULL until the activity is completed", stats=True),
            col("total_float_days", "REAL", "Total float in days: late finish minus early finish. Negative float means the activity cannot finish by its late finish date; NULL for completed activities", True, stats=True,
                business_rules=["Critical Path Definition: an open activity with total float of 0 days or less is on the critical path",
                                "Negative Float Escalation: a project whose total float is below 0 days must be reported to the project controls manager with a recovery plan"],
                related_business_rules=[{"name": "Float Ownership", "description": "Total float belongs to the project, not to any single contractor; using float needs the scheduler's approval"}],
                concepts=["total_float", "negative_float", "critical_path"]),
            col("free_float_days", "REAL", "Free float in days: how long the activity can slip without delaying any successor; NULL for completed activities", stats=True,
                related_business_rules=[{"name": "Free Float Limit", "description": "Free float is never negative and never exceeds a positive total float; a larger value indicates a calculation error"}],
                concepts=["free_float"]),
            col("is_critical", "INTEGER", "1 when the activity is on the critical path (total float <= 0), else 0", True, stats=True,
                business_rules=["Critical Path Definition: an open activity with total float of 0 days or less is on the critical path"],
                concepts=["critical_path"]),
            col("constraint_type", "TEXT", "Schedule constraint: Start On or After, Finish On or Before, or NULL when unconstrained", stats=True,
                business_rules=["Constraint Justification: every date constraint needs a note explaining its contractual source"],
                concepts=["schedule_constraint"]),
            col("constraint_date", "TEXT", "Date of the schedule constraint; NULL when unconstrained"),
        ],
    }),
    ("activity_relationships", {
        "description": "Logic links between activities: predecessor and successor with relationship type (FS, SS, FF, SF), lag in days and whether the link drives the successor",
        "domain": "critical path",
        "columns": [
            col("relationship_id", "INTEGER", "Unique identifier of the relationship", True),
            col("project_id", "INTEGER", "Project of both activities", True, references="projects(project_id)"),
            col("predecessor_activity_id", "INTEGER", "Predecessor activity", True, references="activities(activity_id)",
                concepts=["schedule_logic"]),
            col("successor_activity_id", "INTEGER", "Successor activity", True, references="activities(activity_id)",
                concepts=["schedule_logic"]),
            col("relationship_type", "TEXT", "FS (finish-to-start), SS (start-to-start), FF (finish-to-finish) or SF (start-to-finish)", stats=True,
                business_rules=["Relationship Type Mix: at least 90% of relationships should be finish-to-start"],
                concepts=["relationship_type"]),
            col("lag_days", "REAL", "Lag in days added to the relationship; a negative lag is a lead", stats=True,
                business_rules=["Excessive Lag: a lag longer than 20 days hides work and should be replaced by an activity",
                                "Negative Lag: leads (negative lags) are discouraged and need justification"],
                related_business_rules=[{"name": "Lag Calendar", "description": "Lags are counted in calendar days of the successor's calendar"}],
                concepts=["lag", "lead"]),
            col("is_driving", "INTEGER", "1 when the relationship determines the successor's early dates (zero relationship free float)", stats=True,
                concepts=["driving_relationship"]),
        ],
    }),
    ("resources", {
        "description": "Labour, equipment and material resources (for example site engineer J\u00fcrgen Wei\u00df or a 50 t mobile crane) with unit of measure, unit cost and maximum units per day",
        "domain": "resource management",
        "columns": [
            col("resource_id", "INTEGER", "Unique identifier of the resource", True),
            col("resource_code", "TEXT", "Short resource code", True),
            col("resource_name", "TEXT", "Resource name: a person with role (such as Sof\u00eda M\u00e1rquez (Scheduler)), a crew, a piece of equipment or a material"),
            col("resource_type", "TEXT", "Labor, Equipment or Material", stats=True),
            col("resource_role", "TEXT", "Role or trade of a labour resource; NULL for equipment and materials", stats=True),
            col("unit_of_measure", "TEXT", "Unit of the resource: hours, days, m3, t"),
            col("cost_per_unit", "REAL", "Standard cost per unit in US dollars", stats=True,
                concepts=["resource_loading"]),
            col("max_units_per_day", "REAL", "Availability: maximum units the resource can supply per day", stats=True,
                business_rules=["Resource Overallocation: daily assigned units must not exceed max_units_per_day"],
                concepts=["resource_loading"]),
            col("calendar_id", "INTEGER", "Calendar the resource works on", True, references="calendars(calendar_id)"),
        ],
    }),
    ("resource_assignments", {
        "description": "Assignments of resources to activities with budgeted, actual and remaining units and costs",
        "domain": "cost",
        "columns": [
            col("assignment_id", "INTEGER", "Unique identifier of the assignment", True),
            col("activity_id", "INTEGER", "Assigned activity", True, references="activities(activity_id)"),
            col("resource_id", "INTEGER", "Assigned resource", True, references="resources(resource_id)"),
            col("budgeted_units", "REAL", "Planned units of the resource on the activity", stats=True,
                concepts=["resource_loading"]),
            col("actual_units", "REAL", "Units used up to the data date", stats=True),
            col("remaining_units", "REAL", "Units still needed after the data date", stats=True),
            col("budgeted_cost", "REAL", "Planned cost: budgeted units times unit cost", stats=True,
                business_rules=["Budget At Completion: the project budget equals the sum of budgeted_cost of its assignments plus contingency"],
                concepts=["cost_variance"]),
            col("actual_cost", "REAL", "Cost incurred up to the data date", stats=True,
                business_rules=["Cost Overrun: an assignment whose actual_cost exceeds budgeted_cost is over budget"],
                concepts=["cost_variance"]),
            col("planned_start_date", "TEXT", "Planned start of the assignment", stats=True),
            col("planned_finish_date", "TEXT", "Planned finish of the assignment", stats=True),
        ],
    }),
    ("risks", {
        "description": "Risk register: schedule and cost risks per project, optionally tied to an activity, with probability, impact in days and dollars, risk score and response",
        "domain": "risk assessment",
        "columns": [
            col("risk_id", "INTEGER", "Unique identifier of the risk", True),
            col("project_id", "INTEGER", "Project exposed to the risk", True, references="projects(project_id)"),
            col("activity_id", "INTEGER", "Activity most affected by the risk; NULL for project-wide risks", True, references="activities(activity_id)"),
            col("risk_title", "TEXT", "Short title of the risk"),
            col("risk_category", "TEXT", "Technical, Schedule, Cost, Supply Chain, Weather, Regulatory or Safety", stats=True),
            col("probability", "REAL", "Probability of occurrence between 0 and 1", stats=True,
                concepts=["risk_exposure"]),
            col("impact_days", "INTEGER", "Schedule impact in days if the risk occurs", stats=True,
                concepts=["risk_exposure"]),
            col("impact_cost", "REAL", "Cost impact in US dollars if the risk occurs", stats=True),
            col("risk_score", "INTEGER", "Probability rating (1-5) times impact rating (1-5)", True, stats=True,
                business_rules=["High Risk Threshold: a risk with score 15 or more is high and must have a response strategy"],
                concepts=["risk_exposure"]),
            col("status", "TEXT", "Open, Mitigating, Closed or Occurred", stats=True),
            col("response_strategy", "TEXT", "Avoid, Mitigate, Transfer or Accept; NULL until a response is chosen", stats=True),
            col("risk_owner", "TEXT", "Person who owns the risk response"),
            col("identified_date", "TEXT", "Date the risk was entered in the register", stats=True),
        ],
    }),
    ("baselines", {
        "description": "Saved baseline schedules of a project (original and re-baselines, what-if copies) used to measure schedule variance",
        "domain": "baseline management",
        "columns": [
            col("baseline_id", "INTEGER", "Unique identifier of the baseline", True),
            col("project_id", "INTEGER", "Baselined project", True, references="projects(project_id)"),
            col("baseline_name", "TEXT", "Baseline name, for example Original Baseline"),
            col("baseline_type", "TEXT", "Original, Current or What-if", stats=True,
                business_rules=["Active Baseline: each project has exactly one active baseline used for variance reporting"]),
            col("created_date", "TEXT", "Date the baseline was saved", stats=True),
            col("is_active", "INTEGER", "1 for the baseline used for variance reporting", stats=True,
                business_rules=["Active Baseline: each project has exactly one active baseline used for variance reporting"]),
        ],
    }),
    ("baseline_activities", {
        "description": "Activity dates, durations, float and cost as saved in a baseline, for comparing the current schedule against the baseline",
        "domain": "baseline management",
        "columns": [
            col("baseline_activity_id", "INTEGER", "Unique identifier of the baseline activity row", True),
            col("baseline_id", "INTEGER", "Baseline the row belongs to", True, references="baselines(baseline_id)"),
            col("activity_id", "INTEGER", "Activity that was baselined", True, references="activities(activity_id)"),
            col("baseline_start_date", "TEXT", "Start date in the baseline", stats=True),
            col("baseline_finish_date", "TEXT", "Finish date in the baseline", stats=True,
                concepts=["baseline_variance"]),
            col("baseline_duration_days", "REAL", "Duration in the baseline in days", stats=True),
            col("baseline_total_float_days", "REAL", "Total float in the baseline in days", stats=True,
                concepts=["total_float"]),
            col("baseline_cost", "REAL", "Budgeted cost of the activity in the baseline", stats=True),
        ],
    }),
    ("activity_codes", {
        "description": "Activity code values (Phase, Discipline) used to group, filter and sort activities",
        "domain": "scheduling",
        "columns": [
            col("activity_code_id", "INTEGER", "Unique identifier of the code value", True),
            col("code_type", "TEXT", "Code dictionary: Phase or Discipline", stats=True),
            col("code_value", "TEXT", "Short code value such as DES, STR or MEP"),
            col("code_description", "TEXT", "Meaning of the code value"),
        ],
    }),
    ("activity_code_assignments", {
        "description": "Which activity code values are assigned to each activity (one Phase and one Discipline value per activity)",
        "domain": "scheduling",
        "columns": [
            col("code_assignment_id", "INTEGER", "Unique identifier of the code assignment", True),
            col("activity_id", "INTEGER", "Coded activity", True, references="activities(activity_id)"),
            col("activity_code_id", "INTEGER", "Assigned code value", True, references="activity_codes(activity_code_id)"),
        ],
    }),
    ("project_notes", {
        "description": "Notebook entries on projects and activities: progress remarks, issues, weather and delay notes written by the site team",
        "domain": "documentation",
        "columns": [
            col("note_id", "INTEGER", "Unique identifier of the note", True),
            col("project_id", "INTEGER", "Project the note is about", True, references="projects(project_id)"),
            col("activity_id", "INTEGER", "Activity the note is about; NULL for project-level notes", True, references="activities(activity_id)"),
            col("note_date", "TEXT", "Date the note was written", stats=True),
            col("author", "TEXT", "Author of the note"),
            col("note_type", "TEXT", "Progress, Issue, Weather, Delay or Change", stats=True),
            col("note_text", "TEXT", "Free text of the note, e.g. Concrete pour postponed: ambient temperature below 5 \u00b0C overnight."),
        ],
    }),
]


# --------------------------------------------------------------------------
# Reference data
# --------------------------------------------------------------------------

PEOPLE = [
    "J\u00fcrgen Wei\u00df", "Sof\u00eda M\u00e1rquez", "\u00d8ystein Berg", "Chlo\u00e9 Dubois",
    "Mateusz W\u00f3jcik", "Aisha Okafor", "Daniel Kim", "Priya Raman", "Liam O'Connor",
    "Fran\u00e7ois Lef\u00e8vre", "Hannah M\u00fcller", "Carlos Ib\u00e1\u00f1ez", "Mei Chen",
    "Tom\u00e1\u0161 Dvo\u0159\u00e1k", "Grace Thompson", "Ahmed Haddad",
]

PROJECTS = [
    # code, name, status, start, slack vs plan (days), progress fraction, calendar
    ("RMC", "Riverside Medical Center Expansion", "Active", "2023-11-06", -21, 0.45, 1),
    ("HBR", "Harbor Bridge Rehabilitation", "Active", "2024-01-15", 18, 0.38, 2),
    ("NDC", "Northgate Data Center", "Active", "2023-10-02", -34, 0.55, 3),
    ("LRT", "Line 3 Light Rail Extension", "Active", "2024-02-05", 27, 0.30, 2),
    ("CVW", "Cedar Valley Water Treatment Upgrade", "On Hold", "2023-12-04", 6, 0.33, 1),
    ("STO", "Summit Tower Office Fit-out", "Active", "2024-03-04", -9, 0.26, 1),
    ("ESS", "Eastport Substation Replacement", "Active", "2024-01-08", 0, 0.41, 4),
    ("GSF", "Greenfield Solar Farm Phase II", "Planned", "2024-09-02", 35, 0.0, 3),
]
DATA_DATE_CAP = dt.date(2024, 10, 31)

CALENDARS = [
    ("Standard 5-Day", 5, 8.0, 1),
    ("6-Day Site Calendar", 6, 10.0, 0),
    ("7-Day Continuous", 7, 12.0, 0),
    ("Night Shift 5-Day", 5, 8.0, 0),
    ("Munich Design Office (B\u00fcrokalender)", 5, 7.5, 0),
]

HOLIDAYS = [
    ("2024-01-01", "New Year's Day"), ("2024-01-15", "Martin Luther King Jr. Day"),
    ("2024-05-27", "Memorial Day"), ("2024-07-04", "Independence Day"),
    ("2024-09-02", "Labor Day"), ("2024-11-28", "Thanksgiving Day"),
    ("2024-12-25", "Christmas Day"), ("2025-01-01", "New Year's Day"),
    ("2025-05-26", "Memorial Day"), ("2025-07-04", "Independence Day"),
]

DESIGN_TASKS = [
    ("Site survey and geotechnical investigation", 10, 20),
    ("Concept design", 10, 20),
    ("Schematic design", 15, 25),
    ("Design development - architectural", 15, 30),
    ("Design development - structural", 15, 30),
    ("Design development - MEP", 15, 30),
    ("60% design review", 5, 10),
    ("Value engineering workshop", 3, 5),
    ("90% design review", 5, 10),
    ("Fire strategy report", 5, 12),
    ("Building permit application", 3, 5),
    ("Building permit approval", 5, 10),
    ("Issued for construction drawings", 5, 15),
]

PROCUREMENT_ITEMS = [
    "Structural steel", "Precast concrete panels", "Switchgear", "Chillers",
    "Air handling units", "Curtain wall and fa\u00e7ade panels", "Emergency generators", "Transformers",
]

# trade, min/max duration, discipline code, procurement item that feeds it
TRADES = [
    ("Excavation and shoring", 5, 12, "CIV", None),
    ("Install underground utilities", 4, 10, "CIV", None),
    ("Formwork and rebar - foundations", 4, 8, "STR", None),
    ("Pour foundations", 1, 3, "STR", None),
    ("Backfill and compaction", 2, 5, "CIV", None),
    ("Erect structural steel", 8, 20, "STR", "Structural steel"),
    ("Install metal deck", 3, 8, "STR", None),
    ("Pour slab on deck", 2, 4, "STR", None),
    ("Install precast panels", 6, 15, "ARC", "Precast concrete panels"),
    ("Install curtain wall and fa\u00e7ade", 6, 15, "ARC", "Curtain wall and fa\u00e7ade panels"),
    ("Roofing and waterproofing", 5, 12, "ARC", None),
    ("MEP rough-in - mechanical", 8, 18, "MEP", None),
    ("MEP rough-in - electrical", 8, 18, "MEP", None),
    ("MEP rough-in - plumbing", 6, 14, "MEP", None),
    ("Fire sprinkler installation", 5, 12, "MEP", None),
    ("Install switchgear", 3, 6, "ELE", "Switchgear"),
    ("Install HVAC equipment", 4, 10, "MEP", "Air handling units"),
    ("Drywall framing", 6, 14, "ARC", None),
    ("Above-ceiling inspection", 1, 2, "QAQ", None),
    ("Drywall board and taping", 6, 12, "ARC", None),
    ("Ceiling grid and tiles", 4, 9, "ARC", None),
    ("Painting", 4, 10, "ARC", None),
    ("Flooring", 4, 10, "ARC", None),
    ("MEP trim-out", 4, 9, "MEP", None),
    ("Punch list", 3, 6, "QAQ", None),
]
CURING_TRADES = {"Pour foundations", "Pour slab on deck"}

COMMISSIONING = [
    ("Pre-functional checklists", 5, 10),
    ("Energise permanent power", 2, 4),
    ("Start-up of HVAC systems", 5, 10),
    ("Testing, adjusting and balancing", 8, 15),
    ("Fire alarm acceptance test", 2, 5),
    ("Integrated systems test", 5, 10),
    ("Owner training", 3, 6),
    ("Operations and maintenance manuals", 5, 10),
    ("Certificate of occupancy inspection", 1, 3),
    ("Final punch list close-out", 5, 12),
    ("As-built drawings", 5, 10),
]

ACTIVITY_CODES = [
    ("Phase", "DES", "Design"),
    ("Phase", "PRC", "Procurement"),
    ("Phase", "CON", "Construction"),
    ("Phase", "CMS", "Commissioning and close-out"),
    ("Phase", "MIL", "Key milestones"),
    ("Discipline", "CIV", "Civil and earthworks"),
    ("Discipline", "STR", "Structural"),
    ("Discipline", "ARC", "Architectural"),
    ("Discipline", "MEP", "Mechanical, electrical and plumbing"),
    ("Discipline", "ELE", "High-voltage electrical"),
    ("Discipline", "QAQ", "Quality assurance and inspections"),
    ("Discipline", "PMG", "Project management"),
    ("Discipline", "ENG", "Engineering and design"),
    ("Discipline", "SCM", "Supply chain"),
]

LABOR = [
    ("Site engineer", "hours", 95.0, 10.0), ("Scheduler", "hours", 110.0, 8.0),
    ("Structural engineer", "hours", 135.0, 8.0), ("Electrician crew", "hours", 88.0, 40.0),
    ("Pipefitter crew", "hours", 92.0, 40.0), ("Carpenter crew", "hours", 74.0, 48.0),
    ("Ironworker crew", "hours", 96.0, 48.0), ("Concrete crew", "hours", 70.0, 56.0),
    ("Drywall crew", "hours", 66.0, 48.0), ("Painter crew", "hours", 58.0, 32.0),
    ("Commissioning agent", "hours", 125.0, 8.0), ("Quality inspector", "hours", 90.0, 8.0),
    ("Architect", "hours", 140.0, 8.0), ("MEP engineer", "hours", 130.0, 8.0),
    ("Procurement officer", "hours", 85.0, 8.0), ("Labourer crew", "hours", 48.0, 80.0),
]
EQUIPMENT = [
    ("50 t mobile crane", "days", 2400.0, 1.0), ("Tower crane", "days", 3100.0, 1.0),
    ("Excavator 30 t", "days", 1350.0, 2.0), ("Concrete pump", "days", 1600.0, 1.0),
    ("Scissor lift", "days", 210.0, 6.0), ("Telehandler", "days", 480.0, 3.0),
    ("Compactor roller", "days", 650.0, 2.0), ("Site generator 200 kVA", "days", 390.0, 2.0),
]
MATERIALS = [
    ("Ready-mix concrete C30/37", "m3", 165.0, 240.0), ("Reinforcing steel", "t", 1180.0, 60.0),
    ("Structural steel sections", "t", 2650.0, 40.0), ("Gypsum board", "m2", 9.5, 2500.0),
    ("Copper cable", "m", 14.0, 5000.0), ("Ductwork", "kg", 11.0, 3000.0),
]

RISK_TEMPLATES = [
    ("Late delivery of {item}", "Supply Chain"),
    ("Design changes after 90% review", "Technical"),
    ("Permit approval delayed by authority", "Regulatory"),
    ("Unforeseen ground conditions", "Technical"),
    ("Winter weather stops concrete pours", "Weather"),
    ("Crane availability conflict", "Schedule"),
    ("Labour shortage for electrical crews", "Schedule"),
    ("Steel price escalation", "Cost"),
    ("Utility connection outage window not granted", "Regulatory"),
    ("Crane lift incident near public road", "Safety"),
    ("Commissioning failures on HVAC systems", "Technical"),
    ("Heavy rain flooding excavation", "Weather"),
]

NOTE_TEMPLATES = [
    ("Weather", "Concrete pour postponed: ambient temperature below 5 \u00b0C overnight."),
    ("Weather", "Heavy rain, site access closed for the afternoon."),
    ("Delay", "Delivery of {item} slipped two weeks; supplier confirmed new date."),
    ("Delay", "Inspection rescheduled by the authority, work on hold."),
    ("Issue", "RFI raised on clash between ductwork and steel beams."),
    ("Issue", "Subcontractor crew short by three workers this week."),
    ("Progress", "{who} confirmed completion of the first pour sequence."),
    ("Progress", "Progress update issued; critical path reviewed with {who}."),
    ("Change", "Owner requested additional data outlets (change order pending)."),
    ("Change", "Fa\u00e7ade colour changed after mock-up review."),
]


# --------------------------------------------------------------------------
# Schedule model
# --------------------------------------------------------------------------

class Activity:
    __slots__ = ("idx", "code", "name", "kind", "dur", "wbs", "phase", "discipline",
                 "area", "preds", "succs", "constraint", "p_es", "p_ef", "p_lf",
                 "status", "act_start", "act_finish", "remaining",
                 "es", "ef", "lf", "tf", "ff")

    def __init__(self, idx, name, kind, dur, wbs, phase, discipline, area=None):
        self.idx = idx
        self.code = None
        self.name = name
        self.kind = kind
        self.dur = dur
        self.wbs = wbs
        self.phase = phase
        self.discipline = discipline
        self.area = area
        self.preds = []      # (pred idx, type, lag)
        self.succs = []      # (succ idx, type, lag)
        self.constraint = None  # (type, day offset)
        self.p_es = self.p_ef = self.p_lf = None
        self.status = "Not Started"
        self.act_start = self.act_finish = None
        self.remaining = dur
        self.es = self.ef = self.lf = None
        self.tf = self.ff = None


def pick_link_type(rng):
    r = rng.random()
    if r < 0.85:
        return "FS"
    if r < 0.92:
        return "SS"
    if r < 0.98:
        return "FF"
    return "SF"


def pick_lag(rng, rtype, curing=False):
    if curing:
        return float(rng.choice([7, 7, 10, 14]))
    if rtype == "SS":
        return float(rng.randint(2, 10))
    if rtype in ("FF", "SF"):
        return float(rng.randint(0, 5))
    r = rng.random()
    if r < 0.70:
        return 0.0
    if r < 0.90:
        return float(rng.randint(1, 5))
    if r < 0.95:
        return float(-rng.randint(1, 3))   # a lead
    return float(rng.randint(21, 35))      # the kind of lag the rules call excessive


def link_bound(pred_es, pred_ef, rtype, lag, succ_dur):
    """Earliest start the link allows for the successor."""
    if rtype == "FS":
        return pred_ef + lag
    if rtype == "SS":
        return pred_es + lag
    if rtype == "FF":
        return pred_ef + lag - succ_dur
    return pred_es + lag - succ_dur  # SF


def late_bound(succ_ls, succ_lf, rtype, lag, pred_dur):
    """Latest finish the link allows for the predecessor."""
    if rtype == "FS":
        return succ_ls - lag
    if rtype == "SS":
        return succ_ls - lag + pred_dur
    if rtype == "FF":
        return succ_lf - lag
    return succ_lf - lag + pred_dur  # SF


def build_project_network(rng, proj_idx, code):
    """Activities and logic of one project, in an order where every link runs
    from a lower index to a higher one (so index order is a topological order)."""
    acts = []
    wbs = []  # (key, parent key, name)

    def add_wbs(key, parent, name):
        wbs.append((key, parent, name))
        return key

    root = add_wbs("root", None, None)
    w_mil = add_wbs("mil", root, "Key Milestones")
    w_des = add_wbs("des", root, "Design")
    w_prc = add_wbs("prc", root, "Procurement")
    w_con = add_wbs("con", root, "Construction")
    w_cms = add_wbs("cms", root, "Commissioning and Close-out")

    def new(name, kind, dur, w, phase, disc, area=None):
        a = Activity(len(acts), name, kind, float(dur), w, phase, disc, area)
        acts.append(a)
        return a

    def link(p, s, rtype=None, lag=None, curing=False):
        assert p.idx < s.idx
        if rtype is None:
            rtype = pick_link_type(rng)
        if lag is None:
            lag = pick_lag(rng, rtype, curing)
        p.succs.append((s.idx, rtype, lag))
        s.preds.append((p.idx, rtype, lag))

    ntp = new("Notice to proceed", "Start Milestone", 0, w_mil, "MIL", "PMG")

    # Design: a chain with the three discipline packages running in parallel.
    design = []
    for name, lo, hi in DESIGN_TASKS:
        if name == "Fire strategy report" and rng.random() < 0.3:
            continue
        design.append(new(name, "Task", rng.randint(lo, hi), w_des, "DES", "ENG"))
    by_name = {a.name: a for a in design}
    link(ntp, design[0], "FS", 0.0)
    prev = design[0]
    for a in design[1:]:
        if a.name.startswith("Design development") and prev.name.startswith("Design development"):
            link(by_name["Schematic design"], a, "FS", float(rng.choice([0, 0, 2])))
            link(prev, a, "SS", float(rng.randint(3, 8)))
        elif a.name == "Building permit approval":
            # the authority's review period is modelled as a lag, not as work
            link(prev, a, "FS", float(rng.randint(45, 60)))
        else:
            link(prev, a, "FS" if rng.random() < 0.85 else "SS",
                 None if rng.random() < 0.5 else 0.0)
        prev = a
    design_done = new("Design complete", "Finish Milestone", 0, w_mil, "MIL", "PMG")
    link(by_name["Issued for construction drawings"], design_done, "FS", 0.0)

    # Procurement: RFQ -> award -> fabricate and deliver per long-lead item.
    items = rng.sample(PROCUREMENT_ITEMS, rng.randint(5, 7))
    items.sort(key=PROCUREMENT_ITEMS.index)
    deliveries = {}
    for item in items:
        rfq = new("Issue RFQ - " + item, "Task", rng.randint(10, 15), w_prc, "PRC", "SCM")
        award = new("Award purchase order - " + item, "Task", rng.randint(5, 10), w_prc, "PRC", "SCM")
        fab = new("Fabricate and deliver - " + item, "Task", rng.randint(20, 55), w_prc, "PRC", "SCM")
        link(by_name["Design development - structural" if "steel" in item.lower() or "precast" in item.lower()
                     else "Design development - MEP"], rfq, "FS", 0.0)
        link(rfq, award, "FS", float(rng.randint(0, 5)))
        # shop drawing review sits in the lag; sometimes it is far too long
        link(award, fab, "FS", float(rng.choice([5, 10, 14, 21, 30, 48])))
        deliveries[item] = fab

    const_start = new("Construction start", "Start Milestone", 0, w_mil, "MIL", "PMG")
    link(design_done, const_start, "FS", 0.0)
    link(by_name["Building permit approval"], const_start, "FS", 0.0)

    # Construction: the same trade sequence in every zone, crews flowing zone to zone.
    n_areas = rng.randint(5, 7)
    areas = ["Zone " + "ABCDEFG"[i] for i in range(n_areas)]
    area_wbs = [add_wbs("con%d" % i, w_con, "Construction - " + areas[i]) for i in range(n_areas)]
    handovers = []
    grid = []
    for ai, area in enumerate(areas):
        row = {}
        prev = None
        for trade, lo, hi, disc, item in TRADES:
            if item is not None and item not in deliveries:
                continue
            a = new("%s - %s" % (trade, area), "Task", rng.randint(lo, hi), area_wbs[ai], "CON", disc, area)
            if prev is None:
                link(const_start, a, "FS", 0.0 if ai == 0 else float(rng.randint(0, 10)))
            else:
                link(prev, a, curing=prev.name.split(" - ")[0] in CURING_TRADES)
            if item is not None and ai == 0:
                link(deliveries[item], a, "FS", float(rng.randint(0, 5)))
            above = grid[ai - 1].get(trade) if ai > 0 else None
            if above is not None and rng.random() < 0.6:
                link(above, a, "FS" if rng.random() < 0.7 else "SS")
            row[trade] = a
            prev = a
        h = new("Area handover - " + area, "Finish Milestone", 0, w_mil, "MIL", "PMG", area)
        link(prev, h, "FS", 0.0)
        handovers.append(h)
        grid.append(row)

    subst = new("Substantial completion", "Finish Milestone", 0, w_mil, "MIL", "PMG")
    for h in handovers:
        link(h, subst, "FS", 0.0)

    # Commissioning: starts once equipment is in, closes out after substantial completion.
    cms = [new(name, "Task", rng.randint(lo, hi), w_cms, "CMS", "QAQ") for name, lo, hi in COMMISSIONING]
    for row in grid:
        if "Install HVAC equipment" in row:
            link(row["Install HVAC equipment"], cms[0], "FS", 0.0)
        elif "Install switchgear" in row:
            link(row["Install switchgear"], cms[0], "FS", 0.0)
    if not cms[0].preds:
        link(handovers[0], cms[0], "FS", 0.0)
    for p, s in zip(cms, cms[1:]):
        if s.name == "Certificate of occupancy inspection":
            link(subst, s, "FS", 0.0)
        link(p, s, "FS" if rng.random() < 0.8 else "SS")
    # long-lead equipment without an installation trade feeds commissioning directly
    for item, target in (("Chillers", 2), ("Emergency generators", 1), ("Transformers", 1)):
        if item in deliveries:
            link(deliveries[item], cms[target], "FS", float(rng.randint(0, 10)))
    final = new("Final completion", "Finish Milestone", 0, w_mil, "MIL", "PMG")
    link(cms[-1], final, "FS", 0.0)
    link(subst, final, "FS", float(rng.randint(20, 30)))

    for i, a in enumerate(acts):
        a.code = "%s-A%04d" % (code, 1000 + 10 * i)
    return acts, wbs, areas


def forward_pass(acts, data_day, use_progress):
    for a in acts:
        if use_progress and a.status == "Completed":
            a.es, a.ef = a.act_start, a.act_finish
            continue
        if use_progress and a.status == "In Progress":
            a.es, a.ef = a.act_start, data_day + a.remaining
            continue
        start = data_day if use_progress else 0.0
        for p, rtype, lag in a.preds:
            pa = acts[p]
            start = max(start, link_bound(pa.es, pa.ef, rtype, lag, a.dur))
        if a.constraint and a.constraint[0] == "Start On or After":
            start = max(start, a.constraint[1])
        a.es, a.ef = start, start + a.dur


def backward_pass(acts, deadline, use_progress):
    lf = {}
    for a in reversed(acts):
        if use_progress and a.status == "Completed":
            continue
        late = deadline
        for s, rtype, lag in a.succs:
            sa = acts[s]
            if use_progress and sa.status == "Completed":
                continue
            sdur = sa.remaining if (use_progress and sa.status == "In Progress") else sa.dur
            s_lf = lf[s]
            late = min(late, late_bound(s_lf - sdur, s_lf, rtype, lag,
                                        a.remaining if (use_progress and a.status == "In Progress") else a.dur))
        if a.constraint and a.constraint[0] == "Finish On or Before":
            late = min(late, a.constraint[1])
        lf[a.idx] = late
    return lf


def free_float(acts, a, project_finish):
    slack = None
    for s, rtype, lag in a.succs:
        sa = acts[s]
        if sa.status == "Completed":
            continue
        bound = link_bound(a.es, a.ef, rtype, lag, sa.ef - sa.es)
        gap = sa.es - bound
        slack = gap if slack is None else min(slack, gap)
    if slack is None:
        slack = project_finish - a.ef
    return min(max(0.0, slack), max(0.0, a.tf))


# --------------------------------------------------------------------------
# Data generation
# --------------------------------------------------------------------------

def iso(start, offset):
    return (start + dt.timedelta(days=int(offset))).isoformat()


def generate(rng):
    rows = {name: [] for name, _ in SCHEMA}

    for cid, (name, days, hours, default) in enumerate(CALENDARS, 1):
        rows["calendars"].append([cid, name, days, hours, 0, default])
    for cid in (1, 2, 4, 5):
        for d, name in HOLIDAYS:
            if cid == 5 and name.startswith("Martin"):
                continue
            rows["calendar_exceptions"].append([None, cid, d, "Holiday", name])
    for d, name in (("2024-12-23", "Winter site shutdown"), ("2024-12-24", "Winter site shutdown"),
                    ("2024-12-26", "Winter site shutdown"), ("2024-12-27", "Winter site shutdown")):
        rows["calendar_exceptions"].append([None, 2, d, "Shutdown", name])
    for d in ("2024-03-16", "2024-06-15", "2024-08-17"):
        rows["calendar_exceptions"].append([None, 1, d, "Extended Hours", "Saturday catch-up shift"])
    rows["calendar_exceptions"].append([None, 5, "2024-10-03", "Holiday", "Tag der Deutschen Einheit"])
    for i, r in enumerate(rows["calendar_exceptions"], 1):
        r[0] = i
    for r in rows["calendars"]:
        r[4] = sum(1 for e in rows["calendar_exceptions"] if e[1] == r[0] and e[3] != "Extended Hours")

    code_ids = {(t, v): i for i, (t, v, _) in enumerate(ACTIVITY_CODES, 1)}
    for i, (t, v, d) in enumerate(ACTIVITY_CODES, 1):
        rows["activity_codes"].append([i, t, v, d])

    # resources
    res_defs = []
    for i, (role, uom, cost, maxu) in enumerate(LABOR):
        if role.endswith("crew"):
            name = role.replace(" crew", " crew %d" % (1 + i % 2))
        else:
            name = "%s (%s)" % (PEOPLE[i % len(PEOPLE)], role)
        res_defs.append(("LAB", name, "Labor", role, uom, cost, maxu, 1 if i % 3 else 2))
    for name, uom, cost, maxu in EQUIPMENT:
        res_defs.append(("EQP", name, "Equipment", None, uom, cost, maxu, 3))
    for name, uom, cost, maxu in MATERIALS:
        res_defs.append(("MAT", name, "Material", None, uom, cost, maxu, 3))
    for rid, (prefix, name, rtype, role, uom, cost, maxu, cal) in enumerate(res_defs, 1):
        rows["resources"].append([rid, "%s-%03d" % (prefix, rid), name, rtype, role, uom, cost, maxu, cal])
    labor_ids = {tdef[3]: rid for rid, tdef in enumerate(res_defs, 1) if tdef[2] == "Labor"}
    equip_ids = [rid for rid, tdef in enumerate(res_defs, 1) if tdef[2] == "Equipment"]
    mat_ids = [rid for rid, tdef in enumerate(res_defs, 1) if tdef[2] == "Material"]
    res_cost = {rid: tdef[5] for rid, tdef in enumerate(res_defs, 1)}
    res_uom = {rid: tdef[4] for rid, tdef in enumerate(res_defs, 1)}
    discipline_labor = {
        "CIV": ["Labourer crew", "Site engineer"], "STR": ["Concrete crew", "Ironworker crew", "Structural engineer"],
        "ARC": ["Carpenter crew", "Drywall crew", "Painter crew"], "MEP": ["Pipefitter crew", "Electrician crew", "MEP engineer"],
        "ELE": ["Electrician crew"], "QAQ": ["Quality inspector", "Commissioning agent"],
        "ENG": ["Architect", "Structural engineer", "MEP engineer"], "SCM": ["Procurement officer"],
        "PMG": ["Scheduler"],
    }

    next_id = {name: 1 for name, _ in SCHEMA}

    def take(table):
        v = next_id[table]
        next_id[table] += 1
        return v

    all_acts = []  # (project_id, Activity, activity_id)
    for pid, (code, pname, status, start_s, slack, progress, cal) in enumerate(PROJECTS, 1):
        start = dt.date.fromisoformat(start_s)
        acts, wbs, areas = build_project_network(rng, pid, code)

        # plan (the baseline) from the project start without progress
        forward_pass(acts, 0.0, False)
        plan_finish = max(a.ef for a in acts)
        deadline = plan_finish + slack
        plan_lf = backward_pass(acts, deadline, False)
        for a in acts:
            a.p_es, a.p_ef, a.p_lf = a.es, a.ef, plan_lf[a.idx]

        # a few contractual dates inside the network
        mil = [a for a in acts if a.kind == "Finish Milestone" and a.name.startswith("Area handover")]
        for a in rng.sample(mil, 2):
            a.constraint = ("Finish On or Before", a.p_lf + rng.randint(-4, 12))
        tasks = [a for a in acts if a.kind == "Task" and a.phase == "CON"]
        for a in rng.sample(tasks, 2):
            a.constraint = ("Start On or After", a.p_es + rng.randint(0, 10))

        # progress up to the data date, with some slippage
        data_day = float(int(plan_finish * progress))
        data_date = start + dt.timedelta(days=int(data_day))
        if data_date > DATA_DATE_CAP:
            data_day = float((DATA_DATE_CAP - start).days)
        for a in acts:
            if progress == 0.0:
                break
            if a.p_ef <= data_day and (a.dur > 0 or a.p_es < data_day):
                s = a.p_es + rng.choice([0, 0, 0, 1, 2, 3])
                f = s + a.dur + rng.choice([-1, 0, 0, 0, 1, 2, 4])
                s = min(s, data_day)
                f = max(s, min(f, data_day))
                if a.dur == 0:
                    f = s
                a.status, a.act_start, a.act_finish, a.remaining = "Completed", s, f, 0.0
            elif a.p_es < data_day < a.p_ef and a.dur > 0:
                s = min(data_day - 1, a.p_es + rng.choice([0, 0, 1, 2]))
                elapsed = data_day - s
                rem = max(1.0, a.dur - elapsed + (rng.randint(1, 8) if rng.random() < 0.35 else 0))
                a.status, a.act_start, a.remaining = "In Progress", s, rem
        # a started activity's predecessors must have started too; walking
        # backwards lets the fix-up reach predecessors of predecessors
        for a in reversed(acts):
            for p, _, _ in a.preds:
                pa = acts[p]
                if a.status != "Not Started" and pa.status == "Not Started":
                    pa.act_start = min(a.act_start, data_day - 1)
                    if pa.dur == 0:
                        pa.status, pa.act_finish, pa.remaining = "Completed", pa.act_start, 0.0
                    else:
                        pa.status = "In Progress"
                        pa.remaining = max(1.0, pa.dur - (data_day - pa.act_start))

        forward_pass(acts, data_day, True)
        lf = backward_pass(acts, deadline, True)
        open_acts = [a for a in acts if a.status != "Completed"]
        project_finish = max(a.ef for a in acts)
        for a in open_acts:
            a.lf = lf[a.idx]
            a.tf = a.lf - a.ef
        for a in open_acts:
            a.ff = free_float(acts, a, project_finish)

        # ids; parents precede their children in the wbs list
        wbs_ids = {key: take("wbs") for key, _, _ in wbs}
        wbs_codes = {}
        for key, parent, wname in wbs:
            seq = [k for k, p, _ in wbs if p == parent].index(key) + 1
            if parent is None:
                level, wcode, wname = 1, code, pname
            else:
                level = 2 if parent == "root" else 3
                wcode = "%s.%d" % (wbs_codes[parent], seq)
            wbs_codes[key] = wcode
            rows["wbs"].append([wbs_ids[key], pid, wbs_ids.get(parent), wcode, wname, level, seq])

        act_ids = {}
        for a in acts:
            act_ids[a.idx] = take("activities")
        for a in acts:
            aid = act_ids[a.idx]
            percent = 0.0
            if a.status == "Completed":
                percent = 100.0
            elif a.status == "In Progress":
                done = data_day - a.act_start
                percent = round(100.0 * done / (done + a.remaining), 1) if a.dur > 0 else 0.0
            rows["activities"].append([
                aid, pid, wbs_ids[a.wbs], a.code, a.name, a.kind, a.status,
                a.dur, a.remaining, percent,
                iso(start, a.es), iso(start, a.ef),
                iso(start, a.lf - (a.remaining if a.status == "In Progress" else a.dur)) if a.lf is not None else None,
                iso(start, a.lf) if a.lf is not None else None,
                iso(start, a.act_start) if a.act_start is not None else None,
                iso(start, a.act_finish) if a.act_finish is not None else None,
                a.tf, a.ff,
                int(a.tf is not None and a.tf <= 0),
                a.constraint[0] if a.constraint else None,
                iso(start, a.constraint[1]) if a.constraint else None,
            ])
            all_acts.append((pid, a, aid))
            rows["activity_code_assignments"].append([None, aid, code_ids[("Phase", a.phase)]])
            rows["activity_code_assignments"].append([None, aid, code_ids[("Discipline", a.discipline)]])
        for a in acts:
            for s, rtype, lag in a.succs:
                sa = acts[s]
                driving = 0
                if sa.status == "Not Started":
                    bound = link_bound(a.es, a.ef, rtype, lag, sa.ef - sa.es)
                    driving = int(abs(sa.es - bound) < 1e-9)
                rows["activity_relationships"].append(
                    [take("activity_relationships"), pid, act_ids[a.idx], act_ids[s], rtype, lag, driving])

        # project row
        open_tf = [a.tf for a in open_acts]
        budget = 0.0
        proj_assign_start = len(rows["resource_assignments"])
        for a in acts:
            if a.dur == 0:
                continue
            roles = discipline_labor[a.discipline]
            chosen = [roles[0]] + ([rng.choice(roles[1:])] if len(roles) > 1 and rng.random() < 0.35 else [])
            picks = [(labor_ids[r], None) for r in chosen]
            if a.phase == "CON" and rng.random() < 0.25:
                picks.append((rng.choice(equip_ids), None))
            if a.phase == "CON" and a.discipline in ("STR", "ARC", "MEP") and rng.random() < 0.15:
                picks.append((rng.choice(mat_ids), None))
            for rid, _ in picks:
                uom = res_uom[rid]
                if uom == "hours":
                    per_day = 8.0 * (rng.choice([1, 1, 2, 3, 4]) if "crew" in res_defs[rid - 1][1] else 1)
                    units = per_day * a.dur
                elif uom == "days":
                    units = float(max(1, int(a.dur * rng.choice([0.5, 0.75, 1.0]))))
                else:
                    units = float(rng.randint(5, 60) * rng.choice([1, 5, 10]))
                budgeted_cost = round(units * res_cost[rid], 2)
                if a.status == "Completed":
                    actual = round(units * rng.uniform(0.9, 1.25), 1)
                    remaining = 0.0
                elif a.status == "In Progress":
                    frac = (data_day - a.act_start) / max(1.0, a.dur)
                    actual = round(units * min(1.0, frac) * rng.uniform(0.9, 1.2), 1)
                    remaining = round(max(0.0, units * a.remaining / max(1.0, a.dur)), 1)
                else:
                    actual, remaining = 0.0, units
                actual_cost = round(actual * res_cost[rid], 2)
                budget += budgeted_cost
                rows["resource_assignments"].append([
                    take("resource_assignments"), act_ids[a.idx], rid, units, actual, remaining,
                    budgeted_cost, actual_cost, iso(start, a.p_es), iso(start, a.p_ef)])
        budget_amount = round(budget * 1.12, -3)
        rows["projects"].append([
            pid, code, pname, PEOPLE[(pid * 5) % len(PEOPLE)], status, start_s,
            iso(start, deadline), iso(start, project_finish), iso(start, data_day), budget_amount,
            min(open_tf) if open_tf else None, cal])

        # baselines: every project has its original baseline; two were re-baselined
        orig_id = take("baselines")
        rebaselined = code in ("NDC", "LRT")
        what_if = code in ("RMC", "ESS")
        rows["baselines"].append([orig_id, pid, "Original Baseline", "Original",
                                  iso(start, -7), 0 if rebaselined else 1])
        costs = {}
        for r in rows["resource_assignments"][proj_assign_start:]:
            costs[r[1]] = costs.get(r[1], 0.0) + r[6]
        for a in acts:
            rows["baseline_activities"].append([
                take("baseline_activities"), orig_id, act_ids[a.idx], iso(start, a.p_es), iso(start, a.p_ef),
                a.dur, a.p_lf - a.p_ef, round(costs.get(act_ids[a.idx], 0.0), 2)])
        if rebaselined:
            rb_day = int(data_day * 0.6)
            cur_id = take("baselines")
            rows["baselines"].append([cur_id, pid, "Re-baseline after design change", "Current",
                                      iso(start, rb_day), 1])
            shift = rng.randint(10, 25)
            for a in acts:
                moved = a.p_es >= rb_day
                rows["baseline_activities"].append([
                    take("baseline_activities"), cur_id, act_ids[a.idx],
                    iso(start, a.p_es + (shift if moved else 0)), iso(start, a.p_ef + (shift if moved else 0)),
                    a.dur, a.p_lf - a.p_ef + (0 if moved else shift), round(costs.get(act_ids[a.idx], 0.0) * 1.04, 2)])
        if what_if:
            rows["baselines"].append([take("baselines"), pid, "What-if: double shift in Zone A", "What-if",
                                      iso(start, int(data_day)), 0])

        # risks
        for _ in range(rng.randint(8, 13)):
            title, cat = rng.choice(RISK_TEMPLATES)
            target = None
            if "{item}" in title:
                item = rng.choice(PROCUREMENT_ITEMS)
                title = title.format(item=item.lower())
                fabs = [a for a in acts if a.name == "Fabricate and deliver - " + item]
                target = fabs[0] if fabs else None
            if target is None and rng.random() < 0.7:
                target = rng.choice([a for a in acts if a.kind == "Task"])
            prob_rating = rng.randint(1, 5)
            impact_rating = rng.randint(1, 5)
            probability = round(min(0.95, prob_rating * 0.18 + rng.uniform(-0.05, 0.05)), 2)
            impact_days = impact_rating * rng.randint(3, 9)
            status_r = rng.choice(["Open", "Open", "Open", "Mitigating", "Closed", "Occurred"])
            score = prob_rating * impact_rating
            response = None
            if score >= 15 or rng.random() < 0.6:
                response = rng.choice(["Avoid", "Mitigate", "Mitigate", "Transfer", "Accept"])
            ident = start + dt.timedelta(days=rng.randint(0, max(1, int(data_day))))
            rows["risks"].append([
                take("risks"), pid, act_ids[target.idx] if target else None, title, cat, probability,
                impact_days, float(rng.randint(2, 60) * 5000), score, status_r, response,
                rng.choice(PEOPLE), ident.isoformat()])

        # notes
        if data_day > 0:
            for _ in range(rng.randint(6, 11)):
                ntype, text = rng.choice(NOTE_TEMPLATES)
                text = text.format(item=rng.choice(PROCUREMENT_ITEMS).lower(), who=rng.choice(PEOPLE))
                started = [a for a in acts if a.status != "Not Started" and a.kind == "Task"]
                target = rng.choice(started) if started and rng.random() < 0.7 else None
                day = rng.randint(0, int(data_day))
                rows["project_notes"].append([
                    take("project_notes"), pid, act_ids[target.idx] if target else None,
                    iso(start, day), rng.choice(PEOPLE), ntype, text])

    for i, r in enumerate(rows["activity_code_assignments"], 1):
        r[0] = i
    return rows


# --------------------------------------------------------------------------
# Database
# --------------------------------------------------------------------------

def create_database(path, rows):
    tmp = path + ".tmp"
    if os.path.exists(tmp):
        os.remove(tmp)
    conn = sqlite3.connect(tmp)
    try:
        cur = conn.cursor()
        for table, tdef in SCHEMA:
            defs = []
            for i, (name, sql_type, _, indexed, extras) in enumerate(tdef["columns"]):
                d = "%s %s" % (name, sql_type)
                if i == 0:
                    d += " PRIMARY KEY"
                elif "references" in extras:
                    d += " REFERENCES " + extras["references"]
                defs.append(d)
            cur.execute("CREATE TABLE %s (\n    %s\n)" % (table, ",\n    ".join(defs)))
            for i, (name, _, _, indexed, _) in enumerate(tdef["columns"]):
                if indexed and i > 0:
                    cur.execute("CREATE INDEX idx_%s_%s ON %s (%s)" % (table, name, table, name))
            width = len(tdef["columns"])
            for r in rows[table]:
                assert len(r) == width, (table, r)
            cur.executemany("INSERT INTO %s VALUES (%s)" % (table, ", ".join("?" * width)), rows[table])
        conn.commit()
        cur.execute("VACUUM")
    finally:
        conn.close()
    os.replace(tmp, path)


def column_statistics(conn, table, column, sql_type):
    q = ("SELECT MIN({c}), MAX({c}), COUNT(DISTINCT {c}), SUM({c} IS NULL) FROM {t}"
         .format(c=column, t=table))
    mn, mx, distinct, nulls = conn.execute(q).fetchone()
    stats = {"min": mn, "max": mx, "distinct_count": distinct, "null_count": nulls}
    if sql_type == "REAL":
        avg = conn.execute("SELECT AVG({c}) FROM {t}".format(c=column, t=table)).fetchone()[0]
        stats["avg"] = None if avg is None else round(avg, 2)
    elif sql_type == "TEXT" and distinct <= 10 and not column.endswith("_date"):
        stats["values"] = [v for (v,) in conn.execute(
            "SELECT DISTINCT {c} FROM {t} WHERE {c} IS NOT NULL ORDER BY {c}".format(c=column, t=table))]
    return stats


# --------------------------------------------------------------------------
# Metadata document
# --------------------------------------------------------------------------

RELATIONSHIPS = [
    ("projects", "calendars", "projects.calendar_id = calendars.calendar_id", "Default work calendar of the project"),
    ("calendar_exceptions", "calendars", "calendar_exceptions.calendar_id = calendars.calendar_id", "Holidays and shutdowns of a calendar"),
    ("wbs", "projects", "wbs.project_id = projects.project_id", "WBS elements of a project"),
    ("wbs", "wbs", "wbs.parent_wbs_id = wbs.wbs_id", "Parent element in the WBS hierarchy"),
    ("activities", "projects", "activities.project_id = projects.project_id", "Activities scheduled in a project"),
    ("activities", "wbs", "activities.wbs_id = wbs.wbs_id", "WBS element grouping the activity"),
    ("activity_relationships", "activities", "activity_relationships.predecessor_activity_id = activities.activity_id", "Predecessor side of a logic link"),
    ("activity_relationships", "projects", "activity_relationships.project_id = projects.project_id", "Project of the logic link"),
    ("resource_assignments", "activities", "resource_assignments.activity_id = activities.activity_id", "Activity a resource is assigned to"),
    ("resource_assignments", "resources", "resource_assignments.resource_id = resources.resource_id", "Resource used by an assignment"),
    ("resources", "calendars", "resources.calendar_id = calendars.calendar_id", "Calendar a resource works on"),
    ("risks", "projects", "risks.project_id = projects.project_id", "Risks registered against a project"),
    ("risks", "activities", "risks.activity_id = activities.activity_id", "Activity exposed to a risk"),
    ("baselines", "projects", "baselines.project_id = projects.project_id", "Baselines saved for a project"),
    ("baseline_activities", "baselines", "baseline_activities.baseline_id = baselines.baseline_id", "Rows of a saved baseline"),
    ("baseline_activities", "activities", "baseline_activities.activity_id = activities.activity_id", "Current activity matching a baseline row"),
    ("activity_code_assignments", "activities", "activity_code_assignments.activity_id = activities.activity_id", "Codes assigned to an activity"),
    ("activity_code_assignments", "activity_codes", "activity_code_assignments.activity_code_id = activity_codes.activity_code_id", "Code value of an assignment"),
    ("project_notes", "projects", "project_notes.project_id = projects.project_id", "Notes written about a project"),
    ("project_notes", "activities", "project_notes.activity_id = activities.activity_id", "Activity a note refers to"),
]

BUSINESS_CONCEPTS = {
    "critical_path": "The longest chain of logically linked activities that determines the earliest project finish; activities on it have total float of 0 days or less",
    "total_float": "How many days an activity can slip without delaying the project's target finish date (late finish minus early finish)",
    "free_float": "How many days an activity can slip without delaying the early start of any successor",
    "negative_float": "Total float below zero: the schedule cannot meet the target finish date or a finish constraint without recovery",
    "lag": "Waiting time in days added to a relationship between a predecessor and a successor, such as concrete curing",
    "lead": "A negative lag: the successor may start before the predecessor's relationship point is reached",
    "relationship_type": "The kind of logic link: finish-to-start (FS), start-to-start (SS), finish-to-finish (FF) or start-to-finish (SF)",
    "driving_relationship": "A relationship that determines the successor's early start; it has zero relationship free float",
    "schedule_logic": "The network of predecessor and successor relationships that orders the activities",
    "milestone": "A zero-duration activity marking a key event such as notice to proceed or substantial completion",
    "percent_complete": "The share of an activity's duration that has been performed at the data date",
    "data_date": "The status date of the schedule; work before it is actual, work after it is forecast",
    "schedule_constraint": "A date imposed on an activity (start on or after, finish on or before) that overrides logic",
    "wbs_hierarchy": "The tree of work breakdown structure elements from the project root down to work packages",
    "baseline_variance": "The difference between current dates and the dates saved in the active baseline; positive finish variance means a slip",
    "resource_loading": "The units of resources assigned to activities over time compared with resource availability",
    "cost_variance": "Budgeted cost minus actual cost of the work; a negative value means an overrun",
    "risk_exposure": "Probability of a risk multiplied by its impact in days or dollars",
    "schedule_compression": "Shortening the critical path by crashing (adding resources) or fast-tracking (overlapping activities)",
}

KEYWORDS = {
    "float": ["activities.total_float_days", "activities.free_float_days", "total_float", "free_float", "projects.total_float_days"],
    "negative float": ["activities.total_float_days", "projects.total_float_days", "negative_float", "projects"],
    "critical path": ["activities.is_critical", "activities.total_float_days", "critical_path", "activity_relationships"],
    "critical": ["activities.is_critical", "critical_path"],
    "lag": ["activity_relationships.lag_days", "lag", "lead"],
    "predecessor": ["activity_relationships.predecessor_activity_id", "activity_relationships", "schedule_logic"],
    "successor": ["activity_relationships.successor_activity_id", "activity_relationships", "schedule_logic"],
    "relationship": ["activity_relationships", "activity_relationships.relationship_type", "relationship_type"],
    "driving": ["activity_relationships.is_driving", "driving_relationship"],
    "late": ["activities.late_finish_date", "activities.total_float_days", "baseline_variance"],
    "delay": ["project_notes", "activities.total_float_days", "baseline_variance", "risks.impact_days"],
    "milestone": ["activities.activity_type", "milestone"],
    "progress": ["activities.percent_complete", "activities.status", "projects.data_date", "percent_complete"],
    "duration": ["activities.original_duration_days", "activities.remaining_duration_days"],
    "constraint": ["activities.constraint_type", "activities.constraint_date", "schedule_constraint"],
    "wbs": ["wbs", "activities.wbs_id", "wbs_hierarchy"],
    "baseline": ["baselines", "baseline_activities", "baseline_variance"],
    "variance": ["baseline_activities.baseline_finish_date", "baseline_variance", "cost_variance"],
    "resource": ["resources", "resource_assignments", "resource_loading"],
    "overallocation": ["resources.max_units_per_day", "resource_assignments.budgeted_units", "resource_loading"],
    "cost": ["resource_assignments.budgeted_cost", "resource_assignments.actual_cost", "projects.budget_amount", "cost_variance"],
    "budget": ["projects.budget_amount", "resource_assignments.budgeted_cost"],
    "risk": ["risks", "risks.risk_score", "risk_exposure"],
    "calendar": ["calendars", "calendar_exceptions", "activities"],
    "holiday": ["calendar_exceptions.exception_date", "calendar_exceptions"],
    "crashing": ["schedule_compression", "resource_assignments"],
    "note": ["project_notes", "project_notes.note_text"],
    "code": ["activity_codes", "activity_code_assignments", "activities.activity_code"],
}

TERMINOLOGY = {
    "float": "Schedule flexibility in days; without qualification it means total float",
    "total float": "Late finish minus early finish of an activity; zero or less puts the activity on the critical path",
    "free float": "Days an activity can slip without delaying any successor's early start",
    "lag": "A delay in days between a predecessor and its successor on a relationship",
    "lead": "A negative lag that lets a successor overlap its predecessor",
    "critical path": "The chain of activities with the least total float that drives the project finish date",
    "baseline": "A saved copy of the schedule against which progress and variance are measured",
    "WBS": "Work breakdown structure: the hierarchical decomposition of the project scope",
    "milestone": "A zero-duration activity marking a significant event",
    "data date": "The date up to which progress has been recorded; remaining work is scheduled after it",
    "duration": "Working time needed to perform an activity, in days",
    "predecessor": "An activity that must start or finish before its successor can start or finish",
    "successor": "An activity that depends on a predecessor through a relationship",
    "FS": "Finish-to-start: the successor starts after the predecessor finishes (plus lag)",
    "SS": "Start-to-start: the successor starts after the predecessor starts (plus lag)",
    "FF": "Finish-to-finish: the successor finishes after the predecessor finishes (plus lag)",
    "SF": "Start-to-finish: the successor finishes after the predecessor starts (plus lag)",
    "constraint": "An imposed date that restricts when an activity may start or finish",
    "calendar": "The working days and hours on which activities and resources are scheduled",
    "risk score": "Probability rating times impact rating, from 1 to 25",
    "percent complete": "Share of the activity's duration performed at the data date",
    "cost": "Money budgeted or spent on resources assigned to activities",
}


def query_examples():
    return [
        {
            "query": "SELECT p.project_id, p.project_code, p.project_name, p.status, p.target_finish_date, p.forecast_finish_date, "
                     "MIN(a.total_float_days) AS worst_float_days, COUNT(a.activity_id) AS negative_float_activities "
                     "FROM projects p JOIN activities a ON a.project_id = p.project_id "
                     "WHERE a.total_float_days < 0 "
                     "GROUP BY p.project_id, p.project_code, p.project_name, p.status, p.target_finish_date, p.forecast_finish_date "
                     "ORDER BY worst_float_days;",
            "description": "Show all projects with negative float: projects having activities whose total float is below zero, with the worst float and the number of negative float activities",
            "complexity": "medium",
        },
        {
            "query": "SELECT r.relationship_id, pa.activity_code AS predecessor_code, pa.activity_name AS predecessor, "
                     "sa.activity_code AS successor_code, sa.activity_name AS successor, r.relationship_type, r.lag_days "
                     "FROM activity_relationships r "
                     "JOIN activities pa ON pa.activity_id = r.predecessor_activity_id "
                     "JOIN activities sa ON sa.activity_id = r.successor_activity_id "
                     "WHERE r.lag_days > 44 ORDER BY r.lag_days DESC;",
            "description": "List relationships with lag greater than 44 days, with predecessor and successor activities",
            "complexity": "medium",
        },
        {
            "query": "SELECT a.activity_code, a.activity_name, a.early_start_date, a.early_finish_date, a.total_float_days "
                     "FROM activities a JOIN projects p ON p.project_id = a.project_id "
                     "WHERE a.is_critical = 1 AND p.project_code = 'RMC' "
                     "ORDER BY a.early_start_date;",
            "description": "Activities on the critical path of one project, in early start order",
            "complexity": "simple",
        },
        {
            "query": "SELECT r.project_id, pa.activity_name AS predecessor, sa.activity_name AS successor, r.relationship_type, r.lag_days "
                     "FROM activity_relationships r "
                     "JOIN activities pa ON pa.activity_id = r.predecessor_activity_id "
                     "JOIN activities sa ON sa.activity_id = r.successor_activity_id "
                     "WHERE r.lag_days > 20 ORDER BY r.lag_days DESC LIMIT 10;",
            "description": "Find activities with excessive lag: relationships whose lag exceeds 20 days",
            "complexity": "medium",
        },
        {
            "query": "SELECT activity_code, activity_name, early_start_date, early_finish_date, status "
                     "FROM activities "
                     "WHERE early_start_date BETWEEN '2024-11-01' AND '2024-11-30' "
                     "ORDER BY early_start_date;",
            "description": "Activities scheduled to start in a given month (early start between two dates)",
        },
        {
            "query": "SELECT a.activity_code, a.activity_name, a.late_finish_date, a.percent_complete, a.total_float_days "
                     "FROM activities a "
                     "WHERE a.status <> 'Completed' AND a.late_finish_date < '2025-01-31' "
                     "ORDER BY a.late_finish_date LIMIT 10;",
            "description": "Open activities whose late finish date falls before a cut-off date, most urgent first",
            "complexity": "simple",
        },
        {
            "query": "SELECT res.resource_name, res.resource_type, SUM(ra.budgeted_cost) AS budgeted_cost, SUM(ra.actual_cost) AS actual_cost "
                     "FROM resource_assignments ra JOIN resources res ON res.resource_id = ra.resource_id "
                     "GROUP BY res.resource_id, res.resource_name, res.resource_type "
                     "HAVING SUM(ra.actual_cost) > 0 ORDER BY actual_cost DESC;",
            "description": "Budgeted versus actual cost per resource across all assignments",
            "complexity": "medium",
        },
        {
            "query": "SELECT rk.risk_title, rk.risk_category, rk.probability, rk.impact_days, rk.risk_score, p.project_code "
                     "FROM risks rk JOIN projects p ON p.project_id = rk.project_id "
                     "WHERE rk.status IN ('Open', 'Mitigating') ORDER BY rk.risk_score DESC LIMIT 10;",
            "description": "Top open risks by risk score with their probability and schedule impact",
            "complexity": "simple",
        },
        {
            "query": "SELECT a.activity_code, a.activity_name, ba.baseline_finish_date, a.early_finish_date, "
                     "CAST(julianday(a.early_finish_date) - julianday(ba.baseline_finish_date) AS INTEGER) AS finish_variance_days "
                     "FROM activities a "
                     "JOIN baseline_activities ba ON ba.activity_id = a.activity_id "
                     "JOIN baselines b ON b.baseline_id = ba.baseline_id AND b.is_active = 1 "
                     "WHERE julianday(a.early_finish_date) > julianday(ba.baseline_finish_date) "
                     "ORDER BY finish_variance_days DESC LIMIT 10;",
            "description": "Activities finishing later than in the active baseline, largest baseline variance first",
            "complexity": "complex",
        },
        {
            "query": "SELECT w.wbs_code, w.wbs_name, COUNT(a.activity_id) AS activity_count, "
                     "ROUND(AVG(a.percent_complete), 1) AS avg_percent_complete "
                     "FROM wbs w JOIN activities a ON a.wbs_id = w.wbs_id "
                     "GROUP BY w.wbs_id, w.wbs_code, w.wbs_name ORDER BY w.wbs_code;",
            "description": "Activity count and average percent complete per WBS element",
            "complexity": "medium",
        },
        {
            "query": "SELECT p.project_code, a.activity_code, a.activity_name, a.activity_type, a.early_finish_date, a.constraint_date "
                     "FROM activities a JOIN projects p ON p.project_id = a.project_id "
                     "WHERE a.activity_type LIKE '%Milestone' AND a.early_finish_date <= '2025-06-30' AND a.status <> 'Completed' "
                     "ORDER BY a.early_finish_date;",
            "description": "Upcoming milestones due before a date that are not yet completed",
            "complexity": "simple",
        },
        {
            "query": "SELECT sa.activity_code, sa.activity_name, pa.activity_code AS driving_predecessor, r.relationship_type, r.lag_days "
                     "FROM activity_relationships r "
                     "JOIN activities pa ON pa.activity_id = r.predecessor_activity_id "
                     "JOIN activities sa ON sa.activity_id = r.successor_activity_id "
                     "WHERE r.is_driving = 1 AND sa.is_critical = 1 ORDER BY sa.early_start_date;",
            "description": "Driving relationships into critical activities (the logic that forms the critical path)",
            "complexity": "complex",
        },
        {
            "query": "SELECT activity_code, activity_name, total_float_days, free_float_days "
                     "FROM activities WHERE free_float_days > 20 ORDER BY free_float_days DESC;",
            "description": "Activities with large free float that could absorb delays without affecting successors",
            "complexity": "simple",
        },
        {
            "query": "SELECT n.note_date, p.project_code, n.author, n.note_text "
                     "FROM project_notes n JOIN projects p ON p.project_id = n.project_id "
                     "WHERE n.note_type IN ('Delay', 'Weather') AND n.note_date >= '2024-06-01' ORDER BY n.note_date;",
            "description": "Delay and weather notes recorded since a date",
            "complexity": "simple",
        },
        {
            "query": "SELECT activity_code, activity_name, status, percent_complete, early_finish_date "
                     "FROM activities WHERE activity_name LIKE '%fa\u00e7ade%' AND status <> 'Completed' "
                     "ORDER BY early_finish_date;",
            "description": "Open fa\u00e7ade and curtain wall activities with their forecast finish",
        },
    ]


def build_metadata(conn):
    tables = {}
    for table, tdef in SCHEMA:
        row_count = conn.execute("SELECT COUNT(*) FROM %s" % table).fetchone()[0]
        cols = {}
        for name, sql_type, desc, indexed, extras in tdef["columns"]:
            c = {"description": desc, "data_type": sql_type, "indexed": bool(indexed)}
            if extras.get("stats"):
                c["statistics"] = column_statistics(conn, table, name, sql_type)
            for key in ("business_rules", "related_business_rules", "concepts"):
                if key in extras:
                    c[key] = list(extras[key])
            cols[name] = c
        tables[table] = {"description": tdef["description"], "domain": tdef["domain"],
                         "row_count": row_count, "columns": cols}
    return {
        "tables": tables,
        "relationships": [{"from_table": f, "to_table": t, "join_condition": j, "description": d}
                          for f, t, j, d in RELATIONSHIPS],
        "business_concepts": {k: {"description": v} for k, v in BUSINESS_CONCEPTS.items()},
        "query_examples": query_examples(),
        "keywords": KEYWORDS,
        "terminology": TERMINOLOGY,
        "metadata_cleaning": {"cleaned_at": CLEANED_AT, "cleaning_version": CLEANING_VERSION},
    }


# --------------------------------------------------------------------------
# Question history
# --------------------------------------------------------------------------

HISTORY = [
    ("Show all projects with negative float",
     ["Which projects have negative total float?", "List projects that cannot meet their target finish date",
      "projects with negative float"],
     "SELECT p.project_code, p.project_name, p.total_float_days, p.target_finish_date, p.forecast_finish_date "
     "FROM projects p WHERE p.total_float_days < 0 ORDER BY p.total_float_days;",
     "Single-table filter on the project's worst total float", ["negative_float", "total_float"]),
    ("What are the activities on the critical path for Riverside Medical Center?",
     ["Critical path activities of project RMC", "Show critical activities for the medical center project"],
     "SELECT a.activity_code, a.activity_name, a.early_start_date, a.early_finish_date, a.total_float_days "
     "FROM activities a JOIN projects p ON p.project_id = a.project_id "
     "WHERE p.project_code = 'RMC' AND a.is_critical = 1 ORDER BY a.early_start_date;",
     "Join of activities and projects with a filter on the critical flag", ["critical_path", "total_float"]),
    ("List relationships with lag greater than 44 days",
     ["Which relationships have a lag over 44 days?", "Show logic links with lags longer than 44 days"],
     "SELECT r.relationship_id, pa.activity_name AS predecessor, sa.activity_name AS successor, r.relationship_type, r.lag_days "
     "FROM activity_relationships r JOIN activities pa ON pa.activity_id = r.predecessor_activity_id "
     "JOIN activities sa ON sa.activity_id = r.successor_activity_id WHERE r.lag_days > 44 ORDER BY r.lag_days DESC;",
     "Self-join of relationships with activities and a numeric lag filter", ["lag", "schedule_logic"]),
    ("Show late activities by project",
     ["How many activities are behind their late finish date per project?", "Count late activities for each project"],
     "SELECT p.project_code, COUNT(*) AS late_activities FROM activities a JOIN projects p ON p.project_id = a.project_id "
     "WHERE a.status <> 'Completed' AND a.early_finish_date > a.late_finish_date GROUP BY p.project_code ORDER BY late_activities DESC;",
     "Aggregation per project comparing early and late finish dates", ["negative_float", "total_float"]),
    ("Which resources are over budget?",
     ["Resources whose actual cost exceeds budgeted cost", "Show over budget resources"],
     "SELECT res.resource_name, SUM(ra.budgeted_cost) AS budgeted, SUM(ra.actual_cost) AS actual "
     "FROM resource_assignments ra JOIN resources res ON res.resource_id = ra.resource_id "
     "GROUP BY res.resource_id, res.resource_name HAVING SUM(ra.actual_cost) > SUM(ra.budgeted_cost * (1 - ra.remaining_units / ra.budgeted_units)) "
     "ORDER BY actual DESC;",
     "Aggregation with a HAVING clause comparing actual and earned cost", ["cost_variance", "resource_loading"]),
    ("Top 10 open risks by score",
     ["What are the highest scoring open risks?", "List the ten biggest open risks"],
     "SELECT risk_title, risk_category, risk_score, probability, impact_days FROM risks "
     "WHERE status = 'Open' ORDER BY risk_score DESC LIMIT 10;",
     "Single-table filter with ordering and a row limit", ["risk_exposure"]),
    ("How many activities are in progress per project?",
     ["Count in-progress activities by project", "Number of started but unfinished activities for each project"],
     "SELECT p.project_code, COUNT(*) AS in_progress FROM activities a JOIN projects p ON p.project_id = a.project_id "
     "WHERE a.status = 'In Progress' GROUP BY p.project_code ORDER BY p.project_code;",
     "Join with grouping and a count", ["percent_complete", "data_date"]),
    ("Which milestones are due before the end of June 2025?",
     ["Milestones finishing by 2025-06-30", "Upcoming milestones before July 2025"],
     "SELECT activity_code, activity_name, early_finish_date FROM activities "
     "WHERE activity_type LIKE '%Milestone' AND status <> 'Completed' AND early_finish_date <= '2025-06-30' ORDER BY early_finish_date;",
     "Single-table filter on type and date", ["milestone"]),
    ("Show baseline variance for finish dates",
     ["Compare current finish dates with the baseline", "Which activities slipped against the baseline?"],
     "SELECT a.activity_code, a.activity_name, ba.baseline_finish_date, a.early_finish_date, "
     "julianday(a.early_finish_date) - julianday(ba.baseline_finish_date) AS variance_days "
     "FROM activities a JOIN baseline_activities ba ON ba.activity_id = a.activity_id "
     "JOIN baselines b ON b.baseline_id = ba.baseline_id WHERE b.is_active = 1 AND a.early_finish_date > ba.baseline_finish_date "
     "ORDER BY variance_days DESC LIMIT 20;",
     "Three-table join with date arithmetic", ["baseline_variance"]),
    ("Which activities have free float greater than 20 days?",
     ["Activities with more than 20 days of free float", "Show activities that have lots of free float"],
     "SELECT activity_code, activity_name, free_float_days, total_float_days FROM activities "
     "WHERE free_float_days > 20 ORDER BY free_float_days DESC;",
     "Single-table numeric filter", ["free_float", "total_float"]),
    ("List start-to-start relationships with lag",
     ["Show SS relationships that have a lag", "Which SS links carry lag?"],
     "SELECT r.relationship_id, r.predecessor_activity_id, r.successor_activity_id, r.lag_days FROM activity_relationships r "
     "WHERE r.relationship_type = 'SS' AND r.lag_days <> 0 ORDER BY r.lag_days DESC;",
     "Single-table filter on relationship type and lag", ["relationship_type", "lag"]),
    ("Show total budgeted cost by project",
     ["What is the budgeted cost of each project?", "Sum of assignment budgets per project"],
     "SELECT p.project_code, p.budget_amount, SUM(ra.budgeted_cost) AS assigned_budget "
     "FROM projects p JOIN activities a ON a.project_id = p.project_id JOIN resource_assignments ra ON ra.activity_id = a.activity_id "
     "GROUP BY p.project_id, p.project_code, p.budget_amount ORDER BY assigned_budget DESC;",
     "Three-table join with a sum per project", ["cost_variance"]),
    ("What holidays are in the standard calendar in 2024?",
     ["List 2024 holidays of the Standard 5-Day calendar", "Non-working days on the standard calendar this year"],
     "SELECT e.exception_date, e.description FROM calendar_exceptions e JOIN calendars c ON c.calendar_id = e.calendar_id "
     "WHERE c.calendar_name = 'Standard 5-Day' AND e.exception_type = 'Holiday' AND e.exception_date LIKE '2024-%' ORDER BY e.exception_date;",
     "Join with a text pattern on dates", ["data_date"]),
    ("Which activities have no predecessors?",
     ["Find open ends without predecessors", "Activities missing predecessor logic"],
     "SELECT a.activity_code, a.activity_name, a.activity_type FROM activities a "
     "WHERE NOT EXISTS (SELECT 1 FROM activity_relationships r WHERE r.successor_activity_id = a.activity_id) ORDER BY a.activity_code;",
     "Anti-join through a correlated subquery", ["schedule_logic"]),
    ("Show the WBS hierarchy for the Harbor Bridge project",
     ["WBS tree of project HBR", "List WBS elements of the bridge rehabilitation"],
     "SELECT w.wbs_code, w.wbs_name, w.wbs_level, pw.wbs_code AS parent_code FROM wbs w "
     "JOIN projects p ON p.project_id = w.project_id LEFT JOIN wbs pw ON pw.wbs_id = w.parent_wbs_id "
     "WHERE p.project_code = 'HBR' ORDER BY w.wbs_code;",
     "Self-join of the WBS hierarchy", ["wbs_hierarchy"]),
    ("Which activities have date constraints?",
     ["List constrained activities", "Show activities with a schedule constraint"],
     "SELECT activity_code, activity_name, constraint_type, constraint_date, total_float_days FROM activities "
     "WHERE constraint_type IS NOT NULL ORDER BY constraint_date;",
     "Single-table filter on a nullable column", ["schedule_constraint", "negative_float"]),
    ("Count activities by discipline code",
     ["How many activities per discipline?", "Activity count for each discipline"],
     "SELECT c.code_value, c.code_description, COUNT(*) AS activity_count FROM activity_code_assignments ca "
     "JOIN activity_codes c ON c.activity_code_id = ca.activity_code_id WHERE c.code_type = 'Discipline' "
     "GROUP BY c.code_value, c.code_description ORDER BY activity_count DESC;",
     "Join with grouping on code values", ["wbs_hierarchy"]),
    ("Show notes about delays",
     ["List delay notes", "What delays were recorded in the project notes?"],
     "SELECT n.note_date, n.author, n.note_text FROM project_notes n WHERE n.note_type = 'Delay' ORDER BY n.note_date DESC;",
     "Single-table filter on note type", ["baseline_variance"]),
    ("Which resources are assigned to critical activities?",
     ["Resources working on the critical path", "Who is assigned to critical path activities?"],
     "SELECT DISTINCT res.resource_name, res.resource_type FROM resources res "
     "JOIN resource_assignments ra ON ra.resource_id = res.resource_id JOIN activities a ON a.activity_id = ra.activity_id "
     "WHERE a.is_critical = 1 ORDER BY res.resource_name;",
     "Three-table join with a distinct list", ["critical_path", "resource_loading"]),
    ("Average percent complete by project",
     ["What is the average progress of each project?", "Mean percent complete per project"],
     "SELECT p.project_code, ROUND(AVG(a.percent_complete), 1) AS avg_percent_complete FROM activities a "
     "JOIN projects p ON p.project_id = a.project_id GROUP BY p.project_code ORDER BY avg_percent_complete DESC;",
     "Join with an average per project", ["percent_complete"]),
    ("Find activities with excessive lag",
     ["Relationships with lag over 20 days", "Which links use long lags?"],
     "SELECT pa.activity_name AS predecessor, sa.activity_name AS successor, r.lag_days FROM activity_relationships r "
     "JOIN activities pa ON pa.activity_id = r.predecessor_activity_id JOIN activities sa ON sa.activity_id = r.successor_activity_id "
     "WHERE r.lag_days > 20 ORDER BY r.lag_days DESC;",
     "Self-join of relationships with a lag threshold", ["lag"]),
]


def build_history():
    base = dt.datetime(2024, 9, 3, 8, 15, 42, 118204)
    entries = []
    for i, (q, variations, sql, complexity, concepts) in enumerate(HISTORY):
        ts = base + dt.timedelta(days=3 * i, hours=(7 * i) % 9, minutes=(13 * i) % 60, seconds=(29 * i) % 60)
        entries.append({
            "question": q,
            "natural_language_variations": variations,
            "timestamp": ts.isoformat(),
            "sql": sql,
            "complexity_description": complexity,
            "domain_concepts": concepts,
        })
    return {"enriched_queries": entries}


# --------------------------------------------------------------------------

def write_json(path, doc):
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        json.dump(doc, f, indent=2, ensure_ascii=True)
    os.replace(tmp, path)


def check_sql(conn, label, sql):
    rows = conn.execute(sql).fetchall()
    if not rows:
        raise SystemExit("%s returns no rows on the sample database: %s" % (label, sql))
    return len(rows)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out-dir", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))
    args = ap.parse_args(argv)
    out = os.path.normpath(args.out_dir)
    os.makedirs(out, exist_ok=True)

    rng = random.Random(SEED)
    rows = generate(rng)
    db_path = os.path.join(out, DB_NAME)
    create_database(db_path, rows)

    conn = sqlite3.connect("file:%s?mode=ro" % db_path, uri=True)
    try:
        metadata = build_metadata(conn)
        history = build_history()
        # every SQL we ship must run and find something
        for i, ex in enumerate(metadata["query_examples"]):
            check_sql(conn, "query example %d" % i, ex["query"])
        for i, e in enumerate(history["enriched_queries"]):
            check_sql(conn, "history entry %d" % i, e["sql"])
    finally:
        conn.close()

    write_json(os.path.join(out, METADATA_NAME), metadata)
    write_json(os.path.join(out, HISTORY_NAME), history)

    total = sum(t["row_count"] for t in metadata["tables"].values())
    print("wrote %s (%d tables, %d rows)" % (db_path, len(metadata["tables"]), total))
    for name, t in metadata["tables"].items():
        print("  %-26s %6d rows" % (name, t["row_count"]))
    print("wrote %s" % os.path.join(out, METADATA_NAME))
    print("wrote %s (%d entries)" % (os.path.join(out, HISTORY_NAME), len(history["enriched_queries"])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
