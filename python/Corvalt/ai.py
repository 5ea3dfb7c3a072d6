"""What Corvalt needs of the host's AI service and of its ``Models`` types.

``Corvalt.Atlanor`` imports the host's ``Models`` module by that absolute name and
falls back to the defaults below when the host has none.
"""

from __future__ import annotations

from dataclasses import dataclass, field
from typing import List, Protocol, runtime_checkable


@runtime_checkable
class AIService(Protocol):
    """The AI text service object passed to the services as ``mindloom``.

    ``AtlanorService`` calls ``run(prompt)``; ``Quillon`` calls ``clear_history()``
    and then ``get_response_sync(prompt)``; ``EchovaneService`` only stores it. Every
    call is synchronous and returns the reply as text. Each service tests the object
    for truth and takes its non-AI path when it is false.
    """

    def run(self, prompt: str) -> str: ...

    def clear_history(self) -> None: ...

    def get_response_sync(self, prompt: str) -> str: ...


@dataclass
class ChatMessage:
    """One turn of a conversation: ``is_user`` is true for the user's turns."""

    content: str
    is_user: bool = True


@dataclass
class SQLPrompt:
    """The understanding of a question that query processing works from.

    ``buisness_domains`` is spelled so on purpose: hosts create and read it by that name.
    """

    user_prompt: str
    ai_context: str | None
    buisness_domains: List[str] = field(default_factory=list)
    keywords: List[str] = field(default_factory=list)
    history_context: str = ""
