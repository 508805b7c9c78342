// The stops of list operations used out of their domain, worded as the
// standard list functions word them.
#pragma once

#include <string_view>

namespace kelvor {

// An index below 0, and one at or past the end of a list.
[[noreturn]] void failNegativeIndex();
[[noreturn]] void failIndexTooLarge();

// `function` (maximum, foldr1, ...) applied to an empty list.
[[noreturn]] void failEmptyList(std::string_view function);

}  // namespace kelvor
