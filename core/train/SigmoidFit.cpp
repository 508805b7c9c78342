#include "core/train/SigmoidFit.h"

#include <cmath>

#include "base/Fatal.h"
#include "base/NumberText.h"

namespace kelvor {

SigmoidFit::SigmoidFit(const ExampleCollection& examples, std::span<const double> values,
                       std::optional<SigmoidPriors> priors)
    : values_(values) {
  const std::int32_t n = examples.collectionSize();
  if (static_cast<std::int64_t>(values.size()) != std::max<std::int64_t>(n, 0))
    fail("trainSigmoid: internal error: " + showInt(static_cast<std::int64_t>(values.size())) +
         " decision values for " + showInt(n) + " training examples");

  // The targets are read once: every pass of the fit needs them, and
  // fetching them again would reparse every line of an on-disk collection
  // on each of up to thousands of passes.
  targets_.reserve(values.size());
  std::int64_t positives = 0;
  for (const Element& e : examples.collectionElems()) {
    if (e.value == 1.0) ++positives;
    targets_.push_back(e.value);
  }
  const double prior1 = priors ? priors->prior1 : static_cast<double>(positives);
  const double prior0 = priors ? priors->prior0 : static_cast<double>(n - positives);

  hi_ = (prior1 + 1) / (prior1 + 2);
  lo_ = 1 / (prior0 + 2);
  for (double& t : targets_) t = t == -1.0 ? lo_ : hi_;
  probabilities_.assign(values.size(), (prior1 + 1) / (prior0 + prior1 + 2));
  a_ = 0.0;
  b_ = std::log((prior0 + 1) / (prior1 + 1));
}

void SigmoidFit::errorPass(double& err) {
  err = 0;
  for (std::size_t k = 0; k < values_.size(); ++k) {
    const double p = calcSigmoid(a_, b_, values_[k]);
    probabilities_[k] = p;
    const double t = targets_[k];
    err += -(t * std::log(p) + (1 - t) * std::log(1 - p));
  }
}

SigmoidFit::Status SigmoidFit::iterate() {
  if (status_ != Status::Running) return status_;
  ++iterations_;

  double a = 0, b = 0, c = 0, d = 0, e = 0;
  for (std::size_t k = 0; k < values_.size(); ++k) {
    const double f = values_[k];
    const double p = probabilities_[k];
    const double d2 = p * (1 - p);
    const double d1 = p - targets_[k];
    a += f * f * d2;
    b += d2;
    c += f * d2;
    d += f * d1;
    e += d1;
  }
  if (std::fabs(d) < 1e-9 && std::fabs(e) < 1e-9) return status_ = Status::GradientVanished;

  const double oldA = a_, oldB = b_;
  double err = 0;
  for (;;) {
    const double det = (a + lambda_) * (b + lambda_) - c * c;
    if (det == 0.0) {
      lambda_ = 10 * lambda_;
      continue;
    }
    a_ = oldA + ((b + lambda_) * d - c * e) / det;
    b_ = oldB + ((a + lambda_) * e - c * d) / det;
    errorPass(err);
    if (err < previousError_ * 1.0000001) {
      lambda_ = 0.1 * lambda_;
      break;
    }
    const double tried = lambda_;
    lambda_ = 10 * lambda_;
    // Damping this large no longer moves (A, B): go on from the last trial.
    if (tried > 1e6) break;
  }

  const double diff = err - previousError_;
  const double scale = 0.5 * (err + previousError_ + 1);
  if (-0.001 * scale < diff && diff < 1e-7 * scale)
    ++smallChanges_;
  else
    smallChanges_ = 0;
  previousError_ = err;
  if (smallChanges_ == 3) return status_ = Status::ErrorSettled;
  if (iterations_ == kMaxIterations) return status_ = Status::IterationLimit;
  return status_;
}

SigmoidParams trainSigmoid(const ExampleCollection& examples, std::span<const double> values,
                           std::optional<SigmoidPriors> priors) {
  SigmoidFit fit(examples, values, priors);
  while (fit.iterate() == SigmoidFit::Status::Running) {
  }
  return fit.params();
}

}  // namespace kelvor
