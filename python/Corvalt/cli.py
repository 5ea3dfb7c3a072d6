"""The ``corvalt`` command: answer a question on a project-scheduling database.

``corvalt ask`` walks the road of one question through the three services:
EchovaneService looks for an earlier question, AtlanorService builds the context
record, and Quillon picks, runs and explains the best statement. ``context`` and
``sql`` run the first and last steps alone; ``demo`` runs Atlanor's demonstration.
``chat`` keeps a conversation on the same road, each question with the statement and
turns before it. ``eval`` asks every question of a question file through the answering
road (Corvalt.Assistant) and scores the answers against gold statements
(Corvalt.evaluation). ``ask --save`` and chat's ``:save`` add an answered question to
the user's history file (Corvalt.history_file).

Answers go to standard output; progress lines, the services' own messages and
errors go to standard error. Exit status: 0 answer, 1 no answer, 2 usage error or
unreadable input, 130 interrupted.
"""

from __future__ import annotations

import argparse
import contextlib
import importlib.resources
import json
import math
import os
import sys
import tempfile
from typing import Any, Callable, Optional

SAMPLE_FILES = {
    "metadata": "enriched_project_metadata_cleaned.json",
    "db": "project_schedule.db",
    "history": "query_history.json",
}
SQLITE_HEADER = b"SQLite format 3\x00"
CORRECTION_PROMPT_MARK = "fixing a failed SQL query"
CELL_WIDTH = 40


# Exit status of an answer found without the AI service because it did not answer.
ANSWERED_OFFLINE = 3


class UsageError(Exception):
    """A bad option or an input file that cannot be used: exit status 2."""


class Interrupted(Exception):
    """An AI request was stopped by Ctrl-C while a service absorbed the interrupt."""


# --- output helpers ---------------------------------------------------------------------------


class Progress:
    """Progress lines on standard error, silenced by --quiet."""

    def __init__(self, quiet: bool) -> None:
        self.quiet = quiet

    def __call__(self, message: str) -> None:
        if not self.quiet:
            print(f"corvalt: {message}", file=sys.stderr, flush=True)


@contextlib.contextmanager
def service_output():
    """The services print on standard output; route that to standard error so that
    standard output holds only the answer (one JSON document with --json)."""
    sys.stdout.flush()
    with contextlib.redirect_stdout(sys.stderr):
        yield
    sys.stderr.flush()


def to_json_value(value: Any) -> Any:
    """A copy of a record that json can write: bytes become hex text, NaN and the
    infinities become null, tuples lists, other objects their str()."""
    if value is None or isinstance(value, (str, bool, int)):
        return value
    if isinstance(value, float):
        return value if math.isfinite(value) else None
    if isinstance(value, (bytes, bytearray, memoryview)):
        return bytes(value).hex()
    if isinstance(value, dict):
        return {str(k): to_json_value(v) for k, v in value.items()}
    if isinstance(value, (list, tuple)):
        return [to_json_value(v) for v in value]
    return str(value)


def print_json(record: Any, indent: Optional[int] = 2) -> None:
    print(json.dumps(to_json_value(record), indent=indent, ensure_ascii=True, allow_nan=False))


def cell_text(value: Any) -> str:
    if value is None:
        text = "NULL"
    elif isinstance(value, (bytes, bytearray, memoryview)):
        text = "x'" + bytes(value).hex() + "'"
    else:
        text = str(value)
    text = " ".join(text.split()) if ("\n" in text or "\t" in text) else text
    return text if len(text) <= CELL_WIDTH else text[: CELL_WIDTH - 3] + "..."


def unique_names(columns: list) -> list[str]:
    """Column names with each repeat numbered (status, status_2, ...), so that every
    column of a result keeps its own place and value."""
    from Corvalt.Quillon import unique_column_names

    return unique_column_names([str(c) for c in columns])


def format_table(columns: list, rows: list, limit: int) -> list[str]:
    """The first `limit` rows (row dicts, or sequences in column order) as aligned text lines."""
    columns = unique_names(columns) or (list(rows[0]) if rows else [])
    cells = [[cell_text(v) for v in row] if isinstance(row, (list, tuple)) else
             [cell_text(row.get(c)) for c in columns] for row in rows[:limit]]
    widths = [max([len(c)] + [len(r[i]) for r in cells]) for i, c in enumerate(columns)]
    line = lambda values: "  ".join(v.ljust(w) for v, w in zip(values, widths)).rstrip()
    out = [line(columns), line(["-" * w for w in widths])]
    out += [line(r) for r in cells]
    return out


def print_rows(record: dict, limit: int) -> None:
    rows = record.get("results") or []
    count = record.get("row_count", len(rows))
    shown = min(limit, len(rows))
    head = f"Rows: {count}" + (f" (first {shown})" if shown < count else "")
    print(head)
    if rows and limit > 0:
        for text in format_table(record.get("columns") or [], rows, limit):
            print("  " + text)


# --- inputs -----------------------------------------------------------------------------------


def readable_file(path: str, what: str) -> str:
    if not os.path.exists(path):
        raise UsageError(f"{what} not found: {path}")
    if os.path.isdir(path):
        raise UsageError(f"{what} is a directory: {path}")
    try:
        with open(path, "rb") as f:
            head = f.read(len(SQLITE_HEADER))
    except OSError as exc:
        raise UsageError(f"cannot read {what} {path}: {exc.strerror or exc}") from None
    if what == "database" and head and head != SQLITE_HEADER:
        raise UsageError(f"not an SQLite database: {path}")
    return path


def input_path(args: argparse.Namespace, key: str, stack: contextlib.ExitStack) -> str:
    """The user's file for --db/--metadata/--history, else the bundled sample."""
    what = {"db": "database", "metadata": "metadata file", "history": "history file"}[key]
    given = getattr(args, key)
    if given is not None:
        if key == "db" and server_address(given):
            return given
        return readable_file(os.path.abspath(given), what)
    resource = importlib.resources.files("Corvalt").joinpath("data", SAMPLE_FILES[key])
    try:
        path = os.fspath(stack.enter_context(importlib.resources.as_file(resource)))
    except (FileNotFoundError, TypeError):
        raise UsageError(f"the bundled sample {SAMPLE_FILES[key]} is missing from this installation") from None
    return readable_file(path, what)


def server_address(db: str) -> bool:
    """--db names a PostgreSQL server rather than an SQLite file."""
    from Corvalt.Quillon import is_server_target

    return is_server_target(db)


def shown(db: str) -> str:
    """The database as messages show it: a server address without its password."""
    from Corvalt.Quillon import masked_target

    return masked_target(db)


def load_failure(what: str, path: str, exc: Exception) -> UsageError:
    message = str(exc) or type(exc).__name__
    return UsageError(f"cannot read {what} {shown(path)}: {message}")


LOAD_ERRORS = (OSError, ValueError, TypeError, KeyError, IndexError, UnicodeError)


# --- the AI service ---------------------------------------------------------------------------


class ReportingAI:
    """Stands in for the AI service object: reports each request as a progress line and
    delegates. Truth value and every other attribute (get_response among them) are the
    wrapped object's, so the services see what they would see without it."""

    def __init__(self, service: Any, progress: Callable[[str], None], report_requests: bool = True) -> None:
        self._service = service
        self._progress = progress
        self._count = 0
        # The answering road reports its own requests; then only failures are said here.
        self._report_requests = report_requests
        self.interrupted = False

    def __bool__(self) -> bool:
        return bool(self._service)

    def __getattr__(self, name: str) -> Any:
        if name.startswith("__") or name in ("_service", "_progress", "_count", "_report_requests"):
            raise AttributeError(name)
        return getattr(self._service, name)

    def run(self, prompt):
        return self._request("understanding the question", self._service.run, prompt)

    def get_response_sync(self, prompt):
        if isinstance(prompt, str) and CORRECTION_PROMPT_MARK in prompt:
            what = f"correction try {prompt.count(chr(10) + 'Attempt #') + 1}"
        else:
            what = "writing SQL"
        return self._request(what, self._service.get_response_sync, prompt)

    def clear_history(self):
        return self._service.clear_history()

    def _request(self, what: str, call: Callable, prompt: Any) -> Any:
        # The services absorb AI failures; once Ctrl-C was pressed every further
        # request stops at once and the command ends after the service returns.
        if self.interrupted:
            raise KeyboardInterrupt
        self._count += 1
        number = self._count
        if self._report_requests:
            self._progress(f"AI request {number}: {what}")
        try:
            return call(prompt)
        except KeyboardInterrupt:
            self.interrupted = True
            raise
        except Exception as exc:
            self._progress(f"AI request {number} failed: {exc}")
            raise

    def check(self) -> None:
        if self.interrupted:
            raise Interrupted


def make_ai(args: argparse.Namespace, progress: Progress, report_requests: bool = True) -> Optional[ReportingAI]:
    if args.ai_url is None and args.model is None:
        return None
    if args.ai_url is None or args.model is None:
        raise UsageError("--ai-url and --model go together")
    try:
        from Corvalt.ai import OpenAIChatService
    except ImportError:
        raise UsageError("this installation of Corvalt has no AI adapter (Corvalt.ai.OpenAIChatService)") from None
    options = {"base_url": args.ai_url, "model": args.model}
    for key in ("api_key_env", "timeout", "max_retries"):
        if getattr(args, key) is not None:
            options[key] = getattr(args, key)
    try:
        service = OpenAIChatService(**options)
    except (ImportError, ValueError, TypeError, KeyError, OSError, RuntimeError) as exc:
        raise UsageError(f"cannot set up the AI service: {exc}") from None
    progress(f"AI service: {args.model} at {args.ai_url}")
    return ReportingAI(service, progress, report_requests)


# --- the services -----------------------------------------------------------------------------


def load_context_service(path: str, args, progress: Progress, ai, database: Optional[str] = None):
    from Corvalt.Atlanor import AtlanorService

    progress(f"loading the metadata document {path}")
    # The lexical mode also matches the question against the database's stored values.
    if args.linking != "lexical":
        database = None
    try:
        with service_output():
            service = AtlanorService(path, verbose=args.verbose, mindloom=ai, linking=args.linking,
                                     database=database)
            progress("building the knowledge graph")
            service.build_graph()
    except LOAD_ERRORS as exc:
        raise load_failure("metadata file", path, exc) from None
    return service


def open_database(path: str, args, ai=None):
    from Corvalt.Quillon import Quillon

    server = server_address(path)
    try:
        with service_output():
            # Verbose for a server: the service then says why it could not connect.
            service = Quillon(path, verbose=args.verbose or server, mindloom=ai,
                              statement_timeout=args.timeout_s, max_rows=args.max_rows,
                              read_only=args.read_only)
            service.verbose = args.verbose
    except LOAD_ERRORS as exc:
        raise load_failure("database", path, exc) from None
    if not service.conn:
        raise UsageError(f"cannot open the database {shown(path)}")
    return service


def get_context(service, question: str, ai, progress: Progress, markdown: bool = False) -> dict:
    with service_output():
        record = service.process_query(question, "markdown" if markdown else "json")
    if ai is not None:
        ai.check()
    linking = record.get("linking")
    if linking and linking.get("match") == "weak":
        tables = ", ".join(t["name"] for t in linking.get("tables", []) if t.get("name")) or "no table"
        progress(f"the question matches the schema only weakly ({tables})")
    elif linking and linking.get("match") == "none":
        progress("the question matches no table of the schema")
    return record


SOURCES = {
    "history": "the same question, answered before",
    "template": "an earlier question's statement with this question's values",
    "ai": "the AI service",
    "corrected_ai": "the AI service, corrected after its first statement failed",
    "fix_log": "a corrected statement from the fix log (data/failed_sql.json)",
}


def describe_source(answer: dict) -> str:
    source = SOURCES.get(answer.get("source"), str(answer.get("source")))
    chosen = next((c for c in answer.get("candidates") or [] if c.get("chosen")), None)
    if chosen and chosen.get("origin"):
        source += f' ("{chosen["origin"]}")'
    return source


def print_candidates(answer: dict) -> None:
    """Every statement considered, when there was more than one, and why one won."""
    candidates = answer.get("candidates") or []
    if len(candidates) < 2:
        return
    print("Candidates:")
    for c in candidates:
        outcome = f"{c['row_count']} rows" if c.get("success") else f"failed: {c.get('error') or 'not run'}"
        print(f"  {'*' if c.get('chosen') else '-'} {c['source']}: {outcome}")
    print(f"Chosen because: {answer.get('reason')}")


def print_suggestions(answer: dict) -> None:
    suggestions = answer.get("suggestions") or {}
    lines = []
    if suggestions.get("tables"):
        lines.append("Tables: " + ", ".join(suggestions["tables"]))
    for question in suggestions.get("questions") or []:
        lines.append(f'Earlier question: "{question}"')
    if suggestions.get("sql"):
        lines.append("A statement to start from (not run):")
        lines += ["  " + line for line in str(suggestions["sql"]).strip().splitlines()]
    if lines:
        print("Suggestions:")
        for line in lines:
            print("  " + line)


# --- saving answered questions ----------------------------------------------------------------


def own_history(args: argparse.Namespace) -> str:
    """The --history file that answered questions are saved to; the bundled sample is
    part of the installation and never written."""
    if args.history is None:
        raise UsageError("saving needs --history FILE, a history file of your own "
                         "(the bundled sample is not written)")
    given = readable_file(os.path.abspath(args.history), "history file")
    path = os.path.realpath(given)
    package = os.fspath(importlib.resources.files("Corvalt"))
    bundled = os.path.join(package, "data", SAMPLE_FILES["history"])
    # The bundled file, or any file inside the package, whichever link leads there
    # (a build's package links its data to the sources').
    inside = any(os.path.commonpath([p, root]) == root
                 for p in (given, path) for root in (package, os.path.realpath(package)))
    if inside or (os.path.exists(bundled) and os.path.samefile(path, bundled)):
        raise UsageError(f"{args.history} is the bundled sample history; save to a history file of your own")
    if not os.access(os.path.dirname(path), os.W_OK) or not os.access(path, os.W_OK):
        raise UsageError(f"cannot write the history file {args.history}")
    return path


def save_answer(answer: dict, path: str) -> bool:
    """Appends the answered question with its statement to the history file `path` when the
    statement ran and returned rows; says on standard error what was done."""
    from Corvalt import history_file

    question = answer.get("question")
    if not answer.get("answered"):
        why = "it has no answer"
    elif not answer.get("row_count"):
        why = "its statement returned no rows"
    elif answer.get("source") == "history":
        why = "it is in the history already"
    else:
        try:
            history_file.append_question(path, question, answer["sql"])
        except history_file.HistoryFileError as exc:
            print(f"corvalt: not saved: {exc}", file=sys.stderr)
            return False
        print(f'corvalt: saved "{question}" to {path}', file=sys.stderr)
        return True
    print(f'corvalt: not saved: "{question}": {why}', file=sys.stderr)
    return False


# --- sub-commands -----------------------------------------------------------------------------


def road_progress(progress: Progress) -> Callable[[str, str], None]:
    """The road's progress callback: each step as a progress line."""

    def step(kind: str, text: str) -> None:
        if kind != "chosen":
            progress(text)

    return step


def make_assistant(args: argparse.Namespace, stack: contextlib.ExitStack, progress: Progress, ai):
    """The answering road over the user's (or the bundled) database, document and history."""
    from Corvalt.Quillon import Assistant

    db = input_path(args, "db", stack)
    metadata = input_path(args, "metadata", stack)
    history = input_path(args, "history", stack)
    progress(f"loading {metadata}, {history} and {shown(db)}")
    try:
        with service_output():
            assistant = Assistant(db, metadata, history, mindloom=ai, linking=args.linking,
                                  statement_timeout=args.timeout_s, max_rows=args.max_rows,
                                  read_only=args.read_only, verbose=args.verbose)
        if assistant.write_warning:
            print(f"corvalt: warning: {assistant.write_warning}", file=sys.stderr)
        return assistant
    except LOAD_ERRORS as exc:
        # Say which file: the one that does not read as JSON, else the database.
        for what, path in (("metadata file", metadata), ("history file", history)):
            try:
                with open(path, "rb") as f:
                    json.load(f)
            except (ValueError, OSError):
                raise load_failure(what, path, exc) from None
        raise load_failure("database", db, exc) from None


def print_answer(answer: dict, args: argparse.Namespace) -> int:
    """An answer as `ask` and `chat` print it; returns the exit status (0 answer, 1 none,
    3 an answer found offline because the AI service did not answer).

    Reads args.json, args.rows and args.quiet; args.show_sql (default true) and
    args.json_lines (one line per answer, default false) where given."""
    if args.json:
        print_json(answer, indent=None if getattr(args, "json_lines", False) else 2)
        return 0 if answer.get("answered") else 1
    if answer.get("linking") in ("weak", "none"):
        tables = ", ".join(answer.get("suggestions", {}).get("tables") or []) or "no table"
        Progress(args.quiet)(f"the question matches the schema "
                             f"{'only weakly' if answer['linking'] == 'weak' else 'not at all'} ({tables})")
    if not answer.get("answered"):
        reason = answer.get("reason") or "no statement"
        if answer.get("error"):
            reason += f" ({answer['error']})"
        if reason.startswith("no answer without an AI service"):
            reason += " (see --ai-url)"
        print(f"corvalt: no answer: {reason}", file=sys.stderr)
        print_suggestions(answer)
        return 1

    offline = bool(answer.get("error")) and answer.get("source") in ("history", "template")
    if offline:
        print(f"corvalt: the AI service did not answer ({answer['error']}); the answer below comes "
              f"from {describe_source(answer)}", file=sys.stderr)
    print(f"Source: {describe_source(answer)}")
    if getattr(args, "show_sql", True):
        print("SQL:")
        for line in str(answer["sql"]).strip().splitlines():
            print("  " + line)
    print_rows({"results": answer["rows"], "row_count": answer["row_count"], "columns": answer["columns"]},
               args.rows)
    summary = str(answer.get("summary") or "").strip()
    if summary:
        print("Summary:")
        for line in summary.splitlines():
            print(("  " + line).rstrip())
    print_candidates(answer)
    return ANSWERED_OFFLINE if offline else 0


def cmd_ask(args: argparse.Namespace) -> int:
    progress = Progress(args.quiet)
    question = args.question.strip()
    if not question:
        raise UsageError("the question is empty")
    with contextlib.ExitStack() as stack:
        save_to = own_history(args) if args.save else None
        ai = make_ai(args, progress, report_requests=False)
        assistant = make_assistant(args, stack, progress, ai)
        with service_output():
            answer = assistant.ask(question, args.previous_sql, progress=road_progress(progress))
        if ai is not None:
            ai.check()
    status = print_answer(answer, args)
    if save_to is not None:
        save_answer(answer, save_to)
    return status


# --- chat -------------------------------------------------------------------------------------

PROMPT = "corvalt> "
LINE_HISTORY = "~/.corvalt_history"
CHAT_MESSAGES = 20  # conversation turns kept for follow-ups (questions and answers)
CHAT_HELP = """\
Ask a question in plain language; a follow-up ("which of those are critical?") refers to
the answer before it. Commands:
  :sql      show or hide the SQL of each answer
  :json     print each answer as one line of JSON, or as text again
  :context  how the last question matched the schema and its tables
  :save     save the last answered question with its statement to the --history file
  :help     this text
  exit      end the session (also quit, or Ctrl-D)
Ctrl-C stops the question being answered; the session goes on."""


def start_line_editing() -> Callable[[], None]:
    """Line editing and a line history kept in ~/.corvalt_history, where readline exists;
    returns what saves the line history at the end."""
    try:
        import readline
    except ImportError:
        return lambda: None
    path = os.path.expanduser(LINE_HISTORY)
    with contextlib.suppress(OSError):
        readline.read_history_file(path)
    readline.set_history_length(1000)

    def save() -> None:
        with contextlib.suppress(OSError):
            readline.write_history_file(path)

    return save


def read_line(interactive: bool) -> Optional[str]:
    """The session's next input line, None at the end: typed at the prompt (Ctrl-C there
    gives an empty line, Ctrl-D ends) or read from standard input without a prompt."""
    if not interactive:
        line = sys.stdin.readline()
        return line.strip() if line else None
    try:
        return input(PROMPT).strip()
    except KeyboardInterrupt:
        print()
        return ""
    except EOFError:
        print()
        return None


class ChatSession:
    """One conversation: the answering road with the statement and turns before each question."""

    def __init__(self, assistant, ai: Optional[ReportingAI], args: argparse.Namespace,
                 progress: Progress) -> None:
        from Corvalt.ai import ChatMessage

        self.assistant, self.ai, self.progress = assistant, ai, progress
        self.message = ChatMessage
        self.view = argparse.Namespace(json=args.json, rows=args.rows, quiet=args.quiet,
                                       show_sql=True, json_lines=True)
        self.args = args
        self.previous_sql: Optional[str] = None
        self.messages: list = []
        self.last: Optional[dict] = None           # the last answer
        self.last_answered: Optional[dict] = None  # the last answer with a statement
        self.saved: Optional[dict] = None

    def handle(self, line: str) -> bool:
        """Answers a question or runs a command; false when the session ends."""
        if not line:
            return True
        if line in ("exit", "quit"):
            return False
        if line.startswith(":"):
            self.command(line)
        else:
            self.ask(line)
        return True

    def ask(self, question: str) -> None:
        if self.ai is not None:
            self.ai.interrupted = False
        with service_output():
            answer = self.assistant.ask(question, self.previous_sql, list(self.messages),
                                        progress=road_progress(self.progress))
        if self.ai is not None:
            self.ai.check()
        print_answer(answer, self.view)
        self.last = answer
        if answer.get("answered"):
            self.previous_sql = answer["sql"]
            self.last_answered = answer
            reply = f"{answer['sql']}\n({answer['row_count']} rows)"
        else:
            reply = f"No answer: {answer.get('reason') or 'no statement'}"
        self.messages += [self.message(content=question, is_user=True),
                          self.message(content=reply, is_user=False)]
        del self.messages[:-CHAT_MESSAGES]

    def command(self, line: str) -> None:
        name = line.split()[0].lower()
        if name == ":help":
            print(CHAT_HELP)
        elif name == ":sql":
            self.view.show_sql = not self.view.show_sql
            print(f"SQL {'shown' if self.view.show_sql else 'hidden'}")
        elif name == ":json":
            self.view.json = not self.view.json
            print(f"JSON output {'on' if self.view.json else 'off'}")
        elif name == ":context":
            self.show_context()
        elif name == ":save":
            self.save()
        else:
            print(f"corvalt: unknown command {name} (:help lists the commands)", file=sys.stderr)

    def show_context(self) -> None:
        if self.last is None:
            print("No question asked yet.")
            return
        tables = (self.last.get("suggestions") or {}).get("tables") or []
        print(f'Question: {self.last.get("question")}')
        print(f'Linking: {self.last.get("linking")}')
        print("Tables: " + (", ".join(tables) if tables else "none"))
        if self.previous_sql:
            print("Follow-ups refer to:")
            for line in self.previous_sql.strip().splitlines():
                print("  " + line)

    def save(self) -> None:
        try:
            path = own_history(self.args)
        except UsageError as exc:
            print(f"corvalt: not saved: {exc}", file=sys.stderr)
            return
        if self.last_answered is None:
            print("corvalt: not saved: no question has been answered yet", file=sys.stderr)
        elif self.last_answered is self.saved:
            print(f'corvalt: not saved: "{self.saved["question"]}" is saved already', file=sys.stderr)
        elif save_answer(self.last_answered, path):
            self.saved = self.last_answered


def cmd_chat(args: argparse.Namespace) -> int:
    progress = Progress(args.quiet)
    interactive = sys.stdin.isatty()
    with contextlib.ExitStack() as stack:
        ai = make_ai(args, progress, report_requests=False)
        session = ChatSession(make_assistant(args, stack, progress, ai), ai, args, progress)
        if interactive:
            stack.callback(start_line_editing())
            print('Ask a question about the schedule; :help lists the commands, "exit" ends.')
        while True:
            try:
                line = read_line(interactive)
                if line is None or not session.handle(line):
                    break
                sys.stdout.flush()  # each answer whole before the next question is read
            except (KeyboardInterrupt, Interrupted):
                # At a terminal Ctrl-C stops this question only; from a pipe it ends the session.
                if not interactive:
                    raise
                print("\ncorvalt: interrupted", file=sys.stderr)
    return 0


def cmd_context(args: argparse.Namespace) -> int:
    progress = Progress(args.quiet)
    with contextlib.ExitStack() as stack:
        metadata = input_path(args, "metadata", stack)
        db = input_path(args, "db", stack)
        ai = make_ai(args, progress)
        service = load_context_service(metadata, args, progress, ai, database=db)
        progress("reading the question against the schema")
        record = get_context(service, args.question, ai, progress, markdown=args.markdown)
    if args.markdown:
        print(record.get("markdown", ""))
    else:
        print_json(record)
    return 0


class RowWriter:
    """The rows of `corvalt sql` as they come, never all held: the first --rows for the
    table, or every row as JSON or CSV straight to standard output (the core writes
    each batch's text)."""

    def __init__(self, args: argparse.Namespace, statement: str) -> None:
        self.args, self.statement = args, statement
        self.names: Optional[list[str]] = None
        self.first: list = []
        self.count = 0
        self.wrote_rows = False
        self.as_text = "json" if args.json else "csv" if args.csv else None
        # Made before the services' own lines are sent to standard error.
        self.out = sys.stdout

    def __call__(self, columns: list, batch: Any) -> None:
        if self.names is None:
            # Every column, named uniquely where the statement repeats a name.
            self.names = unique_names(columns)
            if self.args.json:
                self.out.write('{\n  "sql": ' + json.dumps(self.statement) + ',\n  "columns": '
                               + json.dumps(self.names) + ',\n  "results": [')
            elif self.args.csv:
                import csv

                csv.writer(self.out, lineterminator="\n").writerow(self.names)
        if self.args.json:
            # One line per batch: its rows as objects, separated by ", ".
            if batch:
                self.out.write((",\n    " if self.wrote_rows else "\n    ") + batch)
                self.wrote_rows = True
            return
        if self.args.csv:
            self.out.write(batch)
            return
        if len(self.first) < self.args.rows:
            self.first.extend(batch[: self.args.rows - len(self.first)])
        self.count += len(batch)

    def finish(self, record: dict) -> None:
        """Closes the JSON document with the outcome (a failure after some rows too)."""
        if not self.args.json:
            return
        if self.names is None:
            print_json(record)
            return
        tail = {k: v for k, v in record.items() if k not in ("sql", "columns", "rows", "results")}
        self.out.write("\n  ],\n" + ",\n".join(
            f"  {json.dumps(k)}: {json.dumps(to_json_value(v), ensure_ascii=True, allow_nan=False)}"
            for k, v in tail.items()) + "\n}\n")


def cmd_sql(args: argparse.Namespace) -> int:
    if args.json and args.csv:
        raise UsageError("--json and --csv go one at a time")
    with contextlib.ExitStack() as stack:
        db = input_path(args, "db", stack)
        quillon = open_database(db, args)
        Progress(args.quiet)("running the statement")
        writer = RowWriter(args, args.statement)
        with service_output():
            record = quillon.run_rows(args.statement, on_rows=writer, as_text=writer.as_text)
    writer.finish(record)
    if record.get("success") is True and not (args.json or args.csv):
        print_rows({"results": writer.first, "row_count": record.get("row_count", writer.count),
                    "columns": writer.names or record.get("columns") or []}, args.rows)
    if record.get("success") is not True:
        if not args.json:
            print(f"corvalt: not run: {record.get('execution_error', 'unknown error')}", file=sys.stderr)
        return 1
    return 0


def cmd_profile(args: argparse.Namespace) -> int:
    from Corvalt.Atlanor import profile_metadata

    progress = Progress(args.quiet)
    out = os.path.abspath(args.out)
    folder = os.path.dirname(out)
    if os.path.isdir(out) or not os.path.isdir(folder) or not os.access(folder, os.W_OK):
        raise UsageError(f"cannot write {args.out}")
    with contextlib.ExitStack() as stack:
        db = input_path(args, "db", stack)
        metadata = input_path(args, "metadata", stack)
        if os.path.exists(out) and os.path.samefile(out, metadata) and not args.replace:
            raise UsageError("--out is the metadata document itself; add --replace to overwrite it")
        progress(f"profiling the columns of {metadata} against {db}")
        try:
            document = profile_metadata(metadata, db)
        except LOAD_ERRORS as exc:
            raise load_failure("metadata file", metadata, exc) from None
        except RuntimeError as exc:
            raise load_failure("database", db, exc) from None
    # A finished file replaces the old one whole: never a torn document.
    fd, temp = tempfile.mkstemp(prefix=".corvalt-profile-", suffix=".json", dir=folder)
    try:
        with os.fdopen(fd, "w", encoding="utf-8") as f:
            json.dump(document, f, indent=2, ensure_ascii=True)
            f.flush()
            os.fsync(f.fileno())
        os.replace(temp, out)
    except BaseException:
        with contextlib.suppress(OSError):
            os.unlink(temp)
        raise
    progress(f"wrote {args.out}")
    return 0


def cmd_load_sample(args: argparse.Namespace) -> int:
    from Corvalt.Quillon import copy_sqlite_to_postgres

    if not server_address(args.target):
        raise UsageError(f"not a PostgreSQL address: {shown(args.target)} "
                         "(postgresql://user@host:5432/dbname or key=value)")
    with contextlib.ExitStack() as stack:
        db = input_path(args, "db", stack)
        if server_address(db):
            raise UsageError("--db must be an SQLite file here")
        Progress(args.quiet)(f"copying {db} into {shown(args.target)}")
        try:
            counts = copy_sqlite_to_postgres(db, args.target, replace=args.replace)
        except RuntimeError as exc:  # the server's reason; nothing was loaded
            print(f"corvalt: not loaded: {exc}", file=sys.stderr)
            return 1
    for table, rows in counts:
        print(f"{table}: {rows} rows")
    return 0


def cmd_demo(args: argparse.Namespace) -> int:
    from Corvalt import Atlanor

    # The demonstration reads src/data/ or data/enriched_project_metadata_cleaned.json
    # relative to the working directory; where neither is, run it beside the
    # bundled sample (the package holds data/).
    name = SAMPLE_FILES["metadata"]
    with contextlib.ExitStack() as stack:
        if not any(os.path.isfile(os.path.join(d, name)) for d in ("src/data", "data")):
            package = importlib.resources.files("Corvalt")
            os.chdir(stack.enter_context(importlib.resources.as_file(package)))
        Atlanor.main()
    return 0


def cmd_eval(args: argparse.Namespace) -> int:
    from Corvalt import evaluation

    progress = Progress(args.quiet)
    try:
        from Corvalt import Assistant
    except ImportError:
        raise UsageError("this installation has no answering road (Corvalt.Assistant)") from None
    try:
        questions = evaluation.read_questions(args.questions)
    except evaluation.InputError as exc:
        raise UsageError(str(exc)) from None
    check_eval_outputs(args)
    with contextlib.ExitStack() as stack:
        db = input_path(args, "db", stack)
        metadata = input_path(args, "metadata", stack)
        history = None if args.no_history else input_path(args, "history", stack)
        progress(f"running the gold statements of {len(questions)} questions")
        try:
            gold = evaluation.gold_results(db, questions)
        except evaluation.InputError as exc:
            raise UsageError(str(exc)) from None
        ai = make_ai(args, progress)
        progress("setting up the answering road")
        try:
            with service_output():
                assistant = Assistant(db, metadata, history, mindloom=ai, linking=args.linking,
                                      statement_timeout=args.statement_timeout)
        except LOAD_ERRORS as exc:
            raise UsageError(f"cannot set up the answering road: {exc}") from None

        def ask(question, previous_sql=None, chat_history=None):
            answer = assistant.ask(question, previous_sql=previous_sql, chat_history=chat_history)
            # Ctrl-C during an AI request: the road may absorb it; stop the whole run.
            if ai is not None and ai.interrupted:
                raise KeyboardInterrupt
            return answer

        with service_output():
            outcomes = evaluation.evaluate(argparse.Namespace(ask=ask), questions, db, gold=gold,
                                           progress=progress)

    print(evaluation.report_text(outcomes, show=args.show))
    if args.json:
        evaluation.write_json(args.json, outcomes, args.questions, shown(db))
        print(f"outcomes: {args.json}")
    if args.report:
        pyplot = evaluation.load_pyplot()
        markdown, _ = evaluation.write_report(args.report, outcomes, args.questions, shown(db), pyplot)
        print(f"report: {markdown}")
        if pyplot is None:
            print("corvalt: the chart eval_report.png needs matplotlib (pip install matplotlib); "
                  "the report has the tables only", file=sys.stderr)
    return 0


def check_eval_outputs(args: argparse.Namespace) -> None:
    """Fails before any question is asked when --report or --json cannot be written."""
    if args.report:
        try:
            os.makedirs(args.report, exist_ok=True)
        except OSError as exc:
            raise UsageError(f"cannot make the report directory {args.report}: {exc.strerror or exc}") from None
        if not os.access(args.report, os.W_OK):
            raise UsageError(f"cannot write in the report directory {args.report}")
    if args.json:
        folder = os.path.dirname(os.path.abspath(args.json))
        if os.path.isdir(args.json) or not os.path.isdir(folder) or not os.access(folder, os.W_OK):
            raise UsageError(f"cannot write the outcome file {args.json}")


# --- the parser -------------------------------------------------------------------------------


class Parser(argparse.ArgumentParser):
    def error(self, message: str):
        self.exit(2, f"corvalt: error: {message}\n")


def non_negative(text: str) -> int:
    try:
        value = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"not a whole number: {text!r}") from None
    if value < 0:
        raise argparse.ArgumentTypeError(f"must be 0 or more: {text}")
    return value


def positive_int(text: str) -> int:
    value = non_negative(text)
    if value == 0:
        raise argparse.ArgumentTypeError(f"must be more than 0: {text}")
    return value


def positive_float(text: str) -> float:
    try:
        value = float(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"not a number: {text!r}") from None
    if not value > 0 or not math.isfinite(value):
        raise argparse.ArgumentTypeError(f"must be more than 0: {text}")
    return value


def add_common(parser: argparse.ArgumentParser, suppress: bool) -> None:
    # Accepted before and after the sub-command; the sub-command's copies leave the
    # values alone unless given (SUPPRESS), so `corvalt -q ask ...` works too.
    default = argparse.SUPPRESS if suppress else False
    parser.add_argument("-q", "--quiet", action="store_true", default=default,
                        help="no progress lines on standard error")
    parser.add_argument("-v", "--verbose", action="store_true", default=default,
                        help="also show the services' own messages (on standard error)")


def add_inputs(parser: argparse.ArgumentParser, *keys: str) -> None:
    helps = {
        "db": ("--db", "SQLite database file to query, opened read-only (default: the bundled sample "
                       "project_schedule.db; it must exist), or a PostgreSQL server as a libpq URI "
                       "(postgresql://user@host:5432/dbname) or key=value string; the password comes from "
                       "the URI, PGPASSWORD or ~/.pgpass and is never shown"),
        "metadata": ("--metadata", "JSON metadata document describing the database (default: the bundled "
                                   "enriched_project_metadata_cleaned.json)"),
        "history": ("--history", "JSON history of earlier questions with their SQL, an enriched_queries "
                                 "list (default: the bundled query_history.json)"),
    }
    for key in keys:
        flag, text = helps[key]
        parser.add_argument(flag, dest=key, metavar="FILE", help=text)


def add_ai(parser: argparse.ArgumentParser) -> None:
    group = parser.add_argument_group(
        "AI service", "an OpenAI-compatible chat service (Corvalt.ai.OpenAIChatService; needs the "
                      "openai package); without it no AI request is made")
    group.add_argument("--ai-url", metavar="URL", help="base URL of the service, e.g. http://127.0.0.1:8000/v1")
    group.add_argument("--model", metavar="NAME", help="model name to ask; required with --ai-url")
    group.add_argument("--api-key-env", metavar="VAR",
                       help="name of the environment variable that holds the API key")
    group.add_argument("--timeout", type=positive_float, metavar="SECONDS",
                       help="time limit of one AI request (default: the adapter's)")
    group.add_argument("--max-retries", type=non_negative, metavar="N",
                       help="retries of a failed AI request (default: the adapter's)")


def add_linking(parser: argparse.ArgumentParser) -> None:
    parser.add_argument("--linking", choices=("lexical", "keyword"), default="lexical",
                        help="how the question's tables are found: lexical (default; stemmed words "
                             "scored against the schema, join tables added, the record says how well "
                             "they matched) or keyword (the schema service's keyword search)")


def add_output(parser: argparse.ArgumentParser, what: str) -> None:
    parser.add_argument("--json", action="store_true",
                        help=f"print the whole {what} as one JSON document on standard output instead; "
                             "bytes (BLOB values) are written as hex text, NaN and infinities as null, "
                             "non-ASCII characters as \\u escapes")
    parser.add_argument("--rows", type=non_negative, default=10, metavar="N",
                        help="rows to show in the table (default: 10)")


def add_bounds(parser: argparse.ArgumentParser) -> None:
    from Corvalt.Quillon import DEFAULT_MAX_ROWS, DEFAULT_STATEMENT_TIMEOUT
    group = parser.add_argument_group("statement bounds", "limits of every statement run on the database")
    group.add_argument("--timeout-s", type=positive_float, default=float(DEFAULT_STATEMENT_TIMEOUT),
                       metavar="SECONDS", help="a statement still running after SECONDS stops with an error "
                                               f"(default: {DEFAULT_STATEMENT_TIMEOUT})")
    group.add_argument("--max-rows", type=positive_int, default=DEFAULT_MAX_ROWS, metavar="N",
                       help=f"a statement returning more than N rows stops with an error (default: {DEFAULT_MAX_ROWS})")
    group.add_argument("--read-only", choices=("engine", "words"), default="engine",
                       help="how a statement is judged read-only: engine (default; SQLite proves it "
                            "reads only, so WITH ... SELECT and VALUES run) or words (the guard's "
                            "words: only a statement that begins with SELECT)")


def add_ask_command(commands) -> None:
    ask = commands.add_parser(
        "ask", help="answer a question: where the statement came from, SQL, rows and summary",
        description="Answer QUESTION. With an AI service its statement answers (corrected when it "
                    "fails; a similar earlier question is shown to it as a starting point); the same "
                    "question asked before is the answer when the AI's statement fails or finds "
                    "nothing. Without an AI service only the same earlier question, or an earlier "
                    "question or example whose statement fits once this question's values (numbers, "
                    "dates, names, codes) are put in, answers; otherwise there is no answer (exit "
                    "status 1) and the tables, closest earlier questions and a statement to start "
                    "from are suggested. A statement repaired by the AI service is logged in "
                    "data/failed_sql.json under the working directory and reused for the same question.")
    ask.add_argument("question", metavar="QUESTION", help="the question, in plain language")
    ask.add_argument("--previous-sql", metavar="SQL",
                     help="the statement that answered the question before this one, for a follow-up "
                          "(\"which of those ...\")")
    ask.add_argument("--save", action="store_true",
                     help="when the statement ran and returned rows, add the question with its statement to "
                          "the --history file (your own, not the bundled sample), where later questions find it")
    add_inputs(ask, "db", "metadata", "history")
    add_linking(ask)
    add_output(ask, "answer record")
    add_bounds(ask)
    add_ai(ask)
    add_common(ask, suppress=True)
    ask.set_defaults(handler=cmd_ask)


def add_chat_command(commands) -> None:
    chat = commands.add_parser(
        "chat", help="a conversation: questions and follow-ups at a prompt, or one per line from a pipe",
        description="Answer questions one after another, each with the statement and the turns before it, "
                    "so that a follow-up (\"which of those are critical?\") refers to the answer before. "
                    "At a terminal the prompt is \"corvalt> \" with line editing (history in "
                    "~/.corvalt_history); exit, quit or Ctrl-D ends the session and Ctrl-C stops the "
                    "question being answered. From a pipe each line is a question, answers are printed "
                    "in order and Ctrl-C ends the session. Commands: :sql, :json, :context, :save, :help. "
                    "Each question is answered as `corvalt ask` answers it.",
        epilog="Exit status: 0 at the end of the session, whatever the answers; 2 for a usage error or "
               "unreadable input; 130 when Ctrl-C ends a session read from a pipe.")
    add_inputs(chat, "db", "metadata", "history")
    add_linking(chat)
    add_output(chat, "answer record of each question on one line (JSON Lines)")
    add_bounds(chat)
    add_ai(chat)
    add_common(chat, suppress=True)
    chat.set_defaults(handler=cmd_chat)


def add_context_command(commands) -> None:
    context = commands.add_parser(
        "context", help="print the context record of a question",
        description="Print the context record for QUESTION (tables, columns, concepts, business rules, "
                    "relationships and best-guess SQL) as JSON, or its Markdown rendering. JSON output "
                    "writes bytes as hex text, NaN as null and non-ASCII characters as \\u escapes.")
    context.add_argument("question", metavar="QUESTION", help="the question, in plain language")
    context.add_argument("--markdown", action="store_true", help="print the Markdown rendering instead of JSON")
    add_inputs(context, "db", "metadata")
    add_linking(context)
    add_ai(context)
    add_common(context, suppress=True)
    context.set_defaults(handler=cmd_context)


def add_sql_command(commands) -> None:
    sql = commands.add_parser(
        "sql", help="run one read-only statement",
        description="Run STATEMENT, proved read-only (see --read-only); anything else is refused "
                    "with the reason (exit status 1). --json and --csv write the rows as they come, "
                    "so a large result is never held whole; the table shows the first --rows rows "
                    "and says how many there are.")
    sql.add_argument("statement", metavar="STATEMENT", help="one SQL statement")
    add_inputs(sql, "db")
    add_output(sql, "query record")
    sql.add_argument("--csv", action="store_true",
                     help="write the rows as CSV (a header line of column names, then one line per row; "
                          "NULL as an empty field, bytes as hex) on standard output instead")
    add_bounds(sql)
    add_common(sql, suppress=True)
    sql.set_defaults(handler=cmd_sql)


def add_eval_command(commands) -> None:
    evaluate = commands.add_parser(
        "eval", help="measure how often the answering road answers a question file right",
        description="Ask every question of QUESTIONS (a JSON list of records with question, gold_sql and "
                    "optionally difficulty, answerable and previous_sql) and compare each answer's rows "
                    "with the gold statement's rows on the database: right by set (the same set of rows), "
                    "multiset (the same rows as often, and in the same order where the gold statement "
                    "orders them) and relaxed (extra answer columns and any column order allowed). "
                    "A question marked answerable: false is right when it is not answered. Prints the "
                    "share answered, right and precision over all questions, per difficulty and per "
                    "source of the answer, and AI requests per question.",
        epilog="Exit status: 0 when the evaluation ran, whatever the accuracy; 2 for a usage error, an "
               "unreadable question file or a gold statement that does not run.")
    evaluate.add_argument("questions", metavar="QUESTIONS", help="the question file (JSON)")
    add_inputs(evaluate, "db", "metadata", "history")
    evaluate.add_argument("--no-history", action="store_true",
                          help="answer without the history of earlier questions")
    add_linking(evaluate)
    from Corvalt.Quillon import DEFAULT_STATEMENT_TIMEOUT
    evaluate.add_argument("--statement-timeout", type=positive_float, default=float(DEFAULT_STATEMENT_TIMEOUT),
                          metavar="SECONDS",
                          help=f"time limit of one statement the road runs (default: {DEFAULT_STATEMENT_TIMEOUT})")
    evaluate.add_argument("--show", action="store_true",
                          help="also list every question with the answer's source, the verdict and the SQL")
    evaluate.add_argument("--report", metavar="DIR",
                          help="also write DIR/eval_report.md with the tables and the bar chart "
                               "DIR/eval_report.png (the chart needs matplotlib)")
    evaluate.add_argument("--json", metavar="FILE", help="write every question's outcome to FILE as JSON")
    add_ai(evaluate)
    add_common(evaluate, suppress=True)
    evaluate.set_defaults(handler=cmd_eval)


def add_profile_command(commands) -> None:
    profile = commands.add_parser(
        "profile", help="write a copy of the metadata document with column statistics from the data",
        description="Compute each column's statistics from the database (null and distinct counts, "
                    "min, max, the mean of numbers, and the most frequent values of text columns with "
                    "at most 50 of them) and write the metadata document with them to OUT; everything "
                    "else in the document is unchanged. The lexical mode uses the top values to match "
                    "a question's words when it is not given the database.")
    add_inputs(profile, "db", "metadata")
    profile.add_argument("--out", required=True, metavar="OUT", help="where to write the profiled document")
    profile.add_argument("--replace", action="store_true", help="allow OUT to be the metadata document itself")
    add_common(profile, suppress=True)
    profile.set_defaults(handler=cmd_profile)


def add_load_sample_command(commands) -> None:
    load = commands.add_parser(
        "load-sample", help="copy the bundled sample (or --db) into a PostgreSQL database",
        description="Copy every table of the bundled sample database (or of the SQLite file --db) into "
                    "the PostgreSQL database TARGET, in one transaction, so that ask, chat, sql and eval "
                    "can use --db TARGET. Needs a role that can create tables there; answering needs "
                    "only one that can read.")
    load.add_argument("target", metavar="TARGET",
                      help="the PostgreSQL database: postgresql://user@host:5432/dbname or key=value")
    add_inputs(load, "db")
    load.add_argument("--replace", action="store_true",
                      help="drop tables of the same names first (otherwise an existing table is an error)")
    add_common(load, suppress=True)
    load.set_defaults(handler=cmd_load_sample)


def add_demo_command(commands) -> None:
    demo = commands.add_parser(
        "demo", help="run the schema service's demonstration on the bundled metadata",
        description="Run the schema service's demonstration (Corvalt.Atlanor.main): it reads "
                    "src/data/ or data/enriched_project_metadata_cleaned.json in the working "
                    "directory, or else the bundled sample.")
    add_common(demo, suppress=True)
    demo.set_defaults(handler=cmd_demo)


def build_parser() -> Parser:
    parser = Parser(
        prog="corvalt",
        description="Answer questions about a project-scheduling database in plain language. "
                    "Without --db, --metadata and --history the bundled sample data is used.",
        epilog="`python -m Corvalt` is the same command. Exit status: 0 answer, 1 no answer (no SQL, or "
               "the statement failed or was refused), 2 usage error or unreadable input, 3 an answer "
               "found without the AI service because it did not answer, 130 interrupted "
               "(Ctrl-C). Progress lines go to standard error.")
    add_common(parser, suppress=False)
    commands = parser.add_subparsers(dest="command", metavar="COMMAND", required=True)
    for add_command in (add_ask_command, add_chat_command, add_context_command, add_sql_command,
                        add_eval_command, add_profile_command, add_load_sample_command, add_demo_command):
        add_command(commands)
    importlib.import_module("Corvalt.mcp_server").add_parser(commands)
    return parser


def main(argv: Optional[list[str]] = None) -> int:
    args = build_parser().parse_args(argv)
    try:
        return args.handler(args)
    except UsageError as exc:
        print(f"corvalt: error: {exc}", file=sys.stderr)
        return 2
    except (KeyboardInterrupt, Interrupted):
        print("corvalt: interrupted", file=sys.stderr)
        return 130
    except BrokenPipeError:
        # The reader went away (`corvalt ... | head`): nothing more to say.
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, sys.stdout.fileno())
        return 1
