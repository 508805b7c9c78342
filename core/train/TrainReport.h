// The two optional outputs of the training loop: the report line on
// standard output and the lagrangian dump.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "base/OutputFile.h"
#include "core/examples/ExampleCollection.h"
#include "core/train/KernelCache.h"
#include "core/train/SelectionState.h"
#include "core/train/TrainingKernel.h"

namespace kelvor {

// "\nIteration t: |sv|=..\tdh=..\t|h|^2=..\ttra=..\ttrp=..\ttrr=..\ttrf=.."
// and, with a test set, "\ttea=..\ttep=..\tter=..\ttef=..", without a final
// line break. The support vectors come from the cache's working set; the
// error rates are over the whole training set, read from the cache where
// they can be (CachedErrors.h) when that set is the working set itself.
void printReportLine(std::int64_t t, double dh, std::span<const double> h, const KernelCache& cache,
                     const ExampleCollection& trainingSet, bool trainingIsWorkingSet,
                     const std::optional<Examples>& testSet, const TrainingKernel& kernel,
                     double lambda);

// "Iteration t", one line "index value" per working-set position (the
// position itself without sample selection, its training index with it),
// an empty line; then flushes, so that the file always ends with a whole
// block.
void writeLagrangianDump(OutputFile& file, std::int64_t t, std::span<const double> h,
                         const SelectionState& selection);

// The same block with the given training index for each position, as far
// as both lists reach.
void writeLagrangianDump(OutputFile& file, std::int64_t t, std::span<const double> h,
                         std::span<const std::int32_t> trainingIndices);

}  // namespace kelvor
