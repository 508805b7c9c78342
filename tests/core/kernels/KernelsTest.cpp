#include <gtest/gtest.h>

#include <cmath>

#include "base/Fatal.h"
#include "core/kernels/Dot.h"
#include "core/kernels/KernelParams.h"
#include "core/kernels/Kernels.h"
#include "tests/core/ExampleBuilders.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;

TEST(Dot, MergesFeaturesWithEqualNumbers) {
  auto x = mkExample(reals({{0, 1.0}, {1, 2.0}, {3, 4.0}}));
  auto y = mkExample(reals({{0, 1.0}, {2, 5.0}, {3, 1.0}}));
  EXPECT_EQ(dot(*x, *y), 5.0);
  // Repeated numbers pair up in order; numbers out of order are walked as
  // they stand.
  auto a = mkExample(reals({{3, 1.0}, {3, 2.0}}));
  EXPECT_EQ(dot(*a, *mkExample(reals({{3, 10.0}}))), 10.0);
  EXPECT_EQ(dot(*a, *mkExample(reals({{3, 10.0}, {3, 20.0}}))), 50.0);
  EXPECT_EQ(dot(*mkExample(reals({{5, 1.0}, {2, 1.0}})), *mkExample(reals({{2, 1.0}, {5, 1.0}}))),
            1.0);
}

TEST(Dot, AddsTreeThenStringThenRealTerms) {
  ParseTree t = NonTerm<Unit>("NP", {Term<Unit>("DT", "a", {}), Term<Unit>("NN", "b", {})}, {});
  auto x = example(reals({{0, 2.0}}), {{1, tokens({"a", "b"})}}, {treeFeature(1, t)});
  auto y = example(reals({{0, 2.0}}), {{1, tokens({"b"})}}, {treeFeature(1, t)});
  // Normalised tree kernel of a tree with itself, one shared token, bias.
  const double expected = ((0.0 + 1.0) + 0.9 * 0.9) + 4.0;
  EXPECT_EQ(dot(*x, *y), expected);
  // Features under different numbers never meet.
  auto z = example(reals({{0, 2.0}}), {{2, tokens({"b"})}}, {treeFeature(2, t)});
  EXPECT_EQ(dot(*x, *z), 4.0);
}

TEST(Kernels, FourKernelsOverDot) {
  const double lambda = 2.0;
  auto x = mkExample(reals({{0, lambda}, {1, 1.0}}));
  auto y = mkExample(reals({{0, lambda}, {2, 1.0}}));
  EXPECT_EQ(linearKernel(*x, *y), lambda * lambda);
  EXPECT_EQ(polynomialKernel(2, 1.0, 0.0, *x, *y), (lambda * lambda) * (lambda * lambda));
  EXPECT_EQ(polynomialKernel(1, 3.0, 0.5, *x, *y), (3.0 * 4.0) + 0.5);
  EXPECT_EQ(polynomialKernel(0, 3.0, 0.5, *x, *y), 1.0);
  EXPECT_THROW(polynomialKernel(-1, 1.0, 0.0, *x, *y), FatalError);
  EXPECT_EQ(rbfKernel(0.7, *x, *x), 1.0);
  EXPECT_EQ(rbfKernel(0.5, *x, *y), std::exp(-(0.5 * ((5.0 + 5.0) - 2.0 * 4.0))));
  EXPECT_EQ(sigmoidKernel(0.0, 0.3, *x, *y), std::tanh(0.3));
  EXPECT_EQ(sigmoidKernel(0.5, 0.3, *x, *y), std::tanh(0.5 * 4.0 + 0.3));
}

// Counts evaluations of the base to show a zero exponent never computes it.
TEST(Kernels, IntPowerChains) {
  int calls = 0;
  EXPECT_EQ(intPowerOf(
                [&] {
                  ++calls;
                  return 3.0;
                },
                0),
            1.0);
  EXPECT_EQ(calls, 0);
  const double b = 1.1;
  EXPECT_EQ(intPower(b, 1), b);
  EXPECT_EQ(intPower(b, 2), b * b);
  EXPECT_EQ(intPower(b, 3), (b * b) * b);
  EXPECT_EQ(intPower(b, 4), (b * b) * (b * b));
  EXPECT_EQ(intPower(b, 5), ((b * b) * (b * b)) * b);
  EXPECT_EQ(intPower(b, 6), ((b * b) * (b * b)) * (b * b));
  EXPECT_TRUE(std::isnan(intPower(std::nan(""), 0)) == false);
  EXPECT_THROW(intPower(2.0, -1), FatalError);
}

TEST(KernelParams, ReadersKeepTheirFirstValue) {
  // The cells are process-wide; the threadsafe style re-runs this test alone
  // in a fresh process, before any other test has read them.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto body = [] {
    smaxnRef().store(2);
    tmaxdRef().store(7);
    const int first = cur_smaxn();
    smaxnRef().store(5);
    const bool ok = first == 2 && cur_smaxn() == 2 && cur_tmaxd() == 7 &&
                    gramLengths() == std::vector<std::int32_t>{1, 2} &&
                    gramPositionsFromZero() == std::vector<std::int32_t>{0, 1} &&
                    gramLengthMinusOne() == 1 && cur_tlambda() == 0.5 && cur_slambda() == 0.9;
    std::exit(ok ? 0 : 1);
  };
  EXPECT_EXIT(body(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kelvor
