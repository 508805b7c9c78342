#include "core/examples/Collections.h"

#include <algorithm>

#include "base/Fatal.h"

namespace kelvor {

Element ArrayCollection::at(std::int32_t i) const {
  const Element& e = elems_.at(i);
  if (!e.example) fail(unfilledMessage_);
  return e;
}

Examples mkArrayExamples(Array<Element> elems) {
  return Examples(std::make_shared<const ArrayCollection>(std::move(elems)));
}

Array<Element> listArray(std::int32_t lo, std::int32_t hi, std::vector<Element> values) {
  if (lo != 1) failUncovered("listArray with a lower bound other than 1");
  const auto n = static_cast<std::size_t>(std::max<std::int32_t>(hi, 0));
  values.resize(n);  // drops the surplus, or leaves the rest unfilled
  return Array<Element>(std::move(values));
}

std::vector<std::int32_t> supportVectorIndices(std::int32_t n,
                                               std::span<const double> lagrangians) {
  std::vector<std::int32_t> kept;
  // Kept entries went to the front of a list: highest index first.
  for (std::int32_t i = n; i >= 1; --i)
    if (lagrangians[static_cast<std::size_t>(i - 1)] > 0.0) kept.push_back(i);
  return kept;
}

Examples getSupportVectors(const ExampleCollection& examples, std::int32_t n,
                           std::span<const double> lagrangians) {
  // Elements are fetched in ascending index order, as an on-disk collection
  // reads its lines best.
  const std::vector<std::int32_t> indices = supportVectorIndices(n, lagrangians);
  std::vector<Element> kept(indices.size());
  for (std::size_t k = indices.size(); k-- > 0;) {
    const std::int32_t i = indices[k];
    Element e = examples.at(i);
    kept[k] = {std::move(e.example), lagrangians[static_cast<std::size_t>(i - 1)] * e.value};
  }
  return mkArrayExamples(Array<Element>(std::move(kept)));
}

Examples getSupportVectors(const ExampleCollection& examples, std::span<const double> lagrangians) {
  return getSupportVectors(examples, static_cast<std::int32_t>(lagrangians.size()), lagrangians);
}

std::string replaceChar(char c, std::string_view text, std::string_view replacement) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    if (ch == c)
      out += replacement;
    else
      out += ch;
  }
  return out;
}

}  // namespace kelvor
