#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"

using namespace corvalt;
using atlanor::AtlanorService;
using atlanor::KnowledgeGraph;

namespace {

using Ids = std::vector<std::string>;

Record table_attrs(const char* name, const char* description) {
  return Record{{"type", "table"}, {"name", name}, {"description", description}};
}

Record join(const char* condition, const char* description) {
  return Record{{"relationship", "related_to"},
                {"join_condition", condition},
                {"description", description}};
}

// A service over a hand-made graph, so each test controls edge directions.
struct Fixture {
  std::shared_ptr<Graph> graph = std::make_shared<Graph>();
  AtlanorService service;

  void table(const char* name, const char* description = "") {
    graph->add_node(std::string("table:") + name, table_attrs(name, description));
  }
  void edge(const char* from, const char* to, const Record& attrs) {
    graph->add_edge(std::string("table:") + from, std::string("table:") + to, attrs);
  }
  RecordPtr output(const Ids& tables, const Ids* all_tables = nullptr, const Ids& columns = {},
                   const Ids& concepts = {}, const Ids& rules = {}) {
    service.set_graph(KnowledgeGraph::from(graph));
    return service.generate_output("q", tables, columns, concepts, rules, all_tables);
  }
};

// (source, target, join_condition) of every relationship entry.
std::vector<std::string> joins(const RecordPtr& out) {
  std::vector<std::string> got;
  for (const Value& v : out->at("relationships").as_list()) {
    const Record& r = v.as_record();
    got.push_back(to_str(r.at("source")) + ">" + to_str(r.at("target")) + ":" +
                  to_str(r.at("join_condition")));
  }
  return got;
}

std::vector<std::string> keys(const Record& r) {
  std::vector<std::string> got;
  for (const auto& item : r) got.push_back(item.first);
  return got;
}

}  // namespace

TEST(ContextRecord, KeysEntriesAndDuplicatesInListOrder) {
  Fixture f;
  f.table("activity", "Activities");
  f.graph->add_node("column:activity.total_float",
                    Record{{"type", "column"}, {"data_type", "REAL"}, {"description", "TF"}});
  f.graph->add_node("column:activity.bare", Record{{"type", "column"}});
  f.graph->add_node("concept:float", Record{{"type", "concept"}});
  f.graph->add_node("rule:R1", Record{{"type", "rule"}, {"description", "R1: text"}});
  auto out = f.output({"table:activity", "table:activity"}, nullptr,
                      {"column:activity.bare", "column:activity.total_float"}, {"concept:float"},
                      {"rule:R1", "rule:R1"});

  EXPECT_EQ(keys(*out),
            (std::vector<std::string>{"query", "database_objects", "business_rules", "relationships"}));
  const Record& objects = out->at("database_objects").as_record();
  EXPECT_EQ(keys(objects), (std::vector<std::string>{"tables", "columns", "concepts"}));

  const List& tables = objects.at("tables").as_list();
  ASSERT_EQ(tables.size(), 2u);  // not de-duplicated
  EXPECT_EQ(keys(tables[0].as_record()), (std::vector<std::string>{"id", "name", "description"}));
  EXPECT_EQ(tables[0].as_record().at("name"), Value("activity"));

  const List& columns = objects.at("columns").as_list();
  const Record& bare = columns[0].as_record();
  EXPECT_EQ(keys(bare), (std::vector<std::string>{"id", "name", "data_type", "description"}));
  EXPECT_EQ(bare.at("name"), Value("activity.bare"));
  EXPECT_EQ(bare.at("data_type"), Value(""));  // absent attributes read as empty text
  EXPECT_EQ(bare.at("description"), Value(""));
  EXPECT_EQ(columns[1].as_record().at("data_type"), Value("REAL"));

  EXPECT_EQ(objects.at("concepts").as_list()[0].as_record().at("name"), Value("float"));
  const List& rules = out->at("business_rules").as_list();
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[0].as_record().at("id"), Value("rule:R1"));  // keeps its prefix
  EXPECT_EQ(rules[0].as_record().at("description"), Value("R1: text"));
}

TEST(ContextRecord, NamesDropEveryOccurrenceOfThePrefix) {
  Fixture f;
  f.graph->add_node("table:a_table:b", Record{});
  auto out = f.output({"table:a_table:b"});
  EXPECT_EQ(out->at("database_objects").as_record().at("tables").as_list()[0].as_record().at("name"),
            Value("a_b"));
}

TEST(ContextRecord, AbsentNodeIdIsAKeyErrorNamingIt) {
  Fixture f;
  f.table("activity");
  for (int which = 0; which < 4; ++which) {
    Ids ok{"table:activity"}, bad{"column:nope"};
    try {
      if (which == 0) f.output(bad);
      if (which == 1) f.output(ok, nullptr, bad);
      if (which == 2) f.output(ok, nullptr, {}, bad);
      if (which == 3) f.output(ok, nullptr, {}, {}, bad);
      FAIL() << "no KeyError for list " << which;
    } catch (const KeyError& e) {
      EXPECT_EQ(e.key(), "column:nope");
    }
  }
}

TEST(ContextRecord, EmptyListsNeedNoGraphAndGiveNoStatistics) {
  AtlanorService service;  // no graph at all
  auto out = service.generate_output("q", {}, {}, {}, {}, nullptr);
  EXPECT_TRUE(out->at("relationships").as_list().empty());
  EXPECT_FALSE(out->contains("column_statistics"));
  // A node still has to be read from a graph.
  EXPECT_THROW(service.generate_output("q", {"table:a"}, {}, {}, {}, nullptr), ValueError);
}

TEST(ContextRelationships, FirstStageListsOnePairOnceForwardBeforeReverse) {
  Fixture f;
  f.table("a");
  f.table("b");
  f.table("c");
  f.edge("a", "b", join("a.id = b.a_id", "fwd"));
  f.edge("b", "a", join("b.a_id = a.id", "rev"));
  f.edge("c", "a", join("c.a_id = a.id", "c to a"));
  // a-b: forward wins; a-c: only the reverse edge exists; b-c: nothing.
  auto out = f.output({"table:a", "table:b", "table:c"});
  EXPECT_EQ(joins(out), (std::vector<std::string>{"a>b:a.id = b.a_id", "c>a:c.a_id = a.id"}));
  const Record& first = out->at("relationships").as_list()[0].as_record();
  EXPECT_EQ(keys(first), (std::vector<std::string>{"source", "target", "join_condition", "description"}));
  EXPECT_EQ(first.at("description"), Value("fwd"));
}

TEST(ContextRelationships, EdgesWithoutJoinConditionDoNotCount) {
  Fixture f;
  f.table("a");
  f.table("b");
  f.edge("a", "b", Record{{"relationship", "related_to"}});
  f.edge("b", "a", Record{{"join_condition", "b.x = a.x"}});  // description absent: empty
  auto out = f.output({"table:a", "table:b"});
  ASSERT_EQ(joins(out), (std::vector<std::string>{"b>a:b.x = a.x"}));
  EXPECT_EQ(out->at("relationships").as_list()[0].as_record().at("description"), Value(""));
}

TEST(ContextRelationships, SecondStageFollowsEdgesFromChosenTablesOnly) {
  Fixture f;
  f.table("a");
  f.table("b");
  f.table("c");
  f.edge("a", "b", join("ab", "d"));
  f.edge("c", "a", join("ca", "d"));
  Ids all{"table:c", "table:a", "table:b"};
  auto out = f.output({"table:a"}, &all);
  // c -> a runs towards the chosen table and is not found here.
  EXPECT_EQ(joins(out), (std::vector<std::string>{"a>b:ab"}));
}

TEST(ContextRelationships, SecondStageListsEqualEntriesOnce) {
  Fixture f;
  f.table("a");
  f.table("b");
  f.edge("a", "b", join("ab", "d"));
  Ids all{"table:a", "table:b", "table:a"};
  auto out = f.output({"table:a"}, &all);
  EXPECT_EQ(joins(out), (std::vector<std::string>{"a>b:ab"}));
}

TEST(ContextRelationships, SecondStageNeedsMoreThanOneFoundTable) {
  Fixture f;
  f.table("a");
  f.edge("a", "a", join("self", "d"));
  Ids all{"table:a"};
  EXPECT_TRUE(joins(f.output({"table:a"}, &all)).empty());
}

TEST(ContextRelationships, FirstStageHitSkipsTheOtherStages) {
  Fixture f;
  f.table("a");
  f.table("b");
  f.table("c");
  f.edge("a", "b", join("ab", "d"));
  f.edge("a", "c", join("ac", "d"));
  f.service.set_metadata(json::parse(
      R"({"relationships": [{"from_table": "a", "to_table": "z", "join_condition": "az", "description": "d"}]})"));
  Ids all{"table:a", "table:b", "table:c"};
  EXPECT_EQ(joins(f.output({"table:a", "table:b"}, &all)), (std::vector<std::string>{"a>b:ab"}));
}

TEST(ContextRelationships, ThirdStageReadsTheDocumentWhenTheGraphGivesNothing) {
  Fixture f;
  f.table("a");
  f.table("b");
  f.edge("b", "a", join("ba", "graph edge"));
  f.service.set_metadata(json::parse(R"({"relationships": [
      {"from_table": "b", "to_table": "a", "join_condition": "ba", "description": "doc"},
      {"from_table": "x", "to_table": "y", "join_condition": "xy", "description": "doc"},
      {"from_table": "b", "to_table": "a", "join_condition": "ba", "description": "doc"},
      {"from_table": "a", "to_table": "q", "join_condition": "aq", "description": "doc"}]})"));
  Ids all{"table:a", "table:b"};
  // Stage 2 looks only at a -> b; the document lists b -> a (once) and a -> q.
  auto out = f.output({"table:a"}, &all);
  EXPECT_EQ(joins(out), (std::vector<std::string>{"b>a:ba", "a>q:aq"}));
  EXPECT_EQ(out->at("relationships").as_list()[0].as_record().at("description"), Value("doc"));
}

// Relationship entries and the document's relationships use the names of
// database_objects: every "table:" removed, so a name holding it loses it.
TEST(ContextRelationships, EveryStageNamesTablesWithEveryPrefixRemoved) {
  Fixture f;
  f.graph->add_node("table:a_table:b", Record{});
  f.table("c");
  f.graph->add_edge("table:a_table:b", "table:c", join("abc", "d"));
  EXPECT_EQ(joins(f.output({"table:c", "table:a_table:b"})), (std::vector<std::string>{"a_b>c:abc"}));
  Ids all{"table:a_table:b", "table:c"};
  EXPECT_EQ(joins(f.output({"table:a_table:b"}, &all)), (std::vector<std::string>{"a_b>c:abc"}));
  f.service.set_metadata(json::parse(R"({"relationships": [
      {"from_table": "a_table:b", "to_table": "q", "join_condition": "full", "description": ""},
      {"from_table": "a_b", "to_table": "q", "join_condition": "named", "description": ""}]})"));
  EXPECT_EQ(joins(f.output({"table:a_table:b"})), (std::vector<std::string>{"a_b>q:named"}));
}

TEST(ContextRelationships, ThirdStageRequiresTheRecordKeysOfAMatchingRelationship) {
  Fixture f;
  f.table("a");
  f.service.set_metadata(json::parse(R"({"relationships": [
      {"from_table": "x", "to_table": "a", "join_condition": "xa"}]})"));
  try {
    f.output({"table:a"});
    FAIL() << "no KeyError";
  } catch (const KeyError& e) {
    EXPECT_EQ(e.key(), "description");
  }
  // to_table is read only when from_table is not chosen.
  f.service.set_metadata(json::parse(R"({"relationships": [
      {"from_table": "b", "join_condition": "ba", "description": ""}]})"));
  try {
    f.output({"table:a"});
    FAIL() << "no KeyError";
  } catch (const KeyError& e) {
    EXPECT_EQ(e.key(), "to_table");
  }
}

TEST(ContextRelationships, ThirdStageSkippedForEmptyOrRelationshipLessDocuments) {
  Fixture f;
  f.table("a");
  f.service.set_metadata(json::parse(R"({"tables": {}})"));
  EXPECT_TRUE(joins(f.output({"table:a"})).empty());
  f.service.set_metadata(Value());
  EXPECT_TRUE(joins(f.output({"table:a"})).empty());
}

TEST(ContextRecord, ColumnStatisticsOnlyForColumnsThatHaveThem) {
  AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {"activity": {"description": "A", "domain": "s",
      "columns": {"total_float": {"description": "TF", "data_type": "REAL", "statistics": {"min": -3}},
                  "name": {"description": "N", "data_type": "TEXT"}}}}})"));
  auto with = service.generate_output("q", {}, {"column:activity.name", "column:activity.total_float"},
                                      {}, {}, nullptr);
  const Record& stats = with->at("column_statistics").as_record();
  EXPECT_EQ(keys(stats), (std::vector<std::string>{"activity.total_float"}));
  EXPECT_EQ(json::dump_compact(stats.at("activity.total_float")), R"({"min": -3})");
  EXPECT_EQ(keys(*with).back(), "column_statistics");

  auto without = service.generate_output("q", {}, {"column:activity.name"}, {}, {}, nullptr);
  EXPECT_FALSE(without->contains("column_statistics"));
}

// ---- Markdown --------------------------------------------------------------

namespace {

Value context(const char* json_text) { return json::parse(json_text); }

std::string render(const char* json_text) {
  AtlanorService service;
  return service.format_as_markdown(context(json_text).as_record());
}

}  // namespace

TEST(Markdown, EmptyRecordIsTheTitleAndOneBlankLine) {
  EXPECT_EQ(render(R"({"query": "q?", "database_objects": {"tables": [], "columns": [], "concepts": []},
                       "business_rules": [], "relationships": []})"),
            "# Database Context for Query: q?\n\n");
}

TEST(Markdown, EverySectionInOrderWithItsExactPieces) {
  std::string md = render(R"({
    "query": "Show float",
    "database_objects": {
      "tables": [{"id": "table:activity", "name": "activity", "description": "Activities"}],
      "columns": [{"id": "c", "name": "activity.total_float", "data_type": "REAL", "description": "a|b"}],
      "concepts": [{"id": "concept:f", "name": "f", "description": "Float"}]},
    "business_rules": [{"id": "rule:R1", "description": "R1: x"}, {"id": "rule:R2", "description": "R2"}],
    "relationships": [
      {"source": "a", "target": "b", "join_condition": "a.id = b.id", "description": ""},
      {"source": "b", "target": "c", "join_condition": "b.c = c.id", "description": "link"}],
    "column_statistics": {"activity.total_float": {"min": 1}},
    "ai_enhanced": {"keywords": [], "business_domains": ["scheduling", "risk"], "enhanced_query": "EQ"},
    "markdown": "not rendered"})");
  EXPECT_EQ(md,
            "# Database Context for Query: Show float\n\n"
            "## AI Enhanced Query\n\nEQ\n\n"
            "**Business Domains**: scheduling, risk\n\n"
            "## Relevant Tables\n\n### activity\n\nActivities\n\n"
            "## Relevant Columns\n\n"
            "| Column | Data Type | Description |\n"
            "| ------ | --------- | ----------- |\n"
            "| activity.total_float | REAL | a|b |\n\n"
            "## Business Concepts\n\n### f\n\nFloat\n\n"
            "## Table Relationships\n\n"
            "* **a** \u2192 **b**\n  * Join condition: `a.id = b.id`\n"
            "* **b** \u2192 **c**\n  * Join condition: `b.c = c.id`\n  * Description: link\n\n"
            "## Business Rules\n\n* R1: x\n* R2\n\n");
}

TEST(Markdown, AiSectionNeedsANonEmptyEnhancedQuery) {
  const char* base = R"({"query": "q", "database_objects": {"tables": [], "columns": [], "concepts": []},
                         "business_rules": [], "ai_enhanced": )";
  auto with_ai = [&](const char* ai) { return render((std::string(base) + ai + "}").c_str()); };
  EXPECT_EQ(with_ai(R"({"enhanced_query": "", "business_domains": ["x"]})"),
            "# Database Context for Query: q\n\n");
  EXPECT_EQ(with_ai(R"({"enhanced_query": null})"), "# Database Context for Query: q\n\n");
  EXPECT_EQ(with_ai(R"({"enhanced_query": "E", "business_domains": []})"),
            "# Database Context for Query: q\n\n## AI Enhanced Query\n\nE\n\n");
  try {
    with_ai(R"({"keywords": []})");
    FAIL() << "no KeyError";
  } catch (const KeyError& e) {
    EXPECT_EQ(e.key(), "enhanced_query");
  }
}

TEST(Markdown, NonTextValuesTakeTheirPlainTextForm) {
  EXPECT_EQ(render(R"({"query": 42, "database_objects": {"tables": [{"name": "t", "description": 7}],
                       "columns": [], "concepts": []}, "business_rules": [{"description": null}]})"),
            "# Database Context for Query: 42\n\n## Relevant Tables\n\n### t\n\n7\n\n"
            "## Business Rules\n\n* None\n\n");
}

TEST(Markdown, MissingKeysNameTheKey) {
  auto key_of = [](const char* json_text) {
    try {
      render(json_text);
    } catch (const KeyError& e) {
      return e.key();
    }
    return std::string("no error");
  };
  EXPECT_EQ(key_of(R"({"database_objects": {}})"), "query");
  EXPECT_EQ(key_of(R"({"query": "q", "business_rules": []})"), "database_objects");
  EXPECT_EQ(key_of(R"({"query": "q", "database_objects": {"tables": [], "columns": []}, "business_rules": []})"),
            "concepts");
  EXPECT_EQ(key_of(R"({"query": "q", "database_objects": {"tables": [], "columns": [], "concepts": []}})"),
            "business_rules");
  EXPECT_EQ(key_of(R"({"query": "q", "database_objects": {"tables": [{"name": "t"}], "columns": [],
                       "concepts": []}, "business_rules": []})"),
            "description");
  // relationships may be absent altogether
  EXPECT_EQ(key_of(R"({"query": "q", "database_objects": {"tables": [], "columns": [], "concepts": []},
                       "business_rules": []})"),
            "no error");
}
