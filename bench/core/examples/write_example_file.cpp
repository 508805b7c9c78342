// Writes a generated example file (real features with ascending indices,
// each index 1 to max-gap above the one before, targets +1 or -1) for
// timing the programs with /usr/bin/time -v. The same arguments always give
// the same file.
//
// Usage: write_example_file path lines real-features max-gap seed
#include <iostream>
#include <string>

#include "base/Fatal.h"
#include "bench/ExampleFileGen.h"

int main(int argc, char** argv) {
  using namespace kelvor;
  return runProgram([&] {
    if (argc != 6) {
      std::cerr << "Usage: write_example_file path lines real-features max-gap seed\n";
      return 2;
    }
    bench::ExampleFileShape shape{std::stoi(argv[2]), std::stoi(argv[3]), false};
    shape.maxGap = std::stoi(argv[4]);
    shape.seed = static_cast<std::uint32_t>(std::stoul(argv[5]));
    std::cout << bench::writeExampleFile(argv[1], shape) << " bytes\n";
    return 0;
  });
}
