"""``corvalt mcp``: the answering road and the read-only database as tools of a Model
Context Protocol server on standard input and output, for AI agents.

The services are loaded once for the process: the answering road (``Assistant``), a
schema service reading questions lexically against the database's stored values, and a
``Quillon`` whose read-only guard, statement time limit and row limit apply to every
statement a tool runs. Tools answer in JSON text bounded for a model's context: at most
``max_rows`` rows (up to ``ROWS_CAP``) and ``max_chars`` characters, always with the total
row count and a ``cut`` line when something was left out. A refused statement, a database
error, a statement past its time limit or a bad argument comes back as a tool error with
the reason; the server goes on answering.

This module is imported by ``corvalt --help`` (``add_parser``); the ``mcp`` package (the
``mcp`` extra) is needed only to serve, so it is imported inside the functions.
"""

import argparse
import contextlib
import json
import math
import threading
import time
from typing import Any, Optional

from Corvalt.Quillon import DEFAULT_STATEMENT_TIMEOUT

ROWS_DEFAULT = 50
ROWS_CAP = 1000                # the most rows one tool result may carry
CHARS_DEFAULT = 20_000
CELL_CHARS = 300               # a longer text value is cut
SAMPLE_VALUES = 5              # distinct values per text column in describe_table
SHORT_TEXT = 64                # find_values searches values up to this length
SEARCH_SECONDS = 10.0          # find_values stops going through the tables after this
ASK_MAX_ROWS = 100_000         # the road's statements fail past this many rows
TEXT_TYPES = ("CHAR", "CLOB", "TEXT", "")   # SQLite's text affinity (and no declared type)

INSTRUCTIONS = (
    "Read-only access to a project-scheduling database (projects, activities, relationships "
    "with lag, float, the critical path, resources, risks). Start with `ask` for a question in "
    "plain language. When it has no answer it returns the question's tables, columns, joins and "
    "stored values: write one SQLite SELECT from them and run it with `run_sql`. "
    "`get_context`, `list_tables`, `describe_table` and `find_values` show the schema and the "
    "stored values (use the exact spelling they return in WHERE clauses). Results are cut to "
    "`max_rows` rows; every result says how many rows there were in all."
)


def quote_name(name: str) -> str:
    return '"' + name.replace('"', '""') + '"'


def quote_text(text: str) -> str:
    return "'" + text.replace("'", "''") + "'"


def cell(value: Any) -> Any:
    """A value as JSON can hold it, long text cut: bytes as x'hex', NaN and infinities null."""
    if isinstance(value, float) and not math.isfinite(value):
        return None
    if isinstance(value, (bytes, bytearray, memoryview)):
        value = "x'" + bytes(value).hex() + "'"
    if isinstance(value, str) and len(value) > CELL_CHARS:
        return value[:CELL_CHARS] + f"... ({len(value)} characters)"
    if value is None or isinstance(value, (str, bool, int, float)):
        return value
    return str(value)


def dumps(doc: Any) -> str:
    return json.dumps(doc, ensure_ascii=False, default=str)


def note_cut(doc: dict, text: str) -> None:
    """Says in the result's `cut` line what was left out."""
    doc["cut"] = f"{doc['cut']}; {text}" if doc.get("cut") else f"cut: {text}"


def rows_cut(shown: int, total: Optional[int], limit: int) -> str:
    whole = f"{total}" if total is not None else f"more than {limit}"
    return (f"the first {shown} of {whole} rows (max_rows {limit}); narrow the statement "
            f"(WHERE, GROUP BY, aggregates) or raise max_rows up to {ROWS_CAP}")


def render(doc: dict, max_chars: int, optional: tuple = ()) -> str:
    """`doc` as JSON text of at most `max_chars` characters. Past that, rows go from the end
    (the `cut` line says how many are left), then the `optional` keys in turn, and last the
    text itself is cut."""
    text = dumps(doc)
    if len(text) <= max_chars:
        return text
    rows = doc.get("rows")
    if rows:
        low, high = 0, len(rows) - 1      # the most rows that fit lie in [low, high]
        while low < high:
            middle = (low + high + 1) // 2
            if len(dumps(dict(doc, rows=rows[:middle]))) <= max_chars - 200:
                low = middle
            else:
                high = middle - 1
        doc = dict(doc, rows=rows[:low])
        total = doc.get("row_count")
        doc.pop("cut", None)
        note_cut(doc, f"the first {low} of {total if total is not None else 'more'} rows, to stay within "
                      f"{max_chars} characters; select fewer or narrower columns, or fewer rows")
        text = dumps(doc)
    for key in optional:
        if len(text) <= max_chars:
            break
        if key in doc:
            doc = {k: v for k, v in doc.items() if k != key}
            note_cut(doc, f"{key} left out to stay within {max_chars} characters")
            text = dumps(doc)
    if len(text) > max_chars:
        line = f"\n[cut: the first {max_chars} of {len(text)} characters]"
        text = text[: max(0, max_chars - len(line))] + line
    return text


class Services:
    """The services of one database, metadata document and history, loaded once. Each is
    used by one tool call at a time (tools run on worker threads)."""

    def __init__(self, db: str, metadata: str, history: Optional[str], *, mindloom: Any, linking: str,
                 statement_timeout: Optional[float], verbose: Any) -> None:
        from Corvalt.Atlanor import AtlanorService
        from Corvalt.Quillon import Assistant, Quillon, is_server_target, masked_target

        self.assistant = Assistant(db, metadata, history, mindloom=mindloom, linking=linking,
                                   statement_timeout=statement_timeout, max_rows=ASK_MAX_ROWS,
                                   verbose=verbose)
        # Lexical records carry the stored values, terms and examples a model writes SQL from.
        self.schema = AtlanorService(metadata, verbose=verbose, linking="lexical", database=db)
        self.schema.build_graph()
        self.quillon = Quillon(db, verbose=verbose, statement_timeout=statement_timeout,
                               max_rows=ROWS_CAP + 1, read_only="engine")
        if not self.quillon.conn:
            raise OSError(f"cannot open the database {masked_target(db)}")
        self.server = is_server_target(db)
        self.metadata = self.schema.metadata or {}
        self.road_lock = threading.Lock()
        self.schema_lock = threading.Lock()
        self.sql_lock = threading.Lock()

    # --- statements through the guard ---------------------------------------------------------

    def query(self, sql: str) -> dict:
        with self.sql_lock:
            return self.quillon.test_query({"sql": sql})

    def refusal(self, sql: str) -> Optional[str]:
        with self.sql_lock:
            return self.quillon._validate_safe_sql(sql)

    def must(self, sql: str) -> dict:
        """A statement of the server's own: its rows, or a tool error with the reason."""
        from mcp.server.mcpserver.exceptions import ToolError

        record = self.query(sql)
        if record.get("success") is not True:
            raise ToolError(str(record.get("execution_error") or "the statement failed"))
        return record

    def run_bounded(self, sql: str, limit: int) -> dict:
        """The user's statement: at most `limit` rows are read, and the rows are counted
        with a second statement only when there are more."""
        from mcp.server.mcpserver.exceptions import ToolError

        statement = sql.strip()
        while statement.endswith(";"):
            statement = statement[:-1].rstrip()
        if not statement:
            raise ToolError("the statement is empty")
        # The guard judges the statement as written; only then is it wrapped (the wrapper is
        # one SELECT, so the guard and the bounds apply to the whole again).
        refused = self.refusal(statement)
        if refused:
            raise ToolError(refused)
        wrapped = f"SELECT * FROM (\n{statement}\n) AS bounded LIMIT {limit + 1}"
        record = self.query(wrapped)
        if record.get("success") is not True:
            error = str(record.get("execution_error") or "the statement failed")
            raise ToolError(error.replace(wrapped, statement))
        columns = [str(c) for c in record.get("columns") or []]
        rows = [[cell(row.get(c)) for c in columns] for row in record.get("results") or []]
        total: Optional[int] = len(rows)
        doc: dict = {}
        if len(rows) > limit:
            rows = rows[:limit]
            counted = self.query(f"SELECT count(*) AS n FROM (\n{statement}\n) AS counted")
            results = counted.get("results") or []
            total = results[0].get("n") if counted.get("success") is True and results else None
            note_cut(doc, rows_cut(limit, total, limit))
            if total is None:
                note_cut(doc, "counting every row took longer than the statement time limit")
        return {"columns": own_names(columns), "rows": rows, "row_count": total, **doc}

    # --- the schema ----------------------------------------------------------------------------

    def described_tables(self) -> dict:
        return self.metadata.get("tables") or {}

    def database_tables(self) -> list[str]:
        if self.server:
            # The backend's own listing (a server's catalog is not open to statements).
            with self.sql_lock:
                explored = self.quillon._explore_database_schema()
            return sorted(str(r["name"]) for r in (explored[0]["result"] if explored else []))
        record = self.must("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                           "AND name NOT LIKE 'sqlite_%' ORDER BY name")
        return [str(r["name"]) for r in record.get("results") or []]

    def table_columns(self, table: str) -> list[tuple[str, str]]:
        if self.server:
            with self.sql_lock:
                described = self.quillon._explore_table_schema(table)
            return [(str(c["name"]), str(c.get("type") or "")) for c in described.get("columns") or []]
        record = self.must(f"SELECT name, type FROM pragma_table_info({quote_text(table)})")
        return [(str(r["name"]), str(r.get("type") or "")) for r in record.get("results") or []]

    def context(self, question: str) -> dict:
        with self.schema_lock:
            return self.schema.process_query(question)


def own_names(columns: list[str]) -> list[str]:
    """The wrapper's subquery calls a repeated column name:1, name:2, ...; the statement's
    own result calls each of them name."""
    names = []
    for column in columns:
        base, colon, number = column.rpartition(":")
        names.append(base if colon and number.isdigit() and base in columns else column)
    return names


def is_text(declared: str) -> bool:
    declared = declared.upper()
    return declared == "" or any(t in declared for t in TEXT_TYPES if t)


def context_essentials(record: dict) -> dict:
    """What a model needs from a lexical context record to write the SQL itself."""
    objects = record.get("database_objects") or {}
    tables = []
    by_name = {}
    for table in objects.get("tables") or []:
        entry = {"name": table.get("name"), "description": table.get("description"), "columns": []}
        by_name[table.get("name")] = entry
        tables.append(entry)
    for column in objects.get("columns") or []:
        table, _, name = str(column.get("name")).partition(".")
        if table in by_name:
            by_name[table]["columns"].append(
                {"name": name, "type": column.get("data_type"), "description": column.get("description")})
    hints = record.get("sql_hints") or {}
    linking = record.get("linking") or {}
    doc = {
        "match": linking.get("match"),
        "unmatched_words": linking.get("unmatched") or [],
        "tables": tables,
        "joins": [{"join": r.get("join_condition"), "description": r.get("description")}
                  for r in record.get("relationships") or []],
        "values": hints.get("values") or [],
        "column_values": hints.get("column_values") or {},
        "terms": hints.get("terms") or [],
        "rules": [r.get("description") for r in record.get("business_rules") or []],
        "examples": hints.get("examples") or [],
    }
    if hints.get("dialect"):
        doc["dialect"] = hints["dialect"]
    return doc


CONTEXT_OPTIONAL = ("examples", "rules", "column_values", "terms")


def schema_markdown(metadata: dict) -> str:
    """The metadata document's tables, columns and relationships as Markdown."""
    cell_text = lambda v: " ".join(str(v or "").split()).replace("|", "\\|")
    tables = metadata.get("tables") or {}
    lines = ["# Schema", "", f"{len(tables)} tables; the relationships (joins) follow them.", ""]
    for name, table in tables.items():
        lines += [f"## {name}", ""]
        if table.get("description"):
            lines += [cell_text(table["description"]), ""]
        lines += ["| column | type | description |", "|---|---|---|"]
        for column, info in (table.get("columns") or {}).items():
            lines.append(f"| {cell_text(column)} | {cell_text(info.get('data_type'))} | "
                         f"{cell_text(info.get('description'))} |")
        lines.append("")
    relationships = metadata.get("relationships") or []
    if relationships:
        lines += ["## Relationships", ""]
        for r in relationships:
            text = f"- `{r.get('join_condition')}`"
            if r.get("description"):
                text += f": {cell_text(r['description'])}"
            lines.append(text)
        lines.append("")
    return "\n".join(lines)


def build_server(db: str, metadata: str, history: Optional[str], *, mindloom: Any = None,
                 linking: str = "lexical", max_rows_default: int = ROWS_DEFAULT,
                 max_chars: int = CHARS_DEFAULT,
                 statement_timeout: Optional[float] = float(DEFAULT_STATEMENT_TIMEOUT),
                 verbose: Any = False):
    """An MCP server (``mcp.server.mcpserver.MCPServer``) over the database `db`, described by
    the metadata document `metadata`, with the question history `history` (None: none). The
    services are loaded here, once. `mindloom` is the AI service the answering road asks
    (None: ``ask`` answers only from history and templates, otherwise with suggestions).
    Run it with ``.run("stdio")``."""
    from typing import Annotated

    from mcp.server.mcpserver import MCPServer
    from mcp.server.mcpserver.exceptions import ToolError
    from mcp.types import ToolAnnotations
    from pydantic import Field

    if not 1 <= max_rows_default <= ROWS_CAP:
        raise ValueError(f"max_rows_default must be from 1 to {ROWS_CAP}")
    if max_chars < 1000:
        raise ValueError("max_chars must be at least 1000")
    services = Services(db, metadata, history, mindloom=mindloom, linking=linking,
                        statement_timeout=statement_timeout, verbose=verbose)
    server = MCPServer("corvalt", instructions=INSTRUCTIONS, log_level="INFO" if verbose else "WARNING")

    def read_only(title: str, idempotent: bool = True) -> ToolAnnotations:
        return ToolAnnotations(title=title, read_only_hint=True, destructive_hint=False,
                               idempotent_hint=idempotent, open_world_hint=False)

    MaxRows = Annotated[int, Field(ge=1, le=ROWS_CAP, description=(
        f"most rows to return (1 to {ROWS_CAP}, default {max_rows_default}); the total count is "
        "always given"))]
    Question = Annotated[str, Field(min_length=1, max_length=2000,
                                    description="the question, in plain language")]

    def guarded(fn):
        """A failure of the services comes back as a tool error with its own message."""
        import functools

        @functools.wraps(fn)
        def call(*args, **kwargs):
            try:
                return fn(*args, **kwargs)
            except ToolError:
                raise
            except Exception as exc:   # noqa: BLE001 - the reason goes to the model
                raise ToolError(f"{type(exc).__name__}: {exc}") from exc
        return call

    def question_text(question: str) -> str:
        question = question.strip()
        if not question:
            raise ToolError("the question is empty")
        return question

    @server.tool(annotations=read_only("Answer a question", idempotent=False), description=(
        "Answer a question about the project-scheduling database in plain language through "
        "Corvalt's answering road: the same question answered before, an earlier question's "
        "statement refilled with this question's values, or (when the server has an AI service) "
        "a generated statement, run read-only. Returns the SQL, where it came from, columns, rows "
        "and the total row count. When there is no answer ('answered': false) it returns the "
        "question's tables, columns, joins, stored values, similar earlier questions and a "
        "statement to start from: write one SQLite SELECT from them and run it with run_sql. "
        "For a follow-up ('which of those ...') pass the previous statement as previous_sql."))
    @guarded
    def ask(question: Question,
            previous_sql: Annotated[Optional[str], Field(
                description="the statement that answered the question before this one, for a follow-up")] = None,
            max_rows: MaxRows = max_rows_default) -> str:
        question = question_text(question)
        with services.road_lock:
            answer = services.assistant.ask(question, previous_sql or None)
        if answer.get("answered"):
            rows = [[cell(v) for v in row] for row in answer.get("rows") or []]
            doc = {"answered": True, "source": answer.get("source"), "sql": answer.get("sql"),
                   "explanation": answer.get("explanation") or None, "reason": answer.get("reason"),
                   "columns": answer.get("columns") or [], "rows": rows[:max_rows],
                   "row_count": answer.get("row_count")}
            if len(rows) > max_rows:
                note_cut(doc, rows_cut(max_rows, answer.get("row_count"), max_rows))
            return render(doc, max_chars)
        suggestions = answer.get("suggestions") or {}
        doc = {"answered": False, "reason": answer.get("reason"), "error": answer.get("error"),
               "next": "write one SQLite SELECT from the context below and run it with run_sql",
               "similar_questions": suggestions.get("questions") or [],
               "starting_sql": suggestions.get("sql"),
               "suggested_tables": suggestions.get("tables") or []}
        doc["context"] = context_essentials(services.context(question))
        return render(doc, max_chars, optional=("context",))

    @server.tool(annotations=read_only("Schema context of a question"), description=(
        "The part of the schema a question touches, to write SQL from: its tables with every "
        "column (type and description), the joins among them, the stored values its words name "
        "(column, exact value, fit), each short text column's values, the terminology, business "
        "rules, the SQL dialect and up to three example queries like it. 'unmatched_words' are "
        "words that matched nothing in the schema."))
    @guarded
    def get_context(question: Question) -> str:
        doc = {"question": question_text(question)}
        doc.update(context_essentials(services.context(doc["question"])))
        return render(doc, max_chars, optional=CONTEXT_OPTIONAL)

    @server.tool(annotations=read_only("Run one SELECT"), description=(
        "Run one read-only SQLite query (SELECT, WITH ... SELECT or VALUES) on the database and "
        "return its columns, at most max_rows rows and the total row count ('cut' says when rows "
        "were left out). Anything that writes, or more than one statement, is refused. It stops "
        "with an error past the server's time limit. Errors name the reason: fix the statement "
        "and run it again."))
    @guarded
    def run_sql(sql: Annotated[str, Field(min_length=1, max_length=100_000,
                                          description="one SQLite SELECT statement")],
                max_rows: MaxRows = max_rows_default) -> str:
        return render(services.run_bounded(sql, max_rows), max_chars)

    @server.tool(annotations=read_only("List the tables"), description=(
        "Every table of the database with its description and number of columns from the "
        "metadata document; tables the document does not describe are listed too."))
    @guarded
    def list_tables() -> str:
        described = services.described_tables()
        stored = services.database_tables()
        tables = [{"name": name, "description": info.get("description"),
                   "columns": len(info.get("columns") or {})}
                  for name, info in described.items()]
        known = {name.lower() for name in described}
        tables += [{"name": name, "description": None, "columns": len(services.table_columns(name))}
                   for name in stored if name.lower() not in known]
        return render({"table_count": len(tables), "tables": tables}, max_chars)

    @server.tool(annotations=read_only("Describe a table"), description=(
        "One table in detail: its description, row count, every column with its type, "
        "description, statistics and up to five sample values (text columns), and the joins "
        "to other tables."))
    @guarded
    def describe_table(name: Annotated[str, Field(min_length=1, max_length=200,
                                                  description="the table's name, as list_tables gives it")]) -> str:
        described = services.described_tables()
        stored = services.database_tables()
        wanted = name.strip().lower()
        match = next((t for t in list(described) + stored if t.lower() == wanted), None)
        if match is None:
            raise ToolError(f"no table named {name!r}; the tables are: "
                            + ", ".join(sorted(set(described) | set(stored))))
        info = described.get(match) or {}
        in_db = next((t for t in stored if t.lower() == wanted), None)
        doc: dict = {"name": match, "description": info.get("description")}
        documented = info.get("columns") or {}
        if in_db is None:
            doc["note"] = "described by the metadata document but not in the database"
            columns = [(c, str(v.get("data_type") or "")) for c, v in documented.items()]
        else:
            table = quote_name(in_db)
            doc["row_count"] = services.must(f"SELECT count(*) AS n FROM {table}")["results"][0]["n"]
            columns = services.table_columns(in_db)
        doc["columns"] = []
        for column, declared in columns:
            entry = {"name": column, "type": declared or (documented.get(column) or {}).get("data_type")}
            about = documented.get(column) or {}
            if about.get("description"):
                entry["description"] = about["description"]
            statistics = about.get("statistics")
            if isinstance(statistics, dict):
                entry["statistics"] = {k: cell(v) for k, v in statistics.items()
                                       if k in ("min", "max", "distinct_count", "null_count", "avg")}
            if in_db is not None and is_text(declared):
                sample = services.must(
                    f"SELECT DISTINCT {quote_name(column)} AS v FROM {quote_name(in_db)} "
                    f"WHERE {quote_name(column)} IS NOT NULL LIMIT {SAMPLE_VALUES}")
                entry["samples"] = [cell(r.get("v")) for r in sample.get("results") or []]
            doc["columns"].append(entry)
        doc["joins"] = [{"join": r.get("join_condition"), "description": r.get("description")}
                        for r in services.metadata.get("relationships") or []
                        if match in (r.get("from_table"), r.get("to_table"))]
        return render(doc, max_chars)

    @server.tool(annotations=read_only("Find stored values"), description=(
        "Which values stored in the database match a phrase, to filter on them exactly: names, "
        "codes and statuses as the database spells them ('harbour bridge' finds 'Harbor Bridge "
        "Rehabilitation' in projects.project_name). Each match gives the column (table.column), "
        "the value and how it fits: exact, fuzzy or partial (from the schema's value index) or "
        "contains (the value contains the text)."))
    @guarded
    def find_values(text: Annotated[str, Field(min_length=1, max_length=200,
                                               description="a phrase, a name or a code")],
                    max_rows: MaxRows = max_rows_default) -> str:
        phrase = text.strip()
        if not phrase:
            raise ToolError("the text is empty")
        matches: list = []
        seen = set()

        def add(column: str, value: Any, fit: str) -> None:
            key = (column, value)
            if key not in seen:
                seen.add(key)
                matches.append({"column": column, "value": cell(value), "fit": fit})

        for hint in (services.context(phrase).get("sql_hints") or {}).get("values") or []:
            add(str(hint.get("column")), hint.get("value"), str(hint.get("fit")))
        pattern = phrase.replace("\\", "\\\\").replace("%", "\\%").replace("_", "\\_")
        like = "ILIKE" if services.server else "LIKE"  # letter case aside, as SQLite's LIKE
        deadline = time.monotonic() + SEARCH_SECONDS
        searched_all = True
        for table in services.database_tables():
            if len(matches) > max_rows:
                break
            if time.monotonic() > deadline:
                searched_all = False
                break
            texts = [c for c, declared in services.table_columns(table) if is_text(declared)]
            if not texts:
                continue
            parts = [f"SELECT {quote_text(c)} AS c, {quote_name(c)} AS v FROM {quote_name(table)} "
                     f"WHERE length({quote_name(c)}) <= {SHORT_TEXT} AND {quote_name(c)} {like} "
                     f"{quote_text('%' + pattern + '%')} ESCAPE '\\'" for c in texts]
            record = services.query(f"SELECT DISTINCT c, v FROM (\n{' UNION ALL '.join(parts)}\n) AS found "
                                    f"LIMIT {max_rows + 1}")
            for row in record.get("results") or []:
                add(f"{table}.{row['c']}", row["v"], "contains")
        doc: dict = {"text": phrase, "matches": matches[:max_rows]}
        if len(matches) > max_rows:
            note_cut(doc, f"more than {max_rows} matches, the first {max_rows} shown (max_rows "
                          f"{max_rows}); give a longer phrase or raise max_rows")
        else:
            doc["match_count"] = len(matches)
        if not searched_all:
            note_cut(doc, f"the search stopped after {SEARCH_SECONDS:g} s, before every table was searched")
        return render(doc, max_chars)

    @server.resource("corvalt://metadata", name="metadata", title="Metadata document",
                     mime_type="application/json", description=(
                         "The JSON metadata document describing the database: tables, columns with "
                         "types, descriptions and statistics, relationships, concepts, terminology "
                         "and example queries."))
    def metadata_document() -> str:
        return json.dumps(services.metadata, ensure_ascii=False, indent=1, default=str)

    @server.resource("corvalt://schema", name="schema", title="Schema summary", mime_type="text/markdown",
                     description="The tables with their descriptions and columns, and the joins, in Markdown.")
    def schema_summary() -> str:
        return schema_markdown(services.metadata)

    return server


# --- the command --------------------------------------------------------------------------------


def rows_option(text: str) -> int:
    try:
        value = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"not a whole number: {text!r}") from None
    if not 1 <= value <= ROWS_CAP:
        raise argparse.ArgumentTypeError(f"must be from 1 to {ROWS_CAP}: {text}")
    return value


def chars_option(text: str) -> int:
    try:
        value = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"not a whole number: {text!r}") from None
    if value < 1000:
        raise argparse.ArgumentTypeError(f"must be 1000 or more: {text}")
    return value


def add_parser(commands) -> None:
    """The ``mcp`` sub-command of the ``corvalt`` command."""
    from Corvalt import cli

    parser = commands.add_parser(
        "mcp", help="serve the database to AI agents: a read-only Model Context Protocol server on "
                    "standard input/output",
        description="Serve the database, its metadata document and question history to an AI agent as "
                    "a Model Context Protocol server on standard input and output (needs the mcp "
                    "package: pip install 'Corvalt[mcp]'). Tools: ask, get_context, run_sql, "
                    "list_tables, describe_table, find_values; resources: the metadata document and a "
                    "Markdown summary of the schema. Every statement runs read-only through the guard, "
                    "within the statement time limit (--timeout-s); results are cut to --rows rows (a tool "
                    f"argument may ask for up to {ROWS_CAP}) and --max-chars characters. Messages go to "
                    "standard error.")
    cli.add_inputs(parser, "db", "metadata", "history")
    cli.add_linking(parser)
    parser.add_argument("--timeout-s", type=cli.positive_float, default=float(DEFAULT_STATEMENT_TIMEOUT),
                        metavar="SECONDS", help="a statement still running after SECONDS stops with an error "
                                                f"(default: {DEFAULT_STATEMENT_TIMEOUT})")
    parser.add_argument("--rows", type=rows_option, default=ROWS_DEFAULT, metavar="N",
                        help=f"rows a tool result holds unless the call asks for another max_rows "
                             f"(default: {ROWS_DEFAULT}, at most {ROWS_CAP})")
    parser.add_argument("--max-chars", type=chars_option, default=CHARS_DEFAULT, metavar="N",
                        help=f"most characters of one tool result (default: {CHARS_DEFAULT})")
    cli.add_ai(parser)
    cli.add_common(parser, suppress=True)
    parser.set_defaults(handler=run)


def run(args: argparse.Namespace) -> int:
    from Corvalt import cli

    progress = cli.Progress(args.quiet)
    try:
        import mcp.server.mcpserver  # noqa: F401
    except ImportError:
        raise cli.UsageError("corvalt mcp needs the mcp package (2.0 or newer): "
                             "pip install 'Corvalt[mcp]'") from None
    with contextlib.ExitStack() as stack:
        db = cli.input_path(args, "db", stack)
        metadata = cli.input_path(args, "metadata", stack)
        history = cli.input_path(args, "history", stack)
        ai = cli.make_ai(args, progress)
        progress(f"loading {metadata}, {history} and {db}")
        try:
            # Standard output is the protocol's: whatever the services print goes to stderr.
            with cli.service_output():
                server = build_server(db, metadata, history, mindloom=ai, linking=args.linking,
                                      max_rows_default=args.rows, max_chars=args.max_chars,
                                      statement_timeout=args.timeout_s, verbose=args.verbose)
        except cli.LOAD_ERRORS as exc:
            raise cli.UsageError(f"cannot set up the server: {exc}") from None
        progress("serving MCP on standard input and output")
        server.run("stdio")
    return 0
