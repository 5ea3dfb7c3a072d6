"""SQL answering service: guarded execution on SQLite, result summaries, fix log."""

from typing import Any, Dict, List, Optional, Sequence, Union

from Corvalt.errors import NodeNotFound as NodeNotFound

Record = Dict[str, Any]

class Connection:
    """The service's SQLite connection; true while it is open.

    Opened read-write like the host's binding (a missing file is created), usable from
    any thread, and unable to change the database: query_only is on, load_extension and
    fts3_tokenizer are refused, and so are ATTACH and DETACH.
    """

    def __bool__(self) -> bool: ...
    def close(self) -> None: ...
    @property
    def database_path(self) -> str: ...

class Quillon:
    """Class for building and testing SQL queries using AI and historical data."""

    verbose: Any
    """As passed; messages are printed when it is true."""
    mindloom: Any
    """The AI text service object, or None."""
    database_path: Optional[str]
    conn: Optional[Connection]
    """The open connection's object (the same object on every read), or None."""

    def __init__(
        self, database_path: Optional[str] = None, verbose: Any = False, mindloom: Any = None
    ) -> None: ...
    def connect_database(self, database_path: str) -> bool: ...
    def close_connection(self) -> None: ...
    def _validate_safe_sql(self, sql: str) -> Optional[str]:
        """None when `sql` may run, else the refusal text."""
    def test_query(self, query: Record) -> Record:
        """Runs query["sql"] and writes success, execution_error, row_count, column_count,
        columns, results and summary into that same dict, which it returns.

        Rows carry SQLite's own values: int, float, str, None, bytes."""
    def _generate_result_summary(
        self, rows: Union[List[Record], List[Sequence[Any]], Any], columns: Optional[List[str]] = None
    ) -> str:
        """Summary text of a result table: row dicts (columns default to the first row's
        keys), row sequences with `columns`, or a data frame."""
    def _log_corrected_sql(self, question: str, failed_query: Record, working_query: Record) -> None:
        """Appends {question, failed_sql, error, working_sql} to data/failed_sql.json
        (relative to the working directory). Never raises; failures are printed when verbose."""
    def _read_fix_log(self) -> List[Record]:
        """The entries of data/failed_sql.json; an empty list when there is none."""
