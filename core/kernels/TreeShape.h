// What the tree kernel needs of one tree, computed once when the tree is
// read, together with the tree's leaf texts so that the tree itself can be
// given back: the nodes numbered in pre-order, each with its interned
// production, its height, the end of its subtree and its place among the
// nodes of the same production. Everything lives in one block of memory
// (some 24 bytes a node), since a training set holds a tree per example.
// Built without recursion, so any depth is fine.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/kernels/Production.h"
#include "trees/AnnTree.h"
#include "trees/TreeWalk.h"

namespace kelvor {

class TreeShape {
 public:
  struct Node {
    ProductionId production;
    // Leaves 0; an inner node 1 + the greatest height of its children (so
    // 1 when it has none).
    std::int32_t height;
    // One past the last node of its subtree. A node's children are the
    // node right after it and then, each, the node at the previous child's
    // end, up to its own end.
    std::int32_t end;
    // Its group in groups(), and its rank there (by pre-order number).
    std::int32_t group, rank;
    bool leaf() const { return height == 0; }
  };

  // Nodes of equal production form a group; groups ascend by production,
  // and the nodes of group g, ascending by node index, are groupNodes(g).

  // Takes the nodes of one tree in pre-order, as the tree reader reports
  // them (see readTreeWith in trees/TreeReader.h), and makes the shape.
  class Builder {
   public:
    void openInner(std::string_view tag);
    void leaf(std::string_view tag, std::string_view text);
    void closeInner();
    // The shape of the nodes given since the last finish (or reset).
    TreeShape finish();
    void reset();

    // One per thread, so that reading trees allocates only their shapes.
    static Builder& local();

   private:
    struct Open {
      std::int32_t node;
      std::size_t firstChildTag;  // in childTags_
      std::int32_t highestChild;  // the greatest height among its children so far
    };
    // The node's production, height and end are set as it completes: a
    // leaf at once, an inner node when it closes.
    void add(TagId tag, Node node);

    std::vector<Node> nodes_;
    std::vector<Open> open_;
    std::vector<TagId> childTags_;  // of every open node, the innermost last
    std::string texts_;             // each leaf's text, led by its length
    std::vector<std::uint64_t> order_;
    std::int32_t maxHeight_ = 0;
    bool childlessInner_ = false;
  };

  // Annotations play no part.
  template <class A>
  static TreeShape of(const AnnTree<A>& tree);

  TreeShape() = default;
  TreeShape(TreeShape&&) noexcept = default;
  TreeShape& operator=(TreeShape&&) noexcept = default;

  // Node i (0-based) is the node numbered i + 1 in pre-order.
  std::int32_t size() const { return n_; }
  const Node& node(std::int32_t i) const { return nodes()[static_cast<std::size_t>(i)]; }
  std::span<const Node> nodes() const {
    return {reinterpret_cast<const Node*>(block_.get()), static_cast<std::size_t>(n_)};
  }
  std::int32_t groupCount() const { return g_; }
  ProductionId groupProduction(std::size_t g) const {
    return node(groupList()[static_cast<std::size_t>(groupStarts()[g])]).production;
  }
  std::int32_t groupSize(std::size_t g) const {
    const auto starts = groupStarts();
    return starts[g + 1] - starts[g];
  }
  std::span<const std::int32_t> groupNodes(std::size_t g) const {
    const auto starts = groupStarts();
    return groupList().subspan(static_cast<std::size_t>(starts[g]),
                               static_cast<std::size_t>(starts[g + 1] - starts[g]));
  }
  // The same as two flat arrays, for loops that look them up often: the
  // nodes of all groups one after the other, and where each group starts
  // there, followed by size().
  std::span<const std::int32_t> groupList() const {
    return {reinterpret_cast<const std::int32_t*>(block_.get() + groupListOffset()),
            static_cast<std::size_t>(n_)};
  }
  std::span<const std::int32_t> groupStarts() const {
    return {reinterpret_cast<const std::int32_t*>(block_.get() + groupsOffset()),
            static_cast<std::size_t>(g_) + 1};
  }
  // Whether a group holds leaves, inner nodes or (only for a production
  // without child tags, in a tree with an inner node without children)
  // both.
  bool groupHasLeaf(std::size_t g) const;
  bool groupHasInner(std::size_t g) const;
  bool hasChildlessInner() const { return childlessInner_; }
  std::int32_t maxHeight() const { return maxHeight_; }

  // The tree again, tags and texts as read, every annotation empty.
  AnnTree<Unit> tree() const;

 private:
  std::string_view texts() const {
    return {reinterpret_cast<const char*>(block_.get() + textsOffset()), textBytes_};
  }
  std::size_t groupListOffset() const { return sizeof(Node) * static_cast<std::size_t>(n_); }
  std::size_t groupsOffset() const {
    return groupListOffset() + sizeof(std::int32_t) * static_cast<std::size_t>(n_);
  }
  std::size_t textsOffset() const {
    return groupsOffset() + sizeof(std::int32_t) * (static_cast<std::size_t>(g_) + 1);
  }

  // Nodes, then the node list of the groups, then the group starts with an
  // end marker, then the texts.
  std::unique_ptr<std::byte[]> block_;
  std::int32_t n_ = 0;
  std::int32_t g_ = 0;
  std::int32_t maxHeight_ = 0;
  std::uint32_t textBytes_ = 0;
  bool childlessInner_ = false;  // an inner node without children
};

template <class A>
TreeShape TreeShape::of(const AnnTree<A>& tree) {
  Builder& b = Builder::local();
  b.reset();
  walkTree(
      tree,
      [&](const AnnTree<A>& node, std::size_t) {
        if (node.isTerm())
          b.leaf(node.treeTag(), node.treeText());
        else
          b.openInner(node.treeTag());
      },
      [&](const AnnTree<A>& node) {
        if (node.isNonTerm()) b.closeInner();
      });
  return b.finish();
}

}  // namespace kelvor
