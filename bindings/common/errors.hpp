// Mapping of core errors onto the host's exceptions.
#pragma once

#include <nanobind/nanobind.h>

namespace corvalt::py {

namespace nb = nanobind;

// Registers the translator (once per process) and exports NodeNotFound, the
// package's own error for a node id absent from a graph, on module `m`.
void register_errors(nb::module_& m);

}  // namespace corvalt::py
