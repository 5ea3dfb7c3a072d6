// Quillon: generation, correction, schema exploration, comparison and the
// answering method. Each function checks its arguments, converts the records
// once, makes one core call and converts the result back; records that came
// from the host go back as the host's own dicts.
#include <string>

#include "common/args.hpp"
#include "common/convert.hpp"
#include "quillon/quillon_py.hpp"

namespace corvalt::py {

namespace {

// The arguments' records, converted by one FromPython so that the result
// can hand the host's dicts back.
class Records {
 public:
  const Record& record(nb::handle dict, const char* function, const char* argument) {
    arg_dict(dict, function, argument);
    return from_(dict).as_record();
  }
  RecordPtr shared(nb::handle dict, const char* function, const char* argument) {
    arg_dict(dict, function, argument);
    return from_(dict).record_ptr();
  }
  const List& list(nb::handle obj, const char* function, const char* argument) {
    arg_list(obj, function, argument);
    return from_(obj).as_list();
  }
  nb::object back(const Value& v) const {
    ToPython to;
    to.adopt(from_);
    return to(v);
  }

 private:
  FromPython from_;
};

nb::object text(const std::string& s) { return to_python_text(s); }

}  // namespace

void bind_answering(QuillonClass& cls) {
  cls.def(
         "generate_sql",
         [](QuillonPy& self, nb::handle question, nb::handle db_context) {
           std::string q = arg_str(question, "generate_sql", "question");
           Records r;
           const Record& ctx = r.record(db_context, "generate_sql", "db_context");
           return r.back(Value(self.core.generate_sql(q, ctx)));
         },
         nb::arg("question").none(), nb::arg("db_context").none(),
         nb::sig("def generate_sql(self, question: str, db_context: Record) -> Record"),
         "Generate SQL based on the natural language question and database context.")
      .def(
          "_create_sql_generation_prompt",
          [](QuillonPy& self, nb::handle question, nb::handle db_context) {
            std::string q = arg_str(question, "_create_sql_generation_prompt", "question");
            Records r;
            return text(quillon::create_sql_generation_prompt(
                q, r.record(db_context, "_create_sql_generation_prompt", "db_context"),
                self.core.dialect_name()));
          },
          nb::arg("question").none(), nb::arg("db_context").none(),
          nb::sig("def _create_sql_generation_prompt(self, question: str, db_context: Record) -> str"),
          "The prompt that asks the AI service for SQL answering the question.")
      .def(
          "_extract_sql_from_response",
          [](QuillonPy&, nb::handle response) {
            return text(quillon::extract_sql_from_response(
                arg_str(response, "_extract_sql_from_response", "response")));
          },
          nb::arg("response").none(),
          nb::sig("def _extract_sql_from_response(self, response: str) -> str"),
          "The SQL statement in an AI reply (a fenced block, a SELECT line, or the whole reply).")
      .def(
          "_extract_explanation",
          [](QuillonPy&, nb::handle response) {
            return text(
                quillon::extract_explanation(arg_str(response, "_extract_explanation", "response")));
          },
          nb::arg("response").none(), nb::sig("def _extract_explanation(self, response: str) -> str"),
          "The text after EXPLANATION: in an AI reply, or an empty string.")
      .def(
          "_clean_text",
          [](QuillonPy&, nb::handle value) {
            return text(quillon::clean_text(arg_str(value, "_clean_text", "text")));
          },
          nb::arg("text").none(), nb::sig("def _clean_text(self, text: str) -> str"),
          "Collapse every run of white space to one space and trim the ends.")
      .def(
          "_explore_database_schema",
          [](QuillonPy& self) { return to_python(Value(self.core.explore_database_schema())); },
          nb::sig("def _explore_database_schema(self) -> list[Record]"),
          "Explore the database schema to gather information for SQL correction.")
      .def(
          "_explore_table_schema",
          [](QuillonPy& self, nb::handle table_name) {
            std::string name = arg_str(table_name, "_explore_table_schema", "table_name");
            return to_python(Value(self.core.explore_table_schema(name)));
          },
          nb::arg("table_name").none(),
          nb::sig("def _explore_table_schema(self, table_name: str) -> Record"),
          "Explore a specific table's schema and sample data.")
      .def(
          "_extract_table_names",
          [](QuillonPy&, nb::handle sql) {
            nb::list out;
            for (const std::string& name :
                 quillon::extract_table_names(arg_str(sql, "_extract_table_names", "sql")))
              out.append(text(name));
            return out;
          },
          nb::arg("sql").none(), nb::sig("def _extract_table_names(self, sql: str) -> list[str]"),
          "Extract table names from a SQL query.")
      .def(
          "try_fix_failed_query",
          [](QuillonPy& self, nb::handle failed_query, nb::handle question, nb::handle db_context) {
            Records r;
            const Record& failed = r.record(failed_query, "try_fix_failed_query", "failed_query");
            std::string q = arg_str(question, "try_fix_failed_query", "question");
            const Record& ctx = r.record(db_context, "try_fix_failed_query", "db_context");
            return r.back(Value(self.core.try_fix_failed_query(failed, q, ctx)));
          },
          nb::arg("failed_query").none(), nb::arg("question").none(), nb::arg("db_context").none(),
          nb::sig("def try_fix_failed_query(self, failed_query: Record, question: str, "
                  "db_context: Record) -> Record"),
          "Try to fix a failed SQL query using AI assistance and schema exploration.")
      .def(
          "_create_sql_correction_prompt",
          [](QuillonPy& self, nb::handle question, nb::handle original_sql, nb::handle error,
             nb::handle schema_info, nb::handle previous_attempts, nb::handle db_context) {
            const char* f = "_create_sql_correction_prompt";
            std::string q = arg_str(question, f, "question");
            std::string sql = arg_str(original_sql, f, "original_sql");
            std::string err = arg_str(error, f, "error");
            Records r;
            const List& schema = r.list(schema_info, f, "schema_info");
            const List& attempts = r.list(previous_attempts, f, "previous_attempts");
            const Record& ctx = r.record(db_context, f, "db_context");
            return text(quillon::create_sql_correction_prompt(q, sql, err, schema, attempts, ctx,
                                                              self.core.dialect_name()));
          },
          nb::arg("question").none(), nb::arg("original_sql").none(), nb::arg("error").none(),
          nb::arg("schema_info").none(), nb::arg("previous_attempts").none(),
          nb::arg("db_context").none(),
          nb::sig("def _create_sql_correction_prompt(self, question: str, original_sql: str, "
                  "error: str, schema_info: list[Record], previous_attempts: list[Record], "
                  "db_context: Record) -> str"),
          "Create a detailed prompt for SQL correction using the database error and schema info.")
      .def(
          "compare_queries",
          [](QuillonPy& self, nb::handle historical_query, nb::handle ai_query,
             nb::handle question) {
            Records r;
            RecordPtr hist = r.shared(historical_query, "compare_queries", "historical_query");
            RecordPtr ai = r.shared(ai_query, "compare_queries", "ai_query");
            std::string q = arg_str(question, "compare_queries", "question");
            return r.back(Value(self.core.compare_queries(hist, ai, q)));
          },
          nb::arg("historical_query").none(), nb::arg("ai_query").none(),
          nb::arg("question").none(),
          nb::sig("def compare_queries(self, historical_query: Record, ai_query: Record, "
                  "question: str) -> Record"),
          "Compare the historical and the AI-generated query and recommend one.")
      .def(
          "_evaluate_query_relevance",
          [](QuillonPy&, nb::handle query, nb::handle question) {
            Records r;
            const Record& rec = r.record(query, "_evaluate_query_relevance", "query");
            std::string q = arg_str(question, "_evaluate_query_relevance", "question");
            return to_python(quillon::evaluate_query_relevance(rec, q));
          },
          nb::arg("query").none(), nb::arg("question").none(),
          nb::sig("def _evaluate_query_relevance(self, query: Record, question: str) -> float"),
          "A simple heuristic-based evaluation: relevance score (0-10).")
      .def(
          "generate_additional_explorations",
          [](QuillonPy& self, nb::handle question, nb::handle main_query, nb::handle db_context) {
            const char* f = "generate_additional_explorations";
            std::string q = arg_str(question, f, "question");
            Records r;
            const Record& main = r.record(main_query, f, "main_query");
            const Record& ctx = r.record(db_context, f, "db_context");
            return r.back(Value(self.core.generate_additional_explorations(q, main, ctx)));
          },
          nb::arg("question").none(), nb::arg("main_query").none(), nb::arg("db_context").none(),
          nb::sig("def generate_additional_explorations(self, question: str, main_query: Record, "
                  "db_context: Record) -> list[Record]"),
          "Generate and execute additional SQL queries to explore related aspects of the main "
          "query.")
      .def(
          "get_best_sql_and_results",
          [](QuillonPy& self, nb::handle question, nb::handle db_context,
             nb::handle historical_query) {
            const char* f = "get_best_sql_and_results";
            std::string q = arg_str(question, f, "question");
            Records r;
            const Record& ctx = r.record(db_context, f, "db_context");
            RecordPtr hist;
            if (!historical_query.is_none()) hist = r.shared(historical_query, f, "historical_query");
            return r.back(Value(self.core.get_best_sql_and_results(q, ctx, hist)));
          },
          nb::arg("question").none(), nb::arg("db_context").none(),
          nb::arg("historical_query").none() = nb::none(),
          nb::sig("def get_best_sql_and_results(self, question: str, db_context: Record, "
                  "historical_query: Record | None = None) -> Record"),
          "Get the best SQL query and results for the given question.\n\n"
          "This is the main method to call: it generates SQL with the AI service, runs it, has "
          "a failing statement corrected, runs the historical query, compares the two and adds "
          "explorations around the best one.");
}

}  // namespace corvalt::py
