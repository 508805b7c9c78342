#include "core/train/KernelCacheBuild.h"

#include <algorithm>
#include <cmath>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/NumberText.h"
#include "core/examples/ElementView.h"
#include "core/train/DualMatrix.h"
#include "core/train/EntryRow.h"
#include "core/train/HalfMatrix.h"

namespace kelvor {

namespace {

// Rows 1..rows of the block, in storage order.
void fillBlock(HalfMatrix& matrix, std::int32_t rows, const TrainingKernel& kernel, double lambda2,
               const ElementView& view) {
  EntryRow entries(kernel.function, kernel.standard, lambda2, view);
  Element rowSlot;
  double* cell = matrix.arr.data();
  for (std::int32_t i = 1; i <= rows; ++i) {
    if (i % 100 == 0) printOut(".");
    const Element& xi = view.get(i, rowSlot);
    *cell++ = computedEntry(xi, xi, kernel.function, lambda2);
    entries.forRange(xi, i + 1, rows, [&](std::int32_t, double q) { *cell++ = q; });
  }
}

// The largest of the row sums, a NaN sum always replacing the bound.
double largestSum(const std::vector<double>& sums) {
  double d = 0.0;
  for (const double r : sums)
    if (d < r || std::isnan(r)) d = r;
  return d;
}

// Adds |Q_ij| (i <= j) to row i's sum and, off the diagonal, to row j's.
// Walking the rows in order and each row's columns ascending, every row
// receives its terms (a, i), a < i, in a ascending before its own row, so
// each sum still runs over j ascending.
struct RowSums {
  std::vector<double> sums;
  void add(std::int32_t i, std::int32_t j, double q) {
    const double a = std::fabs(q);
    double& own = sums[static_cast<std::size_t>(i - 1)];
    own = own + a;
    if (j != i) {
      double& other = sums[static_cast<std::size_t>(j - 1)];
      other = other + a;
    }
  }
  // Row i's cells (i, i..rows) of the block.
  void addCells(const HalfMatrix& matrix, std::int32_t i, std::int32_t rows) {
    const double* cell = matrix.arr.data() + halfMatrixIndex(matrix.matrixLength, i, i);
    for (std::int32_t j = i; j <= rows; ++j) add(i, j, cell[j - i]);
  }
};

}  // namespace

double rowSumBound(const HalfMatrix& matrix, std::int32_t rows) {
  RowSums r{std::vector<double>(static_cast<std::size_t>(std::max(rows, 0)), 0.0)};
  for (std::int32_t i = 1; i <= rows; ++i) r.addCells(matrix, i, rows);
  return largestSum(r.sums);
}

double workingSetBound(const HalfMatrix& matrix, std::int32_t rows, const TrainingKernel& kernel,
                       double lambda2, const ElementView& view) {
  const std::int32_t n = std::max(view.size(), 0);
  if (rows >= n) return rowSumBound(matrix, n);
  RowSums r{std::vector<double>(static_cast<std::size_t>(n), 0.0)};
  EntryRow entries(kernel.function, kernel.standard, lambda2, view);
  Element rowSlot;
  for (std::int32_t i = 1; i <= n; ++i) {
    const Element& xi = view.get(i, rowSlot);
    if (i <= rows)
      r.addCells(matrix, i, rows);
    else
      r.add(i, i, computedEntry(xi, xi, kernel.function, lambda2));
    entries.forRange(xi, std::max(i, rows) + 1, n,
                     [&](std::int32_t j, double q) { r.add(i, j, q); });
  }
  return largestSum(r.sums);
}

std::int32_t cacheRowCount(std::int32_t megabytes) {
  if (megabytes < 0)
    fail("The kernel cache size must be 0 or more megabytes, not " + showInt(megabytes));
  const double cells = (static_cast<double>(megabytes) * 1024.0) * 1024.0;
  const double rows = std::floor((std::sqrt(1.0 + cells) - 1.0) * 0.5);
  // At most about 23.7 million rows for the largest Int budget.
  return static_cast<std::int32_t>(rows);
}

CacheBuild newKernelCache(std::int32_t megabytes, const TrainingKernel& kernel, double lambda,
                          const Examples& examples, std::span<const InitialLagrangian> initial) {
  const std::int32_t s = cacheRowCount(megabytes);
  const std::int32_t n = std::max<std::int32_t>(examples.collectionSize(), 0);
  std::vector<double> h(static_cast<std::size_t>(n), 0.0);
  const std::int32_t rows = std::min(n, s);
  HalfMatrix matrix = newMatrix(rows);
  const double lambda2 = lambda * lambda;
  const ElementView view(examples);
  fillBlock(matrix, rows, kernel, lambda2, view);
  const double d = workingSetBound(matrix, rows, kernel, lambda2, view);
  for (const InitialLagrangian& l : initial) {
    if (l.index < 1 || l.index > n) failIndex(l.index, 1, n);
    h[static_cast<std::size_t>(l.index - 1)] = l.value;
  }
  return CacheBuild{std::move(h),
                    KernelCache{s, std::move(matrix), kernel.function, examples, lambda}, 1.9 / d};
}

std::optional<CacheExtension> extendKernelCache(const KernelCache& current, std::int32_t oldSize,
                                                std::int32_t newSize, const Examples& workingSet) {
  if (newSize == oldSize) return std::nullopt;
  const std::int32_t b = current.kernelCacheSize;
  const HalfMatrix& old = current.kernelCache;
  HalfMatrix matrix = newMatrix(newSize);

  // The old block moves over row by row; an entry of the old working set
  // beyond the bound would be computed only to be dropped.
  const std::int32_t copied = std::max(std::min(oldSize, b), 0);
  if (copied > newSize) fail("writeMatrix: matrix index out of bounds");
  if (copied > old.matrixLength) fail("readMatrix: matrix index out of bounds");
  for (std::int32_t i = 1; i <= copied; ++i) {
    const auto from = old.arr.begin() + halfMatrixIndex(old.matrixLength, i, i);
    std::copy(from, from + (copied - i + 1), matrix.arr.begin() + halfMatrixIndex(newSize, i, i));
  }

  const double lambda2 = current.kernelLambda * current.kernelLambda;
  const KernelFunction& kernel = current.kernelInstance;
  const ElementView view(workingSet);
  Element rowSlot, columnSlot;
  for (std::int32_t p = oldSize + 1; p <= std::min(newSize, b); ++p) {
    const Element& xp = view.get(p, rowSlot);
    writeMatrix(matrix, p, p, computedEntry(xp, xp, kernel, lambda2));
    // The earlier position goes second, as in a fresh build.
    for (std::int32_t j = p + 1; j <= std::min(newSize, b); ++j)
      writeMatrix(matrix, p, j, computedEntry(view.get(j, columnSlot), xp, kernel, lambda2));
    for (std::int32_t j = 1; j <= std::min(oldSize, b); ++j)
      writeMatrix(matrix, j, p, computedEntry(xp, view.get(j, columnSlot), kernel, lambda2));
  }
  std::optional<double> candidate;
  if (newSize > oldSize) candidate = 1.9 / rowSumBound(matrix, std::min(newSize, b));
  return CacheExtension{KernelCache{b, std::move(matrix), kernel, workingSet, current.kernelLambda},
                        candidate};
}

bool allCellsFinite(const HalfMatrix& matrix) {
  return std::all_of(matrix.arr.begin(), matrix.arr.end(),
                     [](double v) { return std::isfinite(v); });
}

}  // namespace kelvor
