// Corvalt.Atlanor: the schema knowledge service.
#include <nanobind/nanobind.h>

#include "atlanor/atlanor_py.hpp"
#include "common/convert.hpp"
#include "common/errors.hpp"
#include "common/gc.hpp"
#include "common/host_adapters.hpp"

namespace nb = nanobind;
using namespace corvalt::py;

NB_MODULE(Atlanor, m) {
  m.doc() = "Schema knowledge service: metadata document, knowledge graph, search, context.";
  register_errors(m);
  bind_graph_view(m);
  // The host's Models module is looked up when the module loads, as an
  // import at the top of a Python module would be.
  host_models();
  // The records the service takes and returns; named in its signatures.
  m.attr("Record") = record_alias();
  AtlanorClass cls(m, "AtlanorService", gc_slots<AtlanorPy>(),
                   "Describes the part of a project-scheduling database that a question touches.");
  bind_metadata(cls);
  bind_search(cls);
  bind_context(cls);
  bind_sql(cls);
  bind_processing(cls);
  bind_demo(m);
  bind_profile(m);
}
