// The kernel of a training run. Training needs the function; for the four
// standard kernels it also knows their kind and parameters, from which it
// can tell in advance that no dual-matrix entry can be infinite or NaN, and
// so skip entries that cannot change the gradient.
#pragma once

#include <cstdint>
#include <optional>

#include "core/kernels/KernelType.h"
#include "core/kernels/Kernels.h"
#include "core/kernels/StandardKernel.h"

namespace kelvor {

struct TrainingKernel {
  KernelFunction function;
  // Set only when `function` is the standard kernel it describes.
  std::optional<StandardKernel> standard;
};

// The standard kernel bound to its parameters; the parameters a kind does
// not use are ignored. UserKernel has no function of its own: fatal.
TrainingKernel standardTrainingKernel(KernelType type, std::int32_t d, double g, double s,
                                      double r);

// Any other kernel function: every entry is computed, nothing is assumed.
inline TrainingKernel customTrainingKernel(KernelFunction function) {
  return TrainingKernel{std::move(function), std::nullopt};
}

}  // namespace kelvor
