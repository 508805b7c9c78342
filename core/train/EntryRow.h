// Dual-matrix entries one row at a time, over any ascending run of columns:
// Q_ij = (y_j * y_i) * (K(x_j, x_i) + lambda^2), the later example first,
// as the cache's cells hold them (the string and tree kernels differ in the
// last bits with their argument order). The cache fill, the step factor's
// bound and the gradient beyond the cache all take their entries here, so
// an entry is the same double wherever it is computed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/examples/ElementView.h"
#include "core/kernels/Kernels.h"
#include "core/kernels/RealKernelRow.h"
#include "core/kernels/StandardKernel.h"
#include "core/train/DualMatrix.h"

namespace kelvor {

class EntryRow {
 public:
  // The kernel and the view must outlive the row. Where the kernel is
  // standard and every example has real features alone, the entries come
  // four columns at a time (RealKernelRow, symmetric to the bit there).
  EntryRow(const KernelFunction& kernel, const std::optional<StandardKernel>& standard,
           double lambda2, const ElementView& view)
      : kernel_(kernel),
        lambda2_(lambda2),
        view_(view),
        row_(RealKernelRow::over(standard, view.direct())) {}

  // use(j, Q_ij) for j = column(0), ..., column(count - 1), ascending, in
  // that order; xi is the row's element.
  template <class Column, class Use>
  void forColumns(const Element& xi, std::size_t count, Column&& column, Use&& use) {
    if (!row_) {
      for (std::size_t c = 0; c < count; ++c) {
        const std::int32_t j = column(c);
        use(j, computedEntry(view_.get(j, slot_), xi, kernel_, lambda2_));
      }
      return;
    }
    const std::span<const Element> elems = view_.direct();
    const auto at = [&](std::size_t c) -> const Element& {
      return elems[static_cast<std::size_t>(column(c) - 1)];
    };
    row_->setRow(*xi.example);
    row_->forEach(
        count, [&](std::size_t c) -> const Example& { return *at(c).example; },
        [&](std::size_t c, double k) {
          use(column(c), (at(c).value * xi.value) * (k + lambda2_));
        });
  }

  // use(j, Q_ij) for j = from..to ascending; nothing when from > to.
  template <class Use>
  void forRange(const Element& xi, std::int32_t from, std::int32_t to, Use&& use) {
    if (from > to) return;
    forColumns(
        xi, static_cast<std::size_t>(to - from + 1),
        [from](std::size_t c) { return from + static_cast<std::int32_t>(c); }, use);
  }

 private:
  const KernelFunction& kernel_;
  double lambda2_;
  const ElementView& view_;
  std::optional<RealKernelRow> row_;
  Element slot_;  // a column fetched one at a time
};

}  // namespace kelvor
