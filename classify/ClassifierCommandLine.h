// The classifier's command line: two or three file names (model, examples,
// optional output) and five options, parsed and laid out in the help like
// the learner's.
#pragma once

#include <string>
#include <vector>

#include "learn/OptionParser.h"

namespace kelvor::classifier {

// In help order.
const std::vector<OptDescr>& options();

// Prints the help and ends the program with `status`: 0 when the help was
// asked for, kUsageError after a bad command line.
[[noreturn]] void showHelp(int status);

// Runs the command line (the arguments without the program name): the help
// for no arguments, option errors or a wrong number of file names (status
// kUsageError); else the option actions in command-line order, then the
// classification.
void go(const std::vector<std::string>& args);

}  // namespace kelvor::classifier
