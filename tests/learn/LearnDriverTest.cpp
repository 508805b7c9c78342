// End-to-end tests of the learner's run: its checks and fatal messages up to
// training, and whole runs with their tables and model files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunProgram.h"

#ifdef KELVORLEARN_PATH

namespace kelvor {
namespace {

using testing::ProgramRun;
using testing::writeTempFile;

ProgramRun learn(const std::vector<std::string>& args) {
  return testing::runProgram(KELVORLEARN_PATH, args);
}

std::string label(const std::vector<std::string>& args) {
  std::string out;
  for (const std::string& a : args) out += "[" + a + "]";
  return out;
}

std::string hundredExamples() {
  std::string text;
  for (int i = 0; i < 100; ++i) text += (i % 2 ? "+1" : "-1") + std::string(" 1:0.5\n");
  return text;
}

struct StopCase {
  std::vector<std::string> args;
  std::string out;
  std::string failure;  // the message after "Fail: "
};

// Every run stops before training: at a check, or at the kernel type 9,
// which is selected only once everything before training is done.
TEST(LearnDriver, StopsBeforeTraining) {
  writeTempFile("three.dat", "+1 1:1.0\n# comment\n\n-1 2:1.0\n+1 1:0.5 2:0.5\n");
  writeTempFile("bad.dat", "+1 1:1.0\n+1 x:1.0\n");
  writeTempFile("test.dat", "+1 3:1.0\n-1 1:1.0\n");
  writeTempFile("ranks.dat", "1 1:1\n2 1:2\n3 1:3\n4 1:4\n");
  writeTempFile("hundred.dat", hundredExamples());
  writeTempFile("empty.dat", "");
  writeTempFile("lag", "Iteration 1\n1 0.5\n\nIteration 3\n1 0.25\n");
  const std::string three = "Reading training examples...3 examples read (highest feature=2)\n";
  const StopCase cases[] = {
      {{"--rank-margin", "0.5", "three.dat", "m"}, "", "must specify argument rank"},
      {{"--rank-margin=NaN", "three.dat", "m"}, "", "must specify argument rank"},
      {{"--rank-highmem", "three.dat", "m"}, "", "must specify argument rank"},
      {{"--rank-margin", "0", "-t", "9", "three.dat", "m"}, three, "unknown kernel type 9"},
      {{"-l", "-1", "three.dat", "m"},
       "Reading training examples...",
       "lambda must be non-negative"},
      {{"-l", "-0.0", "-t", "4", "three.dat", "m"}, three, "unknown kernel type 4"},
      {{"three.dat,test.dat", "m"},
       "Reading training examples...",
       "You must specify --noread for multiple file reading."},
      {{"missing.dat", "m"},
       "Reading training examples...",
       "missing.dat: cannot open for reading: No such file or directory"},
      {{"--noread", "three.dat,missing.dat", "m"},
       "Scanning training examples...",
       "missing.dat: cannot open for reading: No such file or directory"},
      {{"bad.dat", "m"}, "Reading training examples...", "Error reading line 2 of bad.dat"},
      {{"-t", "-1", "three.dat", "m"}, three, "unknown kernel type -1"},
      // The randomized bounds are checked whether randomized training is on
      // or not; ceiling(12 ln 100) is 56.
      {{"--rand-maxi", "5", "--rand-mini", "10", "three.dat", "m"},
       three,
       "maximum random selection iterations set lower than minimum"},
      {{"--rand-delta", "2", "--rand-mini", "57", "hundred.dat", "m"},
       "Reading training examples...100 examples read (highest feature=1)\n",
       "maximum random selection iterations set lower than minimum"},
      {{"--rand-delta", "2", "--rand-mini", "56", "-t", "9", "hundred.dat", "m"},
       "Reading training examples...100 examples read (highest feature=1)\n",
       "unknown kernel type 9"},
      // No examples: the bound is 0, and no minimum is too high for it.
      {{"--rand-delta", "1", "--rand-mini", "99", "-t", "9", "empty.dat", "m"},
       "Reading training examples...0 examples read (highest feature=0)\n",
       "unknown kernel type 9"},
      // Ranking counts pairs, not examples: ceiling(6 ln 6) = 11.
      {{"--rank", "--rand-delta", "1", "--rand-mini", "11", "-t", "9", "ranks.dat", "m"},
       "Reading training examples...4 examples read (highest feature=1)\n"
       "Constructing ranking examples...6 constraints created\n",
       "unknown kernel type 9"},
      {{"--rank", "--rand-delta", "1", "--rand-mini", "12", "ranks.dat", "m"},
       "Reading training examples...4 examples read (highest feature=1)\n"
       "Constructing ranking examples...6 constraints created\n",
       "maximum random selection iterations set lower than minimum"},
      // Test pairs take margin 0, whatever --rank-margin says.
      {{"--rank", "--rank-margin", "1.5", "--test", "ranks.dat", "-t", "9", "ranks.dat", "m"},
       "Reading training examples...4 examples read (highest feature=1)\n"
       "Constructing ranking examples...3 constraints created\n"
       "Reading test examples...4 examples read (highest feature=1)\n"
       "Constructing ranking examples...6 constraints created\n",
       "unknown kernel type 9"},
      {{"--test", "test.dat", "--noread", "-t", "9", "three.dat", "m"},
       "Scanning training examples...3 examples read (highest feature=2)\n"
       "Reading test examples...2 examples read (highest feature=3)\n",
       "unknown kernel type 9"},
      {{"--noread", "-t", "9", "three.dat,,test.dat,", "m"},
       "Scanning training examples...5 examples read (highest feature=3)\n",
       "unknown kernel type 9"},
      {{"--read-h-iter", "2", "--read-h-file", "lag", "three.dat", "m"},
       three + "Reading lagrangians from lag\n",
       "Arrived at lagrangian iteration 3 without passing 2\nat lag:4"},
      {{"--read-h-iter", "-3", "--read-h-file", "missing", "-t", "9", "three.dat", "m"},
       three,
       "unknown kernel type 9"},
      {{"--dump-h-freq", "10", "--read-h-iter", "3", "--read-h-file", "lag", "--dump-h-file", "lag",
        "-t", "9", "three.dat", "m"},
       three + "Reading lagrangians from lag\nDumping lagrangians to lag\n",
       "unknown kernel type 9"},
      {{"--dump-h-freq", "1", "--dump-h-file", "no/such/dir", "three.dat", "m"},
       three + "Dumping lagrangians to no/such/dir\n",
       "no/such/dir: cannot open for writing: No such file or directory"},
  };
  for (const StopCase& c : cases) {
    const ProgramRun run = learn(c.args);
    EXPECT_EQ(run.status, 1) << label(c.args);
    EXPECT_EQ(run.out, c.out) << label(c.args);
    // A reader's message may gain a location line, and the pair builder
    // writes its progress marks before it.
    EXPECT_NE(run.err.find("\nFail: " + c.failure), std::string::npos) << label(c.args) << "\n"
                                                                       << run.err;
  }
  // The lagrangian file was read before the dump truncated it.
  EXPECT_EQ(testing::readWholeFile(testing::testDir() + "lag"), "");
  EXPECT_FALSE(std::filesystem::exists(testing::testDir() + "m"));
}

}  // namespace
}  // namespace kelvor

#endif  // KELVORLEARN_PATH
