// Union, difference, intersection and filtering of finite maps. Each walks
// the second map's tree, cuts the first map at every key it meets and joins
// the pieces again under the balancing ratio.
#pragma once

#include <compare>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "maps/FiniteMap.h"
#include "maps/FiniteMapBalance.h"
#include "maps/FiniteMapDelete.h"
#include "maps/FiniteMapInsert.h"

namespace kelvor {

namespace fminternal {

// One map of `left`, the entry and `right`, where every key of `left` is
// below `key` and every key of `right` above it. Descends into the side
// holding more than five times the other (the right side tested first).
template <class K, class V, class Cmp>
FiniteMap<K, V> joinWithEntry(const Cmp& cmp, const K& key, const V& elt,
                              const FiniteMap<K, V>& left, const FiniteMap<K, V>& right) {
  if (!left.isBranch()) return addToFM(cmp, right, key, elt);
  if (!right.isBranch()) return addToFM(cmp, left, key, elt);
  const std::int64_t sl = sizeFM(left);
  const std::int64_t sr = sizeFM(right);
  const FmNode<K, V>* l = left.node();
  const FmNode<K, V>* r = right.node();
  if (kWeightRatio * sl < sr) {
    return mkBalBranch(r->key, r->elt, joinWithEntry(cmp, key, elt, left, r->left), r->right);
  }
  if (kWeightRatio * sr < sl) {
    return mkBalBranch(l->key, l->elt, l->left, joinWithEntry(cmp, key, elt, l->right, right));
  }
  return mkBranch(key, elt, left, right);
}

// One map of both, where every key of `left` is below every key of `right`.
template <class K, class V>
FiniteMap<K, V> concatMaps(const FiniteMap<K, V>& left, const FiniteMap<K, V>& right) {
  if (!left.isBranch()) return right;
  if (!right.isBranch()) return left;
  const std::int64_t sl = sizeFM(left);
  const std::int64_t sr = sizeFM(right);
  const FmNode<K, V>* l = left.node();
  const FmNode<K, V>* r = right.node();
  if (kWeightRatio * sl < sr) {
    return mkBalBranch(r->key, r->elt, concatMaps(left, r->left), r->right);
  }
  if (kWeightRatio * sr < sl) {
    return mkBalBranch(l->key, l->elt, l->left, concatMaps(l->right, right));
  }
  return glueSiblings(left, right);
}

// The entries whose keys compare less than `key`.
template <class K, class V, class Cmp>
FiniteMap<K, V> splitBelow(const Cmp& cmp, const FiniteMap<K, V>& m, const K& key) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) return m;
  const std::weak_ordering c = cmp(key, n->key);
  if (c < 0) return splitBelow(cmp, n->left, key);
  if (c == 0) return n->left;
  return joinWithEntry(cmp, n->key, n->elt, n->left, splitBelow(cmp, n->right, key));
}

// The entries whose keys compare greater than `key`.
template <class K, class V, class Cmp>
FiniteMap<K, V> splitAbove(const Cmp& cmp, const FiniteMap<K, V>& m, const K& key) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) return m;
  const std::weak_ordering c = cmp(key, n->key);
  if (c > 0) return splitAbove(cmp, n->right, key);
  if (c == 0) return n->right;
  return joinWithEntry(cmp, n->key, n->elt, splitAbove(cmp, n->left, key), n->right);
}

// Union in which a key present in both maps gets m2's key and the element
// elementFor(m2's node): plusFM ignores m1's element, plusFM_C combines.
template <class K, class V, class Cmp, class ElementFor>
FiniteMap<K, V> unionWith(const Cmp& cmp, const ElementFor& elementFor, const FiniteMap<K, V>& m1,
                          const FiniteMap<K, V>& m2) {
  if (!m1.isBranch()) return m2;
  if (!m2.isBranch()) return m1;
  const FmNode<K, V>& n2 = *m2.node();
  const V elt = elementFor(m1, n2);
  FiniteMap<K, V> lower = unionWith(cmp, elementFor, splitBelow(cmp, m1, n2.key), n2.left);
  FiniteMap<K, V> upper = unionWith(cmp, elementFor, splitAbove(cmp, m1, n2.key), n2.right);
  return joinWithEntry(cmp, n2.key, elt, lower, upper);
}

}  // namespace fminternal

// Every entry of both maps; for a key present in both, m2's key and element.
template <class K, class V, KeyOrdering<K> Cmp>
FiniteMap<K, V> plusFM(const Cmp& cmp, const FiniteMap<K, V>& m1, const FiniteMap<K, V>& m2) {
  auto fromM2 = [](const FiniteMap<K, V>&, const FmNode<K, V>& n2) -> const V& { return n2.elt; };
  return fminternal::unionWith(cmp, fromM2, m1, m2);
}

// As plusFM, but a key present in both gets combine(m1's element, m2's
// element); the key is still m2's.
template <class K, class V, KeyOrdering<K> Cmp, class Combine>
FiniteMap<K, V> plusFM_C(const Cmp& cmp, const Combine& combine, const FiniteMap<K, V>& m1,
                         const FiniteMap<K, V>& m2) {
  auto combined = [&](const FiniteMap<K, V>& cut1, const FmNode<K, V>& n2) -> V {
    const V* e1 = findEltFM(cmp, cut1, n2.key);
    return e1 == nullptr ? n2.elt : V(combine(*e1, n2.elt));
  };
  return fminternal::unionWith(cmp, combined, m1, m2);
}

// The entries of m1 whose keys are not in m2; m2's elements are never read.
template <class K, class V, class V2, KeyOrdering<K> Cmp>
FiniteMap<K, V> minusFM(const Cmp& cmp, const FiniteMap<K, V>& m1, const FiniteMap<K, V2>& m2) {
  if (!m1.isBranch()) return FiniteMap<K, V>();
  if (!m2.isBranch()) return m1;
  const FmNode<K, V2>& n2 = *m2.node();
  FiniteMap<K, V> lower = minusFM(cmp, fminternal::splitBelow(cmp, m1, n2.key), n2.left);
  FiniteMap<K, V> upper = minusFM(cmp, fminternal::splitAbove(cmp, m1, n2.key), n2.right);
  return fminternal::concatMaps(lower, upper);
}

namespace fminternal {

template <class K, class V1, class V2, class V3, class Cmp, class Combine>
FiniteMap<K, V3> intersectWith(const Cmp& cmp, const Combine& combine, const FiniteMap<K, V1>& m1,
                               const FiniteMap<K, V2>& m2) {
  if (!m2.isBranch()) return FiniteMap<K, V3>();
  if (!m1.isBranch()) return FiniteMap<K, V3>();
  const FmNode<K, V2>& n2 = *m2.node();
  FiniteMap<K, V3> lower =
      intersectWith<K, V1, V2, V3>(cmp, combine, splitBelow(cmp, m1, n2.key), n2.left);
  FiniteMap<K, V3> upper =
      intersectWith<K, V1, V2, V3>(cmp, combine, splitAbove(cmp, m1, n2.key), n2.right);
  const V1* e1 = findEltFM(cmp, m1, n2.key);
  if (e1 == nullptr) return concatMaps(lower, upper);
  return joinWithEntry(cmp, n2.key, V3(combine(*e1, n2.elt)), lower, upper);
}

}  // namespace fminternal

// For every key present in both maps: m2's key and combine(m1's element,
// m2's element).
template <
    class K, class V1, class V2, KeyOrdering<K> Cmp, class Combine,
    class V3 = std::remove_cvref_t<std::invoke_result_t<const Combine&, const V1&, const V2&>>>
FiniteMap<K, V3> intersectFM_C(const Cmp& cmp, const Combine& combine, const FiniteMap<K, V1>& m1,
                               const FiniteMap<K, V2>& m2) {
  return fminternal::intersectWith<K, V1, V2, V3>(cmp, combine, m1, m2);
}

// For every key present in both maps: m2's key and element.
template <class K, class V1, class V2, KeyOrdering<K> Cmp>
FiniteMap<K, V2> intersectFM(const Cmp& cmp, const FiniteMap<K, V1>& m1,
                             const FiniteMap<K, V2>& m2) {
  return intersectFM_C(
      cmp, [](const V1&, const V2& e2) -> const V2& { return e2; }, m1, m2);
}

// The entries for which pred(key, element) holds; pred is applied once to
// every entry, a node before its sides.
template <class K, class V, KeyOrdering<K> Cmp, class Pred>
FiniteMap<K, V> filterFM(const Cmp& cmp, const Pred& pred, const FiniteMap<K, V>& m) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) return m;
  const bool keep = pred(n->key, n->elt);
  FiniteMap<K, V> left = filterFM(cmp, pred, n->left);
  FiniteMap<K, V> right = filterFM(cmp, pred, n->right);
  if (keep) return fminternal::joinWithEntry(cmp, n->key, n->elt, left, right);
  return fminternal::concatMaps(left, right);
}

}  // namespace kelvor
