// Trees far deeper than any call stack: every operation must hold at a
// nesting depth of a million.
#include <gtest/gtest.h>

#include <algorithm>

#include "trees/ParseFile.h"
#include "trees/Traverse.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"
#include "trees/TreeReader.h"

namespace kelvor {
namespace {

using testing::deepChain;
using testing::leaf;
using testing::node;
using testing::UTree;

constexpr std::size_t kDepth = 1'000'000;

std::string repeat(std::string_view s, std::size_t n) {
  std::string out;
  out.reserve(s.size() * n);
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

// The printed form of deepChain(kDepth).
const std::string& deepText() {
  static const std::string text = repeat("(A ", kDepth) + "(X \"y\")" + repeat(")", kDepth);
  return text;
}

TEST(DeepTree, ReadAndPrint) {
  ReadCursor cursor(deepText());
  Outcome<UTree> read = treeParserP(cursor);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(showTree(*read.value), deepText());
  EXPECT_EQ(showAnnTree(*read.value).size(), deepText().size() + 5 * (kDepth + 1));
}

TEST(DeepTree, CompareCopyAndDrop) {
  UTree t = deepChain(kDepth);
  const UTree other = deepChain(kDepth, "z");
  UTree copy = t;  // shares: the comparisons still walk the whole depth
  EXPECT_EQ(t, copy);
  EXPECT_NE(t, other);
  EXPECT_LT(t, other);
  EXPECT_EQ(other <=> t, std::strong_ordering::greater);
  t = other;  // the copy alone keeps the first chain now
  EXPECT_LT(copy, t);
}

TEST(DeepTree, Traverse) {
  const UTree t = deepChain(kDepth);
  auto count = [](std::size_t n, const UTree& x) { return std::pair(n + 1, x); };
  EXPECT_EQ(traverseTopDown(count, std::size_t{0}, t).first, kDepth + 1);
  // A rebuild of every node.
  auto retag = [](int, const UTree& x) {
    return std::pair(0, x.isTerm() ? leaf("B", x.treeText()) : node("B", {}));
  };
  const UTree rebuilt = traverseTopDown(retag, 0, t).second;
  std::string retagged = deepText();
  std::replace(retagged.begin(), retagged.end(), 'A', 'B');
  std::replace(retagged.begin(), retagged.end(), 'X', 'B');
  EXPECT_EQ(showTree(rebuilt), retagged);
}

TEST(DeepTree, DeepFailuresAreReports) {
  const std::string unclosed = repeat("(A ", kDepth);
  const std::string brackets = repeat("(", kDepth);
  const std::string leftover = "SProb = 1\n" + deepText().substr(0, deepText().size() - 1);
  for (const std::string* text : {&unclosed, &brackets, &leftover}) {
    const std::vector<TreeResult> results = parseFile("deep", *text);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].isError());
  }
  ReadCursor cursor(unclosed);
  ASSERT_FALSE(treeParserP(cursor).ok());
  EXPECT_EQ(cursor.failure().pos, (SourcePos{1, static_cast<std::int64_t>(3 * kDepth + 1)}));
}

TEST(DeepTree, ParseFileReadsADeepTree) {
  const std::vector<TreeResult> results = parseFile("deep", "SProb = -1.5\n" + deepText());
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].scoredTree().score, -1.5);
  EXPECT_EQ(results[0].scoredTree().tree, deepChain(kDepth));
}

TEST(DeepTree, HugeLeafTexts) {
  const std::string big(10'000'000, 'a');
  std::string escaped = big;
  escaped[5] = '"';
  escaped[6] = '\\';
  const std::pair<std::string, std::string> cases[] = {
      {"(NN " + big + ")", big},
      {"(NN \"" + big + "\")", big},
      {"(NN \"" + escaped.substr(0, 5) + "\\\"\\\\" + escaped.substr(7) + "\")", escaped},
  };
  for (const auto& [text, want] : cases) {
    ReadCursor cursor(text);
    Outcome<UTree> read = treeParserP(cursor);
    ASSERT_TRUE(read.ok());
    EXPECT_TRUE(read.value->treeText() == want);
  }
  const std::string printed = showTree(leaf("NN", escaped));
  ReadCursor cursor(printed);
  EXPECT_TRUE(treeParserP(cursor).value->treeText() == escaped);
}

}  // namespace
}  // namespace kelvor
