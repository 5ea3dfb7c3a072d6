#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "corvalt/errors.hpp"
#include "corvalt/value.hpp"

using namespace corvalt;

TEST(Record, ReplacingAValueKeepsItsPositionAndNewKeysAppend) {
  Record r{{"a", 1}, {"b", 2}};
  r.set("a", "x");
  r.set("c", 3);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r.item(0).first, "a");
  EXPECT_EQ(r.item(0).second, Value("x"));
  EXPECT_EQ(r.item(2).first, "c");
}

TEST(Record, LargeRecordsFindKeysThroughTheIndexAfterLaterInserts) {
  Record r;
  for (int i = 0; i < 40; ++i) r.set("k" + std::to_string(i), i);
  ASSERT_NE(r.find("k39"), nullptr);  // builds the index
  r.set("late", 99);                  // index must follow
  r.set("k5", -5);                    // replace in place through the index
  EXPECT_EQ(r.at("late"), Value(99));
  EXPECT_EQ(r.item(5).second, Value(-5));
  EXPECT_EQ(r.size(), 41u);
  EXPECT_EQ(r.find("missing"), nullptr);
}

TEST(Record, AtNamesTheMissingKey) {
  Record r{{"a", 1}};
  try {
    (void)r.at("tables");
    FAIL() << "no KeyError";
  } catch (const KeyError& e) {
    EXPECT_EQ(e.key(), "tables");
  }
}

TEST(Value, SharedRecordsAreUpdatedThroughEveryHolder) {
  auto shared = make_record();
  Record outer{{"x", Value(shared)}, {"y", Value(shared)}};
  shared->set("k", 1);
  EXPECT_EQ(outer.at("x").as_record().at("k"), Value(1));
  EXPECT_EQ(outer.at("y").record_ptr(), shared);
}

TEST(Value, TruthAndEqualityFollowTheHost) {
  EXPECT_FALSE(Value().truthy());
  EXPECT_FALSE(Value(0).truthy());
  EXPECT_FALSE(Value(0.0).truthy());
  EXPECT_FALSE(Value("").truthy());
  EXPECT_FALSE(Value(make_list()).truthy());
  EXPECT_TRUE(Value(" ").truthy());
  EXPECT_TRUE(Value(BigInt{"123456789012345678901234"}).truthy());
  EXPECT_EQ(Value(1), Value(1.0));
  EXPECT_EQ(Value(true), Value(1));
  EXPECT_NE(Value(1), Value("1"));
  double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_NE(Value(nan), Value(nan));
  // dict equality ignores key order
  EXPECT_EQ(Value(Record{{"a", 1}, {"b", 2}}), Value(Record{{"b", 2}, {"a", 1}}));
  EXPECT_NE(Value(Record{{"a", 1}}), Value(Record{{"a", 1}, {"b", 2}}));
  EXPECT_NE(Value(std::int64_t{9007199254740993}), Value(9007199254740992.0));
}

TEST(TextForms, ReprOfNestedValuesMatchesTheHost) {
  List l{Value(1), Value(2.5), Value(), Value(true), Value("x")};
  EXPECT_EQ(to_repr(Value(l)), "[1, 2.5, None, True, 'x']");
  EXPECT_EQ(to_repr(Value(Record{{"k", "v"}, {"n", List{}}})), "{'k': 'v', 'n': []}");
  EXPECT_EQ(to_str(Value("plain")), "plain");
  EXPECT_EQ(to_str(Value()), "None");
  EXPECT_EQ(to_repr(Value(Bytes{std::string("a'\x01", 3)})), "b\"a'\\x01\"");
}

TEST(TextForms, RealsPrintAsTheHostsRepr) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "0.0"},       {-0.0, "-0.0"},       {1.0, "1.0"},
      {0.1, "0.1"},       {1e-05, "1e-05"},     {0.0001, "0.0001"},
      {1e16, "1e+16"},    {1e15, "1000000000000000.0"},
      {123456789012345678.0, "1.2345678901234568e+17"},
      {2.675, "2.675"},   {1.0 / 3, "0.3333333333333333"},
      {5e-324, "5e-324"}, {1.7976931348623157e308, "1.7976931348623157e+308"},
      {100.0, "100.0"},   {1e22, "1e+22"},      {12345.678, "12345.678"},
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {std::numeric_limits<double>::quiet_NaN(), "nan"},
  };
  for (const auto& [d, expected] : cases) EXPECT_EQ(real_repr(d), expected) << expected;
}

TEST(TextForms, TwoDecimalsRoundLikePercentFormatting) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "0.00"},  {0.125, "0.12"}, {0.375, "0.38"}, {0.5, "0.50"},
      {0.625, "0.62"}, {0.7, "0.70"},  {2.0 / 3, "0.67"}, {0.005, "0.01"},
      {0.015, "0.01"}, {0.025, "0.03"}, {1.0, "1.00"}};
  for (const auto& [d, expected] : cases) EXPECT_EQ(two_decimals(d), expected) << d;
}
