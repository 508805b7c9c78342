#include "core/kernels/Dot.h"

#include "core/kernels/StringKernel.h"
#include "core/kernels/TreeKernel.h"

namespace kelvor {

double dot(const Example& x, const Example& y) {
  double acc = 0.0;
  acc = sparseMergeLoop(
      [](const TreeFeature& a, const TreeFeature& b) { return normalizedTreeKernel(a, b); },
      x.vectorTree().elems(), y.vectorTree().elems(), acc);
  acc = sparseMergeLoop([](const StringFeature& a,
                           const StringFeature& b) { return stringKernel(a.tokens, b.tokens); },
                        x.vectorString().elems(), y.vectorString().elems(), acc);
  acc =
      sparseMergeLoop([](const RealFeature& a, const RealFeature& b) { return a.value * b.value; },
                      x.vectorReal().elems(), y.vectorReal().elems(), acc);
  return acc;
}

}  // namespace kelvor
