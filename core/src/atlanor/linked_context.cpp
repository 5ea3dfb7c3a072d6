// Query processing with lexical linking (linking::Mode::kLexical): what the
// linking index chooses for a question, as the pieces of a context record.
#include "linked_context.hpp"

#include <mutex>
#include <string>
#include <vector>

#include "corvalt/errors.hpp"
#include "corvalt/linking.hpp"
#include "corvalt/node_ids.hpp"
#include "corvalt/text.hpp"

namespace corvalt::atlanor {

const linking::Index& KnowledgeGraph::link_index() const {
  // Built on first use: a service in the default mode never needs it. A
  // failed build leaves the flag unset, so the next call tries again.
  std::call_once(link_once_, [this] { link_index_ = std::make_shared<const linking::Index>(*graph); });
  return *link_index_;
}

namespace detail {

namespace {

ListPtr text_list(const std::vector<std::string>& items) {
  auto list = make_list();
  list->reserve(items.size());
  for (const auto& s : items) list->emplace_back(s);
  return list;
}

// The AI's keywords as texts; whatever else its answer holds is not a word.
std::vector<std::string> ai_keywords(const Value& keywords) {
  std::vector<std::string> out;
  if (!keywords.is_list()) return out;
  for (const Value& k : keywords.as_list())
    if (k.is_text()) out.push_back(k.as_text());
  return out;
}

RecordPtr linking_record(const Graph& graph, const linking::Result& result) {
  auto tables = make_list();
  for (const auto& t : result.tables)
    tables->emplace_back(make_record(Record{
        {"name", node_ids::name_of(graph.id(t.node), node_ids::kTable)},
        {"score", t.score},
        {"reason", std::string(linking::reason_name(t.reason))},
        {"matched", text_list(t.matched)},
    }));
  return make_record(Record{
      {"match", std::string(linking::strength_name(result.strength))},
      {"words", text_list(result.words)},
      {"unmatched", text_list(result.unmatched)},
      {"tables", tables},
      {"example", result.example ? Value(graph.id(*result.example)) : Value()},
  });
}

std::vector<std::string> ids(const Graph& graph, const std::vector<Graph::Index>& nodes) {
  std::vector<std::string> out;
  out.reserve(nodes.size());
  for (const Graph::Index n : nodes) out.emplace_back(graph.id(n));
  return out;
}

}  // namespace

LinkedContext link_context(const AtlanorService& service, const KnowledgeGraph& kg,
                           const std::string& question, const Understanding& understanding,
                           bool from_ai, const ChatInput* chat) {
  const Graph& graph = *kg.graph;
  linking::Query query;
  query.question = question;
  if (from_ai) query.keywords = ai_keywords(understanding.keywords);
  if (chat && chat->previous_sql) query.previous_sql = *chat->previous_sql;
  const linking::Result result = kg.link_index().link(query);

  LinkedContext out;
  for (const auto& t : result.tables) out.tables.emplace_back(graph.id(t.node));
  out.columns = ids(graph, result.columns);
  out.concepts = ids(graph, result.concepts);
  out.rules = ids(graph, result.rules);
  out.linking = linking_record(graph, result);

  if (service.verbose) {
    std::vector<std::string> names;
    for (const auto& t : result.tables)
      names.push_back(node_ids::name_of(graph.id(t.node), node_ids::kTable));
    service.console().line("Lexical linking (" + std::string(linking::strength_name(result.strength)) +
                           " match): " + to_repr(Value(text_list(names))));
  }

  // The SQL: the example query that matches, or else the chosen tables
  // joined, adapted to the question as the examples are in the default mode.
  if (!out.tables.empty()) {
    const Value& rewritten = understanding.ai_context;
    const std::string& text = rewritten.is_text() && !rewritten.as_text().empty() ? rewritten.as_text()
                                                                                  : question;
    std::string sql;
    if (result.example) {
      const Value& example_query = graph.attrs(*result.example).at("query");
      if (!example_query.is_text())
        throw TypeError("Attribute 'query' of " + std::string(graph.id(*result.example)) + " must be a string, not " +
                        example_query.type_name());
      sql = example_query.as_text();
      if (service.verbose) service.console().line("Using template query: " + sql);
    } else {
      sql = service.generate_sql(out.tables, nullptr);
    }
    out.sql = adapt_template_sql(text, sql);
  }
  return out;
}

}  // namespace detail

}  // namespace corvalt::atlanor
