// Profiling a metadata document's columns against its database.
#include "corvalt/profile.hpp"

#include <sqlite3.h>

#include <memory>
#include <string>

#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"
#include "corvalt/text.hpp"

namespace corvalt::atlanor {

namespace {

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct Finalizer {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

std::string quoted(std::string_view identifier) {
  std::string out(1, '"');
  out.append(text::replace_all(identifier, "\"", "\"\"")).push_back('"');
  return out;
}

// A column value as the document writes it; blobs and invalid text are
// left out (null).
Value value_of(sqlite3_stmt* s, int i) {
  switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER: return Value(static_cast<std::int64_t>(sqlite3_column_int64(s, i)));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(s, i));
    case SQLITE_TEXT: {
      const std::string_view t(reinterpret_cast<const char*>(sqlite3_column_text(s, i)),
                               static_cast<std::size_t>(sqlite3_column_bytes(s, i)));
      return text::is_valid_utf8(t) ? Value(t) : Value();
    }
    default: return Value();
  }
}

class Profiler {
 public:
  Profiler(const std::string& path, const ProfileOptions& options) : options_(options) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK)
      throw DatabaseError("cannot open the database " + path + ": " + (raw ? sqlite3_errmsg(raw) : "out of memory"));
    // A double-quoted name of a missing column must fail, not read as text.
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    // A file that is not a database fails here, not on the first column.
    if (!prepare("SELECT count(*) FROM sqlite_master"))
      throw DatabaseError("cannot read the database " + path + ": " + sqlite3_errmsg(db_.get()));
  }

  // Replaces the computed keys of `statistics` (a record, made when absent).
  void profile(std::string_view table, std::string_view column, Value& statistics) {
    const std::string c = quoted(column), t = quoted(table);
    Statement s = prepare("SELECT count(*) - count(" + c + "), count(DISTINCT " + c + "), min(" + c + "), max(" + c +
                          "), avg(CASE WHEN typeof(" + c + ") IN ('integer', 'real') THEN " + c +
                          " END), sum(typeof(" + c + ") = 'text') FROM " + t);
    if (!s || sqlite3_step(s.get()) != SQLITE_ROW) return;  // no such table or column
    if (!statistics.is_record()) statistics = Value(make_record());
    Record& out = statistics.as_record();
    const std::int64_t distinct = sqlite3_column_int64(s.get(), 1);
    out.set("null_count", Value(static_cast<std::int64_t>(sqlite3_column_int64(s.get(), 0))));
    out.set("distinct_count", Value(distinct));
    if (Value low = value_of(s.get(), 2); !low.is_null()) out.set("min", low);
    if (Value high = value_of(s.get(), 3); !high.is_null()) out.set("max", high);
    if (sqlite3_column_type(s.get(), 4) != SQLITE_NULL) {
      const double avg = sqlite3_column_double(s.get(), 4);
      out.set("avg", Value(static_cast<double>(static_cast<std::int64_t>(avg * 1000.0 + (avg < 0 ? -0.5 : 0.5))) / 1000.0));
    }
    const bool text_values = sqlite3_column_int64(s.get(), 5) > 0;
    if (!text_values || distinct < 1 || static_cast<std::size_t>(distinct) > options_.top_values_up_to) return;
    Statement top = prepare("SELECT " + c + ", count(*) FROM " + t + " WHERE typeof(" + c +
                            ") = 'text' GROUP BY " + c + " ORDER BY count(*) DESC, " + c + " LIMIT " +
                            std::to_string(options_.top_values_up_to));
    if (!top) return;
    auto values = make_list();
    while (sqlite3_step(top.get()) == SQLITE_ROW) {
      Value v = value_of(top.get(), 0);
      if (v.is_null()) continue;
      values->emplace_back(make_record(Record{
          {"value", v}, {"count", Value(static_cast<std::int64_t>(sqlite3_column_int64(top.get(), 1)))}}));
    }
    out.set("top_values", Value(values));
  }

 private:
  Statement prepare(const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) return nullptr;
    return Statement(raw);
  }

  const ProfileOptions& options_;
  std::unique_ptr<sqlite3, Closer> db_;
};

}  // namespace

Value profile_metadata(const std::string& metadata_file, const std::string& database,
                       const ProfileOptions& options) {
  Value document = json::parse_file(metadata_file);
  Profiler profiler(database, options);
  if (!document.is_record()) return document;
  const Value* tables = document.as_record().find("tables");
  if (!tables || !tables->is_record()) return document;
  for (auto& [table, t] : tables->as_record()) {
    if (!t.is_record()) continue;
    const Value* columns = t.as_record().find("columns");
    if (!columns || !columns->is_record()) continue;
    for (auto& [column, c] : columns->as_record()) {
      if (!c.is_record()) continue;
      Record& entry = c.as_record();
      Value statistics = entry.get("statistics", Value());
      profiler.profile(table, column, statistics);
      if (statistics.is_record()) entry.set("statistics", statistics);
    }
  }
  return document;
}

}  // namespace corvalt::atlanor
