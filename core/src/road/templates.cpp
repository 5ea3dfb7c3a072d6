// Template answers (corvalt/templates.hpp): an earlier statement refilled with
// a new question's literals when the two questions say the same thing around
// different literals.
//
// A question is reduced to its shape: its literals, the stems of its content
// words without them (a few general synonyms folded together) and its
// markers: the comparisons and negations, which content words leave out as
// stop words ("more", "over", "before", "not") but which change what a
// statement must say, counting ("how many", "number of"), and the words of
// order and count ("top", "last", "ten"), which one differing word among
// many would let through. Synonyms of the trade fold together as the
// schema's names allow (Wording). Two shapes
// fit when their markers are equal, their words nearly so and their literals
// pair up. The statement is then read as
// SQL tokens, every literal of the earlier question claims the string and
// number tokens it is written as, and only claimed tokens are rewritten.
#include "corvalt/templates.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "corvalt/linking.hpp"
#include "corvalt/text.hpp"

namespace corvalt::templates {

std::string_view literal_kind_name(LiteralKind kind) noexcept {
  switch (kind) {
    case LiteralKind::kNumber: return "number";
    case LiteralKind::kDate: return "date";
    case LiteralKind::kQuoted: return "quoted";
    case LiteralKind::kCode: return "code";
    case LiteralKind::kValue: return "value";
  }
  return "?";
}

namespace {

// ---- characters ---------------------------------------------------------------

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }
bool is_lower(char c) { return c >= 'a' && c <= 'z'; }
bool is_alpha(char c) { return is_upper(c) || is_lower(c); }
bool is_alnum(char c) { return is_alpha(c) || is_digit(c); }
// A byte that may belong to a word: ASCII letters and digits, and any byte of
// a non-ASCII code point (accented names are words too).
bool is_wordish(char c) { return is_alnum(c) || static_cast<unsigned char>(c) >= 0x80; }

std::string ascii_lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (is_upper(c)) c = static_cast<char>(c + ('a' - 'A'));
  return out;
}

bool all_digits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), is_digit);
}

int to_int(std::string_view s) {
  int v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

// ---- dates --------------------------------------------------------------------

// The unit of a look-ahead counted in months, which have no one length.
constexpr int kMonths = -1;

struct Ymd {
  int y = 0, m = 1, d = 1;
};

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leap(y) ? 29 : kDays[m - 1];
}

std::string two(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }
std::string iso_year(int y) { return std::to_string(y); }
std::string iso_month(int y, int m) { return iso_year(y) + "-" + two(m); }
std::string iso_day(const Ymd& d) { return iso_month(d.y, d.m) + "-" + two(d.d); }

Ymd next_day(Ymd d) {
  if (++d.d > days_in_month(d.y, d.m)) {
    d.d = 1;
    if (++d.m > 12) d.m = 1, ++d.y;
  }
  return d;
}

bool plausible_year(std::string_view token) {
  if (token.size() != 4 || !all_digits(token)) return false;
  const int y = to_int(token);
  return y >= 1900 && y < 2200;
}

// The month a word names (full English name or its usual abbreviation), or 0.
constexpr std::string_view kMonthNames[] = {"january", "february", "march",     "april",
                                            "may",     "june",     "july",      "august",
                                            "september", "october", "november", "december"};

int month_of(std::string_view word) {
  const auto& kNames = kMonthNames;
  if (word.size() < 3 || word.size() > 9 || !is_alpha(word[0])) return 0;
  char lower[9];
  for (std::size_t i = 0; i < word.size(); ++i) lower[i] = is_upper(word[i]) ? static_cast<char>(word[i] + 32) : word[i];
  const std::string_view w(lower, word.size());
  for (int m = 0; m < 12; ++m) {
    const std::string_view name = kNames[m];
    // The whole name, its first three letters, or "sept".
    if (w == name || (w.size() == 3 && name.substr(0, 3) == w) || (m == 8 && w == "sept")) return m + 1;
  }
  return 0;
}

// How precise a date literal's value is: "2024", "2024-Q3", "2024-05", "2024-05-17".
enum class Precision : std::uint8_t { kYear, kQuarter, kMonth, kDay };

Precision precision_of(std::string_view value) {
  // A month or a day of no year said: "--05", "--05-17".
  if (value.starts_with("--")) return value.size() > 4 ? Precision::kDay : Precision::kMonth;
  if (value.size() == 4) return Precision::kYear;
  if (value.find('Q') != std::string_view::npos) return Precision::kQuarter;
  return value.size() == 7 ? Precision::kMonth : Precision::kDay;
}

// A date's forms in SQL: the ISO text of its own precision, and the ends of
// its period as a range, closed or half-open (first day, last day, first day
// after). Two dates of one precision have their forms in the same order.
std::vector<std::string> date_forms(std::string_view value) {
  std::vector<std::string> forms;
  const int y = to_int(value.substr(0, 4));
  auto range = [&](Ymd first, Ymd last) {
    forms.push_back(iso_day(first));
    forms.push_back(iso_day(last));
    forms.push_back(iso_day(next_day(last)));
  };
  switch (precision_of(value)) {
    case Precision::kYear:
      forms.push_back(iso_year(y));
      range({y, 1, 1}, {y, 12, 31});
      break;
    case Precision::kQuarter: {
      const int q = value.back() - '0';
      forms.push_back(std::string(value));
      range({y, 3 * q - 2, 1}, {y, 3 * q, days_in_month(y, 3 * q)});
      break;
    }
    case Precision::kMonth: {
      const int m = to_int(value.substr(5, 2));
      forms.push_back(iso_month(y, m));
      range({y, m, 1}, {y, m, days_in_month(y, m)});
      break;
    }
    case Precision::kDay: {
      const Ymd d{y, to_int(value.substr(5, 2)), to_int(value.substr(8, 2))};
      forms.push_back(iso_day(d));
      // A day is often asked as the half-open range [day, next day).
      forms.push_back(iso_day(next_day(d)));
      break;
    }
  }
  return forms;
}

// ---- literals -------------------------------------------------------------------

// A run of ASCII letters and digits, with - _ . inside it between two of them
// ("HBR-2200", "lag_days", "2024-05-17", "1.5").
struct Token {
  std::size_t begin, end;
};

std::vector<Token> word_tokens(std::string_view q) {
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < q.size();) {
    if (!is_alnum(q[i])) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < q.size()) {
      if (is_alnum(q[j])) {
        ++j;
      } else if ((q[j] == '-' || q[j] == '_' || q[j] == '.') && j + 1 < q.size() && is_alnum(q[j + 1])) {
        j += 2;
      } else {
        break;
      }
    }
    // A token glued to a non-ASCII letter is part of a word this scan does not read.
    const bool glued = (i > 0 && static_cast<unsigned char>(q[i - 1]) >= 0x80) ||
                       (j < q.size() && static_cast<unsigned char>(q[j]) >= 0x80);
    if (!glued) tokens.push_back({i, j});
    i = j;
  }
  return tokens;
}

// Words that put a bare year in front of it: "in 2024", "since 2023".
bool is_year_preposition(std::string_view word) {
  static const std::unordered_set<std::string> kWords = {
      "in", "during", "since", "before", "after", "until", "till", "by", "from",
      "to", "through", "of", "year", "fy", "for", "between", "and"};
  return kWords.count(ascii_lower(word)) != 0;
}

// Words that make a four-digit number a quantity rather than a year ("of 2000 days").
bool is_unit(std::string_view word) {
  static const std::unordered_set<std::string> kWords = {
      "day", "days", "hour", "hours", "hrs", "week", "weeks", "month", "months", "year", "years",
      "minute", "minutes", "percent", "dollars", "units", "items", "rows", "activities", "tasks"};
  return kWords.count(ascii_lower(word)) != 0;
}

std::string_view said_as(std::string_view word);

class LiteralFinder {
 public:
  explicit LiteralFinder(std::string_view q) : q_(q), tokens_(word_tokens(q)) {}

  std::vector<Literal> run(const std::vector<NamedValue>& values) {
    std::vector<NamedValue> sorted = values;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const NamedValue& a, const NamedValue& b) { return a.begin < b.begin; });
    auto usable = [&](const NamedValue& v) {
      return v.begin < v.end && v.end <= q_.size() && !v.stored.empty() && !month_alone(v);
    };
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    for (const NamedValue& v : sorted) spans.push_back(usable(v) ? with_shortened_words(v) : std::pair{v.begin, v.end});
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      const NamedValue& v = sorted[i];
      if (!usable(v)) continue;
      // A value whose words shorten those of the value beside them ("twy"
      // of the 'TWY' type before "bravo" of 'Taxiway Bravo') is part of it.
      bool shortens_another = false;
      for (std::size_t k = 0; k < sorted.size(); ++k)
        shortens_another = shortens_another || (k != i && usable(sorted[k]) && spans[k].first <= v.begin &&
                                                v.end <= spans[k].second &&
                                                (v.end <= sorted[k].begin || sorted[k].end <= v.begin));
      if (shortens_another) continue;
      const auto [begin, end] = spans[i];
      if (add(LiteralKind::kValue, begin, end, v.stored) || add(LiteralKind::kValue, v.begin, v.end, v.stored)) {
        found_.back().table = v.table;
        found_.back().column = v.column;
      }
    }
    quoted();
    dates();
    codes();
    numbers();
    number_words();
    std::sort(found_.begin(), found_.end(),
              [](const Literal& a, const Literal& b) { return a.begin < b.begin; });
    return std::move(found_);
  }

 private:
  bool free(std::size_t begin, std::size_t end) const {
    return std::none_of(found_.begin(), found_.end(),
                        [&](const Literal& l) { return begin < l.end && l.begin < end; });
  }

  bool add(LiteralKind kind, std::size_t begin, std::size_t end, std::string value) {
    if (!free(begin, end)) return false;
    found_.push_back(Literal{kind, std::string(q_.substr(begin, end - begin)), begin, end, std::move(value), {}, {}});
    return true;
  }

  std::string_view tok(std::size_t k) const { return q_.substr(tokens_[k].begin, tokens_[k].end - tokens_[k].begin); }

  // A named value's span once the words right before and after it that
  // shorten more of its stored words are taken in ("dalton labs" of 'Dalton
  // Chemistry Laboratories', "hollins ct" of 'Hollins Court', "flot
  // expansion" of 'Flotation Expansion'): they name the same thing, not
  // another word of the question.
  std::pair<std::size_t, std::size_t> with_shortened_words(const NamedValue& v) const {
    const std::string stored = ascii_lower(v.stored);
    std::vector<std::string_view> stored_words;
    for (const Token& t : word_tokens(stored)) stored_words.push_back(std::string_view(stored).substr(t.begin, t.end - t.begin));
    const std::string said = ascii_lower(q_.substr(v.begin, v.end - v.begin));
    auto spaces = [&](std::size_t from, std::size_t to) {
      return std::all_of(q_.begin() + static_cast<std::ptrdiff_t>(from), q_.begin() + static_cast<std::ptrdiff_t>(to),
                         [](char c) { return c == ' '; });
    };
    auto shortens = [&](const Token& t) {
      std::string w = ascii_lower(q_.substr(t.begin, t.end - t.begin));
      if (w.size() >= 4 && w.back() == 's') w.pop_back();
      // A planner's shorthand ("crit" beside 'Flotation Circuit Expansion')
      // is a word of its own.
      if (w.size() < 2 || !std::all_of(w.begin(), w.end(), is_alpha) || linking::is_stop_word(w) ||
          said_as(w) != w)
        return false;
      return std::any_of(stored_words.begin(), stored_words.end(), [&](std::string_view s) {
        if (s.size() < w.size() + 2 || s[0] != w[0] || said.find(s) != std::string::npos) return false;
        std::size_t at = 0;  // w's letters in order within s
        for (char c : s)
          if (at < w.size() && c == w[at]) ++at;
        return at == w.size() && w.size() * 5 <= s.size() * 3;
      });
    };
    std::size_t begin = v.begin, end = v.end;
    for (const Token& t : tokens_) {
      if (t.begin < end) continue;
      if (!spaces(end, t.begin) || !shortens(t)) break;
      end = t.end;
    }
    for (auto t = tokens_.rbegin(); t != tokens_.rend(); ++t) {
      if (t->end > begin) continue;
      if (!spaces(t->end, begin) || !shortens(*t)) break;
      begin = t->begin;
    }
    return {begin, end};
  }

  // A month's name that a longer stored value holds ("April" of 'April to
  // October') is the month, a date, not that value.
  bool month_alone(const NamedValue& v) const {
    const std::string_view said = q_.substr(v.begin, v.end - v.begin);
    return month_of(said) != 0 && ascii_lower(said) != ascii_lower(v.stored);
  }

  // Whether tokens k and k+1 are apart by spaces and at most one comma or
  // period ("May 17, 2024", "Sept. 2024").
  bool near(std::size_t k) const {
    if (k + 1 >= tokens_.size()) return false;
    int marks = 0;
    for (std::size_t i = tokens_[k].end; i < tokens_[k + 1].begin; ++i) {
      if (q_[i] == ',' || q_[i] == '.') {
        if (++marks > 1) return false;
      } else if (q_[i] != ' ' && q_[i] != '\t') {
        return false;
      }
    }
    return true;
  }

  void quoted() {
    static constexpr std::pair<std::string_view, std::string_view> kPairs[] = {
        {"\"", "\""}, {"\xE2\x80\x9C", "\xE2\x80\x9D"}, {"'", "'"}, {"\xE2\x80\x98", "\xE2\x80\x99"}};
    for (std::size_t i = 0; i < q_.size(); ++i) {
      if (q_[i] != '"' && q_[i] != '\'' && q_[i] != '\xE2') continue;
      for (const auto& [open, close] : kPairs) {
        if (q_.compare(i, open.size(), open) != 0) continue;
        // A quote mark after a letter is an apostrophe ("project's"), and so
        // is one before a letter that the quote would close.
        const bool single = open == "'" || open == "\xE2\x80\x98";
        if (single && i > 0 && is_wordish(q_[i - 1])) continue;
        const std::size_t from = i + open.size();
        std::size_t j = from;
        for (; j < q_.size() && q_[j] != '\n' && j - from <= 200; ++j) {
          if (q_.compare(j, close.size(), close) != 0) continue;
          if (single && j + close.size() < q_.size() && is_wordish(q_[j + close.size()])) continue;
          break;
        }
        if (j >= q_.size() || q_[j] == '\n' || j - from > 200 || j == from) continue;
        if (add(LiteralKind::kQuoted, i, j + close.size(), std::string(q_.substr(from, j - from))))
          i = j + close.size() - 1;
        break;
      }
    }
  }

  // A day of the month as written before or after its month: "17", "17th".
  int day_of(std::size_t k) const { return day_of_text(tok(k)); }
  static int day_of_text(std::string_view t) {
    std::size_t digits = 0;
    while (digits < t.size() && is_digit(t[digits])) ++digits;
    if (digits == 0 || digits > 2) return 0;
    const std::string rest = ascii_lower(t.substr(digits));
    if (!rest.empty() && rest != "st" && rest != "nd" && rest != "rd" && rest != "th") return 0;
    return to_int(t.substr(0, digits));
  }

  // Whether tokens k and k+1 are one slash apart.
  bool slash(std::size_t k) const {
    return k + 1 < tokens_.size() && tokens_[k + 1].begin == tokens_[k].end + 1 && q_[tokens_[k].end] == '/';
  }

  // Whether tokens from k write a day, a month and a four-digit year with
  // slashes between them.
  bool slashed(std::size_t k) const {
    auto small = [&](std::size_t i) { return tok(i).size() <= 2 && all_digits(tok(i)); };
    return small(k) && slash(k) && small(k + 1) && slash(k + 1) && plausible_year(tok(k + 2)) && !slash(k + 2) &&
           !(k > 0 && slash(k - 1));
  }

  void add_day(std::size_t begin, std::size_t end, int y, int m, int d) {
    if (d >= 1 && d <= days_in_month(y, m)) add(LiteralKind::kDate, begin, end, iso_day({y, m, d}));
  }

  void dates() {
    std::size_t last_year_end = std::string_view::npos;  // a bare year just found: "between 2023 and 2024"
    for (std::size_t k = 0; k < tokens_.size(); ++k) {
      const std::string_view t = tok(k);
      const std::size_t b = tokens_[k].begin;
      // ISO: 2024-05-17, 2024-05.
      if ((t.size() == 10 || t.size() == 7) && t[4] == '-' && plausible_year(t.substr(0, 4)) &&
          all_digits(t.substr(5, 2)) && (t.size() == 7 || (t[7] == '-' && all_digits(t.substr(8, 2))))) {
        const int y = to_int(t.substr(0, 4)), m = to_int(t.substr(5, 2));
        if (m < 1 || m > 12) continue;
        if (t.size() == 7) add(LiteralKind::kDate, b, tokens_[k].end, iso_month(y, m));
        else add_day(b, tokens_[k].end, y, m, to_int(t.substr(8, 2)));
        continue;
      }
      // Two days of one month joined by a dash ("14th-27th March", "3-9 June
      // 2026"): each a day of the month after them, of its year if one follows.
      if (const std::size_t dash = t.find('-'); dash != std::string_view::npos && k + 1 < tokens_.size() && near(k)) {
        const int m = month_of(tok(k + 1));
        const int first = day_of_text(t.substr(0, dash)), last = day_of_text(t.substr(dash + 1));
        if (m && first && last && first < last) {
          const bool year = k + 2 < tokens_.size() && near(k + 1) && plausible_year(tok(k + 2));
          const std::size_t end = tokens_[year ? k + 2 : k + 1].end;
          if (year) {
            const int y = to_int(tok(k + 2));
            add_day(b, b + dash, y, m, first);
            add_day(b + dash + 1, end, y, m, last);
          } else if (last <= days_in_month(2024, m)) {
            add(LiteralKind::kDate, b, b + dash, "--" + two(m) + "-" + two(first));
            add(LiteralKind::kDate, b + dash + 1, end, "--" + two(m) + "-" + two(last));
          }
          k += year ? 2 : 1;
          continue;
        }
      }
      // 31/12/2025 and 12/31/2025: read only where the day is past twelve,
      // since 12/09/2025 is either way round.
      if (slashed(k)) {
        const int a = to_int(t), b2 = to_int(tok(k + 1));
        const int d = a > 12 ? a : b2, m = a > 12 ? b2 : a;
        if ((a > 12) != (b2 > 12) && m >= 1) add_day(b, tokens_[k + 2].end, to_int(tok(k + 2)), m, d);
        k += 2;
        continue;
      }
      // 17 May 2024.
      if (day_of(k) && k + 2 < tokens_.size() && near(k) && near(k + 1)) {
        const int m = month_of(tok(k + 1));
        if (m && plausible_year(tok(k + 2))) {
          add_day(b, tokens_[k + 2].end, to_int(tok(k + 2)), m, day_of(k));
          continue;
        }
      }
      // May 17, 2024 and May 2024.
      if (const int m = month_of(t); m && near(k)) {
        if (k + 2 < tokens_.size() && day_of(k + 1) && near(k + 1) && plausible_year(tok(k + 2))) {
          add_day(b, tokens_[k + 2].end, to_int(tok(k + 2)), m, day_of(k + 1));
          continue;
        }
        if (plausible_year(tok(k + 1))) {
          add(LiteralKind::kDate, b, tokens_[k + 1].end, iso_month(to_int(tok(k + 1)), m));
          continue;
        }
      }
      // A day and its month without a year ("before 31 October", "by Oct
      // 31st"): the year is the statement's. "May" and "March" before a
      // day only capitalised, where they are no verbs.
      if (day_of(k) && k + 1 < tokens_.size() && near(k) &&
          !(k + 2 < tokens_.size() && near(k + 1) && plausible_year(tok(k + 2)))) {
        if (const int m = month_of(tok(k + 1))) {
          const std::string md = "--" + two(m) + "-" + two(day_of(k));
          if (day_of(k) <= days_in_month(2024, m) && add(LiteralKind::kDate, b, tokens_[k + 1].end, md)) continue;
        }
      }
      if (const int m = month_of(t); m && k + 1 < tokens_.size() && near(k) && day_of(k + 1) &&
                                     ((m != 3 && m != 5) || is_upper(t[0])) &&
                                     !(k + 2 < tokens_.size() && near(k + 1) && plausible_year(tok(k + 2)))) {
        const std::string md = "--" + two(m) + "-" + two(day_of(k + 1));
        if (day_of(k + 1) <= days_in_month(2024, m) && add(LiteralKind::kDate, b, tokens_[k + 1].end, md)) continue;
      }
      // A month without its year after a word that introduces a period
      // ("in June", "since sept"): the year is the statement's.
      if (const int m = month_of(t); m && k > 0 && near(k - 1) && is_year_preposition(tok(k - 1)) &&
                                     ascii_lower(tok(k - 1)) != "and" &&
                                     !(k + 1 < tokens_.size() && near(k) && (day_of(k + 1) || plausible_year(tok(k + 1))))) {
        const char mm[] = {'-', '-', static_cast<char>('0' + m / 10), static_cast<char>('0' + m % 10), '\0'};
        if (add(LiteralKind::kDate, b, tokens_[k].end, mm)) continue;
      }
      // A month named in full with no word of a period before it ("weather
      // lost hours May by project"): "May" and "March" only capitalised
      // inside the question, where they are no verbs.
      if (const int m = month_of(t); m && t.size() == kMonthNames[m - 1].size() &&
                                     !(k > 0 && (is_year_preposition(tok(k - 1)) || ascii_lower(tok(k - 1)) == "and")) &&
                                     !(k + 1 < tokens_.size() && near(k) && (day_of(k + 1) || plausible_year(tok(k + 1)))) &&
                                     ((m != 3 && m != 5) || (k > 0 && is_upper(t[0])))) {
        const char mm[] = {'-', '-', static_cast<char>('0' + m / 10), static_cast<char>('0' + m % 10), '\0'};
        if (add(LiteralKind::kDate, b, tokens_[k].end, mm)) continue;
      }
      // Q3 2024 and 2024 Q3.
      auto quarter = [&](std::string_view s) {
        return s.size() == 2 && (s[0] == 'Q' || s[0] == 'q') && s[1] >= '1' && s[1] <= '4' ? s[1] - '0' : 0;
      };
      if (quarter(t) && near(k) && plausible_year(tok(k + 1))) {
        if (add(LiteralKind::kDate, b, tokens_[k + 1].end, std::string(tok(k + 1)) + "-Q" + t[1])) continue;
      }
      if (plausible_year(t) && near(k) && quarter(tok(k + 1))) {
        if (add(LiteralKind::kDate, b, tokens_[k + 1].end, std::string(t) + "-Q" + tok(k + 1)[1])) continue;
      }
      // A bare year after a word that introduces a period: "in 2024".
      if (plausible_year(t) && k > 0 && near(k - 1) && is_year_preposition(tok(k - 1)) &&
          !(k + 1 < tokens_.size() && is_unit(tok(k + 1)))) {
        const bool chained = ascii_lower(tok(k - 1)) == "and";
        if (!chained || (k >= 2 && tokens_[k - 2].end == last_year_end)) {
          if (add(LiteralKind::kDate, b, tokens_[k].end, std::string(t))) last_year_end = tokens_[k].end;
        }
      }
    }
    // The first day of a range written once with the month and year of its
    // last ("between 12 and 26 September 2025", "3 Nov to 14 Nov 2025"), or
    // with its month alone ("from 18 to 24 October": a day of no year).
    for (std::size_t k = 0; k + 2 < tokens_.size(); ++k) {
      const int d = day_of(k);
      if (!d || !near(k)) continue;
      const int m = month_of(tok(k + 1));
      const std::size_t joint = m ? k + 2 : k + 1;
      if (joint + 1 >= tokens_.size() || (m && !near(k + 1)) || !near(joint)) continue;
      const std::string j = ascii_lower(tok(joint));
      if (j != "and" && j != "to" && j != "until" && j != "till" && j != "through" && j != "thru") continue;
      const auto last = std::find_if(found_.begin(), found_.end(), [&](const Literal& l) {
        return l.kind == LiteralKind::kDate && l.begin == tokens_[joint + 1].begin &&
               (l.value.size() == 10 || (l.value.size() == 7 && l.value.starts_with("--")));
      });
      if (last == found_.end()) continue;
      const std::string_view lv = last->value;
      if (!m && d >= to_int(lv.substr(lv.size() - 2))) continue;
      if (lv.starts_with("--")) {
        // No year: the first day is of no year either, in the last one's month.
        const int month = m ? m : to_int(lv.substr(2, 2));
        if (d <= days_in_month(2024, month))
          add(LiteralKind::kDate, tokens_[k].begin, tokens_[m ? k + 1 : k].end, "--" + two(month) + "-" + two(d));
        continue;
      }
      const int y = to_int(lv.substr(0, 4));
      // "3 Nov" read as a day of no year takes the last day's year.
      if (const auto first = std::find_if(found_.begin(), found_.end(), [&](const Literal& l) {
            return l.begin == tokens_[k].begin && l.value.starts_with("--");
          });
          first != found_.end()) {
        first->value = std::to_string(y) + first->value.substr(1);
        continue;
      }
      add_day(tokens_[k].begin, tokens_[m ? k + 1 : k].end, y, m ? m : to_int(std::string_view(last->value).substr(5, 2)), d);
    }
  }

  void codes() {
    const bool any_lower = std::any_of(q_.begin(), q_.end(), is_lower);
    for (std::size_t k = 0; k < tokens_.size(); ++k) {
      const std::string_view t = tok(k);
      const bool letter = std::any_of(t.begin(), t.end(), is_alpha);
      const bool digit = std::any_of(t.begin(), t.end(), is_digit);
      const bool upper = std::any_of(t.begin(), t.end(), is_upper);
      // Letters with digits, led by a letter or in capitals: HBR-2200, A1010,
      // 3D; not "10-day" or "2nd".
      bool code = letter && digit && (is_alpha(t[0]) || upper);
      // A short word in capitals in a question that is not all capitals:
      // HBR, FS; but not a capitalised stop word ("NOT", "ALL").
      if (!code && any_lower && t.size() >= 2 && t.size() <= 5 && std::all_of(t.begin(), t.end(), is_upper))
        code = !linking::is_stop_word(ascii_lower(t));
      if (code) add(LiteralKind::kCode, tokens_[k].begin, tokens_[k].end, std::string(t));
    }
  }

  void numbers() {
    for (std::size_t i = 0; i < q_.size(); ++i) {
      if (!is_digit(q_[i]) || (i > 0 && (is_wordish(q_[i - 1]) || q_[i - 1] == '_' || q_[i - 1] == '.')))
        continue;
      std::size_t begin = i;
      std::string value;
      // A minus sign that starts a word is the number's sign: "lag of -3 days".
      if (i > 0 && q_[i - 1] == '-' && (i == 1 || q_[i - 2] == ' ' || q_[i - 2] == '(')) {
        begin = i - 1;
        value = "-";
      }
      std::size_t j = i;
      while (j < q_.size() && is_digit(q_[j])) value += q_[j++];
      // Thousands: 1,000 and 12,500,000.
      while (j + 3 < q_.size() && q_[j] == ',' && is_digit(q_[j + 1]) && is_digit(q_[j + 2]) &&
             is_digit(q_[j + 3]) && (j + 4 == q_.size() || !is_digit(q_[j + 4]))) {
        value.append(q_.substr(j + 1, 3));
        j += 4;
      }
      if (j + 1 < q_.size() && q_[j] == '.' && is_digit(q_[j + 1])) {
        value += q_[j++];
        while (j < q_.size() && is_digit(q_[j])) value += q_[j++];
      }
      const std::size_t end = j;
      // Letters may follow as a unit or an ordinal ("10d", "3rd"), but a
      // second number or a joiner makes it something else ("2b3", "1.2.3").
      std::size_t after = j;
      while (after < q_.size() && is_alpha(q_[after])) ++after;
      const bool something_else =
          (after < q_.size() && (is_digit(q_[after]) || q_[after] == '_' || static_cast<unsigned char>(q_[after]) >= 0x80)) ||
          (after == j && after + 1 < q_.size() && q_[after] == '.' && is_digit(q_[after + 1]));
      if (!something_else) add(LiteralKind::kNumber, begin, end, value);
      i = after > i ? after - 1 : i;
    }
  }

  // A count written as a word: "top ten", "the five worst". Not "one",
  // which is as often a pronoun ("each one", "which one").
  void number_words() {
    static constexpr std::string_view kWords[] = {"two",    "three", "four",   "five",  "six",   "seven",
                                                  "eight",  "nine",  "ten",    "eleven", "twelve", "twenty",
                                                  "thirty", "forty", "fifty"};
    static constexpr int kValues[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 20, 30, 40, 50};
    for (const Token& t : tokens_) {
      const std::string w = ascii_lower(q_.substr(t.begin, t.end - t.begin));
      for (std::size_t k = 0; k < std::size(kWords); ++k)
        if (w == kWords[k]) add(LiteralKind::kNumber, t.begin, t.end, std::to_string(kValues[k]));
    }
    // A look-ahead of one unit says its count by the unit alone ("the next
    // week", "the coming day"): a count of one, written nowhere, before it.
    for (std::size_t k = 0; k + 1 < tokens_.size(); ++k) {
      const std::string before = ascii_lower(tok(k)), unit = ascii_lower(tok(k + 1));
      if ((before == "next" || before == "coming" || before == "following") && near(k) &&
          (unit == "week" || unit == "day"))
        add(LiteralKind::kNumber, tokens_[k + 1].begin, tokens_[k + 1].begin, "1");
    }
  }

  std::string_view q_;
  std::vector<Token> tokens_;
  std::vector<Literal> found_;
};

}  // namespace

std::vector<Literal> find_literals(std::string_view question, const std::vector<NamedValue>& values) {
  return LiteralFinder(question).run(values);
}

namespace {

// ---- wording --------------------------------------------------------------------

// What a word says about comparing: a word of either direction, a
// negation, another word the markers are read from ("least", "between"), or
// a word of order or count that must be the same in both questions, as a
// statement writes it in its ORDER BY or LIMIT ("top", "last", "ten"). All
// of them are left out of the content words.
enum class Role : std::uint8_t { kNone, kGreater, kLess, kNegation, kOther, kExact };

Role role_of(std::string_view w) {
  static const std::unordered_map<std::string_view, Role> table = [] {
    std::unordered_map<std::string_view, Role> t;
    for (std::string_view x : {"greater", "more", "over", "above", "exceeding", "exceeds", "exceed", "exceeded",
                               "larger", "bigger", "higher", "longer", "later", "after", "beyond", "past",
                               "deeper", "heavier", "wider", "taller"})
      t.emplace(x, Role::kGreater);
    for (std::string_view x : {"less", "fewer", "under", "below", "smaller", "lower", "shorter", "earlier",
                               "before", "prior", "ahead", "shallower", "lighter", "narrower", "beat", "beats",
                               "beating", "beaten"})
      t.emplace(x, Role::kLess);
    for (std::string_view x : {"no", "not", "nor", "never", "none", "without", "non", "cannot", "cant", "dont",
                               "doesnt", "didnt", "isnt", "arent", "wasnt", "werent", "hasnt", "havent", "hadnt",
                               "wont", "wouldnt", "shouldnt", "couldnt", "mustnt"})
      t.emplace(x, Role::kNegation);
    for (std::string_view x : {"least", "most", "minimum", "min", "maximum", "max", "between", "since", "until",
                               "till", "equal", "equals", "than", "through", "thru", "count", "counts", "tally",
                               "plus"})
      t.emplace(x, Role::kOther);
    for (std::string_view x : {"top", "bottom", "first", "last", "earliest", "latest", "highest", "lowest",
                               "largest", "smallest", "longest", "shortest", "biggest", "ascending",
                               "descending", "one", "two", "three", "four", "five", "six", "seven", "eight",
                               "nine", "ten", "eleven", "twelve", "twenty", "fifty", "hundred", "thousand",
                               "dozen", "half", "second", "third", "fourth", "fifth", "tenth"})
      t.emplace(x, Role::kExact);
    return t;
  }();
  const auto it = table.find(w);
  return it == table.end() ? Role::kNone : it->second;
}

// +1 for a word that says "greater", -1 for one that says "less", else 0.
int direction(std::string_view w) {
  const Role r = role_of(w);
  return r == Role::kGreater ? 1 : r == Role::kLess ? -1 : 0;
}

// The one-word entries of the thesaurus' groups as stems, made once.
const std::vector<std::vector<std::pair<std::string_view, std::string>>>& thesaurus_stems() {
  static const auto groups = [] {
    std::vector<std::vector<std::pair<std::string_view, std::string>>> out;
    for (const linking::Synonyms& group : linking::thesaurus()) {
      out.emplace_back();
      for (const std::string_view w : group)
        if (!w.empty() && w.find(' ') == std::string_view::npos) out.back().emplace_back(w, linking::stem(w));
    }
    return out;
  }();
  return groups;
}

struct Step {
  std::string word;  // lower-cased; empty for a literal
  bool literal = false;
  LiteralKind kind = LiteralKind::kNumber;
};

// Whether the word at i waits for a stored value that follows it ("awaiting
// approval", "waiting on sign-off"): what is awaited has not happened yet.
bool awaits_value(const std::vector<Step>& steps, std::size_t i) {
  const std::string& w = steps[i].word;
  if (steps[i].literal || (w != "awaiting" && w != "waiting" && w != "await" && w != "awaits")) return false;
  std::size_t j = i + 1;
  while (j < steps.size() && j <= i + 2 && !steps[j].literal && (steps[j].word == "for" || steps[j].word == "on"))
    ++j;
  return j < steps.size() && steps[j].literal && steps[j].kind == LiteralKind::kValue;
}

// The markers of a question, read from all its words in order (the content
// words leave most of them out as stop words): its comparisons ("gt", "le"),
// negations ("not"), words of order and count as written, and digits that
// are no literal ("#3").
std::vector<std::string> marks_of(const std::vector<Step>& steps) {
  std::vector<std::string> marks;
  auto word = [&](std::size_t j) -> std::string_view {
    return j < steps.size() && !steps[j].literal ? std::string_view(steps[j].word) : std::string_view();
  };
  auto date_at = [&](std::size_t j) {
    return j < steps.size() && steps[j].literal && steps[j].kind == LiteralKind::kDate;
  };
  // Whether a unit of measure comes at j or after one word more ("hours",
  // "excusable days"): what is asked how many of is an amount, not rows.
  auto measured = [&](std::size_t j) {
    static const std::unordered_set<std::string_view> kUnits = {
        "day",    "days",   "hour",   "hours",  "hrs",    "week",   "weeks",  "month", "months",
        "minute", "minutes", "metre", "metres", "meter",  "meters", "tonnes", "tons",  "dollars"};
    return kUnits.count(word(j)) != 0 || (!word(j).empty() && kUnits.count(word(j + 1)) != 0);
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::string_view w = word(i);
    // Two dates in a row are a range ("14th-27th March"), unless a word
    // before the first already said so.
    if (w.empty() && date_at(i) && date_at(i + 1) && (i == 0 || (word(i - 1) != "between" && word(i - 1) != "from")))
      marks.push_back("between");
    if (w.empty()) continue;
    if (w == "no" && word(i + 1) == "of") {
      marks.push_back("count");  // "no. of critical activities": the number of them
      ++i;
    } else if ((w == "to" && word(i + 1) == "be") || (w == "yet" && word(i + 1) == "to")) {
      marks.push_back("not");  // "still to be delivered", "yet to start": not delivered, not started
      ++i;
    } else if (awaits_value(steps, i)) {
      marks.push_back("not");  // "awaiting approval": not yet 'Approved'
    } else if (role_of(w) == Role::kNegation) {
      // "no more than", "not later than" allow the bound itself.
      if (const int d = direction(word(i + 1))) {
        marks.push_back(d > 0 ? "le" : "ge");
        ++i;
      } else {
        marks.push_back("not");
      }
    } else if (w == "at" && (word(i + 1) == "least" || word(i + 1) == "most")) {
      marks.push_back(word(++i) == "least" ? "ge" : "le");
    } else if (w == "or" && direction(word(i + 1)) && word(i + 2) != "than") {
      marks.push_back(direction(word(++i)) > 0 ? "ge" : "le");  // "10 or more"
    } else if (w == "plus" && i > 0 && steps[i - 1].literal && steps[i - 1].kind == LiteralKind::kNumber) {
      marks.push_back("ge");  // "60% plus": 60 or more
    } else if (w == "or" || w == "either") {
      marks.push_back("or");  // "open or at least 50 % likely": either condition
    } else if (const int d = direction(w)) {
      std::size_t j = i + 1;
      if (word(j) == "than") ++j;
      if (word(j) == "or" && (word(j + 1) == "equal" || word(j + 1) == "equals")) {
        marks.push_back(d > 0 ? "ge" : "le");
        i = j + 1;
      } else {
        marks.push_back(d > 0 ? "gt" : "lt");
      }
    } else if (w == "by" && word(i + 1) == "how" &&
               ((word(i + 2) == "many" && measured(i + 3)) || word(i + 2) == "much" || word(i + 2) == "long" ||
                word(i + 2) == "far")) {
      marks.push_back("by how");  // "late, and by how many days": how far one thing is from another
      i += 2;
    } else if (w == "on" && word(i + 1) == "time") {
      marks.push_back("on time");  // "handed over on time": not late, which no other word says
      ++i;
    } else if (((w == "rather" || w == "other") && word(i + 1) == "than") ||
               ((w == "instead" || w == "apart") && (word(i + 1) == "of" || word(i + 1) == "from")) ||
               w == "except" || w == "excluding" || w == "excl") {
      // "block lifts rather than machinery": which things are left out says
      // as much as which are asked for.
      std::size_t j = w == "except" || w == "excluding" || w == "excl" ? i + 1 : i + 2;
      while (j < steps.size() && !word(j).empty() && linking::is_stop_word(word(j))) ++j;
      marks.push_back("but not " + (word(j).empty() ? std::string() : linking::stem(word(j))));
      i = word(j).empty() ? j - 1 : j;
    } else if (w == "how" && word(i + 1) == "many" && measured(i + 2)) {
      ++i;  // "how many hours did we lose": the amount, as "the hours we lost" asks
    } else if ((w == "how" && word(i + 1) == "many") || (w == "number" && word(i + 1) == "of")) {
      marks.push_back("count");
      ++i;
    } else if (w == "count" || w == "counts" || w == "tally") {
      marks.push_back("count");
    } else if (w == "from" && date_at(i + 1) && date_at(i + 3) &&
               (word(i + 2) == "to" || word(i + 2) == "until" || word(i + 2) == "till" || word(i + 2) == "through")) {
      marks.push_back("between");  // "from 18 to 24 October": between the two
      i += 2;
    } else if ((w == "to" || w == "until" || w == "till" || w == "through") && i > 0 && date_at(i - 1) &&
               date_at(i + 1)) {
      marks.push_back("between");  // "1 to 14 December"
    } else if (w == "minimum" || w == "min" || w == "since" || (w == "from" && date_at(i + 1))) {
      marks.push_back("ge");
    } else if (w == "maximum" || w == "max" || w == "until" || w == "till" ||
               ((w == "by" || w == "to" || w == "through" || w == "thru") && date_at(i + 1))) {
      marks.push_back("le");
    } else if (w == "between" && !(i + 1 < steps.size() && steps[i + 1].literal) &&
               !(i + 2 < steps.size() && steps[i + 2].literal)) {
      // "between each pair of packages": no range; "how many days between
      // the key date and the finish": the time from one to the other.
      if (word(i + 1) != "each" && word(i + 1) != "every" && i >= 1 && measured(i - 1)) marks.push_back("apart");
    } else if (w == "one" && i > 0 && (word(i - 1) == "each" || word(i - 1) == "every")) {
      // "how far along is each one": every thing named, no count of them.
    } else if (w == "least" || w == "most" || w == "between" || role_of(w) == Role::kExact) {
      marks.push_back(std::string(w));
    } else if (all_digits(w)) {
      // Digits no literal took ("1.2.3", "2b3") must be the same digits.
      marks.push_back("#" + std::string(w));
    }
  }
  return marks;
}

void sort_unique(std::vector<std::string>& v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
}

// A word that joins a column's word to its value: "of type", "with status".
bool is_value_joint(std::string_view word) {
  return word == "of" || word == "with" || word == "is" || word == "in" || word == "as";
}

// The comparisons a question writes as symbols ("risks >= 40%", "float < 0"),
// as marks_of names them, outside its literals.
void add_symbol_marks(std::string_view q, const std::vector<Literal>& literals, std::vector<std::string>& marks) {
  std::size_t next = 0;
  for (std::size_t i = 0; i < q.size(); ++i) {
    while (next < literals.size() && literals[next].end <= i) ++next;
    if (next < literals.size() && literals[next].begin <= i) continue;
    const char c = q[i];
    if (c != '<' && c != '>') continue;
    const bool or_equal = i + 1 < q.size() && q[i + 1] == '=';
    marks.push_back(c == '>' ? (or_equal ? "ge" : "gt") : (or_equal ? "le" : "lt"));
    if (or_equal) ++i;
  }
}

// What a question is once its literals are taken out.
struct Shape {
  std::vector<Literal> literals;
  std::vector<std::string> words;  // canonical stems, sorted, unique
  std::vector<std::string> marks;  // sorted, unique
  // Of a description: the words that name nothing in the schema, sorted.
  std::vector<std::string> idle;
  // For each literal, the stems of the content words right before and after
  // it, which may say what it is ("project RMC", "the Harbor Bridge job").
  std::vector<std::vector<std::string>> beside;
  // Each content word as written with its canonical stem, and whether it may
  // be a misspelling: a word of five letters or more the schema does not use.
  struct Spelt {
    std::string stem, text;
    bool loose = false;
  };
  std::vector<Spelt> spelt;
  // The words a ranking is said to be by ("score" of "top 10 risks by score").
  std::vector<std::string> ranked_by;
  // Words, left out of `words`, that say what a name beside them already
  // does ("job" of "the smart signals job"): they count where the other
  // question says them.
  std::vector<std::string> along;
  // The words after "by", "per", "each" or "every": what rows are grouped or
  // counted by ("control account" of "SPI by control account").
  std::vector<std::string> grouping;
  // Acronyms in the plural ("CRs"): their capitals, lower-cased ("cr"), and
  // the stem the word has among `words`.
  std::vector<std::pair<std::string, std::string>> acronyms;
  // Of an earlier question, read beside its statement: the words that name
  // only what the statement shows ("contract", "completion" of "live jobs
  // with contract and forecast completion"), which a question that leaves
  // them out asks all the same, and whether the statement orders its rows
  // without limiting them, so that its words of order change no row.
  std::vector<std::string> shown;
  bool unordered = false;
  // For each literal, the days of the unit it counts when it is the length
  // of a look-ahead ("the next 2 weeks": 7; kMonths for months), else 0.
  std::vector<int> windows;
};

// Words that only frame a request in speech ("what's it looking like right
// now", "pls", "atm", "running late", "any stuff logged"): they ask nothing
// of the data.
bool filler_word(const std::string& w) {
  static const std::unordered_set<std::string_view> kWords = {
      "looking", "look", "like", "currently", "atm", "rn", "now", "please", "pls", "plz", "thanks", "cheers",
      "moment", "running", "gone", "got", "getting", "anywhere", "anything", "everything", "stuff", "things",
      "need", "logged", "recorded", "compare", "comparing", "go", "across"};
  return kWords.count(w) != 0;
}

// Adverbs of time that only stress what the question asks ("still open",
// "not delivered yet", "already started", "currently in progress"), and the
// total of an amount, which asking for the amount says ("total remaining
// hours for Redline", "budgeted cost totals per project"), whatever the
// schema's texts say.
bool stress_word(const std::string& w) {
  return w == "still" || w == "yet" || w == "already" || w == "currently" || w == "total" || w == "totals" ||
         w == "overall" || w == "vs" || w == "versus";  // the last two say "against", a word of no content
}

// The word a question word says as another question would: a planner's
// shorthand written out ("hrs", "crit"), and words that say another
// ("awaiting" what "waiting" does, "spend" "cost", "slippage" "slip",
// "underway" "progress", "fitted" "installed", a "share" a "percent").
std::string_view said_as(std::string_view word) {
  static constexpr std::pair<std::string_view, std::string_view> kSaid[] = {
      {"awaiting", "waiting"}, {"await", "wait"},  {"awaits", "waits"},        {"spend", "cost"},
      {"slippage", "slip"},    {"underway", "progress"}, {"succeed", "successor"},
      {"fitted", "installed"}, {"share", "percent"}, {"percentage", "percent"}, {"proportion", "percent"},
  };
  for (const auto& [word_said, meant] : kSaid)
    if (word_said == word) return meant;
  return linking::shorthand_for(word);
}

// Whether a word the schema does not use is one edit from a stop word of
// four letters or more ("wich", "shwo"): a misspelt request word.
bool misspelt_stop_word(const std::string& w) {
  if (w.size() < 3 || w.size() > 8) return false;
  auto stop = [](const std::string& x) { return x.size() >= 4 && linking::is_stop_word(x); };
  std::string x;
  for (std::size_t i = 0; i <= w.size(); ++i) {
    if (i < w.size()) {
      x = w;
      x.erase(i, 1);
      if (stop(x)) return true;
      if (i + 1 < w.size()) {
        x = w;
        std::swap(x[i], x[i + 1]);
        if (stop(x)) return true;
      }
    }
    for (char c = 'a'; c <= 'z'; ++c) {
      x = w;
      x.insert(i, 1, c);
      if (stop(x)) return true;
      if (i < w.size() && w[i] != c) {
        x = w;
        x[i] = c;
        if (stop(x)) return true;
      }
    }
  }
  return false;
}


// Canonical stems of words already seen: many sources share most of their
// words, and stemming is the costly part of a shape. A word of a thesaurus
// group reads as the group's word the schema names (else the group's first
// word), unless the schema names the word itself: then it means what the
// schema means by it.
class Stems {
 public:
  explicit Stems(const Wording& wording) : wording_(wording) {}

  const std::string& of(const std::string& word) {
    auto it = cache_.find(word);
    if (it == cache_.end()) it = cache_.emplace(word, canonical(word)).first;
    return it->second;
  }

  // Whether a word names nothing in the schema, and is no synonym of a
  // word that does (never, without a way to tell).
  bool idle(const std::string& word) {
    // A sign compares with zero: "negative float" is no float.
    if (!wording_.meaningful || word == "negative" || word == "positive") return false;
    auto it = idle_.find(word);
    if (it == idle_.end()) it = idle_.emplace(word, !wording_.meaningful(word) && of(word) == linking::stem(word)).first;
    return it->second;
  }

  // Whether the schema's names use the word (never, without a way to tell).
  bool names(const std::string& word) const { return named(word); }

  // Whether a table is the schema's table of projects (never, without a way
  // to tell).
  bool projects(std::string_view table) const { return wording_.projects_table && wording_.projects_table(table); }

  // Whether the schema does not use the word (never, without a way to tell).
  bool unknown(const std::string& word) {
    if (!wording_.known_word) return false;
    auto it = unknown_.find(word);
    if (it == unknown_.end()) it = unknown_.emplace(word, !wording_.known_word(word)).first;
    return it->second;
  }

 private:
  bool named(std::string_view word) const { return wording_.names_word && wording_.names_word(word); }

  std::string canonical(const std::string& word) const {
    if (wording_.same_as)
      if (const std::string named_so = wording_.same_as(word); !named_so.empty() && named_so != word)
        return canonical(named_so);
    std::string stem = linking::stem(said_as(word));
    for (const auto& group : thesaurus_stems()) {
      const bool member = std::any_of(group.begin(), group.end(), [&](const auto& e) { return e.second == stem; });
      if (!member) continue;
      if (named(word)) return stem;
      for (const auto& [entry, entry_stem] : group)
        if (named(entry)) return entry_stem;
      return group.front().second;
    }
    return stem;
  }

  const Wording& wording_;
  std::unordered_map<std::string, std::string> cache_;
  std::unordered_map<std::string, bool> unknown_;
  std::unordered_map<std::string, bool> idle_;
};

// Phrases that say what one word does, rewritten as that word in the same
// number of characters, so that the places value linking found stay where
// they are: "run out" is "expire", "under way" "underway", "going over"
// "forecast over".
std::string plainly(std::string_view q, const std::vector<NamedValue>& values) {
  static constexpr std::pair<std::string_view, std::string_view> kPhrases[] = {
      {"run out", "expire "},        {"runs out", "expires "},     {"ran out", "expired"},
      {"running out", "expiring   "}, {"under way", "underway "},
      // What is going to happen, or expected to, is what a schedule forecasts.
      {"going to", "forecast"},      {"going over", "fcst  over"}, {"going past", "fcst  past"},
      {"expected to", "forecast to"},
      {"came in", "arrived"},        {"come in", "arrive "},       {"turned up", "arrived  "},
      {"how far along", "pct complete "},
      // Below zero is negative ("below zero float"), whatever the amount.
      {"below zero", "negative  "},   {"under zero", "negative  "}, {"less than zero", "negative      "},
      {"sub-zero", "negative"},       {"sub zero", "negative"},
      {"fortnight", "two weeks"},    {"heading over", "fcst    over"}, {"right now", "now      "},
      // Where the work on a thing stands is its status.
      {"where are we on", "status of      "}, {"where are we with", "status of        "},
      // What comes before an activity are its predecessors, after it its successors.
      {"comes before", "predecessors"}, {"come before", "predecessor"}, {"goes before", "predecessor"},
      {"comes after", "successors "},   {"come after", "successor "},   {"follows", "succeed"},
      {"hangs off", "successor"},       {"hanging off", "successors "},
      // What feeds into an activity are the links into it.
      {"feeds into", "links into"},     {"feed into", "link into"},     {"feeding into", "links   into"},
  };
  std::string out(q);
  const std::string lower = ascii_lower(q);
  for (const auto& [phrase, word] : kPhrases) {
    for (std::size_t at = lower.find(phrase); at != std::string::npos; at = lower.find(phrase, at + 1)) {
      const std::size_t end = at + phrase.size();
      if ((at > 0 && is_wordish(lower[at - 1])) || (end < lower.size() && is_wordish(lower[end]))) continue;
      if (std::any_of(values.begin(), values.end(), [&](const NamedValue& v) { return v.begin < end && at < v.end; }))
        continue;
      out.replace(at, phrase.size(), word);
    }
  }
  // A verb and its particle are the noun they make ("handed over",
  // "hand-back", "signed off", "shut down", "fitted out"): "handover",
  // "handback", "signoff", "shutdown", "fitout", as a question may write it.
  static constexpr std::pair<std::string_view, std::string_view> kCompounds[] = {
      {"hand", "over"}, {"hand", "back"}, {"sign", "off"}, {"shut", "down"}, {"fit", "out"}, {"close", "out"}};
  // The words as written, a hyphen splitting them too.
  std::vector<Token> tokens;
  for (const Token& t : word_tokens(lower)) {
    const std::size_t dash = lower.find('-', t.begin);
    if (dash < t.end && lower.find('-', dash + 1) >= t.end) {
      tokens.push_back({t.begin, dash});
      tokens.push_back({dash + 1, t.end});
    } else {
      tokens.push_back(t);
    }
  }
  for (std::size_t k = 0; k + 1 < tokens.size(); ++k) {
    const std::size_t begin = tokens[k].begin, end = tokens[k + 1].end;
    const std::string_view particle = std::string_view(lower).substr(tokens[k + 1].begin, end - tokens[k + 1].begin);
    if (tokens[k + 1].begin != tokens[k].end + 1 ||
        (lower[tokens[k].end] != ' ' && lower[tokens[k].end] != '-'))
      continue;
    const std::string verb = linking::stem(std::string_view(lower).substr(begin, tokens[k].end - begin));
    const bool compound = std::any_of(std::begin(kCompounds), std::end(kCompounds), [&](const auto& c) {
      return c.first == verb && c.second == particle;
    });
    if (!compound ||
        std::any_of(values.begin(), values.end(), [&](const NamedValue& v) { return v.begin < end && begin < v.end; }))
      continue;
    std::string noun = verb + std::string(particle);
    noun.resize(end - begin, ' ');
    out.replace(begin, end - begin, noun);
  }
  return out;
}

// With `loose_tables` (lower-cased, sorted), the loosely named values of
// those tables are literals too; without, none is.
Shape shape_of(std::string_view asked, const std::vector<NamedValue>& named, Stems& stems, bool description = false,
               const std::vector<std::string>& loose_tables = {}) {
  // A loose reading that a value named outright overlaps is no reading of
  // those words, and one that another of the same table overlaps is a guess
  // between them: neither is taken.
  auto ambiguous = [&](const NamedValue& v) {
    return std::any_of(named.begin(), named.end(), [&](const NamedValue& o) {
      return o.begin < v.end && v.begin < o.end && o.stored != v.stored &&
             (!o.weak || ascii_lower(o.table) == ascii_lower(v.table));
    });
  };
  std::vector<NamedValue> values;
  for (const NamedValue& v : named)
    if (!v.weak ||
        (std::binary_search(loose_tables.begin(), loose_tables.end(), ascii_lower(v.table)) && !ambiguous(v)))
      values.push_back(v);
  const std::string plain = plainly(asked, values);
  const std::string_view q = plain;
  Shape shape;
  shape.literals = find_literals(q, values);
  // Capitals that spell a word of the schema's names ("PO lines" of
  // po_lines, "WBS") or a planner's shorthand ("neg TF") are that word, as
  // it is in lower case.
  std::erase_if(shape.literals, [&](const Literal& l) {
    if (l.kind != LiteralKind::kCode || std::any_of(l.text.begin(), l.text.end(), is_digit)) return false;
    const std::string lower = ascii_lower(l.text);
    return stems.names(lower) || said_as(lower) != lower;
  });
  // The words in order with the literals' places, for the markers; and the
  // content words of the question with its literals blanked out.
  std::vector<Step> steps;
  std::string blanked(q);
  std::size_t from = 0;
  auto words_until = [&](std::size_t to) {
    for (std::string& w : linking::split_words(q.substr(from, to - from))) steps.push_back(Step{std::move(w)});
  };
  for (const Literal& l : shape.literals) {
    words_until(l.begin);
    steps.push_back(Step{std::string(), true, l.kind});
    std::fill(blanked.begin() + static_cast<std::ptrdiff_t>(l.begin), blanked.begin() + static_cast<std::ptrdiff_t>(l.end), ' ');
    from = l.end;
  }
  words_until(q.size());
  // A per cent sign that follows no number is the word ("% complete").
  for (std::size_t i = q.size(); i-- > 0;)
    if (q[i] == '%' && blanked[i] == '%' && (i == 0 || !is_alnum(q[i - 1]))) blanked.replace(i, 1, " percent ");
  // "At the top" says "first" and "at the bottom" "last" ("worst at the top").
  for (std::size_t i = 2; i < steps.size(); ++i)
    if ((steps[i].word == "top" || steps[i].word == "bottom") && steps[i - 1].word == "the" && steps[i - 2].word == "at")
      steps[i].word = steps[i].word == "top" ? "first" : "last";
  shape.marks = marks_of(steps);
  add_symbol_marks(q, shape.literals, shape.marks);
  // The unit of a look-ahead is part of its length, not a word.
  std::vector<std::string> unit_words;
  for (std::size_t i = 0, literal = 0; i < steps.size(); ++i) {
    if (!steps[i].literal) continue;
    int unit = 0;
    if (steps[i].kind == LiteralKind::kNumber && i > 0 && i + 1 < steps.size()) {
      const std::string& before = steps[i - 1].word;
      const std::string& after = steps[i + 1].word;
      if (before == "next" || before == "coming" || before == "following")
        unit = after == "day" || after == "days"       ? 1
               : after == "week" || after == "weeks"   ? 7
               : after == "month" || after == "months" ? kMonths
                                                       : 0;
      if (unit) unit_words.push_back(after);
    }
    if (literal++ < shape.literals.size()) shape.windows.push_back(unit);
  }
  shape.windows.resize(shape.literals.size(), 0);
  // A word of a stored value's column said right before it ("of type
  // Delay", "with status Open") says what the value already does: the
  // question reads as the value alone ("Delay notes"). Words of the table's
  // name are the thing asked about and stay.
  std::vector<std::string> column_words;
  {
    std::size_t literal = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
      if (!steps[i].literal) continue;
      const Literal* l = literal < shape.literals.size() ? &shape.literals[literal] : nullptr;
      ++literal;
      if (!l || l->kind != LiteralKind::kValue || l->column.empty() || i == 0) continue;
      std::size_t k = i - 1;
      if (k > 0 && is_value_joint(steps[k].word)) --k;
      if (steps[k].literal) continue;
      const std::string before = linking::stem(steps[k].word);
      // Not a word the table's name has too: "project" of a project's name.
      bool of_table = false;
      for (const std::string& part : linking::split_words(l->table)) of_table = of_table || linking::stem(part) == before;
      if (of_table) continue;
      for (const std::string& part : linking::split_words(l->column))
        if (linking::stem(part) == before) {
          column_words.push_back(steps[k].word);
          break;
        }
    }
  }
  // A word for a project right after a project's name ("the smart signals
  // job", "the Car Park 3 project") says what the name already does.
  {
    std::size_t literal = 0;
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
      if (!steps[i].literal) continue;
      const Literal* l = literal < shape.literals.size() ? &shape.literals[literal] : nullptr;
      ++literal;
      if (!l || l->kind != LiteralKind::kValue || steps[i + 1].literal || !stems.projects(l->table)) continue;
      const std::string& after = steps[i + 1].word;
      const std::vector<std::string> table_words = linking::split_words(l->table);
      if (linking::is_project_word(after) ||
          std::any_of(table_words.begin(), table_words.end(),
                      [&](const std::string& part) { return linking::stem(part) == linking::stem(after); }))
        column_words.push_back(after), shape.along.push_back(stems.of(after));
    }
  }
  // "number of" asks for a count: the count is a marker, not a word.
  bool number_of = false;
  for (std::size_t i = 0; i + 1 < steps.size(); ++i)
    number_of = number_of || (steps[i].word == "number" && steps[i + 1].word == "of");
  // Words that say nothing the words after them do not: "due to start"
  // asks what starts, and "split by status", "broken down by status" or
  // "sorted by status" what "by status" does.
  std::vector<std::string> idle_words;
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    const std::string& w = steps[i].word;
    const std::string& next = steps[i + 1].word;
    const bool by_next = next == "by" || ((next == "down" || next == "out") && i + 2 < steps.size() &&
                                          steps[i + 2].word == "by");
    if ((w == "due" && next == "to") ||
        (by_next && (w == "split" || w == "grouped" || w == "broken" || w == "breakdown" || w == "ranked" ||
                     w == "sorted" || w == "ordered")))
      idle_words.push_back(w);
  }
  // "So far" and "to date" say until now, as a question does anyway, "on
  // site" where the work is, as a schedule's work is, and hours "worked"
  // what hours of labour are.
  for (std::size_t i = 1; i < steps.size(); ++i) {
    const std::string& w = steps[i].word;
    if (w == "worked") {
      std::size_t k = i - 1;  // the word before, past "were" or "have been"
      while (k > 0 && i - k < 3 && !steps[k].literal && linking::is_stop_word(steps[k].word)) --k;
      if (!steps[k].literal && stems.of(std::string(said_as(steps[k].word))) == stems.of("hour")) {
        idle_words.push_back(w);
        continue;
      }
    }
    if (awaits_value(steps, i)) {
      idle_words.push_back(w);
      continue;
    }
    if (((w == "far" && steps[i - 1].word == "so") || (w == "date" && steps[i - 1].word == "to") ||
         (w == "site" && steps[i - 1].word == "on")) &&
        !(i + 1 < steps.size() && steps[i + 1].literal))
      idle_words.push_back(w);
  }
  std::string previous;
  bool key_dates = false;  // the word before was "key" of "key dates"
  const std::vector<linking::Word> content = linking::content_words(blanked, /*stems=*/false);
  for (std::size_t i = 0; i < content.size(); ++i) {
    const linking::Word& w = content[i];
    if (role_of(w.text) != Role::kNone || (number_of && w.text == "number")) continue;
    if (const auto said = std::find(column_words.begin(), column_words.end(), w.text); said != column_words.end()) {
      column_words.erase(said);
      continue;
    }
    if (const auto said = std::find(idle_words.begin(), idle_words.end(), w.text); said != idle_words.end()) {
      idle_words.erase(said);
      continue;
    }
    if (const auto unit = std::find(unit_words.begin(), unit_words.end(), w.text); unit != unit_words.end()) {
      unit_words.erase(unit);
      continue;
    }
    // "On the critical path" says what "critical" says ("crit path", and
    // misspelt: "critcal path"); "total float" what "float" says, the float
    // a planner means unless it is free float.
    const bool critical_path =
        w.text == "path" && !previous.empty() &&
        (said_as(previous) == "critical" || linking::edit_distance(previous, "critical", 1) <= 1);
    previous = w.text;
    if (critical_path) continue;
    // "Key milestones" are the milestones, and so are "key dates" where the
    // schema keeps no key date of its own.
    if (w.text == "key" && i + 1 < content.size() && content[i + 1].joined &&
        stems.of(content[i + 1].text) == stems.of("milestone"))
      continue;
    if (w.text == "key" && i + 1 < content.size() && content[i + 1].joined && !stems.names("key") &&
        stems.of(content[i + 1].text) == stems.of("date")) {
      key_dates = true;
      continue;
    }
    if (key_dates) {
      key_dates = false;
      shape.words.push_back(stems.of("milestone"));
      shape.spelt.push_back({shape.words.back(), "milestones", false});
      continue;
    }
    if (w.text == "total" && i + 1 < content.size() && content[i + 1].joined &&
        stems.of(content[i + 1].text) == stems.of("float"))
      continue;
    const bool unknown = stems.unknown(w.text);
    if (stress_word(w.text) || (unknown && (misspelt_stop_word(w.text) || filler_word(w.text)))) continue;
    shape.words.push_back(stems.of(w.text));
    shape.spelt.push_back({shape.words.back(), w.text, unknown && text::length(w.text) >= 5});
    if (description && stems.idle(w.text)) shape.idle.push_back(shape.words.back());
  }
  // Capitals joined by "&" ("C&Q", "M&E") say the words they stand for,
  // which the split into words loses: they are a word of their own.
  for (std::size_t i = 0; i < blanked.size(); ++i) {
    if (blanked[i] != '&' || i == 0 || i + 1 >= blanked.size() || !is_upper(blanked[i - 1]) || !is_upper(blanked[i + 1]))
      continue;
    std::size_t from = i, to = i + 1;
    while (from > 0 && is_upper(blanked[from - 1])) --from;
    while (to < blanked.size() && is_upper(blanked[to])) ++to;
    if ((from > 0 && is_alnum(blanked[from - 1])) || (to < blanked.size() && is_alnum(blanked[to]))) continue;
    std::string joined = ascii_lower(std::string_view(blanked).substr(from, to - from));
    std::erase(joined, '&');
    shape.words.push_back(stems.of(joined));
    shape.spelt.push_back({shape.words.back(), joined, false});
  }
  // A name that says what it names ("the 6-Day Site Calendar") says the
  // thing as the word outside it does ("the standard calendar").
  for (const Literal& l : shape.literals) {
    if (l.kind != LiteralKind::kValue || l.table.empty()) continue;
    const std::vector<std::string> table_words = linking::split_words(l.table);
    for (const std::string& w : linking::split_words(l.text)) {
      const std::string stem = linking::stem(w);
      if (std::any_of(table_words.begin(), table_words.end(),
                      [&](const std::string& t) { return linking::stem(t) == stem; }))
        shape.words.push_back(stems.of(w));
    }
  }
  for (const Token& t : word_tokens(q)) {
    const std::string_view w = q.substr(t.begin, t.end - t.begin);
    if (w.size() >= 3 && w.size() <= 6 && w.back() == 's' && std::all_of(w.begin(), w.end() - 1, is_upper))
      shape.acronyms.emplace_back(ascii_lower(w.substr(0, w.size() - 1)), stems.of(ascii_lower(w)));
  }
  // What a ranking is by ("top 10 open risks by score") may go unsaid in
  // another ranking of the same things ("top 5 open risks"): it is the
  // order the statement gives them.
  static const std::unordered_set<std::string_view> kRanks = {
      "top", "bottom", "highest", "lowest", "largest", "smallest", "longest", "shortest", "biggest", "worst", "best"};
  const bool ranked = std::any_of(steps.begin(), steps.end(), [](const Step& st) {
    return !st.literal && kRanks.count(st.word) != 0;
  });
  for (std::size_t i = 0; ranked && i + 1 < steps.size(); ++i) {
    if (steps[i].word != "by") continue;
    for (std::size_t j = i + 1, taken = 0; j < steps.size() && taken < 2 && !steps[j].literal; ++j) {
      if (linking::is_stop_word(steps[j].word) || role_of(steps[j].word) != Role::kNone) break;
      shape.ranked_by.push_back(stems.of(steps[j].word));
      ++taken;
    }
  }
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    const std::string& w = steps[i].word;
    if (w != "by" && w != "per" && w != "each" && w != "every") continue;
    for (std::size_t j = i + 1, taken = 0; j < steps.size() && taken < 2 && !steps[j].literal; ++j) {
      if (linking::is_stop_word(steps[j].word) || role_of(steps[j].word) != Role::kNone) break;
      shape.grouping.push_back(stems.of(steps[j].word));
      ++taken;
    }
  }
  sort_unique(shape.grouping);
  sort_unique(shape.idle);
  sort_unique(shape.along);
  sort_unique(shape.words);
  // An activity's predecessors and successors are its links, said or not:
  // "what comes before X in the logic" asks what "the predecessors of X" does.
  auto holds = [&](const std::string& w) { return std::binary_search(shape.words.begin(), shape.words.end(), w); };
  if (const std::string link = stems.of("relationship");
      !holds(link) && (holds(stems.of("predecessor")) || holds(stems.of("successor"))))
    shape.words.insert(std::lower_bound(shape.words.begin(), shape.words.end(), link), link);
  std::size_t literal = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (!steps[i].literal) continue;
    std::vector<std::string> near;
    for (const std::size_t k : {i - 1, i + 1}) {
      if (k >= steps.size() || steps[k].literal) continue;  // i - 1 wraps around at the start
      const std::string& w = steps[k].word;
      if (linking::is_stop_word(w) || role_of(w) != Role::kNone) continue;
      near.push_back(stems.of(w));
    }
    if (literal < shape.literals.size()) shape.beside.push_back(std::move(near));
    ++literal;
  }
  sort_unique(shape.marks);
  return shape;
}

bool has(const std::vector<std::string>& sorted, const std::string& w) {
  return std::binary_search(sorted.begin(), sorted.end(), w);
}

// The Jaccard similarity of the two shapes' words. A word of the new
// question that may be misspelt counts as the one word of the old question
// it is close to (one edit up to seven letters, two beyond) when neither
// question has the other's word.
//
// Up to two words of a description that name nothing in the schema may be
// missing from the question, while two or more of its words remain.
double similarity(const Shape& old, const Shape& now) {
  // The old words, less what its ranking is by and what its statement only
  // shows, where the new one does not say them.
  std::vector<std::string> said;
  for (const std::string& w : old.words)
    if ((std::find(old.ranked_by.begin(), old.ranked_by.end(), w) == old.ranked_by.end() && !has(old.shown, w)) ||
        has(now.words, w))
      said.push_back(w);
  // The new words, with those said along a name that the old question says
  // too ("one project" of an example beside "the harbor bridge project").
  std::vector<std::string> asked = now.words;
  for (const std::string& w : now.along)
    if (has(old.words, w) && !has(asked, w)) asked.insert(std::lower_bound(asked.begin(), asked.end(), w), w);
  std::vector<std::string> kept;
  for (const std::string& w : said)
    if (!has(old.idle, w) || has(now.words, w)) kept.push_back(w);
  const bool leave_out = kept.size() + 2 >= said.size() && kept.size() >= 2;
  const auto& a = leave_out ? kept : said;
  const auto& b = asked;
  if (a.empty() || b.empty()) return 0;
  std::size_t common = 0;
  for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
    const int c = a[i].compare(b[j]);
    if (c == 0) ++common, ++i, ++j;
    else if (c < 0) ++i;
    else ++j;
  }
  std::vector<std::string> paired;
  for (const Shape::Spelt& w : now.spelt) {
    if (!w.loose || has(a, w.stem)) continue;
    const unsigned limit = text::length(w.text) >= 8 ? 2 : 1;
    const Shape::Spelt* close = nullptr;
    bool unique = true;
    for (const Shape::Spelt& v : old.spelt) {
      if (has(b, v.stem) || !has(a, v.stem) || (close && close->stem == v.stem)) continue;
      if (linking::edit_distance(w.text, v.text, limit) > limit) continue;
      unique = close == nullptr;
      close = &v;
    }
    if (!close || !unique || std::find(paired.begin(), paired.end(), close->stem) != paired.end()) continue;
    paired.push_back(close->stem);
    ++common;
  }
  return static_cast<double>(common) / static_cast<double>(a.size() + b.size() - common);
}

// An acronym one question writes in capitals ("CRs", "SWPs") where the other
// spells its words out side by side ("change requests") says the same: there
// it is no code but those words. Whether `shape` changed.
bool spell_out_acronyms(Shape& shape, const Shape& other) {
  bool changed = false;
  // The run of the other's words whose initials are `key`, as stems; none
  // when it has none or the shape has one of them already.
  auto spelt_out = [&](std::string_view key) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at + key.size() <= other.spelt.size() && words.empty(); ++at) {
      bool spelt = true;
      for (std::size_t k = 0; k < key.size() && spelt; ++k) {
        const std::string& w = other.spelt[at + k].text;
        spelt = !w.empty() && w[0] == key[k];
      }
      if (spelt)
        for (std::size_t k = 0; k < key.size(); ++k) words.push_back(other.spelt[at + k].stem);
    }
    if (std::any_of(words.begin(), words.end(), [&](const std::string& w) { return has(shape.words, w); }))
      words.clear();
    return words;
  };
  for (const auto& [key, stem] : shape.acronyms) {
    if (!has(shape.words, stem)) continue;
    const std::vector<std::string> words = spelt_out(key);
    if (words.empty()) continue;
    shape.words.erase(std::find(shape.words.begin(), shape.words.end(), stem));
    shape.words.insert(shape.words.end(), words.begin(), words.end());
    sort_unique(shape.words);
    changed = true;
  }
  for (std::size_t i = 0; i < shape.literals.size();) {
    const std::string code = shape.literals[i].kind == LiteralKind::kCode ? shape.literals[i].text : std::string();
    std::vector<std::string> words;
    if (code.size() >= 2 && code.size() <= 5 && std::all_of(code.begin(), code.end(), is_upper))
      words = spelt_out(ascii_lower(code));
    if (words.empty()) {
      ++i;
      continue;
    }
    shape.literals.erase(shape.literals.begin() + static_cast<std::ptrdiff_t>(i));
    if (i < shape.beside.size()) shape.beside.erase(shape.beside.begin() + static_cast<std::ptrdiff_t>(i));
    shape.words.insert(shape.words.end(), words.begin(), words.end());
    sort_unique(shape.words);
    changed = true;
  }
  return changed;
}

// Literals pair within three classes: numbers, dates and texts. A quoted
// name, a code and a stored value all stand for a string of the statement,
// and whether value linking recognised one may differ between two questions.
int class_of(LiteralKind kind) {
  return kind == LiteralKind::kNumber ? 0 : kind == LiteralKind::kDate ? 1 : 2;
}

// Whether an old date can take a new one: of the same precision, a day
// taking a coarser period (which the statement's comparison then decides),
// or a period another period ("before the end of 2025" for "before the end
// of November 2025": its first day, last day and the day after stand for
// the new one's).
bool dates_pair(std::string_view old_value, std::string_view new_value) {
  const Precision a = precision_of(old_value), b = precision_of(new_value);
  return a == b || a == Precision::kDay || b != Precision::kDay;
}

// How many texts (quoted names, codes, stored values) a shape's question names.
std::size_t texts(const Shape& s) {
  return static_cast<std::size_t>(
      std::count_if(s.literals.begin(), s.literals.end(), [](const Literal& l) { return class_of(l.kind) == 2; }));
}

// The similarity of two shapes when they can be paired, else nullopt.
// One name of the earlier question that the new one does not have ("the
// critical path for KTR" and "the critical path") may be dropped with the
// condition that holds it; a number or a date may not.
bool drops_one_name(std::size_t old_texts, std::size_t new_texts) { return old_texts == 1 && new_texts == 0; }

// Words that only say how rows are ordered ("largest variance first", "most
// urgent first").
bool order_mark(std::string_view mark) {
  static const std::unordered_set<std::string_view> kWords = {
      "first", "last", "earliest", "latest", "highest", "lowest", "largest", "smallest", "longest",
      "shortest", "biggest", "ascending", "descending", "most", "least"};
  return kWords.count(mark) != 0;
}

// The markers must be equal; an earlier statement that orders all its rows
// may have said an order the new question does not.
bool same_marks(const Shape& old, const Shape& now) {
  if (old.marks == now.marks) return true;
  // An amount asked along ("and by how many days") is a column more: a
  // question may leave it out, and not ask it of a statement without it.
  std::vector<std::string> marks = old.marks;
  if (std::find(now.marks.begin(), now.marks.end(), "by how") == now.marks.end())
    std::erase(marks, std::string("by how"));
  if (marks == now.marks) return true;
  // Only an order said as one ("largest variance first"): "biggest open
  // risks" may mean those above a bound.
  if (!old.unordered || !(has(old.marks, "first") || has(old.marks, "last"))) return false;
  std::erase_if(marks, [](const std::string& m) { return order_mark(m); });
  return marks == now.marks;
}

std::optional<double> fits(const Shape& old, const Shape& now) {
  if (!same_marks(old, now)) return std::nullopt;
  // A name to drop takes the words that say what it is along ("project" of
  // "project RMC"); a question that has them asks about those things
  // ("Which projects have critical activities?") and is another question.
  // When they are all the question says besides the name ("the weather
  // notes"), what it asks without the name cannot be told: no fit.
  std::optional<Shape> without;
  if (drops_one_name(texts(old), texts(now))) {
    without = old;
    std::vector<std::string> along;
    for (std::size_t i = 0; i < old.literals.size() && i < old.beside.size(); ++i)
      if (class_of(old.literals[i].kind) == 2) along = old.beside[i];
    for (const std::string& w : along)
      without->words.erase(std::remove(without->words.begin(), without->words.end(), w), without->words.end());
    if (without->words.empty()) return std::nullopt;
    for (const std::string& w : along)
      if (has(now.words, w)) return std::nullopt;
  }
  const double similar = similarity(without ? *without : old, now);
  if (similar < kMinSimilarity) return std::nullopt;
  for (int cls = 0; cls < 3; ++cls) {
    std::vector<const Literal*> a, b;
    for (const Literal& l : old.literals)
      if (class_of(l.kind) == cls) a.push_back(&l);
    for (const Literal& l : now.literals)
      if (class_of(l.kind) == cls) b.push_back(&l);
    if (a.size() != b.size() && !(cls == 2 && drops_one_name(a.size(), b.size()))) return std::nullopt;
    if (cls == 1)
      for (std::size_t i = 0; i < a.size(); ++i)
        if (!dates_pair(a[i]->value, b[i]->value)) return std::nullopt;
  }
  return similar;
}

// ---- the statement --------------------------------------------------------------

struct SqlToken {
  bool string = false;
  // A string's content inside its quotes, or a number with its sign.
  std::size_t begin = 0, end = 0;
  std::string text;  // a string's content with doubled quotes undone
  double number = 0;
};

bool parse_number(std::string_view s, double& out) {
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && ptr == s.data() + s.size();
}

// Keywords after which a minus sign is a number's sign: "BETWEEN -5 AND -1".
bool sign_keyword(std::string_view word) {
  static const std::unordered_set<std::string> kWords = {
      "and", "or", "not", "between", "then", "else", "when", "is", "in", "like", "select",
      "where", "limit", "offset", "on", "having", "case", "values", "return"};
  return word.size() <= 7 && kWords.count(ascii_lower(word)) != 0;
}

// Where a comment that starts at i ends (past it): i itself when none starts
// there, npos when a block comment is left open.
std::size_t past_comment(std::string_view sql, std::size_t i) {
  if (sql.substr(i, 2) == "--") {
    const std::size_t j = sql.find('\n', i);
    return j == std::string_view::npos ? sql.size() : j + 1;
  }
  if (sql.substr(i, 2) == "/*") {
    const std::size_t j = sql.find("*/", i + 2);
    return j == std::string_view::npos ? std::string_view::npos : j + 2;
  }
  return i;
}

// The string and number tokens of a statement; comments and quoted
// identifiers are skipped. Nullopt when a quote or comment is not closed.
// With `items`, also everything else in order: names lower-cased (quoted
// ones without their quotes), "'" for a string, "0" for a number, and each
// other character but spaces.
std::optional<std::vector<SqlToken>> sql_tokens(std::string_view sql, std::vector<std::string>* items = nullptr) {
  std::vector<SqlToken> out;
  auto item = [&](std::string_view text) {
    if (items) items->push_back(ascii_lower(text));
  };
  std::string_view last_word;
  std::size_t last_word_end = std::string_view::npos;
  const std::size_t n = sql.size();
  for (std::size_t i = 0; i < n;) {
    const char c = sql[i];
    if (c == '\'') {
      SqlToken t;
      t.string = true;
      t.begin = i + 1;
      std::size_t j = i + 1;
      for (;; ++j) {
        if (j >= n) return std::nullopt;
        if (sql[j] != '\'') {
          t.text += sql[j];
        } else if (j + 1 < n && sql[j + 1] == '\'') {
          t.text += '\'';
          ++j;
        } else {
          break;
        }
      }
      t.end = j;
      out.push_back(std::move(t));
      item("'");
      i = j + 1;
    } else if (c == '"' || c == '`' || c == '[') {
      const std::size_t j = sql.find(c == '[' ? ']' : c, i + 1);
      if (j == std::string_view::npos) return std::nullopt;
      item(sql.substr(i + 1, j - i - 1));
      i = j + 1;
    } else if (const std::size_t past = past_comment(sql, i); past != i) {
      if (past == std::string_view::npos) return std::nullopt;
      i = past;
    } else if (is_wordish(c) && !is_digit(c)) {
      std::size_t j = i;
      while (j < n && (is_wordish(sql[j]) || sql[j] == '_' || sql[j] == '$')) ++j;
      last_word = sql.substr(i, j - i);
      last_word_end = j;
      item(last_word);
      i = j;
    } else if (c == '_' || c == '$') {
      std::size_t j = i;
      while (j < n && (is_wordish(sql[j]) || sql[j] == '_' || sql[j] == '$')) ++j;
      item(sql.substr(i, j - i));
      i = j;
    } else if (is_digit(c) || (c == '.' && i + 1 < n && is_digit(sql[i + 1]))) {
      std::size_t j = i;
      while (j < n && is_digit(sql[j])) ++j;
      if (j < n && sql[j] == '.') {
        ++j;
        while (j < n && is_digit(sql[j])) ++j;
      }
      if (j + 1 < n && (sql[j] == 'e' || sql[j] == 'E') &&
          (is_digit(sql[j + 1]) || ((sql[j + 1] == '+' || sql[j + 1] == '-') && j + 2 < n && is_digit(sql[j + 2])))) {
        j += 2;
        while (j < n && is_digit(sql[j])) ++j;
      }
      // Digits glued to letters (0x1F, 1st) or qualified names (t.1) are no number.
      const bool glued = (j < n && (is_wordish(sql[j]) || sql[j] == '_' || sql[j] == '.' || sql[j] == '$')) ||
                         (i > 0 && sql[i - 1] == '.' && i > 1 && (is_wordish(sql[i - 2]) || sql[i - 2] == '_'));
      if (glued) {
        while (j < n && (is_wordish(sql[j]) || sql[j] == '_' || sql[j] == '.' || sql[j] == '$')) ++j;
        item(sql.substr(i, j - i));
        i = j;
        continue;
      }
      SqlToken t;
      t.begin = i;
      t.end = j;
      // A minus sign right before the digits is their sign when no operand precedes it.
      if (i > 0 && sql[i - 1] == '-') {
        std::size_t p = i - 1;
        while (p > 0 && (sql[p - 1] == ' ' || sql[p - 1] == '\t' || sql[p - 1] == '\n' || sql[p - 1] == '\r')) --p;
        const bool sign = p == 0 || std::string_view("(,=<>+-*/%|").find(sql[p - 1]) != std::string_view::npos ||
                          (last_word_end == p && sign_keyword(last_word));
        if (sign) t.begin = i - 1;
      }
      t.text = std::string(sql.substr(t.begin, t.end - t.begin));
      if (!parse_number(t.text, t.number)) return std::nullopt;
      out.push_back(std::move(t));
      item("0");
      i = j;
    } else {
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') item(sql.substr(i, 1));
      ++i;
    }
  }
  return out;
}

std::string sql_escape(std::string_view s) { return text::replace_all(s, "'", "''"); }

// One literal value of the old question, with what the new question puts in its place.
struct Group {
  int cls = 0;
  std::string old_value, new_value;
  double old_number = 0, new_number = 0;
  std::size_t count = 0;  // how often the old question says it
  bool changed = false;
  bool coarse = false;  // a day that takes a month, quarter or year
  bool drop = false;    // a name the new question does not have: its condition goes
  bool codes = false;   // a code for a code: it may stand as a part of a longer one ('SKB-WTG')
  std::string new_table, new_column;  // where a new stored value is kept
  std::string old_said;  // an old stored value as the old question says it ("Westland" of 'Westland Valve')
  // Both count a look-ahead, in units of this many days (Shape::windows).
  int window = 0, new_window = 0;
};

// A token of the statement a group says it writes, and what to write instead.
struct Claim {
  std::size_t token = 0;
  std::size_t begin = 0, end = 0;
  std::string text;
  std::size_t group = 0;
  // The column the token is compared with, renamed: [column_begin, column_end) becomes column_text.
  std::size_t column_begin = 0, column_end = 0;
  std::string column_text;
};

// ---- the statement's names ----------------------------------------------------

bool is_name_char(char c) { return is_wordish(c) || c == '_' || c == '$'; }

// The tables a statement reads, by the names it refers to them with: each
// alias and each table's own name (lower-cased) to the table (lower-cased).
struct Tables {
  std::unordered_map<std::string, std::string> by_name;
  std::vector<std::string> tables;
};

// From the statement's items (sql_tokens).
Tables tables_of(const std::vector<std::string>& items) {
  static const std::unordered_set<std::string> kNotAlias = {
      "where", "join", "left", "right", "inner", "outer", "cross", "full", "natural", "on", "using",
      "group", "order", "limit", "union", "except", "intersect", "having", "window", "as", ")", ",", ";", "("};
  Tables out;
  auto is_name = [](const std::string& s) { return !s.empty() && is_name_char(s[0]); };
  for (std::size_t k = 0; k + 1 < items.size(); ++k) {
    if (items[k] != "from" && items[k] != "join") continue;
    std::size_t t = k + 1;
    if (!is_name(items[t])) continue;
    // schema.table: the table is the last part.
    while (t + 2 < items.size() && items[t + 1] == "." && is_name(items[t + 2])) t += 2;
    const std::string& table = items[t];
    out.tables.push_back(table);
    out.by_name.emplace(table, table);
    std::size_t a = t + 1;
    if (a < items.size() && items[a] == "as") ++a;
    if (a < items.size() && is_name(items[a]) && !kNotAlias.count(items[a])) out.by_name[items[a]] = table;
  }
  sort_unique(out.tables);
  return out;
}

// What a statement shows and how it orders (Shape::shown, Shape::unordered).
// A column of the select list shows when it belongs to a table the statement
// reads for its rows: the first table of its FROM, or one its WHERE, GROUP
// BY or HAVING names (a table joined only to show a column may drop or
// repeat rows). Its words, and those of the name it is shown as, are shown
// words unless the rest of the statement (tables, joins, conditions,
// groups) uses them too. A statement of several parts (UNION) shows none.
struct Display {
  std::vector<std::string> shown;
  bool unordered = false;
};

Display display_of(std::string_view sql, Stems& stems) {
  struct Tok {
    std::string text, lower;
    int depth = 0;
    bool name = false;
  };
  std::vector<Tok> toks;
  int depth = 0;
  for (std::size_t i = 0; i < sql.size();) {
    const char c = sql[i];
    if (c == '\'') {
      for (++i; i < sql.size() && !(sql[i] == '\'' && (i + 1 == sql.size() || sql[i + 1] != '\'')); ++i)
        if (sql[i] == '\'') ++i;  // a doubled quote
      if (i >= sql.size()) return {};
      ++i;
      toks.push_back({"'", "'", depth, false});
    } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      while (i < sql.size() && sql[i] != '\n') ++i;
    } else if (c == '"' || c == '`' || c == '[') {
      const char close = c == '[' ? ']' : c;
      const std::size_t end = sql.find(close, i + 1);
      if (end == std::string_view::npos) return {};
      const std::string text(sql.substr(i + 1, end - i - 1));
      toks.push_back({text, ascii_lower(text), depth, true});
      i = end + 1;
    } else if (is_name_char(c)) {
      const std::size_t start = i;
      while (i < sql.size() && is_name_char(sql[i])) ++i;
      const std::string text(sql.substr(start, i - start));
      toks.push_back({text, ascii_lower(text), depth, !is_digit(c)});
    } else {
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (!std::isspace(static_cast<unsigned char>(c)))
        toks.push_back({std::string(1, c), std::string(1, c), c == '(' ? depth - 1 : depth, false});
      ++i;
    }
  }
  auto top = [&](std::size_t from, std::string_view word) {
    for (std::size_t k = from; k < toks.size(); ++k)
      if (toks[k].depth == 0 && toks[k].lower == word) return k;
    return toks.size();
  };
  const std::size_t select = top(0, "select"), from = top(select, "from");
  if (from >= toks.size() || top(0, "union") < toks.size() || top(0, "except") < toks.size() ||
      top(0, "intersect") < toks.size())
    return {};
  const bool limited = std::any_of(toks.begin(), toks.end(), [](const Tok& t) {
    return t.lower == "limit" || t.lower == "fetch" || t.lower == "top" || t.lower == "offset";
  });
  std::size_t end = toks.size();
  Display out;
  if (const std::size_t order = top(from, "order"); order < toks.size() && !limited) {
    end = order;
    out.unordered = true;
  }
  // Rows counted or summed are other rows than those listed: what such a
  // statement shows is what it asks.
  static const std::unordered_set<std::string_view> kAggregates = {
      "count", "sum", "avg", "min", "max", "total", "group_concat", "string_agg", "array_agg"};
  for (std::size_t k = select; k + 1 < end; ++k)
    if (toks[k].lower == "group" || (kAggregates.count(toks[k].lower) && toks[k + 1].lower == "("))
      return out;
  auto qualifier = [&](std::size_t k) { return toks[k].name && k + 1 < toks.size() && toks[k + 1].lower == "."; };
  // The names a table is read by for its rows.
  std::unordered_set<std::string> reading;
  if (from + 1 < end && toks[from + 1].name) {
    reading.insert(toks[from + 1].lower);
    std::size_t a = from + 2;
    if (a < end && toks[a].lower == "as") ++a;
    if (a < end && toks[a].name) reading.insert(toks[a].lower);
  }
  const std::size_t where = std::min({top(from, "where"), top(from, "group"), top(from, "having")});
  for (std::size_t k = where; k < end; ++k)
    if (qualifier(k)) reading.insert(toks[k].lower);
  const bool joined = top(from, "join") < end || [&] {
    for (std::size_t k = from + 1; k < end && toks[k].lower != "where"; ++k)
      if (toks[k].depth == 0 && toks[k].lower == ",") return true;
    return false;
  }();
  static const std::unordered_set<std::string_view> kKeywords = {
      "select", "distinct", "as", "case", "when", "then", "else", "end", "and", "or", "not", "null", "is",
      "in", "like", "between", "cast", "integer", "int", "real", "text", "numeric", "decimal", "over",
      "partition", "by", "asc", "desc", "true", "false", "date", "filter", "where"};
  auto words_of = [&](const std::string& text, std::vector<std::string>& into) {
    for (const std::string& w : linking::split_words(text)) into.push_back(stems.of(w));
  };
  std::vector<std::string> used;
  for (std::size_t k = from; k < end; ++k)
    if (toks[k].name) words_of(toks[k].text, used);
  sort_unique(used);
  // The select list, item by item.
  for (std::size_t k = select + 1; k < from;) {
    std::size_t stop = k;
    while (stop < from && !(toks[stop].depth == 0 && toks[stop].lower == ",")) ++stop;
    bool eligible = true, qualified = false;
    for (std::size_t j = k; j < stop; ++j)
      if (qualifier(j)) {
        qualified = true;
        eligible = eligible && reading.count(toks[j].lower) != 0;
      }
    if (eligible && (qualified || !joined))
      for (std::size_t j = k; j < stop; ++j) {
        const bool call = j + 1 < toks.size() && toks[j + 1].lower == "(";
        if (toks[j].name && !qualifier(j) && !call && !kKeywords.count(toks[j].lower)) words_of(toks[j].text, out.shown);
      }
    k = stop + 1;
  }
  std::erase_if(out.shown, [&](const std::string& w) { return has(used, w); });
  sort_unique(out.shown);
  return out;
}

// What a literal at `at` (its first byte, a quote for a string) is compared
// with: the operator ("=", "<>", ">=", "LIKE", "IN", ...) and the column on its
// left, as [begin, end) with its qualifier. Empty when the literal is not
// the right side of a plain column comparison.
struct Compared {
  std::string op;
  std::string qualifier, column;  // lower-cased
  std::size_t begin = 0, end = 0;
  std::size_t operand = 0;  // where the left side begins, its qualifier included
};

Compared compared_at(std::string_view sql, std::size_t at) {
  Compared out;
  std::size_t p = at;
  auto skip_space = [&] {
    while (p > 0 && (sql[p - 1] == ' ' || sql[p - 1] == '\t' || sql[p - 1] == '\n' || sql[p - 1] == '\r')) --p;
  };
  auto word_back = [&] {
    const std::size_t end = p;
    while (p > 0 && is_name_char(sql[p - 1])) --p;
    return sql.substr(p, end - p);
  };
  skip_space();
  if (p == 0) return out;
  std::string op;
  if (std::string_view("=<>!").find(sql[p - 1]) != std::string_view::npos) {
    const std::size_t end = p;
    while (p > 0 && end - p < 2 && std::string_view("=<>!").find(sql[p - 1]) != std::string_view::npos) --p;
    op = std::string(sql.substr(p, end - p));
  } else if (sql[p - 1] == '(') {
    --p;
    skip_space();
    op = ascii_lower(word_back());
    if (op != "in") return out;
  } else {
    op = ascii_lower(word_back());
    if (op != "like" && op != "glob" && op != "between" && op != "and") return out;
  }
  skip_space();
  const std::size_t end = p;
  const std::string column = ascii_lower(word_back());
  if (column.empty() || is_digit(column[0])) {
    out.op = op;
    return out;
  }
  out.op = op;
  out.column = column;
  out.begin = out.operand = p;
  out.end = end;
  if (p > 1 && sql[p - 1] == '.') {
    --p;
    out.qualifier = ascii_lower(word_back());
    out.operand = p;
  }
  return out;
}

// The span to delete to take the condition `column = 'value'` (or LIKE) out
// of the statement, the string token being `token`: with the AND before or
// after it, or with its WHERE when it is the only condition. Nullopt when
// the condition is anything else: under OR or NOT, the ON of a join alone,
// followed by more of an expression.
std::optional<std::pair<std::size_t, std::size_t>> condition_span(std::string_view sql, const SqlToken& token) {
  const Compared c = compared_at(sql, token.begin - 1);
  if (c.column.empty() || (c.op != "=" && c.op != "like")) return std::nullopt;
  const std::size_t left = c.operand, right = token.end + 1;
  auto space = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r'; };
  // The word (or one of "(", ")", ";") before `at` and after `at`, with where it begins and ends.
  struct Word {
    std::string text;
    std::size_t begin = 0, end = 0;
  };
  auto before = [&](std::size_t at) {
    Word w;
    std::size_t p = at;
    while (p > 0 && space(sql[p - 1])) --p;
    w.end = p;
    if (p > 0 && (sql[p - 1] == '(' || sql[p - 1] == ';' || sql[p - 1] == ')')) {
      w.text = std::string(1, sql[p - 1]);
      w.begin = p - 1;
      return w;
    }
    while (p > 0 && is_name_char(sql[p - 1])) --p;
    w.begin = p;
    w.text = ascii_lower(sql.substr(p, w.end - p));
    return w;
  };
  auto after = [&](std::size_t at) {
    Word w;
    std::size_t p = at;
    while (p < sql.size() && space(sql[p])) ++p;
    w.begin = p;
    if (p < sql.size() && (sql[p] == '(' || sql[p] == ';' || sql[p] == ')')) {
      w.text = std::string(1, sql[p]);
      w.end = p + 1;
      return w;
    }
    while (p < sql.size() && is_name_char(sql[p])) ++p;
    w.end = p;
    w.text = ascii_lower(sql.substr(w.begin, p - w.begin));
    // Something that is no word (an operator, a comma) goes on with the expression.
    if (w.text.empty() && p < sql.size()) w.text = "?";
    return w;
  };
  static const std::unordered_set<std::string> kClauseEnd = {
      "", ")", ";", "order", "group", "limit", "having", "window", "union", "except", "intersect", "join",
      "left", "right", "inner", "cross", "full", "natural", "where"};
  const Word b = before(left), a = after(right);
  // From the end of what comes before the AND or WHERE, so that no space is left twice.
  auto from_before = [&](std::size_t at) {
    while (at > 0 && space(sql[at - 1])) --at;
    return at;
  };
  if (b.text == "and" && (a.text == "and" || a.text == "or" || kClauseEnd.count(a.text)))
    return std::make_pair(from_before(b.begin), right);
  if ((b.text == "where" || b.text == "on" || b.text == "(") && a.text == "and") {
    std::size_t end = a.end;
    while (end < sql.size() && space(sql[end])) ++end;
    return std::make_pair(left, end);
  }
  if (b.text == "where" && a.text != ")" && kClauseEnd.count(a.text)) return std::make_pair(from_before(b.begin), right);
  return std::nullopt;
}

std::optional<std::vector<Group>> pair_up(const Shape& old, const Shape& now) {
  std::vector<Group> groups;
  for (int cls = 0; cls < 3; ++cls) {
    std::vector<const Literal*> a, b;
    for (const Literal& l : old.literals)
      if (class_of(l.kind) == cls) a.push_back(&l);
    for (const Literal& l : now.literals)
      if (class_of(l.kind) == cls) b.push_back(&l);
    if (cls == 2 && drops_one_name(a.size(), b.size())) {
      Group g;
      g.cls = cls;
      g.old_value = a[0]->value;
      g.count = 1;
      g.changed = g.drop = true;
      groups.push_back(std::move(g));
      continue;
    }
    if (a.size() != b.size()) return std::nullopt;
    // Texts both questions name pair with each other wherever they stand
    // ("SKB-TPI hours per Resource" and "hours per Resource on SKB-MPF"); the
    // others pair in order.
    if (cls == 2) {
      std::vector<const Literal*> ordered(a.size(), nullptr);
      std::vector<bool> used(b.size(), false);
      for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j)
          if (!used[j] && text::lower(a[i]->value) == text::lower(b[j]->value)) {
            ordered[i] = b[j];
            used[j] = true;
            break;
          }
      for (std::size_t i = 0, j = 0; i < a.size(); ++i) {
        if (ordered[i]) continue;
        while (used[j]) ++j;
        ordered[i] = b[j];
        used[j] = true;
      }
      b = std::move(ordered);
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
      Group g;
      g.cls = cls;
      g.old_value = a[i]->value;
      g.new_value = b[i]->value;
      if (cls == 0 && (!parse_number(g.old_value, g.old_number) || !parse_number(g.new_value, g.new_number)))
        return std::nullopt;
      g.changed = cls == 0 ? g.old_number != g.new_number : g.old_value != g.new_value;
      if (cls == 0) {
        const int before = old.windows[static_cast<std::size_t>(a[i] - old.literals.data())];
        const int after = now.windows[static_cast<std::size_t>(b[i] - now.literals.data())];
        if ((before == 0) != (after == 0)) return std::nullopt;
        g.window = before;
        g.new_window = after;
        g.changed = g.changed || before != after;
      }
      g.coarse = cls == 1 && precision_of(g.old_value) == Precision::kDay && precision_of(g.new_value) != Precision::kDay;
      g.codes = a[i]->kind == LiteralKind::kCode && b[i]->kind == LiteralKind::kCode;
      if (a[i]->kind == LiteralKind::kValue) g.old_said = a[i]->text;
      if (b[i]->kind == LiteralKind::kValue) {
        g.new_table = text::lower(b[i]->table);
        g.new_column = text::lower(b[i]->column);
      }
      auto same = [&](const Group& h) {
        if (h.cls != cls) return false;
        if (cls == 0) return h.old_number == g.old_number;
        if (cls == 1) return h.old_value == g.old_value;
        return text::lower(h.old_value) == text::lower(g.old_value);
      };
      const auto it = std::find_if(groups.begin(), groups.end(), same);
      if (it == groups.end()) {
        g.count = 1;
        groups.push_back(std::move(g));
        continue;
      }
      // The same old literal twice with two new ones: which of its places
      // in the statement takes which cannot be told.
      const bool agree = cls == 0 ? it->new_number == g.new_number : it->new_value == g.new_value;
      if (!agree) return std::nullopt;
      ++it->count;
    }
  }
  return groups;
}

// The count of a date modifier ("+60 days" in date('now', '+60 days')):
// where its digits begin in the string, and how many there are; none for
// another string.
std::optional<std::pair<std::size_t, std::size_t>> modifier_count(std::string_view s) {
  static const std::unordered_set<std::string_view> kUnits = {"day",   "days",  "month", "months", "year",
                                                              "years", "hour",  "hours", "minute", "minutes"};
  std::size_t i = s.size() > 0 && (s[0] == '+' || s[0] == '-') ? 1 : 0;
  const std::size_t from = i;
  while (i < s.size() && is_digit(s[i])) ++i;
  if (i == from || i >= s.size() || s[i] != ' ') return std::nullopt;
  const std::size_t digits = i - from;
  while (i < s.size() && s[i] == ' ') ++i;
  if (!kUnits.count(ascii_lower(s.substr(i)))) return std::nullopt;
  return std::pair{from, digits};
}

void claim_number(const std::vector<SqlToken>& tokens, std::size_t gi, double old_number,
                  const std::string& text, std::vector<Claim>& claims) {
  for (std::size_t t = 0; t < tokens.size(); ++t) {
    if (!tokens[t].string) {
      if (tokens[t].number == old_number)
        claims.push_back(Claim{t, tokens[t].begin, tokens[t].end, text, gi, 0, 0, {}});
      continue;
    }
    if (text.empty() || !std::all_of(text.begin(), text.end(), is_digit)) continue;
    // A whole number stored as text ("block 311" of blk_no = '311'), written
    // as the question writes it, without leading zeros.
    const std::string& written_text = tokens[t].text;
    if (!written_text.empty() && written_text.size() <= 15 && written_text[0] != '0' &&
        std::all_of(written_text.begin(), written_text.end(), is_digit) &&
        static_cast<double>(std::stoll(written_text)) == old_number) {
      claims.push_back(Claim{t, tokens[t].begin, tokens[t].end, text, gi, 0, 0, {}});
      continue;
    }
    // A whole count of days, months or years in a date modifier takes a whole count.
    const auto count = modifier_count(tokens[t].text);
    if (!count) continue;
    double written = 0;
    if (!parse_number(std::string_view(tokens[t].text).substr(count->first, count->second), written) ||
        written != old_number)
      continue;
    const std::size_t begin = tokens[t].begin + count->first;
    claims.push_back(Claim{t, begin, begin + count->second, text, gi, 0, 0, {}});
  }
}

// Days since 1970-01-01 of a day, and the day of such a count (proleptic
// Gregorian calendar).
long serial_of(const Ymd& d) {
  const int y = d.y - (d.m <= 2 ? 1 : 0);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (d.m + (d.m > 2 ? -3 : 9)) + 2) / 5 + d.d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Ymd day_of(long serial) {
  serial += 719468;
  const long era = (serial >= 0 ? serial : serial - 146096) / 146097;
  const long doe = serial - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  Ymd out;
  out.d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  out.m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  out.y = static_cast<int>(yoe + era * 400 + (out.m <= 2 ? 1 : 0));
  return out;
}

// A look-ahead of a new length ("the next 2 weeks" for "the next 4 weeks"):
// a statement that writes the window as two days, as many days apart as
// the old question's count of units (less one, when both ends are in it),
// takes another end for the new count. False, claiming nothing, when it
// writes other days, or days the count does not account for.
bool claim_window(const std::vector<SqlToken>& tokens, std::size_t gi, const Group& g, std::vector<Claim>& claims) {
  std::vector<std::pair<long, std::string>> days;
  for (const SqlToken& t : tokens) {
    if (!t.string) continue;
    const std::string& x = t.text;
    if (x.size() != 10 || x[4] != '-' || x[7] != '-' || !all_digits(x.substr(0, 4)) || !all_digits(x.substr(5, 2)) ||
        !all_digits(x.substr(8, 2)))
      continue;
    const Ymd d{to_int(x.substr(0, 4)), to_int(x.substr(5, 2)), to_int(x.substr(8, 2))};
    if (d.m < 1 || d.m > 12 || d.d < 1 || d.d > days_in_month(d.y, d.m)) return false;
    days.emplace_back(serial_of(d), x);
  }
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  if (days.size() != 2 || g.old_number != std::floor(g.old_number) || g.new_number != std::floor(g.new_number) ||
      g.new_number < 1 || g.new_number > 3660)
    return false;
  // The day `count` units after `from`; a month later is the same day of
  // the month, or its last.
  auto after = [](long from, long count, int unit) {
    if (unit != kMonths) return from + count * unit;
    Ymd d = day_of(from);
    const long months = d.y * 12L + (d.m - 1) + count;
    d.y = static_cast<int>(months / 12);
    d.m = static_cast<int>(months % 12) + 1;
    d.d = std::min(d.d, days_in_month(d.y, d.m));
    return serial_of(d);
  };
  const long offset = days[1].first - after(days[0].first, static_cast<long>(g.old_number), g.window);
  if (offset != 0 && offset != -1) return false;
  const std::string end = iso_day(day_of(after(days[0].first, static_cast<long>(g.new_number), g.new_window) + offset));
  for (std::size_t t = 0; t < tokens.size(); ++t)
    if (tokens[t].string && tokens[t].text == days[1].second)
      claims.push_back(Claim{t, tokens[t].begin, tokens[t].end, end, gi, 0, 0, {}});
  return true;
}

// False when a token the old date is written as cannot take the new one.
bool claim_date(std::string_view sql, const std::vector<SqlToken>& tokens, std::size_t gi, const Group& g,
                std::vector<Claim>& claims) {
  const std::vector<std::string> olds = date_forms(g.old_value), news = date_forms(g.new_value);
  if (g.coarse) {
    // news: the period as written, its first day, its last day, the day after.
    for (std::size_t t = 0; t < tokens.size(); ++t) {
      if (!tokens[t].string) continue;
      const std::string_view content = tokens[t].text;
      for (std::size_t f = 0; f < olds.size(); ++f) {
        if (content.substr(0, olds[f].size()) != olds[f] ||
            (content.size() > olds[f].size() && content[olds[f].size()] != ' ' && content[olds[f].size()] != 'T'))
          continue;
        // The day after (a half-open range's end) or a time of the day: which end of the period is meant cannot be told.
        if (f != 0 || content.size() != olds[f].size()) return false;
        const std::string op = compared_at(sql, tokens[t].begin - 1).op;
        std::string day;
        if (op == ">=" || op == "<") day = news[1];
        else if (op == ">" || op == "<=") day = news[2];
        else return false;
        claims.push_back(Claim{t, tokens[t].begin, tokens[t].end, day, gi, 0, 0, {}});
      }
    }
    return true;
  }
  // A period for one of another length: only its days stand for each other.
  const bool same = precision_of(g.old_value) == precision_of(g.new_value);
  for (std::size_t t = 0; t < tokens.size(); ++t) {
    if (!tokens[t].string) continue;
    const std::string_view content = tokens[t].text;
    const std::size_t lead = std::min(content.find_first_not_of('%'), content.size());
    const std::string_view rest = content.substr(lead);
    for (std::size_t f = same ? 0 : 1; f < olds.size(); ++f) {
      const std::string& form = olds[f];
      // The form alone, or before a time or a wildcard: '2024-05-01 08:00',
      // '2024-05%', '2024-%'.
      if (rest.substr(0, form.size()) != form) continue;
      const std::string_view after = rest.substr(form.size());
      const bool wildcard_after_dash = after.size() >= 2 && after[0] == '-' &&
                                       after.find_first_not_of("%_", 1) == std::string_view::npos;
      if (!after.empty() && std::string_view(" T%").find(after[0]) == std::string_view::npos && !wildcard_after_dash)
        continue;
      const std::size_t begin = tokens[t].begin + lead;
      claims.push_back(Claim{t, begin, begin + form.size(), news[f], gi, 0, 0, {}});
    }
  }
  // A year may also be compared as a number: CAST(strftime('%Y', d) AS INTEGER) = 2024.
  if (same && precision_of(g.old_value) == Precision::kYear)
    claim_number(tokens, gi, to_int(g.old_value), g.new_value, claims);
  return true;
}

// The table whose column a comparison reads: by its qualifier, or the
// statement's one table; empty when neither tells.
std::string table_compared(const Compared& c, const Tables& tables) {
  if (!c.qualifier.empty()) {
    const auto it = tables.by_name.find(c.qualifier);
    return it != tables.by_name.end() ? it->second : std::string();
  }
  return tables.tables.size() == 1 ? tables.tables.front() : std::string();
}

void claim_text(std::string_view sql, const Tables& tables, const std::vector<SqlToken>& tokens, std::size_t gi,
                const Group& g, std::vector<Claim>& claims) {
  const std::string old_lower = text::lower(g.old_value);
  const std::string escaped = sql_escape(g.new_value);
  for (std::size_t t = 0; t < tokens.size(); ++t) {
    if (!tokens[t].string) continue;
    const std::string_view content = tokens[t].text;
    // Wildcards around the value stay: '%Harbor Bridge%'.
    const std::size_t lead = std::min(content.find_first_not_of('%'), content.size());
    const std::size_t trail = content.size() - lead - (content.substr(lead).find_last_not_of('%') + 1);
    const std::string_view middle = content.substr(lead, content.size() - lead - trail);
    if (middle.empty() || middle.size() > 4 * old_lower.size() + 16) continue;
    // A pattern of the value as the question says it ('%Westland%' of
    // 'Westland Valve & Actuator') takes the new value whole.
    const bool said = (lead > 0 || trail > 0) && !g.old_said.empty() && text::lower(middle) == text::lower(g.old_said);
    if (text::lower(middle) != old_lower && !said) {
      // A code as the part of a longer code between its dashes ("WTG" of
      // 'SKB-WTG'), once.
      if (!g.codes || !g.changed || middle.find(' ') != std::string_view::npos) continue;
      const std::string lower = text::lower(middle);
      auto joint = [](char c) { return c == '-' || c == '_' || c == '.'; };
      const std::size_t at = lower.find(old_lower), end = at + old_lower.size();
      if (at == std::string::npos || lower.find(old_lower, at + 1) != std::string::npos ||
          (at > 0 && !joint(lower[at - 1])) || (end < lower.size() && !joint(lower[end])))
        continue;
      const std::size_t begin = tokens[t].begin + lead + at;
      claims.push_back(Claim{t, begin, begin + old_lower.size(), escaped, gi, 0, 0, {}});
      continue;
    }
    Claim claim{t, tokens[t].begin + lead, tokens[t].end - trail, said && !g.changed ? std::string(middle) : escaped,
                gi, 0, 0, {}};
    // The new value is kept in another column of the table the statement
    // compares: compare that column.
    if (g.changed && !g.new_column.empty()) {
      const Compared c = compared_at(sql, tokens[t].begin - 1);
      if (!c.column.empty() && c.column != g.new_column) {
        if (table_compared(c, tables) == g.new_table) {
          claim.column_begin = c.begin;
          claim.column_end = c.end;
          claim.column_text = g.new_column;
        }
      }
    }
    claims.push_back(std::move(claim));
  }
}

// A month the earlier question says without its year takes the one year in
// which the statement writes that month ("in June" of '2025-06-01'); a month
// the new question says so takes the year of the old date it replaces.
bool place_years(const std::vector<SqlToken>& tokens, std::vector<Group>& groups) {
  for (Group& g : groups) {
    if (g.cls != 1) continue;
    if (g.old_value.starts_with("--")) {
      std::string year;
      for (const SqlToken& t : tokens) {
        const std::string_view s = t.text;
        if (!t.string || s.size() < 7 || s[4] != '-' || !plausible_year(s.substr(0, 4)) ||
            s.substr(5, 2) != std::string_view(g.old_value).substr(2, 2))
          continue;
        if (!year.empty() && year != s.substr(0, 4)) return false;
        year = std::string(s.substr(0, 4));
      }
      if (year.empty()) return false;
      g.old_value = year + g.old_value.substr(1);
    }
    if (g.new_value.starts_with("--")) {
      if (precision_of(g.old_value) == Precision::kYear || precision_of(g.old_value) == Precision::kQuarter) return false;
      g.new_value = g.old_value.substr(0, 4) + g.new_value.substr(1);
    }
    g.changed = g.old_value != g.new_value;
    g.coarse = precision_of(g.old_value) == Precision::kDay && precision_of(g.new_value) != Precision::kDay;
  }
  return true;
}

// ---- the names of a statement's columns ----------------------------------------

// A name a statement gives a column or a table, or refers to one by.
struct Identifier {
  std::size_t begin = 0, end = 0;  // with its quotes, if any
  std::string name;                // without them
  char quote = 0;                  // '"', '`' or '['; 0 when bare
  bool qualified = false;          // after a '.'
  bool declared = false;           // after AS
};

// Names a column's type after AS in a cast, not a column.
bool type_name(std::string_view word) {
  static const std::unordered_set<std::string> kTypes = {
      "integer", "int", "bigint", "real", "double", "float", "numeric", "decimal", "text", "varchar",
      "char", "date", "timestamp", "boolean", "blob", "interval", "time"};
  return kTypes.count(ascii_lower(word)) != 0;
}

// The statement's identifiers, outside its strings and comments; nullopt
// when it cannot be read.
std::optional<std::vector<Identifier>> identifiers_of(std::string_view sql) {
  std::vector<Identifier> out;
  bool after_as = false, after_dot = false;
  const std::size_t n = sql.size();
  for (std::size_t i = 0; i < n;) {
    const char c = sql[i];
    if (c == '\'') {
      std::size_t j = i + 1;
      while (j < n && !(sql[j] == '\'' && !(j + 1 < n && sql[j + 1] == '\''))) j += sql[j] == '\'' ? 2 : 1;
      if (j >= n) return std::nullopt;
      i = j + 1;
      after_as = after_dot = false;
    } else if (const std::size_t past = past_comment(sql, i); past != i) {
      if (past == std::string_view::npos) return std::nullopt;
      i = past;
    } else if (c == '"' || c == '`' || c == '[' || (is_wordish(c) && !is_digit(c)) || c == '_') {
      Identifier id;
      id.begin = i;
      if (c == '"' || c == '`' || c == '[') {
        const std::size_t j = sql.find(c == '[' ? ']' : c, i + 1);
        if (j == std::string_view::npos) return std::nullopt;
        id.name = std::string(sql.substr(i + 1, j - i - 1));
        id.quote = c;
        i = j + 1;
      } else {
        std::size_t j = i;
        while (j < n && is_name_char(sql[j])) ++j;
        id.name = std::string(sql.substr(i, j - i));
        i = j;
      }
      id.end = i;
      id.qualified = after_dot;
      id.declared = after_as && !(id.quote == 0 && type_name(id.name));
      after_dot = false;
      after_as = id.quote == 0 && ascii_lower(id.name) == "as";
      out.push_back(std::move(id));
    } else if (is_digit(c)) {
      while (i < n && (is_name_char(sql[i]) || sql[i] == '.')) ++i;
      after_as = after_dot = false;
    } else {
      if (c == '.') after_dot = true;
      else if (c != ' ' && c != '\t' && c != '\n' && c != '\r') after_dot = after_as = false;
      ++i;
    }
  }
  return out;
}

// The words of a name and where they stand in it: split at anything but
// letters and digits, and where a lower-case letter meets a capital
// ("openRisks").
std::vector<std::pair<std::size_t, std::size_t>> name_words(std::string_view name) {
  std::vector<std::pair<std::size_t, std::size_t>> out;
  for (std::size_t i = 0; i < name.size();) {
    if (!is_alnum(name[i])) {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    while (j < name.size() && is_alnum(name[j]) && !(is_lower(name[j - 1]) && is_upper(name[j]))) ++j;
    out.emplace_back(i, j);
    i = j;
  }
  return out;
}

// A column the statement names after a text it compares with ("COUNT(*) AS
// in_progress" beside status = 'In Progress') is named after the text that
// replaces it ("not_started"), in the name's own spelling, wherever the
// statement refers to it; when the condition goes, the text's words leave
// the name, and a name left with none goes, the column then being called by
// what it computes. Nullopt when the new name cannot stand: it would be
// another's, is no plain name, or a name that goes is referred to.
std::optional<std::string> rename_after(std::string sql, const std::vector<std::pair<std::string, std::string>>& texts) {
  for (const auto& [was, now] : texts) {
    std::vector<std::string> old_words;
    for (const auto& [b, e] : name_words(was)) old_words.push_back(ascii_lower(std::string_view(was).substr(b, e - b)));
    if (old_words.empty()) continue;
    // Names already given, which may hold the old words again ('Open' -> 'Open late').
    std::unordered_set<std::string> given;
    for (bool again = true; again;) {
    again = false;
    const auto ids = identifiers_of(sql);
    if (!ids) return std::nullopt;
    for (const Identifier& declared : *ids) {
      if (!declared.declared || given.count(ascii_lower(declared.name))) continue;
      const std::string name = declared.name;
      const auto parts = name_words(name);
      std::size_t at = parts.size();
      for (std::size_t k = 0; k + old_words.size() <= parts.size() && at == parts.size(); ++k) {
        bool same = true;
        for (std::size_t m = 0; m < old_words.size() && same; ++m)
          same = ascii_lower(std::string_view(name).substr(parts[k + m].first, parts[k + m].second - parts[k + m].first)) ==
                 old_words[m];
        if (same) at = k;
      }
      if (at == parts.size()) continue;
      const std::size_t last = at + old_words.size() - 1;
      std::size_t from = parts[at].first, to = parts[last].second;
      const bool camel = name.find_first_of("_ -") == std::string::npos && parts.size() > 1;
      std::string renamed;
      if (now.empty()) {
        // The words go with the separator before them, or after them at the start.
        if (at > 0) from = parts[at - 1].second;
        else if (last + 1 < parts.size()) to = parts[last + 1].first;
        renamed = name.substr(0, from) + name.substr(to);
        if (camel && at == 0 && !renamed.empty() && is_upper(renamed[0]) && is_lower(name[parts[0].first]))
          renamed[0] = static_cast<char>(renamed[0] + ('a' - 'A'));
      } else {
        std::string sep = name.find('_') != std::string::npos ? "_" : name.find(' ') != std::string::npos ? " " : "";
        if (sep.empty() && !camel) sep = declared.quote ? " " : "_";
        const auto new_parts = name_words(now);
        std::string words;
        for (std::size_t k = 0; k < new_parts.size(); ++k) {
          // Each new word spelt as the old word in its place (the last for the rest).
          const auto& [ob, oe] = parts[std::min(at + k, last)];
          const std::string_view old_word = std::string_view(name).substr(ob, oe - ob);
          std::string w = ascii_lower(std::string_view(now).substr(new_parts[k].first, new_parts[k].second - new_parts[k].first));
          const bool upper = std::any_of(old_word.begin(), old_word.end(), is_upper) &&
                             std::none_of(old_word.begin(), old_word.end(), is_lower);
          const bool capital = !upper && is_upper(old_word[0]);
          if (upper) for (char& ch : w) ch = is_lower(ch) ? static_cast<char>(ch - ('a' - 'A')) : ch;
          else if ((capital || (camel && at + k > 0)) && is_lower(w[0])) w[0] = static_cast<char>(w[0] - ('a' - 'A'));
          if (k > 0) words += sep;
          words += w;
        }
        if (words.empty()) continue;
        renamed = name.substr(0, from) + words + name.substr(to);
      }
      if (renamed == name) continue;
      const std::string key = ascii_lower(name), new_key = ascii_lower(renamed);
      const bool plain = !renamed.empty() && !is_digit(renamed[0]) &&
                         std::all_of(renamed.begin(), renamed.end(), [](char ch) { return is_alnum(ch) || ch == '_'; });
      std::vector<const Identifier*> uses;
      for (const Identifier& id : *ids) {
        const std::string k = ascii_lower(id.name);
        if (k == new_key) return std::nullopt;
        if (k != key) continue;
        if (id.qualified) return std::nullopt;
        if (id.quote == 0 && !renamed.empty() && !plain) return std::nullopt;
        uses.push_back(&id);
      }
      if (renamed.empty() && uses.size() > 1) return std::nullopt;
      // Back to front, so that the places before stay where they are.
      for (auto u = uses.rbegin(); u != uses.rend(); ++u) {
        const Identifier& id = **u;
        if (renamed.empty()) {
          // " AS name" goes whole.
          std::size_t b = id.begin;
          while (b > 0 && (sql[b - 1] == ' ' || sql[b - 1] == '\t' || sql[b - 1] == '\n')) --b;
          if (b >= 2 && ascii_lower(std::string_view(sql).substr(b - 2, 2)) == "as") b -= 2;
          while (b > 0 && (sql[b - 1] == ' ' || sql[b - 1] == '\t' || sql[b - 1] == '\n')) --b;
          sql.erase(b, id.end - b);
        } else if (id.quote) {
          sql.replace(id.begin + 1, id.end - id.begin - 2, renamed);
        } else {
          sql.replace(id.begin, id.end - id.begin, renamed);
        }
      }
      given.insert(new_key);
      again = true;
      break;  // the statement changed: its names are read again
    }
    }
  }
  return sql;
}

std::optional<Fit> fill(const Source& source, const Shape& old, const Shape& now, double similarity) {
  auto groups = pair_up(old, now);
  if (!groups) return std::nullopt;
  std::vector<std::string> items;
  const auto tokens = sql_tokens(source.sql, &items);
  if (!tokens || !place_years(*tokens, *groups)) return std::nullopt;
  // A statement that keeps only some of its rows where its question says
  // neither how many nor which come first keeps them for its own reasons
  // ("LIMIT 10" under "activities with excessive lag"): it narrows what
  // another question asks.
  {
    std::size_t literal = 0;  // string and number items so far: the index of their token
    for (std::size_t k = 0; k < items.size(); ++k) {
      if (items[k] != "limit") {
        literal += items[k] == "'" || items[k] == "0";
        continue;
      }
      if (k + 1 >= items.size() || items[k + 1] != "0" || literal >= tokens->size()) return std::nullopt;
      const double rows = (*tokens)[literal].number;
      const bool said = std::any_of(old.literals.begin(), old.literals.end(), [&](const Literal& l) {
        double n = 0;
        return l.kind == LiteralKind::kNumber && parse_number(l.value, n) && n == rows;
      });
      const bool ordered = std::any_of(old.marks.begin(), old.marks.end(), [](const std::string& m) {
        return role_of(m) == Role::kExact || m == "most" || m == "least";
      });
      if (!said && !ordered) return std::nullopt;
    }
  }
  const Tables tables = tables_of(items);

  // Unchanged literals claim their tokens too: a token two literals claim
  // for different texts cannot be told to either ("from May to June 2024"
  // may write June's first day as the end of May and as the start of June).
  std::vector<Claim> claims;
  for (std::size_t gi = 0; gi < groups->size(); ++gi) {
    const Group& g = (*groups)[gi];
    const std::size_t before = claims.size();
    if (g.drop) {
      // The condition that holds the dropped name goes: written once, in a condition that can go.
      std::vector<Claim> own;
      claim_text(source.sql, tables, *tokens, gi, g, own);
      if (own.size() != 1) return std::nullopt;
      const auto span = condition_span(source.sql, (*tokens)[own[0].token]);
      if (!span) return std::nullopt;
      claims.push_back(Claim{own[0].token, span->first, span->second, std::string(), gi, 0, 0, {}});
      continue;
    }
    if (g.cls == 0 && g.window && g.changed) {
      // A count in other units is only a length.
      if (claim_window(*tokens, gi, g, claims)) continue;
      if (g.window != g.new_window) return std::nullopt;
    }
    if (g.cls == 0) claim_number(*tokens, gi, g.old_number, g.new_value, claims);
    else if (g.cls == 1 && !claim_date(source.sql, *tokens, gi, g, claims)) return std::nullopt;
    else if (g.cls == 2) claim_text(source.sql, tables, *tokens, gi, g, claims);
    // A number the statement writes more often than the question says it
    // plays another role somewhere too (LIMIT 10 beside a threshold of 10).
    if (g.cls == 0 && g.changed && claims.size() - before > g.count) return std::nullopt;
  }

  // One edit per token, which all its claims must agree on.
  std::stable_sort(claims.begin(), claims.end(),
                   [](const Claim& a, const Claim& b) { return a.token < b.token; });
  std::vector<const Claim*> edits;
  std::vector<bool> found(groups->size(), false);
  for (std::size_t i = 0; i < claims.size();) {
    std::size_t j = i;
    const Claim& first = claims[i];
    for (; j < claims.size() && claims[j].token == first.token; ++j) {
      const Claim& c = claims[j];
      if (c.begin != first.begin || c.end != first.end || c.text != first.text ||
          c.column_begin != first.column_begin || c.column_text != first.column_text)
        return std::nullopt;
      found[c.group] = true;
    }
    edits.push_back(&first);
    i = j;
  }
  for (std::size_t gi = 0; gi < groups->size(); ++gi)
    if ((*groups)[gi].changed && !found[gi]) return std::nullopt;

  // A text written in a list beside texts the question does not name
  // ("open" snags: IN ('Open', 'Disputed')) stands with them for one word:
  // another value for that word is not the list with one member changed.
  {
    std::vector<bool> claimed(tokens->size(), false);
    for (const Claim& c : claims) claimed[c.token] = true;
    auto listed_together = [&](std::size_t a, std::size_t b) {
      const SqlToken &x = (*tokens)[a], &y = (*tokens)[b];
      const std::size_t from = x.end + (x.string ? 1 : 0), to = y.begin - (y.string ? 1 : 0);
      if (!x.string || !y.string || to < from) return false;
      const std::string_view gap = std::string_view(source.sql).substr(from, to - from);
      return gap.find_first_not_of(" \t\n,") == std::string_view::npos && std::count(gap.begin(), gap.end(), ',') == 1;
    };
    // Whether a string token stands in a list after IN: back over the
    // strings and commas before it to the parenthesis that opens it.
    auto in_list = [&](std::size_t t) {
      const std::string_view sql = source.sql;
      std::size_t i = (*tokens)[t].begin - 1;  // its opening quote
      while (i > 0) {
        const char c = sql[i - 1];
        if (c == ' ' || c == ',' || c == '\t' || c == '\n') {
          --i;
        } else if (c == '\'' && i >= 2) {
          const std::size_t open = sql.rfind('\'', i - 2);
          if (open == std::string_view::npos) return false;
          i = open;
        } else if (c == '(') {
          std::size_t k = i - 1;
          while (k > 0 && (sql[k - 1] == ' ' || sql[k - 1] == '\t' || sql[k - 1] == '\n')) --k;
          return k >= 2 && ascii_lower(sql.substr(k - 2, 2)) == "in" && (k == 2 || !is_alnum(sql[k - 3]));
        } else {
          return false;
        }
      }
      return false;
    };
    for (const Claim* e : edits) {
      const std::string_view was = std::string_view(source.sql).substr(e->begin, e->end - e->begin);
      if (was == e->text) continue;
      const std::size_t t = e->token;
      if (!(*tokens)[t].string || !in_list(t)) continue;
      if ((t > 0 && listed_together(t - 1, t) && !claimed[t - 1]) ||
          (t + 1 < tokens->size() && listed_together(t, t + 1) && !claimed[t + 1]))
        return std::nullopt;
    }
  }

  // The literals' edits, and the columns compared with them renamed (a
  // column may be compared with several of them: renamed once).
  struct Edit {
    std::size_t begin, end;
    std::string text;
    bool literal;
  };
  std::vector<Edit> all;
  for (const Claim* e : edits) {
    all.push_back(Edit{e->begin, e->end, e->text, true});
    if (!e->column_text.empty()) all.push_back(Edit{e->column_begin, e->column_end, e->column_text, false});
  }
  std::sort(all.begin(), all.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
  all.erase(std::unique(all.begin(), all.end(),
                        [](const Edit& a, const Edit& b) { return a.begin == b.begin && a.end == b.end && a.text == b.text; }),
            all.end());
  Fit fit;
  fit.similarity = similarity;
  const std::string_view sql = source.sql;
  std::size_t at = 0;
  for (const Edit& e : all) {
    if (e.begin < at) return std::nullopt;
    const std::string_view was = sql.substr(e.begin, e.end - e.begin);
    if (was == e.text) continue;
    // A sign after a minus would start a comment: "x -5" refilled with -3.
    if (!e.text.empty() && e.text[0] == '-' && e.begin > 0 && sql[e.begin - 1] == '-') return std::nullopt;
    fit.sql.append(sql.substr(at, e.begin - at));
    fit.sql.append(e.text);
    at = e.end;
    if (!e.literal) continue;
    std::pair<std::string, std::string> change{std::string(was), e.text};
    if (std::find(fit.replaced.begin(), fit.replaced.end(), change) == fit.replaced.end())
      fit.replaced.push_back(std::move(change));
  }
  fit.sql.append(sql.substr(at));
  // Columns named after a text refilled or taken out are named anew.
  std::vector<std::pair<std::string, std::string>> texts;
  for (const Claim* e : edits) {
    const Group& g = (*groups)[e->group];
    const SqlToken& t = (*tokens)[e->token];
    if (g.cls != 2 || !t.string) continue;
    std::string now = g.drop ? std::string() : text::replace_all(e->text, "''", "'");
    if (now != t.text) texts.emplace_back(t.text, std::move(now));
  }
  if (texts.empty()) return fit;
  auto renamed = rename_after(std::move(fit.sql), texts);
  if (!renamed) return std::nullopt;
  fit.sql = std::move(*renamed);
  return fit;
}

}  // namespace

namespace {

// Words that make the noun after them a placeholder ("one project", "a
// given date"), and the nouns of dates.
bool placeholder_determiner(std::string_view w) {
  return w == "a" || w == "an" || w == "one" || w == "some" || w == "any" || w == "the";
}
bool placeholder_modifier(std::string_view w) {
  static const std::unordered_set<std::string_view> kWords = {
      "given", "certain", "specific", "particular", "single", "chosen", "selected", "cut-off", "cutoff", "named"};
  return kWords.count(w) != 0;
}

// An ISO day at the start of a string: '2024-05-17', '2024-05-17 08:00'.
std::optional<Ymd> iso_day_of(std::string_view s) {
  if (s.size() < 10 || s[4] != '-' || s[7] != '-' || !plausible_year(s.substr(0, 4)) || !all_digits(s.substr(5, 2)) ||
      !all_digits(s.substr(8, 2)))
    return std::nullopt;
  if (s.size() > 10 && s[10] != ' ' && s[10] != 'T') return std::nullopt;
  const Ymd d{to_int(s.substr(0, 4)), to_int(s.substr(5, 2)), to_int(s.substr(8, 2))};
  if (d.m < 1 || d.m > 12 || d.d < 1 || d.d > days_in_month(d.y, d.m)) return std::nullopt;
  return d;
}

bool same_day(const Ymd& a, const Ymd& b) { return a.y == b.y && a.m == b.m && a.d == b.d; }

// Whether the words of `part` occur in `whole` in a row (both lower-cased).
bool spells(std::string_view whole, std::string_view part) {
  for (std::size_t at = whole.find(part); at != std::string_view::npos; at = whole.find(part, at + 1)) {
    const bool left = at == 0 || !is_alnum(whole[at - 1]);
    const bool right = at + part.size() == whole.size() || !is_alnum(whole[at + part.size()]);
    if (left && right) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> example_question(std::string_view description, std::string_view sql) {
  // Explanations in parentheses are not part of the question.
  std::string text;
  int depth = 0;
  for (char c : description) {
    if (c == '(') ++depth;
    else if (c == ')' && depth > 0) --depth;
    else if (depth == 0) text += c;
  }
  const auto tokens = sql_tokens(sql);
  if (!tokens) return std::nullopt;
  const std::string lower = ascii_lower(text);
  std::vector<Ymd> days;
  std::vector<std::string> texts;
  for (const SqlToken& t : *tokens) {
    if (!t.string) continue;
    if (const auto d = iso_day_of(t.text)) {
      if (std::none_of(days.begin(), days.end(), [&](const Ymd& e) { return same_day(e, *d); })) days.push_back(*d);
      continue;
    }
    const std::size_t lead = std::min(t.text.find_first_not_of('%'), t.text.size());
    const std::size_t last = t.text.find_last_not_of('%');
    if (last == std::string::npos || last < lead) continue;
    const std::string core = t.text.substr(lead, last + 1 - lead);
    // A value the description spells is part of what it asks ("delay notes").
    if (spells(lower, ascii_lower(core))) continue;
    if (std::find(texts.begin(), texts.end(), core) == texts.end()) texts.push_back(core);
  }

  struct Slot {
    std::size_t begin, end;
    std::string noun;
  };
  std::vector<Slot> slots;
  const std::vector<Token> words = word_tokens(text);
  auto word = [&](std::size_t k) { return ascii_lower(std::string_view(text).substr(words[k].begin, words[k].end - words[k].begin)); };
  for (std::size_t k = 0; k + 1 < words.size(); ++k) {
    const std::string det = word(k);
    if (!placeholder_determiner(det)) continue;
    std::size_t n = k + 1;
    const bool modified = placeholder_modifier(word(n));
    if (modified && n + 1 < words.size()) ++n;
    const std::string noun = word(n);
    const bool date = noun == "date" || noun == "day" || noun == "month" || noun == "year";
    if (!std::all_of(noun.begin(), noun.end(), is_alpha)) continue;
    // "a date", "the given date"; a thing only as "one project" or "a given project".
    if (date ? det == "the" && !modified : !(det == "one" || modified)) continue;
    slots.push_back(Slot{words[k].begin, words[n].end, noun});
    k = n;
  }
  if (slots.empty()) return std::nullopt;

  // Fill the slots in order: texts in the order the statement writes them,
  // dates likewise, a month or a year taking the two days that bound it.
  std::size_t next_text = 0, next_day_at = 0;
  std::vector<std::string> fills;
  for (const Slot& slot : slots) {
    if (slot.noun == "date" || slot.noun == "day") {
      if (next_day_at >= days.size()) return std::nullopt;
      fills.push_back(iso_day(days[next_day_at++]));
    } else if (slot.noun == "month" || slot.noun == "year") {
      if (next_day_at + 1 >= days.size()) return std::nullopt;
      const Ymd first = days[next_day_at], last = days[next_day_at + 1];
      next_day_at += 2;
      const bool month = slot.noun == "month";
      const Ymd end{first.y, month ? first.m : 12, month ? days_in_month(first.y, first.m) : 31};
      if (first.d != 1 || (!month && first.m != 1) || !(same_day(last, end) || same_day(last, next_day(end))))
        return std::nullopt;
      fills.push_back(month ? iso_month(first.y, first.m) : iso_year(first.y));
    } else {
      if (next_text >= texts.size()) return std::nullopt;
      const std::string& v = texts[next_text++];
      const char quote = v.find('\'') == std::string::npos ? '\'' : '"';
      if (v.find(quote) != std::string::npos) return std::nullopt;
      fills.push_back(slot.noun + " " + quote + v + quote);
    }
  }
  // Every date of the statement and every text it does not spell is a slot's.
  if (next_day_at != days.size() || (next_text > 0 && next_text != texts.size())) return std::nullopt;
  std::string out;
  std::size_t at = 0;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    out.append(text, at, slots[i].begin - at);
    out += fills[i];
    at = slots[i].end;
  }
  out.append(text, at);
  return std::string(text::strip(out));
}

// The tables, lower-cased and sorted, whose stored values `other` names and
// `mine` does not, of which `values` holds a loosely named one, when `mine`
// names fewer texts: where it names one too in words that name it loosely
// ("the array cable package" beside "the substation package").
std::vector<std::string> loose_tables(const Shape& mine, const Shape& other, const std::vector<NamedValue>& values) {
  auto tables = [](const Shape& s) {
    std::vector<std::string> out;
    for (const Literal& l : s.literals)
      if (l.kind == LiteralKind::kValue && !l.table.empty()) out.push_back(ascii_lower(l.table));
    sort_unique(out);
    return out;
  };
  const std::vector<std::string> named = tables(mine);
  std::vector<std::string> out;
  if (texts(mine) >= texts(other)) return out;
  for (const std::string& t : tables(other))
    if (!has(named, t) && std::any_of(values.begin(), values.end(), [&](const NamedValue& v) {
          return v.weak && ascii_lower(v.table) == t;
        }))
      out.push_back(t);
  return out;
}

// The earlier question's shape beside the new one's: each with the loosely
// named values of the tables the other names a value of, the new one only
// where it reads the very value the earlier one named (nothing else says
// which row its words mean), and the new one with the earlier one's
// acronyms spelt out (whether any of that changed it).
struct Together {
  Shape old, now;
  bool now_changed = false;
};
Together read_together(const Source& source, std::string_view question, const std::vector<NamedValue>& values,
                       const Shape& now, Stems& stems) {
  // A value the earlier question names that its statement never writes
  // ("expire" read as the status 'Expired' beside "expire before a date"),
  // and the new question does not name, is not what the statement asks
  // about: its words are words.
  const std::string statement = ascii_lower(source.sql);
  std::vector<NamedValue> old_values;
  for (const NamedValue& v : source.values) {
    const std::string stored = ascii_lower(v.stored);
    const std::string said = v.begin < v.end && v.end <= source.question.size()
                                 ? ascii_lower(source.question.substr(v.begin, v.end - v.begin))
                                 : std::string();
    const bool written = v.weak || statement.find(stored) != std::string::npos ||
                         statement.find(sql_escape(stored)) != std::string::npos ||
                         (!said.empty() && statement.find(sql_escape(said)) != std::string::npos);
    if (written || std::any_of(values.begin(), values.end(), [&](const NamedValue& n) {
          return !n.weak && ascii_lower(n.stored) == stored;
        }))
      old_values.push_back(v);
  }
  Together t{shape_of(source.question, old_values, stems, source.description), now};
  if (const std::vector<std::string> loose = loose_tables(t.old, now, old_values); !loose.empty())
    t.old = shape_of(source.question, old_values, stems, source.description, loose);
  // Only what the earlier question asks to be shown along ("with their
  // trade and rate", "including the owner") or ordered by ("largest
  // variance first"): a word elsewhere may say which rows it means,
  // whatever column the statement shows it in.
  // Read only where it may matter: the earlier question asks for columns
  // or an order, and says a word or a marker the new one does not.
  const std::vector<std::string> said = linking::split_words(source.question);
  const bool asks_along = std::any_of(said.begin(), said.end(), [](const std::string& w) {
    return w == "with" || w == "including" || w == "showing" || w == "plus";
  });
  const bool orders = has(t.old.marks, "first") || has(t.old.marks, "last");
  const bool says_more = t.old.marks != now.marks || !std::includes(now.words.begin(), now.words.end(),
                                                                      t.old.words.begin(), t.old.words.end());
  Display display = (asks_along || orders) && says_more ? display_of(source.sql, stems) : Display{};
  std::vector<std::string> along, with;
  bool showing = false;
  for (std::size_t i = 0; i < said.size(); ++i) {
    const std::string& w = said[i];
    if (showing && !linking::is_stop_word(w)) with.push_back(stems.of(w));
    showing = showing || w == "with" || w == "including" || w == "showing" || w == "plus";
    if (!display.unordered || !order_mark(w) || w == "first" || w == "last") continue;
    for (std::size_t j = i + 1; j < said.size() && j <= i + 4; ++j)
      if (said[j] == "first" || said[j] == "last") {
        for (std::size_t k = i + 1; k < j; ++k) along.push_back(stems.of(said[k]));
        break;
      }
  }
  // Words left out before one the question says are what it qualifies
  // ("PC dates" beside "with contract and forecast PC dates"): the question
  // asks for that in its own words, which may mean other columns. Words
  // after it are more columns ("their budgets" beside "with budget and
  // hours").
  bool qualified = false;
  for (std::size_t i = 0, left_out = 0; i < with.size() && !qualified; ++i) {
    if (!has(now.words, with[i])) ++left_out;
    else qualified = left_out > 0;
  }
  if (!qualified) along.insert(along.end(), with.begin(), with.end());
  sort_unique(along);
  std::erase_if(display.shown, [&](const std::string& w) { return !has(along, w); });
  t.old.shown = std::move(display.shown);
  t.old.unordered = display.unordered;
  std::vector<NamedValue> same;
  bool alternated = false;
  for (const NamedValue& v : values) {
    if (v.alternative) {
      if (std::none_of(old_values.begin(), old_values.end(), [&](const NamedValue& o) {
            return !o.weak && ascii_lower(o.table) == ascii_lower(v.table);
          }))
        continue;
      alternated = true;
      same.push_back(v);
      continue;
    }
    if (!v.weak || std::any_of(old_values.begin(), old_values.end(), [&](const NamedValue& o) {
          return ascii_lower(o.table) == ascii_lower(v.table) &&
                 (ascii_lower(o.stored) == ascii_lower(v.stored) || ascii_lower(o.read) == ascii_lower(v.stored));
        }))
      same.push_back(v);
  }
  // The earlier question names a project where the other reading is.
  if (alternated)
    std::erase_if(same, [&](const NamedValue& v) {
      return !v.alternative && std::any_of(same.begin(), same.end(), [&](const NamedValue& a) {
        return a.alternative && a.begin < v.end && v.begin < a.end;
      });
    });
  // Of two readings of the same words in different tables, the one of a
  // table the statement reads ("splicing team B" as a crew beside a
  // statement on crews, not as the risk 'Splicing team availability'),
  // unless the earlier question read its words so too.
  std::vector<std::string> items, read;
  if (sql_tokens(source.sql, &items)) read = tables_of(items).tables;
  auto reads = [&](const NamedValue& v) { return std::binary_search(read.begin(), read.end(), ascii_lower(v.table)); };
  std::vector<bool> other_reading(same.size(), false);
  for (std::size_t i = 0; i < same.size(); ++i) {
    if (reads(same[i]) || std::any_of(old_values.begin(), old_values.end(), [&](const NamedValue& o) {
          return ascii_lower(o.stored) == ascii_lower(same[i].stored);
        }))
      continue;
    for (std::size_t j = 0; j < same.size() && !other_reading[i]; ++j)
      other_reading[i] = j != i && same[j].begin < same[i].end && same[i].begin < same[j].end && reads(same[j]);
  }
  const bool chosen = std::find(other_reading.begin(), other_reading.end(), true) != other_reading.end();
  if (chosen) {
    std::vector<NamedValue> kept;
    for (std::size_t i = 0; i < same.size(); ++i)
      if (!other_reading[i]) kept.push_back(std::move(same[i]));
    same = std::move(kept);
  }
  if (const std::vector<std::string> loose = loose_tables(now, t.old, same); !loose.empty()) {
    t.now = shape_of(question, same, stems, false, loose);
    t.now_changed = true;
  } else if (chosen || alternated) {
    t.now = shape_of(question, same, stems);
    t.now_changed = true;
  }
  const Shape asked = t.now;
  t.now_changed = spell_out_acronyms(t.now, t.old) || t.now_changed;
  spell_out_acronyms(t.old, asked);
  return t;
}

// The readings of a question but the alternatives to others.
std::vector<NamedValue> plain_readings(const std::vector<NamedValue>& values) {
  std::vector<NamedValue> out;
  std::copy_if(values.begin(), values.end(), std::back_inserter(out), [](const NamedValue& v) { return !v.alternative; });
  return out;
}

std::optional<Fit> refill(const Source& source, std::string_view question, const std::vector<NamedValue>& values,
                          const Wording& wording) {
  Stems stems(wording);
  const Together t = read_together(source, question, values, shape_of(question, plain_readings(values), stems), stems);
  const auto similarity = fits(t.old, t.now);
  if (!similarity) return std::nullopt;
  return fill(source, t.old, t.now, *similarity);
}

std::vector<ComparedText> compared_texts(std::string_view sql, bool unequal) {
  std::vector<ComparedText> out;
  std::vector<std::string> items;
  const auto tokens = sql_tokens(sql, &items);
  if (!tokens) return out;
  const Tables tables = tables_of(items);
  for (const SqlToken& t : *tokens) {
    if (!t.string || t.begin == 0) continue;
    const Compared c = compared_at(sql, t.begin - 1);
    if (c.column.empty() || (c.op != "=" && c.op != "in" && !(unequal && (c.op == "<>" || c.op == "!="))))
      continue;
    const std::string table = table_compared(c, tables);
    if (!table.empty()) out.push_back(ComparedText{ascii_lower(table), c.column, std::string(t.text)});
  }
  return out;
}

std::optional<std::pair<std::size_t, Fit>> best_refill(const std::vector<Source>& sources,
                                                       std::string_view question,
                                                       const std::vector<NamedValue>& values,
                                                       const Wording& wording) {
  Stems stems(wording);
  const Shape now = shape_of(question, plain_readings(values), stems);
  if (now.words.empty()) return std::nullopt;
  struct Candidate {
    double similarity;
    std::size_t index;
    Shape shape;
    std::string implied;  // the table a question without its name is taken to ask about
    std::optional<Shape> now = {};  // the question read with the earlier one's acronyms spelt out
  };
  std::vector<Candidate> candidates;
  // The words of the name of the table a statement reads first.
  auto main_table = [](const std::string& sql) {
    std::vector<std::string> items;
    if (!sql_tokens(sql, &items)) return std::string();
    for (std::size_t k = 0; k + 1 < items.size(); ++k)
      if (items[k] == "from" && !items[k + 1].empty() && is_name_char(items[k + 1][0])) {
        // As written, for the words of a name in camel case.
        const std::size_t at = ascii_lower(sql).find(items[k + 1]);
        return at == std::string::npos ? items[k + 1] : sql.substr(at, items[k + 1].size());
      }
    return std::string();
  };
  // Every table a statement reads, as written.
  auto read_tables = [](const std::string& sql) {
    std::vector<std::string> items, out;
    if (!sql_tokens(sql, &items)) return out;
    for (std::size_t k = 0; k + 1 < items.size(); ++k)
      if ((items[k] == "from" || items[k] == "join") && !items[k + 1].empty() && is_name_char(items[k + 1][0])) {
        const std::size_t at = ascii_lower(sql).find(items[k + 1]);
        out.push_back(at == std::string::npos ? items[k + 1] : sql.substr(at, items[k + 1].size()));
      }
    return out;
  };
  for (std::size_t i = 0; i < sources.size(); ++i) {
    Together together = read_together(sources[i], question, values, now, stems);
    Shape old = std::move(together.old);
    std::optional<Shape> read;
    if (together.now_changed) read = std::move(together.now);
    if (const auto similarity = fits(old, read ? *read : now)) {
      candidates.push_back({*similarity, i, std::move(old), {}, std::move(read)});
      continue;
    }
    // A question may leave out the things it asks about when its other words
    // say it ("clonshaugh neg float, worst first" of "activities with
    // negative float on Fechenheim, worst first", "undelivered lines" of
    // "undelivered PO lines"), or say it where the other does not ("turbine
    // positions deeper than 33 m"): words of the name of the table the
    // statement reads first may differ, when all the others are the same.
    const std::string table = main_table(sources[i].sql);
    if (table.empty()) continue;
    std::vector<std::string> names;
    for (const std::string& read : read_tables(sources[i].sql)) {
      for (const std::string& w : linking::split_words(read)) names.push_back(stems.of(w));
      if (wording.table_words)
        for (const std::string& w : wording.table_words(read)) names.push_back(stems.of(w));
    }
    // Words naming a table that only a join reads must not say what rows
    // are grouped by ("SPI by control account" is no "SPI for the job").
    std::vector<std::string> main_names;
    for (const std::string& w : linking::split_words(table)) main_names.push_back(stems.of(w));
    if (wording.table_words)
      for (const std::string& w : wording.table_words(table)) main_names.push_back(stems.of(w));
    auto named_table = [&](const std::string& w) {
      if (std::find(main_names.begin(), main_names.end(), w) != main_names.end()) return true;
      return std::find(names.begin(), names.end(), w) != names.end() && !has(old.grouping, w) && !has(now.grouping, w);
    };
    // One says part of what the other does, not another part of the name
    // ("resources" and "assignments" of resource_assignments).
    std::vector<std::string> said_before, said_now;
    std::copy_if(old.words.begin(), old.words.end(), std::back_inserter(said_before), named_table);
    std::copy_if(now.words.begin(), now.words.end(), std::back_inserter(said_now), named_table);
    if (!std::includes(said_before.begin(), said_before.end(), said_now.begin(), said_now.end()) &&
        !std::includes(said_now.begin(), said_now.end(), said_before.begin(), said_before.end()))
      continue;
    Shape without = old, plain = now;
    std::erase_if(without.words, named_table);
    std::erase_if(plain.words, named_table);
    if ((without.words.size() == old.words.size() && plain.words.size() == now.words.size()) ||
        without.words.empty() != plain.words.empty())
      continue;
    // Both say nothing but the table ("positions deeper than 30 m"): the
    // table is their one word.
    if (without.words.empty()) without.words = plain.words = {"@" + table};
    if (const auto similarity = fits(without, plain); similarity && *similarity == 1.0)
      candidates.push_back({kMinSimilarity, i, std::move(old), table});
  }
  // Taken as asking about one table, a question may not be taken as asking
  // about another as well.
  std::vector<std::string> implied;
  for (const Candidate& c : candidates)
    if (!c.implied.empty()) implied.push_back(c.implied);
  sort_unique(implied);
  if (implied.size() > 1) std::erase_if(candidates, [](const Candidate& c) { return !c.implied.empty(); });
  // Of equally similar wordings, the one whose literals need the fewest
  // changes: the same value, then another of the same kind and column
  // ("KTR" for "PQB", both project codes, rather than a project's name).
  auto changes = [&](const Shape& old, const Shape& asked) {
    int n = 0;
    for (const Literal& l : asked.literals) {
      int cost = 3;
      for (const Literal& o : old.literals) {
        const int c = ascii_lower(o.value) == ascii_lower(l.value)      ? 0
                      : o.kind != l.kind                                ? 3
                      : ascii_lower(o.column) == ascii_lower(l.column) ? 1
                                                                        : 2;
        cost = std::min(cost, c);
      }
      n += cost;
    }
    return n;
  };
  std::vector<int> cost(candidates.size());
  for (std::size_t k = 0; k < candidates.size(); ++k) cost[k] = changes(candidates[k].shape, candidates[k].now ? *candidates[k].now : now);
  std::vector<std::size_t> order(candidates.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (candidates[a].implied.empty() != candidates[b].implied.empty()) return candidates[a].implied.empty();
    if (candidates[a].similarity != candidates[b].similarity) return candidates[a].similarity > candidates[b].similarity;
    return cost[a] < cost[b];
  });
  // The most similar wording may still not refill (a literal it cannot
  // place); the next one is tried then.
  for (const std::size_t k : order) {
    const Candidate& c = candidates[k];
    if (auto fit = fill(sources[c.index], c.shape, c.now ? *c.now : now, c.similarity))
      return std::make_pair(c.index, std::move(*fit));
  }
  return std::nullopt;
}

}  // namespace corvalt::templates
