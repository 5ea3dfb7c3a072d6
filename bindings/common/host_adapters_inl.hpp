#pragma once

#include "common/convert.hpp"

namespace corvalt::py {

namespace detail {
[[noreturn]] void rethrow_as_host_error(nb::python_error& e);
}

template <typename Fn>
auto call_host(Fn&& fn) -> decltype(fn()) {
  try {
    return fn();
  } catch (nb::python_error& e) {
    detail::rethrow_as_host_error(e);
  }
}

}  // namespace corvalt::py
