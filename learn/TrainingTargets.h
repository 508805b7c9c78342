// What the targets of a training set say about the model it can teach.
#pragma once

#include "core/examples/ExampleCollection.h"

namespace kelvor {

// Warns on standard error, in this order, when examples have the target 0
// (they take no part in training), when no target is below 0 and when none
// is above 0 (the model learns one class). A target that is not a number is
// none of these. Nothing for a set without examples. Reads every target
// once, in one walk; on-disk examples convert their target alone.
void warnAboutTargets(const ExampleCollection& examples);

}  // namespace kelvor
