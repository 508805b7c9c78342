// The four kernel functions over the combined dot product. Each operation is
// carried out in the stated order, each intermediate a double.
#pragma once

#include <cstdint>
#include <functional>

#include "core/examples/Example.h"

namespace kelvor {

using KernelFunction = std::function<double(const Example&, const Example&)>;

double linearKernel(const Example& x, const Example& y);
// (s * dot + r) ^ d; a degree of 0 gives 1.0 without computing dot.
double polynomialKernel(std::int32_t d, double s, double r, const Example& x, const Example& y);
// exp(-(g * ((|x|^2 + |y|^2) - 2 * dot))) with the stored squared norms.
double rbfKernel(double g, const Example& x, const Example& y);
double sigmoidKernel(double s, double r, const Example& x, const Example& y);

}  // namespace kelvor
