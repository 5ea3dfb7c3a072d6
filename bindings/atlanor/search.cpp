// search_by_keywords, get_related_rules and find_path.
#include <string>
#include <vector>

#include "atlanor/atlanor_py.hpp"
#include "common/args.hpp"
#include "common/convert.hpp"
#include "corvalt/errors.hpp"

namespace corvalt::py {

namespace {

// (list of (node_id, attribute dict) best first, {node_id: [reasons]} in node
// order).
nb::object search_by_keywords(AtlanorPy& self, nb::handle keywords) {
  std::vector<std::string> words = arg_str_list(keywords, "search_by_keywords", "keywords");
  GraphView& view = self.graph_view();
  return search_result_to_python(view, self.core.search_by_keywords_compact(words));
}

// [(rule_id, description)]: the description object is the one the rule's
// attribute dict holds.
nb::object get_related_rules(AtlanorPy& self, nb::handle node_id) {
  std::string id = arg_str(node_id, "get_related_rules", "node_id");
  GraphView& view = self.graph_view();
  const Graph& graph = *view.graph();
  nb::list out;
  for (const auto& [rule, description] : self.core.get_related_rules(id)) {
    nb::object attrs = view.node_dict(rule);
    PyObject* held = PyDict_GetItemString(attrs.ptr(), "description");  // borrowed
    if (!held) throw KeyError("description");
    out.append(nb::make_tuple(to_python_text(graph.id(rule)), nb::borrow(held)));
  }
  return out;
}

// Node ids from start_node to end_node along the fewest edges, or None.
nb::object find_path(AtlanorPy& self, nb::handle start_node, nb::handle end_node) {
  std::string start = arg_str(start_node, "find_path", "start_node");
  std::string end = arg_str(end_node, "find_path", "end_node");
  const Graph& graph = *self.core.require_graph().graph;
  auto path = self.core.find_path(start, end);
  if (!path) return nb::none();
  nb::list out;
  for (Graph::Index node : *path) out.append(to_python_text(graph.id(node)));
  return out;
}

}  // namespace

void bind_search(AtlanorClass& cls) {
  cls.def("search_by_keywords", &search_by_keywords, nb::arg("keywords"),
          nb::sig("def search_by_keywords(self, keywords: list[str]) -> "
                  "tuple[list[tuple[str, Record]], dict[str, list[str]]]"),
          "Score every graph node against `keywords`; returns (results, matches): "
          "[(node_id, attributes)] best first and {node_id: [reasons]}.")
      .def("get_related_rules", &get_related_rules, nb::arg("node_id"),
           nb::sig("def get_related_rules(self, node_id: str) -> list[tuple[str, typing.Any]]"),
           "Business rules of a column, or of a table's columns: [(rule_id, description)].")
      .def("find_path", &find_path, nb::arg("start_node"), nb::arg("end_node"),
           nb::sig("def find_path(self, start_node: str, end_node: str) -> list[str] | None"),
           "Shortest directed path from `start_node` to `end_node` as a list of ids, or None.");
}

}  // namespace corvalt::py
