#include "common/console.hpp"

#include <nanobind/nanobind.h>

#include "common/convert.hpp"

namespace corvalt::py {

Console python_console() {
  return Console([](std::string_view line) {
    nb::gil_scoped_acquire gil;
    nb::object print = nb::module_::import_("builtins").attr("print");
    print(to_python_text(line));
  });
}

}  // namespace corvalt::py
