// Progress and report output of the programs. Both streams behave as
// unbuffered: every piece is on its way to the terminal before the next
// step starts, so a fatal error never loses what was printed before it.
//
// Standard output carries results (the error table is the classifier's
// only result without an output file), so a write to it that fails (a full
// disk, a closed pipe) stops the program: "Error writing standard output:
// <reason>". Standard error is where failures are reported; a failure to
// write there has nowhere to go and is ignored.
#pragma once

#include <string_view>

namespace kelvor {

void printOut(std::string_view text);
void printErr(std::string_view text);

// "Warning: <text>" and a line break on standard error, on a line of its
// own: after progress marks that printErr left mid-line ("./."), a line
// break comes first.
void printWarning(std::string_view text);

// Flushes whatever went to standard output through the C and C++ streams
// rather than printOut, and stops the program if any of it was lost. The
// programs call it at their end (see runProgram).
void finishStandardOutput();

}  // namespace kelvor
