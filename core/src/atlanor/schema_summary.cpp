// A compact description of the schema for AI context: tables with their
// columns' descriptions and types, and the joins between tables. Everything
// else in the document (concepts, rules, statistics, ...) is left out.
#include <string>
#include <string_view>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "../value_checks.hpp"

namespace corvalt::atlanor {

namespace {

const Value kEmptyText{std::string()};

}  // namespace

RecordPtr AtlanorService::get_schema_summary() const {
  auto summary = make_record();
  if (!metadata_.truthy()) return summary;
  const Record& doc = record_of(metadata_, {"Metadata"});

  auto tables = make_record();
  summary->append_new("tables", tables);
  static const Value kNoRecord{Record()};
  static const Value kNoList{List()};
  for (const auto& [name, table_value] : record_of(doc.get("tables", kNoRecord), {"tables"})) {
    const Record& table = record_of(table_value, {"Table '", name, "'"});
    auto columns = make_record();
    tables->set(name, make_record(Record{{"description", table.get("description", kEmptyText)},
                                         {"columns", columns}}));
    const Record& source_columns =
        record_of(table.get("columns", kNoRecord), {"Columns of table '", name, "'"});
    for (const auto& [column_name, column_value] : source_columns) {
      const Record& column = record_of(column_value, {"Column '", name, ".", column_name, "'"});
      columns->set(column_name,
                   make_record(Record{{"description", column.get("description", kEmptyText)},
                                      {"data_type", column.get("data_type", kEmptyText)}}));
    }
  }

  auto relationships = make_list();
  summary->append_new("relationships", relationships);
  const Value& rels = doc.get("relationships", kNoList);
  if (!rels.is_list())
    throw TypeError(std::string("relationships must be a JSON array, not ") + rels.type_name());
  for (const Value& rel_value : rels.as_list()) {
    const Record& rel = record_of(rel_value, {"A relationship"});
    relationships->emplace_back(
        make_record(Record{{"from_table", rel.get("from_table", kEmptyText)},
                           {"to_table", rel.get("to_table", kEmptyText)},
                           {"join_condition", rel.get("join_condition", kEmptyText)}}));
  }
  return summary;
}

}  // namespace corvalt::atlanor
