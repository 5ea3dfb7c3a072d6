// A result's rows as JSON objects and CSV lines (expected texts as the host's
// json and csv modules write the same rows), and unique column names.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "corvalt/result_text.hpp"

using corvalt::Bytes;
using corvalt::Value;
using corvalt::quillon::RowText;
using corvalt::quillon::unique_column_names;

namespace {

std::string render(RowText::Format format, const std::vector<std::string>& columns, const std::vector<Value>& cells) {
  const RowText text(format, columns);
  std::string out = "prefix|";
  text.append(out, cells.data(), columns.empty() ? 0 : cells.size() / columns.size());
  return out;
}

const double kInf = std::numeric_limits<double>::infinity();

}  // namespace

TEST(ResultText, RepeatedNamesAreNumberedPastNamesTheResultHas) {
  EXPECT_EQ(unique_column_names({"status", "status", "a_2", "a", "a", "a", "b"}),
            (std::vector<std::string>{"status", "status_2", "a_2", "a", "a_3", "a_4", "b"}));
  EXPECT_EQ(unique_column_names({"x", "y"}), (std::vector<std::string>{"x", "y"}));
  const RowText text(RowText::Format::kJson, {"s", "s"});
  EXPECT_EQ(text.names(), (std::vector<std::string>{"s", "s_2"}));
}

TEST(ResultText, JsonRowsAreObjectsInColumnOrderWithEveryValueWritable) {
  const std::vector<Value> cells = {
      Value(std::int64_t{-42}), Value(1e16), Value(kInf), Value("a\"b\\c\n\t\x01 \xc3\xa9 \xf0\x9f\x98\x80"),
      Value(Bytes{std::string("\x00\xff", 2)}), Value(),
      Value(std::int64_t{7}), Value(0.1), Value(-kInf), Value(""), Value(Bytes{}), Value(2.0)};
  EXPECT_EQ(render(RowText::Format::kJson, {"i", "r", "inf", "t", "b", "i"}, cells),
            "prefix|"
            R"({"i": -42, "r": 1e+16, "inf": null, "t": "a\"b\\c\n\t\u0001 \u00e9 \ud83d\ude00", "b": "00ff", "i_2": null}, )"
            R"({"i": 7, "r": 0.1, "inf": null, "t": "", "b": "", "i_2": 2.0})");
  EXPECT_EQ(render(RowText::Format::kJson, {"x"}, {}), "prefix|");
}

TEST(ResultText, CsvQuotesOnlyWhatTheDefaultDialectQuotes) {
  const std::vector<Value> cells = {
      Value("a,b"), Value("say \"hi\""), Value("two\nlines"), Value("cr\ronly"), Value(" spaced "),
      Value(), Value(Bytes{std::string("\x01\xab", 2)}), Value(kInf), Value(1e-05), Value(std::int64_t{3}),
      Value("\xc3\xa9"), Value(""), Value(""), Value(), Value(Bytes{}), Value(-kInf), Value(0.5), Value(",")};
  EXPECT_EQ(render(RowText::Format::kCsv, {"a", "b", "c", "d", "e", "f", "g", "h", "i"}, cells),
            "prefix|\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",cr\ronly, spaced ,,01ab,inf,1e-05\n"
            "3,\xc3\xa9,,,,,-inf,0.5,\",\"\n");
  // A row of one empty field is written "", never as an empty line.
  EXPECT_EQ(render(RowText::Format::kCsv, {"x"}, {Value(), Value(""), Value(Bytes{}), Value(std::int64_t{0})}),
            "prefix|\"\"\n\"\"\n\"\"\n0\n");
}
