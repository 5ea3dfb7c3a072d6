"""Scoring answers against gold statements (Corvalt.evaluation): the three comparison rules on
hand-made rows, and a whole run over a tiny database with a scripted stand-in for the answering
road; then `corvalt eval` wired to the same stand-in."""

import json
import re
import sqlite3
import sys

import pytest

import Corvalt
from Corvalt import cli, evaluation as ev

# ---- the comparison rules ------------------------------------------------------------------


def verdicts(gold, got, gold_sql="SELECT ...", gold_columns=("a", "b"), got_columns=("a", "b")):
    r = ev.compare(gold, list(gold_columns), got, list(got_columns), gold_sql)
    return r["set"], r["multiset"], r["relaxed"]


def test_set_ignores_duplicates_and_multiset_counts_them():
    gold = [(1, "x"), (1, "x"), (2, "y")]
    assert verdicts(gold, [(2, "y"), (1, "x")]) == (True, False, False)
    assert verdicts(gold, [(2, "y"), (1, "x"), (1, "x")]) == (True, True, True)
    assert verdicts(gold, [(1, "x"), (2, "y"), (2, "y")]) == (True, False, False)


@pytest.mark.parametrize("gold_sql, ordered", [
    ("SELECT a, b FROM t ORDER BY b DESC LIMIT 2", True),
    ("SELECT a, b FROM t ORDER BY b DESC", True),
    ("SELECT a, b FROM t LIMIT 2", False),
    ("SELECT * FROM (SELECT a, b FROM t ORDER BY b LIMIT 2)", False),
    ("SELECT a, b, rank() OVER (ORDER BY b) FROM t WHERE a <> 'order by' LIMIT 2", False),
    ("SELECT a, b FROM t -- limit\n ORDER\n  BY b LIMIT 2", True),
])
def test_order_counts_only_where_the_gold_orders_at_its_outer_level(gold_sql, ordered):
    gold, swapped = [(1, "x"), (2, "y")], [(2, "y"), (1, "x")]
    assert ev.compare(gold, ["a", "b"], swapped, ["a", "b"], gold_sql)["ordered"] is ordered
    assert verdicts(gold, swapped, gold_sql) == (True, not ordered, True)


def test_relaxed_allows_extra_and_reordered_columns_but_keeps_rows_together():
    gold = [(1, "x"), (2, "y"), (2, "y")]
    extra = [("y", 9, 2), ("x", 9, 1), ("y", 9, 2)]
    r = ev.compare(gold, ["id", "name"], extra, ["name", "const", "id"], "SELECT id, name FROM t")
    assert (r["set"], r["multiset"], r["relaxed"], r["matched_columns"]) == (False, False, True, ["id", "name"])
    # each column holds the gold values, but the rows pair them differently
    assert verdicts(gold, [("y", 1), ("x", 2), ("y", 2)]) == (False, False, False)
    assert verdicts(gold, [(1,), (2,), (2,)], got_columns=("id",)) == (False, False, False)
    assert verdicts([(1, 1), (2, 2)], [(1, "x"), (2, "y")]) == (False, False, False)  # one column, not two
    assert verdicts([], [], got_columns=("a",)) == (True, True, False)  # one column short


def test_numbers_compare_by_value_and_text_exactly():
    gold = [(1, 0.3, 1234567, None, "1")]
    assert verdicts(gold, [(1.0, 0.1 + 0.2, 1234567.0, None, "1")]) == (True, True, True)
    assert verdicts(gold, [(1, 0.3000001, 1234567, None, "1")])[0]  # 6 significant digits
    for changed in [(1, 0.3001, 1234567, None, "1"), (1, 0.3, 1234568, None, "1"),
                    (1, 0.3, 1234567, None, 1), (1, 0.3, 1234567, 0, "1")]:
        assert verdicts(gold, [changed]) == (False, False, False), changed


# ---- a whole run ----------------------------------------------------------------------------

ROWS = """
CREATE TABLE tasks (task_id INTEGER PRIMARY KEY, name TEXT, crew TEXT, hours REAL);
INSERT INTO tasks VALUES (1, 'Piling', 'A', 8.0), (2, 'Deck', 'B', 12.5), (3, 'Survey', 'A', 4.0),
                         (4, 'Paint', 'C', 9.5);
"""
ALL_NAMES = "SELECT name FROM tasks"
# question, difficulty, gold_sql (None: the schema cannot answer it), previous_sql,
# then the stand-in's answer: source, SQL (None: no answer), AI requests
SCRIPT = [
    ("List the tasks", "easy", ALL_NAMES, None, "template", "SELECT name FROM tasks ORDER BY name", 0),
    ("Tasks per crew", "medium", "SELECT crew, COUNT(*) FROM tasks GROUP BY crew", None,
     "ai", "SELECT COUNT(*) AS n, crew, 'x' AS note FROM tasks GROUP BY crew", 2),
    ("Crew of each task", "medium", "SELECT crew FROM tasks", None, "history", "SELECT DISTINCT crew FROM tasks", 0),
    ("The two longest tasks", "hard", "SELECT name FROM tasks ORDER BY hours DESC LIMIT 2", None, "ai",
     "SELECT name FROM (SELECT name, hours FROM tasks ORDER BY hours DESC LIMIT 2) ORDER BY hours", 1),
    ("Which of those are on crew A?", "hard", "SELECT name FROM tasks WHERE crew = 'A'", ALL_NAMES,
     "corrected_ai", "FOLLOW-UP", 3),
    ("Total hours", "hard", "SELECT SUM(hours) FROM tasks", None, "none", None, 1),
    ("Crash please", "easy", "SELECT 1", None, "RAISE", None, 0),
    ("What is the weather?", "easy", None, None, "none", None, 0),
    ("Who is the chief executive?", "hard", None, None, "template", "SELECT name FROM tasks LIMIT 1", 0),
]
EXPECTED = {  # verdict, source
    "List the tasks": ("right", "template"),
    "Tasks per crew": ("right by relaxed only", "ai"),
    "Crew of each task": ("right by set only", "history"),
    "The two longest tasks": ("right by set and relaxed only", "ai"),
    "Which of those are on crew A?": ("right", "corrected_ai"),
    "Total hours": ("no answer", "none"),
    "Crash please": ("no answer", "none"),
    "What is the weather?": ("right: not answered", "none"),
    "Who is the chief executive?": ("wrong: answered, but the schema cannot answer it", "template"),
}


class FakeAssistant:
    """Answers from SCRIPT by running its statement on the database, like the answering road."""

    def __init__(self, db, metadata, history=None, *, mindloom=None, linking="lexical",
                 statement_timeout=60.0, max_rows=1_000_000):
        self.conn, self.asked, self.given = sqlite3.connect(db), [], {}
        self.options = {"history": history, "linking": linking, "statement_timeout": statement_timeout}
        self.script = {q: (source, sql, requests) for q, _, _, _, source, sql, requests in SCRIPT}

    def ask(self, question, previous_sql=None, chat_history=None):
        self.asked.append((question, previous_sql))
        source, sql, requests = self.script[question]
        if source == "RAISE":
            raise RuntimeError("the road broke")
        if sql == "FOLLOW-UP":
            sql = previous_sql + " WHERE crew = 'A'"
        answer = {"question": question, "answered": sql is not None, "source": source, "sql": sql,
                  "columns": [], "rows": [], "row_count": 0, "summary": "", "reason": "nothing fits",
                  "candidates": [], "linking": "strong", "suggestions": {}, "ai_requests": requests, "error": None}
        if sql is not None:
            cursor = self.conn.execute(sql)
            answer["rows"] = cursor.fetchall()
            answer.update(columns=[d[0] for d in cursor.description], row_count=len(answer["rows"]))
        self.given[question] = answer
        return answer


@pytest.fixture
def tiny(tmp_path):
    with sqlite3.connect(tmp_path / "t.db") as conn:
        conn.executescript(ROWS)
    conn.close()
    questions = [{"question": q, "difficulty": d, "gold_sql": gold, **({"previous_sql": prev} if prev else {}),
                  **({"answerable": False} if gold is None else {})} for q, d, gold, prev, *_ in SCRIPT]
    (tmp_path / "q.json").write_text(json.dumps(questions))
    return tmp_path


def test_a_run_scores_every_question_and_tallies_by_difficulty_and_source(tiny):
    db = str(tiny / "t.db")
    road = FakeAssistant(db, "unused.json")
    outcomes = ev.evaluate(road, ev.read_questions(str(tiny / "q.json")), db)

    assert road.asked[4] == ("Which of those are on crew A?", ALL_NAMES)
    assert {o.question.text: (o.verdict, o.source) for o in outcomes} == EXPECTED
    assert outcomes[6].answer["error"] == "RuntimeError: the road broke"

    # a second scorer of its own: BIRD's set rule straight on the rows
    with sqlite3.connect(f"file:{db}?mode=ro", uri=True) as conn:
        for o in outcomes:
            if o.question.answerable and o.answered:
                gold = set(map(tuple, conn.execute(o.question.gold_sql).fetchall()))
                assert o.scores["set"] == (set(map(tuple, road.given[o.question.text]["rows"])) == gold)
    conn.close()

    rows = ev.summarize(outcomes)
    assert list(rows["difficulty"]) == ["easy", "medium", "hard", "all"]
    assert list(rows["source"]) == ["history", "template", "ai", "corrected_ai", "none"]
    everything = rows["difficulty"]["all"].row()
    assert everything == {"questions": 9, "answered": 6 / 9, "set": 5 / 9, "multiset": 3 / 9, "relaxed": 5 / 9,
                          "precision": 4 / 6, "AI req/q": 7 / 9}
    assert rows["difficulty"]["hard"].row()["precision"] == 2 / 3
    assert rows["source"]["none"].row()["precision"] is None

    text = ev.report_text(outcomes, show=True)
    assert "source: ai; right by relaxed only" in text and "why: RuntimeError: the road broke" in text
    assert re.search(r"^all\s+9\s+0\.667\s+0\.556\s+0\.333\s+0\.556\s+0\.667\s+0\.78$", text, re.M)
    assert "questions the schema cannot answer: 2, not answered: 1" in text

    ev.write_json(str(tiny / "out.json"), outcomes, "q.json", db)
    records = json.loads((tiny / "out.json").read_text())["outcomes"]
    assert [r["verdict"] for r in records] == [v for v, _ in EXPECTED.values()]
    assert records[1]["matched_columns"] == ["crew", "n"] and records[3]["ordered"] is True
    markdown, chart = ev.write_report(str(tiny / "report"), outcomes, "q.json", db, pyplot=None)
    assert chart is None and "| all | 9 | 0.667 |" in open(markdown).read()


@pytest.mark.parametrize("content, message", [
    ("[", "cannot read the question file"),
    ([{"question": "Q", "difficulty": "easy"}], "question 0: an answerable question needs its 'gold_sql'"),
    ([{"question": "Q", "gold_sql": "SELECT nothing FROM nowhere"}], "question 0 ('Q'): the gold statement fails"),
])
def test_eval_command_refuses_a_bad_question_file_with_2(tiny, write_json, monkeypatch, capsys, content, message):
    monkeypatch.setitem(vars(Corvalt), "Assistant", FakeAssistant)
    code = cli.main(["eval", "-q", write_json(content, "bad.json"), "--db", str(tiny / "t.db"),
                     "--metadata", write_json({})])
    err = capsys.readouterr().err
    assert code == 2 and err.startswith("corvalt: error: ") and message in err


def test_eval_command_builds_the_road_once_and_exits_0_whatever_the_accuracy(tiny, write_json, monkeypatch, capsys):
    args = ["eval", str(tiny / "q.json"), "--db", str(tiny / "t.db"), "--metadata", write_json({}),
            "--no-history", "--linking", "keyword", "--json", str(tiny / "o.json")]
    def no_attribute(name):
        raise AttributeError(name)

    # no Assistant in the package, however it would come: attribute, lazy attribute or submodule
    monkeypatch.delitem(vars(Corvalt), "Assistant", raising=False)
    monkeypatch.setitem(vars(Corvalt), "__getattr__", no_attribute)
    monkeypatch.setitem(sys.modules, "Corvalt.Assistant", None)
    assert cli.main(args) == 2
    assert capsys.readouterr().err == "corvalt: error: this installation has no answering road (Corvalt.Assistant)\n"

    made = []

    def build(*args, **options):
        made.append(FakeAssistant(*args, **options))
        return made[-1]

    monkeypatch.setitem(vars(Corvalt), "Assistant", build)
    code = cli.main(args)
    out, err = capsys.readouterr()
    assert code == 0, err
    assert len(made) == 1 and made[0].options == {"history": None, "linking": "keyword", "statement_timeout": 60.0}
    assert len(made[0].asked) == len(SCRIPT) and "corvalt: question 9/9: Who is the chief executive?" in err
    assert out.startswith("difficulty  questions") and out.rstrip().endswith(f"outcomes: {tiny / 'o.json'}")
