// Corvalt.Atlanor: the schema knowledge service.
#include <nanobind/nanobind.h>

#include "atlanor/atlanor_py.hpp"
#include "common/errors.hpp"
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
  AtlanorClass cls(m, "AtlanorService",
                   "Describes the part of a project-scheduling database that a question touches.");
  bind_metadata(cls);
  bind_search(cls);
  bind_context(cls);
  bind_sql(cls);
  bind_processing(cls);
  bind_demo(m);
}
