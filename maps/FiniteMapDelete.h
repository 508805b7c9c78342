// Removing entries from a finite map, and gluing the two sides of a removed
// node back into one map.
#pragma once

#include <compare>
#include <type_traits>

#include "base/Fatal.h"
#include "maps/FiniteMap.h"
#include "maps/FiniteMapBalance.h"

namespace kelvor {

namespace fminternal {

// The node with the smallest key; the map must not be empty.
template <class K, class V>
const FmNode<K, V>& findMin(const FiniteMap<K, V>& m) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) failPattern("NLP/FiniteMap:694|function findMin");
  while (n->left.isBranch()) n = n->left.node();
  return *n;
}

template <class K, class V>
const FmNode<K, V>& findMax(const FiniteMap<K, V>& m) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) failPattern("NLP/FiniteMap:702|function findMax");
  while (n->right.isBranch()) n = n->right.node();
  return *n;
}

template <class K, class V>
FiniteMap<K, V> deleteMin(const FiniteMap<K, V>& m) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) failPattern("NLP/FiniteMap:698|function deleteMin");
  if (!n->left.isBranch()) return n->right;
  return mkBalBranch(n->key, n->elt, deleteMin(n->left), n->right);
}

template <class K, class V>
FiniteMap<K, V> deleteMax(const FiniteMap<K, V>& m) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) failPattern("NLP/FiniteMap:706|function deleteMax");
  if (!n->right.isBranch()) return n->left;
  return mkBalBranch(n->key, n->elt, n->left, deleteMax(n->right));
}

// One map of the entries of two sides of a node (every key of `left` below
// every key of `right`). The new root comes from the larger side; on equal
// sizes from the left.
template <class K, class V>
FiniteMap<K, V> glueSiblings(const FiniteMap<K, V>& left, const FiniteMap<K, V>& right) {
  if (!left.isBranch()) return right;
  if (!right.isBranch()) return left;
  if (sizeFM(right) > sizeFM(left)) {
    const FmNode<K, V>& lowest = findMin(right);
    return mkBalBranch(lowest.key, lowest.elt, left, deleteMin(right));
  }
  const FmNode<K, V>& highest = findMax(left);
  return mkBalBranch(highest.key, highest.elt, deleteMax(left), right);
}

}  // namespace fminternal

// Without the entry whose key compares equal; the path to where it would be
// is rebuilt even when there is none.
template <class K, class V, KeyOrdering<K> Cmp>
FiniteMap<K, V> delFromFM(const Cmp& cmp, const FiniteMap<K, V>& m,
                          const std::type_identity_t<K>& key) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) return m;
  const std::weak_ordering c = cmp(key, n->key);
  if (c < 0) return fminternal::mkBalBranch(n->key, n->elt, delFromFM(cmp, n->left, key), n->right);
  if (c > 0) return fminternal::mkBalBranch(n->key, n->elt, n->left, delFromFM(cmp, n->right, key));
  return fminternal::glueSiblings(n->left, n->right);
}

// Deletes the keys from the first to the last.
template <class K, class V, KeyOrdering<K> Cmp, class Keys>
FiniteMap<K, V> delListFromFM(const Cmp& cmp, FiniteMap<K, V> m, const Keys& keys) {
  for (const auto& key : keys) m = delFromFM(cmp, m, key);
  return m;
}

}  // namespace kelvor
