// Copying an SQLite file's tables into a PostgreSQL database, so that the
// bundled sample (or a user's own file) can be asked on a server.
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "corvalt/quillon.hpp"
#include "corvalt/text.hpp"

namespace corvalt::quillon {

namespace {

struct SqliteClose {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalize {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalize>;
struct ConnFinish {
  void operator()(PGconn* c) const { PQfinish(c); }
};
struct ResultClear {
  void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultClear>;

struct Column {
  std::string name;
  std::string type;  // PostgreSQL's
  bool key = false;
};

struct Table {
  std::string name;
  std::vector<Column> columns;
};

std::string column_text(sqlite3_stmt* s, int i) {
  const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
  return t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(s, i))) : std::string();
}

// SQLite's affinity rules, read off the declared type.
std::string postgres_type(const std::string& declared) {
  const std::string t = text::lower(declared);
  if (t.find("int") != std::string::npos) return "bigint";
  if (t.find("char") != std::string::npos || t.find("clob") != std::string::npos ||
      t.find("text") != std::string::npos)
    return "text";
  if (t.find("blob") != std::string::npos) return "bytea";
  if (t.find("real") != std::string::npos || t.find("floa") != std::string::npos ||
      t.find("doub") != std::string::npos)
    return "double precision";
  return "text";
}

// A value in COPY's text form: \N for NULL, backslash escapes for the
// characters that end a field or a row.
void append_copy_value(std::string& out, sqlite3_stmt* s, int i) {
  switch (sqlite3_column_type(s, i)) {
    case SQLITE_NULL:
      out += "\\N";
      return;
    case SQLITE_INTEGER:
      out += std::to_string(sqlite3_column_int64(s, i));
      return;
    case SQLITE_FLOAT: {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.17g", sqlite3_column_double(s, i));
      out += buf;
      return;
    }
    case SQLITE_BLOB: {
      static const char* hex = "0123456789abcdef";
      const auto* b = static_cast<const unsigned char*>(sqlite3_column_blob(s, i));
      const int n = sqlite3_column_bytes(s, i);
      out += "\\\\x";
      for (int k = 0; k < n; ++k) {
        out += hex[b[k] >> 4];
        out += hex[b[k] & 15];
      }
      return;
    }
    default: {
      for (char c : column_text(s, i)) {
        switch (c) {
          case '\\': out += "\\\\"; break;
          case '\t': out += "\\t"; break;
          case '\n': out += "\\n"; break;
          case '\r': out += "\\r"; break;
          default: out += c;
        }
      }
    }
  }
}

}  // namespace

std::vector<std::pair<std::string, std::size_t>> copy_sqlite_to_postgres(const std::string& sqlite_path,
                                                                       const std::string& target,
                                                                       bool replace) {
  if (!is_server_target(target)) throw ValueError("not a PostgreSQL address: " + masked_target(target));
  sqlite3* raw = nullptr;
  if (sqlite3_open_v2(sqlite_path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    std::string message = raw ? sqlite3_errmsg(raw) : "out of memory";
    sqlite3_close_v2(raw);
    throw DatabaseError("cannot open " + sqlite_path + ": " + message);
  }
  std::unique_ptr<sqlite3, SqliteClose> lite(raw);
  auto prepare = [&](const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(lite.get(), sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
      throw DatabaseError("cannot read " + sqlite_path + ": " + sqlite3_errmsg(lite.get()));
    return Statement(s);
  };

  std::vector<Table> tables;
  {
    Statement names = prepare(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY rowid");
    while (sqlite3_step(names.get()) == SQLITE_ROW) tables.push_back(Table{column_text(names.get(), 0), {}});
  }
  for (Table& t : tables) {
    Statement info = prepare("SELECT name, type, pk FROM pragma_table_info(?1)");
    sqlite3_bind_text(info.get(), 1, t.name.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(info.get()) == SQLITE_ROW)
      t.columns.push_back(Column{column_text(info.get(), 0), postgres_type(column_text(info.get(), 1)),
                                 sqlite3_column_int(info.get(), 2) > 0});
  }

  const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
  const char* values[] = {"10", "corvalt", target.c_str(), nullptr};
  std::unique_ptr<PGconn, ConnFinish> pg(PQconnectdbParams(keys, values, 1));
  const std::string where = masked_target(target);
  if (!pg || PQstatus(pg.get()) != CONNECTION_OK)
    throw DatabaseError("could not connect to " + where + ": " +
                        (pg ? std::string(PQerrorMessage(pg.get())) : std::string("out of memory")));
  auto exec = [&](const std::string& sql, ExecStatusType expected) {
    Result r(PQexec(pg.get(), sql.c_str()));
    if (PQresultStatus(r.get()) != expected) {
      std::string message = PQerrorMessage(pg.get());
      while (!message.empty() && message.back() == '\n') message.pop_back();
      throw DatabaseError("loading into " + where + " failed: " + message);
    }
  };
  // Nothing is left half-loaded: every table goes in one transaction, and an
  // error rolls it back when the connection closes.
  exec("BEGIN; SET LOCAL client_encoding = 'UTF8'", PGRES_COMMAND_OK);
  std::vector<std::pair<std::string, std::size_t>> counts;
  for (const Table& t : tables) {
    const std::string name = quote_identifier(t.name);
    if (replace) exec("DROP TABLE IF EXISTS " + name + " CASCADE", PGRES_COMMAND_OK);
    std::string create = "CREATE TABLE " + name + " (";
    std::string keys_list, column_list, select_list;
    for (const Column& c : t.columns) {
      if (!column_list.empty()) {
        column_list += ", ";
        select_list += ", ";
        create += ", ";
      }
      create += quote_identifier(c.name) + " " + c.type;
      column_list += quote_identifier(c.name);
      select_list += quote_identifier(c.name);
      if (c.key) keys_list += (keys_list.empty() ? "" : ", ") + quote_identifier(c.name);
    }
    if (!keys_list.empty()) create += ", PRIMARY KEY (" + keys_list + ")";
    create += ")";
    exec(create, PGRES_COMMAND_OK);
    exec("COPY " + name + " (" + column_list + ") FROM STDIN", PGRES_COPY_IN);

    Statement rows = prepare("SELECT " + select_list + " FROM " + name);
    std::string buffer;
    std::size_t count = 0;
    const int width = static_cast<int>(t.columns.size());
    auto flush = [&] {
      if (!buffer.empty() && PQputCopyData(pg.get(), buffer.data(), static_cast<int>(buffer.size())) != 1)
        throw DatabaseError("loading into " + where + " failed: " + PQerrorMessage(pg.get()));
      buffer.clear();
    };
    int rc;
    while ((rc = sqlite3_step(rows.get())) == SQLITE_ROW) {
      for (int i = 0; i < width; ++i) {
        if (i) buffer += '\t';
        append_copy_value(buffer, rows.get(), i);
      }
      buffer += '\n';
      ++count;
      if (buffer.size() >= (1u << 16)) flush();
    }
    if (rc != SQLITE_DONE) throw DatabaseError("cannot read " + sqlite_path + ": " + sqlite3_errmsg(lite.get()));
    flush();
    if (PQputCopyEnd(pg.get(), nullptr) != 1)
      throw DatabaseError("loading into " + where + " failed: " + PQerrorMessage(pg.get()));
    Result done(PQgetResult(pg.get()));
    if (PQresultStatus(done.get()) != PGRES_COMMAND_OK) {
      std::string message = PQresultErrorMessage(done.get());
      while (!message.empty() && message.back() == '\n') message.pop_back();
      throw DatabaseError("loading table " + t.name + " into " + where + " failed: " + message);
    }
    while (Result more{PQgetResult(pg.get())}) {
    }
    counts.emplace_back(t.name, count);
  }
  exec("COMMIT", PGRES_COMMAND_OK);
  return counts;
}

}  // namespace corvalt::quillon
