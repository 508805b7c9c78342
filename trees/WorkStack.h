// Helpers for the explicit stacks that stand in for recursion over trees.
#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

namespace kelvor {

// Moves the elements from index `first` on out of `stack` into a vector of
// their own, exactly sized, and drops them from the stack.
template <class T>
std::vector<T> takeFrom(std::vector<T>& stack, std::size_t first) {
  const auto begin = stack.begin() + static_cast<std::ptrdiff_t>(first);
  std::vector<T> out(std::make_move_iterator(begin), std::make_move_iterator(stack.end()));
  stack.erase(begin, stack.end());
  return out;
}

}  // namespace kelvor
