// The kind of kernel a model uses; its number is the learner's -t value and
// what the model file's kernel-type line holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvor {

enum class KernelType : std::int32_t {
  LinearKernel = 0,
  PolyKernel = 1,
  RBFKernel = 2,
  SigmoidKernel = 3,
  UserKernel = 4,
};

// Fatal for a number outside 0..4.
KernelType toEnum(std::int32_t n);
constexpr std::int32_t fromEnum(KernelType k) { return static_cast<std::int32_t>(k); }
std::string_view kernelTypeName(KernelType k);

// Printing: the bare name at any precedence, appended in front of `rest`.
std::string showsPrec(int precedence, KernelType k, std::string rest);
std::string show(KernelType k);
std::string showList(const std::vector<KernelType>& ks, std::string rest);

// Enumeration; succ of the last and pred of the first value are fatal.
KernelType succ(KernelType k);
KernelType pred(KernelType k);
std::vector<KernelType> enumFrom(KernelType a);
std::vector<KernelType> enumFromTo(KernelType a, KernelType b);
std::vector<KernelType> enumFromThen(KernelType a, KernelType b);
std::vector<KernelType> enumFromThenTo(KernelType a, KernelType b, KernelType c);

// Of two equal values, maximum gives the second and minimum the first.
constexpr KernelType maximum(KernelType a, KernelType b) { return a <= b ? b : a; }
constexpr KernelType minimum(KernelType a, KernelType b) { return a <= b ? a : b; }

}  // namespace kelvor
