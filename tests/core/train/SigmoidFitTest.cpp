#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "FatalMessage.h"
#include "core/train/SigmoidFit.h"
#include "tests/core/ExampleBuilders.h"

namespace kelvor {
namespace {

using namespace kelvor::testing;
using Status = SigmoidFit::Status;

Examples labelled(const std::vector<double>& targets) {
  std::vector<Element> elems;
  for (double t : targets) elems.push_back({mkExample(reals({})), t});
  return collection(std::move(elems));
}

std::vector<double> repeated(double v, std::size_t n) { return std::vector<double>(n, v); }

TEST(SigmoidFit, StartValues) {
  const struct {
    std::vector<double> targets;
    std::optional<SigmoidPriors> priors;
    double hi, lo, probability, b;
    std::vector<double> regularised;
  } cases[] = {
      {{1, 1, -1}, {}, 0.75, 1.0 / 3, 0.6, std::log(2.0 / 3), {0.75, 0.75, 1.0 / 3}},
      // 0.0 counts as negative for the priors but is not -1.0, so it gets hi.
      {{1, 0}, {}, 2.0 / 3, 1.0 / 3, 0.5, std::log(1.0), {2.0 / 3, 2.0 / 3}},
      // Given priors stand, whatever the targets say.
      {{1, -1}, SigmoidPriors{5, 1}, 6.0 / 7, 1.0 / 3, 0.75, std::log(2.0 / 6), {6.0 / 7, 1.0 / 3}},
  };
  for (const auto& c : cases) {
    Examples data = labelled(c.targets);
    const auto values = repeated(0.25, c.targets.size());
    SigmoidFit fit(data, values, c.priors);
    EXPECT_EQ(fit.positiveTarget(), c.hi);
    EXPECT_EQ(fit.negativeTarget(), c.lo);
    EXPECT_EQ(fit.params().a, 0.0);
    EXPECT_EQ(fit.params().b, c.b);
    EXPECT_EQ(fit.damping(), 0.001);
    EXPECT_EQ(fit.previousError(), 1e300);
    EXPECT_EQ(std::vector<double>(fit.regularisedTargets().begin(), fit.regularisedTargets().end()),
              c.regularised);
    for (double p : fit.probabilities()) EXPECT_EQ(p, c.probability);
  }
}

TEST(SigmoidFit, EndsWhenTheGradientVanishes) {
  // An empty set, and equal values for one positive and one negative
  // example (p stays 0.5 between hi = 2/3 and lo = 1/3): the start stands.
  const struct {
    std::vector<double> targets, values;
    double b;
  } cases[] = {{{}, {}, 0.0}, {{1, -1}, {5, 5}, 0.0}};
  for (const auto& c : cases) {
    Examples data = labelled(c.targets);
    SigmoidFit fit(data, c.values, std::nullopt);
    EXPECT_EQ(fit.iterate(), Status::GradientVanished);
    EXPECT_EQ(fit.iterations(), 1);
    EXPECT_EQ(fit.params().a, 0.0);
    EXPECT_EQ(fit.params().b, c.b);
    EXPECT_EQ(fit.iterate(), Status::GradientVanished);  // stays ended
    EXPECT_EQ(fit.iterations(), 1);
  }
}

TEST(SigmoidFit, EndsWhenTheErrorSettles) {
  // Overlapping classes: positives mostly above 0, negatives mostly below.
  const std::vector<double> targets{1, 1, 1, 1, -1, -1, -1, -1, 1, -1};
  const std::vector<double> values{1.2, 0.8, 2.0, -0.3, -1.1, -0.7, 0.4, -2.2, 0.1, -0.1};
  Examples data = labelled(targets);
  SigmoidFit fit(data, values, std::nullopt);
  Status s = Status::Running;
  while (s == Status::Running) s = fit.iterate();
  EXPECT_EQ(s, Status::ErrorSettled);
  EXPECT_GE(fit.iterations(), 3);
  EXPECT_LT(fit.iterations(), SigmoidFit::kMaxIterations);
  const SigmoidParams ab = trainSigmoid(data, values);
  EXPECT_EQ(ab.a, fit.params().a);
  EXPECT_EQ(ab.b, fit.params().b);
  EXPECT_LT(ab.a, 0.0);  // larger values, more likely positive
  EXPECT_GT(calcSigmoid(ab.a, ab.b, 1.0), 0.5);
  EXPECT_LT(calcSigmoid(ab.a, ab.b, -1.0), 0.5);
}

TEST(SigmoidFit, GivesUpStepSearchesSilentlyAndStopsAtTheIterationLimit) {
  // A NaN value makes every trial's error NaN: no step is ever accepted.
  Examples data = labelled({1, -1});
  const std::vector<double> values{std::numeric_limits<double>::quiet_NaN(), 1.0};
  SigmoidFit fit(data, values, std::nullopt);
  // Trials at damping 0.001 .. 1e7, then given up with the damping at 1e8.
  EXPECT_EQ(fit.iterate(), Status::Running);
  EXPECT_NEAR(fit.damping(), 1e8, 1e-6);
  EXPECT_TRUE(std::isnan(fit.previousError()));
  // From then on each search gives up after its first trial.
  EXPECT_EQ(fit.iterate(), Status::Running);
  EXPECT_NEAR(fit.damping(), 1e9, 1e-5);
  Status s = Status::Running;
  while (s == Status::Running) s = fit.iterate();
  EXPECT_EQ(s, Status::IterationLimit);
  EXPECT_EQ(fit.iterations(), SigmoidFit::kMaxIterations);
  EXPECT_TRUE(std::isnan(trainSigmoid(data, values).a));
}

// Fails at one index, as an on-disk collection does on a bad line.
class FailingAt final : public ExampleCollection {
 public:
  Element at(std::int32_t i) const override {
    if (i == 2) fail("line 2 does not parse");
    return {mkExample(reals({})), 1.0};
  }
  std::int32_t collectionSize() const override { return 3; }
};

TEST(SigmoidFit, OtherFailuresStopTheProgram) {
  Examples three = labelled({1, -1, 1});
  const std::vector<double> two{0.5, 0.5}, three_values{0.5, -0.5, 0.5};
  EXPECT_EQ(fatalMessage([&] { trainSigmoid(three, two); }),
            "trainSigmoid: internal error: 2 decision values for 3 training examples");
  EXPECT_EQ(fatalMessage([&] { trainSigmoid(three, repeated(0.0, 4)); }),
            "trainSigmoid: internal error: 4 decision values for 3 training examples");
  EXPECT_EQ(fatalMessage([&] { trainSigmoid(FailingAt(), three_values); }),
            "line 2 does not parse");
}

}  // namespace
}  // namespace kelvor
