"""EchovaneService as the host uses it: construction, the history graph, loading
messages, the strong-match search and its edge cases, and failures that must leave
the loaded history alone."""

import json

import pytest

from Corvalt import Echovane
from Corvalt.Echovane import EchovaneService

P = "[Echovane] "


def write_history(tmp_path, entries, name="history.json", raw=None):
    path = tmp_path / name
    text = raw if raw is not None else json.dumps({"enriched_queries": entries})
    path.write_text(text, encoding="utf-8")
    return str(path)


def entry(question, *variations, sql=None, **extra):
    e = {"question": question, "natural_language_variations": list(variations)}
    e["sql"] = sql if sql is not None else "SELECT '%s'" % question
    e.update(extra)
    return e


def service(tmp_path, entries, **kwargs):
    return EchovaneService(write_history(tmp_path, entries), **kwargs)


def lines(capsys):
    return capsys.readouterr().out.splitlines()


class Untouchable:
    """An AI object the service must keep but never use (not even test for truth)."""

    def __bool__(self):
        raise AssertionError("mindloom was tested for truth")

    def __getattr__(self, name):
        raise AssertionError("mindloom.%s was used" % name)


# ------------------------------------------------------------------ construction --


class TestConstruction:
    def test_without_a_file_nothing_is_loaded(self, capsys):
        s = EchovaneService()
        assert s.graph is None and s.queries is None and s.mindloom is None
        assert s.verbose is False
        assert s.find_strong_match("late activities") is None
        assert s._get_query_details(0) is None
        assert capsys.readouterr().out == ""
        assert EchovaneService(queries_file="").graph is None  # empty name: no load

    def test_attributes_are_kept_as_passed(self, tmp_path):
        ai = Untouchable()
        s = service(tmp_path, [entry("late activities")], verbose=0, mindloom=ai)
        assert s.mindloom is ai
        assert s.verbose == 0 and type(s.verbose) is int
        assert s.find_strong_match("late activities")["question"] == "late activities"
        other = object()
        s.mindloom = other
        s.verbose = []
        assert s.mindloom is other and s.verbose == []
        with pytest.raises(AttributeError):
            s.graph = None
        with pytest.raises(AttributeError):
            s.queries = []

    def test_attribute_setters_take_none_and_check_values_themselves(self, tmp_path, capsys):
        s = service(tmp_path, [entry("late activities")], verbose=True, mindloom=Untouchable())
        s.mindloom = s.verbose = None
        assert s.mindloom is None and s.verbose is None
        capsys.readouterr()
        s.find_strong_match("late activities")
        assert capsys.readouterr().out == ""  # None is a false verbose
        with pytest.raises(AssertionError, match="tested for truth"):
            s.verbose = Untouchable()
        assert s.verbose is None

    def test_graph_and_queries_are_the_same_objects_until_reloaded(self, tmp_path):
        path = write_history(tmp_path, [entry("a"), entry("b")])
        s = EchovaneService(path)
        g, q = s.graph, s.queries
        assert isinstance(g, Echovane.Graph)
        assert s.graph is g and s.queries is q
        assert s.graph.nodes["query:0"] is g.nodes["query:0"]
        s.load_history(path)
        assert s.graph is not g and s.queries is not q
        assert s.queries == q

    def test_argument_types_are_checked(self, tmp_path):
        with pytest.raises(TypeError, match="queries_file"):
            EchovaneService(3)
        s = service(tmp_path, [entry("a")])
        with pytest.raises(TypeError, match="question"):
            s.find_strong_match(None)
        with pytest.raises(TypeError, match="question"):
            s.find_strong_match(b"a")
        with pytest.raises(TypeError, match="filename"):
            s.load_history(None)
        with pytest.raises(TypeError, match="index"):
            s._get_query_details("0")
        with pytest.raises(TypeError, match="index"):
            s._get_query_details(0.0)

    def test_missing_file(self, tmp_path):
        missing = str(tmp_path / "none.json")
        with pytest.raises(FileNotFoundError) as err:
            EchovaneService(missing)
        assert str(err.value) == "Queries file not found: " + missing
        s = EchovaneService()
        with pytest.raises(FileNotFoundError, match="^Queries file not found: $"):
            s.load_history("")


# ------------------------------------------------------------------------ loading --


class TestLoading:
    def test_graph_has_one_node_per_entry_with_defaults(self, tmp_path):
        entries = [
            {"question": "Late Work?", "natural_language_variations": ["Delayed work"],
             "timestamp": "2024-05-01T10:00:00", "sql": "SELECT 1", "other": {"x": 1}},
            {"sql": "SELECT 2"},
        ]
        s = service(tmp_path, entries)
        g = s.graph
        assert list(g.nodes) == ["query:0", "query:1"]
        assert g.number_of_edges() == 0
        assert g.nodes["query:0"] == {"text": "Late Work?", "variations": ["Delayed work"],
                                      "timestamp": "2024-05-01T10:00:00"}
        assert list(g.nodes["query:0"]) == ["text", "variations", "timestamp"]
        assert g.nodes["query:1"] == {"text": "", "variations": [], "timestamp": ""}
        assert s.queries == entries

    def test_absent_list_and_empty_history(self, tmp_path, capsys):
        s = EchovaneService(write_history(tmp_path, None, raw='{"other": []}'), verbose=True)
        assert s.queries == [] and len(s.graph) == 0
        assert lines(capsys)[-1].startswith(P + "Loaded 0 queries from ")
        assert s.find_strong_match("") is None
        assert lines(capsys) == [P + "No graph loaded, returning None"]

    def test_loading_messages(self, tmp_path, capsys):
        path = write_history(tmp_path, [entry("Late?", "a", "b"), {"sql": "x"},
                                        {"question": "It's", "natural_language_variations": []}])
        EchovaneService(path, verbose=True)
        assert lines(capsys) == [
            P + "Added node query:0: 'Late?'",
            P + "  with 2 variations",
            P + "Added node query:1: ''",
            P + "Added node query:2: 'It's'",
            P + "  with 0 variations",
            P + "Loaded 3 queries from " + path,
        ]
        EchovaneService(path)
        assert capsys.readouterr().out == ""

    def test_non_ascii_text_survives(self, tmp_path):
        s = service(tmp_path, [entry("Retard des activités — Zürich", "Ελλάδα ΟΔΟΣ")])
        assert s.graph.nodes["query:0"]["text"] == "Retard des activités — Zürich"
        assert s.find_strong_match("ελλάδα οδοσ") is None  # the capital sigma lowers to final ς
        assert s.find_strong_match("ελλάδα οδος")["question"] == "Retard des activités — Zürich"

    @pytest.mark.parametrize("raw, error", [
        ('{"enriched_queries": [', json.JSONDecodeError),
        ('[{"question": "x"}]', TypeError),
        ('{"enriched_queries": {"question": "x"}}', TypeError),
        ('{"enriched_queries": [{"question": "x"}, "late"]}', TypeError),
        ('{"enriched_queries": [{"question": null}]}', TypeError),
        ('{"enriched_queries": [{"question": "x", "natural_language_variations": "late"}]}', TypeError),
        ('{"enriched_queries": [{"question": "x", "natural_language_variations": [1]}]}', TypeError),
    ])
    def test_malformed_history_keeps_the_earlier_one(self, tmp_path, capsys, raw, error):
        s = service(tmp_path, [entry("late activities")], verbose=True)
        g, q = s.graph, s.queries
        capsys.readouterr()
        with pytest.raises(error):
            s.load_history(write_history(tmp_path, None, name="bad.json", raw=raw))
        assert capsys.readouterr().out == ""  # nothing reported for a refused file
        assert s.graph is g and s.queries is q
        assert s.find_strong_match("LATE activities")["question"] == "late activities"

    def test_error_names_the_bad_entry(self, tmp_path):
        path = write_history(tmp_path, None, raw='{"enriched_queries": [{"question": "x"}, 7]}')
        with pytest.raises(TypeError, match=r"^Entry 1 of enriched_queries in .* must be a dict, not int$"):
            EchovaneService(path)


# ------------------------------------------------------------------------ search --


class TestSearch:
    def test_exact_match_ignores_case_and_surrounding_space(self, tmp_path):
        s = service(tmp_path, [entry("Show late activities"), entry("  İstanbul FLOAT  ")])
        assert s.find_strong_match("\t show LATE activities \n")["sql"] == "SELECT 'Show late activities'"
        # str.lower() turns İ into i + combining dot; the question must too.
        assert s.find_strong_match("İSTANBUL float")["question"] == "  İstanbul FLOAT  "
        assert s.find_strong_match("i\u0307stanbul float") is not None

    def test_variation_returns_its_own_entry(self, tmp_path):
        s = service(tmp_path, [entry("first", "one"), entry("second", "two", "Deux Late", sql="S2")])
        assert s.find_strong_match(" deux LATE ") == {
            "question": "second", "sql": "S2", "complexity_description": "", "domain_concepts": []}

    def test_exact_phase_comes_before_overlap(self, tmp_path):
        s = service(tmp_path, [entry("show late activities by project"), entry("other", "late activities"),
                               entry("late activities")])
        assert s.find_strong_match("late activities")["question"] == "other"

    def test_word_overlap(self, tmp_path):
        s = service(tmp_path, [entry("Show late activities by project")])
        assert s.find_strong_match("late activities")["question"] == "Show late activities by project"
        # Inner spacing and repeated words do not matter to the overlap.
        assert s.find_strong_match("late   activities late") is not None
        assert s.find_strong_match("which activities are late") is None

    def test_punctuation_stays_attached(self, tmp_path):
        s = service(tmp_path, [entry("late activities")])
        assert s.find_strong_match("late activities?") is None
        assert s.find_strong_match("activities, late") is None

    def test_threshold_is_strictly_above_seven_tenths(self, tmp_path):
        s = service(tmp_path, [entry("w1 w2 w3 w4 w5 w6 w7")])
        assert s.find_strong_match("w1 w2 w3 w4 w5 w6 w7 x8 x9 x10") is None  # exactly 0.7
        assert s.find_strong_match("w1 w2 w3 w4 w5 w6 w7 x8 x9") is not None  # 0.78

    def test_ties_keep_the_earlier_entry(self, tmp_path):
        s = service(tmp_path, [entry("zzz", "late activities x", sql="first"),
                               entry("late activities y", sql="second"),
                               entry("a late b activities", sql="third")])
        assert s.find_strong_match("late activities")["sql"] == "first"
        better = service(tmp_path, [entry("a b c d", sql="4 of 6"), entry("a b c d e", sql="5 of 6")])
        assert better.find_strong_match("a b c d e f")["sql"] == "5 of 6"

    def test_unicode_white_space_separates_words(self, tmp_path):
        s = service(tmp_path, [entry("late\u3000activities\u00a0by project")])
        assert s.find_strong_match("late activities") is not None
        zero_width = service(tmp_path, [entry("late\u200bactivities")])
        assert zero_width.find_strong_match("late activities") is None

    def test_match_score_is_that_of_the_strong_match(self, tmp_path, capsys):
        s = service(tmp_path, [entry("w1 w2 w3 w4 w5 w6 w7", "Other words")], verbose=True)
        capsys.readouterr()
        assert s.match_score(" OTHER words ") == 1.0
        assert s.match_score("w1 w2 w3 w4 w5 w6 w7 x8 x9") == pytest.approx(7 / 9)
        assert s.match_score("w1 w2 w3 w4 w5 w6 w7 x8 x9 x10") is None  # 0.7 is no strong match
        assert capsys.readouterr().out == ""

    def test_empty_question(self, tmp_path):
        s = service(tmp_path, [entry("late activities")])
        assert s.find_strong_match("") is None
        assert s.find_strong_match("   ") is None
        s = service(tmp_path, [entry("late activities"), {"sql": "no question"}])
        assert s.find_strong_match(" \t")["sql"] == "no question"


# ---------------------------------------------------------------- search messages --


class TestSearchMessages:
    def test_overlap_prints_every_text_score_and_high_variation_scores(self, tmp_path, capsys):
        s = service(tmp_path, [entry("Late activities", "late activities by project", "delayed work"),
                               entry("Show late activities by project")], verbose=True)
        capsys.readouterr()
        assert s.find_strong_match(" Activities BY late project?")["question"] == "Late activities"
        assert lines(capsys) == [
            P + "Looking for a match for: 'activities by late project?'",
            P + "Node query:0 text score: 0.50",
            P + "Node query:0 variation 'late activities by project' score: 0.75",
            P + "Node query:1 text score: 0.75",
            P + "Best match score: 0.75",
            P + "Returning match: 'Late activities'",
        ]

    def test_no_strong_match(self, tmp_path, capsys):
        s = service(tmp_path, [entry("a b", "a", "a b c")], verbose=True)
        capsys.readouterr()
        assert s.find_strong_match("A B Z") is None
        assert lines(capsys) == [
            P + "Looking for a match for: 'a b z'",
            P + "Node query:0 text score: 0.67",
            P + "Node query:0 variation 'a b c' score: 0.67",
            P + "Best match score: 0.67",
            P + "No strong match found",
        ]

    def test_exact_matches_name_their_node(self, tmp_path, capsys):
        s = service(tmp_path, [entry("first", " Second "), entry("third")], verbose=True)
        capsys.readouterr()
        s.find_strong_match("THIRD")
        s.find_strong_match("second")
        assert lines(capsys) == [
            P + "Looking for a match for: 'third'",
            P + "Found exact match on node query:1",
            P + "Looking for a match for: 'second'",
            P + "Found exact match in variations of node query:0",
        ]

    def test_silent_unless_verbose(self, tmp_path, capsys):
        s = service(tmp_path, [entry("late activities")])
        s.find_strong_match("late activities?")
        s.verbose = 1
        s.find_strong_match("x")
        assert lines(capsys) == [
            P + "Looking for a match for: 'x'",
            P + "Node query:0 text score: 0.00",
            P + "Best match score: 0.00",
            P + "No strong match found",
        ]


# ---------------------------------------------------------------- match records --


class TestMatchRecord:
    def test_record_holds_the_entrys_own_values_in_order(self, tmp_path):
        concepts = ["total_float", {"nested": [1, 2.5, None, True]}]
        e = {"domain_concepts": concepts, "complexity_description": "Join", "sql": "SELECT *",
             "question": "Late WORK", "timestamp": "t"}
        s = service(tmp_path, [e])
        r = s.find_strong_match("late work")
        assert list(r) == ["question", "sql", "complexity_description", "domain_concepts"]
        assert r == {"question": "Late WORK", "sql": "SELECT *", "complexity_description": "Join",
                     "domain_concepts": concepts}
        assert r == s._get_query_details(0)
        assert s.find_strong_match("late work") is not r  # a new record each time

    def test_non_text_values_are_returned_unchanged(self, tmp_path):
        s = service(tmp_path, [{"question": "q", "sql": None, "complexity_description": 3,
                                "domain_concepts": "float"}])
        assert s.find_strong_match("q") == {"question": "q", "sql": None, "complexity_description": 3,
                                            "domain_concepts": "float"}

    def test_query_details_bounds(self, tmp_path):
        s = service(tmp_path, [entry("a", sql="A"), entry("b", sql="B")])
        assert s._get_query_details(1)["sql"] == "B"
        assert s._get_query_details(True)["sql"] == "B"
        assert s._get_query_details(2) is None
        assert s._get_query_details(-1) is None
        assert s._get_query_details(10 ** 30) is None
        assert s._get_query_details(-(10 ** 30)) is None
        assert service(tmp_path, [])._get_query_details(0) is None
