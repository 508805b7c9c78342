// The combined dot product on sparse real vectors, the innermost operation
// of training and classification.
#include <benchmark/benchmark.h>

#include <random>
#include <set>
#include <vector>

#include "core/examples/Example.h"
#include "core/kernels/Dot.h"
#include "core/kernels/Kernels.h"

namespace {

using namespace kelvor;

// n features with ascending indices drawn from 1..4n, after the bias.
ExamplePtr sparseExample(std::mt19937& rng, int n) {
  std::uniform_int_distribution<int> index(1, 4 * n);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::set<int> indices;
  while (static_cast<int>(indices.size()) < n) indices.insert(index(rng));
  std::vector<RealFeature> fs{{0, 2.0}};
  for (int i : indices) fs.push_back({i, value(rng)});
  return mkExample(Array<RealFeature>(std::move(fs)));
}

void BM_Dot(benchmark::State& state) {
  std::mt19937 rng(1);
  const int n = static_cast<int>(state.range(0));
  std::vector<ExamplePtr> xs;
  for (int i = 0; i < 64; ++i) xs.push_back(sparseExample(rng, n));
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(dot(*xs[k % 64], *xs[(k + 1) % 64]));
    ++k;
  }
}
BENCHMARK(BM_Dot)->Arg(50);

void BM_RbfKernel(benchmark::State& state) {
  std::mt19937 rng(2);
  std::vector<ExamplePtr> xs;
  for (int i = 0; i < 64; ++i) xs.push_back(sparseExample(rng, 50));
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(rbfKernel(0.5, *xs[k % 64], *xs[(k + 1) % 64]));
    ++k;
  }
}
BENCHMARK(BM_RbfKernel);

}  // namespace

BENCHMARK_MAIN();
