// JSON with the host's `json` module semantics.
#pragma once

#include <string>
#include <string_view>

#include "corvalt/value.hpp"

namespace corvalt::json {

// json.loads(): integers and reals kept apart, NaN/Infinity/-Infinity
// accepted, a repeated key keeps its first position with the last value.
// Errors are JsonDecodeError worded and positioned as the host words them.
// `text` must be valid UTF-8.
Value parse(std::string_view text);

// Reads a whole file as UTF-8 and parses it. Throws OsError when it cannot be
// read, UnicodeDecodeError for bad UTF-8, JsonDecodeError for bad JSON.
Value parse_file(const std::string& path);

// json.dumps(value, indent=2): two-space indent, one element per line,
// ", "/": " separators, non-ASCII as \uXXXX escapes, no final line break.
std::string dump_indented(const Value& value);
// json.dumps(value): the compact one-line form used in prompts.
std::string dump_compact(const Value& value);

}  // namespace corvalt::json
