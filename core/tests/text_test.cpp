// Unicode text helpers against the host's str methods. The conformance file
// holds vectors recorded from CPython 3.12; the other expected values were
// checked with CPython 3.12 as well.
#include "corvalt/text.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "conformance.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"
#include "corvalt/value.hpp"

namespace corvalt {
namespace {

using test_support::conformance;
using test_support::is_surrogate;
using test_support::u8;
using test_support::vectors;

// ------------------------------------------------------------- lower() --

TEST(TextLower, HostVectors) {
  const List& vecs = vectors("lower");
  ASSERT_GE(vecs.size(), 40u);
  for (const Value& v : vecs) {
    const std::string& in = v.as_list().at(0).as_text();
    const std::string& expected = v.as_list().at(1).as_text();
    EXPECT_EQ(text::lower(in), expected) << "input: " << text::py_repr(in);
  }
}

// Every code point on its own: exactly the listed ones lower to more than
// one code point, and to the listed result.
TEST(TextLower, MultiCodePointResultsOverAllCodePoints) {
  std::set<char32_t> listed;
  for (const Value& v : vectors("lower_multi_char")) {
    const auto cp = static_cast<char32_t>(v.as_list().at(0).as_int());
    std::string expected;
    for (const Value& r : v.as_list().at(1).as_list()) {
      text::append_utf8(expected, static_cast<char32_t>(r.as_int()));
    }
    EXPECT_EQ(text::lower(u8(cp)), expected) << "U+" << std::hex << static_cast<unsigned>(cp);
    listed.insert(cp);
  }
  ASSERT_FALSE(listed.empty());
  std::size_t multi = 0;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (is_surrogate(cp)) continue;
    const std::string lowered = text::lower(u8(cp));
    if (text::length(lowered) != 1) {
      ++multi;
      EXPECT_TRUE(listed.count(cp)) << "U+" << std::hex << static_cast<unsigned>(cp) << " lowers to several code points";
    }
  }
  EXPECT_EQ(multi, listed.size());
}

TEST(TextLower, AsciiAndMixedText) {
  EXPECT_EQ(text::lower(""), "");
  EXPECT_EQ(text::lower("SELECT Name_1, [X] FROM T;"), "select name_1, [x] from t;");
  // Bytes outside letters are untouched, including control characters.
  std::string all_ascii;
  for (int c = 0; c < 128; ++c) all_ascii.push_back(static_cast<char>(c));
  const std::string lowered = text::lower(all_ascii);
  ASSERT_EQ(lowered.size(), 128u);
  for (int c = 0; c < 128; ++c) {
    const char expected = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : static_cast<char>(c);
    EXPECT_EQ(lowered[c], expected) << c;
  }
  // Final sigma depends on the letters around it, ASCII ones included.
  EXPECT_EQ(text::lower("ABΣ CΣD Σ"), "abς cσd σ");
  EXPECT_EQ(text::lower("TOTAL FLOAT İ"), "total float i\u0307");
}

// ------------------------------------------------- white space and words --

TEST(TextSpace, IsSpaceMatchesHostOverAllCodePoints) {
  std::set<char32_t> host;
  for (const Value& v : vectors("isspace")) host.insert(static_cast<char32_t>(v.as_int()));
  ASSERT_EQ(host.size(), 29u);
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    EXPECT_EQ(text::is_space(cp), host.count(cp) == 1) << "U+" << std::hex << static_cast<unsigned>(cp);
  }
  EXPECT_FALSE(text::is_space(0x110000));
}

TEST(TextSpace, SplitHostVectors) {
  const List& vecs = vectors("split");
  ASSERT_GE(vecs.size(), 10u);
  for (const Value& v : vecs) {
    const std::string& in = v.as_list().at(0).as_text();
    std::vector<std::string> expected;
    for (const Value& piece : v.as_list().at(1).as_list()) expected.push_back(piece.as_text());
    const auto parts = text::split_whitespace(in);
    EXPECT_EQ(std::vector<std::string>(parts.begin(), parts.end()), expected)
        << "input: " << text::py_repr(in);
  }
}

TEST(TextSpace, SplitEdges) {
  EXPECT_TRUE(text::split_whitespace("").empty());
  EXPECT_TRUE(text::split_whitespace(" \t\u3000\u2029 ").empty());
  const auto parts = text::split_whitespace("what\u00a0is   the\ncritical path?");
  EXPECT_EQ(std::vector<std::string>(parts.begin(), parts.end()),
            (std::vector<std::string>{"what", "is", "the", "critical", "path?"}));
  // Multi-byte letters next to multi-byte spaces stay whole.
  const auto greek = text::split_whitespace("\u3000ΟΔΟΣ\u2003é\u0301");
  EXPECT_EQ(std::vector<std::string>(greek.begin(), greek.end()),
            (std::vector<std::string>{"ΟΔΟΣ", "é\u0301"}));
}

TEST(TextSpace, Strip) {
  EXPECT_EQ(text::strip(""), "");
  EXPECT_EQ(text::strip(" \n\t "), "");
  EXPECT_EQ(text::strip("  a b  "), "a b");
  EXPECT_EQ(text::strip("\x1c a\u3000"), "a");
  EXPECT_EQ(text::strip("\u2028x y\u0085\u00a0"), "x y");
  // Zero-width space, BOM and Mongolian vowel separator are not white space.
  EXPECT_EQ(text::strip("\u200bx\u200b"), "\u200bx\u200b");
  EXPECT_EQ(text::strip("\ufeffx\u180e "), "\ufeffx\u180e");
  // Letters whose last byte equals the last byte of U+00A0 or U+0085 stay.
  EXPECT_EQ(text::strip("\u3000à à"), "à à");
  EXPECT_EQ(text::strip("Å\u00a0"), "Å");
}

TEST(TextWord, HostVectors) {
  const List& vecs = vectors("word_char");
  ASSERT_GE(vecs.size(), 30u);
  for (const Value& v : vecs) {
    const auto cp = static_cast<char32_t>(v.as_list().at(0).as_int());
    EXPECT_EQ(text::is_word_char(cp), v.as_list().at(1).as_bool())
        << "U+" << std::hex << static_cast<unsigned>(cp) << " " << v.as_list().at(2).as_text();
  }
}

TEST(TextWord, AsciiAndUnicode15) {
  for (char32_t c = 0; c < 128; ++c) {
    const bool expected = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    EXPECT_EQ(text::is_word_char(c), expected) << static_cast<unsigned>(c);
  }
  // Letters and digits new in Unicode 15.0 (Kawi, Nag Mundari, CJK Ext. H).
  EXPECT_TRUE(text::is_word_char(0x11F05));
  EXPECT_TRUE(text::is_word_char(0x1E4F0));
  EXPECT_TRUE(text::is_word_char(0x31350));
  EXPECT_FALSE(text::is_word_char(0x110000));
}

// -------------------------------------------------------------- repr() --

// The list_str vectors print lists with repr() of each element.
std::string list_str(const Value& v, bool& only_text) {
  if (v.is_text()) return text::py_repr(v.as_text());
  if (!v.is_list()) {
    only_text = false;
    return {};
  }
  std::vector<std::string> items;
  for (const Value& e : v.as_list()) items.push_back(list_str(e, only_text));
  return "[" + text::join(items, ", ") + "]";
}

TEST(TextRepr, HostListVectors) {
  std::size_t checked = 0;
  for (const Value& v : vectors("list_str")) {
    bool only_text = true;
    const std::string shown = list_str(json::parse(v.as_list().at(0).as_text()), only_text);
    if (!only_text) continue;
    EXPECT_EQ(shown, v.as_list().at(1).as_text());
    ++checked;
  }
  EXPECT_GE(checked, 10u);
}

TEST(TextRepr, QuotesAndEscapes) {
  EXPECT_EQ(text::py_repr(""), "''");
  EXPECT_EQ(text::py_repr("a'b"), "\"a'b\"");
  EXPECT_EQ(text::py_repr("a\"b"), "'a\"b'");
  EXPECT_EQ(text::py_repr("it's \"x\""), "'it\\'s \"x\"'");
  EXPECT_EQ(text::py_repr("\\"), "'\\\\'");
  EXPECT_EQ(text::py_repr("tab\there\r\n"), "'tab\\there\\r\\n'");
  EXPECT_EQ(text::py_repr(std::string("\x00\x1b\x7f", 3)), "'\\x00\\x1b\\x7f'");
}

TEST(TextRepr, NonPrintableCodePoints) {
  // C1 control, no-break space, soft hyphen (Cf).
  EXPECT_EQ(text::py_repr("\u0085\u00a0\u00ad"), "'\\x85\\xa0\\xad'");
  // Line separator, private use, unassigned at the top of the range.
  EXPECT_EQ(text::py_repr("\u2028\ue000\U0010ffff"), "'\\u2028\\ue000\\U0010ffff'");
  // Emoji and a Unicode 15 letter print; a tag character, the ideographic
  // space and an unassigned code point do not; the ASCII space does.
  EXPECT_EQ(text::py_repr("\U0001f600\U000e0001 \u3000\u0378\U00011f00"),
            "'\U0001f600\\U000e0001 \\u3000\\u0378\U00011f00'");
  EXPECT_EQ(text::py_repr("\u180e\ufeff\u200b"), "'\\u180e\\ufeff\\u200b'");
  EXPECT_EQ(text::py_repr("é中ΟΔΟΣ"), "'é中ΟΔΟΣ'");
}

// --------------------------------------------------------------- UTF-8 --

struct BadUtf8 {
  std::string bytes;
  std::size_t start, end;
  const char* reason;
};

TEST(TextUtf8, ReportsLikeTheHostDecoder) {
  const BadUtf8 cases[] = {
      {"\x80", 0, 1, "invalid start byte"},
      {"abc\xc3", 3, 4, "unexpected end of data"},
      {"\xc3\x28", 0, 1, "invalid continuation byte"},
      {"\xe0\x80\x80", 0, 1, "invalid continuation byte"},      // overlong
      {"\xed\xa0\x80", 0, 1, "invalid continuation byte"},      // surrogate
      {"\xf4\x90\x80\x80", 0, 1, "invalid continuation byte"},  // past U+10FFFF
      {"\xf5", 0, 1, "invalid start byte"},
      {"\xc0\xaf", 0, 1, "invalid start byte"},
      {"\xe2\x82", 0, 2, "unexpected end of data"},
      {"\xe2\x82(", 0, 2, "invalid continuation byte"},
      {"\xf0\x9f\x98", 0, 3, "unexpected end of data"},
      {"\xf0\x9f(\x80", 0, 2, "invalid continuation byte"},
      {"\xf0\x9f\x98(", 0, 3, "invalid continuation byte"},
      {"ok\xe2(\xa1", 2, 3, "invalid continuation byte"},
      {"\xf0", 0, 1, "unexpected end of data"},
      {"\xe0\x9f", 0, 1, "invalid continuation byte"},
      {"\xf0\x8f", 0, 1, "invalid continuation byte"},
      {"\xed\xbf", 0, 1, "invalid continuation byte"},
      // Past whole words of ASCII, and one byte before the end of a word.
      {"0123456789abcdef\xe2\x82(", 16, 18, "invalid continuation byte"},
      {"0123456\x80", 7, 8, "invalid start byte"},
      {"0123456789abcdef0\xf0\x9f\x98", 17, 20, "unexpected end of data"},
  };
  for (const BadUtf8& c : cases) {
    std::size_t start = 99, end = 99;
    const char* reason = nullptr;
    EXPECT_FALSE(text::is_valid_utf8(c.bytes, &start, &end, &reason)) << text::py_repr(c.bytes);
    EXPECT_EQ(start, c.start) << c.bytes;
    EXPECT_EQ(end, c.end) << c.bytes;
    ASSERT_NE(reason, nullptr);
    EXPECT_STREQ(reason, c.reason) << c.bytes;
  }
}

TEST(TextUtf8, EncodeDecodeEveryCodePoint) {
  std::string all;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (!is_surrogate(cp)) text::append_utf8(all, cp);
  }
  EXPECT_TRUE(text::is_valid_utf8(all));
  EXPECT_EQ(text::length(all), 0x110000u - 0x800u);
  std::size_t pos = 0;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (is_surrogate(cp)) continue;
    ASSERT_EQ(text::next_code_point(all, pos), cp);
  }
  EXPECT_EQ(pos, all.size());
}

TEST(TextUtf8, BrokenInputDoesNotOverrun) {
  // Decoding a truncated sequence stops at the end of the text.
  const std::string truncated = "a\xf0\x9f";
  std::size_t pos = 1;
  EXPECT_EQ(text::next_code_point(truncated, pos), 0xFFFDu);
  EXPECT_EQ(pos, truncated.size());
  pos = 0;
  EXPECT_EQ(text::next_code_point("\x80x", pos), 0xFFFDu);
  EXPECT_EQ(pos, 1u);
  // Helpers given bad bytes still return.
  EXPECT_EQ(text::split_whitespace("a \xe3\x80").size(), 2u);
  EXPECT_EQ(text::strip(" \xe3"), "\xe3");
}

TEST(TextUtf8, Length) {
  EXPECT_EQ(text::length(""), 0u);
  EXPECT_EQ(text::length("héllo😀"), 6u);
  EXPECT_TRUE(text::is_ascii("plain text"));
  EXPECT_FALSE(text::is_ascii("café"));
}

// ----------------------------------------------------- small text tools --

TEST(TextTools, ReplaceJoinAffixes) {
  EXPECT_EQ(text::replace_all("table:activities", "table:", ""), "activities");
  EXPECT_EQ(text::replace_all("aaa", "aa", "b"), "ba");  // left to right, no overlap
  EXPECT_EQ(text::replace_all("abc", "x", "y"), "abc");
  EXPECT_EQ(text::replace_all("a.b.c", ".", " . "), "a . b . c");
  EXPECT_THROW(text::replace_all("abc", "", "x"), ValueError);

  EXPECT_EQ(text::join(std::vector<std::string>{}, ", "), "");
  EXPECT_EQ(text::join(std::vector<std::string>{"a"}, ", "), "a");
  EXPECT_EQ(text::join(std::vector<std::string_view>{"a", "", "c"}, ", "), "a, , c");

  EXPECT_TRUE(text::starts_with("```sql", "```"));
  EXPECT_FALSE(text::starts_with("``", "```"));
  EXPECT_TRUE(text::ends_with("x;", ";"));
  EXPECT_TRUE(text::ends_with("x", ""));
}

}  // namespace
}  // namespace corvalt
