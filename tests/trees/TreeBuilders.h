// Short spellings of trees with the empty annotation, for the tree tests.
#pragma once

#include <string>
#include <vector>

#include "trees/AnnTree.h"

namespace kelvor::testing {

using UTree = AnnTree<Unit>;

inline UTree leaf(std::string tag, std::string text) {
  return Term(std::move(tag), std::move(text), Unit{});
}
inline UTree node(std::string tag, std::vector<UTree> children) {
  return NonTerm(std::move(tag), std::move(children), Unit{});
}

// (S (NP (DT the) (NN dog)) (VP (VBZ barks))).
inline UTree sentence() {
  return node("S", {node("NP", {leaf("DT", "the"), leaf("NN", "dog")}),
                    node("VP", {leaf("VBZ", "barks")})});
}

// A chain of `depth` inner nodes tagged A over the leaf (X text).
inline UTree deepChain(std::size_t depth, std::string text = "y") {
  UTree t = leaf("X", std::move(text));
  for (std::size_t i = 0; i < depth; ++i) t = node("A", {std::move(t)});
  return t;
}

}  // namespace kelvor::testing
