// The string kernel: scores two token sequences by the subsequences they
// share, one term per gram length from 1 up to the gram length, each match
// weighted by powers of the decay lambda. It is not symmetric: the length of
// the second sequence enters the weights, so argument order is part of every
// value.
#pragma once

#include <cstdint>

#include "core/examples/Token.h"

namespace kelvor {

// With the process-wide gram length and lambda (cur_smaxn, cur_slambda),
// which the first call fixes for the rest of the process.
double stringKernel(const TokenSeq& s, const TokenSeq& t);

// The same with explicit parameters. A gram length below 1 gives 0.0.
double stringKernelWith(std::int32_t n, double lambda, const TokenSeq& s, const TokenSeq& t);

}  // namespace kelvor
