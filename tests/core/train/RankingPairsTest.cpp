#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "FatalMessage.h"
#include "core/train/RankingPairs.h"
#include "tests/core/ExampleBuilders.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Elements made on demand, so that large collections cost no memory.
class Generated final : public ExampleCollection {
 public:
  Generated(std::int32_t n, std::function<Element(std::int32_t)> make)
      : n_(n), make_(std::move(make)) {}
  Element at(std::int32_t i) const override {
    ++fetches;
    return make_(i);
  }
  std::int32_t collectionSize() const override { return n_; }
  mutable std::int64_t fetches = 0;

 private:
  std::int32_t n_;
  std::function<Element(std::int32_t)> make_;
};

Examples queryExamples(const std::vector<int>& qids, const std::vector<double>& targets) {
  std::vector<Element> elems;
  for (std::size_t i = 0; i < targets.size(); ++i)
    elems.push_back({example(reals({{0, 1.0}, {1, double(i + 1)}}), {}, {}, qids[i]), targets[i]});
  return collection(std::move(elems));
}

std::shared_ptr<const LowMemRankingCollection> quietly(double margin, Examples examples) {
  CaptureStderr();
  auto pairs = makeLowMemRankingCollection(margin, std::move(examples));
  GetCapturedStderr();
  return pairs;
}

using Pairs = std::vector<std::pair<int, int>>;

Pairs pairsOf(const LowMemRankingCollection& c) {
  Pairs out;
  for (std::int32_t k = 1; k <= c.lmr_size; ++k)
    out.push_back({c.lmr_low_index.at(k), c.lmr_high_index.at(k)});
  return out;
}

TEST(RankingPairs, FormWithinQueryRunsInOrder) {
  const struct {
    std::vector<int> qids;
    std::vector<double> targets;
    double margin;
    Pairs pairs;  // (later, earlier)
  } cases[] = {
      {{0, 0, 0}, {1, 2, 3}, 0.0, {{3, 2}, {3, 1}, {2, 1}}},
      {{0, 0, 0}, {1, 2, 3}, 1.0, {{3, 1}}},
      {{0, 0, 0}, {2, 2, 2}, -5.0, {}},
      {{0, 0, 0}, {1, 1, 2}, -10.0, {{3, 2}, {3, 1}}},
      {{1, 1, 2, 1}, {1, 2, 3, 4}, 0.0, {{2, 1}}},
      {{0, 0, 5}, {3, 1, 2}, 0.0, {{2, 1}}},
      {{4, 4, 0, 0}, {1, 2, 3, 1}, 0.0, {{2, 1}, {4, 3}}},
      {{0, 0, 0}, {1, kNaN, 2}, -1.0, {{3, 1}}},
      {{0, 0}, {1, 2}, kNaN, {}},
      {{0, 0}, {1, 2}, kInf, {}},
      {{0, 0}, {-kInf, kInf}, 0.0, {{2, 1}}},
      {{0, 0}, {-kInf, kInf}, kInf, {}},  // -inf + inf is NaN
      {{0, 0}, {0.0, -0.0}, -1.0, {}},
      {{}, {}, 0.0, {}},
  };
  for (const auto& c : cases) {
    auto lmr = quietly(c.margin, queryExamples(c.qids, c.targets));
    ASSERT_EQ(pairsOf(*lmr), c.pairs) << c.targets.size() << " examples, margin " << c.margin;
    for (std::int32_t k = 1; k <= lmr->lmr_size; ++k) {
      const double later = c.targets[lmr->lmr_low_index.at(k) - 1];
      const double earlier = c.targets[lmr->lmr_high_index.at(k) - 1];
      EXPECT_EQ(lmr->at(k).value, later > earlier ? -1.0 : 1.0);
    }
  }
}

TEST(RankingPairs, RandomRunsMatchEveryCandidateTested) {
  std::mt19937 rng(5);
  const double values[] = {-2, -1, -0.0, 0.0, 0.5, 1, 1.5, 3, kNaN, kInf, -kInf};
  const double margins[] = {0.0, 0.5, 1.0, -1.0, 2.5, kNaN, kInf, -kInf};
  std::uniform_int_distribution<int> value(0, 10), qid(0, 2), length(0, 40);
  for (int round = 0; round < 200; ++round) {
    const int n = length(rng);
    std::vector<int> qids;
    std::vector<double> targets;
    for (int i = 0; i < n; ++i) {
      qids.push_back(qid(rng));
      targets.push_back(values[value(rng)]);
    }
    const double margin = margins[round % 8];
    auto lmr = quietly(margin, queryExamples(qids, targets));
    // Every pair of one run, later example first, earlier ones descending.
    Pairs expected;
    for (int begin = 0, end; begin < n; begin = end) {
      for (end = begin + 1; end < n && qids[end] == qids[begin]; ++end) {
      }
      for (int later = end - 1; later > begin; --later)
        for (int earlier = later - 1; earlier >= begin; --earlier) {
          const double lo = std::min(targets[later], targets[earlier]);
          const double hi = std::max(targets[later], targets[earlier]);
          if (lo < hi && hi > lo + margin) expected.push_back({later + 1, earlier + 1});
        }
    }
    ASSERT_EQ(pairsOf(*lmr), expected) << "round " << round;
  }
}

TEST(RankingPairs, BothPassesMarkEvery10000ExamplesAndFetchOnce) {
  // Runs of two, ({1, 2}, {3, 4}, ...), with differing targets.
  auto examples = std::make_shared<Generated>(25000, [](std::int32_t i) {
    return Element{mkExampleQID(reals({{0, 1.0}}), (i + 1) / 2), double(i % 2)};
  });
  CaptureStderr();
  auto lmr = makeLowMemRankingCollection(0.0, Examples(examples));
  EXPECT_EQ(GetCapturedStderr(), "../..");
  EXPECT_EQ(examples->fetches, 25000);
  EXPECT_EQ(lmr->lmr_size, 12500);

  CaptureStderr();
  auto none = makeLowMemRankingCollection(0.0, collection({}));
  EXPECT_EQ(GetCapturedStderr(), "/");
  EXPECT_EQ(none->collectionSize(), 0);
  EXPECT_EQ(none->collectionElems().begin(), none->collectionElems().end());
  auto hmr = makeHighMemRankingCollection(none);
  EXPECT_EQ(hmr->collectionSize(), 0);
  EXPECT_EQ(hmr->collectionElems().begin(), hmr->collectionElems().end());
}

TEST(RankingPairs, TooManyPairsStopTheProgram) {
  // One run of 65537 distinct targets has 2^31 + 32768 pairs.
  auto examples = std::make_shared<Generated>(65537, [](std::int32_t i) {
    return Element{mkExample(reals({})), double(i)};
  });
  CaptureStderr();
  const std::string message =
      fatalMessage([&] { makeLowMemRankingCollection(0.0, Examples(examples)); });
  GetCapturedStderr();
  EXPECT_EQ(message,
            "Ranking: the query runs up to example 65537 form 2147516416 pairs, more than a "
            "collection can hold (2147483647)");
}

TEST(RankingPairs, PairExamplesAreRealDifferencesWithoutQuery) {
  Examples data = collection(
      {{example(reals({{0, 2.0}, {2, 5.0}}), {{1, tokens({"a"})}}, {}, 7), 3.0},
       {example(reals({{0, 1.5}, {1, 1.0}, {3, 3.0}}), {{1, tokens({"b"})}}, {}, 7), 1.0}});
  auto lmr = quietly(0.0, data);
  auto hmr = makeHighMemRankingCollection(lmr);
  ASSERT_EQ(hmr->collectionSize(), 1);
  for (const Element& pair : {lmr->at(1), hmr->at(1)}) {
    EXPECT_EQ(pair.value, 1.0);  // the later example has the smaller target
    const Example& x = *pair.example;
    EXPECT_EQ(x.ex_qid(), 0);
    EXPECT_TRUE(x.vectorString().empty());
    EXPECT_TRUE(x.vectorTree().empty());
    std::vector<std::pair<int, double>> got;
    for (const RealFeature& f : x.vectorReal()) got.push_back({f.index, f.value});
    EXPECT_EQ(got, (std::vector<std::pair<int, double>>{{0, -0.5}, {1, 1.0}, {2, -5.0}, {3, 3.0}}));
    EXPECT_EQ(x.twonorm_sq(), 0.25 + 1.0 + 25.0 + 9.0);
  }
  EXPECT_EQ(hmr->at(1).example, hmr->at(1).example);
  EXPECT_NE(lmr->at(1).example, lmr->at(1).example);
}

TEST(RankingPairs, MergeLKeepsEntriesOfOneSide) {
  const struct {
    Array<RealFeature> a, b;
    std::vector<std::pair<int, double>> merged;
  } cases[] = {
      {reals({}), reals({}), {}},
      {reals({{1, 2.0}, {4, 1.0}}), reals({}), {{1, 2.0}, {4, 1.0}}},
      {reals({}), reals({{1, 2.0}, {4, -1.0}}), {{1, -2.0}, {4, 1.0}}},
      {reals({{0, 1.0}, {5, 1.0}}),
       reals({{0, 1.0}, {2, 1.0}, {7, 1.0}}),
       {{0, 0.0}, {2, -1.0}, {5, 1.0}, {7, -1.0}}},
  };
  for (const auto& c : cases) {
    std::vector<std::pair<int, double>> got;
    for (const RealFeature& f : mergeL(c.a.elems(), c.b.elems())) got.push_back({f.index, f.value});
    EXPECT_EQ(got, c.merged);
  }
}

}  // namespace
}  // namespace kelvor
