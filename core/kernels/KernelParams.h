// The process-wide parameters of the string and tree kernels. Training and
// the model reader store into the cells; every kernel reads through the
// cur_* readers, each of which keeps the value its cell held at the reader's
// first use for the rest of the process.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "base/ReadOnce.h"

namespace kelvor {

ReadOnceCell<std::int32_t>& tmaxdRef();
ReadOnceCell<double>& tlambdaRef();
ReadOnceCell<std::int32_t>& smaxnRef();
ReadOnceCell<double>& slambdaRef();

std::int32_t cur_tmaxd();
double cur_tlambda();
std::int32_t cur_smaxn();
double cur_slambda();

// Derived from cur_smaxn() at their own first use.
std::int32_t gramLengthMinusOne();
const std::vector<std::int32_t>& gramPositionsFromZero();
const std::vector<std::int32_t>& gramLengths();

// The string-kernel cache: emptied before each classified example. Nothing
// stores into it and no value depends on it.
using StringCacheMap = std::map<std::int32_t, double>;
StringCacheMap& stringCacheFMRef();

// b to the power n as a chain of double products (b*b, (b*b)*b, ...);
// n = 0 gives 1.0 without looking at b, a negative n is fatal. The base is
// passed as a function so that a zero exponent never computes it.
template <class Base>
double intPowerOf(Base&& base, std::int32_t n);
double intPower(double b, std::int32_t n);

[[noreturn]] void failNegativeExponent(std::int32_t n);

template <class Base>
double intPowerOf(Base&& base, std::int32_t n) {
  if (n == 0) return 1.0;
  if (n < 0) failNegativeExponent(n);
  const double b = base();
  double acc = b, sq = b;
  std::int32_t e = n - 1;
  while (true) {
    if (e == 0) return acc;
    while (e % 2 == 0) {
      sq = sq * sq;
      e /= 2;
    }
    acc = sq * acc;
    e -= 1;
  }
}

inline double intPower(double b, std::int32_t n) {
  return intPowerOf([b] { return b; }, n);
}

}  // namespace kelvor
