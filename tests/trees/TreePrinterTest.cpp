#include <gtest/gtest.h>

#include <random>

#include "FatalMessage.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"
#include "trees/TreeReader.h"

namespace kelvor {
namespace {

using namespace testing;

TEST(TreePrinter, PlainForm) {
  const UTree the = leaf("DT", "the");
  const std::pair<UTree, std::string> cases[] = {
      {the, "(DT \"the\")"},
      {node("NP", {the, the}), "(NP (DT \"the\") (DT \"the\"))"},
      {leaf("PUNC", "\""), "(PUNC \"\\\"\")"},
      {leaf("X", "a\\b (c)\nd\t"), "(X \"a\\\\b (c)\nd\t\")"},
      {leaf("a \"b\" (c)", "x"), "(a \"b\" (c) \"x\")"},
      {leaf("", ""), "( \"\")"},
      {node("", {leaf("A", "a")}), "( (A \"a\"))"},
  };
  for (const auto& [tree, plain] : cases) EXPECT_EQ(showTree(tree), plain);

  // Appending leaves what is there alone.
  std::string out = "prefix ";
  showTree(out, the);
  showsString(out, "q\"");
  ss(out, "\\");
  EXPECT_EQ(out, "prefix (DT \"the\")\"q\\\"\"\\\\");

  // An inner node without children stops it; what came before is out.
  const UTree hollow = node("S", {the, node("B", {}), the});
  out.clear();
  EXPECT_EQ(fatalMessage([&] { showTree(out, hollow); }),
            "NLP/PennParser:60: Non-exhaustive patterns in function showChildren");
  EXPECT_EQ(out, "(S (DT \"the\") (B ");
}

TEST(TreePrinter, AnnotatedAndValuePrinterForms) {
  const UTree a = leaf("A", "a");
  const UTree s = node("S", {a, node("B", {})});
  EXPECT_EQ(showAnnTree(s), "(S {()} (A {()} \"a\") (B {()} <<EMPTY SUBTREE>>))");
  const AnnTree<int> k = Term(std::string("K"), std::string("k"), -3);
  EXPECT_EQ(showAnnTree(NonTerm(std::string("S"), {k}, 12)), "(S {12} (K {-3} \"k\"))");
  // Inside other values a tree is never put in parentheses.
  EXPECT_EQ(showValue(std::pair(a, -1)), "((A {()} \"a\"),-1)");
  EXPECT_EQ(showValue(std::vector<UTree>{a, a}), "[(A {()} \"a\"),(A {()} \"a\")]");
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
