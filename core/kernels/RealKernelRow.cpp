#include "core/kernels/RealKernelRow.h"

#include <algorithm>
#include <cmath>

#include "core/kernels/Kernels.h"

namespace kelvor {

namespace {

// A dense row of more entries than this would cost more to clear and to
// keep in cache than the merge it replaces.
constexpr std::int32_t kMaxDenseIndex = 1 << 20;

bool strictlyAscending(std::span<const RealFeature> fs) {
  for (std::size_t i = 0; i < fs.size(); ++i)
    if (fs[i].index < 0 || (i > 0 && fs[i].index <= fs[i - 1].index)) return false;
  return true;
}

bool allFinite(std::span<const RealFeature> fs) {
  return std::all_of(fs.begin(), fs.end(),
                     [](const RealFeature& f) { return std::isfinite(f.value); });
}

}  // namespace

bool RealKernelRow::coversAll(std::span<const Element> examples, std::int32_t& maxIndex) {
  maxIndex = 0;
  for (const Element& e : examples) {
    const Example& x = *e.example;
    if (!coversRow(x)) return false;
    const auto fs = x.vectorReal().elems();
    if (!allFinite(fs)) return false;
    if (!fs.empty()) maxIndex = std::max(maxIndex, fs.back().index);
    if (maxIndex > kMaxDenseIndex) return false;
  }
  return true;
}

bool RealKernelRow::takes(const StandardKernel& kernel) {
  return kernel.type != KernelType::UserKernel &&
         !(kernel.type == KernelType::PolyKernel && kernel.d <= 0);
}

bool RealKernelRow::coversRow(const Example& x) {
  // The fields in the order the dot product first asks for them, so that
  // an example read from disk fails on the same field.
  return x.vectorTree().empty() && x.vectorString().empty() &&
         strictlyAscending(x.vectorReal().elems());
}

std::optional<RealKernelRow> RealKernelRow::over(const std::optional<StandardKernel>& kernel,
                                                 std::span<const Element> columns) {
  std::int32_t maxIndex = 0;
  if (!kernel || !takes(*kernel) || columns.empty() || !coversAll(columns, maxIndex))
    return std::nullopt;
  return RealKernelRow(*kernel, maxIndex);
}

RealKernelRow::RealKernelRow(const StandardKernel& kernel, std::int32_t maxIndex)
    : kernel_(kernel), row_(static_cast<std::size_t>(maxIndex) + 1, 0.0) {}

void RealKernelRow::setRow(const Example& x) {
  // The indices of the row before, kept by the row itself: the example
  // they came from may be gone (a collection read from disk makes its
  // examples as they are asked for).
  for (const std::int32_t i : rowIndices_) row_[static_cast<std::size_t>(i)] = 0.0;
  rowIndices_.clear();
  const auto limit = static_cast<std::int32_t>(row_.size()) - 1;
  for (const RealFeature& f : x.vectorReal().elems()) {
    if (f.index > limit) break;  // sorted: no later index can meet a column's
    row_[static_cast<std::size_t>(f.index)] = f.value;
    rowIndices_.push_back(f.index);
  }
  if (kernel_.type == KernelType::RBFKernel) rowNorm_ = x.twonorm_sq();
}

void RealKernelRow::values(std::span<const Example* const> ys, double* out) const {
  const double* row = row_.data();
  // One lane's products from feature t on.
  const auto addFrom = [&](std::span<const RealFeature> fs, std::size_t t, double acc) {
    for (; t < fs.size(); ++t) acc = acc + row[fs[t].index] * fs[t].value;
    return acc;
  };
  double dots[kLanes] = {0.0, 0.0, 0.0, 0.0};
  if (ys.size() == kLanes) {
    const std::span<const RealFeature> f0 = ys[0]->vectorReal().elems(),
                                       f1 = ys[1]->vectorReal().elems(),
                                       f2 = ys[2]->vectorReal().elems(),
                                       f3 = ys[3]->vectorReal().elems();
    const std::size_t common = std::min({f0.size(), f1.size(), f2.size(), f3.size()});
    double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;
    // Four independent chains, each in its own feature order.
    for (std::size_t t = 0; t < common; ++t) {
      a0 = a0 + row[f0[t].index] * f0[t].value;
      a1 = a1 + row[f1[t].index] * f1[t].value;
      a2 = a2 + row[f2[t].index] * f2[t].value;
      a3 = a3 + row[f3[t].index] * f3[t].value;
    }
    dots[0] = addFrom(f0, common, a0);
    dots[1] = addFrom(f1, common, a1);
    dots[2] = addFrom(f2, common, a2);
    dots[3] = addFrom(f3, common, a3);
  } else {
    for (std::size_t k = 0; k < ys.size(); ++k)
      dots[k] = addFrom(ys[k]->vectorReal().elems(), 0, 0.0);
  }
  for (std::size_t k = 0; k < ys.size(); ++k) {
    const double d = dots[k];
    switch (kernel_.type) {
      case KernelType::LinearKernel:
        out[k] = d;
        break;
      case KernelType::PolyKernel:
        out[k] = polynomialOfDot(kernel_.d, kernel_.s, kernel_.r, [d] { return d; });
        break;
      case KernelType::RBFKernel:
        out[k] = rbfOfDot(kernel_.g, rowNorm_ + ys[k]->twonorm_sq(), d);
        break;
      case KernelType::SigmoidKernel:
        out[k] = sigmoidOfDot(kernel_.s, kernel_.r, d);
        break;
      case KernelType::UserKernel:
        break;
    }
  }
}

}  // namespace kelvor
