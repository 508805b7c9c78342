#include "core/kernels/KernelType.h"

#include <array>

#include "base/Fatal.h"

namespace kelvor {

namespace {

constexpr std::int32_t kLast = 4;

constexpr std::array<std::string_view, 5> kNames = {"LinearKernel", "PolyKernel", "RBFKernel",
                                                    "SigmoidKernel", "UserKernel"};

// The arithmetic sequence first, first + step, ... up to (or down to) limit.
std::vector<KernelType> stepped(std::int32_t first, std::int32_t step, std::int32_t limit,
                                std::string_view operation) {
  // A zero step would never pass its limit; nothing in the system builds one.
  if (step == 0) fail(std::string(operation) + "{KernelType}: step of zero");
  std::vector<KernelType> out;
  for (std::int32_t n = first; step > 0 ? n <= limit : n >= limit; n += step)
    out.push_back(static_cast<KernelType>(n));
  return out;
}

}  // namespace

KernelType toEnum(std::int32_t n) {
  if (n < 0 || n > kLast)
    fail("toEnum{KernelType}: tag (" + std::to_string(n) +
         ") is outside of enumeration's range (0," + std::to_string(kLast) + ")");
  return static_cast<KernelType>(n);
}

std::string_view kernelTypeName(KernelType k) {
  return kNames[static_cast<std::size_t>(fromEnum(k))];
}

std::string showsPrec(int, KernelType k, std::string rest) {
  return std::string(kernelTypeName(k)) + rest;
}

std::string show(KernelType k) { return std::string(kernelTypeName(k)); }

std::string showList(const std::vector<KernelType>& ks, std::string rest) {
  std::string out = "[";
  for (std::size_t i = 0; i < ks.size(); ++i) {
    if (i > 0) out += ',';
    out += kernelTypeName(ks[i]);
  }
  out += ']';
  return out + rest;
}

KernelType succ(KernelType k) {
  if (fromEnum(k) == kLast) fail("Prelude.Enum.KernelType.succ: bad argument");
  return static_cast<KernelType>(fromEnum(k) + 1);
}

KernelType pred(KernelType k) {
  if (fromEnum(k) == 0) fail("Prelude.Enum.KernelType.pred: bad argument");
  return static_cast<KernelType>(fromEnum(k) - 1);
}

std::vector<KernelType> enumFrom(KernelType a) {
  return stepped(fromEnum(a), 1, kLast, "enumFrom");
}

std::vector<KernelType> enumFromTo(KernelType a, KernelType b) {
  return stepped(fromEnum(a), 1, fromEnum(b), "enumFromTo");
}

std::vector<KernelType> enumFromThen(KernelType a, KernelType b) {
  const std::int32_t step = fromEnum(b) - fromEnum(a);
  return stepped(fromEnum(a), step, step >= 0 ? kLast : 0, "enumFromThen");
}

std::vector<KernelType> enumFromThenTo(KernelType a, KernelType b, KernelType c) {
  return stepped(fromEnum(a), fromEnum(b) - fromEnum(a), fromEnum(c), "enumFromThenTo");
}

}  // namespace kelvor
