#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CapturedStdout.h"
#include "FatalMessage.h"
#include "RunProgram.h"
#include "core/train/RandomizedSelection.h"
#include "core/train/TrainRandomized.h"
#include "tests/core/KernelSamples.h"
#include "tests/core/train/TrainProblems.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using V = std::vector<std::int32_t>;

TEST(RandomizedSelection, SampleComplementAndWeights) {
  const std::vector<double> keys{0.5, 0.9, 0.5, 0.1, 0.9};
  EXPECT_EQ(sampleByKeys(keys, 3), (V{5, 2, 3}));  // equal keys: the larger index first
  EXPECT_EQ(sampleByKeys(keys, 9), (V{5, 2, 3, 1, 4}));
  EXPECT_EQ(complementOf(V{4, 1}, 5), (V{2, 3, 5}));
  EXPECT_EQ(doubledWeight(INT64_MAX / 2), INT64_MAX - 1);
  EXPECT_EQ(doubledWeight(INT64_MAX / 2 + 1), INT64_MAX);  // saturates
}

Array<double> quietRandomized(const TrainOptions& o, const TrainingKernel& kernel,
                              const Examples& ex, const RandomizedOptions& r, std::string* out,
                              const std::optional<std::vector<InitialLagrangian>>& initial = {},
                              OutputFile* dump = nullptr) {
  Array<double> h;
  *out =
      capturedStdout([&] { h = train_randomized(o, kernel, ex, std::nullopt, dump, initial, r); });
  return h;
}

const TrainingKernel kLinear = standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0);

TEST(TrainRandomized, WholeSet) {
  std::mt19937 rng(12);
  const Examples ex = randomExamples(rng, 24, 3);
  TrainOptions o;
  o.maxIterations = 20;
  std::optional<TrainResult> plain;
  const std::string trainOut =
      capturedStdout([&] { plain.emplace(train(o, kLinear, ex, std::nullopt, nullptr, {})); });
  // 6 * 3^2 = 54 >= 24; 6 * 20000^2 overflows 32 bits.
  for (const std::int32_t delta : {3, 20000}) {
    std::string out;
    const Array<double> h = quietRandomized(o, kLinear, ex, {delta, 3, 5}, &out);
    std::string expected;
    for (int k = 1; k <= 3; ++k)
      expected += "Randomized selection iteration " + std::to_string(k) + "\n" + trainOut +
                  "u(V) = 0.0 u(X) = 24.0\n";
    EXPECT_EQ(out, expected) << delta;
    ASSERT_EQ(h.size(), plain->lagrangians.size());
    for (std::size_t i = 0; i < h.size(); ++i)
      EXPECT_TRUE(samples::sameBits(h.elems()[i], plain->lagrangians.elems()[i]));
  }
}

TEST(TrainRandomized, EndRule) {
  // All +1 and each unlike every other (K = -1): the trained sample
  // classifies the one example outside it as negative, a violator in
  // every selection iteration.
  std::vector<Element> elems;
  for (int i = 0; i < 7; ++i) elems.push_back({mkExample(reals({{1, 1.0 + i}})), 1.0});
  const Examples ex = collection(std::move(elems));
  const TrainingKernel apart = customTrainingKernel(
      [](const Example& a, const Example& b) { return &a == &b ? 1.0 : -1.0; });
  TrainOptions o;
  o.lambda = 0.0;
  o.maxIterations = 0;
  struct Case {
    std::int32_t minI, maxI;
    std::ptrdiff_t iterations;
  };
  const Case cases[] = {
      {1, 3, 3}, {3, 3, 3}, {1, 1, 1}, {-1, -1, 1}, {1, 0, 1}, {2, -5, 2},  // a maximum below 1
      {4, 2, 4},                                                            // or below the minimum
  };
  for (const Case& c : cases) {
    std::string out;
    // delta 1: samples of 6 out of 7.
    const Array<double> h = quietRandomized(o, apart, ex, {1, c.minI, c.maxI}, &out);
    EXPECT_EQ(std::count(out.begin(), out.end(), 'R'), c.iterations) << c.minI << " " << c.maxI;
    // One violator of weight 1 against 6; 1 <= 6 / 3 doubles it.
    EXPECT_NE(out.find("\nu(V) = 1.0 u(X) = 6.0\n"), std::string::npos);
    EXPECT_EQ(std::count(h.begin(), h.end(), 0.0), 1);  // outside the last sample
  }
}

TEST(TrainRandomized, RestartValuesAndDumpsByTrainingIndex) {
  std::mt19937 rng(2);
  const Examples ex = randomExamples(rng, 10, 2);
  std::vector<InitialLagrangian> initial;
  for (std::int32_t i = 1; i <= 10; ++i) initial.push_back({i, i / 16.0});
  TrainOptions o;
  o.maxIterations = 0;
  o.dumpPeriod = 1;
  const std::string path = testDir() + "rand-dump";
  std::string out;
  Array<double> h;
  {
    OutputFile dump = OutputFile::create(path);
    h = quietRandomized(o, kLinear, ex, {1, 1, 1}, &out, initial, &dump);
  }
  std::istringstream block(readWholeFile(path));
  std::string header;
  std::getline(block, header);
  EXPECT_EQ(header, "Iteration 1");
  std::vector<bool> sampled(10, false);
  std::int32_t index;
  double value;
  for (int p = 0; p < 6 && block >> index >> value; ++p) {
    ASSERT_TRUE(index >= 1 && index <= 10 && !sampled[index - 1]) << index;
    EXPECT_EQ(value, index / 16.0);
    sampled[index - 1] = true;
  }
  EXPECT_EQ(std::count(sampled.begin(), sampled.end(), true), 6);
  for (std::int32_t i = 1; i <= 10; ++i) EXPECT_TRUE(sampled[i - 1] || h.at(i) == 0.0) << i;

  initial.push_back({11, 0.5});
  o.dumpPeriod = 0;
  EXPECT_EQ(fatalMessage([&] {
              quietRandomized(o, kLinear, ex, {1, 1, 1}, &out, initial);
            }),
            "Index 11 out of bounds (1,10)");
}

}  // namespace
}  // namespace kelvor
