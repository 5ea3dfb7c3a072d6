// Corvalt.Echovane: the question history service.
#include <nanobind/nanobind.h>

#include "common/errors.hpp"
#include "common/graph_view.hpp"
#include "echovane/echovane_py.hpp"

namespace nb = nanobind;

NB_MODULE(Echovane, m) {
  m.doc() = "Question history: load earlier questions and find a strong match.";
  corvalt::py::register_errors(m);
  corvalt::py::bind_graph_view(m);
  // The records the service returns; named in its signatures. dict[str, typing.Any]
  nb::handle dict_type(reinterpret_cast<PyObject*>(&PyDict_Type));
  nb::handle str_type(reinterpret_cast<PyObject*>(&PyUnicode_Type));
  m.attr("Record") = dict_type[nb::make_tuple(str_type, nb::module_::import_("typing").attr("Any"))];
  corvalt::py::bind_echovane_service(m);
}
