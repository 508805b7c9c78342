// Every array the system builds is 1-based with bounds 1..n (1..0 when
// empty). Access by index is checked; hot loops walk elems() instead.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

#include "base/Fatal.h"

namespace kelvor {

template <class T>
class Array {
 public:
  Array() = default;
  explicit Array(std::vector<T> elems) : elems_(std::move(elems)) {}
  Array(std::initializer_list<T> elems) : elems_(elems) {}

  static constexpr std::int32_t lo() { return 1; }
  std::int32_t hi() const { return static_cast<std::int32_t>(elems_.size()); }
  std::size_t size() const { return elems_.size(); }
  bool empty() const { return elems_.empty(); }

  // The element with 1-based index i; an index outside 1..hi() stops the
  // program naming the index and the bounds.
  const T& at(std::int64_t i) const {
    if (i < 1 || i > static_cast<std::int64_t>(elems_.size())) failIndex(i, 1, hi());
    return elems_[static_cast<std::size_t>(i - 1)];
  }

  std::span<const T> elems() const { return elems_; }
  const std::vector<T>& vector() const { return elems_; }
  auto begin() const { return elems_.begin(); }
  auto end() const { return elems_.end(); }

  friend bool operator==(const Array& a, const Array& b) { return a.elems_ == b.elems_; }

 private:
  std::vector<T> elems_;
};

}  // namespace kelvor
