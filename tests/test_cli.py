"""The corvalt command (python -m Corvalt) on the bundled sample data, run from a
scratch working directory: answers, JSON output, exit statuses, bad input, Ctrl-C,
and the AI options."""

import json
import multiprocessing
import re
import os
import shutil
import signal
import sqlite3
import subprocess
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, HTTPServer

import pytest

import Corvalt
from Corvalt import cli, history_file
from conftest import REPO

CRITICAL = "Which activities on the critical path start first?"
NO_HISTORY = "Show activities with negative total float in the electrical discipline"
HISTORY = json.loads((REPO / "data" / "query_history.json").read_text())["enriched_queries"]
SAMPLE_DB = REPO / "data" / "project_schedule.db"
GOOD_SQL = "SELECT activity_code, activity_name FROM activities WHERE is_critical = 1"


def corvalt(*args, cwd, env=None):
    return subprocess.run([sys.executable, "-m", "Corvalt", *args], cwd=cwd, env=env,
                          capture_output=True, text=True, timeout=120, stdin=subprocess.DEVNULL)


def sample_rows(sql):
    with sqlite3.connect(f"file:{SAMPLE_DB}?mode=ro", uri=True) as con:
        return con.execute(sql).fetchall()


SAME = "Show all projects with negative float"
TEMPLATE = "relationships with lag greater than 20 days"


def test_ask_answers_the_same_earlier_question(tmp_path):
    earlier = next(q for q in HISTORY if q["question"] == SAME)
    rows = sample_rows(earlier["sql"])
    r = corvalt("ask", SAME, cwd=tmp_path)
    assert r.returncode == 0, r.stderr
    out = r.stdout.splitlines()
    assert out[0] == f'Source: the same question, answered before ("{SAME}")'
    assert out[1:3] == ["SQL:", "  " + earlier["sql"]]
    assert out[3] == f"Rows: {len(rows)}"
    assert out[6].split()[0] == rows[0][0]  # header, rule, then the first row
    assert "Summary:" in out
    for step in ("looking for an earlier question", "reading the question against the schema",
                 "running the history statement"):
        assert step in r.stderr
    assert corvalt("ask", "-q", SAME, cwd=tmp_path).stderr == ""


def test_offline_only_a_fitting_template_answers_a_new_question(tmp_path):
    r = corvalt("ask", "-q", "--rows", "2", TEMPLATE, cwd=tmp_path)
    assert r.returncode == 0, r.stderr
    out = r.stdout.splitlines()
    assert out[0].startswith("Source: an earlier question's statement with this question's values (")
    assert "lag_days > 20" in out[2] and out[3].endswith("(first 2)")
    # A question that merely shares words with an earlier one gets suggestions, not its rows.
    r = corvalt("ask", "-q", CRITICAL, cwd=tmp_path)
    assert r.returncode == 1
    assert r.stderr == "corvalt: no answer: no answer without an AI service (see --ai-url)\n"
    assert r.stdout.startswith("Suggestions:\n  Tables: activities")
    assert "Earlier question: \"What are the activities on the critical path for Riverside" in r.stdout
    assert "A statement to start from (not run):" in r.stdout


def test_ask_json_is_the_answer_record_and_stdout_stays_json_when_verbose(tmp_path):
    r = corvalt("--verbose", "ask", "--json", SAME, cwd=tmp_path)
    assert r.returncode == 0
    record = json.loads(r.stdout)
    assert list(record)[:4] == ["question", "answered", "source", "sql"]
    assert record["source"] == "history" and record["row_count"] == len(record["rows"])
    assert "[Echovane] " in r.stderr  # the services' own lines, kept off stdout


def test_no_answer_exits_1(tmp_path):
    r = corvalt("ask", "-q", "xyz qq", cwd=tmp_path)
    assert (r.returncode, r.stdout) == (1, "")
    assert r.stderr.startswith("corvalt: no answer: no answer without an AI service")
    r = corvalt("ask", "-q", "--json", "xyz qq", cwd=tmp_path)
    assert r.returncode == 1
    record = json.loads(r.stdout)
    assert (record["answered"], record["source"], record["linking"]) == (False, "none", "none")
    assert corvalt("ask", "  ", cwd=tmp_path).returncode == 2


def test_sql_prints_rows_or_the_refusal(tmp_path):
    db = tmp_path / "copy.db"
    shutil.copy(SAMPLE_DB, db)
    r = corvalt("sql", "SELECT project_code FROM projects ORDER BY project_id LIMIT 2", cwd=tmp_path)
    assert r.returncode == 0
    assert r.stdout.split() == ["Rows:", "2", "project_code", "------------"] + [
        code for (code,) in sample_rows("SELECT project_code FROM projects ORDER BY project_id LIMIT 2")]
    r = corvalt("sql", "-q", "DROP TABLE activities", "--db", str(db), cwd=tmp_path)
    assert r.returncode == 1 and r.stdout == ""
    assert r.stderr.startswith("corvalt: not run: Security restriction: only a statement that reads is allowed")
    # The word guard, as the library has it by default.
    r = corvalt("sql", "-q", "DROP TABLE activities", "--read-only", "words", "--db", str(db), cwd=tmp_path)
    assert r.stderr.startswith("corvalt: not run: Security restriction: DROP operations are not allowed")
    with sqlite3.connect(db) as con:
        assert con.execute("SELECT count(*) FROM activities").fetchone()[0] > 0


def test_json_output_writes_blobs_as_hex_and_non_finite_numbers_as_null(tmp_path):
    r = corvalt("sql", "--json", "SELECT x'00ff' AS b, 1e999 AS inf, 'é' AS t", cwd=tmp_path)
    assert r.returncode == 0
    record = json.loads(r.stdout, parse_constant=lambda name: pytest.fail(f"{name} in JSON"))
    assert record["results"] == [{"b": "00ff", "inf": None, "t": "é"}]
    assert cli.to_json_value({"n": float("nan"), "l": (b"\x01", -float("inf"))}) == {"n": None, "l": ["01", None]}


@pytest.mark.parametrize("args, message", [
    ([], "the following arguments are required: COMMAND"),
    (["--quiet"], "the following arguments are required: COMMAND"),
    (["ask"], "the following arguments are required: QUESTION"),
    (["ask", "q", "--rows", "-1"], "argument --rows: must be 0 or more"),
    (["ask", "q", "--ai-url", "http://127.0.0.1:9/v1"], "--ai-url and --model go together"),
    (["ask", "q", "--metadata", "missing.json"], "metadata file not found: "),
    (["ask", "q", "--history", "."], "history file is a directory: "),
    (["ask", "q", "--metadata", "bad.json"], "cannot read metadata file "),
    (["ask", "q", "--history", "bad.json"], "cannot read history file "),
    (["sql", "SELECT 1", "--db", "bad.json"], "not an SQLite database: "),
    (["sql", "SELECT 1", "--max-rows", "0"], "argument --max-rows: must be more than 0"),
    (["ask", "q", "--save"], "saving needs --history FILE"),
])
def test_usage_errors_and_unreadable_input_exit_2_in_one_line(tmp_path, args, message):
    (tmp_path / "bad.json").write_text('{"tables": ')
    r = corvalt(*args, cwd=tmp_path)
    assert r.returncode == 2 and r.stdout == ""
    last = r.stderr.splitlines()[-1]
    assert last.startswith("corvalt: error: " + message) and "Traceback" not in r.stderr


def test_ctrl_c_stops_a_running_statement_with_130(tmp_path):
    cross = "SELECT count(*) FROM activities a, activities b, activities c, activities d"
    p = subprocess.Popen([sys.executable, "-m", "Corvalt", "sql", cross], cwd=tmp_path, text=True,
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    try:
        assert p.stderr.readline() == "corvalt: running the statement\n"
        time.sleep(0.5)
        p.send_signal(signal.SIGINT)
        out, err = p.communicate(timeout=30)
    finally:
        p.kill()
    assert (p.returncode, out, err) == (130, "", "corvalt: interrupted\n")


def test_help_and_demo(tmp_path):
    r = corvalt("--help", cwd=tmp_path)
    assert r.returncode == 0 and all(c in r.stdout for c in ("ask", "chat", "context", "sql", "demo"))
    r = corvalt("demo", cwd=tmp_path)
    assert r.returncode == 0 and "Graph built with" in r.stdout


def test_statement_bounds_from_the_command(tmp_path):
    r = corvalt("sql", "-q", "--max-rows", "2", "SELECT project_code FROM projects", cwd=tmp_path)
    assert r.returncode == 1 and "result has more than 2 rows" in r.stderr
    cross = "SELECT count(*) FROM activities a, activities b, activities c, activities d"
    r = corvalt("sql", "-q", "--timeout-s", "0.2", cross, cwd=tmp_path)
    assert r.returncode == 1 and "statement timed out after" in r.stderr
    r = corvalt("ask", "-q", "--json", "--max-rows", "2", SAME, cwd=tmp_path)
    assert r.returncode == 1 and "result has more than 2 rows" in json.loads(r.stdout)["candidates"][0]["error"]


def test_save_adds_an_answered_question_that_the_next_ask_finds(tmp_path):
    own = tmp_path / "own.json"
    shutil.copy(REPO / "data" / "query_history.json", own)
    r = corvalt("ask", "-q", "--rows", "0", "--save", "--history", str(own), TEMPLATE, cwd=tmp_path)
    assert r.returncode == 0 and r.stderr == f'corvalt: saved "{TEMPLATE}" to {own}\n'
    entries = json.loads(own.read_text())["enriched_queries"]
    assert entries[:-1] == HISTORY
    assert list(entries[-1]) == ["question", "natural_language_variations", "timestamp", "sql"]
    assert entries[-1]["question"] == TEMPLATE and "lag_days > 20" in entries[-1]["sql"]
    r = corvalt("ask", "-q", "--rows", "0", "--history", str(own), TEMPLATE, cwd=tmp_path)
    assert r.stdout.startswith(f'Source: the same question, answered before ("{TEMPLATE}")')
    # Only a statement that ran and returned rows is saved.
    saved = own.read_text()
    r = corvalt("ask", "-q", "--save", "--history", str(own), "xyz qq", cwd=tmp_path)
    assert r.returncode == 1 and 'corvalt: not saved: "xyz qq": it has no answer' in r.stderr
    assert own.read_text() == saved
    bundled = Corvalt.sample_files()["history"]
    r = corvalt("ask", "--save", "--history", bundled, TEMPLATE, cwd=tmp_path)
    assert (r.returncode, r.stderr) == (2, f"corvalt: error: {bundled} is the bundled sample history; "
                                           "save to a history file of your own\n")


def save_ten(path, writer):
    for i in range(10):
        history_file.append_question(path, f"question {i} of writer {writer}", f"SELECT {writer}, {i}")


def test_concurrent_saves_all_land_and_a_bad_file_is_left_alone(tmp_path):
    path = tmp_path / "history.json"
    path.write_text(json.dumps({"enriched_queries": HISTORY[:2], "note": "kept"}))
    spawn = multiprocessing.get_context("spawn")
    writers = [spawn.Process(target=save_ten, args=(str(path), w)) for w in range(4)]
    for w in writers:
        w.start()
    for w in writers:
        w.join(120)
    assert [w.exitcode for w in writers] == [0] * 4
    document = json.loads(path.read_text())
    assert document["note"] == "kept" and document["enriched_queries"][:2] == HISTORY[:2]
    added = [e["question"] for e in document["enriched_queries"][2:]]
    assert sorted(added) == sorted(f"question {i} of writer {w}" for w in range(4) for i in range(10))
    assert sorted(os.listdir(tmp_path)) == ["history.json", "history.json.lock"]  # no temporary file left
    path.write_text("[]")
    with pytest.raises(history_file.HistoryFileError, match="not an object with an enriched_queries list"):
        history_file.append_question(str(path), "q", "SELECT 1")
    assert path.read_text() == "[]"


class FakeAI:
    """Writes a statement that fails, then corrects it on the correction prompt."""

    made = []

    def __init__(self, **options):
        self.options, self.cleared = options, 0
        FakeAI.made.append(self)

    def run(self, prompt):
        return "not an understanding"

    def clear_history(self):
        self.cleared += 1

    def get_response_sync(self, prompt):
        return GOOD_SQL if "fixing a failed SQL query" in prompt else "SELECT no_such_column FROM activities"


def test_ask_with_an_ai_service_reports_each_request_and_the_correction(tmp_path, monkeypatch, capsys):
    import Corvalt.ai

    monkeypatch.setattr(Corvalt.ai, "OpenAIChatService", FakeAI, raising=False)
    monkeypatch.chdir(tmp_path)  # the fix log is written under the working directory
    FakeAI.made.clear()
    code = cli.main(["ask", "Which activities are flagged critical", "--ai-url", "http://127.0.0.1:9/v1",
                     "--model", "m", "--timeout", "5", "--rows", "0"])
    out, err = capsys.readouterr()
    assert code == 0, err
    assert FakeAI.made[0].options == {"base_url": "http://127.0.0.1:9/v1", "model": "m", "timeout": 5.0}
    assert out.splitlines()[:3] == ["Source: the AI service, corrected after its first statement failed",
                                    "SQL:", "  " + GOOD_SQL]
    for line in ("AI request 1: understanding the question", "AI request 2: writing SQL",
                 "AI request 3: correction try 1"):
        assert f"corvalt: {line}\n" in err

    def refuse(**options):
        raise RuntimeError("the environment variable K holding the API key is not set")

    monkeypatch.setattr(Corvalt.ai, "OpenAIChatService", refuse)
    assert cli.main(["context", "q", "--ai-url", "http://127.0.0.1:9/v1", "--model", "m"]) == 2
    assert capsys.readouterr().err == ("corvalt: error: cannot set up the AI service: "
                                       "the environment variable K holding the API key is not set\n")


def test_ctrl_c_during_an_ai_request_stops_the_answer_with_130(tmp_path, monkeypatch, capsys):
    import Corvalt.ai

    class Stuck(FakeAI):
        def get_response_sync(self, prompt):
            self.requests = getattr(self, "requests", 0) + 1
            raise KeyboardInterrupt

    monkeypatch.setattr(Corvalt.ai, "OpenAIChatService", Stuck, raising=False)
    monkeypatch.chdir(tmp_path)
    FakeAI.made.clear()
    assert cli.main(["ask", "-q", "Which activities are flagged critical", "--ai-url", "u", "--model", "m"]) == 130
    assert capsys.readouterr() == ("", "corvalt: interrupted\n") and FakeAI.made[0].requests == 1


def test_the_reporting_proxy_looks_like_the_service_it_wraps():
    class Falsy:
        def __bool__(self):
            return False

    proxy = cli.ReportingAI(Falsy(), lambda line: None)
    assert not proxy and not hasattr(proxy, "get_response")
    assert hasattr(cli.ReportingAI(FakeAI(), print), "options")


class ChatServer(HTTPServer):
    """A chat-completions endpoint on 127.0.0.1 that answers GOOD_SQL to at most 20
    requests within 60 seconds, then stops by itself."""

    def __init__(self):
        super().__init__(("127.0.0.1", 0), ChatHandler)
        self.timeout, self.seen = 0.1, []
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        deadline = time.monotonic() + 60
        while len(self.seen) < 20 and time.monotonic() < deadline and not getattr(self, "done", False):
            self.handle_request()


class ChatHandler(BaseHTTPRequestHandler):
    def do_POST(self):
        body = json.loads(self.rfile.read(int(self.headers["Content-Length"])))
        self.server.seen.append((self.headers.get("Authorization"), body["model"]))
        data = json.dumps({"id": "c", "object": "chat.completion", "created": 0, "model": body["model"],
                           "choices": [{"index": 0, "finish_reason": "stop",
                                        "message": {"role": "assistant", "content": GOOD_SQL}}]}).encode()
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *args):
        pass


def test_ask_through_the_openai_adapter_and_a_local_server(tmp_path):
    pytest.importorskip("openai")
    server = ChatServer()
    try:
        env = dict(os.environ, CORVALT_TEST_KEY="sk-local")
        r = corvalt("ask", "Which activities are flagged critical", "--ai-url",
                    f"http://127.0.0.1:{server.server_address[1]}/v1", "--model", "local-model",
                    "--api-key-env", "CORVALT_TEST_KEY", "--max-retries", "0", cwd=tmp_path, env=env)
    finally:
        server.done = True
        server.thread.join(5)
        server.server_close()
    assert r.returncode == 0, r.stderr
    assert r.stdout.splitlines()[:3] == ["Source: the AI service", "SQL:", "  " + GOOD_SQL]
    assert server.seen and set(server.seen) == {("Bearer sk-local", "local-model")}


def test_profile_writes_the_document_with_statistics_from_the_data(tmp_path):
    r = corvalt("profile", "-q", "--out", "profiled.json", cwd=tmp_path)
    assert r.returncode == 0, r.stderr
    profiled = json.loads((tmp_path / "profiled.json").read_text())
    original = json.loads((REPO / "data" / "enriched_project_metadata_cleaned.json").read_text())
    assert list(profiled) == list(original) and profiled["relationships"] == original["relationships"]
    status = profiled["tables"]["activities"]["columns"]["status"]["statistics"]
    counts = dict(sample_rows("SELECT status, count(*) FROM activities GROUP BY status"))
    assert {v["value"]: v["count"] for v in status["top_values"]} == counts
    assert status["distinct_count"] == len(counts) and status["null_count"] == 0
    # A profiled document gives the lexical mode its stored values without the database.
    from Corvalt.Atlanor import AtlanorService
    schema = AtlanorService(str(tmp_path / "profiled.json"), linking="lexical")
    schema.build_graph()
    hints = schema.process_query("Which activities are in-progress?")["sql_hints"]
    assert {"column": "activities.status", "value": "In Progress"}.items() <= hints["values"][0].items()
    assert corvalt("profile", "-q", "--out", str(tmp_path / "missing" / "x.json"), cwd=tmp_path).returncode == 2


def test_sql_shows_every_column_and_runs_what_the_engine_proves_read_only(tmp_path):
    both = ("SELECT p.status, a.status, p.total_float_days, a.total_float_days FROM projects p "
            "JOIN activities a ON a.project_id = p.project_id WHERE a.activity_code = 'RMC-A1010'")
    (stored,) = sample_rows(both)
    r = corvalt("sql", "-q", "--json", both, cwd=tmp_path)
    record = json.loads(r.stdout)
    assert record["columns"] == ["status", "status_2", "total_float_days", "total_float_days_2"]
    assert list(record["results"][0].values()) == list(stored)
    r = corvalt("sql", "-q", both, cwd=tmp_path)
    assert r.stdout.splitlines()[1].split() == ["status", "status_2", "total_float_days", "total_float_days_2"]
    assert r.stdout.splitlines()[3].split() == ["NULL" if v is None else str(v) for v in stored]
    r = corvalt("sql", "-q", "WITH x AS (SELECT 1 AS a) SELECT * FROM x", cwd=tmp_path)
    assert r.returncode == 0 and r.stdout.split() == ["Rows:", "1", "a", "-", "1"]
    assert corvalt("sql", "-q", "WITH x AS (SELECT 1 AS a) SELECT * FROM x", "--read-only", "words",
                   cwd=tmp_path).returncode == 1


def test_an_unreachable_ai_service_gives_the_offline_answer_with_exit_3(tmp_path, monkeypatch, capsys):
    import Corvalt.ai

    class Unreachable(FakeAI):
        def get_response_sync(self, prompt):
            raise ConnectionError("connection refused")

    monkeypatch.setattr(Corvalt.ai, "OpenAIChatService", Unreachable, raising=False)
    monkeypatch.chdir(tmp_path)
    assert cli.main(["ask", "-q", SAME, "--ai-url", "http://127.0.0.1:9/v1", "--model", "m"]) == 3
    out, err = capsys.readouterr()
    assert out.startswith("Source: the same question, answered before")
    assert "the AI service did not answer (" in err and "connection refused" in err
    assert cli.main(["ask", "-q", "xyz qq", "--ai-url", "http://127.0.0.1:9/v1", "--model", "m"]) == 1


def test_sql_streams_json_and_csv_and_closes_the_document_when_a_bound_stops_it(tmp_path):
    many = ("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
            "SELECT i, 'r' || i AS label, NULL AS empty FROM n")
    r = corvalt("sql", "-q", "--csv", many, cwd=tmp_path)
    lines = r.stdout.splitlines()
    assert r.returncode == 0 and lines[0] == "i,label,empty" and lines[1:3] == ["1,r1,", "2,r2,"]
    assert len(lines) == 10001
    r = corvalt("sql", "-q", "--json", many, cwd=tmp_path)
    record = json.loads(r.stdout)
    assert record["success"] is True and record["row_count"] == len(record["results"]) == 10000
    assert record["results"][9999] == {"i": 10000, "label": "r10000", "empty": None}
    # Past the row cap after the first rows went out: still one JSON document, saying so.
    r = corvalt("sql", "-q", "--json", "--max-rows", "5000", many, cwd=tmp_path)
    record = json.loads(r.stdout)
    assert r.returncode == 1 and record["success"] is False
    # How many rows went out before the cap stopped the statement depends on timing.
    assert "more than 5000 rows" in record["execution_error"] and len(record["results"]) <= 5000
    assert corvalt("sql", "-q", "--json", "--csv", "SELECT 1", cwd=tmp_path).returncode == 2


def test_sql_json_and_csv_write_each_value_as_the_json_and_csv_modules_write_it(tmp_path):
    import csv
    import io

    # Over several batches: quotes, commas, line breaks, control and non-ASCII characters,
    # blobs, infinities, NULL, empty texts, large and small reals, repeated and odd names.
    tricky = ("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 9000) "
              "SELECT i AS \"a,b\", i * 0.1 AS \"q\"\"x\", CASE i % 7 WHEN 0 THEN NULL WHEN 1 THEN 'say \"hi\", ok' "
              "WHEN 2 THEN char(10) || 'x' || char(13) || char(9) || char(1) WHEN 3 THEN 'é😀' WHEN 4 THEN x'00ff10' "
              "WHEN 5 THEN 1e999 ELSE -1e999 END AS v, '' AS e, i * 1e20 AS big, 1.0 / i AS small, "
              "CASE WHEN i % 2 THEN 'x' ELSE 'y' END AS v, zeroblob(i % 3) AS zb FROM n")
    rows = sample_rows(tricky)
    names = ["a,b", 'q"x', "v", "e", "big", "small", "v_2", "zb"]

    def run(fmt, sql):
        done = subprocess.run([sys.executable, "-m", "Corvalt", "sql", "-q", fmt, sql], cwd=tmp_path,
                              capture_output=True, timeout=120, stdin=subprocess.DEVNULL)
        assert done.returncode == 0, done.stderr
        return done.stdout.decode()

    expected = io.StringIO()
    writer = csv.writer(expected, lineterminator="\n")
    writer.writerow(names)
    writer.writerows([["" if v is None else v.hex() if isinstance(v, bytes) else v for v in row] for row in rows])
    assert run("--csv", tricky) == expected.getvalue()
    # A row of one empty field is written "" (never an empty line), as the csv module does.
    assert run("--csv", "VALUES (NULL), (''), (x''), (0)") == 'column1\n""\n""\n""\n0\n'

    out = run("--json", tricky)
    record = json.loads(out)
    assert record["columns"] == names and record["row_count"] == len(rows)
    # Each batch on a line of its own: joined, the lines are the rows as json.dumps writes them.
    lines = out[out.index('"results": [\n') + 13:out.index("\n  ],\n")].split("\n")
    assert len(lines) > 1 and all(line.startswith("    ") for line in lines)
    written = ", ".join(line[4:].removesuffix(",") for line in lines)
    assert written == ", ".join(json.dumps(cli.to_json_value(dict(zip(names, row))), ensure_ascii=True,
                                           allow_nan=False) for row in rows)
