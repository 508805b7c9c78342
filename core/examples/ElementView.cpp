#include "core/examples/ElementView.h"

#include <algorithm>

#include "core/examples/Collections.h"

namespace kelvor {

namespace {

// The array behind a collection, when every position is filled (an
// unfilled one must fail where at() would fail, so such arrays go through
// at()).
std::span<const Element> inPlaceElements(const ExampleCollection& c) {
  if (const auto* wrapped = dynamic_cast<const Examples*>(&c))
    return wrapped->collection() ? inPlaceElements(*wrapped->collection())
                                 : std::span<const Element>();
  const auto* array = dynamic_cast<const ArrayCollection*>(&c);
  if (!array) return {};
  const auto elems = array->array().elems();
  const bool filled = std::all_of(elems.begin(), elems.end(),
                                  [](const Element& e) { return e.example != nullptr; });
  return filled ? elems : std::span<const Element>();
}

}  // namespace

ElementView::ElementView(const ExampleCollection& examples)
    : examples_(examples), size_(examples.collectionSize()), direct_(inPlaceElements(examples)) {
  if (static_cast<std::int64_t>(direct_.size()) != std::max<std::int32_t>(size_, 0)) direct_ = {};
}

}  // namespace kelvor
