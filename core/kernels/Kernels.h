// The four kernel functions over the combined dot product. Each operation is
// carried out in the stated order, each intermediate a double.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>

#include "core/examples/Example.h"
#include "core/kernels/KernelParams.h"

namespace kelvor {

using KernelFunction = std::function<double(const Example&, const Example&)>;

double linearKernel(const Example& x, const Example& y);
// (s * dot + r) ^ d; a degree of 0 gives 1.0 without computing dot.
double polynomialKernel(std::int32_t d, double s, double r, const Example& x, const Example& y);
// exp(-(g * ((|x|^2 + |y|^2) - 2 * dot))) with the stored squared norms.
double rbfKernel(double g, const Example& x, const Example& y);
double sigmoidKernel(double s, double r, const Example& x, const Example& y);

// The same kernels from their parts, for code that has the dot products at
// hand; the functions above are made of these, so both give one double.
template <class Dot>
double polynomialOfDot(std::int32_t d, double s, double r, Dot&& dot) {
  return intPowerOf([&] { return (s * dot()) + r; }, d);
}
// normSum = |x|^2 + |y|^2.
inline double rbfOfDot(double g, double normSum, double dot) {
  const double u = normSum - 2.0 * dot;
  const double v = g * u;
  return std::exp(-v);
}
inline double sigmoidOfDot(double s, double r, double dot) { return std::tanh((s * dot) + r); }

}  // namespace kelvor
