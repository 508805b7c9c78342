// The lagrangian-file reader on any file. The input's first line is the
// iteration asked for (1 when it is no positive number), the rest is the
// file. The records come back in ascending order of their indices, each
// from 1 and given once, with no NaN, and every failure but the missing
// iteration names a line that the file has.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "base/NumberText.h"
#include "learn/Lagrangians.h"
#include "tests/fuzz/FuzzTargets.h"
#include "tests/fuzz/MemoryFile.h"

namespace kelvor::fuzz {

namespace {

std::int64_t lineCount(std::string_view file) {
  const auto feeds = std::count(file.begin(), file.end(), '\n');
  return feeds + (!file.empty() && file.back() != '\n' ? 1 : 0);
}

// Whether the message ends with "\nat <path>:<n>" for a line n of the file.
bool namesALine(std::string_view message, const std::string& path, std::int64_t lines) {
  const std::string at = "\nat " + path + ":";
  const std::size_t p = message.rfind(at);
  if (p == std::string_view::npos) return false;
  const std::optional<std::int32_t> n = parseInt(message.substr(p + at.size()));
  return n && *n >= 1 && *n <= lines;
}

}  // namespace

void fuzzLagrangianFile(std::string_view input) {
  static MemoryFile file;
  const std::size_t feed = input.find('\n');
  const std::string_view head = input.substr(0, feed);
  const std::string_view contents =
      feed == std::string_view::npos ? std::string_view() : input.substr(feed + 1);
  const std::optional<std::int32_t> asked = parseInt(head);
  const std::int32_t iteration = asked && *asked > 0 ? *asked : 1;
  const std::string& path = file.holding(contents);
  try {
    const std::vector<InitialLagrangian> records =
        readLagrangians(path, iteration, std::numeric_limits<std::int32_t>::max());
    for (std::size_t i = 1; i < records.size(); ++i)
      if (records[i].index <= records[i - 1].index)
        propertyBroken("records out of order, or an index twice", input);
    for (const InitialLagrangian& r : records)
      if (r.index < 1 || std::isnan(r.value)) propertyBroken("an index below 1 or a NaN", input);
  } catch (const FatalError& e) {
    const std::string_view message = e.what();
    if (message !=
            "End of lagrangian file reached before iteration " + showInt(iteration) + " found" &&
        !namesALine(message, path, lineCount(contents)))
      propertyBroken("a failure that names no line of the file", input);
  }
}

}  // namespace kelvor::fuzz
