#include <string>
#include <vector>

#include "base/Fatal.h"
#include "learn/Learn.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return kelvor::runProgram([&] { return kelvor::go(args); });
}
