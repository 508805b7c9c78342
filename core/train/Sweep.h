// One sweep of the optimiser: every lagrangian takes one clipped, scaled
// gradient step, all from the same G.
#pragma once

#include <span>

namespace kelvor {

struct MomentumTerm {
  std::span<double> steps;           // S: receives this sweep's steps
  std::span<const double> previous;  // P: the previous sweep's steps
  double mu;
};

// For each i ascending: t = eta * (1 - G_i); the step is t clipped below
// at -h_i and above at C - h_i, plus mu * P_i (0.0 without momentum) added
// after both clips, so momentum can carry h_i out of [0, C]. Returns the
// largest absolute step (the first of equal ones), 0.0 when h is empty.
double sweep(std::span<double> h, std::span<const double> G, double C, double eta,
             const MomentumTerm* momentum);

}  // namespace kelvor
