// Bracketed text of trees. Every printer appends to `out`, which plays the
// part of the text that follows: nothing already in it is copied or scanned.
//
// The plain form (showTree) is what the tree reader reads back; the
// annotated form (showAnnTree) adds each node's annotation in braces, in the
// annotation's value-printer form (appendShow at level 0). No line break or
// indentation is ever added.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/Show.h"
#include "core/StringEscape.h"
#include "trees/AnnTree.h"

namespace kelvor {

// A terminal text with each double quote and backslash escaped.
inline void ss(std::string& out, std::string_view s) { appendEscaped(out, s); }
// The same between double quotes.
inline void showsString(std::string& out, std::string_view s) { appendQuoted(out, s); }

// The plain form's stop at an inner node without children.
[[noreturn]] void failShowChildren();

namespace detail {

// One pass, front to back, with the open inner nodes on an explicit stack.
template <bool kAnnotated, class A>
void printTree(std::string& out, const AnnTree<A>& root) {
  struct Frame {
    const typename AnnTree<A>::Children* children;
    std::size_t next;
  };
  std::vector<Frame> open;
  const AnnTree<A>* t = &root;
  while (true) {
    out += '(';
    out += t->treeTag();
    if constexpr (kAnnotated) {
      out += " {";
      appendShow(out, 0, t->treeAnn());
      out += "} ";
    } else {
      out += ' ';
    }
    if (t->isTerm()) {
      showsString(out, t->treeText());
      out += ')';
    } else if (const auto& children = t->treeChildren(); !children.empty()) {
      open.push_back({&children, 1});
      t = &children.front();
      continue;
    } else if constexpr (kAnnotated) {
      out += "<<EMPTY SUBTREE>>)";
    } else {
      failShowChildren();
    }
    // Close the nodes whose children are all written, up to the next child.
    while (true) {
      if (open.empty()) return;
      Frame& f = open.back();
      if (f.next < f.children->size()) {
        out += ' ';
        t = &(*f.children)[f.next++];
        break;
      }
      out += ')';
      open.pop_back();
    }
  }
}

}  // namespace detail

template <class A>
void showTree(std::string& out, const AnnTree<A>& t) {
  detail::printTree<false>(out, t);
}
template <class A>
std::string showTree(const AnnTree<A>& t) {
  std::string out;
  showTree(out, t);
  return out;
}

template <class A>
void showAnnTree(std::string& out, const AnnTree<A>& t) {
  detail::printTree<true>(out, t);
}
template <class A>
std::string showAnnTree(const AnnTree<A>& t) {
  std::string out;
  showAnnTree(out, t);
  return out;
}

// The printed form of a tree in the value printer is the annotated form,
// never put in parentheses.
template <class A>
void appendShow(std::string& out, int /*prec*/, const AnnTree<A>& t) {
  showAnnTree(out, t);
}

}  // namespace kelvor
