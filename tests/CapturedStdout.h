// Standard output captured around a piece of code.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace kelvor::testing {

// Runs f and gives what it printed; the capture ends also when f stops the
// program, so that a later capture can begin.
template <class F>
std::string capturedStdout(F&& f) {
  ::testing::internal::CaptureStdout();
  try {
    f();
  } catch (...) {
    ::testing::internal::GetCapturedStdout();
    throw;
  }
  return ::testing::internal::GetCapturedStdout();
}

}  // namespace kelvor::testing
