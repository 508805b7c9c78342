#include <string>
#include <vector>

#include "base/Fatal.h"
#include "classify/ClassifierCommandLine.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return kelvor::runProgram([&] {
    kelvor::classifier::go(args);
    return 0;
  });
}
