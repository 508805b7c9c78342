// The classifier's option cells: written only by the option actions, read
// once by the classification driver when it starts. They live in their own
// namespace because the learner has cells of the same names.
#pragma once

#include <optional>
#include <string>

namespace kelvor::classifier {

// -l: the lambda of the test examples' bias; absent means the model's own.
std::optional<double>& refL();
// -p, --sigmoid: write probabilities instead of decision values.
bool& refSigmoid();
// --bias: the decision value above which an example counts as positive.
double& refBias();
// --pr-graph: the file that receives the precision/recall graph.
std::optional<std::string>& refPRGraph();

}  // namespace kelvor::classifier
