// Sample selection and randomized training over in-memory examples with 20
// sparse real features and targets from a noisy hyperplane, linear kernel.
//
// - One selection step: 10,000 unselected examples against a working set
//   of 200 support vectors; time and kernel evaluations.
// - One randomized selection iteration on 20,000 examples with delta 10
//   (samples of 600), whole and in its parts: drawing the sample and its
//   complement (by a mask; the membership test in the sample list for
//   contrast), training on the sample, classifying the complement.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "bench/QuietStreams.h"
#include "core/examples/Collections.h"
#include "core/kernels/Kernels.h"
#include "core/train/KernelCacheBuild.h"
#include "core/train/RandomizedSelection.h"
#include "core/train/SampleSelection.h"
#include "core/train/TrainRandomized.h"

namespace {

using namespace kelvor;
using bench::QuietStreams;

constexpr double kLambda = 2.0;

Examples hyperplaneExamples(std::int32_t n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> gap(1, 10);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::normal_distribution<double> noise(0.0, 0.3);
  std::vector<double> plane(201);
  for (double& w : plane) w = value(rng);
  std::vector<Element> elems;
  elems.reserve(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    std::vector<RealFeature> fs{{0, kLambda}};
    double side = noise(rng);
    for (int k = 0, index = 0; k < 20; ++k) {
      index += gap(rng);
      const double v = value(rng);
      fs.push_back({index, v});
      side += plane[static_cast<std::size_t>(index)] * v;
    }
    elems.push_back({mkExample(Array<RealFeature>(std::move(fs))), side > 0 ? 1.0 : -1.0});
  }
  return mkArrayExamples(Array<Element>(std::move(elems)));
}

std::int64_t evaluations = 0;
const KernelFunction countingLinear = [](const Example& x, const Example& y) {
  ++evaluations;
  return linearKernel(x, y);
};

void BM_SelectionStep(benchmark::State& state) {
  constexpr std::int32_t kSelected = 200, kUnselected = 10'000;
  const Examples training = hyperplaneExamples(kSelected + kUnselected, 11);
  std::vector<Element> first;
  for (std::int32_t i = 1; i <= kSelected; ++i) first.push_back(training.at(i));
  std::vector<std::int32_t> sample(kSelected);
  std::iota(sample.begin(), sample.end(), 1);
  std::vector<bool> flags(kSelected + kUnselected, false);
  std::fill(flags.begin(), flags.begin() + kSelected, true);

  QuietStreams quiet;
  CacheBuild build = newKernelCache(40, countingLinear, kLambda,
                                    mkArrayExamples(Array<Element>(std::move(first))), {});
  const TrainingState start{std::move(build.cache),
                            std::vector<double>(kSelected, 0.5),  // every one a support vector
                            std::vector<double>(kSelected, 0.0),
                            std::nullopt,
                            StepFactor(build.eta),
                            kSelected,
                            SelectionState(SelectedSamples{flags, sample})};
  TrainOptions options;
  options.sampleSelection = true;
  options.batchSize = 8;
  options.lambda = kLambda;
  std::int64_t perStep = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TrainingState s = start;
    evaluations = 0;
    state.ResumeTiming();
    benchmark::DoNotOptimize(selectionStep(s, options, countingLinear, training));
    perStep = evaluations;
  }
  state.counters["kernel_evals"] = static_cast<double>(perStep);
  state.counters["evals_per_candidate"] =
      static_cast<double>(perStep) / (double{kUnselected} * kSelected);
}
BENCHMARK(BM_SelectionStep)->Unit(benchmark::kMillisecond);

// Randomized training: 20,000 examples, delta 10.
constexpr std::int32_t kExamples = 20'000;
constexpr std::int32_t kDelta = 10;
constexpr std::int64_t kSample = 6 * kDelta * kDelta;

const Examples& randomizedSet() {
  static const Examples examples = hyperplaneExamples(kExamples, 23);
  return examples;
}

std::vector<std::int64_t> someWeights() {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> doublings(0, 3);
  std::vector<std::int64_t> w(kExamples);
  for (std::int64_t& x : w) x = std::int64_t{1} << doublings(rng);
  return w;
}

TrainOptions learnerDefaults() {
  TrainOptions o;
  o.lambda = kLambda;
  o.maxIterations = 1000;
  o.stopPredicate = [](double dh) { return dh < 1.0e-6; };
  return o;
}

void BM_RandomizedSampling(benchmark::State& state) {
  const std::vector<std::int64_t> weights = someWeights();
  RandomGenerator g(3);
  for (auto _ : state) {
    const std::vector<std::int32_t> sample = drawWeightedSample(weights, kSample, g);
    benchmark::DoNotOptimize(complementOf(sample, kExamples));
  }
}
BENCHMARK(BM_RandomizedSampling)->Unit(benchmark::kMicrosecond);

void BM_ComplementByListSearch(benchmark::State& state) {
  RandomGenerator g(3);
  const std::vector<std::int32_t> sample = drawWeightedSample(someWeights(), kSample, g);
  for (auto _ : state) {
    std::vector<std::int32_t> rest;
    for (std::int32_t i = 1; i <= kExamples; ++i)
      if (std::find(sample.begin(), sample.end(), i) == sample.end()) rest.push_back(i);
    benchmark::DoNotOptimize(rest);
  }
}
BENCHMARK(BM_ComplementByListSearch)->Unit(benchmark::kMicrosecond);

struct TrainedSample {
  std::vector<std::int32_t> indices;
  std::vector<std::int32_t> complement;
  Examples view;
};

TrainedSample aSample() {
  RandomGenerator g(3);
  std::vector<std::int32_t> sample = drawWeightedSample(someWeights(), kSample, g);
  std::vector<std::int32_t> complement = complementOf(sample, kExamples);
  Examples view(
      std::make_shared<const RandomExamples>(randomizedSet(), Array<std::int32_t>(sample)));
  return {std::move(sample), std::move(complement), std::move(view)};
}

void BM_RandomizedTraining(benchmark::State& state) {
  const TrainedSample s = aSample();
  const TrainingKernel kernel = standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0);
  QuietStreams quiet;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        trainOnSample(learnerDefaults(), kernel, s.view, s.indices, std::nullopt, nullptr, {}));
}
BENCHMARK(BM_RandomizedTraining)->Unit(benchmark::kMillisecond);

void BM_RandomizedComplement(benchmark::State& state) {
  const TrainedSample s = aSample();
  const TrainingKernel kernel = standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0);
  QuietStreams quiet;
  const TrainResult trained =
      trainOnSample(learnerDefaults(), kernel, s.view, s.indices, std::nullopt, nullptr, {});
  const Examples svs = getSupportVectors(s.view, trained.lagrangians.elems());
  const std::vector<std::int64_t> weights = someWeights();
  std::size_t violators = 0;
  for (auto _ : state) {
    violators = findViolators(kernel.function, kLambda, svs, randomizedSet(), s.complement, weights)
                    .indices.size();
  }
  state.counters["support_vectors"] = svs.collectionSize();
  state.counters["violators"] = static_cast<double>(violators);
}
BENCHMARK(BM_RandomizedComplement)->Unit(benchmark::kMillisecond);

void BM_RandomizedIteration(benchmark::State& state) {
  const TrainingKernel kernel = standardTrainingKernel(KernelType::LinearKernel, 0, 0, 0, 0);
  QuietStreams quiet;
  for (auto _ : state)
    benchmark::DoNotOptimize(train_randomized(learnerDefaults(), kernel, randomizedSet(),
                                              std::nullopt, nullptr, std::nullopt,
                                              RandomizedOptions{kDelta, 1, 1}));
}
BENCHMARK(BM_RandomizedIteration)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
