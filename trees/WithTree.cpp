#include "trees/WithTree.h"

#include "base/InputFile.h"

namespace kelvor {

void withTree(const std::optional<std::string>& name,
              const std::function<void(const TreeResult&)>& action) {
  InputFile in = name ? InputFile::open(*name) : InputFile::standardInput();
  parseLines(
      in.path(), [&](std::string& line) { return in.readLine(line); },
      [&](TreeResult item) { action(item); });
}

}  // namespace kelvor
