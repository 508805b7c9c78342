#include <gtest/gtest.h>

#include "FatalMessage.h"
#include "trees/Traverse.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"

namespace kelvor {
namespace {

using namespace testing;

const UTree kSentence = sentence();

TEST(Traverse, PreOrderWithTheTreeKept) {
  auto record = [](std::string seen, const UTree& t) {
    return std::pair(seen + t.treeTag() + " ", t);
  };
  const auto [seen, t] = traverseTopDown(record, std::string(), kSentence);
  EXPECT_EQ(seen, "S NP DT NN VP VBZ ");
  EXPECT_TRUE(t.sameNode(kSentence));  // nothing changed, nothing rebuilt
  EXPECT_EQ(traverseTopDown(record, std::string(), leaf("A", "a")).first, "A ");
}

TEST(Traverse, RebuildsFromTheVisitorsNodesOverTheInputChildren) {
  // Inner nodes come back with other children, which are neither visited
  // nor kept.
  auto rename = [](int calls, const UTree& t) {
    const std::string tag = t.treeTag() + "'";
    if (t.isTerm()) return std::pair(calls + 1, leaf(tag, t.treeText() + "!"));
    return std::pair(calls + 1, node(tag, {leaf("IGNORED", "x")}));
  };
  const auto [calls, t] = traverseTopDown(rename, 0, kSentence);
  EXPECT_EQ(calls, 6);
  EXPECT_EQ(showTree(t), "(S' (NP' (DT' \"the!\") (NN' \"dog!\")) (VP' (VBZ' \"barks!\")))");

  // Only the changed leaf and its ancestors are new nodes.
  auto touchDog = [](int, const UTree& t) {
    return std::pair(0, t.isTerm() && t.treeText() == "dog" ? leaf("NN", "cat") : t);
  };
  const UTree cat = traverseTopDown(touchDog, 0, kSentence).second;
  EXPECT_EQ(showTree(cat), "(S (NP (DT \"the\") (NN \"cat\")) (VP (VBZ \"barks\")))");
  EXPECT_TRUE(cat.treeChildren()[1].sameNode(kSentence.treeChildren()[1]));

  // A leaf's result stands as f made it; a childless node keeps no children.
  auto toInner = [](int n, const UTree&) { return std::pair(n + 1, node("N", {leaf("K", "k")})); };
  EXPECT_EQ(showTree(traverseTopDown(toInner, 0, leaf("A", "a")).second), "(N (K \"k\"))");
  EXPECT_EQ(traverseTopDown(toInner, 0, node("E", {})).second, node("N", {}));
}

TEST(Traverse, InnerNodeTurnedLeafFailsOnlyWhenUsed) {
  auto flatten = [](int n, const UTree& t) {
    return std::pair(n + 1, t.treeTag() == "NP" ? leaf("NP", "flat") : t);
  };
  const auto [n, t] = traverseTopDown(flatten, 0, kSentence);
  EXPECT_EQ(n, 6);  // the accumulator is whole
  EXPECT_EQ(showTree(t.treeChildren()[1]), "(VP (VBZ \"barks\"))");
  EXPECT_EQ(fatalMessage([&] { showTree(t); }),
            "ZezeRozi/Util:23: Non-exhaustive patterns in record update");
  EXPECT_TRUE(traverseTopDown(flatten, 0, node("NP", {kSentence})).second.isFailedChildUpdate());
}

TEST(Traverse, AnnotationsChangeWithinTheType) {
  using ITree = AnnTree<int>;
  const ITree k = Term(std::string("K"), std::string("k"), 0);
  const ITree t = NonTerm(std::string("S"), {k, NonTerm(std::string("T"), {k}, 0)}, 0);
  auto number = [](int next, const ITree& n) {
    if (n.isTerm()) return std::pair(next + 1, Term(n.treeTag(), n.treeText(), next));
    return std::pair(next + 1, NonTerm(n.treeTag(), {}, next));
  };
  EXPECT_EQ(showAnnTree(traverseTopDown(number, 1, t).second),
            "(S {1} (K {2} \"k\") (T {3} (K {4} \"k\")))");
}

}  // namespace
}  // namespace kelvor
