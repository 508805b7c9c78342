#include "core/train/TrainReport.h"

#include <algorithm>
#include <string>

#include "base/Console.h"
#include "base/NumberText.h"
#include "core/classification/Classify.h"
#include "core/examples/Collections.h"
#include "core/train/CachedErrors.h"

namespace kelvor {

namespace {

void appendRates(std::string& out, const char* prefix, const ErrorRates& r) {
  const char* names[] = {"a=", "p=", "r=", "f="};
  const double values[] = {r.accuracy, r.precision, r.recall, r.fscore};
  for (int k = 0; k < 4; ++k) {
    out += '\t';
    out += prefix;
    out += names[k];
    appendDouble(out, values[k]);
  }
}

// index(p) gives the index written for 0-based position p.
template <class Index>
void writeBlock(OutputFile& file, std::int64_t t, std::span<const double> h, std::size_t n,
                Index&& index) {
  std::string block = "Iteration ";
  appendInt(block, t);
  block += '\n';
  for (std::size_t p = 0; p < n; ++p) {
    appendInt(block, index(p));
    block += ' ';
    appendDouble(block, h[p]);
    block += '\n';
  }
  block += '\n';
  file.write(block);
  file.flush();
}

}  // namespace

void printReportLine(std::int64_t t, double dh, std::span<const double> h, const KernelCache& cache,
                     const ExampleCollection& trainingSet, bool trainingIsWorkingSet,
                     const std::optional<Examples>& testSet, const TrainingKernel& kernel,
                     double lambda) {
  const Examples svs =
      getSupportVectors(cache.kernelExamples, static_cast<std::int32_t>(h.size()), h);
  std::string line = "\nIteration ";
  appendInt(line, t);
  line += ": |sv|=";
  appendInt(line, svs.collectionSize());
  // Out before the error rates are worked out, which takes a while.
  printOut(line);

  double squares = 0.0;
  for (double v : h) squares = squares + v * v;
  line = "\tdh=";
  appendDouble(line, dh);
  line += "\t|h|^2=";
  appendDouble(line, squares);
  appendRates(line, "tr",
              trainingIsWorkingSet ? workingSetErrors(cache, kernel.standard, h, svs).first
                                   : computeError(kernel.function, lambda, svs, trainingSet, 0.0,
                                                  nullptr, std::nullopt, kernel.standard)
                                         .first);
  if (testSet)
    appendRates(line, "te",
                computeError(kernel.function, lambda, svs, *testSet, 0.0, nullptr, std::nullopt,
                             kernel.standard)
                    .first);
  printOut(line);
}

void writeLagrangianDump(OutputFile& file, std::int64_t t, std::span<const double> h,
                         std::span<const std::int32_t> trainingIndices) {
  writeBlock(file, t, h, std::min(trainingIndices.size(), h.size()),
             [&](std::size_t p) { return static_cast<std::int64_t>(trainingIndices[p]); });
}

void writeLagrangianDump(OutputFile& file, std::int64_t t, std::span<const double> h,
                         const SelectionState& selection) {
  if (selection.isOn())
    writeLagrangianDump(file, t, h, selection.ssSelected().sample);
  else
    writeBlock(file, t, h, h.size(),
               [](std::size_t p) { return static_cast<std::int64_t>(p + 1); });
}

}  // namespace kelvor
