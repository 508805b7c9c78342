// The tree kernel: every pair of nodes, one from each tree, with the same
// production (tag and child tags) adds a weight that grows with the common
// structure below the pair, counted down to a maximum depth and damped by
// lambda at every level.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "core/examples/Features.h"
#include "core/kernels/TreeShape.h"
#include "trees/AnnTree.h"

namespace kelvor {

// A parse tree as the kernel sees it, built once when the tree is read and
// shared from then on. The tree itself is kept only in the compact form of
// its shape and given back on demand (for printing and comparing).
class KernelTree {
 public:
  static KernelTreePtr make(const ParseTree& tree);
  // Reads one bracketed tree from the front of the text, as treeParserP
  // reads it; nothing when the text is no tree (treeParserP, run again on
  // the text, says why).
  static std::optional<KernelTreePtr> read(std::string_view text);

  ParseTree tree() const { return shape_.tree(); }
  const TreeShape& shape() const { return shape_; }

  explicit KernelTree(TreeShape shape) : shape_(std::move(shape)) {}

 private:
  TreeShape shape_;
};

// A maximum depth of 0 or less gives 0.0. A leaf and a childless inner node
// with the same tag stop the program when the depth is 2 or more.
double treeKernel(double lambda, std::int32_t maxd, const TreeShape& t1, const TreeShape& t2);

inline double treeKernel(double lambda, std::int32_t maxd, const KernelTree& t1,
                         const KernelTree& t2) {
  return treeKernel(lambda, maxd, t1.shape(), t2.shape());
}

// For trees of any annotation, which is ignored.
template <class A>
double treeKernel(double lambda, std::int32_t maxd, const AnnTree<A>& t1, const AnnTree<A>& t2) {
  return treeKernel(lambda, maxd, TreeShape::of(t1), TreeShape::of(t2));
}

// The kernel of a tree with itself under the process-wide tree parameters
// (cur_tlambda, cur_tmaxd), as stored beside every tree feature.
double selfTreeKernel(const KernelTree& t);

// The kernel under the process-wide parameters divided by
// sqrt(a.selfKernel * b.selfKernel). The denominator is not checked: a zero
// product gives an infinity or NaN, as the division does.
double normalizedTreeKernel(const TreeFeature& a, const TreeFeature& b);

}  // namespace kelvor
