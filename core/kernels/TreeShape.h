// What the tree kernel needs of one tree, computed once when the tree is
// read: the nodes numbered in pre-order, each with its interned production,
// its children, its height, and its place among the nodes of the same
// production. Built without recursion, so any depth is fine.
#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "core/examples/Token.h"
#include "core/kernels/Production.h"
#include "trees/AnnTree.h"

namespace kelvor {

class TreeShape {
 public:
  struct Node {
    ProductionId production;
    bool leaf;
    // Leaves 0; an inner node 1 + the greatest height of its children (so
    // 1 when it has none).
    std::int32_t height;
    // Its children, in order, as a range of children().
    std::int32_t childBegin, childEnd;
    // Its group in groups(), and its rank there (by pre-order number).
    std::int32_t group, rank;
  };

  // The nodes of one production, ascending by node index.
  struct Group {
    ProductionId production;
    std::int32_t begin, end;  // range of groupNodes()
    bool hasLeaf, hasInner;   // both only for a childless production
    std::int32_t size() const { return end - begin; }
  };

  // Annotations and leaf texts play no part.
  template <class A>
  static TreeShape of(const AnnTree<A>& tree);

  // Node i (0-based) is the node numbered i + 1 in pre-order.
  std::int32_t size() const { return static_cast<std::int32_t>(nodes_.size()); }
  const Node& node(std::int32_t i) const { return nodes_[static_cast<std::size_t>(i)]; }
  std::span<const Node> nodes() const { return nodes_; }
  std::span<const std::int32_t> children(const Node& n) const {
    return std::span<const std::int32_t>(children_).subspan(
        static_cast<std::size_t>(n.childBegin),
        static_cast<std::size_t>(n.childEnd - n.childBegin));
  }
  // Ascending by production id.
  std::span<const Group> groups() const { return groups_; }
  std::span<const std::int32_t> groupNodes(const Group& g) const {
    return std::span<const std::int32_t>(groupNodes_)
        .subspan(static_cast<std::size_t>(g.begin), static_cast<std::size_t>(g.size()));
  }
  std::int32_t maxHeight() const { return maxHeight_; }

 private:
  // One entry per node in pre-order: its tag, whether it is a leaf, and the
  // index of its parent (-1 for the root).
  TreeShape(const std::vector<TokenId>& tags, const std::vector<std::uint8_t>& leaf,
            const std::vector<std::int32_t>& parent);

  std::vector<Node> nodes_;
  std::vector<std::int32_t> children_;
  std::vector<Group> groups_;
  std::vector<std::int32_t> groupNodes_;
  std::int32_t maxHeight_ = 0;
};

template <class A>
TreeShape TreeShape::of(const AnnTree<A>& tree) {
  std::vector<TokenId> tags;
  std::vector<std::uint8_t> leaf;
  std::vector<std::int32_t> parent;
  std::vector<std::pair<const AnnTree<A>*, std::int32_t>> stack{{&tree, -1}};
  while (!stack.empty()) {
    const auto [node, up] = stack.back();
    stack.pop_back();
    const auto index = static_cast<std::int32_t>(tags.size());
    tags.push_back(internToken(node->treeTag()));
    parent.push_back(up);
    leaf.push_back(node->isTerm() ? 1 : 0);
    if (node->isTerm()) continue;
    const auto& kids = node->treeChildren();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.emplace_back(&*it, index);
  }
  return TreeShape(tags, leaf, parent);
}

}  // namespace kelvor
