#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FatalMessage.h"
#include "TempFile.h"
#include "learn/Lagrangians.h"

namespace kelvor {
namespace {

using testing::fatalMessage;
using testing::writeTempFile;
using Records = std::vector<std::pair<std::int32_t, double>>;

// The size of the training set the records index.
constexpr std::int32_t kExamples = 10;

Records read(const std::string& path, std::int32_t iteration) {
  Records out;
  for (const InitialLagrangian& r : readLagrangians(path, iteration, kExamples))
    out.push_back({r.index, r.value});
  return out;
}

const std::string kThreeBlocks =
    "Iteration 10\n1 0.5\n2 0.25\n\n"
    "Iteration 20\n3 1.0\n1 2.0e-2\n2 0.125\n\n"
    "Iteration 30\n1 1.0\n\n";

TEST(ReadLagrangians, FindsTheBlockAndOrdersItsRecords) {
  const std::string path = writeTempFile("dump-blocks", kThreeBlocks);
  EXPECT_EQ(read(path, 20), (Records{{1, 0.02}, {2, 0.125}, {3, 1.0}}));
  EXPECT_EQ(read(path, 10), (Records{{1, 0.5}, {2, 0.25}}));
  EXPECT_EQ(read(path, 30), (Records{{1, 1.0}}));

  const std::pair<std::string, Records> cases[] = {
      {"Iteration 007\n5 1.0\n\n", {{5, 1.0}}},   {"Iteration 7\r\n5 1.0\n\n", {{5, 1.0}}},
      {"junk\nIteration\n\nIteration 7\n\n", {}}, {"Iteration 7\n\n", {}},
      {"Iteration 7\n\t4  0.5 \n\n", {{4, 0.5}}},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(read(writeTempFile("dump-case", text), 7), expected) << text;
}

TEST(ReadLagrangians, FailuresNameTheFileAndLine) {
  const std::string path = writeTempFile("dump-bad", kThreeBlocks);
  EXPECT_EQ(fatalMessage([&] { readLagrangians(path, 15, kExamples); }),
            "Arrived at lagrangian iteration 20 without passing 15\nat " + path + ":5");
  EXPECT_EQ(fatalMessage([&] { readLagrangians(path, 40, kExamples); }),
            "End of lagrangian file reached before iteration 40 found");

  const std::pair<std::string, std::string> cases[] = {
      {"Iteration 1\n1 0.5 7\n",
       "Not a lagrangian record (an example's index and its value, as in \"3 0.5\"): \"1 0.5 7\""},
      {"Iteration 1\n1\n",
       "Not a lagrangian record (an example's index and its value, as in \"3 0.5\"): \"1\""},
      {"Iteration 1\nx 0.5\n", "Cannot read \"x\" as Int"},
      {"Iteration 1\n1 .5\n", "Cannot read \".5\" as Double"},
      {"Iteration 1\nIteration 2\n", "Cannot read \"Iteration\" as Int"},
      {"junk\nIteration one\n", "Cannot read \"one\" as Int"},
      // Training would carry a NaN into every decision value, and an index
      // outside the training set has no example to start.
      {"Iteration 1\n2 NaN\n", "The lagrangian of example 2 is not a number (NaN)"},
      {"Iteration 1\n0 0.5\n", "The lagrangian of example 0 names no training example (1 to 10)"},
      {"Iteration 1\n11 0.5\n", "The lagrangian of example 11 names no training example (1 to 10)"},
  };
  for (const auto& [text, message] : cases) {
    const std::string file = writeTempFile("dump-case", "\n" + text + "\n");
    EXPECT_EQ(fatalMessage([&] { readLagrangians(file, 1, kExamples); }),
              message + "\nat " + file + ":3")
        << text;
  }
}

}  // namespace
}  // namespace kelvor
