// Counts, leaves and words of trees, the variant tests, a map over the
// annotations and a left-to-right traversal of the leaves. Trees of any
// depth: nothing here recurses.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "trees/AnnTree.h"
#include "trees/TreeWalk.h"

namespace kelvor {

// A count that does not fit the caller's numeric type.
[[noreturn]] void failCountRange(const char* function, std::uint64_t count);

namespace detail {

template <class N>
N checkedCount(const char* function, std::uint64_t count) {
  if constexpr (std::numeric_limits<N>::is_bounded) {
    if (count > static_cast<std::uint64_t>(std::numeric_limits<N>::max()))
      failCountRange(function, count);
  }
  return static_cast<N>(count);
}

}  // namespace detail

// The number of nodes.
template <class N = std::int64_t, class A>
N treeSize(const AnnTree<A>& t) {
  std::uint64_t n = 0;
  forEachNode(t, [&](const AnnTree<A>&) { ++n; });
  return detail::checkedCount<N>("treeSize", n);
}

// The number of leaves (an inner node without children has none).
template <class N = std::int64_t, class A>
N numLeaves(const AnnTree<A>& t) {
  std::uint64_t n = 0;
  forEachLeaf(t, [&](const AnnTree<A>&) { ++n; });
  return detail::checkedCount<N>("numLeaves", n);
}

// The leaves themselves, in reading order.
template <class A>
std::vector<AnnTree<A>> getLeaves(const AnnTree<A>& t) {
  std::vector<AnnTree<A>> out;
  forEachLeaf(t, [&](const AnnTree<A>& leaf) { out.push_back(leaf); });
  return out;
}

// The leaves' texts, in reading order.
template <class A>
std::vector<std::string> getWords(const AnnTree<A>& t) {
  std::vector<std::string> out;
  forEachLeaf(t, [&](const AnnTree<A>& leaf) { out.push_back(leaf.treeText()); });
  return out;
}

template <class A>
bool isTerm(const AnnTree<A>& t) {
  return t.isTerm();
}
template <class A>
bool isNonTerm(const AnnTree<A>& t) {
  return t.isNonTerm();
}

// The same shape, tags, texts and child order, every annotation replaced by
// f(annotation).
template <class A, class F, class B = std::remove_cvref_t<std::invoke_result_t<F&, const A&>>>
AnnTree<B> mapTree(F&& f, const AnnTree<A>& t) {
  return rebuildTree<B>(
      t, [](const AnnTree<A>&) {},
      [&](const AnnTree<A>& leaf) {
        return AnnTree<B>::makeTerm(leaf.treeTag(), leaf.treeText(), f(leaf.treeAnn()));
      },
      [&](const AnnTree<A>& node, std::vector<AnnTree<B>>&& children) {
        return AnnTree<B>::makeNonTerm(node.treeTag(), std::move(children), f(node.treeAnn()));
      });
}

// Threads an accumulator through the leaves in reading order:
// f(acc, leaf) -> (acc, tree) gives the next accumulator and the leaf's
// replacement (a leaf or not; it is not traversed further). Inner nodes
// keep their tags and annotations; f never sees them. A subtree in which f
// changed nothing is shared with the input.
template <class F, class Acc, class A>
std::pair<Acc, AnnTree<A>> traverseLeftToRight(F&& f, Acc acc, const AnnTree<A>& t) {
  using Tree = AnnTree<A>;
  Tree result = rebuildTree<A>(
      t, [](const Tree&) {},
      [&](const Tree& leaf) -> Tree {
        auto [next, replaced] = f(std::move(acc), leaf);
        acc = std::move(next);
        return std::move(replaced);
      },
      [](const Tree& node, std::vector<Tree>&& children) -> Tree {
        const auto& old = node.treeChildren();
        bool unchanged = true;
        for (std::size_t i = 0; i < old.size() && unchanged; ++i)
          unchanged = children[i].sameNode(old[i]);
        if (unchanged) return node;
        return Tree::makeNonTerm(node.treeTag(), std::move(children), node.treeAnn());
      });
  return {std::move(acc), std::move(result)};
}

}  // namespace kelvor
