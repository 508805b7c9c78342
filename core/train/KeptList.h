// The candidates a selection step keeps: the unselected examples whose
// decision values lie closest to zero.
#pragma once

#include <compare>
#include <cstdint>
#include <span>
#include <vector>

namespace kelvor {

// Orders by absolute value: less when |a| < |b|, equivalent when equal,
// greater otherwise, so a NaN on either side compares greater.
std::weak_ordering compareAbs(double a, double b);

struct Candidate {
  double score;
  std::int32_t index;  // training index
};

// At most `capacity` candidates (none when it is 0 or less), in ascending
// order of absolute score. A newcomer goes before the first entry it does
// not compare greater than by compareAbs, else at the end, and the entry
// pushed past the capacity drops out. So of equal absolute scores the
// latest offered comes first, and a NaN score goes to the end.
class KeptList {
 public:
  explicit KeptList(std::int32_t capacity);

  void offer(double score, std::int32_t index);

  std::span<const Candidate> entries() const { return entries_; }

 private:
  std::vector<Candidate> entries_;
  std::size_t capacity_;
};

}  // namespace kelvor
