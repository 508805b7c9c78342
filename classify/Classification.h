// The classifier's run: read the model, index the test examples on disk,
// write one value per example, print the error rates and, when asked,
// write the precision/recall graph.
#pragma once

#include <optional>
#include <string>

#include "core/kernels/Kernels.h"
#include "core/model/Model.h"

namespace kelvor {

// The lambda given with -l, whatever the model; else the one the model was
// trained with, which the learner stores as its threshold value. With any
// other the bias features of the test examples and of the support vectors
// differ, and every kernel but the linear one gives other values.
double lambdaForModel(std::optional<double> givenLambda, double storedLambda);

// The kernel function of the model's kernel type with its parameters. The
// user kernel has none: its function fails "unknown kernel type!" when it
// is first applied, so a model without support vectors, or a test file
// without examples, classifies without it. A failure that a header value
// of the model causes names its line in `modelFile`.
KernelFunction modelKernel(const Model& model, const std::string& modelFile);

// Reads the option cells once, then runs: model, test examples, output
// file (when named), classification, the error table (or the ranking
// notice), the graph (when --pr-graph named a file). The output and the
// graph file replace what was there only once complete
// (base/ReplacementFile.h), so a failed run leaves both as they were.
void doClassification(const std::string& modelFile, const std::string& exampleFile,
                      const std::optional<std::string>& outputFile);

}  // namespace kelvor
