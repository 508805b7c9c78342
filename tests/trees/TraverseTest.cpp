#include <gtest/gtest.h>

#include "core/Fatal.h"
#include "trees/Traverse.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"

namespace kelvor {
namespace {

using testing::leaf;
using testing::node;
using testing::UTree;

const UTree kSentence = node(
    "S", {node("NP", {leaf("DT", "the"), leaf("NN", "dog")}), node("VP", {leaf("VBZ", "barks")})});

TEST(Traverse, CountsNodesAndKeepsTheTree) {
  auto count = [](int n, const UTree& t) { return std::pair(n + 1, t); };
  const auto [n, t] = traverseTopDown(count, 0, kSentence);
  EXPECT_EQ(n, 6);
  EXPECT_EQ(t, kSentence);
  EXPECT_TRUE(t.sameNode(kSentence));  // nothing changed, nothing rebuilt
  EXPECT_EQ(traverseTopDown(count, 0, leaf("A", "a")).first, 1);
}

TEST(Traverse, VisitsInPreOrder) {
  auto record = [](std::string seen, const UTree& t) {
    return std::pair(seen + t.treeTag() + " ", t);
  };
  EXPECT_EQ(traverseTopDown(record, std::string(), kSentence).first, "S NP DT NN VP VBZ ");
}

TEST(Traverse, RebuildsFromTheVisitorsNodes) {
  // Lower-case every tag; give inner nodes different children, which must
  // neither be visited nor kept.
  auto rename = [](int calls, const UTree& t) {
    std::string tag = t.treeTag();
    for (char& c : tag) c = static_cast<char>(c | 0x20);
    if (t.isTerm()) return std::pair(calls + 1, leaf(tag, t.treeText() + "!"));
    return std::pair(calls + 1, node(tag, {leaf("IGNORED", "x")}));
  };
  const auto [calls, t] = traverseTopDown(rename, 0, kSentence);
  EXPECT_EQ(calls, 6);
  EXPECT_EQ(showTree(t), "(s (np (dt \"the!\") (nn \"dog!\")) (vp (vbz \"barks!\")))");

  // Only the changed leaf's ancestors are new; the other subtrees are shared.
  auto touchDog = [](int, const UTree& t) {
    return std::pair(0, t.isTerm() && t.treeText() == "dog" ? leaf("NN", "cat") : t);
  };
  const UTree cat = traverseTopDown(touchDog, 0, kSentence).second;
  EXPECT_EQ(showTree(cat), "(S (NP (DT \"the\") (NN \"cat\")) (VP (VBZ \"barks\")))");
  EXPECT_TRUE(cat.treeChildren()[1].sameNode(kSentence.treeChildren()[1]));
  EXPECT_TRUE(cat.treeChildren()[0].treeChildren()[0].sameNode(
      kSentence.treeChildren()[0].treeChildren()[0]));
}

TEST(Traverse, LeafAndChildlessNodeResultsAreTheVisitors) {
  auto toInner = [](int n, const UTree&) { return std::pair(n + 1, node("N", {leaf("K", "k")})); };
  const auto [n1, t1] = traverseTopDown(toInner, 0, leaf("A", "a"));
  EXPECT_EQ(n1, 1);
  EXPECT_EQ(showTree(t1), "(N (K \"k\"))");  // a leaf's result stands as f made it
  const auto [n2, t2] = traverseTopDown(toInner, 0, node("E", {}));
  EXPECT_EQ(n2, 1);
  EXPECT_EQ(t2, node("N", {}));  // an inner node keeps its own (no) children
}

TEST(Traverse, InnerNodeTurnedLeafFailsOnlyWhenUsed) {
  auto flatten = [](int n, const UTree& t) {
    return std::pair(n + 1, t.treeTag() == "NP" ? leaf("NP", "flat") : t);
  };
  const auto [n, t] = traverseTopDown(flatten, 0, kSentence);
  EXPECT_EQ(n, 6);  // the accumulator is whole
  EXPECT_EQ(t.treeTag(), "S");
  EXPECT_EQ(t.treeChildren().size(), 2u);
  EXPECT_EQ(showTree(t.treeChildren()[1]), "(VP (VBZ \"barks\"))");
  try {
    showTree(t);
    ADD_FAILURE() << "the failed node was printed";
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "ZezeRozi/Util:23: Non-exhaustive patterns in record update");
  }
  const auto [m, root] = traverseTopDown(flatten, 0, node("NP", {leaf("A", "a")}));
  EXPECT_EQ(m, 2);
  EXPECT_TRUE(root.isFailedChildUpdate());
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
