#include "base/StringEscape.h"

#include <array>

#include "base/NumberText.h"

namespace kelvor {

void appendEscaped(std::string& out, std::string_view s) {
  out.reserve(out.size() + s.size());
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
}

void appendQuoted(std::string& out, std::string_view s) {
  out += '"';
  appendEscaped(out, s);
  out += '"';
}

namespace {

constexpr std::array<std::string_view, 32> kAsciiNames = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "a",   "b",   "t",   "n",
    "v",   "f",   "r",   "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

}  // namespace

void appendHaskellString(std::string& out, std::string_view s) {
  out += '"';
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const bool nextIsDigit = i + 1 < s.size() && isDecimalDigit(s[i + 1]);
    if (c == '"') {
      out += "\\\"";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c > 127) {
      out += '\\';
      out += std::to_string(c);
      if (nextIsDigit) out += "\\&";
    } else if (c == 127) {
      out += "\\DEL";
    } else if (c >= ' ') {
      out += static_cast<char>(c);
    } else {
      out += '\\';
      out += kAsciiNames[c];
      // "\SOH" would otherwise swallow an H that follows "\SO".
      if (c == 14 && i + 1 < s.size() && s[i + 1] == 'H') out += "\\&";
    }
  }
  out += '"';
}

std::string showHaskellString(std::string_view s) {
  std::string out;
  appendHaskellString(out, s);
  return out;
}

}  // namespace kelvor
