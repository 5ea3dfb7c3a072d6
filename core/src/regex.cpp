// Regular expressions over PCRE2 with the host's `re` semantics.
//
// PCRE2 runs in UTF + UCP mode, where \w (letters, numbers, '_'), \d (decimal
// digits) and \b are defined as in the host. The remaining differences are
// bridged by rewriting the pattern before compiling it:
//   \s, \S      the host's white space (str.isspace) includes U+001C..U+001F
//               and excludes U+180E; both are spelled out as explicit sets
//   \w \d \b    PCRE2 10.42's tables are Unicode 14.0, the host's 15.0: the
//               letters and digits added since are added from ICU's tables
//   \Z          end of text only (PCRE2's \Z also matches before a final "\n")
//   \v          a vertical tab character, not a class
//   \uXXXX, \UXXXXXXXX, \N{NAME}, octal escapes in sets: the host's spelling
//   {,n}        means {0,n}
//   [ in a set  always literal (PCRE2 would read [:alpha:] as a class)
//   unknown ASCII-letter escapes are errors as in the host (\e, \p, \Q ...)
// Ignore-case adds the few equivalences the host has and PCRE2's case
// folding lacks (i, I, U+0130 and U+0131 above all).
//
// A compiled pattern is immutable and shared by all threads; each thread
// matches with its own match data.

#include "corvalt/regex.hpp"

#include <pcre2.h>
#include <unicode/uchar.h>
#include <unicode/uniset.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "corvalt/errors.hpp"
#include "corvalt/text.hpp"

namespace corvalt {

namespace {

// str.isspace() as set items, and its complement over all code points.
constexpr std::string_view kSpaceItems =
    "\\t\\n\\x0B\\f\\r\\x1C-\\x20\\x85\\xA0\\x{1680}\\x{2000}-\\x{200A}\\x{2028}\\x{2029}"
    "\\x{202F}\\x{205F}\\x{3000}";
constexpr std::string_view kNonSpaceItems =
    "\\x00-\\x08\\x0E-\\x1B\\x21-\\x84\\x86-\\x9F\\xA1-\\x{167F}\\x{1681}-\\x{1FFF}"
    "\\x{200B}-\\x{2027}\\x{202A}-\\x{202E}\\x{2030}-\\x{205E}\\x{2060}-\\x{2FFF}"
    "\\x{3001}-\\x{10FFFF}";
// Letters the host treats as one under ignore-case but PCRE2 does not: the
// host compares simple lower cases and adds a few equivalences of its own
// (dotless i; Greek and ligature pairs that PCRE2 10.42's folding lacks).
struct CaseGroup {
  char32_t members[4];
  std::string_view items;
};
constexpr CaseGroup kCaseGroups[] = {
    {{'i', 'I', 0x130, 0x131}, "iI\\x{130}\\x{131}"},
    {{0x390, 0x1FD3, 0x390, 0x390}, "\\x{390}\\x{1FD3}"},
    {{0x3B0, 0x1FE3, 0x3B0, 0x3B0}, "\\x{3B0}\\x{1FE3}"},
    {{0xFB05, 0xFB06, 0xFB05, 0xFB05}, "\\x{FB05}\\x{FB06}"},
};

const CaseGroup* case_group(char32_t cp) noexcept {
  for (const CaseGroup& g : kCaseGroups) {
    for (char32_t m : g.members) {
      if (m == cp) return &g;
    }
  }
  return nullptr;
}

std::string hex_code_point(char32_t cp);

// PCRE2's property tables may be older than the host's Unicode version
// (PCRE2 10.42 has Unicode 14.0, the host 15.0), so letters and digits added
// since are unknown to its \w, \d and \b. These sets close that gap using
// ICU, whose tables match the host's.
struct UnicodeGap {
  std::string word_extra;      // set items: letters/numbers PCRE2 does not know
  std::string digit_extra;     // set items: decimal digits PCRE2 does not know
  std::string non_word_items;  // set items: the complement of the host's \w
  std::string non_digit_items; // set items: the complement of the host's \d

  static std::string items(const icu::UnicodeSet& set) {
    std::string out;
    for (int32_t i = 0; i < set.getRangeCount(); ++i) {
      const auto lo = static_cast<char32_t>(set.getRangeStart(i));
      const auto hi = static_cast<char32_t>(set.getRangeEnd(i));
      out += hex_code_point(lo);
      if (hi != lo) {
        out += '-';
        out += hex_code_point(hi);
      }
    }
    return out;
  }

  static icu::UnicodeSet make_set(const std::string& pattern) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeSet set(icu::UnicodeString::fromUTF8(pattern), status);
    if (U_FAILURE(status)) throw ValueError("cannot build Unicode set " + pattern);
    // PCRE2 in UTF mode rejects surrogates as range ends.
    set.remove(0xD800, 0xDFFF);
    return set;
  }

  UnicodeGap() {
    char version[32] = "0.0";
    pcre2_config(PCRE2_CONFIG_UNICODE_VERSION, version);
    std::string pcre_version(version);
    // "14.0.0" -> "14.0": ICU's Age sets hold everything assigned up to then.
    if (const auto dot = pcre_version.find('.', pcre_version.find('.') + 1); dot != std::string::npos) {
      pcre_version.resize(dot);
    }
    const std::string known = "\\p{Age=" + pcre_version + "}";
    // An age ICU does not know means PCRE2's tables are the newer ones:
    // nothing to add then.
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeSet probe(icu::UnicodeString::fromUTF8("[" + known + "]"), status);
    if (U_SUCCESS(status)) {
      word_extra = items(make_set("[[\\p{L}\\p{N}]-[" + known + "]]"));
      digit_extra = items(make_set("[\\p{Nd}-[" + known + "]]"));
    }
    non_word_items = items(make_set("[^\\p{L}\\p{N}_]"));
    non_digit_items = items(make_set("[^\\p{Nd}]"));
  }
};

const UnicodeGap& unicode_gap() {
  static const UnicodeGap gap;
  return gap;
}

bool is_hex(char c) noexcept {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string hex_code_point(char32_t cp) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  do {
    hex.insert(hex.begin(), digits[cp & 0xF]);
    cp >>= 4;
  } while (cp != 0);
  return "\\x{" + hex + "}";
}

// Rewrites a pattern written for the host into PCRE2 syntax, remembering for
// every output byte the input offset it came from (for error positions).
class Translator {
 public:
  Translator(std::string_view pattern, bool ignore_case)
      : in_(pattern), ignore_case_(ignore_case) {}

  std::string run() {
    while (pos_ < in_.size()) {
      const char c = in_[pos_];
      if (in_class_) {
        class_member();
      } else if (c == '\\') {
        emit_item(escape());
      } else if (c == '[') {
        open_class();
      } else if (c == '(' && in_.substr(pos_).starts_with("(?#")) {
        comment();
      } else if (c == '{' && in_.substr(pos_).starts_with("{,")) {
        min_less_repeat();
      } else {
        emit_item(literal());
      }
    }
    if (in_class_) fail("unterminated character set", class_start_);
    return std::move(out_);
  }

  // Input byte offset for an offset into the output.
  std::size_t origin(std::size_t out_offset) const {
    if (out_offset < origin_.size()) return origin_[out_offset];
    return in_.size();
  }

 private:
  // One pattern element in PCRE2 spelling; `cp` is set when it stands for a
  // single code point.
  struct Item {
    std::string text;
    std::size_t start;
    bool has_cp = false;
    char32_t cp = 0;
    // Set only for a negated class escape inside a set that cannot be
    // spelled as set items: the positive set, as a standalone set.
    std::string negated_set = {};
  };

  static Item code_point_item(std::string text, std::size_t start, char32_t cp) {
    return Item{std::move(text), start, true, cp};
  }

  void emit(std::string_view s, std::size_t from) {
    out_.append(s);
    origin_.insert(origin_.end(), s.size(), from);
  }

  void emit_item(const Item& item) {
    const CaseGroup* group = ignore_case_ && item.has_cp ? case_group(item.cp) : nullptr;
    if (group != nullptr) {
      if (!in_class_) emit("[", item.start);
      emit(group->items, item.start);
      if (!in_class_) emit("]", item.start);
      return;
    }
    emit(item.text, item.start);
  }

  [[noreturn]] void fail(const std::string& msg, std::size_t at) const {
    throw ValueError(msg + " at position " + std::to_string(text::length(in_.substr(0, at))));
  }

  Item literal() {
    const std::size_t start = pos_;
    const char32_t cp = text::next_code_point(in_, pos_);
    return code_point_item(std::string(in_.substr(start, pos_ - start)), start, cp);
  }

  void open_class() {
    class_start_ = pos_;
    class_out_start_ = out_.size();
    class_negated_ = false;
    class_negated_sets_.clear();
    emit("[", pos_);
    ++pos_;
    in_class_ = true;
    if (pos_ < in_.size() && in_[pos_] == '^') {
      emit("^", pos_);
      ++pos_;
      class_negated_ = true;
    }
    // A ']' right after the opening is a member, not the end.
    if (pos_ < in_.size() && in_[pos_] == ']') {
      emit("\\]", pos_);
      ++pos_;
    }
  }

  Item class_item() {
    if (in_[pos_] == '\\') return escape();
    if (in_[pos_] == '[') return code_point_item("\\[", pos_++, '[');
    return literal();
  }

  void class_member() {
    if (in_[pos_] == ']') {
      close_class();
      return;
    }
    const Item lo = class_item();
    const bool range = pos_ + 1 < in_.size() && in_[pos_] == '-' && in_[pos_ + 1] != ']';
    if (!range) {
      if (lo.negated_set.empty()) {
        emit_item(lo);
      } else {
        class_negated_sets_.push_back(lo.negated_set);
      }
      return;
    }
    ++pos_;
    const Item hi = class_item();
    // Both ends must be single characters (not \w, \s and the like).
    if (!lo.has_cp || !hi.has_cp) {
      fail("bad character range " + std::string(in_.substr(lo.start, pos_ - lo.start)), lo.start);
    }
    emit(lo.text, lo.start);
    emit("-", lo.start);
    emit(hi.text, hi.start);
    // Under ignore-case a range that holds a member of a case group holds
    // the whole group.
    if (ignore_case_ && lo.has_cp && hi.has_cp) {
      for (const CaseGroup& g : kCaseGroups) {
        for (char32_t m : g.members) {
          if (lo.cp <= m && m <= hi.cp) {
            emit(g.items, lo.start);
            break;
          }
        }
      }
    }
  }

  void close_class() {
    const std::size_t close = pos_++;
    in_class_ = false;
    if (class_negated_sets_.empty()) {
      emit("]", close);
      return;
    }
    // The set held negated escapes kept aside: rebuild it as a group.
    // [P\W] is P or a non-word character; [^P\W] is a word character
    // that is not in P.
    std::string body = out_.substr(class_out_start_ + (class_negated_ ? 2 : 1));
    if (body.starts_with("^")) body = std::string("\\").append(body);
    out_.resize(class_out_start_);
    origin_.resize(class_out_start_);
    std::string group = "(?:";
    if (!class_negated_) {
      if (!body.empty()) group.append("[").append(body).append("]|");
      for (std::size_t k = 0; k < class_negated_sets_.size(); ++k) {
        if (k > 0) group += "|";
        group += negate_set(class_negated_sets_[k]);
      }
    } else {
      if (!body.empty()) group.append("(?![").append(body).append("])");
      for (std::size_t k = 0; k + 1 < class_negated_sets_.size(); ++k) {
        group.append("(?=").append(class_negated_sets_[k]).append(")");
      }
      group += class_negated_sets_.back();
    }
    group += ")";
    emit(group, class_start_);
  }

  // "(?-i:[...])" -> "(?-i:[^...])"
  static std::string negate_set(const std::string& set) {
    const std::size_t open = set.find('[') + 1;
    std::string out(set, 0, open);
    out.push_back('^');
    out.append(set, open, std::string::npos);
    return out;
  }

  // "(?#...)" is copied as it is: brackets in it are not a set.
  void comment() {
    const std::size_t close = in_.find(')', pos_);
    if (close == std::string_view::npos) fail("missing ), unterminated comment", pos_);
    emit(in_.substr(pos_, close + 1 - pos_), pos_);
    pos_ = close + 1;
  }

  void min_less_repeat() {
    // "{,n}" with n digits and a closing brace is a repeat of 0 to n.
    std::size_t p = pos_ + 2;
    while (p < in_.size() && in_[p] >= '0' && in_[p] <= '9') ++p;
    if (p > pos_ + 2 && p < in_.size() && in_[p] == '}') {
      emit("{0,", pos_);
      pos_ += 2;
      return;
    }
    emit_item(literal());
  }

  Item escape() {
    const std::size_t start = pos_;
    if (pos_ + 1 >= in_.size()) fail("bad escape (end of pattern)", start);
    const char d = in_[pos_ + 1];
    pos_ += 2;
    const auto same = [&] { return Item{std::string(in_.substr(start, 2)), start}; };
    switch (d) {
      case 's':
        return Item{in_class_ ? std::string(kSpaceItems) : own_set(kSpaceItems, false), start};
      case 'S':
        return Item{in_class_ ? std::string(kNonSpaceItems) : own_set(kSpaceItems, true), start};
      case 'v':
        return code_point_item("\\x0B", start, 0x0B);
      case 'Z':
        if (in_class_) fail("bad escape \\Z", start);
        return Item{"\\z", start};
      case 'A':
        if (in_class_) fail("bad escape \\A", start);
        return same();
      case 'B':
        if (in_class_) fail("bad escape \\B", start);
        return word_boundary(start, false);
      case 'b':
        // In a set \b is a backspace.
        if (in_class_) return code_point_item("\\x08", start, 0x08);
        return word_boundary(start, true);
      case 'x':
        return fixed_hex(start, 2);
      case 'u':
        return fixed_hex(start, 4);
      case 'U':
        return fixed_hex(start, 8);
      case 'N':
        return named_char(start);
      case 'a':
        return code_point_item("\\a", start, 0x07);
      case 'f':
        return code_point_item("\\f", start, 0x0C);
      case 'n':
        return code_point_item("\\n", start, 0x0A);
      case 'r':
        return code_point_item("\\r", start, 0x0D);
      case 't':
        return code_point_item("\\t", start, 0x09);
      case 'w':
      case 'd': {
        const std::string& extra = d == 'w' ? unicode_gap().word_extra : unicode_gap().digit_extra;
        if (extra.empty()) return same();
        const std::string inner = std::string(in_.substr(start, 2)) + extra;
        return Item{in_class_ ? inner : own_set(inner, false), start};
      }
      case 'W':
      case 'D': {
        const UnicodeGap& gap = unicode_gap();
        if ((d == 'W' ? gap.word_extra : gap.digit_extra).empty()) return same();
        // Outside a set the negation is a negated set; inside one it has to
        // be spelled out as the complement.
        if (!in_class_) return Item{own_set(word_or_digit(d == 'W'), true), start};
        if (d == 'W' && ignore_case_) {
          // Ignore-case would add the case partners of the set's members,
          // and U+0345 (not a word character) has the letter iota as one.
          return Item{"", start, false, 0, own_set(word_or_digit(true), false)};
        }
        return Item{d == 'W' ? gap.non_word_items : gap.non_digit_items, start};
      }
      default:
        break;
    }
    if ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z')) {
      fail(std::string("bad escape \\") + d, start);
    }
    if (d >= '0' && d <= '9') {
      if (in_class_) return class_octal(start);
      // Group references and octal escapes read the same in PCRE2.
      return same();
    }
    // Escaped punctuation or non-ASCII: the character itself.
    pos_ = start + 1;
    const char32_t cp = text::next_code_point(in_, pos_);
    return code_point_item(std::string(in_.substr(start, pos_ - start)), start, cp);
  }

  // A set made up here, outside any set of the pattern. Its members are
  // closed under case mapping, so it is compiled case-sensitively: that
  // spares PCRE2 from adding the other cases of thousands of code points.
  static std::string own_set(std::string_view items, bool negated) {
    std::string out = negated ? "(?-i:[^" : "(?-i:[";
    out.append(items);
    out += "])";
    return out;
  }

  // "\\w" or "\\d" together with the letters PCRE2 does not know, as set items.
  static std::string word_or_digit(bool word) {
    const UnicodeGap& gap = unicode_gap();
    return word ? "\\w" + gap.word_extra : "\\d" + gap.digit_extra;
  }

  // \b and \B on the host's \w; PCRE2's own only when its tables suffice.
  Item word_boundary(std::size_t start, bool boundary) {
    if (unicode_gap().word_extra.empty()) return Item{boundary ? "\\b" : "\\B", start};
    const std::string w = own_set(word_or_digit(true), false);
    if (boundary) return Item{"(?:(?<=" + w + ")(?!" + w + ")|(?<!" + w + ")(?=" + w + "))", start};
    return Item{"(?:(?<=" + w + ")(?=" + w + ")|(?<!" + w + ")(?!" + w + "))", start};
  }

  // In a set a digit escape is an octal character code of up to 3 digits.
  Item class_octal(std::size_t start) {
    std::size_t p = start + 1;
    char32_t cp = 0;
    while (p < in_.size() && p < start + 4 && in_[p] >= '0' && in_[p] <= '7') {
      cp = cp * 8 + static_cast<char32_t>(in_[p] - '0');
      ++p;
    }
    if (p == start + 1) fail("bad escape " + std::string(in_.substr(start, 2)), start);
    if (cp > 0377) fail("octal escape value " + std::string(in_.substr(start, p - start)) +
                        " outside of range 0-0o377", start);
    pos_ = p;
    return code_point_item(hex_code_point(cp), start, cp);
  }

  Item fixed_hex(std::size_t start, int digits) {
    std::size_t p = pos_;
    char32_t cp = 0;
    for (int k = 0; k < digits; ++k, ++p) {
      if (p >= in_.size() || !is_hex(in_[p])) {
        fail("incomplete escape " + std::string(in_.substr(start, p - start)), start);
      }
      const char h = in_[p];
      cp = cp * 16 + static_cast<char32_t>(h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
    }
    pos_ = p;
    if (cp > 0x10FFFF) fail("bad escape " + std::string(in_.substr(start, p - start)), start);
    return code_point_item(hex_code_point(cp), start, cp);
  }

  Item named_char(std::size_t start) {
    if (pos_ >= in_.size() || in_[pos_] != '{') fail("missing {", pos_);
    const std::size_t close = in_.find('}', pos_ + 1);
    if (close == std::string_view::npos || close == pos_ + 1) fail("missing character name", pos_ + 1);
    const std::string name(in_.substr(pos_ + 1, close - pos_ - 1));
    UErrorCode status = U_ZERO_ERROR;
    UChar32 cp = u_charFromName(U_UNICODE_CHAR_NAME, name.c_str(), &status);
    if (U_FAILURE(status)) {
      status = U_ZERO_ERROR;
      cp = u_charFromName(U_CHAR_NAME_ALIAS, name.c_str(), &status);
    }
    if (U_FAILURE(status) || cp < 0) fail("undefined character name '" + name + "'", start);
    pos_ = close + 1;
    return code_point_item(hex_code_point(static_cast<char32_t>(cp)), start, static_cast<char32_t>(cp));
  }

  std::string_view in_;
  bool ignore_case_;
  std::size_t pos_ = 0;
  bool in_class_ = false;
  std::size_t class_start_ = 0;      // input offset of the open set's '['
  std::size_t class_out_start_ = 0;  // output offset of the open set's '['
  bool class_negated_ = false;
  std::vector<std::string> class_negated_sets_;
  std::string out_;
  std::vector<std::size_t> origin_;
};

// One match data block per thread, shared by every pattern: only the
// overall match is read, so a single ovector pair is enough for any pattern.
struct ThreadMatchData {
  pcre2_match_data* data = pcre2_match_data_create(1, nullptr);
  ~ThreadMatchData() { pcre2_match_data_free(data); }
};

pcre2_match_data* thread_match_data() {
  thread_local ThreadMatchData holder;
  if (holder.data == nullptr) throw std::bad_alloc();
  return holder.data;
}

std::string pcre2_message(int code) {
  PCRE2_UCHAR buffer[256];
  const int n = pcre2_get_error_message(code, buffer, sizeof buffer);
  if (n < 0) return "unknown regular expression error " + std::to_string(code);
  return std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
}

}  // namespace

struct Regex::Impl {
  pcre2_code* code = nullptr;
  ~Impl() { pcre2_code_free(code); }

  // Finds the first match at or after byte `offset`; returns false when
  // there is none, else sets [start, end) to the match's byte range.
  bool match(std::string_view subject, std::size_t offset, uint32_t options, std::size_t& start,
             std::size_t& end) const {
    pcre2_match_data* md = thread_match_data();
    const auto* data = reinterpret_cast<PCRE2_SPTR>(subject.data());
    int rc = pcre2_match(code, data, subject.size(), offset, options, md, nullptr);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
      // The interpreter keeps its backtracking state on the heap.
      rc = pcre2_match(code, data, subject.size(), offset, options | PCRE2_NO_JIT, md, nullptr);
    }
    if (rc == PCRE2_ERROR_NOMATCH) return false;
    // rc == 0 only says that the single ovector pair could not hold the
    // groups; the overall match is there.
    if (rc < 0) throw ValueError("regular expression match failed: " + pcre2_message(rc));
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(md);
    start = ov[0];
    end = ov[1];
    return true;
  }
};

namespace {

struct MatchData {
  pcre2_match_data* data;
  explicit MatchData(const pcre2_code* code)
      : data(pcre2_match_data_create_from_pattern(code, nullptr)) {
    if (data == nullptr) throw std::bad_alloc();
  }
  ~MatchData() { pcre2_match_data_free(data); }
  MatchData(const MatchData&) = delete;
  MatchData& operator=(const MatchData&) = delete;
};

// Runs one match with room for every group; false when there is none.
bool match_groups(const pcre2_code* code, pcre2_match_data* md, std::string_view subject,
                  std::size_t offset, uint32_t options, RegexMatch& out) {
  const auto* data = reinterpret_cast<PCRE2_SPTR>(subject.data());
  int rc = pcre2_match(code, data, subject.size(), offset, options, md, nullptr);
  if (rc == PCRE2_ERROR_JIT_STACKLIMIT)
    rc = pcre2_match(code, data, subject.size(), offset, options | PCRE2_NO_JIT, md, nullptr);
  if (rc == PCRE2_ERROR_NOMATCH) return false;
  if (rc < 0) throw ValueError("regular expression match failed: " + pcre2_message(rc));
  const uint32_t pairs = pcre2_get_ovector_count(md);
  const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(md);
  out.groups.resize(pairs);
  for (uint32_t i = 0; i < pairs; ++i) {
    // Groups past rc did not take part; PCRE2 leaves them unset.
    if (static_cast<int>(i) >= rc || ov[2 * i] == PCRE2_UNSET)
      out.groups[i] = {RegexMatch::npos, RegexMatch::npos};
    else
      out.groups[i] = {ov[2 * i], ov[2 * i + 1]};
  }
  return true;
}

}  // namespace

Regex::Regex(std::string_view pattern, unsigned flags) {
  const bool ignore_case = (flags & kIgnoreCase) != 0;
  Translator translator(pattern, ignore_case);
  const std::string translated = translator.run();

  uint32_t options = PCRE2_UTF | PCRE2_UCP | PCRE2_NEVER_BACKSLASH_C;
  if (ignore_case) options |= PCRE2_CASELESS;
  if (flags & kDotAll) options |= PCRE2_DOTALL;

  auto impl = std::make_unique<Impl>();
  pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
  if (context == nullptr) throw std::bad_alloc();
  // Only "\n" ends a line, whatever PCRE2 was built with.
  pcre2_set_newline(context, PCRE2_NEWLINE_LF);
  int error = 0;
  PCRE2_SIZE error_offset = 0;
  impl->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()), translated.size(),
                             options, &error, &error_offset, context);
  pcre2_compile_context_free(context);
  if (impl->code == nullptr) {
    const std::size_t at = translator.origin(error_offset);
    throw ValueError(pcre2_message(error) + " at position " +
                     std::to_string(text::length(pattern.substr(0, std::min(at, pattern.size())))));
  }
  // Without JIT support pcre2_match() falls back to the interpreter.
  pcre2_jit_compile(impl->code, PCRE2_JIT_COMPLETE);
  impl_ = std::move(impl);
}

Regex::~Regex() = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;

bool Regex::search(std::string_view subject) const {
  if (!impl_) throw ValueError("search on a moved-from regular expression");
  std::size_t start, end;
  return impl_->match(subject, 0, 0, start, end);
}

bool Regex::search(std::string_view subject, RegexMatch& match) const {
  if (!impl_) throw ValueError("search on a moved-from regular expression");
  MatchData md(impl_->code);
  return match_groups(impl_->code, md.data, subject, 0, 0, match);
}

// Same stepping rule as replace_all() below.
std::vector<RegexMatch> Regex::find_all(std::string_view subject) const {
  if (!impl_) throw ValueError("find_all on a moved-from regular expression");
  MatchData md(impl_->code);
  std::vector<RegexMatch> out;
  std::size_t offset = 0;
  uint32_t options = 0;
  RegexMatch m;
  while (offset <= subject.size() && match_groups(impl_->code, md.data, subject, offset, options, m)) {
    offset = m.end();
    options = PCRE2_NO_UTF_CHECK | (m.start() == m.end() ? PCRE2_NOTEMPTY_ATSTART : 0);
    out.push_back(std::move(m));
  }
  return out;
}

// re.sub(): after an empty match the next match may not be empty at the same
// place (but a non-empty one may start there), and an empty match right
// after a non-empty one is replaced as well.
std::string Regex::replace_all(std::string_view subject, std::string_view replacement) const {
  if (!impl_) throw ValueError("replace_all on a moved-from regular expression");
  std::string out;
  std::size_t copied = 0, offset = 0, start, end;
  uint32_t options = 0;
  while (offset <= subject.size() && impl_->match(subject, offset, options, start, end)) {
    out.append(subject.substr(copied, start - copied));
    out.append(replacement);
    copied = end;
    offset = end;
    // The subject was checked once; later calls need not check it again.
    options = PCRE2_NO_UTF_CHECK | (start == end ? PCRE2_NOTEMPTY_ATSTART : 0);
  }
  out.append(subject.substr(copied));
  return out;
}

// The host escapes exactly the characters of "()[]{}?*+-|^$\.&~# \t\n\r\v\f".
std::string Regex::escape(std::string_view literal) {
  static constexpr std::string_view kSpecial = "()[]{}?*+-|^$\\.&~# \t\n\r\v\f";
  std::string out;
  out.reserve(literal.size() + literal.size() / 4);
  for (char c : literal) {
    if (kSpecial.find(c) != std::string_view::npos) out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

}  // namespace corvalt
