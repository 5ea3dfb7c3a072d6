// The question history service: earlier questions with their SQL, loaded from
// a JSON file, and the search for a strong match to a new question.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "corvalt/console.hpp"
#include "corvalt/graph.hpp"
#include "corvalt/json.hpp"
#include "corvalt/value.hpp"

namespace corvalt::echovane {

// Every console line of this service starts with this.
inline constexpr std::string_view kPrefix = "[Echovane] ";
// Overlap scores must be strictly above this to count as a strong match.
inline constexpr double kStrongMatch = 0.7;

class MatchIndex;  // lower-cased texts and word postings (match_index.cpp)

// One loaded history. Never changed once built, so a reload can build the
// next one completely and swap it in with a single assignment. A history
// read from a file keeps the parsed document in its compact form and makes
// Values of an entry only when asked: most of a large history is never
// looked at as Values, and a compact document is quick to free.
class History {
 public:
  // The `enriched_queries` list as loaded (made on first use, once).
  const Value& queries() const;
  // Reports that list to `visitor` without making Values of it (an empty
  // list when the document has none).
  void walk_queries(json::Visitor& visitor) const;
  std::size_t size() const noexcept { return entries_.size(); }
  // Entry i's value under `key`, or null when it has none.
  bool entry_value(std::size_t i, std::string_view key, Value& out) const;

  // Node "query:{i}" per entry, made on first use (once): the search reads
  // the index, so only a host that looks at the graph pays for it.
  std::shared_ptr<const Graph> graph() const;
  std::shared_ptr<const MatchIndex> index;

 private:
  friend std::shared_ptr<const History> build_history(const Value& document,
                                                      std::string_view filename);
  friend std::shared_ptr<const History> build_history(std::shared_ptr<const json::Document> document,
                                                      std::string_view filename);
  friend class HistoryBuilder;

  std::shared_ptr<const json::Document> document_;  // what the nodes read, or null
  Value source_;                                    // or the Values they read
  bool has_list_ = false;
  json::Document::Node list_;  // `enriched_queries`, when has_list_
  std::vector<json::Document::Node> entries_;
  mutable std::once_flag queries_made_;
  mutable Value queries_;
  mutable std::once_flag graph_made_;
  mutable std::shared_ptr<const Graph> graph_;
};

class EchovaneService {
 public:
  explicit EchovaneService(Console console = Console());

  bool verbose = false;

  // The entry list, or null before anything was loaded.
  const Value& queries() const noexcept;
  // The history graph, or null before anything was loaded.
  std::shared_ptr<const Graph> graph() const;
  const std::shared_ptr<const History>& history() const noexcept { return history_; }

  // Reads the history file and replaces the loaded history. Throws
  // FileNotFoundError when nothing exists at `filename`, the JSON reader's
  // errors for an unreadable file, and TypeError for a document of the wrong
  // shape; in every failure the earlier history stays as it was.
  void load_history(const std::string& filename);
  // The same from a parsed document; `filename` only appears in messages.
  void load_document(const Value& document, std::string_view filename);

  // The strong-match record of the earlier question that matches `question`
  // (exactly, by a variation, or by word overlap above kStrongMatch), or null.
  RecordPtr find_strong_match(std::string_view question) const;

  // The score of the strong match find_strong_match() would return: 1.0 for
  // an exact text or variation, else the word-overlap share; null when there
  // is none. Prints nothing.
  std::optional<double> match_score(std::string_view question) const;

  // The strong-match record of entry `index`, or null when out of range.
  RecordPtr get_query_details(std::int64_t index) const;

 private:
  struct Match {
    std::int64_t index = -1;  // -1: no strong match
    double score = 0.0;
  };
  // The search behind both: the earliest exact text, else the best overlap
  // above kStrongMatch. Prints its steps when `speak`.
  Match best_match(std::string_view question, bool speak) const;

  // Prints the load report (when verbose) and replaces the loaded history.
  void install(std::shared_ptr<const History> next, std::string_view filename);

  Console console_;
  std::shared_ptr<const History> history_;
};

// Builds a history from a parsed document without printing anything.
// Throws TypeError when the document has the wrong shape.
std::shared_ptr<const History> build_history(const Value& document, std::string_view filename);
std::shared_ptr<const History> build_history(std::shared_ptr<const json::Document> document,
                                             std::string_view filename);

// Share of the distinct words of `question` (already lower-cased and
// trimmed) that also occur among the words of `text` (likewise): shared
// words over question words, at least 1. Words are the pieces between runs
// of white space, punctuation attached. The index computes the same score
// for all stored texts at once; this one-off form is the reference for it.
double overlap_score(std::string_view question, std::string_view text);

}  // namespace corvalt::echovane
