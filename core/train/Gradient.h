// G = Q h, the product of the dual matrix and the lagrangians, which
// training rebuilds in every iteration.
//
// Each G_k is one running sum, from 0.0, of Q_ki * h_i over i ascending:
// the order in which the plain row-by-row walk (loopDualMatrix adding
// Q_ij * h_j to G_i and Q_ij * h_i to G_j) delivers the terms. Any
// schedule that keeps that order per k gives the same bits, so:
// - the cached block is streamed once, in storage order, four rows at a
//   time: each column chunk feeds the four rows' own sums (independent
//   chains, one vector lane each) and the chunk's column sums;
// - the entries beyond the block go through the kernel row by row, in the
//   walk's own order.
// A term with h_i == 0 adds +-0.0 to a sum that starts at +0.0 and so can
// never be -0.0; leaving it out changes nothing while Q_ki is finite
// (0 * inf is NaN). The block is checked for finiteness once; an entry
// beyond it is left out only when both its lagrangians are 0 and every
// entry is known in advance to be finite (EntryBounds.h).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/examples/ElementView.h"
#include "core/train/EntryRow.h"
#include "core/train/KernelCache.h"
#include "core/train/TrainingKernel.h"

namespace kelvor {

class GradientWalk {
 public:
  // The cache must outlive the walk and stay unchanged; a new cache needs
  // a new walk.
  GradientWalk(const KernelCache& cache, const std::optional<StandardKernel>& kernel);

  // Sets G = Q h; both have one entry per working-set position.
  void product(std::span<const double> h, std::span<double> G);

  // Kernel evaluations of the last product.
  std::int64_t kernelEvaluations() const { return evaluations_; }

 private:
  void blockDense(std::span<const double> h, std::span<double> G) const;
  // inBlock: how many of nonZero_ lie in the block.
  void blockSparse(std::span<const double> h, std::span<double> G, std::size_t inBlock) const;
  void beyondBlock(std::span<const double> h, std::span<double> G);

  const KernelCache& cache_;
  std::optional<StandardKernel> kernel_;
  ElementView view_;
  std::int32_t n_;
  std::int32_t block_;  // rows and columns 1..block_ are read from the matrix
  bool blockFinite_;
  // Decided at the first product that needs it, where the entries beyond
  // the block would be computed first.
  std::optional<bool> beyondFinite_;
  // The entries beyond the block, row by row.
  std::optional<EntryRow> entries_;
  std::vector<std::int32_t> nonZero_;  // 0-based positions with h != 0
  std::int64_t evaluations_ = 0;
};

}  // namespace kelvor
