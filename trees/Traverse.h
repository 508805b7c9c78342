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

#include <cstddef>
#include <utility>
#include <vector>

#include "trees/AnnTree.h"

namespace kelvor {

template <class F, class Acc, class A>
std::pair<Acc, AnnTree<A>> traverseTopDown(F&& f, Acc acc, const AnnTree<A>& t) {
  using Tree = AnnTree<A>;
  if (t.isTerm()) {
    auto [acc1, t1] = f(std::move(acc), t);
    return {std::move(acc1), std::move(t1)};
  }
  // An inner node of the input whose children are being traversed.
  struct Frame {
    const Tree* input;
    Tree visited;                 // f's node for it
    std::vector<Tree> rebuilt;    // filled only once a child differs
    std::size_t next = 0;
  };
  // Records the rebuilt form of the frame's child next-1.
  auto place = [](Frame& frame, Tree child) {
    const auto& original = frame.input->treeChildren();
    const std::size_t index = frame.next - 1;
    if (frame.rebuilt.empty()) {
      if (child.sameNode(original[index])) return;
      frame.rebuilt.reserve(original.size());
      frame.rebuilt.assign(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(index));
    }
    frame.rebuilt.push_back(std::move(child));
  };
  auto finish = [](Frame& frame) -> Tree {
    const Tree& visited = frame.visited;
    if (visited.isFailedChildUpdate() || visited.isTerm()) return Tree::failedChildUpdate();
    if (frame.rebuilt.empty()) {
      // Every child came back as it was.
      if (visited.sameNode(*frame.input)) return visited;
      return Tree::makeNonTerm(visited.treeTag(), frame.input->treeChildren(), visited.treeAnn());
    }
    return Tree::makeNonTerm(visited.treeTag(), std::move(frame.rebuilt), visited.treeAnn());
  };

  std::vector<Frame> stack;
  {
    auto [acc1, t1] = f(std::move(acc), t);
    acc = std::move(acc1);
    stack.push_back(Frame{&t, std::move(t1), {}, 0});
  }
  while (true) {
    Frame& top = stack.back();
    const auto& children = top.input->treeChildren();
    if (top.next < children.size()) {
      const Tree& child = children[top.next++];
      auto [acc1, t1] = f(std::move(acc), child);
      acc = std::move(acc1);
      if (child.isTerm())
        place(top, std::move(t1));
      else
        stack.push_back(Frame{&child, std::move(t1), {}, 0});
      continue;
    }
    Tree done = finish(top);
    stack.pop_back();
    if (stack.empty()) return {std::move(acc), std::move(done)};
    place(stack.back(), std::move(done));
  }
}

}  // namespace kelvor
