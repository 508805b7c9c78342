#include "base/Show.h"

#include <cmath>

#include "base/NumberText.h"
#include "base/StringEscape.h"

namespace kelvor {

void appendShow(std::string& out, int prec, std::int64_t v) {
  const bool paren = prec > 6 && v < 0;
  if (paren) out += '(';
  appendInt(out, v);
  if (paren) out += ')';
}

void appendShow(std::string& out, int prec, double v) {
  // Negative zero carries a minus sign too, so it is bracketed like any
  // other negative number.
  const bool paren = prec > 6 && std::signbit(v) && !std::isnan(v);
  if (paren) out += '(';
  appendDouble(out, v);
  if (paren) out += ')';
}

void appendShow(std::string& out, int /*prec*/, bool v) { out += v ? "True" : "False"; }

void appendShow(std::string& out, int /*prec*/, std::string_view v) { appendHaskellString(out, v); }

}  // namespace kelvor
