#include "core/kernels/UserKernel.h"

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/NumberText.h"
#include "base/StringEscape.h"
#include "base/WhiteSpace.h"
#include "core/kernels/KernelParams.h"

namespace kelvor {

namespace {

// Every way to read a value from the front of a text, each with the rest.
template <class T>
using Parses = std::vector<std::pair<T, std::string_view>>;

// Deeper nesting than this is not a parameter line anyone writes, and the
// readers below recurse once per parenthesis.
constexpr int kMaxNesting = 200;

std::string_view skipWhiteSpace(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && isWhiteSpace(s[i])) ++i;
  return s.substr(i);
}

bool isHexDigit(char c) {
  return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::size_t digitsFrom(std::string_view s, std::size_t i, bool (*digit)(char)) {
  while (i < s.size() && digit(s[i])) ++i;
  return i;
}

// The longest number lexeme at the front: a decimal with optional fraction
// and exponent, a hexadecimal or octal integer, NaN or Infinity. Length 0
// when there is none.
std::size_t numberLexeme(std::string_view s) {
  for (std::string_view word : {std::string_view("NaN"), std::string_view("Infinity")})
    if (s.starts_with(word)) return word.size();
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') && isHexDigit(s[2]))
    return digitsFrom(s, 2, isHexDigit);
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'o' || s[1] == 'O') && s[2] >= '0' && s[2] <= '7')
    return digitsFrom(s, 2, [](char c) { return c >= '0' && c <= '7'; });
  std::size_t i = digitsFrom(s, 0, isDecimalDigit);
  if (i == 0) return 0;
  if (i + 1 < s.size() && s[i] == '.' && isDecimalDigit(s[i + 1]))
    i = digitsFrom(s, i + 1, isDecimalDigit);
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
    if (j < s.size() && isDecimalDigit(s[j])) i = digitsFrom(s, j, isDecimalDigit);
  }
  return i;
}

// A number, optionally negated, optionally in any number of parentheses.
template <class T>
Parses<T> readNumber(std::string_view s, std::optional<T> (*convert)(std::string_view), int depth) {
  Parses<T> out;
  s = skipWhiteSpace(s);
  if (depth > kMaxNesting || s.empty()) return out;
  if (s.front() == '(') {
    for (auto& [v, rest] : readNumber(s.substr(1), convert, depth + 1)) {
      std::string_view r = skipWhiteSpace(rest);
      if (!r.empty() && r.front() == ')') out.emplace_back(v, r.substr(1));
    }
    return out;
  }
  const bool negative = s.front() == '-';
  if (negative) s = skipWhiteSpace(s.substr(1));
  const std::size_t n = numberLexeme(s);
  if (n == 0) return out;
  if (auto v = convert(s.substr(0, n))) out.emplace_back(negative ? -*v : *v, s.substr(n));
  return out;
}

std::optional<std::int32_t> convertInt(std::string_view t) { return parseInt(t); }
std::optional<double> convertDouble(std::string_view t) { return parseDouble(t); }

// "(" a "," b ")", or the same inside further parentheses.
template <class A, class B, class ReadA, class ReadB>
Parses<std::pair<A, B>> readTuple(std::string_view s, ReadA readA, ReadB readB, int depth) {
  Parses<std::pair<A, B>> out;
  s = skipWhiteSpace(s);
  if (depth > kMaxNesting || s.empty() || s.front() != '(') return out;
  std::string_view inner = s.substr(1);
  for (auto& [p, rest] : readTuple<A, B>(inner, readA, readB, depth + 1)) {
    std::string_view r = skipWhiteSpace(rest);
    if (!r.empty() && r.front() == ')') out.emplace_back(p, r.substr(1));
  }
  for (auto& [a, rest] : readA(inner, depth + 1)) {
    std::string_view r = skipWhiteSpace(rest);
    if (r.empty() || r.front() != ',') continue;
    for (auto& [b, rest2] : readB(r.substr(1), depth + 1)) {
      std::string_view r2 = skipWhiteSpace(rest2);
      if (!r2.empty() && r2.front() == ')') out.emplace_back(std::make_pair(a, b), r2.substr(1));
    }
  }
  return out;
}

Parses<std::int32_t> readIntAt(std::string_view s, int depth) {
  return readNumber<std::int32_t>(s, convertInt, depth);
}
Parses<double> readDoubleAt(std::string_view s, int depth) {
  return readNumber<double>(s, convertDouble, depth);
}
Parses<ParamPair> readPairAt(std::string_view s, int depth) {
  return readTuple<std::int32_t, double>(s, readIntAt, readDoubleAt, depth);
}

template <class T>
std::optional<T> onlyCompleteParse(const Parses<T>& parses) {
  if (parses.size() == 1 && parses.front().second.empty()) return parses.front().first;
  return std::nullopt;
}

void printDebugLine(int number, std::string_view valueText) {
  std::string line = "(";
  appendInt(line, number);
  line += ',';
  appendHaskellString(line, valueText);
  line += ")\n";
  printOut(line);
}

}  // namespace

std::vector<std::pair<ParamPair, std::string_view>> readParamPair(std::string_view text) {
  return readPairAt(text, 0);
}

std::vector<std::pair<std::pair<ParamPair, ParamPair>, std::string_view>> readTwoParamPairs(
    std::string_view text) {
  return readTuple<ParamPair, ParamPair>(text, readPairAt, readPairAt, 0);
}

SigmoidText parseUserKernelParam(SigmoidText state, std::string_view word,
                                 const std::optional<FileLine>& where) {
  const std::size_t colon = word.find(':');
  if (colon == std::string_view::npos)
    fail("User kernel parameter without a value (no \":\"): " + std::string(word));
  const std::string_view name = word.substr(0, colon);
  const std::string value(word.substr(colon + 1));
  auto deferInt = [value, where] {
    return where ? atLine(*where, [&] { return readInt(value); }) : readInt(value);
  };
  auto deferDouble = [value, where] {
    return where ? atLine(*where, [&] { return readDouble(value); }) : readDouble(value);
  };
  if (name == "sx") {
    smaxnRef().storeDeferred(deferInt);
    printDebugLine(1, value);
  } else if (name == "sl") {
    slambdaRef().storeDeferred(deferDouble);
    printDebugLine(2, value);
  } else if (name == "tx") {
    tmaxdRef().storeDeferred(deferInt);
    printDebugLine(3, value);
  } else if (name == "tl") {
    tlambdaRef().storeDeferred(deferDouble);
    printDebugLine(4, value);
  } else if (name == "a") {
    state = {true, value, state.b};
    printDebugLine(5, value);
  } else if (name == "b") {
    state = {true, state.a, value};
    printDebugLine(6, value);
  } else {
    fail("unrecognized feature in user kernel param: " + std::string(word));
  }
  return state;
}

std::pair<std::string, SigmoidState> parseUserKernelLine(std::string_view text,
                                                         const std::optional<FileLine>& where) {
  SigmoidText state;
  if (text == modelText::kEmpty || trimWhiteSpace(text).empty()) {
    // nothing stored
  } else if (auto pair = onlyCompleteParse(readParamPair(text))) {
    smaxnRef().store(pair->first);
    slambdaRef().store(pair->second);
  } else if (auto pairs = onlyCompleteParse(readTwoParamPairs(text))) {
    smaxnRef().store(pairs->first.first);
    slambdaRef().store(pairs->first.second);
    tmaxdRef().store(pairs->second.first);
    tlambdaRef().store(pairs->second.second);
  } else {
    forEachWord(text,
                [&](std::string_view word) { state = parseUserKernelParam(state, word, where); });
  }
  const std::string name(modelText::kEmpty);
  // The sigmoid values are converted as the line prints them, so a bad one
  // fails with the part of the line before it already written.
  std::string line = "(";
  appendHaskellString(line, name);
  line += state.sigmoid ? ",(True," : ",(False,";
  printOut(line);
  SigmoidState result{state.sigmoid, 0.0, 0.0};
  result.a = readDouble(state.a);
  line.clear();
  appendDouble(line, result.a);
  line += ',';
  printOut(line);
  result.b = readDouble(state.b);
  line.clear();
  appendDouble(line, result.b);
  line += "))\n";
  printOut(line);
  return {name, result};
}

}  // namespace kelvor
