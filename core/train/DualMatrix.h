// The dual matrix Q of a training problem, entry by entry:
// Q_ij = (y_i * y_j) * (K(x_i, x_j) + lambda * lambda) over the working
// set of a kernel cache, read from the cache's block where it holds the
// entry and computed through the kernel otherwise. The string and tree
// kernels differ in the last bits with their argument order, so every
// entry, cached or not, takes the later example first.
//
// This is the plain reading; training's gradient walk (Gradient.h) gives
// the same doubles much faster.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/train/HalfMatrix.h"
#include "core/train/KernelCache.h"

namespace kelvor {

// (y_a * y_b) * (K(x_a, x_b) + lambda^2): the one formula of every
// computed entry and every cell of the block (cell (i, j), i <= j, is
// computedEntry(x_j, x_i, ...)).
inline double computedEntry(const Element& a, const Element& b, const KernelFunction& kernel,
                            double lambda2) {
  return (a.value * b.value) * (kernel(*a.example, *b.example) + lambda2);
}

// An entry outside the block (i or j beyond kernelCacheSize) is computed
// with the later example first, as the block's cell holds it.
inline double dualMatrixEntry(const KernelCache& cache, std::int32_t i, std::int32_t j) {
  const std::int32_t s = cache.kernelCacheSize;
  if (i > s || j > s) {
    const Examples& x = cache.kernelExamples;
    return computedEntry(x.at(std::max(i, j)), x.at(std::min(i, j)), cache.kernelInstance,
                         cache.kernelLambda * cache.kernelLambda);
  }
  return readMatrix(cache.kernelCache, i, j);
}

// For each row i ascending: r = rowAction(i, Q_ii), then for each j > i
// ascending: cellAction(i, j, Q_ij, r). Each entry is looked up just
// before the action that receives it.
template <class RowAction, class CellAction>
void loopDualMatrix(const KernelCache& cache, RowAction&& rowAction, CellAction&& cellAction) {
  const std::int32_t n = cache.kernelExamples.collectionSize();
  for (std::int32_t i = 1; i <= n; ++i) {
    auto r = rowAction(i, dualMatrixEntry(cache, i, i));
    for (std::int32_t j = i + 1; j <= n; ++j) cellAction(i, j, dualMatrixEntry(cache, i, j), r);
  }
}

// Writes the cell only inside the cache bound s.
inline void writeCachedEntry(std::int32_t s, HalfMatrix& matrix, std::int32_t i, std::int32_t j,
                             double value) {
  if (i <= s && j <= s) writeMatrix(matrix, i, j, value);
}

template <class Action>
void forIndices(std::int32_t from, std::int32_t to, Action&& action) {
  for (std::int64_t i = from; i <= to; ++i) action(static_cast<std::int32_t>(i));
}

}  // namespace kelvor
