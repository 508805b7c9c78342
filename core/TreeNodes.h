// Node numbering and productions of parse trees, as the tree kernel sees
// them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "trees/AnnTree.h"

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
  if (tree.isTerm()) {
    Numbered leaf = Term(tree.treeTag(), tree.treeText(), take());
    return {static_cast<std::int32_t>(next), std::move(leaf)};
  }
  struct Frame {
    const AnnTree<A>* input;
    std::int32_t number;
    std::vector<Numbered> done;
    std::size_t next;
  };
  std::vector<Frame> stack;
  stack.push_back(Frame{&tree, take(), {}, 0});
  while (true) {
    Frame& top = stack.back();
    const auto& kids = top.input->treeChildren();
    if (top.next < kids.size()) {
      const AnnTree<A>& kid = kids[top.next++];
      if (kid.isTerm()) {
        top.done.push_back(Term(kid.treeTag(), kid.treeText(), take()));
      } else {
        const std::int32_t number = take();
        stack.push_back(Frame{&kid, number, {}, 0});
      }
      continue;
    }
    Numbered built = NonTerm(top.input->treeTag(), std::move(top.done), top.number);
    stack.pop_back();
    if (stack.empty()) return {static_cast<std::int32_t>(next), std::move(built)};
    stack.back().done.push_back(std::move(built));
  }
}

}  // namespace kelvor
