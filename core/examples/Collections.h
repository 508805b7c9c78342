// The in-memory collection kinds: arrays of elements, the subsample of
// randomized training, and the support vectors of a training run.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Array.h"
#include "core/examples/ExampleCollection.h"

namespace kelvor {

// An array of elements; a position that was never filled (see listArray)
// stops the program with the array's own message when it is read.
class ArrayCollection final : public ExampleCollection {
 public:
  explicit ArrayCollection(Array<Element> elems,
                           std::string unfilledMessage = "undefined array element")
      : elems_(std::move(elems)), unfilledMessage_(std::move(unfilledMessage)) {}

  Element at(std::int32_t i) const override;
  std::int32_t collectionSize() const override { return elems_.hi(); }
  const Array<Element>& array() const { return elems_; }

 private:
  Array<Element> elems_;
  std::string unfilledMessage_;
};

Examples mkArrayExamples(Array<Element> elems);

// An array with bounds lo..hi filled from `values` in order: values beyond
// hi are dropped, positions beyond the values stay unfilled (an element with
// no example). Every array of the system is 1-based, so lo must be 1.
Array<Element> listArray(std::int32_t lo, std::int32_t hi, std::vector<Element> values);

template <class T>
std::span<const T> arrayElems(const Array<T>& a) {
  return a.elems();
}

// The subsample of randomized training: element i is element
// selectedIndices[i] of the whole collection.
class RandomExamples final : public ExampleCollection {
 public:
  RandomExamples(Examples originalCollection, Array<std::int32_t> selectedIndices)
      : originalCollection(std::move(originalCollection)),
        selectedIndices(std::move(selectedIndices)) {}

  Element at(std::int32_t i) const override { return originalCollection.at(selectedIndices.at(i)); }
  std::int32_t collectionSize() const override { return selectedIndices.hi(); }

  const Examples originalCollection;
  const Array<std::int32_t> selectedIndices;
};

// The support vectors of a training run: for i = 1..n, the elements whose
// lagrangian (lagrangians[i - 1]) is strictly positive, as (example,
// lagrangian * target), highest training index first.
Examples getSupportVectors(const ExampleCollection& examples, std::int32_t n,
                           std::span<const double> lagrangians);
// The training indices of those support vectors, in the same order, for
// callers that need to know which element each one came from.
std::vector<std::int32_t> supportVectorIndices(std::int32_t n, std::span<const double> lagrangians);
Examples getSupportVectors(const ExampleCollection& examples, std::span<const double> lagrangians);

// Every occurrence of c replaced by the whole replacement, which is not
// scanned again.
std::string replaceChar(char c, std::string_view text, std::string_view replacement);

}  // namespace kelvor
