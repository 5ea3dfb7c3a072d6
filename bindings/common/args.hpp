// Argument checks at the host boundary: a wrong type raises TypeError naming
// the function and the argument, before any work is done.
#pragma once

#include <nanobind/nanobind.h>

#include <optional>
#include <string>
#include <vector>

namespace corvalt::py {

namespace nb = nanobind;

[[noreturn]] void wrong_type(const char* function, const char* argument, const char* expected,
                             nb::handle got);

// str
std::string arg_str(nb::handle obj, const char* function, const char* argument);
// str or None
std::optional<std::string> arg_opt_str(nb::handle obj, const char* function, const char* argument);
// list (of anything)
void arg_list(nb::handle obj, const char* function, const char* argument);
// list of str (elements checked too)
std::vector<std::string> arg_str_list(nb::handle obj, const char* function, const char* argument);
// dict
void arg_dict(nb::handle obj, const char* function, const char* argument);
// Python truth of an object (raising what its __bool__ raises).
bool truth(nb::handle obj);

}  // namespace corvalt::py
