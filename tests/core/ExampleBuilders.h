// Small builders for examples in tests.
#pragma once

#include <initializer_list>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/examples/Collections.h"
#include "core/examples/Example.h"
#include "core/examples/ExampleCollection.h"
#include "core/kernels/Kernels.h"
#include "core/kernels/StandardKernel.h"
#include "core/kernels/TreeKernel.h"

namespace kelvor::testing {

inline Array<RealFeature> reals(std::initializer_list<std::pair<int, double>> fs) {
  std::vector<RealFeature> out;
  for (auto [i, v] : fs) out.push_back({i, v});
  return Array<RealFeature>(std::move(out));
}

inline TokenSeq tokens(std::initializer_list<const char*> ts) {
  std::vector<TokenId> ids;
  for (const char* t : ts) ids.push_back(internToken(t));
  return TokenSeq(std::move(ids));
}

inline ExamplePtr example(Array<RealFeature> r, std::vector<StringFeature> s = {},
                          std::vector<TreeFeature> t = {}, int qid = 0) {
  return std::make_shared<const Example>(std::move(r), Array<StringFeature>(std::move(s)),
                                         Array<TreeFeature>(std::move(t)), qid);
}

inline TreeFeature treeFeature(int number, ParseTree tree) {
  KernelTreePtr kt = KernelTree::make(std::move(tree));
  const double self = selfTreeKernel(*kt);
  return {number, std::move(kt), self};
}

inline Examples collection(std::vector<Element> elems) {
  return mkArrayExamples(Array<Element>(std::move(elems)));
}

// Sparse real vectors with gaps, signed zeros, products that underflow to a
// signed zero, from no feature to 24; targets +-1 and a few others.
inline std::vector<Element> sparseRealExamples(std::mt19937& rng, int n) {
  std::uniform_int_distribution<int> gap(1, 4), length(0, 24), pick(0, 9);
  std::uniform_real_distribution<double> value(-3.0, 3.0);
  std::vector<Element> out;
  for (int e = 0; e < n; ++e) {
    std::vector<RealFeature> fs;
    int index = e % 3 == 0 ? 0 : gap(rng) - 1;
    for (int k = length(rng); k > 0; --k, index += gap(rng)) {
      const int p = pick(rng);
      fs.push_back({index, p == 0 ? -0.0 : p == 1 ? 1e-200 : p == 2 ? -1e-170 : value(rng)});
    }
    const int p = pick(rng);
    out.push_back({example(Array<RealFeature>(std::move(fs))), p < 4   ? 1.0
                                                               : p < 8 ? -1.0
                                                                       : value(rng)});
  }
  return out;
}

// The four standard kernels, each with parameters that matter, beside its
// kernel function.
inline std::vector<std::pair<StandardKernel, KernelFunction>> standardKernels() {
  return {
      {{KernelType::LinearKernel, 0, 0, 0, 0}, linearKernel},
      {{KernelType::PolyKernel, 3, 0, 0.5, 1.0},
       [](const Example& x, const Example& y) { return polynomialKernel(3, 0.5, 1.0, x, y); }},
      {{KernelType::RBFKernel, 0, 0.3, 0, 0},
       [](const Example& x, const Example& y) { return rbfKernel(0.3, x, y); }},
      {{KernelType::SigmoidKernel, 0, 0, 0.2, -0.5},
       [](const Example& x, const Example& y) { return sigmoidKernel(0.2, -0.5, x, y); }},
  };
}

}  // namespace kelvor::testing
