// Repairing a failed statement with the AI service: up to three tries, each
// with a prompt that shows the error, the schema and every earlier try; the
// first statement that runs is logged for reuse.
#include <algorithm>
#include <string>

#include "corvalt/json.hpp"
#include "corvalt/quillon.hpp"
#include "internal.hpp"
#include "outcomes.hpp"
#include "../value_checks.hpp"

namespace corvalt::quillon {

namespace {

// The task, with the dialect's name put in at each {dialect}.
constexpr std::string_view kCorrectionTask =
    "\nTASK:\n"
    "1. Analyze the error message and schema information carefully\n"
    "2. Identify what's wrong with the original SQL query\n"
    "3. Fix the query to resolve the error\n"
    "4. Make sure your SQL is compatible with {dialect} syntax\n"
    "5. Return ONLY the corrected SQL query without any explanations or markdown formatting\n"
    "6. After the SQL, add a brief explanation separated by \"EXPLANATION:\"\n"
    "\n"
    "Common mistakes to check for:\n"
    "- Table names might be incorrect or non-existent\n"
    "- Column names might be incorrect or non-existent\n"
    "- Join conditions might reference wrong tables or columns\n"
    "- {dialect} syntax differences (e.g., no TOP keyword, use LIMIT instead)\n"
    "- Case sensitivity issues in table or column names\n"
    "- Missing quotes around string values\n"
    "- Incorrect date formats\n";

void append_schema_record(std::string& p, const Record& info) {
  if (const Value* table = info.find("table_name")) {
    p += "\nTable: " + to_str(*table) + "\n";
    if (const List* columns = optional_list(info, "columns", "a schema record's 'columns'")) {
      p += "Columns:\n";
      for (const Value& v : *columns) {
        const Record& c = entry_record(v, "a schema column entry");
        p += "- " + to_str(c.at("name")) + " (" + to_str(c.at("type")) + ")\n";
      }
    }
    if (const List* sample = optional_list(info, "sample_data", "a schema record's 'sample_data'");
        sample && !sample->empty()) {
      List first(sample->begin(), sample->begin() + std::min<std::size_t>(3, sample->size()));
      p += "Sample data: " + json::dump_compact(Value(std::move(first))) + "\n";
    }
  } else if (info.contains("sql") && info.contains("result")) {
    p += "\nQuery: " + to_str(info.at("sql")) + "\n";
    p += "Result: " + json::dump_compact(info.at("result")) + "\n";
  }
}

}  // namespace

std::string create_sql_correction_prompt(std::string_view question, std::string_view original_sql,
                                         std::string_view error, const List& schema_info,
                                         const List& previous_attempts, const Record& db_context,
                                         std::string_view dialect) {
  std::string p = "You are an expert SQL developer tasked with fixing a failed SQL query.\n\n"
                  "ORIGINAL QUESTION: ";
  p += question;
  p += "\n\nORIGINAL SQL QUERY THAT FAILED:\n";
  p += original_sql;
  p += "\n\nERROR MESSAGE:\n";
  p += error;
  p += "\n\nDATABASE SCHEMA INFORMATION:\n";
  for (const Value& v : schema_info) {
    if (v.is_record()) append_schema_record(p, v.as_record());
  }

  if (!db_context.empty()) {
    if (const List* tables = context_tables(db_context); tables && !tables->empty()) {
      p += "\nRelevant Tables in Context:\n";
      for (const Value& v : *tables) {
        const Record& t = entry_record(v, "a context table entry");
        p += "- " + to_str(t.at("name")) + ": " +
             to_str(t.get("description", Value("No description"))) + "\n";
      }
    }
    if (const List* rels = context_relationships(db_context); rels && !rels->empty()) {
      p += "\nTable Relationships in Context:\n";
      for (const Value& v : *rels) {
        const Record& r = entry_record(v, "a context relationship entry");
        p += "- " + to_str(r.get("source", Value(""))) + " to " +
             to_str(r.get("target", Value(""))) + ": " +
             to_str(r.get("join_condition", Value(""))) + "\n";
      }
    }
  }

  if (!previous_attempts.empty()) {
    p += "\nPREVIOUS CORRECTION ATTEMPTS:\n";
    std::size_t i = 0;
    for (const Value& v : previous_attempts) {
      const Record& a = entry_record(v, "a previous attempt");
      p += "\nAttempt #" + std::to_string(++i) + ":\n";
      p += "SQL: " + to_str(a.get("sql", Value("No SQL"))) + "\n";
      if (!a.get("success", Value(false)).truthy())
        p += "Error: " + to_str(a.get("execution_error", Value("Unknown error"))) + "\n";
    }
  }

  for (std::size_t from = 0;;) {
    const std::size_t at = kCorrectionTask.find("{dialect}", from);
    p += kCorrectionTask.substr(from, at - from);
    if (at == std::string_view::npos) break;
    p += dialect;
    from = at + 9;
  }
  return p;
}

namespace {

// Appends `record` unless an equal one is there already.
void add_distinct(List& list, const RecordPtr& record) {
  const Value candidate(record);
  for (const Value& v : list) {
    if (v == candidate) return;
  }
  list.push_back(candidate);
}

const std::string& required_text(const Value& v, const char* what) {
  return text_of(v, {"the failed query's '", what, "'"}, "str");
}

}  // namespace

namespace outcome {

Repair repair(Quillon& q, const Record& failed_query, std::string_view question, const Record& db_context) {
  Repair r;
  if (!q.ai || !q.ai->truthy() || !q.connected()) return r;
  r.available = true;
  auto say = [&](const std::string& line) {
    if (q.verbose) q.console().line(line);
  };
  const Value error_value = failed_query.get("execution_error", Value("Unknown error"));
  const Value sql_value = failed_query.get("sql", Value(""));
  r.original_error = required_text(error_value, "execution_error");
  const std::string original_sql = required_text(sql_value, "sql");

  ListPtr schema = q.explore_database_schema();
  const Value question_value(question);
  for (int n = 1; n <= kMaxFixAttempts; ++n) {
    const std::string number = std::to_string(n);
    // Outside the try's guard: a prompt that cannot be built is the
    // caller's error.
    const std::string prompt = create_sql_correction_prompt(question, original_sql, r.original_error,
                                                            *schema, tries_list(r.tries), db_context,
                                                            q.dialect_name());
    FixTry t;
    t.number = n;
    try {
      say("Retry attempt #" + number + " - Asking AI to fix SQL");
      q.ai->clear_history();
      t.reply = q.ai->get_response_sync(prompt);
      t.sql = extract_sql_from_response(t.reply);
      t.explanation = extract_explanation(t.reply);
      say("Generated fixed SQL: " + t.sql);

      t.ran = attempt_record(question_value, t);
      q.test_query(*t.ran);
      t.success = succeeded(*t.ran);
      r.tries.push_back(t);

      if (t.success) {
        say("Retry attempt #" + number + " succeeded!");
        r.best = r.tries.size() - 1;
        q.log_corrected_sql(question_value, failed_query, *t.ran);
        break;
      }
      if (n < kMaxFixAttempts) {
        for (const std::string& table : extract_table_names(t.sql)) {
          RecordPtr info = q.explore_table_schema(table);
          if (!info->empty()) add_distinct(*schema, info);
        }
      }
    } catch (const Error& e) {
      const std::string error = error_text(e);
      say("Error during retry attempt #" + number + ": " + error);
      // A try whose statement ran before the error stays listed as it ran.
      FixTry failed;
      failed.number = n;
      failed.service_error = error;
      r.tries.push_back(std::move(failed));
    }
  }
  return r;
}

}  // namespace outcome

RecordPtr Quillon::try_fix_failed_query(const Record& failed_query, std::string_view question,
                                        const Record& db_context) {
  return outcome::repair_record(outcome::repair(*this, failed_query, question, db_context));
}

}  // namespace corvalt::quillon
