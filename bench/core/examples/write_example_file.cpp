// Writes a generated example file (real features with ascending indices,
// each index 1 to max-gap above the one before, targets +1 or -1 at random
// or, with "rule", by a hidden rule with some noise) for timing the
// programs with /usr/bin/time -v. The same arguments always give the same
// file.
//
// Usage: write_example_file path lines real-features max-gap seed [rule]
#include <iostream>
#include <string>

#include "base/Fatal.h"
#include "bench/ExampleFileGen.h"

int main(int argc, char** argv) {
  using namespace kelvor;
  return runProgram([&] {
    if (argc != 6 && !(argc == 7 && std::string(argv[6]) == "rule")) {
      std::cerr << "Usage: write_example_file path lines real-features max-gap seed [rule]\n";
      return 2;
    }
    bench::ExampleFileShape shape{std::stoi(argv[2]), std::stoi(argv[3]), false};
    shape.maxGap = std::stoi(argv[4]);
    shape.seed = static_cast<std::uint32_t>(std::stoul(argv[5]));
    shape.ruleTargets = argc == 7;
    std::cout << bench::writeExampleFile(argv[1], shape) << " bytes\n";
    return 0;
  });
}
