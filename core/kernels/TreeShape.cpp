#include "core/kernels/TreeShape.h"

#include <algorithm>

namespace kelvor {

TreeShape::TreeShape(const std::vector<TokenId>& tags, const std::vector<std::uint8_t>& leaf,
                     const std::vector<std::int32_t>& parent) {
  const std::size_t n = tags.size();
  nodes_.resize(n);

  // Child lists: a parent's children appear in pre-order left to right, so
  // filling in node order keeps them in order.
  std::vector<std::int32_t> fill(n + 1, 0);
  for (std::size_t i = 1; i < n; ++i) ++fill[static_cast<std::size_t>(parent[i]) + 1];
  for (std::size_t i = 0; i < n; ++i) fill[i + 1] += fill[i];
  for (std::size_t i = 0; i < n; ++i) {
    nodes_[i].childBegin = fill[i];
    nodes_[i].childEnd = fill[i];
    nodes_[i].leaf = leaf[i] != 0;
  }
  children_.resize(n == 0 ? 0 : n - 1);
  for (std::size_t i = 1; i < n; ++i) {
    Node& up = nodes_[static_cast<std::size_t>(parent[i])];
    children_[static_cast<std::size_t>(up.childEnd++)] = static_cast<std::int32_t>(i);
  }

  // Productions, and heights from the bottom up: children come after their
  // parent in pre-order.
  std::vector<TokenId> childTags;
  for (std::size_t i = n; i-- > 0;) {
    Node& node = nodes_[i];
    childTags.clear();
    std::int32_t height = 0;
    for (std::int32_t c : children(node)) {
      childTags.push_back(tags[static_cast<std::size_t>(c)]);
      height = std::max(height, nodes_[static_cast<std::size_t>(c)].height);
    }
    node.production = internProduction(tags[i], childTags);
    node.height = node.leaf ? 0 : height + 1;
    maxHeight_ = std::max(maxHeight_, node.height);
  }

  // Groups of equal production, each in ascending node order.
  groupNodes_.resize(n);
  for (std::size_t i = 0; i < n; ++i) groupNodes_[i] = static_cast<std::int32_t>(i);
  std::stable_sort(groupNodes_.begin(), groupNodes_.end(), [&](std::int32_t a, std::int32_t b) {
    return nodes_[static_cast<std::size_t>(a)].production <
           nodes_[static_cast<std::size_t>(b)].production;
  });
  for (std::size_t k = 0; k < n; ++k) {
    Node& node = nodes_[static_cast<std::size_t>(groupNodes_[k])];
    if (groups_.empty() || groups_.back().production != node.production)
      groups_.push_back(Group{node.production, static_cast<std::int32_t>(k),
                              static_cast<std::int32_t>(k), false, false});
    Group& g = groups_.back();
    node.group = static_cast<std::int32_t>(groups_.size() - 1);
    node.rank = g.end - g.begin;
    ++g.end;
    (node.leaf ? g.hasLeaf : g.hasInner) = true;
  }
}

}  // namespace kelvor
