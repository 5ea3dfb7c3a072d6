#include <string>
#include <system_error>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/linking.hpp"
#include "corvalt/text.hpp"

namespace corvalt::atlanor {

AtlanorService::AtlanorService(Console console) : console_(std::move(console)) {}

const KnowledgeGraph& AtlanorService::require_graph() const {
  if (!graph_) throw ValueError(kGraphNotBuilt);
  return *graph_;
}

std::shared_ptr<KnowledgeGraph> KnowledgeGraph::from(std::shared_ptr<const Graph> graph) {
  auto kg = std::make_shared<KnowledgeGraph>();
  kg->graph = graph;
  auto prepare = [graph] { return build_search_index(*graph); };
  try {
    kg->index_ = std::async(std::launch::async, prepare).share();
  } catch (const std::system_error&) {
    // No thread to be had: prepare them here and now.
    kg->index_ = std::async(std::launch::deferred, prepare).share();
  }
  return kg;
}

std::vector<std::string> extract_keywords(std::string_view question) {
  std::vector<std::string> keywords;
  for (std::string_view word : text::split_whitespace(question))
    if (text::length(word) > 3) keywords.push_back(text::lower(word));
  return keywords;
}

}  // namespace corvalt::atlanor

namespace corvalt::linking {

Mode mode_named(std::string_view name) {
  if (auto mode = parse_mode(name)) return *mode;
  std::string allowed;
  for (std::string_view known : kModeNames) {
    allowed += allowed.empty() ? "'" : ", '";
    allowed += known;
    allowed += '\'';
  }
  throw ValueError("linking must be one of " + allowed + ", not " + text::py_repr(name));
}

}  // namespace corvalt::linking
