#!/usr/bin/env python3
"""The same work as the services' timed calls, written in plain Python (the json module,
a networkx graph, re, pandas' reader), for side-by-side figures in the benchmarks.

It needs networkx and pandas, so it runs under its own interpreter (the benchmarks take it
from --reference-python or CORVALT_REFERENCE_PYTHON) and prints one line per task:
"<task> median <ms> ms [<count>]".

Usage: python bench/reference_python.py load|graph|search|test_query|history PATH RUNS [KEYWORDS]
"""

import json
import re
import sqlite3
import statistics
import sys
import time

import networkx as nx
import pandas as pd


def timed(runs, fn):
    samples, result = [], None
    for _ in range(runs):
        result = None  # the previous result is freed before the next run, as a service does
        t0 = time.perf_counter()
        result = fn()
        samples.append((time.perf_counter() - t0) * 1e3)
    return statistics.median(samples), result


def load(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def build_graph(doc):
    """The knowledge graph: tables, columns, rules, concepts, relationships, examples,
    keywords and terms, with the same nodes and edges the service builds."""
    g = nx.DiGraph()
    concepts = doc.get("business_concepts", {})
    columns = []
    for table, info in doc["tables"].items():
        g.add_node("table:" + table, type="table", name=table, description=info["description"],
                   domain=info["domain"], row_count=info.get("row_count", 0))
        for column, c in info["columns"].items():
            cid = "column:%s.%s" % (table, column)
            attrs = dict(type="column", name=column, description=c["description"],
                         data_type=c["data_type"], indexed=c.get("indexed", False))
            if "statistics" in c:
                attrs["statistics"] = c["statistics"]
            g.add_node(cid, **attrs)
            columns.append((column.lower(), cid))
            g.add_edge("table:" + table, cid, relationship="has_column")
            for rule in c.get("business_rules", []):
                name = rule.split(":", 1)[0]
                if not g.has_node("rule:" + name):
                    g.add_node("rule:" + name, type="rule", name=name, description=rule)
                g.add_edge(cid, "rule:" + name, relationship="governed_by")
            for rule in c.get("related_business_rules", []):
                if not g.has_node("rule:" + rule["name"]):
                    g.add_node("rule:" + rule["name"], type="rule", name=rule["name"],
                               description=rule["description"])
                g.add_edge(cid, "rule:" + rule["name"], relationship="governed_by")
            for concept in c.get("concepts", []):
                if not g.has_node("concept:" + concept):
                    g.add_node("concept:" + concept, type="concept", name=concept,
                               description=concepts.get(concept, {}).get("description", ""))
                g.add_edge(cid, "concept:" + concept, relationship="implements")
    for rel in doc.get("relationships", []):
        g.add_edge("table:" + rel["from_table"], "table:" + rel["to_table"], relationship="related_to",
                   join_condition=rel["join_condition"], description=rel["description"])
    tables = [t.lower() for t in doc["tables"]]
    for i, ex in enumerate(doc.get("query_examples", [])):
        eid = "example:%d" % i
        g.add_node(eid, type="example", query=ex["query"], description=ex["description"],
                   complexity=ex.get("complexity", "simple"))
        q = ex["query"].lower()
        for t, name in zip(doc["tables"], tables):
            if name in q:
                g.add_edge(eid, "table:" + t, relationship="references")
    for kw, targets in doc.get("keywords", {}).items():
        g.add_node("keyword:" + kw, type="keyword", name=kw)
        for t in targets:
            kind = "column:" if "." in t else "concept:" if t in concepts else "table:"
            if g.has_node(kind + t):
                g.add_edge("keyword:" + kw, kind + t, relationship="tags")
                g.nodes[kind + t].setdefault("keywords", []).append(kw)
    for term, definition in doc.get("terminology", {}).items():
        g.add_node("term:" + term, type="term", name=term, description=definition)
        lt = term.lower()
        for name, cid in columns:
            if lt in name:
                g.add_edge("term:" + term, cid, relationship="defines")
    return g


SCORES = {"ID": 5, "Name": 4, "Description": 3, "Tagged": 4, "NamePart": 2, "DescPart": 1}


def search(g, keywords):
    """Whole-word (re, ignoring case) and partial matches of each keyword against every
    node's id, name, description and keyword tags; (ranked pairs, match map)."""
    patterns = [(kw.lower().strip(), re.compile(r"\b" + re.escape(kw.lower().strip()) + r"\b", re.I))
                for kw in keywords]
    scored, matches = [], {}
    for node, data in g.nodes(data=True):
        score, reasons = 0, []
        name, desc = data.get("name", ""), data.get("description", "")
        for kw, p in patterns:
            if p.search(node):
                score += 5; reasons.append("ID contains '%s'" % kw)
            elif name and p.search(name):
                score += 4; reasons.append("Name contains '%s'" % kw)
            elif desc and p.search(desc):
                score += 3; reasons.append("Description contains '%s'" % kw)
            elif any(p.search(t) for t in data.get("keywords", [])):
                score += 4; reasons.append("Tagged with keyword '%s'" % kw)
            elif name and kw in name.lower():
                score += 2; reasons.append("Name partially matches '%s'" % kw)
            elif desc and kw in desc.lower():
                score += 1; reasons.append("Description partially matches '%s'" % kw)
        if score:
            scored.append((score, node, data))
            matches[node] = reasons
    scored.sort(key=lambda s: -s[0])
    return [(n, d) for _, n, d in scored], matches


def test_query(path):
    con = sqlite3.connect(path)
    try:
        frame = pd.read_sql_query("SELECT * FROM activities", con)
        rows = frame.to_dict("records")
        summary = "Query returned %d row(s) with %d column(s).\n\nSample of first 3 rows:\n%s" % (
            len(frame), len(frame.columns), frame.head(3).to_string())
        return rows, summary
    finally:
        con.close()


def load_history(path):
    doc = load(path)
    g = nx.DiGraph()
    for i, entry in enumerate(doc.get("enriched_queries", [])):
        g.add_node("query:%d" % i, text=entry.get("question", ""),
                   variations=entry.get("natural_language_variations", []),
                   timestamp=entry.get("timestamp", ""))
    return doc, g


def main():
    task, path, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    if task == "load":
        ms, _ = timed(runs, lambda: load(path))
        print("load median %.1f ms" % ms)
    elif task == "graph":
        doc = load(path)
        ms, g = timed(runs, lambda: build_graph(doc))
        print("graph median %.1f ms %d %d" % (ms, g.number_of_nodes(), g.number_of_edges()))
    elif task == "search":
        g = build_graph(load(path))
        ms, (results, _) = timed(runs, lambda: search(g, sys.argv[4].split(",")))
        print("search median %.1f ms %d" % (ms, len(results)))
    elif task == "test_query":
        ms, (rows, _) = timed(runs, lambda: test_query(path))
        print("test_query median %.1f ms %d" % (ms, len(rows)))
    elif task == "history":
        ms, (_, g) = timed(runs, lambda: load_history(path))
        print("history median %.1f ms %d" % (ms, g.number_of_nodes()))
    else:
        sys.exit("unknown task " + task)


if __name__ == "__main__":
    main()
