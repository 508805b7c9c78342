#include "core/kernels/Kernels.h"

#include <cmath>

#include "core/kernels/Dot.h"
#include "core/kernels/KernelParams.h"

namespace kelvor {

double linearKernel(const Example& x, const Example& y) { return dot(x, y); }

double polynomialKernel(std::int32_t d, double s, double r, const Example& x, const Example& y) {
  return intPowerOf([&] { return (s * dot(x, y)) + r; }, d);
}

double rbfKernel(double g, const Example& x, const Example& y) {
  const double t = x.twonorm_sq() + y.twonorm_sq();
  const double u = t - 2.0 * dot(x, y);
  const double v = g * u;
  return std::exp(-v);
}

double sigmoidKernel(double s, double r, const Example& x, const Example& y) {
  return std::tanh((s * dot(x, y)) + r);
}

}  // namespace kelvor
