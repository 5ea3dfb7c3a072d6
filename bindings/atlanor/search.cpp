#include "atlanor/atlanor_py.hpp"

namespace corvalt::py {

void bind_search(AtlanorClass&) {}

}  // namespace corvalt::py
