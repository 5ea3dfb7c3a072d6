// What lexical linking reads of a database beside its metadata document:
// the stored values of its text columns (values.hpp) and the form its dates
// are stored in. Made once per knowledge graph and database, then shared.
#pragma once

#include <memory>
#include <string>

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
};

// The values of the graph's text columns: from the database file at
// `database` (empty: none; an SQLite file or a PostgreSQL server address),
// else from the columns' statistics (`top_values`). The document the graph
// was built from (`metadata`; a null value when there is none) says what
// the columns' codes stand for in their business rules.
std::shared_ptr<const StoredValues> read_stored_values(const Graph& graph, const std::string& database,
                                                       const Value& metadata);

}  // namespace corvalt::atlanor::detail
