// Reading AI replies and writing the correction prompt.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "corvalt/quillon.hpp"

namespace {

using corvalt::List;
using corvalt::make_list;
using corvalt::make_record;
using corvalt::Record;
using corvalt::Value;
using namespace corvalt::quillon;

TEST(QuillonReplies, FencedBlocksComeFirst) {
  // The first block without SELECT is passed over; the label is lower-case only.
  EXPECT_EQ(extract_sql_from_response("```\nnotes\n```\ntext\n```sql\n  SELECT a\nFROM t\n```"),
            "SELECT a\nFROM t");
  EXPECT_EQ(extract_sql_from_response("```SQL\nSELECT 1\n```"), "SQL\nSELECT 1");
  EXPECT_EQ(extract_sql_from_response("```sqlite\nSELECT 1\n```"), "ite\nSELECT 1");
  // "selected" is no word SELECT, so the bare rule decides.
  EXPECT_EQ(extract_sql_from_response("```\nselected\n```\nselect 2"), "select 2");
}

TEST(QuillonReplies, BareStatementAtTheStartOfALine) {
  EXPECT_EQ(extract_sql_from_response("Here:\nSELECT a\nFROM t\n\nIt reads t."), "SELECT a\nFROM t");
  EXPECT_EQ(extract_sql_from_response("select a from t\nexplanation: reads t"), "select a from t");
  // $ also matches before a final line break; the lazy statement stops there.
  EXPECT_EQ(extract_sql_from_response("SELECT 1\n"), "SELECT 1");
  // An unclosed fence is no block; the SELECT line after it is found.
  EXPECT_EQ(extract_sql_from_response("```sql\nSELECT 3"), "SELECT 3");
  // Indented, or SELECT without white space after it: the whole reply.
  EXPECT_EQ(extract_sql_from_response("  Note:\n  SELECT 1  "), "Note:\n  SELECT 1");
  EXPECT_EQ(extract_sql_from_response("SELECT*FROM t"), "SELECT*FROM t");
}

TEST(QuillonReplies, ExplanationAndCleaning) {
  EXPECT_EQ(extract_explanation("SELECT 1\nEXPLANATION:  one\nrow "), "one\nrow");
  EXPECT_EQ(extract_explanation("Explanation: first ```sql\nSELECT 1\n```"), "first");
  EXPECT_EQ(extract_explanation("SELECT 1"), "");
  // Unicode white space splits as the host's str.split() does.
  EXPECT_EQ(clean_text("\u3000a\u00a0\tb\u2028 c\x1f"), "a b c");
}

TEST(QuillonExploration, TableNamesAndQuoting) {
  EXPECT_EQ(extract_table_names("select * from Tasks t join main.x on 1 JOIN Tasks"),
            (std::vector<std::string>{"Tasks", "main"}));
  EXPECT_TRUE(extract_table_names("SELECT * FROM (SELECT 1) JOIN \"q\" ON 1").empty());
  // No word boundary: any word ending in "from" counts.
  EXPECT_EQ(extract_table_names("select datefrom   x"), std::vector<std::string>{"x"});
  EXPECT_EQ(quote_identifier("a \"b\" c"), "\"a \"\"b\"\" c\"");
}

TEST(QuillonCorrectionPrompt, SectionsInOrder) {
  List schema;
  auto tables = make_record();
  auto names = make_list();
  names->push_back(Value(make_record(Record{{"name", Value("t\u00e9")}})));
  tables->append_new("sql", Value(kTablesSql));
  tables->append_new("result", Value(names));
  schema.push_back(Value(tables));
  auto info = make_record();
  info->append_new("table_name", Value("t"));
  auto cols = make_list();
  cols->push_back(Value(make_record(Record{{"name", Value("a")}, {"type", Value("")}})));
  info->append_new("columns", Value(cols));
  auto sample = make_list();
  for (int i = 0; i < 4; ++i)
    sample->push_back(Value(make_record(Record{{"a", Value(i)}, {"r", Value(std::nan(""))}})));
  info->append_new("sample_data", Value(sample));
  schema.push_back(Value(info));
  schema.push_back(Value(make_record(Record{{"other", Value(1)}})));

  List attempts;
  attempts.push_back(Value(make_record(Record{{"sql", Value("SELECT b")}, {"success", Value(false)},
                                              {"execution_error", Value()}})));
  attempts.push_back(Value(make_record(Record{{"success", Value(true)}})));

  Record context{{"database_objects",
                  Value(make_record(Record{{"tables", Value(make_list(List{Value(make_record(
                                                          Record{{"name", Value("t")}}))}))}}))},
                 {"relationships",
                  Value(make_list(List{Value(make_record(Record{{"source", Value("t")}}))}))}};

  const std::string prompt =
      create_sql_correction_prompt("Q?", "SELECT b", "no such column: b", schema, attempts, context);
  const std::string expected_head =
      "You are an expert SQL developer tasked with fixing a failed SQL query.\n\n"
      "ORIGINAL QUESTION: Q?\n\nORIGINAL SQL QUERY THAT FAILED:\nSELECT b\n\n"
      "ERROR MESSAGE:\nno such column: b\n\nDATABASE SCHEMA INFORMATION:\n"
      "\nQuery: SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%';\n"
      "Result: [{\"name\": \"t\\u00e9\"}]\n"
      "\nTable: t\nColumns:\n- a ()\n"
      "Sample data: [{\"a\": 0, \"r\": NaN}, {\"a\": 1, \"r\": NaN}, {\"a\": 2, \"r\": NaN}]\n"
      "\nRelevant Tables in Context:\n- t: No description\n"
      "\nTable Relationships in Context:\n- t to : \n"
      "\nPREVIOUS CORRECTION ATTEMPTS:\n"
      "\nAttempt #1:\nSQL: SELECT b\nError: None\n"
      "\nAttempt #2:\nSQL: No SQL\n"
      "\nTASK:\n1. Analyze the error message and schema information carefully\n";
  EXPECT_EQ(prompt.substr(0, expected_head.size()), expected_head);
  EXPECT_TRUE(prompt.ends_with("- Missing quotes around string values\n- Incorrect date formats\n"));

  // An empty context and no schema: the schema heading runs straight into the task.
  EXPECT_NE(create_sql_correction_prompt("Q", "s", "e", List{}, List{}, Record{})
                .find("DATABASE SCHEMA INFORMATION:\n\nTASK:\n"),
            std::string::npos);
}

TEST(QuillonCorrectionPrompt, SampleValuesWithoutJsonFormRaise) {
  auto info = make_record();
  info->append_new("table_name", Value("t"));
  info->append_new("sample_data", Value(make_list(List{Value(make_record(
                                      Record{{"b", Value(corvalt::Bytes{"\x01"})}}))})));
  EXPECT_THROW(create_sql_correction_prompt("Q", "s", "e", List{Value(info)}, List{}, Record{}),
               corvalt::TypeError);
}

}  // namespace

namespace {

// The lexical context's hints become prompt sections; a record without them
// gives the prompt it always gave.
TEST(QuillonPrompt, HintsAddTheirSectionsBeforeTheInstructions) {
  const Value tables(make_list(List{Value(make_record(Record{{"name", "risks"}, {"description", "Risks"}}))}));
  Record plain{{"database_objects", Value(make_record(Record{{"tables", tables}}))},
               {"business_rules", Value(make_list(List{Value(make_record(
                                      Record{{"id", "rule:Open"}, {"description", "Open: status is 'Open'"}}))}))}};
  const std::string before = create_sql_generation_prompt("Q", plain);
  EXPECT_EQ(before.find("Business Rules"), std::string::npos);

  Record hinted = plain;
  hinted.set("sql_hints", Value(make_record(Record{
      {"values", Value(make_list(List{
          Value(make_record(Record{{"column", "projects.project_name"}, {"value", "O'Hare Terminal"},
                                   {"phrase", "ohare terminal"}, {"fit", "fuzzy"},
                                   {"code_column", "projects.project_code"}, {"code", "O'HT"}})),
          Value(make_record(Record{{"column", "risks.title"}, {"value", "Crane"}, {"phrase", "Crane"},
                                   {"fit", "exact"}, {"code_column", "risks.ref"}, {"code", "R-1"}})),
          Value(make_record(Record{{"column", "activities.activity_code"}, {"value", "OHT-%"},
                                   {"phrase", "OHT"}, {"fit", "prefix"}})),
          Value("not a record")}))},
      {"column_values", Value(make_record(Record{{"risks.severity", Value(make_list(List{Value("High"), Value("Low")}))}}))},
      {"terms", Value(make_list(List{Value(make_record(Record{{"term", "lag"}, {"definition", "A wait"}}))}))},
      {"examples", Value(make_list(List{Value(make_record(Record{{"description", "Open risks"}, {"sql", "SELECT 1"}}))}))},
      {"dialect", Value(make_record(Record{{"name", "SQLite"}, {"dates", "text such as '2024-01-31' (YYYY-MM-DD)"}}))},
  })));
  const std::string after = create_sql_generation_prompt("Q", hinted);
  const std::string instructions = "\nINSTRUCTIONS:";
  ASSERT_EQ(after.substr(after.find(instructions)), before.substr(before.find(instructions)));
  EXPECT_NE(after.find("\nValues The Question Refers To (write them exactly as stored):\n"
                       "- projects.project_name = 'O''Hare Terminal' (the question says \"ohare terminal\"; "
                       "its row's projects.project_code = 'O''HT')\n"
                       "- risks.title = 'Crane' (its row's risks.ref = 'R-1')\n"
                       "- activities.activity_code LIKE 'OHT-%' (the question says \"OHT\")\n"
                       "\nStored Values Of These Columns (all of them):\n- risks.severity: 'High', 'Low'\n"
                       "\nBusiness Rules:\n- Open: status is 'Open'\n"
                       "\nTerms:\n- lag: A wait\n"
                       "\nSimilar Example Queries:\n- Open risks\n  SQL: SELECT 1\n"
                       "\nSQL Dialect: SQLite. Dates are stored as text such as '2024-01-31' (YYYY-MM-DD).\n"
                       "\nINSTRUCTIONS:"),
            std::string::npos)
      << after;
  // Empty hints say nothing of their own.
  Record bare{{"database_objects", Value(make_record(Record{{"tables", tables}}))}};
  const std::string bare_prompt = create_sql_generation_prompt("Q", bare);
  bare.set("sql_hints", Value(make_record()));
  EXPECT_EQ(create_sql_generation_prompt("Q", bare), bare_prompt);
}

}  // namespace
