#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "core/train/EntryBounds.h"
#include "core/train/Gradient.h"
#include "tests/core/KernelSamples.h"
#include "tests/core/train/TrainProblems.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using samples::sameBits;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Examples whose first two carry one unusual value each.
Examples withSpecialValues(std::mt19937& rng, std::int32_t n, RealFeature special, double target) {
  const Examples base = randomExamples(rng, n, 6);
  std::vector<Element> elems;
  for (const Element& e : base.collectionElems()) elems.push_back(e);
  elems[0] = {mkExample(reals({{0, 1.0}, {special.index, special.value}})), elems[0].value};
  elems[1] = {elems[1].example, target};
  return collection(std::move(elems));
}

Examples withStrings(std::mt19937& rng, std::int32_t n) {
  const Examples base = randomExamples(rng, n, 4);
  std::vector<Element> elems;
  for (const Element& e : base.collectionElems())
    elems.push_back({example(e.example->vectorReal(), {{1, tokens({"a", "b"})}}), e.value});
  return collection(std::move(elems));
}

// The same elements behind a collection that is not an array.
Examples throughAt(const Examples& ex) {
  std::vector<std::int32_t> all;
  for (std::int32_t i = 1; i <= ex.collectionSize(); ++i) all.push_back(i);
  return Examples(std::make_shared<const RandomExamples>(ex, Array<std::int32_t>(std::move(all))));
}

// Every pair left out when its lagrangians are 0 must not change a bit.
TEST(GradientWalk, EqualsThePlainWalkBitForBit) {
  const KernelFunction spiky = [](const Example& x, const Example& y) {
    const double k = linearKernel(x, y);
    return k > 3.0 ? kInf : k < -3.0 ? kNaN : k;
  };
  struct Case {
    std::string name;
    TrainingKernel kernel;
    std::int32_t n, bound;
    double zeroShare;
    int examples;    // 0 random, 1 overflowing feature, 2 NaN target, 3 strings, 5 infinity
    bool leavesOut;  // entries beyond the block may be left out
  };
  const std::vector<Case> cases{
      {"linear dense", standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0), 41, 41, 0.0, 0,
       true},
      {"linear sparse", standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0), 41, 41, 0.95,
       0, true},
      {"poly beyond", standardTrainingKernel(KernelType::PolyKernel, 3, 0, 0.5, 1.0), 45, 17, 0.5,
       0, true},
      {"rbf no block", standardTrainingKernel(KernelType::RBFKernel, 0, 0.3, 0, 0), 45, 0, 0.9, 0,
       true},
      {"sigmoid", standardTrainingKernel(KernelType::SigmoidKernel, 0, 0, 0.2, -0.5), 45, 30, 0.9,
       0, true},
      {"overflow", standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0), 30, 13, 0.9, 1,
       false},
      {"infinite feature", standardTrainingKernel(KernelType::RBFKernel, 0, 0.3, 0, 0), 30, 13, 0.9,
       5, false},
      {"NaN target", standardTrainingKernel(KernelType::PolyKernel, 2, 0, 1, 1), 30, 13, 0.9, 2,
       false},
      {"strings", standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0), 30, 9, 0.9, 3,
       false},
      {"inf and NaN entries", customTrainingKernel(spiky), 30, 10, 0.8, 0, false},
      {"fetched through at()", standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0), 30, 21,
       0.9, 4, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 rng(17);
    const Examples ex = c.examples == 1   ? withSpecialValues(rng, c.n, {3, 1e200}, 1.0)
                        : c.examples == 5 ? withSpecialValues(rng, c.n, {3, kInf}, 1.0)
                        : c.examples == 2 ? withSpecialValues(rng, c.n, {3, 1.0}, kNaN)
                        : c.examples == 3 ? withStrings(rng, c.n)
                        : c.examples == 4 ? throughAt(randomExamples(rng, c.n, 8))
                                          : randomExamples(rng, c.n, 8);
    const KernelCache cache = cacheWithBound(ex, c.kernel.function, 0.7, c.bound);
    GradientWalk walk(cache, c.kernel.standard);
    for (int round = 0; round < 3; ++round) {
      std::vector<double> h = randomLagrangians(rng, static_cast<std::size_t>(c.n), c.zeroShare);
      if (round == 2) {
        h[2] = -0.0;
        h[5] = kNaN;
        h[7] = -kInf;
      }
      std::vector<double> G(h.size(), 1.0);
      walk.product(h, G);
      const std::vector<double> plain = plainProduct(cache, h);
      for (std::size_t k = 0; k < G.size(); ++k)
        ASSERT_TRUE(sameBits(G[k], plain[k])) << "G_" << k + 1 << " " << G[k] << " " << plain[k];
      const std::int64_t c0 = std::min(c.n, c.bound);
      const std::int64_t beyond = std::int64_t{c.n} * (c.n + 1) / 2 - c0 * (c0 + 1) / 2;
      if (c.leavesOut && c.zeroShare > 0.0 && beyond > 0)
        EXPECT_LT(walk.kernelEvaluations(), beyond);
      else
        EXPECT_EQ(walk.kernelEvaluations(), beyond);
    }
  }
}

TEST(GradientWalk, FinitenessIsCertainOnlyWithinSafeBounds) {
  std::mt19937 rng(3);
  const Examples plain = randomExamples(rng, 10, 5);
  const Examples huge = withSpecialValues(rng, 10, {2, 1e160}, 1.0);
  const auto certain = [](const Examples& ex, std::optional<StandardKernel> k, double lambda) {
    return entriesCertainlyFinite(k, lambda, ElementView(ex));
  };
  using K = StandardKernel;
  EXPECT_TRUE(certain(plain, K{KernelType::LinearKernel, 0, 0, 0, 0}, 2.0));
  EXPECT_TRUE(certain(plain, K{KernelType::PolyKernel, 0, 0, kNaN, kNaN}, 2.0));  // d = 0: 1.0
  EXPECT_FALSE(certain(plain, K{KernelType::PolyKernel, -1, 0, 1, 1}, 2.0));      // fails
  EXPECT_FALSE(certain(plain, K{KernelType::PolyKernel, 300, 0, 1e3, 1}, 2.0));   // overflows
  EXPECT_TRUE(certain(plain, K{KernelType::RBFKernel, 0, 1e6, 0, 0}, 2.0));
  EXPECT_FALSE(certain(plain, K{KernelType::RBFKernel, 0, -1e6, 0, 0}, 2.0));  // exp(+large)
  EXPECT_FALSE(certain(plain, K{KernelType::SigmoidKernel, 0, 0, kInf, 0}, 2.0));
  EXPECT_FALSE(certain(plain, K{KernelType::LinearKernel, 0, 0, 0, 0}, kNaN));
  EXPECT_FALSE(certain(plain, std::nullopt, 2.0));
  // 1e160 squared overflows the self-kernel; even the bounded sigmoid is
  // then left to computation, as no bound on the dot is known.
  EXPECT_FALSE(certain(huge, K{KernelType::SigmoidKernel, 0, 0, 1, 0}, 2.0));
}

}  // namespace
}  // namespace kelvor
