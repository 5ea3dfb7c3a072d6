"""The benchmark input generators: small runs must give well-formed documents
whose cross references hold, the reported node count must be the real one,
and a seed must fix the output."""

import json
import pathlib
import re
import sqlite3
import subprocess
import sys

REPO = pathlib.Path(__file__).resolve().parent.parent
METADATA_SCRIPT = REPO / "bench" / "make_large_metadata.py"
HISTORY_SCRIPT = REPO / "bench" / "make_large_history.py"


def run(script, *args):
    return subprocess.run([sys.executable, str(script), *map(str, args)],
                          check=True, capture_output=True, text=True).stdout


def graph_node_ids(doc):
    """Distinct node ids a graph built from the document holds."""
    ids = set()
    for t, tr in doc["tables"].items():
        ids.add("table:" + t)
        for c, cr in tr["columns"].items():
            ids.add("column:%s.%s" % (t, c))
            ids.update("rule:" + r.split(":", 1)[0] for r in cr.get("business_rules", []))
            ids.update("rule:" + r["name"] for r in cr.get("related_business_rules", []))
            ids.update("concept:" + c2 for c2 in cr.get("concepts", []))
    for r in doc["relationships"]:
        ids.update(("table:" + r["from_table"], "table:" + r["to_table"]))
    ids.update("example:%d" % i for i in range(len(doc["query_examples"])))
    ids.update("keyword:" + k for k in doc["keywords"])
    ids.update("term:" + k for k in doc["terminology"])
    return ids


class TestLargeMetadata:
    def test_small_document_is_consistent_and_count_is_exact(self, tmp_path):
        out = tmp_path / "m.json"
        printed = run(METADATA_SCRIPT, "--tables", 60, "--columns", 8, "--examples", 25,
                      "--keywords", 30, "--terms", 12, "--seed", 3, "--out", out)
        doc = json.loads(out.read_text(encoding="ascii"))
        tables = doc["tables"]
        assert len(tables) == 60 and all(len(t["columns"]) == 8 for t in tables.values())
        assert (len(doc["query_examples"]), len(doc["keywords"]), len(doc["terminology"])) == (25, 30, 12)

        for rel in doc["relationships"]:
            for side in rel["join_condition"].split(" = "):
                table, column = side.split(".")
                assert column in tables[table]["columns"], rel
        for targets in doc["keywords"].values():
            for t in targets:
                if "." in t:
                    table, column = t.split(".", 1)
                    assert column in tables[table]["columns"]
                else:
                    assert t in doc["business_concepts"] or t in tables
        for ex in doc["query_examples"]:
            table = re.search(r"\bFROM (\w+) a\b", ex["query"]).group(1)
            assert table in tables

        reported = int(re.search(r"graph nodes: (\d+)", printed).group(1))
        assert reported == len(graph_node_ids(doc))

    def test_defaults_reach_about_fifty_thousand_nodes(self, tmp_path):
        out = tmp_path / "big.json"
        printed = run(METADATA_SCRIPT, "--out", out)
        doc = json.loads(out.read_text(encoding="ascii"))
        nodes = len(graph_node_ids(doc))
        assert 47000 <= nodes <= 53000
        assert str(nodes) in printed
        assert 1.3 <= len(doc["relationships"]) / len(doc["tables"]) <= 1.7

    def test_broad_shape_adds_to_the_same_document(self, tmp_path):
        plain, broad = tmp_path / "plain.json", tmp_path / "broad.json"
        run(METADATA_SCRIPT, "--tables", 80, "--columns", 10, "--terms", 44, "--seed", 4, "--out", plain)
        printed = run(METADATA_SCRIPT, "--tables", 80, "--columns", 10, "--broad", "--seed", 4,
                      "--out", broad)
        a = json.loads(plain.read_text(encoding="ascii"))
        b = json.loads(broad.read_text(encoding="ascii"))
        assert a["tables"].keys() == b["tables"].keys() and a["relationships"] == b["relationships"]
        assert len(b["terminology"]) == 44
        clauses = described = 0
        for t, table in a["tables"].items():
            for c, column in table["columns"].items():
                wide = b["tables"][t]["columns"][c]
                described += not c.endswith("_id")  # key columns keep their plain description
                assert wide["description"].startswith(column["description"])
                clauses += wide["description"] != column["description"]
                assert wide.get("business_rules", [])[:len(column.get("business_rules", []))] == \
                    column.get("business_rules", [])
        assert 0.6 < clauses / described < 0.8
        reported = int(re.search(r"graph nodes: (\d+)", printed).group(1))
        assert reported == len(graph_node_ids(b)) > len(graph_node_ids(a))

    def test_seed_fixes_the_output(self, tmp_path):
        a, b, c = tmp_path / "a.json", tmp_path / "b.json", tmp_path / "c.json"
        run(METADATA_SCRIPT, "--tables", 20, "--columns", 5, "--seed", 9, "--out", a)
        run(METADATA_SCRIPT, "--tables", 20, "--columns", 5, "--seed", 9, "--out", b)
        run(METADATA_SCRIPT, "--tables", 20, "--columns", 5, "--seed", 10, "--out", c)
        assert a.read_bytes() == b.read_bytes() != c.read_bytes()

    def test_single_column_tables_have_no_room_for_joins(self, tmp_path):
        out = tmp_path / "one.json"
        run(METADATA_SCRIPT, "--tables", 5, "--columns", 1, "--out", out)
        doc = json.loads(out.read_text(encoding="ascii"))
        assert all(len(t["columns"]) == 1 for t in doc["tables"].values())
        assert doc["relationships"] == []

    def test_bad_sizes_are_refused(self, tmp_path):
        r = subprocess.run([sys.executable, str(METADATA_SCRIPT), "--tables", "0", "--out", str(tmp_path / "x.json")],
                           capture_output=True, text=True)
        assert r.returncode != 0 and "--tables" in r.stderr
        assert not (tmp_path / "x.json").exists()


class TestLargeHistory:
    def test_entries_are_complete_and_sql_is_valid(self, tmp_path):
        out = tmp_path / "h.json"
        run(HISTORY_SCRIPT, "--entries", 200, "--variations", 3, "--out", out)
        entries = json.loads(out.read_text(encoding="ascii"))["enriched_queries"]
        assert len(entries) == 200
        conn = sqlite3.connect("file:%s?mode=ro" % (REPO / "data" / "project_schedule.db"), uri=True)
        try:
            for e in entries:
                assert set(e) == {"question", "natural_language_variations", "timestamp", "sql",
                                  "complexity_description", "domain_concepts"}
                assert len(e["natural_language_variations"]) == 3
                conn.execute(e["sql"]).fetchall()
        finally:
            conn.close()
        stamps = [e["timestamp"] for e in entries]
        assert stamps == sorted(stamps)

    def test_more_variations_than_templates_offer_stay_distinct(self, tmp_path):
        out = tmp_path / "h.json"
        run(HISTORY_SCRIPT, "--entries", 30, "--variations", 6, "--out", out)
        for e in json.loads(out.read_text(encoding="ascii"))["enriched_queries"]:
            assert len(e["natural_language_variations"]) == 6
            assert len(set(e["natural_language_variations"])) == 6

    def test_empty_history(self, tmp_path):
        out = tmp_path / "h.json"
        run(HISTORY_SCRIPT, "--entries", 0, "--out", out)
        assert json.loads(out.read_text()) == {"enriched_queries": []}
