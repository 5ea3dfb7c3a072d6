// The linking index: which words each table of a knowledge graph holds, and
// where. Built once per graph (linking_index.cpp); read when a question is
// linked (linking.cpp).
//
// Evidence. For a word w (a stem) and a table T, e(w, T) in [0, 1] combines
// the places where T holds w: the best weight within each kind of place
// (Source), then a noisy-or across kinds, so that a word found in several
// kinds of place counts more, but never more than 1. Pairs of words that
// stand side by side in a text ("critical path") are terms of their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "corvalt/graph.hpp"
#include "corvalt/linking.hpp"

namespace corvalt::linking {

namespace detail {

using TermId = std::uint32_t;
inline constexpr TermId kNoTerm = ~TermId{0};

// The kinds of place where a table holds a word.
enum Source : std::uint8_t {
  kTableName,
  kTableDescription,
  kColumnName,
  kColumnDescription,
  kTag,      // a keyword tag of the table, of a column or of a concept
  kConcept,  // a business concept a column implements
  kTerm,     // a term the table or one of its columns uses
  kExample,  // an example query that uses the table
  kRule,     // a business rule governing a column
  kSourceCount,
};

// A word of a table's name counts kNamedWord when the question names the
// whole table, kNameWord otherwise.
inline constexpr float kNamedWord = 1.0f;
inline constexpr float kNameWord = 0.6f;

// A lookup table has at most this many columns: a key, a name and a few words on each kind.
inline constexpr std::size_t kLookupColumns = 6;

inline float noisy_or(float a, float b) { return 1.0f - (1.0f - a) * (1.0f - b); }

// A word (or pair) found in a place, with the weight of that place.
struct Entry {
  TermId term;
  Source source;
  float weight;
};

// Two words in either order.
inline std::uint64_t pair_key(TermId a, TermId b) {
  if (a > b) std::swap(a, b);
  return (static_cast<std::uint64_t>(a) << 32) | b;
}

// The stems of a name, sorted, as one key: names match whatever the order of
// their words.
std::string name_key(std::vector<std::string> stems);

// Identifiers of an SQL text (qualified ones split at the dot), lower-cased.
std::vector<std::string> sql_identifiers(std::string_view sql);

std::vector<char32_t> code_points(std::string_view s);

}  // namespace detail

struct Index::Impl {
  using TermId = detail::TermId;
  using Weighted = std::vector<std::pair<TermId, float>>;  // sorted by term

  struct Posting {
    std::uint32_t table;
    float other;   // evidence from everything but the table's name
    bool in_name;  // a word of the table's name
  };
  struct Table {
    Graph::Index node;
    std::string name;
    std::vector<std::uint32_t> columns;
    // The stem of its name's last word, the noun the name is about
    // ("assign" of "resource_assignments"); empty for a name of no words.
    std::string head = {};
    // The words of its name as read: without the prefix or suffix most names
    // share, abbreviations written out ("activity", "relationship" of tblActRel).
    std::vector<std::string> words = {};
    bool people = false;  // its rows are people: technicians, employees, staff
    bool crews = false;   // its rows are the workforce in groups or as resources: crews, gangs, teams
    bool assignments = false;  // its rows give work to someone: assignments, allocations, bookings
    bool projects = false;  // its rows are the projects (jobs, schemes) the others belong to
    bool places = false;    // its rows are where work is done: plots, positions, areas, zones, blocks
    bool lookup = false;    // its rows are the kinds others are of: statuses, types, categories, levels
  };
  // A name the question may spell: a table's, or a column's of two words or
  // more (all the columns of that name, in whichever tables hold them).
  struct Name {
    std::vector<Word> words;
    std::vector<std::uint32_t> tables;
    bool of_table;
  };
  // A column's evidence is combined only when its table is chosen
  // (column_terms()); until then it is kept as the places it comes from.
  struct Column {
    Graph::Index node;
    std::uint32_t table;
    std::vector<detail::Entry> entries;  // its own texts and tags
    std::vector<std::uint32_t> terms, concepts, rules;  // the terms defining it; its concepts, rules
    bool key = false;          // named in a join condition, or its table's own identifier
    bool own_key = false;      // its table's own identifier ("id", "project_id" of projects)
    bool identifying = false;  // names a row for a reader: a code, name or title
    bool person = false;       // holds a person: a manager, an owner, who raised it
    bool current_date = false;  // the row's start or finish as now planned, not a baseline's or actual one
  };
  // A term of the terminology: its node and the stems of its own words.
  struct Term {
    Graph::Index node;
    std::vector<TermId> stems;
  };
  struct Concept {
    Graph::Index node;
    Weighted terms;
  };
  struct Rule {
    Graph::Index node;
    std::vector<TermId> terms;  // sorted, unique
  };
  struct Example {
    Graph::Index node;
    std::vector<TermId> terms;  // words of the description, sorted, unique
    std::vector<std::uint32_t> tables;
  };
  struct Spelling {  // a schema word as written, for misspellings
    std::u32string code_points;
    std::string text;
    TermId term;
  };
  struct Join {
    std::uint32_t table;
    bool up;    // this table points to `table` (a relationship from this one to it)
    bool down;  // `table` points to this one
  };

  Impl(const Graph& graph, const Index::RelatedTerms& related);

  // Terms: stems, and pairs of stems that stand side by side in a text.
  std::unordered_map<std::string, TermId> term_ids;  // stem -> term
  std::unordered_map<std::uint64_t, TermId> pair_ids;
  std::vector<std::string> term_texts;  // a stem, or two stems with a space between
  std::vector<bool> is_pair;
  std::unordered_map<std::string, TermId> surface;  // a schema word as written -> its stem
  std::vector<std::vector<Spelling>> by_length;      // spellings by code points
  std::vector<std::vector<Posting>> postings;        // per term, by table
  // BM25's inverse document frequency over the tables, scaled so that a term
  // held by one table only has 1.
  std::vector<float> idf;

  std::vector<Table> tables;
  std::vector<Column> columns;
  std::vector<Concept> concepts;
  std::vector<Rule> rules;
  std::vector<std::vector<detail::Entry>> rule_entries, term_entries;
  std::vector<Term> terms;  // parallel to term_entries
  std::vector<Example> examples;
  std::vector<Name> names;
  std::unordered_map<std::string, std::vector<std::uint32_t>> name_keys;  // -> names
  std::size_t longest_key = 0;
  std::unordered_map<std::string, std::uint32_t> table_by_name;  // lower-cased
  // "table\ncolumn", lower-cased, of each column that names its table's
  // rows, and of each that holds a person (Column::person).
  std::unordered_set<std::string> naming_columns, person_columns;
  std::unordered_set<std::string> name_words;  // the words of table and column names, as written
  // A stem the document gives as another word for a word of a table's name
  // (the keywords "site" and "scheme" of a developments table) -> that word.
  std::unordered_map<std::string, std::string> synonyms;
  std::unordered_set<TermId> table_terms;      // the terms of table names and descriptions
  std::vector<std::vector<Join>> joins;

  TermId intern(const std::string& stem);
  TermId intern_pair(TermId a, TermId b);
  // The pair term of two terms, or kNoTerm when no text holds them side by side.
  TermId find_pair(TermId a, TermId b) const;
  // A question word's term, the spelling it was read as (a misspelt word as
  // the schema word nearest to it) and its edit distance; kNoTerm if none.
  TermId lookup(const Word& word, std::string& spelling, unsigned& distance) const;
  // T's posting of a term, or null.
  const Posting* posting(TermId term, std::uint32_t table) const;
  // A column's evidence per term, sorted by term.
  Weighted column_terms(std::uint32_t column) const;
};

}  // namespace corvalt::linking
