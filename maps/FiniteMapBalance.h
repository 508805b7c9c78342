// The node builders on which every changing map operation rests. They
// assume the ordering invariant (every left key below, every right key
// above) and never compare keys.
#pragma once

#include <cstdint>
#include <limits>
#include <utility>

#include "base/Fatal.h"
#include "maps/FiniteMap.h"

namespace kelvor::fminternal {

// A side is too heavy when it holds more than this many times the entries
// of the other side.
inline constexpr std::int64_t kWeightRatio = 5;

[[noreturn]] void failMapTooLarge();

// The stored size of a node over two sides. Sizes are added in 64 bits: no
// map can reach 2^31 entries here, but a sum that would not fit the stored
// 32-bit size stops the program rather than wrapping.
inline std::int32_t sizeOverSides(std::int64_t sl, std::int64_t sr) {
  const std::int64_t size = 1 + sl + sr;
  if (size > std::numeric_limits<std::int32_t>::max()) failMapTooLarge();
  return static_cast<std::int32_t>(size);
}

template <class K, class V>
std::int32_t branchSize(const FiniteMap<K, V>& left, const FiniteMap<K, V>& right) {
  return sizeOverSides(sizeFM(left), sizeFM(right));
}

// May sides of these sizes hang under one node without a rotation? A side
// exactly five times the other is not too heavy.
inline bool fitsPlainNode(std::int64_t sl, std::int64_t sr) {
  return sl + sr < 2 || (sr <= kWeightRatio * sl && sl <= kWeightRatio * sr);
}

// A node whose size is computed from its sides; no other check.
template <class K, class V>
[[gnu::always_inline]] inline FiniteMap<K, V> mkBranch(K key, V elt, FiniteMap<K, V> left,
                                                       FiniteMap<K, V> right) {
  const std::int32_t size = branchSize(left, right);
  return makeBranchNode(std::move(key), std::move(elt), size, std::move(left), std::move(right));
}

// The one balancing rule, shared by both builders, which differ only in the
// locations their (unreachable) consistency failures report.
template <bool Strict, class K, class V>
FiniteMap<K, V> balanceBranch(K key, V elt, FiniteMap<K, V> left, FiniteMap<K, V> right) {
  const std::int64_t sl = sizeFM(left);
  const std::int64_t sr = sizeFM(right);
  if (fitsPlainNode(sl, sr)) {
    return mkBranch(std::move(key), std::move(elt), std::move(left), std::move(right));
  }

  // The right side is tested first.
  if (sr > kWeightRatio * sl) {
    // `right` stays alive for the whole rebuild, so its node's parts can be
    // read through the pointer.
    const FmNode<K, V>* r = right.node();
    if (r == nullptr) failPattern(Strict ? "NLP/FiniteMap:550|case" : "NLP/FiniteMap:509|case");
    if (std::int64_t{sizeFM(r->left)} < 2 * std::int64_t{sizeFM(r->right)}) {
      return mkBranch(r->key, r->elt,
                      mkBranch(std::move(key), std::move(elt), std::move(left), r->left), r->right);
    }
    const FmNode<K, V>* rl = r->left.node();
    if (rl == nullptr) {
      failPattern(Strict ? "NLP/FiniteMap:575|function double_L"
                         : "NLP/FiniteMap:533|function double_L");
    }
    return mkBranch(rl->key, rl->elt,
                    mkBranch(std::move(key), std::move(elt), std::move(left), rl->left),
                    mkBranch(r->key, r->elt, rl->right, r->right));
  }

  const FmNode<K, V>* l = left.node();
  if (l == nullptr) failPattern(Strict ? "NLP/FiniteMap:557|case" : "NLP/FiniteMap:516|case");
  if (std::int64_t{sizeFM(l->right)} < 2 * std::int64_t{sizeFM(l->left)}) {
    return mkBranch(l->key, l->elt, l->left,
                    mkBranch(std::move(key), std::move(elt), l->right, std::move(right)));
  }
  const FmNode<K, V>* lr = l->right.node();
  if (lr == nullptr) {
    failPattern(Strict ? "NLP/FiniteMap:586|function double_R"
                       : "NLP/FiniteMap:540|function double_R");
  }
  return mkBranch(lr->key, lr->elt, mkBranch(l->key, l->elt, l->left, lr->left),
                  mkBranch(std::move(key), std::move(elt), lr->right, std::move(right)));
}

// Builds a node after at most one rotation: a side holding more than five
// times the entries of the other is rotated towards it (single rotation when
// its inner subtree holds less than twice its outer one, double otherwise).
template <class K, class V>
FiniteMap<K, V> mkBalBranch(K key, V elt, FiniteMap<K, V> left, FiniteMap<K, V> right) {
  return balanceBranch<false>(std::move(key), std::move(elt), std::move(left), std::move(right));
}

template <class K, class V>
FiniteMap<K, V> mkBalBranchStrict(K key, V elt, FiniteMap<K, V> left, FiniteMap<K, V> right) {
  return balanceBranch<true>(std::move(key), std::move(elt), std::move(left), std::move(right));
}

// In-place updates of nodes that no one else can see. A map passed by
// value whose root is held by that value alone owns its root outright, and
// so on down every node held once: changing such a node is invisible to
// every other map. The insertions use this to rebuild their path in place
// when the caller gives up the old map, and copy the path otherwise.
struct NodeReuse {
  // The root of `m` when `m` is its only holder, else null.
  template <class K, class V>
  static FmNode<K, V>* soleNode(FiniteMap<K, V>& m) {
    if (m.root_ == nullptr || m.root_.use_count() != 1) return nullptr;
    return const_cast<FmNode<K, V>*>(m.root_.get());
  }
};

}  // namespace kelvor::fminternal
