#include "trees/TreeQueries.h"

#include <string>

#include "base/Fatal.h"

namespace kelvor {

void failCountRange(const char* function, std::uint64_t count) {
  fail(std::string(function) + ": " + std::to_string(count) +
       " does not fit the numeric type asked for");
}

}  // namespace kelvor
