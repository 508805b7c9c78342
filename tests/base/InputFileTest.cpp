#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "TempFile.h"
#include "base/Fatal.h"
#include "base/InputFile.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using Lines = std::vector<std::pair<std::int64_t, std::string>>;

// Every line with the offset at which it begins, read to the end.
Lines linesOf(InputFile& f) {
  Lines out;
  std::string line;
  for (std::int64_t at = f.tell(); f.readLine(line); at = f.tell()) out.push_back({at, line});
  EXPECT_TRUE(line.empty());
  EXPECT_FALSE(f.readLine(line));  // and again after the end
  return out;
}

TEST(InputFile, SplitsLinesAtLineFeedsOnly) {
  const std::pair<std::string, Lines> cases[] = {
      {"", {}},
      {"\n", {{0, ""}}},
      {"a\nbc", {{0, "a"}, {2, "bc"}}},
      {"a\r\n\r\nb\n", {{0, "a\r"}, {3, "\r"}, {5, "b"}}},
      {std::string("\xff\xfe\x00z\n\xa0\n", 7),
       {{0, std::string("\xff\xfe\x00z", 4)}, {5, "\xa0"}}},
  };
  for (const auto& [contents, lines] : cases) {
    InputFile f = InputFile::open(writeTempFile("lines.txt", contents));
    EXPECT_EQ(linesOf(f), lines) << contents;
  }
}

TEST(InputFile, LongLinesCrossBlocksAndSeeksReturnAnywhere) {
  const std::string big(10'000'000, 'x');
  InputFile f = InputFile::open(writeTempFile("long.txt", "1\n" + big + "\n2"));
  EXPECT_EQ(linesOf(f), (Lines{{0, "1"}, {2, big}, {10'000'003, "2"}}));
  // Into the long line, inside the block read last, and back to the start.
  const std::pair<std::int64_t, std::int64_t> seeks[] = {
      {9'999'990, 10'000'003}, {10'000'003, 10'000'004}, {0, 2}};
  std::string line;
  for (auto [at, after] : seeks) {
    f.seek(at);
    ASSERT_TRUE(f.readLine(line));
    EXPECT_EQ(f.tell(), after);
  }
  EXPECT_EQ(line, "1");
  f.seek(20'000'000);  // past the end reads as the end
  EXPECT_FALSE(f.readLine(line));
}

TEST(InputFile, LineNumberOfAnOffset) {
  // The middle line crosses a block, so the count goes on over refills.
  const std::string big(300'000, 'x');
  InputFile f = InputFile::open(writeTempFile("numbers.txt", "a\n\n" + big + "\nb\n"));
  const std::pair<std::int64_t, std::int64_t> cases[] = {{0, 1},       {2, 2},       {3, 3},
                                                         {300'004, 4}, {300'006, 5}, {900'000, 5}};
  for (auto [offset, line] : cases) EXPECT_EQ(f.lineNumberAt(offset), line) << offset;
}

TEST(InputFile, FailuresNameTheFile) {
  const std::string dir = kelvor::testing::testDir(), missing = dir + "no-such-file.txt";
  EXPECT_EQ(fatalMessage([&] { InputFile::open(missing); }),
            missing + ": cannot open for reading: No such file or directory");
  // A directory opens but cannot be read: an error, not an empty file.
  InputFile d = InputFile::open(dir);
  std::string line;
  EXPECT_EQ(fatalMessage([&] { d.readLine(line); }), "Error reading " + dir + ": Is a directory");
  InputFile f = InputFile::open(writeTempFile("short.txt", "a\n"));
  EXPECT_EQ(fatalMessage([&] { f.seek(-1); }), "Error seeking " + f.path() + ": Invalid argument");
  f.readLineOrFail(line);
  EXPECT_EQ(fatalMessage([&] { f.readLineOrFail(line); }),
            "Error reading " + f.path() + ": unexpected end of file");
}

}  // namespace
}  // namespace kelvor
