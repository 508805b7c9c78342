// Randomized training: instead of one training over a large training set,
// selection iterations that each train on a weighted random sample of it.
//
// Every training example carries an integer weight, 1 at the start. A
// selection iteration draws r = 6 * delta * delta examples (the whole set,
// in index order, when r >= n), trains on them with train() and sample
// selection off, classifies every example outside the sample with the
// support vectors that training gives, and doubles the weights of the
// misclassified ones (the violators) when their total weight u(V) is at
// most u(X) / (3 * delta), u(X) being the total weight of the sample.
//
// Prints, per selection iteration: "Randomized selection iteration <k>",
// a line break, everything train() prints, then "u(V) = <u(V)> u(X) =
// <u(X)>" and a line break.
//
// Lagrangian dumps and restart values speak of training indices, as with
// sample selection: each dump block lists the training index of every
// sample position, and the restart value of training index i goes to the
// sample position that holds example i (values of examples outside the
// sample are left out; an index outside 1..n is fatal).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Array.h"
#include "base/OutputFile.h"
#include "core/examples/ExampleCollection.h"
#include "core/train/InitialLagrangian.h"
#include "core/train/Train.h"
#include "core/train/TrainingKernel.h"

namespace kelvor {

struct RandomizedOptions {
  std::int32_t delta = 0;          // the combinatorial dimension of the data
  std::int32_t minIterations = 1;  // selection iterations at least
  // Selection iterations at most; the last one ends the run even with
  // violators left. Below minIterations (or below 1) it counts as
  // max(minIterations, 1), so the run always ends.
  std::int32_t maxIterations = 1;
};

// The selection iterations end when one leaves no violator and at least
// minIterations have run, or at the maximum. The result holds one
// lagrangian per training example, by training index: the values trained
// on the last sample, 0.0 for every example outside it.
//
// `options` is used as train() uses it, except that its sample-selection
// fields are ignored: every training runs with sample selection off. The
// dump file is written only when options.dumpPeriod > 0 and must then be
// given; every selection iteration appends to it, its iteration numbers
// starting again at 1.
Array<double> train_randomized(
    const TrainOptions& options, const TrainingKernel& kernel, const Examples& trainingSet,
    const std::optional<Examples>& testSet, OutputFile* dumpFile,
    const std::optional<std::vector<InitialLagrangian>>& initialLagrangians,
    const RandomizedOptions& randomized);

}  // namespace kelvor
