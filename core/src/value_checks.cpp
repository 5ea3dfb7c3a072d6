#include "value_checks.hpp"

#include "corvalt/errors.hpp"

namespace corvalt {

void wrong_type(What what, std::string_view expected, const Value& got) {
  std::string message;
  for (std::string_view piece : what) message += piece;
  message += " must be ";
  message += expected;
  message += ", not ";
  message += got.type_name();
  throw TypeError(message);
}

}  // namespace corvalt
