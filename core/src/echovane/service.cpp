// EchovaneService: loading the history and the strong-match search.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "corvalt/echovane.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"
#include "corvalt/text.hpp"
#include "match_index.hpp"

namespace corvalt::echovane {

namespace {

std::string node_id(std::size_t i) { return "query:" + std::to_string(i); }

std::string entry_context(std::size_t i, std::string_view filename) {
  return "Entry " + std::to_string(i) + " of enriched_queries in " + std::string(filename);
}

// The keys of an entry that the graph and the search read.
struct EntryFields {
  const Value* question = nullptr;
  const Value* variations = nullptr;
  const Value* timestamp = nullptr;
};

// One pass over the entry's keys rather than a look-up per key. Anything but
// text where text is expected is refused here, rather than failing later in
// the middle of a search.
EntryFields read_entry(const Record& entry, std::size_t i, std::string_view filename,
                       std::vector<std::string_view>& variation_texts) {
  EntryFields f;
  for (const auto& [key, value] : entry) {
    if (key == "question") f.question = &value;
    else if (key == "natural_language_variations") f.variations = &value;
    else if (key == "timestamp") f.timestamp = &value;
  }
  if (f.question && !f.question->is_text())
    throw TypeError(entry_context(i, filename) + ": question must be a str, not " +
                    f.question->type_name());
  if (f.variations) {
    if (!f.variations->is_list())
      throw TypeError(entry_context(i, filename) +
                      ": natural_language_variations must be a list, not " +
                      f.variations->type_name());
    const List& list = f.variations->as_list();
    variation_texts.reserve(list.size());
    for (std::size_t k = 0; k < list.size(); ++k) {
      if (!list[k].is_text())
        throw TypeError(entry_context(i, filename) + ": natural_language_variations[" +
                        std::to_string(k) + "] must be a str, not " + list[k].type_name());
      variation_texts.push_back(list[k].as_text());
    }
  }
  return f;
}

void print(const Console& console, std::string_view message) {
  std::string line(kPrefix);
  line.append(message);
  console.line(line);
}

}  // namespace

std::shared_ptr<const History> build_history(const Value& document, std::string_view filename) {
  if (!document.is_record())
    throw TypeError("Queries file " + std::string(filename) +
                    " must hold a JSON object at the top level, not " + document.type_name());
  auto history = std::make_shared<History>();
  const Value* found = document.as_record().find("enriched_queries");
  history->queries = found ? *found : Value(make_list());
  if (!history->queries.is_list())
    throw TypeError("enriched_queries in " + std::string(filename) + " must be a list, not " +
                    history->queries.type_name());
  const List& entries = history->queries.as_list();

  auto graph = std::make_shared<Graph>();
  auto index = std::make_shared<MatchIndex>();
  graph->reserve(entries.size());
  const Value empty("");
  std::vector<std::string_view> variation_texts;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].is_record())
      throw TypeError(entry_context(i, filename) + " must be a dict, not " +
                      entries[i].type_name());
    variation_texts.clear();
    const EntryFields f = read_entry(entries[i].as_record(), i, filename, variation_texts);
    const Value& question = f.question ? *f.question : empty;
    Record attrs;
    attrs.reserve(3);
    attrs.append_new("text", question);
    attrs.append_new("variations", f.variations ? *f.variations : Value(make_list()));
    attrs.append_new("timestamp", f.timestamp ? *f.timestamp : empty);
    // The ids are new, so the moving overload's single look-up adds them.
    graph->add_node(node_id(i), std::move(attrs));
    index->add_node(question.as_text(), variation_texts);
  }
  index->finish();
  history->graph = std::move(graph);
  history->index = std::move(index);
  return history;
}

double overlap_score(std::string_view question, std::string_view text) {
  std::vector<std::string_view> question_words = text::split_whitespace(question);
  std::sort(question_words.begin(), question_words.end());
  question_words.erase(std::unique(question_words.begin(), question_words.end()),
                       question_words.end());
  std::vector<std::string_view> text_words = text::split_whitespace(text);
  std::sort(text_words.begin(), text_words.end());
  std::size_t shared = 0;
  for (std::string_view word : question_words)
    shared += std::binary_search(text_words.begin(), text_words.end(), word) ? 1 : 0;
  return static_cast<double>(shared) /
         static_cast<double>(std::max<std::size_t>(question_words.size(), 1));
}

EchovaneService::EchovaneService(Console console) : console_(std::move(console)) {}

const Value& EchovaneService::queries() const noexcept {
  static const Value none;
  return history_ ? history_->queries : none;
}

std::shared_ptr<const Graph> EchovaneService::graph() const noexcept {
  return history_ ? history_->graph : nullptr;
}

void EchovaneService::load_history(const std::string& filename) {
  std::error_code ec;
  // A path with a NUL byte names no file (the OS would see a shorter one).
  if (filename.find('\0') != std::string::npos || !std::filesystem::exists(filename, ec))
    throw FileNotFoundError("Queries file not found: " + filename);
  load_document(json::parse_file(filename), filename);
}

void EchovaneService::load_document(const Value& document, std::string_view filename) {
  std::shared_ptr<const History> next = build_history(document, filename);
  if (verbose) {
    const List& entries = next->queries.as_list();
    const Value empty("");
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const Record& entry = entries[i].as_record();
      print(console_, "Added node " + node_id(i) + ": '" + to_str(entry.get("question", empty)) + "'");
      if (const Value* variations = entry.find("natural_language_variations"))
        print(console_, "  with " + std::to_string(variations->as_list().size()) + " variations");
    }
    print(console_, "Loaded " + std::to_string(entries.size()) + " queries from " +
                        std::string(filename));
  }
  history_ = std::move(next);
}

EchovaneService::Match EchovaneService::best_match(std::string_view question, bool speak) const {
  // Keep this history alive for the whole search.
  const std::shared_ptr<const History> history = history_;
  if (!history || history->graph->node_count() == 0) {
    if (speak) print(console_, "No graph loaded, returning None");
    return {};
  }
  const std::string lowered = text::lower(question);
  const std::string_view q = text::strip(lowered);
  if (speak) print(console_, "Looking for a match for: '" + std::string(q) + "'");

  const Graph& graph = *history->graph;
  const MatchIndex& index = *history->index;

  // Exact phase: the earliest item with this very text, a node's question
  // counting before its variations.
  if (auto item = index.exact(q)) {
    const std::uint32_t node = index.node_of(*item);
    if (speak) {
      if (*item == index.first_item(node))
        print(console_, "Found exact match on node " + graph.id(node));
      else
        print(console_, "Found exact match in variations of node " + graph.id(node));
    }
    return {static_cast<std::int64_t>(node), 1.0};
  }

  // Overlap phase, in candidate order; only a strictly higher score replaces
  // the best so far, so the earliest of equal scores wins.
  std::size_t question_words = 0;
  const std::vector<std::uint32_t> shared = index.shared_word_counts(q, question_words);
  const auto denominator = static_cast<double>(std::max<std::size_t>(question_words, 1));
  double best_score = 0.0;
  std::int64_t best_index = -1;
  const std::size_t nodes = index.node_count();
  for (std::size_t node = 0; node < nodes; ++node) {
    const auto first = index.first_item(node);
    const auto end = index.first_item(node + 1);
    const double text_score = shared[first] / denominator;
    if (speak) print(console_, "Node " + graph.id(node) + " text score: " + two_decimals(text_score));
    if (text_score > best_score) {
      best_score = text_score;
      best_index = static_cast<std::int64_t>(node);
    }
    for (auto item = first + 1; item < end; ++item) {
      const double score = shared[item] / denominator;
      if (verbose && score > 0.5)
        print(console_, "Node " + graph.id(node) + " variation '" + std::string(index.text(item)) +
                            "' score: " + two_decimals(score));
      if (score > best_score) {
        best_score = score;
        best_index = static_cast<std::int64_t>(node);
      }
    }
  }

  if (speak) {
    print(console_, "Best match score: " + two_decimals(best_score));
    if (best_score > kStrongMatch)
      print(console_, "Returning match: '" +
                          to_str(graph.attrs(static_cast<Graph::Index>(best_index)).at("text")) + "'");
    else
      print(console_, "No strong match found");
  }
  if (best_score > kStrongMatch && best_index >= 0) return {best_index, best_score};
  return {};
}

RecordPtr EchovaneService::find_strong_match(std::string_view question) const {
  const Match m = best_match(question, verbose);
  return m.index >= 0 ? get_query_details(m.index) : nullptr;
}

std::optional<double> EchovaneService::match_score(std::string_view question) const {
  const Match m = best_match(question, false);
  if (m.index < 0) return std::nullopt;
  return m.score;
}

RecordPtr EchovaneService::get_query_details(std::int64_t index) const {
  if (!history_) return nullptr;
  const List& entries = history_->queries.as_list();
  if (entries.empty() || index < 0 || static_cast<std::uint64_t>(index) >= entries.size())
    return nullptr;
  const Record& entry = entries[static_cast<std::size_t>(index)].as_record();
  const Value empty("");
  auto record = make_record();
  record->reserve(4);
  record->append_new("question", entry.get("question", empty));
  record->append_new("sql", entry.get("sql", empty));
  record->append_new("complexity_description", entry.get("complexity_description", empty));
  const Value* concepts = entry.find("domain_concepts");
  record->append_new("domain_concepts", concepts ? *concepts : Value(make_list()));
  return record;
}

}  // namespace corvalt::echovane
