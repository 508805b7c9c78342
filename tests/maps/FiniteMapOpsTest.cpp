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
#include "maps/FiniteMapFold.h"

namespace kelvor::maptest {
namespace {

using TextMap = FiniteMap<std::string, std::string>;
using TextPairs = std::vector<std::pair<std::string, std::string>>;

// Letters compared without regard to case: keys can compare equal and still
// be told apart in the result.
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
constexpr IgnoreCase kCase{};

TextMap texts(const TextPairs& pairs) { return listToFM(kCase, pairs); }
std::string joined(const std::string& a, const std::string& b) { return a + "+" + b; }

TEST(FiniteMapOps, InsertionsKeepTheNewKeyAndCombineInTheirOrders) {
  const TextMap m = texts({{"a", "old"}, {"b", "x"}});
  const struct {
    TextMap got, primed;
    TextPairs want;
  } table[] = {
      {addToFM(kCase, m, "A", "new"),
       addToFMPrime(kCase, m, "A", "new"),
       {{"A", "new"}, {"b", "x"}}},
      {addToFM_C(kCase, joined, m, "A", "new"),
       addToFM_CPrime(kCase, joined, m, "A", "new"),
       {{"A", "old+new"}, {"b", "x"}}},
      // The key combiner takes the new key first, the element combiner the
      // stored element first.
      {addToFM_C2(kCase, joined, joined, m, "A", "new"),
       addToFM_C2Prime(kCase, joined, joined, m, "A", "new"),
       {{"A+a", "old+new"}, {"b", "x"}}},
  };
  for (const auto& row : table) {
    EXPECT_EQ(fmToList(row.got), row.want);
    EXPECT_EQ(showValue(row.primed), showValue(row.got));
  }
  EXPECT_EQ(keysFM(m), (std::vector<std::string>{"a", "b"}));
}

TEST(FiniteMapOps, ListsLetTheLastPairWinOrCombineLeftToRight) {
  EXPECT_EQ(fmToList(texts({{"a", "x"}, {"A", "y"}})), (TextPairs{{"A", "y"}}));
  const TextPairs three = {{"k", "1"}, {"K", "2"}, {"k", "3"}};
  EXPECT_EQ(fmToList(addListToFM_C(kCase, joined, TextMap(), three)), (TextPairs{{"k", "1+2+3"}}));
  EXPECT_EQ(fmToList(addListToFM_CPrime(kCase, joined, TextMap(), three)),
            (TextPairs{{"k", "1+2+3"}}));
  EXPECT_EQ(fmToList(addListToFMPrime(kCase, TextMap(), three)), (TextPairs{{"k", "3"}}));
}

TEST(FiniteMapOps, SetOperationsTakeTheSecondMapsKey) {
  const TextMap a = texts({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  const TextMap b = texts({{"B", "20"}, {"D", "40"}});
  EXPECT_EQ(fmToList(plusFM(kCase, a, b)),
            (TextPairs{{"a", "1"}, {"B", "20"}, {"c", "3"}, {"D", "40"}}));
  EXPECT_EQ(fmToList(plusFM_C(kCase, joined, a, b)),
            (TextPairs{{"a", "1"}, {"B", "2+20"}, {"c", "3"}, {"D", "40"}}));
  EXPECT_EQ(fmToList(minusFM(kCase, a, b)), (TextPairs{{"a", "1"}, {"c", "3"}}));
  EXPECT_EQ(fmToList(intersectFM(kCase, a, b)), (TextPairs{{"B", "20"}}));
  EXPECT_EQ(fmToList(intersectFM_C(kCase, joined, a, b)), (TextPairs{{"B", "2+20"}}));
  // The second map's elements may be of another type.
  const auto other = listToFM(kOrder, std::vector<std::pair<int, std::string>>{{2, "x"}});
  EXPECT_EQ(keysFM(minusFM(kOrder, fromKeys({1, 2, 3}), other)), (std::vector<int>{1, 3}));
  EXPECT_EQ(eltsFM(intersectFM(kOrder, fromKeys({1, 2}), other)), std::vector<std::string>{"x"});
}

TEST(FiniteMapOps, FilterAppliesThePredicateOncePerEntry) {
  int calls = 0;
  const IntMap even = filterFM(
      kOrder, [&](int k, int) { return ++calls, k % 2 == 0; }, fromKeys(range(1, 20)));
  EXPECT_EQ(calls, 20);
  EXPECT_EQ(keysFM(even), (std::vector<int>{2, 4, 6, 8, 10, 12, 14, 16, 18, 20}));
}

TEST(FiniteMapOps, FoldOrders) {
  const IntMap m = fromKeys({3, 1, 2});
  // foldFM meets the greatest key first, so consing gives ascending keys.
  auto cons = [](int k, int, std::vector<int> acc) {
    acc.insert(acc.begin(), k);
    return acc;
  };
  EXPECT_EQ(foldFM(cons, std::vector<int>{}, m), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(foldFM(cons, std::vector<int>{7}, IntMap()), std::vector<int>{7});
  // foldFM_M visits a node, then its left side, then its right side; an
  // absent step ends it, and so does a throw.
  std::vector<int> seen;
  auto step = [&](int k, int e, int acc) -> std::optional<int> {
    seen.push_back(k);
    if (k == 0) throw std::runtime_error("stop");
    return e == 10 ? std::nullopt : std::optional<int>(acc + e);
  };
  EXPECT_EQ(foldFM_M(step, 0, fromKeys({3, 2})), std::optional<int>(50));
  EXPECT_EQ(foldFM_M(step, 0, m), std::nullopt);
  EXPECT_EQ(seen, (std::vector<int>{3, 2, 2, 1}));
  EXPECT_EQ(foldFM_M(step, 5, IntMap()), std::optional<int>(5));
  EXPECT_THROW(foldFM_M(step, 0, fromKeys({2, 0})), std::runtime_error);
}

// A key whose equality tests are counted.
struct CountedKey {
  int value;
  static inline int comparisons = 0;
  friend bool operator==(const CountedKey& a, const CountedKey& b) {
    ++comparisons;
    return a.value == b.value;
  }
  friend auto operator<=>(const CountedKey& a, const CountedKey& b) { return a.value <=> b.value; }
};

TEST(FiniteMapOps, EqualityIgnoresShapeAndComparesSizesFirst) {
  EXPECT_EQ(fromKeys({1, 2, 3, 4}), fromKeys({4, 3, 2, 1}));
  EXPECT_NE(showValue(fromKeys({1, 2, 3, 4})), showValue(fromKeys({4, 3, 2, 1})));
  EXPECT_NE(fromKeys({1, 2}), addToFM(kOrder, fromKeys({1, 2}), 2, 0));
  using CMap = FiniteMap<CountedKey, int>;
  const CMap one = unitFM(CountedKey{1}, 0);
  const CMap two = addToFM(kOrder, one, CountedKey{2}, 0);
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
}

}  // namespace
}  // namespace kelvor::maptest
