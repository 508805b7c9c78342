// Both programs on a tree that needs more memory than the process may have:
// the fatal error with the file's line, exit status 1, never a signal or
// std::terminate, and no model file.
#if defined(KELVORLEARN_PATH) && defined(KELVORCLASSIFY_PATH)

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunProgram.h"
#include "TempFile.h"
#include "tests/core/SharedProductionChain.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;

TEST(OutOfMemory, ProgramsStopWithTheFatalErrorAndTheLine) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than any limit leaves";
#endif
  // The kernel of the 8,193-level chain wants some 2 GB.
  const std::string chain = chainLine(8193);
  writeTempFile("chain.dat", "-1 1:1\n" + chain + "\n");
  writeTempFile("chain.model", modelHolding(chain));
  writeTempFile("plain.model", modelHolding("1 1:1"));
  writeTempFile("plain.dat", "1 1:1\n");
  const std::string modelRead = "Reading model...(\"empty\",(False,0.0,0.0))\n";
  struct Case {
    std::string program;
    std::vector<std::string> args;
    std::string out;
    std::string where;
  };
  const Case cases[] = {
      {KELVORLEARN_PATH, {"chain.dat", "m"}, "Reading training examples...", "chain.dat:2"},
      // On disk the tree is read again where training first needs it.
      {KELVORLEARN_PATH,
       {"--noread", "chain.dat", "m"},
       "Scanning training examples...2 examples read (highest feature=1)\nInitializing...",
       "chain.dat:2"},
      {KELVORCLASSIFY_PATH, {"chain.model", "plain.dat"}, modelRead, "chain.model:12"},
      {KELVORCLASSIFY_PATH,
       {"plain.model", "chain.dat"},
       modelRead + "LinearKernel, 1 SVs, (highest feature=1)\n"
                   "Reading test examples...2 examples read (highest feature=1)\nClassifying...\n",
       "chain.dat:2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[c.args.size() - 2] + " " + c.args.back());
    const ProgramRun run = runProgram(c.program, c.args, "", "", rlim_t{512} << 20);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "\nFail: out of memory\nat " + c.where + "\n");
  }
  // No model file.
  EXPECT_FALSE(std::filesystem::exists(testDir() + "m"));
}

}  // namespace
}  // namespace kelvor

#endif
