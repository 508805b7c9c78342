// Example files read into memory and indexed on disk: the two readers must
// agree on every example and on the highest feature number, or both stop
// with a fatal error.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/examples/ExampleFile.h"
#include "core/examples/ExampleHandles.h"
#include "core/model/RecordShow.h"
#include "tests/fuzz/FuzzTargets.h"
#include "tests/fuzz/MemoryFile.h"

namespace kelvor::fuzz {

namespace {

constexpr double kBias = 2.0;

// The printed examples in order, then the highest feature number, or
// nothing after a fatal error.
std::optional<std::vector<std::string>> inMemory(const std::string& path) {
  std::vector<std::string> out;
  if (!endsNormally([&] {
        auto [examples, highest] = readExampleFile(path, kBias);
        for (const Element& e : examples.collectionElems()) out.push_back(showExample(*e.example));
        out.push_back(std::to_string(highest));
      }))
    return std::nullopt;
  return out;
}

std::optional<std::vector<std::string>> onDisk(const std::string& path) {
  std::vector<std::string> out;
  bool everyExample = true;
  const bool indexed = endsNormally([&] {
    const auto read = readExampleHandle(kBias, std::make_shared<InputFile>(InputFile::open(path)));
    const Examples& examples = read.first;
    // Each example by itself: a failing one does not hide the next.
    for (std::int32_t i = 1; i <= examples.collectionSize(); ++i)
      if (!endsNormally([&] { out.push_back(showExample(*examples.at(i).example)); }))
        everyExample = false;
    out.push_back(std::to_string(read.second));
  });
  if (!indexed || !everyExample) return std::nullopt;
  return out;
}

}  // namespace

void fuzzExampleFile(std::string_view input) {
  static MemoryFile file;
  const std::string& path = file.holding(input);
  if (inMemory(path) != onDisk(path))
    propertyBroken("the in-memory and the on-disk reader differ", input);
}

}  // namespace kelvor::fuzz
