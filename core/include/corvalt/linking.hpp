// Lexical schema linking: from a question to the tables that answer it.
//
// The question is split into words without punctuation, filler words are
// dropped and the rest reduced to their stems (Snowball's English stemmer);
// identifiers of the schema are split at underscores and case changes and
// treated the same way. Every table is scored by the words and word pairs it
// shares with the question, weighted by how rare each word is among the
// tables (an IDF weight) and by where the table holds it: its own name and
// description, its columns' names and descriptions, the keyword tags, business
// concepts, terms, rules and example queries that lead to it. Tables the
// question names in full are always kept, the others when they score near
// the best one; the tables needed to join the chosen ones along the
// document's relationships are then added.
//
// Nothing here knows any particular schema: all it reads is a knowledge
// graph built from a metadata document.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "corvalt/graph.hpp"

namespace corvalt::linking {

// How AtlanorService chooses the tables of a context record: by the default
// keyword search ("keyword"), or by lexical linking ("lexical").
enum class Mode : std::uint8_t { kKeyword, kLexical };
inline constexpr std::string_view kModeNames[] = {"keyword", "lexical"};
std::optional<Mode> parse_mode(std::string_view name) noexcept;
std::string_view mode_name(Mode mode) noexcept;
// The mode `name` names, else a ValueError naming the modes there are:
// "linking must be one of 'keyword', 'lexical', not 'Lexical'".
Mode mode_named(std::string_view name);

// ---- words ------------------------------------------------------------------

// The lower-cased words of a text: runs of letters and digits, split further
// at underscores, at case changes ("totalFloat", "HTTPServer" -> "http",
// "server") and between letters and digits. A possessive "'s" is dropped and
// an apostrophe inside a word joins its parts ("don't" -> "dont").
std::vector<std::string> split_words(std::string_view text);

// A general English stop word (articles, pronouns, auxiliaries, prepositions,
// conjunctions) or a word that only phrases a request ("show", "list").
// Takes a lower-cased word.
bool is_stop_word(std::string_view word);
// Whether a lower-cased word, or its plural, is one of the usual names of
// what a schedule's rows belong to: "project", "job", "programme",
// "program", "scheme".
bool is_project_word(std::string_view word);

// Whether a question refers back to the answer before it ("which of those
// are critical?", "sort them by finish", "only the fitters' jobs"): it says
// those, these, them, they, their, it, its, same, such or ones, or opens
// with a word that narrows or widens it (only, just, and, also, but, now,
// plus, excluding, except, without, same; "what about", "how about").
bool refers_back(std::string_view question);

// The Snowball English stem of a lower-cased word ("activities" -> "activ").
std::string stem(std::string_view word);

// The word a planner's shorthand stands for ("hrs" -> "hours", "crit" ->
// "critical", "acts" -> "activities"), else the lower-cased word itself.
std::string_view shorthand_for(std::string_view word);

// Words planners use for one thing in scheduling ("activity", "task",
// "step"), each group padded with empty entries. The trade's general
// vocabulary, not any one schema's names; an entry may be a phrase.
using Synonyms = std::array<std::string_view, 6>;
std::span<const Synonyms> thesaurus() noexcept;

// A word as linking compares it.
struct Word {
  std::string text;     // lower-cased, as written
  std::string stem;
  bool joined = false;    // follows the previous content word in the same clause
  bool adjacent = false;  // joined, with no stop word or number between them
};

// The words of a text that can name data: split_words without stop words,
// numbers and one-letter words, each with its stem. A clause break (one of
// . , ; : ! ? ( ) [ ] { } " or a line break) separates the words around it.
// With `stems` false the stems are left empty (for a caller that looks most
// words up in a table of its own and stems only the new ones).
std::vector<Word> content_words(std::string_view text, bool stems = true);

// Identifiers. The word an abbreviation of an identifier stands for, or an
// empty text: "act" -> "activity", "cd" -> "code", "rsrc" -> "resource".
// Only a short word (abbreviation_shaped) is read as one; the caller leaves
// out the words the document's prose uses itself. `context` holds
// the words of the texts that describe the identifier, nearest first: a
// word there that the abbreviation begins ("actual" for "act" in a column
// described "Actual start") wins; then the general abbreviations of
// schedule databases; then a word of `context` with the abbreviation's
// letters in order and the same first letter ("mgmt" -> "management").
std::string expand_abbreviation(std::string_view word, const std::vector<std::string>& context);
// Whether a lower-cased word may be an abbreviation: 2 to 4 ASCII letters,
// or 5 with at most one vowel ("cnstr").
bool abbreviation_shaped(std::string_view word);

// The first word that most table names share as a prefix ("tbl" of
// "tblProject", "tblActivity", ...), or an empty text: a word that begins at
// least three names of two words or more and at least 60 % of all names.
std::string table_name_prefix(const std::vector<std::vector<std::string>>& table_name_words);

// Optimal string alignment distance of two texts in code points (insertions,
// deletions, substitutions and swaps of neighbours); limit + 1 once it is
// known to exceed `limit`.
unsigned edit_distance(std::string_view a, std::string_view b, unsigned limit);
unsigned edit_distance(std::u32string_view a, std::u32string_view b, unsigned limit);

// ---- linking ------------------------------------------------------------------

struct Query {
  std::string_view question;
  // Further words to match like the question's own: the AI's keywords.
  std::vector<std::string> keywords;
  // An earlier statement of the conversation: its tables carry over to a
  // question that refers back to them ("which of those ...").
  std::string_view previous_sql;
  // Tables that hold a stored value the question names (value linking),
  // by name as the schema writes it: each is kept like a named table.
  std::vector<std::string> value_tables;
  // Tables of which one holds what a word of the question names, read as
  // well in each ("crane": an equipment unit, or a hazard's text): the one
  // that joins a table chosen otherwise is kept, when only one does.
  std::vector<std::vector<std::string>> value_table_choices;
  // Tables that store the same value the question names ('Procurement' as a
  // WBS element and as a phase code): once one of them is chosen, all are.
  std::vector<std::vector<std::string>> value_table_groups;
};

// How well the best table matched: not at all, weakly (only common words or
// weak evidence), or strongly (a table named, or a rare word in a strong place).
enum class Strength : std::uint8_t { kNone, kWeak, kStrong };
std::string_view strength_name(Strength strength) noexcept;

// Why a table was chosen.
enum class Reason : std::uint8_t {
  kNamed,    // the question names it in full
  kScored,   // it scores near the best table
  kContext,  // the previous statement used it and the question refers back
  kJoin,     // it joins two chosen tables
  kValue,    // it stores a value the question names
};
std::string_view reason_name(Reason reason) noexcept;

struct LinkedTable {
  Graph::Index node;
  double score = 0;
  Reason reason = Reason::kScored;
  // The question's words and word pairs that matched the table, as written.
  std::vector<std::string> matched;
};

struct Result {
  Strength strength = Strength::kNone;
  // The content words matched against the schema (question, then keywords),
  // and those of them that no word of the schema matches.
  std::vector<std::string> words;
  std::vector<std::string> unmatched;
  // The chosen tables: named, scored and context tables best first, then the
  // tables added for joins in the order they were added.
  std::vector<LinkedTable> tables;
  // The schema's table of projects, when chosen tables belong to it and it is
  // none of them: shown with its names, for the project each row is of.
  std::optional<Graph::Index> project_table;
  // The schema's one table of places (plots, positions, areas), when chosen
  // tables point to it and it is none of them: shown with its names, for
  // where each row is.
  std::optional<Graph::Index> place_table;
  // The schedule's table of activities, when chosen tables point to it and
  // it is none of them: shown with its names, for the activity each row is of.
  std::optional<Graph::Index> activity_table;
  // The schema's one table of crews or resources, when a chosen table of
  // assignments books them and it is none of the tables shown: shown with its names.
  std::optional<Graph::Index> crew_table;
  // The lookup tables (statuses, types, levels) that chosen tables point
  // to, none of them chosen: shown whole, for what each row's kind is called.
  std::vector<Graph::Index> lookup_tables;
  // Columns of the chosen tables that match the question, best first; the
  // business concepts they implement and the rules governing them.
  std::vector<Graph::Index> columns;
  // The columns to show for the chosen tables, table by table: keys and
  // join columns first, then the columns that identify a row (codes,
  // names), those that match the question, and the rest in document order.
  // Past a budget the rest of a wide table is cut, first in the tables
  // added only for joins.
  std::vector<Graph::Index> listed_columns;
  // The terms of the document's terminology that the question uses.
  std::vector<Graph::Index> terms;
  std::vector<Graph::Index> concepts;
  std::vector<Graph::Index> rules;
  // The example query whose description matches the question best among
  // those that use only chosen tables, if one matches well enough.
  std::optional<Graph::Index> example;
  // The example queries most similar to the question, best first (at most
  // three; `example` is the first of them when it is set).
  std::vector<Graph::Index> examples;
};

// What linking prepares from one knowledge graph. The graph never changes once
// built, so an index stays valid for the graph's lifetime; it keeps node
// indexes of that graph, not references to it.
class Index {
 public:
  // Other words for a node, by node id (a document's `related_terms`):
  // each counts as a keyword tag of that table, column or concept.
  using RelatedTerms = std::vector<std::pair<std::string, std::vector<std::string>>>;

  explicit Index(const Graph& graph, const RelatedTerms& related = {});
  ~Index();
  Index(const Index&) = delete;
  Index& operator=(const Index&) = delete;

  Result link(const Query& query) const;
  // Whether a table's or column's name uses a lower-cased word, or its
  // plural or singular.
  bool is_name_word(std::string_view word) const;
  // Whether the schema uses a lower-cased word (as written or by its stem).
  bool is_schema_word(std::string_view word) const;
  // Whether a table's name or description uses it: what the schema says its
  // tables hold, beside words that merely explain a column's codes.
  bool is_table_word(std::string_view word) const;
  // Whether a column names its table's rows for a reader (a code, name or
  // title), by the table's and column's names in any case.
  bool names_rows(std::string_view table, std::string_view column) const;
  // Whether a column holds a person of its row: a manager, an owner, an
  // author, who raised it.
  bool holds_person(std::string_view table, std::string_view column) const;
  // The words of a table's name as the index reads it ("activity",
  // "relationship" of tblActRel), by the name in any case; none for a name
  // it does not know.
  std::vector<std::string> table_words(std::string_view table) const;
  // Whether a table (by its name in any case) holds the projects the
  // schedule's rows belong to.
  bool is_projects_table(std::string_view table) const;
  // The word of a table's name that the document's keywords give a
  // lower-cased word as another word for ("development" for "site" where
  // "site", "scheme" and "development" tag a developments table and nothing
  // else); empty when they give none.
  std::string synonym_of(std::string_view word) const;

  std::size_t table_count() const noexcept;
  std::size_t term_count() const noexcept;

  struct Impl;  // what is prepared (core/src/atlanor/linking_index.hpp)

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace corvalt::linking
