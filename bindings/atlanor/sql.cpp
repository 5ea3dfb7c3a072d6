#include "atlanor/atlanor_py.hpp"

namespace corvalt::py {

void bind_sql(AtlanorClass&) {}

}  // namespace corvalt::py
