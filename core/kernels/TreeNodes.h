// Node numbering and productions of parse trees, as the tree kernel sees
// them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "trees/AnnTree.h"
#include "trees/TreeWalk.h"

namespace kelvor {

// Numbers the nodes in pre-order from `first` (the root gets `first`, then
// the subtrees of the children one after the other), replacing every
// annotation by the node's number. Returns the next free number with the
// numbered tree. Iterative: any depth is fine.
template <class A>
std::pair<std::int32_t, AnnTree<std::int32_t>> numberTreeNodes(std::int32_t first,
                                                               const AnnTree<A>& tree);

// A node's tag with the tags of its children in order; a leaf's word takes
// no part, so a leaf has its tag and no child tags.
template <class A>
std::pair<std::string, std::vector<std::string>> treeProduction(const AnnTree<A>& node) {
  std::vector<std::string> childTags;
  if (node.isNonTerm())
    for (const AnnTree<A>& c : node.treeChildren()) childTags.push_back(c.treeTag());
  return {node.treeTag(), std::move(childTags)};
}

template <class A>
std::pair<std::int32_t, AnnTree<std::int32_t>> numberTreeNodes(std::int32_t first,
                                                               const AnnTree<A>& tree) {
  using Numbered = AnnTree<std::int32_t>;
  // Counted modulo 2^32 so that a start near the top of the range wraps
  // instead of overflowing.
  auto next = static_cast<std::uint32_t>(first);
  auto take = [&next] { return static_cast<std::int32_t>(next++); };
  std::vector<std::int32_t> open;  // the numbers of the inner nodes being rebuilt
  Numbered numbered = rebuildTree<std::int32_t>(
      tree, [&](const AnnTree<A>&) { open.push_back(take()); },
      [&](const AnnTree<A>& leaf) { return Term(leaf.treeTag(), leaf.treeText(), take()); },
      [&](const AnnTree<A>& node, std::vector<Numbered>&& children) {
        const std::int32_t number = open.back();
        open.pop_back();
        return NonTerm(node.treeTag(), std::move(children), number);
      });
  return {static_cast<std::int32_t>(next), std::move(numbered)};
}

}  // namespace kelvor
