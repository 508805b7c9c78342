#include "core/train/TrainReport.h"

#include <algorithm>
#include <string>

#include "base/Console.h"
#include "base/NumberText.h"
#include "core/classification/Classify.h"
#include "core/examples/Collections.h"

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

}  // namespace

void printReportLine(std::int64_t t, double dh, std::span<const double> h,
                     const ExampleCollection& workingSet, const ExampleCollection& trainingSet,
                     const std::optional<Examples>& testSet, const KernelFunction& kernel,
                     double lambda) {
  const Examples svs = getSupportVectors(workingSet, static_cast<std::int32_t>(h.size()), h);
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
              computeError(kernel, lambda, svs, trainingSet, 0.0, nullptr, std::nullopt).first);
  if (testSet)
    appendRates(line, "te",
                computeError(kernel, lambda, svs, *testSet, 0.0, nullptr, std::nullopt).first);
  printOut(line);
}

void writeLagrangianDump(OutputFile& file, std::int64_t t, std::span<const double> h,
                         const SelectionState& selection) {
  std::string block = "Iteration ";
  appendInt(block, t);
  block += '\n';
  const auto line = [&](std::int64_t index, double value) {
    appendInt(block, index);
    block += ' ';
    appendDouble(block, value);
    block += '\n';
  };
  if (selection.isOn()) {
    const auto& sample = selection.ssSelected().sample;
    const std::size_t n = std::min(sample.size(), h.size());
    for (std::size_t p = 0; p < n; ++p) line(sample[p], h[p]);
  } else {
    for (std::size_t p = 0; p < h.size(); ++p) line(static_cast<std::int64_t>(p + 1), h[p]);
  }
  block += '\n';
  file.write(block);
  file.flush();
}

}  // namespace kelvor
