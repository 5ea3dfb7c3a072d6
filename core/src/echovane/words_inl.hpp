#pragma once

#include "corvalt/text.hpp"

namespace corvalt::echovane {

namespace detail {
// White space at byte `pos`; `next` receives the position after it.
inline bool space_at(std::string_view s, std::size_t pos, std::size_t& next) noexcept {
  const auto c = static_cast<unsigned char>(s[pos]);
  if (c < 0x80) {
    next = pos + 1;
    // str.isspace() of an ASCII character: \t \n \v \f \r, U+001C..U+001F
    // and the space.
    return (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x20);
  }
  next = pos;
  return text::is_space(text::next_code_point(s, next));
}
}  // namespace detail

template <class Fn>
void for_each_word(std::string_view s, Fn&& fn) {
  const std::size_t n = s.size();
  std::size_t i = 0, next = 0;
  while (i < n) {
    while (i < n && detail::space_at(s, i, next)) i = next;
    if (i >= n) break;
    const std::size_t start = i;
    while (i < n && !detail::space_at(s, i, next)) i = next;
    fn(s.substr(start, i - start));
  }
}

}  // namespace corvalt::echovane
