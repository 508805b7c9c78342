#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <vector>

#include "FatalMessage.h"
#include "core/Show.h"
#include "trees/ChildAccess.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"
#include "trees/WithTree.h"

namespace kelvor {
namespace {

using namespace testing;

const std::string kNegative = "Prelude.!!: negative index";
const std::string kTooLarge = "Prelude.!!: index too large";
const std::string kLeafChildren = "No match in record selector NLP.PennParser.treeChildren";
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();

const UTree kA = leaf("A", "a");
const UTree kABC = node("T", {kA, leaf("B", "b"), node("C", {leaf("D", "d")})});

// The child's tag, or the failure's message.
template <class F>
std::string tagOrFailure(F&& get) {
  try {
    return get().treeTag();
  } catch (const FatalError& e) {
    return e.what();
  }
}

TEST(ChildAccess, FromTheFrontAndFromTheBack) {
  struct Case {
    const UTree* t;
    std::int64_t i;
    std::string ch, fromEnd;
  };
  const std::vector<Case> cases = {
      {&kABC, 0, "A", "C"},
      {&kABC, 2, "C", "A"},
      {&kABC, 3, kTooLarge, kNegative},
      {&kABC, -1, kNegative, kTooLarge},
      {&kABC, kMax64, kTooLarge, kNegative},
      {&kABC, kMin64, kNegative, kTooLarge},
      // The index is tested before the node, in ch only.
      {&kA, -1, kNegative, kLeafChildren},
      {&kA, 0, kLeafChildren, kLeafChildren},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tagOrFailure([&] { return ch(c.i, *c.t); }), c.ch) << c.i;
    EXPECT_EQ(tagOrFailure([&] { return childAt(*c.t, c.i); }), c.ch) << c.i;
    EXPECT_EQ(tagOrFailure([&] { return childFromEnd(*c.t, c.i); }), c.fromEnd) << c.i;
  }
}

TEST(ChildAccess, GotoTree) {
  EXPECT_TRUE(gotoTree(kABC, {}).sameNode(kABC));
  EXPECT_EQ(gotoTree(kABC, std::vector<std::int64_t>{2, 0}).treeTag(), "D");
  EXPECT_EQ(fatalMessage([] { gotoTree(kABC, std::vector<std::int64_t>{0, 0}); }), kLeafChildren);
  EXPECT_EQ(fatalMessage([] { gotoTree(kABC, std::vector<std::int64_t>{2, 1}); }), kTooLarge);
}

TEST(ChildAccess, FollowPath) {
  const auto none = followPath(kABC, {});
  ASSERT_EQ(none.size(), 1u);
  EXPECT_TRUE(none[0].first.sameNode(kABC));
  EXPECT_TRUE(none[0].second.isHere());

  const auto items = followPath(kABC, std::vector<std::int64_t>{2, 0});
  ASSERT_EQ(items.size(), 3u);
  std::string seen;
  for (const auto& [t, p] : items) seen += t.treeTag() + "@" + showValue(p) + " ";
  EXPECT_EQ(seen, "T@! C@2 D@2/0 ");

  struct Failing {
    const UTree* t;
    std::vector<std::int64_t> path;
    std::string message;
  };
  for (const Failing& c : std::vector<Failing>{{&kA, {0}, "followPath: goes too deep"},
                                               {&kABC, {0, 1}, "followPath: goes too deep"},
                                               {&kABC, {2, 0, 0}, "followPath: goes too deep"},
                                               {&kABC, {2, 5}, kTooLarge},
                                               {&kABC, {-1}, kNegative}}) {
    EXPECT_EQ(fatalMessage([&] { followPath(*c.t, c.path); }), c.message) << showValue(c.path);
  }
}

// An item as text: its error text, its tree, or the failure that looking
// at it raises.
std::string itemText(const TreeResult& r) {
  try {
    return r.isError() ? r.errorText() : showTree(r.scoredTree().tree);
  } catch (const FatalError& e) {
    return std::string("fatal: ") + e.what();
  }
}

// The items that withTree hands out, as text.
std::vector<std::string> itemTexts(const std::optional<std::string>& name) {
  std::vector<std::string> seen;
  withTree(name, [&](const TreeResult& r) { seen.push_back(itemText(r)); });
  return seen;
}

// The items that parseLines hands out when given the lines one at a time,
// as text, with the number of lines read when each arrived.
std::vector<std::pair<std::string, std::size_t>> streamedItems(
    const std::vector<std::string_view>& lines) {
  std::size_t read = 0;
  std::vector<std::pair<std::string, std::size_t>> items;
  parseLines(
      "t",
      [&](std::string& line) {
        if (read == lines.size()) return false;
        line = lines[read++];
        return true;
      },
      [&](TreeResult r) { items.emplace_back(itemText(r), read); });
  return items;
}

std::string writeFile(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::size_t openDescriptors() {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

TEST(WithTree, EveryItemInOrderAndTheFileClosed) {
  const std::size_t before = openDescriptors();
  EXPECT_TRUE(itemTexts(writeFile("empty.trees", "")).empty());
  EXPECT_EQ(openDescriptors(), before);

  const std::string path =
      writeFile("three.trees", "SProb = -1\n(A b)\nSProb = -2\n(A (b\n(FAILED-PARSE)\n(C d)\n");
  const std::vector<std::string> seen = itemTexts(path);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], "(A \"b\")");
  EXPECT_EQ(seen[1].rfind("Internal error on tree 2: \"" + path + ", tree #2\"", 0), 0u) << seen[1];
  EXPECT_EQ(seen[2], "Charniak Parser Error on tree 3");
  EXPECT_EQ(seen[3], "(C \"d\")");
  EXPECT_EQ(openDescriptors(), before);

  // A failing action leaves the file closed too.
  EXPECT_THROW(withTree(path, [](const TreeResult&) { fail("stop"); }), FatalError);
  EXPECT_EQ(openDescriptors(), before);
}

TEST(WithTree, MissingFileFailsBeforeAnyAction) {
  bool ran = false;
  const std::string message = fatalMessage(
      [&] { withTree("/nonexistent/x.trees", [&](const TreeResult&) { ran = true; }); });
  EXPECT_FALSE(ran);
  EXPECT_NE(message.find("/nonexistent/x.trees"), std::string::npos) << message;
}

TEST(WithTree, ItemsArriveBeforeTheLinesAfterThem) {
  // Each item must reach the action before reading has gone more than one
  // line past it.
  const auto items = streamedItems(
      {"SProb = -1", "(A", " b)", "junk", "SProb = -2", "(C d)", "Parse failed", "()", "(E f)"});
  std::vector<std::size_t> readAtItem;
  for (const auto& item : items) readAtItem.push_back(item.second);
  EXPECT_EQ(readAtItem, (std::vector<std::size_t>{5, 7, 8, 9}));
}

TEST(WithTree, StreamedItemsAreThoseOfTheWholeText) {
  const std::string text =
      "SProb = -1\n(A b)\nParse failed\n()\nParse failed\nnoise\n(FAILED-PARSE)\n"
      "SProb = x\n(B c)\n(C \"q\\\"\")\nSProb = -3\n(D (e\r\nSProb = -4";
  const std::vector<TreeResult> whole = parseFile("t", text);
  const auto streamed = streamedItems(splitLines(text));
  ASSERT_EQ(streamed.size(), whole.size());
  for (std::size_t i = 0; i < whole.size(); ++i)
    EXPECT_EQ(streamed[i].first, itemText(whole[i])) << i;
}

// Runs withTree on standard input in a child process, with the text as
// standard input; the child's exit code tells the outcome.
TEST(WithTreeDeathTest, StandardInputOnceAndNamedStdin) {
  const std::string path = writeFile("stdin.trees", "SProb = -1\n(A b)\n(B (c\n");
  auto child = [&] {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr || ::dup2(::fileno(in), STDIN_FILENO) < 0) std::_Exit(10);
    const std::vector<std::string> seen = itemTexts(std::nullopt);
    if (seen.size() != 2 || seen[0] != "(A \"b\")" ||
        seen[1].find("stdin, tree #2") == std::string::npos)
      std::_Exit(11);
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0) std::_Exit(12);  // still open
    const std::string again = fatalMessage([] { itemTexts(std::nullopt); });
    std::_Exit(again == "stdin: standard input has already been read" ? 0 : 13);
  };
  EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kelvor
