"""Corvalt: a natural-language-to-SQL assistant for project-scheduling databases.

The work is done by three C++ extension modules, loaded on demand:

- ``Corvalt.Atlanor``  -- ``AtlanorService``: metadata document, knowledge graph, context records
- ``Corvalt.Quillon``  -- ``Quillon``: guarded SQL execution on SQLite and result summaries;
  ``Assistant``: the three services over one database and the road of a question through them
- ``Corvalt.Echovane`` -- ``EchovaneService``: question history and strong matches

``Corvalt.ai`` declares what the services need of the host's AI service object and
provides default ``ChatMessage`` and ``SQLPrompt`` types.

The shortest way to an answer::

    import Corvalt
    answer = Corvalt.ask("Which activities are on the critical path?")   # the bundled sample
    print(answer["source"], answer["sql"], answer["rows"][:3])

``Corvalt.Assistant(db, metadata, history, mindloom=ai)`` does the same for your own files,
and ``Corvalt.sample_files()`` names the bundled sample's.
"""

from __future__ import annotations

import importlib.resources
import os
from typing import Any, Optional

from Corvalt.errors import NodeNotFound

__all__ = ["Assistant", "NodeNotFound", "ask", "sample_files"]
__version__ = "0.1.0"

_SAMPLE = {
    "db": "project_schedule.db",
    "metadata": "enriched_project_metadata_cleaned.json",
    "history": "query_history.json",
}


def sample_files() -> dict[str, str]:
    """Paths of the bundled sample: ``db`` (SQLite), ``metadata`` (the metadata document)
    and ``history`` (earlier questions), usable from any working directory."""
    root = importlib.resources.files("Corvalt").joinpath("data")
    return {key: os.fspath(root.joinpath(name)) for key, name in _SAMPLE.items()}


def __getattr__(name: str) -> Any:
    # The extension module is loaded on first use, not on `import Corvalt`.
    if name == "Assistant":
        from Corvalt.Quillon import Assistant

        return Assistant
    raise AttributeError(f"module 'Corvalt' has no attribute {name!r}")


def ask(question: str, *, db: Optional[str] = None, metadata: Optional[str] = None,
        history: Optional[str] = None, mindloom: Any = None, previous_sql: Optional[str] = None,
        **options: Any) -> dict:
    """Answer one question with a new ``Assistant`` (the bundled sample where no file is
    given). For several questions keep an ``Assistant``: it loads everything once."""
    from Corvalt.Quillon import Assistant

    sample = sample_files()
    assistant = Assistant(db or sample["db"], metadata or sample["metadata"],
                          history if history is not None else sample["history"],
                          mindloom=mindloom, **options)
    return assistant.ask(question, previous_sql)
