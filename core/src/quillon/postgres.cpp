// The PostgreSQL connection: one libpq connection per service, every
// statement checked by the parser first, then sent alone with the extended
// protocol inside a read-only transaction that carries its own timeouts and
// is rolled back afterwards. Rows arrive one at a time (single-row mode), so
// a cap or a deadline stops a statement early; a statement past its deadline
// is cancelled on the server.
#include "postgres.hpp"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "corvalt/text.hpp"

namespace corvalt::quillon {

namespace {

using Clock = std::chrono::steady_clock;

// Type numbers of pg_type that get a value of their own kind; every other
// type arrives as its text form (dates, times and timestamps in ISO form).
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700;

constexpr auto kPollInterval = std::chrono::milliseconds(50);
// Rows handed to a feed at a time.
constexpr std::size_t kRowsPerBatch = 2048;
// How long a statement may wait for a lock when it has no deadline.
constexpr long kLockWaitMs = 5000;
// How long a cancelled statement may take to end before the connection is
// given up.
constexpr auto kCancelGrace = std::chrono::seconds(3);

struct ResultFree {
  void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultFree>;

std::string trimmed(const char* message) {
  std::string s = message ? message : "";
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// numeric: a whole number that fits is an integer (sum() of integers is
// numeric on PostgreSQL, an integer on SQLite), anything else a float.
Value numeric_value(std::string_view text) {
  const bool whole = !text.empty() && text.find_first_not_of("-0123456789") == std::string_view::npos;
  if (whole && text.size() <= 18) return Value(static_cast<std::int64_t>(std::strtoll(std::string(text).c_str(), nullptr, 10)));
  return Value(std::strtod(std::string(text).c_str(), nullptr));
}

// The session's own settings, so that values arrive in the forms the
// conversion reads, and nothing is written by default.
std::optional<std::string> prepare_session(PGconn* conn) {
  Result set(PQexec(conn,
                    "SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, YMD'; "
                    "SET IntervalStyle = 'postgres'; SET extra_float_digits = 1; "
                    "SET default_transaction_read_only = on"));
  if (PQresultStatus(set.get()) != PGRES_COMMAND_OK) return trimmed(PQerrorMessage(conn));
  return std::nullopt;
}

}  // namespace

// The text form of one value of type `type` as the value the SQLite backend
// would give: integers, floats, booleans, bytes, else text.
Value postgres_value(unsigned type, std::string_view text) {
  switch (type) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
      return Value(static_cast<std::int64_t>(std::strtoll(std::string(text).c_str(), nullptr, 10)));
    case kFloat4:
    case kFloat8:
      return Value(std::strtod(std::string(text).c_str(), nullptr));  // also NaN, Infinity
    case kNumeric:
      return numeric_value(text);
    case kBool:
      return Value(text == "t");
    case kBytea: {
      std::string bytes;
      if (text.starts_with("\\x")) {
        bytes.reserve((text.size() - 2) / 2);
        for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
          const int hi = hex_digit(text[i]), lo = hex_digit(text[i + 1]);
          if (hi < 0 || lo < 0) break;
          bytes.push_back(static_cast<char>(hi * 16 + lo));
        }
      } else {
        bytes.assign(text);
      }
      return Value(Bytes{std::move(bytes)});
    }
    default:
      return Value(std::string(text));
  }
}

PostgresDatabase::PostgresDatabase(const std::string& target) : Database(masked_target(target)) {
  if (target.find('\0') != std::string::npos) throw ValueError("embedded null byte");
  // Keywords before dbname are defaults that the address may override.
  const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
  const char* values[] = {"10", "corvalt", target.c_str(), nullptr};
  PGconn* conn = PQconnectdbParams(keys, values, 1);
  if (!conn) throw DatabaseError("could not connect to " + path() + ": out of memory");
  if (PQstatus(conn) != CONNECTION_OK) {
    std::string message = trimmed(PQerrorMessage(conn));
    PQfinish(conn);
    throw DatabaseError("could not connect to " + path() + ": " + message);
  }
  if (auto problem = prepare_session(conn)) {
    PQfinish(conn);
    throw DatabaseError("could not prepare the session on " + path() + ": " + *problem);
  }
  // Read-only is enforced per statement, but only privileges are a real
  // boundary: say so when this role has more than it needs.
  Result role(PQexec(conn,
                     "SELECT current_user, r.rolsuper, (SELECT count(*) FROM pg_catalog.pg_class c "
                     "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                     "WHERE c.relkind IN ('r', 'p') AND n.nspname <> 'information_schema' "
                     "AND n.nspname NOT LIKE 'pg\\_%' "
                     "AND has_table_privilege(c.oid, 'INSERT, UPDATE, DELETE, TRUNCATE')) "
                     "FROM pg_catalog.pg_roles r WHERE r.rolname = current_user"));
  if (PQresultStatus(role.get()) == PGRES_TUPLES_OK && PQntuples(role.get()) == 1) {
    const std::string name = PQgetvalue(role.get(), 0, 0);
    const bool superuser = std::string_view(PQgetvalue(role.get(), 0, 1)) == "t";
    const std::string writable = PQgetvalue(role.get(), 0, 2);
    const std::string advice =
        "; connect as a role that can only read (GRANT pg_read_all_data, or SELECT on the tables)";
    if (superuser)
      write_warning_ = "the PostgreSQL role " + name + " is a superuser and can change anything" + advice;
    else if (writable != "0")
      write_warning_ = "the PostgreSQL role " + name + " can change data in " + writable + " table" +
                       (writable == "1" ? "" : "s") + advice;
  }
  conn_ = conn;
  open_.store(true, std::memory_order_release);
}

PostgresDatabase::~PostgresDatabase() { close(); }

bool PostgresDatabase::is_open() const { return open_.load(std::memory_order_acquire); }

void PostgresDatabase::close() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!conn_) return;
  open_.store(false, std::memory_order_release);
  PQfinish(conn_);
  conn_ = nullptr;
}

const Dialect& PostgresDatabase::dialect() const noexcept {
  static const Dialect postgres{
      "PostgreSQL",
      "SELECT table_name AS name FROM information_schema.tables WHERE table_schema = ANY "
      "(current_schemas(false)) AND table_type = 'BASE TABLE' ORDER BY table_name;"};
  return postgres;
}

std::string PostgresDatabase::columns_sql(std::string_view table) const {
  std::string literal = "'";
  for (char c : quote_identifier(table)) {
    if (c == '\'') literal += '\'';
    literal += c;
  }
  literal += "'";
  return "SELECT a.attname AS name, format_type(a.atttypid, a.atttypmod) AS type, "
         "a.attnotnull AS notnull, COALESCE(a.attnum = ANY (i.indkey), false) AS pk "
         "FROM pg_catalog.pg_attribute a LEFT JOIN pg_catalog.pg_index i "
         "ON i.indrelid = a.attrelid AND i.indisprimary "
         "WHERE a.attrelid = to_regclass(" + literal + ") AND a.attnum > 0 AND NOT a.attisdropped "
         "ORDER BY a.attnum;";
}

std::optional<std::string> PostgresDatabase::engine_refusal(std::string_view sql) {
  if (!text::is_valid_utf8(sql) || sql.find('\0') != std::string_view::npos) return std::nullopt;
  return inspect_postgres_statement(sql).refusal;
}

namespace {

// One statement's exchange with the server, from BEGIN to ROLLBACK.
class Exchange {
 public:
  Exchange(PGconn* conn, const StatementLimits& limits) : conn_(conn), limits_(limits) {
    if (limits.timeout_seconds)
      deadline_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(*limits.timeout_seconds));
    next_poll_ = Clock::now();
  }
  ~Exchange() { finish(); }

  // Opens the read-only transaction with the statement's timeouts.
  std::optional<std::string> begin() {
    long ms = 0;
    if (limits_.timeout_seconds)
      ms = static_cast<long>(std::min(std::ceil(*limits_.timeout_seconds * 1000.0), 2147483647.0));
    const long lock_ms = ms > 0 ? std::min(ms, kLockWaitMs) : kLockWaitMs;
    // A client that vanishes mid-statement leaves no transaction open for long.
    const long idle_ms = std::max<long>(ms, 60000);
    const std::string sql = "BEGIN READ ONLY; SET LOCAL statement_timeout = " + std::to_string(ms) +
                            "; SET LOCAL lock_timeout = " + std::to_string(lock_ms) +
                            "; SET LOCAL idle_in_transaction_session_timeout = " + std::to_string(idle_ms);
    Result r(PQexec(conn_, sql.c_str()));
    open_ = true;
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) return trimmed(PQerrorMessage(conn_));
    return std::nullopt;
  }

  bool send(const std::string& sql) {
    if (!PQsendQueryParams(conn_, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0)) return false;
    sent_ = true;
    PQsetSingleRowMode(conn_);
    return true;
  }

  // Waits (at most one poll interval) until a result is ready without
  // blocking, or the deadline passes (the statement is then cancelled).
  // False on a broken connection.
  bool wait() {
    while (PQisBusy(conn_)) {
      auto now = Clock::now();
      if (deadline_ && now >= *deadline_ && !cancelled_) {
        timed_out_ = true;
        cancel();
      }
      if (cancelled_ && now >= cancelled_at_ + kCancelGrace) return false;
      auto until = now + kPollInterval;
      if (deadline_ && !cancelled_) until = std::min(until, *deadline_);
      const int ms = static_cast<int>(
          std::max<long long>(1, std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count()));
      pollfd fd{PQsocket(conn_), POLLIN, 0};
      if (fd.fd < 0) return false;
      const int ready = ::poll(&fd, 1, ms);
      if (ready > 0 && !PQconsumeInput(conn_)) return false;
      if (ready == 0) return true;  // no news: the caller may poll the host
    }
    return true;
  }

  void cancel() {
    if (cancelled_) return;
    cancelled_ = true;
    cancelled_at_ = Clock::now();
    if (PGcancel* c = PQgetCancel(conn_)) {
      char error[256];
      PQcancel(c, error, sizeof error);
      PQfreeCancel(c);
    }
  }

  // Time to ask the host whether to stop.
  bool poll_due() {
    const auto now = Clock::now();
    if (now < next_poll_) return false;
    next_poll_ = now + kPollInterval;
    return true;
  }

  bool timed_out() const { return timed_out_; }

  // Reads whatever results are left, then ends the transaction.
  void finish() {
    if (sent_) {
      sent_ = false;
      if (!drained_) cancel();
      while (Result r{PQgetResult(conn_)}) {
      }
    }
    if (open_) {
      open_ = false;
      Result r(PQexec(conn_, "ROLLBACK"));
    }
  }
  void drained() { drained_ = true; }
  // Leaves the connection as it is: nothing more is read or sent on it.
  void abandon() { sent_ = open_ = false; }

 private:
  PGconn* conn_;
  const StatementLimits& limits_;
  std::optional<Clock::time_point> deadline_;
  Clock::time_point next_poll_;
  Clock::time_point cancelled_at_;
  bool open_ = false, sent_ = false, cancelled_ = false, timed_out_ = false, drained_ = false;
};

}  // namespace

ResultTable PostgresDatabase::run(std::string_view sql, const StatementLimits& limits, const RowFeed* feed) {
  auto unlocked = [&](const std::function<void()>& work) {
    if (feed && feed->unlocked)
      feed->unlocked(work);
    else
      work();
  };
  auto failed = [&](const std::string& reason) {
    return DatabaseError("Execution failed on sql '" + std::string(sql) + "': " + reason);
  };

  std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
  std::optional<Exchange> exchange;
  ResultTable table;
  std::vector<Oid> types;
  bool have_columns = false, done = false;
  std::optional<std::string> error;  // the server's, or the connection's
  std::shared_ptr<void> interrupt;

  // Takes every result that is ready, without waiting.
  auto take_results = [&] {
    while (!done && !PQisBusy(conn_)) {
      Result r(PQgetResult(conn_));
      if (!r) {
        done = true;
        exchange->drained();
        break;
      }
      const ExecStatusType status = PQresultStatus(r.get());
      if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK) {
        if (!have_columns) {
          have_columns = true;
          const int n = PQnfields(r.get());
          for (int c = 0; c < n; ++c) {
            const char* name = PQfname(r.get(), c);
            table.columns.emplace_back(name ? name : "");
            types.push_back(PQftype(r.get(), c));
          }
        }
        const int width = PQnfields(r.get());
        for (int row = 0; row < PQntuples(r.get()); ++row) {
          if (limits.max_rows && table.row_count >= *limits.max_rows) {
            error = row_cap_reason(*limits.max_rows);
            exchange->cancel();
            break;
          }
          for (int c = 0; c < width; ++c) {
            if (PQgetisnull(r.get(), row, c)) {
              table.cells.emplace_back();
              continue;
            }
            const std::string_view value(PQgetvalue(r.get(), row, c),
                                         static_cast<std::size_t>(PQgetlength(r.get(), row, c)));
            table.cells.push_back(postgres_value(types[static_cast<std::size_t>(c)], value));
          }
          ++table.row_count;
        }
      } else if (status == PGRES_COMMAND_OK) {
        if (!error) error = "only a query that returns rows is allowed";
      } else if (!error) {
        const char* state = PQresultErrorField(r.get(), PG_DIAG_SQLSTATE);
        // 57014: cancelled, by this client at the deadline or by the server's own timeout.
        if (state && std::string_view(state) == "57014" && limits.timeout_seconds && !interrupt)
          error = timeout_reason(*limits.timeout_seconds);
        else
          error = trimmed(PQresultErrorField(r.get(), PG_DIAG_MESSAGE_PRIMARY));
      }
    }
  };

  unlocked([&] {
    lock.lock();
    if (!conn_) throw DatabaseError("Cannot operate on a closed database.");
    if (!text::is_valid_utf8(sql)) throw failed("statement text is not valid UTF-8");
    if (sql.find('\0') != std::string_view::npos) throw failed("the query contains a null character");
    if (!limits.own_statement) {
      PostgresVerdict verdict = inspect_postgres_statement(sql);
      if (verdict.refusal) throw failed(*verdict.refusal);
      if (verdict.syntax_error) throw failed(*verdict.syntax_error);
    }
    if (broken_ || PQstatus(conn_) != CONNECTION_OK) {
      PQreset(conn_);
      if (PQstatus(conn_) != CONNECTION_OK) throw failed(trimmed(PQerrorMessage(conn_)));
      if (auto problem = prepare_session(conn_)) throw failed(*problem);
      broken_ = false;
    }
    exchange.emplace(conn_, limits);
    if (auto problem = exchange->begin()) {
      // A connection the server dropped since the last statement (a restart,
      // an idle timeout) shows here, before anything of this statement ran:
      // connect again once.
      if (PQstatus(conn_) != CONNECTION_BAD) throw failed(*problem);
      exchange->abandon();
      PQreset(conn_);
      if (PQstatus(conn_) != CONNECTION_OK) throw failed(trimmed(PQerrorMessage(conn_)));
      if (auto session = prepare_session(conn_)) throw failed(*session);
      exchange.emplace(conn_, limits);
      if (auto again = exchange->begin()) throw failed(*again);
    }
    if (!exchange->send(std::string(sql))) throw failed(trimmed(PQerrorMessage(conn_)));
  });

  std::size_t fed = 0;
  while (!done) {
    bool alive = true;
    unlocked([&] {
      alive = exchange->wait();
      if (alive) take_results();
    });
    if (!alive) {
      // The server does not answer (even a cancel): give the connection up,
      // without waiting for it, and open a new one for the next statement.
      error = exchange->timed_out() && limits.timeout_seconds ? timeout_reason(*limits.timeout_seconds)
                                                              : "the connection to the server was lost";
      exchange->abandon();
      broken_ = true;
      break;
    }
    if (limits.interrupt_requested && !interrupt && exchange->poll_due())
      if ((interrupt = limits.interrupt_requested())) unlocked([&] { exchange->cancel(); });
    if (feed && !error && !interrupt && table.row_count - fed >= kRowsPerBatch) {
      feed->rows(table.columns, table.cells.data(), fed, table.row_count);
      fed = table.row_count;
    }
  }
  unlocked([&] { exchange.reset(); });
  if (interrupt) throw Interrupted(std::move(interrupt));
  if (error) throw failed(*error);
  if (feed && fed < table.row_count) feed->rows(table.columns, table.cells.data(), fed, table.row_count);
  return table;
}

}  // namespace corvalt::quillon
