#include "base/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "base/Fatal.h"
#include "base/WhiteSpace.h"

namespace kelvor {

void appendDouble(std::string& out, double v) {
  if (std::isnan(v)) {
    out += "NaN";
    return;
  }
  // signbit, not v < 0: negative zero must keep its minus sign.
  if (std::signbit(v)) {
    out += '-';
    v = -v;
  }
  if (std::isinf(v)) {
    out += "Infinity";
    return;
  }
  if (v == 0.0) {
    out += "0.0";
    return;
  }
  // Shortest round-trip digits in scientific form: d[.ddd]e[+-]XX.
  std::array<char, 64> buf;
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::scientific);
  std::string_view sci(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
  const std::size_t ePos = sci.find('e');
  std::array<char, 32> digits;
  std::size_t n = 0;
  for (std::size_t i = 0; i < ePos; ++i)
    if (sci[i] != '.') digits[n++] = sci[i];
  int sciExp = 0;
  std::string_view expText = sci.substr(ePos + 1);
  if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
  std::from_chars(expText.data(), expText.data() + expText.size(), sciExp);
  // In the form 0.d1...dn * 10^e the exponent is one more.
  const int e = sciExp + 1;
  std::string_view ds(digits.data(), n);
  if (e >= 0 && e <= 7) {
    if (e == 0) {
      out += "0.";
      out += ds;
    } else {
      const auto ue = static_cast<std::size_t>(e);
      if (n <= ue) {
        out += ds;
        out.append(ue - n, '0');
        out += ".0";
      } else {
        out += ds.substr(0, ue);
        out += '.';
        out += ds.substr(ue);
      }
    }
  } else {
    out += ds[0];
    out += '.';
    if (n > 1)
      out += ds.substr(1);
    else
      out += '0';
    out += 'e';
    appendInt(out, e - 1);
  }
}

std::string showDouble(double v) {
  std::string out;
  appendDouble(out, v);
  return out;
}

void appendInt(std::string& out, std::int64_t v) {
  std::array<char, 24> buf;
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  out.append(buf.data(), res.ptr);
}

std::string showInt(std::int64_t v) {
  std::string out;
  appendInt(out, v);
  return out;
}

namespace {

// Strips surrounding white space and any number of balanced parentheses.
std::string_view unwrap(std::string_view t) {
  t = trimWhiteSpace(t);
  while (t.size() >= 2 && t.front() == '(' && t.back() == ')') {
    t = trimWhiteSpace(t.substr(1, t.size() - 2));
  }
  return t;
}

std::size_t skipDigits(std::string_view s, std::size_t i) {
  while (i < s.size() && isDecimalDigit(s[i])) ++i;
  return i;
}

}  // namespace

bool isDecimalText(std::string_view s, bool allowPlusExponent) {
  std::size_t i = 0;
  if (i < s.size() && s[i] == '-') ++i;
  std::size_t j = skipDigits(s, i);
  if (j == i) return false;
  i = j;
  if (i < s.size() && s[i] == '.') {
    j = skipDigits(s, i + 1);
    if (j == i + 1) return false;
    i = j;
  }
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '-' || (allowPlusExponent && s[i] == '+'))) ++i;
    j = skipDigits(s, i);
    if (j == i) return false;
    i = j;
  }
  return i == s.size();
}

namespace {

// Up to 15 digits without an exponent: the digits make an integer below
// 2^53 and 10^k is exact for these k, so one division gives the correctly
// rounded value, as the general conversion would, at a fraction of its cost.
std::optional<double> shortDecimalToDouble(std::string_view s) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::size_t i = 0;
  const bool negative = !s.empty() && s.front() == '-';
  if (negative) i = 1;
  std::uint64_t digits = 0;
  int count = 0, fraction = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (isDecimalDigit(c)) {
      if (++count > 15) return std::nullopt;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      fraction += point;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (count == 0) return std::nullopt;
  const double v = static_cast<double>(digits) / kPowersOfTen[fraction];
  return negative ? -v : v;
}

}  // namespace

namespace {

// The order p of a decimal text's value v, 10^(p-1) <= |v| < 10^p; nothing
// for zero. The exponent saturates far beyond the range of any double.
std::optional<std::int64_t> decimalOrder(std::string_view s) {
  std::size_t i = !s.empty() && s.front() == '-' ? 1 : 0;
  std::int64_t position = 0;  // power of ten of the first non-zero digit, plus one
  bool seenNonZero = false, afterPoint = false;
  for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
    if (s[i] == '.') {
      afterPoint = true;
      continue;
    }
    if (!seenNonZero) {
      if (s[i] != '0') {
        seenNonZero = true;
        if (!afterPoint) ++position;
      } else if (afterPoint) {
        --position;
      }
    } else if (!afterPoint) {
      ++position;
    }
  }
  if (!seenNonZero) return std::nullopt;
  std::int64_t exponent = 0;
  if (i < s.size()) {
    ++i;
    bool expNegative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) expNegative = s[i++] == '-';
    for (; i < s.size(); ++i)
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (s[i] - '0');
    if (expNegative) exponent = -exponent;
  }
  return position + exponent;
}

// The largest double, 1.797...e308, is of this order.
constexpr std::int64_t kLargestOrder = 309;

}  // namespace

std::optional<double> decimalToDouble(std::string_view s) {
  if (const std::optional<double> v = shortDecimalToDouble(s)) return *v;
  double v = 0.0;
  auto res = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (res.ec != std::errc::result_out_of_range) return v;
  // Out of range: beyond the largest double, or below the smallest one.
  const std::optional<std::int64_t> order = decimalOrder(s);
  if (order && *order > 0) return std::nullopt;
  return !s.empty() && s.front() == '-' ? -0.0 : 0.0;
}

bool beyondLargestDouble(std::string_view s) {
  // Without an exponent, fewer digits than the largest double has stay
  // below it.
  if (s.size() < static_cast<std::size_t>(kLargestOrder) && s.find_first_of("eE") == s.npos)
    return false;
  if (!isDecimalText(s)) return false;
  const std::optional<std::int64_t> order = decimalOrder(s);
  if (!order || *order != kLargestOrder) return order && *order > kLargestOrder;
  return !decimalToDouble(s);
}

std::optional<double> parseDouble(std::string_view text) {
  std::string_view t = unwrap(text);
  bool negative = false;
  std::string_view body = t;
  if (!body.empty() && body.front() == '-') {
    negative = true;
    body.remove_prefix(1);
  }
  if (body == "NaN") return std::numeric_limits<double>::quiet_NaN();
  if (body == "Infinity")
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
  if (body.empty() || body.front() == '-' || !isDecimalText(t)) return std::nullopt;
  return decimalToDouble(t);
}

std::optional<std::int32_t> parseInt(std::string_view text) {
  std::string_view t = unwrap(text);
  bool negative = false;
  if (!t.empty() && t.front() == '-') {
    negative = true;
    t.remove_prefix(1);
  }
  int base = 10;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'o' || t[1] == 'O')) {
    base = 8;
    t.remove_prefix(2);
  }
  if (t.empty()) return std::nullopt;
  // Accumulate as an unsigned magnitude so that -2147483648 reads and no
  // value can overflow a signed type on the way.
  std::uint64_t magnitude = 0;
  const std::uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
  for (char c : t) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return std::nullopt;
    if (d >= base) return std::nullopt;
    magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
    if (magnitude > limit) return std::nullopt;
  }
  const auto m = static_cast<std::int64_t>(magnitude);
  return static_cast<std::int32_t>(negative ? -m : m);
}

double readDouble(std::string_view text) {
  if (auto v = parseDouble(text)) return *v;
  failNumberText(text, "Double");
}

std::int32_t readInt(std::string_view text) {
  if (auto v = parseInt(text)) return *v;
  failNumberText(text, "Int");
}

}  // namespace kelvor
