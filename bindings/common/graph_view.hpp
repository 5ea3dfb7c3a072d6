// The read-only Python face of a core Graph, with the read API hosts use on a
// networkx DiGraph: nodes / edges views, has_node, has_edge, neighbors,
// successors, get_edge_data, number_of_nodes, number_of_edges.
//
// Attribute dicts are built on first use and the same dict object is handed
// out afterwards, so search results and graph.nodes[id] share them.
#pragma once

#include <nanobind/nanobind.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "corvalt/graph.hpp"

namespace corvalt::py {

namespace nb = nanobind;

class GraphView {
 public:
  explicit GraphView(std::shared_ptr<const Graph> graph);
  // A large graph this view held last is freed off the host's thread.
  ~GraphView();
  GraphView(GraphView&&) noexcept = default;
  GraphView& operator=(GraphView&&) noexcept = default;

  const std::shared_ptr<const Graph>& graph() const noexcept { return graph_; }
  // The node's attribute dict (built once).
  nb::object node_dict(Graph::Index i);
  // The node's id as a str (built once, so its hash is computed once too).
  nb::object node_id(Graph::Index i);
  nb::object edge_dict(Graph::Index u, std::size_t successor_position);
  // Index of a node id, or NodeNotFound.
  Graph::Index index_of(nb::handle id) const;

 private:
  std::shared_ptr<const Graph> graph_;
  std::vector<nb::object> node_dicts_;
  std::vector<nb::object> node_ids_;
  std::unordered_map<std::uint64_t, nb::object> edge_dicts_;
};

// Registers the Graph type on first call in the process (the modules share
// it) and exports it on `m` as `Graph`.
void bind_graph_view(nb::module_& m);

// A new Python Graph object over `graph`.
nb::object wrap_graph(std::shared_ptr<const Graph> graph);

}  // namespace corvalt::py
