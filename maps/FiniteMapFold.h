// Visiting every entry of a finite map: the element-wise map, the two
// folds and the conversions to lists. None of them compares keys.
#pragma once

#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "maps/FiniteMap.h"

namespace kelvor {

// Same keys, same shape, same sizes; every element becomes f(key, element).
template <class K, class V, class F,
          class W = std::remove_cvref_t<std::invoke_result_t<const F&, const K&, const V&>>>
FiniteMap<K, W> mapFM(const F& f, const FiniteMap<K, V>& m) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) return FiniteMap<K, W>();
  FiniteMap<K, W> left = mapFM(f, n->left);
  W elt = f(n->key, n->elt);
  FiniteMap<K, W> right = mapFM(f, n->right);
  return makeBranchNode(n->key, std::move(elt), n->size, std::move(left), std::move(right));
}

// step(k1, e1, step(k2, e2, ... step(kn, en, initial))) for the keys in
// ascending order: the greatest key is folded first.
template <class K, class V, class Acc, class Step>
Acc foldFM(const Step& step, Acc initial, const FiniteMap<K, V>& m) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) return initial;
  Acc acc = foldFM(step, std::move(initial), n->right);
  acc = step(n->key, n->elt, std::move(acc));
  return foldFM(step, std::move(acc), n->left);
}

namespace fminternal {

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

template <class K, class V, class Acc, class Step>
std::optional<Acc> foldPreOrderUntilAbsent(const Step& step, Acc acc, const FmNode<K, V>* n) {
  if (n == nullptr) return acc;
  std::optional<Acc> here = step(n->key, n->elt, std::move(acc));
  if (!here) return here;
  std::optional<Acc> afterLeft = foldPreOrderUntilAbsent(step, std::move(*here), n->left.node());
  if (!afterLeft) return afterLeft;
  return foldPreOrderUntilAbsent(step, std::move(*afterLeft), n->right.node());
}

template <class K, class V, class Acc, class Step>
Acc foldPreOrder(const Step& step, Acc acc, const FmNode<K, V>* n) {
  if (n == nullptr) return acc;
  acc = step(n->key, n->elt, std::move(acc));
  acc = foldPreOrder(step, std::move(acc), n->left.node());
  return foldPreOrder(step, std::move(acc), n->right.node());
}

}  // namespace fminternal

// A fold whose steps are chained in pre-order (a node's own entry, then its
// whole left side, then its whole right side), each starting from the value
// the previous step produced. A step may act as it goes, stop the fold by
// throwing, or, when it returns std::optional<Acc>, stop it with an absent
// result: then the fold gives std::optional<Acc> and runs no further step.
template <class K, class V, class Acc, class Step>
auto foldFM_M(const Step& step, Acc initial, const FiniteMap<K, V>& m) {
  using Result = std::remove_cvref_t<std::invoke_result_t<const Step&, const K&, const V&, Acc>>;
  if constexpr (fminternal::IsOptional<Result>::value) {
    return fminternal::foldPreOrderUntilAbsent(step, std::move(initial), m.node());
  } else {
    return fminternal::foldPreOrder(step, std::move(initial), m.node());
  }
}

// The (key, element) pairs in ascending key order.
template <class K, class V>
std::vector<std::pair<K, V>> fmToList(const FiniteMap<K, V>& m) {
  std::vector<std::pair<K, V>> out;
  out.reserve(static_cast<std::size_t>(sizeFM(m)));
  forEachInOrder(m, [&](const K& k, const V& e) { out.emplace_back(k, e); });
  return out;
}

template <class K, class V>
std::vector<K> keysFM(const FiniteMap<K, V>& m) {
  std::vector<K> out;
  out.reserve(static_cast<std::size_t>(sizeFM(m)));
  forEachInOrder(m, [&](const K& k, const V&) { out.push_back(k); });
  return out;
}

// The elements in ascending order of their keys.
template <class K, class V>
std::vector<V> eltsFM(const FiniteMap<K, V>& m) {
  std::vector<V> out;
  out.reserve(static_cast<std::size_t>(sizeFM(m)));
  forEachInOrder(m, [&](const K&, const V& e) { out.push_back(e); });
  return out;
}

}  // namespace kelvor
