#include "core/kernels/TreeKernel.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/Fatal.h"
#include "core/kernels/KernelParams.h"
#include "trees/TreeReader.h"

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
// above min(height(x), height(y)) (induction over height), so a pair needs
// at most min(maxd, 1 + that) values and deeper requests read the last; two
// leaves need none (always lambda).
// Pairs are filled bottom-up (children follow their parent in pre-order, so
// descending node index), without recursion, and each pair's slot is found
// in O(1) from the ranks of its nodes within their production groups.
//
// The final sum takes the pairs in the order (first tree's node, second
// tree's node), both in pre-order; the pairs left out would add +0.0 to a
// sum that starts at +0.0 and so can never be -0.0.

namespace kelvor {

KernelTreePtr KernelTree::make(const ParseTree& tree) {
  return std::make_shared<const KernelTree>(TreeShape::of(tree));
}

std::optional<KernelTreePtr> KernelTree::read(std::string_view text) {
  TreeShape::Builder& b = TreeShape::Builder::local();
  b.reset();
  ReadCursor c = ReadCursor::withoutReport(text);
  if (!readTreeWith(c, b).ok()) return std::nullopt;
  return std::make_shared<const KernelTree>(b.finish());
}

namespace {

struct Scratch {
  // Per group of the first tree: the group of the second tree with the same
  // production (-1 when none), and the first slot of the group pair.
  std::vector<std::int32_t> match;
  std::vector<std::size_t> base;
  std::vector<std::size_t> partnerSize;  // the size of that group of the second tree
  // `layers` values per pair of inner nodes: C_0 .. C_{layers-1}.
  std::vector<double> values;
  // The matching child pairs of the pair being filled: slot and top layer.
  std::vector<std::pair<std::size_t, std::int32_t>> childPairs;
};

Scratch& scratch() {
  thread_local Scratch s;
  return s;
}

[[noreturn]] void failLeafWithInnerNode() { failPattern("Kelvor|function calcC"); }

// One evaluation: the two trees, their matched groups and the value slots.
// A pair whose top layer is 0 (two leaves, or maxd 1) is lambda and has no
// slot; only pairs of inner nodes are stored.
class Evaluation {
 public:
  Evaluation(double lambda, std::int32_t maxd, const TreeShape& t1, const TreeShape& t2)
      : lambda_(lambda),
        t1_(t1),
        t2_(t2),
        nodes1_(t1.nodes().data()),
        nodes2_(t2.nodes().data()),
        starts1_(t1.groupStarts()),
        starts2_(t2.groupStarts()),
        list1_(t1.groupList()),
        list2_(t2.groupList()),
        sc_(scratch()),
        layers_(static_cast<std::int32_t>(
            std::min<std::int64_t>(maxd, 1 + std::min(t1.maxHeight(), t2.maxHeight())))) {}

  // Pairs up the groups (both ascending by production) and lays out the
  // slots; false when no production is shared.
  bool matchGroups(std::int32_t maxd) {
    const std::size_t count1 = starts1_.size() - 1, count2 = starts2_.size() - 1;
    sc_.match.assign(count1, -1);
    sc_.base.assign(count1, 0);
    sc_.partnerSize.resize(count1);
    bool any = false, leafWithInner = false;
    // Without a childless inner node every group is all leaves or all inner
    // nodes, and equal productions agree on which.
    const bool mixedGroupsPossible = t1_.hasChildlessInner() || t2_.hasChildlessInner();
    std::size_t slots = 0;
    for (std::size_t g = 0, h = 0; g < count1 && h < count2;) {
      const ProductionId p1 = nodes1_[list1_[static_cast<std::size_t>(starts1_[g])]].production;
      const ProductionId p2 = nodes2_[list2_[static_cast<std::size_t>(starts2_[h])]].production;
      if (p1 < p2) {
        ++g;
      } else if (p2 < p1) {
        ++h;
      } else {
        any = true;
        sc_.match[g] = static_cast<std::int32_t>(h);
        sc_.partnerSize[g] = static_cast<std::size_t>(starts2_[h + 1] - starts2_[h]);
        bool leaf1 = nodes1_[list1_[static_cast<std::size_t>(starts1_[g])]].leaf();
        if (mixedGroupsPossible) {
          leaf1 = t1_.groupHasLeaf(g);
          leafWithInner = leafWithInner || (leaf1 && t2_.groupHasInner(h)) ||
                          (t1_.groupHasInner(g) && t2_.groupHasLeaf(h));
        }
        if (!leaf1) {
          sc_.base[g] = slots;
          slots += static_cast<std::size_t>(starts1_[g + 1] - starts1_[g]) * sc_.partnerSize[g];
        }
        ++g;
        ++h;
      }
    }
    // Every pair of equal production is evaluated at the top depth, where
    // a leaf paired with an inner node has no value below maxd.
    if (any && leafWithInner && maxd >= 2) failLeafWithInnerNode();
    sc_.values.resize(slots * static_cast<std::size_t>(layers_));
    return any;
  }

  // Children follow their parent in pre-order, so descending node index
  // fills every child pair before its parent pair.
  void fill() {
    if (layers_ == 1) return;
    for (std::int32_t i = t1_.size(); i-- > 0;) {
      const TreeShape::Node& x = nodes1_[i];
      const std::int32_t partner = partnerOf(x);
      if (partner < 0 || x.height == 0) continue;
      for (std::int32_t j : membersOf2(partner)) fillPair(i, j);
    }
  }

  // Node pairs in the order (first tree's node, second tree's node), both
  // in pre-order.
  double sum() const {
    double total = 0.0;
    for (const TreeShape::Node& x : t1_.nodes()) {
      const std::int32_t partner = partnerOf(x);
      if (partner < 0) continue;
      for (std::int32_t j : membersOf2(partner)) {
        const TreeShape::Node& y = nodes2_[j];
        const std::int32_t top = topOf(x, y);
        total =
            total + (top == 0 ? lambda_ : sc_.values[slotOf(x, y) + static_cast<std::size_t>(top)]);
      }
    }
    return total;
  }

 private:
  // The nodes of group h of the second tree.
  std::span<const std::int32_t> membersOf2(std::int32_t h) const {
    const auto b = static_cast<std::size_t>(starts2_[static_cast<std::size_t>(h)]);
    const auto e = static_cast<std::size_t>(starts2_[static_cast<std::size_t>(h) + 1]);
    return list2_.subspan(b, e - b);
  }
  std::int32_t partnerOf(const TreeShape::Node& a) const {
    return sc_.match[static_cast<std::size_t>(a.group)];
  }
  // The first value of the pair (a, b) of equal production.
  std::size_t slotOf(const TreeShape::Node& a, const TreeShape::Node& b) const {
    const auto g = static_cast<std::size_t>(a.group);
    const std::size_t pair = sc_.base[g] + static_cast<std::size_t>(a.rank) * sc_.partnerSize[g] +
                             static_cast<std::size_t>(b.rank);
    return pair * static_cast<std::size_t>(layers_);
  }
  // The highest layer the pair needs; every request above it reads it.
  std::int32_t topOf(const TreeShape::Node& a, const TreeShape::Node& b) const {
    return std::min(layers_ - 1, std::min(a.height, b.height));
  }

  void fillPair(std::int32_t xi, std::int32_t yi) {
    const TreeShape::Node& x = nodes1_[xi];
    const TreeShape::Node& y = nodes2_[yi];
    sc_.childPairs.clear();
    for (std::int32_t ai = xi + 1; ai < x.end; ai = nodes1_[ai].end) {
      const TreeShape::Node& a = nodes1_[ai];
      if (partnerOf(a) < 0) continue;
      for (std::int32_t bi = yi + 1; bi < y.end; bi = nodes2_[bi].end) {
        const TreeShape::Node& b = nodes2_[bi];
        if (b.production != a.production) continue;
        const std::int32_t top = topOf(a, b);
        sc_.childPairs.emplace_back(top == 0 ? 0 : slotOf(a, b), top);
      }
    }
    double* slot = sc_.values.data() + slotOf(x, y);
    slot[0] = lambda_;
    const std::int32_t top = topOf(x, y);
    for (std::int32_t r = 1; r <= top; ++r) {
      double product = 1.0;
      for (const auto& [childSlot, childTop] : sc_.childPairs) {
        const double child =
            childTop == 0
                ? lambda_
                : sc_.values[childSlot + static_cast<std::size_t>(std::min(r - 1, childTop))];
        product = product * (1.0 + child);
      }
      slot[r] = lambda_ * product;
    }
  }

  const double lambda_;
  const TreeShape& t1_;
  const TreeShape& t2_;
  const TreeShape::Node* const nodes1_;
  const TreeShape::Node* const nodes2_;
  const std::span<const std::int32_t> starts1_, starts2_;
  const std::span<const std::int32_t> list1_, list2_;
  Scratch& sc_;
  const std::int32_t layers_;  // C_0 .. C_{layers_-1} per pair
};

}  // namespace

double treeKernel(double lambda, std::int32_t maxd, const TreeShape& t1, const TreeShape& t2) {
  if (maxd <= 0) return 0.0;
  Evaluation evaluation(lambda, maxd, t1, t2);
  if (!evaluation.matchGroups(maxd)) return 0.0;
  evaluation.fill();
  return evaluation.sum();
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
