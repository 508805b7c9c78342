// Which key and element survive each operation, in which order the
// caller's functions are applied, and the folds' visiting orders.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "MapTestSupport.h"
#include "maps/FiniteMapCombine.h"
#include "maps/FiniteMapDelete.h"
#include "maps/FiniteMapFold.h"

namespace kelvor::maptest {
namespace {

using TextMap = FiniteMap<std::string, std::string>;
using Pairs = std::vector<std::pair<int, int>>;
using TextPairs = std::vector<std::pair<std::string, std::string>>;

// Letters compared without regard to case, so that keys can compare equal
// while being told apart in the result.
struct IgnoreCase {
  std::weak_ordering operator()(const std::string& a, const std::string& b) const {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
      const int x = std::tolower(static_cast<unsigned char>(a[i]));
      const int y = std::tolower(static_cast<unsigned char>(b[i]));
      if (x != y) return x <=> y;
    }
    return a.size() <=> b.size();
  }
};

TextMap texts(const TextPairs& pairs) { return listToFM(IgnoreCase{}, pairs); }

std::string joined(const std::string& a, const std::string& b) { return a + "+" + b; }

TEST(FiniteMapOps, QueriesOnEmptyAndSingleMaps) {
  const IntMap empty = emptyFM<int, int>();
  EXPECT_EQ(sizeFM(empty), 0);
  EXPECT_TRUE(isEmptyFM(empty));
  EXPECT_EQ(lookupFM(kOrder, empty, 1), std::nullopt);
  EXPECT_EQ(lookupWithDefaultFM(kOrder, empty, 7, 1), 7);
  const IntMap one = unitFM(1, 10);
  EXPECT_EQ(sizeFM(one), 1);
  EXPECT_FALSE(isEmptyFM(one));
  EXPECT_TRUE(elemFM(kOrder, 1, one));
  EXPECT_FALSE(elemFM(kOrder, 2, one));
  EXPECT_EQ(lookupWithDefaultFM(kOrder, one, 7, 1), 10);
}

TEST(FiniteMapOps, InsertionKeepsTheNewKeyAndCombinesInTheStatedOrders) {
  const TextMap m = texts({{"a", "old"}, {"b", "x"}});
  auto keyOf = [](const TextMap& t) { return keysFM(t); };

  const TextMap plain = addToFM(IgnoreCase{}, m, "A", "new");
  EXPECT_EQ(fmToList(plain), (TextPairs{{"A", "new"}, {"b", "x"}}));

  const TextMap combined = addToFM_C(IgnoreCase{}, joined, m, "A", "new");
  EXPECT_EQ(fmToList(combined), (TextPairs{{"A", "old+new"}, {"b", "x"}}));

  // The key combiner takes the new key first, the element combiner the
  // stored element first.
  const TextMap both = addToFM_C2(IgnoreCase{}, joined, joined, m, "A", "new");
  EXPECT_EQ(fmToList(both), (TextPairs{{"A+a", "old+new"}, {"b", "x"}}));

  EXPECT_EQ(showValue(addToFMPrime(IgnoreCase{}, m, "A", "new")), showValue(plain));
  EXPECT_EQ(showValue(addToFM_CPrime(IgnoreCase{}, joined, m, "A", "new")), showValue(combined));
  EXPECT_EQ(showValue(addToFM_C2Prime(IgnoreCase{}, joined, joined, m, "A", "new")),
            showValue(both));
  EXPECT_EQ(keyOf(m), (std::vector<std::string>{"a", "b"}));
}

TEST(FiniteMapOps, ListInsertionLetsTheLastPairWinOrCombinesLeftToRight) {
  EXPECT_EQ(fmToList(listToFM(kOrder, Pairs{{1, 5}, {1, 6}})), (Pairs{{1, 6}}));
  EXPECT_EQ(fmToList(texts({{"a", "x"}, {"A", "y"}})), (TextPairs{{"A", "y"}}));
  const TextPairs three = {{"k", "1"}, {"K", "2"}, {"k", "3"}};
  EXPECT_EQ(fmToList(addListToFM_C(IgnoreCase{}, joined, TextMap(), three)),
            (TextPairs{{"k", "1+2+3"}}));
  EXPECT_EQ(fmToList(addListToFM_CPrime(IgnoreCase{}, joined, TextMap(), three)),
            (TextPairs{{"k", "1+2+3"}}));
  const IntMap base = fromKeys({5, 1});
  const Pairs more = {{3, 0}, {5, 1}};
  EXPECT_EQ(showValue(addListToFMPrime(kOrder, base, more)),
            showValue(addListToFM(kOrder, base, more)));
}

TEST(FiniteMapOps, DeletionOfAbsentOnlyAndListedKeys) {
  const IntMap m = fromKeys({1, 2, 3});
  EXPECT_EQ(fmToList(delFromFM(kOrder, m, 9)), fmToList(m));
  EXPECT_TRUE(isEmptyFM(delFromFM(kOrder, fromKeys({4}), 4)));
  EXPECT_EQ(fmToList(delListFromFM(kOrder, m, std::vector<int>{})), fmToList(m));
  EXPECT_EQ(keysFM(delListFromFM(kOrder, m, std::vector<int>{3, 1, 3})), (std::vector<int>{2}));
}

TEST(FiniteMapOps, SetOperationsTakeTheSecondMapsKey) {
  const TextMap a = texts({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  const TextMap b = texts({{"B", "20"}, {"D", "40"}});
  const IgnoreCase cmp;
  EXPECT_EQ(fmToList(plusFM(cmp, a, b)),
            (TextPairs{{"a", "1"}, {"B", "20"}, {"c", "3"}, {"D", "40"}}));
  EXPECT_EQ(fmToList(plusFM_C(cmp, joined, a, b)),
            (TextPairs{{"a", "1"}, {"B", "2+20"}, {"c", "3"}, {"D", "40"}}));
  EXPECT_EQ(fmToList(minusFM(cmp, a, b)), (TextPairs{{"a", "1"}, {"c", "3"}}));
  EXPECT_EQ(fmToList(intersectFM(cmp, a, b)), (TextPairs{{"B", "20"}}));
  EXPECT_EQ(fmToList(intersectFM_C(cmp, joined, a, b)), (TextPairs{{"B", "2+20"}}));
}

TEST(FiniteMapOps, SetOperationsWithEmptyAndDisjointMaps) {
  const IntMap a = fromKeys({1, 2, 3});
  const IntMap empty;
  EXPECT_TRUE(isEmptyFM(minusFM(kOrder, empty, a)));
  EXPECT_TRUE(isEmptyFM(minusFM(kOrder, a, a)));
  EXPECT_TRUE(isEmptyFM(intersectFM(kOrder, a, fromKeys({4, 5}))));
  EXPECT_TRUE(isEmptyFM(intersectFM(kOrder, a, empty)));
  EXPECT_TRUE(isEmptyFM(intersectFM(kOrder, empty, a)));
  // m2's elements may be of another type; minusFM never reads them.
  const FiniteMap<int, std::string> other =
      listToFM(kOrder, std::vector<std::pair<int, std::string>>{{2, "x"}});
  EXPECT_EQ(keysFM(minusFM(kOrder, a, other)), (std::vector<int>{1, 3}));
  EXPECT_EQ(eltsFM(intersectFM(kOrder, a, other)), (std::vector<std::string>{"x"}));
}

TEST(FiniteMapOps, SplitsLeaveTheSplittingKeyOut) {
  const IntMap m = fromKeys(range(1, 9));
  EXPECT_EQ(keysFM(fminternal::splitBelow(kOrder, m, 4)), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(keysFM(fminternal::splitAbove(kOrder, m, 4)), (std::vector<int>{5, 6, 7, 8, 9}));
  EXPECT_EQ(keysFM(fminternal::splitBelow(kOrder, m, 0)), std::vector<int>{});
}

TEST(FiniteMapOps, FilterAppliesThePredicateOncePerEntry) {
  const IntMap m = fromKeys(range(1, 20));
  int calls = 0;
  const IntMap even = filterFM(
      kOrder, [&](int k, int) { return ++calls, k % 2 == 0; }, m);
  EXPECT_EQ(calls, 20);
  EXPECT_EQ(sizeFM(even), 10);
  EXPECT_EQ(fmToList(filterFM(
                kOrder, [](int, int) { return true; }, m)),
            fmToList(m));
  EXPECT_TRUE(isEmptyFM(filterFM(
      kOrder, [](int, int) { return false; }, m)));
}

TEST(FiniteMapOps, FoldOrders) {
  const IntMap m = fromKeys({3, 1, 2});
  EXPECT_EQ(fmToList(m), (Pairs{{1, 10}, {2, 20}, {3, 30}}));
  // foldFM meets the greatest key first, so consing yields ascending keys.
  auto cons = [](int k, int, std::vector<int> acc) {
    acc.insert(acc.begin(), k);
    return acc;
  };
  EXPECT_EQ(foldFM(cons, std::vector<int>{}, m), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(foldFM(cons, std::vector<int>{7}, IntMap()), std::vector<int>{7});
  // foldFM_M visits a node, then its left side, then its right side.
  std::vector<int> seen;
  const int total = foldFM_M(
      [&](int k, int e, int acc) {
        seen.push_back(k);
        return acc + e;
      },
      0, m);
  EXPECT_EQ(seen, (std::vector<int>{2, 1, 3}));
  EXPECT_EQ(total, 60);
  EXPECT_TRUE(fmToList(IntMap()).empty());
  EXPECT_TRUE(keysFM(IntMap()).empty());
  EXPECT_TRUE(eltsFM(IntMap()).empty());
}

TEST(FiniteMapOps, MonadicFoldStopsAtAnAbsentStepOrAThrow) {
  const IntMap m = fromKeys({2, 1, 3});
  std::vector<int> seen;
  auto step = [&](int k, int, int acc) -> std::optional<int> {
    seen.push_back(k);
    if (k == 1) return std::nullopt;
    return acc + 1;
  };
  EXPECT_EQ(foldFM_M(step, 0, m), std::nullopt);
  EXPECT_EQ(seen, (std::vector<int>{2, 1}));
  EXPECT_EQ(foldFM_M(step, 5, IntMap()), std::optional<int>(5));
  auto throwing = [](int k, int, int acc) {
    if (k == 2) throw std::runtime_error("stop");
    return acc;
  };
  EXPECT_THROW(foldFM_M(throwing, 0, m), std::runtime_error);
}

// A key whose equality is counted, to see when keys are compared at all.
struct CountedKey {
  int value;
  static inline int comparisons = 0;
  friend bool operator==(const CountedKey& a, const CountedKey& b) {
    ++comparisons;
    return a.value == b.value;
  }
  friend std::strong_ordering operator<=>(const CountedKey& a, const CountedKey& b) {
    return a.value <=> b.value;
  }
};

TEST(FiniteMapOps, EqualityIgnoresShapeAndComparesSizesFirst) {
  EXPECT_EQ(fromKeys({1, 2, 3, 4}), fromKeys({4, 3, 2, 1}));
  EXPECT_NE(showValue(fromKeys({1, 2, 3, 4})), showValue(fromKeys({4, 3, 2, 1})));
  EXPECT_NE(fromKeys({1, 2}), addToFM(kOrder, fromKeys({1, 2}), 2, 0));
  EXPECT_EQ(IntMap(), IntMap());

  using CMap = FiniteMap<CountedKey, int>;
  const CMap two = addToFM(kOrder, addToFM(kOrder, CMap(), CountedKey{1}, 0), CountedKey{2}, 0);
  const CMap one = addToFM(kOrder, CMap(), CountedKey{1}, 0);
  CountedKey::comparisons = 0;
  EXPECT_FALSE(two == one);
  EXPECT_EQ(CountedKey::comparisons, 0);
}

TEST(FiniteMapOps, AThrowingCombinerLeavesTheMapAsItWas) {
  const IntMap m = fromKeys(range(1, 50));
  const std::string before = showValue(m);
  auto boom = [](int, int) -> int { throw std::runtime_error("combiner"); };
  EXPECT_THROW(addToFM_C(kOrder, boom, m, 25, 0), std::runtime_error);
  EXPECT_THROW(plusFM_C(kOrder, boom, m, fromKeys({25})), std::runtime_error);
  EXPECT_EQ(showValue(m), before);
  // Given up to the insertion, the map is gone with the failure; a copy
  // kept elsewhere is untouched.
  IntMap handed = m;
  EXPECT_THROW(addToFM_C(kOrder, boom, std::move(handed), 25, 0), std::runtime_error);
  EXPECT_EQ(showValue(m), before);
}

}  // namespace
}  // namespace kelvor::maptest
