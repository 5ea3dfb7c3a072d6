// Column statistics computed from the data.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"
#include "corvalt/profile.hpp"

namespace fs = std::filesystem;
using namespace corvalt;

namespace {

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("profile_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    db_ = (dir_ / "s.db").string();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(db_.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE risks (id INTEGER, severity TEXT, cost REAL, note TEXT);"
                           "INSERT INTO risks VALUES (1, 'High', 10.5, 'a'), (2, 'Low', NULL, 'b'),"
                           " (3, 'High', 2.0, 'c'), (4, NULL, 7.25, 'd');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    doc_ = (dir_ / "m.json").string();
    std::ofstream(doc_) << R"({"tables": {"risks": {"description": "Risks", "columns": {
      "id": {"data_type": "INTEGER"},
      "severity": {"data_type": "TEXT", "statistics": {"source": "hand", "min": "zzz"}},
      "cost": {"data_type": "REAL"},
      "gone": {"data_type": "TEXT", "statistics": {"min": 1}}}},
      "absent": {"columns": {"x": {}}}}, "keywords": {"k": ["risks"]}})";
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  std::string db_, doc_;
};

TEST_F(Profile, StatisticsFromTheDataAndEverythingElseAsItWas) {
  const Value doc = atlanor::profile_metadata(doc_, db_, {2});
  const Record& columns = doc.as_record().at("tables").as_record().at("risks").as_record().at("columns").as_record();
  EXPECT_EQ(json::dump_compact(columns.at("severity").as_record().at("statistics")),
            R"({"source": "hand", "min": "High", "null_count": 1, "distinct_count": 2, "max": "Low", )"
            R"("top_values": [{"value": "High", "count": 2}, {"value": "Low", "count": 1}]})");
  EXPECT_EQ(json::dump_compact(columns.at("cost").as_record().at("statistics")),
            R"({"null_count": 1, "distinct_count": 3, "min": 2.0, "max": 10.5, "avg": 6.583})");
  // Columns and tables the database lacks keep what they had.
  EXPECT_EQ(json::dump_compact(columns.at("gone").as_record().at("statistics")), R"({"min": 1})");
  EXPECT_FALSE(doc.as_record().at("tables").as_record().at("absent").as_record().at("columns")
                   .as_record().at("x").as_record().contains("statistics"));
  EXPECT_EQ(json::dump_compact(doc.as_record().at("keywords")), R"({"k": ["risks"]})");
  // More distinct texts than the limit: no top values.
  const Value wide = atlanor::profile_metadata(doc_, db_, {1});
  EXPECT_FALSE(wide.as_record().at("tables").as_record().at("risks").as_record().at("columns").as_record()
                   .at("severity").as_record().at("statistics").as_record().contains("top_values"));
}

TEST_F(Profile, ADatabaseThatCannotBeReadIsAnError) {
  EXPECT_THROW(atlanor::profile_metadata(doc_, (dir_ / "missing.db").string()), DatabaseError);
  EXPECT_FALSE(fs::exists(dir_ / "missing.db"));
  EXPECT_THROW(atlanor::profile_metadata(doc_, doc_), DatabaseError);  // a JSON file is no database
}

}  // namespace
