// The tree utilities at a nesting depth of a million, far past any call
// stack.
#include <gtest/gtest.h>

#include <vector>

#include "TempFile.h"
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
using testing::writeTempFile;

constexpr std::size_t kDepth = 1'000'000;
constexpr auto kNodes = static_cast<std::int64_t>(kDepth) + 1;

TEST(DeepUtilities, QueriesMapsAndPaths) {
  const UTree t = deepChain(kDepth);
  EXPECT_EQ(numLeaves(t), 1);
  EXPECT_EQ(treeSize(mapTree([](Unit) { return 1; }, t)), kNodes);
  auto rename = [](int n, const UTree&) { return std::pair(n + 1, leaf("X", "z")); };
  EXPECT_EQ(traverseLeftToRight(rename, 0, t).second, deepChain(kDepth, "z"));
  const std::vector<std::int64_t> down(kDepth, 0);
  const auto items = followPath(t, down);
  ASSERT_EQ(items.size(), kDepth + 1);
  EXPECT_TRUE(items.back().first.isTerm());
  EXPECT_EQ(items.back().second.size(), kDepth);
}

TEST(DeepUtilities, NumberAndPrint) {
  const DTree t = numberTree(7, mkDTree(deepChain(kDepth))).second;
  std::string expected;
  for (std::size_t i = 0; i < kDepth; ++i) expected += "(A {{R==7}} ";
  expected += "(X {{R==7}} y)";
  expected.append(kDepth, ')');
  EXPECT_EQ(showDTreeWith(rangeDShow(), t), expected);
}

TEST(DeepUtilities, ReadFromAFile) {
  std::string text = "SProb = -1\n";
  for (std::size_t i = 0; i < kDepth; ++i) text += "(A ";
  text += "(X y)" + std::string(kDepth, ')') + "\n(B c)\n";
  const std::string path = writeTempFile("deep.trees", text);
  std::vector<std::int64_t> sizes;
  withTree(path, [&](const TreeResult& r) { sizes.push_back(treeSize(r.scoredTree().tree)); });
  EXPECT_EQ(sizes, (std::vector<std::int64_t>{kNodes, 1}));
}

}  // namespace
}  // namespace kelvor
