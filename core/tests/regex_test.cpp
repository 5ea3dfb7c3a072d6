// Regular expressions against the host's `re` module. Expected results were
// produced with CPython 3.12 (re.search / re.sub / re.escape) or come from
// the conformance vectors recorded with it.
#include "corvalt/regex.hpp"

#include <gtest/gtest.h>

#include <unicode/uchar.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "conformance.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"
#include "corvalt/text.hpp"
#include "corvalt/value.hpp"

namespace corvalt {
namespace {

using test_support::conformance;
using test_support::is_surrogate;
using test_support::u8;

// Every code point once, in order.
const std::string& all_code_points() {
  static const std::string all = [] {
    std::string s;
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
      if (!is_surrogate(cp)) text::append_utf8(s, cp);
    }
    return s;
  }();
  return all;
}

// The code points of all_code_points() for which `keep` is true.
template <class Pred>
std::string filtered(Pred keep) {
  std::string out;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (!is_surrogate(cp) && keep(cp)) text::append_utf8(out, cp);
  }
  return out;
}

bool whole_word(std::string_view keyword, std::string_view subject) {
  return Regex("\\b" + Regex::escape(keyword) + "\\b", Regex::kIgnoreCase).search(subject);
}

// ------------------------------------------------ character classes --

TEST(RegexClasses, WordCharVectors) {
  const List& vecs = conformance().at("word_char").as_list();
  ASSERT_GE(vecs.size(), 30u);
  const Regex word("\\w"), non_word("\\W"), in_set("[\\w]"), boundary("\\b"), before_end("a\\b");
  for (const Value& v : vecs) {
    const auto cp = static_cast<char32_t>(v.as_list().at(0).as_int());
    const bool expected = v.as_list().at(1).as_bool();
    const std::string c = u8(cp);
    SCOPED_TRACE("U+" + std::to_string(cp) + " " + v.as_list().at(2).as_text());
    EXPECT_EQ(word.search(c), expected);
    EXPECT_EQ(non_word.search(c), !expected);
    EXPECT_EQ(in_set.search(c), expected);
    // A boundary around the character exists exactly when it is a word
    // character; after "a" exactly when it is not.
    EXPECT_EQ(boundary.search("(" + c + ")"), expected);
    EXPECT_EQ(before_end.search("a" + c), !expected);
  }
}

// PCRE2's own tables may lag behind the host's Unicode version; the class
// escapes must still agree with the host over every code point.
TEST(RegexClasses, WordOverAllCodePoints) {
  const std::string& all = all_code_points();
  const std::string non_word = filtered([](char32_t c) { return !text::is_word_char(c); });
  const std::string word = filtered([](char32_t c) { return text::is_word_char(c); });
  EXPECT_TRUE(Regex("\\w").replace_all(all, "") == non_word);
  EXPECT_TRUE(Regex("\\W").replace_all(all, "") == word);
  EXPECT_TRUE(Regex("[^\\w]").replace_all(all, "") == word);
  EXPECT_TRUE(Regex("[\\W]", Regex::kIgnoreCase).replace_all(all, "") == word);
}

TEST(RegexClasses, SpaceOverAllCodePoints) {
  std::set<char32_t> host;
  for (const Value& v : conformance().at("isspace").as_list()) host.insert(static_cast<char32_t>(v.as_int()));
  ASSERT_EQ(host.size(), 29u);
  std::string spaces;
  for (char32_t cp : host) text::append_utf8(spaces, cp);
  const std::string non_space = filtered([&](char32_t c) { return host.count(c) == 0; });
  const std::string& all = all_code_points();
  EXPECT_TRUE(Regex("\\s").replace_all(all, "") == non_space);
  EXPECT_TRUE(Regex("[\\s]").replace_all(all, "") == non_space);
  EXPECT_TRUE(Regex("\\S").replace_all(all, "") == spaces);
  EXPECT_TRUE(Regex("[\\S]", Regex::kIgnoreCase).replace_all(all, "") == spaces);
  EXPECT_TRUE(Regex("[^\\s]").replace_all(all, "") == spaces);
  EXPECT_TRUE(Regex("[^\\S]").replace_all(all, "") == non_space);
}

TEST(RegexClasses, DigitsOverAllCodePoints) {
  // The host's \d is the decimal-digit category, digits of every script.
  const std::string digits =
      filtered([](char32_t c) { return u_charType(static_cast<UChar32>(c)) == U_DECIMAL_DIGIT_NUMBER; });
  const std::string& all = all_code_points();
  const std::string non_digits = Regex("\\d").replace_all(all, "");
  EXPECT_EQ(text::length(all) - text::length(non_digits), text::length(digits));
  EXPECT_TRUE(Regex("\\D").replace_all(all, "") == digits);
  EXPECT_TRUE(Regex("[^\\D]").replace_all(all, "") == non_digits);
}

TEST(RegexClasses, SpaceDifferencesFromPerl) {
  EXPECT_EQ(Regex("[\\s]+").replace_all("a\x1c\u180e" "b  c", "_"), "a_\u180e" "b_c");
  EXPECT_EQ(Regex("\\S+").replace_all("ab\u180e" "cd\u3000ef", "w"), "w\u3000w");
  // \v is a vertical tab character, not a class.
  EXPECT_TRUE(Regex("a\\vb").search("a\x0b" "b"));
  EXPECT_FALSE(Regex("a\\vb").search("a\nb"));
}

TEST(RegexClasses, MixedSetsWithNegatedEscapes) {
  // [^\W\d] is a letter or underscore; ignore-case must not pull in iota
  // (the case partner of a combining mark that is not a word character).
  for (unsigned flags : {Regex::kNone, Regex::kIgnoreCase}) {
    const Regex letter("^[^\\W\\d]+$", flags);
    EXPECT_TRUE(letter.search("ab_Ιι\u1fbeé"));
    EXPECT_FALSE(letter.search("a1"));
    EXPECT_FALSE(letter.search("a-"));
    EXPECT_FALSE(letter.search("\u0345"));
    const Regex word_or_dash("^[-\\W]+$", flags);
    EXPECT_TRUE(word_or_dash.search("-- \u0345"));
    EXPECT_FALSE(word_or_dash.search("-a"));
    EXPECT_FALSE(word_or_dash.search("ι"));
  }
  EXPECT_TRUE(Regex("^[^^\\W]$").search("a"));
  EXPECT_FALSE(Regex("^[^^\\W]$").search("^"));
}

// ----------------------------------------------------- word boundaries --

TEST(RegexBoundary, KeywordsAsWholeWords) {
  EXPECT_TRUE(whole_word("café", "Le Café crème"));
  EXPECT_FALSE(whole_word("café", "cafés"));
  EXPECT_FALSE(whole_word("caf", "café"));
  EXPECT_TRUE(whole_word("total float", "Total Float days"));
  EXPECT_TRUE(whole_word("id", "task-id"));
  EXPECT_FALSE(whole_word("id", "task_id"));
  EXPECT_TRUE(whole_word("٣", "x ٣ y"));
  // Letters new in Unicode 15.0 (Kawi) are word characters.
  EXPECT_FALSE(whole_word("abc", "abc\U00011f05"));
  EXPECT_FALSE(whole_word("abc", "\U00011f05abc"));
  EXPECT_TRUE(whole_word("abc", "abc\U00011f41"));  // a Kawi sign (Mc), not a letter
  // Keywords that end in punctuation need a word character on the other
  // side of the boundary, exactly as in the host.
  EXPECT_FALSE(whole_word("e.g.", "use e.g. this"));
  EXPECT_FALSE(whole_word("e.g.", "use eXgX this"));
  EXPECT_FALSE(whole_word("count(", "SELECT COUNT(*)"));
  EXPECT_TRUE(whole_word("count(", "count(x"));
  EXPECT_TRUE(whole_word("drop ", "drop table"));
  EXPECT_FALSE(whole_word("drop ", "dropped "));
  // An empty keyword matches at any word boundary.
  EXPECT_FALSE(whole_word("", "  "));
  EXPECT_TRUE(whole_word("", " a "));
}

TEST(RegexBoundary, NonBoundaryAndRuns) {
  EXPECT_EQ(Regex("\\b").replace_all("ab cd", "|"), "|ab| |cd|");
  EXPECT_EQ(Regex("\\B").replace_all("ab cd", "|"), "a|b c|d");
  EXPECT_EQ(Regex("\\b\\w{4,}\\b").replace_all("what's the café ΟΔΟΣ 2024 ab_cd x١٢٣٤ abc", "#"),
            "#'s the # # # # # abc");
}

// ---------------------------------------------------------- ignore-case --

TEST(RegexIgnoreCase, HostEquivalences) {
  const auto same = [](std::string_view pattern, std::string_view subject) {
    return Regex(std::string("^") + std::string(pattern) + "$", Regex::kIgnoreCase).search(subject);
  };
  EXPECT_TRUE(whole_word("istanbul", "İstanbul"));
  for (const char* a : {"i", "I", "\u0130", "\u0131"}) {
    for (const char* b : {"i", "I", "\u0130", "\u0131"}) EXPECT_TRUE(same(a, b)) << a << " " << b;
  }
  EXPECT_TRUE(same("[a-z]+", "İıK\u017f"));
  EXPECT_TRUE(same("[h-j]", "\u0130"));
  EXPECT_FALSE(same("[^i]", "\u0131"));
  EXPECT_TRUE(same("k", "\u212a"));
  EXPECT_TRUE(same("s", "\u017f"));
  EXPECT_TRUE(same("σ", "ς"));
  EXPECT_TRUE(same("Σ", "ς"));
  EXPECT_TRUE(same("\u0390", "\u1fd3"));
  EXPECT_TRUE(same("\u03b0", "\u1fe3"));
  EXPECT_TRUE(same("\ufb05", "\ufb06"));
  EXPECT_FALSE(same("ß", "ss"));
  EXPECT_FALSE(Regex("^x$").search("X"));
}

// ------------------------------------------ patterns this system uses --

TEST(RegexPatterns, LimitRemoval) {
  const Regex limit("\\s+LIMIT\\s+\\d+\\s*;?", Regex::kIgnoreCase);
  EXPECT_EQ(limit.replace_all("SELECT * FROM t  limit 10 ;\n", ""), "SELECT * FROM t\n");
  EXPECT_EQ(limit.replace_all("SELECT 1 LIMIT 5; SELECT 2\tLimit\u00a03", ""), "SELECT 1 SELECT 2");
  EXPECT_EQ(limit.replace_all("SELECT 1\x1cLIMIT\x1f" "7;;", ""), "SELECT 1;");
  EXPECT_EQ(limit.replace_all("SELECT 1 LIMIT\u180e" "5", ""), "SELECT 1 LIMIT\u180e" "5");
  EXPECT_EQ(limit.replace_all("SELECT unlimited FROM t LIMIT 3", ""), "SELECT unlimited FROM t");
  // Without the flag the letter case counts.
  EXPECT_EQ(Regex("\\s+LIMIT\\s+\\d+\\s*;?").replace_all("x limit 1", ""), "x limit 1");
}

TEST(RegexPatterns, QuotedDate) {
  const Regex date("'(\\d{4}-\\d{2}-\\d{2})'");
  EXPECT_EQ(date.replace_all("WHERE d > '2024-01-31'", "X"), "WHERE d > X");
  EXPECT_FALSE(date.search("WHERE d > '2024-1-31'"));
  // Digits of any script, Unicode 15 ones included.
  EXPECT_TRUE(date.search("'２０２４-０１-３１'"));
  EXPECT_TRUE(date.search("'\U00011f50\U00011f51\U00011f52\U00011f53-01-02'"));
}

TEST(RegexPatterns, LazyAndDotAll) {
  const Regex fence("```(?:sql)?\\s*(.*?)```", Regex::kDotAll);
  EXPECT_EQ(fence.replace_all("a ```sql\nSELECT 1\n``` b ```x```", "<B>"), "a <B> b <B>");
  EXPECT_FALSE(Regex("```(?:sql)?\\s*(.*?)```").search("```sql\nSELECT 1\n```"));
  EXPECT_EQ(Regex("a.c", Regex::kDotAll).replace_all("a\nc abc", "-"), "- -");
  EXPECT_EQ(Regex("a.c").replace_all("a\nc abc", "-"), "a\nc -");
  const Regex bare("(?:^|\\n)(SELECT\\s+.*?)((?:\\n\\n)|$|(?:\\nEXPLANATION:))",
                   Regex::kDotAll | Regex::kIgnoreCase);
  EXPECT_TRUE(bare.search("Here:\nselect a\nfrom t\n\nmore"));
  EXPECT_FALSE(bare.search("Here: select a"));
  EXPECT_EQ(Regex("EXPLANATION:(.*?)(?:$|```)", Regex::kDotAll | Regex::kIgnoreCase)
                .replace_all("x explanation: why\n```y", "E"),
            "x Ey");
  EXPECT_EQ(Regex("FROM\\s+([a-zA-Z0-9_]+)", Regex::kIgnoreCase).replace_all("select * from tasks", "T"),
            "select * T");
}

TEST(RegexPatterns, Anchors) {
  EXPECT_EQ(Regex("x$").replace_all("ax\n", "-"), "a-\n");
  EXPECT_EQ(Regex("x\\Z").replace_all("ax\n", "-"), "ax\n");
  EXPECT_EQ(Regex("x\\Z").replace_all("ax", "-"), "a-");
  EXPECT_EQ(Regex("^a").replace_all("a\na", "-"), "-\na");
  EXPECT_EQ(Regex("$").replace_all("ab\n", "-"), "ab-\n-");
  EXPECT_EQ(Regex("\\Aa").replace_all("aa", "-"), "-a");
}

TEST(RegexPatterns, HostSyntax) {
  EXPECT_EQ(Regex("a{,2}").replace_all("aaab", "-"), "---b-");
  EXPECT_TRUE(Regex("^\\u00e9\\U0001F600\\x41$").search("é😀A"));
  EXPECT_TRUE(Regex("\\N{LATIN SMALL LETTER E WITH ACUTE}").search("café"));
  EXPECT_TRUE(Regex("\\N{em dash}").search("a—b"));
  // '[' inside a set is a member, not the start of a POSIX class.
  EXPECT_TRUE(Regex("^[[:a]+$").search("[:a"));
  EXPECT_TRUE(Regex("^[]a]+$").search("]a]"));
  EXPECT_TRUE(Regex("^[\\b]$").search("\b"));
  EXPECT_TRUE(Regex("(?P<y>\\d+)-(?P=y)").search("12-12"));
  EXPECT_TRUE(Regex("(a)\\1").search("aa"));
  EXPECT_TRUE(Regex("a(?#[ comment)b").search("ab"));
  EXPECT_TRUE(Regex("\\é\\#\\ ").search("é# "));
  EXPECT_TRUE(Regex("^[\\1-\\7]+$").search("\x01\x05\x07"));
  // At most three octal digits: "\0101" is a backspace and a "1".
  EXPECT_TRUE(Regex("^[\\0101]+$").search("\b1"));
  EXPECT_FALSE(Regex("^[\\0101]$").search("A"));
}

// ------------------------------------------------------------- re.sub --

TEST(RegexReplace, EmptyMatchesAsTheHost) {
  EXPECT_EQ(Regex("x*").replace_all("abxd", "-"), "-a-b--d-");
  EXPECT_EQ(Regex("").replace_all("", "-"), "-");
  EXPECT_EQ(Regex("").replace_all("ab", "-"), "-a-b-");
  EXPECT_EQ(Regex("a|").replace_all("baac", "-"), "-b---c-");
  EXPECT_EQ(Regex("(?=a)|a").replace_all("aa", "#"), "####");
  // Empty matches step over whole code points.
  EXPECT_EQ(Regex("").replace_all("é😀", "|"), "|é|😀|");
}

TEST(RegexReplace, LiteralReplacement) {
  // The replacement is taken literally: no group references, no escapes.
  EXPECT_EQ(Regex("(b)").replace_all("abc", "\\1$1\\n"), "a\\1$1\\nc");
  EXPECT_EQ(Regex("z").replace_all("abc", "-"), "abc");
  EXPECT_EQ(Regex("b+").replace_all("abbcb", ""), "ac");
}

// ------------------------------------------------------------ re.escape --

TEST(RegexEscape, AsTheHost) {
  EXPECT_EQ(Regex::escape("a.b(c) [d]{e}? *+-|^$\\ &~#\t\n\r\v\f_é'\"/!@%=,<>:;`"),
            "a\\.b\\(c\\)\\ \\[d\\]\\{e\\}\\?\\ \\*\\+\\-\\|\\^\\$\\\\\\ \\&\\~\\#\\\t\\\n\\\r\\\v\\\f"
            "_é'\"/!@%=,<>:;`");
  EXPECT_EQ(Regex::escape(""), "");
}

TEST(RegexEscape, EscapedTextMatchesItselfLiterally) {
  std::string tricky;
  for (int c = 1; c < 128; ++c) {
    if (!(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9')) {
      tricky.push_back(static_cast<char>(c));
    }
  }
  tricky += "é中\u3000\U0001F600";
  for (unsigned flags : {Regex::kNone, Regex::kIgnoreCase, Regex::kDotAll}) {
    const Regex r("^" + Regex::escape(tricky) + "$", flags);
    EXPECT_TRUE(r.search(tricky));
    EXPECT_FALSE(r.search(tricky.substr(1)));
  }
  EXPECT_EQ(Regex(Regex::escape("a.b")).replace_all("a.b axb", "X"), "X axb");
  EXPECT_TRUE(Regex(Regex::escape("drop ")).search("drop table"));
  EXPECT_FALSE(Regex(Regex::escape("drop ")).search("drop\ttable"));
}

// --------------------------------------------------------------- errors --

TEST(RegexErrors, BadPatternsRaiseValueError) {
  for (const char* bad : {"(", "(?:a", "a)", "[a", "*a", "a**", "\\", "\\e", "\\p{L}", "\\Q", "[\\A]",
                          "\\u12", "\\x4", "\\U00110000", "\\N{NO SUCH NAME}", "\\N", "x{2,1}",
                          "[\\w-z]", "[a-\\s]", "[\\9]", "[\\477]", "(?P<n>a)(?P=m)"}) {
    EXPECT_THROW(Regex{bad}, ValueError) << bad;
  }
  try {
    Regex r("ab(cd");
    FAIL() << "compiled";
  } catch (const ValueError& e) {
    EXPECT_NE(std::string(e.what()).find("missing closing parenthesis"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(" at position "), std::string::npos) << e.what();
  }
  try {
    Regex r("é[a");
    FAIL() << "compiled";
  } catch (const ValueError& e) {
    EXPECT_STREQ(e.what(), "unterminated character set at position 1");
  }
  try {
    Regex r("ab\\e");
    FAIL() << "compiled";
  } catch (const ValueError& e) {
    EXPECT_STREQ(e.what(), "bad escape \\e at position 2");
  }
}

TEST(RegexErrors, InvalidSubjectAndMovedFrom) {
  const Regex r("a");
  EXPECT_THROW(r.search("\xff" "a"), ValueError);
  EXPECT_THROW(r.replace_all("a\xc3", "b"), ValueError);
  Regex moved("b+");
  Regex target(std::move(moved));
  EXPECT_TRUE(target.search("abb"));
  EXPECT_THROW(moved.search("b"), ValueError);  // NOLINT(bugprone-use-after-move)
  Regex assigned("x");
  assigned = std::move(target);
  EXPECT_EQ(assigned.replace_all("abb", "-"), "a-");
}

// ------------------------------------------------------------- threads --

TEST(RegexThreads, SharedPatternFromSeveralThreads) {
  const Regex keyword("\\bfloat\\b", Regex::kIgnoreCase);
  const Regex limit("\\s+LIMIT\\s+\\d+\\s*;?", Regex::kIgnoreCase);
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        const std::string n = std::to_string(i + t);
        if (!keyword.search("Total FLOAT " + n)) ++wrong;
        if (keyword.search("floating " + n)) ++wrong;
        if (limit.replace_all("SELECT " + n + " LIMIT " + n + ";", "") != "SELECT " + n) ++wrong;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace corvalt
