#include "trees/ListFailures.h"

#include <string>

#include "base/Fatal.h"

namespace kelvor {

void failNegativeIndex() { fail("Prelude.!!: negative index"); }

void failIndexTooLarge() { fail("Prelude.!!: index too large"); }

void failEmptyList(std::string_view function) {
  fail("Prelude." + std::string(function) + ": empty list");
}

}  // namespace kelvor
