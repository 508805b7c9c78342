#include "learn/LearnOptions.h"

#include <type_traits>

#include "base/NumberText.h"
#include "learn/Learn.h"

namespace kelvor {

LearnCells& learnCells() {
  static LearnCells cells;
  return cells;
}

namespace {

// The value text converted as the cell's type asks: integers and reals by
// the number reader, texts unchanged.
template <class T>
T convertValue(const std::string& text) {
  if constexpr (std::is_same_v<T, std::int32_t>) {
    return readInt(text);
  } else if constexpr (std::is_same_v<T, double> || std::is_same_v<T, std::optional<double>>) {
    return readDouble(text);
  } else {
    return text;
  }
}

template <class T>
ReqArg valued(const std::string& optionName, T LearnCells::*cell, const char* argName) {
  return reqArg(
      optionName,
      [cell](const std::string& text) {
        T value = convertValue<T>(text);
        learnCells().*cell = std::move(value);
      },
      argName);
}

NoArg setFlag(bool LearnCells::*cell, bool value) {
  return NoArg{[cell, value] { learnCells().*cell = value; }};
}

template <class T>
OptDescr letter(char c, T LearnCells::*cell, const char* argName, const char* help) {
  return {{c}, {}, valued(std::string(1, c), cell, argName), help};
}

template <class T>
OptDescr named(const char* name, T LearnCells::*cell, const char* argName, const char* help) {
  return {{}, {name}, valued(name, cell, argName), help};
}

OptDescr flag(const char* name, bool LearnCells::*cell, bool value, const char* help) {
  return {{}, {name}, setFlag(cell, value), help};
}

std::vector<OptDescr> makeTable() {
  using C = LearnCells;
  return {
      {{kHelpLetter}, {"help"}, NoArg{[] { showHelp(0); }}, "this help"},
      letter('f', &C::refF, "v", "pretend we are version v"),
      letter('c', &C::refC, "float", "C: trade-off between training error and margin (1)"),
      letter('t', &C::refK, "int", "type of kernel: 0-linear, 1-poly, 2-rbf, 3-sigmoid (0)"),
      letter('d', &C::refD, "int", "poly:     degree (2)"),
      letter('g', &C::refG, "float", "rbf:      gamma (1/sigma^2) (1)"),
      letter('s', &C::refS, "float", "sig/poly: scaling factor (1)"),
      letter('r', &C::refR, "float", "sig/poly: additive factor (1)"),
      letter('i', &C::refI, "int", "maximum iterations (1000), -1 for infinite"),
      letter('h', &C::refH, "float", "change in min h to stop (0.000001), 0 for none"),
      letter('v', &C::refV, "int", "compute training error every v iterations (0), 0 for never"),
      letter('l', &C::refL, "float", "lambda (affects bias)"),
      letter('m', &C::refMCache, "int", "max memory to use for kernel cache in mb (40)"),
      flag("sigmoid", &C::refSigmoid, true, "fit a sigmoid (for probabilistic classification)"),
      flag("rank", &C::refRank, true, "do preference ranking"),
      named("rank-margin", &C::refRankMargin, "float", "margin for ranking (0)"),
      flag("rank-highmem", &C::refRankHighMem, true, "use lots of memory for ranking"),
      named("string-lambda", &C::refStringLambda, "float", "lambda value for string kernel (0.9)"),
      named("string-maxn", &C::refStringMaxN, "int", "gram length for string kernel (1)"),
      named("tree-lambda", &C::refTreeLambda, "float", "lambda value for tree kernel (0.5)"),
      named("tree-maxd", &C::refTreeMaxD, "int", "max depth for tree kernel (4)"),
      named("test", &C::refTest, "file", "file containing test data"),
      named("mu", &C::refMu, "float",
            "momentum coefficient for gradient descent, 0=no momentum (0)"),
      flag("noread", &C::refReadFile, false, "leave training data on disk"),
      named("dump-h-freq", &C::refDumpHFreq, "int",
            "dump lagrangians every k iterations, 0 for none (0)"),
      named("dump-h-file", &C::refDumpHFile, "file", "dump lagrangians to this file (dump-h)"),
      named("read-h-iter", &C::refReadHIter, "int",
            "read iteration number from lagrangian file, 0=none (0)"),
      named("read-h-file", &C::refReadHFile, "file", "read lagrangians from this file (dump-h)"),
      flag("ss", &C::refSSOn, true, "use sample selection"),
      named("ss-0", &C::refSSInit, "int", "initial # of samples selected (32)"),
      named("ss-batch", &C::refSSBatch, "int", "# of samples to add each time (8)"),
      named("ss-i", &C::refSSI, "int", "iteration frequency to add samples (20), 0 for none"),
      named("ss-h", &C::refSSH, "float",
            "change in min h to add new samples (0.00001), 0 for none"),
      named("ss-x", &C::refSSMax, "int", "max sample size, 0 for none (0)"),
      named("rand-delta", &C::refRandDelta, "int",
            "combinatorial dimension of the data => use randomized training, 0=no randomized "
            "(0)"),
      named("rand-mini", &C::refRandMinI, "int",
            "minimum number of iterations of randomized selection to run (1)"),
      named("rand-maxi", &C::refRandMaxI, "int",
            "maximum number of iterations of randomized selection to run (6 delta ln "
            "|examples|)"),
  };
}

}  // namespace

const std::vector<OptDescr>& learnOptions() {
  static const std::vector<OptDescr> table = makeTable();
  return table;
}

}  // namespace kelvor
