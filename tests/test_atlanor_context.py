"""The context record (generate_output) and its Markdown form (format_as_markdown)
as the host sees them: parameters, defaults, type errors, key order and text."""

import copy
import json

import pytest

from Corvalt.Atlanor import AtlanorService

DOC = {
    "tables": {
        "activity": {
            "description": "Activities of the schedule",
            "domain": "scheduling",
            "columns": {
                "total_float": {
                    "description": "Total float | days",
                    "data_type": "REAL",
                    "business_rules": ["NegFloat: negative float means late"],
                    "concepts": ["slack"],
                    "statistics": {"min": -5, "max": 12.5},
                },
                "name": {"description": "Activity name", "data_type": "TEXT"},
            },
        },
        "project": {
            "description": "Projects",
            "domain": "portfolio",
            "columns": {"id": {"description": "Project id", "data_type": "INTEGER"}},
        },
        "risk": {"description": "Risks", "domain": "risk", "columns": {}},
    },
    "relationships": [
        {
            "from_table": "activity",
            "to_table": "project",
            "join_condition": "activity.project_id = project.id",
            "description": "Activity belongs to project",
        },
        {"from_table": "risk", "to_table": "project", "join_condition": "risk.pid = project.id", "description": ""},
    ],
    "business_concepts": {"slack": {"description": "Room before the end moves"}},
}


@pytest.fixture
def service():
    s = AtlanorService()
    s.metadata = copy.deepcopy(DOC)
    s.build_graph()
    return s


def output(service, tables=(), columns=(), concepts=(), rules=(), **kw):
    return service.generate_output("q", [], {}, list(tables), list(columns), list(concepts), list(rules), **kw)


class TestGenerateOutputParameters:
    def test_positional_and_keyword_calls_agree(self, service):
        args = ("why late?", [("x", {})], {"x": ["r"]}, ["table:activity", "table:project"],
                ["column:activity.total_float"], ["concept:slack"], ["rule:NegFloat"], "SELECT 1",
                ["table:activity"])
        names = ("query_text", "results", "matches", "tables", "columns", "concepts", "rules", "sql",
                 "all_tables")
        assert service.generate_output(*args) == service.generate_output(**dict(zip(names, args)))

    def test_results_matches_and_sql_do_not_shape_the_record(self, service):
        plain = output(service, ["table:activity"])
        other = service.generate_output("q", [1, 2], {"k": "v"}, ["table:activity"], [], [], [], sql="SELECT 9")
        assert plain == other
        assert "sql" not in plain and "best_guess_sql" not in plain

    @pytest.mark.parametrize(
        "position, value, argument",
        [
            (0, b"q", "query_text"),
            (1, (), "results"),
            (2, [], "matches"),
            (3, ("table:activity",), "tables"),
            (4, ["column:activity.name", 5], "columns"),
            (5, None, "concepts"),
            (6, "rule:NegFloat", "rules"),
            (7, 5, "sql"),
            (8, {"table:activity": 1}, "all_tables"),
        ],
    )
    def test_wrong_types_name_the_argument(self, service, position, value, argument):
        args = ["q", [], {}, [], [], [], [], None, None]
        args[position] = value
        with pytest.raises(TypeError, match=argument):
            service.generate_output(*args)

    def test_missing_node_id_is_a_key_error_naming_it(self, service):
        with pytest.raises(KeyError) as err:
            output(service, ["table:activity"], ["column:activity.ghost"])
        assert err.value.args == ("column:activity.ghost",)

    def test_reading_a_node_needs_a_graph(self):
        s = AtlanorService()
        assert output(s)["database_objects"] == {"tables": [], "columns": [], "concepts": []}
        with pytest.raises(ValueError, match="Graph not built. Call build_graph first."):
            output(s, ["table:activity"])


class TestContextRecord:
    def test_key_order_entries_and_statistics(self, service):
        out = output(service, ["table:activity", "table:project"],
                     ["column:activity.name", "column:activity.total_float"], ["concept:slack"],
                     ["rule:NegFloat"])
        assert list(out) == ["query", "database_objects", "business_rules", "relationships", "column_statistics"]
        assert out["database_objects"]["columns"][1] == {
            "id": "column:activity.total_float",
            "name": "activity.total_float",
            "data_type": "REAL",
            "description": "Total float | days",
        }
        assert out["database_objects"]["concepts"] == [
            {"id": "concept:slack", "name": "slack", "description": "Room before the end moves"}
        ]
        assert out["business_rules"] == [{"id": "rule:NegFloat", "description": "NegFloat: negative float means late"}]
        assert out["relationships"] == [
            {
                "source": "activity",
                "target": "project",
                "join_condition": "activity.project_id = project.id",
                "description": "Activity belongs to project",
            }
        ]
        assert out["column_statistics"] == {"activity.total_float": {"min": -5, "max": 12.5}}
        # the graph's own statistics value, not a copy
        assert out["column_statistics"]["activity.total_float"] is \
            service.graph.nodes["column:activity.total_float"]["statistics"]
        json.dumps(out)  # plain host values all the way down

    def test_duplicates_are_kept(self, service):
        out = output(service, ["table:risk", "table:risk"], rules=["rule:NegFloat", "rule:NegFloat"])
        assert [t["name"] for t in out["database_objects"]["tables"]] == ["risk", "risk"]
        assert len(out["business_rules"]) == 2

    def test_found_tables_serve_the_second_stage(self, service):
        # activity -> project runs from the chosen table: listed from the graph.
        out = output(service, ["table:activity"], all_tables=["table:activity", "table:project"])
        assert [(r["source"], r["target"]) for r in out["relationships"]] == [("activity", "project")]

    def test_third_stage_reads_the_services_metadata(self, service):
        # project has no edge of its own; the document's relationships touching it are listed.
        out = output(service, ["table:project"], all_tables=["table:project", "table:activity"])
        assert [(r["source"], r["target"]) for r in out["relationships"]] == [
            ("activity", "project"),
            ("risk", "project"),
        ]
        service.metadata = {"relationships": [{"from_table": "project", "to_table": "x", "join_condition": "c"}]}
        with pytest.raises(KeyError) as err:
            output(service, ["table:project"])
        assert err.value.args == ("description",)
        service.metadata = {}
        assert output(service, ["table:project"])["relationships"] == []


SMALL_RECORD = {
    "query": "Which activities are late?",
    "database_objects": {
        "tables": [{"id": "table:activity", "name": "activity", "description": "Activities"}],
        "columns": [
            {"id": "column:activity.total_float", "name": "activity.total_float", "data_type": "REAL",
             "description": "Float | days"}
        ],
        "concepts": [],
    },
    "business_rules": [{"id": "rule:R1", "description": "R1: late when negative"}, {"id": "rule:R2", "description": "R2"}],
    "relationships": [
        {"source": "activity", "target": "project", "join_condition": "activity.pid = project.id", "description": ""},
        {"source": "risk", "target": "project", "join_condition": "risk.pid = project.id", "description": "Risk of"},
    ],
    "column_statistics": {"activity.total_float": {"min": -5}},
    "ai_enhanced": {"keywords": ["late"], "business_domains": ["scheduling", "risk"], "enhanced_query": "Late ones"},
}

SMALL_MARKDOWN = (
    "# Database Context for Query: Which activities are late?\n\n"
    "## AI Enhanced Query\n\n"
    "Late ones\n\n"
    "**Business Domains**: scheduling, risk\n\n"
    "## Relevant Tables\n\n"
    "### activity\n\n"
    "Activities\n\n"
    "## Relevant Columns\n\n"
    "| Column | Data Type | Description |\n"
    "| ------ | --------- | ----------- |\n"
    "| activity.total_float | REAL | Float | days |\n"
    "\n"
    "## Table Relationships\n\n"
    "* **activity** \u2192 **project**\n"
    "  * Join condition: `activity.pid = project.id`\n"
    "* **risk** \u2192 **project**\n"
    "  * Join condition: `risk.pid = project.id`\n"
    "  * Description: Risk of\n"
    "\n"
    "## Business Rules\n\n"
    "* R1: late when negative\n"
    "* R2\n"
    "\n"
)


class TestMarkdown:
    def test_small_record(self):
        record = copy.deepcopy(SMALL_RECORD)
        assert AtlanorService().format_as_markdown(record) == SMALL_MARKDOWN
        assert AtlanorService().format_as_markdown(output_data=record) == SMALL_MARKDOWN
        assert record == SMALL_RECORD  # not changed

    def test_empty_record_is_the_title_and_a_blank_line(self):
        record = {"query": "x", "database_objects": {"tables": [], "columns": [], "concepts": []},
                  "business_rules": [], "ai_enhanced": {"enhanced_query": "", "business_domains": ["d"]}}
        assert AtlanorService().format_as_markdown(record) == "# Database Context for Query: x\n\n"

    def test_renders_a_generated_record(self, service):
        out = output(service, ["table:risk"], rules=["rule:NegFloat"])
        assert service.format_as_markdown(out) == (
            "# Database Context for Query: q\n\n"
            "## Relevant Tables\n\n### risk\n\nRisks\n\n"
            "## Table Relationships\n\n"
            "* **risk** \u2192 **project**\n  * Join condition: `risk.pid = project.id`\n\n"
            "## Business Rules\n\n* NegFloat: negative float means late\n\n"
        )

    def test_non_text_values_take_their_plain_text_form(self):
        record = {"query": 12, "database_objects": {"tables": [{"name": "t", "description": 2.5}], "columns": [],
                                                    "concepts": []}, "business_rules": [{"description": None}]}
        assert AtlanorService().format_as_markdown(record) == (
            "# Database Context for Query: 12\n\n## Relevant Tables\n\n### t\n\n2.5\n\n## Business Rules\n\n* None\n\n"
        )

    def test_wrong_type_and_missing_keys(self):
        s = AtlanorService()
        with pytest.raises(TypeError, match="output_data"):
            s.format_as_markdown([])
        record = copy.deepcopy(SMALL_RECORD)
        del record["relationships"][1]["target"]
        with pytest.raises(KeyError) as err:
            s.format_as_markdown(record)
        assert err.value.args == ("target",)
        with pytest.raises(KeyError) as err:
            s.format_as_markdown({"query": "q"})
        assert err.value.args == ("database_objects",)
