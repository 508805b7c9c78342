#include <gtest/gtest.h>

#include <vector>

#include "core/ExampleBuilders.h"
#include "learn/TransformSVS.h"

namespace kelvor {
namespace {

using testing::collection;
using testing::example;
using testing::reals;

// Input examples numbered 1..targets.size(), example k with the single
// feature (k, 1.0), so that each result element shows which input it is.
Examples inputs(const std::vector<double>& targets) {
  std::vector<Element> elems;
  for (std::size_t k = 1; k <= targets.size(); ++k)
    elems.push_back({example(reals({{static_cast<int>(k), 1.0}})), targets[k - 1]});
  return collection(std::move(elems));
}

// (input number, value) of every result element, in order.
std::vector<std::pair<int, double>> summary(const Examples& result) {
  std::vector<std::pair<int, double>> out;
  for (const Element& e : result.collectionElems())
    out.push_back({e.example->vectorReal().at(1).index, e.value});
  return out;
}

// Support vectors whose pair examples are never looked at: only their
// coefficients and pair numbers count.
Examples coefficients(const std::vector<double>& cs) {
  std::vector<Element> elems;
  for (double c : cs) elems.push_back({example(reals({})), c});
  return collection(std::move(elems));
}

TEST(TransformSVS, CoefficientsGoToThePairsExamples) {
  // Pairs as (later, earlier): 1 = (2, 1), 2 = (3, 1), 3 = (3, 2).
  const LowMemRankingCollection threePairs(inputs({1.0, 2.0, 3.0}), 3, {2, 3, 3}, {1, 1, 2});
  struct Case {
    std::vector<double> cs;
    std::vector<std::int32_t> pairNumbers;
    std::vector<std::pair<int, double>> expected;
  };
  const Case cases[] = {
      {{0.5, -0.25}, {1, 3}, {{1, 0.5}, {2, -0.75}, {3, 0.25}}},
      {{-0.25, 0.5}, {3, 1}, {{1, 0.5}, {2, -0.75}, {3, 0.25}}},
      // Example 1 cancels to exactly 0.0 and is left out.
      {{0.5, -0.5}, {1, 2}, {{2, -0.5}, {3, 0.5}}},
      {{0.5, 0.5}, {3, 3}, {{2, 1.0}, {3, -1.0}}},
      {{}, {}, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(summary(transformSVS(threePairs, coefficients(c.cs), c.pairNumbers)), c.expected);

  // Only the examples of pairs 5 and 9 receive anything; the later example
  // gets -c whichever target is greater.
  const LowMemRankingCollection tenPairs(inputs({5, 4, 3, 2, 1, 0, 1, 2, 3, 4}), 10,
                                         {2, 3, 4, 5, 6, 7, 8, 9, 10, 10},
                                         {1, 2, 3, 4, 5, 6, 7, 8, 9, 1});
  EXPECT_EQ(summary(transformSVS(tenPairs, coefficients({1.0, 2.0}), std::vector{5, 9})),
            (std::vector<std::pair<int, double>>{{5, 1.0}, {6, -1.0}, {9, 2.0}, {10, -2.0}}));
}

}  // namespace
}  // namespace kelvor
