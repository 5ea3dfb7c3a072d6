// Value linking: the distinct values of a database's text columns and the
// question phrases that name them (corvalt/values.hpp).
//
// Every value is split into lower-cased words of letters and digits. Each
// distinct word is kept once, with its postings (the values that hold it and
// where) and the number of values holding it; the words that can be
// misspelt are also filed by length and by their first and by their last
// letter, so that a question word's near neighbours are found among a few
// hundred words instead of all of them. A question is matched by starting
// runs at the postings of its words (and of their neighbours) and extending
// each run word by word along the value, so the cost follows the postings
// the question's own words have, not the size of the index.
#include "corvalt/values.hpp"

#include <sqlite3.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cctype>
#include <array>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <span>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "corvalt/errors.hpp"
#include "corvalt/linking.hpp"
#include "corvalt/text.hpp"

namespace corvalt::values {

namespace {

// Matches scoring below this are not returned; at most this many are.
constexpr double kScoreFloor = 0.35;
// What a code's meaning read in the question scores, of a stored text's score.
constexpr double kMeaningShare = 0.7;
// ... and what one read by its last words alone scores before that share.
constexpr double kMeaningHeadScore = 0.55;
constexpr std::size_t kMaxMatches = 12;
// Of overlapping matches in different columns, those scoring below this
// share of the best one are dropped: "in progress" naming the status
// 'In Progress' outright makes a partial hit in an activity name noise.
constexpr double kOverlapShare = 0.75;
// A number of this many digits or more may be a reference a value stores.
constexpr std::size_t kReferenceDigits = 5;
// A code that begins this many values of a column or more is their prefix.
constexpr std::size_t kPrefixValues = 3;
constexpr double kPrefixScore = 0.8;
// ... and a word that many values hold after the same words is theirs, read
// in values no more than this many hold it.
constexpr std::size_t kWordPrefixHolding = 1000;
constexpr double kWordPrefixScore = 0.7;
constexpr std::string_view kIdiomPrepositions[] = {"on", "at", "in", "off", "under", "by"};
// A name said in another order: of at least this many naming words, read
// by words at most kUnorderedSlack apart beyond its own length, scoring this
// share of a whole match; words in more values than kUnorderedMaxPostings
// are too common to gather values by.
constexpr std::uint32_t kUnorderedMinWords = 3;
constexpr std::uint32_t kUnorderedSlack = 2;
constexpr double kUnorderedShare = 0.7;
constexpr std::size_t kUnorderedMaxPostings = 2000;
// Words that one value holds together: each word gathers values only when in
// at most this many, and a question gathering more groups than this is
// read without the rule.
constexpr std::size_t kTogetherMaxPostings = 256;
constexpr std::size_t kTogetherMaxGroups = 512;
// A word that only one value of its column holds covers at least this share
// of it, when few values hold the word at all.
constexpr double kSinglingShare = 0.5;
constexpr std::uint32_t kSinglingMaxHolding = 64;
// ... and where at most kAlikeValues values of its column hold them alike,
// each scores this share of it.
constexpr std::size_t kAlikeValues = 2;
constexpr double kAlikeShare = 0.85;
// Each edit in a fuzzy word costs this share of the score.
constexpr double kEditPenalty = 0.15;
// A value whose kept words exceed this is left unindexed (it cannot happen
// for values within max_value_length, but add_values takes any options).
constexpr std::size_t kMaxValueWords = 255;
// An acronym of three to kMaxInitials capitals (a plural "s" aside) reads
// the values of as many words with those initials, when at most
// kInitialsValues values have them.
constexpr std::size_t kMaxInitials = 5;
constexpr std::size_t kInitialsValues = 3;
constexpr double kInitialsScore = 0.75;

// ---- words ----------------------------------------------------------------

bool is_alnum(char32_t cp) noexcept {
  if (cp < 0x80) return (cp >= 'a' && cp <= 'z') || (cp >= '0' && cp <= '9') || (cp >= 'A' && cp <= 'Z');
  return text::is_word_char(cp);
}
// One code point of `s` at `pos`, read without a call for ASCII.
inline char32_t next_cp(std::string_view s, std::size_t& pos) noexcept {
  const auto byte = static_cast<unsigned char>(s[pos]);
  if (byte < 0x80) {
    ++pos;
    return byte;
  }
  return text::next_code_point(s, pos);
}
bool is_apostrophe(char32_t cp) noexcept { return cp == '\'' || cp == 0x2019; }
bool is_clause_break(char32_t cp) noexcept {
  switch (cp) {
    case '.': case ',': case ';': case ':': case '?': case '!': case '(': case ')': case '\n':
      return true;
    default:
      return false;
  }
}
bool is_digit(char32_t cp) noexcept {
  return cp < 0x80 ? (cp >= '0' && cp <= '9') : u_isdigit(static_cast<UChar32>(cp)) != 0;
}
bool is_mark(char32_t cp) noexcept {
  return cp >= 0x300 && cp <= 0x10FFFF &&
         (U_GET_GC_MASK(static_cast<UChar32>(cp)) & (U_GC_MN_MASK | U_GC_MC_MASK | U_GC_ME_MASK)) != 0;
}

// A lower-cased word without its accents: names are written both ways
// ("Jürgen", "Jurgen"; "Weiß", "Weiss"), and a question typed on an
// English keyboard rarely has them.
std::string fold_accents(std::string_view word) {
  UErrorCode status = U_ZERO_ERROR;
  static const UNormalizer2* const nfd = unorm2_getNFDInstance(&status);
  std::string out;
  out.reserve(word.size());
  for (std::size_t pos = 0; pos < word.size();) {
    const char32_t cp = text::next_code_point(word, pos);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    // Letters that decompose to no base letter of their own.
    switch (cp) {
      case U'ß': out += "ss"; continue;
      case U'æ': out += "ae"; continue;
      case U'œ': out += "oe"; continue;
      case U'ø': out += 'o'; continue;
      case U'ł': out += 'l'; continue;
      case U'đ': out += 'd'; continue;
      case U'ı': out += 'i'; continue;
      default: break;
    }
    if (is_mark(cp)) continue;
    UChar parts[8];
    UErrorCode err = U_ZERO_ERROR;
    const std::int32_t n = nfd ? unorm2_getDecomposition(nfd, static_cast<UChar32>(cp), parts, 8, &err) : -1;
    if (n <= 0 || U_FAILURE(err)) {
      text::append_utf8(out, cp);
      continue;
    }
    for (std::int32_t i = 0; i < n;) {
      UChar32 part;
      U16_NEXT(parts, i, n, part);
      if (!is_mark(static_cast<char32_t>(part))) text::append_utf8(out, static_cast<char32_t>(part));
    }
  }
  return out;
}

void lower_in_place(std::string& word) {
  bool ascii = true;
  for (char& c : word) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  }
  if (!ascii) word = fold_accents(text::lower(word));
}

struct Token {
  std::string text;  // lower-cased
  std::uint32_t begin = 0, end = 0;  // bytes in the text split
  std::uint32_t clause = 0;          // tokens of one clause share the number
};

// An ordinal written with digits as its word ("2nd" -> "second"), so that
// "2nd fix" names 'Second fix' and "the third floor" names '3rd floor slab'.
void ordinal_as_word(std::string& word) {
  static constexpr std::string_view kOrdinals[] = {"first",   "second", "third",  "fourth", "fifth",
                                                   "sixth",   "seventh", "eighth", "ninth", "tenth",
                                                   "eleventh", "twelfth"};
  static constexpr std::string_view kEndings[] = {"st", "nd", "rd", "th", "th", "th", "th", "th", "th", "th", "th", "th"};
  if (word.size() < 3 || word.size() > 4) return;
  const std::size_t digits = word.size() - 2;
  unsigned n = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    if (word[i] < '0' || word[i] > '9') return;
    n = n * 10 + static_cast<unsigned>(word[i] - '0');
  }
  if (n == 0 || n > 12 || word[0] == '0' || word.compare(digits, 2, kEndings[n - 1]) != 0) return;
  word = kOrdinals[n - 1];
}

// The lower-cased words of `s`, without accents: runs of letters and digits
// (and the marks that combine with them). An ordinal's digits read as its
// word. An apostrophe
// inside a word joins its parts ("O'Connor" -> "oconnor"), so that a value
// and a question that write it either way agree; a possessive's "'s" is
// left out ("Bay's" -> "bay").
// Clause punctuation starts a new clause, except a dot or comma between
// letters or digits ("CVW.4.1", "1,000"), which only separates words.
void split_tokens(std::string_view s, std::vector<Token>& out) {
  out.clear();
  std::uint32_t clause = 0;
  Token word;
  bool in_word = false, prev_alnum = false;
  auto flush = [&] {
    if (!in_word) return;
    lower_in_place(word.text);
    ordinal_as_word(word.text);
    word.clause = clause;
    out.push_back(std::move(word));
    word = Token();
    in_word = false;
  };
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t at = pos;
    const char32_t cp = next_cp(s, pos);
    if (is_alnum(cp) || (in_word && is_mark(cp))) {
      // A capital after a small letter starts a word: 'OnHold' is "on hold".
      if (in_word && cp >= 'A' && cp <= 'Z' && !word.text.empty() && word.text.back() >= 'a' &&
          word.text.back() <= 'z')
        flush();
      if (!in_word) word.begin = static_cast<std::uint32_t>(at);
      in_word = true;
      word.text.append(s.data() + at, pos - at);
      word.end = static_cast<std::uint32_t>(pos);
      prev_alnum = true;
      continue;
    }
    std::size_t peek = pos;
    const bool next_alnum = pos < s.size() && is_alnum(next_cp(s, peek));
    if (in_word && next_alnum && is_apostrophe(cp)) {
      // A possessive's "s" is no part of the name ("Marlin Bay's" is 'Marlin
      // Bay'); the word ends where the apostrophe is.
      std::size_t after = pos + 1;
      if ((s[pos] == 's' || s[pos] == 'S') && (after >= s.size() || !is_alnum(next_cp(s, after)))) {
        ++pos;
        flush();
        prev_alnum = false;
      }
      continue;
    }
    flush();
    if (is_clause_break(cp) && !((cp == '.' || cp == ',') && prev_alnum && next_alnum)) ++clause;
    prev_alnum = false;
  }
  flush();
}

// What a word is to matching.
struct WordKind {
  std::uint32_t length = 0;  // code points
  bool letters = false, digits = false, stop = false;
  // Words that cannot name anything alone: stop words, bare numbers and
  // single letters. They count inside a phrase, never as its evidence.
  bool weak() const noexcept { return stop || !letters || length < 2; }
  // Evidence enough for a partial match: a word of four letters or more,
  // or a code (letters and digits).
  bool strong() const noexcept { return !stop && letters && (digits || length >= 4); }
  // A word that may be misspelt: letters only, and long enough that one
  // edit leaves it recognisable.
  bool fuzzy() const noexcept { return !stop && letters && !digits && length >= 4; }
};

// A count written as a word ("five", "twelve") is written as meant, no
// misspelling of a stored word ("five" is no 'Live').
bool number_word(std::string_view word) {
  static constexpr std::string_view kWords[] = {"zero", "four",     "five",    "nine",    "eleven",  "twelve",
                                                "twenty", "thirty", "forty",   "fifty",   "sixty",   "seventy",
                                                "eighty", "ninety", "hundred", "thousand", "million", "three",
                                                "seven",  "eight"};
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

WordKind kind_of(std::string_view word) {
  WordKind k;
  for (std::size_t pos = 0; pos < word.size();) {
    const char32_t cp = text::next_code_point(word, pos);
    ++k.length;
    if (is_digit(cp)) k.digits = true;
    else k.letters = true;
  }
  k.stop = linking::is_stop_word(word);
  return k;
}

// A month's name: with a number after it, a date ("the end of March 2025"
// says no 'March 2025 Update').
bool month_name(std::string_view word) {
  static constexpr std::string_view kMonths[] = {"january", "february", "march",   "april",    "may",
                                                 "june",    "july",     "august",  "september", "october",
                                                 "november", "december", "jan",    "feb",       "mar",
                                                 "apr",      "jun",      "jul",    "aug",       "sep",
                                                 "sept",     "oct",      "nov",    "dec"};
  return std::find(std::begin(kMonths), std::end(kMonths), word) != std::end(kMonths);
}

// Edits allowed between two words, by the shorter word's length.
unsigned allowed_edits(std::uint32_t shorter) noexcept { return shorter <= 3 ? 0 : shorter <= 7 ? 1 : 2; }

// Site slang for trades and parties, and the words stored values use for
// them: a question's "sparkies" names the crew 'Electricians'. Read as one
// edit, as a longer word a word begins is.
std::span<const std::string_view> slang_readings(std::string_view word) {
  struct Entry {
    std::string_view slang;
    std::array<std::string_view, 2> readings;
  };
  static constexpr Entry kSlang[] = {
      {"sparky", {"electrician", "electricians"}},     {"sparkies", {"electrician", "electricians"}},
      {"sparks", {"electrician", "electricians"}},     {"brickie", {"bricklayer", "bricklayers"}},
      {"brickies", {"bricklayer", "bricklayers"}},     {"chippy", {"carpenter", "carpenters"}},
      {"chippie", {"carpenter", "carpenters"}},        {"chippies", {"carpenter", "carpenters"}},
      {"scaffies", {"scaffolder", "scaffolders"}},     {"scaffie", {"scaffolder", "scaffolders"}},
      {"groundies", {"groundworker", "groundworkers"}}, {"groundie", {"groundworker", "groundworkers"}},
      {"subbie", {"subcontractor", "subcontractors"}}, {"subbies", {"subcontractor", "subcontractors"}},
      {"subby", {"subcontractor", "subcontractors"}},  {"gaffer", {"foreman", "supervisor"}},
      {"kit", {"equipment", "plant"}},
  };
  for (const Entry& e : kSlang)
    if (e.slang == word) return e.readings;
  return {};
}

// A set of the characters of a word, one bit each (others share bits): an
// edit changes at most two bits, so two words whose sets differ in more than
// 2k bits are more than k edits apart, found without aligning them.
std::uint64_t char_mask(std::u32string_view cps) noexcept {
  std::uint64_t mask = 0;
  for (const char32_t cp : cps) {
    unsigned bit;
    if (cp >= 'a' && cp <= 'z') bit = cp - 'a';
    else if (cp >= '0' && cp <= '9') bit = 26 + (cp - '0');
    else bit = 36 + cp % 28;
    mask |= std::uint64_t{1} << bit;
  }
  return mask;
}

// Edits between two words when at most one is allowed: 0, 1, or 2 for
// more. Most words of the index are compared this way, in one pass and
// without the table a general distance needs.
unsigned edits_within_one(std::u32string_view a, std::u32string_view b) noexcept {
  if (a.size() < b.size()) std::swap(a, b);
  if (a.size() - b.size() > 1) return 2;
  std::size_t i = 0;
  while (i < b.size() && a[i] == b[i]) ++i;
  if (a.size() != b.size()) return a.substr(i + 1) == b.substr(i) ? 1 : 2;
  if (i == a.size()) return 0;
  if (a.substr(i + 1) == b.substr(i + 1)) return 1;  // one letter replaced
  const bool swapped = i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] && a.substr(i + 2) == b.substr(i + 2);
  return swapped ? 1 : 2;
}

// A word is read as a longer one it begins, and the other way round, when
// the shorter has at least five code points and 60 % of the longer's:
// "scaffolders" for 'Scaffold', "painters" for 'Paint', but not "water" for
// 'Watertight', a word of its own. A stem would join too much ("activity"
// and "active") and too little ("painters" and "paint"); same_root() below
// joins only a trade's endings.
constexpr std::size_t kFamilyPrefix = 5;
constexpr double kFamilyShare = 0.6;

// `s` without the zeros that begin its runs of digits ("spw0150" ->
// "spw150"), a run of zeros kept as one.
std::string without_padding(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const bool run_start = s[i] == '0' && (i == 0 || s[i - 1] < '0' || s[i - 1] > '9');
    if (run_start && i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '9') {
      while (i + 1 < s.size() && s[i] == '0' && s[i + 1] >= '0' && s[i + 1] <= '9') ++i;
    }
    out += s[i];
  }
  return out;
}

// The key a word is filed under for this: its first kFamilyPrefix code points.
std::u32string family_key(std::u32string_view cps) { return std::u32string(cps.substr(0, kFamilyPrefix)); }

bool same_family(std::u32string_view a, std::u32string_view b) noexcept {
  if (a.size() > b.size()) std::swap(a, b);
  return a.size() >= kFamilyPrefix && a.size() < b.size() &&
         static_cast<double>(a.size()) >= kFamilyShare * static_cast<double>(b.size()) && b.substr(0, a.size()) == a;
}

// Whether two words are one root with the endings of a trade and the people
// or things that do it ("scaffolding" and 'Scaffolder', "insulation" and
// 'Insulators'): a shared beginning as long as a family's, after which
// each has one of those endings.
bool same_root(std::u32string_view a, std::u32string_view b) noexcept {
  static constexpr std::u32string_view kEndings[] = {U"ing", U"er", U"ers", U"or", U"ors", U"ion", U"ions", U"ian", U"ians", U"al"};
  auto ending = [](std::u32string_view tail) {
    return std::find(std::begin(kEndings), std::end(kEndings), tail) != std::end(kEndings);
  };
  std::size_t p = 0;
  while (p < a.size() && p < b.size() && a[p] == b[p]) ++p;
  return p >= kFamilyPrefix && static_cast<double>(p) >= kFamilyShare * static_cast<double>(std::max(a.size(), b.size())) &&
         ending(a.substr(p)) && ending(b.substr(p));
}

// Whether one word is the other with its final "e" turned into "ing" or
// "ed" ("manufacturing" and 'Manufacture', "fabricated" and 'Fabricate'):
// the same word, as a family's.
bool e_inflection(std::u32string_view a, std::u32string_view b) noexcept {
  if (a.size() > b.size()) std::swap(a, b);
  if (a.size() < kFamilyPrefix || a.back() != U'e') return false;
  const std::u32string_view stem = a.substr(0, a.size() - 1);
  if (b.substr(0, stem.size()) != stem) return false;
  const std::u32string_view tail = b.substr(stem.size());
  return tail == U"ing" || tail == U"ed";
}

// Whether one word is the other's plural by an "s" or "es" ("transformers",
// "switches"), which reads as the same word and no misspelling.
bool plural_of(std::u32string_view a, std::u32string_view b) noexcept {
  if (a.size() > b.size()) std::swap(a, b);
  if (b.substr(0, a.size()) != a) return false;
  const std::u32string_view tail = b.substr(a.size());
  return tail == U"s" || tail == U"es";
}

std::u32string code_points(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) out.push_back(text::next_code_point(s, pos));
  return out;
}

// How rare a word or phrase is among the indexed values: 1 for one or two
// values, about 0.64 for ten, 0.42 for a hundred, 0.36 for three hundred.
double rarity_of(std::uint32_t values_holding) noexcept {
  const double df = std::max<double>(values_holding, 2.0);
  return 1.0 / (1.0 + 0.35 * std::log(df / 2.0));
}

// The same, looked up for the counts most words have: a match weighs the
// words of every run it tries.
double rarity(std::uint32_t values_holding) noexcept {
  constexpr std::uint32_t kTable = 4096;
  static const auto table = [] {
    std::vector<double> t(kTable);
    for (std::uint32_t i = 0; i < kTable; ++i) t[i] = rarity_of(i);
    return t;
  }();
  return values_holding < kTable ? table[values_holding] : rarity_of(values_holding);
}

// An exact match scores between 0.8 and 1: more for rare words, a little
// more for a longer phrase ("in progress" over "progress").
double exact_score(double rare, std::size_t phrase_words) noexcept {
  return 0.8 + 0.15 * rare + 0.05 * std::min(1.0, static_cast<double>(phrase_words - 1) / 3.0);
}

struct StringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
};

// ---- column filters ---------------------------------------------------------

std::string upper_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  return out;
}

// A declared type that may hold names: none, or one with text affinity
// (SQLite's rule: CHAR, CLOB or TEXT in it) or called a string. Dates and
// times are left out even where the type says text ("DATETIME TEXT").
bool text_like_type(std::string_view type) {
  if (text::strip(type).empty()) return true;
  const std::string t = upper_ascii(type);
  auto has = [&](std::string_view part) { return t.find(part) != std::string::npos; };
  if (has("DATE") || has("TIME")) return false;
  return has("CHAR") || has("CLOB") || has("TEXT") || has("STRING");
}

bool digits_at(std::string_view s, std::size_t from, std::size_t n) {
  if (s.size() < from + n) return false;
  for (std::size_t i = from; i < from + n; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// An ISO date, date and time, or time of day ("2024-03-15",
// "2024-03-15T08:00:00.000Z", "08:30"), which names nothing.
bool looks_like_date_time(std::string_view v) {
  v = text::strip(v);
  std::size_t at = 0;
  if (digits_at(v, 0, 4) && v.size() >= 10 && v[4] == '-' && digits_at(v, 5, 2) && v[7] == '-' &&
      digits_at(v, 8, 2)) {
    if (v.size() == 10) return true;
    if (v[10] != ' ' && v[10] != 'T') return false;
    at = 11;
  }
  if (!(digits_at(v, at, 2) && v.size() >= at + 5 && v[at + 2] == ':' && digits_at(v, at + 3, 2)))
    return false;
  // Seconds, fractions and a zone may follow: digits and . : + - Z only.
  for (std::size_t i = at + 5; i < v.size(); ++i) {
    const char c = v[i];
    if (!((c >= '0' && c <= '9') || c == '.' || c == ':' || c == '+' || c == '-' || c == 'Z'))
      return false;
  }
  return true;
}

// Sorts a column's candidate values: keeps the valid, short ones and counts
// what it saw, so that a column of long free text or of dates can be left
// out as a whole.
struct Sifter {
  explicit Sifter(const Options& o) : options(o) {}

  void offer(std::string_view v, std::uint64_t count = 1) {
    ++seen;
    if (!text::is_valid_utf8(v)) {
      complete = false;
      return;
    }
    if (text::length(v) > options.max_value_length) {
      ++long_values;
      complete = false;
      return;
    }
    if (looks_like_date_time(v)) ++dates;
    kept.emplace_back(v);
    counts.push_back(count);
  }

  // Most values too long: notes, descriptions, comments. Most values
  // dates or times: not names either.
  bool names() const { return !kept.empty() && 2 * long_values <= seen && 2 * dates <= kept.size(); }

  const Options& options;
  std::vector<std::string> kept;
  std::vector<std::uint64_t> counts;
  std::size_t seen = 0, long_values = 0, dates = 0;
  bool complete = true;  // every distinct value is in `kept`
};

// ---- SQLite -----------------------------------------------------------------

std::string quote_identifier(std::string_view name) {
  std::string out = "\"";
  for (const char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

struct Statement {
  sqlite3_stmt* stmt = nullptr;
  ~Statement() { sqlite3_finalize(stmt); }
};

struct Connection {
  sqlite3* db = nullptr;
  ~Connection() { sqlite3_close_v2(db); }
};

bool equal_ascii_nocase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && sqlite3_strnicmp(a.data(), b.data(), static_cast<int>(a.size())) == 0;
}

struct TableColumn {
  std::string name, type;  // as the database declares them
};

// The columns of a table, none when the database has no such table.
std::vector<TableColumn> table_columns(sqlite3* db, const std::string& table) {
  std::vector<TableColumn> out;
  Statement st;
  if (sqlite3_prepare_v2(db, "SELECT name, type FROM pragma_table_info(?1)", -1, &st.stmt, nullptr) != SQLITE_OK)
    return out;
  sqlite3_bind_text(st.stmt, 1, table.data(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
  auto text_of = [&](int col) {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st.stmt, col));
    return t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(st.stmt, col))) : std::string();
  };
  while (sqlite3_step(st.stmt) == SQLITE_ROW) out.push_back(TableColumn{text_of(0), text_of(1)});
  return out;
}

// The most frequent text values of a column with more distinct values than
// are kept: SQLite groups and sorts them, and the LIMIT, one past the cap,
// keeps what is read bounded.
bool read_column(sqlite3* db, const std::string& table, const std::string& column, Sifter& sifter) {
  const std::string c = quote_identifier(column);
  const std::size_t limit = sifter.options.max_values_per_column;
  const std::string sql = "SELECT " + c + ", COUNT(*) FROM " + quote_identifier(table) + " WHERE typeof(" + c +
                          ") = 'text' GROUP BY " + c + " ORDER BY COUNT(*) DESC, " + c + " LIMIT " +
                          std::to_string(limit + 1);
  Statement st;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st.stmt, nullptr) != SQLITE_OK)
    return false;
  std::size_t rows = 0;
  int rc;
  while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
    if (++rows > limit) {
      sifter.complete = false;
      break;
    }
    const auto* v = reinterpret_cast<const char*>(sqlite3_column_text(st.stmt, 0));
    const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(st.stmt, 0));
    const auto count = static_cast<std::uint64_t>(sqlite3_column_int64(st.stmt, 1));
    sifter.offer(v ? std::string_view(v, bytes) : std::string_view(), count);
  }
  // A damaged table or a lock held too long: the column is left out rather
  // than half read.
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return false;
  if (!sifter.complete && rows > limit) {
    // Which of the many values seen once make the cut is an accident of
    // their order; a partial list of identifiers would suggest the others
    // do not exist, so only values that repeat are kept.
    std::size_t keep = 0;
    for (std::size_t i = 0; i < sifter.kept.size(); ++i)
      if (sifter.counts[i] > 1) keep = i + 1;
    sifter.kept.resize(keep);
    sifter.counts.resize(keep);
  }
  return true;
}

// One column's values as a scan of its table meets them.
struct Tally {
  std::size_t ref = 0;  // into the columns asked for
  std::string name;     // as the database spells it
  std::unordered_map<std::string, std::uint64_t, StringHash, std::equal_to<>> counts;  // short, valid values
  std::unordered_set<std::size_t> long_values, invalid;  // hashes of the others
  int sampled = 0, sample_dates = 0, sample_long = 0;
  bool dropped = false;   // not names, judged by its first values
  bool overflow = false;  // more distinct values than are kept: left to read_column
};

// Counts the distinct text values of a table's columns in one pass: a
// grouped query per column sorts the whole table once for each. A column
// whose first values are mostly dates or long text is given up at once;
// one with more distinct values than are kept is handed to read_column,
// so that what is held stays bounded by the options.
bool tally_table(sqlite3* db, const std::string& table, std::vector<Tally>& tallies, const Options& options) {
  constexpr int kSample = 32;
  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < tallies.size(); ++i) {
    if (i) sql += ", ";
    sql += quote_identifier(tallies[i].name);
  }
  sql += " FROM " + quote_identifier(table);
  Statement st;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st.stmt, nullptr) != SQLITE_OK)
    return false;
  auto give_up = [](Tally& t) {
    t.counts = {};
    t.long_values = {};
    t.invalid = {};
  };
  std::size_t active = tallies.size();
  int rc = SQLITE_DONE;
  while (active > 0 && (rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
    for (std::size_t i = 0; i < tallies.size(); ++i) {
      Tally& t = tallies[i];
      const int col = static_cast<int>(i);
      if (t.dropped || t.overflow || sqlite3_column_type(st.stmt, col) != SQLITE_TEXT) continue;
      const auto* v = reinterpret_cast<const char*>(sqlite3_column_text(st.stmt, col));
      const std::string_view value(v ? v : "", v ? static_cast<std::size_t>(sqlite3_column_bytes(st.stmt, col)) : 0);
      // Most rows repeat a value already counted (a status, a type).
      if (t.sampled >= kSample) {
        if (auto it = t.counts.find(value); it != t.counts.end()) {
          ++it->second;
          continue;
        }
      }
      const bool valid = text::is_valid_utf8(value);
      const bool too_long = valid && text::length(value) > options.max_value_length;
      if (t.sampled < kSample) {
        ++t.sampled;
        if (too_long) ++t.sample_long;
        else if (valid && looks_like_date_time(value)) ++t.sample_dates;
        if (t.sampled == kSample && (2 * t.sample_long > kSample || 2 * t.sample_dates > kSample)) {
          t.dropped = true;
          give_up(t);
          --active;
          continue;
        }
      }
      if (!valid) {
        t.invalid.insert(std::hash<std::string_view>{}(value));
      } else if (too_long) {
        t.long_values.insert(std::hash<std::string_view>{}(value));
      } else if (auto it = t.counts.find(value); it != t.counts.end()) {
        ++it->second;
      } else {
        t.counts.emplace(std::string(value), 1);
      }
      if (t.counts.size() + t.long_values.size() + t.invalid.size() > options.max_values_per_column) {
        t.overflow = true;
        give_up(t);
        --active;
      }
    }
  }
  return active == 0 || rc == SQLITE_DONE;
}

// A counted column's values, most frequent first, into the sifter.
void sift(Tally& t, Sifter& sifter) {
  std::vector<std::pair<std::string, std::uint64_t>> values(t.counts.begin(), t.counts.end());
  t.counts = {};
  std::sort(values.begin(), values.end(),
            [](const auto& a, const auto& b) { return a.second != b.second ? a.second > b.second : a.first < b.first; });
  for (const auto& [value, count] : values) sifter.offer(value, count);
  sifter.seen += t.long_values.size() + t.invalid.size();
  sifter.long_values += t.long_values.size();
  if (!t.long_values.empty() || !t.invalid.empty()) sifter.complete = false;
}

}  // namespace

// ---- the index ---------------------------------------------------------------

struct ValueIndex::Impl {
  struct Column {
    std::vector<std::string> values;
    bool listed = false;
  };
  struct Posting {
    std::uint32_t value;  // into entries
    std::uint16_t position;
    std::uint16_t word_count;  // the value's, to rule it out without reading it
  };
  struct Word {
    std::string_view text;  // the key in `word_ids`
    std::uint32_t cp_begin = 0, cp_count = 0;  // in `word_cps`
    std::uint32_t holding = 0;                 // values that hold the word
    std::uint32_t last_value = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t mask = 0;
    WordKind kind;
    // Where it stands in values. A weak word appears only at the start of
    // a value, the one place a run may begin with it.
    std::vector<Posting> postings;
  };
  struct Entry {
    std::uint32_t column, slot;  // values[slot] of columns[column]
    std::uint32_t words_begin;   // in `value_words`
    std::uint16_t word_count, naming_count;
    bool meaning = false;  // the words a description gives for a code, not the value's own
  };
  std::vector<ColumnRef> refs;
  std::vector<Column> columns;  // beside refs
  std::unordered_map<std::string, std::uint32_t> column_ids;  // column_key()
  std::vector<Entry> entries;
  std::vector<std::uint32_t> value_words;
  std::unordered_map<std::string, std::uint32_t, StringHash, std::equal_to<>> word_ids;
  std::vector<Word> words;
  std::vector<char32_t> word_cps;
  // Misspellable words by (first or last code point, length).
  // Each entry holds what rules most words out without reading the word.
  struct Neighbour {
    std::uint64_t mask;
    std::uint32_t word;
    char32_t first;
  };
  std::unordered_map<std::uint64_t, std::vector<Neighbour>> neighbourhoods;
  // Misspellable words by family_key(), for a word that begins another
  // ("scaffold" and "scaffolders"), further apart than a misspelling.
  std::unordered_map<std::u32string, std::vector<std::uint32_t>> families;
  // Values by a hash of their words run together ("hbr2200"): codes
  // written with other punctuation, or none, still find them.
  std::unordered_map<std::uint64_t, std::uint32_t> compact_first;
  std::vector<std::uint32_t> compact_next;
  // Codes by their words run together with the zeros that pad their numbers
  // left out ("spw150" for 'SPW-0150'), where that differs.
  std::unordered_map<std::string, std::vector<std::uint32_t>> unpadded;
  // Values of three to kMaxInitials words by their initials, and by those
  // of their words that are no stop words when there are three or more
  // ("lti" for 'Lost Time Injury', "ptw" for 'Permit to Work').
  std::unordered_map<std::string, std::vector<std::uint32_t>> initials;
  // Values by the initials of two words they join by "and" or "&"
  // ('Commissioning and Qualification': "cq").
  std::unordered_map<std::string, std::vector<std::uint32_t>> joined_initials;
  // Codes by the letters-only parts after their first ("sru" of 'TA25-SRU'),
  // lower-cased: a code that holds another thing's code.
  std::unordered_map<std::string, std::vector<std::uint32_t>> code_parts;
  std::size_t value_total = 0;

  static std::uint64_t neighbourhood_key(bool last, char32_t cp, std::uint32_t length) noexcept {
    return (std::uint64_t{last} << 63) | (std::uint64_t{cp} << 32) | length;
  }
  static std::uint64_t compact_hash(const std::vector<Token>& tokens) {
    std::string joined;
    for (const Token& t : tokens) joined += t.text;
    return std::hash<std::string>{}(joined);
  }
  // "TABLE\0COLUMN": SQL names compare ignoring ASCII case.
  static std::string column_key(std::string_view table, std::string_view column) {
    std::string key = upper_ascii(table);
    key += '\0';
    key += upper_ascii(column);
    return key;
  }

  std::uint32_t intern(std::string&& text) {
    if (auto it = word_ids.find(std::string_view(text)); it != word_ids.end()) return it->second;
    const auto id = static_cast<std::uint32_t>(words.size());
    auto [it, inserted] = word_ids.emplace(std::move(text), id);
    Word w;
    w.text = it->first;
    w.kind = kind_of(w.text);
    const std::u32string cps = code_points(w.text);
    w.cp_begin = static_cast<std::uint32_t>(word_cps.size());
    w.cp_count = static_cast<std::uint32_t>(cps.size());
    word_cps.insert(word_cps.end(), cps.begin(), cps.end());
    w.mask = char_mask(cps);
    if (w.kind.fuzzy()) {
      const Neighbour n{w.mask, id, cps.front()};
      neighbourhoods[neighbourhood_key(false, cps.front(), w.cp_count)].push_back(n);
      neighbourhoods[neighbourhood_key(true, cps.back(), w.cp_count)].push_back(n);
      if (cps.size() >= kFamilyPrefix) families[family_key(cps)].push_back(id);
    }
    words.push_back(std::move(w));
    return id;
  }

  std::u32string_view cps_of(std::uint32_t word) const {
    return {word_cps.data() + words[word].cp_begin, words[word].cp_count};
  }

  // A value is indexed as written, and one that ends in a qualifier in
  // parentheses also without it: 'Mei Chen (Architect)' is named by "Mei
  // Chen" as a whole.
  void index_value(std::uint32_t column, std::uint32_t slot) {
    const std::string_view text = columns[column].values[slot];
    index_text(column, slot, text);
    if (!text.empty() && text.back() == ')')
      if (const std::size_t open = text.rfind('('); open != std::string_view::npos && open > 0) {
        const std::string_view head = text.substr(0, open);
        if (head.find_first_not_of(" \t") != std::string_view::npos) index_text(column, slot, head);
      }
  }

  void index_text(std::uint32_t column, std::uint32_t slot, std::string_view text, bool meaning = false) {
    thread_local std::vector<Token> tokens;
    split_tokens(text, tokens);
    if (tokens.empty() || tokens.size() > kMaxValueWords) return;
    const auto v = static_cast<std::uint32_t>(entries.size());
    Entry e{column, slot, static_cast<std::uint32_t>(value_words.size()), 0, 0, meaning};
    const std::uint64_t hash = compact_hash(tokens);
    for (std::size_t p = 0; p < tokens.size(); ++p) {
      const std::uint32_t id = intern(std::move(tokens[p].text));
      Word& w = words[id];
      if (w.last_value != v) ++w.holding, w.last_value = v;
      if (p == 0 || !w.kind.weak())
        w.postings.push_back(Posting{v, static_cast<std::uint16_t>(p), static_cast<std::uint16_t>(tokens.size())});
      if (!w.kind.weak()) ++e.naming_count;
      value_words.push_back(id);
    }
    e.word_count = static_cast<std::uint16_t>(tokens.size());
    entries.push_back(e);
    if (tokens.size() >= 3 && tokens.size() <= kMaxInitials) {
      std::string all, naming;
      bool letters = true;
      for (std::uint32_t k = 0; k < e.word_count && letters; ++k) {
        const Word& w = words[value_words[e.words_begin + k]];
        letters = w.kind.letters && !w.kind.digits && w.text.front() >= 'a' && w.text.front() <= 'z';
        all += w.text.front();
        if (!w.kind.stop) naming += w.text.front();
      }
      if (letters) {
        initials[all].push_back(v);
        if (naming.size() >= 3 && naming != all) initials[naming].push_back(v);
      }
    }
    for (std::uint32_t k = 0; k + 1 < e.word_count; ++k) {
      std::uint32_t next = k + 1;
      if (text.substr(tokens[k].end, tokens[k + 1].begin - tokens[k].end).find('&') == std::string_view::npos) {
        if (words[value_words[e.words_begin + k + 1]].text != "and" || k + 2 >= e.word_count) continue;
        next = k + 2;
      }
      const std::string_view first = words[value_words[e.words_begin + k]].text;
      const std::string_view second = words[value_words[e.words_begin + next]].text;
      const char a = first.front(), b = second.front();
      // The capitals themselves ('C&Q engineers') are no words they stand for.
      if (a < 'a' || a > 'z' || b < 'a' || b > 'z' || (first.size() == 1 && second.size() == 1)) continue;
      std::vector<std::uint32_t>& joined = joined_initials[std::string{a, b}];
      if (joined.empty() || joined.back() != v) joined.push_back(v);
    }
    if (text.find(' ') == std::string_view::npos) {
      // Parts between the code's punctuation; the first names its kind or owner.
      std::size_t from = text.find_first_of("-_./");
      while (from != std::string_view::npos) {
        const std::size_t to = std::min(text.find_first_of("-_./", from + 1), text.size());
        const std::string_view part = text.substr(from + 1, to - from - 1);
        if (part.size() >= 2 && part.size() <= 6 &&
            std::all_of(part.begin(), part.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
          std::string key(part);
          for (char& c : key) c = static_cast<char>(c - 'A' + 'a');
          code_parts[key].push_back(v);
        }
        from = to < text.size() ? to : std::string_view::npos;
      }
    }
    {
      std::string joined;
      for (std::uint32_t k = 0; k < e.word_count; ++k) joined += words[value_words[e.words_begin + k]].text;
      std::string bare = without_padding(joined);
      if (bare != joined) unpadded[std::move(bare)].push_back(v);
    }
    auto [it, fresh] = compact_first.emplace(hash, v);
    compact_next.push_back(fresh ? std::numeric_limits<std::uint32_t>::max() : it->second);
    it->second = v;
  }

  // Adds a sifted column, or merges it into the column of the same name.
  // Each short code of the column that `text` follows with its meaning,
  // in parentheses or after "=" ("NS (not started)", "W = weather"), is
  // named by those words too.
  void add_meanings(std::uint32_t c, std::string_view text) {
    constexpr std::size_t kLongestCode = 8;
    constexpr std::size_t kLongestMeaning = 48;
    auto name_char = [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_' || ch == '-'; };
    for (std::uint32_t slot = 0; slot < columns[c].values.size(); ++slot) {
      const std::string& code = columns[c].values[slot];
      if (code.empty() || code.size() > kLongestCode ||
          !std::all_of(code.begin(), code.end(), [&](char ch) { return name_char(ch) && !std::islower(static_cast<unsigned char>(ch)); }))
        continue;
      for (std::size_t at = text.find(code); at != std::string_view::npos; at = text.find(code, at + 1)) {
        const std::size_t after = at + code.size();
        if ((at > 0 && name_char(text[at - 1])) || (after < text.size() && name_char(text[after]))) continue;
        std::size_t from = after;
        while (from < text.size() && text[from] == ' ') ++from;
        std::size_t to;
        if (from < text.size() && text[from] == '(') {
          to = text.find(')', ++from);
        } else if (from < text.size() && text[from] == '=') {
          ++from;
          to = text.find_first_of(",;)\n", from);
          if (to == std::string_view::npos) to = text.size();
        } else {
          continue;
        }
        if (to == std::string_view::npos || to <= from || to - from > kLongestMeaning) continue;
        const std::string_view meaning = text.substr(from, to - from);
        // Words only: a unit or a remark in parentheses is no meaning.
        if (!std::all_of(meaning.begin(), meaning.end(), [](char ch) {
              return std::isalpha(static_cast<unsigned char>(ch)) || ch == ' ' || ch == '-' || ch == '/';
            }) ||
            meaning.find_first_not_of(" -/") == std::string_view::npos)
          continue;
        index_text(c, slot, meaning, true);
      }
    }
  }

  void add(const ColumnRef& ref, Sifter& sifter, bool complete) {
    const std::string key = column_key(ref.table, ref.column);
    auto found = column_ids.find(key);
    std::uint32_t c;
    if (found == column_ids.end()) {
      c = static_cast<std::uint32_t>(columns.size());
      refs.push_back(ref);
      columns.push_back(Column{{}, false});
      column_ids.emplace(key, c);
    } else {
      c = found->second;
      // Values from two sources: all of them are known only if the first
      // source knew them all and the second adds nothing new.
      complete = columns[c].listed;
    }
    Column& col = columns[c];
    // The sifted values are distinct already; only those the column holds
    // from before are skipped.
    const std::unordered_set<std::string_view> have(col.values.begin(), col.values.end());
    std::vector<std::string> fresh;
    for (std::string& v : sifter.kept) {
      if (have.count(v)) continue;
      if (col.values.size() + fresh.size() >= sifter.options.max_values_per_column) {
        complete = false;
        break;
      }
      fresh.push_back(std::move(v));
    }
    if (found != column_ids.end() && !fresh.empty()) complete = false;
    for (std::string& v : fresh) {
      col.values.push_back(std::move(v));
      ++value_total;
      index_value(c, static_cast<std::uint32_t>(col.values.size() - 1));
    }
    col.listed = complete && col.values.size() <= sifter.options.listed_cardinality;
  }

  std::vector<Match> match(std::string_view question) const;
  std::size_t memory_bytes() const noexcept;

  // The values whose words run together spell `compact` ("hbr2200" for
  // 'HBR-2200', "ss" for 'SS').
  std::vector<std::uint32_t> values_spelt(std::string_view compact) const {
    std::vector<std::uint32_t> out;
    const auto head = compact_first.find(std::hash<std::string_view>{}(compact));
    if (head == compact_first.end()) return out;
    std::string joined;
    for (std::uint32_t v = head->second; v != std::numeric_limits<std::uint32_t>::max(); v = compact_next[v]) {
      const Entry& e = entries[v];
      joined.clear();
      for (std::uint32_t k = 0; k < e.word_count; ++k) joined += words[value_words[e.words_begin + k]].text;
      if (joined == compact) out.push_back(v);
    }
    return out;
  }
};

namespace {

struct Candidate {
  std::uint32_t word;
  std::uint32_t edits;
  bool plural = false;  // the word's singular or plural: an edit only inside a longer value
  bool root = false;    // another word of its root (same_root): a one-word value only
};

struct QuestionWord {
  Token token;
  WordKind kind;
  std::vector<Candidate> candidates;  // words of the index it may be

  // Edits to a word of the index it may be; -1 when it may not be that
  // word, or only as another of its root, which no longer value holds.
  int edits_to(std::uint32_t word) const noexcept {
    for (const Candidate& c : candidates)
      if (c.word == word && !c.root) return static_cast<int>(c.edits);
    return -1;
  }
  bool plural_of(std::uint32_t word) const noexcept {
    for (const Candidate& c : candidates)
      if (c.word == word) return c.plural;
    return false;
  }
};

struct Found {
  std::uint32_t value;   // entry
  std::uint32_t first, last;  // question words [first, last)
  std::size_t begin, end;     // bytes
  Fit fit;
  double score;
  std::uint32_t prefix = 0;  // for Fit::kPrefix: the bytes of the value the code takes
  std::uint32_t ending = 0;  // or, when not 0, where the value's ending it takes begins
  std::uint32_t said = 0;    // for Fit::kPartial: other words of its clause that the value holds
  bool variant = false;      // one word read as another form of a trade's word
};

}  // namespace

std::vector<Match> ValueIndex::Impl::match(std::string_view question) const {
  if (entries.empty() || !text::is_valid_utf8(question)) return {};
  std::vector<Token> tokens;
  split_tokens(question, tokens);
  std::vector<QuestionWord> q;
  q.reserve(tokens.size());
  for (Token& t : tokens) {
    QuestionWord w;
    w.kind = kind_of(t.text);
    w.token = std::move(t);
    q.push_back(std::move(w));
  }

  // The words of the index each question word may be: itself, and for a
  // word that may be misspelt its neighbours within the edits allowed.
  for (QuestionWord& w : q) {
    const auto exact = word_ids.find(std::string_view(w.token.text));
    if (exact != word_ids.end()) w.candidates.push_back({exact->second, 0});
    // Slang read as the trade's word, or as a stored word of its root
    // ("sparkies": electricians, 'Electrical').
    for (const std::string_view reading : slang_readings(w.token.text)) {
      if (const auto it = word_ids.find(reading); it != word_ids.end() && w.edits_to(it->second) < 0)
        w.candidates.push_back({it->second, 1});
      const std::u32string cps = code_points(reading);
      if (const auto family = families.find(family_key(cps)); family != families.end())
        for (const std::uint32_t id : family->second)
          if (w.edits_to(id) < 0 && same_root(cps, cps_of(id))) w.candidates.push_back({id, 1, false, true});
    }
    // A verb of four letters with "ing" after it ("the reaming" of 'Ream
    // raise'), which no family of five letters holds, as one edit too.
    if (const std::string_view text = w.token.text;
        w.kind.fuzzy() && text.size() == 7 && text.ends_with("ing"))
      if (const auto it = word_ids.find(text.substr(0, 4)); it != word_ids.end() && w.edits_to(it->second) < 0)
        w.candidates.push_back({it->second, 1});
    // A planner's shorthand ("fab" for fabrication) as one edit too.
    if (const std::string_view full = linking::shorthand_for(w.token.text); full != w.token.text)
      if (const auto it = word_ids.find(full); it != word_ids.end() && w.edits_to(it->second) < 0)
        w.candidates.push_back({it->second, 1});
    if (!w.kind.fuzzy() || number_word(w.token.text)) continue;
    const std::u32string cps = code_points(w.token.text);
    const std::uint64_t mask = char_mask(cps);
    const auto n = static_cast<std::uint32_t>(cps.size());
    for (std::uint32_t m = n > 6 ? n - 2 : 4; m <= n + 2; ++m) {
      const unsigned limit = allowed_edits(std::min(n, m));
      if ((n > m ? n - m : m - n) > limit) continue;
      for (const bool last : {false, true}) {
        const auto bucket = neighbourhoods.find(neighbourhood_key(last, last ? cps.back() : cps.front(), m));
        if (bucket == neighbourhoods.end()) continue;
        for (const Neighbour& near : bucket->second) {
          // Words sharing the first letter were seen in the first list.
          if (last && near.first == cps.front()) continue;
          if (static_cast<unsigned>(std::popcount(mask ^ near.mask)) > 2 * limit) continue;
          const std::uint32_t id = near.word;
          if (exact != word_ids.end() && id == exact->second) continue;
          const std::u32string_view other = cps_of(id);
          const unsigned d = limit == 1 ? edits_within_one(cps, other)
                                        : linking::edit_distance(std::u32string_view(cps), other, limit);
          if (d <= limit) w.candidates.push_back({id, d});
        }
      }
    }
    // Words it begins or that begin it, as one edit; its singular or plural
    // ("transformers" for 'Transformer') as the word itself.
    if (const auto family = families.find(family_key(cps)); family != families.end())
      for (const std::uint32_t id : family->second)
        if (w.edits_to(id) < 0 && std::none_of(w.candidates.begin(), w.candidates.end(),
                                               [&](const Candidate& c) { return c.word == id; })) {
          if (same_family(cps, cps_of(id)) || e_inflection(cps, cps_of(id))) w.candidates.push_back({id, 1});
          else if (same_root(cps, cps_of(id))) w.candidates.push_back({id, 1, false, true});
        }
    for (Candidate& c : w.candidates)
      c.plural = c.edits == 1 && plural_of(cps, cps_of(c.word));
  }

  std::vector<Found> found;
  auto same_clause = [&](std::size_t a, std::size_t b) { return q[a].token.clause == q[b].token.clause; };
  // Runs: a question word matched to a value word, extended while the next
  // question word matches the value's next word.
  std::vector<std::uint32_t> run_edits;
  // How rare each question word's rarest reading is.
  std::vector<double> rarest(q.size(), 0.0);
  for (std::size_t i = 0; i < q.size(); ++i)
    for (const Candidate& c : q[i].candidates)
      if (!c.root && !words[c.word].kind.weak()) rarest[i] = std::max(rarest[i], rarity(words[c.word].holding));
  for (std::size_t i = 0; i < q.size(); ++i) {
    // The longest run that can start here, and whether a partial match
    // along it could score enough: a run of common words cannot, so only
    // values it could name whole are looked at ("zone" for 'Zone').
    std::size_t reach = 0;
    double all_common = 1;
    while (i + reach < q.size() && same_clause(i, i + reach) && !q[i + reach].candidates.empty())
      all_common *= 1.0 - rarest[i + reach++];
    const bool partial_possible = 0.75 * (1.0 - all_common) >= kScoreFloor;
    for (const Candidate& start : q[i].candidates) {
      for (const Posting& at : words[start.word].postings) {
        if (!partial_possible && (at.position != 0 || at.word_count > reach)) continue;
        if (start.root && at.word_count != 1) continue;
        const Entry& e = entries[at.value];
        const std::uint32_t* vw = value_words.data() + e.words_begin;
        // A run that an earlier question word already began covers this one.
        bool covered = false;
        for (std::size_t j = 1; j <= i && j <= at.position && same_clause(i - j, i); ++j) {
          const std::uint32_t before = vw[at.position - j];
          if (q[i - j].edits_to(before) < 0) break;
          if (at.position == j || !words[before].kind.weak()) {
            covered = true;
            break;
          }
        }
        if (covered) continue;
        run_edits.assign(1, start.edits);
        std::size_t length = 1;
        while (i + length < q.size() && same_clause(i, i + length) && at.position + length < e.word_count) {
          const int d = q[i + length].edits_to(vw[at.position + length]);
          if (d < 0) break;
          run_edits.push_back(static_cast<std::uint32_t>(d));
          ++length;
        }
        std::size_t first = i, last = i + length;
        const bool whole = at.position == 0 && length == e.word_count;
        // A code's meaning names the code whole, or, where the meaning is a
        // thing's name (naming words only), by its last words as written
        // where no other meaning of the column ends so ("the ferry" of
        // 'RORO', ro-ro passenger ferry; not "vessel" of both the patrol and
        // the research vessel, nor "progress" of 'IP', in progress).
        bool head = false;
        if (e.meaning && !whole && at.position + length == e.word_count &&
            std::all_of(run_edits.begin(), run_edits.end(), [](std::uint32_t d) { return d == 0; }) &&
            std::none_of(vw, vw + e.word_count, [&](std::uint32_t w) { return words[w].kind.weak(); })) {
          const std::uint32_t end_word = vw[e.word_count - 1];
          head = std::none_of(words[end_word].postings.begin(), words[end_word].postings.end(), [&](const Posting& p) {
            const Entry& o = entries[p.value];
            return p.value != at.value && o.column == e.column && o.meaning && p.position + 1u == o.word_count;
          });
        }
        if (e.meaning && !whole && !head) continue;
        if (!whole) {
          // A partial match begins and ends with words that name something,
          // or ends with a letter or number the value holds there ("splicing
          // team B" of 'Lumen splicing team B', not of '... team A'; "route
          // 3" of 'Route 3 - Library and Arts buildings').
          // (A capital "A" too, which is no article there.)
          auto mark = [&](std::size_t k) {
            const Token& t = q[k].token;
            if (run_edits[k - i] != 0) return false;
            if (q[k].kind.digits && !q[k].kind.letters) return k == 0 || !month_name(q[k - 1].token.text);
            const bool capital = t.end == t.begin + 1 && question[t.begin] >= 'A' && question[t.begin] <= 'Z';
            return q[k].kind.letters && !q[k].kind.digits && q[k].kind.length == 1 && (capital || !q[k].kind.stop);
          };
          while (first < last && q[first].kind.weak()) ++first;
          while (last > first && q[last - 1].kind.weak() && !mark(last - 1)) --last;
        }
        double keep = 1;  // 1 - rarity, over the words that count
        std::uint32_t edits = 0, naming = 0, plurals = 0;
        bool strong = false;
        for (std::size_t k = first; k < last; ++k) {
          const Word& w = words[vw[at.position + (k - i)]];
          edits += run_edits[k - i];
          if (run_edits[k - i] == 1 && q[k].plural_of(vw[at.position + (k - i)])) ++plurals;
          if (w.kind.weak()) continue;
          ++naming;
          strong = strong || w.kind.strong();
          // A word read as another one ("tunnel" as 'tunnelling') is no
          // rarer than the stored word the question wrote.
          std::uint32_t holding = w.holding;
          if (run_edits[k - i] > 0)
            for (const Candidate& c : q[k].candidates)
              if (c.edits == 0) holding = std::max(holding, words[c.word].holding);
          keep *= 1.0 - rarity(holding);
        }
        // Nothing but stop words, numbers and single letters names nothing.
        if (naming == 0 || (!whole && !strong)) continue;
        double rare = 1.0 - keep;
        const double edited = std::max(0.0, 1.0 - kEditPenalty * edits);
        Fit fit;
        double score;
        // A whole value read in the plural or singular is the value itself.
        if (whole && edits == plurals) {
          fit = Fit::kExact;
          score = exact_score(rare, last - first);
        } else if (whole) {
          fit = Fit::kFuzzy;
          score = (0.7 + 0.1 * rare) * edited;
        } else {
          fit = Fit::kPartial;
          double covered_share = static_cast<double>(naming) / std::max<std::uint32_t>(1, e.naming_count);
          // In a column naming the things the schema is about, a word that
          // no other value of the column holds singles the value out: "the
          // school" for 'Hollaway Primary School Extension'.
          if (covered_share < kSinglingShare) {
            bool singled = false;
            for (std::size_t k = first; k < last && !singled && refs[e.column].referenced; ++k) {
              const Word& w = words[vw[at.position + (k - i)]];
              if (w.kind.weak() || !w.kind.strong() || w.holding > kSinglingMaxHolding) continue;
              singled = std::none_of(w.postings.begin(), w.postings.end(), [&](const Posting& p) {
                return p.value != at.value && entries[p.value].column == e.column;
              });
            }
            // In any column, its words with the numbers and letters among
            // them, which no other value of the column holds in a row
            // ("route 3").
            if (!singled && last - first >= 2 && q[last - 1].kind.weak()) {
              const std::size_t from = at.position + (first - i);
              singled = std::none_of(words[vw[from]].postings.begin(), words[vw[from]].postings.end(),
                                     [&](const Posting& p) {
                                       if (p.value == at.value || entries[p.value].column != e.column) return false;
                                       const Entry& o = entries[p.value];
                                       if (p.position + (last - first) > o.word_count) return false;
                                       for (std::size_t k = 1; k < last - first; ++k)
                                         if (value_words[o.words_begin + p.position + k] != vw[from + k]) return false;
                                       return true;
                                     });
            }
            // Twice its share, so that more of the value's words still say
            // more; and as rare as a word of that one value.
            if (singled) {
              covered_share = std::min(kSinglingShare, 2 * covered_share);
              rare = 1.0;
            }
          }
          score = 0.75 * (0.45 + 0.55 * covered_share) * rare * edited;
        }
        // A code's meaning names it only as written (or in the plural), and
        // less surely than a stored text names itself: a word the code's
        // meaning shares with stored names ("splicing" of 'SPL (splicing)'
        // and of 'Splicing - cabinet') reads as those names.
        if (e.meaning && fit != Fit::kExact && !head) continue;
        if (head) score = kMeaningHeadScore;
        if (e.meaning) score *= kMeaningShare;
        if (score < kScoreFloor) continue;
        found.push_back(Found{at.value, static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last),
                              q[first].token.begin, q[last - 1].token.end, fit, score, 0, 0, 0,
                              start.root && last - first == 1});
      }
    }
  }

  // A name of three naming words or more said in another order ("the zone B
  // foundation pour" for 'Pour foundations - Zone B'): every naming word of
  // the value read by a different question word of one clause, close
  // together. Scores below a match in the stored order.
  // Where the question's naming words stand in values of at least
  // `min_naming` naming words, through words held by at most `max_postings`.
  struct Hit {
    std::uint32_t value, question_word, edits;
    std::uint16_t position;
  };
  auto naming_hits = [&](std::size_t max_postings, std::uint32_t min_naming) {
    std::vector<Hit> hits;
    for (std::size_t i = 0; i < q.size(); ++i) {
      if (q[i].kind.weak()) continue;
      for (const Candidate& c : q[i].candidates) {
        const Word& w = words[c.word];
        if (c.root || w.kind.weak() || w.postings.size() > max_postings) continue;
        for (const Posting& p : w.postings)
          if (entries[p.value].naming_count >= min_naming)
            hits.push_back({p.value, static_cast<std::uint32_t>(i), c.edits, p.position});
      }
    }
    return hits;
  };
  {
    std::vector<Hit> hits = naming_hits(kUnorderedMaxPostings, kUnorderedMinWords);
    std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
      return std::tie(a.value, a.position, a.edits, a.question_word) <
             std::tie(b.value, b.position, b.edits, b.question_word);
    });
    std::vector<std::uint32_t> used;
    for (std::size_t a = 0, b = 0; a < hits.size(); a = b) {
      while (b < hits.size() && hits[b].value == hits[a].value) ++b;
      const Entry& e = entries[hits[a].value];
      // Each naming position of the value, read by its best unused question word.
      used.clear();
      std::uint32_t edits = 0;
      std::size_t covered = 0;
      for (std::size_t k = a; k < b;) {
        std::size_t end = k;
        while (end < b && hits[end].position == hits[k].position) ++end;
        for (std::size_t h = k; h < end; ++h)
          if (std::find(used.begin(), used.end(), hits[h].question_word) == used.end()) {
            used.push_back(hits[h].question_word);
            edits += hits[h].edits;
            ++covered;
            break;
          }
        k = end;
      }
      if (covered != e.naming_count) continue;
      const auto [lo, hi] = std::minmax_element(used.begin(), used.end());
      const std::uint32_t first = *lo, last = *hi + 1;
      if (last - first > e.naming_count + kUnorderedSlack || !same_clause(first, last - 1)) continue;
      // In the stored order, the runs above found it already.
      if (std::is_sorted(used.begin(), used.end()) && last - first == e.naming_count) continue;
      // Its letters and numbers ("B" of 'Zone B') stand nearby as written.
      double keep = 1;
      bool marks_said = true;
      for (std::uint32_t k = 0; k < e.word_count && marks_said; ++k) {
        const Word& w = words[value_words[e.words_begin + k]];
        if (!w.kind.weak()) {
          keep *= 1.0 - rarity(w.holding);
        } else if (!w.kind.stop || w.kind.length == 1) {
          marks_said = false;
          for (std::size_t j = first > 0 ? first - 1 : 0; j < std::min<std::size_t>(q.size(), last + 1); ++j)
            marks_said = marks_said || q[j].token.text == w.text;
        }
      }
      if (!marks_said) continue;
      const double score = kUnorderedShare * (1.0 - keep) * std::max(0.0, 1.0 - kEditPenalty * edits);
      if (score < kScoreFloor) continue;
      found.push_back(Found{hits[a].value, first, last, q[first].token.begin, q[last - 1].token.end, Fit::kPartial,
                            score});
    }
  }

  // Words that only one value of its column holds together, close to each
  // other in one clause, though each alone is in several ("the switchgear
  // delivery" for 'Delivery to site - MCC and switchgear', one of six
  // switchgear activities and of a dozen deliveries): that value, as a
  // partial match whose words single it out. Of values holding the words,
  // those holding them nearest each other are meant ("the UPS install" for
  // 'Install UPS modules', not 'Install new UPS-A and Li-ion cabinets'); two
  // holding them alike are each read, below one that stands alone.
  {
    std::vector<Hit> hits = naming_hits(kTogetherMaxPostings, 2);
    std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
      return std::tie(a.value, a.question_word, a.edits) < std::tie(b.value, b.question_word, b.edits);
    });
    struct Group {
      std::uint32_t value, column, edits = 0;
      std::vector<std::uint32_t> question_words;  // ascending
      std::uint16_t lo = UINT16_MAX, hi = 0;       // where in the value they stand
      std::uint32_t marks = 0;                     // numbers and letters said nearby that it holds
    };
    std::vector<Group> groups;
    for (std::size_t a = 0, b = 0; a < hits.size(); a = b) {
      Group g{hits[a].value, entries[hits[a].value].column, 0, {}};
      for (b = a; b < hits.size() && hits[b].value == hits[a].value; ++b)
        if (g.question_words.empty() || g.question_words.back() != hits[b].question_word) {
          g.question_words.push_back(hits[b].question_word);
          g.edits += hits[b].edits;
          g.lo = std::min(g.lo, hits[b].position);
          g.hi = std::max(g.hi, hits[b].position);
        }
      if (g.question_words.size() < 2) continue;
      // The numbers and letters said beside its words that the value holds
      // too: "the cell 2 coating" is 'Internal coating of walls and floor
      // cell 2', not its twin of cell 1.
      const Entry& e = entries[g.value];
      const std::size_t from = g.question_words.front() > 0 ? g.question_words.front() - 1 : 0;
      const std::size_t to = std::min<std::size_t>(q.size(), g.question_words.back() + 2);
      for (std::size_t j = from; j < to; ++j) {
        if (!q[j].kind.weak() || (q[j].kind.stop && q[j].kind.length > 1) || !same_clause(j, g.question_words.front()))
          continue;
        for (std::uint32_t k = 0; k < e.word_count; ++k)
          if (words[value_words[e.words_begin + k]].text == q[j].token.text) {
            ++g.marks;
            break;
          }
      }
      groups.push_back(std::move(g));
    }
    std::sort(groups.begin(), groups.end(),
              [](const Group& a, const Group& b) { return std::tie(a.column, a.value) < std::tie(b.column, b.value); });
    if (groups.size() <= kTogetherMaxGroups) {
      for (std::size_t a = 0, b = 0; a < groups.size(); a = b) {
        while (b < groups.size() && groups[b].column == groups[a].column) ++b;
        for (std::size_t g = a; g < b; ++g) {
          const std::vector<std::uint32_t>& said = groups[g].question_words;
          const std::uint32_t first = said.front(), last = said.back() + 1;
          if (last - first > said.size() + kUnorderedSlack || !same_clause(first, last - 1)) continue;
          const Entry& e = entries[groups[g].value];
          // A value said whole is read by the rules above: in its order, or
          // in another when it has enough naming words for that rule. One of
          // fewer is read here only with its words side by side ("corrib
          // pipefitters"), not spread over a clause ("start before the finish").
          if (said.size() >= e.naming_count &&
              (e.naming_count >= kUnorderedMinWords || last - first != said.size()))
            continue;
          if (std::none_of(said.begin(), said.end(), [&](std::uint32_t k) { return q[k].kind.strong(); })) continue;
          // Other values of the column holding these words: one holding
          // more of them, or these nearer each other, is the one meant.
          std::size_t alike = 0;
          bool outdone = false;
          const auto spread = [](const Group& x) { return x.hi - x.lo; };
          for (std::size_t o = a; o < b && !outdone; ++o) {
            const std::vector<std::uint32_t>& other = groups[o].question_words;
            // (The same value read with and without its qualifier is one.)
            if (o == g || entries[groups[o].value].slot == e.slot ||
                !std::includes(other.begin(), other.end(), said.begin(), said.end()))
              continue;
            const auto key = [&](const Group& x) { return std::pair{x.marks, -spread(x)}; };
            outdone = other.size() > said.size() || key(groups[o]) > key(groups[g]);
            alike += key(groups[o]) == key(groups[g]);
          }
          if (outdone || alike + 1 > kAlikeValues) continue;
          const double share = std::min(kSinglingShare, static_cast<double>(said.size()) / e.naming_count);
          const double score = 0.75 * (0.45 + 0.55 * share) * std::max(0.0, 1.0 - kEditPenalty * groups[g].edits) *
                               (alike > 0 ? kAlikeShare : 1.0);
          if (score < kScoreFloor) continue;
          found.push_back(Found{groups[g].value, first, last, q[first].token.begin, q[last - 1].token.end,
                                Fit::kPartial, score});
        }
      }
    }
  }

  // A year said by its last two digits and the next's ("24/25"), standing
  // alone: the stored year written in full ('2024/25', '2024-25').
  for (std::size_t i = 0; i + 1 < q.size(); ++i) {
    const std::string& a = q[i].token.text;
    const std::string& b = q[i + 1].token.text;
    auto two_digits = [](const std::string& t) { return t.size() == 2 && is_digit(t[0]) && is_digit(t[1]); };
    if (!two_digits(a) || !two_digits(b) || (std::stoi(a) + 1) % 100 != std::stoi(b)) continue;
    if (q[i].token.end + 1 != q[i + 1].token.begin || question[q[i].token.end] != '/') continue;
    auto apart = [](char c) { return c == ' ' || c == '(' || c == ')' || c == ',' || c == '.' || c == ';' ||
                                     c == ':' || c == '?' || c == '!'; };
    if ((q[i].token.begin > 0 && !apart(question[q[i].token.begin - 1])) ||
        (q[i + 1].token.end < question.size() && !apart(question[q[i + 1].token.end])))
      continue;
    const std::vector<std::uint32_t> hits = values_spelt("20" + a + b);
    const double rare = rarity(static_cast<std::uint32_t>(hits.size()));
    for (const std::uint32_t v : hits)
      found.push_back(Found{v, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 2), q[i].token.begin,
                            q[i + 1].token.end, Fit::kExact, exact_score(rare, 2)});
  }

  // Code-like tokens, whole: "hbr2200" or "HBR_2200" for 'HBR-2200'. A
  // token is what lies between spaces, less punctuation at its ends.
  for (std::size_t i = 0; i < q.size();) {
    std::size_t j = i + 1;
    while (j < q.size() && q[j].token.begin > q[j - 1].token.end) {
      // Words of one token touch but for the punctuation joining them.
      const std::string_view gap = question.substr(q[j - 1].token.end, q[j].token.begin - q[j - 1].token.end);
      if (gap.size() != 1 || (gap[0] != '-' && gap[0] != '_' && gap[0] != '.')) break;
      ++j;
    }
    bool letters = false, digits = false, only_stop_words = true;
    std::string compact;
    for (std::size_t k = i; k < j; ++k) {
      letters = letters || q[k].kind.letters;
      digits = digits || q[k].kind.digits;
      only_stop_words = only_stop_words && q[k].kind.stop;
      compact += q[k].token.text;
    }
    // Letters and digits ("A1010"), or words joined by punctuation
    // ("RMC-A", "in-progress"), but not filler joined up ("out-of"); or
    // one word that is a value's words run together ("onhold" for 'OnHold').
    // A number of five digits or more is a reference, not a quantity
    // ("wo 41020651"), where a value stores it whole.
    const bool token_code = (letters && (digits || j > i + 1) && !only_stop_words && text::length(compact) >= 2) ||
                            (!letters && j == i + 1 && text::length(compact) >= kReferenceDigits);
    const bool joined_up = !token_code && j == i + 1 && !only_stop_words && text::length(compact) >= 4;
    if (token_code || joined_up) {
      std::vector<std::uint32_t> hits;
      for (const std::uint32_t v : values_spelt(compact))
        if (token_code || entries[v].word_count >= 2) hits.push_back(v);
      if (hits.empty() && token_code && digits)
        if (const auto bare = unpadded.find(without_padding(compact)); bare != unpadded.end())
          hits = bare->second;
      const double rare = rarity(static_cast<std::uint32_t>(hits.size()));
      for (const std::uint32_t v : hits)
        found.push_back(Found{v, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j), q[i].token.begin,
                              q[j - 1].token.end, Fit::kExact, exact_score(rare, j - i)});
    }
    i = j;
  }

  // A relationship type spelt out ("start-to-start", "finish to start") is
  // also read as the code of its initials ('SS', 'FS').
  for (std::size_t i = 0; i + 2 < q.size(); ++i) {
    auto end_word = [&](std::size_t k) { return q[k].token.text == "start" || q[k].token.text == "finish"; };
    if (!end_word(i) || q[i + 1].token.text != "to" || !end_word(i + 2)) continue;
    const std::string code{q[i].token.text[0], q[i + 2].token.text[0]};
    for (const std::uint32_t v : values_spelt(code))
      if (entries[v].word_count == 1)
        found.push_back(Found{v, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 3), q[i].token.begin,
                              q[i + 2].token.end, Fit::kExact, exact_score(1.0, 3)});
  }

  // Work "underway", "under way" or "ongoing" is the status a schedule
  // stores as 'In Progress'.
  for (std::size_t i = 0; i < q.size(); ++i) {
    const std::string& w = q[i].token.text;
    const std::size_t span = w == "underway" || w == "ongoing"                                    ? 1
                             : w == "under" && i + 1 < q.size() && q[i + 1].token.text == "way" ? 2
                                                                                                 : 0;
    if (span == 0) continue;
    for (const std::uint32_t v : values_spelt("inprogress"))
      if (entries[v].word_count == 2)
        found.push_back(Found{v, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + span), q[i].token.begin,
                              q[i + span - 1].token.end, Fit::kExact, exact_score(1.0, span)});
  }

  // A permit, restriction or notice "live" or "active" is one a register
  // stores as 'In Force', where its column spells neither word.
  for (std::size_t i = 0; i < q.size(); ++i) {
    const std::string& w = q[i].token.text;
    if (w != "live" && w != "active") continue;
    const std::vector<std::uint32_t> said = values_spelt(w);
    for (const std::uint32_t v : values_spelt("inforce"))
      if (entries[v].word_count == 2 && std::none_of(said.begin(), said.end(), [&](std::uint32_t o) {
            return entries[o].column == entries[v].column;
          }))
        found.push_back(Found{v, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1), q[i].token.begin,
                              q[i].token.end, Fit::kExact, exact_score(1.0, 1)});
  }

  // A red, amber or green rating is also the letter a RAG column stores
  // ('R', 'A', 'G'): a column whose every value is one of those letters.
  for (std::size_t i = 0; i < q.size(); ++i) {
    const std::string& colour = q[i].token.text;
    if (colour != "red" && colour != "amber" && colour != "green") continue;
    const std::string code(1, colour[0]);
    for (const std::uint32_t v : values_spelt(code)) {
      const std::vector<std::string>& held = columns[entries[v].column].values;
      const bool rag = held.size() >= 2 && std::all_of(held.begin(), held.end(), [](const std::string& x) {
        return x.size() == 1 && std::string_view("RAGrag").find(x[0]) != std::string_view::npos;
      });
      if (rag)
        found.push_back(Found{v, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1), q[i].token.begin,
                              q[i].token.end, Fit::kExact, exact_score(1.0, 1)});
    }
  }

  // Two capitals joined by "&" ("C&Q") for the two words a value joins by
  // "and" or "&" ('Commissioning and Qualification Programme'), when at
  // most kInitialsValues values have them.
  for (std::size_t i = 0; i + 1 < q.size(); ++i) {
    const Token& a = q[i].token;
    const Token& b = q[i + 1].token;
    auto capital = [&](const Token& t) { return t.end == t.begin + 1 && question[t.begin] >= 'A' && question[t.begin] <= 'Z'; };
    if (b.begin != a.end + 1 || question[a.end] != '&' || !capital(a) || !capital(b)) continue;
    const auto joined = joined_initials.find(std::string{a.text.front(), b.text.front()});
    if (joined == joined_initials.end() || joined->second.size() > kInitialsValues) continue;
    for (const std::uint32_t v : joined->second)
      found.push_back(Found{v, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 2), a.begin, b.end,
                            Fit::kFuzzy, kInitialsScore});
  }

  // An acronym written in capitals that no value holds as a word of its
  // own: the values it abbreviates ("LTIs" for 'Lost Time Injury').
  for (std::size_t i = 0; i < q.size(); ++i) {
    const QuestionWord& w = q[i];
    std::string_view written = question.substr(w.token.begin, w.token.end - w.token.begin);
    if (written.size() > 3 && written.back() == 's') written.remove_suffix(1);
    if (written.size() < 3 || written.size() > kMaxInitials ||
        !std::all_of(written.begin(), written.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
      continue;
    std::string key(written);
    for (char& c : key) c = static_cast<char>(c - 'A' + 'a');
    if (word_ids.count(std::string_view(key)) || word_ids.count(std::string_view(w.token.text))) continue;
    const auto it = initials.find(key);
    if (it == initials.end()) continue;
    std::vector<std::uint32_t> named = it->second;
    std::sort(named.begin(), named.end());
    named.erase(std::unique(named.begin(), named.end()), named.end());
    if (named.size() > kInitialsValues) continue;
    for (const std::uint32_t v : named)
      found.push_back(Found{v, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1), w.token.begin,
                            w.token.end, Fit::kFuzzy, kInitialsScore});
  }

  // A code in capitals that another code holds after its first part ("the
  // SRU shutdown" for the turnaround 'TA25-SRU'): the values holding it, when
  // few do.
  for (std::size_t i = 0; i < q.size(); ++i) {
    const QuestionWord& w = q[i];
    const std::string_view written = question.substr(w.token.begin, w.token.end - w.token.begin);
    if (written.size() < 2 || written.size() > 6 ||
        !std::all_of(written.begin(), written.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
      continue;
    const auto it = code_parts.find(w.token.text);
    if (it == code_parts.end() || it->second.size() > kInitialsValues) continue;
    for (const std::uint32_t v : it->second)
      found.push_back(Found{v, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1), w.token.begin,
                            w.token.end, Fit::kFuzzy, kInitialsScore});
  }

  // Two words that a one-word value writes as one ("back order" for
  // 'Backordered', "work shop" for 'Workshop'), whole or as its beginning.
  for (std::size_t i = 0; i + 1 < q.size(); ++i) {
    const WordKind &a = q[i].kind, &b = q[i + 1].kind;
    if (!same_clause(i, i + 1) || !a.fuzzy() || b.stop || !b.letters || b.digits || b.length < 3 ||
        q[i + 1].token.begin != q[i].token.end + 1)
      continue;
    const std::string joined = q[i].token.text + q[i + 1].token.text;
    std::vector<std::pair<std::uint32_t, bool>> readings;  // word, whole
    if (const auto exact = word_ids.find(std::string_view(joined)); exact != word_ids.end())
      readings.emplace_back(exact->second, true);
    const std::u32string cps = code_points(joined);
    if (const auto family = families.find(family_key(cps)); family != families.end())
      for (const std::uint32_t id : family->second)
        if (same_family(cps, cps_of(id)) && cps.size() < words[id].cp_count) readings.emplace_back(id, false);
    for (const auto& [id, whole] : readings)
      for (const Posting& p : words[id].postings) {
        if (p.word_count != 1) continue;
        const double rare = rarity(words[id].holding);
        found.push_back(Found{p.value, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 2),
                              q[i].token.begin, q[i + 1].token.end, whole ? Fit::kExact : Fit::kFuzzy,
                              whole ? exact_score(rare, 2) : (0.7 + 0.1 * rare) * (1.0 - kEditPenalty)});
      }
  }

  // Site shorthand for a status: "WIP" is work in progress.
  for (std::size_t i = 0; i < q.size(); ++i) {
    if (q[i].token.text != "wip") continue;
    for (const std::string_view status : {"inprogress", "workinprogress"})
      for (const std::uint32_t v : values_spelt(status))
        found.push_back(Found{v, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1), q[i].token.begin,
                              q[i].token.end, Fit::kExact, exact_score(1.0, 1)});
  }

  // A code of two to six letters or digits that begins at least
  // kPrefixValues values of a column, written there in capitals and followed
  // by punctuation ("ndc" of 'NDC-A1010', 'NDC-A1020', ...): the rows whose
  // value starts with it. Codes of one column mostly share their prefixes,
  // so this says which rows, where one of the values would not.
  for (std::size_t i = 0; i < q.size(); ++i) {
    const QuestionWord& w = q[i];
    const std::string& code = w.token.text;
    if (w.kind.stop || !w.kind.letters || code.size() < 2 || code.size() > 6) continue;
    const auto id = word_ids.find(std::string_view(code));
    if (id == word_ids.end()) continue;
    // A code, not a word of the language ("site" of 'SITE-001'): written in
    // capitals, or stored whole as a value of its own (a project's code).
    const std::string_view written = question.substr(w.token.begin, w.token.end - w.token.begin);
    bool is_code = std::all_of(written.begin(), written.end(),
                               [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
    if (!is_code) {
      const std::vector<std::uint32_t> whole = values_spelt(code);
      is_code = std::any_of(whole.begin(), whole.end(), [&](std::uint32_t v) { return entries[v].word_count == 1; });
    }
    if (!is_code) continue;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> starts;  // column, entry
    for (const Posting& p : words[id->second].postings)
      if (p.position == 0 && p.word_count >= 2) starts.emplace_back(entries[p.value].column, p.value);
    std::sort(starts.begin(), starts.end());
    for (std::size_t a = 0, b = 0; a < starts.size(); a = b) {
      while (b < starts.size() && starts[b].first == starts[a].first) ++b;
      if (b - a < kPrefixValues) continue;
      const Entry& e = entries[starts[a].second];
      const std::string& stored = columns[e.column].values[e.slot];
      if (stored.size() <= code.size()) continue;
      const char after = stored[code.size()];
      bool capitals = after == '-' || after == '_' || after == '.' || after == '/';
      for (std::size_t k = 0; capitals && k < code.size(); ++k) {
        const char c = stored[k];
        capitals = (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' == code[k] : (c >= '0' && c <= '9' && c == code[k]);
      }
      if (!capitals) continue;
      found.push_back(Found{starts[a].second, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1),
                            w.token.begin, w.token.end, Fit::kPrefix, kPrefixScore,
                            static_cast<std::uint32_t>(code.size() + 1)});
    }
  }

  // A word that many longer values of a column hold at the same place,
  // after the same words and before the same words but for their codes
  // ("civils" of 'Civils - duct and chambers ASHV-C01', 'Civils - duct and
  // chambers CRNH-C02', ...; "WTGs" of 'Install WTG A01 (tower)', ...):
  // their common beginning, which says which rows the question means where
  // no one value would. These come after the values matched, for a word that
  // names no value outright and begins no codes. A word in more values than
  // kWordPrefixHolding is no name's.
  std::vector<Found> beginnings;
  for (std::size_t i = 0; i < q.size(); ++i) {
    const QuestionWord& w = q[i];
    const std::string_view written = question.substr(w.token.begin, w.token.end - w.token.begin);
    const bool capitals = written.size() >= 2 && written.front() >= 'A' && written.front() <= 'Z' &&
                          std::all_of(written.begin(), written.end(), [](char c) {
                            return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == 's';
                          });
    if (w.kind.stop || !w.kind.letters || (!w.kind.strong() && !capitals)) continue;
    // A bare noun after a preposition is said of a place or a state ("on
    // site", "in progress"), not of the rows a name begins.
    if (i > 0 && q[i - 1].token.end + 1 == w.token.begin &&
        std::find(std::begin(kIdiomPrepositions), std::end(kIdiomPrepositions), q[i - 1].token.text) !=
            std::end(kIdiomPrepositions))
      continue;
    if (std::any_of(found.begin(), found.end(), [&](const Found& f) { return f.fit == Fit::kPrefix && f.first == i; }))
      continue;
    // The word as written, its singular ("WTGs" of 'Install WTG A01'), and
    // the verb of its "-ing" ("the reaming" of 'Ream raise RAR1', "piling"
    // of 'Pile cap P3').
    std::vector<std::uint32_t> ids;
    const std::string_view text = w.token.text;
    std::string forms[] = {std::string(text), std::string(), std::string(), std::string()};
    if (text.size() > 3 && text.back() == 's') forms[1] = text.substr(0, text.size() - 1);
    if (text.size() >= 7 && text.ends_with("ing")) {
      forms[2] = text.substr(0, text.size() - 3);
      forms[3] = forms[2] + "e";
    }
    for (const std::string& form : forms)
      if (const auto id = word_ids.find(std::string_view(form));
          !form.empty() && id != word_ids.end() && words[id->second].holding <= kWordPrefixHolding &&
          std::find(ids.begin(), ids.end(), id->second) == ids.end())
        ids.push_back(id->second);
    // (column, beginning, the words after it with each code as '#') -> an
    // entry that begins so, and the stored values that do.
    std::map<std::tuple<std::uint32_t, std::string, std::string>, std::pair<std::uint32_t, std::set<std::uint32_t>>>
        groups;
    // Likewise the word many values end with after their codes ("watertight"
    // of 'Plot 3 - Watertight', 'Plot 4 - Watertight', ...): (column, the
    // words before with each code as '#', the ending) -> an entry, where its
    // ending begins, and the values.
    std::map<std::tuple<std::uint32_t, std::string, std::string>,
             std::tuple<std::uint32_t, std::uint32_t, std::set<std::uint32_t>>>
        endings;
    std::vector<Token> stored_tokens;
    auto is_code = [](const std::string& stored, const Token& t) {
      const std::string_view as_stored(stored.data() + t.begin, t.end - t.begin);
      return std::any_of(t.text.begin(), t.text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
             (as_stored.size() >= 2 &&
              std::all_of(as_stored.begin(), as_stored.end(), [](char c) { return c >= 'A' && c <= 'Z'; }));
    };
    for (const std::uint32_t id : ids)
      for (const Posting& p : words[id].postings) {
        const Entry& e = entries[p.value];
        const std::string& stored = columns[e.column].values[e.slot];
        split_tokens(stored, stored_tokens);
        if (stored_tokens.size() >= 3 && p.position + 1u == stored_tokens.size() && p.position >= 1 &&
            is_code(stored, stored_tokens[p.position - 1u])) {
          std::string before;
          for (std::size_t k = 0; k < p.position; ++k) {
            before += is_code(stored, stored_tokens[k]) ? std::string_view("#") : std::string_view(stored_tokens[k].text);
            before += ' ';
          }
          const std::uint32_t from = static_cast<std::uint32_t>(stored_tokens[p.position].begin);
          auto& ending = endings[{e.column, std::move(before), stored.substr(from)}];
          if (std::get<2>(ending).empty()) ending = {p.value, from, {}};
          std::get<2>(ending).insert(e.slot);
          continue;
        }
        if (stored_tokens.size() < 3 || p.position + 1u >= stored_tokens.size()) continue;
        std::string after;
        for (std::size_t k = p.position + 1u; k < stored_tokens.size(); ++k) {
          const Token& t = stored_tokens[k];
          const std::string_view as_stored(stored.data() + t.begin, t.end - t.begin);
          const bool code = std::any_of(t.text.begin(), t.text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
                            (as_stored.size() >= 2 && std::all_of(as_stored.begin(), as_stored.end(), [](char c) {
                               return c >= 'A' && c <= 'Z';
                             }));
          after += code ? std::string_view("#") : std::string_view(t.text);
          after += ' ';
        }
        auto& group = groups[{e.column, stored.substr(0, stored_tokens[p.position].end), std::move(after)}];
        if (group.second.empty()) group.first = p.value;
        group.second.insert(e.slot);
      }
    std::set<std::pair<std::uint32_t, std::string>> given;
    for (const auto& [key, held] : groups) {
      const auto& [column, beginning, after] = key;
      if (held.second.size() < kPrefixValues || !given.emplace(column, beginning).second) continue;
      beginnings.push_back(Found{held.first, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1),
                                 w.token.begin, w.token.end, Fit::kPrefix, kWordPrefixScore,
                                 static_cast<std::uint32_t>(beginning.size())});
    }
    for (const auto& [key, held] : endings) {
      const auto& [column, before, ending] = key;
      const auto& [entry, from, values] = held;
      if (values.size() < kPrefixValues || !given.emplace(column, "%" + ending).second) continue;
      beginnings.push_back(Found{entry, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1), w.token.begin,
                                 w.token.end, Fit::kPrefix, kWordPrefixScore, 0, from});
    }
  }

  // Of values a phrase names alike, the one holding more of the other words
  // of its clause is meant ("theatres 7 and 8 go back into clinical use" of
  // 'Theatres 7-8 returned to clinical use', not of 'Theatres 1-2 ...').
  for (Found& f : found) {
    if (f.fit != Fit::kPartial) continue;
    const Entry& e = entries[f.value];
    for (std::size_t j = 0; j < q.size(); ++j) {
      if ((j >= f.first && j < f.last) || !same_clause(j, f.first) || (q[j].kind.stop && q[j].kind.length > 1)) continue;
      for (std::uint32_t k = 0; k < e.word_count; ++k)
        if (words[value_words[e.words_begin + k]].text == q[j].token.text) {
          ++f.said;
          break;
        }
    }
  }
  // One match per value, the best kept (the longer phrase on a tie, then
  // the one holding more of the clause).
  std::sort(found.begin(), found.end(), [&](const Found& a, const Found& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.last - a.first != b.last - b.first) return a.last - a.first > b.last - b.first;
    if (a.said != b.said) return a.said > b.said;
    if (a.begin != b.begin) return a.begin < b.begin;
    const Entry &ea = entries[a.value], &eb = entries[b.value];
    if (ea.column != eb.column) return ea.column < eb.column;
    return ea.slot < eb.slot;
  });
  std::unordered_set<std::uint32_t> seen_values;
  std::vector<const Found*> chosen;
  for (const Found& f : found) {
    if (chosen.size() >= kMaxMatches) break;
    if (seen_values.count(f.value)) continue;
    bool keep = true;
    for (const Found* c : chosen) {
      const bool overlap = f.first < c->last && c->first < f.last;
      if (!overlap) continue;
      // Best first, so `c` scores at least as well as `f`: one value per
      // column for a stretch of the question; a phrase inside a chosen one
      // is a piece of it ("progress" of "in progress"); a phrase that holds
      // a chosen one says more and stays if it scores well enough to be
      // returned at all, in the same column too ("the S&C units delivery"
      // beside a task that "delivery" alone singles out); others stay when
      // near the best.
      const std::uint32_t f_words = f.last - f.first, c_words = c->last - c->first;
      const bool inside = f.first >= c->first && f.last <= c->last && f_words < c_words;
      const bool holds = f.first <= c->first && f.last >= c->last && f_words > c_words;
      if ((entries[c->value].column == entries[f.value].column && !holds) || inside ||
          (!holds && f.score < kOverlapShare * c->score)) {
        keep = false;
        break;
      }
    }
    if (keep) {
      chosen.push_back(&f);
      seen_values.insert(f.value);
    }
  }
  for (const Found& f : beginnings) {
    if (chosen.size() >= kMaxMatches) break;
    const bool named = std::any_of(chosen.begin(), chosen.end(), [&](const Found* c) {
      return f.first < c->last && c->first < f.last && (c->fit == Fit::kExact || c->fit == Fit::kFuzzy) &&
             !entries[c->value].meaning;
    });
    if (!named) chosen.push_back(&f);
  }
  std::vector<Match> out;
  out.reserve(chosen.size());
  for (const Found* f : chosen) {
    const Entry& e = entries[f->value];
    Match m;
    m.column = e.column;
    m.value = columns[e.column].values[e.slot];
    if (f->fit == Fit::kPrefix) m.value = f->ending ? "%" + m.value.substr(f->ending) : m.value.substr(0, f->prefix) + "%";
    m.phrase = std::string(question.substr(f->begin, f->end - f->begin));
    m.fit = f->fit;
    m.score = f->score;
    m.meaning = e.meaning;
    m.variant = f->variant;
    m.begin = f->begin;
    m.end = f->end;
    out.push_back(std::move(m));
  }
  return out;
}

std::size_t ValueIndex::Impl::memory_bytes() const noexcept {
  auto heap = [](const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; };
  // A node of an unordered container: the element, a next pointer and the
  // cached hash; plus a pointer per bucket.
  constexpr std::size_t kNode = 2 * sizeof(void*);
  std::size_t bytes = sizeof(Impl);
  bytes += refs.capacity() * sizeof(ColumnRef) + columns.capacity() * sizeof(Column);
  for (const ColumnRef& r : refs) bytes += heap(r.table) + heap(r.column) + heap(r.data_type);
  for (const Column& c : columns) {
    bytes += c.values.capacity() * sizeof(std::string);
    for (const std::string& v : c.values) bytes += heap(v);
  }
  bytes += column_ids.size() * (kNode + sizeof(std::pair<const std::string, std::uint32_t>)) +
           column_ids.bucket_count() * sizeof(void*);
  for (const auto& [key, id] : column_ids) bytes += heap(key);
  bytes += entries.capacity() * sizeof(Entry) + value_words.capacity() * sizeof(std::uint32_t);
  bytes += word_ids.size() * (kNode + sizeof(std::pair<const std::string, std::uint32_t>)) +
           word_ids.bucket_count() * sizeof(void*);
  for (const auto& [key, id] : word_ids) bytes += heap(key);
  bytes += words.capacity() * sizeof(Word) + word_cps.capacity() * sizeof(char32_t);
  for (const Word& w : words) bytes += w.postings.capacity() * sizeof(Posting);
  bytes += neighbourhoods.size() * (kNode + sizeof(std::pair<const std::uint64_t, std::vector<Neighbour>>)) +
           neighbourhoods.bucket_count() * sizeof(void*);
  for (const auto& [key, near] : neighbourhoods) bytes += near.capacity() * sizeof(Neighbour);
  bytes += families.size() * (kNode + sizeof(std::pair<const std::u32string, std::vector<std::uint32_t>>)) +
           families.bucket_count() * sizeof(void*);
  for (const auto& [key, ids] : families)
    bytes += (key.capacity() > 3 ? (key.capacity() + 1) * sizeof(char32_t) : 0) + ids.capacity() * sizeof(std::uint32_t);
  bytes += compact_first.size() * (kNode + sizeof(std::pair<const std::uint64_t, std::uint32_t>)) +
           compact_first.bucket_count() * sizeof(void*);
  bytes += compact_next.capacity() * sizeof(std::uint32_t);
  bytes += initials.size() * (kNode + sizeof(std::pair<const std::string, std::vector<std::uint32_t>>)) +
           initials.bucket_count() * sizeof(void*);
  for (const auto& [key, named] : initials) bytes += heap(key) + named.capacity() * sizeof(std::uint32_t);
  bytes += unpadded.size() * (kNode + sizeof(std::pair<const std::string, std::vector<std::uint32_t>>)) +
           unpadded.bucket_count() * sizeof(void*);
  for (const auto& [key, named] : unpadded) bytes += heap(key) + named.capacity() * sizeof(std::uint32_t);
  bytes += code_parts.size() * (kNode + sizeof(std::pair<const std::string, std::vector<std::uint32_t>>)) +
           code_parts.bucket_count() * sizeof(void*);
  for (const auto& [key, named] : code_parts) bytes += heap(key) + named.capacity() * sizeof(std::uint32_t);
  return bytes;
}

// ---- ValueIndex ----------------------------------------------------------------

ValueIndex::ValueIndex() : impl_(std::make_unique<Impl>()) {}
ValueIndex::~ValueIndex() = default;
ValueIndex::ValueIndex(ValueIndex&&) noexcept = default;
ValueIndex& ValueIndex::operator=(ValueIndex&&) noexcept = default;

ValueIndex ValueIndex::from_database(const std::string& path, const std::vector<ColumnRef>& columns,
                                     const Options& options) {
  auto fail = [&](std::string_view why) {
    throw DatabaseError("cannot open database '" + path + "': " + std::string(why));
  };
  if (path.find('\0') != std::string::npos) fail("the path holds a null character");
  Connection conn;
  // Read-only, so a missing file is an error rather than a new empty
  // database, and nothing is ever written beside the file.
  const int rc = sqlite3_open_v2(path.c_str(), &conn.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) fail(conn.db ? sqlite3_errmsg(conn.db) : sqlite3_errstr(rc));
  sqlite3_busy_timeout(conn.db, 2000);
  // Opening reads nothing yet: a file that is not a database shows here.
  if (sqlite3_exec(conn.db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK)
    fail(sqlite3_errmsg(conn.db));
  // One read transaction for all the reading: one snapshot of the data,
  // and the file locked and checked once rather than per statement. The
  // connection's close ends it.
  sqlite3_exec(conn.db, "BEGIN", nullptr, nullptr, nullptr);

  // The columns asked for, by table, so that each table is read once.
  std::vector<std::string> tables;
  std::vector<std::vector<TableColumn>> declared;
  std::vector<std::vector<Tally>> tallies;
  std::unordered_map<std::string, std::size_t> table_ids;
  std::unordered_set<std::string> asked;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnRef& ref = columns[i];
    if (!text_like_type(ref.data_type) || !asked.insert(Impl::column_key(ref.table, ref.column)).second) continue;
    auto [it, fresh] = table_ids.emplace(upper_ascii(ref.table), tables.size());
    if (fresh) {
      tables.push_back(ref.table);
      declared.push_back(table_columns(conn.db, ref.table));
      tallies.emplace_back();
    }
    const std::vector<TableColumn>& own = declared[it->second];
    const auto column = std::find_if(own.begin(), own.end(),
                                     [&](const TableColumn& c) { return equal_ascii_nocase(c.name, ref.column); });
    if (column == own.end() || (ref.data_type.empty() && !text_like_type(column->type))) continue;
    Tally t;
    t.ref = i;
    t.name = column->name;
    tallies[it->second].push_back(std::move(t));
  }
  std::vector<std::unique_ptr<Sifter>> sifted(columns.size());
  for (std::size_t k = 0; k < tables.size(); ++k) {
    if (tallies[k].empty()) continue;
    // A table that cannot be read through (damaged, or locked too long)
    // is left out rather than half read.
    if (!tally_table(conn.db, tables[k], tallies[k], options)) continue;
    for (Tally& t : tallies[k]) {
      if (t.dropped) continue;
      auto sifter = std::make_unique<Sifter>(options);
      bool read = true;
      if (t.overflow) read = read_column(conn.db, tables[k], t.name, *sifter);
      else sift(t, *sifter);
      if (read && sifter->names()) sifted[t.ref] = std::move(sifter);
    }
  }
  ValueIndex index;
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (sifted[i]) index.impl_->add(columns[i], *sifted[i], sifted[i]->complete);
  return index;
}

void ValueIndex::add_values(const ColumnRef& column, const std::vector<std::string>& values,
                            const Options& options) {
  // A list of a column's most frequent values does not say that the column
  // holds no others.
  add_listed(column, values, options, false);
}

void ValueIndex::add_all_values(const ColumnRef& column, const std::vector<std::string>& values,
                                const Options& options) {
  add_listed(column, values, options, true);
}

void ValueIndex::add_listed(const ColumnRef& column, const std::vector<std::string>& values, const Options& options,
                            bool all) {
  if (!text_like_type(column.data_type)) return;
  Sifter sifter(options);
  std::unordered_set<std::string_view> distinct;
  for (const std::string& v : values)
    if (distinct.insert(v).second) sifter.offer(v);
  if (!sifter.names()) return;
  impl_->add(column, sifter, all && sifter.complete);
}

void ValueIndex::add_meanings(std::string_view table, std::string_view column, const std::vector<std::string>& texts) {
  const std::int64_t c = find(table, column);
  if (c < 0) return;
  for (const std::string& text : texts) impl_->add_meanings(static_cast<std::uint32_t>(c), text);
}

const std::vector<ColumnRef>& ValueIndex::columns() const noexcept { return impl_->refs; }

const std::vector<std::string>& ValueIndex::values(std::uint32_t column) const {
  return impl_->columns.at(column).values;
}

bool ValueIndex::listed(std::uint32_t column) const { return impl_->columns.at(column).listed; }

std::int64_t ValueIndex::find(std::string_view table, std::string_view column) const {
  const auto it = impl_->column_ids.find(Impl::column_key(table, column));
  return it == impl_->column_ids.end() ? -1 : static_cast<std::int64_t>(it->second);
}

std::vector<Match> ValueIndex::match(std::string_view question) const { return impl_->match(question); }

std::size_t ValueIndex::memory_bytes() const noexcept { return impl_->memory_bytes(); }

std::size_t ValueIndex::value_count() const noexcept { return impl_->value_total; }

bool ValueIndex::holds_word(std::string_view word) const { return impl_->word_ids.count(word) != 0; }

std::string_view fit_name(Fit fit) noexcept {
  switch (fit) {
    case Fit::kExact:
      return "exact";
    case Fit::kFuzzy:
      return "fuzzy";
    case Fit::kPartial:
      return "partial";
    case Fit::kPrefix:
      return "prefix";
  }
  return "exact";
}

}  // namespace corvalt::values
