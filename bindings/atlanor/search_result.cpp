// Keyword search results as the host's objects: the one converter for them.
#include <cstdint>
#include <string>
#include <vector>

#include "atlanor/atlanor_py.hpp"
#include "common/convert.hpp"

namespace corvalt::py {

namespace {

nb::object steal_or_raise(PyObject* obj) {
  if (!obj) throw nb::python_error();
  return nb::steal(obj);
}

}  // namespace

// (list of (node_id, attribute dict) best first, {node_id: [reasons]} in node
// order). The dicts are the graph's own, as graph.nodes[node_id] returns them.
nb::object search_result_to_python(GraphView& view, const atlanor::CompactSearchResult& found) {
  GcPause pause;
  // Reason texts repeat across nodes (one per keyword and test): one str each.
  std::vector<nb::object> reason_objects;
  reason_objects.reserve(found.reason_texts.size());
  for (const std::string& reason : found.reason_texts) reason_objects.push_back(to_python_text(reason));

  // Node ids are the graph object's own str objects, shared by the list and
  // the dict.
  nb::object match_map = steal_or_raise(presized_dict(found.matched.size()));
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

}  // namespace corvalt::py
