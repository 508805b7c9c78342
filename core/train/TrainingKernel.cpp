#include "core/train/TrainingKernel.h"

#include <string>

#include "base/Fatal.h"

namespace kelvor {

TrainingKernel standardTrainingKernel(KernelType type, std::int32_t d, double g, double s,
                                      double r) {
  const StandardKernel standard{type, d, g, s, r};
  switch (type) {
    case KernelType::LinearKernel:
      return {linearKernel, standard};
    case KernelType::PolyKernel:
      return {
          [d, s, r](const Example& x, const Example& y) { return polynomialKernel(d, s, r, x, y); },
          standard};
    case KernelType::RBFKernel:
      return {[g](const Example& x, const Example& y) { return rbfKernel(g, x, y); }, standard};
    case KernelType::SigmoidKernel:
      return {[s, r](const Example& x, const Example& y) { return sigmoidKernel(s, r, x, y); },
              standard};
    case KernelType::UserKernel:
      break;
  }
  fail("Internal error: no kernel function for kernel type " +
       std::to_string(static_cast<std::int32_t>(type)));
}

}  // namespace kelvor
