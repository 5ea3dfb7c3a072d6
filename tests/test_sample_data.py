"""The bundled sample data: the database, the metadata document that describes
it and the question history must agree with each other, and the generator
must reproduce the committed files exactly."""

import json
import pathlib
import re
import sqlite3
import subprocess
import sys

import pytest

REPO = pathlib.Path(__file__).resolve().parent.parent
DATA = REPO / "data"
SCRIPT = REPO / "scripts" / "make_sample_data.py"
METADATA = DATA / "enriched_project_metadata_cleaned.json"
DATABASE = DATA / "project_schedule.db"
HISTORY = DATA / "query_history.json"

DATE_LITERAL = re.compile(r"'(\d{4}-\d{2}-\d{2})'")
LIMIT_CLAUSE = re.compile(r"\s+LIMIT\s+\d+\s*;?", re.IGNORECASE)


@pytest.fixture(scope="module")
def metadata():
    return json.loads(METADATA.read_text(encoding="utf-8"))


@pytest.fixture(scope="module")
def history():
    return json.loads(HISTORY.read_text(encoding="utf-8"))


@pytest.fixture(scope="module")
def db():
    conn = sqlite3.connect("file:%s?mode=ro" % DATABASE, uri=True)
    yield conn
    conn.close()


def question_keywords(question):
    # the rule-based extraction the example matcher uses
    return [w.lower() for w in question.split() if len(w) > 3]


class TestDatabaseMatchesMetadata:
    def test_same_tables_columns_and_types_in_the_same_order(self, metadata, db):
        db_tables = [r[0] for r in db.execute(
            "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid")]
        assert db_tables == list(metadata["tables"])
        for table, record in metadata["tables"].items():
            info = db.execute("PRAGMA table_info(%s)" % table).fetchall()
            assert [(r[1], r[2]) for r in info] == [
                (name, c["data_type"]) for name, c in record["columns"].items()], table

    def test_row_counts_and_index_flags(self, metadata, db):
        for table, record in metadata["tables"].items():
            assert record["row_count"] == db.execute("SELECT COUNT(*) FROM %s" % table).fetchone()[0]
            indexed = {db.execute("PRAGMA table_info(%s)" % table).fetchone()[1]}  # the primary key
            for (_, index_name, *_rest) in db.execute("PRAGMA index_list(%s)" % table):
                indexed.update(r[2] for r in db.execute("PRAGMA index_info(%s)" % index_name))
            flagged = {n for n, c in record["columns"].items() if c["indexed"]}
            assert flagged == indexed, table

    def test_statistics_are_the_real_values(self, metadata, db):
        checked = 0
        for table, record in metadata["tables"].items():
            for name, c in record["columns"].items():
                if "statistics" not in c:
                    continue
                s = c["statistics"]
                mn, mx, distinct, nulls = db.execute(
                    "SELECT MIN({c}), MAX({c}), COUNT(DISTINCT {c}), SUM({c} IS NULL) FROM {t}".format(c=name, t=table)
                ).fetchone()
                assert (s["min"], s["max"], s["distinct_count"], s["null_count"]) == (mn, mx, distinct, nulls)
                checked += 1
        assert checked >= 40

    def test_join_conditions_name_real_columns_and_join_rows(self, metadata, db):
        for rel in metadata["relationships"]:
            for side in re.split(r"\s*=\s*", rel["join_condition"]):
                table, column = side.split(".")
                assert column in metadata["tables"][table]["columns"], side
            if rel["from_table"] != rel["to_table"]:
                n = db.execute("SELECT COUNT(*) FROM {f} JOIN {t} ON {j}".format(
                    f=rel["from_table"], t=rel["to_table"], j=rel["join_condition"])).fetchone()[0]
                assert n > 0, rel

    def test_every_foreign_key_points_at_an_existing_row(self, db):
        assert db.execute("PRAGMA foreign_key_check").fetchall() == []


class TestShippedSql:
    def test_examples_run_and_find_rows(self, metadata, db):
        for ex in metadata["query_examples"]:
            assert db.execute(ex["query"]).fetchall(), ex["description"]

    def test_examples_cover_dates_limits_and_default_complexity(self, metadata):
        examples = metadata["query_examples"]
        assert 10 <= len(examples) <= 15
        assert sum(bool(DATE_LITERAL.search(e["query"])) for e in examples) >= 3
        assert sum(bool(LIMIT_CLAUSE.search(e["query"])) for e in examples) >= 3
        assert any(e["query"].endswith(" LIMIT 10;") for e in examples)
        missing = [e for e in examples if "complexity" not in e]
        assert 0 < len(missing) < len(examples) / 2

    def test_history_sql_runs_and_entries_are_complete(self, history, db):
        entries = history["enriched_queries"]
        assert len(entries) >= 20
        for e in entries:
            assert set(e) == {"question", "natural_language_variations", "timestamp", "sql",
                              "complexity_description", "domain_concepts"}
            assert 2 <= len(e["natural_language_variations"]) <= 3
            assert isinstance(e["domain_concepts"], list) and e["domain_concepts"]
            assert db.execute(e["sql"]).fetchall(), e["question"]
        stamps = [e["timestamp"] for e in entries]
        assert stamps == sorted(stamps)


class TestDemoQuestions:
    @pytest.mark.parametrize("question, expected", [
        ("Show all projects with negative float", "Show all projects with negative float"),
        ("List relationships with lag greater than 44 days", "List relationships with lag greater than 44 days"),
        ("What are the activities on the critical path?", "Activities on the critical path"),
        ("Find activities with excessive lag", "Find activities with excessive lag"),
    ])
    def test_best_example_template(self, metadata, question, expected):
        words = question_keywords(question)
        best, best_score = None, 0
        for ex in metadata["query_examples"]:
            score = sum(2 for w in words if w in ex["description"].lower())
            score += sum(1 for w in words if w in ex["query"].lower())
            if score > best_score:
                best, best_score = ex, score
        assert best is not None and best["description"].startswith(expected)

    def test_demo_question_finds_projects_first_then_activities(self, metadata):
        words = [w.strip() for w in question_keywords("Show all projects with negative float")]
        tags = {}
        for kw, targets in metadata["keywords"].items():
            for t in targets:
                if "." not in t and t not in metadata["business_concepts"]:
                    tags.setdefault(t, []).append(kw)
        ranked = []
        for table, record in metadata["tables"].items():
            score = 0
            for w in words:
                pat = re.compile(r"\b" + re.escape(w) + r"\b", re.IGNORECASE)
                if pat.search("table:" + table):
                    score += 5
                elif pat.search(table):
                    score += 4
                elif pat.search(record["description"]):
                    score += 3
                elif any(pat.search(k) for k in tags.get(table, [])):
                    score += 4
                elif w in table.lower():
                    score += 2
                elif w in record["description"].lower():
                    score += 1
            if score:
                ranked.append((-score, len(ranked), table))
        assert [t for _, _, t in sorted(ranked)][:2] == ["projects", "activities"]


class TestDocumentContent:
    def test_keyword_targets_resolve(self, metadata):
        tables, concepts = metadata["tables"], metadata["business_concepts"]
        for kw, targets in metadata["keywords"].items():
            for t in targets:
                if "." in t:
                    table, column = t.split(".", 1)
                    assert column in tables[table]["columns"], (kw, t)
                else:
                    assert t in concepts or t in tables, (kw, t)

    def test_column_concepts_and_rules_are_well_formed(self, metadata):
        seen_rules = {}
        for record in metadata["tables"].values():
            for c in record["columns"].values():
                for concept in c.get("concepts", []):
                    assert concept in metadata["business_concepts"]
                for rule in c.get("business_rules", []):
                    name, _, text = rule.partition(":")
                    assert name and text.strip()
                    # a rule repeated on several columns must say the same thing
                    assert seen_rules.setdefault(name, rule) == rule
                for rule in c.get("related_business_rules", []):
                    assert set(rule) == {"name", "description"}
        assert len(seen_rules) >= 10

    def test_terminology_reaches_columns(self, metadata):
        columns = [c.lower() for r in metadata["tables"].values() for c in r["columns"]]
        for term in ("float", "lag", "baseline", "WBS", "duration"):
            assert term in metadata["terminology"]
            assert any(term.lower() in c for c in columns), term

    def test_cleaning_record(self, metadata):
        assert metadata["metadata_cleaning"]["cleaning_version"] == "1.2"
        assert re.fullmatch(r"\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{6}", metadata["metadata_cleaning"]["cleaned_at"])

    @pytest.mark.parametrize("path", [METADATA, HISTORY], ids=["metadata", "history"])
    def test_json_written_indented_ascii_without_final_line_break(self, path):
        raw = path.read_bytes()
        assert raw.isascii() and not raw.endswith(b"\n")
        assert raw.decode("ascii") == json.dumps(json.loads(raw), indent=2, ensure_ascii=True)

    def test_non_ascii_text_survives_as_escapes(self, metadata):
        raw = METADATA.read_text(encoding="ascii")
        assert "J\\u00fcrgen Wei\\u00df" in raw
        assert "J\u00fcrgen Wei\u00df" in metadata["tables"]["resources"]["description"]


class TestScheduleConsistency:
    def test_float_dates_and_critical_flag_agree(self, db):
        rows = db.execute(
            "SELECT status, total_float_days, free_float_days, is_critical, early_finish_date, late_finish_date, "
            "actual_start_date, actual_finish_date, percent_complete FROM activities").fetchall()
        for status, tf, ff, crit, ef, lf, a_s, a_f, pct in rows:
            if status == "Completed":
                assert tf is None and ff is None and lf is None and crit == 0
                assert a_s is not None and a_f is not None and pct == 100.0
                continue
            gap = db.execute("SELECT julianday(?) - julianday(?)", (lf, ef)).fetchone()[0]
            assert gap == tf
            assert crit == (1 if tf <= 0 else 0)
            assert 0 <= ff <= max(tf, 0)
            assert (a_s is not None) == (status == "In Progress") and a_f is None
        assert any(r[1] is not None and r[1] < 0 for r in rows)

    def test_project_float_is_its_worst_open_activity(self, db):
        for pid, tf in db.execute("SELECT project_id, total_float_days FROM projects"):
            worst = db.execute("SELECT MIN(total_float_days) FROM activities WHERE project_id = ?", (pid,)).fetchone()[0]
            assert tf == worst
        negative = db.execute("SELECT COUNT(*) FROM projects WHERE total_float_days < 0").fetchone()[0]
        assert 0 < negative < 8

    def test_relationships_stay_inside_one_project(self, db):
        bad = db.execute(
            "SELECT COUNT(*) FROM activity_relationships r "
            "JOIN activities p ON p.activity_id = r.predecessor_activity_id "
            "JOIN activities s ON s.activity_id = r.successor_activity_id "
            "WHERE p.project_id <> r.project_id OR s.project_id <> r.project_id OR p.activity_id = s.activity_id").fetchone()[0]
        assert bad == 0
        types = {t for (t,) in db.execute("SELECT DISTINCT relationship_type FROM activity_relationships")}
        assert types == {"FS", "SS", "FF", "SF"}
        assert db.execute("SELECT MIN(lag_days) < 0 AND MAX(lag_days) > 44 FROM activity_relationships").fetchone()[0] == 1


def test_generator_reproduces_the_committed_files(tmp_path):
    # run twice into the same directory: the second run must replace, not append
    for _ in range(2):
        subprocess.run([sys.executable, str(SCRIPT), "--out-dir", str(tmp_path)], check=True, capture_output=True)
    for name in (METADATA.name, HISTORY.name):
        assert (tmp_path / name).read_bytes() == (DATA / name).read_bytes(), name
    fresh = sqlite3.connect(tmp_path / DATABASE.name)
    committed = sqlite3.connect("file:%s?mode=ro" % DATABASE, uri=True)
    try:
        assert list(fresh.iterdump()) == list(committed.iterdump())
    finally:
        fresh.close()
        committed.close()
    assert DATABASE.stat().st_size < 2 * 1024 * 1024
    assert not list(tmp_path.glob("*.tmp"))
