#include <gtest/gtest.h>

#include <functional>

#include "FatalMessage.h"
#include "trees/AnnTree.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"

namespace kelvor {
namespace {

using namespace testing;

TEST(AnnTree, FieldsOfBothVariants) {
  const AnnTree<int> l = Term(std::string("DT"), std::string("the"), 7);
  const AnnTree<int> n = NonTerm(std::string("NP"), {l, l}, -2);
  EXPECT_TRUE(l.isTerm() && n.isNonTerm());
  EXPECT_EQ(l.treeTag() + l.treeText() + n.treeTag(), "DTtheNP");
  EXPECT_EQ(l.treeAnn() * 10 + n.treeAnn(), 68);
  ASSERT_EQ(n.treeChildren().size(), 2u);
  EXPECT_TRUE(n.treeChildren()[1].sameNode(l));
  EXPECT_EQ(fatalMessage([&] { (void)n.treeText(); }),
            "No match in record selector NLP.PennParser.treeText");
  EXPECT_EQ(fatalMessage([&] { (void)l.treeChildren(); }),
            "No match in record selector NLP.PennParser.treeChildren");
}

TEST(AnnTree, FailedChildUpdateStopsOnlyWhenUsed) {
  const UTree broken = UTree::failedChildUpdate();
  const UTree holder = node("S", {broken});  // holding and copying it is fine
  const UTree copy = holder;
  EXPECT_EQ(copy.treeChildren().size(), 1u);
  for (const auto& use : std::vector<std::function<void()>>{[&] { (void)broken.treeTag(); },
                                                            [&] { (void)(holder == copy); },
                                                            [&] { (void)(broken < holder); }}) {
    EXPECT_EQ(fatalMessage(use), "ZezeRozi/Util:23: Non-exhaustive patterns in record update");
  }
}

TEST(AnnTree, Equality) {
  const UTree a = leaf("NN", "dog");
  const std::tuple<UTree, UTree, bool> cases[] = {
      {a, leaf("NN", "dog"), true},
      {a, leaf("NN", "cat"), false},
      {a, leaf("NNS", "dog"), false},
      {a, node("NN", {leaf("X", "dog")}), false},
      {node("NP", {a, a}), node("NP", {leaf("NN", "dog"), leaf("NN", "dog")}), true},
      {node("NP", {a}), node("NP", {a, a}), false},
      {node("NP", {}), node("NP", {}), true},
      {node("NP", {node("X", {a})}), node("NP", {node("X", {leaf("NN", "do")})}), false},
  };
  for (const auto& [x, y, equal] : cases) {
    EXPECT_EQ(x == y, equal) << showAnnTree(x) << " vs " << showAnnTree(y);
    EXPECT_EQ(x != y, !equal);
  }
  // Annotations take part, in leaves and in inner nodes.
  const AnnTree<int> k1 = Term(std::string("K"), std::string("k"), 1);
  const AnnTree<int> k2 = Term(std::string("K"), std::string("k"), 2);
  EXPECT_NE(k1, k2);
  EXPECT_NE(NonTerm(std::string("NP"), {k1}, 1), NonTerm(std::string("NP"), {k1}, 2));
}

TEST(AnnTree, OrderingLeavesFirstThenTagThenContentThenAnnotation) {
  const std::pair<UTree, UTree> increasing[] = {
      {leaf("Z", "z"), node("A", {leaf("A", "a")})},
      {leaf("", "z"), leaf("A", "a")},
      {leaf("NP", "z"), leaf("NPS", "a")},
      {leaf("NN", "b"), leaf("NN", "ba")},
      {leaf("NN", "\x7f"), leaf("NN", "\xa0")},  // bytes compare unsigned
      {node("NP", {leaf("A", "a")}), node("NP", {leaf("A", "a"), leaf("A", "a")})},
      {node("NP", {leaf("A", "a"), leaf("A", "a")}), node("NP", {leaf("A", "b")})},
      {node("NP", {leaf("A", "a"), leaf("B", "b")}), node("NP", {node("A", {})})},
  };
  for (const auto& [lo, hi] : increasing) {
    EXPECT_EQ(lo <=> hi, std::strong_ordering::less) << showAnnTree(lo) << " < " << showAnnTree(hi);
    EXPECT_EQ(hi <=> lo, std::strong_ordering::greater);
    EXPECT_EQ(lo <=> lo, std::strong_ordering::equal);
  }
  using ITree = AnnTree<int>;
  const ITree a1 = Term(std::string("A"), std::string("a"), 1);
  const ITree a9 = Term(std::string("A"), std::string("a"), 9);
  EXPECT_LT(a1, a9);
  // Children decide before the node's own annotation.
  EXPECT_LT(NonTerm(std::string("S"), {a1}, 5), NonTerm(std::string("S"), {a9}, 0));
  EXPECT_LT(NonTerm(std::string("S"), {a9}, 9), NonTerm(std::string("S"), {a9, a1}, 0));
  EXPECT_LT(NonTerm(std::string("S"), {a9}, 0), NonTerm(std::string("S"), {a9}, 1));
}

}  // namespace
}  // namespace kelvor
