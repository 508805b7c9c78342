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

using namespace testing;

constexpr std::size_t kDepth = 1'000'000;

std::string repeat(std::string_view s, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

// The printed form of deepChain(kDepth).
const std::string kDeepText = repeat("(A ", kDepth) + "(X \"y\")" + repeat(")", kDepth);

TEST(DeepTree, ReadAndPrint) {
  const std::vector<TreeResult> results = parseFile("deep", "SProb = -1.5\n" + kDeepText);
  ASSERT_EQ(results.size(), 1u);
  const UTree& t = results[0].scoredTree().tree;
  EXPECT_EQ(showTree(t), kDeepText);
  EXPECT_EQ(showAnnTree(t).size(), kDeepText.size() + 5 * (kDepth + 1));
}

TEST(DeepTree, CompareCopyAndDrop) {
  UTree t = deepChain(kDepth);
  const UTree other = deepChain(kDepth, "z");
  UTree copy = t;  // shares: the comparisons still walk the whole depth
  EXPECT_EQ(t, copy);
  EXPECT_NE(t, other);
  EXPECT_EQ(other <=> t, std::strong_ordering::greater);
  t = other;  // the copy alone keeps the first chain now
  EXPECT_LT(copy, t);
}

TEST(DeepTree, Traverse) {
  const UTree t = deepChain(kDepth);
  auto count = [](std::size_t n, const UTree& x) { return std::pair(n + 1, x); };
  EXPECT_EQ(traverseTopDown(count, std::size_t{0}, t).first, kDepth + 1);
  auto retag = [](int, const UTree& x) {
    return std::pair(0, x.isTerm() ? leaf("B", x.treeText()) : node("B", {}));
  };
  std::string retagged = kDeepText;
  std::replace(retagged.begin(), retagged.end(), 'A', 'B');
  std::replace(retagged.begin(), retagged.end(), 'X', 'B');
  EXPECT_EQ(showTree(traverseTopDown(retag, 0, t).second), retagged);
}

TEST(DeepTree, DeepFailuresAreReports) {
  for (const std::string& text :
       {repeat("(A ", kDepth), repeat("(", kDepth), kDeepText.substr(0, kDeepText.size() - 1)}) {
    ReadCursor cursor(text);
    ASSERT_FALSE(treeParserP(cursor).ok());
    EXPECT_EQ(cursor.failure().pos.column, static_cast<std::int64_t>(text.size() + 1));
  }
}

TEST(DeepTree, HugeLeafTexts) {
  const std::string big(10'000'000, 'a');
  std::string odd = big;
  odd[5] = '"';
  odd[6] = '\\';
  for (const auto& [text, want] :
       {std::pair("(NN " + big + ")", big), std::pair("(NN \"" + big + "\")", big),
        std::pair(showTree(leaf("NN", odd)), odd)}) {
    ReadCursor cursor(text);
    Outcome<UTree> read = treeParserP(cursor);
    ASSERT_TRUE(read.ok());
    EXPECT_TRUE(read.value->treeText() == want);
  }
}

}  // namespace
}  // namespace kelvor
