// Element access for the hot loops of training and classification. An
// in-memory array is read in place, so a kernel evaluation costs no
// reference-count traffic; any other collection is asked through at(), one
// element at a time, exactly as the collection expects (an on-disk
// collection reads the line again).
#pragma once

#include <cstdint>
#include <span>

#include "core/examples/ExampleCollection.h"

namespace kelvor {

class ElementView {
 public:
  explicit ElementView(const ExampleCollection& examples);

  std::int32_t size() const { return size_; }

  // The elements in place, or empty when they are fetched one at a time.
  std::span<const Element> direct() const { return direct_; }

  // Element i, 1 <= i <= size(). The reference is valid until `slot` is
  // used again.
  const Element& get(std::int32_t i, Element& slot) const {
    if (!direct_.empty()) return direct_[static_cast<std::size_t>(i - 1)];
    slot = examples_.at(i);
    return slot;
  }

 private:
  const ExampleCollection& examples_;
  std::int32_t size_;
  std::span<const Element> direct_;  // empty unless read in place
};

}  // namespace kelvor
