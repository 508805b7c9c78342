// Fitting the sigmoid P(f) = 1 / (1 + exp(A f + B)) that turns decision
// values into probabilities, by damped Newton steps on the cross-entropy
// against regularised targets.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/classification/Classify.h"
#include "core/examples/ExampleCollection.h"

namespace kelvor {

// The numbers of positive and of negative examples.
struct SigmoidPriors {
  double prior1;
  double prior0;
};

// (A, B) for the decision values `values`, value k belonging to element k
// of `examples` (only its target is read). Without priors they are counted:
// prior1 the targets equal to 1.0, prior0 the rest. A target of exactly -1.0
// is negative, any other positive.
//
// At most 100 iterations; the fit ends early when the gradient vanishes or
// the error has settled for three iterations. A step search that cannot
// lower the error once its damping passes 1e6 is given up silently and the
// fit goes on. A number of values other than the collection's size is an
// internal error; a failure fetching a target stops the program as anywhere.
SigmoidParams trainSigmoid(const ExampleCollection& examples, std::span<const double> values,
                           std::optional<SigmoidPriors> priors = std::nullopt);

// One fit, iteration by iteration: what trainSigmoid runs, open to
// inspection of its start and of each iteration. The values are not copied:
// they must outlive the fit.
class SigmoidFit {
 public:
  enum class Status { Running, GradientVanished, ErrorSettled, IterationLimit };
  static constexpr int kMaxIterations = 100;

  SigmoidFit(const ExampleCollection& examples, std::span<const double> values,
             std::optional<SigmoidPriors> priors);

  // Runs the next iteration unless the fit has ended; gives the status after it.
  Status iterate();

  Status status() const { return status_; }
  SigmoidParams params() const { return {a_, b_}; }
  int iterations() const { return iterations_; }
  double damping() const { return lambda_; }
  double previousError() const { return previousError_; }
  double positiveTarget() const { return hi_; }
  double negativeTarget() const { return lo_; }
  std::span<const double> regularisedTargets() const { return targets_; }
  std::span<const double> probabilities() const { return probabilities_; }

 private:
  void errorPass(double& err);

  std::span<const double> values_;
  std::vector<double> targets_;  // regularised: hi or lo
  std::vector<double> probabilities_;
  double hi_, lo_;
  double a_, b_;
  double lambda_ = 0.001;
  double previousError_ = 1e300;
  std::int64_t smallChanges_ = 0;
  int iterations_ = 0;
  Status status_ = Status::Running;
};

}  // namespace kelvor
