#include "utf8.hpp"

#include "corvalt/quillon.hpp"
#include "corvalt/text.hpp"

namespace corvalt::quillon {

std::string replace_invalid_utf8(std::string_view s) {
  std::size_t start = 0, end = 0;
  if (text::is_valid_utf8(s, &start, &end)) return std::string(s);
  std::string out;
  out.reserve(s.size() + 8);
  while (!text::is_valid_utf8(s, &start, &end)) {
    out.append(s.substr(0, start));
    for (std::size_t i = start; i < end; ++i) out.append("\xEF\xBF\xBD");
    s.remove_prefix(end);
  }
  out.append(s);
  return out;
}

}  // namespace corvalt::quillon
