"""Lexical linking as a host sees it: the `linking` argument and property, the context
record it produces, the question set over the sample database, and the evaluation command."""

import json
import os
import pathlib
import re
import sqlite3
import subprocess
import sys

import pytest

import Corvalt
from Corvalt.Atlanor import AtlanorService

REPO = pathlib.Path(__file__).resolve().parent.parent
SAMPLE = REPO / "data" / "enriched_project_metadata_cleaned.json"
DATABASE = REPO / "data" / "project_schedule.db"
QUESTIONS = REPO / "bench" / "questions" / "sample_questions.json"
EVAL = REPO / "bench" / "eval_linking.py"
ENV = {**os.environ, "PYTHONPATH": os.path.dirname(os.path.dirname(Corvalt.__file__))}

# The context record's keys as the default keyword search leaves them.
RECORD_KEYS = ["query", "database_objects", "business_rules", "relationships"]


def service(linking, **kwargs):
    s = AtlanorService(str(SAMPLE), linking=linking, **kwargs)
    s.build_graph()
    return s


def table_names(record):
    return [t["name"] for t in record["database_objects"]["tables"]]


# ---- the argument and the property ------------------------------------------------------


class TestLinkingArgument:
    def test_default_is_the_keyword_search_and_the_value_is_kept(self):
        assert AtlanorService().linking == "keyword"
        s = AtlanorService(linking="lexical")
        assert s.linking == "lexical"
        s.linking = "keyword"
        assert s.linking == "keyword"

    @pytest.mark.parametrize("value", ["Lexical", "", "bm25"])
    def test_an_unknown_mode_names_the_allowed_ones(self, value):
        with pytest.raises(ValueError, match=r"linking must be one of 'keyword', 'lexical', not '.*'"):
            AtlanorService(linking=value)
        s = AtlanorService(linking="lexical")
        with pytest.raises(ValueError, match="one of 'keyword', 'lexical'"):
            s.linking = value
        assert s.linking == "lexical"  # a refused value changes nothing

    def test_only_a_keyword_str(self):
        with pytest.raises(TypeError, match="linking"):
            AtlanorService(linking=1)
        with pytest.raises(TypeError):
            AtlanorService(None, False, None, "lexical")  # keyword-only


# ---- what the prompt carries in the lexical mode ----------------------------------------


class TestPromptContext:
    def test_the_database_argument_and_property(self, tmp_path):
        s = AtlanorService(linking="lexical", database=str(DATABASE))
        assert s.database == str(DATABASE)
        s.database = None
        assert s.database is None and AtlanorService().database is None
        with pytest.raises(TypeError):
            AtlanorService(database=pathlib.Path("x.db"))
        s = service("lexical", database=str(tmp_path / "missing.db"))
        with pytest.raises(Exception, match="missing.db"):
            s.process_query("List all calendars")

    def test_stored_values_choose_tables_and_reach_the_prompt(self):
        from Corvalt.Quillon import Quillon

        s = service("lexical", database=str(DATABASE))
        question = "What is the critical path of the harbour bridge job? Only in-progress activities."
        out = s.process_query(question)
        assert {"projects", "activities"} <= set(table_names(out))
        reasons = {t["name"]: t["reason"] for t in out["linking"]["tables"]}
        assert reasons["projects"] in ("value", "named")
        hints = out["sql_hints"]
        assert list(hints) == ["values", "column_values", "terms", "examples", "dialect"]
        found = {(v["column"], v["value"]): v for v in hints["values"]}
        # A project's row has one code; a status is held by many rows.
        project = found["projects.project_name", "Harbor Bridge Rehabilitation"]
        assert list(project) == ["column", "value", "phrase", "fit", "code_column", "code"]
        assert (project["code_column"], project["code"]) == ("projects.project_code", "HBR")
        assert list(found["activities.status", "In Progress"]) == ["column", "value", "phrase", "fit"]
        assert "In Progress" in hints["column_values"]["activities.status"]
        assert hints["dialect"]["name"] == "SQLite" and "YYYY-MM-DD" in hints["dialect"]["dates"]
        # Every column of the chosen activities table, keys first.
        columns = [c["name"] for c in out["database_objects"]["columns"]]
        activity_columns = [c for c in columns if c.startswith("activities.")]
        assert activity_columns[0] == "activities.activity_id" and len(activity_columns) == 21
        prompt = Quillon(str(DATABASE))._create_sql_generation_prompt(question, out)
        assert "- projects.project_name = 'Harbor Bridge Rehabilitation' (the question says" in prompt
        assert "its row's projects.project_code = 'HBR')" in prompt
        assert "\nSQL Dialect: SQLite. Dates are stored as text such as '" in prompt

    def test_without_a_database_no_values_and_no_dialect(self):
        out = service("lexical").process_query("Which activities are on the critical path?")
        hints = out["sql_hints"]
        assert hints["values"] == [] and hints["column_values"] == {} and "dialect" not in hints
        assert [t["term"] for t in hints["terms"]] == ["critical path"]
        assert hints["examples"] and all(set(e) == {"description", "sql"} for e in hints["examples"])
        # Only the joins among the chosen tables.
        names = set(table_names(out))
        assert all(r["source"] in names and r["target"] in names for r in out["relationships"])


# ---- the context record -------------------------------------------------------------------


class TestRecord:
    QUESTIONS = ["List all calendars", "How many activities are in each project?",
                 "Which activities are on the critical path?", "zzz"]

    @pytest.mark.parametrize("question", QUESTIONS)
    def test_keyword_mode_is_the_default_record(self, question):
        default, keyword_mode = AtlanorService(str(SAMPLE)), service("keyword")
        default.build_graph()
        for fmt in ("json", "markdown"):
            assert keyword_mode.process_query(question, fmt) == default.process_query(question, fmt)
            assert "linking" not in keyword_mode.process_query(question, fmt)

    def test_lexical_record_keeps_the_shape_and_adds_linking(self):
        out = service("lexical").process_query("List all calendars", "markdown")
        keys = list(out)
        assert keys[:4] == RECORD_KEYS
        assert keys[-4:] == ["best_guess_sql", "linking", "sql_hints", "markdown"]
        assert table_names(out) == ["calendars"]
        assert out["best_guess_sql"].startswith("SELECT c.*\nFROM calendars c")
        linking = out["linking"]
        assert list(linking) == ["match", "words", "unmatched", "tables", "example"]
        assert linking["match"] == "strong" and linking["words"] == ["calendars"]
        (entry,) = linking["tables"]
        assert entry["name"] == "calendars" and entry["reason"] == "named"
        assert entry["matched"] == ["calendars"] and entry["score"] > 1
        assert "## Relevant Tables\n\n### calendars\n" in out["markdown"]

    def test_lexical_joins_and_the_example_of_the_chosen_tables(self):
        out = service("lexical").process_query("Show all projects with negative float")
        assert table_names(out) == ["projects"]
        assert out["linking"]["example"] == "example:0"
        assert out["best_guess_sql"].startswith("SELECT p.project_id")
        out = service("lexical").process_query("Which labour resources work on projects that are behind schedule?")
        assert sorted(table_names(out)) == ["activities", "projects", "resource_assignments", "resources"]
        reasons = {t["name"]: t["reason"] for t in out["linking"]["tables"]}
        assert reasons["resource_assignments"] == reasons["activities"] == "join"
        assert {(r["source"], r["target"]) for r in out["relationships"]} == {
            ("activities", "projects"), ("resource_assignments", "activities"),
            ("resource_assignments", "resources")}

    def test_no_table_no_sql_and_the_match_says_none(self):
        out = service("lexical").process_query("Which subcontractors have unpaid invoices?")
        assert table_names(out) == [] and "best_guess_sql" not in out
        assert out["linking"]["match"] == "none"
        assert out["linking"]["unmatched"] == ["subcontractors", "unpaid", "invoices"]

    def test_the_ai_keywords_are_matched_on_top_of_the_question(self):
        class AI:
            def run(self, prompt):
                return json.dumps({"keywords": ["risk register"], "business_domains": [],
                                   "enhanced_query": "open risks"})

        out = service("lexical", mindloom=AI()).process_query("Which of them are still open?")
        # the projects and activities the risks are of, last
        assert table_names(out) == ["risks", "projects", "activities"]
        assert out["ai_enhanced"]["keywords"] == ["risk register"]
        assert out["linking"]["words"] == ["still", "open", "risk", "register"]

    def test_a_follow_up_takes_the_tables_of_the_previous_statement(self):
        s = service("lexical", verbose=False)
        previous = "SELECT risk_title FROM risks WHERE status = 'Open'"
        out = s.process_query("And who owns them?", previous_sql=previous)
        assert table_names(out) == ["risks", "projects", "activities"]
        assert out["linking"]["tables"][0]["reason"] == "context"
        assert table_names(s.process_query("And who owns them?")) == []


    def test_verbose_says_what_was_linked_and_the_template_used(self, capsys):
        s = service("lexical")
        s.verbose = True
        capsys.readouterr()
        s.process_query("Show all projects with negative float")
        lines = capsys.readouterr().out.splitlines()
        assert lines[0] == "Using basic keyword extraction: ['show', 'projects', 'with', 'negative', 'float']"
        assert lines[1] == "Lexical linking (strong match): ['projects']"
        assert lines[2].startswith("Using template query: SELECT p.project_id")
        assert len(lines) == 3

    def test_the_chat_method_keeps_its_keys_in_order(self):
        class AI:
            def run(self, prompt):
                return json.dumps({"keywords": "not a list", "enhanced_query": "late activities"})

        s = service("lexical", mindloom=AI())
        out = s.process_query_with_chat_history("Which activities are late?", [], "SELECT 1", "markdown")
        assert list(out)[-5:] == ["ai_enhanced", "best_guess_sql", "linking", "sql_hints", "markdown"]
        assert table_names(out) == ["activities", "projects"]
        assert out["ai_enhanced"]["keywords"] == "not a list"  # kept as the AI gave it, not matched

    def test_a_rebuilt_graph_is_linked_afresh(self, tmp_path):
        s = service("lexical")
        assert table_names(s.process_query("List all calendars")) == ["calendars"]
        s.build_graph({"tables": {"WorkCalendar": {"description": "Calendars", "domain": "d", "columns": {}}}})
        assert table_names(s.process_query("List all calendars")) == ["WorkCalendar"]
        s.linking = "keyword"
        assert "linking" not in s.process_query("List all calendars")


# ---- the question set ---------------------------------------------------------------------


def load_questions():
    return json.loads(QUESTIONS.read_text(encoding="utf-8"))


def test_the_question_set_covers_what_planners_ask():
    questions = load_questions()
    assert len(questions) >= 60
    assert {q["difficulty"] for q in questions} == {"easy", "medium", "hard"}
    assert sum(1 for q in questions if q.get("answerable") is False) >= 3
    assert sum(1 for q in questions if len(q["gold_tables"]) >= 3) >= 10
    assert sum(1 for q in questions if "previous_sql" in q) >= 3


@pytest.mark.parametrize("path", [QUESTIONS, QUESTIONS.with_name("sample_questions_reask.json")], ids=lambda p: p.stem)
def test_every_gold_sql_runs_and_names_exactly_its_gold_tables(path):
    tables = set(json.loads(SAMPLE.read_text(encoding="utf-8"))["tables"])
    db = sqlite3.connect(f"file:{DATABASE}?mode=ro", uri=True)
    try:
        for q in json.loads(path.read_text(encoding="utf-8")):
            if q.get("answerable") is False:
                assert q["gold_tables"] == [] and q["gold_sql"] is None, q["question"]
                continue
            assert set(q["gold_tables"]) <= tables, q["question"]
            db.execute(q["gold_sql"]).fetchall()  # raises on a broken statement
            named = {w.lower() for w in re.findall(r"\w+", q["gold_sql"])} & tables
            assert named == set(q["gold_tables"]), q["question"]
            if "previous_sql" in q:
                db.execute(q["previous_sql"]).fetchall()
    finally:
        db.close()


# ---- the evaluation command ---------------------------------------------------------------

SMALL = {
    "tables": {
        "projects": {"description": "Portfolio entries", "domain": "pm", "columns": {
            "project_id": {"description": "Identifier", "data_type": "INTEGER"},
            "project_name": {"description": "Title", "data_type": "TEXT"}}},
        "risks": {"description": "Threats with a score", "domain": "risk", "columns": {
            "risk_id": {"description": "Identifier", "data_type": "INTEGER"},
            "project_id": {"description": "Owning entry", "data_type": "INTEGER"}}},
        "calendars": {"description": "Working days", "domain": "scheduling", "columns": {
            "calendar_id": {"description": "Identifier", "data_type": "INTEGER"}}},
    },
    "relationships": [{"from_table": "risks", "to_table": "projects",
                       "join_condition": "risks.project_id = projects.project_id", "description": ""}],
}
SMALL_QUESTIONS = [
    {"question": "List all calendars", "difficulty": "easy", "gold_tables": ["calendars"], "gold_sql": None},
    {"question": "Which risks belong to each project?", "difficulty": "medium",
     "gold_tables": ["risks", "projects"], "gold_sql": None},
    {"question": "Any calendars?", "difficulty": "easy", "gold_tables": ["calendars"], "gold_sql": None},
    {"question": "What is the share price?", "difficulty": "easy", "gold_tables": [], "gold_sql": None,
     "answerable": False},
]


def run_eval(tmp_path, questions=SMALL_QUESTIONS, *extra, env=ENV):
    (tmp_path / "doc.json").write_text(json.dumps(SMALL))
    (tmp_path / "q.json").write_text(questions if isinstance(questions, str) else json.dumps(questions))
    return subprocess.run([sys.executable, str(EVAL), "--metadata", str(tmp_path / "doc.json"),
                           "--questions", str(tmp_path / "q.json"), *extra],
                          capture_output=True, text=True, env=env, timeout=120)


def rows(stdout):
    """{(mode, difficulty): [values]} of the printed table."""
    out = {}
    for line in stdout.splitlines():
        parts = line.split()
        if len(parts) == 10 and parts[0] in ("keyword", "lexical"):
            out[(parts[0], parts[1])] = parts[2:]
    return out


def test_eval_prints_both_modes_per_difficulty(tmp_path):
    run = run_eval(tmp_path)
    assert run.returncode == 0, run.stderr
    got = rows(run.stdout)
    # questions, recall, precision, every gold, no gold, no table, tables, gold tables
    assert got[("keyword", "easy")] == ["2", "0.500", "1.000", "0.500", "0.500", "0.500", "0.50", "1.00"]
    assert got[("keyword", "medium")] == ["1", "0.500", "1.000", "0.000", "0.000", "0.000", "1.00", "2.00"]
    assert got[("keyword", "all")] == ["3", "0.500", "1.000", "0.333", "0.333", "0.333", "0.67", "1.33"]
    assert got[("lexical", "all")] == ["3", "1.000", "1.000", "1.000", "0.000", "0.000", "1.33", "1.33"]
    assert re.search(r"^keyword\s+1\s+1/1\s+n/a$", run.stdout, re.M)
    assert re.search(r"^lexical\s+1\s+1/1\s+1/1$", run.stdout, re.M)


def test_eval_report_needs_matplotlib_and_says_so(tmp_path):
    blocker = tmp_path / "no_matplotlib"
    (blocker / "matplotlib").mkdir(parents=True)
    (blocker / "matplotlib" / "__init__.py").write_text("raise ImportError('blocked for the test')\n")
    env = {**ENV, "PYTHONPATH": f"{blocker}{os.pathsep}{ENV['PYTHONPATH']}"}
    run = run_eval(tmp_path, SMALL_QUESTIONS, "--report", str(tmp_path / "out"), env=env)
    assert run.returncode == 2
    assert "--report needs matplotlib" in run.stderr and run.stdout == ""
    assert not (tmp_path / "out").exists()


def test_eval_report_writes_markdown_and_a_chart(tmp_path):
    pytest.importorskip("matplotlib")
    run = run_eval(tmp_path, SMALL_QUESTIONS, "--report", str(tmp_path / "out"))
    assert run.returncode == 0, run.stderr
    text = (tmp_path / "out" / "linking_report.md").read_text()
    assert "| lexical | all | 3 | 1.000 | 1.000 | 1.000 | 0.000 | 0.000 | 1.33 | 1.33 |" in text
    assert (tmp_path / "out" / "linking_report.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"


@pytest.mark.parametrize("questions, message", [
    ("[{\"question\": \"x\"", "cannot read the question file"),
    ([{"question": "x", "difficulty": "easy", "gold_tables": ["nope"]}], "not in the metadata document: nope"),
    ([{"question": "x", "difficulty": "easy", "gold_tables": []}], "needs at least one gold table"),
])
def test_eval_refuses_a_bad_question_file(tmp_path, questions, message):
    run = run_eval(tmp_path, questions)
    assert run.returncode == 2 and message in run.stderr and run.stdout == ""


# ---- the corvalt command ------------------------------------------------------------------


def corvalt(*args):
    return subprocess.run([sys.executable, "-m", "Corvalt", *args], capture_output=True, text=True,
                          env=ENV, timeout=120)


def test_the_command_links_lexically_unless_told_otherwise():
    lexical = corvalt("context", "Which subcontractors have unpaid invoices?")
    assert lexical.returncode == 0, lexical.stderr
    assert json.loads(lexical.stdout)["linking"]["match"] == "none"
    assert "the question matches no table of the schema" in lexical.stderr
    keyword_mode = corvalt("context", "--linking", "keyword", "Which subcontractors have unpaid invoices?")
    assert keyword_mode.returncode == 0 and "linking" not in json.loads(keyword_mode.stdout)
    assert "matches" not in keyword_mode.stderr
    assert corvalt("ask", "--linking", "bm25", "x").returncode == 2
