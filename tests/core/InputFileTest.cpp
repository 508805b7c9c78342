#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "TempFile.h"
#include "core/Fatal.h"
#include "core/InputFile.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;

// Every line with the offset at which it begins, read to the end.
std::vector<std::pair<std::int64_t, std::string>> linesOf(InputFile& f) {
  std::vector<std::pair<std::int64_t, std::string>> out;
  std::string line;
  for (std::int64_t at = f.tell(); f.readLine(line); at = f.tell()) out.push_back({at, line});
  EXPECT_TRUE(line.empty());
  return out;
}

TEST(InputFile, SplitsLinesAtLineFeedsOnly) {
  using Lines = std::vector<std::pair<std::int64_t, std::string>>;
  const struct {
    std::string contents;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"\n", {{0, ""}}},
      {"a\nbc", {{0, "a"}, {2, "bc"}}},
      {"a\r\n\r\nb\n", {{0, "a\r"}, {3, "\r"}, {5, "b"}}},
      {std::string("\xff\xfe\x00z\n\xa0\n", 7),
       {{0, std::string("\xff\xfe\x00z", 4)}, {5, "\xa0"}}},
  };
  for (const auto& c : cases) {
    InputFile f = InputFile::open(writeTempFile("lines.txt", c.contents));
    EXPECT_EQ(linesOf(f), c.lines) << c.contents;
    std::string line = "stale";
    EXPECT_FALSE(f.readLine(line));  // and again after the end
    EXPECT_EQ(line, "");
  }
}

TEST(InputFile, LongLinesCrossBlocksAndSeeksReturnAnywhere) {
  const std::string big(10'000'000, 'x');
  InputFile f = InputFile::open(writeTempFile("long.txt", "1\n" + big + "\n2"));
  const auto lines = linesOf(f);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].second, big);
  EXPECT_EQ(lines[2], (std::pair<std::int64_t, std::string>{10'000'003, "2"}));
  std::string line;
  // Back into the long line, to a point inside the current block, and to the start.
  for (std::int64_t at : {std::int64_t{9'999'990}, std::int64_t{10'000'003}, std::int64_t{0}}) {
    f.seek(at);
    ASSERT_TRUE(f.readLine(line));
    EXPECT_EQ(f.tell(), at == 0 ? 2 : at == 10'000'003 ? 10'000'004 : 10'000'003);
  }
  EXPECT_EQ(line, "1");
  f.seek(20'000'000);  // past the end reads as the end
  EXPECT_FALSE(f.readLine(line));
  EXPECT_THROW(f.readLineOrFail(line), FatalError);
}

TEST(InputFile, FailuresNameTheFile) {
  const std::string missing = ::testing::TempDir() + "no-such-file.txt";
  EXPECT_EQ(fatalMessage([&] { InputFile::open(missing); }),
            missing + ": cannot open for reading: No such file or directory");
  // A directory opens but cannot be read: an error, not an empty file.
  InputFile dir = InputFile::open(::testing::TempDir());
  std::string line;
  EXPECT_EQ(fatalMessage([&] { dir.readLine(line); }),
            "Error reading " + ::testing::TempDir() + ": Is a directory");
  InputFile f = InputFile::open(writeTempFile("short.txt", "a\n"));
  EXPECT_EQ(fatalMessage([&] { f.seek(-1); }), "Error seeking " + f.path() + ": Invalid argument");
  f.readLine(line);
  EXPECT_EQ(fatalMessage([&] { f.readLineOrFail(line); }),
            "Error reading " + f.path() + ": unexpected end of file");
}

}  // namespace
}  // namespace kelvor
