"""What a host sees of AtlanorService.search_by_keywords, get_related_rules and find_path."""

import json
import random
import re

import pytest

import Corvalt
from Corvalt.Atlanor import AtlanorService

from conftest import SAMPLE_METADATA

NOT_BUILT = "^Graph not built. Call build_graph first.$"


def plain_search(graph, keywords):
    """The search as a straightforward scan with Python's re: the behaviour to match."""
    keywords = [k.lower().strip() for k in keywords]
    scores, matches = {}, {}
    for node_id, data in graph.nodes(data=True):
        score, reasons = 0, []
        for kw in keywords:
            pattern = r"\b" + re.escape(kw) + r"\b"
            if re.search(pattern, node_id, re.IGNORECASE):
                score += 5
                reasons.append(f"ID contains '{kw}'")
            elif "name" in data and re.search(pattern, data["name"], re.IGNORECASE):
                score += 4
                reasons.append(f"Name contains '{kw}'")
            elif "description" in data and re.search(pattern, data["description"], re.IGNORECASE):
                score += 3
                reasons.append(f"Description contains '{kw}'")
            elif "keywords" in data and any(re.search(pattern, k, re.IGNORECASE) for k in data["keywords"]):
                score += 4
                reasons.append(f"Tagged with keyword '{kw}'")
            elif "name" in data and kw in data["name"].lower():
                score += 2
                reasons.append(f"Name partially matches '{kw}'")
            elif "description" in data and kw in data["description"].lower():
                score += 1
                reasons.append(f"Description partially matches '{kw}'")
        if score > 0:
            scores[node_id] = score
            matches[node_id] = reasons
    ranked = sorted(scores.items(), key=lambda item: item[1], reverse=True)
    return [(node_id, graph.nodes[node_id]) for node_id, _ in ranked], matches


def assert_same_as_plain(service, keywords):
    results, matches = service.search_by_keywords(keywords)
    want_results, want_matches = plain_search(service.graph, keywords)
    assert [r[0] for r in results] == [r[0] for r in want_results], keywords
    assert list(matches.items()) == list(want_matches.items()), keywords
    return results, matches


@pytest.fixture
def service(small_doc):
    s = AtlanorService()
    s.build_graph(small_doc)
    return s


@pytest.fixture(scope="module")
def sample_service():
    s = AtlanorService(str(SAMPLE_METADATA))
    s.build_graph()
    return s


class TestSearchResults:
    def test_shape_and_the_graphs_own_attribute_dicts(self, service):
        results, matches = service.search_by_keywords(["float"])
        assert isinstance(results, list) and isinstance(matches, dict)
        assert results, "the small document has float nodes"
        for node_id, attrs in results:
            assert type(node_id) is str
            assert attrs is service.graph.nodes[node_id]
        # The same objects again on the next call.
        again, _ = service.search_by_keywords(["float"])
        assert all(a[1] is b[1] for a, b in zip(results, again))

    def test_results_go_by_score_while_the_match_map_keeps_node_order(self, service):
        results, matches = service.search_by_keywords(["project", "id"])
        assert [node_id for node_id, _ in results] == ["column:project.id", "table:project"]
        assert list(matches.items()) == [
            ("table:project", ["ID contains 'project'"]),
            ("column:project.id", ["ID contains 'project'", "ID contains 'id'"]),
        ]

    def test_reasons_name_the_normalised_keyword(self, service):
        _, matches = service.search_by_keywords(["  FLOAT ", "float"])
        assert matches["term:float"] == ["ID contains 'float'", "ID contains 'float'"]
        assert matches["column:activity.total_float"] == [
            "Description contains 'float'", "Description contains 'float'"]

    def test_empty_inputs(self, service):
        assert service.search_by_keywords([]) == ([], {})
        results, matches = service.search_by_keywords([""])
        assert len(results) == service.graph.number_of_nodes()
        assert set(map(tuple, matches.values())) == {("ID contains ''",)}

    def test_results_are_fresh_containers_each_call(self, service):
        first = service.search_by_keywords(["float"])
        first[0].clear()
        first[1].clear()
        second = service.search_by_keywords(["float"])
        assert second[0] and second[1]


class TestAgainstPythonRe:
    @pytest.mark.parametrize("keywords", [
        ["activities", "critical", "path"],
        ["show", "projects", "with", "negative", "float"],
        ["float?", "(days)", "activity.total_float", "total", "lag,"],
        ["table", "column", "rule", "concept", "example", "keyword", "term"],
        ["", " ", "_", ".", "-", "'"],
        ["CRITICAL", "Critical", "critical"],
        ["ſtatus", "ıd", "\u212Aey", "naïve", "日本"],
    ])
    def test_sample_document(self, sample_service, keywords):
        assert_same_as_plain(sample_service, keywords)

    def test_random_documents_with_tricky_texts(self):
        pieces = ["a", "b", "s", "k", "i", "I", "S", "K", "ab", "_", ".", ":", " ", "-", "(", ")", "+",
                  "'", "1", "\n", "float", "Float", "\u017f", "\u0131", "\u0130", "\u212a", "é", "É",
                  "ß", "σ", "Σ", "ς", "\ufb00", "\u0307", "日", "😀", "Ω", "\u2126", "µ", "\u00a0", "٣"]
        rng = random.Random(1234)

        def text(n=5, ascii_only=False):
            pool = [p for p in pieces if p.isascii()] if ascii_only else pieces
            return "".join(rng.choice(pool) for _ in range(rng.randint(0, n)))

        for _ in range(25):
            tables = {}
            for _ in range(rng.randint(1, 6)):
                columns = {text(3, rng.random() < 0.5) or "c": {
                    "description": text(6, rng.random() < 0.5), "data_type": "TEXT"}
                    for _ in range(rng.randint(1, 4))}
                tables[text(3, rng.random() < 0.5) or "t"] = {
                    "description": text(8, rng.random() < 0.5), "domain": "d", "columns": columns}
            concepts = {text(3): {"description": text(5)} for _ in range(2)}
            keyword_targets = list(tables) + [f"{t}.{c}" for t in tables for c in tables[t]["columns"]]
            doc = {"tables": tables, "business_concepts": concepts,
                   "keywords": {text(3): rng.sample(keyword_targets, min(2, len(keyword_targets)))
                                for _ in range(3)},
                   "terminology": {text(2): text(5) for _ in range(2)}}
            s = AtlanorService()
            s.build_graph(json.loads(json.dumps(doc)))
            ids = list(s.graph.nodes)
            for _ in range(6):
                keywords = []
                for _ in range(rng.randint(1, 3)):
                    if rng.random() < 0.5:
                        source = rng.choice(ids)
                        a, b = sorted(rng.randrange(len(source) + 1) for _ in range(2))
                        keywords.append(source[a:b])
                    else:
                        keywords.append(text(3))
                assert_same_as_plain(s, keywords)


    def test_a_description_that_is_not_text_fails_like_re_search(self, small_doc):
        small_doc["tables"]["project"]["description"] = None
        s = AtlanorService()
        s.build_graph(small_doc)
        # Keywords answered by the id or the name never read the description.
        assert_same_as_plain(s, ["project"])
        with pytest.raises(TypeError) as ours:
            s.search_by_keywords(["schedule"])
        with pytest.raises(TypeError) as theirs:
            plain_search(s.graph, ["schedule"])
        assert str(ours.value) == str(theirs.value)


class TestSearchArguments:
    def test_keyword_argument_name(self, service):
        assert service.search_by_keywords(keywords=["float"]) == service.search_by_keywords(["float"])

    @pytest.mark.parametrize("bad", [None, "float", ("float",), {"float": 1}, [1], ["a", None]])
    def test_keywords_must_be_a_list_of_str(self, service, bad):
        with pytest.raises(TypeError, match="keywords"):
            service.search_by_keywords(bad)

    def test_argument_types_are_checked_before_the_graph(self):
        s = AtlanorService()
        with pytest.raises(TypeError, match="keywords"):
            s.search_by_keywords(None)
        with pytest.raises(ValueError, match=NOT_BUILT):
            s.search_by_keywords(["a"])
        with pytest.raises(TypeError):
            s.get_related_rules(5)
        with pytest.raises(ValueError, match=NOT_BUILT):
            s.get_related_rules("table:activity")
        with pytest.raises(TypeError):
            s.find_path("table:activity", None)
        with pytest.raises(ValueError, match=NOT_BUILT):
            s.find_path("table:activity", "table:project")


class TestRelatedRules:
    def test_column_and_table(self, service):
        rule = ("rule:Negative float", "Negative float: behind schedule")
        assert service.get_related_rules("column:activity.total_float") == [rule]
        assert service.get_related_rules(node_id="table:activity") == [rule]
        assert service.get_related_rules("table:project") == []
        assert service.get_related_rules("term:float") == []

    def test_a_rule_shared_by_two_columns_is_listed_twice(self, small_doc):
        small_doc["tables"]["activity"]["columns"]["name"]["business_rules"] = ["Negative float: other text"]
        s = AtlanorService()
        s.build_graph(small_doc)
        rules = s.get_related_rules("table:activity")
        assert rules == [("rule:Negative float", "Negative float: behind schedule")] * 2
        assert all(type(r) is tuple for r in rules)

    def test_description_is_the_rule_nodes_own_object(self, service):
        (rule_id, description), = service.get_related_rules("column:activity.total_float")
        assert description is service.graph.nodes[rule_id]["description"]

    def test_absent_node(self, service):
        with pytest.raises(Corvalt.NodeNotFound) as info:
            service.get_related_rules("table:nowhere")
        assert isinstance(info.value, KeyError)
        assert "table:nowhere" in str(info.value)


class TestFindPath:
    def test_paths_follow_edge_direction(self, service):
        assert service.find_path("table:activity", "table:project") == ["table:activity", "table:project"]
        assert service.find_path(start_node="table:project", end_node="table:activity") is None
        assert service.find_path("keyword:float", "rule:Negative float") == [
            "keyword:float", "column:activity.total_float", "rule:Negative float"]
        assert service.find_path("term:float", "term:float") == ["term:float"]

    @pytest.mark.parametrize("start, end", [("table:nowhere", "table:activity"),
                                            ("table:activity", "table:nowhere")])
    def test_absent_node(self, service, start, end):
        with pytest.raises(Corvalt.NodeNotFound, match="nowhere"):
            service.find_path(start, end)
