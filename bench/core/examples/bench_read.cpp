// Throughput of reading example files: into memory, and indexing on disk
// followed by a walk over every example.
#include <benchmark/benchmark.h>

#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "bench/ExampleFileGen.h"
#include "bench/QuietStdout.h"
#include "core/examples/ExampleFile.h"
#include "core/examples/ExampleHandles.h"

namespace {

using namespace kelvor;
using bench::QuietStdout;

struct BenchFile {
  std::string path;
  std::int64_t size;
};

BenchFile makeFile(const std::string& path, const bench::ExampleFileShape& shape) {
  return {path, bench::writeExampleFile(path, shape)};
}

const BenchFile& realFile() {
  static const BenchFile f = makeFile("/tmp/kelvor_bench_real.txt", bench::kRealFile);
  return f;
}

const BenchFile& mixedFile() {
  static const BenchFile f = makeFile("/tmp/kelvor_bench_mixed.txt", bench::kMixedFile);
  return f;
}

void readIntoMemory(benchmark::State& state, const BenchFile& file) {
  QuietStdout quiet;
  for (auto _ : state) {
    auto [examples, highest] = readExampleFile(file.path, 2.0);
    benchmark::DoNotOptimize(highest);
    state.PauseTiming();  // freeing a million examples is not reading
    { auto drop = std::move(examples); }
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * file.size);
}

void BM_ReadExampleFileReal(benchmark::State& state) { readIntoMemory(state, realFile()); }
void BM_ReadExampleFileMixed(benchmark::State& state) { readIntoMemory(state, mixedFile()); }

void BM_IndexOnDisk(benchmark::State& state) {
  const BenchFile& file = realFile();
  for (auto _ : state) {
    auto handle = std::make_shared<InputFile>(InputFile::open(file.path));
    auto [examples, highest] = readExampleHandle(2.0, handle);
    benchmark::DoNotOptimize(highest);
  }
  state.SetBytesProcessed(state.iterations() * file.size);
}

// Indexing and then one pass over every example, as a training sweep does.
void BM_IndexAndWalkOnDisk(benchmark::State& state) {
  const BenchFile& file = realFile();
  for (auto _ : state) {
    auto handle = std::make_shared<InputFile>(InputFile::open(file.path));
    auto [examples, highest] = readExampleHandle(2.0, handle);
    std::size_t features = 0;
    for (const Element& e : examples.collectionElems()) features += e.example->vectorReal().size();
    benchmark::DoNotOptimize(features);
  }
  state.SetBytesProcessed(state.iterations() * file.size);
}

BENCHMARK(BM_ReadExampleFileReal)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadExampleFileMixed)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IndexOnDisk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IndexAndWalkOnDisk)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
