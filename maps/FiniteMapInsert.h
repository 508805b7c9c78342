// Adding entries to a finite map, one at a time or from a list, under the
// different rules for a key that is already present.
#pragma once

#include <compare>
#include <type_traits>
#include <utility>

#include "maps/FiniteMap.h"
#include "maps/FiniteMapBalance.h"

namespace kelvor {

namespace fminternal {

// Rebuilds the path to the key's place in a map that others may hold too.
// At an equal key the node gets the key and element that
// onEqual(stored node) gives, with its stored size and sides: the size does
// not change, so there is no rebalancing.
template <bool Strict, class K, class V, class Cmp, class OnEqual>
FiniteMap<K, V> insertCopying(const Cmp& cmp, const FiniteMap<K, V>& m, const K& key, const V& elt,
                              OnEqual& onEqual) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) return unitFM(key, elt);
  const std::weak_ordering c = cmp(key, n->key);
  if (c < 0) {
    return balanceBranch<Strict>(n->key, n->elt,
                                 insertCopying<Strict>(cmp, n->left, key, elt, onEqual), n->right);
  }
  if (c > 0) {
    return balanceBranch<Strict>(n->key, n->elt, n->left,
                                 insertCopying<Strict>(cmp, n->right, key, elt, onEqual));
  }
  std::pair<K, V> replacement = onEqual(*n);
  return makeBranchNode(std::move(replacement.first), std::move(replacement.second), n->size,
                        n->left, n->right);
}

// The same insertion into the map held by `slot`, updating in place every
// node on the path that it alone holds (see NodeReuse) and copying from the
// first shared one down. The tree comes out the same either way.
template <bool Strict, class K, class V, class Cmp, class OnEqual>
void insertInPlace(const Cmp& cmp, FiniteMap<K, V>& slot, const K& key, const V& elt,
                   OnEqual& onEqual) {
  FmNode<K, V>* own = NodeReuse::soleNode(slot);
  if (own == nullptr) {
    slot = insertCopying<Strict>(cmp, slot, key, elt, onEqual);
    return;
  }
  const std::weak_ordering c = cmp(key, own->key);
  if (c == 0) {
    std::pair<K, V> replacement = onEqual(*own);
    own->key = std::move(replacement.first);
    own->elt = std::move(replacement.second);
    return;
  }
  const bool goLeft = c < 0;
  FiniteMap<K, V>& side = goLeft ? own->left : own->right;
  // The other side's size follows from the stored sizes, so its node need
  // not be visited.
  const std::int64_t so = std::int64_t{own->size} - 1 - sizeFM(side);
  insertInPlace<Strict>(cmp, side, key, elt, onEqual);
  const std::int64_t sg = sizeFM(side);
  if (goLeft ? fitsPlainNode(sg, so) : fitsPlainNode(so, sg)) {
    own->size = sizeOverSides(sg, so);
    return;
  }
  // A rotation: the node's parts go into the nodes the balancer builds.
  slot = balanceBranch<Strict>(std::move(own->key), std::move(own->elt), std::move(own->left),
                               std::move(own->right));
}

template <bool Strict, class K, class V, class Cmp, class OnEqual>
FiniteMap<K, V> insertPath(const Cmp& cmp, FiniteMap<K, V> m, const K& key, const V& elt,
                           OnEqual& onEqual) {
  insertInPlace<Strict>(cmp, m, key, elt, onEqual);
  return m;
}

template <bool Strict, class K, class V, class Cmp, class Combine>
FiniteMap<K, V> insertCombining(const Cmp& cmp, const Combine& combine, FiniteMap<K, V> m,
                                const K& key, const V& elt) {
  auto onEqual = [&](const FmNode<K, V>& n) { return std::pair<K, V>(key, combine(n.elt, elt)); };
  return insertPath<Strict>(cmp, std::move(m), key, elt, onEqual);
}

// The new element wins.
struct KeepNew {
  template <class V>
  const V& operator()(const V& /*stored*/, const V& added) const {
    return added;
  }
};

}  // namespace fminternal

// A present key is replaced by the new key and the new element.
template <class K, class V, KeyOrdering<K> Cmp>
FiniteMap<K, V> addToFM(const Cmp& cmp, FiniteMap<K, V> m, const std::type_identity_t<K>& key,
                        const std::type_identity_t<V>& elt) {
  return fminternal::insertCombining<false>(cmp, fminternal::KeepNew{}, std::move(m), key, elt);
}

// A present key is replaced by the new key; the element becomes
// combine(stored element, new element).
template <class K, class V, KeyOrdering<K> Cmp, class Combine>
FiniteMap<K, V> addToFM_C(const Cmp& cmp, const Combine& combine, FiniteMap<K, V> m,
                          const std::type_identity_t<K>& key, const std::type_identity_t<V>& elt) {
  return fminternal::insertCombining<false>(cmp, combine, std::move(m), key, elt);
}

// At a present key the key becomes keyCombine(new key, stored key) and the
// element eltCombine(stored element, new element): note the opposite orders.
template <class K, class V, KeyOrdering<K> Cmp, class KeyCombine, class EltCombine>
FiniteMap<K, V> addToFM_C2(const Cmp& cmp, const KeyCombine& keyCombine,
                           const EltCombine& eltCombine, FiniteMap<K, V> m,
                           const std::type_identity_t<K>& key, const std::type_identity_t<V>& elt) {
  auto onEqual = [&](const FmNode<K, V>& n) {
    return std::pair<K, V>(keyCombine(key, n.key), eltCombine(n.elt, elt));
  };
  return fminternal::insertPath<false>(cmp, std::move(m), key, elt, onEqual);
}

// The primed entry points give the same maps as their plain twins; the
// insertions among them rebuild their path with the strict builders.
template <class K, class V, KeyOrdering<K> Cmp, class KeyCombine, class EltCombine>
FiniteMap<K, V> addToFM_C2Prime(const Cmp& cmp, const KeyCombine& keyCombine,
                                const EltCombine& eltCombine, FiniteMap<K, V> m,
                                const std::type_identity_t<K>& key,
                                const std::type_identity_t<V>& elt) {
  return addToFM_C2(cmp, keyCombine, eltCombine, std::move(m), key, elt);
}

template <class K, class V, KeyOrdering<K> Cmp>
FiniteMap<K, V> addToFMPrime(const Cmp& cmp, FiniteMap<K, V> m, const std::type_identity_t<K>& key,
                             const std::type_identity_t<V>& elt) {
  return fminternal::insertCombining<true>(cmp, fminternal::KeepNew{}, std::move(m), key, elt);
}

template <class K, class V, KeyOrdering<K> Cmp, class Combine>
FiniteMap<K, V> addToFM_CPrime(const Cmp& cmp, const Combine& combine, FiniteMap<K, V> m,
                               const std::type_identity_t<K>& key,
                               const std::type_identity_t<V>& elt) {
  return fminternal::insertCombining<true>(cmp, combine, std::move(m), key, elt);
}

namespace fminternal {

template <class K, class V, class Pairs, class AddOne>
FiniteMap<K, V> addEach(FiniteMap<K, V> m, const Pairs& pairs, const AddOne& addOne) {
  for (const auto& [key, elt] : pairs) m = addOne(std::move(m), key, elt);
  return m;
}

}  // namespace fminternal

// The pairs are added from the first to the last: of equal keys the last
// pair wins, key and element.
template <class K, class V, KeyOrdering<K> Cmp, class Pairs>
FiniteMap<K, V> addListToFM(const Cmp& cmp, FiniteMap<K, V> m, const Pairs& pairs) {
  return fminternal::addEach(std::move(m), pairs, [&](FiniteMap<K, V> acc, const K& k, const V& e) {
    return addToFM(cmp, std::move(acc), k, e);
  });
}

// Equal keys combine from left to right: combine(combine(first, second), third).
template <class K, class V, KeyOrdering<K> Cmp, class Combine, class Pairs>
FiniteMap<K, V> addListToFM_C(const Cmp& cmp, const Combine& combine, FiniteMap<K, V> m,
                              const Pairs& pairs) {
  return fminternal::addEach(std::move(m), pairs, [&](FiniteMap<K, V> acc, const K& k, const V& e) {
    return addToFM_C(cmp, combine, std::move(acc), k, e);
  });
}

template <class K, class V, KeyOrdering<K> Cmp, class Pairs>
FiniteMap<K, V> addListToFMPrime(const Cmp& cmp, FiniteMap<K, V> m, const Pairs& pairs) {
  return fminternal::addEach(std::move(m), pairs, [&](FiniteMap<K, V> acc, const K& k, const V& e) {
    return addToFMPrime(cmp, std::move(acc), k, e);
  });
}

template <class K, class V, KeyOrdering<K> Cmp, class Combine, class Pairs>
FiniteMap<K, V> addListToFM_CPrime(const Cmp& cmp, const Combine& combine, FiniteMap<K, V> m,
                                   const Pairs& pairs) {
  return fminternal::addEach(std::move(m), pairs, [&](FiniteMap<K, V> acc, const K& k, const V& e) {
    return addToFM_CPrime(cmp, combine, std::move(acc), k, e);
  });
}

namespace fminternal {
template <class Pairs>
using PairKey = std::remove_cvref_t<decltype(std::declval<const Pairs&>().begin()->first)>;
template <class Pairs>
using PairElt = std::remove_cvref_t<decltype(std::declval<const Pairs&>().begin()->second)>;
}  // namespace fminternal

// The map of a range of (key, element) pairs, added in order from the empty
// map; the key and element types are those of the pairs.
template <class Pairs, KeyOrdering<fminternal::PairKey<Pairs>> Cmp,
          class K = fminternal::PairKey<Pairs>, class V = fminternal::PairElt<Pairs>>
FiniteMap<K, V> listToFM(const Cmp& cmp, const Pairs& pairs) {
  return addListToFM(cmp, FiniteMap<K, V>(), pairs);
}

}  // namespace kelvor
