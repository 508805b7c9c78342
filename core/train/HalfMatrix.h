// A symmetric n x n matrix of doubles that stores only its upper triangle:
// cells (i, j) and (j, i) are one storage cell. The store behind the
// training kernel cache.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace kelvor {

struct HalfMatrix {
  std::int32_t matrixLength;
  std::vector<double> arr;  // the upper triangle, row by row
};

HalfMatrix newMatrix(std::int32_t n);

// Storage index of cell (i, j), 1-based, in a matrix of dimension n.
// 64-bit arithmetic, so large dimensions cannot wrap.
constexpr std::int64_t halfMatrixIndex(std::int64_t n, std::int64_t i, std::int64_t j) {
  const std::int64_t a = i < j ? i : j;
  const std::int64_t b = i < j ? j : i;
  return (a - 1) * n - (((a - 1) * (a - 2)) >> 1) + (b - a);
}

// Bounds-checked accessors; an index outside 1..n stops the program with
// "<accessor>: matrix index out of bounds".
double readMatrix(const HalfMatrix& m, std::int32_t i, std::int32_t j);
void writeMatrix(HalfMatrix& m, std::int32_t i, std::int32_t j, double value);
void modifyMatrix(HalfMatrix& m, std::int32_t i, std::int32_t j,
                  const std::function<double(double)>& f);

inline double unsafeRead(const std::vector<double>& arr, std::int64_t index) {
  return arr[static_cast<std::size_t>(index)];
}

// For each row i ascending: r = rowAction(i, cell(i, i)), then for each
// column j > i ascending: cellAction(i, j, cell(i, j), r).
template <class RowAction, class CellAction>
void loopMatrix(const HalfMatrix& m, RowAction&& rowAction, CellAction&& cellAction) {
  std::int64_t index = 0;
  for (std::int32_t i = 1; i <= m.matrixLength; ++i) {
    auto r = rowAction(i, unsafeRead(m.arr, index++));
    for (std::int32_t j = i + 1; j <= m.matrixLength; ++j)
      cellAction(i, j, unsafeRead(m.arr, index++), r);
  }
}

}  // namespace kelvor
