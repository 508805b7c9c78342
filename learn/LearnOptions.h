// The learner's 37 options and the 36 process-wide cells they write. Option
// actions only write cells; doLearning reads all of them once when it starts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "learn/OptionParser.h"

namespace kelvor {

struct LearnCells {
  std::optional<std::string> refF;
  double refC = 1.0;
  std::int32_t refK = 0;
  std::int32_t refD = 2;
  double refG = 1.0;
  double refS = 1.0;
  double refR = 1.0;
  std::int32_t refI = 1000;
  double refH = 1.0e-6;
  std::int32_t refV = 0;
  std::optional<double> refL;
  std::int32_t refMCache = 40;
  bool refSigmoid = false;
  bool refRank = false;
  double refRankMargin = 0.0;
  bool refRankHighMem = false;
  double refStringLambda = 0.9;
  std::int32_t refStringMaxN = 1;
  double refTreeLambda = 0.5;
  std::int32_t refTreeMaxD = 4;
  std::optional<std::string> refTest;
  double refMu = 0.0;
  bool refReadFile = true;
  std::int32_t refDumpHFreq = 0;
  std::string refDumpHFile = "dump-h";
  std::int32_t refReadHIter = 0;
  std::string refReadHFile = "dump-h";
  bool refSSOn = false;
  std::int32_t refSSInit = 32;
  std::int32_t refSSBatch = 8;
  std::int32_t refSSI = 20;
  double refSSH = 1.0e-5;
  std::int32_t refSSMax = 0;
  std::int32_t refRandDelta = 0;
  std::int32_t refRandMinI = 1;
  std::int32_t refRandMaxI = 0;
};

// The process's cells, holding their defaults until an option writes them.
LearnCells& learnCells();

// The option table in help order.
const std::vector<OptDescr>& learnOptions();

}  // namespace kelvor
