// Depth-first walks over trees of any depth, on an explicit stack: the
// shapes that the tree utilities share.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "trees/AnnTree.h"
#include "trees/WorkStack.h"

namespace kelvor {

// Calls enter(node, indexAmongSiblings) for every node in pre-order,
// children from the first to the last (the root's index is 0), and
// leave(node) once all of a node's children are left; a leaf, or an inner
// node without children, is left right after it is entered.
template <class A, class Enter, class Leave>
void walkTree(const AnnTree<A>& root, Enter&& enter, Leave&& leave) {
  struct Frame {
    const AnnTree<A>* node;
    std::size_t next;
  };
  std::vector<Frame> open;
  const AnnTree<A>* t = &root;
  std::size_t index = 0;
  while (true) {
    enter(*t, index);
    if (t->isNonTerm() && !t->treeChildren().empty()) {
      open.push_back({t, 1});
      t = &t->treeChildren().front();
      index = 0;
      continue;
    }
    leave(*t);
    while (true) {
      if (open.empty()) return;
      Frame& f = open.back();
      const auto& children = f.node->treeChildren();
      if (f.next < children.size()) {
        index = f.next;
        t = &children[f.next++];
        break;
      }
      leave(*f.node);
      open.pop_back();
    }
  }
}

// Calls visit(node) for every node in pre-order.
template <class A, class Visit>
void forEachNode(const AnnTree<A>& root, Visit&& visit) {
  walkTree(
      root, [&](const AnnTree<A>& t, std::size_t) { visit(t); }, [](const AnnTree<A>&) {});
}

// Calls visit(leaf) for every leaf in reading order.
template <class A, class Visit>
void forEachLeaf(const AnnTree<A>& root, Visit&& visit) {
  forEachNode(root, [&](const AnnTree<A>& t) {
    if (t.isTerm()) visit(t);
  });
}

// Builds a tree of annotation type B bottom-up: onLeaf(leaf) gives each
// leaf's replacement, in reading order; onInner(node, children) gives an
// inner node's from its rebuilt children (a std::vector<AnnTree<B>>&&) once
// they are all built; onEnter(node) is told of an inner node before any
// node below it is rebuilt.
template <class B, class A, class OnEnter, class OnLeaf, class OnInner>
AnnTree<B> rebuildTree(const AnnTree<A>& root, OnEnter&& onEnter, OnLeaf&& onLeaf,
                       OnInner&& onInner) {
  std::vector<AnnTree<B>> built;        // finished subtrees waiting for their parent
  std::vector<std::size_t> firstChild;  // where each open inner node's children begin
  walkTree(
      root,
      [&](const AnnTree<A>& t, std::size_t) {
        if (t.isNonTerm()) {
          onEnter(t);
          firstChild.push_back(built.size());
        }
      },
      [&](const AnnTree<A>& t) {
        if (t.isTerm()) {
          built.push_back(onLeaf(t));
          return;
        }
        std::vector<AnnTree<B>> children = takeFrom(built, firstChild.back());
        firstChild.pop_back();
        built.push_back(onInner(t, std::move(children)));
      });
  return std::move(built.back());
}

}  // namespace kelvor
