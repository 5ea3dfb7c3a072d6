// Value linking: the values stored in a database's text columns, indexed
// once, and the question phrases that name them.
//
// A planner names data by its values more often than by the schema's words:
// "the harbour bridge job" means the project named 'Harbor Bridge
// Rehabilitation', "in-progress" the status 'In Progress', "HBR-2200" an
// activity code. The index keeps, per text column, a bounded set of its
// distinct values (short values only: long free text and ever-unique
// identifiers say little; columns of dates are left out), and matches the
// question's phrases (runs of words within a clause) and its code-like
// tokens against them: exactly, ignoring case, accents and punctuation, and
// within a small edit distance per word for misspellings, or as a word of
// five letters or more that begins it or that it begins ("scaffolders" for
// 'Scaffold Team').
//
// Values come from the database (read once, read-only) or from the
// metadata document's column statistics (`top_values`), whichever the host
// gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvalt::values {

// A column of the schema whose values may be indexed.
struct ColumnRef {
  std::string table;
  std::string column;
  std::string data_type;  // as the metadata document states it; may be empty
  // Two or more other tables refer to the column's table: its values name
  // the things the schema is about (projects, activities), and one rare
  // word of them is enough to tell which.
  bool referenced = false;
};

struct Options {
  // Distinct values kept per column, the most frequent first.
  std::size_t max_values_per_column = 2000;
  // Values longer than this (in code points) are free text: not kept.
  std::size_t max_value_length = 64;
  // A column with at most this many distinct values is "listed": all its
  // values are shown to the AI beside the column.
  std::size_t listed_cardinality = 50;
};

// How a phrase matched a value.
enum class Fit : std::uint8_t {
  kExact,    // the same words, ignoring case and punctuation ("in-progress" ~ 'In Progress')
  kFuzzy,    // the same number of words, each within a small edit distance
  kPartial,  // the phrase matches a run of the value's words, exactly or fuzzily
  // A code that begins many values of a column ("NDC" of 'NDC-A1010',
  // 'NDC-A1020', ...): the match's value is the LIKE pattern 'NDC-%'; or a
  // word many of them begin or end with ('Install WTG%', '%Watertight').
  kPrefix,
};

struct Match {
  std::uint32_t column = 0;  // index into columns()
  std::string value;         // as stored (for kPrefix, a LIKE pattern)
  std::string phrase;        // the question's words that matched, as written
  Fit fit = Fit::kExact;
  // In [0, 1]: how sure the match is (exact and whole beats fuzzy and partial,
  // rare words beat common ones); matches below a floor are not returned.
  double score = 0;
  // The phrase's place in the question: byte offsets [begin, end).
  std::size_t begin = 0, end = 0;
  // The phrase is what a description says the code stands for (add_meanings).
  bool meaning = false;
  // One word read as another form of a trade's word ("electricians" for
  // 'Electrical', "sparkies" too): no misspelling, though the schema uses it.
  bool variant = false;
};

class ValueIndex {
 public:
  ValueIndex();
  ~ValueIndex();
  ValueIndex(ValueIndex&&) noexcept;
  ValueIndex& operator=(ValueIndex&&) noexcept;

  // Reads the distinct values of the text columns among `columns` (declared
  // type empty or text-like, and text values in the data) from the SQLite
  // database file at `path`, opened read-only. Tables or columns the
  // database lacks are skipped. Throws DatabaseError (errors.hpp) when the
  // file cannot be opened as a database.
  static ValueIndex from_database(const std::string& path, const std::vector<ColumnRef>& columns,
                                  const Options& options = Options());

  // Adds values of one column (for example a document's `top_values`),
  // most frequent first; duplicates and over-long values are skipped, and
  // the column is left out as from_database leaves it out (a type that is
  // not text-like, mostly dates or long text). Adding to a column already
  // held merges the values. A column known only from such a list is not
  // listed(): a list of the most frequent values does not say there are no
  // others.
  void add_values(const ColumnRef& column, const std::vector<std::string>& values,
                  const Options& options = Options());
  // The same for every distinct value a column holds (read from a database
  // some other way than from_database): a column with few of them is listed().
  void add_all_values(const ColumnRef& column, const std::vector<std::string>& values,
                      const Options& options = Options());

  // Reads what the column's short codes stand for from texts documenting
  // them (its description, its rules): a stored code followed by words in
  // parentheses or after "=" ("NS (not started), IP (in progress)") is then
  // also named by those words ("in progress" names 'IP').
  void add_meanings(std::string_view table, std::string_view column, const std::vector<std::string>& texts);

  // The columns that have values, in the order they were first given.
  const std::vector<ColumnRef>& columns() const noexcept;
  // The distinct values kept for column i, most frequent first.
  const std::vector<std::string>& values(std::uint32_t column) const;
  // Whether column i has at most listed_cardinality distinct values in all
  // (so values(i) is all of them).
  bool listed(std::uint32_t column) const;
  // The column's index (names compared ignoring ASCII case), or -1.
  std::int64_t find(std::string_view table, std::string_view column) const;

  // The stored values the question's phrases name, best first: for each
  // stretch of the question at most one value per column, and of
  // overlapping matches in different columns only those near the best.
  std::vector<Match> match(std::string_view question) const;

  // Whether a stored value holds the lower-cased word as it is written.
  bool holds_word(std::string_view word) const;

  // Approximate bytes held.
  std::size_t memory_bytes() const noexcept;
  std::size_t value_count() const noexcept;

  struct Impl;

 private:
  // `all`: the values are every one the column holds.
  void add_listed(const ColumnRef& column, const std::vector<std::string>& values, const Options& options,
                  bool all);
  std::unique_ptr<Impl> impl_;
};

std::string_view fit_name(Fit fit) noexcept;

}  // namespace corvalt::values
