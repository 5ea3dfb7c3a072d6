// Unicode text helpers with the host's (CPython's) semantics. All text is
// UTF-8; lengths and positions the host sees count code points.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvalt::text {

// Decodes one code point at `pos` (valid UTF-8 assumed) and advances pos.
char32_t next_code_point(std::string_view s, std::size_t& pos) noexcept;
void append_utf8(std::string& out, char32_t cp);

// True when `s` is well-formed UTF-8; otherwise `bad_offset` is the offset of
// the first bad byte and `bad_end` the end of the bad sequence, `reason` the
// host's wording ("invalid start byte", "invalid continuation byte",
// "unexpected end of data").
bool is_valid_utf8(std::string_view s, std::size_t* bad_offset = nullptr,
                   std::size_t* bad_end = nullptr, const char** reason = nullptr) noexcept;

// Number of code points (the host's len()).
std::size_t length(std::string_view s) noexcept;

// str.lower(): full Unicode lower-casing, final sigma, dotted capital I.
std::string lower(std::string_view s);
// True when every byte is ASCII.
bool is_ascii(std::string_view s) noexcept;

// str.isspace() for one code point (what str.split() and str.strip() use).
bool is_space(char32_t cp) noexcept;
// Python re's \w for one code point: str.isalnum() or '_'.
bool is_word_char(char32_t cp) noexcept;

// str.split() with no argument: pieces between runs of white space.
std::vector<std::string_view> split_whitespace(std::string_view s);
// str.strip() with no argument.
std::string_view strip(std::string_view s) noexcept;
// " ".join(...)
std::string join(const std::vector<std::string_view>& parts, std::string_view sep);
std::string join(const std::vector<std::string>& parts, std::string_view sep);

// repr() of a str: quotes chosen as the host chooses them, escapes for
// backslash, the quote, \t \n \r, other non-printable code points as
// \xhh, \uhhhh or \Uhhhhhhhh.
std::string py_repr(std::string_view s);

// Replaces every occurrence of `from` (non-empty) with `to`.
std::string replace_all(std::string_view s, std::string_view from, std::string_view to);
bool starts_with(std::string_view s, std::string_view prefix) noexcept;
bool ends_with(std::string_view s, std::string_view suffix) noexcept;

}  // namespace corvalt::text
