#include "learn/Lagrangians.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/LineLocation.h"
#include "base/NumberText.h"
#include "base/WhiteSpace.h"

namespace kelvor {

namespace {

InitialLagrangian parseRecord(std::string_view line, std::int32_t examples) {
  std::string_view parts[2];
  int count = 0;
  forEachWord(line, [&](std::string_view w) {
    if (count < 2) parts[count] = w;
    ++count;
  });
  if (count != 2) failIrrefutable("Learn:66|[a, b]");
  const std::int32_t index = readInt(parts[0]);
  const double value = readDouble(parts[1]);
  if (index < 1 || index > examples)
    fail("The lagrangian of example " + showInt(index) + " names no training example (1 to " +
         showInt(examples) + ")");
  if (std::isnan(value))
    fail("The lagrangian of example " + showInt(index) + " is not a number (NaN)");
  return {index, value};
}

constexpr std::string_view kHeader = "Iteration ";

}  // namespace

std::vector<InitialLagrangian> readLagrangianRecords(InputFile& file, std::int64_t& lineNumber,
                                                     std::int32_t examples) {
  std::vector<std::string> lines;
  std::string line;
  while (file.readLine(line) && !line.empty()) lines.push_back(line);
  std::vector<InitialLagrangian> records;
  records.reserve(lines.size());
  const std::int64_t first = lineNumber + 1;
  lineNumber += static_cast<std::int64_t>(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    records.push_back(atLine(file.path(), first + static_cast<std::int64_t>(i),
                             [&] { return parseRecord(lines[i], examples); }));
  }
  return records;
}

std::vector<InitialLagrangian> readLagrangians(const std::string& path, std::int32_t iteration,
                                               std::int32_t examples) {
  printOut("Reading lagrangians from " + path + "\n");
  InputFile file = InputFile::open(path);
  std::vector<InitialLagrangian> records;
  std::int64_t lineNumber = 0;
  std::string line;
  while (true) {
    if (!file.readLine(line))
      fail("End of lagrangian file reached before iteration " + showInt(iteration) + " found");
    ++lineNumber;
    if (line.size() < kHeader.size() || line.compare(0, kHeader.size(), kHeader) != 0) continue;
    const std::int32_t n = atLine(path, lineNumber, [&] {
      const std::int32_t found = readInt(std::string_view(line).substr(kHeader.size()));
      if (found > iteration)
        fail("Arrived at lagrangian iteration " + showInt(found) + " without passing " +
             showInt(iteration));
      return found;
    });
    if (n == iteration) {
      records = readLagrangianRecords(file, lineNumber, examples);
      break;
    }
  }
  std::stable_sort(records.begin(), records.end(),
                   [](const InitialLagrangian& a, const InitialLagrangian& b) {
                     if (a.index != b.index) return a.index < b.index;
                     return a.value < b.value;
                   });
  return records;
}

}  // namespace kelvor
