#include "core/examples/ExampleScan.h"

#include <limits>
#include <string>

#include "base/Console.h"
#include "base/Fatal.h"
#include "core/examples/ExampleLine.h"

namespace kelvor {

void requireSeekable(const InputFile& file) {
  if (!file.canSeek()) fail(file.path() + ": cannot seek: example files must be regular files");
}

void countExampleLine(std::int32_t& count, const InputFile& file) {
  if (count == std::numeric_limits<std::int32_t>::max())
    fail("Too many example lines in " + file.path() + ": more than " + std::to_string(count));
  ++count;
}

void raiseToLineFeatureNumber(std::int32_t& highest, std::string_view line) {
  if (const std::optional<std::int32_t> n = highestFeatureNumber(line); n && *n > highest)
    highest = *n;
}

void scanExampleHandle(std::int32_t& highest, InputFile& file, std::vector<std::int64_t>& offsets) {
  std::int32_t count = static_cast<std::int32_t>(offsets.size());
  std::string line;
  while (true) {
    const std::int64_t offset = file.tell();
    if (!file.readLine(line)) return;
    if (!isExampleLine(line)) continue;
    raiseToLineFeatureNumber(highest, line);
    countExampleLine(count, file);
    offsets.push_back(offset);
  }
}

std::int32_t countExampleLines(const std::vector<std::shared_ptr<InputFile>>& files,
                               std::int32_t count) {
  std::string line;
  for (const std::shared_ptr<InputFile>& file : files) {
    while (true) {
      const bool read = file->readLine(line);
      if (count % 10000 == 0) printErr(".");
      if (!read) break;
      if (isExampleLine(line)) countExampleLine(count, *file);
    }
  }
  return count;
}

void scanExampleHandles(std::vector<ExampleLocation>& entries, std::int32_t written,
                        std::int32_t& highest,
                        const std::vector<std::shared_ptr<InputFile>>& files) {
  std::int32_t k = written;
  std::string line;
  for (const std::shared_ptr<InputFile>& file : files) {
    while (true) {
      const std::int64_t offset = file->tell();
      if (!file->readLine(line)) break;
      if (!isExampleLine(line)) continue;
      if (k % 10000 == 0) printErr(".");
      raiseToLineFeatureNumber(highest, line);
      const auto slot = static_cast<std::int64_t>(k) + 1;
      if (slot > static_cast<std::int64_t>(entries.size()))
        failIndex(slot, 1, static_cast<std::int64_t>(entries.size()));
      entries[static_cast<std::size_t>(k)] = {file.get(), offset};
      ++k;
    }
  }
}

}  // namespace kelvor
