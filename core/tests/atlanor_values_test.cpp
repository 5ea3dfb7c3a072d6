// Value linking: reading a database's text values and matching question
// phrases against them, on a small scheduling database written here.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <fstream>
#include <string>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"
#include "corvalt/values.hpp"

using namespace corvalt;
using values::ColumnRef;
using values::Fit;
using values::ValueIndex;

namespace {

using Strings = std::vector<std::string>;

std::filesystem::path temp_path(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("corvalt_values_" + std::to_string(getpid()) + "_" + name);
}

void exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : "?";
    sqlite3_free(error);
    FAIL() << message << " in " << sql;
  }
}

// Table name -> reason, for the tables chosen for a question.
std::map<std::string, std::string> table_reasons(atlanor::AtlanorService& service, const std::string& question) {
  std::map<std::string, std::string> out;
  const RecordPtr record = service.process_query(question, "json", atlanor::ChatInput{});
  for (const Value& t : record->at("linking").as_record().at("tables").as_list())
    out[t.as_record().at("name").as_text()] = t.as_record().at("reason").as_text();
  return out;
}

// A lexical-mode service over a throw-away database made by `sql` and
// described by `metadata`.
class LinkedDatabase {
 public:
  LinkedDatabase(const std::string& name, const char* sql, const char* metadata)
      : path_(temp_path(name).string()) {
    std::filesystem::remove(path_);
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    exec(db, sql);
    sqlite3_close(db);
    service_.linking_mode = linking::Mode::kLexical;
    service_.database = path_;
    service_.build_graph(json::parse(metadata));
  }
  ~LinkedDatabase() { std::filesystem::remove(path_); }
  LinkedDatabase(const LinkedDatabase&) = delete;
  LinkedDatabase& operator=(const LinkedDatabase&) = delete;

  std::map<std::string, std::string> reasons(const std::string& question) { return table_reasons(service_, question); }
  // The value hints of the question's context, each as "column='value'" and
  // then " code_column='code'" where it carries its row's code.
  Strings value_hints(const std::string& question) {
    Strings out;
    const RecordPtr record = service_.process_query(question, "json", atlanor::ChatInput{});
    for (const Value& v : record->at("sql_hints").as_record().at("values").as_list()) {
      const Record& h = v.as_record();
      std::string line = h.at("column").as_text() + "='" + h.at("value").as_text() + "'";
      if (const Value* code = h.find("code")) line += " " + h.at("code_column").as_text() + "='" + code->as_text() + "'";
      out.push_back(std::move(line));
    }
    return out;
  }

 private:
  std::string path_;
  atlanor::AtlanorService service_;
};

std::string make_database() {
  const std::string path = temp_path("schedule.db").string();
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  exec(db, R"(
    CREATE TABLE projects (project_id INTEGER PRIMARY KEY, project_name TEXT, status VARCHAR(20),
                           manager TEXT, start_date TEXT, budget INTEGER);
    INSERT INTO projects VALUES
      (1, 'Harbor Bridge Rehabilitation', 'Active', 'Jürgen Weiß', '2024-01-08', 100),
      (2, 'Riverside Medical Center', 'Completed', 'Aisha Okafor', '2023-10-02', 200),
      (3, 'Northgate Data Center', 'In Progress', 'Grace Thompson', '2024-02-05 08:00:00', 300),
      (4, 'Cedar Valley Water Treatment Upgrade', 'Active', 'Aisha Okafor', '2024-03-01', 400);
    CREATE TABLE activities (activity_id INTEGER PRIMARY KEY, activity_code TEXT, activity_name TEXT,
                             status TEXT, notes TEXT, early_start DATE, duration INTEGER);
    INSERT INTO activities VALUES
      (1, 'HBR-2200', 'Bridge deck pour', 'In Progress', NULL, '2024-03-01', 5),
      (2, 'RMC-A1010', 'Foundation inspection', 'Completed', NULL, '2024-03-02', 3),
      (3, 'NDC-3000', CAST(x'ff41' AS TEXT), NULL, NULL, NULL, NULL),
      (4, 'NDC-3001', 'Cable pulling', NULL, NULL, NULL, NULL),
      (5, 'NDC-3002', 'Cable testing', x'00ff', NULL, NULL, NULL);
    CREATE TABLE tags (tag TEXT);
    INSERT INTO tags VALUES ('alpha'), ('alpha'), ('alpha'), ('beta'), ('beta');
  )");
  // Many activities "on site": the word is common, so it is weak evidence.
  for (int i = 0; i < 60; ++i) {
    const std::string n = std::to_string(i);
    exec(db, "INSERT INTO activities (activity_code, activity_name, status, notes) VALUES ('SITE-" + n +
                 "', 'Site works package " + n + "', 'Not Started', 'Crew short by three workers this week; " +
                 "the pour was moved to the following Monday after inspection " + n + ".')");
    exec(db, "INSERT INTO tags VALUES ('single " + n + "')");
  }
  sqlite3_close(db);
  return path;
}

const std::vector<ColumnRef>& schema_columns() {
  static const std::vector<ColumnRef> columns = {
      {"projects", "project_name", "TEXT"},      {"projects", "status", "VARCHAR(20)"},
      {"projects", "manager", "TEXT"},           {"projects", "start_date", "TEXT"},
      {"projects", "budget", "INTEGER"},         {"activities", "activity_code", "TEXT"},
      {"activities", "activity_name", "TEXT"},   {"activities", "status", "TEXT"},
      {"activities", "notes", "TEXT"},           {"activities", "early_start", "DATE"},
      {"activities", "duration", ""},            {"activities", "no_such_column", "TEXT"},
      {"risks", "risk_title", "TEXT"},
  };
  return columns;
}

// "table.column='value' fit 'phrase'" for each match, best first.
Strings described(const ValueIndex& index, const std::vector<values::Match>& matches) {
  Strings out;
  for (const auto& m : matches) {
    const ColumnRef& c = index.columns().at(m.column);
    out.push_back(c.table + "." + c.column + "='" + m.value + "' " + std::string(values::fit_name(m.fit)) + " '" +
                  m.phrase + "'");
  }
  return out;
}

class ValueLinking : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    path_ = new std::string(make_database());
    index_ = new ValueIndex(ValueIndex::from_database(*path_, schema_columns()));
  }
  static void TearDownTestSuite() {
    delete index_;
    std::filesystem::remove(*path_);
    delete path_;
  }
  static Strings match(std::string_view question) { return described(*index_, index_->match(question)); }

  static std::string* path_;
  static ValueIndex* index_;
};

std::string* ValueLinking::path_ = nullptr;
ValueIndex* ValueLinking::index_ = nullptr;

// ---- reading ----------------------------------------------------------------

TEST_F(ValueLinking, ReadsShortTextColumnsOnly) {
  // Dates (by type or by value), integers, free text and what the database
  // lacks are left out.
  Strings names;
  for (const ColumnRef& c : index_->columns()) names.push_back(c.table + "." + c.column);
  EXPECT_EQ(names, (Strings{"projects.project_name", "projects.status", "projects.manager",
                            "activities.activity_code", "activities.activity_name", "activities.status"}));
  const auto status = static_cast<std::uint32_t>(index_->find("ACTIVITIES", "Status"));
  // Most frequent first; NULLs and blobs are not text.
  EXPECT_EQ(index_->values(status), (Strings{"Not Started", "Completed", "In Progress"}));
  EXPECT_TRUE(index_->listed(status));
  EXPECT_FALSE(index_->listed(static_cast<std::uint32_t>(index_->find("activities", "activity_code"))));
  // The value that is not UTF-8 is dropped, so the column's list is not whole.
  const auto names_column = static_cast<std::uint32_t>(index_->find("activities", "activity_name"));
  EXPECT_EQ(index_->values(names_column).size(), 64u);
  EXPECT_EQ(index_->find("risks", "risk_title"), -1);
  EXPECT_EQ(index_->value_count(), 4u + 3 + 3 + 65 + 64 + 3);
  EXPECT_GT(index_->memory_bytes(), 10'000u);
}

TEST_F(ValueLinking, OverfullColumnKeepsItsRepeatedValues) {
  values::Options options;
  options.max_values_per_column = 10;
  const ValueIndex index = ValueIndex::from_database(*path_, {{"tags", "tag", "TEXT"}}, options);
  ASSERT_EQ(index.columns().size(), 1u);
  // Which ten of the sixty values seen once would be kept is an accident of
  // their order, so none of them is.
  EXPECT_EQ(index.values(0), (Strings{"alpha", "beta"}));
  EXPECT_FALSE(index.listed(0));
}

TEST(ValueIndex, UnopenableFileIsADatabaseError) {
  const auto missing = temp_path("missing.db");
  EXPECT_THROW(ValueIndex::from_database(missing.string(), {{"t", "c", "TEXT"}}), DatabaseError);
  EXPECT_FALSE(std::filesystem::exists(missing));  // read-only: nothing created
  const auto not_a_database = temp_path("notes.txt");
  std::ofstream(not_a_database) << "these are notes, not a database, and there are enough of them\n";
  try {
    ValueIndex::from_database(not_a_database.string(), {});
    ADD_FAILURE() << "no error";
  } catch (const DatabaseError& e) {
    EXPECT_NE(e.message().find(not_a_database.string()), std::string::npos) << e.message();
  }
  std::filesystem::remove(not_a_database);
}

TEST(ValueIndex, AddedValuesMergeAndAreFiltered) {
  ValueIndex index;
  const ColumnRef kind{"ops", "kind", "TEXT"};
  index.add_values(kind, {"Alpha", "Beta", "Alpha", std::string(100, 'x'), "\xff"});
  index.add_values({"OPS", "Kind", ""}, {"Beta", "Gamma Ray"});
  index.add_values({"ops", "size", "INTEGER"}, {"12", "40"});
  index.add_values({"ops", "due", "TEXT"}, {"2024-03-01", "2024-04-01"});
  ASSERT_EQ(index.columns().size(), 1u);
  EXPECT_EQ(index.values(0), (Strings{"Alpha", "Beta", "Gamma Ray"}));
  EXPECT_EQ(index.value_count(), 3u);
  // A list of top values does not say the column holds no others.
  EXPECT_FALSE(index.listed(0));
  EXPECT_EQ(described(index, index.match("gama ray")), (Strings{"ops.kind='Gamma Ray' fuzzy 'gama ray'"}));
  // A word of three letters must be spelt right.
  EXPECT_EQ(described(index, index.match("gama rey")), (Strings{"ops.kind='Gamma Ray' partial 'gama'"}));
}

// ---- matching -----------------------------------------------------------------

TEST_F(ValueLinking, ExactMatchesIgnoreCasePunctuationAndAccents) {
  const auto matches = index_->match("Show in-progress activities");
  EXPECT_EQ(described(*index_, matches), (Strings{"projects.status='In Progress' exact 'in-progress'",
                                                  "activities.status='In Progress' exact 'in-progress'"}));
  ASSERT_FALSE(matches.empty());
  EXPECT_EQ(matches[0].begin, 5u);
  EXPECT_EQ(matches[0].end, 16u);
  EXPECT_GT(matches[0].score, 0.9);
  // The whole value, not also its pieces or other values holding them.
  EXPECT_EQ(match("HARBOR BRIDGE REHABILITATION?"),
            (Strings{"projects.project_name='Harbor Bridge Rehabilitation' exact 'HARBOR BRIDGE REHABILITATION'"}));
  EXPECT_EQ(match("projects run by jurgen weiss"),
            (Strings{"projects.manager='Jürgen Weiß' exact 'jurgen weiss'"}));
}

TEST_F(ValueLinking, MisspeltWordsMatchFuzzilyBelowExact) {
  const auto fuzzy = index_->match("harbour bridge rehabilitaton");
  ASSERT_EQ(described(*index_, fuzzy),
            (Strings{"projects.project_name='Harbor Bridge Rehabilitation' fuzzy 'harbour bridge rehabilitaton'"}));
  EXPECT_LT(fuzzy[0].score, index_->match("harbor bridge rehabilitation")[0].score);
}

TEST_F(ValueLinking, PartialMatchesNeedRareWords) {
  EXPECT_EQ(match("What is the critical path of the harbour bridge job?"),
            (Strings{"projects.project_name='Harbor Bridge Rehabilitation' partial 'harbour bridge'"}));
  EXPECT_EQ(match("riverside"), (Strings{"projects.project_name='Riverside Medical Center' partial 'riverside'"}));
  // Sixty values hold "site": it names none of them.
  EXPECT_EQ(match("which activities are on site"), Strings{});
}

TEST_F(ValueLinking, CodesMatchAsWholeTokens) {
  EXPECT_EQ(match("predecessors of activity HBR-2200"),
            (Strings{"activities.activity_code='HBR-2200' exact 'HBR-2200'"}));
  EXPECT_EQ(match("hbr2200"), (Strings{"activities.activity_code='HBR-2200' exact 'hbr2200'"}));
  EXPECT_EQ(match("HBR_2200 float"), (Strings{"activities.activity_code='HBR-2200' exact 'HBR_2200'"}));
  EXPECT_EQ(match("A1010"), (Strings{"activities.activity_code='RMC-A1010' partial 'A1010'"}));
  EXPECT_EQ(match("2200"), Strings{});
  ValueIndex orders;
  orders.add_values({"work_orders", "order_number", "TEXT"}, {"41020651", "41020666"});
  EXPECT_EQ(described(orders, orders.match("operations on wo 41020651")),
            (Strings{"work_orders.order_number='41020651' exact '41020651'"}));
  EXPECT_EQ(orders.match("costs over 41020").size(), 0u);
  // Typed without the zeros that pad its number.
  ValueIndex tasks;
  tasks.add_values({"tasks", "task_code", "TEXT"}, {"SPW-0150", "SPW-1500", "A-000"});
  EXPECT_EQ(described(tasks, tasks.match("what comes after spw150")),
            (Strings{"tasks.task_code='SPW-0150' exact 'spw150'"}));
  EXPECT_EQ(described(tasks, tasks.match("a0")), (Strings{"tasks.task_code='A-000' exact 'a0'"}));
  // A code in capitals that a few codes hold after their first part.
  ValueIndex outages;
  outages.add_values({"outages", "outage_code", "TEXT"},
                     {"TA25-SRU", "TA25-FCC", "TA26-FCC", "TA27-FCC", "TA28-FCC", "TA25-BLR2"});
  EXPECT_EQ(described(outages, outages.match("the SRU shutdown")),
            (Strings{"outages.outage_code='TA25-SRU' fuzzy 'SRU'"}));
  EXPECT_TRUE(outages.match("the FCC outages").empty());  // too many hold it
  EXPECT_TRUE(outages.match("the sru shutdown").empty());
}

// A code that begins several codes of a column stands for their prefix;
// not a word that begins names, nor a code that begins only one or two.
TEST(ValueMatch, ACodeThatBeginsManyCodesIsTheirPrefix) {
  ValueIndex index;
  index.add_values({"activities", "activity_code", "TEXT"},
                   {"NDC-A1010", "NDC-A1020", "NDC.A1030", "KTR-A1010", "KTR-A1020", "Zone A1", "Zone A2", "Zone A3"});
  index.add_values({"projects", "project_code", "TEXT"}, {"NDC", "KTR"});
  const auto ndc = index.match("which ndc tasks");
  EXPECT_EQ(described(index, ndc), (Strings{"projects.project_code='NDC' exact 'ndc'",
                                            "activities.activity_code='NDC-%' prefix 'ndc'"}));
  EXPECT_EQ(values::fit_name(ndc[1].fit), "prefix");
  EXPECT_EQ(described(index, index.match("KTR")), (Strings{"projects.project_code='KTR' exact 'KTR'"}));
  for (const char* question : {"zone", "Zone"})
    for (const auto& m : index.match(question)) EXPECT_NE(m.fit, Fit::kPrefix) << question;
  // In lower case, only a code stored whole elsewhere is one.
  index.add_values({"activities", "activity_code", "TEXT"}, {"SITE-001", "SITE-002", "SITE-003"});
  for (const auto& m : index.match("on site")) EXPECT_NE(m.fit, Fit::kPrefix);
  EXPECT_EQ(described(index, index.match("on SITE")), (Strings{"activities.activity_code='SITE-%' prefix 'SITE'"}));
}

// A name of three naming words or more matches in another order, its
// letters and numbers said nearby; a shorter one only in its own order.
TEST(ValueMatch, ALongerNameMatchesInAnotherOrder) {
  ValueIndex index;
  index.add_values({"activities", "activity_name", "TEXT"},
                   {"Pour foundations - Zone A", "Pour foundations - Zone B", "Strip formwork - Zone B"});
  index.add_values({"links", "link_type", "TEXT"}, {"Finish Start"});
  EXPECT_EQ(described(index, index.match("predecessors of the zone B foundation pour")),
            (Strings{"activities.activity_name='Pour foundations - Zone B' partial 'zone B foundation pour'"}));
  for (const auto& m : index.match("the zone foundation pours")) EXPECT_EQ(m.phrase.find("pour"), std::string::npos);
  for (const auto& m : index.match("start before the finish")) EXPECT_EQ(m.phrase.find(' '), std::string::npos);
}

// In a column of a table others refer to, a word only one value holds
// counts for more of that value than its share of the words.
TEST(ValueMatch, AWordOnlyOneNameHoldsSinglesItOut) {
  ValueIndex index;
  const std::vector<std::string> names{"Brookfield Primary School Extension", "Kestrel River Bridge Replacement",
                                       "School Lane Works", "Holloway Lane Tunnel"};
  index.add_values({"projects", "project_name", "TEXT", true}, names);
  index.add_values({"notes", "note_title", "TEXT", false}, names);
  auto score = [&](const char* question, const char* table) {
    for (const auto& m : index.match(question))
      if (index.columns()[m.column].table == table) return m.score;
    return 0.0;
  };
  EXPECT_GT(score("on the bridge", "projects"), score("on the bridge", "notes"));
  // Held by two names, a word singles out neither.
  EXPECT_EQ(score("on the school", "projects"), score("on the school", "notes"));
  // However many values of other columns hold it.
  index.add_values({"tasks", "task_name", "TEXT", false},
                   {"Bridge deck pour", "Bridge bearings", "Bridge parapets", "Bridge joints", "Bridge drainage",
                    "Bridge lighting", "Bridge surfacing", "Bridge handover"});
  EXPECT_GT(score("on the bridge", "projects"), 0.0);
  // A value that a longer phrase names stays beside the one a word of it singles out.
  index.add_values({"work", "work_name", "TEXT", true},
                   {"Precast deck manufacture and delivery", "Manufacture and deliver S&C units 1021A/B",
                    "Renew S&C units 1021A/B", "Install S&C units 1023A/B"});
  EXPECT_EQ(described(index, index.match("risks on the S&C units delivery")),
            (Strings{"work.work_name='Precast deck manufacture and delivery' partial 'delivery'",
                     "work.work_name='Manufacture and deliver S&C units 1021A/B' partial 'units delivery'"}));
}

// Words that several values hold each, but only one together, near each
// other, name that one; words two values share, or far apart, name none.
TEST(ValueMatch, WordsOnlyOneValueHoldsTogetherNameIt) {
  ValueIndex index;
  index.add_values({"activities", "activity_name", "TEXT"},
                   {"Delivery to site - MCC and switchgear", "Set MCC and switchgear", "Fabrication - MCC and switchgear",
                    "Delivery to site - Main transformer", "Set main transformer", "Delivery to site - Cable drums",
                    "Pull cable to switchgear room"});
  EXPECT_EQ(described(index, index.match("what's driving the switchgear delivery on harlow?")),
            (Strings{"activities.activity_name='Delivery to site - MCC and switchgear' partial 'switchgear delivery'"}));
  // Held together by three values, in another clause or far apart, the
  // words are each read alone at most.
  for (const char* question : {"the MCC switchgear", "switchgear, and the later delivery",
                               "switchgear is late, so is any delivery"})
    for (const auto& m : index.match(question)) EXPECT_EQ(m.phrase.find(' '), std::string::npos) << m.phrase;
  // Of values holding the words, those holding them nearest each other; of
  // two holding them alike, the one they cover more of.
  index.add_values({"tasks", "task_name", "TEXT"},
                   {"Install UPS modules and battery strings E7", "Install UPS modules and batteries",
                    "Install temporary UPS and bypass", "Install new UPS-A and Li-ion cabinets"});
  EXPECT_EQ(described(index, index.match("float on the UPS install")),
            (Strings{"tasks.task_name='Install UPS modules and batteries' partial 'UPS install'"}));
  // Read with and without its qualifier, a value is still one; a planner's
  // shorthand ("fab") is the word it shortens.
  index.add_values({"packages", "package_step", "TEXT"},
                   {"Fabrication - Gas compressor packages (2 x 4,700 HP)", "Set compressor package Unit 1",
                    "Delivery to site - Gas compressor packages (2 x 4,700 HP)"});
  EXPECT_EQ(described(index, index.match("days left on the compressor package fab")),
            (Strings{"packages.package_step='Set compressor package Unit 1' partial 'compressor package'",
                     "packages.package_step='Fabrication - Gas compressor packages (2 x 4,700 HP)' partial "
                     "'compressor package fab'"}));
  // A name of two naming words said whole in the other order.
  index.add_values({"crews", "crew_name", "TEXT"},
                   {"Pipefitters - Corrib M&E", "Electricians - Corrib M&E", "Pipefitters - Van Dijk"});
  EXPECT_EQ(described(index, index.match("hours for the corrib pipefitters")),
            (Strings{"crews.crew_name='Pipefitters - Corrib M&E' partial 'corrib pipefitters'"}));
}

// A trade said as its work reads as the people who do it, and the other
// way round; other endings of a shared beginning do not.
// The letter after a name's words tells names apart that differ only there.
TEST(ValueMatch, ALetterEndingAPhraseTellsNamesApart) {
  ValueIndex index;
  index.add_values({"crews", "crew_name", "TEXT"}, {"Lumen splicing team A", "Lumen splicing team B"});
  EXPECT_EQ(described(index, index.match("hours left for splicing team B")),
            (Strings{"crews.crew_name='Lumen splicing team B' partial 'splicing team B'"}));
  EXPECT_EQ(described(index, index.match("hours left for splicing team A")),
            (Strings{"crews.crew_name='Lumen splicing team A' partial 'splicing team A'"}));
  // An article is no such letter.
  const auto article = index.match("is splicing team a problem");
  ASSERT_FALSE(article.empty());
  EXPECT_EQ(article[0].phrase, "splicing team");
}

// A year and the next said by their last two digits are the stored year;
// inside a code, or two numbers that are no such pair, they are not.
TEST(ValueMatch, AYearPairSaidShortIsTheStoredYear) {
  ValueIndex index;
  index.add_values({"calendar", "rail_year", "TEXT"}, {"2024/25", "2025/26"});
  index.add_values({"units", "tag", "TEXT"}, {"AHU-07/08", "AHU-24/25"});
  EXPECT_EQ(described(index, index.match("overruns in 24/25, worst first")),
            (Strings{"calendar.rail_year='2024/25' exact '24/25'"}));
  for (const char* question : {"the AHU-24/25 unit", "between 24/26", "in 25/24"})
    for (const auto& m : index.match(question)) EXPECT_NE(index.columns()[m.column].table, "calendar") << question;
}

TEST(ValueMatch, ATradeAndItsWorkAreOneWord) {
  ValueIndex index;
  index.add_values({"crafts", "craft_name", "TEXT"}, {"Scaffolder", "Insulation", "Operator"});
  EXPECT_EQ(described(index, index.match("scaffolding hours")),
            (Strings{"crafts.craft_name='Scaffolder' fuzzy 'scaffolding'"}));
  EXPECT_EQ(described(index, index.match("the insulators")),
            (Strings{"crafts.craft_name='Insulation' fuzzy 'insulators'"}));
  EXPECT_TRUE(index.match("operational delays").empty());
  // A longer value's words are read closer than that.
  index.add_values({"tasks", "task_name", "TEXT"}, {"Scaffolder training"});
  for (const auto& m : index.match("scaffolding training"))
    if (m.value == "Scaffolder training") EXPECT_EQ(m.phrase, "training");
}

// A verb's "e" turned into "ing" or "ed" is the same word, in a longer name too.
TEST(ValueMatch, AVerbsEndingsAreOneWord) {
  ValueIndex index;
  index.add_values({"tasks", "task_name", "TEXT"}, {"Nacelle manufacture (24 no.)", "Install nacelle A01"});
  EXPECT_EQ(described(index, index.match("% complete on nacelle manufacturing?")),
            (Strings{"tasks.task_name='Nacelle manufacture (24 no.)' fuzzy 'nacelle manufacturing'"}));
}

// A stored value in camel case reads as its words, and as them run together.
TEST(ValueMatch, AnOrdinalInDigitsIsItsWord) {
  ValueIndex index;
  index.add_values({"plots", "stage", "TEXT"}, {"Second Fix", "1st floor slab", "Foundations"});
  EXPECT_EQ(described(index, index.match("plots at 2nd fix")), (Strings{"plots.stage='Second Fix' exact '2nd fix'"}));
  EXPECT_EQ(described(index, index.match("the first floor slab")),
            (Strings{"plots.stage='1st floor slab' exact 'first floor slab'"}));
  // Only an ordinal's own ending makes a word of it.
  EXPECT_EQ(index.match("2th fix").size(), 0u);
}

TEST(ValueMatch, APossessiveNamesTheValueWithoutIt) {
  ValueIndex index;
  index.add_values({"vessels", "name", "TEXT"}, {"Dredger Marlin Bay", "Tug Harbour Star", "O'Connor Barge"});
  EXPECT_EQ(described(index, index.match("Marlin Bay's returns")),
            (Strings{"vessels.name='Dredger Marlin Bay' partial 'Marlin Bay'"}));
  EXPECT_EQ(described(index, index.match("the o'connor barge\u2019s hours")),
            (Strings{"vessels.name='O'Connor Barge' exact 'o'connor barge'"}));
}

TEST(ValueMatch, CapitalsJoinedByAnAmpersandNameWordsJoinedByAnd) {
  ValueIndex index;
  index.add_values({"projects", "name", "TEXT"},
                   {"Commissioning and Qualification Programme", "Mechanical & Electrical Services", "Civils"});
  EXPECT_EQ(described(index, index.match("whats critical on C&Q")),
            (Strings{"projects.name='Commissioning and Qualification Programme' fuzzy 'C&Q'"}));
  EXPECT_EQ(described(index, index.match("M&E hours")),
            (Strings{"projects.name='Mechanical & Electrical Services' fuzzy 'M&E'"}));
  EXPECT_EQ(index.match("R&D costs").size(), 0u);
  // Values that write the capitals themselves do not count among them.
  index.add_values({"crews", "name", "TEXT"}, {"C&Q engineers", "M&E fitters", "C&Q leads"});
  EXPECT_EQ(described(index, index.match("whats critical on C&Q")),
            (Strings{"projects.name='Commissioning and Qualification Programme' fuzzy 'C&Q'"}));
}

TEST(ValueMatch, CamelCaseValuesAreTheirWords) {
  ValueIndex index;
  index.add_values({"orders", "state", "TEXT"}, {"OnHold", "InProgress", "McAllister"});
  EXPECT_EQ(described(index, index.match("what's on hold?")), (Strings{"orders.state='OnHold' exact 'on hold'"}));
  EXPECT_EQ(described(index, index.match("onhold orders")), (Strings{"orders.state='OnHold' exact 'onhold'"}));
  EXPECT_EQ(described(index, index.match("jobs for mcallister")),
            (Strings{"orders.state='McAllister' exact 'mcallister'"}));
}

// An acronym in capitals reads the values whose words it abbreviates; two
// words a one-word value writes as one read
// it, whole or as its beginning.
TEST(ValueMatch, AcronymsAndWordsWrittenAsOne) {
  ValueIndex index;
  index.add_values({"incidents", "category", "TEXT"}, {"Lost Time Injury", "Near Miss", "Permit to Work"});
  index.add_values({"orders", "state", "TEXT"}, {"Backordered", "Workshop", "Open"});
  EXPECT_EQ(described(index, index.match("all the LTIs we had")),
            (Strings{"incidents.category='Lost Time Injury' fuzzy 'LTIs'"}));
  EXPECT_EQ(described(index, index.match("the PTWs")), (Strings{"incidents.category='Permit to Work' fuzzy 'PTWs'"}));
  // Only in capitals, and never where a value holds the word itself.
  EXPECT_TRUE(index.match("ltis").empty());
  index.add_values({"projects", "code", "TEXT"}, {"NMX", "Nm X"});
  index.add_values({"incidents", "category", "TEXT"}, {"New Mixer Xray"});
  for (const auto& m : index.match("NMX")) EXPECT_NE(m.value, "New Mixer Xray");
  EXPECT_EQ(described(index, index.match("anything on back order?")),
            (Strings{"orders.state='Backordered' fuzzy 'back order'"}));
  EXPECT_EQ(described(index, index.match("in the work shop")), (Strings{"orders.state='Workshop' exact 'work shop'"}));
  // Words apart, or in two clauses, are two words.
  EXPECT_TRUE(index.match("back, order").empty());
}

// The numbers and letters a question says beside a name's words tell apart
// the names that differ only in them; a month's number is a date.
TEST(ValueMatch, NumbersSaidBesideANamesWordsTellItsTwinsApart) {
  ValueIndex index;
  index.add_values({"tasks", "name", "TEXT"},
                   {"Internal coating of walls cell 1", "Internal coating of walls cell 2",
                    "Theatres 1-2 returned to clinical use", "Theatres 7-8 returned to clinical use"});
  index.add_values({"wbs", "name", "TEXT"}, {"Route 1 - Science loop", "Route 3 - Library and Arts", "March 2025 Update"});
  EXPECT_EQ(described(index, index.match("free float on the cell 2 coating")),
            (Strings{"tasks.name='Internal coating of walls cell 2' partial 'cell 2 coating'"}));
  EXPECT_EQ(index.match("when do theatres 7 and 8 go back into clinical use").at(0).value,
            "Theatres 7-8 returned to clinical use");
  EXPECT_EQ(described(index, index.match("everything under route 3")),
            (Strings{"wbs.name='Route 3 - Library and Arts' partial 'route 3'"}));
  for (const auto& m : index.match("CPI at the end of March 2025")) EXPECT_EQ(m.phrase.find("2025"), std::string::npos);
}

// A verb's "-ing" reads the verb: a short one in a name, and the word many
// names begin with.
TEST(ValueMatch, AVerbsIngFormReadsTheVerb) {
  ValueIndex index;
  index.add_values({"tasks", "name", "TEXT"}, {"Ream raise to 3.5 m", "Reamer head supply", "Grout duct C01",
                                               "Grout duct C02", "Grout duct C03"});
  const auto reaming = index.match("what comes after the reaming");
  ASSERT_FALSE(reaming.empty());
  EXPECT_EQ(reaming.front().value, "Ream raise to 3.5 m");
  const Strings grouting = described(index, index.match("grouting durations"));
  EXPECT_NE(std::find(grouting.begin(), grouting.end(), "tasks.name='Grout%' prefix 'grouting'"), grouting.end());
}

TEST(ValueMatch, WordsThatNameNothingDoNotMatch) {
  ValueIndex index;
  index.add_values({"misc", "label", "TEXT"}, {"Before Then", "5", "2024", "A", "Line 5", "On Hold"});
  for (const char* question : {"before then", "what is 5", "activities in 2024", "a", "it is on"})
    EXPECT_EQ(index.match(question).size(), 0u) << question;
  EXPECT_EQ(described(index, index.match("Line 5 works")), (Strings{"misc.label='Line 5' exact 'Line 5'"}));
  EXPECT_EQ(described(index, index.match("projects on hold")), (Strings{"misc.label='On Hold' exact 'on hold'"}));
  EXPECT_EQ(values::fit_name(Fit::kPartial), "partial");
  // A count written as a word is no misspelt value.
  index.add_values({"cabinets", "state", "TEXT"}, {"Live", "Planned"});
  EXPECT_EQ(index.match("top five cabinets").size(), 0u);
  EXPECT_EQ(described(index, index.match("the lvie cabinets")), (Strings{"cabinets.state='Live' fuzzy 'lvie'"}));
}

// A word of five letters or more matches a longer word it begins, and the
// other way round, as one edit; a word of its own that merely starts the
// same ("water" of 'Watertight') or a word the stemmer would join
// ("activity", 'Active') does not.
TEST(ValueMatch, AWordMatchesALongerOneItBeginsAsOneEdit) {
  ValueIndex index;
  index.add_values({"crews", "crew_name", "TEXT"},
                   {"Scaffold Team", "Painters Gang", "Watertight Cover", "Active Works"});
  const auto scaffolders = index.match("hours of the scaffolders");
  ASSERT_EQ(described(index, scaffolders), (Strings{"crews.crew_name='Scaffold Team' partial 'scaffolders'"}));
  EXPECT_LT(scaffolders[0].score, index.match("hours of the scaffold")[0].score);
  EXPECT_EQ(described(index, index.match("the paint crew")),
            (Strings{"crews.crew_name='Painters Gang' partial 'paint'"}));
  EXPECT_EQ(index.match("water supply").size(), 0u);
  EXPECT_EQ(index.match("each activity").size(), 0u);
  // Read as a rarer word, it is no rarer than the word the question wrote.
  ValueIndex works;
  works.add_values({"wbs", "wbs_name", "TEXT"}, {"Tunnel Boring", "Tunnel Portal", "Tunnel Lining", "Tunnel Drainage"});
  works.add_values({"calendars", "calendar_name", "TEXT"}, {"Continuous tunnelling"});
  double exact = 0, read_as = 0;
  for (const auto& m : works.match("works on the tunnel"))
    (works.columns()[m.column].table == "wbs" ? exact : read_as) = m.score;
  EXPECT_GT(exact, 0.0);
  EXPECT_LE(read_as, exact);
}

// A plural is the word itself, not a misspelling of it, even where other
// values hold the plural as written.
TEST(ValueMatch, APluralReadsAsItsSingularExactly) {
  ValueIndex index;
  index.add_values({"deliveries", "equipment_type", "TEXT"}, {"Transformer", "Switchgear"});
  index.add_values({"activities", "activity_name", "TEXT"},
                   {"Procure transformers 2 x 4MVA", "Set transformers and MV terminations"});
  EXPECT_EQ(described(index, index.match("when are the transformers arriving")),
            (Strings{"deliveries.equipment_type='Transformer' exact 'transformers'"}));
  EXPECT_EQ(described(index, index.match("the transformer")).front(),
            "deliveries.equipment_type='Transformer' exact 'transformer'");
  // One letter more is no plural: still one edit.
  EXPECT_EQ(described(index, index.match("the transformerz")).front(),
            "deliveries.equipment_type='Transformer' fuzzy 'transformerz'");
  // Inside a longer value the plural is one edit still: "subcontractors" is
  // no sure word of a note.
  ValueIndex notes;
  notes.add_values({"notes", "note_text", "TEXT"}, {"Subcontractor crew short this week"});
  const auto as_written = notes.match("the subcontractor"), plural = notes.match("the subcontractors");
  ASSERT_EQ(as_written.size(), 1u);
  EXPECT_TRUE(plural.empty() || plural[0].score < as_written[0].score);
}

TEST(ValueMatch, AQualifierInParenthesesAndRelationshipTypesSpeltOut) {
  ValueIndex index;
  index.add_values({"resources", "resource_name", "TEXT"}, {"Mei Chen (Architect)", "Crane (80t)", "(spare)"});
  index.add_values({"links", "link_type", "TEXT"}, {"FS", "SS", "FF"});
  EXPECT_EQ(described(index, index.match("what is Mei Chen booked on")),
            (Strings{"resources.resource_name='Mei Chen (Architect)' exact 'Mei Chen'"}));
  EXPECT_EQ(described(index, index.match("how many start-to-start ties")),
            (Strings{"links.link_type='SS' exact 'start-to-start'"}));
  EXPECT_EQ(described(index, index.match("links finish to start")),
            (Strings{"links.link_type='FS' exact 'finish to start'"}));
  // No code of those initials is stored: nothing.
  EXPECT_EQ(index.match("start to finish links").size(), 0u);
}

// A short code is also named by what its column's texts say it stands for,
// whole, and less surely than a stored name names itself.
TEST(ValueMatch, ACodesDocumentedMeaningNamesIt) {
  ValueIndex index;
  index.add_values({"task", "status_code", "TEXT"}, {"NS", "IP", "CO"});
  index.add_values({"crew", "trade_code", "TEXT"}, {"SPL", "CIV"});
  index.add_values({"task", "task_name", "TEXT"},
                   {"Splicing - cabinet 1", "Splicing - cabinet 2", "Splicing - cabinet 3", "Civils - duct"});
  index.add_meanings("task", "status_code", {"Allowed Values: NS (not started), IP (in progress), CO (complete)"});
  index.add_meanings("crew", "trade_code", {"SPL = splicing, CIV = civils and ducting, GBP (pounds), SPL (2 crews)"});
  const auto progress = index.match("tasks in progress");
  EXPECT_EQ(described(index, progress), (Strings{"task.status_code='IP' exact 'in progress'"}));
  ASSERT_EQ(progress.size(), 1u);
  EXPECT_TRUE(progress[0].meaning);
  EXPECT_FALSE(index.match("IP")[0].meaning);
  EXPECT_EQ(described(index, index.match("crews on civils and ducting")),
            (Strings{"crew.trade_code='CIV' exact 'civils and ducting'"}));
  // Only whole: a word of a meaning, or one a stored name begins, names no code;
  // but a thing's name does by its last word, where no other ends with it.
  EXPECT_TRUE(index.match("progress report").empty());
  index.add_values({"vessel", "vessel_type", "TEXT"}, {"OPV", "RORO", "RV"});
  index.add_meanings("vessel", "vessel_type",
                     {"OPV (offshore patrol vessel), RORO (ro-ro passenger ferry), RV (research vessel)"});
  EXPECT_EQ(described(index, index.match("risks on the ferry")), (Strings{"vessel.vessel_type='RORO' partial 'ferry'"}));
  EXPECT_TRUE(index.match("risks on each vessel").empty());
  const auto splicing = index.match("the splicing tasks");
  EXPECT_EQ(described(index, splicing), (Strings{"crew.trade_code='SPL' exact 'splicing'",
                                                 "task.task_name='Splicing%' prefix 'splicing'"}));
  ASSERT_EQ(splicing.size(), 2u);
  EXPECT_LT(splicing[0].score, splicing[1].score);
}

TEST(ValueMatch, AWordManyValuesHoldAfterTheSameWordsIsTheirBeginning) {
  ValueIndex index;
  index.add_values({"tasks", "name", "TEXT"},
                   {"Civils - duct C01", "Civils - duct C02", "Civils - duct C03", "Install WTG A01 (tower)",
                    "Install WTG A02 (tower)", "Install WTG A03 (tower)", "Take-over (all WTGs)", "Survey C01",
                    "Survey C02", "Site survey works", "Site mobilisation works", "Site clearance works"});
  index.add_values({"crews", "name", "TEXT"}, {"Civils gang 1", "Civils gang 2"});
  auto beginnings = [&](std::string_view question) {
    Strings out;
    for (const std::string& m : described(index, index.match(question)))
      if (m.find(" prefix ") != std::string::npos) out.push_back(m);
    return out;
  };
  // Three values begin so, after the values matched; two are too few.
  const Strings civils = described(index, index.match("avg duration of civils tasks"));
  EXPECT_EQ(civils.back(), "tasks.name='Civils%' prefix 'civils'");
  EXPECT_EQ(beginnings("avg duration of civils tasks"), (Strings{"tasks.name='Civils%' prefix 'civils'"}));
  EXPECT_EQ(beginnings("which WTGs are left"), (Strings{"tasks.name='Install WTG%' prefix 'WTGs'"}));
  // Values that go on differently, a word that ends its values, a bare noun
  // after a preposition: no beginning.
  EXPECT_EQ(beginnings("site tasks"), Strings{});
  EXPECT_EQ(beginnings("survey tasks"), Strings{});
  index.add_values({"tasks", "name", "TEXT"}, {"Civils - duct C04 on site", "Site works C01", "Site works C02",
                                               "Site works C03"});
  EXPECT_EQ(beginnings("which tasks are on site"), Strings{});
  // A word that names a value outright needs no beginning.
  index.add_values({"trades", "name", "TEXT"}, {"Civils"});
  EXPECT_EQ(beginnings("civils tasks"), Strings{});
}

// Likewise a word many values end with after their codes; not one whose
// values go on, nor one no code stands before.
TEST(ValueMatch, AWordManyValuesEndWithAfterTheirCodesIsTheirEnding) {
  ValueIndex index;
  index.add_values({"activities", "name", "TEXT"},
                   {"Plot 1 - Watertight", "Plot 2 - Watertight", "Plot 3 - Watertight", "Plot 1 - Roof tiles",
                    "Plot 2 - Roof tiles", "Plot 3 - Roof tiles", "North gate inspection", "South gate inspection",
                    "East gate inspection"});
  auto patterns = [&](std::string_view question) {
    Strings out;
    for (const std::string& m : described(index, index.match(question)))
      if (m.find(" prefix ") != std::string::npos) out.push_back(m);
    return out;
  };
  EXPECT_EQ(patterns("which are watertight"), (Strings{"activities.name='%Watertight' prefix 'watertight'"}));
  EXPECT_EQ(patterns("roof progress"), Strings{});
  EXPECT_EQ(patterns("inspection results"), Strings{});
}

TEST(ValueMatch, LiveOrActiveIsInForceWhereTheColumnSpellsNeither) {
  ValueIndex index;
  index.add_values({"notices", "status", "TEXT"}, {"In Force", "Planned", "Withdrawn"});
  EXPECT_EQ(described(index, index.match("notices currently active")),
            (Strings{"notices.status='In Force' exact 'active'"}));
  EXPECT_EQ(described(index, index.match("live notices")), (Strings{"notices.status='In Force' exact 'live'"}));
  index.add_values({"permits", "state", "TEXT"}, {"In Force", "Live", "Closed"});
  EXPECT_EQ(described(index, index.match("live permits")),
            (Strings{"notices.status='In Force' exact 'live'", "permits.state='Live' exact 'live'"}));
}

TEST(ValueMatch, AColourIsTheLetterARagColumnStores) {
  ValueIndex index;
  index.add_values({"areas", "rag_cd", "TEXT"}, {"R", "A", "G"});
  index.add_values({"tasks", "type_cd", "TEXT"}, {"A", "R", "M"});
  EXPECT_EQ(described(index, index.match("which areas are red")), (Strings{"areas.rag_cd='R' exact 'red'"}));
  EXPECT_EQ(described(index, index.match("amber areas")), (Strings{"areas.rag_cd='A' exact 'amber'"}));
}

TEST(ValueMatch, SiteSlangReadsAsTheTradesWord) {
  ValueIndex index;
  index.add_values({"crews", "crew_name", "TEXT"}, {"Electricians", "Bricklayers Gang", "Carpenter Crew"});
  EXPECT_EQ(described(index, index.match("hours of the sparkies")),
            (Strings{"crews.crew_name='Electricians' fuzzy 'sparkies'"}));
  EXPECT_EQ(described(index, index.match("the brickies")),
            (Strings{"crews.crew_name='Bricklayers Gang' partial 'brickies'"}));
  EXPECT_EQ(described(index, index.match("what the chippy booked")),
            (Strings{"crews.crew_name='Carpenter Crew' partial 'chippy'"}));
  EXPECT_EQ(index.match("spark plugs").size(), 0u);
  index.add_values({"tasks", "state", "TEXT"}, {"In Progress", "Not Started"});
  EXPECT_EQ(described(index, index.match("everything that's WIP")),
            (Strings{"tasks.state='In Progress' exact 'WIP'"}));
  EXPECT_EQ(described(index, index.match("what's underway")), (Strings{"tasks.state='In Progress' exact 'underway'"}));
  EXPECT_EQ(described(index, index.match("tasks under way")), (Strings{"tasks.state='In Progress' exact 'under way'"}));
  EXPECT_EQ(index.match("under the way").size(), 0u);
  // The people of a trade, and their slang, read as the trade's word.
  ValueIndex trades;
  trades.add_values({"trades", "name", "TEXT"}, {"Electrical", "Groundworks"});
  for (const char* question : {"the electricians' day rates", "the sparkies' day rates"}) {
    const auto matches = trades.match(question);
    ASSERT_FALSE(matches.empty()) << question;
    EXPECT_TRUE(matches.back().value == "Electrical" && matches.back().variant) << question;
  }
}

// ---- choosing tables by a stored value ----------------------------------------

// One word of a longer stored value chooses the table that holds it, when
// it reads clearly best there and the schema does not use the word itself.
TEST(ValueTables, OneRareWordOfAValueChoosesItsTableWhenItReadsClearlyBestThere) {
  LinkedDatabase linked("words.db", R"(
    CREATE TABLE project (project_id INTEGER PRIMARY KEY, project_name TEXT);
    INSERT INTO project VALUES (1, 'Riverside Hospital Extension'), (2, 'Kingsway Tunnel Refurbishment');
    CREATE TABLE task (task_id INTEGER PRIMARY KEY, project_id INTEGER, task_name TEXT);
    INSERT INTO task VALUES (1, 1, 'Site clearance'), (2, 2, 'Drainage works'), (3, 2, 'Plant refurbishment');
    CREATE TABLE resource (resource_id INTEGER PRIMARY KEY, resource_name TEXT);
    INSERT INTO resource VALUES (1, 'Crawler Crane 80t'), (2, 'Tower Crane'), (3, 'Pump Hire');
    CREATE TABLE risk (risk_id INTEGER PRIMARY KEY, task_id INTEGER, risk_title TEXT);
    INSERT INTO risk VALUES (1, 1, 'High winds stop crane lifts'), (2, 2, 'Tower collapse'),
                            (3, 2, 'Pump failure');
  )",
                        R"({"tables": {
    "project": {"description": "Contracts", "domain": "d", "columns": {
      "project_id": {"description": "Key", "data_type": "INTEGER"},
      "project_name": {"description": "Title", "data_type": "TEXT"}}},
    "task": {"description": "Scheduled work items", "domain": "d", "columns": {
      "task_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Owner", "data_type": "INTEGER"},
      "task_name": {"description": "What is done", "data_type": "TEXT"}}},
    "resource": {"description": "Labour and plant", "domain": "d", "columns": {
      "resource_id": {"description": "Key", "data_type": "INTEGER"},
      "resource_name": {"description": "What it is called", "data_type": "TEXT"}}},
    "risk": {"description": "Threats", "domain": "d", "columns": {
      "risk_id": {"description": "Key", "data_type": "INTEGER"},
      "task_id": {"description": "Work item threatened", "data_type": "INTEGER"},
      "risk_title": {"description": "Headline", "data_type": "TEXT"}}}},
    "relationships": [
      {"from_table": "task", "to_table": "project", "join_condition": "task.project_id = project.project_id", "description": ""},
      {"from_table": "risk", "to_table": "task", "join_condition": "risk.task_id = task.task_id", "description": ""}]})");
  auto reasons = [&](const std::string& question) { return linked.reasons(question); };
  // "hospital" is one word of three in a project's name, found nowhere else;
  // misspelt by one edit in a word of six letters or more it still is.
  EXPECT_EQ(reasons("work items of the hospital")["project"], "value");
  EXPECT_EQ(reasons("work items on the tunnell")["project"], "value");
  EXPECT_EQ(reasons("work items on the hospitl")["project"], "value");
  EXPECT_EQ(reasons("work items on the tunel").count("project"), 0u);
  // "crane" is half of one resource's name and a fifth of a risk's title:
  // the resource reads clearly best.
  auto crane = reasons("work items needing the crane");
  EXPECT_EQ(crane["resource"], "value");
  EXPECT_EQ(crane.count("risk"), 0u);
  // "tower" and "pump" are half of a resource's name and of a risk's title:
  // no table is clearly meant, so neither is chosen for them.
  auto tower = reasons("tower");
  EXPECT_EQ(tower.count("resource"), 0u);
  EXPECT_EQ(tower.count("risk"), 0u);
  // Beside a table the question names, the one of them that joins it is meant.
  auto tower_items = reasons("work items with a tower");
  EXPECT_EQ(tower_items["risk"], "value");
  EXPECT_EQ(tower_items.count("resource"), 0u);
  // A word the schema uses ("plant" describes resource) chooses no table
  // through a value.
  EXPECT_EQ(reasons("plant").count("task"), 0u);
}

// A value one row alone holds carries that row's code, where its table has
// a column of codes: short texts without spaces, one per row, all there.
TEST(ValueTables, AValueOfOneRowCarriesThatRowsCode) {
  LinkedDatabase linked("codes.db", R"(
    CREATE TABLE project (project_id INTEGER PRIMARY KEY, project_ref TEXT, project_name TEXT, stage TEXT);
    INSERT INTO project VALUES (1, 'KTR', 'Kingsway Tunnel Refurbishment', 'Design'),
                               (2, 'RHE', 'Riverside Hospital Extension', 'Design');
    CREATE TABLE task (task_id INTEGER PRIMARY KEY, project_id INTEGER, task_no TEXT, task_name TEXT);
    INSERT INTO task VALUES (1, 1, 'T 1', 'Drainage works'), (2, 2, 'T 2', 'Roof membrane');
    CREATE TABLE crew (crew_id INTEGER PRIMARY KEY, crew_code TEXT, crew_name TEXT);
    INSERT INTO crew VALUES (1, 'CR-1', 'Tunnel gang'), (2, 'CR-1', 'Roofing gang'), (3, NULL, 'Scaffold gang');
  )",
                        R"({"tables": {
    "project": {"description": "Contracts", "domain": "d", "columns": {
      "project_id": {"description": "Key", "data_type": "INTEGER"},
      "project_ref": {"description": "Reference", "data_type": "TEXT"},
      "project_name": {"description": "Title", "data_type": "TEXT"},
      "stage": {"description": "Where it is", "data_type": "TEXT"}}},
    "task": {"description": "Scheduled work items", "domain": "d", "columns": {
      "task_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Owner", "data_type": "INTEGER"},
      "task_no": {"description": "Number", "data_type": "TEXT"},
      "task_name": {"description": "What is done", "data_type": "TEXT"}}},
    "crew": {"description": "Gangs", "domain": "d", "columns": {
      "crew_id": {"description": "Key", "data_type": "INTEGER"},
      "crew_code": {"description": "Code", "data_type": "TEXT"},
      "crew_name": {"description": "Name", "data_type": "TEXT"}}}},
    "relationships": [
      {"from_table": "task", "to_table": "project", "join_condition": "task.project_id = project.project_id", "description": ""}]})");
  // Both projects are in design: the stage names no one row.
  EXPECT_EQ(linked.value_hints("the hospital in design"),
            (Strings{"project.stage='Design'",
                     "project.project_name='Riverside Hospital Extension' project.project_ref='RHE'"}));
  // Task numbers hold spaces and crew codes repeat or are missing: no codes.
  EXPECT_EQ(linked.value_hints("roof membrane"), (Strings{"task.task_name='Roof membrane'"}));
  EXPECT_EQ(linked.value_hints("the tunnel gang"), (Strings{"crew.crew_name='Tunnel gang'"}));
}

// A name stored in two tables (a WBS root named after its project) leaves
// no doubt which thing a word of it names: both tables are chosen.
TEST(ValueTables, TheSameValueInTwoTablesChoosesBoth) {
  LinkedDatabase linked("same.db", R"(
    CREATE TABLE project (project_id INTEGER PRIMARY KEY, project_name TEXT);
    INSERT INTO project VALUES (1, 'Northgate Data Center'), (2, 'Kingsway Tunnel Refurbishment');
    CREATE TABLE wbs (wbs_id INTEGER PRIMARY KEY, project_id INTEGER, wbs_name TEXT);
    INSERT INTO wbs VALUES (1, 1, 'Northgate Data Center'), (2, 1, 'Civils'), (3, 2, 'Kingsway Tunnel Refurbishment');
    CREATE TABLE note (note_id INTEGER PRIMARY KEY, project_id INTEGER, note_text TEXT);
    INSERT INTO note VALUES (1, 1, 'Northgate access road closed'), (2, 2, 'Civils');
  )",
                        R"({"tables": {
    "project": {"description": "Contracts", "domain": "d", "columns": {
      "project_id": {"description": "Key", "data_type": "INTEGER"},
      "project_name": {"description": "Title", "data_type": "TEXT"}}},
    "wbs": {"description": "Breakdown of a contract", "domain": "d", "columns": {
      "wbs_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Owner", "data_type": "INTEGER"},
      "wbs_name": {"description": "Heading", "data_type": "TEXT"}}},
    "note": {"description": "Remarks", "domain": "d", "columns": {
      "note_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Owner", "data_type": "INTEGER"},
      "note_text": {"description": "Remark, such as the trade it is about: civils", "data_type": "TEXT"}}}},
    "relationships": [
      {"from_table": "wbs", "to_table": "project", "join_condition": "wbs.project_id = project.project_id", "description": ""},
      {"from_table": "note", "to_table": "project", "join_condition": "note.project_id = project.project_id", "description": ""}]})");
  auto reasons = [&](const std::string& question) { return linked.reasons(question); };
  auto kingsway = reasons("what is left on Kingsway");
  EXPECT_EQ(kingsway["project"], "value");
  EXPECT_EQ(kingsway["wbs"], "value");
  // A different value of another table holding the word still leaves it in doubt.
  auto northgate = reasons("what is left on Northgate");
  EXPECT_EQ(northgate.count("note"), 0u);
  // A word a column's description uses to explain its values still names
  // them; once the question names one table storing it, the others storing
  // it come along.
  auto civils_alone = reasons("Civils");
  EXPECT_EQ(civils_alone["wbs"], "value");
  EXPECT_EQ(civils_alone["note"], "value");
  auto civils = reasons("Civils notes");
  EXPECT_EQ(civils["wbs"], "value");
  EXPECT_EQ(civils.count("note"), 1u);
}

// A project's name word that several task names share still names the
// project when only that project's name holds it, even where a column's
// description uses the word; a word a table's description uses does not.
TEST(ValueTables, AWordOneNameOfAReferencedTableHoldsChoosesItThoughTasksShareIt) {
  LinkedDatabase linked("singled.db", R"(
    CREATE TABLE project (project_id INTEGER PRIMARY KEY, project_name TEXT);
    INSERT INTO project VALUES (1, 'Holloway Lane Twin-Bore Tunnel'), (2, 'Kestrel River Bridge Works'),
                               (3, 'Brookfield School Extension');
    CREATE TABLE task (task_id INTEGER PRIMARY KEY, project_id INTEGER, task_name TEXT);
    INSERT INTO task VALUES (1, 1, 'Tunnel portal'), (2, 1, 'Tunnel lining'), (3, 1, 'Tunnel drainage'),
                            (4, 2, 'Deck pour'), (5, 3, 'Plant room fit-out'), (6, 1, 'Tunnel survey'),
                            (7, 1, 'Tunnel ventilation'), (8, 1, 'Tunnel lighting'), (9, 1, 'Tunnel handover');
    CREATE TABLE note (note_id INTEGER PRIMARY KEY, project_id INTEGER, note_text TEXT);
    INSERT INTO note VALUES (1, 1, 'Tunnelling crew on nights');
  )",
                        R"({"tables": {
    "project": {"description": "Contracts", "domain": "d", "columns": {
      "project_id": {"description": "Key", "data_type": "INTEGER"},
      "project_name": {"description": "Title", "data_type": "TEXT"}}},
    "task": {"description": "Scheduled work items and the plant they need", "domain": "d", "columns": {
      "task_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Owner", "data_type": "INTEGER"},
      "task_name": {"description": "What is done, such as tunnelling", "data_type": "TEXT"}}},
    "note": {"description": "Remarks", "domain": "d", "columns": {
      "note_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Owner", "data_type": "INTEGER"},
      "note_text": {"description": "Remark", "data_type": "TEXT"}}}},
    "relationships": [
      {"from_table": "task", "to_table": "project", "join_condition": "task.project_id = project.project_id", "description": ""},
      {"from_table": "note", "to_table": "project", "join_condition": "note.project_id = project.project_id", "description": ""}]})");
  EXPECT_EQ(linked.reasons("late work items on the tunnel")["project"], "value");
  EXPECT_EQ(linked.reasons("work items for plant").count("project"), 0u);
}

// One word of a name that names its row is read there before in a value
// that merely mentions it.
TEST(ValueTables, ANameIsReadBeforeAMention) {
  LinkedDatabase linked("naming.db", R"(
    CREATE TABLE project (project_id INTEGER PRIMARY KEY, project_name TEXT);
    INSERT INTO project VALUES (1, 'Kettleby Resignalling Phase 2'), (2, 'Hadley Junction Renewal');
    CREATE TABLE package (package_id INTEGER PRIMARY KEY, project_id INTEGER);
    CREATE TABLE task (task_id INTEGER PRIMARY KEY, package_id INTEGER, task_name TEXT);
    INSERT INTO task VALUES (1, 1, 'Install signals'), (2, 1, 'Test signals');
    CREATE TABLE closure (closure_id INTEGER PRIMARY KEY, project_id INTEGER, lines_blocked TEXT);
    INSERT INTO closure VALUES (1, 1, 'Kettleby Up and Down Fast'), (2, 2, 'Hadley Up Slow');
  )",
                        R"({"tables": {
    "project": {"description": "Schemes", "domain": "d", "columns": {
      "project_id": {"description": "Key", "data_type": "INTEGER"},
      "project_name": {"description": "Name", "data_type": "TEXT"}}},
    "package": {"description": "Parts of a scheme", "domain": "d", "columns": {
      "package_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "Its scheme", "data_type": "INTEGER"}}},
    "task": {"description": "Scheduled work", "domain": "d", "columns": {
      "task_id": {"description": "Key", "data_type": "INTEGER"},
      "package_id": {"description": "Its package", "data_type": "INTEGER"},
      "task_name": {"description": "Name", "data_type": "TEXT"}}},
    "closure": {"description": "Track closures", "domain": "d", "columns": {
      "closure_id": {"description": "Key", "data_type": "INTEGER"},
      "project_id": {"description": "For the scheme", "data_type": "INTEGER"},
      "lines_blocked": {"description": "Lines shut", "data_type": "TEXT"}}}},
    "relationships": [
      {"from_table": "package", "to_table": "project", "join_condition": "package.project_id = project.project_id", "description": ""},
      {"from_table": "task", "to_table": "package", "join_condition": "task.package_id = package.package_id", "description": ""},
      {"from_table": "closure", "to_table": "project", "join_condition": "closure.project_id = project.project_id", "description": ""}]})");
  auto kettleby = linked.reasons("which tasks are on kettleby");
  EXPECT_EQ(kettleby["project"], "value");
  EXPECT_EQ(kettleby.count("closure"), 0u);
}

// A misspelt reading of one word chooses the table of the value it reads,
// unless some value holds the word as written: then it is no misspelling.
TEST(ValueTables, AWordStoredAsWrittenIsNoMisspelling) {
  LinkedDatabase linked("spelt.db", R"(
    CREATE TABLE route (route_id INTEGER PRIMARY KEY, region TEXT);
    INSERT INTO route VALUES (1, 'Eastern'), (2, 'Western'), (3, 'Midlands');
    CREATE TABLE possession (possession_id INTEGER PRIMARY KEY, route_id INTEGER, label TEXT);
    INSERT INTO possession VALUES (1, 1, 'Easter weekend blockade'), (2, 2, 'Christmas blockade');
  )",
                        R"({"tables": {
    "route": {"description": "Routes of the network", "domain": "d", "columns": {
      "route_id": {"description": "Key", "data_type": "INTEGER"},
      "region": {"description": "Region", "data_type": "TEXT"}}},
    "possession": {"description": "Track closures", "domain": "d", "columns": {
      "possession_id": {"description": "Key", "data_type": "INTEGER"},
      "route_id": {"description": "Its route", "data_type": "INTEGER"},
      "label": {"description": "What it is called", "data_type": "TEXT"}}}},
    "relationships": [
      {"from_table": "possession", "to_table": "route", "join_condition": "possession.route_id = route.route_id", "description": ""}]})");
  EXPECT_EQ(linked.reasons("show me what is on the midlnds")["route"], "value");
  EXPECT_EQ(linked.reasons("what is planned for easter").count("route"), 0u);
}

// The people of a trade are its stored word though the schema uses theirs.
TEST(ValueTables, ATradesPeopleChooseTheTableOfTheTrade) {
  LinkedDatabase linked("trade.db", R"(
    CREATE TABLE trade (trade_id INTEGER PRIMARY KEY, trade_name TEXT);
    INSERT INTO trade VALUES (1, 'Electrical'), (2, 'Groundworks');
    CREATE TABLE permit (permit_id INTEGER PRIMARY KEY, holder TEXT);
  )",
                        R"({"tables": {
    "trade": {"description": "Trades on site", "domain": "d", "columns": {
      "trade_id": {"description": "Key", "data_type": "INTEGER"},
      "trade_name": {"description": "Name", "data_type": "TEXT"}}},
    "permit": {"description": "Permits to work", "domain": "d", "columns": {
      "permit_id": {"description": "Key", "data_type": "INTEGER"},
      "holder": {"description": "Holder, such as one of the electricians", "data_type": "TEXT"}}}}})");
  EXPECT_EQ(linked.reasons("day rates of the electricians")["trade"], "value");
}

// A person named whole where a row is named after them and where rows only
// hold them (an owner, an author) is the row named after them.
TEST(ValueTables, APersonIsTheRowNamedAfterThemNotTheRowsTheyOwn) {
  LinkedDatabase linked("person.db", R"(
    CREATE TABLE resource (resource_id INTEGER PRIMARY KEY, resource_name TEXT);
    INSERT INTO resource VALUES (1, 'Mei Chen (Architect)'), (2, 'Tower crane');
    CREATE TABLE risk (risk_id INTEGER PRIMARY KEY, risk_owner TEXT, title TEXT);
    INSERT INTO risk VALUES (1, 'Mei Chen', 'Late drawings'), (2, 'Raj Patel', 'Crane outage');
    CREATE TABLE note (note_id INTEGER PRIMARY KEY, author TEXT, body TEXT);
    INSERT INTO note VALUES (1, 'Mei Chen', 'Drawings issued'), (2, 'Raj Patel', 'Crane inspected');
  )",
                        R"({"tables": {
    "resource": {"description": "People and plant", "domain": "d", "columns": {
      "resource_id": {"description": "Key", "data_type": "INTEGER"},
      "resource_name": {"description": "Name", "data_type": "TEXT"}}},
    "risk": {"description": "Threats", "domain": "d", "columns": {
      "risk_id": {"description": "Key", "data_type": "INTEGER"},
      "risk_owner": {"description": "Responsible", "data_type": "TEXT"},
      "title": {"description": "Title", "data_type": "TEXT"}}},
    "note": {"description": "Remarks", "domain": "d", "columns": {
      "note_id": {"description": "Key", "data_type": "INTEGER"},
      "author": {"description": "Written by", "data_type": "TEXT"},
      "body": {"description": "Text", "data_type": "TEXT"}}}}})");
  auto mei = linked.reasons("what is Mei Chen doing");
  EXPECT_EQ(mei["resource"], "value");
  EXPECT_EQ(mei.count("risk"), 0u);
  EXPECT_EQ(mei.count("note"), 0u);
  // Without a row named after them, the rows holding them are what is meant.
  auto raj = linked.reasons("what is Raj Patel doing");
  EXPECT_EQ(raj["risk"], "value");
  EXPECT_EQ(raj["note"], "value");
}

// A whole value the question writes in capitals is a code, and chooses its
// table even where a table's description uses the word; written in lower
// case it is the schema's word then. A column's description quoting it as
// an example does not make it one.
TEST(ValueTables, AWholeValueInCapitalsIsACode) {
  LinkedDatabase linked("capitals.db", R"(
    CREATE TABLE job (job_id INTEGER PRIMARY KEY, short_code TEXT);
    INSERT INTO job VALUES (1, 'MSA'), (2, 'BHW'), (3, 'WORK');
    CREATE TABLE item (item_id INTEGER PRIMARY KEY, job_id INTEGER, item_code TEXT);
    INSERT INTO item VALUES (1, 1, 'MSA-1010'), (2, 2, 'BHW-1010');
  )",
                        R"({"tables": {
    "job": {"description": "Contracts", "domain": "d", "columns": {
      "job_id": {"description": "Key", "data_type": "INTEGER"},
      "short_code": {"description": "Three letters, e.g. MSA", "data_type": "TEXT"}}},
    "item": {"description": "Scheduled work", "domain": "d", "columns": {
      "item_id": {"description": "Key", "data_type": "INTEGER"},
      "job_id": {"description": "Owner", "data_type": "INTEGER"},
      "item_code": {"description": "Code such as MSA-1010", "data_type": "TEXT"}}}},
    "relationships": [
      {"from_table": "item", "to_table": "job", "join_condition": "item.job_id = job.job_id", "description": ""}]})");
  auto reasons = [&](const std::string& question) { return linked.reasons(question); };
  EXPECT_EQ(reasons("scheduled work of MSA")["job"], "value");
  EXPECT_EQ(reasons("scheduled work of msa")["job"], "value");
  EXPECT_EQ(reasons("items of WORK")["job"], "value");
  EXPECT_EQ(reasons("items of work").count("job"), 0u);
}

// A word many names of one column end with (or begin with) names their
// table; a code's prefix does not.
TEST(ValueTables, AWordManyNamesEndWithChoosesTheirTable) {
  LinkedDatabase linked("endings.db", R"(
    CREATE TABLE plot (plot_id INTEGER PRIMARY KEY, plot_name TEXT);
    WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12)
      INSERT INTO plot SELECT i, 'Plot ' || i FROM n;
    CREATE TABLE activity (act_id INTEGER PRIMARY KEY, plot_id INTEGER, act_name TEXT);
    INSERT INTO activity (plot_id, act_name) SELECT plot_id, plot_name || ' - Watertight' FROM plot;
    INSERT INTO activity (plot_id, act_name) SELECT plot_id, plot_name || ' - Handover' FROM plot;
  )",
                        R"({"tables": {
    "plot": {"description": "Houses", "domain": "d", "columns": {
      "plot_id": {"description": "Key", "data_type": "INTEGER"},
      "plot_name": {"description": "Name", "data_type": "TEXT"}}},
    "activity": {"description": "Schedule lines", "domain": "d", "columns": {
      "act_id": {"description": "Key", "data_type": "INTEGER"},
      "plot_id": {"description": "House", "data_type": "INTEGER"},
      "act_name": {"description": "Name", "data_type": "TEXT"}}}},
    "relationships": [
      {"from_table": "activity", "to_table": "plot", "join_condition": "activity.plot_id = plot.plot_id", "description": ""}]})");
  EXPECT_EQ(linked.reasons("which houses are watertight")["activity"], "value");
}

// An activity named right after "before" or "after" asks for its logic.
TEST(ValueTables, AnActivityAfterBeforeOrAfterAsksForItsLinks) {
  LinkedDatabase linked("logic.db", R"(
    CREATE TABLE activity (act_id INTEGER PRIMARY KEY, act_code TEXT, act_name TEXT);
    INSERT INTO activity VALUES (1, 'OYD-0170', 'Roof trusses'), (2, 'OYD-0180', 'Roof tiles');
    CREATE TABLE activity_link (link_id INTEGER PRIMARY KEY, pred_act_id INTEGER, succ_act_id INTEGER, lag_days REAL);
    INSERT INTO activity_link VALUES (1, 1, 2, 0);
  )",
                        R"({"tables": {
    "activity": {"description": "Activities", "domain": "d", "columns": {
      "act_id": {"description": "Key", "data_type": "INTEGER"},
      "act_code": {"description": "Code", "data_type": "TEXT"},
      "act_name": {"description": "Name", "data_type": "TEXT"}}},
    "activity_link": {"description": "Logic between activities", "domain": "d", "columns": {
      "link_id": {"description": "Key", "data_type": "INTEGER"},
      "pred_act_id": {"description": "Predecessor activity", "data_type": "INTEGER"},
      "succ_act_id": {"description": "Successor activity", "data_type": "INTEGER"},
      "lag_days": {"description": "Lag in days", "data_type": "REAL"}}}},
    "relationships": [
      {"from_table": "activity_link", "to_table": "activity", "join_condition": "activity_link.pred_act_id = activity.act_id", "description": ""},
      {"from_table": "activity_link", "to_table": "activity", "join_condition": "activity_link.succ_act_id = activity.act_id", "description": ""}]})");
  EXPECT_EQ(linked.reasons("what has to finish before OYD-0180 can start").count("activity_link"), 1u);
  EXPECT_EQ(linked.reasons("what comes after the roof trusses").count("activity_link"), 1u);
  EXPECT_EQ(linked.reasons("when does OYD-0180 finish").count("activity_link"), 0u);
}

// A code of letters and digits is its table's, though the value that holds
// it says more ('BL0 Build area plan').
TEST(ValueTables, ACodeInsideALongerValueChoosesItsTable) {
  LinkedDatabase linked("code_word.db", R"(
    CREATE TABLE bsln (bsln_id INTEGER PRIMARY KEY, bsln_nm TEXT);
    INSERT INTO bsln VALUES (1, 'BL0 Build area plan'), (2, 'BL1 Re-plan after the rail crossing refusal'),
                            (3, 'BL1 Re-plan after the traffic order refusal');
    CREATE TABLE task (task_id INTEGER PRIMARY KEY, task_nm TEXT, bl_fin_dt TEXT);
    INSERT INTO task VALUES (1, 'Civils', '2025-01-01'), (2, 'Splicing', '2025-02-01');
  )",
                        R"({"tables": {
    "bsln": {"description": "Saved plans", "domain": "d", "columns": {
      "bsln_id": {"description": "Key", "data_type": "INTEGER"},
      "bsln_nm": {"description": "Name", "data_type": "TEXT"}}},
    "task": {"description": "Tasks", "domain": "d", "columns": {
      "task_id": {"description": "Key", "data_type": "INTEGER"},
      "task_nm": {"description": "Name", "data_type": "TEXT"},
      "bl_fin_dt": {"description": "Current plan finish", "data_type": "TEXT"}}}}})");
  EXPECT_EQ(linked.reasons("compare the BL0 finish of each task")["bsln"], "value");
}

// A question naming a row asks about what belongs to it: a word one of its
// neighbours' columns, and no other neighbour's, is named by chooses that
// neighbour, though a table elsewhere has such a column too.
TEST(ValueTables, AWordOfANamedRowsNeighboursColumnChoosesIt) {
  LinkedDatabase linked("neighbour_column.db", R"(
    CREATE TABLE resource (resource_id INTEGER PRIMARY KEY, resource_name TEXT);
    INSERT INTO resource VALUES (1, 'Tern Swift'), (2, 'Brora Jack');
    CREATE TABLE day_log (log_id INTEGER PRIMARY KEY, resource_id INTEGER, log_date TEXT, weather_downtime_hours REAL);
    CREATE TABLE calendar (calendar_id INTEGER PRIMARY KEY, calendar_name TEXT, weather_days INTEGER);
  )",
                        R"({"tables": {
    "resource": {"description": "Vessels and crews", "domain": "d", "columns": {
      "resource_id": {"description": "Key", "data_type": "INTEGER"},
      "resource_name": {"description": "Name", "data_type": "TEXT"}}},
    "day_log": {"description": "Daily reports", "domain": "d", "columns": {
      "log_id": {"description": "Key", "data_type": "INTEGER"},
      "resource_id": {"description": "Vessel", "data_type": "INTEGER"},
      "log_date": {"description": "Date of the report", "data_type": "TEXT"},
      "weather_downtime_hours": {"description": "Hours lost", "data_type": "REAL"}}},
    "calendar": {"description": "Work days and weather windows of the year", "domain": "d", "columns": {
      "calendar_id": {"description": "Key", "data_type": "INTEGER"},
      "calendar_name": {"description": "Name", "data_type": "TEXT"},
      "weather_days": {"description": "Days a year lost to weather", "data_type": "INTEGER"}}},
    "risk": {"description": "Risks", "domain": "d", "columns": {
      "risk_id": {"description": "Key", "data_type": "INTEGER"}}},
    "permit": {"description": "Permits", "domain": "d", "columns": {
      "permit_id": {"description": "Key", "data_type": "INTEGER"}}}},
    "relationships": [{"from_table": "day_log", "to_table": "resource",
      "join_condition": "day_log.resource_id = resource.resource_id", "description": ""}]})");
  auto reasons = linked.reasons("on which days did the Tern Swift stand down for weather");
  EXPECT_EQ(reasons["resource"], "value");
  EXPECT_EQ(reasons.count("day_log"), 1u);
}

}  // namespace
