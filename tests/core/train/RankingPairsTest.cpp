#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "FatalMessage.h"
#include "core/train/RankingPairs.h"
#include "tests/core/ExampleBuilders.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;
using Pairs = std::vector<std::pair<int, int>>;  // (later, earlier)

// Elements made on demand, so that large collections cost no memory.
class Generated final : public ExampleCollection {
 public:
  Generated(std::int32_t n, std::function<Element(std::int32_t)> make) : n_(n), make_(make) {}
  Element at(std::int32_t i) const override { return ++fetches, make_(i); }
  std::int32_t collectionSize() const override { return n_; }
  mutable std::int64_t fetches = 0;

 private:
  std::int32_t n_;
  std::function<Element(std::int32_t)> make_;
};

Pairs build(const std::vector<int>& qids, const std::vector<double>& targets, double margin) {
  std::vector<Element> elems;
  for (std::size_t i = 0; i < targets.size(); ++i)
    elems.push_back({example(reals({{0, 1.0}}), {}, {}, qids[i]), targets[i]});
  CaptureStderr();
  auto lmr = makeLowMemRankingCollection(margin, collection(std::move(elems)));
  GetCapturedStderr();
  Pairs out;
  for (std::int32_t k = 1; k <= lmr->lmr_size; ++k) {
    const auto [later, earlier] = std::pair(lmr->lmr_low_index.at(k), lmr->lmr_high_index.at(k));
    EXPECT_EQ(lmr->at(k).value, targets[later - 1] > targets[earlier - 1] ? -1.0 : 1.0);
    out.push_back({later, earlier});
  }
  return out;
}

TEST(RankingPairs, FormWithinQueryRunsInOrder) {
  EXPECT_EQ(build({0, 0, 0}, {1, 2, 3}, 0.0), (Pairs{{3, 2}, {3, 1}, {2, 1}}));
  EXPECT_EQ(build({0, 0, 0}, {1, 2, 3}, 1.0), (Pairs{{3, 1}}));
  EXPECT_EQ(build({0, 0, 0}, {2, 2, 2}, -5.0), Pairs{});
  EXPECT_EQ(build({1, 1, 2, 1}, {1, 2, 3, 4}, 0.0), (Pairs{{2, 1}}));
  EXPECT_EQ(build({4, 4, 0, 0}, {2, 1, 3, 1}, 0.0), (Pairs{{2, 1}, {4, 3}}));
}

// Runs are counted by sorted targets but filled by testing every candidate:
// both must agree with the plain margin test, NaN and infinities included.
TEST(RankingPairs, RandomRunsMatchThePlainMarginTest) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  const double values[] = {-2, -1, -0.0, 0.0, 0.5, 1, 1.5, 3, nan, inf, -inf};
  const double margins[] = {0.0, 0.5, 1.0, -1.0, 2.5, nan, inf, -inf};
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> value(0, 10), qid(0, 2), length(0, 40);
  for (int round = 0; round < 200; ++round) {
    std::vector<int> qids(static_cast<std::size_t>(length(rng)));
    std::vector<double> targets;
    for (int& q : qids) q = qid(rng), targets.push_back(values[value(rng)]);
    const double m = margins[round % 8];
    Pairs expected;
    const int n = static_cast<int>(qids.size());
    for (int begin = 0, end = 0; begin < n; begin = end) {
      while (end < n && qids[end] == qids[begin]) ++end;
      for (int later = end - 1; later > begin; --later)
        for (int earlier = later - 1; earlier >= begin; --earlier) {
          const double lo = std::min(targets[later], targets[earlier]);
          const double hi = std::max(targets[later], targets[earlier]);
          if (lo < hi && hi > lo + m) expected.push_back({later + 1, earlier + 1});
        }
    }
    ASSERT_EQ(build(qids, targets, m), expected) << "round " << round;
  }
}

TEST(RankingPairs, MarkBothPassesAndFetchEachExampleOnce) {
  // Runs of two, {1, 2}, {3, 4}, ..., with differing targets.
  auto examples = std::make_shared<Generated>(25000, [](std::int32_t i) {
    return Element{mkExampleQID(reals({}), (i + 1) / 2), double(i % 2)};
  });
  CaptureStderr();
  auto lmr = makeLowMemRankingCollection(0.0, Examples(examples));
  auto none = makeLowMemRankingCollection(0.0, collection({}));
  EXPECT_EQ(GetCapturedStderr(), "../../");
  EXPECT_EQ(examples->fetches, 25000);
  EXPECT_EQ(lmr->lmr_size, 12500);
  EXPECT_EQ(makeHighMemRankingCollection(none)->collectionSize(), 0);
}

TEST(RankingPairs, TooManyPairsStopTheProgram) {
  // One run of 65537 distinct targets has 2^31 + 32768 pairs.
  auto examples = std::make_shared<Generated>(65537, [](std::int32_t i) {
    return Element{mkExample(reals({})), double(i)};
  });
  CaptureStderr();
  EXPECT_EQ(fatalMessage([&] { makeLowMemRankingCollection(0.0, Examples(examples)); }),
            "Ranking: the query runs up to example 65537 form 2147516416 pairs, more than a "
            "collection can hold (2147483647)");
  GetCapturedStderr();
}

TEST(RankingPairs, PairExamplesHaveOnlyTheRealDifference) {
  Examples data = collection({{example(reals({{0, 2.0}}), {{1, tokens({"a"})}}, {}, 7), 3.0},
                              {example(reals({{0, 1.5}}), {{1, tokens({"b"})}}, {}, 7), 1.0}});
  CaptureStderr();
  auto hmr = makeHighMemRankingCollection(makeLowMemRankingCollection(0.0, data));
  GetCapturedStderr();
  const Element pair = hmr->at(1);
  EXPECT_EQ(pair.example, hmr->at(1).example);  // kept
  EXPECT_EQ(pair.value, 1.0);
  EXPECT_EQ(pair.example->ex_qid(), 0);
  EXPECT_TRUE(pair.example->vectorString().empty());
  EXPECT_EQ(pair.example->vectorReal().at(1).value, -0.5);
}

TEST(RankingPairs, MergeLKeepsEntriesOfOneSide) {
  const auto merged = [](Array<RealFeature> a, Array<RealFeature> b) {
    std::vector<std::pair<int, double>> out;
    for (const RealFeature& f : mergeL(a.elems(), b.elems())) out.push_back({f.index, f.value});
    return out;
  };
  using Entries = std::vector<std::pair<int, double>>;
  EXPECT_EQ(merged(reals({}), reals({})), Entries{});
  EXPECT_EQ(merged(reals({{1, 2.0}, {4, 1.0}}), reals({})), (Entries{{1, 2.0}, {4, 1.0}}));
  EXPECT_EQ(merged(reals({}), reals({{1, 2.0}, {4, -1.0}})), (Entries{{1, -2.0}, {4, 1.0}}));
  EXPECT_EQ(merged(reals({{0, 1.0}, {5, 1.0}}), reals({{0, 1.0}, {2, 1.0}, {7, 1.0}})),
            (Entries{{0, 0.0}, {2, -1.0}, {5, 1.0}, {7, -1.0}}));
}

}  // namespace
}  // namespace kelvor
