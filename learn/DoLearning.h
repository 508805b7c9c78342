// The learner's run: read the training (and test) examples, train, print
// the error table, turn a ranking model back onto the input examples, fit
// the sigmoid and write the model file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/InputFile.h"

namespace kelvor {

enum class LearningEnd { ModelWritten, NoSupportVectors };

// Reads every option cell once, then runs the whole training; returns after
// the model is written or after the notice that there are no support
// vectors (the model file is then left as it was). Every failure is fatal;
// a run that fails leaves an existing model file untouched (unless it is
// written in place, see base/ReplacementFile.h). Before anything is read,
// an impossible option value (learn/OptionChecks.h), an output that would
// destroy an input (the model or the dump file that is a training, test or
// restart file, the dump file that is the model file) and an output that
// cannot be written stop the run. Training targets that cannot teach two
// classes are warned about on standard error once they are read (not with
// --rank), and when train's loop ran out of iterations, a warning follows
// "Optimization complete!".
LearningEnd doLearning(const std::string& exampleFile, const std::string& modelFile);

// Opens every piece that holds no comma, in order, each before the next is
// looked at.
std::vector<std::shared_ptr<InputFile>> openExampleFiles(const std::vector<std::string>& pieces);

// The bound of randomized selection iterations when --rand-maxi is 0:
// ceiling((6.0 * delta) * ln n), with a value that is not a number or minus
// infinity (no examples) taken as 0 and values beyond the Int range
// saturated.
std::int32_t randomizedMaximum(std::int32_t delta, std::int32_t n);

}  // namespace kelvor
