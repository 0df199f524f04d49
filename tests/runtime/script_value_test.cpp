#include "runtime/script_value.h"

#include <gtest/gtest.h>

#include <limits>

using morvox::ToIndex;

TEST(ToIndex, BiasesAwayFromZeroThenTruncates) {
  EXPECT_EQ(ToIndex(2.99995), 3);
  EXPECT_EQ(ToIndex(-2.99995), -3);
  EXPECT_EQ(ToIndex(0.9998), 0);
  EXPECT_EQ(ToIndex(2.9999), 3);
  EXPECT_EQ(ToIndex(-0.99995), -1);
  EXPECT_EQ(ToIndex(0.5), 0);
  EXPECT_EQ(ToIndex(-0.5), 0);
  EXPECT_EQ(ToIndex(1000023.0), 1000023);
}

TEST(ToIndex, NonFiniteAndOutOfRangeValuesHaveDefinedResults) {
  EXPECT_EQ(ToIndex(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(ToIndex(std::numeric_limits<double>::infinity()), INT32_MAX);
  EXPECT_EQ(ToIndex(-std::numeric_limits<double>::infinity()), INT32_MIN);
  EXPECT_EQ(ToIndex(1e12), INT32_MAX);
  EXPECT_EQ(ToIndex(-1e12), INT32_MIN);
  EXPECT_EQ(ToIndex(2147483646.0), 2147483646);
  EXPECT_EQ(ToIndex(-2147483647.0), -2147483647);
}
