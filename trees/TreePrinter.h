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

#include "base/Show.h"
#include "base/StringEscape.h"
#include "trees/AnnTree.h"
#include "trees/TreeWalk.h"

namespace kelvor {

// A terminal text with each double quote and backslash escaped.
inline void ss(std::string& out, std::string_view s) { appendEscaped(out, s); }
// The same between double quotes.
inline void showsString(std::string& out, std::string_view s) { appendQuoted(out, s); }

// The plain form's stop at an inner node without children.
[[noreturn]] void failShowChildren();

namespace detail {

// On walkTree's explicit stack, so that a tree of any depth prints.
template <bool kAnnotated, class A>
void printTree(std::string& out, const AnnTree<A>& root) {
  walkTree(
      root,
      [&](const AnnTree<A>& t, std::size_t index) {
        if (index > 0) out += ' ';
        out += '(';
        out += t.treeTag();
        if constexpr (kAnnotated) {
          out += " {";
          appendShow(out, 0, t.treeAnn());
          out += "} ";
        } else {
          out += ' ';
        }
        if (t.isTerm()) {
          showsString(out, t.treeText());
        } else if (t.treeChildren().empty()) {
          if constexpr (kAnnotated)
            out += "<<EMPTY SUBTREE>>";
          else
            failShowChildren();
        }
      },
      [&](const AnnTree<A>&) { out += ')'; });
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
