"""Question history: load earlier questions and find a strong match."""

from typing import Any, Dict, List, Optional, TypedDict

# One Graph type serves both services (the same type object at run time).
from Corvalt.Atlanor import EdgeView as EdgeView, Graph as Graph, NodeView as NodeView
from Corvalt.errors import NodeNotFound as NodeNotFound

Record = Dict[str, Any]

class StrongMatch(TypedDict):
    """The entry's own values; absent keys give '' (and [] for domain_concepts)."""

    question: Any
    sql: Any
    complexity_description: Any
    domain_concepts: Any

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
