// Type checks of the values the core reads from documents and records: a
// value of the wrong type raises TypeError "<what> must be <expected>, not
// <its type>". Shared by the services' source files; not part of the API.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "corvalt/value.hpp"

namespace corvalt {

// What the value is, in pieces that are joined only when it has the wrong
// type (some checks run for every column of a document).
using What = std::initializer_list<std::string_view>;

[[noreturn]] void wrong_type(What what, std::string_view expected, const Value& got);

// The value as a record, a list or a text. `expected` is the type as the
// message words it; the defaults are the metadata document's wording.
inline const Record& record_of(const Value& v, What what,
                               std::string_view expected = "a JSON object") {
  if (!v.is_record()) wrong_type(what, expected, v);
  return v.as_record();
}

inline const List& list_of(const Value& v, What what, std::string_view expected = "a JSON array") {
  if (!v.is_list()) wrong_type(what, expected, v);
  return v.as_list();
}

inline const std::string& text_of(const Value& v, What what,
                                  std::string_view expected = "a string") {
  if (!v.is_text()) wrong_type(what, expected, v);
  return v.as_text();
}

// The text under `key`, or null when the record has none there: for
// records read as advice, where a missing or odd value is skipped.
inline const std::string* find_text(const Record& r, std::string_view key) {
  const Value* v = r.find(key);
  return v && v->is_text() ? &v->as_text() : nullptr;
}

// The same as a text, empty when there is none.
inline std::string text_or_empty(const Record& r, std::string_view key) {
  const std::string* t = find_text(r, key);
  return t ? *t : std::string();
}

}  // namespace corvalt
