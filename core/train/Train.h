// Training: optimises the lagrangians of the support vector machine over a
// collection of examples.
//
// Prints "Initializing...", the dots of the kernel-cache fill,
// "\nIterating...", a "." every 100 iterations, a report line every
// reportPeriod iterations and a final line break on standard output. Every
// dumpPeriod iterations, before that iteration's sweep, appends a block of
// the current lagrangians to the dump file and flushes it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "base/Array.h"
#include "base/OutputFile.h"
#include "core/examples/ExampleCollection.h"
#include "core/train/InitialLagrangian.h"
#include "core/train/KernelCache.h"
#include "core/train/SelectionState.h"
#include "core/train/TrainingKernel.h"

namespace kelvor {

// (gram length or depth, lambda) of the string or tree kernel.
struct KernelParamPair {
  std::int32_t n;
  double lambda;
};

struct TrainOptions {
  std::int32_t cacheSize = 40;        // megabytes for the kernel cache; negative is fatal
  double lambda = 2.0;                // its square is added to every kernel value
  double C = 1.0;                     // upper bound of every lagrangian
  std::int32_t maxIterations = 1000;  // negative: no bound; 0 still runs one sweep
  std::function<bool(double)> stopPredicate = [](double) { return false; };  // on dh
  std::int32_t reportPeriod = 0;  // 0 or less: no report lines
  double mu = 0.0;                // momentum is on only when mu > 0.0
  // Written into the kernel-parameter cells before any kernel is evaluated;
  // absent leaves the cells as they are.
  std::optional<KernelParamPair> stringParams;
  std::optional<KernelParamPair> treeParams;
  bool sampleSelection = false;
  std::int32_t initialSampleSize = 32;
  std::int32_t batchSize = 8;         // examples added per selection step
  std::int32_t selectionPeriod = 20;  // a selection step every this many iterations
  std::function<bool(double)> addPredicate = [](double) { return false; };  // on dh
  std::int32_t maxSampleSize = 2147483647;
  std::int32_t dumpPeriod = 0;  // 0 or less: no dump
  // Given the step factor once the kernel cache is built, before
  // "\nIterating..."; not called when empty.
  std::function<void(double)> afterCacheBuild;
};

struct TrainResult {
  // h: the lagrangian of working-set position p at p, n = workingSet size.
  Array<double> lagrangians;
  // The collection h is indexed by: the training set, or with sample
  // selection the final working set.
  Examples workingSet;
  SelectionState selection;
  // train's kernel cache when its working set is the whole training set
  // (no sample selection), for reading the training set's decision values
  // from it (CachedErrors.h); drop it as soon as that is done. Absent
  // otherwise, and from trainOnSample.
  std::optional<KernelCache> cache;
  // The last sweep's largest change when the loop ended because the
  // iterations ran out while that change did not meet the stop predicate;
  // absent when the stop predicate ended it.
  std::optional<double> changeAtIterationLimit;
};

// The dump file is written only when options.dumpPeriod > 0 and must then
// be given; the caller opens and closes it.
TrainResult train(const TrainOptions& options, const TrainingKernel& kernel,
                  const Examples& trainingSet, const std::optional<Examples>& testSet,
                  OutputFile* dumpFile,
                  const std::optional<std::vector<InitialLagrangian>>& initialLagrangians);

// train() with sample selection off over a sample of a larger training
// set, as randomized training runs it: position p of `sample` holds the
// example with training index trainingIndices[p - 1], and the dump blocks
// write that index in place of p. The initial lagrangians are by position.
TrainResult trainOnSample(const TrainOptions& options, const TrainingKernel& kernel,
                          const Examples& sample, std::span<const std::int32_t> trainingIndices,
                          const std::optional<Examples>& testSet, OutputFile* dumpFile,
                          const std::optional<std::vector<InitialLagrangian>>& initialLagrangians);

}  // namespace kelvor
