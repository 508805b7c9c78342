#include <gtest/gtest.h>

#include <cmath>

#include "core/Fatal.h"
#include "core/NumberText.h"
#include "trees/ParseFile.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"

namespace kelvor {
namespace {

using testing::leaf;
using testing::node;

TEST(SplitLines, LineFeedsOnly) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(splitLines(""), V{});
  EXPECT_EQ(splitLines("\n"), V{""});
  EXPECT_EQ(splitLines("a"), V{"a"});
  EXPECT_EQ(splitLines("a\n"), V{"a"});
  EXPECT_EQ(splitLines("a\r\n\nb"), (V{"a\r", "", "b"}));
}

TEST(SplitTrees, GroupsLinesIntoItems) {
  using V = std::vector<std::string_view>;
  const TreeItem failed{TreeItemKind::Failed, {}};
  auto tree = [](V lines) { return TreeItem{TreeItemKind::Tree, std::move(lines)}; };
  const std::pair<V, std::vector<TreeItem>> cases[] = {
      {{}, {}},
      {{"junk", "", "more"}, {}},
      {{"(S x)"}, {tree({"SProb = 0", "(S x)"})}},
      {{"SProb = 1", "anything", "more (", "(T y)"},
       {tree({"SProb = 1", "anything", "more ("}), tree({"SProb = 0", "(T y)"})}},
      {{"SProb = 1", "SProb = 2", "x"}, {tree({"SProb = 1", "SProb = 2", "x"})}},
      {{"(S", "  (A b))", "SProb = 2"}, {tree({"SProb = 0", "(S", "  (A b))"})}},
      {{"(FAILED-PARSE)", "(FAILED-PARSE)\r"}, {failed, tree({"SProb = 0", "(FAILED-PARSE)\r"})}},
      {{"(S x", "(FAILED-PARSE)"}, {tree({"SProb = 0", "(S x"}), failed}},
      {{"SProb = 1", "(FAILED-PARSE)"}, {tree({"SProb = 1", "(FAILED-PARSE)"})}},
      {{"Parse failed", "()", "Parse failed", "(S x)", "Parse failed"},
       {failed, tree({"SProb = 0", "(S x)"})}},
      {{"(S x", "Parse failed: why", "tail"}, {tree({"SProb = 0", "(S x"})}},
      {{"SProb =", "SProb = "}, {}},
  };
  for (const auto& [lines, items] : cases) {
    EXPECT_EQ(splitTrees(lines), items) << (lines.empty() ? "" : lines[0]);
  }
}

// The tree of a result that must be a scored tree.
std::string describe(const TreeResult& r) {
  if (r.isError()) return "error: " + r.errorText();
  return showDouble(r.scoredTree().score) + " " + showTree(r.scoredTree().tree);
}

std::vector<std::string> describeAll(std::string_view text) {
  std::vector<std::string> out;
  for (const TreeResult& r : parseFile("in", text)) out.push_back(describe(r));
  return out;
}

TEST(ParseFile, ResultsPerItem) {
  using V = std::vector<std::string>;
  const std::pair<std::string, V> cases[] = {
      {"", {}},
      {"junk\n\nmore\n", {}},
      {"(S (NN x))", {"0.0 (S (NN \"x\"))"}},
      {"SProb = -123.45\n(S (NN x))\n", {"-123.45 (S (NN \"x\"))"}},
      {"SProb = 2\n(A b)\n(C d)\n", {"2.0 (A \"b\")", "0.0 (C \"d\")"}},
      {"SProb = 2\n(S (NP (NN x))\n  (VP (VB y)))\n", {"2.0 (S (NP (NN \"x\")) (VP (VB \"y\")))"}},
      {"(S x) trailing\nmore trailing", {"0.0 (S \"x\")"}},
      {"SProb = 1e-3\n(A b)", {"1.0e-3 (A \"b\")"}},
      // A score line takes the next line, even an empty one.
      {"SProb = 1e-3\n\n(A b)",
       {"error: Internal error on tree 1: \"in, tree #1\" (line 3, column 1):\n"
        "unexpected end of input\nexpecting white space or \"(\"",
        "0.0 (A \"b\")"}},
      {"SProb = -0\n(A b)", {"-0.0 (A \"b\")"}},
      {"(FAILED-PARSE)\nParse failed\n()\n(A b)",
       {"error: Charniak Parser Error on tree 1", "error: Charniak Parser Error on tree 2",
        "0.0 (A \"b\")"}},
      {"SProb = 1\n(S (NP (NN x))\n(VP (VB y)))\n",
       {"error: Internal error on tree 1: \"in, tree #1\" (line 3, column 1):\n"
        "unexpected end of input\nexpecting white space, \"(\" or \")\"",
        "0.0 (VP (VB \"y\"))"}},
      {"SProb = -3.2 x\n(S (NN x))",
       {"error: Internal error on tree 1: \"in, tree #1\" (line 1, column 14):\n"
        "unexpected \"x\"\nexpecting white space or \"(\""}},
      {"SProb = \n(S (NN x))",
       {"error: Internal error on tree 1: \"in, tree #1\" (line 1, column 9):\n"
        "unexpected \"\\n\""}},
      {"SProb = abc\n(S (NN x))",
       {"error: Internal error on tree 1: \"in, tree #1\" (line 1, column 9):\n"
        "unexpected \"a\""}},
      {"SProb = 1\n(FAILED-PARSE)",
       {"error: Internal error on tree 1: \"in, tree #1\" (line 3, column 1):\n"
        "unexpected end of input\nexpecting white space, \"(\" or \"\\\"\""}},
      {"(FAILED-PARSE)\n(S (NN x))\n(((",
       {"error: Charniak Parser Error on tree 1", "0.0 (S (NN \"x\"))",
        "error: Internal error on tree 3: \"in, tree #3\" (line 3, column 1):\n"
        "unexpected end of input\nexpecting white space, \"(\" or \"\\\"\""}},
  };
  for (const auto& [text, want] : cases) {
    EXPECT_EQ(describeAll(text), want) << text;
  }
}

TEST(ParseFile, MalformedScoreStopsOnlyWhenItsItemIsExamined) {
  for (std::string score : {"1.2.3", "5.", ".5", "-", "1e", "1-2", "--1", "1e-", "1e+05"}) {
    SCOPED_TRACE(score);
    // Whatever the tree holds: the score is converted before it is read.
    for (std::string tree : {"(S (NN x))", "(S"}) {
      const std::vector<TreeResult> results =
          parseFile("in", "SProb = " + score + "\n" + tree + "\n(FAILED-PARSE)\n(A b)");
      ASSERT_EQ(results.size(), 3u);
      EXPECT_THROW((void)results[0].isError(), FatalError);
      EXPECT_THROW((void)results[0].value(), FatalError);
      EXPECT_EQ(results[1].errorText(), "Charniak Parser Error on tree 2");
      EXPECT_EQ(showTree(results[2].scoredTree().tree), "(A \"b\")");
    }
  }
  const std::vector<TreeResult> ok = parseFile("in", "SProb = -0.5E-1\n(A b)");
  EXPECT_EQ(ok.at(0).scoredTree().score, -0.05);
  EXPECT_TRUE(std::signbit(parseFile("in", "SProb = -0.0\n(A b)").at(0).scoredTree().score));
}

TEST(ParseFile, TreesCarryTheEmptyAnnotationAndShareNothingWithTheText) {
  std::string text = "SProb = 1\n(S (NN \"a long text that does not fit a short string\"))";
  std::vector<TreeResult> results = parseFile("in", text);
  text.assign(text.size(), 'z');
  EXPECT_EQ(results.at(0).scoredTree().tree,
            node("S", {leaf("NN", "a long text that does not fit a short string")}));
}

}  // namespace
}  // namespace kelvor
