#include <gtest/gtest.h>

#include <functional>

#include "core/Fatal.h"
#include "trees/AnnTree.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"

namespace kelvor {
namespace {

using testing::leaf;
using testing::node;
using testing::UTree;

void expectFatal(const std::function<void()>& f, const std::string& message) {
  try {
    f();
    ADD_FAILURE() << "no fatal error, expected: " << message;
  } catch (const FatalError& e) {
    EXPECT_EQ(e.what(), message);
  }
}

TEST(AnnTree, FieldAccessOnBothVariants) {
  const AnnTree<int> l = Term(std::string("DT"), std::string("the"), 7);
  const AnnTree<int> n = NonTerm(std::string("NP"), {l, l}, -2);
  EXPECT_TRUE(l.isTerm());
  EXPECT_TRUE(n.isNonTerm());
  EXPECT_EQ(l.treeTag(), "DT");
  EXPECT_EQ(l.treeText(), "the");
  EXPECT_EQ(l.treeAnn(), 7);
  EXPECT_EQ(n.treeTag(), "NP");
  EXPECT_EQ(n.treeAnn(), -2);
  ASSERT_EQ(n.treeChildren().size(), 2u);
  EXPECT_TRUE(n.treeChildren()[1].sameNode(l));
  expectFatal([&] { (void)n.treeText(); }, "No match in record selector NLP.PennParser.treeText");
  expectFatal([&] { (void)l.treeChildren(); },
              "No match in record selector NLP.PennParser.treeChildren");
}

TEST(AnnTree, FailedChildUpdateStopsOnlyWhenUsed) {
  const UTree broken = UTree::failedChildUpdate();
  const UTree holder = node("S", {broken});  // holding it is fine
  const UTree copy = holder;
  EXPECT_EQ(copy.treeChildren().size(), 1u);
  for (auto use : std::vector<std::function<void()>>{
           [&] { (void)broken.treeTag(); }, [&] { (void)broken.isTerm(); },
           [&] { (void)(holder == copy); }, [&] { (void)(broken < holder); }}) {
    expectFatal(use, "ZezeRozi/Util:23: Non-exhaustive patterns in record update");
  }
}

TEST(AnnTree, EqualityIncludesEveryField) {
  const UTree a = leaf("NN", "dog");
  struct Case {
    UTree x, y;
    bool equal;
  };
  const Case cases[] = {
      {a, leaf("NN", "dog"), true},
      {a, leaf("NN", "cat"), false},
      {a, leaf("NNS", "dog"), false},
      {a, node("NN", {leaf("X", "dog")}), false},
      {node("NP", {a, a}), node("NP", {leaf("NN", "dog"), leaf("NN", "dog")}), true},
      {node("NP", {a}), node("NP", {a, a}), false},
      {node("NP", {}), node("NP", {}), true},
      {node("NP", {node("X", {a})}), node("NP", {node("X", {leaf("NN", "do")})}), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.x == c.y, c.equal) << showAnnTree(c.x) << " vs " << showAnnTree(c.y);
    EXPECT_EQ(c.x != c.y, !c.equal);
  }
  EXPECT_NE(Term(std::string("NN"), std::string("dog"), 1),
            Term(std::string("NN"), std::string("dog"), 2));
  const AnnTree<int> k = Term(std::string("K"), std::string("k"), 0);
  EXPECT_NE(NonTerm(std::string("NP"), {k}, 1), NonTerm(std::string("NP"), {k}, 2));
}

TEST(AnnTree, OrderingLeavesFirstThenTagThenContentThenAnnotation) {
  // Each pair is strictly increasing.
  const std::pair<UTree, UTree> increasing[] = {
      {leaf("Z", "z"), node("A", {leaf("A", "a")})},
      {leaf("", "z"), leaf("A", "a")},
      {leaf("NP", "z"), leaf("NPS", "a")},
      {leaf("NN", "a"), leaf("NN", "b")},
      {leaf("NN", "b"), leaf("NN", "ba")},
      {leaf("NN", "\x7f"), leaf("NN", "\xa0")},  // bytes compare unsigned
      {node("NP", {leaf("A", "a")}), node("NP", {leaf("A", "a"), leaf("A", "a")})},
      {node("NP", {leaf("A", "a"), leaf("A", "a")}), node("NP", {leaf("A", "b")})},
      {node("NP", {leaf("A", "a"), leaf("B", "b")}), node("NP", {node("A", {})})},
      {node("", {}), node("A", {})},
  };
  for (const auto& [lo, hi] : increasing) {
    SCOPED_TRACE(showAnnTree(lo) + " < " + showAnnTree(hi));
    EXPECT_EQ(lo <=> hi, std::strong_ordering::less);
    EXPECT_EQ(hi <=> lo, std::strong_ordering::greater);
    EXPECT_EQ(lo <=> lo, std::strong_ordering::equal);
    EXPECT_TRUE(lo < hi && lo <= hi && hi > lo && hi >= lo);
    EXPECT_EQ(std::max(lo, hi), hi);
  }
  // Annotations decide last, children before them.
  using ITree = AnnTree<int>;
  const ITree a1 = Term(std::string("A"), std::string("a"), 1);
  const ITree a9 = Term(std::string("A"), std::string("a"), 9);
  EXPECT_LT(a1, a9);
  EXPECT_LT(NonTerm(std::string("S"), {a1}, 5), NonTerm(std::string("S"), {a9}, 0));
  EXPECT_LT(NonTerm(std::string("S"), {a9}, 9), NonTerm(std::string("S"), {a9, a1}, 0));
  EXPECT_LT(NonTerm(std::string("S"), {a9}, 0), NonTerm(std::string("S"), {a9}, 1));
}

TEST(AnnTree, CopiesShareAndAssignmentReleases) {
  UTree t = node("S", {leaf("A", "a"), leaf("B", "b")});
  UTree copy = t;
  EXPECT_TRUE(copy.sameNode(t));
  t = leaf("C", "c");  // the old tree lives on in the copy
  EXPECT_EQ(showTree(copy), "(S (A \"a\") (B \"b\"))");
  copy = copy.treeChildren()[0];  // assigning a part of itself
  EXPECT_EQ(showTree(copy), "(A \"a\")");
}

}  // namespace
}  // namespace kelvor
