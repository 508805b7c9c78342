// Number text, both directions, independent of the locale.
//
// Writing: the shortest digits that read back exactly; positional for
// 0.1 <= v < 1e7 (and zero), otherwise "d.ddde<N>" with no plus sign and no
// padding; "NaN", "Infinity", "-Infinity"; negative zero as "-0.0".
//
// Reading: white space and parentheses may surround the number, a leading
// minus negates, no leading plus or point. A magnitude below the smallest
// double reads as zero; one beyond the largest double is no number, as
// "inf" is none: infinity is written "Infinity" or not at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvor {

constexpr bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

void appendDouble(std::string& out, double v);
std::string showDouble(double v);
void appendInt(std::string& out, std::int64_t v);
std::string showInt(std::int64_t v);

// The full reading grammar. The parse* forms give nothing on a bad text; the
// read* forms stop the program with the number-reading failure.
std::optional<double> parseDouble(std::string_view text);
std::optional<std::int32_t> parseInt(std::string_view text);
double readDouble(std::string_view text);
std::int32_t readInt(std::string_view text);

// Is the text exactly: optional '-', digits, optional '.' digits, optional
// 'e'/'E' with an optional sign (a '+' only when allowPlusExponent) and
// digits? Narrower formats (scores, example lines) build on this.
bool isDecimalText(std::string_view text, bool allowPlusExponent = true);

// Converts a text that passed isDecimalText to the nearest double (+-0.0
// below the smallest subnormal); nothing when the value lies beyond the
// largest double.
std::optional<double> decimalToDouble(std::string_view text);

// Whether the text passes isDecimalText and its value lies beyond the
// largest double: what decimalToDouble refuses, told without converting
// for the texts of everyday magnitude.
bool beyondLargestDouble(std::string_view text);

}  // namespace kelvor
