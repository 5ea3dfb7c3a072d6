// Query processing with lexical linking (linking::Mode::kLexical): what the
// linking index chooses for a question, as the pieces of a context record.
#include "linked_context.hpp"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <unordered_set>
#include <string>
#include <vector>

#include "corvalt/errors.hpp"
#include "corvalt/linking.hpp"
#include "corvalt/node_ids.hpp"
#include "corvalt/text.hpp"
#include "corvalt/values.hpp"
#include "stored_values.hpp"

namespace corvalt::atlanor {

std::shared_ptr<const detail::StoredValues> AtlanorService::stored_values(const KnowledgeGraphPtr& graph) const {
  StoredCache& cache = *stored_;
  std::lock_guard<std::mutex> lock(cache.mutex);
  if (!cache.values || cache.graph.lock() != graph || cache.database != database) {
    const auto started = std::chrono::steady_clock::now();
    cache.values = detail::read_stored_values(*graph->graph, database, metadata());
    cache.graph = graph;
    cache.database = database;
    if (verbose && (cache.values->has_database || cache.values->index.value_count() > 0)) {
      const values::ValueIndex& index = cache.values->index;
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
      console().line("Indexed " + std::to_string(index.value_count()) + " stored values of " +
                     std::to_string(index.columns().size()) + " columns in " + std::to_string(ms.count()) +
                     " ms (" + std::to_string((cache.values->memory_bytes() + 1023) / 1024) + " KiB)");
    }
  }
  return cache.values;
}

const linking::Index& KnowledgeGraph::link_index() const {
  // Built on first use: a service in the default mode never needs it. A
  // failed build leaves the flag unset, so the next call tries again.
  std::call_once(link_once_,
                 [this] { link_index_ = std::make_shared<const linking::Index>(*graph, related_terms); });
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

// Value matches sure enough to choose the table that stores the value: a
// phrase of several words (even as part of a longer value: "harbour bridge"
// in 'Harbor Bridge Rehabilitation'), a code, or one word that names no table
// or column and no table's description uses (a schema word such as
// "critical" names a column, not a value; a column's description listing
// its values does not make them schema words).
// A code is a phrase with digits, or a whole value the question writes in
// capitals ("MSA" for the project code 'MSA', even where a description
// quotes it as an example), or the initials of one ("LTIs").
constexpr double kValueTableScore = 0.6;
constexpr double kPhraseTableScore = 0.45;
constexpr double kCodeTableScore = 0.35;
constexpr std::size_t kMaxValueHints = 8;
constexpr std::size_t kMaxListedValues = 50;

bool chooses_table(const values::Match& m, const linking::Index& index, const values::ValueIndex& stored) {
  // A code's prefix says which rows of a table the question names
  // otherwise; a word that many names of one column begin or end with
  // ("watertight" of 'Plot 3 - Watertight', ...) names their table.
  if (m.fit == values::Fit::kPrefix)
    return std::all_of(m.phrase.begin(), m.phrase.end(), [](char c) { return c >= 'a' && c <= 'z'; }) &&
           !index.is_name_word(m.phrase) && !index.is_table_word(m.phrase);
  const std::vector<std::string> words = linking::split_words(m.phrase);
  if (words.size() > 1 && m.score >= kPhraseTableScore) return true;
  const bool digits = std::any_of(m.phrase.begin(), m.phrase.end(), [](char c) { return c >= '0' && c <= '9'; });
  // A code of letters and digits that a few longer values hold ("BL0" of
  // 'BL0 Build area plan') is theirs, though it is one word of several.
  const bool letters = std::any_of(m.phrase.begin(), m.phrase.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
  if (digits && letters && m.phrase.find(' ') == std::string::npos && m.score >= kCodeTableScore) return true;
  if (m.score < kValueTableScore) return false;
  // In capitals, or an acronym's plural ("LTIs") read as its initials.
  std::string_view upper = m.phrase;
  if (m.fit == values::Fit::kFuzzy && upper.size() > 3 && upper.back() == 's') upper.remove_suffix(1);
  const bool capitals = m.fit != values::Fit::kPartial && words.size() == 1 && upper.size() >= 2 &&
                        std::all_of(upper.begin(), upper.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
  const bool code = digits || capitals;
  if (code || words.size() != 1) return code;
  // A value spelt as stored may be a word a column's description uses to
  // explain its values ("null while in draft"); a misspelt one may not, nor
  // one that other values hold as written ("easter" is no misspelt
  // 'Eastern' where an 'Easter weekend' is stored).
  const std::string& w = words.front();
  if (m.fit == values::Fit::kExact) return !index.is_name_word(w) && !index.is_table_word(w);
  if (m.variant) return !index.is_table_word(w);
  return !index.is_schema_word(w) && !(m.fit == values::Fit::kFuzzy && stored.holds_word(w));
}

// One word of a longer value ("crane" of 'Crawler Crane 80t', "hospital" of
// 'Riverside Hospital Extension') chooses the table when the word is rare
// among the stored values (its score says so), a word of letters that no
// table's name or description uses (a column's description explaining its
// codes may), and it reads clearly best there: a different value of
// another table it names scores below kWordClearShare of this one.
constexpr double kWordTableScore = 0.42;
constexpr double kWordClearShare = 0.9;
constexpr double kMentionShare = 0.6;
constexpr std::size_t kWordMinLetters = 4;

// A word of six letters or more read as a stored word one edit away
// ("tunnell" for 'Tunnel') is judged by its score before the edit's cost.
constexpr std::size_t kWordEditedMinLetters = 6;
constexpr double kWordEditCost = 0.85;

// The tables a word of a longer value may choose: the value's own table
// when the word reads clearly best there, or, when values of other tables
// read about as well ("crane" of a crane and of a hazard 'Crane lift in high
// winds'), each of their tables, for the linking to choose the one that
// joins the tables the question names; nothing when the word is not evidence
// enough.
struct WordReadings {
  std::vector<std::string> tables;
  bool sure = false;  // one table, read well enough to be chosen outright
};

// Whether the column a match was read in names its table's rows (a name,
// code or title), and whether it holds a person of its row (an owner).
bool names_rows(const values::Match& m, const values::ValueIndex& values, const linking::Index& index) {
  const values::ColumnRef& c = values.columns()[m.column];
  return index.names_rows(c.table, c.column);
}
bool holds_person(const values::Match& m, const values::ValueIndex& values, const linking::Index& index) {
  const values::ColumnRef& c = values.columns()[m.column];
  return index.holds_person(c.table, c.column);
}

WordReadings word_table_readings(const values::Match& m, const std::vector<values::Match>& matches,
                                 const values::ValueIndex& values, const linking::Index& index) {
  if (m.fit != values::Fit::kPartial) return {};
  const std::vector<std::string> words = linking::split_words(m.phrase);
  if (words.size() != 1 || text::length(words.front()) < kWordMinLetters || index.is_table_word(words.front()))
    return {};
  const std::vector<std::string> stored = linking::split_words(m.value);
  const bool edited = std::find(stored.begin(), stored.end(), words.front()) == stored.end();
  const double needed = edited && text::length(words.front()) >= kWordEditedMinLetters
                            ? kWordTableScore * kWordEditCost
                            : kWordTableScore;
  // A word spelt as stored that several values share ("crane" of two
  // cranes) scores lower; it may still name the table that joins the
  // question's other tables.
  const bool weak = m.score < needed;
  if (weak && edited) return {};
  if (std::any_of(words.front().begin(), words.front().end(), [](char c) { return c >= '0' && c <= '9'; }))
    return {};
  const std::string& table = values.columns()[m.column].table;
  // The same value stored in another table (a WBS root named after its
  // project) names the same thing there: no doubt, and that table is chosen
  // as well.
  std::vector<std::string> tables{table};
  // A value that names its row (a project's name) is read before one that
  // merely mentions the word (the lines a closure blocks).
  const bool naming = values.columns()[m.column].referenced && names_rows(m, values, index);
  for (const values::Match& o : matches) {
    const std::string& other = values.columns()[o.column].table;
    if (o.fit == values::Fit::kPrefix || o.begin >= m.end || o.end <= m.begin || other == table ||
        o.score < kWordClearShare * m.score ||
        o.value == m.value || (naming && !names_rows(o, values, index)))
      continue;
    if (std::find(tables.begin(), tables.end(), other) == tables.end()) tables.push_back(other);
  }
  std::sort(tables.begin() + 1, tables.end());
  return {std::move(tables), !weak};
}

const std::string* text_attr(const Record& attrs, std::string_view key) {
  const Value* v = attrs.find(key);
  return v && v->is_text() ? &v->as_text() : nullptr;
}

std::string text_or_empty(const Record& attrs, std::string_view key) {
  const std::string* t = text_attr(attrs, key);
  return t ? *t : std::string();
}

// What the AI should know beyond the tables and columns: the stored values
// the question names, every value of the short-listed columns, the terms
// it uses, the most similar example queries and how the database writes
// its SQL and dates.
RecordPtr hints_record(const Graph& graph, const linking::Result& result,
                       const std::vector<values::Match>& matches, const detail::StoredValues* stored,
                       const std::vector<std::string>& table_names) {
  auto values_list = make_list();
  auto listed = make_record();
  if (stored) {
    const values::ValueIndex& index = stored->index;
    std::unordered_set<std::string> given;
    for (const values::Match& m : matches) {
      const values::ColumnRef& c = index.columns()[m.column];
      if (std::find(table_names.begin(), table_names.end(), c.table) == table_names.end()) continue;
      if (!given.insert(c.table + "." + c.column + "\n" + m.value).second) continue;
      if (values_list->size() >= kMaxValueHints) break;
      auto hint = make_record(Record{
          {"column", c.table + "." + c.column},
          {"value", m.value},
          {"phrase", m.phrase},
          {"fit", std::string(values::fit_name(m.fit))},
      });
      // The row's code, which a statement may compare instead.
      if (m.fit != values::Fit::kPrefix)
        if (const std::string* code = stored->row_code(m.column, m.value)) {
          hint->set("code_column", Value(c.table + "." + stored->row_codes[m.column].column));
          hint->set("code", Value(*code));
        }
      values_list->emplace_back(std::move(hint));
    }
    // A place's names say where a row is; all of them say nothing more.
    const std::string place =
        result.place_table ? std::string(node_ids::name_of(graph.id(*result.place_table), node_ids::kTable)) : "";
    for (const Graph::Index n : result.listed_columns) {
      const std::string_view id = graph.id(n);
      const std::string name = node_ids::name_of(id, node_ids::kColumn);
      const std::size_t dot = name.find('.');
      if (dot == std::string::npos || (!place.empty() && name.substr(0, dot) == place)) continue;
      const std::int64_t i = index.find(name.substr(0, dot), name.substr(dot + 1));
      if (i < 0 || !index.listed(static_cast<std::uint32_t>(i))) continue;
      const auto& all = index.values(static_cast<std::uint32_t>(i));
      if (all.empty() || all.size() > kMaxListedValues) continue;
      listed->set(name, Value(text_list(all)));
    }
  }
  auto terms = make_list();
  for (const Graph::Index n : result.terms) {
    const Record& attrs = graph.attrs(n);
    terms->emplace_back(make_record(Record{
        {"term", text_or_empty(attrs, "name")},
        {"definition", text_or_empty(attrs, "description")},
    }));
  }
  auto examples = make_list();
  for (const Graph::Index n : result.examples) {
    const Record& attrs = graph.attrs(n);
    const std::string* query = text_attr(attrs, "query");
    if (!query) continue;
    examples->emplace_back(make_record(Record{
        {"description", text_or_empty(attrs, "description")},
        {"sql", text::join(text::split_whitespace(*query), " ")},
    }));
  }
  auto record = make_record(Record{
      {"values", values_list},
      {"column_values", listed},
      {"terms", terms},
      {"examples", examples},
  });
  if (stored && stored->has_database) {
    auto dialect = make_record(Record{{"name", Value(stored->dialect)}});
    if (!stored->date_form.empty()) dialect->set("dates", Value(stored->date_form));
    record->set("dialect", Value(dialect));
  }
  return record;
}

std::vector<std::string> ids(const Graph& graph, const std::vector<Graph::Index>& nodes) {
  std::vector<std::string> out;
  out.reserve(nodes.size());
  for (const Graph::Index n : nodes) out.emplace_back(graph.id(n));
  return out;
}

}  // namespace

LinkedContext link_context(const AtlanorService& service, const KnowledgeGraphPtr& kg,
                           const std::string& question, const Understanding& understanding,
                           bool from_ai, const ChatInput* chat) {
  const Graph& graph = *kg->graph;
  const linking::Index& index = kg->link_index();
  linking::Query query;
  query.question = question;
  if (from_ai) query.keywords = ai_keywords(understanding.keywords);
  if (chat && chat->previous_sql) query.previous_sql = *chat->previous_sql;

  // Stored values the question names lead to the tables that hold them.
  const std::shared_ptr<const StoredValues> stored = service.stored_values(kg);
  std::vector<values::Match> matches;
  if (stored->index.value_count() > 0) matches = stored->index.match(question);
  // A code's meaning of one word that the schema's names use ("task" of
  // 'TK (task)' where the tasks have a table) means what the schema means.
  std::erase_if(matches, [&](const values::Match& m) {
    if (!m.meaning || m.phrase.find(' ') != std::string::npos) return false;
    const std::string word = text::lower(m.phrase);
    return index.is_name_word(word) || index.is_table_word(word);
  });
  auto add_new = [](auto& list, auto item) {
    if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(std::move(item));
  };
  // A person named whole where a row is named after them ('Mei Chen
  // (Architect)' of the resources) and also where a row merely holds them
  // (a risk's owner, a note's author) is that row: the others choose nothing.
  std::vector<bool> mention(matches.size(), false);
  auto column_of = [&](const values::Match& m) -> const values::ColumnRef& {
    return stored->index.columns()[m.column];
  };
  auto names_rows = [&](const values::Match& m) { return detail::names_rows(m, stored->index, index); };
  auto holds_person = [&](const values::Match& m) { return detail::holds_person(m, stored->index, index); };
  for (std::size_t i = 0; i < matches.size(); ++i) {
    if (matches[i].fit != values::Fit::kExact || holds_person(matches[i]) || !names_rows(matches[i])) continue;
    for (std::size_t j = 0; j < matches.size(); ++j)
      if (j != i && matches[j].fit == values::Fit::kExact && matches[j].begin == matches[i].begin &&
          matches[j].end == matches[i].end && holds_person(matches[j]))
        mention[j] = true;
  }
  // One word of a longer value that names a row of a table others refer
  // to ("kettleby" of the scheme 'Kettleby Resignalling Phase 2') is read
  // there, before values of other tables that merely mention it ('Up and
  // Down Kettleby' lines), even scoring a little below them.
  for (std::size_t i = 0; i < matches.size(); ++i) {
    const values::Match& n = matches[i];
    if (n.fit != values::Fit::kPartial || n.phrase.find(' ') != std::string::npos || !column_of(n).referenced ||
        !names_rows(n))
      continue;
    for (std::size_t j = 0; j < matches.size(); ++j) {
      const values::Match& o = matches[j];
      if (o.fit == values::Fit::kPartial && o.begin == n.begin && o.end == n.end &&
          column_of(o).table != column_of(n).table && !names_rows(o) && n.score >= kMentionShare * o.score)
        mention[j] = true;
    }
  }
  for (std::size_t k = 0; k < matches.size(); ++k) {
    const values::Match& m = matches[k];
    if (mention[k]) continue;
    if (chooses_table(m, index, stored->index)) {
      add_new(query.value_tables, stored->index.columns()[m.column].table);
      continue;
    }
    auto [readings, sure] = word_table_readings(m, matches, stored->index, index);
    if (sure && readings.size() == 1) {
      add_new(query.value_tables, readings.front());
    } else if (!readings.empty()) {
      std::sort(readings.begin(), readings.end());
      add_new(query.value_table_choices, std::move(readings));
    }
  }
  // An activity named right after "before" or "after" ("what has to finish
  // before OYD-0180 can start", "what comes after the reaming") asks for
  // its logic: its predecessors or its successors.
  for (const values::Match& m : matches) {
    if (mention[&m - matches.data()]) continue;
    const std::vector<std::string> words = index.table_words(column_of(m).table);
    if (words.empty()) continue;
    const std::string head = linking::stem(words.back());
    if (head != "activ" && head != "task") continue;
    std::vector<std::string> said = linking::split_words(std::string_view(question).substr(0, m.begin));
    while (!said.empty() && (said.back() == "the" || said.back() == "a" || said.back() == "an")) said.pop_back();
    if (said.empty()) continue;
    if (said.back() == "before") add_new(query.keywords, std::string("predecessor"));
    else if (said.back() == "after") add_new(query.keywords, std::string("successor"));
  }
  // The same whole value stored in several tables, named exactly.
  for (std::size_t i = 0; i < matches.size(); ++i) {
    if (matches[i].fit != values::Fit::kExact || mention[i]) continue;
    std::vector<std::string> group{stored->index.columns()[matches[i].column].table};
    for (std::size_t j = 0; j < matches.size(); ++j) {
      const values::Match& o = matches[j];
      if (mention[j]) continue;
      const std::string& table = stored->index.columns()[o.column].table;
      if (o.fit == values::Fit::kExact && o.begin == matches[i].begin && o.end == matches[i].end &&
          text::lower(o.value) == text::lower(matches[i].value) &&
          std::find(group.begin(), group.end(), table) == group.end())
        group.push_back(table);
    }
    if (group.size() < 2) continue;
    std::sort(group.begin(), group.end());
    add_new(query.value_table_groups, std::move(group));
  }
  const linking::Result result = index.link(query);

  LinkedContext out;
  std::vector<std::string> table_names;
  for (const auto& t : result.tables) {
    out.tables.emplace_back(graph.id(t.node));
    table_names.push_back(node_ids::name_of(graph.id(t.node), node_ids::kTable));
  }
  // The statement guessed below joins the chosen tables only.
  const std::vector<std::string> chosen_tables = out.tables;
  for (const auto& context : {result.project_table, result.place_table, result.activity_table, result.crew_table})
    if (context) {
      out.tables.emplace_back(graph.id(*context));
      table_names.push_back(node_ids::name_of(graph.id(*context), node_ids::kTable));
    }
  for (const Graph::Index lookup : result.lookup_tables) {
    out.tables.emplace_back(graph.id(lookup));
    table_names.push_back(node_ids::name_of(graph.id(lookup), node_ids::kTable));
  }
  out.columns = ids(graph, result.listed_columns);
  out.sql_hints = hints_record(graph, result, matches, stored.get(), table_names);
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
      sql = service.generate_sql(chosen_tables, nullptr);
    }
    out.sql = adapt_template_sql(text, sql);
  }
  return out;
}

}  // namespace detail

}  // namespace corvalt::atlanor
