// Lexical linking: words (splitting, stop words, stems, edit distance) and
// the choice of tables on a small schema written in a style of its own
// (CamelCase, singular names).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/json.hpp"
#include "corvalt/linking.hpp"
#include "corvalt/node_ids.hpp"

using namespace corvalt;
using linking::content_words;
using linking::split_words;

namespace {

using Strings = std::vector<std::string>;

// The tables linking chooses for a question (after `previous`), sorted.
Strings chosen_tables(const linking::Index& index, const Graph& graph, const char* question,
                      const char* previous = "") {
  Strings out;
  for (const auto& t : index.link(linking::Query{question, {}, previous}).tables)
    out.push_back(node_ids::name_of(graph.id(t.node), node_ids::kTable));
  std::sort(out.begin(), out.end());
  return out;
}

// ---- words ------------------------------------------------------------------

TEST(LinkingWords, SplitDropsPunctuationAndSplitsIdentifiers) {
  EXPECT_EQ(split_words("on the critical path?"), (Strings{"on", "the", "critical", "path"}));
  EXPECT_EQ(split_words("total_float_days"), (Strings{"total", "float", "days"}));
  EXPECT_EQ(split_words("TotalFloat HTTPServer wbs2Level"),
            (Strings{"total", "float", "http", "server", "wbs", "2", "level"}));
  EXPECT_EQ(split_words("open NCRs, RFIs"), (Strings{"open", "ncrs", "rfis"}));
  EXPECT_EQ(split_words("the project's notes, don't"), (Strings{"the", "project", "notes", "dont"}));
  EXPECT_EQ(split_words("Jürgen's ÉTUDE (Bürokalender)"), (Strings{"jürgen", "étude", "bürokalender"}));
  EXPECT_EQ(split_words("finish-to-start, lag=5d"), (Strings{"finish", "to", "start", "lag", "5", "d"}));
}

TEST(LinkingWords, StopWordsAreFillerOnly) {
  for (const char* w : {"show", "with", "which", "the", "list", "many", "all", "are"})
    EXPECT_TRUE(linking::is_stop_word(w)) << w;
  for (const char* w : {"float", "activity", "total", "date", "status", "cost"})
    EXPECT_FALSE(linking::is_stop_word(w)) << w;
}

TEST(LinkingWords, StemsJoinInflections) {
  EXPECT_EQ(linking::stem("activities"), linking::stem("activity"));
  EXPECT_EQ(linking::stem("delayed"), linking::stem("delay"));
  EXPECT_EQ(linking::stem("calendars"), "calendar");
  EXPECT_EQ(linking::stem("overallocated"), linking::stem("overallocation"));
  EXPECT_EQ(linking::stem("people"), linking::stem("person"));
  EXPECT_NE(linking::stem("float"), linking::stem("flow"));
}

TEST(LinkingWords, ContentWordsKeepClausesApart) {
  auto words = content_words("Show activities with no successors, and their lag in 2024");
  Strings texts, stems;
  for (const auto& w : words) texts.push_back(w.text), stems.push_back(w.stem);
  EXPECT_EQ(texts, (Strings{"activities", "successors", "lag"}));
  EXPECT_EQ(stems, (Strings{"activ", "successor", "lag"}));
  EXPECT_FALSE(words[0].joined);
  EXPECT_TRUE(words[1].joined);     // across "with no"
  EXPECT_FALSE(words[1].adjacent);  // ... which stand between them
  EXPECT_FALSE(words[2].joined);    // after the comma
  auto side_by_side = content_words("critical path");
  EXPECT_TRUE(side_by_side[1].adjacent);
}

TEST(LinkingWords, EditDistanceCountsSwapsOnceAndStopsAtTheLimit) {
  EXPECT_EQ(linking::edit_distance("milstone", "milestone", 2), 1u);
  EXPECT_EQ(linking::edit_distance("mielstone", "milestone", 2), 1u);  // neighbours swapped
  EXPECT_EQ(linking::edit_distance("relashionship", "relationship", 2), 2u);
  EXPECT_EQ(linking::edit_distance("calendar", "project", 2), 3u);  // limit + 1
  EXPECT_EQ(linking::edit_distance("façade", "facade", 1), 1u);     // code points, not bytes
}

TEST(LinkingWords, ModeNames) {
  EXPECT_EQ(linking::parse_mode("keyword"), linking::Mode::kKeyword);
  EXPECT_EQ(linking::parse_mode("lexical"), linking::Mode::kLexical);
  EXPECT_FALSE(linking::parse_mode("Lexical"));
  EXPECT_EQ(linking::mode_name(linking::Mode::kLexical), "lexical");
}

TEST(LinkingIdentifiers, AbbreviationsReadFromTheirDescriptionThenTheTrade) {
  using linking::expand_abbreviation;
  // The describing text decides first: "act" is "actual" in "Actual start".
  EXPECT_EQ(expand_abbreviation("act", {"actual", "start", "null"}), "actual");
  EXPECT_EQ(expand_abbreviation("act", {"schedule", "activities"}), "activities");
  // Then the trade's abbreviations: "dt" is a date, even beside "data".
  EXPECT_EQ(expand_abbreviation("act", {}), "activity");
  EXPECT_EQ(expand_abbreviation("dt", {"data", "date"}), "date");
  EXPECT_EQ(expand_abbreviation("cnstr", {}), "constraint");
  EXPECT_EQ(expand_abbreviation("nm", {"activity"}), "name");
  // Then a described word with its letters in order, three at least.
  EXPECT_EQ(expand_abbreviation("mgmt", {"site", "management"}), "management");
  EXPECT_EQ(expand_abbreviation("co", {"contract", "order"}), "");
  // Whole words and long ones are no abbreviations.
  EXPECT_EQ(expand_abbreviation("task", {"tasks"}), "");
  EXPECT_EQ(expand_abbreviation("equip", {"equipment"}), "");
  EXPECT_FALSE(linking::abbreviation_shaped("a1"));
  EXPECT_FALSE(linking::abbreviation_shaped("x"));
  EXPECT_TRUE(linking::abbreviation_shaped("rsrc"));
}

TEST(LinkingIdentifiers, APrefixIsTheFirstWordMostTableNamesShare) {
  using linking::table_name_prefix;
  EXPECT_EQ(table_name_prefix({{"tbl", "project"}, {"tbl", "activity"}, {"tbl", "risk"}, {"calendar"}}), "tbl");
  // Four of six names (under 60 %), or a first word of only two names: no prefix.
  EXPECT_EQ(table_name_prefix({{"activity", "code"}, {"activity", "link"}, {"activity", "note"}, {"project"},
                               {"wbs"}, {"risk"}}),
            "");
  EXPECT_EQ(table_name_prefix({{"tbl", "project"}, {"tbl", "activity"}}), "");
  EXPECT_EQ(table_name_prefix({}), "");
}

// A schema of abbreviated, prefixed identifiers: the names read as planners
// say them.
TEST(LinkingIdentifiers, PrefixedAbbreviatedNamesAreNamedAsWrittenOut) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "tblProj": {"description": "Projects in the portfolio", "domain": "pm",
      "columns": {"projId": {"description": "Key", "data_type": "INTEGER"},
                  "projNo": {"description": "Short number", "data_type": "TEXT"}}},
    "tblAct": {"description": "Schedule activities", "domain": "scheduling",
      "columns": {"actId": {"description": "Key", "data_type": "INTEGER"},
                  "projId": {"description": "Owning project", "data_type": "INTEGER"},
                  "actStartDt": {"description": "Actual start", "data_type": "DATE"},
                  "actCd": {"description": "Short reference", "data_type": "TEXT"},
                  "totFlt": {"description": "Days of leeway", "data_type": "INTEGER"}}},
    "tblBlAct": {"description": "Dates stored for a snapshot", "domain": "scheduling",
      "columns": {"blActId": {"description": "Key", "data_type": "INTEGER"},
                  "actId": {"description": "The activity", "data_type": "INTEGER"}}},
    "tblRsrcAsgn": {"description": "Units planned per activity", "domain": "resources",
      "columns": {"asgnId": {"description": "Key", "data_type": "INTEGER"},
                  "actId": {"description": "The activity", "data_type": "INTEGER"}}}},
    "relationships": [
      {"from_table": "tblAct", "to_table": "tblProj", "join_condition": "tblAct.projId = tblProj.projId", "description": ""},
      {"from_table": "tblBlAct", "to_table": "tblAct", "join_condition": "tblBlAct.actId = tblAct.actId", "description": ""},
      {"from_table": "tblRsrcAsgn", "to_table": "tblAct", "join_condition": "tblRsrcAsgn.actId = tblAct.actId", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  const linking::Index& index = service.graph()->link_index();
  auto link = [&](const char* question) { return index.link(linking::Query{question, {}, ""}); };
  auto named = [&](const linking::Result& r) {
    Strings out;
    for (const auto& t : r.tables)
      if (t.reason == linking::Reason::kNamed) out.push_back(node_ids::name_of(graph.id(t.node), node_ids::kTable));
    std::sort(out.begin(), out.end());
    return out;
  };
  // "tbl" is left out of every name; "act", "proj", "bl" and "rsrc asgn" are written out.
  EXPECT_EQ(named(link("List the activities")), (Strings{"tblAct"}));
  EXPECT_EQ(named(link("activities of each project")), (Strings{"tblAct", "tblProj"}));
  EXPECT_EQ(named(link("baseline activity rows")), (Strings{"tblBlAct"}));
  EXPECT_EQ(named(link("resource assignments")), (Strings{"tblRsrcAsgn"}));
  // The prefix alone names nothing.
  EXPECT_TRUE(named(link("tbl")).empty());
  // A two-word column name written out: "total float" is totFlt's, and
  // "actual start" actStartDt's.
  auto r = link("activities by total float");
  ASSERT_FALSE(r.columns.empty());
  EXPECT_EQ(graph.id(r.columns[0]), "column:tblAct.totFlt");
  r = link("actual start of activities");
  ASSERT_FALSE(r.columns.empty());
  EXPECT_EQ(graph.id(r.columns[0]), "column:tblAct.actStartDt");
  // actId is the table's own key and actCd ("code") identifies a row: both
  // come before the other columns.
  Strings listed;
  for (const Graph::Index n : link("List the activities").listed_columns) listed.emplace_back(graph.id(n));
  ASSERT_GE(listed.size(), 3u);
  EXPECT_EQ(listed[0], "column:tblAct.actId");
  EXPECT_EQ(listed[2], "column:tblAct.actCd");
}

// ---- linking ----------------------------------------------------------------

constexpr const char* kSchema = R"({
  "tables": {
    "Project": {"description": "Projects of the portfolio with their status", "domain": "pm",
      "columns": {
        "ProjectId": {"description": "Project identifier", "data_type": "INTEGER"},
        "ProjectName": {"description": "Name of the project", "data_type": "TEXT"},
        "IsActive": {"description": "1 when the project is active", "data_type": "INTEGER"},
        "CalendarId": {"description": "Default calendar of the project", "data_type": "INTEGER"}}},
    "Task": {"description": "Schedule tasks with their dates and float", "domain": "scheduling",
      "columns": {
        "TaskId": {"description": "Task identifier", "data_type": "INTEGER"},
        "ProjectId": {"description": "Project the task belongs to", "data_type": "INTEGER"},
        "TotalFloat": {"description": "Total float in days", "data_type": "REAL",
                       "concepts": ["total_float"],
                       "business_rules": ["Critical Task: a task with TotalFloat <= 0 is critical"]},
        "EarlyFinish": {"description": "Early finish date", "data_type": "TEXT"}}},
    "TaskLink": {"description": "Logic links between tasks: predecessor and successor", "domain": "logic",
      "columns": {
        "PredTaskId": {"description": "Predecessor task", "data_type": "INTEGER"},
        "SuccessorTaskId": {"description": "Successor task", "data_type": "INTEGER"},
        "LagDays": {"description": "Lag in days", "data_type": "REAL", "concepts": ["lag"]}}},
    "WorkCalendar": {"description": "Working days and holidays", "domain": "scheduling",
      "columns": {
        "CalendarId": {"description": "Calendar identifier", "data_type": "INTEGER"},
        "CalendarName": {"description": "Name of the calendar", "data_type": "TEXT"}}},
    "Resource": {"description": "People and equipment", "domain": "resources",
      "columns": {
        "ResourceId": {"description": "Resource identifier", "data_type": "INTEGER"},
        "ResourceName": {"description": "Name of the resource", "data_type": "TEXT"},
        "CalendarId": {"description": "Calendar the resource works on", "data_type": "INTEGER"}}},
    "ResourceAssignment": {"description": "Resources assigned to tasks", "domain": "resources",
      "columns": {
        "TaskId": {"description": "Assigned task", "data_type": "INTEGER"},
        "ResourceId": {"description": "Assigned resource", "data_type": "INTEGER"},
        "BudgetedUnits": {"description": "Planned units", "data_type": "REAL"}}},
    "Baseline": {"description": "Saved copies of a project schedule", "domain": "baselines",
      "columns": {
        "BaselineId": {"description": "Baseline identifier", "data_type": "INTEGER"},
        "ProjectId": {"description": "Baselined project", "data_type": "INTEGER"}}},
    "BaselineTask": {"description": "Task dates as saved in a baseline", "domain": "baselines",
      "columns": {
        "BaselineId": {"description": "Baseline of the row", "data_type": "INTEGER"},
        "TaskId": {"description": "Baselined task", "data_type": "INTEGER"},
        "BaselineFinishDate": {"description": "Finish date in the baseline", "data_type": "TEXT"}}},
    "TaskCode": {"description": "Code values that group tasks", "domain": "codes",
      "columns": {
        "CodeId": {"description": "Code identifier", "data_type": "INTEGER"},
        "CodeValue": {"description": "Short code value", "data_type": "TEXT"}}},
    "TaskCodeAssignment": {"description": "Codes given to tasks", "domain": "codes",
      "columns": {
        "CodeId": {"description": "Assigned code", "data_type": "INTEGER"},
        "TaskId": {"description": "Coded task", "data_type": "INTEGER"}}},
    "Shipment": {"description": "Deliveries to site", "domain": "logistics",
      "columns": {"ShipmentId": {"description": "Shipment identifier", "data_type": "INTEGER"}}}
  },
  "relationships": [
    {"from_table": "Task", "to_table": "Project", "join_condition": "Task.ProjectId = Project.ProjectId", "description": ""},
    {"from_table": "TaskLink", "to_table": "Task", "join_condition": "TaskLink.PredTaskId = Task.TaskId", "description": ""},
    {"from_table": "ResourceAssignment", "to_table": "Task", "join_condition": "ResourceAssignment.TaskId = Task.TaskId", "description": ""},
    {"from_table": "ResourceAssignment", "to_table": "Resource", "join_condition": "ResourceAssignment.ResourceId = Resource.ResourceId", "description": ""},
    {"from_table": "Resource", "to_table": "WorkCalendar", "join_condition": "Resource.CalendarId = WorkCalendar.CalendarId", "description": ""},
    {"from_table": "Project", "to_table": "WorkCalendar", "join_condition": "Project.CalendarId = WorkCalendar.CalendarId", "description": ""},
    {"from_table": "Baseline", "to_table": "Project", "join_condition": "Baseline.ProjectId = Project.ProjectId", "description": ""},
    {"from_table": "BaselineTask", "to_table": "Baseline", "join_condition": "BaselineTask.BaselineId = Baseline.BaselineId", "description": ""},
    {"from_table": "BaselineTask", "to_table": "Task", "join_condition": "BaselineTask.TaskId = Task.TaskId", "description": ""},
    {"from_table": "TaskCodeAssignment", "to_table": "Task", "join_condition": "TaskCodeAssignment.TaskId = Task.TaskId", "description": ""},
    {"from_table": "TaskCodeAssignment", "to_table": "TaskCode", "join_condition": "TaskCodeAssignment.CodeId = TaskCode.CodeId", "description": ""}
  ],
  "business_concepts": {"total_float": {"description": "Slack before the project finish moves"},
                        "lag": {"description": "Waiting time on a link"}},
  "keywords": {"critical": ["Task.TotalFloat"], "slack": ["total_float"]},
  "terminology": {"lead": "A negative lag between a predecessor and its successor"},
  "query_examples": [
    {"query": "SELECT l.* FROM TaskLink l JOIN Task t ON t.TaskId = l.PredTaskId WHERE l.LagDays > 10",
     "description": "Links with a lag of more than ten days"},
    {"query": "SELECT * FROM Shipment", "description": "All shipments"}
  ]
})";

class Linking : public ::testing::Test {
 protected:
  void SetUp() override {
    service_.build_graph(json::parse(kSchema));
    graph_ = service_.graph()->graph.get();
    index_ = std::make_unique<linking::Index>(*graph_);
  }

  linking::Result link(const std::string& question, Strings keywords = {},
                       const std::string& previous_sql = "") {
    question_ = question;
    previous_ = previous_sql;
    return index_->link(linking::Query{question_, std::move(keywords), previous_});
  }
  Strings tables(const linking::Result& r) const {
    Strings out;
    for (const auto& t : r.tables) out.push_back(node_ids::name_of(graph_->id(t.node), node_ids::kTable));
    return out;
  }
  Strings sorted_tables(const std::string& question, const std::string& previous_sql = "") {
    Strings out = tables(link(question, {}, previous_sql));
    std::sort(out.begin(), out.end());
    return out;
  }
  const linking::LinkedTable& entry(const linking::Result& r, const std::string& table) const {
    for (const auto& t : r.tables)
      if (graph_->id(t.node) == node_ids::make_id(node_ids::kTable, table)) return t;
    throw std::runtime_error("not chosen: " + table);
  }

  atlanor::AtlanorService service_;
  const Graph* graph_ = nullptr;
  std::unique_ptr<linking::Index> index_;
  std::string question_, previous_;
};

TEST_F(Linking, ANamedTableAloneWithTheWordsThatNamedIt) {
  auto r = link("List all the work calendars!");
  EXPECT_EQ(tables(r), (Strings{"WorkCalendar"}));
  EXPECT_EQ(r.strength, linking::Strength::kStrong);
  EXPECT_EQ(r.tables[0].reason, linking::Reason::kNamed);
  EXPECT_EQ(r.tables[0].matched, (Strings{"work", "calendars", "work calendars"}));
  EXPECT_GT(r.tables[0].score, 1.0);
}

TEST_F(Linking, NamesNeedTheSameNounNotJustTheSameStem) {
  // "active" and "task" share no stem trouble here, but "activity"-style
  // conflations do: "resourcing" stems like "resource" and is no plural of it.
  EXPECT_EQ(linking::stem("resourcing"), linking::stem("resources"));
  auto r = link("resourcing of tasks");
  for (const auto& t : r.tables)
    if (graph_->id(t.node) == "table:Resource") EXPECT_NE(t.reason, linking::Reason::kNamed);
  EXPECT_EQ(entry(link("show resources"), "Resource").reason, linking::Reason::kNamed);
}

TEST_F(Linking, ANameInsideALongerPhraseIsNotNamedOneSpreadOutIs) {
  EXPECT_EQ(sorted_tables("List the task codes"), (Strings{"TaskCode"}));
  // Spread over the question both names count; the bridge joins them.
  EXPECT_EQ(sorted_tables("codes of each task"), (Strings{"Task", "TaskCode", "TaskCodeAssignment"}));
  // The column name "baseline finish date" hides the table name "baseline".
  EXPECT_EQ(tables(link("baseline finish date of tasks"))[0], "BaselineTask");
}

TEST_F(Linking, MisspeltWordsAreReadAsTheNearestSchemaWord) {
  auto r = link("shwo the calender names");
  EXPECT_EQ(tables(r), (Strings{"WorkCalendar"}));
  EXPECT_NE(std::find(r.tables[0].matched.begin(), r.tables[0].matched.end(), "calender"),
            r.tables[0].matched.end());
  // Short words are not corrected: "lad" is no "lag".
  EXPECT_TRUE(link("lad").tables.empty());
  // The schema writes "calendar" only; "calendrs" is one edit from its plural.
  EXPECT_EQ(tables(link("all calendrs")), (Strings{"WorkCalendar"}));
  // A planner's shorthand is the word it stands for.
  const auto crit = link("crit tasks");
  EXPECT_TRUE(crit.unmatched.empty());
  EXPECT_EQ(tables(crit), tables(link("critical tasks")));
  EXPECT_FALSE(crit.tables.empty());
}

// A question that narrows the previous one keeps its tables; one that asks
// afresh does not.
TEST_F(Linking, ANarrowingFollowUpKeepsThePreviousStatementsTables) {
  const std::string previous = "SELECT s.* FROM Shipment s";
  for (const char* question : {"only the tasks with negative total float", "and what about tasks with no slack?"})
    EXPECT_EQ(sorted_tables(question, previous), (Strings{"Shipment", "Task"})) << question;
  EXPECT_EQ(sorted_tables("tasks with negative total float", previous), (Strings{"Task"}));
}

TEST_F(Linking, AnUnnamedTableJoinsOnlyForWhatTheNamedOnesLack) {
  // Task holds "total float" itself: nothing else is needed.
  EXPECT_EQ(sorted_tables("tasks with negative total float"), (Strings{"Task"}));
  // TaskLink holds the successor, which Task lacks.
  EXPECT_EQ(sorted_tables("successors of task T-100"), (Strings{"Task", "TaskLink"}));
  // Concepts and tags lead to their columns' tables.
  EXPECT_EQ(sorted_tables("Which tasks have no slack?"), (Strings{"Task"}));
  // (Links name no row of their own: the tasks they link come along.)
  EXPECT_EQ(tables(link("links with a lead")), (Strings{"TaskLink", "Task"}));
}

TEST_F(Linking, JoinTablesAreAddedAlongBridgesNotSharedParents) {
  // Resource and Project share WorkCalendar as a parent; the path through
  // the assignments and tasks is the meaningful one.
  auto r = link("resources of each project");
  Strings got = tables(r);
  EXPECT_EQ(Strings(got.begin(), got.begin() + 2), (Strings{"Resource", "Project"}));
  std::sort(got.begin() + 2, got.end());
  EXPECT_EQ(Strings(got.begin() + 2, got.end()), (Strings{"ResourceAssignment", "Task"}));
  EXPECT_EQ(entry(r, "Task").reason, linking::Reason::kJoin);
  // A table with no relationship gets no joins.
  EXPECT_EQ(sorted_tables("shipments and calendars"), (Strings{"Shipment", "WorkCalendar"}));
}

TEST_F(Linking, NothingOrOnlyWeakEvidenceIsSaid) {
  auto none = link("What is the share price today?");
  EXPECT_TRUE(none.tables.empty());
  EXPECT_EQ(none.strength, linking::Strength::kNone);
  EXPECT_EQ(none.unmatched, (Strings{"share", "price", "today"}));
  auto weak = link("Which people?");  // only a table description says "people"
  EXPECT_EQ(weak.strength, linking::Strength::kWeak);
  EXPECT_FALSE(weak.tables.empty());
}

TEST_F(Linking, KeywordsAndThePreviousStatementAddToTheQuestion) {
  EXPECT_EQ(tables(link("and for the other ones?", {"Task Links", "lag"})), (Strings{"TaskLink", "Task"}));
  const std::string previous = "SELECT r.ResourceName FROM Resource r";
  EXPECT_EQ(sorted_tables("which of them are assigned to tasks?", previous),
            (Strings{"Resource", "ResourceAssignment", "Task"}));
  EXPECT_EQ(sorted_tables("now only the ones on a calendar", previous), (Strings{"Resource", "WorkCalendar"}));
  // Without a word that refers back, the earlier tables are not carried over.
  EXPECT_EQ(sorted_tables("list the work calendars", previous), (Strings{"WorkCalendar"}));
}

TEST_F(Linking, ColumnsRulesAndTheExampleComeFromTheChosenTables) {
  auto r = link("critical tasks and their total float");
  ASSERT_FALSE(r.columns.empty());
  EXPECT_EQ(graph_->id(r.columns[0]), "column:Task.TotalFloat");
  ASSERT_EQ(r.rules.size(), 1u);
  EXPECT_EQ(graph_->id(r.rules[0]), "rule:Critical Task");
  ASSERT_EQ(r.concepts.size(), 1u);
  EXPECT_EQ(graph_->id(r.concepts[0]), "concept:total_float");
  EXPECT_FALSE(r.example);  // no example uses Task alone with such a description

  auto links = link("links with a lag over ten days");
  ASSERT_TRUE(links.example);
  EXPECT_EQ(graph_->id(*links.example), "example:0");
}

TEST_F(Linking, AtMostSixTablesAreChosenBeforeJoins) {
  auto r = link("projects tasks task links work calendars resources baselines shipments task codes");
  std::size_t chosen = 0;
  for (const auto& t : r.tables) chosen += t.reason != linking::Reason::kJoin;
  EXPECT_EQ(chosen, 6u);
  // The chosen tables come first, best first; the join tables after them.
  for (std::size_t i = 0; i < r.tables.size(); ++i) {
    EXPECT_EQ(r.tables[i].reason == linking::Reason::kJoin, i >= chosen) << i;
    if (i > 0 && i < chosen) EXPECT_GE(r.tables[i - 1].score, r.tables[i].score) << i;
  }
}

TEST_F(Linking, ListedColumnsPutKeysFirstTableByTable) {
  auto ids = [&](const std::vector<Graph::Index>& nodes) {
    Strings out;
    for (const Graph::Index n : nodes) out.emplace_back(graph_->id(n));
    return out;
  };
  // Keys (its own identifier, then the join column), the matched column,
  // then the rest in document order; last, the project each task is of, by
  // its identifier and name.
  EXPECT_EQ(ids(link("critical tasks and their total float").listed_columns),
            (Strings{"column:Task.TaskId", "column:Task.ProjectId", "column:Task.TotalFloat",
                     "column:Task.EarlyFinish", "column:Project.ProjectId", "column:Project.ProjectName"}));
  // The name identifies a resource and comes before the rest; the join
  // tables come after the chosen ones, keys first too.
  Strings listed = ids(link("resources of each project").listed_columns);
  auto at = [&](const std::string& id) { return std::find(listed.begin(), listed.end(), id) - listed.begin(); };
  EXPECT_EQ(at("column:Resource.ResourceName"), 2);  // after the two keys
  EXPECT_LT(at("column:Project.ProjectName"), at("column:Project.IsActive"));
  EXPECT_LT(at("column:ResourceAssignment.TaskId"), at("column:ResourceAssignment.BudgetedUnits"));
  EXPECT_LT(at("column:Task.TaskId"), at("column:Task.EarlyFinish"));
  EXPECT_LT(at("column:Task.EarlyFinish"), static_cast<std::ptrdiff_t>(listed.size()));
}

// Rows that belong to a project are shown with the table of projects, apart
// from the chosen tables; not when it is chosen or joins them already, nor
// for a table that projects point to.
TEST_F(Linking, TheProjectsOfTheChosenRowsAreShownApart) {
  auto project = [&](const std::string& question) {
    const auto r = link(question);
    return r.project_table ? graph_->id(*r.project_table) : std::string();
  };
  EXPECT_EQ(project("tasks with negative total float"), "table:Project");
  EXPECT_EQ(sorted_tables("tasks with negative total float"), (Strings{"Task"}));
  EXPECT_EQ(project("critical tasks of each project"), "");
  EXPECT_EQ(project("how many tasks does each job have"), "");  // named by another word
  EXPECT_EQ(project("list the work calendars"), "");
}

// A schema that runs its projects as packages shows its one table of
// packages as theirs.
TEST(LinkingProjects, PackagesStandForProjectsWhenNoTableIsNamedSo) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "programmePackage": {"description": "Contract packages", "domain": "d", "columns": {
      "intPackageId": {"description": "Key", "data_type": "INTEGER"},
      "strPackageCode": {"description": "Code", "data_type": "TEXT"}}},
    "installActivity": {"description": "Activities with their float", "domain": "d", "columns": {
      "intActivityId": {"description": "Key", "data_type": "INTEGER"},
      "intPackageId": {"description": "Its package", "data_type": "INTEGER"},
      "strActivityCode": {"description": "Code", "data_type": "TEXT"},
      "dblTotalFloatDays": {"description": "Total float", "data_type": "REAL"}}}},
   "relationships": [{"from_table": "installActivity", "to_table": "programmePackage",
     "join_condition": "installActivity.intPackageId = programmePackage.intPackageId", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  const auto r = index.link(linking::Query{"activities with negative float", {}, ""});
  ASSERT_TRUE(r.project_table);
  EXPECT_EQ(graph.id(*r.project_table), "table:programmePackage");
}

// Nor after packages, but in a module of projects: of the tables whose names
// begin with a word for projects, the one the others of them point to.
TEST(LinkingProjects, TheTableAModuleOfProjectsCentresOn) {
  auto project_table = [](const std::string& hulls) {
    const std::string tables = R"(")" + hulls + R"(": {"description": "Hulls built", "domain": "d", "columns": {
        "vsl_id": {"description": "Key", "data_type": "INTEGER"}, "vsl_nm": {"description": "Name", "data_type": "TEXT"}}},
      "PRJ_RISK_T": {"description": "Risk register", "domain": "d", "columns": {
        "rsk_id": {"description": "Key", "data_type": "INTEGER"}, "vsl_id": {"description": "Hull", "data_type": "INTEGER"},
        "scr": {"description": "Score", "data_type": "REAL"}}},
      "PRJ_CHANGE_T": {"description": "Owner's changes", "domain": "d", "columns": {
        "chg_id": {"description": "Key", "data_type": "INTEGER"}, "vsl_id": {"description": "Hull", "data_type": "INTEGER"}}},
      "SCH_ACTIVITY_T": {"description": "Activities with their float", "domain": "d", "columns": {
        "act_id": {"description": "Key", "data_type": "INTEGER"}, "vsl_id": {"description": "Hull", "data_type": "INTEGER"},
        "cal_id": {"description": "Calendar", "data_type": "INTEGER"},
        "tot_flt_d": {"description": "Total float", "data_type": "REAL"}}},
      "SCH_CALENDAR_T": {"description": "Work calendars", "domain": "d", "columns": {
        "cal_id": {"description": "Key", "data_type": "INTEGER"}}},
      "MAT_DELIVERY_T": {"description": "Deliveries", "domain": "d", "columns": {
        "dlv_id": {"description": "Key", "data_type": "INTEGER"}}})";
    std::string relationships = R"({"from_table": "SCH_ACTIVITY_T", "to_table": "SCH_CALENDAR_T",
        "join_condition": "SCH_ACTIVITY_T.cal_id = SCH_CALENDAR_T.cal_id", "description": ""})";
    for (const char* child : {"PRJ_RISK_T", "PRJ_CHANGE_T", "SCH_ACTIVITY_T"})
      relationships += std::string(", ") + R"({"from_table": ")" + child +
                       R"(", "to_table": ")" + hulls + R"(", "join_condition": ")" + child + ".vsl_id = " + hulls +
                       R"(.vsl_id", "description": ""})";
    atlanor::AtlanorService service;
    service.build_graph(json::parse("{\"tables\": {" + tables + "}, \"relationships\": [" + relationships + "]}"));
    const Graph& graph = *service.graph()->graph;
    linking::Index index(graph);
    const auto r = index.link(linking::Query{"activities with negative total float", {}, ""});
    return r.project_table ? std::string(graph.id(*r.project_table)) : std::string();
  };
  EXPECT_EQ(project_table("PRJ_VESSEL_T"), "table:PRJ_VESSEL_T");
  // Outside the module, the hulls are not told to be the projects.
  EXPECT_EQ(project_table("YRD_VESSEL_T"), "");
}

// A planner's shorthand is the word it stands for though the schema's
// abbreviations spell its stem ("acts" is no "act" of "dlv_act_dt"), and a
// code column abbreviated "cd" identifies its row though the document's
// rules write "cd" as a word of a column's name.
TEST(LinkingProjects, ShorthandAndAbbreviatedCodesWhereTheProseWritesThem) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "PRJ_PROJECT": {"description": "Projects", "domain": "d", "columns": {
      "proj_id": {"description": "Key", "data_type": "INTEGER"},
      "proj_cd": {"description": "Project code", "data_type": "TEXT"},
      "proj_name": {"description": "Project name", "data_type": "TEXT"},
      "proj_stat_cd": {"description": "Status", "data_type": "TEXT", "business_rules": ["Open: proj_stat_cd <> 'CL'"]}}},
    "PLN_TASK": {"description": "Schedule activities", "domain": "d", "columns": {
      "tsk_id": {"description": "Key", "data_type": "INTEGER"}, "proj_id": {"description": "Project", "data_type": "INTEGER"},
      "cal_id": {"description": "Calendar", "data_type": "INTEGER"},
      "tot_flt": {"description": "Total float", "data_type": "REAL"},
      "act_fin_dt": {"description": "Actual finish", "data_type": "TEXT"}}},
    "PLN_CAL": {"description": "Calendars", "domain": "d", "columns": {
      "cal_id": {"description": "Key", "data_type": "INTEGER"}}},
    "EQ_ITEM": {"description": "Equipment items", "domain": "d", "columns": {
      "eq_id": {"description": "Key", "data_type": "INTEGER"}, "proj_id": {"description": "Project", "data_type": "INTEGER"},
      "dlv_act_dt": {"description": "Actual delivery", "data_type": "TEXT"},
      "fat_act_dt": {"description": "Actual factory test", "data_type": "TEXT"},
      "sat_act_dt": {"description": "Actual site test", "data_type": "TEXT"}}}},
   "relationships": [
    {"from_table": "PLN_TASK", "to_table": "PRJ_PROJECT", "join_condition": "PLN_TASK.proj_id = PRJ_PROJECT.proj_id", "description": ""},
    {"from_table": "PLN_TASK", "to_table": "PLN_CAL", "join_condition": "PLN_TASK.cal_id = PLN_CAL.cal_id", "description": ""},
    {"from_table": "EQ_ITEM", "to_table": "PRJ_PROJECT", "join_condition": "EQ_ITEM.proj_id = PRJ_PROJECT.proj_id", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  const auto r = index.link(linking::Query{"acts with negative float", {}, ""});
  EXPECT_EQ(chosen_tables(index, graph, "acts with negative float"), (Strings{"PLN_TASK"}));
  EXPECT_EQ(chosen_tables(index, graph, "acts"), (Strings{"PLN_TASK"}));
  ASSERT_TRUE(r.project_table);
  Strings listed;
  for (const auto c : r.listed_columns) listed.emplace_back(graph.id(c));
  EXPECT_NE(std::find(listed.begin(), listed.end(), "column:PRJ_PROJECT.proj_cd"), listed.end());
}

// Nor after packages: the table clearly the most others belong to, its names
// read without the suffix all tables share, its key by its initials.
TEST(LinkingProjects, TheTableMostOthersBelongTo) {
  std::string tables = R"("bld_area_tbl": {"description": "Build areas", "domain": "d", "columns": {
      "ba_id": {"description": "Key", "data_type": "INTEGER"},
      "ba_cd": {"description": "Code", "data_type": "TEXT"}}},
    "task_tbl": {"description": "Tasks with their float", "domain": "d", "columns": {
      "tsk_id": {"description": "Key", "data_type": "INTEGER"}, "ba_id": {"description": "Area", "data_type": "INTEGER"},
      "tsk_ref": {"description": "Reference", "data_type": "TEXT"},
      "tf_dy": {"description": "Total float in days", "data_type": "REAL"}}})";
  std::string relationships = R"({"from_table": "task_tbl", "to_table": "bld_area_tbl",
      "join_condition": "task_tbl.ba_id = bld_area_tbl.ba_id", "description": ""})";
  for (const char* child : {"risk_tbl", "permit_tbl", "delivery_tbl", "progress_tbl"}) {
    tables += std::string(R"(, ")") + child + R"(": {"description": "Rows", "domain": "d", "columns": {
      "row_id": {"description": "Key", "data_type": "INTEGER"}, "ba_id": {"description": "Area", "data_type": "INTEGER"},
      "row_ref": {"description": "Reference", "data_type": "TEXT"}}})";
    relationships += std::string(R"(, {"from_table": ")") + child + R"(", "to_table": "bld_area_tbl",
      "join_condition": ")" + child + R"(.ba_id = bld_area_tbl.ba_id", "description": ""})";
  }
  atlanor::AtlanorService service;
  service.build_graph(json::parse("{\"tables\": {" + tables + "}, \"relationships\": [" + relationships + "]}"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  const auto r = index.link(linking::Query{"tasks with negative total float", {}, ""});
  ASSERT_TRUE(r.project_table);
  EXPECT_EQ(graph.id(*r.project_table), "table:bld_area_tbl");
  Strings listed;
  for (const auto c : r.listed_columns) listed.emplace_back(graph.id(c));
  EXPECT_NE(std::find(listed.begin(), listed.end(), "column:bld_area_tbl.ba_id"), listed.end());
}

// Rows done at a place are shown with the table of places they point to,
// by its names only; not when it is chosen itself, nor when nothing points to it.
TEST(LinkingPlaces, ThePlacesOfTheChosenRowsAreShownApart) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "plot": {"description": "Plots of the development", "domain": "d", "columns": {
      "plot_id": {"description": "Key", "data_type": "INTEGER"},
      "plot_code": {"description": "Plot code", "data_type": "TEXT"},
      "floor_area": {"description": "Floor area in square metres", "data_type": "REAL"}}},
    "snag": {"description": "Defects found at inspection", "domain": "d", "columns": {
      "snag_id": {"description": "Key", "data_type": "INTEGER"},
      "plot_id": {"description": "Its plot", "data_type": "INTEGER"},
      "snag_code": {"description": "Snag code", "data_type": "TEXT"},
      "snag_status": {"description": "Open or Cleared", "data_type": "TEXT"}}},
    "trade": {"description": "Trades", "domain": "d", "columns": {
      "trade_id": {"description": "Key", "data_type": "INTEGER"},
      "trade_name": {"description": "Trade name", "data_type": "TEXT"}}}},
   "relationships": [{"from_table": "snag", "to_table": "plot",
     "join_condition": "snag.plot_id = plot.plot_id", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  const auto open = index.link(linking::Query{"open snags", {}, ""});
  ASSERT_TRUE(open.place_table);
  EXPECT_EQ(graph.id(*open.place_table), "table:plot");
  Strings listed;
  for (const auto c : open.listed_columns) listed.emplace_back(graph.id(c));
  EXPECT_NE(std::find(listed.begin(), listed.end(), "column:plot.plot_code"), listed.end());
  EXPECT_EQ(std::find(listed.begin(), listed.end(), "column:plot.floor_area"), listed.end());
  EXPECT_FALSE(index.link(linking::Query{"snags on each plot", {}, ""}).place_table);
  EXPECT_FALSE(index.link(linking::Query{"list the trades", {}, ""}).place_table);
}

// Rows that point to an activity are shown with the activities' names; not
// when the activities are chosen themselves.
TEST(LinkingPlaces, TheActivitiesOfTheChosenRowsAreShownByName) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "activity": {"description": "Activities of the schedule", "domain": "d", "columns": {
      "act_id": {"description": "Key", "data_type": "INTEGER"},
      "act_name": {"description": "Activity name", "data_type": "TEXT"},
      "early_start": {"description": "Early start", "data_type": "DATE"}}},
    "downtime_log": {"description": "Weather downtime: wind speed and hours lost", "domain": "d", "columns": {
      "log_id": {"description": "Key", "data_type": "INTEGER"},
      "log_code": {"description": "Entry code", "data_type": "TEXT"},
      "act_id": {"description": "Activity stopped", "data_type": "INTEGER"},
      "wind_speed": {"description": "Wind speed", "data_type": "REAL"}}}},
   "relationships": [{"from_table": "downtime_log", "to_table": "activity",
     "join_condition": "downtime_log.act_id = activity.act_id", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  const auto wind = index.link(linking::Query{"strongest wind speed in the downtime log", {}, ""});
  ASSERT_TRUE(wind.activity_table);
  EXPECT_EQ(graph.id(*wind.activity_table), "table:activity");
  Strings listed;
  for (const auto c : wind.listed_columns) listed.emplace_back(graph.id(c));
  EXPECT_NE(std::find(listed.begin(), listed.end(), "column:activity.act_name"), listed.end());
  EXPECT_EQ(std::find(listed.begin(), listed.end(), "column:activity.early_start"), listed.end());
  EXPECT_FALSE(index.link(linking::Query{"activities stopped by wind in the downtime log", {}, ""}).activity_table);
}

// Assignments are shown with the activities and the resources they pair, by name.
TEST(LinkingPlaces, AssignmentsAreShownWithWhatTheyPair) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "activity": {"description": "Activities of the schedule", "domain": "d", "columns": {
      "act_id": {"description": "Key", "data_type": "INTEGER"},
      "act_name": {"description": "Activity name", "data_type": "TEXT"}}},
    "resource": {"description": "Crews and plant", "domain": "d", "columns": {
      "res_id": {"description": "Key", "data_type": "INTEGER"},
      "res_name": {"description": "Resource name", "data_type": "TEXT"},
      "day_rate": {"description": "Day rate", "data_type": "REAL"}}},
    "assignment": {"description": "Hours of a resource on an activity", "domain": "d", "columns": {
      "asg_id": {"description": "Key", "data_type": "INTEGER"},
      "asg_code": {"description": "Code", "data_type": "TEXT"},
      "act_id": {"description": "Its activity", "data_type": "INTEGER"},
      "res_id": {"description": "Its resource", "data_type": "INTEGER"},
      "planned_hours": {"description": "Planned hours", "data_type": "REAL"},
      "actual_hours": {"description": "Actual hours", "data_type": "REAL"}}}},
   "relationships": [
     {"from_table": "assignment", "to_table": "activity", "join_condition": "assignment.act_id = activity.act_id", "description": ""},
     {"from_table": "assignment", "to_table": "resource", "join_condition": "assignment.res_id = resource.res_id", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  const auto over = index.link(linking::Query{"assignments where actual hours are over planned hours", {}, ""});
  ASSERT_TRUE(over.activity_table);
  ASSERT_TRUE(over.crew_table);
  EXPECT_EQ(graph.id(*over.crew_table), "table:resource");
  Strings listed;
  for (const auto c : over.listed_columns) listed.emplace_back(graph.id(c));
  EXPECT_NE(std::find(listed.begin(), listed.end(), "column:resource.res_name"), listed.end());
  EXPECT_EQ(std::find(listed.begin(), listed.end(), "column:resource.day_rate"), listed.end());
}

// The lookups chosen rows point to are shown whole; not one nothing chosen points to.
TEST(LinkingLookups, TheKindsOfTheChosenRowsAreShownWhole) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "activity_statuses": {"description": "Statuses", "domain": "d", "columns": {
      "activity_status_id": {"description": "Key", "data_type": "INTEGER"},
      "status_name": {"description": "Not Started, In Progress, Completed", "data_type": "TEXT"},
      "status_description": {"description": "Meaning", "data_type": "TEXT"}}},
    "resource_types": {"description": "Kinds of resource", "domain": "d", "columns": {
      "resource_type_id": {"description": "Key", "data_type": "INTEGER"},
      "resource_type_name": {"description": "Labour or Plant", "data_type": "TEXT"}}},
    "activities": {"description": "Activities of the schedule", "domain": "d", "columns": {
      "activity_id": {"description": "Key", "data_type": "INTEGER"},
      "activity_status_id": {"description": "Status", "data_type": "INTEGER"},
      "activity_name": {"description": "Name", "data_type": "TEXT"}}},
    "resources": {"description": "Crews and plant", "domain": "d", "columns": {
      "resource_id": {"description": "Key", "data_type": "INTEGER"},
      "resource_type_id": {"description": "Type", "data_type": "INTEGER"}}}},
   "relationships": [
     {"from_table": "activities", "to_table": "activity_statuses",
      "join_condition": "activities.activity_status_id = activity_statuses.activity_status_id", "description": ""},
     {"from_table": "resources", "to_table": "resource_types",
      "join_condition": "resources.resource_type_id = resource_types.resource_type_id", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  const auto r = index.link(linking::Query{"which activities are finished", {}, ""});
  ASSERT_EQ(r.lookup_tables.size(), 1u);
  EXPECT_EQ(graph.id(r.lookup_tables[0]), "table:activity_statuses");
  Strings listed;
  for (const auto c : r.listed_columns) listed.emplace_back(graph.id(c));
  EXPECT_NE(std::find(listed.begin(), listed.end(), "column:activity_statuses.status_description"), listed.end());
}

// Slippage is the activities' against their baseline; a schema word done
// again ("rebaselined") is that word.
TEST(LinkingNeighbours, SlippageBringsTheActivitiesAndAWordDoneAgainIsThatWord) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "Baselines": {"description": "Baselines of each project", "domain": "d", "columns": {
      "BaselineId": {"description": "Key", "data_type": "INTEGER"},
      "BaselineTitle": {"description": "Title", "data_type": "TEXT"}}},
    "Activities": {"description": "Tasks of the schedule", "domain": "d", "columns": {
      "ActivityId": {"description": "Key", "data_type": "INTEGER"},
      "BaselineFinish": {"description": "Finish in the current baseline", "data_type": "DATE"}}}}})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  auto tables = [&](std::string_view question) {
    Strings out;
    for (const auto& t : index.link(linking::Query{question, {}, ""}).tables) out.emplace_back(graph.id(t.node));
    std::sort(out.begin(), out.end());
    return out;
  };
  EXPECT_EQ(tables("slippage v baseline"), (Strings{"table:Activities", "table:Baselines"}));
  EXPECT_EQ(tables("which were rebaselined"), tables("which were baselined"));
  EXPECT_FALSE(tables("which were rebaselined").empty());
}

// A part of the work breakdown named by its stored name, and no table,
// asks about the activities under it; the breakdown named asks about itself.
TEST(LinkingNeighbours, APartOfTheBreakdownNamedAsksAboutTheWorkUnderIt) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "wbs_nodes": {"description": "Work breakdown of each project", "domain": "d", "related_terms": "block", "columns": {
      "wbs_node_id": {"description": "Key", "data_type": "INTEGER"},
      "wbs_name": {"description": "Name, e.g. Block B", "data_type": "TEXT"}}},
    "activities": {"description": "Activities of the schedule", "domain": "d", "columns": {
      "activity_id": {"description": "Key", "data_type": "INTEGER"},
      "wbs_node_id": {"description": "Its WBS node", "data_type": "INTEGER"},
      "activity_name": {"description": "Name", "data_type": "TEXT"}}}},
   "relationships": [{"from_table": "activities", "to_table": "wbs_nodes",
      "join_condition": "activities.wbs_node_id = wbs_nodes.wbs_node_id", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  auto tables = [&](std::string_view question) {
    Strings out;
    for (const auto& t : index.link(linking::Query{question, {}, "", {"wbs_nodes"}}).tables)
      out.emplace_back(graph.id(t.node));
    return out;
  };
  EXPECT_EQ(tables("how is block B going"), (Strings{"table:wbs_nodes", "table:activities"}));
  EXPECT_EQ(tables("the WBS under block B"), (Strings{"table:wbs_nodes"}));
}

// Names written as one lower-case run read as the words of the document's
// prose they join, and a warehouse's surrogate and business keys are keys:
// the projects shown for their names keep their own key and their code.
TEST(LinkingNames, NamesRunTogetherAndWarehouseKeysAreRead) {
  const char* schemas[][2] = {
      {R"j("project": {"description": "Projects of the mine", "domain": "d", "columns": {
          "projectid": {"description": "Project id", "data_type": "INTEGER"},
          "sponsor": {"description": "Sponsor", "data_type": "TEXT"},
          "projectcode": {"description": "Project code, e.g. C2501", "data_type": "TEXT"}}},
        "activity": {"description": "Activities with their float", "domain": "d", "columns": {
          "activityid": {"description": "Activity id", "data_type": "INTEGER"},
          "projectid": {"description": "Project (project.projectid)", "data_type": "INTEGER"},
          "activitycode": {"description": "Activity code", "data_type": "TEXT"},
          "totalfloat": {"description": "Total float in days", "data_type": "REAL"}}})j",
       "activity.projectid = project.projectid"},
      {R"("dim_project": {"description": "Projects of the programme", "domain": "d", "columns": {
          "project_sk": {"description": "Surrogate key", "data_type": "INTEGER"},
          "sponsor": {"description": "Sponsor", "data_type": "TEXT"},
          "project_bk": {"description": "Business key", "data_type": "TEXT"}}},
        "fact_activity": {"description": "Activities with their float", "domain": "d", "columns": {
          "activity_sk": {"description": "Surrogate key", "data_type": "INTEGER"},
          "project_sk": {"description": "Project", "data_type": "INTEGER"},
          "activity_bk": {"description": "Activity code", "data_type": "TEXT"},
          "total_float_days": {"description": "Total float in days", "data_type": "REAL"}}})",
       "fact_activity.project_sk = dim_project.project_sk"},
      // An abbreviation a description quotes only in a reference is still one.
      {R"j("prj_project": {"description": "Projects of the airport", "domain": "d", "columns": {
          "proj_id": {"description": "Project id", "data_type": "INTEGER"},
          "sponsor": {"description": "Sponsor", "data_type": "TEXT"},
          "proj_code": {"description": "Project code", "data_type": "TEXT"}}},
        "sch_activity": {"description": "Activities with their float", "domain": "d", "columns": {
          "act_id": {"description": "Activity id", "data_type": "INTEGER"},
          "proj_id": {"description": "Project (prj_project.proj_id)", "data_type": "INTEGER"},
          "act_code": {"description": "Activity code", "data_type": "TEXT"},
          "tf_days": {"description": "Total float in days", "data_type": "REAL"}}})j",
       "sch_activity.proj_id = prj_project.proj_id"}};
  for (const auto& [tables, join] : schemas) {
    const std::string condition = join;
    const std::string child = condition.substr(0, condition.find('.'));
    const std::size_t to = condition.find("= ") + 2;
    const std::string parent = condition.substr(to, condition.rfind('.') - to);
    atlanor::AtlanorService service;
    service.build_graph(json::parse(std::string("{\"tables\": {") + tables + R"(}, "relationships": [{"from_table": ")" +
                                    child + R"(", "to_table": ")" + parent + R"(", "join_condition": ")" + condition +
                                    R"(", "description": ""}]})"));
    const Graph& graph = *service.graph()->graph;
    linking::Index index(graph);
    const auto r = index.link(linking::Query{"activities with negative total float", {}, ""});
    ASSERT_TRUE(r.project_table) << child;
    EXPECT_EQ(graph.id(*r.project_table), "table:" + parent);
    Strings listed;
    for (const auto c : r.listed_columns) listed.emplace_back(graph.id(c));
    const std::string key = parent == "project" ? "projectid" : parent == "prj_project" ? "proj_id" : "project_sk";
    const std::string code = parent == "project" ? "projectcode" : parent == "prj_project" ? "proj_code" : "project_bk";
    for (const std::string& column : {key, code})
      EXPECT_NE(std::find(listed.begin(), listed.end(), "column:" + parent + "." + column), listed.end()) << column;
    EXPECT_EQ(std::find(listed.begin(), listed.end(), "column:" + parent + ".sponsor"), listed.end());
  }
}

// A contraction without a vowel ("bsln") is read as the word it shortens,
// even where a description quotes it inside an identifier.
TEST(LinkingNames, ContractionsQuotedInDescriptionsAreStillRead) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"j({"tables": {
    "bsln_tbl": {"description": "Baselines of each build area", "domain": "d", "columns": {
      "bsln_id": {"description": "Key", "data_type": "INTEGER"},
      "bsln_nm": {"description": "Name", "data_type": "TEXT"}}},
    "bsln_tsk_tbl": {"description": "Task dates as stored in each baseline", "domain": "d", "columns": {
      "bt_id": {"description": "Key", "data_type": "INTEGER"},
      "bsln_id": {"description": "baseline (bsln_tbl.bsln_id)", "data_type": "INTEGER"},
      "tsk_id": {"description": "task (task_tbl.tsk_id)", "data_type": "INTEGER"}}},
    "task_tbl": {"description": "Tasks and their current baseline dates", "domain": "d", "columns": {
      "tsk_id": {"description": "Key", "data_type": "INTEGER"},
      "bl_fin_dt": {"description": "Finish in the current baseline", "data_type": "DATE"}}}},
   "relationships": [
    {"from_table": "bsln_tsk_tbl", "to_table": "bsln_tbl", "join_condition": "bsln_tsk_tbl.bsln_id = bsln_tbl.bsln_id", "description": ""},
    {"from_table": "bsln_tsk_tbl", "to_table": "task_tbl", "join_condition": "bsln_tsk_tbl.tsk_id = task_tbl.tsk_id", "description": ""}]})j"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  const auto r = index.link(linking::Query{"list the baselines", {}, ""});
  ASSERT_FALSE(r.tables.empty());
  EXPECT_EQ(graph.id(r.tables.front().node), "table:bsln_tbl");
  EXPECT_EQ(r.tables.front().reason, linking::Reason::kNamed);
}

// A question that names nothing and asks what starts, finishes or is due
// asks about the schedule's tasks; one that names a table does not, unless
// it asks what is still to do or under way there.
TEST_F(Linking, WhatStartsOrIsDueAsksAboutTheTasks) {
  for (const char* question : {"what kicks off in october?", "what's due next week", "what finishes in may",
                               "work calendars still to do", "what's under way on the work calendars",
                               "2 wk lookahead for the work calendars", "three week look-ahead",
                               "work calendar 5 - where are we with it", "everything on work calendar 5"}) {
    const Strings got = tables(link(question));
    EXPECT_NE(std::find(got.begin(), got.end(), "Task"), got.end()) << question;
  }
  EXPECT_EQ(tables(link("when do the work calendars start")), (Strings{"WorkCalendar"}));
  EXPECT_TRUE(link("what happened to the share price").tables.empty());
}

TEST_F(Linking, PlannersWordsForTheSameThingReachTheSchemasWord) {
  // The schema says "task" and "project"; planners also say "activity" and "job".
  EXPECT_EQ(sorted_tables("How many activities does each job have?"), (Strings{"Project", "Task"}));
  EXPECT_EQ(entry(link("all jobs"), "Project").reason, linking::Reason::kNamed);
  EXPECT_EQ(tables(link("programme")), (Strings{"Project"}));
  // A word the schema's own names use keeps the schema's meaning: "links"
  // names TaskLink and is not read as another word for it.
  EXPECT_EQ(tables(link("task links")).front(), "TaskLink");
  EXPECT_EQ(entry(link("task links"), "TaskLink").reason, linking::Reason::kNamed);
}

TEST_F(Linking, BookingsAndPlantAreTheSchemasAssignmentsAndEquipment) {
  // Trade words read as the schema's own: a booking is an assignment, and
  // plant is the equipment that the Resource table describes.
  EXPECT_EQ(tables(link("show the bookings")).front(), "ResourceAssignment");
  EXPECT_EQ(tables(link("plant")), (Strings{"Resource"}));
  // What drives or holds up a task is its predecessors, what hangs off it
  // its successors.
  for (const char* question : {"what's driving T-100?", "what is holding up T-100", "whats hanging off T-100"}) {
    const Strings got = tables(link(question));
    EXPECT_NE(std::find(got.begin(), got.end(), "TaskLink"), got.end()) << question;
  }
}

TEST_F(Linking, ANeighboursNounOrTheParentsWordInAChildChoosesTheNeighbour) {
  // "baseline" of the column name "baseline finish date" (BaselineTask's)
  // asks for the Baseline those rows belong to ...
  auto r = link("baseline finish date of each task");
  EXPECT_NO_THROW(entry(r, "Baseline"));
  EXPECT_NO_THROW(entry(r, "BaselineTask"));
  // ... while the question naming BaselineTask by its own name does not.
  EXPECT_EQ(tables(link("list the baseline tasks")), (Strings{"BaselineTask"}));
}

TEST_F(Linking, TablesHoldingANamedValueAreKeptAndJoined) {
  linking::Query q{"deliveries for the Harbor Bridge job", {}, ""};
  q.value_tables = {"Shipment", "NoSuchTable"};
  auto r = index_->link(q);
  EXPECT_EQ(entry(r, "Shipment").reason, linking::Reason::kValue);
  EXPECT_EQ(r.strength, linking::Strength::kStrong);
  EXPECT_EQ(linking::reason_name(linking::Reason::kValue), "value");
}

TEST_F(Linking, OfTablesAContestedValueWordMayNameTheOneJoiningTheOthersIsKept) {
  auto chosen = [&](const std::string& question, std::vector<Strings> choices) {
    linking::Query q{question, {}, ""};
    q.value_table_choices = std::move(choices);
    return tables(index_->link(q));
  };
  // Resource joins the assignments the question names; Shipment joins nothing.
  Strings r = chosen("crane assignments", {{"Resource", "Shipment"}});
  EXPECT_NE(std::find(r.begin(), r.end(), "Resource"), r.end());
  EXPECT_EQ(std::find(r.begin(), r.end(), "Shipment"), r.end());
  // Both join a chosen table, or none does: neither is kept.
  r = chosen("crane tasks", {{"ResourceAssignment", "TaskLink"}});
  EXPECT_EQ(r, (Strings{"Task"}));
  r = chosen("crane calendars", {{"TaskLink", "Shipment"}});
  EXPECT_EQ(r, (Strings{"WorkCalendar"}));
  // One of them chosen already settles it, but for the table it points to:
  // tasks named after the school, or the school project's tasks.
  r = chosen("crane assignments and shipments", {{"Resource", "Shipment"}});
  EXPECT_EQ(std::find(r.begin(), r.end(), "Resource"), r.end());
  r = chosen("tasks on the school", {{"Project", "Task"}});
  EXPECT_NE(std::find(r.begin(), r.end(), "Project"), r.end());
}

TEST_F(Linking, ATableThatOnlyPairsTwoOthersIsReadWithBoth) {
  // Assignments hold keys and units only: with resources, the tasks too.
  Strings r = sorted_tables("assignments of each resource");
  EXPECT_EQ(r, (Strings{"Resource", "ResourceAssignment", "Task"}));
  // Alone, they stay alone.
  EXPECT_EQ(sorted_tables("budgeted units of assignments"), (Strings{"ResourceAssignment"}));
}

TEST_F(Linking, TablesStoringTheSameNamedValueAsAChosenOneAreChosen) {
  auto chosen = [&](const std::string& question, std::vector<Strings> groups) {
    linking::Query q{question, {}, ""};
    q.value_table_groups = std::move(groups);
    Strings out = tables(index_->link(q));
    std::sort(out.begin(), out.end());
    return out;
  };
  EXPECT_EQ(chosen("the calendars", {{"Shipment", "WorkCalendar"}}), (Strings{"Shipment", "WorkCalendar"}));
  EXPECT_EQ(chosen("the calendars", {{"Shipment", "TaskCode"}}), (Strings{"WorkCalendar"}));
}

TEST_F(Linking, TermsAndTheMostSimilarExamplesOfTheQuestion) {
  auto r = link("links with a lead or a lag over ten days");
  ASSERT_EQ(r.terms.size(), 1u);
  EXPECT_EQ(graph_->id(r.terms[0]), "term:lead");
  ASSERT_FALSE(r.examples.empty());
  EXPECT_EQ(graph_->id(r.examples[0]), "example:0");
  EXPECT_EQ(r.example, r.examples[0]);
  EXPECT_LE(r.examples.size(), 3u);
  EXPECT_TRUE(link("critical tasks").terms.empty());
}

// "assignments" is the noun of CrewAssignment's name, which joins the
// earlier statement's Crew; CodeAssignment shares the word but not the join.
// Crew's own description says "assigned", which alone kept the assignments
// out.
TEST(LinkingNeighbours, TheNounOfANeighboursNameChoosesIt) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "Crew": {"description": "Crews of operatives assigned to site work", "domain": "labour",
      "columns": {"CrewId": {"description": "Key", "data_type": "INTEGER"},
                  "CrewName": {"description": "Name of the crew", "data_type": "TEXT"}}},
    "Item": {"description": "Schedule items", "domain": "scheduling",
      "columns": {"ItemId": {"description": "Key", "data_type": "INTEGER"}}},
    "Code": {"description": "Codes grouping items", "domain": "codes",
      "columns": {"CodeId": {"description": "Key", "data_type": "INTEGER"}}},
    "CrewAssignment": {"description": "Crews given to items", "domain": "labour",
      "columns": {"CrewId": {"description": "Crew", "data_type": "INTEGER"},
                  "ItemId": {"description": "Item", "data_type": "INTEGER"},
                  "PlannedHours": {"description": "Planned hours", "data_type": "REAL"}}},
    "CodeAssignment": {"description": "Codes given to items", "domain": "codes",
      "columns": {"CodeId": {"description": "Code", "data_type": "INTEGER"},
                  "ItemId": {"description": "Item", "data_type": "INTEGER"}}}},
   "relationships": [
    {"from_table": "CrewAssignment", "to_table": "Crew", "join_condition": "CrewAssignment.CrewId = Crew.CrewId", "description": ""},
    {"from_table": "CrewAssignment", "to_table": "Item", "join_condition": "CrewAssignment.ItemId = Item.ItemId", "description": ""},
    {"from_table": "CodeAssignment", "to_table": "Code", "join_condition": "CodeAssignment.CodeId = Code.CodeId", "description": ""},
    {"from_table": "CodeAssignment", "to_table": "Item", "join_condition": "CodeAssignment.ItemId = Item.ItemId", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  auto tables = [&](const char* question, const char* previous) { return chosen_tables(index, graph, question, previous); };
  // (The assignments name no row of their own: the items they pair the crews with come along.)
  EXPECT_EQ(tables("now show their assignments", "SELECT CrewName FROM Crew"),
            (Strings{"Crew", "CrewAssignment", "Item"}));
  // Without a chosen neighbour the word alone is not enough to choose between the two.
  EXPECT_EQ(tables("crews", ""), (Strings{"Crew"}));
}

// Activities and baselines both belong to a project, which joins them, but
// only the frozen dates pair an activity with its dates in a baseline. Risks
// refer to an activity and its project too, but those two are joined directly.
TEST(LinkingJoins, TwoTablesThatShareAParentMeetInTheChildThatRefersToBoth) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "project": {"description": "Projects, each to finish by a contract date", "domain": "d", "columns": {
      "project_id": {"description": "Key", "data_type": "INTEGER"}}},
    "activity": {"description": "Activities of a project", "domain": "d", "columns": {
      "activity_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Its project", "data_type": "INTEGER"},
      "area_id": {"description": "Where it is done", "data_type": "INTEGER"},
      "finish_date": {"description": "Current finish", "data_type": "TEXT"}}},
    "area": {"description": "Areas of the site", "domain": "d", "columns": {
      "area_id": {"description": "Key", "data_type": "INTEGER"},
      "area_name": {"description": "Name", "data_type": "TEXT"}}},
    "baseline": {"description": "Saved copies of a project's schedule", "domain": "d", "columns": {
      "baseline_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Its project", "data_type": "INTEGER"}}},
    "frozen_dates": {"description": "An activity's dates as they were", "domain": "d", "columns": {
      "baseline_id": {"description": "The copy", "data_type": "INTEGER"},
      "activity_id": {"description": "The activity", "data_type": "INTEGER"},
      "frozen_finish": {"description": "Finish as it was", "data_type": "TEXT"}}},
    "risk": {"description": "Threats", "domain": "d", "columns": {
      "risk_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Its project", "data_type": "INTEGER"},
      "activity_id": {"description": "Threatened", "data_type": "INTEGER"}}}},
   "relationships": [
    {"from_table": "activity", "to_table": "project", "join_condition": "activity.project_id = project.project_id", "description": ""},
    {"from_table": "baseline", "to_table": "project", "join_condition": "baseline.project_id = project.project_id", "description": ""},
    {"from_table": "activity", "to_table": "area", "join_condition": "activity.area_id = area.area_id", "description": ""},
    {"from_table": "frozen_dates", "to_table": "baseline", "join_condition": "frozen_dates.baseline_id = baseline.baseline_id", "description": ""},
    {"from_table": "frozen_dates", "to_table": "activity", "join_condition": "frozen_dates.activity_id = activity.activity_id", "description": ""},
    {"from_table": "risk", "to_table": "project", "join_condition": "risk.project_id = project.project_id", "description": ""},
    {"from_table": "risk", "to_table": "activity", "join_condition": "risk.activity_id = activity.activity_id", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  auto tables = [&](const char* question) { return chosen_tables(index, graph, question); };
  EXPECT_EQ(tables("For each project, how many activities now finish later than in the saved copy?"),
            (Strings{"activity", "baseline", "frozen_dates", "project"}));
  EXPECT_EQ(tables("activities of each project"), (Strings{"activity", "project"}));
  // Activities joined only to bring in their areas meet the baselines there too.
  EXPECT_EQ(tables("the saved copy of each project, by area"),
            (Strings{"activity", "area", "baseline", "frozen_dates", "project"}));
}

// "successors" is the name of a column of ItemLink only; Item merely
// describes slip before a successor and a keyword leads from the word to
// that float. With Item and Note chosen, the link table joins them for the
// word. (Three other tables make the word rare enough among the tables to
// count.)
TEST(LinkingNeighbours, AWordOnlyANeighboursColumnIsNamedByChoosesIt) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "Item": {"description": "Schedule items", "domain": "scheduling",
      "columns": {"ItemId": {"description": "Key", "data_type": "INTEGER"},
                  "FreeFloat": {"description": "Days the item can slip before any successor moves; the successor float",
                                "data_type": "INTEGER"},
                  "ItemName": {"description": "Name", "data_type": "TEXT"}}},
    "ItemLink": {"description": "Logic between items", "domain": "logic",
      "columns": {"PredItemId": {"description": "Item before", "data_type": "INTEGER"},
                  "SuccessorItemId": {"description": "Item after", "data_type": "INTEGER"}}},
    "Note": {"description": "Delay notes written on items", "domain": "notes",
      "columns": {"NoteId": {"description": "Key", "data_type": "INTEGER"},
                  "ItemId": {"description": "Item", "data_type": "INTEGER"},
                  "NoteText": {"description": "Text of the delay note", "data_type": "TEXT"}}},
    "Crew": {"description": "Gangs of operatives", "domain": "labour",
      "columns": {"CrewId": {"description": "Key", "data_type": "INTEGER"}}},
    "Calendar": {"description": "Working days", "domain": "scheduling",
      "columns": {"CalendarId": {"description": "Key", "data_type": "INTEGER"}}},
    "Site": {"description": "Places of work", "domain": "site",
      "columns": {"SiteId": {"description": "Key", "data_type": "INTEGER"}}}},
   "relationships": [
    {"from_table": "ItemLink", "to_table": "Item", "join_condition": "ItemLink.PredItemId = Item.ItemId", "description": ""},
    {"from_table": "ItemLink", "to_table": "Item", "join_condition": "ItemLink.SuccessorItemId = Item.ItemId", "description": ""},
    {"from_table": "Note", "to_table": "Item", "join_condition": "Note.ItemId = Item.ItemId", "description": ""}],
   "keywords": {"successor": ["Item.FreeFloat"]}})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  EXPECT_EQ(chosen_tables(index, graph, "Which successors wait on items that have delay notes?"),
            (Strings{"Item", "ItemLink", "Note"}));
}

// A table added only to join others shows a few of its columns: its
// current start and finish and those the question's words match before the
// rest.
TEST(LinkingColumns, AJoinTablesCurrentDatesAndMatchedColumnsComeFirst) {
  std::string tasks;
  for (int i = 1; i <= 14; ++i)
    tasks += R"("note_)" + std::to_string(i) + R"(": {"description": "Remark", "data_type": "TEXT"}, )";
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "project": {"description": "Projects", "domain": "d", "columns": {
      "project_id": {"description": "Key", "data_type": "INTEGER"},
      "project_name": {"description": "Name", "data_type": "TEXT"},
      "total_float": {"description": "Worst total float", "data_type": "REAL"}}},
    "resource": {"description": "Crews and plant", "domain": "d", "columns": {
      "resource_id": {"description": "Key", "data_type": "INTEGER"},
      "resource_name": {"description": "Name", "data_type": "TEXT"}}},
    "assignment": {"description": "Bookings", "domain": "d", "columns": {
      "assignment_id": {"description": "Key", "data_type": "INTEGER"},
      "resource_id": {"description": "Who", "data_type": "INTEGER"},
      "task_id": {"description": "On what", "data_type": "INTEGER"}}},
    "task": {"description": "Scheduled work", "domain": "d", "columns": {
      "task_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Its project", "data_type": "INTEGER"}, )" + tasks + R"(
      "total_float": {"description": "Total float", "data_type": "REAL"},
      "baseline_finish": {"description": "Finish as baselined", "data_type": "DATE"},
      "planned_finish": {"description": "Finish as planned now", "data_type": "DATE"}}}},
   "relationships": [
    {"from_table": "assignment", "to_table": "resource", "join_condition": "assignment.resource_id = resource.resource_id", "description": ""},
    {"from_table": "assignment", "to_table": "task", "join_condition": "assignment.task_id = task.task_id", "description": ""},
    {"from_table": "task", "to_table": "project", "join_condition": "task.project_id = project.project_id", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  const linking::Result r = index.link(linking::Query{"resources of each project by total float", {}, ""});
  Strings listed;
  for (const Graph::Index n : r.listed_columns) listed.emplace_back(graph.id(n));
  ASSERT_NE(std::find(listed.begin(), listed.end(), "column:task.task_id"), listed.end());  // task joins
  EXPECT_NE(std::find(listed.begin(), listed.end(), "column:task.total_float"), listed.end());
  EXPECT_NE(std::find(listed.begin(), listed.end(), "column:task.planned_finish"), listed.end());
  EXPECT_EQ(std::find(listed.begin(), listed.end(), "column:task.baseline_finish"), listed.end());
  EXPECT_EQ(std::find(listed.begin(), listed.end(), "column:task.note_14"), listed.end());
}

// An acronym's plural the schema does not write reads as its singular.
TEST(LinkingWords, AnAcronymsPluralIsItsSingular) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "purchase_orders": {"description": "Orders placed with suppliers", "domain": "d", "columns": {
      "po_number": {"description": "Order number", "data_type": "TEXT"},
      "po_value": {"description": "Committed value", "data_type": "REAL"}}},
    "vendors": {"description": "Suppliers", "domain": "d", "columns": {
      "vendor_name": {"description": "Name", "data_type": "TEXT"}}},
    "crews": {"description": "Gangs", "domain": "d", "columns": {
      "crew_name": {"description": "Name", "data_type": "TEXT"}}}}})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  EXPECT_EQ(chosen_tables(index, graph, "open POs"), (Strings{"purchase_orders"}));
  EXPECT_EQ(chosen_tables(index, graph, "open pos"), Strings{});
}

// A question asking who asks for people: the one table of people that
// joins the chosen tables comes along, unless a chosen table holds a person
// itself (an owner) or the question does not ask who.
TEST(LinkingPeople, WhoAsksForTheTableOfPeople) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "Shift": {"description": "Shift patterns", "domain": "d", "columns": {
      "ShiftId": {"description": "Key", "data_type": "INTEGER"},
      "ShiftName": {"description": "Days or nights", "data_type": "TEXT"}}},
    "Technician": {"description": "Tradespeople", "domain": "d", "columns": {
      "TechnicianId": {"description": "Key", "data_type": "INTEGER"},
      "FullName": {"description": "Name", "data_type": "TEXT"},
      "ShiftId": {"description": "Their shift", "data_type": "INTEGER"}}},
    "Operation": {"description": "Scheduled operations", "domain": "d", "columns": {
      "OperationId": {"description": "Key", "data_type": "INTEGER"},
      "ShiftId": {"description": "Worked on", "data_type": "INTEGER"}}},
    "Hazard": {"description": "Hazards of a shift", "domain": "d", "columns": {
      "HazardId": {"description": "Key", "data_type": "INTEGER"},
      "ShiftId": {"description": "When", "data_type": "INTEGER"},
      "Owner": {"description": "Responsible", "data_type": "TEXT"}}}},
   "relationships": [
    {"from_table": "Technician", "to_table": "Shift", "join_condition": "Technician.ShiftId = Shift.ShiftId", "description": ""},
    {"from_table": "Operation", "to_table": "Shift", "join_condition": "Operation.ShiftId = Shift.ShiftId", "description": ""},
    {"from_table": "Hazard", "to_table": "Shift", "join_condition": "Hazard.ShiftId = Shift.ShiftId", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  auto tables = [&](const char* question) { return chosen_tables(index, graph, question); };
  EXPECT_EQ(tables("who is on the night shift?"), (Strings{"Shift", "Technician"}));
  EXPECT_EQ(tables("is anyone on the night shift?"), (Strings{"Shift", "Technician"}));
  EXPECT_EQ(tables("which operations are on the night shift?"), (Strings{"Operation", "Shift"}));
  EXPECT_EQ(tables("who owns the hazards of the night shift?"), (Strings{"Hazard", "Shift"}));
}

// Who does a task, where people work in crews that assignments give tasks:
// the crews, with the assignments that join them to it (not the crews'
// daily reports, which point to both too).
TEST(LinkingPeople, WhoThroughTheAssignmentsOfCrews) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "Task": {"description": "Scheduled tasks", "domain": "d", "columns": {
      "TaskId": {"description": "Key", "data_type": "INTEGER"},
      "TaskName": {"description": "Name", "data_type": "TEXT"},
      "Supervisor": {"description": "Supervisor signing the task off", "data_type": "TEXT"}}},
    "Crew": {"description": "Gangs on site", "domain": "d", "columns": {
      "CrewId": {"description": "Key", "data_type": "INTEGER"},
      "CrewName": {"description": "Name", "data_type": "TEXT"}}},
    "Allocation": {"description": "Crews given to tasks", "domain": "d", "columns": {
      "TaskId": {"description": "Task", "data_type": "INTEGER"},
      "CrewId": {"description": "Crew", "data_type": "INTEGER"},
      "Hours": {"description": "Planned hours", "data_type": "REAL"}}},
    "DayReport": {"description": "What a crew got done on a task each day", "domain": "d", "columns": {
      "TaskId": {"description": "Task", "data_type": "INTEGER"},
      "CrewId": {"description": "Crew", "data_type": "INTEGER"},
      "Quantity": {"description": "Quantity installed", "data_type": "REAL"}}}},
   "relationships": [
    {"from_table": "Allocation", "to_table": "Task", "join_condition": "Allocation.TaskId = Task.TaskId", "description": ""},
    {"from_table": "Allocation", "to_table": "Crew", "join_condition": "Allocation.CrewId = Crew.CrewId", "description": ""},
    {"from_table": "DayReport", "to_table": "Task", "join_condition": "DayReport.TaskId = Task.TaskId", "description": ""},
    {"from_table": "DayReport", "to_table": "Crew", "join_condition": "DayReport.CrewId = Crew.CrewId", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  auto tables = [&](const char* question) { return chosen_tables(index, graph, question); };
  EXPECT_EQ(tables("who is doing the task named Pour"), (Strings{"Allocation", "Crew", "Task"}));
  EXPECT_EQ(tables("which task is named Pour"), (Strings{"Task"}));
  // Who works on it, though a task names its supervisor; who signs it off is the supervisor.
  EXPECT_EQ(tables("who's working on the task named Pour"), (Strings{"Allocation", "Crew", "Task"}));
  EXPECT_EQ(tables("who signs off the task named Pour"), (Strings{"Task"}));
  // Who is on it works on it.
  EXPECT_EQ(tables("who is on the task named Pour"), (Strings{"Allocation", "Crew", "Task"}));
}

// Who is on the work that a chosen table points to: the crews, through
// their assignments to that work, with it.
TEST(LinkingPeople, WhoIsOnTheWorkAChosenTablePointsTo) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "Task": {"description": "Scheduled tasks", "domain": "d", "columns": {
      "TaskId": {"description": "Key", "data_type": "INTEGER"}, "TaskName": {"description": "Name", "data_type": "TEXT"}}},
    "Crew": {"description": "Gangs", "domain": "d", "columns": {
      "CrewId": {"description": "Key", "data_type": "INTEGER"}, "CrewName": {"description": "Name", "data_type": "TEXT"}}},
    "Allocation": {"description": "Crews given to tasks", "domain": "d", "columns": {
      "TaskId": {"description": "Task", "data_type": "INTEGER"}, "CrewId": {"description": "Crew", "data_type": "INTEGER"}}},
    "HotWorkPermit": {"description": "Hot work permits for a task", "domain": "d", "columns": {
      "PermitId": {"description": "Key", "data_type": "INTEGER"}, "TaskId": {"description": "Task", "data_type": "INTEGER"},
      "AreaId": {"description": "Area", "data_type": "INTEGER"}, "IssuedBy": {"description": "Issuer", "data_type": "TEXT"}}},
    "Area": {"description": "Plant areas", "domain": "d", "columns": {
      "AreaId": {"description": "Key", "data_type": "INTEGER"}}}},
   "relationships": [
    {"from_table": "Allocation", "to_table": "Task", "join_condition": "Allocation.TaskId = Task.TaskId", "description": ""},
    {"from_table": "Allocation", "to_table": "Crew", "join_condition": "Allocation.CrewId = Crew.CrewId", "description": ""},
    {"from_table": "HotWorkPermit", "to_table": "Task", "join_condition": "HotWorkPermit.TaskId = Task.TaskId", "description": ""},
    {"from_table": "HotWorkPermit", "to_table": "Area", "join_condition": "HotWorkPermit.AreaId = Area.AreaId", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  EXPECT_EQ(chosen_tables(index, graph, "who is on the hot work permits"),
            (Strings{"Allocation", "Crew", "HotWorkPermit", "Task"}));
  // Who issued them is a person the permit names.
  EXPECT_EQ(chosen_tables(index, graph, "who issued the hot work permits"), (Strings{"HotWorkPermit"}));
}

// The trade's other words for change requests, site diaries, crews, key
// dates and states reach a schema that uses none of the planner's words.
TEST(LinkingThesaurus, VariationsDailyReportsGangsAndKeyDates) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "change_requests": {"description": "Requested changes", "domain": "commercial",
      "columns": {"change_request_id": {"description": "Key", "data_type": "INTEGER"},
                  "request_state": {"description": "Where the request stands", "data_type": "TEXT"}}},
    "site_diaries": {"description": "Entries written on site each day", "domain": "site",
      "columns": {"diary_id": {"description": "Key", "data_type": "INTEGER"},
                  "weather": {"description": "Weather of the day", "data_type": "TEXT"},
                  "hours_lost": {"description": "Hours not worked", "data_type": "REAL"},
                  "max_temp_c": {"description": "Highest reading", "data_type": "REAL"}}},
    "crews": {"description": "Operatives working together", "domain": "labour",
      "columns": {"crew_id": {"description": "Key", "data_type": "INTEGER"},
                  "foreman": {"description": "Person in charge", "data_type": "TEXT"}}},
    "milestones": {"description": "Contract events", "domain": "scheduling",
      "columns": {"milestone_id": {"description": "Key", "data_type": "INTEGER"}}},
    "turnarounds": {"description": "Planned stops of a plant unit", "domain": "maintenance",
      "columns": {"turnaround_id": {"description": "Key", "data_type": "INTEGER"}}},
    "calendar_holidays": {"description": "Days the sites close", "domain": "scheduling",
      "columns": {"closed_on": {"description": "Day closed", "data_type": "TEXT"}}},
    "jobs": {"description": "Contracts won", "domain": "commercial",
      "columns": {"job_id": {"description": "Key", "data_type": "INTEGER"},
                  "budget_cost": {"description": "Approved budget", "data_type": "REAL"}}},
    "allocations": {"description": "Who works on what", "domain": "labour",
      "columns": {"allocation_id": {"description": "Key", "data_type": "INTEGER"},
                  "job_id": {"description": "Job", "data_type": "INTEGER"},
                  "actual_cost": {"description": "Booked to date", "data_type": "REAL"}}}},
    "relationships": [{"from_table": "allocations", "to_table": "jobs",
                       "join_condition": "allocations.job_id = jobs.job_id", "description": ""}]})"));
  const Graph& graph = *service.graph()->graph;
  linking::Index index(graph);
  auto tables = [&](const char* question) { return chosen_tables(index, graph, question); };
  EXPECT_EQ(tables("Which variations are approved?"), (Strings{"change_requests"}));
  EXPECT_EQ(tables("daily reports with snow"), (Strings{"site_diaries"}));
  EXPECT_EQ(tables("Which gangs have a supervisor?"), (Strings{"crews"}));
  EXPECT_EQ(tables("key dates"), (Strings{"milestones"}));
  EXPECT_EQ(tables("How many hours did we lose?"), (Strings{"site_diaries"}));
  EXPECT_EQ(tables("which bank hols"), (Strings{"calendar_holidays"}));
  EXPECT_EQ(tables("the boiler outage"), (Strings{"turnarounds"}));
  EXPECT_EQ(tables("manhours"), (Strings{"site_diaries"}));
  EXPECT_EQ(tables("what headcount do we have"), (Strings{"crews"}));
  // Spent or burned money is the actual cost, not any cost or the budget.
  const Strings burned = tables("Which jobs have burned through their budget?");
  EXPECT_NE(std::find(burned.begin(), burned.end(), "allocations"), burned.end());
  const Strings acwp = tables("ACWP per job");
  EXPECT_NE(std::find(acwp.begin(), acwp.end(), "allocations"), acwp.end());
  EXPECT_EQ(tables("the hottest day"), (Strings{"site_diaries"}));
}

TEST(LinkingIndex, TheDocumentsRelatedTermsLeadToTheirNodes) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"({"tables": {
    "Shipment": {"description": "Deliveries to site", "domain": "logistics", "related_terms": ["consignment"],
      "columns": {"ShipmentId": {"description": "Identifier", "data_type": "INTEGER"}}},
    "Crew": {"description": "Teams of workers", "domain": "labour",
      "columns": {"Foreman": {"description": "Leader", "data_type": "TEXT", "related_terms": "gaffer, ganger"}}}},
    "business_concepts": {"bad": {"description": "x", "related_terms": 7}}})"));
  const linking::Index& index = service.graph()->link_index();
  auto first = [&](const char* question) {
    const auto r = index.link(linking::Query{question, {}, ""});
    return r.tables.empty() ? std::string() : std::string(service.graph()->graph->id(r.tables[0].node));
  };
  EXPECT_EQ(first("list the consignments"), "table:Shipment");
  EXPECT_EQ(first("which ganger leads"), "table:Crew");  // a column's, given as one text
  EXPECT_EQ(first("consignments"), "table:Shipment");
}

// A table's related term names it, ahead of a table whose name merely uses
// the word ("vessel" of the vessels' day logs); a term two tables give names
// neither.
TEST(LinkingIndex, ARelatedTermNamesItsTable) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"j({"tables": {
    "planResource": {"description": "Resources: vessels, crews and cranes", "domain": "d",
      "related_terms": "resource, vessel, crane",
      "columns": {"intResourceId": {"description": "id", "data_type": "INTEGER"},
        "dblOperatingHsLimitM": {"description": "Operating limit, significant wave height Hs", "data_type": "REAL"}}},
    "vesselDayLog": {"description": "Daily report of each vessel: wave height Hs, hours worked", "domain": "d",
      "related_terms": "vessel log, crane",
      "columns": {"intDayLogId": {"description": "id", "data_type": "INTEGER"},
        "intResourceId": {"description": "Vessel (planResource.intResourceId)", "data_type": "INTEGER"},
        "dblHsMaxM": {"description": "Maximum wave height Hs that day", "data_type": "REAL"},
        "dblHoursWorked": {"description": "Hours the vessel worked", "data_type": "REAL"}}}},
    "relationships": [{"from_table": "vesselDayLog", "to_table": "planResource",
      "join_condition": "vesselDayLog.intResourceId = planResource.intResourceId", "description": ""}]})j"));
  const Graph& graph = *service.graph()->graph;
  const linking::Index& index = service.graph()->link_index();
  const auto vessels = index.link(linking::Query{"which vessels can't work above 2.5 m Hs", {}, ""});
  ASSERT_FALSE(vessels.tables.empty());
  EXPECT_EQ(graph.id(vessels.tables[0].node), "table:planResource");
  EXPECT_EQ(vessels.tables[0].reason, linking::Reason::kNamed);
  const auto cranes = index.link(linking::Query{"cranes", {}, ""});
  EXPECT_TRUE(std::none_of(cranes.tables.begin(), cranes.tables.end(),
                           [](const auto& t) { return t.reason == linking::Reason::kNamed; }));
}

// Keywords that tag one table, where a keyword gives it a word of its name,
// are other words for that word; one that tags two things, or another
// table's name word, is not.
TEST(LinkingIndex, KeywordsOfOneTableBesideItsNameAreItsWords) {
  atlanor::AtlanorService service;
  service.build_graph(json::parse(R"j({"tables": {
    "dim_development": {"description": "Housing developments", "domain": "d",
      "columns": {"development_sk": {"description": "key", "data_type": "INTEGER"}}},
    "dim_plot": {"description": "Plots of a development", "domain": "d",
      "columns": {"plot_sk": {"description": "key", "data_type": "INTEGER"},
        "development_sk": {"description": "Development", "data_type": "INTEGER"}}},
    "fact_snag": {"description": "Defects found at inspections", "domain": "d",
      "columns": {"snag_sk": {"description": "key", "data_type": "INTEGER"}}},
    "dim_subcontractor": {"description": "Trade firms", "domain": "d",
      "columns": {"subcontractor_sk": {"description": "key", "data_type": "INTEGER"}}}},
    "keywords": {"site": ["dim_development"], "scheme": ["dim_development"], "development": ["dim_development"],
      "plot": ["dim_development"], "estate": ["dim_development", "dim_plot"], "defect": ["fact_snag"],
      "subbie": ["dim_subcontractor"], "subcontractor": ["dim_subcontractor", "fact_snag"]}})j"));
  const linking::Index& index = service.graph()->link_index();
  EXPECT_EQ(index.synonym_of("site"), "development");
  EXPECT_EQ(index.synonym_of("schemes"), "development");
  EXPECT_EQ(index.synonym_of("plot"), "");    // another table's name
  EXPECT_EQ(index.synonym_of("estate"), "");  // tags two tables
  EXPECT_EQ(index.synonym_of("defect"), "");  // no word of the name beside it
  EXPECT_EQ(index.synonym_of("subbie"), "subcontractor");  // the name's word may tag more
}

TEST(LinkingIndex, AnyGraphEvenAnEmptyOne) {
  Graph empty;
  linking::Index index(empty);
  EXPECT_EQ(index.table_count(), 0u);
  auto r = index.link(linking::Query{"anything at all", {}, ""});
  EXPECT_TRUE(r.tables.empty());
  EXPECT_EQ(r.strength, linking::Strength::kNone);
}

}  // namespace
