// The statement limits as a host sets them: what a deadline and a row cap
// may be, and the errors for what they may not.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "corvalt/errors.hpp"
#include "corvalt/quillon.hpp"

using corvalt::ValueError;
using corvalt::quillon::StatementLimits;

namespace {

template <class Set>
std::string refusal(Set set) {
  try {
    set();
  } catch (const ValueError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(StatementLimits, ADeadlineIsAPositiveFiniteNumberOfSecondsOrNone) {
  StatementLimits limits{30.0, 10, {}};
  limits.set_timeout(0.25);
  EXPECT_EQ(limits.timeout_seconds, 0.25);
  limits.set_timeout(std::nullopt);
  EXPECT_FALSE(limits.timeout_seconds);

  limits.set_timeout(5.0);
  const std::string message =
      "Quillon() argument 'statement_timeout' must be a positive number of seconds";
  for (double bad : {0.0, -1.0, std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), std::nan("")}) {
    EXPECT_EQ(refusal([&] { limits.set_timeout(bad); }), message) << bad;
    EXPECT_EQ(limits.timeout_seconds, 5.0);  // a refused value changes nothing
  }
}

TEST(StatementLimits, ARowCapIsAtLeastOneAndAnOverflowingOneIsNone) {
  StatementLimits limits{30.0, 10, {}};
  limits.set_max_rows(1);
  EXPECT_EQ(limits.max_rows, 1u);
  limits.set_max_rows(std::nullopt);
  EXPECT_FALSE(limits.max_rows);

  limits.set_max_rows(7);
  limits.set_max_rows(-1, 1);  // larger than long long: beyond any result
  EXPECT_FALSE(limits.max_rows);

  limits.set_max_rows(7);
  const std::string message = "Quillon() argument 'max_rows' must be at least 1";
  EXPECT_EQ(refusal([&] { limits.set_max_rows(0); }), message);
  EXPECT_EQ(refusal([&] { limits.set_max_rows(-5); }), message);
  EXPECT_EQ(refusal([&] { limits.set_max_rows(-1, -1); }), message);
  EXPECT_EQ(limits.max_rows, 7u);
}
