"""Appending answered questions to a question history file.

The file is the document EchovaneService reads::

    {"enriched_queries": [{"question": ..., "natural_language_variations": [],
                           "timestamp": "2024-09-03T08:15:42.118204", "sql": ...}, ...]}

Several processes may save into one file at once, and a reader may open it at any
moment: every append takes an exclusive lock on ``<file>.lock`` beside it, reads the
document, adds the entry, writes the whole document to a temporary file in the same
directory, flushes it to disk and renames it over the original. A reader sees the
old document or the new one, never part of one, and no writer's entry is lost. The
lock file stays behind (removing it would let two writers lock different files).
"""

from __future__ import annotations

import contextlib
import datetime
import fcntl
import json
import os
import tempfile
from typing import Iterator, Optional

ENTRIES = "enriched_queries"


class HistoryFileError(ValueError):
    """The history file cannot be read as a history document, or cannot be written."""


@contextlib.contextmanager
def locked(path: str) -> Iterator[None]:
    """Holds the exclusive lock of the history file `path` (on ``path + ".lock"``)."""
    fd = os.open(path + ".lock", os.O_RDWR | os.O_CREAT | os.O_CLOEXEC, 0o644)
    try:
        fcntl.flock(fd, fcntl.LOCK_EX)
        yield
    finally:
        os.close(fd)  # closing releases the lock


def read_document(path: str) -> dict:
    try:
        with open(path, encoding="utf-8") as f:
            document = json.load(f)
    except OSError as exc:
        raise HistoryFileError(f"cannot read the history file {path}: {exc.strerror or exc}") from None
    except ValueError as exc:
        raise HistoryFileError(f"the history file {path} is not JSON: {exc}") from None
    if not isinstance(document, dict) or not isinstance(document.get(ENTRIES, []), list):
        raise HistoryFileError(f"the history file {path} is not an object with an {ENTRIES} list")
    return document


def write_document(path: str, document: dict) -> None:
    """Replaces `path` with `document` in one step: a temporary file beside it, synced, renamed."""
    folder = os.path.dirname(path) or "."
    fd, temporary = tempfile.mkstemp(dir=folder, prefix="." + os.path.basename(path) + ".", suffix=".tmp")
    try:
        with os.fdopen(fd, "w", encoding="utf-8") as f:
            json.dump(document, f, indent=2, ensure_ascii=False)
            f.write("\n")
            f.flush()
            os.fsync(f.fileno())
        with contextlib.suppress(OSError):
            os.chmod(temporary, os.stat(path).st_mode & 0o7777)  # keep the file's permissions
        os.replace(temporary, path)
    except BaseException:
        with contextlib.suppress(OSError):
            os.unlink(temporary)
        raise
    # The rename itself is durable once the directory is synced.
    with contextlib.suppress(OSError):
        dir_fd = os.open(folder, os.O_RDONLY)
        try:
            os.fsync(dir_fd)
        finally:
            os.close(dir_fd)


def append_question(path: str, question: str, sql: str, *, timestamp: Optional[str] = None) -> dict:
    """Adds `question` with its statement to the history file `path` and returns the new entry.

    A symbolic link is followed: the file it points to is replaced, the link stays.
    Raises HistoryFileError when the file is not a history document or cannot be written.
    """
    if not isinstance(question, str) or not question.strip():
        raise ValueError("the question is empty")
    if not isinstance(sql, str) or not sql.strip():
        raise ValueError("the statement is empty")
    path = os.path.realpath(path)
    entry = {
        "question": question.strip(),
        "natural_language_variations": [],
        "timestamp": timestamp or datetime.datetime.now().isoformat(),
        "sql": sql.strip(),
    }
    try:
        with locked(path):
            document = read_document(path)
            document.setdefault(ENTRIES, []).append(entry)
            write_document(path, document)
    except OSError as exc:
        raise HistoryFileError(f"cannot write the history file {path}: {exc.strerror or exc}") from None
    return entry
