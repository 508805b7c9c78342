#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Show.h"
#include "maps/DynamicMap.h"

namespace kelvor {

// Two test types: one registered under a name that sorts before the
// built-in ones, and one that shares a name with int, to show that a value
// is never taken for another type with the same name.
struct Marker {
  int n;
};
struct FakeInt {
  int n;
};
template <>
struct TypeName<Marker> {
  static constexpr std::string_view value = "A.Marker";
};
template <>
struct TypeName<FakeInt> {
  static constexpr std::string_view value = "Int";
};

namespace {

struct Unregistered {};
static_assert(!NamedType<Unregistered>);
static_assert(NamedType<std::string>);

TEST(DynamicMap, EmptyMapHoldsNothing) {
  const DynamicMap dm = emptyDM();
  EXPECT_TRUE(isEmptyDM(dm));
  EXPECT_EQ(sizeDM(dm), 0);
  EXPECT_EQ(lookupDM<int>(dm), std::nullopt);
  EXPECT_EQ(lookupDM<std::string>(dm), std::nullopt);
  EXPECT_FALSE(elemDM<int>(dm));
  EXPECT_EQ(showValue(dm), "[]");
}

TEST(DynamicMap, OneValuePerTypeTheLastOneWins) {
  const DynamicMap dm = addToDM(addToDM(emptyDM(), 1), 2);
  EXPECT_EQ(sizeDM(dm), 1);
  EXPECT_EQ(lookupDM<int>(dm), 2);
  const DynamicMap mixed = addToDM(addToDM(dm, std::string("text")), Marker{7});
  EXPECT_EQ(sizeDM(mixed), 3);
  EXPECT_EQ(lookupDM<int>(mixed), 2);
  EXPECT_EQ(lookupDM<std::string>(mixed), "text");
  EXPECT_EQ(lookupDM<Marker>(mixed)->n, 7);
  EXPECT_EQ(dmTypes(mixed), (std::vector<std::string>{"A.Marker", "Int", "[Char]"}));
  EXPECT_EQ(showValue(mixed), "[\"A.Marker\",\"Int\",\"[Char]\"]");
  // The earlier version is unchanged.
  EXPECT_EQ(sizeDM(dm), 1);
}

TEST(DynamicMap, ElemAndDelete) {
  const DynamicMap dm = addToDM(addToDM(emptyDM(), 1.5), true);
  EXPECT_TRUE(elemDM<double>(dm));
  EXPECT_FALSE(elemDM<int>(dm));
  const DynamicMap less = delFromDM<double>(dm);
  EXPECT_EQ(dmTypes(less), std::vector<std::string>{"Bool"});
  EXPECT_EQ(dmTypes(delFromDM<int>(dm)), dmTypes(dm));
}

TEST(DynamicMap, LookupComparesTypesNotNames) {
  // A FakeInt is stored under "Int"; asking for an int finds the entry but
  // not an int in it.
  const DynamicMap dm = addToDM(emptyDM(), FakeInt{3});
  EXPECT_TRUE(elemDM<int>(dm));
  EXPECT_EQ(lookupDM<int>(dm), std::nullopt);
  EXPECT_EQ(lookupDM<FakeInt>(dm)->n, 3);
  // Adding an int replaces it, the name being the key.
  const DynamicMap replaced = addToDM(dm, 4);
  EXPECT_EQ(sizeDM(replaced), 1);
  EXPECT_EQ(lookupDM<FakeInt>(replaced), std::nullopt);
  EXPECT_EQ(lookupDM<int>(replaced), 4);
}

TEST(DynamicMap, FoldVisitsEveryValueGreatestNameFirst) {
  const DynamicMap dm = addToDM(addToDM(addToDM(emptyDM(), 1), std::string("s")), Marker{0});
  const auto names = foldDM(
      [](const Dynamic& d, std::vector<std::string> acc) {
        acc.emplace_back(d.typeName());
        return acc;
      },
      std::vector<std::string>{}, dm);
  EXPECT_EQ(names, (std::vector<std::string>{"[Char]", "Int", "A.Marker"}));
  EXPECT_EQ(foldDM([](const Dynamic&, int n) { return n + 1; }, 0, dm), sizeDM(dm));
}

TEST(DynamicMap, DynamicValuesKnowTheirType) {
  const Dynamic d = toDyn(std::string("x"));
  EXPECT_EQ(d.typeName(), "[Char]");
  EXPECT_EQ(fromDynamic<std::string>(d), "x");
  EXPECT_EQ(fromDynamic<int>(d), std::nullopt);
  EXPECT_EQ(toDyn(std::int64_t{5}).typeName(), "Int64");
}

}  // namespace
}  // namespace kelvor
