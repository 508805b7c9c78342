#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFile.h"
#include "core/ExampleFile.h"
#include "core/ExampleHandles.h"
#include "core/Fatal.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;

const ExampleHandle& handleOf(const Examples& ex) {
  return dynamic_cast<const ExampleHandle&>(*ex.collection());
}

std::vector<std::int64_t> offsetsOf(const Examples& ex) {
  const auto& offsets = handleOf(ex).eh_Indices;
  return {offsets.begin(), offsets.end()};
}

TEST(ExampleHandle, IndexesEveryExampleLineWithoutParsing) {
  const struct {
    const char* name;
    std::string contents;
    std::vector<std::int64_t> offsets;
    std::int32_t highest;
  } cases[] = {
      {"empty", "", {}, 0},
      {"comments and empty lines", "#a\n\n#b\n", {}, 0},
      {"offsets", "1 4:0.5 9:1\n-1 2:1 string:12:a#b\n", {0, 12}, 12},
      {"no final feed", "# x\n1 2:1\n\n-1 3:1", {4, 11}, 3},
      {"crlf", "1 5:1\r\n\r\n", {0, 7}, 5},
      {"blank before #", " #note\n", {0}, 0},
      {"no feature", "1\n1 qid:7\n", {0, 2}, 0},
      {"trailing comment", "1 3:1 # comment\n", {0}, 3},
      {"colons in texts", "1 string:2:a:b\n1 tree:4:(NN#a:b:c)\n", {0, 15}, 4},
      {"negative and zero numbers", "1 -3:1\n1 0:1\n", {0, 7}, 0},
      {"white space only", "  \t\n", {0}, 0},
      {"feature-like targets", "5:1\n+7:1 2:1\n\xa0+3:1 qid:4:5\n", {0, 4, 13}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto file = openTemp("handle.txt", c.contents);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    auto [examples, highest] = readExampleHandle(1.0, file);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(offsetsOf(examples), c.offsets);
    EXPECT_EQ(examples.collectionSize(), static_cast<std::int32_t>(c.offsets.size()));
    EXPECT_EQ(highest, c.highest);
  }
}

TEST(ExampleHandle, HighestComesFromTheLastFeatureWord) {
  const std::string path = writeTempFile("last.txt", "1 string:12:a#b 4:1\n");
  auto file = std::make_shared<InputFile>(InputFile::open(path));
  EXPECT_EQ(readExampleHandle(1.0, file).second, 4);
  EXPECT_EQ(readExampleFile(path, 1.0).second, 12);
}

TEST(ExampleHandle, LooksUpLinesAndConvertsFieldsAtFirstUse) {
  auto file = openTemp("lookup.txt", "# c\n+1 qid:4 3:0.5\n\n-1 3:1-2\n-1 qid:y 2:1");
  auto [examples, highest] = readExampleHandle(2.0, file);
  ASSERT_EQ(examples.collectionSize(), 3);
  std::vector<double> targets;
  for (const Element& e : examples.collectionElems()) targets.push_back(e.value);
  EXPECT_EQ(targets, (std::vector<double>{1.0, -1.0, -1.0}));
  const Element first = examples.at(1);
  EXPECT_EQ(first.example->ex_qid(), 4);
  EXPECT_EQ(first.example->vectorReal().at(1).value, 2.0);
  // Malformed fields pass the lookup and fail at their use only.
  const Element second = examples.at(2);
  EXPECT_EQ(second.example->ex_qid(), 0);
  EXPECT_THROW(second.example->vectorReal(), FatalError);
  EXPECT_EQ(examples.at(3).example->vectorReal().size(), 2u);
  EXPECT_THROW(examples.at(3).example->ex_qid(), FatalError);
  EXPECT_EQ(fatalMessage([&] { examples.at(4); }), "Index 4 out of bounds (1,3)");
}

TEST(ExampleHandle, KeepsTheTwoLatestElements) {
  std::string contents;
  for (int i = 1; i <= 8; ++i) contents += std::to_string(i) + " " + std::to_string(i) + ":1\n";
  auto file = openTemp("cache.txt", contents);
  auto [examples, highest] = readExampleHandle(1.0, file);
  // A lookup that reads leaves the file after its line; one that does not
  // leaves it where the test put it.
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
  // A cached element is the very example read before.
  EXPECT_EQ(examples.at(8).example, h.eh_prev().element.example);
  EXPECT_EQ(examples.at(7).example, h.eh_prev().element.example);
}

TEST(ExampleHandle, RejectedLinesFailAtTheirLookup) {
  auto file = openTemp("reject.txt", "1 1:1\n1 3:1 # note\n   \n");
  auto [examples, highest] = readExampleHandle(1.0, file);
  ASSERT_EQ(examples.collectionSize(), 3);
  EXPECT_EQ(fatalMessage([&] { examples.at(2); }),
            "indexEH {handle: " + file->path() + "}, index 2 at 6\n1 3:1 # note\n");
  // The parser's own failure for a line without any word.
  EXPECT_NE(fatalMessage([&] { examples.at(3); }).find("without any word"), std::string::npos);
  // The failed lookups left the cache alone.
  EXPECT_EQ(examples.at(1).value, 1.0);
  EXPECT_EQ(handleOf(examples).eh_prev2().index, -1);
}

// Several files: the two passes with their marks on standard error.
struct Indexed {
  Examples examples;
  std::int32_t highest;
  std::string marks;
};

Indexed indexFiles(const std::vector<std::string>& contents) {
  std::vector<std::shared_ptr<InputFile>> files;
  for (std::size_t i = 0; i < contents.size(); ++i)
    files.push_back(openTemp("several" + std::to_string(i) + ".txt", contents[i]));
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  auto [examples, highest] = readExampleHandles(1.0, files);
  std::string marks = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  return {examples, highest, marks};
}

std::string exampleLines(int n, int first = 1) {
  std::string out;
  for (int i = first; i < first + n; ++i) out += std::to_string(i) + " 1:1\n";
  return out;
}

TEST(ExampleHandles, MarksOfTheTwoPasses) {
  const struct {
    const char* name;
    std::vector<std::string> contents;
    std::int32_t size;
    std::string marks;
  } cases[] = {
      {"3 and 2 lines", {exampleLines(3), exampleLines(2)}, 5, "./."},
      {"two empty files", {"", ""}, 0, "../"},
      {"comments first", {"#\n#\n" + exampleLines(5)}, 5, ".../."},
      {"past 10000", {exampleLines(10000) + "#\n" + exampleLines(1)}, 10001, ".../.."},
  };
  for (const auto& c : cases) {
    Indexed r = indexFiles(c.contents);
    EXPECT_EQ(r.marks, c.marks) << c.name;
    EXPECT_EQ(r.examples.collectionSize(), c.size) << c.name;
  }
}

TEST(ExampleHandles, EntriesOfLaterFilesFollow) {
  Indexed r = indexFiles({"1 4:0.5 9:1\n# c\n2 2:1\n3 1:1", "\n4 string:12:a#b\n5 7:1\n"});
  ASSERT_EQ(r.examples.collectionSize(), 5);
  EXPECT_EQ(r.highest, 12);
  const auto& h = dynamic_cast<const ExampleHandles&>(*r.examples.collection());
  EXPECT_EQ(h.ehs_Indices.at(4).file, h.ehs_Handles[1].get());
  EXPECT_EQ(h.ehs_Indices.at(4).offset, 1);
  std::vector<double> targets;
  for (const Element& e : r.examples.collectionElems()) targets.push_back(e.value);
  EXPECT_EQ(targets, (std::vector<double>{1, 2, 3, 4, 5}));
  EXPECT_EQ(r.examples.at(5).value, 5.0);  // from prev
  EXPECT_EQ(r.examples.at(4).value, 4.0);  // from prev2
  EXPECT_EQ(h.ehs_prev().index, 4);
  EXPECT_EQ(h.ehs_prev2().index, 5);
}

TEST(ExampleHandles, Failures) {
  Indexed r = indexFiles({"1 1:1\n", "\n1 a:1\n"});
  const auto& h = dynamic_cast<const ExampleHandles&>(*r.examples.collection());
  const std::string second = "{handle: " + h.ehs_Handles[1]->path() + "}";
  EXPECT_EQ(fatalMessage([&] { r.examples.at(2); }),
            "indexEHS " + second + ", index 2 at (" + second + ",1)\n1 a:1\n");
  // A file that lost lines between the passes leaves slots unfilled; one
  // that gained lines overflows the entries.
  auto file = openTemp("passes.txt", exampleLines(2));
  ::testing::internal::CaptureStderr();
  std::vector<ExampleLocation> entries(3);
  std::int32_t highest = 0;
  scanExampleHandles(entries, 0, highest, {file});
  ExampleHandles holes({file}, Array<ExampleLocation>(entries), 1.0);
  EXPECT_EQ(holes.at(2).value, 2.0);
  EXPECT_EQ(fatalMessage([&] { holes.at(3); }), "readExampleHandles: value not filled in");
  file->seek(0);
  std::vector<ExampleLocation> tooFew(1);
  EXPECT_EQ(fatalMessage([&] { scanExampleHandles(tooFew, 0, highest, {file}); }),
            "Index 2 out of bounds (1,1)");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "..");
  // A read error in either pass is no end of file.
  auto dir = std::make_shared<InputFile>(InputFile::open(::testing::TempDir()));
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(fatalMessage([&] {
              readExampleHandles(1.0, {file, dir});
            }),
            "Error reading " + ::testing::TempDir() + ": Is a directory");
  ::testing::internal::GetCapturedStderr();
  EXPECT_THROW(readExampleHandle(1.0, dir), FatalError);
}

}  // namespace
}  // namespace kelvor
