// The SQLite connection: opened as the host's binding opens it, hardened so
// that nothing run on it can change the file or reach past SQL, and read the
// way the host's tabular reader reads a statement.
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <system_error>
#include <thread>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "corvalt/quillon.hpp"
#include "sqlite_database.hpp"
#include "corvalt/text.hpp"
#include "utf8.hpp"

namespace corvalt::quillon {

// SQLite's printf() pads a field one character at a time (about 7 ns each),
// where no deadline is polled: printf('%.*c', 1000000001, 'x') runs for
// seconds whatever the length limit. Widths and precisions are therefore
// checked first, and the built-in function then answers on a connection of
// its own.
constexpr sqlite3_int64 kMaxPrintfWidth = 1'000'000;

// The texts and blobs of one result, summed, are refused past this: values
// of up to kMaxValueBytes each come fast (about 1 GB a second), and a join
// of large values would fill the memory long before a deadline of minutes.
constexpr std::size_t kMaxResultBytes = 500'000'000;

struct SqliteDatabase::Formatter {
  sqlite3* db = nullptr;
  std::vector<sqlite3_stmt*> by_arity;  // "SELECT printf(?1, ..., ?n)", made on first use
  ~Formatter() {
    for (sqlite3_stmt* s : by_arity) sqlite3_finalize(s);
    sqlite3_close_v2(db);
  }
};

namespace {

// The first width or precision of `format` beyond kMaxPrintfWidth, read as
// SQLite reads them (digits, or * taking the next argument); false if none.
bool too_wide(const char* format, int argc, sqlite3_value** argv) {
  int next = 1;  // argv[0] is the format
  auto number = [&](const char*& p) -> sqlite3_int64 {
    if (*p == '*') {
      ++p;
      const sqlite3_int64 v = next < argc ? sqlite3_value_int64(argv[next]) : 0;
      ++next;
      return v < 0 ? -v : v;
    }
    sqlite3_int64 v = 0;
    while (*p >= '0' && *p <= '9') v = std::min<sqlite3_int64>(v * 10 + (*p++ - '0'), kMaxPrintfWidth + 1);
    return v;
  };
  for (const char* p = format; *p; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    while (*p && std::strchr("-+ #!0,", *p)) ++p;
    if (number(p) > kMaxPrintfWidth) return true;
    if (*p == '.') {
      ++p;
      if (number(p) > kMaxPrintfWidth) return true;
    }
    while (*p == 'l') ++p;
    if (!*p) break;
    ++next;  // the conversion's own argument
  }
  return false;
}

}  // namespace

void bounded_printf(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc == 0) return;
  const char* format = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  if (format && too_wide(format, argc, argv)) {
    sqlite3_result_error(ctx, "printf() width or precision too large", -1);
    return;
  }
  auto* self = static_cast<SqliteDatabase*>(sqlite3_user_data(ctx));
  if (self->deadline_passed()) return sqlite3_result_error(ctx, "interrupted", -1);
  if (!self->formatter_) self->formatter_ = std::make_unique<SqliteDatabase::Formatter>();
  SqliteDatabase::Formatter& f = *self->formatter_;
  if (!f.db && sqlite3_open_v2(":memory:", &f.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    sqlite3_result_error(ctx, "printf() is not available", -1);
    return;
  }
  sqlite3_limit(f.db, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
  if (f.by_arity.size() <= static_cast<std::size_t>(argc)) f.by_arity.resize(argc + 1, nullptr);
  sqlite3_stmt*& stmt = f.by_arity[argc];
  if (!stmt) {
    std::string sql = "SELECT printf(?1";
    for (int i = 2; i <= argc; ++i) sql.append(", ?").append(std::to_string(i));
    sql += ")";
    if (sqlite3_prepare_v2(f.db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      sqlite3_result_error(ctx, sqlite3_errmsg(f.db), -1);
      return;
    }
  }
  for (int i = 0; i < argc; ++i) sqlite3_bind_value(stmt, i + 1, argv[i]);
  if (sqlite3_step(stmt) == SQLITE_ROW)
    sqlite3_result_value(ctx, sqlite3_column_value(stmt, 0));
  else
    sqlite3_result_error(ctx, sqlite3_errmsg(f.db), -1);
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
}

namespace {

// Bytes looked at between deadline checks in the loops below (a few
// milliseconds of work).
constexpr std::size_t kCheckEvery = 1 << 24;

}  // namespace

// instr(X, Y) as SQLite answers it, but looking at the deadline while it
// searches: a long text and a long needle that almost matches everywhere
// take one call of minutes, where SQLite polls nothing.
void bounded_instr(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* self = static_cast<SqliteDatabase*>(sqlite3_user_data(ctx));
  if (self->deadline_passed()) return sqlite3_result_error(ctx, "interrupted", -1);
  const int haystack_type = sqlite3_value_type(argv[0]), needle_type = sqlite3_value_type(argv[1]);
  if (haystack_type == SQLITE_NULL || needle_type == SQLITE_NULL) return;
  struct Copies {
    sqlite3_value* a = nullptr;
    sqlite3_value* b = nullptr;
    ~Copies() {
      sqlite3_value_free(a);
      sqlite3_value_free(b);
    }
  } copies;
  sqlite3_value* haystack_value = argv[0];
  sqlite3_value* needle_value = argv[1];
  const bool blobs = haystack_type == SQLITE_BLOB && needle_type == SQLITE_BLOB;
  if (!blobs && (haystack_type == SQLITE_BLOB || needle_type == SQLITE_BLOB)) {
    // One blob, one not: both read as text, without changing the arguments.
    haystack_value = copies.a = sqlite3_value_dup(argv[0]);
    needle_value = copies.b = sqlite3_value_dup(argv[1]);
    if (!copies.a || !copies.b) return sqlite3_result_error_nomem(ctx);
  }
  const unsigned char* haystack = blobs ? static_cast<const unsigned char*>(sqlite3_value_blob(haystack_value))
                                        : sqlite3_value_text(haystack_value);
  std::size_t haystack_size = static_cast<std::size_t>(sqlite3_value_bytes(haystack_value));
  const unsigned char* needle = blobs ? static_cast<const unsigned char*>(sqlite3_value_blob(needle_value))
                                      : sqlite3_value_text(needle_value);
  const std::size_t needle_size = static_cast<std::size_t>(sqlite3_value_bytes(needle_value));
  sqlite3_int64 position = 1;
  if (needle_size > 0) {
    if (!needle || (haystack_size && !haystack)) return sqlite3_result_error_nomem(ctx);
    std::size_t steps = 0;
    while (needle_size <= haystack_size &&
           (haystack[0] != needle[0] || std::memcmp(haystack, needle, needle_size) != 0)) {
      steps += haystack[0] == needle[0] ? needle_size : 1;
      if (steps >= kCheckEvery) {
        steps = 0;
        if (self->deadline_passed()) return sqlite3_result_error(ctx, "interrupted", -1);
      }
      ++position;
      do {
        --haystack_size;
        ++haystack;
      } while (!blobs && haystack_size > 0 && (haystack[0] & 0xc0) == 0x80);
    }
    if (needle_size > haystack_size) position = 0;
  }
  sqlite3_result_int64(ctx, position);
}

// replace(X, Y, Z) as SQLite answers it, looking at the deadline likewise.
void bounded_replace(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* self = static_cast<SqliteDatabase*>(sqlite3_user_data(ctx));
  if (self->deadline_passed()) return sqlite3_result_error(ctx, "interrupted", -1);
  const unsigned char* text = sqlite3_value_text(argv[0]);
  if (!text) return;
  const std::size_t text_size = static_cast<std::size_t>(sqlite3_value_bytes(argv[0]));
  const unsigned char* pattern = sqlite3_value_text(argv[1]);
  if (!pattern) return;
  if (pattern[0] == 0) {
    sqlite3_result_text(ctx, reinterpret_cast<const char*>(text), static_cast<int>(text_size), SQLITE_TRANSIENT);
    return;
  }
  const std::size_t pattern_size = static_cast<std::size_t>(sqlite3_value_bytes(argv[1]));
  const unsigned char* with = sqlite3_value_text(argv[2]);
  if (!with) return;
  const std::size_t with_size = static_cast<std::size_t>(sqlite3_value_bytes(argv[2]));
  const auto limit = static_cast<std::size_t>(sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1));
  std::string out;
  out.reserve(text_size);
  std::size_t steps = 0;
  std::size_t i = 0;
  for (; i + pattern_size <= text_size; ++i) {
    steps += text[i] == pattern[0] ? pattern_size : 1;
    if (steps >= kCheckEvery) {
      steps = 0;
      if (self->deadline_passed()) return sqlite3_result_error(ctx, "interrupted", -1);
    }
    if (text[i] != pattern[0] || std::memcmp(text + i, pattern, pattern_size) != 0) {
      out.push_back(static_cast<char>(text[i]));
      continue;
    }
    out.append(reinterpret_cast<const char*>(with), with_size);
    i += pattern_size - 1;
    if (out.size() > limit) return sqlite3_result_error_toobig(ctx);
  }
  out.append(reinterpret_cast<const char*>(text) + i, text_size - i);
  if (out.size() > limit) return sqlite3_result_error_toobig(ctx);
  sqlite3_result_text64(ctx, out.data(), out.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// Denies, while statements compile, the functions that hand out raw
// pointers or load code, and attaching other database files; for a strict
// statement, everything but reading.
int authorize(void* context, int action, const char* arg1, const char* arg2, const char*, const char*) {
  switch (action) {
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
      return SQLITE_DENY;
    case SQLITE_FUNCTION:
      if (arg2 && (sqlite3_stricmp(arg2, "load_extension") == 0 ||
                   sqlite3_stricmp(arg2, "fts3_tokenizer") == 0))
        return SQLITE_DENY;
      return SQLITE_OK;
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_RECURSIVE:
      return SQLITE_OK;
    case SQLITE_PRAGMA:
      // What a table is made of may be read (pragma_table_info(...) in a
      // query); no other pragma is a read of the schema alone.
      if (arg1)
        for (const char* name : {"table_info", "table_xinfo", "index_list", "index_info", "index_xinfo",
                                 "foreign_key_list", "table_list"})
          if (sqlite3_stricmp(arg1, name) == 0) return SQLITE_OK;
      return context && static_cast<const SqliteDatabase*>(context)->strict_ ? SQLITE_DENY : SQLITE_OK;
    case SQLITE_UPDATE:
      // Reading a pragma as a table asks this of the schema table while the
      // statement compiles; a real write is still no read-only statement
      // (sqlite3_stmt_readonly), and query_only holds besides.
      if (arg1 && sqlite3_stricmp(arg1, "sqlite_master") == 0) return SQLITE_OK;
      return context && static_cast<const SqliteDatabase*>(context)->strict_ ? SQLITE_DENY : SQLITE_OK;
    default:
      (void)arg1;
      // Reading is all a strict statement may do.
      return context && static_cast<const SqliteDatabase*>(context)->strict_ ? SQLITE_DENY : SQLITE_OK;
  }
}

namespace {

// Where the text after the first statement holds something other than
// white space and comments (the host's binding refuses such a statement).
bool has_more_statements(const char* pos) {
  for (; *pos; ++pos) {
    switch (*pos) {
      case ' ':
      case '\t':
      case '\f':
      case '\n':
      case '\r':
        break;
      case '-':
        if (pos[1] != '-') return true;
        pos += 2;
        while (*pos && *pos != '\n') ++pos;
        if (!*pos) return false;
        break;
      case '/':
        if (pos[1] != '*') return true;
        pos += 2;
        while (*pos && (pos[0] != '*' || pos[1] != '/')) ++pos;
        if (!*pos) return false;
        ++pos;
        break;
      default:
        return true;
    }
  }
  return false;
}

struct Statement {
  sqlite3_stmt* stmt = nullptr;
  ~Statement() { sqlite3_finalize(stmt); }
};

std::string errmsg(sqlite3* db) { return sqlite3_errmsg(db); }

using Clock = std::chrono::steady_clock;

// What the progress handler watches while one statement runs.
struct Watch {
  const StatementLimits* limits;
  std::optional<Clock::time_point> deadline;
  Clock::time_point next_poll;
  bool timed_out = false;
  bool interrupted = false;
  // The handler asks the host for a stop itself; off while another thread
  // does that for it.
  bool host_polls = true;
  std::shared_ptr<void> cause;

  explicit Watch(const StatementLimits& l) : limits(&l) {
    const auto now = Clock::now();
    if (l.timeout_seconds)
      deadline = now + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(*l.timeout_seconds));
    next_poll = now;
  }
};

constexpr auto kPollInterval = std::chrono::milliseconds(50);
// SQLite calls the handler after this many virtual-machine steps: often
// enough to stop within a few milliseconds, rarely enough to cost nothing.
constexpr int kProgressSteps = 1000;

int on_progress(void* arg) {
  auto* watch = static_cast<Watch*>(arg);
  const auto now = Clock::now();
  if (watch->deadline && now >= *watch->deadline) {
    watch->timed_out = true;
    return 1;
  }
  if (watch->host_polls && watch->limits->interrupt_requested && now >= watch->next_poll) {
    watch->next_poll = now + kPollInterval;
    if (auto cause = watch->limits->interrupt_requested()) {
      watch->interrupted = true;
      watch->cause = std::move(cause);
      return 1;
    }
  }
  return 0;
}

// Installs the handler for one statement and removes it again.
class ProgressGuard {
 public:
  ProgressGuard(sqlite3* db, Watch* watch) : db_(db), active_(watch != nullptr) {
    if (active_) sqlite3_progress_handler(db_, kProgressSteps, &on_progress, watch);
  }
  ~ProgressGuard() {
    if (active_) sqlite3_progress_handler(db_, 0, nullptr, nullptr);
  }
  ProgressGuard(const ProgressGuard&) = delete;
  ProgressGuard& operator=(const ProgressGuard&) = delete;

 private:
  sqlite3* db_;
  bool active_;
};

// The host's text for statement text it cannot hand to SQLite: a lone
// surrogate, which has no UTF-8 form.
std::string unencodable(std::string_view sql) {
  std::size_t start = 0, end = 0;
  text::is_valid_utf8(sql, &start, &end);
  std::size_t position = text::length(replace_invalid_utf8(sql.substr(0, start)));
  const auto* b = reinterpret_cast<const unsigned char*>(sql.data());
  if (start + 3 <= sql.size() && b[start] == 0xED && (b[start + 1] & 0xE0) == 0xA0) {
    unsigned cp = 0xD000 | ((b[start + 1] & 0x3Fu) << 6) | (b[start + 2] & 0x3Fu);
    char buf[96];
    std::snprintf(buf, sizeof buf,
                  "'utf-8' codec can't encode character '\\u%04x' in position %zu: "
                  "surrogates not allowed",
                  cp, position);
    return buf;
  }
  return "statement text is not valid UTF-8";
}

}  // namespace

std::string timeout_reason(double seconds) {
  std::string amount = std::floor(seconds) == seconds && std::fabs(seconds) < 1e15
                           ? std::to_string(static_cast<long long>(seconds))
                           : real_repr(seconds);
  return "statement timed out after " + amount + " s";
}

std::string row_cap_reason(std::size_t max_rows) {
  return "result has more than " + std::to_string(max_rows) + " rows";
}

void StatementLimits::set_timeout(std::optional<double> seconds) {
  if (seconds && (!(*seconds > 0) || std::isinf(*seconds)))
    throw ValueError("Quillon() argument 'statement_timeout' must be a positive number of seconds");
  timeout_seconds = seconds;
}

void StatementLimits::set_max_rows(std::optional<long long> rows, int overflow) {
  if (!rows || overflow > 0) {
    max_rows.reset();
    return;
  }
  if (overflow < 0 || *rows < 1) throw ValueError("Quillon() argument 'max_rows' must be at least 1");
  max_rows = static_cast<std::size_t>(*rows);
}

SqliteDatabase::SqliteDatabase(const std::string& path) : Database(path) {
  if (path.find('\0') != std::string::npos) throw ValueError("embedded null byte");
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db,
                           // Every call is made under mutex_, so SQLite's own
                           // per-call locking (about a third of the cost of
                           // reading a cell) is left out.
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db ? errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    throw DatabaseError(message);
  }
  // The host's binding waits five seconds for a locked database.
  sqlite3_busy_timeout(db, 5000);
  int off = 0;
  bool hardened =
      sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, &off) == SQLITE_OK &&
      sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0, &off) == SQLITE_OK &&
      sqlite3_exec(db, "PRAGMA query_only = ON", nullptr, nullptr, nullptr) == SQLITE_OK &&
      sqlite3_set_authorizer(db, &authorize, this) == SQLITE_OK;
  sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
  struct Bounded {
    const char* name;
    int arguments;
    void (*call)(sqlite3_context*, int, sqlite3_value**);
  };
  for (const Bounded& f : {Bounded{"printf", -1, &bounded_printf}, Bounded{"format", -1, &bounded_printf},
                           Bounded{"instr", 2, &bounded_instr}, Bounded{"replace", 3, &bounded_replace},
                           Bounded{"like", 2, &bounded_like}, Bounded{"like", 3, &bounded_like},
                           Bounded{"glob", 2, &bounded_glob}})
    if (sqlite3_create_function_v2(db, f.name, f.arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC, this, f.call,
                                   nullptr, nullptr, nullptr) != SQLITE_OK) {
      std::string message = errmsg(db);
      sqlite3_close_v2(db);
      throw DatabaseError(message);
    }
  if (!register_bounded_values(db, this)) {
    std::string message = errmsg(db);
    sqlite3_close_v2(db);
    throw DatabaseError(message);
  }
  if (!hardened) {
    std::string message = errmsg(db);
    sqlite3_close_v2(db);
    throw DatabaseError(message);
  }
  db_ = db;
  open_.store(true, std::memory_order_release);
}

SqliteDatabase::~SqliteDatabase() { close(); }

bool SqliteDatabase::is_open() const { return open_.load(std::memory_order_acquire); }

void SqliteDatabase::close() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!db_) return;
  open_.store(false, std::memory_order_release);
  sqlite3_close_v2(db_);
  db_ = nullptr;
  formatter_.reset();
}

std::optional<std::string> SqliteDatabase::engine_refusal(std::string_view sql) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!db_ || !text::is_valid_utf8(sql) || sql.find('\0') != std::string_view::npos) return std::nullopt;
  const std::string text(sql);
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  strict_ = true;
  const int rc = sqlite3_prepare_v2(db_, text.c_str(), static_cast<int>(text.size()) + 1, &stmt, &tail);
  strict_ = false;
  std::optional<std::string> refusal;
  if (rc != SQLITE_OK) {
    if (sqlite3_errcode(db_) == SQLITE_AUTH) refusal = kNotReadOnly;
  } else if (tail && has_more_statements(tail)) {
    refusal = "You can only execute one statement at a time.";
  } else if (stmt && !sqlite3_stmt_readonly(stmt)) {
    refusal = kNotReadOnly;
  } else if (stmt && sqlite3_column_count(stmt) == 0) {
    refusal = kNotAQuery;
  }
  sqlite3_finalize(stmt);
  return refusal;
}

const Dialect& SqliteDatabase::dialect() const noexcept {
  static const Dialect sqlite{"SQLite", kTablesSql};
  return sqlite;
}

std::string SqliteDatabase::columns_sql(std::string_view table) const {
  return "PRAGMA table_info(" + quote_identifier(table) + ");";
}

namespace {

// A result read on a second thread while the caller takes its rows. The
// reader publishes complete rows in batches; the caller holds `cells_lock`
// shared while it reads published cells, and the reader takes it alone only
// to move the cells into a larger block.
struct RowStream {
  std::mutex m;
  std::condition_variable more;
  std::shared_mutex cells_lock;
  std::size_t published = 0;  // rows complete
  const Value* base = nullptr;
  bool finished = false;
  std::exception_ptr error;
  std::atomic<bool> stop{false};
};

// Rows the calling thread reads itself before a second thread takes over:
// a small result is not worth a thread.
constexpr std::size_t kRowsAlone = 4096;
constexpr std::size_t kRowsPerBatch = 2048;

}  // namespace

ResultTable SqliteDatabase::run(std::string_view sql, const StatementLimits& limits,
                          const RowFeed* feed) {
  // Everything that waits (for the connection, for SQLite) runs here; with
  // a feed the host's lock is let go for it and taken back for the rows.
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
  Statement st;
  // An engine read-only statement stays strict until it ends, not only
  // while it compiles: a table-valued pragma (pragma_database_list) compiles
  // its pragma when it is first read.
  struct Strict {
    bool& on;
    explicit Strict(bool& flag) : on(flag) { on = true; }
    ~Strict() { on = false; }
    Strict(const Strict&) = delete;
    Strict& operator=(const Strict&) = delete;
  };
  std::optional<Strict> strict;
  // The functions that check the deadline see none once the statement is done.
  struct DeadlineReset {
    std::optional<Clock::time_point>& deadline;
    ~DeadlineReset() { deadline.reset(); }
  } deadline_reset{deadline_};
  std::optional<Watch> watch;
  std::optional<ProgressGuard> progress;
  ResultTable table;
  int rc = SQLITE_DONE;
  // A stop asked for by the handler shows as SQLITE_INTERRUPT.
  auto stopped = [&] {
    if (!watch) return;
    if (watch->interrupted) throw Interrupted(std::move(watch->cause));
    if (watch->timed_out || past_deadline_) throw failed(timeout_reason(*limits.timeout_seconds));
  };

  unlocked([&] {
    lock.lock();
    if (!db_) throw DatabaseError("Cannot operate on a closed database.");
    if (!text::is_valid_utf8(sql)) throw failed(unencodable(sql));
    if (sql.size() > static_cast<std::size_t>(sqlite3_limit(db_, SQLITE_LIMIT_SQL_LENGTH, -1)))
      throw failed("query string is too large");
    if (sql.find('\0') != std::string_view::npos)
      throw failed("the query contains a null character");

    // The copy ends in a NUL, so the tail can be scanned as C text.
    const std::string text(sql);
    const char* tail = nullptr;
    if (limits.engine_read_only) strict.emplace(strict_);
    rc = sqlite3_prepare_v2(db_, text.c_str(), static_cast<int>(text.size()) + 1, &st.stmt, &tail);
    if (rc != SQLITE_OK) {
      if (limits.engine_read_only && sqlite3_errcode(db_) == SQLITE_AUTH) throw failed(kNotReadOnly);
      throw failed(errmsg(db_));
    }
    if (tail && has_more_statements(tail))
      throw failed("You can only execute one statement at a time.");
    if (!st.stmt) throw failed("the statement is empty");
    if (limits.engine_read_only) {
      if (!sqlite3_stmt_readonly(st.stmt)) throw failed(kNotReadOnly);
      if (sqlite3_column_count(st.stmt) == 0) throw failed(kNotAQuery);
    }
    if (int needed = sqlite3_bind_parameter_count(st.stmt); needed > 0)
      throw failed("Incorrect number of bindings supplied. The current statement uses " +
                   std::to_string(needed) + ", and there are 0 supplied.");

    if (limits.timeout_seconds || limits.interrupt_requested) watch.emplace(limits);
    past_deadline_ = false;
    deadline_ = watch ? watch->deadline : std::nullopt;
    progress.emplace(db_, watch ? &*watch : nullptr);

    rc = sqlite3_step(st.stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
      stopped();
      throw failed(errmsg(db_));
    }

    const int ncols = sqlite3_column_count(st.stmt);
    table.columns.reserve(static_cast<std::size_t>(ncols));
    for (int c = 0; c < ncols; ++c) {
      const char* name = sqlite3_column_name(st.stmt, c);
      if (!name) throw failed("out of memory");
      std::string_view view(name);
      std::size_t start = 0, end = 0;
      const char* reason = nullptr;
      if (!text::is_valid_utf8(view, &start, &end, &reason))
        throw failed(unicode_decode_text(view, start, end, reason));
      table.columns.emplace_back(view);
    }
  });

  // From here on the host's reader is past its execute step: errors are
  // reported with SQLite's bare text.
  const int ncols = static_cast<int>(table.columns.size());
  const auto width = static_cast<std::size_t>(ncols);
  std::vector<Value>& cells = table.cells;
  if (rc == SQLITE_ROW) cells.reserve(width * 256);
  // Room for one more row. Grown four times over when full: a large result
  // is moved (and its fresh pages touched) fewer times than with the
  // vector's own doubling.
  auto room = [&] {
    if (cells.size() + width > cells.capacity())
      cells.reserve(std::max(cells.capacity() * 4, cells.size() + width));
  };
  // The current row into the table, then the next step.
  std::size_t value_bytes = 0;
  auto read_row = [&] {
    for (int c = 0; c < ncols; ++c) {
      switch (sqlite3_column_type(st.stmt, c)) {
        case SQLITE_INTEGER:
          cells.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(st.stmt, c)));
          break;
        case SQLITE_FLOAT:
          cells.emplace_back(sqlite3_column_double(st.stmt, c));
          break;
        case SQLITE_TEXT: {
          const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(st.stmt, c));
          if (!data) throw DatabaseError("out of memory");
          std::string_view value(data, static_cast<std::size_t>(sqlite3_column_bytes(st.stmt, c)));
          if (!text::is_valid_utf8(value))
            throw DatabaseError("Could not decode to UTF-8 column '" +
                                replace_invalid_utf8(table.columns[c]) + "' with text '" +
                                replace_invalid_utf8(std::string_view(data)) + "'");
          cells.emplace_back(std::string(value));
          value_bytes += value.size();
          break;
        }
        case SQLITE_BLOB: {
          const auto* data = static_cast<const char*>(sqlite3_column_blob(st.stmt, c));
          std::size_t size = static_cast<std::size_t>(sqlite3_column_bytes(st.stmt, c));
          cells.emplace_back(Bytes{std::string(data ? data : "", data ? size : 0)});
          value_bytes += size;
          break;
        }
        default:
          cells.emplace_back();
      }
    }
    if (value_bytes > kMaxResultBytes)
      throw failed("result has more than " + std::to_string(kMaxResultBytes) + " bytes of text and blobs");
    ++table.row_count;
    if (limits.max_rows && table.row_count > *limits.max_rows)
      throw failed(row_cap_reason(*limits.max_rows));
    rc = sqlite3_step(st.stmt);
  };
  auto check_end = [&] {
    if (rc != SQLITE_DONE) {
      stopped();
      throw DatabaseError(errmsg(db_));
    }
  };
  auto read_rest = [&] {
    while (rc == SQLITE_ROW) {
      room();
      read_row();
    }
    check_end();
  };

  if (!feed) {
    read_rest();
    return table;
  }

  unlocked([&] {
    while (rc == SQLITE_ROW && table.row_count < kRowsAlone) {
      room();
      read_row();
    }
    if (rc != SQLITE_ROW) check_end();
  });

  std::size_t fed = 0;
  if (rc == SQLITE_ROW) {
    RowStream stream;
    stream.published = table.row_count;
    stream.base = cells.data();
    // The host is polled for a stop by this thread, between batches: the
    // reader never waits for the host's lock.
    if (watch) watch->host_polls = false;
    auto reader = [&] {
      try {
        std::size_t since = 0;
        while (rc == SQLITE_ROW && !stream.stop.load(std::memory_order_relaxed)) {
          if (cells.size() + width > cells.capacity()) {
            std::unique_lock<std::shared_mutex> alone(stream.cells_lock);
            room();
            std::lock_guard<std::mutex> guard(stream.m);
            stream.base = cells.data();
          }
          read_row();
          if (++since == kRowsPerBatch) {
            since = 0;
            {
              std::lock_guard<std::mutex> guard(stream.m);
              stream.published = table.row_count;
            }
            stream.more.notify_one();
          }
        }
        if (!stream.stop.load(std::memory_order_relaxed)) check_end();
      } catch (...) {
        stream.error = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> guard(stream.m);
        stream.published = table.row_count;
        stream.finished = true;
      }
      stream.more.notify_one();
    };
    std::thread thread;
    try {
      thread = std::thread(reader);
    } catch (const std::system_error&) {
      // No thread to spare: the rest is read here, then fed.
      if (watch) watch->host_polls = true;
      unlocked(read_rest);
    }
    // However this thread leaves, the reader stops before the statement
    // and the table it uses go.
    struct Stopper {
      std::thread& thread;
      RowStream& stream;
      sqlite3* db;
      ~Stopper() {
        if (!thread.joinable()) return;
        stream.stop.store(true, std::memory_order_relaxed);
        sqlite3_interrupt(db);
        thread.join();
      }
    } stopper{thread, stream, db_};

    // The host's lock is let go at least this often, even while the rows
    // come faster than they are fed: the host's other threads (one that
    // asks this statement to stop, say) get their turn.
    auto next_yield = Clock::now() + kPollInterval;
    while (thread.joinable()) {
      bool finished = false, behind = false;
      {
        std::shared_lock<std::shared_mutex> reading(stream.cells_lock);
        std::size_t ready = 0;
        const Value* base = nullptr;
        {
          std::lock_guard<std::mutex> guard(stream.m);
          ready = stream.published;
          base = stream.base;
          finished = stream.finished;
        }
        if (finished && stream.error) break;
        // A batch at a time, so that the reader, which needs the cells to
        // itself to move them into a larger block, never waits long.
        const std::size_t upto = std::min(ready, fed + kRowsPerBatch);
        if (upto > fed) {
          feed->rows(table.columns, base, fed, upto);
          fed = upto;
        }
        behind = fed < ready;
      }
      if (finished && !behind) break;
      if (behind && Clock::now() >= next_yield) {
        next_yield = Clock::now() + kPollInterval;
        unlocked([] {});
      }
      if (watch && limits.interrupt_requested && Clock::now() >= watch->next_poll) {
        watch->next_poll = Clock::now() + kPollInterval;
        if (auto cause = limits.interrupt_requested()) throw Interrupted(std::move(cause));
      }
      if (behind) continue;
      unlocked([&] {
        std::unique_lock<std::mutex> guard(stream.m);
        stream.more.wait_for(guard, kPollInterval, [&] {
          return stream.finished || stream.published >= fed + kRowsPerBatch;
        });
      });
    }
    if (thread.joinable()) thread.join();
    if (stream.error) std::rethrow_exception(stream.error);
  }
  if (fed < table.row_count) feed->rows(table.columns, cells.data(), fed, table.row_count);
  return table;
}

}  // namespace corvalt::quillon
