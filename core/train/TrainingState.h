// The state the training loop carries from one iteration to the next; the
// sample-selection step (SampleSelection.h) grows it in place.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/train/KernelCache.h"
#include "core/train/SelectionState.h"
#include "core/train/StepFactor.h"

namespace kelvor {

struct Momentum {
  std::vector<double> steps;  // the steps of the latest sweep
  // The sweep before's steps: scratch that the loop refills from `steps`
  // every iteration, so growing the working set grows `steps` alone.
  std::vector<double> previous;
  double mu;
};

// Every array has one entry per working-set position, position p at p - 1.
struct TrainingState {
  KernelCache cache;  // its kernelExamples is the working set
  std::vector<double> h;
  std::vector<double> G;
  std::optional<Momentum> momentum;
  StepFactor stepFactor;
  std::int32_t sampleCount;
  SelectionState selection;
  // Whether a selection step has said that the cache's rows held it back.
  bool selectionHeldSaid = false;
};

}  // namespace kelvor
