"""SQL of AtlanorService as the host sees it: generate_sql, generate_sql_from_nl
and _get_schema_summary, with their parameters, defaults, errors and messages."""

import copy

import pytest

from Corvalt.Atlanor import AtlanorService

DOC = {
    "tables": {
        "projects": {
            "description": "Projects",
            "domain": "portfolio",
            "columns": {"project_code": {"description": "Short code", "data_type": "TEXT"}},
        },
        "activities": {
            "description": "Schedule activities",
            "domain": "scheduling",
            "columns": {
                "project_id": {"description": "Owning project", "data_type": "INTEGER"},
                "start_date": {"description": "Planned start", "data_type": "TEXT"},
            },
        },
        "calendars": {"description": "Work calendars", "domain": "calendar", "columns": {}},
    },
    "relationships": [
        {
            "from_table": "activities",
            "to_table": "projects",
            "join_condition": "activities.project_id = projects.project_id",
            "description": "Activities of a project",
        }
    ],
    "query_examples": [
        {
            "query": "SELECT * FROM activities WHERE start_date > '2024-11-01' LIMIT 10;",
            "description": "Critical activities starting soon",
        },
        {"query": "SELECT * FROM tasks t WHERE t.is_critical = 1", "description": "Critical path activities"},
        {"query": "SELECT code FROM projects WHERE critical_flag = 1 limit 5", "description": "Marked projects"},
    ],
}


def make_service(doc=DOC, **kw):
    s = AtlanorService(**kw)
    s.metadata = copy.deepcopy(doc)
    s.build_graph()
    return s


@pytest.fixture
def service():
    return make_service()


class TestGenerateSql:
    def test_positional_keyword_and_default(self, service):
        expected = (
            "SELECT p.*, a.*\n"
            "FROM projects p\n"
            "JOIN activities a ON a.project_id = p.project_id\n"
            "WHERE activities.start_date = ?"
        )
        tables = ["table:projects", "table:activities"]
        conditions = ["column:activities.start_date", "table:calendars"]
        assert service.generate_sql(tables, conditions) == expected
        assert service.generate_sql(condition_nodes=conditions, table_nodes=tables) == expected
        without = service.generate_sql(tables)
        assert without == service.generate_sql(tables, None) == service.generate_sql(tables, [])
        assert "WHERE" not in without

    def test_missing_join_and_no_tables(self, service):
        assert service.generate_sql(["table:projects", "table:calendars"]) == (
            "SELECT p.*, c.*\nFROM projects p\nJOIN calendars c ON /* Missing join condition - verify relationship */"
        )
        assert service.generate_sql([]) == "No tables selected for query"

    @pytest.mark.parametrize(
        "kwargs, argument",
        [
            ({"table_nodes": ("table:projects",)}, "table_nodes"),
            ({"table_nodes": "table:projects"}, "table_nodes"),
            ({"table_nodes": [1]}, "table_nodes"),
            ({"table_nodes": [], "condition_nodes": "column:x"}, "condition_nodes"),
            ({"table_nodes": [], "condition_nodes": [None]}, "condition_nodes"),
        ],
    )
    def test_wrong_types_name_the_argument(self, service, kwargs, argument):
        with pytest.raises(TypeError, match=argument):
            service.generate_sql(**kwargs)

    def test_condition_lookup_errors(self, service):
        with pytest.raises(KeyError) as err:
            service.generate_sql(["table:projects"], ["column:projects.ghost"])
        assert err.value.args == ("column:projects.ghost",)
        # A relationship to an unknown table leaves a node without attributes.
        bare = make_service({**DOC, "relationships": DOC["relationships"]
                             + [{"from_table": "projects", "to_table": "ghost", "join_condition": "j",
                                 "description": ""}]})
        with pytest.raises(KeyError) as err:
            bare.generate_sql(["table:projects"], ["table:ghost"])
        assert err.value.args == ("type",)

    def test_needs_a_graph(self):
        with pytest.raises(ValueError, match=r"^Graph not built\. Call build_graph first\.$"):
            AtlanorService().generate_sql([])


class TestSqlFromExamples:
    def test_ties_go_to_the_earlier_example_and_limit_goes(self, service):
        # The first two examples score 5 each (2 + 2 in the description, 1 in the
        # query); the third scores 1 for "critical" inside critical_flag.
        assert service.generate_sql_from_nl("critical activities") == "SELECT * FROM activities WHERE start_date > ?"
        assert service.generate_sql_from_nl(natural_language_query="critical activities") == (
            "SELECT * FROM activities WHERE start_date > ?"
        )

    def test_query_hits_count_once_description_hits_twice(self, service):
        # "flag" is only in the third query: 1 is enough to pick a template.
        assert service.generate_sql_from_nl("flag") == "SELECT code FROM projects WHERE critical_flag = 1"
        # "path" adds 2 to the second example only: 2 + 2 + 1 beats 2 and 1.
        assert service.generate_sql_from_nl("critical path") == "SELECT * FROM tasks t WHERE t.is_critical = 1"

    @pytest.mark.parametrize(
        "question, kept",
        [
            ("critical activities", False),
            ("critical activities by start date", True),
            ("critical activities for TODAY", True),
            ("critical activities in 3 days", True),
            ("critical activities after the update", True),
        ],
    )
    def test_dates_stay_when_dates_or_days_are_asked_for(self, service, question, kept):
        sql = service.generate_sql_from_nl(question)
        assert ("'2024-11-01'" in sql) is kept
        assert sql.endswith("'2024-11-01'" if kept else "> ?")

    def test_assembled_statement_when_no_example_shares_a_keyword(self, service):
        assert service.generate_sql_from_nl("calendars") == "SELECT c.*\nFROM calendars c"
        assert service.generate_sql_from_nl("why not?") == "No tables selected for query"

    def test_verbose_messages(self, capsys):
        s = make_service(verbose=True)
        capsys.readouterr()
        s.generate_sql_from_nl("Activities  it's ÉTÉS lag")
        assert capsys.readouterr().out == (
            "Extracted keywords: ['activities', \"it's\", 'étés']\n"
            "Using template query: SELECT * FROM activities WHERE start_date > '2024-11-01' LIMIT 10;\n"
        )
        s.verbose = False
        s.generate_sql_from_nl("critical")
        assert capsys.readouterr().out == ""

    def test_argument_type_and_graph(self, service):
        with pytest.raises(TypeError, match="natural_language_query"):
            service.generate_sql_from_nl(None)
        with pytest.raises(ValueError, match="Graph not built"):
            AtlanorService().generate_sql_from_nl("critical")


class RecordingAI:
    """An AI service that fails the test if the SQL step sends it anything."""

    def __init__(self, truth=True):
        self.truth = truth
        self.calls = []

    def __bool__(self):
        return self.truth

    def get_response(self, prompt):
        self.calls.append(prompt)

    def get_response_sync(self, prompt):
        self.calls.append(prompt)

    def run(self, prompt):
        self.calls.append(prompt)

    def clear_history(self):
        self.calls.append(None)


class TestAiContextGuard:
    BROKEN = {"tables": {"projects": "not a table record"}}

    def test_no_request_is_made(self, capsys):
        ai = RecordingAI()
        s = make_service(verbose=True, mindloom=ai)
        capsys.readouterr()
        assert s.generate_sql_from_nl("critical activities") == "SELECT * FROM activities WHERE start_date > ?"
        assert ai.calls == []
        assert "AI SQL generation failed" not in capsys.readouterr().out

    def test_a_summary_failure_is_reported_before_the_rules_answer(self, capsys):
        s = make_service(verbose=True, mindloom=RecordingAI())
        s.metadata = self.BROKEN
        capsys.readouterr()
        assert s.generate_sql_from_nl("critical activities") == "SELECT * FROM activities WHERE start_date > ?"
        lines = capsys.readouterr().out.splitlines()
        assert lines[0].startswith("AI SQL generation failed: ")
        assert lines[0].endswith(". Falling back to rule-based approach.")
        assert lines[1] == "Extracted keywords: ['critical', 'activities']"

    @pytest.mark.parametrize("ai", [RecordingAI(truth=False), object(), None])
    def test_no_guard_without_a_true_ai_that_has_get_response(self, capsys, ai):
        s = make_service(verbose=True, mindloom=ai)
        s.metadata = self.BROKEN
        capsys.readouterr()
        s.generate_sql_from_nl("critical")
        assert "AI SQL generation failed" not in capsys.readouterr().out


class TestSchemaSummary:
    def test_empty_without_metadata(self):
        s = AtlanorService()
        assert s._get_schema_summary() == {}
        s.metadata = {}
        assert s._get_schema_summary() == {}

    def test_whole_document(self, service):
        summary = service._get_schema_summary()
        assert list(summary) == ["tables", "relationships"]
        assert list(summary["tables"]) == ["projects", "activities", "calendars"]
        assert summary["tables"]["activities"] == {
            "description": "Schedule activities",
            "columns": {
                "project_id": {"description": "Owning project", "data_type": "INTEGER"},
                "start_date": {"description": "Planned start", "data_type": "TEXT"},
            },
        }
        assert summary["relationships"] == [
            {"from_table": "activities", "to_table": "projects",
             "join_condition": "activities.project_id = projects.project_id"}
        ]

    def test_missing_parts_default_to_empty(self):
        s = AtlanorService()
        s.metadata = {"tables": {"t": {"domain": "x"}, "u": {"columns": {"c": {"description": "C"}}}},
                      "keywords": {}}
        assert s._get_schema_summary() == {
            "tables": {"t": {"description": "", "columns": {}},
                       "u": {"description": "", "columns": {"c": {"description": "C", "data_type": ""}}}},
            "relationships": [],
        }
        s.metadata = {"relationships": [{"to_table": "b", "description": "dropped"}]}
        assert s._get_schema_summary() == {
            "tables": {}, "relationships": [{"from_table": "", "to_table": "b", "join_condition": ""}]
        }

    def test_wrong_section_shape_raises(self):
        s = AtlanorService()
        s.metadata = {"tables": ["t"]}
        with pytest.raises(TypeError):
            s._get_schema_summary()
