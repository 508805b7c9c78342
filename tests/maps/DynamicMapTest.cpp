#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Show.h"
#include "maps/DynamicMap.h"

namespace kelvor {

// A type whose name sorts before the built-in ones, and one that borrows
// int's name, to show that a value is never taken for another type.
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

static_assert(!NamedType<struct Unregistered>);

TEST(DynamicMap, OneValuePerTypeNameInNameOrder) {
  const DynamicMap empty = emptyDM();
  EXPECT_TRUE(isEmptyDM(empty));
  EXPECT_EQ(lookupDM<int>(empty), std::nullopt);
  EXPECT_EQ(showValue(empty), "[]");

  const DynamicMap ints = addToDM(addToDM(empty, 1), 2);
  EXPECT_EQ(sizeDM(ints), 1);
  EXPECT_EQ(lookupDM<int>(ints), 2);
  const DynamicMap mixed = addToDM(addToDM(ints, std::string("text")), Marker{7});
  EXPECT_EQ(lookupDM<std::string>(mixed), "text");
  EXPECT_EQ(lookupDM<Marker>(mixed)->n, 7);
  EXPECT_EQ(dmTypes(mixed), (std::vector<std::string>{"A.Marker", "Int", "[Char]"}));
  EXPECT_EQ(showValue(mixed), "[\"A.Marker\",\"Int\",\"[Char]\"]");
  EXPECT_EQ(sizeDM(ints), 1);
}

TEST(DynamicMap, ElemAndDeleteByType) {
  const DynamicMap dm = addToDM(addToDM(emptyDM(), 1.5), true);
  EXPECT_TRUE(elemDM<double>(dm));
  EXPECT_FALSE(elemDM<int>(dm));
  EXPECT_EQ(dmTypes(delFromDM<double>(dm)), std::vector<std::string>{"Bool"});
  EXPECT_EQ(dmTypes(delFromDM<int>(dm)), dmTypes(dm));
}

TEST(DynamicMap, LookupComparesTypesNotNames) {
  const DynamicMap dm = addToDM(emptyDM(), FakeInt{3});
  EXPECT_TRUE(elemDM<int>(dm));
  EXPECT_EQ(lookupDM<int>(dm), std::nullopt);
  EXPECT_EQ(lookupDM<FakeInt>(dm)->n, 3);
  // The name is the key, so an int replaces it.
  const DynamicMap replaced = addToDM(dm, 4);
  EXPECT_EQ(sizeDM(replaced), 1);
  EXPECT_EQ(lookupDM<FakeInt>(replaced), std::nullopt);
  const Dynamic d = toDyn(std::string("x"));
  EXPECT_EQ(fromDynamic<std::string>(d), "x");
  EXPECT_EQ(fromDynamic<int>(d), std::nullopt);
}

TEST(DynamicMap, FoldVisitsTheGreatestNameFirst) {
  const DynamicMap dm = addToDM(addToDM(addToDM(emptyDM(), 1), std::string("s")), Marker{0});
  const auto names = foldDM(
      [](const Dynamic& d, std::vector<std::string> acc) {
        acc.emplace_back(d.typeName());
        return acc;
      },
      std::vector<std::string>{}, dm);
  EXPECT_EQ(names, (std::vector<std::string>{"[Char]", "Int", "A.Marker"}));
}

}  // namespace
}  // namespace kelvor
