#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "core/kernels/KernelParams.h"
#include "core/train/CachedErrors.h"
#include "tests/core/KernelSamples.h"
#include "tests/core/train/TrainProblems.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using samples::sameBits;

struct Kind {
  const char* name;
  bool strings, trees, unitTargets;
};

// Random real features with, as the kind says, a string feature, a tree
// feature and targets other than +1 and -1 (among them 0).
Examples examplesOf(std::mt19937& rng, const Kind& kind, std::int32_t n) {
  const Examples base = randomExamples(rng, n, 5, 0.7);
  const double otherTargets[] = {2.0, -0.5, 0.0, 1.0, -1.0, 3.0};
  std::vector<Element> elems;
  for (const Element& e : base.collectionElems()) {
    std::vector<StringFeature> s;
    std::vector<TreeFeature> t;
    if (kind.strings) {
      std::vector<TokenId> ids;
      for (const std::string& w : samples::randomWords(rng, 4, 5)) ids.push_back(internToken(w));
      s.push_back({1, TokenSeq(std::move(ids))});
    }
    if (kind.trees) t.push_back(treeFeature(1, samples::parseLikeTree(rng, 25)));
    const double y = kind.unitTargets ? e.value : otherTargets[elems.size() % 6];
    elems.push_back({example(e.example->vectorReal(), std::move(s), std::move(t)), y});
  }
  return collection(std::move(elems));
}

bool sameErrors(const std::pair<ErrorRates, std::vector<double>>& a,
                const std::pair<ErrorRates, std::vector<double>>& b) {
  const auto& [ra, va] = a;
  const auto& [rb, vb] = b;
  bool same = va.size() == vb.size() && sameBits(ra.accuracy, rb.accuracy) &&
              sameBits(ra.precision, rb.precision) && sameBits(ra.recall, rb.recall) &&
              sameBits(ra.fscore, rb.fscore);
  for (std::size_t i = 0; same && i < va.size(); ++i) same = sameBits(va[i], vb[i]);
  return same;
}

// The table from the cache against computeError, on all four kernels, for
// real features alone, with string features, with tree features and with
// both, with a cache over all examples or over half of them. Run in a fresh
// process with a tree lambda of 0.4: with 0.5 the tree kernel's sums on such
// small trees are exact in either argument order and would not show that a
// reversed cell is wrong for trees.
TEST(CachedErrors, TableEqualsComputeErrorBitForBit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto body = [] {
    tlambdaRef().store(0.4);
    std::string failures;
    std::mt19937 rng(17);
    const Kind kinds[] = {{"real", false, false, true},
                          {"strings", true, false, true},
                          {"trees", false, true, true},
                          {"both", true, true, true},
                          {"real, other targets", false, false, false},
                          {"both, other targets", true, true, false}};
    const TrainingKernel kernels[] = {
        standardTrainingKernel(KernelType::LinearKernel, 0, 0.0, 0.0, 0.0),
        standardTrainingKernel(KernelType::PolyKernel, 2, 0.0, 0.5, 1.0),
        standardTrainingKernel(KernelType::RBFKernel, 0, 0.3, 0.0, 0.0),
        standardTrainingKernel(KernelType::SigmoidKernel, 0, 0.0, 0.2, -0.1)};
    const std::int32_t n = 24;
    for (const Kind& kind : kinds) {
      const Examples ex = examplesOf(rng, kind, n);
      // The comparison can catch a reversed cell only if some pair's kernel
      // value depends on the argument order.
      bool orderMatters = false;
      for (const Element& a : ex.collectionElems())
        for (const Element& b : ex.collectionElems())
          orderMatters = orderMatters || !sameBits(linearKernel(*a.example, *b.example),
                                                   linearKernel(*b.example, *a.example));
      if (orderMatters != (kind.strings || kind.trees))
        failures += std::string(kind.name) +
                    ": argument order matters: " + (orderMatters ? "yes" : "no") + "\n";
      for (const TrainingKernel& k : kernels) {
        for (const std::int32_t bound : {n, n / 2}) {
          std::int64_t evaluations = 0;
          const KernelFunction counted = [&](const Example& a, const Example& b) {
            ++evaluations;
            return k.function(a, b);
          };
          const double lambda = 0.3;
          const KernelCache cache = cacheWithBound(ex, counted, lambda, bound);
          const std::vector<double> h = randomLagrangians(rng, n, 0.3);
          const Examples svs = getSupportVectors(ex, h);
          evaluations = 0;
          const auto expected = computeError(counted, lambda, svs, ex, 0.0, nullptr, std::nullopt);
          const std::int64_t all = evaluations;
          evaluations = 0;
          const auto got = workingSetErrors(cache, k.standard, h, svs);
          const std::string what = std::string(kind.name) + ", kernel " +
                                   std::to_string(static_cast<int>(k.standard->type)) + ", bound " +
                                   std::to_string(bound);
          if (!sameErrors(got, expected)) failures += what + ": tables differ\n";
          // Only real features with targets +1 and -1 and the whole set in
          // the cache leave nothing to evaluate; the diagonal always helps.
          const bool none = !kind.strings && !kind.trees && kind.unitTargets && bound == n;
          if (none ? evaluations != 0 : !(evaluations > 0 && evaluations < all))
            failures += what + ": " + std::to_string(evaluations) + " of " + std::to_string(all) +
                        " kernel values evaluated\n";
        }
      }
    }
    std::fputs(failures.c_str(), stderr);
    std::exit(failures.empty() ? 0 : 1);
  };
  EXPECT_EXIT(body(), ::testing::ExitedWithCode(0), "");
}

// Without a standard kernel nothing is known of its symmetry: every value
// is evaluated, as computeError does.
TEST(CachedErrors, AnyOtherKernelIsEvaluatedThroughout) {
  std::mt19937 rng(3);
  const Examples ex = randomExamples(rng, 10, 4);
  std::int64_t evaluations = 0;
  const KernelFunction counted = [&](const Example& a, const Example& b) {
    ++evaluations;
    return linearKernel(a, b);
  };
  const KernelCache cache = cacheWithBound(ex, counted, 0.5, 10);
  const std::vector<double> h = randomLagrangians(rng, 10, 0.2);
  const Examples svs = getSupportVectors(ex, h);
  evaluations = 0;
  const auto got = workingSetErrors(cache, std::nullopt, h, svs);
  EXPECT_EQ(evaluations, std::int64_t{10} * svs.collectionSize());
  EXPECT_TRUE(sameErrors(got, computeError(counted, 0.5, svs, ex, 0.0, nullptr, std::nullopt)));
}

}  // namespace
}  // namespace kelvor
