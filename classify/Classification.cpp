#include "classify/Classification.h"

#include <memory>
#include <vector>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/FileIdentity.h"
#include "base/InputFile.h"
#include "base/LineLocation.h"
#include "base/NumberText.h"
#include "base/ReplacementFile.h"
#include "classify/ClassifierCells.h"
#include "classify/PRGraph.h"
#include "core/classification/Classify.h"
#include "core/examples/ExampleHandles.h"
#include "core/model/ModelFile.h"
#include "learn/ErrorTable.h"

namespace kelvor {

double lambdaForModel(std::optional<double> givenLambda, double storedLambda) {
  return givenLambda ? *givenLambda : storedLambda;
}

namespace {

constexpr std::int64_t kKernelTypeLine = 2;
constexpr std::int64_t kDegreeLine = 3;

// A kernel that fails at its first use, naming the header line at fault.
KernelFunction failingAtLine(std::string modelFile, std::int64_t line, KernelFunction kernel) {
  return [modelFile = std::move(modelFile), line, kernel = std::move(kernel)](const Example& x,
                                                                              const Example& y) {
    return atLine(modelFile, line, [&] { return kernel(x, y); });
  };
}

}  // namespace

KernelFunction modelKernel(const Model& model, const std::string& modelFile) {
  switch (model.kernelType) {
    case KernelType::LinearKernel:
      return linearKernel;
    case KernelType::PolyKernel: {
      KernelFunction poly = [d = model.kernelParamD, s = model.kernelParamS,
                             r = model.kernelParamR](const Example& x, const Example& y) {
        return polynomialKernel(d, s, r, x, y);
      };
      // A negative degree has no power; the kernel says so at its first use.
      if (model.kernelParamD < 0) return failingAtLine(modelFile, kDegreeLine, std::move(poly));
      return poly;
    }
    case KernelType::RBFKernel:
      return [g = model.kernelParamG](const Example& x, const Example& y) {
        return rbfKernel(g, x, y);
      };
    case KernelType::SigmoidKernel:
      return [s = model.kernelParamS, r = model.kernelParamR](const Example& x, const Example& y) {
        return sigmoidKernel(s, r, x, y);
      };
    case KernelType::UserKernel:
      break;
  }
  return failingAtLine(modelFile, kKernelTypeLine, [](const Example&, const Example&) -> double {
    fail("unknown kernel type!");
  });
}

namespace {

// What modelKernel's function is, where it is a standard kernel.
std::optional<StandardKernel> modelStandardKernel(const Model& model) {
  if (model.kernelType == KernelType::UserKernel) return std::nullopt;
  return StandardKernel{model.kernelType, model.kernelParamD, model.kernelParamG,
                        model.kernelParamS, model.kernelParamR};
}

void printErrorRates(const ErrorRates& r) {
  printPaddedTable({{"Accuracy", "Precision", "Recall", "F-Score"},
                    {showDouble(r.accuracy), showDouble(r.precision), showDouble(r.recall),
                     showDouble(r.fscore)}});
}

// Creating a file truncates it, so a written file that is also one of the
// inputs would destroy that input (the example file is read again while
// the outputs are written), and a graph written over the output file would
// destroy the values.
void refuseToOverwriteInputs(const std::optional<std::string>& written, std::string_view role,
                             const std::string& modelFile, const std::string& exampleFile) {
  if (!written) return;
  refuseToOverwrite(*written, role, modelFile, "model file");
  refuseToOverwrite(*written, role, exampleFile, "example file");
}

}  // namespace

void doClassification(const std::string& modelFile, const std::string& exampleFile,
                      const std::optional<std::string>& outputFile) {
  const std::optional<double> givenLambda = classifier::refL();
  const double bias = classifier::refBias();
  const std::optional<std::string> graphFile = classifier::refPRGraph();
  const bool sigmoid = classifier::refSigmoid();

  printOut("Reading model...");
  const Model model = readModel(
      [&](KernelType, double storedLambda) { return lambdaForModel(givenLambda, storedLambda); },
      modelFile);
  printOut(std::string(kernelTypeName(model.kernelType)) + ", " + showInt(model.numberSVs) +
           " SVs, (highest feature=" + showInt(model.highestFeatureIndex) + ")\n");
  if (sigmoid && !model.kernelParamSigmoid)
    fail("--sigmoid option only valid when model is trained with --sigmoid");

  printOut("Reading test examples...");
  auto [tests, highest] =
      readExampleHandle(lambdaForModel(givenLambda, model.thresholdB),
                        std::make_shared<InputFile>(InputFile::open(exampleFile)));
  printOut(showInt(tests.collectionSize()) + " examples read (highest feature=" + showInt(highest) +
           ")\n");
  refuseToOverwriteInputs(outputFile, "output file", modelFile, exampleFile);
  refuseToOverwriteInputs(graphFile, "graph file", modelFile, exampleFile);
  if (outputFile && graphFile)
    refuseToOverwrite(*graphFile, "graph file", *outputFile, "output file");

  // Replaced only when complete: a run that fails on a bad test line leaves
  // the values of the run before, not a part of these.
  std::optional<ReplacementFile> output;
  if (outputFile) {
    printOut("Writing classifications to " + *outputFile + "\n");
    output.emplace(*outputFile);
  }
  printOut("Classifying...\n");
  const auto [rates, values] = computeError(
      modelKernel(model, modelFile), model.thresholdB, model.supportVectors, tests, bias,
      output ? &output->output() : nullptr,
      sigmoid ? std::optional<SigmoidParams>({model.kernelParamSigmoidA, model.kernelParamSigmoidB})
              : std::nullopt,
      modelStandardKernel(model));
  if (output) output->commit();

  // An empty test set has no first example to show a query identifier; it
  // is no ranking problem.
  if (tests.collectionSize() > 0 && tests.at(1).example->ex_qid() != 0)
    printOut("Appears to be a ranking problem; not displaying error rates\n");
  else
    printErrorRates(rates);

  if (graphFile) writePRGraph(*graphFile, tests, values);
}

}  // namespace kelvor
