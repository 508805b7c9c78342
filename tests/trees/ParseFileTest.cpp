#include <gtest/gtest.h>

#include "base/Fatal.h"
#include "base/NumberText.h"
#include "trees/ParseFile.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"

namespace kelvor {
namespace {

using namespace testing;

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
      {{"(FAILED-PARSE)", "(FAILED-PARSE)\r", "SProb = 1", "(FAILED-PARSE)"},
       {failed, tree({"SProb = 0", "(FAILED-PARSE)\r"}), tree({"SProb = 1", "(FAILED-PARSE)"})}},
      {{"Parse failed", "()", "Parse failed", "(S x", "Parse failed: y", "z", "Parse failed"},
       {failed, tree({"SProb = 0", "(S x"})}},
      {{"SProb =", "SProb = "}, {}},
  };
  for (const auto& [lines, items] : cases) {
    EXPECT_EQ(splitTrees(lines), items) << (lines.empty() ? "" : lines[0]);
  }
}

// Each result as "error: <text>" or "<score> <tree>".
std::vector<std::string> describeAll(std::string_view text) {
  std::vector<std::string> out;
  for (const TreeResult& r : parseFile("in", text)) {
    out.push_back(r.isError()
                      ? "error: " + r.errorText()
                      : showDouble(r.scoredTree().score) + " " + showTree(r.scoredTree().tree));
  }
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
      {"SProb = -0.5E-1\n(A b)", {"-5.0e-2 (A \"b\")"}},
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
      {"(PUNC\" x)\n(S (N x)\n\x01)",
       {"error: Internal error on tree 1: \"in, tree #1\" (line 2, column 8):\n"
        "unexpected \"x\"\nexpecting white space, \"(\" or \"\\\"\\\"\\\"\"",
        "error: Internal error on tree 2: \"in, tree #2\" (line 3, column 1):\n"
        "unexpected \"\\SOH\"\nexpecting white space, \"(\" or \")\""}},
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
}

TEST(ParseFile, TreesOwnTheirTexts) {
  std::string text = "(S (NN \"a text too long to be stored within a string\"))";
  const std::vector<TreeResult> results = parseFile("in", text);
  text.assign(text.size(), 'z');
  EXPECT_EQ(results.at(0).scoredTree().tree,
            node("S", {leaf("NN", "a text too long to be stored within a string")}));
}

}  // namespace
}  // namespace kelvor
