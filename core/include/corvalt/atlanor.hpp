// The schema knowledge service: metadata document, knowledge graph, keyword
// search, context record, Markdown, query processing and SQL assembly.
#pragma once

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "corvalt/console.hpp"
#include "corvalt/graph.hpp"
#include "corvalt/host.hpp"
#include "corvalt/linking.hpp"
#include "corvalt/value.hpp"

namespace corvalt::json {
class Document;
}

namespace corvalt::atlanor {

namespace detail {
struct StoredValues;
}

inline constexpr const char* kGraphNotBuilt = "Graph not built. Call build_graph first.";
inline constexpr const char* kNoMetadata =
    "No metadata provided. Call load_metadata first or provide metadata.";

class SearchIndex;  // per-graph texts prepared for keyword search (search.cpp)

// One graph together with what the search prepares from it. The graph never
// changes once built, so the prepared texts stay valid for its lifetime.
class KnowledgeGraph {
 public:
  // Wraps a finished graph. Its search texts are prepared on a second thread,
  // so that building returns while they are lower-cased and tokenised; the
  // first search waits for them if they are not ready yet.
  static std::shared_ptr<KnowledgeGraph> from(std::shared_ptr<const Graph> graph);

  std::shared_ptr<const Graph> graph;
  // Other words the document gives for a table, column or business concept
  // (its optional `related_terms`), by node id: lexical linking reads them
  // as that node's tags.
  std::vector<std::pair<std::string, std::vector<std::string>>> related_terms;
  // Waits for the prepared texts (rethrowing what preparing them raised).
  const SearchIndex& search_index() const { return *index_.get(); }
  // What lexical linking prepares, built on first use (linked_context.cpp).
  const linking::Index& link_index() const;

 private:
  std::shared_future<std::shared_ptr<const SearchIndex>> index_;
  mutable std::once_flag link_once_;
  mutable std::shared_ptr<const linking::Index> link_index_;
};
using KnowledgeGraphPtr = std::shared_ptr<KnowledgeGraph>;

// search_by_keywords(): ranked nodes (best first, ties in node order) and the
// match map (node -> reasons, in graph node order).
struct SearchResult {
  std::vector<Graph::Index> ranked;
  std::vector<std::pair<Graph::Index, std::vector<std::string>>> matches;
};

// The same result with each distinct reason text given once: `matched` lists
// the nodes of the match map in node order; the reasons of matched[i] are
// reason_texts[reasons[k]] for k in [reason_begin[i], reason_begin[i + 1]).
struct CompactSearchResult {
  std::vector<Graph::Index> ranked;
  std::vector<Graph::Index> matched;
  std::vector<std::uint32_t> reason_begin;  // one more than matched
  std::vector<std::uint32_t> reasons;
  std::vector<std::string> reason_texts;
};

// get_related_rules(): (rule node, its description)
using RelatedRule = std::pair<Graph::Index, Value>;

// Optional inputs of context assembly when the host passes chat history.
struct ChatInput {
  const ChatHistory* history = nullptr;  // null: no history given
  std::optional<std::string> previous_sql;
};

class AtlanorService {
 public:
  explicit AtlanorService(Console console = Console());

  // ---- state -------------------------------------------------------------
  bool verbose = false;
  // How query processing chooses the tables: by the keyword search, or by
  // lexical linking (linking.hpp).
  linking::Mode linking_mode = linking::Mode::kKeyword;
  // The SQLite database the document describes, whose stored values lexical
  // linking matches against the question; empty when the host gave none.
  // The schema service reads it only in the lexical mode, once per graph.
  std::string database;
  // The AI service and the host's Models types; null when absent.
  std::shared_ptr<AiService> ai;
  std::shared_ptr<Models> models;

  const Value& metadata() const noexcept { return metadata_; }
  void set_metadata(Value metadata) { metadata_ = std::move(metadata); }
  const KnowledgeGraphPtr& graph() const noexcept { return graph_; }
  void set_graph(KnowledgeGraphPtr graph) { graph_ = std::move(graph); }
  const Console& console() const noexcept { return console_; }

  // ---- metadata and graph ------------------------------------------------
  // Loads the document at `filename` into metadata() and returns it.
  const Value& load_metadata(const std::string& filename);
  // The same, and while a second thread makes the Values, `also` is called
  // on this thread with the parsed document (the bindings build the host's
  // dict from it meanwhile). It is called only for a document that is a
  // JSON object; whatever it throws is rethrown once the Values are made,
  // with metadata() unchanged.
  const Value& load_metadata(const std::string& filename,
                             const std::function<void(const json::Document&)>& also);
  // Builds the knowledge graph from `metadata` (null: the service's own),
  // stores it as graph() and returns it.
  KnowledgeGraphPtr build_graph(const Value& metadata = Value());

  // ---- search, rules, paths ----------------------------------------------
  SearchResult search_by_keywords(const std::vector<std::string>& keywords) const;
  // search_by_keywords() without a string per reason (for the bindings,
  // which make one host str per distinct reason).
  CompactSearchResult search_by_keywords_compact(const std::vector<std::string>& keywords) const;
  std::vector<RelatedRule> get_related_rules(std::string_view node_id) const;
  std::optional<std::vector<Graph::Index>> find_path(std::string_view start,
                                                     std::string_view end) const;

  // ---- context record and Markdown ----------------------------------------
  RecordPtr generate_output(const std::string& query_text, const std::vector<std::string>& tables,
                            const std::vector<std::string>& columns,
                            const std::vector<std::string>& concepts,
                            const std::vector<std::string>& rules,
                            const std::vector<std::string>* all_tables) const;
  std::string format_as_markdown(const Record& output) const;

  // ---- query processing ------------------------------------------------------
  RecordPtr process_query(const std::string& query_text, const std::string& output_format,
                          const ChatInput& chat);
  RecordPtr process_query_with_ai(const std::string& query_text, const std::string& output_format);
  RecordPtr process_query_with_chat_history(const std::string& query_text, const ChatInput& chat,
                                            const std::string& output_format);

  // ---- SQL ---------------------------------------------------------------
  std::string generate_sql(const std::vector<std::string>& table_nodes,
                           const std::vector<std::string>* condition_nodes) const;
  std::string generate_sql_from_nl(const std::string& question) const;
  RecordPtr get_schema_summary() const;

  // The graph, or ValueError "Graph not built..." when there is none.
  const KnowledgeGraph& require_graph() const;

  // The stored values of `graph`'s columns (from `database`, else from the
  // document's statistics), read on first use and kept while the graph and
  // the database stay the same.
  std::shared_ptr<const detail::StoredValues> stored_values(const KnowledgeGraphPtr& graph) const;

 private:
  Console console_;
  Value metadata_;
  KnowledgeGraphPtr graph_;
  // What stored_values() read last, and for which graph and database.
  struct StoredCache {
    std::mutex mutex;
    std::shared_ptr<const detail::StoredValues> values;
    std::weak_ptr<KnowledgeGraph> graph;
    std::string database;
  };
  std::shared_ptr<StoredCache> stored_ = std::make_shared<StoredCache>();
};

// Rule-based keyword extraction: words longer than 3 code points, lower-cased,
// in order, punctuation attached, duplicates kept.
std::vector<std::string> extract_keywords(std::string_view question);

// A template statement adapted to a question as generate_sql_from_nl adapts
// it: quoted ISO dates become "?" unless the question speaks of a date or
// day, and LIMIT clauses go.
std::string adapt_template_sql(std::string_view question, std::string sql);

// The demonstration: loads the sample document (src/data/ first, else data/,
// relative to the working directory) into a verbose service whose console is
// `out`, builds the graph and answers an example question as a record and as
// Markdown. `models` is the host's SQLPrompt factory. Rethrows a missing file
// after saying so.
void run_demonstration(const Console& out, std::shared_ptr<Models> models);

// Builds the prepared search texts of a graph (search.cpp).
std::shared_ptr<const SearchIndex> build_search_index(const Graph& graph);

}  // namespace corvalt::atlanor
