#include "core/TreeKernel.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/Fatal.h"
#include "core/KernelParams.h"

// The kernel sums, over node pairs (x, y) of equal production, a value C
// that counts common structure down to maxd levels. Written by remaining
// levels r = maxd - d:
//   C_0(x, y) = lambda;
//   C_r(x, y) = lambda for two leaves, and otherwise
//               lambda * prod over child pairs (a, b) of (1 + C_{r-1}(a, b)),
//   children of x outer, children of y inner, where C of a pair with
//   different productions is 0.0.
// Multiplying by 1 + 0.0 = 1.0 changes nothing, so only child pairs of equal
// production are visited. C_r is also the same computation for every r at or
// above min(height(x), height(y)) (induction over height), so each pair
// keeps at most min(maxd, 1 + that) values and deeper requests read the last.
// Pairs are filled bottom-up (children follow their parent in pre-order, so
// descending node index), without recursion, and each pair's slot is found
// in O(1) from the ranks of its nodes within their production groups.
//
// The final sum takes the pairs in the order (first tree's node, second
// tree's node), both in pre-order; the pairs left out would add +0.0 to a
// sum that starts at +0.0 and so can never be -0.0.

namespace kelvor {

KernelTreePtr KernelTree::make(ParseTree tree) {
  TreeShape shape = TreeShape::of(tree);
  return KernelTreePtr(new KernelTree(std::move(tree), std::move(shape)));
}

namespace {

struct Scratch {
  // Per group of the first tree: the group of the second tree with the same
  // production (-1 when none), and the first pair slot of the group pair.
  std::vector<std::int32_t> match;
  std::vector<std::size_t> base;
  // `layers` values per pair: C_0 .. C_{layers-1}.
  std::vector<double> values;
  // The matching child pairs of the pair being filled: slot and top layer.
  std::vector<std::pair<std::size_t, std::int32_t>> childPairs;
};

Scratch& scratch() {
  thread_local Scratch s;
  return s;
}

[[noreturn]] void failLeafWithInnerNode() { failPattern("Kelvor|function calcC"); }

}  // namespace

double treeKernel(double lambda, std::int32_t maxd, const TreeShape& t1, const TreeShape& t2) {
  if (maxd <= 0) return 0.0;
  Scratch& sc = scratch();
  const auto groups1 = t1.groups();
  const auto groups2 = t2.groups();

  // Pair up the groups (both ascending by production) and lay out the slots.
  sc.match.assign(groups1.size(), -1);
  sc.base.assign(groups1.size(), 0);
  std::size_t pairs = 0;
  bool leafWithInner = false;
  for (std::size_t g = 0, h = 0; g < groups1.size() && h < groups2.size();) {
    if (groups1[g].production < groups2[h].production) {
      ++g;
    } else if (groups2[h].production < groups1[g].production) {
      ++h;
    } else {
      sc.match[g] = static_cast<std::int32_t>(h);
      sc.base[g] = pairs;
      pairs +=
          static_cast<std::size_t>(groups1[g].size()) * static_cast<std::size_t>(groups2[h].size());
      leafWithInner = leafWithInner || (groups1[g].hasLeaf && groups2[h].hasInner) ||
                      (groups1[g].hasInner && groups2[h].hasLeaf);
      ++g;
      ++h;
    }
  }
  if (pairs == 0) return 0.0;
  // Every pair of equal production is evaluated at the top depth, and such
  // a pair has no value below maxd.
  if (leafWithInner && maxd >= 2) failLeafWithInnerNode();

  const std::int32_t layers = static_cast<std::int32_t>(
      std::min<std::int64_t>(maxd, 1 + std::min(t1.maxHeight(), t2.maxHeight())));
  const std::int32_t topLayer = layers - 1;
  sc.values.resize(pairs * static_cast<std::size_t>(layers));
  double* values = sc.values.data();

  const auto slotOf = [&](const TreeShape::Node& a, const TreeShape::Node& b) {
    const auto g = static_cast<std::size_t>(a.group);
    const auto& partner = groups2[static_cast<std::size_t>(sc.match[g])];
    return sc.base[g] +
           static_cast<std::size_t>(a.rank) * static_cast<std::size_t>(partner.size()) +
           static_cast<std::size_t>(b.rank);
  };
  const auto topOf = [topLayer](const TreeShape::Node& a, const TreeShape::Node& b) {
    return std::min(topLayer, std::min(a.height, b.height));
  };

  for (std::int32_t i = t1.size(); i-- > 0;) {
    const TreeShape::Node& x = t1.node(i);
    const std::int32_t partner = sc.match[static_cast<std::size_t>(x.group)];
    if (partner < 0) continue;
    const auto& group2 = groups2[static_cast<std::size_t>(partner)];
    for (std::int32_t j : t2.groupNodes(group2)) {
      const TreeShape::Node& y = t2.node(j);
      double* slot = values + slotOf(x, y) * static_cast<std::size_t>(layers);
      slot[0] = lambda;
      // Above layer 0 both are inner nodes: a leaf has height 0.
      const std::int32_t top = topOf(x, y);
      if (top == 0) continue;
      sc.childPairs.clear();
      for (std::int32_t ai : t1.children(x)) {
        const TreeShape::Node& a = t1.node(ai);
        if (sc.match[static_cast<std::size_t>(a.group)] < 0) continue;
        for (std::int32_t bi : t2.children(y)) {
          const TreeShape::Node& b = t2.node(bi);
          if (b.production == a.production) sc.childPairs.emplace_back(slotOf(a, b), topOf(a, b));
        }
      }
      for (std::int32_t r = 1; r <= top; ++r) {
        double product = 1.0;
        for (const auto& [childSlot, childTop] : sc.childPairs)
          product = product * (1.0 + values[childSlot * static_cast<std::size_t>(layers) +
                                            static_cast<std::size_t>(std::min(r - 1, childTop))]);
        slot[r] = lambda * product;
      }
    }
  }

  double sum = 0.0;
  for (const TreeShape::Node& x : t1.nodes()) {
    const std::int32_t partner = sc.match[static_cast<std::size_t>(x.group)];
    if (partner < 0) continue;
    for (std::int32_t j : t2.groupNodes(groups2[static_cast<std::size_t>(partner)])) {
      const TreeShape::Node& y = t2.node(j);
      sum = sum + values[slotOf(x, y) * static_cast<std::size_t>(layers) +
                         static_cast<std::size_t>(topOf(x, y))];
    }
  }
  return sum;
}

double selfTreeKernel(const KernelTree& t) {
  const double lambda = cur_tlambda();
  const std::int32_t maxd = cur_tmaxd();
  return treeKernel(lambda, maxd, t, t);
}

double normalizedTreeKernel(const TreeFeature& a, const TreeFeature& b) {
  const double lambda = cur_tlambda();
  const std::int32_t maxd = cur_tmaxd();
  return treeKernel(lambda, maxd, *a.tree, *b.tree) / std::sqrt(a.selfKernel * b.selfKernel);
}

}  // namespace kelvor
