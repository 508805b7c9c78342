#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "base/Show.h"

namespace kelvor {
namespace {

template <class T>
std::string at(int prec, const T& v) {
  std::string out;
  appendShow(out, prec, v);
  return out;
}

TEST(Show, NegativeNumbersAreBracketedAboveLevelSix) {
  EXPECT_EQ(at(0, -3), "-3");
  EXPECT_EQ(at(6, -3), "-3");
  EXPECT_EQ(at(7, -3), "(-3)");
  EXPECT_EQ(at(11, std::int64_t{-9000000000}), "(-9000000000)");
  EXPECT_EQ(at(11, -0.5), "(-0.5)");
  EXPECT_EQ(at(11, -0.0), "(-0.0)");
  EXPECT_EQ(at(11, std::numeric_limits<double>::quiet_NaN()), "NaN");
  EXPECT_EQ(at(0, -std::numeric_limits<double>::infinity()), "-Infinity");
}

TEST(Show, TextsPairsAndLists) {
  EXPECT_EQ(at(11, std::string("a\"b\n")), "\"a\\\"b\\n\"");
  EXPECT_EQ(at(0, true), "True");
  // Parts of pairs and lists are written at level 0.
  EXPECT_EQ(at(11, std::make_pair(-1, std::string("x"))), "(-1,\"x\")");
  EXPECT_EQ(at(11, std::vector<int>{-1, 2}), "[-1,2]");
}

}  // namespace
}  // namespace kelvor
