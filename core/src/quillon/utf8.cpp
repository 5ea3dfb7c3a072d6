#include "utf8.hpp"

#include <cstdio>

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

std::string utf8_error_text(std::string_view data, std::size_t start, std::size_t end,
                            std::string_view reason) {
  char buf[96];
  if (end == start + 1)
    std::snprintf(buf, sizeof buf, "'utf-8' codec can't decode byte 0x%02x in position %zu: ",
                  static_cast<unsigned char>(data[start]), start);
  else
    std::snprintf(buf, sizeof buf, "'utf-8' codec can't decode bytes in position %zu-%zu: ", start,
                  end - 1);
  return std::string(buf) + std::string(reason);
}

}  // namespace corvalt::quillon
