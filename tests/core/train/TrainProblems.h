// Random training problems and the plain readings that training's fast
// paths must match bit for bit.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "core/train/DualMatrix.h"
#include "core/train/KernelCache.h"
#include "tests/core/ExampleBuilders.h"

namespace kelvor::testing {

// n examples, each the bias (0, bias) and up to `features` real features
// with ascending indices; targets +1 or -1.
inline Examples randomExamples(std::mt19937& rng, std::int32_t n, int features, double bias = 1.0) {
  std::uniform_real_distribution<double> value(-2.0, 2.0);
  std::uniform_int_distribution<int> coin(0, 1);
  std::vector<Element> elems;
  for (std::int32_t i = 0; i < n; ++i) {
    std::vector<RealFeature> fs{{0, bias}};
    for (int f = 1; f <= features; ++f)
      if (coin(rng)) fs.push_back({f, value(rng)});
    elems.push_back({mkExample(Array<RealFeature>(std::move(fs))), coin(rng) ? 1.0 : -1.0});
  }
  return collection(std::move(elems));
}

// Lagrangians in [0, 1], a share of them exactly 0.
inline std::vector<double> randomLagrangians(std::mt19937& rng, std::size_t n, double zeroShare) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> h(n);
  for (double& v : h) v = unit(rng) < zeroShare ? 0.0 : unit(rng);
  return h;
}

// A cache with bound s over the examples, its block filled cell by cell as
// documented: (i, j), i <= j, = (y_i y_j)(K(x_j, x_i) + l^2).
inline KernelCache cacheWithBound(const Examples& examples, const KernelFunction& kernel,
                                  double lambda, std::int32_t s) {
  const std::int32_t rows = std::min(examples.collectionSize(), s);
  HalfMatrix matrix = newMatrix(rows);
  for (std::int32_t i = 1; i <= rows; ++i) {
    const Element xi = examples.at(i);
    writeMatrix(matrix, i, i,
                (xi.value * xi.value) * (kernel(*xi.example, *xi.example) + lambda * lambda));
    for (std::int32_t j = i + 1; j <= rows; ++j) {
      const Element xj = examples.at(j);
      writeMatrix(matrix, i, j,
                  (xi.value * xj.value) * (kernel(*xj.example, *xi.example) + lambda * lambda));
    }
  }
  return KernelCache{s, std::move(matrix), kernel, examples, lambda};
}

// G = Q h by the row-by-row walk.
inline std::vector<double> plainProduct(const KernelCache& cache, std::span<const double> h) {
  std::vector<double> G(h.size(), 0.0);
  loopDualMatrix(
      cache,
      [&](std::int32_t i, double q) {
        G[i - 1] += q * h[i - 1];
        return h[i - 1];
      },
      [&](std::int32_t i, std::int32_t j, double q, double hi) {
        G[i - 1] += q * h[j - 1];
        G[j - 1] += q * hi;
      });
  return G;
}

}  // namespace kelvor::testing
