#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "FatalMessage.h"
#include "base/Show.h"
#include "trees/Range.h"

namespace kelvor {
namespace {

using testing::fatalMessage;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
const std::string kMkRange = "mkRange: trying to make a range out of ";

TEST(Range, BuildingMeasuringAndCovering) {
  EXPECT_EQ(mkRange(3, 3).kind(), RangeKind::Single);
  EXPECT_EQ(mkRange(2, 5).kind(), RangeKind::Range);
  EXPECT_EQ(fatalMessage([] { mkRange(-1, -3); }), kMkRange + "(-1,-3)");
  // Sizes are exact at the ends of the position type, not wrapped.
  EXPECT_EQ(rangeSize(Range(2, 5)), 4);
  EXPECT_EQ(rangeSize(Range(kMin, kMax)), 4294967296);
  EXPECT_EQ(rangesSize(std::vector{Single(1), Single(5)}), 5);
  EXPECT_EQ(sumRanges(std::vector{Range(4, 6), Single(2)}), Range(2, 6));
  EXPECT_EQ(sumRanges(std::vector{Range(4, 4)}).kind(), RangeKind::Single);
  EXPECT_EQ(fatalMessage([] { sumRanges(std::vector{Range(5, 3)}); }), kMkRange + "(5,3)");
  EXPECT_EQ(fatalMessage([] { sumRanges({}); }), "Prelude.maximum: empty list");
  // Equality and order look at the two positions only.
  EXPECT_EQ(Single(4), Range(4, 4));
  EXPECT_LT(Single(3), Range(3, 5));
  EXPECT_LT(Range(2, 9), Single(3));
}

TEST(Range, OverlapsAndSubsumes) {
  struct Case {
    Range a, b;
    bool overlap, aHoldsB;
  };
  for (const Case& c : std::vector<Case>{{Range(1, 3), Range(3, 5), true, false},
                                         {Range(1, 3), Single(4), false, false},
                                         {Range(1, 5), Range(2, 3), true, true},
                                         {Range(2, 3), Range(1, 5), true, false},
                                         {Single(4), Single(4), true, true}}) {
    const std::string both = showValue(std::vector{c.a, c.b});
    EXPECT_EQ(overlaps(c.a, c.b), c.overlap) << both;
    EXPECT_EQ(overlaps(c.b, c.a), c.overlap) << both;
    EXPECT_EQ(subsumes(c.a, c.b), c.aHoldsB) << both;
  }
}

TEST(Range, PrintingAndReading) {
  EXPECT_EQ(showValue(std::vector{Single(-2), Range(0, 3), Range(5, 3)}), "[-2,0^3,5^3]");
  struct Case {
    std::string text;
    std::vector<std::pair<Range, std::string>> readings;
  };
  for (const Case& c : std::vector<Case>{{" 3^ 5 rest", {{Range(3, 5), " rest"}}},
                                         {"-7x", {{Single(-7), "x"}}},
                                         {"3 ^5", {}},
                                         {"7 8^9", {}},
                                         {"3^", {}},
                                         {"2147483648", {}}}) {
    const auto got = readsRange(c.text);
    ASSERT_EQ(got.size(), c.readings.size()) << c.text;
    if (got.empty()) continue;
    EXPECT_EQ(got[0].first.kind(), c.readings[0].first.kind()) << c.text;
    EXPECT_EQ(got[0].first, c.readings[0].first) << c.text;
    EXPECT_EQ(got[0].second, c.readings[0].second) << c.text;
  }
  // Every printed span reads back as itself, at any level.
  for (const Range& r : {Single(kMin), Single(kMax), Range(7, 3), Range(4, 4), Range(kMin, kMax)}) {
    std::string text;
    appendShow(text, 11, r);
    const auto got = readsRange(text, 11);
    ASSERT_EQ(got.size(), 1u) << text;
    EXPECT_EQ(got[0].first.kind(), r.kind()) << text;
    EXPECT_EQ(got[0].first, r) << text;
    EXPECT_TRUE(got[0].second.empty()) << text;
  }
}

}  // namespace
}  // namespace kelvor
