// Words for lexical linking: splitting texts and identifiers, stop words,
// stems and edit distance.
#include <libstemmer.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "corvalt/linking.hpp"
#include "corvalt/text.hpp"

namespace corvalt::linking {

std::optional<Mode> parse_mode(std::string_view name) noexcept {
  for (std::size_t i = 0; i < std::size(kModeNames); ++i)
    if (name == kModeNames[i]) return static_cast<Mode>(i);
  return std::nullopt;
}

std::string_view mode_name(Mode mode) noexcept { return kModeNames[static_cast<std::size_t>(mode)]; }

namespace {

// What a code point is to the splitter.
enum class Kind : std::uint8_t {
  kSpace,       // white space, underscore, hyphen and other joiners: end a word
  kBreak,       // clause punctuation: ends a word and the clause
  kApostrophe,  // ' or U+2019: inside a word, see split_run()
  kLower,
  kUpper,       // upper or title case
  kLetter,      // a letter without case, or a combining mark
  kDigit,
};

constexpr std::array<Kind, 128> make_ascii_kinds() {
  std::array<Kind, 128> kinds{};
  for (auto& k : kinds) k = Kind::kSpace;
  for (int c = 'a'; c <= 'z'; ++c) kinds[c] = Kind::kLower;
  for (int c = 'A'; c <= 'Z'; ++c) kinds[c] = Kind::kUpper;
  for (int c = '0'; c <= '9'; ++c) kinds[c] = Kind::kDigit;
  kinds['\''] = Kind::kApostrophe;
  for (char c : std::string_view(".,;:!?()[]{}\"\n")) kinds[static_cast<unsigned char>(c)] = Kind::kBreak;
  return kinds;
}
constexpr std::array<Kind, 128> kAsciiKinds = make_ascii_kinds();

Kind kind_of(char32_t cp) noexcept {
  if (cp < 0x80) return kAsciiKinds[cp];
  if (cp == 0x2019) return Kind::kApostrophe;
  if (u_isdigit(static_cast<UChar32>(cp))) return Kind::kDigit;
  if (u_isUUppercase(static_cast<UChar32>(cp)) || u_istitle(static_cast<UChar32>(cp)))
    return Kind::kUpper;
  if (u_isULowercase(static_cast<UChar32>(cp))) return Kind::kLower;
  const auto type = u_charType(static_cast<UChar32>(cp));
  if (u_isalpha(static_cast<UChar32>(cp)) || type == U_NON_SPACING_MARK ||
      type == U_COMBINING_SPACING_MARK || type == U_ENCLOSING_MARK)
    return Kind::kLetter;
  // Sentence punctuation of other scripts ends a clause too.
  if (type == U_OTHER_PUNCTUATION || type == U_START_PUNCTUATION || type == U_END_PUNCTUATION ||
      type == U_INITIAL_PUNCTUATION || type == U_FINAL_PUNCTUATION || cp == 0x2028 || cp == 0x2029)
    return Kind::kBreak;
  return Kind::kSpace;
}

bool is_letter(Kind k) { return k == Kind::kLower || k == Kind::kUpper || k == Kind::kLetter; }

struct CodePoint {
  char32_t cp;
  Kind kind;
  std::uint32_t begin, end;  // bytes in the text
};

struct Piece {
  std::string text;  // lower-cased
  bool clause_break_before = false;
};

void lower_in_place(std::string& word) {
  bool ascii = true;
  for (char& c : word) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  }
  if (!ascii) word = text::lower(word);
}

// Splits one run of letters, digits and apostrophes into words: at case
// changes, between letters and digits, and around apostrophes (a trailing
// "'s" is dropped, any other apostrophe is left out and joins its sides).
void split_run(std::string_view text, const std::vector<CodePoint>& run, std::vector<Piece>& out,
               bool& clause_break) {
  std::string word;
  auto flush = [&] {
    if (word.empty()) return;
    lower_in_place(word);
    out.push_back(Piece{std::move(word), clause_break});
    clause_break = false;
    word.clear();
  };
  // The word grows by whole stretches of the text between split points.
  std::size_t from = 0;  // first code point of the stretch not yet appended
  auto take = [&](std::size_t upto) {
    if (upto > from) word.append(text.substr(run[from].begin, run[upto - 1].end - run[from].begin));
    from = upto;
  };
  Kind prev = Kind::kSpace;  // the previous code point that is not an apostrophe
  for (std::size_t i = 0; i < run.size(); ++i) {
    const CodePoint& c = run[i];
    if (c.kind == Kind::kApostrophe) {
      take(i);
      from = i + 1;
      const bool s_follows = i + 1 < run.size() && (run[i + 1].cp == 's' || run[i + 1].cp == 'S') &&
                             (i + 2 == run.size() || !is_letter(run[i + 2].kind));
      if (s_follows) {
        flush();
        ++i;  // the "s"
        from = i + 1;
        prev = Kind::kSpace;
      }
      continue;
    }
    if (prev != Kind::kSpace) {
      const bool split = (prev == Kind::kDigit) != (c.kind == Kind::kDigit) ||  // letters, digits
                         (prev == Kind::kLower && c.kind == Kind::kUpper) ||    // totalFloat
                         (prev == Kind::kUpper && c.kind == Kind::kUpper && i + 1 < run.size() &&
                          run[i + 1].kind == Kind::kLower &&  // HTTPServer: "S" starts "Server",
                          !(i + 2 == run.size() && run[i + 1].cp == 's'));  // but "NCRs" is a plural
      if (split) {
        take(i);
        flush();
      }
    }
    prev = c.kind;
  }
  take(run.size());
  flush();
}

std::vector<Piece> split_pieces(std::string_view text) {
  std::vector<Piece> out;
  out.reserve(text.size() / 5 + 1);  // about a word per five bytes
  // The code points of the word being read: one buffer per thread, as most
  // texts are short and many are split.
  thread_local std::vector<CodePoint> run;
  run.clear();
  bool clause_break = false;
  auto end_run = [&] {
    if (!run.empty()) split_run(text, run, out, clause_break);
    run.clear();
  };
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t begin = pos;
    const unsigned char byte = static_cast<unsigned char>(text[pos]);
    const char32_t cp = byte < 0x80 ? (++pos, byte) : text::next_code_point(text, pos);
    const Kind kind = kind_of(cp);
    if (kind == Kind::kSpace || kind == Kind::kBreak) {
      end_run();
      if (kind == Kind::kBreak) clause_break = true;
      continue;
    }
    // An apostrophe only counts inside a word: between two letters or digits.
    if (kind == Kind::kApostrophe && run.empty()) continue;
    run.push_back(CodePoint{cp, kind, static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(pos)});
  }
  // A run ending in apostrophes ("students'") keeps the word before them.
  end_run();
  return out;
}

// General English stop words: the Snowball project's English stop word list
// (pronouns, auxiliaries, articles, prepositions, conjunctions, the common
// quantifiers), its contractions written without the apostrophe as the
// splitter leaves them, and the modal verbs. None of them names data, and
// each occurs in most descriptions, so matching them only adds noise.
constexpr std::string_view kStopWords[] = {
    "i", "me", "my", "myself", "we", "our", "ours", "ourselves", "you", "your", "yours",
    "yourself", "yourselves", "he", "him", "his", "himself", "she", "her", "hers", "herself",
    "it", "its", "itself", "they", "them", "their", "theirs", "themselves", "what", "which",
    "who", "whom", "whose", "this", "that", "these", "those", "am", "is", "are", "was", "were",
    "be", "been", "being", "have", "has", "had", "having", "do", "does", "did", "doing", "would",
    "should", "could", "ought", "a", "an", "the", "and", "but", "if", "or", "because", "as",
    "until", "while", "of", "at", "by", "for", "with", "about", "against", "between", "into",
    "through", "during", "before", "after", "above", "below", "to", "from", "up", "down", "in",
    "out", "on", "off", "over", "under", "again", "further", "then", "once", "here", "there",
    "when", "where", "why", "how", "all", "any", "both", "each", "few", "more", "most", "other",
    "some", "such", "no", "nor", "not", "only", "own", "same", "so", "than", "too", "very",
    "cannot", "im", "ive", "youre", "theyre", "isnt", "arent", "wasnt", "werent", "hasnt",
    "havent", "hadnt", "doesnt", "dont", "didnt", "wont", "wouldnt", "shouldnt", "cant",
    "couldnt", "mustnt", "thats", "whats", "can", "will", "may", "might", "must", "shall",
    // Words that phrase a request to a database rather than name what it holds.
    "show", "list", "give", "get", "find", "display", "tell", "return", "provide", "fetch",
    "want", "need", "please", "know", "see", "let", "also", "just", "every", "many", "much",
    "per", "etc", "us", "ones", "anything", "everything", "something",
};

const std::unordered_set<std::string_view>& stop_words() {
  static const std::unordered_set<std::string_view> set(std::begin(kStopWords),
                                                        std::end(kStopWords));
  return set;
}

bool all_digits(std::string_view word) {
  if (!word.empty() && static_cast<unsigned char>(word[0]) < 0x80 && !(word[0] >= '0' && word[0] <= '9'))
    return false;
  for (std::size_t pos = 0; pos < word.size();) {
    const char32_t cp = text::next_code_point(word, pos);
    if (kind_of(cp) != Kind::kDigit) return false;
  }
  return !word.empty();
}

// One Snowball stemmer per thread: a stemmer object keeps the result of its
// last call and may not be shared.
class Stemmer {
 public:
  Stemmer() : stemmer_(sb_stemmer_new("english", "UTF_8")) {
    if (!stemmer_) throw std::runtime_error("The Snowball English stemmer is not available");
  }
  ~Stemmer() { sb_stemmer_delete(stemmer_); }
  Stemmer(const Stemmer&) = delete;
  Stemmer& operator=(const Stemmer&) = delete;

  std::string stem(std::string_view word) {
    const sb_symbol* out = sb_stemmer_stem(
        stemmer_, reinterpret_cast<const sb_symbol*>(word.data()), static_cast<int>(word.size()));
    if (!out) throw std::bad_alloc();
    return std::string(reinterpret_cast<const char*>(out),
                       static_cast<std::size_t>(sb_stemmer_length(stemmer_)));
  }

 private:
  sb_stemmer* stemmer_;
};

}  // namespace

std::vector<std::string> split_words(std::string_view text) {
  std::vector<std::string> words;
  for (Piece& piece : split_pieces(text)) words.push_back(std::move(piece.text));
  return words;
}

bool is_stop_word(std::string_view word) { return stop_words().count(word) != 0; }

bool is_project_word(std::string_view word) {
  static constexpr std::string_view kWords[] = {"project", "job", "programme", "program", "scheme"};
  if (word.size() > 3 && word.back() == 's') word.remove_suffix(1);
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

std::string stem(std::string_view word) {
  // Plurals the stemmer does not join to their singular: "people" are the
  // rows of a person table.
  static constexpr std::pair<std::string_view, std::string_view> kIrregular[] = {
      {"people", "person"}, {"men", "man"}, {"women", "woman"}, {"children", "child"}, {"criteria", "criterion"}};
  for (const auto& [plural, singular] : kIrregular)
    if (word == plural) word = singular;
  thread_local Stemmer stemmer;
  return stemmer.stem(word);
}

std::string_view shorthand_for(std::string_view word) {
  static constexpr std::pair<std::string_view, std::string_view> kShorthand[] = {
      {"hr", "hour"},          {"hrs", "hours"},       {"avg", "average"},       {"crit", "critical"},
      {"neg", "negative"},     {"acts", "activities"}, {"pct", "percent"},       {"qty", "quantity"},
      {"fcst", "forecast"},    {"succ", "successor"},  {"succs", "successors"},  {"pred", "predecessor"},
      {"preds", "predecessors"}, {"mgr", "manager"},   {"proj", "project"},      {"projs", "projects"},
      {"approx", "approximately"}, {"tot", "total"},   {"reqd", "required"},     {"amt", "amount"},
      {"dur", "duration"},     {"rem", "remaining"},   {"wk", "week"},           {"wks", "weeks"},
      {"mth", "month"},        {"mths", "months"},     {"loc", "location"},      {"desc", "description"},
      {"sched", "schedule"},   {"elec", "electrical"}, {"mech", "mechanical"},   {"tf", "float"},
      {"fab", "fabrication"},  {"constr", "construction"}, {"commiss", "commissioning"}, {"cert", "certificate"},
      {"blk", "block"},        {"blks", "blocks"},
  };
  for (const auto& [short_form, full] : kShorthand)
    if (short_form == word) return full;
  return word;
}

std::vector<Word> content_words(std::string_view text, bool stems) {
  std::vector<Piece> pieces = split_pieces(text);
  std::vector<Word> words;
  words.reserve(pieces.size());
  bool clause_break = true;  // nothing to join the first word to
  bool dropped = false;      // a word was left out since the last content word
  for (Piece& piece : pieces) {
    clause_break = clause_break || piece.clause_break_before;
    const bool one_letter = piece.text.size() < 2 || (piece.text.size() <= 4 && text::length(piece.text) < 2);
    if (one_letter || is_stop_word(piece.text) || all_digits(piece.text)) {
      dropped = true;
      continue;
    }
    Word w;
    if (stems) w.stem = stem(piece.text);
    w.text = std::move(piece.text);
    w.joined = !clause_break;
    w.adjacent = w.joined && !dropped;
    clause_break = dropped = false;
    words.push_back(std::move(w));
  }
  return words;
}

// ---- identifiers ------------------------------------------------------------

namespace {

// Abbreviations that schedule databases use in their identifiers, with the
// word each stands for. General naming habits (codes, dates, numbers,
// quantities) and the trade's own (baselines, float, predecessors).
constexpr std::pair<std::string_view, std::string_view> kAbbreviations[] = {
    {"act", "activity"},    {"actv", "activity"},     {"amt", "amount"},       {"asgn", "assignment"},
    {"assgn", "assignment"}, {"avg", "average"},      {"bl", "baseline"},      {"bsln", "baseline"},
    {"bud", "budget"},      {"bdgt", "budget"},       {"cal", "calendar"},     {"cat", "category"},
    {"cd", "code"},         {"cmpl", "complete"},     {"cmplt", "complete"},   {"cnstr", "constraint"},
    {"cnt", "count"},       {"crit", "critical"},     {"curr", "current"},     {"dept", "department"},
    {"desc", "description"}, {"dt", "date"},          {"dur", "duration"},     {"evt", "event"},
    {"exc", "exception"},   {"fcst", "forecast"},     {"fin", "finish"},       {"flt", "float"},
    {"hr", "hour"},         {"hrs", "hours"},         {"loc", "location"},     {"mgr", "manager"},
    {"nbr", "number"},      {"no", "number"},         {"num", "number"},       {"orig", "original"},
    {"pct", "percent"},     {"pred", "predecessor"},  {"prj", "project"},      {"proj", "project"},
    {"qty", "quantity"},    {"rel", "relationship"},  {"rem", "remaining"},    {"res", "resource"},
    {"rsrc", "resource"},   {"resp", "responsible"},  {"seq", "sequence"},     {"stat", "status"},
    {"sts", "status"},      {"succ", "successor"},    {"tot", "total"},        {"typ", "type"},
    {"var", "variance"},    {"wk", "week"},           {"nm", "name"},          {"ttl", "title"},
    {"lbl", "label"},       {"sev", "severity"},      {"prob", "probability"}, {"imp", "impact"},
    {"rsk", "risk"},        {"upd", "update"},        {"rmk", "remark"},       {"cmt", "comment"},
};

bool is_vowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u'; }

// Whether the letters of `abbreviation` stand in `word` in order, the first
// at its start.
bool letters_in_order(std::string_view abbreviation, std::string_view word) {
  if (abbreviation.empty() || word.empty() || abbreviation[0] != word[0]) return false;
  std::size_t at = 0;
  for (const char c : word)
    if (at < abbreviation.size() && c == abbreviation[at]) ++at;
  return at == abbreviation.size();
}

bool ascii_letters(std::string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

}  // namespace

bool abbreviation_shaped(std::string_view word) {
  if (word.size() < 2 || word.size() > 5 || !ascii_letters(word)) return false;
  if (word.size() <= 4) return true;
  return std::count_if(word.begin(), word.end(), is_vowel) <= 1;
}

std::string expand_abbreviation(std::string_view word, const std::vector<std::string>& context) {
  if (!abbreviation_shaped(word)) return {};
  // A context word it begins: two letters are too few to tell ("co").
  if (word.size() >= 3)
    for (const std::string& c : context)
      if (c.size() >= word.size() + 2 && ascii_letters(c) && c.starts_with(word)) return c;
  for (const auto& [abbreviation, full] : kAbbreviations)
    if (abbreviation == word) return std::string(full);
  // Its letters in order: at least three, so that "dt" does not read "data".
  if (word.size() >= 3)
    for (const std::string& c : context)
      if (c.size() >= word.size() + 2 && ascii_letters(c) && letters_in_order(word, c)) return c;
  return {};
}

std::string table_name_prefix(const std::vector<std::vector<std::string>>& table_name_words) {
  std::unordered_map<std::string, std::size_t> firsts;
  for (const auto& words : table_name_words)
    if (words.size() >= 2) ++firsts[words.front()];
  const std::size_t n = table_name_words.size();
  std::string best;
  std::size_t best_count = 0;
  for (const auto& [word, count] : firsts)
    if (count > best_count || (count == best_count && word < best)) {
      best = word;
      best_count = count;
    }
  if (best_count < 3 || 10 * best_count < 6 * n) return {};
  return best;
}

unsigned edit_distance(std::string_view a, std::string_view b, unsigned limit) {
  std::u32string x, y;
  for (std::size_t pos = 0; pos < a.size();) x.push_back(text::next_code_point(a, pos));
  for (std::size_t pos = 0; pos < b.size();) y.push_back(text::next_code_point(b, pos));
  return edit_distance(std::u32string_view(x), std::u32string_view(y), limit);
}

unsigned edit_distance(std::u32string_view x, std::u32string_view y, unsigned limit) {
  const std::size_t n = x.size(), m = y.size();
  if ((n > m ? n - m : m - n) > limit) return limit + 1;
  // Three rows of the distance table: two back (for swaps), previous, current.
  std::vector<unsigned> before(m + 1), prev(m + 1), cur(m + 1);
  for (std::size_t j = 0; j <= m; ++j) prev[j] = static_cast<unsigned>(j);
  for (std::size_t i = 1; i <= n; ++i) {
    cur[0] = static_cast<unsigned>(i);
    unsigned row_min = cur[0];
    for (std::size_t j = 1; j <= m; ++j) {
      const unsigned cost = x[i - 1] == y[j - 1] ? 0 : 1;
      unsigned d = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + cost});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1])
        d = std::min(d, before[j - 2] + 1);
      cur[j] = d;
      row_min = std::min(row_min, d);
    }
    // A swap reaches back two rows, so stop only when both rows are past the limit.
    if (row_min > limit && *std::min_element(prev.begin(), prev.end()) > limit) return limit + 1;
    std::swap(before, prev);
    std::swap(prev, cur);
  }
  return std::min(prev[m], limit + 1);
}

}  // namespace corvalt::linking
