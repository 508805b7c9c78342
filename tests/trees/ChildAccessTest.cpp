#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <limits>
#include <optional>
#include <vector>

#include "FatalMessage.h"
#include "TempFile.h"
#include "base/Show.h"
#include "trees/ChildAccess.h"
#include "trees/TreeBuilders.h"
#include "trees/TreePrinter.h"
#include "trees/WithTree.h"

namespace kelvor {
namespace {

using namespace testing;

const std::string kNegative = "Prelude.!!: negative index";
const std::string kTooLarge = "Prelude.!!: index too large";
const std::string kLeaf = "No match in record selector NLP.PennParser.treeChildren";
const UTree kA = leaf("A", "a");
const UTree kABC = node("T", {kA, leaf("B", "b"), node("C", {leaf("D", "d")})});

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
  for (const Case& c :
       std::vector<Case>{{&kABC, 0, "A", "C"},
                         {&kABC, 2, "C", "A"},
                         {&kABC, 3, kTooLarge, kNegative},
                         {&kABC, -1, kNegative, kTooLarge},
                         {&kABC, std::numeric_limits<std::int64_t>::min(), kNegative, kTooLarge},
                         {&kA, -1, kNegative, kLeaf},  // ch tests the index before the node
                         {&kA, 0, kLeaf, kLeaf}}) {
    EXPECT_EQ(tagOrFailure([&] { return ch(c.i, *c.t); }), c.ch) << c.i;
    EXPECT_EQ(tagOrFailure([&] { return childAt(*c.t, c.i); }), c.ch) << c.i;
    EXPECT_EQ(tagOrFailure([&] { return childFromEnd(*c.t, c.i); }), c.fromEnd) << c.i;
  }
}

TEST(ChildAccess, Paths) {
  EXPECT_TRUE(gotoTree(kABC, {}).sameNode(kABC));
  EXPECT_EQ(gotoTree(kABC, std::vector<std::int64_t>{2, 0}).treeTag(), "D");
  std::string seen;
  for (const auto& [t, p] : followPath(kABC, std::vector<std::int64_t>{2, 0}))
    seen += t.treeTag() + "@" + showValue(p) + " ";
  EXPECT_EQ(seen, "T@! C@2 D@2/0 ");
  for (const auto& [t, path, message] :
       std::vector<std::tuple<UTree, std::vector<std::int64_t>, std::string>>{
           {kA, {0}, "followPath: goes too deep"},
           {kABC, {0, 1}, "followPath: goes too deep"},
           {kABC, {2, 5}, kTooLarge}}) {
    EXPECT_EQ(fatalMessage([&] { followPath(t, path); }), message) << showValue(path);
  }
}

std::string itemText(const TreeResult& r) {
  return r.isError() ? r.errorText() : showTree(r.scoredTree().tree);
}

std::vector<std::string> itemTexts(const std::optional<std::string>& name) {
  std::vector<std::string> seen;
  withTree(name, [&](const TreeResult& r) { seen.push_back(itemText(r)); });
  return seen;
}

std::size_t openDescriptors() {
  const std::filesystem::directory_iterator fds("/proc/self/fd");
  return static_cast<std::size_t>(std::distance(begin(fds), end(fds)));
}

TEST(WithTree, EveryItemInOrderAndTheFileClosed) {
  const std::string path =
      writeTempFile("three.trees", "SProb = -1\n(A b)\nSProb = -2\n(A (b\n(FAILED-PARSE)\n(C d)\n");
  const std::size_t before = openDescriptors();
  const std::vector<std::string> seen = itemTexts(path);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], "(A \"b\")");
  EXPECT_NE(seen[1].find(path + ", tree #2"), std::string::npos) << seen[1];
  EXPECT_EQ(seen[2], "Charniak Parser Error on tree 3");
  EXPECT_EQ(openDescriptors(), before);
  EXPECT_THROW(withTree(path, [](const TreeResult&) { fail("stop"); }), FatalError);
  EXPECT_EQ(openDescriptors(), before);
  EXPECT_NE(fatalMessage([] { itemTexts("/nonexistent/x"); }).find("/nonexistent/x"),
            std::string::npos);
}

TEST(WithTree, StreamedItemsComeAsSoonAsTheyEnd) {
  const std::string text =
      "SProb = -1\n(A\n b)\njunk\nSProb = -2\n(C d)\nParse failed\n()\nParse failed\nnoise\n"
      "SProb = x\n(B c)\n(D (e\r\nSProb = -4";
  const std::vector<std::string_view> lines = splitLines(text);
  std::size_t read = 0;
  std::vector<std::size_t> readAtItem;
  auto nextLine = [&](std::string& line) {
    if (read == lines.size()) return false;
    line = lines[read++];
    return true;
  };
  parseLines("t", nextLine, [&](TreeResult) { readAtItem.push_back(read); });
  // Each item arrives once the line after it is read, not later.
  EXPECT_EQ(readAtItem, (std::vector<std::size_t>{5, 7, 8, 13, 14}));
}

// Standard input is read in a child process, from a file put in its place.
TEST(WithTreeDeathTest, StandardInputOnceAndNamedStdin) {
  const std::string path = writeTempFile("stdin.trees", "SProb = -1\n(A b)\n(B (c\n");
  auto child = [&] {
    if (::dup2(::open(path.c_str(), O_RDONLY), STDIN_FILENO) < 0) std::_Exit(10);
    const std::vector<std::string> seen = itemTexts(std::nullopt);
    if (seen.size() != 2 || seen[1].find("stdin, tree #2") == std::string::npos) std::_Exit(11);
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0) std::_Exit(12);  // left open
    const std::string again = fatalMessage([] { itemTexts(std::nullopt); });
    std::_Exit(again == "stdin: standard input has already been read" ? 0 : 13);
  };
  EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kelvor
