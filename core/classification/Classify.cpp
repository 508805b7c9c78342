#include "core/classification/Classify.h"

#include <cmath>

#include "base/NumberText.h"
#include "core/kernels/Dot.h"
#include "core/kernels/KernelParams.h"

namespace kelvor {

double classifyWithStringCaches(const KernelFunction& kernel, double lambda,
                                const ExampleCollection& supportVectors, const Example& x) {
  stringCacheFMRef().clear();
  const double lambda2 = lambda * lambda;
  return foldSteps(
      [&](double acc, const std::pair<std::int32_t, Element>& assoc) {
        const Element& sv = assoc.second;
        const double k = kernel(*sv.example, x);
        const double t = k + lambda2;
        const double u = sv.value * t;
        return acc + u;
      },
      0.0, supportVectors.collectionAssocs());
}

double classify(const KernelFunction& kernel, double lambda,
                const ExampleCollection& supportVectors, const Example& x) {
  return classifyWithStringCaches(kernel, lambda, supportVectors, x);
}

namespace {

std::pair<ErrorRates, std::vector<double>> countAll(const DecisionValue& decision,
                                                    const ExampleCollection& examples,
                                                    double threshold, OutputFile* output,
                                                    std::optional<SigmoidParams> sigmoid) {
  double tp = 0.0, fp = 0.0, tn = 0.0, fn = 0.0;
  std::vector<double> outputs;
  std::string line;
  for (const Element& e : examples.collectionElems()) {
    const double f = decision(outputs.size(), e);
    const double out = sigmoid ? calcSigmoid(sigmoid->a, sigmoid->b, f) : f;
    if (output) {
      line.clear();
      appendDouble(line, out);
      line += '\n';
      output->write(line);
    }
    const bool predicted = f > threshold;
    const bool truth = e.value > 0;
    if (predicted && truth)
      tp += 1.0;
    else if (predicted)
      fp += 1.0;
    else if (truth)
      fn += 1.0;
    else
      tn += 1.0;
    outputs.push_back(out);
  }
  ErrorRates r;
  r.accuracy = (tp + tn) / (((tp + tn) + fp) + fn);
  r.precision = tp == 0.0 ? 0.0 : tp / (tp + fp);
  r.recall = tp == 0.0 ? 0.0 : tp / (tp + fn);
  // Without a true positive the formula is 0/0; the harmonic mean of two
  // zeros is taken as 0, as precision and recall are.
  r.fscore = tp == 0.0 ? 0.0 : ((r.precision + r.precision) * r.recall) / (r.precision + r.recall);
  return {r, std::move(outputs)};
}

}  // namespace

std::pair<ErrorRates, std::vector<double>> countErrors(const DecisionValue& decision,
                                                       const ExampleCollection& examples,
                                                       double threshold, OutputFile* output,
                                                       std::optional<SigmoidParams> sigmoid) {
  try {
    auto result = countAll(decision, examples, threshold, output, sigmoid);
    if (output) output->flush();
    return result;
  } catch (...) {
    // The values of the examples classified before the failure still reach
    // the file; the failure that stopped the run is the one reported.
    if (output) {
      try {
        output->flush();
      } catch (...) {
      }
    }
    throw;
  }
}

SupportVectorSum::SupportVectorSum(const KernelFunction& kernel, double lambda,
                                   const ExampleCollection& supportVectors,
                                   const std::optional<StandardKernel>& standard)
    : kernel_(kernel),
      lambda_(lambda),
      supportVectors_(supportVectors),
      view_(supportVectors),
      row_(RealKernelRow::over(standard, view_.direct())) {}

double SupportVectorSum::operator()(const Example& x) {
  if (!row_ || !RealKernelRow::coversRow(x))
    return classifyWithStringCaches(kernel_, lambda_, supportVectors_, x);
  // K(sv, x) is K(x, sv) to the bit for real features alone.
  const std::span<const Element> svs = view_.direct();
  const double lambda2 = lambda_ * lambda_;
  row_->setRow(x);
  double acc = 0.0;
  row_->forEach(
      svs.size(), [&](std::size_t c) -> const Example& { return *svs[c].example; },
      [&](std::size_t c, double k) {
        const double t = k + lambda2;
        const double u = svs[c].value * t;
        acc = acc + u;
      });
  return acc;
}

std::pair<ErrorRates, std::vector<double>> computeError(
    const KernelFunction& kernel, double lambda, const ExampleCollection& supportVectors,
    const ExampleCollection& examples, double threshold, OutputFile* output,
    std::optional<SigmoidParams> sigmoid, const std::optional<StandardKernel>& standard) {
  SupportVectorSum decide(kernel, lambda, supportVectors, standard);
  return countErrors([&](std::size_t, const Element& e) { return decide(*e.example); }, examples,
                     threshold, output, sigmoid);
}

std::string_view version() { return "1.2"; }

}  // namespace kelvor
