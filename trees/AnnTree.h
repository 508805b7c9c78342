// The annotated parse tree: a leaf (Term: tag, text, annotation) or an inner
// node (NonTerm: tag, children, annotation).
//
// Trees are immutable values whose nodes are shared, so copying a tree or
// keeping a subtree is O(1). Nothing is enforced on construction: an inner
// node may have no children and any tag.
//
// Trees read from text can be arbitrarily deep, so nothing here recurses over
// the whole depth of a tree: equality and ordering walk with explicit stacks,
// and destruction recurses only to a fixed depth (see release).
#pragma once

#include <compare>
#include <concepts>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "base/NodePool.h"

namespace kelvor {

// The empty annotation of trees read from text.
struct Unit {
  friend constexpr bool operator==(Unit, Unit) = default;
  friend constexpr auto operator<=>(Unit, Unit) = default;
};
// Printed as "()". (A tree's own printed form, the annotated bracketed
// form, is in trees/TreePrinter.h.)
void appendShow(std::string& out, int prec, Unit);

// The fatal stops of field access on the wrong variant, and of using the
// node of a failed child update (see failedChildUpdate).
[[noreturn]] void failTreeText();
[[noreturn]] void failTreeChildren();
[[noreturn]] void failChildUpdate();

template <class A>
class AnnTree {
 public:
  using Children = std::vector<AnnTree>;

  // The tag and text are anything a std::string is made from (a view into
  // a text being read, say), built in place in the node.
  template <class Tag, class Text>
  static AnnTree makeTerm(Tag&& tag, Text&& text, A ann) {
    return AnnTree(makePooled<Node>(std::forward<Tag>(tag), std::move(ann),
                                    std::in_place_index<kTerm>, std::forward<Text>(text)));
  }
  template <class Tag>
  static AnnTree makeNonTerm(Tag&& tag, Children children, A ann) {
    return AnnTree(makePooled<Node>(std::forward<Tag>(tag), std::move(ann),
                                    std::in_place_index<kNonTerm>, std::move(children)));
  }

  // The node that an update of a leaf's children gives: it can be held,
  // copied and dropped, but any other use stops the program.
  static AnnTree failedChildUpdate() { return AnnTree(nullptr); }
  bool isFailedChildUpdate() const { return node_ == nullptr; }

  AnnTree(const AnnTree&) = default;
  AnnTree(AnnTree&& other) noexcept = default;
  // By value: the old content goes with the parameter, also when the new
  // tree is a part of the old one.
  AnnTree& operator=(AnnTree other) noexcept {
    node_.swap(other.node_);
    return *this;
  }
  ~AnnTree() {
    if (node_) release(std::move(node_));
  }

  bool isTerm() const { return node().body.index() == kTerm; }
  bool isNonTerm() const { return node().body.index() == kNonTerm; }

  const std::string& treeTag() const { return node().tag; }
  const A& treeAnn() const { return node().ann; }
  const std::string& treeText() const {
    const Node& n = node();
    if (n.body.index() != kTerm) failTreeText();
    return std::get<kTerm>(n.body);
  }
  const Children& treeChildren() const {
    const Node& n = node();
    if (n.body.index() != kNonTerm) failTreeChildren();
    return std::get<kNonTerm>(n.body);
  }

  // Whether both hold the very same node (not merely equal ones): lets a
  // rebuild keep a subtree that did not change.
  bool sameNode(const AnnTree& other) const { return node_ == other.node_; }

 private:
  static constexpr std::size_t kTerm = 0;
  static constexpr std::size_t kNonTerm = 1;
  using Body = std::variant<std::string, Children>;
  struct Node {
    template <class Tag, std::size_t kVariant, class Payload>
    Node(Tag&& t, A a, std::in_place_index_t<kVariant> variant, Payload&& payload)
        : tag(std::forward<Tag>(t)),
          ann(std::move(a)),
          body(variant, std::forward<Payload>(payload)) {}

    std::string tag;
    [[no_unique_address]] A ann;
    Body body;
  };

  explicit AnnTree(std::shared_ptr<Node> node) : node_(std::move(node)) {}

  const Node& node() const {
    if (!node_) failChildUpdate();
    return *node_;
  }

  // Drops a reference. Freeing a node frees its children through their own
  // destructors, a recursion as deep as the tree; past a fixed depth the
  // nodes are parked instead and freed by the outermost release, so the
  // stack stays bounded however deep the tree.
  static void release(std::shared_ptr<const Node>&& node) noexcept {
    constexpr int kMaxNesting = 256;
    thread_local constinit int nesting = 0;
    // Made on first need and never freed: trees in static storage are
    // dropped after the thread's own objects are gone.
    thread_local constinit std::vector<std::shared_ptr<const Node>>* parked = nullptr;
    if (nesting >= kMaxNesting) {
      if (parked == nullptr) parked = new std::vector<std::shared_ptr<const Node>>();
      parked->push_back(std::move(node));
      return;
    }
    ++nesting;
    node.reset();
    if (nesting == 1 && parked != nullptr) {
      while (!parked->empty()) {
        std::shared_ptr<const Node> next = std::move(parked->back());
        parked->pop_back();
        next.reset();
      }
    }
    --nesting;
  }

  std::shared_ptr<const Node> node_;
};

template <class A>
AnnTree<A> Term(std::string tag, std::string text, A ann) {
  return AnnTree<A>::makeTerm(std::move(tag), std::move(text), std::move(ann));
}

template <class A>
AnnTree<A> NonTerm(std::string tag, typename AnnTree<A>::Children children, A ann) {
  return AnnTree<A>::makeNonTerm(std::move(tag), std::move(children), std::move(ann));
}

namespace detail {

// Walks two trees in lockstep, pre-order, children left to right, and
// returns the first difference `ops` reports, or ops.same(). Per node pair:
// variant, tag, then the text or the child lists (pairwise, then their
// lengths), then the annotation.
template <class A, class Ops>
auto compareLockstep(const AnnTree<A>& a0, const AnnTree<A>& b0, const Ops& ops) {
  struct Frame {
    const AnnTree<A>* a;
    const AnnTree<A>* b;
    std::size_t next;
  };
  std::vector<Frame> stack;
  const AnnTree<A>* a = &a0;
  const AnnTree<A>* b = &b0;
  while (true) {
    const bool aTerm = a->isTerm();
    if (aTerm != b->isTerm()) return ops.variants(aTerm);
    if (auto r = ops.strings(a->treeTag(), b->treeTag()); r != ops.same()) return r;
    if (aTerm) {
      if (auto r = ops.strings(a->treeText(), b->treeText()); r != ops.same()) return r;
      if (auto r = ops.anns(a->treeAnn(), b->treeAnn()); r != ops.same()) return r;
    } else {
      stack.push_back({a, b, 0});
    }
    // Move to the next pair of children, finishing the nodes whose child
    // lists are exhausted.
    while (true) {
      if (stack.empty()) return ops.same();
      Frame& f = stack.back();
      const auto& ca = f.a->treeChildren();
      const auto& cb = f.b->treeChildren();
      if (f.next < ca.size() && f.next < cb.size()) {
        a = &ca[f.next];
        b = &cb[f.next];
        ++f.next;
        break;
      }
      if (auto r = ops.sizes(ca.size(), cb.size()); r != ops.same()) return r;
      if (auto r = ops.anns(f.a->treeAnn(), f.b->treeAnn()); r != ops.same()) return r;
      stack.pop_back();
    }
  }
}

template <class A>
struct EqualityOps {
  static bool same() { return true; }
  static bool variants(bool) { return false; }
  static bool strings(const std::string& x, const std::string& y) { return x == y; }
  static bool sizes(std::size_t x, std::size_t y) { return x == y; }
  static bool anns(const A& x, const A& y) { return static_cast<bool>(x == y); }
};

template <class A>
struct OrderingOps {
  using R =
      std::common_comparison_category_t<std::strong_ordering, std::compare_three_way_result_t<A>>;
  static R same() { return R::equivalent; }
  // A leaf is less than any inner node.
  static R variants(bool aIsTerm) { return aIsTerm ? R::less : R::greater; }
  // std::string compares bytes as unsigned characters, shorter prefix first.
  static R strings(const std::string& x, const std::string& y) { return x <=> y; }
  static R sizes(std::size_t x, std::size_t y) { return x <=> y; }
  static R anns(const A& x, const A& y) { return x <=> y; }
};

}  // namespace detail

template <std::equality_comparable A>
bool operator==(const AnnTree<A>& a, const AnnTree<A>& b) {
  return detail::compareLockstep(a, b, detail::EqualityOps<A>{});
}

template <std::three_way_comparable A>
auto operator<=>(const AnnTree<A>& a, const AnnTree<A>& b) {
  return detail::compareLockstep(a, b, detail::OrderingOps<A>{});
}

}  // namespace kelvor
