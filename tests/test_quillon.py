"""Host contract of Corvalt.Quillon: construction, the connection, the read-only guard,
test_query filling the caller's dict in place, values, summaries and the fix log."""

import json
import os
import pathlib
import sqlite3
import subprocess
import sys
import threading
import time

import pytest

from Corvalt.Quillon import Quillon

DROP = "Security restriction: DROP operations are not allowed. SQL Query Builder only supports SELECT operations."
ONLY_SELECT = "Security restriction: Only SELECT operations are allowed."


def refusal(message):
    return f"Security restriction: {message}. SQL Query Builder only supports SELECT operations."


@pytest.fixture
def db_path(tmp_path):
    path = tmp_path / "schedule.db"
    con = sqlite3.connect(path)
    con.executescript(
        """
        CREATE TABLE tasks (id INTEGER PRIMARY KEY, name TEXT, duration REAL, note TEXT, data BLOB);
        CREATE INDEX tasks_name ON tasks(name);
        INSERT INTO tasks VALUES (1, 'Dig', 2.5, NULL, x'00ff');
        INSERT INTO tasks VALUES (2, 'Pour', 1.0, 'Update pending', NULL);
        INSERT INTO tasks VALUES (9223372036854775807, 'Cure', NULL, 'ünïcode', x'');
        CREATE TABLE status (id INTEGER, status TEXT);
        INSERT INTO status VALUES (1, 'Not Started'), (2, 'In Progress'), (3, 'Completed'),
                                  (4, 'On Hold'), (5, 'Completed'), (6, 'Late');
        """
    )
    con.commit()
    con.close()
    return str(path)


@pytest.fixture
def service(db_path):
    return Quillon(db_path)


def run(service, sql):
    return service.test_query({"sql": sql})


# ------------------------------------------------------------- construction --


def test_construction_without_arguments():
    q = Quillon()
    assert (q.verbose, q.mindloom, q.database_path, q.conn) == (False, None, None, None)
    record = {"sql": "DROP TABLE x"}
    assert q.test_query(record) == {"sql": "DROP TABLE x", "execution_error": "No database connection available",
                                    "success": False}


def test_attributes_are_kept_as_passed(db_path):
    ai = object()
    q = Quillon(db_path, verbose=1, mindloom=ai)
    assert q.verbose == 1 and type(q.verbose) is int
    assert q.mindloom is ai
    assert q.database_path == db_path
    assert q.conn and q.conn is q.conn
    q.verbose = None
    q.mindloom = None
    assert (q.verbose, q.mindloom) == (None, None)


def test_missing_file_is_reported_and_not_created(tmp_path, capsys):
    missing = str(tmp_path / "missing.db")
    q = Quillon(missing, verbose=True)
    assert q.conn is None and q.database_path == missing
    assert not os.path.exists(missing)
    assert capsys.readouterr().out == f"Database file not found: {missing}\n"
    Quillon(missing)
    Quillon("", verbose=True)
    assert capsys.readouterr().out == ""
    # Connecting directly creates the empty database.
    assert q.connect_database(missing) is True
    assert os.path.exists(missing) and q.conn


def test_existing_file_connects(db_path, capsys):
    q = Quillon(database_path=db_path, verbose=True)
    assert q.conn
    assert capsys.readouterr().out == f"Connected to database: {db_path}\n"


def test_argument_types_are_checked(db_path):
    for bad in (5, b"x.db", ["x"]):
        with pytest.raises(TypeError):
            Quillon(bad)
    with pytest.raises(TypeError):
        Quillon(db_path, False, None, "extra")
    q = Quillon(db_path)
    for call in (lambda: q.connect_database(None), lambda: q._validate_safe_sql(None),
                 lambda: q._validate_safe_sql(b"select 1"), lambda: q.test_query(None),
                 lambda: q.test_query([("sql", "select 1")]), lambda: q.test_query("select 1")):
        with pytest.raises(TypeError):
            call()
    with pytest.raises(TypeError):
        q.test_query({"sql": 42})


# --------------------------------------------------------------- connection --


def test_connection_object_lifecycle(db_path, tmp_path, capsys):
    q = Quillon(verbose=True)
    assert q.connect_database(db_path) is True
    conn = q.conn
    assert conn and q.conn is conn and conn.database_path == db_path
    assert q.close_connection() is None
    assert q.conn is None and not conn
    assert capsys.readouterr().out == f"Connected to database: {db_path}\nDatabase connection closed\n"
    q.close_connection()  # nothing open: silent
    assert capsys.readouterr().out == ""


def test_failed_connect_keeps_the_earlier_path(db_path, tmp_path, capsys):
    q = Quillon(db_path, verbose=True)
    capsys.readouterr()
    assert q.connect_database(str(tmp_path)) is False  # a directory
    assert q.conn is None and q.database_path == db_path
    assert capsys.readouterr().out == "Error connecting to database: unable to open database file\n"
    assert q.connect_database(str(tmp_path / "no" / "x.db")) is False


def test_second_connect_replaces_the_first(db_path, tmp_path):
    q = Quillon(db_path)
    first = q.conn
    other = str(tmp_path / "other.db")
    assert q.connect_database(other)
    assert q.conn is not first and q.database_path == other
    assert run(q, "select count(*) as n from sqlite_master")["results"] == [{"n": 0}]


def test_conn_can_be_cleared_and_shared(db_path):
    q = Quillon(db_path)
    other = Quillon()
    other.conn = q.conn
    assert run(other, "select 1 as a")["success"]
    q.conn = None
    assert run(q, "select 1 as a")["execution_error"] == "No database connection available"
    with pytest.raises(TypeError):
        q.conn = sqlite3.connect(":memory:")


def test_usable_from_another_thread(db_path):
    q = Quillon(db_path)
    record = {"sql": "select count(*) as n from tasks"}
    worker = threading.Thread(target=q.test_query, args=(record,))
    worker.start()
    worker.join()
    assert record["results"] == [{"n": 3}]


def test_other_threads_run_while_sqlite_works(tmp_path):
    path = tmp_path / "big.db"
    con = sqlite3.connect(path)
    con.execute("create table n (i integer)")
    con.executemany("insert into n values (?)", ((i,) for i in range(300)))
    con.commit()
    con.close()
    q = Quillon(str(path))
    record = {"sql": "select count(*) as c from n a, n b, n c where a.i + b.i > c.i"}
    done = threading.Event()
    ticks = 0

    def work():
        q.test_query(record)
        done.set()

    worker = threading.Thread(target=work)
    start = time.perf_counter()
    worker.start()
    while not done.is_set():
        ticks += 1
        time.sleep(0.001)
    worker.join()
    elapsed = time.perf_counter() - start
    assert record["success"], record.get("execution_error")
    # Holding the GIL for the whole query would leave the loop one or two ticks.
    assert elapsed < 0.05 or ticks > 10, (elapsed, ticks)


# -------------------------------------------------------------------- guard --


GUARD_ROWS = json.loads((pathlib.Path(__file__).parent / "golden" / "guard_rows.json").read_text())["rows"]


@pytest.mark.parametrize("sql, message", [(r["sql"], r["message"]) for r in GUARD_ROWS])
def test_every_guard_row(service, sql, message):
    assert service._validate_safe_sql(sql) == refusal(message)
    record = run(service, sql)
    assert record == {"sql": sql, "execution_error": refusal(message), "success": False}


def test_guard_subtleties(service):
    v = service._validate_safe_sql
    assert v("  SELECT *\n FROM tasks  ") is None
    for sql in ("select*from tasks", "with x as (select 1) select * from x", "explain select 1", "(select 1)",
                "", "   ", "SELECT"):
        assert v(sql) == ONLY_SELECT, sql
    assert v("select 1 from t where drop and delete") == refusal("DELETE operations are not allowed")
    assert v("select * from tasks where note = 'Update pending'") == refusal("UPDATE operations are not allowed")
    for sql in ("select updated_at from t", "select deleted, dropdown, inserts, created from t",
                "select * from pragma_table_info('tasks')", "select 1 as create", "select attach, 1",
                "select 1 ; vacuum", "select 1;vacuum", "select ädrop, drop_ from t"):
        assert v(sql) is None, sql
    assert v("select 1;\n VACUUM;") == refusal("VACUUM operations are not allowed")
    assert v("select a from t where create x") == refusal("CREATE operations are not allowed")
    assert v("select \"drop\" from t") == DROP
    assert v("select 1 from t -- then DROP it") == DROP
    assert v("select\u00a0drop\u2003from t") == DROP  # Unicode white space separates words


def test_blocked_message_only_for_table_rows(db_path, capsys):
    q = Quillon(db_path, verbose=True)
    capsys.readouterr()
    q._validate_safe_sql("DROP TABLE x")
    q._validate_safe_sql("create table x (a)")
    q._validate_safe_sql("with x as (select 1) select 1")
    assert capsys.readouterr().out == ("Blocked dangerous SQL operation: drop\n"
                                       "Blocked dangerous SQL operation: create \n")


def test_guard_passes_then_the_binding_refuses_a_second_statement(service):
    record = run(service, "select 1 ; vacuum")
    assert record["execution_error"] == (
        "Execution failed on sql 'select 1 ; vacuum': You can only execute one statement at a time.")


# --------------------------------------------------------------- test_query --


def test_updates_the_same_dict_in_place(service, capsys):
    record = {"question": "q", "sql": "select 1 as a, 2 as b", "source": "historical"}
    holder = {"ai_query": record, "best_query": record}
    result = service.test_query(record)
    assert result is record and holder["best_query"] is record
    assert list(record) == ["question", "sql", "source", "success", "row_count", "column_count", "columns",
                            "results", "summary"]
    assert record["success"] is True
    assert (record["row_count"], record["column_count"], record["columns"]) == (1, 2, ["a", "b"])
    assert record["results"] == [{"a": 1, "b": 2}]
    assert record["summary"] == "Query returned 1 row(s) with 2 column(s).\n\nResults:\n   a  b\n0  1  2"
    assert capsys.readouterr().out == ""


def test_no_key_is_ever_removed(service):
    record = {"sql": "select * from nope", "extra": [1, {"x": 2}]}
    nested = record["extra"]
    service.test_query(record)
    failure = record["execution_error"]
    assert failure == "Execution failed on sql 'select * from nope': no such table: nope"
    record["sql"] = "select 1 as a"
    service.test_query(record)
    assert record["success"] is True and record["execution_error"] == failure
    assert record["extra"] is nested
    assert list(record) == ["sql", "extra", "execution_error", "success", "row_count", "column_count", "columns",
                            "results", "summary"]
    record["sql"] = "select * from nope"
    service.test_query(record)
    assert record["success"] is False and record["results"] == [{"a": 1}]  # left from the earlier run


def test_missing_or_empty_statement(service):
    assert service.test_query({"error": "AI service not available for SQL generation"}) == {
        "error": "AI service not available for SQL generation",
        "execution_error": "No SQL query provided", "success": False}
    for value in ("", None, 0, []):
        assert service.test_query({"sql": value})["execution_error"] == "No SQL query provided"


def test_verbose_messages(db_path, capsys):
    q = Quillon(db_path, verbose=True)
    capsys.readouterr()
    run(q, "select id from tasks")
    run(q, "select nope from tasks")
    run(q, "DROP TABLE tasks")
    q.test_query({})
    assert capsys.readouterr().out == (
        "Query executed successfully: 3 rows returned\n"
        "Error executing query: Execution failed on sql 'select nope from tasks': no such column: nope\n"
        "Blocked dangerous SQL operation: drop\n")


def test_empty_result_succeeds(service):
    record = run(service, "select id, name from tasks where id < 0")
    assert record["success"] and record["row_count"] == 0 and record["columns"] == ["id", "name"]
    assert record["results"] == [] and record["summary"] == "Query returned no results."


def test_values_by_type(service):
    rows = run(service, "select id, name, duration, note, data from tasks order by id")["results"]
    assert rows == [
        {"id": 1, "name": "Dig", "duration": 2.5, "note": None, "data": b"\x00\xff"},
        {"id": 2, "name": "Pour", "duration": 1.0, "note": "Update pending", "data": None},
        {"id": 9223372036854775807, "name": "Cure", "duration": None, "note": "ünïcode", "data": b""},
    ]
    assert [type(v) for v in rows[0].values()] == [int, str, float, type(None), bytes]
    assert type(rows[1]["duration"]) is float  # a REAL that looks whole stays a float
    # An integer column holding NULL keeps exact integers.
    mixed = run(service, "select id from tasks where id > 2 union all select null")["results"]
    assert mixed == [{"id": 9223372036854775807}, {"id": None}]
    json.dumps(mixed)  # no NaN: valid JSON for the host


def test_duplicate_column_names(service):
    record = run(service, "select 1 as a, 2 as b, 3 as a")
    assert record["columns"] == ["a", "b", "a"] and record["column_count"] == 3
    assert record["results"] == [{"a": 3, "b": 2}] and list(record["results"][0]) == ["a", "b"]


def test_many_rows_match_the_host_reader(tmp_path):
    """Rows of every kind, texts repeated within and across columns (short,
    long, non-ASCII, empty), compared with the host's own sqlite3 rows; enough
    of them that they are made in batches while the statement still runs."""
    import random

    rng = random.Random(5)
    words = ["", "a", "Late", "Not Started", "ünïcode", "x" * 47, "y" * 48, "z" * 49, "Crew A",
             "Crew B", "Électricien", "2024-03-01", "2024-03-02", "snow ☃ day"]
    path = tmp_path / "many.db"
    con = sqlite3.connect(path)
    con.execute("CREATE TABLE t (i INTEGER, r REAL, a TEXT, b TEXT, c BLOB, m)")
    rows = []
    for k in range(30000):
        rows.append((
            rng.choice([None, k, -k, 2 ** 62 + k]),
            rng.choice([None, k / 7, -0.0, 1e300]),
            rng.choice(words + [None]),
            rng.choice(words) + (str(rng.randrange(40)) if rng.random() < 0.5 else ""),
            rng.choice([None, b"", bytes([k % 256, 0])]),
            rng.choice([None, k, 1.5, "mixed " * rng.randrange(3), b"\x01"]),
        ))
    con.executemany("INSERT INTO t VALUES (?, ?, ?, ?, ?, ?)", rows)
    con.commit()
    sql = "SELECT i, r, a, b, c, m, a AS a2, b AS i FROM t"
    cursor = con.execute(sql)
    names = [d[0] for d in cursor.description]
    expected = []
    for row in cursor.fetchall():
        d = {}
        for name, value in zip(names, row):
            d[name] = value
        expected.append(d)
    con.close()
    record = Quillon(str(path)).test_query({"sql": sql})
    assert record["success"], record.get("execution_error")
    assert record["row_count"] == 30000 and record["columns"] == names
    got = record["results"]
    assert got == expected
    assert [list(r) for r in got] == [list(r) for r in expected]
    for g, e in zip(got, expected):
        assert [type(v) for v in g.values()] == [type(v) for v in e.values()]


def test_invalid_utf8_text_is_a_clear_error(service):
    record = run(service, "select cast(x'41ff42' as text) as c")
    assert record["success"] is False
    assert record["execution_error"] == "Could not decode to UTF-8 column 'c' with text 'A\ufffdB'"


def test_sqlite_errors_are_worded_as_the_reader_words_them(service):
    assert run(service, "select * from nope")["execution_error"] == (
        "Execution failed on sql 'select * from nope': no such table: nope")
    assert run(service, "select 1 from")["execution_error"] == (
        "Execution failed on sql 'select 1 from': incomplete input")
    assert run(service, "select abs(-9223372036854775808)")["execution_error"] == (
        "Execution failed on sql 'select abs(-9223372036854775808)': integer overflow")
    # Failing while later rows are read: the bare text.
    assert run(service, "select abs(id - 9223372036854775807 - 2) from tasks order by id desc")[
        "execution_error"] == "integer overflow"


def test_the_bindings_three_refusals_in_order(service):
    nul = "select nope from nowhere\x00 ?"
    assert run(service, nul)["execution_error"] == (
        f"Execution failed on sql '{nul}': the query contains a null character")
    assert run(service, "select nope from nowhere; select ?")["execution_error"] == (
        "Execution failed on sql 'select nope from nowhere; select ?': no such table: nowhere")
    for sql in ("select ? ; select 2", "select 1;;", "select 1; select 2", "select 1; /* c */ x"):
        assert run(service, sql)["execution_error"] == (
            f"Execution failed on sql '{sql}': You can only execute one statement at a time."), sql
    assert run(service, "select :a, :a, ?5")["execution_error"] == (
        "Execution failed on sql 'select :a, :a, ?5': Incorrect number of bindings supplied. "
        "The current statement uses 5, and there are 0 supplied.")
    for sql in ("select 1;", "select 1; -- done", "select 1;\n\t /* c */ "):
        assert run(service, sql)["success"], sql


def test_lone_surrogate_in_statement(service):
    sql = "select '\udc80' as s"
    assert service._validate_safe_sql(sql) is None
    assert run(service, sql)["execution_error"] == (
        f"Execution failed on sql '{sql}': 'utf-8' codec can't encode character '\\udc80' in position 8: "
        "surrogates not allowed")


# ----------------------------------------------------------- defence in depth --


def test_nothing_run_can_write(service, db_path):
    assert run(service, "select * from tasks where name = 'Dig'")["success"]
    record = run(service, "select * from pragma_optimize")
    assert record["execution_error"] == (
        "Execution failed on sql 'select * from pragma_optimize': attempt to write a readonly database")
    con = sqlite3.connect(db_path)
    assert con.execute("select name from sqlite_master where name = 'sqlite_stat1'").fetchall() == []


def test_functions_that_reach_past_sql_are_refused(service):
    for sql, name in (("select fts3_tokenizer('simple', x'4141414141414141')", "fts3_tokenizer"),
                      ("select fts3_tokenizer('simple')", "fts3_tokenizer"),
                      ("select load_extension('/tmp/nothing.so')", "load_extension")):
        assert run(service, sql)["execution_error"] == (
            f"Execution failed on sql '{sql}': not authorized to use function: {name}")


def test_virtual_tables_stay_readable(db_path):
    con = sqlite3.connect(db_path)
    con.executescript(
        """
        CREATE VIRTUAL TABLE docs USING fts5(body);
        INSERT INTO docs VALUES ('critical path'), ('free float');
        CREATE VIRTUAL TABLE boxes USING rtree(id, minx, maxx);
        INSERT INTO boxes VALUES (1, 0, 10);
        """
    )
    con.commit()
    con.close()
    q = Quillon(db_path)
    assert run(q, "select highlight(docs, 0, '[', ']') as h from docs where docs match 'critical'")[
        "results"] == [{"h": "[critical] path"}]
    assert run(q, "select * from boxes")["results"] == [{"id": 1, "minx": 0.0, "maxx": 10.0}]
    info = run(q, "select name, type, pk from pragma_table_info('tasks')")
    assert info["results"][0] == {"name": "id", "type": "INTEGER", "pk": 1}


# ------------------------------------------------------------------ summary --


def test_summary_five_rows_whole(service):
    record = run(service, "select id, status from status where id <= 5")
    assert record["summary"] == (
        "Query returned 5 row(s) with 2 column(s).\n\nResults:\n"
        "   id       status\n"
        "0   1  Not Started\n"
        "1   2  In Progress\n"
        "2   3    Completed\n"
        "3   4      On Hold\n"
        "4   5    Completed")


def test_summary_six_rows_sample(service):
    assert run(service, "select id, status from status")["summary"] == (
        "Query returned 6 row(s) with 2 column(s).\n\nSample of first 3 rows:\n"
        "   id       status\n"
        "0   1  Not Started\n"
        "1   2  In Progress\n"
        "2   3    Completed\n"
        "...\n(plus 3 more rows)")


def test_summary_nulls_numbers_and_text(service):
    assert run(service, "select id, duration, note from tasks order by id")["summary"] == (
        "Query returned 3 row(s) with 3 column(s).\n\nResults:\n"
        "                    id  duration            note\n"
        "0                    1       2.5            None\n"
        "1                    2       1.0  Update pending\n"
        "2  9223372036854775807       NaN         ünïcode")
    # An integer column with a null shows the exact integers the rows hold, the null as NaN.
    assert run(service, "select 10 as duration union all select null union all select 7")["summary"].endswith(
        "   duration\n0        10\n1       NaN\n2         7")


def test_summary_wide_headers_and_escapes(service):
    record = run(service, "select 1 as activity_identifier, 'a' || char(9) || 'b' as x, "
                          "'中文' as \"ñame\", x'00ff' as b")
    assert record["summary"] == (
        "Query returned 1 row(s) with 4 column(s).\n\nResults:\n"
        "   activity_identifier     x ñame            b\n"
        "0                    1  a\\tb   中文  b'\\x00\\xff'")


def test_summary_real_formats(service):
    def table(sql):
        return run(service, sql)["summary"].split("\n\nResults:\n")[1]

    assert table("select 1e-7 as v union all select 1.0") == "              v\n0  1.000000e-07\n1  1.000000e+00"
    assert table("select 1234567.5 as v union all select 1.0") == "           v\n0  1234567.5\n1        1.0"
    assert table("select 0.1 as v union all select 0.25") == "      v\n0  0.10\n1  0.25"
    assert table("select 1 as m union all select 'x' union all select 2.5 union all select null") == (
        "      m\n0     1\n1     x\n2   2.5\n3  None")


def test_generate_result_summary_from_host_rows(service):
    assert service._generate_result_summary([]) == "Query returned no results."
    assert service._generate_result_summary([], ["a"]) == "Query returned no results."
    rows = [{"a": 1, "b": "x"}, {"a": None, "b": "y"}]
    assert service._generate_result_summary(rows) == (
        "Query returned 2 row(s) with 2 column(s).\n\nResults:\n     a  b\n0    1  x\n1  NaN  y")
    assert service._generate_result_summary([(1, "x"), [None, "y"]], ["a", "b"]) == \
        service._generate_result_summary(rows)
    with pytest.raises(TypeError):
        service._generate_result_summary([(1, 2)])
    with pytest.raises(TypeError):
        service._generate_result_summary([object()], ["a"])
    with pytest.raises(ValueError):
        service._generate_result_summary([(1, 2)], ["a"])


class FakeFrame:
    """Just what the summary reads of a data frame."""

    def __init__(self, columns, rows):
        self.columns, self._rows = columns, rows

    def itertuples(self, index=True, name="Pandas"):
        assert index is False and name is None
        return iter(self._rows)


def test_generate_result_summary_from_a_frame(service):
    frame = FakeFrame(["id", "total_float"], [(1, -2.5), (2, float("nan")), (3, 12.25)])
    assert service._generate_result_summary(frame) == (
        "Query returned 3 row(s) with 2 column(s).\n\nResults:\n"
        "   id  total_float\n0   1        -2.50\n1   2          NaN\n2   3        12.25")


# ------------------------------------------------------------------ fix log --


def test_fix_log_first_append_and_format(service, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    assert service._read_fix_log() == []
    failed = {"sql": "select nope from tasks", "execution_error": "no such column: nope"}
    working = {"sql": "select name from tasks", "success": True}
    assert service._log_corrected_sql("Où sont les tâches?", failed, working) is None
    text = (tmp_path / "data" / "failed_sql.json").read_text(encoding="utf-8")
    assert text == json.dumps([{"question": "Où sont les tâches?", "failed_sql": "select nope from tasks",
                                "error": "no such column: nope", "working_sql": "select name from tasks"}],
                              indent=2)
    assert "\\u00f9" in text and not text.endswith("\n") and text.isascii()
    assert service._read_fix_log()[0]["question"] == "Où sont les tâches?"
    assert os.listdir(tmp_path / "data") == ["failed_sql.json"]


def test_fix_log_appends_in_order_with_defaults(service, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    service._log_corrected_sql("q", {"sql": "a"}, {"sql": "b"})
    service._log_corrected_sql("q", {}, {})
    assert json.loads((tmp_path / "data" / "failed_sql.json").read_text()) == [
        {"question": "q", "failed_sql": "a", "error": "Unknown error", "working_sql": "b"},
        {"question": "q", "failed_sql": "", "error": "Unknown error", "working_sql": ""},
    ]


def test_fix_log_invalid_json_is_left_untouched(db_path, tmp_path, monkeypatch, capsys):
    monkeypatch.chdir(tmp_path)
    (tmp_path / "data").mkdir()
    log = tmp_path / "data" / "failed_sql.json"
    log.write_text("[{]")
    q = Quillon(db_path)
    q._log_corrected_sql("q", {}, {})
    assert capsys.readouterr().out == ""
    q.verbose = True
    q._log_corrected_sql("q", {}, {})
    assert capsys.readouterr().out == (
        "Failed to log corrected SQL: Expecting property name enclosed in double quotes: line 1 column 3 (char 2)\n")
    assert log.read_text() == "[{]"
    with pytest.raises(json.JSONDecodeError):
        q._read_fix_log()


APPENDER = """
import os, sys, time
from Corvalt.Quillon import Quillon
q = Quillon(verbose=True)
while not os.path.exists("go"):
    time.sleep(0.001)
for i in range(int(sys.argv[2])):
    q._log_corrected_sql(f"{sys.argv[1]}-{i}", {"sql": "bad"}, {"sql": "good"})
"""


def test_two_processes_appending_at_once_lose_nothing(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    count = 40
    procs = [subprocess.Popen([sys.executable, "-c", APPENDER, name, str(count)], cwd=tmp_path, env=env,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
             for name in ("p1", "p2")]
    time.sleep(0.5)
    (tmp_path / "go").touch()
    for p in procs:
        out, err = p.communicate(timeout=120)
        assert p.returncode == 0, err
        assert out == "", out  # no append failed
    entries = json.loads((tmp_path / "data" / "failed_sql.json").read_text())
    assert len(entries) == 2 * count
    for name in ("p1", "p2"):
        assert [e["question"] for e in entries if e["question"].startswith(name)] == [
            f"{name}-{i}" for i in range(count)]
    assert sorted(os.listdir(tmp_path / "data")) == ["failed_sql.json"]
