// The printed form of a finite map. It follows the tree, so it shows the
// shape as well as the entries: an entry is "<key,element>", a subtree of
// two or more entries is wrapped in braces with its parts separated by
// blanks, and the empty map is "{}". For example the keys 1 to 4 added in
// ascending order print as {<1,10> <2,20> {<3,30> <4,40>}}.
#pragma once

#include <string>

#include "base/Show.h"
#include "maps/FiniteMap.h"

namespace kelvor {

// The precedence is handed unchanged to every key, element and subtree.
template <class K, class V>
void appendShow(std::string& out, int prec, const FiniteMap<K, V>& m) {
  const FmNode<K, V>* n = m.node();
  if (n == nullptr) {
    out += "{}";
    return;
  }
  const bool hasLeft = n->left.isBranch();
  const bool hasRight = n->right.isBranch();
  const bool braced = hasLeft || hasRight;
  if (braced) out += '{';
  if (hasLeft) {
    appendShow(out, prec, n->left);
    out += ' ';
  }
  out += '<';
  appendShow(out, prec, n->key);
  out += ',';
  appendShow(out, prec, n->elt);
  out += '>';
  if (hasRight) {
    out += ' ';
    appendShow(out, prec, n->right);
  }
  if (braced) out += '}';
}

}  // namespace kelvor
