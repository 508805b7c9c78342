// The error rates of a training run's own working set, read from its kernel
// cache wherever a cell holds exactly the double that classification would
// compute, so that the error table after training and the report lines
// need not evaluate the kernel for every support vector and example again.
//
// classify sums, over the support vectors p (highest position first),
// coef_p * t with t = K(x_p, x_m) + lambda^2 for the classified example m.
// Cell (i, j), i <= j, holds (y_i * y_j) * (K(x_j, x_i) + lambda^2). So
// when both targets are +1 or -1 a cell gives that t itself:
// - on the diagonal (p == m), where y_i * y_i is exactly 1;
// - off it, when the cell is finite: y_i * y_j is then +-1, and
//   multiplying the cell by it again gives back exactly the t that went
//   in. With p > m the cell's kernel value has the support
//   vector first, as classify has it. With p < m it has the two the other
//   way round, which is the same double only where the kernel is symmetric
//   bit for bit: the real-feature merge and the four kernels over it are,
//   while the string kernel is not symmetric at all and the tree kernel
//   adds its node pairs in an order that follows its argument order. So a
//   reversed cell is used only when the two examples do not both have
//   string features nor both have tree features.
// Every other t is computed as classify computes it, in classify's order.
#pragma once

#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "core/classification/Classify.h"
#include "core/train/KernelCache.h"
#include "core/train/TrainingKernel.h"

namespace kelvor {

// computeError(kernel, lambda, supportVectors, workingSet, 0.0, no output
// file, no sigmoid) for the working set, kernel and lambda of the cache,
// bit for bit, where supportVectors is getSupportVectors of the working
// set and h. Cells are read only for a standard kernel (`kernel`), whose
// symmetry is known; any other kernel is evaluated for every pair.
std::pair<ErrorRates, std::vector<double>> workingSetErrors(
    const KernelCache& cache, const std::optional<StandardKernel>& kernel,
    std::span<const double> h, const ExampleCollection& supportVectors);

}  // namespace kelvor
