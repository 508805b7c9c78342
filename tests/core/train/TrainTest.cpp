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

// The loop as plainly as it can be written: G by the row-by-row walk, a
// fresh copy of the previous steps, the sweep's comparisons spelled out.
std::vector<double> plainTrain(const TrainOptions& o, const KernelFunction& kernel,
                               const Examples& ex,
                               const std::optional<std::vector<InitialLagrangian>>& initial) {
  ::testing::internal::CaptureStdout();
  CacheBuild b = newKernelCache(o.cacheSize, kernel, o.lambda, ex,
                                initial ? std::span<const InitialLagrangian>(*initial)
                                        : std::span<const InitialLagrangian>());
  ::testing::internal::GetCapturedStdout();
  std::vector<double>& h = b.h;
  std::vector<double> steps(h.size(), 0.0);
  double eta = b.eta;
  for (std::int64_t t = 1;; ++t) {
    const std::vector<double> G = plainProduct(b.cache, h);
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
    eta = eta * 0.9;
  }
  return h;
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
    const std::vector<double> plain = plainTrain(o, c.kernel.function, ex, initial);
    ASSERT_EQ(r.lagrangians.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
      ASSERT_TRUE(sameBits(r.lagrangians.elems()[i], plain[i])) << "h_" << i + 1;
    EXPECT_EQ(r.workingSet.collection(), ex.collection());
  }
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
  std::vector<std::string> seen;
  const TrainingKernel spy = customTrainingKernel([&](const Example&, const Example&) {
    if (seen.empty())
      seen.push_back(showInt(smaxnRef().content()) + " " + showDouble(slambdaRef().content()) +
                     " " + showInt(tmaxdRef().content()) + " " +
                     showDouble(tlambdaRef().content()));
    return 1.0;
  });
  TrainOptions o;
  o.maxIterations = 0;
  o.stringParams = KernelParamPair{3, 0.25};
  o.treeParams = KernelParamPair{2, 0.75};
  quietTrain(o, spy, collection({{mkExample(reals({{1, 1.0}})), 1.0}}));
  EXPECT_EQ(seen, (std::vector<std::string>{"3 0.25 2 0.75"}));
}

TEST(Train, ReportLine) {
  // K = (1, 2; 2, 4), lambda 0: D = 5, eta = 0.38, both lagrangians step
  // to 0.38; the decision values -0.38 and -0.76 are both negative.
  const Examples ex =
      collection({{mkExample(reals({{1, 1.0}})), 1.0}, {mkExample(reals({{1, 2.0}})), -1.0}});
  TrainOptions o;
  o.lambda = 0.0;
  o.maxIterations = 0;
  o.reportPeriod = 1;
  std::string out;
  quietTrain(o, kLinear, ex, std::nullopt, &out, nullptr, ex);
  const double dh = 1.9 / 5.0;
  const std::string rates = "a=0.5\t%p=0.0\t%r=0.0\t%f=NaN";
  auto withPrefix = [&](const std::string& p) {
    std::string s = "\t" + p + rates;
    for (std::size_t at; (at = s.find('%')) != std::string::npos;) s.replace(at, 1, p);
    return s;
  };
  EXPECT_EQ(out, "Initializing...\nIterating...\nIteration 1: |sv|=2\tdh=" + showDouble(dh) +
                     "\t|h|^2=" + showDouble(dh * dh + dh * dh) + withPrefix("tr") +
                     withPrefix("te") + "\n");
}

TEST(Train, DumpShowsLagrangiansBeforeEachSweep) {
  const Examples ex = randomExamples(*std::make_unique<std::mt19937>(9), 3, 2);
  const std::string path = testDir() + "dump-h";
  {
    OutputFile dump = OutputFile::create(path);
    TrainOptions o;
    o.maxIterations = 2;
    o.dumpPeriod = 1;
    quietTrain(o, kLinear, ex, std::vector<InitialLagrangian>{{2, 0.5}, {3, 0.01}}, nullptr, &dump);
    std::ifstream in(path);  // flushed before the file is closed
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().substr(0, 36), "Iteration 1\n1 0.0\n2 0.5\n3 1.0e-2\n\nIt");
    EXPECT_EQ(text.str().find("Iteration 2\n"), 34u);
    EXPECT_EQ(text.str().back(), '\n');
  }
  OutputFile empty = OutputFile::create(path);
  TrainOptions o;
  o.maxIterations = 0;
  o.dumpPeriod = 1;
  quietTrain(o, kLinear, collection({}), std::nullopt, nullptr, &empty);
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "Iteration 1\n\n");
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
