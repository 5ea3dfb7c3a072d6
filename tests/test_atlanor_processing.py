"""Question answering of AtlanorService: process_query and its two processing
methods, with a scripted stand-in for the host's AI service."""

import copy
import json
import os
import pathlib
import subprocess
import sys
import textwrap

import pytest

import Corvalt
from Corvalt.Atlanor import AtlanorService
from Corvalt.ai import ChatMessage

REPO = pathlib.Path(__file__).resolve().parent.parent
SAMPLE = REPO / "data" / "enriched_project_metadata_cleaned.json"
PACKAGE_ROOT = os.path.dirname(os.path.dirname(Corvalt.__file__))

DOC = {
    "tables": {
        "activities": {
            "description": "Schedule activities of a project",
            "domain": "scheduling",
            "columns": {
                "activity_id": {"description": "Activity identifier", "data_type": "INTEGER"},
                "total_float": {
                    "description": "Total float in days",
                    "data_type": "REAL",
                    "business_rules": ["NegFloat: negative float means late"],
                    "concepts": ["Slack"],
                    "statistics": {"min": -5, "max": 20},
                },
            },
        },
        "projects": {
            "description": "Projects of the portfolio",
            "domain": "portfolio",
            "columns": {
                "project_id": {
                    "description": "Project identifier",
                    "data_type": "INTEGER",
                    "business_rules": ["PidRule: project ids are unique"],
                }
            },
        },
        "risks": {
            "description": "Risk register",
            "domain": "risk",
            "columns": {
                "exposure": {"description": "Monetary exposure", "data_type": "REAL", "concepts": ["Contingency"]}
            },
        },
    },
    "relationships": [
        {
            "from_table": "activities",
            "to_table": "projects",
            "join_condition": "activities.project_id = projects.project_id",
            "description": "Activity belongs to project",
        }
    ],
    "business_concepts": {
        "Slack": {"description": "Spare time"},
        "Contingency": {"description": "Reserve held against risk"},
    },
}


class FakeAI:
    """Answers run() from a script: a text, any other object, or an exception to raise."""

    def __init__(self, *replies, truth=True):
        self.replies = list(replies)
        self.prompts = []
        self.truth = truth

    def __bool__(self):
        return self.truth

    def run(self, prompt):
        self.prompts.append(prompt)
        reply = self.replies.pop(0)
        if isinstance(reply, BaseException):
            raise reply
        return reply


def make_service(ai=None, verbose=True):
    s = AtlanorService(mindloom=ai)
    s.build_graph(copy.deepcopy(DOC))
    s.verbose = verbose  # after the graph report
    return s


@pytest.fixture
def out_lines(capsys):
    capsys.readouterr()
    return lambda: capsys.readouterr().out.splitlines()


# ---- the prompts, written out line by line ----------------------------------------

# The prompt's fixed pieces, shared with the C++ tests.
PROMPT = json.loads((pathlib.Path(__file__).parent / "golden" / "understanding_prompts.json").read_text())


def head(question):
    return PROMPT["head"].replace("{question}", question)


def plain_prompt(question):
    return head(question) + "\n" + PROMPT["plain_instructions"]


def chat_prompt(question, history_lines=None, previous_sql=None):
    text = head(question)
    if history_lines is not None:
        text += "\n\nConsider this conversation history:\n" + "".join(line + "\n" for line in history_lines)
    if previous_sql is not None:
        text += "\n\nThe previous SQL query was:\n" + previous_sql + "\n"
    return text + "\n" + PROMPT["chat_instructions"]


def ids(record, key):
    entries = record[key] if key == "business_rules" else record["database_objects"][key]
    return [e["id"] for e in entries]


# ---- entry points ------------------------------------------------------------------------


class TestEntryPoints:
    def test_dispatch_by_history_and_previous_sql(self):
        ai = FakeAI("{}", "{}", "{}", "{}")
        s = make_service(ai, verbose=False)
        s.process_query("late work", "json", [], "")
        s.process_query("late work", "json", None, None)
        s.process_query("late work", previous_sql="SELECT 1")
        s.process_query("late work", chat_history=[ChatMessage("hi", True)])
        assert ai.prompts == [
            plain_prompt("late work"),
            plain_prompt("late work"),
            chat_prompt("late work", previous_sql="SELECT 1"),
            chat_prompt("late work", ["User: hi"]),
        ]

    def test_chat_method_takes_the_format_last(self):
        s = make_service(verbose=False)
        out = s.process_query_with_chat_history("activities float", None, None, "markdown")
        assert "markdown" in out
        assert "markdown" not in s.process_query("activities float", "json", None, None)

    @pytest.mark.parametrize(
        "call, argument",
        [
            (lambda s: s.process_query(3), "query_text"),
            (lambda s: s.process_query("q", None), "output_format"),
            (lambda s: s.process_query("q", "json", (), None), "chat_history"),
            (lambda s: s.process_query("q", "json", None, b"SELECT"), "previous_sql"),
            (lambda s: s.process_query_with_ai(None), "query_text"),
            (lambda s: s.process_query_with_ai("q", output_format=1), "output_format"),
            (lambda s: s.process_query_with_chat_history("q", "not a list"), "chat_history"),
            (lambda s: s.process_query_with_chat_history("q", [], 5), "previous_sql"),
            (lambda s: s.process_query_with_chat_history("q", output_format=["json"]), "output_format"),
        ],
    )
    def test_argument_types_are_checked_before_any_work(self, call, argument):
        ai = FakeAI()
        s = make_service(ai)
        with pytest.raises(TypeError, match=f"'{argument}'"):
            call(s)
        assert ai.prompts == []

    def test_missing_graph_is_reported_before_the_ai_is_asked(self):
        ai = FakeAI("{}")
        s = AtlanorService(mindloom=ai)
        for call in (s.process_query, s.process_query_with_ai, s.process_query_with_chat_history):
            with pytest.raises(ValueError, match=r"^Graph not built\. Call build_graph first\.$"):
                call("anything")
        assert ai.prompts == []


# ---- rule-based understanding and context assembly ---------------------------------


class TestRuleBased:
    def test_record_keys_and_ai_enhanced(self, out_lines):
        s = make_service()
        out = s.process_query("Which activities have FLOAT?")
        assert list(out) == ["query", "database_objects", "business_rules", "relationships",
                             "column_statistics", "ai_enhanced", "best_guess_sql"]
        assert out["best_guess_sql"] == s.generate_sql_from_nl("Which activities have FLOAT?")
        assert out["ai_enhanced"] == {
            "keywords": ["which", "activities", "have", "float?"],
            "business_domains": [],
            "enhanced_query": "Which activities have FLOAT?",
        }
        assert list(out["ai_enhanced"]) == ["keywords", "business_domains", "enhanced_query"]
        lines = out_lines()
        assert lines[0] == "Using basic keyword extraction: ['which', 'activities', 'have', 'float?']"
        # No other message of the understanding phase; SQL generation follows.
        assert lines[1].startswith("Extracted keywords: ")

    def test_rule_reached_from_table_and_column_is_listed_once(self):
        out = make_service(verbose=False).process_query("activities float")
        assert ids(out, "tables") == ["table:activities"]
        assert ids(out, "columns")[0] == "column:activities.total_float"
        assert ids(out, "business_rules") == ["rule:NegFloat"]

    def test_tables_found_through_a_concept(self):
        out = make_service(verbose=False).process_query("reserve")
        assert ids(out, "concepts") == ["concept:Contingency"]
        assert ids(out, "tables") == ["table:risks"]

    def test_short_words_give_an_empty_record(self, out_lines):
        out = make_service().process_query("how are you")
        assert ids(out, "tables") == [] and ids(out, "business_rules") == []
        assert out["ai_enhanced"]["keywords"] == []
        assert "best_guess_sql" not in out  # no table found: no SQL attempted
        assert out_lines() == ["Using basic keyword extraction: []"]

    def test_markdown_only_for_the_exact_format_name(self):
        s = make_service(verbose=False)
        out = s.process_query("activities float", "markdown")
        assert list(out)[-1] == "markdown"
        body = {k: v for k, v in out.items() if k != "markdown"}
        assert out["markdown"] == s.format_as_markdown(body)
        assert "## AI Enhanced Query\n\nactivities float\n\n" in out["markdown"]
        for other in ("Markdown", "MARKDOWN", "json", "html", ""):
            assert "markdown" not in s.process_query("activities float", other)

    def test_five_tables_found_two_named(self):
        doc = {
            "tables": {
                f"w{i}": {"description": "widget store", "domain": "d", "columns": {}} for i in range(1, 6)
            },
            "relationships": [
                {"from_table": "w1", "to_table": "w5", "join_condition": "w1.a = w5.a", "description": "d"}
            ],
        }
        s = AtlanorService()
        s.build_graph(doc)
        out = s.process_query("widget")
        assert ids(out, "tables") == ["table:w1", "table:w2"]
        # The join to w5 is found among all the tables the search returned.
        assert [(r["source"], r["target"]) for r in out["relationships"]] == [("w1", "w5")]

    def test_sample_document_question(self):
        s = AtlanorService(str(SAMPLE))
        s.build_graph()
        out = s.process_query("Show all projects with negative float")
        for key in ("tables", "columns", "concepts"):
            assert len(out["database_objects"][key]) <= 2
        assert len(out["business_rules"]) <= 2
        assert out["database_objects"]["tables"], "the sample question finds tables"
        assert out["ai_enhanced"]["keywords"] == ["show", "projects", "with", "negative", "float"]


# ---- AI understanding ------------------------------------------------------------------------


class TestAiUnderstanding:
    def test_plain_prompt_byte_for_byte(self):
        ai = FakeAI("{}")
        make_service(ai).process_query_with_ai('Show "late" work\nplease')
        assert ai.prompts == [plain_prompt('Show "late" work\nplease')]
        assert not ai.prompts[0].endswith("\n")

    def test_chat_prompt_last_five_messages_and_roles(self):
        ai = FakeAI("{}")
        history = [{"broken": "never read"}] + [
            ChatMessage(content=c, is_user=u)
            for c, u in [("a", True), ("b", False), (42, 1), ("d", 0), ("e", "yes")]
        ]
        make_service(ai).process_query("and now?", "json", history, "SELECT 1")
        assert ai.prompts == [
            chat_prompt(
                "and now?",
                ["User: a", "Assistant: b", "User: 42", "Assistant: d", "User: e"],
                "SELECT 1",
            )
        ]

    def test_answer_values_are_used_and_printed(self, out_lines):
        reply = json.dumps(
            {"keywords": ["Float"], "business_domains": ["portfolio"], "enhanced_query": "Floaty things",
             "history_context": "x"}
        )
        ai = FakeAI(reply)
        out = make_service(ai).process_query_with_ai("q")
        assert out["ai_enhanced"] == {
            "keywords": ["Float"],
            "business_domains": ["portfolio"],
            "enhanced_query": "Floaty things",
        }
        # Domain widening adds the portfolio table; the keyword finds the column.
        assert ids(out, "tables") == ["table:projects"]
        assert ids(out, "columns")[0] == "column:activities.total_float"
        assert out_lines()[:3] == [
            "AI enhanced query: Floaty things",
            "AI extracted keywords: ['Float']",
            "AI identified domains: ['portfolio']",
        ]

    def test_history_context_line_only_in_the_chat_variant(self, out_lines):
        reply = '{"keywords": [], "history_context": "asked about floats"}'
        s = make_service(FakeAI(reply, reply))
        out = s.process_query("q", chat_history=[ChatMessage("hi")])
        assert out_lines() == [
            "AI enhanced query: ",
            "AI extracted keywords: []",
            "AI identified domains: []",
            "AI history context: asked about floats",
        ]
        # The default SQLPrompt has no true history_context: no key.
        assert "chat_history_context" not in out
        s.process_query_with_ai("q")
        assert not any(l.startswith("AI history context") for l in out_lines())

    @pytest.mark.parametrize(
        "reply",
        [
            '```json\n{"keywords": ["float"], "enhanced_query": "E"}\n```',
            '  ```\n{"keywords": ["float"], "enhanced_query": "E"}```\n',
            '{"keywords": ["float"], "enhanced_query": "E"}\n```',
        ],
    )
    def test_code_fences_are_removed(self, reply):
        out = make_service(FakeAI(reply), verbose=False).process_query_with_ai("q")
        assert out["ai_enhanced"]["keywords"] == ["float"]
        assert out["ai_enhanced"]["enhanced_query"] == "E"

    @pytest.mark.parametrize(
        "reply, cleaned",
        [
            ('Sure! Here it is:\n{"keywords": ["float"]}', 'Sure! Here it is:\n{"keywords": ["float"]}'),
            ("```", ""),
            ('{"keywords": ["float"]} hope this helps', '{"keywords": ["float"]} hope this helps'),
            ("\n```json   \n\t", "```json"),
        ],
    )
    def test_unparsable_answers_print_three_lines_and_fall_back(self, reply, cleaned, out_lines):
        out = make_service(FakeAI(reply)).process_query_with_ai("late activities")
        try:
            json.loads(cleaned)
        except json.JSONDecodeError as e:
            error = str(e)
        expected = [
            f"Error parsing AI response: {error}",
            *f"Raw response: {reply}".splitlines(),
            *f"Cleaned response: {cleaned}".splitlines(),
            "Using basic keyword extraction: ['late', 'activities']",
        ]
        assert out_lines()[: len(expected)] == expected
        assert out["ai_enhanced"]["keywords"] == ["late", "activities"]

    @pytest.mark.parametrize(
        "reply, message",
        [
            (RuntimeError("service down"), "service down"),
            (KeyError("k"), "'k'"),
            (17, "'int' object has no attribute 'strip'"),
            (None, "'NoneType' object has no attribute 'strip'"),
            (b"{}", "'bytes' object has no attribute 'strip'"),
            ("[1, 2]", "'list' object has no attribute 'get'"),
            ('"text"', "'str' object has no attribute 'get'"),
            ("3.5", "'float' object has no attribute 'get'"),
        ],
    )
    def test_other_failures_print_one_line_and_fall_back(self, reply, message, out_lines):
        out = make_service(FakeAI(reply)).process_query_with_ai("late activities")
        assert out_lines()[:2] == [
            f"Error enhancing query with AI: {message}",
            "Using basic keyword extraction: ['late', 'activities']",
        ]
        assert out == make_service(verbose=False).process_query_with_ai("late activities")

    def test_failures_are_silent_without_verbose(self, out_lines):
        make_service(FakeAI("nope"), verbose=False).process_query_with_ai("late activities")
        make_service(FakeAI(ValueError("x")), verbose=False).process_query_with_ai("late activities")
        assert out_lines() == []

    def test_a_broken_chat_message_fails_only_the_ai_step(self, out_lines):
        ai = FakeAI("{}")
        make_service(ai).process_query("late activities", chat_history=[{"content": "x"}])
        assert ai.prompts == []
        assert out_lines()[0] == "Error enhancing query with AI: 'dict' object has no attribute 'is_user'"

    def test_interrupts_are_not_absorbed(self):
        with pytest.raises(KeyboardInterrupt):
            make_service(FakeAI(KeyboardInterrupt())).process_query_with_ai("late activities")

    def test_false_ai_object_is_not_called(self, out_lines):
        ai = FakeAI(truth=False)
        make_service(ai).process_query_with_ai("late activities")
        assert ai.prompts == []
        assert out_lines()[0] == "Using basic keyword extraction: ['late', 'activities']"

    def test_absent_and_null_values(self, out_lines):
        s = make_service(FakeAI('{"enhanced_query": null}', "{}"))
        out = s.process_query_with_ai("activities float")
        # No keywords in the answer: an empty search, not the rule-based words.
        assert out["ai_enhanced"] == {"keywords": [], "business_domains": [], "enhanced_query": None}
        assert ids(out, "tables") == []
        assert out_lines()[0] == "AI enhanced query: None"
        out = s.process_query_with_ai("activities float")
        assert out["ai_enhanced"]["enhanced_query"] == "activities float"

    def test_sql_is_generated_from_the_rewritten_question_unless_it_is_empty(self, out_lines):
        s = make_service(
            FakeAI(
                '{"keywords": ["activities"], "enhanced_query": "Rewritten words here"}',
                '{"keywords": ["activities"], "enhanced_query": null}',
            )
        )
        s.process_query_with_ai("late activities")
        assert out_lines()[-1] == "Extracted keywords: ['rewritten', 'words', 'here']"
        s.process_query_with_ai("late activities")
        assert out_lines()[-1] == "Extracted keywords: ['late', 'activities']"

    @pytest.mark.parametrize(
        "reply",
        ['{"keywords": "float"}', '{"keywords": null}', '{"keywords": ["float", 3]}'],
    )
    def test_keywords_that_are_not_a_list_of_str_reach_the_caller(self, reply):
        with pytest.raises(TypeError, match="keywords"):
            make_service(FakeAI(reply), verbose=False).process_query_with_ai("q")

    def test_no_reference_is_leaked_on_failures(self):
        reply = object()
        error = RuntimeError("boom")
        s = make_service(FakeAI(*([reply] * 50 + [error] * 50)), verbose=False)
        before = sys.getrefcount(reply), sys.getrefcount(error)
        for _ in range(100):
            s.process_query_with_ai("late activities")
        error.__traceback__ = None
        assert (sys.getrefcount(reply), sys.getrefcount(error)) == (before[0] - 50, before[1] - 50)


# ---- the host's Models module ----------------------------------------------------------------


def test_host_models_sql_prompt_is_used_with_four_keyword_arguments(tmp_path):
    """A host that ships its own Models module: SQLPrompt receives exactly the four
    keyword arguments, its values are what context assembly reads back, and a true
    history_context of its own becomes chat_history_context."""
    (tmp_path / "Models.py").write_text(
        textwrap.dedent(
            """
            CALLS = []

            class SQLPrompt:
                def __init__(self, **kwargs):
                    CALLS.append(sorted(kwargs))
                    self.user_prompt = kwargs["user_prompt"]
                    self.ai_context = kwargs["ai_context"]
                    self.buisness_domains = kwargs["buisness_domains"]
                    self.keywords = [k.upper() for k in kwargs["keywords"]]
                    self.history_context = "from the host type"
            """
        )
    )
    script = textwrap.dedent(
        f"""
        import json, Models
        from Corvalt.Atlanor import AtlanorService

        class AI:
            def run(self, prompt):
                return '{{"keywords": ["float"], "history_context": "ignored"}}'

        s = AtlanorService(mindloom=AI())
        s.build_graph(json.loads({json.dumps(json.dumps(DOC))}))
        chat = s.process_query("q", previous_sql="SELECT 1")
        plain = s.process_query_with_ai("q")
        s = AtlanorService()
        s.build_graph(json.loads({json.dumps(json.dumps(DOC))}))
        rule_based = s.process_query("late activities", previous_sql="SELECT 1")
        print(json.dumps([Models.CALLS, chat.get("chat_history_context"), "chat_history_context" in plain,
                          chat["ai_enhanced"]["keywords"], rule_based["ai_enhanced"]["keywords"],
                          rule_based.get("chat_history_context")]))
        """
    )
    env = dict(os.environ, PYTHONPATH=os.pathsep.join([str(tmp_path), PACKAGE_ROOT]))
    run = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, env=env, cwd=tmp_path)
    assert run.returncode == 0, run.stderr
    calls, context, plain_has, keywords, rule_keywords, rule_context = json.loads(run.stdout)
    assert calls == [["ai_context", "buisness_domains", "keywords", "user_prompt"]] * 3
    assert context == "from the host type"
    assert plain_has is False
    # What the record holds is read back from the host object.
    assert keywords == ["FLOAT"]
    assert rule_keywords == ["LATE", "ACTIVITIES"]
    # The rule-based record is tested the same way in the chat method.
    assert rule_context == "from the host type"


# ---- demonstration -------------------------------------------------------------------------------


def run_demo(cwd):
    # The demonstration itself, in the working directory (`python -m Corvalt` alone is a usage error).
    env = dict(os.environ, PYTHONPATH=PACKAGE_ROOT)
    return subprocess.run([sys.executable, "-c", "from Corvalt import Atlanor; Atlanor.main()"],
                          capture_output=True, text=True, env=env, cwd=cwd)


def test_demonstration_output(monkeypatch, capsys):
    run = run_demo(REPO)
    assert run.returncode == 0, run.stderr
    # The same steps through the public API.
    monkeypatch.chdir(REPO)
    capsys.readouterr()
    question = "Show all projects with negative float"
    s = AtlanorService(verbose=True)
    print("Attempting to load enriched_project_metadata_cleaned.json...")
    s.load_metadata(os.path.join("data", "enriched_project_metadata_cleaned.json"))
    s.build_graph()
    print(f"\nProcessing query: {question}")
    first = s.process_query(question, output_format="json")
    second = s.process_query(question, output_format="markdown")
    print("\nMarkdown Output:")
    print(second["markdown"])
    print(f"\nGenerated SQL: {first.get('best_guess_sql', 'No SQL generated')}")
    assert run.stdout == capsys.readouterr().out
    assert run.stdout.startswith(
        "Attempting to load enriched_project_metadata_cleaned.json...\n"
        "Loaded metadata from data/enriched_project_metadata_cleaned.json\n"
    )
    assert "\n\nProcessing query: Show all projects with negative float\n" in run.stdout
    assert "\n\nMarkdown Output:\n# Database Context for Query: Show all projects with negative float\n" in run.stdout


def test_demonstration_prefers_src_data(tmp_path):
    (tmp_path / "src" / "data").mkdir(parents=True)
    (tmp_path / "data").mkdir()
    (tmp_path / "src" / "data" / "enriched_project_metadata_cleaned.json").write_text(SAMPLE.read_text("utf-8"))
    (tmp_path / "data" / "enriched_project_metadata_cleaned.json").write_text("not json")
    run = run_demo(tmp_path)
    assert run.returncode == 0, run.stderr
    assert run.stdout.splitlines()[1] == "Loaded metadata from src/data/enriched_project_metadata_cleaned.json"


def test_demonstration_without_the_document(tmp_path):
    run = run_demo(tmp_path)
    assert run.returncode != 0
    assert run.stdout == (
        "Attempting to load enriched_project_metadata_cleaned.json...\n"
        "Failed to load metadata file. Please ensure the file exists.\n"
    )
    assert run.stderr.rstrip().splitlines()[-1] == (
        "FileNotFoundError: Metadata file not found: data/enriched_project_metadata_cleaned.json"
    )
