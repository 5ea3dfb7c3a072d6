"""Host contract of Quillon's answering: AI generation and fix-log reuse, the correction
loop, schema exploration, bounded statements, comparison and the best-result record."""

import json
import re
import sqlite3
import threading
import _thread
import time

import pytest

from Corvalt.Quillon import Quillon

RECURSIVE = "select {} from (with recursive c(x) as (select 1 union all select x+1 from c) select x from c)"


class ScriptedAI:
    """Answers each get_response_sync with the next scripted reply (an exception is raised)."""

    def __init__(self, *replies):
        self.replies = list(replies)
        self.prompts = []
        self.calls = []

    def clear_history(self, *args):
        self.calls.append(("clear_history", args))

    def get_response_sync(self, *args):
        self.calls.append(("get_response_sync", args))
        self.prompts.append(args[0])
        reply = self.replies.pop(0)
        if isinstance(reply, BaseException):
            raise reply
        return reply


@pytest.fixture
def workdir(tmp_path, monkeypatch):
    """The fix log lies in data/ under the working directory."""
    monkeypatch.chdir(tmp_path)
    return tmp_path


@pytest.fixture
def db_path(tmp_path):
    path = tmp_path / "plan.db"
    con = sqlite3.connect(path)
    con.executescript(
        """
        CREATE TABLE activities (id INTEGER PRIMARY KEY NOT NULL, name TEXT, status TEXT,
                                 total_float REAL, start_date TEXT, project_id INTEGER);
        CREATE TABLE projects (id INTEGER PRIMARY KEY, title TEXT);
        INSERT INTO projects VALUES (1, 'Bridge'), (2, 'Tunnel');
        INSERT INTO activities VALUES
          (1, 'Dig', 'Late', -2.0, '2026-01-05', 1), (2, 'Pour', 'Done', 0.0, '2026-01-05', 1),
          (3, 'Cure', 'Late', 3.5, '2026-02-01', 2), (4, 'Open', 'Planned', NULL, '2026-03-01', 2);
        """
    )
    con.commit()
    con.close()
    return str(path)


CONTEXT = {
    "query": "Which activities are late?",
    "database_objects": {
        "tables": [
            {"name": "activities", "description": "Project activities"},
            {"name": "projects", "description": "Projects"},
        ],
        "columns": [
            {"name": "activities.start_date", "data_type": "TEXT", "description": "Planned start"},
            {"name": "status", "data_type": "TEXT", "description": "State"},
        ],
    },
    "relationships": [
        {"source": "activities", "target": "projects", "join_condition": "activities.project_id = projects.id"}
    ],
}


def log_entries(workdir):
    return json.loads((workdir / "data" / "failed_sql.json").read_text(encoding="utf-8"))


# ---------------------------------------------------------------- generation --


def test_worked_example_prompt():
    ctx = {
        "database_objects": {
            "tables": [{"name": "activity", "description": "Project activities"}],
            "columns": [{"name": "activity.finish_date", "data_type": "TEXT", "description": "Planned finish"}],
        },
        "relationships": [
            {"source": "activity", "target": "project", "join_condition": "activity.project_id = project.id"}
        ],
    }
    prompt = Quillon()._create_sql_generation_prompt("Which activities are late?", ctx)
    assert prompt.split("\n") == [
        "You are an expert SQL developer. Generate a SQL query to answer the following question:",
        "",
        "QUESTION: Which activities are late?",
        "",
        "DATABASE CONTEXT:",
        "",
        "Relevant Tables:",
        "- activity: Project activities",
        "",
        "Relevant Columns:",
        "- activity.finish_date (TEXT): Planned finish",
        "",
        "Table Relationships:",
        "- activity to project: activity.project_id = project.id",
        "",
        "INSTRUCTIONS:",
        "1. Generate a valid SQL query that answers the question using the provided database context",
        "2. Use proper joins based on the relationships provided",
        "3. Return ONLY the SQL query without any explanations or markdown formatting",
        '4. After the SQL, add a brief explanation of how the query works separated by "EXPLANATION:"',
        "",
        "Remember to use standard SQL syntax compatible with SQLite.",
        "",
    ]


def test_prompt_sections_for_odd_context_values():
    q = Quillon()
    ctx = {
        "database_objects": {"columns": [{"name": "status", "data_type": None, "description": 7},
                                         {"name": "a.b.c", "data_type": "INT", "description": "x"}]},
        "previously_run_query": {"question": "Earlier?"},
    }
    prompt = q._create_sql_generation_prompt("Q", ctx)
    assert "- Unknown.status (None): 7\n- a.b (INT): x\n" in prompt
    assert "\nPREVIOUSLY RUN QUERY FOR SIMILAR QUESTION:\nQuestion: Earlier?\nSQL: \n\n" in prompt
    for malformed in ({"database_objects": None}, {"database_objects": {"tables": [{"name": "t"}]}},
                      {"previously_run_query": "text"}):
        with pytest.raises((TypeError, KeyError)):
            q._create_sql_generation_prompt("Q", malformed)


def test_generation_shapes(workdir):
    assert Quillon().generate_sql("Q", CONTEXT) == {"error": "AI service not available for SQL generation"}

    ai = ScriptedAI("Sure:\n```sql\nSELECT *\n  FROM activities\n```\nEXPLANATION: lists  them\nall")
    record = Quillon(mindloom=ai).generate_sql("Q", CONTEXT)
    assert list(record) == ["question", "sql", "raw_ai_response", "explanation", "source"]
    assert record["sql"] == "SELECT * FROM activities"
    assert record["explanation"] == "lists them all"
    assert record["raw_ai_response"] == "Sure: ```sql SELECT * FROM activities ``` EXPLANATION: lists them all"
    assert ai.calls[0] == ("clear_history", ()) and ai.calls[1][0] == "get_response_sync"
    assert len(ai.calls[1][1]) == 1

    for failing, text in ((ValueError("no model"), "no model"), (42, "'int' object has no attribute 'strip'")):
        record = Quillon(mindloom=ScriptedAI(failing)).generate_sql("Q", CONTEXT)
        assert record == {"error": f"Failed to generate SQL: {text}", "question": "Q", "source": "ai_generated"}


def test_interrupts_inside_the_ai_are_not_absorbed():
    with pytest.raises(KeyboardInterrupt):
        Quillon(mindloom=ScriptedAI(KeyboardInterrupt())).generate_sql("Q", CONTEXT)


def test_fix_log_reuse(workdir, capsys):
    (workdir / "data").mkdir()
    entries = [
        {"question": "Late?", "failed_sql": "bad", "error": "e1"},  # no working_sql: walk on
        {"question": "Other", "error": "e2", "working_sql": "SELECT 2"},  # no failed_sql
        {"question": "Late?", "failed_sql": "bad", "error": "e3", "working_sql": "SELECT 3"},
        {"failed_sql": "broken", "working_sql": "SELECT 4"},
    ]
    (workdir / "data" / "failed_sql.json").write_text(json.dumps(entries))
    ai = ScriptedAI("SELECT 9")
    q = Quillon(mindloom=ai, verbose=True)

    record = q.generate_sql("Late?", CONTEXT)
    assert record == {
        "question": "Late?", "sql": "SELECT 3", "source": "reused_from_failed_json",
        "explanation": "This SQL was reused from a previously logged successful fix. Original question: "
                       "'Late?'. Previous SQL attempt failed with error: 'e3'. This working SQL has been "
                       "verified to execute successfully.",
        "original_failed_sql": "bad", "original_error": "e3",
    }
    assert "Found previous working SQL for this question/query, skipping AI call." in capsys.readouterr().out

    by_sql = q.generate_sql("New question", dict(CONTEXT, existing_sql="broken"))
    assert by_sql["sql"] == "SELECT 4" and by_sql["original_error"] == "Unknown error"
    assert "'New question'" in by_sql["explanation"]
    assert ai.prompts == []

    # A context without existing_sql never matches an entry without failed_sql, nor does
    # a question that differs in case or spacing.
    assert q.generate_sql("late?", CONTEXT)["sql"] == "SELECT 9"
    assert len(ai.prompts) == 1

    (workdir / "data" / "failed_sql.json").write_text("{not json")
    q.mindloom = ScriptedAI("SELECT 1")
    assert q.generate_sql("Late?", CONTEXT)["source"] == "ai_generated"
    assert "Failed to check existing logs: Expecting property name enclosed in double quotes" in capsys.readouterr().out


# -------------------------------------------------------------- exploration --


def test_schema_exploration(tmp_path):
    path = tmp_path / "seven.db"
    con = sqlite3.connect(path)
    for i in range(7):
        con.execute(f"CREATE TABLE t{i} (id INTEGER PRIMARY KEY NOT NULL, v)")
    con.execute('CREATE TABLE "odd ""name"" select" (a TEXT)')
    con.execute("""INSERT INTO "odd ""name"" select" VALUES ('x'), ('y'), ('z'), ('w')""")
    con.execute("CREATE TABLE seq (id INTEGER PRIMARY KEY AUTOINCREMENT)")
    con.execute("INSERT INTO seq DEFAULT VALUES")
    con.commit()
    con.close()
    q = Quillon(str(path))
    schema = q._explore_database_schema()
    assert schema[0]["sql"] == "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%';"
    assert [r["name"] for r in schema[0]["result"]] == [f"t{i}" for i in range(7)] + ['odd "name" select', "seq"]
    assert [r["table_name"] for r in schema[1:]] == ["t0", "t1", "t2", "t3", "t4"]
    assert schema[1]["columns"] == [
        {"name": "id", "type": "INTEGER", "notnull": True, "pk": True},
        {"name": "v", "type": "", "notnull": False, "pk": False},
    ]
    odd = q._explore_table_schema('odd "name" select')
    assert odd["columns"][0]["name"] == "a" and odd["sample_data"] == [{"a": "x"}, {"a": "y"}, {"a": "z"}]
    assert q._explore_table_schema("missing") == {"table_name": "missing", "columns": [], "sample_data": []}
    assert Quillon()._explore_database_schema() == [] and Quillon()._explore_table_schema("t0") == {}
    assert q._extract_table_names("SELECT * FROM activities a JOIN relationships r ON 1 JOIN activities b") == [
        "activities", "relationships"]


# ----------------------------------------------------------- correction loop --


def test_repair_on_the_second_try_is_logged_and_reused(workdir, db_path):
    ai = ScriptedAI("SELECT nme FROM activities", "```sql\nSELECT name FROM activities\n```\nEXPLANATION: fixed")
    q = Quillon(db_path, mindloom=ai)
    failed = q.test_query({"sql": "SELECT nam FROM activities"})
    retry = q.try_fix_failed_query(failed, "Names?", CONTEXT)

    assert (retry["success"], retry["message"]) == (True, "SQL fixed on attempt #2")
    first, second = retry["attempts"]
    assert retry["best_attempt"] is second
    assert list(second)[:6] == ["question", "sql", "raw_ai_response", "explanation", "source", "retry_attempt"]
    assert (second["source"], second["retry_attempt"], second["row_count"]) == ("ai_retry_attempt_2", 2, 4)
    assert second["raw_ai_response"] == "```sql\nSELECT name FROM activities\n```\nEXPLANATION: fixed"
    assert first["success"] is False and "no such column: nme" in first["execution_error"]
    # The second prompt holds the first try and the activities table it named, described once.
    assert "\nAttempt #1:\nSQL: SELECT nme FROM activities\nError: " in ai.prompts[1]
    assert ai.prompts[1].count("\nTable: activities\n") == 1
    assert 'Sample data: [{"id": 1, "name": "Dig"' in ai.prompts[1]

    assert log_entries(workdir) == [{
        "question": "Names?", "failed_sql": "SELECT nam FROM activities",
        "error": failed["execution_error"], "working_sql": "SELECT name FROM activities"}]
    reused = q.generate_sql("Names?", CONTEXT)
    assert (reused["source"], reused["sql"], len(ai.prompts)) == ("reused_from_failed_json", "SELECT name FROM activities", 2)


def test_three_failed_tries(workdir, db_path):
    ai = ScriptedAI("SELECT a FROM nowhere", RuntimeError("overloaded"), "DROP TABLE activities")
    q = Quillon(db_path, mindloom=ai)
    retry = q.try_fix_failed_query({"sql": "SELECT x"}, "Q", {})
    assert retry["success"] is False and retry["best_attempt"] is None
    assert retry["message"] == "Failed to fix SQL after 3 attempts. Original error: Unknown error"
    assert retry["attempts"][1] == {"success": False, "execution_error": "Error during AI retry: overloaded",
                                    "retry_attempt": 2}
    assert retry["attempts"][2]["execution_error"].startswith("Security restriction: DROP")
    assert "\nAttempt #2:\nSQL: No SQL\nError: Error during AI retry: overloaded\n" in ai.prompts[2]
    assert "ERROR MESSAGE:\nUnknown error\n" in ai.prompts[0]
    assert not (workdir / "data").exists()
    assert Quillon(db_path).try_fix_failed_query({}, "Q", {}) == {
        "success": False, "message": "AI service or database connection not available",
        "attempts": [], "best_attempt": None}


def test_correction_prompt_needs_json_sample_values(db_path):
    q = Quillon(db_path)
    schema = [{"table_name": "t", "columns": [], "sample_data": [{"b": b"\x00"}]}]
    with pytest.raises(TypeError, match="bytes is not JSON serializable"):
        q._create_sql_correction_prompt("Q", "s", "e", schema, [], {})
    with pytest.raises(TypeError):
        q._create_sql_correction_prompt("Q", "s", "e", None, [], {})


# --------------------------------------------------------- bounded statements --


def test_statement_deadline_and_row_cap(db_path):
    q = Quillon(db_path, statement_timeout=0.3, max_rows=1000)
    started = time.monotonic()
    record = q.test_query({"sql": RECURSIVE.format("count(*)")})
    assert time.monotonic() - started < 2
    assert record["success"] is False and record["execution_error"].endswith("statement timed out after 0.3 s")
    record = q.test_query({"sql": RECURSIVE.format("x")})
    assert record["execution_error"].endswith("result has more than 1000 rows") and "results" not in record
    assert q.test_query({"sql": "SELECT id FROM activities"})["row_count"] == 4
    with pytest.raises(TypeError):
        Quillon(db_path, statement_timeout="1")
    with pytest.raises(ValueError):
        Quillon(db_path, max_rows=0)
    with pytest.raises(TypeError):
        Quillon(db_path, None, False, None, 5)  # the options are keyword-only


def test_interrupt_from_another_thread_stops_a_statement(db_path):
    q = Quillon(db_path, statement_timeout=None)
    timer = threading.Timer(0.2, _thread.interrupt_main)
    timer.start()
    started = time.monotonic()
    with pytest.raises(KeyboardInterrupt):
        q.test_query({"sql": RECURSIVE.format("count(*)")})
    assert time.monotonic() - started < 0.2 + 0.5
    timer.join()
    assert q.test_query({"sql": "SELECT 1"})["success"] is True
    # Rows without end, made into dicts while they are read: the same stop.
    q = Quillon(db_path, statement_timeout=None, max_rows=None)
    timer = threading.Timer(0.2, _thread.interrupt_main)
    timer.start()
    started = time.monotonic()
    record = {"sql": RECURSIVE.format("x")}
    with pytest.raises(KeyboardInterrupt):
        q.test_query(record)
    assert time.monotonic() - started < 0.2 + 0.5
    timer.join()
    assert record == {"sql": RECURSIVE.format("x")}


# ---------------------------------------------------------------- comparison --


def ran(rows=5, columns=("status", "total_float"), sql="select * from t"):
    return {"success": True, "row_count": rows, "columns": list(columns), "sql": sql}


@pytest.mark.parametrize("hist, ai, recommended, reason", [
    (ran(rows=5), ran(rows=150), "historical", "Historical query appears more relevant to the question"),
    (ran(rows=150), ran(rows=5), "ai", "AI-generated query appears more relevant to the question"),
    (ran(), ran(), "historical", "Equal relevance, using historical query for consistency"),
    (ran(), {"success": False}, "historical", "Only historical query executed successfully"),
    ({}, ran(), "ai", "Only AI-generated query executed successfully"),
    ({"success": False}, {}, None, "Neither query executed successfully"),
])
def test_comparison_table(hist, ai, recommended, reason, capsys):
    q = Quillon(verbose=True)
    c = q.compare_queries(hist, ai, "status?")
    assert c["historical_query"] is hist and c["ai_query"] is ai
    assert (c["recommended_query"], c["recommendation_reason"]) == (recommended, reason)
    both = hist.get("success") and ai.get("success")
    assert ("historical_relevance_score" in c) == bool(both)
    assert list(c)[-2:] == ["recommended_query", "recommendation_reason"]
    assert capsys.readouterr().out == f"Query comparison complete. Recommended: {recommended}\nReason: {reason}\n"


def test_relevance_examples():
    q = Quillon()
    sql = "select status, total_float from activities where status = 'Late' and total_float < 0"
    assert q._evaluate_query_relevance(ran(sql=sql), "Which status is late?") == 8.5
    assert q._evaluate_query_relevance(ran(rows=5, columns=["start_date"]), "start dates") == 6.0
    assert q._evaluate_query_relevance(ran(rows=0, columns=[]), "anything") == 3.0
    assert q._evaluate_query_relevance(ran(rows=150, columns=["x"]), "anything") == 4.0
    assert q._evaluate_query_relevance({"success": False, "row_count": 5}, "q") == 0.0
    top = q._evaluate_query_relevance(
        ran(columns=["status", "total_float", "start_date"], sql="x where a and b or c"),
        "status total_float start_date")
    assert top == 10 and type(top) is int


# ---------------------------------------------------------------- best result --


def test_best_result_with_history_and_a_corrected_ai_statement(workdir, db_path):
    ai = ScriptedAI("SELECT nam FROM activities",
                    "SELECT status, start_date FROM activities WHERE status = 'Late'\nEXPLANATION: late ones")
    q = Quillon(db_path, mindloom=ai)
    history = {"question": "Late activities?", "sql": "SELECT name FROM activities", "domain_concepts": ["x"]}
    concepts = history["domain_concepts"]
    result = q.get_best_sql_and_results("Which activities have status late?", CONTEXT, history)

    assert list(result) == ["question", "timestamp", "has_historical_match", "ai_query", "ai_query_retry_info",
                            "historical_query", "comparison", "best_query", "additional_explorations"]
    assert re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(\.\d{6})?", result["timestamp"])
    assert result["ai_query"]["sql"] == "SELECT nam FROM activities" and result["ai_query"]["success"] is False
    best_attempt = result["ai_query_retry_info"]["best_attempt"]
    assert result["historical_query"] is history and history["source"] == "historical"
    assert history["domain_concepts"] is concepts and history["row_count"] == 4
    assert result["comparison"]["historical_query"] is history
    assert result["comparison"]["ai_query"] is best_attempt
    # The corrected statement filters and names the question's "status": it wins.
    assert result["best_query"] is best_attempt and result["comparison"]["recommended_query"] == "ai"
    names = [e.get("name") for e in result["additional_explorations"]]
    assert names == ["Count records in activities", "Time distribution for activities.start_date"]
    count = result["additional_explorations"][0]
    assert list(count) == ["name", "description", "sql", "success", "results"]
    assert count["results"] == [{"record_count": 4}]


def test_best_result_shapes_without_ai_or_history(db_path):
    q = Quillon(db_path)
    none = q.get_best_sql_and_results("Q", CONTEXT)
    assert list(none) == ["question", "timestamp", "has_historical_match", "ai_query", "best_query"]
    assert none["has_historical_match"] is False and none["best_query"] is none["ai_query"]

    empty = q.get_best_sql_and_results("Q", CONTEXT, {})
    assert empty["has_historical_match"] is True and "comparison" not in empty

    hist = {"sql": "SELECT id, total_float FROM activities"}
    result = q.get_best_sql_and_results("How are activities linked between projects?", CONTEXT, hist)
    assert result["best_query"] is hist
    assert result["comparison"]["recommendation_reason"] == "Only historical query executed successfully"
    with pytest.raises(TypeError):
        q.get_best_sql_and_results("Q", CONTEXT, "SELECT 1")
    with pytest.raises(TypeError):
        q.get_best_sql_and_results("Q", {"database_objects": None}, hist)


def test_explorations_by_kind(workdir, db_path, capsys):
    q = Quillon(db_path, verbose=True)
    main = q.test_query({"sql": "SELECT a.id, a.total_float, a.status FROM activities a JOIN projects p "
                                "ON a.project_id = p.id WHERE a.start_date > ''"})
    capsys.readouterr()
    ctx = dict(CONTEXT)
    ctx["relationships"] = CONTEXT["relationships"] + [
        {"source": "projects", "target": "activities", "join_condition": "a = b = c"}]
    found = q.generate_additional_explorations("Activities joined to projects", main, ctx)
    assert [e.get("name") for e in found] == [
        "Count records in activities", "Count records in projects",
        "Time distribution for activities.start_date", "Statistical summary",
        "Relationship count between activities and projects"]
    stats = found[3]
    assert stats["sql"] == ("SELECT MIN(id) AS min_id, MAX(id) AS max_id, AVG(id) AS avg_id, MIN(total_float) "
                            "AS min_total_float, MAX(total_float) AS max_total_float, AVG(total_float) AS "
                            "avg_total_float FROM activities")
    assert (stats["source"], stats["question"]) == ("exploration_stats", "Statistical summary for Activities joined to projects")
    assert found[4]["sql"] == ("SELECT COUNT(DISTINCT activities.project_id) as distinct_connections FROM "
                               "activities JOIN projects ON activities.project_id = projects.id")
    assert found[4]["results"] == [{"distinct_connections": 2}]
    assert q.generate_additional_explorations("Q", {"success": False}, ctx) == []
    # A NULL in the first row counts as numeric when the column's other values are numbers.
    nulls = {"success": True, "sql": "select * from activities",
             "results": [{"total_float": None, "name": None}, {"total_float": 1.5, "name": "x"}]}
    stats = q.generate_additional_explorations("Q", nulls, CONTEXT)[-1]
    assert stats["sql"].startswith("SELECT MIN(total_float)") and "name" not in stats["sql"]


def test_failed_statistics_are_corrected_and_logged(workdir, db_path):
    ai = ScriptedAI("SELECT MIN(total_float) AS lowest FROM activities")
    q = Quillon(db_path, mindloom=ai)
    main = {"success": True, "sql": "select * from activities", "results": [{"late_days": 3, "flag": True}]}
    found = q.generate_additional_explorations("How late?", main, CONTEXT)
    assert [e.get("name") for e in found] == ["Count records in activities", None]
    assert found[1]["source"] == "ai_retry_attempt_1" and found[1]["results"] == [{"lowest": -2.0}]
    entry = log_entries(workdir)[0]
    assert entry["question"] == "Statistical summary for How late?"
    assert entry["failed_sql"] == "SELECT MIN(late_days) AS min_late_days, MAX(late_days) AS max_late_days, " \
                                  "AVG(late_days) AS avg_late_days FROM activities"
