"""The prompt evaluation command (bench/eval_prompt.py): what it reads out of a gold statement,
what it counts as shown in a prompt, and a whole run on a three-table database."""

import json
import pathlib
import re
import sqlite3
import sys

import pytest

pytest.importorskip("sqlglot")

REPO = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(REPO / "bench"))
import eval_prompt as ep  # noqa: E402

DOC = {
    "tables": {
        "projects": {"description": "Projects of the portfolio", "domain": "pm", "columns": {
            "project_id": {"description": "Identifier", "data_type": "INTEGER"},
            "project_name": {"description": "Name of the project", "data_type": "TEXT"},
            "status": {"description": "Active or On Hold", "data_type": "TEXT"}}},
        "tasks": {"description": "Tasks of a project", "domain": "pm", "columns": {
            "task_id": {"description": "Identifier", "data_type": "INTEGER"},
            "project_id": {"description": "Project of the task", "data_type": "INTEGER"},
            "task_name": {"description": "Name of the task", "data_type": "TEXT"},
            "state": {"description": "Open, Done or Closed", "data_type": "TEXT"}}},
        "calendars": {"description": "Working calendars", "domain": "scheduling", "columns": {
            "calendar_id": {"description": "Identifier", "data_type": "INTEGER"},
            "calendar_name": {"description": "Name of the calendar", "data_type": "TEXT"}}},
    },
    "relationships": [{"from_table": "tasks", "to_table": "projects",
                       "join_condition": "tasks.project_id = projects.project_id", "description": ""}],
}
ROWS = """
CREATE TABLE projects (project_id INTEGER PRIMARY KEY, project_name TEXT, status TEXT);
CREATE TABLE tasks (task_id INTEGER PRIMARY KEY, project_id INTEGER, task_name TEXT, state TEXT);
CREATE TABLE calendars (calendar_id INTEGER PRIMARY KEY, calendar_name TEXT);
INSERT INTO projects VALUES (1, 'Harbor Bridge', 'Active'), (2, 'Old Mill', 'On Hold');
INSERT INTO tasks VALUES (1, 1, 'Piling', 'Done'), (2, 1, 'Deck', 'Open'), (3, 2, 'Survey', 'Closed');
INSERT INTO calendars VALUES (1, 'Standard'), (2, 'Night Shift');
"""
HARBOR_Q = "Which tasks of the harbor project are done or closed?"
HARBOR_SQL = ("SELECT t.task_name FROM tasks t JOIN projects p ON p.project_id = t.project_id "
              "WHERE p.project_name LIKE '%Harbor%' AND t.state IN ('Done', 'Closed')")
QUESTIONS = [
    {"question": "List all calendars", "difficulty": "easy", "gold_tables": ["calendars"],
     "gold_sql": "SELECT * FROM calendars"},
    {"question": "Which projects are on hold?", "difficulty": "easy", "gold_tables": ["projects"],
     "gold_sql": "SELECT project_name FROM projects WHERE status = 'On Hold'"},
    {"question": HARBOR_Q, "difficulty": "medium", "gold_tables": ["tasks", "projects"],
     "gold_sql": HARBOR_SQL},
    {"question": "What is the share price?", "difficulty": "easy", "gold_tables": [], "gold_sql": None,
     "answerable": False},
]
SCHEMA = ep.Schema({t: {c: v["data_type"] for c, v in r["columns"].items()}
                    for t, r in DOC["tables"].items()})


@pytest.fixture
def tiny(tmp_path):
    (tmp_path / "doc.json").write_text(json.dumps(DOC))
    (tmp_path / "q.json").write_text(json.dumps(QUESTIONS))
    with sqlite3.connect(tmp_path / "t.db") as db:
        db.executescript(ROWS)
    db.close()
    return tmp_path


# ---- the gold statement -------------------------------------------------------------------


class TestGold:
    def test_aliases_joins_and_values_compared_with_text_columns(self):
        gold = ep.parse_gold(HARBOR_SQL, SCHEMA, HARBOR_Q)
        assert gold.tables == ["tasks", "projects"]
        assert set(gold.columns) == {"tasks.task_name", "tasks.project_id", "tasks.state",
                                     "projects.project_id", "projects.project_name"}
        assert [(v.column, v.op, v.literal, v.text) for v in gold.values] == [
            ("projects.project_name", "LIKE", "%Harbor%", "Harbor"),
            ("tasks.state", "IN", "Done", "Done"), ("tasks.state", "IN", "Closed", "Closed")]
        # the question spells "harbor", "done" and "closed": case counts
        assert len(gold.needed_values) == 3
        assert not ep.parse_gold(HARBOR_SQL, SCHEMA, "Harbor tasks Done or Closed").needed_values
        # the bounds of a period the question names are dates, not stored values to find
        dated = ep.parse_gold("SELECT * FROM tasks WHERE state BETWEEN '2024-10-01' AND '2024-12-31 23:59' "
                              "OR state = 'Q4'", SCHEMA, "tasks in the last quarter of 2024")
        assert [v.literal for v in dated.needed_values] == ["Q4"]

    def test_correlated_subquery_star_and_non_text_comparisons(self):
        sql = ("SELECT p.project_name, COUNT(*) AS n FROM projects p WHERE NOT EXISTS (SELECT 1 FROM tasks "
               "WHERE tasks.project_id = p.project_id AND state = 'Open') AND p.project_id <> '3' ORDER BY n")
        gold = ep.parse_gold(sql, SCHEMA, "Which projects have no open task?")
        assert set(gold.columns) == {"projects.project_name", "projects.project_id",
                                     "tasks.project_id", "tasks.state"}
        assert [(v.column, v.op, v.literal) for v in gold.values] == [("tasks.state", "=", "Open")]
        assert ep.parse_gold("SELECT * FROM calendars", SCHEMA, "x").columns == []


# ---- what a prompt shows ------------------------------------------------------------------

PROMPT = """QUESTION: {q}

DATABASE CONTEXT:

Relevant Tables:
- tasks: Tasks of a project
- projects: Projects of the portfolio

Relevant Columns:
- tasks.task_name (TEXT): Name of the task
- tasks.state (TEXT): 'Open', 'Done' or 'Closed'
- projects.project_id (INTEGER): Identifier
- projects.project_name (TEXT): for example 'Harbor Bridge'

Table Relationships:
- tasks to projects: tasks.project_id = projects.project_id
"""


def test_a_prompt_shows_listed_tables_and_columns_and_quoted_values():
    gold = ep.parse_gold(HARBOR_SQL, SCHEMA, HARBOR_Q)
    cover = ep.coverage(gold, ep.read_prompt(PROMPT.format(q=HARBOR_Q)))
    # the join key named only by the relationship is not a listed column
    assert (cover.tables_shown, cover.missing_tables, cover.missing_columns) == (2, [], ["tasks.project_id"])
    assert cover.missing_values == [] and not cover.enough  # '%Harbor%' matches 'Harbor Bridge'

    fuller = PROMPT.replace("- tasks.state", "- tasks.project_id (INTEGER): Project\n- tasks.state")
    unquoted = fuller.replace("'Closed'", "Closed")
    assert ep.coverage(gold, ep.read_prompt(fuller)).enough
    cover = ep.coverage(gold, ep.read_prompt(unquoted))
    assert [v.literal for v in cover.missing_values] == ["Closed"]

    ai = ep.SightedAI(SCHEMA)
    ai.begin(ep.Item(ep.Question(HARBOR_Q, "medium", ["tasks", "projects"]), gold))
    assert ai.get_response_sync(fuller.format(q=HARBOR_Q)).startswith(HARBOR_SQL + "\nEXPLANATION:")
    guess = ai.get_response_sync(unquoted.format(q=HARBOR_Q))
    assert "IN ('Done', 'closed')" in guess and "LIKE '%Harbor%'" in guess
    with pytest.raises(RuntimeError):
        ai.get_response_sync(PROMPT.format(q="Statistical summary for " + HARBOR_Q))
    assert (len(ai.prompts), ai.exploring) == (3, 1)


# ---- a whole run ------------------------------------------------------------------------


def test_main_measures_the_keyword_prompts_and_the_sighted_answers(tiny, monkeypatch, capsys):
    monkeypatch.chdir(tiny)
    code = ep.main(["--metadata", "doc.json", "--db", "t.db", "--questions", "q.json", "--modes", "keyword",
                    "--sighted", "--show", "--json", "out.json"])
    out = capsys.readouterr().out
    assert code == 0
    assert not (tiny / "data").exists()  # the fix log stayed in the temporary directory

    outcomes = json.loads((tiny / "out.json").read_text())["modes"]["keyword"]["outcomes"]
    assert [o["question"] for o in outcomes] == [q["question"] for q in QUESTIONS[:3]]
    calendars, on_hold, harbor = outcomes
    assert calendars["enough"] and calendars["gold_columns"] == []
    assert on_hold["gold_values"] == [{"column": "projects.status", "op": "=", "literal": "On Hold",
                                       "needs_linking": True}]
    for o in outcomes:
        s = o["sighted"]
        assert s["first_right"] == o["enough"]  # a guess never yields the gold rows here
        assert s["final_right"]  # a correction prompt lists the tables and their sample rows
        assert s["requests"] == 1 + (not o["enough"]) and s["prompt_chars"] >= o["prompt_chars"]
        assert f"keyword: {'enough' if o['enough'] else 'missing'}" in out  # --show

    enough = sum(o["enough"] for o in outcomes) / 3
    assert re.search(rf"^keyword\s+all\s+3\s+.*\s{enough:.3f}\s+\d+\s+\d+$", out, re.M)
    assert re.search(rf"^keyword\s+all\s+3\s+{enough:.3f}\s+1\.000\s+", out, re.M)  # the sighted table


@pytest.mark.parametrize("sql, message", [
    (None, "an answerable question needs its 'gold_sql'"),
    ("SELECT FROM WHERE (", "sqlglot cannot parse"),
])
def test_main_refuses_a_question_without_a_readable_gold_statement(tiny, capsys, sql, message):
    (tiny / "q.json").write_text(json.dumps([{**QUESTIONS[0], "gold_sql": sql}]))
    code = ep.main(["--metadata", str(tiny / "doc.json"), "--db", str(tiny / "t.db"),
                    "--questions", str(tiny / "q.json")])
    captured = capsys.readouterr()
    assert code == 2 and message in captured.err and captured.out == ""
