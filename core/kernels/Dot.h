// The combined dot product of two examples: the normalised tree kernels of
// tree features with equal numbers, then the string kernels of string
// features with equal numbers, then the products of real features with equal
// indices, all added into one running sum in that order.
#pragma once

#include <cstdint>
#include <span>

#include "core/examples/Example.h"

namespace kelvor {

double dot(const Example& x, const Example& y);

inline std::int32_t featureNumber(const RealFeature& f) { return f.index; }
inline std::int32_t featureNumber(const StringFeature& f) { return f.number; }
inline std::int32_t featureNumber(const TreeFeature& f) { return f.number; }

// Walks two arrays ascending by feature number and adds f(a[i], b[j]) for
// every equal number. Arrays out of order are walked as they stand.
template <class F, class A, class B>
double sparseMergeLoop(F&& f, std::span<const A> a, std::span<const B> b, double acc) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::int32_t na = featureNumber(a[i]);
    const std::int32_t nb = featureNumber(b[j]);
    if (na < nb) {
      ++i;
    } else if (na == nb) {
      acc = acc + f(a[i], b[j]);
      ++i;
      ++j;
    } else {
      ++j;
    }
  }
  return acc;
}

// A left fold whose step may have effects; they happen in sequence order.
template <class Step, class Acc, class Range>
Acc foldSteps(Step&& step, Acc start, Range&& sequence) {
  Acc acc = std::move(start);
  for (auto&& e : sequence) acc = step(std::move(acc), e);
  return acc;
}

}  // namespace kelvor
