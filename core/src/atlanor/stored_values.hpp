// What lexical linking reads of a database beside its metadata document:
// the stored values of its text columns (values.hpp) and the form its dates
// are stored in. Made once per knowledge graph and database, then shared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "corvalt/graph.hpp"
#include "corvalt/values.hpp"

namespace corvalt::atlanor::detail {

struct StoredValues {
  values::ValueIndex index;
  // How the database stores dates, for the AI ("text such as '2024-03-15'
  // (YYYY-MM-DD)"); empty when no date column was seen.
  std::string date_form;
  bool has_database = false;
  // The database's SQL, as prompts name it ("SQLite", "PostgreSQL").
  std::string dialect;
  // Where a value's table has a column of codes (text, short, without
  // spaces, one per row), the code of the one row that holds the value:
  // the activity 'Install MRI scanner' is 'MEQ-1100'. By the index's
  // column; empty where the table has none.
  struct RowCodes {
    std::string column;  // the table's column of codes
    std::unordered_map<std::string, std::string> of;  // stored value -> its row's code
  };
  std::vector<RowCodes> row_codes;
  // The code of the one row holding `value` in the index's `column`, or null.
  const std::string* row_code(std::uint32_t column, const std::string& value) const;
  std::size_t memory_bytes() const noexcept;
};

// The values of the graph's text columns: from the database file at
// `database` (empty: none; an SQLite file or a PostgreSQL server address),
// else from the columns' statistics (`top_values`). The document the graph
// was built from (`metadata`; a null value when there is none) says what
// the columns' codes stand for in their business rules.
std::shared_ptr<const StoredValues> read_stored_values(const Graph& graph, const std::string& database,
                                                       const Value& metadata);

}  // namespace corvalt::atlanor::detail
