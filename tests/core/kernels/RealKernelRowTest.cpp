#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/kernels/Kernels.h"
#include "core/kernels/RealKernelRow.h"
#include "tests/core/ExampleBuilders.h"
#include "tests/core/KernelSamples.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using samples::sameBits;

// Every value, four columns at a time or fewer, is the kernel function's.
TEST(RealKernelRow, ValuesAreTheKernelFunctionsBitForBit) {
  std::mt19937 rng(41);
  const std::vector<Element> ex = sparseRealExamples(rng, 40);
  std::int32_t maxIndex = -1;
  ASSERT_TRUE(RealKernelRow::coversAll(ex, maxIndex));
  for (const auto& [standard, function] : standardKernels()) {
    RealKernelRow row(standard, maxIndex);
    for (std::size_t i = 0; i < ex.size(); ++i) {
      row.setRow(*ex[i].example);
      const std::size_t count = i % 7;  // full groups of four and the rest
      std::size_t seen = 0;
      row.forEach(
          ex.size() - count, [&](std::size_t c) -> const Example& { return *ex[c].example; },
          [&](std::size_t c, double k) {
            ASSERT_EQ(c, seen++);
            ASSERT_TRUE(sameBits(k, function(*ex[i].example, *ex[c].example)))
                << static_cast<int>(standard.type) << " row " << i << " column " << c;
          });
      EXPECT_EQ(seen, ex.size() - count);
    }
  }
}

TEST(RealKernelRow, CoversRealFeaturesAloneInStrictOrder) {
  const auto covers = [](std::vector<ExamplePtr> xs) {
    std::vector<Element> elems;
    for (ExamplePtr& x : xs) elems.push_back({std::move(x), 1.0});
    std::int32_t maxIndex = -1;
    const bool yes = RealKernelRow::coversAll(elems, maxIndex);
    return yes ? maxIndex : -1;
  };
  const ExamplePtr plain = example(reals({{0, 1.0}, {7, 2.0}}));
  EXPECT_EQ(covers({plain, example(reals({{2, -1.0}}))}), 7);
  EXPECT_EQ(covers({plain, example(reals({}), {{1, tokens({"a"})}})}), -1);
  EXPECT_EQ(covers({plain, example(reals({{3, 1.0}, {3, 2.0}}))}), -1);  // repeated index
  EXPECT_EQ(covers({plain, example(reals({{3, 1.0}, {2, 2.0}}))}), -1);  // out of order
  EXPECT_EQ(covers({example(reals({{1, std::numeric_limits<double>::infinity()}}))}), -1);
  EXPECT_EQ(covers({example(reals({{1, std::numeric_limits<double>::quiet_NaN()}}))}), -1);
  EXPECT_EQ(covers({example(reals({{2000000, 1.0}}))}), -1);  // too wide for a dense row
}

}  // namespace
}  // namespace kelvor
