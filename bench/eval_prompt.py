#!/usr/bin/env python3
"""Measure what the SQL prompt an AI reads carries for a question, in each linking mode.

For every answerable question of a question file the context record of AtlanorService is
built in the mode (with the database given to it, where the installed module takes one), and
Quillon writes the prompt that asks the AI for SQL. The question's gold statement, parsed with
sqlglot against the metadata document's tables, says what the prompt must show:

- its tables;
- its columns: every table.column it reads anywhere (select list, joins, where, group by,
  order by, subqueries); `*` reads none;
- the stored values it filters on that the question does not spell: text literals compared
  with a text column by =, <>, IN, LIKE (without its % signs) or BETWEEN, whose text is not
  part of the question as written (case counts). A date or date-time ('2025-01-01') is no
  stored value to find: it is the bound of a period the question names ("in 2025", "Q4
  2024"), written by whoever writes the statement.

A prompt shows a table when its "Relevant Tables:" list has a line "- name: ...", a column
when its "Relevant Columns:" list has a line "- table.column (...", and a value when the value
stands in single quotes somewhere in it (for LIKE: a quoted text the pattern matches).
Printed per mode and difficulty:

- every table, table recall: the share of questions whose prompt shows all their gold tables,
  and the share of a question's gold tables shown, averaged over the questions;
- every column: the share of questions whose prompt shows all their gold columns;
- need value, every value: how many questions filter on a value they do not spell, and the
  share of those whose prompt shows all such values;
- enough: the share of questions whose prompt shows all three;
- median chars, max chars: the prompt's length in characters.

--sighted also has each question answered through Quillon.get_best_sql_and_results by a
scripted AI that writes the gold statement when the prompt it gets shows everything the
statement needs (the same three checks; on a correction prompt the schema it lists, with the
values of its sample rows) and otherwise what a capable model would guess: the gold statement
with each missing table and column under a made-up name and each missing value lower-cased
with underscores ('In Progress' -> 'in_progress'; under LIKE, which ignores case, such a guess
may still match). It answers only prompts about the question
under evaluation: a correction asked for one of Quillon's exploration statements fails. Printed
per mode and difficulty: the share of questions whose first AI statement, and whose best query
in the end, yields the gold statement's rows (the same multiset of row tuples); AI requests
per question, how many of those were for explorations, and the characters of all the prompts
sent per question. It runs in a temporary working directory, so that Quillon's fix log
(data/failed_sql.json) is neither left behind nor reused; the log is cleared after each question.

Question file: as for eval_linking.py (a JSON list of records with "question", "difficulty",
"gold_tables", "gold_sql", optional "answerable" and "previous_sql"); here "gold_sql" is what
is read, and questions marked "answerable": false are skipped.

Usage: python bench/eval_prompt.py --metadata M.json --db D.db --questions Q.json
       [--modes keyword,lexical] [--show] [--sighted] [--json OUT.json]
Needs sqlglot (a dependency of this command only: pip install sqlglot).
"""

from __future__ import annotations

import argparse
import json
import os
import re
import sqlite3
import statistics
import sys
import tempfile
import time
from collections import Counter
from contextlib import closing
from dataclasses import dataclass, field

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from eval_linking import ALL, MODES, InputError, Question, read_questions, text_table  # noqa: E402

try:
    import sqlglot
    from sqlglot import exp
    from sqlglot.optimizer.scope import traverse_scope
except ImportError:  # main() says so
    sqlglot = None

NO_UNDERSTANDING = '{"keywords": [], "business_domains": [], "enhanced_query": ""}'


# ---- the schema and the gold statement ---------------------------------------------------


@dataclass
class Schema:
    """The metadata document's tables: {table: {column: declared type}}, names as written there."""

    tables: dict[str, dict[str, str]]

    def __post_init__(self) -> None:
        self._tables = {t.lower(): t for t in self.tables}
        self._columns = {t: {c.lower(): c for c in cols} for t, cols in self.tables.items()}

    def table(self, name: str) -> str | None:
        return self._tables.get(name.lower())

    def column(self, table: str, name: str) -> str | None:
        return self._columns.get(table, {}).get(name.lower())

    def is_text(self, table: str, column: str) -> bool:
        """SQLite's text affinity: the declared type holds CHAR, CLOB or TEXT."""
        declared = self.tables[table][column].upper()
        return any(word in declared for word in ("CHAR", "CLOB", "TEXT"))


def read_schema(metadata_path: str) -> Schema:
    try:
        with open(metadata_path, encoding="utf-8") as f:
            doc = json.load(f)
    except (OSError, ValueError) as exc:
        raise InputError(f"cannot read the metadata document {metadata_path}: {exc}") from exc
    tables = doc.get("tables") if isinstance(doc, dict) else None
    if not isinstance(tables, dict):
        raise InputError(f"{metadata_path}: the metadata document has no 'tables' section")
    schema = {}
    for name, table in tables.items():
        columns = table.get("columns") if isinstance(table, dict) else None
        if not isinstance(columns, dict):
            raise InputError(f"{metadata_path}: table {name} has no 'columns' record")
        schema[name] = {c: str(v.get("data_type", "")) if isinstance(v, dict) else ""
                        for c, v in columns.items()}
    return Schema(schema)


@dataclass(frozen=True)
class GoldValue:
    column: str  # table.column
    op: str  # =, <>, IN, LIKE or BETWEEN
    literal: str  # as the statement writes it: '%Milestone' for LIKE '%Milestone'
    needs_linking: bool  # the question does not spell it

    @property
    def text(self) -> str:
        return stored_text(self.op, self.literal)


ISO_DATE = re.compile(r"\d{4}-\d{2}-\d{2}([ T][\d:.]+)?")


def stored_text(op: str, literal: str) -> str:
    """The stored value a compared literal means (a LIKE pattern without its % signs)."""
    return literal.replace("%", "") if op == "LIKE" else literal


@dataclass
class GoldSQL:
    sql: str
    tables: list[str]
    columns: list[str]  # table.column
    values: list[GoldValue]

    @property
    def needed_values(self) -> list[GoldValue]:
        return [v for v in self.values if v.needs_linking]


def parse_sql(sql: str):
    try:
        return sqlglot.parse_one(sql, read="sqlite")
    except sqlglot.errors.SqlglotError as exc:
        raise InputError(f"sqlglot cannot parse {sql!r}: {str(exc).splitlines()[0]}") from exc


def _resolve(column, scope, schema: Schema) -> tuple[str, str] | None:
    """The table and column a column reference reads, looked up through the enclosing scopes
    (a correlated subquery reads its outer query's tables); None for an output alias or a
    column of a derived table (its own scope holds the columns it reads)."""
    while scope is not None:
        if column.table:
            source = scope.sources.get(column.table)
            if source is not None:
                if not isinstance(source, exp.Table):
                    return None
                table = schema.table(source.name)
                name = table and schema.column(table, column.name)
                return (table, name) if name else None
        else:
            for source in scope.sources.values():
                table = isinstance(source, exp.Table) and schema.table(source.name)
                name = table and schema.column(table, column.name)
                if name:
                    return table, name
        scope = scope.parent
    return None


def resolve_columns(tree, schema: Schema) -> dict[int, tuple[str, str]]:
    """id(column node) -> (table, column) for every column reference of the statement that
    reads a column of the schema."""
    out = {}
    for scope in traverse_scope(tree):
        for column in scope.columns:
            if isinstance(column.this, exp.Star) or id(column) in out:
                continue
            hit = _resolve(column, scope, schema)
            if hit:
                out[id(column)] = hit
    return out


def compared_literals(tree, resolved: dict[int, tuple[str, str]], schema: Schema):
    """(literal node, op, table, column) for each text literal compared with a text column."""

    def text_column(node):
        hit = resolved.get(id(node)) if isinstance(node, exp.Column) else None
        return hit if hit and schema.is_text(*hit) else None

    def text_literal(node):
        return isinstance(node, exp.Literal) and node.is_string

    for node in tree.find_all(exp.EQ, exp.NEQ, exp.In, exp.Like, exp.Between):
        if isinstance(node, (exp.EQ, exp.NEQ)):
            op = "=" if isinstance(node, exp.EQ) else "<>"
            for col, lit in ((node.this, node.expression), (node.expression, node.this)):
                hit = text_column(col)
                if hit and text_literal(lit):
                    yield lit, op, *hit
            continue
        hit = text_column(node.this)
        if not hit:
            continue
        if isinstance(node, exp.Like):
            others, op = [node.expression], "LIKE"
        elif isinstance(node, exp.In):
            others, op = node.expressions, "IN"
        else:
            others, op = [node.args.get("low"), node.args.get("high")], "BETWEEN"
        for lit in others:
            if text_literal(lit):
                yield lit, op, *hit


def parse_gold(sql: str, schema: Schema, question: str) -> GoldSQL:
    """The tables, columns and compared values of a gold statement."""
    tree = parse_sql(sql)
    tables = []
    for node in tree.find_all(exp.Table):
        name = schema.table(node.name)
        if name and name not in tables:
            tables.append(name)
    resolved = resolve_columns(tree, schema)
    columns = list(dict.fromkeys(f"{t}.{c}" for t, c in resolved.values()))
    values = []
    for lit, op, table, column in compared_literals(tree, resolved, schema):
        needs_linking = stored_text(op, lit.this) not in question and not ISO_DATE.fullmatch(lit.this)
        value = GoldValue(f"{table}.{column}", op, lit.this, needs_linking)
        if value not in values:
            values.append(value)
    return GoldSQL(sql, tables, columns, values)


# ---- what a prompt shows ----------------------------------------------------------------

COLUMN_LINE = re.compile(r"- ([^\s.(]+)\.([^\s.(]+) \(")
SCHEMA_COLUMN_LINE = re.compile(r"- (\S+) \(")


@dataclass
class PromptView:
    tables: set[str]  # lower-cased
    columns: set[str]  # lower-cased table.column
    text: str  # where quoted values are looked for


def read_prompt(prompt: str) -> PromptView:
    """The tables, columns and quoted values a prompt shows: the generation prompt's
    "Relevant Tables:" and "Relevant Columns:" lists; on a correction prompt also the schema
    it explores ("Table: name" with its "- column (type)" lines, the table list of
    sqlite_master) and the text values of its sample rows, read as if quoted."""
    tables, columns, extra = set(), set(), []
    section, table, query = None, None, ""
    for line in prompt.splitlines():
        if line in ("Relevant Tables:", "Relevant Tables in Context:"):
            section = "tables"
        elif line == "Relevant Columns:":
            section = "columns"
        elif line.startswith("Table: "):
            section, table = "schema", line[len("Table: "):].strip().lower()
            tables.add(table)
        elif line.startswith("Query: "):
            query = line
        elif line.startswith(("Sample data: ", "Result: ")):
            try:
                rows = json.loads(line.split(": ", 1)[1])
            except ValueError:
                continue
            for row in rows if isinstance(rows, list) else []:
                if not isinstance(row, dict):
                    continue
                if line.startswith("Sample data: "):
                    extra += [sql_literal(v) for v in row.values() if isinstance(v, str)]
                elif "sqlite_master" in query and isinstance(row.get("name"), str):
                    tables.add(row["name"].lower())
        elif not line.startswith("- ") or section is None:
            if line != "Columns:":
                section = None
        elif section == "tables":
            tables.add(line[2:].split(":", 1)[0].strip().lower())
        elif section == "columns" and (m := COLUMN_LINE.match(line)):
            columns.add(f"{m.group(1)}.{m.group(2)}".lower())
        elif section == "schema" and (m := SCHEMA_COLUMN_LINE.match(line)):
            columns.add(f"{table}.{m.group(1)}".lower())
    return PromptView(tables, columns, prompt + ("\n" + "\n".join(extra) if extra else ""))


def sql_literal(text: str) -> str:
    return "'" + text.replace("'", "''") + "'"


def like_pattern(literal: str) -> re.Pattern:
    """A quoted text (an SQL literal) that the LIKE pattern matches, case as written."""
    char = "(?:[^'\n]|'')"
    parts = {"%": char + "*", "_": char, "'": "''"}
    return re.compile("'" + "".join(parts.get(ch) or re.escape(ch) for ch in literal) + "'")


def value_shown(value: GoldValue, text: str) -> bool:
    if value.op == "LIKE":
        return like_pattern(value.literal).search(text) is not None
    return sql_literal(value.literal) in text or f"'{value.literal}'" in text


@dataclass
class Coverage:
    tables_shown: int
    missing_tables: list[str]
    missing_columns: list[str]
    missing_values: list[GoldValue]

    @property
    def enough(self) -> bool:
        return not (self.missing_tables or self.missing_columns or self.missing_values)


def coverage(gold: GoldSQL, view: PromptView) -> Coverage:
    missing_tables = [t for t in gold.tables if t.lower() not in view.tables]
    return Coverage(
        len(gold.tables) - len(missing_tables),
        missing_tables,
        [c for c in gold.columns if c.lower() not in view.columns],
        [v for v in gold.needed_values if not value_shown(v, view.text)],
    )


# ---- the sighted AI ---------------------------------------------------------------------


def other_number(name: str) -> str:
    """The singular of a plural name, the plural of a singular one."""
    if name.endswith("ies"):
        return name[:-3] + "y"
    if name.endswith("s") and not name.endswith("ss"):
        return name[:-1]
    return name + "s"


def guess_table(name: str, schema: Schema) -> str:
    """A made-up table name: activity for activities."""
    guess = other_number(name)
    while schema.table(guess):
        guess += "_table"
    return guess


def guess_column(table: str, column: str, schema: Schema) -> str:
    """A made-up column name: a name of several words without its last one (total_float for
    total_float_days), a one-word name prefixed with the table's singular (risk_status)."""
    words = column.split("_")
    if len(words) > 2 or (len(words) == 2 and len(words[0]) > 2):
        guess = "_".join(words[:-1])
    else:
        guess = f"{other_number(table)}_{column}"
    while schema.column(table, guess):
        guess += "_value"
    return guess


def guess_value(literal: str) -> str:
    """A stored value as one guesses it from the question: lower case, words joined by
    underscores (LIKE's % signs kept)."""
    guess = re.sub(r"[\s-]+", "_", literal.lower())
    if guess == literal:
        guess = literal.upper() if literal.upper() != literal else literal + "_"
    return guess


def guess_sql(gold: GoldSQL, schema: Schema, cover: Coverage) -> str:
    """The gold statement with what the prompt did not show replaced by a guess."""
    tree = parse_sql(gold.sql)
    resolved = resolve_columns(tree, schema)
    values = {(v.column, v.op, v.literal) for v in cover.missing_values}
    for lit, op, table, column in list(compared_literals(tree, resolved, schema)):
        if (f"{table}.{column}", op, lit.this) in values:
            lit.replace(exp.Literal.string(guess_value(lit.this)))
    missing_columns = set(cover.missing_columns)
    for node in list(tree.find_all(exp.Column)):
        hit = resolved.get(id(node))
        if hit and f"{hit[0]}.{hit[1]}" in missing_columns:
            node.set("this", exp.to_identifier(guess_column(*hit, schema)))
    renamed = {}  # a table read under its own name: the qualifiers naming it change too
    for node in list(tree.find_all(exp.Table)):
        name = schema.table(node.name)
        if name in cover.missing_tables:
            guess = guess_table(name, schema)
            if not node.alias:
                renamed[node.name] = guess
            node.set("this", exp.to_identifier(guess))
    for node in tree.find_all(exp.Column):
        if node.table in renamed:
            node.set("table", exp.to_identifier(renamed[node.table]))
    return tree.sql(dialect="sqlite")


class SightedAI:
    """A scripted AI that knows each question's gold statement and writes it only when the
    prompt shows everything it needs; otherwise the guess a capable model would make."""

    def __init__(self, schema: Schema):
        self.schema = schema
        self.item: Item | None = None
        self.prompts: list[str] = []
        self.exploring = 0

    def begin(self, item: Item) -> None:
        self.item, self.prompts, self.exploring = item, [], 0

    def run(self, prompt: str) -> str:  # question understanding: nothing to add
        return NO_UNDERSTANDING

    def clear_history(self) -> None:
        pass

    def get_response_sync(self, prompt: str) -> str:
        self.prompts.append(prompt)
        if f"QUESTION: {self.item.question.text}\n\n" not in prompt:
            self.exploring += 1
            raise RuntimeError("the sighted AI answers only the question under evaluation")
        cover = coverage(self.item.gold, read_prompt(prompt))
        if cover.enough:
            return f"{self.item.gold.sql}\nEXPLANATION: the prompt shows all the statement needs."
        return (f"{guess_sql(self.item.gold, self.schema, cover)}\n"
                "EXPLANATION: what the prompt did not show is guessed.")


# ---- the evaluation ---------------------------------------------------------------------


@dataclass
class Item:
    question: Question
    gold: GoldSQL
    gold_rows: Counter | None = None  # read for --sighted


@dataclass
class Answer:
    first_right: bool
    final_right: bool
    requests: int
    exploring: int
    prompt_chars: int
    first_sql: str | None
    final_sql: str | None


@dataclass
class Outcome:
    item: Item
    prompt_chars: int
    cover: Coverage
    answer: Answer | None = None


@dataclass
class Summary:
    n: int = 0
    every_table: int = 0
    recall: float = 0.0
    every_column: int = 0
    need_value: int = 0
    every_value: int = 0
    enough: int = 0
    chars: list[int] = field(default_factory=list)
    answered: int = 0
    first: int = 0
    final: int = 0
    requests: int = 0
    exploring: int = 0
    asked_chars: int = 0

    def add(self, outcome: Outcome) -> None:
        gold, cover = outcome.item.gold, outcome.cover
        self.n += 1
        self.every_table += not cover.missing_tables
        self.recall += cover.tables_shown / len(gold.tables) if gold.tables else 1.0
        self.every_column += not cover.missing_columns
        if gold.needed_values:
            self.need_value += 1
            self.every_value += not cover.missing_values
        self.enough += cover.enough
        self.chars.append(outcome.prompt_chars)
        if outcome.answer:
            a = outcome.answer
            self.answered += 1
            self.first += a.first_right
            self.final += a.final_right
            self.requests += a.requests
            self.exploring += a.exploring
            self.asked_chars += a.prompt_chars

    def row(self) -> dict[str, float | None]:
        n, m = max(self.n, 1), max(self.answered, 1)
        return {
            "questions": self.n,
            "every table": self.every_table / n,
            "table recall": self.recall / n,
            "every column": self.every_column / n,
            "need value": self.need_value,
            "every value": self.every_value / self.need_value if self.need_value else None,
            "enough": self.enough / n,
            "median chars": statistics.median(self.chars) if self.chars else 0,
            "max chars": max(self.chars, default=0),
            "first right": self.first / m,
            "final right": self.final / m,
            "requests": self.requests / m,
            "exploring": self.exploring / m,
            "prompt chars": self.asked_chars / m,
        }


@dataclass
class ModeResult:
    mode: str
    seconds: float
    outcomes: list[Outcome]
    read_database: bool
    by_difficulty: dict[str, Summary] = field(default_factory=dict)


def read_items(questions_path: str, schema: Schema) -> list[Item]:
    """The answerable questions of the file with their parsed gold statements."""
    questions = read_questions(questions_path, set(schema.tables))
    with open(questions_path, encoding="utf-8") as f:
        records = json.load(f)
    items = []
    for i, (question, record) in enumerate(zip(questions, records)):
        if not question.answerable:
            continue
        sql = record.get("gold_sql")
        where = f"{questions_path}: question {i}"
        if not isinstance(sql, str) or not sql.strip():
            raise InputError(f"{where}: an answerable question needs its 'gold_sql'")
        try:
            items.append(Item(question, parse_gold(sql, schema, question.text)))
        except InputError as exc:
            raise InputError(f"{where}: {exc}") from exc
    if not items:
        raise InputError(f"{questions_path}: no answerable question")
    return items


def schema_service(mode: str, metadata_path: str, db_path: str):
    """AtlanorService for the mode, given the database where the installed module takes it;
    the service and whether it did."""
    from Corvalt.Atlanor import AtlanorService

    try:
        return AtlanorService(metadata_path, linking=mode, database=db_path), True
    except TypeError:
        return AtlanorService(metadata_path, linking=mode), False


def context_of(service, question: Question):
    if question.previous_sql:
        return service.process_query(question.text, "json", None, question.previous_sql)
    return service.process_query(question.text)


def open_read_only(db_path: str) -> sqlite3.Connection:
    return sqlite3.connect(f"file:{os.path.abspath(db_path)}?mode=ro", uri=True)


def rows_of(conn: sqlite3.Connection, sql: str) -> Counter:
    return Counter(tuple(row) for row in conn.execute(sql))


def same_rows(conn: sqlite3.Connection, query, gold_rows: Counter) -> bool:
    if not isinstance(query, dict) or not query.get("success") or not query.get("sql"):
        return False
    try:
        return rows_of(conn, query["sql"]) == gold_rows
    except sqlite3.Error:
        return False


def answer_sighted(db_path: str, schema: Schema, outcomes: list[Outcome], contexts: list) -> None:
    """Has every question answered by the sighted AI through Quillon, in a temporary working
    directory, and records each outcome's answer."""
    from Corvalt.Quillon import Quillon

    db_path, here = os.path.abspath(db_path), os.getcwd()
    ai = SightedAI(schema)
    with closing(open_read_only(db_path)) as conn, tempfile.TemporaryDirectory(prefix="eval_prompt_") as work:
        os.chdir(work)
        quillon = Quillon(db_path, mindloom=ai)
        try:
            for outcome, context in zip(outcomes, contexts):
                item = outcome.item
                if item.gold_rows is None:
                    try:
                        item.gold_rows = rows_of(conn, item.gold.sql)
                    except sqlite3.Error as exc:
                        raise InputError(f"the gold statement of {item.question.text!r} fails: {exc}") \
                            from exc
                ai.begin(item)
                result = quillon.get_best_sql_and_results(item.question.text, context, None)
                first, final = result.get("ai_query"), result.get("best_query")
                outcome.answer = Answer(
                    same_rows(conn, first, item.gold_rows), same_rows(conn, final, item.gold_rows),
                    len(ai.prompts), ai.exploring, sum(map(len, ai.prompts)),
                    (first or {}).get("sql"), (final or {}).get("sql"))
                log = os.path.join("data", "failed_sql.json")
                if os.path.exists(log):
                    os.remove(log)
        finally:
            quillon.close_connection()
            os.chdir(here)


def run_mode(mode: str, metadata_path: str, db_path: str, items: list[Item], schema: Schema,
             sighted: bool) -> ModeResult:
    from Corvalt.Quillon import Quillon

    service, read_database = schema_service(mode, metadata_path, db_path)
    service.build_graph()
    writer = Quillon(db_path)
    outcomes, contexts = [], []
    start = time.perf_counter()
    try:
        for item in items:
            context = context_of(service, item.question)
            prompt = writer._create_sql_generation_prompt(item.question.text, context)
            outcomes.append(Outcome(item, len(prompt), coverage(item.gold, read_prompt(prompt))))
            contexts.append(context)
    finally:
        writer.close_connection()
    if sighted:
        answer_sighted(db_path, schema, outcomes, contexts)
    result = ModeResult(mode, time.perf_counter() - start, outcomes, read_database)
    for outcome in outcomes:
        for key in (outcome.item.question.difficulty, ALL):
            result.by_difficulty.setdefault(key, Summary()).add(outcome)
    return result


# ---- the report -------------------------------------------------------------------------

PROMPT_COLUMNS = ("questions", "every table", "table recall", "every column", "need value",
                  "every value", "enough", "median chars", "max chars")
SIGHTED_COLUMNS = ("questions", "first right", "final right", "requests", "exploring", "prompt chars")


def cell(name: str, value) -> str:
    if value is None:
        return "n/a"
    if name in ("questions", "need value", "max chars"):
        return str(int(value))
    if name in ("median chars", "prompt chars"):
        return f"{value:.0f}"
    if name in ("requests", "exploring"):
        return f"{value:.2f}"
    return f"{value:.3f}"


def table_rows(results: list[ModeResult], columns: tuple[str, ...]) -> list[list[str]]:
    order = list(dict.fromkeys(o.item.question.difficulty for o in results[0].outcomes)) + [ALL]
    rows = []
    for r in results:
        for d in order:
            if d in r.by_difficulty:
                values = r.by_difficulty[d].row()
                rows.append([r.mode, d] + [cell(c, values[c]) for c in columns])
    return rows


def missing_text(cover: Coverage) -> str:
    if cover.enough:
        return "enough"
    parts = []
    if cover.missing_tables:
        parts.append("tables " + ", ".join(cover.missing_tables))
    if cover.missing_columns:
        parts.append("columns " + ", ".join(cover.missing_columns))
    if cover.missing_values:
        parts.append("values " + ", ".join(f"'{v.literal}'" for v in cover.missing_values))
    return "missing " + "; ".join(parts)


def print_report(results: list[ModeResult], show: bool) -> None:
    if show:
        for outcome_set in zip(*(r.outcomes for r in results)):
            item = outcome_set[0].item
            print(f"{item.question.difficulty:8} {item.question.text}")
            for r, outcome in zip(results, outcome_set):
                line = f"{'':8} {r.mode}: {missing_text(outcome.cover)} ({outcome.prompt_chars} chars)"
                if outcome.answer:
                    a = outcome.answer
                    line += (f"; sighted AI {'right' if a.first_right else 'wrong'} first, "
                             f"{'right' if a.final_right else 'wrong'} in the end, "
                             f"AI requests: {a.requests}")
                print(line)
        print()
    print(text_table(["mode", "difficulty", *PROMPT_COLUMNS], table_rows(results, PROMPT_COLUMNS)))
    if any(o.answer for r in results for o in r.outcomes):
        print()
        print("sighted AI:")
        print(text_table(["mode", "difficulty", *SIGHTED_COLUMNS], table_rows(results, SIGHTED_COLUMNS)))
    print()
    for r in results:
        print(f"{r.mode}: {len(r.outcomes)} questions in {r.seconds * 1e3:.1f} ms")


def outcome_record(outcome: Outcome) -> dict:
    item, cover = outcome.item, outcome.cover
    values = [{"column": v.column, "op": v.op, "literal": v.literal, "needs_linking": v.needs_linking}
              for v in item.gold.values]
    record = {
        "question": item.question.text,
        "difficulty": item.question.difficulty,
        "gold_sql": item.gold.sql,
        "gold_tables": item.gold.tables,
        "gold_columns": item.gold.columns,
        "gold_values": values,
        "missing_tables": cover.missing_tables,
        "missing_columns": cover.missing_columns,
        "missing_values": [v.literal for v in cover.missing_values],
        "enough": cover.enough,
        "prompt_chars": outcome.prompt_chars,
    }
    if outcome.answer:
        a = outcome.answer
        record["sighted"] = {"first_right": a.first_right, "final_right": a.final_right,
                             "requests": a.requests, "exploring": a.exploring,
                             "prompt_chars": a.prompt_chars, "first_sql": a.first_sql,
                             "final_sql": a.final_sql}
    return record


def write_json(path: str, results: list[ModeResult], opt) -> None:
    doc = {
        "metadata": opt.metadata,
        "database": opt.db,
        "questions": opt.questions,
        "modes": {r.mode: {
            "read_database": r.read_database,
            "summary": {d: s.row() for d, s in r.by_difficulty.items()},
            "outcomes": [outcome_record(o) for o in r.outcomes],
        } for r in results},
    }
    with open(path, "w", encoding="utf-8") as f:
        json.dump(doc, f, indent=2)
        f.write("\n")


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--metadata", required=True, metavar="FILE", help="the metadata document")
    parser.add_argument("--db", required=True, metavar="FILE", help="the SQLite database")
    parser.add_argument("--questions", required=True, metavar="FILE", help="the question file (JSON)")
    parser.add_argument("--modes", default=",".join(MODES), metavar="LIST",
                        help="linking modes to compare, comma-separated (default: %(default)s)")
    parser.add_argument("--show", action="store_true",
                        help="print what each question's prompt lacks per mode")
    parser.add_argument("--sighted", action="store_true",
                        help="also have the questions answered by the scripted sighted AI")
    parser.add_argument("--json", metavar="FILE", help="write every question's outcome there")
    opt = parser.parse_args(argv)

    modes = [m.strip() for m in opt.modes.split(",") if m.strip()]
    unknown = [m for m in modes if m not in MODES]
    if not modes or unknown:
        parser.error(f"--modes takes {', '.join(MODES)}; got {opt.modes!r}")
    if sqlglot is None:
        print("eval_prompt.py: needs sqlglot, which is not installed (pip install sqlglot); "
              "nothing was run", file=sys.stderr)
        return 2
    if not os.path.isfile(opt.db):
        print(f"eval_prompt.py: no database file {opt.db}", file=sys.stderr)
        return 2
    try:
        schema = read_schema(opt.metadata)
        items = read_items(opt.questions, schema)
        results = [run_mode(mode, opt.metadata, opt.db, items, schema, opt.sighted) for mode in modes]
    except InputError as exc:
        print(f"eval_prompt.py: {exc}", file=sys.stderr)
        return 2
    if not all(r.read_database for r in results):
        print("note: the installed AtlanorService takes no database; "
              "its context records come from the metadata document alone")
    print_report(results, opt.show)
    if opt.json:
        write_json(opt.json, results, opt)
        print(f"outcomes: {opt.json}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
