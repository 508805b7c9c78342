// The precision/recall graph of 1,000,000 values, nearly all distinct: the
// sort and the sweep alone, and the whole graph written to a file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench/QuietStreams.h"
#include "classify/PRGraph.h"
#include "core/examples/Collections.h"

namespace {

constexpr std::size_t kValues = 1'000'000;

struct Sample {
  std::vector<double> values;
  std::vector<std::int8_t> labels;
};

const Sample& sample() {
  static const Sample s = [] {
    Sample s;
    std::mt19937_64 rng(11);
    std::normal_distribution<double> noise(0.0, 1.0);
    for (std::size_t i = 0; i < kValues; ++i) {
      const bool positive = rng() % 3 == 0;
      s.labels.push_back(positive ? 1 : -1);
      s.values.push_back(noise(rng) + (positive ? 1.0 : -1.0));
    }
    return s;
  }();
  return s;
}

void BM_PRGraphSweep(benchmark::State& state) {
  const Sample& s = sample();
  for (auto _ : state) {
    std::size_t bytes = 0;
    kelvor::emitPRGraph(s.values, s.labels, [&](std::string_view line) { bytes += line.size(); });
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kValues));
}
BENCHMARK(BM_PRGraphSweep)->Unit(benchmark::kMillisecond);

// The examples as writePRGraph reads them: one array element per value.
void BM_WritePRGraph(benchmark::State& state) {
  const Sample& s = sample();
  std::vector<kelvor::Element> elems;
  const kelvor::ExamplePtr x = kelvor::mkExample(kelvor::Array<kelvor::RealFeature>());
  for (std::int8_t label : s.labels) elems.push_back({x, static_cast<double>(label)});
  const kelvor::Examples examples = kelvor::mkArrayExamples(kelvor::Array<kelvor::Element>(elems));
  const std::string path = "/tmp/kelvor-bench-prgraph-" + std::to_string(::getpid());
  kelvor::bench::QuietStreams quiet;
  for (auto _ : state) kelvor::writePRGraph(path, examples, s.values);
  std::remove(path.c_str());
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kValues));
}
BENCHMARK(BM_WritePRGraph)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
