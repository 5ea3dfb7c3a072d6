// Unicode text helpers with the host's str semantics.
//
// Why ICU and not a lighter table library: str.lower() is the *full* case
// mapping (U+0130 becomes "i\u0307") with the context-dependent Final_Sigma
// rule, which needs the Cased and Case_Ignorable properties of the letters
// around each capital sigma; repr() needs general categories to decide which
// characters are printable. ICU 72 implements all of this on Unicode 15.0,
// the version of the host's own tables. utf8proc only offers simple
// one-to-one mappings and no Final_Sigma context.
//
// ICU is only reached for non-ASCII text: lower() runs over every stored text
// when a graph is built, and almost all of it is ASCII.

#include "corvalt/text.hpp"

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/stringpiece.h>
#include <unicode/uchar.h>

#include <climits>
#include <cstdint>
#include <cstring>

#include "corvalt/errors.hpp"

namespace corvalt::text {

namespace {

constexpr bool is_continuation(unsigned char b) noexcept { return (b & 0xC0) == 0x80; }

constexpr char ascii_lower(char c) noexcept {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

constexpr bool ascii_space(unsigned char c) noexcept {
  // \t \n \v \f \r, the four information separators U+001C..U+001F, space.
  return (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x20);
}

// Decodes the code point at `pos` and reports where it ends; the fast paths
// of split/strip only need this for bytes >= 0x80.
inline bool space_at(std::string_view s, std::size_t pos, std::size_t& next) noexcept {
  const auto c = static_cast<unsigned char>(s[pos]);
  if (c < 0x80) {
    next = pos + 1;
    return ascii_space(c);
  }
  next = pos;
  return is_space(next_code_point(s, next));
}

const char kHex[] = "0123456789abcdef";

void append_hex_escape(std::string& out, char prefix, char32_t cp, int digits) {
  out.push_back('\\');
  out.push_back(prefix);
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kHex[(cp >> shift) & 0xF]);
}

// str.isprintable() for a non-ASCII code point: everything except the
// "Other" and "Separator" categories (the ASCII space is handled by callers).
bool is_printable_non_ascii(char32_t cp) noexcept {
  constexpr uint32_t kNonPrintable = U_GC_CC_MASK | U_GC_CF_MASK | U_GC_CS_MASK | U_GC_CO_MASK |
                                     U_GC_CN_MASK | U_GC_ZL_MASK | U_GC_ZP_MASK | U_GC_ZS_MASK;
  return (U_GET_GC_MASK(static_cast<UChar32>(cp)) & kNonPrintable) == 0;
}

}  // namespace

char32_t next_code_point(std::string_view s, std::size_t& pos) noexcept {
  const std::size_t n = s.size();
  if (pos >= n) return 0;
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int extra;
  char32_t cp;
  if (b0 >= 0xF0) {
    extra = 3;
    cp = b0 & 0x07;
  } else if (b0 >= 0xE0) {
    extra = 2;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xC0) {
    extra = 1;
    cp = b0 & 0x1F;
  } else {
    // A stray continuation byte: not valid UTF-8, step over it.
    ++pos;
    return 0xFFFD;
  }
  for (int i = 1; i <= extra; ++i) {
    // Stop at a missing or non-continuation byte: the sequence is broken.
    if (pos + i >= n || !is_continuation(static_cast<unsigned char>(s[pos + i]))) {
      pos += i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (static_cast<unsigned char>(s[pos + i]) & 0x3F);
  }
  pos += extra + 1;
  return cp;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF) cp = 0xFFFD;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Mirrors the host's UTF-8 decoder: which byte it blames, how far the bad
// sequence reaches and the reason it gives. Overlong forms, surrogates and
// code points above U+10FFFF are rejected at the second byte, so they count
// as an "invalid continuation byte" of length one.
//
// Whole documents pass through here (the metadata and history files), and
// they are mostly ASCII, so ASCII is skipped eight bytes at a time.
bool is_valid_utf8(std::string_view s, std::size_t* bad_offset, std::size_t* bad_end,
                   const char** reason) noexcept {
  const std::size_t n = s.size();
  std::size_t i = 0;
  auto fail = [&](std::size_t start, std::size_t end, const char* why) {
    if (bad_offset) *bad_offset = start;
    if (bad_end) *bad_end = end;
    if (reason) *reason = why;
    return false;
  };
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  while (i < n) {
    for (std::uint64_t word; i + 8 <= n; i += 8) {
      std::memcpy(&word, s.data() + i, 8);
      if (word & 0x8080808080808080ULL) break;
    }
    if (i >= n) break;
    const unsigned char c = byte(i);
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c < 0xC2 || c > 0xF4) return fail(i, i + 1, "invalid start byte");
    const std::size_t left = n - i;
    if (c < 0xE0) {
      if (left < 2) return fail(i, n, "unexpected end of data");
      if (!is_continuation(byte(i + 1))) return fail(i, i + 1, "invalid continuation byte");
      i += 2;
      continue;
    }
    // Allowed range of the second byte: excludes overlong forms (E0, F0),
    // surrogates (ED) and values past U+10FFFF (F4).
    unsigned char lo = 0x80, hi = 0xBF;
    if (c == 0xE0) lo = 0xA0;
    else if (c == 0xED) hi = 0x9F;
    else if (c == 0xF0) lo = 0x90;
    else if (c == 0xF4) hi = 0x8F;
    const std::size_t len = c < 0xF0 ? 3 : 4;
    if (left >= 2) {
      const unsigned char c1 = byte(i + 1);
      if (c1 < lo || c1 > hi) return fail(i, i + 1, "invalid continuation byte");
    }
    for (std::size_t k = 2; k < len && k < left; ++k) {
      if (!is_continuation(byte(i + k))) return fail(i, i + k, "invalid continuation byte");
    }
    if (left < len) return fail(i, n, "unexpected end of data");
    i += len;
  }
  return true;
}

std::size_t length(std::string_view s) noexcept {
  std::size_t count = 0;
  for (char c : s) count += !is_continuation(static_cast<unsigned char>(c));
  return count;
}

bool is_ascii(std::string_view s) noexcept {
  unsigned char acc = 0;
  for (char c : s) acc |= static_cast<unsigned char>(c);
  return acc < 0x80;
}

std::string lower(std::string_view s) {
  if (is_ascii(s)) {
    std::string out(s);
    for (char& c : out) c = ascii_lower(c);
    return out;
  }
  if (s.size() > static_cast<std::size_t>(INT32_MAX)) throw ValueError("text too long to lower-case");
  std::string out;
  out.reserve(s.size() + 8);
  icu::StringByteSink<std::string> sink(&out);
  UErrorCode status = U_ZERO_ERROR;
  // The root locale "" gives the language-independent mappings the host
  // uses (no Turkish or Lithuanian tailoring); Final_Sigma is always on.
  icu::CaseMap::utf8ToLower("", 0, icu::StringPiece(s.data(), static_cast<int32_t>(s.size())), sink,
                            nullptr, status);
  if (U_FAILURE(status)) throw ValueError(std::string("cannot lower-case text: ") + u_errorName(status));
  return out;
}

// The host's white space: bidirectional class WS, B or S, or category Zs.
// In Unicode 15.0 that is exactly these 29 code points.
bool is_space(char32_t cp) noexcept {
  if (cp < 0x80) return ascii_space(static_cast<unsigned char>(cp));
  switch (cp) {
    case 0x85: case 0xA0: case 0x1680:
    case 0x2000: case 0x2001: case 0x2002: case 0x2003: case 0x2004: case 0x2005:
    case 0x2006: case 0x2007: case 0x2008: case 0x2009: case 0x200A:
    case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
      return true;
    default:
      return false;
  }
}

// The host's str.isalnum() is true exactly for the letter (L*) and number
// (N*) categories: every code point with a numeric value but outside N* is
// a letter (CJK numerals are Lo).
bool is_word_char(char32_t cp) noexcept {
  if (cp < 0x80) {
    return (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9') ||
           cp == '_';
  }
  if (cp > 0x10FFFF) return false;
  return (U_GET_GC_MASK(static_cast<UChar32>(cp)) & (U_GC_L_MASK | U_GC_N_MASK)) != 0;
}

std::vector<std::string_view> split_whitespace(std::string_view s) {
  std::vector<std::string_view> parts;
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    std::size_t next;
    // Skip a run of white space.
    while (i < n && space_at(s, i, next)) i = next;
    if (i >= n) break;
    const std::size_t start = i;
    // Take a run of anything else.
    while (i < n && !space_at(s, i, next)) i = next;
    parts.push_back(s.substr(start, i - start));
  }
  return parts;
}

std::string_view strip(std::string_view s) noexcept {
  std::size_t begin = 0, next;
  while (begin < s.size() && space_at(s, begin, next)) begin = next;
  std::size_t end = s.size();
  while (end > begin) {
    // Step back to the start of the last code point.
    std::size_t cp_start = end - 1;
    while (cp_start > begin && is_continuation(static_cast<unsigned char>(s[cp_start]))) --cp_start;
    if (!space_at(s, cp_start, next)) break;
    end = cp_start;
  }
  return s.substr(begin, end - begin);
}

namespace {
// Strings: a vector of std::string or std::string_view.
template <class Strings>
std::string join_impl(const Strings& parts, std::string_view sep) {
  if (parts.empty()) return {};
  std::size_t total = sep.size() * (parts.size() - 1);
  for (const auto& p : parts) total += p.size();
  std::string out;
  out.reserve(total);
  bool first = true;
  for (const auto& p : parts) {
    if (!first) out.append(sep);
    out.append(p);
    first = false;
  }
  return out;
}
}  // namespace

std::string join(const std::vector<std::string_view>& parts, std::string_view sep) {
  return join_impl(parts, sep);
}

std::string join(const std::vector<std::string>& parts, std::string_view sep) {
  return join_impl(parts, sep);
}

std::string py_repr(std::string_view s) {
  // Single quotes unless the text holds a single quote and no double quote.
  const bool has_single = s.find('\'') != std::string_view::npos;
  const bool has_double = s.find('"') != std::string_view::npos;
  const char quote = (has_single && !has_double) ? '"' : '\'';

  std::string out;
  out.reserve(s.size() + 2);
  out.push_back(quote);
  std::size_t pos = 0;
  while (pos < s.size()) {
    const auto b = static_cast<unsigned char>(s[pos]);
    if (b < 0x80) {
      ++pos;
      const char c = static_cast<char>(b);
      if (c == quote || c == '\\') {
        out.push_back('\\');
        out.push_back(c);
      } else if (c == '\t') {
        out += "\\t";
      } else if (c == '\n') {
        out += "\\n";
      } else if (c == '\r') {
        out += "\\r";
      } else if (b < 0x20 || b == 0x7F) {
        append_hex_escape(out, 'x', b, 2);
      } else {
        out.push_back(c);
      }
      continue;
    }
    const std::size_t start = pos;
    const char32_t cp = next_code_point(s, pos);
    if (is_printable_non_ascii(cp)) {
      out.append(s.substr(start, pos - start));
    } else if (cp <= 0xFF) {
      append_hex_escape(out, 'x', cp, 2);
    } else if (cp <= 0xFFFF) {
      append_hex_escape(out, 'u', cp, 4);
    } else {
      append_hex_escape(out, 'U', cp, 8);
    }
  }
  out.push_back(quote);
  return out;
}

std::string replace_all(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) throw ValueError("replace_all: empty text to replace");
  std::string out;
  std::size_t last = 0;
  for (std::size_t hit = s.find(from); hit != std::string_view::npos; hit = s.find(from, last)) {
    if (out.empty()) out.reserve(s.size());
    out.append(s.substr(last, hit - last));
    out.append(to);
    last = hit + from.size();
  }
  if (last == 0) return std::string(s);
  out.append(s.substr(last));
  return out;
}

bool starts_with(std::string_view s, std::string_view prefix) noexcept { return s.starts_with(prefix); }

bool ends_with(std::string_view s, std::string_view suffix) noexcept { return s.ends_with(suffix); }

}  // namespace corvalt::text
