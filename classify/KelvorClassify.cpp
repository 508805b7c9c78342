#include <csignal>
#include <string>
#include <vector>

#include "base/Fatal.h"
#include "classify/ClassifierCommandLine.h"

int main(int argc, char** argv) {
  // An output file that is a pipe whose reader has gone must fail like any
  // other write, naming the file, rather than end the program silently.
  std::signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return kelvor::runProgram([&] {
    kelvor::classifier::go(args);
    return 0;
  });
}
