#include <gtest/gtest.h>

#include <vector>

#include "FatalMessage.h"
#include "base/Show.h"
#include "trees/TreePos.h"

namespace kelvor {
namespace {

using testing::fatalMessage;

TreePos pos(std::vector<std::int64_t> steps) { return TreePos(std::move(steps)); }

TEST(TreePos, Measures) {
  EXPECT_EQ(There(0, There(2, Here())), pos({0, 2}));
  EXPECT_EQ(lengthTP<int>(pos({3, 1})), 2);
  EXPECT_EQ(lastTP(pos({3, 1})), 1);
  EXPECT_EQ(lastTP(Here()), std::nullopt);
  EXPECT_EQ(firstPos(Here()), 0);
  EXPECT_EQ(firstPos(pos({-4, 7})), -4);
}

TEST(TreePos, PrefixesCommonAndRemoved) {
  const TreePos p = pos({1, 2, 3});
  EXPECT_EQ(unifyTreePos(pos({1, 2}), pos({1, 3})), pos({1}));
  EXPECT_EQ(unifyTreePos(Here(), p), Here());
  EXPECT_EQ(unifyTreePos(p, p), p);
  EXPECT_EQ(unifyTreePoses(std::vector{p, pos({1, 2, 4}), pos({1, 5})}), pos({1}));
  EXPECT_EQ(fatalMessage([] { unifyTreePoses({}); }), "Prelude.foldr1: empty list");

  EXPECT_EQ(removePosPrefix(pos({1}), pos({1, 4})), pos({4}));
  EXPECT_EQ(removePosPrefix(p, p), Here());
  for (const auto& [prefix, q] :
       std::vector<std::pair<TreePos, TreePos>>{{pos({2}), pos({1, 4})}, {pos({1, 4}), pos({1})}}) {
    EXPECT_EQ(fatalMessage([&] { removePosPrefix(prefix, q); }),
              "removePosPrefix: not true prefix");
  }
  // Windows on shared steps behave like positions of their own.
  const TreePos mid = removePosPrefix(pos({7}), unifyTreePos(pos({7, 8, 9}), pos({7, 8})));
  EXPECT_EQ(There(6, mid), pos({6, 8}));
}

TEST(TreePos, PrintingAndOrder) {
  struct Case {
    TreePos p;
    int prec;
    std::string text;
  };
  for (const Case& c : std::vector<Case>{{Here(), 11, "!"},
                                         {pos({0, 2, 1}), 0, "0/2/1"},
                                         {pos({-1, 2}), 6, "-1/2"},
                                         {pos({-1, 2}), 7, "(-1)/2"}}) {
    std::string out;
    appendShow(out, c.prec, c.p);
    EXPECT_EQ(out, c.text);
  }
  const std::vector<TreePos> sorted = {Here(), pos({-1}), pos({0}), pos({0, 5}), pos({1})};
  for (std::size_t i = 0; i < sorted.size(); ++i)
    for (std::size_t j = 0; j < sorted.size(); ++j)
      EXPECT_EQ(sorted[i] <=> sorted[j], i <=> j) << i << " " << j;
}

}  // namespace
}  // namespace kelvor
