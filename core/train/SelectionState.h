// What sample selection has chosen, as training carries it from one
// iteration to the next and hands it back with its result.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kelvor {

struct SelectedSamples {
  // The flag of training index i sits at i - 1; a flag never returns to
  // false once set.
  std::vector<bool> flags;
  // The training indices in the order they were chosen: working-set
  // position p holds training index sample[p - 1].
  std::vector<std::int32_t> sample;
};

// With sample selection off there is nothing to read, and reading is a
// broken invariant of the caller.
class SelectionState {
 public:
  static SelectionState off() { return SelectionState(); }
  explicit SelectionState(SelectedSamples selected) : selected_(std::move(selected)) {}

  bool isOn() const { return selected_.has_value(); }
  const SelectedSamples& ssSelected() const;
  SelectedSamples& ssSelected();

 private:
  SelectionState() = default;
  std::optional<SelectedSamples> selected_;
};

}  // namespace kelvor
