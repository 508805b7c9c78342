// Trains on an example file the way the learner does by default with the
// linear kernel (lambda 2.0, C 1, at most 1000 iterations, stop when
// dh < 1e-6, default string and tree parameters), with the -m budget given.
// Prints the iteration count; time and memory come from /usr/bin/time -v.
//
// Usage: train_file example-file megabytes
#include <cstdlib>
#include <iostream>
#include <string>

#include "base/Fatal.h"
#include "core/examples/ExampleFile.h"
#include "core/train/Train.h"

int main(int argc, char** argv) {
  using namespace kelvor;
  return runProgram([&] {
    if (argc != 3) {
      std::cerr << "Usage: train_file example-file megabytes\n";
      return 2;
    }
    const auto [examples, highest] = readExampleFile(argv[1], 2.0);
    (void)highest;
    TrainOptions o;
    o.cacheSize = std::stoi(argv[2]);
    o.lambda = 2.0;
    o.C = 1.0;
    o.maxIterations = 1000;
    std::int64_t iterations = 0;
    o.stopPredicate = [&](double dh) {
      ++iterations;
      return dh < 1e-6;
    };
    o.stringParams = KernelParamPair{1, 0.9};
    o.treeParams = KernelParamPair{4, 0.5};
    const TrainResult r = train(o, standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0),
                                examples, std::nullopt, nullptr, std::nullopt);
    std::size_t svs = 0;
    for (double h : r.lagrangians) svs += h > 0.0;
    std::cout << iterations << " iterations, " << svs << " support vectors\n";
    return 0;
  });
}
