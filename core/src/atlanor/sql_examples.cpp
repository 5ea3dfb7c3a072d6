// Best-guess SQL for a question: the example query that shares the most
// keywords with it, or else a statement assembled from the tables and columns
// the keyword search finds; then adapted (date literals, LIMIT clauses).
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/node_ids.hpp"
#include "corvalt/regex.hpp"
#include "corvalt/text.hpp"
#include "../value_checks.hpp"

namespace corvalt::atlanor {

namespace {

const Regex& date_literal() {
  static const Regex pattern("'(\\d{4}-\\d{2}-\\d{2})'");
  return pattern;
}

const Regex& limit_clause() {
  static const Regex pattern("\\s+LIMIT\\s+\\d+\\s*;?", Regex::kIgnoreCase);
  return pattern;
}

const std::string& text_attribute(const Record& attrs, std::string_view key,
                                  std::string_view node) {
  return text_of(attrs.at(key), {"Attribute '", key, "' of ", node});
}

// str() of an error as the host would print it; a missing key shows quoted.
std::string error_text(const std::exception& e) {
  if (const auto* key = dynamic_cast<const KeyError*>(&e)) return text::py_repr(key->key());
  return e.what();
}

}  // namespace

std::string AtlanorService::generate_sql_from_nl(const std::string& question) const {
  const KnowledgeGraph& kg = require_graph();
  const Graph& graph = *kg.graph;

  // No request is sent to the AI service yet; the schema summary it would
  // receive is still made, so that a document it cannot be made from is
  // reported (the summary itself is not needed).
  if (ai && ai->truthy() && ai->has_attribute("get_response")) {
    try {
      (void)get_schema_summary();
    } catch (const std::exception& e) {
      if (verbose)
        console_.line("AI SQL generation failed: " + error_text(e) +
                      ". Falling back to rule-based approach.");
    }
  }

  std::vector<std::string> keywords = extract_keywords(question);
  if (verbose) {
    List shown;
    shown.reserve(keywords.size());
    for (const auto& k : keywords) shown.emplace_back(k);
    console_.line("Extracted keywords: " + to_repr(Value(std::move(shown))));
  }

  // The best example: highest score, the first one met on ties.
  const std::string* best_query = nullptr;
  long best_score = 0;
  static const Value kExample("example");
  for (Graph::Index i = 0; i < graph.node_count(); ++i) {
    const Record& attrs = graph.attrs(i);
    const Value* type = attrs.find("type");
    if (!type || !(*type == kExample)) continue;
    std::string_view id = graph.id(i);
    std::string description = text::lower(text_attribute(attrs, "description", id));
    const std::string& query = text_attribute(attrs, "query", id);
    std::string lowered_query = text::lower(query);
    long score = 0;
    for (const auto& k : keywords)
      if (description.find(k) != std::string::npos) score += 2;
    for (const auto& k : keywords)
      if (lowered_query.find(k) != std::string::npos) score += 1;
    if (score > best_score) {
      best_score = score;
      best_query = &query;
    }
  }

  std::string sql;
  if (best_query) {
    sql = *best_query;
    if (verbose) console_.line("Using template query: " + sql);
  } else {
    CompactSearchResult found = search_by_keywords_compact(keywords);
    std::vector<std::string> tables, columns;
    for (Graph::Index i : found.ranked) {
      std::string_view id = graph.id(i);
      if (node_ids::has_prefix(id, node_ids::kTable))
        tables.emplace_back(id);
      else if (node_ids::has_prefix(id, node_ids::kColumn))
        columns.emplace_back(id);
    }
    sql = generate_sql(tables, &columns);
  }

  return adapt_template_sql(question, std::move(sql));
}

std::string adapt_template_sql(std::string_view question, std::string sql) {
  std::string lowered_question = text::lower(question);
  if (lowered_question.find("date") == std::string::npos &&
      lowered_question.find("day") == std::string::npos)
    sql = date_literal().replace_all(sql, "?");
  return limit_clause().replace_all(sql, "");
}

}  // namespace corvalt::atlanor
