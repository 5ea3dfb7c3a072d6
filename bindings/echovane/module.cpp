// Corvalt.Echovane: the question history service.
#include <nanobind/nanobind.h>

#include "common/convert.hpp"
#include "common/errors.hpp"
#include "common/graph_view.hpp"
#include "echovane/echovane_py.hpp"

namespace nb = nanobind;

NB_MODULE(Echovane, m) {
  m.doc() = "Question history: load earlier questions and find a strong match.";
  corvalt::py::register_errors(m);
  corvalt::py::bind_graph_view(m);
  // The records the service returns; named in its signatures.
  m.attr("Record") = corvalt::py::record_alias();
  corvalt::py::bind_echovane_service(m);
}
