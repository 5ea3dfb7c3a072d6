#include "atlanor/atlanor_py.hpp"

namespace corvalt::py {

void bind_context(AtlanorClass&) {}

}  // namespace corvalt::py
