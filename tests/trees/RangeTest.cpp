#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "FatalMessage.h"
#include "core/Show.h"
#include "maps/DynamicMap.h"
#include "trees/Range.h"

namespace kelvor {
namespace {

using testing::fatalMessage;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

const std::string kMkRange = "mkRange: trying to make a range out of ";

TEST(Range, MkRangeBuildsOnlyWellFormedSpans) {
  EXPECT_EQ(mkRange(3, 3).kind(), RangeKind::Single);
  EXPECT_EQ(mkRange(2, 5).kind(), RangeKind::Range);
  EXPECT_EQ(mkRange(2, 5), Range(2, 5));
  EXPECT_EQ(fatalMessage([] { mkRange(5, 2); }), kMkRange + "(5,2)");
  EXPECT_EQ(fatalMessage([] { mkRange(-1, -3); }), kMkRange + "(-1,-3)");
}

TEST(Range, SizesAreExactAtTheEndsOfThePositionType) {
  struct Case {
    Range r;
    std::int64_t size;
  };
  for (const Case& c : std::vector<Case>{{Single(7), 1},
                                         {Range(2, 5), 4},
                                         {Range(5, 3), -1},
                                         {Range(kMin, kMax), 4294967296},
                                         {Range(kMax, kMin), -4294967294}}) {
    EXPECT_EQ(rangeSize(c.r), c.size) << showValue(c.r);
  }
  EXPECT_EQ(rangesSize(std::vector{Single(1), Single(5)}), 5);
}

TEST(Range, SumCoversAllAndFailsOnNothing) {
  EXPECT_EQ(sumRanges(std::vector{Range(4, 6), Single(2)}), Range(2, 6));
  EXPECT_EQ(sumRanges(std::vector{Single(3), Single(3)}).kind(), RangeKind::Single);
  EXPECT_EQ(sumRanges(std::vector{Range(4, 4)}).kind(), RangeKind::Single);
  EXPECT_EQ(fatalMessage([] { sumRanges(std::vector{Range(5, 3)}); }), kMkRange + "(5,3)");
  EXPECT_EQ(fatalMessage([] { sumRanges({}); }), "Prelude.maximum: empty list");
  EXPECT_EQ(fatalMessage([] { rangesSize({}); }), "Prelude.maximum: empty list");
}

TEST(Range, OverlapsAndSubsumes) {
  struct Case {
    Range a, b;
    bool overlap, aHoldsB;
  };
  for (const Case& c : std::vector<Case>{{Range(1, 3), Range(3, 5), true, false},
                                         {Single(2), Range(1, 3), true, false},
                                         {Range(1, 3), Single(4), false, false},
                                         {Range(1, 5), Range(2, 3), true, true},
                                         {Range(2, 3), Range(1, 5), true, false},
                                         {Single(4), Single(4), true, true}}) {
    EXPECT_EQ(overlaps(c.a, c.b), c.overlap) << showValue(c.a) << " " << showValue(c.b);
    EXPECT_EQ(overlaps(c.b, c.a), c.overlap) << showValue(c.a) << " " << showValue(c.b);
    EXPECT_EQ(subsumes(c.a, c.b), c.aHoldsB) << showValue(c.a) << " " << showValue(c.b);
  }
}

TEST(Range, EqualityAndOrderUseOnlyTheTwoPositions) {
  EXPECT_EQ(Single(4), Range(4, 4));
  EXPECT_EQ(Single(4) <=> Range(4, 4), std::strong_ordering::equal);
  EXPECT_LT(Single(3), Range(3, 5));
  EXPECT_LT(Range(2, 9), Single(3));
  EXPECT_NE(Range(1, 2), Range(1, 3));
}

TEST(Range, Printing) {
  struct Case {
    Range r;
    std::string text;
  };
  for (const Case& c : std::vector<Case>{{Single(12), "12"},
                                         {Range(0, 3), "0^3"},
                                         {Single(-2), "-2"},
                                         {Range(-2, 4), "-2^4"},
                                         {Range(5, 3), "5^3"}}) {
    std::string at11;
    appendShow(at11, 11, c.r);
    EXPECT_EQ(showValue(c.r), c.text);
    EXPECT_EQ(at11, c.text);  // never bracketed
  }
  EXPECT_EQ(showValue(std::vector{Single(1), Range(2, 5)}), "[1,2^5]");
}

TEST(Range, Reading) {
  struct Case {
    std::string text;
    std::vector<std::pair<Range, std::string>> readings;
  };
  const std::vector<Case> cases = {
      {"3^5", {{Range(3, 5), ""}}},
      {"42", {{Single(42), ""}}},
      {" 3^ 5 rest", {{Range(3, 5), " rest"}}},
      {"4^4", {{Range(4, 4), ""}}},
      {"5^3", {{Range(5, 3), ""}}},
      {"-7x", {{Single(-7), "x"}}},
      {"3 ^5", {}},
      {"7 8^9", {}},
      {"^5", {}},
      {"3^", {}},
      {"", {}},
      {"x", {}},
      {"-", {}},
      {"2147483648", {}},  // past the position type: no reading, not a wrapped one
      {"-2147483648^2147483647", {{Range(kMin, kMax), ""}}},
  };
  for (const Case& c : cases) {
    const auto got = readsRange(c.text);
    ASSERT_EQ(got.size(), c.readings.size()) << c.text;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].first.kind(), c.readings[i].first.kind()) << c.text;
      EXPECT_EQ(got[i].first, c.readings[i].first) << c.text;
      EXPECT_EQ(got[i].second, c.readings[i].second) << c.text;
    }
  }
}

TEST(Range, PrintedSpansReadBackAsThemselves) {
  for (const Range& r : {Single(0), Single(kMin), Single(kMax), Range(3, 7), Range(7, 3),
                         Range(4, 4), Range(kMin, kMax), Range(-5, -1)}) {
    const std::string text = showValue(r);
    const auto got = readsRange(text, 11);
    ASSERT_EQ(got.size(), 1u) << text;
    EXPECT_EQ(got[0].first.kind(), r.kind()) << text;
    EXPECT_EQ(got[0].first, r) << text;
    EXPECT_TRUE(got[0].second.empty()) << text;
  }
}

TEST(Range, HeldInADynamicMapUnderItsName) {
  const DynamicMap dm = addToDM(addToDM(emptyDM(), Single(1)), Range(2, 3));
  EXPECT_EQ(dmTypes(dm), std::vector<std::string>{"ZezeRozi.Util.Range"});
  EXPECT_EQ(lookupDM<Range>(dm), Range(2, 3));
}

}  // namespace
}  // namespace kelvor
