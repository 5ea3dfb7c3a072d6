// Question answering: process_query and its two processing methods, which
// share one context assembly (understanding, search, widening, trimming,
// rules, SQL, context record).
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ai_understanding.hpp"
#include "linked_context.hpp"
#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/node_ids.hpp"
#include "corvalt/text.hpp"

namespace corvalt::atlanor {

namespace {

// The context record names at most this many tables, columns, concepts and rules.
constexpr std::size_t kKeep = 2;

// Node ids in order of discovery, without repeats.
class IdList {
 public:
  void add(std::string_view id) {
    if (seen_.emplace(id).second) ids_.emplace_back(id);
  }
  bool empty() const noexcept { return ids_.empty(); }
  const std::vector<std::string>& ids() const noexcept { return ids_; }
  std::vector<std::string> first(std::size_t n) const {
    return {ids_.begin(), ids_.begin() + static_cast<std::ptrdiff_t>(std::min(n, ids_.size()))};
  }

 private:
  std::vector<std::string> ids_;
  std::unordered_set<std::string> seen_;
};

struct Found {
  IdList tables, columns, concepts;

  void classify(std::string_view id) {
    if (node_ids::has_prefix(id, node_ids::kTable))
      tables.add(id);
    else if (node_ids::has_prefix(id, node_ids::kColumn))
      columns.add(id);
    else if (node_ids::has_prefix(id, node_ids::kConcept))
      concepts.add(id);
  }
};

// The search takes a list of str; the understanding's keywords come from the
// host or the AI unchecked, so refuse anything else as the search would.
std::vector<std::string> search_keywords(const Value& keywords) {
  if (!keywords.is_list())
    throw TypeError(std::string("search_by_keywords() argument 'keywords' must be list, not ") +
                    keywords.type_name());
  std::vector<std::string> out;
  out.reserve(keywords.as_list().size());
  for (const Value& k : keywords.as_list()) {
    if (!k.is_text())
      throw TypeError(
          std::string("search_by_keywords() argument 'keywords' must be a list of str, not a "
                      "list holding ") +
          k.type_name());
    out.push_back(k.as_text());
  }
  return out;
}

// The items a host `for` loop would visit: list elements, the characters of
// a text, the keys of a record.
std::vector<Value> iterate(const Value& v) {
  std::vector<Value> items;
  switch (v.kind()) {
    case Value::Kind::List:
      items.assign(v.as_list().begin(), v.as_list().end());
      break;
    case Value::Kind::Text: {
      const std::string& s = v.as_text();
      for (std::size_t pos = 0; pos < s.size();) {
        std::size_t start = pos;
        text::next_code_point(s, pos);
        items.emplace_back(s.substr(start, pos - start));
      }
      break;
    }
    case Value::Kind::Record:
      for (const auto& item : v.as_record()) items.emplace_back(item.first);
      break;
    default:
      throw TypeError(std::string("'") + v.type_name() + "' object is not iterable");
  }
  return items;
}

// Table name of a column id: the part before the first "." with every "column:" removed.
std::string table_of_column(std::string_view column_id) {
  return node_ids::name_of(column_id.substr(0, column_id.find('.')), node_ids::kColumn);
}

// Adds, for each found concept in order, the tables whose columns implement
// it (columns in graph order).
void widen_by_concepts(const Graph& graph, Found& found) {
  std::unordered_map<Graph::Index, std::size_t> position;  // concept node -> index in concepts
  const auto& concepts = found.concepts.ids();
  for (std::size_t i = 0; i < concepts.size(); ++i)
    if (auto index = graph.find(concepts[i])) position.emplace(*index, i);
  if (position.empty()) return;
  std::vector<std::vector<std::string>> tables(concepts.size());
  for (Graph::Index n = 0; n < graph.node_count(); ++n) {
    std::string_view id = graph.id(n);
    if (!node_ids::has_prefix(id, node_ids::kColumn)) continue;
    for (const Graph::Edge& edge : graph.successors(n)) {
      auto it = position.find(edge.target);
      if (it != position.end())
        tables[it->second].push_back(node_ids::make_id(node_ids::kTable, table_of_column(id)));
    }
  }
  for (const auto& per_concept : tables)
    for (const auto& table : per_concept) found.tables.add(table);
}

// The first kKeep distinct rules governing the chosen nodes, in order.
std::vector<std::string> pick_rules(const AtlanorService& service, const Graph& graph,
                                    const std::vector<std::vector<std::string>>& node_lists) {
  std::vector<Graph::Index> rules;
  std::unordered_set<Graph::Index> seen;
  for (const auto& list : node_lists)
    for (const auto& node : list)
      for (const RelatedRule& rule : service.get_related_rules(node))
        if (seen.insert(rule.first).second) rules.push_back(rule.first);
  std::vector<std::string> ids;
  for (std::size_t i = 0; i < rules.size() && i < kKeep; ++i) ids.emplace_back(graph.id(rules[i]));
  return ids;
}

Understanding rule_based_understanding(const AtlanorService& service, const std::string& query) {
  ListPtr keywords = make_list();
  for (auto& k : extract_keywords(query)) keywords->emplace_back(std::move(k));
  Value keyword_list(keywords);
  if (service.verbose) service.console().line("Using basic keyword extraction: " + to_repr(keyword_list));
  Value text(query);
  Value domains(make_list());
  if (!service.models) return Understanding{keyword_list, domains, text, Value()};
  return service.models->make_sql_prompt(text, text, domains, keyword_list);
}

// Lexical linking chooses the join tables itself: the relationships the
// AI needs are those among the chosen tables, not every one that touches
// them (which generate_output lists when the chosen tables do not join).
void keep_joins_among(Record& output, const std::vector<std::string>& table_ids) {
  const Value* relationships = output.find("relationships");
  if (!relationships || !relationships->is_list()) return;
  std::unordered_set<std::string> names;
  for (const auto& id : table_ids) names.insert(node_ids::name_of(id, node_ids::kTable));
  auto kept = make_list();
  for (const Value& r : relationships->as_list()) {
    const Record& entry = r.as_record();
    const Value* source = entry.find("source");
    const Value* target = entry.find("target");
    if (source && target && source->is_text() && target->is_text() && names.count(source->as_text()) &&
        names.count(target->as_text()))
      kept->push_back(r);
  }
  output.set("relationships", Value(kept));
}

// What both processing methods add to the context record, in this order:
// the understanding, the best-guess SQL, how lexical linking matched (in that
// mode only), the conversation's context and the Markdown rendering.
RecordPtr finish_record(const AtlanorService& service, RecordPtr output,
                        const Understanding& understanding, const std::optional<std::string>& sql,
                        const RecordPtr& linking, const RecordPtr& sql_hints, const ChatInput* chat,
                        const std::string& output_format) {
  output->set("ai_enhanced", Value(make_record(Record{
                                 {"keywords", understanding.keywords},
                                 {"business_domains", understanding.buisness_domains},
                                 {"enhanced_query", understanding.ai_context},
                             })));
  // The best-guess SQL travels with the record (the demonstration prints it);
  // the context record itself, as generate_output builds it, has no SQL.
  if (sql) output->set("best_guess_sql", Value(*sql));
  if (linking) output->set("linking", Value(linking));
  if (sql_hints) output->set("sql_hints", Value(sql_hints));
  if (chat != nullptr && understanding.history_context.truthy())
    output->set("chat_history_context", understanding.history_context);
  if (output_format == "markdown") output->set("markdown", Value(service.format_as_markdown(*output)));
  return output;
}

// The steps shared by both processing methods. `chat` is null for the plain
// method; with it the chat prompt is used and chat_history_context may be set.
RecordPtr assemble_context(AtlanorService& service, const std::string& query_text,
                           const std::string& output_format, const ChatInput* chat) {
  // Keep the graph alive for the whole call.
  KnowledgeGraphPtr kg = service.graph();
  service.require_graph();
  const Graph& graph = *kg->graph;

  std::optional<Understanding> understanding;
  if (service.ai && service.ai->truthy())
    understanding = detail::ai_understanding(service, query_text, chat);
  const bool from_ai = understanding.has_value();
  if (!understanding) understanding = rule_based_understanding(service, query_text);

  if (service.linking_mode == linking::Mode::kLexical) {
    detail::LinkedContext linked =
        detail::link_context(service, kg, query_text, *understanding, from_ai, chat);
    RecordPtr output = service.generate_output(query_text, linked.tables, linked.columns,
                                               linked.concepts, linked.rules, &linked.tables);
    keep_joins_among(*output, linked.tables);
    return finish_record(service, output, *understanding, linked.sql, linked.linking,
                         linked.sql_hints, chat, output_format);
  }

  CompactSearchResult search =
      service.search_by_keywords_compact(search_keywords(understanding->keywords));

  const Value& ai_context = understanding->ai_context;
  const bool rewritten = ai_context.truthy();

  Found found;
  for (Graph::Index node : search.ranked) found.classify(graph.id(node));

  if (understanding->buisness_domains.truthy()) {
    for (const Value& domain : iterate(understanding->buisness_domains)) {
      ListPtr one = make_list();
      one->push_back(domain);
      CompactSearchResult by_domain =
          service.search_by_keywords_compact(search_keywords(Value(one)));
      for (Graph::Index node : by_domain.ranked) found.classify(graph.id(node));
    }
  }

  if (!found.concepts.empty() && found.tables.empty()) widen_by_concepts(graph, found);

  const std::vector<std::string> all_tables = found.tables.ids();
  const std::vector<std::string> tables = found.tables.first(kKeep);
  const std::vector<std::string> columns = found.columns.first(kKeep);
  const std::vector<std::string> concepts = found.concepts.first(kKeep);

  std::vector<std::string> rules = pick_rules(service, graph, {tables, columns, concepts});

  std::optional<std::string> sql;
  if (!tables.empty()) {
    if (rewritten && !ai_context.is_text())
      throw TypeError(
          std::string("generate_sql_from_nl() argument 'natural_language_query' must be str, not ") +
          ai_context.type_name());
    sql = service.generate_sql_from_nl(rewritten ? ai_context.as_text() : query_text);
  }

  RecordPtr output =
      service.generate_output(query_text, tables, columns, concepts, rules, &all_tables);
  return finish_record(service, output, *understanding, sql, nullptr, nullptr, chat, output_format);
}

}  // namespace

RecordPtr AtlanorService::process_query(const std::string& query_text,
                                        const std::string& output_format, const ChatInput& chat) {
  const bool has_history = chat.history != nullptr && chat.history->size() > 0;
  const bool has_previous_sql = chat.previous_sql && !chat.previous_sql->empty();
  if (has_history || has_previous_sql)
    return process_query_with_chat_history(query_text, chat, output_format);
  return process_query_with_ai(query_text, output_format);
}

RecordPtr AtlanorService::process_query_with_ai(const std::string& query_text,
                                                const std::string& output_format) {
  return assemble_context(*this, query_text, output_format, nullptr);
}

RecordPtr AtlanorService::process_query_with_chat_history(const std::string& query_text,
                                                          const ChatInput& chat,
                                                          const std::string& output_format) {
  return assemble_context(*this, query_text, output_format, &chat);
}

}  // namespace corvalt::atlanor
