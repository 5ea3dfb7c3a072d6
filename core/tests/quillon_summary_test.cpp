// Result summaries: the sentences, the five-row cut and the plain-text table
// layout (expected texts as the tabular library renders the same tables).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "corvalt/quillon.hpp"

using corvalt::Bytes;
using corvalt::Value;
using corvalt::quillon::generate_result_summary;
using corvalt::quillon::render_rows;
using corvalt::quillon::ResultTable;

namespace {

ResultTable table(std::vector<std::string> columns, std::vector<std::vector<Value>> rows) {
  ResultTable t;
  t.columns = std::move(columns);
  for (auto& row : rows) {
    EXPECT_EQ(row.size(), t.columns.size());
    for (auto& v : row) t.cells.push_back(std::move(v));
    ++t.row_count;
  }
  return t;
}

const Value null;

}  // namespace

TEST(QuillonSummary, EmptyResultsSayNoResults) {
  EXPECT_EQ(generate_result_summary(table({"a", "b"}, {})), "Query returned no results.");
  EXPECT_EQ(generate_result_summary(table({}, {})), "Query returned no results.");
  ResultTable rows_without_columns;
  rows_without_columns.row_count = 3;
  EXPECT_EQ(generate_result_summary(rows_without_columns), "Query returned no results.");
}

TEST(QuillonSummary, OneRowKeepsThePluralMarks) {
  EXPECT_EQ(generate_result_summary(table({"a", "b"}, {{1, 2}})),
            "Query returned 1 row(s) with 2 column(s).\n\nResults:\n   a  b\n0  1  2");
}

TEST(QuillonSummary, FiveRowsAreShownWhole) {
  auto t = table({"id", "name", "total_float"}, {{1, "Excavation", -2.5},
                                                 {2, "Foundations", 0.0},
                                                 {3, "Framing", 12.25},
                                                 {4, "Roofing", null},
                                                 {5, "Électricité", 3.0}});
  EXPECT_EQ(generate_result_summary(t),
            "Query returned 5 row(s) with 3 column(s).\n\nResults:\n"
            "   id         name  total_float\n"
            "0   1   Excavation        -2.50\n"
            "1   2  Foundations         0.00\n"
            "2   3      Framing        12.25\n"
            "3   4      Roofing          NaN\n"
            "4   5  Électricité         3.00");
}

TEST(QuillonSummary, SixRowsShowASampleOfThree) {
  auto t = table({"id", "status"}, {{1, "Not Started"},
                                    {2, "In Progress"},
                                    {3, "Completed"},
                                    {4, "On Hold"},
                                    {5, "Completed"},
                                    {6, "Late"}});
  EXPECT_EQ(generate_result_summary(t),
            "Query returned 6 row(s) with 2 column(s).\n\nSample of first 3 rows:\n"
            "   id       status\n"
            "0   1  Not Started\n"
            "1   2  In Progress\n"
            "2   3    Completed\n"
            "...\n(plus 3 more rows)");
}

TEST(QuillonSummary, ColumnKindComesFromAllRowsNotOnlyTheSample) {
  // A null in a row that is not shown still makes the column real.
  auto t = table({"a"}, {{1}, {2}, {3}, {4}, {5}, {6}, {2.5}});
  EXPECT_EQ(generate_result_summary(t),
            "Query returned 7 row(s) with 1 column(s).\n\nSample of first 3 rows:\n"
            "     a\n0  1.0\n1  2.0\n2  3.0\n...\n(plus 4 more rows)");
}

TEST(QuillonSummary, NullsShowAsNaNInNumericColumnsAndNoneElsewhere) {
  // Integers stay exact beside NULLs; a real makes the column real.
  EXPECT_EQ(render_rows(table({"duration"}, {{10}, {null}, {7}}), 3),
            "   duration\n0        10\n1       NaN\n2         7");
  EXPECT_EQ(render_rows(table({"duration"}, {{10}, {null}, {7.5}}), 3),
            "   duration\n0      10.0\n1       NaN\n2       7.5");
  EXPECT_EQ(render_rows(table({"note"}, {{"ok"}, {null}, {"tab\there"}}), 3),
            "        note\n0         ok\n1       None\n2  tab\\there");
  EXPECT_EQ(render_rows(table({"n"}, {{null}, {null}}), 2), "      n\n0  None\n1  None");
}

TEST(QuillonSummary, HeadersWiderThanValues) {
  // A numeric column's label carries a leading blank; a text column's does not.
  EXPECT_EQ(render_rows(table({"activity_identifier", "x"}, {{1, "a"}, {22, "bb"}}), 2),
            "   activity_identifier   x\n"
            "0                    1   a\n"
            "1                   22  bb");
  EXPECT_EQ(render_rows(table({"x", "description_of_item"}, {{"a", "z"}, {"bb", "y"}}), 2),
            "    x description_of_item\n"
            "0   a                   z\n"
            "1  bb                   y");
}

TEST(QuillonSummary, RealFormats) {
  EXPECT_EQ(render_rows(table({"v"}, {{1e-7}, {1.0}}), 2),
            "              v\n0  1.000000e-07\n1  1.000000e+00");
  EXPECT_EQ(render_rows(table({"v"}, {{1e22}, {1.5}}), 2),
            "              v\n0  1.000000e+22\n1  1.500000e+00");
  // Large but short once trimmed: stays fixed.
  EXPECT_EQ(render_rows(table({"v"}, {{1234567.5}, {1.0}}), 2),
            "           v\n0  1234567.5\n1        1.0");
  EXPECT_EQ(render_rows(table({"v"}, {{1.0}, {100.0}, {2.5}}), 3),
            "       v\n0    1.0\n1  100.0\n2    2.5");
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(render_rows(table({"a"}, {{inf}, {-inf}}), 2), "     a\n0  inf\n1 -inf");
  EXPECT_EQ(render_rows(table({"a"}, {{-5}, {12}}), 2), "    a\n0  -5\n1  12");
}

TEST(QuillonSummary, MixedAndBinaryColumnsAreShownValueByValue) {
  EXPECT_EQ(render_rows(table({"m"}, {{1}, {"x"}, {2.5}, {null}}), 4),
            "      m\n0     1\n1     x\n2   2.5\n3  None");
  EXPECT_EQ(render_rows(table({"b"}, {{Bytes{std::string("\0\xff" "A", 3)}}, {Bytes{"it's"}}}), 2),
            "              b\n0  b'\\x00\\xffA'\n1       b\"it's\"");
}

TEST(QuillonSummary, LabelsAndWidthsCountCodePoints) {
  EXPECT_EQ(render_rows(table({"ñame", "中"}, {{"héllo", "中文字"}}), 1),
            "    ñame    中\n0  héllo  中文字");
  // Blanks that every label starts with are dropped; the rest stay.
  EXPECT_EQ(render_rows(table({"  sp ", " n "}, {{" x ", 5}}), 1), "   sp   n \n0   x    5");
  EXPECT_EQ(render_rows(table({"", ""}, {{1, "q"}}), 1), "       \n0  1  q");
  EXPECT_EQ(render_rows(table({"a", "a"}, {{1, "x"}}), 1), "   a  a\n0  1  x");
}
