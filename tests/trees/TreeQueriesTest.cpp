#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "FatalMessage.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"
#include "trees/TreeQueries.h"

namespace kelvor {
namespace {

using namespace testing;

const UTree kSentence = sentence();

TEST(TreeQueries, CountsLeavesAndWords) {
  struct Case {
    UTree t;
    std::int64_t size, leaves;
    std::vector<std::string> words;
  };
  for (const Case& c : std::vector<Case>{{leaf("NN", "dog"), 1, 1, {"dog"}},
                                         {node("X", {}), 1, 0, {}},
                                         {node("X", {node("Y", {})}), 2, 0, {}},
                                         {kSentence, 6, 3, {"the", "dog", "barks"}}}) {
    const std::string shown = showAnnTree(c.t);
    EXPECT_EQ(treeSize(c.t), c.size) << shown;
    EXPECT_EQ(numLeaves<int>(c.t), c.leaves) << shown;
    EXPECT_EQ(getWords(c.t), c.words) << shown;
    EXPECT_EQ(static_cast<std::int64_t>(getLeaves(c.t).size()), c.leaves) << shown;
    EXPECT_EQ(isTerm(c.t), c.size == 1 && c.leaves == 1) << shown;
  }
  const UTree wide = node("W", std::vector<UTree>(300, leaf("L", "x")));
  EXPECT_EQ(fatalMessage([&] { treeSize<std::int8_t>(wide); }),
            "treeSize: 301 does not fit the numeric type asked for");
}

TEST(TreeQueries, MapTreeAndTraverseLeftToRight) {
  using ITree = AnnTree<int>;
  auto number = [](int n, const ITree& l) {
    return std::pair(n + 1, Term(l.treeTag(), l.treeText(), n));
  };
  const auto [count, numbered] =
      traverseLeftToRight(number, 0, mapTree([](Unit) { return -1; }, kSentence));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(showAnnTree(numbered),
            "(S {-1} (NP {-1} (DT {0} \"the\") (NN {1} \"dog\")) (VP {-1} (VBZ {2} \"barks\")))");
  EXPECT_EQ(mapTree([](Unit u) { return u; }, kSentence), kSentence);

  // A leaf may become any tree, not traversed further; unchanged subtrees
  // are shared, and an unchanged tree is the input itself.
  auto grow = [](int n, const UTree& l) {
    if (l.treeText() != "dog") return std::pair(n, l);
    return std::pair(n + 1, node("NP", {leaf("JJ", "big"), l}));
  };
  const auto [grown, t] = traverseLeftToRight(grow, 0, kSentence);
  EXPECT_EQ(showTree(t),
            "(S (NP (DT \"the\") (NP (JJ \"big\") (NN \"dog\"))) (VP (VBZ \"barks\")))");
  EXPECT_TRUE(t.treeChildren()[1].sameNode(kSentence.treeChildren()[1]));
  EXPECT_TRUE(
      traverseLeftToRight(grow, 0, node("VP", {leaf("V", "x")})).second.treeChildren()[0].isTerm());
  EXPECT_EQ(showTree(traverseLeftToRight(grow, 5, leaf("NN", "dog")).second),
            "(NP (JJ \"big\") (NN \"dog\"))");
  const UTree empty = node("E", {});
  EXPECT_EQ(traverseLeftToRight(grow, 9, empty), std::pair(9, empty));
}

}  // namespace
}  // namespace kelvor
