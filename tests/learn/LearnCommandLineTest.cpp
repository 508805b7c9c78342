// End-to-end tests of the learner's command line: the help, the parser's
// errors, the standard-input mode and the bad-value message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RunProgram.h"

#ifdef KELVORLEARN_PATH

namespace kelvor {
namespace {

using testing::ProgramRun;

ProgramRun learn(const std::vector<std::string>& args, const std::string& input = "") {
  return testing::runProgram(KELVORLEARN_PATH, args, input);
}

const std::string kHelp =
    "Kelvor Learner Version 1.2\n"
    "\n"
    "Usage: KelvorLearn [options] example-file model-file\n"
    "   or: KelvorLearn stdin < config-file\n"
    "            where config-file just writes out options\n"
    "\n"
    "  -?        --help                 this help\n"
    "  -f v                             pretend we are version v\n"
    "  -c float                         C: trade-off between training error and margin (1)\n"
    "  -t int                           type of kernel: 0-linear, 1-poly, 2-rbf, 3-sigmoid (0)\n"
    "  -d int                           poly:     degree (2)\n"
    "  -g float                         rbf:      gamma (1/sigma^2) (1)\n"
    "  -s float                         sig/poly: scaling factor (1)\n"
    "  -r float                         sig/poly: additive factor (1)\n"
    "  -i int                           maximum iterations (1000), -1 for infinite\n"
    "  -h float                         change in min h to stop (0.000001), 0 for none\n"
    "  -v int                           compute training error every v iterations (0), 0 for "
    "never\n"
    "  -l float                         lambda (affects bias)\n"
    "  -m int                           max memory to use for kernel cache in mb (40)\n"
    "            --sigmoid              fit a sigmoid (for probabilistic classification)\n"
    "            --rank                 do preference ranking\n"
    "            --rank-margin=float    margin for ranking (0)\n"
    "            --rank-highmem         use lots of memory for ranking\n"
    "            --string-lambda=float  lambda value for string kernel (0.9)\n"
    "            --string-maxn=int      gram length for string kernel (1)\n"
    "            --tree-lambda=float    lambda value for tree kernel (0.5)\n"
    "            --tree-maxd=int        max depth for tree kernel (4)\n"
    "            --test=file            file containing test data\n"
    "            --mu=float             momentum coefficient for gradient descent, 0=no momentum "
    "(0)\n"
    "            --noread               leave training data on disk\n"
    "            --dump-h-freq=int      dump lagrangians every k iterations, 0 for none (0)\n"
    "            --dump-h-file=file     dump lagrangians to this file (dump-h)\n"
    "            --read-h-iter=int      read iteration number from lagrangian file, 0=none (0)\n"
    "            --read-h-file=file     read lagrangians from this file (dump-h)\n"
    "            --ss                   use sample selection\n"
    "            --ss-0=int             initial # of samples selected (32)\n"
    "            --ss-batch=int         # of samples to add each time (8)\n"
    "            --ss-i=int             iteration frequency to add samples (20), 0 for none\n"
    "            --ss-h=float           change in min h to add new samples (0.00001), 0 for none\n"
    "            --ss-x=int             max sample size, 0 for none (0)\n"
    "            --rand-delta=int       combinatorial dimension of the data => use randomized "
    "training, 0=no randomized (0)\n"
    "            --rand-mini=int        minimum number of iterations of randomized selection to "
    "run (1)\n"
    "            --rand-maxi=int        maximum number of iterations of randomized selection to "
    "run (6 delta ln |examples|)\n"
    "\n";

// The help ends with 0 only where it was asked for; a command line that
// ends in it otherwise is a usage error.
void expectHelp(const ProgramRun& run, const std::string& before, const std::string& label,
                int status = 1) {
  EXPECT_EQ(run.out, before + kHelp) << label;
  EXPECT_EQ(run.err, "") << label;
  EXPECT_EQ(run.status, status) << label;
}

std::string label(const std::vector<std::string>& args) {
  std::string out;
  for (const std::string& a : args) out += "[" + a + "]";
  return out;
}

TEST(LearnProgram, HelpAndParserErrors) {
  const std::string ambiguous =
      "option `--ran' is ambiguous; could be one of:\n"
      "    --rank               do preference ranking\n"
      "    --rank-margin=float  margin for ranking (0)\n"
      "    --rank-highmem       use lots of memory for ranking\n"
      "    --rand-delta=int     combinatorial dimension of the data => use randomized training, "
      "0=no randomized (0)\n"
      "    --rand-mini=int      minimum number of iterations of randomized selection to run (1)\n"
      "    --rand-maxi=int      maximum number of iterations of randomized selection to run (6 "
      "delta ln |examples|)\n\n";
  const std::vector<std::string> asked[] = {
      {"-?"},
      {"--help"},
      {"--he", "a"},
      // The help option ends the run before training, and before a bad value.
      {"--help", "-c", "abc", "a", "b"},
      {"-?c5", "a", "b"},
  };
  for (const auto& args : asked) expectHelp(learn(args), "", label(args), 0);
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, ""},
      {{"a"}, ""},
      {{"a", "b", "c"}, ""},
      // Values are not looked at when the number of file names is wrong.
      {{"-c", "abc", "a"}, ""},
      {{"--ran", "a", "b"}, ambiguous},
      {{"-x", "a", "b"}, "unrecognized option `-x'\n\n"},
      {{"--sigmoid=1", "a", "b"}, "option `--sigmoid' doesn't allow an argument\n\n"},
      {{"a", "b", "-c"}, "option `-c' requires an argument float\n\n"},
      {{"a", "b", "--test"}, "option `--test' requires an argument file\n\n"},
      {{"-h"}, "option `-h' requires an argument float\n\n"},
  };
  for (const auto& [args, before] : cases) expectHelp(learn(args), before, label(args));
}

TEST(LearnProgram, StandardInputMode) {
  expectHelp(learn({"stdin"}), "", "empty input");
  expectHelp(learn({"stdin"}, " \n\t \n"), "", "blank input");
  // "#" starts no comment: these are three file names.
  expectHelp(learn({"stdin"}, "# a b\n"), "", "# a b");

  // Words from standard input go through the parser like arguments.
  // Every white-space byte separates words, 0xA0 included.
  const ProgramRun bad = learn({"stdin"},
                               "-c\r\n\x0b abc\xa0"
                               "a\f\n b\n");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("Could not understand value for option 'c'"), std::string::npos);
  // "stdin" as the only word reads standard input a second time.
  const ProgramRun again = learn({"stdin"}, " stdin \n");
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.out, "");
  EXPECT_EQ(again.err, "\nFail: stdin: standard input has already been read\n");
}

TEST(LearnProgram, BadValues) {
  const std::string indent(15, ' ');
  auto message = [&](const std::string& option, const std::string& kind, const std::string& value,
                     const std::string& type) {
    return "\nFail: Could not understand value for option '" + option + "'\n" + indent +
           "expecting " + kind + ", got '" + value + "'\n" + indent + "Cannot read \"" + value +
           "\" as " + type + "\n";
  };
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-t", "1.0", "a", "b"}, message("t", "int", "1.0", "Int")},
      {{"-m", "+7", "a", "b"}, message("m", "int", "+7", "Int")},
      {{"-i", "1e3", "a", "b"}, message("i", "int", "1e3", "Int")},
      {{"--rank-margin", "abc", "a", "b"}, message("rank-margin", "float", "abc", "Double")},
      {{"--mu=", "a", "b"}, message("mu", "float", "", "Double")},
      {{"-c", ".5", "a", "b"}, message("c", "float", ".5", "Double")},
      {{"-c5.", "a", "b"}, message("c", "float", "5.", "Double")},
      {{"-l", "abc", "a", "b"}, message("l", "float", "abc", "Double")},
      // The first bad value stops the run; the help after it never comes.
      {{"-c", "abc", "-c", "2", "--help", "a", "b"}, message("c", "float", "abc", "Double")},
  };
  for (const auto& [args, err] : cases) {
    const ProgramRun run = learn(args);
    EXPECT_EQ(run.status, 1) << label(args);
    EXPECT_EQ(run.out, "") << label(args);
    EXPECT_EQ(run.err, err) << label(args);
  }
}

}  // namespace
}  // namespace kelvor

#endif  // KELVORLEARN_PATH
