// Reading a database's stored values for lexical linking.
#include "stored_values.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "corvalt/errors.hpp"
#include "corvalt/node_ids.hpp"
#include "corvalt/quillon.hpp"
#include "corvalt/text.hpp"
#include "corvalt/value.hpp"

namespace corvalt::atlanor::detail {

namespace {

const std::string* text_attr(const Record& attrs, std::string_view key) {
  const Value* v = attrs.find(key);
  return v && v->is_text() ? &v->as_text() : nullptr;
}

bool looks_like_date_column(const values::ColumnRef& c) {
  const std::string type = text::lower(c.data_type);
  const std::string name = text::lower(c.column);
  return type.find("date") != std::string::npos || type.find("time") != std::string::npos ||
         text::ends_with(name, "date") || text::ends_with(name, "_at") || text::ends_with(name, "_on");
}

bool digits(std::string_view s, std::size_t from, std::size_t n) {
  if (s.size() < from + n) return false;
  for (std::size_t i = from; i < from + n; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// The pattern of a stored date ("YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS"), or
// empty for a form not recognised.
std::string date_pattern(std::string_view v) {
  if (!(digits(v, 0, 4) && v.size() >= 10 && v[4] == '-' && digits(v, 5, 2) && v[7] == '-' &&
        digits(v, 8, 2)))
    return {};
  if (v.size() == 10) return "YYYY-MM-DD";
  if ((v[10] == ' ' || v[10] == 'T') && digits(v, 11, 2) && v.size() >= 16 && v[13] == ':')
    return v.size() >= 19 ? std::string("YYYY-MM-DD") + v[10] + "HH:MM:SS" : std::string("YYYY-MM-DD") + v[10] + "HH:MM";
  return {};
}

std::string quoted(std::string_view identifier) {
  std::string out(1, '"');
  out.append(text::replace_all(identifier, "\"", "\"\"")).push_back('"');
  return out;
}

// The most common form of the dates stored in the date-like columns, with
// one stored example.
std::string read_date_form(const std::string& path, const std::vector<values::ColumnRef>& columns) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return {};
  }
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);  // a missing column is no text
  std::map<std::string, std::pair<int, std::string>> forms;  // pattern -> (columns, example)
  int seen = 0;
  for (const auto& c : columns) {
    if (!looks_like_date_column(c) || seen >= 40) continue;
    const std::string sql = "SELECT " + quoted(c.column) + " FROM " + quoted(c.table) + " WHERE " +
                            quoted(c.column) + " IS NOT NULL AND typeof(" + quoted(c.column) +
                            ") = 'text' LIMIT 1";
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
      const auto* raw = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
      const std::string value = raw ? raw : "";
      if (std::string pattern = date_pattern(value); !pattern.empty()) {
        auto& [count, example] = forms[pattern];
        if (count++ == 0) example = value;
        ++seen;
      }
    }
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  const std::pair<const std::string, std::pair<int, std::string>>* best = nullptr;
  for (const auto& f : forms)
    if (!best || f.second.first > best->second.first) best = &f;
  if (!best) return {};
  return "text such as '" + best->second.second + "' (" + best->first + ")";
}

bool text_like(const values::ColumnRef& c) {
  const std::string type = text::lower(c.data_type);
  return type.empty() || type.find("char") != std::string::npos || type.find("text") != std::string::npos ||
         type.find("clob") != std::string::npos || type.find("string") != std::string::npos;
}

// The same reading on a PostgreSQL server, through the answering service's
// backend (read-only and bounded): the distinct values of each text column
// (a column with more than the index keeps is left out) and the dates' form.
// A server that cannot be reached leaves the documented values alone.
void read_server_values(const std::string& target, const std::vector<values::ColumnRef>& columns,
                        StoredValues& out) {
  constexpr std::size_t kMostValues = 2000;
  quillon::DatabasePtr db;
  try {
    db = quillon::open_database(target);
  } catch (const std::exception&) {
    return;
  }
  quillon::StatementLimits limits{10.0, kMostValues + 1, {}};
  limits.own_statement = true;
  std::map<std::string, std::pair<int, std::string>> forms;
  for (const auto& c : columns) {
    const std::string column = quoted(c.column), table = quoted(c.table);
    try {
      if (looks_like_date_column(c)) {
        if (forms.size() >= 40) continue;
        quillon::ResultTable t = db->query(
            "SELECT " + column + "::text FROM " + table + " WHERE " + column + " IS NOT NULL LIMIT 1", limits);
        if (t.row_count == 1 && t.cells[0].is_text())
          if (std::string pattern = date_pattern(t.cells[0].as_text()); !pattern.empty()) {
            auto& [count, example] = forms[pattern];
            if (count++ == 0) example = t.cells[0].as_text();
          }
        continue;
      }
      if (!text_like(c)) continue;
      quillon::ResultTable t = db->query("SELECT " + column + "::text FROM " + table + " WHERE " + column +
                                             " IS NOT NULL GROUP BY 1 ORDER BY count(*) DESC, 1",
                                         limits);
      std::vector<std::string> found;
      for (const Value& v : t.cells)
        if (v.is_text()) found.push_back(v.as_text());
      out.index.add_all_values(c, found);
    } catch (const std::exception&) {
      // A table or column the server lacks, or one with too many values.
    }
  }
  const std::pair<const std::string, std::pair<int, std::string>>* best = nullptr;
  for (const auto& f : forms)
    if (!best || f.second.first > best->second.first) best = &f;
  if (best) out.date_form = "text such as '" + best->second.second + "' (" + best->first + ")";
}

// A count or length a statement returned, whatever number type the backend
// gives it; -1 when it is none.
long long number_of(const Value& v) {
  if (v.is_int()) return v.as_int();
  if (v.is_real()) return static_cast<long long>(v.as_real());
  if (v.is_text()) {
    try {
      return std::stoll(v.as_text());
    } catch (const std::exception&) {
    }
  }
  return -1;
}

// The codes of the rows that alone hold each indexed value, table by table:
// a table's column of codes is its first text column whose values are all
// there, all different, at most kLongestCode characters and without spaces.
// Tables of more than kMostRows rows are left out.
void read_row_codes(const std::string& database, const std::vector<values::ColumnRef>& columns, StoredValues& out) {
  constexpr long long kMostRows = 20000, kLongestCode = 24;
  const std::vector<values::ColumnRef>& indexed = out.index.columns();
  if (indexed.empty()) return;
  quillon::DatabasePtr db;
  try {
    db = quillon::open_database(database);
  } catch (const std::exception&) {
    return;
  }
  quillon::StatementLimits limits{10.0, static_cast<std::size_t>(kMostRows) + 1, {}};
  limits.own_statement = true;
  out.row_codes.assign(indexed.size(), {});
  std::vector<std::string> tables;
  std::unordered_map<std::string, std::vector<std::uint32_t>> by_table;  // lower-cased name -> indexed columns
  for (std::uint32_t i = 0; i < indexed.size(); ++i) {
    auto& ids = by_table[text::lower(indexed[i].table)];
    if (ids.empty()) tables.push_back(indexed[i].table);
    ids.push_back(i);
  }
  for (const std::string& table : tables) {
    const std::string key = text::lower(table), from = quoted(table);
    std::string code;
    try {
      // How many rows, counted no further than the bound.
      quillon::ResultTable counted = db->query(
          "SELECT COUNT(*) FROM (SELECT 1 FROM " + from + " LIMIT " + std::to_string(kMostRows + 1) + ") AS r", limits);
      const long long rows = counted.row_count == 1 ? number_of(counted.at(0, 0)) : -1;
      if (rows < 2 || rows > kMostRows) continue;
      for (const values::ColumnRef& c : columns) {
        if (text::lower(c.table) != key || !text_like(c) || looks_like_date_column(c)) continue;
        const std::string col = quoted(c.column);
        quillon::ResultTable t = db->query("SELECT COUNT(*), COUNT(" + col + "), COUNT(DISTINCT " + col +
                                               "), MAX(LENGTH(" + col + ")), SUM(CASE WHEN " + col +
                                               " LIKE '% %' THEN 1 ELSE 0 END) FROM " + from,
                                           limits);
        if (t.row_count != 1 || number_of(t.at(0, 0)) != rows) break;
        if (number_of(t.at(0, 1)) == rows && number_of(t.at(0, 2)) == rows &&
            number_of(t.at(0, 3)) <= kLongestCode && number_of(t.at(0, 4)) == 0) {
          code = c.column;
          break;
        }
      }
      if (code.empty()) continue;
      for (const std::uint32_t id : by_table[key]) {
        const values::ColumnRef& c = indexed[id];
        if (text::lower(c.column) == text::lower(code)) continue;
        const std::string col = quoted(c.column);
        quillon::ResultTable t = db->query("SELECT " + col + ", MIN(" + quoted(code) + ") FROM " + from + " WHERE " +
                                               col + " IS NOT NULL GROUP BY " + col + " HAVING COUNT(*) = 1",
                                           limits);
        StoredValues::RowCodes& codes = out.row_codes[id];
        for (std::size_t r = 0; r < t.row_count; ++r)
          if (t.at(r, 0).is_text() && t.at(r, 1).is_text()) codes.of.emplace(t.at(r, 0).as_text(), t.at(r, 1).as_text());
        if (!codes.of.empty()) codes.column = code;
      }
    } catch (const std::exception&) {
      // A table the database lacks or cannot read: its rows' codes are not known.
    }
  }
}

// A column's `top_values` statistic as texts: a list of texts, or of
// records with a text `value`.
std::vector<std::string> top_values(const Record& attrs) {
  std::vector<std::string> out;
  const Value* statistics = attrs.find("statistics");
  if (!statistics || !statistics->is_record()) return out;
  const Value* top = statistics->as_record().find("top_values");
  if (!top || !top->is_list()) return out;
  for (const Value& v : top->as_list()) {
    if (v.is_text()) {
      out.push_back(v.as_text());
    } else if (v.is_record()) {
      if (const std::string* value = text_attr(v.as_record(), "value")) out.push_back(*value);
    }
  }
  return out;
}

// A column's business rules as the document writes them.
std::vector<std::string> column_rules(const Value& metadata, const std::string& table, const std::string& column) {
  std::vector<std::string> out;
  const Value* node = &metadata;
  for (const std::string_view key : {std::string_view("tables"), std::string_view(table), std::string_view("columns"),
                                     std::string_view(column), std::string_view("business_rules")}) {
    if (!node->is_record()) return out;
    node = node->as_record().find(key);
    if (!node) return out;
  }
  if (node->is_list())
    for (const Value& rule : node->as_list())
      if (rule.is_text()) out.push_back(rule.as_text());
  return out;
}

}  // namespace

std::shared_ptr<const StoredValues> read_stored_values(const Graph& graph, const std::string& database,
                                                       const Value& metadata) {
  std::vector<values::ColumnRef> columns;
  std::vector<std::vector<std::string>> documented;
  std::vector<std::vector<std::string>> explained;  // the texts documenting each column
  // How many other tables refer to each table.
  std::unordered_map<Graph::Index, std::vector<Graph::Index>> referring;
  for (Graph::Index t = 0; t < graph.node_count(); ++t) {
    if (!node_ids::has_prefix(graph.id(t), node_ids::kTable)) continue;
    for (const Graph::Edge& edge : graph.successors(t))
      if (edge.target != t && edge.attrs && edge.attrs->find("relationship") &&
          node_ids::has_prefix(graph.id(edge.target), node_ids::kTable)) {
        auto& from = referring[edge.target];
        if (std::find(from.begin(), from.end(), t) == from.end()) from.push_back(t);
      }
  }
  // How many columns each rule governs: a rule several columns share (one
  // name, the first text) documents none of them for certain.
  std::unordered_map<Graph::Index, int> governs;
  for (Graph::Index n = 0; n < graph.node_count(); ++n) {
    const std::string* type = text_attr(graph.attrs(n), "type");
    if (!type || *type != "column") continue;
    for (const Graph::Edge& edge : graph.successors(n))
      if (const std::string* target = text_attr(graph.attrs(edge.target), "type"); target && *target == "rule")
        ++governs[edge.target];
  }
  for (Graph::Index t = 0; t < graph.node_count(); ++t) {
    const std::string_view id = graph.id(t);
    const std::string* type = text_attr(graph.attrs(t), "type");
    if (!type || *type != "table" || !node_ids::has_prefix(id, node_ids::kTable)) continue;
    const std::string table = node_ids::name_of(id, node_ids::kTable);
    for (const Graph::Edge& edge : graph.successors(t)) {
      const Record& attrs = graph.attrs(edge.target);
      const std::string* column_type = text_attr(attrs, "type");
      const std::string* name = text_attr(attrs, "name");
      if (!column_type || *column_type != "column" || !name) continue;
      const std::string* data_type = text_attr(attrs, "data_type");
      const auto refs = referring.find(t);
      columns.push_back(values::ColumnRef{table, *name, data_type ? *data_type : std::string(),
                                          refs != referring.end() && refs->second.size() >= 2});
      documented.push_back(top_values(attrs));
      explained.emplace_back();
      if (const std::string* description = text_attr(attrs, "description")) explained.back().push_back(*description);
      std::vector<std::string> rules = column_rules(metadata, table, *name);
      // Without the document, a rule of the graph only one column has is that column's.
      if (rules.empty())
        for (const Graph::Edge& rule : graph.successors(edge.target))
          if (const auto governed = governs.find(rule.target); governed != governs.end() && governed->second == 1)
            if (const std::string* text = text_attr(graph.attrs(rule.target), "description")) rules.push_back(*text);
      for (std::string& rule : rules) explained.back().push_back(std::move(rule));
    }
  }
  auto out = std::make_shared<StoredValues>();
  if (!database.empty() && quillon::is_server_target(database)) {
    read_server_values(database, columns, *out);
    out->has_database = true;
    out->dialect = "PostgreSQL";
  } else if (!database.empty()) {
    out->index = values::ValueIndex::from_database(database, columns);
    out->date_form = read_date_form(database, columns);
    out->has_database = true;
    out->dialect = "SQLite";
  }
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (!documented[i].empty() && (database.empty() || out->index.find(columns[i].table, columns[i].column) < 0))
      out->index.add_values(columns[i], documented[i]);
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (!explained[i].empty()) out->index.add_meanings(columns[i].table, columns[i].column, explained[i]);
  if (!database.empty()) read_row_codes(database, columns, *out);
  return out;
}

const std::string* StoredValues::row_code(std::uint32_t column, const std::string& value) const {
  if (column >= row_codes.size()) return nullptr;
  const auto found = row_codes[column].of.find(value);
  return found == row_codes[column].of.end() ? nullptr : &found->second;
}

std::size_t StoredValues::memory_bytes() const noexcept {
  auto heap = [](const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; };
  std::size_t bytes = index.memory_bytes() + row_codes.capacity() * sizeof(RowCodes);
  for (const RowCodes& r : row_codes) {
    bytes += heap(r.column) + r.of.bucket_count() * sizeof(void*);
    for (const auto& [value, code] : r.of)
      bytes += 2 * sizeof(void*) + sizeof(std::pair<const std::string, std::string>) + heap(value) + heap(code);
  }
  return bytes;
}

}  // namespace corvalt::atlanor::detail
