"""What a host sees of AtlanorService's construction, loading and graph building."""

import json
import os
import subprocess
import sys
import textwrap
import types

import pytest

import Corvalt
from Corvalt import Atlanor, Echovane, Quillon
from Corvalt.Atlanor import AtlanorService

from conftest import SMALL_DOC

PACKAGE_ROOT = os.path.dirname(os.path.dirname(Corvalt.__file__))


def run_host(tmp_path, script, models=None):
    """Runs `script` in a new process (the Models lookup is made once per process)
    with a host Models module of source `models` on the path, or none; returns
    what it printed as JSON."""
    path = [PACKAGE_ROOT]
    if models is not None:
        (tmp_path / "Models.py").write_text(textwrap.dedent(models), encoding="utf-8")
        path.insert(0, str(tmp_path))
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(path))
    run = subprocess.run([sys.executable, "-c", textwrap.dedent(script)], capture_output=True,
                         text=True, env=env, cwd=tmp_path, timeout=120)
    assert run.returncode == 0, run.stderr
    return json.loads(run.stdout)


def test_modules_load_and_share_the_graph_type():
    assert Atlanor.Graph is Echovane.Graph
    assert Atlanor.NodeNotFound is Corvalt.NodeNotFound
    assert issubclass(Corvalt.NodeNotFound, KeyError)
    assert Quillon.__name__ == "Corvalt.Quillon"


class TestConstruction:
    def test_defaults_and_attributes_hold_what_the_host_gave(self):
        ai = object()
        s = AtlanorService(verbose=1, mindloom=ai)
        assert s.graph is None and s.metadata is None
        assert s.verbose == 1 and type(s.verbose) is int
        assert s.mindloom is ai
        s.mindloom = None
        s.verbose = 0
        assert s.mindloom is None and s.verbose == 0

    def test_empty_path_loads_nothing_and_prints_nothing(self, capsys):
        s = AtlanorService("", verbose=True)
        assert s.metadata is None
        assert capsys.readouterr().out == ""

    def test_missing_file_fails_construction(self, tmp_path):
        path = str(tmp_path / "absent.json")
        with pytest.raises(FileNotFoundError, match="^Metadata file not found: " + path.replace("/", ".") + "$"):
            AtlanorService(path)

    @pytest.mark.parametrize("bad", [3, b"x.json", ["x"]])
    def test_metadata_file_type_is_checked(self, bad):
        with pytest.raises(TypeError, match="metadata_file"):
            AtlanorService(bad)

    def test_the_ai_object_may_replace_itself_while_the_service_uses_it(self, tmp_path):
        # Its truth test sets svc.mindloom = None mid-call; the service goes on
        # with the object it now holds.
        out = run_host(tmp_path, f"""
            import json
            from Corvalt.Atlanor import AtlanorService

            class Leaving:
                def __bool__(self):
                    svc.mindloom = None
                    return True

            svc = AtlanorService(mindloom=Leaving())
            svc.build_graph({SMALL_DOC!r})
            sql = svc.generate_sql_from_nl("activity float")
            svc.mindloom = Leaving()
            print(json.dumps([sql[:6], svc.process_query("activity float")["query"], svc.mindloom]))
            """)
        assert out == ["SELECT", "activity float", None]

    def test_positional_and_keyword_arguments(self, write_json, small_doc):
        path = write_json(small_doc)
        s = AtlanorService(path, False, None)
        assert s.metadata == small_doc
        assert AtlanorService(metadata_file=path).metadata == small_doc


class TestLoadReport:
    def test_full_report(self, write_json, small_doc, capsys):
        small_doc["metadata_cleaning"] = {"cleaned_at": "2026-01-02T03:04:05", "cleaning_version": 1.5}
        path = write_json(small_doc)
        AtlanorService(path, verbose=True)
        assert capsys.readouterr().out.splitlines() == [
            f"Loaded metadata from {path}",
            "  - Found 2 tables and 1 relationships",
            "  - Metadata contains sections: tables, relationships, business_concepts, keywords, "
            "terminology, metadata_cleaning",
            "  - Metadata was cleaned at 2026-01-02T03:04:05 (version 1.5)",
        ]

    def test_empty_document_warns_about_both_sections(self, write_json, capsys):
        path = write_json({})
        s = AtlanorService(path, verbose=True)
        assert s.metadata == {}
        assert capsys.readouterr().out.splitlines() == [
            f"Loaded metadata from {path}",
            "  - Found 0 tables and 0 relationships",
            "  - Metadata contains sections: ",
            "  - WARNING: Missing required sections: tables, relationships",
        ]

    def test_missing_tables_only_and_unknown_cleaning_time(self, write_json, capsys):
        path = write_json({"relationships": [], "metadata_cleaning": {"cleaning_version": "2"}})
        AtlanorService(path, verbose=True)
        out = capsys.readouterr().out.splitlines()
        assert out[3] == "  - WARNING: Missing required sections: tables"
        assert out[4] == "  - Metadata was cleaned at unknown (version 2)"

    def test_quiet_service_prints_nothing(self, write_json, small_doc, capsys):
        s = AtlanorService(write_json(small_doc))
        s.build_graph()
        assert capsys.readouterr().out == ""

    def test_lines_interleave_with_the_hosts_own_prints(self, write_json, small_doc, capsys):
        s = AtlanorService(verbose=True)
        print("before")
        s.load_metadata(write_json(small_doc))
        print("after")
        out = capsys.readouterr().out.splitlines()
        assert out[0] == "before" and out[-1] == "after"
        assert out[1].startswith("Loaded metadata from ")


class TestLoadFailures:
    def test_invalid_json_is_a_json_decode_error_and_keeps_metadata(self, write_json, small_doc):
        s = AtlanorService(write_json(small_doc))
        before = s.metadata
        with pytest.raises(json.JSONDecodeError) as err:
            s.load_metadata(write_json('{"tables": {}\n  "x": 1}', "bad.json"))
        assert (err.value.msg, err.value.lineno, err.value.colno, err.value.pos) == (
            "Expecting ',' delimiter", 2, 3, 16)
        assert s.metadata is before

    def test_top_level_that_is_not_an_object_is_refused_before_anything(self, write_json, small_doc, capsys):
        s = AtlanorService(write_json(small_doc), verbose=True)
        capsys.readouterr()
        before = s.metadata
        with pytest.raises(TypeError, match="^Metadata document must be a JSON object$"):
            s.load_metadata(write_json([1, 2], "list.json"))
        assert s.metadata is before
        assert capsys.readouterr().out == ""

    def test_invalid_utf8_is_a_unicode_decode_error(self, tmp_path):
        path = tmp_path / "latin1.json"
        path.write_bytes('{"tables": "caf\xe9"}'.encode("latin-1"))
        with pytest.raises(UnicodeDecodeError):
            AtlanorService().load_metadata(str(path))

    def test_filename_must_be_a_string(self):
        with pytest.raises(TypeError, match="filename"):
            AtlanorService().load_metadata(None)


def _same_objects(a, b):
    """Equal, with the same types throughout (1, 1.0 and True differ) and keys in order."""
    assert type(a) is type(b), (a, b)
    if isinstance(a, dict):
        assert list(a) == list(b)
        for k in a:
            _same_objects(a[k], b[k])
    elif isinstance(a, list):
        assert len(a) == len(b)
        for x, y in zip(a, b):
            _same_objects(x, y)
    elif isinstance(a, float) and a != a:
        assert b != b
    else:
        assert a == b and (not isinstance(a, float) or str(a) == str(b))


def _random_document(rng, depth=0):
    pieces = ["a", "Zone", " ", "\\n", "\\\"", "\\\\", "\\u00e9", "\\ud83d\\ude00", "\\u0000", "é", "☃",
              "😀", "total_float", "'"]
    numbers = ["0", "-0", "-12", "9223372036854775807", "-9223372036854775808", "9223372036854775808",
               "18446744073709551616", "0.5", "-0.0", "1e5", "2.5E-3", "1e-400", "4.9e-324",
               "1.7976931348623157e308", "0.1", "123456789012345678901234567890"]

    def text():
        return '"' + "".join(rng.choice(pieces) for _ in range(rng.randrange(5))) + '"'

    def value(depth):
        kind = rng.randrange(5 if depth > 4 else 8)
        if kind == 0:
            return rng.choice(["true", "false", "null"])
        if kind in (1, 2):
            return rng.choice(numbers)
        if kind == 3:
            return text()
        if kind == 4:
            return rng.choice(["NaN", "Infinity", "-Infinity", "1", "[]", "{}"]) if rng.random() < 0.1 \
                else text()
        if kind in (5, 6):
            members = []
            for _ in range(rng.randrange(20 if kind == 6 else 4)):
                key = '"k%d"' % rng.randrange(3) if rng.random() < 0.25 else text()
                members.append("%s:%s%s" % (key, rng.choice(["", " ", "\n  "]), value(depth + 1)))
            return "{" + ",".join(members) + "}"
        return "[" + ", ".join(value(depth + 1) for _ in range(rng.randrange(5))) + "]"

    members = ['"k%d": %s' % (i, value(1)) for i in range(rng.randrange(1, 6))]
    return "{" + ",\r\n".join(members) + "}"


class TestLoadedValues:
    def test_random_documents_load_as_the_hosts_json_reads_them(self, tmp_path):
        import random

        rng = random.Random(11)
        path = tmp_path / "doc.json"
        for _ in range(400):
            text = _random_document(rng)
            path.write_text(text, encoding="utf-8", newline="")
            with open(path, encoding="utf-8") as f:
                expected = json.load(f)
            _same_objects(AtlanorService().load_metadata(str(path)), expected)

    def test_random_malformed_documents_get_the_hosts_error(self, tmp_path):
        import random

        rng = random.Random(12)
        path = tmp_path / "doc.json"
        failures = 0
        for _ in range(400):
            text = _random_document(rng)
            at = rng.randrange(len(text))
            text = text[:at] if rng.random() < 0.5 else text[:at] + rng.choice([",", "]", "x", "\x01", '"', "01"]) + text[at:]
            path.write_text(text, encoding="utf-8", newline="")
            try:
                with open(path, encoding="utf-8") as f:
                    expected = json.load(f)
            except json.JSONDecodeError as e:
                failures += 1
                with pytest.raises(json.JSONDecodeError) as err:
                    AtlanorService().load_metadata(str(path))
                assert (err.value.msg, err.value.pos, err.value.lineno, err.value.colno) == (
                    e.msg, e.pos, e.lineno, e.colno)
                continue
            if isinstance(expected, dict):
                _same_objects(AtlanorService().load_metadata(str(path)), expected)
        assert failures > 300


def test_examples_reference_every_table_whose_name_they_contain():
    """Plain substring test, any letter case, short names and names inside longer
    identifiers included, in example order then table order."""
    import random

    rng = random.Random(3)
    names = ["ab", "a", "site_records", "site_records_2", "records", "Zone", "zone_x", "x1y2",
             "ti", "tip", "c_d_e_f"] + ["t%d_%s" % (i, rng.choice(["log", "plan", "item"])) for i in range(60)]
    tables = {n: {"description": "", "domain": "d", "columns": {"id": {"description": "", "data_type": "INTEGER"}}}
              for n in names}
    examples = []
    for _ in range(80):
        picked = rng.sample(names, 3)
        examples.append({"query": "SELECT * FROM %s JOIN %sx ON %s.id = 1 -- %s" % (
            picked[0].upper(), picked[1], picked[2], rng.choice(names)), "description": ""})
    doc = {"tables": tables, "relationships": [], "query_examples": examples}
    g = AtlanorService().build_graph(doc)
    got = [(u, v) for u, v, d in g.edges(data=True) if d.get("relationship") == "references"]
    want = [("example:%d" % i, "table:" + t) for i, ex in enumerate(examples)
            for t in names if t.lower() in ex["query"].lower()]
    assert got == want


class TestMetadataAttribute:
    def test_same_dict_until_replaced(self, write_json, small_doc):
        s = AtlanorService()
        loaded = s.load_metadata(write_json(small_doc))
        assert s.metadata is loaded and s.metadata is s.metadata
        mine = {"tables": {}}
        s.metadata = mine
        assert s.metadata is mine
        assert s.build_graph().number_of_nodes() == 0

    def test_loading_again_keeps_the_built_graph(self, write_json, small_doc):
        s = AtlanorService(write_json(small_doc))
        g = s.build_graph()
        s.load_metadata(write_json({"tables": {}}, "other.json"))
        assert s.graph is g


class TestBuildGraph:
    def test_no_metadata(self):
        with pytest.raises(ValueError, match=r"^No metadata provided\. Call load_metadata first or provide metadata\.$"):
            AtlanorService().build_graph()

    def test_explicit_document_does_not_replace_metadata(self, small_doc):
        s = AtlanorService()
        g = s.build_graph(small_doc)
        assert s.metadata is None
        assert s.graph is g
        assert g.has_node("table:activity")

    def test_wrong_type_and_missing_keys(self, small_doc):
        s = AtlanorService()
        with pytest.raises(TypeError, match="metadata"):
            s.build_graph([small_doc])
        g = s.build_graph(small_doc)
        del small_doc["tables"]["activity"]["columns"]["name"]["data_type"]
        with pytest.raises(KeyError) as err:
            s.build_graph(small_doc)
        assert err.value.args == ("data_type",)
        assert s.graph is g

    def test_verbose_line(self, small_doc, capsys):
        g = AtlanorService(verbose=True).build_graph(small_doc)
        assert capsys.readouterr().out == (
            f"Graph built with {g.number_of_nodes()} nodes and {g.number_of_edges()} edges\n")


class TestGraphObject:
    @pytest.fixture
    def graph(self, small_doc):
        return AtlanorService().build_graph(small_doc)

    def test_nodes_in_order_with_live_attribute_dicts(self, graph):
        assert list(graph.nodes) == [
            "table:activity", "column:activity.total_float", "rule:Negative float",
            "concept:total_float", "column:activity.name", "table:project", "column:project.id",
            "keyword:float", "term:float"]
        assert len(graph.nodes) == graph.number_of_nodes() == len(graph) == 9
        attrs = graph.nodes["column:activity.total_float"]
        assert attrs is graph.nodes["column:activity.total_float"]
        assert attrs == {"type": "column", "name": "total_float", "description": "Total float in days",
                         "data_type": "REAL", "indexed": False, "statistics": {"min": -5, "max": 12.5},
                         "keywords": ["float"]}
        pairs = graph.nodes(data=True)
        assert pairs[1] == ("column:activity.total_float", attrs) and pairs[1][1] is attrs
        assert "table:project" in graph.nodes and "table:nope" not in graph.nodes
        with pytest.raises(KeyError):
            graph.nodes["table:nope"]

    def test_edges_and_successors(self, graph):
        assert graph.number_of_edges() == len(graph.edges)
        assert ("table:activity", "table:project") in graph.edges
        data = graph.get_edge_data("table:activity", "table:project")
        assert data == {"relationship": "related_to", "join_condition": "activity.project_id = project.id",
                        "description": "Activity belongs to project"}
        assert data is graph.get_edge_data("table:activity", "table:project")
        assert graph.get_edge_data("table:project", "table:activity") is None
        assert graph.get_edge_data("table:nope", "table:activity") is None
        assert graph.has_edge("keyword:float", "concept:total_float")
        assert list(graph.neighbors("table:activity")) == [
            "column:activity.total_float", "column:activity.name", "table:project"]
        assert list(graph.successors("term:float")) == ["column:activity.total_float"]
        assert graph.edges(data=True)[0] == ("table:activity", "column:activity.total_float",
                                              {"relationship": "has_column"})

    def test_absent_node_is_the_packages_error_naming_it(self, graph):
        with pytest.raises(Corvalt.NodeNotFound, match="table:nope"):
            graph.neighbors("table:nope")

    def test_graph_attribute_accepts_a_graph_or_none(self, graph, small_doc):
        s = AtlanorService()
        s.graph = graph
        assert s.graph is graph
        s.graph = None
        assert s.graph is None
        with pytest.raises(TypeError):
            s.graph = {"not": "a graph"}


def test_models_fallback_is_the_packages_own_types():
    import Corvalt.ai as ai

    prompt = ai.SQLPrompt(user_prompt="q", ai_context="q", buisness_domains=[], keywords=["k"])
    assert prompt.keywords == ["k"] and prompt.history_context == ""
    assert isinstance(types.SimpleNamespace(run=1, clear_history=1, get_response_sync=1), ai.AIService)


# The package's SQLPrompt, recording its calls, then a question understood
# without AI (which goes through SQLPrompt).
UNDERSTAND = f"""
    import json, sys
    import Corvalt.ai
    FALLBACK = []

    class Recording(Corvalt.ai.SQLPrompt):
        def __init__(self, **kwargs):
            FALLBACK.append(sorted(kwargs))
            super().__init__(**kwargs)

    Corvalt.ai.SQLPrompt = Recording
    from Corvalt.Atlanor import AtlanorService

    svc = AtlanorService()
    svc.build_graph({SMALL_DOC!r})
    try:
        outcome = svc.process_query("activity float")["ai_enhanced"]["keywords"]
    except Exception as e:
        outcome = [type(e).__name__, str(e)]
    print(json.dumps([FALLBACK, getattr(sys.modules.get("Models"), "CALLS", None), outcome]))
"""

HOST_MODELS = """
    CALLS = []

    class SQLPrompt:
        def __init__(self, **kwargs):
            CALLS.append(sorted(kwargs))
            self.ai_context = kwargs["ai_context"]
            self.buisness_domains = kwargs["buisness_domains"]
            self.keywords = [k.upper() for k in kwargs["keywords"]]
"""

UNDECIDED_MODELS = HOST_MODELS + """
    class Undecided:
        def __bool__(self):
            raise ValueError("no truth value")

    SQLPrompt.history_context = Undecided()
"""

ARGUMENTS = ["ai_context", "buisness_domains", "keywords", "user_prompt"]


class TestHostModels:
    def test_without_a_models_module_the_packages_sql_prompt_is_used(self, tmp_path):
        assert run_host(tmp_path, UNDERSTAND) == [[ARGUMENTS], None, ["activity", "float"]]

    def test_the_hosts_models_module_replaces_the_packages(self, tmp_path):
        assert run_host(tmp_path, UNDERSTAND, HOST_MODELS) == [[], [ARGUMENTS], ["ACTIVITY", "FLOAT"]]

    def test_a_history_context_whose_truth_test_raises_fails_the_call_cleanly(self, tmp_path):
        # The host's error, not a SystemError about an exception left pending.
        assert run_host(tmp_path, UNDERSTAND, UNDECIDED_MODELS)[2] == ["RuntimeError", "no truth value"]
