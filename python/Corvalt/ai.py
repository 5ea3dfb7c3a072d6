"""What Corvalt needs of the host's AI service and of its ``Models`` types.

``Corvalt.Atlanor`` imports the host's ``Models`` module by that absolute name and
falls back to the defaults below when the host has none.

``OpenAIChatService`` is a ready AI service for any OpenAI-compatible
chat-completions endpoint, local or hosted (``pip install "Corvalt[openai]"``)::

    from Corvalt.ai import OpenAIChatService
    ai = OpenAIChatService("http://127.0.0.1:8080/v1", "my-model")
    service = AtlanorService("metadata.json", mindloom=ai)

What the replies must hold
--------------------------
The services write their own instructions into each prompt; a model plugged in
here must follow them, and a ``system_prompt`` can reinforce them.

``AtlanorService`` (question understanding, through ``run``) expects one JSON
object, nothing else; surrounding whitespace and a Markdown code fence around
it are tolerated::

    {"keywords": ["float", "activity"],          # terms to search the metadata for
     "business_domains": ["scheduling"],         # domains such as scheduling, risk assessment
     "enhanced_query": "activities with negative total float",
     "history_context": "..."}                   # asked for when there is chat history

A missing key takes its default (the question itself for ``enhanced_query``,
empty lists otherwise). A reply that is not a JSON object, or a failure of the
call, makes the service fall back to plain keyword extraction.

``Quillon`` (SQL generation, through ``clear_history`` then
``get_response_sync``, so each request stands alone) expects the query in a
fenced block, or on lines starting with ``SELECT``, followed by a line
``EXPLANATION: ...``::

    ```sql
    SELECT name FROM activity WHERE total_float < 0
    ```
    EXPLANATION: activities whose total float is negative are behind schedule.

Only read-only statements are run.
"""

from __future__ import annotations

import http
import os
import threading
import time
from dataclasses import dataclass, field
from typing import Any, Dict, List, Optional, Protocol, runtime_checkable


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


class AIServiceError(RuntimeError):
    """A request to the AI service failed; the text says why.

    ``status_code`` is the HTTP status when the server answered with an error, else None.
    """

    def __init__(self, message: str, *, status_code: Optional[int] = None) -> None:
        super().__init__(message)
        self.status_code = status_code


_INSTALL_HINT = 'OpenAIChatService needs the openai package: pip install "Corvalt[openai]"'
_SHOWN_CHARS = 300


def _number(name: str, value: Any, *, positive: bool = False) -> float:
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        raise TypeError(f"{name} must be a number, not {type(value).__name__}")
    if value < 0 or (positive and value == 0) or value != value:
        raise ValueError(f"{name} must be {'positive' if positive else 'zero or more'}, not {value!r}")
    return float(value)


def _count(name: str, value: Any, minimum: int) -> int:
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{name} must be an int, not {type(value).__name__}")
    if value < minimum:
        raise ValueError(f"{name} must be at least {minimum}, not {value}")
    return value


class OpenAIChatService:
    """An AI service over an OpenAI-compatible chat-completions endpoint.

    ``base_url`` is the API root (``http://127.0.0.1:8080/v1``, ``https://api.openai.com/v1``);
    ``model`` the model name the server knows. The API key is ``api_key`` or read from
    the environment variable named by ``api_key_env``; without either, the placeholder
    key ``none`` is sent, which servers without authentication ignore (``OPENAI_API_KEY``
    is not read unless named). ``system_prompt`` opens every request;
    ``temperature`` None leaves the server's default.

    A request waits at most ``timeout`` seconds for each network step. Connection
    failures, timeouts, HTTP 429 and 5xx are tried again up to ``max_retries`` times,
    after ``backoff`` seconds doubling on each retry, at most ``max_backoff`` (a 429's
    or 503's Retry-After is followed within the same cap). Other HTTP errors fail at once.

    The conversation is kept: each request sends the system prompt, the kept turns
    and the new prompt, and a reply adds both turns; ``clear_history()`` forgets them.
    ``max_turns`` bounds the kept question/reply pairs (None keeps all). A failed
    request raises ``AIServiceError`` and keeps nothing of itself.
    """

    def __init__(
        self,
        base_url: str,
        model: str,
        *,
        api_key: Optional[str] = None,
        api_key_env: Optional[str] = None,
        system_prompt: Optional[str] = None,
        temperature: Optional[float] = 0.0,
        timeout: float = 60.0,
        max_retries: int = 2,
        backoff: float = 0.5,
        max_backoff: float = 8.0,
        max_turns: Optional[int] = None,
    ) -> None:
        try:
            import openai
        except ImportError as e:
            raise ImportError(_INSTALL_HINT) from e

        for name, value in (("base_url", base_url), ("model", model)):
            if not isinstance(value, str):
                raise TypeError(f"{name} must be a str, not {type(value).__name__}")
            if not value.strip():
                raise ValueError(f"{name} must not be empty")
        if system_prompt is not None and not isinstance(system_prompt, str):
            raise TypeError(f"system_prompt must be a str or None, not {type(system_prompt).__name__}")
        if api_key is not None and api_key_env is not None:
            raise ValueError("give api_key or api_key_env, not both")
        if api_key is not None and not isinstance(api_key, str):
            raise TypeError(f"api_key must be a str or None, not {type(api_key).__name__}")
        self._key_source = "the API key passed as api_key"
        if api_key_env is not None:
            api_key = os.environ.get(api_key_env)
            if not api_key:
                raise AIServiceError(f"the environment variable {api_key_env} holding the API key is not set")
            self._key_source = f"the API key in ${api_key_env}"

        self.base_url = base_url
        self.model = model
        self.system_prompt = system_prompt
        self._temperature = None if temperature is None else _number("temperature", temperature)
        self._timeout = _number("timeout", timeout, positive=True)
        self._max_retries = _count("max_retries", max_retries, 0)
        self._backoff = _number("backoff", backoff)
        self._max_backoff = _number("max_backoff", max_backoff)
        self._max_turns = None if max_turns is None else _count("max_turns", max_turns, 1)
        self._key = api_key or ""
        self._errors = openai
        # The client's own timeout is used as is. Its retries are turned off and done
        # here instead: its delays cannot be configured, it also retries 408 and 409,
        # and it follows a server's Retry-After of up to two minutes.
        # An explicit api_key keeps the client from sending the OPENAI_API_KEY of the
        # environment to whatever server base_url names; the client refuses an empty one.
        self._client = openai.OpenAI(
            base_url=base_url, api_key=self._key or "none", timeout=self._timeout, max_retries=0
        )
        self._turns: List[Dict[str, str]] = []
        self._lock = threading.Lock()

    def __repr__(self) -> str:
        return (f"OpenAIChatService(base_url={self.base_url!r}, model={self.model!r}, "
                f"turns={len(self._turns)})")

    def __bool__(self) -> bool:
        return True

    def __enter__(self) -> "OpenAIChatService":
        return self

    def __exit__(self, *exc_info: Any) -> None:
        self.close()

    def close(self) -> None:
        """Closes the client's connections."""
        self._client.close()

    @property
    def history(self) -> List[ChatMessage]:
        """A copy of the kept turns."""
        with self._lock:
            return [ChatMessage(t["content"], t["role"] == "user") for t in self._turns]

    def clear_history(self) -> None:
        with self._lock:
            self._turns.clear()

    def run(self, prompt: str) -> str:
        """Sends ``prompt`` after the kept turns and returns the reply text."""
        return self._ask(prompt)

    def get_response_sync(self, prompt: str) -> str:
        """Sends ``prompt`` after the kept turns and returns the reply text."""
        return self._ask(prompt)

    get_response = get_response_sync

    # ---- one request -------------------------------------------------------------

    def _ask(self, prompt: str) -> str:
        if not isinstance(prompt, str):
            raise TypeError(f"prompt must be a str, not {type(prompt).__name__}")
        with self._lock:
            messages = [{"role": "system", "content": self.system_prompt}] if self.system_prompt else []
            messages += self._turns
            messages.append({"role": "user", "content": prompt})
            reply = self._reply_text(self._send(messages))
            self._turns += [{"role": "user", "content": prompt}, {"role": "assistant", "content": reply}]
            if self._max_turns is not None:
                del self._turns[: -2 * self._max_turns]
            return reply

    def _send(self, messages: List[Dict[str, str]]) -> Any:
        options: Dict[str, Any] = {"model": self.model, "messages": messages}
        if self._temperature is not None:
            options["temperature"] = self._temperature
        errors = self._errors
        attempts = self._max_retries + 1
        for attempt in range(1, attempts + 1):
            retry_after = None
            try:
                return self._client.chat.completions.create(**options)
            except errors.APIStatusError as e:
                status = e.status_code
                if not (status == 429 or status >= 500) or attempt == attempts:
                    raise AIServiceError(self._status_text(e, attempt), status_code=status) from None
                if status in (429, 503):
                    retry_after = _seconds(e.response.headers.get("retry-after"))
            except errors.APIConnectionError as e:
                if attempt == attempts:
                    raise AIServiceError(self._connection_text(e, attempt)) from None
            except Exception as e:
                # A body that is not JSON, or JSON the client cannot read as a completion.
                raise AIServiceError(
                    f"unreadable reply from the AI service at {self.base_url}: "
                    f"{type(e).__name__}: {self._shown(e)}") from None
            delay = self._backoff * 2 ** (attempt - 1) if retry_after is None else retry_after
            time.sleep(min(delay, self._max_backoff))
        raise AssertionError("unreachable")

    def _reply_text(self, completion: Any) -> str:
        where = f"the AI service at {self.base_url}"
        choices = getattr(completion, "choices", None)
        if not isinstance(choices, list):
            raise AIServiceError(f"unreadable reply from {where}: not a chat completion: {self._shown(completion)}")
        if not choices:
            raise AIServiceError(f"reply without text from {where}: no choices")
        content = getattr(getattr(choices[0], "message", None), "content", None)
        if content is None:
            reason = getattr(choices[0], "finish_reason", None)
            raise AIServiceError(f"reply without text from {where}: the message content is null"
                                 + (f" (finish_reason {reason!r})" if reason else ""))
        if not isinstance(content, str):
            raise AIServiceError(f"reply without text from {where}: the message content is "
                                 f"{type(content).__name__}, not str")
        if not content.strip():
            raise AIServiceError(f"reply without text from {where}: the message content is empty")
        return content

    def _status_text(self, e: Any, attempt: int) -> str:
        status = e.status_code
        try:
            phrase = " " + http.HTTPStatus(status).phrase
        except ValueError:
            phrase = ""
        body = e.body
        if isinstance(body, dict):
            body = body.get("error", body)
        if isinstance(body, dict):
            body = body.get("message", body)
        if body is None or body == "":
            body = e.response.text
        text = f"the AI service at {self.base_url} answered HTTP {status}{phrase}"
        if status in (401, 403):
            text += f"; check {self._key_source}" if self._key else "; no API key was given"
        return text + f": {self._shown(body)}" + _after(attempt)

    def _connection_text(self, e: Any, attempt: int) -> str:
        if isinstance(e, self._errors.APITimeoutError):
            return (f"the AI service at {self.base_url} did not answer within {self._timeout:g} s"
                    + _after(attempt))
        cause = e.__cause__ or e
        return f"cannot reach the AI service at {self.base_url}: {self._shown(cause)}" + _after(attempt)

    def _shown(self, value: Any) -> str:
        """str(value) on one line, shortened, without the API key."""
        text = " ".join(str(value).split())
        if self._key:
            text = text.replace(self._key, "***")
        return text if len(text) <= _SHOWN_CHARS else text[: _SHOWN_CHARS - 3] + "..."


def _after(attempt: int) -> str:
    return f" (after {attempt} attempts)" if attempt > 1 else ""


def _seconds(header: Optional[str]) -> Optional[float]:
    try:
        value = float(header) if header is not None else None
    except ValueError:
        return None
    return value if value is not None and 0 <= value < float("inf") else None
