#include "core/train/StepFactor.h"

#include <cstddef>

namespace kelvor {

double dualObjective(std::span<const double> h, std::span<const double> G) {
  double w = 0.0;
  for (std::size_t i = 0; i < h.size(); ++i) w = w + (h[i] - (0.5 * h[i]) * G[i]);
  return w;
}

}  // namespace kelvor
