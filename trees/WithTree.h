// Runs an action on every item of a file of parser output.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "trees/ParseFile.h"

namespace kelvor {

// Reads the named file, or standard input (named "stdin" in the items'
// error texts) when there is no name, and runs the action on every item in
// file order, error items included. The file is read only as far as the
// items handed out, and closed after the last; standard input is left
// open. A file that cannot be opened stops the program before the action
// runs at all.
void withTree(const std::optional<std::string>& name,
              const std::function<void(const TreeResult&)>& action);

}  // namespace kelvor
