"""
SQL answering service: AI generation and correction, guarded execution on SQLite or PostgreSQL, comparison with history, explorations, result summaries, fix log.
"""

from collections.abc import Callable
from typing import Any, Literal, TypeAlias

from Corvalt.errors import NodeNotFound as NodeNotFound


Record: TypeAlias = dict[str, Any]

DEFAULT_STATEMENT_TIMEOUT: int = 60

DEFAULT_MAX_ROWS: int = 1000000

class Connection:
    """
    The service's database connection (SQLite or PostgreSQL); true while it is open.
    """

    def __bool__(self) -> bool: ...

    def close(self) -> None:
        """
        Close the connection (a statement running on another thread ends first).
        """

    @property
    def database_path(self, /) -> str | None:
        """The path the connection was opened on."""

    def __repr__(self) -> str: ...

class Quillon:
    """
    Class for building and testing SQL queries using AI and historical data.
    """

    def __init__(self, database_path: str | None = None, verbose: Any = False, mindloom: Any = None, *, statement_timeout: float | None = 60, max_rows: int | None = 1000000, read_only: str = 'words') -> None:
        """
        Open the database at `database_path` for read-only answering: an SQLite file (when it exists) or a PostgreSQL server (a postgresql:// URI or libpq key=value string).

        Every statement the service runs stops with an execution error after `statement_timeout` seconds or past `max_rows` result rows (None: no limit). `read_only` is how test_query decides a statement only reads (see the read_only property).
        """

    @property
    def read_only(self, /) -> str:
        """
        'words' (the default): a statement runs when it begins with SELECT and holds none of the guard's words (DELETE, DROP, UPDATE, ...). 'engine': it runs when SQLite compiles it as one read-only query that only reads tables and calls functions, which also admits WITH ... SELECT, VALUES and comments and refuses every write, pragma, attach and transaction statement.
        """

    @read_only.setter
    def read_only(self, value: str, /) -> None: ...

    @property
    def statement_timeout(self, /) -> float | None:
        """Seconds a statement may run before it fails (None: no limit)."""

    @statement_timeout.setter
    def statement_timeout(self, value: float | None, /) -> None: ...

    @property
    def max_rows(self, /) -> int | None:
        """
        Most result rows a statement may yield before it fails (None: no limit).
        """

    @max_rows.setter
    def max_rows(self, value: int | None, /) -> None: ...

    @property
    def verbose(self, /) -> Any:
        """As passed; messages are printed while it is true."""

    @verbose.setter
    def verbose(self, value: Any, /) -> None: ...

    @property
    def mindloom(self, /) -> Any:
        """
        The AI service object: clear_history() and get_response_sync(prompt) are called.
        """

    @mindloom.setter
    def mindloom(self, value: Any, /) -> None: ...

    @property
    def database_path(self, /) -> str | None:
        """Path of the SQLite database file."""

    @database_path.setter
    def database_path(self, value: str | None, /) -> None: ...

    @property
    def conn(self, /) -> Connection | None:
        """The open connection, or None."""

    @conn.setter
    def conn(self, value: Connection | None, /) -> None: ...

    def connect_database(self, database_path: str) -> bool:
        """Connect to the SQLite database at `database_path`."""

    def close_connection(self) -> None:
        """Close the database connection."""

    def _validate_safe_sql(self, sql: str) -> str | None:
        """
        None when `sql` is a read-only SELECT that may run, else the refusal text.
        """

    def test_query(self, query: Record) -> Record:
        """Run the query record's `sql` and record the outcome in that same dict."""

    def run_rows(self, sql: str, on_rows: Callable[[list[str], Any], Any] | None = None, *, as_text: Literal['json', 'csv'] | None = None) -> Record:
        """
        Run `sql` as test_query does and return its outcome (sql, success, execution_error or row_count, column_count, columns, summary) with `rows`: a list of tuples in column order, so a repeated column name keeps every value. With `on_rows`, the rows are handed to on_rows(columns, batch) while the statement runs instead, and not kept; what it raises stops the statement and reaches the caller. With `as_text`, each batch is a str instead: 'json' gives the rows as objects under the columns named uniquely (status, status_2, ...), separated by ', '; 'csv' gives one line per row, ending in a line break; the columns handed along are then the unique names.
        """

    def _generate_result_summary(self, rows: Any, columns: list[str] | None = None) -> str:
        """Generate a human-readable summary of query results."""

    def _log_corrected_sql(self, question: str, failed_query: Record, working_query: Record) -> None:
        """Append a repaired statement to data/failed_sql.json."""

    def _read_fix_log(self) -> list[Record]:
        """
        The entries of data/failed_sql.json (an empty list when there is none).
        """

    @property
    def _statement_seconds(self, /) -> float:
        """
        Seconds this service's statements ran, summed (for benchmarks; test_query makes its row dicts meanwhile).
        """

    @_statement_seconds.setter
    def _statement_seconds(self, value: float, /) -> None: ...

    @property
    def _fix_log_seconds(self, /) -> float:
        """Seconds spent appending to the fix log, summed (for benchmarks)."""

    @_fix_log_seconds.setter
    def _fix_log_seconds(self, value: float, /) -> None: ...

    def generate_sql(self, question: str, db_context: Record) -> Record:
        """
        Generate SQL based on the natural language question and database context.
        """

    def _create_sql_generation_prompt(self, question: str, db_context: Record) -> str:
        """The prompt that asks the AI service for SQL answering the question."""

    def _extract_sql_from_response(self, response: str) -> str:
        """
        The SQL statement in an AI reply (a fenced block, a SELECT line, or the whole reply).
        """

    def _extract_explanation(self, response: str) -> str:
        """The text after EXPLANATION: in an AI reply, or an empty string."""

    def _clean_text(self, text: str) -> str:
        """Collapse every run of white space to one space and trim the ends."""

    def _explore_database_schema(self) -> list[Record]:
        """Explore the database schema to gather information for SQL correction."""

    def _explore_table_schema(self, table_name: str) -> Record:
        """Explore a specific table's schema and sample data."""

    def _extract_table_names(self, sql: str) -> list[str]:
        """Extract table names from a SQL query."""

    def try_fix_failed_query(self, failed_query: Record, question: str, db_context: Record) -> Record:
        """
        Try to fix a failed SQL query using AI assistance and schema exploration.
        """

    def _create_sql_correction_prompt(self, question: str, original_sql: str, error: str, schema_info: list[Record], previous_attempts: list[Record], db_context: Record) -> str:
        """
        Create a detailed prompt for SQL correction using the database error and schema info.
        """

    def compare_queries(self, historical_query: Record, ai_query: Record, question: str) -> Record:
        """Compare the historical and the AI-generated query and recommend one."""

    def _evaluate_query_relevance(self, query: Record, question: str) -> float:
        """A simple heuristic-based evaluation: relevance score (0-10)."""

    def generate_additional_explorations(self, question: str, main_query: Record, db_context: Record) -> list[Record]:
        """
        Generate and execute additional SQL queries to explore related aspects of the main query.
        """

    def get_best_sql_and_results(self, question: str, db_context: Record, historical_query: Record | None = None) -> Record:
        """
        Get the best SQL query and results for the given question.

        This is the main method to call: it generates SQL with the AI service, runs it, has a failing statement corrected, runs the historical query, compares the two and adds explorations around the best one.
        """

def unique_column_names(columns: list[str]) -> list[str]:
    """
    The column names with each repeat numbered (status, status_2, ...), skipping a name the list has already, so that every column keeps its own place.
    """

class Assistant:
    """
    The three services over one database, metadata document and question history, answering questions through one road: the same earlier question, the AI service's statement (corrected when it fails), or an earlier question's statement refilled with this question's values. Without an AI service a question is answered only by history or a fitting template; otherwise the answer says so and offers suggestions.
    """

    def __init__(self, db: str, metadata: str, history: str | None = None, *, mindloom: Any = None, linking: str = 'lexical', statement_timeout: float | None = 60, max_rows: int | None = 1000000, read_only: str = 'engine', verbose: Any = False) -> None:
        """
        Opens the database `db` (an SQLite file, which must exist, or a PostgreSQL address such as postgresql://user@host/dbname), loads the metadata document and builds its graph, and loads the question history when given. `mindloom` is the AI service object (None: answer offline). Statements are bounded by `statement_timeout` seconds and `max_rows` rows (None: no limit), and run only when `read_only` ('engine': SQLite proves them read-only, WITH ... SELECT admitted; 'words': Quillon's word guard) lets them.
        """

    def ask(self, question: str, previous_sql: str | None = None, chat_history: list | None = None, *, progress: Callable[[str, str], Any] | None = None) -> Record:
        """
        Answers `question` (with the statement of the turn before and the conversation so far, for a follow-up). `progress(kind, text)` is called at each step. Returns the answer record: question, answered, source ('history', 'template', 'ai', 'corrected_ai', 'fix_log' or 'none'), sql, explanation, columns, rows, row_count, summary, reason, candidates, linking, suggestions, ai_requests, error.
        """

    @property
    def mindloom(self, /) -> Any:
        """The AI service object as passed, or None."""

    @property
    def write_warning(self, /) -> str:
        """
        Why the connection can change data (a PostgreSQL role that can write), or ''.
        """

def is_server_target(target: str) -> bool:
    """
    True when `target` names a PostgreSQL server (postgresql:// or postgres:// URI, or libpq's key=value form) rather than an SQLite file.
    """

def masked_target(target: str) -> str:
    """`target` with any password replaced by ***."""

def copy_sqlite_to_postgres(sqlite_path: str, target: str, *, replace: bool = False) -> list[tuple[str, int]]:
    """
    Copy every table of an SQLite file into the PostgreSQL database at `target`, in one transaction; a table that exists already is an error unless `replace`. Returns (table, rows) per table.
    """
