#include <gtest/gtest.h>

#include <vector>

#include "FatalMessage.h"
#include "core/Show.h"
#include "maps/DynamicMap.h"
#include "trees/TreePos.h"

namespace kelvor {
namespace {

using testing::fatalMessage;

TreePos pos(std::vector<std::int64_t> steps) { return TreePos(std::move(steps)); }

TEST(TreePos, BuiltStepByStep) {
  EXPECT_EQ(There(0, There(2, Here())), pos({0, 2}));
  EXPECT_TRUE(Here().isHere());
  const TreePos tail = pos({5});
  const TreePos p = There(1, tail);
  EXPECT_EQ(p, pos({1, 5}));
  EXPECT_EQ(tail, pos({5}));  // the rest is not changed by the step in front
}

TEST(TreePos, Measures) {
  struct Case {
    TreePos p;
    std::int64_t length;
    std::optional<std::int64_t> last;
    std::int64_t first;
  };
  for (const Case& c : std::vector<Case>{{Here(), 0, std::nullopt, 0},
                                         {pos({0}), 1, 0, 0},
                                         {pos({3, 1}), 2, 1, 3},
                                         {pos({-4, 7, 2}), 3, 2, -4}}) {
    EXPECT_EQ(lengthTP(c.p), c.length) << showValue(c.p);
    EXPECT_EQ(lengthTP<int>(c.p), c.length) << showValue(c.p);
    EXPECT_EQ(lastTP(c.p), c.last) << showValue(c.p);
    EXPECT_EQ(firstPos(c.p), c.first) << showValue(c.p);
  }
}

TEST(TreePos, CommonPrefixes) {
  struct Case {
    TreePos p, q, common;
  };
  const TreePos p = pos({1, 2, 3});
  for (const Case& c : std::vector<Case>{{pos({1, 2}), pos({1, 3}), pos({1})},
                                         {Here(), p, Here()},
                                         {p, Here(), Here()},
                                         {p, p, p},
                                         {p, pos({1, 2}), pos({1, 2})},
                                         {pos({0}), pos({1}), Here()}}) {
    EXPECT_EQ(unifyTreePos(c.p, c.q), c.common) << showValue(c.p) << " " << showValue(c.q);
  }
  EXPECT_EQ(unifyTreePoses(std::vector{p}), p);
  EXPECT_EQ(unifyTreePoses(std::vector{p, pos({1, 2, 4}), pos({1, 5})}), pos({1}));
  EXPECT_EQ(fatalMessage([] { unifyTreePoses({}); }), "Prelude.foldr1: empty list");
}

TEST(TreePos, RemovingPrefixes) {
  const TreePos p = pos({1, 4});
  EXPECT_EQ(removePosPrefix(pos({1}), p), pos({4}));
  EXPECT_EQ(removePosPrefix(p, p), Here());
  EXPECT_EQ(removePosPrefix(Here(), p), p);
  for (const auto& [prefix, q] :
       std::vector<std::pair<TreePos, TreePos>>{{pos({2}), p}, {p, pos({1})}, {pos({1}), Here()}}) {
    EXPECT_EQ(fatalMessage([&] { removePosPrefix(prefix, q); }),
              "removePosPrefix: not true prefix");
  }
  // A suffix taken from a prefix is a position like any other.
  const TreePos mid = removePosPrefix(pos({7}), unifyTreePos(pos({7, 8, 9}), pos({7, 8})));
  EXPECT_EQ(mid, pos({8}));
  EXPECT_EQ(There(6, mid), pos({6, 8}));
  EXPECT_EQ(showValue(mid), "8");
}

TEST(TreePos, Printing) {
  struct Case {
    TreePos p;
    int prec;
    std::string text;
  };
  for (const Case& c : std::vector<Case>{{Here(), 0, "!"},
                                         {Here(), 11, "!"},
                                         {pos({7}), 0, "7"},
                                         {pos({0, 2}), 0, "0/2"},
                                         {pos({0, 2, 1}), 11, "0/2/1"},
                                         {pos({-1, 2}), 0, "-1/2"},
                                         {pos({-1, 2}), 6, "-1/2"},
                                         {pos({-1, 2}), 7, "(-1)/2"}}) {
    std::string out;
    appendShow(out, c.prec, c.p);
    EXPECT_EQ(out, c.text);
  }
  EXPECT_EQ(showValue(std::vector{Here(), pos({1, -2})}), "[!,1/-2]");
}

TEST(TreePos, OrderIsByStepsWithPrefixesFirst) {
  const std::vector<TreePos> sorted = {Here(),      pos({-1}), pos({0}),
                                       pos({0, 5}), pos({1}),  pos({1, 0, 0})};
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    for (std::size_t j = 0; j < sorted.size(); ++j) {
      EXPECT_EQ(sorted[i] <=> sorted[j], i <=> j) << i << " " << j;
      EXPECT_EQ(sorted[i] == sorted[j], i == j) << i << " " << j;
    }
  }
}

TEST(TreePos, HeldInADynamicMapUnderItsName) {
  const DynamicMap dm = addToDM(emptyDM(), pos({1, 2}));
  EXPECT_EQ(dmTypes(dm), std::vector<std::string>{"NLP.TreePos.TreePos"});
  EXPECT_EQ(lookupDM<TreePos>(dm), pos({1, 2}));
}

}  // namespace
}  // namespace kelvor
