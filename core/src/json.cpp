// JSON reading and writing with the host's json module behaviour.
//
// Why a hand-written parser: callers (and users reading error messages) see
// exactly what json.loads would report -- the same wording, the same
// code-point position, line and column -- and the documents use the host's
// extensions: NaN / Infinity / -Infinity literals, integers of any size, and
// dict() semantics for a repeated key (first position, last value). None of
// the maintained libraries gives all of that together: RapidJSON, simdjson
// and nlohmann::json each have their own error wording and byte offsets,
// reject or only optionally accept the non-finite literals, and keep either
// the first value or every copy of a repeated key. The grammar itself is
// small, so following the host's scanner step by step is the simplest way to
// be exact.
//
// Speed: the scanner works on raw bytes with pointer arithmetic and a lookup
// table for string bodies; code-point positions are only computed when an
// error is raised (from the byte offset), so valid documents never pay for
// them.
#include "corvalt/json.hpp"

#include <fcntl.h>
#include <simdjson.h>
#include <locale.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "corvalt/errors.hpp"
#include "corvalt/text.hpp"

namespace corvalt::json {

namespace {

// ---------------------------------------------------------------------------
// UTF-8 helpers
// ---------------------------------------------------------------------------

// Code points are appended with text::append_utf8. Surrogates (U+D800..
// U+DFFF) come out as their 3-byte form: the host keeps an unpaired "\ud800"
// escape as a lone surrogate in its str, and this generalised (WTF-8 style)
// encoding is how such a string is carried in our UTF-8 text. The writer
// turns it back into the same "\ud800" escape.

inline bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Code points in [from, to), the unit of the host's error positions.
std::size_t count_code_points(const char* from, const char* to) {
  return text::length(std::string_view(from, static_cast<std::size_t>(to - from)));
}

// ---------------------------------------------------------------------------
// Parser
// ---------------------------------------------------------------------------

// Nesting depth at which the host's recursion guard stops json.loads when it
// is called from shallow code; deeper documents fail there too, and the limit
// keeps our own stack safe.
constexpr int kMaxDepth = 1497;

// Bytes that end the plain part of a string body: the quote, the backslash
// and the control characters that are rejected inside strings.
struct StringStops {
  bool stop[256];
  constexpr StringStops() : stop() {
    for (int c = 0; c < 0x20; ++c) stop[c] = true;
    stop[static_cast<unsigned char>('"')] = true;
    stop[static_cast<unsigned char>('\\')] = true;
  }
};
constexpr StringStops kStops;

// The first byte in [p, end) that ends the plain part of a string body, or
// end. Eight bytes at a time: a byte is a stop when it is the quote, the
// backslash or below 0x20 (bytes from 0x80 up are never stops).
inline const char* scan_string_body(const char* p, const char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  while (end - p >= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    const std::uint64_t quote = w ^ (kOnes * '"');
    const std::uint64_t backslash = w ^ (kOnes * '\\');
    // Zero bytes of quote/backslash, and bytes below 0x20 of w; a high bit
    // set in w itself (0x80 and up) never counts.
    const std::uint64_t hits = ((quote - kOnes) & ~quote) | ((backslash - kOnes) & ~backslash) |
                               ((w - kOnes * 0x20) & ~w);
    const std::uint64_t found = hits & ~w & kHigh;
    if (found) {
      // Borrows only run upwards, so the lowest flagged byte is a real stop.
      return p + (__builtin_ctzll(found) >> 3);
    }
    p += 8;
  }
  while (p < end && !kStops.stop[static_cast<unsigned char>(*p)]) ++p;
  return p;
}

inline bool is_ws(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

inline int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The host's int() refuses decimal strings longer than this by default.
constexpr std::size_t kMaxIntDigits = 4300;

double parse_out_of_range(const char* from, const char* to) {
  // Magnitudes beyond double become inf or (signed) zero, as float() gives;
  // strtod in the "C" locale computes exactly that.
  static locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
  std::string copy(from, to);
  return strtod_l(copy.c_str(), nullptr, c_locale);
}

class Parser {
 public:
  explicit Parser(std::string_view text)
      : text_(text), begin_(text.data()), end_(text.data() + text.size()) {}

  Value parse_document() {
    if (text_.size() >= 3 && static_cast<unsigned char>(text_[0]) == 0xEF &&
        static_cast<unsigned char>(text_[1]) == 0xBB &&
        static_cast<unsigned char>(text_[2]) == 0xBF)
      fail("Unexpected UTF-8 BOM (decode using utf-8-sig)", begin_);
    const char* p = skip_ws(begin_);
    Value v = parse_value(p, 0);
    p = skip_ws(p);
    if (p != end_) fail("Extra data", p);
    return v;
  }

 private:
  [[noreturn]] void fail(const char* msg, const char* at) const {
    std::size_t pos = count_code_points(begin_, at);
    std::size_t lineno = 1;
    const char* last_nl = nullptr;
    for (const char* p = begin_; p < at; ++p) {
      if (*p == '\n') {
        ++lineno;
        last_nl = p;
      }
    }
    std::size_t colno = last_nl ? count_code_points(last_nl, at) : pos + 1;
    throw JsonDecodeError(msg, std::string(text_), pos, lineno, colno);
  }

  const char* skip_ws(const char* p) const {
    while (p < end_ && is_ws(*p)) ++p;
    return p;
  }

  bool literal(const char* p, const char* word, std::size_t n) const {
    return static_cast<std::size_t>(end_ - p) >= n && std::memcmp(p, word, n) == 0;
  }

  // One value starting exactly at p; p is left just after it.
  Value parse_value(const char*& p, int depth) {
    if (p >= end_) fail("Expecting value", p);
    switch (*p) {
      case '"': {
        std::string s;
        p = parse_string(p + 1, s);
        return Value(std::move(s));
      }
      case '{':
        if (depth >= kMaxDepth)
          throw Error("maximum recursion depth exceeded while decoding a JSON object from a "
                      "unicode string");
        return parse_object(p, depth + 1);
      case '[':
        if (depth >= kMaxDepth)
          throw Error("maximum recursion depth exceeded while decoding a JSON array from a "
                      "unicode string");
        return parse_array(p, depth + 1);
      case 'n':
        if (literal(p, "null", 4)) {
          p += 4;
          return Value();
        }
        break;
      case 't':
        if (literal(p, "true", 4)) {
          p += 4;
          return Value(true);
        }
        break;
      case 'f':
        if (literal(p, "false", 5)) {
          p += 5;
          return Value(false);
        }
        break;
      case 'N':
        if (literal(p, "NaN", 3)) {
          p += 3;
          return Value(std::numeric_limits<double>::quiet_NaN());
        }
        break;
      case 'I':
        if (literal(p, "Infinity", 8)) {
          p += 8;
          return Value(std::numeric_limits<double>::infinity());
        }
        break;
      case '-':
        if (literal(p, "-Infinity", 9)) {
          p += 9;
          return Value(-std::numeric_limits<double>::infinity());
        }
        break;
      default:
        break;
    }
    return parse_number(p);
  }

  // Number grammar as the host's scanner reads it: an optional '-', "0" or a
  // digit run not starting with 0, then a fraction only when '.' is followed
  // by a digit and an exponent only when it has digits (otherwise the scan
  // stops before the '.' or 'e' and the caller reports what follows).
  Value parse_number(const char*& p) {
    const char* start = p;
    const char* q = p;
    if (*q == '-') {
      ++q;
      if (q >= end_) fail("Expecting value", start);
    }
    if (*q >= '1' && *q <= '9') {
      ++q;
      while (q < end_ && is_digit(*q)) ++q;
    } else if (*q == '0') {
      ++q;
    } else {
      fail("Expecting value", start);
    }
    bool is_float = false;
    if (end_ - q >= 2 && q[0] == '.' && is_digit(q[1])) {
      is_float = true;
      q += 2;
      while (q < end_ && is_digit(*q)) ++q;
    }
    if (end_ - q >= 2 && (*q == 'e' || *q == 'E')) {
      const char* e_start = q;
      ++q;
      if (end_ - q >= 2 && (*q == '-' || *q == '+')) ++q;
      while (q < end_ && is_digit(*q)) ++q;
      if (is_digit(q[-1]))
        is_float = true;
      else
        q = e_start;
    }
    p = q;
    if (is_float) {
      double d = 0.0;
      auto res = std::from_chars(start, q, d, std::chars_format::general);
      if (res.ec == std::errc::result_out_of_range) d = parse_out_of_range(start, q);
      return Value(d);
    }
    std::int64_t i = 0;
    auto res = std::from_chars(start, q, i);
    if (res.ec == std::errc()) return Value(i);
    std::size_t digits = static_cast<std::size_t>(q - start) - (*start == '-' ? 1 : 0);
    if (digits > kMaxIntDigits)
      throw ValueError("Exceeds the limit (" + std::to_string(kMaxIntDigits) +
                       " digits) for integer string conversion: value has " +
                       std::to_string(digits) +
                       " digits; use sys.set_int_max_str_digits() to increase the limit");
    return Value(BigInt{std::string(start, q)});
  }

  // String body starting just after the opening quote at p - 1. Decodes into
  // out and returns the position after the closing quote.
  const char* parse_string(const char* p, std::string& out) {
    const char* quote = p - 1;
    const char* q = scan_string_body(p, end_);
    if (q < end_ && *q == '"') {  // no escapes: the common case
      out.assign(p, q);
      return q + 1;
    }
    const char* chunk = p;
    for (;;) {
      q = scan_string_body(q, end_);
      if (q >= end_) fail("Unterminated string starting at", quote);
      char c = *q;
      if (c != '"' && c != '\\') fail("Invalid control character at", q);
      out.append(chunk, q);
      if (c == '"') return q + 1;
      const char* esc = q + 1;  // the character after the backslash
      if (esc >= end_) fail("Unterminated string starting at", quote);
      if (*esc != 'u') {
        char r;
        switch (*esc) {
          case '"': r = '"'; break;
          case '\\': r = '\\'; break;
          case '/': r = '/'; break;
          case 'b': r = '\b'; break;
          case 'f': r = '\f'; break;
          case 'n': r = '\n'; break;
          case 'r': r = '\r'; break;
          case 't': r = '\t'; break;
          default: fail("Invalid \\escape", q);
        }
        out.push_back(r);
        chunk = q = esc + 1;
        continue;
      }
      // \uXXXX: the host wants at least one character after the four digits
      // (the closing quote at the earliest), and reports a short or bad
      // escape at its 'u'.
      const char* hex = esc + 1;
      if (end_ - hex <= 4) fail("Invalid \\uXXXX escape", esc);
      std::uint32_t cp = 0;
      for (int k = 0; k < 4; ++k) {
        int h = hex_value(hex[k]);
        if (h < 0) fail("Invalid \\uXXXX escape", esc);
        cp = (cp << 4) | static_cast<std::uint32_t>(h);
      }
      const char* after = hex + 4;
      // A high surrogate followed by a low-surrogate escape makes one code
      // point; any other follower is read again as its own escape.
      if (cp >= 0xD800 && cp <= 0xDBFF && end_ - after > 6 && after[0] == '\\' &&
          after[1] == 'u') {
        std::uint32_t low = 0;
        for (int k = 0; k < 4; ++k) {
          int h = hex_value(after[2 + k]);
          if (h < 0) fail("Invalid \\uXXXX escape", after + 1);
          low = (low << 4) | static_cast<std::uint32_t>(h);
        }
        if (low >= 0xDC00 && low <= 0xDFFF) {
          cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          after += 6;
        }
      }
      text::append_utf8(out, static_cast<char32_t>(cp));
      chunk = q = after;
    }
  }

  // Members and elements are collected on the parser's own stacks (a nested
  // container above its parent's entries) and moved into a container of the
  // exact size at its end: one allocation per container instead of one per
  // growth step, and no half-empty capacity kept for the document's life.
  Value parse_object(const char*& p, int depth) {
    const char* q = skip_ws(p + 1);
    if (q < end_ && *q == '}') {
      p = q + 1;
      return Value(make_record());
    }
    const std::size_t base = members_.size();
    for (;;) {
      if (q >= end_ || *q != '"') fail("Expecting property name enclosed in double quotes", q);
      std::string key;
      q = parse_string(q + 1, key);
      q = skip_ws(q);
      if (q >= end_ || *q != ':') fail("Expecting ':' delimiter", q);
      q = skip_ws(q + 1);
      Value v = parse_value(q, depth);
      members_.emplace_back(std::move(key), std::move(v));
      q = skip_ws(q);
      if (q < end_ && *q == '}') break;
      if (q >= end_ || *q != ',') fail("Expecting ',' delimiter", q);
      q = skip_ws(q + 1);
    }
    p = q + 1;
    RecordPtr rec = make_record();
    take_members(*rec, base);
    return Value(std::move(rec));
  }

  // Moves the members from `base` up into `r` with dict() semantics over the
  // pairs: a repeated key keeps its first position and takes the last value.
  void take_members(Record& r, std::size_t base) {
    const std::size_t n = members_.size() - base;
    auto first = members_.begin() + static_cast<std::ptrdiff_t>(base);
    bool repeated = false;
    if (n <= 16) {
      for (std::size_t i = 1; i < n && !repeated; ++i)
        for (std::size_t j = 0; j < i; ++j)
          if (first[i].first == first[j].first) {
            repeated = true;
            break;
          }
    } else {
      std::vector<std::string_view> keys;
      keys.reserve(n);
      for (std::size_t i = 0; i < n; ++i) keys.push_back(first[i].first);
      std::sort(keys.begin(), keys.end());
      repeated = std::adjacent_find(keys.begin(), keys.end()) != keys.end();
    }
    r.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      Record::Item& item = first[i];
      if (repeated) {
        if (Value* existing = r.find(item.first)) {
          *existing = std::move(item.second);
          continue;
        }
      }
      r.append_new(std::move(item.first), std::move(item.second));
    }
    members_.resize(base);
  }

  Value parse_array(const char*& p, int depth) {
    const char* q = skip_ws(p + 1);
    if (q < end_ && *q == ']') {
      p = q + 1;
      return Value(make_list());
    }
    const std::size_t base = elements_.size();
    for (;;) {
      Value v = parse_value(q, depth);
      elements_.push_back(std::move(v));
      q = skip_ws(q);
      if (q < end_ && *q == ']') break;
      if (q >= end_ || *q != ',') fail("Expecting ',' delimiter", q);
      q = skip_ws(q + 1);
    }
    p = q + 1;
    ListPtr list = make_list();
    list->reserve(elements_.size() - base);
    for (std::size_t i = base; i < elements_.size(); ++i) list->push_back(std::move(elements_[i]));
    elements_.resize(base);
    return Value(std::move(list));
  }

  std::vector<Record::Item> members_;
  std::vector<Value> elements_;
  std::string_view text_;
  const char* begin_;
  const char* end_;
};

// ---------------------------------------------------------------------------
// Writer
// ---------------------------------------------------------------------------

const char kHex[] = "0123456789abcdef";

inline void put_u_escape(std::string& out, std::uint32_t unit) {
  char buf[6] = {'\\', 'u', kHex[(unit >> 12) & 0xF], kHex[(unit >> 8) & 0xF],
                 kHex[(unit >> 4) & 0xF], kHex[unit & 0xF]};
  out.append(buf, 6);
}

// Decodes one code point of possibly imperfect UTF-8 at s[i], advancing i.
// Surrogates in their 3-byte form come back as themselves (see the note on append_utf8 above). A
// byte that starts no valid sequence gives U+FFFD and is skipped alone.
std::uint32_t next_code_point(std::string_view s, std::size_t& i) {
  const auto* d = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  unsigned char c = d[i];
  std::size_t need;
  std::uint32_t cp;
  if (c >= 0xC2 && c <= 0xDF) {
    need = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    need = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    need = 4;
    cp = c & 0x07;
  } else {
    ++i;
    return 0xFFFD;
  }
  if (i + need > n) {
    ++i;
    return 0xFFFD;
  }
  for (std::size_t k = 1; k < need; ++k) {
    if (!is_continuation(d[i + k])) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (d[i + k] & 0x3F);
  }
  static constexpr std::uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[need] || cp > 0x10FFFF) {
    ++i;
    return 0xFFFD;
  }
  i += need;
  return cp;
}

// encode_basestring_ascii: printable ASCII as is, the usual short escapes,
// everything else as \uXXXX (UTF-16 pairs beyond the basic plane).
void put_string(std::string& out, std::string_view s) {
  out.push_back('"');
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    std::size_t run = i;
    while (run < n) {
      unsigned char c = static_cast<unsigned char>(s[run]);
      if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') break;
      ++run;
    }
    out.append(s.data() + i, run - i);
    i = run;
    if (i >= n) break;
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default: put_u_escape(out, c); break;
      }
      continue;
    }
    std::uint32_t cp = next_code_point(s, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put_u_escape(out, 0xD800 | (cp >> 10));
      put_u_escape(out, 0xDC00 | (cp & 0x3FF));
    } else {
      put_u_escape(out, cp);
    }
  }
  out.push_back('"');
}

class Writer {
 public:
  // indent < 0: the one-line form; otherwise spaces per level.
  explicit Writer(int indent) : indent_(indent) {}

  std::string take() { return std::move(out_); }

  void write(const Value& v, int level) {
    switch (v.kind()) {
      case Value::Kind::Null: out_ += "null"; return;
      case Value::Kind::Bool: out_ += v.as_bool() ? "true" : "false"; return;
      case Value::Kind::Int: {
        char buf[24];
        auto res = std::to_chars(buf, buf + sizeof buf, v.as_int());
        out_.append(buf, res.ptr);
        return;
      }
      case Value::Kind::BigInt: out_ += v.as_bigint().digits; return;
      case Value::Kind::Real: {
        double d = v.as_real();
        if (std::isnan(d))
          out_ += "NaN";
        else if (std::isinf(d))
          out_ += d > 0 ? "Infinity" : "-Infinity";
        else
          out_ += real_repr(d);
        return;
      }
      case Value::Kind::Text: put_string(out_, v.as_text()); return;
      case Value::Kind::Bytes:
        throw TypeError("Object of type bytes is not JSON serializable");
      case Value::Kind::List: {
        const List& l = v.as_list();
        if (l.empty()) {
          out_ += "[]";
          return;
        }
        enter(&l, level);
        out_.push_back('[');
        for (std::size_t i = 0; i < l.size(); ++i) {
          if (i) out_.push_back(',');
          separate(level + 1, i == 0);
          write(l[i], level + 1);
        }
        newline(level);
        out_.push_back(']');
        open_.pop_back();
        return;
      }
      case Value::Kind::Record: {
        const Record& r = v.as_record();
        if (r.empty()) {
          out_ += "{}";
          return;
        }
        enter(&r, level);
        out_.push_back('{');
        bool first = true;
        for (const auto& [key, value] : r) {
          if (!first) out_.push_back(',');
          separate(level + 1, first);
          first = false;
          put_string(out_, key);
          out_ += ": ";
          write(value, level + 1);
        }
        newline(level);
        out_.push_back('}');
        open_.pop_back();
        return;
      }
    }
  }

 private:
  // Containers currently being written: meeting one again is a cycle, which
  // the host reports instead of recursing forever. A container shared by
  // several keys is fine.
  void enter(const void* container, int level) {
    for (const void* open : open_)
      if (open == container) throw ValueError("Circular reference detected");
    // Roughly where the host's own recursion limit stops each form.
    if (indent_ >= 0 ? level >= 995 : level >= 1497)
      throw Error(indent_ >= 0 ? "maximum recursion depth exceeded"
                               : "maximum recursion depth exceeded while encoding a JSON object");
    open_.push_back(container);
  }

  // Before an element: a line break and indentation in the indented form,
  // a space after the comma in the one-line form.
  void separate(int level, bool first) {
    if (indent_ >= 0)
      newline(level);
    else if (!first)
      out_.push_back(' ');
  }

  void newline(int level) {
    if (indent_ < 0) return;
    out_.push_back('\n');
    out_.append(static_cast<std::size_t>(level) * static_cast<std::size_t>(indent_), ' ');
  }

  int indent_;
  std::string out_;
  std::vector<const void*> open_;
};

// open() as the host words its failure: "[Errno N] <strerror>: '<path>'".
[[noreturn]] void throw_os_error(int err, const std::string& path) {
  throw OsError("[Errno " + std::to_string(err) + "] " + std::strerror(err) + ": " +
                text::py_repr(path));
}

// Memory for a large buffer that is filled once: mapped pages, backed by
// huge pages where the kernel offers them on request. Touching tens of
// megabytes of fresh memory page by page costs about as much as reading a
// document, and huge pages take most of that away.
void advise_huge_pages(void* start, std::size_t bytes) {
  constexpr std::uintptr_t kPage = 4096;
  const auto from = (reinterpret_cast<std::uintptr_t>(start) + kPage - 1) & ~(kPage - 1);
  const auto to = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(kPage - 1);
  if (to > from + (2u << 20)) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

class FileBuffer {
 public:
  FileBuffer() = default;
  ~FileBuffer() {
    if (data_) ::munmap(data_, capacity_);
  }
  FileBuffer(const FileBuffer&) = delete;
  FileBuffer& operator=(const FileBuffer&) = delete;

  char* data() const noexcept { return data_; }
  std::size_t size() const noexcept { return size_; }
  std::size_t capacity() const noexcept { return capacity_; }
  std::string_view view() const noexcept { return {data_, size_}; }
  void set_size(std::size_t n) noexcept { size_ = n; }
  // Room for at least `n` bytes, keeping the first size() bytes.
  void reserve(std::size_t n) {
    if (n <= capacity_) return;
    const std::size_t bytes = (n + 4095) & ~std::size_t{4095};
    void* p = data_ ? ::mremap(data_, capacity_, bytes, MREMAP_MAYMOVE)
                    : ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<char*>(p);
    capacity_ = bytes;
    advise_huge_pages(data_, capacity_);
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// The whole file, with the room past the end that the fast reader may look
// at; a file that grows while read is read to its end.
void read_file_into(const std::string& path, FileBuffer& out) {
  if (path.find('\0') != std::string::npos) throw ValueError("embedded null byte");
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw_os_error(errno, path);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    throw_os_error(err, path);
  }
  if (S_ISDIR(st.st_mode)) {  // the host's open() refuses directories up front
    ::close(fd);
    throw_os_error(EISDIR, path);
  }
  const std::size_t size = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
  out.reserve(std::max<std::size_t>(size + 1, 1 << 16) + simdjson::SIMDJSON_PADDING);
  std::size_t have = 0;
  for (;;) {
    if (have + simdjson::SIMDJSON_PADDING >= out.capacity()) out.reserve(out.capacity() * 2);
    ssize_t got =
        ::read(fd, out.data() + have, out.capacity() - simdjson::SIMDJSON_PADDING - have);
    if (got < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      throw_os_error(err, path);
    }
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
    out.set_size(have);
  }
  ::close(fd);
  out.set_size(have);
}

// Text-mode reading translates "\r\n" and a lone "\r" to "\n" (universal
// newlines), which shows in error lines and positions.
void translate_newlines(std::string& s) {
  std::size_t first = s.find('\r');
  if (first == std::string::npos) return;
  std::size_t w = first;
  for (std::size_t r = first; r < s.size(); ++r) {
    char c = s[r];
    if (c == '\r') {
      s[w++] = '\n';
      if (r + 1 < s.size() && s[r + 1] == '\n') ++r;
    } else {
      s[w++] = c;
    }
  }
  s.resize(w);
}

}  // namespace

Value parse(std::string_view text) { return Parser(text).parse_document(); }

namespace {

// The file's text, checked as the host's strict decoder
// (open(..., encoding="utf-8").read()) checks it.
std::string checked_text(std::string data) {
  std::size_t bad_start = 0, bad_end = 0;
  const char* reason = nullptr;
  if (!text::is_valid_utf8(data, &bad_start, &bad_end, &reason))
    throw UnicodeDecodeError(std::move(data), bad_start, bad_end, reason);
  return data;
}

}  // namespace

Value parse_file(const std::string& path) { return Document::read_file(path)->value(); }

// ---------------------------------------------------------------------------
// Document
// ---------------------------------------------------------------------------

// The fast reader keeps what the exact one would give: integers and reals
// apart (it reads "-0" as the integer 0, as the host does), reals correctly
// rounded, and strings as written. Everything it cannot give the same way it
// refuses (non-finite literals, integers beyond 64 bits, reals beyond
// double, lone surrogates, nesting past its depth, a byte order mark), and
// so does everything invalid; those documents go to the exact reader.
struct Document::Impl {
  simdjson::dom::parser parser;  // owns the compact form
  simdjson::dom::element root;
  bool fast = false;
  Value exact;  // the Values, when the fast reader refused
};

Document::Document(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Document::~Document() = default;

namespace {

// The fast reader over `text`, which must stay readable for
// SIMDJSON_PADDING bytes past its end. Its buffers are sized for the text
// first, so that they can be given huge pages before they are touched.
bool read_fast(simdjson::dom::parser& parser, std::string_view text, simdjson::dom::element& root) {
  const std::size_t capacity = text.size();
  // The document's two buffers are otherwise made only when parsing starts,
  // too late to be advised.
  if (parser.allocate(capacity) != simdjson::SUCCESS || parser.doc.allocate(capacity) != simdjson::SUCCESS)
    return false;
  // The reader's three large buffers, at the sizes it allocates them.
  const std::size_t round = (capacity + 63) & ~std::size_t{63};
  advise_huge_pages(parser.doc.tape.get(), (((capacity + 3) + 63) & ~std::size_t{63}) * 8);
  advise_huge_pages(parser.doc.string_buf.get(), 5 * capacity / 3);
  if (parser.implementation)
    advise_huge_pages(parser.implementation->structural_indexes.get(), round * 4);
  return parser.parse(text.data(), text.size(), false).get(root) == simdjson::SUCCESS;
}

}  // namespace

std::shared_ptr<const Document> Document::parse(std::string text) {
  auto impl = std::make_unique<Impl>();
  if (text.capacity() < text.size() + simdjson::SIMDJSON_PADDING)
    text.reserve(text.size() + simdjson::SIMDJSON_PADDING);
  if (read_fast(impl->parser, text, impl->root)) {
    impl->fast = true;
  } else {
    translate_newlines(text);
    impl->exact = Parser(text).parse_document();
  }
  return std::shared_ptr<const Document>(new Document(std::move(impl)));
}

std::shared_ptr<const Document> Document::read_file(const std::string& path) {
  auto impl = std::make_unique<Impl>();
  std::string text;
  {
    FileBuffer buffer;
    read_file_into(path, buffer);
    // The reader copies what it keeps, so the text can go once it has run.
    // It checks the UTF-8 as strictly as the host's decoder does, so a
    // document it accepts needs no check of its own.
    if (read_fast(impl->parser, buffer.view(), impl->root)) {
      impl->fast = true;
      return std::shared_ptr<const Document>(new Document(std::move(impl)));
    }
    text.assign(buffer.view());
  }
  text = checked_text(std::move(text));
  translate_newlines(text);
  impl->exact = Parser(text).parse_document();
  return std::shared_ptr<const Document>(new Document(std::move(impl)));
}

bool Document::fast() const noexcept { return impl_->fast; }

bool Document::is_record() const noexcept {
  return impl_->fast ? impl_->root.type() == simdjson::dom::element_type::OBJECT
                     : impl_->exact.is_record();
}

namespace {

using simdjson::dom::element;
using simdjson::dom::element_type;

std::string uint64_digits(std::uint64_t u) { return std::to_string(u); }

// The container an element of that known type is.
simdjson::dom::object object_of(element e) {
  simdjson::dom::object o;
  [[maybe_unused]] const auto error = e.get(o);
  return o;
}
simdjson::dom::array array_of(element e) {
  simdjson::dom::array a;
  [[maybe_unused]] const auto error = e.get(a);
  return a;
}

// Moves `items` into `r`, a repeated key keeping its first position and
// taking the last value (few keys: compared pairwise; many: sorted first).
void fill_record(Record& r, std::vector<Record::Item>& items) {
  const std::size_t n = items.size();
  bool repeated = false;
  if (n <= 16) {
    for (std::size_t i = 1; i < n && !repeated; ++i)
      for (std::size_t j = 0; j < i; ++j)
        if (items[i].first == items[j].first) {
          repeated = true;
          break;
        }
  } else {
    std::vector<std::string_view> keys;
    keys.reserve(n);
    for (const auto& item : items) keys.push_back(item.first);
    std::sort(keys.begin(), keys.end());
    repeated = std::adjacent_find(keys.begin(), keys.end()) != keys.end();
  }
  r.reserve(n);
  for (auto& item : items) {
    if (repeated) {
      if (Value* existing = r.find(item.first)) {
        *existing = std::move(item.second);
        continue;
      }
    }
    r.append_new(std::move(item.first), std::move(item.second));
  }
}

Value fast_value(element e) {
  switch (e.type()) {
    case element_type::ARRAY: {
      simdjson::dom::array a = array_of(e);
      ListPtr list = make_list();
      list->reserve(a.size());
      for (element x : a) list->push_back(fast_value(x));
      return Value(std::move(list));
    }
    case element_type::OBJECT: {
      simdjson::dom::object o = object_of(e);
      const std::size_t n = o.size();
      RecordPtr rec = make_record();
      rec->reserve(n);
      if (n <= 16) {
        // Few keys: each is compared with those before it as it comes.
        for (auto field : o) {
          Value v = fast_value(field.value);
          Value* existing = nullptr;
          for (std::size_t k = 0; k < rec->size(); ++k)
            if (rec->item(k).first == field.key) existing = rec->find(field.key);
          if (existing) *existing = std::move(v);
          else rec->append_new(std::string(field.key), std::move(v));
        }
        return Value(std::move(rec));
      }
      std::vector<Record::Item> items;
      items.reserve(n);
      for (auto field : o) items.emplace_back(std::string(field.key), fast_value(field.value));
      fill_record(*rec, items);
      return Value(std::move(rec));
    }
    case element_type::INT64: return Value(e.get_int64().value_unsafe());
    case element_type::UINT64: {
      const std::uint64_t u = e.get_uint64().value_unsafe();
      return Value(BigInt{uint64_digits(u)});
    }
    case element_type::DOUBLE: return Value(e.get_double().value_unsafe());
    case element_type::STRING: return Value(std::string(e.get_string().value_unsafe()));
    case element_type::BOOL: return Value(e.get_bool().value_unsafe());
    case element_type::NULL_VALUE: return Value();
  }
  return Value();
}

void fast_walk(element e, Visitor& v) {
  switch (e.type()) {
    case element_type::ARRAY: {
      simdjson::dom::array a = array_of(e);
      v.begin_list(a.size());
      for (element x : a) fast_walk(x, v);
      v.end_list();
      return;
    }
    case element_type::OBJECT: {
      simdjson::dom::object o = object_of(e);
      v.begin_record(o.size());
      for (auto field : o) {
        v.key(field.key);
        fast_walk(field.value, v);
      }
      v.end_record();
      return;
    }
    case element_type::INT64: v.integer(e.get_int64().value_unsafe()); return;
    case element_type::UINT64: v.big_integer(uint64_digits(e.get_uint64().value_unsafe())); return;
    case element_type::DOUBLE: v.real(e.get_double().value_unsafe()); return;
    case element_type::STRING: v.text(e.get_string().value_unsafe()); return;
    case element_type::BOOL: v.boolean(e.get_bool().value_unsafe()); return;
    case element_type::NULL_VALUE: v.null(); return;
  }
}

void value_walk(const Value& x, Visitor& v) {
  switch (x.kind()) {
    case Value::Kind::Null: v.null(); return;
    case Value::Kind::Bool: v.boolean(x.as_bool()); return;
    case Value::Kind::Int: v.integer(x.as_int()); return;
    case Value::Kind::BigInt: v.big_integer(x.as_bigint().digits); return;
    case Value::Kind::Real: v.real(x.as_real()); return;
    case Value::Kind::Text: v.text(x.as_text()); return;
    case Value::Kind::Bytes: v.text(x.as_bytes().data); return;  // never parsed
    case Value::Kind::List:
      v.begin_list(x.as_list().size());
      for (const Value& item : x.as_list()) value_walk(item, v);
      v.end_list();
      return;
    case Value::Kind::Record:
      v.begin_record(x.as_record().size());
      for (const auto& [key, item] : x.as_record()) {
        v.key(key);
        value_walk(item, v);
      }
      v.end_record();
      return;
  }
}

}  // namespace

Value Document::value() const { return impl_->fast ? fast_value(impl_->root) : impl_->exact; }

// ------------------------------------------------------------------ Node --

namespace {

static_assert(sizeof(element) == 16 && std::is_trivially_copyable_v<element>,
              "a node keeps the fast reader's element in its 16 bytes");

element element_of(const unsigned char* bytes) {
  element e;
  std::memcpy(static_cast<void*>(&e), bytes, sizeof e);
  return e;
}

void store(unsigned char* bytes, const element& e) {
  std::memcpy(bytes, static_cast<const void*>(&e), sizeof e);
}

Value::Kind fast_kind(element e) {
  switch (e.type()) {
    case element_type::ARRAY: return Value::Kind::List;
    case element_type::OBJECT: return Value::Kind::Record;
    case element_type::INT64: return Value::Kind::Int;
    case element_type::UINT64: return Value::Kind::BigInt;
    case element_type::DOUBLE: return Value::Kind::Real;
    case element_type::STRING: return Value::Kind::Text;
    case element_type::BOOL: return Value::Kind::Bool;
    case element_type::NULL_VALUE: return Value::Kind::Null;
  }
  return Value::Kind::Null;
}

}  // namespace

Document::Node Document::root() const {
  Node n;
  if (impl_->fast) store(n.fast_, impl_->root);
  else n.exact_ = &impl_->exact;
  return n;
}

Value::Kind Document::Node::kind() const noexcept {
  return exact_ ? exact_->kind() : fast_kind(element_of(fast_));
}

const char* Document::Node::type_name() const noexcept {
  if (exact_) return exact_->type_name();
  switch (kind()) {
    case Value::Kind::Null: return "NoneType";
    case Value::Kind::Bool: return "bool";
    case Value::Kind::Int:
    case Value::Kind::BigInt: return "int";
    case Value::Kind::Real: return "float";
    case Value::Kind::Text: return "str";
    case Value::Kind::List: return "list";
    case Value::Kind::Record: return "dict";
    default: return "object";
  }
}

std::string_view Document::Node::text() const {
  if (exact_) return exact_->as_text();
  return element_of(fast_).get_string().value_unsafe();
}

std::vector<Document::Node> Document::Node::elements() const {
  std::vector<Node> out;
  if (exact_) {
    const List& list = exact_->as_list();
    out.resize(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) out[i].exact_ = &list[i];
    return out;
  }
  simdjson::dom::array a = array_of(element_of(fast_));
  out.reserve(a.size());
  for (element x : a) store(out.emplace_back().fast_, x);
  return out;
}

void Document::Node::items(void (*fn)(void*, const Node&), void* context) const {
  Node value;
  if (exact_) {
    for (const Value& item : exact_->as_list()) {
      value.exact_ = &item;
      fn(context, value);
    }
    return;
  }
  for (element x : array_of(element_of(fast_))) {
    store(value.fast_, x);
    fn(context, value);
  }
}

void Document::Node::members(void (*fn)(void*, std::string_view, const Node&), void* context) const {
  Node value;
  if (exact_) {
    for (const auto& [key, item] : exact_->as_record()) {
      value.exact_ = &item;
      fn(context, key, value);
    }
    return;
  }
  for (auto field : object_of(element_of(fast_))) {
    store(value.fast_, field.value);
    fn(context, field.key, value);
  }
}

bool Document::Node::find(std::string_view key, Node& out) const {
  if (exact_) {
    const Value* v = exact_->as_record().find(key);
    if (!v) return false;
    out = Node();
    out.exact_ = v;
    return true;
  }
  bool found = false;
  for (auto field : object_of(element_of(fast_))) {
    if (field.key != key) continue;
    out = Node();
    store(out.fast_, field.value);  // the last one wins, as in a dict
    found = true;
  }
  return found;
}

Value Document::Node::value() const { return exact_ ? *exact_ : fast_value(element_of(fast_)); }

void Document::Node::walk(Visitor& visitor) const {
  if (exact_) value_walk(*exact_, visitor);
  else fast_walk(element_of(fast_), visitor);
}

void Document::walk(Visitor& visitor) const {
  if (impl_->fast) fast_walk(impl_->root, visitor);
  else value_walk(impl_->exact, visitor);
}

std::string dump_indented(const Value& value) {
  Writer w(2);
  w.write(value, 0);
  return w.take();
}

std::string dump_compact(const Value& value) {
  Writer w(-1);
  w.write(value, 0);
  return w.take();
}

void append_string(std::string& out, std::string_view text) { put_string(out, text); }

}  // namespace corvalt::json
