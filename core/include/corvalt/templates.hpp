// Template answers: a new question answered offline by refilling the statement
// of an earlier question (or of an example query) worded the same way once
// the literals are taken out.
//
// "relationships with lag greater than 44 days" answered by
//   SELECT * FROM activity_relationships WHERE lag_days > 44
// answers "links with more than 10 days of lag" with the same statement and
// 10 in place of 44. The two questions must use the same content words (up
// to stems and a few general synonyms) and the same comparisons, and their
// literals must pair up kind by kind; each literal of the earlier question
// must then be found in the statement where it can be replaced. Anything
// doubtful refuses: the statement is only ever changed in its literals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvalt::templates {

enum class LiteralKind : std::uint8_t {
  kNumber,  // 10, 2.5, 1,000, -3
  kDate,    // 2024-05-17, 2024-05, May 2024, May 17, 2024, in 2024, Q3 2024
  kQuoted,  // 'Pour deck' or "Pour deck"
  kCode,    // HBR-2200, RMC-A1040, A1010, and short upper-case codes: HBR, FS
  kValue,   // a stored value the caller's value linking found
};
std::string_view literal_kind_name(LiteralKind kind) noexcept;

struct Literal {
  LiteralKind kind = LiteralKind::kNumber;
  std::string text;                  // as the question writes it, quotes included
  std::size_t begin = 0, end = 0;    // byte offsets in the question
  // What it means: a number as plain decimal text ("1000", "-3", "2.5");
  // a date as ISO text of its precision ("2024" a year, "2024-Q3" a quarter,
  // "2024-05" a month, "2024-05-17" a day); a quoted text without its
  // quotes; a code as written; a stored value as stored.
  std::string value;
  // A stored value's table and column, when the caller's value linking said.
  std::string table, column;
};

// A stored value the question names, as value linking found it
// (corvalt/values.hpp: ValueIndex::match gives the phrase's byte offsets
// [begin, end) and the stored value).
struct NamedValue {
  std::size_t begin = 0, end = 0;
  std::string stored;
  // Where it is stored, when known: a statement that compares another
  // column of the same table with the old value is refilled to compare this
  // one ("project 'RMC'" for "the Harbor Bridge project": project_code =
  // 'RMC' becomes project_name = 'Harbor Bridge Rehabilitation'), and one
  // that compares a column of another table is not refilled.
  std::string table, column;
  // The value the question's words read, where `stored` is the one of its
  // row that the statement compares instead ('Fechenheim Hall 4' for 'FH4').
  std::string read;
  // Read from words that name it only loosely ("array cable" of 'Inter-Array
  // Cables 66 kV'): refill and best_refill take it as a literal only where
  // the other question names a value of the same table in its place (the
  // new question: that very value), and no other reading of those words
  // overlaps it; otherwise its words stay words.
  bool weak = false;
  // The project whose name holds words another reading names outright
  // ("the energy centre": the place 'Energy centre', and the project 'Energy
  // Centre and Heat Network'): the new question's reading of those words
  // only where the earlier question names a value of this table, and then
  // in place of the other.
  bool alternative = false;
};

// The question's literals in order. A named value wins over any other
// literal overlapping it; spans outside the question are ignored.
std::vector<Literal> find_literals(std::string_view question, const std::vector<NamedValue>& values = {});

// An earlier question and its statement, or an example query with its
// description as the question; `values` are the stored values the question names.
struct Source {
  std::string question;
  std::string sql;
  std::vector<NamedValue> values;
  // An example's description rather than a question: with Wording::meaningful,
  // up to two of its words that name nothing in the schema ("upcoming",
  // "scheduled", "recorded") may be missing from the new question.
  bool description = false;
};

struct Fit {
  std::string sql;
  double similarity = 0;  // Jaccard of the two questions' words, in [0.8, 1]
  // Literal texts of the statement replaced, old -> new, as they are written
  // inside it (without quotes), in the order they first occur; a condition
  // taken out as its whole text -> "".
  std::vector<std::pair<std::string, std::string>> replaced;
};

// How two questions' words are compared. The trade's synonyms
// (linking::thesaurus()) fold together; with `names_word`, which tells
// whether the schema's table and column names use a lower-cased word, a
// word the schema names keeps its own meaning, and the others of its group
// fold into the group's word the schema names. With `known_word`, which
// tells whether the schema uses a word anywhere, a word of the new question
// it does not use may be a misspelling: one edit from a request word ("wich")
// it is left out, and of five letters or more it counts as the one word of
// the earlier question it is close to ("critcal", "negatve").
struct Wording {
  std::function<bool(std::string_view)> names_word;
  std::function<bool(std::string_view)> known_word;
  // Whether a lower-cased word names something of the schema: a table's or
  // column's name, or a stored value.
  std::function<bool(std::string_view)> meaningful;
  // The words of a table's name as read, abbreviations written out
  // ("activity", "relationship" of tblActRel).
  std::function<std::vector<std::string>(std::string_view)> table_words;
  // The word of the schema's names that the document gives a lower-cased
  // word as another word for ("development" for "scheme"), or empty.
  std::function<std::string(std::string_view)> same_as;
  // Whether a table is the schema's table of projects.
  std::function<bool(std::string_view)> projects_table;
};

// An example query's description written as a question with the literals
// its statement holds: the placeholders that stand for them ("one project",
// "a given resource", "a date", "a cut-off date", "in a given month", "in a
// given year") are replaced by the statement's values in the order the
// statement writes them, after any explanation in parentheses is dropped:
//   "Critical activities of one project" with ... WHERE p.code = 'NDC' ...
//   -> "Critical activities of project 'NDC'".
// A text placeholder takes a string of the statement the description does
// not spell itself; "a month" and "a year" take a range of two dates that
// covers exactly that period, "a date" one date. Nullopt when there is no
// placeholder or the statement's literals do not account for them exactly.
std::optional<std::string> example_question(std::string_view description, std::string_view sql);

// Least similarity of the two questions' words.
inline constexpr double kMinSimilarity = 0.8;

// The source's statement refilled with the new question's literals, or
// nullopt when the wording does not match closely once literals are removed,
// when the comparisons, negations, counting ("how many", "number of") or
// words of order and count ("top", "last", "ten") differ, when the literals do not pair up
// one to one (numbers with numbers, dates of one precision with dates of the
// same precision, and texts - quoted, codes and stored values - with texts),
// or when a changed literal of the source cannot be found in exactly the
// places of the statement where it can be replaced. A day of the source may
// take a month, quarter or year of the new question where the statement
// compares it one way: ">=" and "<" take the period's first day, ">" and
// "<=" its last ("notes since 2024-06-01" answers "notes since March 2025").
// A name (a quoted text, a code or a stored value) of the source that the new
// question, naming none, leaves out goes with the condition that holds it
// when that is `column = 'name'` or LIKE joined by AND or alone in its WHERE
// ("critical activities of project RMC" answers "critical activities").
// Words the source asks to be shown along ("with contract and forecast
// completion") that name only columns its statement shows, of the tables it
// reads its rows from, may be missing from the new question, which then gets
// those columns too; so may an order said as one ("largest variance first")
// where the statement orders its rows without limiting them. A look-ahead
// of another length ("the next 2 weeks" for "the next 4 weeks") moves the
// end of a window the statement writes as two days that far apart.
std::optional<Fit> refill(const Source& source, std::string_view question,
                          const std::vector<NamedValue>& values = {}, const Wording& wording = {});

// The best fitting source: the most similar wording that refills, then the
// earliest; its index and fit, or nullopt.
std::optional<std::pair<std::size_t, Fit>> best_refill(const std::vector<Source>& sources,
                                                       std::string_view question,
                                                       const std::vector<NamedValue>& values = {},
                                                       const Wording& wording = {});

// A text a statement compares a column with by = or IN, where the column's
// table is known: `p.project_code = 'RMC'` in `... FROM projects p ...` is
// {"projects", "project_code", "RMC"} (table and column lower-cased). With
// `unequal`, texts compared by <> or != too. A statement that cannot be
// read gives none.
struct ComparedText {
  std::string table, column, value;
};
std::vector<ComparedText> compared_texts(std::string_view sql, bool unequal = false);

}  // namespace corvalt::templates
