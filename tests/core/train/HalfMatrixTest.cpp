#include <gtest/gtest.h>

#include "FatalMessage.h"
#include "base/Fatal.h"
#include "core/train/HalfMatrix.h"

namespace kelvor {
namespace {

using kelvor::testing::fatalMessage;

TEST(HalfMatrix, SymmetricUpperTriangle) {
  EXPECT_EQ(halfMatrixIndex(4, 1, 4), 3);
  EXPECT_EQ(halfMatrixIndex(4, 2, 2), 4);
  EXPECT_EQ(halfMatrixIndex(4, 4, 3), 8);
  EXPECT_EQ(halfMatrixIndex(4, 4, 4), 9);
  HalfMatrix m = newMatrix(5);
  EXPECT_EQ(m.arr.size(), 15u);
  EXPECT_EQ(readMatrix(m, 1, 1), 0.0);
  writeMatrix(m, 2, 5, 1.5);
  EXPECT_EQ(readMatrix(m, 5, 2), 1.5);
  modifyMatrix(m, 5, 2, [](double v) { return v * 2; });
  EXPECT_EQ(readMatrix(m, 2, 5), 3.0);
  // 64-bit indices: large dimensions do not wrap.
  EXPECT_EQ(halfMatrixIndex(50000, 50000, 50000), 50000LL * 50001 / 2 - 1);
}

TEST(HalfMatrix, BoundsFailuresNameTheAccessor) {
  HalfMatrix m = newMatrix(3);
  EXPECT_EQ(fatalMessage([&] { readMatrix(m, 0, 1); }), "readMatrix: matrix index out of bounds");
  EXPECT_EQ(fatalMessage([&] { readMatrix(m, 4, 1); }), "readMatrix: matrix index out of bounds");
  EXPECT_EQ(fatalMessage([&] { writeMatrix(m, 1, -1, 0.0); }),
            "writeMatrix: matrix index out of bounds");
  EXPECT_EQ(fatalMessage([&] { modifyMatrix(m, 1, 4, [](double v) { return v; }); }),
            "modifyMatrix: matrix index out of bounds");
  HalfMatrix empty = newMatrix(0);
  EXPECT_TRUE(empty.arr.empty());
  EXPECT_THROW(readMatrix(empty, 1, 1), FatalError);
}

TEST(HalfMatrix, LoopWalksRowsThenCells) {
  HalfMatrix m = newMatrix(3);
  std::string order;
  loopMatrix(
      m,
      [&](std::int32_t i, double) {
        order += "r" + std::to_string(i) + " ";
        return i;
      },
      [&](std::int32_t i, std::int32_t j, double, int r) {
        order += "c" + std::to_string(i) + std::to_string(j) + "/" + std::to_string(r) + " ";
      });
  EXPECT_EQ(order, "r1 c12/1 c13/1 r2 c23/2 r3 ");
}

}  // namespace
}  // namespace kelvor
