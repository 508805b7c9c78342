#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "FatalMessage.h"
#include "RunProgram.h"
#include "TempFile.h"
#include "core/train/KeptList.h"
#include "core/train/RandomGenerator.h"
#include "core/train/Train.h"
#include "tests/core/KernelSamples.h"
#include "tests/core/train/TrainProblems.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();
const TrainingKernel kLinear = standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0);

TEST(SampleSelection, CompareAbs) {
  struct Case {
    double a, b;
    std::weak_ordering expected;
  };
  const Case cases[] = {
      {1.0, -2.0, std::weak_ordering::less},       {-2.0, 2.0, std::weak_ordering::equivalent},
      {3.0, 1.0, std::weak_ordering::greater},     {-0.0, 0.0, std::weak_ordering::equivalent},
      {inf, -inf, std::weak_ordering::equivalent}, {nan, 1.0, std::weak_ordering::greater},
      {1.0, nan, std::weak_ordering::greater},     {nan, nan, std::weak_ordering::greater},
  };
  for (const Case& c : cases) EXPECT_TRUE(compareAbs(c.a, c.b) == c.expected) << c.a << " " << c.b;
}

// The insertion rule without any shortcut.
std::vector<std::int32_t> plainKept(const std::vector<double>& scores, std::int32_t capacity) {
  std::vector<Candidate> kept;
  for (std::size_t i = 0; i < scores.size(); ++i) {
    auto at = std::find_if(kept.begin(), kept.end(), [&](const Candidate& e) {
      return compareAbs(scores[i], e.score) != std::weak_ordering::greater;
    });
    kept.insert(at, Candidate{scores[i], static_cast<std::int32_t>(i + 1)});
    if (static_cast<std::int32_t>(kept.size()) > std::max(capacity, 0)) kept.pop_back();
  }
  std::vector<std::int32_t> indices;
  for (const Candidate& c : kept) indices.push_back(c.index);
  return indices;
}

std::vector<std::int32_t> keptIndices(const std::vector<double>& scores, std::int32_t capacity) {
  KeptList kept(capacity);
  for (std::size_t i = 0; i < scores.size(); ++i)
    kept.offer(scores[i], static_cast<std::int32_t>(i + 1));
  std::vector<std::int32_t> indices;
  for (const Candidate& c : kept.entries()) indices.push_back(c.index);
  return indices;
}

TEST(SampleSelection, KeptListInsertionRule) {
  using V = std::vector<std::int32_t>;
  // Equal absolute scores: the later index first; a NaN goes last.
  EXPECT_EQ(keptIndices({0.5, -0.2, 0.2, nan, 0.1, 0.3}, 3), (V{5, 3, 2}));
  EXPECT_EQ(keptIndices({nan, 1.0, 0.5, 2.0, 0.7}, 4), (V{1, 3, 5, 2}));
  // No support vectors: every score 0, the last indices in descending order.
  EXPECT_EQ(keptIndices(std::vector<double>(6, 0.0), 4), (V{6, 5, 4, 3}));
  EXPECT_EQ(keptIndices({1.0, 2.0}, 0), V{});
  EXPECT_EQ(keptIndices({1.0, 2.0}, -3), V{});

  std::mt19937 rng(5);
  const double values[] = {0.0, -0.0, 0.25, -0.25, 0.5, 1.0, -2.0, inf, -inf, nan};
  std::uniform_int_distribution<int> pick(0, 9), length(0, 30), capacity(0, 6);
  for (int round = 0; round < 2000; ++round) {
    std::vector<double> scores(static_cast<std::size_t>(length(rng)));
    for (double& s : scores) s = values[pick(rng)];
    const std::int32_t c = capacity(rng);
    ASSERT_EQ(keptIndices(scores, c), plainKept(scores, c)) << "round " << round;
  }
}

TrainResult quietTrain(const TrainOptions& o, const Examples& ex,
                       const std::optional<std::vector<InitialLagrangian>>& initial = std::nullopt,
                       std::string* output = nullptr, OutputFile* dump = nullptr) {
  ::testing::internal::CaptureStdout();
  try {
    TrainResult r = train(o, kLinear, ex, std::nullopt, dump, initial);
    const std::string out = ::testing::internal::GetCapturedStdout();
    if (output) *output = out;
    return r;
  } catch (const FatalError&) {
    ::testing::internal::GetCapturedStdout();
    throw;
  }
}

TrainOptions selecting(std::int32_t ss0, std::int32_t batch, std::int32_t period,
                       std::int32_t iterations) {
  TrainOptions o;
  o.sampleSelection = true;
  o.initialSampleSize = ss0;
  o.batchSize = batch;
  o.selectionPeriod = period;
  o.maxIterations = iterations;
  return o;
}

std::size_t countOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

// The working set, h, the sample list and the flags describe the same
// examples, position by position.
void expectConsistent(const TrainResult& r, const Examples& training) {
  const SelectedSamples& s = r.selection.ssSelected();
  ASSERT_EQ(r.workingSet.collectionSize(), r.lagrangians.hi());
  ASSERT_EQ(static_cast<std::int32_t>(s.sample.size()), r.lagrangians.hi());
  for (std::int32_t p = 1; p <= r.workingSet.collectionSize(); ++p)
    EXPECT_EQ(r.workingSet.at(p).example, training.at(s.sample[p - 1]).example) << p;
  for (std::int32_t i = 1; i <= training.collectionSize(); ++i)
    EXPECT_EQ(s.flags[i - 1], std::count(s.sample.begin(), s.sample.end(), i) > 0) << i;
}

TEST(SampleSelection, InitialSampleAndSteps) {
  std::mt19937 rng(3);
  const Examples ex = randomExamples(rng, 20, 3);
  struct Case {
    std::int32_t ss0, batch, period, iterations;
    std::size_t steps, added;  // "+{added <added> examples}" `steps` times
    std::int32_t size;
  };
  const Case cases[] = {
      {20, 4, 1, 3, 0, 0, 20},  // the whole set, drawn: no step
      {35, 4, 1, 3, 0, 0, 20},  // more than the set
      {0, 4, 1, 3, 3, 4, 12},   // from nothing: no draw, no support vectors
      {-3, 4, 1, 3, 3, 4, 12},  // taken as 0
      {6, 0, 1, 3, 3, 0, 6},    // no batch
      {6, -2, 1, 3, 3, 0, 6},   // nor a negative one
      {6, 5, 2, 5, 2, 5, 16},   // a step after iterations 2 and 4
      {17, 5, 1, 3, 1, 3, 20},  // the 3 left, then the count has reached the set
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ss0);
    SCOPED_TRACE(c.batch);
    std::string out;
    const TrainResult r =
        quietTrain(selecting(c.ss0, c.batch, c.period, c.iterations), ex, std::nullopt, &out);
    EXPECT_EQ(r.lagrangians.hi(), c.size);
    expectConsistent(r, ex);
    EXPECT_EQ(countOf(out, "+"), c.steps);
    EXPECT_EQ(countOf(out, "+{added " + std::to_string(c.added) + " examples}"), c.steps);
  }
  // From nothing, the first step keeps the last indices, latest first.
  const TrainResult r = quietTrain(selecting(0, 4, 1, 1), ex);
  EXPECT_EQ(r.selection.ssSelected().sample, (std::vector<std::int32_t>{20, 19, 18, 17}));
}

TEST(SampleSelection, TheGeneratorIsSplitEvenWhenNothingIsDrawn) {
  std::mt19937 rng(3);
  const Examples ex = randomExamples(rng, 5, 2);
  for (const std::int32_t ss0 : {0, 3}) {
    RandomGenerator before = readRandomGenerator();
    quietTrain(selecting(ss0, 0, 0, 0), ex);
    RandomGenerator after = readRandomGenerator();
    EXPECT_NE(before.nextInt(), after.nextInt()) << ss0;
  }
}

TEST(SampleSelection, TheCacheBoundStopsTheGrowth) {
  // 1 MB holds 511 rows: a batch of 8 that would cross the bound adds the
  // 3 that fit, and a sample already past it neither grows nor shrinks.
  std::mt19937 rng(8);
  const Examples ex = randomExamples(rng, 530, 2);
  struct Case {
    std::int32_t ss0;
    std::string marks;
    std::int32_t size;
  };
  const Case cases[] = {
      {508, "+{added 3 examples}+{added 0 examples}", 511},
      {515, "+{added 0 examples}+{added 0 examples}", 515},
  };
  for (const Case& c : cases) {
    TrainOptions o = selecting(c.ss0, 8, 1, 2);
    o.cacheSize = 1;
    std::string out;
    const TrainResult r = quietTrain(o, ex, std::nullopt, &out);
    EXPECT_NE(out.find("\nIterating..." + c.marks + "\n"), std::string::npos) << c.ss0;
    EXPECT_EQ(r.lagrangians.hi(), c.size);
    expectConsistent(r, ex);
  }
}

TEST(SampleSelection, RestartValues) {
  std::mt19937 rng(4);
  const Examples ex = randomExamples(rng, 4, 2);
  using L = std::vector<InitialLagrangian>;
  EXPECT_EQ(fatalMessage([&] {
              quietTrain(selecting(3, 1, 1, 0), ex, L{{1, 0.5}, {2, 0.5}});
            }),
            "\nInitial lagrangians specify 2 samples, but ss-0 argument specifies 3 samples");
  // The count is compared with the training-set size when ss-0 exceeds it.
  EXPECT_EQ(fatalMessage([&] {
              quietTrain(selecting(50, 1, 1, 0), ex, L{{1, 0.5}});
            }),
            "\nInitial lagrangians specify 1 samples, but ss-0 argument specifies 50 samples");
  EXPECT_EQ(fatalMessage([&] {
              quietTrain(selecting(2, 1, 1, 0), ex, L{{1, 0.5}, {9, 0.5}});
            }),
            "Index 9 out of bounds (1,4)");

  // The values go to positions in list order; the dump names the training
  // index of each position, a repeated index at both.
  const std::string path = testDir() + "ss-dump";
  {
    OutputFile dump = OutputFile::create(path);
    TrainOptions o = selecting(3, 1, 0, 0);
    o.dumpPeriod = 1;
    const TrainResult r = quietTrain(o, ex, L{{3, 0.5}, {1, 0.25}, {3, 0.125}}, nullptr, &dump);
    EXPECT_EQ(r.workingSet.at(1).example, r.workingSet.at(3).example);
  }
  EXPECT_EQ(readWholeFile(path), "Iteration 1\n3 0.5\n1 0.25\n3 0.125\n\n");

  // The whole set restarted in index order trains as without selection.
  std::mt19937 rng2(6);
  const Examples many = randomExamples(rng2, 40, 4);
  L inOrder;
  for (std::int32_t i = 1; i <= 40; ++i) inOrder.push_back({i, i % 3 == 0 ? 0.5 : 0.0});
  TrainOptions o = selecting(40, 4, 1, 25);
  const TrainResult with = quietTrain(o, many, inOrder);
  o.sampleSelection = false;
  const TrainResult without = quietTrain(o, many, inOrder);
  ASSERT_EQ(with.lagrangians.size(), without.lagrangians.size());
  for (std::size_t i = 0; i < with.lagrangians.size(); ++i)
    EXPECT_TRUE(samples::sameBits(with.lagrangians.elems()[i], without.lagrangians.elems()[i]));
}

}  // namespace
}  // namespace kelvor
