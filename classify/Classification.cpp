#include "classify/Classification.h"

#include <sys/stat.h>

#include <memory>
#include <vector>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/InputFile.h"
#include "base/NumberText.h"
#include "base/OutputFile.h"
#include "classify/ClassifierCells.h"
#include "classify/PRGraph.h"
#include "core/classification/Classify.h"
#include "core/examples/ExampleHandles.h"
#include "core/model/ModelFile.h"
#include "learn/ErrorTable.h"

namespace kelvor {

double lambdaForKernel(std::optional<double> givenLambda, KernelType type) {
  if (givenLambda) return *givenLambda;
  return type == KernelType::LinearKernel ? 2.0 : 0.1;
}

KernelFunction modelKernel(const Model& model) {
  switch (model.kernelType) {
    case KernelType::LinearKernel:
      return linearKernel;
    case KernelType::PolyKernel:
      return [d = model.kernelParamD, s = model.kernelParamS, r = model.kernelParamR](
                 const Example& x, const Example& y) { return polynomialKernel(d, s, r, x, y); };
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
  return [](const Example&, const Example&) -> double { fail("unknown kernel type!"); };
}

namespace {

void printErrorRates(const ErrorRates& r) {
  printPaddedTable({{"Accuracy", "Precision", "Recall", "F-Score"},
                    {showDouble(r.accuracy), showDouble(r.precision), showDouble(r.recall),
                     showDouble(r.fscore)}});
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// Creating a file truncates it, so a written file that is also one of the
// inputs would destroy that input (the example file is read again while
// the outputs are written).
void refuseToOverwriteInputs(const std::optional<std::string>& written, std::string_view role,
                             const std::string& modelFile, const std::string& exampleFile) {
  if (!written) return;
  for (const auto& [input, inputRole] :
       {std::pair{&modelFile, "model file"}, std::pair{&exampleFile, "example file"}})
    if (sameFile(*written, *input))
      fail("The " + std::string(role) + " " + *written + " is the " + inputRole + " " + *input +
           "; writing it would destroy that file");
}

}  // namespace

void doClassification(const std::string& modelFile, const std::string& exampleFile,
                      const std::optional<std::string>& outputFile) {
  const std::optional<double> givenLambda = classifier::refL();
  const double bias = classifier::refBias();
  const std::optional<std::string> graphFile = classifier::refPRGraph();
  const bool sigmoid = classifier::refSigmoid();

  printOut("Reading model...");
  const Model model =
      readModel([&](KernelType type) { return lambdaForKernel(givenLambda, type); }, modelFile);
  printOut(std::string(kernelTypeName(model.kernelType)) + ", " + showInt(model.numberSVs) +
           " SVs, (highest feature=" + showInt(model.highestFeatureIndex) + ")\n");
  if (sigmoid && !model.kernelParamSigmoid)
    fail("--sigmoid option only valid when model is trained with --sigmoid");

  printOut("Reading test examples...");
  auto [tests, highest] =
      readExampleHandle(lambdaForKernel(givenLambda, model.kernelType),
                        std::make_shared<InputFile>(InputFile::open(exampleFile)));
  printOut(showInt(tests.collectionSize()) + " examples read (highest feature=" + showInt(highest) +
           ")\n");
  refuseToOverwriteInputs(outputFile, "output file", modelFile, exampleFile);
  refuseToOverwriteInputs(graphFile, "graph file", modelFile, exampleFile);

  std::optional<OutputFile> output;
  if (outputFile) {
    printOut("Writing classifications to " + *outputFile + "\n");
    output.emplace(OutputFile::create(*outputFile));
  }
  printOut("Classifying...\n");
  const auto [rates, values] = computeError(
      modelKernel(model), model.thresholdB, model.supportVectors, tests, bias,
      output ? &*output : nullptr,
      sigmoid ? std::optional<SigmoidParams>({model.kernelParamSigmoidA, model.kernelParamSigmoidB})
              : std::nullopt);
  if (output) output->close();

  // An empty test set has no first example to show a query identifier; it
  // is no ranking problem.
  if (tests.collectionSize() > 0 && tests.at(1).example->ex_qid() != 0)
    printOut("Appears to be a ranking problem; not displaying error rates\n");
  else
    printErrorRates(rates);

  if (graphFile) writePRGraph(*graphFile, tests, values);
}

}  // namespace kelvor
