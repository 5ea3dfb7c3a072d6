#include "atlanor/atlanor_py.hpp"

namespace corvalt::py {

void bind_demo(nb::module_&) {}

}  // namespace corvalt::py
