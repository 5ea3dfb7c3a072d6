#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"

using namespace corvalt;
using atlanor::AtlanorService;

namespace {

const char* kDoc = R"({
  "tables": {
    "activity": {"description": "Activities", "domain": "scheduling", "columns": {
      "total_float": {"description": "Total float", "data_type": "REAL",
                      "business_rules": ["R1: text A", "No colon rule"],
                      "related_business_rules": [{"name": "R2", "description": "second"}],
                      "concepts": ["total_float", "unknown_concept"], "statistics": {"min": -3}},
      "Free_Float": {"description": "Free float", "data_type": "REAL", "indexed": true,
                     "business_rules": ["R1: text B"]}}},
    "activity_relationship": {"description": "Links", "domain": "scheduling", "row_count": 7,
      "columns": {"lag": {"description": "Lag", "data_type": "INT"}}}
  },
  "relationships": [
    {"from_table": "activity_relationship", "to_table": "activity", "join_condition": "j1", "description": "d1"},
    {"from_table": "activity_relationship", "to_table": "activity", "join_condition": "j2", "description": "d2"},
    {"from_table": "ghost", "to_table": "activity", "join_condition": "j3", "description": "d3"}],
  "business_concepts": {"total_float": {"description": "TF"}, "orphan": {"description": "never named"}},
  "query_examples": [{"query": "SELECT * FROM ACTIVITY_RELATIONSHIP", "description": "links"}],
  "keywords": {"float": ["activity.total_float", "total_float", "activity", "activity",
                         "Activity.total_float", "orphan", "nothing"]},
  "terminology": {"FLOAT": "slack"}
})";

struct Built {
  std::vector<std::string> lines;
  AtlanorService service{Console([this](std::string_view l) { lines.emplace_back(l); })};
};

std::vector<std::string> successor_ids(const Graph& g, std::string_view id) {
  std::vector<std::string> out;
  for (const auto& e : g.successors(g.index_of(id))) out.emplace_back(g.id(e.target));
  return out;
}

}  // namespace

TEST(BuildGraph, NodesFollowTheDocumentOrder) {
  Built b;
  b.service.verbose = true;
  auto kg = b.service.build_graph(json::parse(kDoc));
  const Graph& g = *kg->graph;
  std::vector<std::string> order;
  for (Graph::Index i = 0; i < g.node_count(); ++i) order.emplace_back(g.id(i));
  EXPECT_EQ(order, (std::vector<std::string>{
                       "table:activity", "column:activity.total_float", "rule:R1",
                       "rule:No colon rule", "rule:R2", "concept:total_float",
                       "concept:unknown_concept", "column:activity.Free_Float",
                       "table:activity_relationship", "column:activity_relationship.lag",
                       "table:ghost", "example:0", "keyword:float", "term:FLOAT"}));
  ASSERT_EQ(b.lines.size(), 1u);
  EXPECT_EQ(b.lines[0], "Graph built with 14 nodes and " + std::to_string(g.edge_count()) + " edges");
}

TEST(BuildGraph, AttributesDefaultsAndFirstDefinitionsWin) {
  Built b;
  const Graph& g = *b.service.build_graph(json::parse(kDoc))->graph;
  const Record& table = g.attrs(g.index_of("table:activity"));
  EXPECT_EQ(table.at("row_count"), Value(0));
  EXPECT_EQ(g.attrs(g.index_of("table:activity_relationship")).at("row_count"), Value(7));
  const Record& col = g.attrs(g.index_of("column:activity.total_float"));
  EXPECT_EQ(col.at("indexed"), Value(false));
  EXPECT_TRUE(col.contains("statistics"));
  EXPECT_FALSE(g.attrs(g.index_of("column:activity.Free_Float")).contains("statistics"));
  EXPECT_EQ(g.attrs(g.index_of("rule:R1")).at("description"), Value("R1: text A"));
  EXPECT_EQ(g.attrs(g.index_of("rule:No colon rule")).at("name"), Value("No colon rule"));
  EXPECT_EQ(g.attrs(g.index_of("concept:total_float")).at("description"), Value("TF"));
  EXPECT_EQ(g.attrs(g.index_of("concept:unknown_concept")).at("description"), Value(""));
  EXPECT_TRUE(g.attrs(g.index_of("table:ghost")).empty());
  EXPECT_FALSE(g.attrs(g.index_of("example:0")).contains("name"));
  EXPECT_EQ(g.attrs(g.index_of("example:0")).at("complexity"), Value("simple"));
  // R1 is governed twice (two columns), described by its first string
  EXPECT_EQ(successor_ids(g, "column:activity.Free_Float"), (std::vector<std::string>{"rule:R1"}));
}

TEST(BuildGraph, EdgesRelationshipsExamplesKeywordsAndTerms) {
  Built b;
  const Graph& g = *b.service.build_graph(json::parse(kDoc))->graph;
  const Record* rel = g.edge_data("table:activity_relationship", "table:activity");
  ASSERT_NE(rel, nullptr);
  EXPECT_EQ(rel->at("join_condition"), Value("j2"));  // the second record updates the edge
  EXPECT_EQ(rel->item(0).second, Value("related_to"));
  EXPECT_EQ(g.edge_data("table:activity", "table:activity_relationship"), nullptr);
  // substring test: activity_relationship's SQL also references activity
  EXPECT_EQ(successor_ids(g, "example:0"),
            (std::vector<std::string>{"table:activity", "table:activity_relationship"}));
  // exact, case-sensitive ids; concepts only when a column named them; unknown targets skipped
  EXPECT_EQ(successor_ids(g, "keyword:float"),
            (std::vector<std::string>{"column:activity.total_float", "concept:total_float",
                                      "table:activity"}));
  const Value* kw = g.attrs(g.index_of("table:activity")).find("keywords");
  ASSERT_NE(kw, nullptr);
  EXPECT_EQ(kw->as_list().size(), 2u);  // listed twice, appended twice
  EXPECT_FALSE(g.has_node("concept:orphan"));
  EXPECT_EQ(successor_ids(g, "term:FLOAT"),
            (std::vector<std::string>{"column:activity.total_float", "column:activity.Free_Float"}));
}

TEST(BuildGraph, FailuresNameTheKeyAndKeepThePreviousGraph) {
  Built b;
  EXPECT_THROW(b.service.build_graph(), ValueError);
  auto first = b.service.build_graph(json::parse(kDoc));
  const char* bad[] = {
      R"({"relationships": []})",
      R"({"tables": {"t": {"domain": "d", "columns": {}}}})",
      R"({"tables": {"t": {"description": "x", "domain": "d", "columns": {"c": {"description": "x"}}}}})",
      R"({"tables": {}, "relationships": [{"from_table": "a", "to_table": "b", "description": "d"}]})",
      R"({"tables": {}, "query_examples": [{"query": "select 1"}]})",
  };
  const char* keys[] = {"tables", "description", "data_type", "join_condition", "description"};
  for (int i = 0; i < 5; ++i) {
    try {
      b.service.build_graph(json::parse(bad[i]));
      ADD_FAILURE() << bad[i];
    } catch (const KeyError& e) {
      EXPECT_EQ(e.key(), keys[i]);
    }
    EXPECT_EQ(b.service.graph(), first);
  }
  EXPECT_THROW(b.service.build_graph(json::parse(R"({"tables": []})")), TypeError);
}

namespace {

// 1,000 tables of 20 columns: enough columns for the builder to make their
// records on a second thread, and for that thread to get far ahead.
constexpr int kTables = 1000;

Value many_tables() {
  auto tables = make_record();
  for (int t = 0; t < kTables; ++t) {
    auto columns = make_record();
    for (int c = 0; c < 20; ++c) {
      auto column = make_record();
      column->set("description", Value("column " + std::to_string(c) + " of table " + std::to_string(t)));
      column->set("data_type", Value(c % 2 ? "REAL" : "INTEGER"));
      if (c == 3) column->set("business_rules", Value(make_list({Value("R" + std::to_string(t) + ": x")})));
      // Work for the builder itself (a known concept per column), so that the
      // thread making the records gets far ahead of it.
      column->set("concepts", Value(make_list({Value("k" + std::to_string(c))})));
      columns->set("c" + std::to_string(c), Value(column));
    }
    auto table = make_record();
    table->set("description", Value("table " + std::to_string(t)));
    table->set("domain", Value("d"));
    table->set("columns", Value(columns));
    tables->set("t" + std::to_string(t), Value(table));
  }
  auto doc = make_record();
  doc->set("tables", Value(tables));
  // Matched with the tables' and the columns' names on a second thread while
  // the relationships are added.
  auto relationships = make_list();
  for (int t = 1; t < 4; ++t)
    relationships->push_back(Value(Record{{"from_table", "t0"}, {"to_table", "t" + std::to_string(t)},
                                          {"join_condition", "j"}, {"description", "r"}}));
  // Tables only relationships name, each twice (one node each).
  for (const char* from : {"t0", ""})
    for (int u = 0; u < 300; ++u) {
      std::string unknown = "u" + std::to_string(u);
      relationships->push_back(Value(Record{{"from_table", *from ? from : unknown},
                                            {"to_table", *from ? unknown : "t1"},
                                            {"join_condition", "j"}, {"description", "r"}}));
    }
  doc->set("relationships", Value(relationships));
  doc->set("query_examples", Value(make_list({Value(Record{{"query", "SELECT * FROM T12 JOIN t5"},
                                                           {"description", "e"}})})));
  doc->set("terminology", Value(Record{{"C1", "columns 1 and 10 to 19"}}));
  return Value(doc);
}

Record& table_of(const Value& doc, int t) {
  return doc.as_record().at("tables").as_record().at("t" + std::to_string(t)).as_record();
}
Record& column_of(const Value& doc, int t, int c) {
  return table_of(doc, t).at("columns").as_record().at("c" + std::to_string(c)).as_record();
}

}  // namespace

TEST(BuildGraph, ManyColumnsKeepTheirOrderAndFailAtTheSamePlace) {
  Built b;
  Value doc = many_tables();
  auto first = b.service.build_graph(doc);
  const Graph& g = *first->graph;
  // A table, 20 columns and a rule each; 20 concepts, 300 tables only
  // named, an example and a term.
  ASSERT_EQ(g.node_count(), kTables * 22u + 322);
  Graph::Index i = 0;
  for (int t = 0; t < kTables; ++t) {
    ASSERT_EQ(g.id(i++), "table:t" + std::to_string(t));
    for (int c = 0; c < 20; ++c) {
      ASSERT_EQ(g.id(i), "column:t" + std::to_string(t) + ".c" + std::to_string(c));
      const Record& attrs = g.attrs(i++);
      ASSERT_EQ(attrs.at("description"), Value("column " + std::to_string(c) + " of table " + std::to_string(t)));
      ASSERT_EQ(attrs.at("data_type"), Value(c % 2 ? "REAL" : "INTEGER"));
      if (c == 3) ASSERT_EQ(g.id(i++), "rule:R" + std::to_string(t));
      if (t == 0) ASSERT_EQ(g.id(i++), "concept:k" + std::to_string(c));
    }
  }
  auto targets = [&](std::string_view id) {
    std::vector<std::string> ids;
    for (const Graph::Edge& e : g.successors(g.index_of(id))) ids.emplace_back(g.id(e.target));
    return ids;
  };
  EXPECT_EQ(targets("example:0"), (std::vector<std::string>{"table:t1", "table:t5", "table:t12"}));
  EXPECT_EQ(targets("table:u299"), std::vector<std::string>{"table:t1"});
  EXPECT_EQ(targets("table:t0").size(), 20u + 3 + 300);
  const auto& defined = g.successors(g.index_of("term:C1"));
  ASSERT_EQ(defined.size(), kTables * 11u);
  for (std::size_t k = 0; k < defined.size(); ++k) {
    const int c = k % 11 == 0 ? 1 : 9 + static_cast<int>(k % 11);
    ASSERT_EQ(g.id(defined[k].target), "column:t" + std::to_string(k / 11) + ".c" + std::to_string(c));
  }

  // Faults far into the document, in the columns, the tables and the rules
  // read after each column: each is reported as it is alone, and the graph
  // built before stays.
  struct Fault {
    std::function<void(Value&)> apply;
    std::string message;
  };
  const Fault faults[] = {
      {[](Value& d) { table_of(d, 960).at("columns").as_record().set("c7", Value(7)); },
       "Column 't960.c7' must be a JSON object, not int"},
      {[](Value& d) { table_of(d, 930).set("columns", Value(make_list())); },
       "Columns of table 't930' must be a JSON object, not list"},
      {[](Value& d) { d.as_record().at("tables").as_record().set("t900", Value("x")); },
       "Table 't900' must be a JSON object, not str"},
      {[](Value& d) { column_of(d, 980, 3).set("business_rules", Value(make_list({Value(1)}))); },
       "A business rule must be a string, not int"},
      {[](Value& d) { d.as_record().at("relationships").as_list()[1] = Value(5); },
       "A relationship must be a JSON object, not int"},
      {[](Value& d) { d.as_record().at("query_examples").as_list()[0].as_record().set("query", Value(2)); },
       "An example's query must be a string, not int"},
  };
  for (const Fault& fault : faults) {
    Value bad = many_tables();
    fault.apply(bad);
    try {
      b.service.build_graph(bad);
      ADD_FAILURE() << fault.message;
    } catch (const TypeError& e) {
      EXPECT_EQ(e.message(), fault.message);
    }
    EXPECT_EQ(b.service.graph(), first);
  }
  Value bad = many_tables();
  Record missing;
  missing.set("description", Value("no type"));
  table_of(bad, 999).at("columns").as_record().set("c19", Value(missing));
  try {
    b.service.build_graph(bad);
    ADD_FAILURE();
  } catch (const KeyError& e) {
    EXPECT_EQ(e.key(), "data_type");
  }
  EXPECT_EQ(b.service.graph(), first);
}
