// An ordered map as a size-balanced binary search tree (weight ratio 5).
//
// A FiniteMap is a value: no operation changes a map, each returns a new one
// that shares every subtree it did not touch. Nodes are owned jointly by all
// maps that reach them and never change once a second map can reach them.
//
// There is no built-in key order. Every operation that compares keys takes
// the caller's ordering as its first argument: a callable giving a
// three-way comparison of two keys as a std::weak_ordering (a
// std::strong_ordering converts, so std::compare_three_way serves for keys
// with <=>). It is always called with the searched, new or splitting key
// first and the stored key second.
//
// This header holds the structure and the queries; the changing operations
// live in FiniteMapBalance.h, FiniteMapInsert.h, FiniteMapDelete.h,
// FiniteMapCombine.h and FiniteMapFold.h, printing in FiniteMapShow.h.
#pragma once

#include <compare>
#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/NodePool.h"

namespace kelvor {

template <class Cmp, class K>
concept KeyOrdering = std::invocable<const Cmp&, const K&, const K&> &&
    std::convertible_to<std::invoke_result_t<const Cmp&, const K&, const K&>, std::weak_ordering>;

template <class K, class V>
struct FmNode;

namespace fminternal {
struct NodeReuse;
}

template <class K, class V>
class FiniteMap {
 public:
  using Key = K;
  using Elt = V;
  using Node = FmNode<K, V>;

  // EmptyFM.
  FiniteMap() = default;
  // Branch: wraps a node built by the node builders. Taking only nodes that
  // were created non-const is what makes their in-place reuse sound.
  explicit FiniteMap(std::shared_ptr<Node> node) : root_(std::move(node)) {}

  bool isBranch() const { return root_ != nullptr; }
  // The root node, or null for EmptyFM.
  const Node* node() const { return root_.get(); }
  // Do both maps reach the very same root (or are both empty)?
  bool sameTree(const FiniteMap& other) const { return root_ == other.root_; }

 private:
  friend struct fminternal::NodeReuse;

  std::shared_ptr<const Node> root_;
};

template <class K, class V>
struct FmNode {
  FmNode(K k, V e, std::int32_t s, FiniteMap<K, V> l, FiniteMap<K, V> r)
      : key(std::move(k)), elt(std::move(e)), size(s), left(std::move(l)), right(std::move(r)) {}

  K key;
  V elt;
  std::int32_t size;
  FiniteMap<K, V> left;
  FiniteMap<K, V> right;
};

// Builds a Branch with the stored size given, checking nothing. Every node
// of every map is made here.
template <class K, class V>
[[gnu::always_inline]] inline FiniteMap<K, V> makeBranchNode(K key, V elt, std::int32_t size,
                                                             FiniteMap<K, V> left,
                                                             FiniteMap<K, V> right) {
  // The node is created non-const: one reached only through a map that
  // nobody else holds may be updated in place (see NodeReuse).
  return FiniteMap<K, V>(makePooled<FmNode<K, V>>(std::move(key), std::move(elt), size,
                                                  std::move(left), std::move(right)));
}

template <class K, class V>
FiniteMap<K, V> emptyFM() {
  return FiniteMap<K, V>();
}

template <class K, class V>
FiniteMap<K, V> unitFM(K key, V elt) {
  return makeBranchNode(std::move(key), std::move(elt), 1, FiniteMap<K, V>(), FiniteMap<K, V>());
}

template <class K, class V>
std::int32_t sizeFM(const FiniteMap<K, V>& m) {
  const auto* n = m.node();
  return n == nullptr ? 0 : n->size;
}

template <class K, class V>
bool isEmptyFM(const FiniteMap<K, V>& m) {
  return sizeFM(m) == 0;
}

// The stored element for a key that compares equal, or null. One comparison
// per visited node. The pointer stays valid while the map is held and not
// handed over to an insertion.
template <class K, class V, KeyOrdering<K> Cmp>
const V* findEltFM(const Cmp& cmp, const FiniteMap<K, V>& m, const std::type_identity_t<K>& key) {
  const FmNode<K, V>* n = m.node();
  while (n != nullptr) {
    const std::weak_ordering c = cmp(key, n->key);
    if (c < 0) {
      n = n->left.node();
    } else if (c > 0) {
      n = n->right.node();
    } else {
      return &n->elt;
    }
  }
  return nullptr;
}

template <class K, class V, KeyOrdering<K> Cmp>
std::optional<V> lookupFM(const Cmp& cmp, const FiniteMap<K, V>& m,
                          const std::type_identity_t<K>& key) {
  const V* e = findEltFM(cmp, m, key);
  return e == nullptr ? std::nullopt : std::optional<V>(*e);
}

// The key comes before the map here, unlike lookupFM.
template <class K, class V, KeyOrdering<K> Cmp>
bool elemFM(const Cmp& cmp, const std::type_identity_t<K>& key, const FiniteMap<K, V>& m) {
  return findEltFM(cmp, m, key) != nullptr;
}

template <class K, class V, KeyOrdering<K> Cmp>
V lookupWithDefaultFM(const Cmp& cmp, const FiniteMap<K, V>& m, std::type_identity_t<V> deflt,
                      const std::type_identity_t<K>& key) {
  const V* e = findEltFM(cmp, m, key);
  return e == nullptr ? std::move(deflt) : *e;
}

// Walks the nodes of a map in ascending key order, one at a time.
template <class K, class V>
class FmInOrderCursor {
 public:
  explicit FmInOrderCursor(const FiniteMap<K, V>& m) { descendLeft(m.node()); }

  // The next node, or null when all have been visited.
  const FmNode<K, V>* next() {
    if (pending_.empty()) return nullptr;
    const FmNode<K, V>* n = pending_.back();
    pending_.pop_back();
    descendLeft(n->right.node());
    return n;
  }

 private:
  void descendLeft(const FmNode<K, V>* n) {
    for (; n != nullptr; n = n->left.node()) pending_.push_back(n);
  }

  std::vector<const FmNode<K, V>*> pending_;
};

// Calls f(key, elt) for every entry in ascending key order.
template <class K, class V, class F>
void forEachInOrder(const FiniteMap<K, V>& m, F&& f) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) return;
  forEachInOrder(n->left, f);
  f(n->key, n->elt);
  forEachInOrder(n->right, f);
}

// Equal sizes and equal entries pairwise in key order, whatever the shapes.
// The entries are compared only when the sizes agree, and only up to the
// first pair that differs.
template <std::equality_comparable K, std::equality_comparable V>
bool operator==(const FiniteMap<K, V>& a, const FiniteMap<K, V>& b) {
  if (sizeFM(a) != sizeFM(b)) return false;
  FmInOrderCursor<K, V> ca(a), cb(b);
  for (const FmNode<K, V>* x = ca.next(); x != nullptr; x = ca.next()) {
    const FmNode<K, V>* y = cb.next();
    if (!(x->key == y->key && x->elt == y->elt)) return false;
  }
  return true;
}

}  // namespace kelvor
