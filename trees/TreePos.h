// Tree positions: the path from a starting node to one below it, as 0-based
// child indices, the first step first. Here is the empty path; There i p
// steps to child i and then follows p.
//
// A position is a window on a shared, immutable array of steps, so the
// prefixes and suffixes that unifyTreePos and removePosPrefix give, and the
// positions along one path (see followPath), cost no copy of the steps.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "maps/Dynamic.h"

namespace kelvor {

class TreePos {
 public:
  // Here.
  TreePos() = default;
  explicit TreePos(std::vector<std::int64_t> steps);

  std::span<const std::int64_t> steps() const {
    return steps_ == nullptr ? std::span<const std::int64_t>()
                             : std::span<const std::int64_t>(steps_->data() + begin_, size_);
  }
  std::size_t size() const { return size_; }
  bool isHere() const { return size_ == 0; }

  // The first `n` steps, and all but the first `n` (n <= size()).
  TreePos prefix(std::size_t n) const { return TreePos(steps_, begin_, n); }
  TreePos dropFront(std::size_t n) const { return TreePos(steps_, begin_ + n, size_ - n); }

  friend bool operator==(const TreePos& a, const TreePos& b);
  // Here first, then by the first steps, then by the rests: a path comes
  // before its extensions.
  friend std::strong_ordering operator<=>(const TreePos& a, const TreePos& b);

 private:
  TreePos(std::shared_ptr<const std::vector<std::int64_t>> steps, std::size_t begin,
          std::size_t size)
      : steps_(size == 0 ? nullptr : std::move(steps)), begin_(begin), size_(size) {}

  std::shared_ptr<const std::vector<std::int64_t>> steps_;
  std::size_t begin_ = 0;
  std::size_t size_ = 0;
};

inline TreePos Here() { return TreePos(); }
// Copies the steps of `p` behind the new first one.
TreePos There(std::int64_t i, const TreePos& p);

template <>
struct TypeName<TreePos> {
  static constexpr std::string_view value = "NLP.TreePos.TreePos";
};

// The number of steps, in the caller's numeric type.
template <class N = std::int64_t>
N lengthTP(const TreePos& p) {
  return static_cast<N>(p.size());
}
// The index of the last step; none for Here.
std::optional<std::int64_t> lastTP(const TreePos& p);
// The index of the first step; 0 for Here, as for a path that starts at
// child 0.
std::int64_t firstPos(const TreePos& p);

// The longest common prefix.
TreePos unifyTreePos(const TreePos& p, const TreePos& q);
// The longest common prefix of all of them; an empty list stops the program.
TreePos unifyTreePoses(std::span<const TreePos> ps);

// What remains of p after `prefix`; stops the program when `prefix` is not
// a prefix of p.
TreePos removePosPrefix(const TreePos& prefix, const TreePos& p);

// "!" for Here, otherwise the indices separated by "/" (0/2/1), each
// written as an integer at level `prec`: a negative one is bracketed above
// level 6.
void appendShow(std::string& out, int prec, const TreePos& p);

}  // namespace kelvor
