"""Question history: load earlier questions and find a strong match."""

from typing import Any, Dict, Iterator, List, Optional, Tuple, TypedDict, overload

from Corvalt.errors import NodeNotFound as NodeNotFound

Record = Dict[str, Any]

class StrongMatch(TypedDict):
    """The entry's own values; absent keys give '' (and [] for domain_concepts)."""

    question: Any
    sql: Any
    complexity_description: Any
    domain_concepts: Any

class NodeView:
    def __len__(self) -> int: ...
    def __iter__(self) -> Iterator[str]: ...
    def __contains__(self, node: object) -> bool: ...
    def __getitem__(self, node: str) -> Record: ...
    @overload
    def __call__(self) -> List[str]: ...
    @overload
    def __call__(self, data: bool) -> List[Any]: ...
    def data(self) -> List[Tuple[str, Record]]: ...

class EdgeView:
    def __len__(self) -> int: ...
    def __iter__(self) -> Iterator[Tuple[str, str]]: ...
    def __contains__(self, edge: object) -> bool: ...
    def __getitem__(self, edge: Tuple[str, str]) -> Record: ...
    def __call__(self, data: bool = False) -> List[Any]: ...
    def data(self) -> List[Tuple[str, str, Record]]: ...

class Graph:
    """A read-only directed graph: nodes in insertion order, successors in edge order.

    The history graph has no edges; node "query:{i}" carries `text`, `variations` and
    `timestamp` of entry i."""

    @property
    def nodes(self) -> NodeView: ...
    @property
    def edges(self) -> EdgeView: ...
    def has_node(self, n: str) -> bool: ...
    def has_edge(self, u: str, v: str) -> bool: ...
    def neighbors(self, n: str) -> Iterator[str]: ...
    def successors(self, n: str) -> Iterator[str]: ...
    def get_edge_data(self, u: str, v: str, default: Any = None) -> Optional[Record]: ...
    def number_of_nodes(self) -> int: ...
    def number_of_edges(self) -> int: ...
    def __len__(self) -> int: ...
    def __contains__(self, n: object) -> bool: ...
    def __iter__(self) -> Iterator[str]: ...

class EchovaneService:
    """Recognises a question that was asked before, from a history of earlier questions
    and their SQL (the `enriched_queries` list of a JSON file)."""

    @property
    def graph(self) -> Optional[Graph]:
        """The history graph, or None before loading; the same object until reloaded."""
    @property
    def queries(self) -> Optional[List[Record]]:
        """The loaded entries, or None before loading; the same list until reloaded.
        It is a copy: changing it does not change what the service matches or returns."""
    verbose: Any
    mindloom: Any

    def __init__(self, queries_file: Optional[str] = None, verbose: Any = False, mindloom: Any = None) -> None:
        """Loads `queries_file` when it is a non-empty str (FileNotFoundError when it does
        not exist)."""
    def load_history(self, filename: str) -> None:
        """Load query history from a JSON file and build a graph.

        Raises FileNotFoundError "Queries file not found: {filename}", the JSON reader's
        errors, and TypeError for a document of the wrong shape; on any error the earlier
        history stays loaded."""
    def find_strong_match(self, question: str) -> Optional[StrongMatch]:
        """Check if there's a strong match in the loaded queries.

        Return the matching query information if found, otherwise None."""
    def _get_query_details(self, index: int) -> Optional[StrongMatch]:
        """Extract all relevant details from a query by index"""
