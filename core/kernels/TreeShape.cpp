#include "core/kernels/TreeShape.h"

#include <algorithm>
#include <cstring>

#include "base/Fatal.h"

namespace kelvor {

namespace {

void appendLength(std::string& out, std::size_t n) {
  while (n >= 0x80) {
    out += static_cast<char>((n & 0x7F) | 0x80);
    n >>= 7;
  }
  out += static_cast<char>(n);
}

std::size_t takeLength(std::string_view s, std::size_t& at) {
  std::size_t n = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(s[at++]);
    n |= static_cast<std::size_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return n;
  }
}

}  // namespace

TreeShape::Builder& TreeShape::Builder::local() {
  thread_local Builder b;
  return b;
}

void TreeShape::Builder::reset() {
  nodes_.clear();
  open_.clear();
  childTags_.clear();
  texts_.clear();
  maxHeight_ = 0;
  childlessInner_ = false;
}

void TreeShape::Builder::add(TagId tag, Node node) {
  if (nodes_.size() >= static_cast<std::size_t>(INT32_MAX) - 1)
    fail("A tree of more than 2^31 nodes");
  if (!open_.empty()) childTags_.push_back(tag);
  nodes_.push_back(node);
}

void TreeShape::Builder::openInner(std::string_view tag) {
  const TagId id = internTag(tag);
  // The tag waits in the production's place until the node closes.
  add(id, Node{id, 0, 0, 0, 0});
  open_.push_back({static_cast<std::int32_t>(nodes_.size() - 1), childTags_.size(), 0});
}

void TreeShape::Builder::leaf(std::string_view tag, std::string_view text) {
  const TagId id = internTag(tag);
  const auto i = static_cast<std::int32_t>(nodes_.size());
  add(id, Node{internProduction(id, {}), 0, i + 1, 0, 0});
  appendLength(texts_, text.size());
  texts_ += text;
}

void TreeShape::Builder::closeInner() {
  const Open o = open_.back();
  open_.pop_back();
  Node& node = nodes_[static_cast<std::size_t>(o.node)];
  const std::span<const TagId> childTags =
      std::span<const TagId>(childTags_).subspan(o.firstChildTag);
  childlessInner_ = childlessInner_ || childTags.empty();
  node.production = internProduction(node.production, childTags);
  node.height = o.highestChild + 1;
  node.end = static_cast<std::int32_t>(nodes_.size());
  childTags_.resize(o.firstChildTag);
  maxHeight_ = std::max(maxHeight_, node.height);
  if (!open_.empty()) open_.back().highestChild = std::max(open_.back().highestChild, node.height);
}

TreeShape TreeShape::Builder::finish() {
  const std::size_t n = nodes_.size();
  TreeShape shape;
  shape.maxHeight_ = maxHeight_;
  shape.childlessInner_ = childlessInner_;

  // Groups of equal production, each in ascending node order: the keys are
  // distinct, so a plain sort keeps that order.
  order_.resize(n);
  for (std::size_t i = 0; i < n; ++i) order_[i] = (std::uint64_t{nodes_[i].production} << 32) | i;
  std::sort(order_.begin(), order_.end());
  std::int32_t groups = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const bool first = k == 0 || (order_[k] >> 32) != (order_[k - 1] >> 32);
    groups += first;
  }

  shape.n_ = static_cast<std::int32_t>(n);
  shape.g_ = groups;
  shape.textBytes_ = static_cast<std::uint32_t>(texts_.size());
  shape.block_ = std::make_unique_for_overwrite<std::byte[]>(shape.textsOffset() + texts_.size());
  auto* groupList = reinterpret_cast<std::int32_t*>(shape.block_.get() + shape.groupListOffset());
  auto* groupStarts = reinterpret_cast<std::int32_t*>(shape.block_.get() + shape.groupsOffset());
  std::int32_t g = -1, rank = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const auto i = static_cast<std::int32_t>(order_[k] & 0xFFFFFFFFu);
    Node& node = nodes_[static_cast<std::size_t>(i)];
    if (k == 0 || (order_[k] >> 32) != (order_[k - 1] >> 32)) {
      groupStarts[++g] = static_cast<std::int32_t>(k);
      rank = 0;
    }
    node.group = g;
    node.rank = rank++;
    groupList[k] = i;
  }
  groupStarts[groups] = static_cast<std::int32_t>(n);
  std::memcpy(shape.block_.get(), nodes_.data(), sizeof(Node) * n);
  std::memcpy(shape.block_.get() + shape.textsOffset(), texts_.data(), texts_.size());
  reset();
  return shape;
}

bool TreeShape::groupHasLeaf(std::size_t g) const {
  const auto members = groupNodes(g);
  if (!childlessInner_) return node(members.front()).leaf();
  return std::any_of(members.begin(), members.end(),
                     [&](std::int32_t i) { return node(i).leaf(); });
}

bool TreeShape::groupHasInner(std::size_t g) const {
  const auto members = groupNodes(g);
  if (!childlessInner_) return !node(members.front()).leaf();
  return std::any_of(members.begin(), members.end(),
                     [&](std::int32_t i) { return !node(i).leaf(); });
}

AnnTree<Unit> TreeShape::tree() const {
  using Tree = AnnTree<Unit>;
  struct Open {
    std::int32_t end;
    std::size_t firstChild;
    TagId tag;
  };
  std::vector<Open> open;
  std::vector<Tree> finished;
  auto closeInnermost = [&] {
    const Open o = open.back();
    open.pop_back();
    Tree node = Tree::makeNonTerm(tagText(o.tag), takeFrom(finished, o.firstChild), Unit{});
    finished.push_back(std::move(node));
  };
  const std::string_view text = texts();
  std::size_t at = 0;
  for (std::int32_t i = 0; i < n_; ++i) {
    while (!open.empty() && open.back().end <= i) closeInnermost();
    const Node& n = node(i);
    const TagId tag = productionTag(n.production);
    if (n.leaf()) {
      const std::size_t length = takeLength(text, at);
      finished.push_back(Tree::makeTerm(tagText(tag), text.substr(at, length), Unit{}));
      at += length;
    } else {
      open.push_back({n.end, finished.size(), tag});
    }
  }
  while (!open.empty()) closeInnermost();
  return std::move(finished.front());
}

}  // namespace kelvor
