// The option values no run can use, refused before anything is read, so
// that a mistyped value costs no reading and no training time.
#pragma once

#include "learn/LearnOptions.h"

namespace kelvor {

// Stops the program at the first value found impossible: a negative C, a
// kernel type other than 0 to 3 (the user kernel cannot be trained), a
// negative lambda, and a negative value of an option that counts, sizes or
// weighs something (-d, -g, the ranking margin, the string and tree kernel
// parameters, the dump and restart iterations, the sample selection and
// randomized training options). -i, -v, -h and --ss-h give a negative value
// a meaning and are not looked at.
void refuseImpossibleValues(const LearnCells& o);

}  // namespace kelvor
