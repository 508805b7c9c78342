#include "learn/OptionChecks.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Fatal.h"
#include "base/NumberText.h"
#include "core/kernels/KernelType.h"

namespace kelvor {

namespace {

std::string showValue(double v) { return showDouble(v); }
std::string showValue(std::int32_t v) { return showInt(v); }

// "The trade-off C (-c) must be 0 or more, not -1.0". A value that is not a
// number passes, as the comparison says.
template <class T>
void requireNotNegative(T value, std::string_view what, std::string_view option) {
  if (value < 0)
    fail(std::string(what) + " (" + std::string(option) + ") must be 0 or more, not " +
         showValue(value));
}

}  // namespace

void refuseImpossibleValues(const LearnCells& o) {
  // A negative C leaves no lagrangian room above 0: training would end with
  // no support vectors.
  requireNotNegative(o.refC, "The trade-off C", "-c");
  if (o.refK < 0 || o.refK > fromEnum(KernelType::SigmoidKernel))
    fail("unknown kernel type " + showInt(o.refK));
  // The power is taken by repeated products, which have no negative form.
  requireNotNegative(o.refD, "The polynomial kernel's degree", "-d");
  requireNotNegative(o.refG, "The radial-basis kernel's gamma", "-g");
  if (o.refL && *o.refL < 0.0) fail("lambda must be non-negative");
  requireNotNegative(o.refRankMargin, "The ranking margin", "--rank-margin");
  requireNotNegative(o.refStringLambda, "The string kernel's lambda", "--string-lambda");
  requireNotNegative(o.refStringMaxN, "The string kernel's gram length", "--string-maxn");
  requireNotNegative(o.refTreeLambda, "The tree kernel's lambda", "--tree-lambda");
  requireNotNegative(o.refTreeMaxD, "The tree kernel's depth", "--tree-maxd");
  requireNotNegative(o.refDumpHFreq, "The iterations between lagrangian dumps", "--dump-h-freq");
  requireNotNegative(o.refReadHIter, "The lagrangian iteration to restart from", "--read-h-iter");
  requireNotNegative(o.refSSInit, "The initial sample size", "--ss-0");
  requireNotNegative(o.refSSBatch, "The number of samples added each time", "--ss-batch");
  requireNotNegative(o.refSSI, "The iterations between sample additions", "--ss-i");
  requireNotNegative(o.refSSMax, "The maximum sample size", "--ss-x");
  requireNotNegative(o.refRandDelta, "The combinatorial dimension", "--rand-delta");
  requireNotNegative(o.refRandMinI, "The minimum randomized selection iterations", "--rand-mini");
  requireNotNegative(o.refRandMaxI, "The maximum randomized selection iterations", "--rand-maxi");
}

}  // namespace kelvor
