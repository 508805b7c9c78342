#include <gtest/gtest.h>

#include <random>

#include "core/Fatal.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"
#include "trees/TreeReader.h"

namespace kelvor {
namespace {

using testing::leaf;
using testing::node;
using testing::UTree;

TEST(TreePrinter, PlainAndAnnotatedForms) {
  struct Case {
    UTree tree;
    std::string plain, annotated;
  };
  const UTree the = leaf("DT", "the");
  const Case cases[] = {
      {the, "(DT \"the\")", "(DT {()} \"the\")"},
      {node("NP", {the, the}), "(NP (DT \"the\") (DT \"the\"))",
       "(NP {()} (DT {()} \"the\") (DT {()} \"the\"))"},
      {leaf("PUNC", "\""), "(PUNC \"\\\"\")", "(PUNC {()} \"\\\"\")"},
      {leaf("X", "a\\b"), "(X \"a\\\\b\")", "(X {()} \"a\\\\b\")"},
      {leaf("X", "a (b)\nc\t"), "(X \"a (b)\nc\t\")", "(X {()} \"a (b)\nc\t\")"},
      {leaf("a \"b\" (c)", "x"), "(a \"b\" (c) \"x\")", "(a \"b\" (c) {()} \"x\")"},
      {leaf("", ""), "( \"\")", "( {()} \"\")"},
      {node("", {leaf("A", "a")}), "( (A \"a\"))", "( {()} (A {()} \"a\"))"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(showTree(c.tree), c.plain);
    EXPECT_EQ(showAnnTree(c.tree), c.annotated);
  }
  using ITree = AnnTree<int>;
  const ITree k = Term(std::string("K"), std::string("k"), -3);
  EXPECT_EQ(showAnnTree(NonTerm(std::string("S"), {k}, 12)), "(S {12} (K {-3} \"k\"))");
  EXPECT_EQ(showTree(NonTerm(std::string("S"), {k}, 12)), "(S (K \"k\"))");
}

TEST(TreePrinter, ValuePrinterForm) {
  const UTree a = leaf("A", "a");
  const UTree s = node("S", {a});
  EXPECT_EQ(showValue(s), "(S {()} (A {()} \"a\"))");
  EXPECT_EQ(showValue(std::pair(s, -1)), "((S {()} (A {()} \"a\")),-1)");
  EXPECT_EQ(showValue(std::vector<UTree>{a, s}), "[(A {()} \"a\"),(S {()} (A {()} \"a\"))]");
  EXPECT_EQ(showValue(Unit{}), "()");
}

TEST(TreePrinter, AppendsToWhatIsThere) {
  std::string out = "prefix ";
  showTree(out, leaf("A", "b"));
  showsString(out, "q\"");
  ss(out, "\\");
  EXPECT_EQ(out, "prefix (A \"b\")\"q\\\"\"\\\\");
}

TEST(TreePrinter, InnerNodeWithoutChildren) {
  const UTree t = node("S", {leaf("A", "a"), node("B", {}), leaf("C", "c")});
  EXPECT_EQ(showAnnTree(t), "(S {()} (A {()} \"a\") (B {()} <<EMPTY SUBTREE>>) (C {()} \"c\"))");
  std::string out;
  try {
    showTree(out, t);
    ADD_FAILURE() << "printed " << out;
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "NLP/PennParser:60: Non-exhaustive patterns in function showChildren");
  }
  EXPECT_EQ(out, "(S (A \"a\") (B ");  // what came before the node is out
}

// Random trees whose printed form reads back: tags without tab, line feed or
// space, leaf tags neither empty nor the label that announces three quotes;
// texts of any bytes.
class RandomTrees {
 public:
  explicit RandomTrees(unsigned seed) : rng_(seed) {}

  UTree tree(int depth) {
    if (depth == 0 || pick(3) == 0) {
      std::string tag = label();
      if (tag.empty() || tag == "PUNC\"") tag += "X";
      return leaf(std::move(tag), text());
    }
    std::vector<UTree> children;
    const int n = 1 + pick(4);
    for (int i = 0; i < n; ++i) children.push_back(tree(depth - 1));
    return node(label(), std::move(children));
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  std::string pickFrom(std::string_view alphabet, int maxLength) {
    std::string s;
    for (int i = pick(maxLength + 1); i > 0; --i)
      s += alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))];
    return s;
  }
  std::string label() {
    if (pick(8) == 0) return "PUNC\"";
    return pickFrom("NPVSab()\"\\\r\v\f\xa0#", 4);
  }
  std::string text() { return pickFrom("ab \"\\()\n\t\r\xa0\x01", 6); }

  std::mt19937 rng_;
};

TEST(TreePrinter, PrintedTreesReadBack) {
  RandomTrees random(12345);
  for (int i = 0; i < 2000; ++i) {
    const UTree t = random.tree(4);
    const std::string text = showTree(t);
    ReadCursor cursor(text);
    Outcome<UTree> back = treeParserP(cursor);
    ASSERT_TRUE(back.ok()) << text << "\n" << showReadFailure("t", cursor.failure());
    ASSERT_EQ(*back.value, t) << text;
    EXPECT_EQ(cursor.index(), text.size());
  }
}

}  // namespace
}  // namespace kelvor
