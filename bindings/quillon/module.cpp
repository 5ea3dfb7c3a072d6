// Corvalt.Quillon: the SQL answering service.
#include <nanobind/nanobind.h>

#include "common/errors.hpp"
#include "quillon/quillon_py.hpp"

namespace nb = nanobind;

NB_MODULE(Quillon, m) {
  m.doc() = "SQL answering service: guarded execution on SQLite, result summaries, fix log.";
  corvalt::py::register_errors(m);
  corvalt::py::bind_connection(m);
  corvalt::py::bind_quillon(m);
}
