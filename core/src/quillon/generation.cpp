// Asking the AI service for a statement: the generation prompt, reading the
// statement and its explanation out of a free-text reply, and reusing a
// logged fix before any AI call is spent.
#include <string>

#include "corvalt/json.hpp"
#include "corvalt/regex.hpp"
#include "corvalt/text.hpp"
#include "corvalt/quillon.hpp"
#include "internal.hpp"
#include "../value_checks.hpp"

namespace corvalt::quillon {

// ------------------------------------------------------- context access --

namespace {

[[noreturn]] void wrong_kind(const char* what, const char* expected, const Value& got) {
  throw TypeError(std::string(what) + " must be a " + expected + ", not " + got.type_name());
}

}  // namespace

const Record* optional_record(const Record& record, std::string_view key, const char* what) {
  const Value* v = record.find(key);
  if (!v) return nullptr;
  if (!v->is_record()) wrong_kind(what, "dict", *v);
  return &v->as_record();
}

const List* optional_list(const Record& record, std::string_view key, const char* what) {
  const Value* v = record.find(key);
  if (!v) return nullptr;
  if (!v->is_list()) wrong_kind(what, "list", *v);
  return &v->as_list();
}

namespace {

const List* database_object_list(const Record& db_context, std::string_view key,
                                 const char* what) {
  const Record* objects =
      optional_record(db_context, "database_objects", "db_context['database_objects']");
  return objects ? optional_list(*objects, key, what) : nullptr;
}

}  // namespace

const List* context_tables(const Record& db_context) {
  return database_object_list(db_context, "tables", "db_context['database_objects']['tables']");
}

const List* context_columns(const Record& db_context) {
  return database_object_list(db_context, "columns", "db_context['database_objects']['columns']");
}

const List* context_relationships(const Record& db_context) {
  return optional_list(db_context, "relationships", "db_context['relationships']");
}

const Record& entry_record(const Value& v, const char* what) {
  if (!v.is_record()) wrong_kind(what, "dict", v);
  return v.as_record();
}

// --------------------------------------------------------------- prompt --

namespace {

constexpr std::string_view kGenerationInstructions =
    "\nINSTRUCTIONS:\n"
    "1. Generate a valid SQL query that answers the question using the provided database context\n"
    "2. Use proper joins based on the relationships provided\n"
    "3. Return ONLY the SQL query without any explanations or markdown formatting\n"
    "4. After the SQL, add a brief explanation of how the query works separated by "
    "\"EXPLANATION:\"\n"
    "\n"
    "Remember to use standard SQL syntax compatible with ";

// A text the prompt needs, which a context record must give as one.
const std::string& required_str(const Value& v) {
  if (!v.is_text()) throw TypeError(std::string("expected str, not ") + v.type_name());
  return v.as_text();
}

// A stored value as an SQL literal.
std::string sql_literal(std::string_view value) {
  std::string out(1, '\'');
  out.append(text::replace_all(value, "'", "''")).push_back('\'');
  return out;
}

// The records of a list under `key` of the hints (others are skipped: the
// hints are advice, and a host may write them by hand).
std::vector<const Record*> hint_records(const Record& hints, std::string_view key) {
  std::vector<const Record*> out;
  const Value* v = hints.find(key);
  if (!v || !v->is_list()) return out;
  for (const Value& item : v->as_list())
    if (item.is_record()) out.push_back(&item.as_record());
  return out;
}

// What a context record's `sql_hints` adds to the prompt: the stored values
// the question names, the values of short-listed columns, the business
// rules and terms, similar example queries and the dialect. Each section
// only when it has something to say.
void append_hints(std::string& p, const Record& db_context, const Record& hints) {
  std::string section;
  for (const Record* v : hint_records(hints, "values")) {
    const std::string* column = find_text(*v, "column");
    const std::string* value = find_text(*v, "value");
    if (!column || !value) continue;
    const std::string* fit = find_text(*v, "fit");
    section += "- " + *column + (fit && *fit == "prefix" ? " LIKE " : " = ") + sql_literal(*value);
    std::vector<std::string> notes;
    if (const std::string* phrase = find_text(*v, "phrase"); phrase && *phrase != *value)
      notes.push_back("the question says \"" + *phrase + "\"");
    const std::string* code_column = find_text(*v, "code_column");
    const std::string* code = find_text(*v, "code");
    if (code_column && code) notes.push_back("its row's " + *code_column + " = " + sql_literal(*code));
    if (!notes.empty()) section += " (" + text::join(notes, "; ") + ")";
    section += "\n";
  }
  if (!section.empty()) p += "\nValues The Question Refers To (write them exactly as stored):\n" + section;

  section.clear();
  if (const Value* listed = hints.find("column_values"); listed && listed->is_record()) {
    for (const auto& [column, values] : listed->as_record()) {
      if (!values.is_list() || values.as_list().empty()) continue;
      std::string line = "- " + column + ":";
      bool first = true;
      for (const Value& value : values.as_list()) {
        if (!value.is_text()) continue;
        line += (first ? " " : ", ") + sql_literal(value.as_text());
        first = false;
      }
      if (!first) section += line + "\n";
    }
  }
  if (!section.empty()) p += "\nStored Values Of These Columns (all of them):\n" + section;

  section.clear();
  if (const Value* rules = db_context.find("business_rules"); rules && rules->is_list())
    for (const Value& rule : rules->as_list())
      if (rule.is_record())
        if (const std::string* description = find_text(rule.as_record(), "description"); description && !description->empty())
          section += "- " + *description + "\n";
  if (!section.empty()) p += "\nBusiness Rules:\n" + section;

  section.clear();
  for (const Record* t : hint_records(hints, "terms")) {
    const std::string* term = find_text(*t, "term");
    const std::string* definition = find_text(*t, "definition");
    if (term && definition) section += "- " + *term + ": " + *definition + "\n";
  }
  if (!section.empty()) p += "\nTerms:\n" + section;

  section.clear();
  for (const Record* e : hint_records(hints, "examples")) {
    const std::string* description = find_text(*e, "description");
    const std::string* sql = find_text(*e, "sql");
    if (!sql) continue;
    section += "- " + (description ? *description : std::string()) + "\n  SQL: " + *sql + "\n";
  }
  if (!section.empty()) p += "\nSimilar Example Queries:\n" + section;

  if (const Value* dialect = hints.find("dialect"); dialect && dialect->is_record()) {
    const std::string* name = find_text(dialect->as_record(), "name");
    const std::string* dates = find_text(dialect->as_record(), "dates");
    if (name) {
      p += "\nSQL Dialect: " + *name + ".";
      if (dates) p += " Dates are stored as " + *dates + ".";
      p += "\n";
    }
  }
}

}  // namespace

std::string create_sql_generation_prompt(std::string_view question, const Record& db_context,
                                        std::string_view dialect) {
  std::string p = "You are an expert SQL developer. Generate a SQL query to answer the following "
                  "question:\n\nQUESTION: ";
  p += question;
  p += "\n\nDATABASE CONTEXT:\n";

  if (const List* tables = context_tables(db_context); tables && !tables->empty()) {
    p += "\nRelevant Tables:\n";
    for (const Value& v : *tables) {
      const Record& t = entry_record(v, "a context table entry");
      p += "- " + to_str(t.at("name")) + ": " + to_str(t.at("description")) + "\n";
    }
  }

  if (const List* columns = context_columns(db_context); columns && !columns->empty()) {
    p += "\nRelevant Columns:\n";
    for (const Value& v : *columns) {
      const Record& c = entry_record(v, "a context column entry");
      const std::string& name = required_str(c.at("name"));
      // "table.column": the first two pieces between full stops.
      std::string table = "Unknown", column = name;
      if (std::size_t dot = name.find('.'); dot != std::string::npos) {
        table = name.substr(0, dot);
        std::size_t next = name.find('.', dot + 1);
        column = name.substr(dot + 1, next == std::string::npos ? std::string::npos : next - dot - 1);
      }
      p += "- " + table + "." + column + " (" + to_str(c.at("data_type")) + "): " +
           to_str(c.at("description")) + "\n";
    }
  }

  if (const List* rels = context_relationships(db_context); rels && !rels->empty()) {
    p += "\nTable Relationships:\n";
    for (const Value& v : *rels) {
      const Record& r = entry_record(v, "a context relationship entry");
      p += "- " + to_str(r.at("source")) + " to " + to_str(r.at("target")) + ": " +
           to_str(r.at("join_condition")) + "\n";
    }
  }

  if (const Value* hints = db_context.find("sql_hints"); hints && hints->is_record())
    append_hints(p, db_context, hints->as_record());

  if (db_context.contains("previously_run_query")) {
    const Record& prev = *optional_record(db_context, "previously_run_query",
                                          "db_context['previously_run_query']");
    p += "\nPREVIOUSLY RUN QUERY FOR SIMILAR QUESTION:\n";
    p += "Question: " + to_str(prev.get("question", Value(""))) + "\n";
    p += "SQL: " + to_str(prev.get("sql", Value(""))) + "\n\n";
    p += "You should strongly consider using this previous query as a starting point, but adapt "
         "it to the current question if needed.\n";
  }

  p += kGenerationInstructions;
  p += dialect;
  p += ".\n";
  return p;
}

// -------------------------------------------------------- reply parsing --

namespace {

const Regex& fenced_block() {
  static const Regex re("```(?:sql)?\\s*(.*?)```", Regex::kDotAll);
  return re;
}
const Regex& select_word() {
  static const Regex re("\\bSELECT\\b", Regex::kIgnoreCase);
  return re;
}
const Regex& bare_select() {
  static const Regex re("(?:^|\\n)(SELECT\\s+.*?)((?:\\n\\n)|$|(?:\\nEXPLANATION:))",
                        Regex::kDotAll | Regex::kIgnoreCase);
  return re;
}
const Regex& explanation_marker() {
  static const Regex re("EXPLANATION:(.*?)(?:$|```)", Regex::kDotAll | Regex::kIgnoreCase);
  return re;
}

}  // namespace

std::string extract_sql_from_response(std::string_view response) {
  for (const RegexMatch& m : fenced_block().find_all(response)) {
    std::string_view block = m.group(response, 1);
    if (select_word().search(block)) return std::string(text::strip(block));
  }
  RegexMatch m;
  if (bare_select().search(response, m)) return std::string(text::strip(m.group(response, 1)));
  return std::string(text::strip(response));
}

std::string extract_explanation(std::string_view response) {
  RegexMatch m;
  if (!explanation_marker().search(response, m)) return "";
  return std::string(text::strip(m.group(response, 1)));
}

std::string clean_text(std::string_view s) { return text::join(text::split_whitespace(s), " "); }

// ------------------------------------------------------------ generation --

RecordPtr Quillon::reuse_logged_fix(std::string_view question, const Record& db_context) {
  const std::string path = fix_log_path(fix_log_dir);
  if (!path_exists(path)) return nullptr;
  try {
    Value log;
    unlocked([&] { log = read_fix_log(path); });
    if (!log.is_list())
      throw TypeError(std::string("the fix log must be a list of records, not ") + log.type_name());
    // A logged failed statement identifies the fix only when the host named
    // one: an absent or empty `existing_sql` matches nothing.
    const Value* existing = db_context.find("existing_sql");
    const bool by_sql = existing && existing->is_text() && !existing->as_text().empty();
    const Value current(question);
    for (const Value& item : log.as_list()) {
      if (!item.is_record())
        throw TypeError(std::string("a fix log entry must be a record, not ") + item.type_name());
      const Record& entry = item.as_record();
      const Value* q = entry.find("question");
      const Value* failed = entry.find("failed_sql");
      const bool hit = (q && *q == current) || (by_sql && failed && *failed == *existing);
      if (!hit) continue;
      const Value working = entry.get("working_sql", Value());
      if (!working.truthy()) continue;

      say("Found previous working SQL for this question/query, skipping AI call.");
      const Value original_error = entry.get("error", Value("Unknown error"));
      const Value original_failed = entry.get("failed_sql", Value("No original SQL available"));
      const Value logged_question = entry.get("question", current);
      auto record = make_record();
      record->append_new("question", current);
      record->append_new("sql", working);
      record->append_new("source", Value("reused_from_failed_json"));
      record->append_new(
          "explanation",
          Value("This SQL was reused from a previously logged successful fix. Original question: '" +
                to_str(logged_question) + "'. Previous SQL attempt failed with error: '" +
                to_str(original_error) +
                "'. This working SQL has been verified to execute successfully."));
      record->append_new("original_failed_sql", original_failed);
      record->append_new("original_error", original_error);
      return record;
    }
  } catch (const Error& e) {
    say("Failed to check existing logs: " + error_text(e));
  }
  return nullptr;
}

RecordPtr Quillon::generate_sql(std::string_view question, const Record& db_context) {
  auto record = make_record();
  if (!ai || !ai->truthy()) {
    record->append_new("error", Value(kNoAiService));
    return record;
  }
  if (RecordPtr reused = reuse_logged_fix(question, db_context)) return reused;

  // Outside the guard: a malformed context record is the caller's error.
  const std::string prompt = create_sql_generation_prompt(question, db_context, dialect_name());
  try {
    ai->clear_history();
    const std::string reply = ai->get_response_sync(prompt);
    const std::string sql = extract_sql_from_response(reply);
    const std::string explanation = extract_explanation(reply);
    record->append_new("question", Value(question));
    record->append_new("sql", Value(clean_text(sql)));
    record->append_new("raw_ai_response", Value(clean_text(reply)));
    record->append_new("explanation", Value(clean_text(explanation)));
    record->append_new("source", Value("ai_generated"));
  } catch (const Error& e) {
    const std::string error = error_text(e);
    say("Error generating SQL: " + error);
    record = make_record();
    record->append_new("error", Value("Failed to generate SQL: " + error));
    record->append_new("question", Value(question));
    record->append_new("source", Value("ai_generated"));
  }
  return record;
}

}  // namespace corvalt::quillon
