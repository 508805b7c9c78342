// The classification run on the question-classification data (tree and
// string features), when /work/shared/data holds it (or KELVOR_DATA names
// its folder): a linear model over the combined kernel whose support
// vectors are the first training questions, each with a small alpha times
// its target, written as a model file; then doClassification over the 500
// test questions, the program's whole run without its command line.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/QuietStreams.h"
#include "classify/Classification.h"
#include "core/examples/Collections.h"
#include "core/examples/ExampleFile.h"
#include "core/model/ModelFile.h"

namespace {

using namespace kelvor;
using bench::QuietStreams;

constexpr std::int32_t kSupportVectors = 1500;

std::string dataFolder() {
  const char* env = std::getenv("KELVOR_DATA");
  return env ? env : "/work/shared/data";
}

// The model file's path, or empty when the data is not there.
const std::string& modelFile() {
  static const std::string path = [] {
    const std::string train = dataFolder() + "/qc-HUM-train.dat";
    if (!std::filesystem::exists(train)) return std::string();
    QuietStreams quiet;
    const auto [examples, highest] = readExampleFile(train, 2.0);
    std::vector<Element> svs;
    for (const Element& e : examples.collectionElems()) {
      if (static_cast<std::int32_t>(svs.size()) == kSupportVectors) break;
      svs.push_back({e.example, 0.01 * e.value});
    }
    const Examples supportVectors = mkArrayExamples(Array<Element>(std::move(svs)));
    const std::string out = "/tmp/kelvor-bench-qc-HUM-" + std::to_string(::getpid()) + ".model";
    writeModel(out, Model{"Kelvor Version 1.2", KernelType::LinearKernel, 2, 1.0, 1.0, 1.0, "empty",
                          1, 0.9, 4, 0.5, false, 0.0, 0.0, highest, examples.collectionSize(),
                          kSupportVectors, 2.0, supportVectors});
    std::atexit([] { std::remove(modelFile().c_str()); });
    return out;
  }();
  return path;
}

void BM_ClassifyQcHum(benchmark::State& state) {
  if (modelFile().empty()) {
    state.SkipWithError("qc-HUM data not found (set KELVOR_DATA)");
    return;
  }
  const std::string test = dataFolder() + "/qc-HUM-test.dat";
  for (auto _ : state) {
    QuietStreams quiet;
    doClassification(modelFile(), test, std::nullopt);
  }
  // 500 test questions, each against every support vector.
  state.counters["decision_values/s"] = benchmark::Counter(
      500.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["kernel_values/s"] =
      benchmark::Counter(500.0 * kSupportVectors * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ClassifyQcHum)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
