// Whether every entry of a dual matrix is certainly a finite double whose
// computation cannot fail, decided once per working set before any entry
// is computed. Training may then leave out an entry whose two lagrangians
// are both 0: its terms are 0.0 * a finite value, which cannot change a
// gradient sum.
#pragma once

#include <optional>

#include "core/examples/ElementView.h"
#include "core/train/TrainingKernel.h"

namespace kelvor {

// Decided from the kernel's kind and parameters, lambda, the largest
// target and the examples' self-kernels, through the Cauchy-Schwarz bound
// |dot(x, y)| <= max(|x|^2, |y|^2) with generous room for rounding. Only
// examples with real features alone are covered: the string kernel is not
// symmetric and the tree kernel can fail on a pair whose self-kernels are
// fine, so any string or tree feature gives false, as does a kernel
// without a standard description.
bool entriesCertainlyFinite(const std::optional<StandardKernel>& kernel, double lambda,
                            const ElementView& examples);

}  // namespace kelvor
