// Trees whose every node carries a dynamic map, so that a node can hold one
// value of each type: its span of leaf positions, a label, a score...
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "maps/DynamicMap.h"
#include "trees/AnnTree.h"
#include "trees/DynamicPrinter.h"
#include "trees/Range.h"
#include "trees/TreeQueries.h"

namespace kelvor {

using DTree = AnnTree<DynamicMap>;

// The same shape, tags and texts, every node with an empty map.
template <class A>
DTree mkDTree(const AnnTree<A>& t) {
  return mapTree([](const A&) { return emptyDM(); }, t);
}

// The value stored in the root's map (replacing one of the same type);
// every other node is shared as it is.
template <NamedType T>
DTree addAnn(const DTree& t, T value) {
  DynamicMap ann = addToDM(t.treeAnn(), std::move(value));
  if (t.isTerm()) return DTree::makeTerm(t.treeTag(), t.treeText(), std::move(ann));
  return DTree::makeNonTerm(t.treeTag(), t.treeChildren(), std::move(ann));
}

// The root's value of type T, if it holds one; other nodes are not looked
// at.
template <NamedType T>
std::optional<T> markup(const DTree& t) {
  return lookupDM<T>(t.treeAnn());
}

// Numbers the leaves in reading order from `start` and stores in every node
// its span: Single p in the leaf at p, and in an inner node the span from
// its first leaf to its last. Gives the position after the last leaf (one
// past the largest position a Range holds, at most) and the numbered tree.
// Stops the program at an inner node with no leaf below it (mkRange's stop),
// and at a leaf whose position would not fit a Range.
std::pair<std::int64_t, DTree> numberTree(std::int32_t start, const DTree& t);

// Numbers the trees in order, the positions running on from one tree to the
// next.
std::pair<std::int64_t, std::vector<DTree>> numberTrees(std::int32_t start,
                                                        std::span<const DTree> trees);

// The bracketed form with, after each tag, the node's values that the
// printer prints, in the order of their type names: (X {{a};{b}} body),
// nothing at all when it prints none. Tags and leaf texts are written as
// they are, unquoted; an inner node without children has the body
// <<EMPTY>>.
void showDTreeWith(std::string& out, const DynamicPrinter& printer, const DTree& t);
std::string showDTreeWith(const DynamicPrinter& printer, const DTree& t);

}  // namespace kelvor
