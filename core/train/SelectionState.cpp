#include "core/train/SelectionState.h"

#include "base/Fatal.h"

namespace kelvor {

namespace {
[[noreturn]] void failSelectionOff() {
  fail("Internal error: ssSelected evaluated with sample selection is turned off");
}
}  // namespace

const SelectedSamples& SelectionState::ssSelected() const {
  if (!selected_) failSelectionOff();
  return *selected_;
}

SelectedSamples& SelectionState::ssSelected() {
  if (!selected_) failSelectionOff();
  return *selected_;
}

}  // namespace kelvor
