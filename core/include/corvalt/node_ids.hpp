// Node ids of the knowledge graph: a type prefix followed by the node's name,
// with no separator added ("table:activities", "column:activities.total_float",
// "rule:Negative float", "example:0").
#pragma once

#include <string>
#include <string_view>

#include "corvalt/text.hpp"

namespace corvalt::node_ids {

inline constexpr std::string_view kTable = "table:";
inline constexpr std::string_view kColumn = "column:";
inline constexpr std::string_view kRule = "rule:";
inline constexpr std::string_view kConcept = "concept:";
inline constexpr std::string_view kExample = "example:";
inline constexpr std::string_view kKeyword = "keyword:";
inline constexpr std::string_view kTerm = "term:";

// prefix + name.
inline std::string make_id(std::string_view prefix, std::string_view name) {
  std::string id;
  id.reserve(prefix.size() + name.size());
  id.append(prefix).append(name);
  return id;
}

// A column's id: "column:" + table + "." + column.
inline std::string column_id(std::string_view table, std::string_view column) {
  std::string id;
  id.reserve(kColumn.size() + table.size() + 1 + column.size());
  id.append(kColumn).append(table).append(".").append(column);
  return id;
}

inline bool has_prefix(std::string_view id, std::string_view prefix) noexcept {
  return id.starts_with(prefix);
}

// The name the context record and the SQL assembly give a node: the id with
// every occurrence of `prefix` removed, as the host's id.replace(prefix, "")
// does. So "table:a_table:b" is named "a_b", and a table whose own name holds
// the prefix loses it there too.
inline std::string name_of(std::string_view id, std::string_view prefix) {
  return text::replace_all(id, prefix, "");
}

}  // namespace corvalt::node_ids
