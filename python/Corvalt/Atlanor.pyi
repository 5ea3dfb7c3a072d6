"""
Schema knowledge service: metadata document, knowledge graph, search, context.
"""

from typing import Any, TypeAlias

from Corvalt.errors import NodeNotFound as NodeNotFound


class NodeView:
    """The nodes of a Graph: iterable, sized, indexable by id."""

    def __len__(self) -> int: ...

    def __iter__(self) -> object: ...

    def __contains__(self, arg: object, /) -> bool: ...

    def __getitem__(self, arg: object, /) -> object: ...

    def __call__(self, data: bool = False) -> object: ...

    def data(self) -> list: ...

    def __repr__(self) -> str: ...

class EdgeView:
    """The edges of a Graph as (u, v) pairs in successor order."""

    def __len__(self) -> int: ...

    def __iter__(self) -> object: ...

    def __contains__(self, arg: object, /) -> bool: ...

    def __getitem__(self, arg: object, /) -> object: ...

    def __call__(self, data: bool = False) -> list: ...

    def data(self) -> list: ...

    def __repr__(self) -> str: ...

class Graph:
    """
    A read-only directed graph: nodes in insertion order, successors in edge order, an attribute dict on every node and edge.
    """

    @property
    def nodes(self) -> NodeView: ...

    @property
    def edges(self) -> EdgeView: ...

    def has_node(self, n: object) -> bool: ...

    def has_edge(self, u: object, v: object) -> bool: ...

    def neighbors(self, n: object) -> object: ...

    def successors(self, n: object) -> object: ...

    def get_edge_data(self, u: object, v: object, default: object | None = None) -> object: ...

    def number_of_nodes(self) -> int: ...

    def number_of_edges(self) -> int: ...

    def __len__(self) -> int: ...

    def __contains__(self, arg: object, /) -> bool: ...

    def __iter__(self) -> object: ...

    def __repr__(self) -> str: ...

Record: TypeAlias = dict[str, Any]

class AtlanorService:
    """
    Describes the part of a project-scheduling database that a question touches.
    """

    def __init__(self, metadata_file: str | None = None, verbose: Any = False, mindloom: Any = None, *, linking: str = 'keyword', database: str | None = None) -> None:
        """
        Loads `metadata_file` when it is a non-empty str (FileNotFoundError when it does not exist). `linking` chooses how query processing finds a question's tables: 'keyword' (the keyword search) or 'lexical' (see the linking property). `database`, the SQLite file the document describes, lets the lexical mode match the question against the values stored in its text columns (see the database property).
        """

    @property
    def database(self, /) -> str | None:
        """
        The SQLite database whose stored values the lexical mode matches, or None. It is opened read-only on the first lexical query after the graph is built (or after it changes), its short text values indexed once; a file that cannot be read as a database fails that query with an error.
        """

    @database.setter
    def database(self, value: str | None, /) -> None: ...

    @property
    def linking(self, /) -> str:
        """
        How query processing finds a question's tables: 'keyword', the keyword search, or 'lexical': stemmed words scored against names, descriptions, tags, concepts, terms and examples, the tables that score well and those joining them; the context record then says how well they matched under 'linking'.
        """

    @linking.setter
    def linking(self, value: str, /) -> None: ...

    @property
    def verbose(self, /) -> Any:
        """As passed; messages are printed while it is true."""

    @verbose.setter
    def verbose(self, value: Any, /) -> None: ...

    @property
    def mindloom(self, /) -> Any:
        """
        The AI text service object as passed, or None; a false object means no AI.
        """

    @mindloom.setter
    def mindloom(self, value: Any, /) -> None: ...

    @property
    def metadata(self, /) -> Record | None:
        """
        The metadata document: the dict load_metadata returned or the one assigned, or None.
        """

    @metadata.setter
    def metadata(self, value: Record | None, /) -> None: ...

    @property
    def graph(self, /) -> Graph | None:
        """
        The knowledge graph, or None before build_graph; the same object until rebuilt.
        """

    @graph.setter
    def graph(self, value: Graph | None, /) -> None: ...

    def load_metadata(self, filename: str) -> Record:
        """Load the metadata document at `filename`; returns it as a dict."""

    def build_graph(self, metadata: Record | None = None) -> Graph:
        """
        Build the knowledge graph from `metadata` (default: the loaded document).
        """

    def search_by_keywords(self, keywords: list[str]) -> tuple[list[tuple[str, Record]], dict[str, list[str]]]:
        """
        Score every graph node against `keywords`; returns (results, matches): [(node_id, attributes)] best first and {node_id: [reasons]}.
        """

    def get_related_rules(self, node_id: str) -> list[tuple[str, Any]]:
        """
        Business rules of a column, or of a table's columns: [(rule_id, description)].
        """

    def find_path(self, start_node: str, end_node: str) -> list[str] | None:
        """
        Shortest directed path from `start_node` to `end_node` as a list of ids, or None.
        """

    def generate_output(self, query_text: str, results: list[Any], matches: dict[str, Any], tables: list[str], columns: list[str], concepts: list[str], rules: list[str], sql: str | None = None, all_tables: list[str] | None = None) -> Record:
        """Build the context record for a question from the chosen node ids."""

    def format_as_markdown(self, output_data: Record) -> str:
        """Render a context record as Markdown text."""

    def generate_sql(self, table_nodes: list[str], condition_nodes: list[str] | None = None) -> str:
        """
        A SELECT template joining the given table nodes, with a placeholder test per column.
        """

    def generate_sql_from_nl(self, natural_language_query: str) -> str:
        """Best-guess SQL for a question, from the example queries or the graph."""

    def _get_schema_summary(self) -> Record:
        """Tables, columns and relationships of the loaded document, condensed."""

    def process_query(self, query_text: str, output_format: str = 'json', chat_history: list[Any] | None = None, previous_sql: str | None = None) -> Record:
        """
        Build the context record for a question. With a chat history or a previous SQL statement the question is understood in that light.
        """

    def process_query_with_ai(self, query_text: str, output_format: str = 'json') -> Record:
        """Build the context record for a question understood on its own."""

    def process_query_with_chat_history(self, query_text: str, chat_history: list[Any] | None = None, previous_sql: str | None = None, output_format: str = 'json') -> Record:
        """Build the context record for a question asked within a conversation."""

def main() -> None:
    """
    Load the sample metadata document, build the graph and answer an example question.
    """

def profile_metadata(metadata_file: str, database: str) -> Record:
    """
    The metadata document with each column's statistics computed from the SQLite database (opened read-only): null_count, distinct_count, min, max, avg for numbers, and top_values (most frequent first, each value with its count) for text columns with at most 50 distinct values. Everything else is as the document has it.
    """
