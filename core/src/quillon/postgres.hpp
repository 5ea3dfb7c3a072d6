// The PostgreSQL connection behind open_database for a server address.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "corvalt/quillon.hpp"

typedef struct pg_conn PGconn;

namespace corvalt::quillon {

// What the parser check found: a refusal, or a statement PostgreSQL cannot
// parse (its own message), or neither.
struct PostgresVerdict {
  std::optional<std::string> refusal;
  std::optional<std::string> syntax_error;
};
PostgresVerdict inspect_postgres_statement(std::string_view sql);

class PostgresDatabase final : public Database {
 public:
  explicit PostgresDatabase(const std::string& target);
  ~PostgresDatabase() override;

  bool is_open() const override;
  void close() override;
  const Dialect& dialect() const noexcept override;
  std::string columns_sql(std::string_view table) const override;
  std::optional<std::string> engine_refusal(std::string_view sql) override;

 private:
  ResultTable run(std::string_view sql, const StatementLimits& limits, const RowFeed* feed) override;

  std::mutex mutex_;
  std::atomic<bool> open_{false};
  PGconn* conn_ = nullptr;
  // The last statement was given up: reconnect before the next.
  bool broken_ = false;
};

// One value's text form as the value the SQLite backend would give for it.
Value postgres_value(unsigned type, std::string_view text);

}  // namespace corvalt::quillon
