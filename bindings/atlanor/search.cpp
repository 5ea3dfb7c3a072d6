// search_by_keywords, get_related_rules and find_path.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "atlanor/atlanor_py.hpp"
#include "common/args.hpp"
#include "common/convert.hpp"
#include "corvalt/errors.hpp"

namespace corvalt::py {

namespace {

nb::object steal_or_raise(PyObject* obj) {
  if (!obj) throw nb::python_error();
  return nb::steal(obj);
}

// A dict with room for `n` entries from the start.
PyObject* dict_for(std::size_t n) {
#if PY_VERSION_HEX < 0x030D0000
  return _PyDict_NewPresized(static_cast<Py_ssize_t>(n));
#else
  (void)n;
  return PyDict_New();
#endif
}

// (list of (node_id, attribute dict) best first, {node_id: [reasons]} in node
// order). The dicts are the graph's own, as graph.nodes[node_id] returns them.
nb::object search_by_keywords(AtlanorPy& self, nb::handle keywords) {
  std::vector<std::string> words = arg_str_list(keywords, "search_by_keywords", "keywords");
  GraphView& view = self.graph_view();
  atlanor::CompactSearchResult found = self.core.search_by_keywords_compact(words);

  GcPause pause;
  // Reason texts repeat across nodes (one per keyword and test): one str each.
  std::vector<nb::object> reason_objects;
  reason_objects.reserve(found.reason_texts.size());
  for (const std::string& reason : found.reason_texts) reason_objects.push_back(to_python_text(reason));

  // Node ids are the graph object's own str objects, shared by the list and
  // the dict.
  nb::object match_map = steal_or_raise(dict_for(found.matched.size()));
  for (std::size_t i = 0; i < found.matched.size(); ++i) {
    const std::uint32_t first = found.reason_begin[i];
    const std::uint32_t count = found.reason_begin[i + 1] - first;
    nb::object list = steal_or_raise(PyList_New(static_cast<Py_ssize_t>(count)));
    for (std::uint32_t k = 0; k < count; ++k)
      PyList_SET_ITEM(list.ptr(), static_cast<Py_ssize_t>(k),
                      Py_NewRef(reason_objects[found.reasons[first + k]].ptr()));
    nb::object id = view.node_id(found.matched[i]);
    if (PyDict_SetItem(match_map.ptr(), id.ptr(), list.ptr()) < 0) throw nb::python_error();
  }

  nb::object results = steal_or_raise(PyList_New(static_cast<Py_ssize_t>(found.ranked.size())));
  for (std::size_t r = 0; r < found.ranked.size(); ++r) {
    const Graph::Index node = found.ranked[r];
    PyObject* pair = PyTuple_New(2);
    if (!pair) throw nb::python_error();
    PyList_SET_ITEM(results.ptr(), static_cast<Py_ssize_t>(r), pair);
    PyTuple_SET_ITEM(pair, 0, view.node_id(node).release().ptr());
    PyTuple_SET_ITEM(pair, 1, view.node_dict(node).release().ptr());
  }
  return nb::make_tuple(results, match_map);
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
