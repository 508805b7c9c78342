#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/Fatal.h"
#include "core/examples/Collections.h"
#include "core/examples/RankingCollections.h"
#include "tests/core/ExampleBuilders.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;

// Counts how often each element is fetched.
class CountingCollection final : public ExampleCollection {
 public:
  explicit CountingCollection(std::int32_t n) : n_(n) {}
  Element at(std::int32_t i) const override {
    ++fetches;
    return {mkExample(reals({{0, double(i)}})), double(i)};
  }
  std::int32_t collectionSize() const override { return n_; }
  mutable int fetches = 0;

 private:
  std::int32_t n_;
};

TEST(Collections, DefaultSequencesFetchOnDemand) {
  CountingCollection empty(0), negative(-3), three(3);
  for (auto* c : {&empty, &negative}) {
    EXPECT_EQ(c->collectionAssocs().begin(), c->collectionAssocs().end());
    EXPECT_EQ(c->fetches, 0);
  }
  std::vector<std::int32_t> indices;
  const AssocRange assocs = three.collectionAssocs();
  for (auto it = assocs.begin(); it != assocs.end(); ++it) indices.push_back(it.index());
  EXPECT_EQ(indices, (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(three.fetches, 0);
  std::vector<double> values;
  for (const Element& e : three.collectionElems()) values.push_back(e.value);
  EXPECT_EQ(values, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(three.fetches, 3);
}

TEST(Collections, ArraysAndWrappersCheckBounds) {
  Examples ex = collection({{mkExample(reals({{0, 1.0}})), 1.0}});
  EXPECT_EQ(ex.collectionSize(), 1);
  EXPECT_THROW(ex.at(0), FatalError);
  EXPECT_THROW(ex.at(2), FatalError);
  // listArray leaves positions past the values unfilled and drops surplus.
  auto e = mkExample(reals({}));
  ArrayCollection holes(listArray(1, 3, {{e, 1.0}}), "undefined array element from test");
  EXPECT_EQ(holes.collectionSize(), 3);
  EXPECT_EQ(holes.at(1).value, 1.0);
  try {
    holes.at(2);
    FAIL();
  } catch (const FatalError& err) {
    EXPECT_STREQ(err.what(), "undefined array element from test");
  }
  EXPECT_EQ(listArray(1, 1, {{e, 1.0}, {e, 2.0}}).size(), 1u);
  EXPECT_EQ(listArray(1, 0, {{e, 1.0}}).hi(), 0);
}

TEST(Collections, RandomExamplesRepeatIndices) {
  Examples base = collection(
      {{mkExample(reals({})), 10.0}, {mkExample(reals({})), 20.0}, {mkExample(reals({})), 30.0}});
  RandomExamples r(base, Array<std::int32_t>{3, 3, 1});
  EXPECT_EQ(r.collectionSize(), 3);
  EXPECT_EQ(r.at(1).value, 30.0);
  EXPECT_EQ(r.at(2).value, 30.0);
  EXPECT_EQ(r.at(3).value, 10.0);
  EXPECT_THROW(r.at(4), FatalError);
}

TEST(Collections, SupportVectorsKeepStrictlyPositiveLagrangiansHighestFirst) {
  auto x1 = mkExample(reals({{1, 1.0}})), x2 = mkExample(reals({{2, 1.0}})),
       x3 = mkExample(reals({{3, 1.0}}));
  Examples data = collection({{x1, 1.0}, {x2, -1.0}, {x3, -1.0}});
  std::vector<double> alphas{0.5, 0.0, 2.0};
  Examples svs = getSupportVectors(data, alphas);
  ASSERT_EQ(svs.collectionSize(), 2);
  EXPECT_EQ(svs.at(1).example, x3);
  EXPECT_EQ(svs.at(1).value, -2.0);
  EXPECT_EQ(svs.at(2).example, x1);
  EXPECT_EQ(svs.at(2).value, 0.5);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> none{0.0, -0.0, -1.0};
  EXPECT_EQ(getSupportVectors(data, none).collectionSize(), 0);
  std::vector<double> odd{nan, std::numeric_limits<double>::denorm_min(), -5.0};
  EXPECT_EQ(getSupportVectors(data, odd).collectionSize(), 1);
  EXPECT_EQ(getSupportVectors(data, 0, alphas).collectionSize(), 0);
}

TEST(Collections, ReplaceChar) {
  EXPECT_EQ(replaceChar('#', "", "*pound*"), "");
  EXPECT_EQ(replaceChar('#', "a#b#", ""), "ab");
  EXPECT_EQ(replaceChar('#', "a#", "##"), "a##");
  // The model writer's order: "#" first, then blanks.
  EXPECT_EQ(replaceChar(' ', replaceChar('#', "(X a #)", "*pound*"), "#"), "(X#a#*pound*)");
}

TEST(RankingCollections, PairExamplesAreDifferencesOfRealVectors) {
  auto later = mkExample(reals({{0, 2.0}, {1, 1.0}, {3, 3.0}}));
  auto earlier = mkExample(reals({{0, 2.0}, {2, 5.0}}));
  Examples data = collection({{earlier, 1.0}, {later, 2.0}});
  auto lmr = std::make_shared<const LowMemRankingCollection>(data, 1, Array<std::int32_t>{2},
                                                             Array<std::int32_t>{1});
  Element pair = lmr->at(1);
  EXPECT_EQ(pair.value, -1.0);  // the later example has the greater target
  const auto& v = pair.example->vectorReal();
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v.at(1).index, 0);
  EXPECT_EQ(v.at(1).value, 0.0);
  EXPECT_EQ(v.at(2).value, 1.0);
  EXPECT_EQ(v.at(3).index, 2);
  EXPECT_EQ(v.at(3).value, -5.0);
  EXPECT_EQ(v.at(4).value, 3.0);
  EXPECT_EQ(pair.example->twonorm_sq(), 1.0 + 25.0 + 9.0);
  EXPECT_THROW(lmr->at(2), FatalError);

  HighMemRankingCollection hmr(lmr);
  EXPECT_EQ(hmr.collectionSize(), 1);
  EXPECT_EQ(hmr.at(1).example, hmr.at(1).example);  // built once, then kept
  EXPECT_THROW(hmr.at(2), FatalError);
}

}  // namespace
}  // namespace kelvor
