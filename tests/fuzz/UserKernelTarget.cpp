// The user-kernel parameter line of model files on any text, with the
// deferred conversions of the values it stores.
#include "base/LineLocation.h"
#include "core/kernels/KernelParams.h"
#include "core/kernels/UserKernel.h"
#include "tests/core/KernelCellGuard.h"
#include "tests/fuzz/FuzzTargets.h"

namespace kelvor::fuzz {

void fuzzUserKernelLine(std::string_view input) {
  testing::KernelCellGuard cells;
  endsNormally([&] { parseUserKernelLine(input, FileLine{"fuzz.model", 7}); });
  // What the cells' readers would take at their first use.
  endsNormally([] { smaxnRef().content(); });
  endsNormally([] { slambdaRef().content(); });
  endsNormally([] { tmaxdRef().content(); });
  endsNormally([] { tlambdaRef().content(); });
  // The bracketed forms never fail; they only find no reading.
  readParamPair(input);
  readTwoParamPairs(input);
}

}  // namespace kelvor::fuzz
