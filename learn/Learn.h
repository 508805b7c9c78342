// The learner's command line: the dispatch of its arguments, the mode that
// reads the whole command line from standard input, and the help.
#pragma once

#include <string>
#include <vector>

namespace kelvor {

// No arguments give the help; the single argument "stdin" takes the words of
// standard input as the arguments; otherwise the options are parsed, and,
// when they are good and exactly two file names remain, their actions run
// in order and doLearning trains on the first file and writes the second.
// Gives the exit status: 0 when the model was written, 1 when training
// found no support vectors. A command line that ends in the help for want
// of good options or file names ends the program with kUsageError.
int go(const std::vector<std::string>& args);

// Prints the help on standard output and ends the program with `status`:
// 0 when the help was asked for, kUsageError after a bad command line.
[[noreturn]] void showHelp(int status);

}  // namespace kelvor
