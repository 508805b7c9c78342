// Decision values of support vectors, the error rates over a labelled
// collection, and the classification output file (one value per line).
#pragma once

#include <cmath>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "base/OutputFile.h"
#include "core/examples/ElementView.h"
#include "core/examples/ExampleCollection.h"
#include "core/kernels/Kernels.h"
#include "core/kernels/RealKernelRow.h"
#include "core/kernels/StandardKernel.h"

namespace kelvor {

// The sum over the support vectors, in index order, of
// coef * (kernel(sv, x) + lambda * lambda). No threshold is subtracted.
double classify(const KernelFunction& kernel, double lambda,
                const ExampleCollection& supportVectors, const Example& x);
double classifyWithStringCaches(const KernelFunction& kernel, double lambda,
                                const ExampleCollection& supportVectors, const Example& x);

// classifyWithStringCaches over one set of support vectors, for example
// after example. With `standard` given (the kernel is that standard
// kernel), support vectors held in place and examples of real features
// alone take the kernel values of four support vectors side by side
// (RealKernelRow), to the same doubles.
class SupportVectorSum {
 public:
  // Every argument must outlive the object.
  SupportVectorSum(const KernelFunction& kernel, double lambda,
                   const ExampleCollection& supportVectors,
                   const std::optional<StandardKernel>& standard);
  double operator()(const Example& x);

 private:
  const KernelFunction& kernel_;
  double lambda_;
  const ExampleCollection& supportVectors_;
  ElementView view_;
  std::optional<RealKernelRow> row_;
};

struct ErrorRates {
  double accuracy;
  double precision;
  double recall;
  double fscore;
};

struct SigmoidParams {
  double a;
  double b;
};

// Classifies every example in index order. Each output value (the decision
// value, or its sigmoid probability) is written to `output` as a line;
// counting uses the raw decision value against the threshold and the target
// against 0. The lines go out through the file's buffer, which is flushed
// before the call returns, and also when it fails: the lines of the
// examples classified before a failure are in the file.
//
// `standard`, when given, says that `kernel` is that standard kernel (see
// SupportVectorSum).
std::pair<ErrorRates, std::vector<double>> computeError(
    const KernelFunction& kernel, double lambda, const ExampleCollection& supportVectors,
    const ExampleCollection& examples, double threshold, OutputFile* output,
    std::optional<SigmoidParams> sigmoid,
    const std::optional<StandardKernel>& standard = std::nullopt);

// The decision value of the k-th element (from 0) of a collection.
using DecisionValue = std::function<double(std::size_t k, const Element& e)>;

// computeError with the decision values given rather than classified, for
// a caller that has them from elsewhere: everything else the same.
std::pair<ErrorRates, std::vector<double>> countErrors(const DecisionValue& decision,
                                                       const ExampleCollection& examples,
                                                       double threshold, OutputFile* output,
                                                       std::optional<SigmoidParams> sigmoid);

// 1 / (1 + exp(a * f + b)), each step in that order.
template <class T>
T calcSigmoid(T a, T b, T f) {
  using std::exp;
  const T p = a * f;
  const T q = p + b;
  const T e = exp(q);
  const T d = T(1) + e;
  return T(1) / d;
}

std::string_view version();

}  // namespace kelvor
