#!/usr/bin/env python3
"""Measure how well AtlanorService finds the tables a question needs, in each linking mode.

For every question of a question file the context record of process_query is compared with
the question's gold tables. Printed per mode and per difficulty:

- recall: the share of a question's gold tables that the context record names, averaged over
  the questions;
- precision: the share of the named tables that are gold tables, averaged over the questions
  whose record names at least one table;
- every gold: the share of questions whose record names all their gold tables;
- no gold: the share of questions whose record names none of them;
- no table: the share of questions whose record names no table at all;
- tables: the mean number of tables named, beside the mean number of gold tables.

Questions marked "answerable": false are counted apart: how many got no table, and (in the
modes that say how well they matched) how many were reported as a weak match or none.

Question file: a JSON list of records with "question", "difficulty" and "gold_tables" (table
names of the metadata document); optional "answerable" (default true) and "previous_sql" (the
statement of the turn before, for a follow-up question); "gold_sql" is not read here.

Usage: python bench/eval_linking.py --metadata M.json --questions Q.json [--modes keyword,lexical]
       [--show] [--report DIR]
--report DIR also writes DIR/linking_report.md and the bar chart DIR/linking_report.png
(needs matplotlib, an optional dependency of this command only).
"""

from __future__ import annotations

import argparse
import json
import os
import sys
import time
from dataclasses import dataclass, field

MODES = ("keyword", "lexical")
ALL = "all"


class InputError(Exception):
    """A question file or metadata document that cannot be evaluated."""


@dataclass
class Question:
    text: str
    difficulty: str
    gold: list[str]
    answerable: bool = True
    previous_sql: str | None = None


@dataclass
class Outcome:
    question: Question
    tables: list[str]
    match: str | None  # the linking record's verdict, when the mode gives one


@dataclass
class Summary:
    n: int = 0
    recall: float = 0.0
    precision: float = 0.0
    with_tables: int = 0
    every: int = 0
    no_gold: int = 0
    no_table: int = 0
    tables: int = 0
    gold: int = 0

    def add(self, outcome: Outcome) -> None:
        gold, got = set(outcome.question.gold), outcome.tables
        hits = len(gold & set(got))
        self.n += 1
        self.recall += hits / len(gold)
        if got:
            self.with_tables += 1
            self.precision += hits / len(set(got))
        self.every += hits == len(gold)
        self.no_gold += hits == 0
        self.no_table += not got
        self.tables += len(got)
        self.gold += len(gold)

    def row(self) -> dict[str, float]:
        n = max(self.n, 1)
        return {
            "questions": self.n,
            "recall": self.recall / n,
            "precision": self.precision / self.with_tables if self.with_tables else 0.0,
            "every gold": self.every / n,
            "no gold": self.no_gold / n,
            "no table": self.no_table / n,
            "tables": self.tables / n,
            "gold tables": self.gold / n,
        }


@dataclass
class Unanswerable:
    n: int = 0
    no_table: int = 0
    flagged: int = 0
    has_flag: bool = False

    def add(self, outcome: Outcome) -> None:
        self.n += 1
        self.no_table += not outcome.tables
        if outcome.match is not None:
            self.has_flag = True
            self.flagged += outcome.match in ("weak", "none")


@dataclass
class ModeResult:
    mode: str
    seconds: float
    outcomes: list[Outcome]
    by_difficulty: dict[str, Summary] = field(default_factory=dict)
    unanswerable: Unanswerable = field(default_factory=Unanswerable)


def read_questions(path: str, table_names: set[str]) -> list[Question]:
    try:
        with open(path, encoding="utf-8") as f:
            items = json.load(f)
    except (OSError, ValueError) as exc:
        raise InputError(f"cannot read the question file {path}: {exc}") from exc
    if not isinstance(items, list) or not items:
        raise InputError(f"{path}: expected a non-empty JSON list of question records")
    questions = []
    for i, item in enumerate(items):
        where = f"{path}: question {i}"
        if not isinstance(item, dict):
            raise InputError(f"{where}: expected a record, got {type(item).__name__}")
        text, difficulty, gold = item.get("question"), item.get("difficulty"), item.get("gold_tables")
        answerable, previous = item.get("answerable", True), item.get("previous_sql")
        if not isinstance(text, str) or not text.strip():
            raise InputError(f"{where}: 'question' must be a non-empty text")
        if not isinstance(difficulty, str) or not difficulty:
            raise InputError(f"{where}: 'difficulty' must be a non-empty text")
        if not isinstance(gold, list) or not all(isinstance(t, str) for t in gold):
            raise InputError(f"{where}: 'gold_tables' must be a list of table names")
        if not isinstance(answerable, bool):
            raise InputError(f"{where}: 'answerable' must be true or false")
        if previous is not None and not isinstance(previous, str):
            raise InputError(f"{where}: 'previous_sql' must be a text")
        if answerable and not gold:
            raise InputError(f"{where}: an answerable question needs at least one gold table")
        unknown = sorted(set(gold) - table_names)
        if unknown:
            raise InputError(f"{where}: gold tables not in the metadata document: {', '.join(unknown)}")
        questions.append(Question(text, difficulty, gold, answerable, previous))
    return questions


def table_names_of(metadata_path: str) -> set[str]:
    try:
        with open(metadata_path, encoding="utf-8") as f:
            doc = json.load(f)
    except (OSError, ValueError) as exc:
        raise InputError(f"cannot read the metadata document {metadata_path}: {exc}") from exc
    tables = doc.get("tables") if isinstance(doc, dict) else None
    if not isinstance(tables, dict):
        raise InputError(f"{metadata_path}: the metadata document has no 'tables' section")
    return set(tables)


def run_mode(mode: str, metadata_path: str, questions: list[Question]) -> ModeResult:
    from Corvalt.Atlanor import AtlanorService

    service = AtlanorService(metadata_path, linking=mode)
    service.build_graph()
    outcomes = []
    start = time.perf_counter()
    for q in questions:
        record = service.process_query(q.text, previous_sql=q.previous_sql)
        names = [t["name"] for t in record["database_objects"]["tables"]]
        match = record["linking"]["match"] if "linking" in record else None
        outcomes.append(Outcome(q, names, match))
    result = ModeResult(mode, time.perf_counter() - start, outcomes)
    for outcome in outcomes:
        if not outcome.question.answerable:
            result.unanswerable.add(outcome)
            continue
        for key in (outcome.question.difficulty, ALL):
            result.by_difficulty.setdefault(key, Summary()).add(outcome)
    return result


def difficulties(results: list[ModeResult]) -> list[str]:
    seen = []
    for r in results:
        for outcome in r.outcomes:
            d = outcome.question.difficulty
            if outcome.question.answerable and d not in seen:
                seen.append(d)
    return seen + [ALL]


COLUMNS = ("questions", "recall", "precision", "every gold", "no gold", "no table", "tables", "gold tables")


def cell(name: str, value: float) -> str:
    if name == "questions":
        return str(int(value))
    if name in ("tables", "gold tables"):
        return f"{value:.2f}"
    return f"{value:.3f}"


def table_rows(results: list[ModeResult]) -> list[list[str]]:
    rows = []
    for r in results:
        for d in difficulties(results):
            summary = r.by_difficulty.get(d)
            if summary is None:
                continue
            values = summary.row()
            rows.append([r.mode, d] + [cell(c, values[c]) for c in COLUMNS])
    return rows


def unanswerable_rows(results: list[ModeResult]) -> list[list[str]]:
    rows = []
    for r in results:
        u = r.unanswerable
        if u.n:
            flagged = f"{u.flagged}/{u.n}" if u.has_flag else "n/a"
            rows.append([r.mode, str(u.n), f"{u.no_table}/{u.n}", flagged])
    return rows


def text_table(header: list[str], rows: list[list[str]]) -> str:
    widths = [max(len(h), *(len(row[i]) for row in rows)) for i, h in enumerate(header)]
    lines = ["  ".join(h.ljust(w) for h, w in zip(header, widths))]
    lines += ["  ".join(v.rjust(w) if i > 1 else v.ljust(w) for i, (v, w) in enumerate(zip(row, widths)))
              for row in rows]
    return "\n".join(lines)


def markdown_table(header: list[str], rows: list[list[str]]) -> str:
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    return "\n".join(lines)


UNANSWERABLE_HEADER = ["mode", "unanswerable", "no table", "weak or none"]


def print_report(results: list[ModeResult], show: bool) -> None:
    if show:
        for outcome_set in zip(*(r.outcomes for r in results)):
            q = outcome_set[0].question
            print(f"{q.difficulty:8} {q.text}")
            print(f"{'':8} gold: {', '.join(q.gold) or '(none)'}")
            for r, outcome in zip(results, outcome_set):
                mark = "" if set(q.gold) <= set(outcome.tables) else "  <- missing " + ", ".join(
                    sorted(set(q.gold) - set(outcome.tables)))
                verdict = f" [{outcome.match}]" if outcome.match else ""
                print(f"{'':8} {r.mode}{verdict}: {', '.join(outcome.tables) or '(none)'}{mark}")
        print()
    print(text_table(["mode", "difficulty", *COLUMNS], table_rows(results)))
    rows = unanswerable_rows(results)
    if rows:
        print()
        print(text_table(UNANSWERABLE_HEADER, rows))
    print()
    for r in results:
        print(f"{r.mode}: {len(r.outcomes)} questions in {r.seconds * 1e3:.1f} ms")


def write_report(directory: str, results: list[ModeResult], metadata: str, questions: str, pyplot) -> None:
    os.makedirs(directory, exist_ok=True)
    chart = os.path.join(directory, "linking_report.png")
    metrics = ("recall", "precision", "every gold", "no gold")
    groups = difficulties(results)
    figure, axes = pyplot.subplots(1, len(metrics), figsize=(4 * len(metrics), 3.6), sharey=True)
    width = 0.8 / len(results)
    for ax, metric in zip(axes, metrics):
        for k, r in enumerate(results):
            values = [r.by_difficulty[d].row()[metric] if d in r.by_difficulty else 0.0 for d in groups]
            positions = [i + (k - (len(results) - 1) / 2) * width for i in range(len(groups))]
            ax.bar(positions, values, width, label=r.mode)
        ax.set_title(metric)
        ax.set_xticks(range(len(groups)), groups)
        ax.set_ylim(0, 1)
        ax.grid(axis="y", alpha=0.3)
    axes[-1].legend(loc="upper right")  # the "no gold" bars stay low
    figure.suptitle("Tables found for the questions, by linking mode and difficulty")
    figure.tight_layout()
    figure.savefig(chart, dpi=110)
    pyplot.close(figure)

    parts = [
        "# Linking evaluation",
        "",
        f"Metadata document: `{metadata}`  ",
        f"Questions: `{questions}`",
        "",
        markdown_table(["mode", "difficulty", *COLUMNS], table_rows(results)),
        "",
    ]
    rows = unanswerable_rows(results)
    if rows:
        parts += ["Questions the schema cannot answer:", "", markdown_table(UNANSWERABLE_HEADER, rows), ""]
    parts += [f"![Recall, precision and coverage by mode and difficulty]({os.path.basename(chart)})", ""]
    with open(os.path.join(directory, "linking_report.md"), "w", encoding="utf-8") as f:
        f.write("\n".join(parts))


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--metadata", required=True, metavar="FILE", help="the metadata document")
    parser.add_argument("--questions", required=True, metavar="FILE", help="the question file (JSON)")
    parser.add_argument("--modes", default=",".join(MODES), metavar="LIST",
                        help="linking modes to compare, comma-separated (default: %(default)s)")
    parser.add_argument("--show", action="store_true", help="print each question's tables per mode")
    parser.add_argument("--report", metavar="DIR",
                        help="also write linking_report.md and linking_report.png there (needs matplotlib)")
    opt = parser.parse_args(argv)

    modes = [m.strip() for m in opt.modes.split(",") if m.strip()]
    unknown = [m for m in modes if m not in MODES]
    if not modes or unknown:
        parser.error(f"--modes takes {', '.join(MODES)}; got {opt.modes!r}")
    pyplot = None
    if opt.report:
        try:
            import matplotlib

            matplotlib.use("Agg")
            from matplotlib import pyplot
        except ImportError:
            print("eval_linking.py: --report needs matplotlib, which is not installed "
                  "(pip install matplotlib); nothing was run", file=sys.stderr)
            return 2
    try:
        questions = read_questions(opt.questions, table_names_of(opt.metadata))
        results = [run_mode(mode, opt.metadata, questions) for mode in modes]
    except InputError as exc:
        print(f"eval_linking.py: {exc}", file=sys.stderr)
        return 2
    print_report(results, opt.show)
    if opt.report:
        write_report(opt.report, results, opt.metadata, opt.questions, pyplot)
        print(f"report: {os.path.join(opt.report, 'linking_report.md')}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
