#include <gtest/gtest.h>

#include <string>

#include "TempFile.h"
#include "core/ExampleFile.h"
#include "core/Fatal.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;

std::string repeatLines(int n, const std::string& line) {
  std::string out;
  for (int i = 0; i < n; ++i) out += line;
  return out;
}

TEST(ExampleFile, TallyCountsEveryLineAndTheExampleLines) {
  InputFile f = InputFile::open(writeTempFile("tally.txt", "1 3:1\n\n# comment\n  \n-1 2:1"));
  const LineTally t = tallyExampleLines(f);
  EXPECT_EQ(t.allLines, 5);
  EXPECT_EQ(t.exampleLines, 3);
}

TEST(ExampleFile, ReadsExamplesWithTheirHighestFeatureNumber) {
  const struct {
    const char* name;
    std::string contents;
    std::int32_t size;
    std::int32_t highest;
  } cases[] = {
      {"empty", "", 0, 0},
      {"comments", "# a\n\n#b\n", 0, 0},
      {"crlf", "1 3:1 7:2\r\n\r\n-1 2:1\r\n", 3, 7},  // "\r" alone is an example line
      {"no final feed", "# x\n1 3:1 7:2\n-1 2:1", 2, 7},
      {"string after real", "1 4:1 string:12:a#b\n", 1, 12},
      {"real after string", "1 string:12:a#b 4:1\n", 1, 12},
      {"tree only", "1 tree:9:(NN#x)\n", 1, 9},
      {"no feature", "1\n1 qid:7\n", 2, 0},
      {"raw bytes in a string", "1 string:2:\xff\xfe#a\n", 1, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = writeTempFile("read.txt", c.contents);
    if (c.name == std::string("crlf")) {
      // The lone carriage return reaches the parser, which finds no target.
      EXPECT_THROW(readExampleFile(path, 2.0), FatalError);
      continue;
    }
    ::testing::internal::CaptureStdout();
    auto [examples, highest] = readExampleFile(path, 2.0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(examples.collectionSize(), c.size);
    EXPECT_EQ(highest, c.highest);
  }
}

TEST(ExampleFile, ExamplesAreCompleteAndInLineOrder) {
  const std::string path =
      writeTempFile("order.txt", "+1 qid:3 3:0.5 10:-1.25e-1\r\n# skip\n-1 string:2:a#b 5:2");
  auto [examples, highest] = readExampleFile(path, 2.0);
  ASSERT_EQ(examples.collectionSize(), 2);
  const Element first = examples.at(1);
  EXPECT_EQ(first.value, 1.0);
  EXPECT_EQ(first.example->ex_qid(), 3);
  ASSERT_EQ(first.example->vectorReal().size(), 3u);
  EXPECT_EQ(first.example->vectorReal().at(1).value, 2.0);
  EXPECT_EQ(first.example->vectorReal().at(3).value, -0.125);
  const Element second = examples.at(2);
  EXPECT_EQ(second.value, -1.0);
  EXPECT_EQ(second.example->vectorString().size(), 1u);
  EXPECT_EQ(highest, 10);
  EXPECT_THROW(examples.at(3), FatalError);
}

TEST(ExampleFile, ProgressMarkBeforeEveryThousandthExample) {
  const std::string line = "1 1:1\n";
  const struct {
    const char* name;
    std::string contents;
    std::string marks;
  } cases[] = {
      {"999", repeatLines(999, line), ""},
      {"1000", repeatLines(1000, line), "."},
      {"2000", repeatLines(2000, line), ".."},
      {"comment before the 1000th", repeatLines(999, line) + "# c\n" + line, ".."},
  };
  for (const auto& c : cases) {
    const std::string path = writeTempFile("marks.txt", c.contents);
    ::testing::internal::CaptureStdout();
    readExampleFile(path, 1.0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.marks) << c.name;
  }
}

TEST(ExampleFile, FailuresNameTheLineAndTheFile) {
  const std::string path = writeTempFile("bad.txt", "# c\n1 3:x\n");
  EXPECT_EQ(fatalMessage([&] { readExampleFile(path, 1.0); }), "Error reading line 1 of " + path);
  const std::string second = writeTempFile("bad2.txt", "1 1:1\n\n1 a:2\n");
  EXPECT_EQ(fatalMessage([&] { readExampleFile(second, 1.0); }),
            "Error reading line 2 of " + second);
  const std::string range = writeTempFile("range.txt", "1 2147483647:1\n1 2147483648:1\n");
  EXPECT_EQ(fatalMessage([&] { readExampleFile(range, 1.0); }),
            "Cannot read \"2147483648\" as Int");
  // Failures of the parser itself keep their own messages.
  const std::string tree = writeTempFile("badtree.txt", "1 tree:1:\n");
  EXPECT_EQ(fatalMessage([&] { readExampleFile(tree, 1.0); }),
            "Multiple trees found while parsing:\n");
  const std::string missing = ::testing::TempDir() + "missing-examples.txt";
  EXPECT_EQ(fatalMessage([&] { readExampleFile(missing, 1.0); }),
            missing + ": cannot open for reading: No such file or directory");
  EXPECT_EQ(fatalMessage([&] { readExampleFile(::testing::TempDir(), 1.0); }),
            "Error reading " + ::testing::TempDir() + ": Is a directory");
}

TEST(ExampleFile, TenMegabyteLine) {
  std::string line = "1";
  for (int i = 1; line.size() < 9'999'900; ++i) line += " " + std::to_string(i) + ":0.5";
  line.resize(10'000'000, ' ');  // trailing blanks: still one valid line
  const std::string path = writeTempFile("tenmb.txt", line + "\n-1 2:1\n");
  auto [examples, highest] = readExampleFile(path, 1.0);
  EXPECT_EQ(examples.collectionSize(), 2);
  EXPECT_GT(examples.at(1).example->vectorReal().size(), 500'000u);
  EXPECT_GT(highest, 500'000);
}

}  // namespace
}  // namespace kelvor
