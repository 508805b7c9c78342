// Collections whose examples stay in their files: building one records
// where every example line begins, and an element is read and parsed again
// whenever it is asked for. The two elements used last are kept, so the
// alternating lookups of training cost no file access.
//
// The collections keep their files open for as long as they live. An
// element's fields are converted at their first use, so a malformed field
// fails only then; a line the parser rejects fails at the lookup.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Array.h"
#include "base/InputFile.h"
#include "core/examples/ExampleCollection.h"
#include "core/examples/ExampleScan.h"

namespace kelvor {

// A cache cell: index -1 matches no lookup.
struct CachedElement {
  std::int32_t index = -1;
  Element element{};
};

// The two most recently used distinct elements, the latest in prev.
class RecentElements {
 public:
  // A hit in prev changes nothing; a hit in prev2 swaps the cells; a miss
  // reads the element and drops the older cell. A read that fails leaves
  // both cells as they were.
  template <class Read>
  Element lookup(std::int32_t i, Read read) {
    if (prev_.index == i) return prev_.element;
    if (prev2_.index == i) {
      std::swap(prev_, prev2_);
      return prev_.element;
    }
    Element e = read();
    prev2_ = std::move(prev_);
    prev_ = {i, e};
    return e;
  }
  const CachedElement& prev() const { return prev_; }
  const CachedElement& prev2() const { return prev2_; }

 private:
  CachedElement prev_, prev2_;
};

// The example lines of one open file.
class ExampleHandle final : public ExampleCollection {
 public:
  ExampleHandle(std::shared_ptr<InputFile> handle, Array<std::int64_t> indices, double bias)
      : eh_Handle(std::move(handle)), eh_Indices(std::move(indices)), eh_bias(bias) {}

  Element at(std::int32_t i) const override;
  std::int32_t collectionSize() const override { return eh_Indices.hi(); }

  const CachedElement& eh_prev() const { return cache_.prev(); }
  const CachedElement& eh_prev2() const { return cache_.prev2(); }

  const std::shared_ptr<InputFile> eh_Handle;
  const Array<std::int64_t> eh_Indices;  // byte offset of each example line
  const double eh_bias;

 private:
  mutable RecentElements cache_;
  mutable std::string line_;
};

// The example lines of several open files, those of the first file first.
class ExampleHandles final : public ExampleCollection {
 public:
  ExampleHandles(std::vector<std::shared_ptr<InputFile>> handles, Array<ExampleLocation> indices,
                 double bias)
      : ehs_Handles(std::move(handles)), ehs_Indices(std::move(indices)), ehs_bias(bias) {}

  Element at(std::int32_t i) const override;
  std::int32_t collectionSize() const override { return ehs_Indices.hi(); }

  const CachedElement& ehs_prev() const { return cache_.prev(); }
  const CachedElement& ehs_prev2() const { return cache_.prev2(); }

  // Owns the files that the entries point into.
  const std::vector<std::shared_ptr<InputFile>> ehs_Handles;
  const Array<ExampleLocation> ehs_Indices;
  const double ehs_bias;

 private:
  mutable RecentElements cache_;
  mutable std::string line_;
};

// Indexes the file from its start; the highest feature number is the one
// reading the file into memory gives (highestFeatureNumber over the example
// lines), 0 at least. Prints nothing.
std::pair<Examples, std::int32_t> readExampleHandle(double bias, std::shared_ptr<InputFile> file);

// Indexes the files in two passes (count, then record), writing progress
// marks to standard error with "/" between the passes.
std::pair<Examples, std::int32_t> readExampleHandles(double bias,
                                                     std::vector<std::shared_ptr<InputFile>> files);

}  // namespace kelvor
