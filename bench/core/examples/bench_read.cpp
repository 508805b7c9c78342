// Throughput of reading example files: into memory, and indexing on disk
// followed by a walk over every example.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "bench/ExampleFileGen.h"
#include "bench/QuietStreams.h"
#include "core/examples/ExampleFile.h"
#include "core/examples/ExampleHandles.h"

namespace {

using namespace kelvor;
using bench::QuietStreams;

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

// The question-classification data (parse trees and tokens of questions),
// where present; it may not be copied into the repository.
const BenchFile* questionsFile() {
  static const BenchFile* f = []() -> const BenchFile* {
    const char* env = std::getenv("KELVOR_QC_FILE");
    const std::string path = env ? env : "/work/shared/data/qc-HUM-train.dat";
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return nullptr;
    return new BenchFile{path, static_cast<std::int64_t>(st.st_size)};
  }();
  return f;
}


void readIntoMemory(benchmark::State& state, const BenchFile& file) {
  QuietStreams quiet;
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

void BM_ReadExampleFileQuestions(benchmark::State& state) {
  if (questionsFile() == nullptr) {
    state.SkipWithError("no question-classification file (set KELVOR_QC_FILE)");
    return;
  }
  readIntoMemory(state, *questionsFile());
}

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
BENCHMARK(BM_ReadExampleFileQuestions)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_IndexOnDisk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IndexAndWalkOnDisk)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
