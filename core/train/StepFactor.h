// The step factor of the training loop, and when it decays.
//
// All lagrangians step at once from the same G, so a step factor that is
// too large makes the sweeps swing from one corner of the box to another
// instead of climbing. The loop watches the dual objective
// W = sum over i of (h_i - (0.5 * h_i) * G_i) and takes 10% off the step
// factor whenever a sweep has lowered it; while W climbs the step factor
// stays, so training does not stall with most of its iterations left.
#pragma once

#include <limits>
#include <span>

namespace kelvor {

// W of h under G = Q h: a running sum from 0.0 over i ascending.
double dualObjective(std::span<const double> h, std::span<const double> G);

class StepFactor {
 public:
  explicit StepFactor(double eta) : eta_(eta) {}

  double eta() const { return eta_; }

  // Called once G = Q h is rebuilt, before the sweep: decays when W fell
  // since the last call. The first call after a start or a replacement
  // only records W; a NaN W records NaN, so the next call does not decay.
  void afterProduct(std::span<const double> h, std::span<const double> G) {
    const double w = dualObjective(h, G);
    if (w < before_) eta_ = eta_ * 0.9;
    before_ = w;
  }

  // A new working set brings its own step factor; W restarts with it.
  void replace(double eta) {
    eta_ = eta;
    before_ = -std::numeric_limits<double>::infinity();
  }

 private:
  double eta_;
  double before_ = -std::numeric_limits<double>::infinity();
};

}  // namespace kelvor
