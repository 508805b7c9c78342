// The classifier program end to end, on model files written by hand.
#ifdef KELVORCLASSIFY_PATH

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <thread>

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

// A model file's text. With the stored lambda 0 the support vectors get no
// bias, so a linear model's decision value is a plain sum of products.
struct ModelText {
  int kernel = 0;
  std::string userKernel = "empty";
  std::string lambda = "0.0";
  std::vector<std::string> svs = {"1.0 1:1.0"};
  std::string text() const {
    return "Kelvor Version 1.2\n" + std::to_string(kernel) +
           " # kernel type\n3 # kernel parameter -d\n0.5 # kernel parameter -g\n2.0 # kernel "
           "parameter -s\n0.25 # kernel parameter -r\n" +
           userKernel +
           "# kernel parameter -u\n1 # highest feature index\n4 # number of training "
           "documents\n" +
           std::to_string(svs.size() + 1) + " # number of support vectors plus 1\n" + lambda +
           " # threshold b, each following line is a SV (starting with alpha*y)\n" + [&] {
             std::string s;
             for (const std::string& sv : svs) s += sv + "\n";
             return s;
           }();
  }
};

// Decision values 0.9, 0.4, 0.4 and -0.3 under the default model.
const std::string kTests = "1 1:0.9\n-1 1:0.4\n# comment\n1 1:0.4\n-1 1:-0.3\n";

std::string path(const std::string& name) { return testDir() + name; }

const std::string kHelp =
    "Kelvor Classifier Version 1.2\n"
    "\n"
    "Usage: KelvorClassify [options] model-file example-file (output-file)\n"
    "         (if output-file is not specified, only error rates are calculated)\n"
    "\n"
    "  -?        --help           this help\n"
    "  -l float                   lambda value for bias (2 for linear kernel, 0.1 for "
    "non-linear)\n"
    "  -p        --sigmoid        produce probabilities based on trained sigmoid (model must be "
    "trained with --sigmoid option)\n"
    "            --bias=float     change bias for classification (useful for generating PR "
    "graphs), (0)\n"
    "            --pr-graph=file  write a precision/recall graph to file\n"
    "\n";

TEST(KelvorClassify, HelpAndOptionErrors) {
  writeTempFile("h.model", ModelText{}.text());
  writeTempFile("h.dat", kTests);
  const std::string m = path("h.model"), e = path("h.dat"), g = path("h.graph");
  struct Case {
    std::vector<std::string> args;
    std::string before;  // what precedes the help
  };
  const Case cases[] = {
      {{}, ""},
      {{"stdin"}, ""},
      {{"-?"}, ""},
      {{m, e, "--help"}, ""},
      {{m, "--h", e}, ""},
      {{m}, ""},
      {{m, e, "x", "y", "--pr-graph", g}, ""},
      {{"-b", m, e}, "unrecognized option `-b'\n\n"},
      {{"--l", "1", m, e}, "unrecognized option `--l'\n\n"},
      {{"--sigmoid=1", m}, "option `--sigmoid' doesn't allow an argument\n\n"},
      {{m, e, "-l"}, "option `-l' requires an argument float\n\n"},
      {{m, e, "--pr-graph"}, "option `--pr-graph' requires an argument file\n\n"},
      // A bad value with a wrong number of file names: only the help.
      {{"--bias", "abc", m}, ""},
  };
  for (const Case& c : cases) {
    const ProgramRun run = classifier(c.args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, c.before + kHelp) << ::testing::PrintToString(c.args);
    EXPECT_EQ(run.err, "");
  }
  EXPECT_FALSE(std::filesystem::exists(g));
}

TEST(KelvorClassify, BadNumbersStopBeforeTheModelIsRead) {
  writeTempFile("b.model", ModelText{}.text());
  writeTempFile("b.dat", kTests);
  for (auto [option, name] : {std::pair{"--bias", "bias"}, {"-l", "l"}, {"--b", "bias"}}) {
    const ProgramRun run = classifier({path("b.model"), option, "0.5x", path("b.dat")});
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

TEST(KelvorClassify, ClassifiesAndPrintsTheTable) {
  writeTempFile("c.model", ModelText{}.text());
  writeTempFile("c.dat", kTests);
  const std::string head =
      "Reading model...(\"empty\",(False,0.0,0.0))\n"
      "LinearKernel, 1 SVs, (highest feature=1)\n"
      "Reading test examples...4 examples read (highest feature=1)\n";
  ProgramRun run = classifier({path("c.model"), path("c.dat")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, head + "Classifying...\n" + kTable);

  // Options between the file names; the output file and the graph.
  writeTempFile("c.out", "old\nlines\nand more\n");
  run = classifier(
      {path("c.model"), "--p", path("c.graph"), path("c.dat"), "-l", "1", path("c.out")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, head + "Writing classifications to " + path("c.out") + "\nClassifying...\n" +
                         kTable + "Computing precision/recall graph...\n");
  EXPECT_EQ(readWholeFile(path("c.out")), "0.9\n0.4\n0.4\n-0.3\n");
  EXPECT_EQ(readWholeFile(path("c.graph")), "1.0 0.6666666666666666\n0.5 1.0\n0.0 0.0\n");

  // --bias moves the table's threshold only.
  run = classifier({"--bias=0.5", "--pr-graph", path("c.graph2"), path("c.model"), path("c.dat"),
                    path("c.out")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Accuracy  Precision  Recall  F-Score            \n"
                         "0.75      1.0        0.5     0.6666666666666666 \n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(readWholeFile(path("c.out")), "0.9\n0.4\n0.4\n-0.3\n");
  EXPECT_EQ(readWholeFile(path("c.graph2")), readWholeFile(path("c.graph")));
}

TEST(KelvorClassify, SigmoidWritesProbabilitiesAndCountsRawValues) {
  ModelText sigmoid;
  sigmoid.userKernel = " a:-2.0 b:0.0";
  writeTempFile("s.model", sigmoid.text());
  writeTempFile("s.dat", kTests);
  ProgramRun run = classifier(
      {"-p", "--pr-graph", path("s.graph"), path("s.model"), path("s.dat"), path("s.out")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("(\"empty\",(True,-2.0,0.0))\n"), std::string::npos);
  EXPECT_NE(run.out.find(kTable), std::string::npos) << run.out;
  std::string probabilities;
  for (double f : {0.9, 0.4, 0.4, -0.3})
    probabilities += showDouble(calcSigmoid(-2.0, 0.0, f)) + "\n";
  EXPECT_EQ(readWholeFile(path("s.out")), probabilities);
  EXPECT_EQ(readWholeFile(path("s.graph")), "1.0 0.6666666666666666\n0.5 1.0\n0.0 0.0\n");

  // Without a sigmoid in the model, after the model line.
  writeTempFile("n.model", ModelText{}.text());
  run = classifier({"--sigmoid", path("n.model"), path("s.dat")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Reading model...(\"empty\",(False,0.0,0.0))\nLinearKernel, 1 SVs, (highest "
            "feature=1)\n");
  EXPECT_EQ(run.err, "\nFail: --sigmoid option only valid when model is trained with --sigmoid\n");
}

TEST(KelvorClassify, RankingDataAndEmptySets) {
  writeTempFile("r.model", ModelText{}.text());
  writeTempFile("r1.dat", "1 qid:3 1:0.5\n-1 1:0.5\n");
  writeTempFile("r2.dat", "1 1:0.5\n-1 qid:3 1:0.5\n");
  writeTempFile("r3.dat", "# nothing\n\n");
  const std::string notice = "Appears to be a ranking problem; not displaying error rates\n";
  ProgramRun run = classifier({path("r.model"), path("r1.dat")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(run.out.size() - notice.size()), notice);
  run = classifier({path("r.model"), path("r2.dat")});
  EXPECT_NE(run.out.find("Accuracy"), std::string::npos);

  // No examples: an empty output file and the table of no predictions.
  run =
      classifier({"--pr-graph", path("r3.graph"), path("r.model"), path("r3.dat"), path("r3.out")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("0 examples read (highest feature=0)\n"), std::string::npos);
  EXPECT_NE(run.out.find("Accuracy  Precision  Recall  F-Score \n"
                         "NaN       0.0        0.0     NaN     \n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(readWholeFile(path("r3.out")), "");
  EXPECT_TRUE(std::filesystem::exists(path("r3.graph")));
  EXPECT_EQ(readWholeFile(path("r3.graph")), "");
}

TEST(KelvorClassify, EachKernelWithItsParameters) {
  writeTempFile("k.dat", kTests);
  // The support vector's bias is 0 (stored lambda 0); the examples get
  // the kernel's own lambda.
  const auto sv = mkExample(Array<RealFeature>({{0, 0.0}, {1, 1.0}}));
  for (int kernel : {0, 1, 2, 3}) {
    ModelText model;
    model.kernel = kernel;
    model.svs = {"-1.5 1:1.0"};
    writeTempFile("k.model", model.text());
    const ProgramRun run = classifier({path("k.model"), path("k.dat"), path("k.out")});
    ASSERT_EQ(run.status, 0) << run.err;
    // The model's -d 3, -g 0.5, -s 2.0 and -r 0.25, each in its place.
    std::string expected;
    for (double v : {0.9, 0.4, 0.4, -0.3}) {
      const auto x = mkExample(Array<RealFeature>({{0, kernel == 0 ? 2.0 : 0.1}, {1, v}}));
      const double k = kernel == 0   ? linearKernel(*sv, *x)
                       : kernel == 1 ? polynomialKernel(3, 2.0, 0.25, *sv, *x)
                       : kernel == 2 ? rbfKernel(0.5, *sv, *x)
                                     : sigmoidKernel(2.0, 0.25, *sv, *x);
      expected += showDouble(-1.5 * (k + 0.0)) + "\n";
    }
    EXPECT_EQ(readWholeFile(path("k.out")), expected) << kernel;
  }
}

TEST(KelvorClassify, UserKernelFailsAtItsFirstUse) {
  writeTempFile("u.dat", kTests);
  ModelText user;
  user.kernel = 4;
  writeTempFile("u.model", user.text());
  ProgramRun run = classifier({path("u.model"), path("u.dat"), path("u.out")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.substr(run.out.size() - 15), "Classifying...\n");
  EXPECT_EQ(run.err, "\nFail: unknown kernel type!\n");
  EXPECT_TRUE(std::filesystem::exists(path("u.out")));

  // Without support vectors the kernel is never applied: every value is 0,
  // or 1 / (1 + exp(B)) with the sigmoid.
  user.svs = {};
  user.userKernel = " a:1.0 b:0.5";
  writeTempFile("u0.model", user.text());
  run = classifier({"-p", path("u0.model"), path("u.dat"), path("u.out")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("UserKernel, 0 SVs, (highest feature=1)\n"), std::string::npos);
  const std::string p = showDouble(1.0 / (1.0 + std::exp(0.5))) + "\n";
  EXPECT_EQ(readWholeFile(path("u.out")), p + p + p + p);
}

TEST(KelvorClassify, UnreadableFilesAndFailedWrites) {
  writeTempFile("f.model", ModelText{}.text());
  writeTempFile("f.dat", kTests);
  writeTempFile("bad.dat", "1 1:0.5\n1 x:y\n");
  const std::string m = path("f.model"), e = path("f.dat");
  struct Case {
    std::vector<std::string> args;
    std::string named;  // what the failure message must hold
  };
  const Case cases[] = {
      {{path("none.model"), e}, path("none.model")},
      {{m, path("none.dat")}, path("none.dat")},
      {{m, e, path("no/dir/out")}, path("no/dir/out")},
      {{m, e, "/dev/full"}, "/dev/full"},
      {{"--pr-graph", "/dev/full", m, e}, "/dev/full"},
      {{"--pr-graph", path("no/dir/graph"), m, e}, path("no/dir/graph")},
      {{m, path("bad.dat")}, "x:y"},
  };
  for (const Case& c : cases) {
    const ProgramRun run = classifier(c.args);
    EXPECT_EQ(run.status, 1) << ::testing::PrintToString(c.args);
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
  }
}

// A reader that takes one chunk of the output and closes the pipe: the
// classifier's next writes meet the closed pipe, which must stop it with
// a failure naming the file, not kill it or let it succeed.
TEST(KelvorClassify, ClosedPipeIsAFailure) {
  writeTempFile("p.model", ModelText{}.text());
  std::string many;
  for (int i = 0; i < 40000; ++i) many += "1 1:1\n";  // 160 kB of output, more than a pipe holds
  writeTempFile("p.dat", many);
  const std::string fifo = path("p.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::thread reader([&] {
    const int fd = ::open(fifo.c_str(), O_RDONLY);
    char buffer[512];
    if (fd >= 0) {
      (void)!::read(fd, buffer, sizeof buffer);
      ::close(fd);
    }
  });
  const ProgramRun run = classifier({path("p.model"), path("p.dat"), fifo});
  // Frees the reader should the program never have opened the pipe.
  const int unblock = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  if (unblock >= 0) ::close(unblock);
  reader.join();
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(fifo), std::string::npos) << run.err;
}

// String and tree parameters come from the model's user-kernel line. The
// check runs in a fresh process, whose kernel cells nothing has read yet.
TEST(KelvorClassify, StringAndTreeParametersOfTheModel) {
  ModelText model;
  model.userKernel = " sx:2 tx:2 tl:0.3";
  model.lambda = "2.0";
  model.svs = {"0.5 1:1.0 string:1:how#far#is#it tree:1:((S#(W#how)#(NP#(e#far)#(v#is))),1.5)",
               "-0.25 string:1:is#it#far tree:1:((S#(NP#(v#is))#(W#it)),0.75)"};
  writeTempFile("t.model", model.text());
  writeTempFile("t.dat",
                "1 1:0.5 string:1:how#is#it#far tree:1:(S#(W#how)#(NP#(v#is)))\n"
                "-1 string:1:far#far tree:1:(S#(NP#(e#far)#(v#is))#(W#it))\n");
  const ProgramRun run = classifier({path("t.model"), path("t.dat"), path("t.out")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string written = readWholeFile(path("t.out"));
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto body = [&] {
    ::testing::internal::CaptureStdout();
    const Model m =
        readModel([](KernelType t) { return lambdaForKernel(std::nullopt, t); }, path("t.model"));
    const auto [tests, highest] = readExampleFile(path("t.dat"), 2.0);
    std::string expected;
    for (const Element& x : tests.collectionElems())
      expected += showDouble(classify(modelKernel(m), 2.0, m.supportVectors, *x.example)) + "\n";
    const bool parameters =
        cur_smaxn() == 2 && cur_tmaxd() == 2 && cur_tlambda() == 0.3 && cur_slambda() == 0.9;
    std::exit(parameters && expected == written ? 0 : 1);
  };
  EXPECT_EXIT(body(), ::testing::ExitedWithCode(0), "");
}

TEST(KelvorClassify, LambdaForKernel) {
  EXPECT_EQ(lambdaForKernel(std::nullopt, KernelType::LinearKernel), 2.0);
  for (KernelType t : {KernelType::PolyKernel, KernelType::RBFKernel, KernelType::SigmoidKernel,
                       KernelType::UserKernel})
    EXPECT_EQ(lambdaForKernel(std::nullopt, t), 0.1);
  EXPECT_EQ(lambdaForKernel(1.0, KernelType::PolyKernel), 1.0);
  EXPECT_EQ(lambdaForKernel(0.5, KernelType::LinearKernel), 0.5);
}

}  // namespace
}  // namespace kelvor

#endif
