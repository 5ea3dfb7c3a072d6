"""The answering road as a host sees it: Corvalt.Assistant and Corvalt.ask, their argument
checks, the answer record, progress calls and the host's collector."""

import gc
import json
import os
import weakref

import pytest

import Corvalt
from Corvalt.Quillon import Assistant

SAMPLE = Corvalt.sample_files()
KEYS = ["question", "answered", "source", "sql", "explanation", "columns", "rows", "row_count", "summary",
        "reason", "candidates", "linking", "suggestions", "ai_requests", "error"]


@pytest.fixture(scope="module")
def assistant():
    return Assistant(SAMPLE["db"], SAMPLE["metadata"], SAMPLE["history"])


def test_the_sample_files_are_found_from_any_directory(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    assert set(SAMPLE) == {"db", "metadata", "history"} and all(os.path.isfile(p) for p in SAMPLE.values())
    answer = Corvalt.ask("Show all projects with negative float")
    assert answer["answered"] and answer["source"] == "history"
    assert not (tmp_path / "data").exists()  # nothing written without an AI service


def test_arguments_are_checked_before_anything_is_opened(tmp_path):
    with pytest.raises(TypeError):
        Assistant(SAMPLE["db"], 3)
    with pytest.raises(ValueError, match="linking must be"):
        Assistant(SAMPLE["db"], SAMPLE["metadata"], linking="fuzzy")
    with pytest.raises(ValueError, match="statement_timeout"):
        Assistant(SAMPLE["db"], SAMPLE["metadata"], statement_timeout=0)
    missing = tmp_path / "missing.db"
    with pytest.raises(FileNotFoundError, match="missing.db"):
        Assistant(str(missing), SAMPLE["metadata"])
    assert not missing.exists()  # never created


def test_an_answer_record_and_its_progress(assistant):
    seen = []
    answer = assistant.ask("Show all projects with negative float", progress=lambda kind, text: seen.append(kind))
    assert list(answer) == KEYS
    assert answer["row_count"] == len(answer["rows"]) > 0
    assert all(len(row) == len(answer["columns"]) for row in answer["rows"])
    assert answer["candidates"][0]["chosen"] and answer["ai_requests"] == 0
    assert seen[:2] == ["history", "context"] and seen[-1] == "chosen"
    with pytest.raises(TypeError):
        assistant.ask("q", progress=3)
    with pytest.raises(TypeError):
        assistant.ask(None)


def test_offline_a_new_question_is_answered_only_by_a_fitting_template(assistant):
    refilled = assistant.ask("relationships with lag greater than 25 days")
    assert refilled["source"] == "template" and "lag_days > 25" in refilled["sql"]
    assert refilled["candidates"][0]["origin"] == "List relationships with lag greater than 44 days"
    silent = assistant.ask("How many critical activities does each project have?")
    assert (silent["answered"], silent["sql"], silent["rows"]) == (False, None, [])
    assert silent["reason"] == "no answer without an AI service"
    assert silent["suggestions"]["sql"] and "activities" in silent["suggestions"]["tables"]


def test_a_cycle_through_the_ai_object_is_collected():
    class AI:
        pass

    ai = AI()
    ai.assistant = Assistant(SAMPLE["db"], SAMPLE["metadata"], mindloom=ai)
    assert ai.assistant.mindloom is ai
    gone = weakref.ref(ai)
    del ai
    gc.collect()
    assert gone() is None


def test_quillon_read_only_modes_and_rows_in_column_order():
    from Corvalt.Quillon import Quillon

    words = Quillon(SAMPLE["db"])
    assert words.read_only == "words"
    cte = "WITH x AS (SELECT 1 AS a) SELECT a, a + 1 AS a FROM x"
    assert words.test_query({"sql": cte})["success"] is False
    engine = Quillon(SAMPLE["db"], read_only="engine")
    outcome = engine.run_rows(cte)
    assert (outcome["success"], outcome["columns"], outcome["rows"]) == (True, ["a", "a"], [(1, 2)])
    assert engine._validate_safe_sql("DELETE FROM projects").startswith("Security restriction")
    with pytest.raises(ValueError, match="read_only must be 'words' or 'engine'"):
        Quillon(read_only="strict")
    with pytest.raises(TypeError):
        engine.read_only = None
    words_road = Assistant(SAMPLE["db"], SAMPLE["metadata"], SAMPLE["history"], read_only="words")
    assert words_road.ask("Show all projects with negative float")["answered"]


def test_run_rows_hands_each_batch_as_text_under_unique_names():
    from Corvalt.Quillon import Quillon, unique_column_names

    quillon = Quillon(SAMPLE["db"], read_only="engine")
    many = ("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
            "SELECT i AS a, -i AS a FROM n")
    batches = []
    outcome = quillon.run_rows(many, on_rows=lambda names, text: batches.append((list(names), text)), as_text="csv")
    assert outcome["success"] is True and outcome["row_count"] == 5000 and "rows" not in outcome
    assert len(batches) > 1 and all(names == ["a", "a_2"] for names, _ in batches)
    assert "".join(text for _, text in batches) == "".join(f"{i},{-i}\n" for i in range(1, 5001))
    texts = []
    quillon.run_rows(many, on_rows=lambda names, text: texts.append(text), as_text="json")
    assert json.loads("[" + ", ".join(texts) + "]") == [{"a": i, "a_2": -i} for i in range(1, 5001)]
    with pytest.raises(ValueError, match="'json', 'csv' or None"):
        quillon.run_rows("SELECT 1", on_rows=print, as_text="xml")
    with pytest.raises(ValueError, match="needs on_rows"):
        quillon.run_rows("SELECT 1", as_text="csv")
    assert unique_column_names(["s", "s", "s_2"]) == ["s", "s_3", "s_2"]
