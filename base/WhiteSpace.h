// White space everywhere the system skips it or splits words at it: exactly
// tab, line feed, vertical tab, form feed, carriage return, space and the
// no-break space byte 0xA0. Never isspace(), whose answer depends on the
// locale and on the signedness of char.
#pragma once

#include <string_view>
#include <vector>

namespace kelvor {

constexpr bool isWhiteSpace(unsigned char c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0xA0;
}
constexpr bool isWhiteSpace(char c) { return isWhiteSpace(static_cast<unsigned char>(c)); }

constexpr std::string_view trimWhiteSpace(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && isWhiteSpace(s[b])) ++b;
  while (e > b && isWhiteSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

constexpr bool containsWhiteSpace(std::string_view s) {
  for (char c : s)
    if (isWhiteSpace(c)) return true;
  return false;
}

// Calls f(word) for each maximal run of non-white-space bytes, in order,
// without allocating.
template <class F>
void forEachWord(std::string_view s, F&& f) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (true) {
    while (i < n && isWhiteSpace(s[i])) ++i;
    if (i == n) return;
    std::size_t j = i;
    while (j < n && !isWhiteSpace(s[j])) ++j;
    f(s.substr(i, j - i));
    i = j;
  }
}

inline std::vector<std::string_view> words(std::string_view s) {
  std::vector<std::string_view> out;
  forEachWord(s, [&](std::string_view w) { out.push_back(w); });
  return out;
}

}  // namespace kelvor
