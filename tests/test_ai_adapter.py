"""OpenAIChatService against a small chat-completions server on 127.0.0.1, spoken to
by the real openai client."""

import json
import socket
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

import pytest

pytest.importorskip("openai")

from Corvalt.ai import AIServiceError, ChatMessage, OpenAIChatService

KEY = "sk-test-5eCrEt"


def completion(content):
    return {"id": "c", "object": "chat.completion", "created": 0, "model": "m",
            "choices": [{"index": 0, "finish_reason": "stop",
                         "message": {"role": "assistant", "content": content}}]}


class Handler(BaseHTTPRequestHandler):
    timeout = 5  # a stuck connection ends the handler

    def do_POST(self):
        srv = self.server
        body = self.rfile.read(min(int(self.headers.get("Content-Length", 0)), 1 << 20))
        srv.requests.append({"auth": self.headers.get("Authorization"), "body": json.loads(body)})
        status, reply, delay = srv.script.pop(0) if srv.script else (500, {"error": "unscripted"}, 0)
        srv.stop.wait(delay)
        data = reply.encode() if isinstance(reply, str) else json.dumps(reply).encode()
        try:
            self.send_response(status)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)
        except OSError:  # the client gave up waiting
            pass

    def log_message(self, *args):
        pass


@pytest.fixture
def server():
    srv = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    srv.script, srv.requests, srv.stop = [], [], threading.Event()
    thread = threading.Thread(target=srv.serve_forever, kwargs={"poll_interval": 0.05}, daemon=True)
    thread.start()
    srv.url = f"http://127.0.0.1:{srv.server_address[1]}/v1"
    yield srv
    srv.stop.set()
    srv.shutdown()
    srv.server_close()
    thread.join(5)


def service(url, **options):
    return OpenAIChatService(url, "m", **{"timeout": 0.3, "max_retries": 0, "backoff": 0.01, **options})


def test_turns_are_kept_sent_and_forgotten(server, monkeypatch):
    monkeypatch.setenv("CORVALT_TEST_KEY", KEY)
    server.script = [(200, completion(t), 0) for t in ("one", "two", "three")]
    ai = service(server.url, api_key_env="CORVALT_TEST_KEY", system_prompt="be brief", max_turns=1)
    assert ai and hasattr(ai, "get_response")
    assert ai.run("q1") == "one"
    assert ai.get_response_sync("q2") == "two"
    sent = [r["body"]["messages"] for r in server.requests]
    assert sent[1] == [{"role": "system", "content": "be brief"}, {"role": "user", "content": "q1"},
                       {"role": "assistant", "content": "one"}, {"role": "user", "content": "q2"}]
    assert ai.history == [ChatMessage("q2"), ChatMessage("two", False)]  # max_turns=1
    ai.clear_history()
    ai.run("q3")
    assert server.requests[2]["body"]["messages"][1:] == [{"role": "user", "content": "q3"}]
    assert {r["auth"] for r in server.requests} == {f"Bearer {KEY}"}
    assert server.requests[0]["body"]["model"] == "m" and KEY not in repr(ai)


def test_retried_on_500_and_429_until_success(server):
    server.script = [(500, {"error": {"message": "busy"}}, 0), (429, {}, 0), (200, completion("ok"), 0)]
    assert service(server.url, max_retries=2).run("q") == "ok"
    assert len(server.requests) == 3


@pytest.mark.parametrize("script, retries, words, sent", [
    ([(200, completion("late"), 2.0)] * 2, 1, "did not answer within 0.3 s (after 2 attempts)", 2),
    ([(401, {"error": {"message": f"bad key {KEY}"}}, 0)], 2, "HTTP 401 Unauthorized; check the API key passed as api_key: bad key ***", 1),
    ([(200, '{"choices": [', 0)], 2, "unreadable reply", 1),
    ([(200, {"choices": []}, 0)], 0, "reply without text", 1),
    ([(200, completion(None), 0)], 0, "content is null", 1),
    ([(200, completion([{"type": "text"}]), 0)], 0, "content is list, not str", 1),
])
def test_failures_are_clear_and_keep_no_turn(server, script, retries, words, sent):
    server.script = list(script)
    ai = service(server.url, api_key=KEY, max_retries=retries)
    start = time.monotonic()
    with pytest.raises(AIServiceError) as info:
        ai.run("q")
    assert time.monotonic() - start < 1.5
    assert words in str(info.value) and server.url in str(info.value)
    assert KEY not in str(info.value) and KEY not in repr(info.value)
    assert len(server.requests) == sent and ai.history == []


def test_unreachable_server_is_named():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        url = f"http://127.0.0.1:{s.getsockname()[1]}/v1"
    with pytest.raises(AIServiceError, match=f"cannot reach the AI service at {url}.*after 2 attempts"):
        service(url, max_retries=1).run("q")


def test_missing_openai_package_is_explained(monkeypatch):
    monkeypatch.setitem(__import__("sys").modules, "openai", None)
    with pytest.raises(ImportError, match=r'pip install "Corvalt\[openai\]"'):
        OpenAIChatService("http://127.0.0.1:1/v1", "m")


def test_atlanor_understanding_through_the_adapter(server, small_doc):
    AtlanorService = pytest.importorskip("Corvalt.Atlanor", reason="compiled modules not built").AtlanorService

    answer = {"keywords": ["float"], "business_domains": ["scheduling"], "enhanced_query": "late activities"}
    server.script = [(200, completion("```json\n" + json.dumps(answer) + "\n```"), 0)]
    atlanor = AtlanorService(mindloom=service(server.url))
    atlanor.build_graph(small_doc)
    out = atlanor.process_query_with_ai("which work is late")
    assert out["ai_enhanced"] == answer
    assert '"which work is late"' in server.requests[0]["body"]["messages"][0]["content"]
