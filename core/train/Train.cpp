#include "core/train/Train.h"

#include <algorithm>
#include <span>
#include <utility>

#include "base/Console.h"
#include "base/Fatal.h"
#include "core/kernels/KernelParams.h"
#include "core/train/Gradient.h"
#include "core/train/KernelCacheBuild.h"
#include "core/train/SampleSelection.h"
#include "core/train/Sweep.h"
#include "core/train/TrainReport.h"
#include "core/train/TrainingState.h"

namespace kelvor {

namespace {

TrainingState startState(const TrainOptions& options, const TrainingKernel& kernel,
                         const Examples& trainingSet,
                         const std::optional<std::vector<InitialLagrangian>>& initial) {
  if (options.sampleSelection) {
    SelectionStart start = initialSample(options, kernel, trainingSet, initial);
    return TrainingState{std::move(start.build.cache),
                         std::move(start.build.h),
                         {},
                         std::nullopt,
                         StepFactor(start.build.eta),
                         start.sampleCount,
                         std::move(start.selection)};
  }
  const std::span<const InitialLagrangian> pairs =
      initial ? std::span<const InitialLagrangian>(*initial) : std::span<const InitialLagrangian>();
  CacheBuild build =
      newKernelCache(options.cacheSize, kernel, options.lambda, trainingSet, pairs);
  return TrainingState{std::move(build.cache),
                       std::move(build.h),
                       {},
                       std::nullopt,
                       StepFactor(build.eta),
                       options.initialSampleSize,
                       SelectionState::off()};
}

// dumpIndices, when given, name the positions in the dump blocks.
TrainResult runTraining(const TrainOptions& options, const TrainingKernel& kernel,
                        const Examples& trainingSet, const std::optional<Examples>& testSet,
                        OutputFile* dumpFile,
                        const std::optional<std::vector<InitialLagrangian>>& initialLagrangians,
                        std::optional<std::span<const std::int32_t>> dumpIndices) {
  const std::int32_t v = options.reportPeriod;
  const std::int32_t k = options.dumpPeriod;
  if (k > 0 && !dumpFile) fail("Internal error: lagrangian dumps asked for without a dump file");
  printOut("Initializing...");
  // Before any kernel runs: the kernels fix these cells at their first use.
  if (options.stringParams) {
    smaxnRef().store(options.stringParams->n);
    slambdaRef().store(options.stringParams->lambda);
  }
  if (options.treeParams) {
    tmaxdRef().store(options.treeParams->n);
    tlambdaRef().store(options.treeParams->lambda);
  }
  TrainingState state = startState(options, kernel, trainingSet, initialLagrangians);
  if (options.afterCacheBuild) options.afterCacheBuild(state.stepFactor.eta());
  printOut("\nIterating...");
  state.G.assign(state.h.size(), 0.0);
  if (options.mu > 0.0)
    state.momentum = Momentum{std::vector<double>(state.h.size(), 0.0),
                              std::vector<double>(state.h.size(), 0.0), options.mu};

  const std::int32_t trainingSize = trainingSet.collectionSize();
  std::optional<GradientWalk> walk(std::in_place, state.cache, kernel.standard);
  std::optional<double> changeAtLimit;
  for (std::int64_t t = 1;; ++t) {
    if (t % 100 == 0) printOut(".");
    if (k > 0 && t % k == 0) {
      if (dumpIndices)
        writeLagrangianDump(*dumpFile, t, state.h, *dumpIndices);
      else
        writeLagrangianDump(*dumpFile, t, state.h, state.selection);
    }
    walk->product(state.h, state.G);
    state.stepFactor.afterProduct(state.h, state.G);
    const double eta = state.stepFactor.eta();
    double dh;
    if (Momentum* m = state.momentum ? &*state.momentum : nullptr) {
      // P := the steps of the sweep before, S := 0, without allocating
      // (but once after the working set grew).
      std::swap(m->steps, m->previous);
      m->steps.assign(m->previous.size(), 0.0);
      const MomentumTerm term{m->steps, m->previous, m->mu};
      dh = sweep(state.h, state.G, options.C, eta, &term);
    } else {
      dh = sweep(state.h, state.G, options.C, eta, nullptr);
    }
    if (v > 0 && t % v == 0)
      printReportLine(t, dh, state.h, state.cache, trainingSet, !options.sampleSelection, testSet,
                      kernel, options.lambda);

    if (selectionDue(options, state, trainingSize, t, dh)) {
      // A step that added nothing kept the cache, and the walk's findings
      // about it still hold.
      if (const std::optional<double> candidate =
              selectionStep(state, options, kernel.function, trainingSet)) {
        state.stepFactor.replace(*candidate);
        walk.emplace(state.cache, kernel.standard);
      }
    }
    if (options.stopPredicate(dh)) break;
    if (options.maxIterations >= 0 && t + 1 > options.maxIterations) {
      changeAtLimit = dh;
      break;
    }
  }
  printOut("\n");
  walk.reset();
  Examples workingSet = state.cache.kernelExamples;
  std::optional<KernelCache> cache;
  if (!options.sampleSelection) cache = std::move(state.cache);
  return TrainResult{Array<double>(std::move(state.h)), std::move(workingSet),
                     std::move(state.selection), std::move(cache), changeAtLimit};
}

}  // namespace

TrainResult train(const TrainOptions& options, const TrainingKernel& kernel,
                  const Examples& trainingSet, const std::optional<Examples>& testSet,
                  OutputFile* dumpFile,
                  const std::optional<std::vector<InitialLagrangian>>& initialLagrangians) {
  return runTraining(options, kernel, trainingSet, testSet, dumpFile, initialLagrangians,
                     std::nullopt);
}

TrainResult trainOnSample(const TrainOptions& options, const TrainingKernel& kernel,
                          const Examples& sample, std::span<const std::int32_t> trainingIndices,
                          const std::optional<Examples>& testSet, OutputFile* dumpFile,
                          const std::optional<std::vector<InitialLagrangian>>& initialLagrangians) {
  if (options.sampleSelection)
    fail("Internal error: training on a sample with sample selection turned on");
  TrainResult result =
      runTraining(options, kernel, sample, testSet, dumpFile, initialLagrangians, trainingIndices);
  result.cache.reset();
  return result;
}

}  // namespace kelvor
