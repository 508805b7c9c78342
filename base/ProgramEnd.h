// The end of a program that is not a failure. The help ends the program with
// status 0 wherever the command line asks for it; it unwinds like an
// exception, so that open files are closed on the way, but it derives from
// neither FatalError nor std::exception, so no handler of failures can take
// it for one. runProgram (base/Fatal.h) flushes standard output and gives its
// status as the exit status.
#pragma once

namespace kelvor {

struct ProgramEnd {
  int status;
};

[[noreturn]] inline void endProgram(int status) { throw ProgramEnd{status}; }

}  // namespace kelvor
