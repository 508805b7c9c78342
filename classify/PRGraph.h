// The precision/recall graph of a classified test set: every distinct
// output value in turn is the threshold above which an example counts as
// predicted positive, and each threshold gives one line "recall precision".
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/examples/ExampleCollection.h"

namespace kelvor {

// +1 for a positive target, else -1 (a target of 0 is negative).
int truthLabel(const Element& element);

// The number of elements, as a double (a filtered view is walked).
template <class Range>
double countAsDouble(Range&& range) {
  return static_cast<double>(std::ranges::distance(range));
}

// Emits the graph lines for `values` (position i of `values` and `labels`
// belong to one example) in ascending order of the threshold, each ended
// by a line feed. NaN values are never predicted positive; all of them
// together make one last threshold, at which nothing is predicted positive.
// A value without a label (beyond the end of `labels`) is a threshold but
// counts as neither positive nor negative.
//
// Each line needs only the counts above its threshold, so one sort and one
// sweep give what a separate pass over all values per threshold would.
void emitPRGraph(std::span<const double> values, std::span<const std::int8_t> labels,
                 const std::function<void(std::string_view)>& emitLine);

// Prints the progress line and writes the graph to a file that replaces
// `path` once complete (base/ReplacementFile.h). The labels are read from
// `examples` only when there is a value.
void writePRGraph(const std::string& path, const ExampleCollection& examples,
                  std::span<const double> values);

}  // namespace kelvor
