#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"

using namespace corvalt;
using atlanor::AtlanorService;
using atlanor::KnowledgeGraph;

namespace {

using Ids = std::vector<std::string>;

struct SqlFixture {
  std::shared_ptr<Graph> graph = std::make_shared<Graph>();
  AtlanorService service;

  void table(const std::string& name) {
    graph->add_node("table:" + name, Record{{"type", "table"}, {"name", name}});
  }
  void edge(const std::string& from, const std::string& to, const Record& attrs) {
    graph->add_edge("table:" + from, "table:" + to, attrs);
  }
  std::string sql(const Ids& tables, const Ids* conditions = nullptr) {
    service.set_graph(KnowledgeGraph::from(graph));
    return service.generate_sql(tables, conditions);
  }
};

Record on(const char* condition) {
  return Record{{"relationship", "related_to"}, {"join_condition", condition}};
}

}  // namespace

TEST(GenerateSql, NeedsAGraphEvenForAnEmptyTableList) {
  AtlanorService service;
  try {
    service.generate_sql({}, nullptr);
    FAIL() << "no error";
  } catch (const ValueError& e) {
    EXPECT_STREQ(e.what(), "Graph not built. Call build_graph first.");
  }
  SqlFixture f;
  EXPECT_EQ(f.sql({}), "No tables selected for query");
}

TEST(GenerateSql, OneTableIsTwoLinesWithoutFinalBreakOrSemicolon) {
  SqlFixture f;
  f.table("Projects");
  EXPECT_EQ(f.sql({"table:Projects"}), "SELECT p.*\nFROM Projects p");
}

TEST(GenerateSql, AliasesNumberRepeatsOfAnInitialLetter) {
  SqlFixture f;
  for (const char* t : {"ORDERS", "OWNERS", "ORDER_ITEMS", "customers", "OFFICES"}) f.table(t);
  std::string sql = f.sql({"table:ORDERS", "table:OWNERS", "table:ORDER_ITEMS", "table:customers",
                           "table:OFFICES"});
  EXPECT_EQ(sql.substr(0, sql.find('\n')), "SELECT o.*, o1.*, o2.*, c.*, o3.*");
}

TEST(GenerateSql, AliasOfANonAsciiInitialIsLowerCased) {
  SqlFixture f;
  f.table("Ärzte");
  f.table("äpfel");
  std::string sql = f.sql({"table:Ärzte", "table:äpfel"});
  EXPECT_EQ(sql.substr(0, sql.find('\n')), "SELECT ä.*, ä1.*");
}

TEST(GenerateSql, TableListedTwiceKeepsItsPlaceWithTheNewerAlias) {
  SqlFixture f;
  f.table("a");
  f.table("b");
  EXPECT_EQ(f.sql({"table:a", "table:b", "table:a"}),
            "SELECT a1.*, b.*\nFROM a a1\n"
            "JOIN b b ON /* Missing join condition - verify relationship */\n"
            "JOIN a a1 ON /* Missing join condition - verify relationship */");
}

TEST(GenerateSql, JoinExampleWithConditionAndWhere) {
  SqlFixture f;
  f.table("ORDERS");
  f.table("CUSTOMERS");
  f.graph->add_node("column:ORDERS.status", Record{{"type", "column"}});
  f.edge("ORDERS", "CUSTOMERS", on("ORDERS.customer_id = CUSTOMERS.id"));
  Ids conditions{"column:ORDERS.status"};
  EXPECT_EQ(f.sql({"table:ORDERS", "table:CUSTOMERS"}, &conditions),
            "SELECT o.*, c.*\nFROM ORDERS o\nJOIN CUSTOMERS c ON o.customer_id = c.id\n"
            "WHERE ORDERS.status = ?");
}

TEST(GenerateSql, JoinSearchesAllEarlierTablesForwardThenReverse) {
  SqlFixture f;
  for (const char* t : {"a", "b", "c"}) f.table(t);
  f.edge("c", "a", on("c.a_id = a.id"));  // the third table links only to the first, reversed
  f.edge("a", "b", on("a.id = b.a_id"));
  EXPECT_EQ(f.sql({"table:a", "table:b", "table:c"}),
            "SELECT a.*, b.*, c.*\nFROM a a\nJOIN b b ON a.id = b.a_id\nJOIN c c ON c.a_id = a.id");

  // With edges to both earlier tables the first earlier table wins, and for
  // that table the forward edge is taken before the reverse one.
  f.edge("a", "c", on("FORWARD a.x = c.x"));
  f.edge("b", "c", on("b.x = c.x"));
  std::string sql = f.sql({"table:a", "table:b", "table:c"});
  EXPECT_EQ(sql.substr(sql.rfind('\n') + 1), "JOIN c c ON FORWARD a.x = c.x");
}

TEST(GenerateSql, EdgeWithoutJoinConditionCountsAsNone) {
  SqlFixture f;
  f.table("a");
  f.table("b");
  f.edge("a", "b", Record{{"relationship", "related_to"}});
  f.edge("b", "a", Record{});
  EXPECT_EQ(f.sql({"table:a", "table:b"}),
            "SELECT a.*, b.*\nFROM a a\nJOIN b b ON /* Missing join condition - verify relationship */");
}

TEST(GenerateSql, ConditionRewritesEveryAliasedTableByPlainReplacement) {
  SqlFixture f;
  f.table("task");
  f.table("subtask");
  f.table("project");
  // "subtask." contains "task.": the plain replacement of task first rewrites
  // it too, and project (a third table) is rewritten although not joined here.
  f.edge("task", "subtask", on("task.id = subtask.task_id AND project.id = 1"));
  EXPECT_EQ(f.sql({"table:task", "table:subtask", "table:project"}),
            "SELECT t.*, s.*, p.*\nFROM task t\nJOIN subtask s ON t.id = subt.task_id AND p.id = 1\n"
            "JOIN project p ON /* Missing join condition - verify relationship */");
}

TEST(GenerateSql, WhereKeepsColumnsOnlyAndTableQualifiedNames) {
  SqlFixture f;
  f.table("a");
  f.graph->add_node("column:a.x", Record{{"type", "column"}});
  f.graph->add_node("column:a.y", Record{{"type", "column"}});
  f.graph->add_node("concept:c", Record{{"type", "concept"}});
  Ids conditions{"table:a", "column:a.x", "concept:c", "column:a.y"};
  EXPECT_EQ(f.sql({"table:a"}, &conditions), "SELECT a.*\nFROM a a\nWHERE a.x = ? AND a.y = ?");
  Ids no_columns{"table:a", "concept:c"};
  Ids empty;
  EXPECT_EQ(f.sql({"table:a"}, &no_columns), "SELECT a.*\nFROM a a");
  EXPECT_EQ(f.sql({"table:a"}, &empty), f.sql({"table:a"}));
}

TEST(GenerateSql, ConditionLookupErrorsNameTheMissingKey) {
  SqlFixture f;
  f.table("a");
  f.graph->add_node("column:a.bare", Record{});
  auto key_of = [&](const Ids& conditions) {
    try {
      f.sql({"table:a"}, &conditions);
    } catch (const KeyError& e) {
      return e.key();
    }
    return std::string("no error");
  };
  EXPECT_EQ(key_of({"column:a.ghost"}), "column:a.ghost");
  EXPECT_EQ(key_of({"column:a.bare"}), "type");
}

// ---- SQL from examples -------------------------------------------------------

namespace {

struct NlFixture {
  std::vector<std::string> lines;
  AtlanorService service{Console([this](std::string_view l) { lines.emplace_back(l); })};

  explicit NlFixture(const char* doc) { service.build_graph(json::parse(doc)); }
  std::string sql(const std::string& question) { return service.generate_sql_from_nl(question); }
};

const char* kExamples = R"({
  "tables": {"activities": {"description": "Activities", "domain": "s", "columns": {
      "start_date": {"description": "Start", "data_type": "TEXT"}}}},
  "query_examples": [
    {"query": "SELECT 1 FROM activities WHERE d = '2024-01-31' LIMIT 10;", "description": "first critical"},
    {"query": "SELECT 2 FROM activities", "description": "second critical"},
    {"query": "SELECT 3 FROM activities WHERE x = 'critical'", "description": "third"},
    {"query": "SELECT 4\nlimit 5 ; tail", "description": "lagging example"}]
})";

}  // namespace

TEST(SqlFromExamples, TiesGoToTheEarlierExample) {
  NlFixture f(kExamples);
  // "critical" hits examples 0 and 1 in their descriptions (2 each) and
  // example 2 in its query (1).
  EXPECT_EQ(f.sql("critical work"), "SELECT 1 FROM activities WHERE d = ?");
}

TEST(SqlFromExamples, DescriptionHitsScoreTwoQueryHitsOneAndDuplicatesCount) {
  NlFixture f(R"({"tables": {}, "query_examples": [
      {"query": "q", "description": "float report"},
      {"query": "float float", "description": "other"},
      {"query": "float", "description": "float"}]})");
  // float: 2 / 1 / 3 -> the third example.
  EXPECT_EQ(f.sql("float"), "float");
  // A repeated keyword counts again: 4 / 2 / 6, still the third.
  EXPECT_EQ(f.sql("float float"), "float");
  // A query-only hit is enough to select a template.
  NlFixture g(R"({"tables": {}, "query_examples": [{"query": "SELECT lagging", "description": "x"}]})");
  EXPECT_EQ(g.sql("LAGGING"), "SELECT lagging");
}

TEST(SqlFromExamples, ShortWordsAreNoKeywords) {
  NlFixture f(R"({"tables": {}, "query_examples": [{"query": "lag", "description": "lag"}]})");
  EXPECT_EQ(f.sql("lag lag"), "No tables selected for query");
  // Four code points, six bytes: a keyword.
  NlFixture g(R"({"tables": {}, "query_examples": [{"query": "x", "description": "ärzé"}]})");
  EXPECT_EQ(g.sql("ÄRZÉ"), "x");
}

TEST(SqlFromExamples, DatesStayOnlyWhenTheQuestionSpeaksOfDatesOrDays) {
  NlFixture f(R"({"tables": {}, "query_examples": [
      {"query": "SELECT * FROM t WHERE a = '2024-01-31' AND b = '2024-1-31' AND c = 2024-01-31",
       "description": "critical"}]})");
  EXPECT_EQ(f.sql("critical things"),
            "SELECT * FROM t WHERE a = ? AND b = '2024-1-31' AND c = 2024-01-31");
  for (const char* q : {"critical today", "critical DATES", "critical on Monday", "critical update"})
    EXPECT_EQ(f.sql(q), "SELECT * FROM t WHERE a = '2024-01-31' AND b = '2024-1-31' AND c = 2024-01-31")
        << q;
}

TEST(SqlFromExamples, LimitClausesAreRemovedInAnyCase) {
  NlFixture f(kExamples);
  EXPECT_EQ(f.sql("lagging"), "SELECT 4 tail");
  NlFixture g(R"({"tables": {}, "query_examples": [
      {"query": "SELECT a FROM t LIMIT 10; SELECT b FROM t limit 3", "description": "twice"}]})");
  EXPECT_EQ(g.sql("twice"), "SELECT a FROM t SELECT b FROM t");
}

TEST(SqlFromExamples, VerboseReportsKeywordsAndTemplate) {
  NlFixture f(kExamples);
  f.sql("critical work it's");
  f.service.verbose = true;
  f.sql("Critical work it's");
  ASSERT_EQ(f.lines.size(), 2u);
  EXPECT_EQ(f.lines[0], "Extracted keywords: ['critical', 'work', \"it's\"]");
  EXPECT_EQ(f.lines[1],
            "Using template query: SELECT 1 FROM activities WHERE d = '2024-01-31' LIMIT 10;");
}

TEST(SqlFromExamples, WithoutExampleMatchTheStatementIsAssembledFromTheSearch) {
  NlFixture f(R"({"tables": {
      "projects": {"description": "Projects", "domain": "s", "columns": {
          "code": {"description": "Code", "data_type": "TEXT"}}},
      "activities": {"description": "Activities", "domain": "s", "columns": {
          "project_id": {"description": "Project", "data_type": "INT"}}}},
    "relationships": [{"from_table": "activities", "to_table": "projects",
                       "join_condition": "activities.project_id = projects.id", "description": ""}],
    "query_examples": [{"query": "SELECT 1", "description": "unrelated"}]})");
  // Every table and column node scores 5 on its id; ties keep graph order,
  // and each found column becomes a placeholder test.
  EXPECT_EQ(f.sql("activities projects"),
            "SELECT p.*, a.*\nFROM projects p\nJOIN activities a ON a.project_id = p.id\n"
            "WHERE projects.code = ? AND activities.project_id = ?");
  EXPECT_EQ(f.sql("zzzz"), "No tables selected for query");
}

TEST(SqlFromExamples, ExampleWithoutDescriptionFails) {
  AtlanorService service;
  auto graph = std::make_shared<Graph>();
  graph->add_node("example:0", Record{{"type", "example"}, {"query", "SELECT 1"}});
  service.set_graph(KnowledgeGraph::from(graph));
  try {
    service.generate_sql_from_nl("anything");
    FAIL() << "no KeyError";
  } catch (const KeyError& e) {
    EXPECT_EQ(e.key(), "description");
  }
}

namespace {

class FakeAi : public AiService {
 public:
  bool has_get_response = true;
  bool truthy() const override { return true; }
  bool has_attribute(std::string_view name) const override {
    return has_get_response && name == "get_response";
  }
  std::string run(const std::string&) override { throw HostError("no request expected"); }
  void clear_history() override { throw HostError("no request expected"); }
  std::string get_response_sync(const std::string&) override {
    throw HostError("no request expected");
  }
};

}  // namespace

TEST(SqlFromExamples, AiContextFailureIsReportedAndTheRulesStillAnswer) {
  NlFixture f(kExamples);
  f.service.ai = std::make_shared<FakeAi>();
  f.service.verbose = true;
  // A document whose tables section cannot be summarised.
  f.service.set_metadata(json::parse(R"({"tables": {"t": {"columns": {"c": 5}}}})"));
  EXPECT_EQ(f.sql("critical"), "SELECT 1 FROM activities WHERE d = ?");
  ASSERT_EQ(f.lines.size(), 3u);
  EXPECT_EQ(f.lines[0].rfind("AI SQL generation failed: ", 0), 0u);
  EXPECT_EQ(f.lines[0].substr(f.lines[0].size() - 38), ". Falling back to rule-based approach.");
  EXPECT_EQ(f.lines[1], "Extracted keywords: ['critical']");

  // A summarisable document, or a service without get_response: no message.
  f.lines.clear();
  f.service.set_metadata(json::parse(kExamples));
  f.sql("critical");
  EXPECT_EQ(f.lines.size(), 2u);
  std::static_pointer_cast<FakeAi>(f.service.ai)->has_get_response = false;
  f.service.set_metadata(json::parse(R"({"tables": []})"));
  f.lines.clear();
  f.sql("critical");
  EXPECT_EQ(f.lines.size(), 2u);
}

// ---- Schema summary ------------------------------------------------------------

TEST(SchemaSummary, EmptyWithoutADocument) {
  AtlanorService service;
  EXPECT_TRUE(service.get_schema_summary()->empty());
  service.set_metadata(json::parse("{}"));
  EXPECT_TRUE(service.get_schema_summary()->empty());
}

TEST(SchemaSummary, TablesColumnsAndRelationshipsWithDefaults) {
  AtlanorService service;
  service.set_metadata(json::parse(R"({
    "relationships": [{"from_table": "a", "to_table": "b", "join_condition": "a.x = b.x",
                       "description": "left out"}, {"to_table": "c"}],
    "tables": {"b": {"domain": "s", "row_count": 3},
               "a": {"description": "A", "columns": {"x": {"description": "X", "statistics": {}},
                                                      "y": {"data_type": "INT"}}}},
    "business_concepts": {"c": {}}})"));
  EXPECT_EQ(json::dump_compact(Value(service.get_schema_summary())),
            R"({"tables": {"b": {"description": "", "columns": {}}, )"
            R"("a": {"description": "A", "columns": {"x": {"description": "X", "data_type": ""}, )"
            R"("y": {"description": "", "data_type": "INT"}}}}, )"
            R"("relationships": [{"from_table": "a", "to_table": "b", "join_condition": "a.x = b.x"}, )"
            R"({"from_table": "", "to_table": "c", "join_condition": ""}]})");

  service.set_metadata(json::parse(R"({"query_examples": []})"));
  EXPECT_EQ(json::dump_compact(Value(service.get_schema_summary())),
            R"({"tables": {}, "relationships": []})");
}
