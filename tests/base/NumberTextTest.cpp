#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/Fatal.h"
#include "base/NumberText.h"

namespace kelvor {
namespace {

TEST(NumberTextWrite, TableOfForms) {
  const std::pair<double, const char*> table[] = {
      {0.0, "0.0"},
      {-0.0, "-0.0"},
      {0.5, "0.5"},
      {1.0, "1.0"},
      {12.5, "12.5"},
      {1234567.0, "1234567.0"},
      {0.03125, "3.125e-2"},
      {1.0e7, "1.0e7"},
      {12345678.0, "1.2345678e7"},
      {0.1, "0.1"},
      {0.09, "9.0e-2"},
      {9999999.999999998, "9999999.999999998"},
      {5.0e-324, "5.0e-324"},
      {1.7976931348623157e308, "1.7976931348623157e308"},
      {-2.5, "-2.5"},
      {100.0, "100.0"},
      {1e21, "1.0e21"},
      {0.9, "0.9"},
      {2.2761000000000005, "2.2761000000000005"},
      {std::numeric_limits<double>::quiet_NaN(), "NaN"},
      {std::numeric_limits<double>::infinity(), "Infinity"},
      {-std::numeric_limits<double>::infinity(), "-Infinity"},
  };
  for (auto [v, text] : table) EXPECT_EQ(showDouble(v), text) << text;
  EXPECT_EQ(showInt(-42), "-42");
  EXPECT_EQ(showInt(0), "0");
}

TEST(NumberTextRead, AcceptedForms) {
  EXPECT_EQ(readDouble("  1.5 "), 1.5);
  EXPECT_EQ(readDouble("(-2.5)"), -2.5);
  EXPECT_EQ(readDouble(" ( ( 3 ) ) "), 3.0);
  EXPECT_EQ(readDouble("1E3"), 1000.0);
  EXPECT_EQ(readDouble("1e+3"), 1000.0);
  EXPECT_EQ(readDouble("25e-1"), 2.5);
  EXPECT_TRUE(std::isnan(readDouble("NaN")));
  EXPECT_EQ(readDouble("Infinity"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(readDouble("-Infinity"), -std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::signbit(readDouble("-0.0")));
  EXPECT_EQ(readInt("0x1F"), 31);
  EXPECT_EQ(readInt("0O17"), 15);
  EXPECT_EQ(readInt("(-12)"), -12);
  EXPECT_EQ(readInt("2147483647"), 2147483647);
  EXPECT_EQ(readInt("-2147483648"), std::numeric_limits<std::int32_t>::min());
}

TEST(NumberTextRead, BeyondTheLargestDoubleIsNoNumberBelowTheSmallestIsZero) {
  for (const char* beyond :
       {"1e400", "-1e400", "1e9999999999999999999", "179769313486231580800e288"})
    EXPECT_FALSE(parseDouble(beyond).has_value()) << beyond;
  EXPECT_EQ(readDouble("1e-400"), 0.0);
  EXPECT_TRUE(std::signbit(readDouble("-1e-400")));
  EXPECT_EQ(readDouble("0.000001e-99999999999999999999"), 0.0);
  EXPECT_EQ(readDouble("4.9e-324"), 5.0e-324);
  EXPECT_EQ(readDouble("2.5e-324"), 5.0e-324);
  EXPECT_EQ(readDouble("1.7976931348623157e308"), 1.7976931348623157e308);
  EXPECT_EQ(readDouble("0e999999"), 0.0);
}

TEST(NumberTextRead, RejectedForms) {
  for (const char* bad : {"", " ", "+1", ".5", "5.", "1e", "1e+", "--1", "- 1", "1.2.3", "0x10",
                          "nan", "inf", "1,5", "(1", "1)", "()", "1 2", "-"}) {
    EXPECT_FALSE(parseDouble(bad).has_value()) << bad;
  }
  for (const char* bad : {"", "+1", "1.0", "1e3", "0x", "0xG", "0o8", "2147483648", "-2147483649",
                          "0x80000000", "99999999999999999999", "12a"}) {
    EXPECT_FALSE(parseInt(bad).has_value()) << bad;
  }
  try {
    readInt("12a");
    FAIL();
  } catch (const FatalError& e) {
    EXPECT_NE(std::string(e.what()).find("\"12a\""), std::string::npos) << e.what();
  }
}

// Short plain decimals take a quicker road than the general conversion;
// both must give the same nearest double, sign of zero included.
TEST(NumberTextRead, ShortDecimalsMatchTheGeneralConversion) {
  std::mt19937_64 rng(11);
  auto general = [](const std::string& s) {
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return std::bit_cast<std::uint64_t>(v);
  };
  std::vector<std::string> texts = {"0", "-0", "-0.000", "0.1", "0.3", "0.000000000000001"};
  for (const char* digits : {"123456789012345", "1234567890123456", "9007199254740993"})
    texts.push_back(digits);
  texts.push_back("999999999999999.9");
  texts.push_back("00000000000000000001.5");
  for (int i = 0; i < 100000; ++i) {
    std::string s = rng() % 2 ? "-" : "";
    const int whole = 1 + static_cast<int>(rng() % 17), fraction = static_cast<int>(rng() % 17);
    for (int d = 0; d < whole; ++d) s += static_cast<char>('0' + rng() % 10);
    if (fraction > 0) s += '.';
    for (int d = 0; d < fraction; ++d) s += static_cast<char>('0' + rng() % 10);
    texts.push_back(s);
  }
  for (const std::string& s : texts)
    ASSERT_EQ(std::bit_cast<std::uint64_t>(*decimalToDouble(s)), general(s)) << s;
}

TEST(NumberTextRoundTrip, WrittenFormsReadBack) {
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<std::uint64_t> bits;
  for (int i = 0; i < 200000; ++i) {
    double v = std::bit_cast<double>(bits(rng));
    double back = readDouble(showDouble(v));
    if (std::isnan(v)) {
      EXPECT_TRUE(std::isnan(back));
    } else {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(v))
          << showDouble(v);
    }
  }
  for (std::int32_t n : {0, 1, -1, 2147483647, -2147483647 - 1}) EXPECT_EQ(readInt(showInt(n)), n);
}

}  // namespace
}  // namespace kelvor
