#include "core/train/RandomizedSelection.h"

#include <algorithm>
#include <utility>

#include "core/classification/Classify.h"
#include "core/examples/ElementView.h"

namespace kelvor {

std::vector<std::int32_t> sampleByKeys(std::span<const double> keys, std::int64_t r) {
  std::vector<std::pair<double, std::int32_t>> pairs;
  pairs.reserve(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i)
    pairs.emplace_back(keys[i], static_cast<std::int32_t>(i + 1));
  // A strict total order as long as no key is NaN (indices differ), so
  // selecting the first r and sorting only those gives the same r pairs,
  // in the same order, as sorting all of them.
  const auto first = [](const std::pair<double, std::int32_t>& a,
                        const std::pair<double, std::int32_t>& b) {
    return a.first > b.first || (a.first == b.first && a.second > b.second);
  };
  const auto end = pairs.begin() + static_cast<std::ptrdiff_t>(std::clamp<std::int64_t>(
                                       r, 0, static_cast<std::int64_t>(pairs.size())));
  std::nth_element(pairs.begin(), end, pairs.end(), first);
  std::sort(pairs.begin(), end, first);
  std::vector<std::int32_t> sample;
  sample.reserve(static_cast<std::size_t>(end - pairs.begin()));
  for (auto p = pairs.begin(); p != end; ++p) sample.push_back(p->second);
  return sample;
}

std::vector<std::int32_t> drawWeightedSample(std::span<const std::int64_t> weights, std::int64_t r,
                                             RandomGenerator& generator) {
  // Weights are positive and u lies in [0, 1): no key is NaN.
  std::vector<double> keys;
  keys.reserve(weights.size());
  for (const std::int64_t w : weights)
    keys.push_back(static_cast<double>(w) * generator.nextDouble());
  return sampleByKeys(keys, r);
}

std::vector<std::int32_t> complementOf(std::span<const std::int32_t> sample, std::int32_t n) {
  std::vector<bool> inSample(static_cast<std::size_t>(std::max(n, 0)), false);
  for (const std::int32_t i : sample) inSample[static_cast<std::size_t>(i - 1)] = true;
  std::vector<std::int32_t> rest;
  rest.reserve(inSample.size() - std::min(inSample.size(), sample.size()));
  for (std::int32_t i = 1; i <= n; ++i)
    if (!inSample[static_cast<std::size_t>(i - 1)]) rest.push_back(i);
  return rest;
}

Violators findViolators(const KernelFunction& kernel, double lambda,
                        const ExampleCollection& supportVectors,
                        const ExampleCollection& trainingSet,
                        std::span<const std::int32_t> candidates,
                        std::span<const std::int64_t> weights) {
  Violators v{{}, 0.0};
  const ElementView view(trainingSet);
  Element slot;
  for (const std::int32_t i : candidates) {
    const Element& e = view.get(i, slot);
    const double f = classifyWithStringCaches(kernel, lambda, supportVectors, *e.example);
    if ((f < 0 && e.value > 0) || (f > 0 && e.value < 0)) {
      v.indices.push_back(i);
      v.weight = v.weight + static_cast<double>(weights[static_cast<std::size_t>(i - 1)]);
    }
  }
  return v;
}

}  // namespace kelvor
