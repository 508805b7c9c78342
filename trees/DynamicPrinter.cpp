#include "trees/DynamicPrinter.h"

#include "base/Show.h"
#include "trees/Range.h"

namespace kelvor {

std::optional<std::string> dynamicText(const DynamicPrinter& printer, const Dynamic& value) {
  std::string out;
  if (!printer(out, value)) return std::nullopt;
  return out;
}

DynamicPrinter dPlus(DynamicPrinter p, DynamicPrinter q) {
  return [p = std::move(p), q = std::move(q)](std::string& out, const Dynamic& d) {
    const bool first = p(out, d);
    const bool second = q(out, d);
    return first || second;
  };
}

DynamicPrinter dshow0() {
  return [](std::string&, const Dynamic&) { return false; };
}

DynamicPrinter rangeDShow() {
  return dshowLabel<Range>("R=", [](std::string& out, const Range& r) { appendShow(out, 0, r); });
}

}  // namespace kelvor
