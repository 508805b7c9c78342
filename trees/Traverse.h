// Top-down traversal: f(acc, node) -> (acc, node) is applied to every node of
// the input tree exactly once, in pre-order, threading the accumulator; the
// result is the final accumulator and the tree rebuilt from f's nodes.
//
// f sees each node as it is in the input tree, and the input children are
// the ones traversed and placed under f's node (f's own children of an inner
// node are dropped; a leaf's result is f's node as it stands). If f turns an
// inner node into a leaf, the rebuilt node is AnnTree::failedChildUpdate():
// the accumulator stays valid and only a use of that node stops the program.
//
// Subtrees that f leaves untouched are shared with the input, not copied.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "trees/AnnTree.h"
#include "trees/WorkStack.h"

namespace kelvor {

template <class F, class Acc, class A>
std::pair<Acc, AnnTree<A>> traverseTopDown(F&& f, Acc acc, const AnnTree<A>& t) {
  using Tree = AnnTree<A>;
  auto visit = [&](const Tree& n) -> Tree {
    auto [acc1, t1] = f(std::move(acc), n);
    acc = std::move(acc1);
    return std::move(t1);
  };
  if (t.isTerm()) {
    Tree t1 = visit(t);
    return {std::move(acc), std::move(t1)};
  }
  // The inner nodes of the input whose children are being traversed, with
  // f's node for each; the rebuilt children of all of them wait on one
  // common stack, from firstResult on.
  struct Frame {
    const Tree* input;
    Tree visited;
    std::size_t firstResult;
    std::size_t next;
  };
  std::vector<Frame> open;
  std::vector<Tree> results;
  auto rebuild = [&results](Frame& frame) -> Tree {
    const auto first = results.begin() + static_cast<std::ptrdiff_t>(frame.firstResult);
    const Tree& visited = frame.visited;
    if (visited.isFailedChildUpdate() || visited.isTerm()) {
      results.erase(first, results.end());
      return Tree::failedChildUpdate();
    }
    const auto& original = frame.input->treeChildren();
    if (std::equal(first, results.end(), original.begin(),
                   [](const Tree& x, const Tree& y) { return x.sameNode(y); })) {
      // Every child came back as it was: keep what can be kept.
      results.erase(first, results.end());
      if (visited.sameNode(*frame.input)) return visited;
      return Tree::makeNonTerm(visited.treeTag(), original, visited.treeAnn());
    }
    return Tree::makeNonTerm(visited.treeTag(), takeFrom(results, frame.firstResult),
                             visited.treeAnn());
  };

  open.push_back(Frame{&t, visit(t), 0, 0});
  while (true) {
    Frame& top = open.back();
    const auto& children = top.input->treeChildren();
    if (top.next < children.size()) {
      const Tree& child = children[top.next++];
      Tree visited = visit(child);
      if (child.isTerm())
        results.push_back(std::move(visited));
      else
        open.push_back(Frame{&child, std::move(visited), results.size(), 0});
      continue;
    }
    Tree done = rebuild(top);
    open.pop_back();
    if (open.empty()) return {std::move(acc), std::move(done)};
    results.push_back(std::move(done));
  }
}

}  // namespace kelvor
