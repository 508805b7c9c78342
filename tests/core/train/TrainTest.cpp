#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "FatalMessage.h"
#include "TempFile.h"
#include "base/NumberText.h"
#include "core/train/KernelCacheBuild.h"
#include "core/train/StepFactor.h"
#include "core/train/Sweep.h"
#include "core/train/Train.h"
#include "tests/core/KernelCellGuard.h"
#include "tests/core/KernelSamples.h"
#include "tests/core/train/TrainProblems.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using samples::sameBits;

const TrainingKernel kLinear = standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0);

TrainResult quietTrain(const TrainOptions& o, const TrainingKernel& kernel, const Examples& ex,
                       const std::optional<std::vector<InitialLagrangian>>& initial = std::nullopt,
                       std::string* output = nullptr, OutputFile* dump = nullptr,
                       const std::optional<Examples>& test = std::nullopt) {
  ::testing::internal::CaptureStdout();
  TrainResult r = train(o, kernel, ex, test, dump, initial);
  const std::string out = ::testing::internal::GetCapturedStdout();
  if (output) *output = out;
  return r;
}

// The loop as plainly as it can be written: G by the row-by-row walk, W
// summed term by term, a fresh copy of the previous steps, the sweep's
// comparisons spelled out. Also counts the iterations whose W fell.
struct PlainRun {
  std::vector<double> h;
  int decays = 0;
};

PlainRun plainTrain(const TrainOptions& o, const KernelFunction& kernel, const Examples& ex,
                    const std::optional<std::vector<InitialLagrangian>>& initial) {
  ::testing::internal::CaptureStdout();
  CacheBuild b = newKernelCache(o.cacheSize, kernel, o.lambda, ex,
                                initial ? std::span<const InitialLagrangian>(*initial)
                                        : std::span<const InitialLagrangian>());
  ::testing::internal::GetCapturedStdout();
  PlainRun run{b.h};
  std::vector<double>& h = run.h;
  std::vector<double> steps(h.size(), 0.0);
  double eta = b.eta;
  double wBefore = -std::numeric_limits<double>::infinity();
  for (std::int64_t t = 1;; ++t) {
    const std::vector<double> G = plainProduct(b.cache, h);
    double w = 0.0;
    for (std::size_t i = 0; i < h.size(); ++i) w = w + (h[i] - (0.5 * h[i]) * G[i]);
    if (w < wBefore) {
      eta = eta * 0.9;
      ++run.decays;
    }
    wBefore = w;
    const std::vector<double> previous = steps;
    steps.assign(h.size(), 0.0);
    double dh = 0.0;
    for (std::size_t i = 0; i < h.size(); ++i) {
      const double m = o.mu > 0.0 ? o.mu * previous[i] : 0.0;
      const double step0 = eta * (1 - G[i]);
      const double v = -h[i] < step0 ? step0 : -h[i];
      const double u = o.C - h[i];
      const double step = (u < v ? u : v) + m;
      steps[i] = step;
      h[i] = h[i] + step;
      const double a = step >= 0 ? step : -step;
      if (dh < a) dh = a;
    }
    if (o.stopPredicate(dh)) break;
    if (o.maxIterations >= 0 && t + 1 > o.maxIterations) break;
  }
  return run;
}

TEST(Train, EqualsThePlainLoopBitForBit) {
  struct Case {
    std::string name;
    TrainingKernel kernel;
    std::int32_t n, megabytes, iterations;
    double mu;
    bool restart;
  };
  const std::vector<Case> cases{
      {"linear cached", kLinear, 60, 40, 30, 0.0, false},
      {"poly beyond the cache, momentum",
       standardTrainingKernel(KernelType::PolyKernel, 2, 0, 0.3, 1), 530, 1, 6, 0.4, false},
      {"rbf without a cache, restart", standardTrainingKernel(KernelType::RBFKernel, 0, 0.5, 0, 0),
       70, 0, 12, 0.0, true},
      {"sigmoid beyond the cache, momentum, restart",
       standardTrainingKernel(KernelType::SigmoidKernel, 0, 0, 0.4, -0.2), 520, 1, 5, 0.6, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 rng(23);
    const Examples ex = randomExamples(rng, c.n, 10);
    TrainOptions o;
    o.cacheSize = c.megabytes;
    o.lambda = 0.5;
    o.C = 0.8;
    o.maxIterations = c.iterations;
    o.mu = c.mu;
    std::optional<std::vector<InitialLagrangian>> initial;
    if (c.restart) initial = std::vector<InitialLagrangian>{{1, 0.3}, {4, 0.8}, {c.n, 0.05}};
    const TrainResult r = quietTrain(o, c.kernel, ex, initial);
    const std::vector<double> plain = plainTrain(o, c.kernel.function, ex, initial).h;
    ASSERT_EQ(r.lagrangians.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
      ASSERT_TRUE(sameBits(r.lagrangians.elems()[i], plain[i])) << "h_" << i + 1;
    EXPECT_EQ(r.workingSet.collection(), ex.collection());
  }
}

// Momentum carries the steps past the top of the objective: the objective
// falls, the step factor decays until it climbs, and training ends above
// the objective's starting point 0.
TEST(Train, AStepTooLargeDecaysUntilTheObjectiveClimbs) {
  std::mt19937 rng(31);
  const Examples ex = randomExamples(rng, 40, 5);
  TrainOptions o;
  o.lambda = 1.0;
  o.maxIterations = 300;
  o.mu = 0.9;
  const TrainResult r = quietTrain(o, kLinear, ex);
  EXPECT_GT(plainTrain(o, kLinear.function, ex, std::nullopt).decays, 0);
  const std::span<const double> h = r.lagrangians.elems();
  EXPECT_GT(dualObjective(h, plainProduct(cacheWithBound(ex, kLinear.function, 1.0, 40), h)), 0.0);
}

TEST(Train, IterationBoundsAndStopPredicate) {
  std::mt19937 rng(2);
  const Examples ex = randomExamples(rng, 8, 3);
  struct Case {
    std::int32_t maxIterations;
    int stopAtCall;  // 0: never
    int sweeps;
  };
  const Case cases[] = {{0, 0, 1}, {1, 0, 1}, {3, 0, 3}, {-1, 7, 7}, {5, 2, 2}};
  for (const Case& c : cases) {
    int calls = 0;
    TrainOptions o;
    o.maxIterations = c.maxIterations;
    o.stopPredicate = [&](double) { return ++calls == c.stopAtCall; };
    quietTrain(o, kLinear, ex);
    EXPECT_EQ(calls, c.sweeps) << c.maxIterations << " " << c.stopAtCall;
  }
  // An empty training set sweeps nothing: dh is 0.0 every time.
  TrainOptions o;
  o.maxIterations = 2;
  std::vector<double> dhs;
  o.stopPredicate = [&](double dh) {
    dhs.push_back(dh);
    return false;
  };
  std::string out;
  const TrainResult r = quietTrain(o, kLinear, collection({}), std::nullopt, &out);
  EXPECT_EQ(dhs, (std::vector<double>{0.0, 0.0}));
  EXPECT_TRUE(r.lagrangians.empty());
  EXPECT_EQ(out, "Initializing...\nIterating...\n");
  EXPECT_EQ(fatalMessage([&] { r.selection.ssSelected(); }),
            "Internal error: ssSelected evaluated with sample selection is turned off");
}

TEST(Train, ProgressMarks) {
  std::mt19937 rng(4);
  const Examples ex = randomExamples(rng, 250, 2);
  TrainOptions o;
  o.maxIterations = 200;
  std::string out;
  quietTrain(o, kLinear, ex, std::nullopt, &out);
  // Two dots for the cache rows 100 and 200, two for iterations 100 and 200.
  EXPECT_EQ(out, "Initializing.....\nIterating.....\n");
}

TEST(Train, KernelCellsAreWrittenBeforeAnyKernelRuns) {
  KernelCellGuard guard;
  std::string seen;
  const TrainingKernel spy = customTrainingKernel([&](const Example&, const Example&) {
    if (seen.empty())
      seen = showInt(smaxnRef().content()) + " " + showDouble(slambdaRef().content()) + " " +
             showInt(tmaxdRef().content()) + " " + showDouble(tlambdaRef().content());
    return 1.0;
  });
  TrainOptions o;
  o.maxIterations = 0;
  o.stringParams = KernelParamPair{3, 0.25};
  o.treeParams = KernelParamPair{2, 0.75};
  quietTrain(o, spy, collection({{mkExample(reals({{1, 1.0}})), 1.0}}));
  EXPECT_EQ(seen, "3 0.25 2 0.75");
}

TEST(Train, ReportLine) {
  // K = (1, 2; 2, 4), lambda 0, targets +1 and -1: the row sums of Q are 3
  // and 6, so eta = 1.9 / 6 and both lagrangians step to it; the decision
  // values -eta and -2 eta are both negative.
  const Examples ex =
      collection({{mkExample(reals({{1, 1.0}})), 1.0}, {mkExample(reals({{1, 2.0}})), -1.0}});
  TrainOptions o;
  o.lambda = 0.0;
  o.maxIterations = 0;
  o.reportPeriod = 1;
  std::string out;
  quietTrain(o, kLinear, ex, std::nullopt, &out, nullptr, ex);
  EXPECT_EQ(out,
            "Initializing...\nIterating...\nIteration 1: |sv|=2\tdh=0.31666666666666665"
            "\t|h|^2=0.20055555555555554"
            "\ttra=0.5\ttrp=0.0\ttrr=0.0\ttrf=0.0\ttea=0.5\ttep=0.0\tter=0.0\ttef=0.0\n");
}

TEST(Train, DumpShowsLagrangiansBeforeEachSweep) {
  const auto dumpOf = [](const Examples& ex, std::vector<InitialLagrangian> initial) {
    const std::string path = testDir() + "dump-h";
    OutputFile dump = OutputFile::create(path);
    TrainOptions o;
    o.maxIterations = 2;
    o.dumpPeriod = 1;
    quietTrain(o, kLinear, ex, std::move(initial), nullptr, &dump);
    std::ifstream in(path);  // every block is flushed; the file is still open
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  };
  std::mt19937 rng(9);
  const std::string text = dumpOf(randomExamples(rng, 3, 2), {{2, 0.5}, {3, 0.01}});
  EXPECT_EQ(text.substr(0, 34), "Iteration 1\n1 0.0\n2 0.5\n3 1.0e-2\n\n");
  EXPECT_EQ(text.substr(34, 12), "Iteration 2\n");
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(dumpOf(collection({}), {}), "Iteration 1\n\nIteration 2\n\n");
}

TEST(Sweep, ClipsThenAddsMomentum) {
  struct Case {
    double h, G, P;  // P: the previous step, with mu 0.5 (NaN: no momentum)
    double hAfter, dh;
  };
  const double none = std::numeric_limits<double>::quiet_NaN();
  // C = 1, eta = 0.5.
  const Case cases[] = {
      {0.25, 1.0, none, 0.25, 0.0},  // G = 1: no step
      {-0.5, 1.0, none, 0.0, 0.5},   // pulled back into the box from below
      {1.5, 1.0, none, 1.0, 0.5},    // and from above
      {0.0, 3.0, none, 0.0, 0.0},    // at 0 with G > 1
      {1.0, -1.0, none, 1.0, 0.0},   // at C with G < 1
      {0.25, 0.0, none, 0.75, 0.5},  // a plain step
      {0.25, 0.0, 0.0, 0.75, 0.5},   // first sweep with momentum: nothing added
      {1.0, -1.0, 0.5, 1.25, 0.25},  // momentum after the clip leaves the box
      {0.25, 1.0, -0.5, 0.0, 0.25},  // and can step down with G = 1
  };
  for (const Case& c : cases) {
    std::vector<double> h{c.h};
    const std::vector<double> G{c.G};
    std::vector<double> steps{9.0};
    const std::vector<double> previous{c.P};
    const MomentumTerm term{steps, previous, 0.5};
    const double dh = sweep(h, G, 1.0, 0.5, std::isnan(c.P) ? nullptr : &term);
    EXPECT_EQ(h[0], c.hAfter) << c.h << " " << c.G << " " << c.P;
    EXPECT_EQ(dh, c.dh) << c.h << " " << c.G << " " << c.P;
    if (!std::isnan(c.P)) {
      EXPECT_EQ(steps[0], c.hAfter - c.h);
    }
  }
  std::vector<double> empty;
  EXPECT_EQ(sweep(empty, {}, 1.0, 0.5, nullptr), 0.0);
  // The largest absolute step, whatever its sign.
  std::vector<double> h{0.0, 1.0, 0.5};
  EXPECT_EQ(sweep(h, std::vector<double>{0.0, 3.0, 1.0}, 1.0, 0.4, nullptr), 0.8);
}

}  // namespace
}  // namespace kelvor
