#include "core/train/TrainRandomized.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <string>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/NumberText.h"
#include "core/examples/Collections.h"
#include "core/train/RandomGenerator.h"
#include "core/train/RandomizedSelection.h"

namespace kelvor {

namespace {

// Sample selection off, and every selection argument at its inert value.
TrainOptions sampleTrainOptions(const TrainOptions& options) {
  TrainOptions o = options;
  o.sampleSelection = false;
  o.initialSampleSize = 0;
  o.batchSize = 0;
  o.selectionPeriod = 0;
  o.addPredicate = [](double dh) { return dh < 0.0; };
  o.maxSampleSize = 0;
  return o;
}

// 6 * delta * delta; past the largest 64-bit count it stays there, beyond
// any collection's size all the same.
std::int64_t sampleSize(std::int32_t delta) {
  const auto d = static_cast<std::int64_t>(delta);
  const std::int64_t square = d * d;
  return square > INT64_MAX / 6 ? INT64_MAX : 6 * square;
}

// The restart values by sample position: the value of training index i
// goes to the position that holds example i, in list order (a later value
// for the same index wins, as in train), and values of examples outside
// the sample are left out.
std::vector<InitialLagrangian> atSamplePositions(const std::vector<InitialLagrangian>& initial,
                                                 std::span<const std::int32_t> sample,
                                                 std::int32_t n) {
  std::vector<std::int32_t> positionOf(static_cast<std::size_t>(n), 0);
  for (std::size_t p = 0; p < sample.size(); ++p)
    positionOf[static_cast<std::size_t>(sample[p] - 1)] = static_cast<std::int32_t>(p + 1);
  std::vector<InitialLagrangian> out;
  for (const InitialLagrangian& l : initial) {
    if (l.index < 1 || l.index > n) failIndex(l.index, 1, n);
    const std::int32_t p = positionOf[static_cast<std::size_t>(l.index - 1)];
    if (p > 0) out.push_back({p, l.value});
  }
  return out;
}

Examples sampleView(const Examples& trainingSet, const std::vector<std::int32_t>& sample) {
  return Examples(std::make_shared<const RandomExamples>(trainingSet, Array<std::int32_t>(sample)));
}

}  // namespace

Array<double> train_randomized(
    const TrainOptions& options, const TrainingKernel& kernel, const Examples& trainingSet,
    const std::optional<Examples>& testSet, OutputFile* dumpFile,
    const std::optional<std::vector<InitialLagrangian>>& initialLagrangians,
    const RandomizedOptions& randomized) {
  const std::int32_t n = std::max(trainingSet.collectionSize(), 0);
  std::vector<std::int64_t> weights(static_cast<std::size_t>(n), 1);
  const std::int64_t r = sampleSize(randomized.delta);
  const bool wholeSet = r >= n;
  const double d3 = 3.0 * randomized.delta;
  const TrainOptions trainOptions = sampleTrainOptions(options);

  std::vector<std::int32_t> sample;
  std::optional<Examples> wholeView;
  if (wholeSet) {
    sample.resize(static_cast<std::size_t>(n));
    std::iota(sample.begin(), sample.end(), 1);
    wholeView = sampleView(trainingSet, sample);
  }
  const std::int32_t minI = randomized.minIterations;
  // A maximum below 1, or below the minimum, could never equal the counter
  // at a point where the run may end: with violators left in every
  // selection iteration it would never stop. The run ends instead at the
  // first selection iteration that has reached both bounds, so it takes at
  // most max(maxIterations, minIterations, 1) of them.
  const std::int32_t maxI = randomized.maxIterations;

  Array<double> h;
  for (std::int64_t k = 1;; ++k) {
    printOut("Randomized selection iteration " + showInt(k) + "\n");
    std::vector<std::int32_t> complement;
    if (!wholeSet) {
      auto [use, keep] = readRandomGenerator().split();
      storeRandomGenerator(std::move(keep));
      sample = drawWeightedSample(weights, r, use);
      complement = complementOf(sample, n);
    }
    const Examples view = wholeSet ? *wholeView : sampleView(trainingSet, sample);
    std::optional<std::vector<InitialLagrangian>> initial;
    if (initialLagrangians) initial = atSamplePositions(*initialLagrangians, sample, n);
    h = trainOnSample(trainOptions, kernel, view, sample, testSet, dumpFile, initial).lagrangians;

    const Examples svs = getSupportVectors(view, h.elems());
    const Violators violators =
        findViolators(kernel.function, options.lambda, svs, trainingSet, complement, weights);
    double sampleWeight = 0.0;
    for (const std::int32_t i : sample)
      sampleWeight = sampleWeight + static_cast<double>(weights[static_cast<std::size_t>(i - 1)]);
    // Not when either side is NaN.
    if (violators.weight <= sampleWeight / d3)
      for (const std::int32_t i : violators.indices) {
        std::int64_t& w = weights[static_cast<std::size_t>(i - 1)];
        w = doubledWeight(w);
      }
    printOut("u(V) = " + showDouble(violators.weight) + " u(X) = " + showDouble(sampleWeight) +
             "\n");

    if (k < minI) continue;
    if (violators.indices.empty() || k >= maxI) break;
  }

  std::vector<double> result(static_cast<std::size_t>(n), 0.0);
  for (std::size_t p = 0; p < sample.size(); ++p)
    result[static_cast<std::size_t>(sample[p] - 1)] = h.elems()[p];
  return Array<double>(std::move(result));
}

}  // namespace kelvor
