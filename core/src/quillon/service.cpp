// The service: connection, guarded execution filling a query record, and
// the fix-log append with its own error report.
#include <sys/stat.h>

#include <chrono>
#include <exception>
#include <string>
#include <unordered_set>

#include "corvalt/quillon.hpp"
#include "corvalt/text.hpp"
#include "internal.hpp"

namespace corvalt::quillon {

bool path_exists(const std::string& path) {
  if (path.find('\0') != std::string::npos) return false;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

namespace {

bool distinct(const std::vector<std::string>& names) {
  std::unordered_set<std::string_view> seen;
  for (const std::string& name : names)
    if (!seen.insert(name).second) return false;
  return true;
}

}  // namespace

ListPtr take_rows_as_records(ResultTable& table) {
  const std::size_t ncols = table.columns.size();
  const bool unique = distinct(table.columns);
  auto rows = make_list();
  rows->reserve(table.row_count);
  for (std::size_t r = 0; r < table.row_count; ++r) {
    auto row = make_record();
    row->reserve(ncols);
    Value* cells = table.cells.data() + r * ncols;
    for (std::size_t c = 0; c < ncols; ++c) {
      if (unique) row->append_new(table.columns[c], std::move(cells[c]));
      else row->set(table.columns[c], std::move(cells[c]));
    }
    rows->emplace_back(std::move(row));
  }
  return rows;
}

Quillon::Quillon(Console console, Unlocker unlocked)
    : console_(std::move(console)), unlocked_(std::move(unlocked)) {}

void Quillon::unlocked(const std::function<void()>& work) const {
  if (unlocked_) unlocked_(work);
  else work();
}

bool Quillon::connected() const { return conn_ && conn_->is_open(); }

std::string Quillon::dialect_name() const {
  DatabasePtr db = conn_;
  return db ? db->dialect().name : std::string("SQLite");
}

void Quillon::open_initial(const std::optional<std::string>& path) {
  if (!path || path->empty()) return;
  if (is_server_target(*path) || path_exists(*path)) {
    connect_database(*path);
    return;
  }
  if (verbose) console_.line("Database file not found: " + *path);
}

bool Quillon::connect_database(const std::string& path) {
  try {
    DatabasePtr db;
    unlocked([&] { db = open_database(path); });
    conn_ = std::move(db);
    database_path = conn_->path();
    if (verbose) console_.line("Connected to database: " + conn_->path());
    if (!conn_->write_warning().empty()) console_.line("Warning: " + conn_->write_warning());
    return true;
  } catch (const std::exception& e) {
    if (verbose) console_.line("Error connecting to database: " + error_text(e));
    conn_ = nullptr;
    return false;
  }
}

void Quillon::close_connection() {
  if (!connected()) return;
  DatabasePtr db = conn_;
  unlocked([&] { db->close(); });
  conn_ = nullptr;
  if (verbose) console_.line("Database connection closed");
}

Quillon::ReadOnly Quillon::read_only_mode(std::string_view name) {
  if (name == "words") return ReadOnly::kWords;
  if (name == "engine") return ReadOnly::kEngine;
  throw ValueError("read_only must be 'words' or 'engine', not " + text::py_repr(name));
}

std::string_view Quillon::read_only_name(ReadOnly mode) noexcept {
  return mode == ReadOnly::kEngine ? "engine" : "words";
}

std::optional<std::string> Quillon::validate_safe_sql(std::string_view sql) const {
  if (read_only == ReadOnly::kEngine) {
    // The engine's proof needs the connection; without one nothing runs anyway.
    DatabasePtr db = conn_;
    if (!db || !db->is_open()) return std::nullopt;
    std::optional<std::string> refusal;
    unlocked([&] { refusal = db->engine_refusal(sql); });
    if (refusal && verbose) console_.line("Blocked SQL that does not only read: " + *refusal);
    return refusal;
  }
  GuardVerdict verdict = check_sql(sql);
  if (verdict.rule && verbose)
    console_.line(std::string("Blocked dangerous SQL operation: ") + verdict.rule->pattern);
  return verdict.refusal;
}

Record& Quillon::test_query(Record& query) { return run_test_query(query, nullptr); }

Record& Quillon::test_query(Record& query, ResultTable& rows) {
  return run_test_query(query, &rows);
}

namespace {
// Carries the caller's own failure past the statement's error handling.
struct CallerFailed {};
}  // namespace

Record& Quillon::test_query(
    Record& query, ResultTable& rows,
    const RowFeed::Rows& rows_ready) {
  // What `rows_ready` throws is the caller's, not the statement's: it is
  // raised again as it was instead of becoming the record's error.
  std::exception_ptr caller_error;
  const RowFeed feed{[&](const std::vector<std::string>& columns, const Value* cells,
                         std::size_t begin, std::size_t end) {
                       try {
                         rows_ready(columns, cells, begin, end);
                       } catch (...) {
                         caller_error = std::current_exception();
                         throw CallerFailed{};
                       }
                     },
                     unlocked_};
  try {
    return run_test_query(query, &rows, &feed);
  } catch (const CallerFailed&) {
    std::rethrow_exception(caller_error);
  }
}

Record& Quillon::run_test_query(Record& query, ResultTable* rows, const RowFeed* feed) {
  auto fail = [&](std::string error) -> Record& {
    query.set("execution_error", Value(std::move(error)));
    query.set("success", Value(false));
    return query;
  };
  if (!connected()) return fail(kNoConnection);
  const Value sql_value = query.get("sql", Value(""));
  if (!sql_value.truthy()) return fail(kNoSql);
  if (!sql_value.is_text())
    throw TypeError(std::string("the query record's 'sql' must be str, not ") +
                    sql_value.type_name());
  const std::string sql = sql_value.as_text();

  const bool engine = read_only == ReadOnly::kEngine;
  if (auto refusal = validate_safe_sql(sql)) return fail(std::move(*refusal));

  try {
    DatabasePtr db = conn_;
    ResultTable table;
    table = timed_query(db, sql, feed, engine);

    const std::size_t ncols = table.columns.size();
    const std::size_t row_count = table.row_count;
    query.set("success", Value(true));
    query.set("row_count", Value(table.row_count));
    query.set("column_count", Value(ncols));
    auto columns = make_list();
    columns->reserve(ncols);
    for (const std::string& name : table.columns) columns->emplace_back(name);
    query.set("columns", Value(columns));

    // The summary reads the table before its cells move into the row
    // records; a failure there still leaves `results` written, as the keys
    // are written in order.
    std::string summary;
    std::exception_ptr summary_error;
    try {
      summary = generate_result_summary(table);
    } catch (...) {
      summary_error = std::current_exception();
    }

    if (rows) {
      query.set("results", Value());
      *rows = std::move(table);
    } else {
      query.set("results", Value(take_rows_as_records(table)));
    }
    if (summary_error) std::rethrow_exception(summary_error);
    query.set("summary", Value(std::move(summary)));
    if (verbose)
      console_.line("Query executed successfully: " + std::to_string(row_count) +
                    " rows returned");
    return query;
  } catch (const Interrupted&) {
    throw;
  } catch (const std::exception& e) {
    std::string error = error_text(e);
    if (verbose) console_.line("Error executing query: " + error);
    return fail(std::move(error));
  }
}

ResultTable Quillon::timed_query(const DatabasePtr& db, std::string_view sql,
                                 const RowFeed* feed, bool engine_read_only, bool own_statement) {
  ResultTable table;
  StatementLimits bounds = limits;
  bounds.engine_read_only = engine_read_only;
  bounds.own_statement = own_statement;
  const auto start = std::chrono::steady_clock::now();
  try {
    // A feed lets go of the host's lock itself, for the waits only.
    if (feed)
      table = db->query(sql, bounds, *feed);
    else
      unlocked([&] { table = db->query(sql, bounds); });
  } catch (...) {
    statement_time += std::chrono::steady_clock::now() - start;
    throw;
  }
  statement_time += std::chrono::steady_clock::now() - start;
  return table;
}

ResultTable Quillon::run_on_connection(std::string_view sql) {
  if (!connected()) throw DatabaseError(kNoConnection);
  return timed_query(conn_, sql, nullptr, false, true);
}

void Quillon::log_corrected_sql(const Value& question, const Record& failed,
                                const Record& working) {
  FixLogEntry entry{question, failed.get("sql", Value("")),
                    failed.get("execution_error", Value("Unknown error")),
                    working.get("sql", Value(""))};
  try {
    // Waiting for another writer's lock must not hold up the host.
    const auto start = std::chrono::steady_clock::now();
    unlocked([&] {
      try {
        append_fix_log(entry, fix_log_dir);
      } catch (...) {
        fix_log_time += std::chrono::steady_clock::now() - start;
        throw;
      }
    });
    fix_log_time += std::chrono::steady_clock::now() - start;
  } catch (const std::exception& e) {
    if (verbose) console_.line("Failed to log corrected SQL: " + error_text(e));
  }
}

}  // namespace corvalt::quillon
