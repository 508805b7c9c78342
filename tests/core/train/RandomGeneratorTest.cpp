#include <gtest/gtest.h>

#include <vector>

#include "core/train/RandomGenerator.h"

namespace kelvor {
namespace {

std::vector<std::int32_t> ints(RandomGenerator g, int n) {
  std::vector<std::int32_t> out;
  for (int i = 0; i < n; ++i) out.push_back(g.nextInt());
  return out;
}

TEST(RandomGenerator, SplitIsDeterministicAndGivesDistinctStreams) {
  const RandomGenerator g(42);
  EXPECT_EQ(ints(g, 8), ints(RandomGenerator(42), 8));
  auto [first, second] = g.split();
  auto [first2, second2] = g.split();
  EXPECT_EQ(ints(first, 8), ints(first2, 8));
  EXPECT_EQ(ints(second, 8), ints(second2, 8));
  EXPECT_NE(ints(first, 8), ints(second, 8));
  EXPECT_NE(ints(first, 8), ints(g, 8));
  EXPECT_NE(ints(second, 8), ints(g, 8));
}

TEST(RandomGenerator, DrawsCoverTheirRanges) {
  RandomGenerator g(7);
  bool negative = false, positive = false;
  double sum = 0.0;
  const int n = 10000;
  for (int i = 0; i < n; ++i) {
    const std::int32_t x = g.nextInt();
    negative = negative || x < -(1 << 30);
    positive = positive || x > (1 << 30);
    const double u = g.nextDouble();
    ASSERT_GE(u, 0.0);
    ASSERT_LT(u, 1.0);
    sum += u;
  }
  EXPECT_TRUE(negative && positive);
  EXPECT_NEAR(sum / n, 0.5, 0.02);
}

TEST(RandomGenerator, ProcessGeneratorKeepsWhatIsStoredBack) {
  // Reading alone does not advance it; storing a half does.
  EXPECT_EQ(ints(readRandomGenerator(), 4), ints(readRandomGenerator(), 4));
  auto [keep, use] = readRandomGenerator().split();
  const auto drawn = ints(use, 4);
  storeRandomGenerator(keep);
  EXPECT_EQ(ints(readRandomGenerator(), 4), ints(keep, 4));
  auto [keep2, use2] = readRandomGenerator().split();
  storeRandomGenerator(keep2);
  EXPECT_NE(ints(use2, 4), drawn);
}

}  // namespace
}  // namespace kelvor
