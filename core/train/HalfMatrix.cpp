#include "core/train/HalfMatrix.h"

#include <new>
#include <stdexcept>

#include "base/Fatal.h"
#include "base/NumberText.h"

namespace kelvor {

namespace {

std::size_t checkedIndex(const HalfMatrix& m, std::int32_t i, std::int32_t j,
                         const char* accessor) {
  const std::int32_t n = m.matrixLength;
  if (!(i > 0) || !(j > 0) || !(i <= n) || !(j <= n))
    fail(std::string(accessor) + ": matrix index out of bounds");
  return static_cast<std::size_t>(halfMatrixIndex(n, i, j));
}

}  // namespace

HalfMatrix newMatrix(std::int32_t n) {
  const std::int64_t cells = n > 0 ? (std::int64_t{n} * (std::int64_t{n} + 1)) / 2 : 0;
  try {
    return HalfMatrix{n, std::vector<double>(static_cast<std::size_t>(cells), 0.0)};
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  const std::int64_t megabytes = (cells + 131071) / 131072;  // 8-byte cells
  fail("Cannot allocate a matrix of " + showInt(n) + " rows (" + showInt(megabytes) +
       " megabytes); a smaller kernel cache (-m) needs less");
}

double readMatrix(const HalfMatrix& m, std::int32_t i, std::int32_t j) {
  return m.arr[checkedIndex(m, i, j, "readMatrix")];
}

void writeMatrix(HalfMatrix& m, std::int32_t i, std::int32_t j, double value) {
  m.arr[checkedIndex(m, i, j, "writeMatrix")] = value;
}

void modifyMatrix(HalfMatrix& m, std::int32_t i, std::int32_t j,
                  const std::function<double(double)>& f) {
  double& cell = m.arr[checkedIndex(m, i, j, "modifyMatrix")];
  cell = f(cell);
}

}  // namespace kelvor
