"""Corvalt: a natural-language-to-SQL assistant for project-scheduling databases.

The work is done by three C++ extension modules, loaded on demand:

- ``Corvalt.Atlanor``  -- ``AtlanorService``: metadata document, knowledge graph, context records
- ``Corvalt.Quillon``  -- ``Quillon``: guarded SQL execution on SQLite and result summaries
- ``Corvalt.Echovane`` -- ``EchovaneService``: question history and strong matches

``Corvalt.ai`` declares what the services need of the host's AI service object and
provides default ``ChatMessage`` and ``SQLPrompt`` types.
"""

from Corvalt.errors import NodeNotFound

__all__ = ["NodeNotFound"]
__version__ = "0.1.0"
