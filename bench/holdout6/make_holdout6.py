#!/usr/bin/env python3
"""Build the sixth check schedule database (terse abbreviated names) and its metadata document.

A sixth project-scheduling database shape, a development set for general linking rules: the
terse, abbreviated naming of an older in-house planning system (prj, wbs_node, act, act_rel,
rsrc, rsrc_asg, cal, cal_exc, bl, bl_act, rsk, rsk_act, prg_upd, ncr), columns such as prj_nm,
pm_nm, stat_cd, es_dt, lf_dt, tf_d, od_d, rd_d, crit_yn, rel_typ, lag_d, sev, prob_pct, imp_d,
and stored codes whose meaning only the metadata gives ('A' / 'H' / 'C' / 'P' projects,
'NS' / 'IP' / 'CP' activities, 'L' / 'E' resources, 'O' / 'T' / 'X' risks, 'MIN' / 'MAJ' / 'CRT'
non-conformances, 'H' / 'S' / 'W' calendar exceptions).

Dates come from a forward pass over each project's relationships on its calendar (public
holidays and shutdowns included); progress is simulated up to each project's data date, the
remaining work is rescheduled from the data date, and a backward pass from the contract finish
gives total and free float, so late projects carry negative float. The original baseline is the
unprogressed plan; three projects also carry a later re-baseline.

Outputs go to bench/out/holdout6/ (or --out DIR); --check also runs every gold statement of
questions.json. The command line is bench/schedule_build.py's. Standard library only;
deterministic (fixed seed).
"""

import bisect
import datetime as dt
import os
import random
import sqlite3
import sys

SEED = 6061
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schedule_build import default_out, describe_tables, main as build_main, metadata_document  # noqa: E402
DB_NAME = "holdout6_schedule.db"
META_NAME = "holdout6_metadata.json"

DDL = """
CREATE TABLE cal (
    cal_id INTEGER PRIMARY KEY, cal_cd TEXT NOT NULL UNIQUE, cal_nm TEXT NOT NULL,
    wk_d INTEGER NOT NULL, hr_d REAL NOT NULL
);
CREATE TABLE cal_exc (
    exc_id INTEGER PRIMARY KEY, cal_id INTEGER NOT NULL REFERENCES cal(cal_id), exc_dt TEXT NOT NULL,
    exc_typ TEXT NOT NULL, exc_desc TEXT NOT NULL
);
CREATE TABLE prj (
    prj_id INTEGER PRIMARY KEY, prj_cd TEXT NOT NULL UNIQUE, prj_nm TEXT NOT NULL, clnt_nm TEXT NOT NULL,
    pm_nm TEXT NOT NULL, sect_cd TEXT NOT NULL, stat_cd TEXT NOT NULL, loc_nm TEXT NOT NULL,
    st_dt TEXT NOT NULL, cntr_fin_dt TEXT NOT NULL, fcst_fin_dt TEXT NOT NULL, data_dt TEXT NOT NULL,
    bud_amt REAL NOT NULL, cal_id INTEGER NOT NULL REFERENCES cal(cal_id)
);
CREATE TABLE wbs_node (
    wbs_id INTEGER PRIMARY KEY, prj_id INTEGER NOT NULL REFERENCES prj(prj_id),
    parent_id INTEGER REFERENCES wbs_node(wbs_id), wbs_cd TEXT NOT NULL UNIQUE, wbs_nm TEXT NOT NULL,
    lvl_no INTEGER NOT NULL, own_nm TEXT
);
CREATE TABLE act (
    act_id INTEGER PRIMARY KEY, prj_id INTEGER NOT NULL REFERENCES prj(prj_id),
    wbs_id INTEGER NOT NULL REFERENCES wbs_node(wbs_id), act_cd TEXT NOT NULL UNIQUE, act_nm TEXT NOT NULL,
    act_typ TEXT NOT NULL, stat_cd TEXT NOT NULL, od_d INTEGER NOT NULL, rd_d INTEGER NOT NULL,
    es_dt TEXT NOT NULL, ef_dt TEXT NOT NULL, ls_dt TEXT NOT NULL, lf_dt TEXT NOT NULL,
    as_dt TEXT, af_dt TEXT, tf_d INTEGER, ff_d INTEGER, pct REAL NOT NULL, crit_yn TEXT NOT NULL,
    cstr_typ TEXT, cstr_dt TEXT, cal_id INTEGER NOT NULL REFERENCES cal(cal_id)
);
CREATE TABLE act_rel (
    rel_id INTEGER PRIMARY KEY, pred_act_id INTEGER NOT NULL REFERENCES act(act_id),
    succ_act_id INTEGER NOT NULL REFERENCES act(act_id), rel_typ TEXT NOT NULL, lag_d INTEGER NOT NULL,
    drv_yn TEXT NOT NULL
);
CREATE TABLE rsrc (
    rsrc_id INTEGER PRIMARY KEY, rsrc_cd TEXT NOT NULL UNIQUE, rsrc_nm TEXT NOT NULL, rsrc_typ TEXT NOT NULL,
    trd_cd TEXT NOT NULL, rate_hr REAL NOT NULL, max_u INTEGER NOT NULL, vnd_nm TEXT
);
CREATE TABLE rsrc_asg (
    asg_id INTEGER PRIMARY KEY, act_id INTEGER NOT NULL REFERENCES act(act_id),
    rsrc_id INTEGER NOT NULL REFERENCES rsrc(rsrc_id), units INTEGER NOT NULL, plan_hr REAL NOT NULL,
    act_hr REAL NOT NULL, rem_hr REAL NOT NULL, bud_amt REAL NOT NULL, act_amt REAL NOT NULL
);
CREATE TABLE bl (
    bl_id INTEGER PRIMARY KEY, prj_id INTEGER NOT NULL REFERENCES prj(prj_id), bl_no INTEGER NOT NULL,
    bl_nm TEXT NOT NULL, cap_dt TEXT NOT NULL, aprv_by TEXT NOT NULL, cur_yn TEXT NOT NULL
);
CREATE TABLE bl_act (
    bl_id INTEGER NOT NULL REFERENCES bl(bl_id), act_id INTEGER NOT NULL REFERENCES act(act_id),
    bl_st_dt TEXT NOT NULL, bl_fin_dt TEXT NOT NULL, bl_od_d INTEGER NOT NULL,
    PRIMARY KEY (bl_id, act_id)
);
CREATE TABLE rsk (
    rsk_id INTEGER PRIMARY KEY, prj_id INTEGER NOT NULL REFERENCES prj(prj_id), rsk_cd TEXT NOT NULL UNIQUE,
    rsk_ttl TEXT NOT NULL, cat_cd TEXT NOT NULL, sev INTEGER NOT NULL, prob_pct INTEGER NOT NULL,
    imp_d INTEGER NOT NULL, imp_amt REAL NOT NULL, stat_cd TEXT NOT NULL, own_nm TEXT NOT NULL,
    rsd_dt TEXT NOT NULL
);
CREATE TABLE rsk_act (
    rsk_id INTEGER NOT NULL REFERENCES rsk(rsk_id), act_id INTEGER NOT NULL REFERENCES act(act_id),
    PRIMARY KEY (rsk_id, act_id)
);
CREATE TABLE prg_upd (
    upd_id INTEGER PRIMARY KEY, act_id INTEGER NOT NULL REFERENCES act(act_id), wk_end_dt TEXT NOT NULL,
    pct REAL NOT NULL, rd_d INTEGER NOT NULL, upd_by TEXT NOT NULL, cmt_txt TEXT
);
CREATE TABLE ncr (
    ncr_id INTEGER PRIMARY KEY, prj_id INTEGER NOT NULL REFERENCES prj(prj_id),
    act_id INTEGER REFERENCES act(act_id), ncr_no TEXT NOT NULL UNIQUE, ncr_ttl TEXT NOT NULL,
    sev_cd TEXT NOT NULL, stat_cd TEXT NOT NULL, rsd_dt TEXT NOT NULL, cls_dt TEXT, rsd_by TEXT NOT NULL,
    rwk_amt REAL NOT NULL
);
"""

CALS = [
    # cd, name, working days a week, hours a day
    ("STD5", "Standard Mon-Fri 8h", 5, 8.0),
    ("EXT6", "Extended Mon-Sat 10h", 6, 10.0),
    ("CNT7", "Continuous 24/7 tunnelling", 7, 24.0),
    ("OUT5", "Outage works Mon-Fri 10h", 5, 10.0),
]

HOLIDAYS = {
    "2023-01-02": "New Year's Day (substitute)", "2023-04-07": "Good Friday", "2023-04-10": "Easter Monday",
    "2023-05-01": "Early May bank holiday", "2023-05-08": "Coronation bank holiday",
    "2023-05-29": "Spring bank holiday", "2023-08-28": "Summer bank holiday", "2023-12-25": "Christmas Day",
    "2023-12-26": "Boxing Day",
    "2024-01-01": "New Year's Day", "2024-03-29": "Good Friday", "2024-04-01": "Easter Monday",
    "2024-05-06": "Early May bank holiday", "2024-05-27": "Spring bank holiday",
    "2024-08-26": "Summer bank holiday", "2024-12-25": "Christmas Day", "2024-12-26": "Boxing Day",
    "2025-01-01": "New Year's Day", "2025-04-18": "Good Friday", "2025-04-21": "Easter Monday",
    "2025-05-05": "Early May bank holiday", "2025-05-26": "Spring bank holiday",
    "2025-08-25": "Summer bank holiday", "2025-12-25": "Christmas Day", "2025-12-26": "Boxing Day",
    "2026-01-01": "New Year's Day", "2026-04-03": "Good Friday", "2026-04-06": "Easter Monday",
    "2026-05-04": "Early May bank holiday", "2026-05-25": "Spring bank holiday",
    "2026-08-31": "Summer bank holiday", "2026-12-25": "Christmas Day", "2026-12-28": "Boxing Day (substitute)",
}
EXTRA_WORKING = {  # calendar code -> Saturdays worked by agreement
    "STD5": {"2025-03-15": "Saturday working - deck pour recovery", "2025-06-14": "Saturday working - catch-up"},
    "OUT5": {"2023-09-16": "Saturday outage window"},
}
TUNNEL_SHUTDOWNS = {"2024-12-24": "TBM maintenance stoppage", "2024-12-25": "TBM maintenance stoppage",
                    "2025-07-07": "Cutterhead inspection", "2025-07-08": "Cutterhead inspection"}

CAL_FIRST, CAL_LAST = dt.date(2023, 1, 1), dt.date(2028, 12, 31)
ACTIVE_DATA_DT = "2025-09-12"

PRJS = [
    # cd, name, client, pm, sector, status, location, start, cal cd, budget, template, data date, margin
    ("KRB", "Kestrel River Bridge Replacement", "Tamsford County Council", "Aileen Marsh", "TRN", "A",
     "Tamsford", "2024-10-07", "STD5", 38_500_000, "bridge", ACTIVE_DATA_DT, 4),
    ("SMH", "St Maren's Hospital East Wing", "Westmoor Health Trust", "Rafael Ortiz", "HLT", "A",
     "Westmoor", "2024-06-03", "STD5", 64_200_000, "hospital", ACTIVE_DATA_DT, 0),
    ("HLT", "Holloway Lane Twin-Bore Tunnel", "Metro Link Authority", "Greta Holm", "TRN", "A",
     "Holloway", "2024-03-04", "CNT7", 212_000_000, "tunnel", ACTIVE_DATA_DT, 12),
    ("NDH", "Northgate Data Hall 3", "Cirrus Colocation Ltd", "Dev Anand", "DC", "A",
     "Northgate", "2025-01-13", "EXT6", 47_300_000, "datahall", ACTIVE_DATA_DT, 25),
    ("BPS", "Brookfield Primary School Extension", "Brookfield Education Board", "Aileen Marsh", "EDU", "H",
     "Brookfield", "2025-02-03", "STD5", 9_200_000, "school", "2025-05-16", 8),
    ("ASB", "Ashcombe 132kV Substation", "Gridwest Networks", "Tomasz Wrobel", "PWR", "C",
     "Ashcombe", "2023-05-08", "OUT5", 21_000_000, "substation", None, 10),
    ("WRW", "Wenlow Reservoir Outlet Works", "Wenlow Water", "Priya Nair", "WTR", "P",
     "Wenlow", "2026-01-12", "STD5", 15_600_000, "water", ACTIVE_DATA_DT, 15),
]

# template -> phases: (phase code, phase name, groups); group: (group name or None, [(activity, duration)])
# The first activity of every project is a start milestone, the last activity a finish milestone.
TEMPLATES = {
    "bridge": ("Notice to proceed", [
        ("DES", "Design and Consents", [
            ("Design", [("Detailed design", 45), ("Category 3 design check", 20)]),
            ("Consents", [("Environmental permit application", 30), ("River works licence", 25),
                          ("Public consultation events", 5, "side")])]),
        ("ENB", "Enabling Works", [
            ("Site setup", [("Site compound and access road", 15), ("Traffic management installation", 8)]),
            ("Diversions", [("Utility diversions", 35)])]),
        ("SUB", "Substructure", [
            ("North abutment", [("Piling north abutment", 20), ("Pile caps north abutment", 12),
                                ("North abutment wall pour", 18)]),
            ("South abutment", [("Piling south abutment", 22), ("Pile caps south abutment", 12),
                                ("South abutment wall pour", 18)]),
            ("River pier", [("Cofferdam installation", 25), ("Pier foundation pour", 10),
                            ("Pier column pour", 14)])]),
        ("SUP", "Superstructure", [
            (None, [("Steel girder delivery", 10), ("Steel girder erection", 15), ("Deck slab pour", 20),
                    ("Parapets and deck waterproofing", 15)])]),
        ("FIN", "Highway Finishing", [
            ("Roads", [("Surfacing and road markings", 10), ("Street lighting and electrical", 12)]),
            ("Old bridge", [("Demolish old bridge", 30), ("Landscaping and planting", 10, "side")])]),
        ("HND", "Testing and Handover", [(None, [("Bridge load test", 5)])]),
    ], "Open to traffic"),
    "hospital": ("Contract award", [
        ("DES", "Design and Approvals", [
            ("Design", [("Stage 4 technical design", 40), ("Infection control design review", 15)]),
            ("Approvals", [("Building regulations approval", 30)])]),
        ("ENB", "Enabling Works", [
            (None, [("Decant ward 6", 12), ("Hoarding and site access", 8), ("Demolish link corridor", 15),
                    ("Car park resurfacing", 15, "side")])]),
        ("SUB", "Substructure", [
            ("Foundations", [("Piling", 25), ("Ground beams", 15), ("Ground floor slab pour", 12)]),
            ("Drainage", [("Below ground drainage", 20)])]),
        ("FRM", "Frame", [
            (None, [("Concrete frame levels 1-2", 30), ("Concrete frame levels 3-4", 30), ("Roof slab pour", 10)])]),
        ("ENV", "Envelope", [
            ("Facade", [("Curtain walling", 35)]),
            ("Roof", [("Roof covering", 20), ("Roof plant installation", 12)])]),
        ("MEP", "Mechanical and Electrical", [
            ("Mechanical", [("Medical gas pipework", 30), ("Ventilation ductwork", 35), ("Theatre HVAC plant", 20)]),
            ("Electrical", [("Electrical first fix", 30), ("Nurse call and fire alarm", 20),
                            ("Electrical second fix", 20)])]),
        ("FIT", "Fit-out", [
            (None, [("Partitions and ceilings", 30), ("Clean room finishes", 20), ("Decoration and flooring", 20),
                    ("Wayfinding signage and artwork", 10, "side")])]),
        ("HND", "Commissioning and Handover", [
            (None, [("Commissioning of ventilation", 15), ("Infection control validation", 10)])]),
    ], "Practical completion"),
    "tunnel": ("Notice to proceed", [
        ("DES", "Design and Investigation", [
            ("Design", [("Tunnel lining design", 50), ("Cross passage design", 25)]),
            ("Ground", [("Ground investigation boreholes", 35), ("Building condition surveys", 20, "side")])]),
        ("SHF", "Shafts", [
            ("Launch shaft", [("Diaphragm walls launch shaft", 40), ("Launch shaft excavation", 30),
                              ("Launch shaft base slab", 12)]),
            ("Reception shaft", [("Secant piles reception shaft", 30), ("Reception shaft excavation", 25)]),
            ("Segments", [("Segment factory setup", 30), ("Segment production", 90)])]),
        ("TBM", "Tunnel Boring", [
            (None, [("TBM delivery and assembly", 30), ("Spoil conveyor installation", 15),
                    ("TBM drive eastbound bore", 120), ("TBM turnaround", 20), ("TBM drive westbound bore", 120)])]),
        ("XP", "Cross Passages", [
            (None, [("Cross passage ground freezing", 40), ("Cross passage excavation", 30),
                    ("Cross passage lining", 20)])]),
        ("SYS", "Tunnel Systems", [
            ("Track", [("Track slab", 40), ("Rail installation", 30)]),
            ("Systems", [("Tunnel ventilation fans", 25), ("Traction power cabling", 35),
                         ("Tunnel lighting and emergency power", 25)])]),
        ("HND", "Testing and Handover", [(None, [("Systems integration testing", 30), ("Trial running", 20),
                                                   ("Spoil site restoration", 30, "side")])]),
    ], "Handover to operator"),
    "datahall": ("Notice to proceed", [
        ("DES", "Design", [(None, [("Data hall design freeze", 20), ("Utility power application", 30)])]),
        ("ENB", "Enabling Works", [(None, [("Site clearance", 8), ("Piling mat", 6), ("Office block fit-out", 25, "side")])]),
        ("STR", "Structure and Envelope", [
            ("Frame", [("Piling", 18), ("Ground slab", 15), ("Steel frame erection", 25), ("Roof deck", 12)]),
            ("Cladding", [("Insulated cladding panels", 25)])]),
        ("ELE", "Electrical Infrastructure", [
            ("HV", [("HV substation installation", 25), ("Transformer delivery", 10), ("LV switchboards", 20)]),
            ("Backup power", [("Generator installation", 20), ("UPS installation", 15)]),
            ("Distribution", [("Busbar installation", 20), ("Cable containment and cabling", 30)])]),
        ("MEC", "Mechanical and Cooling", [
            (None, [("Chiller installation", 20), ("CRAH units installation", 18), ("Chilled water pipework", 25)])]),
        ("WHT", "White Space", [(None, [("Raised floor", 12), ("Hot aisle containment", 10),
                                        ("Security fencing and gatehouse", 10, "side")])]),
        ("CMX", "Commissioning", [
            (None, [("Level 3 commissioning", 15), ("Level 4 functional testing", 10),
                    ("Level 5 integrated systems test", 10)])]),
    ], "Ready for service"),
    "school": ("Contract award", [
        ("DES", "Design and Planning", [(None, [("Planning approval", 40), ("Technical design", 30)])]),
        ("ENB", "Enabling Works", [(None, [("Temporary classrooms", 10), ("Site hoarding", 5),
                                           ("Utility connections", 15)])]),
        ("SUB", "Substructure", [(None, [("Strip foundations", 15), ("Ground floor slab", 10)])]),
        ("SUP", "Superstructure", [
            (None, [("Timber frame erection", 20), ("Roof trusses and covering", 15)]),
            ("Windows", [("Windows and external doors", 12)])]),
        ("MEP", "Services", [
            ("Mechanical", [("Heating and plumbing first fix", 15), ("Ventilation units", 10)]),
            ("Electrical", [("Electrical first fix", 15), ("Electrical second fix", 10)])]),
        ("FIT", "Fit-out and External", [
            (None, [("Plasterboard and skim", 15), ("Classroom fit-out", 15), ("External play area", 12),
                    ("Car park and drop-off", 10, "side")])]),
    ], "Handover to school"),
    "substation": ("Notice to proceed", [
        ("DES", "Design", [(None, [("Substation design", 30), ("Protection settings study", 15)])]),
        ("CIV", "Civil Works", [
            ("Platform", [("Earthworks platform", 20), ("Earthing grid", 10), ("Transformer plinths", 12)]),
            ("Buildings", [("Control building", 30), ("Perimeter palisade fencing", 12, "side")])]),
        ("HVE", "HV Equipment", [
            (None, [("132kV switchgear installation", 25), ("Supergrid transformer delivery", 8),
                    ("Transformer dressing and oil fill", 12), ("33kV switchboard installation", 15)])]),
        ("CAB", "Cabling", [
            (None, [("132kV cable pulling", 20), ("Cable jointing", 15), ("Protection and control wiring", 20)])]),
        ("CMX", "Commissioning", [(None, [("Pre-commissioning tests", 12), ("Protection testing", 8)])]),
    ], "Energisation"),
    "water": ("Contract award", [
        ("DES", "Design and Licensing", [(None, [("Outline design", 30), ("Abstraction licence variation", 40),
                                                      ("Fish pass design", 15, "side")])]),
        ("ENB", "Enabling Works", [(None, [("Access track", 12), ("Reservoir drawdown", 20)])]),
        ("CIV", "Civil Works", [
            (None, [("Outlet tower refurbishment", 40), ("Valve chamber construction", 30),
                    ("Scour pipe replacement", 25)])]),
        ("MEC", "Mechanical and Control", [(None, [("Valve installation", 15), ("Control panel installation", 10)])]),
        ("HND", "Commissioning", [(None, [("Wet commissioning", 10), ("Site reinstatement", 10, "side")])]),
    ], "Reservoir refill"),
}

RSRC = [
    # cd, name, type, trade, rate per hour, max units, vendor (None = direct labour / owned)
    ("DES-ENG", "Design Engineers", "L", "DES", 95.0, 6, "Harlow Rees Consulting"),
    ("ELEC-A", "Electricians Team A", "L", "ELE", 62.0, 8, "Brightline Electrical"),
    ("ELEC-B", "Electricians Team B", "L", "ELE", 58.0, 6, "Brightline Electrical"),
    ("MECH-1", "Mechanical Fitters", "L", "MEC", 55.0, 6, "Calder Mechanical"),
    ("PIPE-1", "Pipefitters", "L", "MEC", 57.0, 5, "Calder Mechanical"),
    ("CONC-1", "Concrete Gang", "L", "CIV", 44.0, 10, None),
    ("FORM-1", "Formwork Carpenters", "L", "CIV", 46.0, 8, None),
    ("RBAR-1", "Steel Fixers", "L", "CIV", 45.0, 8, "Ironbridge Steel"),
    ("STL-1", "Steel Erectors", "L", "STL", 52.0, 6, "Ironbridge Steel"),
    ("HVJ-1", "HV Jointers", "L", "HVE", 78.0, 4, "Gridline Cable Services"),
    ("TBM-OP", "TBM Crew", "L", "TUN", 70.0, 12, "Deepcut Tunnelling"),
    ("FIN-1", "Drylining and Finishes Gang", "L", "FIN", 39.0, 10, "Keystone Interiors"),
    ("CSU-1", "Commissioning Engineers", "L", "CSU", 85.0, 3, None),
    ("GEN-1", "General Operatives", "L", "CIV", 32.0, 12, None),
    ("CRN-100", "100t Mobile Crane", "E", "PLT", 240.0, 1, "Hoist Hire Ltd"),
    ("EXC-20", "20t Excavator", "E", "PLT", 65.0, 2, "Hoist Hire Ltd"),
    ("PILE-1", "Piling Rig", "E", "PLT", 310.0, 1, "Foundex Piling"),
    ("TBM-1", "Tunnel Boring Machine Maud", "E", "TUN", 1450.0, 1, "Deepcut Tunnelling"),
    ("PUMP-1", "Concrete Pump", "E", "PLT", 120.0, 1, None),
]
# activity name keyword -> resource codes
RSRC_RULES = [
    (("design", "study", "check"), ["DES-ENG"]),
    (("pour", "slab", "pile caps", "ground beams", "plinths", "base slab", "frame levels", "track slab",
      "valve chamber", "foundations"), ["CONC-1", "FORM-1", "RBAR-1", "PUMP-1"]),
    (("piling", "secant", "diaphragm"), ["PILE-1", "GEN-1"]),
    (("girder", "steel frame", "roof deck", "cladding", "curtain walling", "timber frame", "roof trusses"),
     ["STL-1", "CRN-100"]),
    (("excavation", "earthworks", "clearance", "access track", "access road", "compound", "drainage",
      "piling mat", "demolish", "diversions", "hoarding"), ["EXC-20", "GEN-1"]),
    (("tbm", "bore", "conveyor", "segment", "freezing", "cross passage"), ["TBM-OP", "TBM-1"]),
    (("electrical", "lighting", "cabling", "busbar", "switchboard", "nurse call", "traction power",
      "ups", "generator", "lv "), ["ELEC-A", "ELEC-B"]),
    (("132kv", "33kv", "hv ", "transformer", "jointing", "protection and control"), ["HVJ-1", "ELEC-A"]),
    (("pipework", "ductwork", "hvac", "chiller", "crah", "ventilation", "heating", "plumbing", "valve",
      "plant installation", "medical gas"), ["MECH-1", "PIPE-1"]),
    (("partitions", "finishes", "decoration", "plasterboard", "fit-out", "raised floor", "containment",
      "windows", "roof covering", "waterproofing", "surfacing", "play area"), ["FIN-1", "GEN-1"]),
    (("commission", "testing", "test", "validation", "trial running", "integrated"), ["CSU-1", "ELEC-A"]),
]

RISKS = {
    # template -> (title, category, keywords of the activities it touches)
    "bridge": [("Flood event during cofferdam works", "ENV", ("cofferdam", "pier")),
               ("Late steel girder delivery from fabricator", "SUP", ("girder",)),
               ("Unrecorded gas main in diversion route", "GEO", ("diversions", "piling")),
               ("Otter holt found near south bank", "ENV", ("south abutment", "demolish")),
               ("Road closure permit refused", "STK", ("traffic", "surfacing", "demolish"))],
    "hospital": [("Live hospital services disruption", "STK", ("decant", "link corridor", "medical gas")),
                 ("Infection control sign-off delayed", "DES", ("infection", "clean room")),
                 ("Curtain walling subcontractor insolvency", "SUP", ("curtain",)),
                 ("Long lead theatre HVAC plant", "SUP", ("theatre hvac", "ventilation")),
                 ("Ground contamination under slab", "GEO", ("piling", "ground floor slab", "drainage"))],
    "tunnel": [("Mixed face ground in eastbound drive", "GEO", ("eastbound", "freezing")),
               ("TBM main bearing failure", "TEC", ("eastbound", "westbound", "turnaround")),
               ("Segment supply shortfall", "SUP", ("segment", "westbound")),
               ("Settlement of listed buildings", "STK", ("eastbound", "reception shaft", "excavation")),
               ("Traction power design change", "DES", ("traction", "integration")),
               ("Groundwater inflow at launch shaft", "GEO", ("launch shaft",))],
    "datahall": [("Grid connection date slips", "STK", ("hv substation", "utility power")),
                 ("Generator delivery delayed", "SUP", ("generator",)),
                 ("Chiller refrigerant regulation change", "DES", ("chiller", "crah")),
                 ("Client late design changes to white space", "DES", ("raised floor", "containment", "busbar"))],
    "school": [("Planning condition on bat survey", "ENV", ("planning", "hoarding")),
               ("Timber frame supplier capacity", "SUP", ("timber frame", "roof trusses")),
               ("Works only possible in school holidays", "STK", ("temporary classrooms", "external play"))],
    "substation": [("Transformer transport route restriction", "SUP", ("supergrid", "dressing")),
                   ("Outage window cancelled by grid operator", "STK", ("jointing", "protection testing")),
                   ("Earthing study shows step potential issue", "DES", ("earthing", "settings"))],
    "water": [("Reservoir drawdown restricted by regulator", "ENV", ("drawdown", "abstraction")),
              ("Concrete defects in outlet tower worse than surveyed", "TEC", ("outlet tower", "scour")),
              ("Valve delivery lead time", "SUP", ("valve installation",))],
}
RSK_OWNERS = ["Aileen Marsh", "Rafael Ortiz", "Greta Holm", "Dev Anand", "Tomasz Wrobel", "Priya Nair",
              "Sunil Varma", "Megan Doyle", "Oskar Berg"]
PLANNERS = {"KRB": "Sunil Varma", "SMH": "Megan Doyle", "HLT": "Oskar Berg", "NDH": "Megan Doyle",
            "BPS": "Sunil Varma", "ASB": "Oskar Berg", "WRW": "Sunil Varma"}
COMMENTS = ["Awaiting materials", "Weather delay", "Resequenced with adjacent work", "Crew short this week",
            "Ahead of plan", "Inspection hold point", "Access restricted by client", "Design query open"]

NCRS = [("Concrete cover below the drawn requirement", "MAJ", ("pour", "slab", "frame levels", "beams", "plinths")),
        ("Honeycombing on exposed face", "MIN", ("pour", "wall", "slab")),
        ("Pile length short of design", "CRT", ("piling",)),
        ("Weld defects on girder splice", "MAJ", ("girder", "steel")),
        ("Cable bending radius exceeded", "MIN", ("cabl", "busbar", "electrical")),
        ("Incorrect fire stopping at penetrations", "MAJ", ("partitions", "electrical", "ductwork")),
        ("Segment joint misalignment", "MAJ", ("bore", "segment")),
        ("Ductwork leakage test failed", "MIN", ("ductwork", "ventilation")),
        ("Earthing resistance above limit", "CRT", ("earthing",)),
        ("Pressure test failure on pipework", "MAJ", ("pipework", "plumbing", "gas")),
        ("Work started without approved method statement", "MAJ", ("",)),
        ("Setting out error", "MIN", ("",)),
        ("Missing hold point sign-off", "MIN", ("",))]
INSPECTORS = ["Hana Kowalczyk", "Jon Pryce", "Lerato Mokoena", "Ewan Gilchrist"]


def iso(x):
    return x.isoformat() if x is not None else None


class Calendar:
    """Working days of one calendar, with its exceptions, as a sorted list of dates."""

    def __init__(self, wk_d, off, extra):
        self.days = []
        d = CAL_FIRST
        while d <= CAL_LAST:
            working = d.weekday() < wk_d
            s = d.isoformat()
            if s in off:
                working = False
            if s in extra:
                working = True
            if working:
                self.days.append(d)
            d += dt.timedelta(days=1)

    def index(self, day):
        """First working-day index on or after day."""
        return bisect.bisect_left(self.days, day)

    def date(self, i):
        return self.days[i]


def build_network(rng, template):
    """Activities (name, duration, phase index, group index) and relationships (pred, succ, typ, lag)."""
    start_ms, phases, finish_ms = TEMPLATES[template]
    acts = [(start_ms, 0, None, None)]
    rels = []
    gate = [0]  # activities every group of the next phase waits for
    side = []
    for p, (_, _, groups) in enumerate(phases):
        ends = []
        for g, (_, items) in enumerate(groups):
            prev = None
            for item in items:
                name, dur = item[:2]
                acts.append((name, dur, p, g))
                cur = len(acts) - 1
                if len(item) == 3:  # off the main path: after the phase gate, before the finish milestone
                    for q in gate:
                        rels.append([q, cur, "FS", 0])
                    side.append(cur)
                    continue
                if prev is None:
                    for q in gate:
                        rels.append([q, cur, "FS", rng.choice([0, 0, 0, 2, 5])])
                else:
                    r = rng.random()
                    pdur = acts[prev][1]
                    if r < 0.15 and pdur >= 10:
                        rels.append([prev, cur, "SS", pdur // 2])
                    elif r < 0.22:
                        rels.append([prev, cur, "FS", -3])
                    elif r < 0.30:
                        rels.append([prev, cur, "FS", rng.choice([3, 5, 10])])
                    else:
                        rels.append([prev, cur, "FS", 0])
                    if rels[-1][2] == "SS":
                        rels.append([prev, cur, "FF", rng.choice([2, 5])])
                prev = cur
            ends.append(prev)
        gate = ends
    acts.append((finish_ms, 0, None, None))
    fin = len(acts) - 1
    for q in gate + side:
        rels.append([q, fin, "FS", 0])
    # a few cross links between groups of the same phase
    by_phase = {}
    for i, (_, _, p, g) in enumerate(acts):
        if p is not None:
            by_phase.setdefault(p, []).append((g, i))
    for p, members in sorted(by_phase.items()):
        groups = sorted({g for g, _ in members})
        if len(groups) > 1 and rng.random() < 0.6:
            a = rng.choice([i for g, i in members if g == groups[0]])
            b = rng.choice([i for g, i in members if g == groups[1]])
            lo, hi = min(a, b), max(a, b)
            if not any(r[0] == lo and r[1] == hi for r in rels):
                rels.append([lo, hi, rng.choice(["FS", "SS", "FF"]), rng.choice([0, 0, 5])])
    return acts, rels


def forward(acts, durs, rels, start_idx, fixed=None, floor=None):
    """Early start/finish indices (finish exclusive). fixed: i -> (es, ef); floor: earliest start."""
    es, ef = {}, {}
    preds = {}
    for a, b, typ, lag in rels:
        preds.setdefault(b, []).append((a, typ, lag))
    for i in range(len(acts)):  # activities are numbered in a topological order
        if fixed and i in fixed:
            es[i], ef[i] = fixed[i]
            continue
        d = durs[i]
        s = start_idx if floor is None else max(start_idx, floor)
        for a, typ, lag in preds.get(i, []):
            if typ == "FS":
                s = max(s, ef[a] + lag)
            elif typ == "SS":
                s = max(s, es[a] + lag)
            elif typ == "FF":
                s = max(s, ef[a] + lag - d)
        es[i], ef[i] = s, s + d
    return es, ef


def generate(db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    rng = random.Random(SEED)
    con = sqlite3.connect(db_path)
    con.executescript(DDL)

    cals = {}
    exc_id = 0
    for cid, (cd, nm, wk_d, hr_d) in enumerate(CALS, 1):
        con.execute("INSERT INTO cal VALUES (?,?,?,?,?)", (cid, cd, nm, wk_d, hr_d))
        off = {}
        if cd != "CNT7":
            off.update({k: (v, "H") for k, v in HOLIDAYS.items()})
            for y in (2023, 2024, 2025, 2026):
                for day in range(27, 32):
                    d = dt.date(y, 12, day)
                    if d.weekday() < wk_d and d.isoformat() not in off:
                        off[d.isoformat()] = ("Christmas site shutdown", "S")
        else:
            off.update({k: (v, "S") for k, v in TUNNEL_SHUTDOWNS.items()})
        extra = EXTRA_WORKING.get(cd, {})
        rows = [(k, t, v) for k, (v, t) in off.items()] + [(k, "W", v) for k, v in extra.items()]
        for k, t, v in sorted(rows):
            exc_id += 1
            con.execute("INSERT INTO cal_exc VALUES (?,?,?,?,?)", (exc_id, cid, k, t, v))
        cals[cd] = (cid, Calendar(wk_d, off, extra), hr_d)

    rsrc_ids = {}
    for i, r in enumerate(RSRC, 1):
        con.execute("INSERT INTO rsrc VALUES (?,?,?,?,?,?,?,?)", (i,) + r)
        rsrc_ids[r[0]] = (i, r[4])

    act_id = wbs_id = rel_id = asg_id = bl_id = rsk_id = upd_id = ncr_id = 0
    for pid, (pcd, pnm, clnt, pm, sect, stat, loc, st, calcd, bud, tpl, data_dt, margin) in enumerate(PRJS, 1):
        cid, cal, hr_d = cals[calcd]
        st_d = dt.date.fromisoformat(st)
        s0 = cal.index(st_d)
        acts, rels = build_network(rng, tpl)
        n = len(acts)
        od = [a[1] for a in acts]
        # as-planned pass: the original baseline
        es0, ef0 = forward(acts, od, rels, s0)
        plan_end = ef0[n - 1]
        cf_idx = plan_end + margin  # contract finish (exclusive index)
        # simulated actual durations
        adur = [0 if d == 0 else max(1, round(d * rng.choice([0.9, 1.0, 1.0, 1.1, 1.2, 1.35, 1.6]))) for d in od]
        esa, efa = forward(acts, adur, rels, s0)
        if data_dt is None:  # closed project: status as of the day after the last finish
            dd = efa[n - 1] + 1
            data_dt = iso(cal.date(dd - 1))
        else:
            dd = cal.index(dt.date.fromisoformat(data_dt)) + 1
        state, fixed, rem, pct, as_i, af_i = {}, {}, {}, {}, {}, {}
        for i in range(n):
            if efa[i] < dd or (adur[i] == 0 and esa[i] < dd):
                state[i] = "CP"
                fixed[i] = (esa[i], efa[i])
                rem[i], pct[i] = 0, 100.0
                as_i[i], af_i[i] = esa[i], efa[i]
            elif esa[i] < dd:
                state[i] = "IP"
                rem[i] = efa[i] - dd
                fixed[i] = (esa[i], dd + rem[i])
                pct[i] = float(min(95, max(5, round(100 * (dd - esa[i]) / adur[i] / 5) * 5)))
                as_i[i], af_i[i] = esa[i], None
            else:
                state[i] = "NS"
                rem[i], pct[i] = od[i], 0.0
                as_i[i] = af_i[i] = None
        es, ef = forward(acts, od, rels, s0, fixed=fixed, floor=dd)
        # backward pass from the contract finish
        lf = {}
        succs = {}
        for a, b, typ, lag in rels:
            succs.setdefault(a, []).append((b, typ, lag))
        dur_now = {i: ef[i] - es[i] for i in range(n)}
        for i in reversed(range(n)):
            v = cf_idx
            for b, typ, lag in succs.get(i, []):
                if state[b] == "CP":
                    continue
                ls_b = lf[b] - (rem[b] if state[b] == "IP" else dur_now[b])
                if typ == "FS":
                    v = min(v, ls_b - lag)
                elif typ == "SS":
                    v = min(v, ls_b - lag + dur_now[i])
                elif typ == "FF":
                    v = min(v, lf[b] - lag)
            lf[i] = v
        tf, ff = {}, {}
        for i in range(n):
            if state[i] == "CP":
                tf[i] = ff[i] = None
                continue
            tf[i] = lf[i] - ef[i]
            slack = cf_idx - ef[i]
            for b, typ, lag in succs.get(i, []):
                if typ == "FS":
                    slack = min(slack, es[b] - lag - ef[i])
                elif typ == "SS":
                    slack = min(slack, es[b] - lag - es[i])
                elif typ == "FF":
                    slack = min(slack, ef[b] - lag - ef[i])
            ff[i] = max(0, min(slack, tf[i]))

        def day_s(i):
            return iso(cal.date(i))

        def day_f(s, f):  # finish date of a span [s, f); a milestone sits on its predecessor's finish day
            if f > s:
                return iso(cal.date(f - 1))
            return iso(cal.date(s - 1 if s > s0 else s))

        fcst = day_f(es[n - 1], ef[n - 1])
        if stat == "C":
            fcst = day_f(as_i[n - 1], af_i[n - 1])
        cntr = iso(cal.date(cf_idx - 1))
        con.execute("INSERT INTO prj VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (pid, pcd, pnm, clnt, pm, sect, stat, loc, st, cntr, fcst, data_dt, float(bud), cid))
        # WBS: root, phases, groups
        wbs_id += 1
        root = wbs_id
        con.execute("INSERT INTO wbs_node VALUES (?,?,?,?,?,?,?)", (root, pid, None, pcd, pnm, 1, pm))
        _, phases, _ = TEMPLATES[tpl]
        node_of = {}
        for p, (phcd, phnm, groups) in enumerate(phases):
            wbs_id += 1
            ph_node = wbs_id
            con.execute("INSERT INTO wbs_node VALUES (?,?,?,?,?,?,?)",
                        (ph_node, pid, root, f"{pcd}.{phcd}", phnm, 2, rng.choice(RSK_OWNERS)))
            for g, (gnm, _) in enumerate(groups):
                if gnm is None:
                    node_of[(p, g)] = ph_node
                    continue
                wbs_id += 1
                con.execute("INSERT INTO wbs_node VALUES (?,?,?,?,?,?,?)",
                            (wbs_id, pid, ph_node, f"{pcd}.{phcd}.{g + 1}", gnm, 3, None))
                node_of[(p, g)] = wbs_id
        ids = {}
        first_id = act_id + 1
        for i, (name, dur, p, g) in enumerate(acts):
            act_id += 1
            ids[i] = act_id
            typ = "M" if dur == 0 else "T"
            node = root if p is None else node_of[(p, g)]
            code = f"{pcd}{1000 + 10 * i}"
            crit = "Y" if tf[i] is not None and tf[i] <= 0 else "N"
            ckind = cdate = None
            if i == n - 1:
                ckind, cdate = "FNLT", cntr
            elif i > 0 and rng.random() < 0.07:
                ckind, cdate = "SNET", day_s(es[i])
            ds = day_f if dur == 0 else (lambda s, f: day_s(s))
            if state[i] == "CP":
                ls_s, lf_s = ds(as_i[i], af_i[i]), day_f(as_i[i], af_i[i])
            else:
                ls_i = lf[i] - (rem[i] if state[i] == "IP" else od[i])
                ls_s, lf_s = ds(ls_i, lf[i]), day_f(ls_i, lf[i])
            con.execute("INSERT INTO act VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                        (act_id, pid, node, code, name, typ, state[i], od[i], rem[i], ds(es[i], ef[i]),
                         day_f(es[i], ef[i]), ls_s, lf_s,
                         ds(as_i[i], af_i[i]) if as_i[i] is not None else None,
                         day_f(as_i[i], af_i[i]) if af_i[i] is not None else None,
                         tf[i], ff[i], pct[i], crit, ckind, cdate, cid))
        for a, b, typ, lag in rels:
            rel_id += 1
            if state[b] == "CP" or state[a] == "CP" and typ != "FS":
                drv = "N"
            elif typ == "FS":
                drv = "Y" if ef[a] + lag == es[b] else "N"
            elif typ == "SS":
                drv = "Y" if es[a] + lag == es[b] else "N"
            else:
                drv = "Y" if ef[a] + lag == ef[b] else "N"
            con.execute("INSERT INTO act_rel VALUES (?,?,?,?,?,?)", (rel_id, ids[a], ids[b], typ, lag, drv))
        # resources
        for i, (name, dur, p, g) in enumerate(acts):
            if dur == 0:
                continue
            low = name.lower() + " "
            codes = []
            for keys, rcodes in RSRC_RULES:
                if any(k in low for k in keys):
                    codes = rcodes
                    break
            if not codes:
                codes = ["GEN-1"]
            pick = codes[:1] + [c for c in codes[1:] if rng.random() < 0.5]
            for c in pick:
                asg_id += 1
                rid, rate = rsrc_ids[c]
                units = 1 if RSRC[rid - 1][2] == "E" else rng.randint(2, RSRC[rid - 1][5])
                plan = float(dur * hr_d * units) if RSRC[rid - 1][2] == "L" else float(dur * min(hr_d, 10))
                done = pct[i] / 100
                act_hr = round(plan * done * rng.uniform(0.85, 1.4), 1)
                rem_hr = 0.0 if state[i] == "CP" else round(plan * (1 - done), 1)
                con.execute("INSERT INTO rsrc_asg VALUES (?,?,?,?,?,?,?,?,?)",
                            (asg_id, ids[i], rid, units, plan, act_hr, rem_hr, round(plan * rate, 2),
                             round(act_hr * rate, 2)))
        # baselines: BL0 = the as-planned pass; a re-baseline for three projects
        bls = [(0, "Original baseline", es0, ef0, od, st_d - dt.timedelta(days=14), clnt)]
        if pcd in ("KRB", "HLT", "SMH"):
            mix = [(a + b) // 2 if a else 0 for a, b in zip(od, adur)]
            es1, ef1 = forward(acts, mix, rels, s0)
            cap = cal.date(min(dd - 1, s0 + (dd - s0) * 2 // 3))
            bls.append((1, "Re-baseline after " + {"KRB": "utility diversion delay", "HLT": "launch shaft delay",
                                                  "SMH": "design change CE-14"}[pcd], es1, ef1, mix, cap, pm))
        for k, (no, nm, bes, bef, bdur, cap, who) in enumerate(bls):
            bl_id += 1
            con.execute("INSERT INTO bl VALUES (?,?,?,?,?,?,?)",
                        (bl_id, pid, no, nm, iso(cap), who, "Y" if k == len(bls) - 1 else "N"))
            for i in range(n):
                bst = day_f(bes[i], bef[i]) if bdur[i] == 0 else day_s(bes[i])
                con.execute("INSERT INTO bl_act VALUES (?,?,?,?,?)",
                            (bl_id, ids[i], bst, day_f(bes[i], bef[i]), bdur[i]))
        # risks touching several activities
        names = [a[0].lower() for a in acts]
        for k, (title, cat, keys) in enumerate(RISKS[tpl], 1):
            rsk_id += 1
            hit = [ids[i] for i, nm in enumerate(names) if any(key in nm for key in keys)]
            sev = rng.choice([1, 2, 3, 3, 4, 4, 5])
            if stat == "C":
                rstat = "X"
            elif stat == "P":
                rstat = "O"
            else:
                rstat = rng.choice(["O", "O", "O", "T", "X"])
            raised = cal.date(max(s0 - 20, 0) + rng.randint(0, max(1, min(dd, ef[n - 1]) - s0) // 2))
            raised = min(raised, dt.date.fromisoformat(data_dt) - dt.timedelta(days=rng.randint(10, 60)))
            con.execute("INSERT INTO rsk VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                        (rsk_id, pid, f"R-{pcd}-{k:02d}", title, cat, sev, rng.choice([10, 20, 30, 40, 50, 70]),
                         rng.choice([5, 10, 15, 20, 30, 45]) * (2 if sev >= 4 else 1),
                         float(rng.randint(2, 60) * 5000 * sev), rstat, rng.choice([pm, pm, PLANNERS[pcd]]), iso(raised)))
            for a in hit:
                con.execute("INSERT INTO rsk_act VALUES (?,?)", (rsk_id, a))
        # weekly progress updates (Fridays) over the last ten weeks up to the data date
        data_d = dt.date.fromisoformat(data_dt)
        fri = data_d - dt.timedelta(days=(data_d.weekday() - 4) % 7)
        weeks = [fri - dt.timedelta(days=7 * w) for w in range(9, -1, -1)]
        for i in range(n):
            if state[i] == "NS" or od[i] == 0:
                continue
            a_s = cal.date(as_i[i])
            a_f = cal.date(af_i[i] - 1) if af_i[i] is not None else None
            for w in weeks:
                if w < a_s or (a_f is not None and w - dt.timedelta(days=6) > a_f):
                    continue
                if a_f is not None and w >= a_f:
                    wpct, wrd = 100.0, 0
                else:
                    gone = len([x for x in cal.days[as_i[i]:as_i[i] + adur[i]] if x <= w])
                    wpct = float(min(95, max(5, round(100 * gone / adur[i] / 5) * 5)))
                    wrd = max(1, adur[i] - gone)
                if state[i] == "IP" and w == weeks[-1]:
                    wpct, wrd = pct[i], rem[i]
                upd_id += 1
                cmt = rng.choice(COMMENTS) if rng.random() < 0.3 else None
                con.execute("INSERT INTO prg_upd VALUES (?,?,?,?,?,?,?)",
                            (upd_id, ids[i], iso(w), wpct, wrd, PLANNERS[pcd], cmt))
        # non-conformance reports on started work
        started = [i for i in range(n) if state[i] != "NS" and od[i] > 0]
        for k in range(min(len(started), rng.randint(2, 6)) if started else 0):
            i = rng.choice(started)
            low = names[i]
            cands = [c for c in NCRS if any(key in low for key in c[2]) and c[2] != ("",)] or NCRS[-3:]
            title, sevc, _ = rng.choice(cands)
            ncr_id += 1
            rsd = cal.date(as_i[i] + rng.randint(0, max(0, min(dd, ef[i]) - as_i[i] - 1)))
            closed = None
            nstat = rng.choice(["O", "C", "C", "V"]) if stat != "C" else "C"
            if nstat == "C":
                closed = min(rsd + dt.timedelta(days=rng.randint(3, 40)), data_d)
            con.execute("INSERT INTO ncr VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                        (ncr_id, pid, ids[i], f"NCR-{pcd}-{k + 1:03d}", title, sevc, nstat, iso(rsd), iso(closed),
                         rng.choice(INSPECTORS), float(rng.randint(1, 40) * 750 if nstat != "V" else 0)))
        assert act_id - first_id + 1 == n
    con.commit()
    return con


TABLE_META = {
    "cal": ("Work calendars (cal = calendar): working days per week and hours per working day", {
        "cal_id": ("Calendar identifier", "INTEGER"),
        "cal_cd": ("Calendar code, e.g. STD5, EXT6, CNT7, OUT5", "TEXT"),
        "cal_nm": ("Calendar name", "TEXT"),
        "wk_d": ("Working days per week (wk_d = week days): 5, 6 or 7", "INTEGER"),
        "hr_d": ("Working hours per working day (hr_d = hours per day)", "REAL"),
    }),
    "cal_exc": ("Calendar exceptions (cal_exc): public holidays, site shutdowns and extra working days of a "
                "calendar", {
        "exc_id": ("Exception identifier", "INTEGER"),
        "cal_id": ("Calendar (cal.cal_id)", "INTEGER"),
        "exc_dt": ("Date of the exception", "DATE"),
        "exc_typ": ("Exception type code: H = public (bank) holiday, non-working; S = site shutdown, "
                    "non-working; W = extra working day (e.g. a Saturday worked)", "TEXT"),
        "exc_desc": ("Description of the exception, e.g. Good Friday, Christmas site shutdown", "TEXT"),
    }),
    "prj": ("Projects (prj = project): client, project manager, status, contract and forecast finish, "
            "data date and budget", {
        "prj_id": ("Project identifier", "INTEGER"),
        "prj_cd": ("Three-letter project code, also the prefix of activity codes, e.g. KRB", "TEXT"),
        "prj_nm": ("Project name", "TEXT"),
        "clnt_nm": ("Client name (clnt = client)", "TEXT"),
        "pm_nm": ("Project manager's name (pm = project manager)", "TEXT"),
        "sect_cd": ("Sector code: TRN = transport, HLT = healthcare, DC = data centre, EDU = education, "
                    "PWR = power, WTR = water", "TEXT"),
        "stat_cd": ("Project status code: A = active, H = on hold (suspended), C = closed (completed), "
                    "P = proposed (awarded, not yet started)", "TEXT"),
        "loc_nm": ("Location (town) of the site", "TEXT"),
        "st_dt": ("Project start date (st = start)", "DATE"),
        "cntr_fin_dt": ("Contract finish date: contractual completion (cntr = contract, fin = finish)", "DATE"),
        "fcst_fin_dt": ("Forecast finish date from the latest schedule update; actual finish once closed "
                        "(fcst = forecast)", "DATE"),
        "data_dt": ("Data date (status date) of the latest schedule update: progress is recorded up to it",
                    "DATE"),
        "bud_amt": ("Project budget in GBP (bud = budget, amt = amount)", "REAL"),
        "cal_id": ("Project default calendar (cal.cal_id)", "INTEGER"),
    }),
    "wbs_node": ("Work breakdown structure (WBS) nodes of a project, a hierarchy: level 1 is the project "
                 "root, level 2 the phases, level 3 the areas or work fronts within a phase", {
        "wbs_id": ("WBS node identifier", "INTEGER"),
        "prj_id": ("Project (prj.prj_id)", "INTEGER"),
        "parent_id": ("Parent WBS node (wbs_node.wbs_id); null for the project root", "INTEGER"),
        "wbs_cd": ("WBS code: project code, phase code and area number, e.g. KRB.SUB.2", "TEXT"),
        "wbs_nm": ("WBS node name, e.g. Substructure, North abutment", "TEXT"),
        "lvl_no": ("Level in the hierarchy: 1 = project, 2 = phase, 3 = area", "INTEGER"),
        "own_nm": ("Owner responsible for the node (own = owner); null on areas", "TEXT"),
    }),
    "act": ("Activities (act = activity) of the schedule with early and late dates, actual dates, "
            "durations, total and free float, percent complete and critical flag", {
        "act_id": ("Activity identifier", "INTEGER"),
        "prj_id": ("Project (prj.prj_id)", "INTEGER"),
        "wbs_id": ("WBS node the activity belongs to (wbs_node.wbs_id)", "INTEGER"),
        "act_cd": ("Activity code: project code and a number, e.g. KRB1100", "TEXT"),
        "act_nm": ("Activity name", "TEXT"),
        "act_typ": ("Activity type code: T = task, M = milestone (zero duration)", "TEXT"),
        "stat_cd": ("Activity status code: NS = not started, IP = in progress, CP = complete", "TEXT"),
        "od_d": ("Original duration in working days (od = original duration, _d = days)", "INTEGER"),
        "rd_d": ("Remaining duration in working days (rd = remaining duration); 0 once complete", "INTEGER"),
        "es_dt": ("Early start date (es)", "DATE"),
        "ef_dt": ("Early finish date (ef); the forecast finish of the activity", "DATE"),
        "ls_dt": ("Late start date (ls)", "DATE"),
        "lf_dt": ("Late finish date (lf)", "DATE"),
        "as_dt": ("Actual start date (as); null until started", "DATE"),
        "af_dt": ("Actual finish date (af); null until complete", "DATE"),
        "tf_d": ("Total float in working days (tf = total float), late finish against early finish measured "
                 "to the contract finish; negative when the activity is behind; null once complete", "INTEGER"),
        "ff_d": ("Free float in working days (ff = free float): slip allowed before any successor moves; "
                 "never negative; null once complete", "INTEGER"),
        "pct": ("Physical percent complete, 0 to 100", "REAL"),
        "crit_yn": ("Critical flag: Y when the activity is on the critical path (total float <= 0), else N",
                    "TEXT"),
        "cstr_typ": ("Date constraint type code: SNET = start no earlier than, FNLT = finish no later than; "
                     "null when unconstrained", "TEXT"),
        "cstr_dt": ("Date of the constraint", "DATE"),
        "cal_id": ("Calendar of the activity (cal.cal_id)", "INTEGER"),
    }),
    "act_rel": ("Activity relationships (logic links): each row ties a predecessor activity to a successor "
                "activity with a relationship type and a lag", {
        "rel_id": ("Relationship identifier", "INTEGER"),
        "pred_act_id": ("Predecessor activity (act.act_id)", "INTEGER"),
        "succ_act_id": ("Successor activity (act.act_id)", "INTEGER"),
        "rel_typ": ("Relationship type code: FS = finish to start, SS = start to start, FF = finish to "
                    "finish, SF = start to finish", "TEXT"),
        "lag_d": ("Lag in working days; negative for a lead", "INTEGER"),
        "drv_yn": ("Driving flag: Y when the link drives the successor's early date, else N", "TEXT"),
    }),
    "rsrc": ("Resources (rsrc = resource): labour crews and plant/equipment, with trade and hourly rate", {
        "rsrc_id": ("Resource identifier", "INTEGER"),
        "rsrc_cd": ("Resource code, e.g. ELEC-A, CRN-100", "TEXT"),
        "rsrc_nm": ("Resource name, e.g. Electricians Team A, 100t Mobile Crane", "TEXT"),
        "rsrc_typ": ("Resource type code: L = labour, E = equipment (plant)", "TEXT"),
        "trd_cd": ("Trade code (trd = trade): DES = design, ELE = electrical, MEC = mechanical, CIV = civils "
                   "and concrete, STL = structural steel, HVE = high voltage, TUN = tunnelling, FIN = finishes, "
                   "CSU = commissioning and start-up, PLT = plant", "TEXT"),
        "rate_hr": ("Cost rate per hour in GBP (per person-hour for labour, per machine-hour for plant)",
                    "REAL"),
        "max_u": ("Maximum units available (people in the crew, or machines)", "INTEGER"),
        "vnd_nm": ("Vendor (subcontractor or hire company) supplying the resource (vnd = vendor); null for "
                   "direct labour and owned plant", "TEXT"),
    }),
    "rsrc_asg": ("Resource assignments (asg = assignment): a resource assigned to an activity with planned, "
                 "actual and remaining hours and budgeted and actual cost", {
        "asg_id": ("Assignment identifier", "INTEGER"),
        "act_id": ("Activity (act.act_id)", "INTEGER"),
        "rsrc_id": ("Resource (rsrc.rsrc_id)", "INTEGER"),
        "units": ("Units assigned (people or machines)", "INTEGER"),
        "plan_hr": ("Planned (budgeted) hours", "REAL"),
        "act_hr": ("Actual hours to date", "REAL"),
        "rem_hr": ("Remaining hours", "REAL"),
        "bud_amt": ("Budgeted cost in GBP (planned hours times rate)", "REAL"),
        "act_amt": ("Actual cost to date in GBP (actual hours times rate)", "REAL"),
    }),
    "bl": ("Baselines (bl = baseline): approved snapshots of a project schedule; bl_no 0 is the original "
           "baseline, higher numbers are re-baselines", {
        "bl_id": ("Baseline identifier", "INTEGER"),
        "prj_id": ("Project (prj.prj_id)", "INTEGER"),
        "bl_no": ("Baseline number: 0 = original baseline, 1 = first re-baseline", "INTEGER"),
        "bl_nm": ("Baseline name", "TEXT"),
        "cap_dt": ("Date the baseline was captured (cap = captured)", "DATE"),
        "aprv_by": ("Who approved the baseline (aprv = approved)", "TEXT"),
        "cur_yn": ("Current baseline flag: Y for the baseline progress is measured against, else N", "TEXT"),
    }),
    "bl_act": ("Baseline activity dates: the start, finish and duration of each activity in a baseline", {
        "bl_id": ("Baseline (bl.bl_id)", "INTEGER"),
        "act_id": ("Activity (act.act_id)", "INTEGER"),
        "bl_st_dt": ("Baseline start date", "DATE"),
        "bl_fin_dt": ("Baseline finish date", "DATE"),
        "bl_od_d": ("Baseline original duration in working days", "INTEGER"),
    }),
    "rsk": ("Risk register (rsk = risk): schedule and cost risks of a project with severity, probability "
            "and impact", {
        "rsk_id": ("Risk identifier", "INTEGER"),
        "prj_id": ("Project (prj.prj_id)", "INTEGER"),
        "rsk_cd": ("Risk reference, e.g. R-HLT-02", "TEXT"),
        "rsk_ttl": ("Risk title (ttl = title)", "TEXT"),
        "cat_cd": ("Risk category code: ENV = environmental, SUP = supply chain, GEO = ground conditions, "
                   "STK = stakeholder and permits, DES = design, TEC = technical", "TEXT"),
        "sev": ("Severity on a 1 to 5 scale: 1 = negligible, 2 = minor, 3 = moderate, 4 = major, "
                "5 = severe", "INTEGER"),
        "prob_pct": ("Probability of occurrence in percent", "INTEGER"),
        "imp_d": ("Schedule impact in working days if the risk occurs (imp = impact)", "INTEGER"),
        "imp_amt": ("Cost impact in GBP if the risk occurs", "REAL"),
        "stat_cd": ("Risk status code: O = open, T = treated (mitigation in place, still live), "
                    "X = closed", "TEXT"),
        "own_nm": ("Risk owner", "TEXT"),
        "rsd_dt": ("Date the risk was raised (rsd = raised)", "DATE"),
    }),
    "rsk_act": ("Risk-activity links: the activities a risk would affect; one risk touches several "
                "activities", {
        "rsk_id": ("Risk (rsk.rsk_id)", "INTEGER"),
        "act_id": ("Affected activity (act.act_id)", "INTEGER"),
    }),
    "prg_upd": ("Progress updates (prg_upd): weekly progress reported per activity at each week ending "
                "(Friday) date", {
        "upd_id": ("Update identifier", "INTEGER"),
        "act_id": ("Activity (act.act_id)", "INTEGER"),
        "wk_end_dt": ("Week ending date (Friday) of the update", "DATE"),
        "pct": ("Percent complete reported that week, 0 to 100", "REAL"),
        "rd_d": ("Remaining duration in working days reported that week", "INTEGER"),
        "upd_by": ("Planner who entered the update", "TEXT"),
        "cmt_txt": ("Planner's comment on the update; null when none", "TEXT"),
    }),
    "ncr": ("Non-conformance reports (NCR): quality defects raised against the work of an activity", {
        "ncr_id": ("NCR identifier", "INTEGER"),
        "prj_id": ("Project (prj.prj_id)", "INTEGER"),
        "act_id": ("Activity whose work is non-conforming (act.act_id)", "INTEGER"),
        "ncr_no": ("NCR number, e.g. NCR-KRB-003", "TEXT"),
        "ncr_ttl": ("NCR title: the defect found", "TEXT"),
        "sev_cd": ("NCR severity code: MIN = minor, MAJ = major, CRT = critical", "TEXT"),
        "stat_cd": ("NCR status code: O = open, C = closed, V = void (withdrawn)", "TEXT"),
        "rsd_dt": ("Date raised", "DATE"),
        "cls_dt": ("Date closed (cls = closed); null while open or void", "DATE"),
        "rsd_by": ("Inspector who raised the NCR", "TEXT"),
        "rwk_amt": ("Rework cost in GBP (rwk = rework)", "REAL"),
    }),
}

RELATIONSHIPS = [
    ("cal_exc", "cal", "cal_exc.cal_id = cal.cal_id", "Exceptions of a calendar"),
    ("prj", "cal", "prj.cal_id = cal.cal_id", "Default calendar of a project"),
    ("wbs_node", "prj", "wbs_node.prj_id = prj.prj_id", "WBS nodes of a project"),
    ("wbs_node", "wbs_node", "wbs_node.parent_id = wbs_node.wbs_id", "Parent node in the WBS hierarchy"),
    ("act", "prj", "act.prj_id = prj.prj_id", "Activities of a project"),
    ("act", "wbs_node", "act.wbs_id = wbs_node.wbs_id", "WBS node of an activity"),
    ("act", "cal", "act.cal_id = cal.cal_id", "Calendar of an activity"),
    ("act_rel", "act", "act_rel.pred_act_id = act.act_id", "Predecessor activity of a relationship"),
    ("act_rel", "act", "act_rel.succ_act_id = act.act_id", "Successor activity of a relationship"),
    ("rsrc_asg", "act", "rsrc_asg.act_id = act.act_id", "Activity of an assignment"),
    ("rsrc_asg", "rsrc", "rsrc_asg.rsrc_id = rsrc.rsrc_id", "Resource of an assignment"),
    ("bl", "prj", "bl.prj_id = prj.prj_id", "Baselines of a project"),
    ("bl_act", "bl", "bl_act.bl_id = bl.bl_id", "Baseline an activity's baseline dates belong to"),
    ("bl_act", "act", "bl_act.act_id = act.act_id", "Activity of a baseline record"),
    ("rsk", "prj", "rsk.prj_id = prj.prj_id", "Risks of a project"),
    ("rsk_act", "rsk", "rsk_act.rsk_id = rsk.rsk_id", "Risk of a risk-activity link"),
    ("rsk_act", "act", "rsk_act.act_id = act.act_id", "Activity a risk affects"),
    ("prg_upd", "act", "prg_upd.act_id = act.act_id", "Weekly progress of an activity"),
    ("ncr", "prj", "ncr.prj_id = prj.prj_id", "NCRs of a project"),
    ("ncr", "act", "ncr.act_id = act.act_id", "Activity an NCR is raised against"),
]

BUSINESS_RULES = {
    ("cal_exc", "exc_typ"): ["Allowed Values: H (public holiday), S (site shutdown), W (extra working day)"],
    ("prj", "stat_cd"): ["Allowed Values: A (active), H (on hold), C (closed), P (proposed)"],
    ("prj", "sect_cd"): ["Allowed Values: TRN, HLT, DC, EDU, PWR, WTR"],
    ("wbs_node", "lvl_no"): ["Allowed Values: 1 (project), 2 (phase), 3 (area)"],
    ("act", "act_typ"): ["Allowed Values: T (task), M (milestone)"],
    ("act", "stat_cd"): ["Allowed Values: NS (not started), IP (in progress), CP (complete)"],
    ("act", "crit_yn"): ["Critical: crit_yn = 'Y' when tf_d <= 0 and the activity is not complete"],
    ("act", "tf_d"): ["Behind programme: tf_d < 0"],
    ("act", "cstr_typ"): ["Allowed Values: SNET, FNLT"],
    ("act_rel", "rel_typ"): ["Allowed Values: FS, SS, FF, SF"],
    ("act_rel", "drv_yn"): ["Allowed Values: Y, N"],
    ("rsrc", "rsrc_typ"): ["Allowed Values: L (labour), E (equipment)"],
    ("rsrc", "trd_cd"): ["Allowed Values: DES, ELE, MEC, CIV, STL, HVE, TUN, FIN, CSU, PLT"],
    ("bl", "cur_yn"): ["Allowed Values: Y, N; one current baseline per project"],
    ("bl", "bl_no"): ["Original baseline: bl_no = 0"],
    ("rsk", "stat_cd"): ["Allowed Values: O (open), T (treated), X (closed); live risks are O and T"],
    ("rsk", "cat_cd"): ["Allowed Values: ENV, SUP, GEO, STK, DES, TEC"],
    ("rsk", "sev"): ["Range: 1 (negligible) to 5 (severe)"],
    ("ncr", "sev_cd"): ["Allowed Values: MIN (minor), MAJ (major), CRT (critical)"],
    ("ncr", "stat_cd"): ["Allowed Values: O (open), C (closed), V (void)"],
}

CONCEPTS = {
    ("act", "tf_d"): ["total_float", "critical_path"],
    ("act", "ff_d"): ["free_float"],
    ("act", "crit_yn"): ["critical_path"],
    ("act", "pct"): ["percent_complete"],
    ("act", "ef_dt"): ["schedule_slippage"],
    ("act_rel", "lag_d"): ["lag"],
    ("act_rel", "drv_yn"): ["driving_path"],
    ("bl_act", "bl_fin_dt"): ["baseline_variance", "schedule_slippage"],
    ("rsk", "prob_pct"): ["risk_exposure"],
    ("rsk", "imp_d"): ["risk_exposure"],
    ("rsrc_asg", "act_amt"): ["cost_overrun"],
    ("rsrc_asg", "bud_amt"): ["cost_overrun"],
    ("prj", "fcst_fin_dt"): ["schedule_slippage"],
}

BUSINESS_CONCEPTS = {
    "total_float": "Working days an activity can slip without delaying the contract finish; negative total "
                   "float means the activity is already behind",
    "free_float": "Working days an activity can slip without delaying any of its successors",
    "critical_path": "The chain of activities with zero or negative total float that sets the finish date",
    "driving_path": "The relationships that actually determine a successor's early dates",
    "percent_complete": "Physical progress of an activity, 0 to 100",
    "lag": "Waiting time on a relationship between two activities; a negative lag is a lead",
    "baseline_variance": "Current (early or actual) dates of an activity against its baseline dates",
    "schedule_slippage": "How far a forecast finish has moved past the baseline or contract finish",
    "risk_exposure": "Probability times impact: prob_pct / 100 * imp_d days (or * imp_amt for cost)",
    "cost_overrun": "Actual cost above the budgeted cost of an assignment or activity",
}

QUERY_EXAMPLES = [
    ("SELECT prj_cd, prj_nm, pm_nm, cntr_fin_dt, fcst_fin_dt FROM prj WHERE stat_cd = 'A' ORDER BY fcst_fin_dt;",
     "Active projects with contract and forecast finish", "simple"),
    ("SELECT a.act_cd, a.act_nm, a.tf_d, a.ef_dt FROM act a JOIN prj p ON p.prj_id = a.prj_id "
     "WHERE p.prj_cd = 'KRB' AND a.crit_yn = 'Y' ORDER BY a.es_dt;",
     "Critical activities of one project", "simple"),
    ("SELECT a.act_cd, a.act_nm, a.stat_cd, a.ef_dt FROM act a WHERE a.stat_cd <> 'CP' AND a.ef_dt < '2025-12-31' "
     "ORDER BY a.ef_dt;",
     "Unfinished activities forecast to finish before a given date", "simple"),
    ("SELECT p.act_cd AS pred_cd, p.act_nm AS pred_nm, r.rel_typ, r.lag_d FROM act_rel r "
     "JOIN act p ON p.act_id = r.pred_act_id JOIN act s ON s.act_id = r.succ_act_id WHERE s.act_cd = 'SMH1150';",
     "Predecessors of one activity with relationship type and lag", "medium"),
    ("SELECT r.rsrc_nm, SUM(g.plan_hr) AS plan_hr, SUM(g.act_hr) AS act_hr FROM rsrc r "
     "JOIN rsrc_asg g ON g.rsrc_id = r.rsrc_id GROUP BY r.rsrc_id, r.rsrc_nm ORDER BY plan_hr DESC;",
     "Planned against actual hours per resource", "medium"),
    ("SELECT a.act_cd, a.act_nm, b.bl_fin_dt, a.ef_dt, julianday(a.ef_dt) - julianday(b.bl_fin_dt) AS slip_days "
     "FROM act a JOIN bl_act b ON b.act_id = a.act_id JOIN bl ON bl.bl_id = b.bl_id "
     "WHERE bl.cur_yn = 'Y' AND a.prj_id = 3 ORDER BY slip_days DESC;",
     "Finish slippage of each activity of one project against its current baseline", "medium"),
    ("SELECT k.rsk_cd, k.rsk_ttl, k.sev, k.prob_pct * k.imp_d / 100.0 AS exp_d, COUNT(x.act_id) AS n_act "
     "FROM rsk k LEFT JOIN rsk_act x ON x.rsk_id = k.rsk_id WHERE k.stat_cd IN ('O', 'T') "
     "GROUP BY k.rsk_id ORDER BY exp_d DESC;",
     "Live risks ranked by schedule exposure with the number of activities each touches", "medium"),
    ("SELECT w.wbs_nm, COUNT(*) AS n_act, MIN(a.tf_d) AS min_tf FROM wbs_node w JOIN act a ON a.wbs_id = w.wbs_id "
     "WHERE w.prj_id = 1 GROUP BY w.wbs_id, w.wbs_nm;",
     "Activity count and worst total float per WBS node of one project", "medium"),
]

KEYWORDS = {
    "float": ["act.tf_d", "act.ff_d", "total_float", "free_float"],
    "slack": ["act.tf_d", "act.ff_d", "total_float"],
    "critical": ["act.crit_yn", "critical_path"],
    "predecessor": ["act_rel.pred_act_id", "act_rel"],
    "successor": ["act_rel.succ_act_id", "act_rel"],
    "lag": ["act_rel.lag_d", "lag"],
    "baseline": ["bl", "bl_act", "baseline_variance"],
    "risk": ["rsk", "rsk_act", "risk_exposure"],
    "resource": ["rsrc", "rsrc_asg"],
    "crew": ["rsrc", "rsrc_asg"],
    "holiday": ["cal_exc"],
    "calendar": ["cal", "cal_exc"],
    "progress": ["prg_upd", "act.pct"],
    "wbs": ["wbs_node"],
    "ncr": ["ncr"],
    "defect": ["ncr"],
    "milestone": ["act.act_typ"],
}

TERMINOLOGY = {
    "TF": "Total float",
    "FF": "Free float, or a finish to finish relationship",
    "FS": "Finish to start relationship",
    "SS": "Start to start relationship",
    "SF": "Start to finish relationship",
    "ES / EF": "Early start / early finish",
    "LS / LF": "Late start / late finish",
    "OD": "Original duration",
    "RD": "Remaining duration",
    "data date": "Date up to which progress is recorded; remaining work is scheduled after it",
    "SNET": "Start no earlier than constraint",
    "FNLT": "Finish no later than constraint",
    "NCR": "Non-conformance report",
    "WBS": "Work breakdown structure",
    "lead": "A negative lag",
    "re-baseline": "A later approved baseline replacing the original as the current one",
}

RELATED_TERMS = {
    "prj": "project, job, scheme, contract",
    "act": "activity, task, programme line, milestone",
    "act_rel": "logic, link, dependency, predecessor, successor",
    "rsrc": "crew, gang, team, trade, plant, equipment, labour",
    "rsrc_asg": "allocation, hours, cost",
    "rsk": "risk register, threat",
    "ncr": "defect, quality issue, non-conformance",
    "prg_upd": "weekly update, progress report",
    "cal_exc": "holiday, bank holiday, shutdown, non-working day",
    "wbs_node": "phase, area, work front, breakdown",
    "bl": "baseline, target",
}


def build_metadata(con):
    tables = describe_tables(con, TABLE_META, BUSINESS_RULES, CONCEPTS, RELATED_TERMS)
    return metadata_document(tables, RELATIONSHIPS, BUSINESS_CONCEPTS, QUERY_EXAMPLES, KEYWORDS, TERMINOLOGY)


def main(argv=None):
    return build_main(argv, doc=__doc__, out=default_out("holdout6"), db_name=DB_NAME, meta_name=META_NAME,
                      questions=os.path.join(HERE, "questions.json"), generate=generate,
                      build_metadata=build_metadata)


if __name__ == "__main__":
    sys.exit(main())
