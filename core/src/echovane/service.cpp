// EchovaneService: loading the history and the strong-match search.
#include <algorithm>
#include <filesystem>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <string>
#include <vector>

#include "corvalt/echovane.hpp"
#include "corvalt/release.hpp"
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

using Node = json::Document::Node;

// The keys of an entry that the graph and the search read.
struct EntryFields {
  bool has_question = false, has_variations = false, has_timestamp = false;
  Node question, variations, timestamp;
};

// One pass over the entry's keys rather than a look-up per key (a key
// written twice counts with its last value, as in the host's dict).
// Anything but text where text is expected is refused here, rather than
// failing later in the middle of a search.
EntryFields read_entry(const Node& entry, std::size_t i, std::string_view filename,
                       std::vector<std::string_view>& variation_texts) {
  EntryFields f;
  entry.for_each_member([&](std::string_view key, const Node& value) {
    if (key == "question") {
      f.question = value;
      f.has_question = true;
    } else if (key == "natural_language_variations") {
      f.variations = value;
      f.has_variations = true;
    } else if (key == "timestamp") {
      f.timestamp = value;
      f.has_timestamp = true;
    }
  });
  if (f.has_question && !f.question.is_text())
    throw TypeError(entry_context(i, filename) + ": question must be a str, not " +
                    f.question.type_name());
  if (f.has_variations) {
    if (!f.variations.is_list())
      throw TypeError(entry_context(i, filename) +
                      ": natural_language_variations must be a list, not " +
                      f.variations.type_name());
    std::size_t k = 0;
    f.variations.for_each_element([&](const Node& item) {
      if (!item.is_text())
        throw TypeError(entry_context(i, filename) + ": natural_language_variations[" +
                        std::to_string(k) + "] must be a str, not " + item.type_name());
      variation_texts.push_back(item.text());
      ++k;
    });
  }
  return f;
}

void print(const Console& console, std::string_view message) {
  std::string line(kPrefix);
  line.append(message);
  console.line(line);
}

}  // namespace

class HistoryBuilder {
 public:
  // Fills `history` from the document's top-level node.
  static void build(History& history, const Node& root, std::string_view filename);
};

void HistoryBuilder::build(History& history, const Node& root, std::string_view filename) {
  if (!root.is_record())
    throw TypeError("Queries file " + std::string(filename) +
                    " must hold a JSON object at the top level, not " + root.type_name());
  history.has_list_ = root.find("enriched_queries", history.list_);
  if (history.has_list_ && !history.list_.is_list())
    throw TypeError("enriched_queries in " + std::string(filename) + " must be a list, not " +
                    history.list_.type_name());
  if (history.has_list_) history.entries_ = history.list_.elements();
  const std::vector<Node>& entries = history.entries_;

  // Every entry is checked first, so that a bad one fails the load before
  // anything is built; what the graph and the index read is noted on the way.
  std::vector<std::string_view> texts;  // per entry: its question, then its variations
  std::vector<std::size_t> first_text;  // per entry, plus one past the last
  texts.reserve(entries.size() * 4);
  first_text.reserve(entries.size() + 1);
  std::vector<std::string_view> variation_texts;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].is_record())
      throw TypeError(entry_context(i, filename) + " must be a dict, not " +
                      entries[i].type_name());
    variation_texts.clear();
    const EntryFields f = read_entry(entries[i], i, filename, variation_texts);
    first_text.push_back(texts.size());
    texts.push_back(f.has_question ? f.question.text() : std::string_view());
    texts.insert(texts.end(), variation_texts.begin(), variation_texts.end());
  }
  first_text.push_back(texts.size());

  // The graph is made when first asked for (see History::graph).
  auto index = std::make_shared<MatchIndex>();
  std::size_t chars = 0;
  for (std::string_view t : texts) chars += t.size();
  index->reserve(entries.size(), texts.size(), chars);
  std::vector<std::string_view> variations;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    variations.assign(texts.begin() + static_cast<std::ptrdiff_t>(first_text[i] + 1),
                      texts.begin() + static_cast<std::ptrdiff_t>(first_text[i + 1]));
    index->add_node(texts[first_text[i]], variations);
  }
  index->finish();
  history.index = std::move(index);
}

std::shared_ptr<const Graph> History::graph() const {
  std::call_once(graph_made_, [this] {
    const Value empty("");
    auto graph = std::make_shared<Graph>();
    graph->reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      // Checked when loaded: only the three keys are read again.
      Node question, variations, timestamp;
      bool has_question = false, has_variations = false, has_timestamp = false;
      entries_[i].for_each_member([&](std::string_view key, const Node& value) {
        if (key == "question") has_question = (question = value, true);
        else if (key == "natural_language_variations") has_variations = (variations = value, true);
        else if (key == "timestamp") has_timestamp = (timestamp = value, true);
      });
      Record attrs;
      attrs.reserve(3);
      attrs.append_new("text", has_question ? question.value() : empty);
      attrs.append_new("variations", has_variations ? variations.value() : Value(make_list()));
      attrs.append_new("timestamp", has_timestamp ? timestamp.value() : empty);
      // The ids are new, so the moving overload's single look-up adds them.
      graph->add_node(node_id(i), std::move(attrs));
    }
    graph_ = std::move(graph);
  });
  return graph_;
}

std::shared_ptr<const History> build_history(const Value& document, std::string_view filename) {
  auto history = std::make_shared<History>();
  history->source_ = document;
  HistoryBuilder::build(*history, Node::over(history->source_), filename);
  return history;
}

std::shared_ptr<const History> build_history(std::shared_ptr<const json::Document> document,
                                             std::string_view filename) {
  auto history = std::make_shared<History>();
  history->document_ = std::move(document);
  HistoryBuilder::build(*history, history->document_->root(), filename);
  return history;
}

const Value& History::queries() const {
  std::call_once(queries_made_, [this] { queries_ = has_list_ ? list_.value() : Value(make_list()); });
  return queries_;
}

void History::walk_queries(json::Visitor& visitor) const {
  if (!has_list_) {
    visitor.begin_list(0);
    visitor.end_list();
    return;
  }
  list_.walk(visitor);
}

bool History::entry_value(std::size_t i, std::string_view key, Value& out) const {
  Node value;
  if (i >= entries_.size() || !entries_[i].find(key, value)) return false;
  out = value.value();
  return true;
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
  return history_ ? history_->queries() : none;
}

std::shared_ptr<const Graph> EchovaneService::graph() const {
  return history_ ? history_->graph() : nullptr;
}

void EchovaneService::load_history(const std::string& filename) {
  std::error_code ec;
  // A path with a NUL byte names no file (the OS would see a shorter one).
  if (filename.find('\0') != std::string::npos || !std::filesystem::exists(filename, ec))
    throw FileNotFoundError("Queries file not found: " + filename);
  install(build_history(json::Document::read_file(filename), filename), filename);
}

void EchovaneService::load_document(const Value& document, std::string_view filename) {
  install(build_history(document, filename), filename);
}

void EchovaneService::install(std::shared_ptr<const History> next, std::string_view filename) {
  if (verbose) {
    for (std::size_t i = 0; i < next->size(); ++i) {
      Value question("");
      next->entry_value(i, "question", question);
      print(console_, "Added node " + node_id(i) + ": '" + to_str(question) + "'");
      Value variations;
      if (next->entry_value(i, "natural_language_variations", variations))
        print(console_, "  with " + std::to_string(variations.as_list().size()) + " variations");
    }
    print(console_, "Loaded " + std::to_string(next->size()) + " queries from " +
                        std::string(filename));
  }
  std::shared_ptr<const History> previous = std::exchange(history_, std::move(next));
  release_in_background(std::move(previous));
}

EchovaneService::Match EchovaneService::best_match(std::string_view question, bool speak) const {
  // Keep this history alive for the whole search.
  const std::shared_ptr<const History> history = history_;
  if (!history || history->size() == 0) {
    if (speak) print(console_, "No graph loaded, returning None");
    return {};
  }
  const std::string lowered = text::lower(question);
  const std::string_view q = text::strip(lowered);
  if (speak) print(console_, "Looking for a match for: '" + std::string(q) + "'");

  const MatchIndex& index = *history->index;

  // Exact phase: the earliest item with this very text, a node's question
  // counting before its variations.
  if (auto item = index.exact(q)) {
    const std::uint32_t node = index.node_of(*item);
    if (speak) {
      if (*item == index.first_item(node))
        print(console_, "Found exact match on node " + node_id(node));
      else
        print(console_, "Found exact match in variations of node " + node_id(node));
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
    if (speak) print(console_, "Node " + node_id(node) + " text score: " + two_decimals(text_score));
    if (text_score > best_score) {
      best_score = text_score;
      best_index = static_cast<std::int64_t>(node);
    }
    for (auto item = first + 1; item < end; ++item) {
      const double score = shared[item] / denominator;
      if (verbose && score > 0.5)
        print(console_, "Node " + node_id(node) + " variation '" + std::string(index.text(item)) +
                            "' score: " + two_decimals(score));
      if (score > best_score) {
        best_score = score;
        best_index = static_cast<std::int64_t>(node);
      }
    }
  }

  if (speak) {
    print(console_, "Best match score: " + two_decimals(best_score));
    if (best_score > kStrongMatch) {
      Value text("");
      history->entry_value(static_cast<std::size_t>(best_index), "question", text);
      print(console_, "Returning match: '" + to_str(text) + "'");
    }
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
  const std::shared_ptr<const History> history = history_;
  if (!history) return nullptr;
  if (history->size() == 0 || index < 0 || static_cast<std::uint64_t>(index) >= history->size())
    return nullptr;
  const auto i = static_cast<std::size_t>(index);
  auto field = [&](std::string_view key, Value fallback) {
    history->entry_value(i, key, fallback);
    return fallback;
  };
  auto record = make_record();
  record->reserve(4);
  record->append_new("question", field("question", Value("")));
  record->append_new("sql", field("sql", Value("")));
  record->append_new("complexity_description", field("complexity_description", Value("")));
  record->append_new("domain_concepts", field("domain_concepts", Value(make_list())));
  return record;
}

}  // namespace corvalt::echovane
