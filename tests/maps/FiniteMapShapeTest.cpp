// The exact trees the operations build, seen through the printed form, and
// the reports of the internal consistency failures.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FatalMessage.h"
#include "MapTestSupport.h"
#include "maps/FiniteMapBalance.h"
#include "maps/FiniteMapCombine.h"
#include "maps/FiniteMapDelete.h"
#include "maps/FiniteMapFold.h"

namespace kelvor::maptest {
namespace {

using fminternal::mkBalBranch;
using fminternal::mkBalBranchStrict;

TEST(FiniteMapShape, InsertionOrdersPrintTheirShapes) {
  const struct {
    std::vector<int> keys;
    const char* printed;
  } table[] = {
      {{}, "{}"},
      {{1}, "<1,10>"},
      // The same text whichever key is at the root.
      {{1, 2}, "{<1,10> <2,20>}"},
      {{2, 1}, "{<1,10> <2,20>}"},
      {{1, 2, 3}, "{<1,10> <2,20> <3,30>}"},
      {{1, 3, 2}, "{<1,10> <2,20> <3,30>}"},
      {{3, 1, 2}, "{<1,10> <2,20> <3,30>}"},
      {{1, 2, 3, 4}, "{<1,10> <2,20> {<3,30> <4,40>}}"},
      {{4, 3, 2, 1}, "{{<1,10> <2,20>} <3,30> <4,40>}"},
      // A side exactly five times the other is not rotated.
      {range(1, 7), "{<1,10> <2,20> {<3,30> <4,40> {<5,50> <6,60> <7,70>}}}"},
      {{-1, -2}, "{<-2,-20> <-1,-10>}"},
  };
  for (const auto& row : table) EXPECT_EQ(showValue(fromKeys(row.keys)), row.printed);
}

TEST(FiniteMapShape, PrecedenceReachesEveryKeyAndElement) {
  std::string out;
  appendShow(out, 11, fromKeys({-1, 2}));
  EXPECT_EQ(out, "{<(-1),(-10)> <2,20>}");
  const std::vector<IntMap> maps = {fromKeys({-1}), IntMap()};
  EXPECT_EQ(showValue(maps), "[<-1,-10>,{}]");
}

// The balancer applied to sides built from key lists; the node's own key is
// 100 so that it lies between sides of small and large keys.
struct BalanceCase {
  std::vector<int> left, right;
  const char* printed;
};

std::string balanced(const BalanceCase& c,
                     const std::function<IntMap(int, int, IntMap, IntMap)>& builder) {
  return showValue(builder(100, 1000, fromKeys(c.left), fromKeys(c.right)));
}

TEST(FiniteMapShape, BalancerRotatesExactlyWhenASideIsMoreThanFiveTimesTheOther) {
  const BalanceCase table[] = {
      // Fewer than two entries below: never rotated.
      {{}, {200}, "{<100,1000> <200,2000>}"},
      // 0 and 2 always rotate (5 x 0 is 0); an empty inner side goes single.
      {{}, {200, 300}, "{<100,1000> <200,2000> <300,3000>}"},
      // 1 and 5 stay; 1 and 6 rotate.
      {{1},
       {200, 300, 400, 500, 600},
       "{<1,10> <100,1000> {<200,2000> <300,3000> {<400,4000> <500,5000> <600,6000>}}}"},
      {{1},
       {200, 300, 400, 500, 600, 700},
       "{{<1,10> <100,1000> <200,2000>} <300,3000> {<400,4000> <500,5000> {<600,6000> "
       "<700,7000>}}}"},
      // Right side 2 over inner 1 and outer 0: inner >= 2 x outer takes the
      // double rotation.
      {{}, {300, 200}, "{<100,1000> <200,2000> <300,3000>}"},
      // Mirror images on the left.
      {{2, 1}, {}, "{<1,10> <2,20> <100,1000>}"},
      {{1, 2}, {}, "{<1,10> <2,20> <100,1000>}"},
      // 6 against 1 on the left, whose inner side (4) is not below twice its
      // outer one (1): double rotation.
      {{1, 2, 3, 4, 5, 6},
       {200},
       "{{<1,10> <2,20> <3,30>} <4,40> {{<5,50> <6,60>} <100,1000> <200,2000>}}"},
  };
  auto plain = [](int k, int e, IntMap l, IntMap r) { return mkBalBranch(k, e, l, r); };
  auto strict = [](int k, int e, IntMap l, IntMap r) { return mkBalBranchStrict(k, e, l, r); };
  for (const auto& c : table) {
    EXPECT_EQ(balanced(c, plain), c.printed);
    EXPECT_EQ(balanced(c, strict), c.printed);
  }
}

TEST(FiniteMapShape, DeletingTheRootTakesTheLeftSidesGreatestOnEqualSizes) {
  EXPECT_EQ(delFromFM(kOrder, fromKeys({1, 2, 3}), 2).node()->key, 1);
  // A larger right side gives its smallest entry.
  EXPECT_EQ(delFromFM(kOrder, fromKeys({2, 1, 3, 4}), 2).node()->key, 3);
}

TEST(FiniteMapShape, MapFMKeepsTheShape) {
  const auto m = mapFM([](int k, int) { return k; }, fromKeys({4, 3, 2, 1}));
  EXPECT_EQ(showValue(m), "{{<1,1> <2,2>} <3,3> <4,4>}");
}

TEST(FiniteMapShape, JoiningOperationsKeepShapesOfTheirArguments) {
  // Union with the empty map hands back the other tree itself.
  const IntMap a = fromKeys(range(1, 5));
  EXPECT_TRUE(plusFM(kOrder, a, IntMap()).sameTree(a));
  EXPECT_TRUE(plusFM(kOrder, IntMap(), a).sameTree(a));
  EXPECT_TRUE(minusFM(kOrder, a, IntMap()).sameTree(a));
  EXPECT_EQ(showValue(plusFM(kOrder, fromKeys({1, 2, 3}), fromKeys({4, 5}))),
            "{{<1,10> <2,20> <3,30>} <4,40> <5,50>}");
}

TEST(FiniteMapShape, InternalFailuresReportTheirLocation) {
  const IntMap empty;
  const struct {
    std::function<void()> run;
    const char* message;
  } table[] = {
      {[&] { fminternal::findMin(empty); },
       "NLP/FiniteMap:694: Non-exhaustive patterns in function findMin"},
      {[&] { fminternal::deleteMin(empty); },
       "NLP/FiniteMap:698: Non-exhaustive patterns in function deleteMin"},
      {[&] { fminternal::findMax(empty); },
       "NLP/FiniteMap:702: Non-exhaustive patterns in function findMax"},
      {[&] { fminternal::deleteMax(empty); },
       "NLP/FiniteMap:706: Non-exhaustive patterns in function deleteMax"},
  };
  for (const auto& row : table) EXPECT_EQ(testing::fatalMessage(row.run), row.message);
}

}  // namespace
}  // namespace kelvor::maptest
