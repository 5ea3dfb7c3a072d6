// Mapping of core errors onto the host's exceptions.
#pragma once

#include <nanobind/nanobind.h>

#include <memory>

namespace corvalt::py {

namespace nb = nanobind;

// Registers the translator (every module registers its own copy; nanobind
// tries them in turn) and exports NodeNotFound, the package's own error for a
// node id absent from a graph, on module `m`.
void register_errors(nb::module_& m);

// When the host's signal handlers raise (a Ctrl-C while a statement runs),
// the raised exception, kept as the cause of the core's Interrupted so that
// the translator raises that very exception again. Needs the GIL; null when
// no handler raised.
std::shared_ptr<void> take_signal_exception();

}  // namespace corvalt::py
