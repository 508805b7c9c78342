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

std::vector<double> all(const std::span<const double> xs) { return {xs.begin(), xs.end()}; }

TEST(SigmoidFit, StartValues) {
  Examples data = labelled({1, 1, -1});
  const std::vector<double> values{0.5, 0.5, 0.5};
  SigmoidFit fit(data, values, std::nullopt);
  EXPECT_EQ(fit.params().a, 0.0);
  EXPECT_EQ(fit.params().b, std::log(2.0 / 3));
  EXPECT_EQ(all(fit.regularisedTargets()), (std::vector<double>{0.75, 0.75, 1.0 / 3}));
  EXPECT_EQ(all(fit.probabilities()), (std::vector<double>{0.6, 0.6, 0.6}));
  // 0.0 counts as negative for the priors but, not being -1.0, gets hi;
  // given priors stand whatever the targets say.
  Examples zero = labelled({1, 0});
  EXPECT_EQ(all(SigmoidFit(zero, {values.data(), 2}, std::nullopt).regularisedTargets()),
            (std::vector<double>{2.0 / 3, 2.0 / 3}));
  EXPECT_EQ(SigmoidFit(zero, {values.data(), 2}, SigmoidPriors{5, 1}).positiveTarget(), 6.0 / 7);
}

TEST(SigmoidFit, EndsAtEachOfItsThreeTests) {
  // Equal values for one positive and one negative example: p stays at 0.5
  // between hi = 2/3 and lo = 1/3, so the gradient vanishes at the start.
  Examples pair = labelled({1, -1});
  const std::vector<double> equal{5, 5};
  SigmoidFit still(pair, equal, std::nullopt);
  EXPECT_EQ(still.iterate(), Status::GradientVanished);
  EXPECT_EQ(still.iterations(), 1);
  EXPECT_EQ(trainSigmoid(labelled({}), {}).b, 0.0);

  // Overlapping classes settle well before the limit.
  Examples data = labelled({1, 1, 1, 1, -1, -1, -1, -1, 1, -1});
  const std::vector<double> values{1.2, 0.8, 2.0, -0.3, -1.1, -0.7, 0.4, -2.2, 0.1, -0.1};
  SigmoidFit settles(data, values, std::nullopt);
  while (settles.iterate() == Status::Running) {
  }
  EXPECT_EQ(settles.status(), Status::ErrorSettled);
  EXPECT_LT(settles.iterations(), SigmoidFit::kMaxIterations);
  const SigmoidParams ab = trainSigmoid(data, values);
  EXPECT_EQ(ab.a, settles.params().a);
  EXPECT_GT(calcSigmoid(ab.a, ab.b, 1.0), 0.5);
  EXPECT_LT(calcSigmoid(ab.a, ab.b, -1.0), 0.5);

  // A NaN value makes every trial's error NaN: each step search is given up
  // (the first after trials at damping 0.001 .. 1e7, the later ones after
  // one trial), silently, until the iteration limit.
  const std::vector<double> broken{std::numeric_limits<double>::quiet_NaN(), 1.0};
  SigmoidFit stuck(pair, broken, std::nullopt);
  EXPECT_EQ(stuck.iterate(), Status::Running);
  EXPECT_NEAR(stuck.damping(), 1e8, 1e-6);
  EXPECT_EQ(stuck.iterate(), Status::Running);
  EXPECT_NEAR(stuck.damping(), 1e9, 1e-5);
  while (stuck.iterate() == Status::Running) {
  }
  EXPECT_EQ(stuck.status(), Status::IterationLimit);
  EXPECT_EQ(stuck.iterations(), SigmoidFit::kMaxIterations);
}

// Fails at one index, as an on-disk collection does on a bad line.
class FailingAt2 final : public ExampleCollection {
 public:
  Element at(std::int32_t i) const override {
    if (i == 2) fail("line 2 does not parse");
    return {mkExample(reals({})), 1.0};
  }
  std::int32_t collectionSize() const override { return 3; }
};

TEST(SigmoidFit, OtherFailuresStopTheProgram) {
  const std::vector<double> values{0.5, -0.5, 0.5, 0.5};
  EXPECT_EQ(fatalMessage([&] {
              trainSigmoid(labelled({1, -1, 1}), values);
            }),
            "trainSigmoid: internal error: 4 decision values for 3 training examples");
  EXPECT_EQ(fatalMessage([&] {
              trainSigmoid(FailingAt2(), {values.data(), 3});
            }),
            "line 2 does not parse");
}

}  // namespace
}  // namespace kelvor
