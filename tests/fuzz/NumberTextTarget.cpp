// Number text both ways: every text that reads as a number prints in a form
// that reads back as the very same number, and so does every bit pattern of
// a double. A decimal reads as a finite double or as nothing.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "base/NumberText.h"
#include "tests/fuzz/FuzzTargets.h"

namespace kelvor::fuzz {

namespace {

bool sameDouble(double a, double b) {
  return std::isnan(a) ? std::isnan(b)
                       : std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void checkRoundTrip(double v, std::string_view input) {
  const std::string text = showDouble(v);
  const std::optional<double> back = parseDouble(text);
  if (!back || !sameDouble(*back, v)) propertyBroken("a double does not read back: " + text, input);
}

}  // namespace

void fuzzNumberText(std::string_view input) {
  if (const std::optional<double> v = parseDouble(input)) checkRoundTrip(*v, input);
  if (const std::optional<std::int32_t> i = parseInt(input); i && parseInt(showInt(*i)) != i)
    propertyBroken("an Int does not read back", input);
  endsNormally([&] { readDouble(input); });
  endsNormally([&] { readInt(input); });
  // The narrow decimal form is a part of the full grammar and reads alike,
  // refused alike beyond the largest double.
  if (isDecimalText(input, /*allowPlusExponent=*/false)) {
    const std::optional<double> d = decimalToDouble(input);
    const std::optional<double> full = parseDouble(input);
    if (d.has_value() != full.has_value() || (d && !sameDouble(*full, *d)))
      propertyBroken("the two readings of a decimal differ", input);
  }
  if (beyondLargestDouble(input) != (isDecimalText(input) && !decimalToDouble(input)))
    propertyBroken("the quick test of a value beyond the largest double errs", input);
  if (input.size() >= sizeof(double)) {
    double bits;
    std::memcpy(&bits, input.data(), sizeof bits);
    checkRoundTrip(bits, input);
  }
}

}  // namespace kelvor::fuzz
