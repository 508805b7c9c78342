// The tree whose nodes all share one production, the worst case of the
// tree kernel's memory: a value for every pair of matching nodes.
#pragma once

#include <string>

namespace kelvor::testing {

// "1 tree:1:" with `nesting` nested "(#" around "x": the nodes read as a
// chain of inner nodes with empty tags over the leaf (? x).
inline std::string chainLine(int nesting) {
  std::string line = "1 tree:1:";
  for (int i = 0; i < nesting; ++i) line += "(#";
  line += 'x';
  line.append(static_cast<std::size_t>(nesting), ')');
  return line;
}

// A linear model whose one support vector is `line`; the line is line 12.
inline std::string modelHolding(const std::string& line) {
  return "s\n0 # k\n1 # d\n1 # g\n1 # s\n0 # r\nempty# u\n1 # h\n1 # n\n2 # sv\n2.0 # b\n" + line +
         "\n";
}

}  // namespace kelvor::testing
