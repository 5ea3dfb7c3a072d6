// Atlanor.main(): the demonstration run by `python -m Corvalt`.
#include "atlanor/atlanor_py.hpp"
#include "common/console.hpp"
#include "common/host_adapters.hpp"

namespace corvalt::py {

void bind_demo(nb::module_& m) {
  m.def(
      "main", [] { atlanor::run_demonstration(python_console(), host_models()); },
      nb::sig("def main() -> None"),
      "Load the sample metadata document, build the graph and answer an example question.");
}

}  // namespace corvalt::py
