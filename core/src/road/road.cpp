// The road of one question (road.hpp).
#include "corvalt/road.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "../atlanor/stored_values.hpp"
#include "../quillon/internal.hpp"
#include "../value_checks.hpp"
#include "corvalt/node_ids.hpp"
#include "corvalt/regex.hpp"
#include "corvalt/templates.hpp"
#include "corvalt/text.hpp"
#include "corvalt/values.hpp"

namespace corvalt::road {

std::string_view source_name(Source source) noexcept {
  switch (source) {
    case Source::kNone: return "none";
    case Source::kHistory: return "history";
    case Source::kTemplate: return "template";
    case Source::kAi: return "ai";
    case Source::kCorrectedAi: return "corrected_ai";
    case Source::kFixLog: return "fix_log";
  }
  return "none";
}

namespace {

// A text as an SQL string: single quotes, inner single quotes doubled.
std::string quoted_text(std::string_view value) { return "'" + text::replace_all(value, "'", "''") + "'"; }
// A name that reads the same unquoted: letters, digits and underscores.
bool plain_name(std::string_view name) {
  return !name.empty() && !(name[0] >= '0' && name[0] <= '9') &&
         std::all_of(name.begin(), name.end(), [](char c) {
           return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
         });
}

// Whether lower-cased SQL writes the identifier as a whole name.
bool mentions_identifier(const std::string& sql, const std::string& name) {
  auto name_char = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  for (std::size_t at = sql.find(name); at != std::string::npos; at = sql.find(name, at + 1))
    if ((at == 0 || !name_char(sql[at - 1])) && (at + name.size() >= sql.size() || !name_char(sql[at + name.size()])))
      return true;
  return false;
}

// A stored value the question names is a literal of a template from this
// score: a word that alone singles out a name of the schema's things
// ("Fechenheim" of 'Fechenheim Hall 4 MEP Fit-out') scores about 0.54.
constexpr double kTemplateValueScore = 0.5;
// ... or from this one, for a part of a value that an earlier question's
// statement writes as a pattern ("Westland" of LIKE '%Westland%'), or a
// first name one person alone has.
constexpr double kWrittenValueScore = 0.35;
// ... or, where the other question names a value of the same table, from
// this one ("the array cable package" of 'Inter-Array Cables 66 kV' scores
// about 0.46), and for a word that also names a table or column.
constexpr double kLooseValueScore = 0.4;

// How many earlier questions an unanswered question is offered.
constexpr std::size_t kSuggestedQuestions = 3;
// A template source is refilled only when it shares at least this share of
// its content words with the question (a cheap filter before the careful
// match of templates.hpp, which reads shorthand and names that these words
// do not: "crit" shares nothing with "critical" here).
constexpr double kTemplateWordShare = 0.1;

// Counts the AI requests made for one question and reports each; the
// services see the host's object through it.
class CountingAi : public AiService {
 public:
  CountingAi(std::shared_ptr<AiService> inner, const Events& events) : inner_(std::move(inner)), events_(events) {}
  bool truthy() const override { return inner_->truthy(); }
  bool has_attribute(std::string_view name) const override { return inner_->has_attribute(name); }
  std::string run(const std::string& prompt) override {
    report("understanding the question");
    return inner_->run(prompt);
  }
  void clear_history() override { inner_->clear_history(); }
  std::string get_response_sync(const std::string& prompt) override {
    report(correcting ? "correction try " + std::to_string(++corrections) : std::string("writing SQL"));
    return inner_->get_response_sync(prompt);
  }
  int requests = 0;
  int corrections = 0;
  bool correcting = false;  // the requests are correction tries

 private:
  void report(const std::string& what) {
    ++requests;
    if (events_) events_(Event{Event::Kind::kAiRequest, "AI request " + std::to_string(requests) + ": " + what});
  }
  std::shared_ptr<AiService> inner_;
  const Events& events_;
};

// Puts the counting wrapper in front of both services' AI for one question.
class AiSwap {
 public:
  AiSwap(std::shared_ptr<AiService>& slot_a, std::shared_ptr<AiService>& slot_b, std::shared_ptr<CountingAi> ai)
      : a_(slot_a), b_(slot_b), old_a_(slot_a), old_b_(slot_b) {
    if (old_a_) a_ = ai;
    if (old_b_) b_ = ai;
  }
  ~AiSwap() {
    a_ = old_a_;
    b_ = old_b_;
  }

 private:
  std::shared_ptr<AiService>& a_;
  std::shared_ptr<AiService>& b_;
  std::shared_ptr<AiService> old_a_, old_b_;
};

std::vector<std::string> table_names(const Record& context) {
  std::vector<std::string> out;
  const Value* objects = context.find("database_objects");
  if (!objects || !objects->is_record()) return out;
  const Value* tables = objects->as_record().find("tables");
  if (!tables || !tables->is_list()) return out;
  for (const Value& t : tables->as_list())
    if (t.is_record()) out.push_back(text_or_empty(t.as_record(), "name"));
  return out;
}

linking::Strength strength_of(const Record& context) {
  const Value* linking = context.find("linking");
  if (!linking || !linking->is_record()) return linking::Strength::kNone;
  const std::string match = text_or_empty(linking->as_record(), "match");
  if (match == "strong") return linking::Strength::kStrong;
  if (match == "weak") return linking::Strength::kWeak;
  return linking::Strength::kNone;
}

std::string format_number(double v) {
  char buf[64];
  if (std::fabs(v) < 1e15 && v == std::floor(v))
    std::snprintf(buf, sizeof buf, "%.0f", v);
  else
    std::snprintf(buf, sizeof buf, "%.4g", v);
  return buf;
}

// A reply's statement as the road runs it. The reply parser finds a bare
// statement only when it begins with SELECT; one that begins with WITH is
// taken whole, with the explanation after it, which is no SQL.
std::string without_explanation(std::string sql) {
  static const Regex marker("\\s*EXPLANATION:", Regex::kIgnoreCase);
  RegexMatch m;
  if (marker.search(sql, m) && m.start() > 0) sql.resize(m.start());
  return sql;
}

// The statement of a reply whose parsed statement dropped its WITH head:
// the parser takes a bare statement from the first line that begins with
// SELECT, so "WITH c AS (...)\nSELECT ..." came out as the SELECT alone.
// The head is found in front of the statement in the (cleaned) reply.
std::string with_its_head(const std::string& sql, const std::string& reply) {
  // "WITH name AS (" or "WITH RECURSIVE name(a, b) AS (": prose that says
  // "with" is no head.
  static const Regex head("\\bWITH\\s+(?:RECURSIVE\\s+)?[\\w\"`\\[\\]]+\\s*(?:\\([^)]*\\)\\s*)?AS\\s*\\(",
                          Regex::kIgnoreCase);
  if (sql.empty() || reply.empty()) return sql;
  const std::size_t at = reply.find(sql);
  if (at == std::string::npos || at == 0) return sql;
  const std::string_view before(reply.data(), at);
  std::optional<std::size_t> start;
  for (const RegexMatch& m : head.find_all(before)) {
    start = m.start();
    break;  // the first WITH: the statement's own head
  }
  if (!start) return sql;
  return reply.substr(*start, at - *start + sql.size());
}

// Whether the trade's thesaurus says a stem for one of `others` ("task" for "activ").
bool says_for(const std::string& said, const std::vector<std::string>& others) {
  static const auto kGroups = [] {
    std::unordered_map<std::string, std::vector<std::vector<std::string>>> out;
    for (const linking::Synonyms& group : linking::thesaurus()) {
      std::vector<std::string> stems;
      for (const std::string_view w : group)
        if (!w.empty() && w.find(' ') == std::string_view::npos) stems.push_back(linking::stem(w));
      for (const std::string& st : stems) out[st].push_back(stems);
    }
    return out;
  }();
  const auto it = kGroups.find(said);
  if (it == kGroups.end()) return false;
  for (const std::vector<std::string>& group : it->second)
    for (const std::string& st : group)
      if (st != said && std::find(others.begin(), others.end(), st) != others.end()) return true;
  return false;
}

// The stems of a question's content words, each word of the trade's
// thesaurus as its group's first ("kicks" as "start"), for the cheap filter
// below: synonyms share no stems.
std::vector<std::string> content_stems(std::string_view text) {
  static const std::unordered_map<std::string, std::string> kGroupOf = [] {
    std::unordered_map<std::string, std::string> out;
    for (const linking::Synonyms& group : linking::thesaurus()) {
      std::string first;
      for (const std::string_view w : group) {
        if (w.empty() || w.find(' ') != std::string_view::npos) continue;
        if (first.empty()) first = linking::stem(w);
        out.emplace(linking::stem(w), first);
      }
    }
    return out;
  }();
  std::vector<std::string> out;
  for (const linking::Word& w : linking::content_words(text)) {
    const auto it = kGroupOf.find(w.stem);
    out.push_back(it == kGroupOf.end() ? w.stem : it->second);
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

// Whether two stems may be one word, one of them misspelt: they begin
// alike for five letters and 70 % of the shorter ("activit" of "activites"
// and "activ"; "predecesor" and "predecessor").
bool may_be_misspelt(std::string_view a, std::string_view b) {
  const std::size_t shorter = std::min(a.size(), b.size());
  std::size_t common = 0;
  while (common < shorter && a[common] == b[common]) ++common;
  return common >= 5 && 10 * common >= 7 * shorter;
}

// The share of stems `a` and `b` have in common; a stem of `a` in `loose`
// (a word the schema does not use, maybe misspelt) also counts for a stem
// of `b` it may be.
double shared_share(const std::vector<std::string>& a, const std::vector<std::string>& b,
                    const std::vector<std::string>& loose = {}) {
  if (a.empty() || b.empty()) return 0;
  std::size_t shared = 0;
  for (const auto& w : a) {
    if (std::binary_search(b.begin(), b.end(), w)) {
      ++shared;
    } else if (std::binary_search(loose.begin(), loose.end(), w)) {
      shared += std::any_of(b.begin(), b.end(), [&](const std::string& x) { return may_be_misspelt(w, x); });
    }
  }
  return static_cast<double>(shared) / static_cast<double>(std::max(a.size(), b.size()));
}

// The question that opens an example's description, when the rest of the
// description only explains it: "Show all projects with negative float:
// projects having ...", a head before a colon; "List relationships with lag
// over 44 days, with predecessor and successor activities", a head before
// the columns it adds ("with ...") or the order it gives ("... first").
// Never for a statement that limits its rows: a tail may be what says so.
std::optional<std::string> description_head(const std::string& description, const std::string& sql) {
  static const Regex limit("\\bLIMIT\\b", Regex::kIgnoreCase);
  RegexMatch m;
  if (limit.search(sql, m)) return std::nullopt;
  std::size_t cut = description.find(": ");
  if (cut == std::string::npos) {
    cut = description.rfind(", ");
    if (cut == std::string::npos) return std::nullopt;
    std::string tail = text::lower(text::strip(std::string_view(description).substr(cut + 2)));
    while (!tail.empty() && (tail.back() == '.' || tail.back() == '!' || tail.back() == '?')) tail.pop_back();
    if (!tail.starts_with("with ") && !tail.ends_with(" first") && !tail.ends_with(" last")) return std::nullopt;
  }
  std::string head(text::strip(std::string_view(description).substr(0, cut)));
  if (content_stems(head).size() < 2) return std::nullopt;
  return head;
}

}  // namespace

// The statements a question may be refilled from: the history's questions
// and the document's example queries, with their words, made once per
// history and graph.
struct Road::Templates {
  const void* history = nullptr;
  const void* graph = nullptr;
  struct Entry {
    templates::Source source;
    std::vector<std::string> stems;
    bool values_found = false;
    std::string shown;  // what the answer names as its origin: the question or description as written
  };
  std::vector<Entry> entries;
  templates::Wording wording;  // the schema's names, for the thesaurus
};

Assistant::Assistant(const Setup& setup, Console console, quillon::Unlocker unlocked,
                     std::shared_ptr<AiService> ai, std::shared_ptr<Models> models)
    : schema(console), sql(console, std::move(unlocked)), history(console) {
  schema.ai = ai;
  schema.models = std::move(models);
  sql.ai = std::move(ai);
  sql.limits = setup.limits;
  sql.read_only = setup.read_only;
  schema.verbose = sql.verbose = history.verbose = setup.verbose;
  std::error_code error;
  const bool server = quillon::is_server_target(setup.database);
  if (setup.database.find('\0') != std::string::npos ||
      (!server && !std::filesystem::is_regular_file(setup.database, error)))
    throw FileNotFoundError("Database file not found: " + setup.database);
  schema.linking_mode = setup.linking;
  if (setup.linking == linking::Mode::kLexical) schema.database = setup.database;
  schema.load_metadata(setup.metadata);
  schema.build_graph();
  if (server) {
    // A server that cannot be reached is an error here, with libpq's reason.
    quillon::DatabasePtr db;
    sql.unlocked_call([&] { db = quillon::open_database(setup.database); });
    sql.database_path = db->path();
    sql.set_conn(std::move(db));
  } else {
    sql.open_initial(setup.database);
  }
  if (setup.history) history.load_history(*setup.history);
  road_ = std::make_unique<Road>(schema, sql, setup.history ? &history : nullptr);
}

Road::Road(atlanor::AtlanorService& schema, quillon::Quillon& sql, echovane::EchovaneService* history)
    : schema_(schema), sql_(sql), history_(history), templates_(std::make_unique<Templates>()) {}
Road::~Road() = default;

std::string summarise(const quillon::ResultTable& table) {
  std::string out = quillon::generate_result_summary(table);
  const std::size_t width = table.columns.size();
  for (std::size_t c = 0; c < width; ++c) {
    double low = 0, high = 0, sum = 0;
    std::size_t n = 0;
    bool numeric = true;
    for (std::size_t r = 0; r < table.row_count && numeric; ++r) {
      const Value& v = table.at(r, c);
      if (v.is_null()) continue;
      double x;
      if (v.is_int())
        x = static_cast<double>(v.as_int());
      else if (v.is_real())
        x = v.as_real();
      else {
        numeric = false;
        break;
      }
      low = n ? std::min(low, x) : x;
      high = n ? std::max(high, x) : x;
      sum += x;
      ++n;
    }
    if (!numeric || n < 2) continue;
    out += "\n" + table.columns[c] + ": min " + format_number(low) + ", max " + format_number(high) +
           ", mean " + format_number(sum / static_cast<double>(n));
  }
  return out;
}

RecordPtr answer_record(const Answer& a) {
  auto texts = [](const std::vector<std::string>& items) {
    auto list = make_list();
    for (const auto& s : items) list->emplace_back(s);
    return Value(list);
  };
  auto rows = make_list();
  const std::size_t width = a.table.columns.size();
  rows->reserve(a.table.row_count);
  for (std::size_t r = 0; r < a.table.row_count; ++r) {
    auto row = make_list();
    row->reserve(width);
    for (std::size_t c = 0; c < width; ++c) row->push_back(a.table.at(r, c));
    rows->emplace_back(row);
  }
  auto candidates = make_list();
  for (const Candidate& c : a.candidates)
    candidates->emplace_back(make_record(Record{
        {"source", std::string(source_name(c.source))},
        {"sql", c.sql},
        {"origin", c.origin.empty() ? Value() : Value(c.origin)},
        {"success", c.success},
        {"row_count", c.row_count},
        {"error", c.error.empty() ? Value() : Value(c.error)},
        {"chosen", c.chosen},
    }));
  return make_record(Record{
      {"question", a.question},
      {"answered", a.answered},
      {"source", std::string(source_name(a.source))},
      {"sql", a.answered ? Value(a.sql) : Value()},
      {"explanation", a.explanation},
      {"columns", texts(a.table.columns)},
      {"rows", Value(rows)},
      {"row_count", a.table.row_count},
      {"summary", a.summary},
      {"reason", a.reason},
      {"candidates", Value(candidates)},
      {"linking", std::string(linking::strength_name(a.linking))},
      {"suggestions", Value(make_record(Record{
                          {"tables", texts(a.suggested_tables)},
                          {"questions", texts(a.suggested_questions)},
                          {"sql", a.suggested_sql ? Value(*a.suggested_sql) : Value()},
                      }))},
      {"ai_requests", a.ai_requests},
      {"error", a.error.empty() ? Value() : Value(a.error)},
  });
}

Answer Road::ask(const Question& q, const Events& events) {
  auto emit = [&](Event::Kind kind, std::string text) {
    if (events) events(Event{kind, std::move(text)});
  };
  Answer answer;
  answer.question = q.text;

  const bool have_ai = sql_.ai && sql_.ai->truthy();
  auto counting = have_ai ? std::make_shared<CountingAi>(sql_.ai, events) : nullptr;
  std::optional<AiSwap> swap;
  if (counting) swap.emplace(sql_.ai, schema_.ai, counting);

  // A follow-up that refers back to the statement before ("which of those
  // are critical?") means something else after each statement: no earlier
  // question or template answers it, whatever its words.
  const bool follow_up = q.previous_sql && !q.previous_sql->empty() && linking::refers_back(q.text);

  // 1. The same question asked before, or one like it.
  RecordPtr same, similar;
  if (history_ && history_->history()) {
    emit(Event::Kind::kHistory, "looking for an earlier question");
    if (const auto score = history_->match_score(q.text)) {
      RecordPtr match = history_->find_strong_match(q.text);
      if (match && *score >= 1.0 && !follow_up)
        same = match;
      else
        similar = match;
    }
  }

  // 2. The context record.
  emit(Event::Kind::kContext, "reading the question against the schema");
  atlanor::ChatInput chat{q.chat, q.previous_sql};
  RecordPtr context = schema_.process_query(q.text, "json", chat);
  answer.context = context;
  answer.linking = strength_of(*context);
  answer.suggested_tables = table_names(*context);

  std::vector<std::pair<Candidate, quillon::ResultTable>> tried;
  auto run = [&](Source source, const std::string& sql, const std::string& origin) {
    emit(Event::Kind::kRunning, "running the " + std::string(source_name(source)) + " statement");
    Record query{{"sql", Value(sql)}};
    quillon::ResultTable rows;
    sql_.test_query(query, rows);
    Candidate c{source, sql, origin, quillon::succeeded(query), rows.row_count,
                quillon::succeeded(query) ? std::string() : text_or_empty(query, "execution_error"), false};
    tried.emplace_back(std::move(c), std::move(rows));
    return tried.size() - 1;
  };

  // 3. The AI's statement, corrected when it fails.
  std::optional<std::size_t> ai_pick;
  if (have_ai) {
    if (similar && !same) {
      // A question that merely shares words is a different question: the
      // AI sees it as a similar one, it does not compete.
      context->set("previously_run_query",
                   Value(make_record(Record{{"question", similar->get("question", Value(""))},
                                            {"sql", similar->get("sql", Value(""))}})));
    }
    counting->correcting = false;
    RecordPtr generated = sql_.generate_sql(q.text, *context);
    if (const Value* error = generated->find("error")) {
      answer.error = to_str(*error);
    } else {
      const bool reused = text_or_empty(*generated, "source") == "reused_from_failed_json";
      answer.explanation = text_or_empty(*generated, "explanation");
      const std::string statement = without_explanation(
          reused ? text_or_empty(*generated, "sql")
                 : with_its_head(text_or_empty(*generated, "sql"), text_or_empty(*generated, "raw_ai_response")));
      const std::size_t i = run(reused ? Source::kFixLog : Source::kAi, statement, "");
      if (tried[i].first.success) {
        ai_pick = i;
      } else {
        counting->correcting = true;
        Record failed = *generated;
        failed.set("sql", Value(tried[i].first.sql));
        failed.set("success", Value(false));
        failed.set("execution_error", Value(tried[i].first.error));
        RecordPtr retry = sql_.try_fix_failed_query(failed, q.text, *context);
        const Value* best = retry->find("best_attempt");
        if (best && best->is_record() && !best->as_record().empty()) {
          const std::string fixed = without_explanation(text_or_empty(best->as_record(), "sql"));
          if (!fixed.empty() && fixed != tried[i].first.sql) {
            const std::size_t k = run(Source::kCorrectedAi, fixed, "");
            if (tried[k].first.success) ai_pick = k;
          }
        }
      }
    }
    answer.ai_requests = counting->requests;
  }

  // 4. The same question asked before.
  std::optional<std::size_t> history_pick;
  if (same) {
    const std::size_t i = run(Source::kHistory, text_or_empty(*same, "sql"), text_or_empty(*same, "question"));
    if (tried[i].first.success) history_pick = i;
  }

  // 5. A template: an earlier question or an example whose statement takes
  // this question's values.
  std::optional<std::size_t> template_pick;
  if (!ai_pick && !history_pick && !follow_up) {
    const atlanor::KnowledgeGraphPtr kg = schema_.graph();
    const auto stored = kg ? schema_.stored_values(kg) : nullptr;
    // `sql`: an earlier question's statement, which confirms a weaker
    // reading of a value it writes as the question says it ("Westland" of
    // 'Westland Valve & Actuator' in LIKE '%Westland%').
    // The stems of the words of the tables' names that hold values.
    std::vector<std::string> table_stems;
    if (kg && stored) {
      std::vector<std::string> tables;
      for (const values::ColumnRef& c : stored->index.columns()) tables.push_back(c.table);
      std::sort(tables.begin(), tables.end());
      tables.erase(std::unique(tables.begin(), tables.end()), tables.end());
      for (const std::string& t : tables)
        for (const std::string& w : kg->link_index().table_words(t)) table_stems.push_back(linking::stem(w));
      std::sort(table_stems.begin(), table_stems.end());
    }
    // The stored values this question's words read, read once.
    const std::vector<values::Match> asked_matches =
        stored && stored->index.value_count() > 0 ? stored->index.match(q.text) : std::vector<values::Match>();
    // The projects' names, read once when a question needs them.
    struct ProjectName {
      std::string name;
      const values::ColumnRef* column;
      std::vector<std::string> words;
    };
    std::optional<std::vector<ProjectName>> projects_read;
    auto project_names = [&]() -> const std::vector<ProjectName>& {
      if (!projects_read) {
        projects_read.emplace();
        const linking::Index* index = kg ? &kg->link_index() : nullptr;
        for (std::uint32_t c = 0; index && stored && c < stored->index.columns().size(); ++c) {
          const values::ColumnRef& column = stored->index.columns()[c];
          if (!index->is_projects_table(column.table) || !index->names_rows(column.table, column.column) ||
              !stored->index.listed(c))
            continue;
          for (const std::string& name : stored->index.values(c))
            projects_read->push_back(ProjectName{name, &column, linking::split_words(name)});
        }
      }
      return *projects_read;
    };
    auto named = [&](std::string_view text, std::string_view sql = {}) {
      std::vector<templates::NamedValue> out;
      if (!stored || stored->index.value_count() == 0) return out;
      const std::vector<values::Match> matches = text == q.text ? asked_matches : stored->index.match(text);
      // One word of a longer value that names a column ("finished" of the
      // constraint 'Finish On or Before'), or read as another value ("score"
      // as 'Scope'), says what the question asks about, not which value: it
      // stays a word.
      const linking::Index* names = kg ? &kg->link_index() : nullptr;
      auto names_a_column = [&](const values::Match& m) {
        // So does a stored word that is all the value and names a table
        // ("plot" of the WBS node 'Plots' beside the plots' table).
        if (m.fit == values::Fit::kExact && names && m.value.find(' ') == std::string::npos &&
            m.phrase.find(' ') == std::string::npos &&
            std::binary_search(table_stems.begin(), table_stems.end(), linking::stem(text::lower(m.phrase))))
          return true;
        // And one the trade says for the very table that stores it ("tasks"
        // of the activity type 'Task' where activities are kept).
        if (m.fit == values::Fit::kExact && names && m.value.find(' ') == std::string::npos &&
            m.phrase.find(' ') == std::string::npos) {
          const std::string said = linking::stem(text::lower(m.phrase));
          std::vector<std::string> own;
          for (const std::string& w : names->table_words(stored->index.columns()[m.column].table))
            own.push_back(linking::stem(w));
          if (says_for(said, own)) return true;
        }
        if ((m.fit != values::Fit::kPartial && m.fit != values::Fit::kFuzzy) || !names ||
            m.phrase.find(' ') != std::string::npos)
          return false;
        const std::string word = text::lower(m.phrase);
        return names->is_name_word(word) || names->is_name_word(linking::stem(word));
      };
      // A word that begins many stored names ('Cabinet%' of "cabinets")
      // says a kind of thing; the one longer value that holds it further in
      // is no more the thing named than any other.
      // A project's name is no kind, though it begins the names of its parts
      // ("Ridgeway" of 'Ridgeway DN600 Trunk Main Replacement' beside its
      // WBS 'Ridgeway main section RW1', ...).
      auto kind_word = [&](const values::Match& m) {
        const values::ColumnRef& c = stored->index.columns()[m.column];
        if (names && names->is_projects_table(c.table) && names->names_rows(c.table, c.column)) return false;
        return m.fit == values::Fit::kPartial && m.phrase.find(' ') == std::string::npos &&
               std::any_of(matches.begin(), matches.end(), [&](const values::Match& o) {
                 return o.fit == values::Fit::kPrefix && o.begin == m.begin && o.end == m.end;
               });
      };
      const std::string statement = text::lower(sql);
      auto written = [&](const values::Match& m) {
        return !statement.empty() && m.fit == values::Fit::kPartial && m.score >= kWrittenValueScore &&
               statement.find("%" + text::lower(m.phrase) + "%") != std::string::npos;
      };
      // A first name that one person alone has, wherever people are kept
      // ("Callum's risks" of 'Callum Rennie'), names that person.
      auto first_name = [&](const values::Match& m) {
        if (m.fit != values::Fit::kPartial || m.score < kWrittenValueScore || !names ||
            m.phrase.find(' ') != std::string::npos)
          return false;
        const std::string first = text::lower(m.phrase.substr(0, m.phrase.find('\''))) + " ";
        if (!text::lower(m.value).starts_with(first)) return false;
        return std::all_of(matches.begin(), matches.end(), [&](const values::Match& o) {
          if (o.begin != m.begin || o.end != m.end) return true;
          const values::ColumnRef& c = stored->index.columns()[o.column];
          if (o.value != m.value || !names->holds_person(c.table, c.column) || !stored->index.listed(o.column))
            return false;
          const std::vector<std::string>& people = stored->index.values(o.column);
          return std::count_if(people.begin(), people.end(), [&](const std::string& v) {
                   return text::lower(v).starts_with(first);
                 }) == 1;
        });
      };
      for (const values::Match& m : matches) {
        // A code read from its meaning's words ("metres" of the unit 'M')
        // is no literal the question writes: those words stay words; but a
        // kind of project that one project alone is ("the ferry" of the
        // vessel type 'RORO') names that project, by its code.
        if (m.meaning && m.fit != values::Fit::kPrefix && names) {
          const values::ColumnRef& column = stored->index.columns()[m.column];
          const std::string* code = stored->row_code(m.column, m.value);
          if (code && names->is_projects_table(column.table))
            out.push_back(templates::NamedValue{m.begin, m.end, *code, column.table,
                                                stored->row_codes[m.column].column, {}, false});
          continue;
        }
        if (m.fit == values::Fit::kPrefix || kind_word(m) || m.meaning) continue;
        const bool named = (m.score >= kTemplateValueScore || written(m) || first_name(m)) && !names_a_column(m);
        if (!named && m.score < kLooseValueScore) continue;
        const values::ColumnRef& column = stored->index.columns()[m.column];
        out.push_back(templates::NamedValue{m.begin, m.end, m.value, column.table, column.column, {}, !named});
      }
      // Of two readings in one table, the one of fewer words inside the
      // other's is a piece of it ("ridgeway" of "the ridgeway main").
      std::erase_if(out, [&](const templates::NamedValue& v) {
        return std::any_of(out.begin(), out.end(), [&](const templates::NamedValue& o) {
          return o.table == v.table && o.begin <= v.begin && o.end >= v.end && o.end - o.begin > v.end - v.begin;
        });
      });
      // Words read outright as another thing that one project's name holds
      // in a row ("the energy centre" of 'Energy Centre and Heat Network'
      // beside the place 'Energy centre'): that project, as an alternative;
      // in an earlier question, only where its statement writes the project.
      if (names) {
        const std::size_t plain = out.size();
        for (std::size_t i = 0; i < plain; ++i) {
          const templates::NamedValue v = out[i];
          if (v.weak || names->is_projects_table(v.table) || v.end <= v.begin || v.end > text.size()) continue;
          const std::vector<std::string> said = linking::split_words(text.substr(v.begin, v.end - v.begin));
          if (said.empty()) continue;
          const ProjectName* only = nullptr;
          std::size_t found = 0;
          for (const ProjectName& p : project_names())
            if (std::search(p.words.begin(), p.words.end(), said.begin(), said.end()) != p.words.end()) {
              ++found;
              only = &p;
            }
          if (found == 1 && (text == q.text || statement.find(text::lower(quoted_text(only->name))) != std::string::npos))
            out.push_back(templates::NamedValue{v.begin, v.end, only->name, only->column->table, only->column->column,
                                                {}, false, true});
        }
      }
      // In an earlier question whose statement compares a text, words that
      // one project's name alone holds in a row, where nothing else is read
      // ("neg float on theatres" of 'Main Theatres Refurbishment'): that
      // project. The statement says whether it is the row meant (below).
      // In the new question, that project as an alternative.
      const bool asked = text == q.text;
      if (names && (asked || statement.find('\'') != std::string::npos)) {
        struct Said {
          std::size_t begin, end;
          std::string word;
        };
        std::vector<Said> said;
        auto word_byte = [](char c) {
          return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 static_cast<unsigned char>(c) >= 0x80;
        };
        for (std::size_t i = 0; i < text.size();) {
          if (!word_byte(text[i])) {
            ++i;
            continue;
          }
          std::size_t j = i;
          while (j < text.size() && word_byte(text[j])) ++j;
          said.push_back(Said{i, j, text::lower(text.substr(i, j - i))});
          i = j;
        }
        const std::size_t plain = out.size();
        for (std::size_t i = 0; i < said.size();) {
          if (said[i].word.size() < 4 || linking::is_stop_word(said[i].word)) {
            ++i;
            continue;
          }
          // The longest run from here that a project's name holds, and how
          // many names hold it.
          std::size_t best = 0, holding = 0;
          const ProjectName* only = nullptr;
          for (const ProjectName& p : project_names())
            for (std::size_t at = 0; at < p.words.size(); ++at) {
              std::size_t n = 0;
              while (i + n < said.size() && at + n < p.words.size() && said[i + n].word == p.words[at + n]) ++n;
              if (n == 0 || n < best) continue;
              if (n > best) {
                best = n;
                holding = 0;
                only = nullptr;
              }
              if (only != &p) ++holding;
              only = &p;
            }
          while (best > 0 && linking::is_stop_word(said[i + best - 1].word)) --best;
          const std::size_t begin = said[i].begin, end = best ? said[i + best - 1].end : begin;
          const bool read = std::any_of(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(plain),
                                        [&](const templates::NamedValue& v) { return v.begin < end && begin < v.end; });
          if (best > 0 && holding == 1 && !read)
            out.push_back(templates::NamedValue{begin, end, only->name, only->column->table, only->column->column, {},
                                                false, asked});
          i += std::max<std::size_t>(best, 1);
        }
      }
      return out;
    };
    // An earlier question may name a row by one column ("Schiphol-Rijk")
    // where its statement compares another ("p.project_code = 'AB2'"): the
    // value it names is then the one compared, when the database holds
    // both in one row of that table ...
    auto same_row_literals = [&](templates::Source& source) {
      std::optional<std::vector<templates::ComparedText>> compared;
      const std::string sql = text::lower(source.sql);
      for (templates::NamedValue& v : source.values) {
        if (v.table.empty() || v.column.empty() || sql.find(text::lower(v.stored)) != std::string::npos) continue;
        if (!compared) compared = templates::compared_texts(source.sql);
        const templates::ComparedText* only = nullptr;
        std::size_t holding = 0;  // compared texts the row holds
        for (const templates::ComparedText& c : *compared) {
          if (c.table != text::lower(v.table) || c.column == text::lower(v.column) || !plain_name(c.column)) continue;
          if (only && only->column == c.column && only->value == c.value) continue;  // compared twice
          Record check{{"sql", Value("SELECT 1 FROM " + quillon::quote_identifier(v.table) + " WHERE " +
                                     quillon::quote_identifier(v.column) + " = " +
                                     quoted_text(v.stored) + " AND " + c.column + " = " + quoted_text(c.value) +
                                     " LIMIT 1")}};
          quillon::ResultTable found;
          sql_.test_query(check, found);
          if (quillon::succeeded(check) && found.row_count > 0) {
            only = &c;
            ++holding;
          }
        }
        // ... and the compared value stands for that name alone: a type
        // code that rows of other names share ('SWP' beside the status
        // 'Expired') is no other name of the row.
        if (holding == 1) {
          Record shared{{"sql", Value("SELECT 1 FROM " + quillon::quote_identifier(v.table) + " WHERE " +
                                      only->column + " = " + quoted_text(only->value) + " AND (" +
                                      quillon::quote_identifier(v.column) + " IS NULL OR " +
                                      quillon::quote_identifier(v.column) + " <> " + quoted_text(v.stored) +
                                      ") LIMIT 1")}};
          quillon::ResultTable found;
          sql_.test_query(shared, found);
          if (!quillon::succeeded(shared) || found.row_count > 0) holding = 0;
        }
        if (holding == 1) {
          v.read = std::move(v.stored);
          v.stored = only->value;
          v.column = only->column;
        }
      }
    };
    Templates& t = *templates_;
    const void* history_id = history_ ? history_->history().get() : nullptr;
    if (t.history != history_id || t.graph != (kg ? kg->graph.get() : nullptr)) {
      t.entries.clear();
      t.history = history_id;
      t.graph = kg ? kg->graph.get() : nullptr;
      auto add = [&](const std::string& question, const std::string& sql, bool description = false,
                     const std::string& shown = {}) {
        if (!question.empty() && !sql.empty())
          t.entries.push_back({templates::Source{question, sql, {}, description}, content_stems(question), false,
                               shown.empty() ? question : shown});
      };
      // An earlier question, and each wording of it the history records.
      if (history_ && history_->queries().is_list())
        for (const Value& e : history_->queries().as_list()) {
          if (!e.is_record()) continue;
          const std::string sql = text_or_empty(e.as_record(), "sql");
          add(text_or_empty(e.as_record(), "question"), sql);
          const Value* variations = e.as_record().find("natural_language_variations");
          if (variations && variations->is_list())
            for (const Value& v : variations->as_list())
              if (v.is_text()) add(v.as_text(), sql);
        }
      // An example query by its description, and by the question that opens
      // a description which goes on to explain itself.
      if (kg)
        for (Graph::Index n = 0; n < kg->graph->node_count(); ++n) {
          if (!node_ids::has_prefix(kg->graph->id(n), node_ids::kExample)) continue;
          const Record& attrs = kg->graph->attrs(n);
          const std::string description = text_or_empty(attrs, "description"), sql = text_or_empty(attrs, "query");
          add(description, sql, true);
          const auto head = description_head(description, sql);
          if (head) add(*head, sql, true);
          // With its placeholders ("one project", "a date") written as the
          // statement's literals, so that a question naming others refills it.
          if (const auto filled = templates::example_question(description, sql)) add(*filled, sql, true, description);
          if (head)
            if (const auto filled = templates::example_question(*head, sql)) add(*filled, sql, true, description);
        }
      t.wording = {};
      if (kg) {
        const linking::Index* index = &kg->link_index();
        t.wording.names_word = [index](std::string_view w) { return index->is_name_word(w); };
        t.wording.table_words = [index](std::string_view table) { return index->table_words(table); };
        t.wording.same_as = [index](std::string_view w) { return index->synonym_of(w); };
        t.wording.projects_table = [index](std::string_view table) { return index->is_projects_table(table); };
        // A word a stored value holds is no misspelling ("Sam" is no "same").
        t.wording.known_word = [index, stored](std::string_view w) {
          return index->is_schema_word(w) || (stored && stored->index.holds_word(w));
        };
        // A word names something when a table or column is named by it or a stored value holds it.
        t.wording.meaningful = [index, stored](std::string_view w) {
          if (index->is_name_word(w)) return true;
          if (!stored) return false;
          for (const values::Match& m : stored->index.match(w))
            if (m.score >= 0.6) return true;
          return false;
        };
      }
    }
    const std::vector<std::string> stems = content_stems(q.text);
    std::vector<std::string> loose;
    if (kg)
      for (const linking::Word& w : linking::content_words(q.text))
        if (w.text.size() >= 5 && !kg->link_index().is_schema_word(w.text)) loose.push_back(w.stem);
    std::sort(loose.begin(), loose.end());
    std::vector<templates::Source> near;
    std::vector<const std::string*> shown;
    const std::vector<templates::NamedValue> asked = named(q.text);
    // Words of this question that name stored rows without being one of its
    // literals ("on the decline" of the names beginning 'Decline'): an
    // earlier question without them, whose statement writes no such value,
    // answers for other rows.
    struct Restriction {
      std::vector<std::string> stems;
      std::string value;  // lower-cased, without a pattern's '%'
      // The table of a project these words may name instead: an earlier
      // question naming a project of it answers for this one.
      std::string project_table;
    };
    std::vector<Restriction> restrictions;
    if (stored && stored->index.value_count() > 0 && kg)
      for (const values::Match& m : asked_matches) {
        if ((m.fit != values::Fit::kPrefix && m.score < kLooseValueScore) || m.meaning) continue;
        if (std::any_of(asked.begin(), asked.end(),
                        [&](const templates::NamedValue& a) {
                          return !a.alternative && a.begin < m.end && m.begin < a.end;
                        }))
          continue;
        const std::string word = text::lower(m.phrase);
        if (m.phrase.find(' ') == std::string::npos &&
            (kg->link_index().is_name_word(word) || kg->link_index().is_table_word(word)))
          continue;
        Restriction r{content_stems(m.phrase), text::lower(m.value), {}};
        if (!r.value.empty() && r.value.back() == '%') r.value.pop_back();
        for (const templates::NamedValue& a : asked)
          if (a.alternative && a.begin < m.end && m.begin < a.end) r.project_table = text::lower(a.table);
        if (!r.stems.empty() && !r.value.empty()) restrictions.push_back(std::move(r));
      }
    for (auto& e : t.entries) {
      if (shared_share(stems, e.stems, loose) < kTemplateWordShare) continue;
      const std::string lowered = text::lower(e.source.sql);
      auto find_values = [&] {
        if (e.values_found) return;
        e.source.values = named(e.source.question, e.source.sql);
        same_row_literals(e.source);
        e.values_found = true;
      };
      if (std::any_of(restrictions.begin(), restrictions.end(), [&](const Restriction& r) {
            if (std::any_of(r.stems.begin(), r.stems.end(),
                            [&](const std::string& w) { return std::binary_search(e.stems.begin(), e.stems.end(), w); }) ||
                lowered.find(text::replace_all(r.value, "'", "''")) != std::string::npos)
              return false;
            if (r.project_table.empty()) return true;
            find_values();
            return std::none_of(e.source.values.begin(), e.source.values.end(), [&](const templates::NamedValue& v) {
              return !v.weak && text::lower(v.table) == r.project_table;
            });
          }))
        continue;
      find_values();
      near.push_back(e.source);
      // A value of a table the statement never reads, which this question
      // does not name either, is no literal of it but the words it was read
      // from ("score" read as the change type 'Scope' beside a risks statement).
      const std::string statement = text::lower(e.source.sql);
      std::erase_if(near.back().values, [&](const templates::NamedValue& v) {
        return !v.table.empty() && !mentions_identifier(statement, text::lower(v.table)) &&
               statement.find(text::lower(v.stored)) == std::string::npos &&
               std::none_of(asked.begin(), asked.end(), [&](const templates::NamedValue& a) {
                 return text::lower(a.stored) == text::lower(v.stored);
               });
      });
      shown.push_back(&e.shown);
    }
    // How many rows (none, one, two or more) hold a text in a column a
    // statement compares it with; null when the names cannot be looked up.
    auto rows_named = [&](const templates::ComparedText& c) -> std::optional<std::size_t> {
      if (!plain_name(c.table) || !plain_name(c.column)) return std::nullopt;
      Record check{{"sql", Value("SELECT 1 FROM " + c.table + " WHERE " + c.column + " = " + quoted_text(c.value) +
                                 " LIMIT 2")}};
      quillon::ResultTable found;
      sql_.test_query(check, found);
      if (!quillon::succeeded(check)) return std::nullopt;
      return found.row_count;
    };
    // Whether each text a refill puts into a comparison (=, <>, IN, NOT IN)
    // is one the compared column holds: a value read in another column
    // ("p.site_name <> 'Contract award - Ridgeway trunk main'") would answer
    // for other rows. A column the statement names in a way that cannot be
    // looked up is taken on trust.
    auto holds_its_new_texts = [&](const templates::Fit& fit) {
      std::vector<std::string> fresh;
      for (const auto& [before, after] : fit.replaced)
        if (!after.empty() && after != before) fresh.push_back(text::replace_all(after, "''", "'"));
      if (fresh.empty()) return true;
      for (const templates::ComparedText& c : templates::compared_texts(fit.sql, /*unequal=*/true)) {
        if (std::find(fresh.begin(), fresh.end(), c.value) == fresh.end()) continue;
        if (stored) {
          const std::int64_t column = stored->index.find(c.table, c.column);
          if (column >= 0 && stored->index.listed(static_cast<std::uint32_t>(column))) {
            const std::vector<std::string>& held = stored->index.values(static_cast<std::uint32_t>(column));
            if (std::find(held.begin(), held.end(), c.value) == held.end()) return false;
            continue;
          }
        }
        if (const auto rows = rows_named(c); rows && *rows == 0) return false;
      }
      return true;
    };
    // A refill that moves a comparison to another column of its table
    // ("p.proj_cd = 'CRM-100'" to "p.bldg_cd = 'PB1'") names one row where
    // the earlier statement named one: a building two projects share names
    // neither of them.
    auto one_for_one = [&](const templates::Fit& fit, const std::string& earlier) {
      std::optional<std::vector<templates::ComparedText>> before, after;
      for (const auto& [was, now] : fit.replaced) {
        if (now.empty() || now == was) continue;
        if (!before) before = templates::compared_texts(earlier), after = templates::compared_texts(fit.sql);
        const std::string old_value = text::replace_all(was, "''", "'"), new_value = text::replace_all(now, "''", "'");
        for (const templates::ComparedText& o : *before) {
          if (o.value != old_value) continue;
          for (const templates::ComparedText& n : *after)
            if (n.value == new_value && n.table == o.table && n.column != o.column && rows_named(o) == 1u &&
                rows_named(n) > 1u)
              return false;
        }
      }
      return true;
    };
    if (!near.empty()) {
      auto fit = templates::best_refill(near, q.text, asked, t.wording);
      if (fit && holds_its_new_texts(fit->second) && one_for_one(fit->second, near[fit->first].sql)) {
        const std::size_t i = run(Source::kTemplate, fit->second.sql, *shown[fit->first]);
        if (tried[i].first.success && tried[i].first.row_count > 0) template_pick = i;
      }
    }
  }

  // 6. The choice: the AI's statement when it ran (an answer written for this
  // question), unless it found nothing where the same earlier question finds
  // rows; then the same earlier question; then a template.
  std::optional<std::size_t> pick;
  std::string reason;
  if (ai_pick && (tried[*ai_pick].first.row_count > 0 || !history_pick || tried[*history_pick].first.row_count == 0)) {
    pick = ai_pick;
    reason = tried[*ai_pick].first.source == Source::kCorrectedAi
                 ? "the AI service's statement, corrected after it failed, ran"
                 : "the AI service's statement ran";
    if (history_pick && tried[*history_pick].first.row_count != tried[*ai_pick].first.row_count)
      reason += "; the earlier answer to the same question gives " +
                std::to_string(tried[*history_pick].first.row_count) + " rows instead";
  } else if (history_pick) {
    pick = history_pick;
    reason = ai_pick ? "the AI service's statement found no rows; the same question was answered before"
                     : "the same question was answered before";
  } else if (template_pick) {
    pick = template_pick;
    reason = "an earlier question's statement fits once its values are replaced: \"" +
             tried[*template_pick].first.origin + "\"";
  }

  for (auto& [c, rows] : tried) answer.candidates.push_back(c);
  if (pick) {
    auto& [chosen, rows] = tried[*pick];
    answer.candidates[*pick].chosen = true;
    answer.answered = true;
    answer.source = chosen.source;
    answer.sql = chosen.sql;
    answer.summary = summarise(rows);
    answer.table = std::move(rows);
    answer.reason = reason;
    emit(Event::Kind::kChosen, reason);
    return answer;
  }

  // Silent: say why, and offer what is known.
  if (!have_ai) {
    answer.reason = kNoAnswerWithoutAi;
  } else if (!answer.error.empty()) {
    answer.reason = "the AI service gave no statement";
  } else {
    answer.reason = "no statement ran";
  }
  if (similar) answer.suggested_questions.push_back(text_or_empty(*similar, "question"));
  if (history_ && history_->queries().is_list() && answer.suggested_questions.size() < kSuggestedQuestions) {
    // The earlier questions sharing most words with this one.
    const std::vector<std::string> stems = content_stems(q.text);
    std::vector<std::pair<double, std::string>> scored;
    for (const Value& e : history_->queries().as_list()) {
      if (!e.is_record()) continue;
      const std::string question = text_or_empty(e.as_record(), "question");
      if (const double s = shared_share(stems, content_stems(question)); s > 0) scored.emplace_back(s, question);
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [s, question] : scored) {
      if (answer.suggested_questions.size() >= kSuggestedQuestions) break;
      if (std::find(answer.suggested_questions.begin(), answer.suggested_questions.end(), question) ==
          answer.suggested_questions.end())
        answer.suggested_questions.push_back(question);
    }
  }
  if (const Value* guess = context->find("best_guess_sql"); guess && guess->is_text())
    answer.suggested_sql = guess->as_text();
  emit(Event::Kind::kChosen, answer.reason);
  return answer;
}

}  // namespace corvalt::road
