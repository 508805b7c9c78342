// Random parse trees and token sequences for testing and benchmarking the
// kernels. Header-only so that the benchmarks can use it too.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "trees/AnnTree.h"

namespace kelvor::samples {

using Tree = AnnTree<Unit>;

inline std::string pick(std::mt19937& rng, const std::vector<std::string>& from) {
  return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
}

// Small alphabets so that productions and child tags repeat; tags are shared
// by leaves and inner nodes. With `childless` set, some inner nodes have no
// children (which the tree reader never builds).
inline Tree randomTree(std::mt19937& rng, int depth, bool childless = false) {
  static const std::vector<std::string> tags{"A", "B", "C"};
  static const std::vector<std::string> words{"x", "y"};
  std::uniform_int_distribution<int> percent(0, 99);
  if (depth <= 1 || percent(rng) < 30) return Term(pick(rng, tags), pick(rng, words), Unit{});
  if (childless && percent(rng) < 10) return NonTerm<Unit>(pick(rng, tags), {}, Unit{});
  std::vector<Tree> kids;
  const int k = std::uniform_int_distribution<int>(1, 3)(rng);
  for (int i = 0; i < k; ++i) kids.push_back(randomTree(rng, depth - 1, childless));
  return NonTerm(pick(rng, tags), std::move(kids), Unit{});
}

// A tree shaped like parser output with exactly `nodes` nodes: phrase
// labels over part-of-speech leaves.
inline Tree parseLikeTree(std::mt19937& rng, int nodes) {
  static const std::vector<std::string> phrases{"S", "NP", "VP", "PP", "ADJP", "SBAR"};
  static const std::vector<std::string> pos{"DT", "NN", "NNS", "VB", "VBD",
                                            "IN", "JJ", "PRP", "RB", "CC"};
  static const std::vector<std::string> words{"the", "dog", "saw", "a", "cat", "in", "park"};
  if (nodes <= 1) return Term(pick(rng, pos), pick(rng, words), Unit{});
  int rest = nodes - 1;
  const int k = std::min(rest, std::uniform_int_distribution<int>(1, 3)(rng));
  std::vector<Tree> kids;
  for (int i = 0; i < k; ++i) {
    const int left = k - i - 1;  // children still to come, one node each at least
    const int share =
        i + 1 == k ? rest
                   : std::uniform_int_distribution<int>(1, std::max(1, (rest - left) * 2 / 3))(rng);
    kids.push_back(parseLikeTree(rng, share));
    rest -= share;
  }
  return NonTerm(pick(rng, phrases), std::move(kids), Unit{});
}

// Kernel values agree when their bits are equal or both are NaN.
inline bool sameBits(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) ||
         std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

inline std::vector<std::string> randomWords(std::mt19937& rng, std::size_t length,
                                            std::size_t vocabulary) {
  std::vector<std::string> out;
  std::uniform_int_distribution<std::size_t> word(0, vocabulary - 1);
  for (std::size_t i = 0; i < length; ++i) out.push_back("w" + std::to_string(word(rng)));
  return out;
}

}  // namespace kelvor::samples
