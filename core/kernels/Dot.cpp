#include "core/kernels/Dot.h"

#include "core/kernels/StringKernel.h"
#include "core/kernels/TreeKernel.h"

namespace kelvor {

namespace {

// The real-feature merge as a function of its own. Inlined into dot, whose
// running sum also lives across the calls of the tree and string kernels,
// the sum was kept on the stack, and every product paid a store and a
// reload; here it stays in a register.
[[gnu::noinline]] double addRealProducts(std::span<const RealFeature> a,
                                         std::span<const RealFeature> b, double acc) {
  return sparseMergeLoop(
      [](const RealFeature& p, const RealFeature& q) { return p.value * q.value; }, a, b, acc);
}

}  // namespace

double dot(const Example& x, const Example& y) {
  double acc = 0.0;
  acc = sparseMergeLoop(
      [](const TreeFeature& a, const TreeFeature& b) { return normalizedTreeKernel(a, b); },
      x.vectorTree().elems(), y.vectorTree().elems(), acc);
  acc = sparseMergeLoop([](const StringFeature& a,
                           const StringFeature& b) { return stringKernel(a.tokens, b.tokens); },
                        x.vectorString().elems(), y.vectorString().elems(), acc);
  return addRealProducts(x.vectorReal().elems(), y.vectorReal().elems(), acc);
}

}  // namespace kelvor
