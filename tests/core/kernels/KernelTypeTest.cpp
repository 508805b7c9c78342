#include <gtest/gtest.h>

#include "base/Fatal.h"
#include "core/kernels/KernelType.h"

namespace kelvor {
namespace {

using enum KernelType;
using Ks = std::vector<KernelType>;

TEST(KernelType, NumbersAndNames) {
  const char* names[] = {"LinearKernel", "PolyKernel", "RBFKernel", "SigmoidKernel", "UserKernel"};
  for (int n = 0; n <= 4; ++n) {
    EXPECT_EQ(fromEnum(toEnum(n)), n);
    EXPECT_EQ(kernelTypeName(toEnum(n)), names[n]);
  }
  EXPECT_EQ(showsPrec(11, RBFKernel, "!"), "RBFKernel!");
  EXPECT_EQ(showList({LinearKernel, UserKernel}, ""), "[LinearKernel,UserKernel]");
  EXPECT_EQ(showList({}, "x"), "[]x");
}

TEST(KernelType, OutOfRangeNumbersAndEndsAreFatal) {
  for (int n : {-1, 5}) {
    try {
      toEnum(n);
      FAIL() << n;
    } catch (const FatalError& e) {
      EXPECT_EQ(std::string(e.what()), "toEnum{KernelType}: tag (" + std::to_string(n) +
                                           ") is outside of enumeration's range (0,4)");
    }
  }
  EXPECT_THROW(succ(UserKernel), FatalError);
  EXPECT_THROW(pred(LinearKernel), FatalError);
  EXPECT_EQ(succ(LinearKernel), PolyKernel);
  EXPECT_EQ(pred(UserKernel), SigmoidKernel);
}

TEST(KernelType, Ranges) {
  EXPECT_EQ(enumFrom(SigmoidKernel), (Ks{SigmoidKernel, UserKernel}));
  EXPECT_EQ(enumFromTo(RBFKernel, PolyKernel), Ks{});
  EXPECT_EQ(enumFromTo(PolyKernel, SigmoidKernel), (Ks{PolyKernel, RBFKernel, SigmoidKernel}));
  EXPECT_EQ(enumFromThen(PolyKernel, LinearKernel), (Ks{PolyKernel, LinearKernel}));
  EXPECT_EQ(enumFromThen(LinearKernel, RBFKernel), (Ks{LinearKernel, RBFKernel, UserKernel}));
  EXPECT_EQ(enumFromThenTo(LinearKernel, RBFKernel, PolyKernel), Ks{LinearKernel});
  EXPECT_EQ(enumFromThenTo(UserKernel, SigmoidKernel, PolyKernel),
            (Ks{UserKernel, SigmoidKernel, RBFKernel, PolyKernel}));
  EXPECT_EQ(enumFromThenTo(PolyKernel, RBFKernel, LinearKernel), Ks{});
  EXPECT_EQ(maximum(PolyKernel, RBFKernel), RBFKernel);
  EXPECT_EQ(minimum(UserKernel, PolyKernel), PolyKernel);
  EXPECT_LT(LinearKernel, UserKernel);
}

}  // namespace
}  // namespace kelvor
