#include "core/train/Sweep.h"

#include <cstddef>

namespace kelvor {

double sweep(std::span<double> h, std::span<const double> G, double C, double eta,
             const MomentumTerm* momentum) {
  double dh = 0.0;
  for (std::size_t i = 0; i < h.size(); ++i) {
    const double m = momentum ? momentum->mu * momentum->previous[i] : 0.0;
    const double t = eta * (1.0 - G[i]);
    const double v = -h[i] < t ? t : -h[i];
    const double u = C - h[i];
    // + m even without momentum: it turns a step of -0.0 into +0.0.
    const double step = (u < v ? u : v) + m;
    if (momentum) momentum->steps[i] = step;
    h[i] = h[i] + step;
    const double a = step >= 0 ? step : -step;
    if (dh < a) dh = a;
  }
  return dh;
}

}  // namespace kelvor
