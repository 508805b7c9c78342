#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFile.h"
#include "base/Fatal.h"
#include "core/examples/ExampleFile.h"
#include "core/examples/ExampleHandles.h"
#include "tests/core/OutOfOrderLines.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

const ExampleHandle& handleOf(const Examples& ex) {
  return dynamic_cast<const ExampleHandle&>(*ex.collection());
}

std::vector<double> targets(const Examples& ex) {
  std::vector<double> out;
  for (const Element& e : ex.collectionElems()) out.push_back(e.value);
  return out;
}

std::string numberedLines(int n) {
  std::string out;
  for (int i = 1; i <= n; ++i) out += std::to_string(i) + " " + std::to_string(i) + ":1\n";
  return out;
}

TEST(ExampleHandle, IndexesEveryExampleLineWithoutParsing) {
  const struct {
    std::string contents;
    std::vector<std::int64_t> offsets;
    std::int32_t highest;
  } cases[] = {
      {"", {}, 0},
      {"#a\n\n#b\n", {}, 0},
      {"1 4:0.5 9:1\n-1 2:1 string:12:a#b\n", {0, 12}, 12},
      {"# x\n1 2:1\n\n-1 3:1", {4, 11}, 3},
      {"1 5:1\r\n\r\n", {0, 7}, 5},
      // Lines without a feature, or that the parser rejects, still count.
      {" #note\n1\n1 qid:7\n  \t\n", {0, 7, 9, 17}, 0},
      {"1 3:1 # comment\n1 string:2:a:b\n1 tree:4:(NN#a:b:c)\n", {0, 16, 31}, 4},
      {"1 -3:1\n1 0:1\n5:1\n+7:1 2:1\n", {0, 7, 13, 17}, 2},
      // The highest of the kinds, as in memory.
      {"1 string:12:a#b 4:1\n", {0}, 12},
  };
  for (const auto& c : cases) {
    auto file = openTemp("handle.txt", c.contents);
    CaptureStderr();
    auto [examples, highest] = readExampleHandle(1.0, file);
    EXPECT_EQ(GetCapturedStderr(), "");
    const auto& offsets = handleOf(examples).eh_Indices;
    EXPECT_EQ(std::vector<std::int64_t>(offsets.begin(), offsets.end()), c.offsets) << c.contents;
    EXPECT_EQ(highest, c.highest) << c.contents;
  }
}

TEST(ExampleHandle, LooksUpLinesAndConvertsFieldsAtFirstUse) {
  auto file = openTemp("lookup.txt", "# c\n+1 qid:4 3:0.5\n\n-1 3:1-2\n-1 qid:y 2:1");
  auto [examples, highest] = readExampleHandle(2.0, file);
  EXPECT_EQ(targets(examples), (std::vector<double>{1.0, -1.0, -1.0}));
  EXPECT_EQ(examples.at(1).example->ex_qid(), 4);
  EXPECT_EQ(examples.at(1).example->vectorReal().at(1).value, 2.0);
  EXPECT_THROW(examples.at(2).example->vectorReal(), FatalError);
  EXPECT_THROW(examples.at(3).example->ex_qid(), FatalError);
  EXPECT_EQ(fatalMessage([&] { examples.at(4); }), "Index 4 out of bounds (1,3)");
}

TEST(ExampleHandle, KeepsTheTwoLatestElements) {
  auto file = openTemp("cache.txt", numberedLines(8));
  auto [examples, highest] = readExampleHandle(1.0, file);
  // A lookup that reads leaves the file after its line; one served from
  // the cache leaves it where the test put it.
  auto readsFor = [&](std::vector<std::int32_t> indices) {
    int reads = 0;
    for (std::int32_t i : indices) {
      file->seek(0);
      EXPECT_EQ(examples.at(i).value, i);
      reads += file->tell() != 0;
    }
    return reads;
  };
  EXPECT_EQ(readsFor({3, 3}), 1);
  EXPECT_EQ(readsFor({1, 2, 1, 2}), 2);
  EXPECT_EQ(readsFor({4, 5, 6, 4}), 4);
  EXPECT_EQ(readsFor({7, 8, 7}), 2);
  const ExampleHandle& h = handleOf(examples);
  EXPECT_EQ(h.eh_prev().index, 7);
  EXPECT_EQ(h.eh_prev2().index, 8);
  EXPECT_EQ(examples.at(8).example, h.eh_prev().element.example);  // the very same example
}

TEST(ExampleHandle, FailuresNameTheirLine) {
  auto file = openTemp("reject.txt",
                       "1 1:1\n# c\n\n1 3:1 # note\n   \n1 3:1e 4:-\n2 tree:1:(S#x\n3 qid:q\n");
  auto [examples, highest] = readExampleHandle(1.0, file);
  const std::string at = "\nat " + file->path() + ":";
  EXPECT_EQ(fatalMessage([&] { examples.at(2); }),
            "indexEH {handle: " + file->path() +
                "}, index 2 at 11\n1 3:1 # note\nword 3 is not a valid feature: \"#\"" + at + "4");
  EXPECT_EQ(fatalMessage([&] { examples.at(3); }),
            "Example line without any word: it has no target value" + at + "5");
  EXPECT_EQ(examples.at(1).value, 1.0);
  EXPECT_EQ(handleOf(examples).eh_prev2().index, -1);  // failed lookups cached nothing
  // Fields converted at their first use, long after the line was read, and
  // from a file read elsewhere meanwhile.
  const Element reals = examples.at(4), tree = examples.at(5), qid = examples.at(6);
  examples.at(1);
  EXPECT_EQ(fatalMessage([&] { reals.example->vectorReal(); }),
            "Cannot read \"1e\" as Double" + at + "6");
  EXPECT_TRUE(fatalMessage([&] { tree.example->twonorm_sq(); }).ends_with(at + "7"));
  EXPECT_EQ(fatalMessage([&] { qid.example->ex_qid(); }), "Cannot read \"q\" as Int" + at + "8");
}

TEST(ExampleHandle, FeaturesOutOfOrderAreRejectedWhenUsed) {
  for (const auto& c : kOutOfOrderLines) {
    auto file = openTemp("order.txt", "1 1:1\n" + c.line + "\n");
    const Examples examples = readExampleHandle(1.0, file).first;
    EXPECT_EQ(fatalMessage([&] { examples.at(2); }),
              "indexEH {handle: " + file->path() + "}, index 2 at 6\n" + c.line + "\n" +
                  c.rejection + "\nat " + file->path() + ":2");
  }
}

std::pair<Examples, std::string> indexFiles(const std::vector<std::string>& contents) {
  std::vector<std::shared_ptr<InputFile>> files;
  for (std::size_t i = 0; i < contents.size(); ++i)
    files.push_back(openTemp("several" + std::to_string(i) + ".txt", contents[i]));
  CaptureStderr();
  Examples examples = readExampleHandles(1.0, files).first;
  return {examples, GetCapturedStderr()};
}

TEST(ExampleHandles, MarksOfTheTwoPasses) {
  const struct {
    std::vector<std::string> contents;
    std::string marks;
  } cases[] = {
      {{numberedLines(3), numberedLines(2)}, "./."},
      {{"", ""}, "../"},
      {{"#\n#\n" + numberedLines(5)}, ".../."},
      {{numberedLines(10000) + "#\n1 1:1\n"}, ".../.."},
  };
  for (const auto& c : cases) EXPECT_EQ(indexFiles(c.contents).second, c.marks);
}

TEST(ExampleHandles, EntriesOfLaterFilesFollow) {
  auto [examples, marks] = indexFiles({"1 4:0.5\n# c\n2 2:1\n3 1:1", "\n4 string:12:a#b\n5 7:1\n"});
  EXPECT_EQ(targets(examples), (std::vector<double>{1, 2, 3, 4, 5}));
  const auto& h = dynamic_cast<const ExampleHandles&>(*examples.collection());
  EXPECT_EQ(h.ehs_Indices.at(4).file, h.ehs_Handles[1].get());
  EXPECT_EQ(h.ehs_Indices.at(4).offset, 1);
  EXPECT_EQ(examples.at(4).value, 4.0);  // from prev2: the cells swap
  EXPECT_EQ(h.ehs_prev().index, 4);
  EXPECT_EQ(h.ehs_prev2().index, 5);
}

TEST(ExampleHandles, Failures) {
  auto [examples, marks] = indexFiles({"1 1:1\n", "\n1 a:1\n"});
  const auto& h = dynamic_cast<const ExampleHandles&>(*examples.collection());
  const std::string second = "{handle: " + h.ehs_Handles[1]->path() + "}";
  EXPECT_EQ(fatalMessage([&] { examples.at(2); }),
            "indexEHS " + second + ", index 2 at (" + second +
                ",1)\n1 a:1\nword 2 is not a valid feature: \"a:1\"\nat " +
                h.ehs_Handles[1]->path() + ":2");
  // Lines lost between the passes leave slots unfilled; lines gained
  // overflow the entries.
  auto file = openTemp("passes.txt", numberedLines(2));
  CaptureStderr();
  std::vector<ExampleLocation> entries(3), tooFew(1);
  std::int32_t highest = 0;
  scanExampleHandles(entries, 0, highest, {file});
  ExampleHandles holes({file}, Array<ExampleLocation>(entries), 1.0);
  EXPECT_EQ(fatalMessage([&] { holes.at(3); }), "readExampleHandles: value not filled in");
  file->seek(0);
  EXPECT_EQ(fatalMessage([&] { scanExampleHandles(tooFew, 0, highest, {file}); }),
            "Index 2 out of bounds (1,1)");
  // A read error is no end of file, in either reader.
  auto dir = std::make_shared<InputFile>(InputFile::open(kelvor::testing::testDir()));
  EXPECT_EQ(fatalMessage([&] {
              readExampleHandles(1.0, {file, dir});
            }),
            "Error reading " + kelvor::testing::testDir() + ": Is a directory");
  EXPECT_THROW(readExampleHandle(1.0, dir), FatalError);
  GetCapturedStderr();
}

}  // namespace
}  // namespace kelvor
