// Restores the kernel-parameter cells' contents after a test that stores
// into them, so that tests run in one process do not see each other's values.
#pragma once

#include "core/kernels/KernelParams.h"

namespace kelvor::testing {

struct KernelCellGuard {
  ~KernelCellGuard() {
    smaxnRef().store(1);
    slambdaRef().store(0.9);
    tmaxdRef().store(4);
    tlambdaRef().store(0.5);
  }
};

}  // namespace kelvor::testing
