// The one interface of every collection of examples, and the Examples
// handle that carries any collection.
//
// Elements are (example, number) pairs: the target for data, alpha times
// the target for support vectors. Indices run from 1 to collectionSize().
// The two sequences fetch each element through at() only when the walk
// reaches it, so walking an on-disk collection reads one line at a time.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <utility>

#include "core/examples/Example.h"

namespace kelvor {

struct Element {
  ExamplePtr example;
  double value;
};

class ExampleCollection;

// (index, element) pairs in ascending index order, fetched on demand. The
// collection must outlive the walk.
class AssocRange {
 public:
  class iterator {
   public:
    using value_type = std::pair<std::int32_t, Element>;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    iterator(const ExampleCollection* c, std::int32_t i) : c_(c), i_(i) {}
    std::int32_t index() const { return i_; }
    value_type operator*() const;
    iterator& operator++() {
      ++i_;
      return *this;
    }
    void operator++(int) { ++i_; }
    bool operator==(const iterator& o) const { return i_ == o.i_; }

   private:
    const ExampleCollection* c_ = nullptr;
    std::int32_t i_ = 1;
  };

  AssocRange(const ExampleCollection& c, std::int32_t size)
      : c_(&c), end_(size > 0 ? size + 1 : 1) {}
  iterator begin() const { return {c_, 1}; }
  iterator end() const { return {c_, end_}; }

 private:
  const ExampleCollection* c_;
  std::int32_t end_;
};

// The elements alone, in the same order and fetched the same way.
class ElemRange {
 public:
  class iterator {
   public:
    using value_type = Element;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    explicit iterator(AssocRange::iterator it) : it_(it) {}
    Element operator*() const { return (*it_).second; }
    iterator& operator++() {
      ++it_;
      return *this;
    }
    void operator++(int) { ++it_; }
    bool operator==(const iterator& o) const { return it_ == o.it_; }

   private:
    AssocRange::iterator it_;
  };

  explicit ElemRange(AssocRange assocs) : assocs_(assocs) {}
  iterator begin() const { return iterator(assocs_.begin()); }
  iterator end() const { return iterator(assocs_.end()); }

 private:
  AssocRange assocs_;
};

class ExampleCollection {
 public:
  virtual ~ExampleCollection() = default;

  // `!@`: the element with 1-based index i.
  virtual Element at(std::int32_t i) const = 0;
  virtual std::int32_t collectionSize() const = 0;
  // Defaults: indices 1..collectionSize() (none when it is 0 or less), each
  // element fetched through at().
  virtual AssocRange collectionAssocs() const { return AssocRange(*this, collectionSize()); }
  virtual ElemRange collectionElems() const { return ElemRange(collectionAssocs()); }
};

inline AssocRange::iterator::value_type AssocRange::iterator::operator*() const {
  return {i_, c_->at(i_)};
}

// Any collection, shared by every holder; each operation forwards to it.
class Examples final : public ExampleCollection {
 public:
  explicit Examples(std::shared_ptr<const ExampleCollection> collection)
      : collection_(std::move(collection)) {}

  Element at(std::int32_t i) const override { return collection_->at(i); }
  std::int32_t collectionSize() const override { return collection_->collectionSize(); }
  AssocRange collectionAssocs() const override { return collection_->collectionAssocs(); }
  ElemRange collectionElems() const override { return collection_->collectionElems(); }

  const std::shared_ptr<const ExampleCollection>& collection() const { return collection_; }

 private:
  std::shared_ptr<const ExampleCollection> collection_;
};

}  // namespace kelvor
