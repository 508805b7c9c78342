#include "learn/DoLearning.h"

#include <cmath>
#include <limits>
#include <optional>
#include <span>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/FileIdentity.h"
#include "base/NumberText.h"
#include "base/OutputFile.h"
#include "base/ReplacementFile.h"
#include "core/classification/Classify.h"
#include "core/examples/Collections.h"
#include "core/examples/ExampleFile.h"
#include "core/examples/ExampleHandles.h"
#include "core/examples/RankingCollections.h"
#include "core/kernels/KernelParams.h"
#include "core/kernels/KernelType.h"
#include "core/kernels/Kernels.h"
#include "core/model/ModelFile.h"
#include "core/train/CachedErrors.h"
#include "core/train/RankingPairs.h"
#include "core/train/SigmoidFit.h"
#include "core/train/Train.h"
#include "core/train/TrainRandomized.h"
#include "core/train/TrainingKernel.h"
#include "learn/ErrorTable.h"
#include "learn/Lagrangians.h"
#include "learn/LearnOptions.h"
#include "learn/OptionChecks.h"
#include "learn/TrainingTargets.h"
#include "learn/TransformSVS.h"

namespace kelvor {

namespace {

double lambdaOf(const LearnCells& o) {
  if (!o.refL) return o.refK == 0 ? 2.0 : 0.1;
  return *o.refL;
}

// "a,,b," gives "a", ",,", "b", ",": the runs of commas stay pieces of their
// own, which openExampleFiles passes over.
std::vector<std::string> commaRuns(const std::string& text) {
  std::vector<std::string> runs;
  for (char c : text) {
    if (runs.empty() || (runs.back().front() == ',') != (c == ',')) runs.emplace_back();
    runs.back() += c;
  }
  return runs;
}

// A model or dump file that cannot be written would otherwise be found out
// only once training is done, which on a large set takes hours.
void requireWritableOutputs(const LearnCells& o, const std::string& modelFile) {
  requireWritable(modelFile, "model file", WriteMode::Replaced);
  if (o.refDumpHFreq > 0)
    requireWritable(o.refDumpHFile, "lagrangian dump file", WriteMode::InPlace);
}

// Creating the model or the dump file before training ends would destroy
// an input that is the same file: the training data, the test data, the
// lagrangians a restart reads, or the model file the dump would truncate.
// Refused before any work starts, by file identity, so links count.
void refuseToOverwriteInputs(const LearnCells& o, const std::string& exampleFile,
                             const std::string& modelFile) {
  std::vector<std::pair<std::string, std::string_view>> inputs;
  for (const std::string& piece : commaRuns(exampleFile))
    if (piece.front() != ',') inputs.emplace_back(piece, "training file");
  if (o.refTest) inputs.emplace_back(*o.refTest, "test file");
  for (const auto& [input, role] : inputs) refuseToOverwrite(modelFile, "model file", input, role);
  if (o.refDumpHFreq <= 0) return;
  inputs.emplace_back(modelFile, "model file");
  if (o.refReadHIter > 0) inputs.emplace_back(o.refReadHFile, "restart's lagrangian file");
  for (const auto& [input, role] : inputs)
    refuseToOverwrite(o.refDumpHFile, "lagrangian dump file", input, role);
}

std::pair<Examples, std::int32_t> readTrainingExamples(const LearnCells& o,
                                                       const std::string& exampleFile) {
  const bool several = exampleFile.find(',') != std::string::npos;
  if (o.refReadFile) {
    printOut("Reading training examples...");
    if (several) fail("You must specify --noread for multiple file reading.");
    InputFile file = InputFile::open(exampleFile);
    return readExampleFile(file, lambdaOf(o));
  }
  printOut("Scanning training examples...");
  if (!several) {
    auto file = std::make_shared<InputFile>(InputFile::open(exampleFile));
    return readExampleHandle(lambdaOf(o), std::move(file));
  }
  std::vector<std::shared_ptr<InputFile>> files = openExampleFiles(commaRuns(exampleFile));
  return readExampleHandles(lambdaOf(o), std::move(files));
}

// Prints the pair count around building the pairs; `pairSet` becomes the
// collection to train or test on.
std::shared_ptr<const LowMemRankingCollection> makeRankingPairs(double margin, bool highMem,
                                                                const Examples& examples,
                                                                Examples& pairSet) {
  printOut("Constructing ranking examples...");
  std::shared_ptr<const LowMemRankingCollection> pairs =
      makeLowMemRankingCollection(margin, examples);
  pairSet = highMem ? Examples(makeHighMemRankingCollection(pairs)) : Examples(pairs);
  printOut(showInt(pairs->lmr_size) + " constraints created\n");
  return pairs;
}

void printExamplesRead(std::int32_t count, std::int32_t highest) {
  printOut(showInt(count) + " examples read (highest feature=" + showInt(highest) + ")\n");
}

// The lagrangians of a training run, the collection they index and, with
// sample selection, the training index of each of its positions (position
// p at p - 1).
struct TrainingOutcome {
  Array<double> lagrangians;
  Examples indexed;
  std::optional<std::vector<std::int32_t>> trainingIndex;
  std::optional<KernelCache> cache;              // see TrainResult
  std::optional<double> changeAtIterationLimit;  // see TrainResult; randomized: absent
};

// From zero the first sweep steps every lagrangian by the step factor (or
// C): below -h, training stops right there and looks converged.
std::function<void(double)> warnIfStepBelowStop(double stopBelow) {
  return [stopBelow](double eta) {
    if (eta < stopBelow)
      printWarning("the step factor " + showDouble(eta) + " is below -h " + showDouble(stopBelow) +
                   ", so training stops after its first iteration: the kernel values are too "
                   "large for this -h; scale the features or lower -h");
  };
}

TrainOptions trainOptions(const LearnCells& o, double lambda) {
  const double stopBelow = o.refH, addBelow = o.refSSH;
  const bool startsFromZero = o.refReadHIter <= 0 && o.refRandDelta == 0;
  return TrainOptions{
      .cacheSize = o.refMCache,
      .lambda = lambda,
      .C = o.refC,
      .maxIterations = o.refI,
      .stopPredicate = [stopBelow](double dh) { return dh < stopBelow; },
      .reportPeriod = o.refV,
      .mu = o.refMu,
      .stringParams = KernelParamPair{o.refStringMaxN, o.refStringLambda},
      .treeParams = KernelParamPair{o.refTreeMaxD, o.refTreeLambda},
      .sampleSelection = o.refSSOn,
      .initialSampleSize = o.refSSInit,
      .batchSize = o.refSSBatch,
      .selectionPeriod = o.refSSI,
      .addPredicate = [addBelow](double dh) { return dh < addBelow; },
      .maxSampleSize = o.refSSMax > 0 ? o.refSSMax : std::numeric_limits<std::int32_t>::max(),
      .dumpPeriod = o.refDumpHFreq,
      .afterCacheBuild = startsFromZero ? warnIfStepBelowStop(o.refH) : nullptr,
  };
}

// train, or train_randomized when --rand-delta is not 0; the randomized
// lagrangians index the whole training set.
TrainingOutcome trainLagrangians(const LearnCells& o, const TrainingKernel& kernel, double lambda,
                                 const Examples& trainingSet,
                                 const std::optional<Examples>& testSet,
                                 const std::optional<std::vector<InitialLagrangian>>& initial,
                                 OutputFile* dump, const RandomizedOptions& randomized) {
  const TrainOptions options = trainOptions(o, lambda);
  if (randomized.delta != 0)
    return {train_randomized(options, kernel, trainingSet, testSet, dump, initial, randomized),
            trainingSet, std::nullopt, std::nullopt, std::nullopt};
  TrainResult result = train(options, kernel, trainingSet, testSet, dump, initial);
  std::optional<std::vector<std::int32_t>> trainingIndex;
  if (result.selection.isOn()) trainingIndex = result.selection.ssSelected().sample;
  return {std::move(result.lagrangians), std::move(result.workingSet), std::move(trainingIndex),
          std::move(result.cache), result.changeAtIterationLimit};
}

// Without it, a run cut short by -i looks like one that converged, and a
// model whose lagrangians never got near C passes for a trained one.
void warnIfCutShort(const LearnCells& o, const TrainingOutcome& trained) {
  if (!trained.changeAtIterationLimit) return;
  // Momentum is the other remedy, unless the run had it already.
  printWarning("training stopped at the iteration limit (-i " + showInt(o.refI) +
               ") with a largest change of " + showDouble(*trained.changeAtIterationLimit) +
               ", not below -h " + showDouble(o.refH) +
               "; the model may not have converged: raise -i" +
               (o.refMu > 0.0 ? "" : " or add --mu 0.9"));
}

// The pair of each support vector, in getSupportVectors' order: its
// position in the collection the lagrangians index, which with sample
// selection is a working-set position standing for the training index that
// the selection chose for it.
std::vector<std::int32_t> pairNumbers(const TrainingOutcome& trained, std::int32_t n,
                                      std::span<const double> h) {
  std::vector<std::int32_t> numbers = supportVectorIndices(n, h);
  if (!trained.trainingIndex) return numbers;
  const std::vector<std::int32_t>& chosen = *trained.trainingIndex;
  const auto size = static_cast<std::int32_t>(chosen.size());
  for (std::int32_t& p : numbers) {
    if (p > size) failIndex(p, 1, size);
    p = chosen[static_cast<std::size_t>(p - 1)];
  }
  return numbers;
}

TableRow ratesRow(std::string label, const ErrorRates& rates) {
  return {std::move(label), showDouble(rates.accuracy), showDouble(rates.precision),
          showDouble(rates.recall), showDouble(rates.fscore)};
}

// The table of training (and test) rates; gives the training decision
// values, which the sigmoid is fitted to. The training rates come from the
// run's kernel cache where it has one, which is dropped then.
std::vector<double> printErrorTable(const TrainingKernel& kernel, double lambda,
                                    const Examples& supportVectors, const Examples& trainingSet,
                                    const std::optional<Examples>& testSet,
                                    TrainingOutcome& trained) {
  auto [trainingRates, decisionValues] =
      trained.cache ? workingSetErrors(*trained.cache, kernel.standard, trained.lagrangians.elems(),
                                       supportVectors)
                    : computeError(kernel.function, lambda, supportVectors, trainingSet, 0.0,
                                   nullptr, std::nullopt, kernel.standard);
  trained.cache.reset();
  std::vector<TableRow> table = {{"", "Accuracy", "Precision", "Recall", "F-Score"},
                                 ratesRow("Training", trainingRates)};
  if (testSet) {
    const ErrorRates testRates = computeError(kernel.function, lambda, supportVectors, *testSet,
                                              0.0, nullptr, std::nullopt, kernel.standard)
                                     .first;
    table.push_back(ratesRow(" Testing", testRates));
  }
  printPaddedTable(table);
  return std::move(decisionValues);
}

Model makeModel(const LearnCells& o, double lambda, std::int32_t highest,
                std::int32_t trainingCount, Examples supportVectors, SigmoidParams sigmoid) {
  return Model{
      .modelSignature = "Kelvor Version " + (o.refF ? *o.refF : std::string(version())),
      .kernelType = toEnum(o.refK),
      .kernelParamD = o.refD,
      .kernelParamG = o.refG,
      .kernelParamS = o.refS,
      .kernelParamR = o.refR,
      .kernelParamU = "empty",
      .kernelParamStringMaxN = o.refStringMaxN,
      .kernelParamStringLambda = o.refStringLambda,
      .kernelParamTreeMaxD = o.refTreeMaxD,
      .kernelParamTreeLambda = o.refTreeLambda,
      .kernelParamSigmoid = o.refSigmoid,
      .kernelParamSigmoidA = sigmoid.a,
      .kernelParamSigmoidB = sigmoid.b,
      .highestFeatureIndex = highest,
      .numberTrainingDocuments = trainingCount,
      .numberSVs = supportVectors.collectionSize(),
      .thresholdB = lambda,
      .supportVectors = std::move(supportVectors),
  };
}

}  // namespace

std::vector<std::shared_ptr<InputFile>> openExampleFiles(const std::vector<std::string>& pieces) {
  std::vector<std::shared_ptr<InputFile>> files;
  for (const std::string& piece : pieces)
    if (piece.find(',') == std::string::npos)
      files.push_back(std::make_shared<InputFile>(InputFile::open(piece)));
  return files;
}

std::int32_t randomizedMaximum(std::int32_t delta, std::int32_t n) {
  const double bound =
      std::ceil((6.0 * static_cast<double>(delta)) * std::log(static_cast<double>(n)));
  if (std::isnan(bound) || bound == -std::numeric_limits<double>::infinity()) return 0;
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  if (bound >= kMax) return std::numeric_limits<std::int32_t>::max();
  if (bound <= kMin) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(bound);
}

LearningEnd doLearning(const std::string& exampleFile, const std::string& modelFile) {
  const LearnCells o = learnCells();
  if (!o.refRank && (o.refRankMargin != 0.0 || o.refRankHighMem))
    fail("must specify argument rank");
  refuseImpossibleValues(o);
  refuseToOverwriteInputs(o, exampleFile, modelFile);
  requireWritableOutputs(o, modelFile);

  // Reading an example computes its trees' self-kernels, which fixes the
  // kernel parameters for the whole process: they must hold the options'
  // values before the first example is read, or training and the model
  // would use different ones.
  smaxnRef().store(o.refStringMaxN);
  slambdaRef().store(o.refStringLambda);
  tmaxdRef().store(o.refTreeMaxD);
  tlambdaRef().store(o.refTreeLambda);

  const auto [examples, highest] = readTrainingExamples(o, exampleFile);
  const double lambda = lambdaOf(o);
  printExamplesRead(examples.collectionSize(), highest);
  // Ranking targets are grades, not classes.
  if (!o.refRank) warnAboutTargets(examples);

  Examples trainingSet = examples;
  std::shared_ptr<const LowMemRankingCollection> pairs;
  if (o.refRank) {
    pairs = makeRankingPairs(o.refRankMargin, o.refRankHighMem, examples, trainingSet);
  }

  const RandomizedOptions randomized{
      .delta = o.refRandDelta,
      .minIterations = o.refRandMinI,
      .maxIterations = o.refRandMaxI != 0
                           ? o.refRandMaxI
                           : randomizedMaximum(o.refRandDelta, trainingSet.collectionSize()),
  };
  if (randomized.minIterations > randomized.maxIterations && randomized.maxIterations > 0)
    fail("maximum random selection iterations set lower than minimum");

  std::optional<Examples> testSet;
  if (o.refTest) {
    printOut("Reading test examples...");
    const auto [test, testHighest] = readExampleFile(*o.refTest, lambda);
    printExamplesRead(test.collectionSize(), testHighest);
    testSet = test;
    // Test pairs are all pairs of different targets, whatever the margin.
    if (o.refRank) makeRankingPairs(0.0, o.refRankHighMem, test, *testSet);
  }

  std::optional<std::vector<InitialLagrangian>> initial;
  if (o.refReadHIter > 0)
    initial = readLagrangians(o.refReadHFile, o.refReadHIter, trainingSet.collectionSize());

  std::optional<OutputFile> dump;
  if (o.refDumpHFreq > 0) {
    printOut("Dumping lagrangians to " + o.refDumpHFile + "\n");
    dump.emplace(OutputFile::create(o.refDumpHFile));
  }

  const TrainingKernel trainingKernel =
      standardTrainingKernel(toEnum(o.refK), o.refD, o.refG, o.refS, o.refR);
  TrainingOutcome trained = trainLagrangians(o, trainingKernel, lambda, trainingSet, testSet,
                                             initial, dump ? &*dump : nullptr, randomized);
  printOut("Optimization complete!\n");
  warnIfCutShort(o, trained);
  if (dump) dump->close();

  const std::span<const double> h = trained.lagrangians.elems();
  const std::int32_t n = trained.lagrangians.hi();
  Examples supportVectors = getSupportVectors(trained.indexed, n, h);
  printOut("Number of support vectors: " + showInt(supportVectors.collectionSize()) + "\n");

  const std::vector<double> decisionValues =
      printErrorTable(trainingKernel, lambda, supportVectors, trainingSet, testSet, trained);

  if (supportVectors.collectionSize() == 0) {
    printOut("No support vectors found; not writing model.\n");
    return LearningEnd::NoSupportVectors;
  }

  if (pairs) {
    printOut("Transforming model back into original space...");
    supportVectors = transformSVS(*pairs, supportVectors, pairNumbers(trained, n, h));
    printOut(showInt(supportVectors.collectionSize()) + " support vectors\n");
  }

  const SigmoidParams sigmoid =
      o.refSigmoid ? trainSigmoid(trainingSet, decisionValues) : SigmoidParams{0.0, 0.0};

  printOut("Writing model to " + modelFile + "\n");
  writeModel(modelFile, makeModel(o, lambda, highest, trainingSet.collectionSize(),
                                  std::move(supportVectors), sigmoid));
  return LearningEnd::ModelWritten;
}

}  // namespace kelvor
