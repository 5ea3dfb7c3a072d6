// Describing the database for correction prompts: the list of tables, the
// columns and a few sample rows of a table, and the tables a failed
// statement names.
#include <string>
#include <unordered_set>

#include "corvalt/regex.hpp"
#include "corvalt/quillon.hpp"
#include "internal.hpp"

namespace corvalt::quillon {

std::string quote_identifier(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::vector<std::string> extract_table_names(std::string_view sql) {
  static const Regex from("FROM\\s+([a-zA-Z0-9_]+)", Regex::kIgnoreCase);
  static const Regex join("JOIN\\s+([a-zA-Z0-9_]+)", Regex::kIgnoreCase);
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Regex* re : {&from, &join}) {
    for (const RegexMatch& m : re->find_all(sql)) {
      std::string name(m.group(sql, 1));
      if (seen.insert(name).second) names.push_back(std::move(name));
    }
  }
  return names;
}

ListPtr Quillon::rows_on_connection(std::string_view sql) {
  ResultTable table = run_on_connection(sql);
  return take_rows_as_records(table);
}

ListPtr Quillon::explore_database_schema() {
  auto schema = make_list();
  if (!connected()) return schema;
  try {
    const std::string tables_sql = conn_->dialect().tables_sql;
    ListPtr tables = rows_on_connection(tables_sql);
    auto entry = make_record();
    entry->append_new("sql", Value(tables_sql));
    entry->append_new("result", Value(tables));
    schema->emplace_back(entry);
    std::size_t described = 0;
    for (const Value& row : *tables) {
      if (described++ == kExploredTables) break;
      const Value& name = row.as_record().at("name");
      if (!name.is_text()) continue;
      RecordPtr table = explore_table_schema(name.as_text());
      if (!table->empty()) schema->emplace_back(table);
    }
  } catch (const Error& e) {
    say("Error exploring database schema: " + error_text(e));
  }
  return schema;
}

RecordPtr Quillon::explore_table_schema(std::string_view table_name) {
  auto record = make_record();
  if (!connected()) return record;
  // The name is quoted as an identifier, so that any table name (spaces,
  // quotes, keywords) is described and none can change the statement.
  const std::string quoted = quote_identifier(table_name);
  try {
    ListPtr info = rows_on_connection(conn_->columns_sql(table_name));
    ListPtr sample;
    try {
      sample = rows_on_connection("SELECT * FROM " + quoted + " LIMIT 3;");
    } catch (const Error&) {
      sample = make_list();
    }
    auto columns = make_list();
    columns->reserve(info->size());
    for (const Value& row : *info) {
      const Record& r = row.as_record();
      auto column = make_record();
      column->append_new("name", r.at("name"));
      column->append_new("type", r.at("type"));
      column->append_new("notnull", Value(r.at("notnull").truthy()));
      column->append_new("pk", Value(r.at("pk").truthy()));
      columns->emplace_back(column);
    }
    record->append_new("table_name", Value(table_name));
    record->append_new("columns", Value(columns));
    record->append_new("sample_data", Value(sample));
  } catch (const Error& e) {
    say("Error exploring table " + std::string(table_name) + ": " + error_text(e));
    return make_record();
  }
  return record;
}

}  // namespace corvalt::quillon
