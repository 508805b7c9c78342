// The tree utilities at a nesting depth of a million, far past any call
// stack.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "trees/ChildAccess.h"
#include "trees/DTree.h"
#include "trees/TreeBuilders.h"
#include "trees/TreeQueries.h"
#include "trees/WithTree.h"

namespace kelvor {
namespace {

using testing::deepChain;
using testing::leaf;
using testing::UTree;

constexpr std::size_t kDepth = 1'000'000;
constexpr auto kNodes = static_cast<std::int64_t>(kDepth) + 1;

TEST(DeepUtilities, QueriesAndMaps) {
  const UTree t = deepChain(kDepth);
  EXPECT_EQ(treeSize(t), kNodes);
  EXPECT_EQ(numLeaves(t), 1);
  EXPECT_EQ(getWords(t), std::vector<std::string>{"y"});
  const AnnTree<int> ones = mapTree([](Unit) { return 1; }, t);
  EXPECT_EQ(treeSize(ones), kNodes);
  auto rename = [](int n, const UTree&) { return std::pair(n + 1, leaf("X", "z")); };
  const auto [n, renamed] = traverseLeftToRight(rename, 0, t);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(renamed, deepChain(kDepth, "z"));
}

TEST(DeepUtilities, PathsToTheBottom) {
  const UTree t = deepChain(kDepth);
  const std::vector<std::int64_t> down(kDepth, 0);
  EXPECT_TRUE(gotoTree(t, down).isTerm());
  const auto items = followPath(t, down);
  ASSERT_EQ(items.size(), kDepth + 1);
  EXPECT_EQ(items.back().second.size(), kDepth);
  EXPECT_EQ(items[kDepth / 2].second.size(), kDepth / 2);
}

TEST(DeepUtilities, NumberAndPrint) {
  const DTree t = numberTree(7, mkDTree(deepChain(kDepth))).second;
  EXPECT_EQ(markup<Range>(t), Single(7));
  const std::string shown = showDTreeWith(rangeDShow(), t);
  std::string expected;
  for (std::size_t i = 0; i < kDepth; ++i) expected += "(A {{R==7}} ";
  expected += "(X {{R==7}} y)";
  expected.append(kDepth, ')');
  EXPECT_EQ(shown, expected);
}

TEST(DeepUtilities, ReadFromAFile) {
  std::string text = "SProb = -1\n";
  for (std::size_t i = 0; i < kDepth; ++i) text += "(A ";
  text += "(X y)";
  text.append(kDepth, ')');
  const std::string path = ::testing::TempDir() + "deep.trees";
  std::ofstream(path, std::ios::binary) << text << "\n(B c)\n";
  std::vector<std::int64_t> sizes;
  withTree(path, [&](const TreeResult& r) { sizes.push_back(treeSize(r.scoredTree().tree)); });
  EXPECT_EQ(sizes, (std::vector<std::int64_t>{kNodes, 1}));
}

}  // namespace
}  // namespace kelvor
