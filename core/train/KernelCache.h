// The record of the training kernel cache: the cached entries of the dual
// matrix for one collection under one kernel.
#pragma once

#include <cstdint>

#include "core/examples/ExampleCollection.h"
#include "core/kernels/Kernels.h"
#include "core/train/HalfMatrix.h"

namespace kelvor {

struct KernelCache {
  std::int32_t kernelCacheSize;  // the number of rows the cache was sized for
  HalfMatrix kernelCache;
  KernelFunction kernelInstance;
  Examples kernelExamples;
  double kernelLambda;
};

}  // namespace kelvor
