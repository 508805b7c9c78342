// The message of the fatal error a piece of code must raise.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "base/Fatal.h"

namespace kelvor::testing {

// Runs f, which must stop the program, and gives its message.
template <class F>
std::string fatalMessage(F&& f) {
  try {
    f();
  } catch (const FatalError& e) {
    return e.what();
  }
  ADD_FAILURE() << "no fatal error";
  return {};
}

}  // namespace kelvor::testing
