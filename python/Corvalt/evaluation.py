"""How often the answering road answers right: the scoring behind ``corvalt eval``.

A question file is a JSON list of records with "question" and "gold_sql", optionally
"difficulty", "answerable" (false for a question the schema cannot answer; its "gold_sql" may
be null and is not run) and "previous_sql" (the statement of the turn before, for a follow-up
question). Other keys ("gold_tables") are not read here.

Each question is asked once, with its previous statement; the gold rows come from running
"gold_sql" with the sqlite3 module on the database opened read-only. An answer is right by
three rules:

- set: the same set of rows, each row a tuple of its values (duplicates and order ignored);
- multiset: the same rows, each as many times; when the gold statement orders its result (an
  ORDER BY at its outer level, outside any parentheses), in the same order too;
- relaxed: the answer may carry extra columns, in any order: right when some choice of distinct
  answer columns, one per gold column, gives the gold rows as a multiset.

Values: ints and floats are equal when numerically equal (1 == 1.0); a float that is not a whole
number is rounded to 6 significant digits; NULL equals NULL; text and bytes compare exactly.

A question the schema cannot answer is right by every rule when it is not answered and wrong
when it is; an answerable question that is not answered is wrong.

The report counts, over all questions, per difficulty and per source of the answer: questions,
the share answered, the share right by each rule, precision (right by the relaxed rule among
the answered questions) and AI requests per question.
"""

from __future__ import annotations

import json
import math
import os
import pathlib
import re
import sqlite3
import time
from collections import Counter
from dataclasses import dataclass, field
from typing import Any, Callable, Optional

RULES = ("set", "multiset", "relaxed")
SOURCES = ("history", "template", "ai", "corrected_ai", "fix_log", "none")
DIFFICULTIES = ("easy", "medium", "hard", "extra")
UNRATED = "unrated"
ALL = "all"
SIGNIFICANT_DIGITS = 6
# Relaxed matching tries assignments of answer columns to gold columns; past this many
# steps (many columns with the same values) it gives up and counts the answer wrong.
RELAXED_STEPS = 20_000


class InputError(Exception):
    """A question file, or a gold statement, that cannot be evaluated."""


# --- the question file -----------------------------------------------------------------------


@dataclass
class Question:
    text: str
    gold_sql: Optional[str]
    difficulty: str = UNRATED
    answerable: bool = True
    previous_sql: Optional[str] = None


def read_questions(path: str) -> list[Question]:
    try:
        with open(path, encoding="utf-8") as f:
            items = json.load(f)
    except (OSError, ValueError) as exc:
        raise InputError(f"cannot read the question file {path}: {exc}") from None
    if not isinstance(items, list) or not items:
        raise InputError(f"{path}: expected a non-empty JSON list of question records")
    questions = []
    for i, item in enumerate(items):
        where = f"{path}: question {i}"
        if not isinstance(item, dict):
            raise InputError(f"{where}: expected a record, got {type(item).__name__}")
        text, gold = item.get("question"), item.get("gold_sql")
        difficulty = item.get("difficulty", UNRATED)
        answerable, previous = item.get("answerable", True), item.get("previous_sql")
        if not isinstance(text, str) or not text.strip():
            raise InputError(f"{where}: 'question' must be a non-empty text")
        if not isinstance(answerable, bool):
            raise InputError(f"{where}: 'answerable' must be true or false")
        if answerable and (not isinstance(gold, str) or not gold.strip()):
            raise InputError(f"{where}: an answerable question needs its 'gold_sql'")
        if not isinstance(difficulty, str) or not difficulty:
            raise InputError(f"{where}: 'difficulty' must be a non-empty text")
        if previous is not None and not isinstance(previous, str):
            raise InputError(f"{where}: 'previous_sql' must be a text")
        questions.append(Question(text, gold if answerable else None, difficulty, answerable, previous))
    return questions


@dataclass
class Gold:
    columns: list[str]
    rows: list[tuple]


def open_read_only(db: str) -> sqlite3.Connection:
    return sqlite3.connect(pathlib.Path(db).resolve().as_uri() + "?mode=ro", uri=True)


def gold_results(db: str, questions: list[Question]) -> list[Optional[Gold]]:
    """The gold rows of every answerable question (None for the others). A gold statement
    that does not run is an error of the question file."""
    from Corvalt.Quillon import Quillon, is_server_target, masked_target

    results: list[Optional[Gold]] = []
    if is_server_target(db):
        # A server is read through the service's own backend: read-only and checked.
        server = Quillon(db, statement_timeout=None, max_rows=None, read_only="engine")
        if not server.conn:
            raise InputError(f"cannot open the database {masked_target(db)}")
        for i, q in enumerate(questions):
            if not q.answerable:
                results.append(None)
                continue
            ran = server.run_rows(q.gold_sql)
            if ran.get("success") is not True:
                raise InputError(f"question {i} ({q.text!r}): the gold statement fails: "
                                 f"{ran.get('execution_error')}")
            results.append(Gold(list(ran["columns"]), list(ran["rows"])))
        return results
    try:
        conn = open_read_only(db)
    except sqlite3.Error as exc:
        raise InputError(f"cannot open the database {db}: {exc}") from None
    try:
        for i, q in enumerate(questions):
            if not q.answerable:
                results.append(None)
                continue
            try:
                cursor = conn.execute(q.gold_sql)
                rows = [tuple(r) for r in cursor.fetchall()]
            except (sqlite3.Error, sqlite3.Warning) as exc:
                raise InputError(f"question {i} ({q.text!r}): the gold statement fails: {exc}") from None
            results.append(Gold([d[0] for d in cursor.description or ()], rows))
    finally:
        conn.close()
    return results


# --- comparing rows --------------------------------------------------------------------------


def value_key(value: Any) -> Any:
    """The value as it is compared: numbers by numeric value (floats to 6 significant digits),
    everything else exactly."""
    if isinstance(value, bool):
        return int(value)
    if isinstance(value, float):
        # Python's == and hash already take 1 and 1.0 (and 10**20 and 1e20) as one value;
        # SQLite gives no NaN (it stores NULL).
        if not math.isfinite(value) or value.is_integer():
            return value
        return float(f"{value:.{SIGNIFICANT_DIGITS}g}")
    if isinstance(value, (bytearray, memoryview)):
        return bytes(value)
    return value


def row_keys(rows) -> list[tuple]:
    return [tuple(value_key(v) for v in row) for row in rows]


_QUOTED = re.compile(r"'(?:[^']|'')*'?|\"(?:[^\"]|\"\")*\"?|`[^`]*`?|\[[^\]]*\]?|--[^\n]*|/\*.*?(?:\*/|\Z)",
                     re.S)
_CLAUSE = re.compile(r"[()]|\bORDER\s+BY\b|\bLIMIT\b", re.I)


def outer_clauses(sql: str) -> set[str]:
    """Which of ORDER BY and LIMIT the statement has at its outer level: outside any
    parentheses (subqueries, window definitions, CTE bodies), string literals, quoted names and
    comments. A light reading of the text, not a parse."""
    found, depth = set(), 0
    for m in _CLAUSE.finditer(_QUOTED.sub(" ", sql)):
        token = m.group(0)
        if token == "(":
            depth += 1
        elif token == ")":
            depth = max(depth - 1, 0)
        elif depth == 0:
            found.add("LIMIT" if token.upper() == "LIMIT" else "ORDER BY")
    return found


def order_matters(gold_sql: Optional[str]) -> bool:
    """Rows must come in the gold order only when the gold statement orders them (at its
    outer level): an order inside a subquery or a window says nothing of the result's."""
    return bool(gold_sql) and "ORDER BY" in outer_clauses(gold_sql)


def _width(rows: list[tuple], columns) -> int:
    return len(rows[0]) if rows else len(columns or ())


def relaxed_columns(gold: list[tuple], gold_width: int, got: list[tuple], got_width: int) -> Optional[list[int]]:
    """Answer column positions, one per gold column and all distinct, whose projection gives the
    gold rows as a multiset; None when there is none. Rows are value keys."""
    if len(gold) != len(got) or gold_width > got_width:
        return None
    got_vectors = [tuple(r[c] for r in got) for c in range(got_width)]
    got_counts = [Counter(v) for v in got_vectors]
    candidates = []
    for j in range(gold_width):
        counts = Counter(r[j] for r in gold)
        candidates.append([c for c in range(got_width) if got_counts[c] == counts])
        if not candidates[j]:
            return None
    order = sorted(range(gold_width), key=lambda j: len(candidates[j]))
    chosen: dict[int, int] = {}
    steps = 0

    def projected_equal(depth: int) -> bool:
        js = order[:depth]
        return (Counter(tuple(r[chosen[j]] for j in js) for r in got)
                == Counter(tuple(r[j] for j in js) for r in gold))

    def search(depth: int) -> bool:
        nonlocal steps
        if depth == gold_width:
            return True
        j, tried = order[depth], set()
        used = set(chosen.values())
        for c in candidates[j]:
            # Two answer columns with the same values in every row are one choice.
            if c in used or got_vectors[c] in tried:
                continue
            tried.add(got_vectors[c])
            steps += 1
            if steps > RELAXED_STEPS:
                return False
            chosen[j] = c
            if projected_equal(depth + 1) and search(depth + 1):
                return True
            del chosen[j]
        return False

    return [chosen[j] for j in range(gold_width)] if search(0) else None


def compare(gold_rows, gold_columns, got_rows, got_columns, gold_sql: Optional[str]) -> dict:
    """Whether the rows got are the gold rows by each rule ("set", "multiset", "relaxed"); with
    "ordered" (the multiset rule compared the order) and "matched_columns" (for the relaxed
    rule, the answer column that stands for each gold column, or None)."""
    gold, got = row_keys(gold_rows), row_keys(got_rows)
    ordered = order_matters(gold_sql)
    gold_width, got_width = _width(gold, gold_columns), _width(got, got_columns)
    positions = relaxed_columns(gold, gold_width, got, got_width)
    names = list(got_columns or ())
    matched = None if positions is None else [names[c] if c < len(names) else c for c in positions]
    return {
        "set": set(gold) == set(got),
        "multiset": gold == got if ordered else Counter(gold) == Counter(got),
        "relaxed": positions is not None,
        "ordered": ordered,
        "matched_columns": matched,
    }


# --- asking the questions --------------------------------------------------------------------


@dataclass
class Outcome:
    question: Question
    answer: dict  # the assistant's answer record, as returned
    scores: dict  # compare()'s verdicts, or the unanswerable / no-answer verdicts
    gold_row_count: Optional[int]
    seconds: float

    @property
    def answered(self) -> bool:
        return self.answer.get("answered") is True

    @property
    def source(self) -> str:
        return str(self.answer.get("source") or "none")

    @property
    def ai_requests(self) -> int:
        value = self.answer.get("ai_requests")
        return value if isinstance(value, int) else 0

    @property
    def verdict(self) -> str:
        if not self.question.answerable:
            return "right: not answered" if not self.answered else "wrong: answered, but the schema cannot answer it"
        if not self.answered:
            return "no answer"
        rules = [r for r in RULES if self.scores[r]]
        if len(rules) == len(RULES):
            return "right"
        return "right by " + " and ".join(rules) + " only" if rules else "wrong"


def score(question: Question, gold: Optional[Gold], answer: dict, seconds: float = 0.0) -> Outcome:
    answered = answer.get("answered") is True
    if not question.answerable or not answered or gold is None:
        right = not question.answerable and not answered
        scores = {"set": right, "multiset": right, "relaxed": right, "ordered": False, "matched_columns": None}
    else:
        scores = compare(gold.rows, gold.columns, answer.get("rows") or [], answer.get("columns") or [],
                         question.gold_sql)
    return Outcome(question, answer, scores, None if gold is None else len(gold.rows), seconds)


def failed_answer(question: Question, exc: Exception) -> dict:
    message = f"{type(exc).__name__}: {exc}"
    return {"question": question.text, "answered": False, "source": "none", "sql": None, "columns": [],
            "rows": [], "row_count": 0, "summary": "", "reason": f"ask() raised {message}",
            "candidates": [], "linking": None, "suggestions": {}, "ai_requests": 0, "error": message}


def evaluate(assistant, questions: list[Question], db: str, *, gold: Optional[list] = None,
             progress: Optional[Callable[[str], None]] = None) -> list[Outcome]:
    """Asks every question once and scores the answer. `assistant` is anything with
    ask(question, previous_sql=...) returning an answer record; an exception from it is that
    question's failure (recorded as its error), and the run goes on. Ctrl-C stops the run."""
    if gold is None:
        gold = gold_results(db, questions)
    outcomes = []
    for i, (q, g) in enumerate(zip(questions, gold), 1):
        if progress:
            progress(f"question {i}/{len(questions)}: {q.text}")
        start = time.perf_counter()
        try:
            answer = assistant.ask(q.text, previous_sql=q.previous_sql)
        except Exception as exc:  # noqa: BLE001 - one question's failure, reported with it
            answer = failed_answer(q, exc)
            if progress:
                progress(f"question {i} failed: {answer['error']}")
        outcomes.append(score(q, g, dict(answer), time.perf_counter() - start))
    return outcomes


# --- the report ------------------------------------------------------------------------------


@dataclass
class Tally:
    n: int = 0
    answered: int = 0
    right: dict = field(default_factory=lambda: dict.fromkeys(RULES, 0))
    right_answered: int = 0
    ai_requests: int = 0

    def add(self, outcome: Outcome) -> None:
        self.n += 1
        self.answered += outcome.answered
        for rule in RULES:
            self.right[rule] += outcome.scores[rule]
        self.right_answered += outcome.answered and outcome.scores["relaxed"]
        self.ai_requests += outcome.ai_requests

    def row(self) -> dict:
        n = max(self.n, 1)
        return {
            "questions": self.n,
            "answered": self.answered / n,
            **{rule: self.right[rule] / n for rule in RULES},
            "precision": self.right_answered / self.answered if self.answered else None,
            "AI req/q": self.ai_requests / n,
        }


COLUMNS = ("questions", "answered", *RULES, "precision", "AI req/q")


def _ordered(names, known) -> list[str]:
    seen = list(dict.fromkeys(names))
    return [k for k in known if k in seen] + [k for k in seen if k not in known]


def summarize(outcomes: list[Outcome]) -> dict[str, dict[str, Tally]]:
    """Tallies per difficulty (with "all") and per source of the answer."""
    by = {"difficulty": {}, "source": {}}
    for key in _ordered((o.question.difficulty for o in outcomes), DIFFICULTIES) + [ALL]:
        by["difficulty"][key] = Tally()
    for key in _ordered((o.source for o in outcomes), SOURCES):
        by["source"][key] = Tally()
    for o in outcomes:
        for key in (o.question.difficulty, ALL):
            by["difficulty"][key].add(o)
        by["source"][o.source].add(o)
    return by


def cell(name: str, value) -> str:
    if value is None:
        return "n/a"
    if name == "questions":
        return str(int(value))
    if name == "AI req/q":
        return f"{value:.2f}"
    return f"{value:.3f}"


def table_rows(tallies: dict[str, Tally]) -> list[list[str]]:
    rows = []
    for key, tally in tallies.items():
        values = tally.row()
        rows.append([key] + [cell(c, values[c]) for c in COLUMNS])
    return rows


def text_table(header: list[str], rows: list[list[str]]) -> str:
    widths = [max(len(h), *(len(row[i]) for row in rows)) for i, h in enumerate(header)]
    lines = ["  ".join(h.ljust(w) for h, w in zip(header, widths)).rstrip()]
    lines += ["  ".join(v.rjust(w) if i else v.ljust(w) for i, (v, w) in enumerate(zip(row, widths)))
              for row in rows]
    return "\n".join(lines)


def markdown_table(header: list[str], rows: list[list[str]]) -> str:
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    return "\n".join(lines)


def unanswerable_line(outcomes: list[Outcome]) -> Optional[str]:
    cannot = [o for o in outcomes if not o.question.answerable]
    if not cannot:
        return None
    declined = sum(not o.answered for o in cannot)
    return f"questions the schema cannot answer: {len(cannot)}, not answered: {declined}"


def listing(outcomes: list[Outcome]) -> list[str]:
    lines = []
    for o in outcomes:
        lines.append(f"{o.question.difficulty:8} {o.question.text}")
        lines.append(f"{'':8} source: {o.source}; {o.verdict}")
        sql = " ".join(str(o.answer.get("sql") or "").split())
        lines.append(f"{'':8} SQL: {sql or '(none)'}")
        if not o.answered and o.question.answerable:
            why = o.answer.get("error") or o.answer.get("reason")
            if why:
                lines.append(f"{'':8} why: {' '.join(str(why).split())}")
    return lines


def report_text(outcomes: list[Outcome], show: bool = False) -> str:
    """The printed report: with `show` each question first, then the tables."""
    summary = summarize(outcomes)
    parts = listing(outcomes) + [""] if show else []
    parts.append(text_table(["difficulty", *COLUMNS], table_rows(summary["difficulty"])))
    parts += ["", text_table(["source", *COLUMNS], table_rows(summary["source"]))]
    note = unanswerable_line(outcomes)
    if note:
        parts += ["", note]
    seconds = sum(o.seconds for o in outcomes)
    parts += ["", f"{len(outcomes)} questions in {seconds:.1f} s"]
    return "\n".join(parts)


def outcome_record(o: Outcome) -> dict:
    a = o.answer
    return {
        "question": o.question.text,
        "difficulty": o.question.difficulty,
        "answerable": o.question.answerable,
        "previous_sql": o.question.previous_sql,
        "gold_sql": o.question.gold_sql,
        "gold_row_count": o.gold_row_count,
        "answered": o.answered,
        "source": o.source,
        "sql": a.get("sql"),
        "columns": list(a.get("columns") or []),
        "row_count": a.get("row_count"),
        **{rule: bool(o.scores[rule]) for rule in RULES},
        "ordered": o.scores["ordered"],
        "matched_columns": o.scores["matched_columns"],
        "verdict": o.verdict,
        "reason": a.get("reason"),
        "error": a.get("error"),
        "linking": a.get("linking"),
        "ai_requests": o.ai_requests,
        "candidates": a.get("candidates") or [],
        "seconds": round(o.seconds, 4),
    }


def write_json(path: str, outcomes: list[Outcome], questions_path: str, db: str) -> None:
    summary = summarize(outcomes)
    doc = {
        "questions": questions_path,
        "database": db,
        "summary": {kind: {key: t.row() for key, t in tallies.items()} for kind, tallies in summary.items()},
        "outcomes": [outcome_record(o) for o in outcomes],
    }
    with open(path, "w", encoding="utf-8") as f:
        json.dump(doc, f, indent=2, default=str)
        f.write("\n")


CHART_METRICS = ("answered", *RULES, "precision")


def write_chart(path: str, summary: dict[str, dict[str, Tally]], pyplot) -> None:
    kinds = [k for k in ("difficulty", "source") if summary[k]]
    figure, axes = pyplot.subplots(1, len(kinds), figsize=(6.5 * len(kinds), 3.8), sharey=True, squeeze=False)
    width = 0.8 / len(CHART_METRICS)
    for ax, kind in zip(axes[0], kinds):
        groups = list(summary[kind])
        for k, metric in enumerate(CHART_METRICS):
            values = [summary[kind][g].row()[metric] or 0.0 for g in groups]
            positions = [i + (k - (len(CHART_METRICS) - 1) / 2) * width for i in range(len(groups))]
            ax.bar(positions, values, width, label=metric)
        ax.set_title(f"by {kind}")
        ax.set_xticks(range(len(groups)), groups)
        ax.set_ylim(0, 1)
        ax.grid(axis="y", alpha=0.3)
    handles, labels = axes[0][0].get_legend_handles_labels()
    figure.legend(handles, labels, loc="lower center", ncol=len(CHART_METRICS), frameon=False)
    figure.suptitle("Answers right by each rule, by difficulty and by source")
    figure.tight_layout(rect=(0, 0.07, 1, 1))
    figure.savefig(path, dpi=110)
    pyplot.close(figure)


def load_pyplot():
    """matplotlib's pyplot on a file backend, or None when matplotlib is not installed."""
    try:
        import matplotlib

        matplotlib.use("Agg")
        from matplotlib import pyplot
    except ImportError:
        return None
    return pyplot


def write_report(directory: str, outcomes: list[Outcome], questions_path: str, db: str,
                 pyplot=None) -> tuple[str, Optional[str]]:
    """Writes DIR/eval_report.md and, with matplotlib, the bar chart DIR/eval_report.png.
    Returns both paths, the chart's None when it was not drawn."""
    os.makedirs(directory, exist_ok=True)
    summary = summarize(outcomes)
    chart = None
    if pyplot is not None:
        chart = os.path.join(directory, "eval_report.png")
        write_chart(chart, summary, pyplot)
    parts = [
        "# Answer evaluation",
        "",
        f"Questions: `{questions_path}`  ",
        f"Database: `{db}`",
        "",
        "Right by three rules: *set* (the same set of rows), *multiset* (the same rows as often, and "
        "in the same order where the gold statement orders them), *relaxed* (extra answer columns "
        "and any column order allowed). Precision: right by the relaxed rule among the answered questions.",
        "",
        markdown_table(["difficulty", *COLUMNS], table_rows(summary["difficulty"])),
        "",
        markdown_table(["source", *COLUMNS], table_rows(summary["source"])),
        "",
    ]
    note = unanswerable_line(outcomes)
    if note:
        parts += [note[0].upper() + note[1:] + ".", ""]
    if chart:
        parts += [f"![Answered share, right shares and precision]({os.path.basename(chart)})", ""]
    else:
        parts += ["(The chart needs matplotlib.)", ""]
    path = os.path.join(directory, "eval_report.md")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(parts))
    return path, chart
