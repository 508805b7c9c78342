// Reads a generated example file into memory and exits, printing the bytes
// the parsed examples occupy beside the process's peak resident size. Run
// it under `/usr/bin/time -v` for an outside measure of the peak.
//
//   bench_read_memory [path]   (default /tmp/kelvor_bench_real.txt, made
//                               first when it does not exist)
#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>

#include "bench/ExampleFileGen.h"
#include "core/examples/Collections.h"
#include "core/examples/ExampleFile.h"

namespace {

using namespace kelvor;

// Heap bytes of one example: the example and its share of make_shared's
// control block, and the storage of its feature arrays.
std::int64_t exampleBytes(const Example& e) {
  std::int64_t bytes = sizeof(Example) + 2 * sizeof(long);
  bytes += static_cast<std::int64_t>(e.vectorReal().vector().capacity() * sizeof(RealFeature));
  bytes += static_cast<std::int64_t>(e.vectorString().vector().capacity() * sizeof(StringFeature));
  for (const StringFeature& s : e.vectorString())
    bytes += static_cast<std::int64_t>(2 * s.tokens.size() * sizeof(TokenId));
  bytes += static_cast<std::int64_t>(e.vectorTree().vector().capacity() * sizeof(TreeFeature));
  return bytes;
}

std::int64_t peakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      std::int64_t kb = 0;
      status >> kb;
      return kb;
    }
    status.ignore(1 << 10, '\n');
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "/tmp/kelvor_bench_real.txt";
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) bench::writeExampleFile(path, bench::kRealFile);
  const std::int64_t before = peakResidentKb();
  auto [examples, highest] = readExampleFile(path, 2.0);
  std::int64_t bytes = 0;
  const auto& slots = dynamic_cast<const ArrayCollection&>(*examples.collection()).array();
  bytes += static_cast<std::int64_t>(slots.vector().capacity() * sizeof(Element));
  for (const Element& e : slots) bytes += exampleBytes(*e.example);
  const std::int64_t peak = peakResidentKb();
  std::cout << "\nexamples: " << examples.collectionSize() << ", highest feature: " << highest
            << "\nparsed examples: " << bytes / 1024 << " kB"
            << "\npeak resident before reading: " << before << " kB"
            << "\npeak resident: " << peak << " kB"
            << "\npeak / parsed examples: " << static_cast<double>(peak) * 1024 / bytes << "\n";
  return 0;
}
