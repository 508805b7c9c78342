#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "CapturedStdout.h"
#include "FatalMessage.h"
#include "RunProgram.h"
#include "core/train/KeptList.h"
#include "core/train/KernelCacheBuild.h"
#include "core/train/Train.h"
#include "tests/core/train/TrainProblems.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using V = std::vector<std::int32_t>;

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

V keptIndices(const std::vector<double>& scores, std::int32_t capacity, bool plain) {
  std::vector<Candidate> plainList;
  KeptList kept(capacity);
  for (std::size_t i = 0; i < scores.size(); ++i) {
    const Candidate c{scores[i], static_cast<std::int32_t>(i + 1)};
    kept.offer(c.score, c.index);
    // The insertion rule as it reads: before the first entry the newcomer
    // is not greater than, then cut to the capacity.
    plainList.insert(std::find_if(plainList.begin(), plainList.end(),
                                  [&](const Candidate& e) {
                                    return compareAbs(c.score, e.score) !=
                                           std::weak_ordering::greater;
                                  }),
                     c);
    if (static_cast<std::int32_t>(plainList.size()) > std::max(capacity, 0)) plainList.pop_back();
  }
  V indices;
  for (const Candidate& c : plain ? std::span<const Candidate>(plainList) : kept.entries())
    indices.push_back(c.index);
  return indices;
}

TEST(SampleSelection, KeptList) {
  EXPECT_TRUE(compareAbs(1.0, -2.0) == std::weak_ordering::less);
  EXPECT_TRUE(compareAbs(-0.0, 0.0) == std::weak_ordering::equivalent);
  EXPECT_TRUE(compareAbs(1.0, nan) == std::weak_ordering::greater);
  EXPECT_TRUE(compareAbs(nan, 1.0) == std::weak_ordering::greater);
  // Equal absolute scores: the later index first; a NaN goes last.
  EXPECT_EQ(keptIndices({0.5, -0.2, 0.2, nan, 0.1, 0.3}, 3, false), (V{5, 3, 2}));
  // No support vectors: every score 0, the last indices in descending order.
  EXPECT_EQ(keptIndices(std::vector<double>(6, 0.0), 4, false), (V{6, 5, 4, 3}));
  EXPECT_EQ(keptIndices({1.0, 2.0}, -3, false), V{});

  std::mt19937 rng(5);
  const double values[] = {0.0, -0.0, 0.25, -0.25, 0.5, 1.0, -2.0, inf, -inf, nan};
  std::uniform_int_distribution<int> pick(0, 9), length(0, 30), capacity(0, 6);
  for (int round = 0; round < 2000; ++round) {
    std::vector<double> scores(static_cast<std::size_t>(length(rng)));
    for (double& s : scores) s = values[pick(rng)];
    const std::int32_t c = capacity(rng);
    ASSERT_EQ(keptIndices(scores, c, false), keptIndices(scores, c, true)) << round;
  }
}

TrainOptions selecting(std::int32_t ss0, std::int32_t batch, std::int32_t period,
                       std::int32_t iterations, std::int32_t megabytes = 40) {
  TrainOptions o;
  o.cacheSize = megabytes;
  o.sampleSelection = true;
  o.initialSampleSize = ss0;
  o.batchSize = batch;
  o.selectionPeriod = period;
  o.maxIterations = iterations;
  return o;
}

const TrainingKernel kLinear = standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0);

TrainResult quietTrain(const TrainOptions& o, const Examples& ex, std::string* out = nullptr,
                       const std::optional<std::vector<InitialLagrangian>>& initial = {},
                       OutputFile* dump = nullptr) {
  std::optional<TrainResult> r;
  const std::string text =
      capturedStdout([&] { r.emplace(train(o, kLinear, ex, std::nullopt, dump, initial)); });
  if (out) *out = text;
  return std::move(*r);
}

// The working set, h, the sample list and the flags describe the same
// examples, position by position.
void expectConsistent(const TrainResult& r, const Examples& training) {
  const SelectedSamples& s = r.selection.ssSelected();
  ASSERT_EQ(r.workingSet.collectionSize(), r.lagrangians.hi());
  ASSERT_EQ(s.sample.size(), r.lagrangians.size());
  for (std::int32_t p = 1; p <= r.workingSet.collectionSize(); ++p)
    EXPECT_EQ(r.workingSet.at(p).example, training.at(s.sample[p - 1]).example) << p;
  for (std::int32_t i = 1; i <= training.collectionSize(); ++i)
    EXPECT_EQ(s.flags[i - 1], std::count(s.sample.begin(), s.sample.end(), i) > 0) << i;
}

TEST(SampleSelection, Steps) {
  std::mt19937 rng(3);
  const Examples ex = randomExamples(rng, 20, 3);
  const Examples big = randomExamples(rng, 530, 2);
  struct Case {
    const Examples& ex;
    TrainOptions o;
    std::string marks;  // everything after "Iterating..."
    std::int32_t size;
  };
  TrainOptions fromNothing = selecting(-3, 4, 1, 3);  // taken as 0
  fromNothing.mu = 0.5;                               // momentum grows with h
  const Case cases[] = {
      {ex, selecting(20, 4, 1, 3), "\n", 20},  // all of them, drawn: no step
      {ex, selecting(35, 4, 1, 3), "\n", 20},
      {ex, fromNothing, "+{added 4 examples}+{added 4 examples}+{added 4 examples}\n", 12},
      {ex, selecting(6, 0, 1, 1), "+{added 0 examples}\n", 6},
      {ex, selecting(6, 5, 2, 5), "+{added 5 examples}+{added 5 examples}\n", 16},
      {ex, selecting(17, 5, 1, 3), "+{added 3 examples}\n", 20},  // the set runs out
      {ex, selecting(6, INT32_MAX, 1, 1), "+{added 14 examples}\n", 20},
      // 1 MB holds 511 rows: of a batch that would cross the bound the
      // 3 that fit are added, and a sample past it neither grows nor
      // shrinks.
      {big, selecting(508, 8, 1, 2, 1), "+{added 3 examples}+{added 0 examples}\n", 511},
      {big, selecting(515, 8, 1, 1, 1), "+{added 0 examples}\n", 515},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.o.initialSampleSize);
    std::string out;
    const TrainResult r = quietTrain(c.o, c.ex, &out);
    EXPECT_EQ(out.substr(out.find("\nIterating...") + 13), c.marks);
    EXPECT_EQ(r.lagrangians.hi(), c.size);
    expectConsistent(r, c.ex);
  }
  // From nothing, the first step keeps the last indices, latest first.
  EXPECT_EQ(quietTrain(selecting(0, 4, 1, 1), ex).selection.ssSelected().sample,
            (V{20, 19, 18, 17}));
}

// From an empty sample the step factor is 1.9 / 0.0; the first step that
// adds examples replaces it with the grown block's own, and the next sweep
// moves each new lagrangian by exactly that from 0 (C is out of reach).
TEST(SampleSelection, AGrownWorkingSetTakesItsOwnStepFactor) {
  std::mt19937 rng(8);
  const Examples ex = randomExamples(rng, 20, 3);
  TrainOptions o = selecting(0, 4, 1, 2);
  o.C = 1e6;
  const TrainResult r = quietTrain(o, ex);
  ASSERT_EQ(r.lagrangians.hi(), 8);  // a second step follows the second sweep
  std::vector<Element> firstFour;
  for (std::int32_t p = 1; p <= 4; ++p) firstFour.push_back(r.workingSet.at(p));
  const KernelCache block = cacheWithBound(collection(firstFour), linearKernel, o.lambda, 4);
  const double eta = 1.9 / rowSumBound(block.kernelCache, 4);
  EXPECT_TRUE(std::isfinite(eta));
  for (std::int32_t p = 1; p <= 8; ++p) EXPECT_EQ(r.lagrangians.at(p), p <= 4 ? eta : 0.0) << p;
}

TEST(SampleSelection, RestartValues) {
  std::mt19937 rng(4);
  const Examples ex = randomExamples(rng, 4, 2);
  using L = std::vector<InitialLagrangian>;
  EXPECT_EQ(fatalMessage([&] {
              quietTrain(selecting(3, 1, 1, 0), ex, nullptr, L{{1, 0.5}});
            }),
            "\nInitial lagrangians specify 1 samples, but ss-0 argument specifies 3 samples");
  EXPECT_EQ(fatalMessage([&] {
              quietTrain(selecting(2, 1, 1, 0), ex, nullptr, L{{1, 0.5}, {9, 0.5}});
            }),
            "Index 9 out of bounds (1,4)");

  // The values go to positions in list order; the dump names the training
  // index of each position, a repeated index at both.
  const std::string path = testDir() + "ss-dump";
  {
    OutputFile dump = OutputFile::create(path);
    TrainOptions o = selecting(3, 1, 0, 0);
    o.dumpPeriod = 1;
    const TrainResult r = quietTrain(o, ex, nullptr, L{{3, 0.5}, {1, 0.25}, {3, 0.125}}, &dump);
    EXPECT_EQ(r.workingSet.at(1).example, r.workingSet.at(3).example);
  }
  EXPECT_EQ(readWholeFile(path), "Iteration 1\n3 0.5\n1 0.25\n3 0.125\n\n");
}

}  // namespace
}  // namespace kelvor
