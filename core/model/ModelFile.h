// The model file: eleven header lines (a signature, then ten values each
// followed by a comment naming it) and one line per support vector, led by
// alpha times its target.
#pragma once

#include <functional>
#include <string>

#include "core/kernels/KernelType.h"
#include "core/model/Model.h"

namespace kelvor {

// Writes the whole file or nothing: the previous file at `path` stays as it
// was unless every line was written and synced. A target that cannot be
// replaced so (a device, a FIFO, a file in a directory the process may not
// write) is written in place; see base/ReplacementFile.h.
void writeModel(const std::string& path, const Model& model);

// The bias of every support vector read back derives from the stored lambda
// (thresholdB) and the caller's lambda, which the rule gives for the model's
// kernel type and its stored lambda.
//
// The number of support-vector lines must be the one the header states
// (line 10, the number plus 1): a file that holds fewer or more is cut
// short or damaged, and reading it stops with a message naming the file.
using LambdaRule = std::function<double(KernelType, double storedLambda)>;
Model readModel(const LambdaRule& lambdaRule, const std::string& path);

// The user-kernel text of line 7: the parameters that differ from their
// defaults and the sigmoid, or "empty".
std::string userKernelText(const Model& model);

}  // namespace kelvor
