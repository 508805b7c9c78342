// Kernel values of one example against many, for examples with real
// features alone: the hot loops of training evaluate whole rows of kernel
// values that way.
//
// The dot product of two sorted sparse vectors is one chain of dependent
// additions, and the chain's latency, not the arithmetic, bounds it. So the
// row's example is spread once into a dense array (0.0 where it has no
// feature), and the dot products of four other examples run side by side,
// each walking its own features. Each sum adds the products of equal
// indices in ascending index order, starting from 0.0, exactly as the
// merge does (a product is the same double with its factors swapped); an
// index the row lacks adds 0.0 times a finite value, a signed zero, which
// leaves every sum as it was (a sum that starts at +0.0 is never -0.0).
// The kernel is then applied through the very functions the kernel
// functions use: every value is the one K(row, y) gives, bit for bit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/examples/Example.h"
#include "core/examples/ExampleCollection.h"
#include "core/kernels/StandardKernel.h"

namespace kelvor {

class RealKernelRow {
 public:
  static constexpr int kLanes = 4;

  // Whether the kernel's values come from the dot product, as rows need:
  // not the user kernel, which has no function of its own, nor a
  // polynomial of degree 0 or less, which never looks at its examples or
  // fails before it would.
  static bool takes(const StandardKernel& kernel);

  // Whether every example can be a column: no string or tree feature, real
  // indices strictly ascending from 0 (a merge with a repeated index pairs
  // its features one by one, which a dense row cannot), finite values (0.0
  // times an infinity is NaN), and the largest index small enough for a
  // dense row. Gives that index in `maxIndex`.
  static bool coversAll(std::span<const Element> examples, std::int32_t& maxIndex);

  // Whether x can be the row: real features alone, indices strictly
  // ascending from 0. Any values; indices beyond the columns' largest
  // never meet a column's and are left out.
  static bool coversRow(const Example& x);

  // A row for these columns, when the kernel is a standard one it takes
  // and every column is covered; otherwise nothing, and the caller goes
  // through the kernel function.
  static std::optional<RealKernelRow> over(const std::optional<StandardKernel>& kernel,
                                           std::span<const Element> columns);

  // Columns with indices up to maxIndex, for a kernel it takes.
  RealKernelRow(const StandardKernel& kernel, std::int32_t maxIndex);

  // Makes x the row's example; x must be covered.
  void setRow(const Example& x);

  // K(row, ys[k]) into out[k] for k < ys.size() <= kLanes; every ys[k] a
  // column as above.
  void values(std::span<const Example* const> ys, double* out) const;

  // K(row, exampleOf(c)) for c = 0 .. count - 1, handed to use(c, value) in
  // that order.
  template <class ExampleOf, class Use>
  void forEach(std::size_t count, ExampleOf&& exampleOf, Use&& use) const {
    const Example* ys[kLanes];
    double k[kLanes];
    for (std::size_t c = 0; c < count; c += kLanes) {
      const std::size_t lanes = count - c < kLanes ? count - c : kLanes;
      for (std::size_t l = 0; l < lanes; ++l) ys[l] = &exampleOf(c + l);
      values(std::span<const Example* const>(ys, lanes), k);
      for (std::size_t l = 0; l < lanes; ++l) use(c + l, k[l]);
    }
  }

 private:
  StandardKernel kernel_;
  std::vector<double> row_;               // the row's values by index, 0.0 elsewhere
  std::vector<std::int32_t> rowIndices_;  // where row_ holds a value
  double rowNorm_ = 0.0;
};

}  // namespace kelvor
