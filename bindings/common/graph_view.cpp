#include "common/graph_view.hpp"

#include <nanobind/stl/shared_ptr.h>
#include <nanobind/stl/string.h>

#include "common/convert.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/release.hpp"

namespace corvalt::py {

namespace {

std::uint64_t edge_key(Graph::Index u, std::size_t pos) {
  return (static_cast<std::uint64_t>(u) << 32) | pos;
}

// Views keep their graph object alive through `owner`.
struct NodeView {
  nb::object owner;
  GraphView* view;
};
struct EdgeView {
  nb::object owner;
  GraphView* view;
};

std::optional<Graph::Index> lookup(const GraphView& g, nb::handle id) {
  if (!PyUnicode_Check(id.ptr())) return std::nullopt;
  return g.graph()->find(utf8_of(id));
}

nb::list node_ids(GraphView& g) {
  const Graph& graph = *g.graph();
  nb::list out;
  for (Graph::Index i = 0; i < graph.node_count(); ++i) out.append(g.node_id(i));
  return out;
}

nb::list nodes_with_data(GraphView& g) {
  const Graph& graph = *g.graph();
  nb::list out;
  for (Graph::Index i = 0; i < graph.node_count(); ++i)
    out.append(nb::make_tuple(g.node_id(i), g.node_dict(i)));
  return out;
}

nb::list edge_list(GraphView& g, bool data) {
  const Graph& graph = *g.graph();
  nb::list out;
  for (Graph::Index u = 0; u < graph.node_count(); ++u) {
    const auto& succ = graph.successors(u);
    if (succ.empty()) continue;
    nb::object uid = g.node_id(u);
    for (std::size_t k = 0; k < succ.size(); ++k) {
      nb::object vid = g.node_id(succ[k].target);
      if (data) out.append(nb::make_tuple(uid, vid, g.edge_dict(u, k)));
      else out.append(nb::make_tuple(uid, vid));
    }
  }
  return out;
}

nb::list successor_ids(GraphView& g, nb::handle id) {
  const Graph& graph = *g.graph();
  nb::list out;
  for (const auto& edge : graph.successors(g.index_of(id))) out.append(g.node_id(edge.target));
  return out;
}

nb::object edge_data(GraphView& g, nb::handle u, nb::handle v, nb::handle fallback) {
  auto ui = lookup(g, u);
  auto vi = lookup(g, v);
  if (!ui || !vi) return nb::borrow(fallback);
  const std::int64_t pos = g.graph()->edge_position(*ui, *vi);
  if (pos < 0) return nb::borrow(fallback);
  return g.edge_dict(*ui, static_cast<std::size_t>(pos));
}

}  // namespace

GraphView::GraphView(std::shared_ptr<const Graph> graph)
    : graph_(std::move(graph)), node_dicts_(graph_->node_count()), node_ids_(graph_->node_count()) {}

GraphView::~GraphView() {
  if (graph_ && graph_->node_count() >= kFreeLaterFrom) release_in_background(std::move(graph_));
}

nb::object GraphView::node_id(Graph::Index i) {
  nb::object& slot = node_ids_[i];
  if (!slot.is_valid()) slot = to_python_text(graph_->id(i));
  return slot;
}

nb::object GraphView::node_dict(Graph::Index i) {
  nb::object& slot = node_dicts_[i];
  if (!slot.is_valid()) slot = to_python(Value(graph_->attrs_ptr(i)));
  return slot;
}

nb::object GraphView::edge_dict(Graph::Index u, std::size_t pos) {
  nb::object& slot = edge_dicts_[edge_key(u, pos)];
  if (!slot.is_valid()) slot = to_python(Value(graph_->successors(u)[pos].attrs));
  return slot;
}

Graph::Index GraphView::index_of(nb::handle id) const {
  if (auto found = lookup(*this, id)) return *found;
  throw NodeNotFound(str_of(id));
}

nb::object wrap_graph(std::shared_ptr<const Graph> graph) {
  return nb::cast(std::make_shared<GraphView>(std::move(graph)));
}

void bind_graph_view(nb::module_& m) {
  if (nb::type<GraphView>().is_valid()) {
    // Another module of the package registered it first.
    m.attr("Graph") = nb::type<GraphView>();
    return;
  }

  nb::class_<NodeView>(m, "NodeView", "The nodes of a Graph: iterable, sized, indexable by id.")
      .def("__len__", [](const NodeView& n) { return n.view->graph()->node_count(); })
      .def("__iter__", [](NodeView& n) { return node_ids(*n.view).attr("__iter__")(); })
      .def("__contains__", [](const NodeView& n, nb::handle id) { return lookup(*n.view, id).has_value(); })
      .def("__getitem__",
           [](const NodeView& n, nb::handle id) {
             auto found = lookup(*n.view, id);
             if (!found) throw KeyError(str_of(id));
             return n.view->node_dict(*found);
           })
      .def(
          "__call__",
          [](NodeView& n, bool data) -> nb::object {
            return data ? nb::object(nodes_with_data(*n.view)) : nb::object(node_ids(*n.view));
          },
          nb::arg("data") = false)
      .def("data", [](const NodeView& n) { return nodes_with_data(*n.view); })
      .def("__repr__", [](NodeView& n) { return nb::repr(node_ids(*n.view)); });

  nb::class_<EdgeView>(m, "EdgeView", "The edges of a Graph as (u, v) pairs in successor order.")
      .def("__len__", [](const EdgeView& e) { return e.view->graph()->edge_count(); })
      .def("__iter__", [](const EdgeView& e) { return edge_list(*e.view, false).attr("__iter__")(); })
      .def("__contains__",
           [](const EdgeView& e, nb::handle pair) {
             if (!PyTuple_Check(pair.ptr()) || PyTuple_GET_SIZE(pair.ptr()) != 2) return false;
             return !edge_data(*e.view, nb::handle(PyTuple_GET_ITEM(pair.ptr(), 0)),
                               nb::handle(PyTuple_GET_ITEM(pair.ptr(), 1)), nb::none())
                         .is_none();
           })
      .def("__getitem__",
           [](const EdgeView& e, nb::handle pair) {
             if (!PyTuple_Check(pair.ptr()) || PyTuple_GET_SIZE(pair.ptr()) != 2)
               throw TypeError("edges[...] takes a (u, v) pair");
             nb::object d = edge_data(*e.view, nb::handle(PyTuple_GET_ITEM(pair.ptr(), 0)),
                                      nb::handle(PyTuple_GET_ITEM(pair.ptr(), 1)), nb::none());
             if (d.is_none()) throw KeyError(str_of(pair));
             return d;
           })
      .def(
          "__call__", [](const EdgeView& e, bool data) { return edge_list(*e.view, data); },
          nb::arg("data") = false)
      .def("data", [](const EdgeView& e) { return edge_list(*e.view, true); })
      .def("__repr__", [](const EdgeView& e) { return nb::repr(edge_list(*e.view, false)); });

  nb::class_<GraphView>(m, "Graph",
                        "A read-only directed graph: nodes in insertion order, successors in "
                        "edge order, an attribute dict on every node and edge.")
      .def_prop_ro("nodes",
                   [](nb::handle self) {
                     return NodeView{nb::borrow(self), nb::inst_ptr<GraphView>(self)};
                   })
      .def_prop_ro("edges",
                   [](nb::handle self) {
                     return EdgeView{nb::borrow(self), nb::inst_ptr<GraphView>(self)};
                   })
      .def("has_node", [](GraphView& g, nb::handle id) { return lookup(g, id).has_value(); },
           nb::arg("n"))
      .def("has_edge",
           [](GraphView& g, nb::handle u, nb::handle v) { return !edge_data(g, u, v, nb::none()).is_none(); },
           nb::arg("u"), nb::arg("v"))
      .def("neighbors", [](GraphView& g, nb::handle id) { return successor_ids(g, id).attr("__iter__")(); },
           nb::arg("n"))
      .def("successors", [](GraphView& g, nb::handle id) { return successor_ids(g, id).attr("__iter__")(); },
           nb::arg("n"))
      .def("get_edge_data", &edge_data, nb::arg("u"), nb::arg("v"), nb::arg("default") = nb::none())
      .def("number_of_nodes", [](const GraphView& g) { return g.graph()->node_count(); })
      .def("number_of_edges", [](const GraphView& g) { return g.graph()->edge_count(); })
      .def("__len__", [](const GraphView& g) { return g.graph()->node_count(); })
      .def("__contains__", [](const GraphView& g, nb::handle id) { return lookup(g, id).has_value(); })
      .def("__iter__", [](GraphView& g) { return node_ids(g).attr("__iter__")(); })
      .def("__repr__", [](const GraphView& g) {
        return "<Corvalt Graph with " + std::to_string(g.graph()->node_count()) + " nodes and " +
               std::to_string(g.graph()->edge_count()) + " edges>";
      });
  m.attr("Graph") = nb::type<GraphView>();
}

}  // namespace corvalt::py
