#include "core/kernels/KernelParams.h"

#include <string>

#include "base/Fatal.h"

namespace kelvor {

ReadOnceCell<std::int32_t>& tmaxdRef() {
  static ReadOnceCell<std::int32_t> cell(4);
  return cell;
}
ReadOnceCell<double>& tlambdaRef() {
  static ReadOnceCell<double> cell(0.5);
  return cell;
}
ReadOnceCell<std::int32_t>& smaxnRef() {
  static ReadOnceCell<std::int32_t> cell(1);
  return cell;
}
ReadOnceCell<double>& slambdaRef() {
  static ReadOnceCell<double> cell(0.9);
  return cell;
}

std::int32_t cur_tmaxd() { return tmaxdRef().read(); }
double cur_tlambda() { return tlambdaRef().read(); }
std::int32_t cur_smaxn() { return smaxnRef().read(); }
double cur_slambda() { return slambdaRef().read(); }

std::int32_t gramLengthMinusOne() {
  static const std::int32_t value =
      static_cast<std::int32_t>(static_cast<std::int64_t>(cur_smaxn()) - 1);
  return value;
}

namespace {
// 64-bit bounds: the gram length may be any Int, and n - 1 must not wrap.
std::vector<std::int32_t> ascending(std::int64_t from, std::int64_t to) {
  std::vector<std::int32_t> out;
  for (std::int64_t i = from; i <= to; ++i) out.push_back(static_cast<std::int32_t>(i));
  return out;
}
}  // namespace

const std::vector<std::int32_t>& gramPositionsFromZero() {
  static const std::vector<std::int32_t> value = ascending(0, std::int64_t{cur_smaxn()} - 1);
  return value;
}

const std::vector<std::int32_t>& gramLengths() {
  static const std::vector<std::int32_t> value = ascending(1, cur_smaxn());
  return value;
}

StringCacheMap& stringCacheFMRef() {
  static StringCacheMap map;
  return map;
}

void failNegativeExponent(std::int32_t n) {
  fail("Negative exponent " + std::to_string(n) + " in a power (a negative polynomial degree)");
}

}  // namespace kelvor
