#include "core/kernels/Kernels.h"

#include "core/kernels/Dot.h"

namespace kelvor {

double linearKernel(const Example& x, const Example& y) { return dot(x, y); }

double polynomialKernel(std::int32_t d, double s, double r, const Example& x, const Example& y) {
  return polynomialOfDot(d, s, r, [&] { return dot(x, y); });
}

double rbfKernel(double g, const Example& x, const Example& y) {
  // The norms first, then the dot product, as the kernel is defined.
  const double t = x.twonorm_sq() + y.twonorm_sq();
  return rbfOfDot(g, t, dot(x, y));
}

double sigmoidKernel(double s, double r, const Example& x, const Example& y) {
  return sigmoidOfDot(s, r, dot(x, y));
}

}  // namespace kelvor
