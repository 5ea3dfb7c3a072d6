"""Question history: load earlier questions and find a strong match."""

from typing import Any, TypeAlias

from Corvalt.Atlanor import Graph as Graph
from Corvalt.errors import NodeNotFound as NodeNotFound


Record: TypeAlias = dict[str, Any]

class EchovaneService:
    """
    Recognises a question that was asked before, from a history of earlier questions and their SQL (the `enriched_queries` list of a JSON file).
    """

    def __init__(self, queries_file: str | None = None, verbose: Any = False, mindloom: Any = None) -> None:
        """
        Loads `queries_file` when it is a non-empty str (FileNotFoundError when it does not exist).
        """

    @property
    def graph(self, /) -> Graph | None:
        """
        The history graph (node "query:{i}" per entry), or None before loading; the same object until reloaded.
        """

    @property
    def queries(self, /) -> list[Record] | None:
        """
        The loaded entries, or None before loading; the same list until reloaded.
        It is a copy: changing it does not change what the service matches or returns.
        """

    @property
    def verbose(self, /) -> Any:
        """As passed; messages are printed while it is true."""

    @verbose.setter
    def verbose(self, value: Any, /) -> None: ...

    @property
    def mindloom(self, /) -> Any:
        """The AI service object, kept for the host; this service never calls it."""

    @mindloom.setter
    def mindloom(self, value: Any, /) -> None: ...

    def load_history(self, filename: str) -> None:
        """
        Load query history from a JSON file and build a graph.

        Raises FileNotFoundError "Queries file not found: {filename}", the JSON reader's errors, and TypeError for a document of the wrong shape; on any error the earlier history stays loaded.
        """

    def find_strong_match(self, question: str) -> Record | None:
        """
        Check if there's a strong match in the loaded queries.

        Return the matching query information if found, otherwise None: the entry's own question, sql, complexity_description and domain_concepts, with '' for an absent key ([] for domain_concepts).
        """

    def match_score(self, question: str) -> float | None:
        """
        The score of the strong match find_strong_match would return for `question`: 1.0 for an exact question or variation, else the share of the question's words found in the earlier question (above 0.7); None when there is no strong match. Prints nothing.
        """

    def _get_query_details(self, index: int) -> Record | None:
        """Extract all relevant details from a query by index"""
