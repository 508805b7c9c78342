// One of the four standard kernels with its parameters: what a kernel
// function is, where code needs to know more than that it is a function.
#pragma once

#include <cstdint>

#include "core/kernels/KernelType.h"

namespace kelvor {

struct StandardKernel {
  KernelType type;  // LinearKernel, PolyKernel, RBFKernel or SigmoidKernel
  std::int32_t d;   // degree (polynomial)
  double g;         // gamma (radial basis)
  double s;         // scale (polynomial, sigmoid)
  double r;         // offset (polynomial, sigmoid)
};

}  // namespace kelvor
