// Ranking pairs over 100,000 examples in query runs of 10 to 200 with
// relevance targets 0..4: building the pair collection (both passes), its
// memory per pair, and the cost of one pair example fetched from the
// low-memory collection (built anew at every fetch) against the high-memory
// one (built once, then kept).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "base/OutputFile.h"
#include "bench/ExampleFileGen.h"
#include "bench/QuietStreams.h"
#include "core/examples/ExampleFile.h"
#include "core/examples/ExampleHandles.h"
#include "core/train/RankingPairs.h"

namespace {

using namespace kelvor;

constexpr std::int32_t kExamples = 100'000;
constexpr int kFeatures = 20;
const std::string kPath = "/tmp/kelvor_bench_ranking.txt";

void writeRankingFile() {
  std::mt19937 rng(20240612);
  std::uniform_int_distribution<int> runLength(10, 200), relevance(0, 4);
  OutputFile file = OutputFile::create(kPath);
  std::string line;
  for (std::int32_t i = 0, qid = 1; i < kExamples; ++qid) {
    for (int r = runLength(rng); r > 0 && i < kExamples; --r, ++i) {
      line = std::to_string(relevance(rng)) + " qid:" + std::to_string(qid);
      bench::appendRealFeatures(line, rng, kFeatures, 40);
      line += '\n';
      file.write(line);
    }
  }
  file.close();
}

using bench::QuietStreams;

const Examples& inMemory() {
  static const Examples examples = [] {
    writeRankingFile();
    QuietStreams quiet;
    return readExampleFile(kPath, 2.0).first;
  }();
  return examples;
}

const Examples& onDisk() {
  static const Examples examples = [] {
    inMemory();  // writes the file
    return readExampleHandle(2.0, std::make_shared<InputFile>(InputFile::open(kPath))).first;
  }();
  return examples;
}

void buildPairs(benchmark::State& state, const Examples& examples) {
  QuietStreams quiet;
  std::int64_t pairs = 0;
  double bytes = 0;
  for (auto _ : state) {
    auto lmr = makeLowMemRankingCollection(0.0, examples);
    pairs = lmr->lmr_size;
    bytes = static_cast<double>(
        (lmr->lmr_low_index.vector().capacity() + lmr->lmr_high_index.vector().capacity()) *
        sizeof(std::int32_t));
    state.PauseTiming();  // freeing is not building
    lmr.reset();
    state.ResumeTiming();
  }
  state.counters["pairs"] = static_cast<double>(pairs);
  state.counters["pairs_per_s"] =
      benchmark::Counter(static_cast<double>(pairs) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  state.counters["bytes_per_pair"] = bytes / static_cast<double>(pairs);
}

void BM_BuildPairsInMemory(benchmark::State& state) { buildPairs(state, inMemory()); }
BENCHMARK(BM_BuildPairsInMemory)->Unit(benchmark::kMillisecond);

void BM_BuildPairsOnDisk(benchmark::State& state) { buildPairs(state, onDisk()); }
BENCHMARK(BM_BuildPairsOnDisk)->Unit(benchmark::kMillisecond);

// Fetches cycle over the first 100,000 pairs, as training sweeps its working
// set, and use the pair's self dot product as the kernel cache does.
constexpr std::int32_t kFetched = 100'000;

void fetchPairs(benchmark::State& state, const ExampleCollection& pairs) {
  std::int32_t k = 0;
  for (auto _ : state) {
    const Element e = pairs.at(k + 1);
    benchmark::DoNotOptimize(e.example->twonorm_sq());
    k = (k + 1) % kFetched;
  }
}

std::shared_ptr<const LowMemRankingCollection> pairsOf(const Examples& examples) {
  QuietStreams quiet;
  return makeLowMemRankingCollection(0.0, examples);
}

void BM_FetchPairLowMem(benchmark::State& state) {
  static const auto lmr = pairsOf(inMemory());
  fetchPairs(state, *lmr);
}
BENCHMARK(BM_FetchPairLowMem);

void BM_FetchPairLowMemOnDisk(benchmark::State& state) {
  static const auto lmr = pairsOf(onDisk());
  fetchPairs(state, *lmr);
}
BENCHMARK(BM_FetchPairLowMemOnDisk);

void BM_FetchPairHighMem(benchmark::State& state) {
  static const auto hmr = [] {
    auto h = makeHighMemRankingCollection(pairsOf(inMemory()));
    for (std::int32_t k = 1; k <= kFetched; ++k) h->at(k).example->twonorm_sq();
    return h;
  }();
  fetchPairs(state, *hmr);
}
BENCHMARK(BM_FetchPairHighMem);

}  // namespace

BENCHMARK_MAIN();
