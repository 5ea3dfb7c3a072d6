// The road of one question: which statement answers, where it came from and
// why, offline and with a scripted AI service.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "corvalt/json.hpp"
#include "corvalt/road.hpp"

namespace fs = std::filesystem;
using namespace corvalt;

namespace {

constexpr const char* kSchema = R"({
  "tables": {
    "projects": {"description": "Projects", "domain": "pm", "columns": {
      "project_id": {"description": "Project identifier", "data_type": "INTEGER"},
      "project_name": {"description": "Name of the project", "data_type": "TEXT"}}},
    "activities": {"description": "Activities of a project with their float", "domain": "scheduling", "columns": {
      "activity_id": {"description": "Activity identifier", "data_type": "INTEGER"},
      "project_id": {"description": "Project of the activity", "data_type": "INTEGER"},
      "activity_code": {"description": "Code of the activity", "data_type": "TEXT"},
      "total_float_days": {"description": "Total float in days", "data_type": "REAL"},
      "is_critical": {"description": "1 when on the critical path", "data_type": "INTEGER"},
      "finish_constraint": {"description": "Constraint on the finish", "data_type": "TEXT"}}}
  },
  "relationships": [{"from_table": "activities", "to_table": "projects",
    "join_condition": "activities.project_id = projects.project_id", "description": ""}],
  "query_examples": [{"query": "SELECT activity_code FROM activities WHERE total_float_days > 5",
                      "description": "activities with more than 5 days of float"},
                     {"query": "SELECT activity_code FROM activities WHERE is_critical = 1 AND project_id = 2",
                      "description": "Critical activities of project 2: the activities whose float sets its finish"},
                     {"query": "SELECT activity_code FROM activities WHERE project_id = 2 ORDER BY total_float_days LIMIT 1",
                      "description": "Late activities of project 2, least float first"},
                     {"query": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_name = 'Riverside Medical Center' AND a.is_critical = 1",
                      "description": "Upcoming critical activities of one project"}]
})";

constexpr const char* kHistory = R"({"enriched_queries": [
  {"question": "How many activities does each project have?",
   "natural_language_variations": ["activity count per project"],
   "sql": "SELECT p.project_name, COUNT(*) AS n FROM projects p JOIN activities a ON a.project_id = p.project_id GROUP BY p.project_name"},
  {"question": "Near-critical activities",
   "natural_language_variations": ["activities with total float under 1 day"],
   "sql": "SELECT activity_code FROM activities WHERE total_float_days < 1"},
  {"question": "When do the critical activities of project 1 finish?",
   "sql": "SELECT activity_code FROM activities WHERE is_critical = 1 AND project_id = 1"},
  {"question": "Which of those are critical?",
   "sql": "SELECT activity_code FROM activities WHERE is_critical = 1"}
]})";

// Answers get_response_sync from a script, one reply per call; a call past
// the script fails as an unreachable service would.
class ScriptedAi : public AiService {
 public:
  explicit ScriptedAi(std::deque<std::string> replies) : replies_(std::move(replies)) {}
  bool truthy() const override { return true; }
  bool has_attribute(std::string_view) const override { return false; }
  std::string run(const std::string&) override { throw HostError("no understanding here"); }
  void clear_history() override {}
  std::string get_response_sync(const std::string& prompt) override {
    prompts.push_back(prompt);
    if (replies_.empty()) throw HostError("service unreachable");
    std::string reply = replies_.front();
    replies_.pop_front();
    return reply;
  }
  std::vector<std::string> prompts;

 private:
  std::deque<std::string> replies_;
};

class Road : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("road_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    const std::string path = (dir_ / "schedule.db").string();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE projects (project_id INTEGER PRIMARY KEY, project_name TEXT);"
                           "INSERT INTO projects VALUES (1, 'Harbor Bridge Rehabilitation'), (2, 'Riverside Medical Center');"
                           "CREATE TABLE activities (activity_id INTEGER PRIMARY KEY, project_id INTEGER,"
                           " activity_code TEXT, total_float_days REAL, is_critical INTEGER, finish_constraint TEXT);"
                           "INSERT INTO activities VALUES (1, 1, 'HBR-100', 0, 1, NULL), (2, 1, 'HBR-200', 12, 0, NULL),"
                           " (3, 2, 'RMC-100', 3, 0, NULL), (4, 2, 'RMC-200', -2, 1, 'Finish On or Before');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    schema_.linking_mode = linking::Mode::kLexical;
    schema_.database = path;
    schema_.build_graph(json::parse(kSchema));
    sql_.fix_log_dir = (dir_ / "data").string();
    sql_.open_initial(path);
    history_.load_document(json::parse(kHistory), "history.json");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs statements on the test's database.
  void exec(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir_ / "schedule.db").string().c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
  }

  road::Answer ask(const std::string& question, std::shared_ptr<ScriptedAi> ai = nullptr,
                   std::optional<std::string> previous_sql = std::nullopt) {
    sql_.ai = ai;
    road::Road road(schema_, sql_, &history_);
    return road.ask(road::Question{question, std::move(previous_sql), nullptr},
                    [this](const road::Event& e) { events_.push_back(e.text); });
  }

  fs::path dir_;
  atlanor::AtlanorService schema_;
  quillon::Quillon sql_;
  echovane::EchovaneService history_;
  std::vector<std::string> events_;
};

TEST_F(Road, OfflineTheSameQuestionOrARecordedVariationAnswers) {
  for (const char* q : {"How many activities does each project have?", "activity count per project"}) {
    const road::Answer a = ask(q);
    EXPECT_TRUE(a.answered) << q;
    EXPECT_EQ(a.source, road::Source::kHistory);
    EXPECT_EQ(a.table.row_count, 2u);
    EXPECT_EQ(a.reason, "the same question was answered before");
  }
}

// Misspelt, an earlier question still reaches the careful comparison.
TEST_F(Road, OfflineAMisspeltEarlierQuestionAnswers) {
  const road::Answer a = ask("How many activites does each projcet have?");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_EQ(a.table.row_count, 2u);
}

TEST_F(Road, OfflineAQuestionThatMerelySharesWordsIsNotAnswered) {
  // Word overlap with the earlier question is high, but it asks for fewer rows.
  const road::Answer a = ask("How many critical activities does each project have?");
  EXPECT_FALSE(a.answered);
  EXPECT_EQ(a.source, road::Source::kNone);
  EXPECT_EQ(a.reason, road::kNoAnswerWithoutAi);
  EXPECT_TRUE(a.candidates.empty());  // the best guess is a suggestion, never run
  ASSERT_FALSE(a.suggested_questions.empty());
  EXPECT_EQ(a.suggested_questions[0], "How many activities does each project have?");
  EXPECT_TRUE(a.suggested_sql.has_value());
  EXPECT_NE(std::find(a.suggested_tables.begin(), a.suggested_tables.end(), "activities"),
            a.suggested_tables.end());
}

TEST_F(Road, OfflineATemplateRefilledWithTheQuestionsValuesAnswers) {
  const road::Answer a = ask("tasks with more than 2 days of slack");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_EQ(a.source, road::Source::kTemplate);
  EXPECT_EQ(a.sql, "SELECT activity_code FROM activities WHERE total_float_days > 2");
  EXPECT_EQ(a.table.row_count, 2u);
  // A template whose refilled statement finds nothing is no answer.
  EXPECT_FALSE(ask("activities with more than 50 days of float").answered);
  // Nor one for a follow-up that refers back to the statement before: it
  // asks about those rows only. The same earlier question does not answer
  // one either.
  const std::string before = "SELECT activity_code FROM activities WHERE project_id = 1";
  EXPECT_FALSE(ask("which of those activities have more than 2 days of slack?", nullptr, before).answered);
  EXPECT_TRUE(ask("which tasks have more than 2 days of slack?", nullptr, before).answered);
  EXPECT_FALSE(ask("Which of those are critical?", nullptr, before).answered);
  EXPECT_EQ(ask("Which of those are critical?").source, road::Source::kHistory);
}

TEST_F(Road, OfflineARecordedVariationAndADescriptionsOpeningServeAsTemplates) {
  // Only the variation's wording carries the literal.
  const road::Answer variation = ask("tasks with total float under 4 days");
  ASSERT_TRUE(variation.answered) << variation.reason;
  EXPECT_EQ(variation.source, road::Source::kTemplate);
  EXPECT_EQ(variation.sql, "SELECT activity_code FROM activities WHERE total_float_days < 4");
  EXPECT_EQ(variation.table.row_count, 3u);
  // The question before a description's colon.
  const road::Answer head = ask("critical activities of project 1");
  ASSERT_TRUE(head.answered) << head.reason;
  EXPECT_EQ(head.sql, "SELECT activity_code FROM activities WHERE is_critical = 1 AND project_id = 1");
  // In other words of the trade throughout.
  EXPECT_EQ(ask("crit tasks of job 1").sql, head.sql);
  // Not before a comma when the statement limits its rows: the tail may say so.
  EXPECT_FALSE(ask("late activities of project 1").answered);
}

TEST_F(Road, OfflineAnExamplesPlaceholderTakesAStoredValue) {
  // "one project" stands for the statement's project; the question names
  // another by part of its stored name, and leaves out a word that names
  // nothing in the schema ("upcoming").
  const road::Answer a = ask("critical tasks of the harbor bridge project");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_EQ(a.source, road::Source::kTemplate);
  EXPECT_NE(a.sql.find("p.project_name = 'Harbor Bridge Rehabilitation'"), std::string::npos) << a.sql;
  EXPECT_EQ(a.table.row_count, 1u);
  EXPECT_NE(a.reason.find("\"Upcoming critical activities of one project\""), std::string::npos) << a.reason;
  // Shorthand and a long name leave few words shared as written.
  EXPECT_EQ(ask("crit tasks of the harbor bridge rehabilitation project").sql, a.sql);
  // A word that names something of the schema may not be left out.
  EXPECT_FALSE(ask("tasks of the harbor bridge project").answered);
  // A word of a column's name that is also one word of a stored value
  // ("finish" of 'Finish On or Before') is the word, not a value.
  const road::Answer finish = ask("When do the critical tasks of project 2 finish?");
  ASSERT_TRUE(finish.answered) << finish.reason;
  EXPECT_EQ(finish.sql, "SELECT activity_code FROM activities WHERE is_critical = 1 AND project_id = 2");
}

// An earlier question that names its project while its statement compares
// the project's code refills for another project the question names.
TEST_F(Road, OfflineANameOfTheRowTheStatementComparesByAnotherColumn) {
  exec("ALTER TABLE projects ADD COLUMN project_code TEXT;"
       "UPDATE projects SET project_code = CASE project_id WHEN 1 THEN 'HBR' ELSE 'RMC' END;"
       "INSERT INTO activities VALUES (5, 1, 'HBR-300', -4, 0, NULL);");
  history_.load_document(json::parse(R"({"enriched_queries": [
    {"question": "activities of Riverside Medical Center with negative float",
     "sql": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_code = 'RMC' AND a.total_float_days < 0"}]})"),
                         "history.json");
  const road::Answer a = ask("activities of Harbor Bridge Rehabilitation with negative float");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_EQ(a.source, road::Source::kTemplate);
  EXPECT_NE(a.sql.find("p.project_name = 'Harbor Bridge Rehabilitation'"), std::string::npos) << a.sql;
  EXPECT_EQ(a.table.row_count, 1u);
  // A value that rows of other names share is no other name of the row.
  history_.load_document(json::parse(R"({"enriched_queries": [
    {"question": "activities of Riverside Medical Center with negative float",
     "sql": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_type = 'Civil' AND a.total_float_days < 0"}]})"),
                         "history.json");
  exec("ALTER TABLE projects ADD COLUMN project_type TEXT; UPDATE projects SET project_type = 'Civil';");
  const road::Answer shared = ask("activities of Harbor Bridge Rehabilitation with negative float");
  EXPECT_FALSE(shared.answered) << shared.sql;
}

// One word of a longer name reads weakly as that name, unless the earlier
// statement writes it as a pattern.
TEST_F(Road, OfflineAPatternOfPartOfANameTakesTheNewName) {
  history_.load_document(json::parse(R"({"enriched_queries": [
    {"question": "critical activities of Riverside",
     "sql": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_name LIKE '%Riverside%' AND a.is_critical = 1"}]})"),
                         "history.json");
  const road::Answer a = ask("critical activities of Harbor Bridge");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_EQ(a.source, road::Source::kTemplate);
  EXPECT_NE(a.sql.find("LIKE '%Harbor Bridge Rehabilitation%'"), std::string::npos) << a.sql;
  EXPECT_EQ(a.table.row_count, 1u);
}

// A first name that one person alone has names that person.
TEST_F(Road, OfflineAFirstNameOnePersonAloneHas) {
  exec("CREATE TABLE risks (risk_id INTEGER PRIMARY KEY, title TEXT, owner TEXT);"
       "INSERT INTO risks VALUES (1, 'Crane failure', 'Callum Rennie'), (2, 'Late steel', 'Priya Raman'),"
       " (3, 'Flooding', 'Sam Ortiz'), (4, 'Ground', 'Sam Patel');");
  schema_.build_graph(json::parse(R"({"tables": {"risks": {"description": "Risk register", "domain": "risk",
    "columns": {"risk_id": {"description": "Risk identifier", "data_type": "INTEGER"},
                "title": {"description": "Title of the risk", "data_type": "TEXT"},
                "owner": {"description": "Owner of the risk", "data_type": "TEXT"}}}}})"));
  history_.load_document(json::parse(R"({"enriched_queries": [
    {"question": "Which risks does Priya Raman own?", "sql": "SELECT title FROM risks WHERE owner = 'Priya Raman'"}]})"),
                         "history.json");
  const road::Answer a = ask("which risks does callum own?");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_EQ(a.sql, "SELECT title FROM risks WHERE owner = 'Callum Rennie'");
  const road::Answer sam = ask("which risks does Sam own?");
  EXPECT_FALSE(sam.answered) << sam.sql;  // two people
}

// A word read as a value of a table the earlier statement never reads is a
// word of that question, not a literal the new one must name too.
TEST_F(Road, OfflineAValueTheStatementNeverReadsIsAWord) {
  exec("CREATE TABLE risks (risk_id INTEGER PRIMARY KEY, title TEXT, status TEXT, rating INTEGER);"
       "INSERT INTO risks VALUES (1, 'Crane failure', 'Open', 12), (2, 'Late steel', 'Open', 20),"
       " (3, 'Flooding', 'Closed', 25);"
       "CREATE TABLE changes (change_id INTEGER PRIMARY KEY, change_type TEXT);"
       "INSERT INTO changes VALUES (1, 'Scope'), (2, 'Design');");
  schema_.build_graph(json::parse(R"({"tables": {
    "risks": {"description": "Risk register", "domain": "risk", "columns": {
      "risk_id": {"description": "Risk identifier", "data_type": "INTEGER"},
      "title": {"description": "Title", "data_type": "TEXT"}, "status": {"description": "Status", "data_type": "TEXT"},
      "rating": {"description": "Probability times impact", "data_type": "INTEGER"}}},
    "changes": {"description": "Change requests", "domain": "change", "columns": {
      "change_id": {"description": "Change identifier", "data_type": "INTEGER"},
      "change_type": {"description": "Type", "data_type": "TEXT"}}}}})"));
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "Top 2 open risks by score",
    "sql": "SELECT title FROM risks WHERE status = 'Open' ORDER BY rating DESC LIMIT 2"}]})"),
                         "history.json");
  const road::Answer a = ask("top 1 open risks");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_EQ(a.sql, "SELECT title FROM risks WHERE status = 'Open' ORDER BY rating DESC LIMIT 1");
}

// A word that begins many stored names says a kind of thing, not the one
// longer name that holds it further in.
TEST_F(Road, OfflineAWordThatBeginsManyNamesIsNoValue) {
  exec("CREATE TABLE cab (cab_id INTEGER PRIMARY KEY, area TEXT, state TEXT);"
       "INSERT INTO cab VALUES (1, 'Ashvale', 'Live'), (2, 'Fenmoor', 'Live'), (3, 'Fenmoor', 'Planned');"
       "CREATE TABLE tasks (task_id INTEGER PRIMARY KEY, task_name TEXT);"
       "INSERT INTO tasks VALUES (1, 'Cabinet C01 install'), (2, 'Cabinet C02 install'),"
       " (3, 'Cabinet C03 install'), (4, 'Cabinet C04 install'), (5, 'Delivery of cabinets');");
  schema_.build_graph(json::parse(R"({"tables": {
    "cab": {"description": "Street units", "domain": "network", "columns": {
      "cab_id": {"description": "Identifier", "data_type": "INTEGER"},
      "area": {"description": "Build area", "data_type": "TEXT"}, "state": {"description": "State", "data_type": "TEXT"}}},
    "tasks": {"description": "Tasks", "domain": "schedule", "columns": {
      "task_id": {"description": "Task identifier", "data_type": "INTEGER"},
      "task_name": {"description": "Name", "data_type": "TEXT"}}}}})"));
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "List the live cabinets in Ashvale",
    "sql": "SELECT cab_id FROM cab WHERE area = 'Ashvale' AND state = 'Live'"}]})"),
                         "history.json");
  const road::Answer a = ask("live cabinets at Fenmoor");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_EQ(a.sql, "SELECT cab_id FROM cab WHERE area = 'Fenmoor' AND state = 'Live'");
}

// Words naming stored rows that the earlier question lacks ("on the
// decline": the headings beginning 'Decline') ask about fewer rows than its
// statement answers for.
TEST_F(Road, OfflineWordsNamingRowsTheEarlierQuestionLacksAreAnotherQuestion) {
  exec("CREATE TABLE shifts (shift_id INTEGER PRIMARY KEY, heading TEXT, delay TEXT, hours_lost REAL);"
       "INSERT INTO shifts VALUES (1, 'Decline 1180-1200', 'VENT', 2), (2, 'Decline 1200-1220', 'SEIS', 3),"
       " (3, 'Decline 1220-1240', 'VENT', 1), (4, '1220 access drive', 'WATR', 4);");
  schema_.build_graph(json::parse(R"({"tables": {
    "shifts": {"description": "Shift reports", "domain": "production", "columns": {
      "shift_id": {"description": "Identifier", "data_type": "INTEGER"},
      "heading": {"description": "Heading worked", "data_type": "TEXT"},
      "delay": {"description": "Delay code", "data_type": "TEXT"},
      "hours_lost": {"description": "Hours lost", "data_type": "REAL"}}}},
    "query_examples": [{"query": "SELECT delay, SUM(hours_lost) FROM shifts GROUP BY delay",
                        "description": "Hours lost by delay code"}]})"));
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "hours lost by delay code on the decline",
    "sql": "SELECT delay, SUM(hours_lost) FROM shifts WHERE heading LIKE 'Decline%' GROUP BY delay"}]})"),
                         "history.json");
  const road::Answer a = ask("lost hours by delay code on the decline");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_EQ(a.sql, "SELECT delay, SUM(hours_lost) FROM shifts WHERE heading LIKE 'Decline%' GROUP BY delay");
  history_.load_document(json::parse(R"({"enriched_queries": []})"), "history.json");
  EXPECT_TRUE(ask("hours lost by delay code").answered);
  const road::Answer b = ask("lost hours by delay code on the decline");
  EXPECT_FALSE(b.answered) << b.sql;
}

// A stored word that is all of a value and names a table ("plot" of the
// WBS node 'Plots' beside the plots) says what is asked about.
TEST_F(Road, OfflineAWordNamingATableIsNoValue) {
  exec("CREATE TABLE site (site_id INTEGER PRIMARY KEY, site_name TEXT);"
       "INSERT INTO site VALUES (1, 'Beacon Fields'), (2, 'St Giles Close');"
       "CREATE TABLE plot (plot_id INTEGER PRIMARY KEY, site_id INTEGER, plot_status TEXT);"
       "INSERT INTO plot VALUES (1, 1, 'Roofing'), (2, 2, 'Groundworks');"
       "CREATE TABLE wbs (wbs_id INTEGER PRIMARY KEY, wbs_name TEXT);"
       "INSERT INTO wbs VALUES (1, 'Plots'), (2, 'Infrastructure');");
  schema_.build_graph(json::parse(R"({"tables": {
    "site": {"description": "Sites", "domain": "d", "columns": {
      "site_id": {"description": "Identifier", "data_type": "INTEGER"},
      "site_name": {"description": "Name", "data_type": "TEXT"}}},
    "plot": {"description": "Plots of each site", "domain": "d", "columns": {
      "plot_id": {"description": "Identifier", "data_type": "INTEGER"},
      "site_id": {"description": "Site", "data_type": "INTEGER"},
      "plot_status": {"description": "Stage reached", "data_type": "TEXT"}}},
    "wbs": {"description": "Work breakdown", "domain": "d", "columns": {
      "wbs_id": {"description": "Identifier", "data_type": "INTEGER"},
      "wbs_name": {"description": "Name", "data_type": "TEXT"}}}}})"));
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "Where is each plot at Beacon Fields?",
    "sql": "SELECT p.plot_id, p.plot_status FROM plot p JOIN site s ON s.site_id = p.site_id WHERE s.site_name = 'Beacon Fields'"}]})"),
                         "history.json");
  const road::Answer a = ask("where is each plot at St Giles Close");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_EQ(a.sql, "SELECT p.plot_id, p.plot_status FROM plot p JOIN site s ON s.site_id = p.site_id WHERE s.site_name = 'St Giles Close'");
}

// "Tasks" where activities are kept, and an activity type 'Task': the word
// says the table, as "activities" would, not the type.
TEST_F(Road, OfflineTheTradesWordForTheTableThatStoresItIsNoValue) {
  exec("ALTER TABLE activities ADD COLUMN activity_type TEXT;"
       "UPDATE activities SET activity_type = CASE WHEN activity_id = 2 THEN 'Milestone' ELSE 'Task' END;");
  std::string schema = kSchema;
  const std::string column = R"("finish_constraint": {"description": "Constraint on the finish", "data_type": "TEXT"})";
  schema.replace(schema.find(column), column.size(),
                 column + R"(, "activity_type": {"description": "Task or Milestone", "data_type": "TEXT"})");
  schema_.build_graph(json::parse(schema));
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "Activities of Harbor Bridge Rehabilitation with float under 5 days",
    "sql": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_name = 'Harbor Bridge Rehabilitation' AND a.total_float_days < 5"}]})"),
                         "history.json");
  const road::Answer a = ask("Tasks of Riverside Medical Center with float under 5 days");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_NE(a.sql.find("p.project_name = 'Riverside Medical Center'"), std::string::npos);
}

// Words read outright as a place that one project's name holds answer for
// that project where the earlier question names a project.
TEST_F(Road, OfflineAProjectsWordsReadAsAPlaceMayNameTheProject) {
  exec("ALTER TABLE activities ADD COLUMN location TEXT;"
       "UPDATE activities SET location = CASE WHEN project_id = 2 THEN 'Medical Center' ELSE 'Deck' END;");
  std::string schema = kSchema;
  const std::string column = R"("finish_constraint": {"description": "Constraint on the finish", "data_type": "TEXT"})";
  schema.replace(schema.find(column), column.size(),
                 column + R"(, "location": {"description": "Where on site", "data_type": "TEXT"})");
  schema_.build_graph(json::parse(schema));
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "Critical activities of Harbor Bridge Rehabilitation",
    "sql": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_name = 'Harbor Bridge Rehabilitation' AND a.is_critical = 1"}]})"),
                         "history.json");
  const road::Answer a = ask("Critical activities of the medical center");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_NE(a.sql.find("p.project_name = 'Riverside Medical Center'"), std::string::npos) << a.sql;
}

// A refill compares a column only with a value it holds: one read in
// another column would answer for other rows.
TEST_F(Road, OfflineARefillComparesAColumnOnlyWithAValueItHolds) {
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "Activities outside Harbor Bridge Rehabilitation",
    "sql": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_name <> 'Harbor Bridge Rehabilitation'"}]})"),
                         "history.json");
  const road::Answer other = ask("Activities outside Riverside Medical Center");
  ASSERT_TRUE(other.answered) << other.reason;
  EXPECT_EQ(other.table.row_count, 2u);
  const road::Answer constraint = ask("Activities outside Finish On or Before");
  EXPECT_FALSE(constraint.answered) << constraint.sql;
}

// An earlier question's word that one project's name alone holds names the
// project its statement compares.
TEST_F(Road, OfflineAnEarlierQuestionsWordForTheProjectItsStatementNames) {
  // Too common a word in stored texts to name the project by itself.
  exec("UPDATE activities SET finish_constraint = 'Bridge works ' || activity_id;");
  schema_.build_graph(json::parse(kSchema));
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "Critical activities on the bridge",
    "sql": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_name = 'Harbor Bridge Rehabilitation' AND a.is_critical = 1"}]})"),
                         "history.json");
  const road::Answer a = ask("Critical activities on Riverside Medical Center");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_NE(a.sql.find("p.project_name = 'Riverside Medical Center'"), std::string::npos) << a.sql;
  // And the new question's word, where the earlier one names a project.
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "Critical activities on Riverside Medical Center",
    "sql": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_name = 'Riverside Medical Center' AND a.is_critical = 1"}]})"),
                         "history.json");
  const road::Answer b = ask("Critical activities on the bridge");
  ASSERT_TRUE(b.answered) << b.reason;
  EXPECT_NE(b.sql.find("p.project_name = 'Harbor Bridge Rehabilitation'"), std::string::npos) << b.sql;
}

// A kind of project that one project alone is names that project, by its code.
TEST_F(Road, OfflineAKindOfProjectOneProjectAloneIsNamesIt) {
  exec("ALTER TABLE projects ADD COLUMN project_code TEXT; ALTER TABLE projects ADD COLUMN project_type TEXT;"
       "UPDATE projects SET project_code = CASE project_id WHEN 1 THEN 'HBR' ELSE 'RMC' END,"
       " project_type = CASE project_id WHEN 1 THEN 'BR' ELSE 'HC' END;");
  std::string schema = kSchema;
  const std::string column = R"("project_name": {"description": "Name of the project", "data_type": "TEXT"})";
  schema.replace(schema.find(column), column.size(),
                 column + R"j(, "project_code": {"description": "Code", "data_type": "TEXT"},
                 "project_type": {"description": "Type: BR (road bridge), HC (acute hospital)", "data_type": "TEXT"})j");
  schema_.build_graph(json::parse(schema));
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "Critical activities of Harbor Bridge Rehabilitation",
    "sql": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_name = 'Harbor Bridge Rehabilitation' AND a.is_critical = 1"}]})"),
                         "history.json");
  const road::Answer a = ask("Critical activities of the hospital");
  ASSERT_TRUE(a.answered) << a.reason;
  EXPECT_NE(a.sql.find("p.project_code = 'RMC'"), std::string::npos) << a.sql;
  EXPECT_EQ(a.table.row_count, 1u);
}

// A refill that moves a comparison to another column of the table names
// one row where the earlier statement named one: a site two projects share
// names neither.
TEST_F(Road, OfflineARefillKeepsNamingOneRowWhereTheEarlierNamedOne) {
  exec("ALTER TABLE projects ADD COLUMN project_code TEXT; ALTER TABLE projects ADD COLUMN site TEXT;"
       "UPDATE projects SET project_code = CASE project_id WHEN 1 THEN 'HBR' ELSE 'RMC' END, site = 'North Yard';"
       "INSERT INTO projects VALUES (3, 'Quay Wall', 'QWL', 'South Basin');"
       "INSERT INTO activities VALUES (5, 3, 'QWL-100', 0, 1, NULL);");
  std::string schema = kSchema;
  const std::string column = R"("project_name": {"description": "Name of the project", "data_type": "TEXT"})";
  schema.replace(schema.find(column), column.size(),
                 column + R"(, "project_code": {"description": "Code", "data_type": "TEXT"},
                 "site": {"description": "Site of the works", "data_type": "TEXT"})");
  schema_.build_graph(json::parse(schema));
  history_.load_document(json::parse(R"({"enriched_queries": [{"question": "Critical activities of HBR",
    "sql": "SELECT a.activity_code FROM activities a JOIN projects p ON p.project_id = a.project_id WHERE p.project_code = 'HBR' AND a.is_critical = 1"}]})"),
                         "history.json");
  const road::Answer one = ask("Critical activities of South Basin");
  ASSERT_TRUE(one.answered) << one.reason;
  EXPECT_NE(one.sql.find("p.site = 'South Basin'"), std::string::npos) << one.sql;
  const road::Answer two = ask("Critical activities of North Yard");
  EXPECT_FALSE(two.answered) << two.sql;
}

TEST_F(Road, TheAisStatementWinsAndItsRequestsAreCounted) {
  auto ai = std::make_shared<ScriptedAi>(std::deque<std::string>{
      "SELECT p.project_name, COUNT(*) AS n FROM projects p JOIN activities a ON a.project_id = p.project_id "
      "WHERE a.is_critical = 1 GROUP BY p.project_name"});
  const road::Answer a = ask("How many critical activities does each project have?", ai);
  ASSERT_TRUE(a.answered);
  EXPECT_EQ(a.source, road::Source::kAi);
  EXPECT_EQ(a.ai_requests, 1);
  // The similar earlier question reached the prompt and did not compete.
  EXPECT_NE(ai->prompts[0].find("PREVIOUSLY RUN QUERY FOR SIMILAR QUESTION:\nQuestion: How many activities does "
                                "each project have?"),
            std::string::npos);
  ASSERT_EQ(a.candidates.size(), 1u);
  EXPECT_TRUE(a.candidates[0].chosen);
  EXPECT_NE(std::find(events_.begin(), events_.end(), "AI request 1: writing SQL"), events_.end());
}

TEST_F(Road, AStatementThatBeginsWithWithRunsWithoutItsExplanation) {
  sql_.read_only = quillon::Quillon::ReadOnly::kEngine;
  auto ai = std::make_shared<ScriptedAi>(std::deque<std::string>{
      "Here it is, with a join:\nWITH c AS (SELECT project_id FROM activities WHERE is_critical = 1)\n"
      "SELECT p.project_name FROM projects p JOIN c ON c.project_id = p.project_id\n"
      "EXPLANATION: projects with a critical activity"});
  const road::Answer a = ask("Which projects have critical activities?", ai);
  ASSERT_TRUE(a.answered) << a.reason << ": " << (a.candidates.empty() ? "" : a.candidates[0].sql + " / " + a.candidates[0].error);
  EXPECT_EQ(a.sql.find("EXPLANATION"), std::string::npos);
  EXPECT_EQ(a.table.row_count, 2u);
}

TEST_F(Road, AFailingStatementIsCorrectedAndTheSameQuestionStaysACandidate) {
  auto ai = std::make_shared<ScriptedAi>(std::deque<std::string>{
      "SELECT nope FROM activities",
      "SELECT p.project_name, COUNT(*) AS n FROM projects p JOIN activities a ON a.project_id = p.project_id "
      "WHERE a.total_float_days <= 0 GROUP BY p.project_name"});
  const road::Answer a = ask("How many activities does each project have?", ai);
  ASSERT_TRUE(a.answered);
  EXPECT_EQ(a.source, road::Source::kCorrectedAi);
  EXPECT_EQ(a.ai_requests, 2);
  // Failed AI, corrected AI, the same earlier question: three candidates.
  ASSERT_EQ(a.candidates.size(), 3u);
  EXPECT_FALSE(a.candidates[0].success);
  EXPECT_EQ(a.candidates[2].source, road::Source::kHistory);
  EXPECT_FALSE(a.candidates[2].chosen);
  EXPECT_EQ(a.reason, "the AI service's statement, corrected after it failed, ran");
}

TEST_F(Road, AnUnreachableServiceFallsBackToHistoryAndSaysWhy) {
  auto ai = std::make_shared<ScriptedAi>(std::deque<std::string>{});
  const road::Answer a = ask("How many activities does each project have?", ai);
  EXPECT_TRUE(a.answered);
  EXPECT_EQ(a.source, road::Source::kHistory);
  EXPECT_NE(a.error.find("service unreachable"), std::string::npos);
  const road::Answer none = ask("Which projects have critical activities?", ai);
  EXPECT_FALSE(none.answered);
  EXPECT_EQ(none.reason, "the AI service gave no statement");
}

TEST(RoadRecord, KeysInOrderAndASummaryOfNumericColumns) {
  road::Answer a;
  a.question = "q";
  a.answered = true;
  a.source = road::Source::kTemplate;
  a.sql = "SELECT 1";
  a.table.columns = {"code", "float"};
  a.table.cells = {Value("A"), Value(1.5), Value("B"), Value(-0.5), Value("C"), Value()};
  a.table.row_count = 3;
  const RecordPtr r = road::answer_record(a);
  std::vector<std::string> keys;
  for (const auto& [k, v] : *r) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"question", "answered", "source", "sql", "explanation", "columns",
                                            "rows", "row_count", "summary", "reason", "candidates", "linking",
                                            "suggestions", "ai_requests", "error"}));
  EXPECT_EQ(to_str(r->at("source")), "template");
  EXPECT_EQ(r->at("rows").as_list().size(), 3u);
  EXPECT_TRUE(r->at("error").is_null());
  const std::string summary = road::summarise(a.table);
  EXPECT_NE(summary.find("\nfloat: min -0.5, max 1.5, mean 0.5"), std::string::npos) << summary;
  EXPECT_EQ(summary.find("code:"), std::string::npos);
}

}  // namespace
