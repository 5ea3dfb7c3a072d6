// The connection object behind Quillon.conn.
#include "common/convert.hpp"
#include "corvalt/text.hpp"
#include "quillon/quillon_py.hpp"

namespace corvalt::py {

quillon::Quillon::Unlocker release_gil() {
  return [](const std::function<void()>& work) {
    nb::gil_scoped_release release;
    work();
  };
}

void bind_connection(nb::module_& m) {
  nb::class_<ConnectionPy>(m, "Connection",
                           "The service's database connection (SQLite or PostgreSQL); true while it is open.")
      .def("__bool__", [](const ConnectionPy& self) { return self.db && self.db->is_open(); })
      .def(
          "close",
          [](ConnectionPy& self) {
            if (!self.db) return;
            nb::gil_scoped_release release;
            self.db->close();
          },
          "Close the connection (a statement running on another thread ends first).")
      .def_prop_ro(
          "database_path",
          [](const ConnectionPy& self) -> nb::object {
            if (!self.db) return nb::none();
            return to_python_text(self.db->path());
          },
          nb::for_getter(nb::sig("def database_path(self, /) -> str | None")),
          "The path the connection was opened on.")
      .def("__repr__", [](const ConnectionPy& self) -> nb::str {
        std::string state = self.db && self.db->is_open() ? "open" : "closed";
        std::string path = self.db ? text::py_repr(self.db->path()) : "None";
        return nb::borrow<nb::str>(to_python_text("<Connection " + path + " " + state + ">"));
      });
}

}  // namespace corvalt::py
