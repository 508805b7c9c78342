#include "core/train/SampleSelection.h"

#include <algorithm>

#include "base/Fatal.h"

namespace kelvor {

namespace {
[[noreturn]] void failNotBuilt() {
  fail("Sample selection (--ss) is not available in this version of Kelvor");
}
}  // namespace

SelectionStart initialSample(const TrainOptions&, const KernelFunction&, const Examples&,
                             const std::optional<std::vector<InitialLagrangian>>&) {
  failNotBuilt();
}

bool selectionDue(const TrainOptions& options, const TrainingState& state,
                  std::int32_t trainingSize, std::int64_t t, double dh) {
  if (!options.sampleSelection) return false;
  if (state.sampleCount >= std::min(options.maxSampleSize, trainingSize)) return false;
  if (options.selectionPeriod > 0 && t % options.selectionPeriod == 0) return true;
  return options.addPredicate(dh);
}

double selectionStep(TrainingState&, const TrainOptions&, const KernelFunction&, const Examples&) {
  failNotBuilt();
}

}  // namespace kelvor
