// Children of inner nodes by 0-based index, from the front or from the back,
// and the nodes along a path of such indices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "trees/AnnTree.h"
#include "trees/ListFailures.h"
#include "trees/TreePos.h"

namespace kelvor {

// followPath's stop at a leaf with steps left.
[[noreturn]] void failGoesTooDeep();

// Child i. A negative index stops the program before the node is looked
// at; then a leaf stops it, then an index past the last child.
template <class A>
const AnnTree<A>& ch(std::int64_t i, const AnnTree<A>& t) {
  if (i < 0) failNegativeIndex();
  const auto& children = t.treeChildren();
  if (static_cast<std::uint64_t>(i) >= children.size()) failIndexTooLarge();
  return children[static_cast<std::size_t>(i)];
}

// ch with the tree first.
template <class A>
const AnnTree<A>& childAt(const AnnTree<A>& t, std::int64_t i) {
  return ch(i, t);
}

// Child n - 1 - i of a node with n children: 0 is the last child. An i of
// n or more is reached as a negative index, a negative i as one past the
// end.
template <class A>
const AnnTree<A>& childFromEnd(const AnnTree<A>& t, std::int64_t i) {
  const auto& children = t.treeChildren();
  const auto n = static_cast<std::int64_t>(children.size());
  if (i >= n) failNegativeIndex();
  if (i < 0) failIndexTooLarge();
  return children[static_cast<std::size_t>(n - 1 - i)];
}

// The node reached by following the indices from t; t for no indices.
template <class A>
AnnTree<A> gotoTree(const AnnTree<A>& t, std::span<const std::int64_t> path) {
  const AnnTree<A>* at = &t;
  for (std::int64_t i : path) at = &ch(i, *at);
  return *at;
}

// (t, Here), then every node the path reaches with its position from t:
// one item more than the path has steps. The whole list is built before it
// is returned, so any failing step fails the call.
template <class A>
std::vector<std::pair<AnnTree<A>, TreePos>> followPath(const AnnTree<A>& t,
                                                       std::span<const std::int64_t> path) {
  // Every item's position is a prefix of the whole path: one shared array.
  const TreePos whole(std::vector<std::int64_t>(path.begin(), path.end()));
  std::vector<std::pair<AnnTree<A>, TreePos>> items;
  items.reserve(path.size() + 1);
  const AnnTree<A>* at = &t;
  items.emplace_back(*at, Here());
  for (std::size_t k = 0; k < path.size(); ++k) {
    if (at->isTerm()) failGoesTooDeep();
    at = &ch(path[k], *at);
    items.emplace_back(*at, whole.prefix(k + 1));
  }
  return items;
}

}  // namespace kelvor
