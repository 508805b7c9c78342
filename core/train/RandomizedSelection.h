// The steps of one selection iteration of randomized training
// (TrainRandomized.h): the weighted sample, its complement, the violators
// and the doubling of their weights.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/examples/ExampleCollection.h"
#include "core/kernels/Kernels.h"
#include "core/train/RandomGenerator.h"

namespace kelvor {

// The indices (from 1) of the r largest keys, largest first; of equal keys
// the larger index first. All of them when r >= keys.size(). No key may be
// NaN.
std::vector<std::int32_t> sampleByKeys(std::span<const double> keys, std::int64_t r);

// Draws one double u_i in [0, 1) per weight, in index order, and samples
// by the keys w_i * u_i.
std::vector<std::int32_t> drawWeightedSample(std::span<const std::int64_t> weights, std::int64_t r,
                                             RandomGenerator& generator);

// The indices 1..n that are not in the sample, ascending.
std::vector<std::int32_t> complementOf(std::span<const std::int32_t> sample, std::int32_t n);

struct Violators {
  std::vector<std::int32_t> indices;  // ascending
  double weight;                      // u(V): their weights summed in that order from 0.0
};

// The examples of `candidates` (training indices, ascending) whose decision
// value under the support vectors has the sign opposite to their target; a
// value or target of 0 is no violation.
Violators findViolators(const KernelFunction& kernel, double lambda,
                        const ExampleCollection& supportVectors,
                        const ExampleCollection& trainingSet,
                        std::span<const std::int32_t> candidates,
                        std::span<const std::int64_t> weights);

// Doubles a weight; the largest weight stays as it is instead of wrapping.
constexpr std::int64_t doubledWeight(std::int64_t w) {
  constexpr std::int64_t most = INT64_MAX;
  return w > most / 2 ? most : 2 * w;
}

}  // namespace kelvor
