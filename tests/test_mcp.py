"""corvalt mcp on the bundled sample: a subprocess spoken to with the mcp package's own
stdio client. Tools and their read-only annotations, each tool's answer, the bounds
(rows, characters, the statement time limit), refused and bad calls as tool errors, and
the server still answering after them."""

import contextlib
import glob
import json
import os
import re
import signal
import sqlite3
import subprocess
import sys

import pytest

pytest.importorskip("mcp.server.mcpserver",
                    reason="corvalt mcp needs the mcp package 2.0 or newer (the mcp extra), not installed")
import anyio  # noqa: E402  (comes with mcp)
from mcp import ClientSession, StdioServerParameters  # noqa: E402
from mcp.client.stdio import stdio_client  # noqa: E402

from conftest import REPO  # noqa: E402

SAMPLE_DB = REPO / "data" / "project_schedule.db"
TOOLS = {"ask", "get_context", "run_sql", "list_tables", "describe_table", "find_values"}
# 100 x 100 x 100 rows from a cross join of subqueries.
MILLION = ("SELECT a.activity_id AS a, b.activity_id AS b, c.activity_id AS c FROM "
           + ", ".join(f"(SELECT activity_id FROM activities ORDER BY activity_id LIMIT 100) {t}"
                       for t in "abc"))
SLOW = "SELECT count(*) FROM activities a, activities b, activities c, activities d"


def sample_rows(sql):
    with sqlite3.connect(f"file:{SAMPLE_DB}?mode=ro", uri=True) as con:
        return con.execute(sql).fetchall()


def children():
    """Ids of this process's child processes."""
    pids = []
    for stat in glob.glob("/proc/[0-9]*/stat"):
        with contextlib.suppress(OSError), open(stat) as f:
            if int(f.read().rsplit(")", 1)[1].split()[1]) == os.getpid():
                pids.append(int(stat.split("/")[2]))
    return pids


def serve(tmp_path, body, *options):
    """Runs `await body(session)` against a fresh `python -m Corvalt mcp`; the server is
    gone afterwards, killed if it outlived the client's shutdown."""
    before = set(children())

    async def main():
        params = StdioServerParameters(command=sys.executable, args=["-m", "Corvalt", "mcp", "-q", *options],
                                       cwd=str(tmp_path), env=dict(os.environ))
        with open(tmp_path / "server.log", "w") as log:
            async with stdio_client(params, errlog=log) as (read, write):
                async with ClientSession(read, write) as session:
                    await session.initialize()
                    return await body(session)

    try:
        return anyio.run(main)
    finally:
        for pid in set(children()) - before:
            with contextlib.suppress(ProcessLookupError, ChildProcessError):
                os.kill(pid, signal.SIGKILL)
                os.waitpid(pid, 0)


async def call(session, tool, **arguments):
    result = await session.call_tool(tool, arguments)
    assert len(result.content) == 1 and result.content[0].type == "text"
    text = result.content[0].text
    return result.is_error, (text if result.is_error else json.loads(text)), text


def test_tools_are_read_only_with_schemas_and_the_schema_is_a_resource(tmp_path):
    async def body(session):
        tools = {t.name: t for t in (await session.list_tools()).tools}
        assert set(tools) == TOOLS
        for tool in tools.values():
            assert tool.annotations.read_only_hint is True and tool.annotations.destructive_hint is False
            assert len(tool.description) > 80 and tool.input_schema["type"] == "object"
        assert tools["run_sql"].input_schema["required"] == ["sql"]
        rows = tools["run_sql"].input_schema["properties"]["max_rows"]
        assert (rows["minimum"], rows["maximum"], rows["default"]) == (1, 1000, 50)
        assert set(tools["ask"].input_schema["properties"]) == {"question", "previous_sql", "max_rows"}

        resources = {str(r.uri): r for r in (await session.list_resources()).resources}
        assert {r.mime_type for r in resources.values()} == {"application/json", "text/markdown"}
        document = json.loads((await session.read_resource("corvalt://metadata")).contents[0].text)
        assert "activities" in document["tables"]
        markdown = (await session.read_resource("corvalt://schema")).contents[0].text
        assert "## activities" in markdown and "| total_float_days | REAL |" in markdown
        assert "`activities.project_id = projects.project_id`" in markdown

    serve(tmp_path, body)


def test_ask_answers_or_hands_the_context_over(tmp_path):
    async def body(session):
        error, answer, _ = await call(session, "ask", question="Show all projects with negative float",
                                      max_rows=2)
        assert not error and answer["answered"] and answer["source"] == "history"
        assert answer["row_count"] == len(sample_rows(answer["sql"])) == 5
        assert len(answer["rows"]) == 2 and answer["cut"].startswith("cut: the first 2 of 5 rows")
        assert answer["rows"][0] == list(sample_rows(answer["sql"])[0])

        # Without an AI service: no answer, but what the caller needs to write the SQL itself.
        error, answer, _ = await call(session, "ask", question="Which activities of the harbour bridge "
                                                               "project are in progress?")
        assert not error and answer["answered"] is False
        assert answer["reason"].startswith("no answer without an AI service")
        assert answer["suggested_tables"] and answer["similar_questions"] and answer["starting_sql"]
        context = answer["context"]
        assert {t["name"] for t in context["tables"]} >= {"activities", "projects"}
        assert {"column": "activities.status", "value": "In Progress", "phrase": "in progress",
                "fit": "exact"} in context["values"]
        assert any(j["join"] == "activities.project_id = projects.project_id" for j in context["joins"])

        error, text, _ = await call(session, "ask", question="   ")
        assert error and "the question is empty" in text

    serve(tmp_path, body)


def test_schema_tools(tmp_path):
    async def body(session):
        _, context, _ = await call(session, "get_context", question="critical activities of Northgate")
        activities = next(t for t in context["tables"] if t["name"] == "activities")
        critical = next(c for c in activities["columns"] if c["name"] == "is_critical")
        assert critical["type"] == "INTEGER" and "critical path" in critical["description"]
        assert context["match"] == "strong" and context["dialect"]["name"] == "SQLite"
        assert context["examples"] and all("sql" in e for e in context["examples"])

        _, listing, _ = await call(session, "list_tables")
        names = {t["name"] for t in listing["tables"]}
        stored = {r[0] for r in sample_rows("SELECT name FROM sqlite_master WHERE type = 'table'")}
        assert names == stored and listing["table_count"] == len(stored)

        _, table, _ = await call(session, "describe_table", name="Projects")
        assert table["name"] == "projects" and table["row_count"] == sample_rows("SELECT count(*) FROM projects")[0][0]
        status = next(c for c in table["columns"] if c["name"] == "status")
        assert sorted(status["samples"]) == sorted(r[0] for r in sample_rows("SELECT DISTINCT status FROM projects"))
        assert any(j["join"] == "activities.project_id = projects.project_id" for j in table["joins"])
        error, text, _ = await call(session, "describe_table", name="no_such_table")
        assert error and "no table named 'no_such_table'" in text and "activities" in text

        _, found, _ = await call(session, "find_values", text="harbour bridge")
        assert {"column": "projects.project_name", "value": "Harbor Bridge Rehabilitation",
                "fit": "partial"} in found["matches"]
        _, found, _ = await call(session, "find_values", text="Zone", max_rows=3)
        assert len(found["matches"]) == 3 and found["cut"].startswith("cut: more than 3 matches")
        assert all("zone" in m["value"].lower() and m["fit"] == "contains" for m in found["matches"])

    serve(tmp_path, body)


def test_run_sql_is_bounded_and_refusals_are_tool_errors(tmp_path):
    async def body(session):
        error, result, _ = await call(session, "run_sql", sql="SELECT project_code FROM projects ORDER BY 1;")
        assert not error and result["columns"] == ["project_code"] and "cut" not in result
        assert result["rows"] == [list(r) for r in sample_rows("SELECT project_code FROM projects ORDER BY 1")]

        # A million rows: the first 50, the count, and a line saying so.
        error, result, _ = await call(session, "run_sql", sql=MILLION)
        assert not error and result["row_count"] == 1_000_000 and len(result["rows"]) == 50
        assert result["columns"] == ["a", "b", "c"] and len({tuple(r) for r in result["rows"]}) == 50
        assert result["cut"].startswith("cut: the first 50 of 1000000 rows (max_rows 50)")
        error, result, text = await call(session, "run_sql", sql=MILLION, max_rows=1000)
        assert len(result["rows"]) == 1000 and len(text) <= 20000

        # The character cap cuts wide rows further; the count stays.
        error, result, text = await call(session, "run_sql", max_rows=1000,
                                         sql="SELECT activity_code, activity_name, status FROM activities")
        assert not error and len(text) <= 20000 and 0 < len(result["rows"]) < 1000
        assert result["row_count"] == sample_rows("SELECT count(*) FROM activities")[0][0]
        assert "to stay within 20000 characters" in result["cut"]

        # A repeated column name keeps both values.
        _, result, _ = await call(session, "run_sql", sql="SELECT 1 AS x, 2 AS x")
        assert result == {"columns": ["x", "x"], "rows": [[1, 2]], "row_count": 1}

        error, text, _ = await call(session, "run_sql", sql="DROP TABLE projects")
        assert error and "Security restriction" in text and "only a statement that reads" in text
        error, text, _ = await call(session, "run_sql", sql="WITH x AS (SELECT 1) DELETE FROM projects")
        assert error and "Security restriction" in text
        # The engine proves a WITH ... SELECT read-only: it runs, bounded like any other.
        _, result, _ = await call(session, "run_sql", sql="WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                                          "SELECT i + 1 FROM n WHERE i < 2000) SELECT i FROM n")
        assert result["row_count"] == 2000 and len(result["rows"]) == 50
        error, text, _ = await call(session, "run_sql", sql="SELECT missing FROM nowhere")
        assert error and "no such table: nowhere" in text and "LIMIT" not in text
        for bad in ({"sql": "SELECT 1", "max_rows": 0}, {"sql": "SELECT 1", "max_rows": 1001},
                    {"sql": "SELECT 1", "max_rows": "many"}, {}):
            error, text, _ = await call(session, "run_sql", **bad)
            assert error and ("max_rows" in text or "sql" in text)
        error, text, _ = await call(session, "no_such_tool")
        assert error and "no_such_tool" in text

        # Still answering.
        error, result, _ = await call(session, "run_sql", sql="SELECT count(*) AS n FROM projects")
        assert not error and result["rows"] == [[8]]
        assert len(sample_rows("SELECT * FROM projects")) == 8   # and nothing was dropped

    serve(tmp_path, body)


def test_a_statement_past_its_time_limit_fails_and_the_server_goes_on(tmp_path):
    async def body(session):
        error, text, _ = await call(session, "run_sql", sql=SLOW)
        assert error and "statement timed out after 1 s" in text
        error, result, _ = await call(session, "list_tables")
        assert not error and result["table_count"] > 0

    serve(tmp_path, body, "--timeout-s", "1")


def test_bad_command_lines_are_usage_errors(tmp_path):
    run = lambda *args: subprocess.run([sys.executable, "-m", "Corvalt", "mcp", *args], cwd=tmp_path,
                                       capture_output=True, text=True, timeout=60, stdin=subprocess.DEVNULL)
    r = run("--db", str(tmp_path / "missing.db"))
    assert r.returncode == 2 and "database not found" in r.stderr and r.stdout == ""
    r = run("--rows", "5000")
    assert r.returncode == 2 and "must be from 1 to 1000" in r.stderr


def test_results_keep_within_the_character_cap():
    from Corvalt.mcp_server import render

    doc = {"question": "q", "tables": ["t" * 50] * 100, "examples": ["e" * 100] * 100}
    text = render(dict(doc), 6000, optional=("examples",))
    assert len(text) <= 6000 and json.loads(text)["cut"] == "cut: examples left out to stay within 6000 characters"
    text = render(dict(doc), 1000, optional=("examples",))
    whole = re.search(r"\n\[cut: the first 1000 of (\d+) characters\]$", text)
    assert len(text) <= 1000 and whole and int(whole.group(1)) > 5000
    assert text.startswith('{"question": "q", "tables": ["ttt')


@pytest.mark.skipif(not os.environ.get("CORVALT_PG_URI"), reason="no PostgreSQL server: scripts/test.sh starts one")
def test_the_tools_on_a_postgresql_server(tmp_path):
    async def body(session):
        _, listed, _ = await call(session, "list_tables")
        assert {"projects", "activities"} <= {t["name"] for t in listed["tables"]}
        error, described, text = await call(session, "describe_table", name="projects")
        assert not error, text
        assert ("project_code", "text") in {(c["name"], c["type"]) for c in described["columns"]}
        error, ran, _ = await call(session, "run_sql", sql="SELECT activity_id FROM activities", max_rows=3)
        assert not error and len(ran["rows"]) == 3 and ran["row_count"] == 1558
        error, text, _ = await call(session, "run_sql", sql="SELECT pg_read_file('/etc/passwd')")
        assert error and "pg_read_file is not allowed" in text
        _, found, _ = await call(session, "find_values", text="harbor bridge")
        assert any(m["value"] == "Harbor Bridge Rehabilitation" for m in found["matches"])

    serve(tmp_path, body, "--db", os.environ["CORVALT_PG_URI"])
