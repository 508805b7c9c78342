#include "core/train/Gradient.h"

#include <algorithm>
#include <cstring>

#include "base/Fatal.h"
#include "core/train/DualMatrix.h"
#include "core/train/EntryBounds.h"
#include "core/train/KernelCacheBuild.h"

// No function here takes or gives a 32-byte vector by value: its calling
// convention differs between the AVX2 and the plain builds of a function,
// which GCC warns about and clang refuses. Vectors go by reference, and a
// scalar operand of a vector operation stands for four equal lanes.

namespace kelvor {

namespace {

// Four doubles, one per row of a block or per column of a chunk. The
// operations are element-wise IEEE operations, so every lane computes
// exactly what the scalar code would (no contraction into fused
// multiply-adds is allowed anywhere in the build).
using V4 = double __attribute__((vector_size(32)));

[[gnu::always_inline]] inline void load4(V4& v, const double* p) { std::memcpy(&v, p, sizeof v); }
[[gnu::always_inline]] inline void store4(double* p, const V4& v) { std::memcpy(p, &v, sizeof v); }

// Row i (0-based) of a triangle of dimension L, shifted so that row[j] is
// cell (i, j) for j >= i.
const double* rowOf(const double* cells, std::int64_t L, std::int64_t i) {
  return cells + (i * L - ((i * (i - 1)) >> 1) - i);
}

// The rows b..b+3 of a group.
[[gnu::always_inline]] inline void groupRows(const double* cells, std::int64_t L, std::int64_t b,
                                             const double* r[4]) {
  for (std::int64_t k = 0; k < 4; ++k) r[k] = rowOf(cells, L, b + k);
}

// A block of rows is taken sparsely when at most this share of its
// lagrangians is non-zero.
constexpr std::size_t kSparseShare = 8;

// Rows b..b+3 over the columns inside their group, row after row: a row's
// own sum starts only once the rows above it have added their column terms.
// Sets the four own sums so far.
[[gnu::always_inline]] inline void groupTriangle(const double* const r[4], std::int64_t b,
                                                 const double* hp, double* gp, V4& sums) {
  double own[4];
  for (std::int64_t k = 0; k < 4; ++k) {
    const std::int64_t i = b + k;
    double acc = gp[i] + r[k][i] * hp[i];
    for (std::int64_t j = i + 1; j < b + 4; ++j) {
      acc = acc + r[k][j] * hp[j];
      gp[j] = gp[j] + r[k][j] * hp[i];
    }
    own[k] = acc;
  }
  sums = V4{own[0], own[1], own[2], own[3]};
}

// The rows after the last whole group, one at a time. Inlined into both
// builds of the block walks: called at their end, it became a tail jump out
// of the AVX2 build that skipped the vzeroupper of its return, and the
// dirty upper halves then slowed every later scalar instruction (libm's exp
// took six times as long).
[[gnu::always_inline]] inline void lastRows(const double* cells, std::int64_t L, std::int64_t from,
                                            std::int64_t c, const double* hp, double* gp) {
  for (std::int64_t b = from; b < c; ++b) {
    const double* r = rowOf(cells, L, b);
    double acc = gp[b] + r[b] * hp[b];
    for (std::int64_t j = b + 1; j < c; ++j) {
      acc = acc + r[j] * hp[j];
      gp[j] = gp[j] + r[j] * hp[b];
    }
    gp[b] = acc;
  }
}

// The two block walks are built twice: with AVX2 where the processor has
// it (one instruction per four-lane operation) and for plain x86-64; the
// loader picks one.

// Every cell of the block, four rows at a time.
__attribute__((target_clones("avx2", "default"))) void denseBlock(const double* cells,
                                                                  std::int64_t L, std::int64_t c,
                                                                  const double* hp, double* gp) {
  std::int64_t b = 0;
  for (; b + 4 <= c; b += 4) {
    const double* r[4];
    groupRows(cells, L, b, r);
    V4 acc;
    groupTriangle(r, b, hp, gp, acc);
    const double h0 = hp[b], h1 = hp[b + 1], h2 = hp[b + 2], h3 = hp[b + 3];
    std::int64_t j = b + 4;
    for (; j + 4 <= c; j += 4) {
      V4 q0, q1, q2, q3, g;
      load4(q0, r[0] + j);
      load4(q1, r[1] + j);
      load4(q2, r[2] + j);
      load4(q3, r[3] + j);
      // Column sums: the four rows' terms in row order.
      load4(g, gp + j);
      g = g + q0 * h0;
      g = g + q1 * h1;
      g = g + q2 * h2;
      g = g + q3 * h3;
      store4(gp + j, g);
      // Own sums: the chunk transposed, one column at a time.
      const V4 lo01 = __builtin_shufflevector(q0, q1, 0, 4, 2, 6);
      const V4 hi01 = __builtin_shufflevector(q0, q1, 1, 5, 3, 7);
      const V4 lo23 = __builtin_shufflevector(q2, q3, 0, 4, 2, 6);
      const V4 hi23 = __builtin_shufflevector(q2, q3, 1, 5, 3, 7);
      acc = acc + __builtin_shufflevector(lo01, lo23, 0, 1, 4, 5) * hp[j];
      acc = acc + __builtin_shufflevector(hi01, hi23, 0, 1, 4, 5) * hp[j + 1];
      acc = acc + __builtin_shufflevector(lo01, lo23, 2, 3, 6, 7) * hp[j + 2];
      acc = acc + __builtin_shufflevector(hi01, hi23, 2, 3, 6, 7) * hp[j + 3];
    }
    for (; j < c; ++j) {
      double g = gp[j];
      g = g + r[0][j] * hp[b];
      g = g + r[1][j] * hp[b + 1];
      g = g + r[2][j] * hp[b + 2];
      g = g + r[3][j] * hp[b + 3];
      gp[j] = g;
      acc = acc + V4{r[0][j], r[1][j], r[2][j], r[3][j]} * hp[j];
    }
    store4(gp + b, acc);
  }
  lastRows(cells, L, b, c, hp, gp);
}

// Only the terms with h_j != 0 (nonZero, ascending, all below c): a group's
// own sums gather the non-zero columns, and only rows with h_i != 0 add
// their column terms. Exact when every cell is finite.
__attribute__((target_clones("avx2", "default"))) void sparseBlock(const double* cells,
                                                                   std::int64_t L, std::int64_t c,
                                                                   const double* hp, double* gp,
                                                                   const std::int32_t* nonZero,
                                                                   std::size_t nonZeroCount) {
  std::size_t first = 0;  // the first non-zero column after the group
  std::int64_t b = 0;
  for (; b + 4 <= c; b += 4) {
    const double* r[4];
    groupRows(cells, L, b, r);
    V4 acc;
    groupTriangle(r, b, hp, gp, acc);
    while (first < nonZeroCount && nonZero[first] < b + 4) ++first;
    for (std::size_t p = first; p < nonZeroCount; ++p) {
      const std::int64_t j = nonZero[p];
      acc = acc + V4{r[0][j], r[1][j], r[2][j], r[3][j]} * hp[j];
    }
    store4(gp + b, acc);
    for (std::int64_t k = 0; k < 4; ++k) {
      const double hi = hp[b + k];
      if (hi == 0.0) continue;
      std::int64_t j = b + 4;
      for (; j + 4 <= c; j += 4) {
        V4 g, q;
        load4(g, gp + j);
        load4(q, r[k] + j);
        store4(gp + j, g + q * hi);
      }
      for (; j < c; ++j) gp[j] = gp[j] + r[k][j] * hi;
    }
  }
  lastRows(cells, L, b, c, hp, gp);
}

}  // namespace

GradientWalk::GradientWalk(const KernelCache& cache, const std::optional<StandardKernel>& kernel)
    : cache_(cache),
      kernel_(kernel),
      view_(cache.kernelExamples),
      n_(std::max(view_.size(), 0)),
      block_(std::max(std::min(n_, cache.kernelCacheSize), 0)),
      blockFinite_(allCellsFinite(cache.kernelCache)) {
  nonZero_.reserve(static_cast<std::size_t>(n_));
  if (n_ > block_)
    entries_.emplace(cache.kernelInstance, kernel_, cache.kernelLambda * cache.kernelLambda, view_);
}

void GradientWalk::product(std::span<const double> h, std::span<double> G) {
  std::fill(G.begin(), G.end(), 0.0);
  evaluations_ = 0;
  if (block_ > cache_.kernelCache.matrixLength) fail("readMatrix: matrix index out of bounds");
  nonZero_.clear();
  for (std::int32_t i = 0; i < n_; ++i)
    if (h[static_cast<std::size_t>(i)] != 0.0) nonZero_.push_back(i);
  const auto inBlock = static_cast<std::size_t>(
      std::lower_bound(nonZero_.begin(), nonZero_.end(), block_) - nonZero_.begin());
  if (blockFinite_ && inBlock * kSparseShare <= static_cast<std::size_t>(block_))
    blockSparse(h, G, inBlock);
  else
    blockDense(h, G);
  if (n_ > block_) beyondBlock(h, G);
}

void GradientWalk::blockDense(std::span<const double> h, std::span<double> G) const {
  denseBlock(cache_.kernelCache.arr.data(), cache_.kernelCache.matrixLength, block_, h.data(),
             G.data());
}

void GradientWalk::blockSparse(std::span<const double> h, std::span<double> G,
                               std::size_t inBlock) const {
  sparseBlock(cache_.kernelCache.arr.data(), cache_.kernelCache.matrixLength, block_, h.data(),
              G.data(), nonZero_.data(), inBlock);
}

void GradientWalk::beyondBlock(std::span<const double> h, std::span<double> G) {
  if (!beyondFinite_) beyondFinite_ = entriesCertainlyFinite(kernel_, cache_.kernelLambda, view_);
  const bool mayLeaveOut = *beyondFinite_;
  const KernelFunction& kernel = cache_.kernelInstance;
  const double lambda2 = cache_.kernelLambda * cache_.kernelLambda;
  Element rowSlot;
  for (std::int32_t i = 1; i <= n_; ++i) {
    const double hi = h[static_cast<std::size_t>(i - 1)];
    const bool diagonal = i > block_;  // row i's own entry is computed too
    const std::int32_t from = diagonal ? i + 1 : block_ + 1;
    // With h_i == 0 only the columns with h_j != 0 add anything, and only
    // to row i's own sum.
    const bool sparseRow = mayLeaveOut && hi == 0.0;
    const auto firstNonZero = std::lower_bound(nonZero_.begin(), nonZero_.end(), from - 1);
    if (sparseRow && firstNonZero == nonZero_.end()) continue;
    const Element& xi = view_.get(i, rowSlot);
    double acc = G[static_cast<std::size_t>(i - 1)];
    if (diagonal && !sparseRow) {
      ++evaluations_;
      acc = acc + computedEntry(xi, xi, kernel, lambda2) * hi;
    }
    if (sparseRow) {
      const auto count = static_cast<std::size_t>(nonZero_.end() - firstNonZero);
      evaluations_ += static_cast<std::int64_t>(count);
      entries_->forColumns(
          xi, count,
          [&](std::size_t c) { return firstNonZero[static_cast<std::ptrdiff_t>(c)] + 1; },
          [&](std::int32_t j, double q) { acc = acc + q * h[static_cast<std::size_t>(j - 1)]; });
    } else {
      evaluations_ += n_ - from + 1;
      entries_->forRange(xi, from, n_, [&](std::int32_t j, double q) {
        acc = acc + q * h[static_cast<std::size_t>(j - 1)];
        G[static_cast<std::size_t>(j - 1)] = G[static_cast<std::size_t>(j - 1)] + q * hi;
      });
    }
    G[static_cast<std::size_t>(i - 1)] = acc;
  }
}

}  // namespace kelvor
