// Values fixed at their first use.
//
// Lazy<T>: a value computed by a function the first time it is asked for,
// then kept (a field converted on first use). If the computation fails, the
// failure repeats at every later use, as nothing was kept.
//
// ReadOnceCell<T>: a process-wide parameter cell with its reader. Stores are
// plain; the reader takes the cell's content at its own first use and gives
// that value for ever after, whatever is stored later.
#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <variant>

namespace kelvor {

template <class T>
class Lazy {
 public:
  explicit Lazy(T value) : state_(std::in_place_index<1>, std::move(value)) {}
  explicit Lazy(std::function<T()> compute) : state_(std::in_place_index<0>, std::move(compute)) {}

  const T& get() const {
    if (state_.index() == 0) {
      T value = std::get<0>(state_)();
      state_.template emplace<1>(std::move(value));
    }
    return std::get<1>(state_);
  }
  bool isForced() const { return state_.index() == 1; }

 private:
  mutable std::variant<std::function<T()>, T> state_;
};

template <class T>
class ReadOnceCell {
 public:
  explicit ReadOnceCell(T initial) : content_(std::move(initial)) {}

  void store(T value) { content_ = Lazy<T>(std::move(value)); }
  // A content converted only when it is first needed (a parameter text
  // that fails to read fails then, and never if it is not used).
  void storeDeferred(std::function<T()> compute) { content_ = Lazy<T>(std::move(compute)); }
  const T& content() const { return content_.get(); }

  const T& read() {
    if (!fixed_) fixed_.emplace(content_);
    return fixed_->get();
  }
  bool isFixed() const { return fixed_.has_value(); }

 private:
  Lazy<T> content_;
  std::optional<Lazy<T>> fixed_;
};

}  // namespace kelvor
