// Building the kernel cache of a training run, and rebuilding it when
// sample selection grows the working set.
//
// The block holds, for rows and columns 1..rows of the working set, the
// entries of Q exactly as a computed entry gives them: cell (i, i) =
// (y_i * y_i) * (K(x_i, x_i) + lambda^2) and cell (i, j), i < j, =
// (y_i * y_j) * (K(x_j, x_i) + lambda^2). An entry beyond the block is
// computed in that same argument order, so the cache size changes how fast
// training runs, never what it computes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/examples/ElementView.h"
#include "core/examples/ExampleCollection.h"
#include "core/kernels/Kernels.h"
#include "core/train/InitialLagrangian.h"
#include "core/train/KernelCache.h"
#include "core/train/TrainingKernel.h"

namespace kelvor {

// The largest row count whose triangle of 8-byte cells fits in m
// megabytes: floor(0.5 * (sqrt(1 + m * 1024 * 1024) - 1)). A negative m is
// fatal.
std::int32_t cacheRowCount(std::int32_t megabytes);

struct CacheBuild {
  std::vector<double> h;  // the lagrangian of position p at p - 1
  KernelCache cache;
  double eta;  // 1.9 / D
};

// The largest absolute row sum of rows 1..rows of the matrix, reading cell
// (min(i, j), max(i, j)) for (i, j), each row summed over j ascending from
// 0.0. It bounds the largest eigenvalue of that block of Q, so a step
// factor of 1.9 over it keeps the simultaneous steps of a sweep from
// overshooting. A NaN row sum always replaces the bound.
double rowSumBound(const HalfMatrix& matrix, std::int32_t rows);

// rowSumBound over the whole working set of `view`: the cells of rows and
// columns 1..rows read from the matrix, every other entry computed once,
// as the training loop computes it. The step factor must bound all of Q,
// not just the block a cache of some size happens to hold.
double workingSetBound(const HalfMatrix& matrix, std::int32_t rows, const TrainingKernel& kernel,
                       double lambda2, const ElementView& view);

// Fills min(n, rows) rows, printing "." before every 100th row. D is the
// working-set bound (workingSetBound). The initial lagrangians are set in
// order, a later one for the same index winning; an index outside 1..n is
// fatal.
CacheBuild newKernelCache(std::int32_t megabytes, const TrainingKernel& kernel, double lambda,
                          const Examples& examples, std::span<const InitialLagrangian> initial);
inline CacheBuild newKernelCache(std::int32_t megabytes, const KernelFunction& kernel,
                                 double lambda, const Examples& examples,
                                 std::span<const InitialLagrangian> initial) {
  return newKernelCache(megabytes, customTrainingKernel(kernel), lambda, examples, initial);
}

struct CacheExtension {
  KernelCache cache;
  // 1.9 over the row-sum bound of the whole grown block, which replaces
  // the loop's step factor; absent when nothing was added, so that the loop
  // keeps its own.
  std::optional<double> etaCandidate;
};

// A cache over `workingSet`, whose positions 1..oldSize are those of the
// current cache's working set and whose positions oldSize+1..newSize were
// added. The cache bound stays; the matrix has newSize rows. Nothing is
// built when newSize == oldSize. Prints nothing.
std::optional<CacheExtension> extendKernelCache(const KernelCache& current, std::int32_t oldSize,
                                                std::int32_t newSize, const Examples& workingSet);

// Whether every cell of the matrix is finite.
bool allCellsFinite(const HalfMatrix& matrix);

}  // namespace kelvor
