// The two programs together: what the learner writes, the classifier reads
// back to the same decision values.
#if defined(KELVORLEARN_PATH) && defined(KELVORCLASSIFY_PATH)

#include <gtest/gtest.h>

#include <sstream>

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

ProgramRun run(const char* program, const std::vector<std::string>& args) {
  ProgramRun r = runProgram(program, args);
  EXPECT_EQ(r.status, 0) << r.err;
  return r;
}

// Questions with real, string and tree features; persons (+1) by "who".
// The first four come again with the other label, so that no kernel fits
// every example.
std::string questions() {
  const char* wh[] = {"who", "what", "where"};
  const char* verbs[] = {"wrote", "built", "found", "sang", "made"};
  const char* nouns[] = {"hamlet", "radio", "bridge", "song", "film", "map", "clock"};
  std::string text;
  for (int i = 0; i < 44; ++i) {
    const int k = i < 40 ? i : i - 40;
    const std::string w = wh[k % 3], v = verbs[k % 5], n = nouns[k % 7];
    text += std::string((k % 3 == 0) == (i < 40) ? "+1" : "-1") +
            " 1:" + showDouble((k % 4) * 0.25) + " 2:" + showDouble(((k * 7) % 5 - 2) * 0.5) +
            " string:1:" + w + "#" + v + "#" + n + " tree:1:(S#(W#" + w + ")#(VP#(V#" + v +
            ")#(NP#(N#" + n + "))))\n";
  }
  return writeTempFile("q.dat", text);
}

// The cells of the line that follows `header` in a table.
std::vector<std::string> rowAfter(const std::string& out, const std::string& header) {
  const std::size_t at = out.find(header);
  if (at == std::string::npos) return {};
  const std::size_t start = out.find('\n', at) + 1;
  std::istringstream row(out.substr(start, out.find('\n', start) - start));
  std::vector<std::string> cells;
  for (std::string cell; row >> cell;) cells.push_back(cell);
  return cells;
}

std::vector<std::string> trainingRow(const std::string& learnerOut) {
  std::vector<std::string> cells = rowAfter(learnerOut, "Accuracy");
  if (!cells.empty() && cells.front() == "Training") cells.erase(cells.begin());
  return cells;
}

TEST(LearnThenClassify, ClassifyingTheTrainingSetGivesTheTrainingRow) {
  const std::string data = questions(), m = testDir() + "q.model";
  for (const char* kernel : {"0", "1", "2", "3"}) {
    const ProgramRun learned = run(KELVORLEARN_PATH, {"-t", kernel, data, m});
    const ProgramRun classified = run(KELVORCLASSIFY_PATH, {m, data});
    ASSERT_EQ(trainingRow(learned.out).size(), 4u) << learned.out;
    EXPECT_EQ(rowAfter(classified.out, "Accuracy"), trainingRow(learned.out)) << kernel;
  }
}

// The classifier takes the lambda the model was trained with unless -l
// says otherwise; with another, every kernel but the linear one would give
// other values (an RBF model trained with -l 1 would classify at chance).
TEST(LearnThenClassify, TheModelsLambdaByDefault) {
  const std::string data = questions(), m = testDir() + "l.model";
  for (const char* kernel : {"0", "1", "2", "3"}) {
    const ProgramRun learned = run(KELVORLEARN_PATH, {"-t", kernel, "-l", "1", data, m});
    const ProgramRun classified = run(KELVORCLASSIFY_PATH, {m, data});
    EXPECT_EQ(rowAfter(classified.out, "Accuracy"), trainingRow(learned.out)) << kernel;
  }
  // -l given still wins: the RBF model with the examples' bias at 0.1.
  const std::string values = testDir() + "l.out", given = testDir() + "l-given.out";
  run(KELVORLEARN_PATH, {"-t", "2", "-l", "1", data, m});
  run(KELVORCLASSIFY_PATH, {m, data, values});
  run(KELVORCLASSIFY_PATH, {"-l", "0.1", m, data, given});
  EXPECT_NE(readWholeFile(given), readWholeFile(values));
}

TEST(LearnThenClassify, SigmoidModels) {
  const std::string data = questions(), m = testDir() + "s.model", out = testDir() + "s.out";
  const ProgramRun learned = run(KELVORLEARN_PATH, {"--sigmoid", data, m});
  const ProgramRun classified = run(KELVORCLASSIFY_PATH, {"-p", m, data, out});
  EXPECT_EQ(rowAfter(classified.out, "Accuracy"), trainingRow(learned.out));
  std::istringstream values(readWholeFile(out));
  int count = 0;
  for (std::string v; values >> v; ++count) {
    const double p = readDouble(v);
    EXPECT_TRUE(p >= 0.0 && p <= 1.0) << v;
  }
  EXPECT_EQ(count, 44);

  run(KELVORLEARN_PATH, {data, m});
  const ProgramRun refused = runProgram(KELVORCLASSIFY_PATH, {"--sigmoid", m, data});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "\nFail: --sigmoid option only valid when model is trained with --sigmoid\n");
}

// The library's values are computed in a fresh process, whose kernel cells
// nothing has read yet, with the learner's parameters stored directly.
TEST(LearnThenClassify, StringAndTreeParametersTravelWithTheModel) {
  const std::string data = questions(), m = testDir() + "p.model", out = testDir() + "p.out";
  run(KELVORLEARN_PATH,
      {"--tree-maxd", "2", "--tree-lambda", "0.3", "--string-maxn", "2", data, m});
  run(KELVORCLASSIFY_PATH, {m, data, out});
  const std::string written = readWholeFile(out);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto body = [&] {
    ::testing::internal::CaptureStdout();
    tmaxdRef().store(2);
    tlambdaRef().store(0.3);
    smaxnRef().store(2);
    const Model model = readModel(
        [](KernelType, double stored) { return lambdaForModel(std::nullopt, stored); }, m);
    const Examples examples = readExampleFile(data, model.thresholdB).first;
    std::string expected;
    for (const Element& x : examples.collectionElems())
      expected += showDouble(classify(modelKernel(model, m), model.thresholdB, model.supportVectors,
                                      *x.example)) +
                  "\n";
    const bool cells = cur_smaxn() == 2 && cur_tmaxd() == 2 && cur_tlambda() == 0.3;
    std::exit(cells && expected == written ? 0 : 1);
  };
  EXPECT_EXIT(body(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kelvor

#endif
