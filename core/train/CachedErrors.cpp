#include "core/train/CachedErrors.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/examples/Collections.h"
#include "core/examples/ElementView.h"
#include "core/train/HalfMatrix.h"

namespace kelvor {

namespace {

// What of an example decides whether an off-diagonal cell can stand for
// classify's value.
struct CellTerms {
  double target = 0.0;
  bool unitTarget = false;  // +1 or -1
  bool strings = false;
  bool trees = false;
};

CellTerms cellTermsOf(const Element& e) {
  const Example& x = *e.example;
  return {e.value, e.value == 1.0 || e.value == -1.0, !x.vectorString().empty(),
          !x.vectorTree().empty()};
}

struct SupportVector {
  ExamplePtr example;
  double coef;
  std::int32_t position;
  CellTerms terms;  // only for a position inside the block
};

class CellReader {
 public:
  CellReader(const HalfMatrix& matrix, std::int32_t block) : cells_(matrix.arr.data()) {
    rowStarts_.reserve(static_cast<std::size_t>(block));
    for (std::int32_t i = 1; i <= block; ++i)
      rowStarts_.push_back(halfMatrixIndex(matrix.matrixLength, i, i));
  }
  std::int32_t block() const { return static_cast<std::int32_t>(rowStarts_.size()); }
  // Cell (i, j), i <= j <= block.
  double cell(std::int32_t i, std::int32_t j) const {
    return cells_[rowStarts_[static_cast<std::size_t>(i - 1)] + (j - i)];
  }

  // classify's K(x_p, x_m) + lambda^2 for support vector p and example m
  // (m inside the block), when a cell holds exactly that double.
  std::optional<double> term(const SupportVector& sv, std::int32_t m, const CellTerms& x) const {
    const std::int32_t p = sv.position;
    if (p > block()) return std::nullopt;
    if (!sv.terms.unitTarget || !x.unitTarget) return std::nullopt;
    if (p == m) return cell(m, m);
    if (p < m && ((sv.terms.strings && x.strings) || (sv.terms.trees && x.trees)))
      return std::nullopt;
    const double c = p > m ? cell(m, p) : cell(p, m);
    if (!std::isfinite(c)) return std::nullopt;
    return c * (sv.terms.target * x.target);
  }

 private:
  const double* cells_;
  std::vector<std::int64_t> rowStarts_;
};

}  // namespace

std::pair<ErrorRates, std::vector<double>> workingSetErrors(
    const KernelCache& cache, const std::optional<StandardKernel>& kernel,
    std::span<const double> h, const ExampleCollection& supportVectors) {
  const KernelFunction& k = cache.kernelInstance;
  const double lambda = cache.kernelLambda;
  const Examples& workingSet = cache.kernelExamples;
  const ElementView view(workingSet);
  const std::vector<std::int32_t> positions =
      supportVectorIndices(static_cast<std::int32_t>(h.size()), h);
  if (!kernel || static_cast<std::size_t>(std::max(view.size(), 0)) != h.size() ||
      static_cast<std::int64_t>(positions.size()) != supportVectors.collectionSize())
    return computeError(k, lambda, supportVectors, workingSet, 0.0, nullptr, std::nullopt, kernel);

  const CellReader cells(
      cache.kernelCache,
      std::max(std::min({view.size(), cache.kernelCacheSize, cache.kernelCache.matrixLength}), 0));
  std::vector<SupportVector> svs;
  svs.reserve(positions.size());
  Element slot;
  for (const Element& sv : supportVectors.collectionElems()) {
    const std::int32_t p = positions[svs.size()];
    svs.push_back({sv.example, sv.value, p, {}});
    if (p <= cells.block()) svs.back().terms = cellTermsOf(view.get(p, slot));
  }

  const double lambda2 = lambda * lambda;
  // An example beyond the block has no cell to read: classify it.
  SupportVectorSum beyond(k, lambda, supportVectors, kernel);
  return countErrors(
      [&](std::size_t index, const Element& e) {
        const auto m = static_cast<std::int32_t>(index + 1);
        const Example& x = *e.example;
        if (m > cells.block()) return beyond(x);
        const CellTerms terms = cellTermsOf(e);
        double acc = 0.0;
        for (const SupportVector& sv : svs) {
          std::optional<double> t = cells.term(sv, m, terms);
          if (!t) t = k(*sv.example, x) + lambda2;
          acc = acc + sv.coef * *t;
        }
        return acc;
      },
      workingSet, 0.0, nullptr, std::nullopt);
}

}  // namespace kelvor
