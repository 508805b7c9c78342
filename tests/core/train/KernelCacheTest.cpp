#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "FatalMessage.h"
#include "core/train/DualMatrix.h"
#include "core/train/KernelCacheBuild.h"
#include "tests/core/KernelSamples.h"
#include "tests/core/train/TrainProblems.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using samples::sameBits;

const KernelFunction kLinear = linearKernel;

// The row-sum bound read cell by cell, each row over j ascending.
double plainRowSumBound(const HalfMatrix& m, std::int32_t rows) {
  double d = 0.0;
  for (std::int32_t i = 1; i <= rows; ++i) {
    double r = 0.0;
    for (std::int32_t j = 1; j <= rows; ++j) r = r + std::fabs(readMatrix(m, i, j));
    if (d < r || std::isnan(r)) d = r;
  }
  return d;
}

void expectSameCells(const HalfMatrix& a, const HalfMatrix& b) {
  ASSERT_EQ(a.matrixLength, b.matrixLength);
  for (std::size_t k = 0; k < a.arr.size(); ++k)
    ASSERT_TRUE(sameBits(a.arr[k], b.arr[k])) << "cell " << k;
}

TEST(KernelCache, RowCountFollowsTheBudget) {
  const std::pair<std::int32_t, std::int32_t> table[] = {{40, 3237}, {1, 511}, {0, 0}, {200, 7240}};
  for (auto [megabytes, rows] : table) EXPECT_EQ(cacheRowCount(megabytes), rows) << megabytes;
  // The largest budget's triangle is counted in 64 bits.
  const std::int64_t rows = cacheRowCount(2147483647);
  EXPECT_GT(rows * (rows + 1) / 2 * 8, 2147483647LL * 1024 * 1024 - 8 * rows);
  EXPECT_EQ(fatalMessage([] { cacheRowCount(-3); }),
            "The kernel cache size must be 0 or more megabytes, not -3");
  EXPECT_EQ(fatalMessage([] { newMatrix(2147483647); }),
            "Cannot allocate a matrix of 2147483647 rows (17592186036224 megabytes); a smaller "
            "kernel cache (-m) needs less");
}

TEST(KernelCache, BuildFillsTheBlockAndSetsLagrangians) {
  std::mt19937 rng(5);
  const Examples ex = randomExamples(rng, 10, 6, 2.0);
  const InitialLagrangian initial[] = {{3, 0.5}, {3, 0.7}, {10, 0.25}};
  ::testing::internal::CaptureStdout();
  const CacheBuild build = newKernelCache(40, kLinear, 2.0, ex, initial);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(build.cache.kernelCacheSize, 3237);
  expectSameCells(build.cache.kernelCache, cacheWithBound(ex, kLinear, 2.0, 3237).kernelCache);
  EXPECT_EQ(build.h, (std::vector<double>{0, 0, 0.7, 0, 0, 0, 0, 0, 0, 0.25}));
  EXPECT_EQ(build.eta, 1.9 / plainRowSumBound(build.cache.kernelCache, 10));

  EXPECT_EQ(fatalMessage([&] {
              const InitialLagrangian bad[] = {{11, 1.0}};
              newKernelCache(40, kLinear, 2.0, ex, bad);
            }),
            "Index 11 out of bounds (1,10)");
}

// Cells by hand: an asymmetric kernel's block stores K(x_j, x_i) in cell
// (i, j), and a row sum takes every cell of its row and column once.
TEST(KernelCache, StepFactorFromTheLargestRowSum) {
  const Examples ex = collection({{mkExample(reals({{1, 1.0}})), 1.0},
                                  {mkExample(reals({{1, 2.0}})), -1.0},
                                  {mkExample(reals({{1, 3.0}})), 1.0}});
  // K(a, b) = a_1 - 2 b_1, lambda 1: diagonal cells -a_1 + 1 = 0, -1, -2;
  // (1, 2) = -(K(x2, x1) + 1) = -1, (1, 3) = K(x3, x1) + 1 = 2,
  // (2, 3) = -(K(x3, x2) + 1) = 0. Row sums 0+1+2, 1+1+0, 2+0+2: D = 4.
  const KernelFunction skewed = [](const Example& a, const Example& b) {
    return a.vectorReal().elems()[0].value - 2.0 * b.vectorReal().elems()[0].value;
  };
  const CacheBuild build = newKernelCache(40, skewed, 1.0, ex, {});
  EXPECT_EQ(readMatrix(build.cache.kernelCache, 1, 3), 2.0);
  EXPECT_EQ(build.eta, 1.9 / 4.0);

  HalfMatrix m = newMatrix(3);
  writeMatrix(m, 1, 1, 1.0);
  writeMatrix(m, 2, 2, std::numeric_limits<double>::quiet_NaN());
  writeMatrix(m, 3, 3, 50.0);
  EXPECT_TRUE(std::isnan(rowSumBound(m, 3)));  // a NaN row wins over a later larger one
  EXPECT_EQ(rowSumBound(m, 1), 1.0);           // only the rows asked for

  std::mt19937 rng(12);
  const Examples many = randomExamples(rng, 60, 8);
  const KernelCache cache = cacheWithBound(many, kLinear, 0.7, 60);
  EXPECT_TRUE(
      sameBits(rowSumBound(cache.kernelCache, 60), plainRowSumBound(cache.kernelCache, 60)));
}

// The standard kernels fill a block of real features row by row, four
// columns at a time: the cells are the documented ones to the bit.
TEST(KernelCache, StandardKernelsFillTheDocumentedCells) {
  std::mt19937 rng(14);
  const Examples ex = randomExamples(rng, 23, 9, 0.5);
  for (const TrainingKernel& kernel :
       {standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0),
        standardTrainingKernel(KernelType::PolyKernel, 2, 0, 0.5, 1.0),
        standardTrainingKernel(KernelType::RBFKernel, 0, 0.4, 0, 0),
        standardTrainingKernel(KernelType::SigmoidKernel, 0, 0, 0.3, -0.2)}) {
    const CacheBuild build = newKernelCache(40, kernel, 0.6, ex, {});
    expectSameCells(build.cache.kernelCache,
                    cacheWithBound(ex, kernel.function, 0.6, 23).kernelCache);
  }
}

// However many rows are cached, the step factor bounds the whole working
// set: D is the same double, and the entries are the same doubles, at any
// cache size, even for a kernel whose value depends on its argument order
// and for targets other than +1 and -1.
TEST(KernelCache, TheCacheSizeChangesNoEntryAndNoStepFactor) {
  std::mt19937 rng(6);
  const Examples unit = randomExamples(rng, 520, 4);
  std::vector<Element> elems;
  for (const Element& e : unit.collectionElems())
    elems.push_back({e.example, e.value > 0 ? 2.0 : -0.5});
  const Examples ex = collection(std::move(elems));
  const KernelFunction skewed = [](const Example& a, const Example& b) {
    return linearKernel(a, b) + 0.25 * a.vectorReal().elems()[0].value;
  };
  ::testing::internal::CaptureStdout();
  const CacheBuild none = newKernelCache(0, skewed, 1.0, ex, {});
  const CacheBuild part = newKernelCache(1, skewed, 1.0, ex, {});  // 511 rows
  const CacheBuild whole = newKernelCache(40, skewed, 1.0, ex, {});
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(none.cache.kernelCache.matrixLength, 0);
  EXPECT_EQ(part.cache.kernelCache.matrixLength, 511);
  EXPECT_TRUE(sameBits(whole.eta, 1.9 / plainRowSumBound(whole.cache.kernelCache, 520)));
  EXPECT_TRUE(sameBits(none.eta, whole.eta));
  EXPECT_TRUE(sameBits(part.eta, whole.eta));
  for (const auto& [i, j] : {std::pair{3, 3}, {2, 515}, {515, 2}, {517, 519}, {519, 519}}) {
    const double cached = dualMatrixEntry(whole.cache, i, j);
    EXPECT_TRUE(sameBits(dualMatrixEntry(none.cache, i, j), cached)) << i << "," << j;
    EXPECT_TRUE(sameBits(dualMatrixEntry(part.cache, i, j), cached)) << i << "," << j;
  }
  EXPECT_EQ(newKernelCache(0, kLinear, 1.0, collection({}), {}).eta,
            std::numeric_limits<double>::infinity());
}

TEST(KernelCache, EntriesCarryBothTargets) {
  const Examples ex =
      collection({{mkExample(reals({{1, 1.0}})), 1.0}, {mkExample(reals({{1, 3.0}})), 2.0}});
  const KernelCache inside = cacheWithBound(ex, kLinear, 0.5, 2);
  const KernelCache outside = cacheWithBound(ex, kLinear, 0.5, 1);
  EXPECT_EQ(dualMatrixEntry(inside, 2, 2), 4 * 9.25);
  EXPECT_EQ(dualMatrixEntry(outside, 2, 2), 4 * 9.25);
  EXPECT_EQ(dualMatrixEntry(outside, 1, 2), 2 * 3.25);
  EXPECT_EQ(dualMatrixEntry(outside, 1, 1), 1.25);
}

// A grown cache holds what a fresh build over the grown set would hold.
TEST(KernelCache, ExtensionAddsRowsAsAFreshBuildWould) {
  std::mt19937 rng(8);
  const Examples all = randomExamples(rng, 13, 6);
  std::vector<Element> first;
  for (std::int32_t i = 1; i <= 10; ++i) first.push_back(all.at(i));
  const Examples ten = collection(first);
  const KernelCache old = cacheWithBound(ten, kLinear, 0.3, 20);

  EXPECT_FALSE(extendKernelCache(old, 10, 10, ten));
  const auto grown = extendKernelCache(old, 10, 13, all);
  ASSERT_TRUE(grown);
  EXPECT_EQ(grown->cache.kernelCacheSize, 20);
  expectSameCells(grown->cache.kernelCache, cacheWithBound(all, kLinear, 0.3, 20).kernelCache);
  // The candidate bounds the whole grown block, not just its new rows.
  EXPECT_EQ(grown->etaCandidate, 1.9 / plainRowSumBound(grown->cache.kernelCache, 13));

  // Past the bound no cell is filled, and D reads the filled rows.
  const auto capped = extendKernelCache(cacheWithBound(ten, kLinear, 0.3, 11), 10, 13, all);
  EXPECT_EQ(readMatrix(capped->cache.kernelCache, 12, 12), 0.0);
  EXPECT_EQ(capped->etaCandidate, 1.9 / plainRowSumBound(capped->cache.kernelCache, 11));

  // A working set beyond the bound shrinks to it; nothing is added, so
  // there is no candidate and the loop keeps its step factor.
  const auto shrunk = extendKernelCache(cacheWithBound(ten, kLinear, 0.3, 8), 10, 8, all);
  ASSERT_TRUE(shrunk);
  EXPECT_FALSE(shrunk->etaCandidate);
  expectSameCells(shrunk->cache.kernelCache, cacheWithBound(ten, kLinear, 0.3, 8).kernelCache);
}

}  // namespace
}  // namespace kelvor
