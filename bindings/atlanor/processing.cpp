#include "atlanor/atlanor_py.hpp"

namespace corvalt::py {

void bind_processing(AtlanorClass&) {}

}  // namespace corvalt::py
