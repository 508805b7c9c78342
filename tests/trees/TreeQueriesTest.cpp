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
using ITree = AnnTree<int>;

const UTree kSentence = node(
    "S", {node("NP", {leaf("DT", "the"), leaf("NN", "dog")}), node("VP", {leaf("VBZ", "barks")})});

std::string words(const UTree& t) {
  std::string out;
  for (const std::string& w : getWords(t)) out += w + " ";
  return out;
}

TEST(TreeQueries, CountsLeavesAndWords) {
  struct Case {
    UTree t;
    std::int64_t size, leaves;
    std::string words;
    bool term;
  };
  const std::vector<Case> cases = {
      {leaf("NN", "dog"), 1, 1, "dog ", true},
      {node("X", {}), 1, 0, "", false},
      {node("X", {node("Y", {})}), 2, 0, "", false},
      {kSentence, 6, 3, "the dog barks ", false},
  };
  for (const Case& c : cases) {
    const std::string shown = showAnnTree(c.t);
    EXPECT_EQ(treeSize(c.t), c.size) << shown;
    EXPECT_EQ(numLeaves<int>(c.t), c.leaves) << shown;
    EXPECT_EQ(words(c.t), c.words) << shown;
    EXPECT_EQ(isTerm(c.t), c.term) << shown;
    EXPECT_EQ(isNonTerm(c.t), !c.term) << shown;
    const std::vector<UTree> leaves = getLeaves(c.t);
    ASSERT_EQ(static_cast<std::int64_t>(leaves.size()), c.leaves) << shown;
    for (const UTree& l : leaves) EXPECT_TRUE(l.isTerm());
  }
  EXPECT_TRUE(getLeaves(kSentence)[1].sameNode(kSentence.treeChildren()[0].treeChildren()[1]));
}

TEST(TreeQueries, CountsThatDoNotFitTheAskedTypeStop) {
  std::vector<UTree> many(300, leaf("L", "x"));
  const UTree wide = node("W", many);
  EXPECT_EQ(treeSize<std::int16_t>(wide), 301);
  EXPECT_EQ(fatalMessage([&] { treeSize<std::int8_t>(wide); }),
            "treeSize: 301 does not fit the numeric type asked for");
  EXPECT_EQ(fatalMessage([&] { numLeaves<std::uint8_t>(wide); }),
            "numLeaves: 300 does not fit the numeric type asked for");
}

TEST(TreeQueries, MapTreeKeepsShapeAndChangesType) {
  const ITree numbered = traverseLeftToRight(
                             [](int n, const ITree& l) {
                               return std::pair(n + 1, Term(l.treeTag(), l.treeText(), n));
                             },
                             0, mapTree([](Unit) { return -1; }, kSentence))
                             .second;
  EXPECT_EQ(showAnnTree(numbered),
            "(S {-1} (NP {-1} (DT {0} \"the\") (NN {1} \"dog\")) (VP {-1} (VBZ {2} \"barks\")))");
  const AnnTree<std::string> named =
      mapTree([](int n) { return n < 0 ? std::string("inner") : std::to_string(n); }, numbered);
  EXPECT_EQ(showAnnTree(named),
            "(S {\"inner\"} (NP {\"inner\"} (DT {\"0\"} \"the\") (NN {\"1\"} \"dog\")) "
            "(VP {\"inner\"} (VBZ {\"2\"} \"barks\")))");
  EXPECT_EQ(mapTree([](Unit u) { return u; }, kSentence), kSentence);
  EXPECT_EQ(showAnnTree(mapTree([](Unit) { return 7; }, node("E", {}))),
            "(E {7} <<EMPTY SUBTREE>>)");
}

TEST(TreeQueries, TraverseLeftToRightSeesOnlyLeaves) {
  std::vector<std::string> seen;
  auto record = [&](int n, const UTree& l) {
    seen.push_back(l.treeTag());
    return std::pair(n + 1, l);
  };
  const auto [count, same] = traverseLeftToRight(record, 0, kSentence);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(seen, (std::vector<std::string>{"DT", "NN", "VBZ"}));
  EXPECT_TRUE(same.sameNode(kSentence));  // nothing changed, nothing rebuilt

  // A leaf may become any tree, which is not traversed further; untouched
  // subtrees are shared.
  auto grow = [](int n, const UTree& l) {
    if (l.treeText() != "dog") return std::pair(n, l);
    return std::pair(n + 1, node("NP", {leaf("JJ", "big"), l}));
  };
  const auto [grown, t] = traverseLeftToRight(grow, 0, kSentence);
  EXPECT_EQ(grown, 1);
  EXPECT_EQ(showTree(t),
            "(S (NP (DT \"the\") (NP (JJ \"big\") (NN \"dog\"))) (VP (VBZ \"barks\")))");
  EXPECT_TRUE(t.treeChildren()[1].sameNode(kSentence.treeChildren()[1]));

  // A leaf alone is exactly f's result; a childless node never calls f.
  const auto [one, replaced] = traverseLeftToRight(grow, 5, leaf("NN", "dog"));
  EXPECT_EQ(one, 6);
  EXPECT_EQ(showTree(replaced), "(NP (JJ \"big\") (NN \"dog\"))");
  seen.clear();
  const UTree empty = node("E", {});
  const auto [zero, kept] = traverseLeftToRight(record, 0, empty);
  EXPECT_EQ(zero, 0);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(kept, empty);
}

}  // namespace
}  // namespace kelvor
