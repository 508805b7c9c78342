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
void go(const std::vector<std::string>& args);

// Prints the help on standard output and ends the program with status 0.
[[noreturn]] void showHelp();

}  // namespace kelvor
