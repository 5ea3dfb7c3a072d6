// The SQLite connection behind open_database for a file.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <mutex>
#include <string>

#include "corvalt/quillon.hpp"

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

namespace corvalt::quillon {

// Built-in functions answered with the deadline in view (one call of them
// can take minutes): printf, instr and replace in database.cpp, like and
// glob in sqlite_like.cpp. Each reads the connection from its user data.
void bounded_instr(sqlite3_context*, int, sqlite3_value**);
void bounded_replace(sqlite3_context*, int, sqlite3_value**);
void bounded_like(sqlite3_context*, int, sqlite3_value**);
void bounded_glob(sqlite3_context*, int, sqlite3_value**);
class SqliteDatabase;
// hex, zeroblob, randomblob, upper and lower (sqlite_functions.cpp), which
// refuse to start past the deadline; false when SQLite refused one.
bool register_bounded_values(sqlite3* db, SqliteDatabase* self);

class SqliteDatabase final : public Database {
 public:
  // Opens `path` for reading and writing, creating a missing file.
  explicit SqliteDatabase(const std::string& path);
  ~SqliteDatabase() override;

  bool is_open() const override;
  void close() override;
  const Dialect& dialect() const noexcept override;
  std::string columns_sql(std::string_view table) const override;
  std::optional<std::string> engine_refusal(std::string_view sql) override;

  // For the functions whose one call can take long (instr, replace): whether
  // the running statement is past its deadline, which then fails it.
  bool deadline_passed() {
    if (!deadline_ || std::chrono::steady_clock::now() < *deadline_) return false;
    past_deadline_ = true;
    return true;
  }

 private:
  ResultTable run(std::string_view sql, const StatementLimits& limits, const RowFeed* feed) override;

  // Held while a statement runs, so that closing waits for it.
  std::mutex mutex_;
  // Readable without waiting for a running statement.
  std::atomic<bool> open_{false};
  sqlite3* db_ = nullptr;
  // While an engine_read_only statement compiles and runs: deny all but reading.
  bool strict_ = false;
  // printf() and format() are answered through this second connection
  // after their widths are checked (see bounded_printf in database.cpp).
  struct Formatter;
  std::unique_ptr<Formatter> formatter_;
  // The running statement's deadline, and whether a function found it passed.
  std::optional<std::chrono::steady_clock::time_point> deadline_;
  bool past_deadline_ = false;
  friend void bounded_printf(sqlite3_context*, int, sqlite3_value**);
  friend int authorize(void*, int, const char*, const char*, const char*, const char*);
};

}  // namespace corvalt::quillon
