// Helpers of the finite-map tests.
#pragma once

#include <gtest/gtest.h>

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Show.h"
#include "maps/FiniteMap.h"
#include "maps/FiniteMapInsert.h"
#include "maps/FiniteMapShow.h"

namespace kelvor::maptest {

using IntMap = FiniteMap<int, int>;
inline constexpr std::compare_three_way kOrder{};

// Keys added in the given order, each with ten times itself as element.
inline IntMap fromKeys(const std::vector<int>& keys) {
  IntMap m;
  for (int k : keys) m = addToFM(kOrder, m, k, k * 10);
  return m;
}

inline std::vector<int> range(int from, int to) {
  std::vector<int> out;
  for (int k = from; k <= to; ++k) out.push_back(k);
  return out;
}

// Checks the stored sizes, the key order and the balance of every node.
// Rotations build their inner nodes without rebalancing them, so a node of
// two entries may have both on one side; above that no side may hold more
// than five times the other.
template <class K, class V>
::testing::AssertionResult wellFormed(const FiniteMap<K, V>& m) {
  struct Walk {
    std::string fault;
    std::int64_t visit(const FiniteMap<K, V>& t, const K* lo, const K* hi) {
      const FmNode<K, V>* n = t.node();
      if (n == nullptr || !fault.empty()) return 0;
      if ((lo != nullptr && !(*lo < n->key)) || (hi != nullptr && !(n->key < *hi))) {
        fault = "key out of order: " + showValue(n->key);
      }
      const std::int64_t sl = visit(n->left, lo, &n->key);
      const std::int64_t sr = visit(n->right, &n->key, hi);
      if (fault.empty() && n->size != 1 + sl + sr) fault = "wrong size at " + showValue(n->key);
      if (fault.empty() && sl + sr > 2 && (sl > 5 * sr || sr > 5 * sl)) {
        fault = "unbalanced at " + showValue(n->key) + ": " + std::to_string(sl) + " vs " +
                std::to_string(sr);
      }
      return 1 + sl + sr;
    }
  } walk;
  walk.visit(m, nullptr, nullptr);
  if (walk.fault.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << walk.fault;
}

}  // namespace kelvor::maptest
