// The SQL answering service: one SQLite connection, the read-only guard,
// guarded execution that fills a query record, result summaries and the fix
// log of repaired statements.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "corvalt/console.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/host.hpp"
#include "corvalt/value.hpp"

namespace corvalt::quillon {

inline constexpr const char* kNoConnection = "No database connection available";
inline constexpr const char* kNoSql = "No SQL query provided";
inline constexpr const char* kOnlySelect =
    "Security restriction: Only SELECT operations are allowed.";
inline constexpr const char* kNoResults = "Query returned no results.";

// ---------------------------------------------------------------- guard --

// One row of the guard table: a lower-case pattern matched as a whole word
// (spaces and the semicolon are part of the pattern) and its message.
struct GuardRule {
  const char* pattern;
  const char* message;
};
// The eleven rules, in the order they are tested.
const std::vector<GuardRule>& guard_rules();

// lower(), then split at white space and join with single spaces.
std::string normalise_sql(std::string_view sql);

struct GuardVerdict {
  std::optional<std::string> refusal;  // null: the statement may run
  const GuardRule* rule = nullptr;     // the rule that matched, if any
};
GuardVerdict check_sql(std::string_view sql);

// ---------------------------------------------------------- result table --

// The rows and named columns of one executed statement, row-major.
struct ResultTable {
  std::vector<std::string> columns;
  std::vector<Value> cells;  // row_count * columns.size() values
  std::size_t row_count = 0;

  const Value& at(std::size_t row, std::size_t column) const {
    return cells[row * columns.size() + column];
  }
};

// The rows as row records (column name -> value, in column order), the
// reader's "records" orientation; a repeated column name keeps its first
// place and its last value. The cells are moved out of `table`.
ListPtr take_rows_as_records(ResultTable& table);

// The tabular library's default plain-text form of the first `rows` rows
// (at most row_count): header line, then one line per row led by its
// position; no line break after the last line.
std::string render_rows(const ResultTable& table, std::size_t rows);

// A result table from host rows: records (columns default to the first
// record's keys; a key a row lacks reads as null) or sequences, which need
// `columns` and must each hold one value per column. Throws TypeError or
// ValueError naming `function` for anything else.
ResultTable table_from_rows(const List& rows, const std::vector<std::string>* columns,
                            const char* function);

// "Query returned N row(s) with M column(s)." and the rows (all of them up
// to five, else the first three and a count of the rest).
std::string generate_result_summary(const ResultTable& table);

// ------------------------------------------------------------- database --

// What a new service allows one statement; the bindings' defaults for their
// statement_timeout and max_rows arguments too.
inline constexpr int kDefaultTimeoutSeconds = 60;
inline constexpr std::size_t kDefaultMaxRows = 1000000;

// Bounds on one statement. A statement that runs past its deadline or yields
// more rows stops at once and fails with a DatabaseError naming the limit.
struct StatementLimits {
  std::optional<double> timeout_seconds;  // null: no deadline
  std::optional<std::size_t> max_rows;    // null: no cap
  // Polled about every 50 ms while a statement runs (on the running
  // thread); a non-null answer stops the statement, which then throws
  // Interrupted carrying that answer as its cause.
  std::function<std::shared_ptr<void>()> interrupt_requested;
  // Read-only as the engine proves it: the statement must be one query that
  // SQLite compiles as read-only, reading tables and calling functions and
  // nothing else (no pragma, transaction, attach or write of any kind).
  bool engine_read_only = false;
  // A statement the service built itself (schema exploration): a server
  // backend skips its checks of what the statement may call or read, though
  // it still runs read-only and bounded.
  bool own_statement = false;

  // The limits as a host sets them, by the rules every host shares (the
  // ValueError names Quillon's argument); null lifts a limit.
  // A deadline is a positive, finite number of seconds.
  void set_timeout(std::optional<double> seconds);
  // A cap is at least 1 row. `overflow` is the sign of a whole number too
  // large for long long, which `rows` then does not hold: a positive one is
  // beyond any result a machine holds, so it means no cap.
  void set_max_rows(std::optional<long long> rows, int overflow = 0);
};

// What a statement refused by the engine's read-only proof fails with.
inline constexpr const char* kNotReadOnly =
    "Security restriction: only a statement that reads is allowed; this one would write, change "
    "the connection or control a transaction.";
inline constexpr const char* kNotAQuery = "Security restriction: only a query that returns rows is allowed.";
// Values (texts, blobs) are refused past this many bytes, so that no
// statement runs past its deadline building one huge value. SQLite polls the
// deadline only between the steps of a loop, and one step (hex(), replace(),
// t || t) costs a few nanoseconds per byte of its value: doubling a text
// until it is too long took about a second at 100 MB, a tenth of it at 10 MB.
inline constexpr int kMaxValueBytes = 10'000'000;

// Runs `work`, which touches SQLite and nothing of the host, with the
// host's lock let go (the bindings let other host threads run meanwhile).
using Unlocker = std::function<void(const std::function<void()>& work)>;

// Takes a statement's rows while the statement still runs: `rows(columns,
// cells, begin, end)` is called on the calling thread, with the host's lock
// held, for rows [begin, end) of the result, whose cells start at `cells`
// (row `begin` at cells + begin * columns.size()); they stay readable until
// it returns.
// The calls cover every row once, in order. A large result is read on a
// second thread meanwhile, so the caller's work on earlier rows overlaps
// SQLite's work on later ones. An exception thrown by `rows` stops the
// statement and leaves the query by the caller's side.
struct RowFeed {
  using Rows = std::function<void(const std::vector<std::string>& columns, const Value* cells,
                                  std::size_t begin, std::size_t end)>;
  Rows rows;
  Unlocker unlocked;  // empty: nothing to let go
};

// "statement timed out after 60 s", "result has more than 1000000 rows".
std::string timeout_reason(double seconds);
std::string row_cap_reason(std::size_t max_rows);

// What prompts and the schema exploration need to know of a database's SQL.
struct Dialect {
  // The name prompts use: "SQLite", "PostgreSQL".
  std::string name;
  // A statement listing the tables a question may read, one per row, in a
  // column called name.
  std::string tables_sql;
};

// One database connection, usable from any thread: every call is made under
// the object's own lock. Nothing run through it can change the database: each
// backend enforces that in its own way (see open_database).
class Database {
 public:
  virtual ~Database() = default;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // What the connection was opened on, safe to show: a server address never
  // carries its password here.
  const std::string& path() const noexcept { return path_; }
  virtual bool is_open() const = 0;
  // Closing twice is harmless; a statement running on another thread ends
  // first.
  virtual void close() = 0;
  virtual const Dialect& dialect() const noexcept = 0;
  // A statement describing one table's columns, one per row: name, type,
  // notnull, pk (true values of any kind). `table` is a bare name.
  virtual std::string columns_sql(std::string_view table) const = 0;
  // Why this connection can change data, said once when it is opened (a
  // server role with write privileges); empty when it cannot.
  const std::string& write_warning() const noexcept { return write_warning_; }

  // Runs one statement and reads all of its rows, with the host binding's
  // refusals (NUL character, a second statement, parameter placeholders).
  // Errors found while the statement compiles and takes its first step are
  // worded "Execution failed on sql '{sql}': {reason}"; errors while reading
  // rows carry the bare reason, as the host's reader reports them; the
  // limits' failures always carry the statement.
  ResultTable query(std::string_view sql, const StatementLimits& limits = {}) {
    return run(sql, limits, nullptr);
  }
  // The same, handing the rows to `feed` as they are read (the returned
  // table holds them all as well). Called with the host's lock held: the
  // waits run through feed.unlocked.
  ResultTable query(std::string_view sql, const StatementLimits& limits, const RowFeed& feed) {
    return run(sql, limits, &feed);
  }
  // Why the engine would refuse `sql` as not read-only (checked, never
  // run), or null when it would not; a statement that is wrong for another
  // reason is left to fail when it runs.
  virtual std::optional<std::string> engine_refusal(std::string_view sql) = 0;

 protected:
  explicit Database(std::string path) : path_(std::move(path)) {}
  virtual ResultTable run(std::string_view sql, const StatementLimits& limits, const RowFeed* feed) = 0;
  std::string write_warning_;

 private:
  std::string path_;
};
using DatabasePtr = std::shared_ptr<Database>;

// A database server's address rather than a file: a URI starting
// postgresql:// or postgres://, or libpq's key=value form naming a host,
// database, service or user.
bool is_server_target(std::string_view target);
// `target` with any password replaced by ***, for messages.
std::string masked_target(std::string_view target);

// Opens `target`: a PostgreSQL server for a server address, else an SQLite
// file, opened for reading and writing and created when missing, as the
// host's binding does. Throws DatabaseError (or ValueError for a path
// holding a NUL character).
//
// SQLite: query_only is on, and the functions that reach past SQL
// (load_extension, the two-argument fts3_tokenizer) and ATTACH/DETACH are
// refused while statements compile.
// PostgreSQL: every statement is checked by PostgreSQL's own parser
// (postgres_refusal), sent alone with the extended protocol inside a
// read-only transaction with server-side timeouts that is rolled back
// afterwards, and cancelled on the server at its deadline.
DatabasePtr open_database(const std::string& target);

// Why a statement may not run on PostgreSQL, or null: it must be exactly one
// plain SELECT (CTEs only of SELECTs; no INTO, no FOR UPDATE/SHARE, no
// EXPLAIN) reading no system catalog and calling only the functions a report
// needs (aggregates, date and time, text, arithmetic, conditionals, window
// functions).
std::optional<std::string> postgres_refusal(std::string_view sql);

// Copies every table of the SQLite file `sqlite_path` into the PostgreSQL
// database at `target` (a server address), in one transaction: columns keep
// their names and get the matching PostgreSQL types (INTEGER bigint, REAL
// double precision, BLOB bytea, anything else text) and the primary key.
// A table that exists already is an error unless `replace`, which drops it
// first. Returns the number of rows copied per table, in the file's order.
// Throws DatabaseError; on failure the server is left as it was.
std::vector<std::pair<std::string, std::size_t>> copy_sqlite_to_postgres(const std::string& sqlite_path,
                                                                       const std::string& target,
                                                                       bool replace = false);

// -------------------------------------------------------------- fix log --

inline constexpr const char* kFixLogDir = "data";
inline constexpr const char* kFixLogName = "failed_sql.json";
// `dir`/failed_sql.json
std::string fix_log_path(const std::string& dir = kFixLogDir);

struct FixLogEntry {
  Value question;
  Value failed_sql;
  Value error;
  Value working_sql;
  // The entry as written: question, failed_sql, error, working_sql.
  Record to_record() const;
};

// Appends one entry to `dir`/failed_sql.json, creating the directory and the
// file when missing. The read-modify-write runs under an exclusive advisory
// lock on the directory and replaces the file by renaming a finished
// temporary file over it, so concurrent appends lose nothing and a crash
// leaves either the old or the new log. Throws on any failure (unreadable or
// malformed log, failed write), leaving the log as it was.
void append_fix_log(const FixLogEntry& entry, const std::string& dir = kFixLogDir);

// The whole log as parsed JSON (a list of entry records). Throws
// FileNotFoundError when there is none, JsonDecodeError when malformed.
Value read_fix_log(const std::string& path = fix_log_path());
// The same, with no log read as an empty list: nothing has been logged yet.
Value read_fix_log_or_empty(const std::string& path = fix_log_path());

// ---------------------------------------------------------- generation --

inline constexpr const char* kNoAiService = "AI service not available for SQL generation";

// The prompt asking the AI service for a statement that answers `question`
// from the context record's tables, columns and relationships (and a
// previously run query for a similar question, when the host added one).
// Throws KeyError/TypeError for a malformed context record.
// `dialect` names the database's SQL.
std::string create_sql_generation_prompt(std::string_view question, const Record& db_context,
                                        std::string_view dialect = "SQLite");

// The statement in an AI reply: the first fenced block holding the word
// SELECT, else a SELECT statement at the start of a line up to a blank line,
// the end or an EXPLANATION: line, else the whole reply; stripped.
std::string extract_sql_from_response(std::string_view response);
// The text after the first EXPLANATION: up to a fence or the end, stripped;
// empty when there is no marker.
std::string extract_explanation(std::string_view response);
// Split at white space, joined with single spaces.
std::string clean_text(std::string_view text);

// ---------------------------------------------------------- correction --

inline constexpr int kMaxFixAttempts = 3;

// The correction prompt: the question, the failed statement and its error,
// the schema exploration records, the context's tables and relationships,
// and every earlier attempt. Throws TypeError for a sample value with no
// JSON form, KeyError for a context table without `name`.
std::string create_sql_correction_prompt(std::string_view question, std::string_view original_sql,
                                         std::string_view error, const List& schema_info,
                                         const List& previous_attempts, const Record& db_context,
                                         std::string_view dialect = "SQLite");

// ---------------------------------------------------------- exploration --

inline constexpr const char* kTablesSql =
    "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%';";
inline constexpr std::size_t kExploredTables = 5;

// Names after FROM, then after JOIN (any letter case), each once, in order
// of first occurrence.
std::vector<std::string> extract_table_names(std::string_view sql);

// "name" as an SQL identifier: double quotes, inner double quotes doubled.
std::string quote_identifier(std::string_view name);

// ------------------------------------------------------------ comparison --

// The heuristic relevance of a query that ran, from 0 to 10: 10 and 0 as
// integers at the clamps, else a real.
Value evaluate_query_relevance(const Record& query, std::string_view question);

// Local date and time as ISO 8601 without zone, microseconds when non-zero.
std::string local_timestamp();

// -------------------------------------------------------------- service --

class Quillon {
 public:
  using Unlocker = quillon::Unlocker;

  explicit Quillon(Console console = Console(), Unlocker unlocked = Unlocker());

  // ---- state (set by the constructor in this order) ---------------------
  bool verbose = false;
  std::shared_ptr<AiService> ai;
  std::optional<std::string> database_path;
  const DatabasePtr& conn() const noexcept { return conn_; }
  void set_conn(DatabasePtr conn) { conn_ = std::move(conn); }
  // The connection is there and open.
  bool connected() const;
  // The SQL dialect prompts name: the connection's, SQLite without one.
  std::string dialect_name() const;
  const Console& console() const noexcept { return console_; }

  // The constructor's last steps: connect when `path` names an existing
  // file or directory, else report the missing file (when verbose).
  void open_initial(const std::optional<std::string>& path);

  // ---- connection --------------------------------------------------------
  bool connect_database(const std::string& path);
  void close_connection();

  // ---- guarded execution -------------------------------------------------
  // Null when the statement may run, else the refusal text.
  std::optional<std::string> validate_safe_sql(std::string_view sql) const;
  // Fills `query` with the outcome of running its `sql`; never removes a key.
  // Throws only TypeError, for a `sql` value that is true but not text.
  Record& test_query(Record& query);
  // The same, but the rows stay in `rows` (cells intact) instead of becoming
  // row records: `results` is written as null in its place, for a caller
  // that makes its own row objects straight from the table.
  Record& test_query(Record& query, ResultTable& rows);
  // The same, and the rows go to `rows_ready` while the statement runs (see
  // RowFeed): a caller making its own row objects makes them meanwhile.
  // Nothing it made is to be kept when `success` comes back false.
  Record& test_query(Record& query, ResultTable& rows,
                     const RowFeed::Rows& rows_ready);
  // Runs a statement the service built itself directly on the connection
  // (no guard). Throws DatabaseError; a missing connection is an error too.
  ResultTable run_on_connection(std::string_view sql);

  // ---- bounded statements --------------------------------------------------
  // Applied to every statement the service runs.
  StatementLimits limits{kDefaultTimeoutSeconds, kDefaultMaxRows, {}};
  // How test_query decides that a statement only reads: by the word guard
  // (check_sql; the default), or by the engine's proof (StatementLimits::
  // engine_read_only), which also admits WITH ... SELECT and VALUES.
  enum class ReadOnly : std::uint8_t { kWords, kEngine };
  ReadOnly read_only = ReadOnly::kWords;
  // "words" or "engine"; anything else is a ValueError naming both.
  static ReadOnly read_only_mode(std::string_view name);
  static std::string_view read_only_name(ReadOnly mode) noexcept;
  // Time the service's statements ran, summed (for benchmarks: what is left
  // of a call's time is the service's own work; a statement whose rows are
  // fed to the caller as they come runs while they are made).
  std::chrono::steady_clock::duration statement_time{};
  // Time spent appending to the fix log (a durable write), summed likewise.
  std::chrono::steady_clock::duration fix_log_time{};

  // ---- generation, correction, exploration --------------------------------
  // The generation record: an error without an AI service, a logged fix
  // reused, the AI's statement, or the AI's failure.
  RecordPtr generate_sql(std::string_view question, const Record& db_context);
  // Up to three AI tries at repairing `failed_query`; the retry record. A
  // successful repair is appended to the fix log.
  RecordPtr try_fix_failed_query(const Record& failed_query, std::string_view question,
                                 const Record& db_context);
  // The tables entry and up to five table schema records.
  ListPtr explore_database_schema();
  // Columns and up to three sample rows of one table; an empty record when
  // its columns cannot be read.
  RecordPtr explore_table_schema(std::string_view table_name);

  // ---- answering ------------------------------------------------------------
  RecordPtr compare_queries(const RecordPtr& historical, const RecordPtr& ai,
                            std::string_view question);
  ListPtr generate_additional_explorations(std::string_view question, const Record& main_query,
                                           const Record& db_context);
  // `historical` null: none was passed.
  RecordPtr get_best_sql_and_results(std::string_view question, const Record& db_context,
                                     const RecordPtr& historical);

  // ---- fix log -------------------------------------------------------------
  // Where the log lies (relative to the working directory by default).
  std::string fix_log_dir = kFixLogDir;
  // Appends the entry for a repaired statement: question, the failed
  // record's `sql` and `execution_error`, the working record's `sql`.
  // Never throws; a failure is printed when verbose.
  void log_corrected_sql(const Value& question, const Record& failed, const Record& working);

 // Runs `work` with the host's lock let go (when the host gave a way).
  void unlocked_call(const std::function<void()>& work) const { unlocked(work); }

 private:
  void unlocked(const std::function<void()>& work) const;
  // The first logged fix for `question` or the context's `existing_sql`.
  RecordPtr reuse_logged_fix(std::string_view question, const Record& db_context);
  ResultTable timed_query(const DatabasePtr& db, std::string_view sql, const RowFeed* feed = nullptr,
                          bool engine_read_only = false, bool own_statement = false);
  // test_query; with `rows` given the table is handed there, and with
  // `feed` given its rows go there as they are read.
  Record& run_test_query(Record& query, ResultTable* rows, const RowFeed* feed = nullptr);
  // Runs `sql` on the connection and hands back its rows as records.
  ListPtr rows_on_connection(std::string_view sql);
  void say(std::string_view line) const {
    if (verbose) console_.line(line);
  }

  Console console_;
  Unlocker unlocked_;
  DatabasePtr conn_;
};

}  // namespace corvalt::quillon
