"""The engine's read-only mode against a corpus of hostile statements (tests/data/hostile_sqlite.json):
each is refused or stopped with a clear reason, or (the read-only tricks) runs; none changes the
database file, leaves a file beside it or runs past its deadline."""

import hashlib
import json
import os
import pathlib
import re
import shutil
import time

import pytest

from Corvalt import sample_files
from Corvalt.Quillon import Quillon

CORPUS = json.loads((pathlib.Path(__file__).parent / "data" / "hostile_sqlite.json").read_text())
TIMEOUT_S = 0.5
# Room for a loaded machine; a statement the deadline cannot reach runs for seconds.
LATE_S = TIMEOUT_S + 2.0

REASONS = {
    # The guard's own refusals, and SQLite's under the guard's authorizer.
    "refused": re.compile(r"Security restriction: |You can only execute one statement at a time\."
                          r"|not authorized|may not be modified"),
    "bounded": re.compile(r"statement timed out after 0\.5 s|string or blob too big|printf\(\) width or precision too large"
                          r"|result has more than \d+ (rows|bytes of text and blobs)"),
    # A failure SQLite or the guard states: never an empty or unknown error.
    "fails": re.compile(r"Security restriction: |You can only execute one statement at a time\.|syntax error"
                        r"|no such function|no such table|unknown database|unrecognized token"
                        r"|the query contains a null character|Incorrect number of bindings|not authorized"),
}


CASES = [pytest.param(group["expect"], sql, id=f"{group['name']}-{i}")
         for group in CORPUS["groups"] for i, sql in enumerate(group["statements"])]


def digest(path):
    return hashlib.sha256(pathlib.Path(path).read_bytes()).hexdigest()


@pytest.fixture(scope="module")
def engine(tmp_path_factory):
    folder = tmp_path_factory.mktemp("hostile")
    db = folder / "project_schedule.db"
    shutil.copyfile(sample_files()["db"], db)
    before = digest(db)
    cwd = os.getcwd()
    os.chdir(folder)  # relative file names in the corpus land here
    try:
        quillon = Quillon(str(db), read_only="engine", statement_timeout=TIMEOUT_S, max_rows=100_000)
        yield quillon, db, before
    finally:
        os.chdir(cwd)


def test_the_corpus_is_large_and_every_statement_is_once():
    statements = [sql for group in CORPUS["groups"] for sql in group["statements"]]
    assert len(statements) >= 100 and len(set(statements)) == len(statements)
    assert {group["expect"] for group in CORPUS["groups"]} == set(REASONS) | {"runs"}


@pytest.mark.parametrize("expect, sql", CASES)
def test_a_hostile_statement_changes_nothing_and_ends_in_time(engine, expect, sql):
    quillon, db, before = engine
    t0 = time.perf_counter()
    outcome = quillon.run_rows(sql)
    elapsed = time.perf_counter() - t0
    assert elapsed < LATE_S, f"ran {elapsed:.1f} s"
    if expect == "runs":
        assert outcome["success"] is True, outcome.get("execution_error")
        assert outcome["rows"]
    else:
        assert outcome["success"] is False, outcome["rows"][:3]
        assert REASONS[expect].search(outcome["execution_error"]), outcome["execution_error"]
    assert digest(db) == before
    assert sorted(p.name for p in db.parent.iterdir()) == [db.name]
    # The connection is as it was: nothing made in temp, LIKE still ignores case, the tables there.
    check = quillon.run_rows("SELECT (SELECT count(*) FROM temp.sqlite_master), 'a' LIKE 'A', "
                             "(SELECT count(*) FROM projects)")
    assert check["success"] is True and check["rows"][0][:2] == (0, 1) and check["rows"][0][2] > 0
