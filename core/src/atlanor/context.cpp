// The context record: the tables, columns, concepts and rules chosen for a
// question, the joins among the chosen tables and the columns' statistics.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/node_ids.hpp"

namespace corvalt::atlanor {

namespace {

const Value kEmptyText{std::string()};

// Node ids are read the way the host indexes graph.nodes: an absent id is a
// KeyError naming it.
Graph::Index node_index(const Graph& graph, const std::string& id) {
  auto found = graph.find(id);
  if (!found) throw KeyError(id);
  return *found;
}

// A table's name in relationship entries, as in database_objects.
std::string table_name(const std::string& id) { return node_ids::name_of(id, node_ids::kTable); }

// A relationship edge usable for a join: it exists, its record is non-empty
// and it carries a join condition.
const Record* join_edge(const Graph& graph, const std::string& from, const std::string& to) {
  const Record* data = graph.edge_data(from, to);
  if (data && !data->empty() && data->contains("join_condition")) return data;
  return nullptr;
}

RecordPtr relationship_entry(std::string source, std::string target, const Record& edge) {
  return make_record(Record{{"source", std::move(source)},
                            {"target", std::move(target)},
                            {"join_condition", edge.get("join_condition", kEmptyText)},
                            {"description", edge.get("description", kEmptyText)}});
}

// Entries are compared by value (all four keys), as the host's == does.
void append_unique(List& listed, RecordPtr entry) {
  Value candidate(std::move(entry));
  if (std::find(listed.begin(), listed.end(), candidate) == listed.end())
    listed.push_back(std::move(candidate));
}

// First stage: joins among the chosen tables, at most one per pair, the
// forward direction first.
void joins_among_chosen(const Graph& graph, const std::vector<std::string>& tables, List& out) {
  if (tables.size() <= 1) return;
  for (std::size_t i = 0; i + 1 < tables.size(); ++i) {
    for (std::size_t j = i + 1; j < tables.size(); ++j) {
      if (const Record* e = join_edge(graph, tables[i], tables[j])) {
        out.emplace_back(relationship_entry(table_name(tables[i]), table_name(tables[j]), *e));
      } else if (const Record* r = join_edge(graph, tables[j], tables[i])) {
        out.emplace_back(relationship_entry(table_name(tables[j]), table_name(tables[i]), *r));
      }
    }
  }
}

// Second stage: joins from a chosen table to any table the search found,
// following edge direction only.
void joins_to_found(const Graph& graph, const std::vector<std::string>& tables,
                    const std::vector<std::string>& all_tables, List& out) {
  if (all_tables.size() <= 1) return;
  std::vector<std::string> selected;
  selected.reserve(tables.size());
  for (const auto& id : tables) selected.push_back(table_name(id));
  std::vector<std::string> names;
  names.reserve(all_tables.size());
  for (const auto& id : all_tables) names.push_back(table_name(id));
  for (std::size_t i = 0; i < all_tables.size(); ++i) {
    if (std::find(selected.begin(), selected.end(), names[i]) == selected.end()) continue;
    for (std::size_t j = 0; j < all_tables.size(); ++j) {
      if (j == i) continue;
      if (const Record* e = join_edge(graph, all_tables[i], all_tables[j]))
        append_unique(out, relationship_entry(names[i], names[j], *e));
    }
  }
}

// Third stage: the document's relationships that touch a chosen table.
void joins_from_metadata(const Value& metadata, const std::vector<std::string>& tables, List& out) {
  if (!metadata.is_record() || metadata.as_record().empty()) return;
  const Value* relationships = metadata.as_record().find("relationships");
  if (!relationships) return;
  if (!relationships->is_list())
    throw TypeError(std::string("Metadata section 'relationships' must be a list, not ") +
                    relationships->type_name());
  List names;
  names.reserve(tables.size());
  for (const auto& id : tables) names.emplace_back(table_name(id));
  auto chosen = [&](const Value& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  for (const Value& item : relationships->as_list()) {
    if (!item.is_record())
      throw TypeError(std::string("A relationship record must be a JSON object, not ") +
                      item.type_name());
    const Record& rel = item.as_record();
    // to_table is only looked at when from_table is not a chosen table.
    if (!chosen(rel.at("from_table")) && !chosen(rel.at("to_table"))) continue;
    append_unique(out, make_record(Record{{"source", rel.at("from_table")},
                                          {"target", rel.at("to_table")},
                                          {"join_condition", rel.at("join_condition")},
                                          {"description", rel.at("description")}}));
  }
}

// One entry per id, in list order; duplicates stay.
ListPtr object_entries(const Graph* graph, const std::vector<std::string>& ids,
                       std::string_view prefix, bool with_data_type) {
  auto list = make_list();
  list->reserve(ids.size());
  for (const auto& id : ids) {
    const Record& attrs = graph->attrs(node_index(*graph, id));
    Record entry{{"id", id}, {"name", node_ids::name_of(id, prefix)}};
    if (with_data_type) entry.append_new("data_type", attrs.get("data_type", kEmptyText));
    entry.append_new("description", attrs.get("description", kEmptyText));
    list->emplace_back(make_record(std::move(entry)));
  }
  return list;
}

}  // namespace

RecordPtr AtlanorService::generate_output(const std::string& query_text,
                                          const std::vector<std::string>& tables,
                                          const std::vector<std::string>& columns,
                                          const std::vector<std::string>& concepts,
                                          const std::vector<std::string>& rules,
                                          const std::vector<std::string>* all_tables) const {
  // The graph is needed as soon as a node has to be read; a record over no
  // nodes at all can still be built from the document alone.
  const Graph* graph = nullptr;
  bool needs_graph = !tables.empty() || !columns.empty() || !concepts.empty() || !rules.empty() ||
                     (all_tables && all_tables->size() > 1);
  if (needs_graph) graph = require_graph().graph.get();

  auto output = make_record();
  output->append_new("query", query_text);
  auto objects = make_record();
  objects->append_new("tables", object_entries(graph, tables, node_ids::kTable, false));
  objects->append_new("columns", object_entries(graph, columns, node_ids::kColumn, true));
  objects->append_new("concepts", object_entries(graph, concepts, node_ids::kConcept, false));
  output->append_new("database_objects", objects);

  auto business_rules = make_list();
  business_rules->reserve(rules.size());
  for (const auto& id : rules) {
    const Record& attrs = graph->attrs(node_index(*graph, id));
    business_rules->emplace_back(
        make_record(Record{{"id", id}, {"description", attrs.get("description", kEmptyText)}}));
  }
  output->append_new("business_rules", business_rules);

  auto relationships = make_list();
  if (graph) joins_among_chosen(*graph, tables, *relationships);
  if (relationships->empty() && all_tables && graph)
    joins_to_found(*graph, tables, *all_tables, *relationships);
  if (relationships->empty()) joins_from_metadata(metadata_, tables, *relationships);
  output->append_new("relationships", relationships);

  RecordPtr statistics;
  for (const auto& id : columns) {
    const Record& attrs = graph->attrs(node_index(*graph, id));
    if (const Value* stats = attrs.find("statistics")) {
      if (!statistics) statistics = make_record();
      statistics->set(node_ids::name_of(id, node_ids::kColumn), *stats);
    }
  }
  if (statistics) output->append_new("column_statistics", statistics);
  return output;
}

}  // namespace corvalt::atlanor
