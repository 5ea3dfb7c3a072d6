// Console lines of the core, written through the host's print() so that
// sys.stdout redirection and pytest's capture see them in order with the
// host's own output.
#pragma once

#include "corvalt/console.hpp"

namespace corvalt::py {

Console python_console();

}  // namespace corvalt::py
