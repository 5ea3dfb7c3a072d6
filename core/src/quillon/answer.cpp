// Answering a question: the AI's statement (corrected when it fails) against
// the historical one, a relevance heuristic to choose between them, and a
// few follow-up explorations around the chosen query.
#include <sys/time.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <unordered_set>

#include "corvalt/regex.hpp"
#include "corvalt/text.hpp"
#include "corvalt/quillon.hpp"
#include "internal.hpp"
#include "outcomes.hpp"
#include "../value_checks.hpp"

namespace corvalt::quillon {

namespace {

const Regex& long_word() {
  static const Regex re("\\b\\w{4,}\\b");
  return re;
}

void collect_words(std::string_view lowered, std::unordered_set<std::string>& out) {
  for (const RegexMatch& m : long_word().find_all(lowered)) out.emplace(m.group(lowered, 0));
}

// str.count(): non-overlapping occurrences.
std::size_t count_of(std::string_view s, std::string_view needle) {
  std::size_t n = 0;
  for (std::size_t pos = s.find(needle); pos != std::string_view::npos;
       pos = s.find(needle, pos + needle.size()))
    ++n;
  return n;
}

double number_of(const Value& v, const char* what) {
  switch (v.kind()) {
    case Value::Kind::Int: return static_cast<double>(v.as_int());
    case Value::Kind::Real: return v.as_real();
    case Value::Kind::Bool: return v.as_bool() ? 1.0 : 0.0;
    default:
      throw TypeError(std::string("the query record's '") + what + "' must be a number, not " +
                      v.type_name());
  }
}


}  // namespace

// ------------------------------------------------------------- relevance --

Value evaluate_query_relevance(const Record& query, std::string_view question) {
  if (!succeeded(query)) return Value(0.0);
  double score = 5.0;

  const double rows = number_of(query.get("row_count", Value(0)), "row_count");
  if (rows == 0) score -= 2;
  else if (rows >= 1 && rows <= 20) score += 1;
  else if (rows > 100) score -= 1;

  std::unordered_set<std::string> question_words, column_words;
  collect_words(text::lower(question), question_words);
  if (const List* columns = optional_list(query, "columns", "the query record's 'columns'")) {
    for (const Value& c : *columns)
      collect_words(text::lower(text_of(c, {"a result column name"}, "str")), column_words);
  }
  std::size_t shared = 0;
  for (const std::string& w : question_words) shared += column_words.count(w);
  if (shared > 0) score += static_cast<double>(std::min<std::size_t>(shared, 3));

  const std::string sql =
      text::lower(text_of(query.get("sql", Value("")), {"the query record's 'sql'"}, "str"));
  if (sql.find("where") != std::string::npos) {
    score += 1;
    const std::size_t connectives = count_of(sql, " and ") + count_of(sql, " or ");
    score += static_cast<double>(std::min<std::size_t>(connectives, 2)) * 0.5;
  }

  if (score >= 10) return Value(10);
  if (score <= 0) return Value(0);
  return Value(score);
}

// ------------------------------------------------------------ comparison --

namespace outcome {

Comparison compare(const Record& historical, const Record& ai, std::string_view question) {
  Comparison c;
  c.historical_success = historical.get("success", Value(false));
  c.ai_success = ai.get("success", Value(false));
  const bool hist_ran = succeeded(historical), ai_ran = succeeded(ai);
  if (hist_ran && ai_ran) {
    c.historical_score = evaluate_query_relevance(historical, question);
    c.ai_score = evaluate_query_relevance(ai, question);
    const double h = number_of(*c.historical_score, "score"), a = number_of(*c.ai_score, "score");
    if (h > a) {
      c.recommended = Pick::kHistorical;
      c.reason = "Historical query appears more relevant to the question";
    } else if (a > h) {
      c.recommended = Pick::kAi;
      c.reason = "AI-generated query appears more relevant to the question";
    } else {
      c.recommended = Pick::kHistorical;
      c.reason = "Equal relevance, using historical query for consistency";
    }
  } else if (hist_ran) {
    c.recommended = Pick::kHistorical;
    c.reason = "Only historical query executed successfully";
  } else if (ai_ran) {
    c.recommended = Pick::kAi;
    c.reason = "Only AI-generated query executed successfully";
  } else {
    c.reason = "Neither query executed successfully";
  }
  return c;
}

}  // namespace outcome

namespace {

// The comparison, as the service reports it.
outcome::Comparison compared(const Quillon& q, const Record& historical, const Record& ai,
                             std::string_view question) {
  outcome::Comparison c = outcome::compare(historical, ai, question);
  if (q.verbose) {
    const char* recommended = c.recommended == outcome::Pick::kHistorical ? "historical"
                              : c.recommended == outcome::Pick::kAi       ? "ai"
                                                                          : "None";
    q.console().line(std::string("Query comparison complete. Recommended: ") + recommended);
    q.console().line(std::string("Reason: ") + c.reason);
  }
  return c;
}

}  // namespace

RecordPtr Quillon::compare_queries(const RecordPtr& historical, const RecordPtr& ai_query,
                                   std::string_view question) {
  return outcome::comparison_record(historical, ai_query, question,
                                    compared(*this, *historical, *ai_query, question));
}

// ---------------------------------------------------------- explorations --

namespace {

const char* const kRelationshipWords[] = {"relation", "connect", "join", "link", "between"};

std::string lowered_name(const Record& entry, const char* key, const char* what) {
  return text::lower(text_of(entry.get(key, Value("")), {what}, "str"));
}

bool contains(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

// A first-row value counts as numeric when it is a number, or when it is a
// NULL in a column whose other values are all numbers (at least one): the
// column a tabular reader would have typed as numeric, NULLs as NaN.
bool numeric_column(const List& results, std::size_t key_index, const std::string& key,
                    const Value& first) {
  if (first.is_number()) return true;
  if (!first.is_null()) return false;
  bool any = false;
  for (std::size_t r = 1; r < results.size(); ++r) {
    if (!results[r].is_record()) return false;
    const Record& row = results[r].as_record();
    const Value* v = key_index < row.size() && row.item(key_index).first == key
                         ? &row.item(key_index).second
                         : row.find(key);
    if (!v || v->is_null()) continue;
    if (!v->is_number()) return false;
    any = true;
  }
  return any;
}

}  // namespace

namespace {

std::vector<outcome::Exploration> explorations(Quillon& q, std::string_view question, const Record& main_query,
                                               const Record& db_context,
                                               const std::function<ListPtr(const std::string&)>& rows_of) {
  std::vector<outcome::Exploration> out;
  if (!q.connected() || !succeeded(main_query)) return out;
  auto say = [&](const std::string& line) {
    if (q.verbose) q.console().line(line);
  };
  const std::string main_sql =
      text::lower(text_of(main_query.get("sql", Value("")), {"the main query's 'sql'"}, "str"));

  std::vector<std::string> used;
  if (const List* tables = context_tables(db_context)) {
    for (const Value& v : *tables) {
      std::string name =
          lowered_name(entry_record(v, "a context table entry"), "name", "a context table name");
      if (!name.empty() && main_sql.find(name) != std::string::npos) used.push_back(std::move(name));
    }
  }

  // Runs one statement the service built; a failure drops that exploration.
  auto explore = [&](std::string name, std::string description, std::string sql,
                     const char* kind) {
    try {
      ListPtr rows = rows_of(sql);
      out.push_back(outcome::Exploration{std::move(name), std::move(description), std::move(sql), rows, nullptr});
    } catch (const Error& e) {
      say(std::string("Error executing ") + kind + " exploration: " + error_text(e));
    }
  };

  for (const std::string& table : used)
    explore("Count records in " + table, "Shows the total number of records in the " + table + " table",
            "SELECT COUNT(*) AS record_count FROM " + table, "count");

  std::vector<std::pair<std::string, std::string>> date_columns;
  if (const List* columns = context_columns(db_context)) {
    for (const Value& v : *columns) {
      const std::string col =
          lowered_name(entry_record(v, "a context column entry"), "name", "a context column name");
      if (col.find("date") == std::string::npos && col.find("time") == std::string::npos &&
          col.find("day") == std::string::npos)
        continue;
      const std::size_t first_dot = col.find('.');
      const std::size_t last_dot = col.rfind('.');
      const std::string last = last_dot == std::string::npos ? col : col.substr(last_dot + 1);
      if (main_sql.find(last) == std::string::npos || first_dot == std::string::npos) continue;
      const std::string table = col.substr(0, first_dot);
      if (!table.empty() && contains(used, table)) date_columns.emplace_back(table, last);
    }
  }
  for (const auto& [table, col] : date_columns)
    explore("Time distribution for " + table + "." + col,
            "Shows the distribution of values in the " + col + " column",
            "SELECT " + col + ", COUNT(*) as count FROM " + table + " GROUP BY " + col +
                " ORDER BY COUNT(*) DESC LIMIT 5",
            "time");

  const Value results = main_query.get("results", Value());
  if (results.truthy()) {
    if (!results.is_list())
      throw TypeError(std::string("the main query's 'results' must be a list, not ") +
                      results.type_name());
    const List& rows = results.as_list();
    const Record& first = entry_record(rows[0], "the main query's first result row");
    std::vector<std::string> aggregates;
    for (std::size_t k = 0; k < first.size(); ++k) {
      const auto& [key, value] = first.item(k);
      if (!numeric_column(rows, k, key, value)) continue;
      aggregates.push_back("MIN(" + key + ") AS min_" + key);
      aggregates.push_back("MAX(" + key + ") AS max_" + key);
      aggregates.push_back("AVG(" + key + ") AS avg_" + key);
    }
    if (!aggregates.empty() && !used.empty()) {
      auto stats = make_record();
      stats->append_new("name", Value("Statistical summary"));
      stats->append_new("description", Value("Statistical summary of numeric values from the main query"));
      stats->append_new("source", Value("exploration_stats"));
      const std::string stats_question = "Statistical summary for " + std::string(question);
      stats->append_new("question", Value(stats_question));
      stats->append_new("sql", Value("SELECT " + text::join(aggregates, ", ") + " FROM " + used[0]));
      q.test_query(*stats);
      if (!succeeded(*stats)) {
        outcome::Repair repaired = outcome::repair(q, *stats, stats_question, db_context);
        if (repaired.best) stats = repaired.tries[*repaired.best].ran;
      }
      if (succeeded(*stats)) out.push_back(outcome::Exploration{{}, {}, {}, nullptr, stats});
      else say("Stats exploration failed and couldn't be fixed: " +
               to_str(stats->get("execution_error", Value())));
    }
  }

  const std::string lowered_question = text::lower(question);
  bool related = false;
  for (const char* word : kRelationshipWords)
    related = related || lowered_question.find(word) != std::string::npos;
  if (related && used.size() >= 2) {
    if (const List* rels = context_relationships(db_context)) {
      for (const Value& v : *rels) {
        const Record& rel = entry_record(v, "a context relationship entry");
        const std::string source = lowered_name(rel, "source", "a relationship's source");
        const std::string target = lowered_name(rel, "target", "a relationship's target");
        if (!contains(used, source) || !contains(used, target)) continue;
        const std::string join = text_of(rel.get("join_condition", Value("")),
                                         {"a relationship's join_condition"}, "str");
        const std::size_t eq = join.find('=');
        if (join.empty() || eq == std::string::npos || join.find('=', eq + 1) != std::string::npos)
          continue;
        const std::string left(text::strip(std::string_view(join).substr(0, eq)));
        explore("Relationship count between " + source + " and " + target,
                "Shows the number of connections between " + source + " and " + target,
                "SELECT COUNT(DISTINCT " + left + ") as distinct_connections FROM " + source +
                    " JOIN " + target + " ON " + join,
                "relationship");
      }
    }
  }
  return out;
}

}  // namespace

ListPtr Quillon::generate_additional_explorations(std::string_view question, const Record& main_query,
                                                  const Record& db_context) {
  return outcome::explorations_list(explorations(
      *this, question, main_query, db_context, [this](const std::string& sql) { return rows_on_connection(sql); }));
}

// ------------------------------------------------------------ best result --

std::string local_timestamp() {
  struct timeval tv;
  ::gettimeofday(&tv, nullptr);
  struct tm local;
  time_t seconds = tv.tv_sec;
  ::localtime_r(&seconds, &local);
  char buf[48];
  std::size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &local);
  std::string out(buf, n);
  if (tv.tv_usec != 0) {
    std::snprintf(buf, sizeof buf, ".%06ld", static_cast<long>(tv.tv_usec));
    out += buf;
  }
  return out;
}

RecordPtr Quillon::get_best_sql_and_results(std::string_view question, const Record& db_context,
                                            const RecordPtr& historical) {
  outcome::BestResult b;
  b.timestamp = local_timestamp();
  b.has_historical_match = historical != nullptr;

  b.ai_query = generate_sql(question, db_context);
  RecordPtr current = b.ai_query;
  if (!b.ai_query->contains("error")) {
    test_query(*b.ai_query);
    if (!succeeded(*b.ai_query)) {
      const outcome::Repair repaired = outcome::repair(*this, *b.ai_query, question, db_context);
      b.retry = outcome::repair_record(repaired);
      if (repaired.best) current = repaired.tries[*repaired.best].ran;
    }
  }

  b.best = current;
  if (historical && !historical->empty()) {
    historical->set("source", Value("historical"));
    test_query(*historical);
    b.historical = historical;
    const outcome::Comparison c = compared(*this, *historical, *current, question);
    b.comparison = outcome::comparison_record(historical, current, question, c);
    if (c.recommended == outcome::Pick::kHistorical) b.best = historical;
  }
  if (succeeded(*b.best))
    b.explorations = explorations(*this, question, *b.best, db_context,
                                  [this](const std::string& sql) { return rows_on_connection(sql); });
  return outcome::best_result_record(question, b);
}

}  // namespace corvalt::quillon
