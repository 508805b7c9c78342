#include "core/train/KeptList.h"

#include <cmath>

namespace kelvor {

std::weak_ordering compareAbs(double a, double b) {
  const double x = std::fabs(a);
  const double y = std::fabs(b);
  if (x < y) return std::weak_ordering::less;
  if (x == y) return std::weak_ordering::equivalent;
  return std::weak_ordering::greater;
}

KeptList::KeptList(std::int32_t capacity)
    : capacity_(capacity > 0 ? static_cast<std::size_t>(capacity) : 0) {
  entries_.reserve(capacity_ + 1);  // room for the newcomer before the cut
}

void KeptList::offer(double score, std::int32_t index) {
  if (capacity_ == 0) return;
  // A finite newcomer passes every NaN entry, so the scores that are not
  // NaN stay in ascending order among themselves, and the last entry, when
  // it is not NaN, is their largest. A newcomer above it, or a NaN one,
  // would go at the end of a full list and drop out at once: most
  // candidates of a pass end here, without a walk over the list.
  if (entries_.size() == capacity_) {
    const double last = entries_.back().score;
    if (std::isnan(score) || (!std::isnan(last) && std::fabs(score) > std::fabs(last))) return;
  }
  auto at = entries_.begin();
  while (at != entries_.end() && compareAbs(score, at->score) == std::weak_ordering::greater) ++at;
  entries_.insert(at, Candidate{score, index});
  if (entries_.size() > capacity_) entries_.pop_back();
}

}  // namespace kelvor
