"""corvalt chat: a conversation read from a pipe (in-process, with a scripted AI service)
and typed at a pseudo-terminal (a real process: prompt, Ctrl-C, exit)."""

import io
import json
import os
import pty
import subprocess
import select
import sys
import time

import pytest

from Corvalt import cli
from test_cli import HISTORY, SAME

FIRST = "Which activities have negative float"
FOLLOW_UP = "which of those are critical?"
FIRST_SQL = "SELECT activity_code, total_float_days FROM activities WHERE total_float_days < 0"
FOLLOW_UP_SQL = FIRST_SQL + " AND is_critical = 1"


class ScriptedAI:
    """Writes FIRST_SQL, or FOLLOW_UP_SQL once the question is the follow-up; keeps every
    understanding prompt."""

    made = []

    def __init__(self, **options):
        self.understanding = []
        ScriptedAI.made.append(self)

    def run(self, prompt):
        self.understanding.append(prompt)
        return "not an understanding"

    def clear_history(self):
        pass

    def get_response_sync(self, prompt):
        return FOLLOW_UP_SQL if FOLLOW_UP in prompt else FIRST_SQL


def chat(monkeypatch, capsys, lines, *args):
    monkeypatch.setattr(sys, "stdin", io.StringIO("".join(line + "\n" for line in lines)))
    code = cli.main(["chat", "-q", "--rows", "1", *args])
    out, err = capsys.readouterr()
    return code, out, err


def test_a_follow_up_from_a_pipe_gets_the_statement_and_turns_before_it(tmp_path, monkeypatch, capsys):
    import Corvalt.ai

    monkeypatch.setattr(Corvalt.ai, "OpenAIChatService", ScriptedAI, raising=False)
    monkeypatch.chdir(tmp_path)
    ScriptedAI.made.clear()
    code, out, err = chat(monkeypatch, capsys, [FIRST, "", "   ", FOLLOW_UP],
                          "--ai-url", "http://127.0.0.1:9/v1", "--model", "m")
    assert code == 0, err
    assert "corvalt> " not in out  # no prompt without a terminal
    answers = out.split("Source: ")[1:]
    assert [a.splitlines()[:3] for a in answers] == [
        ["the AI service", "SQL:", "  " + FIRST_SQL], ["the AI service", "SQL:", "  " + FOLLOW_UP_SQL]]
    # The blank lines asked nothing; the follow-up's understanding saw the turn and statement before it.
    first, second = ScriptedAI.made[0].understanding
    assert "previous SQL" not in first
    assert f"User: {FIRST}\nAssistant: {FIRST_SQL}\n(" in second
    assert f"The previous SQL query was:\n{FIRST_SQL}\n" in second and FOLLOW_UP in second


def test_commands_change_the_output_and_exit_ends_the_session(monkeypatch, capsys):
    lines = [":sql", SAME, ":json", SAME, ":context", ":nope", ":help", "exit", "never asked"]
    code, out, err = chat(monkeypatch, capsys, lines)
    assert code == 0
    out = out.splitlines()
    assert out[:3] == ["SQL hidden", f'Source: the same question, answered before ("{SAME}")', "Rows: 5 (first 1)"]
    record = json.loads(out[out.index("JSON output on") + 1])  # one answer, one line
    assert (record["question"], record["source"], record["row_count"]) == (SAME, "history", 5)
    context = out.index(f"Question: {SAME}")
    assert out[context + 1:context + 3] == ["Linking: strong", "Tables: projects"]
    assert "corvalt: unknown command :nope (:help lists the commands)" in err
    assert any(line.startswith("  :save") for line in out)
    assert "never asked" not in "\n".join(out) + err


def test_ctrl_c_at_a_terminal_stops_only_the_question(tmp_path):
    # The same question as before finds its statement in this history: a slow one.
    slow = "count every combination of four activities"
    cross = "SELECT count(*) FROM activities a, activities b, activities c, activities d"
    history = [next(q for q in HISTORY if q["question"] == SAME),
               {"question": slow, "natural_language_variations": [], "timestamp": "2024-09-03T08:15:42",
                "sql": cross}]
    (tmp_path / "history.json").write_text(json.dumps({"enriched_queries": history}))
    # The command starts through subprocess (no Python code runs between fork and exec in a
    # process whose other threads may hold locks) on a new terminal that setsid makes its
    # controlling terminal, so that Ctrl-C there reaches it as SIGINT.
    fd, child_end = pty.openpty()
    child = subprocess.Popen(["setsid", "--ctty", sys.executable, "-m", "Corvalt", "chat", "--history",
                              "history.json"], cwd=tmp_path, env=dict(os.environ, HOME=str(tmp_path)),
                             stdin=child_end, stdout=child_end, stderr=child_end, close_fds=True)
    os.close(child_end)
    seen = Terminal(fd)
    try:
        seen.until("corvalt> ")
        # readline installs its signal handling only once it waits for a key: a Ctrl-C that
        # arrives in the moment before waits for the next key, as at any readline prompt.
        time.sleep(0.5)
        os.write(fd, b"\x03")  # at the prompt: a new prompt
        seen.until("corvalt> ")
        os.write(fd, slow.encode() + b"\r")
        seen.until("running the history statement")
        os.write(fd, b"\x03")
        assert "corvalt: interrupted" in seen.until("corvalt> ")
        os.write(fd, SAME.encode() + b"\r")
        answer = seen.until("corvalt> ")
        assert "Source: the same question, answered before" in answer and "Rows: 5" in answer
        os.write(fd, b"exit\r")
        status = child.wait(timeout=60)
    finally:
        if child.poll() is None:
            child.kill()
            child.wait()
        os.close(fd)
    assert status == 0
    assert (tmp_path / ".corvalt_history").read_text().splitlines()[-3:] == [slow, SAME, "exit"]


class Terminal:
    """What the command writes on the terminal, read up to a mark (a stuck command fails
    the test after two minutes instead of hanging it)."""

    def __init__(self, fd):
        self.fd, self.text = fd, ""

    def until(self, mark):
        deadline = time.monotonic() + 120
        while mark not in self.text:
            ready, _, _ = select.select([self.fd], [], [], max(0.0, deadline - time.monotonic()))
            try:
                data = os.read(self.fd, 4096) if ready else b""
            except OSError:  # the command has ended and closed the terminal
                data = b""
            if not data:
                pytest.fail(f"no {mark!r} on the terminal: {self.text!r}")
            self.text += data.decode(errors="replace")
        before, _, self.text = self.text.partition(mark)
        return before
