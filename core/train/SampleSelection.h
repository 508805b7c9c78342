// Sample selection: training over a working set that starts as a sample of
// the training set and grows in batches.
//
// The seam with the training loop (Train.cpp), in the order the loop uses
// it:
// - initialSample: the set-up with selection on. It takes the place of
//   newKernelCache over the whole training set: draws or takes the initial
//   sample, builds the working set and its cache (newKernelCache), and
//   gives the lagrangians, the cache, eta, the selection state and the
//   starting sample count. The loop then creates G and the momentum
//   arrays at the size of h.
// - selectionDue: the trigger test at the end of every iteration, after
//   the sweep and the report. When it holds, the loop takes a selection
//   step instead of going straight to its stop tests.
// - selectionStep: grows h, G and the momentum arrays (new entries 0.0),
//   the cache (extendKernelCache), the sample count and the selection
//   state, all in the TrainingState, and returns the step-factor
//   candidate when it added examples. The loop then runs its stop tests,
//   continues with the candidate as its eta (the grown block may need a
//   smaller one), and rebuilds whatever it derived from the cache.
//
// The working set only ever grows, and never past the cache's row bound
// (kernelCacheSize): a step adds as many of the examples it keeps as fit,
// and marks, counts, prints and appends exactly those. So the sample
// count, h, G, the momentum arrays and the sample list always have one
// entry per working-set position.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/examples/ExampleCollection.h"
#include "core/kernels/Kernels.h"
#include "core/train/InitialLagrangian.h"
#include "core/train/KernelCacheBuild.h"
#include "core/train/SelectionState.h"
#include "core/train/Train.h"
#include "core/train/TrainingState.h"

namespace kelvor {

struct SelectionStart {
  CacheBuild build;
  SelectionState selection;
  // The size of the working set. The initial sample size as given could
  // exceed the training set; the trigger test, which compares the count
  // with a bound of at most the training-set size, decides the same.
  std::int32_t sampleCount;
};

// Without initial lagrangians: min(initialSampleSize, n) distinct training
// indices drawn at random (a negative size asks for none). The
// process-wide generator is split, and one half stored back, even when
// nothing is drawn. With them: their indices in their order, which must
// number exactly min(initialSampleSize, n); their values go to the
// positions in that order. An index outside 1..n is fatal.
SelectionStart initialSample(const TrainOptions& options, const TrainingKernel& kernel,
                             const Examples& trainingSet,
                             const std::optional<std::vector<InitialLagrangian>>& initial);

// False with selection off, and once the sample count has reached
// min(maxSampleSize, size of the training set); otherwise true at every
// selectionPeriod-th iteration (when the period is positive) and whenever
// the add predicate holds on dh.
bool selectionDue(const TrainOptions& options, const TrainingState& state,
                  std::int32_t trainingSize, std::int64_t t, double dh);

// Prints "+", then "{added <count> examples}". Keeps the batchSize
// unselected examples whose decision values under the current support
// vectors lie closest to zero (KeptList.h), walking the training set in
// index order, and appends as many of them as the cache bound leaves room
// for. The first time in a run that the cache bound leaves room for fewer
// than the step would select, warns on standard error. Returns the
// step-factor candidate of the grown cache (extendKernelCache), nothing
// when no example was added.
std::optional<double> selectionStep(TrainingState& state, const TrainOptions& options,
                                    const KernelFunction& kernel, const Examples& trainingSet);

// Sets the flag of every index, in order; an index outside 1..flags.size()
// is fatal.
void markSelected(std::vector<bool>& flags, std::span<const std::int32_t> indices);

}  // namespace kelvor
