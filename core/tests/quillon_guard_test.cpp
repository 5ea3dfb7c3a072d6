// The read-only guard: each table row, the order of the rows, whole-word
// matching as the host's regular expressions see it, and the prefix test.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "corvalt/json.hpp"
#include "corvalt/quillon.hpp"

using corvalt::Console;
using corvalt::quillon::check_sql;
using corvalt::quillon::normalise_sql;
using corvalt::quillon::Quillon;

namespace {

std::string refusal(const std::string& message) {
  return "Security restriction: " + message + ". SQL Query Builder only supports SELECT operations.";
}
const std::string kOnlySelect = "Security restriction: Only SELECT operations are allowed.";

std::optional<std::string> guard(const std::string& sql) { return check_sql(sql).refusal; }

struct GuardRow {
  std::string pattern, sql, message;
};

// The rows both test suites check, from tests/golden/guard_rows.json.
std::vector<GuardRow> golden_guard_rows() {
  const corvalt::Value doc =
      corvalt::json::parse_file(std::string(CORVALT_GOLDEN_DIR) + "/guard_rows.json");
  std::vector<GuardRow> rows;
  for (const corvalt::Value& r : doc.as_record().at("rows").as_list()) {
    const corvalt::Record& row = r.as_record();
    rows.push_back({row.at("pattern").as_text(), row.at("sql").as_text(), row.at("message").as_text()});
  }
  return rows;
}

}  // namespace

TEST(QuillonGuard, NormalisesCaseAndWhiteSpace) {
  EXPECT_EQ(normalise_sql("  SELECT *\n FROM\ttasks  "), "select * from tasks");
  // Unicode white space and full lower-casing count too.
  EXPECT_EQ(normalise_sql("SELECT\u00a0Ä\u3000FROM\u2028t"), "select ä from t");
  EXPECT_EQ(normalise_sql(""), "");
}

TEST(QuillonGuard, EveryRowRefusesItsWord) {
  const auto rows = golden_guard_rows();
  ASSERT_EQ(rows.size(), 11u);
  ASSERT_EQ(corvalt::quillon::guard_rules().size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& [pattern, sql, message] = rows[i];
    auto verdict = check_sql(sql);
    ASSERT_TRUE(verdict.refusal) << sql;
    EXPECT_EQ(*verdict.refusal, refusal(message)) << sql;
    ASSERT_NE(verdict.rule, nullptr);
    EXPECT_EQ(verdict.rule->message, message);
    // The table itself, row by row in its order.
    EXPECT_EQ(corvalt::quillon::guard_rules()[i].pattern, pattern);
    EXPECT_EQ(corvalt::quillon::guard_rules()[i].message, message);
  }
}

TEST(QuillonGuard, TableOrderDecides) {
  EXPECT_EQ(guard("select 1 from t where drop and delete"), refusal("DELETE operations are not allowed"));
  EXPECT_EQ(guard("select pragma, drop from t"), refusal("DROP operations are not allowed"));
}

TEST(QuillonGuard, WholeWordsOnly) {
  for (const char* sql : {"select updated_at from t", "select deleted from t", "select dropdown from t",
                          "select inserts from t", "select created from t", "select * from pragma_table_info('t')",
                          "select 1 as drop_", "select x from t where n = 'éupdate'"})
    EXPECT_EQ(guard(sql), std::nullopt) << sql;
  // Letters of any alphabet are word characters; punctuation is not.
  EXPECT_EQ(guard("select ädrop from t"), std::nullopt);
  EXPECT_EQ(guard("select x from t where n = 'update'"), refusal("UPDATE operations are not allowed"));
  EXPECT_EQ(guard("select \"drop\" from t"), refusal("DROP operations are not allowed"));
  EXPECT_EQ(guard("select 1 -- delete\n"), refusal("DELETE operations are not allowed"));
  EXPECT_EQ(guard("select x from t where note = 'Update pending'"),
            refusal("UPDATE operations are not allowed"));
}

TEST(QuillonGuard, PatternsEndingInASpaceNeedAWordAfterIt) {
  EXPECT_EQ(guard("select 1 as create"), std::nullopt);
  EXPECT_EQ(guard("select 1 as create\n"), std::nullopt);  // trailing white space is dropped
  EXPECT_EQ(guard("select a from t where create x"), refusal("CREATE operations are not allowed"));
  EXPECT_EQ(guard("select a from t where create (x)"), std::nullopt);
  EXPECT_EQ(guard("select attach, 1"), std::nullopt);
  EXPECT_EQ(guard("attach 'x.db' as x"), kOnlySelect);  // a quote after the space is no word
  EXPECT_EQ(guard("select attach from t"), refusal("ATTACH DATABASE operations are not allowed"));
  EXPECT_EQ(guard("select detach , 1"), std::nullopt);
  EXPECT_EQ(guard("select attach x"), refusal("ATTACH DATABASE operations are not allowed"));
}

TEST(QuillonGuard, VacuumNeedsAWordBeforeTheSemicolon) {
  EXPECT_EQ(guard("select 1; vacuum"), refusal("VACUUM operations are not allowed"));
  EXPECT_EQ(guard("select 1;\n\tVACUUM;"), refusal("VACUUM operations are not allowed"));
  EXPECT_EQ(guard("select 1 ; vacuum"), std::nullopt);
  EXPECT_EQ(guard("select 1;vacuum"), std::nullopt);
  EXPECT_EQ(guard("select 1; vacuumed"), std::nullopt);
  EXPECT_EQ(guard("select 'a'; vacuum"), std::nullopt);  // a quote before ; is no word character
}

TEST(QuillonGuard, OnlyStatementsBeginningWithSelectAndASpace) {
  EXPECT_EQ(guard("  SELECT *\n FROM tasks  "), std::nullopt);
  EXPECT_EQ(guard("select\t1"), std::nullopt);
  for (const char* sql : {"select*from tasks", "select", "  select  ", "with x as (select 1) select * from x",
                          "explain select 1", "(select 1)", "", "vacuum", "selectx 1"})
    EXPECT_EQ(guard(sql), kOnlySelect) << sql;
}

TEST(QuillonGuard, LoneSurrogatesDoNotDisturbMatching) {
  // What the host passes for a str holding a lone surrogate.
  EXPECT_EQ(guard("select '\xed\xb2\x80' from t"), std::nullopt);
  EXPECT_EQ(guard("select '\xed\xb2\x80" "drop' from t"), refusal("DROP operations are not allowed"));
}

TEST(QuillonGuard, ServicePrintsTheBlockedPatternWhenVerbose) {
  std::vector<std::string> lines;
  Quillon q(Console([&](std::string_view l) { lines.emplace_back(l); }));
  EXPECT_EQ(q.validate_safe_sql("DROP TABLE x"), refusal("DROP operations are not allowed"));
  EXPECT_TRUE(lines.empty());
  q.verbose = true;
  q.validate_safe_sql("DROP TABLE x");
  q.validate_safe_sql("create table y (a)");
  q.validate_safe_sql("insert_x");  // only the prefix test refuses: nothing printed
  EXPECT_EQ(lines, (std::vector<std::string>{"Blocked dangerous SQL operation: drop",
                                             "Blocked dangerous SQL operation: create "}));
}

namespace {

// The engine's proof of read-only: what it admits and what it refuses, on a
// real database whose file must not change.
class EngineGuard : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("engine_guard_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "s.db").string();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t (a INTEGER, b TEXT); INSERT INTO t VALUES (1, 'x'), (2, 'y');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    q_.read_only = corvalt::quillon::Quillon::ReadOnly::kEngine;
    q_.limits.timeout_seconds = 2.0;
    ASSERT_TRUE(q_.connect_database(path_));
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  corvalt::Record run(const std::string& sql) {
    corvalt::Record r{{"sql", corvalt::Value(sql)}};
    q_.test_query(r);
    return r;
  }
  std::string file_bytes() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir_;
  std::string path_;
  corvalt::quillon::Quillon q_;
};

TEST_F(EngineGuard, AdmitsQueriesTheWordGuardRefuses) {
  for (const char* sql : {"WITH x AS (SELECT 1 AS a) SELECT * FROM x", "VALUES (1), (2)",
                          "/* totals */ SELECT count(*) FROM t -- all rows",
                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5) SELECT i FROM n",
                          "SELECT 'delete' AS word, printf('%d', a) FROM t",
                          "SELECT name, type FROM pragma_table_info('t')"}) {
    const corvalt::Record r = run(sql);
    EXPECT_TRUE(r.at("success").as_bool()) << sql << ": " << corvalt::to_str(r.get("execution_error", corvalt::Value()));
  }
}

TEST_F(EngineGuard, RefusesEverythingThatWritesOrChangesTheConnection) {
  const std::string before = file_bytes();
  for (const char* sql :
       {"DELETE FROM t", "WITH x AS (SELECT 1) DELETE FROM t", "WITH x AS (SELECT 3, 'z') INSERT INTO t SELECT * FROM x",
        "UPDATE t SET a = 0", "REPLACE INTO t VALUES (1, 'q')", "DROP TABLE t", "CREATE TABLE u (x)",
        "CREATE TEMP TABLE u (x)", "ALTER TABLE t ADD COLUMN c", "PRAGMA query_only = OFF", "PRAGMA writable_schema = 1",
        "PRAGMA database_list", "UPDATE sqlite_master SET sql = ''",
        "ATTACH DATABASE ':memory:' AS m", "BEGIN", "COMMIT", "SAVEPOINT s", "VACUUM",
        "ANALYZE", "REINDEX", "SELECT load_extension('x')", "SELECT 1; DELETE FROM t",
        "CREATE VIRTUAL TABLE v USING fts5(x)",
        // A table-valued pragma compiles its pragma only when it is read.
        "SELECT * FROM pragma_database_list", "SELECT * FROM pragma_query_only"}) {
    const corvalt::Record r = run(sql);
    EXPECT_FALSE(r.at("success").as_bool()) << sql;
    const std::string error = corvalt::to_str(r.at("execution_error"));
    EXPECT_TRUE(error.find("Security restriction") != std::string::npos ||
                error.find("one statement at a time") != std::string::npos ||
                error.find("not authorized") != std::string::npos ||
                error.find("may not be modified") != std::string::npos)
        << sql << ": " << error;
  }
  EXPECT_EQ(file_bytes(), before);
  EXPECT_EQ(run("SELECT count(*) AS n FROM t").at("row_count").as_int(), 1);
}

TEST_F(EngineGuard, AHugeValueFailsAtOnceInsteadOfOutrunningTheDeadline) {
  // A field padded one character at a time, and values past the length limit.
  for (const char* sql : {"SELECT printf('%.*c', 1000000001, 'x')", "SELECT format('%2000000000d', 1)",
                          "SELECT zeroblob(200000000)", "SELECT hex(randomblob(60000000))"}) {
    const corvalt::Record r = run(sql);
    ASSERT_FALSE(r.at("success").as_bool()) << sql;
    const std::string error = corvalt::to_str(r.at("execution_error"));
    EXPECT_TRUE(error.find("too big") != std::string::npos || error.find("too large") != std::string::npos)
        << sql << ": " << error;
  }
  // At the limits' edges: a width of 1,000,000 and a value of 10,000,000 bytes are still made.
  const corvalt::Record edge = run("SELECT length(printf('%1000000d', 1)) AS w, length(zeroblob(10000000)) AS z");
  ASSERT_TRUE(edge.at("success").as_bool()) << corvalt::to_str(edge.get("execution_error", corvalt::Value()));
  EXPECT_EQ(edge.at("results").as_list()[0].as_record().at("w").as_int(), 1000000);
  for (const char* sql : {"SELECT printf('%1000001d', 1)", "SELECT zeroblob(10000001)"})
    EXPECT_FALSE(run(sql).at("success").as_bool()) << sql;
  // Values each under the cap, many of them: the result as a whole is refused past 500 MB.
  q_.limits.timeout_seconds = 60.0;
  const corvalt::Record many =
      run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60) SELECT zeroblob(9000000) FROM n");
  q_.limits.timeout_seconds = 2.0;
  ASSERT_FALSE(many.at("success").as_bool());
  EXPECT_NE(corvalt::to_str(many.at("execution_error")).find("more than 500000000 bytes of text and blobs"),
            std::string::npos);
  // An ordinary format still formats, also with a width from an argument.
  const corvalt::Record ok = run("SELECT printf('%*d|%.2f|%s', 5, 42, 3.14159, b) AS f FROM t WHERE a = 1");
  ASSERT_TRUE(ok.at("success").as_bool());
  EXPECT_EQ(corvalt::to_str(ok.at("results").as_list()[0].as_record().at("f")), "   42|3.14|x");
}

TEST_F(EngineGuard, SearchesAndReplacementsAnswerAsSqliteAndStopAtTheDeadline) {
  // The same answers as SQLite's own functions, on a plain connection.
  sqlite3* plain = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &plain), SQLITE_OK);
  auto plain_text = [&](const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(plain, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
    EXPECT_EQ(sqlite3_step(st), SQLITE_ROW) << sql;
    const auto* t = sqlite3_column_text(st, 0);
    std::string out = t ? std::string(reinterpret_cast<const char*>(t)) + "/" + std::to_string(sqlite3_column_type(st, 0))
                        : std::string("null");
    sqlite3_finalize(st);
    return out;
  };
  for (const char* expr : {"instr('abcabc', 'ca')", "instr('ünïcödé', 'cö')", "instr('abc', '')", "instr('', 'a')",
                           "instr(NULL, 'a')", "instr('a', NULL)", "instr(x'00ff01', x'ff01')", "instr(x'616263', 'c')",
                           "instr(12345, 34)", "instr(1.5, '.')", "instr('aaa', 'aaaa')", "instr('xyz', 'q')",
                           "replace('abcabc', 'bc', 'X')", "replace('abc', '', 'X')", "replace(NULL, 'a', 'b')",
                           "replace('abc', NULL, 'b')", "replace('abc', 'b', NULL)", "replace(123, 2, 'x')",
                           "replace('aaaa', 'aa', 'b')", "replace('ünï', 'n', 'ñ')", "replace(x'616263', 'b', 'z')",
                           "replace('abc', 'abc', '')"}) {
    const std::string sql = std::string("SELECT ") + expr + " AS v";
    const corvalt::Record r = run(sql);
    ASSERT_TRUE(r.at("success").as_bool()) << sql;
    const corvalt::Value& v = r.at("results").as_list()[0].as_record().at("v");
    const std::string ours = v.is_null() ? "null"
                             : v.is_int() ? std::to_string(v.as_int()) + "/1"
                                          : corvalt::to_str(v) + "/3";
    EXPECT_EQ(ours, plain_text(sql)) << sql;
  }
  sqlite3_close(plain);

  // A needle that almost matches everywhere in a long text: minutes in one call.
  q_.limits.timeout_seconds = 0.3;
  for (const char* sql : {"SELECT instr(replace(hex(zeroblob(2000000)), '0', 'a'), "
                          "replace(hex(zeroblob(500000)), '0', 'a') || 'b')",
                          "SELECT length(replace(replace(hex(zeroblob(2000000)), '0', 'a'), "
                          "replace(hex(zeroblob(500000)), '0', 'a') || 'b', 'c'))"}) {
    const auto start = std::chrono::steady_clock::now();
    const corvalt::Record r = run(sql);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << sql;
    ASSERT_FALSE(r.at("success").as_bool()) << sql;
    EXPECT_NE(corvalt::to_str(r.at("execution_error")).find("statement timed out after 0.3 s"), std::string::npos)
        << corvalt::to_str(r.at("execution_error"));
  }
}

TEST_F(EngineGuard, LikeAndGlobAnswerAsSqliteAndStopAtTheDeadline) {
  // Random patterns and texts over a small alphabet, against SQLite's own.
  sqlite3* plain = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &plain), SQLITE_OK);
  auto sqlite_says = [&](const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(plain, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
    const int rc = sqlite3_step(st);
    std::string out = rc != SQLITE_ROW ? "error"
                      : sqlite3_column_type(st, 0) == SQLITE_NULL ? "null"
                                                                   : std::to_string(sqlite3_column_int(st, 0));
    sqlite3_finalize(st);
    return out;
  };
  auto we_say = [&](const std::string& sql) {
    const corvalt::Record r = run(sql);
    if (!r.at("success").as_bool()) return std::string("error");
    const corvalt::Value& v = r.at("results").as_list()[0].as_record().at("v");
    return v.is_null() ? std::string("null") : std::to_string(v.as_int());
  };
  std::mt19937 random(7);
  auto pick = [&](const std::vector<std::string>& parts, int most) {
    std::string out;
    for (int n = static_cast<int>(random() % (most + 1)); n > 0; --n) out += parts[random() % parts.size()];
    return out;
  };
  const std::vector<std::string> text_parts{"a", "b", "A", "\u00fc", "\u00dc", "%", "_", "-", "]"};
  const std::vector<std::string> like_parts{"a", "b", "A", "\u00fc", "%", "_", "%%", "\\"};
  const std::vector<std::string> glob_parts{"a", "b", "A", "\u00fc", "*", "?", "[ab]", "[^a]", "[a-c]", "[]]", "[",
                                            "[-a]"};
  auto literal = [](const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
  };
  for (int n = 0; n < 3000; ++n) {
    const std::string text = literal(pick(text_parts, 6));
    const std::string like = literal(pick(like_parts, 5));
    const std::string glob = literal(pick(glob_parts, 4));
    for (const std::string& sql : {"SELECT " + text + " LIKE " + like + " AS v",
                                   "SELECT " + text + " LIKE " + like + " ESCAPE '\\' AS v",
                                   "SELECT " + text + " LIKE " + like + " ESCAPE '%' AS v",
                                   "SELECT " + text + " GLOB " + glob + " AS v"})
      ASSERT_EQ(we_say(sql), sqlite_says(sql)) << sql;
  }
  for (const char* sql : {"SELECT NULL LIKE 'a' AS v", "SELECT 'a' LIKE NULL AS v", "SELECT 'a' LIKE 'a' ESCAPE NULL AS v",
                          "SELECT 'a' LIKE 'a' ESCAPE 'ab' AS v", "SELECT 12 LIKE '1%' AS v", "SELECT x'6162' GLOB 'a*' AS v",
                          "SELECT 'ab' LIKE x'6125' AS v", "SELECT 'a' LIKE 'a' || char(92) ESCAPE char(92) AS v"})
    EXPECT_EQ(we_say(sql), sqlite_says(sql)) << sql;
  // A pattern that changes from row to row is read afresh for each.
  const corvalt::Record rows = run(
      "SELECT group_concat(a LIKE b, ',') AS v FROM (SELECT 'ab' AS a, 'a%' AS b UNION ALL SELECT 'ab', 'b%' "
      "UNION ALL SELECT 'ab', '%b' UNION ALL SELECT 'a_', 'a!_' )");
  EXPECT_EQ(corvalt::to_str(rows.at("results").as_list()[0].as_record().at("v")), "1,0,1,0");
  sqlite3_close(plain);

  // A pattern of wildcards against a long text: minutes in one call.
  q_.limits.timeout_seconds = 0.3;
  for (const char* sql : {"SELECT replace(hex(zeroblob(1000000)), '0', 'a') LIKE '%' || "
                          "replace(hex(zeroblob(20000)), '0', 'a') || 'b%' AS v",
                          "SELECT replace(hex(zeroblob(1000000)), '0', 'a') GLOB '*' || "
                          "replace(hex(zeroblob(20000)), '0', 'a') || 'b*' AS v"}) {
    const auto start = std::chrono::steady_clock::now();
    const corvalt::Record r = run(sql);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << sql;
    ASSERT_FALSE(r.at("success").as_bool()) << sql;
    EXPECT_NE(corvalt::to_str(r.at("execution_error")).find("statement timed out after 0.3 s"), std::string::npos)
        << corvalt::to_str(r.at("execution_error"));
  }
}

TEST_F(EngineGuard, ValueMakersAnswerAsSqliteAndARowOfThemStopsAtTheDeadline) {
  sqlite3* plain = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &plain), SQLITE_OK);
  for (const char* expr : {"hex(NULL)", "hex(12)", "hex(x'00ff')", "hex('\u00fc')", "hex(1.5)", "upper('ab\u00fc\u00c4z')",
                           "lower('AB\u00dcz')", "upper(NULL)", "upper(12)", "typeof(upper(x'61'))",
                           "length(zeroblob(-1))", "typeof(zeroblob(3))", "length(randomblob(0))",
                           "length(randomblob(16))", "typeof(hex(NULL))"}) {
    const std::string sql = std::string("SELECT ") + expr + " AS v";
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(plain, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    const auto* t = sqlite3_column_text(st, 0);
    const std::string theirs = t ? reinterpret_cast<const char*>(t) : "null";
    sqlite3_finalize(st);
    const corvalt::Record r = run(sql);
    ASSERT_TRUE(r.at("success").as_bool()) << sql;
    const corvalt::Value& v = r.at("results").as_list()[0].as_record().at("v");
    EXPECT_EQ(v.is_null() ? "null" : corvalt::to_str(v), theirs) << sql;
  }
  sqlite3_close(plain);
  EXPECT_FALSE(run("SELECT zeroblob(10000001)").at("success").as_bool());
  EXPECT_FALSE(run("SELECT randomblob(10000001)").at("success").as_bool());

  // Three hundred calls of about 30 ms each in one row, where SQLite looks at no deadline.
  std::string sum = "SELECT 0";
  for (int i = 0; i < 300; ++i) sum += " + length(hex(zeroblob(4900000)))";
  q_.limits.timeout_seconds = 0.3;
  const auto start = std::chrono::steady_clock::now();
  const corvalt::Record r = run(sum);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
  ASSERT_FALSE(r.at("success").as_bool());
  EXPECT_NE(corvalt::to_str(r.at("execution_error")).find("statement timed out after 0.3 s"), std::string::npos)
      << corvalt::to_str(r.at("execution_error"));
}

}  // namespace
