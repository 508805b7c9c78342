// The training loop's hot part: one iteration is G = Q h (the cached block
// streamed once, entries beyond it through the kernel) and the sweep.
// BM_StreamRead gives the machine's memory bandwidth for comparison with
// the block's streaming rate.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "core/examples/Collections.h"
#include "core/kernels/Kernels.h"
#include "core/train/Gradient.h"
#include "core/train/KernelCacheBuild.h"
#include "core/train/Sweep.h"

#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

using namespace kelvor;

// n examples of `features` sparse real features (indices from 1..4 *
// features) after the bias 2.0; targets +1 and -1.
Examples sparseExamples(std::int32_t n, int features) {
  std::mt19937 rng(1);
  std::uniform_int_distribution<int> index(1, 4 * features);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::vector<Element> elems;
  for (std::int32_t i = 0; i < n; ++i) {
    std::set<int> indices;
    while (static_cast<int>(indices.size()) < features) indices.insert(index(rng));
    std::vector<RealFeature> fs{{0, 2.0}};
    for (int k : indices) fs.push_back({k, value(rng)});
    elems.push_back({mkExample(Array<RealFeature>(std::move(fs))), i % 2 ? 1.0 : -1.0});
  }
  return mkArrayExamples(Array<Element>(std::move(elems)));
}

std::vector<double> lagrangians(std::size_t n, double zeroShare) {
  std::mt19937 rng(2);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> h(n);
  for (double& v : h) v = unit(rng) < zeroShare ? 0.0 : unit(rng);
  return h;
}

const TrainingKernel& linear() {
  static const TrainingKernel k = standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0);
  return k;
}

void BM_StreamRead(benchmark::State& state) {
  using V4 = double __attribute__((vector_size(32)));
  const std::size_t bytes = std::size_t{1} << 28;
  std::vector<double> data(bytes / sizeof(double), 1.0);
  for (auto _ : state) {
    V4 a = {}, b = {}, c = {}, d = {};
    for (std::size_t i = 0; i < data.size(); i += 16) {
      V4 x[4];
      std::memcpy(x, data.data() + i, sizeof x);
      a += x[0];
      b += x[1];
      c += x[2];
      d += x[3];
    }
    benchmark::DoNotOptimize(a + b + c + d);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_StreamRead)->Unit(benchmark::kMillisecond);

// Arguments: examples, -m budget, share of zero lagrangians in percent.
void BM_Iteration(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const Examples ex = sparseExamples(n, 30);
  const CacheBuild build =
      newKernelCache(static_cast<std::int32_t>(state.range(1)), linear().function, 2.0, ex, {});
  GradientWalk walk(build.cache, linear().standard);
  const std::vector<double> start = lagrangians(build.h.size(), state.range(2) / 100.0);
  std::vector<double> h, G(start.size());
  std::int64_t evaluations = 0;
  for (auto _ : state) {
    h = start;  // every iteration from the same lagrangians
    walk.product(h, G);
    evaluations += walk.kernelEvaluations();
    benchmark::DoNotOptimize(sweep(h, G, 1.0, build.eta, nullptr));
  }
  const std::int64_t rows = build.cache.kernelCache.matrixLength;
  state.SetBytesProcessed(state.iterations() * rows * (rows + 1) / 2 * 8);
  state.counters["kernel_evals"] = benchmark::Counter(static_cast<double>(evaluations) /
                                                      static_cast<double>(state.iterations()));
}
BENCHMARK(BM_Iteration)
    ->Args({3000, 40, 0})
    ->Args({3000, 40, 90})
    ->Args({3000, 40, 99})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iteration)
    ->Args({10000, 40, 0})
    ->Args({10000, 40, 90})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Arguments: examples, -m budget. Beyond the cached block the build
// computes every entry once, for the step factor's bound over the whole
// matrix: with part of it cached that costs about one iteration at 0% zeros.
void BM_CacheBuild(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const Examples ex = sparseExamples(n, 30);
  for (auto _ : state) {
    const CacheBuild build =
        newKernelCache(static_cast<std::int32_t>(state.range(1)), linear(), 2.0, ex, {});
    benchmark::DoNotOptimize(build.eta);
  }
}
BENCHMARK(BM_CacheBuild)
    ->Args({10000, 0})
    ->Args({10000, 40})
    ->Args({10000, 400})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
