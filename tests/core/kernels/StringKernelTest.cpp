// The string kernel: worked values, agreement bit for bit with the plain
// table transcription, and the read-once parameters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <random>

#include "core/kernels/KernelParams.h"
#include "core/kernels/StringKernel.h"
#include "tests/core/KernelReference.h"
#include "tests/core/KernelSamples.h"

namespace kelvor {
namespace {

TokenSeq seq(const std::vector<std::string>& words) {
  std::vector<TokenId> ids;
  for (const auto& w : words) ids.push_back(internToken(w));
  return TokenSeq(std::move(ids));
}

TEST(StringKernel, WorkedValues) {
  struct Case {
    std::vector<std::string> s, t;
    std::int32_t n;
    double expected;
  };
  const std::vector<Case> cases{
      {{"a"}, {"a"}, 1, 0.81},
      {{"a", "b"}, {"a", "b"}, 1, 1.62},
      {{"a", "b"}, {"a", "b"}, 2, 2.2761000000000005},
      {{"a", "b"}, {"b", "a"}, 2, 1.62},
      // Not symmetric: the length of the second sequence sets the weights.
      {{"a", "b", "a"}, {"a", "b"}, 2, 3.0861},
      // 2.43 + 0.59049 in decimals; lambda^3 rounds, so the double is not 3.02049.
      {{"a", "b"}, {"a", "b", "a"}, 2, 3.0204900000000006},
      {{}, {"a"}, 3, 0.0},
      {{"a"}, {}, 1, 0.0},
      {{"a", "b"}, {"a", "b"}, 0, 0.0},
      {{"a", "b"}, {"a", "b"}, -5, 0.0},
      // Gram lengths beyond the shorter sequence add nothing.
      {{"a", "b"}, {"a", "b"}, std::numeric_limits<std::int32_t>::max(), 2.2761000000000005},
      {{"Dog", "dog "}, {"dog"}, 1, 0.0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(stringKernelWith(c.n, 0.9, seq(c.s), seq(c.t)), c.expected)
        << ::testing::PrintToString(c.s) << " " << ::testing::PrintToString(c.t) << " n=" << c.n;
}

TEST(StringKernel, MatchesTheTableBitForBit) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> lambdas{
      0.9, 0.0,   -0.0,   1.0,    0.5, -0.7, -1.3,
      2.0, 1e200, -1e200, 1e-200, inf, -inf, std::numeric_limits<double>::quiet_NaN()};
  std::mt19937 rng(20240601);
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::size_t vocabulary = 1 + round % 4;
    const auto s = samples::randomWords(rng, rng() % 31, vocabulary);
    const auto t = samples::randomWords(rng, rng() % 31, vocabulary);
    const auto n = static_cast<std::int32_t>(rng() % 6);
    const double lambda = lambdas[rng() % lambdas.size()];
    const double fast = stringKernelWith(n, lambda, seq(s), seq(t));
    const double slow = reference::stringKernel(n, lambda, s, t);
    ASSERT_TRUE(samples::sameBits(fast, slow))
        << "n=" << n << " lambda=" << lambda << " fast=" << fast << " slow=" << slow
        << " s=" << ::testing::PrintToString(s) << " t=" << ::testing::PrintToString(t);
    ++compared;
  }
  EXPECT_EQ(compared, 3000);
}

// The parameter cells are process-wide and fixed at first use, so this runs
// in a fresh process.
TEST(StringKernelDeathTest, FirstCallFixesTheParameters) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        smaxnRef().store(2);
        const TokenSeq ab = seq({"a", "b"});
        const bool before = stringKernel(ab, ab) == 2.2761000000000005;
        smaxnRef().store(1);
        slambdaRef().store(0.5);
        const bool after = stringKernel(ab, ab) == 2.2761000000000005;
        std::exit(before && after ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kelvor
