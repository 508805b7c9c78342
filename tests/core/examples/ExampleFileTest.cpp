#include <gtest/gtest.h>

#include <string>

#include "TempFile.h"
#include "base/Fatal.h"
#include "core/examples/ExampleFile.h"
#include "tests/core/OutOfOrderLines.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

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
    std::string contents;
    std::vector<double> targets;
    std::int32_t highest;
  } cases[] = {
      {"", {}, 0},
      {"# a\n\n#b\n", {}, 0},
      {"1 3:1 7:2\r\n\n-1 2:1\r\n", {1, -1}, 7},
      {"# x\n+1 3:1 7:2\n-1 2:1", {1, -1}, 7},
      {"1 4:1 string:12:a#b\n-1 string:12:a#b 4:1\n", {1, -1}, 12},
      {"1 tree:9:(NN#x)\n1\n1 qid:7\n", {1, 1, 1}, 9},
      {"1 tree:2:(A#b) 1:1 string:1:a 3:1 tree:4:(A#c)\n", {1}, 4},
      {"1 string:2:\xff\xfe#a\n", {1}, 2},
  };
  for (const auto& c : cases) {
    const std::string path = writeTempFile("read.txt", c.contents);
    CaptureStdout();
    auto [examples, highest] = readExampleFile(path, 2.0);
    EXPECT_EQ(GetCapturedStdout(), "");
    std::vector<double> targets;
    for (const Element& e : examples.collectionElems()) {
      targets.push_back(e.value);
      EXPECT_EQ(e.example->vectorReal().at(1).value, 2.0);  // the bias entry
    }
    EXPECT_EQ(targets, c.targets) << c.contents;
    EXPECT_EQ(highest, c.highest) << c.contents;
  }
}

TEST(ExampleFile, ProgressMarkBeforeEveryThousandthExample) {
  const std::string line = "1 1:1\n";
  const struct {
    std::string contents;
    std::string marks;
  } cases[] = {
      {repeatLines(999, line), ""},
      {repeatLines(1000, line), "."},
      {repeatLines(2000, line), ".."},
      {repeatLines(999, line) + "# c\n" + line, ".."},
  };
  for (const auto& c : cases) {
    const std::string path = writeTempFile("marks.txt", c.contents);
    CaptureStdout();
    readExampleFile(path, 1.0);
    EXPECT_EQ(GetCapturedStdout(), c.marks);
  }
}

TEST(ExampleFile, FailuresNameTheLineAndTheFile) {
  const std::string dir = kelvor::testing::testDir(), missing = dir + "missing-examples.txt";
  // Every failure of a line ends with the file and the line number; a
  // rejection says which word failed first.
  const struct {
    std::string name, contents, message;
    int line;
  } lineCases[] = {
      {"bad1.txt", "# c\n1 3:x\n",
       "Error reading line 1 of {}\nword 2 is not a valid feature: \"3:x\"", 2},
      {"bad2.txt", "1 1:1\n\n1 2:1 a:2 b:3\n",
       "Error reading line 2 of {}\nword 3 is not a valid feature: \"a:2\"", 3},
      {"range.txt", "1 2147483647:1\n1 2147483648:1\n", "Cannot read \"2147483648\" as Int", 2},
      {"target.txt", "1 1:1\nx 1:1\n", "Cannot read \"x\" as Double", 2},
      {"tree.txt", "1 tree:1:\n", "Multiple trees found while parsing:\n", 1},
      {"cr.txt", "1 1:1\r\n\r\n", "Example line without any word: it has no target value", 2},
  };
  for (const auto& c : lineCases) {
    const std::string path = writeTempFile(c.name, c.contents);
    std::string message = c.message;
    if (auto at = message.find("{}"); at != std::string::npos) message.replace(at, 2, path);
    EXPECT_EQ(fatalMessage([&] { readExampleFile(path, 1.0); }),
              message + "\nat " + path + ":" + std::to_string(c.line));
  }
  const std::string tree = fatalMessage(
      [&] { readExampleFile(writeTempFile("t.txt", "1 1:1\n-1 tree:1:(S#(NN#x)\n"), 1.0); });
  EXPECT_EQ(tree.rfind("Error while parsing tree:\nInternal error on tree 1: ", 0), 0u) << tree;
  EXPECT_TRUE(tree.ends_with("\nat " + dir + "t.txt:2")) << tree;
  // Failures of the file as a whole name only the file.
  EXPECT_EQ(fatalMessage([&] { readExampleFile(missing, 1.0); }),
            missing + ": cannot open for reading: No such file or directory");
  EXPECT_EQ(fatalMessage([&] { readExampleFile(dir, 1.0); }),
            "Error reading " + dir + ": Is a directory");
}

TEST(ExampleFile, FeaturesOutOfOrderAreRejected) {
  for (const auto& c : kOutOfOrderLines) {
    const std::string path = writeTempFile("order.txt", "1 1:1\n# c\n" + c.line + "\n");
    EXPECT_EQ(fatalMessage([&] { readExampleFile(path, 1.0); }),
              "Error reading line 2 of " + path + "\n" + c.rejection + "\nat " + path + ":3");
  }
}

TEST(ExampleFile, TenMegabyteLine) {
  std::string line = "1";
  for (int i = 1; line.size() < 9'999'900; ++i) line += " " + std::to_string(i) + ":0.5";
  line.resize(10'000'000, ' ');
  auto [examples, highest] = readExampleFile(writeTempFile("tenmb.txt", line + "\n-1 2:1\n"), 1.0);
  EXPECT_EQ(examples.collectionSize(), 2);
  EXPECT_EQ(static_cast<std::size_t>(highest) + 1, examples.at(1).example->vectorReal().size());
}

}  // namespace
}  // namespace kelvor
