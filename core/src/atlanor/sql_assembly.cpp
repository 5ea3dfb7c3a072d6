// SELECT templates assembled from the knowledge graph: each chosen table under
// a short alias, joined on the conditions stored on relationship edges, and
// each chosen column tested against a placeholder.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/node_ids.hpp"
#include "corvalt/text.hpp"

namespace corvalt::atlanor {

namespace {

constexpr std::string_view kMissingJoin = " ON /* Missing join condition - verify relationship */";

// Aliases of one statement: the table's first letter, lower-cased, then that
// letter numbered 1, 2, ... once it is taken.
class AliasMaker {
 public:
  std::string next(const std::string& table) {
    if (table.empty()) throw ValueError("Cannot derive an alias for an empty table name");
    std::size_t end = 0;
    text::next_code_point(table, end);
    std::string base = text::lower(std::string_view(table).substr(0, end));
    std::string candidate = base;
    for (unsigned n = 1; used_.count(candidate); ++n) candidate = base + std::to_string(n);
    used_.insert(candidate);
    return candidate;
  }

 private:
  std::unordered_set<std::string> used_;
};

// Insertion-ordered table -> alias; a table named again gets its new alias in
// its first place.
class AliasMap {
 public:
  void set(const std::string& table, std::string alias) {
    for (auto& item : items_)
      if (item.first == table) {
        item.second = std::move(alias);
        return;
      }
    items_.emplace_back(table, std::move(alias));
  }
  const std::string& at(const std::string& table) const {
    for (const auto& item : items_)
      if (item.first == table) return item.second;
    throw KeyError(table);
  }
  const std::vector<std::pair<std::string, std::string>>& items() const { return items_; }

 private:
  std::vector<std::pair<std::string, std::string>> items_;
};

// The join condition of edge u -> v when the edge exists with a non-empty
// record holding one.
const Value* join_condition(const Graph& graph, std::optional<Graph::Index> u,
                            std::optional<Graph::Index> v) {
  if (!u || !v) return nullptr;
  const Record* data = graph.edge_data(*u, *v);
  if (!data || data->empty()) return nullptr;
  return data->find("join_condition");
}

}  // namespace

std::string AtlanorService::generate_sql(const std::vector<std::string>& table_nodes,
                                         const std::vector<std::string>* condition_nodes) const {
  const Graph& graph = *require_graph().graph;
  if (table_nodes.empty()) return "No tables selected for query";

  std::vector<std::string> from_tables;
  from_tables.reserve(table_nodes.size());
  AliasMaker aliases_made;
  AliasMap aliases;
  for (const auto& id : table_nodes) {
    std::string name = node_ids::name_of(id, node_ids::kTable);
    aliases.set(name, aliases_made.next(name));
    from_tables.push_back(std::move(name));
  }

  std::vector<std::string> join_clauses;
  if (table_nodes.size() >= 2) {
    std::vector<std::optional<Graph::Index>> nodes;
    nodes.reserve(table_nodes.size());
    for (const auto& id : table_nodes) nodes.push_back(graph.find(id));
    for (std::size_t i = 1; i < table_nodes.size(); ++i) {
      const std::string& current = from_tables[i];
      const Value* condition = nullptr;
      for (std::size_t prev = 0; prev < i && !condition; ++prev) {
        condition = join_condition(graph, nodes[prev], nodes[i]);
        if (!condition) condition = join_condition(graph, nodes[i], nodes[prev]);
      }
      std::string clause = "JOIN " + current + " " + aliases.at(current);
      if (condition) {
        if (!condition->is_text())
          throw TypeError(std::string("join_condition must be a string, not ") +
                          condition->type_name());
        // Every aliased table's "name." becomes "alias.", not only the two
        // tables being joined: conditions may mention a third table.
        std::string rewritten = condition->as_text();
        for (const auto& [table, alias] : aliases.items())
          rewritten = text::replace_all(rewritten, table + ".", alias + ".");
        clause += " ON " + rewritten;
      } else {
        clause += kMissingJoin;
      }
      join_clauses.push_back(std::move(clause));
    }
  }

  std::vector<std::string> where_clauses;
  if (condition_nodes) {
    for (const auto& id : *condition_nodes) {
      auto index = graph.find(id);
      if (!index) throw KeyError(id);
      if (graph.attrs(*index).at("type") == Value("column"))
        where_clauses.push_back(node_ids::name_of(id, node_ids::kColumn) + " = ?");
    }
  }

  std::string sql = "SELECT ";
  bool first = true;
  for (const auto& item : aliases.items()) {
    if (!first) sql += ", ";
    first = false;
    sql += item.second + ".*";
  }
  sql += "\nFROM " + from_tables[0] + " " + aliases.at(from_tables[0]);
  for (const auto& clause : join_clauses) sql += "\n" + clause;
  if (!where_clauses.empty()) sql += "\nWHERE " + text::join(where_clauses, " AND ");
  return sql;
}

}  // namespace corvalt::atlanor
