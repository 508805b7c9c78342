// The value printer: a value's text at a precedence level, appended to a
// buffer. The level decides only whether a negative number is put in
// parentheses (above 6, as an argument of an application would need);
// strings are quoted with the value printer's escapes, pairs and lists are
// written with their parts at level 0.
//
// Other types join in by declaring
//   void appendShow(std::string& out, int prec, const T& value);
// in namespace kelvor, next to the type, so that argument-dependent lookup
// finds it from generic printers (lists, pairs, finite maps).
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvor {

void appendShow(std::string& out, int prec, std::int64_t v);
void appendShow(std::string& out, int prec, double v);
void appendShow(std::string& out, int prec, bool v);
void appendShow(std::string& out, int prec, std::string_view v);

// Every integer type but bool and char goes through the 64-bit form.
template <class T>
concept ShownAsInteger = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char>;

template <ShownAsInteger T>
void appendShow(std::string& out, int prec, T v) {
  appendShow(out, prec, static_cast<std::int64_t>(v));
}
inline void appendShow(std::string& out, int prec, const std::string& v) {
  appendShow(out, prec, std::string_view(v));
}
inline void appendShow(std::string& out, int prec, const char* v) {
  appendShow(out, prec, std::string_view(v));
}

template <class A, class B>
void appendShow(std::string& out, int /*prec*/, const std::pair<A, B>& p) {
  out += '(';
  appendShow(out, 0, p.first);
  out += ',';
  appendShow(out, 0, p.second);
  out += ')';
}

template <class T>
void appendShow(std::string& out, int /*prec*/, const std::vector<T>& xs) {
  out += '[';
  bool first = true;
  for (const T& x : xs) {
    if (!first) out += ',';
    first = false;
    appendShow(out, 0, x);
  }
  out += ']';
}

// The value's text at level 0.
template <class T>
std::string showValue(const T& v) {
  std::string out;
  appendShow(out, 0, v);
  return out;
}

}  // namespace kelvor
