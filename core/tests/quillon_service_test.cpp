// Connection, guarded execution and the query record: values by type, the
// host binding's refusals and their order, error wording, and the
// hardening of the connection.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "corvalt/quillon.hpp"

namespace fs = std::filesystem;
using corvalt::Bytes;
using corvalt::Console;
using corvalt::Record;
using corvalt::Value;
using corvalt::quillon::Database;
using corvalt::DatabaseError;
using corvalt::quillon::Quillon;

namespace {

class QuillonService : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("quillon_service_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "schedule.db").string();
    exec_setup(
        "CREATE TABLE tasks (id INTEGER PRIMARY KEY, name TEXT, duration REAL, note TEXT, data BLOB);"
        "CREATE INDEX tasks_name ON tasks(name);"
        "INSERT INTO tasks VALUES (1, 'Dig', 2.5, NULL, x'00ff');"
        "INSERT INTO tasks VALUES (2, 'Pour', 1.0, 'Update pending', NULL);"
        "INSERT INTO tasks VALUES (9223372036854775807, 'Cure', NULL, 'ünïcode', x'');");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes through a plain connection, as the database's owner would.
  void exec_setup(const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
    sqlite3_close(db);
  }

  Quillon service() {
    Quillon q(Console([this](std::string_view l) { lines_.emplace_back(l); }));
    q.verbose = true;
    return q;
  }

  static Record run(Quillon& q, const std::string& sql) {
    Record r{{"sql", Value(sql)}};
    q.test_query(r);
    return r;
  }

  fs::path dir_;
  std::string path_;
  std::vector<std::string> lines_;
};

std::string error_of(const Record& r) {
  EXPECT_FALSE(r.at("success").as_bool());
  return r.at("execution_error").as_text();
}

}  // namespace

TEST_F(QuillonService, ConstructionConnectsOnlyToExistingPaths) {
  Quillon q = service();
  q.open_initial(std::nullopt);
  q.open_initial(std::string());
  EXPECT_TRUE(lines_.empty());
  std::string missing = (dir_ / "missing.db").string();
  q.open_initial(missing);
  EXPECT_FALSE(q.conn());
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(lines_, std::vector<std::string>{"Database file not found: " + missing});

  lines_.clear();
  q.open_initial(path_);
  ASSERT_TRUE(q.connected());
  EXPECT_EQ(q.database_path, path_);
  EXPECT_EQ(lines_, std::vector<std::string>{"Connected to database: " + path_});
}

TEST_F(QuillonService, ConnectCreatesAMissingFileAndReportsFailures) {
  Quillon q = service();
  std::string fresh = (dir_ / "fresh.db").string();
  EXPECT_TRUE(q.connect_database(fresh));
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_EQ(q.database_path, fresh);

  lines_.clear();
  EXPECT_FALSE(q.connect_database((dir_ / "no_dir" / "x.db").string()));
  EXPECT_FALSE(q.conn());
  EXPECT_EQ(q.database_path, fresh);  // kept from the last success
  EXPECT_EQ(lines_, std::vector<std::string>{"Error connecting to database: unable to open database file"});

  lines_.clear();
  EXPECT_FALSE(q.connect_database(std::string("a\0b", 3)));
  EXPECT_EQ(lines_, std::vector<std::string>{"Error connecting to database: embedded null byte"});
}

TEST_F(QuillonService, CloseConnection) {
  Quillon q = service();
  q.close_connection();  // nothing open: silent
  EXPECT_TRUE(lines_.empty());
  ASSERT_TRUE(q.connect_database(path_));
  auto db = q.conn();
  lines_.clear();
  q.close_connection();
  EXPECT_FALSE(q.conn());
  EXPECT_FALSE(db->is_open());
  EXPECT_EQ(lines_, std::vector<std::string>{"Database connection closed"});
  db->close();  // twice is harmless
}

TEST_F(QuillonService, RecordWithoutConnectionOrStatement) {
  Quillon q = service();
  Record r{{"question", Value("q")}, {"sql", Value("DROP TABLE x")}};
  q.test_query(r);
  EXPECT_EQ(error_of(r), "No database connection available");
  EXPECT_TRUE(lines_.empty());  // the guard is not asked

  ASSERT_TRUE(q.connect_database(path_));
  Record generation_failure{{"error", Value("Failed to generate SQL: boom")}};
  q.test_query(generation_failure);
  EXPECT_EQ(error_of(generation_failure), "No SQL query provided");
  Record empty{{"sql", Value("")}};
  q.test_query(empty);
  EXPECT_EQ(error_of(empty), "No SQL query provided");
  Record number{{"sql", Value(5)}};
  EXPECT_THROW(q.test_query(number), corvalt::TypeError);
}

TEST_F(QuillonService, SuccessWritesTheOutcomeKeysInOrderAndKeepsTheRest) {
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  Record r{{"question", Value("q")},
           {"execution_error", Value("old")},
           {"sql", Value("select 1 as a, 2 as b")},
           {"source", Value("historical")}};
  q.test_query(r);
  std::vector<std::string> keys;
  for (const auto& [k, v] : r) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"question", "execution_error", "sql", "source", "success",
                                            "row_count", "column_count", "columns", "results",
                                            "summary"}));
  EXPECT_EQ(r.at("execution_error"), Value("old"));
  EXPECT_TRUE(r.at("success").as_bool());
  EXPECT_EQ(r.at("row_count"), Value(1));
  EXPECT_EQ(r.at("column_count"), Value(2));
  EXPECT_EQ(r.at("columns"), Value(corvalt::List{Value("a"), Value("b")}));
  EXPECT_EQ(r.at("results"), Value(corvalt::List{Value(Record{{"a", Value(1)}, {"b", Value(2)}})}));
  EXPECT_EQ(r.at("summary"), Value("Query returned 1 row(s) with 2 column(s).\n\nResults:\n   a  b\n0  1  2"));
  EXPECT_EQ(lines_.back(), "Query executed successfully: 1 rows returned");
}

TEST_F(QuillonService, ValuesKeepTheirSQLiteTypes) {
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  Record r = run(q, "select id, name, duration, note, data from tasks order by id");
  ASSERT_TRUE(r.at("success").as_bool()) << r.at("execution_error").as_text();
  const auto& rows = r.at("results").as_list();
  ASSERT_EQ(rows.size(), 3u);
  const Record& first = rows[0].as_record();
  EXPECT_TRUE(first.at("id").is_int());
  EXPECT_TRUE(first.at("duration").is_real());
  EXPECT_TRUE(first.at("note").is_null());
  EXPECT_EQ(first.at("data").as_bytes(), Bytes{std::string("\0\xff", 2)});
  const Record& last = rows[2].as_record();
  // An integer column with a null stays integer: no loss past 2**53.
  EXPECT_EQ(last.at("id").as_int(), 9223372036854775807LL);
  EXPECT_TRUE(last.at("duration").is_null());
  EXPECT_EQ(last.at("note").as_text(), "ünïcode");
  EXPECT_EQ(last.at("data").as_bytes(), Bytes{""});
  EXPECT_EQ(rows[1].as_record().at("data"), Value());
}

TEST_F(QuillonService, DuplicateColumnNamesCollapseInRows) {
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  Record r = run(q, "select 1 as a, 2 as b, 3 as a");
  EXPECT_EQ(r.at("column_count"), Value(3));
  EXPECT_EQ(r.at("results").as_list()[0],
            Value(Record{{"a", Value(3)}, {"b", Value(2)}}));
}

TEST_F(QuillonService, EmptyResultStillSucceeds) {
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  Record r = run(q, "select id, name from tasks where id < 0");
  EXPECT_TRUE(r.at("success").as_bool());
  EXPECT_EQ(r.at("row_count"), Value(0));
  EXPECT_EQ(r.at("columns"), Value(corvalt::List{Value("id"), Value("name")}));
  EXPECT_TRUE(r.at("results").as_list().empty());
  EXPECT_EQ(r.at("summary"), Value("Query returned no results."));
}

TEST_F(QuillonService, ErrorsAreWordedAsTheReaderWordsThem) {
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  lines_.clear();
  Record r = run(q, "select * from nope");
  EXPECT_EQ(error_of(r), "Execution failed on sql 'select * from nope': no such table: nope");
  EXPECT_EQ(lines_, std::vector<std::string>{
                        "Error executing query: Execution failed on sql 'select * from nope': no such table: nope"});
  EXPECT_EQ(error_of(run(q, "select 1 from")),
            "Execution failed on sql 'select 1 from': incomplete input");
  // Failing in the first step: still the execute step.
  EXPECT_EQ(error_of(run(q, "select abs(-9223372036854775808)")),
            "Execution failed on sql 'select abs(-9223372036854775808)': integer overflow");
  // Failing while later rows are read: SQLite's bare text.
  EXPECT_EQ(error_of(run(q, "select abs(id - 9223372036854775807 - 2) from tasks order by id desc")),
            "integer overflow");
  // Refused before it runs: not worded as an execution failure.
  EXPECT_EQ(error_of(run(q, "select 1 ; vacuum")),
            "Execution failed on sql 'select 1 ; vacuum': You can only execute one statement at a time.");
}

TEST_F(QuillonService, TheBindingsRefusalsInTheirOrder) {
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  const std::string nul_sql("select nope from nowhere\0 ?", 27);
  EXPECT_EQ(error_of(run(q, nul_sql)),
            "Execution failed on sql '" + nul_sql + "': the query contains a null character");
  // A compile error comes before the tail and the placeholders.
  EXPECT_EQ(error_of(run(q, "select nope from nowhere; select ?")),
            "Execution failed on sql 'select nope from nowhere; select ?': no such table: nowhere");
  EXPECT_EQ(error_of(run(q, "select ? ; select 2")),
            "Execution failed on sql 'select ? ; select 2': You can only execute one statement at a time.");
  for (const char* tail : {"select 1;;", "select 1; select 2", "select 1; /* c */ x"})
    EXPECT_EQ(error_of(run(q, tail)), std::string("Execution failed on sql '") + tail +
                                          "': You can only execute one statement at a time.");
  for (const char* fine : {"select 1;", "select 1; -- done", "select 1;\n\t\f\r /* c */ ", "select 1 /* open"})
    EXPECT_TRUE(run(q, fine).at("success").as_bool()) << fine;
  EXPECT_EQ(error_of(run(q, "select :a, :a, ?5")),
            "Execution failed on sql 'select :a, :a, ?5': Incorrect number of bindings supplied. "
            "The current statement uses 5, and there are 0 supplied.");
}

TEST_F(QuillonService, InvalidTextIsAClearError) {
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  EXPECT_EQ(error_of(run(q, "select cast(x'41ff42' as text) as c")),
            "Could not decode to UTF-8 column 'c' with text 'A\xEF\xBF\xBD" "B'");
}

TEST_F(QuillonService, NothingRunCanChangeTheFile) {
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  // Using the index makes the optimizer want statistics, which it would
  // write: query_only refuses.
  ASSERT_TRUE(run(q, "select * from tasks where name = 'Dig'").at("success").as_bool());
  EXPECT_EQ(error_of(run(q, "select * from pragma_optimize")),
            "Execution failed on sql 'select * from pragma_optimize': attempt to write a readonly database");
  auto table = q.run_on_connection("select count(*) from sqlite_master where name = 'sqlite_stat1'");
  EXPECT_EQ(table.cells[0], Value(0));
  // Statements built by the service itself run unguarded, still read-only.
  EXPECT_THROW(q.run_on_connection("create table x (a)"), DatabaseError);
  EXPECT_EQ(q.run_on_connection("PRAGMA table_info(tasks)").row_count, 5u);
}

TEST_F(QuillonService, FunctionsThatReachPastSqlAreRefused) {
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  EXPECT_EQ(error_of(run(q, "select fts3_tokenizer('simple', x'0000000000000000')")),
            "Execution failed on sql 'select fts3_tokenizer('simple', x'0000000000000000')': "
            "not authorized to use function: fts3_tokenizer");
  // Any spelling is refused; SQLite names the function as written.
  EXPECT_EQ(error_of(run(q, "select FTS3_TOKENIZER('simple')")),
            "Execution failed on sql 'select FTS3_TOKENIZER('simple')': "
            "not authorized to use function: FTS3_TOKENIZER");
  EXPECT_EQ(error_of(run(q, "select load_extension('/tmp/x.so')")),
            "Execution failed on sql 'select load_extension('/tmp/x.so')': "
            "not authorized to use function: load_extension");
  EXPECT_THROW(q.run_on_connection("attach database ':memory:' as other"), DatabaseError);
}

TEST_F(QuillonService, VirtualTablesStayReadable) {
  exec_setup(
      "CREATE VIRTUAL TABLE docs USING fts5(body);"
      "INSERT INTO docs VALUES ('critical path'), ('float');"
      "CREATE VIRTUAL TABLE old_docs USING fts4(body);"
      "INSERT INTO old_docs VALUES ('lag days');"
      "CREATE VIRTUAL TABLE boxes USING rtree(id, minx, maxx);"
      "INSERT INTO boxes VALUES (1, 0, 10);");
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  for (const char* sql : {"select body, highlight(docs, 0, '[', ']') from docs where docs match 'critical'",
                          "select snippet(old_docs) from old_docs where old_docs match 'lag'",
                          "select * from boxes where minx >= 0", "select * from pragma_table_info('tasks')",
                          "select name from pragma_index_list('tasks')"}) {
    Record r = run(q, sql);
    EXPECT_TRUE(r.at("success").as_bool()) << sql << ": " << r.get("execution_error", Value()).as_text();
    EXPECT_GE(r.at("row_count").as_int(), 1) << sql;
  }
}

TEST_F(QuillonService, UsableFromAnotherThreadAndUnlockedAroundSQLite) {
  int unlocked_calls = 0;
  Quillon q(Console([](std::string_view) {}),
            [&](const std::function<void()>& work) {
              ++unlocked_calls;
              work();
            });
  ASSERT_TRUE(q.connect_database(path_));
  EXPECT_EQ(unlocked_calls, 1);
  Record r{{"sql", Value("select count(*) as n from tasks")}};
  std::thread([&] { q.test_query(r); }).join();
  EXPECT_EQ(r.at("results").as_list()[0].as_record().at("n"), Value(3));
  EXPECT_EQ(unlocked_calls, 2);
  q.close_connection();
  EXPECT_EQ(unlocked_calls, 3);
}

TEST_F(QuillonService, ClosedConnectionObjects) {
  auto opened = corvalt::quillon::open_database(path_);
  Database& db = *opened;
  db.close();
  EXPECT_FALSE(db.is_open());
  EXPECT_THROW(db.query("select 1"), DatabaseError);
  Quillon q = service();
  q.set_conn(corvalt::quillon::open_database(path_));
  q.conn()->close();
  Record r{{"sql", Value("select 1")}};
  q.test_query(r);
  EXPECT_EQ(error_of(r), "No database connection available");
}

// ------------------------------------------------ rows fed while reading --

namespace {

constexpr const char* kCounting =
    "select x, 'row ' || (x % 7), x * 0.5 from (with recursive c(x) as "
    "(select 1 union all select x+1 from c limit {}) select x from c)";

std::string counting(std::size_t rows) {
  std::string sql = kCounting;
  sql.replace(sql.find("{}"), 2, std::to_string(rows));
  return sql;
}

struct FedRows {
  std::vector<std::pair<std::size_t, std::size_t>> calls;
  std::vector<Value> cells;
  corvalt::quillon::RowFeed::Rows sink() {
    return [this](const std::vector<std::string>& columns, const Value* base, std::size_t begin,
                  std::size_t end) {
      calls.emplace_back(begin, end);
      cells.insert(cells.end(), base + begin * columns.size(), base + end * columns.size());
    };
  }
};

}  // namespace

TEST_F(QuillonService, FedRowsCoverTheResultOnceInOrder) {
  auto opened = corvalt::quillon::open_database(path_);
  Database& db = *opened;
  for (std::size_t rows : {0u, 3u, 4096u, 4097u, 50000u}) {
    FedRows fed;
    int unlocked = 0;
    corvalt::quillon::RowFeed feed{fed.sink(), [&](const std::function<void()>& work) {
                                     ++unlocked;
                                     work();
                                   }};
    corvalt::quillon::StatementLimits limits;
    limits.interrupt_requested = [] { return std::shared_ptr<void>(); };
    const auto table = db.query(counting(rows), limits, feed);
    const auto plain = db.query(counting(rows));
    ASSERT_EQ(table.row_count, rows);
    EXPECT_EQ(table.cells, plain.cells);
    EXPECT_EQ(fed.cells, plain.cells) << rows;
    std::size_t next = 0;
    for (auto [begin, end] : fed.calls) {
      EXPECT_EQ(begin, next);
      EXPECT_LT(begin, end);
      next = end;
    }
    EXPECT_EQ(next, rows);
    EXPECT_GE(unlocked, 1);
  }
}

// A caller slower than the reader is always behind it; the host's lock is
// still let go between batches, so the host's other threads are not shut out
// until the statement ends (a thread asking it to stop, say).
TEST_F(QuillonService, ASlowCallerStillLetsTheHostsLockGo) {
  auto opened = corvalt::quillon::open_database(path_);
  Database& db = *opened;
  int unlocked = 0;
  corvalt::quillon::RowFeed slow{[](const std::vector<std::string>&, const Value*, std::size_t, std::size_t) {
                                   std::this_thread::sleep_for(std::chrono::milliseconds(10));
                                 },
                                 [&](const std::function<void()>& work) {
                                   ++unlocked;
                                   work();
                                 }};
  corvalt::quillon::StatementLimits deadline{0.4, std::nullopt, {}};
  EXPECT_THROW(db.query("with recursive c(x) as (select 1 union all select x+1 from c) select x from c",
                        deadline, slow),
               DatabaseError);
  // Before and after the reader's start, then about every 50 ms of 400.
  EXPECT_GE(unlocked, 7);
}

TEST_F(QuillonService, FedStatementsStopOnLimitsAndOnTheCallersFailure) {
  auto opened = corvalt::quillon::open_database(path_);
  Database& db = *opened;
  FedRows fed;
  corvalt::quillon::RowFeed feed{fed.sink(), {}};
  corvalt::quillon::StatementLimits capped{std::nullopt, 20000, {}};
  try {
    db.query(counting(30000), capped, feed);
    FAIL() << "no row cap";
  } catch (const DatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("result has more than 20000 rows"), std::string::npos);
  }

  // Endless rows: the deadline, then a stop asked for by the host, end them.
  const std::string endless =
      "with recursive c(x) as (select 1 union all select x+1 from c) select x from c";
  corvalt::quillon::StatementLimits deadline{0.2, std::nullopt, {}};
  const auto started = std::chrono::steady_clock::now();
  try {
    db.query(endless, deadline, feed);
    FAIL() << "no deadline";
  } catch (const DatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("statement timed out after 0.2 s"), std::string::npos);
  }
  int polls = 0;
  corvalt::quillon::StatementLimits host{std::nullopt, std::nullopt, [&] {
                                           return ++polls > 2 ? std::make_shared<int>(7)
                                                              : std::shared_ptr<int>();
                                         }};
  try {
    db.query(endless, host, feed);
    FAIL() << "no stop";
  } catch (const corvalt::Interrupted& e) {
    EXPECT_EQ(*std::static_pointer_cast<int>(e.cause()), 7);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));

  // The caller's own failure leaves by its side as it was, and through the
  // service too, instead of becoming the record's error.
  struct Full {};
  int calls = 0;
  corvalt::quillon::RowFeed failing{[&](const std::vector<std::string>&, const Value*, std::size_t,
                                        std::size_t) {
                                      if (++calls == 3) throw Full{};
                                    },
                                    {}};
  EXPECT_THROW(db.query(endless, {}, failing), Full);
  Quillon q = service();
  ASSERT_TRUE(q.connect_database(path_));
  Record r{{"sql", Value(counting(100000))}};
  corvalt::quillon::ResultTable rows;
  calls = 0;
  EXPECT_THROW(q.test_query(r, rows, failing.rows), Full);
  EXPECT_EQ(db.query("select count(*) from tasks").cells[0], Value(3));
}
