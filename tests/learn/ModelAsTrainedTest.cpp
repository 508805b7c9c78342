// End-to-end tests that the model written is the model the options
// describe: the kernel cache changes nothing in it, a ranking model holds
// what its pairs held, and training that cannot move or grow says so.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RunProgram.h"

#ifdef KELVORLEARN_PATH

namespace kelvor {
namespace {

using testing::ProgramRun;
using testing::readWholeFile;
using testing::testDir;
using testing::writeTempFile;

ProgramRun learn(const std::vector<std::string>& args) {
  return testing::runProgram(KELVORLEARN_PATH, args);
}

// 530 lines, more than the 511 rows of -m 1, with trees, strings of several
// lengths (whose kernel depends on its argument order in the last bits)
// and weighted targets: the diagonal's target product, the bound over the
// whole matrix and the argument order all reach the model.
TEST(ModelAsTrained, TheCacheSizeChangesNoModel) {
  const char* const words[] = {"dog", "cat", "who", "what", "runs", "sat"};
  const char* const targets[] = {"2", "-1", "0.5", "-1"};
  std::string text;
  for (int i = 0; i < 530; ++i) {
    std::string tokens = words[i % 6];
    for (int j = 1; j <= i % 4 + 1; ++j) tokens += std::string("#") + words[(i * j + j) % 6];
    text += std::string(targets[i % 4]) + " 1:" + std::to_string(i % 7) + " string:1:" + tokens +
            " tree:2:(S#(NP#(" + words[i % 6] + "#x))#(VP#(" + words[i % 5] + "#y)))\n";
  }
  writeTempFile("weighted.dat", text);
  std::vector<std::string> models;
  for (const char* m : {"0", "1", "40"}) {
    const std::string model = std::string("cache") + m + ".model";
    const ProgramRun run = learn({"-m", m, "-i", "3", "--string-maxn", "3", "--string-lambda",
                                  "0.7", "weighted.dat", model});
    ASSERT_EQ(run.status, 0) << run.err;
    models.push_back(readWholeFile(testDir() + model));
  }
  EXPECT_EQ(models[0], models[2]);
  EXPECT_EQ(models[1], models[2]);
}

// The pairs hold the difference of real features alone: the model of lines
// with trees and strings is the model of the same lines without them.
TEST(ModelAsTrained, ARankingModelHoldsRealFeaturesOnly) {
  const std::string lines[] = {"1 qid:1 1:1", "2 qid:1 1:2 2:0.5", "3 qid:1 2:1", "1 qid:2 1:0.5",
                               "3 qid:2 1:1 2:1"};
  std::string plain, rich;
  for (const std::string& line : lines) {
    plain += line + "\n";
    rich += line + " string:1:a#b tree:1:(S#(NP#x)#(VP#y))\n";
  }
  writeTempFile("rank-plain.dat", plain);
  writeTempFile("rank-rich.dat", rich);
  ASSERT_EQ(learn({"--rank", "rank-plain.dat", "rank-plain.model"}).status, 0);
  const ProgramRun run = learn({"--rank", "rank-rich.dat", "rank-rich.model"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readWholeFile(testDir() + "rank-rich.model"),
            readWholeFile(testDir() + "rank-plain.model"));
}

// Kernel values of about 1e12 give a step factor near 1e-12: the first
// sweep from zero moves nothing by -h, and training would end looking
// converged.
TEST(ModelAsTrained, AStepFactorBelowTheStopThresholdIsNamed) {
  writeTempFile("large.dat", "+1 1:100 2:30\n-1 1:-90 2:40\n+1 1:80\n-1 2:-100\n");
  const ProgramRun run = learn({"-t", "1", "-d", "3", "large.dat", "large.model"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.err.starts_with("Warning: the step factor ")) << run.err;
  EXPECT_NE(run.err.find(" is below -h 1.0e-6, so training stops after its first iteration: the "
                         "kernel values are too large for this -h; scale the features or lower "
                         "-h\n"),
            std::string::npos)
      << run.err;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-t", "1", "-d", "3", "-h", "0", "-i", "2", "large.dat", "m"},
        {"-l", "0.5", "-i", "2", "large.dat", "m"}})
    EXPECT_EQ(learn(args).err.find("step factor"), std::string::npos) << args[1];
}

// Without cached rows sample selection adds nothing to its initial sample;
// it says so once, and not when the cache has room.
TEST(ModelAsTrained, SampleSelectionHeldByTheCacheIsNamed) {
  std::string text;
  for (int i = 0; i < 60; ++i)
    text += (i % 3 ? "+1 1:" : "-1 2:") + std::to_string(0.1 * (i % 9 + 1)) + "\n";
  writeTempFile("sixty.dat", text);
  const std::string warning =
      "Warning: sample selection cannot grow past 32 examples: the kernel cache holds 0 rows (-m "
      "0); raise -m to let it grow\n";
  const ProgramRun held = learn({"--ss", "-m", "0", "-i", "100", "-h", "0", "sixty.dat", "m"});
  EXPECT_EQ(held.status, 0);
  EXPECT_TRUE(held.err.starts_with(warning)) << held.err;
  EXPECT_EQ(held.err.find(warning, 1), std::string::npos) << held.err;
  const ProgramRun grows = learn({"--ss", "-i", "100", "-h", "0", "sixty.dat", "m"});
  EXPECT_EQ(grows.err.find("sample selection"), std::string::npos) << grows.err;
}

}  // namespace
}  // namespace kelvor

#endif  // KELVORLEARN_PATH
