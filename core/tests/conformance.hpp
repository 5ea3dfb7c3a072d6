// Shared by the text-layer tests: the host's recorded answers and small helpers.
#pragma once

#include <string>

#include "corvalt/json.hpp"
#include "corvalt/text.hpp"
#include "corvalt/value.hpp"

namespace corvalt::test_support {

// core/tests/data/cpython-text.json (CORVALT_CONFORMANCE_DIR), read once.
inline const Record& conformance() {
  static const Value doc =
      json::parse_file(std::string(CORVALT_CONFORMANCE_DIR) + "/cpython-text.json");
  return doc.as_record();
}

inline const List& vectors(const char* key) { return conformance().at(key).as_list(); }

inline std::string u8(char32_t cp) {
  std::string s;
  text::append_utf8(s, cp);
  return s;
}

inline bool is_surrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

}  // namespace corvalt::test_support
