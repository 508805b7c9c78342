#include "trees/Range.h"

#include <algorithm>
#include <optional>

#include "base/Fatal.h"
#include "base/NumberText.h"
#include "base/Show.h"
#include "base/WhiteSpace.h"
#include "trees/ListFailures.h"

namespace kelvor {

void failMkRange(std::int64_t i, std::int64_t j) {
  std::string message = "mkRange: trying to make a range out of (";
  appendInt(message, i);
  message += ',';
  appendInt(message, j);
  message += ')';
  fail(message);
}

Range mkRange(std::int32_t i, std::int32_t j) {
  if (i == j) return Single(i);
  if (i < j) return Range(i, j);
  failMkRange(i, j);
}

std::int64_t rangeSize(const Range& r) {
  return std::int64_t{r.last()} - std::int64_t{r.first()} + 1;
}

Range sumRanges(std::span<const Range> ranges) {
  // The greatest last position is taken first, so it is that search that
  // meets an empty list.
  if (ranges.empty()) failEmptyList("maximum");
  std::int32_t last = ranges.front().last();
  for (const Range& r : ranges) last = std::max(last, r.last());
  std::int32_t first = ranges.front().first();
  for (const Range& r : ranges) first = std::min(first, r.first());
  return mkRange(first, last);
}

std::int64_t rangesSize(std::span<const Range> ranges) { return rangeSize(sumRanges(ranges)); }

bool overlaps(const Range& a, const Range& b) {
  if (a.first() <= b.first() && a.last() >= b.first()) return true;
  return b.first() <= a.first() && b.last() >= a.first();
}

bool subsumes(const Range& a, const Range& b) {
  return a.first() <= b.first() && b.last() <= a.last();
}

void appendShow(std::string& out, int /*prec*/, const Range& r) {
  appendInt(out, r.first());
  if (r.kind() == RangeKind::Range) {
    out += '^';
    appendInt(out, r.last());
  }
}

namespace {

// An integer at the front of `text`: optional white space, an optional "-"
// and at least one decimal digit. Gives the value and the unread rest.
std::optional<std::pair<std::int32_t, std::string_view>> readIntPrefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isWhiteSpace(text[i])) ++i;
  if (i < text.size() && text[i] == '-') ++i;
  const std::size_t digits = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digits) return std::nullopt;
  const std::optional<std::int32_t> value = parseInt(text.substr(0, i));
  if (!value) return std::nullopt;  // outside the position type
  return std::pair(*value, text.substr(i));
}

}  // namespace

std::vector<std::pair<Range, std::string_view>> readsRange(std::string_view text, int /*prec*/) {
  std::vector<std::pair<Range, std::string_view>> out;
  const std::size_t caret = text.find('^');
  if (caret == std::string_view::npos) {
    if (auto n = readIntPrefix(text)) out.emplace_back(Single(n->first), n->second);
    return out;
  }
  const auto before = readIntPrefix(text.substr(0, caret));
  if (!before || !before->second.empty()) return out;
  if (auto after = readIntPrefix(text.substr(caret + 1)))
    out.emplace_back(Range(before->first, after->first), after->second);
  return out;
}

}  // namespace kelvor
