#include "core/train/EntryBounds.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace kelvor {

namespace {

// Every bound below is kept under this, so that the few further sums and
// products of an entry cannot overflow. Comparisons are written so that a
// NaN fails them.
constexpr double kLimit = 1e300;
bool bounded(double v) { return v <= kLimit; }

struct WorkingSetBounds {
  double maxNorm = 0.0;    // largest self dot product
  double maxTarget = 0.0;  // largest |y|
  std::size_t maxFeatures = 0;
};

std::optional<WorkingSetBounds> measure(const ElementView& examples) {
  WorkingSetBounds b;
  Element slot;
  for (std::int32_t i = 1; i <= examples.size(); ++i) {
    const Element& e = examples.get(i, slot);
    const Example& x = *e.example;
    if (!x.vectorString().empty() || !x.vectorTree().empty()) return std::nullopt;
    const double norm = x.twonorm_sq();
    const double target = std::fabs(e.value);
    if (!(norm >= 0.0 && bounded(norm)) || !bounded(target)) return std::nullopt;
    b.maxNorm = std::max(b.maxNorm, norm);
    b.maxTarget = std::max(b.maxTarget, target);
    b.maxFeatures = std::max(b.maxFeatures, x.vectorReal().size());
  }
  return b;
}

// A bound on |K(x, y)|, or nothing when the kernel can overflow, give NaN
// or fail.
std::optional<double> kernelBound(const StandardKernel& k, const WorkingSetBounds& b) {
  // The computed dot of two real vectors stays within a factor
  // (1 + n * 2^-53)^2 of the exact Cauchy-Schwarz bound.
  const double dotBound = 2.0 * b.maxNorm;
  switch (k.type) {
    case KernelType::LinearKernel:
      return dotBound;
    case KernelType::PolyKernel: {
      if (k.d == 0) return 1.0;  // the dot is not even computed
      if (k.d < 0) return std::nullopt;
      const double base = 2.0 * (std::fabs(k.s) * dotBound + std::fabs(k.r));
      if (!bounded(base)) return std::nullopt;
      return 4.0 * std::pow(base, k.d);
    }
    case KernelType::RBFKernel: {
      if (!std::isfinite(k.g)) return std::nullopt;
      // |x|^2 + |y|^2 - 2 dot is exactly >= 0; rounding can take it below 0
      // by at most a few (features + 2) ulps of the norms.
      const double below = 16.0 * static_cast<double>(b.maxFeatures + 2) * DBL_EPSILON * b.maxNorm;
      const double range = 2.0 * (2.0 * b.maxNorm + 2.0 * dotBound);
      const double exponent = k.g >= 0.0 ? k.g * below : -k.g * range;
      if (!(exponent <= 700.0)) return std::nullopt;
      return 2.0 * std::exp(exponent);
    }
    case KernelType::SigmoidKernel:
      // tanh of anything but NaN is finite, and with finite s and r the
      // argument is never NaN.
      if (!std::isfinite(k.s) || !std::isfinite(k.r)) return std::nullopt;
      return 1.0;
    case KernelType::UserKernel:
      break;
  }
  return std::nullopt;
}

}  // namespace

bool entriesCertainlyFinite(const std::optional<StandardKernel>& kernel, double lambda,
                            const ElementView& examples) {
  if (!kernel) return false;
  const std::optional<WorkingSetBounds> b = measure(examples);
  if (!b) return false;
  const std::optional<double> k = kernelBound(*kernel, *b);
  const double lambda2 = lambda * lambda;
  if (!k || !bounded(*k) || !bounded(lambda2)) return false;
  const double entry = (b->maxTarget * b->maxTarget) * ((*k + lambda2) * 2.0);
  return bounded(entry);
}

}  // namespace kelvor
