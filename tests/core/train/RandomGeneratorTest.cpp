#include <gtest/gtest.h>

#include <vector>

#include "core/train/RandomGenerator.h"

namespace kelvor {
namespace {

std::vector<std::int32_t> ints(RandomGenerator g) {
  return {g.nextInt(), g.nextInt(), g.nextInt()};
}

TEST(RandomGenerator, SplitsIntoDistinctDeterminedStreams) {
  const RandomGenerator g(42);
  auto [first, second] = g.split();
  EXPECT_EQ(ints(first), ints(g.split().first));
  EXPECT_NE(ints(first), ints(second));
  EXPECT_NE(ints(first), ints(g));
  double sum = 0.0;
  for (int i = 0; i < 10000; ++i) {
    const double u = first.nextDouble();
    ASSERT_TRUE(u >= 0.0 && u < 1.0);
    sum += u;
  }
  EXPECT_NEAR(sum / 10000, 0.5, 0.02);
}

TEST(RandomGenerator, ProcessGeneratorKeepsWhatIsStoredBack) {
  EXPECT_EQ(ints(readRandomGenerator()), ints(readRandomGenerator()));
  auto [keep, use] = readRandomGenerator().split();
  storeRandomGenerator(keep);
  EXPECT_EQ(ints(readRandomGenerator()), ints(keep));
}

}  // namespace
}  // namespace kelvor
