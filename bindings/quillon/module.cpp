// Corvalt.Quillon: the SQL answering service.
#include <nanobind/nanobind.h>

#include "common/convert.hpp"
#include "common/errors.hpp"
#include "quillon/quillon_py.hpp"

namespace nb = nanobind;

NB_MODULE(Quillon, m) {
  m.doc() = "SQL answering service: AI generation and correction, guarded execution on SQLite, comparison with history, explorations, result summaries, fix log.";
  corvalt::py::register_errors(m);
  // The records the service takes and returns; named in its signatures.
  m.attr("Record") = corvalt::py::record_alias();
  corvalt::py::bind_connection(m);
  corvalt::py::bind_quillon(m);
  corvalt::py::bind_assistant(m);
}
