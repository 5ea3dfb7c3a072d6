// The Python-side AtlanorService: the core service plus the host objects it
// hands back (the verbose value as passed, the AI object, the metadata dict
// and the Graph object), so that repeated reads return the same objects.
#pragma once

#include <nanobind/nanobind.h>

#include <memory>

#include "common/gc.hpp"
#include "common/graph_view.hpp"
#include "common/host_adapters.hpp"
#include "corvalt/atlanor.hpp"

namespace corvalt::py {

namespace nb = nanobind;

struct AtlanorPy {
  AtlanorPy();
  // A copy would share `ai` with this instance.
  AtlanorPy(const AtlanorPy&) = delete;
  AtlanorPy& operator=(const AtlanorPy&) = delete;

  atlanor::AtlanorService core;
  nb::object verbose = nb::bool_(false);
  // The AI object lives in this adapter, which is core.ai for the whole life
  // of the instance and is handed to nothing else.
  std::shared_ptr<PyAiService> ai = std::make_shared<PyAiService>();
  nb::object metadata = nb::none();  // dict built from core.metadata(), or the host's
  nb::object graph = nb::none();     // Graph object over core.graph()

  nb::object mindloom() const { return nb::borrow(ai->object()); }
  void set_verbose(nb::handle value);
  void set_mindloom(nb::handle value);
  // Cyclic GC (common/gc.hpp): every Python reference the instance owns.
  void traverse(GcVisitor& visit) const;
  void clear();
  // The Graph object of the current core graph (None when there is none).
  nb::object graph_object();
  // The GraphView behind graph_object(); the graph must exist.
  GraphView& graph_view();
};

using AtlanorClass = nb::class_<AtlanorPy>;

// Each part of the service binds its own methods (one file each).
void bind_metadata(AtlanorClass& cls);    // construction, attributes, load/build
// Keyword search results as (ranked [(node_id, attributes)], {node_id:
// [reasons]}), with the graph's own id strs and attribute dicts
// (search_result.cpp).
nb::object search_result_to_python(GraphView& view, const atlanor::CompactSearchResult& found);
void bind_search(AtlanorClass& cls);      // search_by_keywords, get_related_rules, find_path
void bind_context(AtlanorClass& cls);     // generate_output, format_as_markdown
void bind_sql(AtlanorClass& cls);         // generate_sql, generate_sql_from_nl, _get_schema_summary
void bind_processing(AtlanorClass& cls);  // process_query and friends
void bind_demo(nb::module_& m);           // the demonstration entry point
// Atlanor.profile_metadata(): column statistics from the database (profile.cpp).
void bind_profile(nb::module_& m);

}  // namespace corvalt::py
