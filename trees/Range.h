// Spans of leaf positions: one position (Single i) or the positions i to j,
// both included (Range i j).
//
// Only the first and the last position matter to the operations, so
// Single 4 and Range 4 4 are equal. mkRange and sumRanges build only
// well-formed spans (Range i j with i < j); a Range built directly, or read
// from text, may hold any two positions and every operation then applies
// its rule to the two positions it holds.
#pragma once

#include <compare>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "maps/Dynamic.h"

namespace kelvor {

enum class RangeKind { Single, Range };

class Range {
 public:
  // Range i j, unchecked.
  constexpr Range(std::int32_t first, std::int32_t last)
      : kind_(RangeKind::Range), first_(first), last_(last) {}

  static constexpr Range single(std::int32_t i) { return Range(RangeKind::Single, i, i); }

  constexpr RangeKind kind() const { return kind_; }
  constexpr std::int32_t first() const { return first_; }
  constexpr std::int32_t last() const { return last_; }

  friend constexpr bool operator==(const Range& a, const Range& b) {
    return a.first_ == b.first_ && a.last_ == b.last_;
  }
  // By the first positions, then by the last ones.
  friend constexpr std::strong_ordering operator<=>(const Range& a, const Range& b) {
    if (auto c = a.first_ <=> b.first_; c != 0) return c;
    return a.last_ <=> b.last_;
  }

 private:
  constexpr Range(RangeKind kind, std::int32_t first, std::int32_t last)
      : kind_(kind), first_(first), last_(last) {}

  RangeKind kind_;
  std::int32_t first_;
  std::int32_t last_;
};

constexpr Range Single(std::int32_t i) { return Range::single(i); }

template <>
struct TypeName<Range> {
  static constexpr std::string_view value = "ZezeRozi.Util.Range";
};

// Single i when i = j, Range i j when i < j; stops the program when i > j.
Range mkRange(std::int32_t i, std::int32_t j);
// mkRange's stop, also for a span computed from positions that need not
// fit a Range (the message shows them exactly).
[[noreturn]] void failMkRange(std::int64_t i, std::int64_t j);

// The number of positions, j - i + 1, exact for every pair of positions
// (zero or negative for an ill-formed Range).
std::int64_t rangeSize(const Range& r);
constexpr std::int32_t minRange(const Range& r) { return r.first(); }
constexpr std::int32_t maxRange(const Range& r) { return r.last(); }

// The smallest well-formed span covering all of them; an empty list stops
// the program.
Range sumRanges(std::span<const Range> ranges);
// The width of that span, gaps included.
std::int64_t rangesSize(std::span<const Range> ranges);

// Do they share a position? Spans that touch in one position overlap.
bool overlaps(const Range& a, const Range& b);
// Does a contain b? Every span contains itself.
bool subsumes(const Range& a, const Range& b);

// "i" for Single i, "i^j" for Range i j, never in parentheses whatever
// the level.
void appendShow(std::string& out, int prec, const Range& r);

// The readings of a span at the front of `text`, each with the text left
// unread after it. Without a "^" the text must start with an integer
// (Single); otherwise the text before its first "^" must be exactly one
// integer and another must start the text after it (Range, unchecked). An
// integer is optional white space, an optional "-" and decimal digits; one
// outside the position type is no reading. The level is ignored, as the
// printer ignores it, so that every printed span reads back.
std::vector<std::pair<Range, std::string_view>> readsRange(std::string_view text, int prec = 0);

}  // namespace kelvor
