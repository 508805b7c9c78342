// The classifier program end to end, on model files written by hand.
#ifdef KELVORCLASSIFY_PATH

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "FifoPeer.h"
#include "RunProgram.h"
#include "TempFile.h"
#include "base/NumberText.h"
#include "classify/Classification.h"
#include "core/classification/Classify.h"
#include "core/examples/ExampleFile.h"
#include "core/kernels/KernelParams.h"
#include "core/model/ModelFile.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;

ProgramRun classifier(const std::vector<std::string>& args) {
  return runProgram(KELVORCLASSIFY_PATH, args);
}

std::string path(const std::string& name) { return testDir() + name; }

// A model file (-d 3, -g 0.5, -s 2.0, -r 0.25) with the given support-vector
// lines. With the stored lambda 0 the support vectors get no bias, so a
// linear model's decision value is a plain sum of products.
std::string model(const std::string& name, int kernel = 0,
                  std::vector<std::string> svs = {"1.0 1:1.0"},
                  const std::string& userKernel = "empty", const std::string& lambda = "0.0") {
  std::string text = "Kelvor Version 1.2\n" + std::to_string(kernel) +
                     " # kernel type\n3 # kernel parameter -d\n0.5 # kernel parameter -g\n2.0 # "
                     "kernel parameter -s\n0.25 # kernel parameter -r\n" +
                     userKernel +
                     "# kernel parameter -u\n1 # highest feature index\n4 # number "
                     "of training documents\n" +
                     std::to_string(svs.size() + 1) + " # number of support vectors plus 1\n" +
                     lambda +
                     " # threshold b, each following line is a SV (starting with alpha*y)\n";
  for (const std::string& sv : svs) text += sv + "\n";
  return writeTempFile(name, text);
}

// Decision values 0.9, 0.4, 0.4 and -0.3 under the default model.
std::string tests() {
  return writeTempFile("t.dat", "1 1:0.9\n-1 1:0.4\n# comment\n1 1:0.4\n-1 1:-0.3\n");
}

const std::string kHelp =
    "Kelvor Classifier Version 1.2\n"
    "\n"
    "Usage: KelvorClassify [options] model-file example-file (output-file)\n"
    "         (if output-file is not specified, only error rates are calculated)\n"
    "\n"
    "  -?        --help           this help\n"
    "  -l float                   lambda value for bias (default: the lambda the model was "
    "trained with)\n"
    "  -p        --sigmoid        produce probabilities based on trained sigmoid (model must be "
    "trained with --sigmoid option)\n"
    "            --bias=float     change bias for classification (useful for generating PR "
    "graphs), (0)\n"
    "            --pr-graph=file  write a precision/recall graph to file\n"
    "\n";

TEST(KelvorClassify, HelpAndOptionErrors) {
  const std::string m = model("h.model"), e = tests(), g = path("h.graph");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, ""},
      {{"stdin"}, ""},
      {{m, e, "x", "y", "--pr-graph", g}, ""},
      {{"--bias", "abc", m}, ""},  // a bad value with one file name: only the help
      {{"-b", m, e}, "unrecognized option `-b'\n\n"},
      {{"--l", "1", m, e}, "unrecognized option `--l'\n\n"},
      {{m, e, "-l"}, "option `-l' requires an argument float\n\n"},
  };
  for (const auto& [args, before] : cases) {
    const ProgramRun run = classifier(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, before + kHelp) << ::testing::PrintToString(args);
  }
  // Only the help asked for ends with 0.
  const ProgramRun asked = classifier({m, "--h", e});
  EXPECT_EQ(asked.status, 0);
  EXPECT_EQ(asked.out, kHelp);
  EXPECT_FALSE(std::filesystem::exists(g));
  for (auto [option, name] : {std::pair{"--b", "bias"}, {"-l", "l"}}) {
    const ProgramRun run = classifier({m, option, "0.5x", e});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("\nFail: Could not understand value for option '" + std::string(name) +
                                "'\n               expecting float, got '0.5x'\n               ",
                            0),
              0u)
        << run.err;
  }
}

// Each column one blank wider than its longest cell, and a blank between.
const std::string kTable =
    "Accuracy  Precision           Recall  F-Score \n"
    "0.75      0.6666666666666666  1.0     0.8     \n";
const std::string kGraph = "1.0 0.6666666666666666\n0.5 1.0\n0.0 0.0\n";

TEST(KelvorClassify, ClassifiesAndPrintsTheTable) {
  const std::string m = model("c.model"), e = tests(), out = writeTempFile("c.out", "old\nlines\n");
  const std::string head =
      "Reading model...(\"empty\",(False,0.0,0.0))\n"
      "LinearKernel, 1 SVs, (highest feature=1)\n"
      "Reading test examples...4 examples read (highest feature=1)\n";
  ProgramRun run = classifier({m, e});
  EXPECT_EQ(run.out, head + "Classifying...\n" + kTable);

  // Options between the file names; the later --pr-graph wins.
  run = classifier({m, "--p", path("c.g1"), e, "-l", "1", "--pr-graph=" + path("c.g2"), out});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, head + "Writing classifications to " + out + "\nClassifying...\n" + kTable +
                         "Computing precision/recall graph...\n");
  EXPECT_EQ(readWholeFile(out), "0.9\n0.4\n0.4\n-0.3\n");
  EXPECT_EQ(readWholeFile(path("c.g2")), kGraph);
  EXPECT_FALSE(std::filesystem::exists(path("c.g1")));

  // --bias moves the table's threshold only.
  run = classifier({"--bias=0.5", "--pr-graph", path("c.g3"), m, e, out});
  EXPECT_NE(run.out.find("Accuracy  Precision  Recall  F-Score            \n"
                         "0.75      1.0        0.5     0.6666666666666666 \n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(readWholeFile(out), "0.9\n0.4\n0.4\n-0.3\n");
  EXPECT_EQ(readWholeFile(path("c.g3")), kGraph);
  // Above every value nothing counts as positive: no true positive, an
  // F-score of 0 like precision and recall.
  run = classifier({"--bias", "1", m, e});
  EXPECT_NE(run.out.find("Accuracy  Precision  Recall  F-Score \n"
                         "0.5       0.0        0.0     0.0     \n"),
            std::string::npos)
      << run.out;
}

TEST(KelvorClassify, SigmoidWritesProbabilitiesAndCountsRawValues) {
  const std::string m = model("s.model", 0, {"1.0 1:1.0"}, " a:-2.0 b:0.0"), e = tests();
  ProgramRun run = classifier({"-p", "--pr-graph", path("s.graph"), m, e, path("s.out")});
  EXPECT_NE(run.out.find(kTable), std::string::npos) << run.out;
  std::string probabilities;
  for (double f : {0.9, 0.4, 0.4, -0.3})
    probabilities += showDouble(calcSigmoid(-2.0, 0.0, f)) + "\n";
  EXPECT_EQ(readWholeFile(path("s.out")), probabilities);
  EXPECT_EQ(readWholeFile(path("s.graph")), kGraph);

  run = classifier({"--sigmoid", model("n.model"), e});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.substr(run.out.size() - 41), "LinearKernel, 1 SVs, (highest feature=1)\n");
  EXPECT_EQ(run.err, "\nFail: --sigmoid option only valid when model is trained with --sigmoid\n");
}

TEST(KelvorClassify, RankingDataAndEmptySets) {
  const std::string m = model("r.model");
  const std::string notice = "Appears to be a ranking problem; not displaying error rates\n";
  ProgramRun run = classifier({m, writeTempFile("r1.dat", "1 qid:3 1:0.5\n-1 1:0.5\n")});
  EXPECT_EQ(run.out.substr(run.out.size() - notice.size()), notice);
  run = classifier({m, writeTempFile("r2.dat", "1 1:0.5\n-1 qid:3 1:0.5\n")});
  EXPECT_NE(run.out.find("Accuracy"), std::string::npos);

  // No examples: an empty output file, an empty graph, an accuracy of NaN.
  run = classifier(
      {"--pr-graph", path("r3.graph"), m, writeTempFile("r3.dat", "# none\n\n"), path("r3.out")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Accuracy  Precision  Recall  F-Score \n"
                         "NaN       0.0        0.0     0.0     \n"),
            std::string::npos)
      << run.out;
  EXPECT_TRUE(std::filesystem::exists(path("r3.out")) && std::filesystem::exists(path("r3.graph")));
  EXPECT_EQ(readWholeFile(path("r3.out")) + readWholeFile(path("r3.graph")), "");
}

TEST(KelvorClassify, EachKernelWithItsParameters) {
  const std::string e = tests();
  // The support vector's bias is 0 (stored lambda 0); the examples carry
  // the model's lambda, or the one -l gives.
  const auto sv = mkExample(Array<RealFeature>({{0, 0.0}, {1, 1.0}}));
  for (auto [kernel, lambda] : {std::pair{0, ""},
                                {1, ""},
                                {2, ""},
                                {3, ""},
                                {0, "0.5"},
                                {1, "0.5"},
                                {2, "0.5"},
                                {3, "0.5"}}) {
    std::vector<std::string> args = {model("k.model", kernel, {"-1.5 1:1.0"}), e, path("k.out")};
    if (*lambda) args.insert(args.begin(), {"-l", lambda});
    const ProgramRun run = classifier(args);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string expected;
    for (double v : {0.9, 0.4, 0.4, -0.3}) {
      const auto x = mkExample(Array<RealFeature>({{0, *lambda ? 0.5 : 0.0}, {1, v}}));
      const double k = kernel == 0   ? linearKernel(*sv, *x)
                       : kernel == 1 ? polynomialKernel(3, 2.0, 0.25, *sv, *x)
                       : kernel == 2 ? rbfKernel(0.5, *sv, *x)
                                     : sigmoidKernel(2.0, 0.25, *sv, *x);
      expected += showDouble(-1.5 * (k + 0.0)) + "\n";
    }
    EXPECT_EQ(readWholeFile(path("k.out")), expected) << kernel << " " << lambda;
  }
}

TEST(KelvorClassify, UserKernelFailsAtItsFirstUse) {
  const std::string e = tests();
  ProgramRun run = classifier({model("u.model", 4), e, path("u.out")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.substr(run.out.size() - 15), "Classifying...\n");
  // The failure names the header line of the kernel type.
  EXPECT_EQ(run.err, "\nFail: unknown kernel type!\nat " + path("u.model") + ":2\n");
  EXPECT_FALSE(std::filesystem::exists(path("u.out")));

  // Without support vectors it is never applied: every value is 0, or
  // 1 / (1 + exp(B)) with the sigmoid.
  run = classifier({"-p", model("u0.model", 4, {}, " a:1.0 b:0.5"), e, path("u.out")});
  EXPECT_NE(run.out.find("UserKernel, 0 SVs, (highest feature=1)\n"), std::string::npos);
  const std::string p = showDouble(1.0 / (1.0 + std::exp(0.5))) + "\n";
  EXPECT_EQ(readWholeFile(path("u.out")), p + p + p + p);
}

TEST(KelvorClassify, UnreadableFilesAndFailedWrites) {
  const std::string m = model("f.model"), e = tests();
  // Each run must fail with a message that names the file.
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{path("none.model"), e}, path("none.model")},
      {{m, path("none.dat")}, path("none.dat")},
      {{m, e, "/dev/full"}, "/dev/full"},
      {{"--pr-graph", "/dev/full", m, e}, "/dev/full"},
      // Writing an input would destroy it.
      {{m, e, e}, e},
      {{"--pr-graph", m, m, e}, m},
  };
  for (const auto& [args, named] : cases) {
    const ProgramRun run = classifier(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
  }
  EXPECT_EQ(readWholeFile(m).substr(0, 14), "Kelvor Version");
  EXPECT_EQ(readWholeFile(e).substr(0, 7), "1 1:0.9");
}

// A run that fails on a bad test line leaves the values and the graph of
// the run before, not a part of its own, and no temporary file.
TEST(KelvorClassify, FailedRunKeepsEarlierOutputs) {
  std::filesystem::create_directory(path("kept"));
  const std::string out = writeTempFile("kept/v.out", "earlier values\n");
  const std::string graph = writeTempFile("kept/g", "earlier graph\n");
  const std::string bad = writeTempFile("kept.dat", "1 1:1\n1 1:2\n1 1:3\n-1 1:4\n1 1:x\n1 1:6\n");
  const ProgramRun run = classifier({"--pr-graph", graph, model("kept.model"), bad, out});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.ends_with("at " + bad + ":5\n")) << run.err;
  EXPECT_EQ(readWholeFile(out), "earlier values\n");
  EXPECT_EQ(readWholeFile(graph), "earlier graph\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path("kept")),
                          std::filesystem::directory_iterator()),
            2);
}

// The reader takes one chunk of output and closes the pipe; the output is
// larger than a pipe holds, so later writes meet the closed pipe.
TEST(KelvorClassify, ClosedPipeIsAFailure) {
  std::string many;
  for (int i = 0; i < 40000; ++i) many += "1 1:1\n";
  ProgramRun run;
  {
    FifoPeer fifo("p.fifo", FifoPeer::Program::Writes, [](int fd) {
      char buffer[512];
      (void)::read(fd, buffer, sizeof buffer);
    });
    run = classifier({model("p.model"), writeTempFile("p.dat", many), fifo.path()});
  }
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Error writing " + path("p.fifo") + ": Broken pipe"), std::string::npos)
      << run.err;
}

// Without an output file the table is the only result: losing it is a
// failure, as is losing any other line on standard output.
TEST(KelvorClassify, StandardOutputThatCannotBeWrittenIsAFailure) {
  const std::string m = model("o.model"), e = tests();
  ProgramRun run = runProgram(KELVORCLASSIFY_PATH, {m, e}, RunSettings{.stdoutPath = "/dev/full"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "\nFail: Error writing standard output: No space left on device\n");

  // A pipe whose reader has gone: an error, not a silent death by SIGPIPE.
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  ::close(ends[0]);
  run = runProgram(KELVORCLASSIFY_PATH, {m, e, path("o.out")}, RunSettings{.stdoutFd = ends[1]});
  ::close(ends[1]);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "\nFail: Error writing standard output: Broken pipe\n");
}

// The graph written over the output file would destroy the values; the
// two are compared as files, before either is created.
TEST(KelvorClassify, GraphFileIsNeverTheOutputFile) {
  const std::string m = model("go.model"), e = tests();
  const std::string out = path("go.out"), dangling = path("go.link");
  ASSERT_EQ(::symlink("go.out", dangling.c_str()), 0);  // to the output file, not made yet
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--pr-graph", out, m, e, out}, out},
      {{"--pr-graph", dangling, m, e, out}, dangling},
      {{"--pr-graph", path("./go.out"), m, e, out}, path("./go.out")},
  };
  for (const auto& [args, graph] : cases) {
    const ProgramRun run = classifier(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "\nFail: The graph file " + graph + " is the output file " + out +
                           "; writing it would destroy that file\n");
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  // An output file from an earlier run, reached through a hard link.
  writeTempFile("go.out", "earlier values\n");
  ASSERT_EQ(::link(out.c_str(), path("go.hard").c_str()), 0);
  const ProgramRun run = classifier({"--pr-graph", path("go.hard"), m, e, out});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(readWholeFile(out), "earlier values\n");
}

// The example file is indexed and read again by seeking; a FIFO cannot
// seek, which is said before the output file is created.
TEST(KelvorClassify, ExampleFileThatCannotSeek) {
  ProgramRun run;
  {
    FifoPeer fifo("e.fifo", FifoPeer::Program::Reads, [](int fd) {
      const std::string line = "1 1:0.5\n";
      (void)::write(fd, line.data(), line.size());
    });
    run = classifier({model("e.model"), fifo.path(), path("e.out")});
  }
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "\nFail: " + path("e.fifo") + ": cannot seek: example files must be regular files\n");
  EXPECT_FALSE(std::filesystem::exists(path("e.out")));
}

// Header values that fail only when the kernel is first applied name their
// line, as every other header failure does.
TEST(KelvorClassify, KernelFailuresNameTheirHeaderLine) {
  std::string text = readWholeFile(model("d.model", 1));
  text.replace(text.find("3 # kernel parameter -d"), 1, "-2");
  const std::string m = writeTempFile("d.model", text);
  const ProgramRun run = classifier({m, tests()});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.ends_with("\nat " + m + ":3\n")) << run.err;
}

// Outputs that are the classifier's own standard output (here appended to
// a log) or standard error are written through them, in order with what
// it prints; the log keeps its lines.
TEST(KelvorClassify, OutputsThatAreStandardStreamsAreWrittenThroughThem) {
  const std::string m = model("o.model"), e = tests(), log = writeTempFile("o.log", "earlier\n");
  const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  const ProgramRun run =
      runProgram(KELVORCLASSIFY_PATH, {"--pr-graph", "/dev/stderr", m, e, "/proc/self/fd/1"},
                 RunSettings{.stdoutFd = fd});
  ::close(fd);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readWholeFile(log),
            "earlier\nReading model...(\"empty\",(False,0.0,0.0))\n"
            "LinearKernel, 1 SVs, (highest feature=1)\n"
            "Reading test examples...4 examples read (highest feature=1)\n"
            "Writing classifications to /proc/self/fd/1\nClassifying...\n0.9\n0.4\n0.4\n-0.3\n"
            "Accuracy  Precision           Recall  F-Score \n"
            "0.75      0.6666666666666666  1.0     0.8     \n"
            "Computing precision/recall graph...\n");
  EXPECT_EQ(run.err, "1.0 0.6666666666666666\n0.5 1.0\n0.0 0.0\n");
}

// A model cut inside its last support vector, which would read as a
// shorter one, is refused after what the reader prints, and the output
// file keeps the values of the run before.
TEST(KelvorClassify, ModelFileCutShort) {
  const std::string whole = readWholeFile(model("cut.model", 0, {"1.0 1:1.0", "-0.5 1:0.25"}));
  const std::string m = writeTempFile("cut.model", whole.substr(0, whole.size() - 3));
  const std::string out = writeTempFile("cut.out", "old\n");
  const ProgramRun run = classifier({m, tests(), out});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Reading model...(\"empty\",(False,0.0,0.0))\n");
  EXPECT_EQ(run.err,
            "\nFail: " + m +
                ": the model file is cut short: its last line, 13, ends without a line feed\n");
  EXPECT_EQ(readWholeFile(out), "old\n");
}

}  // namespace
}  // namespace kelvor

#endif
