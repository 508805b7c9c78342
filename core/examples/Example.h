// One example's features. Examples are immutable and shared between
// collections through ExamplePtr.
//
// Two kinds of field are completed at first use rather than at
// construction: twonorm_sq always (computing it early would fix the string
// kernel's parameters at their defaults before training stores its own),
// and, for an example built from an ExampleSource, every field (an example
// fetched from disk converts each field of its line only when it is used,
// so a malformed field fails only then).
#pragma once

#include <compare>
#include <cstdint>
#include <memory>

#include "base/Array.h"
#include "core/examples/Features.h"

namespace kelvor {

// Supplies the fields of an example on demand; each is asked for at most
// once per example.
class ExampleSource {
 public:
  virtual ~ExampleSource() = default;
  virtual Array<RealFeature> convertReal() const = 0;
  virtual Array<StringFeature> convertString() const = 0;
  virtual Array<TreeFeature> convertTree() const = 0;
  virtual std::int32_t convertQid() const = 0;
};

class Example {
 public:
  Example(Array<RealFeature> vectorReal, Array<StringFeature> vectorString,
          Array<TreeFeature> vectorTree, std::int32_t qid);
  explicit Example(std::shared_ptr<const ExampleSource> source);

  const Array<RealFeature>& vectorReal() const {
    if (!(done_ & kReal)) complete(real_, kReal, &ExampleSource::convertReal);
    return real_;
  }
  const Array<StringFeature>& vectorString() const {
    if (!(done_ & kString)) complete(string_, kString, &ExampleSource::convertString);
    return string_;
  }
  const Array<TreeFeature>& vectorTree() const {
    if (!(done_ & kTree)) complete(tree_, kTree, &ExampleSource::convertTree);
    return tree_;
  }
  // dot of the example with itself, computed at first use and kept.
  double twonorm_sq() const;
  std::int32_t ex_qid() const {
    if (!(done_ & kQid)) complete(qid_, kQid, &ExampleSource::convertQid);
    return qid_;
  }

 private:
  // Which fields hold their value; a training set holds an example per
  // line, so flags rather than an optional per field.
  enum : std::uint8_t {
    kReal = 1,
    kString = 2,
    kTree = 4,
    kQid = 8,
    kAllFields = 15,
    kTwonorm = 16
  };

  template <class T, class Convert>
  void complete(T& field, std::uint8_t flag, Convert convert) const {
    field = (source_.get()->*convert)();
    done_ |= flag;
    // Once every field is converted the line is no longer needed.
    if ((done_ & kAllFields) == kAllFields) source_.reset();
  }

  mutable Array<RealFeature> real_;
  mutable Array<StringFeature> string_;
  mutable Array<TreeFeature> tree_;
  mutable double twonorm_ = 0.0;
  mutable std::int32_t qid_ = 0;
  mutable std::uint8_t done_ = 0;
  mutable std::shared_ptr<const ExampleSource> source_;
};

using ExamplePtr = std::shared_ptr<const Example>;

// An example with real features only; the array is kept as given (no bias
// entry is added, nothing is sorted).
ExamplePtr mkExampleQID(Array<RealFeature> reals, std::int32_t qid);
ExamplePtr mkExample(Array<RealFeature> reals);

// The shared empty feature arrays of real-only examples.
const Array<StringFeature>& emptyStringFeatures();
const Array<TreeFeature>& emptyTreeFeatures();

// Field by field in declaration order, the first difference deciding.
// Doubles compare as IEEE values: a NaN is unequal to everything, and in
// the ordering anything neither less nor equal is greater.
bool operator==(const Example& a, const Example& b);
std::weak_ordering operator<=>(const Example& a, const Example& b);
// Of two equal examples, exampleMax gives the second and exampleMin the first.
const Example& exampleMax(const Example& a, const Example& b);
const Example& exampleMin(const Example& a, const Example& b);

}  // namespace kelvor
